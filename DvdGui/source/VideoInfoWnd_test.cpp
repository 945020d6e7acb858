// The video information pane under Wine on fixture discs: its rows, the
// first row selected on a new domain, and what it looks like.
#include "DvdGui/source/VideoInfoWnd.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobData.h"
#include "DvdGui/core/DomainRows.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(VideoInfoWnd, ShowsTheDomainsVideoAttributes)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    CWinApp app("Kestrelux");
    kxtest::RecordingLog log;
    CDvd dvd;
    ASSERT_TRUE(dvd.Read(log, kxtest::FixturePath("twovts", "VIDEO_TS").c_str(), nullptr));
    HWND hHost = kxgui::CreateTestWindow(320, 160, "Video");
    ASSERT_NE(hHost, nullptr);
    CWnd host;
    host.Attach(hHost);
    {
        CVideoInfoWnd pane;
        ASSERT_TRUE(pane.Create("Video", 77, &host, nullptr, WS_CHILD | WS_VISIBLE, 0));
        pane.MoveWindow(0, 0, 320, 160);
        CTreeListCtrl& list = pane.GetList();
        EXPECT_EQ(list.GetColumnCount(), 2);
        EXPECT_STREQ(list.GetColumn(0)->m_strText, "Field");
        EXPECT_STREQ(list.GetColumn(1)->m_strText, "Value");
        pane.SetDomain(nullptr, nullptr);
        EXPECT_EQ(list.GetFirstItem(), nullptr);

        // the NTSC 16:9 title set with letterbox and pan-scan permitted as
        // the fixture's IFO says
        CAngleBlockList& wide = dvd.GetVts(1)->GetTitleDomain();
        const CVideoAttributes& video = wide.GetStreams().GetVideo();
        ASSERT_EQ(video.GetAspectRatio(), 3);
        pane.SetDomain(&wide, nullptr);
        const std::vector<CVideoInfoRow> rows = GetVideoInfoRows(video);
        CTreeListItem* pItem = list.GetFirstItem();
        for (const CVideoInfoRow& row : rows)
        {
            ASSERT_NE(pItem, nullptr);
            EXPECT_STREQ(pItem->GetText(0), row.strField);
            EXPECT_STREQ(pItem->GetText(1), row.strValue);
            pItem = pItem->m_pNext;
        }
        EXPECT_EQ(pItem, nullptr);
        EXPECT_EQ(rows.size(), 3u);
        EXPECT_EQ(list.GetCaretItem(), list.GetFirstItem());
        EXPECT_EQ(pane.GetLocation(), CVideoInfoLocation());
        // column 0 fits its texts
        CClientDC dc(&list);
        CFont* pOld = dc.SelectObject(list.GetFont());
        EXPECT_GE(list.GetColumnWidth(0), dc.GetTextExtent(" Conversion to 4:3 ").cx);
        dc.SelectObject(pOld);
        kxgui::PumpUntilIdle();
        kxgui::SaveArtifact(kxgui::CaptureScreen(pane.m_hWnd), "video_info_pane.png");

        // the PAL 4:3 title set: no conversion row
        pane.SetDomain(&dvd.GetVts(0)->GetTitleDomain(), nullptr);
        ASSERT_NE(list.GetFirstItem(), nullptr);
        EXPECT_STREQ(list.GetFirstItem()->GetText(1), " PAL (720x576)");
        EXPECT_EQ(list.GetRowCount(), 2);
    }
    ::DestroyWindow(host.Detach());
    kxgui::PumpUntilIdle();
    PurgeUnusedVobData();
}

} // namespace
