#include "framework/win/View.h"

#include "framework/win/Dc.h"
#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"
#include "framework/win/FrameWnd.h"

#include <cstdlib>

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_MOUSEACTIVATE()
ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMsg)
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    cs.style |= WS_CLIPSIBLINGS;
    return CWnd::PreCreateWindow(cs);
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (pContext && pContext->m_pCurrentDoc)
        pContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame && pFrame->GetActiveView() == this)
        pFrame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::PostNcDestroy()
{
    // Views are made on the heap by their frame and die with their window;
    // leaving the document may close it.
    delete this;
}

void CView::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    CDC dc;
    dc.Attach(hDC);
    OnPrepareDC(&dc);
    OnDraw(&dc);
    dc.Detach();
    ::EndPaint(m_hWnd, &ps);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    int nResult = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT)
        return nResult;
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame)
    {
        // A click in an inactive view makes it the active one.
        if (pFrame->GetActiveView() != this)
            pFrame->SetActiveView(this);
    }
    return nResult;
}

LRESULT CView::OnInitialUpdateMsg(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView* pSender, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    if (bActivate && pActivateView == this)
    {
        CFrameWnd* pFrame = GetParentFrame();
        // Take the focus unless a child of the view already has it.
        if (pFrame && ::GetFocus() != m_hWnd && !::IsChild(m_hWnd, ::GetFocus()))
            ::SetFocus(m_hWnd);
    }
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The view first, then its document.
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---- CScrollView -----------------------------------------------------------

BEGIN_MESSAGE_MAP(CScrollView, CView)
ON_WM_SIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
END_MESSAGE_MAP()

namespace
{
CSize LogicalToDevice(int nMapMode, SIZE size)
{
    if (nMapMode == MM_TEXT)
        return CSize(size.cx, size.cy);
    HDC hDC = ::CreateCompatibleDC(nullptr);
    ::SetMapMode(hDC, nMapMode);
    POINT pt = {size.cx, size.cy};
    ::LPtoDP(hDC, &pt, 1);
    POINT origin = {0, 0};
    ::LPtoDP(hDC, &origin, 1);
    ::DeleteDC(hDC);
    return CSize(std::abs(pt.x - origin.x), std::abs(pt.y - origin.y));
}
} // namespace

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    m_nMapMode = nMapMode;
    m_totalLog = CSize(sizeTotal.cx, sizeTotal.cy);
    m_totalDev = LogicalToDevice(nMapMode, sizeTotal);
    m_pageDev = LogicalToDevice(nMapMode, sizePage);
    m_lineDev = LogicalToDevice(nMapMode, sizeLine);
    // Defaults: a tenth of the total per page, a tenth of a page per line.
    if (m_pageDev.cx == 0)
        m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0)
        m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0)
        m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0)
        m_lineDev.cy = m_pageDev.cy / 10;
    if (m_hWnd)
        UpdateBars();
}

CPoint CScrollView::GetScrollPosition() const
{
    return CPoint(::GetScrollPos(m_hWnd, SB_HORZ), ::GetScrollPos(m_hWnd, SB_VERT));
}

void CScrollView::ScrollToPosition(POINT pt)
{
    CPoint old = GetScrollPosition();
    ::SetScrollPos(m_hWnd, SB_HORZ, pt.x, TRUE);
    ::SetScrollPos(m_hWnd, SB_VERT, pt.y, TRUE);
    CPoint now = GetScrollPosition();
    ::ScrollWindow(m_hWnd, old.x - now.x, old.y - now.y, nullptr, nullptr);
}

void CScrollView::OnPrepareDC(CDC* pDC)
{
    ::SetMapMode(pDC->GetSafeHdc(), m_nMapMode);
    CPoint pos = GetScrollPosition();
    ::SetViewportOrgEx(pDC->GetSafeHdc(), -pos.x, -pos.y, nullptr);
}

void CScrollView::UpdateBars()
{
    // A bar appearing or going narrows the client area, which changes the
    // other bar's page: a second pass settles both.
    for (int pass = 0; pass < 2; ++pass)
    {
        CRect client;
        GetClientRect(&client);
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_PAGE | SIF_RANGE;
        si.nMax = m_totalDev.cx > 0 ? m_totalDev.cx - 1 : 0;
        si.nPage = static_cast<UINT>(client.Width());
        ::SetScrollInfo(m_hWnd, SB_HORZ, &si, TRUE);
        GetClientRect(&client);
        si.nMax = m_totalDev.cy > 0 ? m_totalDev.cy - 1 : 0;
        si.nPage = static_cast<UINT>(client.Height());
        ::SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    }
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    UpdateBars();
}

void CScrollView::OnScroll(int nBar, UINT nSBCode)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, nBar, &si);
    int nLine = nBar == SB_HORZ ? m_lineDev.cx : m_lineDev.cy;
    int nPos = si.nPos;
    switch (nSBCode)
    {
    case SB_LINEUP: nPos -= nLine; break;
    case SB_LINEDOWN: nPos += nLine; break;
    case SB_PAGEUP: nPos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: nPos += static_cast<int>(si.nPage); break;
    case SB_TOP: nPos = si.nMin; break;
    case SB_BOTTOM: nPos = si.nMax; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: nPos = si.nTrackPos; break;
    default: return;
    }
    int nMaxPos = si.nMax - static_cast<int>(si.nPage) + 1;
    if (nPos > nMaxPos)
        nPos = nMaxPos;
    if (nPos < si.nMin)
        nPos = si.nMin;
    CPoint pt = GetScrollPosition();
    if (nBar == SB_HORZ)
        pt.x = nPos;
    else
        pt.y = nPos;
    ScrollToPosition(pt);
}

void CScrollView::OnHScroll(UINT nSBCode, UINT, CScrollBar*)
{
    OnScroll(SB_HORZ, nSBCode);
}

void CScrollView::OnVScroll(UINT nSBCode, UINT, CScrollBar*)
{
    OnScroll(SB_VERT, nSBCode);
}
