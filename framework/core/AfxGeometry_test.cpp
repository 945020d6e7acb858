#include "framework/core/AfxGeometry.h"

#include <gtest/gtest.h>

namespace
{

void ExpectRect(const RECT& rc, int l, int t, int r, int b)
{
    EXPECT_EQ(l, rc.left);
    EXPECT_EQ(t, rc.top);
    EXPECT_EQ(r, rc.right);
    EXPECT_EQ(b, rc.bottom);
}

struct RectOpCase
{
    const char* name;
    CRect a;
    CRect b;
    BOOL (CRect::*pfnOp)(LPCRECT, LPCRECT);
    BOOL expectedResult;
    CRect expected;
};

class RectOps : public ::testing::TestWithParam<RectOpCase>
{
};

TEST_P(RectOps, GiveExpectedRectangle)
{
    const RectOpCase& c = GetParam();
    CRect rc(99, 99, 100, 100);
    EXPECT_EQ(c.expectedResult, (rc.*c.pfnOp)(&c.a, &c.b));
    EXPECT_EQ(c.expected, rc);
}

const RectOpCase kRectOps[] = {
    {"IntersectOverlap", CRect(0, 0, 10, 10), CRect(5, 5, 20, 20), &CRect::IntersectRect, TRUE, CRect(5, 5, 10, 10)},
    {"IntersectInside", CRect(0, 0, 10, 10), CRect(2, 3, 4, 5), &CRect::IntersectRect, TRUE, CRect(2, 3, 4, 5)},
    {"IntersectTouching", CRect(0, 0, 10, 10), CRect(10, 0, 20, 10), &CRect::IntersectRect, FALSE, CRect()},
    {"IntersectApart", CRect(0, 0, 1, 1), CRect(5, 5, 6, 6), &CRect::IntersectRect, FALSE, CRect()},
    {"UnionApart", CRect(0, 0, 1, 1), CRect(5, 5, 6, 6), &CRect::UnionRect, TRUE, CRect(0, 0, 6, 6)},
    {"UnionIgnoresEmpty", CRect(3, 3, 3, 9), CRect(5, 5, 6, 6), &CRect::UnionRect, TRUE, CRect(5, 5, 6, 6)},
    {"UnionOfEmpties", CRect(3, 3, 3, 9), CRect(1, 1, 0, 0), &CRect::UnionRect, FALSE, CRect()},
};

INSTANTIATE_TEST_SUITE_P(Table, RectOps, ::testing::ValuesIn(kRectOps),
                         [](const ::testing::TestParamInfo<RectOpCase>& info) { return std::string(info.param.name); });

TEST(CRect, SizesCornersAndHits)
{
    CRect rc(10, 20, 50, 80);
    EXPECT_EQ(40, rc.Width());
    EXPECT_EQ(60, rc.Height());
    EXPECT_EQ(CSize(40, 60), rc.Size());
    EXPECT_EQ(CPoint(10, 20), rc.TopLeft());
    EXPECT_EQ(CPoint(50, 80), rc.BottomRight());
    EXPECT_EQ(CPoint(30, 50), rc.CenterPoint());
    EXPECT_TRUE(rc.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(rc.PtInRect(CPoint(50, 50))); // right edge is outside
    EXPECT_FALSE(rc.PtInRect(CPoint(20, 80))); // bottom edge is outside
    EXPECT_FALSE(rc.IsRectEmpty());
    EXPECT_TRUE(CRect(5, 5, 5, 10).IsRectEmpty());
    EXPECT_TRUE(CRect(5, 5, 4, 10).IsRectEmpty());
    EXPECT_TRUE(CRect().IsRectNull());

    rc.TopLeft() = CPoint(0, 0); // the corners write through to the rectangle
    ExpectRect(rc, 0, 0, 50, 80);
}

TEST(CRect, MovesAndResizes)
{
    CRect rc(10, 10, 20, 20);
    rc.InflateRect(2, 3);
    ExpectRect(rc, 8, 7, 22, 23);
    rc.DeflateRect(2, 3);
    ExpectRect(rc, 10, 10, 20, 20);
    rc.InflateRect(1, 2, 3, 4);
    ExpectRect(rc, 9, 8, 23, 24);
    rc.DeflateRect(CRect(1, 2, 3, 4));
    ExpectRect(rc, 10, 10, 20, 20);
    rc.OffsetRect(-5, 7);
    ExpectRect(rc, 5, 17, 15, 27);
    rc.MoveToXY(0, 0);
    ExpectRect(rc, 0, 0, 10, 10);

    CRect flipped(30, 40, 10, 20);
    flipped.NormalizeRect();
    ExpectRect(flipped, 10, 20, 30, 40);
}

TEST(CRect, Operators)
{
    CRect rc(0, 0, 10, 10);
    ExpectRect(rc + CPoint(1, 2), 1, 2, 11, 12);
    ExpectRect(rc - CSize(1, 2), -1, -2, 9, 8);
    ExpectRect(rc & CRect(5, 5, 15, 15), 5, 5, 10, 10);
    ExpectRect(rc | CRect(5, 5, 15, 15), 0, 0, 15, 15);
    CRect r2 = rc;
    r2 += CRect(1, 1, 1, 1);
    ExpectRect(r2, -1, -1, 11, 11);
    EXPECT_TRUE(rc == CRect(0, 0, 10, 10));
    EXPECT_TRUE(rc != r2);

    RECT plain = {1, 2, 3, 4};
    CRect fromPlain(plain);
    LPRECT p = fromPlain; // usable wherever the system takes a RECT*
    EXPECT_EQ(2, p->top);
}

TEST(CPointAndCSize, Arithmetic)
{
    CPoint pt(3, 4);
    EXPECT_EQ(CPoint(5, 7), pt + CSize(2, 3));
    EXPECT_EQ(CPoint(1, 1), pt - CSize(2, 3));
    EXPECT_EQ(CSize(2, 2), pt - CPoint(1, 2));
    EXPECT_EQ(CPoint(-3, -4), -pt);
    pt += CPoint(1, 1);
    EXPECT_EQ(CPoint(4, 5), pt);
    pt.Offset(-4, -5);
    EXPECT_EQ(CPoint(0, 0), pt);

    CSize size(10, 20);
    EXPECT_EQ(CSize(11, 22), size + CSize(1, 2));
    EXPECT_EQ(CSize(-10, -20), -size);
    EXPECT_EQ(CPoint(11, 21), size + CPoint(1, 1));
    EXPECT_TRUE(CSize() == CSize(0, 0));
}

} // namespace
