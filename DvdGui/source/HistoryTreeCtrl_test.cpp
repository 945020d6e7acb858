// The history pane of the editor's main window under Wine: what it lists for
// a project with four revisions, and what choosing a revision or a place in
// it does.
#include "DvdGui/source/HistoryTreeCtrl.h"

#include "DVD/source/VTS.h"
#include "DvdGui/core/BlockEdits.h"
#include "tests/support/EditorStage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class HistoryPaneTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_stage.Start()); }
    void TearDown() override { m_stage.Stop(); }

    CHistoryTreeCtrl& Pane() { return m_stage.Frame().GetHistoryPane(); }
    std::vector<CTreeListItem*> RevisionItems()
    {
        std::vector<CTreeListItem*> items;
        for (CTreeListItem* p = Pane().GetFirstItem(); p != nullptr; p = p->m_pNext)
            items.push_back(p);
        return items;
    }
    static bool Grey(const CTreeListItem* pItem) { return pItem->GetTextColor(0) == HISTORY_LATER_COLOR; }
    void Choose(CTreeListItem* pItem)
    {
        Pane().SelectItem(pItem, 0, false, false);
        kxtest::EditorStage::Pump();
    }

    kxtest::EditorStage m_stage;
};

TEST_F(HistoryPaneTest, RevisionsAndPlacesOfAProjectWithFourRevisions)
{
    EXPECT_EQ(Pane().GetItemCount(), 0) << "no project window, nothing listed";

    CDvdDoc* pDoc = m_stage.Import("ntscmenu");
    ASSERT_NE(pDoc, nullptr);
    CDvdView* pView = kxtest::EditorStage::ViewOf(pDoc);
    CAngleBlockList& titles = pDoc->GetCurrentDvd().GetVts(0)->GetTitleDomain();
    ASSERT_GE(titles.GetBlockCount(), 3u);
    for (uint32_t i = 0; i < 3; ++i)
        ASSERT_TRUE(HideSelectedBlocks({pDoc->GetCurrentDvd().GetVts(0)->GetTitleDomain().GetBlock(i)}));
    pDoc->OnUndo();
    pDoc->OnUndo();
    kxtest::EditorStage::Pump();
    ASSERT_EQ(pDoc->GetRevisions().GetSize(), 4);
    ASSERT_EQ(pDoc->GetRevisions().GetCurrentIndex(), 1);

    std::vector<CTreeListItem*> items = RevisionItems();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(std::string(items[0]->GetText(0)), "created");
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(Grey(items[size_t(i)]), i > 1) << "revision " << i;
        EXPECT_EQ(items[size_t(i)]->m_pChild != nullptr, i == 1) << "places only under the current revision";
    }
    CTreeListItem* pPlace = items[1]->m_pChild;
    EXPECT_EQ(std::string(pPlace->GetText(0)), "  pre-edit location");
    EXPECT_EQ(pPlace->m_pNext, nullptr);
    EXPECT_EQ(Pane().GetPrimarySelection(), pPlace) << "the current place is selected";
    EXPECT_FALSE(Grey(pPlace));

    // a refill selects what is current already and changes nothing
    Pane().Refill();
    kxtest::EditorStage::Pump();
    EXPECT_EQ(pDoc->GetRevisions().GetCurrentIndex(), 1);
    EXPECT_EQ(pView->GetHistoryPosition(), 1);
    EXPECT_EQ(std::string(Pane().GetPrimarySelection()->GetText(0)), "  pre-edit location");

    // the current revision's own item returns to where it was entered
    Choose(RevisionItems()[1]);
    EXPECT_EQ(pDoc->GetRevisions().GetCurrentIndex(), 1);
    EXPECT_EQ(pView->GetHistoryPosition(), 0);
    EXPECT_TRUE(Grey(RevisionItems()[1]->m_pChild)) << "its places are ahead now";
    // and its place item goes back there
    Choose(RevisionItems()[1]->m_pChild);
    EXPECT_EQ(pView->GetHistoryPosition(), 1);
    EXPECT_FALSE(Grey(RevisionItems()[1]->m_pChild));

    // a grey revision redoes up to it, the first undoes everything
    Choose(RevisionItems()[3]);
    EXPECT_EQ(pDoc->GetRevisions().GetCurrentIndex(), 3);
    items = RevisionItems();
    for (CTreeListItem* pItem : items)
        EXPECT_FALSE(Grey(pItem));
    Choose(RevisionItems()[0]);
    EXPECT_EQ(pDoc->GetRevisions().GetCurrentIndex(), 0);
    items = RevisionItems();
    for (size_t i = 1; i < items.size(); ++i)
        EXPECT_TRUE(Grey(items[i])) << "revision " << i;
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_stage.Frame().m_hWnd), "history_pane_four_revisions.png");

    m_stage.Close(pDoc);
    EXPECT_EQ(Pane().GetItemCount(), 0) << "the project window closed";
    EXPECT_EQ(Pane().GetView(), nullptr);
}

} // namespace
