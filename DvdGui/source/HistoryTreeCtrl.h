// The history pane: the revisions of the active project window, oldest
// first, and under the current one the places the user visited in it.
// Choosing a revision makes it the current one (undo and redo in one step);
// choosing a place returns to it. Revisions and places beyond the current
// ones are grey.
#pragma once

#include "controls/treelist/window/TreeListCtrl.h"

class CDvdDoc;
class CDvdView;

// The text colour of revisions and places beyond the current ones.
const COLORREF HISTORY_LATER_COLOR = 0xA0A0A0;

class CHistoryTreeCtrl : public CTreeListCtrl
{
    DECLARE_DYNCREATE(CHistoryTreeCtrl)
public:
    CHistoryTreeCtrl() = default;

    // The list's style, the parent's font (the stock GUI font when it has
    // none) and the one column "States".
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // Lists the active project window's history again.
    void Refill();
    // The view is going: the pane lists nothing until the next Refill.
    void ForgetView(const CDvdView* pView);
    // After the selection moved: goes to the chosen revision or place.
    void SelectItem(CTreeListItem* pItem, int nColumn, bool bCtrl, bool bShift) override;

    CDvdView* GetView() const { return m_pView; }
    CDvdDoc* GetDoc() const { return m_pDoc; }

private:
    CDvdView* m_pView = nullptr;
    CDvdDoc* m_pDoc = nullptr;
};
