#include "uitoolkit/docking/ExtControlBar.h"

#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

IMPLEMENT_DYNAMIC(CExtControlBar, CControlBar)
IMPLEMENT_DYNCREATE(CExtDockBar, CDockBar)
IMPLEMENT_DYNCREATE(CExtDockOuterBar, CExtDockBar)
IMPLEMENT_DYNCREATE(CExtMiniDockFrameWnd, CMiniDockFrameWnd)
IMPLEMENT_DYNAMIC(CExtDynAutoHideSlider, CWnd)
IMPLEMENT_DYNAMIC(CExtDynTabWnd, CExtTabWnd)
IMPLEMENT_DYNAMIC(CExtDynAutoHideArea, CExtTabWnd)
IMPLEMENT_DYNAMIC(CExtBarNcAreaButtonMenu, CObject)
IMPLEMENT_DYNAMIC(CExtDynDockMarkerWnd, CWnd)

CExtControlBar* CExtControlBar::g_pDraggedBar = nullptr;
int CExtControlBar::g_nDockingTypeSetting = -1;

namespace
{

// The side of the frame a docked bar sits on, 0 when it is not docked there.
UINT DockSide(const CControlBar* pBar)
{
    if (pBar->m_pDockBar == nullptr || pBar->m_pDockBar->m_bFloating)
        return 0;
    return static_cast<UINT>(pBar->m_pDockBar->GetDlgCtrlID());
}

} // namespace

// ---- CExtControlBar ----

bool CExtControlBar::IsDocked() const
{
    if (m_pDockSite == nullptr)
        return true;
    return DockSide(this) != 0;
}

bool CExtControlBar::IsFloating() const
{
    return !IsDocked() && GetParentFrame() != nullptr;
}

bool CExtControlBar::IsDockedHorizontally() const
{
    if (m_pDockSite == nullptr)
        return (m_dwStyle & 0xAA00) != 0;
    const UINT nSide = DockSide(this);
    return nSide == AFX_IDW_DOCKBAR_TOP || nSide == AFX_IDW_DOCKBAR_BOTTOM;
}

bool CExtControlBar::IsDockedVertically() const
{
    if (m_pDockSite == nullptr)
        return (m_dwStyle & 0x5500) != 0;
    const UINT nSide = DockSide(this);
    return nSide == AFX_IDW_DOCKBAR_LEFT || nSide == AFX_IDW_DOCKBAR_RIGHT;
}

bool CExtControlBar::HasGripper(bool* pbHorizontalCaption, bool* pbCaptionShown) const
{
    if ((m_dwStyle & CBRS_GRIPPER) == 0 || IsFloating())
        return false;
    const bool bTop = IsDockedVertically() || (m_nBarOptions & BarOptHorzCaption) != 0;
    if (pbHorizontalCaption != nullptr)
        *pbHorizontalCaption = bTop;
    if (pbCaptionShown != nullptr)
        *pbCaptionShown = bTop;
    return true;
}

bool CExtControlBar::IsFrameHelpMode(CWnd* pWnd)
{
    if (pWnd == nullptr)
        return false;
    CFrameWnd* pFrame =
        pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(pWnd) : pWnd->GetParentFrame();
    for (; pFrame != nullptr; pFrame = pFrame->GetParentFrame())
    {
        if (pFrame->m_bHelpMode)
            return true;
        if (pFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
            break;
    }
    return false;
}

void CExtControlBar::ShowCommandStatusText(CWnd* pWnd, UINT nCommandId)
{
    if (pWnd == nullptr)
        return;
    CFrameWnd* pFrame =
        pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(pWnd) : pWnd->GetParentFrame();
    if (pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
        pFrame = pFrame->GetParentFrame();
    if (pFrame != nullptr)
        pFrame->SetMessageText(nCommandId);
}

int CExtControlBar::GetDockingType()
{
    if (g_nDockingTypeSetting != -1)
        return g_nDockingTypeSetting;
    return g_PaintManager->GetThemeDockingType();
}

void CExtControlBar::FloatAt(int x, int y, DWORD dwFlags)
{
    if (m_pDockSite != nullptr)
        m_pDockSite->FloatControlBar(this, CPoint(x, y), dwFlags);
}

void CExtControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
}

LRESULT CExtControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CControlBar::WindowProc(message, wParam, lParam);
    if (CExtPaintManagerHolder::IsSysNotifyMessage(message))
        g_PaintManager.RelaySysNotify(this, message, wParam, lParam);
    return lResult;
}

// ---- dock bars and floating frames ----

LRESULT CExtDockOuterBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
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
