// The decoding core on streams written bit by bit here: header values and
// derived sizes, refused formats, time stamps of picture start codes and
// coefficients beyond the transforms' range.
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

void PictureHeader(BitWriter& w)
{
    w.StartCode(0x00);
    w.Put(0, 10);
    w.Put(1, 3); // I
    w.Put(0xFFFF, 16);
    w.Put(0, 1);
}

void PictureCodingExtension(BitWriter& w)
{
    w.StartCode(0xB5);
    w.Put(8, 4);
    w.Put(0xFFFF, 16); // f_codes
    w.Put(0, 2);       // intra_dc_precision
    w.Put(3, 2);       // frame picture
    w.Put(0, 1);
    w.Put(1, 1); // frame_pred_frame_dct
    w.Put(0, 6);
    w.Put(1, 1); // chroma_420_type
    w.Put(1, 1); // progressive_frame
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
}
