#include "uitoolkit/bars/ExtToolControlBar.h"

#include "uitoolkit/paint/ExtPaintManager.h"

IMPLEMENT_DYNAMIC(CExtBarButton, CObject)
IMPLEMENT_DYNAMIC(CExtBarColorButton, CExtBarButton)
IMPLEMENT_DYNAMIC(CExtBarContentExpandButton, CExtBarButton)
IMPLEMENT_DYNAMIC(CExtToolControlBar, CExtControlBar)
IMPLEMENT_DYNAMIC(CExtMenuControlBar, CExtToolControlBar)
IMPLEMENT_DYNAMIC(CExtPanelControlBar, CExtToolControlBar)

bool CExtToolControlBar::g_bMenuTracking = false;
const UINT CExtToolControlBar::g_nMsgContinueTrackMenu =
    ::RegisterWindowMessageA("CExtToolControlBar::g_nMsgContinueTrackMenu");

CExtToolControlBar::CExtToolControlBar()
{
    m_bFixedMode = true;
    m_bCaptionAlwaysAtTop = false;
    m_bChildFillsClient = false;
    m_nCaptionHeight = 10;
}

CExtToolControlBar::~CExtToolControlBar()
{
    for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i)
        delete m_arrButtons[i];
}

void CExtToolControlBar::CancelTrackingInAllBars()
{
    g_bMenuTracking = false;
}

void CExtToolControlBar::PaintTrackedButton(LPVOID pCookie, CDC& dcMenu, CWnd* pMenuWnd, const RECT& rcArea)
{
    auto* pBar = static_cast<CExtToolControlBar*>(pCookie);
    if (pBar == nullptr || pMenuWnd == nullptr || ::IsRectEmpty(&rcArea))
        return;
    CExtBarButton* pButton = pBar->GetButton(pBar->m_nBtnIdxMenuTracking);
    if (pButton == nullptr)
        return;
    CPoint ptBar(0, 0), ptMenu(0, 0);
    pBar->ClientToScreen(&ptBar);
    pMenuWnd->ClientToScreen(&ptMenu);
    const CPoint ptOld = dcMenu.OffsetViewportOrg(ptBar.x - ptMenu.x, ptBar.y - ptMenu.y);
    g_PaintManager->PaintTrackedButtonBackground(dcMenu, pButton, 0);
    dcMenu.SetViewportOrg(ptOld);
}

bool CExtToolControlBar::BarRowsInfo::Collect(HWND hWnd)
{
    m_pBar = nullptr;
    m_bFloating = false;
    m_arrRowRects.RemoveAll();
    m_arrLastButtons.RemoveAll();
    m_hWndTarget = hWnd;
    for (HWND h = hWnd; h != nullptr; h = ::GetParent(h))
    {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CExtToolControlBar)))
        {
            m_pBar = static_cast<CExtToolControlBar*>(pWnd);
            break;
        }
    }
    if (m_pBar == nullptr)
        return false;
    m_bFloating = m_pBar->IsFloating();
    // Buttons whose top edge moves start a new row.
    CRect rcRow;
    for (int i = 0; i < m_pBar->GetButtonsCount(); ++i)
    {
        const CRect rc = m_pBar->GetButton(i)->Rect();
        if (!rcRow.IsRectEmpty() && rc.top >= rcRow.bottom)
        {
            m_arrRowRects.Add(rcRow);
            m_arrLastButtons.Add(i - 1);
            rcRow.SetRectEmpty();
        }
        rcRow.UnionRect(&rcRow, &rc);
    }
    if (!rcRow.IsRectEmpty())
    {
        m_arrRowRects.Add(rcRow);
        m_arrLastButtons.Add(m_pBar->GetButtonsCount() - 1);
    }
    return true;
}

void CExtToolControlBar::BarRowsInfo::MapToClient()
{
    for (INT_PTR i = 0; i < m_arrRowRects.GetSize(); ++i)
        ::MapWindowPoints(m_pBar->GetSafeHwnd(), m_hWndTarget, reinterpret_cast<LPPOINT>(&m_arrRowRects[i]), 2);
}

void CExtToolControlBar::BarRowsInfo::MapToWindow()
{
    CRect rcWindow, rcClient;
    ::GetWindowRect(m_hWndTarget, &rcWindow);
    ::GetClientRect(m_hWndTarget, &rcClient);
    ::ClientToScreen(m_hWndTarget, reinterpret_cast<LPPOINT>(&rcClient));
    MapToClient();
    for (INT_PTR i = 0; i < m_arrRowRects.GetSize(); ++i)
        m_arrRowRects[i].OffsetRect(rcClient.left - rcWindow.left, rcClient.top - rcWindow.top);
}

void CExtToolControlBar::BarRowsInfo::Paint(CDC* pDC)
{
    if (m_pBar == nullptr)
        return;
    for (INT_PTR i = 0; i < m_arrRowRects.GetSize(); ++i)
        if (pDC->RectVisible(&m_arrRowRects[i]))
            g_PaintManager->PaintToolBarRowBackground(*pDC, m_pBar, m_arrLastButtons[i], m_arrRowRects[i]);
}
