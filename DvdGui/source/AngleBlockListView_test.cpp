// The popups' strip under Wine on fixture discs held in a revision list:
// tile sizes, the selection notice, pictures decoded while painting, the
// edit keys of an editable strip (one revision each) and of a read-only one
// (nothing), and its context menu.
#include "DvdGui/source/AngleBlockListView.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DvdGui/core/RevisionList.h"
#include "VDS/source/Idct.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

const UINT kStripId = 1068;
std::vector<NMBLOCKLIST> g_notices;

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && wParam == kStripId)
    {
        const NMBLOCKLIST* pNotice = reinterpret_cast<const NMBLOCKLIST*>(lParam);
        if (int(pNotice->hdr.code) == ABLN_SELCHANGED)
            g_notices.push_back(*pNotice);
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

// The document's part: a revision per begin notice.
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

class AngleBlockListViewTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CreateStockCells(); }
    void SetUp() override
    {
        InitRefIdct();
        g_pfnIdct = RefIdct;
        g_notices.clear();
        m_revisions.list = &m_list;
    }
    void TearDown() override
    {
        m_strip.reset();
        if (m_hHost != nullptr)
            ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        PurgeUnusedVobData();
        AfxDeleteTempMaps();
    }

    bool Import(const char* fixture)
    {
        if (kxtest::FixtureDir(fixture).empty())
            return false;
        kxtest::RecordingLog log;
        if (!m_list.GetCurrentDvd().Read(log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr))
            return false;
        CAngleBlockList& titles = m_list.GetCurrentDvd().GetVts(0)->GetTitleDomain();
        for (uint32_t i = 0; i < titles.GetBlockCount(); ++i)
            m_blocks.push_back(titles.GetBlock(i));
        return true;
    }

    void MakeStrip(bool bReadOnly, int width = 600, int height = 150)
    {
        m_hHost = kxgui::CreateTestWindow(width, height, "Simple strip", HostProc);
        ASSERT_NE(m_hHost, nullptr);
        m_strip = std::make_unique<CAngleBlockListView>(bReadOnly, true);
        ASSERT_TRUE(m_strip->Create("LV", WS_CHILD | WS_VISIBLE, CRect(0, 0, width, height), CWnd::FromHandle(m_hHost),
                                    kStripId));
        kxgui::PumpUntilIdle();
    }

    void Pump()
    {
        kxgui::PumpUntilIdle([](MSG& msg) { return CWnd::WalkPreTranslateTree(nullptr, &msg) != FALSE; });
    }

    // A key with modifiers, sent as the user types it.
    void Chord(WORD vk, bool bShift)
    {
        kxgui::InputScript script;
        script.KeyDown(VK_CONTROL);
        if (bShift)
            script.KeyDown(VK_SHIFT);
        script.Key(vk);
        if (bShift)
            script.KeyUp(VK_SHIFT);
        script.KeyUp(VK_CONTROL).Send();
        Pump();
    }

    // A key sent as the user types it, then the strip's pre-translation.
    void Key(WORD vk)
    {
        kxgui::InputScript().Key(vk).Send();
        Pump();
    }

    CPoint TileCentre(int n) const { return m_strip->GetStrip().PictureRect(n).CenterPoint(); }

    Revisions m_revisions;
    CRevisionList m_list{&m_revisions};
    std::vector<CAngleBlock*> m_blocks;
    HWND m_hHost = nullptr;
    std::unique_ptr<CAngleBlockListView> m_strip;
};

TEST_F(AngleBlockListViewTest, AnEmptyStripSendsNothing)
{
    MakeStrip(false);
    m_strip->SetBlocks(nullptr, nullptr);
    Pump();
    EXPECT_EQ(m_strip->GetStrip().nTileHeight, 80);
    EXPECT_EQ(m_strip->GetStrip().nTileWidth, 106);
    EXPECT_EQ(m_strip->GetSelectedBlock(), nullptr);
    kxgui::Activate(m_hHost);
    m_strip->SetFocus();
    Key(VK_END);
    Chord('H', false);
    Pump();
    EXPECT_TRUE(g_notices.empty());
    EXPECT_EQ(CAngleBlockListView::GetPreferredHeight(), ::GetSystemMetrics(SM_CYHSCROLL) + 120);
}

// Selection by clicks and keys, each change noticed once; the pictures are
// decoded while painting; a read-only strip ignores the edit keys and has
// no menu.
TEST_F(AngleBlockListViewTest, SelectionPicturesAndReadOnlyKeys)
{
    if (!Import("pal1"))
        GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
    ASSERT_GE(m_blocks.size(), 3u);
    MakeStrip(true);
    m_strip->SetBlocks(&m_blocks, nullptr);
    Pump();
    ASSERT_EQ(g_notices.size(), 1u);
    EXPECT_EQ(g_notices[0].nItem, 0);
    EXPECT_EQ(g_notices[0].hdr.hwndFrom, m_strip->m_hWnd);
    EXPECT_TRUE(m_strip->GetItem(0).picture.IsValid());
    EXPECT_GE(m_strip->GetStrip().nTileHeight, 80);

    kxgui::Activate(m_hHost);
    kxgui::Click(m_strip->m_hWnd, TileCentre(0));
    Pump();
    EXPECT_EQ(g_notices.size(), 1u) << "the selected tile again";
    kxgui::Click(m_strip->m_hWnd, TileCentre(1));
    Pump();
    ASSERT_EQ(g_notices.size(), 2u);
    EXPECT_EQ(g_notices[1].nItem, 1);
    Key(VK_RIGHT);
    Pump();
    EXPECT_EQ(m_strip->GetSelectedItem(), 2);
    Key(VK_HOME);
    Key(VK_LEFT);
    Pump();
    EXPECT_EQ(m_strip->GetSelectedItem(), 0);
    Key(VK_RIGHT);
    Pump();

    kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_strip->m_hWnd);
    kxgui::SaveArtifact(shot, "simple_strip.png");
    const CRect caption = m_strip->GetStrip().PictureRect(0);
    EXPECT_GT(shot.CountColor(RGB(0, 128, 0), {caption.left + 5, caption.top + 5, caption.left + 60, caption.top + 20}),
              30);

    Chord('H', false);
    Chord('Z', true);
    Chord(VK_OEM_COMMA, true);
    Chord(VK_OEM_PERIOD, true);
    kxgui::Click(m_strip->m_hWnd, TileCentre(1), true);
    Pump();
    EXPECT_EQ(CExtPopupMenuWnd::GetTracker().GetTopPopup(), nullptr);
    EXPECT_TRUE(m_revisions.actions.empty());
    for (CAngleBlock* pBlock : m_blocks)
        EXPECT_FALSE(pBlock->GetIlvu(0)->IsStock());
}

// An editable strip: each edit key makes one revision; the restore key on a
// block that cannot be restored makes none; the menu offers restore once the
// block can be restored.
TEST_F(AngleBlockListViewTest, EditKeysAndMenu)
{
    if (!Import("pal1"))
        GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
    ASSERT_GE(m_blocks.size(), 3u);
    MakeStrip(false);
    m_strip->SetBlocks(&m_blocks, nullptr);
    kxgui::Activate(m_hHost);
    kxgui::Click(m_strip->m_hWnd, TileCentre(1));
    Pump();
    Chord('Z', true);
    EXPECT_TRUE(m_revisions.actions.empty());
    Chord('H', false);
    EXPECT_EQ(m_revisions.actions, std::vector<std::string>({"hide block"}));
    EXPECT_TRUE(m_blocks[1]->GetIlvu(0)->IsStock());

    kxgui::Click(m_strip->m_hWnd, TileCentre(1), true);
    Pump();
    CExtPopupMenuWnd* pMenu = CExtPopupMenuWnd::GetTracker().GetTopPopup();
    ASSERT_NE(pMenu, nullptr);
    ASSERT_EQ(pMenu->ItemGetCount(), 5);
    EXPECT_STREQ(pMenu->ItemGetText(4), "Rest&ore block");
    EXPECT_STREQ(pMenu->ItemGetAccelText(4), "Ctrl+Shift+Z");
    EXPECT_TRUE(pMenu->ItemIsEnabled(4));
    for (int n = 0; n < 3 && CExtPopupMenuWnd::GetTracker().GetTopPopup() != nullptr; ++n)
    {
        kxgui::PressKey(VK_ESCAPE);
        Pump();
    }
    Chord('Z', true);
    EXPECT_EQ(m_revisions.actions, std::vector<std::string>({"hide block", "restore block"}));
    EXPECT_FALSE(m_blocks[1]->GetIlvu(0)->IsStock());

    Chord(VK_OEM_PERIOD, true);
    EXPECT_EQ(m_revisions.actions.back(), "hide blocks after");
    EXPECT_EQ(m_list.GetSize(), 4);
    ASSERT_TRUE(m_list.Undo());
}

} // namespace
