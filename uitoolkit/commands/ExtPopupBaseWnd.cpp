#include "uitoolkit/commands/ExtPopupBaseWnd.h"

#include "framework/win/AfxMsg.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/controls/ExtBitmapDC.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/commands/ExtSoundPlayer.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <cstdlib>

IMPLEMENT_DYNCREATE(CExtPopupBaseWnd, CWnd)

int CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationFade;
bool CExtPopupBaseWnd::g_bMenuShadows = true;
clock_t CExtPopupBaseWnd::g_tLastAnimationStep = 0;

namespace
{

int DrawRandom()
{
    return ::rand();
}

} // namespace

BEGIN_MESSAGE_MAP(CExtPopupBaseWnd, CWnd)
ON_WM_MOUSEACTIVATE()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_NCPAINT()
ON_WM_NCCALCSIZE()
ON_WM_SIZE()
ON_WM_SETCURSOR()
ON_WM_TIMER()
END_MESSAGE_MAP()

CExtPopupBaseWnd::CExtPopupBaseWnd()
{
    m_rcExcludeArea.SetRectEmpty();
    m_animation.Kind = g_nDefaultAnimationKind;
    ResetAnimation();
}

CExtPopupBaseWnd::~CExtPopupBaseWnd()
{
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        DestroyWindow();
}

bool CExtPopupBaseWnd::IsRightToLeft() const
{
    return g_ResourceManager->IsRTL() != 0;
}

LPVOID CExtPopupBaseWnd::GetCombinedCookie() const
{
    return m_bUseCombinedCookie ? m_pCbPaintCombinedCookie : nullptr;
}

bool CExtPopupBaseWnd::IsSubMenuOfPopupMenu() const
{
    return false; // only a popup menu opened from another one is
}

bool CExtPopupBaseWnd::IsNoHookTracking() const
{
    return false;
}

void CExtPopupBaseWnd::ResetAnimation()
{
    AdjustAnimationKind(m_animation.Kind);
    m_animation.Reset(CExtPaintManager::GetScreenBitsPerPixel(), DrawRandom);
}

void CExtPopupBaseWnd::StartAnimation()
{
    ResetAnimation();
    if (m_animation.Kind == CExtPopupAnimation::AnimationNone)
        return;
    SetTimer(ID_TIMER_ANIMATION, ANIMATION_PERIOD);
    g_tLastAnimationStep = GetClock();
}

void CExtPopupBaseWnd::AdjustAnimationKind(int&)
{
}

void CExtPopupBaseWnd::ReleaseAnimationSurfaces()
{
    m_bmpBackground.DeleteObject();
    m_bmpFinished.DeleteObject();
    m_bmpOutput.DeleteObject();
    m_pBitsBackground = m_pBitsFinished = m_pBitsOutput = nullptr;
}

bool CExtPopupBaseWnd::IsShadowEnabled() const
{
    return g_bMenuShadows;
}

void CExtPopupBaseWnd::PaintAnimationFrame(CDC& dc)
{
    PaintFinished(dc, true);
}

int CExtPopupBaseWnd::GetShadowSize()
{
    return IsShadowEnabled() ? g_PaintManager->GetPopupShadowSize() : 0;
}

void CExtPopupBaseWnd::PaintFinished(CDC&, bool)
{
}

void CExtPopupBaseWnd::PostDelayedRepaint()
{
    PostMessage(WM_TIMER, ID_TIMER_DELAYED_REPAINT);
}

void CExtPopupBaseWnd::GetClientRect(RECT* pRect) const
{
    CWnd::GetClientRect(pRect);
}

bool CExtPopupBaseWnd::IsHelpModeTracking() const
{
    return false;
}

BOOL CExtPopupBaseWnd::DestroyWindow()
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
        return TRUE;
    return CWnd::DestroyWindow();
}

clock_t CExtPopupBaseWnd::GetClock() const
{
    return ExtTestHooks().pfnClock != nullptr ? ExtTestHooks().pfnClock() : ::clock();
}

bool CExtPopupBaseWnd::CaptureScreenBeneath()
{
    m_bmpScreenBeneath.DeleteObject();
    CRect rc;
    if (m_hWnd == nullptr || !::GetWindowRect(m_hWnd, &rc) || rc.IsRectEmpty())
        return false;
    CDC dcScreen;
    if (!dcScreen.Attach(::GetDC(nullptr)))
        return false;
    bool bCaptured = false;
    if (m_bmpScreenBeneath.CreateCompatibleBitmap(&dcScreen, rc.Width(), rc.Height()))
    {
        CExtBitmapDC dcCapture(dcScreen, m_bmpScreenBeneath.GetSafeHandle());
        bCaptured =
            dcCapture.IsReady() && dcCapture.BitBlt(0, 0, rc.Width(), rc.Height(), &dcScreen, rc.left, rc.top, SRCCOPY);
    }
    ::ReleaseDC(nullptr, dcScreen.Detach());
    if (!bCaptured)
        m_bmpScreenBeneath.DeleteObject();
    return bCaptured;
}

void CExtPopupBaseWnd::ReleaseScreenBeneath()
{
    m_bmpScreenBeneath.DeleteObject();
}

int CExtPopupBaseWnd::OnMouseActivate(CWnd*, UINT, UINT)
{
    if (IsNoHookTracking())
    {
        SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return MA_NOACTIVATE;
    }
    if (::GetWindow(m_hWnd, GW_CHILD) != nullptr)
    {
        // a click into a child of the popup (an in-place edit) may activate
        POINT pt;
        ::GetCursorPos(&pt);
        const HWND hWndHit = ::WindowFromPoint(pt);
        if (hWndHit != nullptr && (::GetWindowLongA(hWndHit, GWL_STYLE) & WS_CHILD) != 0 && ::IsChild(m_hWnd, hWndHit))
            return MA_ACTIVATE;
    }
    return MA_NOACTIVATEANDEAT;
}

BOOL CExtPopupBaseWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CExtPopupBaseWnd::OnNcPaint()
{
}

void CExtPopupBaseWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*)
{
}

void CExtPopupBaseWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    Invalidate(FALSE);
}

BOOL CExtPopupBaseWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (IsHelpModeTracking())
    {
        ::SetCursor(AfxGetContextHelpCursor());
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

void CExtPopupBaseWnd::OnPaint()
{
    CPaintDC dc(this);
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd) || !IsWindowVisible())
        return;
    CExtPaintManager::ExcludeVisibleChildren(dc.GetSafeHdc(), m_hWnd, nullptr, 0);
    if (m_bmpScreenBeneath.GetSafeHandle() != nullptr)
    {
        CExtBitmapDC dcCapture(dc, m_bmpScreenBeneath.GetSafeHandle());
        CRect rc;
        CWnd::GetClientRect(&rc);
        if (dcCapture.IsReady())
            dc.BitBlt(0, 0, rc.Width(), rc.Height(), &dcCapture, 0, 0, SRCCOPY);
    }
    if (!m_animation.Finished)
        PaintAnimationFrame(dc);
    else
        PaintFinished(dc, true);
}

void CExtPopupBaseWnd::OnTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent)
    {
    case ID_TIMER_ANIMATION:
    {
        if (m_animation.Finished)
            return;
        const clock_t t = GetClock();
        if (m_animation.Step(t, g_tLastAnimationStep))
        {
            if (!IsNoHookTracking())
            {
                g_SoundPlayer->PlaySound(m_nSoundId);
                m_nSoundId = CExtSoundPlayer::SoundNone;
            }
            KillTimer(ID_TIMER_ANIMATION);
            m_animation.Kind = g_nDefaultAnimationKind;
            // the menus ignore pointer input while one of them animates
            if (CExtPopupMenuWnd::GetTracker().GetAnimatingPopup() == this)
                CExtPopupMenuWnd::GetTracker().SetAnimatingPopup(nullptr);
        }
        if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        {
            if (m_animation.Finished)
                ReleaseAnimationSurfaces();
            else
                Invalidate(FALSE);
        }
        g_tLastAnimationStep = t;
        return;
    }
    case ID_TIMER_DELAYED_SHOW:
        KillTimer(ID_TIMER_DELAYED_SHOW);
        CaptureScreenBeneath();
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
        Invalidate(FALSE);
        UpdateWindow();
        return;
    case ID_TIMER_DELAYED_REPAINT:
    {
        KillTimer(ID_TIMER_DELAYED_REPAINT);
        CClientDC dc(this);
        PaintFinished(dc, true);
        return;
    }
    case ID_TIMER_TIP_HIDE: return; // the tip window's own timer
    default: CWnd::OnTimer(nIDEvent); return;
    }
}

bool CExtPopupBaseWnd::CreateAnimationSurfaces(CDC& dc, const CRect& rcClient)
{
    CBitmap* const surfaces[3] = {&m_bmpBackground, &m_bmpFinished, &m_bmpOutput};
    DWORD** const bits[3] = {&m_pBitsBackground, &m_pBitsFinished, &m_pBitsOutput};
    for (int i = 0; i < 3; ++i)
        if (!surfaces[i]->Attach(CExtPaintManager::CreateDibSection32(rcClient.Width(), rcClient.Height(), bits[i])))
        {
            ReleaseAnimationSurfaces();
            return false;
        }
    {
        CExtBitmapDC dcBackground(dc, m_bmpBackground.GetSafeHandle());
        CExtBitmapDC dcFinished(dc, m_bmpFinished.GetSafeHandle());
        if (!dcBackground.IsReady() || !dcFinished.IsReady())
        {
            ReleaseAnimationSurfaces();
            return false;
        }
        dcBackground.BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &dc, rcClient.left, rcClient.top, SRCCOPY);
        dcFinished.BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &dc, rcClient.left, rcClient.top, SRCCOPY);
        PaintFinished(dcFinished, false);
    }
    ::GdiFlush();
    return true;
}

void CExtPopupBaseWnd::PaintCombinedAreaFirst(CDC& dc, CDC& dcFinished, int nCombineSide, bool bExcludeShadowStrips)
{
    if (m_bCombineWithEA)
    {
        CRect rcEA(m_rcExcludeArea);
        ScreenToClient(&rcEA);
        dc.BitBlt(rcEA.left, rcEA.top, rcEA.Width(), rcEA.Height(), &dcFinished, rcEA.left, rcEA.top, SRCCOPY);
        if (nCombineSide >= 1 && nCombineSide <= 4)
        {
            // grown by the shadow on every side but the one joined to
            const int s = GetShadowSize();
            const CRect rcGrown(
                nCombineSide == 3 ? rcEA.left : rcEA.left - s, nCombineSide == 2 ? rcEA.top : rcEA.top - s,
                nCombineSide == 4 ? rcEA.right : rcEA.right + s, nCombineSide == 1 ? rcEA.bottom : rcEA.bottom + s);
            dc.ExcludeClipRect(&rcGrown);
        }
    }
    if (bExcludeShadowStrips)
    {
        CRect rc;
        GetClientRect(&rc);
        const int s = GetShadowSize();
        dc.ExcludeClipRect(rc.right - s, rc.top, rc.right, rc.bottom);
        dc.ExcludeClipRect(rc.left, rc.bottom - s, rc.right, rc.bottom);
    }
}

void CExtPopupBaseWnd::PaintAnimationKindFrame(CDC& dc, int nCombineSide)
{
    CRect rc;
    GetClientRect(&rc);
    if (rc.IsRectEmpty())
        return;
    CPalette* pOldPalette = nullptr;
    if ((dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0)
    {
        pOldPalette = dc.SelectPalette(&g_PaintManager->Palette, FALSE);
        dc.RealizePalette();
    }
    if (m_bmpBackground.GetSafeHandle() != nullptr || CreateAnimationSurfaces(dc, rc))
    {
        const int w = rc.Width(), h = rc.Height();
        const int p = m_animation.Percent;
        CExtPopupAnimation::Surfaces s;
        s.Background = m_pBitsBackground;
        s.Finished = m_pBitsFinished;
        s.Output = m_pBitsOutput;
        s.Width = w;
        s.Height = h;
        CExtBitmapDC dcFinished(dc, m_bmpFinished.GetSafeHandle());
        switch (m_animation.Kind)
        {
        case CExtPopupAnimation::AnimationInstant: dc.BitBlt(rc.left, rc.top, w, h, &dcFinished, 0, 0, SRCCOPY); break;
        case CExtPopupAnimation::AnimationFade:
        {
            CExtPopupAnimation::ComposeFade(s, p);
            CExtBitmapDC dcOutput(dc, m_bmpOutput.GetSafeHandle());
            dc.BitBlt(rc.left, rc.top, w, h, &dcOutput, 0, 0, SRCCOPY);
            break;
        }
        case CExtPopupAnimation::AnimationRoll:
        case CExtPopupAnimation::AnimationSlide:
        {
            int dx = 0, dy = 0;
            CExtPopupAnimation::RollOffset(p, w, h, m_animation.Kind == CExtPopupAnimation::AnimationRoll, dx, dy);
            PaintCombinedAreaFirst(dc, dcFinished, nCombineSide, false);
            if (nCombineSide == 3 || nCombineSide == 2)
                dc.IntersectClipRect(&rc);
            const int x = nCombineSide == 3 ? rc.left + dx : rc.left - dx;
            const int y = nCombineSide == 2 ? rc.top + dy : rc.top - dy;
            dc.BitBlt(x, y, w, h, &dcFinished, 0, 0, SRCCOPY);
            dc.SelectClipRgn(nullptr);
            break;
        }
        case CExtPopupAnimation::AnimationRollStretch:
        case CExtPopupAnimation::AnimationSlideStretch:
        {
            const bool bRoll = m_animation.Kind == CExtPopupAnimation::AnimationRollStretch;
            int cw = 0, ch = 0;
            CExtPopupAnimation::StretchSize(p, w, h, bRoll, cw, ch);
            PaintCombinedAreaFirst(dc, dcFinished, nCombineSide, false);
            int x = rc.left, y = rc.top;
            if (nCombineSide == 3 && bRoll)
                x = rc.left + w - cw;
            else if (nCombineSide == 2)
            {
                x = rc.left + cw - w;
                y = rc.top + h - ch;
            }
            if (nCombineSide == 3 || nCombineSide == 2)
                dc.IntersectClipRect(&rc);
            const int nOldMode = dc.SetStretchBltMode(g_PaintManager.OsFlags.WinNT ? HALFTONE : COLORONCOLOR);
            dc.StretchBlt(x, y, cw, ch, &dcFinished, 0, 0, w, h, SRCCOPY);
            dc.SetStretchBltMode(nOldMode);
            dc.SelectClipRgn(nullptr);
            break;
        }
        case CExtPopupAnimation::AnimationNoise:
        case CExtPopupAnimation::AnimationBoxes:
        case CExtPopupAnimation::AnimationCircles:
        case CExtPopupAnimation::AnimationHoles:
        {
            const int prev = m_animation.PreviousPercent;
            bool bChanged = false;
            if (m_animation.Kind == CExtPopupAnimation::AnimationNoise)
                bChanged = CExtPopupAnimation::ComposeNoise(s, p, prev, DrawRandom);
            else if (m_animation.Kind == CExtPopupAnimation::AnimationBoxes)
                bChanged = CExtPopupAnimation::ComposeBoxes(s, p, prev);
            else
                bChanged = CExtPopupAnimation::ComposeCircles(s, p, prev,
                                                              m_animation.Kind == CExtPopupAnimation::AnimationHoles);
            if (!bChanged)
                break;
            PaintCombinedAreaFirst(dc, dcFinished, nCombineSide, true);
            CExtBitmapDC dcOutput(dc, m_bmpOutput.GetSafeHandle());
            dc.BitBlt(rc.left, rc.top, w, h, &dcOutput, 0, 0, SRCCOPY);
            dc.SelectClipRgn(nullptr);
            break;
        }
        default: break;
        }
    }
    if (pOldPalette != nullptr)
        dc.SelectPalette(pOldPalette, FALSE);
}
