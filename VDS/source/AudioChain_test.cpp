#include "VDS/source/AudioChain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace
{

// Produces the given pieces one per call, each filled with a running byte
// count, then 0.
class CScriptedSource : public CAudioSource
{
public:
    explicit CScriptedSource(std::vector<uint32_t> pieces) : m_pieces(std::move(pieces)) {}
    int Produce(BYTE* pDest) override
    {
        if (m_next >= m_pieces.size())
            return 0;
        uint32_t n = m_pieces[m_next++];
        for (uint32_t i = 0; i < n; i++)
            pDest[i] = BYTE(m_count++ % 251 + 1);
        return int(n);
    }
    uint32_t GetMaxProduce() const override
    {
        uint32_t m = 0;
        for (uint32_t p : m_pieces)
            m = std::max(m, p);
        return m;
    }

private:
    std::vector<uint32_t> m_pieces;
    size_t m_next = 0;
    uint64_t m_count = 0;
};

TEST(AudioBuffer, KeepsRoomForTheLargestPullAboveItsThreshold)
{
    // 255,999 bytes held, then one pull of 1.5 s at 48 kHz.
    CScriptedSource source({255999, 288000, 1000});
    CAudioBuffer buffer;
    buffer.Init(&source, 256000, 1);
    BYTE* p = nullptr;
    EXPECT_EQ(buffer.Read(&p, 2000), 288000);
    EXPECT_EQ(buffer.nFilled, 255999u + 288000u);
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[1999], BYTE(1999 % 251 + 1));
}

TEST(AudioBuffer, AfterTheSourceEndsItHandsOutSilenceNeverStaleBytes)
{
    CScriptedSource source({3000});
    CAudioBuffer buffer;
    buffer.Init(&source, 2000, 2);
    BYTE* p = nullptr;
    buffer.Read(&p, 2000);
    EXPECT_EQ(p[1999], BYTE(1999 % 251 + 1));
    // 1,000 bytes left: they come first, then silence.
    EXPECT_EQ(buffer.Read(&p, 2000), 0);
    EXPECT_EQ(p[0], BYTE(2000 % 251 + 1));
    EXPECT_EQ(p[999], BYTE(2999 % 251 + 1));
    for (int i = 1000; i < 2000; i++)
        ASSERT_EQ(p[i], 0) << i;
    for (int n = 0; n < 3; n++)
    {
        EXPECT_EQ(buffer.Read(&p, 2000), 0);
        for (int i = 0; i < 2000; i++)
            ASSERT_EQ(p[i], 0) << i;
        EXPECT_LE(buffer.nReadPos, buffer.nFilled);
    }
}

TEST(CompressorStage, SwitchedOffPassesItsBlockUnchanged)
{
    CScriptedSource source({40000});
    CAudioBuffer buffer;
    buffer.Init(&source, 2000, 20);
    CCompressorStage stage;
    stage.SetSource(&buffer);
    std::vector<BYTE> out(CCompressorStage::BLOCK);
    EXPECT_EQ(stage.Produce(out.data()), 2000);
    for (int i = 0; i < 2000; i++)
        ASSERT_EQ(out[size_t(i)], BYTE(i % 251 + 1));
}

// Endless stereo sine at a given rate and amplitude.
class CSineSource : public CAudioSource
{
public:
    CSineSource(double freq, double rate, double amplitude) : m_step(freq / rate), m_amp(amplitude) {}
    int Produce(BYTE* pDest) override
    {
        int16_t* s = reinterpret_cast<int16_t*>(pDest);
        for (int i = 0; i < 1000; i++, m_phase += m_step)
            s[2 * i] = s[2 * i + 1] = int16_t(std::lround(m_amp * std::sin(2 * 3.14159265358979 * m_phase)));
        return 4000;
    }
    uint32_t GetMaxProduce() const override { return 4000; }

private:
    double m_step, m_amp;
    double m_phase = 0;
};

TEST(CompressorStage, SwitchedOnRaisesAQuietPassage)
{
    CSineSource source(440, 48000, 100);
    CAudioBuffer buffer;
    buffer.Init(&source, 2000, 20);
    CCompressorStage stage;
    stage.SetSource(&buffer);
    stage.SetSwitch(true);
    std::vector<BYTE> out(CCompressorStage::BLOCK);
    int peak = 0;
    for (int n = 0; n < 100; n++)
    {
        stage.Produce(out.data());
        peak = 0;
        const int16_t* s = reinterpret_cast<const int16_t*>(out.data());
        for (int i = 0; i < 1000; i++)
            peak = std::max(peak, std::abs(int(s[i])));
    }
    EXPECT_GT(peak, 150);
    EXPECT_LT(peak, 32767);
}

TEST(Resampler, From44100To48000)
{
    CSineSource source(1000, 44100, 10000);
    CAudioBuffer in;
    in.Init(&source, 4096, 10);
    CResampler resampler(48000.0 / 44100.0, 2, &in);
    resampler.Init();
    std::vector<BYTE> out(resampler.GetMaxProduce());

    // The first call starts at the first input sample after ten of history
    // and runs while a next sample exists among the 4,086 held.
    const uint32_t step = uint32_t(32768.0 / (48000.0 / 44100.0) + 0.5);
    int expected = 0;
    for (uint64_t pos = 10u << 15; (pos >> 15) + 1 < 4086; pos += step)
        expected++;
    EXPECT_EQ(resampler.Produce(out.data()), expected * 4);

    std::vector<int16_t> left;
    long total = 0;
    const int calls = 20;
    for (int n = 0; n < calls; n++)
    {
        int bytes = resampler.Produce(out.data());
        total += bytes / 4;
        const int16_t* s = reinterpret_cast<const int16_t*>(out.data());
        for (int i = 0; i < bytes / 4; i++)
        {
            ASSERT_EQ(s[2 * i], s[2 * i + 1]);
            left.push_back(s[2 * i]);
        }
    }
    EXPECT_NEAR(double(total), calls * 4076.0 * 32768 / step, 2.0);

    // The sine keeps its frequency: count rising zero crossings at 48 kHz.
    int crossings = 0;
    size_t firstCross = 0, lastCross = 0;
    for (size_t i = 1; i < left.size(); i++)
        if (left[i - 1] < 0 && left[i] >= 0)
        {
            if (crossings++ == 0)
                firstCross = i;
            lastCross = i;
        }
    double freq = (crossings - 1) * 48000.0 / double(lastCross - firstCross);
    EXPECT_NEAR(freq, 1000.0 * 32768 / step / (48000.0 / 44100.0), 0.5);
    EXPECT_NEAR(freq, 1000.0, 2.0);
}

TEST(Resampler, ReturnsNothingWhenTheSourceEnded)
{
    CScriptedSource source({});
    CAudioBuffer in;
    in.Init(&source, 4096, 10);
    CResampler resampler(48000.0 / 32000.0, 2, &in);
    resampler.Init();
    std::vector<BYTE> out(resampler.GetMaxProduce());
    EXPECT_EQ(resampler.Produce(out.data()), 0);
}

} // namespace
