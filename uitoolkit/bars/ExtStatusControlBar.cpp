#include "uitoolkit/bars/ExtStatusControlBar.h"

#include "framework/win/FrameWnd.h"
#include "framework/win/MiniDockFrameWnd.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNCREATE(CExtStatusControlBar, CStatusBar)

BEGIN_MESSAGE_MAP(CExtStatusControlBar, CStatusBar)
ON_WM_PAINT()
ON_WM_NCPAINT()
ON_WM_CREATE()
ON_WM_CONTEXTMENU()
ON_WM_NCHITTEST()
ON_WM_MOUSEMOVE()
ON_WM_MOUSELEAVE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CExtStatusControlBar::CExtStatusControlBar()
{
    m_mapExtraData.InitHashTable(17, FALSE);
}

CExtStatusControlBar::~CExtStatusControlBar()
{
    DestroyPaneControls();
}

void CExtStatusControlBar::DestroyPaneControls()
{
    for (INT_PTR i = 0; i < m_arrPaneControls.GetSize(); ++i)
    {
        _STATUSBAR_PANE_CTRL_* pRecord = m_arrPaneControls[i];
        if (pRecord->m_hWnd != nullptr && ::IsWindow(pRecord->m_hWnd))
        {
            ::ShowWindow(pRecord->m_hWnd, SW_HIDE);
            if (pRecord->m_bAutoDestroy)
                ::DestroyWindow(pRecord->m_hWnd);
        }
        delete pRecord;
    }
    m_arrPaneControls.RemoveAll();
    m_mapExtraData.RemoveAll();
}

void CExtStatusControlBar::OnDestroy()
{
    // The children go with the bar's window; their records go now, so no
    // handle outlives its window.
    DestroyPaneControls();
    CStatusBar::OnDestroy();
}

// ---- panes ----

int CExtStatusControlBar::GetPaneCount() const
{
    return m_nCount;
}

UINT CExtStatusControlBar::GetPaneCommandID(int nIndex) const
{
    if (m_hWnd == nullptr || nIndex < 0 || nIndex >= GetPaneCount())
        return 0;
    UINT nID = 0, nStyle = 0;
    int cxWidth = 0;
    GetPaneInfo(nIndex, nID, nStyle, cxWidth);
    return nID;
}

bool CExtStatusControlBar::ExtraDataOf(int nIndex, _ED_& data) const
{
    if (m_hWnd == nullptr)
        return false;
    return m_mapExtraData.Lookup(GetPaneCommandID(nIndex), data) != FALSE;
}

CExtStatusControlBar::_ED_& CExtStatusControlBar::ExtraDataFor(int nIndex)
{
    const UINT nID = GetPaneCommandID(nIndex);
    _ED_ data;
    data.m_nTextFormat = m_nDefaultTextFormat;
    if (!m_mapExtraData.Lookup(nID, data))
        m_mapExtraData.SetAt(nID, data);
    return m_mapExtraData[nID];
}

UINT CExtStatusControlBar::GetPaneTextFormat(int nIndex) const
{
    _ED_ data;
    return ExtraDataOf(nIndex, data) ? data.m_nTextFormat : m_nDefaultTextFormat;
}

CString CExtStatusControlBar::GetPaneTipText(int nIndex) const
{
    _ED_ data;
    return ExtraDataOf(nIndex, data) ? data.m_sTipText : CString();
}

void CExtStatusControlBar::SetPaneTextFormat(int nIndex, UINT nTextFormat)
{
    ExtraDataFor(nIndex).m_nTextFormat = nTextFormat;
    if (m_hWnd != nullptr)
        Invalidate(FALSE);
}

void CExtStatusControlBar::SetPaneTipText(int nIndex, LPCTSTR lpszTipText)
{
    ExtraDataFor(nIndex).m_sTipText = lpszTipText != nullptr ? lpszTipText : "";
}

bool CExtStatusControlBar::AddPaneControl(HWND hWnd, UINT nID, bool bAutoDestroy)
{
    if (hWnd == nullptr || !::IsWindow(hWnd) || CommandToIndex(nID) < 0)
        return false;
    for (INT_PTR i = 0; i < m_arrPaneControls.GetSize(); ++i)
        if (m_arrPaneControls[i]->m_hWnd == hWnd)
            return false;
    auto* pRecord = new _STATUSBAR_PANE_CTRL_;
    pRecord->m_hWnd = hWnd;
    pRecord->m_nID = nID;
    pRecord->m_bAutoDestroy = bAutoDestroy;
    m_arrPaneControls.Add(pRecord);
    RepositionPaneControls();
    return true;
}

CRect CExtStatusControlBar::GetPaneRect(int nIndex) const
{
    CRect rcPane;
    GetItemRect(nIndex, &rcPane);
    if (nIndex != GetPaneCount() - 1)
        return rcPane;
    UINT nID = 0, nStyle = 0;
    int cxWidth = 0;
    GetPaneInfo(nIndex, nID, nStyle, cxWidth);
    if (nStyle & SBPS_STRETCH)
    {
        CRect rcClient;
        GetClientRect(&rcClient);
        rcPane.right = rcClient.right;
        if (GetStyle() & SBARS_SIZEGRIP)
            rcPane.right -= ::GetSystemMetrics(SM_CXSMICON) + ::GetSystemMetrics(SM_CXEDGE);
    }
    else
        rcPane.right = rcPane.left + cxWidth + 3 * ::GetSystemMetrics(SM_CXEDGE);
    return rcPane;
}

CRect CExtStatusControlBar::GetGripperRect() const
{
    CWnd* pParent = GetParent();
    if (pParent == nullptr || pParent->IsZoomed() || (pParent->GetStyle() & WS_BORDER) == 0)
        return CRect(0, 0, 0, 0);
    CRect rc;
    GetClientRect(&rc);
    rc.left = rc.right - ::GetSystemMetrics(SM_CXVSCROLL);
    return rc;
}

int CExtStatusControlBar::HitTestPane(int x, int y) const
{
    if (m_hWnd == nullptr || GetPaneCount() == 0)
        return -1;
    POINT pt = {x, y};
    ::ClientToScreen(m_hWnd, &pt);
    HWND hWndUnder = ::WindowFromPoint(pt);
    if (hWndUnder != m_hWnd && !::IsChild(m_hWnd, hWndUnder))
        return -1;
    for (int i = 0; i < GetPaneCount(); ++i)
    {
        CRect rcPane;
        GetItemRect(i, &rcPane);
        if (rcPane.PtInRect(CPoint(x, y)))
            return i;
    }
    return -1;
}

// ---- colours and painting ----

void CExtStatusControlBar::UpdateColors()
{
    const COLORREF clrBackground = g_PaintManager->GetColor(CExtPaintManager::TC_FACE_NORMAL, this, 0);
    if (clrBackground != m_clrBackground)
    {
        m_clrBackground = clrBackground;
        if (m_hWnd != nullptr)
            CStatusBar::DefWindowProc(SB_SETBKCOLOR, 0, static_cast<LPARAM>(m_clrBackground));
    }
    m_clrText = g_PaintManager->GetColor(COLOR_BTNTEXT, this, 0);
    m_clrDisabledText = g_PaintManager->GetColor(COLOR_BTNSHADOW, this, 0);
}

void CExtStatusControlBar::OnPaint()
{
    if (m_nLocks & RedrawLocked)
        return;
    UpdateColors();
    CRect rcClient;
    GetClientRect(&rcClient);
    PAINTSTRUCT ps;
    CDC dcPaint;
    dcPaint.Attach(::BeginPaint(m_hWnd, &ps));
    CExtPaintManager::ExcludeVisibleChildren(dcPaint.GetSafeHdc(), m_hWnd,
                                             &CExtPaintManager::InheritedBackgroundChildFilter, 0);
    {
        CExtMemoryDC dc(&dcPaint, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
        PaintBackground(&dc, rcClient);
        const CRect rcGripper = GetGripperRect();
        if (!rcGripper.IsRectEmpty())
            dc.ExcludeClipRect(&rcGripper);
        const bool bToolkitPaints = (m_nOptions & OptToolkitPaints) != 0;
        HGDIOBJ hOldFont = nullptr;
        int nOldBkMode = 0;
        COLORREF clrOldText = 0;
        if (bToolkitPaints)
        {
            hOldFont = ::SelectObject(dc.GetSafeHdc(), g_PaintManager->FontNormal.GetSafeHandle());
            nOldBkMode = dc.SetBkMode(TRANSPARENT);
            clrOldText = dc.SetTextColor(m_clrText);
        }
        CRect rcPrev;
        for (int i = 0; i < GetPaneCount(); ++i)
        {
            const CRect rcPane = GetPaneRect(i);
            const UINT nStyle = GetPaneStyle(i);
            HICON hIcon = nullptr;
            if ((m_nOptions & OptNoPaneIcons) == 0)
                hIcon = reinterpret_cast<HICON>(CStatusBar::DefWindowProc(SB_GETICON, static_cast<WPARAM>(i), 0));
            const CString sText = GetPaneText(i);
            PaintPaneBackground(&dc, i, rcPane);
            PaintPane(&dc, i, rcPane, nStyle, hIcon, sText.IsEmpty() ? nullptr : static_cast<LPCTSTR>(sText),
                      GetPaneTextFormat(i));
            if (i > 0 && bToolkitPaints && (m_nOptions & OptPaneSeparators))
                PaintPaneSeparator(&dc, i, rcPrev, rcPane);
            rcPrev = rcPane;
        }
        if (bToolkitPaints)
        {
            dc.SetTextColor(clrOldText);
            dc.SetBkMode(nOldBkMode);
            ::SelectObject(dc.GetSafeHdc(), hOldFont);
        }
        if (!rcGripper.IsRectEmpty())
        {
            dc.SelectClipRgn(nullptr);
            PaintGripper(&dc, rcGripper);
        }
    }
    g_PaintManager->OnPaintSessionComplete(this, 0);
    dcPaint.Detach();
    ::EndPaint(m_hWnd, &ps);
}

void CExtStatusControlBar::PaintBackground(CDC* pDC, const CRect& rc)
{
    if ((m_nOptions & OptToolkitPaints) && g_PaintManager->IsBackgroundInherited(this, false) &&
        g_PaintManager->PaintInheritedBackground(true, *pDC, this, 0))
        return;
    pDC->FillSolidRect(&rc, m_clrBackground);
    if ((m_nOptions & OptToolkitPaints) == 0)
        CStatusBar::DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()), 0);
}

void CExtStatusControlBar::PaintPaneBackground(CDC*, int, const CRect&)
{
}

COLORREF CExtStatusControlBar::GetPaneTextColor(int) const
{
    return static_cast<COLORREF>(-1);
}

void CExtStatusControlBar::PaintPane(CDC* pDC, int nIndex, const CRect& rcPane, UINT nStyle, HICON hIcon,
                                     LPCTSTR lpszText, UINT nTextFormat)
{
    if (m_nOptions & OptToolkitPaints)
    {
        CRect rcText(rcPane);
        if (hIcon != nullptr)
        {
            // The handle stays the control's: borrowed for the paint only.
            CExtCmdIcon icon;
            icon.AssignFromHICON(hIcon, false);
            const CSize sizeIcon = icon.GetSize();
            icon.PaintState(*pDC, CPoint(rcPane.left + 1, rcPane.top + (rcPane.Height() - sizeIcon.cy) / 2),
                            CExtCmdIcon::PS_NORMAL);
            icon.DetachIcon(false);
            rcText.left += sizeIcon.cx + 1;
        }
        const bool bDisabled = (nStyle & SBPS_DISABLED) != 0;
        const bool bText =
            lpszText != nullptr && *lpszText != '\0' && !(bDisabled && (m_nOptions & OptHideDisabledText));
        rcText.DeflateRect(2, 0);
        if (bText && !rcText.IsRectEmpty())
        {
            COLORREF clr = GetPaneTextColor(nIndex);
            if (clr == static_cast<COLORREF>(-1) && bDisabled)
                clr = m_clrDisabledText;
            const COLORREF clrOld = clr != static_cast<COLORREF>(-1) ? pDC->SetTextColor(clr) : 0;
            pDC->DrawText(lpszText, static_cast<int>(std::strlen(lpszText)), &rcText, nTextFormat);
            if (clr != static_cast<COLORREF>(-1))
                pDC->SetTextColor(clrOld);
        }
    }
    if ((m_nOptions & (OptToolkitPaints | OptPaneSeparators)) != (OptToolkitPaints | OptPaneSeparators))
    {
        const bool bBorder = nIndex == 0 ? (m_nOptions & OptFirstPaneBorder) != 0 : (nStyle & SBPS_NOBORDERS) == 0;
        if (bBorder)
        {
            CExtPaintManager::StatusBarItemParams params(this, CExtPaintManager::StatusBarItemParams::KindPane, 0,
                                                         rcPane);
            g_PaintManager->PaintStatusBarItem(*pDC, params);
        }
    }
    if ((m_nOptions & OptToolkitPaints) == 0 && g_PaintManager.VisualStyles.IsAppThemed())
    {
        CRect rcFrame(rcPane);
        rcFrame.DeflateRect(1, 1);
        pDC->Draw3dRect(&rcFrame, m_clrBackground, m_clrBackground);
    }
}

void CExtStatusControlBar::PaintGripper(CDC* pDC, const CRect& rc)
{
    if ((m_nOptions & OptToolkitPaints) == 0)
        pDC->FillSolidRect(&rc, m_clrBackground);
    if (!IsGripperShown())
        return;
    CRect rcGripper(rc);
    rcGripper.OffsetRect(-1, -1);
    g_PaintManager->PaintResizingGripper(*pDC, rcGripper, this, 0);
}

void CExtStatusControlBar::PaintPaneSeparator(CDC* pDC, int nIndex, const CRect& rcPrev, const CRect& rcPane)
{
    const CRect rcGap(rcPrev.right, rcPane.top + 1, rcPane.left, rcPane.bottom - 1);
    g_PaintManager->PaintSeparator(*pDC, rcGap, true, true, this, nIndex);
}

void CExtStatusControlBar::OnNcPaint()
{
    UpdateColors();
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    ClientToScreen(&rcClient);
    rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
    rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
    CWindowDC dc(this);
    dc.ExcludeClipRect(&rcClient);
    CExtPaintManager::StatusBarItemParams params(this, CExtPaintManager::StatusBarItemParams::KindBarBorders,
                                                 GetBarStyle(), rcWindow);
    g_PaintManager->PaintStatusBarItem(dc, params);
}

// ---- messages ----

int CExtStatusControlBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CStatusBar::OnCreate(lpcs) == -1)
        return -1;
    EnableToolTips(TRUE);
    ModifyStyle(0, WS_CLIPCHILDREN);
    SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS | SWP_NOSENDCHANGING);
    UpdateColors();
    return 0;
}

LRESULT CExtStatusControlBar::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SB_SETTEXTA || message == SB_SETICON)
    {
        // The control would repaint the pane itself; the bar repaints once,
        // all of it, when the change is in.
        m_nLocks |= RedrawLocked;
        const LRESULT lResult = CStatusBar::DefWindowProc(message, wParam, lParam);
        m_nLocks &= ~RedrawLocked;
        if (m_hWnd != nullptr)
        {
            Invalidate(FALSE);
            UpdateWindow();
        }
        return lResult;
    }
    if (m_nLocks & RedrawLocked)
    {
        if (message == WM_PAINT)
            return 0;
        if (message == WM_ERASEBKGND)
            return 1;
    }
    return CStatusBar::DefWindowProc(message, wParam, lParam);
}

LRESULT CExtStatusControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CStatusBar::WindowProc(message, wParam, lParam);
    if (message == WM_SIZE)
        RepositionPaneControls();
    else if (CExtPaintManagerHolder::IsSysNotifyMessage(message))
    {
        g_PaintManager.RelaySysNotify(this, message, wParam, lParam);
        if (message == WM_SYSCOLORCHANGE || message == WM_SETTINGCHANGE)
            UpdateColors();
    }
    return lResult;
}

LRESULT CExtStatusControlBar::OnNcHitTest(CPoint point)
{
    const CRect rcGripper = GetGripperRect();
    if (!rcGripper.IsRectEmpty())
    {
        CPoint ptClient(point);
        ScreenToClient(&ptClient);
        if (rcGripper.PtInRect(ptClient))
            return (GetExStyle() & WS_EX_LAYOUTRTL) ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
    }
    const LRESULT nHit = CStatusBar::OnNcHitTest(point);
    return IsGripperShown() ? nHit : HTCLIENT;
}

void CExtStatusControlBar::OnContextMenu(CWnd* pWnd, CPoint point)
{
    if (CExtControlBar::IsFrameHelpMode(this))
        return;
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != nullptr && pFrame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
        pFrame = pFrame->GetParentFrame();
    if (pFrame == nullptr)
    {
        CStatusBar::OnContextMenu(pWnd, point);
        return;
    }
    CWnd* pOwner = GetOwner();
    if (pOwner == nullptr)
        pOwner = GetParent();
    CExtDockBar::TrackBarsPopupMenu(pFrame, pOwner, pOwner, 3, this, 123, point);
}

INT_PTR CExtStatusControlBar::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const
{
    if (CExtToolControlBar::g_bMenuTracking || IsPopupTrackingActive() || m_hWnd == nullptr)
        return -1;
    const int nIndex = HitTestPane(point.x, point.y);
    if (nIndex < 0)
        return -1;
    const UINT nID = GetPaneCommandID(nIndex);
    if (pTI != nullptr)
    {
        GetItemRect(nIndex, &pTI->rect);
        pTI->uId = nID;
        pTI->hwnd = m_hWnd;
        const CString sTip = GetPaneTipText(nIndex);
        if (sTip.IsEmpty())
            pTI->lpszText = LPSTR_TEXTCALLBACKA;
        else
        {
            // The caller frees the copy.
            const size_t nSize = static_cast<size_t>(sTip.GetLength()) + 1;
            pTI->lpszText = static_cast<LPSTR>(std::malloc(nSize));
            if (pTI->lpszText != nullptr)
                std::memcpy(pTI->lpszText, static_cast<LPCSTR>(sTip), nSize);
        }
    }
    return static_cast<INT_PTR>(nID);
}

void CExtStatusControlBar::OnMouseMove(UINT nFlags, CPoint point)
{
    CStatusBar::OnMouseMove(nFlags, point);
    // The framework asks OnToolHitTest but shows no tip: the bar shows its
    // panes' tips in the toolkit's shared tip window.
    const int nIndex = OnToolHitTest(point, nullptr) >= 0 ? HitTestPane(point.x, point.y) : -1;
    if (nIndex == m_nTipPane)
        return;
    m_nTipPane = nIndex;
    CExtPopupMenuTipWnd& tip = CExtPopupMenuWnd::GetTracker().GetTipWnd();
    const CString sTip = nIndex >= 0 ? GetPaneTipText(nIndex) : CString();
    if (sTip.IsEmpty())
    {
        if (tip.GetSafeHwnd() != nullptr && tip.IsWindowVisible())
            tip.Hide();
        return;
    }
    TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&tme);
    CRect rcPane;
    GetItemRect(nIndex, &rcPane);
    ClientToScreen(&rcPane);
    tip.SetTipType(CExtPopupMenuTipWnd::TipTypeRectAbove);
    tip.SetText(sTip);
    tip.Show(this, rcPane);
}

void CExtStatusControlBar::OnMouseLeave()
{
    m_nTipPane = -1;
    CStatusBar::OnMouseLeave();
}

void CExtStatusControlBar::RepositionPaneControls()
{
    if (m_hWnd == nullptr || m_arrPaneControls.IsEmpty())
        return;
    HDWP hDwp = ::BeginDeferWindowPos(static_cast<int>(m_arrPaneControls.GetSize()));
    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    for (INT_PTR i = 0; i < m_arrPaneControls.GetSize() && hDwp != nullptr; ++i)
    {
        const _STATUSBAR_PANE_CTRL_* pRecord = m_arrPaneControls[i];
        const int nIndex = CommandToIndex(pRecord->m_nID);
        if (nIndex < 0 || pRecord->m_hWnd == nullptr || !::IsWindow(pRecord->m_hWnd))
            continue;
        CRect rc = GetPaneRect(nIndex);
        if ((GetPaneStyle(nIndex) & SBPS_NOBORDERS) == 0 && (m_nOptions & OptPaneSeparators) == 0)
            rc.DeflateRect(cxEdge, cxEdge);
        else
            rc.DeflateRect(cxEdge, 1);
        hDwp = ::DeferWindowPos(hDwp, pRecord->m_hWnd, nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                                SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW |
                                    SWP_NOCOPYBITS);
    }
    if (hDwp != nullptr)
        ::EndDeferWindowPos(hDwp);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}
