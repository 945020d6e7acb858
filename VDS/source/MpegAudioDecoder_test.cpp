#include "VDS/source/MpegAudioDecoder.h"

#include "VDS/source/AudioFrameDecoders.h"
#include "VDS/source/MpegAudioHuffman.h"
#include "tests/support/AudioClips.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <sstream>
#include <string>
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
    // Bits of the last byte not written yet.
    int Pending() const { return (8 - m_nBits % 8) % 8; }
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

// LAME's streams, read from their first frame: every frame's side
// information and main data are found without a fault.
TEST(MpegAudioDecoder, Layer3ClipsFindTheirMainData)
{
    KX_REQUIRE_FIXTURE(dir, "audio");
    for (const char* clip : {"l3_48_stereo.mp3", "l3_48_mono.mp3", "l3_44_joint_vbr.mp3", "l3_24_joint.mp3"})
    {
        auto stream = kxtest::ReadWholeFile(kxtest::AudioClip(clip));
        auto frames = kxtest::SplitFrames(stream, AUDIO_TYPE_MPEG);
        ASSERT_GT(frames.size(), 40u) << clip;
        CBytesReader reader(stream);
        Decoded d(&reader);
        for (size_t i = 0; i < frames.size(); i++)
            ASSERT_EQ(d.Frame(), 0) << clip << " frame " << i;
        EXPECT_EQ(reader.Position(), stream.size()) << clip;
    }
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

// ffmpeg's decoding of an elementary stream by the named decoder.
std::vector<int16_t> FfmpegDecode(const std::vector<BYTE>& stream, const char* codec)
{
    char path[] = "/tmp/kx_mpegaudio_XXXXXX";
    int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, stream.data(), stream.size()), ssize_t(stream.size()));
    close(fd);
    std::string cmd =
        std::string("ffmpeg -hide_banner -loglevel error -f mp3 -c:a ") + codec + " -i " + path + " -f s16le -";
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
        auto ref = FfmpegDecode(stream, "mp1float");
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

// Layer III frames written bit by bit: every block type and mixed blocks,
// both scale-factor syntaxes, stereo modes, and main data reaching back
// into the reservoir. The spectra are coded in the count1 region (values
// -1, 0 and 1) with big values from table 0; the other big-value tables
// have their own stream below.
struct Layer3Stream
{
    const char* what;
    bool lsf;
    int rateIndex;
    int mode, modeExt;
};

// Scale factors per partition for the lower sampling frequencies, by
// partitioning and block kind (long, short, mixed): the three of ordinary
// channels, then the first of the intensity-coded right channel.
const int kLsfCounts[4][3][4] = {
    {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},
    {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
    {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}},
    {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
};

struct Layer3Granule
{
    int part23 = 0, bigValues = 0, gain = 0, scfCompress = 0, blockType = 0, mixed = 0;
    int subblockGain[3] = {}, region0 = 0, region1 = 0, preflag = 0, scfScale = 0, count1Table = 0;
};

// Writes one granule's scale factors and spectrum into w and fills g.
void WriteLayer3Granule(CBitWriter& w, Layer3Granule& g, bool lsf, bool intensityChannel, bool firstGranule,
                        const int* scfsi, int quads, std::mt19937& rng)
{
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    g.gain = 140 + pick(36);
    g.scfScale = pick(2);
    g.count1Table = pick(2);
    g.bigValues = pick(3) == 0 ? pick(40) : 0;
    g.region0 = pick(16);
    g.region1 = pick(8);
    for (int& s : g.subblockGain)
        s = pick(8);
    if (lsf)
    {
        const int kind = g.blockType != 2 ? 0 : g.mixed ? 2 : 1;
        int slen[4] = {};
        // Intensity positions: the largest value of a factor's length marks
        // a band without intensity coding, which ffmpeg, the reference, does
        // not know (it leaves positions past 15 uncoded instead). The
        // intensity channel's factors avoid both, with lengths of at least 1.
        int partitioning = intensityChannel ? 3 : pick(3);
        switch (partitioning)
        {
        case 0:
            slen[0] = pick(5), slen[1] = pick(5), slen[2] = pick(4), slen[3] = pick(4);
            g.scfCompress = (slen[0] * 5 + slen[1]) << 4 | slen[2] << 2 | slen[3];
            break;
        case 1:
            slen[0] = pick(5), slen[1] = pick(5), slen[2] = pick(4);
            g.scfCompress = 400 + ((slen[0] * 5 + slen[1]) << 2) + slen[2];
            break;
        case 2:
            slen[0] = pick(4), slen[1] = pick(3);
            g.scfCompress = 500 + slen[0] * 3 + slen[1];
            break;
        default:
            slen[0] = 1 + pick(4), slen[1] = 1 + pick(5), slen[2] = 1 + pick(5);
            g.scfCompress = (slen[0] * 36 + slen[1] * 6 + slen[2]) << 1 | pick(2);
            break;
        }
        for (int part = 0; part < 4; part++)
            for (int n = 0; n < kLsfCounts[partitioning][kind][part]; n++)
                w.Put(intensityChannel ? uint32_t(pick(std::min((1 << slen[part]) - 1, 16))) : rng(), slen[part]);
    }
    else
    {
        static const int kSlen1[16] = {0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4};
        static const int kSlen2[16] = {0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3};
        g.scfCompress = pick(16);
        g.preflag = pick(2);
        const int slen1 = kSlen1[g.scfCompress], slen2 = kSlen2[g.scfCompress];
        if (g.blockType == 2)
        {
            for (int sfb = 0; sfb < (g.mixed ? 8 : 0); sfb++)
                w.Put(rng(), slen1);
            for (int sfb = g.mixed ? 3 : 0; sfb < 12; sfb++)
                w.Put(rng(), 3 * (sfb < 6 ? slen1 : slen2));
        }
        else
        {
            static const int kGroups[5] = {0, 6, 11, 16, 21};
            for (int group = 0; group < 4; group++)
                if (firstGranule || !scfsi[group])
                    w.Put(rng(), (kGroups[group + 1] - kGroups[group]) * (group < 2 ? slen1 : slen2));
        }
    }
    quads = std::min(quads, (576 - 2 * g.bigValues) / 4);
    for (int n = 0; n < quads; n++)
    {
        int value = 0, signs = 0;
        for (int i = 0; i < 4; i++)
            if (pick(3) == 0)
            {
                value |= 8 >> i;
                signs = signs << 1 | pick(2);
            }
        // Count1 table A: code and length by vwxy; table B: vwxy inverted.
        static const int kCodeA[16][2] = {{1, 1}, {5, 4}, {4, 4}, {5, 5}, {6, 4}, {5, 6}, {4, 5}, {4, 6},
                                          {7, 4}, {3, 5}, {6, 5}, {0, 6}, {7, 5}, {2, 6}, {3, 6}, {1, 6}};
        if (g.count1Table)
            w.Put(uint32_t(~value & 15), 4);
        else
            w.Put(uint32_t(kCodeA[value][0]), kCodeA[value][1]);
        int ones = 0;
        for (int i = 0; i < 4; i++)
            ones += (value >> i) & 1;
        w.Put(uint32_t(signs), ones);
    }
}

struct Layer3Frames
{
    std::vector<BYTE> bytes;
    std::vector<int> mainDataBegin;
    int frameBytes = 0;
};

Layer3Frames WriteLayer3Frames(const Layer3Stream& p, int count, std::mt19937& rng)
{
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    const int nch = p.mode == 3 ? 1 : 2;
    const int granules = p.lsf ? 1 : 2;
    static const int kRates[3] = {44100, 48000, 32000};
    const int rate = kRates[p.rateIndex] / (p.lsf ? 2 : 1);
    const int bitRate = p.lsf ? 160 : 320; // bit-rate index 14
    const int frameBytes = (p.lsf ? 72000 : 144000) * bitRate / rate;
    const int sideBytes = p.lsf ? (nch == 1 ? 9 : 17) : (nch == 1 ? 17 : 32);
    const int slot = frameBytes - 4 - sideBytes;
    const int maxBegin = p.lsf ? 255 : 511;

    Layer3Frames out;
    out.frameBytes = frameBytes;
    std::vector<BYTE> main(size_t(slot * count));
    std::vector<std::vector<BYTE>> sides;
    int dataEnd = 0;
    // Block types follow each other as encoders write them: normal,
    // start, short (any number), stop, normal; a short block after a mixed
    // one is mixed too. (ffmpeg leaves out the part of the overlap that
    // these sequences keep zero.)
    int previous[2] = {0, 0}, previousMixed[2] = {0, 0};
    auto nextType = [&](int ch) { return previous[ch] == 0 || previous[ch] == 3 ? pick(2) : 2 + pick(2); };
    auto nextMixed = [&](int ch) { return previousMixed[ch] ? 1 : pick(2); };
    for (int f = 0; f < count; f++)
    {
        Layer3Granule g[2][2];
        int scfsi[2][4] = {};
        for (int ch = 0; ch < nch; ch++)
            for (int& s : scfsi[ch])
                s = p.lsf ? 0 : pick(2);
        CBitWriter data;
        int used = 0;
        for (int gr = 0; gr < granules; gr++)
        {
            int blockType = nextType(0), mixed = blockType == 2 ? nextMixed(0) : 0;
            for (int ch = 0; ch < nch; ch++)
            {
                Layer3Granule& x = g[gr][ch];
                // Intensity stereo wants both channels in the same block
                // type; the other modes may differ.
                x.blockType = p.mode == 1 || ch == 0 ? blockType : nextType(ch);
                x.mixed = x.blockType == 2 ? (p.mode == 1 || ch == 0 ? mixed : nextMixed(ch)) : 0;
                previous[ch] = x.blockType;
                previousMixed[ch] = x.mixed;
                // Long blocks in both granules for scale-factor reuse.
                if (!p.lsf && (x.blockType == 2 || (gr == 1 && g[0][ch].blockType == 2)))
                    for (int& s : scfsi[ch])
                        s = 0;
                const bool intensity = p.mode == 1 && (p.modeExt & 1) && ch == 1;
                const int quads = intensity ? pick(60) : 40 + pick(105);
                WriteLayer3Granule(data, x, p.lsf, intensity, gr == 0, scfsi[ch], quads, rng);
                int bits = int(data.bytes.size() * 8) - data.Pending();
                x.part23 = bits - used;
                used = bits;
            }
        }
        // Where this frame's main data start: as far back into the
        // reservoir as the previous frames left room for (never for the
        // first two, which ffmpeg may take for a tag).
        const int slotStart = f * slot;
        const int begin = f < 2 ? 0 : std::min(slotStart - dataEnd, maxBegin);
        const int dataStart = slotStart - begin;
        EXPECT_LE(dataStart + int(data.bytes.size()), slotStart + slot);
        std::copy(data.bytes.begin(), data.bytes.end(), main.begin() + dataStart);
        dataEnd = dataStart + int(data.bytes.size());
        out.mainDataBegin.push_back(begin);

        CBitWriter side;
        side.Put(0xFFF, 12);
        side.Put(p.lsf ? 0 : 1, 1);
        side.Put(1, 2); // Layer III
        side.Put(1, 1); // no CRC
        side.Put(14, 4);
        side.Put(uint32_t(p.rateIndex), 2);
        side.Put(0, 2);
        side.Put(uint32_t(p.mode), 2);
        side.Put(uint32_t(p.modeExt), 2);
        side.Put(0, 4);
        side.Put(uint32_t(begin), p.lsf ? 8 : 9);
        side.Put(0, p.lsf ? nch : (nch == 1 ? 5 : 3));
        if (!p.lsf)
            for (int ch = 0; ch < nch; ch++)
                for (int s : scfsi[ch])
                    side.Put(uint32_t(s), 1);
        for (int gr = 0; gr < granules; gr++)
            for (int ch = 0; ch < nch; ch++)
            {
                const Layer3Granule& x = g[gr][ch];
                side.Put(uint32_t(x.part23), 12);
                side.Put(uint32_t(x.bigValues), 9);
                side.Put(uint32_t(x.gain), 8);
                side.Put(uint32_t(x.scfCompress), p.lsf ? 9 : 4);
                side.Put(x.blockType != 0, 1);
                if (x.blockType != 0)
                {
                    side.Put(uint32_t(x.blockType), 2);
                    side.Put(uint32_t(x.mixed), 1);
                    side.Put(0, 10); // table 0 for both regions
                    for (int s : x.subblockGain)
                        side.Put(uint32_t(s), 3);
                }
                else
                {
                    side.Put(0, 15); // table 0 for the three regions
                    side.Put(uint32_t(x.region0), 4);
                    side.Put(uint32_t(x.region1), 3);
                }
                if (!p.lsf)
                    side.Put(uint32_t(x.preflag), 1);
                side.Put(uint32_t(x.scfScale), 1);
                side.Put(uint32_t(x.count1Table), 1);
            }
        EXPECT_EQ(int(side.bytes.size()), 4 + sideBytes);
        sides.push_back(side.bytes);
    }
    for (int f = 0; f < count; f++)
    {
        out.bytes.insert(out.bytes.end(), sides[size_t(f)].begin(), sides[size_t(f)].end());
        out.bytes.insert(out.bytes.end(), main.begin() + f * slot, main.begin() + (f + 1) * slot);
    }
    return out;
}

const Layer3Stream kLayer3Streams[] = {
    {"MPEG-1 single channel, 48 kHz", false, 1, 3, 0},
    {"MPEG-1 stereo, 44.1 kHz", false, 0, 0, 0},
    {"MPEG-1 dual channel, 32 kHz", false, 2, 2, 0},
    {"MPEG-1 joint stereo, mid/side, 48 kHz", false, 1, 1, 2},
    {"MPEG-1 joint stereo, intensity, 44.1 kHz", false, 0, 1, 1},
    {"MPEG-1 joint stereo, mid/side and intensity, 32 kHz", false, 2, 1, 3},
    {"24 kHz single channel", true, 1, 3, 0},
    {"22.05 kHz stereo", true, 0, 0, 0},
    {"16 kHz joint stereo, mid/side", true, 2, 1, 2},
    {"24 kHz joint stereo, intensity", true, 1, 1, 1},
    {"22.05 kHz joint stereo, mid/side and intensity", true, 0, 1, 3},
};

// Decodes frames [from, count) of a written stream, the first from a
// decoder that has seen nothing before it.
std::vector<int16_t> DecodeLayer3Frames(const Layer3Frames& s, int from, int count, int perFrame,
                                        std::vector<int>* pCodes)
{
    std::vector<BYTE> tail(s.bytes.begin() + long(from) * s.frameBytes, s.bytes.end());
    CBytesReader reader(tail);
    Decoded d(&reader);
    std::vector<int16_t> out;
    for (int f = from; f < count; f++)
    {
        bool ok = false;
        const int code = d.Frame(&ok);
        pCodes->push_back(code != 0 ? code : ok ? 0 : -1);
        if (code == 0 && ok)
        {
            EXPECT_EQ(d.decoder->GetOutputCount(), perFrame);
            out.insert(out.end(), d.out.begin(), d.out.begin() + perFrame);
        }
        else
            out.insert(out.end(), size_t(perFrame), 0);
    }
    return out;
}

TEST(MpegAudioDecoder, Layer3MatchesFfmpeg)
{
    std::mt19937 rng(3);
    const int count = 24;
    for (const Layer3Stream& c : kLayer3Streams)
    {
        const int nch = c.mode == 3 ? 1 : 2;
        const int perFrame = (c.lsf ? 576 : 1152) * nch;
        auto stream = WriteLayer3Frames(c, count, rng);
        auto ref = FfmpegDecode(stream.bytes, "mp3float");
        ASSERT_FALSE(ref.empty()) << c.what << ": ffmpeg did not decode the frames";
        const int first = count - int(ref.size()) / perFrame;
        ASSERT_GE(first, 0);
        ASSERT_LE(first, 1);
        std::vector<int> codes;
        auto out = DecodeLayer3Frames(stream, first, count, perFrame, &codes);
        EXPECT_EQ(codes, std::vector<int>(size_t(count - first), 0)) << c.what;
        for (int ch = 0; ch < nch; ch++)
            EXPECT_GE(kxtest::ChannelSnr(out, nch, ref, nch, ch), 60.0) << c.what << " channel " << ch;
    }
}

// Decoding that starts where a frame's main data begin in frames not seen
// (after a seek): that frame raises 8 and stays silent, and the frames
// after it decode as they would have.
TEST(MpegAudioDecoder, Layer3FramesAfterAMissingReservoirDecode)
{
    std::mt19937 rng(8);
    const int count = 16;
    for (const Layer3Stream& c : {kLayer3Streams[3], kLayer3Streams[9]})
    {
        const int nch = c.mode == 3 ? 1 : 2;
        const int perFrame = (c.lsf ? 576 : 1152) * nch;
        auto stream = WriteLayer3Frames(c, count, rng);
        auto ref = FfmpegDecode(stream.bytes, "mp3float");
        const int first = count - int(ref.size()) / perFrame;
        ASSERT_LE(first, 1);
        int seek = 4;
        while (seek < count - 4 && stream.mainDataBegin[size_t(seek)] == 0)
            seek++;
        ASSERT_GT(stream.mainDataBegin[size_t(seek)], 0) << c.what;
        std::vector<int> codes;
        auto out = DecodeLayer3Frames(stream, seek, count, perFrame, &codes);
        std::vector<int> expected(size_t(count - seek), 0);
        expected[0] = MPEGAUDIO_ERR_BITS;
        EXPECT_EQ(codes, expected) << c.what;
        // The first frames decoded still miss the overlap and the synthesis
        // history of the silent one (one short frame holds less than the
        // filter's delay); after 2,304 samples per channel the output is the
        // reference's.
        const size_t settled = size_t(2304 * nch);
        std::vector<int16_t> tail(out.begin() + long(settled), out.end());
        std::vector<int16_t> refTail(ref.begin() + long(size_t(seek - first) * size_t(perFrame) + settled), ref.end());
        for (int ch = 0; ch < nch; ch++)
            EXPECT_GE(kxtest::ChannelSnr(tail, nch, refTail, nch, ch), 60.0) << c.what << " channel " << ch;
    }
}
// Big values through every code table, against ffmpeg: single-channel
// frames of long blocks without scale factors whose granules name one table
// for all regions and run through its (x, y) pairs in order, so that each
// codeword is written, with random signs and, after a 15, small values in
// the table's linbits (large ones would drown the other lines' errors).
TEST(MpegAudioDecoder, Layer3BigValueTablesMatchFfmpeg)
{
    std::mt19937 rng(18);
    const int count = 6, perFrame = 1152;
    const int frameBytes = 144000 * 320 / 48000, slot = frameBytes - 4 - 17;
    // One stream for all tables, count frames each, decoded once by ffmpeg.
    Layer3Frames stream;
    stream.frameBytes = frameBytes;
    std::vector<int> tables;
    for (int table = 1; table < 32; table++)
    {
        const Layer3BigValueTable& t = g_layer3BigValueTables[table];
        if (!t.codes)
            continue;
        std::vector<std::string> codes;
        for (int x = 0; x < t.codes->size; x++)
        {
            std::istringstream row(t.codes->rows[x]);
            for (std::string word; row >> word;)
                codes.push_back(word);
        }
        ASSERT_EQ(codes.size(), size_t(t.codes->size * t.codes->size)) << table;
        const int top = t.codes->size - 1 + (t.linbits ? 3 : 0);
        // About a tenth of full scale at the largest value.
        const int gain = 210 + int(std::lround(4 * std::log2(0.1 / std::pow(double(top), 4.0 / 3))));
        tables.push_back(table);
        size_t pair = 0;
        for (int f = 0; f < count; f++)
        {
            CBitWriter side, data;
            side.Put(0xFFF, 12);
            side.Put(1, 1);  // MPEG-1
            side.Put(1, 2);  // Layer III
            side.Put(1, 1);  // no CRC
            side.Put(14, 4); // 320 kbit/s
            side.Put(1, 2);  // 48 kHz
            side.Put(0, 2);
            side.Put(3, 2); // single channel
            side.Put(0, 2);
            side.Put(0, 4);
            side.Put(0, 9 + 5 + 4); // main data here, private bits, no reuse
            for (int gr = 0; gr < 2; gr++)
            {
                const int start = int(data.bytes.size() * 8) - data.Pending();
                int bits = start, pairs = 0;
                for (; pairs < 288 && bits - start < 3000; pairs++, pair++)
                {
                    const std::string& code = codes[pair % codes.size()];
                    for (char c : code)
                        data.Put(uint32_t(c - '0'), 1);
                    const int size = t.codes->size;
                    for (int v : {int(pair % codes.size()) / size, int(pair % codes.size()) % size})
                    {
                        if (v == 15 && t.linbits)
                        {
                            data.Put(rng() % 4, t.linbits);
                            bits += t.linbits;
                        }
                        if (v)
                            data.Put(rng() % 2, 1), bits++;
                    }
                    bits += int(code.size());
                }
                side.Put(uint32_t(bits - start), 12);
                side.Put(uint32_t(pairs), 9);
                side.Put(uint32_t(gain), 8);
                side.Put(0, 4 + 1); // no scale factors, long blocks
                for (int region = 0; region < 3; region++)
                    side.Put(uint32_t(table), 5);
                side.Put(15, 4);
                side.Put(7, 3);
                side.Put(0, 3); // no preflag, scale-factor scale or count1 table B
            }
            ASSERT_EQ(side.bytes.size(), 21u);
            ASSERT_LE(data.bytes.size(), size_t(slot)) << table;
            data.bytes.resize(size_t(slot));
            stream.bytes.insert(stream.bytes.end(), side.bytes.begin(), side.bytes.end());
            stream.bytes.insert(stream.bytes.end(), data.bytes.begin(), data.bytes.end());
            stream.mainDataBegin.push_back(0);
        }
    }
    const int frames = int(tables.size()) * count;
    auto ref = FfmpegDecode(stream.bytes, "mp3float");
    const int first = frames - int(ref.size()) / perFrame;
    ASSERT_GE(first, 0);
    ASSERT_LE(first, 1);
    std::vector<int> decodeCodes;
    auto out = DecodeLayer3Frames(stream, first, frames, perFrame, &decodeCodes);
    EXPECT_EQ(decodeCodes, std::vector<int>(size_t(frames - first), 0));
    // Each table's frames, but the very first, which ffmpeg may leave out.
    for (size_t i = 0; i < tables.size(); i++)
    {
        const long from = long(std::max(int(i) * count, 1) - first) * perFrame;
        const long to = long(int(i + 1) * count - first) * perFrame;
        std::vector<int16_t> mine(out.begin() + from, out.begin() + to), theirs(ref.begin() + from, ref.begin() + to);
        EXPECT_GE(kxtest::ChannelSnr(mine, 1, theirs, 1, 0), 60.0) << "table " << tables[i];
    }
}
#endif

} // namespace
