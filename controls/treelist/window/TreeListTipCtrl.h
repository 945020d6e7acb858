// CTreeListTipCtrl: the tooltip of a tree list. It shows a cell's text in
// full when the cell is too narrow for it (or an item's own tooltip text),
// and fades in and out where the system offers layered windows; without
// them it shows and hides at once.
#pragma once

#include "framework/win/AfxWin.h"

class CTreeListCtrl;

class CTreeListTipCtrl : public CWnd
{
public:
    CTreeListTipCtrl();
    ~CTreeListTipCtrl() override;

    BOOL Create(CTreeListCtrl* pOwner);
    // A copy of the font, or of the owner's font when null.
    void SetFont(CFont* pFont);
    // rcCell in the owner's client coordinates. False (and hidden) when the
    // text fits the cell.
    BOOL Show(CRect rcCell, LPCTSTR lpszText, UINT nFormat, BOOL bKeepOnScreen);
    void Hide();

    BOOL IsLayered() const { return m_bLayered; }
    int GetAlpha() const { return m_nAlpha; }
    const CRect& GetCellRect() const { return m_rcCell; }
    const CRect& GetTipRect() const { return m_rcWindow; }
    const CString& GetText() const { return m_strText; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnNcPaint();
    DECLARE_MESSAGE_MAP()

private:
    void ApplyAlpha();

    CTreeListCtrl* m_pOwner = nullptr;
    int m_nFadeStep = 10;
    int m_nFadeInTime = 500;
    int m_nFadeOutTime = 200;
    BOOL m_bLayered = FALSE;
    int m_nAlpha = 0;
    CRect m_rcCell;
    CRect m_rcWindow;
    CString m_strText;
    CFont m_font;
    UINT m_nFormat = 0;
};
