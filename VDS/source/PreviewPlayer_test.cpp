#include "VDS/source/PreviewPlayer.h"

#include "tests/support/ByteStreams.h"
#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <vector>

namespace
{

const WORD kAc3 = 0x80BD, kLayer2 = 0xC0, kLpcm = 0xA0BD;
const DWORD kPalette[16] = {};

struct Recorded
{
    int32_t code;
    DWORD flag;
    int64_t due;   // picture events: the picture's time, 0.1 ms
    int64_t clock; // the player's clock when the event came
    DWORD period;
};

// Collects every event the client sees, with the picture's time and the
// clock's reading; a hook may act on each picture during its event.
class Recorder : public CPlayerCallbackBase
{
public:
    CPreviewPlayer* player = nullptr;
    std::function<void(CVideoPicture*, Recorded&)> onPicture;

    int64_t Invoke(const CPlayerEvent* event) override
    {
        Recorded r = {event->code, event->flag, 0, player ? player->GetClock().GetTime() : 0, 0};
        if (event->code == kPlayerPicture)
        {
            CVideoPicture* picture = reinterpret_cast<CVideoPicture*>(uintptr_t(event->value));
            r.due = int64_t(picture->GetTimeStamp() / 2700);
            r.period = picture->GetFramePeriod();
            if (onPicture)
                onPicture(picture, r);
        }
        std::lock_guard<std::mutex> hold(m_mutex);
        m_events.push_back(r);
        m_changed.notify_all();
        return 0;
    }

    // Waits until the events seen hold count events of a code.
    void WaitFor(int32_t code, size_t count = 1)
    {
        std::unique_lock<std::mutex> hold(m_mutex);
        m_changed.wait(hold, [&] { return Count(code) >= count; });
    }
    size_t CountOf(int32_t code)
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        return Count(code);
    }
    std::vector<Recorded> Take()
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        std::vector<Recorded> events;
        events.swap(m_events);
        return events;
    }
    std::vector<int32_t> Codes()
    {
        std::vector<int32_t> codes;
        for (const Recorded& r : Take())
            codes.push_back(r.code);
        return codes;
    }

private:
    size_t Count(int32_t code) const
    {
        size_t n = 0;
        for (const Recorded& r : m_events)
            n += r.code == code;
        return n;
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Recorded> m_events;
};

// Installs a device for the player's audio thread, which opens it when the
// player is built.
class DeviceScope
{
public:
    explicit DeviceScope(CAudioDevice* device) : m_previous(SetAudioDevice(device)) {}
    ~DeviceScope() { SetAudioDevice(m_previous); }

private:
    CAudioDevice* m_previous;
};

std::string Vob(const std::string& fixture, int titleSet)
{
    char name[32];
    std::snprintf(name, sizeof name, "VIDEO_TS/VTS_%02d_1.VOB", titleSet);
    return kxtest::FixturePath(fixture, name);
}

using Codes = std::vector<int32_t>;

TEST(PlayerLevel, PeakOfWholeStereoFrames)
{
    const int16_t samples[] = {100, -300, -20000, -20001, 32767, 32767, 5, 7};
    EXPECT_EQ(0, GetPeakLevel(reinterpret_cast<const BYTE*>(samples), 3));
    EXPECT_EQ(100, GetPeakLevel(reinterpret_cast<const BYTE*>(samples), 4));    // (100 - 300) / 2
    EXPECT_EQ(20000, GetPeakLevel(reinterpret_cast<const BYTE*>(samples), 11)); // toward zero
    EXPECT_EQ(32767, GetPeakLevel(reinterpret_cast<const BYTE*>(samples), 16));
}

TEST(PlaybackClock, ManualModeHoldsWhatWasSet)
{
    CPlaybackClock clock(1);
    EXPECT_TRUE(clock.Init());
    clock.SetTime(int64_t(1) << 40);
    EXPECT_EQ(int64_t(1) << 40, clock.GetTime());

    CPlaybackClock counter(0);
    ASSERT_TRUE(counter.Init());
    counter.SetTime(-5000);
    const int64_t a = counter.GetTime();
    EXPECT_GE(a, -5000);
    EXPECT_LE(counter.GetTime() - a, 10000 * 60) << "the split product keeps the clock continuous";
}

TEST(PreviewPlayer, EventSequencesWhileIdleAndOnClose)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    CNullAudioDevice none;
    DeviceScope scope(&none);
    kxtest::SectorExtentStream stream(Vob("pal1", 1)), other(Vob("pal1", 1));
    Recorder client, second;
    CPreviewPlayer player(1);
    client.player = &player;

    EXPECT_FALSE(player.Open(nullptr, false, kPalette, &client));
    ASSERT_TRUE(player.Open(&stream, false, kPalette, &client));
    EXPECT_EQ(Codes{}, client.Codes());

    // A seek shows one picture and leaves the video idle.
    player.Seek(100 * 2048);
    client.WaitFor(kPlayerPicture);
    player.SetAudioStream(kLayer2); // idle: only the selection changes
    client.WaitFor(kPlayerAudioSet);
    player.SetSubpictureStream(0x21);
    client.WaitFor(kPlayerSubpictureSet);
    Codes codes = client.Codes();
    std::sort(codes.begin() + 1, codes.end()); // the two setters run on different threads
    EXPECT_EQ((Codes{kPlayerPicture, kPlayerSubpictureSet, kPlayerAudioSet}), codes);

    // Opening a second cell closes the first.
    ASSERT_TRUE(player.Open(&other, false, kPalette, &second));
    EXPECT_EQ(Codes{kPlayerClosed}, client.Codes());
    EXPECT_TRUE(player.Close());
    EXPECT_EQ(Codes{kPlayerClosed}, second.Codes());
    player.Seek(0); // closed: nothing happens
    player.Play();
    EXPECT_EQ(Codes{}, second.Codes());
}

TEST(PreviewPlayer, SeekWhilePlayingStopsAndShowsOnePicture)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    CNullAudioDevice none;
    DeviceScope scope(&none);
    kxtest::SectorExtentStream stream(Vob("pal1", 1));
    Recorder client;
    CPreviewPlayer player(1);
    client.player = &player;
    ASSERT_TRUE(player.Open(&stream, false, kPalette, &client));
    player.SetAudioStream(kAc3);
    client.WaitFor(kPlayerAudioSet);
    client.Take();

    // A client that keeps the pictures it is shown copies them: the pool
    // never runs dry however many pictures pass.
    std::vector<std::unique_ptr<CVideoPicture>> copies;
    client.onPicture = [&](CVideoPicture* picture, Recorded& r)
    {
        // The manual clock follows the pictures: none of them waits.
        player.GetClock().SetTime(r.due + r.period);
        copies.emplace_back(new CVideoPicture());
        copies.back()->SetFormat(picture->GetWidth(), picture->GetHeight(), picture->GetFormat(), 0);
        copies.back()->Convert(*picture);
    };
    player.Play();
    client.WaitFor(kPlayerPicture, 30);
    player.Seek(0);
    // The stop came before Seek returned; the one picture follows.
    client.WaitFor(kPlayerPicture, client.CountOf(kPlayerPicture) + 1);
    std::vector<int32_t> codes = client.Codes();
    ASSERT_GE(codes.size(), 33u);
    EXPECT_EQ(kPlayerStarted, codes[0]);
    // No sound device: the audio never plays, so the video's stop reaches
    // the client; then exactly one picture and nothing more.
    EXPECT_EQ(kPlayerStopped, codes[codes.size() - 2]);
    EXPECT_EQ(kPlayerPicture, codes.back());
    player.Pause(); // idle already: no event
    EXPECT_EQ(Codes{}, client.Codes());
    EXPECT_GE(copies.size(), 31u);

    // Played to its end: event 7, then the video pauses itself.
    player.Play();
    client.WaitFor(kPlayerEndOfStream);
    client.WaitFor(kPlayerStopped);
    codes = client.Codes();
    EXPECT_EQ(kPlayerEndOfStream, codes[codes.size() - 2]);
    EXPECT_EQ(kPlayerStopped, codes.back());
}

TEST(PreviewPlayer, ReportsItsPictureSizePositionAndSelectionsWithoutWaiting)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    CNullAudioDevice none;
    DeviceScope scope(&none);
    kxtest::SectorExtentStream stream(Vob("pal1", 1));
    Recorder client;
    CPreviewPlayer player(1);
    EXPECT_EQ(0, player.GetPictureWidth());
    ASSERT_TRUE(player.Open(&stream, false, kPalette, &client));
    EXPECT_EQ(720, player.GetPictureWidth());
    EXPECT_EQ(576, player.GetPictureHeight());
    EXPECT_EQ(0u, player.GetPosition());
    player.SetAudioStream(kAc3);
    player.SetSubpictureStream(0x21);
    EXPECT_EQ(kAc3, player.GetAudioStream());
    EXPECT_EQ(0x21, player.GetSubpictureStream());
    // the position of the shown picture, read in the client's own event
    uint64_t nSeen = 0;
    client.onPicture = [&](CVideoPicture*, Recorded&) { nSeen = player.GetPosition(); };
    player.Seek(200 * 2048);
    client.WaitFor(kPlayerPicture);
    EXPECT_GE(nSeen, 200u * 2048);
    EXPECT_EQ(nSeen, player.GetPosition());
    EXPECT_FALSE(player.IsPlaying());
    player.Close();
    EXPECT_EQ(0, player.GetPictureWidth());
}

TEST(PreviewPlayer, ManualClockMarksPicturesThreePeriodsBehindAsLate)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    CNullAudioDevice none;
    DeviceScope scope(&none);
    kxtest::SectorExtentStream stream(Vob("pal1", 1));
    Recorder client;
    CPreviewPlayer player(1);
    client.player = &player;
    ASSERT_TRUE(player.Open(&stream, false, kPalette, &client));
    // Picture n sets the clock so that picture n + 1 is behind by a number
    // of periods that cycles through 0, 1, 2, 3, 4 (the next picture is due
    // one period after this one).
    int n = 0;
    std::vector<int> behind;
    client.onPicture = [&](CVideoPicture*, Recorded& r)
    {
        const int periods = n++ % 5;
        behind.push_back(periods);
        player.GetClock().SetTime(r.due + (periods + 1) * int64_t(r.period));
    };
    player.Play();
    client.WaitFor(kPlayerPicture, 40);
    player.Pause();
    std::vector<Recorded> events = client.Take();
    int index = 0, checked = 0;
    for (const Recorded& r : events)
    {
        if (r.code != kPlayerPicture)
            continue;
        if (index > 0 && index < int(behind.size()))
        {
            EXPECT_EQ(behind[index - 1] >= 3 ? 1u : 0u, r.flag) << index;
            ++checked;
        }
        ++index;
    }
    EXPECT_GE(checked, 39);
}

// vlong: 200 s of video and a subtitle at 170 s, played without waiting.
TEST(PreviewPlayer, LongCellKeepsItsPacePastTheThirtyTwoBitStamps)
{
    KX_REQUIRE_FIXTURE(dir, "vlong");
    CNullAudioDevice none;
    DeviceScope scope(&none);
    kxtest::SectorExtentStream stream(Vob("vlong", 1));
    Recorder client;
    CPreviewPlayer player(1);
    client.player = &player;
    ASSERT_TRUE(player.Open(&stream, false, kPalette, &client));
    // A digest of the luma of each picture from 169 s to 174 s.
    using Digests = std::map<int64_t, uint64_t>;
    auto digestInto = [](CPreviewPlayer& p, Digests& digests)
    {
        return [&p, &digests](CVideoPicture* picture, Recorded& r)
        {
            p.GetClock().SetTime(r.due + r.period);
            if (r.due < 1690000 || r.due >= 1740000)
                return;
            uint64_t digest = 14695981039346656037ull;
            for (DWORD i = 0; i < picture->GetWidth() * picture->GetHeight(); ++i)
                digest = (digest ^ picture->GetData()[i]) * 1099511628211ull;
            digests[r.due] = digest;
        };
    };
    Digests drawnDigests, plainDigests;
    client.onPicture = digestInto(player, drawnDigests);
    player.Play();
    client.WaitFor(kPlayerEndOfStream);
    client.WaitFor(kPlayerStopped);
    size_t pictures = 0, late = 0;
    int64_t last = 0;
    for (const Recorded& r : client.Take())
        if (r.code == kPlayerPicture)
        {
            ++pictures;
            late += r.flag;
            last = r.due;
        }
    EXPECT_EQ(5000u, pictures);
    EXPECT_EQ(0u, late);
    EXPECT_GT(last, 1590000);

    // The same cell without sub-pictures: only the pictures of the
    // subtitle's interval (170.54 s to 172.50 s on the clip's time line)
    // differ.
    kxtest::SectorExtentStream plainStream(Vob("vlong", 1));
    Recorder plainClient;
    CPreviewPlayer plain(1);
    ASSERT_TRUE(plain.Open(&plainStream, false, kPalette, &plainClient));
    plainClient.onPicture = digestInto(plain, plainDigests);
    plain.SetSubpictureStream(0xFF);
    plainClient.WaitFor(kPlayerSubpictureSet);
    plain.Play();
    plainClient.WaitFor(kPlayerEndOfStream);
    plainClient.WaitFor(kPlayerStopped);
    ASSERT_EQ(125u, drawnDigests.size());
    ASSERT_EQ(125u, plainDigests.size());
    int64_t first = 0, final = 0;
    size_t drawn = 0;
    for (const auto& entry : drawnDigests)
        if (plainDigests[entry.first] != entry.second)
        {
            first = drawn++ ? first : entry.first;
            final = entry.first;
        }
    EXPECT_NEAR(50.0, double(drawn), 1.0);
    EXPECT_NEAR(1705400.0, double(first), 500.0);
    EXPECT_NEAR(1725000.0, double(final), 500.0);
}

bool HasSound(const std::vector<BYTE>& pcm)
{
    for (size_t i = 0; i + 1 < pcm.size(); i += 2)
        if (std::abs(int16_t(pcm[i] | pcm[i + 1] << 8)) > 1000)
            return true;
    return false;
}

// Real play into the capture device, which plays by the wall clock: the
// pictures follow the clock that the queued sound sets.
TEST(PreviewPlayerRealTime, PicturesTrackTheAudioClock)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    CCaptureAudioDevice capture;
    kxtest::SectorExtentStream stream(Vob("pal1", 1));
    Recorder client;
    DeviceScope scope(&capture);
    CPreviewPlayer player;
    client.player = &player;
    ASSERT_TRUE(player.Open(&stream, false, kPalette, &client));
    player.SetAudioStream(kAc3);
    client.WaitFor(kPlayerAudioSet);
    client.Take();
    player.Play();
    client.WaitFor(kPlayerPicture, 60);
    player.Pause();
    std::vector<Recorded> events = client.Take();
    ASSERT_GE(events.size(), 62u);
    EXPECT_EQ(kPlayerStarted, events.front().code);
    // The audio stops first, while the video still plays: only the video's
    // stop reaches the client.
    EXPECT_EQ(kPlayerStopped, events.back().code);
    EXPECT_EQ(1,
              std::count_if(events.begin(), events.end(), [](const Recorded& r) { return r.code == kPlayerStopped; }));
    double offset = 0;
    int pictures = 0;
    for (size_t i = 6; i + 1 < events.size(); ++i)
        if (events[i].code == kPlayerPicture)
        {
            offset += std::abs(double(events[i].clock - events[i].due));
            ++pictures;
        }
    ASSERT_GT(pictures, 40);
    EXPECT_LT(offset / pictures, 400.0) << "mean distance from the clock, 0.1 ms";
    EXPECT_TRUE(HasSound(capture.GetCaptured()));
}

// Without a sound device the clock runs from the moment of Play.
TEST(PreviewPlayerRealTime, WithoutSoundVideoKeepsItsFrameRate)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    CNullAudioDevice none;
    DeviceScope scope(&none);
    kxtest::SectorExtentStream stream(Vob("pal1", 1));
    Recorder client;
    CPreviewPlayer player;
    client.player = &player;
    ASSERT_TRUE(player.Open(&stream, false, kPalette, &client));
    // The first picture is stamped some way after the pack Play starts at;
    // pictures catch up with the clock at four periods per picture at most,
    // and from then on keep to it. Counted over 2 s of clock from 1 s after
    // the first picture's time.
    std::mutex mutex;
    std::condition_variable past;
    int64_t from = -1;
    int shown = 0;
    bool done = false;
    client.onPicture = [&](CVideoPicture*, Recorded& r)
    {
        std::lock_guard<std::mutex> hold(mutex);
        if (from < 0)
            from = r.due + 10000;
        if (r.clock >= from && r.clock < from + 20000)
            ++shown;
        done = done || r.clock >= from + 20000;
        past.notify_all();
    };
    player.Play();
    {
        std::unique_lock<std::mutex> hold(mutex);
        past.wait(hold, [&] { return done; });
    }
    player.Pause();
    EXPECT_NEAR(50, shown, 2);
}

// A stream the audio player cannot decode plays no sound; the video plays.
TEST(PreviewPlayerRealTime, LpcmSelectionPlaysSilently)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    CCaptureAudioDevice capture;
    kxtest::SectorExtentStream stream(Vob("twovts", 2));
    Recorder client;
    DeviceScope scope(&capture);
    CPreviewPlayer player(1);
    client.player = &player;
    client.onPicture = [&](CVideoPicture*, Recorded& r) { player.GetClock().SetTime(r.due + r.period); };
    ASSERT_TRUE(player.Open(&stream, false, kPalette, &client));
    player.SetAudioStream(kLpcm);
    player.Play();
    client.WaitFor(kPlayerPicture, 10);
    player.Pause();
    std::vector<int32_t> codes = client.Codes();
    EXPECT_EQ(1, std::count(codes.begin(), codes.end(), kPlayerStarted)); // the video's alone
    EXPECT_TRUE(capture.GetCaptured().empty());
}

// Switching the audio while playing restarts both streams where the video
// stood, on a new time line.
TEST(PreviewPlayer, SetAudioStreamWhilePlayingRestartsBoth)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    CNullAudioDevice none;
    DeviceScope scope(&none);
    kxtest::SectorExtentStream stream(Vob("pal1", 1));
    Recorder client;
    CPreviewPlayer player(1);
    client.player = &player;
    client.onPicture = [&](CVideoPicture*, Recorded& r) { player.GetClock().SetTime(r.due + r.period); };
    ASSERT_TRUE(player.Open(&stream, false, kPalette, &client));
    player.Play();
    client.WaitFor(kPlayerPicture, 40);
    player.SetAudioStream(kLayer2);
    client.WaitFor(kPlayerStarted, 2);
    client.WaitFor(kPlayerPicture, client.CountOf(kPlayerPicture) + 1);
    player.Pause();
    std::vector<Recorded> events = client.Take();
    auto restart =
        std::find_if(events.begin(), events.end(), [](const Recorded& r) { return r.code == kPlayerStopped; });
    ASSERT_NE(events.end(), restart);
    ASSERT_GE(events.end() - restart, 4);
    EXPECT_EQ(kPlayerAudioSet, restart[1].code);
    EXPECT_EQ(kPlayerStarted, restart[2].code);
    EXPECT_EQ(kPlayerPicture, restart[3].code);
    // The pictures before the switch were well on; the first after it is on
    // a new time line that starts at the pack before the last picture.
    EXPECT_GT(restart[-1].due, 15000);
    EXPECT_LT(restart[3].due, 10000);
}

} // namespace
