#include "uitoolkit/controls/ExtScrollWnd.h"

#include "framework/win/AfxMsg.h"
#include "framework/win/Controls.h"
#include "framework/win/Dc.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/controls/ExtScrollBar.h"
#include "uitoolkit/core/ExtScrollCore.h"
#include "uitoolkit/paint/ExtPaintManager.h"

IMPLEMENT_DYNAMIC(CExtScrollWnd, CWnd)

BEGIN_MESSAGE_MAP(CExtScrollWnd, CWnd)
ON_WM_SIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
END_MESSAGE_MAP()

namespace
{

// The client area the parent's layout gives the window (the framework's
// in-place frames answer it).
const UINT kMsgRecalcParent = WM_RECALCPARENT;
// The id of the child that takes what the bars leave.
const UINT kIdLeftOverPane = 0xE900;

int BarOf(bool bHorz)
{
    return bHorz ? SB_HORZ : SB_VERT;
}

} // namespace

// ---- the surface a derived class gives ----

CSize CExtScrollWnd::GetTotalSize() const
{
    return CSize(0, 0);
}

CSize CExtScrollWnd::GetPageSize(int) const
{
    return CSize(0, 0);
}

CSize CExtScrollWnd::GetLineSize(int) const
{
    return CSize(0, 0);
}

void CExtScrollWnd::PaintContent(CDC&)
{
}

bool CExtScrollWnd::HideDisabledScrollBar(bool) const
{
    return true;
}

bool CExtScrollWnd::IsThumbTrackingEnabled(bool) const
{
    return true;
}

// ---- scroll bar access ----

bool CExtScrollWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, bool bRedraw)
{
    if (CScrollBar* pBar = GetScrollBarCtrl(nBar))
        return pBar->SetScrollInfo(lpScrollInfo, bRedraw) != FALSE;
    return CWnd::SetScrollInfo(nBar, lpScrollInfo, bRedraw) != FALSE;
}

void CExtScrollWnd::SetScrollRange(int nBar, int nMinPos, int nMaxPos, bool bRedraw)
{
    if (CScrollBar* pBar = GetScrollBarCtrl(nBar))
        pBar->SetScrollRange(nMinPos, nMaxPos, bRedraw);
    else
        ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw);
}

int CExtScrollWnd::GetScrollLimit(int nBar) const
{
    CScrollBar* pBar = GetScrollBarCtrl(nBar);
    if (UsesScrollInfo())
    {
        SCROLLINFO info = {sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE};
        if (pBar != nullptr ? ::GetScrollInfo(pBar->m_hWnd, SB_CTL, &info) : ::GetScrollInfo(m_hWnd, nBar, &info))
            return info.nMax - info.nMin - static_cast<int>(info.nPage) + 1;
    }
    if (pBar != nullptr)
        return pBar->GetScrollLimit();
    int nMin = 0, nMax = 0;
    ::GetScrollRange(m_hWnd, nBar, &nMin, &nMax);
    return nMax;
}

void CExtScrollWnd::GetScrollInfoValues(int nBar, int* pMin, int* pMax, int* pPage, int* pPos, int* pTrackPos) const
{
    for (int* p : {pMin, pMax, pPage, pPos, pTrackPos})
    {
        if (p != nullptr)
            *p = 0;
    }
    CScrollBar* pBar = GetScrollBarCtrl(nBar);
    const HWND hWnd = pBar != nullptr ? pBar->m_hWnd : m_hWnd;
    const int nWhich = pBar != nullptr ? SB_CTL : nBar;
    if (UsesScrollInfo())
    {
        SCROLLINFO info = {sizeof(SCROLLINFO), SIF_ALL};
        if (!::GetScrollInfo(hWnd, nWhich, &info))
            return;
        if (pMin != nullptr)
            *pMin = info.nMin;
        if (pMax != nullptr)
            *pMax = info.nMax;
        if (pPage != nullptr)
            *pPage = static_cast<int>(info.nPage);
        if (pPos != nullptr)
            *pPos = info.nPos;
        if (pTrackPos != nullptr)
            *pTrackPos = info.nTrackPos;
        return;
    }
    int nMin = 0, nMax = 0;
    ::GetScrollRange(hWnd, nWhich, &nMin, &nMax);
    const int nPos = ::GetScrollPos(hWnd, nWhich);
    if (pMin != nullptr)
        *pMin = nMin;
    if (pMax != nullptr)
        *pMax = nMax;
    if (pPos != nullptr)
        *pPos = nPos;
    if (pTrackPos != nullptr)
        *pTrackPos = nPos;
}

int CExtScrollWnd::GetScrollPos(int nBar, bool bTrackPos) const
{
    CScrollBar* pBar = GetScrollBarCtrl(nBar);
    if (pBar == nullptr && (GetStyle() & (nBar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) == 0)
        return 0;
    const HWND hWnd = pBar != nullptr ? pBar->m_hWnd : m_hWnd;
    const int nWhich = pBar != nullptr ? SB_CTL : nBar;
    if (!UsesScrollInfo())
        return ::GetScrollPos(hWnd, nWhich);
    SCROLLINFO info = {sizeof(SCROLLINFO), bTrackPos ? UINT(SIF_TRACKPOS) : UINT(SIF_POS)};
    if (!::GetScrollInfo(hWnd, nWhich, &info))
        return 0;
    return bTrackPos ? info.nTrackPos : info.nPos;
}

void CExtScrollWnd::SetScrollPos(int nBar, int nPos, bool bRedraw)
{
    CScrollBar* pBar = GetScrollBarCtrl(nBar);
    const HWND hWnd = pBar != nullptr ? pBar->m_hWnd : m_hWnd;
    const int nWhich = pBar != nullptr ? SB_CTL : nBar;
    if (UsesScrollInfo())
    {
        SCROLLINFO info = {sizeof(SCROLLINFO), SIF_POS};
        info.nPos = nPos;
        ::SetScrollInfo(hWnd, nWhich, &info, bRedraw);
    }
    else
        ::SetScrollPos(hWnd, nWhich, nPos, bRedraw);
}

CPoint CExtScrollWnd::GetScrollPosition() const
{
    return CPoint(GetScrollPos(SB_HORZ), GetScrollPos(SB_VERT));
}

CPoint CExtScrollWnd::GetDeviceScrollPosition() const
{
    return GetScrollPosition();
}

bool CExtScrollWnd::IsScrollBarAvailable(bool bHorz) const
{
    if (CScrollBar* pBar = GetScrollBarCtrl(BarOf(bHorz)))
        return pBar->IsWindowEnabled() != FALSE;
    return (GetStyle() & (bHorz ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

void CExtScrollWnd::EnableOneBar(bool bHorz, bool bEnable)
{
    if (!bEnable)
    {
        // a bar that goes away takes its scrolled-off part with it
        const CPoint pt = GetScrollPosition();
        if (bHorz && pt.x != 0)
            ScrollToPosition(0, pt.y);
        else if (!bHorz && pt.y != 0)
            ScrollToPosition(pt.x, 0);
    }
    const int nBar = BarOf(bHorz);
    if (CScrollBar* pBar = GetScrollBarCtrl(nBar))
    {
        if ((GetStyle() & (bHorz ? WS_HSCROLL : WS_VSCROLL)) != 0)
            CWnd::ShowScrollBar(nBar, FALSE);
        if ((pBar->IsWindowEnabled() != FALSE) == bEnable)
            return;
        pBar->EnableWindow(bEnable);
        if (HideDisabledScrollBar(bHorz))
            pBar->ShowWindow(bEnable ? SW_SHOW : SW_HIDE);
        else if (bEnable && !pBar->IsWindowVisible())
            pBar->ShowWindow(SW_SHOW);
        return;
    }
    if (HideDisabledScrollBar(bHorz))
        CWnd::ShowScrollBar(nBar, bEnable);
    else
        ::EnableScrollBar(m_hWnd, nBar, bEnable ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH);
}

void CExtScrollWnd::EnableScrollBars(int nBar, bool bEnable)
{
    if (nBar == SB_HORZ || nBar == SB_BOTH)
        EnableOneBar(true, bEnable);
    if (nBar == SB_VERT || nBar == SB_BOTH)
        EnableOneBar(false, bEnable);
    SyncBarCorners();
}

void CExtScrollWnd::SyncBarCorners()
{
    CWnd* pHorz = GetScrollBarCtrl(SB_HORZ);
    CWnd* pVert = GetScrollBarCtrl(SB_VERT);
    if (pHorz == nullptr || pVert == nullptr || !pHorz->IsKindOf(RUNTIME_CLASS(CExtScrollBar)) ||
        !pVert->IsKindOf(RUNTIME_CLASS(CExtScrollBar)))
        return;
    static_cast<CExtScrollBar*>(pHorz)->SyncCornerFlags(static_cast<CExtScrollBar*>(pVert));
    static_cast<CExtScrollBar*>(pVert)->SyncCornerFlags(static_cast<CExtScrollBar*>(pHorz));
}

// ---- layout ----

void CExtScrollWnd::LayoutClientArea(CRect& rcClient, bool bReally, const RECT* pRect)
{
    if (bReally)
        SyncBarCorners();
    CRect rcStart;
    if (pRect != nullptr)
        rcStart = *pRect;
    else
        GetClientRect(&rcStart);
    // the framework hands the remaining rectangle back only from a query
    if (bReally)
        RepositionBars(0, 0xFFFF, kIdLeftOverPane, reposDefault, nullptr, &rcStart);
    RepositionBars(0, 0xFFFF, kIdLeftOverPane, reposQuery, &rcClient, &rcStart);
}

CRect CExtScrollWnd::GetScrollClientRect()
{
    CRect rc;
    LayoutClientArea(rc, false);
    return rc;
}

CSize CExtScrollWnd::GetScrollBarSizes() const
{
    const int nBorder = (GetStyle() & WS_BORDER) != 0 ? 1 : 0;
    CSize size(0, 0);
    if (GetScrollBarCtrl(SB_VERT) == nullptr)
        size.cx = ::GetSystemMetrics(SM_CXVSCROLL) - nBorder;
    if (GetScrollBarCtrl(SB_HORZ) == nullptr)
        size.cy = ::GetSystemMetrics(SM_CYHSCROLL) - nBorder;
    return size;
}

bool CExtScrollWnd::GetTrueClientSize(CSize& size, CSize& sizeBars)
{
    size = GetScrollClientRect().Size();
    sizeBars = GetScrollBarSizes();
    if (sizeBars.cx != 0 && (GetStyle() & WS_VSCROLL) != 0)
        size.cx += sizeBars.cx;
    if (sizeBars.cy != 0 && (GetStyle() & WS_HSCROLL) != 0)
        size.cy += sizeBars.cy;
    return size.cx > sizeBars.cx && size.cy > sizeBars.cy;
}

void CExtScrollWnd::GetScrollBarState(CSize sizeClient, CSize& sizeNeedBars, CSize& sizeRange, CPoint& ptMove,
                                      bool bInsideClient) const
{
    const kxscroll::BarState state =
        kxscroll::ComputeBarState(GetTotalSize(), sizeClient, GetScrollBarSizes(), GetScrollPosition(), bInsideClient);
    sizeNeedBars = CSize(state.bNeedHorz ? 1 : 0, state.bNeedVert ? 1 : 0);
    sizeRange = state.range;
    ptMove = state.move;
}

void CExtScrollWnd::UpdateScrollBars()
{
    if (m_nUpdateScrollBarsNesting > 1 || GetSafeHwnd() == nullptr)
        return;
    ++m_nUpdateScrollBarsNesting;

    CSize sizeClient, sizeBars;
    bool bInsideClient = true;
    CRect rcParent;
    CWnd* pParent = GetParent();
    if (pParent != nullptr && pParent->SendMessage(kMsgRecalcParent, 0, reinterpret_cast<LPARAM>(&rcParent)) != 0)
    {
        sizeClient = rcParent.Size();
        sizeBars = GetScrollBarSizes();
        bInsideClient = false;
    }
    else if (!GetTrueClientSize(sizeClient, sizeBars))
    {
        CRect rcClient;
        GetClientRect(&rcClient);
        if (!rcClient.IsRectEmpty())
        {
            EnableScrollBars(SB_BOTH, false);
            LayoutClientArea(rcClient, true);
        }
        --m_nUpdateScrollBarsNesting;
        return;
    }

    CSize sizeNeed, sizeRange;
    CPoint ptMove;
    GetScrollBarState(sizeClient, sizeNeed, sizeRange, ptMove, bInsideClient);
    if (sizeNeed.cx != 0)
        sizeClient.cy -= sizeBars.cy;
    if (sizeNeed.cy != 0)
        sizeClient.cx -= sizeBars.cx;
    ScrollToPosition(ptMove.x, ptMove.y);

    const CSize sizeTotal = GetTotalSize();
    EnableScrollBars(SB_HORZ, sizeNeed.cx != 0);
    if (sizeNeed.cx != 0)
    {
        SCROLLINFO info = {sizeof(SCROLLINFO), SIF_PAGE | SIF_RANGE, 0, sizeTotal.cx - 1,
                           static_cast<UINT>(sizeClient.cx)};
        if (!SetScrollInfo(SB_HORZ, &info, true))
            SetScrollRange(SB_HORZ, 0, sizeRange.cx, true);
    }
    EnableScrollBars(SB_VERT, sizeNeed.cy != 0);
    if (sizeNeed.cy != 0)
    {
        SCROLLINFO info = {sizeof(SCROLLINFO), SIF_PAGE | SIF_RANGE, 0, sizeTotal.cy - 1,
                           static_cast<UINT>(sizeClient.cy)};
        if (!SetScrollInfo(SB_VERT, &info, true))
            SetScrollRange(SB_VERT, 0, sizeRange.cy, true);
    }
    CRect rcLeft;
    LayoutClientArea(rcLeft, true);
    --m_nUpdateScrollBarsNesting;
}

// ---- scrolling ----

void CExtScrollWnd::ScrollToPosition(int x, int y)
{
    const CPoint ptOld = GetScrollPosition();
    SetScrollPos(SB_HORZ, x, true);
    SetScrollPos(SB_VERT, y, true);
    ScrollContent(ptOld.x - x, ptOld.y - y);
}

void CExtScrollWnd::ScrollContent(int dx, int dy, const RECT* pRectScroll, const RECT* pRectClip)
{
    if ((m_nScrollBehaviour & ScrollWindowOnScroll) != 0)
        ScrollWindow(dx, dy, pRectScroll, pRectClip);
    if ((m_nScrollBehaviour & InvalidateOnScroll) != 0)
        InvalidateContent((m_nScrollBehaviour & EraseOnScroll) != 0);
    if ((m_nScrollBehaviour & UpdateOnScroll) != 0)
        UpdateContent();
}

bool CExtScrollWnd::OnScroll(UINT nScrollCode, UINT nPos, bool bDoScroll)
{
    const CPoint pt = GetScrollPosition();
    const CSize lineBack = GetLineSize(-1), lineForward = GetLineSize(1);
    const CSize pageBack = GetPageSize(-1), pageForward = GetPageSize(1);
    kxscroll::CodeInput horz;
    horz.nCode = LOBYTE(nScrollCode);
    horz.nPosition = pt.x;
    horz.nThumb = UsesScrollInfo() ? GetScrollPos(SB_HORZ, true) : static_cast<int>(nPos);
    horz.nLineBack = lineBack.cx;
    horz.nLineForward = lineForward.cx;
    horz.nPageBack = pageBack.cx;
    horz.nPageForward = pageForward.cx;
    horz.bThumbTracking = IsThumbTrackingEnabled(true);
    kxscroll::CodeInput vert;
    vert.nCode = HIBYTE(nScrollCode);
    vert.nPosition = pt.y;
    vert.nThumb = UsesScrollInfo() ? GetScrollPos(SB_VERT, true) : static_cast<int>(nPos);
    vert.nLineBack = lineBack.cy;
    vert.nLineForward = lineForward.cy;
    vert.nPageBack = pageBack.cy;
    vert.nPageForward = pageForward.cy;
    vert.bThumbTracking = IsThumbTrackingEnabled(false);
    // in 64 bits: the bottom asks for the largest position
    const long long dx = static_cast<long long>(kxscroll::PositionForCode(horz)) - pt.x;
    const long long dy = static_cast<long long>(kxscroll::PositionForCode(vert)) - pt.y;
    const bool bScrolled = OnScrollBy(CSize(static_cast<int>(dx), static_cast<int>(dy)), bDoScroll);
    if (bScrolled && bDoScroll && (m_nScrollBehaviour & UpdateOnScroll) != 0)
        UpdateContent();
    return bScrolled;
}

bool CExtScrollWnd::OnScrollBy(CSize sizeScroll, bool bDoScroll)
{
    const CPoint ptOld = GetScrollPosition();
    CPoint ptNew = ptOld;
    if (IsScrollBarAvailable(true))
        ptNew.x = kxscroll::ClampScrollPosition(ptOld.x, sizeScroll.cx, GetScrollLimit(SB_HORZ));
    if (IsScrollBarAvailable(false))
        ptNew.y = kxscroll::ClampScrollPosition(ptOld.y, sizeScroll.cy, GetScrollLimit(SB_VERT));
    if (ptNew == ptOld)
        return false;
    if (bDoScroll)
    {
        ScrollContent(ptOld.x - ptNew.x, ptOld.y - ptNew.y);
        if (ptNew.x != ptOld.x)
            SetScrollPos(SB_HORZ, ptNew.x, true);
        if (ptNew.y != ptOld.y)
            SetScrollPos(SB_VERT, ptNew.y, true);
    }
    return true;
}

void CExtScrollWnd::ScrollToClientPoint(CPoint point)
{
    if (GetSafeHwnd() == nullptr || !::IsWindow(m_hWnd))
        return;
    const bool bHorz = IsScrollBarAvailable(true), bVert = IsScrollBarAvailable(false);
    if (!bHorz && !bVert)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.PtInRect(point))
        return;
    const CPoint ptOld = GetScrollPosition();
    const CSize sizeTotal = GetTotalSize();
    CPoint ptNew = ptOld;
    auto step = [](int nCoord, int nExtent) { return nCoord < 0 ? nCoord : nCoord > nExtent ? nCoord - nExtent : 0; };
    if (bHorz)
        ptNew.x = kxscroll::ClampScrollPosition(ptOld.x, step(point.x, rcClient.Width()), sizeTotal.cx);
    if (bVert)
        ptNew.y = kxscroll::ClampScrollPosition(ptOld.y, step(point.y, rcClient.Height()), sizeTotal.cy);
    if (ptNew != ptOld)
        ScrollToPosition(ptNew.x, ptNew.y);
}

// ---- wheel ----

int CExtScrollWnd::GetMouseWheelScrollLines(UINT, short, CPoint) const
{
    return static_cast<int>(g_PaintManager.GetMouseWheelScrollLines());
}

bool CExtScrollWnd::DoMouseWheel(UINT nFlags, short zDelta, CPoint point)
{
    if ((nFlags & MK_CONTROL) != 0 || CExtToolControlBar::g_bMenuTracking || IsPopupTrackingActive())
        return false;
    const bool bHorz = IsScrollBarAvailable(true), bVert = IsScrollBarAvailable(false);
    if (!bHorz && !bVert)
        return false;
    const int nLines = GetMouseWheelScrollLines(nFlags, zDelta, point);
    const CSize lineForward = GetLineSize(1), pageBack = GetPageSize(-1), pageForward = GetPageSize(1);
    CSize sizeScroll(0, 0);
    if ((nFlags & MK_SHIFT) == 0)
    {
        if (!bVert)
            return false;
        sizeScroll.cy = kxscroll::WheelScrollDistance(zDelta, nLines, lineForward.cy, pageBack.cy, pageForward.cy);
    }
    else
    {
        if (!bHorz)
            return false;
        sizeScroll.cx = kxscroll::WheelScrollDistance(zDelta, nLines, lineForward.cx, pageBack.cx, pageForward.cx);
    }
    if (!OnScrollBy(sizeScroll, true))
        return false;
    InvalidateContent((m_nScrollBehaviour & EraseOnScroll) != 0);
    if ((m_nScrollBehaviour & UpdateOnScroll) != 0)
        UpdateContent();
    return true;
}

BOOL CExtScrollWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEWHEEL && GetSafeHwnd() != nullptr && ::IsWindow(m_hWnd) &&
        CExtPopupMenuWnd::HaveCommonVisibleAncestor(m_hWnd, ::GetActiveWindow(), false, false, false))
    {
        const CPoint point(static_cast<short>(LOWORD(pMsg->lParam)), static_cast<short>(HIWORD(pMsg->lParam)));
        if (::WindowFromPoint(point) == m_hWnd &&
            DoMouseWheel(LOWORD(pMsg->wParam), static_cast<short>(HIWORD(pMsg->wParam)), point))
            return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

BOOL CExtScrollWnd::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    return DoMouseWheel(nFlags, zDelta, pt);
}

void CExtScrollWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    // the framework offered it to a reflecting control first
    if (pScrollBar->GetSafeHwnd() != GetScrollBarCtrl(SB_HORZ)->GetSafeHwnd())
        return;
    OnScroll(MAKEWORD(nSBCode, kxscroll::CodeNone), nPos);
}

void CExtScrollWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar->GetSafeHwnd() != GetScrollBarCtrl(SB_VERT)->GetSafeHwnd())
        return;
    OnScroll(MAKEWORD(kxscroll::CodeNone, nSBCode), nPos);
}

// ---- painting and layout ----

void CExtScrollWnd::InvalidateContent(bool bErase)
{
    CScrollBar* pBars[2] = {GetScrollBarCtrl(SB_HORZ), GetScrollBarCtrl(SB_VERT)};
    bool bAnyVisible = false;
    for (CScrollBar* pBar : pBars)
        bAnyVisible = bAnyVisible || (pBar->GetSafeHwnd() != nullptr && pBar->IsWindowVisible());
    if (!bAnyVisible)
    {
        Invalidate(bErase);
        return;
    }
    CRect rcClient;
    GetClientRect(&rcClient);
    HRGN hRgn = ::CreateRectRgnIndirect(&rcClient);
    bool bFailed = hRgn == nullptr;
    for (CScrollBar* pBar : pBars)
    {
        if (bFailed || pBar->GetSafeHwnd() == nullptr || !pBar->IsWindowVisible())
            continue;
        CRect rcBar;
        pBar->GetWindowRect(&rcBar);
        ScreenToClient(&rcBar);
        HRGN hBar = ::CreateRectRgnIndirect(&rcBar);
        bFailed = hBar == nullptr || ::CombineRgn(hRgn, hRgn, hBar, RGN_DIFF) == ERROR;
        if (hBar != nullptr)
            ::DeleteObject(hBar);
    }
    if (bFailed)
        Invalidate(bErase);
    else
        ::InvalidateRgn(m_hWnd, hRgn, bErase);
    if (hRgn != nullptr)
        ::DeleteObject(hRgn);
}

void CExtScrollWnd::UpdateContent()
{
    UpdateWindow();
}

void CExtScrollWnd::RedrawAfterLayout()
{
    if ((m_nScrollBehaviour & InvalidateOnLayout) != 0)
        InvalidateContent((m_nScrollOptions & EraseOnLayout) != 0);
    if ((m_nScrollBehaviour & UpdateOnLayout) != 0)
        UpdateContent();
}

void CExtScrollWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (nType == SIZE_MINIMIZED)
        return;
    CRect rcLeft;
    LayoutClientArea(rcLeft, true);
    UpdateScrollBars();
    RedrawAfterLayout();
}

BOOL CExtScrollWnd::OnEraseBkgnd(CDC* pDC)
{
    if ((m_nScrollBehaviour & NoEraseBackground) != 0)
        return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

void CExtScrollWnd::OnPaint()
{
    CPaintDC dcPaint(this);
    CExtPaintManager::ExcludeVisibleChildren(dcPaint.GetSafeHdc(), m_hWnd, nullptr, 0);
    CRect rcClient;
    GetClientRect(&rcClient);
    CExtMemoryDC dcOffscreen;
    CDC* pDC = &dcPaint;
    if ((m_nScrollBehaviour & PaintOffscreen) != 0)
    {
        dcOffscreen.Init(&dcPaint, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
        if (dcOffscreen.m_bMemDC && dcOffscreen.GetSafeHdc() != nullptr)
            pDC = &dcOffscreen;
    }
    const CPoint ptScroll = GetDeviceScrollPosition();
    const CPoint ptOldOrg = pDC->OffsetViewportOrg(-ptScroll.x, -ptScroll.y);
    PaintContent(*pDC);
    pDC->SetViewportOrg(ptOldOrg);
}

LRESULT CExtScrollWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CWnd::WindowProc(message, wParam, lParam);
    if (!CExtPaintManagerHolder::IsSysNotifyMessage(message) || GetSafeHwnd() == nullptr)
        return lResult;
    g_PaintManager.RelaySysNotify(this, message, wParam, lParam);
    if (message == WM_SYSCOLORCHANGE)
        Invalidate(TRUE);
    else if (message == WM_SETTINGCHANGE || message == WM_THEMECHANGED)
    {
        CRect rcLeft;
        LayoutClientArea(rcLeft, true);
    }
    return lResult;
}
