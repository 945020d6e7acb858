// The project window under Wine, inside the whole editor: the splitter, an
// edit made with real input with its undo and redo and the places they
// return to, and a long run of edits, undos and redos while thumbnails are
// made and a cell plays.
#include "DvdGui/source/DvdView.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/Menu.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DvdGui/core/BlockEdits.h"
#include "DvdGui/core/EditGuard.h"
#include "DvdGui/core/TileCaption.h"
#include "DvdGui/source/Resource.h"
#include "tests/support/EditorStage.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

bool WaitUntil(const std::function<bool()>& done)
{
    // a safety net only: the player answers within a few frames
    const DWORD nGiveUp = ::GetTickCount() + 30000;
    while (!done())
    {
        if (int(::GetTickCount() - nGiveUp) > 0)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        kxtest::EditorStage::Pump();
    }
    return true;
}

class DvdViewTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_stage = new kxtest::EditorStage;
        s_bStarted = s_stage->Start();
    }
    static void TearDownTestSuite()
    {
        s_stage->Stop();
        delete s_stage;
        s_stage = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_bStarted);
        m_pDoc = s_stage->Import("ntscmenu");
        ASSERT_NE(m_pDoc, nullptr);
        m_pView = kxtest::EditorStage::ViewOf(m_pDoc);
        ASSERT_NE(m_pView, nullptr);
    }
    void TearDown() override { s_stage->Close(m_pDoc); }

    CDvd& Dvd() { return m_pDoc->GetCurrentDvd(); }
    CDomainContentWnd& Content() { return m_pView->GetContentPanes().GetDomainContent(); }
    CAngleBlockListExView& Strip() { return Content().GetStrip(); }
    CHistoryTreeCtrl& History() { return s_stage->Frame().GetHistoryPane(); }
    std::vector<std::string> Revisions()
    {
        std::vector<std::string> texts;
        for (CTreeListItem* p = History().GetFirstItem(); p != nullptr; p = p->m_pNext)
            texts.push_back(p->GetText(0));
        return texts;
    }
    // The place items under the revision item at nRevision.
    std::vector<std::string> Places(int nRevision)
    {
        CTreeListItem* pRevision = History().GetFirstItem();
        for (int i = 0; i < nRevision && pRevision != nullptr; ++i)
            pRevision = pRevision->m_pNext;
        std::vector<std::string> texts;
        for (CTreeListItem* p = pRevision ? pRevision->m_pChild : nullptr; p != nullptr; p = p->m_pNext)
            texts.push_back(p->GetText(0));
        return texts;
    }
    bool TileEdited(int nTile)
    {
        return FormatTileCaption(GetTileCaptionFacts(*Strip().GetTile(nTile).pBlock)).Find("edited") >= 0;
    }
    void Keys(std::initializer_list<WORD> keys, bool bCtrl = false)
    {
        kxgui::InputScript script;
        if (bCtrl)
            script.KeyDown(VK_CONTROL);
        for (WORD key : keys)
            script.Key(key);
        if (bCtrl)
            script.KeyUp(VK_CONTROL);
        script.Send();
        kxtest::EditorStage::Pump();
    }

    static kxtest::EditorStage* s_stage;
    static bool s_bStarted;
    CDvdDoc* m_pDoc = nullptr;
    CDvdView* m_pView = nullptr;
};

kxtest::EditorStage* DvdViewTest::s_stage = nullptr;
bool DvdViewTest::s_bStarted = false;

TEST_F(DvdViewTest, TheSplitterKeepsBothSidesAtLeast93PixelsWide)
{
    NMSPLITTER record = {};
    record.hdr.hwndFrom = m_pView->GetSplitter().m_hWnd;
    record.hdr.idFrom = IDC_DVD_VIEW_SPLITTER;
    record.hdr.code = SPN_MOVED;
    record.newPos = 40;
    m_pView->SendMessage(WM_NOTIFY, IDC_DVD_VIEW_SPLITTER, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(m_pView->GetSplitterPos(), 93);
    EXPECT_EQ(AfxGetApp()->GetProfileInt("Settings", "DV_S", -1), 93u) << "written at once";

    record.newPos = 400;
    m_pView->SendMessage(WM_NOTIFY, IDC_DVD_VIEW_SPLITTER, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(AfxGetApp()->GetProfileInt("Settings", "DV_S", -1), 400u);
    // a client narrower than the stored width plus 93
    m_pView->SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    kxtest::EditorStage::Pump();
    CRect rcClient;
    m_pView->GetClientRect(&rcClient);
    CRect rcTree;
    m_pView->GetTreePane().GetWindowRect(&rcTree);
    EXPECT_EQ(rcTree.Width(), rcClient.Width() - 93);
}

TEST_F(DvdViewTest, AnEditWithTheKeyboardAndItsUndoAndRedoKeepThePlace)
{
    EXPECT_EQ(Revisions(), std::vector<std::string>{"created"});
    EXPECT_TRUE(Places(0).empty()) << "a new view lists no place";

    // the title set, chosen in the tree
    kxgui::Activate(s_stage->Frame().m_hWnd);
    m_pView->GetTreePane().SelectNode(Dvd().GetVts(0));
    kxtest::EditorStage::Pump();
    CDvdObject* pShown = m_pView->GetContentPanes().GetNode();
    ASSERT_NE(pShown, nullptr);
    ASSERT_EQ(pShown->GetKind(), DVDNODE_VTS);
    ASSERT_GE(Strip().GetTileCount(), 2);

    kxgui::Click(Strip().m_hWnd, Strip().GetStrip().PictureRect(1).CenterPoint());
    kxtest::EditorStage::Pump();
    const CTileViewState before = Strip().GetViewState();
    ASSERT_EQ(Strip().GetSelectedBlocks().size(), 1u);
    EXPECT_EQ(Content().GetCellView().GetBlock(), Strip().GetTile(1).pBlock);
    EXPECT_FALSE(m_pDoc->IsModified());

    Keys({'H'}, true);
    ASSERT_EQ(m_pDoc->GetRevisions().GetSize(), 2);
    const std::vector<std::string> revisions = Revisions();
    ASSERT_EQ(revisions.size(), 2u);
    EXPECT_EQ(revisions[1].rfind("hide block(s) in ", 0), 0u) << revisions[1];
    EXPECT_GT(revisions[1].size(), std::string("hide block(s) in ").size()) << "with the block's path";
    EXPECT_TRUE(m_pDoc->IsModified());
    EXPECT_TRUE(TileEdited(1));
    EXPECT_EQ(Strip().GetViewState(), before) << "the strip's selection and scroll position stay";
    EXPECT_TRUE(Places(1).empty()) << "the new revision was entered where the edit was made";
    kxgui::SaveArtifact(kxgui::CaptureScreen(s_stage->Frame().m_hWnd), "project_window_after_hide.png");

    // undo and redo through the menu commands
    s_stage->Frame().SendMessage(WM_COMMAND, ID_EDIT_UNDO);
    kxtest::EditorStage::Pump();
    EXPECT_EQ(m_pDoc->GetRevisions().GetCurrentIndex(), 0);
    EXPECT_FALSE(TileEdited(1));
    EXPECT_EQ(Strip().GetViewState(), before);
    EXPECT_EQ(Places(0), std::vector<std::string>{"  pre-edit location"});
    EXPECT_EQ(History().GetPrimarySelection(), History().GetFirstItem()->m_pChild) << "at the place of the edit";

    s_stage->Frame().SendMessage(WM_COMMAND, ID_EDIT_REDO);
    kxtest::EditorStage::Pump();
    EXPECT_EQ(m_pDoc->GetRevisions().GetCurrentIndex(), 1);
    EXPECT_TRUE(TileEdited(1));
    EXPECT_EQ(Strip().GetViewState(), before);
}

// Between an edit's begin notice and the change of the model, the panes
// must have stopped reading the blocks and units: the recorder sits behind
// the document's observer and notes what still runs when the document is
// done with the notice.
class StopRecorder : public CDvdObserver
{
public:
    explicit StopRecorder(CDomainContentWnd& content) : m_content(content) {}
    void Attach(CDvd& dvd)
    {
        if (dvd.GetObserver() != this)
        {
            m_pNext = dvd.GetObserver();
            dvd.SetObserver(this);
        }
    }
    void Detach(CRevisionList& revisions)
    {
        for (int i = 0; i < revisions.GetSize(); ++i)
            if (revisions[i]->m_dvd.GetObserver() == this)
                revisions[i]->m_dvd.SetObserver(m_pNext);
    }
    void OnChange(const CDvdChange& change) override
    {
        m_pNext->OnChange(change);
        if (change.nKind == DVDCHANGE_ACTION)
        {
            record.push_back(m_content.GetStrip().IsThumbnailPassActive() ? "thumbnails running" : "thumbnails paused");
            record.push_back(m_content.GetCellView().GetPreview().IsPlayerOpen() ? "player open" : "player closed");
        }
        else
            record.push_back("changed");
    }

    std::vector<std::string> record;

private:
    CDomainContentWnd& m_content;
    CDvdObserver* m_pNext = nullptr;
};

TEST_F(DvdViewTest, EditsUndosAndRedosWhileThumbnailsAreMadeAndACellPlays)
{
    StopRecorder recorder(Content());
    // a short run shows the order at every kind of edit; each step refills the
    // whole window
    const int kSteps = 24;
    int nEdits = 0;
    int nPlaying = 0;
    unsigned nSeed = 61;
    const auto next = [&nSeed](unsigned nRange)
    {
        nSeed = nSeed * 1103515245u + 12345u;
        return (nSeed >> 16) % nRange;
    };
    for (int nStep = 0; nStep < kSteps; ++nStep)
    {
        CVts& vts = *Dvd().GetVts(0);
        // the panes show the title set, or a menu language unit
        CLanguageUnits& units = vts.GetLanguageUnits();
        const bool bUnit = units.GetUnitCount() > 0 && next(3) == 0;
        m_pView->GetTreePane().SelectNode(bUnit ? static_cast<CDvdObject*>(units.GetUnit(0)) : &vts);
        kxtest::EditorStage::Pump();
        if (Strip().GetTileCount() == 0)
        {
            m_pDoc->OnUndo();
            continue;
        }

        // a cell plays, and the refill started a thumbnail pass
        CCellPreviewWnd& preview = Content().GetCellView().GetPreview();
        if (preview.GetUnit() != nullptr)
        {
            preview.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_PLAY, BN_CLICKED),
                                reinterpret_cast<LPARAM>(preview.GetTransportButton(IDC_PREVIEW_PLAY).m_hWnd));
            if (WaitUntil([&] { return preview.IsPlaying(); }))
                ++nPlaying;
        }

        const int nTile = int(next(unsigned(Strip().GetTileCount())));
        CAngleBlock* pBlock = Strip().GetTile(nTile).pBlock;
        CVobCell* pUnit = pBlock->GetIlvuCount() > 0 ? pBlock->GetIlvu(0) : nullptr;
        const uint32_t nVobus = pUnit != nullptr ? pUnit->GetVobuCount() : 0;
        recorder.Attach(Dvd());
        const size_t nRecorded = recorder.record.size();
        bool bRan = false;
        switch (next(8))
        {
        case 0: bRan = HideSelectedBlocks({pBlock}); break;
        case 1: bRan = pUnit != nullptr && nVobus > 2 && CutFromHere(pUnit, nVobus / 2); break;
        case 2: bRan = pUnit != nullptr && nVobus > 2 && SplitHere(pUnit, nVobus / 2); break;
        case 3: bRan = pUnit != nullptr && ConvertToStillHere(pUnit, 0); break;
        case 4:
            if (bUnit && units.CanEdit())
            {
                // as the tree's "delete LU": the unused menu blocks go too
                CDvdEditGuard edit(units.GetDomainOwner(), "delete LU", &units);
                units.SetModified();
                units.RemoveUnit(0);
                vts.RemoveOrphanMenuBlocks();
                bRan = true;
            }
            break;
        case 5: bRan = RestoreSelectedBlocks({pBlock}); break;
        case 6: m_pDoc->OnUndo(); break;
        default: m_pDoc->OnRedo(); break;
        }
        kxtest::EditorStage::Pump();
        if (!bRan)
            continue;
        ++nEdits;
        const std::vector<std::string> step(recorder.record.begin() + long(nRecorded), recorder.record.end());
        ASSERT_EQ(step, (std::vector<std::string>{"thumbnails paused", "player closed", "changed"}))
            << "step " << nStep;
        EXPECT_EQ(m_pDoc->GetRevisions().GetCurrentIndex(), m_pDoc->GetRevisions().GetSize() - 1);
    }
    EXPECT_GT(nEdits, kSteps / 5);
    EXPECT_GT(nPlaying, kSteps / 2) << "a cell played before most steps";
    recorder.Detach(m_pDoc->GetRevisions());
}

} // namespace
