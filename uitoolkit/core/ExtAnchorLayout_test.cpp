// Anchored rectangles over a table of client sizes, the rounding that keeps
// an unchanged size still, and the stored placement text with what it
// refuses.
#include "uitoolkit/core/ExtAnchorLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

struct Anchored
{
    CRect rc;
    CSize szLT;
    CSize szRB;
};

// Four controls in a 300 x 200 client area: one held at the top left, one
// at the bottom right, one stretched between both corners, and two side by
// side sharing the extra width half and half.
const Anchored kControls[] = {
    {CRect(10, 10, 90, 30), g_szAnchorTopLeft, g_szAnchorNone},
    {CRect(200, 160, 290, 190), g_szAnchorBottomRight, g_szAnchorNone},
    {CRect(10, 40, 290, 110), g_szAnchorTopLeft, g_szAnchorBottomRight},
    {CRect(10, 120, 145, 140), CSize(0, 0), CSize(50, 0)},
    {CRect(155, 120, 290, 140), CSize(50, 0), CSize(100, 0)},
};

struct SizeCase
{
    int cx, cy;
    CRect expected[5];
};

const SizeCase kSizes[] = {
    {300, 200, {{10, 10, 90, 30}, {200, 160, 290, 190}, {10, 40, 290, 110}, {10, 120, 145, 140}, {155, 120, 290, 140}}},
    {301, 201, {{10, 10, 90, 30}, {201, 161, 291, 191}, {10, 40, 291, 111}, {10, 120, 146, 140}, {156, 120, 291, 140}}},
    {400, 260, {{10, 10, 90, 30}, {300, 220, 390, 250}, {10, 40, 390, 170}, {10, 120, 195, 140}, {205, 120, 390, 140}}},
    {333, 250, {{10, 10, 90, 30}, {233, 210, 323, 240}, {10, 40, 323, 160}, {10, 120, 162, 140}, {172, 120, 323, 140}}},
    {500, 300, {{10, 10, 90, 30}, {400, 260, 490, 290}, {10, 40, 490, 210}, {10, 120, 245, 140}, {255, 120, 490, 140}}},
};

TEST(ExtAnchorLayout, ControlsFollowTheirAnchorsOverSizes)
{
    std::vector<ExtAnchorRecord> records;
    for (const Anchored& a : kControls)
        records.push_back(ExtMakeAnchorRecord(300, 200, a.rc, a.szLT, a.szRB));
    for (const SizeCase& s : kSizes)
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
