#include "DVD/source/button.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobTestSupport.h"
#include "Shared/platform/PlatformPath.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{

using kxtest::RecordingLog;
using kxtest::VobBuilder;

// A highlight of n buttons in a row (1 group unless given), button i at
// columns 100 i .. 100 i + 50, its command a link to button i + 1.
void RowOfButtons(PciPacket& pci, int n, DWORD start, int groups = 1)
{
    pci.SetHliStatus(1);
    pci.SetHliSPtm(start);
    pci.SetHliEPtm(0xFFFFFFFF);
    pci.SetBtnSlEPtm(0xFFFFFFFF);
    pci.SetButtonGroupCount(groups);
    pci.SetBtnNs(BYTE(n));
    pci.SetNslBtnNs(BYTE(n));
    for (int g = 0; g < groups; ++g)
    {
        for (int b = 1; b <= n; ++b)
        {
            CButtonInfo info = pci.GetButtonInfo(g, b);
            if (!info.IsValid())
                continue;
            info.SetXStart(WORD(100 * b));
            info.SetXEnd(WORD(100 * b + 50));
            info.SetYStart(200);
            info.SetYEnd(250);
            info.SetColor(1);
            info.SetNeighbour(BTN_LEFT, BYTE(b > 1 ? b - 1 : n));
            info.SetNeighbour(BTN_RIGHT, BYTE(b < n ? b + 1 : 1));
            info.SetNeighbour(BTN_UP, BYTE(b));
            info.SetNeighbour(BTN_DOWN, BYTE(b));
            BYTE command[8] = {0x30, 0x05, 0x00, BYTE(b), 0x00, 0x01, 0x00, 0x00};
            info.SetCommand(command);
        }
    }
}

std::unique_ptr<CButtonSegment> SegmentOf(int n, int groups = 1)
{
    PciPacket pci;
    RowOfButtons(pci, n, 1000, groups);
    return std::unique_ptr<CButtonSegment>(new CButtonSegment(0, pci, 1000, nullptr));
}

// ---- Segment from a highlight ---------------------------------------------------

TEST(ButtonSegment, HighlightWithoutButtonsGivesZeroTimes)
{
    PciPacket pci;
    pci.SetHliSPtm(5000);
    pci.SetHliEPtm(0xFFFFFFFF);
    pci.SetBtnSlEPtm(7000);
    CButtonSegment segment(3, pci, 1000, nullptr);
    EXPECT_EQ(segment.GetButtonCount(), 0u);
    EXPECT_EQ(segment.GetFirstVobu(), 3u);
    EXPECT_EQ(segment.GetVobuCount(), 1u);
    EXPECT_EQ(segment.GetHliStartPtm(), 0u);
    EXPECT_EQ(segment.GetHliEndPtm(), 0xFFFFFFFFu);
    EXPECT_EQ(segment.GetSelectEndPtm(), 0u);
}

TEST(ButtonSegment, ButtonCountIsHeldToTheTableOfTheGroups)
{
    struct Case
    {
        int groups;
        int btnNs;
        uint32_t buttons;
    };
    const Case cases[] = {{0, 5, 0}, {1, 40, 36}, {2, 20, 18}, {3, 20, 12}, {3, 12, 12}, {1, 63, 36}};
    for (const Case& c : cases)
    {
        PciPacket pci;
        RowOfButtons(pci, 36, 0, c.groups == 0 ? 1 : c.groups);
        pci.SetButtonGroupCount(c.groups);
        pci.SetBtnNs(BYTE(c.btnNs));
        CButtonSegment segment(0, pci, 0, nullptr);
        EXPECT_EQ(segment.GetButtonCount(), c.buttons) << c.groups << " groups, BTN_NS " << c.btnNs;
        for (uint32_t i = 0; i < segment.GetButtonCount(); ++i)
            EXPECT_EQ(segment.GetButton(i)->GetGroupCount(), uint32_t(c.groups));
    }
}

TEST(ButtonSegment, ButtonsTakeTheirEntriesAndTimesBecomeRelative)
{
    PciPacket pci;
    RowOfButtons(pci, 3, 1500);
    pci.SetFoslBtnn(2);
    pci.SetFoacBtnn(3);
    pci.SetBtnSlEPtm(2500);
    CButtonSegment segment(0, pci, 1000, nullptr);
    ASSERT_EQ(segment.GetButtonCount(), 3u);
    EXPECT_EQ(segment.GetHliStartPtm(), 500u);
    EXPECT_EQ(segment.GetSelectEndPtm(), 1500u);
    EXPECT_EQ(segment.GetForcedSelect(), 1);
    EXPECT_EQ(segment.GetForcedAction(), 2);
    const CButtonGroupEntry& e = segment.GetButton(0)->GetGroup(0);
    EXPECT_EQ(e.neighbours[BTNDIR_LEFT], 2);
    EXPECT_EQ(e.neighbours[BTNDIR_RIGHT], 1);
    EXPECT_EQ(e.neighbours[BTNDIR_UP], 0);
    EXPECT_EQ(e.dwXStart, 100u);
    EXPECT_EQ(e.dwXEnd, 150u);
    EXPECT_EQ(e.nColorTable, 1u);
    EXPECT_EQ(e.command[3], 1);
}

TEST(ButtonSegment, WriteHliGivesBackTheHighlight)
{
    PciPacket source;
    RowOfButtons(source, 4, 1500, 2);
    source.SetGroupDisplayType(0, 1);
    source.SetGroupDisplayType(1, 2);
    source.SetFoslBtnn(2);
    source.SetBtnSlEPtm(0xFFFFFFFF);
    const BYTE colors[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    source.SetColorTable(2, colors);
    CButtonSegment segment(0, source, 1000, nullptr);
    PciPacket written;
    segment.WriteHli(written, 1000, false);
    // Everything of the highlight but its status.
    EXPECT_EQ(memcmp(written.bytes + 98, source.bytes + 98, 694 - 2), 0);
    EXPECT_EQ(written.GetHliStatus(), 0);
    // Endless: no end time; another base moves the times along.
    segment.WriteHli(written, 2000, true);
    EXPECT_EQ(written.GetHliSPtm(), 2500u);
    EXPECT_EQ(written.GetHliEPtm(), 0xFFFFFFFFu);
}

TEST(ButtonSegment, CopyIsDeep)
{
    auto segment = SegmentOf(3);
    std::unique_ptr<CButtonSegment> copy(CButtonSegment::CopyConstruct(*segment, nullptr));
    ASSERT_EQ(copy->GetButtonCount(), 3u);
    EXPECT_NE(copy->GetButton(0), segment->GetButton(0));
    EXPECT_EQ(copy->GetButton(0)->GetParent(), copy.get());
    EXPECT_EQ(copy->GetButton(0)->GetId(), segment->GetButton(0)->GetId());
    copy->GetButton(0)->GetGroup(0).dwXStart = 7;
    EXPECT_EQ(segment->GetButton(0)->GetGroup(0).dwXStart, 100u);
}

// ---- Removing and hiding -----------------------------------------------------------

TEST(ButtonSegment, RemovingAButtonRewiresItsNeighbours)
{
    // Four in a row, wrapping around: removing button 2 (index 1) makes
    // button 3's left neighbour button 2's left neighbour, then the indices
    // above 1 move down.
    auto segment = SegmentOf(4);
    segment->RemoveButton(1, false);
    ASSERT_EQ(segment->GetButtonCount(), 3u);
    const CButtonGroupEntry& first = segment->GetButton(0)->GetGroup(0);
    const CButtonGroupEntry& third = segment->GetButton(1)->GetGroup(0); // was button 3
    EXPECT_EQ(third.dwXStart, 300u);
    EXPECT_EQ(third.neighbours[BTNDIR_LEFT], 0);
    EXPECT_EQ(first.neighbours[BTNDIR_RIGHT], 1);
    EXPECT_EQ(segment->GetButton(2)->GetGroup(0).neighbours[BTNDIR_RIGHT], 0);
    EXPECT_EQ(segment->GetNumericCount(), 3u);
    EXPECT_TRUE(segment->IsModified());
    for (uint32_t i = 0; i < segment->GetButtonCount(); ++i)
        for (int d = 0; d < BTNDIR_COUNT; ++d)
            EXPECT_LT(segment->GetButton(i)->GetGroup(0).neighbours[d], 3);
}

TEST(ButtonSegment, RemovingKeepsTheForcedButtonsOnTheirButtons)
{
    PciPacket pci;
    RowOfButtons(pci, 4, 0);
    pci.SetFoslBtnn(2); // index 1, the one removed
    pci.SetFoacBtnn(4); // index 3, moves to 2
    CButtonSegment segment(0, pci, 0, nullptr);
    segment.RemoveButton(1, false);
    EXPECT_EQ(segment.GetForcedSelect(), -1);
    EXPECT_EQ(segment.GetForcedAction(), 2);
}

TEST(ButtonSegment, NeighboursPointingBackAtTheRemovedButtonTurnToTheOtherSide)
{
    // Two buttons, each the other's right and left: removing one leaves the
    // survivor pointing at itself.
    auto segment = SegmentOf(2);
    segment->RemoveButton(0, false);
    ASSERT_EQ(segment->GetButtonCount(), 1u);
    const CButtonGroupEntry& e = segment->GetButton(0)->GetGroup(0);
    for (int d = 0; d < BTNDIR_COUNT; ++d)
        EXPECT_EQ(e.neighbours[d], 0) << GetDirectionName(d);
}

TEST(ButtonSegment, HiddenButtonHandsItsPartToTheFirstVisibleOne)
{
    auto segment = SegmentOf(3);
    segment->RemoveButton(0, true);
    ASSERT_EQ(segment->GetButtonCount(), 3u);
    const CButtonGroupEntry& hidden = segment->GetButton(0)->GetGroup(0);
    EXPECT_EQ(hidden.dwXStart, 1u);
    EXPECT_EQ(hidden.dwYEnd, 2u);
    BYTE link[8];
    MakeLinkTopCellCommand(link, 2);
    EXPECT_EQ(memcmp(hidden.command, link, 8), 0);
    EXPECT_EQ(hidden.bAutoAction, 1);
    // Visible buttons keep their commands; their neighbours skip the hidden one.
    EXPECT_EQ(segment->GetButton(1)->GetGroup(0).command[3], 2);
    EXPECT_EQ(segment->GetButton(1)->GetGroup(0).neighbours[BTNDIR_LEFT], 2);
}

TEST(ButtonSegment, HidingTheOnlyVisibleButtonClearsEveryCommand)
{
    auto segment = SegmentOf(2);
    segment->GetButton(1)->GetGroup(0).dwXEnd = segment->GetButton(1)->GetGroup(0).dwXStart + 1; // too narrow
    segment->RemoveButton(0, true);
    for (uint32_t i = 0; i < 2; ++i)
    {
        const CButtonGroupEntry& e = segment->GetButton(i)->GetGroup(0);
        EXPECT_EQ(e.bAutoAction, 0);
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(e.command[k], 0);
    }
}

TEST(DvdButton, NewButtonAndGroupsAndDirections)
{
    CDvdButton button(nullptr);
    EXPECT_EQ(button.GetGroupCount(), 1u);
    EXPECT_EQ(button.GetGroup(0).dwXEnd, 1u);
    EXPECT_EQ(button.GetGroup(0).dwYEnd, 1u);
    EXPECT_EQ(button.GetGroup(0).neighbours[0], 0);
    EXPECT_FALSE(button.HasNavigation());
    EXPECT_EQ(button.FindGroup(0), 0);
    button.SetGroupCount(2);
    button.GetGroup(0).nDisplayType = 1;
    button.GetGroup(1).nDisplayType = 2;
    EXPECT_EQ(button.FindGroup(0), -1);
    EXPECT_EQ(button.FindGroup(2), 1);
    EXPECT_EQ(button.FindGroup(4), -1);
    EXPECT_STREQ(GetDirectionName(BTNDIR_LEFT), "left");
    EXPECT_STREQ(GetDirectionName(BTNDIR_DOWN), "down");
    EXPECT_STREQ(GetDirectionName(4), "err");
    EXPECT_STREQ(GetDirectionName(-1), "err");
}

// ---- Segments of an ILVU -------------------------------------------------------------

std::unique_ptr<CVobData> MenuSet(const std::vector<int>& buttonsPerVobu, int btnNs63At = -1)
{
    VobBuilder vob;
    for (size_t v = 0; v < buttonsPerVobu.size(); ++v)
    {
        DWORD start = DWORD(1000 + 3600 * v);
        int n = buttonsPerVobu[v];
        vob.Nav(1, 1, start,
                [&](PciPacket& pci)
                {
                    if (int(v) == btnNs63At)
                    {
                        pci.SetBtnNs(63);
                    }
                    else if (n > 0)
                    {
                        RowOfButtons(pci, n, 1000);
                        pci.SetHliStatus(v == 0 || buttonsPerVobu[v - 1] != n ? 1 : 2);
                    }
                    pci.SetVobuUopCtl(DWORD(1) << v);
                });
        vob.Pes(0xE0);
    }
    RecordingLog log;
    std::unique_ptr<CVobData> set(new CVobData(log, "menu", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr));
    EXPECT_TRUE(set->IsUsable()) << log.Dump();
    return set;
}

std::vector<std::pair<uint32_t, uint32_t>> Ranges(const CButtonSegmentArray& segments)
{
    std::vector<std::pair<uint32_t, uint32_t>> ranges;
    for (uint32_t i = 0; i < segments.GetSize(); ++i)
        ranges.push_back({segments[i]->GetFirstVobu(), segments[i]->GetVobuCount()});
    return ranges;
}

TEST(ParseButtonSegments, HighlightChangeIsFoundWithEveryStep)
{
    auto set = MenuSet({2, 2, 2, 2, 3, 3, 3, 3, 3, 3});
    CVobCell* cell = set->GetPristineBlocks().GetBlock(0)->GetIlvu(0);
    for (bool menu : {true, false})
    {
        RecordingLog log;
        CButtonSegmentArray segments;
        DWORD uops = 0;
        kxtest::RecordingProgress progress;
        ASSERT_TRUE(ParseButtonSegments(log, *cell, menu, g_nBovShortestDuration, &progress, segments, uops))
            << log.Dump();
        EXPECT_EQ(Ranges(segments), (std::vector<std::pair<uint32_t, uint32_t>>{{0, 4}, {4, 6}}));
        EXPECT_EQ(segments[0]->GetButtonCount(), 2u);
        EXPECT_EQ(segments[1]->GetButtonCount(), 3u);
        // The highlight's start relative to the VOBU where the segment begins.
        EXPECT_EQ(segments[1]->GetHliStartPtm(), 0u);
        EXPECT_EQ(segments[0]->GetParent(), cell);
        if (menu)
        {
            EXPECT_EQ(uops, 0x3FFu);
        }
    }
}

TEST(ParseButtonSegments, TitleWithoutHighlightsIsOneSegment)
{
    auto set = MenuSet(std::vector<int>(13, 0));
    CVobCell* cell = set->GetPristineBlocks().GetBlock(0)->GetIlvu(0);
    RecordingLog log;
    CButtonSegmentArray segments;
    DWORD uops = 0;
    ASSERT_TRUE(ParseButtonSegments(log, *cell, false, g_nBovShortestDuration, nullptr, segments, uops));
    EXPECT_EQ(Ranges(segments), (std::vector<std::pair<uint32_t, uint32_t>>{{0, 13}}));
    EXPECT_EQ(segments[0]->GetButtonCount(), 0u);
}

TEST(ParseButtonSegments, FirstVobuStartsASegmentWhateverItsHighlight)
{
    // A zero highlight that claims 63 buttons looks like the parse's start
    // state; VOBU 0 must still open the first segment.
    auto set = MenuSet({0, 0, 0}, 0);
    CVobCell* cell = set->GetPristineBlocks().GetBlock(0)->GetIlvu(0);
    RecordingLog log;
    CButtonSegmentArray segments;
    DWORD uops = 0;
    ASSERT_TRUE(ParseButtonSegments(log, *cell, true, g_nBovShortestDuration, nullptr, segments, uops)) << log.Dump();
    EXPECT_EQ(Ranges(segments), (std::vector<std::pair<uint32_t, uint32_t>>{{0, 1}, {1, 2}}));
    EXPECT_EQ(segments[0]->GetButtonCount(), 0u); // no groups lay out a table
}

TEST(ParseButtonSegments, CancelStopsTheParse)
{
    auto set = MenuSet({1, 1, 2, 2, 3});
    CVobCell* cell = set->GetPristineBlocks().GetBlock(0)->GetIlvu(0);
    RecordingLog log;
    CButtonSegmentArray segments;
    DWORD uops = 0;
    kxtest::RecordingProgress progress(0);
    EXPECT_FALSE(ParseButtonSegments(log, *cell, true, g_nBovShortestDuration, &progress, segments, uops));
    EXPECT_TRUE(log.IsCancelled());
}

// ---- The menus of the fixture against libdvdread -------------------------------------

struct MenuDomain
{
    const char* ifo;
    BYTE vts;
    const char* dom;
};

TEST(ButtonFixture, MenuButtonsEqualLibdvdreadsTable)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    const MenuDomain domains[] = {{"VIDEO_TS/VIDEO_TS.IFO", 0, "vmgm"}, {"VIDEO_TS/VTS_01_0.IFO", 1, "vtsm"}};
    std::vector<kxtest::IfoRecord> nav;
    bool dump = !kxtest::IfoDumpTool().empty();
    if (dump)
        nav = kxtest::IfoDump(dir, true);
    int buttonsSeen = 0;
    for (const MenuDomain& d : domains)
    {
        SCOPED_TRACE(d.dom);
        CCellAddressList cells;
        CVobuAddressList vobus;
        ASSERT_TRUE(kxtest::ReadDomainTables(kxtest::FixturePath("ntscmenu", d.ifo), true, cells, vobus));
        RecordingLog log;
        std::string folder = kxtest::FixturePath("ntscmenu", "VIDEO_TS") + kx::NativePathSeparator();
        CVobData set(log, folder.c_str(), d.vts, true, nullptr, cells, vobus, true, nullptr);
        ASSERT_TRUE(set.IsUsable()) << log.Dump();
        // hli and btn records by VOBU number (1-based in the map).
        std::map<long long, kxtest::IfoRecord> hli;
        std::map<long long, std::map<long long, kxtest::IfoRecord>> btn;
        std::vector<std::pair<std::string, std::string>> where = {{"dom", d.dom}, {"vts", std::to_string(d.vts)}};
        for (const auto& r : kxtest::Select(nav, "hli", where))
            hli[r.Num("n")] = r;
        for (const auto& r : kxtest::Select(nav, "btn", where))
            btn[r.Num("n")][r.Num("b")] = r;

        for (uint32_t b = 0; b < set.GetPristineBlocks().GetBlockCount(); ++b)
        {
            CVobCell* cell = set.GetPristineBlocks().GetBlock(b)->GetIlvu(0);
            CButtonSegmentArray segments;
            DWORD uops = 0;
            ASSERT_TRUE(ParseButtonSegments(log, *cell, true, g_nBovShortestDuration, nullptr, segments, uops))
                << log.Dump();
            ASSERT_GE(segments.GetSize(), 1u);
            EXPECT_EQ(segments[0]->GetFirstVobu(), 0u);
            // The set parsed the same segments into its pristine ILVU.
            ASSERT_EQ(cell->GetSegmentCount(), segments.GetSize());
            for (uint32_t k = 0; k < segments.GetSize(); ++k)
            {
                EXPECT_EQ(cell->GetSegment(k)->GetFirstVobu(), segments[k]->GetFirstVobu());
                EXPECT_EQ(cell->GetSegment(k)->GetVobuCount(), segments[k]->GetVobuCount());
                EXPECT_EQ(cell->GetSegment(k)->GetButtonCount(), segments[k]->GetButtonCount());
            }
            for (uint32_t k = 0; k < segments.GetSize(); ++k)
            {
                const CButtonSegment* segment = segments[k];
                for (uint32_t v = segment->GetFirstVobu(); v < segment->GetFirstVobu() + segment->GetVobuCount(); ++v)
                {
                    BYTE sector[2048];
                    ASSERT_TRUE(set.ReadSector(cell->GetSourceVobus()[int32_t(v)], sector));
                    PciPacket pci;
                    pci.ReadFromSector(sector);
                    if (v == segment->GetFirstVobu())
                    {
                        // The segment written back gives the VOBU's highlight bytes.
                        PciPacket written;
                        segment->WriteHli(written, pci.GetVobuSPtm(), false);
                        EXPECT_EQ(memcmp(written.bytes + 98, pci.bytes + 98, 694 - 2), 0) << "VOBU " << v;
                    }
                    if (!dump)
                        continue;
                    long long n = set.FindVobuIndex(cell->GetSourceVobus()[int32_t(v)]) + 1;
                    uint32_t expected = hli.count(n) ? uint32_t(hli[n].Num("buttons")) : 0;
                    ASSERT_EQ(segment->GetButtonCount(), expected) << "VOBU " << n;
                    for (uint32_t i = 0; i < segment->GetButtonCount(); ++i)
                    {
                        const kxtest::IfoRecord& r = btn[n][i + 1];
                        const CButtonGroupEntry& e = segment->GetButton(i)->GetGroup(0);
                        EXPECT_EQ(e.dwXStart, r.Num("x0"));
                        EXPECT_EQ(e.dwXEnd, r.Num("x1"));
                        EXPECT_EQ(e.dwYStart, r.Num("y0"));
                        EXPECT_EQ(e.dwYEnd, r.Num("y1"));
                        EXPECT_EQ(e.nColorTable, r.Num("color"));
                        EXPECT_EQ(e.bAutoAction, r.Num("auto"));
                        EXPECT_EQ(e.neighbours[BTNDIR_UP] + 1, r.Num("up"));
                        EXPECT_EQ(e.neighbours[BTNDIR_DOWN] + 1, r.Num("down"));
                        EXPECT_EQ(e.neighbours[BTNDIR_LEFT] + 1, r.Num("left"));
                        EXPECT_EQ(e.neighbours[BTNDIR_RIGHT] + 1, r.Num("right"));
                        char hex[17];
                        for (int c = 0; c < 8; ++c)
                            snprintf(hex + 2 * c, 3, "%02x", e.command[c]);
                        EXPECT_EQ(std::string(hex), r.Get("cmd"));
                        ++buttonsSeen;
                    }
                    if (expected > 0)
                    {
                        // Colours as libdvdread reads them: selection and action word of
                        // each of the three tables.
                        std::string colors;
                        for (int t = 0; t < 3; ++t)
                            for (int w = 0; w < 2; ++w)
                            {
                                char word[10];
                                snprintf(word, sizeof word, "%s%08x", colors.empty() ? "" : ",",
                                         GetBE32(segment->GetColorTable() + 8 * t + 4 * w));
                                colors += word;
                            }
                        EXPECT_EQ(colors, hli[n].Get("colors"));
                    }
                }
                // A segment begins where the highlight changes.
                if (dump && k > 0)
                {
                    long long first = set.FindVobuIndex(cell->GetSourceVobus()[int32_t(segment->GetFirstVobu())]) + 1;
                    EXPECT_TRUE(hli.count(first) == 0 || hli[first].Get("ss") != "0x0002") << "VOBU " << first;
                }
            }
        }
    }
    if (dump)
    {
        EXPECT_GT(buttonsSeen, 0);
    }
}

} // namespace
