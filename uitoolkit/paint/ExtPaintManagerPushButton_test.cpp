// Push buttons: the untouched context of an empty button, disabled and
// hovered edges, the drop-down part on either side, the XP family's
// one-colour edges and the Office 2003 gradient faces.
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/FakeLunaStyle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace
{

const COLORREF kBack = RGB(1, 2, 3);
const int kW = 60, kH = 24;
using Params = CExtPaintManager::PushButtonParams;

struct Canvas
{
    kxgui::DibCanvas canvas{kW + 10, kH + 10, kBack};
    CDC dc;
    Canvas() { dc.Attach(canvas.Dc()); }
    ~Canvas() { dc.Detach(); }
};

// A button without text at (0, 0) of the canvas.
Params Button(bool bFlat, bool bHover, bool bPushed, bool bEnabled, bool bDrawBorder = true, bool bFocus = false)
{
    return Params(nullptr, true, CRect(0, 0, kW, kH), nullptr, nullptr, bFlat, bHover, bPushed, true, bEnabled,
                  bDrawBorder, bFocus, false, Params::AlignCenter | Params::AlignVCenter);
}

bool Near(COLORREF a, COLORREF b, int nTolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= nTolerance && std::abs(GetGValue(a) - GetGValue(b)) <= nTolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

class PushButtons : public ::testing::Test
{
protected:
    void SetUp() override { ExtTestHooks() = ExtPaintTestHooks(); }
    void TearDown() override
    {
        ExtTestHooks() = ExtPaintTestHooks();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    static COLORREF C(int nIndex) { return g_PaintManager->GetColor(nIndex); }
};

TEST_F(PushButtons, RecordDefaults)
{
    Params p(nullptr, false, CRect(0, 0, 10, 10), nullptr, nullptr, false, false, false, false, true, false, false,
             false, Params::AlignRight | Params::AlignVCenter);
    EXPECT_STREQ(p.Text, "");
    EXPECT_EQ(p.DrawTextFormat, static_cast<DWORD>(Params::AlignRight | Params::AlignVCenter));
    EXPECT_EQ(Params(nullptr, true, CRect(), "", nullptr, false, false, false, false, true, false, false, false, 3)
                  .DrawTextFormat,
              static_cast<DWORD>(Params::AlignCenter));
    EXPECT_EQ(p.BackgroundColor, static_cast<COLORREF>(-1));
    EXPECT_FALSE(p.IsRightToLeft());
    p.ForceRightToLeft = true;
    EXPECT_TRUE(p.IsRightToLeft());
}

TEST_F(PushButtons, ClassicEmptyButtonLeavesTheContextAlone)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    Canvas c;
    c.dc.SetTextColor(RGB(10, 20, 30));
    c.dc.SetBkColor(RGB(40, 50, 60));
    c.dc.SetBkMode(OPAQUE);
    Params p(nullptr, true, CRect(5, 5, 5, 20), "Text", nullptr, false, true, false, false, true, true, true, false, 5);
    g_PaintManager->PaintPushButton(c.dc, p);
    EXPECT_EQ(c.dc.GetTextColor(), RGB(10, 20, 30));
    EXPECT_EQ(c.dc.GetBkColor(), RGB(40, 50, 60));
    EXPECT_EQ(c.dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(c.canvas.Pixels().CountColor(kBack, CRect(0, 0, kW + 10, kH + 10)), (kW + 10) * (kH + 10));

    // a painted button restores them too
    Params q = Button(false, true, false, true);
    q.Text = "OK";
    g_PaintManager->PaintPushButton(c.dc, q);
    EXPECT_EQ(c.dc.GetTextColor(), RGB(10, 20, 30));
    EXPECT_EQ(c.dc.GetBkColor(), RGB(40, 50, 60));
    EXPECT_EQ(c.dc.GetBkMode(), OPAQUE);
}

TEST_F(PushButtons, ClassicDisabledFlatButtonHasNoBorderOrFocus)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    Canvas c;
    Params p = Button(true, true, false, false, true, true);
    g_PaintManager->PaintPushButton(c.dc, p);
    EXPECT_FALSE(p.Hover);
    EXPECT_FALSE(p.ExtraState);
    EXPECT_FALSE(p.DrawFocusRect);
    const kxgui::PixelBuffer px = c.canvas.Pixels();
    EXPECT_EQ(px.CountColor(C(CExtPaintManager::TC_FACE_NORMAL), CRect(0, 0, kW, kH)), kW * kH);
}

TEST_F(PushButtons, ClassicDisabledTextIsVisible)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    const COLORREF shadow = C(COLOR_3DSHADOW), hilight = C(COLOR_3DHILIGHT);
    ASSERT_NE(shadow, C(CExtPaintManager::TC_FACE_NORMAL));
    for (bool bPlain : {true, false})
    {
        Canvas c;
        Params p = Button(true, false, false, false, false);
        p.Text = "WWW";
        p.PlainDisabledText = bPlain;
        g_PaintManager->PaintPushButton(c.dc, p);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        // plain text in the shadow colour, not in the face colour it would
        // vanish in; otherwise embossed with a highlight copy
        EXPECT_GT(px.CountColor(shadow, CRect(0, 0, kW, kH)), 0) << bPlain;
        EXPECT_EQ(px.CountColor(hilight, CRect(0, 0, kW, kH)) > 0, !bPlain) << bPlain;
    }
}

TEST_F(PushButtons, ClassicHoveredButtonFrames)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    Canvas c;
    Params p = Button(false, true, false, true);
    g_PaintManager->PaintPushButton(c.dc, p);
    const kxgui::PixelBuffer px = c.canvas.Pixels();
    EXPECT_EQ(px.At(0, 0), C(1006));
    EXPECT_EQ(px.At(kW - 1, kH - 1), C(1008));
    EXPECT_EQ(px.At(1, 1), C(1004));
    EXPECT_EQ(px.At(kW - 2, kH - 2), C(1006));
    EXPECT_EQ(px.At(kW / 2, kH / 2), C(1001));
}

TEST_F(PushButtons, ClassicDropDownPartOnEitherSide)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    for (bool bRTL : {false, true})
    {
        Canvas c;
        Params p = Button(false, false, false, true);
        p.DropDown = true;
        p.SeparateDropDown = true;
        p.ForceRightToLeft = bRTL;
        g_PaintManager->PaintPushButton(c.dc, p);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        // each part has its own raised edge
        const int xArrowLeft = bRTL ? 0 : kW - 11, xArrowRight = xArrowLeft + 10;
        EXPECT_EQ(px.At(xArrowLeft, kH / 2), C(1004)) << bRTL;
        EXPECT_EQ(px.At(xArrowRight, kH / 2), C(1006)) << bRTL;
        // the main part's own edge beside it
        EXPECT_EQ(px.At(bRTL ? 11 : kW - 12, kH / 2), C(bRTL ? 1004 : 1006)) << bRTL;
        // the arrow is centred in its part
        const CRect rcArrow(xArrowLeft, 0, xArrowRight + 1, kH);
        EXPECT_EQ(px.CountColor(C(CExtPaintManager::TC_TEXT_NORMAL), rcArrow), 5 + 3 + 1);
    }
}

// The columns of the canvas that hold dark (text) pixels, from left to right.
std::pair<int, int> DarkColumns(const kxgui::PixelBuffer& px)
{
    int xFirst = -1, xLast = -1;
    for (int x = 0; x < px.width; ++x)
        for (int y = 0; y < px.height; ++y)
        {
            const COLORREF clr = px.At(x, y);
            if (GetRValue(clr) < 100 && GetGValue(clr) < 100 && GetBValue(clr) < 100 && clr != kBack)
            {
                if (xFirst < 0)
                    xFirst = x;
                xLast = x;
                break;
            }
        }
    return {xFirst, xLast};
}

TEST_F(PushButtons, PopupMenuOwnedCaptionKeepsThreeMorePixelsFromTheIcon)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    COLORREF* pBits = nullptr;
    HBITMAP hBitmap = CExtPaintManager::CreateDibSection32(16, 16, &pBits);
    std::fill(pBits, pBits + 16 * 16, RGB(40, 30, 200)); // a red icon: no dark pixels
    CExtCmdIcon icon(hBitmap, RGB(255, 0, 255));
    CExtPopupMenuWnd menu;
    std::pair<int, int> ink[2];
    for (int i = 0; i < 2; ++i)
    {
        Canvas c;
        Params p(i == 0 ? nullptr : &menu, true, CRect(0, 0, kW, kH), "ab", &icon, true, false, false, true, true,
                 false, false, false, Params::AlignVCenter);
        g_PaintManager->PaintPushButton(c.dc, p);
        ink[i] = DarkColumns(c.canvas.Pixels());
        ASSERT_GE(ink[i].first, 0);
    }
    // the caption moves 3 pixels away from the icon
    EXPECT_EQ(ink[1].first - ink[0].first, 3);
    EXPECT_EQ(ink[1].second - ink[0].second, 3);
}

TEST_F(PushButtons, XpHoveredEdgesAreTheHotBorder)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerXP));
    Canvas c;
    Params p = Button(false, true, false, true);
    g_PaintManager->PaintPushButton(c.dc, p);
    const kxgui::PixelBuffer px = c.canvas.Pixels();
    const COLORREF hot = C(CExtPaintManager::TC_XP_HOT_BORDER);
    EXPECT_EQ(px.CountColor(hot, CRect(0, 0, kW, 1)), kW);
    EXPECT_EQ(px.CountColor(hot, CRect(0, kH - 1, kW, kH)), kW);
    EXPECT_EQ(px.CountColor(hot, CRect(0, 0, 1, kH)), kH);
    EXPECT_EQ(px.CountColor(hot, CRect(kW - 1, 0, kW, kH)), kH);
    EXPECT_EQ(px.At(kW / 2, kH / 2), C(CExtPaintManager::TC_FACE_ACTIVE));
}

TEST_F(PushButtons, Office2003GradientFacesFollowTheScheme)
{
    ExtTestHooks().nScreenBitsPerPixel = 32;
    {
        kxtest::FakeLunaStyle luna;
        auto* pm = new CExtPaintManagerOffice2003;
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(pm));
        Canvas c;
        Params p = Button(true, true, false, true, false);
        g_PaintManager->PaintPushButton(c.dc, p);
        const kxgui::PixelBuffer px = c.canvas.Pixels();
        const COLORREF from = C(3021), to = C(3022);
        ASSERT_FALSE(Near(from, to, 30));
        // top to bottom, the same across each row
        EXPECT_TRUE(Near(px.At(kW / 2, 0), from, 8));
        EXPECT_TRUE(Near(px.At(kW / 2, kH - 1), to, 8));
        EXPECT_EQ(px.At(3, kH / 2), px.At(kW - 3, kH / 2));
    }
    // without the style the face is solid
    g_PaintManager->OnSysColorChange();
    auto* pm = static_cast<CExtPaintManagerOffice2003*>(g_PaintManager.GetPM());
    EXPECT_EQ(pm->ButtonGradientIndices[0], -1);
    Canvas c;
    Params p = Button(true, true, false, true, false);
    g_PaintManager->PaintPushButton(c.dc, p);
    EXPECT_EQ(c.canvas.Pixels().CountColor(C(CExtPaintManager::TC_FACE_ACTIVE), CRect(0, 0, kW, kH)), kW * kH);
}

TEST_F(PushButtons, MeasureTextBoundsStartsAtTheOriginAndExpandsTabs)
{
    Canvas c;
    CFont& font = g_PaintManager->FontNormal;
    const CRect rcTab = CExtPaintManager::MeasureTextBounds(c.dc, font, "a\tb", DT_SINGLELINE);
    const CRect rcPlain = CExtPaintManager::MeasureTextBounds(c.dc, font, "ab", DT_SINGLELINE);
    EXPECT_EQ(rcTab.TopLeft(), CPoint(0, 0));
    EXPECT_GT(rcTab.Width(), rcPlain.Width() + 10);
    EXPECT_EQ(CExtPaintManager::MeasureTextWidth(c.dc, font, "ab"), rcPlain.Width());
}

} // namespace
