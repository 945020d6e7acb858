// The hint shown next to an area of the screen: a popup-menu item's
// description, the hint over a menu's tear-off caption, or one over a tab or
// bar part. It appears after a delay without taking the activation, hides as
// soon as the mouse leaves the area or a mouse button or Alt goes down, and
// is drawn as a balloon whose tail points at the area or as a flat rectangle
// with a shadow.
#pragma once

#include "framework/core/CString.h"
#include "uitoolkit/commands/ExtPopupBaseWnd.h"
#include "uitoolkit/core/ExtPopupTipGeometry.h"
#include "uitoolkit/paint/ExtCmdIcon.h"

#include <ctime>

class CExtPopupMenuTipWnd : public CExtPopupBaseWnd
{
    DECLARE_DYNCREATE(CExtPopupMenuTipWnd)
public:
    enum e_tip_type
    {
        TipTypeNone = CExtPopupTipGeometry::TipTypeNone,
        TipTypeBalloonIcon = CExtPopupTipGeometry::TipTypeBalloonIcon,
        TipTypeBalloon = CExtPopupTipGeometry::TipTypeBalloon,
        TipTypeRectIconBelow = CExtPopupTipGeometry::TipTypeRectIconBelow,
        TipTypeRectBelow = CExtPopupTipGeometry::TipTypeRectBelow,
        TipTypeRectIconAbove = CExtPopupTipGeometry::TipTypeRectIconAbove,
        TipTypeRectAbove = CExtPopupTipGeometry::TipTypeRectAbove,
    };
    enum e_tip_timer_id : UINT_PTR
    {
        ID_TIMER_TIP_SHOW = ID_TIMER_DELAYED_SHOW,
        ID_TIMER_TIP_AREA = 671,
    };
    static constexpr UINT SHOW_DELAY = 1000;
    static constexpr UINT SHOW_DELAY_QUICK = 20;
    static constexpr UINT AREA_CHECK_PERIOD = 50;
    static constexpr UINT HIDE_CHECK_PERIOD = 100;

    CExtPopupMenuTipWnd();

    // Kept without leading and trailing white space.
    void SetText(LPCTSTR lpszText);
    int GetTipType() const { return m_nTipType; }
    void SetTipType(int nTipType) { m_nTipType = nTipType; }
    int GetShadowSize() override;

    // Shows the tip for the screen rectangle rcArea after the show delay,
    // the short one when a tip was visible or shown within the last second.
    // False for an unknown type or when the window cannot be made.
    bool Show(CWnd* pWndOwner, const RECT& rcArea);
    void Hide();
    // The delay the pending show waits (ms).
    UINT GetShowDelay() const { return m_nShowDelay; }

    void PaintFinished(CDC& dc, bool bOffscreen) override;

    CExtCmdIcon m_icon;
    CSize m_sizeIcon;
    int m_nShadowSizeOverride = -1;
    CString m_sText;
    int m_nMirror = 0; // CExtPopupTipGeometry::e_mirror bits of the last show
    CExtPopupShadow m_shadowTip;
    time_t m_tLastShow = 0;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    DECLARE_MESSAGE_MAP()

private:
    bool ShouldHide() const;
    CSize MeasureText();

    int m_nTipType = TipTypeBalloonIcon;
    UINT m_nShowDelay = SHOW_DELAY;
};
