// CTreeListCtrl: a window showing a tree of items in rows with several
// columns. The first column holds the tree (indentation, lines, expand
// buttons, check, lock and item icons, label); the others one text per item.
// The item tree, columns and selection are CTreeListCore's; this class adds
// the window: geometry and scroll bars, painting through an off-screen
// bitmap, the header and tooltip windows, mouse and keyboard, and the
// WM_NOTIFY records to the parent.
#pragma once

#include "controls/treelist/core/TreeListCore.h"
#include "controls/treelist/window/TreeListDragWnds.h"
#include "controls/treelist/window/TreeListEditors.h"
#include "controls/treelist/window/TreeListHeaderCtrl.h"
#include "controls/treelist/window/TreeListTipCtrl.h"
#include "framework/win/AfxWin.h"

// The full notification record. Item and window fields are pointer-sized.
class CTreeListCtrl;

struct NMTREELIST
{
    NMHDR hdr;
    CTreeListItem* pItem;
    int nCol;    // -1 is sent as 0
    int nValue1; // mouse x, or 1 when an edit changed nothing
    int nValue2; // mouse y
};

// The short record of the drag notices.
struct NMTREELISTDRAG
{
    NMHDR hdr;
    CTreeListCtrl* pSource; // the control the items are dragged from
    CTreeListItem* pItem;
};

// Hit-test zones.
enum : UINT
{
    TLHT_ONITEMROW = 1,
    TLHT_ONITEMBUTTON = 2,
    TLHT_ONITEMCHECK = 4,
    TLHT_ONITEMLOCK = 8,
    TLHT_ONITEMIMAGE = 16,
    TLHT_ONITEMTEXT = 32,
};

class CTreeListCtrl : public CWnd, public CTreeListCore
{
    DECLARE_DYNCREATE(CTreeListCtrl)
    friend class CTreeListHeaderCtrl;
    friend class CTreeListDragImage;

public:
    CTreeListCtrl();
    ~CTreeListCtrl() override;

    using CTreeListCore::GetStyle;
    using CTreeListCore::SetStyle;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Null takes the parent's font.
    void SetFont(CFont* pFont);
    CFont* GetFont() { return &m_font; }
    void SetImageList(CImageList* pImageList);
    COLORREF GetColor(int nIndex) const { return m_crColors[nIndex]; }

    // ---- geometry ----
    void RecalcLayout();
    void UpdateScrollBars();
    int GetTotalWidth() const;
    int GetTotalHeight() const;
    BOOL GetItemRect(CTreeListItem* pItem, LPRECT lpRect) const;
    BOOL GetCellRect(CTreeListItem* pItem, int nColumn, LPRECT lpRect, BOOL bTextPart = FALSE) const;
    const CRect& GetItemAreaRect() const { return m_rcTreeList; }
    const CRect& GetHeaderRect() const { return m_rcHeader; }
    int GetItemScreenRow(CTreeListItem* pItem) const;
    void SetItemScreenRow(CTreeListItem* pItem, int nRow);

    // ---- input ----
    CTreeListItem* HitTest(CPoint point, UINT* pFlags, int* pColumn, LPRECT lpRect) const;
    virtual BOOL HandleKey(MSG* pMsg);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The WM_KEYDOWN handler while an edit is active; true when used.
    virtual BOOL HandleEditKey(MSG* pMsg);
    // An editor lost the focus to pNewWnd.
    void OnEditorKillFocus(CWnd* pNewWnd);
    // The editor shown over the edited cell, null when none.
    CWnd* GetEditorWnd() const { return m_pEditor; }
    CComboBox& GetComboEditor() { return m_wndCombo; }

    // ---- dragging: the source side ----
    // A left press at (x, y) on a selected item: may a drag begin?
    bool CanBeginDrag(CPoint point);
    void DragMove(CPoint point);
    void EndDrag(CPoint point);
    void CancelDrag();
    bool IsDragging() const { return (m_dwStatus & kDragging) != 0; }
    CTreeListDragImage* GetDragImage() const { return m_pDragImage; }
    CTreeListDropArrow* GetDropArrow() const { return m_pDropArrow; }
    // ---- dragging: the target side ----
    bool DragEnter(CTreeListCtrl* pSource);
    // The drop result at a screen point, and the item under it.
    int DragOver(CTreeListCtrl* pSource, CPoint ptScreen, CTreeListItem** ppItem);
    void DragLeave(CTreeListCtrl* pSource);
    void Drop(CTreeListCtrl* pSource, CPoint ptScreen);
    // Paints the rows around a point of the list (x from the first column,
    // y from the first row) into an nSize square centred on it, as the
    // drag image shows them: no row background, no blended icons.
    void DrawSnapshot(CDC* pDC, CPoint ptList, int nSize);
    HCURSOR GetDropCursor(bool bAllowed) const { return bAllowed ? m_hDropAllowed : m_hDropRefused; }

    CTreeListHeaderCtrl& GetHeaderCtrl() { return m_wndHeader; }
    CTreeListTipCtrl& GetTipCtrl() { return m_wndTip; }

protected:
    void PreSubclassWindow() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // ---- the core's hooks ----
    LONG_PTR Notify(int nCode, CTreeListItem* pItem, int nColumn, int nValue1 = 0, int nValue2 = 0) override;
    void OnTreeChanged() override;
    void Redraw() override;
    void OnStyleChanged() override;
    void SetTreeRedraw(bool bRedraw) override;
    void ScrollIntoView(CTreeListItem* pItem, int nColumn) override;
    int MeasureText(LPCTSTR lpszText, bool bHeader) override;
    int GetFontHeight() override;
    void OnItemDeleting(CTreeListItem* pItem) override;
    LONG_PTR NotifyDrag(int nCode, CTreeListCore* pSource, CTreeListItem* pItem) override;
    void ShowEditor(CTreeListItem* pItem, int nColumn) override;
    bool HideEditorWindow(CString& strText) override;
    void PlaceEditorAgain() override;

    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    afx_msg void OnNcPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnCancelMode();
    DECLARE_MESSAGE_MAP()

private:
    // Where column 0's parts start, from a cell's left edge.
    struct CellLayout
    {
        int xSlot = -1; // the item's own line and button slot
        int xCheck = -1;
        int xLock = -1;
        int xImage = -1;
        int xText = 0;
    };
    CellLayout LayoutFirstCell(CTreeListItem* pItem, int xLeft) const;
    BOOL CreateChildWindows();
    int GetColumnLeft(int nColumn) const; // in the row, -1 when not displayed
    int GetRowsFit() const;

    void DrawBackground(CDC* pDC);
    void DrawRows(CDC* pDC);
    void DrawItem(CDC* pDC, CTreeListItem* pItem, const CRect& rcRow);
    void DrawTreeCell(CDC* pDC, CTreeListItem* pItem, const CRect& rcCell);
    void DrawFlatCell(CDC* pDC, CTreeListItem* pItem, const CRect& rcCell);
    void DrawIcons(CDC* pDC, CTreeListItem* pItem, const CRect& rcCell, const CellLayout& layout);
    void DrawCellText(CDC* pDC, CTreeListItem* pItem, int nColumn, CRect rcText);
    void DrawCellGrid(CDC* pDC, const CRect& rcCell, bool bBottom, bool bRight);
    void DrawDots(CDC* pDC, const CRect& rcSlot, const CRect& rcClip, bool bLeft, bool bRight, bool bUp, bool bDown);
    void DrawButton(CDC* pDC, const CRect& rcSlot, int nKind);
    void FillRow(CDC* pDC, const CRect& rcRow, int nRow);
    void HLine(CDC* pDC, int x1, int x2, int y);
    void VLine(CDC* pDC, int x, int y1, int y2);
    UINT CellTextFormat(int nColumn) const;
    bool IsFocused() const { return (m_dwStatus & kHasFocus) != 0; }
    // The focus went to pNewWnd (null: out of the process).
    void LoseFocus(CWnd* pNewWnd);
    bool IsSelfOrChild(CWnd* pWnd) const;
    // Where the editor of a kind goes over the cell; empty when hidden.
    CRect GetEditorRect(CTreeListItem* pItem, int nColumn) const;
    void DestroyDragWindows();
    // (Re)creates the edit box with an alignment (ES_LEFT, ES_CENTER, ES_RIGHT).
    BOOL MakeEditBox(DWORD dwAlign);
    void OnDragTimer(UINT_PTR nIDEvent);

    enum : DWORD
    {
        kChildrenMade = 0x1,
        kOffscreen = 0x2,
        kHasFocus = 0x4,
        kDragCapture = 0x8,
        kDragging = 0x40,
        kSnapshot = 0x80, // painting the drag image: no row fill, no blending
    };

    COLORREF m_crColors[20];
    CFont m_font;
    CPalette* m_pPalette;
    HCURSOR m_hButton;
    HCURSOR m_hCheck;
    HCURSOR m_hLock;
    HCURSOR m_hArrow;
    HCURSOR m_hDropAllowed;
    HCURSOR m_hDropRefused;
    CRect m_rcClient;
    CRect m_rcHeader;
    CRect m_rcTreeList;
    CTreeListHeaderCtrl m_wndHeader;
    CTreeListTipCtrl m_wndTip;
    CTreeListStatic m_wndReadOnly;
    CTreeListEdit m_wndEdit;
    CTreeListCombo m_wndCombo;
    CWnd* m_pEditor = nullptr; // the editor last shown
    CPoint m_ptDragStart;
    CSize m_szDragOffset = CSize(-160, -160);
    CTreeListDragImage* m_pDragImage = nullptr;
    CTreeListDropArrow* m_pDropArrow = nullptr;
    CTreeListCtrl* m_pDropTarget = nullptr;
    CBitmap m_bmpBkBitmap;
    CBitmap m_bmpBkDisable;
    CImageList m_imgCheck;
    CImageList m_imgLock;
    CImageList m_imgTree;
    CImageList* m_pImageList = nullptr;
    DWORD m_dwStatus = kOffscreen;
    CTreeListItem* m_pTipItem = nullptr; // the item the tooltip shows a text of
    int m_nRedrawOff = 0;                // redraw switched off by the tree
    bool m_bInScrollUpdate = false;
};
