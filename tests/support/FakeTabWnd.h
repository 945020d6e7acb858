#pragma once
// A tab window with the style word, item count and selection a strip would
// have, for painting tests that need no tab items of their own.

#include "uitoolkit/bars/ExtTabWnd.h"

namespace kxtest
{

class FakeTabWnd : public CExtTabWnd
{
public:
    FakeTabWnd(DWORD dwStyle, int nItems, int nSelected)
    {
        m_dwTabWndStyle = dwStyle;
        m_nItemCount = nItems;
        m_nSelIndex = nSelected;
    }
};

} // namespace kxtest
