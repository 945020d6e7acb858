// Frames of edit controls and combo boxes, the combo's drop-down button
// drawn as a push button with the Marlett arrow.
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include "framework/win/Controls.h"

namespace
{

const COLORREF kNoColor = static_cast<COLORREF>(-1);

void Ring(CDC& dc, const CRect& rc, COLORREF clr)
{
    dc.Draw3dRect(&rc, clr, clr);
}

// The Marlett font of the arrow: the same pixel height at any resolution.
struct ArrowFont
{
    CFont font;
    explicit ArrowFont(CDC& dc)
    {
        font.CreatePointFont(CExtPaintManager::ComboFrameParams::ArrowPointSize(dc.GetDeviceCaps(LOGPIXELSY)),
                             "Marlett", &dc);
    }
};

// Rings 4 and 5 of an edit frame in the XP family; rings 1 to 3 are the
// window colour.
void PaintXpControlFrame(CExtPaintManager& pm, CDC& dc, const CExtPaintManager::ControlFrameParams& p, CRect rc)
{
    const COLORREF clrWindow = pm.GetColor(COLOR_WINDOW, p.Owner, p.LParam);
    const COLORREF clrFace = pm.GetColor(CExtPaintManager::TC_FACE_NORMAL, p.Owner, p.LParam);
    const COLORREF clrHot = pm.GetColor(CExtPaintManager::TC_XP_HOT_BORDER, p.Owner, p.LParam);
    for (int i = 0; i < 3; ++i, rc.InflateRect(1, 1))
        Ring(dc, rc, clrWindow);
    Ring(dc, rc, p.Enabled && (p.Hover || p.Focus) ? clrHot : clrFace);
    rc.InflateRect(1, 1);
    Ring(dc, rc, p.Enabled && p.Hover && p.Focus ? clrHot : clrFace);
}

// The part of the combo's button column left of the button, in the
// control's colour.
void PaintButtonStrip(CDC& dc, const CRect& rcButtonInside, COLORREF clr)
{
    dc.FillSolidRect(rcButtonInside.left - 2, rcButtonInside.top, 3, rcButtonInside.Height(), clr);
}

} // namespace

// ---- edit frames ----

void CExtPaintManager::PaintControlFrame(CDC& dc, ControlFrameParams& p)
{
    CRect rc(p.FrameRect);
    const COLORREF clrWindow = GetColor(COLOR_WINDOW, p.Owner, p.LParam);
    for (int i = 0; i < 3; ++i, rc.InflateRect(1, 1))
        dc.Draw3dRect(&rc, clrWindow, clrWindow);
    const COLORREF clrFace = GetColor(TC_FACE_NORMAL, p.Owner, p.LParam);
    COLORREF ring4[2] = {clrFace, clrFace}, ring5[2] = {clrFace, clrFace};
    if (p.Enabled && (p.Hover || p.Focus))
    {
        const COLORREF sunken[2] = {GetColor(COLOR_3DSHADOW, p.Owner, p.LParam),
                                    GetColor(COLOR_3DHILIGHT, p.Owner, p.LParam)};
        if (p.Hover && p.Focus)
        {
            ring4[0] = GetColor(COLOR_3DDKSHADOW, p.Owner, p.LParam);
            ring4[1] = GetColor(COLOR_3DFACE, p.Owner, p.LParam);
            ring5[0] = sunken[0];
            ring5[1] = sunken[1];
        }
        else
        {
            ring4[0] = sunken[0];
            ring4[1] = sunken[1];
        }
    }
    dc.Draw3dRect(&rc, ring4[0], ring4[1]);
    rc.InflateRect(1, 1);
    dc.Draw3dRect(&rc, ring5[0], ring5[1]);
}

void CExtPaintManagerXP::PaintControlFrame(CDC& dc, ControlFrameParams& p)
{
    PaintXpControlFrame(*this, dc, p, p.FrameRect);
}

void CExtPaintManagerOffice2003::PaintControlFrame(CDC& dc, ControlFrameParams& p)
{
    CRect rc(p.FrameRect);
    if (p.Enabled && (p.Hover || p.Focus))
        rc.InflateRect(p.Hover && p.Focus ? 2 : 1, p.Hover && p.Focus ? 2 : 1);
    PaintXpControlFrame(*this, dc, p, rc);
    if (p.Owner == nullptr || !p.Owner->IsKindOf(RUNTIME_CLASS(CEdit)))
        return;
    const int nSaved = dc.SaveDC();
    CRect rcKeep(p.FrameRect);
    rcKeep.InflateRect(2, 2);
    dc.ExcludeClipRect(&rcKeep);
    PaintInheritedBackground(true, dc, static_cast<CWnd*>(p.Owner), 0);
    dc.RestoreDC(nSaved);
}

// ---- combo frames ----

void CExtPaintManager::PaintComboFrame(CDC& dc, ComboFrameParams& p)
{
    const bool bHot = p.IsHighlighted();
    const bool bCustom = p.FrameColor != kNoColor && !bHot;
    const COLORREF clrInnerLight = bCustom ? p.FrameColor : GetColor(TC_HILIGHT_NORMAL, p.Owner, p.LParam);
    const COLORREF clrFace = bCustom ? p.FrameColor : GetColor(TC_FACE_NORMAL, p.Owner, p.LParam);
    const COLORREF clrWindow =
        bCustom ? p.FrameColor : GetColor(p.Enabled ? COLOR_WINDOW : COLOR_3DFACE, p.Owner, p.LParam);
    CRect rc(p.FrameRect);
    if (bHot)
        dc.Draw3dRect(&rc, GetColor(TC_SHADOW_ACTIVE, p.Owner, p.LParam),
                      GetColor(TC_HILIGHT_ACTIVE, p.Owner, p.LParam));
    else
    {
        const COLORREF clrOuter = p.FaceColor != kNoColor ? p.FaceColor : GetColor(TC_FACE_NORMAL, p.Owner, p.LParam);
        Ring(dc, rc, clrOuter);
    }
    rc.DeflateRect(1, 1);
    Ring(dc, rc, p.Enabled ? clrFace : clrInnerLight);
    CRect rcButton(rc.right - ::GetSystemMetrics(SM_CXHTHUMB), rc.top, rc.right, rc.bottom);
    Ring(dc, rcButton, clrFace);
    rcButton.DeflateRect(1, 1);
    Ring(dc, rcButton, clrInnerLight);
    PaintButtonStrip(dc, rcButton, p.Enabled ? clrWindow : clrFace);
    if (bHot)
        dc.FillSolidRect(&rcButton, clrFace);
    rcButton.left += 1;
    ArrowFont arrow(dc);
    PushButtonParams button(this, true, rcButton, "6", nullptr, true, p.Hover && !p.Pushed, p.Pushed, false, p.Enabled,
                            true, false, false, PushButtonParams::AlignCenter | PushButtonParams::AlignVCenter,
                            static_cast<HFONT>(arrow.font.GetSafeHandle()));
    PaintPushButton(dc, button);
    if (!bHot)
        Ring(dc, rcButton, clrInnerLight);
}

void CExtPaintManagerXP::PaintComboFrame(CDC& dc, ComboFrameParams& p)
{
    const int nSaved = dc.SaveDC();
    const bool bHot = p.IsHighlighted();
    auto custom = [&](COLORREF clr, int nIndex)
    { return clr != kNoColor && !bHot ? clr : GetColor(nIndex, p.Owner, p.LParam); };
    const COLORREF clrBack = custom(p.FrameColor, p.Enabled ? COLOR_WINDOW : COLOR_3DFACE);
    const COLORREF clrFace = custom(p.FaceColor, TC_FACE_NORMAL);
    const COLORREF clrInner = custom(p.FrameColor, TC_XP_LIGHT_FACE);
    const COLORREF clrHot = custom(p.FrameColor, TC_XP_HOT_BORDER);
    const COLORREF clrOuter = bHot && p.HotFrameColor != kNoColor ? p.HotFrameColor : clrFace;
    CRect rc(p.FrameRect);
    if (!p.InMenuItem)
        Ring(dc, rc, clrOuter);
    rc.DeflateRect(1, 1);
    Ring(dc, rc, clrInner);
    CRect rcButton(rc.right - ::GetSystemMetrics(SM_CXHTHUMB), rc.top, rc.right, rc.bottom);
    Ring(dc, rcButton, clrInner);
    rcButton.DeflateRect(1, 1);
    Ring(dc, rcButton, clrInner);
    PaintButtonStrip(dc, rcButton, clrBack);
    rcButton.DeflateRect(1, 1);
    if (bHot)
        dc.FillSolidRect(&rcButton, clrInner);
    rcButton.InflateRect(1, 1);
    dc.FillSolidRect(&rcButton, clrFace);
    if (bHot)
        Ring(dc, CRect(p.FrameRect.left + 1, p.FrameRect.top + 1, p.FrameRect.right - 1, p.FrameRect.bottom - 1),
             clrHot);
    rcButton.left += 1;
    ArrowFont arrow(dc);
    PushButtonParams button(this, true, rcButton, "6", nullptr, true, bHot, p.Pushed, false, p.Enabled, true, false,
                            false, PushButtonParams::AlignCenter | PushButtonParams::AlignVCenter,
                            static_cast<HFONT>(arrow.font.GetSafeHandle()), false, 0, p.FaceColor != kNoColor && !bHot);
    PaintPushButton(dc, button);
    if (!bHot)
        Ring(dc, rcButton, clrInner);
    dc.RestoreDC(nSaved);
}

void CExtPaintManagerOffice2003::PaintComboFrame(CDC& dc, ComboFrameParams& p)
{
    CWnd* pOwnerWnd =
        p.Owner != nullptr && p.Owner->IsKindOf(RUNTIME_CLASS(CWnd)) ? static_cast<CWnd*>(p.Owner) : nullptr;
    const bool bComboBox = pOwnerWnd != nullptr && pOwnerWnd->IsKindOf(RUNTIME_CLASS(CComboBox));
    bool bOfficeForm = p.Owner != nullptr && p.Enabled && p.FrameColor == kNoColor && p.FaceColor == kNoColor &&
                       p.HotFrameColor == kNoColor && (bComboBox || p.Owner->IsKindOf(RUNTIME_CLASS(CExtBarButton))) &&
                       IsBackgroundInherited(pOwnerWnd, false) && GetDcBitsPerPixel(dc) > 8;
    const int w = ::GetSystemMetrics(SM_CXHTHUMB);
    // The frame ring and the button column only: the owner's background
    // shows through everything else.
    const int nSaved = dc.SaveDC();
    if (bOfficeForm)
    {
        const CRect& rcFrame = p.FrameRect;
        dc.IntersectClipRect(&rcFrame);
        dc.ExcludeClipRect(rcFrame.left + 2, rcFrame.top + 2, rcFrame.right - w - 3, rcFrame.bottom - 2);
        if (bComboBox && !PaintInheritedBackground(true, dc, pOwnerWnd, 0))
            bOfficeForm = false;
    }
    if (!bOfficeForm)
    {
        dc.RestoreDC(nSaved);
        CExtPaintManagerXP::PaintComboFrame(dc, p);
        if (p.Enabled || !bComboBox)
            return;
        const int nSavedOuter = dc.SaveDC();
        CRect rcKeep(p.FrameRect);
        rcKeep.DeflateRect(1, 1);
        dc.ExcludeClipRect(&rcKeep);
        PaintInheritedBackground(true, dc, pOwnerWnd, 0);
        dc.RestoreDC(nSavedOuter);
        return;
    }
    const COLORREF clrWindow = GetColor(COLOR_WINDOW, p.Owner, p.LParam);
    CRect rc(p.FrameRect);
    rc.DeflateRect(1, 1);
    Ring(dc, rc, clrWindow);
    CRect rcColumn(rc.left, rc.top + 1, rc.right - (w - 1), rc.bottom - 1);
    for (int i = 0; i < 4; ++i, --rcColumn.right)
        Ring(dc, rcColumn, clrWindow);
    const bool bHot = p.IsHighlighted();
    if (bHot)
        Ring(dc, rc, GetColor(TC_XP_HOT_BORDER, p.Owner, p.LParam));
    const CRect rcButton(rc.right - w, rc.top, rc.right, rc.bottom);
    ArrowFont arrow(dc);
    PushButtonParams button(this, true, rcButton, "6", nullptr, true, bHot, p.Pushed, false, p.Enabled, true, false,
                            false, PushButtonParams::AlignCenter | PushButtonParams::AlignVCenter,
                            static_cast<HFONT>(arrow.font.GetSafeHandle()), false, 0, !bHot);
    PaintPushButton(dc, button);
    dc.RestoreDC(nSaved);
}
