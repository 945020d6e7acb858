#include "controls/treelist/window/TreeListHeaderCtrl.h"

#include "controls/treelist/window/MemDC.h"
#include "controls/treelist/window/TreeListCtrl.h"
#include "controls/treelist/window/TreeListRes.h"

#include <algorithm>
#include <cstdlib>

namespace
{

const char kHeaderClass[] = "VUDE.TLHC";
const COLORREF kMagenta = RGB(255, 0, 255);

UINT HeaderTextFormat(DWORD dwFormat)
{
    UINT nFormat = DT_SINGLELINE | DT_NOPREFIX;
    if (dwFormat & TLF_HDR_LEFT)
        nFormat |= DT_LEFT;
    else if (dwFormat & TLF_HDR_RIGHT)
        nFormat |= DT_RIGHT;
    else
        nFormat |= DT_CENTER;
    if (dwFormat & TLF_HDR_TOP)
        nFormat |= DT_TOP;
    else if (dwFormat & TLF_HDR_BOTTOM)
        nFormat |= DT_BOTTOM;
    else
        nFormat |= DT_VCENTER;
    if (dwFormat & TLF_HDR_ELLIPSIS)
        nFormat |= DT_WORD_ELLIPSIS;
    return nFormat;
}

} // namespace

BEGIN_MESSAGE_MAP(CTreeListHeaderCtrl, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONDBLCLK()
ON_WM_CANCELMODE()
ON_MESSAGE(TLHM_LAYOUT, OnLayout)
END_MESSAGE_MAP()

CTreeListHeaderCtrl::CTreeListHeaderCtrl()
{
    WNDCLASSA wc = {};
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    if (!::GetClassInfoA(hInst, kHeaderClass, &wc))
    {
        wc = {};
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kHeaderClass;
        if (!AfxRegisterClass(&wc))
            AfxThrowResourceException();
    }
    m_hDivider = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_TREELIST_DIVIDER));
    m_hDividerHidden = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_TREELIST_DIVIDER_HIDDEN));
    m_hArrow = ::LoadCursor(nullptr, IDC_ARROW);
    m_crFace = ::GetSysColor(COLOR_BTNFACE);
    m_crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_crText = ::GetSysColor(COLOR_BTNTEXT);
}

CTreeListHeaderCtrl::~CTreeListHeaderCtrl()
{
    delete m_pColumnImage;
    delete m_pMarker;
    if (m_hWnd)
        DestroyWindow();
}

BOOL CTreeListHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CTreeListCtrl* pOwner, UINT nID)
{
    m_pOwner = pOwner;
    if (!CreateEx(0, kHeaderClass, nullptr, dwStyle | WS_CHILD | WS_VISIBLE | 0x20, rect, pOwner, nID))
        return FALSE;
    if (!m_imgSort.Create(IDB_TREELIST_SORTMARKS, 8, 4, kMagenta) ||
        !m_imgColumns.Create(IDB_TREELIST_COLUMNIMAGES, 16, 0, kMagenta))
        return FALSE;
    m_pColumnImages = &m_imgColumns;
    return TRUE;
}

void CTreeListHeaderCtrl::SetFont(CFont* pFont)
{
    HFONT hFont =
        pFont ? static_cast<HFONT>(pFont->GetSafeHandle()) : reinterpret_cast<HFONT>(m_pOwner->SendMessage(WM_GETFONT));
    if (!hFont)
        hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf;
    ::GetObjectA(hFont, sizeof(lf), &lf);
    lf.lfWeight += 200;
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
}

int CTreeListHeaderCtrl::SetHeight(int nHeight)
{
    int nOld = m_nHeight;
    if (nHeight == -1)
    {
        LOGFONTA lf = {};
        m_font.GetLogFont(&lf);
        int h = lf.lfHeight;
        nHeight = h < 0 ? 6 - h : (h == 0 ? 20 : h + 6);
    }
    m_nHeight = nHeight;
    return nOld;
}

int CTreeListHeaderCtrl::GetHeight() const
{
    return (m_dwStyle & TLHS_VISIBLE) ? m_nHeight : 0;
}

DWORD CTreeListHeaderCtrl::SetStyle(DWORD dwStyle)
{
    DWORD dwOld = m_dwStyle;
    m_dwStyle = dwStyle;
    return dwOld;
}

LRESULT CTreeListHeaderCtrl::OnLayout(WPARAM, LPARAM lParam)
{
    RECT* pRect = reinterpret_cast<RECT*>(lParam);
    if (pRect->bottom - pRect->top >= GetHeight())
        pRect->bottom = pRect->top + GetHeight();
    MoveWindow(pRect);
    return 1;
}

// ---- painting --------------------------------------------------------------

BOOL CTreeListHeaderCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CTreeListHeaderCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect rcClip;
    if (dc.GetClipBox(&rcClip) == NULLREGION || rcClip.IsRectEmpty())
        return;
    if (m_bOffscreen)
    {
        CMemDC memDC(&dc);
        DrawColumns(&memDC);
    }
    else
    {
        DrawColumns(&dc);
    }
}

void CTreeListHeaderCtrl::DrawColumnContent(CDC* pDC, int nColumn, CRect rcContent)
{
    CTreeListColumn* pColumn = m_pOwner->GetColumn(nColumn);
    const std::vector<int>& sorts = m_pOwner->GetSortOrder();
    CFont* pOldFont = pDC->SelectObject(&m_font);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(m_crText);
    DWORD dwFormat = pColumn->m_dwFormat;
    if ((dwFormat & TLF_SORTABLE) && !sorts.empty())
    {
        auto it = std::find(sorts.begin(), sorts.end(), nColumn);
        int nMark = 0;
        if (it != sorts.end())
        {
            bool bAscending = (dwFormat & TLF_SORT_ASC) != 0;
            nMark = it == sorts.begin() ? (bAscending ? 1 : 2) : (bAscending ? 3 : 4);
        }
        m_imgSort.Draw(pDC, nMark, CPoint(rcContent.right - 8, (rcContent.top + rcContent.bottom - 8) / 2),
                       ILD_TRANSPARENT);
        rcContent.right -= 8;
    }
    bool bText = (dwFormat & TLF_SHOWTEXT) != 0;
    if ((dwFormat & TLF_SHOWIMAGE) && pColumn->m_nImage >= 0)
    {
        int y = (rcContent.top + rcContent.bottom - 16) / 2;
        if (dwFormat & TLF_IMAGE_CENTER)
        {
            m_pColumnImages->Draw(pDC, pColumn->m_nImage, CPoint((rcContent.left + rcContent.right - 16) / 2, y),
                                  ILD_TRANSPARENT);
            bText = false;
        }
        else if (dwFormat & TLF_IMAGE_RIGHT)
        {
            m_pColumnImages->Draw(pDC, pColumn->m_nImage, CPoint(rcContent.right - 16, y), ILD_TRANSPARENT);
            rcContent.right -= 16;
        }
        else
        {
            m_pColumnImages->Draw(pDC, pColumn->m_nImage, CPoint(rcContent.left, y), ILD_TRANSPARENT);
            rcContent.left += 16;
        }
    }
    rcContent.DeflateRect(1, 1);
    if (bText && rcContent.Width() > 0)
        pDC->DrawText(pColumn->m_strText, &rcContent, HeaderTextFormat(dwFormat));
    pDC->SelectObject(pOldFont);
}

void CTreeListHeaderCtrl::DrawColumns(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    if (m_pOwner->GetStyle() & TLC_BKGNDCOLOR)
    {
        pDC->FillSolidRect(&rcClient, m_crLine);
    }
    else
    {
        pDC->FillSolidRect(&rcClient, m_crFace);
        pDC->Draw3dRect(&rcClient, m_crHighlight, m_crShadow);
    }
    int nScroll = m_pOwner->GetScrollPos(SB_HORZ);
    int nTotal = m_pOwner->GetTotalWidth();
    if (nTotal != 0)
    {
        CRect rcBand(-nScroll, 0, nTotal - nScroll, rcClient.bottom);
        pDC->FillSolidRect(&rcBand, m_crFace);
        pDC->Draw3dRect(&rcBand, m_crHighlight, m_crShadow);
    }
    const std::vector<int>& shows = m_pOwner->GetDisplayOrder();
    int x = -nScroll;
    for (size_t i = 0; i < shows.size(); ++i)
    {
        CTreeListColumn* pColumn = m_pOwner->GetColumn(shows[i]);
        int w = pColumn->m_nWidth;
        CRect rc(x, 0, x + w, rcClient.bottom);
        x += w;
        if (w <= 0 || rc.right <= rcClient.left || rc.left >= rcClient.right)
            continue;
        bool bDragged = m_bDragging && shows[i] == m_nColumn;
        CRect rcContent;
        if (bDragged)
        {
            CBrush brush(RGB(0, 0, 255));
            pDC->FrameRect(&rc, &brush);
            rcContent.SetRect(rc.left + 1 + 2, rc.top + 1, rc.right - 3, rc.bottom);
        }
        else
        {
            CRect rcEdge(rc.left, rc.top + 2, rc.right, rc.bottom - 2);
            UINT nEdges = (i > 0 ? BF_LEFT : 0) | (i + 1 < shows.size() ? BF_RIGHT : 0);
            if (nEdges)
                pDC->DrawEdge(&rcEdge, BDR_RAISEDINNER, nEdges);
            rcContent.SetRect(rc.left + 2, rc.top, rc.right - 1 - 3, rc.bottom - 1);
        }
        DrawColumnContent(pDC, shows[i], rcContent);
    }
}

// ---- dividers and resizing ---------------------------------------------------

int CTreeListHeaderCtrl::DividerHitTest(CPoint point, int& nKind) const
{
    nKind = 0;
    int nScroll = m_pOwner->GetScrollPos(SB_HORZ);
    int X = point.x + nScroll;
    if (X < 0 || X > m_pOwner->GetTotalWidth() + 2 || point.y < 0 || point.y >= GetHeight())
        return -1;
    int nBest = -1;
    int nBestDistance = 0;
    int R = 0;
    for (int nColumn : m_pOwner->GetDisplayOrder())
    {
        CTreeListColumn* pColumn = m_pOwner->GetColumn(nColumn);
        R += pColumn->m_nWidth;
        if (pColumn->m_dwFormat & TLF_FIXED)
            continue;
        if (!(R - 3 <= X && X <= R + 2))
            continue;
        int nDistance = std::abs(X - R);
        // Right of an edge the later column wins a tie, so a column of width
        // 0 can be grabbed there.
        if (nBest < 0 || nDistance < nBestDistance || (nDistance == nBestDistance && X >= R))
        {
            nBest = nColumn;
            nBestDistance = nDistance;
        }
    }
    if (nBest >= 0)
        nKind = m_pOwner->GetColumn(nBest)->m_nWidth != 0 ? 1 : 2;
    return nBest;
}

void CTreeListHeaderCtrl::OnMouseMove(UINT, CPoint point)
{
    if (m_bDragging)
    {
        TrackColumnDrag(point);
        return;
    }
    if (m_bResizing)
    {
        TrackResize(point);
        return;
    }
    int nKind;
    if (DividerHitTest(point, nKind) >= 0)
        ::SetCursor(GetDividerCursor(nKind));
}

void CTreeListHeaderCtrl::OnLButtonDown(UINT, CPoint point)
{
    m_pOwner->SetFocus();
    int nKind;
    int nColumn = DividerHitTest(point, nKind);
    if (nColumn < 0)
    {
        if ((m_dwStyle & (TLHS_DRAGCOLUMN | TLHS_DRAGFREE)) && ColumnZones(point, nColumn) != 0)
        {
            m_nColumn = nColumn;
            m_bDragging = TRUE;
            m_ptPress = point;
            SetCapture();
            Invalidate();
        }
        return;
    }
    m_nColumn = nColumn;
    m_bResizing = TRUE;
    SetCapture();
    ::SetCursor(GetDividerCursor(nKind));
    CTreeListColumn* pColumn = m_pOwner->GetColumn(nColumn);
    pColumn->m_nResizeStartWidth = pColumn->m_nWidth;
    pColumn->m_nResizeStartPos = point.x + m_pOwner->GetScrollPos(SB_HORZ);
}

void CTreeListHeaderCtrl::TrackResize(CPoint point)
{
    CTreeListColumn* pColumn = m_pOwner->GetColumn(m_nColumn);
    int nWidth =
        pColumn->m_nResizeStartWidth + (point.x + m_pOwner->GetScrollPos(SB_HORZ) - pColumn->m_nResizeStartPos);
    nWidth = std::max(nWidth, pColumn->m_nMinWidth);
    if (pColumn->m_nMaxWidth != 0)
        nWidth = std::min(nWidth, pColumn->m_nMaxWidth);
    pColumn->m_nWidth = nWidth;
    m_pOwner->UpdateScrollBars();
    m_pOwner->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CTreeListHeaderCtrl::EndResize(CPoint point)
{
    TrackResize(point);
    CTreeListColumn* pColumn = m_pOwner->GetColumn(m_nColumn);
    pColumn->m_nResizeStartWidth = 0;
    pColumn->m_nResizeStartPos = 0;
    m_bResizing = FALSE;
    int nColumn = m_nColumn;
    m_nColumn = -1;
    if (GetCapture() == this)
        ::ReleaseCapture();
    m_pOwner->Notify(TLN_COLUMNRESIZED, nullptr, nColumn, point.x, point.y);
}

void CTreeListHeaderCtrl::OnLButtonUp(UINT, CPoint point)
{
    if (m_bResizing)
        EndResize(point);
    else if (m_bDragging)
        EndColumnDrag(point);
}

void CTreeListHeaderCtrl::OnCancelMode()
{
    if (!m_bResizing && !m_bDragging)
        return;
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    if (m_bResizing)
        EndResize(point);
    else
        EndColumnDrag(point);
}

// ---- column dragging -----------------------------------------------------------

bool CTreeListHeaderCtrl::GetColumnRect(int nColumn, CRect& rc) const
{
    int x = -m_pOwner->GetScrollPos(SB_HORZ);
    for (int nShown : m_pOwner->GetDisplayOrder())
    {
        int w = m_pOwner->GetColumn(nShown)->m_nWidth;
        if (nShown == nColumn)
        {
            rc.SetRect(x, 0, x + w, GetHeight());
            return true;
        }
        x += w;
    }
    return false;
}

UINT CTreeListHeaderCtrl::ColumnZones(CPoint point, int& nColumn) const
{
    nColumn = -1;
    CRect rc;
    for (int nShown : m_pOwner->GetDisplayOrder())
    {
        if (GetColumnRect(nShown, rc) && rc.Width() > 0 && rc.PtInRect(point))
        {
            nColumn = nShown;
            break;
        }
    }
    if (nColumn < 0)
        return 0;
    CRect rcContent(rc.left + 2, rc.top, rc.right - 3, rc.bottom);
    if (!rcContent.PtInRect(point))
        return 1;
    DWORD dwFormat = m_pOwner->GetColumn(nColumn)->m_dwFormat;
    if (dwFormat & TLF_SORTABLE)
    {
        if (point.x >= rcContent.right - 8)
            return 2;
        rcContent.right -= 8;
    }
    if ((dwFormat & TLF_SHOWIMAGE) && m_pOwner->GetColumn(nColumn)->m_nImage >= 0)
    {
        int xImage = (dwFormat & TLF_IMAGE_CENTER)  ? (rcContent.left + rcContent.right - 16) / 2
                     : (dwFormat & TLF_IMAGE_RIGHT) ? rcContent.right - 16
                                                    : rcContent.left;
        if (point.x >= xImage && point.x < xImage + 16)
            return 4;
        if (dwFormat & TLF_IMAGE_CENTER)
            return 0;
        if (dwFormat & TLF_IMAGE_RIGHT)
            rcContent.right -= 16;
        else
            rcContent.left += 16;
    }
    return (dwFormat & TLF_SHOWTEXT) && rcContent.PtInRect(point) ? 8 : 0;
}

void CTreeListHeaderCtrl::TrackColumnDrag(CPoint point)
{
    if (!m_pColumnImage)
    {
        if (std::abs(point.x - m_ptPress.x) <= ::GetSystemMetrics(SM_CXDRAG) &&
            std::abs(point.y - m_ptPress.y) <= ::GetSystemMetrics(SM_CYDRAG))
            return;
    }
    CRect rc;
    if (!GetColumnRect(m_nColumn, rc))
        return;
    rc.OffsetRect(point.x - m_ptPress.x, (m_dwStyle & TLHS_DRAGFREE) ? point.y - m_ptPress.y : 0);
    ClientToScreen(&rc);
    if (!m_pColumnImage)
    {
        m_pColumnImage = new CTreeListColumnImage;
        m_pColumnImage->Create(rc, this, m_nColumn);
        m_pColumnImage->Show();
    }
    else
    {
        m_pColumnImage->SetWindowPos(nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    int nScroll = m_pOwner->GetScrollPos(SB_HORZ);
    int nAfter;
    if (!m_pOwner->GetColumnDropPosition(point.x + nScroll, nAfter))
    {
        if (m_pMarker)
            m_pMarker->Hide();
        return;
    }
    int xBoundary = 0;
    if (nAfter >= 0)
    {
        for (int nShown : m_pOwner->GetDisplayOrder())
        {
            xBoundary += m_pOwner->GetColumn(nShown)->m_nWidth;
            if (nShown == nAfter)
                break;
        }
    }
    CPoint ptMarker(xBoundary - nScroll - 6, -11);
    ClientToScreen(&ptMarker);
    if (!m_pMarker)
    {
        m_pMarker = new CTreeListColumnMarker;
        m_pMarker->Create(this);
    }
    m_pMarker->ShowAt(ptMarker.x, ptMarker.y);
}

void CTreeListHeaderCtrl::EndColumnDrag(CPoint point)
{
    delete m_pColumnImage;
    m_pColumnImage = nullptr;
    delete m_pMarker;
    m_pMarker = nullptr;
    m_bDragging = FALSE;
    int nColumn = m_nColumn;
    m_nColumn = -1;
    if (GetCapture() == this)
        ::ReleaseCapture();
    int nAfter;
    if (m_pOwner->GetColumnDropPosition(point.x + m_pOwner->GetScrollPos(SB_HORZ), nAfter))
        m_pOwner->MoveColumn(nColumn, nAfter);
    Invalidate();
    m_pOwner->Invalidate();
}

void CTreeListHeaderCtrl::OnLButtonDblClk(UINT, CPoint point)
{
    int nKind;
    int nColumn = DividerHitTest(point, nKind);
    if (nColumn < 0)
        return;
    CTreeListColumn* pColumn = m_pOwner->GetColumn(nColumn);
    m_pOwner->SetColumnWidth(nColumn, -2, pColumn->m_nMinWidth, pColumn->m_nMaxWidth);
}

void CTreeListHeaderCtrl::OnRButtonDown(UINT, CPoint)
{
    m_pOwner->SetFocus();
}

void CTreeListHeaderCtrl::OnRButtonDblClk(UINT, CPoint point)
{
    int nKind;
    int nColumn = DividerHitTest(point, nKind);
    if (nColumn < 0)
        return;
    CTreeListColumn* pColumn = m_pOwner->GetColumn(nColumn);
    m_pOwner->SetColumnWidth(nColumn, -1, pColumn->m_nMinWidth, pColumn->m_nMaxWidth);
}
