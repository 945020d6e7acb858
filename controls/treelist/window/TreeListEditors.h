// The in-place editors of a tree list: a read-only field, an edit box and a
// drop-down list, children of the control laid over a cell while its text
// is edited. Each tells the control when it loses the focus, so that the
// edit is cancelled when the focus leaves the control and its editors.
#pragma once

#include "framework/win/AfxWin.h"

class CTreeListCtrl;

// The control an editor belongs to (its parent), and the report of a lost
// focus to it.
CTreeListCtrl* TreeListEditorOwner(CWnd* pEditor);
void TreeListEditorLostFocus(CTreeListCtrl* pOwner, CWnd* pNewWnd);

template <class TBase>
class CTreeListEditor : public TBase
{
protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct)
    {
        m_pOwner = TreeListEditorOwner(this);
        return TBase::OnCreate(lpCreateStruct);
    }
    afx_msg void OnKillFocus(CWnd* pNewWnd)
    {
        TBase::OnKillFocus(pNewWnd);
        if (m_pOwner)
            TreeListEditorLostFocus(m_pOwner, pNewWnd);
    }
    DECLARE_MESSAGE_MAP()

    CTreeListCtrl* m_pOwner = nullptr;
};
BEGIN_TEMPLATE_MESSAGE_MAP(CTreeListEditor, TBase, TBase)
ON_WM_CREATE()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

// Kind 0: shows the text on the button face; the arrow keys do nothing.
class CTreeListStatic : public CTreeListEditor<CStatic>
{
public:
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

// Kind 1.
using CTreeListEdit = CTreeListEditor<CEdit>;
// Kind 2: the column's choices; its window text is the chosen entry.
using CTreeListCombo = CTreeListEditor<CComboBox>;
