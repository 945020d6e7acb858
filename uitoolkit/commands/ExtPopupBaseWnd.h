// The common base of the toolkit's own popups (menus, the colour popup,
// menu tips): a borderless top-most window that never takes the activation
// from its owner, paints itself completely, casts a drop shadow and can
// appear with an animation whose frames are composed from the screen behind
// it and an off-screen image of its finished look. When the animation ends
// the popup plays its menu sound once.
#pragma once

#include "framework/win/Wnd.h"
#include "uitoolkit/commands/ExtPopupShadow.h"
#include "uitoolkit/core/ExtPopupAnimation.h"

class CExtPopupBaseWnd : public CWnd
{
    DECLARE_DYNCREATE(CExtPopupBaseWnd)
public:
    // Paints the element the popup is joined to into the popup's device
    // context: cookie, dc, popup, exclude area on the screen, combine side.
    typedef void (*pCbPaintCombinedContent)(LPVOID pCookie, CDC& dc, const CWnd& wndPopup, const CRect& rcExcludeArea,
                                            int nCombineSide);

    enum e_timer_id : UINT_PTR
    {
        ID_TIMER_ANIMATION = 666,
        ID_TIMER_DELAYED_SHOW = 669,
        ID_TIMER_DELAYED_REPAINT = 672,
        ID_TIMER_TIP_HIDE = 673,
    };
    static constexpr UINT ANIMATION_PERIOD = CExtPopupAnimation::StepPeriod;

    // The kind every new popup starts with and returns to after each
    // animation (Fade); the application sets it from its profile.
    static int g_nDefaultAnimationKind;
    // Popups cast shadows.
    static bool g_bMenuShadows;

    CExtPopupBaseWnd();
    ~CExtPopupBaseWnd() override;

    // ---- the virtual operations the popups add, in table order ----
    virtual bool IsRightToLeft() const;
    virtual LPVOID GetCombinedCookie() const;
    virtual bool IsSubMenuOfPopupMenu() const;
    virtual bool IsNoHookTracking() const;
    virtual void ResetAnimation();
    virtual void StartAnimation();
    // A popup class's chance to change the kind before it is validated.
    virtual void AdjustAnimationKind(int& nKind);
    virtual void ReleaseAnimationSurfaces();
    virtual bool IsShadowEnabled() const;
    // The base class shows no frames: it paints the finished look.
    virtual void PaintAnimationFrame(CDC& dc);
    virtual int GetShadowSize();
    virtual void PaintFinished(CDC& dc, bool bOffscreen);
    // Repaints the finished look once the current message is done.
    virtual void PostDelayedRepaint();
    virtual void GetClientRect(RECT* pRect) const;
    virtual bool IsHelpModeTracking() const;

    BOOL DestroyWindow() override;
    void PostNcDestroy() override {}

    // Keeps what the screen shows in the window's rectangle, taken before
    // the window is shown: the animation's background and the background
    // under the shadow come from it, since a window that has just appeared
    // need not show the screen beneath it.
    bool CaptureScreenBeneath();
    void ReleaseScreenBeneath();

    clock_t GetClock() const;

    CRect m_rcExcludeArea;
    CPoint m_ptTrack;
    bool m_bExcludeAreaSpec = false;
    bool m_bCombineWithEA = false;
    LPVOID m_pCbPaintCombinedCookie = nullptr;
    pCbPaintCombinedContent m_pCbPaintCombinedContent = nullptr;
    bool m_bUseCombinedCookie = false;
    CExtPopupAnimation m_animation;
    int m_nSoundId = 0;
    DWORD* m_pBitsBackground = nullptr;
    DWORD* m_pBitsFinished = nullptr;
    DWORD* m_pBitsOutput = nullptr;
    int m_nContentWidth = 1;
    int m_nContentHeight = 1;
    CExtPopupShadow m_shadow;
    CExtPopupShadow m_shadowCombined;
    CBitmap m_bmpBackground;
    CBitmap m_bmpFinished;
    CBitmap m_bmpOutput;

protected:
    // The frames of every kind but Expand, for the popups that animate:
    // composed from the surfaces made on the first frame. nCombineSide is
    // the side (1 to 4) the popup is joined to its exclude area on, 0 for
    // none.
    void PaintAnimationKindFrame(CDC& dc, int nCombineSide);

    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnNcPaint();
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

    // The time of the last animation step, one for every popup.
    static clock_t g_tLastAnimationStep;

private:
    bool CreateAnimationSurfaces(CDC& dc, const CRect& rcClient);
    void PaintCombinedAreaFirst(CDC& dc, CDC& dcFinished, int nCombineSide, bool bExcludeShadowStrips);

    CBitmap m_bmpScreenBeneath;
};
