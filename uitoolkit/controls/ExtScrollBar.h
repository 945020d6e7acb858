// CExtScrollBar: the platform's scroll bar control, painted without flicker
// through an off-screen device context, which its parent can lay out like a
// control bar: on WM_SIZEPARENT it docks along one edge of the area left,
// leaves the corner square for a partner bar and places up to two buddy
// windows at its ends (a tab strip at the start of a horizontal bar, say).
// Its arithmetic is kxscroll's.
#pragma once

#include "framework/win/Controls.h"
#include "uitoolkit/core/ExtScrollCore.h"

class CExtScrollBar : public CScrollBar
{
    DECLARE_DYNAMIC(CExtScrollBar)
public:
    CExtScrollBar();

    // kxscroll::e_orientation; OrientationByStyle reads SBS_... from the style
    int m_nOrientation = kxscroll::OrientationByStyle;
    // kxscroll::Bar... flags
    BYTE m_nBarFlags = kxscroll::BarDefaultFlags;
    HWND m_hWndBuddyStart = nullptr; // left end of a horizontal bar, top end of a vertical one
    HWND m_hWndBuddyEnd = nullptr;
    int m_nHorzBarHeight = 0;
    int m_nVertBarWidth = 0;

    void PreSubclassWindow() override;
    void PostNcDestroy() override;
    // Leaves the shared corner to pOther when pOther follows this bar
    // directly in z-order: the bar laid out first keeps it free, so that the
    // partner laid out after it does not fill it either.
    virtual void SyncCornerFlags(CExtScrollBar* pOther);
    virtual int GetOrientation() const;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void ReadMetrics();
};
