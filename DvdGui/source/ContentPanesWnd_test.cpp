// The content panes of a project window under Wine on two small fixture
// discs: what each node of the disc tree shows, where the panes sit by
// default, that a finished pane drag is stored for the next project window
// and a reset brings the default places back, layout files, how the panes'
// selections reach the cell view and its preview, and that an edit's begin
// notice halts everything that reads the shown blocks.
#include "DvdGui/source/ContentPanesWnd.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DvdGui/source/Resource.h"
#include "framework/core/CMemFile.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{

const char kSettingsPath[] = "Software\\Brannwick\\Kestrelux\\Settings";
const char kProfile[] = "CFRMPRGR0";

bool ProfileStored()
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, CMyExtBarHostFrame::MakeProfilePath(kProfile), 0, KEY_READ, &hKey) !=
        ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

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
        CMyExtBarHostFrame::DeleteProfile(kProfile);
        CExtControlBar::g_nDockingStyle = 0;
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
        CMyExtBarHostFrame::DeleteProfile(kProfile);
        CExtControlBar::g_nDockingStyle = -1;
        AfxDeleteTempMaps();
    }

    void Show(CDvdObject* pNode)
    {
        m_panes->ShowNode(pNode, 0);
        kxgui::PumpUntilIdle();
    }
    CDomainContentWnd& Content() { return m_panes->GetDomainContent(); }
    CMyExtBarHostFrame& Frame() { return *m_panes->GetHostFrame(); }
    CExtControlBar& Bar(int nPane) { return *Frame().GetPaneBar(nPane); }
    std::string Layout(CContentPanesWnd& panes)
    {
        panes.GetHostFrame()->RecalcLayout();
        kxgui::PumpUntilIdle();
        return DumpDockLayout(panes.GetHostFrame());
    }
    // The strip's default place: alone in the top row.
    bool StripAtTop() { return Bar(Content().GetStripPane()).IsDockedAtTop(); }
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
        EXPECT_EQ(Frame().IsWindowVisible() != FALSE, c.bDomain) << c.what;
        EXPECT_EQ(StripBlocks(), c.blocks) << c.what;
        EXPECT_EQ(Content().GetCellView().GetBlock(), c.blocks.empty() ? nullptr : c.blocks.front()) << c.what;
    }
}

TEST_F(ContentPanesTest, ThePanesSitAtTheirDefaultPlaces)
{
    Show(s_menu->GetVts(0));
    CMyExtBarHostFrame& frame = Frame();
    ASSERT_EQ(frame.GetPaneCount(), 4);
    const char* const titles[] = {"Domain Content", "Video", "SubPicture Tracks", "Audio Tracks"};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(frame.GetPane(i)->title, titles[i]);
        EXPECT_EQ(Bar(i).GetDlgCtrlID(), 3224 + i);
    }
    EXPECT_EQ(&Bar(Content().GetStripPane()), Content().GetStrip().GetParent());
    EXPECT_EQ(&Bar(Content().GetAudioPane()), Content().GetAudioTracks().GetParent());

    CRect rcFrame;
    frame.GetClientRect(&rcFrame);
    const CRect rcStrip = RectIn(Bar(Content().GetStripPane()), frame);
    EXPECT_TRUE(StripAtTop());
    EXPECT_EQ(rcStrip.top, 0);
    EXPECT_EQ(rcStrip.Width(), rcFrame.Width()) << "the strip along the whole top";
    EXPECT_EQ(rcStrip.Height(), 180);

    // one tab group on the right, the video pane its first and shown page
    CExtDynTabControlBar* pGroup = Bar(Content().GetVideoPane()).GetTabbedContainer();
    ASSERT_NE(pGroup, nullptr);
    EXPECT_EQ(Bar(Content().GetSubpicturePane()).GetTabbedContainer(), pGroup);
    EXPECT_EQ(Bar(Content().GetAudioPane()).GetTabbedContainer(), pGroup);
    EXPECT_TRUE(pGroup->IsDockedAtRight());
    EXPECT_EQ(pGroup->m_wndTabs.GetItemCount(), 3);
    EXPECT_EQ(pGroup->m_wndTabs.GetBarAt(0, true), &Bar(Content().GetVideoPane()));
    EXPECT_EQ(pGroup->GetSelectedPage(), &Bar(Content().GetVideoPane()));

    const CRect rcGroup = RectIn(*pGroup, frame);
    const CRect rcContent = RectIn(Content(), frame);
    EXPECT_EQ(rcGroup.right, rcFrame.right);
    EXPECT_GE(rcGroup.top, rcStrip.bottom);
    EXPECT_EQ(rcContent.top, rcStrip.bottom) << "the domain content in the rest";
    EXPECT_EQ(rcContent.right, rcGroup.left);
    EXPECT_EQ(rcContent.left, 0);
    EXPECT_EQ(rcContent.bottom, rcFrame.bottom);
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_host.m_hWnd), "content_panes_title_set.png");

    // a pane that takes the focus brings its tab forward
    Bar(Content().GetAudioPane()).SetFocus();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(pGroup->GetSelectedPage(), &Bar(Content().GetAudioPane()));
}

TEST_F(ContentPanesTest, AFinishedDragIsStoredForTheNextWindowAndResetBringsTheDefaultsBack)
{
    Show(s_menu->GetVts(0));
    kxgui::Activate(m_host.m_hWnd);
    const std::string defaults = Layout(*m_panes);
    CExtControlBar& strip = Bar(Content().GetStripPane());

    // from the caption's centre to a point near the frame's left edge,
    // handled while it is played, as a user's drag is
    const auto dragStrip = [&](bool bEscape)
    {
        CRect rcWindow;
        strip.GetWindowRect(&rcWindow);
        CPoint ptCaption = rcWindow.TopLeft() + strip.m_rectCaption.CenterPoint();
        Frame().ScreenToClient(&ptCaption);
        CRect rcFrame;
        Frame().GetClientRect(&rcFrame);
        const CPoint ptDrop(4, rcFrame.Height() / 2);
        kxgui::InputScript input;
        input.MoveTo(Frame().m_hWnd, ptCaption)
            .ButtonDown()
            .MoveTo(Frame().m_hWnd, ptCaption + CPoint(0, 40))
            .MoveTo(Frame().m_hWnd, ptDrop + CPoint(0, 10))
            .MoveTo(Frame().m_hWnd, ptDrop);
        if (bEscape)
            input.Key(VK_ESCAPE);
        input.ButtonUp();
        input.Play();
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            // the drag's own loop may have taken the release
            const bool bDown = msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN;
            if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP ||
                (bDown && ::GetKeyState(VK_LBUTTON) >= 0))
                break;
        }
        input.Wait();
        kxgui::PumpUntilIdle();
    };

    dragStrip(false);
    EXPECT_TRUE(strip.IsDockedAtLeft());
    EXPECT_TRUE(ProfileStored());
    const std::string moved = Layout(*m_panes);
    EXPECT_NE(moved, defaults);
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_host.m_hWnd), "content_panes_strip_moved.png");

    CMyExtBarHostFrame::DeleteProfile(kProfile);
    dragStrip(true);
    EXPECT_FALSE(ProfileStored()) << "a cancelled drag stores nothing";
    EXPECT_EQ(Layout(*m_panes), moved);
    ASSERT_TRUE(Frame().SaveBarState());

    auto pSecond = std::make_unique<CContentPanesWnd>();
    ASSERT_TRUE(pSecond->Create("IV", WS_CHILD | WS_VISIBLE, CRect(0, 0, 720, 520), &m_host, IDC_CONTENT_PANES + 1));
    pSecond->ShowNode(s_menu->GetVts(0), 0);
    EXPECT_EQ(Layout(*pSecond), moved) << "the next window starts with the stored layout";

    // the reset command resets every project window
    m_panes->ResetLayout();
    pSecond->ResetLayout();
    EXPECT_FALSE(ProfileStored());
    EXPECT_EQ(Layout(*m_panes), defaults);
    EXPECT_EQ(Layout(*pSecond), defaults);
    EXPECT_TRUE(StripAtTop());
}

TEST_F(ContentPanesTest, ALayoutFileRestoresAMovedPaneAndABadOneChangesNothing)
{
    Show(s_menu->GetVts(0));
    const std::string defaults = Layout(*m_panes);
    ASSERT_TRUE(Bar(Content().GetStripPane()).DockAtFrameEdge(PANE_DOCK_LEFT, false, &Frame(), true));
    const std::string moved = Layout(*m_panes);
    ASSERT_NE(moved, defaults);

    CMemFile saved;
    ASSERT_TRUE(m_panes->SaveLayoutFile(saved));
    std::vector<uint8_t> body(size_t(saved.GetLength()));
    saved.SeekToBegin();
    ASSERT_EQ(saved.Read(body.data(), UINT(body.size())), body.size());
    // tag, name length, the name with its zero, the flag, the state's length
    const size_t kStateAt = 4 + 4 + 10 + 1 + 4;
    ASSERT_GT(body.size(), kStateAt);
    EXPECT_EQ(std::vector<uint8_t>(body.begin(), body.begin() + 8), (std::vector<uint8_t>{101, 0, 0, 0, 10, 0, 0, 0}));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&body[8]), 10), std::string(kProfile, 10));
    EXPECT_EQ(body[18], 1);

    m_panes->ResetLayout();
    ASSERT_EQ(Layout(*m_panes), defaults);

    struct Case
    {
        const char* what;
        std::vector<uint8_t> bytes;
        bool bLoads;
    };
    std::vector<uint8_t> otherName = body;
    otherName[16] = '1';
    std::vector<uint8_t> noState(body.begin(), body.begin() + 19);
    noState[18] = 0;
    std::vector<uint8_t> garbage = body;
    std::fill(garbage.begin() + kStateAt, garbage.end(), uint8_t(0xA5));
    const Case cases[] = {
        {"a truncated file", std::vector<uint8_t>(body.begin(), body.end() - 8), false},
        {"another profile", otherName, false},
        {"no state stored", noState, false},
        {"a state that cannot be applied", garbage, false},
        {"the saved file", body, true},
    };
    for (const Case& c : cases)
    {
        CMemFile file(c.bytes.data(), UINT(c.bytes.size()));
        EXPECT_EQ(m_panes->LoadLayoutFile(file), c.bLoads) << c.what;
        EXPECT_EQ(Layout(*m_panes), c.bLoads ? moved : defaults) << c.what;
        EXPECT_EQ(ProfileStored(), c.bLoads) << c.what;
    }

    // a file that cannot take the layout
    BYTE full[8];
    CMemFile tooSmall(full, sizeof(full), 0);
    EXPECT_FALSE(m_panes->SaveLayoutFile(tooSmall));
}

TEST_F(ContentPanesTest, TheInnerFrameMakesItsOwnContainersAndBuildsNoBarsMenus)
{
    CMyExtBarHostFrame& frame = Frame();
    CExtDynTabControlBar* pTabbed = nullptr;
    EXPECT_EQ(frame.SendMessage(CExtControlBar::g_nMsgCreateTabbedBar, reinterpret_cast<WPARAM>(&pTabbed)), 1);
    EXPECT_NE(dynamic_cast<CMyExtDynTabControlBar*>(pTabbed), nullptr);
    delete pTabbed;
    CExtDynControlBar* pDyn = nullptr;
    EXPECT_EQ(frame.SendMessage(CExtControlBar::g_nMsgCreateDynBar, reinterpret_cast<WPARAM>(&pDyn)), 1);
    EXPECT_NE(dynamic_cast<CMyExtDynControlBar*>(pDyn), nullptr);
    delete pDyn;

    for (WORD nEvent : {WORD(1), WORD(5), WORD(12)})
    {
        CExtControlBar::POPUP_MENU_EVENT_DATA data(nEvent, nullptr, &Bar(0), CPoint(0, 0), WM_CONTEXTMENU);
        EXPECT_EQ(frame.SendMessage(CExtControlBar::g_nMsgConstructPopupMenu, reinterpret_cast<WPARAM>(&data)),
                  nEvent == 12 ? 0 : 1)
            << nEvent;
    }
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
