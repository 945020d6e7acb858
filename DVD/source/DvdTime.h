// Playback times in the DVD-Video BCD form, and the 27 MHz system clock
// reference of MPEG program-stream packs.
#pragma once

#include "framework/core/AfxTypes.h"

#include <cstdint>

// Frame-rate bits of the frames byte.
const BYTE DVDTIME_RATE_MASK = 0xC0;
const BYTE DVDTIME_RATE_25 = 0x40;
const BYTE DVDTIME_RATE_30 = 0xC0;

// 29.97 frames per second, exactly 30000/1001.
const double DVDTIME_NTSC_RATE = 30000.0 / 1001.0;

// hh:mm:ss:ff as stored on disc: four BCD bytes, the frame rate in the top two
// bits of the frames byte. Frame counts are non-drop: a 29.97 fps time counts
// 30 frames to the second.
struct CDvdTime
{
    BYTE hours;
    BYTE minutes;
    BYTE seconds;
    BYTE frames;

    CDvdTime() : hours(0), minutes(0), seconds(0), frames(0) {}

    // The four bytes as they lie in an IFO table or a navigation pack.
    static CDvdTime FromBytes(const BYTE* p);
    void ToBytes(BYTE* p) const;

    bool IsUndefined() const;
    // 25.0 for the 25 fps bits; every other rate code plays at 29.97.
    double GetDvdTimeFrameRate() const;
    // The whole frames in this time, counted at 25 or 30 to the second.
    DWORD GetFrames() const;
    // Keeps the rate of this time, normalised to 0x40 or 0xC0. Hours wrap
    // beyond 99, which the format cannot hold; callers stay below.
    void SetFromFrames(DWORD nFrames);
    // 90 kHz ticks, -1 for the undefined time.
    int64_t DvdTimeToPts() const;

    // Both keep this time's rate; the other's frames are counted at its own.
    void AddDvdTime(const CDvdTime& other);
    // A difference below zero gives 00:00:00:00 rather than a wrapped count.
    void SubtractDvdTime(const CDvdTime& other);

    bool operator==(const CDvdTime& other) const
    {
        return hours == other.hours && minutes == other.minutes && seconds == other.seconds && frames == other.frames;
    }
    bool operator!=(const CDvdTime& other) const { return !(*this == other); }
};

// Nearest integer, halves upward; meant for times and counts of 0 and above.
int64_t RoundToInt(double x);

// nTicks in 90 kHz units, nFrameRate 25 or anything else for 29.97. Ticks -1
// give the undefined time 99:59:59 (with the rate bits); any other negative
// tick count gives 00:00:00:00.
CDvdTime MakeDvdTime(int32_t nTicks, int nFrameRate);

// ---- System clock reference (six bytes of an MPEG-2 pack header) -----------

// 27 MHz duration of one 2,048-byte pack at the 10.08 Mbit/s DVD mux rate,
// rounded up.
const uint64_t SCR_TICKS_PER_PACK = 43886;

// The 33-bit 90 kHz base.
uint64_t DecodeScr(const BYTE* pScr);
// The 9-bit extension (0..299 in a valid clock).
DWORD DecodeScrExtension(const BYTE* pScr);
// value is a 27 MHz count; base = value / 300, extension = value % 300. The
// marker bits and the '01' prefix are always set. Does nothing without bytes.
void EncodeScr(uint64_t value, BYTE* pScr);
// Moves a 27 MHz clock on by nPacks whole packs.
void AdvanceScr(uint64_t& value, DWORD nPacks);
