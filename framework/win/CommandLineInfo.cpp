#include "framework/win/CommandLineInfo.h"

#include <cstring>

void CCommandLineInfo::ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast)
{
    if (bFlag)
        ParseParamFlag(pszParam);
    else
        ParseParamNotFlag(pszParam);
    ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(LPCTSTR pszParam)
{
    CString flag(pszParam);
    if (flag.CompareNoCase("pt") == 0)
    {
        m_nShellCommand = FilePrintTo;
    }
    else if (flag.CompareNoCase("p") == 0)
    {
        m_nShellCommand = FilePrint;
    }
    else if (flag.CompareNoCase("dde") == 0)
    {
        m_nShellCommand = FileDDE;
    }
    else if (flag.CompareNoCase("regserver") == 0)
    {
        m_nShellCommand = AppRegister;
    }
    else if (flag.CompareNoCase("unregserver") == 0 || flag.CompareNoCase("unregister") == 0)
    {
        m_nShellCommand = AppUnregister;
    }
    else if (flag.CompareNoCase("embedding") == 0)
    {
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    }
    else if (flag.CompareNoCase("automation") == 0)
    {
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    }
}

void CCommandLineInfo::ParseParamNotFlag(LPCTSTR pszParam)
{
    // The first plain argument is the file; print-to takes three more.
    if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = pszParam;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast)
{
    if (bLast && m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
}

void CCommandLineInfo::SplitCommandLine(LPCTSTR lpszCmdLine, CStringArray& args)
{
    args.RemoveAll();
    const char* p = lpszCmdLine ? lpszCmdLine : "";
    for (;;)
    {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p)
            break;
        CString arg;
        bool bQuoted = false;
        while (*p && (bQuoted || (*p != ' ' && *p != '\t')))
        {
            if (*p == '\\')
            {
                int nSlashes = 0;
                while (*p == '\\')
                {
                    ++nSlashes;
                    ++p;
                }
                if (*p == '"')
                {
                    // 2n backslashes and a quote: n backslashes, the quote
                    // toggles; 2n+1: n backslashes and a literal quote.
                    arg += CString('\\', nSlashes / 2);
                    if (nSlashes % 2)
                    {
                        arg += '"';
                        ++p;
                    }
                }
                else
                {
                    arg += CString('\\', nSlashes);
                }
            }
            else if (*p == '"')
            {
                if (bQuoted && p[1] == '"')
                {
                    arg += '"';
                    p += 2;
                }
                else
                {
                    bQuoted = !bQuoted;
                    ++p;
                }
            }
            else
            {
                arg += *p++;
            }
        }
        args.Add(arg);
    }
}
