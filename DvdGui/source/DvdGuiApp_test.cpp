// The application in this process: start-up, import, project files and
// merge through its own operations, with the failures that only a test can
// bring about (a store that breaks off, a merge the model refuses).
#include "DvdGui/source/DvdGuiApp.h"

#include "DVD/source/PgcTable.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobData.h"
#include "DvdGui/core/AppLog.h"
#include "DvdGui/core/EditGuard.h"
#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/DvdProgressWnd.h"
#include "DvdGui/source/MainFrm.h"
#include "DvdGui/source/Resource.h"
#include "framework/core/CFile.h"
#include "framework/win/DocManager.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/Fixtures.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

const char kSummary[] = "Kestrelux|There were problems performing the operation. Please examine the log for details.";

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A file that takes a few bytes and then fails, as a full disk would.
class CBreakingFile : public CFile
{
public:
    void Write(const void* lpBuf, UINT nCount) override
    {
        if (m_nWritten + nCount > 64)
            AfxThrowFileException(CFileException::diskFull, -1, GetFilePath());
        m_nWritten += nCount;
        CFile::Write(lpBuf, nCount);
    }

private:
    UINT m_nWritten = 0;
};

class CBreakingDoc : public CDvdDoc
{
public:
    CFile* GetFile(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) override
    {
        auto* pFile = new CBreakingFile;
        if (!pFile->Open(lpszFileName, nOpenFlags, pError))
        {
            delete pFile;
            return nullptr;
        }
        return pFile;
    }
};

class AppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brannwick\\Kestrelux");
        ASSERT_TRUE(m_scratch.Created());
        ::GetCurrentDirectoryA(sizeof(m_oldDir), m_oldDir);
        ::SetCurrentDirectoryA(m_scratch.Path().c_str());
        ASSERT_TRUE(m_app.InitInstance());
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        if (m_app.m_pMainWnd)
        {
            // nothing may ask any more: the projects go unsaved
            kxgui::DialogAnswerer answerer(IDNO);
            m_app.m_pMainWnd->SendMessage(WM_CLOSE);
        }
        m_app.ExitInstance();
        MSG msg;
        kxgui::PumpUntilIdle();
        while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        {
        }
        PurgeUnusedVobData();
        ::SetCurrentDirectoryA(m_oldDir);
    }

    // Runs the step with every message box answered; the texts of the boxes.
    std::vector<std::string> Answering(int nAnswer, const std::function<void()>& step)
    {
        std::vector<std::string> boxes;
        {
            kxgui::DialogAnswerer answerer([&](HWND h) { return ::GetDlgItem(h, 0xFFFF) ? nAnswer : 0; });
            step();
            for (const std::string& seen : answerer.Seen())
                if (seen.back() != '|')
                    boxes.push_back(seen);
        }
        kxgui::PumpUntilIdle();
        return boxes;
    }
    CDvdDoc* Import(const std::string& path)
    {
        CDvdDoc* pDoc = nullptr;
        EXPECT_TRUE(
            Answering(IDOK, [&] { pDoc = static_cast<CDvdDoc*>(m_app.OpenDocumentFile(path.c_str())); }).empty());
        return pDoc;
    }
    int OpenCount() { return m_app.m_pDocManager->GetOpenDocumentCount(); }
    std::string LogText()
    {
        CString text;
        GetLogPane().GetWindowText(text);
        return static_cast<LPCSTR>(text);
    }
    bool Enabled(CCmdTarget* pTarget, UINT nID)
    {
        struct : CCmdUI
        {
            void Enable(BOOL bOn) override
            {
                enabled = bOn != FALSE;
                m_bEnableChanged = TRUE;
            }
            bool enabled = false;
        } ui;
        ui.m_nID = nID;
        ui.DoUpdate(pTarget, TRUE);
        return ui.enabled;
    }
    static std::string Store(CDvdDoc* pDoc, const std::string& path)
    {
        EXPECT_TRUE(pDoc->OnSaveDocument(path.c_str()));
        return ReadBytes(path);
    }

    CDvdGuiApp m_app;
    kxtest::ScratchFolder m_scratch;
    char m_oldDir[MAX_PATH] = "";
};

TEST_F(AppTest, StartsWithoutAProjectWithTheLogAndTheCurrentLayoutVersions)
{
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_EQ(m_app.GetProfileInt("Settings", "MF_RVER", 0), 3u);
    EXPECT_EQ(m_app.GetProfileInt("Settings", "CF_RVER", 0), 2u);
    EXPECT_EQ(g_pLog, static_cast<CDvdLog*>(&GetLogPane()));
    EXPECT_EQ(ReadBytes(m_scratch.File("kestrelux.log")), "");
}

bool KeyExists(const std::string& path)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

TEST_F(AppTest, StoredLayoutsOfOtherVersionsAreDropped)
{
    const std::string profiles = "Software\\Brannwick\\Kestrelux\\Quorbis\\Profiles\\";
    const struct
    {
        const char* entry;
        const char* profile;
        int nStored; // -1: no version stored
        bool bKept;
    } cases[] = {
        {"MF_RVER", "Kestrelux", -1, false}, {"MF_RVER", "Kestrelux", 2, false},  {"MF_RVER", "Kestrelux", 4, false},
        {"MF_RVER", "Kestrelux", 3, true},   {"CF_RVER", "CFRMPRGR0", -1, false}, {"CF_RVER", "CFRMPRGR0", 1, false},
        {"CF_RVER", "CFRMPRGR0", 2, true},
    };
    for (const auto& c : cases)
    {
        const std::string key = profiles + c.profile;
        HKEY hKey = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (key + "\\Bars").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                    &hKey, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(hKey);
        HKEY hSettings = nullptr;
        ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brannwick\\Kestrelux\\Settings", 0, KEY_WRITE, &hSettings);
        ::RegDeleteValueA(hSettings, c.entry);
        ::RegCloseKey(hSettings);
        if (c.nStored >= 0)
            m_app.WriteProfileInt("Settings", c.entry, c.nStored);

        ResetBarProfiles();
        ResetContentPaneProfile();
        EXPECT_EQ(KeyExists(key), c.bKept) << c.entry << " " << c.nStored;
        EXPECT_EQ(m_app.GetProfileInt("Settings", "MF_RVER", 0), 3u);
        EXPECT_EQ(m_app.GetProfileInt("Settings", "CF_RVER", 0), 2u);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    }
}

TEST_F(AppTest, AboutOpensTheAboutBox)
{
    EXPECT_TRUE(Enabled(m_app.m_pMainWnd, ID_APP_ABOUT));
    kxgui::DialogAnswerer answerer(IDOK);
    m_app.m_pMainWnd->SendMessage(WM_COMMAND, ID_APP_ABOUT);
    EXPECT_EQ(answerer.Seen(), std::vector<std::string>{"About Kestrelux|"});
}

TEST_F(AppTest, TheFirstProjectWindowOpensMaximizedAsTheLastOneClosed)
{
    for (const bool bMaximized : {true, false, true})
    {
        m_app.WriteProfileInt("Settings", "CF_M", bMaximized ? 1 : 0);
        CDocument* pDoc = m_app.GetDocTemplate()->OpenDocumentFile(nullptr, TRUE);
        ASSERT_NE(pDoc, nullptr);
        CMDIChildWnd* pFrame = static_cast<CMDIFrameWnd*>(m_app.m_pMainWnd)->MDIGetActive();
        ASSERT_NE(pFrame, nullptr);
        EXPECT_EQ(::IsZoomed(pFrame->m_hWnd) != FALSE, bMaximized);
        // closed the other way, the next one follows
        pFrame->ShowWindow(bMaximized ? SW_RESTORE : SW_MAXIMIZE);
        pDoc->OnCloseDocument();
        EXPECT_EQ(m_app.GetProfileInt("Settings", "CF_M", 7), bMaximized ? 0u : 1u);
    }
}

TEST_F(AppTest, AnIfoPathInAnyCaseImportsItsFolderAsAnUnmodifiedProject)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvdDoc* pDoc = Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS") + "\\video_ts.Ifo");
    ASSERT_NE(pDoc, nullptr);
    EXPECT_STREQ(pDoc->GetTitle(), "project1");
    EXPECT_EQ(pDoc->GetCurrentDvd().GetVtsCount(), 1u) << LogText();
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_FALSE(pDoc->GetCurrentDvd().IsModified());
    EXPECT_FALSE(Enabled(pDoc, ID_EDIT_UNDO));
    EXPECT_NE(LogText().find("Importing DVD..."), std::string::npos);
    EXPECT_EQ(LogText().find("Attempt import from VIDEO_TS subdirectory..."), std::string::npos);
    // every set is in use while the project is open
    EXPECT_FALSE(Enabled(&m_app, ID_RELEASE_UNUSED_ASSETS));
}

TEST_F(AppTest, AFolderWithoutADiscClosesTheNewProjectAndShowsTheSummary)
{
    std::vector<std::string> boxes =
        Answering(IDOK, [&] { EXPECT_EQ(m_app.ImportDvd(m_scratch.Path().c_str()), nullptr); });
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_NE(LogText().find("Attempt import from VIDEO_TS subdirectory..."), std::string::npos);
    EXPECT_EQ(boxes, std::vector<std::string>{kSummary});
}

// Acts on a window as soon as one with the caption is created: what it posts
// waits in the queue until the operation's first progress step pumps it.
class OnCreation
{
public:
    OnCreation(const char* caption, std::function<void(HWND)> act) : m_caption(caption), m_act(std::move(act))
    {
        s_self = this;
        m_hook = ::SetWindowsHookExA(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
    }
    ~OnCreation()
    {
        ::UnhookWindowsHookEx(m_hook);
        s_self = nullptr;
    }
    bool Seen() const { return m_bSeen; }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND)
        {
            const LPCSTR name = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszName;
            if (!IS_INTRESOURCE(name) && name && s_self->m_caption == name)
            {
                s_self->m_bSeen = true;
                s_self->m_act(HWND(wParam));
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static OnCreation* s_self;
    std::string m_caption;
    std::function<void(HWND)> m_act;
    HHOOK m_hook = nullptr;
    bool m_bSeen = false;
};

OnCreation* OnCreation::s_self = nullptr;

TEST_F(AppTest, ACancelledImportLeavesNoProjectAndIsNotRetried)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    std::vector<std::string> boxes;
    {
        OnCreation cancel("Importing DVD ... ",
                          [](HWND h) { ::PostMessageA(h, WM_COMMAND, CProgressDlg::IDC_PROGRESS_CANCEL, 0); });
        boxes = Answering(
            IDOK, [&] { EXPECT_EQ(m_app.ImportDvd(kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str()), nullptr); });
        EXPECT_TRUE(cancel.Seen());
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_NE(LogText().find("Operation canceled."), std::string::npos) << LogText();
    EXPECT_EQ(LogText().find("Attempt import from VIDEO_TS subdirectory..."), std::string::npos);
    EXPECT_NE(Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS")), nullptr) << "the next import is not cancelled";
}

TEST_F(AppTest, CommandsAndACloseArrivingDuringAnImportAreDropped)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    const HWND hMain = m_app.m_pMainWnd->m_hWnd;
    std::vector<std::string> seen;
    CDvdDoc* pDoc = nullptr;
    {
        // every one of these would reach the half-read project
        OnCreation commands("Importing DVD ... ",
                            [&](HWND)
                            {
                                for (UINT nID : {UINT(ID_MERGE_DVDS), UINT(ID_EXPORT_DVD), UINT(ID_FILE_SAVE),
                                                 UINT(ID_FILE_CLOSE), UINT(ID_APP_EXIT)})
                                    ::PostMessageA(hMain, WM_COMMAND, nID, 0);
                                ::PostMessageA(hMain, WM_CLOSE, 0, 0);
                            });
        kxgui::DialogAnswerer answerer(IDCANCEL);
        pDoc = m_app.ImportDvd(kxtest::FixturePath("ntscmenu", "VIDEO_TS").c_str());
        seen = answerer.Seen();
        EXPECT_TRUE(commands.Seen());
    }
    EXPECT_TRUE(seen.empty()) << seen.front();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_STREQ(pDoc->GetTitle(), "project1");
    EXPECT_EQ(pDoc->GetCurrentDvd().GetVtsCount(), 1u);
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(OpenCount(), 1);
    EXPECT_TRUE(::IsWindow(hMain) && ::IsWindowEnabled(hMain));
    // once the import is over the window takes commands again
    kxgui::DialogAnswerer answerer(IDCANCEL);
    ::PostMessageA(hMain, WM_COMMAND, ID_MERGE_DVDS, 0);
    kxgui::PumpUntilIdle();
    ASSERT_FALSE(answerer.Seen().empty());
    EXPECT_EQ(answerer.Seen().front(), "Select projects for merger|");
}

TEST_F(AppTest, ASavedProjectReopensWithOneRevisionAndStoresTheSameBytes)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvdDoc* pDoc = Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS"));
    ASSERT_NE(pDoc, nullptr);
    const std::string path = m_scratch.File("a.kxp");
    const std::string bytes = Store(pDoc, path);
    ASSERT_FALSE(bytes.empty());
    pDoc->OnCloseDocument();

    CDvdDoc* pLoaded = nullptr;
    EXPECT_TRUE(
        Answering(IDOK, [&] { pLoaded = static_cast<CDvdDoc*>(m_app.OpenDocumentFile(path.c_str())); }).empty());
    ASSERT_NE(pLoaded, nullptr);
    EXPECT_FALSE(pLoaded->IsModified());
    EXPECT_EQ(pLoaded->GetRevisions().GetSize(), 1);
    EXPECT_FALSE(Enabled(pLoaded, ID_EDIT_UNDO));
    EXPECT_EQ(Store(pLoaded, m_scratch.File("b.kxp")), bytes);
    EXPECT_NE(LogText().find("Reading project..."), std::string::npos);
}

TEST_F(AppTest, TheCurrentRevisionIsWhatIsStored)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvdDoc* pDoc = Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS"));
    ASSERT_NE(pDoc, nullptr);
    const std::string unedited = Store(pDoc, m_scratch.File("a.kxp"));
    {
        CPgcTable& titles = pDoc->GetCurrentDvd().GetVts(0)->GetPgcTable();
        CDvdEditGuard edit(&titles, "test");
        titles.SetUops(0x12345);
    }
    const std::string edited = Store(pDoc, m_scratch.File("b.kxp"));
    EXPECT_NE(edited, unedited);
    pDoc->OnUndo();
    EXPECT_EQ(Store(pDoc, m_scratch.File("c.kxp")), unedited);
}

// The export command with the folder picker answered "Select" at the folder
// the registry names; every message box is answered with nAnswer.
std::vector<std::string> ExportThroughCommand(CDvdDoc* pDoc, int nAnswer)
{
    std::vector<std::string> boxes;
    {
        kxgui::DialogAnswerer answerer(
            // the folder picker is the only other dialog on the way
            [&](HWND h) { return ::GetDlgItem(h, 0xFFFF) ? nAnswer : IDOK; });
        pDoc->OnCmdMsg(ID_EXPORT_DVD, CN_COMMAND, nullptr, nullptr);
        for (const std::string& seen : answerer.Seen())
            if (seen.back() != '|')
                boxes.push_back(seen);
    }
    kxgui::PumpUntilIdle();
    return boxes;
}

TEST_F(AppTest, ExportingAnEditedProjectAddsOneExportRevisionAndAsksOnceAboutOldFiles)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvdDoc* pDoc = Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS"));
    ASSERT_NE(pDoc, nullptr);
    const std::string out = m_scratch.File("out");
    ::CreateDirectoryA(out.c_str(), nullptr);
    m_app.WriteProfileString("Settings", "MF_ED", out.c_str());

    // an unmodified project exports without a new revision
    EXPECT_TRUE(ExportThroughCommand(pDoc, IDOK).empty());
    EXPECT_EQ(pDoc->GetRevisions().GetSize(), 1);
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_STREQ(pDoc->m_strExportFolder, out.c_str());

    {
        CPgcTable& titles = pDoc->GetCurrentDvd().GetVts(0)->GetPgcTable();
        CDvdEditGuard edit(&titles, "test");
        titles.SetUops(0x12345);
    }
    ASSERT_EQ(pDoc->GetRevisions().GetSize(), 2);
    EXPECT_TRUE(Enabled(pDoc, ID_EXPORT_MODIFIED));
    const std::vector<std::string> boxes = ExportThroughCommand(pDoc, IDYES);
    EXPECT_EQ(boxes, std::vector<std::string>{"Kestrelux|There are *.ifo, *.bup or *.vob files in the destination "
                                              "directory. Remove these files?"});
    ASSERT_EQ(pDoc->GetRevisions().GetSize(), 3);
    EXPECT_STREQ(pDoc->GetRevisions().GetCurrent().m_strDescription, "export");
    EXPECT_EQ(pDoc->GetRevisions().GetExportedIndex(), 1);
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_TRUE(Enabled(pDoc, ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(pDoc, ID_EXPORT_MODIFIED));
    EXPECT_NE(::GetFileAttributesA((out + "\\VIDEO_TS.IFO").c_str()), INVALID_FILE_ATTRIBUTES);

    // back before the export, the edited revision is what is stored and reopened
    pDoc->OnUndo();
    const std::string path = m_scratch.File("edited.kxp");
    ASSERT_FALSE(Store(pDoc, path).empty());
    pDoc->OnCloseDocument();
    CDvdDoc* pLoaded = nullptr;
    EXPECT_TRUE(
        Answering(IDOK, [&] { pLoaded = static_cast<CDvdDoc*>(m_app.OpenDocumentFile(path.c_str())); }).empty());
    ASSERT_NE(pLoaded, nullptr);
    EXPECT_TRUE(Enabled(pLoaded, ID_EXPORT_MODIFIED));
}

TEST_F(AppTest, ATruncatedProjectIsReportedAndOpensNoWindow)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvdDoc* pDoc = Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS"));
    ASSERT_NE(pDoc, nullptr);
    const std::string path = m_scratch.File("a.kxp");
    const std::string bytes = Store(pDoc, path);
    pDoc->OnCloseDocument();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() / 2);

    const std::vector<std::string> boxes =
        Answering(IDOK, [&] { EXPECT_EQ(m_app.OpenDocumentFile(path.c_str()), nullptr); });
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back(), "Kestrelux|Error loading project");
    EXPECT_EQ(OpenCount(), 0);
}

TEST_F(AppTest, AStoreThatBreaksOffIsReportedAndLeavesTheOldFile)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvdDoc* pDoc = Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS"));
    ASSERT_NE(pDoc, nullptr);
    const std::string path = m_scratch.File("a.kxp");
    std::ofstream(path, std::ios::binary) << "the old project";

    CBreakingDoc breaking;
    breaking.GetCurrentDvd() = pDoc->GetCurrentDvd();
    const std::vector<std::string> boxes =
        Answering(IDOK, [&] { EXPECT_FALSE(breaking.OnSaveDocument(path.c_str())); });
    EXPECT_EQ(boxes, std::vector<std::string>{"Kestrelux|Error saving project"});
    EXPECT_EQ(ReadBytes(path), "the old project");
    breaking.DeleteContents();
}

TEST_F(AppTest, MergingTwoProjectsMakesAnUntitledUnmodifiedProject)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    CDvdDoc* pFirst = Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS"));
    CDvdDoc* pSecond = Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS"));
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(pSecond, nullptr);
    const unsigned nTitleSets = pFirst->GetCurrentDvd().GetVtsCount();
    CDvdDiscArray discs;
    discs.Add(&pFirst->GetCurrentDvd());
    discs.Add(&pSecond->GetCurrentDvd());
    EXPECT_TRUE(Answering(IDOK, [&] { m_app.MergeProjects(discs); }).empty());
    ASSERT_EQ(OpenCount(), 3);
    auto* pMerged =
        dynamic_cast<CDvdDoc*>(static_cast<CMDIFrameWnd*>(m_app.m_pMainWnd)->MDIGetActive()->GetActiveDocument());
    ASSERT_NE(pMerged, nullptr);
    EXPECT_STREQ(pMerged->GetTitle(), "project3");
    EXPECT_FALSE(pMerged->IsModified());
    EXPECT_FALSE(Enabled(pMerged, ID_EDIT_UNDO));
    EXPECT_EQ(pMerged->GetCurrentDvd().GetVtsCount(), 2 * nTitleSets + 1);
}

TEST_F(AppTest, TheMergeDialogReopensWhereItWasLeft)
{
    CRect rcLeft, rcReopened;
    {
        kxgui::DialogAnswerer answerer(
            [&](HWND h)
            {
                ::SetWindowPos(h, nullptr, 40, 50, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
                ::GetWindowRect(h, &rcLeft);
                return IDCANCEL;
            });
        m_app.OnCmdMsg(ID_MERGE_DVDS, CN_COMMAND, nullptr, nullptr);
        ASSERT_FALSE(answerer.Seen().empty());
        EXPECT_EQ(answerer.Seen().front(), "Select projects for merger|");
    }
    EXPECT_EQ(std::string(m_app.GetProfileString("Wnds", "Merge Dlg")).rfind("40,50,", 0), 0u)
        << m_app.GetProfileString("Wnds", "Merge Dlg");
    {
        kxgui::DialogAnswerer answerer(
            [&](HWND h)
            {
                ::GetWindowRect(h, &rcReopened);
                return IDCANCEL;
            });
        m_app.OnCmdMsg(ID_MERGE_DVDS, CN_COMMAND, nullptr, nullptr);
    }
    EXPECT_EQ(rcReopened, rcLeft);
    EXPECT_EQ(rcReopened.TopLeft(), CPoint(40, 50));
}

TEST_F(AppTest, AFailedMergeSaysSoAndLeavesNothingButTheNextNumber)
{
    CDvd first, second;
    CDvdDiscArray discs;
    discs.Add(&first);
    discs.Add(&second);
    const std::vector<std::string> boxes = Answering(IDOK, [&] { m_app.MergeProjects(discs); });
    EXPECT_EQ(boxes, std::vector<std::string>{"Kestrelux|Merge failed."});
    EXPECT_EQ(OpenCount(), 0);
    EXPECT_EQ(m_app.GetDocTemplate()->m_nUntitledCount, 1u);
}

} // namespace
TEST_F(AppTest, ClosingAProjectReleasesItsSourceSets)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    // the stock cells stay registered for the life of the program
    const uint32_t nStock = GetVobDataCount();
    CDvdDoc* pDoc = Import(kxtest::FixturePath("ntscmenu", "VIDEO_TS"));
    ASSERT_NE(pDoc, nullptr);
    EXPECT_GT(GetVobDataCount(), nStock);
    pDoc->OnCloseDocument();
    // nothing is left over for the release command
    EXPECT_EQ(GetVobDataCount(), nStock);
    EXPECT_FALSE(Enabled(&m_app, ID_RELEASE_UNUSED_ASSETS));
}
