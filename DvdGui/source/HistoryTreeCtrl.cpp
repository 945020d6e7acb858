#include "DvdGui/source/HistoryTreeCtrl.h"

#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/DvdView.h"

namespace
{
const DWORD kStyle = 0x4000C1;
const int kCurrentImage = 6;
const int kOtherImage = 4;
} // namespace

IMPLEMENT_DYNCREATE(CHistoryTreeCtrl, CTreeListCtrl)

BOOL CHistoryTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!CTreeListCtrl::Create(dwStyle, rect, pParentWnd, nID))
        return FALSE;
    SetStyle(kStyle);
    SetExtendedStyle(1);
    // the parent's font, else the stock GUI font
    SetFont(nullptr);
    InsertColumn("States", 0x504144);
    return TRUE;
}

void CHistoryTreeCtrl::Refill()
{
    DeleteAllItems();
    m_pView = nullptr;
    m_pDoc = nullptr;
    CDvdView* pView = CDvdView::GetActiveDvdView();
    if (pView == nullptr)
    {
        Invalidate();
        return;
    }
    m_pView = pView;
    m_pDoc = pView->GetDocument();
    if (m_pDoc == nullptr)
    {
        Invalidate();
        return;
    }
    CRevisionList& revisions = m_pDoc->GetRevisions();
    const int nCurrent = revisions.GetCurrentIndex();
    CTreeListItem* pSelect = nullptr;
    for (int i = 0; i < revisions.GetSize(); ++i)
    {
        const CDvdRevision* pRevision = revisions[i];
        CString text = pRevision->m_strDescription;
        if (!pRevision->m_strPath.IsEmpty())
        {
            CString path;
            path.Format(" in %s", static_cast<LPCSTR>(pRevision->m_strPath));
            text += path;
        }
        CTreeListItem* pItem = InsertItem(text, TLIS_EXPANDED, TLI_ROOT, TLI_LAST);
        const int nImage = i == nCurrent ? kCurrentImage : kOtherImage;
        pItem->SetImages(nImage, nImage, nImage, nImage);
        pItem->m_dwData = DWORD_PTR(i);
        if (i > nCurrent)
            pItem->SetTextColor(HISTORY_LATER_COLOR, -1);
        if (i != nCurrent)
            continue;
        pSelect = pItem;
        const CLocationHistory& history = pView->GetCurrentHistory();
        const int nPosition = history.GetPosition();
        for (int j = 1; j < history.GetCount(); ++j)
        {
            CTreeListItem* pPlace = InsertItem(history.GetAt(j).name, TLIS_EXPANDED, pItem, TLI_LAST);
            pPlace->SetImages(kOtherImage, kOtherImage, kOtherImage, kOtherImage);
            pPlace->m_dwData = DWORD_PTR(j);
            if (j > nPosition)
                pPlace->SetTextColor(HISTORY_LATER_COLOR, -1);
            if (j == nPosition)
                pSelect = pPlace;
        }
    }
    SelectItem(pSelect, 0, false, false);
    Invalidate();
}

void CHistoryTreeCtrl::ForgetView(const CDvdView* pView)
{
    if (pView == nullptr || pView != m_pView)
        return;
    m_pView = nullptr;
    m_pDoc = nullptr;
    if (m_hWnd != nullptr)
    {
        DeleteAllItems();
        Invalidate();
    }
}

void CHistoryTreeCtrl::SelectItem(CTreeListItem* pItem, int nColumn, bool bCtrl, bool bShift)
{
    CTreeListCtrl::SelectItem(pItem, nColumn, bCtrl, bShift);
    CTreeListItem* pSelected = (GetStyle() & TLC_MULTIPLESELECT) != 0 ? GetSelectedItem() : GetCaretItem();
    if (pSelected == nullptr || m_pView == nullptr || m_pDoc == nullptr)
        return;

    CTreeListItem* pRevisionItem = pSelected;
    int nIndex = 0;
    if (pSelected->m_pParent != nullptr && pSelected->m_pParent != GetRootItem())
    {
        pRevisionItem = pSelected->m_pParent;
        nIndex = int(pSelected->m_dwData);
        if (nIndex == m_pView->GetHistoryPosition())
            return;
    }
    else
    {
        const int nRevision = int(pSelected->m_dwData);
        if (nRevision != m_pDoc->GetRevisions().GetCurrentIndex())
        {
            // refreshes the views and, through them, this pane
            m_pDoc->SetCurrentRevision(nRevision);
            return;
        }
        if (m_pView->GetHistoryPosition() == 0)
            return;
    }

    m_pView->GoToLocation(nIndex);
    for (CTreeListItem* pChild = pRevisionItem->m_pChild; pChild != nullptr; pChild = pChild->m_pNext)
    {
        if (int(pChild->m_dwData) > nIndex)
            pChild->SetTextColor(HISTORY_LATER_COLOR, -1);
        else
            pChild->ResetTextColor(-1);
    }
    Invalidate();
}
