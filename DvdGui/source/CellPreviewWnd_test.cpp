// The cell preview and the cell view under Wine: the controls a unit gets,
// playback and scanning through real clicks, the button overlay of a menu
// cell with keys and the mouse, frame export and the angle tabs, with
// screenshots in every theme.
#include "DvdGui/source/CellPreviewWnd.h"
#include "DvdGui/source/CellViewWnd.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/MultiAngleTestSupport.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "DVD/source/NodePath.h"
#include "DVD/source/StockCells.h"
#include "DvdGui/core/EditMenus.h"
#include "DvdGui/source/DvdDoc.h"
#include "framework/win/View.h"
#include "DvdGui/source/Options.h"
#include "DvdGui/source/OriginalPreviewDlg.h"
#include "Shared/platform/PlatformPath.h"
#include "VDS/source/Idct.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/DialogSteps.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestSinks.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr const char* kSettingsPath = "Software\\Brannwick\\Kestrelux\\Settings";
constexpr const char* kOptionsPath = "Software\\Brannwick\\Kestrelux\\Kestrelux Options";

// Pumps until the condition holds; false only when it never comes.
bool WaitUntil(const std::function<bool()>& done)
{
    // A safety net only: the player answers within a few frames.
    const DWORD nGiveUp = ::GetTickCount() + 30000;
    while (!done())
    {
        if (int(::GetTickCount() - nGiveUp) > 0)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        kxgui::PumpUntilIdle();
    }
    return true;
}

// A message of the window waiting in the queue.
bool Queued(HWND hWnd, UINT message)
{
    MSG msg;
    return ::PeekMessageA(&msg, hWnd, message, message, PM_NOREMOVE) != FALSE;
}

class CellPreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app.SetRegistryKey("Brannwick");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kOptionsPath);
        InitRefIdct();
        g_pfnIdct = RefIdct;
        CPreviewPlayer::StartGlobal();
        m_font.CreatePointFont(90, "Tahoma");
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    }
    void TearDown() override
    {
        m_view.reset();
        m_preview.reset();
        if (m_hHost != nullptr)
            ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        CPreviewPlayer::StopGlobal();
        m_dvds.clear();
        m_angleVts.reset();
        m_angleSet.reset();
        PurgeUnusedVobData();
        AfxDeleteTempMaps();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kOptionsPath);
    }

    CDvd* ReadDisc(const char* fixture)
    {
        if (kxtest::FixtureDir(fixture).empty())
            return nullptr;
        m_dvds.push_back(std::make_unique<CDvd>());
        if (!m_dvds.back()->Read(m_log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr))
            return nullptr;
        return m_dvds.back().get();
    }
    // The three-button menu of the ntscmenu disc.
    CVobCell* MenuUnit()
    {
        CDvd* pDvd = ReadDisc("ntscmenu");
        if (pDvd == nullptr || pDvd->GetVmg().GetMenuDomain().GetBlockCount() == 0)
            return nullptr;
        return pDvd->GetVmg().GetMenuDomain().GetBlock(0)->GetIlvu(0);
    }
    CVobCell* TitleUnit(const char* fixture = "pal1")
    {
        CDvd* pDvd = ReadDisc(fixture);
        return pDvd != nullptr ? pDvd->GetVts(0)->GetTitleDomain().GetBlock(0)->GetIlvu(0) : nullptr;
    }
    // The domain of the synthetic multi-angle title: a plain cell, the angle
    // block and a plain cell.
    CAngleBlockList* AngleDomain(kxtest::AngleDisc& disc)
    {
        if (!disc.folder.Created() || !disc.Build())
            return nullptr;
        m_angleSet = disc.Open(m_log, disc.cells);
        m_angleVts = std::make_unique<CVts>(nullptr);
        CAngleBlockList& domain = m_angleVts->GetTitleDomain();
        domain.CopyConstruct(m_angleSet->GetPristineBlocks());
        return domain.GetBlockCount() == 3 ? &domain : nullptr;
    }

    void MakeHost(int width, int height)
    {
        m_hHost = kxgui::CreateTestWindow(width, height, "Cell preview");
        ASSERT_NE(m_hHost, nullptr);
    }
    void MakePreview(int width, int height, bool bReadOnly = false)
    {
        MakeHost(width, height);
        m_preview = std::make_unique<CCellPreviewWnd>(bReadOnly, PREVIEW_NATURAL_SIZE);
        ASSERT_TRUE(m_preview->Create("Preview", WS_CHILD | WS_VISIBLE, CRect(0, 0, width, height),
                                      CWnd::FromHandle(m_hHost), 5));
        m_preview->SetFont(&m_font);
        kxgui::PumpUntilIdle();
    }
    // Shows a unit and waits for its first picture.
    void Show(CVobCell* pUnit, const CCellPreviewWnd::PreviewState* pState = nullptr)
    {
        m_nPictures = 0;
        m_preview->SetCell(pUnit, pState);
        ASSERT_TRUE(WaitUntil([&] { return FrameShown(); }));
    }
    bool FrameShown()
    {
        const CRect rect = m_preview->GetPictureRect();
        const COLORREF colour = kxgui::CaptureScreen(m_preview->m_hWnd).At(rect.left + 1, rect.bottom - 2);
        return colour != RGB(80, 80, 80) && colour != RGB(255, 255, 255);
    }
    void ClickButton(UINT nId)
    {
        CPreviewButton& button = m_preview->GetTransportButton(nId);
        ASSERT_TRUE(button.IsWindowEnabled());
        kxgui::Click(button.m_hWnd, POINT{9, 9});
        kxgui::PumpUntilIdle();
    }
    bool Enabled(UINT nId) { return m_preview->GetTransportButton(nId).IsWindowEnabled() != FALSE; }
    void SetOption(const char* pszKey, int nValue) { AfxGetApp()->WriteProfileInt(OPTIONS_SECTION, pszKey, nValue); }

    CWinApp m_app{"Kestrelux"};
    kxtest::RecordingLog m_log;
    CFont m_font;
    HWND m_hHost = nullptr;
    std::unique_ptr<CCellPreviewWnd> m_preview;
    std::unique_ptr<CCellViewWnd> m_view;
    std::vector<std::unique_ptr<CDvd>> m_dvds;
    std::unique_ptr<CVobData> m_angleSet;
    std::unique_ptr<CVts> m_angleVts;
    int m_nPictures = 0;
};

TEST_F(CellPreviewTest, ControlsFollowTheUnit)
{
    CVobCell* pMenu = MenuUnit();
    CVobCell* pTitle = TitleUnit();
    if (pMenu == nullptr || pTitle == nullptr)
        GTEST_SKIP() << "fixtures missing";
    MakePreview(640, 400);
    EXPECT_EQ(CString("Play"), m_preview->GetTransportTip(IDC_PREVIEW_PLAY));
    EXPECT_EQ(CString("Goto Start"), m_preview->GetTransportTip(IDC_PREVIEW_GOTO_START));
    EXPECT_EQ(CString("Goto End"), m_preview->GetTransportTip(IDC_PREVIEW_GOTO_END));
    EXPECT_EQ(CString("Rewind"), m_preview->GetTransportTip(IDC_PREVIEW_REWIND));
    EXPECT_EQ(CString("Fast Forward"), m_preview->GetTransportTip(IDC_PREVIEW_FAST_FORWARD));
    // nothing shown: nothing to play
    EXPECT_FALSE(Enabled(IDC_PREVIEW_PLAY));

    // a one-VOBU menu: the slider stays at 0 and only Play works
    ASSERT_TRUE(pMenu->CutFrom(0));
    ASSERT_EQ(1u, pMenu->GetVobuCount());
    Show(pMenu);
    EXPECT_FALSE(m_preview->GetSlider().IsWindowEnabled());
    EXPECT_EQ(0, m_preview->GetSlider().GetScrollPos());
    EXPECT_TRUE(Enabled(IDC_PREVIEW_PLAY));
    for (UINT nId : {IDC_PREVIEW_REWIND, IDC_PREVIEW_FAST_FORWARD, IDC_PREVIEW_GOTO_START, IDC_PREVIEW_GOTO_END})
        EXPECT_FALSE(Enabled(nId)) << nId;
    ASSERT_EQ(1, m_preview->GetSegmentTabs().GetTabCount());
    EXPECT_EQ(CString("set 1 (3 buttons)"), m_preview->GetSegmentTabs().GetTab(0)->m_strText);

    // a title cell: every transport button, no segment tabs
    Show(pTitle);
    EXPECT_TRUE(m_preview->GetSlider().IsWindowEnabled());
    int nMin = -1, nMax = -1;
    m_preview->GetSlider().GetScrollRange(&nMin, &nMax);
    EXPECT_EQ(0, nMin);
    EXPECT_EQ(int(pTitle->GetVobuCount()) - 1, nMax);
    for (UINT nId :
         {IDC_PREVIEW_PLAY, IDC_PREVIEW_REWIND, IDC_PREVIEW_FAST_FORWARD, IDC_PREVIEW_GOTO_START, IDC_PREVIEW_GOTO_END})
        EXPECT_TRUE(Enabled(nId)) << nId;
    EXPECT_EQ(0, m_preview->GetSegmentTabs().GetTabCount());

    // a still: one seekable VOBU, no scanning
    ASSERT_TRUE(pTitle->ConvertToStill());
    Show(pTitle);
    EXPECT_TRUE(Enabled(IDC_PREVIEW_PLAY));
    EXPECT_FALSE(Enabled(IDC_PREVIEW_REWIND));
    EXPECT_FALSE(Enabled(IDC_PREVIEW_FAST_FORWARD));

    // a unit without VOBUs shows that it has no video and goes nowhere
    CCellAddress address{1, 1, 0, 0};
    CVobCell empty(pMenu->GetVobData(), address, CVobuAddressList(), nullptr);
    m_preview->SetCell(&empty, nullptr);
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(m_preview->IsPlayerOpen());
    for (UINT nId :
         {IDC_PREVIEW_PLAY, IDC_PREVIEW_REWIND, IDC_PREVIEW_FAST_FORWARD, IDC_PREVIEW_GOTO_START, IDC_PREVIEW_GOTO_END})
        EXPECT_FALSE(Enabled(nId)) << nId;
    const CRect rect = m_preview->GetPictureRect();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_preview->m_hWnd);
    EXPECT_EQ(RGB(80, 80, 80), shot.At(rect.left + 1, rect.top + 1));
    EXPECT_GT(shot.CountColor(RGB(255, 255, 255), rect), 20);
    m_preview->SetCell(nullptr, nullptr);
    EXPECT_EQ(nullptr, m_preview->GetUnit());
}

TEST_F(CellPreviewTest, SplitterDroppedTooFarLeftStopsAtTheMargin)
{
    MakePreview(640, 400);
    CWnd* pSplitter = m_preview->GetDlgItem(IDC_PREVIEW_SPLITTER);
    ASSERT_NE(nullptr, pSplitter);
    kxgui::Activate(m_hHost);
    kxgui::InputScript script;
    script.MoveTo(pSplitter->m_hWnd, POINT{2, 9}).ButtonDown();
    script.MoveTo(m_preview->m_hWnd, POINT{100, 390});
    script.MoveTo(m_preview->m_hWnd, POINT{20, 390}).ButtonUp();
    script.Send();
    ASSERT_TRUE(WaitUntil([&] { return m_preview->GetSplitPosition() != 180; }));
    EXPECT_EQ(57, m_preview->GetSplitPosition());
    EXPECT_EQ(57u, AfxGetApp()->GetProfileInt("Settings", "VCV_S", 0));
    CRect tabs;
    m_preview->GetSegmentTabs().GetWindowRect(&tabs);
    EXPECT_EQ(57, tabs.Width());
}

TEST_F(CellPreviewTest, PlaybackAndScanning)
{
    CVobCell* pTitle = TitleUnit("vlong");
    if (pTitle == nullptr)
        GTEST_SKIP() << "fixture missing";
    ASSERT_GE(pTitle->GetVobuCount(), 7u);
    MakePreview(480, 360);
    kxgui::Activate(m_hHost);
    Show(pTitle);
    const int nLast = int(pTitle->GetVobuCount()) - 1;

    // Play: started, pictures arrive and the slider follows
    ClickButton(IDC_PREVIEW_PLAY);
    ASSERT_TRUE(WaitUntil([&] { return m_preview->IsPlaying(); }));
    EXPECT_EQ(CString("Stop"), m_preview->GetTransportTip(IDC_PREVIEW_PLAY));
    ASSERT_TRUE(WaitUntil([&] { return m_preview->GetCurrentVobu() > 0; }));
    // Stop pauses
    ClickButton(IDC_PREVIEW_PLAY);
    ASSERT_TRUE(WaitUntil([&] { return !m_preview->IsPlaying(); }));
    EXPECT_EQ(CString("Play"), m_preview->GetTransportTip(IDC_PREVIEW_PLAY));

    // each scan step moves three VOBUs
    ClickButton(IDC_PREVIEW_GOTO_START);
    EXPECT_EQ(0, m_preview->GetCurrentVobu());
    ClickButton(IDC_PREVIEW_FAST_FORWARD);
    EXPECT_TRUE(m_preview->IsScanning());
    EXPECT_EQ(CString("Stop"), m_preview->GetTransportTip(IDC_PREVIEW_FAST_FORWARD));
    ASSERT_TRUE(WaitUntil([&] { return m_preview->GetCurrentVobu() != 0; }));
    // on a loaded machine a later step may be the first one seen
    const int nScanned = m_preview->GetCurrentVobu();
    EXPECT_TRUE(nScanned % 3 == 0 || nScanned == nLast) << nScanned;
    // Rewind while fast-forwarding turns round; Rewind again stops
    ClickButton(IDC_PREVIEW_REWIND);
    EXPECT_TRUE(m_preview->IsScanning());
    EXPECT_FALSE(m_preview->IsScanningForward());
    EXPECT_EQ(CString("Fast Forward"), m_preview->GetTransportTip(IDC_PREVIEW_FAST_FORWARD));
    EXPECT_EQ(CString("Stop"), m_preview->GetTransportTip(IDC_PREVIEW_REWIND));
    ClickButton(IDC_PREVIEW_REWIND);
    EXPECT_FALSE(m_preview->IsScanning());
    EXPECT_EQ(CString("Rewind"), m_preview->GetTransportTip(IDC_PREVIEW_REWIND));

    // fast forward at the last VOBU stops at the first step
    ClickButton(IDC_PREVIEW_GOTO_END);
    EXPECT_EQ(nLast, m_preview->GetCurrentVobu());
    ClickButton(IDC_PREVIEW_FAST_FORWARD);
    ASSERT_TRUE(WaitUntil([&] { return !m_preview->IsScanning(); }));
    EXPECT_EQ(nLast, m_preview->GetCurrentVobu());

    // the slider seeks
    m_preview->SendMessage(WM_HSCROLL, SB_TOP, reinterpret_cast<LPARAM>(m_preview->GetSlider().m_hWnd));
    EXPECT_EQ(0, m_preview->GetCurrentVobu());
    m_preview->SendMessage(WM_HSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(m_preview->GetSlider().m_hWnd));
    EXPECT_EQ(std::min(10, nLast), m_preview->GetCurrentVobu());

    // a late picture is kept but not painted
    kxgui::PumpUntilIdle();
    CVideoPicture picture;
    picture.SetFormat(720, 576, kPicYuv420, 0);
    CPlayerEvent late = {kPlayerPicture, uint64_t(uintptr_t(&picture)), 1};
    m_preview->OnPlayerEvent(&late);
    EXPECT_FALSE(Queued(m_preview->m_hWnd, WM_PREVIEW_PICTURE));
    CPlayerEvent onTime = {kPlayerPicture, uint64_t(uintptr_t(&picture)), 0};
    m_preview->OnPlayerEvent(&onTime);
    EXPECT_TRUE(Queued(m_preview->m_hWnd, WM_PREVIEW_PICTURE));
    kxgui::PumpUntilIdle();

    // another unit and the window's end while playing
    ClickButton(IDC_PREVIEW_PLAY);
    ASSERT_TRUE(WaitUntil([&] { return m_preview->IsPlaying(); }));
    m_preview->SetCell(pTitle, nullptr);
    EXPECT_FALSE(m_preview->IsPlaying());
    ClickButton(IDC_PREVIEW_PLAY);
    ASSERT_TRUE(WaitUntil([&] { return m_preview->IsPlaying(); }));
    m_preview.reset();
    kxgui::PumpUntilIdle();
}

class MenuPreviewTest : public CellPreviewTest
{
protected:
    // The menu at its natural size, its first picture shown.
    void ShowMenu()
    {
        m_pMenu = MenuUnit();
        if (m_pMenu == nullptr)
            return;
        MakePreview(740, 530);
        kxgui::Activate(m_hHost);
        Show(m_pMenu);
    }
    CRect ButtonRect(int nButton)
    {
        const CButtonSegment* pSegment = m_pMenu->GetSegment(0);
        return m_preview->GetMapping().ToPicture(pSegment->GetButton(uint32_t(nButton))->GetGroup(0));
    }
    kxgui::PixelBuffer Shot() { return kxgui::CaptureScreen(m_preview->m_hWnd); }
    void PressKey(WORD vk)
    {
        kxgui::InputScript().Key(vk).Send();
        WaitUntil([&] { return ::GetQueueStatus(QS_KEY) == 0; });
        kxgui::PumpUntilIdle();
    }

    CVobCell* m_pMenu = nullptr;
};

TEST_F(MenuPreviewTest, ButtonsLinksAndKeys)
{
    ShowMenu();
    if (m_pMenu == nullptr)
        GTEST_SKIP() << "fixture missing";
    EXPECT_EQ(CRect(10, 15, 730, 495), m_preview->GetPictureRect());
    EXPECT_EQ(0, m_preview->GetCurrentButton());
    kxgui::PixelBuffer shot = Shot();
    // every button outlined in red at its mapped place, the current one in
    // green around and inside
    for (int b = 1; b < 3; ++b)
    {
        const CRect rect = ButtonRect(b);
        EXPECT_EQ(CRect(10 + 252, 15 + 112 + 100 * b, 10 + 468, 15 + 188 + 100 * b), rect);
        EXPECT_EQ(RGB(255, 0, 0), shot.At(rect.left + 40, rect.top)) << b;
        EXPECT_EQ(RGB(255, 0, 0), shot.At(rect.left, rect.top + 40)) << b;
    }
    const CRect first = ButtonRect(0);
    EXPECT_EQ(RGB(0, 255, 0), shot.At(first.left + 40, first.top - 1));
    EXPECT_EQ(RGB(0, 255, 0), shot.At(first.left + 40, first.top + 1));
    // the up link of button 1 is button 3: "BLDP" 3 puts its marker below
    // button 3's bottom edge: an upward arrow with its tip there, the red
    // outline's base 9 pixels below and the leading cyan one's a pixel lower
    const CRect third = ButtonRect(2);
    EXPECT_EQ(RGB(255, 0, 0), shot.At(third.CenterPoint().x, third.bottom + 9));
    EXPECT_EQ(RGB(0, 255, 255), shot.At(third.CenterPoint().x, third.bottom + 10));
    // the information overlay at the top left
    EXPECT_EQ(RGB(0, 128, 0), shot.At(m_preview->GetPictureRect().left + 1, m_preview->GetPictureRect().top + 1));

    // the hot button gets a five-pixel inverted border
    const CRect second = ButtonRect(1);
    const COLORREF edge = shot.At(second.left + 2, second.top + 20);
    const COLORREF inside = shot.At(second.left + 30, second.top + 30);
    kxgui::MoveMouseTo(POINT{0, 0});
    CPoint centre = ButtonRect(1).CenterPoint();
    m_preview->ClientToScreen(&centre);
    kxgui::MoveMouseTo(centre);
    ASSERT_TRUE(WaitUntil([&] { return m_preview->GetHotButton() == 1; }));
    shot = Shot();
    EXPECT_EQ(edge ^ 0xFFFFFF, shot.At(second.left + 2, second.top + 20));
    EXPECT_EQ(inside, shot.At(second.left + 30, second.top + 30));

    // the arrows follow the links of the current group: down, down, down
    // wraps round; left of button 1 is itself
    m_preview->SetFocus();
    PressKey(VK_DOWN);
    EXPECT_EQ(1, m_preview->GetCurrentButton());
    EXPECT_EQ(-1, m_preview->GetHotButton());
    PressKey(VK_DOWN);
    EXPECT_EQ(2, m_preview->GetCurrentButton());
    PressKey(VK_DOWN);
    EXPECT_EQ(0, m_preview->GetCurrentButton());
    PressKey(VK_LEFT);
    EXPECT_EQ(0, m_preview->GetCurrentButton());
    PressKey(VK_RIGHT);
    EXPECT_EQ(2, m_preview->GetCurrentButton());

    // F6 hides overlay and buttons until the focus leaves
    PressKey(VK_F6);
    EXPECT_FALSE(m_preview->IsOverlayVisible());
    shot = Shot();
    EXPECT_NE(RGB(255, 0, 0), shot.At(ButtonRect(1).left + 40, ButtonRect(1).top));
    EXPECT_NE(RGB(0, 128, 0), shot.At(m_preview->GetPictureRect().left + 1, m_preview->GetPictureRect().top + 1));
    ::SetFocus(m_hHost);
    ASSERT_TRUE(WaitUntil([&] { return m_preview->IsOverlayVisible(); }));
    EXPECT_EQ(RGB(255, 0, 0), Shot().At(ButtonRect(1).left + 40, ButtonRect(1).top));
}

TEST_F(MenuPreviewTest, OptionsTurnOverlayAndMarkersOff)
{
    SetOption("OPSPI", 0);
    SetOption("BLDP", 0);
    ShowMenu();
    if (m_pMenu == nullptr)
        GTEST_SKIP() << "fixture missing";
    const kxgui::PixelBuffer shot = Shot();
    const CRect picture = m_preview->GetPictureRect();
    EXPECT_EQ(0, shot.CountColor(RGB(0, 128, 0), picture));
    EXPECT_EQ(0, shot.CountColor(RGB(0, 255, 255), picture));
    // the buttons stay
    EXPECT_EQ(RGB(255, 0, 0), shot.At(ButtonRect(1).left + 40, ButtonRect(1).top));
}

TEST_F(MenuPreviewTest, ExportFrameWritesThePictureShown)
{
    SetOption("OPSPI", 0);
    ShowMenu();
    if (m_pMenu == nullptr)
        GTEST_SKIP() << "fixture missing";
    kxtest::ScratchFolder folder;
    ASSERT_TRUE(folder.Created());
    const std::string path = kx::JoinPath(folder.Path(), "frame.bmp");
    kxgui::DialogAnswerer answerer(IDOK);
    ASSERT_TRUE(m_preview->ExportFrame(path.c_str()));
    const std::vector<BYTE> file = kxtest::ReadWholeFile(path);
    ASSERT_GT(file.size(), 54u);
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ('M', file[1]);
    uint32_t nFileSize = 0, nImageSize = 0;
    int32_t nWidth = 0, nHeight = 0;
    std::memcpy(&nFileSize, &file[2], 4);
    std::memcpy(&nWidth, &file[18], 4);
    std::memcpy(&nHeight, &file[22], 4);
    std::memcpy(&nImageSize, &file[34], 4);
    EXPECT_EQ(nImageSize + 54, nFileSize);
    EXPECT_EQ(file.size(), size_t(nFileSize));
    ASSERT_EQ(720, nWidth);
    ASSERT_EQ(480, std::abs(nHeight));
    // the picture is painted at its natural size, so pixels compare one to
    // one away from the buttons
    const kxgui::PixelBuffer shot = Shot();
    const CRect picture = m_preview->GetPictureRect();
    for (const POINT& p : {POINT{50, 50}, POINT{600, 420}, POINT{360, 150}, POINT{100, 300}})
    {
        const int row = nHeight > 0 ? nHeight - 1 - p.y : p.y;
        const BYTE* px = &file[54 + size_t(row) * 720 * 4 + size_t(p.x) * 4];
        EXPECT_EQ(RGB(px[2], px[1], px[0]), shot.At(picture.left + p.x, picture.top + p.y)) << p.x << "," << p.y;
    }

    EXPECT_FALSE(m_preview->ExportFrame(kx::JoinPath(folder.Path(), "missing\\frame.bmp").c_str()));
    bool bReported = false;
    for (const std::string& seen : answerer.Seen())
        bReported = bReported || seen.find("Error exporting frame") != std::string::npos;
    EXPECT_TRUE(bReported);
}

TEST_F(MenuPreviewTest, ScreenshotsInEveryTheme)
{
    ShowMenu();
    if (m_pMenu == nullptr)
        GTEST_SKIP() << "fixture missing";
    m_preview->SelectButton(1, false);
    CPoint centre = ButtonRect(2).CenterPoint();
    m_preview->ClientToScreen(&centre);
    kxgui::MoveMouseTo(centre);
    ASSERT_TRUE(WaitUntil([&] { return m_preview->GetHotButton() == 2; }));
    for (int nTheme = 0; nTheme < 4; ++nTheme)
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
        ::RedrawWindow(m_hHost, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        kxgui::PumpUntilIdle();
        const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_hHost);
        EXPECT_FALSE(
            kxgui::SaveArtifact(shot, std::string("cellpreview_menu_") + ExtTestThemeName(nTheme) + ".png").empty());
    }
}

TEST_F(CellPreviewTest, CellViewShowsOneTabPerAngle)
{
    kxtest::AngleDisc three(3);
    CAngleBlockList* pDomain = AngleDomain(three);
    if (pDomain == nullptr)
        GTEST_SKIP() << "fixture missing";
    CAngleBlock* pBlock = pDomain->GetBlock(1);
    ASSERT_EQ(3u, pBlock->GetIlvuCount());
    MakeHost(600, 400);
    m_view = std::make_unique<CCellViewWnd>();
    ASSERT_TRUE(m_view->Create("Cell", WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 400), CWnd::FromHandle(m_hHost), 9));
    m_view->SetFont(&m_font);
    m_view->SetBlock(pBlock, nullptr);
    kxgui::PumpUntilIdle();
    CTabStripCtrl& tabs = m_view->GetTabs();
    ASSERT_EQ(3, tabs.GetTabCount());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(CString("ilvu ") + char('1' + i), tabs.GetTab(i)->m_strText);
    EXPECT_TRUE(m_view->IsShowingTabs());
    CRect preview;
    m_view->GetPreview().GetWindowRect(&preview);
    m_view->ScreenToClient(&preview);
    const int tw = ::GetSystemMetrics(SM_CYHSCROLL) + 1;
    EXPECT_EQ(CRect(tw, 0, 600, 400), preview);
    EXPECT_EQ(pBlock->GetIlvu(0), m_view->GetPreview().GetUnit());
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_hHost);
    EXPECT_FALSE(kxgui::SaveArtifact(shot, "cellview_three_angles.png").empty());

    // tab 3 keeps the place and the streams of tab 1
    CCellPreviewWnd::PreviewState state;
    state.nVobu = 1;
    state.audio[0] = 0xBD;
    state.audio[1] = 0x80;
    state.nSubpicture = 1;
    state.dwAudioValue = 7;
    state.dwSubpictureValue = 9;
    m_view->GetPreview().SetCell(pBlock->GetIlvu(0), &state);
    EXPECT_EQ(state, m_view->GetPreview().GetState());
    tabs.SelectTab(2);
    EXPECT_EQ(pBlock->GetIlvu(2), m_view->GetPreview().GetUnit());
    EXPECT_EQ(state, m_view->GetPreview().GetState());
    EXPECT_EQ(2, m_view->GetLocation().tab);

    // a stored tab beyond a two-unit block selects the first
    m_view->SetBlock(nullptr, nullptr);
    kxtest::AngleDisc two(2);
    CAngleBlockList* pTwo = AngleDomain(two);
    ASSERT_NE(nullptr, pTwo);
    CCellViewLocation location;
    location.tab = 5;
    m_view->SetBlock(pTwo->GetBlock(1), &location);
    EXPECT_EQ(0, tabs.GetCurSel());
    EXPECT_EQ(pTwo->GetBlock(1)->GetIlvu(0), m_view->GetPreview().GetUnit());

    // one unit: no tabs, the preview takes the whole width
    m_view->SetBlock(pTwo->GetBlock(0), nullptr);
    EXPECT_FALSE(m_view->IsShowingTabs());
    m_view->GetPreview().GetWindowRect(&preview);
    m_view->ScreenToClient(&preview);
    EXPECT_EQ(CRect(0, 0, 600, 400), preview);

    m_view->SetBlock(nullptr, nullptr);
    EXPECT_EQ(0, tabs.GetTabCount());
    EXPECT_EQ(nullptr, m_view->GetPreview().GetUnit());
    EXPECT_FALSE(m_view->IsShowingTabs());
}

TEST(CellViewLocation, EqualityLooksAtTheLowByteOfTheTab)
{
    CCellViewLocation a;
    CCellViewLocation b;
    b.tab = 0x100;
    EXPECT_EQ(a, b);
    b.preview.nButton = 2;
    EXPECT_NE(a, b);
}

// ---- context menus and edit commands ------------------------------------------

// The disc view's part for the preview: after an edit, undo or redo it
// hands the preview the unit at the same place of the current disc, at the
// place and with the choices the preview showed.
class PreviewHost : public CView, public CDvdViewNotices
{
public:
    PreviewHost(CDvdDoc& doc, CCellPreviewWnd& preview, std::function<CVobCell*(CDvd&)> find)
        : m_doc(doc), m_preview(preview), m_find(std::move(find))
    {
    }
    void OnRevisionAdded(int, int) override {}
    void OnNodeChanged(CDvdObject*) override { Refresh(); }
    void OnRevisionChanged() override { Refresh(); }
    void Refresh()
    {
        const CCellPreviewWnd::PreviewState state = m_preview.GetState();
        m_preview.SetCell(m_find(m_doc.GetCurrentDvd()), &state);
    }

protected:
    void OnDraw(CDC*) override {}

private:
    CDvdDoc& m_doc;
    CCellPreviewWnd& m_preview;
    std::function<CVobCell*(CDvd&)> m_find;
};

class PreviewEditTest : public CellPreviewTest
{
protected:
    void SetUp() override
    {
        CellPreviewTest::SetUp();
        // a menu drops the keys and clicks that come while it fades in
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
        CreateStockCells();
        m_doc.m_bAutoDelete = FALSE;
        g_nRevisionLimit = 10;
    }
    void TearDown() override
    {
        if (m_pHost)
            m_doc.RemoveView(m_pHost.get());
        m_pHost.reset();
        m_preview.reset();
        m_doc.DeleteContents();
        CellPreviewTest::TearDown();
    }

    // The fixture as the document's only revision, the unit that find
    // answers in an editable preview (at VOBU nVobu) with the document's
    // view behind it.
    bool Open(const char* fixture, std::function<CVobCell*(CDvd&)> find, int nVobu = 0)
    {
        if (kxtest::FixtureDir(fixture).empty())
            return false;
        kxtest::RecordingLog log;
        if (!m_doc.GetCurrentDvd().Read(log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr))
            return false;
        MakePreview(740, 560);
        m_pHost = std::make_unique<PreviewHost>(m_doc, *m_preview, find);
        m_doc.AddView(m_pHost.get());
        m_find = std::move(find);
        kxgui::Activate(m_hHost);
        ShowAt(nVobu);
        return true;
    }
    void ShowAt(int nVobu)
    {
        CCellPreviewWnd::PreviewState state = m_preview->GetState();
        state.nVobu = nVobu;
        Show(m_find(m_doc.GetCurrentDvd()), &state);
    }
    CVobCell* Unit() { return m_find(m_doc.GetCurrentDvd()); }
    // Right-clicks the client point; the menu that opened, or null.
    CExtPopupMenuWnd* OpenMenu(CPoint point)
    {
        kxgui::Click(m_preview->m_hWnd, point, true);
        kxgui::PumpUntilIdle();
        return CExtPopupMenuWnd::GetTracker().GetTopPopup();
    }
    CExtPopupMenuWnd* OpenCellMenu() { return OpenMenu(m_preview->GetPictureRect().CenterPoint()); }
    // Picks the item with the mouse: over it, then a click.
    static void PointAt(CExtPopupMenuWnd& menu, int nItem)
    {
        CRect rc;
        menu.ItemGetRect(nItem, rc);
        kxgui::InputScript().MoveTo(menu.m_hWnd, rc.CenterPoint()).Send();
        kxgui::PumpUntilIdle();
        kxgui::InputScript().Click(menu.m_hWnd, rc.CenterPoint()).Send();
        kxgui::PumpUntilIdle();
    }
    static std::vector<bool> Enabled(CExtPopupMenuWnd& menu)
    {
        std::vector<bool> enabled;
        for (int i = 0; i < menu.ItemGetCount(); ++i)
            if (!menu.GetItemAt(i).IsSeparator())
                enabled.push_back(menu.ItemIsEnabled(i));
        return enabled;
    }
    int Revisions() { return m_doc.GetRevisions().GetSize(); }
    const CDvdRevision& Current() { return m_doc.GetRevisions().GetCurrent(); }

    CDvdDoc m_doc;
    std::unique_ptr<PreviewHost> m_pHost;
    std::function<CVobCell*(CDvd&)> m_find;
};

CVobCell* FirstTitleUnit(CDvd& dvd)
{
    return dvd.GetVts(0)->GetTitleDomain().GetBlock(0)->GetIlvu(0);
}

CVobCell* FirstMenuUnit(CDvd& dvd)
{
    return dvd.GetVmg().GetMenuDomain().GetBlock(0)->GetIlvu(0);
}

// The cell menu of a title cell at VOBU 1: its entries, each edit chosen
// with its mnemonic or by pointing, one revision with its history text and
// path, the engine operation's effect, the preview back at VOBU 0 after the
// cuts to the front and the still, and undo.
TEST_F(PreviewEditTest, CellMenuCommandsMakeOneRevisionEach)
{
    if (!Open("pal1", FirstTitleUnit, 1))
        GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
    const uint32_t nVobus = Unit()->GetVobuCount();
    const uint32_t nBlocks = m_doc.GetCurrentDvd().GetVts(0)->GetTitleDomain().GetBlockCount();
    ASSERT_GE(nVobus, 3u);

    CExtPopupMenuWnd* pMenu = OpenCellMenu();
    ASSERT_NE(pMenu, nullptr);
    const char* const texts[] = {
        "&Hide block", nullptr,           "Cut &to here",      "Cut &from here", "&Split here",
        nullptr,       "Rest&ore block",  "&Show original...", nullptr,          "Convert to &still",
        nullptr,       "&Export frame..."};
    ASSERT_EQ(pMenu->ItemGetCount(), 12);
    for (int i = 0; i < 12; ++i)
    {
        if (texts[i] == nullptr)
            EXPECT_TRUE(pMenu->GetItemAt(i).IsSeparator()) << i;
        else
        {
            EXPECT_STREQ(pMenu->ItemGetText(i), texts[i]);
            EXPECT_STREQ(pMenu->ItemGetAccelText(i), "");
        }
    }
    // hide, cut to, cut from, split, restore, show original, still, export
    EXPECT_EQ(Enabled(*pMenu), std::vector<bool>({true, true, true, true, false, false, true, true}));
    for (int nTheme : {1, 3})
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
        pMenu->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        kxgui::PumpUntilIdle();
        EXPECT_FALSE(kxgui::SaveArtifact(kxgui::CaptureScreen(pMenu->m_hWnd, false),
                                         std::string("cellpreview_cell_menu_") + ExtTestThemeName(nTheme) + ".png")
                         .empty());
    }
    kxgui::PressKey(VK_ESCAPE);
    kxgui::PumpUntilIdle();
    ASSERT_EQ(CExtPopupMenuWnd::GetTracker().GetTopPopup(), nullptr);

    struct Case
    {
        const char* text;
        WORD key;  // the mnemonic, or 0 to point at the item
        int nItem; // the item pointed at
        bool bPathOfBlock;
        bool bFromStart;
        std::function<bool(CDvd&)> effect;
    };
    const Case cases[] = {
        {"cut to here", 'T', 0, false, true,
         [&](CDvd& dvd) { return FirstTitleUnit(dvd)->GetVobuCount() == nVobus - 1; }},
        {"cut from here", 0, 3, false, false, [&](CDvd& dvd) { return FirstTitleUnit(dvd)->GetVobuCount() == 2; }},
        {"cut cell", 0, 4, false, false,
         [&](CDvd& dvd) { return dvd.GetVts(0)->GetTitleDomain().GetBlockCount() == nBlocks + 1; }},
        {"convert to still", 0, 9, false, true, [&](CDvd& dvd) { return FirstTitleUnit(dvd)->HasStillSource(); }},
        {"hide block", 'H', 0, true, false, [&](CDvd& dvd) { return FirstTitleUnit(dvd)->IsStock(); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        ShowAt(1);
        ASSERT_EQ(m_preview->GetCurrentVobu(), 1);
        const CString path = c.bPathOfBlock ? GetPath(Unit()->GetParent()) : GetPath(Unit());
        // an edit after undo replaces the undone revision
        const int nBefore = m_doc.GetRevisions().GetCurrentIndex();
        pMenu = OpenCellMenu();
        ASSERT_NE(pMenu, nullptr);
        if (c.key != 0)
        {
            kxgui::PressKey(c.key);
            kxgui::PumpUntilIdle();
        }
        else
            PointAt(*pMenu, c.nItem);
        ASSERT_EQ(CExtPopupMenuWnd::GetTracker().GetTopPopup(), nullptr);
        ASSERT_EQ(m_doc.GetRevisions().GetCurrentIndex(), nBefore + 1);
        EXPECT_STREQ(Current().m_strDescription, c.text);
        EXPECT_STREQ(Current().m_strPath, path);
        EXPECT_TRUE(c.effect(m_doc.GetCurrentDvd()));
        EXPECT_EQ(m_preview->GetUnit(), Unit());
        if (c.bFromStart)
        {
            EXPECT_EQ(m_preview->GetCurrentVobu(), 0);
            EXPECT_EQ(m_preview->GetSlider().GetScrollPos(), 0);
        }
        EXPECT_EQ(::GetFocus(), m_preview->m_hWnd);
        m_doc.OnUndo();
        EXPECT_FALSE(c.effect(m_doc.GetCurrentDvd()));
        EXPECT_EQ(m_preview->GetUnit(), Unit());
    }
}

// A hidden block: restore and the original are offered; the original opens
// read-only in its popup on a copy, which leaves the project as it was; then
// restore brings the block back.
TEST_F(PreviewEditTest, HiddenBlockShowsItsOriginalAndIsRestored)
{
    if (!Open("pal1", FirstTitleUnit, 1))
        GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
    const uint32_t nVobus = Unit()->GetVobuCount();
    ASSERT_NE(OpenCellMenu(), nullptr);
    kxgui::PressKey('H');
    kxgui::PumpUntilIdle();
    ASSERT_EQ(Revisions(), 2);
    ASSERT_TRUE(Unit()->IsStock());
    m_doc.SetModifiedFlag(FALSE);

    CExtPopupMenuWnd* pMenu = OpenCellMenu();
    ASSERT_NE(pMenu, nullptr);
    // hide, cut to, cut from, split, restore, show original, still, export
    const std::vector<bool> enabled = Enabled(*pMenu);
    ASSERT_EQ(enabled.size(), 8u);
    EXPECT_TRUE(enabled[4]);
    EXPECT_TRUE(enabled[5]);
    EXPECT_FALSE(enabled[6]) << "no still of a stock cell";

    bool bOwnerEnabled = true;
    bool bStripShown = true;
    const CVobCell* pShown = nullptr;
    uint32_t nShownVobus = 0;
    kxtest::WhenShown("Original Preview",
                      [&](HWND hWnd)
                      {
                          auto* pDialog = dynamic_cast<COriginalPreviewDlg*>(CWnd::FromHandlePermanent(hWnd));
                          ASSERT_NE(pDialog, nullptr);
                          kxgui::PumpUntilIdle();
                          bOwnerEnabled = ::IsWindowEnabled(m_hHost) != FALSE;
                          bStripShown = pDialog->GetCellWnd().GetStrip().IsWindowVisible() != FALSE;
                          pShown = pDialog->GetCellWnd().GetCellView().GetPreview().GetUnit();
                          nShownVobus = pShown != nullptr ? pShown->GetVobuCount() : 0;
                          EXPECT_FALSE(
                              kxgui::SaveArtifact(kxgui::CaptureScreen(hWnd, false), "original_preview.png").empty());
                          CButton& ok = pDialog->GetConfirmButton();
                          CRect rc;
                          ok.GetClientRect(&rc);
                          kxgui::Click(ok.m_hWnd, rc.CenterPoint());
                      });
    PointAt(*pMenu, 7);
    kxtest::CancelWhenShown();
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_FALSE(bStripShown) << "one block needs no strip";
    EXPECT_NE(pShown, nullptr);
    EXPECT_NE(pShown, Unit());
    EXPECT_EQ(nShownVobus, nVobus);
    EXPECT_EQ(Revisions(), 2);
    EXPECT_FALSE(m_doc.IsModified());
    EXPECT_TRUE(::IsWindowEnabled(m_hHost));

    ASSERT_NE(OpenCellMenu(), nullptr);
    kxgui::PressKey('O');
    kxgui::PumpUntilIdle();
    ASSERT_EQ(Revisions(), 3);
    EXPECT_STREQ(Current().m_strDescription, "restore block");
    EXPECT_FALSE(Unit()->IsStock());
    EXPECT_EQ(Unit()->GetVobuCount(), nVobus);
}

// The button menu of a menu cell: right-click over the second button, its
// two commands, each one revision: hide moves the button out of the way in
// every group and hands its neighbours' links on; bypass hides the block.
TEST_F(PreviewEditTest, ButtonMenuHidesAndBypasses)
{
    SetOption("OPSPI", 0);
    if (!Open("ntscmenu", FirstMenuUnit))
        GTEST_SKIP() << kxtest::MissingFixtureMessage("ntscmenu");
    const auto buttonCentre = [&](int nButton)
    {
        const CButtonSegment* pSegment = Unit()->GetSegment(0);
        return m_preview->GetMapping().ToPicture(pSegment->GetButton(uint32_t(nButton))->GetGroup(0)).CenterPoint();
    };
    const CButtonSegment* pSegment = Unit()->GetSegment(0);
    ASSERT_EQ(pSegment->GetButtonCount(), 3u);
    // the links of button 1 and 3 that lead to button 2
    std::vector<std::pair<int, int>> toSecond;
    for (int b : {0, 2})
        for (int k = 0; k < BTNDIR_COUNT; ++k)
            if (pSegment->GetButton(uint32_t(b))->GetGroup(0).neighbours[k] == 1)
                toSecond.push_back({b, k});
    ASSERT_FALSE(toSecond.empty());

    CExtPopupMenuWnd* pMenu = OpenMenu(buttonCentre(1));
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(m_preview->GetCurrentButton(), 1);
    ASSERT_EQ(pMenu->ItemGetCount(), 3);
    EXPECT_STREQ(pMenu->ItemGetText(0), "&Hide button");
    EXPECT_STREQ(pMenu->ItemGetText(2), "Bypass &menu (auto select button)");
    EXPECT_EQ(Enabled(*pMenu), std::vector<bool>({true, BypassMenuQualifies(*pSegment, 1, 0, Unit()->GetDomain())}));
    const CString segmentPath = GetPath(pSegment);
    PointAt(*pMenu, 0);
    ASSERT_EQ(Revisions(), 2);
    EXPECT_STREQ(Current().m_strDescription, "hide button");
    EXPECT_STREQ(Current().m_strPath, segmentPath);
    pSegment = Unit()->GetSegment(0);
    const CDvdButton* pHidden = pSegment->GetButton(1);
    for (uint32_t g = 0; g < pHidden->GetGroupCount(); ++g)
    {
        const CButtonGroupEntry& entry = pHidden->GetGroup(int(g));
        EXPECT_EQ(CRect(int(entry.dwXStart), int(entry.dwYStart), int(entry.dwXEnd), int(entry.dwYEnd)),
                  CRect(1, 1, 2, 2))
            << g;
    }
    for (const auto& link : toSecond)
        EXPECT_NE(pSegment->GetButton(uint32_t(link.first))->GetGroup(0).neighbours[link.second], 1);

    m_doc.OnUndo();
    pMenu = OpenMenu(buttonCentre(0));
    ASSERT_NE(pMenu, nullptr);
    ASSERT_TRUE(pMenu->ItemIsEnabled(2));
    const CString unitPath = GetPath(Unit());
    kxgui::PressKey('M');
    kxgui::PumpUntilIdle();
    ASSERT_EQ(Revisions(), 2);
    EXPECT_STREQ(Current().m_strDescription, "bypass menu");
    EXPECT_STREQ(Current().m_strPath, unitPath);
    EXPECT_TRUE(Unit()->IsStock());
}

// No menu in a read-only preview, nor outside the picture.
TEST_F(CellPreviewTest, MenusOnlyInsideTheEditablePicture)
{
    CVobCell* pTitle = TitleUnit();
    if (pTitle == nullptr)
        GTEST_SKIP() << kxtest::MissingFixtureMessage("pal1");
    for (bool bReadOnly : {true, false})
    {
        MakePreview(640, 400, bReadOnly);
        kxgui::Activate(m_hHost);
        Show(pTitle);
        const CRect picture = m_preview->GetPictureRect();
        const CPoint point = bReadOnly ? picture.CenterPoint() : CPoint(picture.left + 5, picture.bottom + 3);
        kxgui::Click(m_preview->m_hWnd, point, true);
        kxgui::PumpUntilIdle();
        EXPECT_EQ(CExtPopupMenuWnd::GetTracker().GetTopPopup(), nullptr) << bReadOnly;
        m_preview.reset();
        ::DestroyWindow(m_hHost);
        m_hHost = nullptr;
    }
}

} // namespace
