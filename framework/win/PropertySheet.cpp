#include "framework/win/PropertySheet.h"

#include "framework/win/WinThread.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

// ---- CPropertyPage ---------------------------------------------------------

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
{
    m_nIDHelp = nIDTemplate;
    CommonConstruct(MAKEINTRESOURCEA(nIDTemplate), nIDCaption);
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    CommonConstruct(lpszTemplateName, nIDCaption);
}

void CPropertyPage::CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption)
{
    m_lpszTemplateName = lpszTemplateName;
    std::memset(&m_psp, 0, sizeof(m_psp));
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_USECALLBACK;
    m_psp.hInstance = AfxGetResourceHandle();
    m_psp.pszTemplate = lpszTemplateName;
    m_psp.pfnDlgProc = &AfxDlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    m_psp.pfnCallback = &CPropertyPage::PageCallback;
    if (nIDCaption != 0 && m_strCaption.LoadString(nIDCaption))
    {
        m_psp.pszTitle = m_strCaption;
        m_psp.dwFlags |= PSP_USETITLE;
    }
}

UINT CALLBACK CPropertyPage::PageCallback(HWND, UINT message, LPPROPSHEETPAGEA ppsp)
{
    // Called just before the system creates the page's window: the next
    // window made is this page's.
    if (message == PSPCB_CREATE)
    {
        auto* pPage = reinterpret_cast<CPropertyPage*>(ppsp->lParam);
        if (pPage && !pPage->m_hWnd)
            AfxHookWindowCreate(pPage);
    }
    return 1;
}

CPropertySheet* CPropertyPage::GetSheet() const
{
    return dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    HWND hWndSheet = ::GetParent(m_hWnd);
    if (!hWndSheet)
        return;
    ::SendMessageA(hWndSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    return TRUE;
}

void CPropertyPage::OnOK()
{
}

void CPropertyPage::OnCancel()
{
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR->hwndFrom != ::GetParent(m_hWnd))
        return CDialog::OnNotify(wParam, lParam, pResult);
    LRESULT lResult;
    switch (pNMHDR->code)
    {
    case PSN_SETACTIVE: lResult = OnSetActive() ? 0 : -1; break;
    case PSN_KILLACTIVE: lResult = !OnKillActive(); break;
    case PSN_APPLY: lResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE; break;
    case PSN_RESET:
        OnReset();
        lResult = 0;
        break;
    case PSN_QUERYCANCEL: lResult = !OnQueryCancel(); break;
    case PSN_WIZBACK: lResult = OnWizardBack(); break;
    case PSN_WIZNEXT: lResult = OnWizardNext(); break;
    case PSN_WIZFINISH: lResult = !OnWizardFinish(); break;
    default: return CDialog::OnNotify(wParam, lParam, pResult);
    }
    // The sheet reads the answer of a dialog from its message result.
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, lResult);
    *pResult = lResult;
    return TRUE;
}

BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg)
{
    // The sheet's dialog manager handles the keys of its pages.
    return CWnd::PreTranslateMessage(pMsg);
}

// ---- CPropertySheet --------------------------------------------------------

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_WM_CLOSE()
END_MESSAGE_MAP()

namespace
{
// The style the next embedded sheet's template gets (PSCB_PRECREATE).
thread_local DWORD t_dwSheetStyle = 0;
thread_local DWORD t_dwSheetExStyle = 0;
thread_local bool t_bSheetStyle = false;
} // namespace

CPropertySheet::CPropertySheet()
{
    CommonConstruct(nullptr, 0);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    m_strCaption.LoadString(nIDCaption);
    CommonConstruct(pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
{
    m_strCaption = pszCaption ? pszCaption : "";
    CommonConstruct(pParentWnd, iSelectPage);
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage)
{
    std::memset(&m_psh, 0, sizeof(m_psh));
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_psh.hInstance = AfxGetResourceHandle();
    m_psh.pszCaption = m_strCaption;
    m_psh.nStartPage = iSelectPage;
    m_psh.pfnCallback = &CPropertySheet::SheetCallback;
    m_pParentWnd = pParentWnd;
}

CPropertySheet::~CPropertySheet()
{
    if (m_hWnd && CWnd::FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

int CALLBACK CPropertySheet::SheetCallback(HWND, UINT message, LPARAM lParam)
{
    if (message == PSCB_PRECREATE && t_bSheetStyle && lParam)
    {
        // The system hands a writable copy of the sheet's template.
        auto* pWords = reinterpret_cast<WORD*>(lParam);
        bool bExtended = pWords[1] == 0xFFFF;
        BYTE* pBytes = reinterpret_cast<BYTE*>(lParam);
        DWORD* pExStyle = reinterpret_cast<DWORD*>(pBytes + (bExtended ? 8 : 4));
        DWORD* pStyle = reinterpret_cast<DWORD*>(pBytes + (bExtended ? 12 : 0));
        // The font bits say how the template is laid out: they stay.
        *pStyle = t_dwSheetStyle | (*pStyle & (DS_SETFONT | DS_FIXEDSYS));
        *pExStyle = t_dwSheetExStyle;
    }
    return 0;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage)
        return;
    m_pages.Add(pPage);
    if (m_hWnd)
    {
        // A running sheet takes the page at once.
        PROPSHEETPAGEA psp = pPage->m_psp;
        HPROPSHEETPAGE hPage = ::CreatePropertySheetPageA(&psp);
        if (hPage && !::SendMessageA(m_hWnd, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(hPage)))
            ::DestroyPropertySheetPage(hPage);
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    RemovePage(GetPageIndex(pPage));
}

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return;
    if (m_hWnd)
        ::SendMessageA(m_hWnd, PSM_REMOVEPAGE, static_cast<WPARAM>(nPage), 0);
    m_pages.RemoveAt(nPage);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    if (nPage < 0 || nPage >= GetPageCount())
        return nullptr;
    return static_cast<CPropertyPage*>(m_pages[nPage]);
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    for (int i = 0; i < GetPageCount(); ++i)
    {
        if (m_pages[i] == pPage)
            return i;
    }
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    if (!m_hWnd)
        return GetPage(static_cast<int>(m_psh.nStartPage));
    HWND hPage = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
    return dynamic_cast<CPropertyPage*>(CWnd::FromHandlePermanent(hPage));
}

int CPropertySheet::GetActiveIndex() const
{
    if (!m_hWnd)
        return static_cast<int>(m_psh.nStartPage);
    HWND hPage = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
    CPropertyPage* pPage = dynamic_cast<CPropertyPage*>(CWnd::FromHandlePermanent(hPage));
    return pPage ? GetPageIndex(pPage) : -1;
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (!m_hWnd)
    {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(nPage), 0));
}

CWnd* CPropertySheet::GetTabControl() const
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0)));
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle)
{
    m_strCaption = lpszText ? lpszText : "";
    m_psh.pszCaption = m_strCaption;
    m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
    if (m_hWnd)
        ::SendMessageA(m_hWnd, PSM_SETTITLEA, nStyle, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(m_strCaption)));
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags)
{
    ::PostMessageA(m_hWnd, PSM_SETWIZBUTTONS, 0, dwFlags);
}

void CPropertySheet::EndDialog(int nEndID)
{
    m_nButtonResult = nEndID;
    if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL))
        EndModalLoop(nEndID);
    else if (m_bModeless)
        DestroyWindow();
}

void CPropertySheet::BuildPropPageArray()
{
    m_pageArray.clear();
    for (int i = 0; i < GetPageCount(); ++i)
        m_pageArray.push_back(GetPage(i)->m_psp);
    m_psh.dwFlags |= PSH_PROPSHEETPAGE;
    m_psh.nPages = static_cast<UINT>(m_pageArray.size());
    m_psh.ppsp = m_pageArray.empty() ? nullptr : m_pageArray.data();
    m_psh.pszCaption = m_strCaption;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle)
{
    if (m_hWnd || GetPageCount() == 0)
        return FALSE;
    if (!pParentWnd)
        pParentWnd = m_pParentWnd;
    BuildPropPageArray();
    m_psh.dwFlags |= PSH_MODELESS;
    m_psh.hwndParent = pParentWnd->GetSafeHwnd();
    m_bModeless = TRUE;
    if (dwStyle != static_cast<DWORD>(-1))
    {
        t_dwSheetStyle = dwStyle;
        t_dwSheetExStyle = dwExStyle;
        t_bSheetStyle = true;
    }
    AfxHookWindowCreate(this);
    INT_PTR hWnd = ::PropertySheetA(&m_psh);
    BOOL bAttached = AfxUnhookWindowCreate();
    t_bSheetStyle = false;
    if (!hWnd || hWnd == -1 || !bAttached)
    {
        if (hWnd && hWnd != -1 && !bAttached)
            ::DestroyWindow(reinterpret_cast<HWND>(hWnd));
        return FALSE;
    }
    return TRUE;
}

INT_PTR CPropertySheet::DoModal()
{
    if (GetPageCount() == 0)
        return -1;
    // The owner: the parent given, else the main window; disabled meanwhile.
    HWND hWndParent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!hWndParent && AfxGetMainWnd())
        hWndParent = AfxGetMainWnd()->GetSafeHwnd();
    while (hWndParent && (::GetWindowLongPtrA(hWndParent, GWL_STYLE) & WS_CHILD))
        hWndParent = ::GetParent(hWndParent);
    BOOL bEnableParent = hWndParent && ::IsWindowEnabled(hWndParent);

    BuildPropPageArray();
    m_psh.dwFlags |= PSH_MODELESS;
    m_psh.hwndParent = hWndParent;
    m_bModeless = FALSE;
    m_nButtonResult = 0;
    m_nModalResult = IDCANCEL;
    AfxHookWindowCreate(this);
    INT_PTR hWnd = ::PropertySheetA(&m_psh);
    BOOL bAttached = AfxUnhookWindowCreate();
    if (!hWnd || hWnd == -1 || !bAttached)
    {
        if (hWnd && hWnd != -1 && !bAttached)
            ::DestroyWindow(reinterpret_cast<HWND>(hWnd));
        return -1;
    }
    if (bEnableParent)
        ::EnableWindow(hWndParent, FALSE);
    m_nFlags |= WF_CONTINUEMODAL;
    INT_PTR nResult = ContinueModal() ? RunModalLoop(MLF_SHOWONIDLE) : m_nModalResult;
    m_nFlags &= ~WF_CONTINUEMODAL;
    if (bEnableParent)
        ::EnableWindow(hWndParent, TRUE);
    if (hWndParent && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hWndParent);
    if (m_hWnd)
        DestroyWindow();
    return nResult;
}

BOOL CPropertySheet::ContinueModal()
{
    if (!CWnd::ContinueModal())
        return FALSE;
    // A modeless sheet that was closed by its buttons has no current page.
    if (m_hWnd && ::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) == 0)
    {
        // Buttons pressed by PSM_PRESSBUTTON send no command; the sheet's
        // own result then says whether it ended with OK.
        int nResult = m_nButtonResult;
        if (!nResult)
            nResult = ::SendMessageA(m_hWnd, PSM_GETRESULT, 0, 0) > 0 ? IDOK : IDCANCEL;
        EndModalLoop(nResult);
        return FALSE;
    }
    return TRUE;
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Remember which button ends the sheet; the system's code does the rest.
    UINT nID = LOWORD(wParam);
    if (HIWORD(wParam) == BN_CLICKED && (nID == IDOK || nID == IDCANCEL || nID == ID_WIZFINISH))
        m_nButtonResult = static_cast<int>(nID);
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg)
{
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(pMsg)));
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM)
{
    LRESULT lResult = Default();
    OnInitDialog();
    return lResult;
}

void CPropertySheet::OnClose()
{
    Default();
    if (m_bModeless && !(m_nFlags & WF_CONTINUEMODAL))
        DestroyWindow();
}
