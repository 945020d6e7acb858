#include "controls/treelist/window/TreeListCtrl.h"

#include "controls/treelist/window/MemDC.h"
#include "controls/treelist/window/TreeListRes.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

namespace
{

const UINT_PTR kExpandTimer = 1; // a drag hovering on an item opens it
const UINT_PTR kScrollTimer = 2; // a drag hovering on the top or bottom row scrolls
const UINT_PTR kTipTimer = 3;
const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kNoColor = static_cast<COLORREF>(-1);

const COLORREF kDefaultColors[20] = {
    0xFFFFE0, 0xFCFCFC, 0xF0F0F0, 0xF8F8F8, 0xC0C080, 0xCCCCCC, 0xC0C0C0, 0xC8C8C8, 0xA00000, 0xA00000,
    0xD00000, 0xD0A0A0, 0xE8E8E8, 0xF0F0F0, 0xFFFFFF, 0xE8E8E8, 0x000000, 0x00FF00, 0xD0D0D0, 0x808080,
};

// The control's window class, registered on the first construction.
CString g_strTreeListClass;

enum ButtonKind
{
    kNoButton,
    kMinus,
    kPlus,
    kGreyPlus,
};

} // namespace

IMPLEMENT_DYNCREATE(CTreeListCtrl, CWnd)

BEGIN_MESSAGE_MAP(CTreeListCtrl, CWnd)
ON_WM_DESTROY()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_NCCALCSIZE()
ON_WM_NCPAINT()
ON_WM_SIZE()
ON_WM_ENABLE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_MOUSEWHEEL()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_WM_TIMER()
ON_WM_CANCELMODE()
END_MESSAGE_MAP()

CTreeListCtrl::CTreeListCtrl()
{
    std::copy(std::begin(kDefaultColors), std::end(kDefaultColors), m_crColors);
    m_pPalette = CPalette::FromHandle(static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)));
    m_hButton = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_TREELIST_BUTTON));
    m_hCheck = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_TREELIST_CHECK));
    m_hLock = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_TREELIST_LOCK));
    m_hArrow = ::LoadCursor(nullptr, IDC_ARROW);
    m_hDropAllowed = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_TREELIST_DROP));
    m_hDropRefused = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_TREELIST_NODROP));
    if (g_strTreeListClass.IsEmpty())
    {
        try
        {
            g_strTreeListClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, m_hArrow);
        }
        catch (CResourceException* e)
        {
            AfxMessageBox("Couldn't register class! (Already registered?)");
            e->Delete();
        }
    }
}

CTreeListCtrl::~CTreeListCtrl()
{
    // While the object is whole, so the parent still hears of each item.
    if (m_hWnd)
        DestroyWindow();
    DestroyDragWindows();
}

BOOL CTreeListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_dwStatus |= kChildrenMade;
    DWORD dwExStyle = 0;
    if (dwStyle & WS_BORDER)
    {
        dwStyle &= ~WS_BORDER;
        dwExStyle |= WS_EX_CLIENTEDGE;
    }
    if (!CreateEx(dwExStyle, g_strTreeListClass, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID))
        return FALSE;
    if (!CreateChildWindows())
        return FALSE;
    SetTimer(kTipTimer, 1000);
    return TRUE;
}

void CTreeListCtrl::PreSubclassWindow()
{
    if (m_dwStatus & kChildrenMade)
        return;
    if (!CreateChildWindows())
        AfxThrowMemoryException();
    SetTimer(kTipTimer, 1000);
}

BOOL CTreeListCtrl::CreateChildWindows()
{
    m_dwStatus |= kChildrenMade;
    if (!m_wndHeader.Create(0, CRect(0, 0, 0, 0), this, 0) || !m_wndTip.Create(this))
        return FALSE;
    CRect rcNone(0, 0, 0, 0);
    if (!m_wndReadOnly.Create("", WS_CHILD | WS_BORDER | SS_NOTIFY | SS_CENTERIMAGE, rcNone, this) ||
        !MakeEditBox(ES_CENTER) ||
        !m_wndCombo.Create(WS_CHILD | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL | CBS_NOINTEGRALHEIGHT, rcNone, this, 0))
        return FALSE;
    if (!m_bmpBkBitmap.LoadBitmap(IDB_TREELIST_BKGND) || !m_bmpBkDisable.LoadBitmap(IDB_TREELIST_BKGND_DISABLED))
        return FALSE;
    if (!m_imgCheck.Create(IDB_TREELIST_CHECKS, 16, 0, kMagenta) ||
        !m_imgLock.Create(IDB_TREELIST_LOCKS, 8, 0, kMagenta) ||
        !m_imgTree.Create(IDB_TREELIST_IMAGES, 16, 0, RGB(255, 255, 255)))
        return FALSE;
    m_pImageList = &m_imgTree;
    m_wndHeader.SetStyle(HeaderStyleOf(m_dwStyle));
    SetFont(nullptr);
    return TRUE;
}

LRESULT CTreeListCtrl::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETFONT)
        return reinterpret_cast<LRESULT>(m_font.GetSafeHandle());
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CTreeListCtrl::SetFont(CFont* pFont)
{
    HFONT hFont = pFont ? static_cast<HFONT>(pFont->GetSafeHandle()) : nullptr;
    if (!hFont && GetParent())
        hFont = reinterpret_cast<HFONT>(GetParent()->SendMessage(WM_GETFONT));
    // A parent without a font of its own leaves the system's.
    if (!hFont)
        hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf;
    ::GetObjectA(hFont, sizeof(lf), &lf);
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&lf);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
    m_wndTip.SetFont(&m_font);
    for (CWnd* pEditor :
         {static_cast<CWnd*>(&m_wndReadOnly), static_cast<CWnd*>(&m_wndEdit), static_cast<CWnd*>(&m_wndCombo)})
    {
        if (pEditor->m_hWnd)
            pEditor->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
    }
    m_wndHeader.SetFont(&m_font);
    m_wndHeader.SetHeight(-1);
    SetRowHeight(-1);
    RecalcLayout();
    Invalidate();
}

void CTreeListCtrl::SetImageList(CImageList* pImageList)
{
    m_pImageList = pImageList;
    Invalidate();
}

// ---- the core's hooks ------------------------------------------------------

LONG_PTR CTreeListCtrl::Notify(int nCode, CTreeListItem* pItem, int nColumn, int nValue1, int nValue2)
{
    if ((m_dwExStyle & TLC_EX_NOFULLNOTIFY) || !m_hWnd)
        return 0;
    CWnd* pParent = GetParent();
    if (!pParent)
        return 0;
    NMTREELIST record = {};
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = GetDlgCtrlID();
    record.hdr.code = static_cast<UINT>(nCode);
    record.pItem = pItem;
    record.nCol = nColumn == -1 ? 0 : nColumn;
    record.nValue1 = nValue1;
    record.nValue2 = nValue2;
    return pParent->SendMessage(WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

LONG_PTR CTreeListCtrl::NotifyDrag(int nCode, CTreeListCore* pSource, CTreeListItem* pItem)
{
    CWnd* pParent = m_hWnd ? GetParent() : nullptr;
    if (!pParent)
        return 0;
    NMTREELISTDRAG record = {};
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = GetDlgCtrlID();
    record.hdr.code = static_cast<UINT>(nCode);
    record.pSource = static_cast<CTreeListCtrl*>(pSource);
    record.pItem = pItem;
    return pParent->SendMessage(WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

void CTreeListCtrl::OnTreeChanged()
{
    RecalcLayout();
    Redraw();
}

void CTreeListCtrl::Redraw()
{
    if (m_hWnd)
        Invalidate();
}

void CTreeListCtrl::OnStyleChanged()
{
    if (m_wndHeader.m_hWnd)
    {
        m_wndHeader.SetStyle(HeaderStyleOf(m_dwStyle));
        m_wndHeader.Invalidate();
    }
    // the header's height follows its visibility
    OnTreeChanged();
}

void CTreeListCtrl::SetTreeRedraw(bool bRedraw)
{
    if (!m_hWnd)
        return;
    if (!bRedraw)
    {
        // Switching redraw off hides the window as far as the system's
        // visibility test goes, so count what was switched off.
        if (m_nRedrawOff > 0 || IsWindowVisible())
        {
            if (m_nRedrawOff++ == 0)
                SetRedraw(FALSE);
        }
    }
    else if (m_nRedrawOff > 0 && --m_nRedrawOff == 0)
    {
        SetRedraw(TRUE);
    }
}

int CTreeListCtrl::MeasureText(LPCTSTR lpszText, bool bHeader)
{
    if (!m_hWnd)
        return 0;
    CClientDC dc(this);
    CFont* pOldFont = dc.SelectObject(bHeader ? m_wndHeader.GetHeaderFont() : &m_font);
    int cx = dc.GetTextExtent(lpszText, lstrlenA(lpszText)).cx;
    dc.SelectObject(pOldFont);
    return cx;
}

int CTreeListCtrl::GetFontHeight()
{
    LOGFONTA lf = {};
    if (m_font.GetSafeHandle())
        m_font.GetLogFont(&lf);
    return lf.lfHeight;
}

void CTreeListCtrl::OnItemDeleting(CTreeListItem* pItem)
{
    if (pItem == m_pTipItem)
    {
        m_wndTip.Hide();
        m_pTipItem = nullptr;
    }
}

void CTreeListCtrl::OnDestroy()
{
    if (IsDragging())
        CancelDrag();
    CWnd::OnDestroy();
    m_arShows.clear();
    m_arSorts.clear();
    DeleteEveryItem();
}

// ---- geometry --------------------------------------------------------------

int CTreeListCtrl::GetTotalWidth() const
{
    int nWidth = 0;
    for (int nColumn : m_arShows)
        nWidth += m_arColumns[nColumn]->m_nWidth;
    return nWidth;
}

int CTreeListCtrl::GetTotalHeight() const
{
    return m_wndHeader.GetHeight() + m_nRowHeight * GetRowCount();
}

int CTreeListCtrl::GetRowsFit() const
{
    return m_nRowHeight > 0 ? m_rcTreeList.Height() / m_nRowHeight : 0;
}

void CTreeListCtrl::RecalcLayout()
{
    if (!m_wndHeader.m_hWnd || !m_wndTip.m_hWnd)
        return;
    m_wndTip.Hide();
    UpdateScrollBars();
    GetClientRect(&m_rcClient);
    m_rcHeader = m_rcClient;
    m_rcTreeList = m_rcClient;
    m_wndHeader.SendMessage(TLHM_LAYOUT, 0, reinterpret_cast<LPARAM>(&m_rcHeader));
    if (m_rcHeader.IsRectEmpty())
        m_rcTreeList = m_rcClient;
    else if (m_rcHeader.Height() < m_rcClient.Height())
        m_rcTreeList.top = m_rcHeader.bottom;
    else
        m_rcTreeList.top = m_rcTreeList.bottom = m_rcHeader.bottom;
    UpdateScrollBars();
}

void CTreeListCtrl::UpdateScrollBars()
{
    if (m_bInScrollUpdate || !m_hWnd)
        return;
    m_bInScrollUpdate = true;
    if ((m_dwExStyle & TLC_EX_FILLLAST) && !m_arColumns.empty())
    {
        int nLast = GetColumnCount() - 1;
        CTreeListColumn* pLast = m_arColumns[nLast];
        CRect rcClient;
        GetClientRect(&rcClient);
        int nOthers = GetTotalWidth() - (IsColumnDisplayed(nLast) ? pLast->m_nWidth : 0);
        SetColumnWidth(nLast, rcClient.Width() - nOthers, pLast->m_nMinWidth, pLast->m_nMaxWidth);
    }
    CRect rcAvail;
    GetWindowRect(&rcAvail);
    rcAvail.DeflateRect(1, 1);
    int cx = rcAvail.Width();
    int cy = rcAvail.Height();
    int nTotalWidth = GetTotalWidth();
    bool bHorzAllowed = !(m_dwExStyle & (TLC_EX_NOHSCROLL | TLC_EX_NOSCROLL));
    bool bVertAllowed = !(m_dwExStyle & (TLC_EX_NOVSCROLL | TLC_EX_NOSCROLL));
    bool bHorz = bHorzAllowed && cx < nTotalWidth;
    if (bHorz)
        cy = std::max(0, cy - ::GetSystemMetrics(SM_CYHSCROLL));
    bool bVert = bVertAllowed && cy < GetTotalHeight();
    if (bVert)
    {
        cx = std::max(0, cx - ::GetSystemMetrics(SM_CXVSCROLL));
        bHorz = bHorzAllowed && cx < nTotalWidth;
    }

    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    int nHorzPos = GetScrollPos(SB_HORZ);
    if (bHorz)
    {
        si.nMin = 0;
        si.nMax = nTotalWidth - 1;
        si.nPage = cx;
        si.nPos = std::max(0, std::min(nHorzPos, si.nMax - cx));
    }
    SetScrollInfo(SB_HORZ, &si);

    si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    int nVertPos = GetScrollPos(SB_VERT);
    if (bVert)
    {
        si.nMin = 0;
        si.nMax = GetRowCount() - 1;
        si.nPage = std::max(1, GetRowsFit());
        si.nPos = std::max(0, std::min(nVertPos, si.nMax));
    }
    SetScrollInfo(SB_VERT, &si);
    m_bInScrollUpdate = false;
}

int CTreeListCtrl::GetColumnLeft(int nColumn) const
{
    int x = 0;
    for (int nShown : m_arShows)
    {
        if (nShown == nColumn)
            return x;
        x += m_arColumns[nShown]->m_nWidth;
    }
    return -1;
}

BOOL CTreeListCtrl::GetItemRect(CTreeListItem* pItem, LPRECT lpRect) const
{
    int nRow = GetItemRow(pItem);
    int nTop = GetScrollPos(SB_VERT);
    if (nRow < 0 || nRow < nTop || nRow > nTop + GetRowsFit() || m_nRowHeight <= 0)
        return FALSE;
    int x = m_rcTreeList.left - GetScrollPos(SB_HORZ);
    int y = m_rcTreeList.top + (nRow - nTop) * m_nRowHeight;
    ::SetRect(lpRect, x, y, x + GetTotalWidth(), y + m_nRowHeight);
    return TRUE;
}

BOOL CTreeListCtrl::GetCellRect(CTreeListItem* pItem, int nColumn, LPRECT lpRect, BOOL bTextPart) const
{
    CRect rcRow;
    int nLeft = GetColumnLeft(nColumn);
    if (nLeft < 0 || !GetItemRect(pItem, &rcRow))
        return FALSE;
    CRect rc(rcRow.left + nLeft, rcRow.top, rcRow.left + nLeft + m_arColumns[nColumn]->m_nWidth, rcRow.bottom);
    if (bTextPart && nColumn == 0)
    {
        rc.left = LayoutFirstCell(pItem, rc.left).xText;
        *lpRect = rc;
        return rc.Width() >= 2;
    }
    *lpRect = rc;
    return TRUE;
}

CTreeListCtrl::CellLayout CTreeListCtrl::LayoutFirstCell(CTreeListItem* pItem, int xLeft) const
{
    CellLayout layout;
    int x = xLeft + 2;
    if (m_dwStyle & TLC_TREELIST)
    {
        x += 16 * (pItem->m_nLevel - 1);
        if (m_dwStyle & (TLC_TREELINE | TLC_BUTTON))
        {
            layout.xSlot = x;
            x += 16;
        }
    }
    if ((m_dwStyle & TLC_CHECKBOX) && (pItem->m_dwState & TLIS_SHOWCHECK))
    {
        layout.xCheck = x;
        x += 16;
    }
    if ((m_dwStyle & TLC_LOCKBOX) && (pItem->m_dwState & TLIS_SHOWLOCK))
    {
        layout.xLock = x;
        x += 8;
    }
    if ((m_dwStyle & TLC_IMAGE) && (pItem->m_dwState & TLIS_SHOWIMAGE))
    {
        layout.xImage = x;
        x += 16;
    }
    if (m_dwStyle & (TLC_LOCKBOX | TLC_IMAGE))
        x += 2;
    layout.xText = x;
    return layout;
}

int CTreeListCtrl::GetItemScreenRow(CTreeListItem* pItem) const
{
    int nRow = GetItemRow(pItem);
    return nRow < 0 ? 0 : nRow - GetScrollPos(SB_VERT);
}

void CTreeListCtrl::SetItemScreenRow(CTreeListItem* pItem, int nRow)
{
    int nItemRow = GetItemRow(pItem);
    SetScrollPos(SB_VERT, nItemRow >= nRow ? nItemRow - nRow : 0);
    Invalidate();
}

void CTreeListCtrl::ScrollIntoView(CTreeListItem* pItem, int nColumn)
{
    if (!m_hWnd || m_nRowHeight <= 0)
        return;
    int nRow = GetItemRow(pItem);
    if (nRow < 0)
        return;
    int f = GetRowsFit();
    if (f > 0)
        --f;
    int nPos = GetScrollPos(SB_VERT);
    if (nRow < nPos)
        SetScrollPos(SB_VERT, nRow);
    else if (nRow > nPos + f)
        SetScrollPos(SB_VERT, nRow - f);

    int x = GetColumnLeft(std::max(nColumn, 0));
    if (x < 0)
        return;
    int w = m_arColumns[std::max(nColumn, 0)]->m_nWidth;
    if (nColumn <= 0)
        x += 16 * pItem->m_nLevel - 16;
    int nHorz = GetScrollPos(SB_HORZ);
    int cxClient = m_rcClient.Width();
    int nNewHorz = nHorz;
    if (x <= nHorz)
        nNewHorz = x;
    else if (nHorz + cxClient < x + w)
        nNewHorz = w <= cxClient ? x + w - cxClient : x;
    if (nNewHorz != nHorz)
    {
        SetScrollPos(SB_HORZ, nNewHorz);
        m_wndHeader.Invalidate();
    }
}

// ---- scrolling -------------------------------------------------------------

void CTreeListCtrl::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
}

namespace
{

// The position a scroll-bar code asks for; false for codes that move nothing.
// The horizontal and vertical codes share their values (SB_LINELEFT is
// SB_LINEUP and so on), so one table serves both bars.
bool RequestedScrollPos(const SCROLLINFO& si, UINT nSBCode, int& nPos)
{
    const int nPage = static_cast<int>(si.nPage);
    nPos = si.nPos;
    switch (nSBCode)
    {
    case SB_LINEUP: nPos -= 1; break;
    case SB_LINEDOWN:
        if (nPos <= si.nMax - nPage)
            nPos += 1;
        break;
    case SB_PAGEUP: nPos -= nPage; break;
    case SB_PAGEDOWN: nPos += nPage; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: nPos = si.nTrackPos; break;
    case SB_TOP: nPos = si.nMin; break;
    case SB_BOTTOM: nPos = si.nMax; break;
    default: return false;
    }
    return true;
}

} // namespace

void CTreeListCtrl::OnHScroll(UINT nSBCode, UINT, CScrollBar*)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(SB_HORZ, &si);
    int nPos;
    if (!RequestedScrollPos(si, nSBCode, nPos))
        return;
    SetScrollPos(SB_HORZ, nPos);
    m_wndHeader.RedrawWindow(nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
    RedrawWindow(nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
}

void CTreeListCtrl::OnVScroll(UINT nSBCode, UINT, CScrollBar*)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(SB_VERT, &si);
    int nPos;
    if (!RequestedScrollPos(si, nSBCode, nPos))
        return;
    nPos = std::max(si.nMin, std::min(nPos, si.nMax));
    if (nPos == si.nMin && GetTotalHeight() <= m_rcClient.Height())
        RecalcLayout();
    SetScrollPos(SB_VERT, nPos);
    Invalidate();
}

// ---- painting --------------------------------------------------------------

BOOL CTreeListCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CTreeListCtrl::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    CWnd::OnNcCalcSize(bCalcValidRects, lpncsp);
    if (!(GetExStyle() & WS_EX_CLIENTEDGE))
        ::InflateRect(&lpncsp->rgrc[0], -1, -1);
}

void CTreeListCtrl::OnNcPaint()
{
    CWnd::OnNcPaint();
    if (GetExStyle() & WS_EX_CLIENTEDGE)
        return;
    CWindowDC dc(this);
    CRect rc;
    GetWindowRect(&rc);
    rc.OffsetRect(-rc.left, -rc.top);
    dc.Draw3dRect(&rc, ::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
}

void CTreeListCtrl::OnEnable(BOOL bEnable)
{
    m_wndHeader.EnableWindow(bEnable);
    m_wndTip.EnableWindow(bEnable);
    Invalidate();
}

void CTreeListCtrl::OnPaint()
{
    CPaintDC dc(this);
    CPalette* pOldPalette = nullptr;
    if (dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE)
    {
        pOldPalette = dc.SelectPalette(m_pPalette, FALSE);
        dc.RealizePalette();
    }
    dc.ExcludeClipRect(&m_rcHeader);
    CRect rcClip;
    if (dc.GetClipBox(&rcClip) != NULLREGION && !rcClip.IsRectEmpty())
    {
        if (m_dwStatus & kOffscreen)
        {
            CMemDC memDC(&dc);
            DrawBackground(&memDC);
            DrawRows(&memDC);
        }
        else
        {
            DrawBackground(&dc);
            DrawRows(&dc);
        }
    }
    if (pOldPalette)
        dc.SelectPalette(pOldPalette, FALSE);
}

void CTreeListCtrl::DrawBackground(CDC* pDC)
{
    bool bEnabled = IsWindowEnabled() != FALSE;
    if (m_dwStyle & TLC_BKGNDIMAGE)
    {
        CBitmap& bitmap = bEnabled ? m_bmpBkBitmap : m_bmpBkDisable;
        BITMAP bm = {};
        bitmap.GetBitmap(&bm);
        if (bm.bmWidth <= 0 || bm.bmHeight <= 0)
            return;
        CDC dcBitmap;
        dcBitmap.CreateCompatibleDC(pDC);
        CBitmap* pOld = dcBitmap.SelectObject(&bitmap);
        for (int x = -(GetScrollPos(SB_HORZ) % bm.bmWidth); x < m_rcClient.right; x += bm.bmWidth)
        {
            for (int y = 0; y < m_rcClient.bottom; y += bm.bmHeight)
                pDC->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &dcBitmap, 0, 0, SRCCOPY);
        }
        dcBitmap.SelectObject(pOld);
        return;
    }
    CRect rcClip;
    pDC->GetClipBox(&rcClip);
    bool bAlt = (m_dwStyle & TLC_BKGNDCOLOR) != 0;
    pDC->FillSolidRect(&rcClip, m_crColors[bEnabled ? (bAlt ? 0 : 1) : (bAlt ? 4 : 5)]);
}

void CTreeListCtrl::HLine(CDC* pDC, int x1, int x2, int y)
{
    pDC->MoveTo(x1, y);
    pDC->LineTo(x2, y);
}

void CTreeListCtrl::VLine(CDC* pDC, int x, int y1, int y2)
{
    pDC->MoveTo(x, y1);
    pDC->LineTo(x, y2);
}

void CTreeListCtrl::FillRow(CDC* pDC, const CRect& rcRow, int nRow)
{
    if (m_dwStyle & TLC_BKGNDIMAGE)
        return;
    bool bEnabled = IsWindowEnabled() != FALSE;
    int nColor;
    if (m_dwStyle & TLC_DOUBLECOLOR)
        nColor = (nRow % 2) ? (bEnabled ? 2 : 6) : (bEnabled ? 3 : 7);
    else
        nColor = bEnabled ? 1 : 5;
    pDC->FillSolidRect(&rcRow, m_crColors[nColor]);
}

void CTreeListCtrl::DrawRows(CDC* pDC)
{
    if ((GetItemCount() == 0 && !(m_dwExStyle & TLC_EX_EMPTYROWS)) || m_nRowHeight <= 0)
        return;
    CPen pen(PS_SOLID, 1, m_crColors[18]);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CFont* pOldFont = pDC->SelectObject(&m_font);
    pDC->SetBkMode(TRANSPARENT);

    int nTotalWidth = GetTotalWidth();
    int nRow = GetScrollPos(SB_VERT);
    int nMaxRows = GetRowsFit() + 1;
    int nRows = GetRowCount();
    int xLeft = m_rcTreeList.left - GetScrollPos(SB_HORZ);
    CRect rcRow(xLeft, m_rcTreeList.top, xLeft + nTotalWidth, m_rcTreeList.top + m_nRowHeight);
    int nDrawn = 0;
    for (CTreeListItem* pItem = GetItemAtRow(nRow); pItem && nDrawn <= nMaxRows && nRow < nRows;
         pItem = GetNextVisibleItem(pItem, true), ++nRow, ++nDrawn)
    {
        FillRow(pDC, rcRow, nRow);
        DrawItem(pDC, pItem, rcRow);
        if ((m_dwStyle & TLC_HGRID_FULL) && rcRow.right < m_rcClient.right)
            HLine(pDC, rcRow.right, m_rcClient.right, rcRow.bottom - 1);
        rcRow.OffsetRect(0, m_nRowHeight);
    }
    if (nDrawn > 0 && (m_dwStyle & TLC_HGRID) && !(m_dwStyle & (TLC_HGRID_EXT | TLC_VGRID_EXT)))
        HLine(pDC, rcRow.left, rcRow.right - 1, rcRow.top - 1);
    if (!(m_dwExStyle & TLC_EX_NOEMPTYAREA))
    {
        for (; rcRow.top < m_rcClient.bottom; rcRow.OffsetRect(0, m_nRowHeight), ++nRow)
        {
            FillRow(pDC, rcRow, nRow);
            int x = rcRow.left;
            for (int nColumn : m_arShows)
            {
                int w = m_arColumns[nColumn]->m_nWidth;
                if (w <= 0)
                    continue;
                CRect rcCell(x, rcRow.top, x + w, rcRow.bottom);
                x += w;
                bool bBottom = (m_dwStyle & TLC_HGRID_EXT) && (nColumn != 0 || (m_dwStyle & TLC_TGRID));
                DrawCellGrid(pDC, rcCell, bBottom, (m_dwStyle & TLC_VGRID_EXT) != 0);
            }
            if ((m_dwStyle & TLC_HGRID_EXT) && (m_dwStyle & TLC_HGRID_FULL) && rcRow.right < m_rcClient.right)
                HLine(pDC, rcRow.right, m_rcClient.right, rcRow.bottom - 1);
        }
    }
    pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
}

void CTreeListCtrl::DrawCellGrid(CDC* pDC, const CRect& rcCell, bool bBottom, bool bRight)
{
    if (bBottom)
        HLine(pDC, rcCell.left, rcCell.right - 1, rcCell.bottom - 1);
    if (bRight)
        VLine(pDC, rcCell.right - 1, rcCell.bottom - 1, rcCell.top - 1);
}

void CTreeListCtrl::DrawItem(CDC* pDC, CTreeListItem* pItem, const CRect& rcRow)
{
    CRect rcFill = rcRow;
    if (m_dwStyle & TLC_HGRID)
        rcFill.bottom -= 1;
    if (m_dwStyle & TLC_VGRID)
        rcFill.right -= 1;
    COLORREF crFill = kNoColor;
    bool bSelectionFill = false;
    if (m_dwStatus & kSnapshot)
    {
        if (pItem->IsSelected())
        {
            crFill = m_crColors[IsFocused() ? 8 : 11];
            bSelectionFill = true;
        }
    }
    else if (pItem == m_pTargetItem)
    {
        crFill = m_crColors[10];
    }
    else if (pItem->IsSelected() && (m_dwStyle & TLC_SHOWSELFULLROWS))
    {
        if (IsFocused())
            crFill = m_crColors[(m_dwStyle & TLC_MULTIPLESELECT) && pItem != m_pSelectItem ? 8 : 9];
        else if (m_dwStyle & TLC_SHOWSELALWAYS)
            crFill = m_crColors[11];
        bSelectionFill = crFill != kNoColor;
    }
    COLORREF crOwn = pItem->GetBkColor(0);
    if (crOwn != kNoColor && !(m_dwStatus & kSnapshot))
    {
        crFill = crOwn;
        bSelectionFill = false;
    }
    if (crFill != kNoColor)
    {
        int nSaved = pDC->SaveDC();
        if (bSelectionFill)
        {
            // the icons keep their own background
            int nLeft = GetColumnLeft(0);
            if (nLeft >= 0)
            {
                CellLayout layout = LayoutFirstCell(pItem, rcRow.left + nLeft);
                int y = rcRow.top + (m_nRowHeight - 16) / 2;
                if (layout.xCheck >= 0)
                    pDC->ExcludeClipRect(layout.xCheck, y, layout.xCheck + 16, y + 16);
                if (layout.xLock >= 0)
                    pDC->ExcludeClipRect(layout.xLock, y, layout.xLock + 8, y + 16);
                if (layout.xImage >= 0)
                    pDC->ExcludeClipRect(layout.xImage, y, layout.xImage + 16, y + 16);
            }
        }
        pDC->FillSolidRect(&rcFill, crFill);
        pDC->RestoreDC(nSaved);
    }
    int x = rcRow.left;
    for (int nColumn : m_arShows)
    {
        int w = m_arColumns[nColumn]->m_nWidth;
        if (w <= 0)
            continue;
        CRect rcCell(x, rcRow.top, x + w, rcRow.bottom);
        x += w;
        int nSaved = pDC->SaveDC();
        pDC->IntersectClipRect(&rcCell);
        if (nColumn == 0 && (m_dwStyle & TLC_TREELIST))
        {
            DrawTreeCell(pDC, pItem, rcCell);
        }
        else if (nColumn == 0)
        {
            DrawFlatCell(pDC, pItem, rcCell);
        }
        else
        {
            CRect rcText(rcCell.left + 2, rcCell.top, rcCell.right - 3,
                         rcCell.bottom - ((m_dwStyle & TLC_HGRID) ? 1 : 0));
            DrawCellText(pDC, pItem, nColumn, rcText);
            DrawCellGrid(pDC, rcCell, (m_dwStyle & TLC_HGRID) != 0, (m_dwStyle & TLC_VGRID) != 0);
        }
        pDC->RestoreDC(nSaved);
    }
    if (pItem == m_pFocusItem && !(m_dwExStyle & TLC_EX_NOFOCUSRECT))
    {
        bool bEnabled = IsWindowEnabled() != FALSE;
        bool bAlt = (m_dwStyle & (TLC_BKGNDIMAGE | TLC_BKGNDCOLOR)) != 0;
        pDC->SetTextColor(m_crColors[16]);
        int nBack = bEnabled ? (bAlt ? 0 : 1) : (bAlt ? 4 : 5);
        pDC->SetBkColor(m_crColors[(m_dwStatus & kSnapshot) ? 0 : nBack]);
        pDC->DrawFocusRect(&rcFill);
    }
}

void CTreeListCtrl::DrawTreeCell(CDC* pDC, CTreeListItem* pItem, const CRect& rcCell)
{
    for (int nLevel = 1; nLevel < pItem->m_nLevel; ++nLevel)
    {
        CTreeListItem* pAncestor = pItem;
        while (pAncestor->m_nLevel > nLevel)
            pAncestor = pAncestor->m_pParent;
        if (pAncestor->m_pNext && (nLevel > 1 || (m_dwStyle & TLC_ROOTLINE)))
        {
            int xSlot = rcCell.left + 2 + 16 * (nLevel - 1);
            DrawDots(pDC, CRect(xSlot, rcCell.top, xSlot + 16, rcCell.bottom), rcCell, false, false, true, true);
        }
    }
    CellLayout layout = LayoutFirstCell(pItem, rcCell.left);
    if (layout.xSlot >= 0)
    {
        CRect rcSlot(layout.xSlot, rcCell.top, layout.xSlot + 16, rcCell.bottom);
        bool bPrev = pItem->m_pPrev != nullptr;
        bool bNext = pItem->m_pNext != nullptr;
        if (pItem->m_nLevel > 1)
            DrawDots(pDC, rcSlot, rcCell, false, true, true, bNext);
        else if (!(m_dwStyle & TLC_ROOTLINE) || (!bPrev && !bNext))
            DrawDots(pDC, rcSlot, rcCell, false, true, false, false);
        else if (bPrev)
            DrawDots(pDC, rcSlot, rcCell, false, true, true, bNext);
        else
            DrawDots(pDC, rcSlot, rcCell, false, true, false, true);
        if (m_dwStyle & TLC_BUTTON)
        {
            int nKind = kNoButton;
            if (pItem->m_pChild)
                nKind = pItem->IsExpanded() ? kMinus : kPlus;
            else if (!(pItem->m_dwState & TLIS_CHILDRENKNOWN))
                nKind = kGreyPlus;
            if (nKind != kNoButton)
                DrawButton(pDC, rcSlot, nKind);
        }
    }
    DrawIcons(pDC, pItem, rcCell, layout);
    CRect rcText(layout.xText + 2, rcCell.top, rcCell.right - 3, rcCell.bottom - ((m_dwStyle & TLC_HGRID) ? 1 : 0));
    DrawCellText(pDC, pItem, 0, rcText);
    DrawCellGrid(pDC, rcCell, (m_dwStyle & TLC_TGRID) != 0, (m_dwStyle & TLC_VGRID) != 0);
}

void CTreeListCtrl::DrawFlatCell(CDC* pDC, CTreeListItem* pItem, const CRect& rcCell)
{
    CellLayout layout = LayoutFirstCell(pItem, rcCell.left);
    DrawIcons(pDC, pItem, rcCell, layout);
    CRect rcText(layout.xText + 2, rcCell.top, rcCell.right - 3, rcCell.bottom - ((m_dwStyle & TLC_HGRID) ? 1 : 0));
    DrawCellText(pDC, pItem, 0, rcText);
    DrawCellGrid(pDC, rcCell, (m_dwStyle & TLC_TGRID) != 0, (m_dwStyle & TLC_VGRID) != 0);
}

void CTreeListCtrl::DrawIcons(CDC* pDC, CTreeListItem* pItem, const CRect& rcCell, const CellLayout& layout)
{
    int y = rcCell.top + (m_nRowHeight - 16) / 2;
    UINT nStyle = ILD_TRANSPARENT;
    if ((pItem == m_pTargetItem || pItem == m_pHoverItem) && !(m_dwStatus & kSnapshot))
        nStyle |= ILD_BLEND25;
    if (layout.xCheck >= 0)
        m_imgCheck.Draw(pDC, pItem->GetCheck(), CPoint(layout.xCheck, y), nStyle);
    if (layout.xLock >= 0)
        m_imgLock.Draw(pDC, pItem->GetLock(), CPoint(layout.xLock, y), nStyle);
    if (layout.xImage >= 0 && m_pImageList)
    {
        bool bOpen = (m_dwStyle & TLC_TREELIST) && pItem->IsExpanded() && pItem->m_pChild;
        int nImage = pItem->m_nImages[(bOpen ? 1 : 0) + (pItem == m_pSelectItem ? 2 : 0)];
        m_pImageList->Draw(pDC, nImage, CPoint(layout.xImage, y), nStyle);
    }
}

UINT CTreeListCtrl::CellTextFormat(int nColumn) const
{
    DWORD dwFormat = m_arColumns[nColumn]->m_dwFormat;
    UINT nFormat = DT_SINGLELINE | DT_NOPREFIX;
    if (dwFormat & TLF_TEXT_RIGHT)
        nFormat |= DT_RIGHT;
    else if (dwFormat & TLF_TEXT_CENTER)
        nFormat |= DT_CENTER;
    else
        nFormat |= DT_LEFT;
    if (dwFormat & TLF_TEXT_TOP)
        nFormat |= DT_TOP;
    else if (dwFormat & TLF_TEXT_BOTTOM)
        nFormat |= DT_BOTTOM;
    else
        nFormat |= DT_VCENTER;
    if (dwFormat & TLF_TEXT_ELLIPSIS)
        nFormat |= DT_WORD_ELLIPSIS;
    return nFormat;
}

void CTreeListCtrl::DrawCellText(CDC* pDC, CTreeListItem* pItem, int nColumn, CRect rcText)
{
    COLORREF crText = m_crColors[16];
    COLORREF crBack = kNoColor;
    if (pItem == m_pTargetItem)
    {
        crBack = m_crColors[10];
        crText = m_crColors[14];
    }
    else if (pItem->IsSelected() && IsFocused())
    {
        bool bOther = (m_dwStyle & TLC_MULTIPLESELECT) && pItem != m_pSelectItem;
        crBack = m_crColors[bOther ? 8 : 9];
        crText = m_crColors[bOther ? 12 : 13];
    }
    else if (pItem->IsSelected() && (m_dwStyle & TLC_SHOWSELALWAYS))
    {
        crBack = (m_dwStyle & TLC_SHOWSELFULLROWS) ? kNoColor : m_crColors[11];
        crText = m_crColors[15];
    }
    if (pItem->GetBkColor(nColumn) != kNoColor)
        crBack = pItem->GetBkColor(nColumn);
    if (pItem->GetTextColor(nColumn) != kNoColor)
        crText = pItem->GetTextColor(nColumn);
    if ((m_dwStyle & TLC_SHOWSELACTIVE) && nColumn == m_nFocusColumn)
    {
        crBack = m_crColors[10];
        crText = m_crColors[14];
    }
    if (rcText.Width() <= 0 || rcText.Height() <= 0)
        return;
    if (crBack != kNoColor)
        pDC->FillSolidRect(&rcText, crBack);
    LPCTSTR lpszText = pItem->GetText(nColumn);
    if (!lpszText)
        return;
    pDC->SetTextColor(crText);
    pDC->DrawText(lpszText, -1, &rcText, CellTextFormat(nColumn));
}

void CTreeListCtrl::DrawDots(CDC* pDC, const CRect& rcSlot, const CRect& rcClip, bool bLeft, bool bRight, bool bUp,
                             bool bDown)
{
    if (!(m_dwStyle & TLC_TREELINE))
        return;
    COLORREF cr = m_crColors[19];
    int cx = (rcSlot.left + rcSlot.right) / 2 - 1;
    int cy = (rcSlot.top + rcSlot.bottom) / 2 - 1;
    auto dot = [&](int x, int y)
    {
        if (rcClip.PtInRect(CPoint(x, y)))
            pDC->SetPixelV(x, y, cr);
    };
    if (bLeft)
    {
        for (int x = cx; x >= rcSlot.left; x -= 2)
            dot(x, cy);
    }
    if (bRight)
    {
        for (int x = cx; x < rcSlot.right; x += 2)
            dot(x, cy);
    }
    if (bUp)
    {
        for (int y = cy; y >= rcSlot.top; y -= 2)
            dot(cx, y);
    }
    if (bDown)
    {
        for (int y = cy; y < rcSlot.bottom; y += 2)
            dot(cx, y);
    }
}

void CTreeListCtrl::DrawButton(CDC* pDC, const CRect& rcSlot, int nKind)
{
    int cx = (rcSlot.left + rcSlot.right) / 2 - 1;
    int cy = (rcSlot.top + rcSlot.bottom) / 2 - 1;
    CRect rcBox(cx - 4, cy - 4, cx + 5, cy + 5);
    pDC->FillSolidRect(&rcBox, IsWindowEnabled() ? RGB(255, 255, 255) : RGB(208, 208, 208));
    pDC->Draw3dRect(&rcBox, m_crColors[19], m_crColors[19]);
    COLORREF crSign = nKind == kGreyPlus ? m_crColors[19] : RGB(0, 0, 0);
    pDC->FillSolidRect(rcBox.left + 2, cy, rcBox.Width() - 4, 1, crSign);
    if (nKind != kMinus)
        pDC->FillSolidRect(cx, rcBox.top + 2, 1, rcBox.Height() - 4, crSign);
}

// ---- input -----------------------------------------------------------------

CTreeListItem* CTreeListCtrl::HitTest(CPoint point, UINT* pFlags, int* pColumn, LPRECT lpRect) const
{
    if (pFlags)
        *pFlags = 0;
    if (pColumn)
        *pColumn = -1;
    if (m_nRowHeight <= 0 || point.y < m_rcTreeList.top)
        return nullptr;
    int nTop = GetScrollPos(SB_VERT);
    int nOffset = (point.y - m_rcTreeList.top) / m_nRowHeight;
    int nRow = nTop + nOffset;
    int xLeft = m_rcTreeList.left - GetScrollPos(SB_HORZ);
    if (nOffset > GetRowsFit() || nRow >= GetRowCount() || point.x < xLeft || point.x >= xLeft + GetTotalWidth())
        return nullptr;
    CTreeListItem* pItem = GetItemAtRow(nRow);
    if (!pItem)
        return nullptr;
    int yTop = m_rcTreeList.top + nOffset * m_nRowHeight;
    int x = xLeft;
    int nColumn = -1;
    CRect rcCell;
    for (int nShown : m_arShows)
    {
        int w = m_arColumns[nShown]->m_nWidth;
        if (w > 0 && point.x >= x && point.x < x + w)
        {
            nColumn = nShown;
            rcCell.SetRect(x, yTop, x + w, yTop + m_nRowHeight);
            break;
        }
        x += w;
    }
    if (nColumn < 0)
        return nullptr;
    UINT nFlags = 0;
    CRect rcZone = rcCell;
    if (nColumn != 0)
    {
        nFlags = TLHT_ONITEMTEXT;
    }
    else
    {
        CellLayout layout = LayoutFirstCell(pItem, rcCell.left);
        if (layout.xSlot >= 0 && !((pItem->m_dwState & TLIS_CHILDRENKNOWN) && !pItem->m_pChild))
        {
            int cx = layout.xSlot + 8 - 1;
            int cy = (rcCell.top + rcCell.bottom) / 2 - 1;
            if (CRect(cx - 4, cy - 4, cx + 5, cy + 5).PtInRect(point))
                nFlags = TLHT_ONITEMBUTTON;
        }
        if (!nFlags && layout.xCheck >= 0 && point.x >= layout.xCheck && point.x < layout.xCheck + 16)
            nFlags = TLHT_ONITEMCHECK;
        if (!nFlags && layout.xLock >= 0 && point.x >= layout.xLock && point.x < layout.xLock + 8)
            nFlags = TLHT_ONITEMLOCK;
        if (!nFlags && layout.xImage >= 0 && point.x >= layout.xImage && point.x < layout.xImage + 16)
            nFlags = TLHT_ONITEMIMAGE;
        if (!nFlags && layout.xText < rcCell.right && point.x >= layout.xText)
        {
            nFlags = TLHT_ONITEMTEXT;
            rcZone.left = layout.xText;
        }
    }
    if (!nFlags)
        nFlags = TLHT_ONITEMROW;
    if (pFlags)
        *pFlags = nFlags;
    if (pColumn)
        *pColumn = nColumn;
    if (lpRect)
        *lpRect = rcZone;
    return pItem;
}

void CTreeListCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    if (IsDragging())
    {
        DragMove(point);
        return;
    }
    UINT nZone;
    int nColumn;
    CRect rcZone;
    CTreeListItem* pItem = HitTest(point, &nZone, &nColumn, &rcZone);
    if (!pItem)
    {
        m_wndTip.Hide();
        return;
    }
    if (nFlags & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))
    {
        m_wndTip.Hide();
    }
    else if (pItem->HasTipText(0))
    {
        m_pTipItem = pItem;
        m_wndTip.Show(CRect(point.x + 5, point.y - 5, point.x + 6, point.y - 4), pItem->GetTipText(nColumn), DT_LEFT,
                      TRUE);
    }
    else if (nZone == TLHT_ONITEMTEXT && pItem->GetText(nColumn))
    {
        m_pTipItem = pItem;
        m_wndTip.Show(rcZone, pItem->GetText(nColumn), CellTextFormat(nColumn), FALSE);
    }
    else
    {
        m_wndTip.Hide();
    }
    if (nZone == TLHT_ONITEMBUTTON)
        ::SetCursor(m_hButton);
    else if (nZone == TLHT_ONITEMCHECK)
        ::SetCursor(m_hCheck);
    else if (nZone == TLHT_ONITEMLOCK)
        ::SetCursor(m_hLock);
}

void CTreeListCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    SetFocus();
    UINT nZone;
    int nColumn;
    CTreeListItem* pItem = HitTest(point, &nZone, &nColumn, nullptr);
    if (pItem)
    {
        if (nZone == TLHT_ONITEMBUTTON)
        {
            ExpandItem(pItem, pItem->IsExpanded() ? TLE_COLLAPSE : TLE_EXPAND, nColumn);
            ::SetCursor(m_hButton);
        }
        else if (nZone == TLHT_ONITEMCHECK)
        {
            ToggleCheck(pItem, true);
            ::SetCursor(m_hCheck);
        }
        else if (nZone == TLHT_ONITEMLOCK)
        {
            ToggleLock(pItem, true);
            ::SetCursor(m_hLock);
        }
        else
        {
            if (IsEditing() && nZone == TLHT_ONITEMTEXT)
            {
                if (pItem == GetEditItem())
                    BeginEdit(pItem, nColumn);
                else
                    EndEdit();
            }
            SelectItem(pItem, nColumn, (nFlags & MK_CONTROL) != 0, (nFlags & MK_SHIFT) != 0);
            CTreeListItem* pSelected = (m_dwStyle & TLC_MULTIPLESELECT) ? GetSelectedItem() : m_pFocusItem;
            if (pSelected && CanBeginDrag(point))
            {
                m_dwStatus |= kDragCapture;
                SetCapture();
            }
        }
    }
    else
    {
        EndEdit();
        if (!(nFlags & (MK_SHIFT | MK_CONTROL)))
            SelectItem(nullptr, 0, false, false);
    }
    RecalcLayout();
    Invalidate();
}

void CTreeListCtrl::OnLButtonUp(UINT, CPoint point)
{
    if (IsDragging())
    {
        if (GetCapture() == this)
            ::ReleaseCapture();
        m_dwStatus &= ~kDragCapture;
        EndDrag(point);
        Invalidate();
        return;
    }
    UINT nZone;
    if (!HitTest(point, &nZone, nullptr, nullptr))
        return;
    if (nZone == TLHT_ONITEMBUTTON)
        ::SetCursor(m_hButton);
    else if (nZone == TLHT_ONITEMCHECK)
        ::SetCursor(m_hCheck);
    else if (nZone == TLHT_ONITEMLOCK)
        ::SetCursor(m_hLock);
}

void CTreeListCtrl::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    UINT nZone;
    int nColumn;
    CTreeListItem* pItem = HitTest(point, &nZone, &nColumn, nullptr);
    if (pItem)
    {
        SelectItem(pItem, nColumn, false, false);
        if (!(nFlags & (MK_SHIFT | MK_CONTROL)) && (m_dwStyle & TLC_TREELIST) &&
            (nZone & (TLHT_ONITEMIMAGE | TLHT_ONITEMTEXT)))
            ExpandItem(pItem, TLE_TOGGLE, nColumn);
        RecalcLayout();
        Invalidate();
    }
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    Notify(TLN_DBLCLK, pItem, pItem ? nColumn : 0, ptScreen.x, ptScreen.y);
}

void CTreeListCtrl::OnRButtonDown(UINT nFlags, CPoint point)
{
    SetFocus();
    int nColumn;
    CTreeListItem* pItem = HitTest(point, nullptr, &nColumn, nullptr);
    if (!pItem)
    {
        CancelEdit();
        if (!(nFlags & (MK_SHIFT | MK_CONTROL)))
            SelectItem(nullptr, 0, false, false);
    }
    else if (!pItem->IsSelected())
    {
        SelectItem(pItem, nColumn, false, false);
    }
}

void CTreeListCtrl::OnRButtonUp(UINT, CPoint point)
{
    int nColumn;
    CTreeListItem* pItem = HitTest(point, nullptr, &nColumn, nullptr);
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    Notify(TLN_RBUTTONUP, pItem, pItem ? nColumn : 0, ptScreen.x, ptScreen.y);
}

BOOL CTreeListCtrl::OnMouseWheel(UINT, short zDelta, CPoint)
{
    m_wndTip.Hide();
    PostMessage(WM_VSCROLL, zDelta >= WHEEL_DELTA ? SB_PAGEUP : SB_PAGEDOWN, 0);
    return TRUE;
}

void CTreeListCtrl::OnSetFocus(CWnd* pOldWnd)
{
    m_wndTip.Hide();
    if (IsSelfOrChild(pOldWnd))
        return;
    m_dwStatus |= kHasFocus;
    Invalidate();
}

void CTreeListCtrl::OnKillFocus(CWnd* pNewWnd)
{
    LoseFocus(pNewWnd);
}

void CTreeListCtrl::OnEditorKillFocus(CWnd* pNewWnd)
{
    LoseFocus(pNewWnd);
}

bool CTreeListCtrl::IsSelfOrChild(CWnd* pWnd) const
{
    return pWnd && (pWnd->m_hWnd == m_hWnd || ::IsChild(m_hWnd, pWnd->m_hWnd));
}

void CTreeListCtrl::LoseFocus(CWnd* pNewWnd)
{
    m_wndTip.Hide();
    if (IsSelfOrChild(pNewWnd))
        return;
    m_dwStatus &= ~kHasFocus;
    CancelEdit();
    Invalidate();
}

void CTreeListCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kExpandTimer || nIDEvent == kScrollTimer)
    {
        OnDragTimer(nIDEvent);
        return;
    }
    if (nIDEvent != kTipTimer)
        return;
    CPoint pt;
    ::GetCursorPos(&pt);
    if (m_wndTip.IsWindowVisible() && ::WindowFromPoint(pt) != m_hWnd)
        m_wndTip.Hide();
}

void CTreeListCtrl::OnCancelMode()
{
    if (IsDragging())
        CancelDrag();
    m_dwStatus &= ~kDragCapture;
    if (GetCapture() == this)
        ::ReleaseCapture();
}

BOOL CTreeListCtrl::HandleKey(MSG* pMsg)
{
    if (m_arShows.empty())
        return TRUE;
    UINT nKey = static_cast<UINT>(pMsg->wParam);
    bool bTree = (m_dwStyle & TLC_TREELIST) != 0;
    CTreeListItem* pCaret = m_pFocusItem;
    switch (nKey)
    {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_UP:
    case VK_DOWN: break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_ADD:
    case VK_SUBTRACT:
        if (!bTree || !pCaret)
            return FALSE;
        break;
    default: return FALSE;
    }
    if (!IsColumnDisplayed(m_nFocusColumn))
        m_nFocusColumn = 0;
    int nColumn = m_nFocusColumn;
    bool bCtrl = ::GetKeyState(VK_CONTROL) < 0;
    bool bShift = ::GetKeyState(VK_SHIFT) < 0;
    int nRows = GetRowCount();
    int f = GetRowsFit();
    if (f > 0)
        --f;
    int nTop = GetScrollPos(SB_VERT);
    int nCaretRow = GetItemRow(pCaret);
    switch (nKey)
    {
    case VK_PRIOR:
        if (pCaret && nCaretRow < nTop)
        {
            EnsureVisible(pCaret, nColumn);
        }
        else if (GetItemAtRow(nTop) != pCaret)
        {
            SelectItem(GetItemAtRow(nTop), nColumn, bCtrl, bShift);
        }
        else
        {
            int nNewTop = std::max(0, nTop - (f + 1));
            SetScrollPos(SB_VERT, nNewTop);
            SelectItem(GetItemAtRow(nNewTop), nColumn, bCtrl, bShift);
        }
        break;
    case VK_NEXT:
    {
        int nBottom = std::min(nTop + f, nRows - 1);
        if (pCaret && nCaretRow > nBottom)
        {
            EnsureVisible(pCaret, nColumn);
        }
        else if (GetItemAtRow(nBottom) != pCaret)
        {
            SelectItem(GetItemAtRow(nBottom), nColumn, bCtrl, bShift);
        }
        else
        {
            if (nTop + f + 1 + f <= nRows - 1)
                SetScrollPos(SB_VERT, nTop + f + 1);
            SelectItem(GetItemAtRow(std::min(nBottom + f + 1, nRows - 1)), nColumn, bCtrl, bShift);
        }
        break;
    }
    case VK_END: SelectItem(GetItemAtRow(nRows - 1), nColumn, bCtrl, bShift); break;
    case VK_HOME: SelectItem(GetFirstItem(), nColumn, bCtrl, bShift); break;
    case VK_LEFT:
        if (pCaret->IsExpanded() && (pCaret->m_pChild || !(pCaret->m_dwState & TLIS_CHILDRENKNOWN)))
            ExpandItem(pCaret, TLE_COLLAPSE, nColumn);
        else
            SelectItem(pCaret->m_pParent == m_pRootItem ? nullptr : pCaret->m_pParent, nColumn, bCtrl, bShift);
        break;
    case VK_UP:
    {
        CTreeListItem* pItem = pCaret ? GetPrevVisibleItem(pCaret) : GetFirstItem();
        if (pItem)
            SelectItem(pItem, nColumn, bCtrl, bShift);
        break;
    }
    case VK_RIGHT:
        if (pCaret->m_pChild && !pCaret->IsExpanded())
            ExpandItem(pCaret, TLE_EXPAND, nColumn);
        else if (pCaret->m_pChild)
            SelectItem(pCaret->m_pChild, nColumn, bCtrl, bShift);
        break;
    case VK_DOWN:
    {
        CTreeListItem* pItem = pCaret ? GetNextVisibleItem(pCaret, true) : GetFirstItem();
        if (pItem)
            SelectItem(pItem, nColumn, bCtrl, bShift);
        break;
    }
    case VK_ADD: ExpandItem(pCaret, TLE_EXPAND, nColumn); break;
    case VK_SUBTRACT: ExpandItem(pCaret, TLE_COLLAPSE, nColumn); break;
    }
    return TRUE;
}

BOOL CTreeListCtrl::PreTranslateMessage(MSG* pMsg)
{
    bool bMine = pMsg->hwnd == m_hWnd;
    bool bOurs = bMine || ::IsChild(m_hWnd, pMsg->hwnd);
    bool bHeader = pMsg->hwnd == m_wndHeader.m_hWnd;
    // the mouse in the control's client coordinates
    CPoint pt(GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam));
    if (bOurs)
        ::MapWindowPoints(pMsg->hwnd, m_hWnd, &pt, 1);
    switch (pMsg->message)
    {
    case WM_LBUTTONDOWN:
        if (IsEditing() && bOurs)
        {
            CTreeListItem* pItem = bMine ? HitTest(pt, nullptr, nullptr, nullptr) : nullptr;
            bool bConclude = (bHeader && m_rcHeader.PtInRect(pt)) || (pItem && pItem != GetEditItem());
            if (bConclude && !EndEdit())
                return TRUE;
        }
        break;
    case WM_RBUTTONDOWN:
        if (IsDragging() && bMine)
            return TRUE;
        if (IsEditing() && bHeader && m_rcHeader.PtInRect(pt))
        {
            CancelEdit();
            return TRUE;
        }
        if (IsEditing() && bMine && m_rcTreeList.PtInRect(pt))
        {
            if (HitTest(pt, nullptr, nullptr, nullptr) != GetEditItem())
                CancelEdit();
            return TRUE;
        }
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        if (IsEditing() && bOurs)
        {
            CancelEdit();
            UINT nUp = pMsg->message == WM_NCLBUTTONDOWN ? WM_NCLBUTTONUP : WM_NCRBUTTONUP;
            ::PostMessageA(pMsg->hwnd, pMsg->message, pMsg->wParam, pMsg->lParam);
            ::PostMessageA(pMsg->hwnd, nUp, pMsg->wParam, pMsg->lParam);
            return TRUE;
        }
        break;
    case WM_KEYUP:
    case WM_CHAR:
    case WM_DEADCHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case WM_SYSDEADCHAR:
    case WM_COMMAND:
    case WM_SYSCOMMAND:
        if (IsDragging() && bOurs)
            return TRUE;
        break;
    case WM_MOUSEMOVE:
        if (bOurs && m_rcHeader.PtInRect(pt))
            m_wndTip.Hide();
        break;
    case WM_LBUTTONDBLCLK:
        if (bMine)
        {
            // A quick second click on a button, check or lock acts as a click.
            UINT nZone;
            if (HitTest(pt, &nZone, nullptr, nullptr) &&
                (nZone & (TLHT_ONITEMBUTTON | TLHT_ONITEMCHECK | TLHT_ONITEMLOCK)))
            {
                pMsg->message = WM_LBUTTONDOWN;
                return PreTranslateMessage(pMsg);
            }
        }
        break;
    case WM_RBUTTONDBLCLK:
        if (bMine)
        {
            pMsg->message = WM_RBUTTONDOWN;
            return PreTranslateMessage(pMsg);
        }
        break;
    case WM_KEYDOWN:
        if (IsDragging() && bOurs)
            return TRUE;
        if (IsEditing() && bOurs)
        {
            if (HandleEditKey(pMsg))
                return TRUE;
        }
        else if (bMine && HandleKey(pMsg))
        {
            return TRUE;
        }
        break;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

// ---- in-place editing ----------------------------------------------------------

BOOL CTreeListCtrl::MakeEditBox(DWORD dwAlign)
{
    if (m_wndEdit.m_hWnd)
        m_wndEdit.DestroyWindow();
    if (!m_wndEdit.Create(WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | dwAlign, CRect(0, 0, 0, 0), this, 0))
        return FALSE;
    if (m_font.GetSafeHandle())
        m_wndEdit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
    return TRUE;
}

CRect CTreeListCtrl::GetEditorRect(CTreeListItem* pItem, int nColumn) const
{
    CRect rc;
    if (!GetCellRect(pItem, nColumn, &rc, TRUE) || rc.IsRectEmpty())
        return CRect(0, 0, 0, 0);
    CTreeListColumn* pColumn = m_arColumns[nColumn];
    if (pColumn->m_nEditor == 2)
    {
        // room for the open list below the cell
        rc.top -= 1;
        rc.bottom += 6 * m_nRowHeight;
        return rc;
    }
    LPCTSTR lpszText = pItem->GetText(nColumn);
    int cxText = const_cast<CTreeListCtrl*>(this)->MeasureText(lpszText ? lpszText : "", false);
    if (rc.Width() < pColumn->m_nMinWidth || rc.Width() < cxText + 6)
        rc.right = rc.left + pColumn->m_nWidth;
    // over the grid lines
    if (m_dwStyle & TLC_HGRID)
        rc.top -= 1;
    if (m_dwStyle & TLC_VGRID)
        rc.left -= 1;
    return rc;
}

void CTreeListCtrl::ShowEditor(CTreeListItem* pItem, int nColumn)
{
    m_wndReadOnly.SetWindowText("");
    m_wndEdit.SetWindowText("");
    m_wndCombo.ResetContent();
    m_pEditor = nullptr;
    Notify(TLN_BEGINEDIT, pItem, nColumn);
    CRect rc = GetEditorRect(pItem, nColumn);
    if (rc.IsRectEmpty())
        return;
    CTreeListColumn* pColumn = m_arColumns[nColumn];
    LPCTSTR lpszText = pItem->GetText(nColumn);
    CString strText = lpszText ? lpszText : "";
    if (pColumn->m_nEditor == 2)
    {
        // An exact match only: the list's own search takes a prefix, and an
        // unchanged Enter would then replace the text with a longer entry.
        int nSelect = -1;
        for (const CString& strChoice : pColumn->GetChoices())
        {
            int nIndex = m_wndCombo.AddString(strChoice);
            if (nSelect < 0 && strChoice == strText)
                nSelect = nIndex;
        }
        m_wndCombo.MoveWindow(&rc);
        m_wndCombo.EnableWindow(TRUE);
        if (nSelect < 0)
            nSelect = m_wndCombo.AddString(strText);
        m_wndCombo.SetCurSel(nSelect);
        m_pEditor = &m_wndCombo;
    }
    else
    {
        // The edit box's and the static's alignment bits share their values.
        DWORD dwFormat = pColumn->m_dwFormat;
        DWORD dwAlign = (dwFormat & TLF_TEXT_LEFT)     ? ES_LEFT
                        : (dwFormat & TLF_TEXT_RIGHT)  ? ES_RIGHT
                        : (dwFormat & TLF_TEXT_CENTER) ? ES_CENTER
                                                       : ES_LEFT;
        if (pColumn->m_nEditor == 0)
        {
            m_wndReadOnly.ModifyStyle(SS_CENTER | SS_RIGHT, dwAlign);
            m_pEditor = &m_wndReadOnly;
        }
        else
        {
            // An edit box keeps the alignment it was made with.
            if ((m_wndEdit.GetStyle() & (ES_CENTER | ES_RIGHT)) != dwAlign && !MakeEditBox(dwAlign))
                return;
            m_pEditor = &m_wndEdit;
        }
        m_pEditor->MoveWindow(&rc);
        m_pEditor->EnableWindow(TRUE);
        m_pEditor->SetWindowText(strText);
    }
    m_pEditor->ShowWindow(SW_SHOW);
    m_pEditor->SetFocus();
    if (m_pEditor == &m_wndEdit)
    {
        m_wndEdit.SetSel(0, -1);
        m_wndEdit.SendMessage(EM_SCROLLCARET);
    }
}

bool CTreeListCtrl::HideEditorWindow(CString& strText)
{
    // An editor never shown holds no text of the cell's.
    if (!m_pEditor || !m_pEditor->m_hWnd || !(m_pEditor->GetStyle() & WS_VISIBLE))
        return false;
    // The focus comes back to the control rather than going nowhere.
    HWND hFocus = ::GetFocus();
    if (hFocus && (hFocus == m_pEditor->m_hWnd || ::IsChild(m_pEditor->m_hWnd, hFocus)))
        SetFocus();
    bool bText = m_pEditor != &m_wndReadOnly;
    if (bText)
        m_pEditor->GetWindowText(strText);
    m_pEditor->ShowWindow(SW_HIDE);
    m_pEditor->EnableWindow(FALSE);
    return bText;
}

void CTreeListCtrl::PlaceEditorAgain()
{
    if (!m_pEditor || !IsEditing())
        return;
    CRect rc = GetEditorRect(GetEditItem(), GetEditColumn());
    if (rc.IsRectEmpty())
        return;
    m_pEditor->MoveWindow(&rc);
    m_pEditor->EnableWindow(TRUE);
    m_pEditor->ShowWindow(SW_SHOW);
    m_pEditor->SetFocus();
}

BOOL CTreeListCtrl::HandleEditKey(MSG* pMsg)
{
    if (m_arShows.empty())
        return TRUE;
    switch (pMsg->wParam)
    {
    case VK_TAB:
    {
        int nColumn = GetNextEditColumn(GetEditColumn(), ::GetKeyState(VK_SHIFT) < 0);
        if (nColumn >= 0)
            BeginEdit(GetEditItem(), nColumn);
        return TRUE;
    }
    case VK_RETURN: EndEdit(); return TRUE;
    case VK_ESCAPE: CancelEdit(); return TRUE;
    }
    return FALSE;
}

// ---- dragging: the source side -----------------------------------------------------

bool CTreeListCtrl::CanBeginDrag(CPoint point)
{
    if (!(m_dwStyle & TLC_DRAG) || NotifyDrag(TLN_BEGINDRAG, this, nullptr) < 0)
        return false;
    m_dwStatus |= kDragging;
    m_ptDragStart = point;
    m_szDragOffset = CSize(-160, -160);
    return true;
}

void CTreeListCtrl::DestroyDragWindows()
{
    delete m_pDragImage;
    m_pDragImage = nullptr;
    delete m_pDropArrow;
    m_pDropArrow = nullptr;
}

void CTreeListCtrl::DragMove(CPoint point)
{
    if (!m_pDragImage)
    {
        if (std::abs(point.x - m_ptDragStart.x) <= ::GetSystemMetrics(SM_CXDRAG) &&
            std::abs(point.y - m_ptDragStart.y) <= ::GetSystemMetrics(SM_CYDRAG))
            return;
        CRect rc(point.x - 160, point.y - 160, point.x + 160, point.y + 160);
        ClientToScreen(&rc);
        m_pDragImage = new CTreeListDragImage;
        m_pDropArrow = new CTreeListDropArrow;
        if (!m_pDragImage->Create(rc, this) || !m_pDropArrow->Create(this))
        {
            DestroyDragWindows();
            return;
        }
        m_pDragImage->Show();
    }
    CPoint ptImage = point + (m_pDragImage->IsLayered() ? m_szDragOffset : CSize(20, 4));
    ClientToScreen(&ptImage);
    m_pDragImage->SetWindowPos(nullptr, ptImage.x, ptImage.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    CWnd* pUnder = CWnd::FromHandlePermanent(::WindowFromPoint(ptScreen));
    CTreeListCtrl* pOver =
        pUnder && pUnder->IsKindOf(RUNTIME_CLASS(CTreeListCtrl)) ? static_cast<CTreeListCtrl*>(pUnder) : nullptr;
    if (m_pDropTarget && m_pDropTarget != pOver)
    {
        m_pDropTarget->DragLeave(this);
        m_pDropTarget = nullptr;
    }
    if (pOver && !m_pDropTarget && pOver->DragEnter(this))
        m_pDropTarget = pOver;
    if (!m_pDropTarget)
    {
        ::SetCursor(m_hDropRefused);
        m_pDropArrow->Hide();
        return;
    }
    CTreeListItem* pItem = nullptr;
    int nResult = m_pDropTarget->DragOver(this, ptScreen, &pItem);
    if (nResult == TLD_NONE || nResult == TLD_NOCHANGE)
    {
        ::SetCursor(nResult == TLD_NONE ? m_hDropRefused : m_hArrow);
        m_pDropArrow->Hide();
        return;
    }
    ::SetCursor(m_hDropAllowed);
    // at the target's left edge, level with the item's row (with the mouse
    // over the empty area)
    CPoint ptArrow = ptScreen;
    m_pDropTarget->ScreenToClient(&ptArrow);
    ptArrow.x = 0;
    CRect rcRow;
    if (pItem && m_pDropTarget->GetItemRect(pItem, &rcRow))
        ptArrow.y = rcRow.CenterPoint().y;
    m_pDropTarget->ClientToScreen(&ptArrow);
    m_pDropArrow->ShowAt(ptArrow.x, ptArrow.y);
}

void CTreeListCtrl::EndDrag(CPoint point)
{
    DestroyDragWindows();
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    CWnd* pUnder = CWnd::FromHandlePermanent(::WindowFromPoint(ptScreen));
    if (pUnder && pUnder->IsKindOf(RUNTIME_CLASS(CTreeListCtrl)))
        static_cast<CTreeListCtrl*>(pUnder)->Drop(this, ptScreen);
    m_pDropTarget = nullptr;
    m_dwStatus &= ~kDragging;
}

void CTreeListCtrl::CancelDrag()
{
    DestroyDragWindows();
    if (m_pDropTarget)
        m_pDropTarget->DragLeave(this);
    m_pDropTarget = nullptr;
    m_dwStatus &= ~kDragging;
}

void CTreeListCtrl::DrawSnapshot(CDC* pDC, CPoint ptList, int nSize)
{
    if (m_nRowHeight <= 0)
        return;
    CPen pen(PS_SOLID, 1, m_crColors[18]);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CFont* pOldFont = pDC->SelectObject(&m_font);
    pDC->SetBkMode(TRANSPARENT);
    int xOrigin = nSize / 2 - ptList.x;
    int yOrigin = nSize / 2 - ptList.y;
    int nRow = std::max(0, -yOrigin / m_nRowHeight);
    int nLast = std::min(GetRowCount(), nRow + nSize / m_nRowHeight + 2);
    m_dwStatus |= kSnapshot;
    for (CTreeListItem* pItem = GetItemAtRow(nRow); pItem && nRow < nLast;
         pItem = GetNextVisibleItem(pItem, true), ++nRow)
    {
        int y = yOrigin + nRow * m_nRowHeight;
        CRect rcRow(xOrigin, y, xOrigin + GetTotalWidth(), y + m_nRowHeight);
        DrawItem(pDC, pItem, rcRow);
        if ((m_dwStyle & TLC_HGRID_FULL) && rcRow.right < nSize)
            HLine(pDC, rcRow.right, nSize, rcRow.bottom - 1);
    }
    m_dwStatus &= ~kSnapshot;
    pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
}

// ---- dragging: the target side -------------------------------------------------------

bool CTreeListCtrl::DragEnter(CTreeListCtrl* pSource)
{
    return (m_dwStyle & TLC_DROP) && NotifyDrag(TLN_DRAGENTER, pSource, nullptr) >= 0;
}

int CTreeListCtrl::DragOver(CTreeListCtrl* pSource, CPoint ptScreen, CTreeListItem** ppItem)
{
    CPoint point = ptScreen;
    ScreenToClient(&point);
    CTreeListItem* pItem = HitTest(point, nullptr, nullptr, nullptr);
    int nResult = QueryDrop(pSource, pItem);
    CTreeListItem* pHover = nullptr;
    CTreeListItem* pHighlight = nullptr;
    if (nResult == TLD_NONE)
        pHover = pItem;
    else if (nResult == TLD_ONITEM)
        pHover = pHighlight = pItem;
    // The timers run from the moment the mouse comes to an item, not from
    // its last small move.
    if (pHover != m_pHoverItem && pHover && (m_dwStyle & TLC_TREELIST))
    {
        bool bAllowed = nResult == TLD_ONITEM;
        SetTimer(kScrollTimer, bAllowed ? 200 : 100, nullptr);
        SetTimer(kExpandTimer, bAllowed ? 1000 : 500, nullptr);
    }
    if (pHover != m_pHoverItem || pHighlight != m_pTargetItem)
    {
        m_pHoverItem = pHover;
        m_pTargetItem = pHighlight;
        Invalidate();
    }
    if (ppItem)
        *ppItem = pItem;
    return nResult;
}

void CTreeListCtrl::DragLeave(CTreeListCtrl* pSource)
{
    NotifyDrag(TLN_DRAGLEAVE, pSource, nullptr);
    // a timer left running would go on scrolling after the drag
    KillTimer(kExpandTimer);
    KillTimer(kScrollTimer);
    m_pHoverItem = nullptr;
    m_pTargetItem = nullptr;
    Invalidate();
}

void CTreeListCtrl::Drop(CTreeListCtrl* pSource, CPoint ptScreen)
{
    CTreeListItem* pItem = nullptr;
    int nResult = DragOver(pSource, ptScreen, &pItem);
    DragLeave(pSource);
    if (nResult == TLD_ONITEM || nResult == TLD_TOROOT)
        NotifyDrag(TLN_DROP, pSource, nResult == TLD_ONITEM ? pItem : nullptr);
}

void CTreeListCtrl::OnDragTimer(UINT_PTR nIDEvent)
{
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    CTreeListItem* pItem = HitTest(point, nullptr, nullptr, nullptr);
    if (nIDEvent == kExpandTimer)
    {
        KillTimer(kExpandTimer);
        if (pItem && pItem == m_pHoverItem)
            Expand(pItem, TLE_EXPAND);
        return;
    }
    int nDirection = CTreeListCore::HoverScrollDirection(pItem ? GetItemRow(pItem) : -1, GetScrollPos(SB_VERT),
                                                         m_rcTreeList.Height(), m_nRowHeight);
    if (nDirection == 0)
    {
        KillTimer(kScrollTimer);
        return;
    }
    KillTimer(kExpandTimer);
    SendMessage(WM_VSCROLL, nDirection < 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    m_pHoverItem = HitTest(point, nullptr, nullptr, nullptr);
    if (m_pDropArrow)
        m_pDropArrow->Hide();
    Invalidate();
}
