// Dragging a pane by its caption: the click-or-drag detection, the modal
// tracking loop with its step timer and cancellation, and the two drag
// states every other part of the toolkit asks while a bar moves.
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtMessageQueue.h"
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
    CExtMessageQueue::Take(removed, msg.message, msg.message, msg.hwnd);
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
            // The quit that slipped in is the program's: pass it on.
            ::PostQuitMessage(static_cast<int>(AfxGetCurrentMessage()->wParam));
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
    while (CExtMessageQueue::Take(msg, WM_KEYFIRST, WM_KEYLAST))
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
    if (UsesDockingMarkers())
    {
        // A pane leaves its row at once when the first step floats it; the
        // markers wait hidden until the next step.
        if (g_DragStateNew.m_eDropKind == 0 && !g_DragStateNew.m_bEmpty)
        {
            ApplyDrop(g_DragStateNew, false);
            // Floating moved the bar to another parent; the drag keeps the mouse.
            if (::IsWindow(hWnd) && CExtMouseCaptureSink::GetCapture() != hWnd)
                CExtMouseCaptureSink::SetCapture(hWnd);
        }
        CFrameWnd* pFrame = GetDockingFrame();
        CExtDynDockMarkerWnd::CreateFrameMarkers(pFrame, false);
        CExtDynDockMarkerWnd::UpdateTargetMarkers(pFrame, false);
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
            while (CExtMessageQueue::Take(msg, WM_MOUSEMOVE, WM_MOUSEMOVE))
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

bool CExtControlBar::UsesDockingMarkers() const
{
    return GetDockingType() == 1 && !m_bFixedMode && !IsFixedDockStyle();
}

void CExtControlBar::ContinueDragging(const POINT& ptScreen, bool bForceFloat)
{
    if (g_bInContinueDragging || CPoint(ptScreen) == m_ptLastDrag)
        return;
    m_ptLastDrag = ptScreen;
    g_bInContinueDragging = true;
    g_DragStateNew.CalcDropTarget(ptScreen, bForceFloat);
    const bool bMarkerStyle = GetDockingType() == 1;
    const bool bMarkers = UsesDockingMarkers();
    CFrameWnd* pFrame = GetDockingFrame();
    const int nNewKind = g_DragStateNew.m_eDropKind;
    if (g_DragStateNew == g_DragStateShown)
    {
        if (bForceFloat)
            CExtDynDockMarkerWnd::ShowAllMarkers(false);
        else if (IsTabStripKind(nNewKind))
            HideMarkersOverTabStrip(nNewKind, bMarkerStyle);
        else if (bMarkers)
            ShowTargetMarkers(pFrame, nNewKind);
        CExtPaintManager::DispatchPendingPaint(true, true, true);
    }
    else
    {
        const int nShownKind = g_DragStateShown.m_eDropKind;
        if (!g_DragStateShown.m_bEmpty)
        {
            // A tab preview over the same pane stays while the tab moves.
            const bool bKeep = !g_DragStateNew.m_bEmpty && (nShownKind == 29 || nShownKind == 30) &&
                               g_DragStateNew.m_pTarget == g_DragStateShown.m_pTarget;
            if (!bKeep)
            {
                if (!IsTabStripKind(nShownKind))
                    CExtPaintManager::DispatchPendingPaint(true, true, true);
                g_DragStateShown.DrawTrackingOutline(true);
            }
            CExtPaintManager::DispatchPendingPaint(true, true, true);
        }
        if (!g_DragStateNew.m_bEmpty)
        {
            if (!g_DragStateShown.m_bEmpty && IsTabStripKind(nShownKind))
                g_DragStateShown.SetTarget(nullptr, false);
            if (!IsTabStripKind(nNewKind))
                CExtPaintManager::DispatchPendingPaint(true, true, true);
            g_DragStateNew.DrawTrackingOutline(false);
        }
        bool bApply = IsMarkerDockingStyle();
        if (bApply && IsTabStripKind(nNewKind))
        {
            HideMarkersOverTabStrip(nNewKind, bMarkerStyle);
            bApply = !bMarkerStyle;
        }
        else if (bApply && nNewKind != 26 && bMarkers)
        {
            CExtDynDockMarkerWnd::UpdateTargetMarkers(pFrame, true);
            if (!bForceFloat)
                ShowTargetMarkers(pFrame, nNewKind);
        }
        if (bApply && !g_DragStateShown.m_bEmpty && g_DragStateNew != g_DragStateShown)
            ApplyDrop(g_DragStateNew, false);
        g_DragStateShown = g_DragStateNew;
    }
    MSG msg;
    while (CExtMessageQueue::Take(msg, WM_TIMER, WM_TIMER))
        ::DispatchMessageA(&msg);
    if (::IsWindow(m_hWnd) && CExtMouseCaptureSink::GetCapture() != m_hWnd)
        CExtMouseCaptureSink::SetCapture(m_hWnd);
    g_bInContinueDragging = false;
}

bool CExtControlBar::IsTabStripKind(int nDropKind)
{
    return nDropKind >= 28 && nDropKind <= 30;
}

void CExtControlBar::HideMarkersOverTabStrip(int nDropKind, bool bMarkerStyle)
{
    if (!bMarkerStyle)
        return;
    CExtDynDockMarkerWnd::HideAllHighlights(false);
    // Over the strip itself the markers would hide the tabs.
    if (nDropKind == 28 || nDropKind == 29)
        CExtDynDockMarkerWnd::ShowAllMarkers(false);
}

void CExtControlBar::ShowTargetMarkers(CFrameWnd* pFrame, int nDropKind)
{
    CExtDynDockMarkerWnd::UpdateTargetMarkers(pFrame, true);
    CExtDynDockMarkerWnd::ShowAllMarkers(true);
    CExtDynDockMarkerWnd::HighlightMarkerUnderCursor(nDropKind);
}

void CExtControlBar::StopDragging(bool bCancel)
{
    CExtDynDockMarkerWnd::DestroyAllMarkers();
    if (!m_bDragging)
        return;
    m_bDragging = false;
    m_ptLastDrag = CPoint(-1, -1);
    const bool bShownEmpty = g_DragStateShown.m_bEmpty;
    const bool bShownSame = g_DragStateShown == g_DragStateNew;
    const bool bMarkerStyle = GetDockingType() == 1;
    // Marker docking has nothing to undo: a cancel applies what is shown.
    if (bMarkerStyle)
        bCancel = false;
    if (!g_DragStateNew.m_bEmpty)
    {
        const InternalDraggingState_t computed = g_DragStateNew;
        if (!IsTabStripKind(computed.m_eDropKind))
            CExtPaintManager::DispatchPendingPaint(true, true, true);
        g_DragStateNew.DrawTrackingOutline(true);
        OnDragFinished(g_DragStateShown, computed, bCancel);
        // A live drag applied its steps already; only the markers finish it.
        if (!bCancel && (!IsMarkerDockingStyle() || !(bShownEmpty || bShownSame) || bMarkerStyle))
            ApplyDrop(computed, true);
    }
    g_DragStateShown.Reset();
    g_DragStateNew.Reset();
    if (!::IsWindow(m_hWnd))
        return;
    if (CExtMouseCaptureSink::GetCapture() == m_hWnd)
        CExtMouseCaptureSink::ReleaseCapture();
    if (IsFloating() && !IsMarkerDockingStyle())
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
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
    SetCursorForPoint(ptClient);
    if (m_bNcButtonHover)
        return true;
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
    if (m_bDragging)
    {
        ClientToScreen(&ptClient);
        ContinueDragging(ptClient, ::GetKeyState(VK_CONTROL) < 0);
        return true;
    }
    if (IsFloating() && CExtMiniDockFrameWnd::g_bFloatingFrameToTopOnHover && !IsPopupTrackingActive())
        if (CFrameWnd* pFloatFrame = GetParentFrame())
            pFloatFrame->SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return false;
}

void CExtControlBar::SetCursorForPoint(const POINT& ptClient)
{
    if (IsFrameHelpMode(this))
        return;
    HCURSOR hCursor = reinterpret_cast<HCURSOR>(::GetClassLongPtrA(m_hWnd, GCLP_HCURSOR));
    const bool bResizing = m_bRowResizing || m_bInRowResizing;
    if (m_bDragging)
    {
        if (m_bFixedMode)
        {
            const int nShift = g_DragStateShown.m_nShift;
            hCursor = nShift == 1 ? g_hCursorSizeWE : nShift == 2 ? g_hCursorSizeNS : g_hCursorSizeAll;
        }
    }
    else if (bResizing)
        hCursor = (IsDockedHorizontally() == m_bInRowResizing) ? g_hCursorSizeWE : g_hCursorSizeNS;
    else if (!m_bDialogHosted && !IsFloating())
    {
        CPoint pt(ptClient);
        ClientToScreen(&pt);
        CRect rcWindow;
        GetWindowRect(&rcWindow);
        pt.Offset(-rcWindow.left, -rcWindow.top);
        if (m_rectCaption.PtInRect(pt))
        {
            HCURSOR hButtonCursor = nullptr;
            for (INT_PTR i = 0; i < m_arrNcButtons.GetSize() && hButtonCursor == nullptr; ++i)
                if (m_arrNcButtons[i]->OnQueryVisibility() && m_arrNcButtons[i]->m_rc.PtInRect(pt))
                    hButtonCursor = m_arrNcButtons[i]->OnQueryCursor(pt);
            hCursor = hButtonCursor != nullptr ? hButtonCursor : CanDrag(this) ? g_hCursorSizeAll : g_hCursorArrow;
        }
    }
    if (hCursor != nullptr && hCursor != ::GetCursor())
        ::SetCursor(hCursor);
}

bool CExtControlBar::OnLeftButtonDown(CPoint ptClient)
{
    if (m_pDockBar == nullptr || IsPopupTrackingActive())
        return false;
    // A fixed-size bar that does not drag live keeps the framework's drag.
    if (m_bFixedMode && !IsMarkerDockingStyle())
        return false;
    CPoint ptScreen = ptClient;
    ClientToScreen(&ptScreen);
    if (IsFloating())
    {
        // The floating frame moves the bar as if its caption was pressed.
        CFrameWnd* pFloatFrame = GetParentFrame();
        if (pFloatFrame == nullptr || !pFloatFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
            return false;
        pFloatFrame->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(ptScreen.x, ptScreen.y));
        return true;
    }
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    if (!m_bFixedMode)
        SetFocus();
    const CPoint ptGrab(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top);
    StartDragging(ptScreen, ptGrab, 1, 1);
    return true;
}
