// Tab items, the tab strip's margins and the caption buttons of control
// bars, probed at computed pixels.
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/FakeTabWnd.h"

#include <gtest/gtest.h>

namespace
{

const COLORREF kBack = RGB(1, 2, 3);

struct Canvas
{
    kxgui::DibCanvas canvas{80, 60, kBack};
    CDC dc;
    Canvas() { dc.Attach(canvas.Dc()); }
    ~Canvas() { dc.Detach(); }
};

class TabParts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        ExtTestHooks().nScreenBitsPerPixel = 32;
    }
    void TearDown() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    CExtPaintManager* Install(CExtPaintManager* pTheme)
    {
        EXPECT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
        return pTheme;
    }
    static void Tab(CExtPaintManager* pm, CDC& dc, const CRect& rc, bool bTop, bool bSelected, bool bGrouped,
                    CExtTabWnd* pTabWnd, LONG nIndex)
    {
        pm->PaintTabItem(dc, CRect(), bTop, true, bSelected, false, bGrouped, false, false, rc, CSize(0, 0), 0, nullptr,
                         CString(), nullptr, pTabWnd, nIndex, static_cast<COLORREF>(-1), static_cast<COLORREF>(-1),
                         static_cast<COLORREF>(-1), static_cast<COLORREF>(-1), static_cast<COLORREF>(-1));
    }
};

TEST_F(TabParts, ClassicGroupedSelectedAndSeparated)
{
    CExtPaintManager* pm = Install(new CExtPaintManager);
    const CRect rc(10, 10, 40, 30);
    const COLORREF c16 = pm->GetColor(COLOR_3DSHADOW), c15 = pm->GetColor(COLOR_3DFACE);
    {
        // grouped: 2 more pixels across the strip, 1 more at the trailing end
        Canvas c;
        Tab(pm, c.dc, rc, true, false, true, nullptr, 0);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.At(10, 8), c16);
        EXPECT_EQ(px.At(40, 31), c16);
        EXPECT_EQ(px.At(20, 20), c15);
        EXPECT_EQ(px.At(41, 20), kBack);
        EXPECT_EQ(px.At(20, 32), kBack);
        EXPECT_EQ(px.At(20, 7), kBack);
    }
    {
        // an unselected tab is a separator only
        Canvas c;
        Tab(pm, c.dc, rc, true, false, false, nullptr, 0);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.CountColor(pm->GetColor(COLOR_3DLIGHT), CRect(39, 12, 40, 28)), 16);
        EXPECT_EQ(px.CountColor(kBack, CRect(0, 0, 80, 60)), 80 * 60 - 16);
    }
    {
        // the selected top tab: outlined, filled, grown to the left and down
        Canvas c;
        Tab(pm, c.dc, rc, true, true, false, nullptr, 0);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.At(9, 20), pm->GetColor(COLOR_3DHILIGHT));
        EXPECT_EQ(px.At(20, 10), pm->GetColor(COLOR_3DHILIGHT));
        EXPECT_EQ(px.At(39, 20), pm->GetColor(COLOR_3DDKSHADOW));
        EXPECT_EQ(px.At(20, 30), c15);
    }
}

TEST_F(TabParts, Studio2005TopTabsAndLastSeparator)
{
    CExtPaintManager* pm = Install(new CExtPaintManagerStudio2005);
    kxtest::FakeTabWnd tabs(0, 2, 0);
    const COLORREF c16 = pm->GetColor(COLOR_3DSHADOW, pm, 0);
    Canvas c;
    Tab(pm, c.dc, CRect(10, 10, 40, 30), true, true, false, &tabs, 0);
    Tab(pm, c.dc, CRect(40, 10, 70, 30), true, false, false, &tabs, 1);
    const kxgui::PixelBuffer px = c.canvas.Pixels();
    EXPECT_EQ(px.At(10, 10), kBack); // the cut corner
    EXPECT_EQ(px.At(11, 11), c16);
    EXPECT_EQ(px.At(10, 20), c16);
    EXPECT_EQ(px.At(20, 10), c16);
    EXPECT_EQ(px.At(39, 11), c16);
    EXPECT_EQ(px.At(40, 20), c16);
    EXPECT_EQ(px.At(20, 20), RGB(252, 252, 254));
    EXPECT_EQ(px.At(20, 30), RGB(252, 252, 254)); // open towards the content
    // the last tab has no separator and no fill
    EXPECT_EQ(px.CountColor(kBack, CRect(41, 0, 80, 60)), 39 * 60);

    // grouped: every tab outlined in the bottom shape, none filled
    Canvas g;
    Tab(pm, g.dc, CRect(10, 10, 40, 30), true, false, true, &tabs, 1);
    const kxgui::PixelBuffer gx = g.canvas.Pixels();
    EXPECT_EQ(gx.At(10, 10), c16);
    EXPECT_EQ(gx.At(20, 29), c16);
    EXPECT_EQ(gx.At(20, 20), kBack);
}

TEST_F(TabParts, MarginMetrics)
{
    kxtest::FakeTabWnd plain(0, 1, 0), grouped(0x80, 1, 0);
    struct
    {
        CExtPaintManager* pm;
        CExtTabWnd* pTabs;
        int m1, m2, m3;
    } cases[] = {
        {new CExtPaintManager, &plain, 4, 2, 2},
        {new CExtPaintManagerOffice2003, &grouped, 4, 2, -1},
        {new CExtPaintManagerStudio2005, &plain, 0, 2, 2},
        {new CExtPaintManagerStudio2005, &grouped, 3, 2, 2},
    };
    for (const auto& t : cases)
    {
        Install(t.pm);
        int m1 = -1, m2 = -1, m3 = -1;
        t.pm->GetTabMarginMetrics(t.pTabs, &m1, &m2, &m3);
        EXPECT_EQ(m1, t.m1);
        EXPECT_EQ(m2, t.m2);
        EXPECT_EQ(m3, t.m3);
    }
}

TEST_F(TabParts, ClassicCaptionButtonFace)
{
    CExtPaintManager* pm = Install(new CExtPaintManager);
    const COLORREF clrHilight = pm->GetColor(COLOR_3DHILIGHT), clrShadow = pm->GetColor(COLOR_3DSHADOW);
    for (bool bFloating : {false, true})
    {
        Canvas c;
        CExtPaintManager::BarNcButtonParams p(nullptr, CRect(10, 10, 25, 25), 1, false, false, true, true, true,
                                              bFloating);
        pm->PaintBarNcButton(c.dc, p);
        EXPECT_EQ(p.GlyphIndex, 21);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        // 17 x 17 (15 x 15 floating) from one pixel further left and up
        const CRect face = bFloating ? CRect(10, 10, 25, 25) : CRect(9, 9, 26, 26);
        EXPECT_EQ(px.At(face.left, face.top), clrHilight) << bFloating;
        EXPECT_EQ(px.At(face.right - 1, face.bottom - 1), clrShadow) << bFloating;
        EXPECT_EQ(px.At(face.left - 1, face.top - 1), kBack) << bFloating;
        EXPECT_EQ(px.At(face.right, face.bottom), kBack) << bFloating;
    }
}

TEST_F(TabParts, XpCaptionButtonFilledOnlyWhenHotOrPushed)
{
    CExtPaintManager* pm = Install(new CExtPaintManagerXP);
    struct
    {
        bool bHover, bPushed, bEnabled;
        int nFace;
    } cases[] = {
        {false, false, true, -1},
        {true, false, false, -1},
        {true, false, true, CExtPaintManager::TC_FACE_ACTIVE},
        {false, true, false, CExtPaintManager::TC_XP_PRESSED_FACE},
    };
    for (const auto& t : cases)
    {
        Canvas c;
        CExtPaintManager::BarNcButtonParams p(nullptr, CRect(10, 10, 24, 24), 1, t.bHover, t.bPushed, t.bEnabled, true,
                                              false, false);
        pm->PaintBarNcButton(c.dc, p);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        EXPECT_EQ(px.At(10, 10), t.nFace < 0 ? kBack : pm->GetColor(t.nFace)) << t.bHover << t.bPushed;
        EXPECT_EQ(px.At(9, 9), t.nFace < 0 ? kBack : pm->GetColor(CExtPaintManager::TC_XP_HOT_BORDER))
            << t.bHover << t.bPushed;
    }
}

} // namespace
