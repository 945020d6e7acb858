// The block strip under Wine: real clicks and keys with the notices its
// parent hears, the view state over a refresh, the thumbnail thread paused
// before the tiles change, and what the strip paints.
#include "DvdGui/source/AngleBlockListExView.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/MultiAngleTestSupport.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/StockCells.h"
#include "DvdGui/core/RevisionList.h"
#include "DvdGui/core/TileCaption.h"
#include "VDS/source/Idct.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

const UINT kStripId = 77;

// What the host window heard, and its answer to the changing notice.
std::vector<NMBLOCKLIST> g_notices;
LRESULT g_nChangingAnswer = 0;

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && wParam == kStripId)
    {
        const NMBLOCKLIST* pNotice = reinterpret_cast<const NMBLOCKLIST*>(lParam);
        if (int(pNotice->hdr.code) == BLN_SELCHANGING || int(pNotice->hdr.code) == BLN_SELCHANGED)
        {
            g_notices.push_back(*pNotice);
            return int(pNotice->hdr.code) == BLN_SELCHANGING ? g_nChangingAnswer : 0;
        }
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

class AngleBlockListExViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitRefIdct();
        g_pfnIdct = RefIdct;
        g_notices.clear();
        g_nChangingAnswer = 0;
        m_font.CreatePointFont(90, "Tahoma");
    }
    void TearDown() override
    {
        m_strip.reset();
        if (m_hHost != nullptr)
            ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        m_dvds.clear();
        m_angleSet.reset();
        m_angleVts.reset();
        PurgeUnusedVobData();
        AfxDeleteTempMaps();
    }

    // The title blocks of a fixture disc, appended to m_blocks.
    bool AddTitleBlocks(const char* fixture)
    {
        if (kxtest::FixtureDir(fixture).empty())
            return false;
        m_dvds.push_back(std::make_unique<CDvd>());
        if (!m_dvds.back()->Read(m_log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr))
            return false;
        CAngleBlockList& titles = m_dvds.back()->GetVts(0)->GetTitleDomain();
        for (uint32_t i = 0; i < titles.GetBlockCount(); ++i)
            m_blocks.push_back(titles.GetBlock(i));
        return true;
    }

    // The two-angle block of the synthetic multi-angle title.
    CAngleBlock* AddAngleBlock()
    {
        if (!m_angleDisc.folder.Created() || !m_angleDisc.Build())
            return nullptr;
        m_angleSet = m_angleDisc.Open(m_log, m_angleDisc.cells);
        m_angleVts = std::make_unique<CVts>(nullptr);
        CAngleBlockList& domain = m_angleVts->GetTitleDomain();
        domain.CopyConstruct(m_angleSet->GetPristineBlocks());
        if (domain.GetBlockCount() != 3)
            return nullptr;
        m_blocks.push_back(domain.GetBlock(1));
        return domain.GetBlock(1);
    }

    void MakeStrip(int width, int height, bool bShowCaptions = true)
    {
        m_hHost = kxgui::CreateTestWindow(width, height, "Block strip", HostProc);
        ASSERT_NE(m_hHost, nullptr);
        m_strip = std::make_unique<CAngleBlockListExView>(false, bShowCaptions);
        ASSERT_TRUE(m_strip->Create("strip", kStripId, CWnd::FromHandle(m_hHost), nullptr, WS_CHILD | WS_VISIBLE));
        m_strip->MoveWindow(0, 0, width, height);
        m_strip->SetFont(&m_font);
        kxgui::PumpUntilIdle();
    }

    void Pump()
    {
        kxgui::PumpUntilIdle([](MSG& msg) { return CWnd::WalkPreTranslateTree(nullptr, &msg) != FALSE; });
    }

    // A key sent as a user types it, then the strip's pre-translation.
    void PressKey(WORD vk)
    {
        kxgui::InputScript().Key(vk).Send();
        Pump();
    }

    bool AllDone() const
    {
        for (int n = 0; n < m_strip->GetTileCount(); ++n)
            if (!m_strip->GetTile(n).bDone)
                return false;
        return true;
    }

    // Pumps until the thread made every thumbnail and the strip heard of
    // it; false only when that never comes.
    bool WaitForThumbnails()
    {
        // A safety net only: a pass over the fixtures takes a few seconds.
        const DWORD nGiveUp = ::GetTickCount() + 120000;
        while (!AllDone() || m_strip->IsThumbnailPassActive())
        {
            if (int(::GetTickCount() - nGiveUp) > 0)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Pump();
        }
        Pump();
        return true;
    }

    // The context menu that a right click opened, closed with Escape.
    void CloseMenu()
    {
        Pump();
        for (int n = 0; n < 3 && CExtPopupMenuWnd::GetTracker().GetTopPopup() != nullptr; ++n)
        {
            kxgui::PressKey(VK_ESCAPE);
            Pump();
        }
    }

    // The centre of a tile's picture in the strip's client area.
    CPoint TileCentre(int nItem) const { return m_strip->GetStrip().PictureRect(nItem).CenterPoint(); }

    std::vector<int> Selection() const
    {
        std::vector<int> selected;
        for (int n = 0; n < m_strip->GetTileCount(); ++n)
            if (m_strip->IsItemSelected(n))
                selected.push_back(n);
        return selected;
    }

    kxtest::RecordingLog m_log;
    std::vector<std::unique_ptr<CDvd>> m_dvds;
    kxtest::AngleDisc m_angleDisc;
    std::unique_ptr<CVobData> m_angleSet;
    std::unique_ptr<CVts> m_angleVts;
    std::vector<CAngleBlock*> m_blocks;
    CFont m_font;
    HWND m_hHost = nullptr;
    std::unique_ptr<CAngleBlockListExView> m_strip;
};

#define REQUIRE_BLOCKS(fixture)                                                                                        \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!AddTitleBlocks(fixture))                                                                                  \
            GTEST_SKIP() << kxtest::MissingFixtureMessage(fixture);                                                    \
    } while (false)

TEST_F(AngleBlockListExViewTest, AnEmptyStripHasSmallTilesAndIgnoresKeys)
{
    MakeStrip(400, 120);
    m_strip->SetBlocks(nullptr, nullptr);
    Pump();
    const CTileStrip strip = m_strip->GetStrip();
    EXPECT_EQ(strip.nTiles, 0);
    EXPECT_EQ(strip.nTileWidth, 66);
    EXPECT_EQ(strip.nTileHeight, 50);
    EXPECT_FALSE(m_strip->GetDlgItem(IDC_BLOCKLIST_HSCROLL)->IsWindowVisible());
    kxgui::Activate(m_hHost);
    m_strip->SetFocus();
    PressKey(VK_END);
    PressKey(VK_HOME);
    Pump();
    EXPECT_EQ(m_strip->GetCaretItem(), -1);
    EXPECT_TRUE(g_notices.empty());
}

// Clicks and keys through SendInput: the notices carry the tile and its
// VOBU, a right-click keeps a multiple selection, a refused click changes
// nothing.
TEST_F(AngleBlockListExViewTest, ClicksAndKeysSelectAndNotify)
{
    REQUIRE_BLOCKS("pal1");
    REQUIRE_BLOCKS("ntscmenu");
    REQUIRE_BLOCKS("twovts");
    ASSERT_GE(m_blocks.size(), 4u);
    MakeStrip(1000, 140);
    m_strip->SetBlocks(&m_blocks, nullptr);
    // Setting the blocks selects the first tile and says so.
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(int(g_notices[0].hdr.code), BLN_SELCHANGING);
    EXPECT_EQ(int(g_notices[1].hdr.code), BLN_SELCHANGED);
    EXPECT_EQ(g_notices[1].nItem, 0);
    EXPECT_EQ(g_notices[1].hdr.hwndFrom, m_strip->m_hWnd);
    ASSERT_TRUE(WaitForThumbnails());
    kxgui::Activate(m_hHost);

    g_notices.clear();
    kxgui::Click(m_strip->m_hWnd, TileCentre(1));
    Pump();
    EXPECT_EQ(Selection(), std::vector<int>({1}));
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(g_notices[0].nItem, 1);
    EXPECT_EQ(g_notices[1].nItem, 1);
    EXPECT_EQ(g_notices[1].nVobu, int32_t(m_strip->GetTile(1).nVobu));
    EXPECT_EQ(m_strip->GetHotItem(), 1);

    kxgui::InputScript().KeyDown(VK_CONTROL).Click(m_strip->m_hWnd, TileCentre(3)).KeyUp(VK_CONTROL).Send();
    Pump();
    EXPECT_EQ(Selection(), std::vector<int>({1, 3}));
    kxgui::InputScript().KeyDown(VK_SHIFT).Click(m_strip->m_hWnd, TileCentre(2)).KeyUp(VK_SHIFT).Send();
    Pump();
    EXPECT_EQ(Selection(), std::vector<int>({2, 3}));
    EXPECT_EQ(m_strip->GetAnchorItem(), 3);
    EXPECT_EQ(m_strip->GetCaretItem(), 2);

    // right-click on a selected tile keeps the selection, on another one
    // selects it alone
    kxgui::Click(m_strip->m_hWnd, TileCentre(3), true);
    Pump();
    EXPECT_EQ(Selection(), std::vector<int>({2, 3}));
    CloseMenu();
    kxgui::Click(m_strip->m_hWnd, TileCentre(0), true);
    Pump();
    EXPECT_EQ(Selection(), std::vector<int>({0}));
    CloseMenu();

    const int nLast = m_strip->GetTileCount() - 1;
    const struct
    {
        WORD vk;
        int caret;
    } keys[] = {{VK_END, nLast}, {VK_LEFT, nLast - 1}, {VK_UP, nLast - 2}, {VK_HOME, 0},
                {VK_UP, 0},      {VK_RIGHT, 1},        {VK_DOWN, 2}};
    for (const auto& key : keys)
    {
        PressKey(key.vk);
        EXPECT_EQ(m_strip->GetCaretItem(), key.caret) << key.vk;
        EXPECT_EQ(Selection(), std::vector<int>({key.caret})) << key.vk;
        EXPECT_EQ(m_strip->GetHotItem(), -1);
    }
    kxgui::InputScript().KeyDown(VK_CONTROL).Key('A').KeyUp(VK_CONTROL).Send();
    Pump();
    EXPECT_EQ(int(Selection().size()), m_strip->GetTileCount());

    // a host that refuses keeps everything
    g_nChangingAnswer = -1;
    g_notices.clear();
    kxgui::Click(m_strip->m_hWnd, TileCentre(1));
    PressKey(VK_END);
    EXPECT_EQ(int(Selection().size()), m_strip->GetTileCount());
    EXPECT_EQ(m_strip->GetCaretItem(), 2);
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(int(g_notices[0].hdr.code), BLN_SELCHANGING);
    EXPECT_EQ(int(g_notices[1].hdr.code), BLN_SELCHANGING);
}

// The scroll bar and the wheel move the strip; forward scrolling stops with
// the last tile first in view and the next layout pulls it back.
TEST_F(AngleBlockListExViewTest, ScrollingByBarAndWheel)
{
    REQUIRE_BLOCKS("pal1");
    REQUIRE_BLOCKS("ntscmenu");
    REQUIRE_BLOCKS("twovts");
    MakeStrip(400, 120);
    m_strip->SetBlocks(&m_blocks, nullptr);
    m_strip->StopThumbnails();
    CWnd* pBar = m_strip->GetDlgItem(IDC_BLOCKLIST_HSCROLL);
    ASSERT_TRUE(pBar->IsWindowVisible());
    const CTileStrip strip = m_strip->GetStrip();
    const int nTiles = strip.nTiles;
    const LPARAM bar = reinterpret_cast<LPARAM>(pBar->m_hWnd);
    m_strip->SendMessage(WM_HSCROLL, SB_LINEDOWN, bar);
    EXPECT_FLOAT_EQ(m_strip->GetFirstVisible(), 1.0f);
    m_strip->SendMessage(WM_HSCROLL, SB_BOTTOM, bar);
    EXPECT_FLOAT_EQ(m_strip->GetFirstVisible(), float(nTiles - 1));
    m_strip->SendMessage(WM_HSCROLL, SB_LINEDOWN, bar);
    m_strip->SendMessage(WM_HSCROLL, SB_PAGEDOWN, bar);
    EXPECT_FLOAT_EQ(m_strip->GetFirstVisible(), float(nTiles - 1));
    m_strip->OnLayout();
    EXPECT_FLOAT_EQ(m_strip->GetFirstVisible(), float(nTiles - 400.0 / strip.nTileWidth));
    m_strip->SendMessage(WM_HSCROLL, SB_TOP, bar);
    EXPECT_FLOAT_EQ(m_strip->GetFirstVisible(), 0.0f);

    // the wheel pages: towards the user forward, away back
    m_strip->PostMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
    Pump();
    EXPECT_FLOAT_EQ(m_strip->GetFirstVisible(), 400.0f / strip.nTileWidth);
    m_strip->PostMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(WHEEL_DELTA)), 0);
    Pump();
    EXPECT_FLOAT_EQ(m_strip->GetFirstVisible(), 0.0f);
}

// F6 hides the captions while it is held.
TEST_F(AngleBlockListExViewTest, CaptionsHideWhileF6IsHeld)
{
    REQUIRE_BLOCKS("pal1");
    MakeStrip(400, 150);
    m_strip->SetBlocks(&m_blocks, nullptr);
    ASSERT_TRUE(WaitForThumbnails());
    kxgui::Activate(m_hHost);
    m_strip->SetFocus();
    const CRect picture = m_strip->GetStrip().PictureRect(0);
    const RECT caption = {picture.left + 5, picture.top + 5, picture.left + 60, picture.top + 20};
    const COLORREF green = RGB(0, 128, 0);
    EXPECT_GT(kxgui::CaptureScreen(m_strip->m_hWnd).CountColor(green, caption), 50);
    kxgui::InputScript().KeyDown(VK_F6).Send();
    Pump();
    EXPECT_EQ(kxgui::CaptureScreen(m_strip->m_hWnd).CountColor(green, caption), 0);
    kxgui::InputScript().KeyUp(VK_F6).Send();
    Pump();
    EXPECT_GT(kxgui::CaptureScreen(m_strip->m_hWnd).CountColor(green, caption), 50);
}

// A refresh with the strip's own state keeps the scroll position and the
// selection; the thread is paused before the records change.
TEST_F(AngleBlockListExViewTest, ARefreshKeepsTheViewState)
{
    REQUIRE_BLOCKS("pal1");
    REQUIRE_BLOCKS("ntscmenu");
    REQUIRE_BLOCKS("twovts");
    MakeStrip(300, 120);
    m_strip->SetBlocks(&m_blocks, nullptr);
    ASSERT_TRUE(m_strip->GetDlgItem(IDC_BLOCKLIST_HSCROLL)->IsWindowVisible());
    kxgui::Activate(m_hHost);
    m_strip->SetFocus();
    PressKey(VK_END);
    kxgui::InputScript().KeyDown(VK_SHIFT).Key(VK_LEFT).KeyUp(VK_SHIFT).Send();
    Pump();
    const CAngleBlockListExView::ViewState state = m_strip->GetViewState();
    EXPECT_GT(state.fFirstVisible, 0.0f);
    const int nLast = m_strip->GetTileCount() - 1;
    EXPECT_EQ(state.positions, std::vector<int32_t>({nLast, nLast - 1, nLast - 1, nLast}));

    // refreshed while the thread decodes
    m_strip->SetBlocks(&m_blocks, &state);
    EXPECT_EQ(m_strip->GetViewState(), state);
    EXPECT_EQ(m_strip->GetFirstVisible(), state.fFirstVisible);
    m_strip->SelectAll();
    EXPECT_NE(m_strip->GetViewState(), state);
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_TRUE(m_strip->GetTile(0).thumbnail.IsValid());
}

// Refreshes, pauses and destruction while thumbnails are made.
TEST_F(AngleBlockListExViewTest, RefreshStopAndDestroyWhileDecoding)
{
    REQUIRE_BLOCKS("pal1");
    REQUIRE_BLOCKS("twovts");
    for (int round = 0; round < 12; ++round)
    {
        MakeStrip(500, 100);
        for (int n = 0; n <= round % 4; ++n)
        {
            m_strip->SetBlocks(&m_blocks, nullptr);
            Pump();
            if (n % 2 == 1)
            {
                m_strip->StopThumbnails();
                EXPECT_FALSE(m_strip->IsThumbnailPassActive());
            }
        }
        if (round % 3 == 0)
            m_strip->DestroyWindow();
        m_strip.reset();
        ::DestroyWindow(m_hHost);
        m_hHost = nullptr;
        Pump();
    }
    // A paused pass leaves the tile it worked on searching; the next one
    // finishes it.
    MakeStrip(500, 100);
    m_strip->SetBlocks(&m_blocks, nullptr);
    m_strip->StopThumbnails();
    EXPECT_FALSE(AllDone());
    m_strip->SetBlocks(&m_blocks, nullptr);
    EXPECT_TRUE(WaitForThumbnails());
}

// The strip as it shows: thumbnails, captions on their green ground, a
// multiple selection in red, the hot tile inverted, and tiles still
// searching.
TEST_F(AngleBlockListExViewTest, Painting)
{
    if (kxtest::FixtureDir("pal1").empty())
        GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
    CAngleBlock* pAngleBlock = AddAngleBlock();
    ASSERT_NE(pAngleBlock, nullptr) << m_log.Dump();
    REQUIRE_BLOCKS("pal1");
    REQUIRE_BLOCKS("ntscmenu");
    MakeStrip(860, 150);
    m_strip->SetBlocks(&m_blocks, nullptr);
    ASSERT_TRUE(WaitForThumbnails());
    kxgui::Activate(m_hHost);
    kxgui::InputScript()
        .Click(m_strip->m_hWnd, TileCentre(1))
        .KeyDown(VK_CONTROL)
        .Click(m_strip->m_hWnd, TileCentre(2))
        .KeyUp(VK_CONTROL)
        .MoveTo(m_strip->m_hWnd, TileCentre(0))
        .Send();
    Pump();
    ASSERT_EQ(Selection(), std::vector<int>({1, 2}));
    ASSERT_EQ(m_strip->GetHotItem(), 0);
    kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_strip->m_hWnd);
    ASSERT_FALSE(shot.IsEmpty());
    kxgui::SaveArtifact(shot, "block_strip_horizontal.png");
    const CTileStrip strip = m_strip->GetStrip();
    for (int n = 0; n < 3; ++n)
    {
        CRect picture = strip.PictureRect(n);
        SCOPED_TRACE(n);
        // the caption's ground at the top left
        EXPECT_GT(
            shot.CountColor(RGB(0, 128, 0), {picture.left + 5, picture.top + 5, picture.left + 60, picture.top + 20}),
            50);
        // the selection frame around the picture
        EXPECT_EQ(shot.CountColor(RGB(255, 0, 0), {picture.left - 2, picture.top - 2, picture.right + 2, picture.top}) >
                      0,
                  n != 0);
    }
    // The first tile is the angle block: its caption says so.
    EXPECT_NE(FormatTileCaption(GetTileCaptionFacts(*pAngleBlock)).Find("ILVU   MA"), -1);

    // Stacked, and then refreshed and paused before any thumbnail is made.
    m_strip.reset();
    ::DestroyWindow(m_hHost);
    MakeStrip(230, 520);
    m_strip->SetBlocks(&m_blocks, nullptr);
    ASSERT_TRUE(WaitForThumbnails());
    EXPECT_TRUE(m_strip->GetStrip().bVertical);
    shot = kxgui::CaptureScreen(m_strip->m_hWnd);
    kxgui::SaveArtifact(shot, "block_strip_vertical.png");
    EXPECT_GT(shot.CountColor(RGB(0, 128, 0), {0, 0, shot.width, shot.height}), 200);

    m_strip->SetBlocks(&m_blocks, nullptr);
    m_strip->StopThumbnails();
    m_strip->PaintBackground();
    m_strip->Invalidate();
    Pump();
    shot = kxgui::CaptureScreen(m_strip->m_hWnd);
    kxgui::SaveArtifact(shot, "block_strip_searching.png");
    // The thread starts at the first tile in view, so the second one waits:
    // "searching..." in white on the grey ground.
    ASSERT_FALSE(m_strip->GetTile(1).bDone);
    const CRect searching = m_strip->GetStrip().PictureRect(1) & CRect(0, 0, shot.width, shot.height);
    EXPECT_GT(shot.CountColor(RGB(80, 80, 80), searching), 100);
    EXPECT_GT(shot.CountColor(RGB(255, 255, 255), searching), 10);
}

// The document's part for the edit tests: a revision per begin notice.
class Revisions : public CDvdObserver
{
public:
    void OnChange(const CDvdChange& change) override
    {
        if (change.nKind == DVDCHANGE_ACTION)
        {
            actions.push_back(LPCSTR(change.strAction));
            list->BeginAction(change, 10);
        }
    }
    CRevisionList* list = nullptr;
    std::vector<std::string> actions;
};

// The context menu on a right-button release, its entries and enabling
// read from the menu, an entry chosen with the keyboard, and the edit keys:
// each command one revision.
TEST_F(AngleBlockListExViewTest, ContextMenuAndEditCommands)
{
    if (kxtest::FixtureDir("pal1").empty())
        GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
    CreateStockCells();
    Revisions revisions;
    CRevisionList list(&revisions);
    revisions.list = &list;
    ASSERT_TRUE(list.GetCurrentDvd().Read(m_log, kxtest::FixturePath("pal1", "VIDEO_TS").c_str(), nullptr));
    CAngleBlockList& titles = list.GetCurrentDvd().GetVts(0)->GetTitleDomain();
    for (uint32_t i = 0; i < titles.GetBlockCount(); ++i)
        m_blocks.push_back(titles.GetBlock(i));
    ASSERT_GE(m_blocks.size(), 3u);
    MakeStrip(700, 140);
    m_strip->SetBlocks(&m_blocks, nullptr);
    m_strip->StopThumbnails();
    kxgui::Activate(m_hHost);

    const struct
    {
        std::vector<int> tiles;
        std::vector<bool> enabled; // hide, before, after, restore, convert, select all
    } menus[] = {
        {{0}, {true, false, true, false, true, true}},
        {{int(m_blocks.size()) - 1}, {true, true, false, false, true, true}},
        {{0, 1}, {true, false, false, false, true, true}},
    };
    for (const auto& m : menus)
    {
        kxgui::Click(m_strip->m_hWnd, TileCentre(m.tiles[0]));
        for (size_t n = 1; n < m.tiles.size(); ++n)
            kxgui::InputScript()
                .KeyDown(VK_CONTROL)
                .Click(m_strip->m_hWnd, TileCentre(m.tiles[n]))
                .KeyUp(VK_CONTROL)
                .Send();
        kxgui::Click(m_strip->m_hWnd, TileCentre(m.tiles[0]), true);
        Pump();
        CExtPopupMenuWnd* pMenu = CExtPopupMenuWnd::GetTracker().GetTopPopup();
        ASSERT_NE(pMenu, nullptr);
        ASSERT_EQ(pMenu->ItemGetCount(), 9);
        const int items[] = {0, 1, 2, 4, 6, 8};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(pMenu->ItemIsEnabled(items[i]), bool(m.enabled[size_t(i)])) << m.tiles.size() << " " << i;
        EXPECT_STREQ(pMenu->ItemGetText(1), "Hide blocks &before this");
        EXPECT_STREQ(pMenu->ItemGetAccelText(2), "Ctrl+Shift+>");
        if (&m == &menus[0])
            kxgui::SaveArtifact(kxgui::CaptureScreen(pMenu->GetSafeHwnd(), false), "block_strip_menu.png");
        CloseMenu();
    }

    // the tiles 0 and 1 are selected: one hide for both
    kxgui::InputScript().KeyDown(VK_CONTROL).Key('H').KeyUp(VK_CONTROL).Send();
    Pump();
    EXPECT_EQ(revisions.actions, std::vector<std::string>({"hide block(s)"}));
    EXPECT_TRUE(m_blocks[0]->GetIlvu(0)->IsStock());
    EXPECT_TRUE(m_blocks[1]->GetIlvu(0)->IsStock());
    EXPECT_EQ(::GetFocus(), m_strip->m_hWnd);

    kxgui::Click(m_strip->m_hWnd, TileCentre(2));
    Pump();
    kxgui::InputScript().KeyDown(VK_CONTROL).KeyDown(VK_SHIFT).Key('Z').KeyUp(VK_SHIFT).KeyUp(VK_CONTROL).Send();
    Pump();
    EXPECT_EQ(revisions.actions.size(), 1u) << "nothing to restore";
    kxgui::InputScript()
        .KeyDown(VK_CONTROL)
        .KeyDown(VK_SHIFT)
        .Key(VK_OEM_COMMA)
        .KeyUp(VK_SHIFT)
        .KeyUp(VK_CONTROL)
        .Send();
    Pump();
    EXPECT_EQ(revisions.actions.back(), "hide blocks before");
    EXPECT_EQ(list.GetSize(), 3);
    m_strip.reset();
}

} // namespace
