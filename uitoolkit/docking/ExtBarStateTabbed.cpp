#include "uitoolkit/docking/ExtBarStateTabbed.h"

// Tabbed docking is not in the toolkit yet: there is no tabbed container to
// find, make or fill. Each function below becomes a call into the tabbed
// container class once it exists.

namespace kxbarstate
{

bool CollectTabbedPages(CExtControlBar*, CArray<CExtControlBar*, CExtControlBar*>& arrPages, int& nSelected)
{
    arrPages.RemoveAll();
    nSelected = -1;
    return false;
}

bool IsTabbedPageDockBar(CControlBar*)
{
    return false;
}

CExtControlBar* NewTabbedContainer()
{
    return nullptr;
}

bool AppendTabbedPage(CExtControlBar*, CExtControlBar*)
{
    return false;
}

void SelectTabbedPage(CExtControlBar*, int)
{
}

} // namespace kxbarstate
