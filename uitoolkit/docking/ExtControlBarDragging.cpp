// Dragging a pane by its caption: the click-or-drag detection, the modal
// tracking loop with its step timer and cancellation, and the two drag
// states every other part of the toolkit asks while a bar moves.
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"

#include <cstdlib>

namespace
{

const UINT_PTR kDragStepTimer = 0x1004;
const UINT kDragStatusStringId = 30057;

bool IsMouseMessage(UINT nMsg)
{
    return nMsg >= WM_MOUSEFIRST && nMsg <= WM_MOUSELAST;
}

bool IsKeyboardMessage(UINT nMsg)
{
    return nMsg >= WM_KEYFIRST && nMsg <= WM_KEYLAST;
}

bool IsCtrlKeyDown(const MSG& msg)
{
    return msg.message == WM_KEYDOWN && msg.wParam == VK_CONTROL;
}

// Messages after which a press on the caption is no drag and no click.
bool AbandonsDetection(const MSG& msg)
{
    return msg.message == WM_CONTEXTMENU || msg.message == WM_ACTIVATEAPP || msg.message == WM_CANCELMODE;
}

// Messages that end a running drag as cancelled.
bool CancelsDrag(UINT nMsg)
{
    switch (nMsg)
    {
    case WM_ACTIVATEAPP:
    case WM_CANCELMODE:
    case WM_CONTEXTMENU:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return true;
    default: return false;
    }
}

void RemovePeeked(const MSG& msg)
{
    MSG removed;
    ::PeekMessageA(&removed, msg.hwnd, msg.message, msg.message, PM_REMOVE);
}

} // namespace

CExtControlBar::InternalDraggingState_t CExtControlBar::g_DragStateShown;
CExtControlBar::InternalDraggingState_t CExtControlBar::g_DragStateNew;
bool CExtControlBar::g_bInContinueDragging = false;

CExtControlBar::InternalDraggingState_t& CExtControlBar::InternalDraggingState_t::operator=(
    const InternalDraggingState_t& other)
{
    m_bEmpty = other.m_bEmpty;
    m_bTargetFlag = other.m_bTargetFlag;
    m_eDropKind = other.m_eDropKind;
    m_nShift = other.m_nShift;
    m_nCircle = other.m_nCircle;
    m_rect = other.m_rect;
    m_pBar = other.m_pBar;
    m_pTarget = other.m_pTarget;
    m_nTabIndex = other.m_nTabIndex;
    return *this;
}

bool CExtControlBar::InternalDraggingState_t::operator==(const InternalDraggingState_t& other) const
{
    return m_bEmpty == other.m_bEmpty && m_eDropKind == other.m_eDropKind && m_nCircle == other.m_nCircle &&
           ::EqualRect(&m_rect, &other.m_rect) && m_pBar == other.m_pBar && m_pTarget == other.m_pTarget &&
           m_bTargetFlag == other.m_bTargetFlag && m_nTabIndex == other.m_nTabIndex;
}

void CExtControlBar::InternalDraggingState_t::Reset()
{
    m_bEmpty = true;
    m_bTargetFlag = false;
    m_eDropKind = 0;
    m_nShift = 0;
    m_nCircle = 0;
    ::SetRectEmpty(&m_rect);
    m_pTarget = nullptr;
    m_nTabIndex = 0;
}

void CExtControlBar::RunIdleInTrackingLoop()
{
    if (!g_bIdleInTrackingLoops)
        return;
    if (CWinThread* pThread = AfxGetThread())
        for (LONG nCount = 0; pThread->OnIdle(nCount); ++nCount)
        {
        }
}

CExtControlBar* CExtControlBar::GetDraggedBar()
{
    return g_DragStateShown.m_bEmpty ? nullptr : g_DragStateShown.m_pBar;
}

void CExtControlBar::FocusAfterClick()
{
    HWND hChild = ::GetWindow(m_hWnd, GW_CHILD);
    ::SetFocus(hChild != nullptr ? hChild : m_hWnd);
}

bool CExtControlBar::DetectDragStart(int cxThreshold, int cyThreshold)
{
    const HWND hWnd = m_hWnd;
    CPoint ptStart;
    ::GetCursorPos(&ptStart);
    for (;;)
    {
        if (!::IsWindow(hWnd))
            return false;
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            // Nothing to decide on yet: sleep until the next message.
            ::WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT)
            break;
        if (msg.message == WM_LBUTTONUP && msg.hwnd == hWnd)
        {
            FocusAfterClick();
            break;
        }
        if (msg.hwnd == hWnd && msg.message == WM_MOUSEMOVE)
        {
            CPoint pt;
            ::GetCursorPos(&pt);
            if (std::abs(pt.x - ptStart.x) >= cxThreshold || std::abs(pt.y - ptStart.y) >= cyThreshold)
                return true;
            RemovePeeked(msg);
            continue;
        }
        if (IsCtrlKeyDown(msg))
        {
            RemovePeeked(msg);
            continue;
        }
        const bool bForeignCapture =
            msg.hwnd == hWnd && msg.message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(msg.lParam) != hWnd;
        if (AbandonsDetection(msg) || IsMouseMessage(msg.message) || IsKeyboardMessage(msg.message) || bForeignCapture)
            break;
        if (!AfxPumpMessage())
        {
            ::PostQuitMessage(0);
            break;
        }
        RunIdleInTrackingLoop();
    }
    if (::IsWindow(hWnd) && CExtMouseCaptureSink::GetCapture() == hWnd)
        CExtMouseCaptureSink::ReleaseCapture();
    return false;
}

void CExtControlBar::StartDragging(const POINT& ptScreen, const POINT& ptGrabOffset, int cxThreshold, int cyThreshold)
{
    if (!CanDrag(this))
        return;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE))
    {
    }
    const HWND hWnd = m_hWnd;
    CExtMouseCaptureSink::SetCapture(hWnd);
    if (cxThreshold > 0 && cyThreshold > 0 && !DetectDragStart(cxThreshold, cyThreshold))
        return;

    g_DragStateShown.m_pBar = g_DragStateNew.m_pBar = this;
    g_DragStateNew.m_bEmpty = false;
    OnDragStarted();
    m_bDragging = true;

    int m = std::min(m_rectCaption.Width(), m_rectCaption.Height());
    if (m <= 2)
        m = ::GetSystemMetrics(SM_CYSMCAPTION);
    m_ptGrabFloating = m_ptGrabDockedH = m_ptGrabDockedV = CPoint(m / 2, m / 2);
    if (ptGrabOffset.x != 0 || ptGrabOffset.y != 0)
        (IsFloating() ? m_ptGrabFloating : IsDockedHorizontally() ? m_ptGrabDockedH : m_ptGrabDockedV) = ptGrabOffset;
    ContinueDragging(ptScreen, ::GetKeyState(VK_CONTROL) < 0);
    // With markers a pane leaves its place at once and is dragged floating.
    if (GetDockingType() == 1 && !IsFixedDockStyle() && g_DragStateNew.m_eDropKind == 0 && !g_DragStateNew.m_bEmpty)
    {
        ApplyDrop(g_DragStateNew, false);
        // Floating moved the bar to another parent; the drag keeps the mouse.
        if (::IsWindow(hWnd) && CExtMouseCaptureSink::GetCapture() != hWnd)
            CExtMouseCaptureSink::SetCapture(hWnd);
    }
    SetTimer(kDragStepTimer, 50, nullptr);

    while (m_bDragging && ::IsWindow(hWnd))
    {
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            RunIdleInTrackingLoop();
            ::WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT)
        {
            // The program ends: the drag cannot outlive its loop.
            RemovePeeked(msg);
            StopDragging(true);
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_TIMER && msg.hwnd == hWnd && msg.wParam == kDragStepTimer)
        {
            RemovePeeked(msg);
            CPoint pt;
            ::GetCursorPos(&pt);
            ScreenToClient(&pt);
            PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
            continue;
        }
        if (msg.message == WM_MOUSEMOVE)
        {
            MSG last = msg;
            while (::PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE))
                last = msg;
            CPoint pt(static_cast<short>(LOWORD(last.lParam)), static_cast<short>(HIWORD(last.lParam)));
            if (last.hwnd != hWnd)
            {
                ::ClientToScreen(last.hwnd, &pt);
                ScreenToClient(&pt);
            }
            if (!HandleMouseMove(static_cast<UINT>(last.wParam), pt))
            {
                ::TranslateMessage(&last);
                ::DispatchMessageA(&last);
            }
            continue;
        }
        if (CancelsDrag(msg.message))
        {
            StopDragging(true);
            continue;
        }
        if (IsKeyboardMessage(msg.message) && !g_bInContinueDragging)
        {
            const bool bCtrl = (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_CONTROL;
            if (!bCtrl)
            {
                StopDragging(true);
                continue;
            }
            CPoint pt;
            ::GetCursorPos(&pt);
            if (pt == m_ptLastDrag)
                --m_ptLastDrag.x;
            ScreenToClient(&pt);
            PostMessage(WM_MOUSEMOVE, msg.message == WM_KEYDOWN ? 0x11 : 0, MAKELPARAM(pt.x, pt.y));
        }
        else if (!IsKeyboardMessage(msg.message) &&
                 (CExtMouseCaptureSink::GetCapture() != hWnd || ::GetKeyState(VK_LBUTTON) >= 0 ||
                  ::GetKeyState(VK_RBUTTON) < 0 || ::GetKeyState(VK_MBUTTON) < 0))
        {
            StopDragging(true);
            continue;
        }
        if (!AfxPumpMessage())
        {
            StopDragging(true);
            ::PostQuitMessage(static_cast<int>(AfxGetCurrentMessage()->wParam));
            break;
        }
    }
    if (::IsWindow(hWnd))
        ::KillTimer(hWnd, kDragStepTimer);
}

void CExtControlBar::ContinueDragging(const POINT& ptScreen, bool bForceFloat)
{
    if (g_bInContinueDragging || CPoint(ptScreen) == m_ptLastDrag)
        return;
    m_ptLastDrag = ptScreen;
    g_bInContinueDragging = true;
    g_DragStateNew.CalcDropTarget(ptScreen, bForceFloat);
    // Tool bars move at once and show no markers.
    const bool bMarkers = GetDockingType() == 1 && !IsFixedDockStyle();
    const bool bFirstStep = g_DragStateShown.m_bEmpty;
    if (bFirstStep || g_DragStateNew != g_DragStateShown)
    {
        g_DragStateShown.DrawTrackingOutline(true);
        g_DragStateNew.DrawTrackingOutline(false);
        g_DragStateShown = g_DragStateNew;
    }
    if (bMarkers)
    {
        CFrameWnd* pFrame = GetDockingFrame();
        if (bFirstStep)
            CExtDynDockMarkerWnd::CreateFrameMarkers(pFrame, true);
        CExtDynDockMarkerWnd::UpdateTargetMarkers(pFrame, true);
        CExtDynDockMarkerWnd::ShowAllMarkers(true);
        CExtDynDockMarkerWnd::HighlightMarkerUnderCursor(g_DragStateShown.m_eDropKind);
    }
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
        ::DispatchMessageA(&msg);
    if (CExtMouseCaptureSink::GetCapture() != m_hWnd)
        CExtMouseCaptureSink::SetCapture(m_hWnd);
    g_bInContinueDragging = false;
}

void CExtControlBar::StopDragging(bool bCancel)
{
    if (!m_bDragging)
        return;
    m_bDragging = false;
    m_ptLastDrag = CPoint(-1, -1);
    const bool bMarkers = GetDockingType() == 1;
    // Marker docking has nothing to undo: a cancel applies what is shown.
    if (bMarkers)
        bCancel = false;
    const bool bShownEmptyOrSame = g_DragStateShown.m_bEmpty || g_DragStateShown == g_DragStateNew;
    g_DragStateShown.DrawTrackingOutline(true);
    CExtDynDockMarkerWnd::DestroyAllMarkers();
    if (!g_DragStateNew.m_bEmpty)
    {
        const InternalDraggingState_t computed = g_DragStateNew;
        OnDragFinished(g_DragStateShown, computed, bCancel);
        // A live drag applied its steps already; only the markers finish it.
        if (!bCancel && (!IsMarkerDockingStyle() || !bShownEmptyOrSame || bMarkers))
            ApplyDrop(computed, true);
    }
    g_DragStateShown.Reset();
    g_DragStateNew.Reset();
    if (!::IsWindow(m_hWnd))
        return;
    if (CExtMouseCaptureSink::GetCapture() == m_hWnd)
        CExtMouseCaptureSink::ReleaseCapture();
    if (bCancel && m_pDockSite != nullptr)
        m_pDockSite->DelayRecalcLayout(TRUE);
}

void CExtControlBar::OnDragStarted()
{
    CancelToolTips(FALSE);
    CloseActivePopupTree();
    ShowDragStatus(kDragStatusStringId);
}

void CExtControlBar::OnDragFinished(const InternalDraggingState_t&, const InternalDraggingState_t&, bool)
{
    ShowDragStatus(AFX_IDS_IDLEMESSAGE);
}

void CExtControlBar::ShowDragStatus(UINT nStringId)
{
    CWnd* pTarget = GetOwner() != nullptr ? GetOwner() : GetParent();
    if (pTarget != nullptr)
        pTarget->SendMessage(WM_SETMESSAGESTRING, nStringId);
}

bool CExtControlBar::HandleMouseMove(UINT, CPoint ptClient)
{
    if (m_bRowResizing)
    {
        ContinueRowResizing();
        return true;
    }
    if (m_bInRowResizing)
    {
        ContinueInRowResizing();
        return true;
    }
    if (!m_bDragging)
        return false;
    ClientToScreen(&ptClient);
    ContinueDragging(ptClient, ::GetKeyState(VK_CONTROL) < 0);
    return true;
}

bool CExtControlBar::OnLeftButtonDown(CPoint ptClient)
{
    // A fixed-size bar that does not drag live keeps the framework's drag.
    if (m_pDockBar == nullptr || (m_bFixedMode && !IsMarkerDockingStyle()) || IsFloating() || IsPopupTrackingActive())
        return false;
    CPoint ptScreen = ptClient;
    ClientToScreen(&ptScreen);
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    if (!m_bFixedMode)
        SetFocus();
    const CPoint ptGrab(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top);
    StartDragging(ptScreen, ptGrab, 1, 1);
    return true;
}
