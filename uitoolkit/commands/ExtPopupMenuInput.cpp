// The input of a tracked popup menu: mouse moves and clicks and keys handed
// over by the tracker's hooks, the keyboard order over the items, the
// mnemonic and text searches, and the menu's timers for delayed sub-menus,
// scrolling and expanding on hover.
//
// As in the highlight code, every step that can reach owner code is
// followed by a check of the window handle kept in a local.
#include "framework/win/AfxMsg.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupColorMenuWnd.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/core/ExtPopupMenuNavigation.h"

bool CExtPopupMenuWnd::g_bExpandOnHover = true;
bool CExtPopupMenuWnd::g_bItemTips = true;

namespace
{

using MENUITEMDATA = CExtPopupMenuWnd::MENUITEMDATA;
using Nav = CExtPopupMenuNavigation;

const UINT_PTR kTimerDelayedSubMenu = 667;
const UINT_PTR kTimerScrolling = 668;
const UINT_PTR kTimerExpandHover = 670;
const UINT kScrollingMs = 15;
const UINT kExpandHoverMs = 30;
const int kScrollStep = 5;

bool KeyDown(int nVirtualKey)
{
    return (::GetAsyncKeyState(nVirtualKey) & 0x8000) != 0;
}

bool IsEditShown(const MENUITEMDATA& mi)
{
    return mi.m_pInplaceEditWnd != nullptr && mi.m_pInplaceEditWnd->GetSafeHwnd() != nullptr &&
           mi.m_pInplaceEditWnd->IsWindowVisible();
}

bool IsEditUsable(const MENUITEMDATA& mi)
{
    return mi.m_pInplaceEditWnd != nullptr && mi.m_pInplaceEditWnd->GetSafeHwnd() != nullptr &&
           (mi.m_nInplaceFlags & MENUITEMDATA::INPLACE_ACTIVE) != 0;
}

} // namespace

CExtPopupMenuNavigation::Menu CExtPopupMenuWnd::NavigationMenu()
{
    Nav::Menu menu;
    menu.Current = m_nCurIndex;
    menu.CanExpand = CanExpand();
    menu.NoItemDisplayed = IsNoItemDisplayed();
    for (int i = 0; i < ItemGetCount(); ++i)
    {
        const MENUITEMDATA& mi = m_items[i];
        Nav::Item item;
        item.Displayed = mi.IsDisplayed();
        item.Selectable = IsItemHighlightable(i);
        item.Wrap = (mi.m_nStateFlags & MENUITEMDATA::STATE_WRAP) != 0;
        item.NoText = (mi.m_nThirdFlags & MENUITEMDATA::THIRD_NO_TEXT) != 0;
        item.Mnemonic = static_cast<char>(mi.GetMnemonic());
        if (item.Displayed)
        {
            CRect rc;
            ItemGetRect(i, rc, false);
            item.Left = rc.left;
            item.Right = rc.right;
        }
        menu.Items.push_back(item);
    }
    return menu;
}

bool CExtPopupMenuWnd::CanExpand() const
{
    return (m_nMenuState & MENU_COLLAPSED) != 0 && (m_nMenuState & MENU_EXPANDED) == 0;
}

int CExtPopupMenuWnd::ItemGetNextSelectable(int nCode)
{
    return Nav::NextSelectable(NavigationMenu(), nCode);
}

int CExtPopupMenuWnd::ItemFindByAccessChar(char ch, int nAfter, bool) const
{
    if (ch == '0')
        return -1;
    const char chUpper = static_cast<char>(
        reinterpret_cast<UINT_PTR>(::CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(BYTE(ch))))));
    Nav::Menu menu;
    for (int i = 0; i < ItemGetCount(); ++i)
    {
        Nav::Item item;
        item.Selectable = IsItemHighlightable(i);
        item.Mnemonic = static_cast<char>(m_items[i].GetMnemonic());
        menu.Items.push_back(item);
    }
    return Nav::FindByAccessChar(menu, chUpper, nAfter);
}

int CExtPopupMenuWnd::ItemFindByText(LPCTSTR lpszText, int nAfter, bool) const
{
    std::vector<CString> texts;
    for (int i = 0; i < ItemGetCount(); ++i)
        texts.push_back(m_items[i].GetText());
    return Nav::FindByText(texts, lpszText, nAfter);
}

int CExtPopupMenuWnd::ItemFindDefaultCommand() const
{
    for (int i = 0; i < ItemGetCount(); ++i)
        if (ItemIsDefaultCommand(i))
            return i;
    return -1;
}

bool CExtPopupMenuWnd::IsInputBlocked(bool bNeedsAnimationFinished) const
{
    const CExtPopupMenuTracker& tracker = GetTracker();
    if (bNeedsAnimationFinished && !m_animation.Finished)
        return true;
    return tracker.IsClosing() || tracker.GetTopPopup() == nullptr || tracker.GetAnimatingPopup() != nullptr;
}

int CExtPopupMenuWnd::ChildItemIndex(HWND hWndChild) const
{
    for (int i = 0; i < ItemGetCount(); ++i)
    {
        const CWnd* pEdit = m_items[i].m_pInplaceEditWnd;
        if (pEdit != nullptr && pEdit->GetSafeHwnd() == hWndChild)
            return i;
    }
    return -1;
}

// The mouse over an item's in-place edit goes on to the edit.
bool CExtPopupMenuWnd::HoverOverChild(const CPoint& ptClient, bool bSelectFirst, bool& bPassOn)
{
    CPoint ptScreen = ptClient;
    ClientToScreen(&ptScreen);
    const HWND hWndUnder = ::WindowFromPoint(ptScreen);
    if (hWndUnder == nullptr || hWndUnder == GetSafeHwnd() || !::IsChild(GetSafeHwnd(), hWndUnder))
        return false;
    const int nIndex = ChildItemIndex(hWndUnder);
    if (nIndex >= 0 && nIndex != m_nCurIndex)
        ItemFocusSet(nIndex, false, true, bSelectFirst);
    bPassOn = true;
    return true;
}

void CExtPopupMenuWnd::ShowItemEdit(int nIndex)
{
    MENUITEMDATA& mi = m_items[nIndex];
    if (!IsEditShown(mi))
    {
        CRect rcItem;
        ItemGetRect(nIndex, rcItem);
        const CRect rcEdit = mi.GetInplaceEditRect(rcItem, IsRightToLeft());
        mi.m_pInplaceEditWnd->SetWindowPos(nullptr, rcEdit.left, rcEdit.top, rcEdit.Width(), rcEdit.Height(),
                                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    mi.m_pInplaceEditWnd->SetFocus();
}

bool CExtPopupMenuWnd::ShowTipAt(const CRect& rcScreen, LPCTSTR lpszText, int nTipType)
{
    if (m_wndToolTip.GetSafeHwnd() != nullptr && m_wndToolTip.IsWindowVisible() && m_rcTipArea == rcScreen)
        return true;
    if ((m_nMenuState & MENU_NO_ITEM_TIPS) != 0)
        return false;
    m_rcTipArea = rcScreen;
    m_wndToolTip.SetText(lpszText);
    m_wndToolTip.SetTipType(nTipType);
    return m_wndToolTip.Show(this, rcScreen);
}

void CExtPopupMenuWnd::HoverTearOffBar(int nTipType)
{
    const HWND hWnd = GetSafeHwnd();
    ItemHighlightClear(true, false);
    if (!IsLiveWindow(hWnd))
        return;
    CaptureSet();
    ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
    if (g_bItemTips && CaptureGet() == this)
    {
        CRect rcTearOff;
        ItemGetRect(IDX_TEAR_OFF, rcTearOff);
        ClientToScreen(&rcTearOff);
        ShowTipAt(rcTearOff, "Drag to make this menu float", nTipType);
    }
}

bool CExtPopupMenuWnd::OnMouseMove(UINT nFlags, CPoint ptClient, bool& bPassOn)
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd))
        return false;
    if (IsInputBlocked(true))
        return true;
    if (HoverOverChild(ptClient, true, bPassOn))
        return false;
    const HWND hWndFocus = ::GetFocus();
    if (hWndFocus != nullptr && ::IsChild(hWnd, hWndFocus))
        return true;
    if (!IsPointOverThisWindow(ptClient))
    {
        if (m_pWndParentMenu != nullptr && m_pWndParentMenu->GetSafeHwnd() != nullptr)
        {
            CPoint ptParent = ptClient;
            ClientToScreen(&ptParent);
            m_pWndParentMenu->ScreenToClient(&ptParent);
            if (m_pWndParentMenu->OnMouseMove(nFlags, ptParent, bPassOn))
            {
                if (IsLiveWindow(hWnd))
                    m_nLastMousePick = -1;
                return !bPassOn;
            }
            if (!IsLiveWindow(hWnd))
                return true;
        }
        if (IsValidIndex(m_nCurIndex) && m_nLastMousePick >= 0 && CaptureGet() == this)
        {
            const MENUITEMDATA& mi = m_items[m_nCurIndex];
            const bool bSubHighlighted = mi.IsPopup() && mi.m_pWndChild != nullptr && mi.m_pWndChild->m_nCurIndex >= 0;
            if (!bSubHighlighted)
            {
                ItemHighlightClear(true, true);
                if (!IsLiveWindow(hWnd))
                    return true;
            }
        }
        m_nLastMousePick = -1;
        return false;
    }
    const int nHit = OnHitTest(ptClient);
    if (nHit == IDX_EXPAND)
    {
        ItemHighlightClear(true, true);
        if (!IsLiveWindow(hWnd))
            return true;
        if (g_bExpandOnHover)
        {
            CaptureSet();
            if (m_nExpandHoverCounter == 0)
            {
                SetTimer(kTimerExpandHover, kExpandHoverMs, nullptr);
                m_nExpandHoverCounter = 1;
            }
        }
        return true;
    }
    if (nHit == IDX_TEAR_OFF && IsTearOffCaption())
    {
        HoverTearOffBar(g_nTearOffTipType);
        return true;
    }
    if (nHit == IDX_SCROLL_TOP || nHit == IDX_SCROLL_BOTTOM)
    {
        StartScrolling(nHit);
        return true;
    }
    if (nHit < 0 || nHit == m_nCurIndex || !IsItemHighlightable(nHit))
        return false;
    DelayedSubMenuStart(-1);
    if (!IsLiveWindow(hWnd))
        return true;
    CaptureSet();
    ItemFocusSet(nHit, false, true, true);
    if (!IsLiveWindow(hWnd))
        return true;
    m_nLastMousePick = nHit;
    MENUITEMDATA& mi = m_items[nHit];
    if (mi.IsPopup())
    {
        TipHide(false);
        if (!IsLiveWindow(hWnd))
            return true;
        if (mi.m_pWndChild != nullptr && mi.m_pWndChild->GetSafeHwnd() == nullptr)
            DelayedSubMenuStart(nHit);
        return true;
    }
    if (g_bItemTips && (m_nMenuState & MENU_NO_ITEM_TIPS) == 0 && CaptureGet() == this)
    {
        CString sTip;
        mi.GetTip(sTip);
        if (!sTip.IsEmpty())
        {
            CRect rcItem;
            ItemGetRect(nHit, rcItem, false);
            ClientToScreen(&rcItem);
            ShowTipAt(rcItem, sTip, GetItemTipType());
        }
    }
    return true;
}

bool CExtPopupMenuWnd::IsOverOpeningToolBarButton(const CPoint& ptClient) const
{
    CPoint ptScreen = ptClient;
    ::ClientToScreen(GetSafeHwnd(), &ptScreen);
    CWnd* pWndUnder = CWnd::FromHandlePermanent(::WindowFromPoint(ptScreen));
    if (pWndUnder == nullptr || !pWndUnder->IsKindOf(RUNTIME_CLASS(CExtToolControlBar)))
        return false;
    const auto* pBar = static_cast<CExtToolControlBar*>(pWndUnder);
    const CExtBarButton* pButton = pBar->GetButton(pBar->GetMenuTrackingButton());
    if (pButton == nullptr)
        return false;
    CPoint ptBar = ptScreen;
    pWndUnder->ScreenToClient(&ptBar);
    return pButton->GetRect().PtInRect(ptBar) != FALSE;
}

bool CExtPopupMenuWnd::OnMouseClick(UINT message, CPoint ptClient, bool& bPassOn)
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd))
        return false;
    if (IsInputBlocked(false))
        return true;
    if (HoverOverChild(ptClient, false, bPassOn))
        return false;
    const bool bUp = message == WM_LBUTTONUP || message == WM_NCLBUTTONUP;
    if (bUp && !IsPointOverThisWindow(ptClient))
    {
        CPoint ptScreen = ptClient;
        ClientToScreen(&ptScreen);
        if (m_wndToolTip.GetSafeHwnd() != nullptr && ::WindowFromPoint(ptScreen) == m_wndToolTip.GetSafeHwnd())
            return true;
        if (m_pWndParentMenu != nullptr && m_pWndParentMenu->GetSafeHwnd() != nullptr)
        {
            CPoint ptParent = ptScreen;
            m_pWndParentMenu->ScreenToClient(&ptParent);
            if (!m_pWndParentMenu->OnMouseClick(message, ptParent, bPassOn) || bPassOn)
                return false;
            if (IsLiveWindow(hWnd))
                CloseTree(false);
            return true;
        }
        if (message == WM_NCLBUTTONUP)
        {
            CloseTree(false);
            return false;
        }
        if (CExtToolControlBar::g_bMenuTracking && !IsOverOpeningToolBarButton(ptClient))
            CloseTree(false);
        return true;
    }
    bool bOverEdit = false, bOverArrow = false;
    const int nHit = OnHitTest(ptClient, &bOverEdit, &bOverArrow);
    if (nHit == IDX_TEAR_OFF && IsTearOffCaption())
        return OnTearOffBarClick(message);
    if (bUp && StartScrolling(nHit))
        return true;
    if (nHit < 0)
    {
        if (bUp)
        {
            if (nHit == IDX_SCROLL_TOP || nHit == IDX_SCROLL_BOTTOM)
                return true;
            if (nHit == IDX_EXPAND)
            {
                if (CanExpand())
                    DoExpand();
                return true;
            }
            if (message == WM_NCLBUTTONUP)
            {
                CloseTree(false);
                return true;
            }
            return false;
        }
        if (IsRoot() && m_pCbPaintCombinedContent != nullptr)
        {
            CRect rcExclude = m_rcExcludeArea;
            ScreenToClient(&rcExclude);
            if (rcExclude.PtInRect(ptClient))
            {
                CloseTree(false);
                return true;
            }
        }
        return false;
    }
    if (!bUp)
        return true;
    if (!IsItemHighlightable(nHit))
    {
        ItemHighlightClear(true, true);
        if (IsLiveWindow(hWnd))
            CaptureSet();
        return true;
    }
    MENUITEMDATA& mi = m_items[nHit];
    if (mi.IsInplaceEdit() && !mi.IsPopup() && !IsHelpModeTracking())
    {
        CaptureSet();
        ItemFocusSet(nHit, false, true, false);
        if (!IsLiveWindow(hWnd))
            return true;
        if (IsEditUsable(m_items[nHit]))
            ShowItemEdit(nHit);
        return true;
    }
    if (mi.IsPopup())
    {
        if (mi.m_pWndChild != nullptr && mi.m_pWndChild->GetSafeHwnd() != nullptr)
            return false;
        if (mi.IsInplaceEdit() && !IsEditUsable(mi))
            bOverArrow = true;
        if (bOverArrow)
        {
            ItemHighlightClear(false, true);
            if (!IsLiveWindow(hWnd))
                return true;
        }
        ItemFocusSet(nHit, true, true, false);
        return true;
    }
    ActivateItem(nHit, bPassOn);
    return true;
}

// Enter and a unique mnemonic choose an item as a click does.
bool CExtPopupMenuWnd::ActivateItem(int nIndex, bool& bPassOn)
{
    const HWND hWnd = GetSafeHwnd();
    MENUITEMDATA& mi = m_items[nIndex];
    if (mi.IsInplaceEdit() && IsEditUsable(mi))
    {
        if (IsEditShown(mi))
        {
            bPassOn = true;
            return false;
        }
        ShowItemEdit(nIndex);
        return true;
    }
    if (!mi.IsSeparator() && !mi.IsPopup() && mi.m_pCbCustom != nullptr && !IsHelpModeTracking())
    {
        mi.m_pCbCustom(this, &mi);
        if (IsLiveWindow(hWnd))
            RepaintNow();
        return true;
    }
    if (mi.IsExecutable())
    {
        if (mi.m_pCbClick != nullptr && mi.m_pCbClick(this, &mi))
            return true;
        if (IsLiveWindow(hWnd))
            ItemDeliverCommand(m_items[nIndex]);
        return true;
    }
    // A colour sub-menu item acts through its click handler (applying a
    // colour at once); a sub-menu item has no command to deliver, so without
    // a handler, or when the handler declines, it opens its colours.
    if (mi.IsPopup() && mi.m_pCbClick != nullptr && mi.m_pWndChild != nullptr &&
        mi.m_pWndChild->IsKindOf(RUNTIME_CLASS(CExtPopupColorMenuWnd)) && mi.m_pCbClick(this, &mi))
        return true;
    if (!IsLiveWindow(hWnd) || nIndex >= ItemGetCount())
        return true;
    if (m_items[nIndex].IsPopup())
    {
        DelayedSubMenuStart(-1);
        if (IsLiveWindow(hWnd))
            ItemFocusSet(nIndex, true, true, true);
        return true;
    }
    CloseTree(false);
    return true;
}

bool CExtPopupMenuWnd::OnEditKeyDown(UINT nVirtualKey, HWND hWndEdit, bool& bPassOn)
{
    const bool bAlt = KeyDown(VK_MENU), bCtrl = KeyDown(VK_CONTROL), bShift = KeyDown(VK_SHIFT);
    if (bAlt)
    {
        PostMessage(WM_CANCELMODE);
        return true;
    }
    switch (nVirtualKey)
    {
    case VK_ESCAPE: SetFocus(); return true;
    case VK_INSERT:
        if (bCtrl)
            ::SendMessageA(hWndEdit, WM_COPY, 0, 0);
        else if (bShift)
            ::SendMessageA(hWndEdit, WM_PASTE, 0, 0);
        else
            bPassOn = true;
        break;
    case 'C':
        if (bCtrl)
            ::SendMessageA(hWndEdit, WM_COPY, 0, 0);
        else
            bPassOn = true;
        break;
    case 'X':
        if (bCtrl)
            ::SendMessageA(hWndEdit, WM_CUT, 0, 0);
        else
            bPassOn = true;
        break;
    case 'V':
        if (bCtrl)
            ::SendMessageA(hWndEdit, WM_PASTE, 0, 0);
        else
            bPassOn = true;
        break;
    case VK_DELETE:
        if (bShift)
            ::SendMessageA(hWndEdit, WM_CUT, 0, 0);
        else
            ::SendMessageA(hWndEdit, CInPlaceEditWnd::g_nMsgDeleteSelection, 0, 0);
        break;
    case 'A':
        if (bCtrl)
            ::SendMessageA(hWndEdit, CInPlaceEditWnd::g_nMsgSelectAll, 0, 0);
        else
            bPassOn = true;
        break;
    default: bPassOn = true; break;
    }
    return !bPassOn;
}

bool CExtPopupMenuWnd::Navigate(int nCode)
{
    const HWND hWnd = GetSafeHwnd();
    const int nNext = ItemGetNextSelectable(nCode);
    if (ItemGetCount() > 0 && nNext >= 0 && nNext != m_nCurIndex)
    {
        ItemFocusSet(nNext, false, true, true);
        return true;
    }
    if (nNext != Nav::ResultExpandButton)
        return false;
    const int nFormer = m_nCurIndex;
    DoExpand();
    if (!IsLiveWindow(hWnd))
        return true;
    if (nFormer >= 0)
    {
        m_nCurIndex = -1;
        ItemFocusSet(nFormer, false, GetTracker().GetAnimatingPopup() == nullptr, true);
        if (!IsLiveWindow(hWnd))
            return true;
    }
    const int nAfter = ItemGetNextSelectable(Nav::NavNext);
    if (nAfter > 0)
        ItemFocusSet(nAfter, false, true, true);
    return true;
}

void CExtPopupMenuWnd::PostNextMenu(bool bNext)
{
    if (!CExtToolControlBar::g_bMenuTracking)
        return;
    if (IsRightToLeft())
        bNext = !bNext;
    ::PostMessageA(m_hWndCmdReceiver, bNext ? g_nMsgPopupNext : g_nMsgPopupPrev, 0, reinterpret_cast<LPARAM>(this));
}

bool CExtPopupMenuWnd::OnKeyDown(UINT nVirtualKey, UINT, UINT, bool& bPassOn)
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd))
        return false;
    if (IsInputBlocked(true))
        return true;
    const HWND hWndFocus = ::GetFocus();
    if (hWndFocus != nullptr && hWndFocus != hWnd && ::IsChild(hWnd, hWndFocus))
    {
        const bool bEnterOnEdit =
            nVirtualKey == VK_RETURN && IsValidIndex(m_nCurIndex) && m_items[m_nCurIndex].IsInplaceEdit();
        if (!bEnterOnEdit)
            return OnEditKeyDown(nVirtualKey, hWndFocus, bPassOn);
    }
    if (IsRightToLeft() && (nVirtualKey == VK_LEFT || nVirtualKey == VK_RIGHT))
        nVirtualKey = nVirtualKey == VK_LEFT ? VK_RIGHT : VK_LEFT;
    const bool bPalette = IsPaletteMode();
    const bool bHighlighted = IsValidIndex(m_nCurIndex);
    const bool bNoTextItem = !bHighlighted || (m_items[m_nCurIndex].m_nThirdFlags & MENUITEMDATA::THIRD_NO_TEXT) != 0;
    switch (nVirtualKey)
    {
    case VK_RETURN:
        if (!bHighlighted)
        {
            const int nDefault = ItemFindDefaultCommand();
            if (nDefault < 0)
                return true;
            ItemFocusSet(nDefault, false, true, true);
            if (!IsLiveWindow(hWnd))
                return true;
        }
        return IsValidIndex(m_nCurIndex) ? ActivateItem(m_nCurIndex, bPassOn) : true;
    case VK_MENU: OnItemCommand(0, nullptr); return true;
    case VK_ESCAPE:
        if (m_pWndParentMenu == nullptr)
        {
            OnItemCommand(0, nullptr);
            return true;
        }
        return BackToParent();
    case VK_SPACE: return true;
    case VK_PRIOR: return Navigate(Nav::NavPageUp);
    case VK_NEXT: return Navigate(Nav::NavPageDown);
    case VK_LEFT:
        if (bPalette && ItemGetCount() > 0 && bHighlighted)
            return Navigate(Nav::NavPrev);
        if (m_pWndParentMenu != nullptr)
            return BackToParent();
        if (IsRoot())
            PostNextMenu(false);
        return true;
    case VK_UP: return Navigate(bPalette && bNoTextItem ? Nav::NavPrevRow : Nav::NavPrev);
    case VK_RIGHT:
    {
        if (bPalette && bHighlighted && !m_items[m_nCurIndex].IsPopup())
            return Navigate(Nav::NavNext);
        if (bHighlighted && m_items[m_nCurIndex].IsPopup())
        {
            CExtPopupMenuWnd* pSub = m_items[m_nCurIndex].m_pWndChild;
            if (pSub != nullptr && pSub->GetSafeHwnd() == nullptr)
            {
                const int nIndex = m_nCurIndex;
                DelayedSubMenuStart(-1);
                if (IsLiveWindow(hWnd))
                    ItemFocusSet(nIndex, true, true, true);
            }
            return false;
        }
        if (ItemGetCount() == 0)
            return true;
        PostNextMenu(true);
        return true;
    }
    case VK_DOWN:
        if (KeyDown(VK_CONTROL))
        {
            if ((m_nMenuState & MENU_COLLAPSED) != 0)
                DoExpand();
            return true;
        }
        return Navigate(bPalette && bNoTextItem ? Nav::NavNextRow : Nav::NavNext);
    case VK_F4:
        if (bHighlighted)
        {
            const MENUITEMDATA& mi = m_items[m_nCurIndex];
            if (mi.IsPopup() && mi.IsInplaceEdit() && mi.m_pCbCustom == nullptr && mi.m_pWndChild != nullptr &&
                mi.m_pWndChild->GetSafeHwnd() == nullptr)
                ItemFocusSet(m_nCurIndex, true, true, true);
        }
        return true;
    default: break;
    }
    return OnMnemonicKey(nVirtualKey, bPassOn);
}

bool CExtPopupMenuWnd::BackToParent()
{
    CExtPopupMenuWnd* pParent = m_pWndParentMenu;
    const HWND hWndParent = pParent->GetSafeHwnd();
    const int nParentItem = pParent->m_nCurIndex;
    pParent->CaptureSet();
    pParent->ItemHighlightClear(false, true);
    // this menu is closed now; only the parent is used
    if (!IsLiveWindow(hWndParent))
        return true;
    pParent->ItemFocusSet(nParentItem, false, true, true);
    if (IsLiveWindow(hWndParent))
        pParent->CaptureSet();
    return true;
}

bool CExtPopupMenuWnd::OnMnemonicKey(UINT nVirtualKey, bool& bPassOn)
{
    if (KeyDown(VK_SHIFT) || KeyDown(VK_CONTROL))
        return false;
    BYTE keys[256] = {};
    if (!::GetKeyboardState(keys))
        return false;
    WORD chars[2] = {0, 0};
    const HKL hKL = ::GetKeyboardLayout(::GetWindowThreadProcessId(GetSafeHwnd(), nullptr));
    if (::ToAsciiEx(nVirtualKey, ::MapVirtualKeyExA(nVirtualKey, 0, hKL), keys, chars, 1, hKL) != 1)
        return false;
    const char ch = static_cast<char>(chars[0]);
    const HWND hWnd = GetSafeHwnd();
    const int nMatch = ItemFindByAccessChar(ch, m_nCurIndex, true);
    if (nMatch < 0)
    {
        if (!IsValidIndex(m_nCurIndex) || ItemFindByAccessChar(ch, -1, true) != m_nCurIndex)
            return false;
        return ActivateItem(m_nCurIndex, bPassOn) || !bPassOn;
    }
    if (nMatch == m_nCurIndex)
        return false;
    ItemFocusSet(nMatch, true, true, true);
    if (!IsLiveWindow(hWnd))
        return true;
    const int nFurther = ItemFindByAccessChar(ch, nMatch, true);
    if (nFurther < 0 || nFurther == nMatch)
        return ActivateItem(nMatch, bPassOn) || !bPassOn;
    return true;
}

bool CExtPopupMenuWnd::StartScrolling(int nHit)
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd) || (nHit != IDX_SCROLL_TOP && nHit != IDX_SCROLL_BOTTOM))
        return false;
    DelayedSubMenuStart(-1);
    if (!IsLiveWindow(hWnd))
        return true;
    ItemHighlightClear(false, true);
    if (!IsLiveWindow(hWnd))
        return true;
    m_nCurIndex = nHit;
    Invalidate(FALSE);
    SetTimer(kTimerScrolling, kScrollingMs, nullptr);
    if (!IsNoHookTracking())
        CaptureSet();
    return true;
}

void CExtPopupMenuWnd::OnTimer(UINT_PTR nIDEvent)
{
    const HWND hWnd = GetSafeHwnd();
    switch (nIDEvent)
    {
    case kTimerDelayedSubMenu:
    {
        CExtPopupMenuTracker& tracker = GetTracker();
        if (tracker.GetAnimatingPopup() != nullptr)
            return;
        KillTimer(kTimerDelayedSubMenu);
        const int nPending = m_nDelayedFocusItemIndex;
        m_nDelayedFocusItemIndex = -1;
        if (tracker.IsClosing() || !IsValidIndex(nPending))
            return;
        CRect rcItem;
        ItemGetRect(nPending, rcItem);
        CPoint pt;
        if (!::GetCursorPos(&pt))
            return;
        ScreenToClient(&pt);
        if (rcItem.PtInRect(pt))
            ItemFocusSet(nPending, true, true, false);
        return;
    }
    case kTimerScrolling:
    {
        DelayedSubMenuStart(-1);
        if (m_nCurIndex >= 0)
            ItemHighlightClear(true, true);
        CPoint pt;
        if (!IsLiveWindow(hWnd) || !::GetCursorPos(&pt))
            return;
        ScreenToClient(&pt);
        CRect rcTop, rcBottom;
        ItemGetRect(IDX_SCROLL_TOP, rcTop, false);
        ItemGetRect(IDX_SCROLL_BOTTOM, rcBottom, false);
        m_nScrollingDirection = rcTop.PtInRect(pt) ? kScrollStep : rcBottom.PtInRect(pt) ? -kScrollStep : 0;
        if (Nav::ScrollTick(m_nDyScrollOffset, m_nScrollingDirection, GetScrollPosMin()))
        {
            KillTimer(kTimerScrolling);
            m_nScrollingDirection = 0;
        }
        ResetItemRectCache();
        Invalidate(FALSE);
        return;
    }
    case kTimerExpandHover:
    {
        if (!Nav::ExpandHoverTick(m_nExpandHoverCounter))
            return;
        KillTimer(kTimerExpandHover);
        CPoint pt;
        if (!CanExpand() || GetTracker().GetAnimatingPopup() != nullptr || !::GetCursorPos(&pt))
            return;
        ScreenToClient(&pt);
        if (OnHitTest(pt) == IDX_EXPAND)
            DoExpand();
        return;
    }
    default: CExtPopupBaseWnd::OnTimer(nIDEvent); return;
    }
}
