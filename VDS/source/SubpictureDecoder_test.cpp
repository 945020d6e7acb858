// Sub-picture units built here byte by byte, and the subtitles of the
// fixture discs drawn by the video decoder.
#include "VDS/source/SubpictureDecoder.h"
#include "VDS/source/Idct.h"
#include "VDS/source/MpegVideoDecoder.h"
#include "tests/support/ByteStreams.h"
#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace
{
// Writes a unit: run-length coded fields of an image of pixel values, then
// the control sequences given as raw command bytes.
class UnitWriter
{
public:
    UnitWriter(int width, int height, BYTE fill) : w(width), h(height), pixels(size_t(width) * height, fill) {}

    void Set(int x, int y, BYTE v) { pixels[size_t(y) * w + x] = v; }

    // sequences: each the delay and its commands (without 0xFF); next
    // pointers chain them, the last pointing to itself unless nextOverride
    // gives each sequence's successor index (-1: itself).
    std::vector<BYTE> Build(const std::vector<std::pair<int, std::vector<BYTE>>>& sequences,
                            std::vector<int> nextOverride = {})
    {
        std::vector<BYTE> u(4, 0);
        DWORD top = DWORD(u.size());
        Field(u, 0);
        DWORD bottom = DWORD(u.size());
        Field(u, 1);
        DWORD control = DWORD(u.size());
        std::vector<DWORD> starts;
        DWORD at = control;
        for (const auto& s : sequences)
        {
            starts.push_back(at);
            at += DWORD(4 + s.second.size() + 1);
        }
        for (size_t i = 0; i < sequences.size(); i++)
        {
            std::vector<BYTE> cmds = sequences[i].second;
            // A sequence that ends in command 6 gets the field addresses.
            size_t k = cmds.size() >= 5 ? cmds.size() - 5 : 0;
            if (cmds.size() >= 5 && cmds[k] == 6)
            {
                cmds[k + 1] = BYTE(top >> 8), cmds[k + 2] = BYTE(top);
                cmds[k + 3] = BYTE(bottom >> 8), cmds[k + 4] = BYTE(bottom);
            }
            int nextIndex = nextOverride.empty() ? (i + 1 < sequences.size() ? int(i) + 1 : int(i)) : nextOverride[i];
            DWORD next = nextIndex < 0 ? starts[i] : starts[size_t(nextIndex)];
            Put16(u, DWORD(sequences[i].first));
            Put16(u, next);
            u.insert(u.end(), cmds.begin(), cmds.end());
            u.push_back(0xFF);
        }
        u[0] = BYTE(u.size() >> 8), u[1] = BYTE(u.size());
        u[2] = BYTE(control >> 8), u[3] = BYTE(control);
        return u;
    }

    int w, h;
    std::vector<BYTE> pixels;

private:
    static void Put16(std::vector<BYTE>& u, DWORD v)
    {
        u.push_back(BYTE(v >> 8));
        u.push_back(BYTE(v));
    }

    void Nibble(std::vector<BYTE>& u, int n)
    {
        if (m_bHigh)
            u.push_back(BYTE(n << 4));
        else
            u.back() |= BYTE(n);
        m_bHigh = !m_bHigh;
    }

    void Field(std::vector<BYTE>& u, int first)
    {
        m_bHigh = true;
        for (int y = first; y < h; y += 2)
        {
            for (int x = 0; x < w;)
            {
                BYTE v = pixels[size_t(y) * w + x];
                int run = 1;
                while (x + run < w && pixels[size_t(y) * w + x + run] == v && run < 255)
                    run++;
                int code = run << 2 | v;
                int nibbles = run < 4 ? 1 : run < 16 ? 2 : run < 64 ? 3 : 4;
                for (int i = nibbles - 1; i >= 0; i--)
                    Nibble(u, (code >> (4 * i)) & 15);
                x += run;
            }
            if (!m_bHigh)
                Nibble(u, 0);
        }
    }

    bool m_bHigh = true;
};

// Area command: x1, x2, y1, y2 in 12 bits each.
std::vector<BYTE> Area(int x1, int x2, int y1, int y2)
{
    return {5,        BYTE(x1 >> 4), BYTE((x1 & 15) << 4 | x2 >> 8),
            BYTE(x2), BYTE(y1 >> 4), BYTE((y1 & 15) << 4 | y2 >> 8),
            BYTE(y2)};
}

std::vector<BYTE> Join(std::initializer_list<std::vector<BYTE>> parts)
{
    std::vector<BYTE> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A unit of the area at (100, 50) sized w x h, pixel value 1 shown (colour
// 3, opaque), shown at +0 and hidden at +delay.
std::vector<BYTE> SimpleUnit(UnitWriter& writer, int delay = 88)
{
    std::vector<BYTE> start = Join(
        {{1, 3, 0x32, 0x10, 4, 0xFF, 0xF0}, Area(100, 100 + writer.w - 1, 50, 50 + writer.h - 1), {6, 0, 0, 0, 0}});
    return writer.Build({{0, start}, {delay, {2}}});
}

TEST(SubpictureUnit, ParsesTimesColoursAlphaAndCropsToEvenSizes)
{
    // Visible pixels in columns 5..305 and rows 3..43 of a 400 x 60 area.
    UnitWriter writer(400, 60, 0);
    for (int y = 3; y <= 43; y++)
        for (int x = 5; x <= 305; x++)
            writer.Set(x, y, 1);
    std::vector<BYTE> bytes = SimpleUnit(writer);
    CSubpictureUnit unit;
    ASSERT_EQ(unit.Parse(bytes.data(), DWORD(bytes.size()), 2000), 1);
    EXPECT_EQ(unit.startTime, 2000);
    EXPECT_EQ(unit.endTime, 3000); // a delay of 88 is one second
    EXPECT_EQ(unit.alpha[3], 255); // contrast nibble 15
    EXPECT_EQ(unit.alpha[2], 255);
    EXPECT_EQ(unit.alpha[1], 255);
    EXPECT_EQ(unit.alpha[0], 0);
    EXPECT_EQ(unit.colourIndex[1], 1);
    EXPECT_EQ(unit.colourIndex[2], 2);
    BYTE palette[16][4] = {};
    palette[1][1] = 200, palette[1][2] = 90, palette[1][3] = 60;
    unit.BuildPicture(palette);
    EXPECT_EQ(unit.x, 104);
    EXPECT_EQ(unit.y, 52);
    EXPECT_EQ(unit.width, 302);
    EXPECT_EQ(unit.height, 42);
    PicturePlanes p;
    unit.decoded->GetPlanes(&p);
    // Column 1 of the cropped picture is area column 5, row 1 area row 3.
    EXPECT_EQ(p.pY[1 * 302 + 1], 200);
    EXPECT_EQ(p.pV[1 * 302 + 1], 90);
    EXPECT_EQ(p.pU[1 * 302 + 1], 60);
    EXPECT_EQ(p.pA[1 * 302 + 1], 255);
    EXPECT_EQ(p.pA[0], 0);
}

TEST(SubpictureUnit, FullyTransparentUnitIsCroppedToNothing)
{
    UnitWriter writer(16, 8, 0);
    std::vector<BYTE> bytes = SimpleUnit(writer);
    CSubpictureUnit unit;
    ASSERT_EQ(unit.Parse(bytes.data(), DWORD(bytes.size()), 100), 1);
    BYTE palette[16][4] = {};
    unit.BuildPicture(palette);
    EXPECT_EQ(unit.width, 0);
    EXPECT_EQ(unit.height, 0);
}

TEST(SubpictureUnit, DamagedUnitsAreRefused)
{
    UnitWriter writer(16, 8, 1);
    std::vector<BYTE> setup = Join({{1, 3, 0x33, 0x21, 4, 0xFF, 0xF0}, Area(100, 115, 50, 57), {6, 0, 0, 0, 0}});
    struct Case
    {
        const char* what;
        std::vector<BYTE> bytes;
        int result;
    };
    std::vector<std::pair<int, std::vector<BYTE>>> many;
    for (int i = 0; i < 256; i++)
        many.push_back({i, i == 0 ? setup : std::vector<BYTE>{i == 255 ? BYTE(2) : BYTE(0)}});
    std::vector<std::pair<int, std::vector<BYTE>>> enough(many.begin() + 1, many.end());
    enough[0].second = setup;
    Case cases[] = {
        {"well formed", writer.Build({{0, setup}, {10, {2}}}), 1},
        {"next points to itself: the unit ends there", writer.Build({{0, Join({{2}, setup})}, {10, {1}}}, {-1, -1}), 1},
        {"no stop command", writer.Build({{0, setup}}), -1},
        {"area with x2 < x1", writer.Build({{0, Join({Area(115, 100, 50, 57), {2}, setup})}}), -1},
        {"area with y2 < y1", writer.Build({{0, Join({Area(100, 115, 57, 50), {2}, setup})}}), -1},
        {"a loop back to the first sequence", writer.Build({{0, setup}, {10, {0}}, {20, {2}}}, {1, 0, -1}), -1},
        {"256 sequences", writer.Build(many), -1},
        {"255 sequences", writer.Build(enough), 1},
    };
    for (const Case& c : cases)
    {
        CSubpictureUnit unit;
        EXPECT_EQ(unit.Parse(c.bytes.data(), DWORD(c.bytes.size()), 1000), c.result) << c.what;
    }
    std::vector<BYTE> good = cases[0].bytes;
    for (DWORD cut = 0; cut < good.size(); cut++)
    {
        CSubpictureUnit unit;
        EXPECT_EQ(unit.Parse(good.data(), cut, 1000), -1) << "cut at " << cut;
    }
}

TEST(SubpictureDecoder, UnitSplitAtAnyByteAcrossTwoPacketsIsAssembled)
{
    UnitWriter writer(32, 16, 1);
    std::vector<BYTE> bytes = SimpleUnit(writer);
    for (size_t cut = 1; cut < bytes.size(); cut++)
    {
        CSubpictureDecoder decoder;
        ASSERT_EQ(decoder.AddPacket(bytes.data(), DWORD(cut), 500), 0) << cut;
        ASSERT_EQ(decoder.AddPacket(bytes.data() + cut, DWORD(bytes.size() - cut), 0), 1) << cut;
        ASSERT_NE(decoder.GetUnits(), nullptr);
        EXPECT_EQ(decoder.GetUnits()->startTime, 500);
        EXPECT_EQ(decoder.GetUnits()->width, 32);
    }
    CSubpictureDecoder decoder;
    // A packet without a time cannot start a unit.
    EXPECT_EQ(decoder.AddPacket(bytes.data(), DWORD(bytes.size()), 0), -1);
    EXPECT_EQ(decoder.GetUnits(), nullptr);
    // A new time discards a partial unit.
    EXPECT_EQ(decoder.AddPacket(bytes.data(), 10, 300), 0);
    EXPECT_EQ(decoder.AddPacket(bytes.data(), DWORD(bytes.size()), 700), 1);
    EXPECT_EQ(decoder.GetUnits()->startTime, 700);
}

TEST(SubpictureDecoder, RenderBlendsDueUnitsAndDropsExpiredOnes)
{
    UnitWriter writer(32, 16, 1);
    std::vector<BYTE> bytes = SimpleUnit(writer, 88);
    CSubpictureDecoder decoder;
    DWORD palette[16] = {};
    BYTE white[4] = {0, 235, 128, 128};
    std::memcpy(&palette[1], white, 4);
    decoder.SetPalette(palette);
    ASSERT_EQ(decoder.AddPacket(bytes.data(), DWORD(bytes.size()), 1000), 1);
    CVideoPicture picture;
    picture.SetFormat(352, 288, kPicYuv420, kPicProgressive);
    PicturePlanes p;
    picture.GetPlanes(&p);
    auto clear = [&] { std::memset(p.pY, 16, size_t(p.width) * p.height); };
    clear();
    decoder.Render(&picture, 999);
    EXPECT_EQ(p.pY[60 * 352 + 110], 16) << "before its start";
    decoder.Render(&picture, 1000);
    EXPECT_NEAR(p.pY[60 * 352 + 110], 235, 1);
    EXPECT_EQ(p.pY[49 * 352 + 110], 16) << "outside its area";
    clear();
    decoder.Render(&picture, 2000);
    EXPECT_EQ(p.pY[60 * 352 + 110], 16) << "at its end";
    EXPECT_EQ(decoder.GetUnits(), nullptr);
}

// ---- the fixture discs ------------------------------------------------------

uint32_t Be32(const std::vector<BYTE>& b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// The colour table of a title set's first title program chain.
void ReadPalette(const std::string& ifo, DWORD* palette)
{
    std::vector<BYTE> bytes;
    std::FILE* f = std::fopen(ifo.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    BYTE buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    size_t table = size_t(Be32(bytes, 0xCC)) * 2048;
    size_t pgc = table + Be32(bytes, table + 8 + 4);
    std::memcpy(palette, bytes.data() + pgc + 0xA4, 64);
}

struct Drawn
{
    uint64_t stamp;
    int top, bottom, left, right; // rows and columns that differ; top -1 none
};

// Decodes a title VOB twice, without and with the sub-picture stream, and
// gives the box of pixels the sub-picture changed in each picture.
std::vector<Drawn> DrawnBoxes(const std::string& fixture, const std::string& vob, int subStream)
{
    InitRefIdct();
    g_pfnIdct = RefIdct;
    std::vector<Drawn> drawn;
    kxtest::SectorExtentStream s1(std::vector<kxtest::SectorExtent>{{kxtest::FixturePath(fixture, vob), 0, -1}});
    kxtest::SectorExtentStream s2(std::vector<kxtest::SectorExtent>{{kxtest::FixturePath(fixture, vob), 0, -1}});
    CMpegVideoDecoder plain, sub;
    MpegVideoInitAttributes a;
    a.pStream = &s1;
    EXPECT_TRUE(plain.Init(a));
    a.pStream = &s2;
    a.nSubpictureStream = subStream;
    // Title VOBs take their title set's palette; a menu's is not needed.
    if (vob.find("VTS_") != std::string::npos)
        ReadPalette(kxtest::FixturePath(fixture, vob.substr(0, vob.size() - 5) + "0.IFO"), a.palette);
    EXPECT_TRUE(sub.Init(a));
    EXPECT_TRUE(plain.Start(false, false, 0));
    EXPECT_TRUE(sub.Start(false, false, 0));
    CVideoPicture *p1 = nullptr, *p2 = nullptr;
    while (plain.GetNextPicture(&p1) && sub.GetNextPicture(&p2))
    {
        PicturePlanes a1, a2;
        p1->GetPlanes(&a1);
        p2->GetPlanes(&a2);
        Drawn d{p2->GetTimeStamp(), -1, -1, int(a1.width), -1};
        for (int y = 0; y < int(a1.height); y++)
            for (int x = 0; x < int(a1.width); x++)
                if (a1.pY[size_t(y) * a1.width + x] != a2.pY[size_t(y) * a1.width + x])
                {
                    if (d.top < 0)
                        d.top = y;
                    d.bottom = y;
                    d.left = std::min(d.left, x);
                    d.right = std::max(d.right, x);
                }
        drawn.push_back(d);
        p1->Release();
        p2->Release();
    }
    return drawn;
}

// The pictures that show a sub-picture: first and last index of each run.
std::vector<std::pair<size_t, size_t>> Runs(const std::vector<Drawn>& drawn)
{
    std::vector<std::pair<size_t, size_t>> runs;
    for (size_t i = 0; i < drawn.size(); i++)
    {
        if (drawn[i].top < 0)
            continue;
        if (!runs.empty() && runs.back().second + 1 == i)
            runs.back().second = i;
        else
            runs.push_back({i, i});
    }
    return runs;
}

TEST(SubpictureFixtures, Pal1SubtitlesAreDrawnInTheirIntervalsAtTheirBoxes)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    std::vector<Drawn> drawn = DrawnBoxes("pal1", "VIDEO_TS/VTS_01_1.VOB", 0x20);
    auto runs = Runs(drawn);
    ASSERT_EQ(runs.size(), 2u);
    // 0.5 s to 1.8 s and 3 s to 5 s at 25 pictures a second.
    EXPECT_NEAR(double(runs[0].second - runs[0].first + 1), 1.3 * 25, 1.0);
    EXPECT_NEAR(double(runs[1].second - runs[1].first + 1), 2.0 * 25, 1.0);
    EXPECT_NEAR(double(drawn[runs[1].first].stamp - drawn[runs[0].first].stamp) / 27e6, 2.5, 0.05);
    // Boxes of the recipe: 100:440 520 x 60 and 160:80 400 x 48; a blended
    // edge may leave a row or column of the box unchanged.
    const Drawn& a = drawn[runs[0].first];
    EXPECT_NEAR(a.left, 100, 1);
    EXPECT_NEAR(a.right, 619, 1);
    EXPECT_NEAR(a.top, 440, 1);
    EXPECT_NEAR(a.bottom, 499, 1);
    const Drawn& b = drawn[runs[1].first];
    EXPECT_NEAR(b.left, 160, 1);
    EXPECT_NEAR(b.right, 559, 1);
    EXPECT_NEAR(b.top, 80, 1);
    EXPECT_NEAR(b.bottom, 127, 1);
}

TEST(SubpictureFixtures, TwovtsStreamsDrawTheirOwnBoxes)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    std::vector<Drawn> wide = DrawnBoxes("twovts", "VIDEO_TS/VTS_02_1.VOB", 0x20);
    std::vector<Drawn> letterbox = DrawnBoxes("twovts", "VIDEO_TS/VTS_02_1.VOB", 0x21);
    auto w = Runs(wide), l = Runs(letterbox);
    ASSERT_EQ(w.size(), 1u);
    ASSERT_EQ(l.size(), 1u);
    EXPECT_NEAR(wide[w[0].first].top, 380, 1);
    EXPECT_NEAR(wide[w[0].first].bottom, 429, 1);
    EXPECT_NEAR(letterbox[l[0].first].top, 300, 1);
    EXPECT_NEAR(letterbox[l[0].first].bottom, 339, 1);
}

TEST(SubpictureFixtures, MenuHighlightUnitsWithoutStopAreDiscarded)
{
    KX_REQUIRE_FIXTURE(dir, "ntscmenu");
    std::vector<Drawn> drawn = DrawnBoxes("ntscmenu", "VIDEO_TS/VIDEO_TS.VOB", 0x20);
    ASSERT_FALSE(drawn.empty());
    EXPECT_TRUE(Runs(drawn).empty());
}
}
