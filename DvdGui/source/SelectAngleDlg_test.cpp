// The angle selection under Wine on the synthetic three-angle title: a tab
// per angle, the preview keeping its place across angles and starting over
// for another block, "Keep this" answering the chosen tab, and nothing to
// keep without a block.
#include "DvdGui/source/SelectAngleDlg.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/MultiAngleTestSupport.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "VDS/source/Idct.h"
#include "VDS/source/PreviewPlayer.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/DialogSteps.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{

constexpr const char* kSettingsPath = "Software\\Brannwick\\Kestrelux\\Settings";

class SelectAngleTest : public ::testing::Test
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
        m_vts.reset();
        m_set.reset();
        PurgeUnusedVobData();
        AfxDeleteTempMaps();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
    }

    // The angle block of the synthetic title.
    CAngleBlock* AngleBlock(kxtest::AngleDisc& disc)
    {
        if (!disc.folder.Created() || !disc.Build())
            return nullptr;
        m_set = disc.Open(m_log, disc.cells);
        m_vts = std::make_unique<CVts>(nullptr);
        CAngleBlockList& domain = m_vts->GetTitleDomain();
        domain.CopyConstruct(m_set->GetPristineBlocks());
        return domain.GetBlockCount() == 3 ? domain.GetBlock(1) : nullptr;
    }
    static CSelectAngleDlg& Dialog(HWND hWnd)
    {
        return *dynamic_cast<CSelectAngleDlg*>(CWnd::FromHandlePermanent(hWnd));
    }
    static void ClickCentre(CWnd& wnd)
    {
        CRect rc;
        wnd.GetClientRect(&rc);
        kxgui::Click(wnd.m_hWnd, rc.CenterPoint());
    }
    static void ClickTab(CTabStripCtrl& tabs, int nTab)
    {
        CRect rc;
        tabs.GetClientRect(&rc);
        CPoint pt = rc.CenterPoint();
        for (pt.y = 0; pt.y < rc.bottom && tabs.HitTest(pt.x, pt.y) != nTab; ++pt.y)
            ;
        kxgui::Click(tabs.m_hWnd, pt);
    }

    CWinApp m_app{"Kestrelux"};
    kxtest::RecordingLog m_log;
    HWND m_hOwner = nullptr;
    std::unique_ptr<CVobData> m_set;
    std::unique_ptr<CVts> m_vts;
};

// The block twice in the strip, three angles: another tab keeps the
// preview's VOBU, another tile starts it over; "Keep this" answers 1 and the
// third tab.
TEST_F(SelectAngleTest, KeepThisAnswersTheChosenAngle)
{
    kxtest::AngleDisc disc(3);
    CAngleBlock* pBlock = AngleBlock(disc);
    if (pBlock == nullptr)
        GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
    ASSERT_EQ(pBlock->GetIlvuCount(), 3u);
    CAngleBlockArray blocks;
    blocks.Add(pBlock);
    blocks.Add(pBlock);
    CAngleMap angleMap;
    for (BYTE a = 0; a < 3; ++a)
    {
        auto* pMap = new CGrowArray<BYTE>;
        pMap->Add(a);
        pMap->Add(a);
        angleMap.Add(pMap);
    }
    CSelectAngleDlg dialog(blocks, angleMap, CWnd::FromHandle(m_hOwner));
    std::vector<std::string> captions;
    const CVobCell* pFirst = nullptr;
    const CVobCell* pThird = nullptr;
    int nKeptVobu = -1;
    int nRestartVobu = -1;
    const CVobCell* pRestarted = nullptr;
    kxtest::WhenShown("Select angle",
                      [&](HWND hWnd)
                      {
                          CSelectAngleDlg& angles = Dialog(hWnd);
                          kxgui::PumpUntilIdle();
                          for (int t = 0; t < angles.GetTabs().GetTabCount(); ++t)
                              captions.push_back(std::string(angles.GetTabs().GetTab(t)->m_strText));
                          CCellPreviewWnd& preview = angles.GetPreview();
                          pFirst = preview.GetUnit();
                          CExtScrollBar& slider = preview.GetSlider();
                          preview.SendMessage(WM_HSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(slider.m_hWnd));
                          ClickTab(angles.GetTabs(), 2);
                          pThird = preview.GetUnit();
                          nKeptVobu = preview.GetCurrentVobu();
                          CAngleBlockListView& strip = angles.GetStrip();
                          kxgui::Click(strip.m_hWnd, strip.GetStrip().PictureRect(1).CenterPoint());
                          pRestarted = preview.GetUnit();
                          nRestartVobu = preview.GetCurrentVobu();
                          kxgui::SaveArtifact(kxgui::CaptureScreen(hWnd, false), "select_angle.png");
                          ClickCentre(angles.GetConfirmButton());
                      });
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.GetSelectedAngle(), 2);
    EXPECT_EQ(captions, std::vector<std::string>({"Angle 1", "Angle 2", "Angle 3"}));
    EXPECT_EQ(pFirst, pBlock->GetIlvu(0));
    EXPECT_EQ(pThird, pBlock->GetIlvu(2));
    EXPECT_EQ(nKeptVobu, int(pBlock->GetIlvu(2)->GetVobuCount()) - 1);
    EXPECT_GT(nKeptVobu, 0);
    EXPECT_EQ(pRestarted, pBlock->GetIlvu(2));
    EXPECT_EQ(nRestartVobu, 0);
    EXPECT_GT(AfxGetApp()->GetProfileInt("Settings", "ASD_W", 0), 0u);
}

// No block: no preview and nothing to keep; "Cancel" answers IDCANCEL.
TEST_F(SelectAngleTest, NoBlockLeavesNothingToKeep)
{
    CSelectAngleDlg dialog(CAngleBlockArray(), CAngleMap(), CWnd::FromHandle(m_hOwner));
    bool bKeepEnabled = true;
    const CVobCell* pShown = nullptr;
    kxtest::WhenShown("Select angle",
                      [&](HWND hWnd)
                      {
                          bKeepEnabled = Dialog(hWnd).GetConfirmButton().IsWindowEnabled() != FALSE;
                          pShown = Dialog(hWnd).GetPreview().GetUnit();
                          ClickCentre(Dialog(hWnd).GetCancelButton());
                      });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(bKeepEnabled);
    EXPECT_EQ(pShown, nullptr);
}

} // namespace
