// The toolkit's status bar: the framework's status bar painted by the
// current theme, with child controls kept inside their panes, per-pane text
// formats and tooltips, a size gripper in the corner and the frame's bars
// menu on a right click. Every one passes the four system notifications on
// to the theme and command managers (it is always a relay window).
#pragma once

#include "framework/core/CArray.h"
#include "framework/core/CMap.h"
#include "framework/core/CString.h"
#include "framework/win/StatusBar.h"

class CExtStatusControlBar : public CStatusBar
{
    DECLARE_DYNCREATE(CExtStatusControlBar)
public:
    enum e_options : BYTE
    {
        OptFirstPaneBorder = 0x01,  // the first pane gets a border too
        OptToolkitPaints = 0x02,    // the theme paints the panes
        OptPaneSeparators = 0x04,   // separators between panes instead of borders
        OptHideDisabledText = 0x08, // a disabled pane shows no text
        OptNoPaneIcons = 0x10,      // pane icons are not drawn
    };

    // A pane's text format and tooltip.
    struct _ED_
    {
        UINT m_nTextFormat = DT_SINGLELINE | DT_VCENTER;
        CString m_sTipText;
    };
    // A child window kept inside the pane of its command id.
    struct _STATUSBAR_PANE_CTRL_
    {
        HWND m_hWnd = nullptr;
        UINT m_nID = 0;
        bool m_bAutoDestroy = false;
    };

    CExtStatusControlBar();
    ~CExtStatusControlBar() override;

    // Index of the pane under a client point, -1 when none.
    virtual int HitTestPane(int x, int y) const;
    virtual void PaintBackground(CDC* pDC, const CRect& rc);
    virtual void PaintPaneBackground(CDC* pDC, int nIndex, const CRect& rcPane);
    virtual void PaintPane(CDC* pDC, int nIndex, const CRect& rcPane, UINT nStyle, HICON hIcon, LPCTSTR lpszText,
                           UINT nTextFormat);
    // -1: the pane has no colour of its own.
    virtual COLORREF GetPaneTextColor(int nIndex) const;
    virtual bool IsGripperShown() const { return true; }
    virtual void PaintGripper(CDC* pDC, const CRect& rc);
    virtual void PaintPaneSeparator(CDC* pDC, int nIndex, const CRect& rcPrev, const CRect& rcPane);

    INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void UpdateColors();
    // Moves every pane control into its pane.
    void RepositionPaneControls();
    UINT GetPaneTextFormat(int nIndex) const;
    CString GetPaneTipText(int nIndex) const;
    int GetPaneCount() const;
    // 0 for an index out of range or a bar without a window.
    UINT GetPaneCommandID(int nIndex) const;

    // Keeps hWnd inside the pane of nID from now on; with bAutoDestroy the
    // bar destroys the window when it is destroyed itself. False for a pane
    // that does not exist or a window that already has a pane.
    bool AddPaneControl(HWND hWnd, UINT nID, bool bAutoDestroy);
    void SetPaneTextFormat(int nIndex, UINT nTextFormat);
    void SetPaneTipText(int nIndex, LPCTSTR lpszTipText);

protected:
    afx_msg void OnPaint();
    afx_msg void OnNcPaint();
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    enum : BYTE
    {
        RedrawLocked = 0x01
    };
    // The client rectangle's gripper end, empty when the parent is
    // maximised or has no border.
    CRect GetGripperRect() const;
    // The pane's rectangle, the last one reaching to the gripper.
    CRect GetPaneRect(int nIndex) const;
    bool ExtraDataOf(int nIndex, _ED_& data) const;
    _ED_& ExtraDataFor(int nIndex);
    void DestroyPaneControls();

    BYTE m_nLocks = 0;
    CMap<UINT, UINT, _ED_, _ED_> m_mapExtraData;

public:
    BYTE m_nOptions = OptToolkitPaints | OptHideDisabledText;
    UINT m_nDefaultTextFormat = DT_SINGLELINE | DT_VCENTER;
    COLORREF m_clrBackground = static_cast<COLORREF>(-1);
    COLORREF m_clrText = 0;
    COLORREF m_clrDisabledText = 0;

private:
    CArray<_STATUSBAR_PANE_CTRL_*, _STATUSBAR_PANE_CTRL_*> m_arrPaneControls;
    // The pane whose tooltip was last asked for, until the mouse leaves.
    int m_nTipPane = -1;
};
