// CDockBar: the window along one side of a frame (or inside a floating
// frame) that holds docked control bars in rows.
//
// m_arrBars is the row array: entry 0 is null, a null ends a row and the
// last entry is a null, and no two nulls follow each other. An entry below
// 0x10000 is a placeholder: the control id of a bar that was floated from
// that place and docks back there when docked without a rectangle; it takes
// no room. Every other entry is a docked CControlBar*.
//
// Layout: rows run along the dock bar (x for top and bottom, y for left and
// right) from its corner, bars keep a gap a user left before them, and a bar
// that no longer fits starts a new row. The dock bar's CBRS_BORDER_* sides
// add afxData.cxBorder2/cyBorder2 each around the rows; a dock bar without
// rows takes no room at all.
#pragma once

#include "framework/core/CArray.h"
#include "framework/win/ControlBar.h"

class CControlBarInfo;

class CDockBar : public CControlBar
{
    DECLARE_DYNCREATE(CDockBar)
public:
    explicit CDockBar(BOOL bFloating = FALSE);
    ~CDockBar() override;

    // True for the compare of a row-array entry against a bar's place.
    static bool IsPlaceholder(const void* pEntry) { return reinterpret_cast<uintptr_t>(pEntry) - 1 < 0xFFFF; }

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    BOOL IsDockBar() const override { return TRUE; }

    // Puts pBar into the row array where a bar dropped at rect (client
    // coordinates of this dock bar) belongs. ptMid, the point of rect that
    // decides (callers give its centre), picks the row whose band across the
    // dock bar holds it (rows without a shown bar have none) and there the
    // place before the first bar whose centre along the row lies past it;
    // beyond the last row it starts a new last row. Returns the new index.
    int Insert(CControlBar* pBar, CRect rect, CPoint ptMid);
    // Docks pBar here: at lpRect (screen coordinates), else at its
    // placeholder, else as a new last row. It leaves its old dock bar, with
    // a placeholder there when it comes from a docked one into a floating.
    virtual void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    // Takes pBar's entry out (the one not at nPosExclude): nAddPlaceHolder 1
    // leaves its id in its place, 0 also removes its placeholders in every
    // dock bar of the frame, -1 leaves other placeholders alone. FALSE when
    // pBar has no entry here.
    virtual BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1, int nAddPlaceHolder = 0);

    // Index of the entry, or -1.
    int FindBar(CControlBar* pBar, int nPosExclude = -1) const;
    // The nPos-th docked bar (placeholders and row ends not counted), or null.
    CControlBar* GetDockedControlBar(int nPos) const;
    int GetDockedCount() const;
    int GetDockedVisibleCount() const;
    // Takes the entry at nPos out and, when that leaves two nulls side by
    // side, one of them.
    void RemoveEntry(int nPos);
    // Removes every placeholder of the id here.
    void RemovePlaceholders(UINT nID);
    // The same in every dock bar of the frame.
    static void RemovePlaceholdersInFrame(CFrameWnd* pFrame, UINT nID);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    // Lets the bars go before the window goes: they become children of the
    // dock site again and keep living.
    BOOL DestroyWindow() override;

    void GetBarInfo(CControlBarInfo* pInfo) override;
    void SetBarInfo(CControlBarInfo* pInfo, CFrameWnd* pFrameWnd) override;

    afx_msg void OnDestroy();
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);

    BOOL m_bFloating;
    CPtrArray m_arrBars;
    BOOL m_bLayoutQuery = FALSE;
    CRect m_rectLayout;

protected:
    // Gives the bar this dock bar's side and floating state.
    void AdoptBar(CControlBar* pBar);
    // Clears the dock-bar pointer of every bar still here.
    void ForgetBars();

    DECLARE_MESSAGE_MAP()
};
