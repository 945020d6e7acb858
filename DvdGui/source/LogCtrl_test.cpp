// The log pane under Wine: what each sink call shows and writes, the line
// limit with the user's place kept, the summary box, copying and clearing,
// and a worker thread reporting while the window's thread appends.
#include "DvdGui/source/LogCtrl.h"

#include "DvdGui/core/AppLog.h"
#include "DvdGui/source/Resource.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace
{

const DWORD kPaneStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                         ES_AUTOHSCROLL | ES_NOHIDESEL | ES_READONLY;
const char kSummary[] = "There were problems performing the operation. Please examine the log for details.";

class LogCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_scratch.Created());
        ::GetCurrentDirectoryA(MAX_PATH, m_oldDir);
        ASSERT_TRUE(::SetCurrentDirectoryA(m_scratch.Path().c_str()));
        HWND hHost = kxgui::CreateTestWindow(520, 300, "Log pane");
        ASSERT_NE(hHost, nullptr);
        m_host.Attach(hHost);
        MakePane(400);
    }
    void TearDown() override
    {
        g_pLog = nullptr;
        m_log.reset();
        ::DestroyWindow(m_host.Detach());
        ::SetCurrentDirectoryA(m_oldDir);
    }

    void MakePane(int nMaxLines)
    {
        g_pLog = nullptr;
        m_log.reset();
        m_log = std::make_unique<CLogCtrl>(nMaxLines);
        ASSERT_TRUE(m_log->Create(&m_host, 0xFFFFFFFF, CRect(0, 0, 520, 300), kPaneStyle));
        g_pLog = m_log.get();
    }

    std::string PaneText() const
    {
        CString text;
        m_log->GetWindowText(text);
        return std::string(text);
    }
    std::string FileText() const
    {
        std::ifstream in("kestrelux.log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    CHARFORMATA FormatAt(long nPos)
    {
        m_log->SetSel(nPos, nPos + 1);
        CHARFORMATA cf = {};
        cf.cbSize = sizeof(cf);
        m_log->GetSelectionCharFormat(cf);
        return cf;
    }
    static std::string Clipboard()
    {
        std::string text;
        if (!::OpenClipboard(nullptr))
            return "<no clipboard>";
        if (HANDLE h = ::GetClipboardData(CF_TEXT))
        {
            text = static_cast<const char*>(::GlobalLock(h));
            ::GlobalUnlock(h);
        }
        ::CloseClipboard();
        return text;
    }
    static void SetClipboard(const char* text)
    {
        ASSERT_TRUE(::OpenClipboard(nullptr));
        ::EmptyClipboard();
        HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
        strcpy(static_cast<char*>(::GlobalLock(h)), text);
        ::GlobalUnlock(h);
        ::SetClipboardData(CF_TEXT, h);
        ::CloseClipboard();
    }
    int TextLines() const
    {
        const std::string text = PaneText();
        int n = 0;
        for (size_t i = text.find("\r\n"); i != std::string::npos; i = text.find("\r\n", i + 2))
            ++n;
        return n;
    }

    kxtest::ScratchFolder m_scratch;
    char m_oldDir[MAX_PATH] = {};
    CWnd m_host;
    std::unique_ptr<CLogCtrl> m_log;
};

TEST_F(LogCtrlTest, EachSinkCallShowsAndWritesItsMessage)
{
    const struct
    {
        const char* name;
        std::function<void(CLogCtrl&)> call;
        const char* pane;
        const char* file;
        COLORREF firstColor;
        bool bold;
        long blackFrom; // first character drawn in black, -1: all of it
    } cases[] = {
        {"error", [](CLogCtrl&) { g_pLog->ReportError("x", "12:a.cpp"); }, "x (12:a.cpp)\r\n", "x (12:a.cpp)\r\n",
         RGB(200, 0, 0), false, 1},
        {"warning", [](CLogCtrl&) { g_pLog->ReportWarning("w", "3:b.cpp"); }, "w (3:b.cpp)\r\n", "w (3:b.cpp)\r\n",
         RGB(255, 128, 0), false, 1},
        {"information", [](CLogCtrl&) { g_pLog->ReportInfo("i", "5:c.cpp"); }, "i\r\n", "i\r\n", RGB(0, 0, 0), false,
         -1},
        {"bare error", [](CLogCtrl&) { g_pLog->ReportError("e", nullptr); }, "e\r\n", "e\r\n", RGB(200, 0, 0), false,
         -1},
        {"cancel", [](CLogCtrl&) { g_pLog->ReportCancel(); }, "Operation canceled.\r\n", "Operation canceled\r\n",
         RGB(0, 0, 0), true, -1},
        {"heading", [](CLogCtrl& l) { l.AppendText("\r\nImporting DVD...\r\n", RGB(0, 0, 0), true); },
         "\r\nImporting DVD...\r\n", "", RGB(0, 0, 0), true, -1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string paneBefore = PaneText();
        const std::string fileBefore = FileText();
        c.call(*m_log);
        // on disc before the call returned
        EXPECT_EQ(FileText(), fileBefore + c.file);
        const std::string pane = PaneText();
        ASSERT_EQ(pane, paneBefore + c.pane);
        const long nStart = long(paneBefore.size());
        const CHARFORMATA first = FormatAt(nStart + (c.pane[0] == '\r' ? 2 : 0));
        EXPECT_EQ(first.crTextColor, c.firstColor);
        EXPECT_EQ((first.dwEffects & CFE_BOLD) != 0, c.bold);
        if (c.blackFrom >= 0)
        {
            EXPECT_EQ(FormatAt(nStart + c.blackFrom).crTextColor, RGB(0, 0, 0));
        }
    }
    EXPECT_TRUE(m_log->HasError());
    EXPECT_TRUE(m_log->IsCancelled());
    EXPECT_EQ(m_log->GetEntries().GetSize(), 5u);
}

TEST_F(LogCtrlTest, TheLineLimitDropsTheOldestLinesAndKeepsTheUsersPlace)
{
    for (int i = 1; i <= 400; ++i)
        m_log->AppendText(("line " + std::to_string(i) + "\r\n").c_str(), 0, false);
    EXPECT_EQ(TextLines(), 400);
    EXPECT_EQ(PaneText().rfind("line 1\r\n", 0), 0u);

    // the user selected a line: it stays selected as the text moves up
    const long nAt = long(PaneText().find("line 200\r\n"));
    m_log->SetSel(nAt, nAt + 8);
    m_log->AppendText("line 401\r\n", 0, false);
    EXPECT_EQ(TextLines(), 400);
    EXPECT_EQ(PaneText().rfind("line 2\r\n", 0), 0u);
    EXPECT_STREQ(m_log->GetSelText(), "line 200");

    // several lines at once still end within the limit
    m_log->AppendText("a\r\nb\r\nc\r\n", 0, false);
    EXPECT_EQ(TextLines(), 400);
    EXPECT_EQ(PaneText().rfind("line 5\r\n", 0), 0u);
    EXPECT_STREQ(m_log->GetSelText(), "line 200");
}

TEST_F(LogCtrlTest, ThePaneFollowsOnlyWhenTheCaretIsAtTheEnd)
{
    for (int i = 1; i <= 100; ++i)
        m_log->AppendText(("line " + std::to_string(i) + "\r\n").c_str(), 0, false);
    const int nFollowing = m_log->GetFirstVisibleLine();
    EXPECT_GT(nFollowing, 50);

    m_log->AppendText("more\r\n", 0, false);
    EXPECT_GE(m_log->GetFirstVisibleLine(), nFollowing);

    // scrolled up with a selection: the view stays where it is
    m_log->SetSel(20, 25);
    m_log->LineScroll(10 - m_log->GetFirstVisibleLine());
    const int nTop = m_log->GetFirstVisibleLine();
    for (int i = 0; i < 20; ++i)
        m_log->AppendText("later\r\n", 0, false);
    EXPECT_EQ(m_log->GetFirstVisibleLine(), nTop);
    long nFrom = 0, nTo = 0;
    m_log->GetSel(nFrom, nTo);
    EXPECT_EQ(nFrom, 20);
    EXPECT_EQ(nTo, 25);
}

TEST_F(LogCtrlTest, FinishShowsTheSummaryBoxOnlyAfterProblems)
{
    kxgui::DialogAnswerer answerer(IDOK);
    g_pLog->ReportInfo("fine", nullptr);
    g_pLog->Finish();
    g_pLog->ReportCancel();
    g_pLog->Finish();
    EXPECT_TRUE(answerer.Seen().empty());

    g_pLog->ReportWarning("careful", "1:w.cpp");
    g_pLog->Finish();
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_NE(answerer.Seen()[0].find(kSummary), std::string::npos) << answerer.Seen()[0];
    EXPECT_EQ(m_log->GetEntries().GetSize(), 0u);
    g_pLog->Finish();
    EXPECT_EQ(answerer.Seen().size(), 1u);

    // a first attempt's problems dropped without a box
    g_pLog->ReportError("first attempt", nullptr);
    m_log->ShowSummary(false);
    EXPECT_FALSE(m_log->HasError());
    EXPECT_EQ(m_log->GetEntries().GetSize(), 0u);
    g_pLog->Finish();
    EXPECT_EQ(answerer.Seen().size(), 1u);
    // the pane keeps its text
    EXPECT_NE(PaneText().find("first attempt"), std::string::npos);
}

TEST_F(LogCtrlTest, CopyingAndClearing)
{
    m_log->AppendText("alpha\r\n", 0, false);
    g_pLog->ReportError("beta", nullptr);
    const std::string all = PaneText();

    // nothing selected: the whole log, the caret back at the start
    SetClipboard("sentinel");
    m_log->SetSel(3, 3);
    m_log->SendMessage(WM_COMMAND, ID_LOG_COPY);
    EXPECT_EQ(Clipboard(), all);
    long nFrom = -1, nTo = -1;
    m_log->GetSel(nFrom, nTo);
    EXPECT_EQ(nFrom, 0);
    EXPECT_EQ(nTo, 0);

    // the edit command copies a selection only
    SetClipboard("sentinel");
    m_log->SendMessage(WM_COMMAND, ID_EDIT_COPY);
    EXPECT_EQ(Clipboard(), "sentinel");
    m_log->SetSel(0, 5);
    m_log->SendMessage(WM_COMMAND, ID_EDIT_COPY);
    EXPECT_EQ(Clipboard(), "alpha");

    // Ctrl+C typed in the pane comes before any accelerator
    SetClipboard("sentinel");
    m_log->SetSel(2, 2);
    kxgui::Activate(m_host.m_hWnd);
    m_log->SetFocus();
    kxgui::InputScript().KeyDown(VK_CONTROL).Key('C').KeyUp(VK_CONTROL).Send();
    kxgui::PumpUntilIdle([](MSG& msg) { return CWnd::WalkPreTranslateTree(nullptr, &msg) != FALSE; });
    EXPECT_EQ(Clipboard(), all);

    const std::string file = FileText();
    m_log->SendMessage(WM_COMMAND, ID_LOG_CLEAR);
    EXPECT_EQ(PaneText(), "");
    EXPECT_EQ(FileText(), file);
    EXPECT_NE(file.find("beta"), std::string::npos);
    // still read-only for the user
    EXPECT_NE(m_log->GetStyle() & ES_READONLY, 0u);
}

TEST_F(LogCtrlTest, AWorkerReportsWhileTheWindowThreadAppends)
{
    const int kReports = 10000;
    std::atomic<bool> done{false};
    std::thread worker(
        [&]
        {
            char text[32];
            for (int i = 0; i < kReports; ++i)
            {
                snprintf(text, sizeof text, "w%d", i);
                LogError(text, "1:t.cpp");
            }
            done = true;
        });
    const DWORD start = ::GetTickCount();
    while (!done && ::GetTickCount() - start < 120000)
    {
        m_log->AppendText("gui\r\n", 0, false);
        kxgui::PumpUntilIdle();
    }
    const bool bFinished = done;
    worker.join();
    ASSERT_TRUE(bFinished) << "the worker did not finish";
    kxgui::PumpUntilIdle();
    {
        kxgui::DialogAnswerer answerer(IDOK);
        g_pLog->Finish();
        EXPECT_EQ(answerer.Seen().size(), 1u);
    }

    // every worker line whole and in order in the file
    std::istringstream file(FileText());
    std::string line;
    int next = 0;
    while (std::getline(file, line))
    {
        ASSERT_EQ(line, "w" + std::to_string(next) + " (1:t.cpp)\r");
        ++next;
    }
    EXPECT_EQ(next, kReports);

    // the pane's worker lines follow each other
    std::istringstream pane(PaneText());
    int last = -1;
    while (std::getline(pane, line))
    {
        if (line.rfind("w", 0) != 0)
            continue;
        const int n = std::stoi(line.substr(1));
        if (last >= 0)
        {
            EXPECT_EQ(n, last + 1);
        }
        last = n;
    }
    EXPECT_EQ(last, kReports - 1);

    g_pLog = nullptr;
    LogError("nobody listens", nullptr);
}

TEST_F(LogCtrlTest, Screenshot)
{
    m_log->AppendText("\r\nImporting DVD...\r\n", RGB(0, 0, 0), true);
    g_pLog->ReportError("Can't read VTS_01_1.VOB", "812:VobFile.cpp");
    g_pLog->ReportWarning("Cell 3 of title 2 is shorter than its VOBUs", "95:VobCell.cpp");
    g_pLog->ReportInfo("4 title sets read", nullptr);
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_log->m_hWnd);
    ASSERT_FALSE(shot.IsEmpty());
    // error red and warning orange both reach the screen
    EXPECT_GT(shot.CountColor(RGB(200, 0, 0), {0, 0, shot.width, shot.height}), 0);
    EXPECT_GT(shot.CountColor(RGB(255, 128, 0), {0, 0, shot.width, shot.height}), 0);
    kxgui::SaveArtifact(shot, "log_pane.png");
}

} // namespace
