// A thin bar between two child windows that the user drags to share the
// space between them. While dragging, an inverted dotted bar follows the
// mouse across the screen within a range that the parent sets; on release
// the bar moves there and tells its owner with SPN_MOVED.
#pragma once

#include "framework/win/AfxWin.h"

enum : UINT
{
    SPN_MOVED = 5025,
};

struct NMSPLITTER
{
    NMHDR hdr;
    // How far the bar moved on its drag axis (end minus start).
    int delta;
    // The bar's new left edge (vertical bar) or top edge (horizontal bar) in
    // its parent's client coordinates.
    int newPos;
};

class CSplitterBar : public CStatic
{
public:
    enum
    {
        vertical = 1,   // dragged left and right
        horizontal = 2, // dragged up and down
    };

    CSplitterBar() = default;

    // A rectangle narrower than high makes a vertical bar, otherwise a
    // horizontal one; either is made 5 pixels thick. Nothing moves until the
    // parent sets a range.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int SetOrientation(int nOrientation);
    // The allowed range of the dragged coordinate, in the parent's client
    // coordinates.
    void SetRange(int nMin, int nMax);
    // nCentre - nBelow .. nCentre + nAbove; a negative centre means the bar's
    // own centre.
    void SetRangeAround(int nBelow, int nAbove, int nCentre = -1);

    // Inverts a bar-sized rectangle centred on x (vertical) or y (horizontal)
    // in screen coordinates; drawing it twice restores the screen.
    virtual void DrawTrackLine(CDC* pDC, int x, int y);

protected:
    BOOL m_bTracking = FALSE;
    int m_nOrientation = vertical;
    int m_x = 0;
    int m_y = 0;
    int m_nMin = -1;
    int m_nMax = -1;
    int m_nStart = 0;

    // Draws the track line at the stored position on the screen.
    void DrawTrackLineOnScreen();
    // The bar's centre in screen coordinates.
    CPoint GetCentre() const;

    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    DECLARE_MESSAGE_MAP()
};
