// What the program's command line asks for: the shell command and the file
// it names. ParseParam sees each argument in turn; programs with their own
// switches override it.
#pragma once

#include "framework/core/CArray.h"
#include "framework/core/CObject.h"
#include "framework/core/CString.h"

class CCommandLineInfo : public CObject
{
public:
    enum
    {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1
    };

    CCommandLineInfo() = default;

    // pszParam is the argument without its leading '/' or '-' when bFlag.
    virtual void ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
    CString m_strPrinterName;
    CString m_strDriverName;
    CString m_strPortName;

    // Splits a command line (without the program's own name) into its
    // arguments as the C runtime does: blanks separate, double quotes group,
    // and backslashes only escape a quote.
    static void SplitCommandLine(LPCTSTR lpszCmdLine, CStringArray& args);

protected:
    void ParseParamFlag(LPCTSTR pszParam);
    void ParseParamNotFlag(LPCTSTR pszParam);
    void ParseLast(BOOL bLast);
};
