// The rules of the toolkit's hyperlink button that need no window: which
// way of opening a target is tried first, the shell verbs, the command line
// built from a registered ".htm" command, and the texts of failed opens.
#pragma once

#include "framework/core/CString.h"

class CExtHyperLinkRules
{
public:
    // "open", "edit" or "print" for the verb indexes 0, 1 and 2 ("open"
    // for any other).
    static LPCTSTR VerbText(int nVerb);
    // The key below the document type that holds the verb's command.
    static CString CommandKeyPath(const CString& sDocType, int nVerb);

    // A target that begins (in any case) with a scheme "http://" or
    // "file://", or with "www." or "web.", is opened as a web address first.
    static bool IsWebAddress(const CString& sTarget);

    // One command-line argument, quoted so that the receiving program's
    // argument parser gives back exactly sArg: quotes are escaped, and the
    // backslashes before a quote or the closing quote are doubled.
    static CString QuoteArgument(const CString& sArg);
    // The registered command cut where its "%1" placeholder begins (a
    // quoted one from its opening quote), then one blank and the quoted
    // target; a command without a placeholder is kept whole.
    static CString BuildCommandLine(const CString& sCommand, const CString& sTarget);

    // "Unable to open hyper link:\n" and the description of the shell's
    // result code.
    static CString OpenErrorText(int nCode);
};
