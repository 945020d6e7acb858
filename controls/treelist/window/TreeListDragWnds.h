// The popups shown while dragging in a tree list: for items, a drag image
// that follows the mouse (a faded snapshot of the rows around the grab point
// where layered windows blend, else a one-row strip) and a blue arrow at the
// drop place; for header columns, an image of the column and a red marker
// above and below the header at the boundary where it would land. They live
// only during a drag.
#pragma once

#include "framework/win/AfxWin.h"

#include <cstdint>

class CTreeListCtrl;
class CTreeListHeaderCtrl;

// What the four popups share: their window class, registered on first
// construction, the layered flag, and showing without activation.
class CTreeListDragWnd : public CWnd
{
public:
    ~CTreeListDragWnd() override;
    bool IsLayered() const { return m_bLayered; }
    // Topmost at a screen point, shown (opacity 160 when layered).
    void ShowAt(int x, int y);
    // Topmost where it is, shown or hidden.
    void Show();
    void Hide();

protected:
    explicit CTreeListDragWnd(const char* pszClass);
    // A disabled popup of the owner over a screen rectangle.
    BOOL CreatePopup(DWORD dwExStyle, const CRect& rc, CWnd* pOwner);
    // The region of a polygon moved down by dy, alternate fill.
    static HRGN PolygonRegion(const POINT* pPoints, int nCount, int dy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

    bool m_bLayered;

private:
    const char* m_pszClass;
};

class CTreeListDropArrow : public CTreeListDragWnd
{
public:
    CTreeListDropArrow();
    BOOL Create(CTreeListCtrl* pOwner);
    // The arrow's tip a little left of (x, y).
    void ShowAt(int x, int y);

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};

class CTreeListDragImage : public CTreeListDragWnd
{
public:
    CTreeListDragImage();
    ~CTreeListDragImage() override;
    // rcScreen: the 320-pixel square around the mouse.
    BOOL Create(const CRect& rcScreen, CTreeListCtrl* pOwner);
    void Show();

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void Render();

    CTreeListCtrl* m_pOwner = nullptr;
    CDC m_dcMem;
    HBITMAP m_hDib = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    uint32_t* m_pBits = nullptr;
};

class CTreeListColumnMarker : public CTreeListDragWnd
{
public:
    CTreeListColumnMarker();
    BOOL Create(CTreeListHeaderCtrl* pOwner);

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};

class CTreeListColumnImage : public CTreeListDragWnd
{
public:
    CTreeListColumnImage();
    BOOL Create(const CRect& rcScreen, CTreeListHeaderCtrl* pOwner, int nColumn);

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    CTreeListHeaderCtrl* m_pOwner = nullptr;
    int m_nColumn = -1;
    COLORREF m_crFace;
    COLORREF m_crHighlight;
    COLORREF m_crShadow;
};
