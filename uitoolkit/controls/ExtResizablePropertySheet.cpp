#include "uitoolkit/controls/ExtResizablePropertySheet.h"

#include "uitoolkit/docking/ExtControlBar.h"

#include <cstring>

IMPLEMENT_DYNCREATE(CExtResizablePropertyPage, CExtResPP)
IMPLEMENT_DYNCREATE(CExtResizablePropertySheet, CExtResPS)

// Empty, so that a derived class without a map of its own is not taken for
// one that paints or erases itself.
BEGIN_MESSAGE_MAP(CExtResizablePropertyPage, CExtResPP)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CExtResizablePropertySheet, CExtResPS)
ON_WM_SIZE()
ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()

typedef CExtWA<CExtWS<CExtResPP, 301>> CExtResizablePageBase;
typedef CExtWA<CExtWS<CExtResPS, 301>> CExtResizableSheetBase;

// ---- CExtResizablePropertyPage ----

CExtResizablePropertyPage::CExtResizablePropertyPage(UINT nIDTemplate, UINT nIDCaption)
    : CExtResizablePageBase(nIDTemplate, nIDCaption)
{
}

void CExtResizablePropertyPage::PreSubclassWindow()
{
    CExtResizablePageBase::PreSubclassWindow();
    EnableToolTips(TRUE);
}

LRESULT CExtResizablePropertyPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CExtResizablePageBase::WindowProc(message, wParam, lParam);
    CWnd* pParent = m_hWnd != nullptr ? GetParent() : nullptr;
    CExtResizablePropertySheet* pSheet =
        pParent != nullptr && pParent->IsKindOf(RUNTIME_CLASS(CExtResizablePropertySheet))
            ? static_cast<CExtResizablePropertySheet*>(pParent)
            : nullptr;
    if (pSheet == nullptr || !::IsWindow(m_hWnd))
        return lResult;
    if ((message == WM_SHOWWINDOW || message == WM_WINDOWPOSCHANGED) && IsWindowVisible())
    {
        pSheet->ArrangeLayout(-1, -1);
        ArrangeLayout(-1, -1);
    }
    // the pages made with the sheet are anchored by its deferred
    // initialisation, once the system has placed them; while the sheet is
    // being made the active index is not known yet
    else if (message == WM_INITDIALOG && pSheet->IsLayoutInitialized() && pSheet->GetActiveIndex() != 0)
        pSheet->AnchorPage(this);
    return lResult;
}

BOOL CExtResizablePropertyPage::PreTranslateMessage(MSG* pMsg)
{
    return CExtControlBar::PreTranslateChildBars(this, pMsg) || CExtResizablePageBase::PreTranslateMessage(pMsg);
}

void CExtResizablePropertyPage::OnOK()
{
    if ((GetStyle() & WS_CHILD) == 0)
        CExtResizablePageBase::OnOK();
}

void CExtResizablePropertyPage::OnCancel()
{
    if ((GetStyle() & WS_CHILD) == 0)
        CExtResizablePageBase::OnCancel();
}

// ---- CExtResizablePropertySheet ----

void CExtResizablePropertySheet::CButtonInSheetHook::PostNcDestroy()
{
    CExtButton::PostNcDestroy();
    delete this;
}

CExtResizablePropertySheet::CExtResizablePropertySheet()
{
    m_bShowGripper = true;
}

CExtResizablePropertySheet::CExtResizablePropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CExtResizableSheetBase(nIDCaption, pParentWnd, iSelectPage)
{
    m_bShowGripper = true;
}

void CExtResizablePropertySheet::PreSubclassWindow()
{
    CExtResizableSheetBase::PreSubclassWindow();
    EnableToolTips(TRUE);
}

CRect CExtResizablePropertySheet::ChildRect(HWND hChild) const
{
    CRect rc;
    ::GetWindowRect(hChild, &rc);
    ScreenToClient(&rc);
    return rc;
}

void CExtResizablePropertySheet::AnchorPage(CPropertyPage* pPage)
{
    if (pPage == nullptr || pPage->GetSafeHwnd() == nullptr)
        pPage = GetActivePage();
    if (pPage != nullptr && ::IsWindow(pPage->GetSafeHwnd()) && !IsAnchored(pPage->m_hWnd))
    {
        // a page shown for the first time takes the place of those before it
        for (POSITION pos = m_mapAnchors.GetStartPosition(); pos != nullptr;)
        {
            HWND hWnd = nullptr;
            RDI_t rdi;
            m_mapAnchors.GetNextAssoc(pos, hWnd, rdi);
            CWnd* pWnd = ::IsWindow(hWnd) ? CWnd::FromHandlePermanent(hWnd) : nullptr;
            if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CPropertyPage)))
                continue;
            const CRect rcPlace = ChildRect(hWnd);
            pPage->MoveWindow(&rcPlace, TRUE);
            break;
        }
        AddAnchor(pPage->m_hWnd, g_szAnchorTopLeft, g_szAnchorBottomRight);
    }
    ArrangeLayout(-1, -1);
}

void CExtResizablePropertySheet::InitLayout()
{
    if ((GetStyle() & WS_CHILD) == 0)
    {
        ModifyStyle(0, WS_CLIPCHILDREN);
        if (m_bSaveRestore)
            LoadWindowRect(false);
    }
    else
        OnEmbeddedLayout();
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOCOPYBITS | SWP_NOOWNERZORDER);
    ArrangeLayout(-1, -1);
}

void CExtResizablePropertySheet::InitLayoutDeferred()
{
    m_bLayoutInitialized = true;
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    m_szInitial = rcWindow.Size();
    m_bApplyMinTrackSize = true;
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);

    const HWND hTab = reinterpret_cast<HWND>(SendMessage(PSM_GETTABCONTROL));
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        char szClass[16] = {};
        ::GetClassNameA(hChild, szClass, sizeof(szClass));
        if (hChild == hTab)
        {
            ModifyStyle(hChild, 0, WS_CLIPSIBLINGS, 0);
            AddAnchor(hChild, g_szAnchorTopLeft, g_szAnchorBottomRight);
        }
        else if (lstrcmpiA(szClass, "static") == 0)
        {
            ModifyStyle(hChild, 0, WS_CLIPSIBLINGS, 0);
            AddAnchor(hChild, g_szAnchorBottomLeft, g_szAnchorBottomRight);
        }
        else if (lstrcmpiA(szClass, "button") == 0)
        {
            CRect rc = ChildRect(hChild);
            rc.OffsetRect(-10, 0);
            ::MoveWindow(hChild, rc.left, rc.top, rc.Width(), rc.Height(), TRUE);
            ModifyStyle(hChild, 0, WS_CLIPSIBLINGS, 0);
            AddAnchor(hChild, g_szAnchorBottomRight, g_szAnchorNone);
            CButtonInSheetHook* pButton = new CButtonInSheetHook;
            if (!pButton->SubclassWindow(hChild))
                delete pButton;
        }
    }
    AnchorPage(nullptr);

    CExtPaintManager::MonitorParams mp;
    CExtPaintManager::GetMonitorParamsFromWnd(mp, this);
    const CRect rcWork(mp.WorkArea);
    m_szMaxTrack = rcWork.Size();
    m_ptMaxPos = rcWork.TopLeft();
    m_szMaxSize = rcWork.Size();
    m_bApplyMaxTrackSize = true;
    m_bApplyMaxPosSize = true;

    GetWindowRect(&rcWindow);
    SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rcWindow.Width(), rcWindow.Height()));
    if (IsWindowVisible())
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    InitLayout();
}

LRESULT CExtResizablePropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_DESTROY:
    case WM_NCDESTROY: m_bLayoutInitialized = false; break;
    case WM_SIZE: AnchorPage(nullptr); break;
    case WM_CLOSE:
        if (m_bSaveRestore)
            SaveWindowRect();
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE && m_bSaveRestore)
            SaveWindowRect();
        break;
    case WM_COMMAND:
        if ((wParam == IDOK || wParam == IDCANCEL) && m_bSaveRestore)
            SaveWindowRect();
        if (wParam == ID_WIZBACK || wParam == ID_WIZNEXT)
            m_pPageBeforeSwitch = GetActivePage();
        break;
    default: break;
    }
    const LRESULT lResult = m_bLayoutInitialized ? CExtResizableSheetBase::WindowProc(message, wParam, lParam)
                                                 : CExtResPS::WindowProc(message, wParam, lParam);
    if (message == WM_CREATE)
    {
        ModifyStyle(0, WS_CLIPCHILDREN | WS_THICKFRAME);
        PostMessage(g_nMsgInitLayout);
    }
    else if (message == g_nMsgInitLayout && !m_bLayoutInitialized)
        InitLayoutDeferred();
    else if (message == WM_COMMAND && (wParam == ID_WIZBACK || wParam == ID_WIZNEXT) && m_bLayoutInitialized)
    {
        CPropertyPage* pActive = GetActivePage();
        if (m_pPageBeforeSwitch != nullptr && pActive != m_pPageBeforeSwitch &&
            ::IsWindow(m_pPageBeforeSwitch->GetSafeHwnd()) && pActive != nullptr && pActive->GetSafeHwnd() != nullptr)
        {
            const CRect rcPlace = ChildRect(m_pPageBeforeSwitch->m_hWnd);
            pActive->MoveWindow(&rcPlace, TRUE);
        }
        m_pPageBeforeSwitch = nullptr;
        AnchorPage(nullptr);
        ArrangeLayout(-1, -1);
    }
    return lResult;
}

BOOL CExtResizablePropertySheet::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (m_hWnd == nullptr)
        return CExtResizableSheetBase::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (nID == ID_WIZNEXT || nID == ID_WIZBACK)
    {
        const BOOL bResult = CExtResizableSheetBase::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
        if (nCode == CN_COMMAND && ::IsWindow(m_hWnd))
            AnchorPage(nullptr);
        return bResult;
    }
    if ((GetStyle() & WS_CHILD) == 0)
        return CExtResizableSheetBase::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if ((nCode == CN_COMMAND || nCode == CN_UPDATE_COMMAND_UI) && (nID & 0x8000) != 0 && nID < 0xF000)
        if (CWinThread* pThread = AfxGetThread())
            return pThread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    return FALSE;
}

void CExtResizablePropertySheet::LayOutEmbedded(const CRect& rcTabs)
{
    if (CWnd* pTabs = GetTabControl())
        pTabs->MoveWindow(&rcTabs, FALSE);
    ArrangeLayout(-1, -1);
    OnEmbeddedLayout();
}

void CExtResizablePropertySheet::OnSize(UINT, int cx, int cy)
{
    Default();
    if ((GetStyle() & WS_CHILD) == 0)
        return;
    // kept as the sheet has always done: without a caption of its own the
    // tab control stops short by a caption and two dialog frames
    const int nCaption =
        (GetStyle() & WS_CAPTION) != 0 ? 0 : 2 * ::GetSystemMetrics(SM_CYDLGFRAME) + ::GetSystemMetrics(SM_CYCAPTION);
    LayOutEmbedded(CRect(0, 0, cx, cy - nCaption));
}

void CExtResizablePropertySheet::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
    if ((GetStyle() & WS_CHILD) == 0 || !IsWindowVisible())
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    LayOutEmbedded(rcClient);
}

BOOL CExtResizablePropertySheet::PreTranslateMessage(MSG* pMsg)
{
    const HWND hFocus = ::GetFocus();
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_TAB && hFocus != nullptr &&
        (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus)))
    {
        const bool bCtrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
        const bool bShift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
        if (!bCtrl)
            SendMessage(WM_NEXTDLGCTL, bShift ? 1 : 0, 0);
        else if (!bShift)
        {
            // page switching stops at the ends instead of wrapping around
            if (GetActiveIndex() != GetPageCount() - 1)
                SendMessage(WM_COMMAND, ID_WIZNEXT);
        }
        else if (GetActiveIndex() != 0)
            SendMessage(WM_COMMAND, ID_WIZBACK);
        // the page that had the focus is hidden now; the tab control keeps
        // the keyboard in the sheet, as the system's own page switch does
        const HWND hFocusAfter = ::GetFocus();
        if (bCtrl && (hFocusAfter == nullptr || (hFocusAfter != m_hWnd && !::IsChild(m_hWnd, hFocusAfter))))
            if (CWnd* pTab = GetTabControl())
                pTab->SetFocus();
        return TRUE;
    }
    return CExtResizableSheetBase::PreTranslateMessage(pMsg);
}
