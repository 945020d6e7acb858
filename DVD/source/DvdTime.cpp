#include "DVD/source/DvdTime.h"

namespace
{

DWORD FromBcd(BYTE b)
{
    return (DWORD)(b >> 4) * 10 + (b & 0x0F);
}

BYTE ToBcd(DWORD n)
{
    return (BYTE)(((n / 10) << 4) | (n % 10));
}

DWORD FramesPerSecond(BYTE frames)
{
    return (frames & DVDTIME_RATE_MASK) == DVDTIME_RATE_25 ? 25 : 30;
}

} // namespace

CDvdTime CDvdTime::FromBytes(const BYTE* p)
{
    CDvdTime t;
    t.hours = p[0];
    t.minutes = p[1];
    t.seconds = p[2];
    t.frames = p[3];
    return t;
}

void CDvdTime::ToBytes(BYTE* p) const
{
    p[0] = hours;
    p[1] = minutes;
    p[2] = seconds;
    p[3] = frames;
}

bool CDvdTime::IsUndefined() const
{
    return hours == 0x99 && minutes == 0x59 && seconds == 0x59;
}

double CDvdTime::GetDvdTimeFrameRate() const
{
    return (frames & DVDTIME_RATE_MASK) == DVDTIME_RATE_25 ? 25.0 : DVDTIME_NTSC_RATE;
}

DWORD CDvdTime::GetFrames() const
{
    DWORD frame = ((frames >> 4) & 0x03) * 10 + (frames & 0x0F);
    DWORD secs = (FromBcd(hours) * 60 + FromBcd(minutes)) * 60 + FromBcd(seconds);
    return secs * FramesPerSecond(frames) + frame;
}

void CDvdTime::SetFromFrames(DWORD nFrames)
{
    DWORD rate = FramesPerSecond(frames);
    DWORD frame = nFrames % rate;
    DWORD secs = (nFrames - frame) / rate;
    frames = (BYTE)(ToBcd(frame) | (rate == 25 ? DVDTIME_RATE_25 : DVDTIME_RATE_30));
    seconds = ToBcd(secs % 60);
    minutes = ToBcd((secs / 60) % 60);
    hours = ToBcd((secs / 3600) % 256);
}

int64_t CDvdTime::DvdTimeToPts() const
{
    if (IsUndefined())
        return -1;
    return RoundToInt(GetFrames() * 90000.0 / GetDvdTimeFrameRate());
}

void CDvdTime::AddDvdTime(const CDvdTime& other)
{
    SetFromFrames(GetFrames() + other.GetFrames());
}

void CDvdTime::SubtractDvdTime(const CDvdTime& other)
{
    DWORD mine = GetFrames();
    DWORD theirs = other.GetFrames();
    SetFromFrames(mine > theirs ? mine - theirs : 0);
}

int64_t RoundToInt(double x)
{
    int64_t t = (int64_t)x;
    return x - (double)t >= 0.5 ? t + 1 : t;
}

CDvdTime MakeDvdTime(int32_t nTicks, int nFrameRate)
{
    CDvdTime t;
    t.frames = nFrameRate == 25 ? DVDTIME_RATE_25 : DVDTIME_RATE_30;
    if (nTicks == -1)
    {
        t.hours = 0x99;
        t.minutes = 0x59;
        t.seconds = 0x59;
        return t;
    }
    if (nTicks < 0)
        return t;
    double rate = nFrameRate == 25 ? 25.0 : DVDTIME_NTSC_RATE;
    t.SetFromFrames((DWORD)RoundToInt(rate * nTicks / 90000.0));
    return t;
}

uint64_t DecodeScr(const BYTE* p)
{
    return ((uint64_t)((p[0] >> 3) & 0x07) << 30) | ((uint64_t)(p[0] & 0x03) << 28) | ((uint64_t)p[1] << 20) |
           ((uint64_t)((p[2] >> 3) & 0x1F) << 15) | ((uint64_t)(p[2] & 0x03) << 13) | ((uint64_t)p[3] << 5) |
           (uint64_t)((p[4] >> 3) & 0x1F);
}

DWORD DecodeScrExtension(const BYTE* p)
{
    return (DWORD)(p[4] & 0x03) * 128 + (p[5] >> 1);
}

void EncodeScr(uint64_t value, BYTE* p)
{
    if (!p)
        return;
    uint64_t base = value / 300;
    DWORD ext = (DWORD)(value % 300);
    p[0] = (BYTE)(0x44 | (((base >> 30) & 0x07) << 3) | ((base >> 28) & 0x03));
    p[1] = (BYTE)(base >> 20);
    p[2] = (BYTE)((((base >> 15) & 0x1F) << 3) | 0x04 | ((base >> 13) & 0x03));
    p[3] = (BYTE)(base >> 5);
    p[4] = (BYTE)(((base & 0x1F) << 3) | 0x04 | ((ext >> 7) & 0x03));
    p[5] = (BYTE)(((ext & 0x7F) << 1) | 0x01);
}

void AdvanceScr(uint64_t& value, DWORD nPacks)
{
    value += (uint64_t)nPacks * SCR_TICKS_PER_PACK;
}
