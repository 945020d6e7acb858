#pragma once
// A tab window with the style word, item count and selection a strip would
// have, for painting tests that need no window of their own.

#include "uitoolkit/bars/ExtTabWnd.h"

namespace kxtest
{

class FakeTabWnd : public CExtTabWnd
{
public:
    FakeTabWnd(DWORD dwStyle, int nItems, int nSelected)
    {
        ModifyTabWndStyle(~DWORD(0), dwStyle);
        for (int i = 0; i < nItems; ++i)
            InsertItem("");
        SelectItem(nSelected, false);
    }
};

} // namespace kxtest
