// The show animation's arithmetic: kinds at reset, stepping against a clock,
// and the per-pixel frames over bottom-up buffers.
#include "uitoolkit/core/ExtPopupAnimation.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

int g_nNextRand = 0;
int FixedRand()
{
    return g_nNextRand;
}

TEST(ExtPopupAnimation, FadeStepsFivePercentagesAndFinishesOnTheSixthTick)
{
    CExtPopupAnimation a;
    a.Kind = CExtPopupAnimation::AnimationFade;
    a.Reset(32, FixedRand);
    EXPECT_FALSE(a.Finished);
    std::vector<int> seen;
    clock_t t = 1000;
    for (int tick = 1; tick <= 5; ++tick, t += 30)
    {
        EXPECT_FALSE(a.Step(t + 30, t)) << tick;
        seen.push_back(a.Percent);
    }
    EXPECT_EQ(seen, (std::vector<int>{20, 40, 60, 80, 100}));
    EXPECT_EQ(a.PreviousPercent, 80);
    EXPECT_TRUE(a.Step(t + 30, t));
    EXPECT_TRUE(a.Finished);
    EXPECT_FALSE(a.Step(t + 60, t + 30)); // finished: nothing more
}

TEST(ExtPopupAnimation, KindsAtReset)
{
    struct Case
    {
        int kind, bpp, rand;
        int kindAfter;
        bool finished;
    };
    const Case cases[] = {
        {CExtPopupAnimation::AnimationRandom, 32, 0, CExtPopupAnimation::AnimationFade, false},
        {CExtPopupAnimation::AnimationRandom, 32, 1, CExtPopupAnimation::AnimationFade, false},
        {CExtPopupAnimation::AnimationRandom, 32, 12, CExtPopupAnimation::AnimationFade, false}, // 12 % 11 = 1
        {CExtPopupAnimation::AnimationRandom, 32, 2, CExtPopupAnimation::AnimationRoll, false},
        {CExtPopupAnimation::AnimationRandom, 32, 21, CExtPopupAnimation::AnimationHoles, false},
        {CExtPopupAnimation::AnimationFade, 8, 0, CExtPopupAnimation::AnimationNone, true},
        {CExtPopupAnimation::AnimationInstant, 8, 0, CExtPopupAnimation::AnimationInstant, false},
        {CExtPopupAnimation::AnimationExpand, 4, 0, CExtPopupAnimation::AnimationExpand, false},
        {CExtPopupAnimation::AnimationNone, 32, 0, CExtPopupAnimation::AnimationNone, true},
        {11, 32, 0, CExtPopupAnimation::AnimationNone, true},
        {-3, 32, 0, CExtPopupAnimation::AnimationNone, true},
    };
    for (const Case& c : cases)
    {
        CExtPopupAnimation a;
        a.Kind = c.kind;
        a.Percent = 60;
        g_nNextRand = c.rand;
        a.Reset(c.bpp, FixedRand);
        EXPECT_EQ(a.Kind, c.kindAfter) << c.kind << " at " << c.bpp << " bpp, rand " << c.rand;
        EXPECT_EQ(a.Finished, c.finished) << c.kind;
        EXPECT_EQ(a.Percent, 0);
    }
}

TEST(ExtPopupAnimation, InstantAndLateSteps)
{
    CExtPopupAnimation a;
    a.Kind = CExtPopupAnimation::AnimationInstant;
    a.Reset(32, FixedRand);
    EXPECT_TRUE(a.Step(30, 0));

    // a step that comes less than half a period after the previous one
    // may not push the percent past 100 + 20 per elapsed period
    CExtPopupAnimation b;
    b.Kind = CExtPopupAnimation::AnimationBoxes;
    b.Reset(32, FixedRand);
    b.Percent = 100;
    EXPECT_TRUE(b.Step(10, 0));
    EXPECT_EQ(b.Percent, 101);
}

struct Buffers
{
    static constexpr int W = 64, H = 40;
    std::vector<DWORD> bg = std::vector<DWORD>(W * H, 0x204060);
    std::vector<DWORD> fin = std::vector<DWORD>(W * H, 0xF0C080);
    std::vector<DWORD> out = std::vector<DWORD>(W * H, 0x010203);
    CExtPopupAnimation::Surfaces s;
    Buffers()
    {
        s.Background = bg.data();
        s.Finished = fin.data();
        s.Output = out.data();
        s.Width = W;
        s.Height = H;
    }
    DWORD At(int x, int yFromBottom) const { return out[size_t(yFromBottom) * W + x]; }
};

TEST(ExtPopupAnimation, FadeMixesPerChannel)
{
    Buffers b;
    b.bg[5] = 0x000000;
    b.fin[5] = 0xFFFFFF;
    EXPECT_TRUE(CExtPopupAnimation::ComposeFade(b.s, 40));
    // (bg * 60 + fin * 40) / 100: 0x20 -> (32 * 60 + 240 * 40) / 100 = 115
    EXPECT_EQ(b.out[0], DWORD((115 << 16) | (((0x40 * 60 + 0xC0 * 40) / 100) << 8) | ((0x60 * 60 + 0x80 * 40) / 100)));
    EXPECT_EQ(b.out[5], 0x666666u); // 255 * 40 / 100 = 102
}

TEST(ExtPopupAnimation, BoxesAtEightyPercent)
{
    Buffers b;
    EXPECT_TRUE(CExtPopupAnimation::ComposeBoxes(b.s, 80, 60));
    for (int cell = 0; cell < 2; ++cell)
        for (int y = 0; y < 32 && y < Buffers::H; ++y)
            for (int x = 0; x < 32; ++x)
            {
                const bool menu = y <= 6 && x <= 25;
                ASSERT_EQ(b.At(cell * 32 + x, y), menu ? 0xF0C080u : 0x204060u) << x << "," << y;
            }
    b.out.assign(b.out.size(), 0x010203);
    EXPECT_FALSE(CExtPopupAnimation::ComposeBoxes(b.s, 80, 80));
    EXPECT_EQ(b.out[0], 0x010203u);
}

TEST(ExtPopupAnimation, CirclesGrowAndHolesShrink)
{
    Buffers b;
    EXPECT_TRUE(CExtPopupAnimation::ComposeCircles(b.s, 50, 40, false)); // radius 8
    EXPECT_EQ(b.At(16, 16), 0xF0C080u);
    EXPECT_EQ(b.At(16 + 7, 16), 0xF0C080u);
    EXPECT_EQ(b.At(16 + 8, 16), 0x204060u);
    EXPECT_EQ(b.At(0, 0), 0x204060u);

    EXPECT_TRUE(CExtPopupAnimation::ComposeCircles(b.s, 50, 40, true)); // holes of radius 8
    EXPECT_EQ(b.At(48, 16), 0x204060u);
    EXPECT_EQ(b.At(0, 0), 0xF0C080u);

    // at 100 percent the holes have closed: the previous frame stays
    b.out.assign(b.out.size(), 0x010203);
    EXPECT_TRUE(CExtPopupAnimation::ComposeCircles(b.s, 100, 80, true));
    EXPECT_EQ(b.out, std::vector<DWORD>(b.out.size(), 0x010203));
    EXPECT_FALSE(CExtPopupAnimation::ComposeCircles(b.s, 80, 80, false));
}

TEST(ExtPopupAnimation, NoiseCopiesWhereTheDrawPassesTheThreshold)
{
    Buffers b;
    g_nNextRand = 12; // 12 % 20 > 20 / 2 + 1
    EXPECT_TRUE(CExtPopupAnimation::ComposeNoise(b.s, 40, 20, FixedRand));
    EXPECT_EQ(b.out, b.fin);
    b.out.assign(b.out.size(), 0x010203);
    g_nNextRand = 11;
    EXPECT_TRUE(CExtPopupAnimation::ComposeNoise(b.s, 60, 40, FixedRand));
    EXPECT_EQ(b.out[0], 0x010203u);
    EXPECT_FALSE(CExtPopupAnimation::ComposeNoise(b.s, 60, 60, FixedRand));
}

TEST(ExtPopupAnimation, RollAndStretchGeometry)
{
    int dx = 0, dy = 0, cw = 0, ch = 0;
    CExtPopupAnimation::RollOffset(40, 200, 100, true, dx, dy);
    EXPECT_EQ(dx, 120);
    EXPECT_EQ(dy, 60);
    CExtPopupAnimation::RollOffset(40, 200, 100, false, dx, dy);
    EXPECT_EQ(dx, 0);
    CExtPopupAnimation::StretchSize(40, 200, 100, true, cw, ch);
    EXPECT_EQ(cw, 80);
    EXPECT_EQ(ch, 40);
    CExtPopupAnimation::StretchSize(40, 200, 100, false, cw, ch);
    EXPECT_EQ(cw, 200);
}

} // namespace
