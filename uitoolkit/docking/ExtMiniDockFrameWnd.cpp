// The floating frame: its own non-client area drawn by the theme, moving a
// bar by the caption, a resizing loop of its own for panes, and the rule
// that its caption never leaves the monitor's work area.
#include "framework/win/DockContext.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/docking/ExtDynControlBar.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CExtMiniDockFrameWnd, CMiniDockFrameWnd)

bool CExtMiniDockFrameWnd::g_bFloatingFrameToTopOnHover = false;

namespace
{

const DWORD kStripStyle = WS_CAPTION | WS_THICKFRAME | MFS_4THICKFRAME;
const DWORD kStripExStyle = WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
const DWORD kRtlExStyle = WS_EX_LAYOUTRTL | WS_EX_RTLREADING;
const UINT kStyleChangeFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                               SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOOWNERZORDER;
// Taken off the frame while a pane is resized by it.
const DWORD kResizeStyleBit = 0x2000;
const UINT_PTR kTimerLayoutButtons = 1;
const UINT_PTR kTimerCloseBoxHover = 2;
const UINT_PTR kTimerButtonHover = 4;

bool g_bInResizeStep = false;
bool g_bInWorkAreaCheck = false;

void RectsAtWindowOrigin(const CWnd* pWnd, CRect& rcWindow, CRect& rcClient)
{
    pWnd->GetWindowRect(&rcWindow);
    pWnd->GetClientRect(&rcClient);
    pWnd->ClientToScreen(&rcClient);
    rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
    rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
}

// A press on the frame brings the program's main window forward first.
void ActivateTopParent(CWnd* pWnd)
{
    CWnd* pTop = pWnd->GetTopLevelParent();
    const HWND hForeground = ::GetForegroundWindow();
    if (pTop != nullptr && hForeground != pTop->m_hWnd && hForeground != pWnd->m_hWnd)
        ::SetForegroundWindow(pTop->m_hWnd);
}

bool IsBorderCode(UINT nHitTest)
{
    return nHitTest >= HTLEFT && nHitTest <= HTBOTTOMRIGHT;
}

bool EndsResizing(UINT nMsg)
{
    return nMsg == WM_ACTIVATEAPP || nMsg == WM_COMMAND || (nMsg >= WM_KEYFIRST && nMsg <= WM_SYSDEADCHAR);
}

} // namespace

CExtMiniDockFrameWnd::CExtMiniDockFrameWnd() = default;

CExtMiniDockFrameWnd::~CExtMiniDockFrameWnd() = default;

CDockBar* CExtMiniDockFrameWnd::CreateFloatingDockBar()
{
    return new CExtDockBar(0);
}

BOOL CExtMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle)
{
    if (!CMiniDockFrameWnd::Create(pParent, dwBarStyle))
        return FALSE;
    const DWORD dwClip = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    ModifyStyle(0, dwClip);
    m_pWndDockBar->ModifyStyle(0, dwClip);
    m_pWndDockBar->ModifyStyleEx(kRtlExStyle, 0, SWP_FRAMECHANGED);
    ModifyStyle(kStripStyle, 0, kStyleChangeFlags);
    ModifyStyleEx(kStripExStyle, 0, kStyleChangeFlags);
    ModifyStyleEx(kRtlExStyle, 0, SWP_FRAMECHANGED);
    SetTimer(kTimerLayoutButtons, 1, nullptr);
    EnableToolTips(TRUE);
    if (m_wndToolTip.Create(this))
        m_wndToolTip.Activate(TRUE);
    return TRUE;
}

BOOL CExtMiniDockFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CMiniDockFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~kRtlExStyle;
    return TRUE;
}

void CExtMiniDockFrameWnd::CalcWindowRect(LPRECT lpClientRect, UINT)
{
    const int cx = ::GetSystemMetrics(SM_CXFRAME), cy = ::GetSystemMetrics(SM_CYFRAME);
    ::InflateRect(lpClientRect, cx, cy);
    lpClientRect->top -= ::GetSystemMetrics(SM_CYSMCAPTION);
}

BOOL CExtMiniDockFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_wndToolTip.GetSafeHwnd() != nullptr)
        m_wndToolTip.RelayEvent(pMsg);
    return CMiniDockFrameWnd::PreTranslateMessage(pMsg);
}

INT_PTR CExtMiniDockFrameWnd::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const
{
    CControlBar* pBar = GetFloatingBar();
    if (pTI == nullptr || m_wndToolTip.GetSafeHwnd() == nullptr || pBar == nullptr ||
        (pBar->m_dwStyle & CBRS_TOOLTIPS) == 0)
        return -1;
    if (pBar->OnToolHitTest(point, pTI) != -1 && pTI->lpszText != nullptr && pTI->lpszText != LPSTR_TEXTCALLBACKA)
    {
        auto* pToolTip = const_cast<CToolTipCtrl*>(&m_wndToolTip);
        pToolTip->DelTool(const_cast<CExtMiniDockFrameWnd*>(this), 1);
        pToolTip->AddTool(const_cast<CExtMiniDockFrameWnd*>(this), pTI->lpszText, &pTI->rect, 1);
    }
    return -1;
}

CControlBar* CExtMiniDockFrameWnd::GetFloatingBar() const
{
    if (m_hWnd == nullptr)
        return nullptr;
    const HWND hDockBar = ::GetWindow(m_hWnd, GW_CHILD);
    const HWND hBar = hDockBar != nullptr ? ::GetWindow(hDockBar, GW_CHILD) : nullptr;
    CWnd* pWnd = hBar != nullptr ? CWnd::FromHandlePermanent(hBar) : nullptr;
    return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CControlBar)) ? static_cast<CControlBar*>(pWnd) : nullptr;
}

CExtControlBar* CExtMiniDockFrameWnd::GetFloatingExtBar() const
{
    CControlBar* pBar = GetFloatingBar();
    return pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ? static_cast<CExtControlBar*>(pBar)
                                                                            : nullptr;
}

CRect CExtMiniDockFrameWnd::GetWorkArea() const
{
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (!::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &mi))
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &mi.rcWork, 0);
    return mi.rcWork;
}

// ---- messages ----

LRESULT CExtMiniDockFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const CPoint ptMsg(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    switch (message)
    {
    case WM_NCCALCSIZE:
    {
        auto* pRect = reinterpret_cast<RECT*>(lParam);
        ::InflateRect(pRect, -::GetSystemMetrics(SM_CXFRAME), -::GetSystemMetrics(SM_CYFRAME));
        pRect->top += ::GetSystemMetrics(SM_CYSMCAPTION);
        pRect->bottom = std::max(pRect->bottom, pRect->top);
        pRect->right = std::max(pRect->right, pRect->left);
        return 0;
    }
    case WM_SIZE: OnSizeFrame(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_WINDOWPOSCHANGED:
    {
        const LRESULT lResult = CMiniDockFrameWnd::WindowProc(message, wParam, lParam);
        if ((reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOMOVE) == 0)
            KeepCaptionOnWorkArea();
        return lResult;
    }
    case WM_WINDOWPOSCHANGING:
    {
        const LRESULT lResult = CMiniDockFrameWnd::WindowProc(message, wParam, lParam);
        // The platform may give the frame its own border and caption back.
        if ((GetStyle() & kStripStyle) != 0)
            ModifyStyle(kStripStyle, 0, kStyleChangeFlags);
        if ((GetExStyle() & kStripExStyle) != 0)
            ModifyStyleEx(kStripExStyle, 0, kStyleChangeFlags);
        return lResult;
    }
    case WM_GETMINMAXINFO:
    {
        const LRESULT lResult = CMiniDockFrameWnd::WindowProc(message, wParam, lParam);
        const CRect rcWork = GetWorkArea();
        auto* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
        pInfo->ptMaxTrackSize.x = std::min(pInfo->ptMaxTrackSize.x, static_cast<LONG>(rcWork.Width()));
        pInfo->ptMaxTrackSize.y = std::min(pInfo->ptMaxTrackSize.y, static_cast<LONG>(rcWork.Height()));
        return lResult;
    }
    case WM_NCACTIVATE:
    {
        const LRESULT lResult = CMiniDockFrameWnd::WindowProc(message, wParam, lParam);
        SendMessage(WM_NCPAINT);
        CControlBar* pBar = GetFloatingBar();
        if (wParam != FALSE && pBar != nullptr)
            pBar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return lResult;
    }
    case WM_PAINT:
    {
        CPaintDC dc(this);
        return 0;
    }
    case WM_ERASEBKGND: return TRUE;
    case WM_NCPAINT: OnNcPaintFrame(); return 0;
    case WM_PRINT:
    case WM_PRINTCLIENT:
    {
        CDC* pDC = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
        if ((lParam & PRF_NONCLIENT) != 0)
        {
            CRect rcWindow, rcClient;
            RectsAtWindowOrigin(this, rcWindow, rcClient);
            const int nSaved = pDC->SaveDC();
            pDC->ExcludeClipRect(&rcClient);
            RenderNC(*pDC);
            pDC->RestoreDC(nSaved);
        }
        if ((lParam & PRF_CHILDREN) != 0)
            CExtPaintManager::PrintWindowTree(m_hWnd, message, pDC->GetSafeHdc(), static_cast<UINT>(lParam), true);
        return 1;
    }
    case WM_NCHITTEST: return HitTestAt(ptMsg);
    case WM_NCLBUTTONDOWN: OnNcLeftButtonDown(static_cast<UINT>(wParam), ptMsg); return 0;
    case WM_NCLBUTTONUP:
        if (IsResizing())
        {
            StopResizing();
            return 0;
        }
        if (CExtControlBar::GetDraggedBar() != nullptr)
            return 0;
        if (CExtControlBar* pBar = GetFloatingExtBar(); pBar != nullptr && pBar->m_bNcButtonHover)
        {
            pBar->HandleNcButtonsClick(ptMsg);
            return 0;
        }
        break;
    case WM_NCLBUTTONDBLCLK: OnNcLeftButtonDoubleClick(static_cast<UINT>(wParam), ptMsg); return 0;
    case WM_NCRBUTTONDOWN: OnNcRightButtonDown(static_cast<UINT>(wParam), ptMsg); return 0;
    case WM_CANCELMODE:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
        if (message == WM_CANCELMODE)
        {
            CloseActivePopupTree();
            CancelToolTips(FALSE);
        }
        if (IsResizing())
        {
            StopResizing();
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (IsResizing() && reinterpret_cast<HWND>(lParam) != m_hWnd)
        {
            StopResizing();
            return 0;
        }
        break;
    case WM_NCMOUSEMOVE:
        if (g_bFloatingFrameToTopOnHover && !IsPopupTrackingActive() && CExtControlBar::GetDraggedBar() == nullptr)
            BringWindowToTop();
        if (IsResizing())
            return 0;
        {
            const LRESULT lResult = CMiniDockFrameWnd::WindowProc(message, wParam, lParam);
            TrackHover(ptMsg);
            return lResult;
        }
    case WM_MOUSEMOVE:
        if (g_bFloatingFrameToTopOnHover && !IsPopupTrackingActive())
            BringWindowToTop();
        if (IsResizing())
        {
            CPoint pt = ptMsg;
            ClientToScreen(&pt);
            ResizeStep(pt);
            return 0;
        }
        break;
    case WM_TIMER: OnFrameTimer(static_cast<UINT_PTR>(wParam)); return 0;
    default: break;
    }
    return CMiniDockFrameWnd::WindowProc(message, wParam, lParam);
}

void CExtMiniDockFrameWnd::OnSizeFrame(UINT nType, int cx, int cy)
{
    const CRect rcWork = GetWorkArea();
    if (cx > rcWork.Width() || cy > rcWork.Height())
    {
        CRect rcWindow;
        GetWindowRect(&rcWindow);
        SetWindowPos(nullptr, rcWindow.left, rcWindow.top, std::min(cx, static_cast<int>(rcWork.Width())),
                     std::min(cy, static_cast<int>(rcWork.Height())), SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    CMiniDockFrameWnd::WindowProc(WM_SIZE, nType, MAKELPARAM(cx, cy));
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const int nFrameX = ::GetSystemMetrics(SM_CXFRAME), nFrameY = ::GetSystemMetrics(SM_CYFRAME);
    m_rcCaption.SetRect(nFrameX, nFrameY, rcWindow.Width() - nFrameX, nFrameY + ::GetSystemMetrics(SM_CYSMSIZE));
    m_rcCloseBox.SetRect(m_rcCaption.right - ::GetSystemMetrics(SM_CXSMSIZE), m_rcCaption.top + 2,
                         m_rcCaption.right - 3, m_rcCaption.bottom - 2);
    if (CExtControlBar* pBar = GetFloatingExtBar())
    {
        pBar->CreateNcButtons();
        pBar->LayoutNcButtons();
    }
    CExtPaintManager::DispatchPendingPaint(true, true, true);
}

void CExtMiniDockFrameWnd::KeepCaptionOnWorkArea()
{
    CExtControlBar* pBar = GetFloatingExtBar();
    if (IsResizing() || g_bInWorkAreaCheck || pBar == nullptr || !pBar->IsFloating())
        return;
    g_bInWorkAreaCheck = true;
    const CRect rcWork = GetWorkArea();
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const int nCaption = ::GetSystemMetrics(SM_CYSMCAPTION);
    int nTop = rcWindow.top;
    if (rcWindow.bottom < rcWork.top)
        nTop = rcWork.top;
    else if (rcWindow.top + nCaption > rcWork.bottom)
        nTop = std::max(rcWork.bottom - nCaption, rcWork.top);
    if (nTop != rcWindow.top)
    {
        SetWindowPos(nullptr, rcWindow.left, nTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        pBar->LayoutNcButtons();
        PostMessage(WM_NCPAINT);
        CExtPaintManager::DispatchPendingPaint(true, true, true);
    }
    g_bInWorkAreaCheck = false;
}

// ---- painting ----

void CExtMiniDockFrameWnd::OnNcPaintFrame()
{
    CRect rcWindow, rcClient;
    RectsAtWindowOrigin(this, rcWindow, rcClient);
    CWindowDC dcWindow(this);
    dcWindow.ExcludeClipRect(&rcClient);
    {
        CExtMemoryDC dc(&dcWindow, &rcWindow, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
        RenderNC(dc);
    }
    g_PaintManager->OnPaintSessionComplete(this, 0);
}

CString CExtMiniDockFrameWnd::GetCaptionText() const
{
    CString sText;
    CExtControlBar* pBar = GetFloatingExtBar();
    if (pBar == nullptr)
    {
        GetWindowText(sText);
        return sText;
    }
    if (pBar->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)))
    {
        if (CExtControlBar* pSource = static_cast<CExtDynControlBar*>(pBar)->GetCaptionSource())
            pSource->GetBarText(1, sText);
        return sText;
    }
    pBar->GetBarText(1, sText);
    return sText;
}

void CExtMiniDockFrameWnd::RenderNC(CDC& dc)
{
    CExtControlBar* pExtBar = GetFloatingExtBar();
    const bool bResizable = pExtBar != nullptr && !pExtBar->IsFixedMode();
    CRect rcWindow, rcClient;
    RectsAtWindowOrigin(this, rcWindow, rcClient);
    CExtPaintManager* pPM = g_PaintManager.GetPM();
    CExtPaintManager::BarFrameParams frame(this, rcWindow, rcClient, true, bResizable, bResizable);
    pPM->PaintBarFrame(dc, frame);

    const CString sText = GetCaptionText();
    CRect rcText = m_rcCaption;
    if (pExtBar != nullptr)
        pExtBar->AdjustCaptionTextRect(rcText);
    else
        rcText.right = std::min(rcText.right, m_rcCloseBox.left);
    rcText.DeflateRect(2, 0);
    const HWND hFocus = ::GetFocus();
    const bool bActive = hFocus != nullptr && (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus));
    CExtPaintManager::BarCaptionParams caption(this, m_rcCaption, rcText, bActive, true, false, bResizable,
                                               sText.IsEmpty() ? nullptr : static_cast<LPCTSTR>(sText),
                                               g_ResourceManager->IsRTL() != 0);
    pPM->PaintBarCaption(dc, caption);
    if (pExtBar != nullptr)
        pExtBar->DrawNcButtons(&dc);
}

// ---- hit testing and clicks ----

UINT CExtMiniDockFrameWnd::HitTestAt(CPoint pt)
{
    if (CExtControlBar::GetDraggedBar() != nullptr)
        return HTNOWHERE;
    if ((GetStyle() & MFS_MOVEFRAME) != 0)
        ModifyStyle(MFS_MOVEFRAME, 0);
    CRect rc;
    GetWindowRect(&rc);
    if (!rc.PtInRect(pt))
        return HTNOWHERE;
    const int cx = ::GetSystemMetrics(SM_CXFRAME), cy = ::GetSystemMetrics(SM_CYFRAME);
    const int ch = ::GetSystemMetrics(SM_CYSMCAPTION);
    UINT nHit;
    if (pt.y < rc.top + cy)
        nHit = pt.x < rc.left + ch ? HTTOPLEFT : pt.x >= rc.right - cy ? HTTOPRIGHT : HTTOP;
    else if (pt.y >= rc.bottom - cy)
        nHit = pt.x < rc.left + ch ? HTBOTTOMLEFT : pt.x >= rc.right - cy ? HTBOTTOMRIGHT : HTBOTTOM;
    else if (pt.x < rc.left + cx)
        nHit = pt.y < rc.top + ch ? HTTOPLEFT : pt.y >= rc.bottom - ch ? HTBOTTOMLEFT : HTLEFT;
    else if (pt.x >= rc.right - cx)
        nHit = pt.y < rc.top + ch ? HTTOPRIGHT : pt.y >= rc.bottom - ch ? HTBOTTOMRIGHT : HTRIGHT;
    else if (pt.y < rc.top + cy + ch)
        nHit = HTCAPTION;
    else
        nHit = HTCLIENT;

    CExtControlBar* pBar = GetFloatingExtBar();
    if (pBar == nullptr || !pBar->IsFloating())
        return nHit;
    const UINT nButtonHit = pBar->NcButtonsHitTest(pt);
    if (nButtonHit != HTCLIENT)
    {
        pBar->m_bNcButtonHover = true;
        if (pBar->DefersWindowUpdate())
            SetTimer(kTimerButtonHover, 20, nullptr);
        return nButtonHit;
    }
    if (pBar->m_bNcButtonHover)
    {
        pBar->m_bNcButtonHover = false;
        SendMessage(WM_NCPAINT);
    }
    if (pBar->IsFixedMode() && IsBorderCode(nHit))
    {
        // A panel is moved by every border; it sizes itself.
        if (pBar->IsKindOf(RUNTIME_CLASS(CExtToolControlBar)) && static_cast<CExtToolControlBar*>(pBar)->IsPanelBar())
            nHit = HTCAPTION;
        else if (nHit == HTTOPLEFT || nHit == HTTOPRIGHT)
            nHit = HTTOP;
        else if (nHit == HTBOTTOMLEFT || nHit == HTBOTTOMRIGHT)
            nHit = HTBOTTOM;
    }
    return nHit;
}

void CExtMiniDockFrameWnd::OnNcLeftButtonDown(UINT nHitTest, CPoint ptScreen)
{
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    if (m_rcCloseBox.PtInRect(CPoint(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top)) &&
        GetFloatingExtBar() == nullptr)
        return;
    CControlBar* pBar = GetFloatingBar();
    CExtControlBar* pExtBar = GetFloatingExtBar();
    if (nHitTest == HTCAPTION)
    {
        ActivateTopParent(this);
        if (pExtBar == nullptr || !pExtBar->DefersWindowUpdate())
            BringWindowToTop();
        if (m_pWndDockBar == nullptr || (m_pWndDockBar->m_dwStyle & CBRS_FLOAT_MULTI) != 0 || pBar == nullptr)
        {
            CMiniDockFrameWnd::WindowProc(WM_NCLBUTTONDOWN, nHitTest, MAKELPARAM(ptScreen.x, ptScreen.y));
            return;
        }
        if (pExtBar == nullptr || (pExtBar->IsFixedMode() && !pExtBar->IsMarkerDockingStyle()))
        {
            if (pBar->m_pDockContext != nullptr)
                pBar->m_pDockContext->StartDrag(ptScreen);
            return;
        }
        const CRect rcCaption = pExtBar->GetCaptionRect();
        const int e = std::min(rcCaption.Width(), rcCaption.Height());
        const CPoint ptGrab(ptScreen.x - rcWindow.left - e, ptScreen.y - rcWindow.top - e / 2);
        pExtBar->StartDragging(ptScreen, ptGrab, 1, 1);
        return;
    }
    if (IsBorderCode(nHitTest))
    {
        ActivateTopParent(this);
        if (pExtBar == nullptr)
            CMiniDockFrameWnd::WindowProc(WM_NCLBUTTONDOWN, nHitTest, MAKELPARAM(ptScreen.x, ptScreen.y));
        else if (pExtBar->IsFixedMode() && !pExtBar->IsMarkerDockingStyle())
        {
            if (pExtBar->m_pDockContext != nullptr)
                pExtBar->m_pDockContext->StartResize(static_cast<int>(nHitTest), ptScreen);
        }
        else
            StartResizing(nHitTest);
        return;
    }
    if (nHitTest == HTMINBUTTON || nHitTest == HTMAXBUTTON || nHitTest == HTGROWBOX)
        return;
    CMiniDockFrameWnd::WindowProc(WM_NCLBUTTONDOWN, nHitTest, MAKELPARAM(ptScreen.x, ptScreen.y));
}

void CExtMiniDockFrameWnd::OnNcLeftButtonDoubleClick(UINT nHitTest, CPoint ptScreen)
{
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    if (nHitTest == HTCAPTION && m_rcCloseBox.PtInRect(CPoint(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top)) &&
        GetFloatingExtBar() == nullptr)
        return;
    CExtControlBar* pBar = GetFloatingExtBar();
    if (pBar == nullptr)
    {
        CMiniDockFrameWnd::WindowProc(WM_NCLBUTTONDBLCLK, nHitTest, MAKELPARAM(ptScreen.x, ptScreen.y));
        return;
    }
    if (pBar->CanToggleDocking(pBar))
        pBar->ToggleDocking();
}

void CExtMiniDockFrameWnd::OnNcRightButtonDown(UINT nHitTest, CPoint ptScreen)
{
    if (IsResizing())
    {
        StopResizing();
        return;
    }
    CExtControlBar* pBar = GetFloatingExtBar();
    if (nHitTest != HTCAPTION || pBar == nullptr || CExtControlBar::IsFrameHelpMode(this))
    {
        CMiniDockFrameWnd::WindowProc(WM_NCRBUTTONDOWN, nHitTest, MAKELPARAM(ptScreen.x, ptScreen.y));
        return;
    }
    CFrameWnd* pFrame = pBar->GetDockingFrame();
    if (pFrame == nullptr)
        return;
    CExtDockBar::TrackBarsPopupMenu(pFrame, pFrame, nullptr, 5, pBar, WM_NCRBUTTONDOWN, ptScreen);
}

void CExtMiniDockFrameWnd::TrackHover(CPoint ptScreen)
{
    if (CExtControlBar* pBar = GetFloatingExtBar())
    {
        pBar->ShowNcButtonTipAt(ptScreen);
        return;
    }
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const BOOL bHover = m_rcCloseBox.PtInRect(CPoint(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top));
    if (bHover == m_bCloseBoxHover)
        return;
    m_bCloseBoxHover = bHover;
    SendMessage(WM_NCPAINT);
    if (bHover)
        SetTimer(kTimerCloseBoxHover, 20, nullptr);
    else
        KillTimer(kTimerCloseBoxHover);
}

void CExtMiniDockFrameWnd::OnFrameTimer(UINT_PTR nIDEvent)
{
    CExtControlBar* pBar = GetFloatingExtBar();
    switch (nIDEvent)
    {
    case kTimerLayoutButtons:
        KillTimer(kTimerLayoutButtons);
        if (pBar != nullptr)
        {
            pBar->LayoutNcButtons();
            if (IsWindowVisible())
                SendMessage(WM_NCPAINT);
        }
        return;
    case kTimerCloseBoxHover:
    {
        CPoint pt;
        ::GetCursorPos(&pt);
        TrackHover(pt);
        return;
    }
    case kTimerButtonHover:
    {
        CPoint pt;
        if (CExtControlBar::GetDraggedBar() == nullptr && pBar != nullptr && ::GetCursorPos(&pt) &&
            pBar->NcButtonsHitTest(pt) == HTCLIENT)
        {
            PostMessage(WM_NCPAINT);
            pBar->m_bNcButtonHover = false;
        }
        if (CExtControlBar::GetDraggedBar() != nullptr || pBar == nullptr || !pBar->m_bNcButtonHover)
            KillTimer(kTimerButtonHover);
        return;
    }
    default: CMiniDockFrameWnd::WindowProc(WM_TIMER, nIDEvent, 0); return;
    }
}

// ---- resizing ----

void CExtMiniDockFrameWnd::StartResizing(UINT nHitTest)
{
    CloseActivePopupTree();
    CancelToolTips(FALSE);
    CExtControlBar* pBar = GetFloatingExtBar();
    const bool bResizable = pBar != nullptr && !pBar->IsFixedMode();
    m_nResizingHT = nHitTest;
    if (bResizable)
        ModifyStyle(kResizeStyleBit, 0);
    BringWindowToTop();
    CExtMouseCaptureSink::SetCapture(m_hWnd);
    GetWindowRect(&m_rcResizeStart);
    const HWND hWnd = m_hWnd;
    while (::IsWindow(hWnd) && IsResizing())
    {
        ::WaitMessage();
        MSG msg;
        while (::IsWindow(hWnd) && IsResizing() && ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (msg.message == WM_QUIT)
            {
                // The program ends: the frame keeps the size reached and the
                // quit goes on to the loop outside.
                ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
                StopResizing();
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            if (EndsResizing(msg.message))
            {
                StopResizing();
                break;
            }
            if (msg.message == WM_MOUSEMOVE)
            {
                while (::PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE))
                {
                }
                CPoint pt;
                ::GetCursorPos(&pt);
                ResizeStep(pt);
                continue;
            }
            if (CExtMouseCaptureSink::GetCapture() != hWnd)
            {
                StopResizing();
                break;
            }
            if (!AfxPumpMessage())
            {
                StopResizing();
                ::PostQuitMessage(0);
                return;
            }
        }
        if (::IsWindow(hWnd) && IsResizing())
            CExtControlBar::RunIdleInTrackingLoop();
    }
}

void CExtMiniDockFrameWnd::StopResizing()
{
    m_ptLastResize = CPoint(-1, -1);
    if (!IsResizing())
        return;
    // Cleared first: releasing the capture comes back here.
    m_nResizingHT = 0;
    if (CExtMouseCaptureSink::GetCapture() == m_hWnd)
        CExtMouseCaptureSink::ReleaseCapture();
    CExtControlBar* pBar = GetFloatingExtBar();
    if (pBar != nullptr && !pBar->IsFixedMode())
        ModifyStyle(0, kResizeStyleBit);
}

void CExtMiniDockFrameWnd::ResizeStep(CPoint pt)
{
    CExtControlBar* pBar = GetFloatingExtBar();
    if (g_bInResizeStep || !IsResizing() || pBar == nullptr || pt == m_ptLastResize)
        return;
    m_ptLastResize = pt;
    g_bInResizeStep = true;
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    ClientToScreen(&rcClient);
    const int nNcWidth = rcWindow.Width() - rcClient.Width();
    const int nNcHeight = rcWindow.Height() - rcClient.Height();
    const int nMinWidth = std::max(nNcWidth, pBar->GetMinimalWidth());
    const int nMinHeight = std::max(nNcHeight, pBar->GetMinimalHeight());
    const bool bFixed = pBar->IsFixedMode();

    UINT nHit = m_nResizingHT;
    if (bFixed)
    {
        if (nHit == HTTOPLEFT || nHit == HTTOPRIGHT)
            nHit = HTTOP;
        else if (nHit == HTBOTTOMLEFT || nHit == HTBOTTOMRIGHT)
            nHit = HTBOTTOM;
    }
    bool bAnchored = false;
    if (bFixed && nHit == HTLEFT)
    {
        nHit = HTRIGHT;
        pt.x = rcWindow.right - pt.x + rcWindow.left;
        bAnchored = true;
    }
    else if (bFixed && nHit == HTTOP)
    {
        nHit = HTBOTTOM;
        pt.y = rcWindow.bottom - pt.y + rcWindow.top;
        bAnchored = true;
    }
    const bool bLeft = nHit == HTLEFT || nHit == HTTOPLEFT || nHit == HTBOTTOMLEFT;
    const bool bRight = nHit == HTRIGHT || nHit == HTTOPRIGHT || nHit == HTBOTTOMRIGHT;
    const bool bTop = nHit == HTTOP || nHit == HTTOPLEFT || nHit == HTTOPRIGHT;
    const bool bBottom = nHit == HTBOTTOM || nHit == HTBOTTOMLEFT || nHit == HTBOTTOMRIGHT;
    CRect rc = rcWindow;
    if (bLeft)
        rc.left = std::min(static_cast<LONG>(pt.x), rc.right);
    if (bRight)
        rc.right = std::max(static_cast<LONG>(pt.x), rc.left);
    if (bTop)
        rc.top = std::min(static_cast<LONG>(pt.y), rc.bottom);
    if (bBottom)
        rc.bottom = std::max(static_cast<LONG>(pt.y), rc.top);
    auto keepFarEdges = [&](CRect& r)
    {
        // A dragged left or top edge leaves the opposite edge where it was.
        if (bLeft)
            r.OffsetRect(rcWindow.right - r.right, 0);
        if (bTop)
            r.OffsetRect(0, rcWindow.bottom - r.bottom);
    };
    if (rc.Width() < nMinWidth)
        rc.right = rc.left + nMinWidth;
    if (rc.Height() < nMinHeight)
        rc.bottom = rc.top + nMinHeight;
    keepFarEdges(rc);

    if (!bFixed)
    {
        const CSize sizeMin = pBar->GetMinimalFloatingSize();
        const CRect rcWork = GetWorkArea();
        const int cx = std::min(std::max(rc.Width(), static_cast<int>(sizeMin.cx)), static_cast<int>(rcWork.Width()));
        const int cy = std::min(std::max(rc.Height(), static_cast<int>(sizeMin.cy)), static_cast<int>(rcWork.Height()));
        rc.right = rc.left + cx;
        rc.bottom = rc.top + cy;
        keepFarEdges(rc);
        // The frame snaps to its bar at the next layout: the bar takes what
        // the frame's border, caption and dock bar leave of the new size.
        const CSize sizeOverhead = rcWindow.Size() - pBar->m_sizeFloated;
        pBar->m_sizeFloated = CSize(cx, cy) - sizeOverhead;
        SetWindowPos(nullptr, rc.left, rc.top, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        RecalcLayout();
        SetTimer(kTimerLayoutButtons, 1, nullptr);
        g_bInResizeStep = false;
        return;
    }

    const bool bHorzStep = nHit == HTRIGHT;
    const CSize sizeNew = bHorzStep ? pBar->CalcDynamicLayout(rc.Width() + nNcWidth, LM_COMMIT | LM_HORZ)
                                    : pBar->CalcDynamicLayout(rc.Height() + nNcHeight - ::GetSystemMetrics(SM_CYFRAME),
                                                              LM_COMMIT | LM_HORZ | LM_LENGTHY);
    if (sizeNew != pBar->m_sizeFloated)
    {
        pBar->m_sizeFloated = sizeNew;
        const int nLeftBorder = rcClient.left - rcWindow.left;
        const int nTopNc = rcClient.top - rcWindow.top;
        CPoint ptTopLeft = rcWindow.TopLeft();
        if (bAnchored)
            ptTopLeft =
                CPoint(m_rcResizeStart.right - sizeNew.cx - nLeftBorder, m_rcResizeStart.bottom - sizeNew.cy - nTopNc);
        if (pBar->m_pDockContext != nullptr)
            pBar->m_pDockContext->m_ptMRUFloatPos = ptTopLeft;
        pBar->m_ptFloatPos = ptTopLeft;
        SetWindowPos(nullptr, ptTopLeft.x, ptTopLeft.y, sizeNew.cx + nNcWidth - ::GetSystemMetrics(SM_CXFRAME),
                     sizeNew.cy + nNcHeight - ::GetSystemMetrics(SM_CYFRAME), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessage(WM_NCPAINT);
        RecalcLayout();
        pBar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    g_bInResizeStep = false;
}
