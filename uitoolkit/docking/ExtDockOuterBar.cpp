// The outer dock bars' rows: tool bars keep the places and lengths their
// users gave them, give way together when a row gets short and wrap last.
#include "framework/win/DockContext.h"
#include "framework/win/FrameWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"

CExtDockOuterBar::OuterLayoutItemData CExtDockOuterBar::MakeItem(CControlBar* pBar, const CSize& sizeExtent)
{
    OuterLayoutItemData item;
    item.m_pBar = pBar;
    item.m_bVisible = pBar->IsVisible() != FALSE;
    if (!item.m_bVisible)
        return item;
    const DWORD dwMode = LayoutModeFor(pBar->m_dwStyle);
    item.m_sizeCalc = pBar->CalcDynamicLayout(-1, dwMode);
    CRect rcWindow, rcClient;
    pBar->GetWindowRect(&rcWindow);
    pBar->GetClientRect(&rcClient);
    item.m_sizeMin = CSize(rcWindow.Width() - rcClient.Width(), rcWindow.Height() - rcClient.Height());
    if (pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
    {
        auto* pExtBar = static_cast<CExtControlBar*>(pBar);
        item.m_bExtBar = true;
        item.m_bFixedMode = pExtBar->IsFixedMode();
        item.m_bSyncsThickness = pExtBar->SyncsRowThickness();
        item.m_pPos = pExtBar->GetOuterPosition();
        item.m_sizeMin += pExtBar->GetMinimalSize();
        if (pExtBar->OccupiesWholeRow())
        {
            if ((dwMode & LM_HORZDOCK) != 0)
                item.m_sizeCalc.cx = sizeExtent.cx;
            else if ((dwMode & LM_VERTDOCK) != 0)
                item.m_sizeCalc.cy = sizeExtent.cy;
        }
    }
    return item;
}

CSize CExtDockOuterBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CControlBar::CalcFixedLayout(bStretch, bHorz);
    const CSize sizeExtent = LayoutExtent();
    AFX_SIZEPARENTPARAMS layout = {};
    if (!m_bLayoutQuery)
        layout.hDWP = ::BeginDeferWindowPos(static_cast<int>(m_arrBars.GetSize()));
    CPoint pos(0, 0);
    kxdock::OuterRowItems items;
    for (INT_PTR i = 0; i < m_arrBars.GetSize(); ++i)
    {
        void* pEntry = m_arrBars[i];
        if (kxdock::IsBarEntry(pEntry))
            items.Add(MakeItem(static_cast<CControlBar*>(pEntry), sizeExtent));
        if ((pEntry == nullptr || i == m_arrBars.GetSize() - 1) && items.GetSize() > 0)
        {
            int nRows = 0;
            bool bCompressed = false;
            LayoutOuterRow(&size, &sizeExtent, &pos, bHorz != FALSE, &layout, items, &nRows, &bCompressed);
            items.RemoveAll();
        }
    }
    return EndLayout(size, bStretch, bHorz, layout);
}

void CExtDockOuterBar::LayoutOuterRow(CSize* pSizeFixed, const CSize* pSizeMax, CPoint* pPos, bool bHorz,
                                      AFX_SIZEPARENTPARAMS* pLayout, kxdock::OuterRowItems& items, int* pRowCount,
                                      bool* pCompressed)
{
    kxdock::OuterRowItems visible;
    CArray<INT_PTR, INT_PTR> arrVisibleAt;
    for (INT_PTR i = 0; i < items.GetSize(); ++i)
    {
        auto* pBar = static_cast<CControlBar*>(items[i].m_pBar);
        if (!items[i].m_bVisible)
        {
            pBar->RecalcDelayShow(pLayout);
            continue;
        }
        OuterLayoutItemData item = items[i];
        pBar->GetWindowRect(&item.m_rcCurrent);
        ScreenToClient(&item.m_rcCurrent);
        visible.Add(item);
        arrVisibleAt.Add(i);
    }
    const int nExtent = bHorz ? pSizeMax->cx : pSizeMax->cy;
    kxdock::LayoutOuterRowItems(pSizeFixed, pPos, nExtent, bHorz, m_bFloating != FALSE, visible, pRowCount,
                                pCompressed);
    // A trial layout of a moved bar reads the places back.
    for (INT_PTR i = 0; i < visible.GetSize(); ++i)
        items[arrVisibleAt[i]] = visible[i];
    if (m_bLayoutQuery)
        return;
    for (INT_PTR i = 0; i < visible.GetSize(); ++i)
    {
        const OuterLayoutItemData& item = visible[i];
        if (item.m_rcCalc == item.m_rcCurrent)
            continue;
        auto* pBar = static_cast<CControlBar*>(item.m_pBar);
        if ((pBar->m_dwStyle & CBRS_FLOATING) == 0 && pBar->m_pDockContext != nullptr)
            pBar->m_pDockContext->m_rectMRUDockPos = item.m_rcCalc;
        AfxRepositionWindow(pLayout, pBar->m_hWnd, &item.m_rcCalc);
    }
}
