// The slider button: its parts, measuring, painting and the tracking loop
// that runs while the left button holds an arrow, a page area or the thumb.
#include "uitoolkit/bars/ExtBarSliderButton.h"

#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtHookSink.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/core/ExtGlyphBitmap.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

IMPLEMENT_DYNCREATE(CExtBarSliderButton, CExtBarButton)

namespace
{

using namespace kxtoolbar;

bool IsShown(CDC* pDC, const CRect& rc)
{
    return !rc.IsRectEmpty() && pDC->RectVisible(&rc);
}

// The mouse messages from the left button's release to the middle
// button's double click end tracking.
bool EndsTracking(const MSG& msg, HWND hWndBar)
{
    switch (msg.message)
    {
    case WM_ACTIVATEAPP:
    case WM_CANCELMODE:
    case WM_KEYDOWN:
    case WM_KEYUP: return true;
    case WM_CAPTURECHANGED: return reinterpret_cast<HWND>(msg.lParam) != hWndBar;
    default: break;
    }
    if (msg.message >= WM_LBUTTONUP && msg.message <= WM_MBUTTONDBLCLK)
        return true;
    const bool bLeftDown = (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    const bool bOthersUp = (::GetKeyState(VK_RBUTTON) & 0x8000) == 0 && (::GetKeyState(VK_MBUTTON) & 0x8000) == 0;
    return !bLeftDown || !bOthersUp || IsPopupTrackingActive();
}

} // namespace

CExtBarSliderButton::CExtBarSliderButton(CExtToolControlBar* pBar, UINT nCmdID, UINT nStyle)
    : CExtBarButton(pBar, nCmdID, nStyle)
{
}

UINT CExtBarSliderButton::SetScrollTotalRange(UINT n)
{
    const UINT nOld = m_state.SetTotalRange(n);
    RecalcSliderLayout();
    return nOld;
}

UINT CExtBarSliderButton::SetScrollPos(UINT n)
{
    return Store(m_state.nPos, n);
}

UINT CExtBarSliderButton::SetScrollPageSize(UINT n)
{
    return Store(m_state.nPageSize, n);
}

int CExtBarSliderButton::SetScrollButtonExtentHorz(int n)
{
    return Store(m_state.nScrollButtonExtentHorz, n);
}

int CExtBarSliderButton::SetScrollButtonExtentVert(int n)
{
    return Store(m_state.nScrollButtonExtentVert, n);
}

int CExtBarSliderButton::SetExtentHorz(int n)
{
    return Store(m_state.nExtentHorz, n);
}

int CExtBarSliderButton::SetExtentVert(int n)
{
    return Store(m_state.nExtentVert, n);
}

bool CExtBarSliderButton::IsHorzSlider() const
{
    return m_pBar == nullptr || !m_pBar->IsDockedVertically() || IsForceHorzLayout();
}

UINT CExtBarSliderButton::GetScrollableRange() const
{
    return GetSliderScrollableRange(m_state, IsHorzSlider());
}

CRect CExtBarSliderButton::GetPartRect(int nPart) const
{
    return nPart >= 0 && nPart < SliderPartCount ? m_parts[nPart] : CRect(0, 0, 0, 0);
}

void CExtBarSliderButton::RecalcSliderLayout()
{
    CalcSliderParts(m_state, GetRect(), IsHorzSlider(), m_parts);
}

void CExtBarSliderButton::SetRect(const RECT& rc)
{
    m_rc = rc;
    RecalcSliderLayout();
}

CSize CExtBarSliderButton::MeasureButton(CDC* pDC, CSize sizePreCalc, bool bHorz)
{
    if (IsForceHorzLayout())
        bHorz = true;
    ButtonFace face;
    MeasureFace(pDC, face);
    m_size = MeasureSliderFace(face, m_state, sizePreCalc, bHorz);
    return m_size;
}

void CExtBarSliderButton::PaintButton(CDC* pDC, bool bHorz)
{
    if (IsForceHorzLayout())
        bHorz = true;
    if (!IsVisible() || (m_nStyle & TBBS_HIDDEN) != 0 || !pDC->RectVisible(&m_rc))
        return;
    CRect rcLabel = m_rc;
    (bHorz ? rcLabel.right : rcLabel.bottom) -= m_state.Extent(bHorz);
    if (IsShown(pDC, rcLabel))
    {
        CExtCmdIcon iconLarge;
        CExtCmdIcon* pIcon = GetPaintIcon(iconLarge);
        const CString sText = GetText();
        CFont* pFont = m_pBar != nullptr ? m_pBar->GetBarFont(!bHorz) : nullptr;
        CExtPaintManager::PushButtonParams params(
            this, bHorz, rcLabel, sText, pIcon, true, false, false, false, !IsDisabled(), true, false, false,
            CExtPaintManager::PushButtonParams::AlignCenter | CExtPaintManager::PushButtonParams::AlignVCenter,
            pFont != nullptr ? static_cast<HFONT>(pFont->GetSafeHandle()) : nullptr, false, 0, true);
        g_PaintManager->PaintPushButton(*pDC, params);
    }
    if (!IsShown(pDC, m_parts[SliderPartSlider]))
        return;
    for (int nPart = SliderPartSlider; nPart < SliderPartCount; ++nPart)
        if (IsShown(pDC, m_parts[nPart]))
            PaintSliderPart(pDC, nPart, bHorz);
}

void CExtBarSliderButton::PaintSliderPart(CDC* pDC, int nPart, bool bHorz)
{
    CRect rc = GetPartRect(nPart);
    if (rc.right < rc.left || rc.bottom < rc.top || !pDC->RectVisible(&rc))
        return;
    CExtPaintManager& pm = *g_PaintManager.GetPM();
    const bool bActive = !IsDisabled() && m_state.nTotalRange > m_state.nPageSize;
    bool bHover = IsHover() && bActive;
    const bool bPressed = nPart == m_nTrackedPart && bActive;
    if (!CExtToolControlBar::g_bMenuTracking && !IsPopupTrackingActive())
        bHover = bHover || IsMenuTracked();
    else
        bHover = false;
    const bool bScrollBar = m_state.ScrollButtonExtent(bHorz) != 0;
    using PM = CExtPaintManager;
    switch (nPart)
    {
    case SliderPartTrack:
        if (bScrollBar)
        {
            pDC->FillRect(&rc, &pm.FillBrushes[bHover && bActive ? PM::BrushLight80 : PM::BrushLight50]);
            return;
        }
        // a groove of 2 or 3 pixels along the track's centre line
        if (bHorz)
        {
            rc.top += rc.Height() / 2;
            rc.bottom = rc.top + rc.Height() % 2;
            rc.InflateRect(0, 1);
        }
        else
        {
            rc.left += rc.Width() / 2;
            rc.right = rc.left + rc.Width() % 2;
            rc.InflateRect(1, 0);
        }
        if (bActive && bHover)
        {
            pDC->FillSolidRect(&rc, pm.GetColor(COLOR_3DDKSHADOW, this));
            rc.DeflateRect(1, 1);
            pDC->FillRect(&rc, &pm.FillBrushes[PM::BrushLight80]);
        }
        else
        {
            pDC->FillRect(&rc, &pm.FillBrushes[PM::BrushShadow50]);
            rc.DeflateRect(1, 1);
            pDC->FillRect(&rc, &pm.FillBrushes[PM::BrushLight60]);
        }
        return;
    case SliderPartPageBackward:
    case SliderPartPageForward:
        if (!bScrollBar)
            return;
        if (bPressed)
            pDC->FillRect(&rc, &pm.FillBrushes[PM::BrushShadow50]);
        else if (bHover)
            pDC->FillRect(&rc, &pm.FillBrushes[PM::BrushLight80]);
        return;
    case SliderPartArrowBackward:
    case SliderPartArrowForward:
    case SliderPartThumb: break;
    default: return;
    }
    const bool bArrow = nPart != SliderPartThumb;
    const bool bArrowPressed = bArrow && bPressed;
    PM::PushButtonParams params(this, bHorz, rc, "", nullptr, bArrowPressed, bHover, bPressed, IsIndeterminate(),
                                bActive, !bArrowPressed, false, false,
                                PM::PushButtonParams::AlignCenter | PM::PushButtonParams::AlignVCenter);
    pm.PaintPushButton(*pDC, params);
    if (!bArrow)
        return;
    if (bPressed)
    {
        SIZE offset = {0, 0};
        pm.GetPushedContentOffset(&offset);
        rc.OffsetRect(offset.cx, offset.cy);
    }
    const COLORREF clrGlyph = !bActive             ? pm.GetColor(COLOR_3DSHADOW, this)
                              : bHover || bPressed ? pm.GetColor(PM::TC_TEXT_ACTIVE, this)
                                                   : pm.GetColor(PM::TC_TEXT_NORMAL, this);
    using G = CExtGlyphBitmap;
    const bool bBackward = nPart == SliderPartArrowBackward;
    const int nGlyph = bHorz ? (bBackward ? G::GlyphArrowLeft : G::GlyphArrowRight)
                             : (bBackward ? G::GlyphArrowUp : G::GlyphArrowDown);
    const COLORREF colors[2] = {RGB(0, 0, 0), clrGlyph};
    pm.PaintGlyphCentered(*pDC, rc, *G::g_GlyphTable[nGlyph], colors);
}

bool CExtBarSliderButton::MovePosition(UINT nPos)
{
    if (nPos == m_state.nPos)
        return false;
    m_state.nPos = nPos;
    RecalcSliderLayout();
    Redraw(true);
    return true;
}

void CExtBarSliderButton::OnMouseClick(CPoint point, bool bDown)
{
    CExtBarButton::OnMouseClick(point, bDown);
    if (m_pBar == nullptr || !::IsWindow(m_pBar->GetSafeHwnd()) || CExtControlBar::IsFrameHelpMode(m_pBar))
        return;
    m_nPressedPart = m_nTrackedPart = -1;
    if (!bDown || GetScrollableRange() == 0)
    {
        Redraw(true);
        return;
    }
    m_nPressedPart = HitTestSliderPress(m_parts, point);
    Redraw(true);
    if (m_nPressedPart < 0)
        return;
    const UINT nStep = GetSliderStep(m_state, m_nPressedPart, GetScrollableRange());
    if (m_nPressedPart == SliderPartThumb)
    {
        m_nTrackedPart = SliderPartThumb;
        Redraw(false);
    }
    TrackPressedPart(point, nStep);
}

void CExtBarSliderButton::TrackPressedPart(CPoint ptPress, UINT nStep)
{
    const HWND hWndBar = m_pBar->GetSafeHwnd();
    m_pBar->CExtMouseCaptureSink::SetCapture(hWndBar);
    const bool bTimer = nStep != 0 && ::SetTimer(hWndBar, kStepTimerID, kStepPeriod, nullptr) != 0;
    const bool bHorz = IsHorzSlider();
    const UINT nPressPos = m_state.nPos;
    // where the cursor was when the message came, so that bunched input is
    // followed step by step
    const auto cursor = [hWndBar](const MSG& msg)
    {
        CPoint pt = msg.pt;
        ::ScreenToClient(hWndBar, &pt);
        return pt;
    };
    for (;;)
    {
        if (!::IsWindow(hWndBar))
            return;
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            ::WaitMessage();
            continue;
        }
        if (EndsTracking(msg, hWndBar))
            break;
        const bool bStepMessage = (msg.message == WM_TIMER && msg.hwnd == hWndBar && msg.wParam == kStepTimerID) ||
                                  (msg.message == WM_MOUSEMOVE && nStep != 0);
        if (bStepMessage)
        {
            ::PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
            if (!m_parts[m_nPressedPart].PtInRect(cursor(msg)))
            {
                if (m_nTrackedPart != -1)
                {
                    m_nTrackedPart = -1;
                    Redraw(true);
                }
                continue;
            }
            const UINT nRange = GetScrollableRange();
            const bool bMoved =
                MovePosition(StepSliderPosition(m_state.nPos, nStep, IsSliderStepForward(m_nPressedPart), nRange));
            if (m_nTrackedPart != m_nPressedPart)
            {
                m_nTrackedPart = m_nPressedPart;
                Redraw(true);
            }
            if (!bMoved)
                continue;
            if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
                continue;
            if (EndsTracking(msg, hWndBar))
                break;
        }
        else if (msg.message == WM_MOUSEMOVE && m_nPressedPart == SliderPartThumb)
        {
            ::PeekMessageA(&msg, msg.hwnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
            const CRect& rcTrack = m_parts[SliderPartTrack];
            const CRect& rcThumb = m_parts[SliderPartThumb];
            const int nFree = bHorz ? rcTrack.Width() - rcThumb.Width() : rcTrack.Height() - rcThumb.Height();
            if (nFree <= 0)
                break;
            const CPoint pt = cursor(msg);
            UINT nPos = 0;
            if (DragSliderThumb(nPressPos, bHorz ? pt.x - ptPress.x : pt.y - ptPress.y, nFree, GetScrollableRange(),
                                nPos))
                MovePosition(nPos);
            continue;
        }
        if (!AfxPumpMessage())
        {
            ::PostQuitMessage(0);
            break;
        }
    }
    if (!::IsWindow(hWndBar))
        return;
    if (bTimer)
        ::KillTimer(hWndBar, kStepTimerID);
    m_nPressedPart = m_nTrackedPart = -1;
    Redraw(true);
    if (CExtMouseCaptureSink::GetCapture() == hWndBar)
        CExtMouseCaptureSink::ReleaseCapture();
}
