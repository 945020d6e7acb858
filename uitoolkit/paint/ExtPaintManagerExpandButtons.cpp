// The controls that reach hidden content: the chevron button at the end of
// a tool bar, the expand button at the bottom of a collapsed popup menu,
// the tear-off bar at a menu's top, and the height of the expand area.
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/core/ExtGlyphBitmap.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <algorithm>

namespace
{

using PM = CExtPaintManager;
using Glyph = CExtGlyphBitmap;

// The arrow (g1) and chevrons (g2) of a tool-bar expand button, with the
// XP family's one-pixel shift of the chevrons and exchanged vertical places.
void PaintToolBarExpandGlyphs(PM& pm, CDC& dc, CRect r, bool bHorz, bool bBarCompletelyVisible, bool bEnabled,
                              bool bPushed, const Glyph& g1, const Glyph& g2, bool bXp, bool bSwapVert,
                              CObject* pHelperSrc, LPARAM lParam)
{
    SIZE offset = {0, 0};
    pm.GetPushedContentOffset(&offset);
    CPoint pt1 = r.TopLeft(), pt2 = r.TopLeft();
    if (bPushed)
    {
        r.OffsetRect(offset.cx, offset.cy);
        pt1 = r.TopLeft() + CPoint(offset.cx, offset.cy);
        pt2 = pt1;
    }
    const int nGap = 3 * std::max<int>(1, bHorz ? offset.cy : offset.cx);
    const int w = r.Width(), h = r.Height();
    const int nShift = bXp ? 1 : 0;
    if (bHorz)
    {
        pt1.Offset((w - g1.GetSize().cx) / 2, h - g1.GetSize().cy - nGap);
        pt2.Offset((w - g2.GetSize().cx) / 2 + nShift, nGap);
    }
    else
    {
        pt1.Offset(nGap, (h - g1.GetSize().cy) / 2);
        pt2.Offset(w - g2.GetSize().cx - nGap, (h - g2.GetSize().cy) / 2 + nShift);
        if (bSwapVert)
            std::swap(pt1, pt2);
    }
    if (bEnabled)
    {
        const COLORREF colors[2] = {0, pm.GetColor(PM::TC_TEXT_NORMAL, pHelperSrc, lParam)};
        pm.PaintGlyph(dc, pt1.x, pt1.y, g1, colors);
        if (!bBarCompletelyVisible)
            pm.PaintGlyph(dc, pt2.x, pt2.y, g2, colors);
        return;
    }
    const COLORREF shadow[2] = {0, pm.GetColor(COLOR_3DSHADOW, pHelperSrc, lParam)};
    if (!bXp)
    {
        const COLORREF light[2] = {0, pm.GetColor(COLOR_3DHILIGHT, pHelperSrc, lParam)};
        pm.PaintGlyph(dc, pt1.x + 1, pt1.y + 1, g1, light);
    }
    pm.PaintGlyph(dc, pt1.x, pt1.y, g1, shadow);
}

// The whole tool-bar expand button: a flat push button and its glyphs.
void PaintToolBarExpand(PM& pm, CDC& dc, const RECT& rc, bool bHorz, bool bBarCompletelyVisible, bool bEnabled,
                        bool bPushed, bool bHover, bool bTransparentBackground, const Glyph& g1, const Glyph& g2,
                        bool bXp, bool bSwapVert, CObject* pHelperSrc, LPARAM lParam)
{
    CRect r(rc);
    r.NormalizeRect();
    if (!dc.RectVisible(&r))
        return;
    PM::PushButtonParams p(&pm, true, r, "", nullptr, true, bHover, bPushed, false, bEnabled, true, false, false, 5,
                           nullptr, false, 0, bTransparentBackground);
    pm.PaintPushButton(dc, p);
    PaintToolBarExpandGlyphs(pm, dc, r, bHorz, bBarCompletelyVisible, bEnabled, bPushed, g1, g2, bXp, bSwapVert,
                             pHelperSrc, lParam);
}

// The face of a menu expand button: a pushed-looking button while hot,
// else an empty menu row; r is narrowed by one on the left and right.
CRect PaintMenuExpandFace(PM& pm, CDC& dc, const RECT& rc, bool bHover, CObject* pOwner, bool bXp)
{
    CRect r(rc);
    r.DeflateRect(1, 0);
    if (bHover && !bXp)
    {
        dc.FillRect(&r, &pm.FillBrushes[0]);
        dc.Draw3dRect(&r, pm.GetColor(PM::TC_HILIGHT_NORMAL, pOwner), pm.GetColor(PM::TC_SHADOW_NORMAL, pOwner));
        return r;
    }
    if (bHover)
    {
        PM::PushButtonParams p(pOwner, true, r, "", nullptr, true, false, true, false, false, true, false, false, 5);
        pm.PaintPushButton(dc, p);
        SIZE offset = {0, 0};
        pm.GetPushedContentOffset(&offset);
        r.OffsetRect(offset.cx, offset.cy);
        return r;
    }
    int nIconArea = 0;
    if (bXp && pOwner != nullptr && pOwner->IsKindOf(RUNTIME_CLASS(CExtPopupMenuWnd)))
    {
        const CExtPopupMenuWnd* pPopup = static_cast<CExtPopupMenuWnd*>(pOwner);
        const int nCount = pPopup->ItemGetCount();
        if (nCount > 0 && !pPopup->GetItemAt(nCount - 1).IsToolButton())
            nIconArea = pPopup->GetItemAt(nCount - 1).m_nIconAreaWidth;
    }
    PM::MenuItemParams p(bXp ? pOwner : &pm, r, rc, nIconArea, "", "", nullptr, false, false, false, false, false, true,
                         false, false, false, 0, nullptr);
    pm.PaintMenuItem(dc, p);
    return r;
}

void PaintMenuExpandChevrons(PM& pm, CDC& dc, const RECT& rc, CObject* pOwner, LPARAM lParam)
{
    const COLORREF colors[2] = {0, pm.GetColor(PM::TC_TEXT_NORMAL, pOwner, lParam)};
    pm.PaintGlyphCentered(dc, rc, Glyph::GlyphExpandChevronsVert, colors);
}

// The XP tear-off band: 33 pixels of lines on every second row.
void PaintXpTearOff(PM& pm, CDC& dc, const RECT& rc, bool bHot, CObject* pOwner, LPARAM lParam)
{
    CRect r(rc);
    r.bottom -= 1;
    dc.FillSolidRect(&r, pm.GetColor(bHot ? PM::TC_FACE_ACTIVE : PM::TC_XP_FACE, pOwner, lParam));
    CRect band(r.left + (r.Width() - 33) / 2, r.top, 0, r.bottom);
    band.right = band.left + 33;
    if (bHot)
    {
        const COLORREF clrFrame = pm.GetColor(PM::TC_XP_HOT_BORDER, pOwner, lParam);
        dc.Draw3dRect(&r, clrFrame, clrFrame);
    }
    band.DeflateRect(0, bHot ? 2 : 1);
    const COLORREF clrLine = pm.GetColor(bHot ? COLOR_BTNTEXT : COLOR_3DSHADOW, pOwner, lParam);
    for (int y = band.top; y < band.bottom; y += 2)
        dc.FillSolidRect(band.left, y, 33, 1, clrLine);
}

// The bar of an Office 2003 expand button that gets the gradient bar end:
// an enabled button on a docked, themed tool bar of a true-colour DC.
CExtToolControlBar* GradientExpandBar(PM& pm, CDC& dc, bool bEnabled, CObject* pHelperSrc)
{
    if (!bEnabled || pHelperSrc == nullptr || !pHelperSrc->IsKindOf(RUNTIME_CLASS(CExtBarContentExpandButton)))
        return nullptr;
    CExtToolControlBar* pBar = static_cast<CExtBarContentExpandButton*>(pHelperSrc)->GetBar();
    if (pBar == nullptr || pBar->GetSafeHwnd() == nullptr || !pm.IsBackgroundInherited(pBar, false) ||
        PM::GetDcBitsPerPixel(dc) <= 8)
        return nullptr;
    if ((pBar->m_nToolBarOptions & CExtToolControlBar::TbOptXpExpandButton) != 0 || pBar->IsFloating() ||
        pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar)) || pBar->IsKindOf(RUNTIME_CLASS(CExtPanelControlBar)))
        return nullptr;
    const bool bDockedLook =
        pBar->m_pDockSite != nullptr && (pBar->m_nBarOptions & CExtControlBar::BarOptDockedLook) == 0;
    return bDockedLook || (pBar->m_nToolBarOptions & CExtToolControlBar::TbOptGradientUndocked) != 0 ? pBar : nullptr;
}

// A gradient from clrFirst at the top (bHorz) or left to clrSecond.
void PaintAcrossGradient(CDC& dc, const RECT& rc, bool bHorz, COLORREF clrFirst, COLORREF clrSecond)
{
    if (bHorz)
        PM::PaintGradientRect(dc, rc, clrSecond, clrFirst, true, 256);
    else
        PM::PaintGradientRect(dc, rc, clrFirst, clrSecond, false, 256);
}

// The gradient end of a docked Office 2003 tool bar, clipped to the bar's
// rounded corners; false when the clip region cannot be made.
bool PaintGradientToolBarExpand(PM& pm, CDC& dc, const RECT& rc, bool bHorz, bool bBarCompletelyVisible, bool bPushed,
                                bool bHover, CExtToolControlBar* pBar, const Glyph& g1, const Glyph& g2,
                                CObject* pHelperSrc, LPARAM lParam)
{
    CRect rcBar;
    pBar->GetClientRect(&rcBar);
    SIZE corner = {0, 0};
    pm.GetToolBarButtonExtraSpace(&corner);
    int nGlyphShift = 0;
    if (g_PaintManager.OsFlags.Win9x)
        for (LONG* pn : {&corner.cx, &corner.cy})
            if (*pn >= 1 && *pn <= 4)
            {
                *pn += 3;
                nGlyphShift = 2;
            }
    CRect r(rc);
    if (bHorz)
    {
        r.OffsetRect(rcBar.right - r.right, 0);
        r.SetRect(r.left + 1 - corner.cx, rcBar.top, r.right, rcBar.bottom - 1);
    }
    else
    {
        r.OffsetRect(0, rcBar.bottom - r.bottom);
        r.SetRect(rcBar.left, r.top + 1 - corner.cy, rcBar.right - 1, r.bottom);
    }
    CRect rcCut(rcBar);
    if (bHorz)
        rcCut.right = r.left + 1;
    else
        rcCut.bottom = r.top + 1;
    CRgn rgnClip, rgnCut;
    if (!rgnClip.CreateRoundRectRgn(rcBar.left, rcBar.top, rcBar.right, rcBar.bottom, corner.cx, corner.cy) ||
        !rgnCut.CreateRoundRectRgn(rcCut.left, rcCut.top, rcCut.right, rcCut.bottom, corner.cx, corner.cy) ||
        rgnClip.CombineRgn(&rgnClip, &rgnCut, RGN_DIFF) == ERROR)
        return false;
    dc.SelectClipRgn(&rgnClip);

    auto color = [&](int nIndex) { return pm.GetColor(nIndex, pHelperSrc, lParam); };
    if (bHover || bPushed)
    {
        CRect rcFill(r);
        rcFill.InflateRect(1, 1);
        if (bPushed)
            PaintAcrossGradient(dc, rcFill, bHorz, color(PM::TC_2003_CHEVRON_PRESSED_DARK),
                                color(PM::TC_2003_CHEVRON_PRESSED_LIGHT));
        else
            PaintAcrossGradient(dc, rcFill, bHorz, color(PM::TC_2003_CHEVRON_HOT_LIGHT),
                                color(PM::TC_2003_CHEVRON_HOT_DARK));
    }
    else if (pm.IsLunaSchemeUsed())
        PaintAcrossGradient(dc, r, bHorz, color(PM::TC_2003_CHEVRON_LIGHT), color(PM::TC_2003_CHEVRON_DARK));
    else
    {
        // Without a Luna scheme the gradient stops at three fifths.
        CRect rcGradient(r), rcSolid(r);
        if (bHorz)
            rcGradient.bottom = rcSolid.top = r.top + ::MulDiv(r.Height(), 3, 5);
        else
            rcGradient.right = rcSolid.left = r.left + ::MulDiv(r.Width(), 3, 5);
        PaintAcrossGradient(dc, rcGradient, bHorz, color(PM::TC_2003_CHEVRON_LIGHT), color(PM::TC_2003_CHEVRON_DARK));
        dc.FillSolidRect(&rcSolid, color(PM::TC_2003_CHEVRON_DARK));
    }

    SIZE offset = {0, 0};
    pm.GetPushedContentOffset(&offset);
    const int nGap = 3 * std::max<int>(1, bHorz ? offset.cy : offset.cx);
    const int w = r.Width(), h = r.Height();
    CPoint pt1 = r.TopLeft(), pt2 = r.TopLeft();
    if (bHorz)
    {
        pt1.Offset((w - g1.GetSize().cx) / 2 + 1, h - g1.GetSize().cy - nGap - 1 + nGlyphShift);
        pt2.Offset((w - g2.GetSize().cx) / 2 + 1, nGap + 1 + nGlyphShift);
    }
    else
    {
        pt1.Offset(nGap + 1 + nGlyphShift, (h - g1.GetSize().cy) / 2 + 1);
        pt2.Offset(w - g2.GetSize().cx - nGap - 1 + nGlyphShift, (h - g2.GetSize().cy) / 2 + 1);
        std::swap(pt1, pt2);
    }
    const COLORREF light[2] = {0, color(PM::TC_2003_CHEVRON_ARROW_LIGHT)};
    const COLORREF dark[2] = {0, color(PM::TC_2003_CHEVRON_ARROW_DARK)};
    pm.PaintGlyph(dc, pt1.x + 1, pt1.y + 1, g1, light);
    pm.PaintGlyph(dc, pt1.x, pt1.y, g1, dark);
    if (!bBarCompletelyVisible)
    {
        pm.PaintGlyph(dc, pt2.x + 1, pt2.y + 1, g2, light);
        pm.PaintGlyph(dc, pt2.x, pt2.y, g2, dark);
    }
    dc.SelectClipRgn(nullptr);
    return true;
}

} // namespace

// ---- tool-bar expand buttons ----

void CExtPaintManager::PaintToolBarExpandButton(CDC& dc, const RECT& rc, bool bHorz, bool bBarCompletelyVisible,
                                                bool bEnabled, bool bPushed, bool bHover, CObject* pHelperSrc,
                                                LPARAM lParam, bool bTransparentBackground)
{
    PaintToolBarExpand(*this, dc, rc, bHorz, bBarCompletelyVisible, bEnabled, bPushed, bHover, bTransparentBackground,
                       bHorz ? Glyph::GlyphDropDownArrow : Glyph::GlyphExpandArrowVert,
                       bHorz ? Glyph::GlyphExpandChevrons : Glyph::GlyphExpandChevronsVert, false, false, pHelperSrc,
                       lParam);
}

void CExtPaintManagerXP::PaintToolBarExpandButton(CDC& dc, const RECT& rc, bool bHorz, bool bBarCompletelyVisible,
                                                  bool bEnabled, bool bPushed, bool bHover, CObject* pHelperSrc,
                                                  LPARAM lParam, bool bTransparentBackground)
{
    PaintToolBarExpand(*this, dc, rc, bHorz, bBarCompletelyVisible, bEnabled, bPushed, bHover, bTransparentBackground,
                       *ExpandButtonGlyphs[bHorz ? 0 : 2], *ExpandButtonGlyphs[bHorz ? 1 : 3], true,
                       XpFlags.GradientExpandButton, pHelperSrc, lParam);
}

void CExtPaintManagerOffice2003::PaintToolBarExpandButton(CDC& dc, const RECT& rc, bool bHorz,
                                                          bool bBarCompletelyVisible, bool bEnabled, bool bPushed,
                                                          bool bHover, CObject* pHelperSrc, LPARAM lParam,
                                                          bool bTransparentBackground)
{
    CExtToolControlBar* pBar = GradientExpandBar(*this, dc, bEnabled, pHelperSrc);
    if (pBar != nullptr && PaintGradientToolBarExpand(*this, dc, rc, bHorz, bBarCompletelyVisible, bPushed, bHover,
                                                      pBar, *ExpandButtonGlyphs[bHorz ? 0 : 2],
                                                      *ExpandButtonGlyphs[bHorz ? 1 : 3], pHelperSrc, lParam))
        return;
    CExtPaintManagerXP::PaintToolBarExpandButton(dc, rc, bHorz, bBarCompletelyVisible, bEnabled, bPushed, bHover,
                                                 pHelperSrc, lParam, bTransparentBackground);
}

// ---- popup-menu expand buttons ----

void CExtPaintManager::PaintMenuExpandButton(CDC& dc, const RECT& rc, bool, bool bHover, CObject* pHelperSrc,
                                             LPARAM lParam)
{
    const CRect r = PaintMenuExpandFace(*this, dc, rc, bHover, pHelperSrc, false);
    PaintMenuExpandChevrons(*this, dc, r, pHelperSrc, lParam);
}

void CExtPaintManagerXP::PaintMenuExpandButton(CDC& dc, const RECT& rc, bool, bool bHover, CObject* pHelperSrc,
                                               LPARAM lParam)
{
    const CRect r = PaintMenuExpandFace(*this, dc, rc, bHover, pHelperSrc, true);
    PaintMenuExpandChevrons(*this, dc, r, pHelperSrc, lParam);
}

void CExtPaintManagerOffice2003::PaintMenuExpandButton(CDC& dc, const RECT& rc, bool bPushed, bool bHover,
                                                       CObject* pHelperSrc, LPARAM lParam)
{
    const bool bRTL = pHelperSrc != nullptr && pHelperSrc->IsKindOf(RUNTIME_CLASS(CExtPopupMenuWnd)) &&
                      static_cast<CExtPopupMenuWnd*>(pHelperSrc)->IsRightToLeft();
    CRect rg(rc);
    if ((rg.Width() & 1) != 0)
    {
        if (bRTL)
            rg.left += 1;
        else
            rg.right -= 1;
    }
    if (GetDcBitsPerPixel(dc) <= 8)
    {
        CExtPaintManagerXP::PaintMenuExpandButton(dc, rc, bPushed, bHover, pHelperSrc, lParam);
        return;
    }
    PaintMenuExpandFace(*this, dc, rc, bHover, pHelperSrc, true);
    // a shaded disc behind the chevrons; 255 leaves the pixel alone
    static const BYTE kDisc[16][16] = {
        {255, 255, 255, 255, 255, 234, 234, 198, 198, 198, 198, 255, 255, 255, 255, 255},
        {255, 255, 255, 234, 252, 252, 234, 234, 198, 180, 144, 144, 198, 255, 255, 255},
        {255, 255, 234, 252, 252, 252, 234, 234, 198, 180, 144, 126, 108, 180, 255, 255},
        {255, 234, 252, 252, 252, 252, 234, 234, 198, 180, 144, 126, 108, 108, 198, 255},
        {255, 234, 252, 252, 252, 252, 234, 198, 198, 180, 144, 126, 108, 90, 90, 255},
        {234, 234, 234, 234, 234, 234, 234, 198, 180, 180, 144, 126, 108, 90, 72, 180},
        {198, 234, 234, 234, 234, 234, 198, 198, 180, 144, 126, 108, 90, 90, 72, 108},
        {180, 198, 198, 198, 198, 198, 180, 180, 144, 126, 126, 108, 90, 72, 72, 72},
        {180, 180, 180, 180, 180, 180, 144, 144, 126, 126, 108, 90, 90, 72, 54, 54},
        {180, 144, 144, 144, 144, 144, 144, 126, 126, 108, 108, 90, 72, 54, 36, 90},
        {198, 126, 126, 126, 126, 126, 126, 126, 108, 90, 72, 54, 54, 36, 36, 126},
        {255, 126, 108, 108, 108, 108, 108, 72, 72, 54, 54, 36, 36, 18, 18, 255},
        {255, 198, 90, 90, 90, 72, 72, 54, 54, 36, 36, 18, 18, 0, 108, 255},
        {255, 255, 144, 54, 54, 54, 36, 36, 18, 18, 18, 0, 0, 54, 255, 255},
        {255, 255, 255, 126, 36, 36, 18, 18, 18, 0, 0, 0, 72, 255, 255, 255},
        {255, 255, 255, 255, 255, 90, 36, 18, 0, 0, 54, 255, 255, 255, 255, 255},
    };
    const COLORREF c1 = GetColor(TC_2003_ALT_LIGHT, pHelperSrc, lParam);
    const COLORREF c2 = GetColor(TC_2003_ALT_DARK, pHelperSrc, lParam);
    auto mix = [](int a2, int a1, int v) { return a2 - (a2 - a1) * v / 255; };
    const int x0 = rg.left + (rg.Width() - 16) / 2, y0 = rg.top + (rg.Height() - 16) / 2;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            const int v = kDisc[y][x];
            if (v != 255)
                dc.SetPixel(x0 + x, y0 + y,
                            RGB(mix(GetRValue(c2), GetRValue(c1), v), mix(GetGValue(c2), GetGValue(c1), v),
                                mix(GetBValue(c2), GetBValue(c1), v)));
        }
    PaintMenuExpandChevrons(*this, dc, rg, pHelperSrc, lParam);
}

int CExtPaintManager::GetMenuExpandButtonHeight()
{
    return ::GetSystemMetrics(SM_CYMENUCHECK);
}

int CExtPaintManagerOffice2003::GetMenuExpandButtonHeight()
{
    return std::max(CExtPaintManagerXP::GetMenuExpandButtonHeight(), 18);
}

// ---- tear-off bars ----

void CExtPaintManager::PaintMenuTearOffButton(CDC& dc, const RECT& rc, bool, bool, CObject* pHelperSrc, LPARAM lParam)
{
    CRect r(rc);
    r.left += 1;
    r.bottom -= 1;
    dc.FillSolidRect(&r, GetColor(COLOR_HIGHLIGHT, pHelperSrc, lParam));
}

void CExtPaintManagerXP::PaintMenuTearOffButton(CDC& dc, const RECT& rc, bool bHover, bool bPushed, CObject* pHelperSrc,
                                                LPARAM lParam)
{
    PaintXpTearOff(*this, dc, rc, bHover || bPushed, pHelperSrc, lParam);
}

void CExtPaintManagerOffice2003::PaintMenuTearOffButton(CDC& dc, const RECT& rc, bool bHover, bool bPushed,
                                                        CObject* pHelperSrc, LPARAM lParam)
{
    const bool bHot = bHover || bPushed;
    CRect r(rc);
    r.bottom -= 1;
    dc.FillSolidRect(&r, GetColor(bHot ? TC_FACE_ACTIVE : TC_XP_FACE, pHelperSrc, lParam));
    CRect band(r);
    band.DeflateRect(band.Width() - 72 < 10 ? 10 : 36, 0);
    band.DeflateRect(0, (band.Height() - 3) / 2);
    if (bHot)
    {
        const COLORREF clrFrame = GetColor(TC_XP_HOT_BORDER, pHelperSrc, lParam);
        dc.Draw3dRect(&r, clrFrame, clrFrame);
    }
    const COLORREF clrLight = GetColor(TC_2003_GRIPPER_LIGHT, pHelperSrc, lParam);
    const COLORREF clrDark = GetColor(TC_2003_GRIPPER_DARK, pHelperSrc, lParam);
    for (int x = band.left; x + 2 + 1 < band.right; x += 4)
    {
        dc.FillSolidRect(x + 1, band.top + 1, 2, 2, clrLight);
        dc.FillSolidRect(x, band.top, 2, 2, clrDark);
    }
}
