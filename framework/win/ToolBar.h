// CToolBar: a control bar over the system's tool-bar control, loaded from
// a tool-bar resource (type 241: version, image width and height, button
// count, then the button ids, 0 for a separator) and the bitmap of the same
// id, whose images lie side by side in button order.
#pragma once

#include "framework/win/ControlBar.h"

#include <vector>

#define RT_TOOLBAR MAKEINTRESOURCEA(241)

// Button styles as the bar reports them.
enum : UINT
{
    TBBS_BUTTON = TBSTYLE_BUTTON,
    TBBS_SEPARATOR = TBSTYLE_SEP,
    TBBS_CHECKBOX = TBSTYLE_CHECK,
    TBBS_GROUP = TBSTYLE_GROUP,
    TBBS_CHECKED = TBSTATE_CHECKED << 8,
    TBBS_DISABLED = 0x0400, // not TBSTATE_ENABLED, as a style bit
};

// The contents of a tool-bar resource.
struct CToolBarResource
{
    WORD wVersion = 0;
    WORD wWidth = 0;
    WORD wHeight = 0;
    std::vector<UINT> ids; // 0: separator

    // Parses resource bytes; FALSE when they are too short for the count
    // they claim or of an unknown version.
    BOOL Parse(const void* pData, DWORD cbData);
};

class CToolBar : public CControlBar
{
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar() = default;
    ~CToolBar() override;

    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT nID = AFX_IDW_TOOLBAR);
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                          DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect rcBorders = CRect(0, 0, 0, 0),
                          UINT nID = AFX_IDW_TOOLBAR);

    BOOL LoadToolBar(LPCTSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCEA(nIDResource)); }
    BOOL LoadBitmap(LPCTSTR lpszResourceName);
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    CString GetButtonText(int nIndex) const;
    HWND GetToolBarCtrl() const { return m_hWnd; }
    HIMAGELIST GetImageList() const { return m_hImageList; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);

protected:
    CSize m_sizeImage = CSize(16, 15);
    CSize m_sizeButton = CSize(23, 22);
    HIMAGELIST m_hImageList = nullptr;

    DECLARE_MESSAGE_MAP()
};
