// Where tabbed containers join stored bar layouts. A tabbed container is
// captured, created, filled and given its selected page only through these
// functions, so the stored format stays apart from the container's own calls.
#pragma once

#include "framework/core/CArray.h"

class CControlBar;
class CExtControlBar;

namespace kxbarstate
{

// Whether pBar is a tabbed container; if so its pages in tab order and the
// index of the selected one (-1 when the container is hidden or none is).
bool CollectTabbedPages(CExtControlBar* pBar, CArray<CExtControlBar*, CExtControlBar*>& arrPages, int& nSelected);
// Whether pDockBar is the page dock bar inside a tabbed container.
bool IsTabbedPageDockBar(CControlBar* pDockBar);
// A new tabbed container object whose window is not made yet, for a frame
// that supplies none of its own; null when there is no such class.
CExtControlBar* NewTabbedContainer();
// Appends pPage to the tabbed container as its last page, without a layout.
bool AppendTabbedPage(CExtControlBar* pContainer, CExtControlBar* pPage);
// Selects the tab of the page stored as selected: counting only pages that
// are visible now, or that index itself when fewer are visible.
void SelectTabbedPage(CExtControlBar* pContainer, int nStoredIndex);

} // namespace kxbarstate
