// The video decoder against mpeg2dec's pictures and ffprobe's frame list of
// the video fixture discs, with the reference transform installed.
#include "VDS/source/MpegVideoDecoder.h"
#include "VDS/source/Idct.h"
#include "tests/support/ByteStreams.h"
#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace
{
// One frame of a pgm stream as mpeg2dec writes it: Y, then rows holding a U
// row and a V row side by side.
struct RefFrame
{
    int width = 0, height = 0;
    std::vector<BYTE> y, u, v;
};

std::vector<RefFrame> ReadPgmStream(const std::string& path)
{
    std::vector<RefFrame> frames;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    while (in >> magic && magic == "P5")
    {
        int w, h, maxval;
        in >> w >> h >> maxval;
        in.get();
        RefFrame f;
        f.width = w;
        f.height = h * 2 / 3;
        std::vector<BYTE> raw(size_t(w) * h);
        in.read(reinterpret_cast<char*>(raw.data()), std::streamsize(raw.size()));
        f.y.assign(raw.begin(), raw.begin() + size_t(w) * f.height);
        for (int r = 0; r < f.height / 2; r++)
        {
            const BYTE* row = raw.data() + size_t(w) * (f.height + r);
            f.u.insert(f.u.end(), row, row + w / 2);
            f.v.insert(f.v.end(), row + w / 2, row + w);
        }
        frames.push_back(std::move(f));
    }
    return frames;
}

// ffprobe's compact lines: key=value fields separated by '|'.
std::vector<std::map<std::string, std::string>> ReadFrameList(const std::string& path)
{
    std::vector<std::map<std::string, std::string>> list;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
    {
        if (line.find("pict_type=") == std::string::npos)
            continue;
        std::map<std::string, std::string> fields;
        std::stringstream ss(line);
        std::string item;
        while (std::getline(ss, item, '|'))
        {
            size_t eq = item.find('=');
            if (eq != std::string::npos)
                fields[item.substr(0, eq)] = item.substr(eq + 1);
        }
        list.push_back(fields);
    }
    return list;
}

struct Decoded
{
    std::vector<BYTE> y, u, v;
    int stride;
    uint64_t stamp;
    DWORD period, flags, type;
};

class DecoderFixture
{
public:
    explicit DecoderFixture(const std::string& name)
        : m_stream(std::vector<kxtest::SectorExtent>{{kxtest::FixturePath(name, "VIDEO_TS/VTS_01_1.VOB"), 0, -1}})
    {
        InitRefIdct();
        g_pfnIdct = RefIdct;
    }

    bool Open(int nSubpicture = -1)
    {
        MpegVideoInitAttributes attributes;
        attributes.pStream = &m_stream;
        attributes.nSubpictureStream = nSubpicture;
        return decoder.Init(attributes);
    }

    // Every picture to the end, each released at once after copying.
    std::vector<Decoded> DecodeAll(bool bFilm = false, bool bSeek = false, uint64_t position = 0)
    {
        std::vector<Decoded> out;
        EXPECT_TRUE(decoder.Start(bFilm, bSeek, position));
        CVideoPicture* picture = nullptr;
        while (decoder.GetNextPicture(&picture))
        {
            PicturePlanes p;
            picture->GetPlanes(&p);
            Decoded d;
            d.y.assign(p.pY, p.pY + size_t(p.width) * p.height);
            d.u.assign(p.pU, p.pU + size_t(p.chromaWidth) * p.chromaHeight);
            d.v.assign(p.pV, p.pV + size_t(p.chromaWidth) * p.chromaHeight);
            d.stride = int(p.width);
            d.stamp = picture->GetTimeStamp();
            d.period = picture->GetFramePeriod();
            d.flags = picture->GetFlags();
            d.type = picture->GetCodingType();
            picture->Release();
            out.push_back(std::move(d));
        }
        EXPECT_FALSE(decoder.GetNextPicture(&picture));
        EXPECT_EQ(picture, nullptr);
        decoder.Stop();
        return out;
    }

    CMpegVideoDecoder decoder;

private:
    kxtest::SectorExtentStream m_stream;
};

// Squared error over the rows of one parity (-1 all rows) of a plane.
void AddError(const BYTE* a, const BYTE* b, int width, int height, int stride, int parity, double& sum, double& n)
{
    for (int r = parity < 0 ? 0 : parity; r < height; r += parity < 0 ? 1 : 2)
        for (int c = 0; c < width; c++)
        {
            double d = double(a[size_t(r) * stride + c]) - b[size_t(r) * width + c];
            sum += d * d;
            n += 1;
        }
}

double Psnr(double sum, double n)
{
    return sum == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 * n / sum);
}

// The fields an output picture holds: the reference frames its top and
// bottom rows come from, following the decoder's field assembly.
struct FieldSource
{
    int top, bottom;
};

std::vector<FieldSource> ExpectedFields(const std::vector<std::map<std::string, std::string>>& frames,
                                        bool bProgressiveSequence)
{
    std::vector<FieldSource> out;
    bool carry = true;
    int pendingTop = -1;
    for (int i = 0; i < int(frames.size()); i++)
    {
        bool progressive = frames[i].at("interlaced_frame") == "0";
        bool tff = frames[i].at("top_field_first") == "1";
        bool rff = frames[i].at("repeat_pict") != "0";
        if (bProgressiveSequence || tff)
        {
            out.push_back({i, i});
            if (!bProgressiveSequence && progressive && rff)
            {
                pendingTop = i;
                carry = false;
            }
            else
            {
                carry = true;
            }
            continue;
        }
        out.push_back({carry ? i : pendingTop, i});
        pendingTop = i;
        if (progressive && rff)
        {
            out.push_back({i, i});
            carry = true;
        }
        else
        {
            carry = false;
        }
    }
    return out;
}

// Luma and chroma of each output picture, field by field, against the
// reference frames its fields come from.
void ComparePictures(const std::vector<Decoded>& pictures, const std::vector<RefFrame>& ref,
                     const std::vector<FieldSource>& fields, size_t first, size_t firstRef)
{
    ASSERT_GE(pictures.size() + first, fields.size() - firstRef);
    double total[2] = {0, 0}, count = 0;
    for (size_t k = first; k < pictures.size() && k - first + firstRef < fields.size(); k++)
    {
        const FieldSource& src = fields[k - first + firstRef];
        if (size_t(src.top) >= ref.size() || size_t(src.bottom) >= ref.size())
            continue;
        const Decoded& pic = pictures[k];
        double sum[2] = {0, 0}, n[2] = {0, 0};
        for (int parity = 0; parity < 2; parity++)
        {
            const RefFrame& f = ref[size_t(parity ? src.bottom : src.top)];
            int w = f.width, h = f.height;
            int stride = pic.stride;
            AddError(pic.y.data(), f.y.data(), w, h, stride, parity, sum[0], n[0]);
            AddError(pic.u.data(), f.u.data(), w / 2, h / 2, stride / 2, parity, sum[1], n[1]);
            AddError(pic.v.data(), f.v.data(), w / 2, h / 2, stride / 2, parity, sum[1], n[1]);
        }
        for (int c = 0; c < 2; c++)
        {
            double p = Psnr(sum[c], n[c]);
            EXPECT_GE(p, 40.0) << "picture " << k << (c ? " chroma" : " luma");
            total[c] += p;
        }
        count++;
    }
    ASSERT_GT(count, 0);
    EXPECT_GE(total[0] / count, 50.0);
    EXPECT_GE(total[1] / count, 50.0);
}

struct VideoCase
{
    const char* name;
    int width, height;
    bool mpeg2;
    uint64_t period; // 27 MHz ticks between frames
};

class VideoFixtures : public ::testing::TestWithParam<VideoCase>
{
};

TEST_P(VideoFixtures, PicturesMatchTheReferenceFieldByField)
{
    const VideoCase& c = GetParam();
    KX_REQUIRE_FIXTURE(dir, c.name);
    std::vector<RefFrame> ref = ReadPgmStream(kxtest::FixturePath(c.name, "ref.pgm"));
    auto frames = ReadFrameList(kxtest::FixturePath(c.name, "frames.txt"));
    // mpeg2dec leaves out the last frames, which the end of the stream would
    // have to flush.
    ASSERT_LE(ref.size(), frames.size());
    ASSERT_GE(ref.size() + 3, frames.size());

    DecoderFixture fx(c.name);
    ASSERT_TRUE(fx.Open());
    EXPECT_EQ(fx.decoder.m_nHorizontalSize, c.width);
    EXPECT_EQ(fx.decoder.m_nVerticalSize, c.height);
    EXPECT_EQ(fx.decoder.m_bMpeg2, c.mpeg2);
    if (!c.mpeg2)
    {
        EXPECT_EQ(fx.decoder.m_bProgressiveSequence, 1);
        EXPECT_EQ(fx.decoder.m_nPictureStructure, MPEG_FRAME_PICTURE);
        EXPECT_EQ(fx.decoder.m_bFramePredFrameDct, 1);
        EXPECT_EQ(fx.decoder.m_nMatrixCoefficients, 5);
    }
    std::vector<Decoded> pictures = fx.DecodeAll();
    std::vector<FieldSource> fields = ExpectedFields(frames, fx.decoder.m_bProgressiveSequence != 0);
    ASSERT_EQ(pictures.size(), fields.size());
    ComparePictures(pictures, ref, fields, 0, 0);

    // Frames follow each other by one frame period.
    for (size_t k = 1; k < pictures.size(); k++)
    {
        if (fields[k].top == fields[k].bottom && fields[k - 1].top == fields[k - 1].bottom)
        {
            EXPECT_NEAR(double(pictures[k].stamp - pictures[k - 1].stamp), double(c.period), 2) << k;
        }
    }
    for (const Decoded& d : pictures)
        EXPECT_EQ(d.period, DWORD(double(c.period) / 2700.0));
}

INSTANTIATE_TEST_SUITE_P(
    Decoder, VideoFixtures,
    ::testing::Values(VideoCase{"vprog", 720, 576, true, 1080000}, VideoCase{"vtff", 720, 576, true, 1080000},
                      VideoCase{"vbff", 720, 576, true, 1080000}, VideoCase{"vwide", 720, 480, true, 900900},
                      VideoCase{"vmpeg1", 352, 240, false, 900900}, VideoCase{"vfilm", 720, 480, true, 900900},
                      VideoCase{"vfields", 352, 288, true, 1080000}),
    [](const ::testing::TestParamInfo<VideoCase>& info) { return std::string(info.param.name); });
}

namespace
{
class SeekFixtures : public ::testing::TestWithParam<const char*>
{
};

// After a seek to a sector, the first picture handed out is the first in
// display order whose data start at or after it; the reference pictures
// before the sector are decoded first, so every picture shown matches the
// reference, the B pictures of an open group of pictures too; after the
// last one every call fails.
TEST_P(SeekFixtures, FirstPictureAfterASeekStartsAtOrAfterThePosition)
{
    const char* name = GetParam();
    KX_REQUIRE_FIXTURE(dir, name);
    std::vector<RefFrame> ref = ReadPgmStream(kxtest::FixturePath(name, "ref.pgm"));
    auto frames = ReadFrameList(kxtest::FixturePath(name, "frames.txt"));
    DecoderFixture fx(name);
    ASSERT_TRUE(fx.Open());
    uint64_t size = kxtest::SectorExtentStream(
                        std::vector<kxtest::SectorExtent>{{kxtest::FixturePath(name, "VIDEO_TS/VTS_01_1.VOB"), 0, -1}})
                        .GetSize();
    uint64_t sectors = size / 2048;
    for (int k = 0; k < 50; k++)
    {
        uint64_t position = sectors * uint64_t(k) / 50 * 2048;
        // Frames whose data start before the position are not shown, even
        // when they come later in display order than one that is.
        std::vector<FieldSource> shown;
        std::vector<DWORD> types;
        for (size_t i = 0; i < frames.size(); i++)
        {
            if (std::stoull(frames[i].at("pkt_pos")) < position)
                continue;
            shown.push_back({int(i), int(i)});
            std::string type = frames[i].at("pict_type");
            types.push_back(type == "I" ? 1 : type == "P" ? 2 : 3);
        }
        std::vector<Decoded> pictures = fx.DecodeAll(false, true, position);
        std::vector<DWORD> got;
        for (const Decoded& d : pictures)
            got.push_back(d.type);
        EXPECT_EQ(got, types) << "sector " << position / 2048;
        if (got != types)
            continue;
        if (!shown.empty() && size_t(shown[0].top) < ref.size())
            ComparePictures(pictures, ref, shown, 0, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Decoder, SeekFixtures, ::testing::Values("vprog", "vtff", "vwide", "vmpeg1"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

// 200 s of video: the stamps keep rising past 2^32 ticks, and the subtitle
// at 170 s to 172 s is drawn on the pictures of its interval.
TEST(DecoderLong, StampsPassTwoToThe32AndTheLateSubtitleIsDrawn)
{
    KX_REQUIRE_FIXTURE(dir, "vlong");
    DecoderFixture plain("vlong"), sub("vlong");
    ASSERT_TRUE(plain.Open());
    ASSERT_TRUE(sub.Open(0x20));
    ASSERT_TRUE(plain.decoder.Start(false, false, 0));
    ASSERT_TRUE(sub.decoder.Start(false, false, 0));
    CVideoPicture *a = nullptr, *b = nullptr;
    uint64_t last = 0;
    size_t count = 0, drawn = 0;
    double firstDrawn = 0, lastDrawn = 0;
    while (plain.decoder.GetNextPicture(&a))
    {
        ASSERT_TRUE(sub.decoder.GetNextPicture(&b));
        uint64_t stamp = a->GetTimeStamp();
        EXPECT_EQ(stamp, b->GetTimeStamp());
        if (count > 0)
        {
            EXPECT_EQ(stamp - last, 1080000u) << count;
        }
        last = stamp;
        count++;
        PicturePlanes pa, pb;
        a->GetPlanes(&pa);
        b->GetPlanes(&pb);
        if (std::memcmp(pa.pY, pb.pY, size_t(pa.width) * pa.height) != 0)
        {
            double seconds = double(stamp) / 27e6;
            if (!drawn++)
                firstDrawn = seconds;
            lastDrawn = seconds;
        }
        a->Release();
        b->Release();
    }
    EXPECT_EQ(count, 5000u);
    EXPECT_GT(last, uint64_t(1) << 32);
    EXPECT_NEAR(double(drawn), 50.0, 1.0);
    // The clip starts 0.54 s into its own time line.
    EXPECT_NEAR(firstDrawn, 170.54, 0.05);
    EXPECT_NEAR(lastDrawn, 172.50, 0.05);
}
}

namespace
{
std::vector<uint64_t> Stamps(const char* name, bool bFilm)
{
    DecoderFixture fx(name);
    EXPECT_TRUE(fx.Open());
    std::vector<uint64_t> stamps;
    for (const Decoded& d : fx.DecodeAll(bFilm))
        stamps.push_back(d.stamp);
    return stamps;
}

TEST(DecoderTimes, FilmFlagStampsFilmAt29_97AndIsIgnoredAt25)
{
    KX_REQUIRE_FIXTURE(film, "vfilm");
    KX_REQUIRE_FIXTURE(prog, "vprog");
    std::vector<uint64_t> a = Stamps("vfilm", true), b = Stamps("vprog", true);
    ASSERT_GT(a.size(), 10u);
    ASSERT_GT(b.size(), 10u);
    for (size_t k = 1; k < a.size(); k++)
        EXPECT_EQ(a[k] - a[k - 1], 1126125u) << k;
    for (size_t k = 1; k < b.size(); k++)
        EXPECT_EQ(b[k] - b[k - 1], 1080000u) << k;
}

TEST(DecoderTimes, BottomFieldFirstFramesAreStampedHalfAFrameEarly)
{
    KX_REQUIRE_FIXTURE(tff, "vtff");
    KX_REQUIRE_FIXTURE(bff, "vbff");
    // Both clips are multiplexed alike: the same PTS on the same time line.
    std::vector<uint64_t> t = Stamps("vtff", false), b = Stamps("vbff", false);
    ASSERT_FALSE(t.empty());
    ASSERT_FALSE(b.empty());
    EXPECT_EQ(t[0] - b[0], 540000u);
}
}

namespace
{
// The first 40 sectors of vprog with every sequence header and extension
// patched.
std::vector<BYTE> PatchedHead(bool bHuge, bool b422)
{
    std::vector<BYTE> bytes;
    std::FILE* f = std::fopen(kxtest::FixturePath("vprog", "VIDEO_TS/VTS_01_1.VOB").c_str(), "rb");
    if (!f)
        return bytes;
    bytes.resize(40 * 2048);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    for (size_t i = 0; i + 8 < bytes.size(); i++)
    {
        if (bytes[i] != 0 || bytes[i + 1] != 0 || bytes[i + 2] != 1)
            continue;
        if (bytes[i + 3] == 0xB3 && bHuge)
        {
            bytes[i + 4] = bytes[i + 5] = 0xFF;
            bytes[i + 6] |= 0xF0;
        }
        if (bytes[i + 3] == 0xB5 && (bytes[i + 4] >> 4) == 1)
        {
            if (bHuge)
            {
                bytes[i + 5] |= 0x01; // horizontal size extension 3
                bytes[i + 6] |= 0xE0; // and vertical
            }
            if (b422)
                bytes[i + 5] = BYTE((bytes[i + 5] & ~0x06) | 0x04);
        }
    }
    return bytes;
}

TEST(DecoderInit, RefusesSizesBeyondTheStoresAndOtherChromaFormats)
{
    KX_REQUIRE_FIXTURE(dir, "vprog");
    struct Case
    {
        const char* what;
        bool huge, c422, opens;
    } cases[] = {
        {"unchanged", false, false, true}, {"16383 x 16383", true, false, false}, {"4:2:2", false, true, false}};
    for (const Case& c : cases)
    {
        kxtest::MemoryByteStream stream(PatchedHead(c.huge, c.c422));
        CMpegVideoDecoder decoder;
        MpegVideoInitAttributes attributes;
        attributes.pStream = &stream;
        EXPECT_EQ(decoder.Init(attributes), c.opens) << c.what;
        CVideoPicture* picture = nullptr;
        if (!c.opens)
        {
            EXPECT_FALSE(decoder.Start(false, false, 0)) << c.what;
            EXPECT_FALSE(decoder.GetNextPicture(&picture)) << c.what;
        }
    }
}

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__)
// A frame store the system refuses leaves the decoder closed rather than
// with null planes to decode into. A fresh child process (whose heap holds no
// memory earlier tests freed) caps its address space just above what it
// uses, so the first store cannot be had. (The address sanitiser reserves
// address space of its own and is left out.)
TEST(DecoderInit, RefusedFrameStoreMakesInitFail)
{
    KX_REQUIRE_FIXTURE(dir, "vprog");
    std::vector<BYTE> head = PatchedHead(false, false);
    ASSERT_FALSE(head.empty());
    std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            kxtest::MemoryByteStream stream(head);
            CMpegVideoDecoder decoder;
            MpegVideoInitAttributes attributes;
            attributes.pStream = &stream;
            long pages = 0;
            if (std::FILE* f = std::fopen("/proc/self/statm", "r"))
            {
                if (std::fscanf(f, "%ld", &pages) != 1)
                    pages = 0;
                std::fclose(f);
            }
            // Less than one 720 x 576 store beyond what is in use.
            rlimit limit;
            limit.rlim_cur = limit.rlim_max = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + 256 * 1024;
            if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0)
                std::_Exit(3);
            if (decoder.Init(attributes))
                std::_Exit(1);
            CVideoPicture* picture = nullptr;
            std::_Exit(decoder.Start(false, false, 0) || decoder.GetNextPicture(&picture) ? 2 : 0);
        },
        ::testing::ExitedWithCode(0), "");
    GTEST_FLAG_SET(death_test_style, style);
}
#endif
}
