#include "uitoolkit/docking/ExtControlBar.h"

IMPLEMENT_DYNCREATE(CExtControlBar, CControlBar)
IMPLEMENT_DYNAMIC(CExtBarNcAreaButton, CObject)
IMPLEMENT_DYNCREATE(CExtDockBar, CDockBar)
IMPLEMENT_DYNCREATE(CExtDockOuterBar, CExtDockBar)
IMPLEMENT_DYNCREATE(CExtMiniDockFrameWnd, CMiniDockFrameWnd)
IMPLEMENT_DYNAMIC(CExtDynAutoHideSlider, CWnd)
IMPLEMENT_DYNAMIC(CExtDynTabWnd, CExtTabWnd)
IMPLEMENT_DYNAMIC(CExtDynAutoHideArea, CExtTabWnd)
IMPLEMENT_DYNAMIC(CExtBarNcAreaButtonMenu, CExtBarNcAreaButton)
IMPLEMENT_DYNAMIC(CExtDynDockMarkerWnd, CWnd)

// ---- dock bars and floating frames ----

LRESULT CExtDockOuterBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDBLCLK && CExtControlBar::IsFrameHelpMode(this))
        return 0;
    const LRESULT lResult = CExtDockBar::WindowProc(message, wParam, lParam);
    if (CExtPaintManagerHolder::IsSysNotifyMessage(message))
        g_PaintManager.RelaySysNotify(this, message, wParam, lParam);
    return lResult;
}

CExtControlBar* CExtMiniDockFrameWnd::GetFloatingExtBar() const
{
    CControlBar* pBar = GetSingleBar();
    return pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ? static_cast<CExtControlBar*>(pBar)
                                                                            : nullptr;
}

// ---- docking markers ----

BEGIN_MESSAGE_MAP(CExtDynDockMarkerWnd, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

CExtDynDockMarkerWnd::CExtDynDockMarkerWnd(LPARAM lOwnerParam, int nKind, HBITMAP hBmpNormal, HBITMAP hBmpHover,
                                           HRGN hRgn, int nLeft, int nTop, int nRight, int nBottom, HBITMAP hBmpFrame,
                                           int nImageOffsetX, int nImageOffsetY, bool bOuter)
    : m_nKind(nKind), m_bOuter(bOuter), m_lOwnerParam(lOwnerParam), m_hBmpNormal(hBmpNormal), m_hBmpHover(hBmpHover),
      m_hBmpFrame(hBmpFrame), m_hRgn(hRgn), m_nImageOffsetX(nImageOffsetX), m_nImageOffsetY(nImageOffsetY)
{
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, AfxRegisterWndClass(0), "", WS_POPUP,
                  CRect(nLeft, nTop, nRight, nBottom), nullptr, 0))
        return;
    if (m_hRgn != nullptr && ::SetWindowRgn(m_hWnd, m_hRgn, FALSE))
        m_hRgn = nullptr; // the window owns the region now
}

CExtDynDockMarkerWnd::~CExtDynDockMarkerWnd()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
    for (HGDIOBJ h : {static_cast<HGDIOBJ>(m_hBmpNormal), static_cast<HGDIOBJ>(m_hBmpHover),
                      static_cast<HGDIOBJ>(m_hBmpFrame), static_cast<HGDIOBJ>(m_hRgn)})
        if (h != nullptr)
            ::DeleteObject(h);
}

void CExtDynDockMarkerWnd::DestroyMarkers(CExtDockMarkerWndArray& arrWnds, bool bDelayed)
{
    for (INT_PTR i = 0; i < arrWnds.GetSize(); ++i)
    {
        CExtDynDockMarkerWnd* pWnd = arrWnds[i];
        if (bDelayed && pWnd->m_hWnd != nullptr)
        {
            // The window deletes itself once its destruction has run.
            pWnd->m_bAutoDelete = true;
            pWnd->PostMessage(WM_CLOSE);
        }
        else
            delete pWnd;
    }
    arrWnds.RemoveAll();
}

void CExtDynDockMarkerWnd::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

void CExtDynDockMarkerWnd::OnPaint()
{
    CPaintDC dc(this);
    HBITMAP hBitmap = m_hWndHoverPart == m_hWnd && m_hBmpHover != nullptr ? m_hBmpHover : m_hBmpNormal;
    if (hBitmap == nullptr)
        return;
    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    HGDIOBJ hOld = ::SelectObject(memDC.m_hDC, hBitmap);
    CRect rc;
    GetClientRect(&rc);
    dc.BitBlt(0, 0, rc.Width(), rc.Height(), &memDC, m_nImageOffsetX, m_nImageOffsetY, SRCCOPY);
    ::SelectObject(memDC.m_hDC, hOld);
}
