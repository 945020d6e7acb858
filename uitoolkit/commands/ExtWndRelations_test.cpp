// Which windows share a visible ancestor: a child and its frame, two
// top-level windows, and the required states.
#include "uitoolkit/commands/ExtWndRelations.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

namespace
{

TEST(ExtWndRelations, ChildAndItsFrameShareTheFrame)
{
    const HWND hFrame = kxgui::CreateTestWindow(200, 100, "frame");
    const HWND hOther = kxgui::CreateTestWindow(200, 100, "other");
    const HWND hChild =
        ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, hFrame, nullptr, nullptr, nullptr);
    const HWND hGrandChild =
        ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hChild, nullptr, nullptr, nullptr);
    EXPECT_TRUE(HaveCommonVisibleAncestor(hGrandChild, hFrame, true, true));
    EXPECT_TRUE(HaveCommonVisibleAncestor(hChild, hGrandChild, false, false));
    EXPECT_FALSE(HaveCommonVisibleAncestor(hChild, hOther, false, false));
    EXPECT_FALSE(HaveCommonVisibleAncestor(hChild, nullptr, false, false));

    ::EnableWindow(hChild, FALSE);
    EXPECT_FALSE(HaveCommonVisibleAncestor(hChild, hFrame, true, false));
    EXPECT_TRUE(HaveCommonVisibleAncestor(hChild, hFrame, false, false));
    ::ShowWindow(hChild, SW_HIDE);
    EXPECT_FALSE(HaveCommonVisibleAncestor(hGrandChild, hFrame, false, true));
    EXPECT_TRUE(HaveCommonVisibleAncestor(hGrandChild, hFrame, false, false)); // the frame is still visible
    ::DestroyWindow(hOther);
    ::DestroyWindow(hFrame);
}

} // namespace
