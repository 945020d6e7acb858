// The context menus' entries and their enabling as tables, and which button
// commands a menu bypass may stand for.
#include "DvdGui/core/EditMenus.h"
#include "DVD/source/EditTestSupport.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

// The enabled states of the entries that are not separators, as "10110".
std::string Enabled(const std::vector<CMenuEntry>& menu)
{
    std::string states;
    for (const CMenuEntry& entry : menu)
        if (entry.nId != 0)
            states += entry.bEnabled ? '1' : '0';
    return states;
}

TEST(EditMenus, BlockStripEntries)
{
    CBlockMenuFacts facts;
    facts.nTiles = 3;
    facts.nFirstSelected = 1;
    facts.nSelected = 1;
    facts.bEditable = true;
    const std::vector<CMenuEntry> expected = {
        {1049, "&Hide block", "Ctrl+H", true},
        {1052, "Hide blocks &before this", "Ctrl+Shift+<", true},
        {1053, "Hide blocks &after this", "Ctrl+Shift+>", true},
        {0, nullptr, nullptr, false},
        {1054, "Rest&ore block", "Ctrl+Shift+Z", false},
        {0, nullptr, nullptr, false},
        {1061, "Convert to s&till", nullptr, false},
        {0, nullptr, nullptr, false},
        {1058, "Select &All", "Ctrl+A", true},
    };
    EXPECT_EQ(BlockStripMenu(facts), expected);
}

TEST(EditMenus, BlockStripEnabling)
{
    const struct
    {
        int tiles, first, selected;
        bool restorable, convertible, editable;
        const char* enabled; // hide, before, after, restore, convert, select all
    } cases[] = {
        {3, 0, 1, false, false, true, "101001"}, // tile 0: nothing before it
        {3, 1, 1, false, false, true, "111001"},
        {3, 2, 1, false, false, true, "110001"}, // the last tile: nothing after it
        {3, 1, 2, false, false, true, "100001"}, // two tiles: neither range
        {3, 0, 3, true, true, true, "100111"},
        {3, 1, 1, true, true, false, "000001"}, // a disc that allows no edit
        {1, 0, 1, true, false, true, "100101"},
    };
    for (const auto& c : cases)
    {
        CBlockMenuFacts facts;
        facts.nTiles = c.tiles;
        facts.nFirstSelected = c.first;
        facts.nSelected = c.selected;
        facts.bRestorable = c.restorable;
        facts.bConvertible = c.convertible;
        facts.bEditable = c.editable;
        EXPECT_EQ(Enabled(BlockStripMenu(facts)), c.enabled) << c.first << "/" << c.selected;
    }
}

TEST(EditMenus, SimpleStripOffersTheRangesAlways)
{
    const std::vector<CMenuEntry> menu = SimpleStripMenu(false);
    ASSERT_EQ(menu.size(), 5u);
    EXPECT_EQ(menu[3].nId, 0u);
    EXPECT_EQ(menu[4], (CMenuEntry{1054, "Rest&ore block", "Ctrl+Shift+Z", false}));
    EXPECT_EQ(Enabled(menu), "1110");
    EXPECT_EQ(Enabled(SimpleStripMenu(true)), "1111");
}

TEST(EditMenus, CellPreviewEnabling)
{
    CCellMenuFacts all;
    all.bBlock = all.bEditable = all.bTitleDomain = all.bCanSplitAt = all.bCanCutFrom = all.bCanCutTo = true;
    all.bRestorable = all.bFrameValid = true;
    std::vector<CMenuEntry> menu = CellPreviewMenu(all);
    const unsigned ids[] = {1212, 0, 1210, 1209, 1217, 0, 1213, 1214, 0, 1230, 0, 1203};
    ASSERT_EQ(menu.size(), std::size(ids));
    for (size_t i = 0; i < menu.size(); ++i)
    {
        EXPECT_EQ(menu[i].nId, ids[i]);
        EXPECT_EQ(menu[i].pszAccel, nullptr);
    }
    EXPECT_STREQ(menu[4].pszText, "&Split here");
    EXPECT_STREQ(menu[7].pszText, "&Show original...");
    EXPECT_STREQ(menu[9].pszText, "Convert to &still");
    EXPECT_EQ(Enabled(menu), "11111111");

    // hide, cut to, cut from, split, restore, show original, convert, export
    const struct
    {
        const char* name;
        void (*change)(CCellMenuFacts&);
        const char* enabled;
    } cases[] = {
        {"menu domain", [](CCellMenuFacts& f) { f.bTitleDomain = false; }, "11101111"},
        {"several units", [](CCellMenuFacts& f) { f.bMulti = true; }, "10001101"},
        {"no split point", [](CCellMenuFacts& f) { f.bCanSplitAt = false; }, "10111111"},
        {"no cut point", [](CCellMenuFacts& f) { f.bCanCutTo = false; }, "11101111"},
        {"last VOBU", [](CCellMenuFacts& f) { f.bCanCutFrom = false; }, "11011111"},
        {"stock cell", [](CCellMenuFacts& f) { f.bStock = true; }, "11111101"},
        {"still", [](CCellMenuFacts& f) { f.bStill = true; }, "11111101"},
        {"no frame", [](CCellMenuFacts& f) { f.bFrameValid = false; }, "11111100"},
        {"not restorable", [](CCellMenuFacts& f) { f.bRestorable = false; }, "11110011"},
        {"read-only disc", [](CCellMenuFacts& f) { f.bEditable = false; }, "00000101"},
        {"no block",
         [](CCellMenuFacts& f)
         {
             f.bBlock = false;
             f.bMulti = true;
             f.bRestorable = false;
         },
         "00000001"},
    };
    for (const auto& c : cases)
    {
        CCellMenuFacts facts = all;
        c.change(facts);
        EXPECT_EQ(Enabled(CellPreviewMenu(facts)), c.enabled) << c.name;
    }
}

TEST(EditMenus, ButtonMenu)
{
    const std::vector<CMenuEntry> menu = ButtonMenu(true, false);
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_EQ(menu[0], (CMenuEntry{1208, "&Hide button", nullptr, true}));
    EXPECT_EQ(menu[2], (CMenuEntry{1233, "Bypass &menu (auto select button)", nullptr, false}));
    EXPECT_EQ(Enabled(ButtonMenu(true, true)), "11");
    EXPECT_EQ(Enabled(ButtonMenu(false, true)), "00");
}

// Buttons of one highlight with commands set per case.
void Buttons(size_t, uint32_t, PciPacket& pci, BYTE nButtons)
{
    pci.SetHliStatus(1);
    pci.SetButtonGroupCount(1);
    pci.SetBtnNs(nButtons);
}

// A jump takes no button number.
std::vector<BYTE> Jump(WORD title)
{
    CNavCommand command;
    command.SetType(NAV_TYPE_JUMP);
    command.GetInstruction().SetCode(NAV_JUMP_VTS_TITLE);
    command.GetInstruction().SetParam(0, title);
    std::vector<BYTE> bytes(8);
    command.Encode(bytes.data());
    return bytes;
}

TEST(EditMenus, BypassQualification)
{
    const std::vector<BYTE> link = kxtest::MakeLink(NAV_LINK_CELL, 1);
    const struct
    {
        const char* name;
        std::vector<std::vector<BYTE>> commands;
        int button;
        bool qualifies;
    } cases[] = {
        {"a link, same as before", {link, link, link}, 1, true},
        {"one button", {Jump(1)}, 0, true},
        {"differs from the one before", {Jump(1), Jump(2), Jump(2)}, 1, true},
        {"same as the one before", {Jump(1), Jump(2), Jump(2)}, 2, false},
        {"first, differs from the second", {Jump(1), Jump(2)}, 0, true},
        {"first, same as the second", {Jump(2), Jump(2), Jump(1)}, 0, false},
        {"out of range", {Jump(1), Jump(2)}, 2, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const BYTE nButtons = BYTE(c.commands.size());
        kxtest::EditSet set({{1, 1, 1}},
                            [nButtons](size_t cell, uint32_t v, PciPacket& pci) { Buttons(cell, v, pci, nButtons); });
        ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
        const CVobCell& unit = set.Ilvu(0);
        ASSERT_EQ(unit.GetSegmentCount(), 1u);
        CButtonSegment& segment = *unit.GetSegment(0);
        ASSERT_EQ(segment.GetButtonCount(), uint32_t(nButtons));
        for (uint32_t b = 0; b < nButtons; ++b)
            std::memcpy(segment.GetButton(b)->GetGroup(0).command, c.commands[b].data(), 8);
        EXPECT_EQ(BypassMenuQualifies(segment, c.button, 0, DVDDOMAIN_VMG_MENU | DVDDOMAIN_COMMAND_GROUP), c.qualifies);
    }
}

} // namespace
