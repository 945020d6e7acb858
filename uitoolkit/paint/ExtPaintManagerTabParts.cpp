// Tab strips (items, the strip area, the part buttons, margins) and the
// caption buttons of control bars.
#include "uitoolkit/core/ExtGlyphBitmap.h"
#include "uitoolkit/docking/ExtDynTabControlBar.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include "framework/win/FrameWnd.h"

#include <algorithm>

namespace
{

const COLORREF kNoColor = static_cast<COLORREF>(-1);
const COLORREF kSelectedTabFace = RGB(252, 252, 254);
const DWORD kTabStyleGrouped = 0x80;
const DWORD kTabStyleNoIcons = 0x800000;

COLORREF Pick(COLORREF clrForced, COLORREF clrDefault)
{
    return clrForced != kNoColor ? clrForced : clrDefault;
}

const CExtGlyphBitmap& Glyph(int nIndex)
{
    return *CExtGlyphBitmap::g_GlyphTable[nIndex >= 0 && nIndex < CExtGlyphBitmap::GLYPH_COUNT ? nIndex : 0];
}

void LineSolid(CDC& dc, int x1, int y1, int x2, int y2, COLORREF clr)
{
    CPen pen(PS_SOLID, 1, clr);
    CPen* pOld = dc.SelectObject(&pen);
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
    dc.SelectObject(pOld);
}

// Icon and text of a tab inside its content rectangle.
void PaintTabContent(CExtPaintManager& pm, CDC& dc, CRect rcContent, bool bHorizontal, bool bCenterText, bool bGrouped,
                     bool bCenterLoneIcon, bool bBottomUpText, CSize sizeText, CFont* pFont, const CString& sText,
                     CExtCmdIcon* pIcon, CExtTabWnd* pTabWnd, COLORREF clrText)
{
    const bool bIcon = pIcon != nullptr && !pIcon->IsEmpty() &&
                       (pTabWnd == nullptr || (pTabWnd->GetTabWndStyle() & kTabStyleNoIcons) == 0);
    CSize sizeIcon(0, 0);
    CRect rcIcon(rcContent.TopLeft(), CSize(0, 0));
    if (bIcon)
    {
        sizeIcon = pIcon->GetSize();
        rcIcon = CRect(rcContent.TopLeft(), sizeIcon);
        if (bHorizontal)
            rcIcon.OffsetRect(0, (rcContent.Height() - sizeIcon.cy) / 2);
        else
            rcIcon.OffsetRect((rcContent.Width() - sizeIcon.cx) / 2, 0);
    }
    CRect rcText = rcContent;
    if (bHorizontal)
        rcText.left += sizeIcon.cx > 0 ? sizeIcon.cx + 3 : sizeIcon.cx;
    else
    {
        rcText.top += sizeIcon.cy > 0 ? sizeIcon.cy + 3 : sizeIcon.cy;
        const int nWidth = rcContent.Width() + 6;
        if (bBottomUpText)
            rcText.left = rcText.right - nWidth;
        else
            rcText.right = rcText.left + nWidth;
    }
    const bool bTextRoom = rcText.Width() > 0 && rcText.Height() > 0;
    if (bIcon && !bTextRoom && (!bGrouped || bCenterLoneIcon))
    {
        if (bHorizontal)
            rcIcon.OffsetRect((rcContent.Width() - sizeIcon.cx) / 2, 0);
        else
            rcIcon.OffsetRect(0, (rcContent.Height() - sizeIcon.cy) / 2);
    }
    if (bIcon && (bHorizontal ? rcIcon.Width() >= sizeIcon.cx : rcIcon.Height() >= sizeIcon.cy))
    {
        rcIcon.OffsetRect(-4, -1);
        CRect rcCaption = rcIcon;
        pm.PaintIcon(dc, true, sText, pIcon, rcIcon, rcCaption, false, true, false, 0, false, kNoColor);
    }
    if (!bTextRoom || sText.IsEmpty())
        return;
    const COLORREF clrOldText = dc.SetTextColor(clrText);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    CFont* pOldFont = pFont != nullptr ? dc.SelectObject(pFont) : nullptr;
    if (bHorizontal)
        dc.DrawText(sText, &rcText, DT_END_ELLIPSIS | DT_VCENTER | DT_SINGLELINE | (bCenterText ? DT_CENTER : 0));
    else
    {
        rcText.OffsetRect(bBottomUpText ? sizeText.cy / 2 : -sizeText.cy / 2, 0);
        const UINT nOldAlign = dc.GetTextAlign();
        if (bCenterText)
        {
            dc.SetTextAlign(TA_CENTER | TA_BASELINE);
            dc.ExtTextOut(rcText.CenterPoint().x, rcText.CenterPoint().y, ETO_CLIPPED, &rcText, sText, nullptr);
        }
        else
        {
            dc.SetTextAlign(TA_BASELINE);
            const int y = bBottomUpText ? rcText.top + sizeText.cx - 4 : rcText.top + 4;
            dc.ExtTextOut(rcText.CenterPoint().x, y, ETO_CLIPPED, &rcText, sText, nullptr);
        }
        dc.SetTextAlign(nOldAlign);
    }
    if (pOldFont != nullptr)
        dc.SelectObject(pOldFont);
    dc.SetBkMode(nOldMode);
    dc.SetTextColor(clrOldText);
}

// The tab window sits where the Office 2003 background runs on under it.
bool IsTabOnThemedBackground(CExtTabWnd* pTabWnd, int nBitsPerPixel)
{
    if (pTabWnd == nullptr || !pTabWnd->IsKindOf(RUNTIME_CLASS(CExtTabWnd)) || nBitsPerPixel <= 8)
        return false;
    return pTabWnd->IsPlacedInParent() || pTabWnd->IsMdiTabWnd() || pTabWnd->IsKindOf(RUNTIME_CLASS(CExtDynTabWnd)) ||
           pTabWnd->IsKindOf(RUNTIME_CLASS(CExtDynAutoHideArea));
}

// The inherited background, else the frame gradient over the parent's client area.
void PaintTabStripBackground(CExtPaintManager& pm, CDC& dc, const CRect& rcClient, CExtTabWnd* pTabWnd)
{
    if (pm.PaintInheritedBackground(true, dc, pTabWnd, 0))
        return;
    CWnd* pParent = pTabWnd->GetParentFrame();
    if (pParent == nullptr)
        pParent = pTabWnd->GetParent();
    if (pParent == nullptr)
        return;
    CRect rcParent;
    pParent->GetClientRect(&rcParent);
    ::MapWindowPoints(pParent->m_hWnd, pTabWnd->m_hWnd, reinterpret_cast<LPPOINT>(&rcParent), 2);
    pm.PaintFrameBackground(true, dc, rcParent, rcClient, 0);
}

// The one-pixel line of the near-border area that faces the items.
CRect NearBorderEdge(const CRect& rcNear, DWORD dwOrientation)
{
    switch (dwOrientation)
    {
    case 0: return CRect(rcNear.left, rcNear.top, rcNear.right, rcNear.top + 1);
    case 1: return CRect(rcNear.left, rcNear.bottom - 1, rcNear.right, rcNear.bottom);
    case 2: return CRect(rcNear.left, rcNear.top, rcNear.left + 1, rcNear.bottom);
    default: return CRect(rcNear.right - 1, rcNear.top, rcNear.right, rcNear.bottom);
    }
}

void PaintXpBarNcButton(CExtPaintManager& pm, CDC& dc, const CExtPaintManager::BarNcButtonParams& p)
{
    if (p.ButtonRect.IsRectEmpty())
        return;
    const bool bHot = p.IsHovered() || p.Pushed;
    COLORREF clrGlyph;
    if (!p.Enabled)
        clrGlyph = pm.GetColor(COLOR_3DSHADOW, p.Owner, p.LParam);
    else if (bHot)
        clrGlyph = RGB(0, 0, 0);
    else
        clrGlyph = pm.GetColor(p.OnCaption && !p.ActiveBar ? COLOR_3DDKSHADOW : COLOR_HIGHLIGHTTEXT, p.Owner, p.LParam);
    CRect rc = p.ButtonRect;
    rc.NormalizeRect();
    if (bHot)
    {
        dc.FillSolidRect(&rc,
                         pm.GetColor(p.Pushed ? CExtPaintManager::TC_XP_PRESSED_FACE : CExtPaintManager::TC_FACE_ACTIVE,
                                     p.Owner, p.LParam));
        CRect rcFrame = rc;
        rcFrame.InflateRect(1, 1);
        const COLORREF clrFrame = pm.GetColor(
            p.ActiveBar ? CExtPaintManager::TC_XP_PRESSED_FACE : CExtPaintManager::TC_XP_HOT_BORDER, p.Owner, p.LParam);
        dc.Draw3dRect(&rcFrame, clrFrame, clrFrame);
    }
    if (rc.Width() % 2 != 0)
        ++rc.left;
    if (rc.Height() % 2 != 0)
        ++rc.top;
    int nGlyph = p.GlyphIndex;
    if (nGlyph == CExtGlyphBitmap::GlyphClose && p.OnCaption && !p.FloatingBar)
        nGlyph = CExtGlyphBitmap::GlyphCloseThin;
    const COLORREF colors[2] = {RGB(0, 0, 0), clrGlyph};
    pm.PaintGlyphCentered(dc, rc, Glyph(nGlyph), colors);
}

} // namespace

void CExtPaintManager::GetTabStripColors(COLORREF* pClrText, COLORREF* pClrFace, COLORREF* pClrLight,
                                         COLORREF* pClrDark, CExtTabWnd* pTabWnd, LPARAM lParam)
{
    if (pClrText != nullptr)
        *pClrText = GetColor(COLOR_BTNTEXT, pTabWnd, lParam);
    if (pClrFace != nullptr)
        *pClrFace = GetColor(TC_FACE_NORMAL, pTabWnd, lParam);
    if (pClrLight != nullptr)
        *pClrLight = GetColor(COLOR_3DHILIGHT, pTabWnd, lParam);
    if (pClrDark != nullptr)
        *pClrDark = GetColor(COLOR_3DDKSHADOW, pTabWnd, lParam);
}

void CExtPaintManagerStudio2005::GetTabStripColors(COLORREF* pClrText, COLORREF* pClrFace, COLORREF* pClrLight,
                                                   COLORREF* pClrDark, CExtTabWnd* pTabWnd, LPARAM lParam)
{
    if (pClrText != nullptr)
        *pClrText = GetColor(COLOR_BTNTEXT, pTabWnd, lParam);
    if (pClrFace != nullptr)
        *pClrFace = GetColor(COLOR_3DHILIGHT, pTabWnd, lParam);
    if (pClrLight != nullptr)
        *pClrLight = GetColor(COLOR_3DSHADOW, pTabWnd, lParam);
    if (pClrDark != nullptr)
        *pClrDark = GetColor(COLOR_3DSHADOW, pTabWnd, lParam);
}

void CExtPaintManager::PaintTabItem(CDC& dc, const CRect&, bool bTopOrLeft, bool bHorizontal, bool bSelected,
                                    bool bCenterText, bool bGrouped, bool bCenterLoneIcon, bool bBottomUpText,
                                    const CRect& rcItem, CSize sizeTextMeasured, int, CFont* pFont,
                                    const CString& sText, CExtCmdIcon* pIcon, CExtTabWnd* pTabWnd, LONG nItemIndex,
                                    COLORREF clrForceText, COLORREF clrForceTabBk, COLORREF clrForceTabBorderLT,
                                    COLORREF clrForceTabBorderRB, COLORREF clrForceTabSeparator)
{
    const bool bXp = IsKindOf(RUNTIME_CLASS(CExtPaintManagerXP));
    const LPARAM lParam = nItemIndex;
    const COLORREF clrText = Pick(clrForceText, GetColor(bSelected || bGrouped ? COLOR_BTNTEXT
                                                         : bXp                 ? COLOR_3DSHADOW
                                                                               : COLOR_3DHILIGHT,
                                                         pTabWnd, lParam));
    const COLORREF clrBk = Pick(clrForceTabBk, GetColor(!bXp || bGrouped ? COLOR_3DFACE : TC_XP_FACE, pTabWnd, lParam));
    const COLORREF clrLight =
        Pick(clrForceTabBorderLT, GetColor(bGrouped ? COLOR_3DSHADOW : COLOR_3DHILIGHT, pTabWnd, lParam));
    const COLORREF clrDark =
        Pick(clrForceTabBorderRB, GetColor(bGrouped ? COLOR_3DSHADOW : COLOR_3DDKSHADOW, pTabWnd, lParam));
    const COLORREF clrSeparator =
        Pick(clrForceTabSeparator, GetColor(bXp || bGrouped ? COLOR_3DSHADOW : COLOR_3DLIGHT, pTabWnd, lParam));

    CRect rc = rcItem;
    if (bGrouped)
    {
        if (bHorizontal)
        {
            rc.right += 1;
            rc.InflateRect(0, 2);
        }
        else
        {
            rc.bottom += 1;
            rc.InflateRect(2, 0);
        }
        dc.FillSolidRect(&rc, clrBk);
        dc.Draw3dRect(&rc, clrLight, clrDark);
    }
    else if (bSelected)
    {
        CRect rcFill = rc;
        if (bHorizontal)
        {
            rc.left -= 1;
            if (bTopOrLeft)
            {
                rc.bottom += 1;
                LineSolid(dc, rc.left, rc.bottom, rc.left, rc.top, clrLight);
                LineSolid(dc, rc.left, rc.top, rc.right, rc.top, clrLight);
                LineSolid(dc, rc.right - 1, rc.top, rc.right - 1, rc.bottom, clrDark);
                rcFill = CRect(rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom);
            }
            else
            {
                rc.top -= 1;
                LineSolid(dc, rc.left, rc.top, rc.left, rc.bottom, clrLight);
                LineSolid(dc, rc.left, rc.bottom - 1, rc.right, rc.bottom - 1, clrDark);
                LineSolid(dc, rc.right - 1, rc.top, rc.right - 1, rc.bottom, clrDark);
                rcFill = CRect(rc.left + 1, rc.top, rc.right - 1, rc.bottom - 1);
            }
        }
        else
        {
            rc.top -= 1;
            if (bTopOrLeft)
            {
                rc.right += 1;
                LineSolid(dc, rc.left, rc.top, rc.right, rc.top, clrLight);
                LineSolid(dc, rc.left, rc.top, rc.left, rc.bottom, clrLight);
                LineSolid(dc, rc.left, rc.bottom - 1, rc.right, rc.bottom - 1, clrDark);
                rcFill = CRect(rc.left + 1, rc.top + 1, rc.right, rc.bottom - 1);
            }
            else
            {
                rc.left -= 1;
                LineSolid(dc, rc.left, rc.top, rc.right, rc.top, clrLight);
                LineSolid(dc, rc.right - 1, rc.top, rc.right - 1, rc.bottom, clrDark);
                LineSolid(dc, rc.left, rc.bottom - 1, rc.right, rc.bottom - 1, clrDark);
                rcFill = CRect(rc.left, rc.top + 1, rc.right - 1, rc.bottom - 1);
            }
        }
        dc.FillSolidRect(&rcFill, clrBk);
    }
    else if (bHorizontal)
        dc.FillSolidRect(rc.right - 1, rc.top + 2, 1, rc.Height() - 4, clrSeparator);
    else
        dc.FillSolidRect(rc.left + 2, rc.bottom - 1, rc.Width() - 4, 1, clrSeparator);

    CRect rcContent = rc;
    rcContent.DeflateRect(2, 2);
    PaintTabContent(*this, dc, rcContent, bHorizontal, bCenterText, bGrouped, bCenterLoneIcon, bBottomUpText,
                    sizeTextMeasured, pFont, sText, pIcon, pTabWnd, clrText);
}

void CExtPaintManagerStudio2005::PaintTabItem(CDC& dc, const CRect&, bool bTopOrLeft, bool bHorizontal, bool bSelected,
                                              bool bCenterText, bool bGrouped, bool bCenterLoneIcon, bool bBottomUpText,
                                              const CRect& rcItem, CSize sizeTextMeasured, int, CFont* pFont,
                                              const CString& sText, CExtCmdIcon* pIcon, CExtTabWnd* pTabWnd,
                                              LONG nItemIndex, COLORREF clrForceText, COLORREF, COLORREF, COLORREF,
                                              COLORREF)
{
    const int L = rcItem.left, T = rcItem.top, R = rcItem.right, B = rcItem.bottom;
    // grouped strips open towards the strip's outer edge
    const bool bLeading = bTopOrLeft != bGrouped;
    POINT outline[6], region[6], separator[2];
    CRect rcBounds = rcItem;
    if (bHorizontal && bLeading)
    {
        const POINT o[6] = {{L, B - 1}, {L, T + 2}, {L + 2, T}, {R - 2, T}, {R, T + 2}, {R, B}};
        const POINT r[6] = {{L + 1, B + 1}, {L + 1, T + 2}, {L + 2, T + 1}, {R - 1, T + 1}, {R, T + 2}, {R, B + 1}};
        const POINT s[2] = {{R, T + 3}, {R, B - 2}};
        std::copy(o, o + 6, outline), std::copy(r, r + 6, region), std::copy(s, s + 2, separator);
    }
    else if (bHorizontal)
    {
        const POINT o[6] = {{L, T}, {L, B - 3}, {L + 2, B - 1}, {R - 2, B - 1}, {R, B - 3}, {R, T - 1}};
        const POINT r[6] = {{L + 1, T - 1}, {L + 1, B - 3}, {L + 2, B - 1}, {R - 2, B - 1}, {R, B - 3}, {R, T - 1}};
        const POINT s[2] = {{R, B - 4}, {R, T + 1}};
        std::copy(o, o + 6, outline), std::copy(r, r + 6, region), std::copy(s, s + 2, separator);
        rcBounds.bottom -= 1;
    }
    else if (bLeading)
    {
        const POINT o[6] = {{R - 1, T}, {L + 2, T}, {L, T + 2}, {L, B - 2}, {L + 2, B}, {R, B}};
        const POINT r[6] = {{R + 1, T + 1}, {L + 2, T + 1}, {L + 1, T + 2}, {L + 1, B - 2}, {L + 2, B}, {R + 1, B}};
        const POINT s[2] = {{L + 3, B}, {R - 2, B}};
        std::copy(o, o + 6, outline), std::copy(r, r + 6, region), std::copy(s, s + 2, separator);
    }
    else
    {
        const POINT o[6] = {{L, T}, {R - 3, T}, {R - 1, T + 2}, {R - 1, B - 2}, {R - 3, B}, {L - 1, B}};
        const POINT r[6] = {{L - 1, T + 1}, {R - 3, T}, {R - 1, T + 2}, {R - 1, B - 2}, {R - 3, B}, {L - 1, B}};
        const POINT s[2] = {{R - 4, B}, {L + 1, B}};
        std::copy(o, o + 6, outline), std::copy(r, r + 6, region), std::copy(s, s + 2, separator);
        rcBounds.right -= 1;
    }

    CPen pen(PS_SOLID, 1, GetColor(COLOR_3DSHADOW, this, 0));
    CPen* pOldPen = dc.SelectObject(&pen);
    if (bSelected || bGrouped)
    {
        for (int i = 0; i < 5; ++i)
        {
            dc.MoveTo(outline[i].x, outline[i].y);
            dc.LineTo(outline[i + 1].x, outline[i + 1].y);
        }
    }
    else if (pTabWnd == nullptr || nItemIndex < pTabWnd->GetItemCount() - 1)
    {
        dc.MoveTo(separator[0].x, separator[0].y);
        dc.LineTo(separator[1].x, separator[1].y);
    }
    dc.SelectObject(pOldPen);
    if (bSelected && !bGrouped)
    {
        CRgn rgn;
        if (rgn.CreatePolygonRgn(region, 6, ALTERNATE))
        {
            CBrush brush(kSelectedTabFace);
            dc.FillRgn(&rgn, &brush);
        }
    }

    CRect rcContent = rcBounds;
    rcContent.DeflateRect(3, bHorizontal ? 2 : 3, 2, 2);
    PaintTabContent(*this, dc, rcContent, bHorizontal, bCenterText, bGrouped, bCenterLoneIcon, bBottomUpText,
                    sizeTextMeasured, pFont, sText, pIcon, pTabWnd,
                    Pick(clrForceText, GetColor(COLOR_BTNTEXT, pTabWnd, nItemIndex)));
}

void CExtPaintManager::PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect&,
                                          const CRect& rcTabNearBorderArea, DWORD dwOrientation, bool bGrouped,
                                          CExtTabWnd* pTabWnd, LPARAM lParam)
{
    dc.FillSolidRect(&rcClient, GetColor(bGrouped ? COLOR_3DFACE : COLOR_3DSHADOW, pTabWnd, lParam));
    if (bGrouped)
        return;
    dc.FillSolidRect(&rcTabNearBorderArea, GetColor(COLOR_3DFACE, pTabWnd, lParam));
    const CRect rcEdge = NearBorderEdge(rcTabNearBorderArea, dwOrientation);
    dc.FillSolidRect(&rcEdge, GetColor(dwOrientation == 1 || dwOrientation == 3 ? COLOR_3DDKSHADOW : COLOR_3DHILIGHT,
                                       pTabWnd, lParam));
}

void CExtPaintManagerXP::PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect&,
                                            const CRect& rcTabNearBorderArea, DWORD dwOrientation, bool bGrouped,
                                            CExtTabWnd* pTabWnd, LPARAM lParam)
{
    dc.FillSolidRect(&rcClient, GetColor(GetDcBitsPerPixel(dc) > 8 ? TC_XP_LIGHT_FACE : TC_XP_FACE, pTabWnd, lParam));
    if (bGrouped)
        return;
    dc.FillSolidRect(&rcTabNearBorderArea, GetColor(TC_XP_FACE, pTabWnd, lParam));
    const CRect rcEdge = NearBorderEdge(rcTabNearBorderArea, dwOrientation);
    dc.FillSolidRect(&rcEdge, GetColor(dwOrientation == 1 || dwOrientation == 3 ? COLOR_3DSHADOW : COLOR_3DHILIGHT,
                                       pTabWnd, lParam));
}

void CExtPaintManagerOffice2003::PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect& rcTabItemsArea,
                                                    const CRect& rcTabNearBorderArea, DWORD dwOrientation,
                                                    bool bGrouped, CExtTabWnd* pTabWnd, LPARAM lParam)
{
    if (!IsTabOnThemedBackground(pTabWnd, GetDcBitsPerPixel(dc)))
    {
        CExtPaintManagerXP::PaintTabClientArea(dc, rcClient, rcTabItemsArea, rcTabNearBorderArea, dwOrientation,
                                               bGrouped, pTabWnd, lParam);
        return;
    }
    PaintTabStripBackground(*this, dc, rcClient, pTabWnd);
    if (bGrouped)
        return;
    dc.FillSolidRect(&rcTabNearBorderArea, GetColor(TC_FACE_NORMAL, pTabWnd, lParam));
    const CRect rcEdge = NearBorderEdge(rcTabNearBorderArea, dwOrientation);
    dc.FillSolidRect(&rcEdge, GetColor(COLOR_3DSHADOW, pTabWnd, lParam));
}

void CExtPaintManagerStudio2005::PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect& rcTabItemsArea,
                                                    const CRect& rcTabNearBorderArea, DWORD dwOrientation,
                                                    bool bGrouped, CExtTabWnd* pTabWnd, LPARAM lParam)
{
    if (!IsTabOnThemedBackground(pTabWnd, GetScreenBitsPerPixel()))
    {
        CExtPaintManagerXP::PaintTabClientArea(dc, rcClient, rcTabItemsArea, rcTabNearBorderArea, dwOrientation,
                                               bGrouped, pTabWnd, lParam);
        return;
    }
    const CRect rcEdge = NearBorderEdge(rcTabNearBorderArea, dwOrientation);
    PaintTabStripBackground(*this, dc, rcClient, pTabWnd);
    if (bGrouped)
        return;
    if (pTabWnd->GetSelectedIndex() >= 0)
        dc.FillSolidRect(&rcTabNearBorderArea, kSelectedTabFace);
    else
        dc.FillSolidRect(&rcTabNearBorderArea, GetColor(TC_FACE_NORMAL, pTabWnd, lParam));
    dc.FillSolidRect(&rcEdge, GetColor(COLOR_3DSHADOW, pTabWnd, lParam));
}

void CExtPaintManager::PaintTabButton(CDC& dc, const CRect& rcButton, LONG nHitTest, bool, bool bHorizontal,
                                      bool bEnabled, bool bHover, bool bPushed, bool, CExtTabWnd* pTabWnd,
                                      LPARAM lParam)
{
    using G = CExtGlyphBitmap;
    int nGlyph = -1;
    switch (nHitTest)
    {
    case -10: nGlyph = bHorizontal ? G::GlyphArrowRightBar : G::GlyphArrowDownBar; break;
    case -9: nGlyph = bHorizontal ? G::GlyphBarArrowLeft : G::GlyphBarArrowUp; break;
    case -8: nGlyph = G::GlyphBarArrowDown; break;
    case -7: nGlyph = G::GlyphClose; break;
    case -6: nGlyph = G::GlyphHelp; break;
    case -5:
        nGlyph = bEnabled ? (bHorizontal ? G::GlyphArrowRight : G::GlyphArrowDown)
                          : (bHorizontal ? G::GlyphHollowArrowRight : G::GlyphHollowArrowDown);
        break;
    case -4:
        nGlyph = bEnabled ? (bHorizontal ? G::GlyphArrowLeft : G::GlyphArrowUp)
                          : (bHorizontal ? G::GlyphHollowArrowLeft : G::GlyphHollowArrowUp);
        break;
    default: break;
    }
    if (nGlyph >= 0)
    {
        const COLORREF colors[2] = {RGB(0, 0, 0), GetColor(bEnabled ? COLOR_BTNTEXT : COLOR_3DSHADOW, pTabWnd, lParam)};
        PaintGlyphCentered(dc, rcButton, Glyph(nGlyph), colors);
    }
    const COLORREF clrLight = GetColor(COLOR_3DHILIGHT, pTabWnd, lParam);
    const COLORREF clrDark = GetColor(COLOR_3DDKSHADOW, pTabWnd, lParam);
    if (bPushed)
        dc.Draw3dRect(&rcButton, clrDark, clrLight);
    else if (bHover)
        dc.Draw3dRect(&rcButton, clrLight, clrDark);
}

void CExtPaintManager::GetTabMarginMetrics(CExtTabWnd* pTabWnd, int* pMargin1, int* pMargin2, int* pMargin3)
{
    if (pMargin1 != nullptr)
        *pMargin1 = 4;
    if (pMargin2 != nullptr)
        *pMargin2 = 2;
    const bool bGrouped = pTabWnd != nullptr && (pTabWnd->GetTabWndStyle() & kTabStyleGrouped) != 0;
    if (pMargin3 != nullptr && !bGrouped)
        *pMargin3 = 2;
}

void CExtPaintManagerStudio2005::GetTabMarginMetrics(CExtTabWnd* pTabWnd, int* pMargin1, int* pMargin2, int* pMargin3)
{
    const bool bGrouped = pTabWnd != nullptr && (pTabWnd->GetTabWndStyle() & kTabStyleGrouped) != 0;
    if (pMargin1 != nullptr)
        *pMargin1 = bGrouped ? 3 : 0;
    if (pMargin2 != nullptr)
        *pMargin2 = 2;
    if (pMargin3 != nullptr)
        *pMargin3 = 2;
}

// Every theme keeps the size the tab window measured.
void CExtPaintManager::AdjustTabItemSize(CExtTabWnd*, LONG, CDC&, SIZE*)
{
}

void CExtPaintManagerStudio2005::AdjustTabItemSize(CExtTabWnd*, LONG, CDC&, SIZE*)
{
}

void CExtPaintManager::PaintBarNcButton(CDC& dc, BarNcButtonParams& p)
{
    if (p.ButtonRect.IsRectEmpty())
        return;
    const COLORREF clrFace = GetColor(COLOR_3DFACE, p.Owner, p.LParam);
    const COLORREF clrShadow = GetColor(COLOR_3DSHADOW, p.Owner, p.LParam);
    const COLORREF clrDkShadow = GetColor(COLOR_3DDKSHADOW, p.Owner, p.LParam);
    const COLORREF clrHilight = GetColor(COLOR_3DHILIGHT, p.Owner, p.LParam);
    const COLORREF colors[2] = {RGB(0, 0, 0), p.Enabled ? RGB(0, 0, 0) : clrShadow};
    CRect rc = p.ButtonRect;
    rc.NormalizeRect();
    if (rc.Width() % 2 != 0)
        ++rc.left;
    if (rc.Height() % 2 != 0)
        ++rc.top;
    if (p.GlyphIndex == CExtGlyphBitmap::GlyphClose)
        p.GlyphIndex = CExtGlyphBitmap::GlyphCloseSmall;
    CRect rcFace = rc;
    if (!p.FloatingBar)
        rcFace.InflateRect(1, 1);
    rcFace.InflateRect(1, 1, 0, 0);
    dc.FillSolidRect(&rcFace, clrFace);
    CRect rcGlyph = rcFace;
    if (p.Pushed)
        rcGlyph.OffsetRect(1, 1);
    PaintGlyphCentered(dc, rcGlyph, Glyph(p.GlyphIndex), colors);
    if (p.Enabled && p.Pushed)
        dc.Draw3dRect(&rcFace, clrShadow, clrHilight);
    else if (p.IsHovered())
    {
        dc.Draw3dRect(&rcFace, clrFace, clrDkShadow);
        CRect rcInner = rcFace;
        rcInner.DeflateRect(1, 1);
        dc.Draw3dRect(&rcInner, clrHilight, clrShadow);
    }
    else
        dc.Draw3dRect(&rcFace, clrHilight, clrShadow);
}

void CExtPaintManagerXP::PaintBarNcButton(CDC& dc, BarNcButtonParams& p)
{
    PaintXpBarNcButton(*this, dc, p);
}

void CExtPaintManagerStudio2005::PaintBarNcButton(CDC& dc, BarNcButtonParams& p)
{
    // A floating bar's menu button keeps the flat look: every caption button
    // of the toolkit asks for it.
    if (p.OnCaption && p.FloatingBar &&
        (p.Owner == nullptr || !p.Owner->IsKindOf(RUNTIME_CLASS(CExtBarNcAreaButtonMenu))))
        CExtPaintManager::PaintBarNcButton(dc, p);
    else
        PaintXpBarNcButton(*this, dc, p);
}
