#include "uitoolkit/core/ExtHyperLinkRules.h"

LPCTSTR CExtHyperLinkRules::VerbText(int nVerb)
{
    switch (nVerb)
    {
    case 1: return "edit";
    case 2: return "print";
    default: return "open";
    }
}

CString CExtHyperLinkRules::CommandKeyPath(const CString& sDocType, int nVerb)
{
    return sDocType + "\\shell\\" + VerbText(nVerb) + "\\command";
}

bool CExtHyperLinkRules::IsWebAddress(const CString& sTarget)
{
    static const LPCTSTR kPrefixes[] = {"http://", "file://", "www.", "web."};
    for (LPCTSTR sPrefix : kPrefixes)
    {
        const CString sPrefixText(sPrefix);
        if (sTarget.Left(sPrefixText.GetLength()).CompareNoCase(sPrefixText) == 0)
            return true;
    }
    return false;
}

CString CExtHyperLinkRules::QuoteArgument(const CString& sArg)
{
    CString sQuoted('"');
    int nBackslashes = 0;
    for (int i = 0; i < sArg.GetLength(); ++i)
    {
        const char ch = sArg[i];
        if (ch == '\\')
        {
            ++nBackslashes;
            continue;
        }
        // backslashes before a quote escape it, so they are doubled and
        // the quote gets one of its own
        const int nCopies = ch == '"' ? nBackslashes * 2 + 1 : nBackslashes;
        sQuoted += CString('\\', nCopies);
        sQuoted += ch;
        nBackslashes = 0;
    }
    sQuoted += CString('\\', nBackslashes * 2);
    sQuoted += '"';
    return sQuoted;
}

CString CExtHyperLinkRules::BuildCommandLine(const CString& sCommand, const CString& sTarget)
{
    CString sLine = sCommand;
    int nCut = sLine.Find("\"%1\"");
    if (nCut < 0)
        nCut = sLine.Find("%1");
    if (nCut >= 0)
        sLine = sLine.Left(nCut);
    return sLine + " " + QuoteArgument(sTarget);
}

CString CExtHyperLinkRules::OpenErrorText(int nCode)
{
    CString sDescription;
    switch (nCode)
    {
    case 0: sDescription = "OS is out of memory or resources."; break;
    case 2: sDescription = "File was not found."; break;
    case 3: sDescription = "Path was not found."; break;
    case 5: sDescription = "OS denied access to the file."; break;
    case 8: sDescription = "Not enough memory."; break;
    case 11: sDescription = "EXE file is invalid (must run on other platform or error in its image)."; break;
    case 26: sDescription = "A sharing violation occurred."; break;
    case 27: sDescription = "The filename association is incomplete or invalid."; break;
    case 28: sDescription = "DDE transaction could not be completed due to request timed out."; break;
    case 29: sDescription = "DDE transaction failed."; break;
    case 30: sDescription = "DDE transaction was not completed due to other DDE transactions."; break;
    case 31: sDescription = "There is no application associated with the given filename extension."; break;
    case 32: sDescription = "DLL was not found."; break;
    default: sDescription.Format("Unknown Error (%d=0x%X) occurred.", nCode, static_cast<unsigned>(nCode)); break;
    }
    CString sText;
    sText.Format("Unable to open hyper link:\n%s", static_cast<LPCTSTR>(sDescription));
    return sText;
}
