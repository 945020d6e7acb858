// The document over a fixture disc edited through its own notices, with a
// test window as the application's main window and recording views.
#include "DvdGui/source/DvdDoc.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DvdGui/core/EditGuard.h"
#include "framework/win/View.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace
{

class RecordingView : public CView, public CDvdViewNotices
{
public:
    void OnDraw(CDC*) override {}
    void OnRevisionAdded(int nCurrent, int nDropped) override
    {
        notices.push_back("added " + std::to_string(nCurrent) + " " + std::to_string(nDropped));
    }
    void OnNodeChanged(CDvdObject* pNode) override { notices.push_back(pNode ? "changed" : "changed none"); }
    void OnRevisionChanged() override { notices.push_back("revision"); }
    std::vector<std::string> notices;
};

// An update handler's answer.
class RecordingCmdUI : public CCmdUI
{
public:
    explicit RecordingCmdUI(UINT nID) { m_nID = nID; }
    void Enable(BOOL bOn) override
    {
        enabled = bOn != FALSE;
        m_bEnableChanged = TRUE;
    }
    bool enabled = false;
};

class DvdDocTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HWND hMain = kxgui::CreateTestWindow(300, 200, "Kestrelux main");
        ASSERT_NE(hMain, nullptr);
        m_main.Attach(hMain);
        m_app.m_pMainWnd = &m_main;
        m_doc.m_bAutoDelete = FALSE;
        CDvdDoc::s_refreshHistory = [this](CDvdDoc* pDoc) { m_refills += pDoc == &m_doc; };
        m_doc.AddView(&m_view);
        g_nRevisionLimit = 10;
    }
    void TearDown() override
    {
        m_doc.RemoveView(&m_view);
        CDvdDoc::s_refreshHistory = nullptr;
        m_app.m_pMainWnd = nullptr;
        ::DestroyWindow(m_main.Detach());
        m_doc.DeleteContents();
        PurgeUnusedVobData();
    }

    bool Import()
    {
        kxtest::RecordingLog log;
        return m_doc.GetCurrentDvd().Read(log, kxtest::FixturePath("pal1", "VIDEO_TS").c_str(), nullptr);
    }
    // An edit as the commands make them; the probe runs between the notices.
    void Edit(const char* pszAction, const std::function<void()>& probe = nullptr)
    {
        CPgcTable& titles = m_doc.GetCurrentDvd().GetVts(0)->GetPgcTable();
        CDvdEditGuard edit(&titles, pszAction);
        titles.SetUops(DWORD(++m_edits));
        if (probe)
            probe();
    }
    bool Enabled(UINT nID)
    {
        RecordingCmdUI ui(nID);
        ui.DoUpdate(&m_doc, TRUE);
        return ui.enabled;
    }
    void Command(UINT nID) { m_doc.OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr); }

    CWinApp m_app;
    CWnd m_main;
    CDvdDoc m_doc;
    RecordingView m_view;
    int m_refills = 0;
    int m_edits = 0;
};

TEST_F(DvdDocTest, ANewDocumentHasOneCreatedRevisionAndResetContentsOneNew)
{
    CDvdDoc doc;
    ASSERT_EQ(doc.GetRevisions().GetSize(), 1);
    EXPECT_STREQ(doc.GetRevisions().GetCurrent().m_strDescription, "created");
    EXPECT_EQ(doc.GetRevisions().GetExportedIndex(), -1);
    doc.m_strExportFolder = "C:\\out";
    doc.DeleteContents();
    ASSERT_EQ(doc.GetRevisions().GetSize(), 1);
    EXPECT_STREQ(doc.GetRevisions().GetCurrent().m_strDescription, "new");
    EXPECT_TRUE(doc.m_strExportFolder.IsEmpty());
    EXPECT_TRUE(doc.OnNewDocument());
    EXPECT_STREQ(doc.GetRevisions().GetCurrent().m_strDescription, "created");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DvdDocTest, AnEditDisablesTheMainWindowUntilItsEndNotice)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    ASSERT_TRUE(Import());
    HCURSOR hArrow = ::LoadCursor(nullptr, IDC_ARROW);
    ::SetCursor(hArrow);
    const int refillsBefore = m_refills;
    bool enabledBetween = true;
    HCURSOR hBetween = nullptr;
    Edit("hide block(s)",
         [&]
         {
             enabledBetween = m_main.IsWindowEnabled() != FALSE;
             hBetween = ::GetCursor();
         });
    EXPECT_FALSE(enabledBetween);
    EXPECT_EQ(hBetween, ::LoadCursor(nullptr, IDC_WAIT));
    EXPECT_TRUE(m_main.IsWindowEnabled());
    EXPECT_EQ(::GetCursor(), hArrow);
    EXPECT_TRUE(m_doc.IsModified());
    EXPECT_EQ(m_view.notices, (std::vector<std::string>{"added 1 0", "changed"}));
    EXPECT_EQ(m_refills - refillsBefore, 2);
    ASSERT_EQ(m_doc.GetRevisions().GetSize(), 2);
    EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strDescription, "hide block(s)");

    // An operation that throws between the notices still ends the wait.
    EXPECT_THROW(Edit("fails", [] { throw std::runtime_error("operation failed"); }), std::runtime_error);
    EXPECT_TRUE(m_main.IsWindowEnabled());
    EXPECT_EQ(::GetCursor(), hArrow);
}

TEST_F(DvdDocTest, UndoAndRedoMoveTheIndexOnly)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    ASSERT_TRUE(Import());
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
    Edit("edit 1");
    Edit("edit 2");
    CRevisionList& revisions = m_doc.GetRevisions();
    revisions.SetExportedIndex(2);
    m_doc.SetModifiedFlag(FALSE);
    m_view.notices.clear();

    Command(ID_EDIT_UNDO);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(revisions.GetCurrentIndex(), 0);
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_TRUE(Enabled(ID_EDIT_REDO));
    Command(ID_EDIT_UNDO); // nothing left to undo
    EXPECT_EQ(m_view.notices, (std::vector<std::string>{"revision", "revision"}));
    EXPECT_FALSE(m_doc.IsModified());

    Command(ID_EDIT_REDO);
    Command(ID_EDIT_REDO);
    Command(ID_EDIT_REDO); // nothing left to redo
    EXPECT_EQ(revisions.GetCurrentIndex(), 2);
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(m_doc.IsModified());

    // a third edit after undoing twice drops the redo tail and the export
    Command(ID_EDIT_UNDO);
    Command(ID_EDIT_UNDO);
    Edit("edit 3");
    EXPECT_EQ(revisions.GetSize(), 2);
    EXPECT_EQ(revisions.GetCurrentIndex(), 1);
    EXPECT_EQ(revisions.GetExportedIndex(), -1);
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));

    const struct
    {
        int wanted, selected;
    } cases[] = {{-5, 0}, {99, 1}, {0, 0}};
    for (const auto& c : cases)
    {
        m_doc.SetCurrentRevision(c.wanted);
        EXPECT_EQ(revisions.GetCurrentIndex(), c.selected) << c.wanted;
    }
}

TEST_F(DvdDocTest, WithoutKeptRevisionsUndoNeverBecomesEnabled)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    ASSERT_TRUE(Import());
    g_nRevisionLimit = 0;
    Edit("edit 1");
    Edit("edit 2");
    EXPECT_EQ(m_doc.GetRevisions().GetSize(), 1);
    EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strDescription, "edit 2");
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_EQ(m_view.notices, (std::vector<std::string>{"added 0 0", "changed", "added 0 0", "changed"}));
}

} // namespace
