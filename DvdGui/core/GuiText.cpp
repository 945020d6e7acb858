#include "DvdGui/core/GuiText.h"

#include "Shared/source/DvdFormat.h"

namespace
{
int FromBcd(BYTE value)
{
    return (value >> 4) * 10 + (value & 15);
}
} // namespace

CString FormatMegabytes(uint64_t nBytes)
{
    return FormatString("%.2f Mb", double(nBytes) * (1.0 / 1048576.0));
}

CString FormatWholeMegabytes(uint64_t nBytes)
{
    return FormatString("%.0f Mb", double(nBytes / 1048576 + (nBytes % 1048576 != 0 ? 1 : 0)));
}

CString FormatPlaybackTime(const CDvdTime& time)
{
    return FormatString("%02d:%02d:%02d.%02d", FromBcd(time.hours), FromBcd(time.minutes), FromBcd(time.seconds),
                        ((time.frames >> 4) & 3) * 10 + (time.frames & 15));
}
