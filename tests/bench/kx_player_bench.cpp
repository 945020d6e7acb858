// kx_player_bench: the preview's picture processing and the cost of playing
// a cell. Not a test: it prints what it measured.
//
//   kx_player_bench [--cache DIR]
//
// Prints milliseconds per picture for scaling 720 x 576 to 1280 x 720 and to
// a 160 x 120 thumbnail, for the line blend and for the motion-adaptive
// filter at 720 x 576; then the share of one core that playing the video
// benchmark's stream (60 s of 25 fps PAL at 8 Mb/s, made by kx_video_bench in
// the same cache folder) takes when each picture is converted to 32-bit RGB
// and scaled to 1280 x 720 during its event, against a manual clock that
// lets no picture wait.

#include "Shared/platform/PlatformPath.h"
#include "VDS/source/Deinterlacer.h"
#include "VDS/source/Idct.h"
#include "VDS/source/PictureScaler.h"
#include "VDS/source/PreviewPlayer.h"
#include "tests/support/ByteStreams.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>

namespace
{

double MsPerCall(int count, const std::function<void()>& call)
{
    call(); // first touch of the buffers
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i)
        call();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / count;
}

void Fill(CVideoPicture& picture, int seed)
{
    BYTE* data = picture.GetData();
    for (DWORD i = 0; i < picture.GetImageSize(); ++i)
        data[i] = BYTE(i * 13 + (i >> 9) * seed);
}

// Scales and converts each picture during its event, and sets the manual
// clock one period past it so that the next picture is due at once.
class Consumer : public CPlayerCallbackBase
{
public:
    Consumer(CPreviewPlayer& player) : m_player(player)
    {
        ScaleGeometry g;
        g.width = 1280;
        g.height = 720;
        m_scaler.SetGeometry(g);
        m_scaled.SetFormat(1280, 720, kPicYuv420, 0);
        m_rgb.SetFormat(1280, 720, kPicRgb32, 0);
    }
    int64_t Invoke(const CPlayerEvent* event) override
    {
        if (event->code == kPlayerPicture)
        {
            CVideoPicture* picture = reinterpret_cast<CVideoPicture*>(uintptr_t(event->value));
            m_scaler.Scale(*picture, m_scaled);
            m_rgb.Convert(m_scaled);
            m_player.GetClock().SetTime(int64_t(picture->GetTimeStamp() / 2700) + picture->GetFramePeriod());
            ++pictures;
        }
        std::lock_guard<std::mutex> hold(m_mutex);
        m_bEnded = m_bEnded || event->code == kPlayerEndOfStream;
        m_ended.notify_all();
        return 0;
    }
    void WaitForEnd()
    {
        std::unique_lock<std::mutex> hold(m_mutex);
        m_ended.wait(hold, [this] { return m_bEnded; });
    }
    int pictures = 0;

private:
    CPreviewPlayer& m_player;
    CPictureScaler m_scaler;
    CVideoPicture m_scaled, m_rgb;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_bEnded = false;
};

} // namespace

int main(int argc, char** argv)
{
    std::string cache = "kx_bench_cache";
    if (argc == 3 && std::string(argv[1]) == "--cache")
        cache = argv[2];
    else if (argc != 1)
    {
        std::fprintf(stderr, "usage: kx_player_bench [--cache DIR]\n");
        return 2;
    }

    CVideoPicture pal, wide, thumb, palOut, rgb, rgbOther, rgbOut;
    pal.SetFormat(720, 576, kPicYuv420, 0);
    palOut.SetFormat(720, 576, kPicYuv420, 0);
    wide.SetFormat(1280, 720, kPicYuv420, 0);
    thumb.SetFormat(160, 120, kPicYuv420, 0);
    rgb.SetFormat(720, 576, kPicRgb32, 0);
    rgbOther.SetFormat(720, 576, kPicRgb32, 0);
    rgbOut.SetFormat(720, 576, kPicRgb32, 0);
    Fill(pal, 1);

    CPictureScaler toWide, toThumb;
    ScaleGeometry g;
    g.width = 1280;
    g.height = 720;
    toWide.SetGeometry(g);
    g.width = 160;
    g.height = 120;
    g.keepAspect = 1;
    g.pictureAspect = 0.75;
    g.targetAspect = 0.75;
    toThumb.SetGeometry(g);
    std::printf("scale 720x576 to 1280x720: %.3f ms per picture\n", MsPerCall(100, [&] { toWide.Scale(pal, wide); }));
    std::printf("scale 720x576 to 160x120:  %.3f ms per picture\n", MsPerCall(400, [&] { toThumb.Scale(pal, thumb); }));

    CDeinterlacer blend, motion;
    std::printf("line blend 720x576:        %.3f ms per picture\n",
                MsPerCall(200, [&] { blend.Process(&pal, &palOut); }));
    // Two frames in turn: every pixel moves, the filter's dearest case.
    Fill(rgb, 1);
    Fill(rgbOther, 3);
    motion.Init(720, 576, kPicRgb32, 1, 20);
    int frame = 0;
    std::printf("motion filter 720x576:     %.3f ms per picture\n",
                MsPerCall(100, [&] { motion.Process(++frame & 1 ? &rgb : &rgbOther, &rgbOut); }));

    const std::string stream = kx::JoinPath(cache, "video_60s_8mbps.mpg");
    kxtest::SectorExtentStream source(stream);
    if (source.GetSize() == 0)
    {
        std::fprintf(stderr, "kx_player_bench: %s is missing; kx_video_bench makes it\n", stream.c_str());
        return 1;
    }
    SelectFastestIdct();
    CNullAudioDevice none;
    SetAudioDevice(&none);
    double share = 0;
    int pictures = 0;
    {
        CPreviewPlayer player(1);
        Consumer consumer(player);
        const DWORD palette[16] = {};
        if (!player.Open(&source, false, palette, &consumer))
        {
            std::fprintf(stderr, "kx_player_bench: %s does not open\n", stream.c_str());
            return 1;
        }
        auto start = std::chrono::steady_clock::now();
        player.Play();
        consumer.WaitForEnd();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        pictures = consumer.pictures;
        share = seconds / (pictures / 25.0);
        player.Close();
    }
    SetAudioDevice(nullptr);
    std::printf("play 25 fps PAL at 8 Mb/s, decode + scale to 1280x720 + RGB: %d pictures, %.1f %% of one core\n",
                pictures, 100 * share);
    return 0;
}
