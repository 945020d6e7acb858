// Tabbed containers: inserting pages and preview tabs, the layout of the
// pages under the tab strip, selection and visibility of pages, and the
// strip's mouse, keyboard and OLE-drag handling.
#include "uitoolkit/docking/ExtDynTabControlBar.h"

#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CExtDynTabWnd, CExtTabWnd)
IMPLEMENT_DYNAMIC(CExtDockDynTabBar, CExtDockDynBar)
IMPLEMENT_DYNCREATE(CExtDynTabControlBar, CExtDynControlBar)

namespace
{

// The strip's tab style: at the bottom, items shrinking to fit.
const DWORD kStripStyle = CExtTabCore::OrientationBottom | CExtTabCore::StyleFit;
// Below the strip's own height.
const int kStripPadding = 6;

bool IsLiveWindow(const CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->m_hWnd != nullptr && ::IsWindow(pWnd->m_hWnd);
}

CExtDockBar* AsExtDockBar(CDockBar* pDockBar)
{
    return pDockBar != nullptr && pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) ? static_cast<CExtDockBar*>(pDockBar)
                                                                                 : nullptr;
}

// A container bar whose panes can be moved over as pages.
CExtDynControlBar* AsContainer(CExtControlBar* pBar)
{
    if (pBar == nullptr || !pBar->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)))
        return nullptr;
    auto* pContainer = static_cast<CExtDynControlBar*>(pBar);
    return pContainer->m_pNestedDockBar != nullptr ? pContainer : nullptr;
}

bool IsShownPage(const CExtControlBar* pPage)
{
    return pPage->IsVisible() && pPage->TakesPartInTabLayout();
}

} // namespace

// ---- the page question of every bar ----

CExtDynTabControlBar* CExtControlBar::GetTabbedContainer() const
{
    CWnd* pParent = m_hWnd != nullptr ? CWnd::FromHandlePermanent(::GetParent(m_hWnd)) : nullptr;
    if (pParent == nullptr || !pParent->IsKindOf(RUNTIME_CLASS(CExtDockDynTabBar)))
        return nullptr;
    return static_cast<CExtDockDynTabBar*>(pParent)->GetTabContainer();
}

// ---- the tab strip ----

CExtDynTabWnd::CExtDynTabWnd()
{
    m_dropTarget.m_pTabWnd = this;
}

CExtDynTabControlBar* CExtDynTabWnd::GetContainer() const
{
    CWnd* pParent = m_hWnd != nullptr ? CWnd::FromHandlePermanent(::GetParent(m_hWnd)) : nullptr;
    return pParent != nullptr && pParent->IsKindOf(RUNTIME_CLASS(CExtDynTabControlBar))
               ? static_cast<CExtDynTabControlBar*>(pParent)
               : nullptr;
}

int CExtDynTabWnd::FindBarItem(const CExtControlBar* pBar) const
{
    return FindItemByData(reinterpret_cast<LONG_PTR>(pBar), -1, true, true);
}

void CExtDynTabWnd::InsertBarItem(CExtControlBar* pBar, int nIndex, bool bTemporary, bool bUpdate)
{
    if (pBar != nullptr && FindBarItem(pBar) < 0)
    {
        DWORD dwStyle = bTemporary ? DWORD(ItemTemporary) : DWORD(0);
        if (!pBar->IsVisible() || !pBar->ShowsInTabStrip())
            dwStyle |= ItemHidden;
        LPCTSTR sProfile = g_CmdManager->GetWindowProfileName(GetSafeHwnd());
        if (g_CmdManager->GetCommandIcon(sProfile, static_cast<UINT>(pBar->GetDlgCtrlID())) == nullptr)
            dwStyle |= ItemNoIcon;
        if (GetItemCount() == 0 || nIndex < 0 || nIndex > GetItemCount())
            nIndex = -1;
        InsertItem(nullptr, nullptr, false, dwStyle, nIndex, reinterpret_cast<LPARAM>(pBar), false);
    }
    UpdateTabWnd(bUpdate);
}

void CExtDynTabWnd::RemoveTemporaryItems(bool bUpdate)
{
    // The tab of a page being dragged out stays: its page is still here.
    CExtDynTabControlBar* pContainer = GetContainer();
    CExtDockDynTabBar* pTabBar = pContainer != nullptr ? pContainer->GetTabDockBar() : nullptr;
    for (int i = GetItemCount() - 1; i >= 0; --i)
        if ((GetItem(i)->GetItemStyle() & ItemTemporary) != 0 &&
            (pTabBar == nullptr || pTabBar->FindBar(GetBarAt(i, false)) <= 0))
            DeleteItems(i, 1, false);
    UpdateTabWnd(bUpdate);
}

bool CExtDynTabWnd::HasTemporaryItems() const
{
    return FindItemByStyle(ItemTemporary, 0, -1) >= 0;
}

CExtControlBar* CExtDynTabWnd::GetBarAt(int nIndex, bool bExcludeTemporary) const
{
    TAB_ITEM_INFO* pItem = GetItem(nIndex);
    if (pItem == nullptr || (bExcludeTemporary && (pItem->GetItemStyle() & ItemTemporary) != 0))
        return nullptr;
    return reinterpret_cast<CExtControlBar*>(pItem->m_lParam);
}

int CExtDynTabWnd::HitTestBar(CPoint ptScreen) const
{
    if (GetSafeHwnd() == nullptr)
        return -1;
    ScreenToClient(&ptScreen);
    const int nHit = HitTest(ptScreen);
    return nHit >= 0 ? nHit : -1;
}

bool CExtDynTabWnd::CanDragItem(int nIndex) const
{
    return GetBarAt(nIndex, true) != nullptr;
}

bool CExtDynTabWnd::OnStartItemDrag(int nIndex)
{
    CExtControlBar* pPage = GetBarAt(nIndex, true);
    if (pPage == nullptr)
        return false;
    StopPushTracking(true);
    StopHoverTracking(true);
    ModifyItemStyle(nIndex, 0, ItemTemporary);
    m_nDragOutTabIndex = nIndex;
    const HWND hWnd = m_hWnd;
    CPoint ptScreen;
    ::GetCursorPos(&ptScreen);
    // The drag may dissolve the container, and this strip with it.
    pPage->StartDragging(ptScreen, CPoint(0, 0), 0, 0);
    if (!::IsWindow(hWnd) || CWnd::FromHandlePermanent(hWnd) != this)
        return true;
    m_nDragOutTabIndex = -1;
    for (int i = 0; i < GetItemCount(); ++i)
        ModifyItemStyle(i, ItemTemporary, 0);
    UpdateTabWnd(true);
    return true;
}

bool CExtDynTabWnd::OnItemClick(int nIndex, bool bPressed, int nButton, UINT nFlags)
{
    if (nButton != 1)
        return true;
    return CExtTabWnd::OnItemClick(nIndex, bPressed, nButton, nFlags);
}

bool CExtDynTabWnd::OnSelectionChange(int nOld, int nNew, bool bBefore)
{
    CExtDynTabControlBar* pContainer = GetContainer();
    if (bBefore)
    {
        if (pContainer != nullptr && !pContainer->OnTabSelectionChange(nOld, nNew, true))
            return false;
        return CExtTabWnd::OnSelectionChange(nOld, nNew, true);
    }
    CExtControlBar* pPage = GetBarAt(nNew, true);
    if (pContainer == nullptr || pPage == nullptr || GetVisibleItemCount() == 0 || !IsLiveWindow(pPage))
        return true;
    CExtDockDynTabBar* pTabBar = pContainer->GetTabDockBar();
    CExtDockBar* pPageDockBar = AsExtDockBar(pPage->m_pDockBar);
    const bool bWasLocked = pPageDockBar != nullptr && pPageDockBar->LockLayout(true);
    pPage->SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    if (pPage->IsWindowVisible())
        pPage->SetFocus();
    if (pPageDockBar != nullptr)
        pPageDockBar->LockLayout(bWasLocked);
    pContainer->RecalcNcFrame();
    if (IsLiveWindow(pTabBar))
        pTabBar->ArrangePages(true);
    CString sText;
    pPage->GetWindowText(sText);
    pContainer->SetWindowText(sText);
    if (IsLiveWindow(pContainer->m_pDockBar))
        pContainer->m_pDockBar->SetWindowText(sText);
    CFrameWnd* pFrame = pContainer->GetParentFrame();
    if (pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
        pFrame->SendMessage(WM_NCPAINT);
    pContainer->OnTabSelectionChange(nOld, nNew, false);
    return true;
}

CExtCmdIcon* CExtDynTabWnd::OnQueryItemIcon(const TAB_ITEM_INFO* pItem) const
{
    const auto* pPage = pItem != nullptr ? reinterpret_cast<const CExtControlBar*>(pItem->m_lParam) : nullptr;
    if (pPage == nullptr || !IsLiveWindow(pPage))
        return nullptr;
    LPCTSTR sProfile = g_CmdManager->GetWindowProfileName(GetSafeHwnd());
    return g_CmdManager->GetCommandIcon(sProfile, static_cast<UINT>(pPage->GetDlgCtrlID()));
}

const CString* CExtDynTabWnd::OnQueryItemText(const TAB_ITEM_INFO* pItem) const
{
    // One string for every strip: callers copy the text at once.
    static CString g_sItemText;
    g_sItemText.Empty();
    const auto* pPage = pItem != nullptr ? reinterpret_cast<const CExtControlBar*>(pItem->m_lParam) : nullptr;
    if (pPage != nullptr && IsLiveWindow(pPage))
        pPage->GetBarText(4, g_sItemText);
    return &g_sItemText;
}

void CExtDynTabWnd::DrawItem(CDC& dc, const CRect& rcItems, TAB_ITEM_INFO* pItem, int nIndex, const CRect& rcItem,
                             bool bHorz, bool bTopOrLeft, DWORD dwStyleBits, bool bSelected, CFont* pFont,
                             const CString& sText, CExtCmdIcon* pIcon, bool bActiveInGroup, CSize sizeText)
{
    // While a preview tab is shown, it alone looks selected; a run of
    // preview tabs (a container's panes) shows its first one so.
    if (HasTemporaryItems())
    {
        const bool bTemporary = (pItem->GetItemStyle() & ItemTemporary) != 0;
        TAB_ITEM_INFO* pPrev = pItem->GetPrev();
        bSelected = bTemporary && (pPrev == nullptr || (pPrev->GetItemStyle() & ItemTemporary) == 0);
    }
    CExtTabWnd::DrawItem(dc, rcItems, pItem, nIndex, rcItem, bHorz, bTopOrLeft, dwStyleBits, bSelected, pFont, sText,
                         pIcon, bActiveInGroup, sizeText);
}

bool CExtDynTabWnd::HandlePageKey(bool bForward)
{
    const int nCount = GetItemCount();
    const int nSelected = GetSelectedIndex();
    if (GetVisibleItemCount() == 0 || nSelected < 0 || nCount == 0)
        return false;
    int nFound = nSelected;
    for (int nStep = 1; nStep <= nCount; ++nStep)
    {
        const int i = ((nSelected + (bForward ? nStep : -nStep)) % nCount + nCount) % nCount;
        if (i == nSelected)
            break;
        TAB_ITEM_INFO* pItem = GetItem(i);
        CExtControlBar* pPage = GetBarAt(i, true);
        if (!pItem->IsVisible() || pPage == nullptr || !IsLiveWindow(pPage) || !pPage->IsWindowVisible())
            continue;
        nFound = i;
        break;
    }
    if (nFound != nSelected)
    {
        CWnd::CancelToolTips();
        SelectItem(nFound, true, true);
    }
    return true;
}

BOOL CExtDynTabWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_PRIOR || pMsg->wParam == VK_NEXT) &&
        ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_MENU) >= 0 &&
        HandlePageKey(pMsg->wParam == VK_NEXT))
        return TRUE;
    return CExtTabWnd::PreTranslateMessage(pMsg);
}

void CExtDynTabWnd::OnTabContextMenu(CPoint ptScreen)
{
    CExtDynTabControlBar* pContainer = GetContainer();
    if (pContainer == nullptr || pContainer->m_pDockSite == nullptr || CExtControlBar::g_bLockAllBars ||
        CExtControlBar::IsFrameHelpMode(this))
        return;
    CFrameWnd* pSite = pContainer->m_pDockSite;
    auto* pPopup = new CExtPopupMenuWnd;
    HMENU hEmpty = ::CreatePopupMenu();
    pPopup->UpdateFromMenuHandle(pSite->GetSafeHwnd(), hEmpty, false);
    ::DestroyMenu(hEmpty);
    CExtControlBar::POPUP_MENU_EVENT_DATA data(9, pPopup, this, ptScreen, WM_CONTEXTMENU);
    if (!data.NotifyTarget(false))
        for (int i = 0; i < GetItemCount(); ++i)
        {
            CExtControlBar* pPage = GetBarAt(i, true);
            if (pPage != nullptr && pPage->m_bListedInBarsMenu)
                pPopup->ItemInsert(static_cast<UINT>(pPage->GetDlgCtrlID()));
        }
    data.NotifyTarget(true);
    if (pPopup->ItemGetCount() == 0)
    {
        delete pPopup;
        return;
    }
    pSite->SetFocus();
    // A menu that fails to track is deleted by the call itself.
    pPopup->TrackPopupMenu(CExtPopupMenuWnd::TRACK_OWNER_DRAW, ptScreen.x, ptScreen.y);
}

LRESULT CExtDynTabWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE:
    {
        const LRESULT lResult = CExtTabWnd::WindowProc(message, wParam, lParam);
        // Fails quietly on a thread without OLE: the strip then takes no OLE drags.
        if (lResult != -1)
            m_dropTarget.Register(this);
        return lResult;
    }
    case WM_DESTROY: m_dropTarget.Revoke(); break;
    case WM_LBUTTONDBLCLK:
    {
        const int nHit = HitTest(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
        if (CExtControlBar* pPage = GetBarAt(nHit, true))
            pPage->FloatAt(pPage->m_ptFloatPos.x, pPage->m_ptFloatPos.y, CBRS_ALIGN_TOP);
        return 0;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return DefWindowProc(message, wParam, lParam);
    case WM_CONTEXTMENU:
        OnTabContextMenu(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
        return 0;
    default: break;
    }
    return CExtTabWnd::WindowProc(message, wParam, lParam);
}

DROPEFFECT CExtDynTabWnd::CDynDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint point)
{
    CExtDynTabWnd* pTabs = m_pTabWnd;
    if (pTabs == nullptr || pTabs->GetSafeHwnd() == nullptr)
        return DROPEFFECT_NONE;
    pTabs->ClientToScreen(&point);
    const int nHit = pTabs->HitTestBar(point);
    CExtControlBar* pPage = pTabs->GetBarAt(nHit, true);
    if (pPage == nullptr)
        return DROPEFFECT_NONE;
    const int nDelay = pPage->GetTabHoverSelectDelay(pTabs);
    if (nDelay > 0)
    {
        if (pTabs->GetHoverSelectIndex() != nHit)
            pTabs->SetHoverSelectTimer(nHit, static_cast<UINT>(nDelay));
    }
    else if (nDelay == 0 && pTabs->GetSelectedIndex() != nHit)
        pTabs->SelectItem(nHit, true, true);
    return DROPEFFECT_NONE;
}

// ---- the tab dock bar ----

CExtDynTabControlBar* CExtDockDynTabBar::GetTabContainer() const
{
    CExtControlBar* pContainer = GetContainer();
    return pContainer != nullptr && pContainer->IsKindOf(RUNTIME_CLASS(CExtDynTabControlBar))
               ? static_cast<CExtDynTabControlBar*>(pContainer)
               : nullptr;
}

CSize CExtDockDynTabBar::ArrangePages(bool bRepositionPages)
{
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    CArray<CExtControlBar*, CExtControlBar*> arrPages;
    CExtDockDynBar::CollectBars(arrPages);
    if (arrPages.GetSize() == 0)
        return rcWindow.Size();
    if (bRepositionPages)
        for (INT_PTR i = 0; i < arrPages.GetSize(); ++i)
            arrPages[i]->m_bNoSizeHandling = true;
    CRect rcClient;
    GetClientRect(&rcClient);
    HDWP hDWP = ::BeginDeferWindowPos(static_cast<int>(arrPages.GetSize()));
    for (INT_PTR i = 0; i < arrPages.GetSize() && hDWP != nullptr; ++i)
        hDWP =
            ::DeferWindowPos(hDWP, arrPages[i]->m_hWnd, nullptr, rcClient.left, rcClient.top, rcClient.Width(),
                             rcClient.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    if (hDWP != nullptr)
        ::EndDeferWindowPos(hDWP);
    if (bRepositionPages)
        for (INT_PTR i = 0; i < arrPages.GetSize(); ++i)
        {
            arrPages[i]->m_bNoSizeHandling = false;
            arrPages[i]->RepositionChild(-1, -1, true);
        }
    return rcWindow.Size();
}

void CExtDockDynTabBar::SyncPageSizes(bool bCopySizes, bool bEnsureActive)
{
    CExtDynTabControlBar* pContainer = GetTabContainer();
    if (pContainer == nullptr)
        return;
    if (bCopySizes)
    {
        CArray<CExtControlBar*, CExtControlBar*> arrPages;
        CExtDockDynBar::CollectBars(arrPages);
        for (INT_PTR i = 0; i < arrPages.GetSize(); ++i)
        {
            arrPages[i]->m_sizeDockedH = pContainer->m_sizeDockedH;
            arrPages[i]->m_sizeDockedV = pContainer->m_sizeDockedV;
            arrPages[i]->m_sizeFloated = pContainer->m_sizeFloated;
        }
    }
    if (bEnsureActive)
        pContainer->EnsureActivePage();
}

BOOL CExtDockDynTabBar::PreTranslateMessage(MSG* pMsg)
{
    CExtDynTabControlBar* pContainer = GetTabContainer();
    if (pContainer != nullptr && pContainer->PreTranslateMessage(pMsg))
        return TRUE;
    return CExtDockDynBar::PreTranslateMessage(pMsg);
}

CSize CExtDockDynTabBar::CalcFixedLayout(BOOL, BOOL)
{
    return ArrangePages(false);
}

void CExtDockDynTabBar::UpdateNestedLayout()
{
    if (m_bLayoutLocked)
        return;
    CExtDockDynBar::UpdateNestedLayout();
    SyncPageSizes(true, false);
}

void CExtDockDynTabBar::CollapseNestedContainers()
{
    if (m_bLayoutLocked)
        return;
    // A page that leaves keeps no place here: pages come back by their tabs.
    RemoveAllPlaceholders(false);
    if (CExtDynTabControlBar* pContainer = GetTabContainer())
        pContainer->RemoveBarItem(nullptr);
    const HWND hWnd = m_hWnd;
    CExtDockDynBar::CollapseNestedContainers();
    if (::IsWindow(hWnd) && CWnd::FromHandlePermanent(hWnd) == this)
        SyncPageSizes(false, true);
}

void CExtDockDynTabBar::CollectBars(CArray<CExtControlBar*, CExtControlBar*>& arrBars)
{
    // In tab order, which is the order a restored layout must give back;
    // a page without a tab (being inserted) follows in array order.
    CArray<CExtControlBar*, CExtControlBar*> arrPages;
    CExtDockDynBar::CollectBars(arrPages);
    CExtDynTabControlBar* pContainer = GetTabContainer();
    if (pContainer != nullptr)
        for (int i = 0; i < pContainer->m_wndTabs.GetItemCount(); ++i)
            if (CExtControlBar* pPage = pContainer->m_wndTabs.GetBarAt(i, true))
                for (INT_PTR j = 0; j < arrPages.GetSize(); ++j)
                    if (arrPages[j] == pPage)
                    {
                        arrBars.Add(pPage);
                        arrPages.RemoveAt(j);
                        break;
                    }
    for (INT_PTR j = 0; j < arrPages.GetSize(); ++j)
        arrBars.Add(arrPages[j]);
}

// ---- the container ----

CExtDockDynBar* CExtDynTabControlBar::CreateNestedDockBar()
{
    return new CExtDockDynTabBar(0);
}

CExtControlBar* CExtDynTabControlBar::GetSelectedPage() const
{
    return m_wndTabs.GetBarAt(m_wndTabs.GetSelectedIndex(), true);
}

CExtDynTabControlBar* CExtDynTabControlBar::GetTabbedContainer() const
{
    return const_cast<CExtDynTabControlBar*>(this);
}

bool CExtDynTabControlBar::OnTabSelectionChange(int, int, bool)
{
    return true;
}

LRESULT CExtDynTabControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CREATE:
    {
        if (CExtDynControlBar::WindowProc(message, wParam, lParam) == -1)
            return -1;
        CRect rc;
        GetClientRect(&rc);
        rc.top = rc.bottom - 14;
        if (rc.Width() <= 0)
            rc.right = rc.left + 10;
        if (!m_wndTabs.Create(this, rc, static_cast<UINT>(-1), WS_CHILD | WS_VISIBLE, kStripStyle))
            return -1;
        return 0;
    }
    case WM_SETFOCUS:
    {
        const LRESULT lResult = CExtDynControlBar::WindowProc(message, wParam, lParam);
        CExtControlBar* pPage = GetSelectedPage();
        if (pPage != nullptr && IsLiveWindow(pPage) && pPage->IsWindowVisible())
            pPage->SetFocus();
        return lResult;
    }
    default: return CExtDynControlBar::WindowProc(message, wParam, lParam);
    }
}

BOOL CExtDynTabControlBar::PreTranslateMessage(MSG* pMsg)
{
    if (m_wndTabs.GetSafeHwnd() != nullptr && m_wndTabs.PreTranslateMessage(pMsg))
        return TRUE;
    return CExtDynControlBar::PreTranslateMessage(pMsg);
}

bool CExtDynTabControlBar::HasGripper(bool* pbCaptionAtTop, bool* pbCaptionShown) const
{
    const bool bCaption = !IsSingleInFloatingFrame();
    if (pbCaptionAtTop != nullptr)
        *pbCaptionAtTop = bCaption;
    if (pbCaptionShown != nullptr)
        *pbCaptionShown = bCaption;
    return bCaption;
}

void CExtDynTabControlBar::ShowBar(bool bShow, bool bDelay, int nFlag)
{
    CExtControlBar* pPage = GetSelectedPage();
    if (bShow || nFlag == 0 || pPage == nullptr)
    {
        CExtDynControlBar::ShowBar(bShow, bDelay, nFlag);
        return;
    }
    pPage->ShowBar(false, true, nFlag);
    if (CFrameWnd* pFrame = GetDockingFrame())
    {
        pFrame->ShowControlBar(pPage, FALSE, TRUE);
        if (!bDelay)
            pFrame->RecalcLayout();
    }
}

bool CExtDynTabControlBar::GetCloseButtonFlag() const
{
    CExtControlBar* pPage = GetSelectedPage();
    return pPage != nullptr ? pPage->GetCloseButtonFlag() : g_bCloseButtonFlag;
}

void CExtDynTabControlBar::GetBarText(int nKind, CString& sText) const
{
    sText.Empty();
    const CExtControlBar* pPage = GetSelectedPage();
    if (pPage == nullptr && IsLiveWindow(m_pNestedDockBar))
    {
        CWnd* pFirst = CWnd::FromHandlePermanent(::GetWindow(m_pNestedDockBar->m_hWnd, GW_CHILD));
        if (pFirst != nullptr && pFirst->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
            pPage = static_cast<CExtControlBar*>(pFirst);
    }
    if (pPage == nullptr || !IsLiveWindow(pPage))
        return;
    pPage->GetBarText(nKind == 0 ? 2 : nKind == 1 ? 3 : nKind, sText);
}

CSize CExtDynTabControlBar::CalcContainerMinSize() const
{
    CSize size(CExtControlBar::GetMinimalWidth(), CExtControlBar::GetMinimalHeight());
    if (m_pNestedDockBar == nullptr)
        return size;
    CArray<CExtControlBar*, CExtControlBar*> arrPages;
    m_pNestedDockBar->CExtDockDynBar::CollectBars(arrPages);
    for (INT_PTR i = 0; i < arrPages.GetSize(); ++i)
        if (IsShownPage(arrPages[i]))
        {
            size.cx = std::max<LONG>(size.cx, arrPages[i]->GetMinimalWidth());
            size.cy = std::max<LONG>(size.cy, arrPages[i]->GetMinimalHeight());
        }
    return size;
}

int CExtDynTabControlBar::GetTabStripHeight()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    // Without items or room the strip measures its own window, which this
    // height then sizes: nothing to measure yet.
    if (rcClient.IsRectEmpty() || m_wndTabs.GetItemCount() == 0)
        return kStripPadding;
    const CRect rcItems = m_wndTabs.CalcLayoutForRect(rcClient);
    return (m_wndTabs.IsHorizontal() ? rcItems.Height() : rcItems.Width()) + kStripPadding;
}

void CExtDynTabControlBar::RepositionChild(int cx, int cy, bool bRecalc)
{
    CExtDockDynTabBar* pTabBar = GetTabDockBar();
    if (m_wndTabs.GetSafeHwnd() == nullptr || !IsLiveWindow(pTabBar))
        return;
    RemoveStaleItems();
    if (m_wndTabs.GetOrientation() != CExtTabCore::OrientationBottom)
        m_wndTabs.SetOrientation(CExtTabCore::OrientationBottom, false);
    CRect rc(0, 0, cx, cy);
    if (cx < 0 || cy < 0)
        GetClientRect(&rc);
    if (m_pDockBar != nullptr && m_pDockBar->GetDlgCtrlID() == AFX_IDW_DOCKBAR_FLOAT)
        rc.DeflateRect(1, 1);
    const int nStrip = GetTabStripHeight();
    m_wndTabs.SetWindowPos(nullptr, rc.left, rc.bottom - nStrip - 1, rc.Width(), nStrip + 1,
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    CRect rcPages(rc);
    if (m_wndTabs.GetVisibleItemCount() >= 2)
    {
        m_wndTabs.ShowWindow(SW_SHOWNA);
        rcPages.bottom -= nStrip + 1;
    }
    else
        m_wndTabs.ShowWindow(SW_HIDE);
    pTabBar->SetWindowPos(nullptr, rcPages.left, rcPages.top, rcPages.Width(), rcPages.Height(),
                          SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    pTabBar->ArrangePages(true);
    m_wndTabs.UpdateTabWnd(false);
    m_wndTabs.Invalidate();
    if (bRecalc)
        pTabBar->UpdateNestedLayout();
}

void CExtDynTabControlBar::RemoveStaleItems()
{
    CExtDockDynTabBar* pTabBar = GetTabDockBar();
    if (pTabBar == nullptr)
        return;
    bool bRemoved = false;
    for (int i = m_wndTabs.GetItemCount() - 1; i >= 0; --i)
    {
        CExtControlBar* pPage = m_wndTabs.GetBarAt(i, true);
        if (pPage != nullptr && pTabBar->FindBar(pPage) <= 0)
        {
            m_wndTabs.DeleteItems(i, 1, false);
            bRemoved = true;
        }
    }
    if (bRemoved)
        m_wndTabs.UpdateTabWnd(false);
}

void CExtDynTabControlBar::RemoveBarItem(CExtControlBar* pBar)
{
    if (pBar == nullptr)
    {
        RemoveStaleItems();
        return;
    }
    const int nIndex = m_wndTabs.FindBarItem(pBar);
    if (nIndex >= 0)
        m_wndTabs.DeleteItems(nIndex, 1, true);
}

void CExtDynTabControlBar::EnsureActivePage()
{
    if (m_wndTabs.GetItemCount() <= 1 || m_wndTabs.GetSelectedIndex() >= 0 || !IsLiveWindow(m_pNestedDockBar))
        return;
    for (HWND h = ::GetWindow(m_pNestedDockBar->m_hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
            continue;
        const int nIndex = m_wndTabs.FindBarItem(static_cast<CExtControlBar*>(pWnd));
        if (nIndex < 0 || (m_wndTabs.GetItem(nIndex)->GetItemStyle() & CExtDynTabWnd::ItemTemporary) != 0)
            continue;
        m_wndTabs.ModifyItemStyle(nIndex, CExtTabCore::ItemHidden, 0);
        m_wndTabs.SelectItem(nIndex, true, true);
        pWnd->SetFocus();
        return;
    }
}

void CExtDynTabControlBar::InsertOneBar(CExtControlBar* pBar, int& nIndex)
{
    CExtDockDynTabBar* pTabBar = GetTabDockBar();
    CExtDockBar* pHolding = AsExtDockBar(m_pDockBar);
    const bool bHoldingWasLocked = pHolding != nullptr && pHolding->LockLayout(true);
    if (CExtDynControlBar* pContainer = AsContainer(pBar))
    {
        pContainer->m_pNestedDockBar->RemoveAllPlaceholders(false);
        CArray<CExtControlBar*, CExtControlBar*> arrPanes;
        pContainer->m_pNestedDockBar->CollectBars(arrPanes);
        for (INT_PTR i = 0; i < arrPanes.GetSize(); ++i)
        {
            CExtDockBar* pFrom = AsExtDockBar(arrPanes[i]->m_pDockBar);
            const bool bFromWasLocked = pFrom != nullptr && pFrom->LockLayout(true);
            InsertOneBar(arrPanes[i], nIndex);
            if (pFrom != nullptr && IsLiveWindow(pFrom))
                pFrom->LockLayout(bFromWasLocked);
        }
    }
    else if (pBar != nullptr)
    {
        const bool bHidden = pBar->IsVisible() && pBar->TakesPartInTabLayout();
        if (bHidden)
            pBar->ShowWindow(SW_HIDE);
        pTabBar->DockControlBar(pBar, nullptr, false);
        if (!pTabBar->m_bLayoutLocked)
        {
            CRect rc;
            pTabBar->GetClientRect(&rc);
            if (bHidden && !m_wndTabs.IsWindowVisible())
                rc.bottom -= GetTabStripHeight() + 1;
            pBar->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            pBar->RepositionChild(-1, -1, true);
        }
        if (bHidden)
            pBar->ShowWindow(SW_SHOWNA);
        if (m_pDockSite != nullptr)
            CExtDockBar::RemovePlaceholderInFrame(m_pDockSite, static_cast<UINT>(pBar->GetDlgCtrlID()));
        m_wndTabs.InsertBarItem(pBar, nIndex, false, false);
        ++nIndex;
    }
    if (pHolding != nullptr && IsLiveWindow(pHolding))
        pHolding->LockLayout(bHoldingWasLocked);
}

void CExtDynTabControlBar::InsertBar(CExtControlBar* pBar, int nIndex, bool bUpdate)
{
    m_wndTabs.RemoveTemporaryItems(false);
    if (nIndex < 0 || nIndex > m_wndTabs.GetItemCount())
        nIndex = m_wndTabs.GetItemCount();
    InsertOneBar(pBar, nIndex);
    m_wndTabs.UpdateTabWnd(bUpdate);
    if (!bUpdate)
        return;
    if (m_pDockSite != nullptr)
        CExtDockBar::RemoveEmptyCirclesInFrame(m_pDockSite);
    RepositionChild(-1, -1, true);
    CExtPaintManager::DispatchPendingPaint(true, true, true);
}

void CExtDynTabControlBar::InsertTemporaryBar(CExtControlBar* pBar, int nIndex, bool bUpdate)
{
    if (nIndex < 0 || nIndex > m_wndTabs.GetItemCount())
        nIndex = m_wndTabs.GetItemCount();
    if (CExtDynControlBar* pContainer = AsContainer(pBar))
    {
        CArray<CExtControlBar*, CExtControlBar*> arrPanes;
        pContainer->m_pNestedDockBar->CollectBars(arrPanes);
        for (INT_PTR i = 0; i < arrPanes.GetSize(); ++i)
            if (AsContainer(arrPanes[i]) != nullptr || IsShownPage(arrPanes[i]))
            {
                const int nBefore = m_wndTabs.GetItemCount();
                InsertTemporaryBar(arrPanes[i], nIndex, false);
                nIndex += m_wndTabs.GetItemCount() - nBefore;
            }
    }
    else if (pBar != nullptr)
        m_wndTabs.InsertBarItem(pBar, nIndex, true, false);
    m_wndTabs.UpdateTabWnd(bUpdate);
}

void CExtDynTabControlBar::OnPageVisibilityChanged(CExtControlBar* pBar)
{
    if (pBar == nullptr || (!IsDocked() && !IsFloating() && !IsDialogHosted()))
        return;
    const bool bShown = IsShownPage(pBar);
    const int nIndex = m_wndTabs.FindBarItem(pBar);
    if (nIndex < 0)
        return;
    const bool bWasHidden = !m_wndTabs.GetItem(nIndex)->IsVisible();
    if (!bShown && m_wndTabs.GetSelectedIndex() == nIndex)
    {
        int nNext = -1;
        for (HWND h = ::GetWindow(pBar->m_hWnd, GW_HWNDNEXT); h != nullptr && nNext < 0;
             h = ::GetWindow(h, GW_HWNDNEXT))
        {
            CWnd* pWnd = CWnd::FromHandlePermanent(h);
            if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ||
                !IsShownPage(static_cast<CExtControlBar*>(pWnd)))
                continue;
            nNext = m_wndTabs.FindBarItem(static_cast<CExtControlBar*>(pWnd));
        }
        m_wndTabs.SelectItem(nNext, false, false);
    }
    const DWORD dwHidden = CExtTabCore::ItemHidden;
    m_wndTabs.ModifyItemStyle(nIndex, bShown ? dwHidden : 0, bShown ? 0 : dwHidden);
    if (bShown && bWasHidden)
        m_wndTabs.SelectItem(nIndex, true, false);
    m_wndTabs.UpdateTabWnd(true);
    CFrameWnd* pFrame = pBar->GetParentFrame();
    if (pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
        pFrame->DelayRecalcLayout();
    RepositionChild(-1, -1, true);
}
