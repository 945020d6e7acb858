// CTreeListHeaderCtrl: the column headers above a tree list's rows. It
// paints each displayed column's text, image and sort mark, and lets the
// user resize columns by their dividers (a column of width 0 keeps a
// divider of its own so it can be widened again).
#pragma once

#include "controls/treelist/window/TreeListDragWnds.h"
#include "framework/win/AfxWin.h"

class CTreeListCtrl;

// The layout message: lParam points to the rectangle the header may take;
// its bottom becomes the header's.
const UINT TLHM_LAYOUT = 0x1205;

class CTreeListHeaderCtrl : public CWnd
{
public:
    CTreeListHeaderCtrl();
    ~CTreeListHeaderCtrl() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CTreeListCtrl* pOwner, UINT nID);
    // The owner's font (or the given one) made 200 units heavier.
    void SetFont(CFont* pFont);
    CFont* GetHeaderFont() { return &m_font; }
    // -1 takes the height from the font.
    int SetHeight(int nHeight);
    int GetHeight() const;
    DWORD GetStyle() const { return m_dwStyle; }
    DWORD SetStyle(DWORD dwStyle);

    // The divider under a point: the column, or -1; nKind 1 for a column
    // with width, 2 for one of width 0.
    int DividerHitTest(CPoint point, int& nKind) const;
    HCURSOR GetDividerCursor(int nKind) const { return nKind == 2 ? m_hDividerHidden : m_hDivider; }
    // The zone flags of a point for a column drag (0: none) and its column.
    UINT ColumnZones(CPoint point, int& nColumn) const;
    // A column's sort mark, image and text inside its content rectangle.
    void DrawColumnContent(CDC* pDC, int nColumn, CRect rcContent);
    bool IsDraggingColumn() const { return m_bDragging != FALSE; }
    CTreeListColumnImage* GetColumnImage() const { return m_pColumnImage; }
    CTreeListColumnMarker* GetColumnMarker() const { return m_pMarker; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnCancelMode();
    afx_msg LRESULT OnLayout(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void DrawColumns(CDC* pDC);
    void TrackResize(CPoint point);
    void EndResize(CPoint point);
    // The column's rectangle in the header, -1 when not displayed.
    bool GetColumnRect(int nColumn, CRect& rc) const;
    void TrackColumnDrag(CPoint point);
    void EndColumnDrag(CPoint point);

    COLORREF m_crLine = RGB(128, 128, 128);
    COLORREF m_crFace;
    COLORREF m_crHighlight;
    COLORREF m_crShadow;
    COLORREF m_crText;
    CFont m_font;
    int m_nHeight = 0;
    DWORD m_dwStyle = 0;
    BOOL m_bOffscreen = TRUE;
    HCURSOR m_hDivider;
    HCURSOR m_hDividerHidden;
    HCURSOR m_hArrow;
    CImageList m_imgSort;
    CImageList m_imgColumns;
    CImageList* m_pColumnImages = nullptr;
    CTreeListCtrl* m_pOwner = nullptr;
    BOOL m_bResizing = FALSE;
    BOOL m_bDragging = FALSE;
    int m_nColumn = -1;
    CPoint m_ptPress;
    CTreeListColumnImage* m_pColumnImage = nullptr;
    CTreeListColumnMarker* m_pMarker = nullptr;
};
