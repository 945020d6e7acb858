// CDockContext: what a dockable bar remembers of its places and the simple
// drag and resize loops of bars the toolkit does not drag itself.
//
// The MRU fields are kept current by docking and floating: the dock bar a
// bar was last docked in (m_uMRUDockID) with its rectangle there in that dock
// bar's client coordinates (m_rectMRUDockPos), and the screen point and
// style it last floated with. ToggleDocking moves a bar between the two
// through the frame's virtual DockControlBar and FloatControlBar.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/AfxTypes.h"

#include <functional>

class CControlBar;
class CFrameWnd;

class CDockContext
{
public:
    explicit CDockContext(CControlBar* pBar);
    virtual ~CDockContext() = default;
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;

    // Moves the bar with the mouse from pt (screen) until the left button is
    // released: it docks into the dock bar its side allows under the cursor,
    // else floats where it was let go. Escape, the right button or a lost
    // capture leave it where it was.
    virtual void StartDrag(CPoint pt);
    // Resizes a floating bar by the frame border nHitTest (HTLEFT...HTBOTTOM)
    // from pt until the left button is released; the bar chooses its shape
    // for each new length and its floating frame fits it.
    virtual void StartResize(int nHitTest, CPoint pt);
    // A docked bar floats at m_ptMRUFloatPos with m_dwMRUFloatStyle (where it
    // is, horizontal, when it never floated); a floating one docks back at
    // m_rectMRUDockPos in the dock bar m_uMRUDockID (the first side its dock
    // style allows when there is none).
    virtual void ToggleDocking();

    CControlBar* m_pBar;
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = 0;
    CPoint m_ptMRUFloatPos;
    BOOL m_bTracking = FALSE;

protected:
    // Runs a modal mouse loop with the capture on the bar, calling onMove
    // with every screen point; the point of release, or FALSE when the loop
    // was cancelled.
    BOOL Track(CPoint ptStart, const std::function<void(CPoint)>& onMove, CPoint& ptEnd);
};
