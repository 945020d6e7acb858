// The drop outline of outline docking and the tracking lines of the
// splitters: offered to the frame first, else drawn inverted, on the frame's
// window or, outside it, on a top-most popup in the outline's shape.
#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/core/ExtDockDropZones.h"
#include "uitoolkit/docking/ExtDynTabControlBar.h"

namespace
{

const char kOutlineClass[] = "Quorbis-DockOutline";

// The mini frame a floating bar lives in. A bar in no dock bar also counts
// as floating, but its parent frame is then the dock site itself, which a
// tab preview must never hide.
CFrameWnd* FloatingFrameOf(CExtControlBar* pBar)
{
    if (!pBar->IsFloating())
        return nullptr;
    CFrameWnd* pFrame = pBar->GetParentFrame();
    return pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)) ? pFrame : nullptr;
}

// The ring a frame (shape 2) or tabbed-page outline (shape 3) covers; null
// when it comes out empty.
HRGN CreateOutlineRing(int nShape, const RECT& rc, bool bRightToLeft)
{
    const int cx = ::GetSystemMetrics(SM_CXFRAME);
    const int cy = ::GetSystemMetrics(SM_CYFRAME);
    HRGN hRing = ::CreateRectRgnIndirect(&rc);
    if (hRing == nullptr)
        return nullptr;
    bool bDone = false;
    if (nShape == 3)
    {
        bDone = true;
        for (const CRect& rcHole : kxdock::TabbedOutlineHoles(rc, cx, cy, bRightToLeft))
        {
            HRGN hHole = ::CreateRectRgnIndirect(&rcHole);
            const int nResult = hHole != nullptr ? ::CombineRgn(hRing, hRing, hHole, RGN_DIFF) : ERROR;
            if (hHole != nullptr)
                ::DeleteObject(hHole);
            if (nResult == ERROR || nResult == NULLREGION)
            {
                bDone = false;
                break;
            }
        }
        if (!bDone)
        {
            // Fall back to the plain frame.
            ::SetRectRgn(hRing, rc.left, rc.top, rc.right, rc.bottom);
        }
    }
    if (!bDone)
    {
        CRect rcInner(rc);
        rcInner.DeflateRect(cx, cy);
        HRGN hInner = ::CreateRectRgnIndirect(&rcInner);
        const int nResult = hInner != nullptr ? ::CombineRgn(hRing, hRing, hInner, RGN_DIFF) : ERROR;
        if (hInner != nullptr)
            ::DeleteObject(hInner);
        if (nResult == ERROR || nResult == NULLREGION)
        {
            ::DeleteObject(hRing);
            return nullptr;
        }
    }
    return hRing;
}

bool IsSiteRightToLeft(CExtControlBar* pBar)
{
    CFrameWnd* pSite = pBar != nullptr ? pBar->GetDockingFrame() : nullptr;
    return pSite != nullptr && (pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
}

// The popup that shows an outline outside the frame: other top-level
// windows cannot hide it as they hide inverted drawing on the desktop.
HWND OutlinePopup()
{
    static HWND s_hWnd = nullptr;
    if (s_hWnd != nullptr && ::IsWindow(s_hWnd))
        return s_hWnd;
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(hInst, kOutlineClass, &wc))
    {
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        CBrush* pHalftone = CDC::GetHalftoneBrush();
        wc.hbrBackground = pHalftone != nullptr ? static_cast<HBRUSH>(pHalftone->GetSafeHandle())
                                                : static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = kOutlineClass;
        if (!AfxRegisterClass(&wc))
            return nullptr;
    }
    s_hWnd = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kOutlineClass, "", WS_POPUP, 0, 0,
                               0, 0, nullptr, nullptr, hInst, nullptr);
    return s_hWnd;
}

} // namespace

void CExtControlBar::DRAW_TRACKED_AREA_DATA::Draw()
{
    if (!NotifyFrame())
        DrawDefault();
}

bool CExtControlBar::DRAW_TRACKED_AREA_DATA::NotifyFrame()
{
    CFrameWnd* pFrame = m_pBar != nullptr ? m_pBar->GetParentFrame() : nullptr;
    if (pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
        pFrame = pFrame->GetParentFrame();
    if (pFrame == nullptr)
        return false;
    pFrame->SendMessage(g_nMsgDrawTrackedArea, reinterpret_cast<WPARAM>(this), 0);
    return (m_nFlags & FlagHandled) != 0;
}

void CExtControlBar::DRAW_TRACKED_AREA_DATA::DrawDefault()
{
    CBrush* pHalftone = CDC::GetHalftoneBrush();
    DrawShape(pHalftone != nullptr ? static_cast<HBRUSH>(pHalftone->GetSafeHandle()) : nullptr, PATINVERT);
}

void CExtControlBar::DRAW_TRACKED_AREA_DATA::DrawShape(HBRUSH hBrush, DWORD dwRop)
{
    if (m_pDC == nullptr || m_nShape < 0 || m_nShape > 3)
        return;
    const HDC hDC = m_pDC->GetSafeHdc();
    HGDIOBJ hOldBrush = hBrush != nullptr ? ::SelectObject(hDC, hBrush) : nullptr;
    const CRect rc(m_rc);
    if (m_nShape <= 1)
        ::PatBlt(hDC, rc.left, rc.top, rc.Width(), rc.Height(), dwRop);
    else if (HRGN hRing = CreateOutlineRing(m_nShape, rc, IsSiteRightToLeft(m_pBar)))
    {
        ::SelectClipRgn(hDC, hRing);
        ::PatBlt(hDC, rc.left, rc.top, rc.Width(), rc.Height(), dwRop);
        ::SelectClipRgn(hDC, nullptr);
        ::DeleteObject(hRing);
    }
    if (hBrush != nullptr)
        ::SelectObject(hDC, hOldBrush);
}

void CExtControlBar::InternalDraggingState_t::DrawTrackingOutline(bool bErasing)
{
    CExtControlBar* pBar = m_pBar;
    if (pBar == nullptr || m_bEmpty || m_eDropKind == 13 || pBar->IsFixedMode())
        return;
    const int nStyle = GetDockingType();
    const bool bLive = pBar->IsMarkerDockingStyle();
    if (!(bLive && nStyle == 1) && !(!bLive && !::IsRectEmpty(&m_rect)))
        return;
    if (m_eDropKind >= 28 && m_eDropKind <= 30)
    {
        if (m_pTarget == nullptr || !m_pTarget->IsKindOf(RUNTIME_CLASS(CExtDynTabControlBar)))
            return;
        // The preview is a tab; erasing takes it away again.
        CExtDynTabControlBar* pContainer = static_cast<CExtDynTabControlBar*>(m_pTarget);
        if (bErasing || m_eDropKind != 28)
            pContainer->m_wndTabs.RemoveTemporaryItems(bErasing);
        if (bErasing)
            return;
        if (nStyle == 1)
            if (CFrameWnd* pFloatFrame = FloatingFrameOf(pBar))
                pFloatFrame->ShowWindow(SW_HIDE);
        pContainer->InsertTemporaryBar(pBar, m_eDropKind == 28 ? -1 : m_nTabIndex, true);
        return;
    }
    if (nStyle == 1)
    {
        if (CFrameWnd* pFloatFrame = FloatingFrameOf(pBar))
            pFloatFrame->ShowWindow(SW_SHOWNOACTIVATE);
        return;
    }
    CFrameWnd* pSite = pBar->GetDockingFrame();
    if (pSite == nullptr)
        return;
    CRect rcSite;
    pSite->GetWindowRect(&rcSite);
    CRect rc(m_rect);
    if (m_pTarget != nullptr)
    {
        CRect rcDockBar;
        if (m_pTarget->m_pDockBar != nullptr)
            m_pTarget->m_pDockBar->GetWindowRect(&rcDockBar);
        if (rcDockBar.IsRectEmpty() || !rc.IntersectRect(&rc, &rcDockBar))
            return;
    }
    rc.OffsetRect(-rcSite.left, -rcSite.top);
    if (rc.Width() < 2 * ::GetSystemMetrics(SM_CXFRAME) + 1 || rc.Height() < 2 * ::GetSystemMetrics(SM_CYFRAME) + 1)
        return;

    // Back to the screen: a float rectangle is there already, since it
    // carries the site's origin; a floating target's outline sits a pixel
    // up and left.
    CRect rcScreen(rc);
    if (m_pTarget != nullptr || (m_eDropKind >= 5 && m_eDropKind <= 12))
        rcScreen.OffsetRect(rcSite.TopLeft());
    if (m_pTarget != nullptr && m_pTarget->IsFloating())
        rcScreen.OffsetRect(-1, -1);

    DRAW_TRACKED_AREA_DATA data;
    data.m_pBar = pBar;
    data.m_nShape = m_eDropKind == 27 ? 3 : 2;
    data.m_nFlags = bErasing ? DRAW_TRACKED_AREA_DATA::FlagErasing : 0;
    CRect rcInSite;
    if (rcInSite.IntersectRect(&rcScreen, &rcSite) && rcInSite == rcScreen)
    {
        HDC hDC = ::GetDCEx(pSite->m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
        if (hDC == nullptr)
            return;
        const DWORD dwLayout = ::SetLayout(hDC, 0);
        data.m_pDC = CDC::FromHandle(hDC);
        data.m_rc = rcScreen - rcSite.TopLeft();
        if (::RectVisible(hDC, &data.m_rc))
            data.Draw();
        ::SetLayout(hDC, dwLayout);
        ::ReleaseDC(pSite->m_hWnd, hDC);
        return;
    }
    // Outside the frame: a popup in the outline's shape stands for it.
    const HWND hPopup = OutlinePopup();
    if (hPopup == nullptr)
        return;
    HDC hDC = ::GetWindowDC(hPopup);
    data.m_pDC = CDC::FromHandle(hDC);
    data.m_rc = CRect(0, 0, rcScreen.Width(), rcScreen.Height());
    if (!data.NotifyFrame())
    {
        if (bErasing)
            ::ShowWindow(hPopup, SW_HIDE);
        else if (HRGN hRing = CreateOutlineRing(data.m_nShape, data.m_rc, IsSiteRightToLeft(pBar)))
        {
            ::SetWindowPos(hPopup, HWND_TOPMOST, rcScreen.left, rcScreen.top, rcScreen.Width(), rcScreen.Height(),
                           SWP_NOACTIVATE);
            ::SetWindowRgn(hPopup, hRing, TRUE);
            ::ShowWindow(hPopup, SW_SHOWNOACTIVATE);
            ::UpdateWindow(hPopup);
        }
    }
    ::ReleaseDC(hPopup, hDC);
}
