// The content panes of a project window under Wine on two small fixture
// discs: what each node of the disc tree shows, where the panes sit, how
// the panes' selections reach the cell view and its preview, and that an
// edit's begin notice halts everything that reads the shown blocks.
#include "DvdGui/source/ContentPanesWnd.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DvdGui/source/Resource.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

const char kSettingsPath[] = "Software\\Brannwick\\Kestrelux\\Settings";

class ContentPanesTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_pal1 = Read("pal1");
        s_menu = Read("ntscmenu");
    }
    static void TearDownTestSuite()
    {
        s_pal1.reset();
        s_menu.reset();
        PurgeUnusedVobData();
    }
    static std::unique_ptr<CDvd> Read(const char* fixture)
    {
        auto pDvd = std::make_unique<CDvd>();
        kxtest::RecordingLog log;
        if (!pDvd->Read(log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr))
            pDvd.reset();
        return pDvd;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_pal1 && s_menu) << "the fixture discs read";
        m_app.SetRegistryKey("Brannwick");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
        HWND hHost = kxgui::CreateTestWindow(720, 520, "Content panes");
        ASSERT_NE(hHost, nullptr);
        m_host.Attach(hHost);
        m_app.m_pMainWnd = &m_host;
        m_panes = std::make_unique<CContentPanesWnd>();
        ASSERT_TRUE(m_panes->Create("IV", WS_CHILD | WS_VISIBLE, CRect(0, 0, 720, 520), &m_host, IDC_CONTENT_PANES));
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        m_panes.reset();
        m_app.m_pMainWnd = nullptr;
        ::DestroyWindow(m_host.Detach());
        kxgui::PumpUntilIdle();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
        AfxDeleteTempMaps();
    }

    void Show(CDvdObject* pNode)
    {
        m_panes->ShowNode(pNode, 0);
        kxgui::PumpUntilIdle();
    }
    CDomainContentWnd& Content() { return m_panes->GetDomainContent(); }
    std::vector<CAngleBlock*> StripBlocks()
    {
        std::vector<CAngleBlock*> blocks;
        for (int i = 0; i < Content().GetStrip().GetTileCount(); ++i)
            blocks.push_back(Content().GetStrip().GetTile(i).pBlock);
        return blocks;
    }
    static std::vector<CAngleBlock*> BlocksOf(const CAngleBlockList& domain)
    {
        std::vector<CAngleBlock*> blocks;
        for (uint32_t i = 0; i < domain.GetBlockCount(); ++i)
            blocks.push_back(domain.GetBlock(i));
        return blocks;
    }
    CRect RectIn(CWnd& wnd, CWnd& parent)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        parent.ScreenToClient(&rc);
        return rc;
    }

    static std::unique_ptr<CDvd> s_pal1;
    static std::unique_ptr<CDvd> s_menu;
    CWinApp m_app{"Kestrelux"};
    CWnd m_host;
    std::unique_ptr<CContentPanesWnd> m_panes;
};

std::unique_ptr<CDvd> ContentPanesTest::s_pal1;
std::unique_ptr<CDvd> ContentPanesTest::s_menu;

TEST_F(ContentPanesTest, EachNodeShowsItsBlocksOrTheLogo)
{
    CDvd& dvd = *s_menu;
    CVts& vts = *dvd.GetVts(0);
    CLanguageUnit* pFrench = vts.GetLanguageUnits().GetUnit(1);
    ASSERT_NE(pFrench, nullptr);
    CBlockIndex used;
    pFrench->GetUsedBlocks(used);
    const std::vector<CAngleBlock*> usedBlocks(used.GetData(), used.GetData() + used.GetSize());
    ASSERT_FALSE(usedBlocks.empty());
    ASSERT_LT(usedBlocks.size(), size_t(vts.GetMenuDomain().GetBlockCount()))
        << "a language unit plays only part of its domain";

    struct Case
    {
        const char* what;
        CDvdObject* pNode;
        bool bDomain;
        std::vector<CAngleBlock*> blocks;
    };
    const Case cases[] = {
        {"the disc", &dvd, false, {}},
        {"the Video Manager", &dvd.GetVmg(), true, BlocksOf(dvd.GetVmg().GetMenuDomain())},
        {"a title set", &vts, true, BlocksOf(vts.GetTitleDomain())},
        {"a menu language unit", pFrench, true, usedBlocks},
        {"the language units", &vts.GetLanguageUnits(), false, {}},
        {"nothing", nullptr, false, {}},
    };
    for (const Case& c : cases)
    {
        Show(c.pNode);
        EXPECT_EQ(m_panes->IsDomainShown(), c.bDomain) << c.what;
        EXPECT_EQ(m_panes->GetLogo().IsWindowVisible() != FALSE, !c.bDomain) << c.what;
        EXPECT_EQ(m_panes->GetPaneArea().IsWindowVisible() != FALSE, c.bDomain) << c.what;
        EXPECT_EQ(StripBlocks(), c.blocks) << c.what;
        EXPECT_EQ(Content().GetCellView().GetBlock(), c.blocks.empty() ? nullptr : c.blocks.front()) << c.what;
    }
}

TEST_F(ContentPanesTest, ThePanesSitAtTheirDefaultPlaces)
{
    Show(s_menu->GetVts(0));
    CPaneAreaWnd& area = m_panes->GetPaneArea();
    ASSERT_EQ(area.GetPaneCount(), 4);
    const char* const titles[] = {"Domain Content", "Video", "SubPicture Tracks", "Audio Tracks"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(area.GetPane(i)->title, titles[i]);
    EXPECT_EQ(area.GetPane(Content().GetStripPane())->bar, Content().GetStrip().GetParent());
    EXPECT_EQ(area.GetPane(Content().GetAudioPane())->bar, Content().GetAudioTracks().GetParent());

    EXPECT_EQ(RectIn(*area.GetPane(0)->bar, area), CRect(0, 0, 720, 180)) << "the strip along the top";
    CWnd* pTabs = area.GetGroupTabs(Content().GetVideoPane());
    ASSERT_NE(pTabs, nullptr);
    EXPECT_EQ(pTabs, area.GetGroupTabs(Content().GetAudioPane()));
    EXPECT_EQ(RectIn(*pTabs, area), CRect(520, 180, 720, 520)) << "the group on the right";
    EXPECT_EQ(pTabs->SendMessage(TCM_GETITEMCOUNT), 3);
    EXPECT_EQ(RectIn(Content(), area), CRect(0, 180, 520, 520)) << "the domain content in the rest";
    EXPECT_EQ(RectIn(Content().GetCellView(), Content()), CRect(0, 0, 520, 340));

    // the video tab first, the others behind it until chosen
    EXPECT_TRUE(Content().GetVideoInfo().IsWindowVisible());
    EXPECT_FALSE(Content().GetAudioTracks().IsWindowVisible());
    area.ShowGroupPage(Content().GetAudioPane());
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(Content().GetAudioTracks().IsWindowVisible());
    EXPECT_FALSE(Content().GetVideoInfo().IsWindowVisible());
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_host.m_hWnd), "content_panes_title_set.png");
}

TEST_F(ContentPanesTest, ADomainWithoutBlocksEmptiesEveryPane)
{
    ASSERT_EQ(s_pal1->GetVmg().GetMenuDomain().GetBlockCount(), 0u);
    Show(s_pal1->GetVts(0));
    ASSERT_GT(Content().GetStrip().GetTileCount(), 0);
    ASSERT_GT(Content().GetAudioTracks().GetList().GetItemCount(), 0);
    ASSERT_GT(Content().GetVideoInfo().GetList().GetItemCount(), 0);

    Show(&s_pal1->GetVmg());
    EXPECT_TRUE(m_panes->IsDomainShown());
    EXPECT_EQ(Content().GetStrip().GetTileCount(), 0);
    EXPECT_EQ(Content().GetCellView().GetBlock(), nullptr);
    EXPECT_EQ(Content().GetAudioTracks().GetList().GetItemCount(), 0);
    EXPECT_EQ(Content().GetSubpictureTracks().GetList().GetItemCount(), 0);
    EXPECT_EQ(Content().GetVideoInfo().GetList().GetItemCount(), 0);
}

TEST_F(ContentPanesTest, TheStripSelectionGoesToTheCellViewAndBeyondTheBlocksClearsIt)
{
    CAngleBlockList& domain = s_menu->GetVts(0)->GetTitleDomain();
    ASSERT_GE(domain.GetBlockCount(), 2u);
    Show(s_menu->GetVts(0));
    const int nLastVobu = int(domain.GetBlock(1)->GetIlvu(0)->GetVobuCount()) - 1;
    struct Case
    {
        int nItem;
        int nVobu;
        CAngleBlock* pExpected;
    };
    const Case cases[] = {
        {1, 0x10000 + nLastVobu, domain.GetBlock(1)},
        {int(domain.GetBlockCount()), 0, nullptr},
        {-1, 0, nullptr},
    };
    for (const Case& c : cases)
    {
        NMBLOCKLIST record = {};
        record.hdr.hwndFrom = Content().GetStrip().m_hWnd;
        record.hdr.idFrom = IDC_DOMAIN_STRIP;
        record.hdr.code = UINT(BLN_SELCHANGED);
        record.nItem = c.nItem;
        record.nVobu = c.nVobu;
        Content().SendMessage(WM_NOTIFY, IDC_DOMAIN_STRIP, reinterpret_cast<LPARAM>(&record));
        EXPECT_EQ(Content().GetCellView().GetBlock(), c.pExpected) << c.nItem;
    }
}

TEST_F(ContentPanesTest, ChoosingATrackMakesThePreviewPlayItsStream)
{
    Show(s_pal1->GetVts(0));
    CCellPreviewWnd& preview = Content().GetCellView().GetPreview();

    // the second audio track's first stream row, chosen in the list
    CTreeListCtrl& audio = Content().GetAudioTracks().GetList();
    CTreeListItem* pSecond = audio.GetFirstItem() != nullptr ? audio.GetFirstItem()->m_pNext : nullptr;
    ASSERT_NE(pSecond, nullptr) << "pal1 has two audio tracks";
    audio.SelectItem(pSecond, 0, false, false);
    kxgui::PumpUntilIdle();
    const CTrackListLocation chosenAudio = Content().GetAudioTracks().GetLocation();
    EXPECT_EQ(chosenAudio.track, 1);
    const CPreviewState afterAudio = preview.GetState();
    EXPECT_EQ(afterAudio.dwAudioValue, 1u) << "the track";
    EXPECT_NE(afterAudio.audio[0], 0) << "a stream of the track";

    CTreeListCtrl& subpictures = Content().GetSubpictureTracks().GetList();
    ASSERT_NE(subpictures.GetFirstItem(), nullptr) << "pal1 has a sub-picture track";
    CTreeListItem* pStream = subpictures.GetFirstItem()->m_pChild;
    ASSERT_NE(pStream, nullptr);
    subpictures.SelectItem(pStream, 0, false, false);
    kxgui::PumpUntilIdle();
    const CPreviewState afterSubpicture = preview.GetState();
    EXPECT_EQ(afterSubpicture.dwSubpictureValue, 0u) << "the track";
    EXPECT_EQ(afterSubpicture.nSubpicture, Content().GetSubpictureTracks().GetLocation().stream);
    EXPECT_GE(afterSubpicture.nSubpicture, 0);
}

TEST_F(ContentPanesTest, TheBeginOfAnEditHaltsThumbnailsPlaybackAndPolling)
{
    Show(s_pal1->GetVts(0));
    CCellPreviewWnd& preview = Content().GetCellView().GetPreview();
    ASSERT_NE(preview.GetUnit(), nullptr);

    m_panes->OnActionBegun();
    EXPECT_FALSE(Content().GetStrip().IsThumbnailPassActive());
    EXPECT_FALSE(preview.IsPlayerOpen());
    EXPECT_FALSE(preview.IsPlaying());

    // the refill after the edit starts everything again
    Show(s_pal1->GetVts(0));
    EXPECT_EQ(preview.GetUnit(), s_pal1->GetVts(0)->GetTitleDomain().GetBlock(0)->GetIlvu(0));
}

} // namespace
