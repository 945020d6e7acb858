// Popup-menu borders and the area where a menu joins the button that opened
// it, status-bar borders and pane frames, and the metrics that shape docked
// bars, tool-bar rows and shadows.
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

namespace
{

bool IsMenuBar(CExtToolControlBar* pBar)
{
    return pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar));
}

// A rectangle moved out by n pixels on the menu's open edge (1 bottom, 2
// top, 3 left, 4 right).
void ExtendOnEdge(CRect& rc, int nEdge, int n)
{
    switch (nEdge)
    {
    case 1: rc.bottom += n; break;
    case 2: rc.top -= n; break;
    case 3: rc.left -= n; break;
    case 4: rc.right += n; break;
    }
}

// One ring of one-pixel lines, without the line on the open edge.
void PaintRingOpenOnEdge(CDC& dc, const CRect& rc, int nEdge, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    const int w = rc.Width(), h = rc.Height();
    if (nEdge != 2)
        dc.FillSolidRect(rc.left, rc.top, w - 1, 1, clrTopLeft);
    if (nEdge != 3)
        dc.FillSolidRect(rc.left, rc.top, 1, h - 1, clrTopLeft);
    if (nEdge != 4)
        dc.FillSolidRect(rc.left + w, rc.top, -1, h, clrBottomRight);
    if (nEdge != 1)
        dc.FillSolidRect(rc.left, rc.top + h, w, -1, clrBottomRight);
}

// The framework's control-bar borders in the theme's colours: the outer
// lines in clrOuter, the inner ones of a 3D border in clrInner. The
// rectangle has its origin at the window's top-left.
void PaintControlBarBorders(CDC& dc, DWORD dwStyle, const CRect& rcGiven, COLORREF clrInner, COLORREF clrOuter)
{
    if ((dwStyle & CBRS_BORDER_ANY) == 0)
        return;
    CRect rc(rcGiven);
    if ((dwStyle & CBRS_BORDER_3D) != 0)
    {
        --rc.right;
        --rc.bottom;
    }
    if ((dwStyle & CBRS_BORDER_TOP) != 0)
        rc.top += afxData.cyBorder2;
    if ((dwStyle & CBRS_BORDER_BOTTOM) != 0)
        rc.bottom -= afxData.cyBorder2;
    if ((dwStyle & CBRS_BORDER_LEFT) != 0)
        dc.FillSolidRect(0, rc.top, 1, rc.Height(), clrOuter);
    if ((dwStyle & CBRS_BORDER_TOP) != 0)
        dc.FillSolidRect(0, 0, rcGiven.right, 1, clrOuter);
    if ((dwStyle & CBRS_BORDER_RIGHT) != 0)
        dc.FillSolidRect(rc.right, rc.top, -1, rc.Height(), clrOuter);
    if ((dwStyle & CBRS_BORDER_BOTTOM) != 0)
        dc.FillSolidRect(0, rc.bottom, rcGiven.right, -1, clrOuter);
    if ((dwStyle & CBRS_BORDER_3D) == 0)
        return;
    if ((dwStyle & CBRS_BORDER_LEFT) != 0)
        dc.FillSolidRect(1, rc.top, 1, rc.Height(), clrInner);
    if ((dwStyle & CBRS_BORDER_TOP) != 0)
        dc.FillSolidRect(0, 1, rcGiven.right, 1, clrInner);
    if ((dwStyle & CBRS_BORDER_RIGHT) != 0)
        dc.FillSolidRect(rcGiven.right, rc.top, -1, rc.Height(), clrInner);
    if ((dwStyle & CBRS_BORDER_BOTTOM) != 0)
        dc.FillSolidRect(0, rcGiven.bottom, rcGiven.right, -1, clrInner);
}

} // namespace

// ---- metrics ----

COLORREF CExtPaintManager::GetShadowColor()
{
    return static_cast<COLORREF>(-1);
}

COLORREF CExtPaintManagerOffice2003::GetShadowColor()
{
    COLORREF clrBase = 0;
    if (!IsLunaSchemeUsed() || !GetLunaBaseColors(&clrBase, nullptr))
        return static_cast<COLORREF>(-1);
    return AdjustColorHls(clrBase, 0, -0.6, 0.5);
}

void CExtPaintManager::AdjustBarClientRect(CExtControlBar* pBar, RECT* pRect)
{
    if (pBar == nullptr || pRect == nullptr)
        return;
    if (pBar->IsDockedVertically())
        ::InflateRect(pRect, -1, -3);
    else
        ::InflateRect(pRect, -3, -1);
}

void CExtPaintManagerOffice2003::AdjustBarClientRect(CExtControlBar* pBar, RECT* pRect)
{
    if (pBar == nullptr || pRect == nullptr || GetScreenBitsPerPixel() > 8)
        return;
    CExtPaintManagerXP::AdjustBarClientRect(pBar, pRect);
    if (pBar->IsDockedVertically())
        ::InflateRect(pRect, 0, 2);
    else
        ::InflateRect(pRect, 2, 0);
}

int CExtPaintManager::GetToolBarRowGap(CExtToolControlBar* pBar)
{
    return IsMenuBar(pBar) ? 0 : 6;
}

int CExtPaintManagerOffice2003::GetToolBarRowGap(CExtToolControlBar* pBar)
{
    if (pBar != nullptr && pBar->IsFloating() &&
        (pBar->m_nToolBarOptions & CExtToolControlBar::TbOptXpExpandButton) == 0 && GetScreenBitsPerPixel() > 8)
        return 0;
    return CExtPaintManagerXP::GetToolBarRowGap(pBar);
}

bool CExtPaintManager::HasToolBarRowBackground(CExtToolControlBar*)
{
    return false;
}

bool CExtPaintManagerOffice2003::HasToolBarRowBackground(CExtToolControlBar* pBar)
{
    if (pBar == nullptr || (pBar->m_nToolBarOptions & CExtToolControlBar::TbOptXpExpandButton) != 0 ||
        pBar->m_pDockBar == nullptr || IsMenuBar(pBar) || pBar->IsKindOf(RUNTIME_CLASS(CExtPanelControlBar)) ||
        !pBar->IsFloating() || GetScreenBitsPerPixel() <= 8)
        return false;
    return (pBar->m_pDockSite != nullptr && (pBar->m_nBarOptions & CExtControlBar::BarOptDockedLook) == 0) ||
           (pBar->m_nToolBarOptions & CExtToolControlBar::TbOptGradientUndocked) != 0;
}

int CExtPaintManager::GetTipShadowSize()
{
    return 3;
}

int CExtPaintManager::GetPopupShadowSize()
{
    return 4;
}

// ---- menu borders ----

void CExtPaintManager::PaintMenuBorder(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam)
{
    CRect r(rc);
    if (r.IsRectEmpty())
        return;
    const COLORREF clrFace = GetColor(TC_FACE_NORMAL, pHelperSrc, lParam);
    dc.Draw3dRect(&r, clrFace, GetColor(TC_DKSHADOW_NORMAL, pHelperSrc, lParam));
    r.DeflateRect(1, 1);
    dc.Draw3dRect(&r, GetColor(TC_HILIGHT_NORMAL, pHelperSrc, lParam), GetColor(TC_SHADOW_NORMAL, pHelperSrc, lParam));
    for (int i = 0; i < 2; ++i)
    {
        r.DeflateRect(1, 1);
        dc.Draw3dRect(&r, clrFace, clrFace);
    }
}

void CExtPaintManagerXP::PaintMenuBorder(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam)
{
    const CRect r(rc);
    if (r.IsRectEmpty())
        return;
    const COLORREF clr = GetColor(TC_XP_GRIPPER, pHelperSrc, lParam);
    dc.Draw3dRect(&r, clr, clr);
}

// The popup menu's own colours are asked without the popup: the theme's
// colours do not depend on it.
void CExtPaintManager::PaintMenuCombinedArea(CDC& dc, const RECT& rcOuter, const RECT& rcInner, int nEdge,
                                             CExtPopupMenuWnd*, LPARAM lParam)
{
    CRect rcArea(rcOuter);
    if (rcArea.IsRectEmpty())
        return;
    dc.SelectClipRgn(nullptr);
    const int e = GetMenuBorderSize() - 1;
    ExtendOnEdge(rcArea, nEdge, e);
    dc.FillSolidRect(&rcArea, GetColor(TC_FACE_NORMAL, nullptr, lParam));
    ExtendOnEdge(rcArea, nEdge, e);
    CRect rcGap(rcInner);
    if (nEdge == 1 || nEdge == 2)
        rcGap.DeflateRect(e, 0);
    else
        rcGap.DeflateRect(0, e);
    dc.ExcludeClipRect(&rcGap);
    PaintRingOpenOnEdge(dc, rcArea, nEdge, GetColor(TC_FACE_NORMAL, nullptr, lParam),
                        GetColor(TC_SHADOW_NORMAL, nullptr, lParam));
    rcArea.DeflateRect(1, 1);
    PaintRingOpenOnEdge(dc, rcArea, nEdge, GetColor(TC_HILIGHT_NORMAL, nullptr, lParam),
                        GetColor(TC_DKSHADOW_NORMAL, nullptr, lParam));
    dc.SelectClipRgn(nullptr);
}

void CExtPaintManagerXP::PaintMenuCombinedArea(CDC& dc, const RECT& rcOuter, const RECT& rcInner, int nEdge,
                                               CExtPopupMenuWnd*, LPARAM lParam)
{
    const CRect rcArea(rcOuter);
    if (rcArea.IsRectEmpty())
        return;
    dc.FillSolidRect(&rcArea, GetColor(TC_XP_FACE, nullptr, lParam));
    CRect rcFrame(rcArea);
    ExtendOnEdge(rcFrame, nEdge, 1);
    CRect rcGap(rcInner);
    rcGap.DeflateRect(1, 1);
    dc.ExcludeClipRect(&rcGap);
    const COLORREF clr = GetColor(TC_XP_GRIPPER, nullptr, lParam);
    dc.Draw3dRect(&rcFrame, clr, clr);
    dc.SelectClipRgn(nullptr);
}

namespace
{

// The tool bar a popup menu is joined to: a popup opened from a bar button
// carries the bar as its combined-area cookie.
CExtToolControlBar* CombinedToolBar(CExtPopupMenuWnd* pPopup)
{
    if (pPopup == nullptr)
        return nullptr;
    CObject* pCookie = static_cast<CObject*>(pPopup->GetCombinedCookie());
    if (pCookie == nullptr || !pCookie->IsKindOf(RUNTIME_CLASS(CExtToolControlBar)))
        return nullptr;
    return static_cast<CExtToolControlBar*>(pCookie);
}

// A chevron's pressed look reaches into the menu's corner beside it; the
// rest of the join is the chevron's own picture.
void PaintExpandButtonCorner(CExtPaintManagerOffice2003& pm, CDC& dc, const CRect& r, int nEdge,
                             CExtPopupMenuWnd* pPopup, LPARAM lParam)
{
    if (pm.IsLunaSchemeUsed())
        return;
    SIZE sizeExtra;
    pm.GetToolBarButtonExtraSpace(&sizeExtra);
    const int cx = sizeExtra.cx, cy = sizeExtra.cy;
    const COLORREF clr = pm.GetColor(CExtColorTable::TC_2003_CHEVRON_PRESSED_LIGHT, pPopup, lParam);
    switch (nEdge)
    {
    case 1: dc.FillSolidRect(r.right - cx - 2, r.bottom - cy - 1, cx + 2, cy, clr); break;
    case 2:
        dc.FillSolidRect(r.right - cx - 2, r.top + 1, cx + 2, cy, clr);
        dc.FillSolidRect(r.right - cx, r.bottom - cy - 1, cx, cy, clr);
        break;
    case 3: dc.FillSolidRect(r.right - cx, r.bottom - cy - 1, cx, cy, clr); break;
    case 4: dc.FillSolidRect(r.right - cx - 2, r.bottom - cy, cx + 1, cy, clr); break;
    }
}

} // namespace

// A menu opened by a button shows the button's light face where the two
// join, with a gap in the frame where the button's inside crosses it; a
// sub-menu not opened from such a button only borrows the menu's face.
void CExtPaintManagerOffice2003::PaintMenuCombinedArea(CDC& dc, const RECT& rcOuter, const RECT& rcInner, int nEdge,
                                                       CExtPopupMenuWnd* pPopup, LPARAM lParam)
{
    const CRect rcArea(rcOuter);
    if (rcArea.IsRectEmpty())
        return;
    CExtToolControlBar* pBar = GetScreenBitsPerPixel() > 8 ? CombinedToolBar(pPopup) : nullptr;
    CExtBarButton* pTracked = pBar != nullptr ? pBar->GetButton(pBar->GetMenuTrackingButton()) : nullptr;
    if (pBar != nullptr)
    {
        const bool bLooseBar =
            pBar->m_pDockSite == nullptr || (pBar->m_nBarOptions & CExtControlBar::BarOptDockedLook) != 0;
        if (bLooseBar && (pBar->m_nToolBarOptions & CExtToolControlBar::TbOptGradientUndocked) == 0)
        {
            CExtPaintManagerXP::PaintMenuCombinedArea(dc, rcOuter, rcInner, nEdge, pPopup, lParam);
            return;
        }
        if (pTracked != nullptr && pTracked->IsKindOf(RUNTIME_CLASS(CExtBarContentExpandButton)) && !IsMenuBar(pBar))
        {
            PaintExpandButtonCorner(*this, dc, rcArea, nEdge, pPopup, lParam);
            return;
        }
    }
    CRect rcFrame(rcArea);
    ExtendOnEdge(rcFrame, nEdge, 1);
    CRect rcGap(rcInner);
    rcGap.DeflateRect(1, 1);
    const bool bFromIconButton =
        pTracked != nullptr && pTracked->GetCmdIcon() != nullptr && !pTracked->GetCmdIcon()->IsEmpty();
    const bool bSubMenu = pPopup != nullptr && pPopup->IsSubMenuOfPopupMenu();
    if (IsMenuBar(pBar) || bFromIconButton || !bSubMenu)
    {
        dc.ExcludeClipRect(&rcGap);
        dc.FillSolidRect(&rcFrame, GetColor(TC_XP_LIGHT_FACE, pPopup, lParam));
        const COLORREF clr = GetColor(TC_XP_GRIPPER, pPopup, lParam);
        dc.Draw3dRect(&rcFrame, clr, clr);
    }
    else
    {
        if (nEdge == 4)
        {
            rcFrame.right -= 2;
            rcGap.right -= 2;
        }
        else if (nEdge == 3)
        {
            rcFrame.left += 1;
            rcGap.left += 1;
        }
        dc.ExcludeClipRect(&rcGap);
        dc.FillSolidRect(&rcFrame, GetColor(TC_XP_FACE, pPopup, lParam));
        dc.SelectClipRgn(nullptr);
        const COLORREF clr = GetColor(TC_XP_GRIPPER, pPopup, lParam);
        dc.Draw3dRect(&rcFrame, clr, clr);
    }
    dc.SelectClipRgn(nullptr);
}

// ---- status bars ----

void CExtPaintManager::PaintStatusBarItem(CDC& dc, StatusBarItemParams& params)
{
    if (params.Kind == StatusBarItemParams::KindPane)
    {
        dc.Draw3dRect(&params.Rect, GetColor(TC_SHADOW_NORMAL, params.Owner, params.LParam),
                      GetColor(TC_HILIGHT_NORMAL, params.Owner, params.LParam));
        return;
    }
    const COLORREF clrFace = GetColor(TC_FACE_NORMAL, params.Owner, params.LParam);
    PaintControlBarBorders(dc, params.Style, params.Rect, clrFace, clrFace);
}

void CExtPaintManagerXP::PaintStatusBarItem(CDC& dc, StatusBarItemParams& params)
{
    if (params.Kind != StatusBarItemParams::KindPane)
    {
        CExtPaintManager::PaintStatusBarItem(dc, params);
        return;
    }
    const COLORREF clr = GetColor(COLOR_3DSHADOW, params.Owner, params.LParam);
    dc.Draw3dRect(&params.Rect, clr, clr);
}

void CExtPaintManagerOffice2003::PaintStatusBarItem(CDC& dc, StatusBarItemParams& params)
{
    if (params.Kind != StatusBarItemParams::KindPane)
    {
        CExtPaintManagerXP::PaintStatusBarItem(dc, params);
        return;
    }
    const COLORREF clr = GetColor(TC_2003_SEPARATOR, params.Owner, params.LParam);
    dc.Draw3dRect(&params.Rect, clr, clr);
}
