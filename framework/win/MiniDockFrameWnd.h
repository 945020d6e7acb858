// CMiniDockFrameWnd: the small frame a floating control bar lives in.
//
// It holds one floating dock bar (child id AFX_IDW_DOCKBAR_FLOAT, 59423,
// m_bFloating set) whose dock site is the main frame, in whose bar list it
// also stands. The frame snaps to the size of its bars (FWS_SNAPTOBARS),
// hides while none of them shows and hides them when it is closed. Double
// clicking its caption docks a single bar back; its caption drags and its
// borders resize a bar through the bar's docking context.
#pragma once

#include "framework/win/MiniFrameWnd.h"

class CDockBar;

class CMiniDockFrameWnd : public CMiniFrameWnd
{
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd() = default;
    ~CMiniDockFrameWnd() override;

    // A hidden tool frame owned by pParent, whose floating dock bar takes
    // dwBarStyle (CBRS_ALIGN_* and CBRS_SIZE_DYNAMIC). On failure the
    // object is gone, as for every frame whose creation fails.
    virtual BOOL Create(CWnd* pParent, DWORD dwBarStyle);
    // The face colour behind the bars, where the frame is wider than they are.
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;

    afx_msg void OnClose();
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);

    CDockBar* m_pWndDockBar = nullptr;

protected:
    // The floating dock bar, made before its window: a subclass returns a
    // dock bar of its own class (a new object the frame then owns).
    virtual CDockBar* CreateFloatingDockBar();
    // The bar the frame's caption stands for: the only one it holds, unless
    // the dock bar takes several (CBRS_FLOAT_MULTI).
    CControlBar* GetSingleBar() const;

    DECLARE_MESSAGE_MAP()
};
