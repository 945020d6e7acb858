// The colour picker's geometry: honeycomb, mixers and difference view, the
// cube projection and its handles, the panel layout and the axis mappings,
// down to controls too small to hold anything.
#include "uitoolkit/core/ExtColorPickerGeometry.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <gtest/gtest.h>

namespace
{

POINT HexagonCentre(const CExtColorPickerCell& cell)
{
    return POINT{cell.m_pts[1].x, (cell.m_pts[1].y + cell.m_pts[4].y) / 2};
}

TEST(ExtColorPickerCells, HoneycombAt200)
{
    EXPECT_EQ(CExtColorPickerCells::HoneycombCellSize(200, 200), 13);
    CExtColorPickerCellArray cells;
    CExtColorPickerCells::LayoutHoneycomb(cells, 200, 200, false);
    ASSERT_EQ(cells.GetSize(), 144);
    EXPECT_EQ(cells[0].m_clr, RGB(255, 255, 255));
    EXPECT_EQ(HexagonCentre(cells[0]).x, 100);
    EXPECT_EQ(cells[127].m_clr, RGB(255, 255, 255));
    EXPECT_EQ(cells[128].m_clr, RGB(240, 240, 240));
    EXPECT_EQ(cells[142].m_clr, RGB(30, 30, 30));
    EXPECT_EQ(cells[143].m_clr, RGB(0, 0, 0));
    // the grey row's end cells are twice the size of the others
    EXPECT_EQ(cells[127].m_pts[2].x - cells[127].m_pts[0].x, 26);
    EXPECT_EQ(cells[128].m_pts[2].x - cells[128].m_pts[0].x, 12);
    // ring 1 starts right of the centre at hue 0, ring 6 is the darkest
    EXPECT_EQ(cells[1].m_clr, CExtColorMath::HlsToRgbDegrees(0, 6 * 0.14285714285714285 + 0.1, 1.0));
    EXPECT_EQ(cells[126].m_clr, CExtColorMath::HlsToRgbDegrees(CExtColorMath::AngleOf(HexagonCentre(cells[126]).x - 100,
                                                                                      HexagonCentre(cells[126]).y - 82),
                                                               0.14285714285714285 + 0.1, 1.0));
    for (int i = 0; i < 144; ++i)
    {
        EXPECT_TRUE(cells[i].m_bHexagon);
        const POINT c = HexagonCentre(cells[i]);
        EXPECT_EQ(CExtColorPickerCells::FindCell(cells, c.x, c.y), i) << i;
    }
    EXPECT_EQ(CExtColorPickerCells::FindCell(cells, 0, 0), -1); // beside every cell

    int hl[3];
    ASSERT_EQ(CExtColorPickerCells::HoneycombHighlights(cells, RGB(255, 255, 255), hl), 2);
    EXPECT_EQ(hl[0], 0);
    EXPECT_EQ(hl[1], 127);
    EXPECT_EQ(CExtColorPickerCells::HoneycombHighlights(cells, RGB(1, 2, 3), hl), 0);
}

TEST(ExtColorPickerCells, HoneycombKeepsColorsOnResize)
{
    CExtColorPickerCellArray cells;
    CExtColorPickerCells::LayoutHoneycomb(cells, 200, 200, false);
    cells[5].m_clr = RGB(1, 2, 3);
    const POINT before = cells[5].m_pts[0];
    CExtColorPickerCells::LayoutHoneycomb(cells, 300, 260, true);
    EXPECT_EQ(cells[5].m_clr, RGB(1, 2, 3));
    EXPECT_NE(cells[5].m_pts[0].x, before.x);
    CExtColorPickerCells::LayoutHoneycomb(cells, 300, 260, false);
    EXPECT_NE(cells[5].m_clr, RGB(1, 2, 3));
}

TEST(ExtColorPickerCells, HexagonOutlinePointsUpAndDown)
{
    POINT pts[6];
    CExtColorPickerCells::HexagonOutline(50.0f, 40.0f, 13, pts);
    // h = 6, a = 13 * 0.57735026 / 2 = 3.75
    const POINT expected[6] = {{44, 36}, {50, 34}, {56, 36}, {56, 45}, {50, 47}, {44, 45}};
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(pts[i].x, expected[i].x) << i;
        EXPECT_EQ(pts[i].y, expected[i].y) << i;
    }
}

TEST(ExtColorPickerCells, MixersAt200)
{
    CExtColorPickerCellArray cells;
    CExtColorPickerCells::LayoutMixer(cells, CExtColorPickerCells::MIXER_RGB, 200, 200, false);
    ASSERT_EQ(cells.GetSize(), 768);
    // columns 46 wide, 20 apart, centred; rows of 2 from 10 down
    EXPECT_EQ(cells[0].m_rect.left, 11);
    EXPECT_EQ(cells[0].m_rect.right, 57);
    EXPECT_EQ(cells[256].m_rect.left, 77);
    EXPECT_EQ(cells[512].m_rect.left, 143);
    EXPECT_EQ(cells[255].m_rect.top, 189);
    EXPECT_EQ(cells[255].m_rect.bottom, 191);
    EXPECT_EQ(cells[300].m_clr, RGB(0, 44, 0));
    EXPECT_EQ(CExtColorPickerCells::FindCell(cells, 80, 10), 256);
    EXPECT_EQ(CExtColorPickerCells::FindCell(cells, 65, 50), -1); // between columns

    int hl[3];
    ASSERT_EQ(CExtColorPickerCells::MixerHighlights(CExtColorPickerCells::MIXER_RGB, RGB(50, 50, 50), hl), 3);
    EXPECT_EQ(hl[0], 50);
    EXPECT_EQ(hl[1], 306);
    EXPECT_EQ(hl[2], 562);
    EXPECT_EQ(CExtColorPickerCells::MixerHighlights(CExtColorPickerCells::MIXER_GRAY, RGB(50, 51, 50), hl), 0);
    ASSERT_EQ(CExtColorPickerCells::MixerHighlights(CExtColorPickerCells::MIXER_GRAY, RGB(9, 9, 9), hl), 1);
    EXPECT_EQ(hl[0], 9);
    ASSERT_EQ(CExtColorPickerCells::MixerHighlights(CExtColorPickerCells::MIXER_CMY, RGB(255, 0, 250), hl), 3);
    EXPECT_EQ(hl[1], 256 + 255);
    EXPECT_EQ(hl[2], 512 + 5);

    EXPECT_EQ(CExtColorPickerCells::MixerPick(CExtColorPickerCells::MIXER_RGB, 300, RGB(1, 2, 3)), RGB(1, 44, 3));
    EXPECT_EQ(CExtColorPickerCells::MixerPick(CExtColorPickerCells::MIXER_CMY, 10, RGB(255, 255, 255)),
              RGB(245, 255, 255));
    EXPECT_EQ(CExtColorPickerCells::MixerPick(CExtColorPickerCells::MIXER_GRAY, 77, RGB(1, 2, 3)), RGB(77, 77, 77));

    CExtColorPickerCells::LayoutMixer(cells, CExtColorPickerCells::MIXER_CMY, 200, 200, false);
    EXPECT_EQ(cells[512 + 255].m_clr, RGB(255, 255, 0)); // full yellow
    CExtColorPickerCells::LayoutMixer(cells, CExtColorPickerCells::MIXER_GRAY, 200, 200, false);
    ASSERT_EQ(cells.GetSize(), 256);
    EXPECT_EQ(cells[128].m_clr, RGB(128, 128, 128));
}

TEST(ExtColorPickerCells, DiffHalves)
{
    CExtColorPickerCellArray cells;
    CExtColorPickerCells::LayoutDiff(cells, 60, 41, false, RGB(1, 1, 1), RGB(2, 2, 2));
    ASSERT_EQ(cells.GetSize(), 2);
    EXPECT_EQ(CExtColorPickerCells::FindCell(cells, 59, 19), 0);
    EXPECT_EQ(CExtColorPickerCells::FindCell(cells, 0, 20), 1);
    EXPECT_EQ(CExtColorPickerCells::FindCell(cells, 0, 40), -1);
    EXPECT_EQ(cells[1].m_clr, RGB(2, 2, 2));
}

TEST(ExtColorCubeGeometry, SquaredAndTrimmed)
{
    struct Case
    {
        int cx, cy, w, h;
    } cases[] = {{150, 150, 140, 140}, {151, 151, 138, 138}, {250, 150, 140, 140}, {150, 300, 140, 140}};
    for (const auto& c : cases)
    {
        CExtColorCubeGeometry g;
        g.Build(c.cx, c.cy);
        EXPECT_EQ(g.Width(), c.w) << c.cx << "x" << c.cy;
        EXPECT_EQ(g.Height(), c.h) << c.cx << "x" << c.cy;
    }
}

TEST(ExtColorCubeGeometry, HandlesAndTracking)
{
    CExtColorCubeGeometry g;
    g.Build(150, 150);
    EXPECT_EQ(g.m_ptA.x, 75);
    EXPECT_EQ(g.m_ptA.y, 5);
    EXPECT_EQ(g.m_ptB.y, 110);
    EXPECT_EQ(g.m_ptO.y, 75);
    g.PlaceHandles(0, 0, 0);
    for (const POINT& p :
         {g.m_ptFirst, g.m_ptSecond, g.m_ptThird, g.m_ptAll, g.m_ptFirstSecond, g.m_ptFirstThird, g.m_ptSecondThird})
    {
        EXPECT_EQ(p.x, g.m_ptO.x);
        EXPECT_EQ(p.y, g.m_ptO.y);
    }
    g.PlaceHandles(255, 255, 255);
    EXPECT_EQ(g.m_ptFirst.y, g.m_ptA.y);
    EXPECT_EQ(g.m_ptSecond.x, g.m_ptB.x);
    EXPECT_EQ(g.m_ptSecond.y, g.m_ptB.y);
    EXPECT_EQ(g.m_ptThird.x, g.m_ptC.x);
    EXPECT_EQ(g.m_ptThird.y, g.m_ptC.y);
    EXPECT_EQ(g.m_ptAll.x, 75);
    EXPECT_EQ(g.m_ptAll.y, 75 + 70 - 70);
    EXPECT_EQ(g.HandleAt(g.m_ptFirst.x + 3, g.m_ptFirst.y - 4), 1);
    EXPECT_EQ(g.HandleAt(g.m_ptThird.x, g.m_ptThird.y + 4), 0); // right and bottom outside

    int v = -1;
    ASSERT_TRUE(g.TrackHandle(1, 0, -50, &v));
    EXPECT_EQ(v, 255); // above A
    ASSERT_TRUE(g.TrackHandle(1, 0, 140, &v));
    EXPECT_EQ(v, 0); // below O
    ASSERT_TRUE(g.TrackHandle(2, 40, 0, &v));
    EXPECT_EQ(v, 127);
    ASSERT_TRUE(g.TrackHandle(3, 500, 0, &v));
    EXPECT_EQ(v, 255);
}

TEST(ExtColorCubeGeometry, FacesAndDots)
{
    CExtColorCubeGeometry g;
    g.Build(150, 150);
    EXPECT_EQ(g.FaceAt(30, 60), CExtColorCubeGeometry::FACE_FIRST_SECOND);
    EXPECT_EQ(g.FaceAt(120, 60), CExtColorCubeGeometry::FACE_FIRST_THIRD);
    EXPECT_EQ(g.FaceAt(75, 110), CExtColorCubeGeometry::FACE_SECOND_THIRD);
    EXPECT_EQ(g.FaceAt(6, 6), -1);
    POINT p;
    int a, b, c;
    g.FaceDot(CExtColorCubeGeometry::FACE_FIRST_SECOND, 70, 0, &p, &a, &b, &c);
    EXPECT_EQ(p.x, 69); // the near edge of the top-left face
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(a, 255);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 0);
    g.FaceDot(CExtColorCubeGeometry::FACE_SECOND_THIRD, 35, 70, &p, &a, &b, &c);
    EXPECT_EQ(p.x, 70 + 35 - 70);
    EXPECT_EQ(p.y, 70 + 35 + 17);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 255);
    EXPECT_EQ(c, 127);
}

TEST(ExtColorCubeGeometry, TinyCubesDivideByNothing)
{
    for (int size : {1, 10, 11, 12})
    {
        CExtColorCubeGeometry g;
        g.Build(size, size);
        EXPECT_FALSE(g.HasPicture()) << size;
        int v = 77;
        for (int handle = 1; handle <= 3; ++handle)
            EXPECT_FALSE(g.TrackHandle(handle, 0, 0, &v));
        EXPECT_EQ(v, 77);
        g.PlaceHandles(255, 255, 255);
        POINT p;
        int a, b, c;
        g.FaceDot(CExtColorCubeGeometry::FACE_FIRST_THIRD, 1, 1, &p, &a, &b, &c);
    }
}

TEST(ExtColorPanelGeometry, LayoutAndClamps)
{
    struct Case
    {
        int cx, cy, pw, ph, radius;
    } cases[] = {{200, 200, 192, 168, 82}, {10, 10, 2, 1, 1}, {1, 1, 1, 1, 1}, {-5, 0, 1, 1, 1}};
    for (const auto& c : cases)
    {
        CExtColorPanelGeometry g;
        g.Build(c.cx, c.cy);
        EXPECT_EQ(g.m_nPanelWidth, c.pw) << c.cx;
        EXPECT_EQ(g.m_nStripWidth, c.pw) << c.cx;
        EXPECT_EQ(g.m_nPanelHeight, c.ph) << c.cx;
        EXPECT_EQ(g.m_nStripHeight, 20);
        EXPECT_EQ(g.RollerRadius(), c.radius) << c.cx;
    }
    const RECT rc = CExtColorPanelGeometry::MarkerRect(10, 20, 6, 20);
    EXPECT_EQ(rc.left, 7);
    EXPECT_EQ(rc.top, 10);
    EXPECT_EQ(rc.right, 13);
    EXPECT_EQ(rc.bottom, 30);
}

TEST(ExtColorPanelGeometry, AxisModes)
{
    CExtColorPanelGeometry g;
    g.Build(200, 200);
    EXPECT_EQ(g.AxisStripColor(0, 192), RGB(255, 0, 0));
    EXPECT_EQ(g.AxisStripColor(2, 96), RGB(0, 0, 127));
    EXPECT_EQ(g.AxisStripColor(3, 192), RGB(0, 255, 255));
    EXPECT_EQ(g.AxisPanelColor(0, RGB(77, 1, 2), 192, 168), RGB(77, 255, 255));
    EXPECT_EQ(g.AxisPanelColor(0, RGB(77, 1, 2), 0, 0), RGB(77, 0, 0));
    EXPECT_EQ(g.AxisPanelColor(1, RGB(1, 77, 2), 192, 0), RGB(255, 77, 0));
    EXPECT_EQ(g.AxisPanelColor(2, RGB(1, 2, 77), 0, 168), RGB(0, 255, 77));
    // cyan axis: the panel spans magenta across and yellow down
    EXPECT_EQ(g.AxisPanelColor(3, RGB(200, 0, 0), 0, 168), RGB(200, 255, 0));
    int across, down, strip;
    g.AxisMarkers(1, RGB(255, 0, 255), &across, &down, &strip);
    EXPECT_EQ(across, 192);
    EXPECT_EQ(down, 168);
    EXPECT_EQ(strip, 0);
    g.AxisMarkers(5, RGB(255, 255, 0), &across, &down, &strip); // full yellow
    EXPECT_EQ(across, 0);
    EXPECT_EQ(down, 0);
    EXPECT_EQ(strip, 192);
    EXPECT_EQ(CExtColorPanelGeometry::AxisSetComponent(1, RGB(1, 2, 3), 99), RGB(1, 99, 3));
    EXPECT_EQ(CExtColorPanelGeometry::AxisSetComponent(4, RGB(1, 2, 3), 99), RGB(1, 156, 3));
}

TEST(ExtColorPanelGeometry, RollerPick)
{
    double h, s;
    CExtColorPanelGeometry::RollerPick(82, 0, 82, &h, &s);
    EXPECT_EQ(h, 0.0);
    EXPECT_EQ(s, 1.0);
    CExtColorPanelGeometry::RollerPick(0, 41, 82, &h, &s);
    EXPECT_NEAR(h, 0.25, 1e-12);
    EXPECT_DOUBLE_EQ(s, 0.25); // the square of the distance
    CExtColorPanelGeometry::RollerPick(100, 0, 82, &h, &s);
    EXPECT_EQ(s, 1.0);
}

} // namespace
