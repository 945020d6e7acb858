#include "controls/custom/TabStripCtrl.h"

namespace
{

// Neighbouring tabs overlap by this much; a tab's outline narrows by it.
const int kOverlap = 8;
// Text width plus this is a tab's length.
const int kTabPadding = 22;
// The text keeps this far from both ends of its tab.
const int kTextInset = 10;

COLORREF SysColor(int nIndex)
{
    return ::GetSysColor(nIndex);
}

// The four corners of a tab: its wide edge lies along the strip's edge (the
// top, or the right of a vertical strip) and it narrows towards the other.
void GetOutline(const CRect& r, BOOL bHorizontal, CPoint pts[4])
{
    if (bHorizontal)
    {
        pts[0] = CPoint(r.left, r.top);
        pts[1] = CPoint(r.left + kOverlap, r.bottom);
        pts[2] = CPoint(r.right - kOverlap - 1, r.bottom);
        pts[3] = CPoint(r.right - 1, r.top);
    }
    else
    {
        pts[0] = CPoint(r.right, r.top);
        pts[1] = CPoint(r.left, r.top + kOverlap);
        pts[2] = CPoint(r.left, r.bottom - kOverlap - 1);
        pts[3] = CPoint(r.right, r.bottom - 1);
    }
}

void DrawLine(CDC* pDC, POINT from, POINT to, COLORREF color)
{
    CPen pen(PS_SOLID, 1, color);
    CPen* pOld = pDC->SelectObject(&pen);
    pDC->MoveTo(from);
    pDC->LineTo(to);
    pDC->SelectObject(pOld);
}

} // namespace

// ---- CFolderButton ---------------------------------------------------------

IMPLEMENT_DYNAMIC(CFolderButton, CButton)

BEGIN_MESSAGE_MAP(CFolderButton, CButton)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_LBUTTONUP()
ON_WM_TIMER()
END_MESSAGE_MAP()

void CFolderButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rcItem(lpDIS->rcItem);
    int cx = rcItem.Width();
    int cy = rcItem.Height();
    if (cx <= 0 || cy <= 0)
        return;
    BOOL bPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    BOOL bDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;

    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(pDC, cx, cy);
    CBitmap* pOldBitmap = mem.SelectObject(&bitmap);
    mem.FillSolidRect(0, 0, cx, cy, SysColor(COLOR_BTNFACE));
    if (bPressed)
        mem.SetViewportOrg(1, 1);

    COLORREF clrLine = bDisabled ? SysColor(COLOR_BTNSHADOW) : RGB(0, 0, 0);
    DrawLine(&mem, CPoint(0, 0), CPoint(cx, 0), clrLine);
    // the frame below the line
    CRect rc(0, 1, cx, cy);
    mem.Draw3dRect(&rc, bPressed ? SysColor(COLOR_BTNFACE) : SysColor(COLOR_BTNHIGHLIGHT), SysColor(COLOR_BTNSHADOW));
    rc.DeflateRect(1, 1);
    mem.Draw3dRect(&rc, SysColor(COLOR_BTNSHADOW), SysColor(COLOR_BTNSHADOW));

    // four lines of 7, 5, 3 and 1 pixels, the 1 at the tip
    BOOL bBack = GetDlgCtrlID() == CTabStripCtrl::idPrevious;
    int xc = cx / 2;
    int yc = cy / 2;
    for (int i = 0; i < 4; ++i)
    {
        int nHalf = bBack ? i : 3 - i; // 1, 3, 5, 7 pixels from the tip
        int nAlong = i - 2;            // the tip and base straddle the centre
        if (m_bHorizontal)
            DrawLine(&mem, CPoint(xc + nAlong, yc - nHalf), CPoint(xc + nAlong, yc + nHalf + 1), clrLine);
        else
            DrawLine(&mem, CPoint(xc - nHalf, yc + nAlong), CPoint(xc + nHalf + 1, yc + nAlong), clrLine);
    }

    mem.SetViewportOrg(0, 0);
    pDC->BitBlt(rcItem.left, rcItem.top, cx, cy, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOldBitmap);
}

void CFolderButton::StartRepeat()
{
    m_nRepeat = 0;
    SetTimer(idRepeat, firstDelay);
}

void CFolderButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    CButton::OnLButtonDown(nFlags, point);
    StartRepeat();
}

void CFolderButton::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // a quick second press repeats like the first
    DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
    StartRepeat();
}

void CFolderButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    KillTimer(idRepeat);
    // the button's own click, sent when released over it
    CButton::OnLButtonUp(nFlags, point);
}

void CFolderButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != idRepeat)
    {
        CButton::OnTimer(nIDEvent);
        return;
    }
    if (!IsWindowEnabled())
    {
        KillTimer(idRepeat);
        return;
    }
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
    if (m_nRepeat++ == 0)
        SetTimer(idRepeat, repeatDelay);
}

// ---- CTabStripCtrl ---------------------------------------------------------

CString CTabStripCtrl::s_strClassName;

BEGIN_MESSAGE_MAP(CTabStripCtrl, CCustomWnd)
ON_COMMAND(CTabStripCtrl::idPrevious, OnPrevious)
ON_COMMAND(CTabStripCtrl::idNext, OnNext)
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

CTabStripCtrl::CTabStripCtrl() : CCustomWnd(s_strClassName)
{
}

CTabStripCtrl::~CTabStripCtrl()
{
    while (!m_tabs.IsEmpty())
        delete m_tabs.RemoveHead();
}

BOOL CTabStripCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwFlags)
{
    m_dwFlags = dwFlags;
    if (dwFlags & TSF_VERTICAL)
        m_dwFlags &= ~(TSF_HORIZONTAL | 0x8); // 0x8 is a horizontal-only flag too
    else
        m_dwFlags |= TSF_HORIZONTAL;
    return CCustomWnd::Create(nullptr, dwStyle, rect, pParentWnd, nID);
}

void CTabStripCtrl::OnCreated()
{
    int nHeight = ::GetSystemMetrics(SM_CYHSCROLL) - 2;
    int nEscapement = IsHorizontal() ? 0 : 900;
    m_fontNormal.CreateFont(nHeight, 0, nEscapement, nEscapement, 200, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                            "Arial");
    m_fontSelected.CreateFont(nHeight, 0, nEscapement, nEscapement, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                              0, "Arial");
    if (m_dwFlags & TSF_BUTTONS)
    {
        for (int i = 0; i < 2; ++i)
        {
            m_buttons[i].m_bHorizontal = IsHorizontal() ? 1 : 0;
            if (m_buttons[i].Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 0, 0), this, idPrevious + i))
                ++m_nButtons;
        }
    }
}

void CTabStripCtrl::OnLayout()
{
    CRect rc;
    GetClientRect(&rc);
    int nSide = IsHorizontal() ? rc.Height() : rc.Width();
    for (int i = 0; i < m_nButtons; ++i)
    {
        CRect rcButton =
            IsHorizontal() ? CRect(i * nSide, 0, (i + 1) * nSide, nSide) : CRect(0, i * nSide, nSide, (i + 1) * nSide);
        m_buttons[i].MoveWindow(&rcButton);
    }
    m_nButtonsExtent = m_nButtons * nSide;
    PaintBackground();
}

void CTabStripCtrl::OnEnableChanged(BOOL bEnabled)
{
    // a disabled strip shows no tabs
    Invalidate(FALSE);
}

int CTabStripCtrl::AddTab(LPCTSTR lpszText)
{
    CTabStripItem* pTab = new CTabStripItem;
    pTab->m_bHorizontal = IsHorizontal() ? 1 : 0;
    pTab->m_strText = lpszText;
    m_tabs.AddTail(pTab);
    LayoutTabs();
    Invalidate(FALSE);
    return GetTabCount() - 1;
}

int CTabStripCtrl::DeleteAllTabs()
{
    while (!m_tabs.IsEmpty())
        delete m_tabs.RemoveHead();
    // Kept indices would name tabs that no longer exist.
    m_nSelected = 0;
    m_nFirstVisible = 0;
    LayoutTabs();
    Invalidate(FALSE);
    return 1;
}

CTabStripItem* CTabStripCtrl::GetTab(int nIndex) const
{
    POSITION pos = m_tabs.FindIndex(nIndex);
    return pos ? m_tabs.GetAt(pos) : nullptr;
}

void CTabStripCtrl::LayoutTabs()
{
    if (!m_hWnd)
        return;
    CClientDC dc(this);
    CFont* pOldFont = dc.SelectObject(&m_fontSelected);
    int nThick = ::GetSystemMetrics(SM_CYHSCROLL) + 1;
    int nOffset = 0;
    for (POSITION pos = m_tabs.GetHeadPosition(); pos;)
    {
        CTabStripItem* pTab = m_tabs.GetNext(pos);
        CRect rcText(0, 0, 0, 0);
        dc.DrawText(pTab->m_strText, &rcText, DT_CALCRECT);
        int nLength = rcText.Width() + kTabPadding;
        CRect& r = pTab->m_rect;
        if (pTab->m_bHorizontal)
            r.SetRect(nOffset, 0, nOffset + nLength, nThick);
        else
            r.SetRect(0, nOffset, nThick, nOffset + nLength);
        CPoint pts[4];
        GetOutline(r, pTab->m_bHorizontal, pts);
        pTab->m_rgn.DeleteObject();
        pTab->m_rgn.CreatePolygonRgn(pts, 4, WINDING);
        nOffset += nLength - kOverlap;
    }
    dc.SelectObject(pOldFont);
}

int CTabStripCtrl::GetScrollShift() const
{
    CTabStripItem* pFirst = GetTab(m_nFirstVisible);
    if (!pFirst)
        return 0;
    int nStart = IsHorizontal() ? pFirst->m_rect.left : pFirst->m_rect.top;
    return nStart - m_nButtonsExtent;
}

int CTabStripCtrl::SetCurSel(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetTabCount())
        return -1;
    m_nSelected = nIndex;
    Invalidate(FALSE);
    return nIndex;
}

int CTabStripCtrl::SelectTab(int nIndex)
{
    int nOld = m_nSelected;
    int nResult = SetCurSel(nIndex);
    if (nResult >= 0 && nResult != nOld)
        Notify(TSN_SELCHANGED, nResult);
    return nResult;
}

void CTabStripCtrl::Notify(UINT nCode, int nTab, POINT ptScreen)
{
    CWnd* pParent = GetParent();
    if (!pParent)
        return;
    NMTABSTRIP nm;
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = GetDlgCtrlID();
    nm.hdr.code = nCode;
    nm.nTab = nTab;
    nm.ptScreen = ptScreen;
    pParent->SendMessage(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

int CTabStripCtrl::HitTest(int x, int y) const
{
    CRect rc;
    GetClientRect(&rc);
    if (IsHorizontal())
        rc.left += m_nButtonsExtent;
    else
        rc.top += m_nButtonsExtent;
    if (!rc.PtInRect(CPoint(x, y)))
        return -1;
    int nShift = GetScrollShift();
    CPoint pt = IsHorizontal() ? CPoint(x + nShift, y) : CPoint(x, y + nShift);
    int nIndex = 0;
    for (POSITION pos = m_tabs.GetHeadPosition(); pos; ++nIndex)
    {
        if (m_tabs.GetNext(pos)->m_rgn.PtInRegion(pt))
            return nIndex;
    }
    return -1;
}

void CTabStripCtrl::PaintBackground()
{
    if (!m_bmBack.GetSafeHandle())
        return;
    CBufferedDC dc(this, FALSE);
    CRect rc;
    GetClientRect(&rc);
    if (IsHorizontal())
        rc.left += m_nButtonsExtent;
    else
        rc.top += m_nButtonsExtent;
    dc.FillSolidRect(&rc, SysColor(COLOR_BTNFACE));
}

void CTabStripCtrl::Draw(CDC* pDC)
{
    if (!IsWindowEnabled())
        return;
    int nShift = GetScrollShift();
    CPoint oldOrg = IsHorizontal() ? pDC->SetViewportOrg(-nShift, 0) : pDC->SetViewportOrg(0, -nShift);
    int nIndex = 0;
    for (POSITION pos = m_tabs.GetHeadPosition(); pos; ++nIndex)
    {
        CTabStripItem* pTab = m_tabs.GetNext(pos);
        if (nIndex != m_nSelected)
            DrawTab(pDC, pTab, FALSE);
    }
    // the selected tab lies over its neighbours
    if (CTabStripItem* pSelected = GetTab(m_nSelected))
        DrawTab(pDC, pSelected, TRUE);
    pDC->SetViewportOrg(oldOrg);
}

void CTabStripCtrl::DrawTab(CDC* pDC, CTabStripItem* pTab, BOOL bSelected)
{
    const CRect& r = pTab->m_rect;
    BOOL bHorizontal = pTab->m_bHorizontal;
    CBrush brush(SysColor(bSelected ? COLOR_WINDOW : COLOR_BTNFACE));
    pDC->FillRgn(&pTab->m_rgn, &brush);

    CPoint pts[4];
    GetOutline(r, bHorizontal, pts);
    DrawLine(pDC, pts[0], pts[1], RGB(0, 0, 0));
    DrawLine(pDC, pts[2], pts[3], RGB(0, 0, 0));
    DrawLine(pDC, pts[1], pts[2], SysColor(COLOR_BTNSHADOW));
    if (!bSelected)
    {
        // the neighbour's edge shows through under the overlap
        CSize inward = bHorizontal ? CSize(-1, 0) : CSize(0, -1);
        DrawLine(pDC, pts[2] + inward, pts[3] + inward, SysColor(COLOR_BTNSHADOW));
    }

    CFont* pOldFont = pDC->SelectObject(bSelected ? &m_fontSelected : &m_fontNormal);
    COLORREF clrOld = pDC->SetTextColor(SysColor(bSelected ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    CRect rcText = r;
    if (bHorizontal)
    {
        rcText.DeflateRect(kTextInset, 1);
        pDC->DrawText(pTab->m_strText, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    else
    {
        rcText.DeflateRect(1, kTextInset);
        // Text turned by 90 degrees runs upwards from its starting point, so
        // it starts at the bottom to stay inside its tab.
        pDC->TextOut(rcText.left, rcText.bottom, pTab->m_strText);
    }
    pDC->SetBkMode(nOldMode);
    pDC->SetTextColor(clrOld);
    pDC->SelectObject(pOldFont);
}

void CTabStripCtrl::OnPrevious()
{
    if (m_nFirstVisible > 0)
        --m_nFirstVisible;
    Invalidate(FALSE);
    for (int i = 0; i < m_nButtons; ++i)
        m_buttons[i].EnableWindow(TRUE);
}

void CTabStripCtrl::OnNext()
{
    if (m_nFirstVisible < GetTabCount() - 1)
        ++m_nFirstVisible;
    Invalidate(FALSE);
    for (int i = 0; i < m_nButtons; ++i)
        m_buttons[i].EnableWindow(TRUE);
}

void CTabStripCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    int nTab = HitTest(point.x, point.y);
    if (nTab >= 0)
        SelectTab(nTab);
    CCustomWnd::OnLButtonDown(nFlags, point);
}

void CTabStripCtrl::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    int nTab = HitTest(point.x, point.y);
    if (nTab >= 0)
        SelectTab(nTab);
    CCustomWnd::OnLButtonDblClk(nFlags, point);
}

void CTabStripCtrl::OnRButtonDown(UINT nFlags, CPoint point)
{
    int nTab = HitTest(point.x, point.y);
    if (nTab >= 0 && nTab != m_nSelected)
        SetCurSel(nTab);
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    Notify(TSN_RCLICK, nTab, ptScreen);
    CCustomWnd::OnRButtonDown(nFlags, point);
}
