#include "controls/custom/SplitterBar.h"

namespace
{

const int kThickness = 5;

// Loaded once for all bars.
HCURSOR g_hCursorWE = nullptr;
HCURSOR g_hCursorNS = nullptr;

} // namespace

BEGIN_MESSAGE_MAP(CSplitterBar, CStatic)
ON_WM_PAINT()
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

BOOL CSplitterBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    CRect rc(rect);
    if (rc.Width() < rc.Height())
    {
        m_nOrientation = vertical;
        rc.right = rc.left + kThickness;
    }
    else
    {
        m_nOrientation = horizontal;
        rc.bottom = rc.top + kThickness;
    }
    // SS_NOTIFY: a static control is otherwise transparent to the mouse
    if (!CStatic::Create("", dwStyle | SS_NOTIFY, rc, pParentWnd, nID))
        return FALSE;
    if (!g_hCursorWE)
        g_hCursorWE = ::LoadCursor(nullptr, IDC_SIZEWE);
    if (!g_hCursorNS)
        g_hCursorNS = ::LoadCursor(nullptr, IDC_SIZENS);
    SetRangeAround(0, 0);
    return TRUE;
}

int CSplitterBar::SetOrientation(int nOrientation)
{
    int nOld = m_nOrientation;
    m_nOrientation = nOrientation;
    return nOld;
}

void CSplitterBar::SetRange(int nMin, int nMax)
{
    m_nMin = nMin;
    m_nMax = nMax;
}

void CSplitterBar::SetRangeAround(int nBelow, int nAbove, int nCentre)
{
    if (nCentre < 0)
    {
        // The range is compared with the parent's client coordinates, so the
        // bar's centre is taken in them too.
        CPoint centre = GetCentre();
        if (CWnd* pParent = GetParent())
            pParent->ScreenToClient(&centre);
        nCentre = m_nOrientation == vertical ? centre.x : centre.y;
    }
    SetRange(nCentre - nBelow, nCentre + nAbove);
}

CPoint CSplitterBar::GetCentre() const
{
    CRect rc;
    GetWindowRect(&rc);
    // the same rounding as the move on release, also left of the screen
    return CPoint(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
}

void CSplitterBar::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.Draw3dRect(&rc, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
    rc.DeflateRect(1, 1);
    dc.FillSolidRect(&rc, RGB(200, 220, 220));
    dc.Draw3dRect(&rc, RGB(200, 200, 200), RGB(200, 200, 200));
}

BOOL CSplitterBar::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest != HTCLIENT)
        return CStatic::OnSetCursor(pWnd, nHitTest, message);
    ::SetCursor(m_nOrientation == vertical ? g_hCursorWE : g_hCursorNS);
    return TRUE;
}

void CSplitterBar::DrawTrackLine(CDC* pDC, int x, int y)
{
    CRect rcBar;
    GetWindowRect(&rcBar);
    CRect rc = rcBar;
    if (m_nOrientation == vertical)
    {
        rc.left = x - rcBar.Width() / 2;
        rc.right = rc.left + rcBar.Width();
    }
    else
    {
        rc.top = y - rcBar.Height() / 2;
        rc.bottom = rc.top + rcBar.Height();
    }
    // 8 x 8 checkerboard; rows are word aligned
    static const WORD kPattern[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    CBitmap bitmap;
    if (!bitmap.CreateBitmap(8, 8, 1, 1, kPattern))
        return;
    CBrush brush;
    if (!brush.CreatePatternBrush(&bitmap))
        return;
    pDC->SetBrushOrg(rc.left, rc.top);
    CBrush* pOld = pDC->SelectObject(&brush);
    pDC->PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATINVERT);
    pDC->SelectObject(pOld);
}

void CSplitterBar::DrawTrackLineOnScreen()
{
    HDC hScreen = ::GetDC(nullptr);
    CDC* pDC = CDC::FromHandle(hScreen);
    DrawTrackLine(pDC, m_x, m_y);
    ::ReleaseDC(nullptr, hScreen);
}

void CSplitterBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    CStatic::OnLButtonDown(nFlags, point);
    m_bTracking = TRUE;
    SetCapture();
    CPoint centre = GetCentre();
    m_x = centre.x;
    m_y = centre.y;
    m_nStart = m_nOrientation == vertical ? m_x : m_y;
    DrawTrackLineOnScreen();
}

void CSplitterBar::OnMouseMove(UINT nFlags, CPoint point)
{
    CWnd* pParent = GetParent();
    if (m_bTracking && m_nMin < m_nMax && pParent)
    {
        DrawTrackLineOnScreen();
        CPoint pt = point;
        ClientToScreen(&pt);
        pParent->ScreenToClient(&pt);
        LONG& coord = m_nOrientation == vertical ? pt.x : pt.y;
        coord = coord < m_nMin ? m_nMin : (coord > m_nMax ? m_nMax : coord);
        pParent->ClientToScreen(&pt);
        m_x = pt.x;
        m_y = pt.y;
        DrawTrackLineOnScreen();
    }
    CStatic::OnMouseMove(nFlags, point);
}

void CSplitterBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bTracking)
    {
        DrawTrackLineOnScreen();
        m_bTracking = FALSE;
        CWnd* pNotify = GetOwner();
        CWnd* pParent = GetParent();
        if (pNotify && pParent)
        {
            // The bar lives in its parent's coordinates, whoever is told.
            CPoint pt(m_x, m_y);
            pParent->ScreenToClient(&pt);
            CRect rc;
            GetWindowRect(&rc);
            pParent->ScreenToClient(&rc);
            if (m_nOrientation == vertical)
                rc.OffsetRect(pt.x - (rc.left + rc.Width() / 2), 0);
            else
                rc.OffsetRect(0, pt.y - (rc.top + rc.Height() / 2));
            MoveWindow(&rc);

            NMSPLITTER nm = {};
            nm.hdr.hwndFrom = m_hWnd;
            nm.hdr.idFrom = GetDlgCtrlID();
            nm.hdr.code = SPN_MOVED;
            nm.delta = (m_nOrientation == vertical ? m_x : m_y) - m_nStart;
            nm.newPos = m_nOrientation == vertical ? rc.left : rc.top;
            pNotify->SendMessage(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        }
    }
    CStatic::OnLButtonUp(nFlags, point);
    ::ReleaseCapture();
}

void CSplitterBar::OnCaptureChanged(CWnd* pWnd)
{
    // A drag cut short (another window took the mouse) leaves nothing on
    // the screen and moves nothing.
    if (m_bTracking)
    {
        DrawTrackLineOnScreen();
        m_bTracking = FALSE;
    }
    CStatic::OnCaptureChanged(pWnd);
}
