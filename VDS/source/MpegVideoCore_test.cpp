// The decoding core on streams written bit by bit here: header values and
// derived sizes, refused formats, time stamps of picture start codes,
// coefficients beyond the transforms' range and dual-prime prediction.
#include "VDS/source/MpegVideoCore.h"
#include "VDS/source/Idct.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{
class BitWriter
{
public:
    void Put(uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; i--)
        {
            if (m_nBit == 0)
                bytes.push_back(0);
            if ((value >> i) & 1)
                bytes.back() |= BYTE(0x80 >> m_nBit);
            m_nBit = (m_nBit + 1) & 7;
        }
    }
    void Code(const char* bits)
    {
        for (; *bits; bits++)
            Put(*bits == '1', 1);
    }
    void StartCode(BYTE code)
    {
        m_nBit = 0;
        for (BYTE b : {BYTE(0), BYTE(0), BYTE(1), code})
            bytes.push_back(b);
    }

    std::vector<BYTE> bytes;

private:
    int m_nBit = 0;
};

void SequenceHeader(BitWriter& w, int width, int height)
{
    w.StartCode(0xB3);
    w.Put(width & 0xFFF, 12);
    w.Put(height & 0xFFF, 12);
    w.Put(2, 4); // 4:3
    w.Put(3, 4); // 25 fps
    w.Put(20000, 18);
    w.Put(1, 1);
    w.Put(112, 10);
    w.Put(0, 1);
    w.Put(0, 1); // default matrices
    w.Put(0, 1);
}

void SequenceExtension(BitWriter& w, bool progressive, int chroma, int width, int height)
{
    w.StartCode(0xB5);
    w.Put(1, 4);
    w.Put(0x48, 8); // main profile, main level
    w.Put(progressive, 1);
    w.Put(chroma, 2);
    w.Put(width >> 12, 2);
    w.Put(height >> 12, 2);
    w.Put(0, 12);
    w.Put(1, 1);
    w.Put(0, 8);
    w.Put(0, 1);
    w.Put(0, 2);
    w.Put(0, 5);
}

void PictureHeader(BitWriter& w, int type = MPEG_PICTURE_I)
{
    w.StartCode(0x00);
    w.Put(0, 10);
    w.Put(type, 3);
    w.Put(0xFFFF, 16);
    if (type == MPEG_PICTURE_P)
        w.Put(7, 4); // full_pel_forward_vector 0, forward_f_code 7
    w.Put(0, 1);
}

// A frame picture; progressive unless interlaced, with forward f_code 1 for
// the motion of interlaced P pictures.
void PictureCodingExtension(BitWriter& w, bool interlaced = false, bool topFieldFirst = false)
{
    w.StartCode(0xB5);
    w.Put(8, 4);
    w.Put(interlaced ? 0x11FF : 0xFFFF, 16); // f_codes
    w.Put(0, 2);                             // intra_dc_precision
    w.Put(3, 2);                             // frame picture
    w.Put(topFieldFirst, 1);
    w.Put(!interlaced, 1); // frame_pred_frame_dct
    w.Put(0, 6);
    w.Put(!interlaced, 1); // chroma_420_type
    w.Put(!interlaced, 1); // progressive_frame
    w.Put(0, 1);
}

// A data source of packets, each with its presentation time.
class PacketCore : public CMpegVideoCore
{
public:
    bool ReadVideoData(const uint8_t** ppData, size_t* pnLength) override
    {
        if (m_nNext >= packets.size())
            return false;
        m_nPacketPts = pts[m_nNext];
        *ppData = packets[m_nNext].data();
        *pnLength = packets[m_nNext].size();
        m_nNext++;
        return true;
    }
    void Add(std::vector<BYTE> bytes, uint64_t time = 0)
    {
        packets.push_back(std::move(bytes));
        pts.push_back(time);
    }
    void Begin() { RestartBits(nullptr, 0, 0); }

    std::vector<std::vector<BYTE>> packets;
    std::vector<uint64_t> pts;

private:
    size_t m_nNext = 0;
};

TEST(MpegVideoCore, SizesAndDefaultsOfTheSequence)
{
    struct Case
    {
        bool mpeg2, progressive;
        int chroma, width, height;
        bool accepted;
        int mbWidth, mbHeight;
    };
    const Case cases[] = {
        {true, false, 1, 720, 480, true, 45, 30},    {true, false, 1, 720, 578, true, 45, 38},
        {true, true, 1, 720, 578, true, 45, 37},     {false, true, 1, 352, 240, true, 22, 15},
        {true, false, 1, 1920, 1152, true, 120, 72}, {true, false, 1, 16383, 16383, false, 0, 0},
        {true, false, 1, 1921, 1080, false, 0, 0},   {true, false, 2, 720, 576, false, 0, 0},
        {true, false, 3, 720, 576, false, 0, 0},
    };
    for (const Case& c : cases)
    {
        BitWriter w;
        SequenceHeader(w, c.width, c.height);
        if (c.mpeg2)
            SequenceExtension(w, c.progressive, c.chroma, c.width, c.height);
        PictureHeader(w);
        if (c.mpeg2)
            PictureCodingExtension(w);
        w.StartCode(0xB7);
        PacketCore core;
        core.Add(w.bytes);
        core.Begin();
        ASSERT_EQ(core.GetHeader(), 1);
        EXPECT_EQ(core.m_nHorizontalSize, c.width);
        EXPECT_EQ(core.m_nVerticalSize, c.height);
        EXPECT_EQ(core.AllocateFrameStores(), c.accepted) << c.width << "x" << c.height << " chroma " << c.chroma;
        if (!c.accepted)
            continue;
        EXPECT_EQ(core.m_nMbWidth, c.mbWidth);
        EXPECT_EQ(core.m_nMbHeight, c.mbHeight);
        EXPECT_EQ(core.GetCodedHeight(), 16 * c.mbHeight);
        EXPECT_EQ(core.m_bMpeg2, c.mpeg2);
        if (!c.mpeg2)
        {
            EXPECT_EQ(core.m_bProgressiveSequence, 1);
            EXPECT_EQ(core.m_bProgressiveFrame, 1);
            EXPECT_EQ(core.m_nPictureStructure, MPEG_FRAME_PICTURE);
            EXPECT_EQ(core.m_bFramePredFrameDct, 1);
            EXPECT_EQ(core.m_nMatrixCoefficients, 5);
        }
    }
}

TEST(MpegVideoCore, ReservedExtensionIsReportedAndParsingGoesOn)
{
    BitWriter w;
    SequenceHeader(w, 720, 576);
    SequenceExtension(w, false, 1, 720, 576);
    w.StartCode(0xB5);
    w.Put(6, 4);
    w.Put(0xAB, 8);
    PictureHeader(w);
    PictureCodingExtension(w);
    PacketCore core;
    core.Add(w.bytes);
    core.Begin();
    testing::internal::CaptureStderr();
    EXPECT_EQ(core.GetHeader(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "reserved extension start code ID 6\n");
    EXPECT_EQ(core.m_nPictureStructure, MPEG_FRAME_PICTURE);
    EXPECT_EQ(core.m_nPictureCodingType, MPEG_PICTURE_I);
}

TEST(MpegVideoCore, PictureTakesTheTimeOfThePacketHoldingItsStartCode)
{
    BitWriter head;
    SequenceHeader(head, 720, 576);
    SequenceExtension(head, false, 1, 720, 576);
    BitWriter pic;
    PictureHeader(pic);
    PictureCodingExtension(pic);
    for (size_t split : {size_t(0), size_t(2), size_t(4)})
    {
        // The start code wholly in the second packet, or beginning in the
        // first: across the two, or in the first packet's last 4 bytes.
        std::vector<BYTE> first = head.bytes, second;
        first.insert(first.end(), pic.bytes.begin(), pic.bytes.begin() + std::ptrdiff_t(split));
        second.assign(pic.bytes.begin() + std::ptrdiff_t(split), pic.bytes.end());
        PacketCore core;
        core.Add(first, 1000);
        core.Add(second, 2000);
        core.Add({0, 0, 1, 0xB7});
        core.Begin();
        ASSERT_EQ(core.GetHeader(), 1);
        EXPECT_EQ(core.m_recLastReference.nPts, split == 0 ? 2000u : 1000u) << split;
    }
}

// One 16 x 16 intra picture whose blocks carry escape-coded coefficients far
// beyond what the transforms take.
std::vector<BYTE> LoudIntraPicture()
{
    BitWriter w;
    SequenceHeader(w, 16, 16);
    SequenceExtension(w, true, 1, 16, 16);
    PictureHeader(w);
    PictureCodingExtension(w);
    w.StartCode(0x01);
    w.Put(31, 5); // quantiser_scale_code 31: scale 62
    w.Put(0, 1);
    w.Code("1"); // macroblock_address_increment 1
    w.Code("1"); // intra
    for (int b = 0; b < 6; b++)
    {
        w.Code(b < 4 ? "100" : "00"); // DC size 0
        // 2047 x 16 x 62 / 16 on the first AC coefficient, negative in
        // every other block: beyond 16 bits unless saturated.
        w.Code("000001"); // escape
        w.Put(0, 6);
        w.Put(b & 1 ? 0x801 : 0x7FF, 12);
        w.Code("10"); // end of block
    }
    w.StartCode(0xB7);
    return w.bytes;
}

TEST(MpegVideoCore, CoefficientsBeyondTheRangeAreSaturatedForEveryTransform)
{
    std::vector<BYTE> reference;
    const CGrowArray<IdctDescriptor>& registry = GetIdctRegistry();
    ASSERT_GT(registry.GetSize(), 0);
    int refIndex = -1;
    for (int32_t i = 0; i < registry.GetSize(); i++)
        if (std::string(registry[i].name) == "Ref_iDCT")
            refIndex = i;
    ASSERT_GE(refIndex, 0);
    std::vector<std::vector<BYTE>> pictures(size_t(registry.GetSize()));
    for (int32_t i = 0; i < registry.GetSize(); i++)
    {
        const IdctDescriptor& d = registry[i];
        if (d.init)
            d.init();
        PacketCore core;
        core.Add(LoudIntraPicture());
        core.Begin();
        ASSERT_EQ(core.GetHeader(), 1);
        ASSERT_TRUE(core.AllocateFrameStores());
        std::vector<BYTE> stores(3 * 384, 0);
        for (int s = 0; s < 3; s++)
            core.SetFrameStore(
                s, {&stores[size_t(s) * 384], &stores[size_t(s) * 384 + 256], &stores[size_t(s) * 384 + 320]});
        core.SetIdct(d.transform);
        core.DecodePicture();
        pictures[size_t(i)].assign(stores.begin(), stores.begin() + 384);
    }
    const std::vector<BYTE>& ref = pictures[size_t(refIndex)];
    EXPECT_NE(ref, std::vector<BYTE>(384, 0));
    for (int32_t i = 0; i < registry.GetSize(); i++)
        for (size_t k = 0; k < ref.size(); k++)
            ASSERT_LE(std::abs(int(pictures[size_t(i)][k]) - int(ref[k])), 1) << registry[i].name << " sample " << k;
}

// The difference of an intra DC coefficient from its predictor.
void DcDifference(BitWriter& w, int diff, bool chroma)
{
    static const char* const luma[] = {"100", "00", "01", "101", "110", "1110", "11110", "111110", "1111110"};
    static const char* const chromaCodes[] = {"00", "01", "10", "110", "1110", "11110", "111110", "1111110"};
    int size = 0;
    while ((1 << size) <= std::abs(diff))
        size++;
    w.Code(chroma ? chromaCodes[size] : luma[size]);
    if (size)
        w.Put(uint32_t(diff > 0 ? diff : diff + (1 << size) - 1), size);
}

// A 32 x 32 interlaced I picture of field-coded macroblocks whose fields
// differ: top field lines 100 and 140 in the left and right eight columns of
// each macroblock, bottom field lines 60 and 180, chroma 128; then a P
// picture whose first macroblock is dual-prime predicted, vector (1.5, 0)
// and differential (1, 0), without a residual.
std::vector<BYTE> DualPrimePictures(bool topFieldFirst)
{
    BitWriter w;
    SequenceHeader(w, 32, 32);
    SequenceExtension(w, false, 1, 32, 32);
    PictureHeader(w);
    PictureCodingExtension(w, true, topFieldFirst);
    const int values[4] = {100, 140, 60, 180};
    for (int row = 0; row < 2; row++)
    {
        w.StartCode(BYTE(row + 1));
        w.Put(8, 5); // quantiser_scale_code
        w.Put(0, 1);
        int pred = 128;
        for (int mb = 0; mb < 2; mb++)
        {
            w.Code("1"); // macroblock_address_increment 1
            w.Code("1"); // intra
            w.Put(1, 1); // field DCT: blocks 0 and 1 top field, 2 and 3 bottom
            for (int value : values)
            {
                DcDifference(w, value - pred, false);
                pred = value;
                w.Code("10"); // end of block
            }
            for (int c = 0; c < 2; c++)
            {
                DcDifference(w, 0, true);
                w.Code("10");
            }
        }
    }
    PictureHeader(w, MPEG_PICTURE_P);
    PictureCodingExtension(w, true, topFieldFirst);
    w.StartCode(0x01);
    w.Put(8, 5);
    w.Put(0, 1);
    w.Code("1");     // macroblock_address_increment 1
    w.Code("001");   // motion compensated, not coded
    w.Put(3, 2);     // dual prime
    w.Code("00010"); // horizontal motion_code 3
    w.Code("10");    // dmvector 1
    w.Code("1");     // vertical motion_code 0
    w.Code("0");     // dmvector 0
    w.StartCode(0xB7);
    return w.bytes;
}

// Each field of a dual-prime macroblock averages the same-parity field at
// the vector with the opposite-parity field at the vector scaled by the
// fields' distance (1 or 3 fields, by top_field_first) plus the
// differential; the fields here differ across columns, so every scale shows.
TEST(MpegVideoCore, DualPrimePredictsEachFieldFromBothParities)
{
    struct Case
    {
        bool topFieldFirst;
        int topOpposite, bottomOpposite; // horizontal vectors, half samples
    } cases[] = {{true, 3, 6}, {false, 6, 3}};
    const int top[2] = {100, 140}, bottom[2] = {60, 180};
    // A field row at a horizontal vector in half samples.
    auto sample = [](const int* field, int x, int vector)
    {
        auto at = [&](int c) { return field[(c % 16) / 8]; };
        int c = x + vector / 2;
        return vector % 2 ? (at(c) + at(c + 1) + 1) / 2 : at(c);
    };
    for (const Case& c : cases)
    {
        PacketCore core;
        core.Add(DualPrimePictures(c.topFieldFirst));
        core.Begin();
        ASSERT_EQ(core.GetHeader(), 1);
        ASSERT_TRUE(core.AllocateFrameStores());
        const size_t size = 32 * 32 * 3 / 2;
        std::vector<BYTE> stores(3 * size, 0);
        for (size_t s = 0; s < 3; s++)
            core.SetFrameStore(int(s), {&stores[s * size], &stores[s * size + 1024], &stores[s * size + 1280]});
        InitRefIdct();
        core.SetIdct(RefIdct);
        core.DecodePicture();
        ASSERT_EQ(core.GetHeader(), 1);
        ASSERT_EQ(core.m_nPictureCodingType, MPEG_PICTURE_P);
        core.DecodePicture();
        ASSERT_GE(core.GetDecodedStore(), 0);
        const BYTE* p = &stores[size_t(core.GetDecodedStore()) * size];
        for (int y = 0; y < 16; y++)
        {
            bool bTop = y % 2 == 0;
            for (int x = 0; x < 16; x++)
            {
                int same = sample(bTop ? top : bottom, x, 3);
                int opposite = sample(bTop ? bottom : top, x, bTop ? c.topOpposite : c.bottomOpposite);
                ASSERT_EQ(p[y * 32 + x], (same + opposite + 1) / 2)
                    << "top field first " << c.topFieldFirst << " x " << x << " y " << y;
            }
        }
        for (int k = 0; k < 8 * 8; k++)
        {
            ASSERT_EQ(p[1024 + (k / 8) * 16 + k % 8], 128);
            ASSERT_EQ(p[1280 + (k / 8) * 16 + k % 8], 128);
        }
    }
}
}
