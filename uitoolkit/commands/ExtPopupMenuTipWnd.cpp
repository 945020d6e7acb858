#include "uitoolkit/commands/ExtPopupMenuTipWnd.h"

#include "framework/win/AfxMsg.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CExtPopupMenuTipWnd, CExtPopupBaseWnd)

BEGIN_MESSAGE_MAP(CExtPopupMenuTipWnd, CExtPopupBaseWnd)
ON_WM_TIMER()
ON_WM_ACTIVATEAPP()
END_MESSAGE_MAP()

namespace
{

bool IsKeyDown(int nVirtKey)
{
    return (::GetAsyncKeyState(nVirtKey) & 0x8000) != 0;
}

} // namespace

CExtPopupMenuTipWnd::CExtPopupMenuTipWnd()
{
    // the tip never animates
    m_animation.Kind = CExtPopupAnimation::AnimationNone;
    ResetAnimation();
    // a copy: the shared system icon must outlive every tip
    m_icon.AssignFromHICON(::LoadIcon(nullptr, IDI_INFORMATION), true);
    if (!m_icon.IsEmpty())
        m_sizeIcon = CSize(16, 16);
}

void CExtPopupMenuTipWnd::SetText(LPCTSTR lpszText)
{
    m_sText = lpszText != nullptr ? lpszText : "";
    m_sText.TrimLeft();
    m_sText.TrimRight();
}

int CExtPopupMenuTipWnd::GetShadowSize()
{
    const int nSize = m_nShadowSizeOverride >= 0 ? m_nShadowSizeOverride : g_PaintManager->GetTipShadowSize();
    return nSize > 0 ? nSize : 0;
}

CSize CExtPopupMenuTipWnd::MeasureText()
{
    CClientDC dc(this);
    CFont* pOldFont = dc.SelectObject(&g_PaintManager->FontNormal);
    CRect rc(0, 0, 0, 0);
    dc.DrawText(m_sText, m_sText.GetLength(), &rc, DT_CALCRECT);
    dc.SelectObject(pOldFont);
    return rc.Size();
}

bool CExtPopupMenuTipWnd::Show(CWnd* pWndOwner, const RECT& rcArea)
{
    if (m_nTipType == TipTypeNone)
    {
        Hide();
        return true;
    }
    if (!CExtPopupTipGeometry::IsBalloon(m_nTipType) && !CExtPopupTipGeometry::IsRect(m_nTipType))
        return false;
    CRect rcNewArea(rcArea);
    rcNewArea.NormalizeRect();
    bool bQuick = false;
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
    {
        if (rcNewArea == m_rcExcludeArea)
            return true; // already shown there
        bQuick = IsWindowVisible() != FALSE;
        Hide();
    }
    const time_t tNow = ::time(nullptr);
    if (tNow - m_tLastShow <= 1)
        bQuick = true;
    m_tLastShow = tNow;
    const HWND hWndOwner = pWndOwner->GetSafeHwnd();
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd) && ::GetParent(m_hWnd) != hWndOwner)
    {
        Hide();
        DestroyWindow();
    }
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
    {
        const DWORD dwExStyle = WS_EX_TOPMOST | (g_PaintManager.OsFlags.Win2000OrLater ? WS_EX_NOINHERITLAYOUT : 0);
        if (!CreateEx(dwExStyle, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), "", WS_POPUP, 0, 0, 0, 0,
                      hWndOwner, nullptr))
            return false;
    }
    m_rcExcludeArea = rcNewArea;
    // the tip placement area is the monitor's work area
    CExtPaintManager::MonitorParams mp;
    CExtPaintManager::GetMonitorParamsFromPoint(mp, rcNewArea.TopLeft());
    const RECT& rcPlacement = mp.WorkArea;
    const CSize sizeText = MeasureText();
    const CSize sizeIcon = CExtPopupTipGeometry::ShowsIcon(m_nTipType) && !m_icon.IsEmpty() ? m_sizeIcon : CSize(0, 0);
    CExtPopupTipGeometry::Shape shape;
    POINT pt;
    CRgn rgnWindow;
    if (CExtPopupTipGeometry::IsBalloon(m_nTipType))
    {
        const POINT ptAnchor = CExtPopupTipGeometry::BalloonAnchor(rcNewArea);
        shape = CExtPopupTipGeometry::BalloonShape(m_nTipType, sizeText, sizeIcon, ptAnchor, rcPlacement);
        pt = CExtPopupTipGeometry::BalloonPosition(shape, ptAnchor, rcNewArea);
        CRgn rgnTail;
        if (!rgnWindow.CreateRoundRectRgn(shape.Body.left, shape.Body.top, shape.Body.right, shape.Body.bottom,
                                          CExtPopupTipGeometry::BalloonMarginX, CExtPopupTipGeometry::BalloonMarginY) ||
            !rgnTail.CreatePolygonRgn(shape.Tail, 3, ALTERNATE) ||
            rgnWindow.CombineRgn(&rgnWindow, &rgnTail, RGN_OR) == ERROR)
            rgnWindow.DeleteObject();
    }
    else
    {
        shape = CExtPopupTipGeometry::RectShape(m_nTipType, sizeText, sizeIcon, GetShadowSize());
        POINT ptCursor = {0, 0};
        int nCursorHeight = 0;
        ICONINFO ii = {};
        const HCURSOR hCursor = ::GetCursor();
        if (::GetCursorPos(&ptCursor) && rcNewArea.PtInRect(ptCursor) && hCursor != nullptr &&
            ::GetIconInfo(hCursor, &ii))
        {
            const CSize sizeCursor = CExtCmdIcon::GetIconSize(hCursor);
            nCursorHeight = g_PaintManager.OsFlags.WinXPOrLater ? sizeCursor.cy : std::min<int>(sizeCursor.cy, 16);
            if (ii.hbmMask != nullptr)
                ::DeleteObject(ii.hbmMask);
            if (ii.hbmColor != nullptr)
                ::DeleteObject(ii.hbmColor);
        }
        pt = CExtPopupTipGeometry::RectPosition(m_nTipType, shape, rcNewArea, ptCursor, nCursorHeight, rcPlacement);
        rgnWindow.CreateRectRgn(0, 0, shape.Window.cx, shape.Window.cy);
    }
    m_nMirror = shape.Mirror;
    m_ptTrack = pt;
    if (SetWindowRgn(static_cast<HRGN>(rgnWindow.GetSafeHandle()), FALSE))
        rgnWindow.Detach(); // the window owns the region now
    SetWindowPos(&wndTopMost, pt.x, pt.y, shape.Window.cx, shape.Window.cy, SWP_NOACTIVATE | SWP_HIDEWINDOW);
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    m_nShowDelay = bQuick ? SHOW_DELAY_QUICK : SHOW_DELAY;
    SetTimer(ID_TIMER_TIP_SHOW, m_nShowDelay);
    SetTimer(ID_TIMER_TIP_AREA, AREA_CHECK_PERIOD);
    SetTimer(ID_TIMER_TIP_HIDE, HIDE_CHECK_PERIOD);
    return true;
}

void CExtPopupMenuTipWnd::Hide()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
    {
        KillTimer(ID_TIMER_TIP_SHOW);
        KillTimer(ID_TIMER_TIP_AREA);
        KillTimer(ID_TIMER_TIP_HIDE);
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW | SWP_NOOWNERZORDER |
                         SWP_NOSENDCHANGING);
    }
    m_rcExcludeArea.SetRectEmpty();
    m_shadowTip.Reset();
    ReleaseScreenBeneath();
}

bool CExtPopupMenuTipWnd::ShouldHide() const
{
    return IsKeyDown(VK_LBUTTON) || IsKeyDown(VK_MBUTTON) || IsKeyDown(VK_RBUTTON) || IsKeyDown(VK_MENU) ||
           CExtControlBar::GetDraggedBar() != nullptr;
}

void CExtPopupMenuTipWnd::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent)
    {
    case ID_TIMER_TIP_SHOW:
        KillTimer(ID_TIMER_TIP_SHOW);
        CaptureScreenBeneath();
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOCOPYBITS |
                         SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
        Invalidate(FALSE);
        UpdateWindow();
        return;
    case ID_TIMER_TIP_AREA:
    {
        POINT pt;
        if (!::GetCursorPos(&pt) || !m_rcExcludeArea.PtInRect(pt))
            Hide();
        return;
    }
    case ID_TIMER_TIP_HIDE:
        if (ShouldHide())
            Hide();
        return;
    default: CExtPopupBaseWnd::OnTimer(nIDEvent); return;
    }
}

void CExtPopupMenuTipWnd::OnActivateApp(BOOL bActive, DWORD dwThreadID)
{
    Hide();
    CExtPopupBaseWnd::OnActivateApp(bActive, dwThreadID);
}

void CExtPopupMenuTipWnd::PaintFinished(CDC& dc, bool)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    CRect rcText(rcClient);
    const bool bIcon = CExtPopupTipGeometry::ShowsIcon(m_nTipType) && !m_icon.IsEmpty();
    const HICON hIcon = bIcon ? m_icon.GetIcon() : nullptr;
    UINT nFormat = 0;
    if (CExtPopupTipGeometry::IsBalloon(m_nTipType))
    {
        CRgn rgn;
        if (rgn.CreateRectRgn(0, 0, 0, 0) && GetWindowRgn(static_cast<HRGN>(rgn.GetSafeHandle())) != ERROR)
        {
            CBrush brBack(CExtPaintManager::SysColor(COLOR_INFOBK));
            CBrush brFace(CExtPaintManager::SysColor(COLOR_3DFACE));
            CBrush brDark(CExtPaintManager::SysColor(COLOR_3DDKSHADOW));
            dc.FillRgn(&rgn, &brBack);
            dc.FrameRgn(&rgn, &brFace, 3, 3);
            dc.FrameRgn(&rgn, &brDark, 1, 1);
        }
        const int nTop = (m_nMirror & CExtPopupTipGeometry::MirrorVert) != 0 ? CExtPopupTipGeometry::TailHeight : 0;
        rcText.left += CExtPopupTipGeometry::BalloonMarginX;
        rcText.top += CExtPopupTipGeometry::BalloonMarginY + nTop;
        if (m_nTipType == TipTypeBalloonIcon && hIcon != nullptr)
        {
            ::DrawIconEx(dc.GetSafeHdc(), CExtPopupTipGeometry::BalloonMarginX,
                         CExtPopupTipGeometry::BalloonMarginY + nTop, hIcon, m_sizeIcon.cx, m_sizeIcon.cy, 0, nullptr,
                         DI_NORMAL);
            rcText.left += m_sizeIcon.cx + CExtPopupTipGeometry::IconGap;
        }
    }
    else
    {
        const int s = GetShadowSize();
        if (s > 0)
        {
            rcText.right -= s;
            rcText.bottom -= s;
            CRect rcScreen(rcText);
            ClientToScreen(&rcScreen);
            m_shadowTip.Paint(dc, rcText, rcScreen, CRect(0, 0, 0, 0), s, 70, 95, true, true);
        }
        dc.FillSolidRect(&rcText, CExtPaintManager::SysColor(COLOR_INFOBK));
        dc.Draw3dRect(&rcText, CExtPaintManager::SysColor(COLOR_3DFACE), RGB(0, 0, 0));
        rcText.DeflateRect(CExtPopupTipGeometry::RectMarginX, CExtPopupTipGeometry::RectMarginY);
        if ((m_nTipType == TipTypeRectIconBelow || m_nTipType == TipTypeRectIconAbove) && hIcon != nullptr)
        {
            ::DrawIconEx(dc.GetSafeHdc(), rcText.left, rcText.top + (rcText.Height() - m_sizeIcon.cy) / 2, hIcon,
                         m_sizeIcon.cx, m_sizeIcon.cy, 0, nullptr, DI_NORMAL);
            rcText.left += m_sizeIcon.cx + CExtPopupTipGeometry::IconGap;
        }
        nFormat = DT_VCENTER;
    }
    const int nOldBkMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF clrOldText = dc.SetTextColor(g_PaintManager->GetColor(COLOR_INFOTEXT, this));
    CFont* pOldFont = dc.SelectObject(&g_PaintManager->FontNormal);
    dc.DrawText(m_sText, m_sText.GetLength(), &rcText, nFormat);
    dc.SelectObject(pOldFont);
    dc.SetTextColor(clrOldText);
    dc.SetBkMode(nOldBkMode);
}
