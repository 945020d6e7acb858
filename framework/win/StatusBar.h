// CStatusBar: the frame's status line, a row of panes over the system's
// status control. Pane 0 normally stretches and shows the prompts; the
// others are indicators updated through their command ids.
#pragma once

#include "framework/win/ControlBar.h"

// Pane styles.
enum : UINT
{
    SBPS_NORMAL = 0x0000,
    SBPS_NOBORDERS = 0x0100,
    SBPS_POPOUT = 0x0200,
    SBPS_OWNERDRAW = 0x1000,
    SBPS_DISABLED = 0x04000000,
    SBPS_STRETCH = 0x08000000,
};

struct AFX_STATUSPANE
{
    UINT nID;
    UINT nStyle;
    int cxText;
    CString strText;
};

class CStatusBar : public CControlBar
{
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar() = default;
    ~CStatusBar() override;

    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                        UINT nID = AFX_IDW_STATUS_BAR);
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                          UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; ID_SEPARATOR (0) makes a pane without a command.
    // Each pane starts with the text of its id's string, when there is one.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    void GetPaneText(int nIndex, CString& rString) const;
    CString GetPaneText(int nIndex) const;
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    HWND GetStatusBarCtrl() const { return m_hWnd; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);

protected:
    AFX_STATUSPANE* GetPanePtr(int nIndex) const;
    // Gives the system control the pane edges and texts.
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);
    void SetPartText(int nIndex);

    DECLARE_MESSAGE_MAP()
};
