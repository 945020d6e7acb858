// The track panes under Wine on the two-title-set fixture: their rows, the
// sizes while the engine's scan runs (the test waits for the scan, never
// for the clock), the context menu chosen with real input, the edits as
// revisions of the document, and the selection notices.
#include "DvdGui/source/TrackPanes.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobScan.h"
#include "DvdGui/core/GuiText.h"
#include "DvdGui/core/TrackRows.h"
#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/Resource.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

const UINT kAudioId = 71;
const UINT kSubpictureId = 72;

std::vector<NMAUDIOTRACK> g_audio;
std::vector<NMSUBPICTURETRACK> g_subpictures;

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && wParam == kAudioId)
        g_audio.push_back(*reinterpret_cast<const NMAUDIOTRACK*>(lParam));
    if (message == WM_NOTIFY && wParam == kSubpictureId)
        g_subpictures.push_back(*reinterpret_cast<const NMSUBPICTURETRACK*>(lParam));
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

class TrackPanesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app.SetRegistryKey("Brannwick");
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
        g_audio.clear();
        g_subpictures.clear();
        HWND hHost = kxgui::CreateTestWindow(480, 320, "Tracks", HostProc);
        ASSERT_NE(hHost, nullptr);
        m_host.Attach(hHost);
        m_app.m_pMainWnd = &m_host;
        m_doc.m_bAutoDelete = FALSE;
        g_nRevisionLimit = 10;
    }
    void TearDown() override
    {
        m_audio.reset();
        m_subpictures.reset();
        m_app.m_pMainWnd = nullptr;
        ::DestroyWindow(m_host.Detach());
        kxgui::PumpUntilIdle();
        m_doc.DeleteContents();
        PurgeUnusedVobData();
        AfxDeleteTempMaps();
    }

    CAngleBlockList* Import()
    {
        kxtest::RecordingLog log;
        if (!m_doc.GetCurrentDvd().Read(log, kxtest::FixturePath("twovts", "VIDEO_TS").c_str(), nullptr))
            return nullptr;
        return &m_doc.GetCurrentDvd().GetVts(1)->GetTitleDomain();
    }
    void MakePanes()
    {
        m_audio = std::make_unique<CAudioTracksWnd>();
        ASSERT_TRUE(m_audio->Create("Audio Tracks", kAudioId, &m_host, nullptr, WS_CHILD | WS_VISIBLE, 0));
        m_audio->MoveWindow(0, 0, 480, 160);
        m_subpictures = std::make_unique<CSubPictureTracksWnd>();
        ASSERT_TRUE(
            m_subpictures->Create("SubPicture Tracks", kSubpictureId, &m_host, nullptr, WS_CHILD | WS_VISIBLE, 0));
        m_subpictures->MoveWindow(0, 160, 480, 160);
    }
    void Pump()
    {
        kxgui::PumpUntilIdle([](MSG& msg) { return CWnd::WalkPreTranslateTree(nullptr, &msg) != FALSE; });
    }
    // Serves the panes' timers until the condition holds.
    bool PumpUntil(const std::function<bool()>& done)
    {
        const DWORD nGiveUp = ::GetTickCount() + 60000; // a safety net only
        while (!done())
        {
            if (int(::GetTickCount() - nGiveUp) > 0)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            Pump();
        }
        return true;
    }
    CPoint PointOf(CTreeListCtrl& list, CTreeListItem* pItem)
    {
        CRect rc;
        list.GetItemRect(pItem, &rc);
        return CPoint(rc.left + 30, rc.CenterPoint().y);
    }
    struct Entry
    {
        UINT id;
        std::string text;
        bool enabled;
    };
    std::vector<Entry> OpenMenu(CTreeListCtrl& list, CTreeListItem* pItem)
    {
        kxgui::Activate(m_host.m_hWnd);
        kxgui::Click(list.m_hWnd, PointOf(list, pItem), true);
        Pump();
        std::vector<Entry> entries;
        CExtPopupMenuWnd* pMenu = CExtPopupMenuWnd::GetTracker().GetTopPopup();
        if (pMenu == nullptr)
            return entries;
        for (int i = 0; i < pMenu->ItemGetCount(); ++i)
        {
            if (pMenu->GetItemAt(i).IsSeparator())
                entries.push_back({0, "-", false});
            else
                entries.push_back(
                    {pMenu->ItemGetCmdID(i), std::string(pMenu->ItemGetText(i)), pMenu->GetItemAt(i).IsEnabled()});
        }
        return entries;
    }
    void Choose(const std::vector<Entry>& entries, UINT nID)
    {
        for (const Entry& e : entries)
        {
            if (e.id == 0 || !e.enabled)
                continue;
            kxgui::PressKey(VK_DOWN);
            Pump();
            if (e.id == nID)
                break;
        }
        kxgui::PressKey(VK_RETURN);
        Pump();
    }
    static std::vector<std::string> Column(CTreeListCtrl& list, int nColumn)
    {
        std::vector<std::string> texts;
        for (CTreeListItem* p = list.GetFirstItem(); p != nullptr; p = list.GetNextItem(p))
            texts.push_back(p->GetText(nColumn));
        return texts;
    }

    CWinApp m_app{"Kestrelux"};
    CWnd m_host;
    CDvdDoc m_doc;
    std::unique_ptr<CAudioTracksWnd> m_audio;
    std::unique_ptr<CSubPictureTracksWnd> m_subpictures;
};

TEST_F(TrackPanesTest, SizesAreEstimatedUntilTheScanMakesThemExact)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    CAngleBlockList* pDomain = nullptr;
    {
        // the scheduler starts no scan while its lock is held: the panes
        // meet a domain not yet scanned
        kx::ScopedLock hold(GetVobScanScheduler().GetLock());
        PurgeUnusedVobData();
        pDomain = Import();
        ASSERT_NE(pDomain, nullptr);
        MakePanes();
        m_audio->SetDomain(pDomain, nullptr);
        m_subpictures->SetDomain(pDomain, nullptr);
        // a set another test of this program left open may be scanned
        // already; the estimates show on a set opened afresh
        if (!pDomain->IsPreliminaryScanDone())
        {
            for (const std::string& size : Column(m_audio->GetList(), 1))
                EXPECT_NE(size.find(" (est)"), std::string::npos) << size;
            CTreeListCtrl& list = m_audio->GetList();
            const std::vector<Entry> entries = OpenMenu(list, list.GetFirstItem());
            ASSERT_EQ(entries.size(), 6u);
            EXPECT_EQ(entries[4].text, "&Preliminary search");
            EXPECT_FALSE(entries[4].enabled);
            EXPECT_TRUE(entries[5].enabled);
            kxgui::SaveArtifact(kxgui::CaptureScreen(m_host.m_hWnd), "track_panes_estimated.png");
            kxgui::PressKey(VK_ESCAPE);
            Pump();
        }
    }

    // the rows: two audio tracks on their streams, the sub-picture track on
    // the forms the 16:9 video shows
    EXPECT_EQ(Column(m_audio->GetList(), 0),
              (std::vector<std::string>{" Track 0 ", " Stream 0 ", " Track 1 ", " Stream 0 "}));
    const std::vector<std::vector<BYTE>> streams = GetSubpictureTrackStreams(*pDomain);
    ASSERT_EQ(streams.size(), 1u);
    std::vector<std::string> subRows = {" Track 0 "};
    for (BYTE s : streams[0])
        subRows.push_back(" Stream " + std::to_string(s) + " ");
    EXPECT_EQ(Column(m_subpictures->GetList(), 0), subRows);
    const CStreamSet& set = pDomain->GetStreams();
    EXPECT_STREQ(m_audio->GetList().GetFirstItem()->GetText(2), GetAudioTrackInfo(*set.GetAudio(0)));

    // the full scan, started from the menu, makes every size exact
    CTreeListCtrl& list = m_subpictures->GetList();
    ASSERT_TRUE(PumpUntil([&] { return pDomain->IsPreliminaryScanDone(); }));
    Choose(OpenMenu(list, list.GetFirstItem()), ID_SUBPICTURE_SEARCH);
    ASSERT_TRUE(PumpUntil([&] { return m_audio->AreAllSizesExact() && m_subpictures->AreAllSizesExact(); }));
    for (const std::string& size : Column(m_audio->GetList(), 1))
        EXPECT_EQ(size.find(" (est)"), std::string::npos) << size;
    bool bExact = true;
    EXPECT_STREQ(m_audio->GetList().GetFirstItem()->m_pChild->GetText(1),
                 FormatMegabytes(pDomain->GetAudioStreamSize(0, bExact)));
    const std::vector<Entry> entries = OpenMenu(list, list.GetFirstItem());
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[4].text, "&Find exact stream sizes");
    EXPECT_FALSE(entries[4].enabled);
    EXPECT_EQ(entries[5].text, "&Refresh");
    EXPECT_FALSE(entries[5].enabled);
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_host.m_hWnd), "track_panes_exact.png");
    kxgui::PressKey(VK_ESCAPE);
    Pump();

    // F5 refreshes the focused pane
    m_audio->GetList().GetFirstItem()->SetText("stale", 1);
    kxgui::Click(m_audio->GetList().m_hWnd, PointOf(m_audio->GetList(), m_audio->GetList().GetFirstItem()));
    Pump();
    kxgui::InputScript().Key(VK_F5).Send();
    Pump();
    EXPECT_STRNE(m_audio->GetList().GetFirstItem()->GetText(1), "stale");
}

TEST_F(TrackPanesTest, SelectionsTellTheOwnerTheTrackAndStream)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    CAngleBlockList* pDomain = Import();
    ASSERT_NE(pDomain, nullptr);
    MakePanes();
    m_audio->SetDomain(pDomain, nullptr);
    m_subpictures->SetDomain(pDomain, nullptr);
    kxgui::Activate(m_host.m_hWnd);
    CTreeListCtrl& audio = m_audio->GetList();
    CTreeListItem* pTrack1 = audio.GetFirstItem()->m_pNext;
    kxgui::Click(audio.m_hWnd, PointOf(audio, pTrack1->m_pChild));
    Pump();
    ASSERT_FALSE(g_audio.empty());
    const BYTE nCoding = pDomain->GetStreams().GetAudio(1)->GetCodingMode();
    EXPECT_EQ(g_audio.back().nTrack, 1);
    EXPECT_EQ(g_audio.back().nStreamId, GetAudioStreamId(nCoding, 0));
    EXPECT_EQ(g_audio.back().nSubstreamId, GetAudioSubstreamId(nCoding, 0));
    EXPECT_EQ(g_audio.back().reserved[0] | g_audio.back().reserved[1], 0);

    CTreeListCtrl& sub = m_subpictures->GetList();
    kxgui::Click(sub.m_hWnd, PointOf(sub, sub.GetFirstItem()));
    Pump();
    ASSERT_FALSE(g_subpictures.empty());
    EXPECT_EQ(g_subpictures.back().nTrack, 0);
    EXPECT_EQ(g_subpictures.back().nStream, -1);

    // the location comes back over a refill
    audio.Expand(audio.GetFirstItem(), TLE_COLLAPSE);
    const CTrackListLocation location = m_audio->GetLocation();
    EXPECT_EQ(location.track, 1);
    EXPECT_EQ(location.stream, 0);
    EXPECT_EQ(location.collapsedTracks, std::vector<int>{0});
    m_audio->SetDomain(pDomain, nullptr);
    EXPECT_EQ(m_audio->GetLocation(), location);
}

TEST_F(TrackPanesTest, DeletingStreamsAndTracksMakesOneRevisionEach)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    CAngleBlockList* pDomain = Import();
    ASSERT_NE(pDomain, nullptr);
    MakePanes();
    m_audio->SetDomain(pDomain, nullptr);

    // delete streams: track 1 stays, with no stream rows and size 0
    CTreeListCtrl& audio = m_audio->GetList();
    Choose(OpenMenu(audio, audio.GetFirstItem()->m_pNext), ID_AUDIO_DELETE_STREAMS);
    ASSERT_EQ(m_doc.GetRevisions().GetSize(), 2);
    EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strDescription, "disable audio track");
    m_audio->SetDomain(pDomain, nullptr);
    CTreeListItem* pTrack1 = audio.GetFirstItem()->m_pNext;
    ASSERT_NE(pTrack1, nullptr);
    EXPECT_EQ(pTrack1->m_pChild, nullptr);
    EXPECT_EQ(std::string(pTrack1->GetText(1)).find("0"), 0u) << pTrack1->GetText(1);
    EXPECT_EQ(pDomain->GetStreams().GetAudioCount(), 2);

    // five sub-picture tracks, each in use; delete from track 2 on
    CStreamSet& set = pDomain->GetStreams();
    set.SetSubpictureCount(5, false);
    CPgcTable& titles = m_doc.GetCurrentDvd().GetVts(1)->GetPgcTable();
    for (uint32_t i = 0; i < titles.GetPgcCount(); ++i)
        for (int t = 0; t < 5; ++t)
            titles.GetPgc(i)->m_subpictures[t].bEnabled = 1;
    m_subpictures->SetDomain(pDomain, nullptr);
    CTreeListCtrl& sub = m_subpictures->GetList();
    CTreeListItem* pTrack2 = sub.GetFirstItem()->m_pNext->m_pNext;
    ASSERT_EQ(pTrack2->m_dwData, 2u);
    Choose(OpenMenu(sub, pTrack2), ID_SUBPICTURE_DELETE_TRACKS);
    ASSERT_EQ(m_doc.GetRevisions().GetSize(), 3);
    EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strDescription, "delete subpictures track(s)");
    EXPECT_EQ(set.GetSubpictureCount(), 2);
    ASSERT_NE(sub.GetCaretItem(), nullptr);
    EXPECT_EQ(sub.GetCaretItem()->m_dwData, 1u);
    for (uint32_t i = 0; i < titles.GetPgcCount(); ++i)
        for (int t = 2; t < 5; ++t)
            EXPECT_FALSE(titles.GetPgc(i)->m_subpictures[t].bEnabled);
}

} // namespace
