// A light, self-drawn row of sheet-like tabs along the top of a pane, or
// down its side with rotated text, with two arrow buttons that scroll
// through tabs that do not fit. The parent hears of a new selection and of
// right clicks through WM_NOTIFY (NMTABSTRIP).
#pragma once

#include "controls/custom/CustomWnd.h"
#include "framework/core/CList.h"

// WM_NOTIFY codes of the tab strip.
enum : UINT
{
    TSN_SELCHANGED = 1, // the user selected another tab with the left button
    TSN_RCLICK = 6,     // the right button went down over the strip
};

// Flags of CTabStripCtrl::Create.
enum : DWORD
{
    TSF_BUTTONS = 0x2,     // previous and next buttons at the start of the strip
    TSF_HORIZONTAL = 0x80, // set by the strip itself unless it is vertical
    TSF_VERTICAL = 0x100,  // down the side, text rotated by 90 degrees
};

struct NMTABSTRIP
{
    NMHDR hdr;
    int nTab;        // the tab concerned, or -1
    CString strText; // empty
    POINT ptScreen;  // TSN_RCLICK: the mouse position on the screen
};

// An arrow button that repeats its command while held down: after 500 ms,
// then every 150 ms; the click on release counts as well.
class CFolderButton : public CButton
{
    DECLARE_DYNAMIC(CFolderButton)
public:
    // Its arrow points left or right (horizontal) or up or down.
    BYTE m_bHorizontal = 1;
    // Timer ticks of the current press.
    int m_nRepeat = 0;

    enum
    {
        idRepeat = 1,
        firstDelay = 500,
        repeatDelay = 150,
    };

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void StartRepeat();

    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()
};

struct CTabStripItem
{
    BYTE m_bHorizontal = 1;
    CString m_strText;
    // In strip coordinates before scrolling.
    CRect m_rect;
    // The tab's outline, in the same coordinates.
    CRgn m_rgn;
};

class CTabStripCtrl : public CCustomWnd
{
public:
    // Control ids of the arrow buttons, which are also their commands.
    enum
    {
        idPrevious = 2,
        idNext = 3,
    };

    CTabStripCtrl();
    ~CTabStripCtrl() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwFlags);
    int AddTab(LPCTSTR lpszText);
    // Removes every tab; the selection and the scroll position go back to
    // the start.
    int DeleteAllTabs();
    CTabStripItem* GetTab(int nIndex) const;
    int GetTabCount() const { return static_cast<int>(m_tabs.GetCount()); }
    int GetCurSel() const { return m_nSelected; }
    // Selects without notifying; -1 when out of range.
    int SetCurSel(int nIndex);
    // As SetCurSel, then TSN_SELCHANGED when the selection changed.
    int SelectTab(int nIndex);
    int GetFirstVisible() const { return m_nFirstVisible; }
    // The tab whose outline holds the client point, or -1 (also over the
    // arrow buttons).
    int HitTest(int x, int y) const;

    void PaintBackground() override;
    void Draw(CDC* pDC) override;

protected:
    static CString s_strClassName;

    CFolderButton m_buttons[2];
    int m_nButtons = 0;
    CTypedPtrList<CPtrList, CTabStripItem*> m_tabs;
    DWORD m_dwFlags = 0;
    int m_nSelected = 0;
    CFont m_fontNormal;
    CFont m_fontSelected;
    // The length the arrow buttons take at the start of the strip.
    int m_nButtonsExtent = 0;
    // The first tab shown after the buttons.
    int m_nFirstVisible = 0;

    BOOL IsHorizontal() const { return (m_dwFlags & TSF_HORIZONTAL) != 0; }
    // How far the tabs are shifted back along the strip by scrolling.
    int GetScrollShift() const;
    void LayoutTabs();
    void DrawTab(CDC* pDC, CTabStripItem* pTab, BOOL bSelected);
    void Notify(UINT nCode, int nTab, POINT ptScreen = POINT{0, 0});

    void OnCreated() override;
    void OnLayout() override;
    void OnEnableChanged(BOOL bEnabled) override;

    afx_msg void OnPrevious();
    afx_msg void OnNext();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
