// Anchored rectangles over a table of client sizes, the rounding that keeps
// an unchanged size still, and the stored placement text with what it
// refuses.
#include "uitoolkit/core/ExtAnchorLayout.h"

#include "uitoolkit/testsupport/ExtAnchorTestTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

TEST(ExtAnchorLayout, ControlsFollowTheirAnchorsOverSizes)
{
    std::vector<ExtAnchorRecord> records;
    for (const ExtAnchorTestControl& a : kExtAnchorTestControls)
        records.push_back(ExtMakeAnchorRecord(kExtAnchorTestClientCx, kExtAnchorTestClientCy, a.rc, a.szLT, a.szRB));
    for (const ExtAnchorTestSize& s : kExtAnchorTestSizes)
        for (size_t i = 0; i < records.size(); ++i)
            EXPECT_EQ(ExtAnchoredRect(records[i], s.cx, s.cy), s.expected[i]) << s.cx << "x" << s.cy << " #" << i;
}

TEST(ExtAnchorLayout, AnOddSizeDoesNotMoveAControlAtFirst)
{
    // half of 301 rounds to 151: anchoring and arranging must agree on it
    for (int cx : {299, 301, 333})
    {
        const CRect rc(160, 5, 200, 25);
        const ExtAnchorRecord r = ExtMakeAnchorRecord(cx, 100, rc, CSize(50, 35), CSize(85, 35));
        EXPECT_EQ(ExtAnchoredRect(r, cx, 100), rc) << cx;
    }
}

TEST(ExtAnchorLayout, NoRightBottomAnchorKeepsTheSize)
{
    const ExtAnchorRecord r = ExtMakeAnchorRecord(300, 200, CRect(100, 50, 140, 70), CSize(35, 85), g_szAnchorNone);
    EXPECT_EQ(r.m_szPercentRB, CSize(35, 85));
    const CRect rc = ExtAnchoredRect(r, 517, 333);
    EXPECT_EQ(rc.Width(), 40);
    EXPECT_EQ(rc.Height(), 20);
}

TEST(ExtAnchorLayout, PlacementTextRoundTrips)
{
    ExtWindowPlacementText p;
    p.m_rcNormal = CRect(-120, 80, 640, 480);
    p.m_nShowCmd = 3;
    p.m_nFlags = 2;
    EXPECT_EQ(ExtFormatWindowPlacement(p), "-120,80,640,480,3,2");
    ExtWindowPlacementText q;
    ASSERT_TRUE(ExtParseWindowPlacement(ExtFormatWindowPlacement(p).c_str(), q));
    EXPECT_EQ(q.m_rcNormal, p.m_rcNormal);
    EXPECT_EQ(q.m_nShowCmd, 3u);
    EXPECT_EQ(q.m_nFlags, 2u);
}

TEST(ExtAnchorLayout, PlacementTextIsCheckedBeforeUse)
{
    struct Case
    {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"10,20,300,400,1,0", true},
        {" 10, 20,300,400,1,0", true},
        {"10,20,300,400,1,0,77 and more", true},
        {"10,20,300,400,1", false},
        {"10,x,300,400,1,0", false},
        {"10,20,300,400,1,", false},
        {"", false},
        {"99999999999,20,300,400,1,0", false},
        {"10,20,300,-2147483649,1,0", false},
        {"10,20,300,400,12,0", false},
        {"10,20,300,400,-1,0", false},
        {"10,20,300,400,1,8", false},
        {"300,20,10,400,1,0", false},
        {"10,400,300,400,1,0", false},
    };
    for (const Case& c : cases)
    {
        ExtWindowPlacementText p;
        p.m_nShowCmd = 5;
        EXPECT_EQ(ExtParseWindowPlacement(c.text, p), c.ok) << c.text;
        if (!c.ok)
            EXPECT_EQ(p.m_nShowCmd, 5u) << c.text;
    }
    ExtWindowPlacementText p;
    ASSERT_TRUE(ExtParseWindowPlacement("10,20,300,400,1,0", p));
    EXPECT_EQ(p.m_rcNormal, CRect(10, 20, 300, 400));
    EXPECT_EQ(p.m_nShowCmd, 1u);
    EXPECT_FALSE(ExtParseWindowPlacement(nullptr, p));
}

} // namespace
