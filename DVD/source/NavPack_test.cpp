#include "DVD/source/NavPack.h"

#include "DVD/source/IfoView.h"
#include "DVD/source/SectorMap.h"
#include "DVD/source/StreamSet.h"
#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace
{

// ---- Hand-built packets ------------------------------------------------------

// A DSI for a NAV pack at source sector 50, with addresses on both sides of
// a run 100-199 that the export leaves out.
DsiPacket DsiAheadOfRun()
{
    DsiPacket dsi;
    dsi.SetVobuEa(20);
    dsi.SetVobuRefEa(0, 5);
    dsi.SetSmlCategory(0x40);
    dsi.SetIlvuEa(180);
    dsi.SetNxtIlvuSa(250);
    dsi.SetNxtIlvuSz(40);
    dsi.SetSmlAgli(0, 120, 60);
    PutBE32(dsi.bytes + 180 + 6, AGLI_NONE);
    dsi.SetSmlAgli(2, -30, 10);
    for (int w = 0; w < SRI_WORD_COUNT; w++)
        dsi.SetSri(w, SRI_EMPTY);
    dsi.SetSri(SRI_NEXT_VIDEO, 0x80000000 | 200);
    dsi.SetSri(SRI_FWD_FIRST + 1, 0x40000000 | 120);
    dsi.SetSri(SRI_FWD_LAST, 0xC0000000 | 10);
    dsi.SetSri(SRI_NEXT, 10);
    dsi.SetSri(SRI_PREV, 12);
    dsi.SetSri(SRI_BWD_FIRST, 0x40000000 | 12);
    dsi.SetSri(SRI_PREV_VIDEO, SRI_EMPTY_VIDEO);
    dsi.SetAudioSync(0, 100);
    PutBE16(dsi.bytes + 402 + 2, 0x3FFF);
    dsi.SetAudioSync(2, -5);
    dsi.SetSubpictureSync(0, 160);
    PutBE32(dsi.bytes + 418 + 4, 0x7FFFFFFF);
    PutBE32(dsi.bytes + 418 + 8, 0x3FFFFFFF);
    dsi.SetSubpictureSync(3, -4);
    return dsi;
}

// A DSI for a NAV pack at source sector 250, pointing back over the run.
DsiPacket DsiBehindRun()
{
    DsiPacket dsi;
    dsi.SetVobuEa(30);
    dsi.SetSmlAgli(0, -220, 40); // sectors 30..69, before the run
    dsi.SetSmlAgli(1, -160, 80); // sectors 90..169, into the run
    for (int w = 0; w < SRI_WORD_COUNT; w++)
        dsi.SetSri(w, SRI_EMPTY);
    dsi.SetSri(SRI_NEXT_VIDEO, 0x80000000 | 5);
    dsi.SetSri(SRI_PREV_VIDEO, 0xC0000000 | 200);
    dsi.SetSri(SRI_PREV, 0x40000000 | 55);
    dsi.SetSri(SRI_BWD_LAST, 240);
    dsi.SetAudioSync(0, -160);
    dsi.SetSubpictureSync(0, -100);
    return dsi;
}

CSectorMap MapWithoutRun()
{
    CSectorMap map;
    map.AddRange({100, 199, 0});
    return map;
}

TEST(NavPack, UpdateDsiWithEmptyMapChangesNothing)
{
    CSectorMap empty;
    for (DsiPacket dsi : {DsiAheadOfRun(), DsiBehindRun()})
    {
        // Mapping rewrites the flags of the video words to bit 31 alone, the
        // only flag they carry in a well-formed pack.
        dsi.SetSri(SRI_PREV_VIDEO, dsi.GetSri(SRI_PREV_VIDEO) & ~0x40000000u);
        const DsiPacket before = dsi;
        empty.SetPosition(250);
        UpdateDsi(dsi, empty);
        for (size_t i = 0; i < DSI_SIZE; i++)
            ASSERT_EQ(before.bytes[i], dsi.bytes[i]) << "byte " << i;
    }
}

TEST(NavPack, UpdateDsiAheadOfRemovedRun)
{
    CSectorMap map = MapWithoutRun();
    map.SetPosition(50);
    DsiPacket dsi = DsiAheadOfRun();
    UpdateDsi(dsi, map);

    EXPECT_EQ(20u, dsi.GetVobuEa());
    EXPECT_EQ(5u, dsi.GetVobuRefEa(0));
    EXPECT_EQ(0u, dsi.GetVobuRefEa(1));
    EXPECT_EQ(80u, dsi.GetIlvuEa()); // 180 ahead, 100 of them gone
    EXPECT_EQ(150u, dsi.GetNxtIlvuSa());
    EXPECT_EQ(40u, dsi.GetNxtIlvuSz());

    // Sectors 170..229: only 200..229 and nothing before 170 in the run survive.
    EXPECT_EQ(49, dsi.GetSmlAgliAddress(0));
    EXPECT_EQ(31u, dsi.GetSmlAgliSize(0));
    EXPECT_EQ(AGLI_NONE, dsi.GetSmlAgliRaw(1));
    EXPECT_EQ(-30, dsi.GetSmlAgliAddress(2));
    EXPECT_EQ(10u, dsi.GetSmlAgliSize(2));

    EXPECT_EQ(0x80000000u | 100, dsi.GetSri(SRI_NEXT_VIDEO));
    EXPECT_EQ(SRI_EMPTY, dsi.GetSri(SRI_FWD_FIRST));
    EXPECT_EQ(0x40000000u | 49, dsi.GetSri(SRI_FWD_FIRST + 1));
    EXPECT_EQ(0xC0000000u | 10, dsi.GetSri(SRI_FWD_LAST));
    EXPECT_EQ(10u, dsi.GetSri(SRI_NEXT));
    EXPECT_EQ(12u, dsi.GetSri(SRI_PREV));
    EXPECT_EQ(0x40000000u | 12, dsi.GetSri(SRI_BWD_FIRST));
    EXPECT_EQ(SRI_EMPTY_VIDEO, dsi.GetSri(SRI_PREV_VIDEO));

    EXPECT_EQ(49, dsi.GetAudioSync(0));
    EXPECT_EQ(0x3FFF, dsi.GetAudioSyncRaw(1));
    EXPECT_EQ(0x8005, dsi.GetAudioSyncRaw(2));
    EXPECT_EQ(60, dsi.GetSubpictureSync(0));
    EXPECT_EQ(0x7FFFFFFFu, dsi.GetSubpictureSyncRaw(1));
    EXPECT_EQ(0x3FFFFFFFu, dsi.GetSubpictureSyncRaw(2));
    EXPECT_EQ(0x80000004u, dsi.GetSubpictureSyncRaw(3));
}

TEST(NavPack, UpdateDsiBehindRemovedRun)
{
    CSectorMap map = MapWithoutRun();
    map.SetPosition(250);
    DsiPacket dsi = DsiBehindRun();
    UpdateDsi(dsi, map);

    EXPECT_EQ(30u, dsi.GetVobuEa());
    EXPECT_EQ(-120, dsi.GetSmlAgliAddress(0));
    EXPECT_EQ(40u, dsi.GetSmlAgliSize(0));
    // Of sectors 90..169 only 90..99 are still there.
    EXPECT_EQ(-60, dsi.GetSmlAgliAddress(1));
    EXPECT_EQ(10u, dsi.GetSmlAgliSize(1));

    EXPECT_EQ(0x80000005u, dsi.GetSri(SRI_NEXT_VIDEO));
    EXPECT_EQ(0x80000000u | 100, dsi.GetSri(SRI_PREV_VIDEO)); // bit 30 cleared
    EXPECT_EQ(0x40000000u | 50, dsi.GetSri(SRI_PREV));
    EXPECT_EQ(140u, dsi.GetSri(SRI_BWD_LAST));
    EXPECT_EQ(0x8000 | 60, dsi.GetAudioSyncRaw(0));
    EXPECT_EQ(0x80000000u | 50, dsi.GetSubpictureSyncRaw(0));
}

TEST(NavPack, LastInterleavedUnitKeepsItsEndMarker)
{
    CSectorMap map = MapWithoutRun();
    map.SetPosition(50);
    DsiPacket dsi;
    dsi.SetNxtIlvuSa(AGLI_NONE);
    dsi.SetNxtIlvuSz(0);
    UpdateDsi(dsi, map);
    EXPECT_EQ(AGLI_NONE, dsi.GetNxtIlvuSa());
    EXPECT_EQ(0u, dsi.GetNxtIlvuSz());
}

TEST(NavPack, UpdateNsmlAgli)
{
    CSectorMap map = MapWithoutRun();
    map.SetPosition(50);
    PciPacket pci;
    pci.SetNsmlAgli(0, 300);
    pci.SetNsmlAgli(1, -20);
    PutBE32(pci.bytes + 60 + 12, AGLI_NONE);
    UpdateNsmlAgli(pci, map);
    EXPECT_EQ(200, pci.GetNsmlAgli(0));
    EXPECT_EQ(0x80000014u, pci.GetNsmlAgliRaw(1));
    EXPECT_EQ(0u, pci.GetNsmlAgliRaw(2));
    EXPECT_EQ(AGLI_NONE, pci.GetNsmlAgliRaw(3));
}

TEST(NavPack, FarthestReferences)
{
    DsiPacket dsi;
    for (int w = 0; w < SRI_WORD_COUNT; w++)
        dsi.SetSri(w, SRI_EMPTY);
    dsi.SetSri(SRI_NEXT_VIDEO, SRI_EMPTY_VIDEO);
    dsi.SetVobuEa(300);
    EXPECT_EQ(300u, GetFarthestForwardReference(dsi));
    dsi.SetSri(SRI_FWD_FIRST + 3, 0x40000000 | 900);
    EXPECT_EQ(900u, GetFarthestForwardReference(dsi));
    dsi.SetSmlAgli(4, 950, 100);
    EXPECT_EQ(1050u, GetFarthestForwardReference(dsi));
    dsi.SetSubpictureSync(7, 2000);
    EXPECT_EQ(2000u, GetFarthestForwardReference(dsi));
    dsi.SetAudioSync(1, 3000);
    EXPECT_EQ(3000u, GetFarthestForwardReference(dsi));
    // Backward entries and empty markers reach nothing ahead.
    DsiPacket back;
    back.SetVobuEa(3);
    back.SetSri(SRI_NEXT, SRI_EMPTY);
    back.SetSri(SRI_NEXT_VIDEO, SRI_EMPTY_VIDEO);
    back.SetSmlAgli(0, -500, 100);
    back.SetAudioSync(0, -700);
    PutBE16(back.bytes + 402 + 2, 0x3FFF);
    PutBE32(back.bytes + 418, 0x7FFFFFFF);
    EXPECT_EQ(3u, GetFarthestForwardReference(back));

    PciPacket pci;
    EXPECT_EQ(0, GetFarthestNsmlReference(pci));
    pci.SetNsmlAgli(0, -40);
    pci.SetNsmlAgli(1, -10);
    EXPECT_EQ(-10, GetFarthestNsmlReference(pci));
    pci.SetNsmlAgli(5, 77);
    PutBE32(pci.bytes + 60 + 32, AGLI_NONE);
    EXPECT_EQ(77, GetFarthestNsmlReference(pci));
}

TEST(NavPack, ClearSearchEntriesBeyondLimit)
{
    DsiPacket dsi;
    for (int w = 0; w < SRI_WORD_COUNT; w++)
        dsi.SetSri(w, 0x40000000 | (DWORD)(w + 1));
    dsi.SetSri(SRI_NEXT_VIDEO, 0x80000000 | 11);
    dsi.SetSri(SRI_PREV_VIDEO, 0x80000000 | 11);
    dsi.SetSri(SRI_NEXT, 10);
    dsi.SetSri(SRI_PREV, 10);

    DsiPacket fwd = dsi;
    ClearForwardSri(fwd, 10);
    EXPECT_EQ(SRI_EMPTY_VIDEO, fwd.GetSri(SRI_NEXT_VIDEO)); // 11 > 10
    EXPECT_EQ(10u, fwd.GetSri(SRI_NEXT));                   // 10 stays
    EXPECT_EQ(0x40000000u | 10, fwd.GetSri(9));
    EXPECT_EQ(SRI_EMPTY, fwd.GetSri(10));
    EXPECT_EQ(SRI_EMPTY, fwd.GetSri(SRI_FWD_LAST));
    for (int w = SRI_PREV; w <= SRI_PREV_VIDEO; w++)
        EXPECT_EQ(dsi.GetSri(w), fwd.GetSri(w)) << w;

    DsiPacket bwd = dsi;
    ClearBackwardSri(bwd, 10);
    EXPECT_EQ(SRI_EMPTY_VIDEO, bwd.GetSri(SRI_PREV_VIDEO));
    EXPECT_EQ(10u, bwd.GetSri(SRI_PREV));
    EXPECT_EQ(SRI_EMPTY, bwd.GetSri(SRI_BWD_FIRST)); // 23
    for (int w = SRI_NEXT_VIDEO; w <= SRI_NEXT; w++)
        EXPECT_EQ(dsi.GetSri(w), bwd.GetSri(w)) << w;

    ResetSri(dsi);
    for (int w = 0; w < SRI_WORD_COUNT; w++)
    {
        DWORD expected = SRI_EMPTY;
        if (w == SRI_NEXT_VIDEO || w == SRI_PREV_VIDEO)
            expected = SRI_EMPTY_VIDEO;
        else if (w == SRI_FWD_LAST || w == SRI_BWD_FIRST)
            expected = 0x40000000 | (DWORD)(w + 1);
        else if (w == SRI_NEXT || w == SRI_PREV)
            expected = 10;
        EXPECT_EQ(expected, dsi.GetSri(w)) << w;
    }
}

// A VOBU whose data end early keeps every end address inside them; one whose
// data are whole keeps its addresses as they are; one that took in the
// sectors of a VOBU whose NAV pack was lost ends where they end.
TEST(NavPack, ClampToDataKeepsEndsInsideWhatIsThere)
{
    struct Case
    {
        DWORD vobuLast, ilvuLast, dataEnd;
        bool changed;
        DWORD vobuEa, ref1, ref2, ref3, ilvuEa, nextStart;
        WORD nextSize;
    };
    const Case cases[] = {
        {60, 200, 500, false, 60, 10, 30, 60, 200, 300, 100}, // all there
        {40, 200, 500, true, 40, 10, 30, 0, 200, 300, 100},   // cut inside the VOBU
        {8, 200, 500, true, 8, 0, 0, 0, 200, 300, 100},       // no picture whole
        {40, 90, 350, true, 40, 10, 30, 0, 90, 300, 50},      // next ILVU cut short
        {40, 90, 300, true, 40, 10, 30, 0, 90, AGLI_NONE, 0}, // next ILVU gone
        {80, 200, 500, true, 80, 10, 30, 60, 200, 300, 100},  // took in orphaned sectors
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.vobuLast);
        SCOPED_TRACE(c.dataEnd);
        DsiPacket dsi;
        dsi.SetVobuEa(60);
        dsi.SetVobuRefEa(0, 10);
        dsi.SetVobuRefEa(1, 30);
        dsi.SetVobuRefEa(2, 60);
        dsi.SetIlvuEa(200);
        dsi.SetNxtIlvuSa(300);
        dsi.SetNxtIlvuSz(100);
        EXPECT_EQ(c.changed, ClampToData(dsi, c.vobuLast, c.ilvuLast, c.dataEnd));
        EXPECT_EQ(c.vobuEa, dsi.GetVobuEa());
        EXPECT_EQ(c.ref1, dsi.GetVobuRefEa(0));
        EXPECT_EQ(c.ref2, dsi.GetVobuRefEa(1));
        EXPECT_EQ(c.ref3, dsi.GetVobuRefEa(2));
        EXPECT_EQ(c.ilvuEa, dsi.GetIlvuEa());
        EXPECT_EQ(c.nextStart, dsi.GetNxtIlvuSa());
        EXPECT_EQ(c.nextSize, dsi.GetNxtIlvuSz());
    }
}

TEST(NavPack, ClearDeletedStreams)
{
    DsiPacket dsi;
    for (int i = 0; i < NAV_AUDIO_STREAMS; i++)
    {
        dsi.SetAudioSync(i, i + 1);
        PutBE32(dsi.bytes + 52 + 16 * i, 0x1000 + i);
        PutBE32(dsi.bytes + 52 + 16 * i + 12, 0x2000 + i);
    }
    for (int i = 0; i < NAV_SUBPICTURE_STREAMS; i++)
        dsi.SetSubpictureSync(i, i + 1);
    ClearDeletedAudio(dsi, 0x05);
    ClearDeletedSubpictures(dsi, 0x80000001);
    for (int i = 0; i < NAV_AUDIO_STREAMS; i++)
    {
        bool kept = i == 0 || i == 2;
        EXPECT_EQ(kept ? i + 1 : 0, dsi.GetAudioSync(i)) << i;
        EXPECT_EQ(kept ? 0x1000u + i : 0u, dsi.GetAudioGap(i, 0)) << i;
        EXPECT_EQ(kept ? 0x2000u + i : 0u, dsi.GetAudioGap(i, 3)) << i;
    }
    for (int i = 0; i < NAV_SUBPICTURE_STREAMS; i++)
        EXPECT_EQ(i == 0 || i == 31 ? i + 1 : 0, dsi.GetSubpictureSync(i)) << i;
}

TEST(NavPack, SeamlessAngles)
{
    DsiPacket dsi;
    EXPECT_FALSE(HasSeamlessAngleInfo(dsi));
    EXPECT_EQ(0, GetSmlAngleCount(dsi));
    dsi.SetSmlAgli(0, 10, 5);
    dsi.SetSmlAgli(2, -10, 5);
    EXPECT_TRUE(HasSeamlessAngleInfo(dsi));
    EXPECT_EQ(3, GetSmlAngleCount(dsi));
    ClearSmlAgli(dsi);
    EXPECT_FALSE(HasSeamlessAngleInfo(dsi));
}

TEST(NavPack, IndicesOutsideTheTablesTouchNothing)
{
    PciPacket pci;
    DsiPacket dsi;
    memset(pci.bytes, 0xA5, PCI_SIZE);
    memset(dsi.bytes, 0xA5, DSI_SIZE);
    const PciPacket pciBefore = pci;
    const DsiPacket dsiBefore = dsi;
    for (int i : {-1, 9, 1000})
    {
        pci.SetNsmlAgli(i, 5);
        dsi.SetSmlAgli(i, 5, 5);
        EXPECT_TRUE(pci.IsNsmlAgliEmpty(i));
        EXPECT_TRUE(dsi.IsSmlAgliEmpty(i));
    }
    for (int i : {-1, 42})
    {
        dsi.SetSri(i, 7);
        EXPECT_EQ(SRI_EMPTY, dsi.GetSri(i));
    }
    for (int i : {-1, 8})
    {
        dsi.SetAudioSync(i, 7);
        EXPECT_TRUE(dsi.IsAudioSyncEmpty(i));
    }
    for (int i : {-1, 32})
    {
        dsi.SetSubpictureSync(i, 7);
        EXPECT_TRUE(dsi.IsSubpictureSyncEmpty(i));
    }
    EXPECT_EQ(0, memcmp(pciBefore.bytes, pci.bytes, PCI_SIZE));
    EXPECT_EQ(0, memcmp(dsiBefore.bytes, dsi.bytes, DSI_SIZE));
}

// ---- Highlight buttons ---------------------------------------------------------

TEST(NavPack, ButtonTableFollowsGroupCount)
{
    struct Case
    {
        int groups;
        BYTE btnNs;
        int perGroup;
        int count;
    };
    const Case cases[] = {
        {0, 5, 0, 0}, {1, 40, 36, 36}, {2, 20, 18, 18}, {2, 7, 18, 7}, {3, 36, 12, 12},
    };
    for (const Case& c : cases)
    {
        PciPacket pci;
        pci.SetButtonGroupCount(c.groups);
        pci.SetBtnNs(c.btnNs);
        EXPECT_EQ(c.groups, pci.GetButtonGroupCount());
        EXPECT_EQ(c.perGroup, pci.GetButtonsPerGroup());
        EXPECT_EQ(c.count, pci.GetButtonCount());
        EXPECT_FALSE(pci.GetButtonInfo(c.groups, 1).IsValid());
        EXPECT_FALSE(pci.GetButtonInfo(0, 0).IsValid());
        EXPECT_FALSE(pci.GetButtonInfo(0, c.perGroup + 1).IsValid());
        if (c.groups)
        {
            // The last button of the last group is the last entry of the table.
            CButtonInfo last = pci.GetButtonInfo(c.groups - 1, c.perGroup);
            ASSERT_TRUE(last.IsValid());
            last.SetYEnd(0x3FF);
            EXPECT_EQ(0x03, pci.bytes[96 + 46 + 35 * 18 + 4]);
            EXPECT_EQ(0xFF, pci.bytes[96 + 46 + 35 * 18 + 5]);
        }
    }
}

TEST(NavPack, ButtonFieldsKeepTheirBits)
{
    PciPacket pci;
    pci.SetBtnMd(0x2000);                    // two groups
    CButtonInfo b = pci.GetButtonInfo(1, 3); // entry 18 + 2
    ASSERT_TRUE(b.IsValid());
    b.SetColor(2);
    b.SetXStart(0x2AB);
    b.SetXEnd(0x3FE);
    b.SetAutoAction(true);
    b.SetYStart(0x155);
    b.SetYEnd(0x201);
    b.SetNeighbour(BTN_UP, 1);
    b.SetNeighbour(BTN_DOWN, 36);
    b.SetNeighbour(BTN_LEFT, 0);
    b.SetNeighbour(BTN_RIGHT, 63);
    const BYTE cmd[8] = {0x30, 0x02, 0, 0, 0, 1, 0, 0};
    b.SetCommand(cmd);

    // BTN_COLN 10, X start 10 1010 1011, 00, X end 11 1111 1110,
    // auto action 01, Y start 01 0101 0101, 00, Y end 10 0000 0001.
    const BYTE expected[18] = {0xAA, 0xB3, 0xFE, 0x55, 0x52, 0x01, 1, 36, 0, 63, 0x30, 0x02, 0, 0, 0, 1, 0, 0};
    EXPECT_EQ(0, memcmp(expected, pci.bytes + 96 + 46 + 20 * 18, 18));

    const PciPacket& view = pci;
    const CButtonInfo r = view.GetButtonInfo(1, 3);
    EXPECT_EQ(2, r.GetColor());
    EXPECT_EQ(0x2AB, r.GetXStart());
    EXPECT_EQ(0x3FE, r.GetXEnd());
    EXPECT_TRUE(r.GetAutoAction());
    EXPECT_EQ(0x155, r.GetYStart());
    EXPECT_EQ(0x201, r.GetYEnd());
    EXPECT_EQ(36, r.GetNeighbour(BTN_DOWN));
    EXPECT_EQ(63, r.GetNeighbour(BTN_RIGHT));
    EXPECT_EQ(0, memcmp(cmd, r.GetCommand(), 8));

    pci.SetGroupDisplayType(0, 1);
    pci.SetGroupDisplayType(1, 6);
    pci.SetGroupDisplayType(2, 7);
    EXPECT_EQ(0x2167, pci.GetBtnMd());
    EXPECT_EQ(6, pci.GetGroupDisplayType(1));
    pci.SetHliStatus(3);
    EXPECT_EQ(3, pci.GetHliStatus());

    pci.ClearHli();
    for (size_t i = 96; i < 790; i++)
        ASSERT_EQ(0, pci.bytes[i]) << i;
    EXPECT_FALSE(pci.GetButtonInfo(0, 1).IsValid());
}

// ---- Packs ---------------------------------------------------------------------

// A pack header with stuffing, then one PES packet of the given stream.
std::vector<BYTE> MakePack(BYTE streamId, int subStream, BYTE headerDataLength = 5, int stuffing = 0)
{
    std::vector<BYTE> s(NAV_SECTOR_SIZE, 0xFF);
    const BYTE header[14] = {0, 0, 1, 0xBA, 0x44, 0, 4, 0, 4, 1, 0x01, 0x89, 0xC3, (BYTE)(0xF8 | stuffing)};
    memcpy(s.data(), header, 14);
    size_t pos = 14 + stuffing;
    s[pos] = 0;
    s[pos + 1] = 0;
    s[pos + 2] = 1;
    s[pos + 3] = streamId;
    PutBE16(s.data() + pos + 4, (WORD)(NAV_SECTOR_SIZE - pos - 6));
    s[pos + 6] = 0x81;
    s[pos + 7] = 0x80;
    s[pos + 8] = headerDataLength;
    if (subStream >= 0 && pos + 9 + headerDataLength < NAV_SECTOR_SIZE)
        s[pos + 9 + headerDataLength] = (BYTE)subStream;
    return s;
}

TEST(NavPack, IdentifiesElementaryStreams)
{
    struct Case
    {
        BYTE id;
        int sub;
        BYTE coding;
        BYTE stream;
        int subpicture;
    };
    const Case cases[] = {
        {0xC0, -1, 2, 0, -1},    {0xC7, -1, 2, 7, -1},     {0xD3, -1, 3, 3, -1},     {0xBD, 0x80, 0, 0, -1},
        {0xBD, 0x87, 0, 7, -1},  {0xBD, 0x8A, 6, 2, -1},   {0xBD, 0x91, 7, 1, -1},   {0xBD, 0xA5, 4, 5, -1},
        {0xBD, 0x20, 255, 0, 0}, {0xBD, 0x3F, 255, 0, 31}, {0xBD, 0x40, 255, 0, -1}, {0xE0, -1, 255, 0, -1},
        {0xBE, -1, 255, 0, -1},  {0xC8, -1, 255, 0, -1},
    };
    for (const Case& c : cases)
    {
        for (int stuffing : {0, 7})
        {
            std::vector<BYTE> s = MakePack(c.id, c.sub, 5, stuffing);
            BYTE stream = 99;
            EXPECT_EQ(c.coding, GetAudioStreamInfo(s.data(), stream)) << std::hex << (int)c.id << " " << c.sub;
            if (c.coding != 255)
            {
                EXPECT_EQ(c.stream, stream);
            }
            EXPECT_EQ(c.subpicture, GetSubpictureStream(s.data())) << std::hex << (int)c.id << " " << c.sub;
        }
    }
}

TEST(NavPack, SkipsSystemHeader)
{
    std::vector<BYTE> s(NAV_SECTOR_SIZE, 0);
    std::vector<BYTE> inner = MakePack(0xBD, 0x81);
    memcpy(s.data(), inner.data(), 14);
    const BYTE system[6] = {0, 0, 1, 0xBB, 0, 18};
    memcpy(s.data() + 14, system, 6);
    memcpy(s.data() + 38, inner.data() + 14, NAV_SECTOR_SIZE - 38);
    PutBE16(s.data() + 38 + 4, (WORD)(NAV_SECTOR_SIZE - 44));
    BYTE stream = 0;
    EXPECT_EQ(0, GetAudioStreamInfo(s.data(), stream));
    EXPECT_EQ(1, stream);
}

TEST(NavPack, LengthsPointingOutsideTheSectorFindNothing)
{
    BYTE stream = 0;
    // A system header of 2,000 bytes leaves the packet so near the end that
    // its sub-stream byte (9 + 255 bytes in) would lie past the sector.
    std::vector<BYTE> withSystem(NAV_SECTOR_SIZE, 0x80);
    memcpy(withSystem.data(), MakePack(0xBD, 0x80).data(), 14);
    const BYTE system[6] = {0, 0, 1, 0xBB, 0x07, 0xD0};
    memcpy(withSystem.data() + 14, system, 6);
    const BYTE pes[9] = {0, 0, 1, 0xBD, 0x00, 0x16, 0x81, 0x80, 0xFF};
    memcpy(withSystem.data() + 14 + 6 + 0x7D0, pes, 9);
    EXPECT_EQ(255, GetAudioStreamInfo(withSystem.data(), stream));
    EXPECT_EQ(-1, GetSubpictureStream(withSystem.data()));

    // A system header whose length runs past the sector.
    std::vector<BYTE> longSystem = MakePack(0xBD, 0x80);
    const BYTE huge[6] = {0, 0, 1, 0xBB, 0xFF, 0xFF};
    memcpy(longSystem.data() + 14, huge, 6);
    EXPECT_EQ(255, GetAudioStreamInfo(longSystem.data(), stream));

    // A packet whose header fills the packet: no payload, no sub-stream.
    std::vector<BYTE> noPayload = MakePack(0xBD, 0x80, 5);
    PutBE16(noPayload.data() + 14 + 4, 8);
    EXPECT_EQ(255, GetAudioStreamInfo(noPayload.data(), stream));

    // Not a pack at all.
    std::vector<BYTE> junk(NAV_SECTOR_SIZE, 0);
    EXPECT_EQ(255, GetAudioStreamInfo(junk.data(), stream));
    EXPECT_EQ(-1, GetSubpictureStream(junk.data()));
}

TEST(NavPack, PackClockAndPacketPositions)
{
    std::vector<BYTE> s(NAV_SECTOR_SIZE, 0);
    const uint64_t scr = 27000000ull * 3600 + 1234;
    EncodeScr(scr, GetPackScrField(s.data()));
    EXPECT_EQ(s.data() + 4, GetPackScrField(s.data()));
    EXPECT_EQ(scr, GetPackScr(s.data()));

    for (size_t i = 0; i < NAV_SECTOR_SIZE; i++)
        s[i] = (BYTE)(i * 7);
    PciPacket pci;
    pci.ReadFromSector(s.data());
    DsiPacket dsi;
    dsi.ReadFromSector(s.data());
    EXPECT_EQ(GetBE32(s.data() + 45), pci.GetNvPckLbn());
    EXPECT_EQ(GetBE32(s.data() + 45 + 12), pci.GetVobuSPtm());
    EXPECT_EQ(GetBE32(s.data() + 1031 + 8), dsi.GetVobuEa());
    EXPECT_EQ(GetBE32(s.data() + 1031 + 234 + 4 * 41), dsi.GetSri(SRI_PREV_VIDEO));

    std::vector<BYTE> out(NAV_SECTOR_SIZE, 0xEE);
    pci.WriteToSector(out.data());
    dsi.WriteToSector(out.data());
    EXPECT_EQ(0, memcmp(s.data() + 45, out.data() + 45, PCI_SIZE));
    EXPECT_EQ(0, memcmp(s.data() + 1031, out.data() + 1031, DSI_SIZE));
    EXPECT_EQ(0xEE, out[44]);
    EXPECT_EQ(0xEE, out[1030]);
    EXPECT_EQ(0xEE, out[1031 + DSI_SIZE]);
}

// ---- Navigation packs of the generated discs ------------------------------------

// The VOB set of one domain, its files laid end to end as sector addresses
// count them.
std::vector<BYTE> ReadVobSet(const std::string& fixture, const std::string& dom, int vts)
{
    std::vector<std::string> names;
    char name[32];
    if (dom == "vmgm")
        names.push_back("VIDEO_TS.VOB");
    else if (dom == "vtsm")
    {
        snprintf(name, sizeof(name), "VTS_%02d_0.VOB", vts);
        names.push_back(name);
    }
    else
        for (int k = 1; k <= 9; k++)
        {
            snprintf(name, sizeof(name), "VTS_%02d_%d.VOB", vts, k);
            names.push_back(name);
        }
    std::vector<BYTE> bytes;
    for (const std::string& n : names)
    {
        std::ifstream in(kxtest::FixturePath(fixture, "VIDEO_TS/" + n), std::ios::binary);
        if (!in)
            break;
        bytes.insert(bytes.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return bytes;
}

std::vector<DWORD> HexWords(const std::string& list)
{
    std::vector<DWORD> words;
    size_t pos = 0;
    while (pos < list.size())
    {
        size_t end = list.find(',', pos);
        if (end == std::string::npos)
            end = list.size();
        words.push_back((DWORD)std::stoul(list.substr(pos, end - pos), nullptr, 16));
        pos = end + 1;
    }
    return words;
}

DWORD TimeWord(const CDvdTime& t)
{
    return ((DWORD)t.hours << 24) | ((DWORD)t.minutes << 16) | ((DWORD)t.seconds << 8) | t.frames;
}

struct NavSector
{
    std::vector<BYTE> sector;
    PciPacket pci;
    DsiPacket dsi;
};

// Every navigation pack of a fixture with libdvdread's reading of it, keyed
// by "dom vts n".
class FixtureNavPacks : public ::testing::TestWithParam<const char*>
{
protected:
    static std::string Key(const kxtest::IfoRecord& r) { return r.Get("dom") + " " + r.Get("vts") + " " + r.Get("n"); }

    void Load(const std::string& dir)
    {
        records = kxtest::IfoDump(dir, true);
        std::map<std::string, std::vector<BYTE>> sets;
        for (const kxtest::IfoRecord& r : kxtest::Select(records, "nav"))
        {
            std::string set = r.Get("dom") + " " + r.Get("vts");
            if (!sets.count(set))
                sets[set] = ReadVobSet(GetParam(), r.Get("dom"), (int)r.Num("vts"));
            const std::vector<BYTE>& bytes = sets[set];
            size_t offset = (size_t)r.Num("sector") * NAV_SECTOR_SIZE;
            ASSERT_LE(offset + NAV_SECTOR_SIZE, bytes.size()) << Key(r);
            NavSector& nav = packs[Key(r)];
            nav.sector.assign(bytes.begin() + offset, bytes.begin() + offset + NAV_SECTOR_SIZE);
            nav.pci.ReadFromSector(nav.sector.data());
            nav.dsi.ReadFromSector(nav.sector.data());
        }
    }

    std::vector<kxtest::IfoRecord> records;
    std::map<std::string, NavSector> packs;
};

TEST_P(FixtureNavPacks, FieldsMatchLibdvdread)
{
    KX_REQUIRE_FIXTURE(dir, GetParam());
    KX_REQUIRE_IFODUMP();
    Load(dir);
    ASSERT_FALSE(packs.empty());
    EXPECT_TRUE(kxtest::Select(records, "navbad").empty());

    for (const kxtest::IfoRecord& r : kxtest::Select(records, "nav"))
    {
        SCOPED_TRACE(Key(r));
        const NavSector& nav = packs[Key(r)];
        const DsiPacket& dsi = nav.dsi;
        const PciPacket& pci = nav.pci;
        EXPECT_EQ(r.Num("lbn"), dsi.GetNvPckLbn());
        EXPECT_EQ(r.Num("scr"), dsi.GetNvPckScr());
        EXPECT_EQ(r.Num("vobu_ea"), dsi.GetVobuEa());
        EXPECT_EQ(r.Num("ref1"), dsi.GetVobuRefEa(0));
        EXPECT_EQ(r.Num("ref2"), dsi.GetVobuRefEa(1));
        EXPECT_EQ(r.Num("ref3"), dsi.GetVobuRefEa(2));
        EXPECT_EQ(r.Num("vob"), dsi.GetVobuVobIdn());
        EXPECT_EQ(r.Num("cell"), dsi.GetVobuCIdn());
        EXPECT_EQ(r.Num("c_eltm"), TimeWord(dsi.GetCEltm()));
        EXPECT_EQ(r.Num("pci_lbn"), pci.GetNvPckLbn());
        EXPECT_EQ(r.Num("vobu_cat"), pci.GetVobuCat());
        EXPECT_EQ(r.Num("uops"), pci.GetVobuUopCtl());
        EXPECT_EQ(r.Num("s_ptm"), pci.GetVobuSPtm());
        EXPECT_EQ(r.Num("e_ptm"), pci.GetVobuEPtm());
        EXPECT_EQ(r.Num("se_e_ptm"), pci.GetVobuSeEPtm());
        EXPECT_EQ(r.Num("e_eltm"), TimeWord(pci.GetCEltm()));
        EXPECT_EQ(r.Num("sml_cat") >> 8, dsi.GetSmlCategory());
        EXPECT_EQ(r.Num("ilvu_ea"), dsi.GetIlvuEa());
        EXPECT_EQ(r.Num("ilvu_sa"), dsi.GetNxtIlvuSa());
        EXPECT_EQ(r.Num("ilvu_size"), dsi.GetNxtIlvuSz());
        // The pack clock of the header and the DSI's copy of its base agree.
        EXPECT_EQ((uint64_t)dsi.GetNvPckScr(), GetPackScr(nav.sector.data()) / 300 & 0xFFFFFFFF);
    }

    for (const kxtest::IfoRecord& r : kxtest::Select(records, "navsri"))
    {
        SCOPED_TRACE(Key(r));
        const DsiPacket& dsi = packs[Key(r)].dsi;
        EXPECT_EQ(r.Num("next_video"), dsi.GetSri(SRI_NEXT_VIDEO));
        EXPECT_EQ(r.Num("next_vobu"), dsi.GetSri(SRI_NEXT));
        EXPECT_EQ(r.Num("prev_vobu"), dsi.GetSri(SRI_PREV));
        EXPECT_EQ(r.Num("prev_video"), dsi.GetSri(SRI_PREV_VIDEO));
        std::vector<DWORD> fwd = HexWords(r.Get("fwd"));
        std::vector<DWORD> bwd = HexWords(r.Get("bwd"));
        ASSERT_EQ(19u, fwd.size());
        ASSERT_EQ(19u, bwd.size());
        for (int i = 0; i < 19; i++)
        {
            EXPECT_EQ(fwd[i], dsi.GetSri(SRI_FWD_FIRST + i)) << i;
            EXPECT_EQ(bwd[i], dsi.GetSri(SRI_BWD_FIRST + i)) << i;
        }
    }

    for (const kxtest::IfoRecord& r : kxtest::Select(records, "navsync"))
    {
        SCOPED_TRACE(Key(r));
        const DsiPacket& dsi = packs[Key(r)].dsi;
        std::vector<DWORD> audio = HexWords(r.Get("audio"));
        std::vector<DWORD> subp = HexWords(r.Get("subp"));
        ASSERT_EQ((size_t)NAV_AUDIO_STREAMS, audio.size());
        ASSERT_EQ((size_t)NAV_SUBPICTURE_STREAMS, subp.size());
        for (int i = 0; i < NAV_AUDIO_STREAMS; i++)
            EXPECT_EQ(audio[i], dsi.GetAudioSyncRaw(i)) << i;
        for (int i = 0; i < NAV_SUBPICTURE_STREAMS; i++)
            EXPECT_EQ(subp[i], dsi.GetSubpictureSyncRaw(i)) << i;
    }

    for (const kxtest::IfoRecord& r : kxtest::Select(records, "hli"))
    {
        SCOPED_TRACE(Key(r));
        const PciPacket& pci = packs[Key(r)].pci;
        EXPECT_EQ(r.Num("ss") & 3, pci.GetHliStatus());
        EXPECT_EQ(r.Num("s_ptm"), pci.GetHliSPtm());
        EXPECT_EQ(r.Num("e_ptm"), pci.GetHliEPtm());
        EXPECT_EQ(r.Num("btn_se_e_ptm"), pci.GetBtnSlEPtm());
        EXPECT_EQ(r.Num("groups"), pci.GetButtonGroupCount());
        std::vector<DWORD> dsp = HexWords(r.Get("dsp"));
        ASSERT_EQ(3u, dsp.size());
        for (int g = 0; g < 3; g++)
            EXPECT_EQ(dsp[g], pci.GetGroupDisplayType(g)) << g;
        EXPECT_EQ(r.Num("ofn"), pci.GetBtnOfn());
        EXPECT_EQ(r.Num("buttons"), pci.GetBtnNs());
        EXPECT_EQ(r.Num("numeric"), pci.GetNslBtnNs());
        EXPECT_EQ(r.Num("forced_select"), pci.GetFoslBtnn());
        EXPECT_EQ(r.Num("forced_action"), pci.GetFoacBtnn());
        std::vector<DWORD> colors = HexWords(r.Get("colors"));
        ASSERT_EQ(6u, colors.size());
        for (int i = 0; i < 6; i++)
            EXPECT_EQ(colors[i], GetBE32(pci.GetColorTable(i / 2) + 4 * (i % 2))) << i;
    }

    int buttons = 0;
    for (const kxtest::IfoRecord& r : kxtest::Select(records, "btn"))
    {
        SCOPED_TRACE(Key(r) + " button " + r.Get("b"));
        const PciPacket& pci = packs[Key(r)].pci;
        // libdvdread lists the table flat; find the entry through its group.
        int index = (int)r.Num("b") - 1;
        int perGroup = pci.GetButtonsPerGroup();
        ASSERT_GT(perGroup, 0);
        const CButtonInfo b = pci.GetButtonInfo(index / perGroup, index % perGroup + 1);
        ASSERT_TRUE(b.IsValid());
        EXPECT_EQ(r.Num("color"), b.GetColor());
        EXPECT_EQ(r.Num("x0"), b.GetXStart());
        EXPECT_EQ(r.Num("x1"), b.GetXEnd());
        EXPECT_EQ(r.Num("y0"), b.GetYStart());
        EXPECT_EQ(r.Num("y1"), b.GetYEnd());
        EXPECT_EQ(r.Num("auto") != 0, b.GetAutoAction());
        EXPECT_EQ(r.Num("up"), b.GetNeighbour(BTN_UP));
        EXPECT_EQ(r.Num("down"), b.GetNeighbour(BTN_DOWN));
        EXPECT_EQ(r.Num("left"), b.GetNeighbour(BTN_LEFT));
        EXPECT_EQ(r.Num("right"), b.GetNeighbour(BTN_RIGHT));
        char hex[17];
        for (int i = 0; i < 8; i++)
            snprintf(hex + 2 * i, 3, "%02x", b.GetCommand()[i]);
        EXPECT_EQ(r.Get("cmd"), std::string(hex));
        buttons++;
    }
    if (std::string(GetParam()) == "ntscmenu")
    {
        EXPECT_GT(buttons, 0);
    }
}

TEST_P(FixtureNavPacks, EmptyMapLeavesEveryPackAlone)
{
    KX_REQUIRE_FIXTURE(dir, GetParam());
    KX_REQUIRE_IFODUMP();
    Load(dir);
    ASSERT_FALSE(packs.empty());
    for (auto& entry : packs)
    {
        CSectorMap empty;
        empty.SetPosition(entry.second.dsi.GetNvPckLbn());
        DsiPacket dsi = entry.second.dsi;
        PciPacket pci = entry.second.pci;
        UpdateDsi(dsi, empty);
        UpdateNsmlAgli(pci, empty);
        EXPECT_EQ(0, memcmp(entry.second.dsi.bytes, dsi.bytes, DSI_SIZE)) << entry.first;
        EXPECT_EQ(0, memcmp(entry.second.pci.bytes, pci.bytes, PCI_SIZE)) << entry.first;
        EXPECT_LE(GetFarthestForwardReference(dsi), 0x3FFFFFFFu) << entry.first;
    }
}

// The audio packets of a title domain carry as many streams of each coding as
// its IFO declares (stream numbers count within a coding; the program chains
// map the declared streams onto them), and sub-picture packets come only where
// sub-pictures are declared.
TEST(FixtureStreams, PacketsMatchDeclaredStreams)
{
    int checked = 0;
    for (const char* fixture : {"pal1", "ntscmenu", "twovts"})
    {
        const std::string dir = kxtest::FixtureDir(fixture);
        if (dir.empty())
            GTEST_SKIP() << kxtest::MissingFixtureMessage(fixture);
        for (int vts = 1;; vts++)
        {
            char name[32];
            snprintf(name, sizeof(name), "VIDEO_TS/VTS_%02d_0.IFO", vts);
            std::ifstream ifo(kxtest::FixturePath(fixture, name), std::ios::binary);
            if (!ifo)
                break;
            SCOPED_TRACE(std::string(fixture) + " " + name);
            std::vector<BYTE> header(2048);
            ifo.read(reinterpret_cast<char*>(header.data()), (std::streamsize)header.size());
            CStreamSet streams(nullptr, false);
            ASSERT_TRUE(streams.ReadIfo(header.data() + 0x200, false));
            std::map<int, int> declared; // coding -> streams
            for (int i = 0; i < streams.GetAudioCount(); i++)
                declared[streams.GetAudio(i)->GetCodingMode()]++;

            std::vector<BYTE> vob = ReadVobSet(fixture, "vts", vts);
            ASSERT_FALSE(vob.empty());
            std::map<int, std::map<int, int>> found; // coding -> stream -> packets
            int subpicturePackets = 0;
            for (size_t pos = 0; pos + NAV_SECTOR_SIZE <= vob.size(); pos += NAV_SECTOR_SIZE)
            {
                const BYTE* sector = vob.data() + pos;
                BYTE stream = 0;
                BYTE coding = GetAudioStreamInfo(sector, stream);
                if (coding != 255)
                    found[coding][stream]++;
                if (GetSubpictureStream(sector) >= 0)
                {
                    EXPECT_EQ(255, coding);
                    subpicturePackets++;
                }
            }
            std::map<int, int> foundStreams;
            for (const auto& coding : found)
            {
                foundStreams[coding.first] = (int)coding.second.size();
                // Numbered from 0 within the coding.
                EXPECT_EQ((int)coding.second.size() - 1, coding.second.rbegin()->first) << coding.first;
            }
            EXPECT_EQ(declared, foundStreams);
            EXPECT_EQ(streams.GetSubpictureCount() > 0, subpicturePackets > 0);
            checked++;
        }
    }
    EXPECT_GE(checked, 3);
}

INSTANTIATE_TEST_SUITE_P(Discs, FixtureNavPacks, ::testing::Values("pal1", "ntscmenu", "twovts", "cmdtable"));

} // namespace
