// The non-client chrome of control bars and floating frames: caption strips
// (titles and grippers) and the frames around the client area, and the
// finish under a bar button whose popup menu is open.
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <algorithm>
#include <cstdlib>

namespace
{

const COLORREF kNoColor = static_cast<COLORREF>(-1);

bool IsBarOfKind(CObject* pObject, CRuntimeClass* pClass)
{
    return pObject != nullptr && pObject->IsKindOf(pClass);
}

// A tool bar on a dock site that lets its parent's background show through.
bool IsUnframedToolBar(CObject* pObject)
{
    if (!IsBarOfKind(pObject, RUNTIME_CLASS(CExtToolControlBar)))
        return false;
    auto* pBar = static_cast<CExtToolControlBar*>(pObject);
    return pBar->m_pDockSite != nullptr && (pBar->m_nToolBarOptions & CExtToolControlBar::TbOptNoThemedFrame) != 0;
}

// Horizontal gradients start at the reading side.
void PaintCaptionGradient(CDC& dc, const RECT& rc, COLORREF clrFirst, COLORREF clrSecond, bool bSide, bool bRtl)
{
    if (bSide)
        CExtPaintManager::PaintGradientRect(dc, rc, clrFirst, clrSecond, true, 256);
    else if (bRtl)
        CExtPaintManager::PaintGradientRect(dc, rc, clrSecond, clrFirst, false, 256);
    else
        CExtPaintManager::PaintGradientRect(dc, rc, clrFirst, clrSecond, false, 256);
}

// Whether a floating frame shows its bar with the trimmed, unellipsised caption.
bool IsFloatingLookFrame(CObject* pObject)
{
    if (!IsBarOfKind(pObject, RUNTIME_CLASS(CExtMiniDockFrameWnd)))
        return false;
    const CExtControlBar* pBar = static_cast<CExtMiniDockFrameWnd*>(pObject)->GetFloatingExtBar();
    return pBar != nullptr && pBar->IsFloatingLookWanted();
}

void PaintCaptionText(CExtPaintManager& pm, CDC& dc, const CExtPaintManager::BarCaptionParams& p, COLORREF clrText,
                      bool bSmallNormalFont)
{
    const CString sText(p.Text);
    if (sText.IsEmpty() || p.TextRect.IsRectEmpty())
        return;
    CFont& font = p.SideCaption ? (bSmallNormalFont ? pm.FontSmallVertRev : pm.FontSmallBoldVertRev)
                                : (bSmallNormalFont ? pm.FontSmall : pm.FontSmallBold);
    const COLORREF clrOldText = dc.SetTextColor(clrText);
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    CFont* pOldFont = dc.SelectObject(&font);
    CRect rcText = p.TextRect;
    if (p.SideCaption)
    {
        LOGFONTA lf = {};
        ::GetObjectA(font.GetSafeHandle(), sizeof(lf), &lf);
        const int x = rcText.left + (rcText.Width() - std::abs(lf.lfHeight)) / 2 + 1;
        const int y = rcText.bottom - 1;
        const int nSaved = dc.SaveDC();
        dc.ExcludeClipRect(p.CaptionRect.left, p.CaptionRect.top, p.CaptionRect.right, rcText.top);
        CRect rcAt(x, y, x, y);
        dc.DrawText(sText, &rcAt, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
        dc.RestoreDC(nSaved);
    }
    else
    {
        const UINT nRtl = p.RightToLeft ? DT_RIGHT : 0;
        if (IsFloatingLookFrame(p.Bar))
        {
            CString sFit = sText;
            while (!sFit.IsEmpty() && CExtPaintManager::MeasureTextWidth(dc, font, sFit) > rcText.Width())
                sFit = sFit.Left(sFit.GetLength() - 1);
            dc.DrawText(sFit, &rcText, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | nRtl);
        }
        else
            dc.DrawText(sText, &rcText, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | nRtl);
    }
    dc.SelectObject(pOldFont);
    dc.SetBkMode(nOldMode);
    dc.SetTextColor(clrOldText);
}

// The caption rectangle extended down to 4 pixels into the client area.
CRect CaptionToClientTop(CExtPaintManager::BarCaptionParams& p)
{
    CRect rc = p.CaptionRect;
    CWnd* pWnd = IsBarOfKind(p.Bar, RUNTIME_CLASS(CWnd)) ? static_cast<CWnd*>(p.Bar) : nullptr;
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return rc;
    CRect rcWindow, rcClient;
    pWnd->GetWindowRect(&rcWindow);
    pWnd->GetClientRect(&rcClient);
    pWnd->ClientToScreen(&rcClient);
    rc.bottom = rcClient.top - rcWindow.top + 4;
    return rc;
}

// The gradient of a docked bar continued under its gripper.
void PaintGripperBackground(CExtPaintManagerOffice2003& pm, CDC& dc, CExtControlBar* pBar,
                            const CExtPaintManager::BarCaptionParams& p)
{
    if (pBar->GetSafeHwnd() == nullptr)
        return;
    CRect rcWindow, rcClient;
    pBar->GetWindowRect(&rcWindow);
    pBar->GetClientRect(&rcClient);
    pBar->ClientToScreen(&rcClient);
    rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
    const CRect rc = p.SideCaption ? CRect(0, rcClient.top, rcClient.right, rcClient.bottom)
                                   : CRect(rcClient.left, 0, rcClient.right, rcClient.bottom);
    SIZE corner = {0, 0};
    pm.GetToolBarButtonExtraSpace(&corner);
    CRgn rgn;
    const int nSaved = dc.SaveDC();
    if (rgn.CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, std::max<int>(corner.cx, 1),
                               std::max<int>(corner.cy, 1)))
        dc.SelectClipRgn(&rgn, RGN_AND);
    pm.PaintGradientBackground(dc, rc, p.SideCaption, pBar, p.LParam, kNoColor, kNoColor);
    if (corner.cx > 0 && corner.cy > 0 && pm.ToolBarEdgeColorIndex >= 0)
    {
        const COLORREF clrEdge = pm.GetColor(pm.ToolBarEdgeColorIndex, pBar, p.LParam);
        if (p.SideCaption)
            dc.FillSolidRect(rc.left, rc.bottom - 2, rc.Width(), 1, clrEdge);
        else
            dc.FillSolidRect(rc.right - 2, rc.top, 1, rc.Height(), clrEdge);
    }
    dc.RestoreDC(nSaved);
}

// Dark 2 x 2 dots over light ones a pixel down and right, every 4 pixels,
// the run ending at the far end of the span.
void PaintGripperDots(CExtPaintManager& pm, CDC& dc, const CExtPaintManager::BarCaptionParams& p)
{
    const COLORREF clrDark = pm.GetColor(CExtPaintManager::TC_2003_GRIPPER_DARK, p.Bar, p.LParam);
    const COLORREF clrLight = pm.GetColor(CExtPaintManager::TC_2003_GRIPPER_LIGHT, p.Bar, p.LParam);
    const CRect& rc = p.CaptionRect;
    const int nPitch = 4;
    if (p.SideCaption)
    {
        const int x = rc.left + 1 + (rc.Width() - 2) / 2;
        const int nTop = rc.top + 4, nBottom = rc.bottom - 6;
        const int nDots = (nBottom - nTop) / nPitch;
        for (int i = 0; i < nDots; ++i)
        {
            const int y = nBottom - (i + 1) * nPitch;
            dc.FillSolidRect(x + 1, y + 1, 2, 2, clrLight);
            dc.FillSolidRect(x, y, 2, 2, clrDark);
        }
    }
    else
    {
        const int y = rc.top + 1 + (rc.Height() - 2) / 2;
        const int nLeft = rc.left + 4, nRight = rc.right - 6;
        const int nDots = (nRight - nLeft) / nPitch;
        for (int i = 0; i < nDots; ++i)
        {
            const int x = nRight - (i + 1) * nPitch;
            dc.FillSolidRect(x + 1, y + 1, 2, 2, clrLight);
            dc.FillSolidRect(x, y, 2, 2, clrDark);
        }
    }
}

void PaintXpGripperPattern(CExtPaintManager& pm, CDC& dc, const CExtPaintManager::BarCaptionParams& p)
{
    const CRect& rc = p.CaptionRect;
    const bool bSide = p.SideCaption;
    CBitmap bmp;
    if (CExtPaintManager::GetDcBitsPerPixel(dc) <= 8)
    {
        WORD bits[8];
        for (int i = 0; i < 8; ++i)
            bits[i] = bSide ? ((i & 1) == 0 ? 0xFF : 0x00) : 0xAA;
        bmp.Attach(::CreateBitmap(8, 8, 1, 1, bits));
    }
    else
    {
        const COLORREF clrFace = pm.GetColor(CExtPaintManager::TC_FACE_NORMAL, p.Bar, p.LParam);
        const COLORREF c15 = pm.GetColor(COLOR_3DFACE, p.Bar, p.LParam);
        const COLORREF c16 = pm.GetColor(COLOR_3DSHADOW, p.Bar, p.LParam);
        const COLORREF clrLine =
            dc.GetNearestColor(RGB((2 * GetRValue(c15) + GetRValue(c16)) / 3, (2 * GetGValue(c15) + GetGValue(c16)) / 3,
                                   (2 * GetBValue(c15) + GetBValue(c16)) / 3));
        bmp.Attach(::CreateCompatibleBitmap(dc.GetSafeHdc(), 8, 8));
        HDC hMem = ::CreateCompatibleDC(dc.GetSafeHdc());
        if (bmp.GetSafeHandle() != nullptr && hMem != nullptr)
        {
            HGDIOBJ hOldBmp = ::SelectObject(hMem, bmp.GetSafeHandle());
            CDC* pMem = CDC::FromHandle(hMem);
            pMem->FillSolidRect(0, 0, 8, 8, clrFace);
            for (int i = 0; i < 8; i += 2)
            {
                if (bSide)
                    pMem->FillSolidRect(0, i, 8, 1, clrLine);
                else
                    pMem->FillSolidRect(i, 0, 1, 8, clrLine);
            }
            ::SelectObject(hMem, hOldBmp);
        }
        if (hMem != nullptr)
            ::DeleteDC(hMem);
    }
    if (bmp.GetSafeHandle() == nullptr)
        return;
    CBrush brush(&bmp);
    if (brush.GetSafeHandle() == nullptr)
        return;
    const CRect rcStrip = bSide ? CRect(rc.left + 6, rc.top + 2, rc.left + 9, rc.bottom - 2)
                                : CRect(rc.left + 3, rc.top + 6, rc.right - 1, rc.top + 9);
    const COLORREF clrOldBk = dc.SetBkColor(pm.GetColor(CExtPaintManager::TC_XP_LIGHT_FACE, p.Bar, p.LParam));
    CBrush* pOldBrush = dc.SelectObject(&brush);
    dc.PatBlt(rcStrip.left, rcStrip.top, rcStrip.Width(), rcStrip.Height(), 0x00A000C9);
    dc.SelectObject(pOldBrush);
    dc.SetBkColor(clrOldBk);
}

// The dotted outline of a docked XP frame at low colour depths.
void PaintDottedOutline(CExtPaintManager& pm, CDC& dc, const CRect& rc, bool bPlainBorder, CObject* pBar, LPARAM lParam)
{
    const WORD bits[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    CBitmap bmp;
    bmp.Attach(::CreateBitmap(8, 8, 1, 1, bits));
    HPEN hPen = nullptr;
    if (bmp.GetSafeHandle() != nullptr)
    {
        LOGBRUSH lb = {BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bmp.GetSafeHandle())};
        hPen = ::ExtCreatePen(PS_GEOMETRIC, 1, &lb, 0, nullptr);
    }
    if (hPen == nullptr)
        hPen = ::CreatePen(PS_SOLID, 1, pm.GetColor(COLOR_3DSHADOW, pBar, lParam));
    HGDIOBJ hOld = ::SelectObject(dc.GetSafeHdc(), hPen != nullptr ? hPen : ::GetStockObject(BLACK_PEN));
    if (bPlainBorder)
    {
        const POINT pts[5] = {{rc.left, rc.top},
                              {rc.right - 1, rc.top},
                              {rc.right - 1, rc.bottom - 1},
                              {rc.left, rc.bottom - 1},
                              {rc.left, rc.top}};
        dc.Polyline(pts, 5);
    }
    else
    {
        const POINT pts[9] = {
            {rc.left + 2, rc.top},         {rc.right - 3, rc.top},        {rc.right - 1, rc.top + 2},
            {rc.right - 1, rc.bottom - 3}, {rc.right - 3, rc.bottom - 1}, {rc.left + 2, rc.bottom - 1},
            {rc.left, rc.bottom - 3},      {rc.left, rc.top + 2},         {rc.left + 2, rc.top}};
        dc.Polyline(pts, 9);
    }
    ::SelectObject(dc.GetSafeHdc(), hOld);
    if (hPen != nullptr)
        ::DeleteObject(hPen);
}

} // namespace

void CExtPaintManager::PaintBarCaption(CDC& dc, BarCaptionParams& p)
{
    if (!p.FloatingFrame && !p.PaneTitle)
    {
        const COLORREF clrLight = GetColor(TC_HILIGHT_NORMAL, p.Bar, p.LParam);
        const COLORREF clrShadow = GetColor(TC_SHADOW_NORMAL, p.Bar, p.LParam);
        CRect rc = p.CaptionRect;
        if (p.SideCaption)
        {
            rc.DeflateRect(4, 1, 4, 0);
            rc.right = rc.left + 3;
            dc.Draw3dRect(&rc, clrLight, clrShadow);
            rc.OffsetRect(3, 0);
        }
        else
        {
            rc.OffsetRect(1, 0);
            rc.DeflateRect(0, 4, 1, 4);
            rc.bottom = rc.top + 3;
            dc.Draw3dRect(&rc, clrLight, clrShadow);
            rc.OffsetRect(0, 3);
        }
        dc.Draw3dRect(&rc, clrLight, clrShadow);
        return;
    }
    CRect rc = p.CaptionRect;
    if (!p.FloatingFrame)
        rc.DeflateRect(1, 1);
    COLORREF clrText;
    if (p.PaneTitle)
    {
        const bool bActiveLook = p.Active || p.FloatingFrame;
        if (!p.NoFill)
        {
            const COLORREF clrFirst =
                GetColor(bActiveLook ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION, p.Bar, p.LParam);
            if (GetDcBitsPerPixel(dc) <= 8)
                dc.FillSolidRect(&rc, clrFirst);
            else
                PaintCaptionGradient(dc, rc, clrFirst,
                                     GetColor(bActiveLook ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION,
                                              p.Bar, p.LParam),
                                     p.SideCaption, p.RightToLeft);
        }
        clrText = GetColor(p.Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT, p.Bar, p.LParam);
    }
    else
    {
        if (!p.NoFill)
            dc.FillSolidRect(&rc, GetColor(COLOR_HIGHLIGHT, p.Bar, p.LParam));
        clrText = GetColor(COLOR_HIGHLIGHTTEXT, p.Bar, p.LParam);
    }
    PaintCaptionText(*this, dc, p, clrText, p.PaneTitle && !p.FloatingFrame);
}

void CExtPaintManagerXP::PaintBarCaption(CDC& dc, BarCaptionParams& p)
{
    if (!p.FloatingFrame && !p.PaneTitle)
    {
        if (!IsUnframedToolBar(p.Bar))
        {
            CRect rc = p.CaptionRect;
            rc.DeflateRect(1, 1);
            dc.FillSolidRect(&rc, GetColor(TC_FACE_NORMAL, p.Bar, p.LParam));
        }
        PaintXpGripperPattern(*this, dc, p);
        return;
    }
    const bool bInactiveTitle = p.PaneTitle && !p.Active;
    if (!p.NoFill)
    {
        const int nFill = !p.PaneTitle ? COLOR_3DSHADOW : p.Active ? COLOR_HIGHLIGHT : TC_XP_FACE;
        dc.FillSolidRect(&p.CaptionRect, GetColor(nFill, p.Bar, p.LParam));
        if (bInactiveTitle && !p.FloatingFrame)
        {
            const COLORREF clrFrame = GetColor(COLOR_3DSHADOW, p.Bar, p.LParam);
            Draw3dRectNoCorners(dc, p.CaptionRect, clrFrame, clrFrame);
        }
    }
    PaintCaptionText(*this, dc, p, GetColor(bInactiveTitle ? COLOR_BTNTEXT : COLOR_CAPTIONTEXT, p.Bar, p.LParam),
                     p.PaneTitle);
}

void CExtPaintManagerOffice2003::PaintBarCaption(CDC& dc, BarCaptionParams& p)
{
    const bool bSlider = IsBarOfKind(p.Bar, RUNTIME_CLASS(CExtDynAutoHideSlider));
    const bool bBar = IsBarOfKind(p.Bar, RUNTIME_CLASS(CExtControlBar));
    if (p.FloatingFrame || !(bBar || bSlider) || GetScreenBitsPerPixel() <= 8)
    {
        CExtPaintManagerXP::PaintBarCaption(dc, p);
        return;
    }
    bool bPlain = false;
    if (bBar)
    {
        auto* pBar = static_cast<CExtControlBar*>(p.Bar);
        if (pBar->m_pDockSite != nullptr && pBar->IsFloating())
        {
            CExtPaintManagerXP::PaintBarCaption(dc, p);
            return;
        }
        const bool bToolBar = pBar->IsKindOf(RUNTIME_CLASS(CExtToolControlBar));
        bPlain =
            pBar->IsKindOf(RUNTIME_CLASS(CExtPanelControlBar)) || IsUnframedToolBar(pBar) ||
            (pBar->m_pDockSite == nullptr && (!bToolBar || (static_cast<CExtToolControlBar*>(pBar)->m_nToolBarOptions &
                                                            CExtToolControlBar::TbOptGradientUndocked) == 0));
    }
    if (!p.PaneTitle && !bSlider)
    {
        auto* pBar = static_cast<CExtControlBar*>(p.Bar);
        if (!bPlain && !pBar->IsKindOf(RUNTIME_CLASS(CExtMenuControlBar)))
            PaintGripperBackground(*this, dc, pBar, p);
        PaintGripperDots(*this, dc, p);
        return;
    }
    if (!p.Active)
        p.NoFill = true;
    if ((p.PaneTitle && !p.Active) || (bSlider && !p.PaneTitle))
        PaintCaptionGradient(dc, CaptionToClientTop(p), GetColor(TC_2003_BACK_LIGHT, p.Bar, p.LParam),
                             GetColor(TC_2003_BACK_DARK, p.Bar, p.LParam), false, p.RightToLeft);
    CExtPaintManagerXP::PaintBarCaption(dc, p);
}

void CExtPaintManagerStudio2005::PaintBarCaption(CDC& dc, BarCaptionParams& p)
{
    if (!p.PaneTitle)
    {
        CExtPaintManagerOffice2003::PaintBarCaption(dc, p);
        return;
    }
    const CRect rc = CaptionToClientTop(p);
    if (GetDcBitsPerPixel(dc) > 8)
    {
        if (p.Active)
        {
            const COLORREF clrFrom = GetColor(TC_2005_CAPTION_ACTIVE_FROM, nullptr, 0);
            const COLORREF clrTo = GetColor(TC_2005_CAPTION_ACTIVE_TO, nullptr, 0);
            // the first colour of a vertical gradient lands at the bottom
            PaintGradientRect(dc, rc, clrTo, clrFrom, !p.SideCaption, 256);
        }
        else
            dc.FillSolidRect(&rc, GetColor(TC_2005_CAPTION_INACTIVE, nullptr, 0));
    }
    else
        dc.FillSolidRect(&rc, GetColor(p.Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION, nullptr, 0));
    p.NoFill = true;
    if (IsLunaSchemeUsed())
        CExtPaintManagerXP::PaintBarCaption(dc, p);
    else
        CExtPaintManager::PaintBarCaption(dc, p);
}

void CExtPaintManager::PaintBarFrame(CDC& dc, BarFrameParams& p)
{
    if (p.WindowRect.IsRectEmpty())
        return;
    dc.ExcludeClipRect(&p.ClientRect);
    if (IsUnframedToolBar(p.Bar))
        return;
    const COLORREF clrFace = GetColor(TC_FACE_NORMAL, p.Bar, p.LParam);
    const COLORREF clrLight = GetColor(TC_HILIGHT_NORMAL, p.Bar, p.LParam);
    const COLORREF clrShadow = GetColor(TC_SHADOW_NORMAL, p.Bar, p.LParam);
    CRect rc = p.WindowRect;
    dc.FillSolidRect(&rc, clrFace);
    if (p.Floating)
    {
        dc.Draw3dRect(&rc, clrFace, GetColor(TC_DKSHADOW_NORMAL, p.Bar, p.LParam));
        rc.DeflateRect(1, 1);
        dc.Draw3dRect(&rc, clrLight, clrShadow);
    }
    else if (!p.NoEdge)
        dc.Draw3dRect(&rc, clrLight, clrShadow);
    dc.IntersectClipRect(&p.WindowRect);
}

void CExtPaintManagerXP::PaintBarFrame(CDC& dc, BarFrameParams& p)
{
    if (p.WindowRect.IsRectEmpty())
        return;
    dc.ExcludeClipRect(&p.ClientRect);
    CRect rc = p.WindowRect;
    if (p.Floating)
    {
        const COLORREF clrOldBk = dc.GetBkColor();
        const COLORREF clrShadow = GetColor(COLOR_3DSHADOW, p.Bar, p.LParam);
        dc.FillSolidRect(&rc, GetColor(p.NoEdge ? TC_XP_FRAME_LIGHT : TC_XP_FRAME_FACE, p.Bar, p.LParam));
        dc.Draw3dRect(&rc, clrShadow, clrShadow);
        CRect rcInner = rc;
        rcInner.DeflateRect(1, 1);
        dc.Draw3dRect(&rcInner, clrShadow, clrShadow);
        rc.DeflateRect(1, 1, 2, 2);
        dc.SetPixel(rc.left, rc.top, clrShadow);
        dc.SetPixel(rc.left, rc.bottom, clrShadow);
        dc.SetPixel(rc.right, rc.top, clrShadow);
        dc.SetPixel(rc.right, rc.bottom, clrShadow);
        dc.SetBkColor(clrOldBk);
        dc.SelectClipRgn(nullptr);
        return;
    }
    if (IsUnframedToolBar(p.Bar))
        return;
    const COLORREF clrOldBk = dc.GetBkColor();
    dc.FillSolidRect(&rc, GetColor(TC_FACE_NORMAL, p.Bar, p.LParam));
    if (!p.NoEdge)
    {
        const COLORREF clrEdge = GetColor(COLOR_3DFACE, p.Bar, p.LParam);
        dc.Draw3dRect(&rc, clrEdge, clrEdge);
    }
    if (!p.NoDottedOutline && GetDcBitsPerPixel(dc) <= 8)
        PaintDottedOutline(*this, dc, rc, XpFlags.XpFrameOutline, p.Bar, p.LParam);
    dc.SetBkColor(clrOldBk);
    dc.SelectClipRgn(nullptr);
}

void CExtPaintManagerOffice2003::PaintBarFrame(CDC& dc, BarFrameParams& p)
{
    if (p.WindowRect.IsRectEmpty())
        return;
    if (!p.Floating && IsBarOfKind(p.Bar, RUNTIME_CLASS(CExtControlBar)) && GetScreenBitsPerPixel() > 8)
        return;
    CExtPaintManagerXP::PaintBarFrame(dc, p);
}

void CExtPaintManagerStudio2005::PaintBarFrame(CDC& dc, BarFrameParams& p)
{
    if (IsBarOfKind(p.Bar, RUNTIME_CLASS(CExtToolControlBar)) || !(p.Floating && p.NoEdge) ||
        p.WindowRect.IsRectEmpty())
    {
        CExtPaintManagerOffice2003::PaintBarFrame(dc, p);
        return;
    }
    dc.ExcludeClipRect(&p.ClientRect);
    CRect rc = p.WindowRect;
    const COLORREF clrFace = GetColor(TC_FACE_NORMAL, p.Bar, p.LParam);
    dc.FillSolidRect(&rc, clrFace);
    dc.Draw3dRect(&rc, clrFace, GetColor(COLOR_3DDKSHADOW, p.Bar, p.LParam));
    rc.DeflateRect(1, 1);
    dc.Draw3dRect(&rc, GetColor(COLOR_WINDOW, p.Bar, p.LParam), GetColor(COLOR_3DSHADOW, p.Bar, p.LParam));
    dc.IntersectClipRect(&p.WindowRect);
}

// The classic and XP themes leave the button to paint itself.
void CExtPaintManager::PaintTrackedButtonBackground(CDC&, CExtBarButton*, LPARAM)
{
}

void CExtPaintManagerOffice2003::PaintTrackedButtonBackground(CDC& dc, CExtBarButton* pButton, LPARAM lParam)
{
    if (pButton == nullptr || GetDcBitsPerPixel(dc) <= 8)
        return;
    const CRect rcButton = pButton->GetRect();
    CRect rc = rcButton;
    rc.DeflateRect(1, 1);
    PaintGradientRect(dc, rc, GetColor(TC_2003_TOOLBAR_DARK, pButton, lParam),
                      GetColor(TC_2003_TOOLBAR_LIGHT, pButton, lParam), true, 256);
    const CExtToolControlBar* pBar = pButton->GetBar();
    if (pBar != nullptr && pBar->IsDockedVertically() && !pButton->IsKindOf(RUNTIME_CLASS(CExtBarColorButton)) &&
        !pButton->IsSeparatedDropDown())
    {
        const COLORREF clrFrame = GetColor(TC_XP_GRIPPER, pButton, lParam);
        dc.Draw3dRect(&rcButton, clrFrame, clrFrame);
    }
}
