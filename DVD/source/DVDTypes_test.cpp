#include "DVD/source/DVDTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace
{

struct LanguageCase
{
    int index;
    const char* code;
    const char* name;
};

TEST(Languages, NamesAndCodesByIndex)
{
    const LanguageCase cases[] = {
        {0, "ab", "Abkhazian"},       {2, "om", "Afan(Oromo)"},      {13, "bn", "Bengali;Bangla"},
        {29, "en", "English"},        {30, "eo", "Esperanto"},       {39, "de", "German"},
        {45, "iw", "Hebrew"},         {68, "lv", "Latvian;Lettish"}, {85, "ps", "Pashto;Pushto"},
        {86, "fa", "Persian(Farsi)"}, {91, "rm", "Rhaeto-Romance"},  {97, "gd", "Scots Gaelic"},
        {109, "es", "Spanish"},       {131, "vo", "Volapuk"},        {138, "zu", "Zulu"},
    };
    for (const LanguageCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_STREQ(c.name, GetLanguageName(c.index));
        EXPECT_EQ(c.index, FindLanguage((BYTE)c.code[0], (BYTE)c.code[1]));
    }
}

TEST(Languages, EveryCodeFindsItsOwnEntry)
{
    // Every entry's code is distinct and two lower-case letters, so a code
    // read from a disc finds one language only.
    for (int i = 0; i < LANGUAGE_COUNT; i++)
    {
        bool found = false;
        for (int c1 = 'a'; c1 <= 'z' && !found; c1++)
        {
            for (int c2 = 'a'; c2 <= 'z' && !found; c2++)
            {
                if (FindLanguage((BYTE)c1, (BYTE)c2) == i)
                    found = true;
            }
        }
        EXPECT_TRUE(found) << "entry " << i << " (" << GetLanguageName(i) << ") has no two-letter code";
    }
}

TEST(Languages, OutsideTheTable)
{
    EXPECT_STREQ("undefined", GetLanguageName(139));
    EXPECT_STREQ("undefined", GetLanguageName(-1));
    EXPECT_EQ(-1, FindLanguage('x', 'x'));
    EXPECT_EQ(-1, FindLanguage('E', 'N')); // codes are lower case on disc
    EXPECT_EQ(-1, FindLanguage(0, 0));
    EXPECT_EQ(-1, FindLanguage(0xFF, 0xFF));
}

struct CodeTextCase
{
    BYTE c1;
    BYTE c2;
    const char* text;
};

TEST(Languages, CodeText)
{
    const CodeTextCase cases[] = {
        {'e', 'n', "en"}, {'D', 'E', "DE"}, {'x', 'q', "xq"}, // any letters, known or not
        {0, 0, ""},       {'e', 0, ""},     {'1', '2', ""},   {'e', ' ', ""}, {0xE9, 'n', ""},
    };
    for (const CodeTextCase& c : cases)
        EXPECT_STREQ(c.text, GetLanguageCodeText(c.c1, c.c2).GetText()) << (int)c.c1 << "," << (int)c.c2;
}

TEST(Languages, CodeTextsAreIndependentValues)
{
    // Each text is its own value: a later call does not change an earlier one.
    const CPlainString first = GetLanguageCodeText('f', 'r');
    const CPlainString second = GetLanguageCodeText('d', 'e');
    EXPECT_STREQ("fr", first.GetText());
    EXPECT_STREQ("de", second.GetText());
}

TEST(UopMask, FileBytesAreLittleEndian)
{
    const BYTE bytes[4] = {0x01, 0x00, 0x04, 0x00};
    const CUopMask mask = CUopMask::FromBytes(bytes);
    EXPECT_EQ(0x00040001u, mask.GetMask());
    BYTE out[4] = {};
    mask.ToBytes(out);
    EXPECT_EQ(0, memcmp(bytes, out, 4));
}

struct ModifyCase
{
    DWORD before;
    DWORD clear;
    DWORD set;
    DWORD after;
    bool changed;
};

TEST(UopMask, Modify)
{
    const ModifyCase cases[] = {
        {0x00000000, 0, 0, 0x00000000, false},
        {0x00040001, 0, 0x00040000, 0x00040001, false}, // already set
        {0x00040001, 0x00040000, 0, 0x00000001, true},  // title menu call allowed
        {0x00000000, 0, 0x00000100, 0x00000100, true},
        {0x000000FE, 0, 0, 0x00000000, true}, // operations 25-31 dropped
        {0x000000FF, 0, 0, 0x00000001, true},
        {0xFFFFFFFF, 0xFFFFFF01, 0, 0x00000000, true}, // enable all operations
        {0x12345601, 0xFFFFFF01, 0, 0x00000000, true},
        {0x00000000, 0xFFFFFF01, 0, 0x00000000, false},
        {0x00000000, 0, 0x000000FF, 0x00000001, true}, // set also loses bits 1-7
    };
    for (const ModifyCase& c : cases)
    {
        CUopMask mask(c.before);
        EXPECT_EQ(c.changed, mask.Modify(c.clear, c.set)) << std::hex << c.before << " " << c.clear << " " << c.set;
        EXPECT_EQ(c.after, mask.GetMask()) << std::hex << c.before << " " << c.clear << " " << c.set;
    }
}

TEST(UopMask, SecondModifyWithNothingToDoIsNoChange)
{
    CUopMask mask(0x000000F3);
    EXPECT_TRUE(mask.Modify(0, 0));
    EXPECT_FALSE(mask.Modify(0, 0));
    EXPECT_EQ(0x00000001u, mask.GetMask());
}

struct RegisterCase
{
    int reg;
    const char* name;
};

TEST(Registers, Names)
{
    const RegisterCase cases[] = {
        {0, "R[0]"},
        {15, "R[15]"},
        {16, "bad register"},
        {127, "bad register"},
        {128, "preferred_menu_language"},
        {129, "audio"},
        {130, "sub-picture"},
        {131, "angle"},
        {132, "vmg_title"},
        {133, "vts_title"},
        {134, "PGC"},
        {135, "chapter"},
        {136, "highlighted_button"},
        {137, "navigation_timer"},
        {138, "navigation_timer_jump_PGC"},
        {139, "karaoke_audio_mixing_mode"},
        {140, "parental_management_country_code"},
        {141, "parental_level"},
        {142, "player_video_configurations"},
        {143, "player_audio_configurations"},
        {144, "preferred_audio_language"},
        {145, "preferred_audio_extension"},
        {146, "preferred_sub-picture_language"},
        {147, "preferred_sub-picture_extension"},
        {148, "player_regional_code"},
        {149, "reserved_21"},
        {150, "reserved_22"},
        {151, "bad register"},
        {255, "bad register"},
        {-1, "bad register"},
        {0x105, "bad register"},
    };
    for (const RegisterCase& c : cases)
        EXPECT_STREQ(c.name, GetRegisterName(c.reg).GetText()) << c.reg;
}

TEST(Registers, SystemRange)
{
    for (int r = 0; r < 256; r++)
        EXPECT_EQ(r >= 128 && r <= 150, IsSystemRegister((BYTE)r)) << r;
}

struct OperandCase
{
    bool immediate;
    WORD value;
    const char* text;
};

TEST(Registers, OperandTexts)
{
    const OperandCase cases[] = {
        {true, 0x656E, "25966 (\"en\")"}, // a language code shows its letters
        {true, 0x5553, "21843 (\"US\")"}, // and so does a country code
        {true, 0x2020, "8224 (\"  \")"},
        {true, 0x7E7E, "32382 (\"~~\")"},
        {true, 0x7F41, "32577"}, // DEL is not printable
        {true, 0x411F, "16671"},
        {true, 0, "0"},
        {true, 65, "65"},
        {true, 0xFFFF, "65535"},
        {false, 3, "R[3]"},
        {false, 0x0088, "highlighted_button"},
        {false, 0x0188, "highlighted_button"}, // a register is the low byte
        {false, 0x0020, "bad register"},
    };
    for (const OperandCase& c : cases)
        EXPECT_STREQ(c.text, GetOperandText(c.immediate, c.value).GetText()) << c.value;
}

TEST(MenuTypes, Names)
{
    const RegisterCase cases[] = {
        {2, "\"title\""},   {3, "\"root\""},     {4, "\"sub-picture\""}, {5, "\"audio\""},
        {6, "\"angle\""},   {7, "\"chapters\""}, {0, "\"unknown\""},     {1, "\"unknown\""},
        {8, "\"unknown\""}, {0x103, "\"root\""}, // only the low 8 bits count
    };
    for (const RegisterCase& c : cases)
        EXPECT_STREQ(c.name, GetMenuTypeName(c.reg)) << c.reg;
}

const BYTE g_sample[NAV_COMMAND_SIZE] = {0xA5, 0x3C, 0x00, 0xFF, 0x01, 0x80, 0x7E, 0x42};

TEST(CommandBits, ReadsAcrossBytesMostSignificantFirst)
{
    CCommandBits bits;
    bits.Set(g_sample);
    // Bits 6-7 of 0xA5 are 01, bits 0-1 of 0x3C are 00.
    EXPECT_EQ(0x4u, bits.GetBits(0, 6, 4));
    EXPECT_EQ(0xA5u, bits.GetBits(0, 0, 8));
    EXPECT_EQ(0xFF01u, bits.GetBits(3, 0, 16));
    EXPECT_EQ(0x1u, bits.GetBits(5, 0, 1));
    EXPECT_EQ(0x7E4u, bits.GetBits(6, 0, 12));
    EXPECT_EQ(0u, bits.GetBits(2, 3, 0));
}

TEST(CommandBits, UnreadBits)
{
    const BYTE command[NAV_COMMAND_SIZE] = {0x02, 0x40, 0, 0, 0, 0, 0, 0};
    CCommandBits bits;
    bits.Set(command);
    EXPECT_TRUE(bits.HasUnreadBits());
    bits.GetBits(0, 6, 4); // bits 6-7 of byte 0 and 0-1 of byte 1
    EXPECT_FALSE(bits.HasUnreadBits());

    // Zero bits need not be read; reading does not change the command.
    const BYTE zeros[NAV_COMMAND_SIZE] = {};
    bits.Set(zeros);
    EXPECT_FALSE(bits.HasUnreadBits());

    // Set forgets the marks of the previous command.
    bits.Set(command);
    EXPECT_TRUE(bits.HasUnreadBits());
    bits.GetBits(0, 6, 3);
    EXPECT_TRUE(bits.HasUnreadBits()); // bit 1 of byte 1 is left
}

TEST(CommandBits, ReadsNothingBeyondTheCommand)
{
    const BYTE command[NAV_COMMAND_SIZE] = {0, 0, 0, 0, 0, 0, 0, 0xFF};
    CCommandBits bits;
    bits.Set(command);
    EXPECT_EQ(0xF0u, bits.GetBits(7, 4, 8)); // the 4 bits past the end read as 0
    EXPECT_TRUE(bits.HasUnreadBits());
}

struct SetBitsCase
{
    int byte;
    int bit;
    int width;
    WORD value;
    BYTE expected[NAV_COMMAND_SIZE];
};

TEST(CommandBits, SetBitsWritesOnlyTheField)
{
    const SetBitsCase cases[] = {
        {0, 0, 3, 0x7, {0xE0, 0, 0, 0, 0, 0, 0, 0}},
        {0, 6, 4, 0xF, {0x03, 0xC0, 0, 0, 0, 0, 0, 0}},
        {6, 1, 15, 0x1234, {0, 0, 0, 0, 0, 0, 0x12, 0x34}},
        {6, 6, 10, 0x3FF, {0, 0, 0, 0, 0, 0, 0x03, 0xFF}},
        {5, 4, 4, 0x12, {0, 0, 0, 0, 0, 0x02, 0, 0}}, // cut to the width
        {2, 0, 16, 0xABCD, {0, 0, 0xAB, 0xCD, 0, 0, 0, 0}},
        {3, 0, 0, 0xFF, {0, 0, 0, 0, 0, 0, 0, 0}},    // no width, no write
        {7, 4, 8, 0xFF, {0, 0, 0, 0, 0, 0, 0, 0x0F}}, // the end stops the field
    };
    for (const SetBitsCase& c : cases)
    {
        BYTE command[NAV_COMMAND_SIZE] = {};
        SetBits(command, c.byte, c.bit, c.width, c.value);
        EXPECT_EQ(0, memcmp(c.expected, command, NAV_COMMAND_SIZE)) << c.byte << "," << c.bit << "," << c.width;

        // Over a command of all ones, only the field's zero bits are cleared.
        BYTE ones[NAV_COMMAND_SIZE];
        memset(ones, 0xFF, sizeof(ones));
        SetBits(ones, c.byte, c.bit, c.width, 0);
        CCommandBits bits;
        bits.Set(ones);
        EXPECT_EQ(0u, bits.GetBits(c.byte, c.bit, c.width));
        int nCleared = 0;
        for (BYTE b : ones)
            for (int i = 0; i < 8; i++)
                nCleared += !(b & (1 << i));
        const int nInside = c.width <= 0 ? 0 : std::min(c.width, 64 - (c.byte * 8 + c.bit));
        EXPECT_EQ(nInside, nCleared);
    }
}

} // namespace
