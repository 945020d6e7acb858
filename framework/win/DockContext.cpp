#include "framework/win/DockContext.h"

#include "framework/win/ControlBar.h"
#include "framework/win/DockBar.h"
#include "framework/win/FrameWnd.h"

CDockContext::CDockContext(CControlBar* pBar) : m_pBar(pBar)
{
}

BOOL CDockContext::Track(CPoint ptStart, const std::function<void(CPoint)>& onMove, CPoint& ptEnd)
{
    HWND hWnd = m_pBar->m_hWnd;
    ::SetCapture(hWnd);
    m_bTracking = TRUE;
    BOOL bDone = FALSE;
    ptEnd = ptStart;
    while (m_bTracking && ::GetCapture() == hWnd)
    {
        MSG msg;
        if (!::GetMessageA(&msg, nullptr, 0, 0))
        {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message)
        {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        {
            POINT pt = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            ::ClientToScreen(msg.hwnd, &pt);
            ptEnd = CPoint(pt.x, pt.y);
            if (msg.message == WM_LBUTTONUP)
            {
                bDone = TRUE;
                m_bTracking = FALSE;
            }
            else
            {
                onMove(ptEnd);
            }
            break;
        }
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                m_bTracking = FALSE;
            break;
        case WM_RBUTTONDOWN:
        case WM_CANCELMODE: m_bTracking = FALSE; break;
        default: ::DispatchMessageA(&msg); break;
        }
    }
    m_bTracking = FALSE;
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    return bDone;
}

void CDockContext::StartDrag(CPoint pt)
{
    CFrameWnd* pDockSite = m_pBar->GetDockingFrame();
    if (!pDockSite)
        return;
    // A floating bar is moved with its frame.
    CRect rectStart;
    if (m_pBar->IsFloating() && m_pBar->GetParentFrame())
        m_pBar->GetParentFrame()->GetWindowRect(&rectStart);
    else
        m_pBar->GetWindowRect(&rectStart);
    CPoint ptEnd;
    if (!Track(
            pt, [](CPoint) {}, ptEnd))
        return;
    CPoint ptTopLeft = rectStart.TopLeft() + (ptEnd - pt);

    // The first side the bar may dock to whose dock bar is under the cursor
    // (with a caption's height of slack, so that empty dock bars are found).
    static const struct
    {
        UINT nID;
        DWORD dwAlign;
    } sides[] = {{AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
                 {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
                 {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
                 {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT}};
    int nSlack = ::GetSystemMetrics(SM_CYSMCAPTION);
    for (const auto& side : sides)
    {
        if (!(m_pBar->m_dwDockStyle & side.dwAlign))
            continue;
        auto* pDockBar = dynamic_cast<CDockBar*>(pDockSite->GetControlBar(side.nID));
        if (!pDockBar)
            continue;
        CRect area;
        pDockBar->GetWindowRect(&area);
        area.InflateRect(nSlack, nSlack);
        if (!area.PtInRect(ptEnd))
            continue;
        CSize size = m_pBar->CalcFixedLayout(FALSE, (side.dwAlign & CBRS_ORIENT_HORZ) != 0);
        CRect rect(ptTopLeft, size);
        pDockSite->DockControlBar(m_pBar, pDockBar, &rect);
        return;
    }
    pDockSite->FloatControlBar(m_pBar, ptTopLeft, m_dwMRUFloatStyle ? m_dwMRUFloatStyle : CBRS_ALIGN_TOP);
}

void CDockContext::StartResize(int nHitTest, CPoint pt)
{
    CFrameWnd* pFrame = m_pBar->GetParentFrame();
    if (!m_pBar->IsFloating() || !pFrame)
        return;
    CRect rectStart;
    m_pBar->GetWindowRect(&rectStart);
    BOOL bHorzEdge = nHitTest == HTLEFT || nHitTest == HTRIGHT;
    if (!bHorzEdge && nHitTest != HTTOP && nHitTest != HTBOTTOM)
        return;
    CPoint ptEnd;
    auto resize = [&](CPoint ptNow)
    {
        int nLength;
        DWORD dwMode = LM_COMMIT | LM_HORZ;
        if (bHorzEdge)
        {
            nLength = rectStart.Width() + (nHitTest == HTRIGHT ? ptNow.x - pt.x : pt.x - ptNow.x);
        }
        else
        {
            nLength = rectStart.Height() + (nHitTest == HTBOTTOM ? ptNow.y - pt.y : pt.y - ptNow.y);
            dwMode |= LM_LENGTHY;
        }
        m_pBar->CalcDynamicLayout(nLength > 1 ? nLength : 1, dwMode);
        pFrame->RecalcLayout();
    };
    if (Track(pt, resize, ptEnd))
        resize(ptEnd);
}

void CDockContext::ToggleDocking()
{
    CFrameWnd* pDockSite = m_pBar->GetDockingFrame();
    if (!pDockSite)
        return;
    if (m_pBar->IsFloating())
    {
        auto* pDockBar = m_uMRUDockID ? dynamic_cast<CDockBar*>(pDockSite->GetControlBar(m_uMRUDockID)) : nullptr;
        if (!pDockBar)
        {
            pDockSite->DockControlBar(m_pBar);
            return;
        }
        CRect rect = m_rectMRUDockPos;
        pDockBar->ClientToScreen(&rect);
        pDockSite->DockControlBar(m_pBar, pDockBar, &rect);
        return;
    }
    CPoint pt = m_ptMRUFloatPos;
    DWORD dwStyle = m_dwMRUFloatStyle;
    if (dwStyle == 0)
    {
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        pt = rect.TopLeft();
        dwStyle = CBRS_ALIGN_TOP;
    }
    pDockSite->FloatControlBar(m_pBar, pt, dwStyle);
}
