// A frame's whole bar layout stored and restored: through a memory archive,
// the registry under a private test key and a layout file; damaged layouts
// that must neither crash nor hang nor apply on trust; the serializing
// state the bars see; and the placement saved while minimised.
#include "Shared/platform/PlatformTime.h"
#include "Shared/source/RegistryKey.h"
#include "framework/core/CArchive.h"
#include "framework/core/CException.h"
#include "framework/core/CFile.h"
#include "framework/core/CMemFile.h"
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/ScratchFolder.h"
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/core/ExtRegistryArchiver.h"
#include "uitoolkit/docking/ExtDynControlBar.h"
#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Site = CExtControlBar::InternalDockStateSite;
using Record = CExtControlBar::InternalDockStateBar;

// Ids 59470... for panes, 59490 for the tool bar, as the dumps show them.
const UINT kIdPane = AFX_IDW_CONTROLBAR_FIRST + 78;
const UINT kIdTool = AFX_IDW_CONTROLBAR_FIRST + 98;
const UINT kToolButtons[] = {0xE100, 0xE101, 0, 0xE103};
const char kCmdProfile[] = "KestreluxFrameStateTest";

// A pane that shows what the frame's serializing state is when it is told
// the layout was stored or loaded.
class CStatePane : public CExtControlBar
{
public:
    struct Notice
    {
        bool bStoring;
        bool bSerializing;
        bool bLoading;
        bool bNestedResult;
    };
    std::vector<Notice> m_notices;
    bool m_bThrowWhenNotified = false;

    void OnFrameStateSerialized(bool bStoring) override
    {
        Notice notice = {bStoring, false, false, true};
        notice.bSerializing = IsFrameStateSerializing(m_pDockSite, &notice.bLoading);
        CMemFile file;
        CArchive ar(&file, CArchive::store);
        notice.bNestedResult = SerializeFrameState(ar, m_pDockSite);
        ar.Abort();
        m_notices.push_back(notice);
        if (m_bThrowWhenNotified)
            AfxThrowMemoryException();
    }
    void DoPaint(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, RGB(255, 255, 255));
        CString sText;
        GetWindowText(sText);
        pDC->TextOut(4, 4, sText);
    }
};

// The layout dump with the floating frames' sizes left out: a floating
// container's frame comes back at its place but not yet at its size.
std::string Places(const std::string& sDump)
{
    std::string sOut;
    size_t nPos = 0;
    while (nPos < sDump.size())
    {
        size_t nEnd = sDump.find('\n', nPos);
        if (nEnd == std::string::npos)
            nEnd = sDump.size();
        std::string sLine = sDump.substr(nPos, nEnd - nPos);
        if (sLine.rfind("floating (", 0) == 0 && sLine.find(")-(") != std::string::npos)
            sLine = sLine.substr(0, sLine.find(")-(") + 1);
        sOut += sLine + "\n";
        nPos = nEnd + 1;
    }
    return sOut;
}

std::vector<BYTE> FileBytes(CFile& file)
{
    std::vector<BYTE> bytes((size_t)file.GetLength());
    file.SeekToBegin();
    if (!bytes.empty())
        file.Read(bytes.data(), (UINT)bytes.size());
    return bytes;
}

class ExtFrameStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CExtControlBar::g_nDockingStyle = 0;
        ASSERT_TRUE(m_frame.CreateTestFrame(CRect(20, 20, 820, 620)));
        kxgui::Activate(m_frame.m_hWnd);
        ASSERT_TRUE(CExtControlBar::EnableFrameDocking(&m_frame));
        for (int i = 0; i < 9; ++i)
        {
            m_panes.push_back(std::make_unique<CStatePane>());
            CString sName;
            sName.Format("Pane %c", 'A' + i);
            ASSERT_TRUE(m_panes.back()->Create(sName, &m_frame, kIdPane + i, WS_CHILD | WS_VISIBLE | CBRS_TOP));
            m_panes.back()->EnableDocking(CBRS_ALIGN_ANY);
            m_panes.back()->m_sizeDockedH = CSize(200, 90);
            m_panes.back()->m_sizeDockedV = CSize(140, 200);
            m_panes.back()->m_sizeFloated = CSize(180, 120);
        }
        ASSERT_TRUE(m_tool.Create("Tools", &m_frame, kIdTool, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS));
        m_tool.EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(m_tool.SetButtons(kToolButtons, 4));
        m_frame.DockControlBar(&m_tool, AFX_IDW_DOCKBAR_TOP);
        for (auto& pane : m_panes)
            Circle(AFX_IDW_DOCKBAR_BOTTOM, 1)->DockControlBar(pane.get(), nullptr);
        Layout();
    }
    void TearDown() override
    {
        g_CmdManager->DetachWindowFromProfile(m_frame.m_hWnd, true);
        CExtControlBar::g_nDockingStyle = -1;
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    CStatePane& Pane(int i) { return *m_panes[(size_t)i]; }
    CExtDockBar* Circle(UINT nSide, UINT nCircle)
    {
        return static_cast<CExtDockBar*>(m_frame.GetControlBar(nSide))->GetCircleDockBar(nCircle);
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        kxgui::PumpUntilIdle();
    }

    // Two circles with rows, a container with two rows, a floating pane, a
    // floating container and the tool bar moved away from its row's start.
    void BuildLayout()
    {
        CExtDockBar* pTop1 = Circle(AFX_IDW_DOCKBAR_TOP, 1);
        pTop1->DockControlBar(&Pane(0), nullptr);
        pTop1->DockControlBar(&Pane(1), nullptr);
        pTop1->DockControlBar(&Pane(2), nullptr);
        // A and B share the first row; C has a row of its own.
        pTop1->m_arrBars.RemoveAt(pTop1->FindBar(&Pane(1)) - 1);
        Circle(AFX_IDW_DOCKBAR_LEFT, 2)->DockControlBar(&Pane(3), nullptr);
        Layout();
        ASSERT_TRUE(Pane(4).DockBeside(50, &Pane(3), AFX_IDW_DOCKBAR_TOP, true));
        auto* pContainer = static_cast<CExtDynControlBar*>(Pane(3).m_pDockBar->GetParent());
        ASSERT_TRUE(pContainer->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)));
        pContainer->m_pNestedDockBar->DockControlBar(&Pane(5), nullptr);
        Layout();
        ASSERT_TRUE(Pane(6).FloatAt(520, 300, CBRS_ALIGN_TOP));
        ASSERT_TRUE(Pane(7).FloatAt(300, 420, CBRS_ALIGN_TOP));
        Layout();
        ASSERT_TRUE(Pane(8).DockBeside(50, &Pane(7), AFX_IDW_DOCKBAR_LEFT, true));
        Layout();
        bool bResized = false;
        static_cast<CExtDockOuterBar*>(m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP))
            ->MoveBarInRow(&m_tool, 60, &bResized);
        Layout();
    }
    // Everything floats and hides.
    void Scramble()
    {
        for (int i = 0; i < 9; ++i)
        {
            Pane(i).FloatAt(100 + 20 * i, 100 + 10 * i, CBRS_ALIGN_TOP);
            m_frame.ShowControlBar(&Pane(i), FALSE, FALSE);
        }
        m_tool.FloatAt(600, 500, CBRS_ALIGN_TOP);
        Layout();
    }
    std::vector<BYTE> Store()
    {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            EXPECT_TRUE(CExtControlBar::SerializeFrameState(ar, &m_frame));
            ar.Close();
        }
        return FileBytes(file);
    }
    bool Load(const std::vector<BYTE>& bytes, WINDOWPLACEMENT* pWP = nullptr)
    {
        CMemFile file(bytes.data(), (UINT)bytes.size());
        CArchive ar(&file, CArchive::load);
        const bool bLoaded = CExtControlBar::SerializeFrameState(ar, &m_frame, pWP);
        Layout();
        return bLoaded;
    }
    // The stored layout with its records changed before it is loaded.
    std::vector<BYTE> Edited(const std::vector<BYTE>& bytes, const std::function<void(Site&)>& edit)
    {
        Site site(&m_frame, true, true);
        {
            CMemFile in(bytes.data(), (UINT)bytes.size());
            CArchive ar(&in, CArchive::load);
            site.Serialize(ar);
        }
        edit(site);
        CMemFile out;
        {
            CArchive ar(&out, CArchive::store);
            site.Serialize(ar);
            ar.Close();
        }
        return FileBytes(out);
    }
    CRect ToolRectInRow()
    {
        CRect rc;
        m_tool.GetWindowRect(&rc);
        m_frame.GetControlBar(AFX_IDW_DOCKBAR_TOP)->ScreenToClient(&rc);
        return rc;
    }

    CTestDockFrame m_frame;
    std::vector<std::unique_ptr<CStatePane>> m_panes;
    CExtToolControlBar m_tool;
};

TEST_F(ExtFrameStateTest, RoundTripThroughAMemoryArchive)
{
    BuildLayout();
    const std::string sBefore = DumpDockLayout(&m_frame);
    const CRect rcTool = ToolRectInRow();
    ASSERT_GT(rcTool.left, 0) << "the tool bar keeps a gap before it";
    ASSERT_NE(sBefore.find("CExtDockDynBar"), std::string::npos) << sBefore;
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_frame.m_hWnd), "frame_state_before_save.png");
    const std::vector<BYTE> bytes = Store();

    Scramble();
    ASSERT_NE(DumpDockLayout(&m_frame), sBefore);
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(Places(DumpDockLayout(&m_frame)), Places(sBefore));
    EXPECT_EQ(ToolRectInRow(), rcTool);
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_frame.m_hWnd), "frame_state_after_load.png");
    // Tabbed containers join this round trip once tabbed docking exists.
}

TEST_F(ExtFrameStateTest, BarsSeeTheSerializingStateAndCannotNestIt)
{
    const std::vector<BYTE> bytes = Store();
    ASSERT_EQ(Pane(0).m_notices.size(), 1u);
    EXPECT_TRUE(Pane(0).m_notices[0].bStoring);
    EXPECT_TRUE(Pane(0).m_notices[0].bSerializing);
    EXPECT_FALSE(Pane(0).m_notices[0].bLoading);
    EXPECT_FALSE(Pane(0).m_notices[0].bNestedResult);
    ASSERT_TRUE(Load(bytes));
    ASSERT_EQ(Pane(0).m_notices.size(), 2u);
    EXPECT_FALSE(Pane(0).m_notices[1].bStoring);
    EXPECT_TRUE(Pane(0).m_notices[1].bSerializing);
    EXPECT_TRUE(Pane(0).m_notices[1].bLoading);
    EXPECT_FALSE(Pane(0).m_notices[1].bNestedResult);
    EXPECT_FALSE(CExtControlBar::IsFrameStateSerializing(&m_frame));
}

TEST_F(ExtFrameStateTest, SavingWhileMinimisedStoresTheRestoredShowCommand)
{
    struct Case
    {
        int nShowBefore;
        UINT nStored;
    } cases[] = {{SW_SHOWMAXIMIZED, SW_SHOWMAXIMIZED}, {SW_SHOWNORMAL, SW_SHOWNORMAL}};
    for (const Case& c : cases)
    {
        m_frame.ShowWindow(c.nShowBefore);
        kxgui::PumpUntilIdle();
        m_frame.ShowWindow(SW_SHOWMINIMIZED);
        kxgui::PumpUntilIdle();
        ASSERT_TRUE(m_frame.IsIconic());
        WINDOWPLACEMENT wp = {};
        CMemFile file;
        CArchive ar(&file, CArchive::store);
        ASSERT_TRUE(CExtControlBar::SerializeFrameState(ar, &m_frame, &wp));
        ar.Close();
        EXPECT_EQ(wp.showCmd, c.nStored);
        m_frame.ShowWindow(SW_RESTORE);
        kxgui::PumpUntilIdle();
    }
}

TEST_F(ExtFrameStateTest, LayoutFileRoundTripAndTruncatedFile)
{
    kxtest::ScratchFolder folder;
    ASSERT_TRUE(folder.Created());
    const std::string sPath = folder.Path() + "/layout.lay";
    BuildLayout();
    const std::string sStored = DumpDockLayout(&m_frame);
    {
        CFile file(sPath.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        ASSERT_TRUE(CExtControlBar::SerializeFrameState(ar, &m_frame));
        ar.Close();
    }
    Scramble();
    {
        CFile file(sPath.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        ASSERT_TRUE(CExtControlBar::SerializeFrameState(ar, &m_frame));
    }
    Layout();
    EXPECT_EQ(Places(DumpDockLayout(&m_frame)), Places(sStored));

    {
        CFile file(sPath.c_str(), CFile::modeReadWrite);
        file.SetLength(file.GetLength() - 40);
    }
    Scramble();
    const std::string sLive = DumpDockLayout(&m_frame);
    {
        CFile file(sPath.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        EXPECT_FALSE(CExtControlBar::SerializeFrameState(ar, &m_frame));
    }
    Layout();
    EXPECT_EQ(DumpDockLayout(&m_frame), sLive);
}

// Damaged records are skipped one by one: the others still apply, and no
// value is used on trust.
TEST_F(ExtFrameStateTest, DamagedRecordsAreSkipped)
{
    CExtDockBar* pTop1 = Circle(AFX_IDW_DOCKBAR_TOP, 1);
    pTop1->DockControlBar(&Pane(0), nullptr);
    pTop1->DockControlBar(&Pane(1), nullptr);
    Layout();
    const std::vector<BYTE> bytes = Store();
    const std::string sStored = DumpDockLayout(&m_frame);
    ASSERT_NE(sStored.find("top 59419 circle 1 CExtDockBar\n  row 59470\n  row 59471\n"), std::string::npos) << sStored;

    struct Case
    {
        const char* pszName;
        std::function<void(Site&)> edit;
    } cases[] = {
        {"unknown dock-bar id", [](Site& s) { s.m_arrBars[0]->m_nDockBarID = 12345; }},
        {"circle 0xFFFFFFFF", [](Site& s) { s.m_arrBars[0]->m_nCircleNo = 0xFFFFFFFF; }},
        {"plain record naming a dock bar", [](Site& s) { s.m_arrBars[0]->m_nBarID = AFX_IDW_DOCKBAR_TOP; }},
        {"page under a container",
         [](Site& s)
         {
             Record* pPane = s.m_arrBars[0];
             auto* pContainer = new Record;
             pContainer->m_nBarID = AFX_IDW_DOCKBAR_LEFT;
             pContainer->m_nDockBarID = AFX_IDW_DOCKBAR_TOP;
             pContainer->m_nCircleNo = 1;
             pContainer->m_dwStateFlags = Record::StateKindContainer | Record::StateVisible;
             pPane->m_dwStateFlags |= Record::StateChild | Record::StateTabPage;
             pContainer->m_arrChildren.Add(pPane);
             s.m_arrBars[0] = pContainer;
         }},
        {"auto-hide id of a bar that cannot auto-hide", [](Site& s) { s.m_arrAutoHideIDs.Add(kIdPane + 1); }},
    };
    for (const Case& c : cases)
    {
        Scramble();
        ASSERT_TRUE(Load(Edited(bytes, c.edit))) << c.pszName;
        const std::string sLoaded = DumpDockLayout(&m_frame);
        // Pane B still comes back where it was.
        EXPECT_NE(sLoaded.find("top 59419 circle 1 CExtDockBar\n"), std::string::npos) << c.pszName << sLoaded;
        EXPECT_NE(sLoaded.find(" 59471"), std::string::npos) << c.pszName << sLoaded;
        EXPECT_TRUE(Pane(1).IsVisible()) << c.pszName;
        EXPECT_EQ(sLoaded.find("circle 3"), std::string::npos) << c.pszName << sLoaded;
    }
    // Without damage the whole layout returns.
    Scramble();
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(DumpDockLayout(&m_frame), sStored);
}

// A private key below the current user's settings, removed afterwards.
class ExtFrameStateRegistryTest : public ExtFrameStateTest
{
protected:
    void SetUp() override
    {
        ExtFrameStateTest::SetUp();
        m_sAppKey = "KestreluxTests\\framestate" + std::to_string(kx::MonotonicTicks());
        CExtControlBar::MakeBarStateRegPath(m_sKeyPath, m_sAppKey.c_str(), "Editor", "Layout");
        ASSERT_TRUE(g_CmdManager->SetupProfile(kCmdProfile, m_frame.m_hWnd));
    }
    void TearDown() override
    {
        CRegistryKey::DeleteKeyRecursive(kx::RegistryCurrentUser(), ("Software\\" + m_sAppKey).c_str());
        CRegistryKey::DeleteKeyRecursive(kx::RegistryCurrentUser(), "Software\\KestreluxTests");
        ExtFrameStateTest::TearDown();
    }
    bool Save() { return CExtControlBar::SaveFrameStateToRegistry(&m_frame, m_sAppKey.c_str(), "Editor", "Layout"); }
    bool LoadKey(WINDOWPLACEMENT* pWP = nullptr)
    {
        const bool bLoaded =
            CExtControlBar::LoadFrameStateFromRegistry(&m_frame, m_sAppKey.c_str(), "Editor", "Layout", pWP);
        Layout();
        return bLoaded;
    }
    std::string ReadString(LPCTSTR sName)
    {
        char sz[256] = {};
        kx::RegistryHandle hKey =
            CExtRegistryArchiver::RegOpenKeyOrNull(kx::RegistryCurrentUser(), m_sKeyPath, kx::kRegRead);
        const bool bRead = hKey != 0 && CExtRegistryArchiver::RegReadString(hKey, nullptr, sName, sz, sizeof(sz));
        if (hKey != 0)
            kx::RegistryCloseKey(hKey);
        return bRead ? sz : "";
    }

    std::string m_sAppKey;
    CString m_sKeyPath;
};

TEST_F(ExtFrameStateRegistryTest, SaveAndLoadThroughTheToolkitProfile)
{
    BuildLayout();
    const std::string sStored = DumpDockLayout(&m_frame);
    ASSERT_TRUE(Save());
    EXPECT_NE(std::string(m_sKeyPath).find("\\Editor\\Quorbis\\Profiles\\Layout\\ControlBar"), std::string::npos);
    DWORD nSize = 0;
    kx::RegistryHandle hKey =
        CExtRegistryArchiver::RegOpenKeyOrNull(kx::RegistryCurrentUser(), m_sKeyPath, kx::kRegRead);
    ASSERT_NE(hKey, 0u);
    EXPECT_TRUE(CExtRegistryArchiver::RegReadDword(hKey, nullptr, "data_size", nSize));
    BYTE chunk[16];
    DWORD nChunk = sizeof(chunk);
    EXPECT_TRUE(CExtRegistryArchiver::RegReadBinary(hKey, "block_0x00000000", "data_0x00000000", chunk, &nChunk));
    kx::RegistryCloseKey(hKey);
    EXPECT_GT(nSize, 100u);
    EXPECT_EQ(nChunk, 16u);
    EXPECT_EQ(ReadString("data_integrity").size(), 47u);
    EXPECT_FALSE(ReadString("data_generator").empty());

    Scramble();
    ASSERT_TRUE(LoadKey());
    EXPECT_EQ(Places(DumpDockLayout(&m_frame)), Places(sStored));
}

TEST_F(ExtFrameStateRegistryTest, ACorruptedIntegrityTextFailsTheLoad)
{
    ASSERT_TRUE(Save());
    std::string sIntegrity = ReadString("data_integrity");
    ASSERT_FALSE(sIntegrity.empty());
    sIntegrity[0] = sIntegrity[0] == '0' ? '1' : '0';
    kx::RegistryHandle hKey =
        CExtRegistryArchiver::RegOpenKeyOrNull(kx::RegistryCurrentUser(), m_sKeyPath, kx::kRegWrite);
    ASSERT_TRUE(CExtRegistryArchiver::RegWriteString(hKey, nullptr, "data_integrity", sIntegrity.c_str()));
    kx::RegistryCloseKey(hKey);

    Scramble();
    const std::string sLive = DumpDockLayout(&m_frame);
    CRect rcFrame;
    m_frame.GetWindowRect(&rcFrame);
    WINDOWPLACEMENT wp = {};
    wp.showCmd = 99;
    EXPECT_FALSE(LoadKey(&wp));
    EXPECT_EQ(wp.showCmd, 99u);
    EXPECT_EQ(DumpDockLayout(&m_frame), sLive);
    // The fallback puts the window's own placement back: it stays put.
    CRect rcAfter;
    m_frame.GetWindowRect(&rcAfter);
    EXPECT_EQ(rcAfter, rcFrame);
    EXPECT_TRUE(m_frame.IsWindowVisible());
}

TEST_F(ExtFrameStateRegistryTest, AFailedSaveKeepsTheStoredLayout)
{
    ASSERT_TRUE(Save());
    const std::string sIntegrity = ReadString("data_integrity");
    Circle(AFX_IDW_DOCKBAR_LEFT, 1)->DockControlBar(&Pane(0), nullptr);
    Layout();
    Pane(2).m_bThrowWhenNotified = true;
    EXPECT_FALSE(Save());
    EXPECT_EQ(ReadString("data_integrity"), sIntegrity);
    // A frame without a command profile is neither saved nor loaded.
    Pane(2).m_bThrowWhenNotified = false;
    g_CmdManager->DetachWindowFromProfile(m_frame.m_hWnd, true);
    EXPECT_FALSE(Save());
    EXPECT_FALSE(LoadKey());
    EXPECT_EQ(ReadString("data_integrity"), sIntegrity);
}

} // namespace
