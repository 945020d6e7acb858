// The history of places driven by the revision list as the document drives
// it, with panes that record what they are asked and answer the place the
// test moved them to (each place marked by its tree row).
#include "DvdGui/core/LocationHistory.h"
#include "DvdGui/core/RevisionList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class RecordingPanes : public CLocationPanes
{
public:
    CViewLocation GetLocation() override
    {
        calls.push_back("get");
        return shown;
    }
    void SetLocation(const CViewLocation& location) override
    {
        calls.push_back("set " + std::to_string(location.tree.row));
        shown = location;
        shown.name.Empty();
    }
    void OnActionBegun() override { calls.push_back("action"); }

    // The user moves to the place marked nRow.
    void MoveTo(int nRow) { shown.tree.row = nRow; }

    CViewLocation shown;
    std::vector<std::string> calls;
};

// The document's part: the revision list and one view's histories.
struct Project
{
    explicit Project(int limit) : limit(limit), list(nullptr), histories(panes) {}

    void Edit(const char* pszAction)
    {
        CDvdChange change;
        change.nKind = DVDCHANGE_ACTION;
        change.strAction = pszAction;
        const int nDropped = list.BeginAction(change, limit);
        histories.OnRevisionAdded(list.GetCurrentIndex(), nDropped);
    }
    // Undo and redo show the place the revision's history is at.
    void Show()
    {
        const CLocationHistory& history = histories.GetHistory(list.GetCurrentIndex());
        panes.SetLocation(history.GetCurrent());
    }
    void Undo()
    {
        list.Undo();
        Show();
    }
    void Redo()
    {
        list.Redo();
        Show();
    }
    // The names the history pane lists under the current revision.
    std::vector<std::string> Listed()
    {
        const CLocationHistory& history = histories.GetHistory(list.GetCurrentIndex());
        std::vector<std::string> names;
        for (int i = 1; i < history.GetCount(); ++i)
            names.push_back(static_cast<const char*>(history.GetAt(i).name));
        return names;
    }
    // The place marks of a revision's entries.
    std::vector<int> Marks(int nRevision)
    {
        const CLocationHistory& history = histories.GetHistory(nRevision);
        std::vector<int> marks;
        for (int i = 0; i < history.GetCount(); ++i)
            marks.push_back(history.GetAt(i).tree.row);
        return marks;
    }

    int limit;
    CRevisionList list;
    RecordingPanes panes;
    CViewHistories histories;
};

const std::vector<std::string> kNone;
const std::vector<std::string> kPreEdit = {"  pre-edit location"};

TEST(LocationHistory, TheFirstEditMovesThePlaceIntoThePreEditEntryOfTheRevisionBefore)
{
    Project project(10);
    EXPECT_EQ(project.Listed(), kNone) << "a new view lists no place";
    EXPECT_EQ(project.histories.GetHistory(0).GetAt(0).name, "aa");

    project.panes.MoveTo(7);
    project.Edit("hide block(s)");
    EXPECT_EQ(project.panes.calls, (std::vector<std::string>{"get", "action"}))
        << "the place is read before the panes hear of the edit";
    EXPECT_EQ(project.Listed(), kNone) << "the new revision was entered where the edit was made";
    EXPECT_EQ(project.Marks(1), std::vector<int>{7});

    project.panes.MoveTo(9);
    project.Undo();
    EXPECT_EQ(project.Listed(), kPreEdit);
    EXPECT_EQ(project.panes.shown.tree.row, 7) << "undo returns to where the edit was made";
    EXPECT_EQ(project.histories.GetHistory(0).GetPosition(), 1);
    project.Redo();
    EXPECT_EQ(project.panes.shown.tree.row, 7);
}

TEST(LocationHistory, AnEditAfterUndoReplacesThePreEditEntryAndDropsTheUndoneHistory)
{
    Project project(10);
    project.panes.MoveTo(1);
    project.Edit("first");
    project.panes.MoveTo(2);
    project.Edit("second");
    ASSERT_EQ(project.histories.GetCount(), 3);
    EXPECT_EQ(project.Marks(1), (std::vector<int>{1, 2}));

    project.Undo();
    project.panes.MoveTo(5);
    project.Edit("other");
    EXPECT_EQ(project.list.GetSize(), 3);
    EXPECT_EQ(project.histories.GetCount(), 3) << "one history per revision";
    EXPECT_EQ(project.Marks(1), (std::vector<int>{1, 5})) << "replaced, not duplicated";
    EXPECT_EQ(project.Marks(2), std::vector<int>{5}) << "the undone revision's history is gone";
    EXPECT_EQ(project.Marks(0), (std::vector<int>{0, 1}));
}

TEST(LocationHistory, WithTheRevisionLimitReachedEveryEditDropsTheOldestHistoryInStep)
{
    Project project(2);
    for (int nEdit = 1; nEdit <= 5; ++nEdit)
    {
        project.panes.MoveTo(nEdit * 10);
        project.Edit("edit");
        ASSERT_EQ(project.histories.GetCount(), project.list.GetSize()) << "edit " << nEdit;
    }
    // Kept: the revisions entered at edits 3 and 4, and the live one of edit 5.
    EXPECT_EQ(project.list.GetSize(), 3);
    EXPECT_EQ(project.Marks(0), (std::vector<int>{30, 40}));
    EXPECT_EQ(project.Marks(1), (std::vector<int>{40, 50}));
    EXPECT_EQ(project.Marks(2), std::vector<int>{50});
}

TEST(LocationHistory, WithoutKeptRevisionsTheLiveRevisionKeepsOneHistory)
{
    Project project(0);
    project.panes.MoveTo(3);
    project.Edit("edit");
    project.Edit("edit");
    EXPECT_EQ(project.list.GetSize(), 1);
    EXPECT_EQ(project.Marks(0), std::vector<int>{3});
}

TEST(LocationHistory, GoingToAPlaceOutsideTheHistoryChangesNothing)
{
    Project project(10);
    project.panes.MoveTo(4);
    project.Edit("edit");
    project.Undo();
    project.panes.calls.clear();

    for (int nIndex : {-1, 2, 100})
        EXPECT_FALSE(project.histories.GoToLocation(0, nIndex)) << nIndex;
    EXPECT_TRUE(project.panes.calls.empty());
    EXPECT_EQ(project.histories.GetHistory(0).GetPosition(), 1);

    EXPECT_TRUE(project.histories.GoToLocation(0, 0));
    EXPECT_EQ(project.panes.calls, std::vector<std::string>{"set 0"});
    EXPECT_EQ(project.histories.GetHistory(0).GetPosition(), 0);
}

TEST(LocationHistory, AMissingHistoryStartsAtThePlaceOfTheLastOne)
{
    RecordingPanes panes;
    CViewHistories histories(panes);
    panes.MoveTo(6);
    histories.OnRevisionAdded(1, 0);
    // A view that heard of fewer revisions than the document holds.
    const CLocationHistory& made = histories.GetHistory(3);
    EXPECT_EQ(histories.GetCount(), 4);
    EXPECT_EQ(made.GetCount(), 1);
    EXPECT_EQ(made.GetCurrent().tree.row, 6);
    EXPECT_EQ(made.GetCurrent().name, "aa");
}

TEST(ViewLocation, RecordsAreEqualPartByPart)
{
    const CViewLocation base;
    struct Case
    {
        const char* what;
        void (*change)(CViewLocation&);
        bool bSame;
    };
    const Case cases[] = {
        {"the name", [](CViewLocation& l) { l.name = "x"; }, true},
        {"the tree row", [](CViewLocation& l) { l.tree.row = 1; }, false},
        {"the expanded nodes", [](CViewLocation& l) { l.tree.expandedIds.push_back(1); }, false},
        {"the strip's selection", [](CViewLocation& l) { l.content.strip.positions.push_back(0); }, false},
        {"the strip's scroll position", [](CViewLocation& l) { l.content.strip.fFirstVisible = 1.5f; }, false},
        {"the tab's high bytes", [](CViewLocation& l) { l.content.cell.tab = 0x100; }, true},
        {"the tab", [](CViewLocation& l) { l.content.cell.tab = 1; }, false},
        {"the preview's VOBU", [](CViewLocation& l) { l.content.cell.preview.nVobu = 3; }, false},
        {"the preview's audio", [](CViewLocation& l) { l.content.cell.preview.audio[1] = 0x80; }, false},
        {"the audio pane", [](CViewLocation& l) { l.content.audio.collapsedTracks.push_back(0); }, false},
        {"the sub-picture pane", [](CViewLocation& l) { l.content.subpicture.stream = 2; }, false},
        {"the video pane", [](CViewLocation& l) { l.content.video.data = 4; }, false},
    };
    for (const Case& c : cases)
    {
        CViewLocation changed;
        c.change(changed);
        EXPECT_EQ(changed.IsSamePlace(base), c.bSame) << c.what;
    }
}

} // namespace
