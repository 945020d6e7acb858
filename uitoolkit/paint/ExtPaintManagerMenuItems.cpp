// Popup-menu items and separators: the classic look (also the native
// theme's) with its embossed disabled text and framed icon cells, and the XP
// family's gutter, flat selection frame and hover-shadowed icons.
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/core/ExtGlyphBitmap.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

namespace
{

using PM = CExtPaintManager;

bool OwnerIsRightToLeft(CObject* pOwner)
{
    return pOwner != nullptr && pOwner->IsKindOf(RUNTIME_CLASS(CExtPopupMenuWnd)) &&
           static_cast<CExtPopupMenuWnd*>(pOwner)->IsRightToLeft();
}

bool HasIcon(const PM::MenuItemParams& p)
{
    return p.Icon != nullptr && !p.Icon->IsEmpty();
}

// The icon's cell: its size made square when small, 16 x 16 without icon.
CSize IconCellSize(const PM::MenuItemParams& p)
{
    if (!HasIcon(p))
        return CSize(16, 16);
    CSize size = p.Icon->GetSize();
    if (size.cx <= 18 && size.cy < size.cx)
        size.cy = size.cx;
    return size;
}

// The icon rectangle placed in the icon area; nCenterAdjust moves a centred
// icon along the row.
CRect PlaceIcon(const PM::MenuItemParams& p, bool bRTL, int nCenterAdjust)
{
    const CSize size = IconCellSize(p);
    CRect rc(p.ItemRect.TopLeft(), size);
    if (bRTL)
        rc.OffsetRect(p.ItemRect.Width() - size.cx, 0);
    const int h = p.IconAreaWidth;
    int dx = p.IconInSecondHalf ? (h / 2 - size.cx) / 2 + h / 2 - 2 : (h - size.cx) / 2 + nCenterAdjust;
    rc.OffsetRect(bRTL ? -dx : dx, (p.ItemRect.Height() - size.cy) / 2);
    return rc;
}

// The item text and accelerator: classic draws with DrawState (embossed
// when disabled), the XP family with DrawText in the text colour.
void PaintItemTexts(PM& pm, CDC& dc, const PM::MenuItemParams& p, CRect rcText, bool bRTL, bool bXp, int nAccelInset)
{
    CFont* pFont = p.Font != nullptr ? CFont::FromHandle(p.Font) : &pm.FontNormal;
    const UINT nFormat = bRTL ? (DT_RTLREADING | DT_RIGHT) : 0;
    CFont* pOldFont = dc.SelectObject(pFont);
    auto draw = [&](const CString& sText, CRect rc)
    {
        if (bRTL || bXp)
        {
            if (!p.Enabled && !bXp)
            {
                const COLORREF clrText = dc.GetTextColor();
                CRect rcShadow(rc);
                rcShadow.OffsetRect(1, 1);
                dc.SetTextColor(PM::SysColor(COLOR_3DHILIGHT));
                dc.DrawText(sText, &rcShadow, nFormat | DT_SINGLELINE);
                dc.SetTextColor(PM::SysColor(COLOR_3DSHADOW));
                dc.DrawText(sText, &rc, nFormat | DT_SINGLELINE);
                dc.SetTextColor(clrText);
            }
            else
                dc.DrawText(sText, &rc, nFormat | DT_SINGLELINE);
        }
        else
            dc.DrawState(rc.TopLeft(), rc.Size(), static_cast<LPCTSTR>(sText),
                         DST_PREFIXTEXT | (p.Enabled ? 0 : pm.DisabledDrawStateFlags), TRUE, 0,
                         static_cast<CBrush*>(nullptr));
    };
    const CString sText(p.Text);
    if (!sText.IsEmpty())
    {
        const CRect rcMeasured = PM::MeasureTextBounds(dc, *pFont, sText, nFormat | DT_CALCRECT | DT_SINGLELINE);
        CRect rc(rcText);
        rc.OffsetRect(0, (rc.Height() - rcMeasured.Height()) / 2);
        if (bRTL)
            rc.left = rc.right - rcMeasured.Width();
        draw(sText, rc);
    }
    const CString sAccel(p.AccelText);
    if (!sAccel.IsEmpty())
    {
        const CRect rcMeasured = PM::MeasureTextBounds(dc, *pFont, sAccel, nFormat | DT_CALCRECT | DT_SINGLELINE);
        CRect rc(rcText);
        if (bXp)
        {
            if (bRTL)
                rc.right += nAccelInset;
            else
                rc.left -= nAccelInset;
        }
        rc.top += (rc.Height() - rcMeasured.Height()) / 2;
        rc.bottom = rc.top + rcMeasured.Height();
        if (bRTL)
        {
            rc.left += 16;
            rc.right = rc.left + rcMeasured.Width();
        }
        else
            rc.left = rc.right - rcMeasured.Width() - 16;
        draw(sAccel, rc);
    }
    dc.SelectObject(pOldFont);
}

// The submenu arrow at the item's trailing end.
void PaintSubmenuArrow(PM& pm, CDC& dc, const PM::MenuItemParams& p, const CRect& rcText, bool bRTL, bool bXp,
                       COLORREF clrText)
{
    CRect rcArrow(p.ItemRect);
    rcArrow.DeflateRect(3, 3);
    if (bRTL)
        rcArrow.right = rcArrow.left + 16;
    else
        rcArrow.left = rcArrow.right - 16;
    auto color = [&](int n) { return pm.GetColor(n, p.Owner, p.LParam); };
    if (p.GlyphArrow)
    {
        const COLORREF colors[2] = {0,
                                    bXp || !p.Selected ? color(PM::TC_TEXT_NORMAL) : PM::SysColor(COLOR_HIGHLIGHTTEXT)};
        pm.PaintGlyphCentered(
            dc, rcArrow, p.SplitPopup ? CExtGlyphBitmap::GlyphSubmenuArrowSplit : CExtGlyphBitmap::GlyphSubmenuArrow,
            colors);
        return;
    }
    COLORREF clrArrow = clrText;
    if (p.SplitPopup)
    {
        const int nInner = bRTL ? rcArrow.right : rcArrow.left;
        if (p.Selected)
        {
            CRect rcPart(p.ItemRect);
            if (bRTL)
                rcPart.right = nInner;
            else
                rcPart.left = nInner;
            if (bXp)
            {
                rcPart.DeflateRect(1, 1);
                dc.FillSolidRect(&rcPart, color(PM::TC_XP_PRESSED_FACE));
                const int x = bRTL ? rcPart.right - 1 : rcPart.left;
                dc.FillSolidRect(x, rcPart.top, 1, rcPart.Height(), color(PM::TC_XP_HOT_BORDER));
                clrArrow = PM::SysColor(COLOR_HIGHLIGHTTEXT);
            }
            else
            {
                if (p.Rarely)
                    dc.FillRect(&rcPart, &pm.FillBrushes[PM::BrushLight50Sys]);
                else
                    dc.FillSolidRect(&rcPart, color(PM::TC_FACE_NORMAL));
                clrArrow = PM::SysColor(COLOR_BTNTEXT);
            }
        }
        else
            pm.PaintSeparator(dc, CRect(nInner, rcText.top, nInner, rcText.bottom), false, true, nullptr, 0);
    }
    if (bXp)
        rcArrow.left += 2;
    else if (bRTL)
        rcArrow.right -= 2;
    else
        rcArrow.left += 2;
    CFont* pOldFont = dc.SelectObject(&pm.FontMarlett);
    const COLORREF clrOld = dc.SetTextColor(clrArrow);
    dc.DrawText(bRTL ? "3" : "4", &rcArrow, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc.SetTextColor(clrOld);
    dc.SelectObject(pOldFont);
}

// The in-place edit or combo drawn inside the item.
void PaintInPlaceControl(PM& pm, CDC& dc, const PM::MenuItemParams& p, bool bXp)
{
    auto color = [&](int n) { return pm.GetColor(n, p.Owner, p.LParam); };
    const int w = ::GetSystemMetrics(SM_CXHTHUMB);
    CRect rc(p.InPlaceRect);
    CRect rcText;
    const COLORREF clrFill = PM::SysColor(p.Enabled ? COLOR_WINDOW : COLOR_3DFACE);
    if (!bXp)
    {
        rc.InflateRect(2, 2, 2, 3);
        CRect rcFill(rc);
        if (p.Popup)
            rcFill.right += w;
        dc.FillSolidRect(&rcFill, clrFill);
        if (p.Popup)
        {
            rc.right += w;
            if (p.Enabled)
            {
                PM::ComboFrameParams cfp(p.Owner, rc, p.Selected, p.Selected && p.InPlaceButtonPushed, true);
                cfp.InMenuItem = true;
                pm.PaintComboFrame(dc, cfp);
            }
            else
            {
                CRect rcFrame(rc);
                rcFrame.DeflateRect(2, 2);
                dc.Draw3dRect(&rcFrame, PM::SysColor(COLOR_WINDOW), PM::SysColor(COLOR_WINDOW));
                const COLORREF colors[2] = {0, PM::SysColor(COLOR_BTNTEXT)};
                pm.PaintGlyphCentered(dc, CRect(rc.right - w, rc.top, rc.right, rc.bottom),
                                      *CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphSmallArrowDown], colors);
            }
            rcText = rc;
            rcText.DeflateRect(1, 1);
            rcText.right -= w;
        }
        else if (p.Enabled)
        {
            dc.Draw3dRect(&rc, PM::SysColor(COLOR_3DFACE), PM::SysColor(COLOR_3DFACE));
            rcText = rc;
            rcText.DeflateRect(1, 1);
            if (p.Selected)
                dc.Draw3dRect(&rcText, PM::SysColor(COLOR_3DSHADOW), PM::SysColor(COLOR_3DHILIGHT));
            else
                dc.Draw3dRect(&rcText, PM::SysColor(COLOR_3DFACE), PM::SysColor(COLOR_3DFACE));
        }
        else
        {
            CRect rcFrame(rc);
            rcFrame.DeflateRect(2, 2);
            dc.Draw3dRect(&rcFrame, PM::SysColor(COLOR_WINDOW), PM::SysColor(COLOR_WINDOW));
            rcText = rc;
        }
        rcText.DeflateRect(5, 2, 2, 2);
    }
    else
    {
        rc.InflateRect(1, 2);
        if (p.Popup)
            rc.right += w;
        dc.FillSolidRect(&rc, clrFill);
        COLORREF clrFrame = color(p.Enabled ? PM::TC_XP_EDGE_ACTIVE : PM::TC_XP_EDGE_NORMAL);
        rcText = rc;
        if (p.Popup)
        {
            const CRect rcButton(rc.right - w + 1, rc.top, rc.right, rc.bottom);
            if (p.Selected && p.Enabled)
            {
                PM::PushButtonParams pbp(&pm, true, rcButton, "", nullptr, true, true, p.InPlaceButtonPushed, false,
                                         true, true, false, false, 0);
                pm.PaintPushButton(dc, pbp);
                clrFrame = color(PM::TC_XP_HOT_BORDER);
            }
            else if (p.Enabled)
            {
                CRect rcFace(rcButton);
                rcFace.DeflateRect(2, 2);
                dc.FillSolidRect(&rcFace, PM::SysColor(COLOR_3DFACE));
            }
            dc.Draw3dRect(&rc, clrFrame, clrFrame);
            const COLORREF colors[2] = {0, !p.Enabled                            ? PM::SysColor(COLOR_3DSHADOW)
                                           : p.Selected && p.InPlaceButtonPushed ? color(PM::TC_XP_HOT_TEXT)
                                                                                 : PM::SysColor(COLOR_BTNTEXT)};
            pm.PaintGlyphCentered(dc, rcButton, *CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphSmallArrowDown],
                                  colors);
            rcText.right = rcButton.left;
        }
        else
        {
            if (p.Selected)
                clrFrame = color(PM::TC_XP_HOT_BORDER);
            dc.Draw3dRect(&rc, clrFrame, clrFrame);
        }
        rcText.DeflateRect(5, 3, 2, 2);
    }
    if (p.InPlaceText.IsEmpty())
        return;
    CFont* pOldFont = dc.SelectObject(p.Font != nullptr ? CFont::FromHandle(p.Font) : &pm.FontNormal);
    const COLORREF clrOld = dc.SetTextColor(PM::SysColor(p.Enabled ? COLOR_BTNTEXT : COLOR_3DSHADOW));
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    const UINT nFormat = OwnerIsRightToLeft(p.Owner) ? (DT_RTLREADING | DT_RIGHT) : 0;
    dc.DrawText(p.InPlaceText, &rcText, nFormat | DT_SINGLELINE | DT_NOPREFIX);
    dc.SetBkMode(nOldMode);
    dc.SetTextColor(clrOld);
    dc.SelectObject(pOldFont);
}

} // namespace

bool CExtPaintManager::MenuItemParams::IsRightToLeft() const
{
    return OwnerIsRightToLeft(Owner);
}

void CExtPaintManager::PaintMenuItem(CDC& dc, MenuItemParams& p)
{
    if (p.ItemRect.IsRectEmpty())
        return;
    const bool bRTL = p.IsRightToLeft();
    auto color = [&](int n) { return GetColor(n, p.Owner, p.LParam); };
    COLORREF clrBack = color(TC_FACE_NORMAL);
    COLORREF clrText = color(TC_TEXT_NORMAL);
    dc.FillSolidRect(&p.RowRect, clrBack);
    if (p.Selected)
    {
        clrBack = SysColor(COLOR_HIGHLIGHT);
        clrText = SysColor(COLOR_HIGHLIGHTTEXT);
    }
    if (p.Rarely)
    {
        dc.FillRect(&p.RowRect, &FillBrushes[BrushLight50Sys]);
        if (!p.RarelyPrev)
            dc.FillSolidRect(p.RowRect.left, p.RowRect.top, p.RowRect.Width(), 1, SysColor(COLOR_3DSHADOW));
        if (!p.RarelyNext)
            dc.FillSolidRect(p.RowRect.left, p.RowRect.bottom - 1, p.RowRect.Width(), 1, SysColor(COLOR_3DHILIGHT));
    }
    const bool bIconArea = HasIcon(p) || p.Checked || p.Radio;
    const bool bFill = !p.Rarely || p.Selected;
    CRect rcText(p.ItemRect);
    // with an icon or a mark the selection starts after the icon area
    if (bIconArea)
    {
        if (bRTL)
            rcText.right -= p.IconAreaWidth;
        else
            rcText.left += p.IconAreaWidth;
        rcText.left += 1;
        if (bFill)
            dc.FillSolidRect(&rcText, clrBack);
    }
    else
    {
        rcText.left += 1;
        if (bFill)
            dc.FillSolidRect(&rcText, clrBack);
        if (bRTL)
            rcText.right -= p.IconAreaWidth;
        else
            rcText.left += p.IconAreaWidth;
    }
    rcText.DeflateRect(3, 3);
    rcText.DeflateRect(3, 0);
    const COLORREF clrOldText = dc.SetTextColor(clrText);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    PaintItemTexts(*this, dc, p, rcText, bRTL, false, 0);
    if (p.Popup)
        PaintSubmenuArrow(*this, dc, p, rcText, bRTL, false, clrText);

    const CRect rcIcon = PlaceIcon(p, bRTL, 0);
    CRect rcFrame(rcIcon);
    rcFrame.InflateRect(2, 2);
    if (p.IconInSecondHalf && p.CheckBoxInFirstHalf)
    {
        const int nSide = p.ItemRect.Height() - 2;
        CRect rcBox(bRTL ? p.ItemRect.right - 1 - nSide : p.ItemRect.left + 1, p.ItemRect.top + 1, 0, 0);
        rcBox.right = rcBox.left + nSide;
        rcBox.bottom = rcBox.top + nSide;
        dc.FillRect(&rcBox, &FillBrushes[BrushLight50Sys]);
        if (p.Checked)
            PaintMenuCheckMark(dc, rcBox.CenterPoint().x - 3, rcBox.CenterPoint().y - 3, color(TC_TEXT_NORMAL));
        dc.Draw3dRect(&rcBox, color(TC_SHADOW_NORMAL), color(TC_HILIGHT_NORMAL));
    }
    if (p.Checked || p.Radio)
        dc.FillRect(&rcFrame, &FillBrushes[BrushLight50Sys]);
    if (HasIcon(p))
    {
        p.Icon->PaintState(dc, rcIcon.TopLeft(), p.Enabled ? CExtCmdIcon::PS_NORMAL : CExtCmdIcon::PS_DISABLED);
        if (p.Selected && p.Enabled && !p.Checked && !p.Radio)
            dc.Draw3dRect(&rcFrame, color(TC_HILIGHT_NORMAL), color(TC_SHADOW_NORMAL));
    }
    else
    {
        PaintSysCmdGlyph(dc, p.SysCmdId, rcIcon, p.Selected, false, p.Enabled);
        if (p.Checked && !p.CheckBoxInFirstHalf)
            PaintMenuCheckMark(dc, rcIcon.CenterPoint().x - 3, rcIcon.CenterPoint().y - 3, color(TC_TEXT_NORMAL));
        else if (p.Radio)
            PaintMenuRadioDot(dc, rcIcon.CenterPoint().x - 3, rcIcon.CenterPoint().y - 3, color(TC_TEXT_NORMAL));
    }
    if (p.Checked || p.Radio)
        dc.Draw3dRect(&rcFrame, color(TC_SHADOW_NORMAL), color(TC_HILIGHT_NORMAL));
    if (!p.InPlaceRect.IsRectEmpty())
        PaintInPlaceControl(*this, dc, p, false);
    dc.SetBkMode(nOldMode);
    dc.SetTextColor(clrOldText);
}

void CExtPaintManager::PaintMenuSeparator(CDC& dc, const RECT& rc, int, bool bRarelyUsed, CObject* pHelperSrc,
                                          LPARAM lParam)
{
    CRect r(rc);
    if (r.IsRectEmpty())
        return;
    if (bRarelyUsed)
        dc.FillRect(&r, &FillBrushes[BrushLight50Sys]);
    else
        dc.FillSolidRect(&r, GetColor(TC_FACE_NORMAL, pHelperSrc, lParam));
    r.DeflateRect(::GetSystemMetrics(SM_CXSMICON) / 2, 0);
    r.top += (r.Height() - 2) / 2;
    r.bottom = r.top + 2;
    dc.Draw3dRect(&r, GetColor(bRarelyUsed ? TC_FACE_NORMAL : TC_SHADOW_NORMAL, pHelperSrc, lParam),
                  GetColor(TC_HILIGHT_NORMAL, pHelperSrc, lParam));
}

namespace
{

// The XP family's icon area: the gutter gradient above 8 bits per pixel when
// the theme has one, else one colour.
void PaintXpGutter(CExtPaintManagerXP& pm, CDC& dc, const CRect& rcGutter, bool bRarely, bool bNoIconArea,
                   CObject* pOwner, LPARAM lParam)
{
    dc.FillSolidRect(&rcGutter, pm.GetColor(bRarely ? PM::TC_XP_DARK_FACE : PM::TC_FACE_NORMAL, pOwner, lParam));
    const int* pTriple = pm.GutterColorIndices + (bRarely ? 3 : 0);
    if (bNoIconArea || PM::GetDcBitsPerPixel(dc) <= 8 || pTriple[0] < 0 || pTriple[1] < 0 || pTriple[2] < 0)
        return;
    // stored as first, third, second
    PM::PaintThreeColorGradient(dc, rcGutter, pm.GetColor(pTriple[0], pOwner, lParam),
                                pm.GetColor(pTriple[2], pOwner, lParam), pm.GetColor(pTriple[1], pOwner, lParam), false,
                                1, 2, 256);
}

} // namespace

void CExtPaintManagerXP::PaintMenuItem(CDC& dc, MenuItemParams& p)
{
    if (p.ItemRect.IsRectEmpty())
        return;
    const bool bRTL = p.IsRightToLeft();
    auto color = [&](int n) { return GetColor(n, p.Owner, p.LParam); };
    const COLORREF clrText = p.Enabled ? color(TC_TEXT_NORMAL) : SysColor(COLOR_3DSHADOW);
    const COLORREF clrMarkBack = color(p.Selected ? TC_XP_PRESSED_FACE : TC_FACE_ACTIVE);
    const COLORREF clrFrame = color(TC_XP_HOT_BORDER);

    CRect rcGutter(p.RowRect), rcBody(p.RowRect);
    if (bRTL)
        rcGutter.left = rcGutter.right - p.IconAreaWidth;
    else
        rcGutter.right = rcGutter.left + p.IconAreaWidth;
    if (!p.NoIconArea)
    {
        PaintXpGutter(*this, dc, rcGutter, p.Rarely, false, p.Owner, p.LParam);
        if (bRTL)
            rcBody.right = rcGutter.left;
        else
            rcBody.left = rcGutter.right;
    }
    dc.FillSolidRect(&rcBody, color(TC_XP_LIGHT_FACE));
    if (p.Selected)
    {
        dc.FillSolidRect(&p.ItemRect, color(TC_FACE_ACTIVE));
        dc.Draw3dRect(&p.ItemRect, clrFrame, clrFrame);
    }
    CRect rcText(rcBody);
    rcText.DeflateRect(3, 1);
    if (bRTL)
        rcText.right -= 5;
    else
        rcText.left += 5;
    const COLORREF clrOldText = dc.SetTextColor(clrText);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    PaintItemTexts(*this, dc, p, rcText, bRTL, true, 5);
    if (p.Popup)
        PaintSubmenuArrow(*this, dc, p, rcText, bRTL, true, clrText);

    const CRect rcIcon = PlaceIcon(p, bRTL, -1);
    CRect rcFrame(rcIcon);
    rcFrame.InflateRect(2, 2);
    const int* pGradient = ButtonGradientIndices + (p.Selected ? 4 : 2);
    auto fillMarkCell = [&](const CRect& rc)
    {
        if (pGradient[0] >= 0 && pGradient[1] >= 0)
            PaintGradientRect(dc, rc, color(pGradient[1]), color(pGradient[0]), true, 256);
        else
            dc.FillSolidRect(&rc, clrMarkBack);
        dc.Draw3dRect(&rc, clrFrame, clrFrame);
    };
    if (p.IconInSecondHalf && p.CheckBoxInFirstHalf)
    {
        const int nSide = p.ItemRect.Height() - 2;
        CRect rcBox(bRTL ? p.ItemRect.right - 1 - nSide : p.ItemRect.left + 1, p.ItemRect.top + 1, 0, 0);
        rcBox.right = rcBox.left + nSide;
        rcBox.bottom = rcBox.top + nSide;
        fillMarkCell(rcBox);
        if (p.Checked)
            PaintMenuCheckMark(dc, rcBox.CenterPoint().x - 3, rcBox.CenterPoint().y - 3, color(TC_TEXT_NORMAL));
    }
    if (p.Checked || p.Radio)
        fillMarkCell(rcFrame);
    if (HasIcon(p))
    {
        CRect rcCaption(rcIcon);
        PaintIcon(dc, true, CString(), p.Icon, rcIcon, rcCaption, p.Checked || p.Radio, p.Enabled, p.Selected, 0, false,
                  p.IconEffectColor);
    }
    else
    {
        PaintSysCmdGlyph(dc, p.SysCmdId, rcIcon, p.Selected, false, p.Enabled);
        if (p.Checked && !p.CheckBoxInFirstHalf)
            PaintMenuCheckMark(dc, rcIcon.CenterPoint().x - 3, rcIcon.CenterPoint().y - 3, color(TC_TEXT_NORMAL));
        else if (p.Radio)
            PaintMenuRadioDot(dc, rcIcon.CenterPoint().x - 3, rcIcon.CenterPoint().y - 3, color(TC_TEXT_NORMAL));
    }
    if (!p.InPlaceRect.IsRectEmpty())
        PaintInPlaceControl(*this, dc, p, true);
    dc.SetBkMode(nOldMode);
    dc.SetTextColor(clrOldText);
}

void CExtPaintManagerXP::PaintMenuSeparator(CDC& dc, const RECT& rc, int nLeftAreaWidth, bool bRarelyUsed,
                                            CObject* pHelperSrc, LPARAM lParam)
{
    const CRect r(rc);
    if (r.IsRectEmpty())
        return;
    const bool bRTL = OwnerIsRightToLeft(pHelperSrc);
    CRect rcGutter(r), rcBody(r);
    if (bRTL)
    {
        rcGutter.left = r.right - nLeftAreaWidth;
        rcBody.right = rcGutter.left;
    }
    else
    {
        rcGutter.right = r.left + nLeftAreaWidth;
        rcBody.left = rcGutter.right;
    }
    PaintXpGutter(*this, dc, rcGutter, bRarelyUsed, false, pHelperSrc, lParam);
    dc.FillSolidRect(&rcBody, GetColor(TC_XP_LIGHT_FACE, pHelperSrc, lParam));
    const int y = r.top + r.Height() / 2 - 1;
    const CRect rcLine =
        bRTL ? CRect(r.left, y, rcGutter.left - 3, y + 1) : CRect(rcGutter.right + 3, y, r.right, y + 1);
    dc.FillSolidRect(&rcLine, GetColor(TC_XP_SOFT_SHADOW, pHelperSrc, lParam));
}
