// CControlBar: the base of bars along a frame's edges (status bar, tool
// bars, dock bars and the toolkit's panes).
//
// A bar takes its side of the frame's client area when the frame lays out
// (WM_SIZEPARENT), asks the command targets to update its items when the
// thread is idle, and passes commands and notifications on to its owner.
// m_dwStyle holds the CBRS_* bits; the window style keeps only the system's.
#pragma once

#include "framework/win/AfxRes.h"
#include "framework/win/Wnd.h"

class CControlBarInfo;
class CDC;
class CDockBar;
class CDockContext;
class CFrameWnd;

// Prompts of the bar's items follow the mouse after this delay (ms).
enum : UINT
{
    ID_TIMER_WAIT = 0xE000,  // prompt of the item under the mouse
    ID_TIMER_CHECK = 0xE001, // has the mouse left the bar?
};

// System metrics the bars use, read once: the borders doubled (two
// SM_CXBORDER and two SM_CYBORDER).
struct AUX_DATA
{
    AUX_DATA();
    int cxBorder2;
    int cyBorder2;
};
extern AUX_DATA afxData;

class CControlBar : public CWnd
{
    DECLARE_DYNAMIC(CControlBar)
public:
    enum StateFlags
    {
        delayHide = 1,
        delayShow = 2,
        tempHide = 4,
        statusSet = 8
    };

    ~CControlBar() override;

    int GetCount() const { return m_nCount; }
    DWORD GetBarStyle() const { return m_dwStyle; }
    virtual void SetBarStyle(DWORD dwStyle);
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    void SetBorders(LPCRECT lpRect) { SetBorders(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }

    // Which sides the bar may dock to (CBRS_ALIGN_*, CBRS_FLOAT_MULTI); zero:
    // none. The bar gets its docking context here.
    void EnableDocking(DWORD dwDockStyle);
    CFrameWnd* GetDockingFrame() const;
    // Whether the bar's dock bar floats (a dock bar: whether it floats).
    BOOL IsFloating() const;
    // Fills the record with where the bar is and what its docking context
    // remembers, and applies one (position, visibility at the next layout,
    // MRU width and places). pFrameWnd finds bars by id.
    virtual void GetBarInfo(CControlBarInfo* pInfo);
    virtual void SetBarInfo(CControlBarInfo* pInfo, CFrameWnd* pFrameWnd);
    virtual BOOL IsDockBar() const { return FALSE; }
    // Shown, or about to be shown by a delayed show.
    virtual BOOL IsVisible() const;
    // Shows or hides at the frame's next layout.
    virtual void DelayShow(BOOL bShow);

    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
    // The client rectangle less borders and gripper.
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;
    virtual void DoPaint(CDC* pDC);
    void DrawBorders(CDC* pDC, CRect& rect);
    void DrawGripper(CDC* pDC, const CRect& rect);
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
    // Carries out a pending delayed show or hide while the frame lays out;
    // returns the bar style as it then is.
    virtual DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);

    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override;
    void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = adjustBorder) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    // Context help on a bar names the bar: the answer is its control id.
    afx_msg LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);

    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    CDockContext* m_pDockContext = nullptr;
    BOOL m_bAutoDelete = FALSE;
    int m_nMRUWidth = 32767;
    UINT m_nStateFlags = 0;
    int m_cxLeftBorder = 6;
    int m_cxRightBorder = 6;
    int m_cyTopBorder = 2;
    int m_cyBottomBorder = 2;
    int m_nCount = 0;
    void* m_pData = nullptr;

protected:
    CControlBar() = default;
    // The frame the bar belongs to, where the prompts go.
    CFrameWnd* GetOwnerFrame() const;
    // The item's command id at a client point for prompts, or -1.
    INT_PTR HitTestForPrompt(CPoint point) const;
    // A dying bar leaves its dock bar's rows.
    void LeaveDockBar();

    DECLARE_MESSAGE_MAP()

private:
    INT_PTR m_nFlyByHit = -1;
};
