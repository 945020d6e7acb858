// The menu tear-off: the command target supplies a control bar that floats
// at the cursor while the menu hides, and the drag runs as a modal loop fed
// by the menu tracker's hooks.
#include "framework/win/ControlBar.h"
#include "framework/win/FrameWnd.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"

CExtPopupMenuWnd::TEAROFFNOTIFICATON* CExtPopupMenuWnd::TEAROFFNOTIFICATON::g_pActive = nullptr;

namespace
{

// Shown again without moving, sizing, activating or reordering it.
const UINT kShowInPlace = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW |
                          SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;

void RepaintMenu(CExtPopupMenuWnd* pPopup)
{
    CClientDC dc(pPopup);
    pPopup->PaintFinished(dc, true);
}

} // namespace

void CExtPopupMenuWnd::DoTearOff()
{
    CPoint ptCursor;
    if (!::GetCursorPos(&ptCursor))
        return;
    TipHide(true);
    TEAROFFNOTIFICATON notification(this, ptCursor);
    notification.DoNotify();
}

bool CExtPopupMenuWnd::OnTearOffBarClick(UINT message)
{
    if (message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN)
        DoTearOff();
    return true;
}

CExtPopupMenuWnd::TEAROFFNOTIFICATON::TEAROFFNOTIFICATON(CExtPopupMenuWnd* pPopup, const POINT& ptScreenStart)
    : CExtHookSink(true), m_hWndMenu(pPopup->GetSafeHwnd()), m_pPopup(pPopup), m_ptStart(ptScreenStart),
      m_rcStart(ptScreenStart, ptScreenStart)
{
    m_rcStart.InflateRect(m_sizeThreshold);
}

CExtPopupMenuWnd::TEAROFFNOTIFICATON::~TEAROFFNOTIFICATON()
{
    RemoveAllWndHooks();
    if (g_pActive == this)
        g_pActive = nullptr;
}

void CExtPopupMenuWnd::TEAROFFNOTIFICATON::Send()
{
    const HWND hWndTarget = m_pPopup->GetCmdTargetWnd();
    if (IsLiveWindow(hWndTarget))
        ::SendMessageA(hWndTarget, g_nMsgTearOff, reinterpret_cast<WPARAM>(this), 0);
}

bool CExtPopupMenuWnd::TEAROFFNOTIFICATON::DoNotify()
{
    if (!IsLiveWindow(m_pPopup->GetCmdTargetWnd()))
        return false;
    m_nCode = CODE_START;
    Send();
    if (!IsLiveWindow(m_hWndSubstituteBar) || (m_nState & STATE_CANCELLED) != 0)
        return false;
    CWnd* pWndBar = CWnd::FromHandlePermanent(m_hWndSubstituteBar);
    if (pWndBar != nullptr && pWndBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
    {
        auto* pBar = static_cast<CExtControlBar*>(pWndBar);
        if (pBar->m_pDockSite != nullptr)
            m_pBar = pBar;
    }
    return DoDragLoop();
}

bool CExtPopupMenuWnd::TEAROFFNOTIFICATON::HookWindow(HWND hWnd)
{
    if (!IsLiveWindow(hWnd) || !SetupHookWndSink(hWnd))
        return false;
    m_hWndHooked = hWnd;
    return true;
}

bool CExtPopupMenuWnd::TEAROFFNOTIFICATON::DoDragLoop()
{
    g_pActive = this;
    m_nState &= ~STATE_HOOKED_HIDDEN;
    m_nCode = CODE_STEP;
    if (m_pBar == nullptr)
        HookWindow(m_hWndSubstituteBar);
    else if (m_pBar->IsFloating() && m_pBar->GetParentFrame() != nullptr)
        HookWindow(m_pBar->GetParentFrame()->GetSafeHwnd());
    while ((m_nState & (STATE_FINISHED | STATE_CANCELLED)) == 0 && IsLiveWindow(m_hWndMenu))
    {
        if (!IsLiveWindow(m_hWndSubstituteBar))
        {
            m_nState = static_cast<BYTE>((m_nState & ~STATE_FINISHED) | STATE_CANCELLED);
            break;
        }
        // nothing moves between messages: wait for the next one instead of
        // spinning
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            ::WaitMessage();
        PumpPendingMessages();
        OnDragStep(false);
        CExtPaintManager::DispatchPendingPaint(true, true, true);
    }
    ::ReleaseCapture();
    RemoveAllWndHooks();
    m_hWndHooked = nullptr;
    if (IsLiveWindow(m_hWndMenu))
    {
        m_nCode = CODE_END;
        Send();
        if (IsLiveWindow(m_hWndMenu) && !::IsWindowVisible(m_hWndMenu))
        {
            CloseActivePopupTree();
            if (CExtToolControlBar::g_bMenuTracking)
                CExtToolControlBar::CancelTrackingInAllBars();
        }
    }
    if (g_pActive == this)
        g_pActive = nullptr;
    return (m_nState & STATE_FINISHED) != 0;
}

void CExtPopupMenuWnd::TEAROFFNOTIFICATON::ShowBar(bool bShow)
{
    m_pBar->m_pDockSite->ShowControlBar(m_pBar, bShow ? TRUE : FALSE, FALSE);
    // the framework lays out only the dock site: the floating frame shows
    // and hides with its bars when it lays itself out
    if (m_pBar->IsFloating() && m_pBar->GetParentFrame() != nullptr)
        m_pBar->GetParentFrame()->RecalcLayout();
}

void CExtPopupMenuWnd::TEAROFFNOTIFICATON::OnDragStep(bool)
{
    if ((m_nState & STATE_FINISHED) != 0)
        return;
    if (!IsLiveWindow(m_hWndSubstituteBar) || !IsLiveWindow(m_hWndMenu) ||
        CWnd::FromHandlePermanent(m_hWndMenu) != m_pPopup)
        return;
    m_nCode = CODE_STEP;
    Send();
    CPoint ptCursor;
    if (m_pBar == nullptr || !IsLiveWindow(m_pBar->GetSafeHwnd()) || m_pBar->m_pDockSite == nullptr ||
        !IsLiveWindow(m_pBar->m_pDockSite->GetSafeHwnd()) || !::GetCursorPos(&ptCursor))
    {
        m_nState |= STATE_CANCELLED;
        return;
    }
    if (!IsInStartArea(ptCursor))
    {
        if ((m_nState & STATE_FLOATED) == 0)
        {
            m_nState |= STATE_FLOATED;
            if (m_pBar->IsVisible())
            {
                // a floating frame away from the menus leaves nothing to redraw
                bool bOverMenus = true;
                if (m_pBar->IsFloating() && m_pBar->GetParentFrame() != nullptr)
                {
                    CRect rcFrame;
                    m_pBar->GetParentFrame()->GetWindowRect(&rcFrame);
                    bOverMenus = m_pPopup->IntersectsMenuChain(rcFrame, true);
                }
                ShowBar(false);
                if (bOverMenus)
                    m_pPopup->RedrawTree();
            }
        }
        if (::IsWindowVisible(m_hWndMenu))
            m_pPopup->ShowWindow(SW_HIDE);
        const CPoint ptFloat(ptCursor.x - 30, ptCursor.y - 10);
        CRect rcFrame;
        if (m_pBar->IsFloating() && m_pBar->GetParentFrame() != nullptr)
            m_pBar->GetParentFrame()->GetWindowRect(&rcFrame);
        if (!m_pBar->IsFloating() || rcFrame.TopLeft() != ptFloat)
            m_pBar->FloatAt(ptFloat.x, ptFloat.y, CBRS_ALIGN_TOP);
        if (m_hWndHooked == nullptr && m_pBar->IsFloating() && m_pBar->GetParentFrame() != nullptr)
            HookWindow(m_pBar->GetParentFrame()->GetSafeHwnd());
        if (!m_pBar->IsVisible())
            ShowBar(true);
        CRect rcBar;
        m_pBar->GetWindowRect(&rcBar);
        for (CExtPopupMenuWnd* pMenu = m_pPopup; pMenu != nullptr; pMenu = pMenu->GetParentMenu())
        {
            CRect rcMenu, rcCommon;
            if (IsLiveWindow(pMenu->GetSafeHwnd()) && pMenu->IsWindowVisible() &&
                (pMenu->GetWindowRect(&rcMenu), rcCommon.IntersectRect(&rcMenu, &rcBar)))
                RepaintMenu(pMenu);
        }
    }
    else if (!::IsWindowVisible(m_hWndMenu))
    {
        if (m_pBar->IsVisible())
            ShowBar(false);
        m_nState |= STATE_HOOKED_HIDDEN;
        ::SetWindowPos(m_hWndMenu, nullptr, 0, 0, 0, 0, kShowInPlace);
        for (CExtPopupMenuWnd* pParent = m_pPopup->GetParentMenu(); pParent != nullptr;
             pParent = pParent->GetParentMenu())
        {
            pParent->m_shadow.DiscardSavedShadow();
            pParent->m_shadowCombined.DiscardSavedShadow();
            if (IsLiveWindow(pParent->GetSafeHwnd()))
                RepaintMenu(pParent);
        }
        RepaintMenu(m_pPopup);
        m_nState &= ~STATE_HOOKED_HIDDEN;
    }
    if (IsLiveWindow(m_hWndSubstituteBar) && ::GetCapture() != m_hWndSubstituteBar)
        ::SetCapture(m_hWndSubstituteBar);
}

bool CExtPopupMenuWnd::TEAROFFNOTIFICATON::IsInStartArea(const POINT& ptScreen) const
{
    if (m_rcStart.PtInRect(ptScreen))
        return true;
    if (!IsLiveWindow(m_hWndMenu))
        return false;
    CRect rcBand;
    m_pPopup->ItemGetRect(IDX_TEAR_OFF, rcBand, false);
    m_pPopup->ClientToScreen(&rcBand);
    rcBand.InflateRect(0, 15);
    return rcBand.PtInRect(ptScreen) != FALSE;
}

void CExtPopupMenuWnd::TEAROFFNOTIFICATON::Finish()
{
    m_nState |= STATE_FINISHED;
    ::PostMessageA(m_hWndMenu, WM_NULL, 0, 0);
}

bool CExtPopupMenuWnd::TEAROFFNOTIFICATON::OnHookMouseWheel(UINT, const MOUSEHOOKSTRUCT*)
{
    return IsActive();
}

bool CExtPopupMenuWnd::TEAROFFNOTIFICATON::OnHookMouseMove(UINT, int, int)
{
    if (!IsActive())
        return false;
    OnDragStep(false);
    return true;
}

bool CExtPopupMenuWnd::TEAROFFNOTIFICATON::OnHookMouseButton(UINT message, int, int)
{
    if (!IsActive())
        return false;
    switch (message)
    {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONUP:
        OnDragStep(true);
        Finish();
        break;
    default: break;
    }
    return true;
}

bool CExtPopupMenuWnd::TEAROFFNOTIFICATON::OnHookKey(UINT, UINT, UINT)
{
    if (!IsActive())
        return false;
    OnDragStep(true);
    Finish();
    return true;
}

bool CExtPopupMenuWnd::TEAROFFNOTIFICATON::DispatchAndRepaint(LRESULT& lResult, HWND hWndHooked, UINT nMessage,
                                                              WPARAM& wParam, LPARAM& lParam)
{
    // the hooked frame still needs its own handling of the message (a
    // floating frame lays its bar out on it) before the menus repaint
    if (CExtHookSink::DispatchHookedMessage(lResult, hWndHooked, nMessage, wParam, lParam))
        lResult = 1;
    else
        lResult = CallOriginalProcWithMessage(nMessage, wParam, lParam);
    for (CExtPopupMenuWnd* pMenu = m_pPopup; pMenu != nullptr; pMenu = pMenu->GetParentMenu())
        if (IsLiveWindow(pMenu->GetSafeHwnd()) && pMenu->IsShadowEnabled())
            pMenu->Invalidate(TRUE);
    m_rcCustomFloatPos.SetRectEmpty();
    CExtPaintManager::DispatchPendingPaint(true, true, true);
    return true;
}

bool CExtPopupMenuWnd::TEAROFFNOTIFICATON::DispatchHookedMessage(LRESULT& lResult, HWND hWndHooked, UINT nMessage,
                                                                 WPARAM& wParam, LPARAM& lParam)
{
    if (!IsLiveWindow(m_hWndHooked))
        return CExtHookSink::DispatchHookedMessage(lResult, hWndHooked, nMessage, wParam, lParam);
    m_nState &= ~STATE_HOOKED_HIDDEN;
    switch (nMessage)
    {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
        if (m_pBar == nullptr && ::IsWindowVisible(m_hWndHooked))
            return DispatchAndRepaint(lResult, hWndHooked, nMessage, wParam, lParam);
        return CExtHookSink::DispatchHookedMessage(lResult, hWndHooked, nMessage, wParam, lParam);
    case WM_SHOWWINDOW:
        if (wParam == 0)
            m_nState |= STATE_HOOKED_HIDDEN;
        return DispatchAndRepaint(lResult, hWndHooked, nMessage, wParam, lParam);
    default:
        if (nMessage == g_nMsgCustomFloatPos && reinterpret_cast<HWND>(wParam) == m_hWndHooked)
        {
            if (lParam != 0)
                m_rcCustomFloatPos = *reinterpret_cast<const RECT*>(lParam);
            return DispatchAndRepaint(lResult, hWndHooked, nMessage, wParam, lParam);
        }
        return CExtHookSink::DispatchHookedMessage(lResult, hWndHooked, nMessage, wParam, lParam);
    }
}
