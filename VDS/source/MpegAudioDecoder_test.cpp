#include "VDS/source/MpegAudioDecoder.h"

#include "VDS/source/AudioFrameDecoders.h"
#include "tests/support/AudioClips.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace
{

// Hands out a byte string, remembering the size of every request.
class CBytesReader : public CMpegAudioReader
{
public:
    explicit CBytesReader(std::vector<BYTE> bytes) : m_bytes(std::move(bytes)) {}
    int Read(BYTE* pDest, int nCount) override
    {
        requests.push_back(nCount);
        int n = std::min(nCount, int(m_bytes.size() - m_pos));
        memcpy(pDest, m_bytes.data() + m_pos, size_t(n));
        m_pos += size_t(n);
        return n;
    }
    size_t Position() const { return m_pos; }
    std::vector<int> requests;

private:
    std::vector<BYTE> m_bytes;
    size_t m_pos = 0;
};

class CBitWriter
{
public:
    // Bits above the 32 of value are written as zeros.
    void Put(uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; i--)
        {
            if (m_nBits % 8 == 0)
                bytes.push_back(0);
            if (i < 32 && ((value >> i) & 1))
                bytes.back() |= BYTE(0x80 >> (m_nBits % 8));
            m_nBits++;
        }
    }
    std::vector<BYTE> bytes;

private:
    int m_nBits = 0;
};

struct Decoded
{
    std::unique_ptr<CMpegAudioDecoder> decoder{CreateMpegAudioDecoder()};
    std::vector<int16_t> out = std::vector<int16_t>(2304);

    explicit Decoded(CMpegAudioReader* reader)
    {
        decoder->Reset();
        decoder->SetInput(reader);
        decoder->SetOutput(out.data());
    }
    // The exception code of one ReadHeader and Decode, 0 when none.
    int Frame(bool* pDecoded = nullptr)
    {
        try
        {
            decoder->ReadHeader();
            bool ok = decoder->Decode();
            if (pDecoded)
                *pDecoded = ok;
        }
        catch (int code)
        {
            return code;
        }
        return 0;
    }
};

std::vector<BYTE> Layer2Frame48k192()
{
    auto stream = kxtest::ReadWholeFile(kxtest::AudioClip("l2_48_stereo.mp2"));
    auto frames = kxtest::SplitFrames(stream, AUDIO_TYPE_MPEG);
    return std::vector<BYTE>(stream.begin(), stream.begin() + frames.at(0).size);
}

TEST(MpegAudioDecoder, Layer2At48kAnd192kHas572BytesOfAudioData)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    auto frame = Layer2Frame48k192();
    ASSERT_EQ(frame.size(), 576u);
    CBytesReader reader(frame);
    Decoded d(&reader);
    bool ok = false;
    EXPECT_EQ(d.Frame(&ok), 0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(reader.Position(), 576u);
    EXPECT_EQ(d.decoder->GetOutputCount(), 2304);
    CMpegAudioFormat f = {};
    d.decoder->GetFormat(&f);
    EXPECT_EQ(f.nBitRate, 192);
    EXPECT_EQ(f.nRate, 48000);
    EXPECT_EQ(f.nLayer, 2);
    EXPECT_EQ(f.nVersion, 1);
    EXPECT_EQ(f.bStereo, 1);
}

TEST(MpegAudioDecoder, FindsAFrameAfterThreeJunkBytesInOneStep)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    auto frame = Layer2Frame48k192();
    std::vector<BYTE> bytes = {0x12, 0x34, 0x56};
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    CBytesReader reader(bytes);
    Decoded d(&reader);
    EXPECT_EQ(d.Frame(), 0);
    ASSERT_GE(reader.requests.size(), 2u);
    EXPECT_EQ(reader.requests[0], 4);
    EXPECT_EQ(reader.requests[1], 3);
    EXPECT_EQ(reader.Position(), bytes.size());
}

TEST(MpegAudioDecoder, SkipsFreeFormatHeaders)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    auto frame = Layer2Frame48k192();
    std::vector<BYTE> bytes = {0xFF, 0xFD, 0x04, 0x00, 0x00, 0x00};
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    CBytesReader reader(bytes);
    Decoded d(&reader);
    EXPECT_EQ(d.Frame(), 0);
    EXPECT_EQ(reader.Position(), bytes.size());
    CMpegAudioFormat f = {};
    d.decoder->GetFormat(&f);
    EXPECT_EQ(f.nBitRate, 192);
}

TEST(MpegAudioDecoder, RaisesItsCodes)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    auto frame = Layer2Frame48k192();
    // Layer II with a CRC, 48 kHz, 192 kbit/s.
    std::vector<BYTE> crcCut = {0xFF, 0xFC, 0xA4, 0x00, 0x12};
    // Layer III, MPEG-1 mono, window switching with block type 0 in granule 0.
    CBitWriter side;
    side.Put(0, 9 + 5 + 4);
    side.Put(0, 12 + 9 + 8 + 4);
    side.Put(1, 1);
    side.Put(0, 2);
    side.Put(0, 7 * 8);
    std::vector<BYTE> blockType0 = {0xFF, 0xFB, 0x94, 0xC0};
    blockType0.insert(blockType0.end(), side.bytes.begin(), side.bytes.end());
    blockType0.resize(400);
    struct Case
    {
        const char* what;
        std::vector<BYTE> bytes;
        int code;
    } cases[] = {
        {"header cut short", {0xFF, 0xFD}, MPEGAUDIO_ERR_INPUT},
        {"audio data cut short", std::vector<BYTE>(frame.begin(), frame.begin() + 300), MPEGAUDIO_ERR_INPUT},
        {"CRC cut short", crcCut, MPEGAUDIO_ERR_CRC},
        {"window switching with block type 0", blockType0, MPEGAUDIO_ERR_BLOCKTYPE},
    };
    for (const Case& c : cases)
    {
        CBytesReader reader(c.bytes);
        Decoded d(&reader);
        EXPECT_EQ(d.Frame(), c.code) << c.what;
    }
}

// A Layer III frame, MPEG-1 mono at 48 kHz and 128 kbit/s, with the given
// main-data begin and no granule data.
std::vector<BYTE> Layer3Frame(int mainDataBegin)
{
    CBitWriter w;
    w.Put(0xFFFB94C0, 32);
    w.Put(uint32_t(mainDataBegin), 9);
    w.Put(0, 5 + 4);
    for (int gr = 0; gr < 2; gr++)
        w.Put(0, 59);
    w.bytes.resize(384);
    return w.bytes;
}

TEST(MpegAudioDecoder, MainDataBeyondTheReservoirRaises8AndIsKeptForTheNextFrames)
{
    std::vector<BYTE> bytes = Layer3Frame(100);
    auto second = Layer3Frame(300);
    bytes.insert(bytes.end(), second.begin(), second.end());
    CBytesReader reader(bytes);
    Decoded d(&reader);
    EXPECT_EQ(d.Frame(), MPEGAUDIO_ERR_BITS);
    // The first frame's 347 bytes of main data now make up the reservoir.
    EXPECT_EQ(d.Frame(), 0);
    EXPECT_EQ(reader.Position(), bytes.size());
}

// Layer I frames written bit by bit with chosen allocations, scale factors
// and samples, against ffmpeg's float decoder. The native build runs ffmpeg.
#ifndef _WIN32
std::vector<BYTE> Layer1Frames(int mode, int modeExt, int count, std::mt19937& rng)
{
    std::vector<BYTE> out;
    const int nch = mode == 3 ? 1 : 2;
    const int bound = mode == 1 ? 4 * (modeExt + 1) : 32;
    for (int n = 0; n < count; n++)
    {
        CBitWriter w;
        w.Put(0xFFF, 12);
        w.Put(1, 1);  // MPEG-1
        w.Put(3, 2);  // Layer I
        w.Put(1, 1);  // no CRC
        w.Put(12, 4); // 384 kbit/s
        w.Put(1, 2);  // 48 kHz
        w.Put(0, 2);  // no padding, private bit
        w.Put(uint32_t(mode), 2);
        w.Put(uint32_t(modeExt), 2);
        w.Put(0, 4);
        int alloc[2][32] = {};
        for (int sb = 0; sb < 32; sb++)
            for (int ch = 0; ch < nch; ch++)
            {
                if (sb >= bound && ch == 1)
                {
                    alloc[1][sb] = alloc[0][sb];
                    continue;
                }
                alloc[ch][sb] = sb < 16 ? int(rng() % 6) : 0; // fits the frame at worst
                w.Put(uint32_t(alloc[ch][sb]), 4);
            }
        for (int sb = 0; sb < 32; sb++)
            for (int ch = 0; ch < nch; ch++)
                if (alloc[ch][sb])
                    w.Put(18 + rng() % 40, 6);
        for (int s = 0; s < 12; s++)
            for (int sb = 0; sb < 32; sb++)
                for (int ch = 0; ch < nch; ch++)
                {
                    const int nb = alloc[ch][sb] + 1;
                    if (alloc[ch][sb] && !(sb >= bound && ch == 1))
                        w.Put(rng() % ((1u << nb) - 1), nb);
                }
        EXPECT_LE(w.bytes.size(), 384u);
        w.bytes.resize(384);
        out.insert(out.end(), w.bytes.begin(), w.bytes.end());
    }
    return out;
}

std::vector<int16_t> FfmpegLayer1(const std::vector<BYTE>& stream)
{
    char path[] = "/tmp/kx_layer1_XXXXXX";
    int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, stream.data(), stream.size()), ssize_t(stream.size()));
    close(fd);
    std::string cmd =
        std::string("ffmpeg -hide_banner -loglevel error -f mp3 -c:a mp1float -i ") + path + " -f s16le -";
    std::FILE* p = popen(cmd.c_str(), "r");
    std::vector<int16_t> pcm;
    int16_t buf[4096];
    size_t n;
    while (p && (n = std::fread(buf, 2, 4096, p)) > 0)
        pcm.insert(pcm.end(), buf, buf + n);
    if (p)
        pclose(p);
    unlink(path);
    return pcm;
}

TEST(MpegAudioDecoder, Layer1MatchesFfmpeg)
{
    std::mt19937 rng(18);
    struct Case
    {
        const char* what;
        int mode, modeExt;
    } cases[] = {{"stereo", 0, 0}, {"joint stereo, bound 8", 1, 1}, {"single channel", 3, 0}};
    for (const Case& c : cases)
    {
        const int nch = c.mode == 3 ? 1 : 2;
        auto stream = Layer1Frames(c.mode, c.modeExt, 20, rng);
        auto ref = FfmpegLayer1(stream);
        ASSERT_FALSE(ref.empty()) << "ffmpeg did not decode the frames";
        auto frames = kxtest::SplitFrames(stream, AUDIO_TYPE_MPEG);
        ASSERT_EQ(frames.size(), 20u);
        const size_t first = frames.size() - ref.size() / size_t(nch) / 384;
        ASSERT_LE(first, 1u);
        std::vector<BYTE> tail(stream.begin() + long(first * size_t(frames[0].size)), stream.end());
        CBytesReader reader(tail);
        Decoded d(&reader);
        std::vector<int16_t> out;
        for (size_t i = first; i < frames.size(); i++)
        {
            bool ok = false;
            ASSERT_EQ(d.Frame(&ok), 0) << c.what;
            ASSERT_TRUE(ok);
            ASSERT_EQ(d.decoder->GetOutputCount(), 384 * nch);
            out.insert(out.end(), d.out.begin(), d.out.begin() + 384 * nch);
        }
        for (int ch = 0; ch < nch; ch++)
            EXPECT_GE(kxtest::ChannelSnr(out, nch, ref, nch, ch), 75.0) << c.what << " channel " << ch;
    }
}
#endif

} // namespace
