#include "DvdGui/source/WebLink.h"

#include <utility>

CWebLinkButton::Opener& CWebLinkButton::CurrentOpener()
{
    static Opener s_opener;
    return s_opener;
}

void CWebLinkButton::SetOpener(Opener opener)
{
    CurrentOpener() = std::move(opener);
}

bool CWebLinkButton::OpenByUrlObject(const CString& sTarget, int nVerb, bool bShowError)
{
    if (const Opener& opener = CurrentOpener())
        return opener(sTarget, nVerb);
    return CExtHyperLinkButton::OpenByUrlObject(sTarget, nVerb, bShowError);
}

bool CWebLinkButton::OpenByShellExecute(const CString& sTarget, int nVerb, bool bShowError)
{
    return !CurrentOpener() && CExtHyperLinkButton::OpenByShellExecute(sTarget, nVerb, bShowError);
}

bool CWebLinkButton::OpenByRegistryCommand(const CString& sTarget, int nVerb, bool bShowError)
{
    return !CurrentOpener() && CExtHyperLinkButton::OpenByRegistryCommand(sTarget, nVerb, bShowError);
}
