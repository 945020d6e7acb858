#include "DvdGui/source/AboutDlg.h"

#include "DvdGui/source/Resource.h"

namespace
{

// Slow enough to read while it moves, one pixel per step.
const UINT kCreditsInterval = 70;
const COLORREF kCreditsColor = RGB(0, 0, 0);

const char kWebPage[] = "https://www.brannwick.example/kestrelux/";
const char kWebPageTip[] = "Visit the Kestrelux home page";
const char kContact[] = "mailto:support@brannwick.example?subject=Kestrelux";
const char kContactTip[] = "Contact us if you have any questions";

const char kNotice[] = "Makes DVD-Video discs smaller and simpler\n"
                       "without re-encoding their video.\n"
                       "Copyright (C) Brannwick. All rights reserved.";
const char kTesters[] = "Ada Lindqvist\n"
                        "Bram Okafor\n"
                        "Carmen Ruiz\n"
                        "Daniel Weiss\n"
                        "Emi Tanaka\n"
                        "Farid Haddad";

} // namespace

CAboutDlg::CAboutDlg(CWnd* pParentWnd) : CExtResizableDialog(IDD_ABOUTBOX, pParentWnd)
{
}

BOOL CAboutDlg::OnInitDialog()
{
    CExtResizableDialog::OnInitDialog();
    SetWindowText("About Kestrelux");

    m_wndIcon.SubclassDlgItem(IDC_ABOUT_ICON, this);
    m_wndTitle.SubclassDlgItem(IDC_ABOUT_TITLE, this);
    m_wndTitle.m_bFontStyle = CExtLabel::FONT_BOLD;
    m_wndDescription.SubclassDlgItem(IDC_ABOUT_DESCRIPTION, this);
    m_wndVersion.SubclassDlgItem(IDC_ABOUT_VERSION, this);
    m_wndGroup.SubclassDlgItem(IDC_ABOUT_GROUP, this);
    m_wndOk.SubclassDlgItem(IDOK, this);

    m_wndWebLink.SubclassDlgItem(IDC_ABOUT_WEB_LINK, this);
    m_wndWebLink.m_strURL = kWebPage;
    m_wndWebLink.SetTooltipText(kWebPageTip);
    m_wndContactLink.SubclassDlgItem(IDC_ABOUT_CONTACT_LINK, this);
    m_wndContactLink.m_strURL = kContact;
    m_wndContactLink.SetTooltipText(kContactTip);

    CString strTitle;
    strTitle.LoadString(IDR_MAINFRAME);
    m_wndTitle.SetWindowText(strTitle);
    // the line a user copies into a question to us
    CString strVersion;
    strVersion.Format("%s (%d-bit)", static_cast<LPCTSTR>(strTitle), int(sizeof(void*) * 8));
    m_wndVersion.SetWindowText(strVersion);

    FillCredits(strTitle);
    CWnd* pPlaceholder = GetDlgItem(IDC_ABOUT_CREDITS);
    CRect rcCredits;
    pPlaceholder->GetWindowRect(&rcCredits);
    ScreenToClient(&rcCredits);
    if (m_wndCredits.Create("Credits", WS_CHILD | WS_VISIBLE, rcCredits, this, kCreditsId))
    {
        // in the placeholder's place among the siblings, so that the group
        // box around it stays below
        m_wndCredits.SetWindowPos(pPlaceholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_wndCredits.Start(kCreditsInterval);
        AddAnchor(m_wndCredits.m_hWnd, CSize(0, 0), CSize(100, 100));
    }

    AddAnchor(IDC_ABOUT_TITLE, CSize(0, 0), CSize(100, 0));
    AddAnchor(IDC_ABOUT_DESCRIPTION, CSize(0, 0), CSize(100, 0));
    AddAnchor(IDC_ABOUT_VERSION, CSize(0, 0), CSize(100, 0));
    AddAnchor(IDC_ABOUT_GROUP, CSize(0, 0), CSize(100, 100));
    AddAnchor(IDC_ABOUT_WEB_LINK, CSize(0, 100));
    AddAnchor(IDC_ABOUT_CONTACT_LINK, CSize(0, 100));
    AddAnchor(IDOK, CSize(100, 100));
    return TRUE;
}

void CAboutDlg::FillCredits(const CString& strTitle)
{
    m_wndCredits.AddText(strTitle, 21, kCreditsColor, DT_CENTER);
    m_wndCredits.AddSpace(10);
    m_wndCredits.AddText(kNotice, 15, kCreditsColor, DT_CENTER);
    m_wndCredits.AddSpace(10);
    m_wndCredits.AddSpace(20);
    m_wndCredits.AddText("Beta testers", 19, kCreditsColor, DT_CENTER);
    m_wndCredits.AddSpace(10);
    m_wndCredits.AddText(kTesters, 15, kCreditsColor, DT_CENTER);
    m_wndCredits.AddSpace(20);
}
