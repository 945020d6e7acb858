// Docking markers: the frame's set around its free area and the target set
// around the pane under the cursor, their fading, hovering and painting, and
// the highlight that shows where a hovered marker would put the pane.
#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtMessageQueue.h"
#include "uitoolkit/core/ExtDockDropZones.h"
#include "uitoolkit/docking/ExtControlBar.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CExtDynDockMarkerWnd, CWnd)
IMPLEMENT_DYNAMIC(CExtDynDockHighlightWnd, CWnd)

namespace
{

const char kMarkerClass[] = "Quorbis-DynDockMarker";
const char kHighlightClass[] = "Quorbis-DynDockHighlightWnd";
const UINT_PTR kHoverTimer = 77;
const UINT_PTR kFadeTimer = 88;
const int kFadeStep = 25;
// Marker sets of the theme's factory.
const int kFrameSet = 5;
const int kPaneSet = 6;
const int kBarSet = 7;

bool RegisterClassOnce(const char* pszClass)
{
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSA wc = {};
    if (::GetClassInfoA(hInst, pszClass, &wc))
        return true;
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = pszClass;
    return AfxRegisterClass(&wc) != FALSE;
}

CWnd* g_pOwnerWnd = nullptr;

CExtDynDockMarkerWnd* PermanentMarker(HWND hWnd)
{
    CWnd* pWnd = hWnd != nullptr ? CWnd::FromHandlePermanent(hWnd) : nullptr;
    return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CExtDynDockMarkerWnd))
               ? static_cast<CExtDynDockMarkerWnd*>(pWnd)
               : nullptr;
}

CExtDynDockMarkerWnd* MarkerUnderCursor()
{
    CPoint pt;
    ::GetCursorPos(&pt);
    return PermanentMarker(::WindowFromPoint(pt));
}

CExtControlBar* AsPaneTarget(CWnd* pWnd)
{
    if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
        return nullptr;
    auto* pBar = static_cast<CExtControlBar*>(pWnd);
    return pBar->IsFixedMode() || pBar->IsFixedDockStyle() ? nullptr : pBar;
}

bool WindowHasPoint(HWND hWnd, POINT pt)
{
    CRect rc;
    ::GetWindowRect(hWnd, &rc);
    return rc.PtInRect(pt) != FALSE;
}

// The window whose markers the cursor asks for, and whether it is the view pane.
HWND FindMarkerTarget(CFrameWnd* pFrame, CExtControlBar* pDragged, POINT pt, bool* pbPane)
{
    *pbPane = false;
    CFrameWnd* pDraggedFrame = pDragged->IsFloating() ? pDragged->GetParentFrame() : nullptr;
    for (POSITION pos = pFrame->m_listControlBars.GetHeadPosition(); pos != nullptr;)
    {
        auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
        CExtControlBar* pPane = pBar != pDragged && !pBar->IsDockBar() ? AsPaneTarget(pBar) : nullptr;
        if (pPane == nullptr || !pPane->IsVisible() || !pPane->IsFloating())
            continue;
        CFrameWnd* pFloatFrame = pPane->GetParentFrame();
        if (pFloatFrame == nullptr || pFloatFrame == pDraggedFrame ||
            !pFloatFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)) || !pFloatFrame->IsWindowVisible())
            continue;
        if (WindowHasPoint(pFloatFrame->m_hWnd, pt) && WindowHasPoint(pPane->m_hWnd, pt))
            return pPane->m_hWnd;
    }
    const HWND hCurrent = CExtDynDockMarkerWnd::g_hWndMarkerTarget;
    for (HWND hChild = ::GetTopWindow(pFrame->m_hWnd); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (!::IsWindowVisible(hChild) || !WindowHasPoint(hChild, pt))
            continue;
        if (::GetDlgCtrlID(hChild) == AFX_IDW_PANE_FIRST)
        {
            *pbPane = true;
            return hChild;
        }
        if (hChild == hCurrent)
            return hChild;
        CWnd* pChild = CWnd::FromHandlePermanent(hChild);
        if (pChild == nullptr || !pChild->IsKindOf(RUNTIME_CLASS(CExtDockBar)) ||
            static_cast<CExtDockBar*>(pChild)->GetCircleNo() == 0)
            return nullptr;
        for (HWND hBar = ::GetTopWindow(hChild); hBar != nullptr; hBar = ::GetWindow(hBar, GW_HWNDNEXT))
        {
            if (!::IsWindowVisible(hBar) || !WindowHasPoint(hBar, pt))
                continue;
            if (hBar == hCurrent)
                return hBar;
            if (AsPaneTarget(CWnd::FromHandlePermanent(hBar)) != nullptr)
                return hBar;
        }
        return nullptr;
    }
    return nullptr;
}

} // namespace

CExtDockMarkerWndArray CExtDynDockMarkerWnd::g_arrFrameMarkers;
CExtDockMarkerWndArray CExtDynDockMarkerWnd::g_arrTargetMarkers;
HWND CExtDynDockMarkerWnd::g_hWndMarkerTarget = nullptr;

CWnd* CExtDynDockMarkerWnd::GetOwnerWnd()
{
    if (g_pOwnerWnd != nullptr)
        return g_pOwnerWnd;
    if (!RegisterClassOnce(kMarkerClass))
        return nullptr;
    g_pOwnerWnd = new CWnd;
    if (!g_pOwnerWnd->CreateEx(WS_EX_TOPMOST, kMarkerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr))
    {
        delete g_pOwnerWnd;
        g_pOwnerWnd = nullptr;
    }
    return g_pOwnerWnd;
}

CExtDynDockMarkerWnd::CExtDynDockMarkerWnd(LPARAM lOwnerParam, int nKind, HBITMAP hBmpNormal, HBITMAP hBmpHover,
                                           HRGN hRgn, int nLeft, int nTop, int nRight, int nBottom, HBITMAP hBmpFrame,
                                           int nImageOffsetX, int nImageOffsetY, bool bOuter)
    : m_nKind(nKind), m_bOuter(bOuter), m_lOwnerParam(lOwnerParam), m_hBmpNormal(hBmpNormal), m_hBmpHover(hBmpHover),
      m_hBmpFrame(hBmpFrame), m_hRgn(hRgn), m_nImageOffsetX(nImageOffsetX), m_nImageOffsetY(nImageOffsetY)
{
    if (!RegisterClassOnce(kMarkerClass))
        return;
    CWnd* pOwner = GetOwnerWnd();
    if (pOwner == nullptr || !CreateEx(WS_EX_TOPMOST, kMarkerClass, "", WS_POPUP, nLeft, nTop, nRight - nLeft,
                                       nBottom - nTop, pOwner->m_hWnd, nullptr))
        return;
    if (m_hRgn != nullptr && ::SetWindowRgn(m_hWnd, m_hRgn, FALSE))
        m_hRgn = nullptr; // the window owns the region now
    SetTimer(kHoverTimer, 50, nullptr);
}

CExtDynDockMarkerWnd::~CExtDynDockMarkerWnd()
{
    ShowHighlight(false);
    m_bDeleting = true;
    if (m_hWnd != nullptr)
        DestroyWindow();
    for (HGDIOBJ h : {static_cast<HGDIOBJ>(m_hBmpNormal), static_cast<HGDIOBJ>(m_hBmpHover),
                      static_cast<HGDIOBJ>(m_hBmpFrame), static_cast<HGDIOBJ>(m_hRgn)})
        if (h != nullptr)
            ::DeleteObject(h);
}

BOOL CExtDynDockMarkerWnd::DestroyWindow()
{
    ShowHighlight(false);
    return CWnd::DestroyWindow();
}

void CExtDynDockMarkerWnd::PostNcDestroy()
{
    // Destroyed while still listed: the arrays no longer hold it.
    for (CExtDockMarkerWndArray* pArr : {&g_arrFrameMarkers, &g_arrTargetMarkers})
        for (INT_PTR i = pArr->GetSize() - 1; i >= 0; --i)
            if ((*pArr)[i] == this)
                pArr->RemoveAt(i);
    if (!m_bDeleting)
        delete this;
}

LRESULT CExtDynDockMarkerWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATEANDEAT;
    case WM_PAINT:
    {
        PAINTSTRUCT ps;
        HDC hDC = ::BeginPaint(m_hWnd, &ps);
        OnDrawMarker(CDC::FromHandle(hDC));
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_PRINT:
    case WM_PRINTCLIENT:
    {
        const LRESULT lResult = CWnd::WindowProc(message, wParam, lParam);
        OnDrawMarker(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
        return lResult;
    }
    case WM_TIMER:
        if (wParam == kHoverTimer)
        {
            OnHoverTimer();
            return 0;
        }
        if (wParam == kFadeTimer)
        {
            OnFadeTimer();
            return 0;
        }
        break;
    default: break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CExtDynDockMarkerWnd::OnDrawMarker(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    HDC hMem = ::CreateCompatibleDC(pDC->m_hDC);
    HBITMAP hCanvas = ::CreateCompatibleBitmap(pDC->m_hDC, rcClient.Width(), rcClient.Height());
    HGDIOBJ hOldCanvas = ::SelectObject(hMem, hCanvas);
    HDC hSrc = ::CreateCompatibleDC(pDC->m_hDC);
    if (m_hBmpFrame != nullptr)
    {
        HGDIOBJ hOld = ::SelectObject(hSrc, m_hBmpFrame);
        ::BitBlt(hMem, 0, 0, rcClient.Width(), rcClient.Height(), hSrc, 0, 0, SRCCOPY);
        ::SelectObject(hSrc, hOld);
    }
    HBITMAP hImage = m_nHover == 1 && m_hBmpHover != nullptr ? m_hBmpHover : m_hBmpNormal;
    BITMAP bm = {};
    if (hImage != nullptr && ::GetObject(hImage, sizeof(bm), &bm) != 0)
    {
        HGDIOBJ hOld = ::SelectObject(hSrc, hImage);
        ::BitBlt(hMem, m_nImageOffsetX, m_nImageOffsetY, bm.bmWidth, bm.bmHeight, hSrc, 0, 0, SRCCOPY);
        ::SelectObject(hSrc, hOld);
    }
    ::DeleteDC(hSrc);
    CDC dcMem;
    dcMem.Attach(hMem);
    g_PaintManager->PaintDockMarkerHighlight(dcMem, rcClient, m_nKind, m_nHover == 1, this);
    dcMem.Detach();
    ::BitBlt(pDC->m_hDC, 0, 0, rcClient.Width(), rcClient.Height(), hMem, 0, 0, SRCCOPY);
    ::SelectObject(hMem, hOldCanvas);
    ::DeleteObject(hCanvas);
    ::DeleteDC(hMem);
}

// ---- drop kinds ----

bool CExtDynDockMarkerWnd::IsDockingMarker() const
{
    return (m_nKind >= KindTop && m_nKind <= KindRight) || m_nKind == KindCentre;
}

int CExtDynDockMarkerWnd::GetDropKind() const
{
    const HWND hTarget = GetTarget();
    const bool bBarTarget =
        hTarget != nullptr && AsPaneTarget(CWnd::FromHandlePermanent(hTarget)) != nullptr && ::IsWindow(hTarget);
    if (m_nKind == KindCentre)
        return bBarTarget ? 26 : 0;
    if (m_nKind < KindTop || m_nKind > KindRight)
        return 0;
    if (hTarget == nullptr)
        return 14 + m_nKind;
    return (bBarTarget ? 22 : 18) + m_nKind;
}

// ---- sets ----

void CExtDynDockMarkerWnd::CreateFrameMarkers(CFrameWnd* pFrame, bool bShow)
{
    AFX_SIZEPARENTPARAMS layout = {};
    pFrame->GetClientRect(&layout.rect);
    for (HWND hChild = ::GetTopWindow(pFrame->m_hWnd); hChild != nullptr; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (::GetDlgCtrlID(hChild) == AFX_IDW_PANE_FIRST)
            continue;
        CWnd* pChild = CWnd::FromHandlePermanent(hChild);
        if (pChild != nullptr && pChild->IsKindOf(RUNTIME_CLASS(CExtDockBar)) &&
            static_cast<CExtDockBar*>(pChild)->GetCircleNo() >= 1)
            break;
        if (pChild != nullptr)
        {
            CExtControlBar::QUERY_REPOSITION_CALC_EFFECT_DATA query(reposQuery, pFrame, 0, 0xFFFF, AFX_IDW_PANE_FIRST,
                                                                    nullptr, nullptr, TRUE);
            ::SendMessageA(hChild, CExtControlBar::g_nMsgQueryRepositionCalcEffect, query, 0);
            if (query.IsExcluded())
                continue;
        }
        ::SendMessageA(hChild, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    CRect rcFree(layout.rect);
    pFrame->ClientToScreen(&rcFree);
    DestroyMarkers(g_arrFrameMarkers, true);
    g_PaintManager->CreateDockMarkerWindows(0, kFrameSet, rcFree, g_arrFrameMarkers);
    ShowMarkers(g_arrFrameMarkers, bShow, false);
}

void CExtDynDockMarkerWnd::UpdateTargetMarkers(CFrameWnd* pFrame, bool bShow)
{
    CExtControlBar* pDragged = CExtControlBar::GetDraggedBar();
    if (pDragged == nullptr || pFrame == nullptr || MarkerUnderCursor() != nullptr)
        return;
    CPoint pt;
    ::GetCursorPos(&pt);
    bool bPane = false;
    const HWND hTarget = FindMarkerTarget(pFrame, pDragged, pt, &bPane);
    if (g_hWndMarkerTarget != nullptr && !::IsWindow(g_hWndMarkerTarget))
        g_hWndMarkerTarget = nullptr;
    if (hTarget == g_hWndMarkerTarget)
    {
        if (hTarget == nullptr)
            DestroyMarkers(g_arrTargetMarkers, true);
        return;
    }
    DestroyMarkers(g_arrTargetMarkers, true);
    if (CExtControlBar* pPane = AsPaneTarget(CWnd::FromHandlePermanent(hTarget)))
    {
        const bool bTabs = pDragged->CanDockAsTabWith(pPane) && pPane->CanDockAsTabWith(pDragged);
        const bool bBeside = pDragged->CanDockBesideBar(pPane) && pPane->CanDockBesideBar(pDragged);
        if (!bTabs && !bBeside)
        {
            g_hWndMarkerTarget = nullptr;
            return;
        }
    }
    g_hWndMarkerTarget = hTarget;
    if (hTarget == nullptr)
        return;
    CRect rc;
    ::GetWindowRect(hTarget, &rc);
    g_PaintManager->CreateDockMarkerWindows(reinterpret_cast<LPARAM>(hTarget), bPane ? kPaneSet : kBarSet, rc,
                                            g_arrTargetMarkers);
    ShowMarkers(g_arrTargetMarkers, bShow, true);
}

void CExtDynDockMarkerWnd::ShowAllMarkers(bool bShow)
{
    ShowMarkers(g_arrFrameMarkers, bShow, false);
    ShowMarkers(g_arrTargetMarkers, bShow, true);
}

void CExtDynDockMarkerWnd::ShowMarkers(CExtDockMarkerWndArray& arrWnds, bool bShow, bool bAnimate)
{
    for (INT_PTR i = 0; i < arrWnds.GetSize(); ++i)
    {
        CExtDynDockMarkerWnd* pMarker = arrWnds[i];
        if (pMarker->m_hWnd != nullptr && (pMarker->IsWindowVisible() != FALSE) != bShow)
            pMarker->ShowMarker(bShow, bAnimate);
    }
    CExtMessageQueue::DispatchPending(WM_PAINT);
}

void CExtDynDockMarkerWnd::DestroyMarkers(CExtDockMarkerWndArray& arrWnds, bool bAnimate)
{
    CExtDockMarkerWndArray arrCopy;
    arrCopy.Copy(arrWnds);
    arrWnds.RemoveAll();
    ShowMarkers(arrCopy, false, bAnimate);
    for (INT_PTR i = 0; i < arrCopy.GetSize(); ++i)
    {
        CExtDynDockMarkerWnd* pMarker = arrCopy[i];
        if (pMarker->m_hWnd == nullptr)
            delete pMarker;
        else if (pMarker->IsFading())
            pMarker->m_nFlags |= FlagDestroyAfterFade;
        else
            pMarker->DestroyWindow(); // deletes itself
    }
}

void CExtDynDockMarkerWnd::DestroyAllMarkers()
{
    DestroyMarkers(g_arrFrameMarkers, false);
    DestroyMarkers(g_arrTargetMarkers, false);
    if (g_pOwnerWnd != nullptr)
    {
        // Markers still fading go with their owner.
        g_pOwnerWnd->DestroyWindow();
        delete g_pOwnerWnd;
        g_pOwnerWnd = nullptr;
    }
    g_hWndMarkerTarget = nullptr;
}

CExtDynDockMarkerWnd* CExtDynDockMarkerWnd::FindMarker(HWND hWndTarget, int nKind, bool bFrameSet)
{
    const CExtDockMarkerWndArray& arr = bFrameSet ? g_arrFrameMarkers : g_arrTargetMarkers;
    for (INT_PTR i = 0; i < arr.GetSize(); ++i)
        if (arr[i]->GetTarget() == hWndTarget && arr[i]->m_nKind == nKind)
            return arr[i];
    return nullptr;
}

// ---- showing and fading ----

bool CExtDynDockMarkerWnd::CanFade()
{
    const OSVERSIONINFOA& os = g_PaintManager.OsVersionInfo;
    return os.dwPlatformId == VER_PLATFORM_WIN32_NT && os.dwMajorVersion >= 5 &&
           g_PaintManager.SetLayeredWindowAttributesFn != nullptr && CExtPaintManager::GetScreenBitsPerPixel() > 8;
}

void CExtDynDockMarkerWnd::ShowMarker(bool bShow, bool bAnimate)
{
    if (m_hWnd == nullptr)
        return;
    if (CanFade() && g_PaintManager->DockMarkerStyle != 1 && bAnimate)
    {
        StartFade(bShow);
        return;
    }
    ::ShowWindow(m_hWnd, bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void CExtDynDockMarkerWnd::StartFade(bool bShow)
{
    StopFade();
    const bool bVisible = IsWindowVisible() != FALSE;
    if (bVisible != bShow && CanFade())
    {
        ModifyStyleEx(0, WS_EX_LAYERED);
        m_nAlpha = bShow ? 0 : 100;
        g_PaintManager.SetLayeredWindowAttributesFn(m_hWnd, 0, static_cast<BYTE>(m_nAlpha * 255 / 100), LWA_ALPHA);
        if (bShow)
            ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    }
    m_nFlags = static_cast<BYTE>((m_nFlags & ~(FlagDestroyAfterFade | FlagFadingIn)) | FlagFading |
                                 (bShow ? FlagFadingIn : 0));
    SetTimer(kFadeTimer, 1, nullptr);
    OnFadeTimer();
}

void CExtDynDockMarkerWnd::OnFadeTimer()
{
    const bool bIn = (m_nFlags & FlagFadingIn) != 0;
    if ((!bIn && m_nAlpha < 1) || (bIn && m_nAlpha >= 100))
    {
        StopFade();
        return;
    }
    m_nAlpha = std::min(100, std::max(0, m_nAlpha + (bIn ? kFadeStep : -kFadeStep)));
    if (CanFade())
    {
        g_PaintManager.SetLayeredWindowAttributesFn(m_hWnd, 0, static_cast<BYTE>(m_nAlpha * 255 / 100), LWA_ALPHA);
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void CExtDynDockMarkerWnd::StopFade()
{
    if (m_hWnd == nullptr)
        return;
    KillTimer(kFadeTimer);
    if ((m_nFlags & FlagFading) != 0)
    {
        const bool bVisible = IsWindowVisible() != FALSE;
        if ((m_nFlags & FlagFadingIn) != 0 && !bVisible)
            ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        else if ((m_nFlags & FlagFadingIn) == 0 && bVisible)
            ::ShowWindow(m_hWnd, SW_HIDE);
    }
    if ((GetExStyle() & WS_EX_LAYERED) != 0)
    {
        ModifyStyleEx(WS_EX_LAYERED, 0);
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    m_nFlags &= static_cast<BYTE>(~FlagFading);
    if ((m_nFlags & FlagDestroyAfterFade) != 0)
        DestroyWindow(); // deletes itself
}

// ---- hovering ----

void CExtDynDockMarkerWnd::OnHoverTimer()
{
    if (!IsWindowVisible())
        return;
    const HWND hTarget = GetTarget();
    if (hTarget != nullptr && !::IsWindow(hTarget))
    {
        // The pane went during the drag: the drag looks again.
        ShowMarkers(g_arrTargetMarkers, false, true);
        if (CExtControlBar* pDragged = CExtControlBar::GetDraggedBar())
        {
            CPoint pt;
            ::GetCursorPos(&pt);
            pDragged->ScreenToClient(&pt);
            pDragged->PostMessage(WM_MOUSEMOVE, ::GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL | MK_LBUTTON : 0,
                                  MAKELPARAM(pt.x, pt.y));
        }
        return;
    }
    const int nHover = MarkerUnderCursor() == this ? 1 : 2;
    if (nHover == m_nHover)
        return;
    m_nHover = nHover;
    if (nHover != 1)
        ShowHighlight(false);
    if (!m_bOuter && m_nKind != KindCrossBackground)
        if (CExtDynDockMarkerWnd* pCross = FindMarker(hTarget, KindCrossBackground, false))
        {
            const bool bOwnArm = pCross->m_hWndHoverPart == m_hWnd;
            if (nHover == 1)
                pCross->m_hWndHoverPart = m_hWnd;
            else if (bOwnArm)
                pCross->m_hWndHoverPart = nullptr;
            if (nHover == 1 || bOwnArm)
                pCross->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// ---- highlight ----

bool CExtDynDockMarkerWnd::ShowHighlight(bool bShow)
{
    if (m_pHighlight != nullptr)
    {
        CExtDynDockHighlightWnd* pOld = m_pHighlight;
        m_pHighlight = nullptr;
        delete pOld;
    }
    if (!bShow)
        return true;
    HideHighlightsExcept(this, false);
    auto* pHighlight = new CExtDynDockHighlightWnd(this);
    if (pHighlight->m_hWnd == nullptr)
    {
        delete pHighlight;
        return false;
    }
    m_pHighlight = pHighlight;
    return true;
}

void CExtDynDockMarkerWnd::HideHighlightsExcept(CExtDynDockMarkerWnd* pMarker, bool bDispatchPaint)
{
    for (CExtDockMarkerWndArray* pArr : {&g_arrFrameMarkers, &g_arrTargetMarkers})
        for (INT_PTR i = 0; i < pArr->GetSize(); ++i)
            if ((*pArr)[i] != pMarker)
                (*pArr)[i]->ShowHighlight(false);
    if (bDispatchPaint)
        CExtMessageQueue::DispatchPending(WM_PAINT);
}

void CExtDynDockMarkerWnd::HideAllHighlights(bool bDispatchPaint)
{
    HideHighlightsExcept(nullptr, bDispatchPaint);
}

void CExtDynDockMarkerWnd::HighlightMarkerUnderCursor(int nDropKind)
{
    CExtDynDockMarkerWnd* pMarker = MarkerUnderCursor();
    if (pMarker == nullptr || nDropKind == 0 || pMarker->GetDropKind() != nDropKind)
    {
        HideAllHighlights(false);
        return;
    }
    if (pMarker->m_pHighlight == nullptr)
        pMarker->ShowHighlight(true);
}

CExtDynDockHighlightWnd::CExtDynDockHighlightWnd(CExtDynDockMarkerWnd* pMarker) : m_pMarker(pMarker)
{
    CExtControlBar* pDragged = CExtControlBar::GetDraggedBar();
    if (pDragged == nullptr)
        return;
    CRect rc;
    const HWND hTarget = pMarker->GetTarget();
    const bool bBar = hTarget != nullptr && AsPaneTarget(CWnd::FromHandlePermanent(hTarget)) != nullptr;
    if (hTarget != nullptr)
        ::GetWindowRect(hTarget, &rc);
    else
    {
        const CExtDockMarkerWndArray& arr = CExtDynDockMarkerWnd::g_arrFrameMarkers;
        if (arr.GetSize() != 4)
            return;
        CRect rcMarkers[4];
        for (int i = 0; i < 4; ++i)
            arr[i]->GetWindowRect(&rcMarkers[i]);
        rc.SetRect(rcMarkers[2].left, rcMarkers[0].top, rcMarkers[3].right, rcMarkers[1].bottom);
        CRect rcMargins;
        g_PaintManager->GetDockMarkerMargins(&rcMargins);
        rc.DeflateRect(rcMargins.left, rcMargins.top, rcMargins.right, rcMargins.bottom);
    }
    const int nMin = CExtDynDockMarkerWnd::g_nMinHighlightDepth;
    const int cyDepth = std::max(static_cast<int>(pDragged->m_sizeDockedH.cy), nMin);
    const int cxDepth = std::max(static_cast<int>(pDragged->m_sizeDockedV.cx), nMin);
    switch (pMarker->m_nKind)
    {
    case CExtDynDockMarkerWnd::KindTop:
        rc = kxdock::EdgeStrip(rc, kxdock::SideTop, bBar ? rc.Height() / 2 : cyDepth);
        break;
    case CExtDynDockMarkerWnd::KindBottom:
        rc = kxdock::EdgeStrip(rc, kxdock::SideBottom, bBar ? rc.Height() / 2 : cyDepth);
        break;
    case CExtDynDockMarkerWnd::KindLeft:
        rc = kxdock::EdgeStrip(rc, kxdock::SideLeft, bBar ? rc.Width() / 2 : cxDepth);
        break;
    case CExtDynDockMarkerWnd::KindRight:
        rc = kxdock::EdgeStrip(rc, kxdock::SideRight, bBar ? rc.Width() / 2 : cxDepth);
        break;
    case CExtDynDockMarkerWnd::KindCentre: break;
    default: return;
    }
    if (rc.IsRectEmpty() || !RegisterClassOnce(kHighlightClass))
        return;
    CWnd* pOwner = CExtDynDockMarkerWnd::GetOwnerWnd();
    if (pOwner == nullptr)
        return;

    // What the screen shows there, tinted; taken before the window covers it.
    COLORREF* pBits = nullptr;
    m_hBmpTinted = CExtPaintManager::CreateDibSection32(rc.Width(), rc.Height(), &pBits);
    if (m_hBmpTinted != nullptr)
    {
        HDC hScreen = ::GetDC(nullptr);
        HDC hMem = ::CreateCompatibleDC(hScreen);
        HGDIOBJ hOld = ::SelectObject(hMem, m_hBmpTinted);
        ::BitBlt(hMem, 0, 0, rc.Width(), rc.Height(), hScreen, rc.left, rc.top, SRCCOPY);
        ::GdiFlush();
        const bool bTab = pMarker->m_nKind == CExtDynDockMarkerWnd::KindCentre;
        CFrameWnd* pSite = pDragged->GetDockingFrame();
        const bool bRtl = pSite != nullptr && (pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
        const kxdock::TabbedPageShape shape = kxdock::TabbedHighlightShape(rc.Size(), bRtl);
        g_PaintManager->PaintDockingHighlight(pBits, rc.Width(), rc.Height(), bTab, false,
                                              bTab ? shape.rcBody : CRect(0, 0, rc.Width(), rc.Height()), shape.rcTab,
                                              static_cast<COLORREF>(-1), static_cast<COLORREF>(-1), 2);
        ::SelectObject(hMem, hOld);
        ::DeleteDC(hMem);
        ::ReleaseDC(nullptr, hScreen);
    }
    if (!CreateEx(WS_EX_TOPMOST, kHighlightClass, "", WS_POPUP, rc.left, rc.top, rc.Width(), rc.Height(),
                  pOwner->m_hWnd, nullptr))
        return;
    ::SetWindowPos(m_hWnd, pOwner->m_hWnd, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // Not every window manager keeps owned windows above their owner.
    for (CExtDockMarkerWndArray* pArr :
         {&CExtDynDockMarkerWnd::g_arrTargetMarkers, &CExtDynDockMarkerWnd::g_arrFrameMarkers})
        for (INT_PTR i = 0; i < pArr->GetSize(); ++i)
            if ((*pArr)[i]->m_hWnd != nullptr)
                ::SetWindowPos((*pArr)[i]->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

CExtDynDockHighlightWnd::~CExtDynDockHighlightWnd()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
    if (m_hBmpTinted != nullptr)
        ::DeleteObject(m_hBmpTinted);
}

LRESULT CExtDynDockHighlightWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEACTIVATE)
        return MA_NOACTIVATEANDEAT;
    // The markers under the highlight stay what the cursor points at.
    if (message == WM_NCHITTEST)
        return HTTRANSPARENT;
    if (message == WM_PAINT)
    {
        OnPaintHighlight();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CExtDynDockHighlightWnd::OnPaintHighlight()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    if (m_hBmpTinted != nullptr)
    {
        CRect rc;
        GetClientRect(&rc);
        HDC hMem = ::CreateCompatibleDC(hDC);
        HGDIOBJ hOld = ::SelectObject(hMem, m_hBmpTinted);
        ::BitBlt(hDC, 0, 0, rc.Width(), rc.Height(), hMem, 0, 0, SRCCOPY);
        ::SelectObject(hMem, hOld);
        ::DeleteDC(hMem);
    }
    ::EndPaint(m_hWnd, &ps);
}
