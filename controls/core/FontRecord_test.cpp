// The option font's text form: the default line, the round trip, growing, and
// damaged registry texts that must leave the record alone.
#include "controls/core/FontRecord.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace
{

// Equal up to the face name's terminator; what lies behind it is no part of the font.
void ExpectSameFont(const FONT_RECORD& a, const FONT_RECORD& b)
{
    EXPECT_EQ(std::memcmp(&a, &b, offsetof(FONT_RECORD, lfFaceName)), 0);
    EXPECT_STREQ(a.lfFaceName, b.lfFaceName);
}

const char kDefaultText[] = "-12,0,0,0,400,0,0,0,0,0,0,2,18,Times New Roman,0";

TEST(FontRecord, DefaultFontHasItsKnownText)
{
    EXPECT_STREQ(FontRecordToString(DefaultFontRecord(), 0), kDefaultText);
}

TEST(FontRecord, TextGivesBackTheFontAndItsColour)
{
    FONT_RECORD lf = DefaultFontRecord();
    lf.lfHeight = 17;
    lf.lfEscapement = -900;
    lf.lfWeight = 700;
    lf.lfItalic = 1;
    lf.lfCharSet = 238;
    lf.lfPitchAndFamily = 49;
    std::strcpy(lf.lfFaceName, "Courier New");
    const CString text = FontRecordToString(lf, 0x00FF8040u);

    FONT_RECORD back{};
    uint32_t color = 0;
    ASSERT_TRUE(FontRecordFromString(text, back, color));
    ExpectSameFont(back, lf);
    EXPECT_EQ(color, 0x00FF8040u);

    ASSERT_TRUE(FontRecordFromString(kDefaultText, back, color));
    const FONT_RECORD def = DefaultFontRecord();
    ExpectSameFont(back, def);
    EXPECT_EQ(color, 0u);
}

TEST(FontRecord, LongFaceNameIsCutTo31Characters)
{
    const std::string face(100, 'F');
    const std::string text = "-12,0,0,0,400,0,0,0,0,0,0,2,18," + face + ",255";
    FONT_RECORD lf{};
    std::memset(&lf, 0x55, sizeof lf);
    uint32_t color = 0;
    ASSERT_TRUE(FontRecordFromString(text.c_str(), lf, color));
    EXPECT_EQ(std::string(lf.lfFaceName), std::string(31, 'F'));
    EXPECT_EQ(color, 255u);
}

TEST(FontRecord, DamagedTextLeavesTheRecordAlone)
{
    const char* const damaged[] = {
        "",
        "-12,0,0,0,400,0,0,0,0,0,0,2,18,Arial",           // no colour
        "-12,0,0,0,400,0,0,0,0,0,0,2,Arial,0",            // a field missing
        "-12,0,0,0,bold,0,0,0,0,0,0,2,18,Arial,0",        // letters in a number
        "-12,0,0,0,400,0,0,0,0,0,0,2,18,Arial,",          // empty colour
        "-12,0,0,0,400,0,0,0,0,0,0,2,18,Arial,12x",       // trailing junk
        "-12,0,0,0,400,0,0,0,300,0,0,2,18,Arial,0",       // a byte out of range
        "-12,0,0,0,400,0,0,0,-1,0,0,2,18,Arial,0",        // a negative byte
        "99999999999,0,0,0,400,0,0,0,0,0,0,2,18,Arial,0", // beyond 32 bits
        "-12,,0,0,400,0,0,0,0,0,0,2,18,Arial,0",          // an empty number
        "-12,0,0,0,400,0,0,0,0,0,0,2,18,Ar,ial,0",        // a comma in the face
        "-12,0,0,0,400,0,0,0,0,0,0,2,18,Arial,-5",        // a negative colour
    };
    for (const char* text : damaged)
    {
        FONT_RECORD lf = DefaultFontRecord();
        uint32_t color = 77;
        EXPECT_FALSE(FontRecordFromString(text, lf, color)) << text;
        EXPECT_STREQ(FontRecordToString(lf, color), "-12,0,0,0,400,0,0,0,0,0,0,2,18,Times New Roman,77") << text;
    }
    FONT_RECORD lf = DefaultFontRecord();
    uint32_t color = 0;
    EXPECT_FALSE(FontRecordFromString(nullptr, lf, color));
}

TEST(FontRecord, GrowKeepsTheSign)
{
    const struct
    {
        int32_t height;
        int n;
        int32_t grown;
    } cases[] = {{-12, -2, -10},           {-12, 3, -15}, {12, 2, 14}, {0, 2, 2}, {INT32_MIN, 5, INT32_MIN},
                 {INT32_MAX, 1, INT32_MAX}};
    for (const auto& c : cases)
        EXPECT_EQ(GrowFontHeight(c.height, c.n), c.grown) << c.height << " " << c.n;
}

} // namespace
