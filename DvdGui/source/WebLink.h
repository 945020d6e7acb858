// The program's links to its web pages and its contact address: the
// toolkit's hyperlink buttons, whose targets can be handed to an opener of
// the caller's choice instead of the shell, so that a test sees what would
// have been opened and no browser starts.
#pragma once

#include "uitoolkit/controls/ExtHyperLinkButton.h"

#include <functional>

class CWebLinkButton : public CExtHyperLinkButton
{
public:
    // Answers whether the target was opened.
    using Opener = std::function<bool(const CString& sTarget, int nVerb)>;
    // Every link of the program opens through the opener from now on; an
    // empty one gives the links back to the shell.
    static void SetOpener(Opener opener);

    // With an opener, the target goes to it exactly once, whichever way the
    // toolkit tries first.
    bool OpenByUrlObject(const CString& sTarget, int nVerb, bool bShowError) override;
    bool OpenByShellExecute(const CString& sTarget, int nVerb, bool bShowError) override;
    bool OpenByRegistryCommand(const CString& sTarget, int nVerb, bool bShowError) override;

private:
    static Opener& CurrentOpener();
};
