#include "DvdGui/core/GuiText.h"

#include <gtest/gtest.h>

namespace
{

TEST(GuiText, SizesInMegabytes)
{
    const struct
    {
        uint64_t bytes;
        const char* twoDecimals;
        const char* whole;
    } cases[] = {
        {0, "0.00 Mb", "0 Mb"},
        {1, "0.00 Mb", "1 Mb"},
        {1048576, "1.00 Mb", "1 Mb"},
        {1048577, "1.00 Mb", "2 Mb"},
        {1572864, "1.50 Mb", "2 Mb"},
        {uint64_t(4700) * 1048576, "4700.00 Mb", "4700 Mb"},
        {UINT64_MAX, "17592186044416.00 Mb", "17592186044416 Mb"},
    };
    for (const auto& c : cases)
    {
        EXPECT_STREQ(FormatMegabytes(c.bytes), c.twoDecimals) << c.bytes;
        EXPECT_STREQ(FormatWholeMegabytes(c.bytes), c.whole) << c.bytes;
    }
}

TEST(GuiText, PlaybackTimesLeaveTheRateBitsOut)
{
    const struct
    {
        BYTE bytes[4];
        const char* text;
    } cases[] = {
        {{0x01, 0x23, 0x45, 0xE5}, "01:23:45.25"}, // rate bits 11, frames 25
        {{0x00, 0x00, 0x00, 0x40}, "00:00:00.00"},
        {{0x10, 0x59, 0x59, 0x64}, "10:59:59.24"},
        {{0x99, 0x00, 0x07, 0xC9}, "99:00:07.09"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(FormatPlaybackTime(CDvdTime::FromBytes(c.bytes)), c.text) << c.text;
}

} // namespace
