// The revision list against the real engine: a fixture disc edited through
// its own notices, the list driven by them as the document drives it.
#include "DvdGui/core/RevisionList.h"
#include "DVD/source/NodePath.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DvdGui/core/EditGuard.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace
{

// What the document does with the notices, without windows.
class ListDriver : public CDvdObserver
{
public:
    explicit ListDriver(int limit) : limit(limit) {}
    void OnChange(const CDvdChange& change) override
    {
        kinds.push_back(int(change.nKind));
        if (change.nKind == DVDCHANGE_ACTION)
            dropped.push_back(list->BeginAction(change, limit));
    }
    int limit;
    CRevisionList* list = nullptr;
    std::vector<int> kinds;
    std::vector<int> dropped;
};

struct Project
{
    explicit Project(int limit) : driver(limit), list(&driver) { driver.list = &list; }
    ListDriver driver;
    CRevisionList list;
};

// Imports the fixture into the project's live revision.
bool Import(Project& project, const std::string& fixture)
{
    kxtest::RecordingLog log;
    return project.list.GetCurrentDvd().Read(log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr);
}

CPgcTable& Titles(CDvd& dvd)
{
    return dvd.GetVts(0)->GetPgcTable();
}

DWORD TitleUops(const CDvd& dvd)
{
    return dvd.GetVts(0)->GetTitleDomain().GetBlock(0)->GetIlvu(0)->GetUopMask().GetMask();
}

// Edit i sets the titles' prohibited operations to i: each state tells
// which edit made it.
void Edit(Project& project, int i)
{
    CPgcTable& titles = Titles(project.list.GetCurrentDvd());
    CDvdEditGuard edit(&titles, ("edit " + std::to_string(i)).c_str());
    titles.SetUops(DWORD(i));
}

class RevisionListTest : public ::testing::Test
{
protected:
    void TearDown() override { PurgeUnusedVobData(); }
};

TEST_F(RevisionListTest, ANewListHoldsOneEmptyRevisionWithTheObserver)
{
    ListDriver driver(10);
    CRevisionList list(&driver);
    ASSERT_EQ(list.GetSize(), 1);
    EXPECT_EQ(list.GetCurrentIndex(), 0);
    EXPECT_EQ(list.GetExportedIndex(), -1);
    EXPECT_STREQ(list.GetCurrent().m_strDescription, "created");
    EXPECT_STREQ(list.GetCurrent().m_strPath, "");
    EXPECT_EQ(list.GetCurrentDvd().GetObserver(), &driver);
    EXPECT_FALSE(list.CanUndo());
    EXPECT_FALSE(list.CanRedo());
    list.Reset("new");
    ASSERT_EQ(list.GetSize(), 1);
    EXPECT_STREQ(list.GetCurrent().m_strDescription, "new");
}

TEST_F(RevisionListTest, StoredLimitsOutsideTheOptionsAreClamped)
{
    const struct
    {
        int stored, applied;
    } cases[] = {{-5, 10}, {-1, 10}, {0, 0}, {10, 10}, {100, 100}, {101, 100}, {500, 100}};
    for (const auto& c : cases)
        EXPECT_EQ(CRevisionList::ClampLimit(c.stored), c.applied) << c.stored;
}

TEST_F(RevisionListTest, TheLimitKeepsTheNewestRevisionsOfRealEdits)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    // A limit the options cannot store acts as its clamped value.
    const struct
    {
        int limit, kept;
    } cases[] = {{10, 10}, {-5, 10}, {500, 100}, {0, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.limit);
        Project project(c.limit);
        ASSERT_TRUE(Import(project, "pal1"));
        const std::string path = static_cast<LPCSTR>(GetPath(&Titles(project.list.GetCurrentDvd())));
        for (int i = 1; i <= 12; ++i)
            Edit(project, i);
        CRevisionList& list = project.list;
        EXPECT_EQ(project.driver.kinds.size(), 24u);

        const int expected = c.kept < 12 ? c.kept + 1 : 13;
        ASSERT_EQ(list.GetSize(), expected);
        EXPECT_EQ(list.GetCurrentIndex(), expected - 1);
        // The live disc is the one the edits changed, described by the last.
        EXPECT_STREQ(list.GetCurrent().m_strDescription, "edit 12");
        EXPECT_EQ(TitleUops(list.GetCurrentDvd()), 12u);
        for (int i = 0; i < list.GetSize(); ++i)
            EXPECT_EQ(list[i]->m_dvd.GetObserver(), &project.driver);
        if (c.kept == 10)
        {
            // the oldest is the state after edit 2, told by edit 2
            EXPECT_EQ(TitleUops(list[0]->m_dvd), 2u);
            EXPECT_STREQ(list[0]->m_strDescription, "edit 2");
            EXPECT_EQ(std::string(list[0]->m_strPath), path);
            EXPECT_EQ(project.driver.dropped.back(), 1);
        }
        if (c.kept == 100)
        {
            EXPECT_STREQ(list[0]->m_strDescription, "created");
            EXPECT_STREQ(list[0]->m_strPath, "");
            EXPECT_EQ(TitleUops(list[5]->m_dvd), 5u);
        }
        if (c.kept == 0)
        {
            EXPECT_FALSE(list.CanUndo());
        }
    }
}

TEST_F(RevisionListTest, AnEditAfterUndoDropsTheRedoTailAndAPassedExport)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    Project project(10);
    ASSERT_TRUE(Import(project, "pal1"));
    CRevisionList& list = project.list;
    Edit(project, 1);
    Edit(project, 2);
    ASSERT_EQ(list.GetSize(), 3);
    list.SetExportedIndex(2);
    EXPECT_TRUE(list.Undo());
    EXPECT_TRUE(list.Undo());
    EXPECT_FALSE(list.Undo());
    EXPECT_EQ(list.GetCurrentIndex(), 0);
    EXPECT_TRUE(list.CanRedo());

    Edit(project, 3);
    ASSERT_EQ(list.GetSize(), 2);
    EXPECT_EQ(list.GetCurrentIndex(), 1);
    EXPECT_FALSE(list.CanRedo());
    EXPECT_EQ(list.GetExportedIndex(), -1);
    EXPECT_STREQ(list[0]->m_strDescription, "created");
    EXPECT_STREQ(list[1]->m_strDescription, "edit 3");
    EXPECT_EQ(TitleUops(list[1]->m_dvd), 3u);
}

TEST_F(RevisionListTest, TheIndexStaysInsideTheList)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    Project project(10);
    ASSERT_TRUE(Import(project, "pal1"));
    CRevisionList& list = project.list;
    for (int i = 1; i <= 3; ++i)
        Edit(project, i);
    const struct
    {
        int wanted, selected;
    } cases[] = {{-5, 0}, {2, 2}, {99, 3}, {4, 3}, {0, 0}};
    for (const auto& c : cases)
    {
        list.SetCurrentIndex(c.wanted);
        EXPECT_EQ(list.GetCurrentIndex(), c.selected) << c.wanted;
    }
    list.SetCurrentIndex(3);
    EXPECT_FALSE(list.Redo());
    EXPECT_EQ(list.GetCurrentIndex(), 3);
    // an earlier revision is a disc of its own
    EXPECT_EQ(TitleUops(list[1]->m_dvd), 1u);
    EXPECT_EQ(TitleUops(list[3]->m_dvd), 3u);
}

TEST_F(RevisionListTest, TheGuardEndsAnEditThatThrows)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    Project project(10);
    ASSERT_TRUE(Import(project, "pal1"));
    CPgcTable& titles = Titles(project.list.GetCurrentDvd());
    EXPECT_THROW(
        {
            CDvdEditGuard edit(&titles, "fails");
            throw std::runtime_error("operation failed");
        },
        std::runtime_error);
    EXPECT_EQ(project.driver.kinds, (std::vector<int>{int(DVDCHANGE_ACTION), int(DVDCHANGE_NODE_CHANGED)}));
    EXPECT_EQ(project.list.GetSize(), 2);
}

} // namespace
