// The popup-menu family's registered messages carry their qualified names.
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

#include <gtest/gtest.h>

#include <set>

namespace
{

TEST(ExtPopupMenuMessages, RegisteredUnderTheirQualifiedNames)
{
    const struct
    {
        UINT Id;
        const char* Name;
    } messages[] = {
        {CExtPopupMenuWnd::g_nMsgPrepareMenu, "CExtPopupMenuWnd::g_nMsgPrepareMenu"},
        {CExtPopupMenuWnd::g_nMsgPrepareOneMenuLevel, "CExtPopupMenuWnd::g_nMsgPrepareOneMenuLevel"},
        {CExtPopupMenuWnd::g_nMsgPrepareDesktopBk, "CExtPopupMenuWnd::g_nMsgPrepareDesktopBk"},
        {CExtPopupMenuWnd::g_nMsgPopupNext, "CExtPopupMenuWnd::g_nMsgPopupNext"},
        {CExtPopupMenuWnd::g_nMsgPopupPrev, "CExtPopupMenuWnd::g_nMsgPopupPrev"},
        {CExtPopupMenuWnd::g_nMsgNotifyMenuExpanded, "CExtPopupMenuWnd::g_nMsgNotifyMenuExpanded"},
        {CExtPopupMenuWnd::g_nMsgNotifyMenuClosed, "CExtPopupMenuWnd::g_nMsgNotifyMenuClosed"},
        {CExtPopupMenuWnd::g_nMsgPopupDrawItem, "CExtPopupMenuWnd::g_nMsgPopupDrawItem"},
        {CExtPopupMenuWnd::g_nMsgPopupDrawLeftArea, "CExtPopupMenuWnd::g_nMsgPopupDrawLeftArea"},
        {CExtPopupMenuWnd::g_nMsgPopupDrawBackground, "CExtPopupMenuWnd::g_nMsgPopupDrawBackground"},
        {CExtPopupMenuWnd::g_nMsgCreateInplaceEdit, "CExtPopupMenuWnd::g_nMsgCreateInplaceEdit"},
    };
    std::set<UINT> ids;
    for (const auto& m : messages)
    {
        // registered ids lie in 0xC000..0xFFFF
        EXPECT_GE(m.Id, 0xC000u) << m.Name;
        EXPECT_EQ(m.Id, ::RegisterWindowMessageA(m.Name)) << m.Name;
        ids.insert(m.Id);
    }
    EXPECT_EQ(ids.size(), std::size(messages));
}

} // namespace
