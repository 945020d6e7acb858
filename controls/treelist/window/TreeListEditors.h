// The in-place editors of a tree list: a read-only field, an edit box and a
// drop-down list, children of the control laid over a cell while its text
// is edited. Each tells the control when it loses the focus, so that the
// edit is cancelled when the focus leaves the control and its editors.
#pragma once

#include "framework/win/AfxWin.h"

class CTreeListCtrl;

// Kind 0: shows the text on the button face; the arrow keys do nothing.
class CTreeListStatic : public CStatic
{
public:
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    CTreeListCtrl* m_pOwner = nullptr;
};

// Kind 1.
class CTreeListEdit : public CEdit
{
protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

private:
    CTreeListCtrl* m_pOwner = nullptr;
};

// Kind 2: the column's choices; its window text is the chosen entry.
class CTreeListCombo : public CComboBox
{
protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()

private:
    CTreeListCtrl* m_pOwner = nullptr;
};
