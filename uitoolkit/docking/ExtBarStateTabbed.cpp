#include "uitoolkit/docking/ExtBarStateTabbed.h"

#include "uitoolkit/docking/ExtDynTabControlBar.h"

#include <climits>

namespace kxbarstate
{

bool CollectTabbedPages(CExtControlBar* pBar, CArray<CExtControlBar*, CExtControlBar*>& arrPages, int& nSelected)
{
    arrPages.RemoveAll();
    nSelected = -1;
    CExtDynTabControlBar* pContainer = pBar != nullptr ? pBar->GetTabbedContainer() : nullptr;
    if (pContainer == nullptr || pContainer != pBar || pContainer->GetTabDockBar() == nullptr)
        return false;
    pContainer->GetTabDockBar()->CollectBars(arrPages);
    const CExtControlBar* pSelected = pContainer->GetSelectedPage();
    if (pSelected == nullptr || pContainer->GetSafeHwnd() == nullptr || !pContainer->IsWindowVisible())
        return true;
    for (INT_PTR i = 0; i < arrPages.GetSize(); ++i)
        if (arrPages[i] == pSelected)
            nSelected = static_cast<int>(i);
    return true;
}

bool IsTabbedPageDockBar(CControlBar* pDockBar)
{
    return pDockBar != nullptr && pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockDynTabBar));
}

CExtControlBar* NewTabbedContainer()
{
    return new CExtDynTabControlBar;
}

bool AppendTabbedPage(CExtControlBar* pContainer, CExtControlBar* pPage)
{
    CExtDynTabControlBar* pTabbed = pContainer != nullptr ? pContainer->GetTabbedContainer() : nullptr;
    if (pTabbed == nullptr || pPage == nullptr || pTabbed->GetTabDockBar() == nullptr)
        return false;
    pTabbed->InsertBar(pPage, INT_MAX, false);
    return true;
}

void SelectTabbedPage(CExtControlBar* pContainer, int nStoredIndex)
{
    CExtDynTabControlBar* pTabbed = pContainer != nullptr ? pContainer->GetTabbedContainer() : nullptr;
    if (pTabbed == nullptr || nStoredIndex < 0 || pTabbed->GetTabDockBar() == nullptr)
        return;
    CArray<CExtControlBar*, CExtControlBar*> arrPages;
    pTabbed->GetTabDockBar()->CollectBars(arrPages);
    // the stored index counts the pages visible when the layout was stored
    int nVisible = -1;
    CExtControlBar* pTarget = nullptr;
    for (INT_PTR i = 0; i < arrPages.GetSize() && pTarget == nullptr; ++i)
        if (arrPages[i]->GetSafeHwnd() != nullptr && (arrPages[i]->GetStyle() & WS_VISIBLE) != 0 &&
            ++nVisible == nStoredIndex)
            pTarget = arrPages[i];
    if (pTarget == nullptr && nStoredIndex < arrPages.GetSize())
        pTarget = arrPages[nStoredIndex];
    const int nTab = pTarget != nullptr ? pTabbed->m_wndTabs.FindBarItem(pTarget) : -1;
    if (nTab >= 0)
        pTabbed->m_wndTabs.SelectItem(nTab, true, true);
}

} // namespace kxbarstate
