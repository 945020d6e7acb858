// The bitmap container's BMP codec: raw, RLE8, RLE4 and bit-field streams
// read, written and converted to 32 bits per pixel, and damaged streams
// refused without touching memory past what they describe.
#include "uitoolkit/core/ExtBitmap.h"

#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

typedef std::vector<BYTE> Bytes;

void Put16(Bytes& b, uint32_t v)
{
    b.push_back((BYTE)v);
    b.push_back((BYTE)(v >> 8));
}

void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A BMP stream as other software writes it: file header (offset to the
// pixels given), info header of nInfoSize bytes, masks, table, pixel data.
struct BmpSpec
{
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bpp = 8;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    uint32_t infoSize = 40;
    std::vector<uint32_t> masks; // after a 40-byte header, or inside a larger one
    Bytes table;                 // 4 bytes per entry
    uint32_t gap = 0;            // bytes between the table and the pixels
    Bytes pixels;
};

Bytes MakeBmp(const BmpSpec& s)
{
    Bytes info;
    Put32(info, s.infoSize);
    Put32(info, (uint32_t)s.width);
    Put32(info, (uint32_t)s.height);
    Put16(info, 1);
    Put16(info, s.bpp);
    Put32(info, s.compression);
    Put32(info, (uint32_t)s.pixels.size());
    Put32(info, 0);
    Put32(info, 0);
    Put32(info, s.clrUsed);
    Put32(info, 0);
    for (uint32_t m : s.masks)
        Put32(info, m);
    while (info.size() < s.infoSize)
        info.push_back(0);
    info.insert(info.end(), s.table.begin(), s.table.end());
    info.insert(info.end(), s.gap, 0xEE);
    Bytes out;
    const uint32_t offBits = 14 + (uint32_t)info.size();
    Put16(out, 0x4D42);
    Put32(out, offBits + (uint32_t)s.pixels.size());
    Put32(out, 0);
    Put32(out, offBits);
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    return out;
}

Bytes GreyTable(int n)
{
    Bytes t;
    for (int i = 0; i < n; ++i)
        t.insert(t.end(), {(BYTE)(i * 7), (BYTE)(i * 5), (BYTE)(i * 3), 0});
    return t;
}

bool Load(CExtBitmap& bmp, const Bytes& stream, bool bMake32 = false)
{
    CMemFile file(stream.data(), (UINT)stream.size());
    CArchive ar(&file, CArchive::load);
    return bmp.LoadBMP(ar, bMake32);
}

Bytes Save(CExtBitmap& bmp, bool bRLE)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        EXPECT_TRUE(bmp.SaveBMP(ar, false, false, bRLE));
    }
    const UINT n = (UINT)file.GetLength();
    Bytes out(n);
    file.SeekToBegin();
    file.Read(out.data(), n);
    return out;
}

uint32_t Get32(const Bytes& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | ((uint32_t)b[at + 3] << 24);
}

Bytes Pixels(const CExtBitmap& bmp)
{
    return Bytes(bmp.GetBits(), bmp.GetBits() + (size_t)bmp.GetPitch() * bmp.GetHeight());
}

DWORD Pixel32(const CExtBitmap& bmp, int x, int yFromBottom)
{
    return ((const DWORD*)bmp.GetBits())[yFromBottom * bmp.GetWidth() + x];
}

class RawRoundTrip : public ::testing::TestWithParam<int>
{
};

TEST_P(RawRoundTrip, ReadsWritesAndReadsBackTheSamePixels)
{
    const uint16_t bpp = (uint16_t)GetParam();
    BmpSpec s;
    s.width = 13;
    s.height = 3;
    s.bpp = bpp;
    if (bpp <= 8)
        s.table = GreyTable(1 << bpp);
    const UINT pitch = CExtBitmap::DibPitch(s.width, bpp);
    // row padding is zero: the run-length form does not carry it
    const UINT used = (s.width * bpp + 7) / 8;
    for (UINT i = 0; i < pitch * 3; ++i)
        s.pixels.push_back(i % pitch < used ? (BYTE)(i * 37 + 11) : 0);
    CExtBitmap bmp;
    ASSERT_TRUE(Load(bmp, MakeBmp(s)));
    EXPECT_EQ(bmp.GetWidth(), 13);
    EXPECT_EQ(bmp.GetHeight(), 3);
    EXPECT_EQ(bmp.GetBPP(), bpp);
    EXPECT_EQ(Pixels(bmp), s.pixels);
    EXPECT_EQ((uintptr_t)bmp.GetBitmapHeader() % 16, 0u);
    EXPECT_EQ((uintptr_t)bmp.GetBits() % 16, 0u);

    for (bool rle : {false, true})
    {
        const Bytes saved = Save(bmp, rle);
        EXPECT_EQ(Get32(saved, 2), saved.size()); // the file size is the real one
        CExtBitmap back;
        ASSERT_TRUE(Load(back, saved)) << rle;
        EXPECT_EQ(Pixels(back), s.pixels) << rle;
        if (bpp <= 8)
        {
            EXPECT_EQ(Bytes((BYTE*)back.GetColorTable(), (BYTE*)back.GetColorTable() + s.table.size()), s.table);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, RawRoundTrip, ::testing::Values(1, 4, 8, 16, 24, 32));

TEST(ExtBitmap, TopDownStreamIsStoredBottomUp)
{
    BmpSpec s;
    s.width = 1;
    s.height = -3;
    s.bpp = 24;
    s.pixels = {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0};
    CExtBitmap bmp;
    ASSERT_TRUE(Load(bmp, MakeBmp(s)));
    EXPECT_EQ(bmp.GetHeight(), 3);
    EXPECT_EQ(Pixels(bmp), (Bytes{3, 3, 3, 0, 2, 2, 2, 0, 1, 1, 1, 0}));
}

// The bytes after the headers and the 256-entry table of an 8-bit image.
Bytes RleOf(const Bytes& row)
{
    BmpSpec s;
    s.width = (int32_t)row.size();
    s.bpp = 8;
    s.table = GreyTable(256);
    s.pixels = row;
    s.pixels.resize(CExtBitmap::DibPitch(s.width, 8));
    CExtBitmap bmp;
    EXPECT_TRUE(Load(bmp, MakeBmp(s)));
    const Bytes saved = Save(bmp, true);
    EXPECT_EQ(Get32(saved, 14 + 16), 1u); // BI_RLE8
    const Bytes data(saved.begin() + 54 + 1024, saved.end());
    EXPECT_EQ(Get32(saved, 14 + 20), data.size()); // the real compressed size
    EXPECT_EQ(Get32(saved, 10), 54u + 1024u);
    return data;
}

TEST(ExtBitmap, Rle8EncodingTable)
{
    EXPECT_EQ(RleOf({5, 5, 5}), (Bytes{0, 3, 5, 5, 5, 0, 0, 0, 0, 1}));
    EXPECT_EQ(RleOf({9, 9, 9, 9}), (Bytes{4, 9, 0, 0, 0, 1}));
    EXPECT_EQ(RleOf({7}), (Bytes{1, 7, 0, 0, 0, 1}));
    EXPECT_EQ(RleOf({7, 8, 2, 2, 2, 2, 2}), (Bytes{1, 7, 1, 8, 5, 2, 0, 0, 0, 1}));
    EXPECT_EQ(RleOf({1, 2, 3, 4, 6, 6, 6, 6}), (Bytes{0, 4, 1, 2, 3, 4, 4, 6, 0, 0, 0, 1}));
    EXPECT_EQ(RleOf(Bytes(300, 0x42)), (Bytes{255, 0x42, 45, 0x42, 0, 0, 0, 1}));
    // a literal buffer is written out when it holds 254 bytes
    Bytes ramp;
    for (int i = 0; i < 256; ++i)
        ramp.push_back((BYTE)i);
    const Bytes data = RleOf(ramp);
    ASSERT_EQ(data.size(), 2 + 254 + 4 + 4u);
    EXPECT_EQ(data[0], 0);
    EXPECT_EQ(data[1], 254);
    EXPECT_EQ(Bytes(data.begin() + 256, data.end()), (Bytes{1, 254, 1, 255, 0, 0, 0, 1}));
}

Bytes Decode(uint16_t bpp, uint32_t compression, int32_t width, int32_t height, const Bytes& data, bool* pOk)
{
    BmpSpec s;
    s.width = width;
    s.height = height;
    s.bpp = bpp;
    s.compression = compression;
    s.table = GreyTable(1 << bpp);
    s.pixels = data;
    CExtBitmap bmp;
    *pOk = Load(bmp, MakeBmp(s));
    return *pOk ? Pixels(bmp) : Bytes();
}

TEST(ExtBitmap, Rle8DecodesEscapesAndClipsAtTheRow)
{
    bool ok = false;
    // an absolute run longer than the row is consumed whole with its padding;
    // the next row then starts with an encoded run clipped at the row's end
    Bytes px = Decode(8, 1, 4, 2, {0, 5, 1, 2, 3, 4, 5, 0, 0, 0, 9, 7, 0, 1}, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(px, (Bytes{1, 2, 3, 4, 7, 7, 7, 7}));
    // delta moves right and up; a delta past the last row ends decoding
    px = Decode(8, 1, 4, 2, {0, 2, 1, 1, 2, 8, 0, 2, 0, 5, 3, 3}, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(px, (Bytes{0, 0, 0, 0, 0, 8, 8, 0}));
}

TEST(ExtBitmap, Rle4DecodesNibblesRunsAndPadding)
{
    bool ok = false;
    // row 0: an absolute run of 5 pixels (3 bytes and a padding byte); row 1:
    // an encoded run of 3 pixels alternating the nibbles, a one-pixel delta,
    // and an encoded run of 1
    const Bytes px = Decode(4, 2, 5, 2, {0, 5, 0xAB, 0xCD, 0xE0, 0, 0, 0, 3, 0x12, 0, 2, 1, 0, 1, 0x70, 0, 1}, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(px, (Bytes{0xAB, 0xCD, 0xE0, 0, 0x12, 0x10, 0x70, 0}));
}

TEST(ExtBitmap, ShortOrOversizedColourTables)
{
    struct Case
    {
        uint32_t clrUsed;
        int tableEntries;
    } cases[] = {{2, 2}, {0, 256}, {300, 256}, {256, 256}};
    for (const auto& c : cases)
    {
        BmpSpec s;
        s.width = 2;
        s.bpp = 8;
        s.clrUsed = c.clrUsed;
        s.table = GreyTable(c.tableEntries);
        s.pixels = {1, 0, 0, 0};
        CExtBitmap bmp;
        ASSERT_TRUE(Load(bmp, MakeBmp(s), true)) << c.clrUsed;
        EXPECT_EQ(Pixel32(bmp, 0, 0), 0xFF030507u) << c.clrUsed;
        EXPECT_EQ(Pixel32(bmp, 1, 0), 0xFF000000u) << c.clrUsed;
    }
}

TEST(ExtBitmap, ConvertsEveryDepthTo32)
{
    struct Case
    {
        uint16_t bpp;
        std::vector<uint32_t> masks;
        Bytes pixels;
        DWORD first, second;
    } cases[] = {
        {1, {}, {0x40, 0, 0, 0}, 0xFF000000, 0xFF030507},
        {4, {}, {0x2F, 0, 0, 0}, 0xFF060A0E, 0xFF2D4B69},
        {16, {0xF800, 0x7E0, 0x1F}, {0xFF, 0xFF, 0x00, 0xF8}, 0xFFFFFFFF, 0xFFFF0000},
        {16, {0x7C00, 0x3E0, 0x1F}, {0xFF, 0x7F, 0xE0, 0x03}, 0xFFFFFFFF, 0xFF00FF00},
        {16, {}, {0x1F, 0x00, 0x00, 0x7C}, 0xFF0000FF, 0xFFFF0000},
        {24, {}, {1, 2, 3, 4, 5, 6, 0, 0}, 0xFF030201, 0xFF060504},
    };
    for (const auto& c : cases)
    {
        BmpSpec s;
        s.width = 2;
        s.bpp = c.bpp;
        s.masks = c.masks;
        s.compression = c.masks.empty() ? 0 : 3;
        if (c.bpp <= 8)
            s.table = GreyTable(1 << c.bpp);
        s.pixels = c.pixels;
        CExtBitmap bmp;
        ASSERT_TRUE(Load(bmp, MakeBmp(s), true)) << c.bpp;
        EXPECT_EQ(bmp.GetBPP(), 32);
        EXPECT_EQ(bmp.GetMasks()[3], 0xFF000000u);
        EXPECT_EQ(Pixel32(bmp, 0, 0), c.first) << c.bpp << " " << std::hex << Pixel32(bmp, 0, 0);
        EXPECT_EQ(Pixel32(bmp, 1, 0), c.second) << c.bpp << " " << std::hex << Pixel32(bmp, 1, 0);
    }
}

TEST(ExtBitmap, HonoursLargerHeadersAndThePixelOffset)
{
    BmpSpec s;
    s.width = 1;
    s.bpp = 16;
    s.compression = 3;
    s.infoSize = 108; // masks inside the header
    s.masks = {0xF800, 0x7E0, 0x1F, 0};
    s.gap = 6;
    s.pixels = {0x00, 0xF8, 0, 0};
    CExtBitmap bmp;
    ASSERT_TRUE(Load(bmp, MakeBmp(s), true));
    EXPECT_EQ(Pixel32(bmp, 0, 0), 0xFFFF0000u);
}

TEST(ExtBitmap, RefusesDamagedStreams)
{
    auto base = []()
    {
        BmpSpec s;
        s.width = 4;
        s.height = 2;
        s.bpp = 8;
        s.table = GreyTable(256);
        s.pixels = Bytes(8, 1);
        return s;
    };
    std::vector<Bytes> streams;
    BmpSpec s = base();
    s.bpp = 1;
    s.compression = 1; // RLE8 on a 1-bit header
    s.table = GreyTable(2);
    s.pixels = {4, 1, 0, 1};
    streams.push_back(MakeBmp(s));
    s = base();
    s.compression = 2; // RLE4 on an 8-bit header
    s.pixels = {4, 1, 0, 1};
    streams.push_back(MakeBmp(s));
    s = base();
    s.compression = 7;
    streams.push_back(MakeBmp(s));
    s = base();
    s.width = 0x7FFFFFFF;
    streams.push_back(MakeBmp(s));
    s = base();
    s.width = 0;
    streams.push_back(MakeBmp(s));
    s = base();
    s.width = -4;
    streams.push_back(MakeBmp(s));
    s = base();
    s.height = 0;
    streams.push_back(MakeBmp(s));
    s = base();
    s.height = 0x7FFFFFFF;
    streams.push_back(MakeBmp(s));
    s = base();
    s.bpp = 2;
    streams.push_back(MakeBmp(s));
    s = base();
    s.infoSize = 12;
    streams.push_back(MakeBmp(s));
    s = base();
    s.compression = 1;
    s.height = -2; // run-length images are bottom-up only
    s.pixels = {4, 1, 0, 1};
    streams.push_back(MakeBmp(s));
    Bytes truncated = MakeBmp(base());
    truncated.resize(truncated.size() - 1);
    streams.push_back(truncated);
    s = base();
    s.compression = 1;
    s.pixels = {0, 9, 1, 2, 3}; // an absolute run cut short
    streams.push_back(MakeBmp(s));
    s = base();
    s.compression = 1;
    s.pixels = {4, 1, 0, 0}; // no end of bitmap, rows left
    streams.push_back(MakeBmp(s));
    truncated = MakeBmp(base());
    truncated.resize(14 + 40 + 100); // inside the colour table
    streams.push_back(truncated);

    for (size_t i = 0; i < streams.size(); ++i)
    {
        CExtBitmap bmp;
        EXPECT_FALSE(Load(bmp, streams[i])) << i;
        EXPECT_TRUE(bmp.IsEmpty()) << i;
    }
}

TEST(ExtBitmap, EmptyBitmapsFailQuietlyOrThrowWhenAsked)
{
    CExtBitmap bmp;
    EXPECT_FALSE(bmp.Make32());
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    EXPECT_FALSE(bmp.SaveBMP(ar));
    bool thrown = false;
    try
    {
        bmp.SaveBMP(ar, false, true);
    }
    catch (CException* e)
    {
        thrown = e->IsKindOf(RUNTIME_CLASS(CUserException));
        e->Delete();
    }
    EXPECT_TRUE(thrown);
}

TEST(ExtBitmap, ArchiveErrorsAreThrownOnWhenAsked)
{
    const Bytes stream = {'B', 'M', 0, 0};
    CMemFile file(stream.data(), (UINT)stream.size());
    CArchive ar(&file, CArchive::load);
    CExtBitmap bmp;
    bool thrown = false;
    try
    {
        bmp.LoadBMP(ar, false, true);
    }
    catch (CException* e)
    {
        thrown = e->IsKindOf(RUNTIME_CLASS(CArchiveException));
        e->Delete();
    }
    EXPECT_TRUE(thrown);
    EXPECT_TRUE(bmp.IsEmpty());
}

} // namespace
