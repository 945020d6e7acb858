// The arithmetic of a popup window's show animation: the kind, the percent
// that each 30 ms timer step advances, and the frames that are composed
// pixel by pixel from the screen behind the window and its finished look.
// The window side owns the timer, the surfaces and the painting.
#pragma once

#include "framework/core/AfxTypes.h"

#include <ctime>

class CExtPopupAnimation
{
public:
    enum e_animation_kind
    {
        AnimationExpand = -2,
        AnimationInstant = -1,
        AnimationNone = 0,
        AnimationRandom = 1,
        AnimationRoll = 2,
        AnimationSlide = 3,
        AnimationFade = 4,
        AnimationRollStretch = 5,
        AnimationSlideStretch = 6,
        AnimationNoise = 7,
        AnimationBoxes = 8,
        AnimationCircles = 9,
        AnimationHoles = 10,
    };
    // The period of an animation step, in clock ticks (milliseconds).
    static constexpr int StepPeriod = 30;

    int Kind = AnimationNone;
    int Percent = 0;
    int PreviousPercent = 0;
    bool Finished = false;

    // Back to percent 0 with a valid kind: unknown kinds become none, the
    // random kind draws one of Roll to Holes (a draw of 0 or 1 gives Fade),
    // and at 8 bits per pixel or fewer every kind but Instant and Expand
    // becomes none. Only the kind none starts finished.
    void Reset(int nScreenBitsPerPixel, int (*pfnRand)());

    // One timer step at clock value tNow, the previous step having been at
    // tLast. True when this step finished the animation.
    bool Step(clock_t tNow, clock_t tLast);

    // The frames over 32-bit 0x00RRGGBB surfaces of nWidth x nHeight pixels
    // in memory order (rows from the bottom). Each answers whether the
    // output changed and must be shown.
    struct Surfaces
    {
        const DWORD* Background = nullptr;
        const DWORD* Finished = nullptr;
        DWORD* Output = nullptr;
        int Width = 0;
        int Height = 0;
    };
    // Cross-fade: (background * (100 - p) + finished * p) / 100 per channel.
    static bool ComposeFade(const Surfaces& s, int nPercent);
    // Finished pixels appear at random: each with rand() % d > d / 2 + 1
    // where d is the percent's advance; nothing when the percent stood still.
    static bool ComposeNoise(const Surfaces& s, int nPercent, int nPreviousPercent, int (*pfnRand)());
    // 32-pixel cells whose finished part grows from the lower left corner.
    static bool ComposeBoxes(const Surfaces& s, int nPercent, int nPreviousPercent);
    // Circles grow from each cell's centre (bHoles false), or holes showing
    // the background shrink (bHoles true).
    static bool ComposeCircles(const Surfaces& s, int nPercent, int nPreviousPercent, bool bHoles);

    // Where the finished image goes for the rolling and sliding kinds:
    // dx = (100 - p) * w / 100 (0 when sliding), dy = (100 - p) * h / 100.
    static void RollOffset(int nPercent, int w, int h, bool bRoll, int& dx, int& dy);
    // The stretched size for the stretching kinds.
    static void StretchSize(int nPercent, int w, int h, bool bRoll, int& cw, int& ch);
};
