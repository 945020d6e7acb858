// CExtScrollWnd: the base of windows that show a surface larger than their
// client area. A derived class gives the total, page and line sizes and
// paints in surface coordinates; the base keeps the scroll bars in step with
// the client size, scrolls on scroll-bar and wheel input and paints through
// an off-screen device context with the origin moved by the scroll position.
// The bars are the window's own or the controls GetScrollBarCtrl gives, such
// as a pair of CExtScrollBar laid out inside the window. Positions are 32-bit
// (through SCROLLINFO) unless the option is cleared.
#pragma once

#include "framework/win/Wnd.h"
#include "uitoolkit/commands/ExtHookSink.h"

class CExtScrollWnd : public CWnd, public CExtMouseCaptureSink
{
    DECLARE_DYNAMIC(CExtScrollWnd)
public:
    // m_nScrollBehaviour
    enum : BYTE
    {
        ScrollWindowOnScroll = 0x01,
        NoEraseBackground = 0x02,
        PaintOffscreen = 0x04,
        InvalidateOnScroll = 0x08,
        EraseOnScroll = 0x10,
        UpdateOnScroll = 0x20,
        UpdateOnLayout = 0x40,
        InvalidateOnLayout = 0x80,
        DefaultBehaviour = NoEraseBackground | PaintOffscreen | InvalidateOnScroll | InvalidateOnLayout,
    };
    // m_nScrollOptions
    enum : BYTE
    {
        EraseOnLayout = 0x01,
        UseScrollInfo = 0x02,
        DefaultOptions = UseScrollInfo,
    };

    BYTE m_nScrollBehaviour = DefaultBehaviour;
    BYTE m_nScrollOptions = DefaultOptions;
    int m_nUpdateScrollBarsNesting = 0;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual CSize GetTotalSize() const;
    // nDirection: -1 backwards, +1 forwards
    virtual CSize GetPageSize(int nDirection) const;
    virtual CSize GetLineSize(int nDirection) const;
    // The client rectangle left after the child bars; bReally moves them.
    virtual void LayoutClientArea(CRect& rcClient, bool bReally, const RECT* pRect = nullptr);
    virtual CRect GetScrollClientRect();
    virtual bool HideDisabledScrollBar(bool bHorz) const;
    virtual bool IsScrollBarAvailable(bool bHorz) const;
    // nBar: SB_HORZ, SB_VERT or SB_BOTH
    virtual void EnableScrollBars(int nBar, bool bEnable);
    virtual bool SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, bool bRedraw = true);
    virtual void SetScrollRange(int nBar, int nMinPos, int nMaxPos, bool bRedraw = true);
    virtual bool IsThumbTrackingEnabled(bool bHorz) const;
    virtual int GetScrollLimit(int nBar) const;
    virtual void GetScrollInfoValues(int nBar, int* pMin, int* pMax, int* pPage, int* pPos, int* pTrackPos) const;
    virtual int GetScrollPos(int nBar, bool bTrackPos = false) const;
    virtual void SetScrollPos(int nBar, int nPos, bool bRedraw = true);
    virtual CPoint GetScrollPosition() const;
    virtual CPoint GetDeviceScrollPosition() const;
    virtual void ScrollToPosition(int x, int y);
    virtual void GetScrollBarState(CSize sizeClient, CSize& sizeNeedBars, CSize& sizeRange, CPoint& ptMove,
                                   bool bInsideClient) const;
    virtual CSize GetScrollBarSizes() const;
    virtual bool GetTrueClientSize(CSize& size, CSize& sizeBars);
    virtual int GetMouseWheelScrollLines(UINT nFlags, short zDelta, CPoint point) const;
    virtual bool DoMouseWheel(UINT nFlags, short zDelta, CPoint point);
    // Low byte: the horizontal code, high byte: the vertical; 0xFF none.
    virtual bool OnScroll(UINT nScrollCode, UINT nPos, bool bDoScroll = true);
    virtual bool OnScrollBy(CSize sizeScroll, bool bDoScroll = true);
    virtual void UpdateScrollBars();
    virtual void ScrollContent(int dx, int dy, const RECT* pRectScroll = nullptr, const RECT* pRectClip = nullptr);
    virtual void ScrollToClientPoint(CPoint point);
    virtual void InvalidateContent(bool bErase);
    virtual void UpdateContent();
    virtual void RedrawAfterLayout();
    virtual void PaintContent(CDC& dc);

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    bool UsesScrollInfo() const { return (m_nScrollOptions & UseScrollInfo) != 0; }
    void EnableOneBar(bool bHorz, bool bEnable);
    void SyncBarCorners();
};
