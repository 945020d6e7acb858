// The original preview under Wine on pal1's title blocks: the strip shown
// only for two or more blocks, the cell view following the strip, the
// splitter's height kept in the registry, the placement fitted to the
// screen and kept, and "OK" only with a block.
#include "DvdGui/source/OriginalPreviewDlg.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "VDS/source/Idct.h"
#include "VDS/source/PreviewPlayer.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/DialogSteps.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr const char* kSettingsPath = "Software\\Brannwick\\Kestrelux\\Settings";

class OriginalPreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app.SetRegistryKey("Brannwick");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
        InitRefIdct();
        g_pfnIdct = RefIdct;
        CPreviewPlayer::StartGlobal();
        m_hOwner = kxgui::CreateTestWindow(300, 200, "Owner");
        ASSERT_NE(m_hOwner, nullptr);
        kxgui::Activate(m_hOwner);
    }
    void TearDown() override
    {
        kxtest::CancelWhenShown();
        ::DestroyWindow(m_hOwner);
        kxgui::PumpUntilIdle();
        CPreviewPlayer::StopGlobal();
        m_dvd.reset();
        PurgeUnusedVobData();
        AfxDeleteTempMaps();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
    }

    bool ReadTitles()
    {
        if (kxtest::FixtureDir("pal1").empty())
            return false;
        m_dvd = std::make_unique<CDvd>();
        kxtest::RecordingLog log;
        if (!m_dvd->Read(log, kxtest::FixturePath("pal1", "VIDEO_TS").c_str(), nullptr))
            return false;
        CAngleBlockList& titles = m_dvd->GetVts(0)->GetTitleDomain();
        for (uint32_t i = 0; i < titles.GetBlockCount(); ++i)
            m_blocks.push_back(titles.GetBlock(i));
        return m_blocks.size() >= 2;
    }
    static COriginalPreviewDlg& Dialog(HWND hWnd)
    {
        return *dynamic_cast<COriginalPreviewDlg*>(CWnd::FromHandlePermanent(hWnd));
    }
    static void ClickCentre(CWnd& wnd)
    {
        CRect rc;
        wnd.GetClientRect(&rc);
        kxgui::Click(wnd.m_hWnd, rc.CenterPoint());
    }
    static int Setting(const char* pszEntry) { return int(AfxGetApp()->GetProfileInt("Settings", pszEntry, -999)); }

    CWinApp m_app{"Kestrelux"};
    HWND m_hOwner = nullptr;
    std::unique_ptr<CDvd> m_dvd;
    std::vector<CAngleBlock*> m_blocks;
};

// Two blocks: the strip above the cell view, the cell view following a
// click on the second tile, the splitter dropped at 10 keeping the preferred
// height, and "OK" closing with the placement stored.
TEST_F(OriginalPreviewTest, TwoBlocksShowTheStripAboveTheCellView)
{
    if (!ReadTitles())
        GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
    const std::vector<CAngleBlock*> two = {m_blocks[0], m_blocks[1]};
    COriginalPreviewDlg dialog(two, CWnd::FromHandle(m_hOwner), "Original Preview");
    EXPECT_EQ(dialog.GetBlocks().size(), 2u);
    bool bStripShown = false;
    const CAngleBlock* pFirst = nullptr;
    const CAngleBlock* pSecond = nullptr;
    int nStripHeight = 0;
    CRect placement;
    kxtest::WhenShown("Original Preview",
                      [&](HWND hWnd)
                      {
                          COriginalCellWnd& cells = Dialog(hWnd).GetCellWnd();
                          kxgui::PumpUntilIdle();
                          bStripShown = cells.GetStrip().IsWindowVisible() != FALSE;
                          pFirst = cells.GetCellView().GetBlock();
                          CAngleBlockListView& strip = cells.GetStrip();
                          kxgui::Click(strip.m_hWnd, strip.GetStrip().PictureRect(1).CenterPoint());
                          pSecond = cells.GetCellView().GetBlock();
                          kxgui::SaveArtifact(kxgui::CaptureScreen(hWnd, false), "original_preview_two_blocks.png");
                          // the splitter dropped near the top
                          kxgui::InputScript()
                              .MoveTo(cells.GetSplitter().m_hWnd, POINT{40, 2})
                              .ButtonDown()
                              .MoveTo(cells.m_hWnd, POINT{40, 60})
                              .MoveTo(cells.m_hWnd, POINT{40, 10})
                              .ButtonUp()
                              .Send();
                          kxgui::PumpUntilIdle();
                          nStripHeight = cells.GetStripHeight();
                          ::GetWindowRect(hWnd, &placement);
                          ClickCentre(Dialog(hWnd).GetConfirmButton());
                      });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(bStripShown);
    EXPECT_EQ(pFirst, m_blocks[0]);
    EXPECT_EQ(pSecond, m_blocks[1]);
    EXPECT_EQ(nStripHeight, CAngleBlockListView::GetPreferredHeight());
    EXPECT_EQ(Setting("ABV_S"), CAngleBlockListView::GetPreferredHeight());
    const int sw = ::GetSystemMetrics(SM_CXSCREEN);
    const int sh = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(placement, CRect((sw - 540) / 2, (sh - 400) / 2, (sw - 540) / 2 + 540, (sh - 400) / 2 + 400));
    EXPECT_EQ(Setting("ABSD_X"), placement.left);
    EXPECT_EQ(Setting("ABSD_Y"), placement.top);
    EXPECT_EQ(Setting("ABSD_W"), 540);
    EXPECT_EQ(Setting("ABSD_H"), 400);
}

// Nothing to show: "OK" says so and the popup stays until "Cancel". A
// stored place off the screen's left edge and wider than the screen is
// fitted to it.
TEST_F(OriginalPreviewTest, OkWithoutABlockSaysSo)
{
    AfxGetApp()->WriteProfileInt("Settings", "ABSD_X", -50);
    AfxGetApp()->WriteProfileInt("Settings", "ABSD_W", 100000);
    COriginalPreviewDlg dialog({}, CWnd::FromHandle(m_hOwner), "Original Preview");
    kxgui::DialogAnswerer answerer(IDOK);
    bool bStayed = false;
    CRect placement;
    kxtest::WhenShown("Original Preview",
                      [&](HWND hWnd)
                      {
                          ::GetWindowRect(hWnd, &placement);
                          ClickCentre(Dialog(hWnd).GetConfirmButton());
                          kxgui::PumpUntilIdle();
                          bStayed = ::IsWindowVisible(hWnd) != FALSE;
                          ClickCentre(Dialog(hWnd).GetCancelButton());
                      });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(bStayed);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_NE(answerer.Seen()[0].find("No block is selected!"), std::string::npos);
    EXPECT_EQ(placement.left, 0);
    EXPECT_EQ(placement.Width(), ::GetSystemMetrics(SM_CXSCREEN));
}

} // namespace
