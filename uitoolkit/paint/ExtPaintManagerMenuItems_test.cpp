// Popup-menu items painted by the classic, XP and Office 2003 themes:
// selection areas, icon cells, gutters and direction, probed on a DIB, and a
// gallery of items in every theme.
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/core/ExtBitmapRoutines.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

using PM = CExtPaintManager;
const COLORREF kIconRed = RGB(220, 20, 30);

class MenuItems : public ::testing::Test
{
protected:
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }
};

// A solid red icon of the given size.
void MakeIcon(CExtCmdIcon& icon, int cx, int cy)
{
    COLORREF* pBits = nullptr;
    HBITMAP hBitmap = PM::CreateDibSection32(cx, cy, &pBits);
    for (int i = 0; i < cx * cy; ++i)
        pBits[i] = CExtBitmapRoutines::ColorRefToPixel(kIconRed);
    icon.AssignFromHBITMAP(hBitmap, RGB(255, 0, 255));
}

PM::MenuItemParams Item(const RECT& rc, int nIconArea, CExtCmdIcon* pIcon, bool bSelected, bool bChecked,
                        bool bPopup = false, CObject* pOwner = nullptr)
{
    return PM::MenuItemParams(pOwner, rc, rc, nIconArea, "&Item", "Ctrl+I", pIcon, bPopup, bSelected, bChecked, false,
                              false, true, false, false, false, 0, nullptr);
}

bool Near(COLORREF a, COLORREF b, int nTolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= nTolerance && std::abs(GetGValue(a) - GetGValue(b)) <= nTolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= nTolerance;
}

TEST_F(MenuItems, ClassicSelectionCoversTheIconAreaOnlyWithoutIconOrMark)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    const COLORREF clrHighlight = PM::SysColor(COLOR_HIGHLIGHT);
    const RECT rc = {0, 0, 200, 22};
    CExtCmdIcon icon;
    MakeIcon(icon, 16, 16);
    const struct
    {
        const char* name;
        CExtCmdIcon* icon;
        bool checked;
        bool coversIconArea;
    } cases[] = {{"plain", nullptr, false, true}, {"checked", nullptr, true, false}, {"icon", &icon, false, false}};
    for (const auto& c : cases)
    {
        kxgui::DibCanvas canvas(200, 22);
        CDC* pDC = CDC::FromHandle(canvas.Dc());
        PM::MenuItemParams p = Item(rc, 24, c.icon, true, c.checked);
        g_PaintManager->PaintMenuItem(*pDC, p);
        const kxgui::PixelBuffer px = canvas.Pixels();
        EXPECT_EQ(px.At(1, 1) == clrHighlight, c.coversIconArea) << c.name;
        EXPECT_EQ(px.At(30, 1), clrHighlight) << c.name; // the text area is always selected
    }
}

TEST_F(MenuItems, SmallIconsSitInSquareCells)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    const struct
    {
        int cx, cy, top;
    } cases[] = {{16, 12, (22 - 16) / 2}, {20, 12, (22 - 12) / 2}};
    for (const auto& c : cases)
    {
        CExtCmdIcon icon;
        MakeIcon(icon, c.cx, c.cy);
        kxgui::DibCanvas canvas(200, 22);
        PM::MenuItemParams p = Item(CRect(0, 0, 200, 22), 24, &icon, false, false);
        g_PaintManager->PaintMenuItem(*CDC::FromHandle(canvas.Dc()), p);
        const kxgui::PixelBuffer px = canvas.Pixels();
        int nTop = -1, nLeft = -1;
        for (int y = 0; y < 22 && nTop < 0; ++y)
            for (int x = 0; x < 40 && nTop < 0; ++x)
                if (px.At(x, y) == kIconRed)
                {
                    nTop = y;
                    nLeft = x;
                }
        EXPECT_EQ(nTop, c.top) << c.cx << "x" << c.cy;
        EXPECT_EQ(nLeft, (24 - c.cx) / 2) << c.cx << "x" << c.cy;
        EXPECT_EQ(px.CountColor(kIconRed, {0, 0, 40, 22}), c.cx * c.cy);
    }
}

TEST_F(MenuItems, Office2003GutterRunsThroughItsThreeColours)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerOffice2003));
    kxgui::DibCanvas canvas(200, 22);
    PM::MenuItemParams p = Item(CRect(0, 0, 200, 22), 24, nullptr, false, false);
    g_PaintManager->PaintMenuItem(*CDC::FromHandle(canvas.Dc()), p);
    const kxgui::PixelBuffer px = canvas.Pixels();
    EXPECT_TRUE(Near(px.At(0, 5), g_PaintManager->GetColor(3015), 2));
    EXPECT_TRUE(Near(px.At(12, 5), g_PaintManager->GetColor(3016), 2));
    EXPECT_TRUE(Near(px.At(23, 5), g_PaintManager->GetColor(3017), 12));
    EXPECT_EQ(px.At(100, 2), g_PaintManager->GetColor(PM::TC_XP_LIGHT_FACE));

    // a separator shares the gutter and draws its line after it
    kxgui::DibCanvas sep(200, 8);
    g_PaintManager->PaintMenuSeparator(*CDC::FromHandle(sep.Dc()), CRect(0, 0, 200, 8), 24, false, nullptr, 0);
    const kxgui::PixelBuffer sx = sep.Pixels();
    EXPECT_TRUE(Near(sx.At(0, 3), g_PaintManager->GetColor(3015), 2));
    EXPECT_EQ(sx.At(30, 3), g_PaintManager->GetColor(PM::TC_XP_SOFT_SHADOW));
    EXPECT_EQ(sx.At(26, 3), g_PaintManager->GetColor(PM::TC_XP_LIGHT_FACE));
}

TEST_F(MenuItems, ItemsAndButtonsOfRightToLeftMenusRunRightToLeft)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    const int nOldMode = g_ResourceManager->SetRTLMode(1);
    CExtPopupMenuWnd root;
    CExtPopupMenuWnd::MENUITEMDATA sub;
    sub.SetCmdID(CExtPopupMenuWnd::CMD_POPUP);
    ASSERT_TRUE(sub.ConstructPopup());
    sub.GetPopup()->UpdateFromMenu(nullptr, false);
    ASSERT_TRUE(root.ItemInsertRecord(sub));
    // a sub-menu asks its parent
    root.GetItemAt(0).GetPopup()->UpdateFromMenu(nullptr, false);
    PM::PushButtonParams button(&root, true, CRect(0, 0, 40, 20), "", nullptr, true, false, false, false, true, true,
                                false, false, 0);
    EXPECT_TRUE(button.IsRightToLeft());

    CExtCmdIcon icon;
    MakeIcon(icon, 16, 16);
    kxgui::DibCanvas canvas(200, 22);
    PM::MenuItemParams p = Item(CRect(0, 0, 200, 22), 24, &icon, false, false, false, &root);
    g_PaintManager->PaintMenuItem(*CDC::FromHandle(canvas.Dc()), p);
    const kxgui::PixelBuffer px = canvas.Pixels();
    EXPECT_EQ(px.CountColor(kIconRed, {200 - 24, 0, 200, 22}), 256); // icon at the right
    g_ResourceManager->SetRTLMode(0);
    EXPECT_FALSE(button.IsRightToLeft());
    g_ResourceManager->SetRTLMode(nOldMode);
    root.GetItemAt(0).DestroyPopup();
}

TEST_F(MenuItems, ToolBarExpandButtonDrawsChevronsOnlyForHiddenButtons)
{
    for (CExtPaintManager* pTheme : {new CExtPaintManager, static_cast<CExtPaintManager*>(new CExtPaintManagerXP)})
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
        const COLORREF clrText = g_PaintManager->GetColor(PM::TC_TEXT_NORMAL);
        const COLORREF clrShadow = g_PaintManager->GetColor(COLOR_3DSHADOW);
        const struct
        {
            bool completelyVisible, enabled;
            bool chevrons;
        } cases[] = {{true, true, false}, {false, true, true}, {false, false, false}};
        for (const auto& c : cases)
        {
            kxgui::DibCanvas canvas(14, 40, RGB(255, 255, 255));
            g_PaintManager->PaintToolBarExpandButton(*CDC::FromHandle(canvas.Dc()), CRect(0, 0, 14, 40), true,
                                                     c.completelyVisible, c.enabled, false, false, nullptr, 0, false);
            const kxgui::PixelBuffer px = canvas.Pixels();
            const RECT top = {0, 0, 14, 20}, bottom = {0, 20, 14, 40};
            const COLORREF clrGlyph = c.enabled ? clrText : clrShadow;
            EXPECT_EQ(px.CountColor(clrGlyph, top) > 0, c.chevrons) << c.completelyVisible << c.enabled;
            EXPECT_GT(px.CountColor(clrGlyph, bottom), 0) << c.completelyVisible << c.enabled; // the arrow
        }
    }
}

// The lowest row of a 200 x 26 picture that holds the colour, or -1.
int LowestRowOf(const kxgui::PixelBuffer& px, COLORREF color)
{
    for (int y = 25; y >= 0; --y)
        if (px.CountColor(color, {0, y, 200, y + 1}) > 0)
            return y;
    return -1;
}

TEST_F(MenuItems, Office2003ExpandButtonIsTheGradientEndOfItsBar)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerOffice2003));
    ASSERT_FALSE(g_PaintManager->IsLunaSchemeUsed());
    HWND hParent = kxgui::CreateTestWindow(240, 60, "expand button");
    ASSERT_NE(hParent, nullptr);
    CExtToolControlBar bar;
    ASSERT_TRUE(bar.CreateEx(0, AfxRegisterWndClass(0), "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 26),
                             CWnd::FromHandle(hParent), 1));
    bar.m_nToolBarOptions |= CExtToolControlBar::TbOptGradientUndocked;
    CExtBarContentExpandButton button(&bar);
    auto C = [](int nIndex) { return g_PaintManager->GetColor(nIndex); };
    const COLORREF clrArrow = C(PM::TC_2003_CHEVRON_ARROW_DARK), clrWhite = RGB(255, 255, 255);
    auto paint = [&](bool bCompletelyVisible, bool bEnabled, bool bPushed, bool bHover)
    {
        kxgui::DibCanvas canvas(200, 26, clrWhite);
        g_PaintManager->PaintToolBarExpandButton(*CDC::FromHandle(canvas.Dc()), CRect(186, 2, 200, 24), true,
                                                 bCompletelyVisible, bEnabled, bPushed, bHover, &button, 0, false);
        return canvas.Pixels();
    };
    const RECT top = {0, 0, 200, 13}, bottom = {0, 13, 200, 26};
    // the bar end runs from the button's left edge less the corner (183) to
    // the bar's right edge, rounded at the bar's corners
    const struct
    {
        bool completelyVisible, pushed, hover;
        int first, last;
    } cases[] = {
        {false, false, false, PM::TC_2003_CHEVRON_LIGHT, PM::TC_2003_CHEVRON_DARK},
        {true, false, true, PM::TC_2003_CHEVRON_HOT_LIGHT, PM::TC_2003_CHEVRON_HOT_DARK},
        {false, true, true, PM::TC_2003_CHEVRON_PRESSED_DARK, PM::TC_2003_CHEVRON_PRESSED_LIGHT},
    };
    for (const auto& c : cases)
    {
        const kxgui::PixelBuffer px = paint(c.completelyVisible, true, c.pushed, c.hover);
        EXPECT_FALSE(
            kxgui::SaveArtifact(px, "toolbar-expand-office2003-" + std::to_string(&c - cases) + ".png").empty());
        EXPECT_TRUE(Near(px.At(188, 0), C(c.first), 12)) << c.first;
        EXPECT_TRUE(Near(px.At(188, 24), C(c.last), 12)) << c.last;
        EXPECT_EQ(px.At(199, 0), clrWhite) << c.first;                                // rounded corner
        EXPECT_EQ(px.CountColor(clrWhite, {0, 0, 182, 26}), 182 * 26);                // nothing left of the bar end
        EXPECT_EQ(px.CountColor(clrArrow, top) > 0, !c.completelyVisible) << c.first; // chevrons
        EXPECT_GT(px.CountColor(clrArrow, bottom), 0) << c.first;                     // the arrow
        EXPECT_GT(px.CountColor(C(PM::TC_2003_CHEVRON_ARROW_LIGHT), bottom), 0) << c.first;
    }
    // without a Luna scheme the lower two fifths are solid
    EXPECT_EQ(paint(true, true, false, false).At(184, 24), C(PM::TC_2003_CHEVRON_DARK));

    // a disabled button and a bar that keeps the XP shape get the XP button,
    // which stays inside its own rectangle
    EXPECT_EQ(paint(false, false, false, false).At(184, 12), clrWhite);
    bar.m_nToolBarOptions |= CExtToolControlBar::TbOptXpExpandButton;
    EXPECT_EQ(paint(false, true, false, false).At(184, 12), clrWhite);
    bar.m_nToolBarOptions &= ~CExtToolControlBar::TbOptXpExpandButton;

    // the 9x family's larger corners move the glyphs two pixels down
    const int nLowest = LowestRowOf(paint(false, true, false, false), clrArrow);
    const auto savedFlags = g_PaintManager.OsFlags;
    g_PaintManager.OsFlags.Win9x = true;
    EXPECT_EQ(LowestRowOf(paint(false, true, false, false), clrArrow), nLowest + 2);
    g_PaintManager.OsFlags = savedFlags;

    bar.DestroyWindow();
    ::DestroyWindow(hParent);
}

TEST_F(MenuItems, XpTearOffBandIsCentred)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerXP));
    const COLORREF clrLine = g_PaintManager->GetColor(COLOR_3DSHADOW);
    const struct
    {
        int width, left;
    } cases[] = {{100, 33}, {20, -6}};
    for (const auto& c : cases)
    {
        kxgui::DibCanvas canvas(120, 9);
        const CRect rc(10, 0, 10 + c.width, 9);
        g_PaintManager->PaintMenuTearOffButton(*CDC::FromHandle(canvas.Dc()), rc, false, false, nullptr, 0);
        const kxgui::PixelBuffer px = canvas.Pixels();
        const int nLeft = 10 + c.left;
        const RECT row = {0, 1, 120, 2};
        EXPECT_EQ(px.CountColor(clrLine, row), 33) << c.width;
        EXPECT_EQ(px.At(nLeft, 1), clrLine) << c.width;
        EXPECT_NE(px.At(nLeft - 1, 1), clrLine) << c.width;
        EXPECT_EQ(px.CountColor(clrLine, {0, 2, 120, 3}), 0) << c.width; // every second row
    }
}

// ---- the gallery ----

struct ItemGallery
{
    CExtCmdIcon icon;
    ItemGallery() { MakeIcon(icon, 16, 16); }
    void Paint(CDC& dc, int x0)
    {
        struct Row
        {
            const char* text;
            const char* accel;
            bool icon, popup, selected, checked, radio, enabled;
        };
        const Row rows[] = {
            {"&Plain item", "", false, false, false, false, false, true},
            {"With &icon", "Ctrl+O", true, false, false, false, false, true},
            {"&Checked", "", false, false, false, true, false, true},
            {"&Radio", "", false, false, false, false, true, true},
            {"&Disabled", "Del", false, false, false, false, false, false},
            {"&Selected", "F5", true, false, true, false, false, true},
            {"Sub-&menu", "", false, true, false, false, false, true},
        };
        const int w = 220;
        int y = 4;
        for (const Row& r : rows)
        {
            const CRect rc(x0, y, x0 + w, y + 22);
            PM::MenuItemParams p(nullptr, rc, rc, 24, r.text, r.accel, r.icon ? &icon : nullptr, r.popup, r.selected,
                                 r.checked, r.radio, false, r.enabled, false, false, false, 0, nullptr);
            g_PaintManager->PaintMenuItem(dc, p);
            y += 22;
            if (&r == &rows[2])
            {
                g_PaintManager->PaintMenuSeparator(dc, CRect(x0, y, x0 + w, y + 8), 24, false, nullptr, 0);
                y += 8;
            }
        }
        const int nExpand = g_PaintManager->GetMenuExpandButtonHeight();
        g_PaintManager->PaintMenuExpandButton(dc, CRect(x0, y, x0 + w, y + nExpand), false, false, nullptr, 0);
        y += nExpand + 4;
        g_PaintManager->PaintMenuExpandButton(dc, CRect(x0, y, x0 + w, y + nExpand), true, true, nullptr, 0);
        y += nExpand + 4;
        g_PaintManager->PaintMenuTearOffButton(dc, CRect(x0, y, x0 + w, y + 9), false, false, nullptr, 0);
        y += 13;
        g_PaintManager->PaintMenuTearOffButton(dc, CRect(x0, y, x0 + w, y + 9), true, true, nullptr, 0);
        y += 13;
        g_PaintManager->PaintToolBarExpandButton(dc, CRect(x0, y, x0 + 14, y + 40), true, false, true, false, false,
                                                 nullptr, 0, false);
        g_PaintManager->PaintToolBarExpandButton(dc, CRect(x0 + 30, y, x0 + 70, y + 14), false, false, true, false,
                                                 true, nullptr, 0, false);
    }
};

ItemGallery* g_pGallery = nullptr;

LRESULT CALLBACK GalleryProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT || g_pGallery == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(hWnd, &ps);
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    ::FillRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    g_pGallery->Paint(*CDC::FromHandle(hDC), 4);
    ::EndPaint(hWnd, &ps);
    return 0;
}

TEST_F(MenuItems, GalleryPerTheme)
{
    ItemGallery gallery;
    g_pGallery = &gallery;
    HWND hWnd = kxgui::CreateTestWindow(228, 4 + 7 * 22 + 8 + 2 * 22 + 26 + 44, "menu items", GalleryProc);
    ASSERT_NE(hWnd, nullptr);
    const struct
    {
        const char* name;
        CExtPaintManager* (*make)();
    } themes[] = {{"classic", [] { return new CExtPaintManager; }},
                  {"xp", []() -> CExtPaintManager* { return new CExtPaintManagerXP; }},
                  {"office2003", []() -> CExtPaintManager* { return new CExtPaintManagerOffice2003; }},
                  {"native", []() -> CExtPaintManager* { return new CExtPaintManagerNativeXP; }}};
    for (const auto& t : themes)
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(t.make()));
        ::SetWindowPos(hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer shot = kxgui::CaptureScreen(hWnd);
        ASSERT_FALSE(shot.IsEmpty());
        EXPECT_FALSE(kxgui::SaveArtifact(shot, std::string("menu-items-") + t.name + ".png").empty());
    }
    ::DestroyWindow(hWnd);
    g_pGallery = nullptr;
}

} // namespace
