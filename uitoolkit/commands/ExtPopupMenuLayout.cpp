// A popup menu's content: which items show (rarely used commands hide behind
// the expand button until the menu expands), the content size of a list or
// of palette rows, the scroll range and the shadow that every size counts.
#include "framework/win/AfxMsg.h"
#include "framework/win/FrameWnd.h"
#include "uitoolkit/commands/ExtCmdItem.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtSoundPlayer.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>

bool CExtPopupMenuWnd::g_bExpandWithEffect = true;

namespace
{

const int kMinIconAreaWidth = 22;
const int kMinContentWidth = 80;

} // namespace

bool CExtPopupMenuWnd::IsShadowEnabled() const
{
    return CExtPopupBaseWnd::IsShadowEnabled() && (m_dwTrackFlags & TRACK_NO_SHADOW) == 0;
}

void CExtPopupMenuWnd::SyncItems()
{
    if (IsPaletteMode())
    {
        CalcItemSizes();
        return;
    }
    const int nCount = ItemGetCount();
    int nIconAreaWidth = kMinIconAreaWidth;
    for (int i = 0; i < nCount; ++i)
        nIconAreaWidth = std::max(nIconAreaWidth, m_items[i].m_nIconAreaWidth);
    ResetItemRectCache();
    for (int i = 0; i < nCount; ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        if (mi.IsToolButton() || mi.m_nIconAreaWidth >= nIconAreaWidth)
            continue;
        if (!mi.IsSeparator())
            mi.m_nWidth += nIconAreaWidth - mi.m_nIconAreaWidth;
        mi.m_nIconAreaWidth = nIconAreaWidth;
    }

    m_nContentWidth = m_nContentHeight = 0;
    m_nMenuState &= ~MENU_COLLAPSED;
    const bool bShowAll = (m_nMenuState & MENU_EXPANDED) != 0 || (m_dwTrackFlags & TRACK_SHOW_ALL) != 0;
    int nShown = 0;
    int nTrailingSeparator = -1;
    bool bLastShownIsSeparator = false;
    for (int i = 0; i < nCount; ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        mi.m_nItemIndex = i;
        bool bShow = false;
        if (mi.IsPopup() && mi.GetPopup() != nullptr)
            mi.GetPopup()->SyncItems();
        if (bShowAll)
            bShow = true;
        else if (mi.IsPopup())
            bShow = mi.IsOwnItem() || mi.GetPopup() == nullptr || !mi.GetPopup()->IsNoItemDisplayed();
        else if (mi.IsSeparator())
            bShow = nShown > 0 && !bLastShownIsSeparator;
        else if (mi.IsOwnItem() || mi.m_pCbCustom != nullptr)
            bShow = true;
        else
        {
            const CExtCmdItem* pCmd = mi.GetCmd();
            bShow = pCmd == nullptr || !pCmd->IsRarelyUsed();
        }
        mi.SetStateBit(MENUITEMDATA::STATE_DISPLAYED, bShow);
        if (bShow)
        {
            ++nShown;
            bLastShownIsSeparator = mi.IsSeparator();
            nTrailingSeparator = mi.IsSeparator() ? i : -1;
        }
        if (!mi.IsDisplayed())
        {
            // a separator hidden at an edge or next to another hides no
            // command: it alone must not bring up the expand button
            if (!mi.IsSeparator())
                m_nMenuState |= MENU_COLLAPSED;
            continue;
        }
        m_nContentHeight += mi.GetFullHeight();
        m_nContentWidth = std::max(m_nContentWidth, mi.GetFullWidth());
    }
    if (nTrailingSeparator >= 0)
    {
        MENUITEMDATA& mi = m_items[nTrailingSeparator];
        mi.SetStateBit(MENUITEMDATA::STATE_DISPLAYED, false);
        if (!mi.IsDisplayed())
            m_nContentHeight -= mi.GetFullHeight();
    }
    m_nContentWidth = std::max(m_nContentWidth, kMinContentWidth);
}

void CExtPopupMenuWnd::CalcItemSizes()
{
    m_nMenuState &= ~MENU_COLLAPSED;
    m_nContentWidth = m_nContentHeight = 0;
    const int nCount = ItemGetCount();
    for (int i = 0; i < nCount; ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        mi.m_rcItem.SetRectEmpty();
        mi.m_rcItemWithIndents.SetRectEmpty();
        if (!mi.IsToolButton())
        {
            mi.SetStateBit(MENUITEMDATA::STATE_TOOL_BUTTON, true);
            mi.MeasureItem();
        }
        if (mi.m_sItemText.IsEmpty())
            mi.m_nThirdFlags |= MENUITEMDATA::THIRD_NO_TEXT;
        else
            mi.m_nThirdFlags &= ~MENUITEMDATA::THIRD_NO_TEXT;
        mi.m_nItemIndex = i;
        mi.SetStateBit(MENUITEMDATA::STATE_DISPLAYED, true);
        mi.MeasureItem();
        if (mi.IsPopup() && mi.GetPopup() != nullptr)
            mi.GetPopup()->SyncItems();
    }
    const int b = GetMenuBorderSize();
    int nRowWidth = 0, nRowHeight = 0, nWidest = 0, nTotalHeight = 0;
    for (int i = 0; i < nCount; ++i)
    {
        const MENUITEMDATA& mi = m_items[i];
        if (!mi.IsDisplayed())
            continue;
        nRowWidth += mi.m_nWidth + 2;
        if (mi.IsInplaceEdit())
            nRowWidth += i == 0 ? 3 : 6;
        nRowHeight = std::max(nRowHeight, mi.m_nHeight);
        nWidest = std::max(nWidest, nRowWidth);
        if (mi.IsSeparator() || ItemEndsPaletteRow(i))
        {
            nTotalHeight += nRowHeight;
            if (mi.IsSeparator())
                nTotalHeight += g_PaintManager->GetSeparatorHeight() + 3;
            nRowWidth = nRowHeight = 0;
        }
    }
    m_nContentWidth = std::max(nWidest + 2 * b + 3, 20);
    m_nContentHeight = std::max(nTotalHeight + nRowHeight + 3, 10);
}

void CExtPopupMenuWnd::WrapPaletteItems(bool bAuto, int nFirst, int nLast)
{
    const int nCount = ItemGetCount();
    if (!IsPaletteMode() || nCount == 0 || nFirst < 0 || nFirst >= nCount)
        return;
    if (nLast < 0 || nLast >= nCount)
        nLast = nCount - 1;
    if (nFirst >= nLast)
        return;
    int nSum = 0;
    for (int i = nFirst; i <= nLast; ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        mi.SetStateBit(MENUITEMDATA::STATE_WRAP, false);
        if (bAuto && !mi.IsSeparator())
            nSum += mi.m_nWidth + 6;
    }
    if (!bAuto || nSum < 150)
        return;
    const int nTarget = std::max(::MulDiv(nSum, 25, 100), 150);
    int nRunning = 0;
    for (int i = nFirst; i <= nLast; ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        if (mi.IsSeparator())
        {
            nRunning = 0;
            continue;
        }
        const int w = mi.m_nWidth + 6;
        if (nRunning < nTarget)
        {
            nRunning += w;
            continue;
        }
        if (i != nFirst)
        {
            m_items[i - 1].SetStateBit(MENUITEMDATA::STATE_WRAP, true);
            nRunning = w;
        }
        else
        {
            mi.SetStateBit(MENUITEMDATA::STATE_WRAP, true);
            nRunning = 0;
        }
    }
}

int CExtPopupMenuWnd::GetScrollPosMin()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    int nHeight = m_nContentHeight + 2 * GetMenuBorderSize() + GetShadowSize() - rcClient.Height();
    if ((m_nMenuState & MENU_COLLAPSED) != 0)
        nHeight += GetMenuExpandButtonHeight();
    if (IsTearOffCaption())
        nHeight += GetTearOffCaptionHeight();
    return -nHeight;
}

void CExtPopupMenuWnd::DoExpand()
{
    const HWND hWnd = GetSafeHwnd();
    DelayedSubMenuStart(-1);
    TipHide(false);
    if (!IsLiveWindow(hWnd) || GetTracker().GetAnimatingPopup() != nullptr || IsTipShown())
        return;
    const CSize sizeOld(m_nContentWidth, m_nContentHeight);
    m_nMenuState |= MENU_EXPANDED;
    SyncItems();
    RecalcScrollAreas();
    if (sizeOld == CSize(m_nContentWidth, m_nContentHeight))
        UpdateWindow();
    else
    {
        CRect rcOld;
        GetWindowRect(&rcOld);
        ::SetWindowRgn(hWnd, nullptr, FALSE);
        ShowWindow(SW_HIDE);
        CWnd* pFrame = GetTopLevelFrame();
        CRect rcFrame;
        if (pFrame != nullptr && pFrame->IsWindowVisible())
        {
            pFrame->GetWindowRect(&rcFrame);
            if (rcFrame.IntersectRect(&rcFrame, &rcOld))
                pFrame->UpdateWindow();
        }
        OnDestroyCleanup();
        m_animation.Finished = false;
        m_animation.Kind = CExtPopupAnimation::AnimationInstant;
        CRect rcWnd;
        AdjustPlacement(rcWnd);
        if (m_rgnWnd.GetSafeHandle() != nullptr)
        {
            CRgn rgn;
            if (rgn.CreateRectRgn(0, 0, 0, 0) && rgn.CopyRgn(&m_rgnWnd) != ERROR)
                ::SetWindowRgn(hWnd, static_cast<HRGN>(rgn.Detach()), FALSE);
        }
        m_animation.Finished = true;
        m_nSoundId = CExtSoundPlayer::SoundMenuExpand;
        m_animation.Kind =
            g_bExpandWithEffect ? CExtPopupAnimation::AnimationExpand : CExtPopupAnimation::AnimationInstant;
        StartAnimation();
        if (IsLiveWindow(hWnd) && m_animation.Kind == CExtPopupAnimation::AnimationNone)
        {
            m_animation.Kind = CExtPopupAnimation::AnimationInstant;
            StartAnimation();
        }
        if (!IsLiveWindow(hWnd))
            return;
        if ((m_nMenuState & MENU_SCROLLING) != 0 || IsTearOffCaption())
            RecalcScrollAreas();
        // the frames and the shadow compose over what the screen shows at
        // the new place before the window covers it
        SetWindowPos(nullptr, rcWnd.left, rcWnd.top, rcWnd.Width(), rcWnd.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        CaptureScreenBeneath();
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    ::SendMessageA(GetCmdTargetWnd(), g_nMsgNotifyMenuExpanded, 0, reinterpret_cast<LPARAM>(this));
}

void CExtPopupMenuWnd::RedrawTree()
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd))
        return;
    ShowWindow(SW_HIDE);
    m_shadow.Reset();
    m_shadowCombined.Reset();
    if (m_pWndParentMenu == nullptr)
    {
        if (CWnd* pFrame = GetTopLevelFrame())
            pFrame->UpdateWindow();
        CExtPaintManager::DispatchPendingPaint(true, true, true);
    }
    else
        m_pWndParentMenu->RedrawTree();
    if (!IsLiveWindow(hWnd))
        return;
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, 0x65F);
    CClientDC dc(this);
    PaintFinished(dc, true);
}

bool CExtPopupMenuWnd::IntersectsMenuChain(const RECT& rcScreen, bool bParents) const
{
    for (const CExtPopupMenuWnd* p = this; p != nullptr; p = bParents ? p->m_pWndParentMenu : nullptr)
    {
        CRect rcWnd;
        if (IsLiveWindow(p->GetSafeHwnd()) && ::GetWindowRect(p->GetSafeHwnd(), &rcWnd) &&
            rcWnd.IntersectRect(&rcWnd, &rcScreen))
            return true;
    }
    return false;
}
