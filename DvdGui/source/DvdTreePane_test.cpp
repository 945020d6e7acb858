// The disc tree pane under Wine on fixture discs: the domains and sizes it
// shows, its places, its context menus chosen with real input, the edits
// behind them as revisions of the document, and its keys.
#include "DvdGui/source/DvdTreePane.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/MultiAngleDiscTestSupport.h"
#include "DVD/source/NodePath.h"
#include "DVD/source/PGC.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DvdGui/core/DomainRows.h"
#include "DvdGui/core/GuiText.h"
#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/Options.h"
#include "DvdGui/source/Resource.h"
#include "DvdGui/source/SelectAngleDlg.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/DialogSteps.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{

const UINT kPaneId = 61;
const char kSettingsPath[] = "Software\\Brannwick\\Kestrelux\\Settings";
const char kOptionsPath[] = "Software\\Brannwick\\Kestrelux\\Kestrelux Options";

std::vector<CDvdObject*> g_selected;

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && wParam == kPaneId)
    {
        const NMDVDTREE* pNotice = reinterpret_cast<const NMDVDTREE*>(lParam);
        if (int(pNotice->hdr.code) == TLN_SELCHANGED)
            g_selected.push_back(pNotice->pNode);
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

// The pane with the angle choice a user would make in the popup.
class AnglePane : public CDvdTreePane
{
public:
    int nChosen = -1;
    int nOffered = 0;

protected:
    int ChooseAngle(const CAngleBlockArray&, const CAngleMap& angleMap) override
    {
        nOffered = int(angleMap.GetSize());
        return nChosen;
    }
};

struct MenuEntry
{
    UINT id;
    std::string text;
    std::string accel;
    bool enabled;
};

class DvdTreePaneTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app.SetRegistryKey("Brannwick");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kOptionsPath);
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
        // the menu takes keys only once it is shown in full
        CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
        g_selected.clear();
        HWND hHost = kxgui::CreateTestWindow(360, 300, "Disc tree", HostProc);
        ASSERT_NE(hHost, nullptr);
        m_host.Attach(hHost);
        m_app.m_pMainWnd = &m_host;
        m_doc.m_bAutoDelete = FALSE;
        g_nRevisionLimit = 10;
    }
    void TearDown() override
    {
        m_pane.reset();
        m_app.m_pMainWnd = nullptr;
        ::DestroyWindow(m_host.Detach());
        kxgui::PumpUntilIdle();
        m_doc.DeleteContents();
        PurgeUnusedVobData();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kOptionsPath);
        AfxDeleteTempMaps();
    }

    bool Import(const char* fixture)
    {
        kxtest::RecordingLog log;
        return m_doc.GetCurrentDvd().Read(log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr);
    }
    bool ImportFolder(const std::string& folder)
    {
        kxtest::RecordingLog log;
        return m_doc.GetCurrentDvd().Read(log, folder.c_str(), nullptr);
    }

    void MakePane(std::unique_ptr<CDvdTreePane> pane = nullptr)
    {
        m_pane = pane ? std::move(pane) : std::make_unique<CDvdTreePane>();
        ASSERT_TRUE(m_pane->Create("tree", WS_CHILD | WS_VISIBLE, CRect(0, 0, 360, 300), &m_host, kPaneId));
        kxgui::PumpUntilIdle();
    }
    void Fill(const CDvdTreeLocation* pLocation = nullptr)
    {
        m_pane->Fill(&m_doc.GetCurrentDvd(), pLocation);
        m_pane->UpdateWindow();
        kxgui::PumpUntilIdle();
    }
    CTreeListCtrl& Tree() { return m_pane->GetTree(); }

    static CDvdObject* NodeOf(CTreeListItem* pItem) { return reinterpret_cast<CDvdObject*>(pItem->m_dwData); }
    CTreeListItem* ItemOf(const CDvdObject* pNode)
    {
        for (CTreeListItem* p = Tree().GetFirstItem(); p != nullptr; p = Tree().GetNextItem(p))
            if (NodeOf(p) == pNode)
                return p;
        return nullptr;
    }

    void Pump()
    {
        kxgui::PumpUntilIdle([](MSG& msg) { return CWnd::WalkPreTranslateTree(nullptr, &msg) != FALSE; });
    }
    // A point inside the item's row, in the tree's client area.
    CPoint PointOf(CTreeListItem* pItem)
    {
        Tree().EnsureVisible(pItem, 0);
        Tree().RecalcLayout();
        Tree().UpdateWindow();
        kxgui::PumpUntilIdle();
        CRect rc;
        Tree().GetItemRect(pItem, &rc);
        // in the "Size" column: clear of the tree's buttons
        return CPoint(rc.left + Tree().GetColumnWidth(0) + 20, rc.CenterPoint().y);
    }
    // Right-clicks the item (or empty space below the rows) and answers the
    // entries of the menu that opened; none when no menu opened.
    std::vector<MenuEntry> OpenMenu(CTreeListItem* pItem)
    {
        kxgui::Activate(m_host.m_hWnd);
        CPoint pt = pItem != nullptr ? PointOf(pItem) : CPoint(40, Tree().GetItemAreaRect().bottom - 5);
        kxgui::Click(Tree().m_hWnd, pt, true);
        Pump();
        std::vector<MenuEntry> entries;
        CExtPopupMenuWnd* pMenu = CExtPopupMenuWnd::GetTracker().GetTopPopup();
        if (pMenu == nullptr)
            return entries;
        for (int i = 0; i < pMenu->ItemGetCount(); ++i)
        {
            if (pMenu->GetItemAt(i).IsSeparator())
                entries.push_back({0, "-", "", false});
            else
                entries.push_back({pMenu->ItemGetCmdID(i), std::string(pMenu->ItemGetText(i)),
                                   std::string(pMenu->ItemGetAccelText(i)), pMenu->GetItemAt(i).IsEnabled()});
        }
        return entries;
    }
    // Chooses the command in the open menu with the arrow keys and Enter.
    void Choose(const std::vector<MenuEntry>& entries, UINT nID)
    {
        for (const MenuEntry& e : entries)
        {
            if (e.id == 0 || !e.enabled)
                continue;
            kxgui::PressKey(VK_DOWN);
            Pump();
            if (e.id == nID)
                break;
        }
        kxgui::PressKey(VK_RETURN);
        Pump();
        ASSERT_EQ(CExtPopupMenuWnd::GetTracker().GetTopPopup(), nullptr);
    }
    // A key as the user types it, then the windows' pre-translation.
    void Type(WORD vk, bool bCtrl, bool bShift)
    {
        kxgui::InputScript script;
        if (bCtrl)
            script.KeyDown(VK_CONTROL);
        if (bShift)
            script.KeyDown(VK_SHIFT);
        script.Key(vk);
        if (bShift)
            script.KeyUp(VK_SHIFT);
        if (bCtrl)
            script.KeyUp(VK_CONTROL);
        script.Send();
        Pump();
    }
    void CloseMenu()
    {
        kxgui::PressKey(VK_ESCAPE);
        Pump();
    }
    void RunFromMenu(CTreeListItem* pItem, UINT nID)
    {
        const std::vector<MenuEntry> entries = OpenMenu(pItem);
        ASSERT_FALSE(entries.empty());
        Choose(entries, nID);
    }

    int Revisions() { return m_doc.GetRevisions().GetSize(); }

    CWinApp m_app{"Kestrelux"};
    CWnd m_host;
    CDvdDoc m_doc;
    std::unique_ptr<CDvdTreePane> m_pane;
};

TEST_F(DvdTreePaneTest, FillShowsTheDomainsWithTheirSizes)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    ASSERT_TRUE(Import("twovts"));
    MakePane();
    Fill();
    CDvd& dvd = m_doc.GetCurrentDvd();
    CTreeListItem* pTop = Tree().GetFirstItem();
    ASSERT_NE(pTop, nullptr);
    EXPECT_STREQ(pTop->GetText(0), "DVD");
    EXPECT_EQ(NodeOf(pTop), &dvd);
    EXPECT_EQ(pTop->m_pNext, nullptr);
    // the Video Manager and both title sets, in the disc's order
    std::vector<std::string> names;
    for (CTreeListItem* p = pTop->m_pChild; p != nullptr; p = p->m_pNext)
        names.push_back(p->GetText(0));
    ASSERT_EQ(names.size(), 3u);
    for (unsigned i = 0; i < 3; ++i)
        EXPECT_EQ(names[i], std::string(dvd.GetChildName(i)));
    for (CTreeListItem* p = pTop; p != nullptr; p = Tree().GetNextItem(p))
    {
        const uint8_t nKind = NodeOf(p)->GetKind();
        EXPECT_TRUE(nKind == DVDNODE_DVD || nKind == DVDNODE_VMG || nKind == DVDNODE_VTS ||
                    nKind == DVDNODE_LANGUAGE_UNIT)
            << int(nKind);
        EXPECT_NE(p->GetState() & TLIS_SHOWIMAGE, 0u);
    }
    // sizes, with the default "OPSS" on; the disc fits the default target
    EXPECT_STREQ(pTop->GetText(1), FormatMegabytes(dvd.GetOutputSize()));
    CVts& vts = *dvd.GetVts(1);
    CTreeListItem* pVts = ItemOf(&vts);
    ASSERT_NE(pVts, nullptr);
    EXPECT_STREQ(pVts->GetText(1),
                 FormatMegabytes(2 * vts.GetIfoSize() + vts.GetMenuVobSize() + vts.GetTitleVobSize()));
    EXPECT_STREQ(ItemOf(&dvd.GetVmg())->GetText(1), FormatMegabytes(dvd.GetVmg().GetMenuVobSize()));
    EXPECT_EQ(pTop->GetTextColor(0), TLC_DEFAULT_COLOR);
    EXPECT_FALSE(pTop->HasTipText(0));
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_pane->m_hWnd), "disc_tree_sizes.png");

    // a target of 1 Mb: the disc is coloured and tells by how much
    AfxGetApp()->WriteProfileInt(OPTIONS_SECTION, "SZ", 1);
    Fill();
    pTop = Tree().GetFirstItem();
    const CString strTip = GetOverTargetTip(dvd.GetOutputSize(), 1);
    EXPECT_EQ(std::string(strTip).rfind("Disk is ", 0), 0u);
    for (int nColumn = 0; nColumn < 2; ++nColumn)
    {
        EXPECT_EQ(pTop->GetTextColor(nColumn), RGB(255, 128, 0));
        EXPECT_STREQ(pTop->GetTipText(nColumn), strTip);
    }
    EXPECT_EQ(ItemOf(&vts)->GetTextColor(0), TLC_DEFAULT_COLOR);
    // the tip shows when the mouse rests on the disc row
    kxgui::MoveMouseTo(
        [&]
        {
            CPoint pt = PointOf(Tree().GetFirstItem());
            Tree().ClientToScreen(&pt);
            return pt;
        }());
    kxgui::PumpUntilIdle([&](MSG&) { return false; });
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_host.m_hWnd), "disc_tree_over_target.png");

    // "OPSS" off: the column stays empty
    AfxGetApp()->WriteProfileInt(OPTIONS_SECTION, "OPSS", 0);
    Fill();
    for (CTreeListItem* p = Tree().GetFirstItem(); p != nullptr; p = Tree().GetNextItem(p))
        EXPECT_STREQ(p->GetText(1), "");
}

TEST_F(DvdTreePaneTest, MenuLanguageUnitsShowUnderTheirOwners)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ASSERT_TRUE(Import("ntscmenu"));
    MakePane();
    Fill();
    CDvd& dvd = m_doc.GetCurrentDvd();
    const CDvdObject* owners[] = {&dvd.GetVmg(), dvd.GetVts(0)};
    const CLanguageUnits* tables[] = {&dvd.GetVmg().GetLanguageUnits(), &dvd.GetVts(0)->GetLanguageUnits()};
    EXPECT_EQ(tables[1]->GetUnitCount(), 2u);
    for (int i = 0; i < 2; ++i)
    {
        CTreeListItem* pOwner = ItemOf(owners[i]);
        ASSERT_NE(pOwner, nullptr);
        uint32_t n = 0;
        for (CTreeListItem* p = pOwner->m_pChild; p != nullptr; p = p->m_pNext, ++n)
        {
            ASSERT_LT(n, tables[i]->GetUnitCount());
            EXPECT_EQ(NodeOf(p), tables[i]->GetUnit(n));
            CBlockIndex blocks;
            tables[i]->GetUnit(n)->GetUsedBlocks(blocks);
            uint64_t nSize = 0;
            for (int32_t b = 0; b < blocks.GetSize(); ++b)
                nSize += blocks[b]->GetOutputSize();
            EXPECT_STREQ(p->GetText(1), FormatMegabytes(nSize));
        }
        EXPECT_EQ(n, tables[i]->GetUnitCount());
    }
}

TEST_F(DvdTreePaneTest, LocationsComeBackAndSelectionsReachTheParent)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ASSERT_TRUE(Import("ntscmenu"));
    MakePane();
    Fill();
    CDvd& dvd = m_doc.GetCurrentDvd();
    CLanguageUnits& units = dvd.GetVts(0)->GetLanguageUnits();
    ASSERT_EQ(units.GetUnitCount(), 2u);

    // a click selects; the parent hears the node
    kxgui::Activate(m_host.m_hWnd);
    kxgui::Click(Tree().m_hWnd, PointOf(ItemOf(units.GetUnit(1))));
    Pump();
    ASSERT_FALSE(g_selected.empty());
    EXPECT_EQ(g_selected.back(), units.GetUnit(1));

    Tree().Expand(ItemOf(&dvd.GetVmg()), TLE_COLLAPSE);
    const CDvdTreeLocation location = m_pane->GetLocation();
    EXPECT_EQ(location.selectedPath,
              (std::vector<uint64_t>{units.GetUnit(1)->GetId(), dvd.GetVts(0)->GetId(), dvd.GetId()}));
    EXPECT_GE(location.row, 0);

    Fill(); // an empty location: the top item, expanded
    EXPECT_EQ(Tree().GetCaretItem(), Tree().GetFirstItem());
    Fill(&location);
    EXPECT_EQ(Tree().GetCaretItem(), ItemOf(units.GetUnit(1)));
    EXPECT_FALSE(ItemOf(&dvd.GetVmg())->IsExpanded());
    EXPECT_TRUE(ItemOf(dvd.GetVts(0))->IsExpanded());
    EXPECT_EQ(Tree().GetItemScreenRow(Tree().GetCaretItem()), location.row);
    const CDvdTreeLocation again = m_pane->GetLocation();
    EXPECT_EQ(again.expandedIds, location.expandedIds);
    EXPECT_EQ(again.row, location.row);

    // the selected unit is gone: its nearest surviving ancestor is chosen
    units.RemoveUnit(1);
    Fill(&location);
    EXPECT_EQ(Tree().GetCaretItem(), ItemOf(dvd.GetVts(0)));
}

TEST_F(DvdTreePaneTest, DomainMenusFollowTheNodeKind)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ASSERT_TRUE(Import("ntscmenu"));
    MakePane();
    Fill();
    CDvd& dvd = m_doc.GetCurrentDvd();
    CVts& vts = *dvd.GetVts(0);
    const std::string tail[] = {"-", "&Expand all", "&Collapse all"};
    const struct
    {
        CDvdObject* node;
        std::vector<std::string> texts;
    } cases[] = {
        {&dvd,
         {"Hide menu &transitions", "Convert menus to &still", "-", "&Remove Parental Management",
          "&Enable all operations", "-", "&Expand all", "&Collapse all"}},
        {&dvd.GetVmg(),
         {"&Hide all blocks", "Rest&ore all blocks", "-", "Hide menu &transitions", "Convert menus to &still", "-",
          "&Remove Parental Management", "&Enable all operations", "-", "&Expand all", "&Collapse all"}},
        {&vts,
         {"&Hide all blocks", "Rest&ore all blocks", "-", "Hide menu &transitions", "Convert menus to &still", "-",
          "Strip angles ...", "-", "&Remove Parental Management", "&Enable all operations", "-", "&Expand all",
          "&Collapse all"}},
        {vts.GetLanguageUnits().GetUnit(0),
         {"&Hide all blocks", "Rest&ore all blocks", "-", "Hide menu &transitions", "Convert menus to &still", "-",
          std::string(GetDeleteMenusText(vts.GetLanguageUnits().GetUnit(0)->GetLanguageCode())), "-",
          "&Enable all operations"}},
    };
    for (const auto& c : cases)
    {
        const std::vector<MenuEntry> entries = OpenMenu(ItemOf(c.node));
        std::vector<std::string> texts;
        for (const MenuEntry& e : entries)
            texts.push_back(e.text);
        EXPECT_EQ(texts, c.texts) << int(c.node->GetKind());
        for (const MenuEntry& e : entries)
        {
            const std::map<UINT, std::string> accels = {{ID_DOMAIN_ENABLE_ALL_OPERATIONS, "Ctrl+Shift+O"},
                                                        {ID_DOMAIN_HIDE_ALL_BLOCKS, "Ctrl+H"},
                                                        {ID_DOMAIN_RESTORE_ALL_BLOCKS, "Ctrl+Shift+Z"},
                                                        {ID_DOMAIN_DELETE_LANGUAGE_UNIT, "Del"},
                                                        {ID_TREE_EXPAND_ALL, "Shift+E"},
                                                        {ID_TREE_COLLAPSE_ALL, "Ctrl+Shift+C"}};
            const auto accel = accels.find(e.id);
            EXPECT_EQ(e.accel, accel != accels.end() ? accel->second : std::string()) << e.text;
            // nothing is hidden yet, the fixture has no parental table and
            // its titles one angle
            const bool bGreyed = e.id == ID_DOMAIN_RESTORE_ALL_BLOCKS || e.id == ID_DOMAIN_STRIP_ANGLES ||
                                 e.id == ID_DOMAIN_REMOVE_PARENTAL_MANAGEMENT;
            EXPECT_TRUE(e.id == 0 || e.enabled == !bGreyed) << e.text;
        }
        if (c.node == &vts)
        {
            CExtPopupMenuWnd* pMenu = CExtPopupMenuWnd::GetTracker().GetTopPopup();
            ASSERT_NE(pMenu, nullptr);
            kxgui::SaveArtifact(kxgui::CaptureScreen(pMenu->m_hWnd, false), "disc_tree_domain_menu.png");
        }
        CloseMenu();
    }

    // empty space below the rows: the tree commands of the top item only
    const std::vector<MenuEntry> below = OpenMenu(nullptr);
    ASSERT_EQ(below.size(), 2u);
    EXPECT_EQ(below[0].id, UINT(ID_TREE_EXPAND_ALL));
    EXPECT_EQ(below[1].id, UINT(ID_TREE_COLLAPSE_ALL));
    CloseMenu();

    // the only unit of a table cannot be deleted
    CLanguageUnits& vmgUnits = dvd.GetVmg().GetLanguageUnits();
    ASSERT_EQ(vmgUnits.GetUnitCount(), 1u);
    for (const MenuEntry& e : OpenMenu(ItemOf(vmgUnits.GetUnit(0))))
    {
        if (e.id == ID_DOMAIN_DELETE_LANGUAGE_UNIT)
        {
            EXPECT_FALSE(e.enabled);
        }
    }
    CloseMenu();

    // an empty tree offers nothing
    m_pane->Fill(nullptr, nullptr);
    EXPECT_TRUE(OpenMenu(nullptr).empty());
}

TEST_F(DvdTreePaneTest, EachDomainEditIsOneRevisionOfItsOperation)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ASSERT_TRUE(Import("ntscmenu"));
    MakePane();
    Fill();
    CDvd& dvd = m_doc.GetCurrentDvd();
    CVts& vts = *dvd.GetVts(0);
    CLanguageUnit& unit = *vts.GetLanguageUnits().GetUnit(0);
    const struct
    {
        CDvdObject* node;
        UINT id;
        const char* history;
    } cases[] = {
        {&vts, ID_DOMAIN_HIDE_ALL_BLOCKS, "hide all blocks"},
        {&unit, ID_DOMAIN_HIDE_ALL_BLOCKS, "hide all blocks"},
        {&dvd, ID_DOMAIN_ENABLE_ALL_OPERATIONS, "enable all operations"},
        {&dvd.GetVmg(), ID_DOMAIN_HIDE_MENU_TRANSITIONS, "hide transitions"},
        {&dvd, ID_DOMAIN_CONVERT_MENUS_TO_STILL, "convert menus to still"},
    };
    for (const auto& c : cases)
    {
        const int nBefore = Revisions();
        const CString strPath = GetPath(c.node);
        RunFromMenu(ItemOf(c.node), c.id);
        ASSERT_EQ(Revisions(), nBefore + 1) << c.history;
        EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strDescription, c.history);
        EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strPath, strPath);
        EXPECT_TRUE(m_host.IsWindowEnabled());
        Fill();
    }
    // every PGC of the disc allows every user operation
    for (CPgcTable* pTable : {&vts.GetPgcTable(), static_cast<CPgcTable*>(&unit)})
        for (uint32_t i = 0; i < pTable->GetPgcCount(); ++i)
            EXPECT_EQ(pTable->GetPgc(i)->m_uops.GetMask(), 0u) << i;
    EXPECT_TRUE(m_doc.IsModified());
}

TEST_F(DvdTreePaneTest, KeysRunTheirCommandsOnTheFocusedItem)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ASSERT_TRUE(Import("ntscmenu"));
    MakePane();
    Fill();
    CDvd& dvd = m_doc.GetCurrentDvd();
    CVts& vts = *dvd.GetVts(0);
    kxgui::Activate(m_host.m_hWnd);

    // Ctrl+H on the disc: the disc hides no blocks, so no revision
    kxgui::Click(Tree().m_hWnd, PointOf(Tree().GetFirstItem()));
    Pump();
    Type('H', true, false);
    EXPECT_EQ(Revisions(), 1);
    EXPECT_FALSE(m_doc.IsModified());

    // Ctrl+H and Ctrl+Shift+Z on a title set
    kxgui::Click(Tree().m_hWnd, PointOf(ItemOf(&vts)));
    Pump();
    Type('H', true, false);
    EXPECT_EQ(Revisions(), 2);
    EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strDescription, "hide all blocks");
    Type('Z', true, true);
    EXPECT_EQ(Revisions(), 3);
    EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strDescription, "restore all blocks");

    // Shift+C collapses everything below the focused item, Ctrl+Shift+C
    // does nothing in the pane; Shift+E expands it all again
    Fill();
    Tree().ExpandAll(Tree().GetFirstItem(), TLE_EXPAND);
    kxgui::Click(Tree().m_hWnd, PointOf(Tree().GetFirstItem()));
    Pump();
    Type('C', true, true);
    EXPECT_TRUE(ItemOf(dvd.GetVts(0))->IsExpanded());
    Type('C', false, true);
    for (CTreeListItem* p = Tree().GetFirstItem(); p != nullptr; p = Tree().GetNextItem(p))
        EXPECT_FALSE(p->IsExpanded()) << p->GetText(0);
    Type('E', false, true);
    for (CTreeListItem* p = Tree().GetFirstItem(); p != nullptr; p = Tree().GetNextItem(p))
        EXPECT_TRUE(p->m_pChild == nullptr || p->IsExpanded()) << p->GetText(0);
}

TEST_F(DvdTreePaneTest, DeletingAMenuLanguageKeepsThePlayedBlocks)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    ASSERT_TRUE(Import("ntscmenu"));
    CVts& vts = *m_doc.GetCurrentDvd().GetVts(0);
    CLanguageUnits& units = vts.GetLanguageUnits();
    ASSERT_EQ(units.GetUnitCount(), 2u);
    // a third language, playing nothing of its own
    CLanguageUnit* pThird = units.AddUnit();
    pThird->SetLanguageCode(WORD('f' | ('r' << 8)));
    MakePane();
    Fill();

    RunFromMenu(ItemOf(pThird), ID_DOMAIN_DELETE_LANGUAGE_UNIT);
    ASSERT_EQ(units.GetUnitCount(), 2u);
    EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strDescription, "delete LU");
    EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strPath, GetPath(&units));
    EXPECT_EQ(Tree().GetCaretItem() != nullptr ? NodeOf(Tree().GetCaretItem()) : nullptr, units.GetUnit(1));

    // deleting the first language drops the menu blocks only it played
    Fill();
    CBlockIndex kept;
    units.GetUnit(1)->GetUsedBlocks(kept);
    RunFromMenu(ItemOf(units.GetUnit(0)), ID_DOMAIN_DELETE_LANGUAGE_UNIT);
    ASSERT_EQ(units.GetUnitCount(), 1u);
    CAngleBlockList& menus = vts.GetMenuDomain();
    ASSERT_EQ(menus.GetBlockCount(), uint32_t(kept.GetSize()));
    for (int32_t i = 0; i < kept.GetSize(); ++i)
        EXPECT_GE(menus.GetBlockIndex(kept[i]), 0);
    EXPECT_EQ(Revisions(), 3);
}

TEST_F(DvdTreePaneTest, StripAnglesKeepsTheChosenAngle)
{
    kxtest::MultiAngleDisc disc(3);
    if (!disc.Build())
        GTEST_SKIP() << "no multi-angle disc";
    ASSERT_TRUE(ImportFolder(disc.Folder()));
    auto pane = std::make_unique<AnglePane>();
    AnglePane* pAngles = pane.get();
    MakePane(std::move(pane));
    Fill();
    CVts& vts = *m_doc.GetCurrentDvd().GetVts(0);
    ASSERT_EQ(vts.GetMinAngleCount(), 3);
    CAngleBlockArray blocks;
    CAngleMap angleMap;
    vts.CollectAngleBlocks(blocks, angleMap);
    ASSERT_EQ(blocks.GetSize(), 1);
    CVobCell* pKept = blocks[0]->GetIlvu((*angleMap[1])[0]);

    // a cancelled choice changes nothing
    RunFromMenu(ItemOf(&vts), ID_DOMAIN_STRIP_ANGLES);
    EXPECT_EQ(pAngles->nOffered, 3);
    EXPECT_EQ(Revisions(), 1);

    pAngles->nChosen = 1;
    RunFromMenu(ItemOf(&vts), ID_DOMAIN_STRIP_ANGLES);
    ASSERT_EQ(Revisions(), 2);
    EXPECT_STREQ(m_doc.GetRevisions().GetCurrent().m_strDescription, "strip angles");
    ASSERT_EQ(blocks[0]->GetIlvuCount(), 1u);
    EXPECT_EQ(blocks[0]->GetIlvu(0), pKept);
    EXPECT_LT(vts.GetMinAngleCount(), 2);

    // no multi-angle block left: no choice, no revision
    pAngles->nOffered = 0;
    m_pane->Fill(&m_doc.GetCurrentDvd(), nullptr);
    CTreeListItem* pVts = ItemOf(&vts);
    Tree().SelectItem(pVts, 0, false, false);
    m_pane->SendMessage(WM_COMMAND, ID_DOMAIN_STRIP_ANGLES);
    EXPECT_EQ(pAngles->nOffered, 0);
    EXPECT_EQ(Revisions(), 2);
}

// The popup itself: a tab per angle, the preview keeps its place when the
// tab changes, and "Keep this" on the second tab keeps the second angle.
TEST_F(DvdTreePaneTest, TheSelectAnglePopupKeepsTheAngleOfItsTab)
{
    kxtest::MultiAngleDisc disc(3);
    if (!disc.Build())
        GTEST_SKIP() << "no multi-angle disc";
    ASSERT_TRUE(ImportFolder(disc.Folder()));
    MakePane();
    Fill();
    CVts& vts = *m_doc.GetCurrentDvd().GetVts(0);
    CAngleBlockArray blocks;
    CAngleMap angleMap;
    vts.CollectAngleBlocks(blocks, angleMap);
    ASSERT_EQ(blocks.GetSize(), 1);
    CVobCell* pFirst = blocks[0]->GetIlvu((*angleMap[0])[0]);
    CVobCell* pSecond = blocks[0]->GetIlvu((*angleMap[1])[0]);

    std::vector<std::string> tabs;
    bool bKeepEnabled = false;
    bool bOwnerEnabled = true;
    const CVobCell* pShownFirst = nullptr;
    const CVobCell* pShownSecond = nullptr;
    int nVobuBefore = -1;
    int nVobuAfter = -1;
    kxtest::WhenShown(
        "Select angle",
        [&](HWND hWnd)
        {
            auto* pDialog = dynamic_cast<CSelectAngleDlg*>(CWnd::FromHandlePermanent(hWnd));
            if (pDialog == nullptr)
            {
                ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
                return;
            }
            // the popup filled itself before it showed, and a tab change
            // is synchronous: pumping would only run the preview's timers
            bOwnerEnabled = ::IsWindowEnabled(m_host.m_hWnd) != FALSE;
            for (int i = 0; i < pDialog->GetTabs().GetTabCount(); ++i)
                tabs.emplace_back(LPCTSTR(pDialog->GetTabs().GetTab(i)->m_strText));
            bKeepEnabled = pDialog->GetConfirmButton().IsWindowEnabled() != FALSE;
            CCellPreviewWnd& preview = pDialog->GetPreview();
            pShownFirst = preview.GetUnit();
            preview.SendMessage(WM_HSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(preview.GetSlider().m_hWnd));
            nVobuBefore = preview.GetCurrentVobu();
            pDialog->GetTabs().SelectTab(1);
            ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            pShownSecond = preview.GetUnit();
            nVobuAfter = preview.GetCurrentVobu();
            EXPECT_FALSE(kxgui::SaveArtifact(kxgui::CaptureScreen(hWnd, false), "select_angle.png").empty());
            CButton& keep = pDialog->GetConfirmButton();
            CRect rc;
            keep.GetClientRect(&rc);
            kxgui::Click(keep.m_hWnd, rc.CenterPoint());
        });
    RunFromMenu(ItemOf(&vts), ID_DOMAIN_STRIP_ANGLES);
    kxtest::CancelWhenShown();

    EXPECT_EQ(tabs, (std::vector<std::string>{"Angle 1", "Angle 2", "Angle 3"}));
    EXPECT_TRUE(bKeepEnabled);
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_EQ(pShownFirst, pFirst);
    EXPECT_EQ(pShownSecond, pSecond);
    EXPECT_GT(nVobuBefore, 0);
    EXPECT_EQ(nVobuAfter, std::min<int>(nVobuBefore, int(pSecond->GetVobuCount()) - 1));
    ASSERT_EQ(Revisions(), 2);
    ASSERT_EQ(blocks[0]->GetIlvuCount(), 1u);
    EXPECT_EQ(blocks[0]->GetIlvu(0), pSecond);
}

// Without a block there is nothing to keep.
TEST_F(DvdTreePaneTest, TheSelectAnglePopupWithoutBlocksOnlyCancels)
{
    CAngleBlockArray blocks;
    CAngleMap angleMap;
    CSelectAngleDlg dialog(blocks, angleMap, &m_host);
    bool bKeepEnabled = true;
    kxtest::WhenShown("Select angle",
                      [&](HWND hWnd)
                      {
                          bKeepEnabled = dialog.GetConfirmButton().IsWindowEnabled() != FALSE;
                          CButton& cancel = dialog.GetCancelButton();
                          CRect rc;
                          cancel.GetClientRect(&rc);
                          kxgui::Click(cancel.m_hWnd, rc.CenterPoint());
                          (void)hWnd;
                      });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    kxtest::CancelWhenShown();
    EXPECT_FALSE(bKeepEnabled);
}

TEST_F(DvdTreePaneTest, ColumnWidthsTheUserSetsAreKept)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    ASSERT_TRUE(Import("pal1"));
    MakePane();
    Fill();
    EXPECT_EQ(Tree().GetColumnWidth(0), 180);
    // drag the divider after "Domain" 70 pixels to the right
    CTreeListHeaderCtrl& header = Tree().GetHeaderCtrl();
    CRect rcHeader;
    header.GetClientRect(&rcHeader);
    const int y = rcHeader.CenterPoint().y;
    kxgui::Activate(m_host.m_hWnd);
    kxgui::InputScript()
        .MoveTo(header.m_hWnd, {179, y})
        .ButtonDown()
        .MoveTo(header.m_hWnd, {220, y})
        .MoveTo(header.m_hWnd, {249, y})
        .ButtonUp()
        .Send();
    Pump();
    EXPECT_EQ(Tree().GetColumnWidth(0), 250);
    EXPECT_EQ(AfxGetApp()->GetProfileInt("Settings", "DSV_CW0", 0), 250);

    MakePane();
    EXPECT_EQ(Tree().GetColumnWidth(0), 250);
}

} // namespace
