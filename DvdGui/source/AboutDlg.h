// The About box: the program's title and version, its links and a slowly
// scrolling list of credits.
#pragma once

#include "DvdGui/source/WebLink.h"
#include "controls/custom/CreditsCtrl.h"
#include "controls/custom/SkinControls.h"
#include "uitoolkit/controls/ExtLabel.h"
#include "uitoolkit/controls/ExtResizableDialog.h"

class CAboutDlg : public CExtResizableDialog
{
public:
    // The control id of the credits, made over the template's placeholder.
    static const UINT kCreditsId = 12;

    explicit CAboutDlg(CWnd* pParentWnd = nullptr);

    BOOL OnInitDialog() override;

private:
    void FillCredits(const CString& strTitle);

    CExtLabel m_wndIcon;
    CExtLabel m_wndTitle;
    CExtLabel m_wndDescription;
    CSkinEdit m_wndVersion;
    CSkinGroupBox m_wndGroup;
    CWebLinkButton m_wndWebLink;
    CWebLinkButton m_wndContactLink;
    CExtButton m_wndOk;
    CCreditsCtrl m_wndCredits;
};
