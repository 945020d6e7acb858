#include "DVD/source/CellAddress.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace
{

typedef std::tuple<int, int, DWORD, DWORD> Entry; // vob id, cell id, first, last

void Fill(CCellAddressList& list, const std::vector<Entry>& entries)
{
    for (const Entry& e : entries)
    {
        CCellAddress* p = new CCellAddress;
        p->m_wVobId = WORD(std::get<0>(e));
        p->m_nCellId = BYTE(std::get<1>(e));
        p->m_dwFirstSector = std::get<2>(e);
        p->m_dwLastSector = std::get<3>(e);
        list.Add(p);
    }
}

std::vector<Entry> Entries(const CCellAddressList& list)
{
    std::vector<Entry> out;
    for (uint32_t i = 0; i < list.GetSize(); ++i)
        out.emplace_back(list[i]->m_wVobId, list[i]->m_nCellId, list[i]->m_dwFirstSector, list[i]->m_dwLastSector);
    return out;
}

std::vector<BYTE> CellTable(DWORD dwEnd, const std::vector<Entry>& entries, size_t nExtra = 0)
{
    std::vector<BYTE> bytes(8 + 12 * entries.size() + nExtra);
    if (!entries.empty())
        PutBE16(&bytes[0], WORD(std::get<0>(entries.back())));
    PutBE32(&bytes[4], dwEnd);
    for (size_t i = 0; i < entries.size(); ++i)
    {
        BYTE* p = &bytes[8 + 12 * i];
        PutBE16(p, WORD(std::get<0>(entries[i])));
        p[2] = BYTE(std::get<1>(entries[i]));
        PutBE32(p + 4, std::get<2>(entries[i]));
        PutBE32(p + 8, std::get<3>(entries[i]));
    }
    return bytes;
}

} // namespace

TEST(CellAddressTable, ReadsEntriesUpToTheEndAddress)
{
    CCellAddressList list;
    std::vector<BYTE> empty = CellTable(7, {});
    ASSERT_TRUE(ReadCellAddressTable(CIfoView(empty.data(), empty.size()), list));
    EXPECT_EQ(0u, list.GetSize());

    std::vector<BYTE> two = CellTable(31, {Entry(1, 1, 0, 99), Entry(1, 2, 100, 250)});
    ASSERT_TRUE(ReadCellAddressTable(CIfoView(two.data(), two.size()), list));
    EXPECT_EQ((std::vector<Entry>{Entry(1, 1, 0, 99), Entry(1, 2, 100, 250)}), Entries(list));
    EXPECT_EQ(2048u, list.GetGrowBy());
}

TEST(CellAddressTable, RefusesAnEndAddressOutsideTheBytes)
{
    struct Case
    {
        DWORD dwEnd;
        size_t nBytes;
    };
    // An end address below the header would wrap to a huge count; one past the
    // bytes read would read beyond them.
    for (const Case& c : {Case{3, 8}, Case{0, 8}, Case{31, 30}, Case{0xFFFFFFFF, 20}, Case{19, 19}})
    {
        std::vector<BYTE> bytes = CellTable(c.dwEnd, {}, c.nBytes > 8 ? c.nBytes - 8 : 0);
        bytes.resize(c.nBytes);
        CCellAddressList list;
        Fill(list, {Entry(9, 9, 9, 9)});
        EXPECT_FALSE(ReadCellAddressTable(CIfoView(bytes.data(), bytes.size()), list)) << c.dwEnd;
        EXPECT_EQ(0u, list.GetSize());
    }
    CCellAddressList list;
    BYTE header[6] = {};
    EXPECT_FALSE(ReadCellAddressTable(CIfoView(header, sizeof(header)), list));
}

TEST(CellAddressTable, WriteSortsAndMergesContinuedPieces)
{
    struct Case
    {
        std::vector<Entry> in;
        std::vector<Entry> out;
    };
    const Case cases[] = {
        {{Entry(1, 1, 0, 99), Entry(1, 1, 100, 199)}, {Entry(1, 1, 0, 199)}},
        {{Entry(1, 1, 100, 199), Entry(1, 1, 0, 99)}, {Entry(1, 1, 0, 199)}},
        {{Entry(1, 1, 0, 99), Entry(1, 1, 101, 199)}, {Entry(1, 1, 0, 99), Entry(1, 1, 101, 199)}},
        {{Entry(1, 1, 0, 99), Entry(1, 2, 100, 199)}, {Entry(1, 1, 0, 99), Entry(1, 2, 100, 199)}},
        {{Entry(2, 1, 0, 9), Entry(1, 1, 10, 19)}, {Entry(1, 1, 10, 19), Entry(2, 1, 0, 9)}},
        // Interleaved pieces of two angles: each angle's pieces stay apart.
        {{Entry(1, 1, 0, 9), Entry(2, 1, 10, 19), Entry(1, 1, 20, 29), Entry(2, 1, 30, 39)},
         {Entry(1, 1, 0, 9), Entry(1, 1, 20, 29), Entry(2, 1, 10, 19), Entry(2, 1, 30, 39)}},
        {{Entry(1, 1, 0, 9), Entry(1, 1, 10, 19), Entry(1, 1, 20, 29)}, {Entry(1, 1, 0, 29)}},
    };
    for (const Case& c : cases)
    {
        CCellAddressList list;
        Fill(list, c.in);
        std::vector<BYTE> bytes(8 + 12 * c.in.size(), 0);
        size_t nSize = WriteCellAddressTable(bytes.data(), list);
        EXPECT_EQ(c.out, Entries(list));
        ASSERT_EQ(8 + 12 * c.out.size(), nSize);
        bytes.resize(nSize);
        EXPECT_EQ(CellTable(DWORD(nSize - 1), c.out), bytes);
    }
}

TEST(CellAddressTable, EmptyTableIsEightBytes)
{
    CCellAddressList list;
    BYTE bytes[8] = {};
    EXPECT_EQ(8u, WriteCellAddressTable(bytes, list));
    const BYTE expected[8] = {0, 0, 0, 0, 0, 0, 0, 7};
    EXPECT_EQ(0, memcmp(expected, bytes, 8));
}

TEST(CellAddressTable, SortByFirstSector)
{
    CCellAddressList list;
    Fill(list, {Entry(1, 3, 50, 59), Entry(2, 1, 10, 19), Entry(1, 1, 30, 39), Entry(1, 2, 0, 9)});
    SortCellAddresses(list.GetData(), 0, 3, CompareCellAddressSectors);
    EXPECT_EQ((std::vector<Entry>{Entry(1, 2, 0, 9), Entry(2, 1, 10, 19), Entry(1, 1, 30, 39), Entry(1, 3, 50, 59)}),
              Entries(list));
}

TEST(VobuAddressMap, ReadsAndWritesBack)
{
    const BYTE table[] = {0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0x20, 0, 1, 0, 0};
    CVobuAddressList list;
    ASSERT_TRUE(ReadVobuAddressMap(CIfoView(table, sizeof(table)), list));
    ASSERT_EQ(3, list.GetSize());
    EXPECT_EQ(0u, list[0]);
    EXPECT_EQ(0x20u, list[1]);
    EXPECT_EQ(0x10000u, list[2]);
    EXPECT_EQ(4096, list.GetGrowBy());

    BYTE out[sizeof(table)] = {};
    EXPECT_EQ(sizeof(table), WriteVobuAddressMap(out, list));
    EXPECT_EQ(0, memcmp(table, out, sizeof(table)));
}

TEST(VobuAddressMap, EmptyAndDamagedMaps)
{
    const BYTE empty[] = {0, 0, 0, 3};
    CVobuAddressList list;
    ASSERT_TRUE(ReadVobuAddressMap(CIfoView(empty, sizeof(empty)), list));
    EXPECT_EQ(0, list.GetSize());
    BYTE out[4] = {};
    EXPECT_EQ(4u, WriteVobuAddressMap(out, list));
    EXPECT_EQ(0, memcmp(empty, out, 4));

    const BYTE tooLong[] = {0, 0, 0, 15, 0, 0, 0, 1};
    EXPECT_FALSE(ReadVobuAddressMap(CIfoView(tooLong, sizeof(tooLong)), list));
    const BYTE huge[] = {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 1};
    EXPECT_FALSE(ReadVobuAddressMap(CIfoView(huge, sizeof(huge)), list));
    EXPECT_FALSE(ReadVobuAddressMap(CIfoView(empty, 3), list));
    EXPECT_EQ(0, list.GetSize());
}
