#include "DvdGui/core/DomainRows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace
{

TEST(DomainRows, ADiscOverTheTargetSizeSaysByHowMuch)
{
    const uint64_t kTarget = uint64_t(4486) * 1048576;
    const struct
    {
        uint64_t size;
        int targetMb;
        const char* tip;
    } cases[] = {
        {kTarget - 1, 4486, ""},
        {kTarget, 4486, ""},
        {kTarget + 1, 4486, "Disk is 0.00 Mb larger than specified target size."},
        {kTarget + 3 * 1048576 / 2, 4486, "Disk is 1.50 Mb larger than specified target size."},
        {1, 0, "Disk is 0.00 Mb larger than specified target size."},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(GetOverTargetTip(c.size, c.targetMb), c.tip) << c.size;
}

WORD Code(const char* text)
{
    WORD w;
    memcpy(&w, text, 2);
    return w;
}

TEST(DomainRows, TheDeleteEntryNamesTheLanguageOnlyWhenItIsLetters)
{
    EXPECT_STREQ(GetDeleteMenusText(Code("en")), "&Delete en menus");
    EXPECT_STREQ(GetDeleteMenusText(Code("d1")), "&Delete  menus");
    EXPECT_STREQ(GetDeleteMenusText(0), "&Delete  menus");
}

TEST(DomainRows, VideoAttributesGiveFormatDisplayAndConversions)
{
    // byte 0: standard in bits 5-4, aspect in 3-2, pan-scan and letterbox
    // refused in bits 1 and 0; byte 1: picture size in bits 3-2,
    // letterboxed in bit 1
    const struct
    {
        BYTE b0, b1;
        std::vector<std::pair<const char*, const char*>> rows;
    } cases[] = {
        {0x1C,
         0x00,
         {{" Format ", " PAL (720x576)"},
          {" Display ", " Wide (16:9)"},
          {" Conversion to 4:3 ", " letterbox,  pan/scan"}}},
        {0x1F, 0x00, {{" Format ", " PAL (720x576)"}, {" Display ", " Wide (16:9)"}, {" Conversion to 4:3 ", " none"}}},
        {0x0D,
         0x00,
         {{" Format ", " NTSC (720x480)"}, {" Display ", " Wide (16:9)"}, {" Conversion to 4:3 ", " pan/scan"}}},
        {0x0E,
         0x00,
         {{" Format ", " NTSC (720x480)"}, {" Display ", " Wide (16:9)"}, {" Conversion to 4:3 ", " letterbox"}}},
        {0x00, 0x02, {{" Format ", " NTSC (720x480)"}, {" Display ", " Normal (4:3), letterboxed"}}},
        {0x10, 0x0C, {{" Format ", " PAL (352x288)"}, {" Display ", " Normal (4:3)"}}},
        // standards 2 and 3 read as 525/60
        {0x20, 0x00, {{" Format ", " NTSC (720x480)"}, {" Display ", " Normal (4:3)"}}},
        {0x30, 0x04, {{" Format ", " NTSC (704x480)"}, {" Display ", " Normal (4:3)"}}},
    };
    for (const auto& c : cases)
    {
        CVideoAttributes video{{c.b0, c.b1}};
        const std::vector<CVideoInfoRow> rows = GetVideoInfoRows(video);
        ASSERT_EQ(rows.size(), c.rows.size()) << int(c.b0);
        for (size_t i = 0; i < rows.size(); ++i)
        {
            EXPECT_STREQ(rows[i].strField, c.rows[i].first);
            EXPECT_STREQ(rows[i].strValue, c.rows[i].second) << int(c.b0) << " " << int(c.b1);
        }
    }
}

} // namespace
