#include "DVD/source/VobCell.h"

#include "DVD/source/EditTestSupport.h"
#include "DVD/source/StockCells.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

using kxtest::EditCell;
using kxtest::EditSet;
using kxtest::kVobuSectors;
using kxtest::kVobuTicks;

const DWORD kNoTime = 0xFFFFFFFF;

std::string Pieces(const CVobCell& ilvu)
{
    std::string text;
    for (uint32_t p = 0; p < ilvu.GetSourcePieces().GetSize(); ++p)
        text += std::to_string(ilvu.GetSourcePieces()[p]->m_dwFirstSector) + "-" +
                std::to_string(ilvu.GetSourcePieces()[p]->m_dwLastSector) + ",";
    return text;
}

// Three highlights over a cell of 12 VOBUs: VOBUs 0-3 with 2 buttons, 4-7
// with 6 and 8-11 with 4. Times are absolute in the packs; the segments
// hold them relative to their first VOBU: the middle one starts its
// highlight 9000 ticks in and ends it 16000 ticks in (beyond its 14400
// ticks), the last one never ends it.
void ThreeHighlights(size_t, uint32_t v, PciPacket& pci)
{
    const uint32_t segment = v / 4;
    const DWORD base = segment * 4 * kVobuTicks;
    const BYTE buttons[3] = {2, 6, 4};
    pci.SetHliStatus(1);
    pci.SetButtonGroupCount(1);
    pci.SetBtnNs(buttons[segment]);
    pci.SetHliSPtm(segment == 1 ? base + 9000 : base);
    pci.SetHliEPtm(segment == 1 ? base + 16000 : segment == 2 ? kNoTime : base + 4 * kVobuTicks);
}

struct Highlighted : ::testing::Test
{
    EditSet set{{{1, 1, 12}}, ThreeHighlights};
    std::unique_ptr<CVobCell> ilvu;

    void SetUp() override
    {
        ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
        ilvu = set.Copy(0);
        ASSERT_EQ(ilvu->GetSegmentCount(), 3u);
        ASSERT_EQ(ilvu->GetSegment(1)->GetHliStartPtm(), 9000u);
        ASSERT_EQ(ilvu->GetSegment(1)->GetHliEndPtm(), 16000u);
        ilvu->ClearModified();
    }
    std::string Segments() const
    {
        std::string text;
        for (uint32_t s = 0; s < ilvu->GetSegmentCount(); ++s)
        {
            const CButtonSegment* seg = ilvu->GetSegment(s);
            text += std::to_string(seg->GetFirstVobu()) + "+" + std::to_string(seg->GetVobuCount()) + ":" +
                    std::to_string(seg->GetButtonCount()) + "b " +
                    std::to_string(int64_t(int32_t(seg->GetHliStartPtm()))) + ".." +
                    std::to_string(int64_t(int32_t(seg->GetHliEndPtm()))) + ";";
        }
        return text;
    }
};

// The guards of the cuts: nothing at the ends, and no cut that would keep
// no VOBU at all.
TEST(CellEdit, CutsOutsideTheCellChangeNothing)
{
    EditSet set({{1, 1, 12}});
    ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
    struct Case
    {
        const char* name;
        bool (*cut)(CVobCell&);
    };
    const Case cases[] = {
        {"cut from the last VOBU", [](CVobCell& c) { return c.CutFrom(11); }},
        {"cut from beyond", [](CVobCell& c) { return c.CutFrom(0xFFFFFFFF); }},
        {"cut to VOBU 0", [](CVobCell& c) { return c.CutTo(0); }},
        {"cut to the VOBU count", [](CVobCell& c) { return c.CutTo(12); }},
        {"cut before VOBU 0", [](CVobCell& c) { return c.CutBefore(0); }},
        {"truncate to nothing", [](CVobCell& c) { return c.TruncateAt(0); }},
        {"truncate to all", [](CVobCell& c) { return c.TruncateAt(12); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::unique_ptr<CVobCell> ilvu = set.Copy(0);
        ilvu->ClearModified();
        EXPECT_FALSE(c.cut(*ilvu));
        EXPECT_EQ(ilvu->GetVobuCount(), 12u);
        EXPECT_EQ(Pieces(*ilvu), "0-35,");
        EXPECT_FALSE(ilvu->IsModified());
    }
}

// Cut from VOBU 4: VOBUs 0-4 stay, the sectors from VOBU 5's start on are
// counted as cut at the end, and the last pack is that of VOBU 4.
TEST(CellEdit, CutFromKeepsTheVobusUpToTheCut)
{
    EditSet set({{1, 1, 12}});
    ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
    std::unique_ptr<CVobCell> ilvu = set.Copy(0);
    EXPECT_EQ(ilvu->GetLastPci().GetVobuEPtm(), 12 * kVobuTicks);
    ilvu->SetThumbnailVobu(4);
    ASSERT_TRUE(ilvu->CutFrom(4));
    EXPECT_EQ(ilvu->GetVobuCount(), 5u);
    EXPECT_EQ(Pieces(*ilvu), "0-14,");
    EXPECT_EQ(ilvu->GetSectorsCutAtEnd(), 21u);
    EXPECT_EQ(ilvu->GetSectorsCutAtStart(), 0u);
    EXPECT_EQ(ilvu->GetThumbnailVobu(), 4u);
    EXPECT_EQ(ilvu->GetLastPci().GetVobuEPtm(), 5 * kVobuTicks);
    EXPECT_TRUE(ilvu->IsModified());
}

// A thumbnail that names the first VOBU cut away goes back to VOBU 0, so
// that it always stays inside the cell.
TEST(CellEdit, ThumbnailStaysInsideTheCell)
{
    EditSet set({{1, 1, 12}});
    ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
    struct Case
    {
        bool cutTo;
        uint32_t at;
        WORD thumbnail;
        WORD expected;
    };
    const Case cases[] = {
        {false, 5, 5, 0}, {false, 5, 4, 4}, {false, 5, 11, 0}, // cut before VOBU 5
        {true, 3, 7, 4},  {true, 3, 3, 0},  {true, 3, 2, 0},   // cut to VOBU 3
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.at) + "/" + std::to_string(c.thumbnail));
        std::unique_ptr<CVobCell> ilvu = set.Copy(0);
        ilvu->SetThumbnailVobu(c.thumbnail);
        ASSERT_TRUE(c.cutTo ? ilvu->CutTo(c.at) : ilvu->CutBefore(c.at));
        EXPECT_EQ(ilvu->GetThumbnailVobu(), c.expected);
        EXPECT_LT(ilvu->GetThumbnailVobu(), ilvu->GetVobuCount());
    }
}

// Cut to VOBU 3, then from VOBU 5 of what is left: each end counts its own
// sectors, and the first pack is read anew.
TEST(CellEdit, CutAtBothEndsCountsEachEnd)
{
    EditSet set({{1, 1, 12}});
    ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
    std::unique_ptr<CVobCell> ilvu = set.Copy(0);
    EXPECT_EQ(ilvu->GetFirstPci().GetVobuSPtm(), 0u);
    ASSERT_TRUE(ilvu->CutTo(3));
    EXPECT_EQ(ilvu->GetVobuCount(), 9u);
    EXPECT_EQ(ilvu->GetSourceVobus()[0], 3 * kVobuSectors);
    EXPECT_EQ(Pieces(*ilvu), "9-35,");
    EXPECT_EQ(ilvu->GetSectorsCutAtStart(), 9u);
    EXPECT_EQ(ilvu->GetFirstPci().GetVobuSPtm(), 3 * kVobuTicks);
    ASSERT_TRUE(ilvu->CutFrom(5));
    EXPECT_EQ(ilvu->GetVobuCount(), 6u);
    EXPECT_EQ(Pieces(*ilvu), "9-26,");
    EXPECT_EQ(ilvu->GetSectorsCutAtStart(), 9u);
    EXPECT_EQ(ilvu->GetSectorsCutAtEnd(), 9u);
    EXPECT_EQ(ilvu->GetSectorCount(), 18u);
}

// A cell of two pieces with a gap between them (an angle's interleaved
// pieces): a cut that starts the next piece drops that whole piece, and a
// cut before a piece drops the pieces before it.
TEST(CellEdit, CutsDropWholePiecesOfAnInterleavedCell)
{
    // Angle 1 is vob 1, angle 2 vob 2, each in two pieces of two VOBUs.
    EditSet set({{1, 1, 2}, {2, 1, 2}, {1, 1, 2}, {2, 1, 2}});
    ASSERT_TRUE(set.set->IsUsable()) << set.log.Dump();
    ASSERT_EQ(set.Blocks().GetBlockCount(), 2u);
    const uint32_t angle1 = set.Ilvu(0).GetVobId() == 1 ? 0 : 1;
    ASSERT_EQ(Pieces(set.Ilvu(angle1)), "0-5,12-17,");
    std::unique_ptr<CVobCell> front = set.Copy(angle1);
    ASSERT_TRUE(front->CutBefore(2));
    EXPECT_EQ(Pieces(*front), "0-5,");
    EXPECT_EQ(front->GetSectorsCutAtEnd(), 6u);
    std::unique_ptr<CVobCell> back = set.Copy(angle1);
    ASSERT_TRUE(back->CutTo(3));
    EXPECT_EQ(Pieces(*back), "15-17,");
    EXPECT_EQ(back->GetSectorsCutAtStart(), 9u);
}

// Cutting from VOBU 5 ends inside the middle segment: it keeps VOBUs 4-5,
// its highlight start (9000) is clamped to the 7200 ticks kept, its end
// (16000, beyond the 14400 of the segment) loses the 7200 ticks removed;
// the last segment goes.
TEST_F(Highlighted, TruncateInsideASegmentClampsItsTimes)
{
    ASSERT_TRUE(ilvu->CutFrom(5));
    EXPECT_EQ(Segments(), "0+4:2b 0..14400;4+2:6b 7200..8800;");
    EXPECT_TRUE(ilvu->GetSegment(1)->IsModified());
    EXPECT_FALSE(ilvu->GetSegment(0)->IsModified());
}

// Cut to VOBU 6: the middle segment now starts there and its times lose
// the 7200 ticks of VOBUs 4-5; the first segment goes, the last moves
// down, and a highlight without end keeps none.
TEST_F(Highlighted, CutToShiftsTheSegmentThatHoldsTheCut)
{
    ASSERT_TRUE(ilvu->CutTo(6));
    EXPECT_EQ(Segments(), "0+2:6b 1800..8800;2+4:4b 0..-1;");
    EXPECT_EQ(ilvu->GetSegment(1)->GetHliEndPtm(), kNoTime);
    ASSERT_TRUE(ilvu->CutTo(1));
    // Times smaller than the cut become 0.
    EXPECT_EQ(Segments(), "0+1:6b 0..5200;1+4:4b 0..-1;");
}

// The still keeps the segment of 6 buttons over VOBUs 4-7 and stretches its
// highlight over the whole remaining cell; a second conversion is refused.
TEST_F(Highlighted, StillKeepsTheSegmentWithTheMostButtons)
{
    ilvu->SetThumbnailVobu(2);
    ASSERT_TRUE(ilvu->ConvertToStill());
    ASSERT_TRUE(ilvu->HasStillSource());
    EXPECT_GT(ilvu->GetStillSource()->GetPictureSectorCount(), 0u);
    EXPECT_EQ(ilvu->GetStillSource()->GetNavSector(), 6 * kVobuSectors); // VOBU 4 + 4 / 2
    EXPECT_EQ(ilvu->GetVobuCount(), 4u);
    EXPECT_EQ(ilvu->GetSourceVobus()[0], 4 * kVobuSectors);
    EXPECT_EQ(Segments(), "0+4:6b 0..14400;");
    EXPECT_EQ(ilvu->GetSegment(0)->GetSelectEndPtm(), 14400u);
    EXPECT_EQ(ilvu->GetThumbnailVobu(), 0u);
    EXPECT_TRUE(ilvu->IsModified());

    ilvu->ClearModified();
    EXPECT_FALSE(ilvu->ConvertToStill());
    EXPECT_EQ(ilvu->GetVobuCount(), 4u);
    EXPECT_FALSE(ilvu->IsModified());
}

// A picture of another frame rate, a stock cell and a VOBU without a
// picture are refused and change nothing.
TEST(CellEdit, StillRefusesWhatItCannotShow)
{
    ReleaseStockCells();
    ASSERT_TRUE(CreateStockCells());
    EditSet pal({{1, 1, 3}});
    EditSet ntsc({{1, 1, 3}}, nullptr, DVDTIME_RATE_30);
    ASSERT_TRUE(pal.set->IsUsable()) << pal.log.Dump();
    ASSERT_TRUE(ntsc.set->IsUsable()) << ntsc.log.Dump();
    std::unique_ptr<CVobCell> ilvu = pal.Copy(0);
    ilvu->ClearModified();
    EXPECT_FALSE(ilvu->ConvertToStillAt(ntsc.Ilvu(0), 1));
    EXPECT_FALSE(ilvu->ConvertToStillAt(*ilvu, 3)); // no such VOBU
    EXPECT_FALSE(ilvu->HasStillSource());
    EXPECT_FALSE(ilvu->IsModified());
    std::unique_ptr<CVobCell> stock(CVobCell::CopyConstruct(*GetStockCell(STOCK_EMPTY_PAL), nullptr));
    EXPECT_FALSE(stock->ConvertToStillAt(pal.Ilvu(0), 0));
    // Another ILVU of the same rate may give the picture.
    EXPECT_TRUE(ilvu->ConvertToStillAt(pal.Ilvu(0), 1));
    EXPECT_EQ(ilvu->GetStillSource()->GetNavSector(), kVobuSectors);
}

} // namespace
