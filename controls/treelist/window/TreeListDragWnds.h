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

// Shown or hidden topmost, without moving, sizing or activating.
void ShowDragWindow(CWnd* pWnd, bool bShow);

class CTreeListDropArrow : public CWnd
{
public:
    CTreeListDropArrow();
    ~CTreeListDropArrow() override;
    BOOL Create(CTreeListCtrl* pOwner);
    void ShowAt(int x, int y);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    CTreeListCtrl* m_pOwner = nullptr;
    bool m_bLayered;
};

class CTreeListDragImage : public CWnd
{
public:
    CTreeListDragImage();
    ~CTreeListDragImage() override;
    // rcScreen: the 320-pixel square around the mouse.
    BOOL Create(const CRect& rcScreen, CTreeListCtrl* pOwner);
    void Show();
    bool IsLayered() const { return m_bLayered; }

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    void Render();

    CTreeListCtrl* m_pOwner = nullptr;
    bool m_bLayered;
    CDC m_dcMem;
    HBITMAP m_hDib = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    uint32_t* m_pBits = nullptr;
};

class CTreeListColumnMarker : public CWnd
{
public:
    CTreeListColumnMarker();
    ~CTreeListColumnMarker() override;
    BOOL Create(CTreeListHeaderCtrl* pOwner);
    void ShowAt(int x, int y);

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    CTreeListHeaderCtrl* m_pOwner = nullptr;
    bool m_bLayered;
};

class CTreeListColumnImage : public CWnd
{
public:
    CTreeListColumnImage();
    ~CTreeListColumnImage() override;
    BOOL Create(const CRect& rcScreen, CTreeListHeaderCtrl* pOwner, int nColumn);
    void Show();

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    CTreeListHeaderCtrl* m_pOwner = nullptr;
    int m_nColumn = -1;
    bool m_bLayered;
    COLORREF m_crFace;
    COLORREF m_crHighlight;
    COLORREF m_crShadow;
    COLORREF m_crText;
};
