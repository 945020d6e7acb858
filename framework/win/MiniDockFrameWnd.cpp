#include "framework/win/MiniDockFrameWnd.h"

#include "framework/win/DockBar.h"
#include "framework/win/DockContext.h"

IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
ON_WM_CLOSE()
ON_WM_NCLBUTTONDOWN()
ON_WM_NCLBUTTONDBLCLK()
END_MESSAGE_MAP()

CMiniDockFrameWnd::~CMiniDockFrameWnd()
{
    // The window (and with it the dock bar's) is gone by now.
    delete m_pWndDockBar;
}

CDockBar* CMiniDockFrameWnd::CreateFloatingDockBar()
{
    return new CDockBar(TRUE);
}

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle)
{
    auto* pDockSite = dynamic_cast<CFrameWnd*>(pParent);
    m_dwFrameStyle |= FWS_SNAPTOBARS;
    if (!CMiniFrameWnd::CreateEx(0, nullptr, nullptr,
                                 WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_MOVEFRAME | MFS_4THICKFRAME | MFS_SYNCACTIVE |
                                     MFS_BLOCKSYSMENU,
                                 CRect(0, 0, 0, 0), pParent))
        return FALSE;
    m_pWndDockBar = CreateFloatingDockBar();
    m_pWndDockBar->m_bFloating = TRUE;
    if (!m_pWndDockBar->Create(this, WS_CHILD | WS_VISIBLE | (dwBarStyle & CBRS_ALL), AFX_IDW_DOCKBAR_FLOAT))
    {
        DestroyWindow(); // deletes this, and the dock bar with it
        return FALSE;
    }
    // The floating dock bar belongs to the main frame's bars, not to ours.
    RemoveControlBar(m_pWndDockBar);
    m_pWndDockBar->m_pDockSite = pDockSite;
    if (pDockSite)
        pDockSite->AddControlBar(m_pWndDockBar);
    return TRUE;
}

BOOL CMiniDockFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CMiniFrameWnd::PreCreateWindow(cs);
}

void CMiniDockFrameWnd::RecalcLayout(BOOL bNotify)
{
    if (m_bInRecalcLayout)
        return;
    CMiniFrameWnd::RecalcLayout(bNotify);
    if (!m_pWndDockBar || !m_pWndDockBar->m_hWnd)
        return;
    // Shown exactly while one of its bars is.
    BOOL bAny = m_pWndDockBar->GetDockedVisibleCount() != 0;
    if (!bAny && IsWindowVisible())
        ShowWindow(SW_HIDE);
    else if (bAny && !IsWindowVisible())
        ShowWindow(SW_SHOWNA);
}

CControlBar* CMiniDockFrameWnd::GetSingleBar() const
{
    if (!m_pWndDockBar || (m_pWndDockBar->m_dwStyle & CBRS_FLOAT_MULTI))
        return nullptr;
    return m_pWndDockBar->GetDockedControlBar(0);
}

void CMiniDockFrameWnd::OnClose()
{
    // Closing a floating frame hides its bars; they can be shown again.
    if (!m_pWndDockBar)
        return;
    CFrameWnd* pDockSite = m_pWndDockBar->m_pDockSite;
    for (int i = m_pWndDockBar->GetDockedCount() - 1; i >= 0; --i)
    {
        CControlBar* pBar = m_pWndDockBar->GetDockedControlBar(i);
        if (pDockSite)
            pDockSite->ShowControlBar(pBar, FALSE, FALSE);
    }
    RecalcLayout();
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    CControlBar* pBar = GetSingleBar();
    if (pBar && pBar->m_pDockContext)
    {
        if (nHitTest == HTCAPTION)
        {
            pBar->m_pDockContext->StartDrag(point);
            return;
        }
        if (nHitTest == HTLEFT || nHitTest == HTRIGHT || nHitTest == HTTOP || nHitTest == HTBOTTOM)
        {
            pBar->m_pDockContext->StartResize(static_cast<int>(nHitTest), point);
            return;
        }
    }
    Default();
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT nHitTest, CPoint point)
{
    CControlBar* pBar = GetSingleBar();
    if (nHitTest == HTCAPTION && pBar && pBar->m_pDockContext)
    {
        pBar->m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}
