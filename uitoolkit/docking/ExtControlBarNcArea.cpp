// A docked pane's own frame: the caption, the splitter strips between it and
// its neighbours, their hit codes and their painting through the theme.
#include "framework/win/MiniFrameWnd.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/docking/ExtDynTabControlBar.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <utility>

namespace
{

// The window and client rectangles relative to the window's top-left corner.
void GetRectsAtWindowOrigin(const CWnd* pWnd, CRect& rcWindow, CRect& rcClient)
{
    pWnd->GetWindowRect(&rcWindow);
    pWnd->GetClientRect(&rcClient);
    pWnd->ClientToScreen(&rcClient);
    rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
    rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
}

// A resizable toolkit bar.
bool IsResizablePane(CControlBar* pBar)
{
    return pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) && !static_cast<CExtControlBar*>(pBar)->IsFixedMode();
}

// Whether any visible bar sits in the dock bar's entries [nFrom, nTo).
bool AnyVisibleBar(const CPtrArray& arr, int nFrom, int nTo)
{
    for (int i = std::max(nFrom, 1); i < nTo && i < arr.GetSize(); ++i)
        if (kxdock::IsBarEntry(arr[i]) && static_cast<CControlBar*>(arr[i])->IsVisible())
            return true;
    return false;
}

} // namespace

bool CExtControlBar::HasGripper(bool* pbCaptionAtTop, bool* pbCaptionShown) const
{
    if (pbCaptionAtTop != nullptr)
        *pbCaptionAtTop = false;
    if (pbCaptionShown != nullptr)
        *pbCaptionShown = false;
    // A pane alone in its floating frame shows the frame's caption instead.
    if (m_hWnd == nullptr || (m_dwStyle & CBRS_GRIPPER) == 0 || IsFloating() || IsSingleInFloatingFrame())
        return false;
    // A page shows its text on its tab and in the container's caption.
    if (GetTabbedContainer() != nullptr && GetTabbedContainer() != this && !m_bAutoHidden)
        return false;
    if (pbCaptionAtTop != nullptr)
        *pbCaptionAtTop = m_bCaptionAlwaysAtTop || IsDockedVertically();
    if (pbCaptionShown != nullptr)
        *pbCaptionShown = true;
    return true;
}

bool CExtControlBar::IsSingleInFloatingFrame() const
{
    if (m_pDockSite == nullptr || !IsVisible() || m_bFixedMode)
        return false;
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame == nullptr || !pFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
        return false;
    // A tabbed container counts as one pane; its pages and plain containers
    // are not panes of the frame.
    for (POSITION pos = m_pDockSite->m_listControlBars.GetHeadPosition(); pos != nullptr;)
    {
        auto* pOther = static_cast<CControlBar*>(m_pDockSite->m_listControlBars.GetNext(pos));
        if (pOther == this || !pOther->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
            continue;
        auto* pPane = static_cast<CExtControlBar*>(pOther);
        CDockBar* pDockBar = pPane->m_pDockBar;
        if (pPane->m_bFixedMode || pPane->m_pDockSite == nullptr || pDockBar == nullptr ||
            (pPane->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)) &&
             !pPane->IsKindOf(RUNTIME_CLASS(CExtDynTabControlBar))) ||
            pPane->GetParentFrame() != pFrame || !::IsWindow(pDockBar->GetSafeHwnd()) ||
            !pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) || pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockDynTabBar)) ||
            !pPane->IsVisible())
            continue;
        return false;
    }
    return true;
}

void CExtControlBar::GetNcBorderFlags(bool* pbLeft, bool* pbTop, bool* pbRight, bool* pbBottom) const
{
    *pbLeft = *pbTop = *pbRight = *pbBottom = true;
    if (m_bFixedMode || m_pDockSite == nullptr || m_pDockBar == nullptr ||
        !m_pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)))
        return;
    if (GetTabbedContainer() != nullptr && GetTabbedContainer() != this)
    {
        *pbLeft = *pbTop = *pbRight = *pbBottom = false;
        return;
    }
    auto* pDockBar = static_cast<CExtDockBar*>(m_pDockBar);
    const CPtrArray& arr = pDockBar->m_arrBars;
    const int nSelf = kxdock::FindEntry(arr, this);
    if (arr.GetSize() <= 1 || nSelf <= 0)
        return;
    int nFirst = 0, nEnd = 0;
    kxdock::RowBounds(arr, nSelf, &nFirst, &nEnd);
    const bool bFirst = !AnyVisibleBar(arr, nFirst, nSelf);
    const bool bLast = !AnyVisibleBar(arr, nSelf + 1, nEnd);
    const bool bPreviousRow = AnyVisibleBar(arr, 1, nFirst);
    const bool bNextRow = AnyVisibleBar(arr, nEnd + 1, static_cast<int>(arr.GetSize()));
    if (pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockDynBar)))
    {
        // Inside a container only the neighbours count: the container's own
        // strips separate it from the rest of the frame.
        bool* pbRowStart = pbTop;
        bool* pbRowEnd = pbBottom;
        bool* pbFirst = pbLeft;
        bool* pbLast = pbRight;
        if (!static_cast<CExtDockDynBar*>(pDockBar)->IsHorzRows())
        {
            std::swap(pbRowStart, pbFirst);
            std::swap(pbRowEnd, pbLast);
        }
        *pbRowStart = bPreviousRow;
        *pbRowEnd = bNextRow;
        *pbFirst = !bFirst;
        *pbLast = !bLast;
        return;
    }
    // The outermost circle keeps its strips against the frame's edge.
    if (pDockBar->GetCircleNo() < 1)
        return;
    switch (pDockBar->GetDlgCtrlID())
    {
    case AFX_IDW_DOCKBAR_TOP:
        *pbTop = bPreviousRow;
        *pbLeft = !bFirst;
        *pbRight = !bLast;
        break;
    case AFX_IDW_DOCKBAR_BOTTOM:
        *pbBottom = bNextRow;
        *pbLeft = !bFirst;
        *pbRight = !bLast;
        break;
    case AFX_IDW_DOCKBAR_LEFT:
        *pbLeft = bPreviousRow;
        *pbTop = !bFirst;
        *pbBottom = !bLast;
        break;
    case AFX_IDW_DOCKBAR_RIGHT:
        *pbRight = bNextRow;
        *pbTop = !bFirst;
        *pbBottom = !bLast;
        break;
    default: break;
    }
}

bool CExtControlBar::IsSeparatedInRow() const
{
    CArray<CControlBar*, CControlBar*> arrRow;
    int nIndex = -1;
    CollectRowBars(arrRow, nullptr, &nIndex);
    if (nIndex <= 0)
        return false;
    if (IsResizablePane(arrRow[nIndex - 1]))
        return false;
    for (int i = 0; i < nIndex - 1; ++i)
        if (IsResizablePane(arrRow[i]))
            return true;
    return false;
}

void CExtControlBar::OnNcCalcSize(RECT& rcProposed)
{
    bool bLeft = true, bTop = true, bRight = true, bBottom = true;
    GetNcBorderFlags(&bLeft, &bTop, &bRight, &bBottom);
    m_rectCaption.SetRectEmpty();
    m_rectRowSplitter.SetRectEmpty();
    m_rectTrailingSplitter.SetRectEmpty();
    m_rectLeadingSplitter.SetRectEmpty();
    CUSTOM_NC_AREA_QUERY_DATA query;
    query.m_pBar = this;
    if (GetDockingFrame() != nullptr)
        GetDockingFrame()->SendMessage(g_nMsgCustomNcAreaQuery, reinterpret_cast<WPARAM>(&query));

    const int tx = m_nFrameWidth, ty = m_nFrameHeight;
    m_nNcWidth = tx;
    m_nNcHeight = ty;
    bool bCaptionAtTop = false;
    const bool bCaption = HasGripper(&bCaptionAtTop);

    // Everything below is in window coordinates.
    const CPoint ptOrigin(rcProposed.left, rcProposed.top);
    CRect r(rcProposed);
    r.OffsetRect(-ptOrigin);
    const int w = r.Width(), h = r.Height();
    if (!m_bFixedMode)
    {
        const bool bSeparated = IsSeparatedInRow();
        switch (GetDockBarCtrlId())
        {
        case AFX_IDW_DOCKBAR_TOP:
        case AFX_IDW_DOCKBAR_BOTTOM:
            if (bRight)
            {
                m_rectTrailingSplitter.SetRect(r.right - tx, r.top, r.right, r.bottom);
                r.right -= tx;
            }
            if (IsDockedAtTop() && bBottom)
            {
                r.bottom -= ty;
                m_rectRowSplitter.SetRect(0, r.bottom, w, r.bottom + ty);
            }
            else if (IsDockedAtBottom() && bTop)
            {
                m_rectRowSplitter.SetRect(0, r.top, w, r.top + ty);
                r.top += ty;
            }
            if (bSeparated)
            {
                m_rectLeadingSplitter.SetRect(r.left, r.top, r.left + tx, r.bottom);
                r.left += tx;
            }
            break;
        case AFX_IDW_DOCKBAR_LEFT:
        case AFX_IDW_DOCKBAR_RIGHT:
            if (bBottom)
            {
                m_rectTrailingSplitter.SetRect(r.left, r.bottom - ty, r.right, r.bottom);
                r.bottom -= ty;
            }
            if (IsDockedAtLeft() && bRight)
            {
                r.right -= tx;
                m_rectRowSplitter.SetRect(r.right, 0, r.right + tx, h);
            }
            else if (IsDockedAtRight() && bLeft)
            {
                m_rectRowSplitter.SetRect(r.left, 0, r.left + tx, h);
                r.left += tx;
            }
            if (bSeparated)
            {
                m_rectLeadingSplitter.SetRect(r.left, r.top, r.right, r.top + tx);
                r.top += tx;
            }
            break;
        default: break;
        }
    }
    if (bCaption)
    {
        if (bCaptionAtTop)
        {
            m_rectCaption.SetRect(r.left, r.top, r.right, r.top + m_nCaptionHeight);
            m_nNcHeight += m_nCaptionHeight;
        }
        else
        {
            m_rectCaption.SetRect(r.left, r.top, r.left + m_nCaptionHeight, r.bottom);
            m_nNcWidth += m_nCaptionHeight;
        }
        if (m_bFixedMode)
            (bCaptionAtTop ? m_rectCaption.DeflateRect(1, 0) : m_rectCaption.DeflateRect(0, 1));
    }
    if (m_arrNcButtons.GetSize() == 0)
        CreateNcButtons();
    LayoutNcButtons();
    if (bCaption)
        (bCaptionAtTop ? r.top : r.left) += (bCaptionAtTop ? m_nCaptionHeight : m_nCaptionWidth) + 1;
    r.NormalizeRect();
    r.bottom = std::max(r.bottom, r.top);
    r.right = std::max(r.right, r.left);
    r.OffsetRect(ptOrigin);
    rcProposed = r;
}

UINT CExtControlBar::OnNcHitTestAt(CPoint ptScreen) const
{
    if (GetDraggedBar() != nullptr)
        return HTNOWHERE;
    auto* pSelf = const_cast<CExtControlBar*>(this);
    const UINT nButtonHit = pSelf->NcButtonsHitTest(ptScreen);
    if (nButtonHit != HTCLIENT)
    {
        pSelf->m_bNcButtonHover = true;
        return nButtonHit;
    }
    if (m_bNcButtonHover)
    {
        pSelf->m_bNcButtonHover = false;
        pSelf->PostMessage(WM_NCPAINT);
    }
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    ClientToScreen(&rcClient);
    if (m_bFixedMode || IsFloating() || rcWindow == rcClient)
        return HTCLIENT;
    const CPoint pt(ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top);
    const bool bHorz = IsDockedHorizontally();
    if (m_rectRowSplitter.PtInRect(pt))
        return CanResizeRow(pSelf) ? (bHorz ? HTBOTTOM : HTRIGHT) : HTNOWHERE;
    if (m_rectTrailingSplitter.PtInRect(pt))
        return IsLastInRow(true) || !CanResizeInRow(pSelf) ? HTNOWHERE : (bHorz ? HTRIGHT : HTBOTTOM);
    if (m_rectLeadingSplitter.PtInRect(pt))
        return IsFirstInRow(true) || !CanResizeInRow(pSelf) ? HTNOWHERE : (bHorz ? HTLEFT : HTTOP);
    return HTCLIENT;
}

void CExtControlBar::DoPaintNC(CDC* pDC)
{
    CRect rcWindow, rcClient;
    GetRectsAtWindowOrigin(this, rcWindow, rcClient);
    pDC->ExcludeClipRect(&rcClient);
    CExtPaintManager* pPM = g_PaintManager.GetPM();
    if (!pPM->IsInheritedBackgroundUsed(this, 0) || !pPM->PaintInheritedBackground(false, *pDC, this, 0))
        pDC->FillSolidRect(&rcWindow, pPM->GetColor(1000, this, 0));
    const bool bFloating = IsFloating();
    // A tool bar torn off a menu shows no frame while it floats under the cursor.
    const CExtPopupMenuWnd::TEAROFFNOTIFICATON* pTearOff = CExtPopupMenuWnd::TEAROFFNOTIFICATON::g_pActive;
    if (!(bFloating && m_bFixedMode && pTearOff != nullptr && pTearOff->m_pBar == this))
    {
        CExtPaintManager::BarFrameParams frame(this, rcWindow, rcClient, bFloating, !m_bFixedMode, !m_bFixedMode);
        pPM->PaintBarFrame(*pDC, frame);
    }

    bool bCaptionAtTop = false;
    if (!HasGripper(&bCaptionAtTop) || bFloating)
        return;
    CRect rcText = m_rectCaption;
    const bool bSideCaption = IsDockedHorizontally() && !bCaptionAtTop;
    if (bSideCaption)
    {
        rcText.DeflateRect(0, 2);
        rcText.OffsetRect(-2, 0);
    }
    else
        rcText.DeflateRect(2, 0);
    AdjustCaptionTextRect(rcText);
    CString sText;
    GetBarText(0, sText);
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(&m_rectCaption);
    CExtPaintManager::BarCaptionParams caption(this, m_rectCaption, rcText, m_bFocusInside, false, bSideCaption,
                                               !m_bFixedMode, sText.IsEmpty() ? nullptr : static_cast<LPCTSTR>(sText),
                                               g_ResourceManager->IsRTL() != 0);
    pPM->PaintBarCaption(*pDC, caption);
    DrawNcButtons(pDC);
    pDC->RestoreDC(nSaved);
}

void CExtControlBar::LayoutNcButtons()
{
    CExtBarNcAreaButton* pPrev = nullptr;
    CRect rcUnion(0, 0, 0, 0);
    for (INT_PTR i = 0; i < m_arrNcButtons.GetSize(); ++i)
    {
        CExtBarNcAreaButton* pButton = m_arrNcButtons[i];
        if (!pButton->OnQueryVisibility())
            continue;
        pButton->OnNcAreaReposition(pPrev);
        rcUnion = pPrev == nullptr ? pButton->m_rc : (rcUnion | pButton->m_rc);
        pPrev = pButton;
    }
    if (pPrev == nullptr || !g_ResourceManager->IsRTL())
        return;
    // The row of buttons keeps its place and its order reads from the other
    // end, as the caption text does.
    for (INT_PTR i = 0; i < m_arrNcButtons.GetSize(); ++i)
    {
        CExtBarNcAreaButton* pButton = m_arrNcButtons[i];
        if (!pButton->OnQueryVisibility())
            continue;
        const int nWidth = pButton->m_rc.Width();
        pButton->m_rc.left = rcUnion.left + rcUnion.right - pButton->m_rc.right;
        pButton->m_rc.right = pButton->m_rc.left + nWidth;
    }
}

void CExtControlBar::AdjustCaptionTextRect(RECT& rcText)
{
    bool bCaptionAtTop = false;
    if (m_arrNcButtons.GetSize() == 0 || (!HasGripper(&bCaptionAtTop) && !IsFloating()))
        return;
    const CExtBarNcAreaButton* pLast = nullptr;
    for (INT_PTR i = m_arrNcButtons.GetSize() - 1; i >= 0 && pLast == nullptr; --i)
        if (m_arrNcButtons[i]->OnQueryVisibility())
            pLast = m_arrNcButtons[i];
    if (pLast == nullptr)
        return;
    const CRect& rcButton = pLast->m_rc;
    if (IsDockedHorizontally() && !bCaptionAtTop && !IsFloating())
        rcText.top = std::min<LONG>(rcButton.bottom + 1, rcText.bottom);
    else if (!g_ResourceManager->IsRTL())
        rcText.right = std::max<LONG>(rcButton.left - 1, rcText.left);
    else
        rcText.left = std::min<LONG>(rcButton.right + 1, rcText.right);
}

void CExtControlBar::OnNcPaintBar()
{
    CRect rcWindow, rcClient;
    GetRectsAtWindowOrigin(this, rcWindow, rcClient);
    CWindowDC dcWindow(this);
    dcWindow.ExcludeClipRect(&rcClient);
    {
        CExtMemoryDC dc(&dcWindow, &rcWindow, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
        CUSTOM_NC_AREA_QUERY_DATA query;
        query.m_pBar = this;
        query.m_pDC = &dc;
        if (GetDockingFrame() != nullptr)
            GetDockingFrame()->SendMessage(g_nMsgCustomNcAreaQuery, reinterpret_cast<WPARAM>(&query));
        if ((query.m_nFlags & 1) == 0)
            DoPaintNC(&dc);
    }
    g_PaintManager->OnPaintSessionComplete(this, 0);
}

LRESULT CExtControlBar::OnPrintBar(UINT nMsg, HDC hDC, UINT nFlags)
{
    CDC* pDC = CDC::FromHandle(hDC);
    CRect rcWindow, rcClient;
    GetRectsAtWindowOrigin(this, rcWindow, rcClient);
    if ((nFlags & PRF_NONCLIENT) != 0)
    {
        const int nSaved = pDC->SaveDC();
        pDC->ExcludeClipRect(&rcClient);
        DoPaintNC(pDC);
        pDC->RestoreDC(nSaved);
    }
    if ((nFlags & (PRF_CLIENT | PRF_ERASEBKGND)) != 0 && !rcClient.IsRectEmpty())
    {
        CDC dcMem;
        CBitmap bmp;
        if (dcMem.CreateCompatibleDC(pDC) && bmp.CreateCompatibleBitmap(pDC, rcClient.Width(), rcClient.Height()))
        {
            CBitmap* pOld = dcMem.SelectObject(&bmp);
            DoPaintBackground(&dcMem);
            DoPaint(&dcMem);
            pDC->BitBlt(rcClient.left, rcClient.top, rcClient.Width(), rcClient.Height(), &dcMem, 0, 0, SRCCOPY);
            dcMem.SelectObject(pOld);
        }
    }
    if ((nFlags & PRF_CHILDREN) != 0)
        CExtPaintManager::PrintWindowTree(m_hWnd, nMsg, hDC, nFlags, false);
    return 1;
}
