// Push buttons in the classic and XP families: face, edges, the drop-down
// part and its arrow, the icon or window-command glyph, and the caption
// (rotated on vertical buttons, with the mnemonic drawn as a line there).
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/core/ExtGlyphBitmap.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <cstdlib>

namespace
{

const COLORREF kNoColor = static_cast<COLORREF>(-1);

bool IsSet(COLORREF clr)
{
    return clr != kNoColor;
}

// The text without its mnemonic marker, and where the marked character is
// in it (-1 when none).
CString StripMnemonic(LPCTSTR lpszText, int* pnMnemonic)
{
    CString s(lpszText);
    const int nAmp = s.Find('&');
    *pnMnemonic = -1;
    if (nAmp < 0)
        return s;
    s = s.Left(nAmp) + s.Mid(nAmp + 1);
    if (nAmp < s.GetLength())
        *pnMnemonic = nAmp;
    return s;
}

void OffsetByPushedContent(CExtPaintManager& pm, CRect& rc)
{
    SIZE offset = {0, 0};
    pm.GetPushedContentOffset(&offset);
    rc.OffsetRect(offset.cx, offset.cy);
}

void Frame(CDC& dc, const CRect& rc, COLORREF clr)
{
    dc.Draw3dRect(&rc, clr, clr);
}

// The font for a vertical caption: a caller's font without an escapement is
// copied with one.
HFONT ButtonFont(CExtPaintManager& pm, const CExtPaintManager::PushButtonParams& p, CFont& fontRotated)
{
    if (p.Font == nullptr)
    {
        if (p.Horizontal)
            return static_cast<HFONT>((p.DefaultButton ? pm.FontBold : pm.FontNormal).GetSafeHandle());
        return static_cast<HFONT>((p.DefaultButton ? pm.FontBoldVert : pm.FontNormalVert).GetSafeHandle());
    }
    if (p.Horizontal)
        return p.Font;
    LOGFONTA lf = {};
    ::GetObjectA(p.Font, sizeof(lf), &lf);
    if (lf.lfEscapement != 0)
        return p.Font;
    lf.lfEscapement = 2700;
    fontRotated.CreateFontIndirect(&lf);
    return static_cast<HFONT>(fontRotated.GetSafeHandle());
}

// The caption of a push button in rcText, in the context's text colour.
// bEmboss draws the disabled look: a highlight copy one pixel right and
// down, then a shadow copy in place.
void PaintButtonText(CExtPaintManager& pm, CDC& dc, const CExtPaintManager::PushButtonParams& p, const CRect& rcText,
                     bool bRTL, bool bEmboss)
{
    CFont fontRotated;
    const HFONT hFont = ButtonFont(pm, p, fontRotated);
    int nMnemonic = -1;
    const CString sPlain = StripMnemonic(p.Text, &nMnemonic);
    UINT nFormat = bRTL || p.RightToLeftReading ? DT_RTLREADING : 0;
    nFormat |= p.WordBreak ? DT_WORDBREAK : DT_SINGLELINE;
    const HGDIOBJ hOldFont = dc.SelectObject(hFont);
    CRect rcMeasure(0, 0, p.WordBreak ? rcText.Width() : 0, 0);
    dc.DrawText(sPlain, &rcMeasure, nFormat | DT_CALCRECT);
    CRect rcPlaced(rcText);
    if ((p.DrawTextFormat & CExtPaintManager::PushButtonParams::AlignVCenter) != 0)
        rcPlaced.OffsetRect(0, (rcText.Height() - rcMeasure.Height()) / 2);
    if ((p.DrawTextFormat & CExtPaintManager::PushButtonParams::AlignCenter) != 0)
        rcPlaced.OffsetRect((rcText.Width() - rcMeasure.Width()) / 2, 0);
    const COLORREF clrText = dc.GetTextColor();
    const COLORREF clrHilight = pm.GetColor(COLOR_3DHILIGHT, p.Owner, p.LParam);
    const COLORREF clrShadow = pm.GetColor(COLOR_3DSHADOW, p.Owner, p.LParam);
    if (p.Horizontal)
    {
        if (bEmboss)
        {
            CRect rcLight(rcPlaced);
            rcLight.OffsetRect(1, 1);
            dc.SetTextColor(clrHilight);
            dc.DrawText(p.Text, -1, &rcLight, nFormat);
            dc.SetTextColor(clrShadow);
        }
        dc.DrawText(p.Text, -1, &rcPlaced, nFormat);
        dc.SelectObject(hOldFont);
        return;
    }

    // Rotated text has no mnemonic underline of its own.
    LOGFONTA lf = {};
    ::GetObjectA(hFont, sizeof(lf), &lf);
    const int x0 = (rcText.Width() - std::abs(static_cast<int>(lf.lfHeight))) / 2;
    CRect rcRotated(rcText.right - x0 + 1, rcText.top + 2, 0, 0);
    rcRotated.right = rcRotated.left + rcText.Width() - 4;
    rcRotated.bottom = rcRotated.top + rcText.Height() - 4;
    const UINT nRotatedFormat = DT_NOCLIP | DT_SINGLELINE | DT_NOPREFIX;
    int xLine = 0, yFrom = 0, yTo = 0;
    if (nMnemonic >= 0)
    {
        CFont& measureFont = p.DefaultButton ? pm.FontBold : pm.FontNormal;
        const CRect rcUpright =
            CExtPaintManager::MeasureTextBounds(dc, measureFont, sPlain, DT_CALCRECT | DT_SINGLELINE);
        xLine = rcText.left + (rcText.Width() - rcUpright.Height()) / 2 - 1;
        yFrom = rcText.top + 2 + CExtPaintManager::MeasureTextWidth(dc, measureFont, sPlain.Left(nMnemonic));
        yTo = rcText.top + 2 + CExtPaintManager::MeasureTextWidth(dc, measureFont, sPlain.Left(nMnemonic + 1));
        dc.SelectObject(hFont);
    }
    auto paint = [&](int dx, COLORREF clr)
    {
        CRect rc(rcRotated);
        rc.OffsetRect(dx, dx);
        dc.SetTextColor(clr);
        dc.DrawText(sPlain, &rc, nRotatedFormat);
        if (nMnemonic < 0)
            return;
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, clr);
        CPen* pOldPen = dc.SelectObject(&pen);
        dc.MoveTo(xLine + dx, yFrom + dx);
        dc.LineTo(xLine + dx, yTo + dx);
        dc.SelectObject(pOldPen);
    };
    if (bEmboss)
    {
        paint(1, clrHilight);
        paint(0, clrShadow);
    }
    else
        paint(0, clrText);
    dc.SelectObject(hOldFont);
}

// What the classic and XP bodies share; bXp selects the XP family's
// colours, one-colour edges and gradient faces.
void PaintPushButtonBody(CExtPaintManager& pm, CDC& dc, CExtPaintManager::PushButtonParams& p, bool bXp,
                         const int* pGradientIndices, bool bIconHoverShadow)
{
    using PM = CExtPaintManager;
    if (p.ButtonRect.IsRectEmpty())
        return;
    const bool bRTL = p.IsRightToLeft();
    if (!p.Enabled)
    {
        p.Hover = false;
        p.ExtraState = false;
        p.DrawFocusRect = false;
    }
    if (!bXp && p.SeparateDropDown && (p.Pushed || p.DropDownPushed))
        p.Hover = false;

    const COLORREF clrOldText = dc.GetTextColor();
    const COLORREF clrOldBk = dc.GetBkColor();
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    auto color = [&](int nIndex) { return pm.GetColor(nIndex, p.Owner, p.LParam); };
    const bool bCustomBack = IsSet(p.BackgroundColor);
    const bool bPressedLook = (p.Pushed && !p.SeparateDropDown) || p.DropDownPushed;

    // Colours of the main and drop-down parts and of the edges.
    COLORREF clrMain, clrArrow, clrEdge = 0;
    if (!bXp)
        clrMain =
            bCustomBack ? p.BackgroundColor : color(p.Hover || p.Pushed ? PM::TC_FACE_ACTIVE : PM::TC_FACE_NORMAL);
    else if (bCustomBack)
        clrMain = p.BackgroundColor;
    else if (!p.Hover && !p.Pushed && !p.DropDownPushed)
        clrMain = color(p.Flat ? PM::TC_FACE_NORMAL : COLOR_3DFACE);
    else
        clrMain = color(PM::TC_FACE_ACTIVE);
    clrArrow = clrMain;
    if (bXp && !bCustomBack && (p.Hover || p.Pushed || p.DropDownPushed))
    {
        if (p.Pushed || p.DropDownPushed)
            (p.DropDownPushed ? clrArrow : clrMain) = color(p.Hover ? PM::TC_XP_PRESSED_FACE : PM::TC_FACE_ACTIVE);
        if (p.SeparateDropDown && p.Pushed && !p.Hover && !p.DropDownPushed)
            clrArrow = color(PM::TC_FACE_NORMAL);
    }
    if (bXp)
        clrEdge =
            p.Hover || p.Pushed || p.DropDownPushed || p.Flat ? color(PM::TC_XP_HOT_BORDER) : color(COLOR_3DDKSHADOW);
    auto raisedOrSunken = [&](const CRect& rc, bool bSunken)
    {
        if (bXp)
            Frame(dc, rc, clrEdge);
        else if (bSunken)
            dc.Draw3dRect(&rc, color(PM::TC_SHADOW_ACTIVE), color(PM::TC_HILIGHT_ACTIVE));
        else
            dc.Draw3dRect(&rc, color(PM::TC_HILIGHT_NORMAL), color(PM::TC_SHADOW_NORMAL));
    };
    auto edgeWanted = [&](bool bSunken) { return !p.Flat || (p.DrawBorder && (bSunken || p.Hover)); };
    CBrush& brushLight = pm.FillBrushes[PM::BrushLight50Sys];

    CRect rcMain(p.ButtonRect), rcText(p.ButtonRect), rcArrow(0, 0, 0, 0);
    if (p.DropDown)
    {
        rcArrow = p.ButtonRect;
        // XP arrow parts overlap the text part by a pixel.
        const int nOverlap = bXp ? 1 : 0;
        if (p.Horizontal)
        {
            const int n = 6 + CExtGlyphBitmap::GlyphDropDownArrow.GetSize().cx;
            if (bRTL)
            {
                rcText.left += n;
                rcArrow.right = rcText.left + nOverlap;
            }
            else
            {
                rcText.right -= n;
                rcArrow.left = rcText.right - nOverlap;
            }
        }
        else
        {
            rcText.bottom -= 6 + CExtGlyphBitmap::GlyphDropDownArrowVert.GetSize().cy;
            rcArrow.top = rcText.bottom - nOverlap;
        }
        if (bXp)
        {
            if (bCustomBack || (!p.TransparentBackground && (p.Hover || p.DropDownPushed)))
                dc.FillSolidRect(&rcArrow, clrArrow);
        }
        else if (!p.TransparentBackground || bCustomBack)
        {
            if (p.Enabled && bPressedLook && p.Hover && !bCustomBack)
                dc.FillRect(&rcArrow, &brushLight);
            else
                dc.FillSolidRect(&rcArrow, clrMain);
        }
        if (p.SeparateDropDown)
        {
            rcMain = rcText;
            if (edgeWanted(bPressedLook))
                raisedOrSunken(rcArrow, bPressedLook);
        }
    }

    // Face and edges of the main part.
    if (!p.TransparentBackground || bCustomBack)
    {
        const int nPair = p.Hover && p.Pushed ? 2 : p.Hover ? 0 : p.Pushed ? 1 : -1;
        if (bXp && !bCustomBack && nPair >= 0 && pGradientIndices[2 * nPair] >= 0 &&
            pGradientIndices[2 * nPair + 1] >= 0)
        {
            const COLORREF clrFrom = color(pGradientIndices[2 * nPair]), clrTo = color(pGradientIndices[2 * nPair + 1]);
            if (p.Horizontal)
                PM::PaintGradientRect(dc, rcMain, clrTo, clrFrom, true, 256);
            else
                PM::PaintGradientRect(dc, rcMain, clrFrom, clrTo, false, 256);
        }
        else if (!bXp && p.Enabled && p.Pushed && p.Hover && !bCustomBack)
            dc.FillRect(&rcMain, &brushLight);
        else
            dc.FillSolidRect(&rcMain, clrMain);
    }
    const bool bMainSunken = bXp ? bPressedLook : p.Pushed;
    if (edgeWanted(bMainSunken))
        raisedOrSunken(rcMain, bMainSunken);
    if (!bMainSunken && !p.Flat && p.Hover)
    {
        if (bXp)
            Frame(dc, p.ButtonRect, clrEdge);
        else
        {
            dc.Draw3dRect(&p.ButtonRect, color(PM::TC_SHADOW_NORMAL), color(PM::TC_DKSHADOW_NORMAL));
            CRect rcInner(p.ButtonRect);
            rcInner.DeflateRect(1, 1);
            dc.Draw3dRect(&rcInner, color(PM::TC_HILIGHT_NORMAL), color(PM::TC_SHADOW_NORMAL));
        }
    }

    if (p.DropDown)
    {
        CRect rcGlyph(rcArrow);
        if (bPressedLook)
            OffsetByPushedContent(pm, rcGlyph);
        if (bRTL && (rcGlyph.Width() % 2 == (bXp ? 0 : 1)))
            ++rcGlyph.right;
        COLORREF colors[2] = {0, 0};
        if (bXp)
            colors[1] = color(p.Enabled ? COLOR_BTNTEXT : COLOR_3DSHADOW);
        else
            colors[1] = color(p.Enabled ? PM::TC_TEXT_NORMAL : PM::TC_SHADOW_NORMAL);
        pm.PaintGlyphCentered(
            dc, rcGlyph, p.Horizontal ? CExtGlyphBitmap::GlyphDropDownArrow : CExtGlyphBitmap::GlyphDropDownArrowVert,
            colors);
    }

    if (rcText.Height() > 0 && rcText.Width() > 0)
    {
        const bool bIconPushed = bXp ? p.Pushed || p.DropDownPushed : p.Pushed;
        if (p.Icon != nullptr && !p.Icon->IsEmpty())
        {
            // The icon's caption space never reaches into the drop-down part.
            CRect rcCaption(rcText);
            pm.PaintIcon(dc, p.Horizontal, CString(p.Text), p.Icon, rcMain, rcCaption, bIconPushed, p.Enabled, p.Hover,
                         static_cast<int>(p.TextAlignment), p.ForceRightToLeft && p.Horizontal, p.IconEffectColor);
            rcText.IntersectRect(&rcText, &rcCaption);
            // A menu's own buttons keep their captions clear of the icon column.
            if (p.Horizontal && p.Owner != nullptr && p.Owner->IsKindOf(RUNTIME_CLASS(CExtPopupMenuWnd)))
            {
                if (bRTL)
                    rcText.right -= 3;
                else
                    rcText.left += 3;
            }
        }
        else
        {
            const int n = bXp ? 3 : 2;
            if (p.Horizontal)
                rcText.DeflateRect(n, 0);
            else
                rcText.DeflateRect(0, n);
            pm.PaintSysCmdGlyph(dc, p.SysCmdId, rcMain, false, bIconPushed, p.Enabled);
        }

        if (p.Text[0] != '\0' && !rcText.IsRectEmpty())
        {
            if (p.Pushed)
                OffsetByPushedContent(pm, rcText);
            dc.SetBkColor(clrMain);
            COLORREF clrText;
            if (!p.Enabled)
                clrText = IsSet(p.TextDisabledColor) ? p.TextDisabledColor : color(COLOR_3DSHADOW);
            else if (bXp)
                clrText = p.Hover && p.Pushed && IsSet(p.TextPushedColor) ? p.TextPushedColor
                          : IsSet(p.TextNormalColor)                      ? p.TextNormalColor
                          : p.Hover && p.Pushed                           ? color(PM::TC_XP_HOT_TEXT)
                                                                          : color(COLOR_BTNTEXT);
            else
                clrText = p.Pushed && IsSet(p.TextPushedColor) ? p.TextPushedColor
                          : p.Hover && IsSet(p.TextHoverColor) ? p.TextHoverColor
                          : IsSet(p.TextNormalColor)           ? p.TextNormalColor
                                                               : color(COLOR_BTNTEXT);
            dc.SetTextColor(clrText);
            dc.SetBkMode(TRANSPARENT);
            const bool bEmboss = !bXp && !p.Enabled && !p.PlainDisabledText && !IsSet(p.TextDisabledColor);
            PaintButtonText(pm, dc, p, rcText, bRTL, bEmboss);
        }
        if (p.DrawFocusRect)
        {
            CRect rcFocus(rcText);
            rcFocus.DeflateRect(3, 3);
            dc.DrawFocusRect(&rcFocus);
        }
    }
    dc.SetBkMode(nOldMode);
    dc.SetBkColor(clrOldBk);
    dc.SetTextColor(clrOldText);
}

// Where the icon goes in rcClient and the space it leaves for the text;
// false, and the whole of rcClient for the text, without an icon.
bool PlaceIcon(CExtPaintManager& pm, bool bHorz, const CString& sText, CExtCmdIcon* pIcon, const CRect& rcClient,
               CRect& rcCaption, bool bPushed, int nTextAlign, bool bRightToLeft, CPoint& pt)
{
    rcCaption = rcClient;
    if (pIcon == nullptr || pIcon->IsEmpty())
        return false;
    const bool bHasText = !sText.IsEmpty();
    const CSize size = pIcon->GetSize();
    const int L = rcClient.left, T = rcClient.top, R = rcClient.right, B = rcClient.bottom;
    pt.SetPoint(L, T);
    const bool bCenter = (nTextAlign & 1) != 0, bFar = (nTextAlign & 2) != 0, bMiddle = (nTextAlign & 4) != 0;
    if (bHorz)
    {
        if (!bHasText)
            pt.x = L + (rcClient.Width() - size.cx) / 2;
        else if (bFar && !bCenter)
        {
            if (bRightToLeft)
            {
                pt.x = L + 3;
                rcCaption.left = L + size.cx + 3;
                rcCaption.right = R - 3;
            }
            else
            {
                pt.x = R - size.cx - 3;
                rcCaption.left = L + 3;
                rcCaption.right = R - 3 - size.cx;
            }
        }
        else if (bRightToLeft)
        {
            pt.x = R - size.cx - 3;
            rcCaption.right = R - 3 - size.cx;
        }
        else
        {
            pt.x = L + 3;
            rcCaption.left = L + size.cx + 3;
        }
        if (bMiddle || (bFar && !bCenter && bHasText))
            pt.y = T + (rcClient.Height() - size.cy) / 2;
    }
    else
    {
        if (!bHasText)
            pt.y = T + (rcClient.Height() - size.cy) / 2;
        else if (bCenter)
        {
            pt.y = T + 3;
            rcCaption.top = T + size.cy + 3;
        }
        else if (bFar)
        {
            pt.y = B - size.cy - 3;
            rcCaption.bottom = B - 3 - size.cy;
        }
        if (bMiddle || (bFar && !bCenter && bHasText))
            pt.x = L + (rcClient.Width() - size.cx) / 2;
    }
    if (bPushed)
    {
        SIZE offset = {0, 0};
        pm.GetPushedContentOffset(&offset);
        pt.Offset(offset.cx, offset.cy);
    }
    return true;
}

const CExtGlyphBitmap* SysCmdGlyph(UINT nSysCmd)
{
    switch (nSysCmd)
    {
    case SC_CLOSE: return CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphClose];
    case SC_MINIMIZE: return CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphMinimize];
    case SC_MAXIMIZE: return CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphMaximize];
    case SC_RESTORE: return CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphRestore];
    case SC_CONTEXTHELP: return CExtGlyphBitmap::g_GlyphTable[CExtGlyphBitmap::GlyphHelp];
    default: return nullptr;
    }
}

} // namespace

CExtPaintManager::PushButtonParams::PushButtonParams(CObject* pOwner, bool bHorizontal, const RECT& rcButton,
                                                     LPCTSTR lpszText, CExtCmdIcon* pIcon, bool bFlat, bool bHover,
                                                     bool bPushed, bool bExtraState, bool bEnabled, bool bDrawBorder,
                                                     bool bDrawFocusRect, bool bDefaultButton, DWORD dwTextAlignment,
                                                     HFONT hFont, bool bDropDown, UINT nSysCmdId,
                                                     bool bTransparentBackground)
    : Owner(pOwner), ButtonRect(rcButton), Text(lpszText != nullptr ? lpszText : ""), Icon(pIcon),
      TextAlignment(dwTextAlignment), Font(hFont), SysCmdId(nSysCmdId), Horizontal(bHorizontal), Flat(bFlat),
      Hover(bHover), Pushed(bPushed), ExtraState(bExtraState), Enabled(bEnabled), DrawBorder(bDrawBorder),
      DrawFocusRect(bDrawFocusRect), DefaultButton(bDefaultButton), DropDown(bDropDown),
      TransparentBackground(bTransparentBackground), SeparateDropDown(false), DropDownPushed(false), WordBreak(false),
      DrawTextFormat(((dwTextAlignment & AlignCenter) != 0 ? AlignCenter : dwTextAlignment & AlignRight) |
                     (dwTextAlignment & AlignVCenter)),
      PlainDisabledText(false), ForceRightToLeft(false), RightToLeftReading(false)
{
}

bool CExtPaintManager::PushButtonParams::IsRightToLeft() const
{
    if (ForceRightToLeft)
        return true;
    if (Owner == nullptr)
        return false;
    if (Owner->IsKindOf(RUNTIME_CLASS(CExtPopupMenuWnd)))
        return static_cast<CExtPopupMenuWnd*>(Owner)->IsRightToLeft();
    if (!Owner->IsKindOf(RUNTIME_CLASS(CExtBarButton)))
        return false;
    CExtToolControlBar* pBar = static_cast<CExtBarButton*>(Owner)->GetBar();
    if (pBar == nullptr)
        return false;
    if (g_ResourceManager->IsRTL() != 0)
        return true;
    CWnd* pWnd = pBar->m_pDockSite != nullptr ? static_cast<CWnd*>(pBar->m_pDockSite) : pBar->GetParent();
    return pWnd != nullptr && (pWnd->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
}

void CExtPaintManager::PaintPushButton(CDC& dc, PushButtonParams& params)
{
    PaintPushButtonBody(*this, dc, params, false, nullptr, false);
}

void CExtPaintManagerXP::PaintPushButton(CDC& dc, PushButtonParams& params)
{
    PaintPushButtonBody(*this, dc, params, true, ButtonGradientIndices, XpFlags.IconHoverShadow);
}

void CExtPaintManager::PaintIcon(CDC& dc, bool bHorz, const CString& sText, CExtCmdIcon* pIcon, const CRect& rcClient,
                                 CRect& rcCaption, bool bPushed, bool bEnabled, bool, int nTextAlign, bool bRightToLeft,
                                 COLORREF clrEffect)
{
    CPoint pt;
    if (!PlaceIcon(*this, bHorz, sText, pIcon, rcClient, rcCaption, bPushed, nTextAlign, bRightToLeft, pt))
        return;
    if (bEnabled)
    {
        pIcon->PaintState(dc, pt, CExtCmdIcon::PS_NORMAL);
        return;
    }
    CBrush brush;
    if (IsSet(clrEffect))
        brush.CreateSolidBrush(clrEffect);
    pIcon->PaintState(dc, pt, CExtCmdIcon::PS_DISABLED, static_cast<HBRUSH>(brush.GetSafeHandle()));
}

void CExtPaintManagerXP::PaintIcon(CDC& dc, bool bHorz, const CString& sText, CExtCmdIcon* pIcon, const CRect& rcClient,
                                   CRect& rcCaption, bool bPushed, bool bEnabled, bool bHover, int nTextAlign,
                                   bool bRightToLeft, COLORREF clrEffect)
{
    CPoint ptCorner;
    if (!PlaceIcon(*this, bHorz, sText, pIcon, rcClient, rcCaption, bPushed, nTextAlign, bRightToLeft, ptCorner))
        return;
    CPoint pt(ptCorner);
    if (XpFlags.IconHoverShadow)
        pt.Offset(bRightToLeft ? -1 : 1, 1);
    CBrush brush;
    if (bEnabled)
    {
        if (!XpFlags.IconHoverShadow || !bHover || bPushed)
        {
            pIcon->PaintState(dc, pt, CExtCmdIcon::PS_NORMAL);
            return;
        }
        brush.CreateSolidBrush(IsSet(clrEffect) ? clrEffect : GetColor(COLOR_3DSHADOW));
        pIcon->PaintState(dc, pt, CExtCmdIcon::PS_MONOCHROME, static_cast<HBRUSH>(brush.GetSafeHandle()));
        pIcon->PaintState(dc, CPoint(pt.x - 2, pt.y - 2), CExtCmdIcon::PS_NORMAL);
        return;
    }
    brush.CreateSolidBrush(IsSet(clrEffect) ? clrEffect : GetColor(TC_XP_SOFT_SHADOW));
    const COLORREF clrColorize = IsSet(clrEffect) ? clrEffect : GetIconAlphaColor();
    if (IsSet(clrColorize))
    {
        if (pIcon->GetColorizeColor() != clrColorize)
            pIcon->SetColorizeColor(clrColorize);
        if (pIcon->GetColorizeFactor() != GetIconAlphaFactor())
            pIcon->SetColorizeFactor(GetIconAlphaFactor());
    }
    pIcon->PaintState(dc, ptCorner, IsSet(clrColorize) ? CExtCmdIcon::PS_COLORIZED : CExtCmdIcon::PS_MONOCHROME,
                      static_cast<HBRUSH>(brush.GetSafeHandle()));
}

void CExtPaintManager::PaintSysCmdGlyph(CDC& dc, UINT nSysCmd, const RECT& rc, bool bHover, bool bPushed, bool bEnabled)
{
    const CExtGlyphBitmap* pGlyph = SysCmdGlyph(nSysCmd);
    if (pGlyph == nullptr)
        return;
    CRect r(rc);
    if (bPushed)
        OffsetByPushedContent(*this, r);
    COLORREF colors[2] = {0, 0};
    if (bEnabled)
    {
        colors[1] = GetColor(bHover ? COLOR_HIGHLIGHTTEXT : TC_TEXT_NORMAL);
        PaintGlyphCentered(dc, r, *pGlyph, colors);
        return;
    }
    colors[1] = GetColor(TC_HILIGHT_NORMAL);
    PaintGlyphCentered(dc, CRect(r.left + 1, r.top + 1, r.right + 1, r.bottom + 1), *pGlyph, colors);
    colors[1] = GetColor(TC_SHADOW_NORMAL);
    PaintGlyphCentered(dc, r, *pGlyph, colors);
}

void CExtPaintManagerXP::PaintSysCmdGlyph(CDC& dc, UINT nSysCmd, const RECT& rc, bool bHover, bool bPushed,
                                          bool bEnabled)
{
    const CExtGlyphBitmap* pGlyph = SysCmdGlyph(nSysCmd);
    if (pGlyph == nullptr)
        return;
    CRect r(rc);
    if (bPushed)
        OffsetByPushedContent(*this, r);
    COLORREF colors[2] = {0, GetColor(COLOR_3DSHADOW)};
    if (bEnabled)
    {
        if (XpFlags.IconHoverShadow && bHover && !bPushed)
        {
            PaintGlyphCentered(dc, r, *pGlyph, colors);
            r.OffsetRect(-2, -2);
        }
        colors[1] = GetColor(TC_TEXT_NORMAL);
    }
    PaintGlyphCentered(dc, r, *pGlyph, colors);
}

CRect CExtPaintManager::MeasureTextBounds(CDC& dc, CFont& font, const CString& sText, UINT nFormat)
{
    CRect rc(0, 0, 0, 0);
    if (sText.Find('\t') >= 0)
        nFormat |= DT_EXPANDTABS;
    CFont* pOldFont = dc.SelectObject(&font);
    dc.DrawText(sText, &rc, nFormat | DT_CALCRECT);
    dc.SelectObject(pOldFont);
    rc.OffsetRect(-rc.left, -rc.top);
    return rc;
}

int CExtPaintManager::MeasureTextWidth(CDC& dc, CFont& font, const CString& sText)
{
    return MeasureTextBounds(dc, font, sText, DT_CALCRECT | DT_SINGLELINE).Width();
}
