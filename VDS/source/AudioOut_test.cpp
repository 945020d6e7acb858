#include "VDS/source/AudioOut.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

const CAudioOutFormat kFormat = {2, 48000, 32768};

// Installs a capture device for the test's lifetime.
struct CaptureScope
{
    CCaptureAudioDevice device;
    CAudioDevice* previous;
    CaptureScope() : previous(SetAudioDevice(&device)) {}
    ~CaptureScope()
    {
        CloseWaveOut();
        SetAudioDevice(previous == PlatformAudioDevice() ? nullptr : previous);
    }
};

std::vector<BYTE> Block(int n)
{
    std::vector<BYTE> b(kFormat.nBlockSize);
    for (size_t i = 0; i < b.size(); i++)
        b[i] = BYTE(i * 7 + size_t(n) * 13);
    return b;
}

TEST(AudioOut, LatencyCountsTheQueuedBuffers)
{
    CaptureScope scope;
    scope.device.SetStalled(true);
    ASSERT_TRUE(OpenWaveOut(kFormat));
    EXPECT_EQ(GetWaveOutLatency(kFormat), 0u);
    ASSERT_TRUE(WriteWaveOut(kFormat, Block(0).data()));
    EXPECT_EQ(GetWaveOutLatency(kFormat), 2u * 16384 * 1000 / (2 * 48000 * 2));
    for (int i = 1; i < 10; i++)
        ASSERT_TRUE(WriteWaveOut(kFormat, Block(i).data()));
    EXPECT_EQ(GetWaveOutLatency(kFormat), 1706u);
}

TEST(AudioOut, ABlockTakesTwoBuffersInIndexOrder)
{
    CaptureScope scope;
    scope.device.SetStalled(true);
    ASSERT_TRUE(OpenWaveOut(kFormat));
    ASSERT_TRUE(WriteWaveOut(kFormat, Block(0).data()));
    EXPECT_EQ(scope.device.GetQueueOrder(), (std::vector<int>{0, 1}));
    ASSERT_TRUE(WriteWaveOut(kFormat, Block(1).data()));
    EXPECT_EQ(scope.device.GetQueueOrder(), (std::vector<int>{0, 1, 2, 3}));
}

TEST(AudioOut, BlockSizeMustBeAMultipleOf16K)
{
    CaptureScope scope;
    CAudioOutFormat odd = kFormat;
    odd.nBlockSize = 20000;
    EXPECT_FALSE(OpenWaveOut(odd));
    // Nothing was opened: writing fails and nothing is queued.
    EXPECT_FALSE(WriteWaveOut(odd, Block(0).data()));
    EXPECT_TRUE(scope.device.GetQueueOrder().empty());
}

TEST(AudioOut, PlaysInOrderAtTheDevicePace)
{
    CaptureScope scope;
    ASSERT_TRUE(OpenWaveOut(kFormat));
    // 12 blocks need 24 buffers: the last ones wait until played ones come back.
    std::vector<BYTE> all;
    for (int i = 0; i < 12; i++)
    {
        auto b = Block(i);
        ASSERT_TRUE(WriteWaveOut(kFormat, b.data()));
        all.insert(all.end(), b.begin(), b.end());
    }
    auto captured = scope.device.GetCaptured();
    ASSERT_GE(captured.size(), 4u * 16384);
    EXPECT_TRUE(std::equal(captured.begin(), captured.end(), all.begin()));
    EXPECT_LE(GetWaveOutLatency(kFormat), 1706u);
}

TEST(AudioOut, AStalledDeviceMakesWriteGiveUpAndClose)
{
    CaptureScope scope;
    scope.device.SetStalled(true);
    ASSERT_TRUE(OpenWaveOut(kFormat));
    for (int i = 0; i < 10; i++)
        ASSERT_TRUE(WriteWaveOut(kFormat, Block(i).data()));
    // All 20 buffers queued and none coming back: bounded wait, then failure.
    EXPECT_FALSE(WriteWaveOut(kFormat, Block(10).data()));
    EXPECT_EQ(GetWaveOutLatency(kFormat), 0u);
    EXPECT_FALSE(WriteWaveOut(kFormat, Block(11).data()));
}

TEST(AudioOut, PlatformDeviceOpensOrFailsWithoutHanging)
{
    CAudioDevice* device = PlatformAudioDevice();
    if (!device->Open(kFormat))
    {
        EXPECT_FALSE(device->Write(kFormat, Block(0).data()));
        return;
    }
    std::vector<BYTE> silence(kFormat.nBlockSize, 0);
    device->Write(kFormat, silence.data());
    device->Reset();
    device->Close();
    EXPECT_EQ(device->GetLatency(kFormat), 0u);
}

} // namespace
