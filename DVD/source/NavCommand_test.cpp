#include "DVD/source/NavCommand.h"

#include "tests/support/Fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace
{

typedef std::vector<BYTE> Bytes;

Bytes FromHex(const std::string& hex)
{
    Bytes bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back((BYTE)std::stoul(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::string ToHex(const BYTE* p)
{
    std::string s;
    char b[3];
    for (int i = 0; i < NAV_COMMAND_SIZE; i++)
    {
        snprintf(b, sizeof(b), "%02x", p[i]);
        s += b;
    }
    return s;
}

std::string Reencode(const std::string& hex, bool* pbDecoded = nullptr)
{
    const Bytes in = FromHex(hex);
    BYTE out[NAV_COMMAND_SIZE];
    CNavCommand::FromBytes(DVDDOMAIN_ANY, in.data(), pbDecoded).Encode(out);
    return ToHex(out);
}

// A command as the editor would show it: type, compare and set texts, the
// system set's kind and values, then the instruction with the parameters its
// catalogue row counts.
std::string Describe(const CNavCommand& command)
{
    std::string s = std::to_string(command.GetType()) + " ";
    s += command.GetCompare().GetText().GetText();
    if (command.GetSet().IsPresent())
        s += std::string(command.GetSet().GetText().GetText()) + " ";
    if (command.GetType() == NAV_TYPE_SYSTEM_SET)
    {
        const CNavSystemSet& sys = command.GetSystemSet();
        s += "sys" + std::to_string(sys.GetKind()) + (sys.IsImmediate() ? "i" : "") + "(" +
             std::to_string(sys.GetValue(0)) + "," + std::to_string(sys.GetValue(1)) + "," +
             std::to_string(sys.GetValue(2)) + ") ";
    }
    const CNavInstruction& instruction = command.GetInstruction();
    s += "| ";
    s += instruction.GetInstructionName();
    const int nParams = GetInstructionInfo(instruction.GetCode()).nParams;
    for (int i = 0; i < nParams; i++)
        s += (i ? "," : "(") + std::to_string(instruction.GetParam(i)) + (i + 1 == nParams ? ")" : "");
    return s;
}

// ---- Commands compiled by dvdauthor --------------------------------------------------

struct CompiledCommand
{
    std::string domain; // vmgm, vtsm, title
    std::string kind;   // pre, post, cell
    int index;
    std::string hex;
    std::string statement;
};

std::vector<CompiledCommand> ReadCommandList(const std::string& path)
{
    std::vector<CompiledCommand> list;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
    {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        CompiledCommand c;
        int pgc;
        fields >> c.domain >> pgc >> c.kind >> c.index >> c.hex;
        std::getline(fields >> std::ws, c.statement);
        list.push_back(c);
    }
    return list;
}

BYTE DomainOf(const std::string& domain)
{
    if (domain == "fp")
        return DVDDOMAIN_FIRST_PLAY;
    if (domain == "vmgm")
        return DVDDOMAIN_VMG_MENU;
    if (domain == "vtsm")
        return DVDDOMAIN_VTS_MENU;
    return DVDDOMAIN_TITLE;
}

struct MeaningCase
{
    const char* domain;
    const char* statement;
    int index; // line of the statement's pre-commands
    const char* meaning;
    bool allowed; // in the pre-commands of that domain (instruction and system set)
};

// What each statement of the command table compiles to, line by line.
const MeaningCase g_meanings[] = {
    {"vmgm", "g0 = 5;", 1, "4 R[0] = 5 | ", true},
    {"vmgm", "g1 = g0;", 1, "4 R[1] = R[0] | ", true},
    {"vmgm", "g2 += 3;", 1, "4 R[2] += 3 | ", true},
    {"vmgm", "g3 = g3 + g2;", 1, "4 R[3] += R[2] | ", true},
    {"vmgm", "g4 = g4 - 1;", 1, "4 R[4] -= 1 | ", true},
    {"vmgm", "g5 = g5 * 2;", 1, "4 R[5] *= 2 | ", true},
    {"vmgm", "g6 = g6 / 2;", 1, "4 R[6] /= 2 | ", true},
    {"vmgm", "g7 = g7 % 3;", 1, "4 R[7] %= 3 | ", true},
    {"vmgm", "g8 = g8 & 255;", 1, "4 R[8] &= 255 | ", true},
    {"vmgm", "g9 = g9 | 16;", 1, "4 R[9] |= 16 | ", true},
    {"vmgm", "g10 = g10 ^ 1;", 1, "4 R[10] ^= 1 | ", true},
    {"vmgm", "g11 = random(6);", 1, "4 R[11] = random 6 | ", true},
    {"vmgm", "g12 = s8;", 1, "4 R[12] = highlighted_button | ", true},
    {"vmgm", "g0 = s1;", 1, "4 R[0] = audio | ", true},
    {"vmgm", "button = 2048;", 1, "3 sys6i(2048,0,0) | ", true},
    {"vmgm", "s8 = 3072;", 1, "3 sys6i(3072,0,0) | ", true},
    // Stream numbers are set in title sets only.
    {"vmgm", "audio = 1;", 1, "3 sys1i(129,0,0) | ", false},
    {"vmgm", "audio = g3;", 1, "3 sys1(131,0,0) | ", false},
    {"vmgm", "subtitle = 65;", 1, "3 sys1i(0,193,0) | ", false},
    {"vmgm", "angle = 1;", 1, "3 sys1i(0,0,129) | ", false},
    {"vmgm", "if (g0 == 1) g1 = 2;", 1, "4 if (R[0] == 1) R[1] = 2 | ", true},
    {"vmgm", "if (g0 != g1) g2 = 3;", 1, "4 if (R[0] != R[1]) R[2] = 3 | ", true},
    {"vmgm", "if (g0 ge 4) g3 = 1;", 1, "4 if (R[0] >= 4) R[3] = 1 | ", true},
    {"vmgm", "if (g0 gt g2) g3 = 2;", 1, "4 if (R[0] > R[2]) R[3] = 2 | ", true},
    {"vmgm", "if (g0 le 7) g4 = 1;", 1, "4 if (R[0] <= 7) R[4] = 1 | ", true},
    {"vmgm", "if (g0 lt g5) g4 = 2;", 1, "4 if (R[0] < R[5]) R[4] = 2 | ", true},
    {"vmgm", "if (g0 ge g1) g2 = 1; else g2 = 2;", 1, "0 if (R[0] < R[1]) | goto line(4)", true},
    {"vmgm", "if (g0 ge g1) g2 = 1; else g2 = 2;", 2, "4 R[2] = 1 | ", true},
    {"vmgm", "if (g0 ge g1) g2 = 1; else g2 = 2;", 3, "0 | goto line(5)", true},
    {"vmgm", "if (g0 ge g1) g2 = 1; else g2 = 2;", 4, "4 R[2] = 2 | ", true},
    {"vmgm", "if (g0 ge g1) g2 = 1; else g2 = 2;", 5, "0 | NOP", true},
    {"vmgm", "if (g0 lt 3 and g1 gt 2) g2 = 1;", 1, "0 if (R[0] >= 3) | goto line(3)", true},
    {"vmgm", "if (g0 lt 3 and g1 gt 2) g2 = 1;", 2, "4 if (R[1] > 2) R[2] = 1 | ", true},
    {"vmgm", "if (g0 == 0) goto skip; g1 = 1; skip: g2 = 2;", 1, "4 if (R[0] != 0) R[1] = 1 | ", true},
    {"vmgm", "if (g0 == 0) goto skip; g1 = 1; skip: g2 = 2;", 2, "4 R[2] = 2 | ", true},
    {"vmgm", "break;", 1, "0 | Break", true},
    {"vmgm", "exit;", 1, "2 | Exit", true},
    {"vmgm", "jump title 2;", 1, "2 | Jump VMG Title(2)", true},
    {"vmgm", "jump titleset 1 menu;", 1, "2 | Jump VTS Menu(1,3,1)", true},
    {"vmgm", "jump titleset 1 menu entry root;", 1, "2 | Jump VTS Menu(1,3,1)", true},
    {"vmgm", "jump menu 1;", 1, "2 | Jump VMG PGC(1)", true},
    {"vmgm", "jump vmgm menu 2;", 1, "2 | Jump VMG PGC(2)", true},
    {"vmgm", "jump pgc 3;", 1, "1 | Link PGC(3)", true},
    // PGC-level link sub-instructions belong to cell and button commands.
    {"vmgm", "jump pgc top;", 1, "1 | LinkTopPGC(0)", false},
    {"vmgm", "jump next pgc;", 1, "1 | LinkNextPGC(0)", false},
    {"vmgm", "jump prev pgc;", 1, "1 | LinkPrevPGC(0)", false},
    {"vmgm", "if (g0 != 1) jump menu 1;", 1, "0 if (R[0] == 1) | goto line(3)", true},
    {"vmgm", "if (g0 != 1) jump menu 1;", 2, "2 | Jump VMG PGC(1)", true},
    {"vmgm", "g0 = random(g3);", 1, "4 R[0] = random R[3] | ", true},
    {"vmgm", "g0 = 40000;", 1, "4 R[0] = 40000 | ", true},
    {"vmgm", "subtitle = g4;", 1, "3 sys1(0,132,0) | ", false},
    {"vmgm", "s8 = g2;", 1, "3 sys6(2,0,0) | ", true},
    {"vmgm", "if ((g0 & 4) != 0) g1 = 1;", 1, "4 R[13] = R[0] | ", true},
    {"vmgm", "if ((g0 & 4) != 0) g1 = 1;", 2, "4 R[13] &= 4 | ", true},
    {"vmgm", "if ((g0 & 4) != 0) g1 = 1;", 3, "4 if (R[13] != 0) R[1] = 1 | ", true},
    {"vmgm", "if (g0 gt 2 or g1 lt 3) g2 = 1;", 1, "0 if (R[0] > 2) | goto line(3)", true},
    {"vtsm", "resume;", 1, "1 | Resume(0)", true},
    {"vtsm", "jump title 1;", 1, "2 | Jump VTS Title(1)", true},
    {"vtsm", "jump vmgm menu 1;", 1, "2 | Jump VMG PGC(1)", true},
    {"vtsm", "jump vmgm menu entry title;", 1, "2 | Jump VMG \"title\" menu", true},
    {"vtsm", "jump menu 1;", 1, "1 | Link PGC(1)", true},
    {"vtsm", "jump pgc 2;", 1, "1 | Link PGC(2)", true},
    {"vtsm", "g0 = s7;", 1, "4 R[0] = chapter | ", true},
    {"title", "call vmgm menu 1;", 1, "2 | Call VMG PGC(1,1)", true},
    {"title", "call vmgm menu entry title;", 1, "2 | Call VMG \"title\" menu(1)", true},
    {"title", "call vmgm menu entry title resume 2;", 1, "2 | Call VMG \"title\" menu(2)", true},
    {"title", "call menu entry root resume 1;", 1, "2 | Call VTS Menu(3,1)", true},
    {"title", "jump chapter 1;", 1, "1 | Link Chapter(1,0)", true},
    {"title", "jump program 1;", 1, "1 | Link Program(1,0)", true},
    {"title", "jump cell 1;", 1, "1 | Link Cell(1,0)", true},
    {"title", "jump cell top;", 1, "1 | LinkTopCell(0)", false},
    {"title", "jump program top;", 1, "1 | LinkTopProgram(0)", false},
    {"title", "jump next program;", 1, "1 | LinkNextProgram(0)", false},
    {"title", "jump prev cell;", 1, "1 | LinkPrevCell(0)", false},
    {"title", "jump pgc tail;", 1, "1 | LinkTailPGC(0)", false},
    {"title", "jump title 2;", 1, "2 | Jump VTS Title(2)", true},
    {"title", "if (g1 == 2) jump chapter 1;", 1, "1 if (R[1] == 2) | Link Chapter(1,0)", true},
};

TEST(NavCommandFixture, CompiledStatementsMeanWhatWasWritten)
{
    KX_REQUIRE_FIXTURE(dir, "cmdtable");
    const std::vector<CompiledCommand> list = ReadCommandList(kxtest::FixturePath("cmdtable", "commands.txt"));
    ASSERT_FALSE(list.empty());

    for (const MeaningCase& m : g_meanings)
    {
        SCOPED_TRACE(std::string(m.domain) + " " + m.statement + " line " + std::to_string(m.index));
        const CompiledCommand* found = nullptr;
        for (const CompiledCommand& c : list)
        {
            if (c.domain == m.domain && c.statement == m.statement && c.kind == "pre" && c.index == m.index)
                found = &c;
        }
        ASSERT_NE(nullptr, found);
        const Bytes bytes = FromHex(found->hex);
        bool bDecoded = false;
        const CNavCommand command = CNavCommand::FromBytes(DomainOf(m.domain), bytes.data(), &bDecoded);
        EXPECT_TRUE(bDecoded) << found->hex;
        EXPECT_EQ(m.meaning, Describe(command)) << found->hex;
        const bool bAllowed =
            command.GetInstruction().IsAllowed(DomainOf(m.domain)) &&
            (command.GetType() != NAV_TYPE_SYSTEM_SET || command.GetSystemSet().IsAllowed(DomainOf(m.domain)));
        EXPECT_EQ(m.allowed, bAllowed);
    }
}

TEST(NavCommandFixture, CompiledCommandsRoundTrip)
{
    KX_REQUIRE_FIXTURE(dir, "cmdtable");
    const std::vector<CompiledCommand> list = ReadCommandList(kxtest::FixturePath("cmdtable", "commands.txt"));
    ASSERT_FALSE(list.empty());
    for (const CompiledCommand& c : list)
    {
        bool bDecoded = false;
        EXPECT_EQ(c.hex, Reencode(c.hex, &bDecoded)) << c.statement;
        EXPECT_TRUE(bDecoded) << c.hex << " " << c.statement;
    }
}

// Every pre-, post-, cell and button command of every fixture, as libdvdread
// reads them.
TEST(NavCommandFixture, EveryFixtureCommandRoundTrips)
{
    KX_REQUIRE_IFODUMP();
    int nCommands = 0;
    int nButtons = 0;
    for (const char* name : {"pal1", "ntscmenu", "twovts", "cmdtable"})
    {
        KX_REQUIRE_FIXTURE(dir, name);
        std::vector<std::pair<std::string, std::string>> commands; // place, hex
        for (const kxtest::IfoRecord& r : kxtest::Select(kxtest::IfoDump(dir), "cmd"))
        {
            commands.push_back({std::string(name) + " " + r.Get("dom") + " pgc " + r.Get("pgc") + " " + r.Get("kind") +
                                    " " + r.Get("n"),
                                r.Get("bytes")});
            nCommands++;
        }
        for (const kxtest::IfoRecord& r : kxtest::Select(kxtest::IfoDump(dir, true), "btn"))
        {
            commands.push_back(
                {std::string(name) + " " + r.Get("dom") + " vobu " + r.Get("n") + " button " + r.Get("b"),
                 r.Get("cmd")});
            nButtons++;
        }
        for (const auto& c : commands)
        {
            bool bDecoded = false;
            EXPECT_EQ(c.second, Reencode(c.second, &bDecoded)) << c.first;
            EXPECT_TRUE(bDecoded) << c.first << " " << c.second;
        }
    }
    EXPECT_GT(nCommands, 0);
    EXPECT_GT(nButtons, 0);
}

// ---- Hand-made commands ---------------------------------------------------------------

struct DecodeCase
{
    const char* hex;
    bool decodes;
    const char* meaning;
};

TEST(NavCommand, DecodesEachLayout)
{
    const DecodeCase cases[] = {
        {"0000000000000000", true, "0 | NOP"},
        // special: Set Parental Level 5, then line 2
        {"0003000000000502", true, "0 | Set Parental Level(5,2)"},
        {"0004000000000000", false, "0 | Unknown instruction"},
        // DVD type 1 is a link or, with its fourth bit, a jump or call
        {"2001000000000c01", true, "1 | LinkTopCell(3)"},
        {"2005000000000c07", true, "1 | Link Chapter(7,3)"},
        {"2006000000000c07", true, "1 | Link Program(7,3)"},
        {"2007000000000c07", true, "1 | Link Cell(7,3)"},
        {"2002000000000000", false, "1 | Unknown instruction"},
        {"2001000000000004", false, "1 | Unknown instruction"}, // unnamed sub-instruction
        {"3005000400030000", true, "2 | Jump VTS Title Chapter(3,4)"},
        {"3006000000000000", true, "2 | Jump FirstPlay"},
        {"3006000000420000", true, "2 | Jump VMG \"title\" menu"},
        {"3006000005870000", true, "2 | Jump VTS Menu(5,7,0)"},
        {"3008000005000000", true, "2 | Call FirstPlay(5)"},
        {"3008000007830000", true, "2 | Call VTS Menu(3,7)"},
        {"3008000407c00000", true, "2 | Call VMG PGC(4,7)"},
        {"3004000000000000", false, "2 | Unknown instruction"},
        // a compare of two registers: bytes 6 and 7
        {"3011000000000384", true, "2 if (R[3] & vmg_title) | Exit"},
        // system sets: navigation timer, counter mode, karaoke mode, button
        {"5200001e00030000", true, "3 sys2i(30,3,0) | "},
        {"4200000500030000", true, "3 sys2(5,3,0) | "},
        {"5300006400840000", true, "3 sys3i(4,100,1) | "},
        {"4300008d00020000", true, "3 sys3(2,141,0) | "},
        {"5400000000050000", true, "3 sys4i(5,0,0) | "},
        {"4400000000850000", true, "3 sys4(133,0,0) | "},
        {"4600000000030000", true, "3 sys6(3,0,0) | "},
        {"5604000008000003", true, "3 sys6i(2048,0,0) | Link PGC(3)"},
        {"5000000000000000", false, "3 sys0i(0,0,0) | "},
        {"5500000000000000", false, "3 sys5i(0,0,0) | "},
        // set with a link in place of the compare
        {"7101000f0001000d", true, "4 R[15] = 1 | LinkTailPGC(0)"},
        {"7103000f00010000", false, "4 R[15] = 1 | Unknown instruction"},
        // set, then compare the set register and link
        {"91a3000500070801", true, "5 if (R[3] == 7) R[3] = 5 | LinkTopCell(2)"},
        {"8000000000000005", true, "5 | LinkTopProgram(0)"},
        // compare, then set: an immediate set moves the compare to bytes 4-5
        {"b132000901840010", true, "6 if (R[1] != vmg_title) R[2] = 9 | Resume(0)"},
        {"c2c5060701000000", true, "7 if (R[7] >= 256) R[5] <-> R[6] | LinkNoLink(0)"},
        {"c000000000000009", true, "7 | LinkTopPGC(0)"},
        {"e000000000000000", false, "0 | "}, // DVD type 7 does not exist
    };
    for (const DecodeCase& c : cases)
    {
        const Bytes bytes = FromHex(c.hex);
        CNavCommand command;
        EXPECT_EQ(c.decodes, command.Decode(bytes.data())) << c.hex;
        EXPECT_EQ(c.meaning, Describe(command)) << c.hex;
        if (c.decodes)
        {
            BYTE out[NAV_COMMAND_SIZE];
            command.Encode(out);
            EXPECT_EQ(c.hex, ToHex(out));
        }
    }
}

TEST(NavCommand, StrayBitsFailButKeepTheFields)
{
    // LinkTopPGC with a bit set in byte 2, which no field of a link reads.
    const Bytes bytes = FromHex("2001040000000009");
    bool bDecoded = true;
    const CNavCommand command =
        CNavCommand::FromBytes(DVDDOMAIN_COMMAND_GROUP | DVDDOMAIN_TITLE, bytes.data(), &bDecoded);
    EXPECT_FALSE(bDecoded);
    EXPECT_EQ(NAV_TYPE_LINK, command.GetType());
    EXPECT_EQ(NAV_LINK_TOP_PGC, command.GetInstruction().GetCode());
    BYTE out[NAV_COMMAND_SIZE];
    command.Encode(out);
    EXPECT_EQ("2001000000000009", ToHex(out));

    // An absent compare reads none of its operands.
    EXPECT_EQ("2001000000000009", Reencode("2001000500000009", &bDecoded));
    EXPECT_FALSE(bDecoded);
    // Nor does an absent set read its immediate flag.
    EXPECT_EQ("6001000000000009", Reencode("7001000000000009", &bDecoded));
    EXPECT_FALSE(bDecoded);
}

TEST(NavCommand, TitleMenuJumpsAlwaysNameTheTitleMenu)
{
    bool bDecoded = false;
    EXPECT_EQ("3006000000420000", Reencode("3006000000450000", &bDecoded));
    EXPECT_TRUE(bDecoded);
    EXPECT_EQ("3008000003420000", Reencode("3008000003470000", &bDecoded));
    EXPECT_TRUE(bDecoded);
}

TEST(NavCommand, EncodeCutsValuesToTheirFields)
{
    CNavCommand command(DVDDOMAIN_TITLE);
    command.SetType(NAV_TYPE_LINK);
    command.GetInstruction().SetCode(NAV_LINK_CELL);
    command.GetInstruction().SetParam1(0x1FF); // 8-bit cell number
    command.GetInstruction().SetParam2(0x41);  // 6-bit button
    BYTE out[NAV_COMMAND_SIZE];
    command.Encode(out);
    EXPECT_EQ("20070000000004ff", ToHex(out));
}

bool SameOperation(const CNavOperation& a, const CNavOperation& b)
{
    return a.GetOperator() == b.GetOperator() && a.GetLeft() == b.GetLeft() && a.GetRight() == b.GetRight() &&
           a.IsImmediate() == b.IsImmediate() && a.GetRules() == b.GetRules();
}

bool SameFields(const CNavCommand& a, const CNavCommand& b)
{
    const CNavSystemSet& sa = a.GetSystemSet();
    const CNavSystemSet& sb = b.GetSystemSet();
    const CNavInstruction& ia = a.GetInstruction();
    const CNavInstruction& ib = b.GetInstruction();
    bool bSame = a.GetType() == b.GetType() && SameOperation(a.GetCompare(), b.GetCompare()) &&
                 SameOperation(a.GetSet(), b.GetSet()) && sa.GetKind() == sb.GetKind() &&
                 sa.IsImmediate() == sb.IsImmediate() && ia.GetCode() == ib.GetCode() && ia.GetGroup() == ib.GetGroup();
    for (int i = 0; i < 3; i++)
        bSame = bSame && sa.GetValue(i) == sb.GetValue(i) && ia.GetParam(i) == ib.GetParam(i);
    return bSame;
}

// Over a million 8-byte values: a command that decodes encodes to the same
// bytes; one that fails only because of bits no field reads encodes without
// exactly those bits.
TEST(NavCommand, RandomSweep)
{
    std::mt19937_64 rng(0x4b5844564443ull);
    std::set<int> typesDecoded;
    int nDecoded = 0;
    int nStray = 0;
    for (int i = 0; i < 1000000; i++)
    {
        // Sparser values, which decode far more often, in three of four.
        uint64_t value = rng();
        for (int k = 0; k < i % 4; k++)
            value &= rng();
        BYTE x[NAV_COMMAND_SIZE];
        for (int b = 0; b < NAV_COMMAND_SIZE; b++)
            x[b] = (BYTE)(value >> (56 - 8 * b));

        bool bDecoded = false;
        const CNavCommand command = CNavCommand::FromBytes(DVDDOMAIN_ANY, x, &bDecoded);
        BYTE y[NAV_COMMAND_SIZE];
        command.Encode(y);

        // The title menu jumps and calls always write the title menu type.
        BYTE expected[NAV_COMMAND_SIZE];
        memcpy(expected, x, sizeof(expected));
        const BYTE nCode = command.GetInstruction().GetCode();
        if (nCode == NAV_JUMP_VMG_TITLE_MENU || nCode == NAV_CALL_VMG_TITLE_MENU)
            SetBits(expected, 5, 4, 4, 2);

        if (bDecoded)
        {
            ASSERT_EQ(ToHex(expected), ToHex(y)) << "decoded " << ToHex(x);
            typesDecoded.insert(command.GetType());
            nDecoded++;
            continue;
        }

        // A failure on unread bits alone leaves fields that encode to bytes
        // which decode to the same fields; any other failure (an undefined
        // type, sub-code or kind) does not.
        bool bEncodedDecodes = false;
        const CNavCommand again = CNavCommand::FromBytes(DVDDOMAIN_ANY, y, &bEncodedDecodes);
        if (!bEncodedDecodes || !SameFields(command, again))
            continue;
        nStray++;
        for (int b = 0; b < NAV_COMMAND_SIZE; b++)
            ASSERT_EQ(0, y[b] & ~expected[b]) << "encoding added bits to " << ToHex(x);
        // Each dropped bit on its own makes the command fail and changes no
        // field: it was not read.
        for (int bit = 0; bit < 64; bit++)
        {
            const BYTE mask = (BYTE)(0x80 >> (bit & 7));
            if (!(expected[bit >> 3] & mask) || (y[bit >> 3] & mask))
                continue;
            BYTE one[NAV_COMMAND_SIZE];
            memcpy(one, y, sizeof(one));
            one[bit >> 3] |= mask;
            bool bOneDecodes = true;
            const CNavCommand withBit = CNavCommand::FromBytes(DVDDOMAIN_ANY, one, &bOneDecodes);
            ASSERT_FALSE(bOneDecodes) << "bit " << bit << " of " << ToHex(x) << " was read but dropped";
            ASSERT_TRUE(SameFields(again, withBit)) << "bit " << bit << " of " << ToHex(x);
        }
    }
    EXPECT_EQ(8u, typesDecoded.size());
    EXPECT_GT(nDecoded, 0);
    EXPECT_GT(nStray, 0);
}

// ---- Types and their defaults ------------------------------------------------------

TEST(NavCommand, SetTypeKeepsOperandFormsTheTypeAllows)
{
    CNavCommand command(DVDDOMAIN_TITLE);
    command.SetType(NAV_TYPE_LINK);
    command.GetCompare().SetImmediate(true);
    command.GetSet().SetImmediate(false);
    command.GetInstruction().SetCode(NAV_LINK_PGC);
    command.GetInstruction().SetParam1(4);

    command.SetType(NAV_TYPE_SET);
    EXPECT_EQ(NAV_GROUP_LINK_SUB | NAV_GROUP_LINK, command.GetInstruction().GetGroup());
    EXPECT_EQ(0, command.GetInstruction().GetParam1()); // a new group clears the parameters
    EXPECT_TRUE(command.GetCompare().IsImmediate());
    EXPECT_FALSE(command.GetSet().IsImmediate());
    EXPECT_EQ(7, command.GetSet().GetRules());

    // Jumps compare two registers.
    command.SetType(NAV_TYPE_JUMP);
    EXPECT_EQ(NAV_GROUP_JUMP, command.GetInstruction().GetGroup());
    EXPECT_FALSE(command.GetCompare().IsImmediate());
    EXPECT_FALSE(command.GetCompare().AllowsImmediate());

    // Back to a type with immediates: the compare stays on registers.
    command.SetType(NAV_TYPE_LINK);
    EXPECT_FALSE(command.GetCompare().IsImmediate());
    EXPECT_TRUE(command.GetCompare().AllowsImmediate());

    command.GetSet().SetImmediate(true);
    command.SetType(NAV_TYPE_COMPARE_SET_LINK);
    EXPECT_EQ(NAV_GROUP_LINK_SUB, command.GetInstruction().GetGroup());
    EXPECT_TRUE(command.GetSet().IsImmediate());
    EXPECT_FALSE(command.GetCompare().IsImmediate());

    command.SetType(NAV_TYPE_SPECIAL);
    EXPECT_EQ(NAV_GROUP_SPECIAL, command.GetInstruction().GetGroup());
}

TEST(NavCommand, BuildsACommandFromParts)
{
    // if (R[2] >= 10) R[2] = 0, then LinkNoLink with button 1, in a cell.
    CNavCommand command(DVDDOMAIN_TITLE | DVDDOMAIN_COMMAND_GROUP);
    command.SetType(NAV_TYPE_SET_COMPARE_LINK);
    command.GetSet().SetOperator(1);
    command.GetSet().SetImmediate(true);
    command.GetSet().SetLeft(2);
    command.GetSet().SetRight(0);
    command.GetCompare().SetOperator(4);
    command.GetCompare().SetImmediate(true);
    command.GetCompare().SetLeft(2);
    command.GetCompare().SetRight(10);
    command.GetInstruction().SetCode(NAV_LINK_NO_LINK);
    EXPECT_TRUE(command.GetInstruction().SetButton(1));
    BYTE out[NAV_COMMAND_SIZE];
    command.Encode(out);
    EXPECT_EQ("91c20000000a0400", ToHex(out));
    EXPECT_EQ("5 if (R[2] >= 10) R[2] = 0 | LinkNoLink(1)", Describe(CNavCommand::FromBytes(DVDDOMAIN_ANY, out)));
}

// ---- Instructions -----------------------------------------------------------------------

TEST(NavInstruction, CatalogueNames)
{
    const char* const names[NAV_INSTRUCTION_COUNT] = {
        "LinkNoLink",
        "LinkTopCell",
        "LinkNextCell",
        "LinkPrevCell",
        "",
        "LinkTopProgram",
        "LinkNextProgram",
        "LinkPrevProgram",
        "",
        "LinkTopPGC",
        "LinkNextPGC",
        "LinkPrevPGC",
        "LinkGoUpPGC",
        "LinkTailPGC",
        "",
        "",
        "Resume",
        "Link PGC",
        "Link Chapter",
        "Link Program",
        "Link Cell",
        "Exit",
        "Jump VMG Title",
        "Jump VTS Title",
        "Jump VTS Title Chapter",
        "Jump FirstPlay",
        "Jump VMG \"title\" menu",
        "Jump VTS Menu",
        "Jump VMG PGC",
        "Call FirstPlay",
        "Call VMG \"title\" menu",
        "Call VTS Menu",
        "Call VMG PGC",
        "NOP",
        "goto line",
        "Break",
        "Set Parental Level",
        "Unknown instruction",
        "",
    };
    CNavInstruction instruction;
    for (int code = 0; code < NAV_INSTRUCTION_COUNT; code++)
    {
        EXPECT_STREQ(names[code], instruction.GetInstructionName(code)) << code;
        EXPECT_EQ(code != 4 && code != 8 && code != 14 && code != 15, IsNamedInstruction(code)) << code;
    }
    EXPECT_STREQ("Unknown instruction", instruction.GetInstructionName(39));
    EXPECT_FALSE(IsNamedInstruction(39));
    EXPECT_STREQ("", instruction.GetInstructionName()); // no instruction yet
    instruction.SetCode(NAV_BREAK);
    EXPECT_STREQ("Break", instruction.GetInstructionName());
    EXPECT_STREQ("Exit", instruction.GetInstructionName(NAV_EXIT));
}

TEST(NavInstruction, CatalogueTexts)
{
    const NavInstructionInfo& unnamed = GetInstructionInfo(8);
    EXPECT_EQ(nullptr, unnamed.pszName);
    EXPECT_EQ(nullptr, unnamed.pszDescription);
    EXPECT_EQ(0, unnamed.nParams);

    const NavInstructionInfo& menu = GetInstructionInfo(NAV_JUMP_VTS_MENU);
    EXPECT_STREQ("Start VTS menu of given type. Menu types: 3 - Root, 4 - SubPicture, 5 - Audio, 6 - Angle, "
                 "7 - Chapter. Set titleset# to 0 to jump to menu in the same VTS.",
                 menu.pszDescription);
    EXPECT_EQ(3, menu.nParams);
    EXPECT_STREQ("titleset #", menu.pszParamNames[0]);
    EXPECT_STREQ("menu type #", menu.pszParamNames[1]);
    EXPECT_STREQ("title #", menu.pszParamNames[2]);
    EXPECT_STREQ("Set to 0 to jump in the same VTS", menu.pszParamDescriptions[0]);
    EXPECT_EQ(nullptr, menu.pszParamDescriptions[2]);

    const NavInstructionInfo& titleMenu = GetInstructionInfo(NAV_JUMP_VMG_TITLE_MENU);
    EXPECT_EQ(0, titleMenu.nParams);
    EXPECT_STREQ("menu type #", titleMenu.pszParamNames[0]);
    EXPECT_STREQ("2 - title menu", titleMenu.pszParamDescriptions[0]);

    const NavInstructionInfo& next = GetInstructionInfo(NAV_LINK_NEXT_PGC);
    EXPECT_STREQ("Start the PGC pointed to by the \"next\" link", next.pszDescription);
    EXPECT_STREQ("highlight button #", next.pszParamNames[0]);
    EXPECT_STREQ("Optional. Specifies highlighted button.", next.pszParamDescriptions[0]);

    const NavInstructionInfo& call = GetInstructionInfo(NAV_CALL_VMG_PGC);
    EXPECT_EQ(nullptr, call.pszParamDescriptions[0]);
    EXPECT_STREQ("Optional. Specify a different resume cell.", call.pszParamDescriptions[1]);

    EXPECT_STREQ("Ask for confirmation to set new Parental Level. On success go to given line in this group of "
                 "commands.",
                 GetInstructionInfo(NAV_SET_PARENTAL_LEVEL).pszDescription);
    EXPECT_STREQ("Parental Management Level", GetInstructionInfo(NAV_SET_PARENTAL_LEVEL).pszParamDescriptions[0]);
    EXPECT_STREQ("", GetInstructionInfo(NAV_UNKNOWN_INSTRUCTION).pszDescription);
}

struct AllowedListCase
{
    BYTE domain;
    BYTE group;
    std::vector<BYTE> codes;
};

TEST(NavInstruction, AllowedListsByDomainAndGroup)
{
    const std::vector<BYTE> allLinkSubs = {0, 1, 2, 3, 5, 6, 7, 9, 10, 11, 12, 13, 16};
    const std::vector<BYTE> menuLinkSubs = {0, 1, 2, 3, 5, 6, 7, 9, 13, 16};
    const AllowedListCase cases[] = {
        {DVDDOMAIN_TITLE, NAV_GROUP_LINK_SUB, {16}},
        {DVDDOMAIN_TITLE | DVDDOMAIN_COMMAND_GROUP, NAV_GROUP_LINK_SUB, allLinkSubs},
        {DVDDOMAIN_VMG_MENU | DVDDOMAIN_COMMAND_GROUP, NAV_GROUP_LINK_SUB, menuLinkSubs},
        {DVDDOMAIN_TITLE, NAV_GROUP_ALL, {33, 34, 35, 16, 17, 18, 19, 20, 21, 23, 24, 29, 30, 31, 32}},
        // Resume is the one link sub-instruction a PGC command may use.
        {DVDDOMAIN_FIRST_PLAY, NAV_GROUP_ALL, {33, 34, 35, 16, 21, 22, 26, 27, 28}},
        {DVDDOMAIN_VMG_MENU, NAV_GROUP_ALL, {33, 34, 35, 36, 16, 17, 19, 20, 21, 22, 25, 26, 27, 28}},
        {DVDDOMAIN_VTS_MENU, NAV_GROUP_ALL, {33, 34, 35, 16, 17, 19, 20, 21, 23, 24, 25, 26, 27, 28}},
        {DVDDOMAIN_VTS_MENU | DVDDOMAIN_COMMAND_GROUP, NAV_GROUP_SPECIAL, {33, 34}},
        {DVDDOMAIN_VTS_MENU, NAV_GROUP_LINK_SUB | NAV_GROUP_LINK, {16, 17, 19, 20}},
        {DVDDOMAIN_TITLE, NAV_GROUP_JUMP, {21, 23, 24, 29, 30, 31, 32}},
        {DVDDOMAIN_ANY, NAV_GROUP_ALL, {33, 34, 36, 0,  1,  2,  3,  5,  6,  7,  9,  13, 16, 17, 18,
                                        19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32}},
    };
    for (const AllowedListCase& c : cases)
    {
        CNavInstruction instruction(c.domain, c.group);
        EXPECT_EQ(c.codes, instruction.GetAllowedCodes()) << (int)c.domain << "/" << (int)c.group;

        // The same list whichever was set last.
        CNavInstruction rebuilt;
        rebuilt.SetGroup(c.group);
        rebuilt.SetDomain(c.domain);
        EXPECT_EQ(c.codes, rebuilt.GetAllowedCodes()) << (int)c.domain << "/" << (int)c.group;
    }
}

struct AllowedCase
{
    BYTE code;
    BYTE domain;
    bool allowed;
};

TEST(NavInstruction, IsAllowed)
{
    const BYTE FP = DVDDOMAIN_FIRST_PLAY, TT = DVDDOMAIN_TITLE, VMGM = DVDDOMAIN_VMG_MENU, VTSM = DVDDOMAIN_VTS_MENU,
               CELL = DVDDOMAIN_COMMAND_GROUP;
    const AllowedCase cases[] = {
        {NAV_SET_PARENTAL_LEVEL, VMGM, true},
        {NAV_SET_PARENTAL_LEVEL, FP, false},
        {NAV_SET_PARENTAL_LEVEL, TT, false},
        {NAV_SET_PARENTAL_LEVEL, VTSM, false},
        {NAV_BREAK, TT, true},
        {NAV_BREAK, TT | CELL, false},
        {NAV_LINK_NO_LINK, TT, false},
        {NAV_LINK_TOP_CELL, TT, false},
        {NAV_LINK_TOP_CELL, TT | CELL, true},
        {NAV_LINK_TAIL_PGC, VMGM | CELL, true},
        {NAV_RESUME, TT, true},
        {NAV_LINK_NEXT_PGC, TT | CELL, true},
        {NAV_LINK_NEXT_PGC, VMGM | CELL, false},
        {NAV_LINK_GO_UP_PGC, VTSM | CELL, false},
        {NAV_LINK_PGC, FP, false},
        {NAV_LINK_PGC, VMGM, true},
        {NAV_LINK_CHAPTER, TT, true},
        {NAV_LINK_CHAPTER, VMGM, false},
        {NAV_LINK_CHAPTER, VTSM, false},
        {NAV_LINK_CHAPTER, FP, false},
        {NAV_JUMP_VMG_TITLE, VMGM, true},
        {NAV_JUMP_VMG_TITLE, TT, false},
        {NAV_JUMP_VMG_TITLE, VTSM, false},
        {NAV_JUMP_VTS_TITLE, VTSM, true},
        {NAV_JUMP_VTS_TITLE, VMGM, false},
        {NAV_JUMP_VTS_TITLE_CHAPTER, FP, false},
        {NAV_JUMP_FIRST_PLAY, FP, false},
        {NAV_JUMP_FIRST_PLAY, VMGM, true},
        {NAV_JUMP_FIRST_PLAY, TT, false},
        {NAV_JUMP_VMG_TITLE_MENU, FP, true},
        {NAV_JUMP_VTS_MENU, TT, false},
        {NAV_JUMP_VMG_PGC, VTSM | CELL, true},
        {NAV_CALL_FIRST_PLAY, TT, true},
        {NAV_CALL_VMG_PGC, VTSM, false},
        {NAV_CALL_VTS_MENU, FP, false},
        {NAV_EXIT, FP, true},
        {NAV_NOP, TT | CELL, true},
        {NAV_NO_INSTRUCTION, FP, true},
    };
    for (const AllowedCase& c : cases)
    {
        CNavInstruction instruction;
        instruction.SetCode(c.code);
        EXPECT_EQ(c.allowed, instruction.IsAllowed(c.domain)) << (int)c.code << " in " << (int)c.domain;
    }
}

TEST(NavInstruction, SetButton)
{
    CNavInstruction instruction;
    for (int code = 0; code < NAV_INSTRUCTION_COUNT; code++)
    {
        instruction.Reset();
        instruction.SetCode((BYTE)code);
        const bool bLink = code <= NAV_RESUME || (code >= NAV_LINK_CHAPTER && code <= NAV_LINK_CELL);
        EXPECT_EQ(bLink, instruction.SetButton(5)) << code;
        const int nParam = code <= NAV_RESUME ? 0 : bLink ? 1 : -1;
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(i == nParam ? 5 : 0, instruction.GetParam(i)) << code << " param " << i;
    }
}

// ---- System sets ------------------------------------------------------------------------

TEST(NavSystemSet, AllowedKinds)
{
    struct Case
    {
        BYTE domain;
        std::vector<BYTE> kinds;
    };
    const Case cases[] = {
        {DVDDOMAIN_TITLE, {1, 2, 3, 4, 6}}, {DVDDOMAIN_TITLE | DVDDOMAIN_COMMAND_GROUP, {1, 2, 3, 4, 6}},
        {DVDDOMAIN_VTS_MENU, {1, 3, 4, 6}}, {DVDDOMAIN_VMG_MENU, {3, 4, 6}},
        {DVDDOMAIN_FIRST_PLAY, {3, 4, 6}},
    };
    for (const Case& c : cases)
    {
        CNavSystemSet systemSet(c.domain);
        EXPECT_EQ(c.kinds, systemSet.GetAllowedKinds()) << (int)c.domain;
        for (int kind = 0; kind < 16; kind++)
        {
            systemSet.SetKind((BYTE)kind);
            const bool bListed = std::find(c.kinds.begin(), c.kinds.end(), kind) != c.kinds.end();
            EXPECT_EQ(bListed, systemSet.IsAllowed(c.domain)) << kind << " in " << (int)c.domain;
        }
    }
}

// ---- Operators and texts -------------------------------------------------------------------

TEST(NavOperation, OperatorTables)
{
    const CNavCompare compare;
    ASSERT_EQ(8, compare.GetOperatorCount());
    const char* const compareSymbols[] = {"", "&", "==", "!=", ">=", ">", "<=", "<"};
    for (int i = 0; i < 8; i++)
        EXPECT_STREQ(compareSymbols[i], compare.GetOperatorSymbol(i));
    EXPECT_STREQ("If left opearnd is greater than the right operand the condition is true",
                 compare.GetOperatorDescription(5));
    EXPECT_STREQ("Bitwise compare, the two operands are anded, if the result is non-zero the condition is true",
                 compare.GetOperatorDescription(1));

    const CNavSetOperation set;
    ASSERT_EQ(12, set.GetOperatorCount());
    const char* const setSymbols[] = {"", "=", "<->", "+=", "-=", "*=", "/=", "%=", "= random", "&=", "|=", "^="};
    for (int i = 0; i < 12; i++)
        EXPECT_STREQ(setSymbols[i], set.GetOperatorSymbol(i));
    EXPECT_STREQ("set destination register to a random value between 1 and the source value",
                 set.GetOperatorDescription(8));
    EXPECT_STREQ("bitwise XOR destination register with source value", set.GetOperatorDescription(11));

    // The set operator field holds 4 bits; codes 12-15 have no text.
    EXPECT_STREQ("", set.GetOperatorSymbol(12));
    EXPECT_STREQ("", set.GetOperatorDescription(15));
    EXPECT_STREQ("", compare.GetOperatorSymbol(-1));
}

TEST(NavOperation, RulesAndReset)
{
    const CNavCompare registersOnly(false);
    EXPECT_EQ(6, registersOnly.GetRules());
    EXPECT_FALSE(registersOnly.IsImmediate());
    const CNavSetOperation immediatesOnly(false);
    EXPECT_EQ(5, immediatesOnly.GetRules());

    CNavSetOperation set;
    set.SetOperator(3);
    set.SetLeft(4);
    set.SetRight(9);
    set.SetImmediate(false);
    set.SetRules(5);
    set.Reset();
    EXPECT_EQ(0, set.GetOperator());
    EXPECT_EQ(0, set.GetLeft());
    EXPECT_EQ(0, set.GetRight());
    EXPECT_TRUE(set.IsImmediate());
    EXPECT_EQ(7, set.GetRules());
}

TEST(NavOperation, Texts)
{
    CNavCompare compare;
    EXPECT_STREQ("", compare.GetText().GetText());
    compare.SetOperator(2);
    compare.SetLeft(0x90); // preferred audio language
    compare.SetRight(0x656E);
    EXPECT_STREQ("if (preferred_audio_language == 25966 (\"en\")) ", compare.GetText().GetText());

    CNavSetOperation set;
    EXPECT_STREQ("", set.GetText().GetText());
    set.SetOperator(2);
    set.SetLeft(40); // not a register
    set.SetImmediate(false);
    set.SetRight(7);
    EXPECT_STREQ("bad register <-> R[7]", set.GetText().GetText());
}

// ---- Registers used ------------------------------------------------------------------------

struct RegisterUseCase
{
    const char* hex;
    WORD general;
    DWORD system;
};

TEST(NavCommand, RegistersUsed)
{
    const RegisterUseCase cases[] = {
        {"0000000000000000", 0, 0},           {"6100000c00880000", 0x1000, 0x100}, // g12 = s8
        {"71a0000100020001", 0x0003, 0},                                           // if (g0 == 1) g1 = 2
        {"0071000000010004", 0x0003, 0},                                           // if (g0 < g1) goto 4
        {"3011000000000384", 0x0008, 0x10},                                        // if (g3 & s4) exit
        {"91a3000500070801", 0x0008, 0},                                           // set, compare on g3
        {"b132000901840010", 0x0006, 0x10},                                        // compare g1 with s4, set g2
        {"c2c5060701000000", 0x00E0, 0},                                           // compare g7, swap g5 and g6
        {"5100008100000000", 0, 0x2},                                              // audio = 1
        {"4100008300000000", 0x0008, 0x2},                                         // audio = g3
        {"41000083c1820000", 0x000C, 0xE},                                         // all three streams from g3, 65, g2
        {"4100000300000000", 0, 0},                                                // a stream without its set bit
        {"5600000008000000", 0, 0x100},                                            // button = 2048
        {"4600000000030000", 0x0008, 0x100},                                       // button = g3
        {"4200008500030000", 0, 0x620},                                            // timer from s5
        {"5200001e00030000", 0, 0x600},       {"5300006400840000", 0x0010, 0},     // g4 counter = 100
        {"4300008d00020000", 0x0004, 0x2000},                                      // g2 counter = s13
        {"5400000000050000", 0, 0x800},       {"4400000000850000", 0, 0x820},
        {"7101000f0001000d", 0x8000, 0}, // g15 = 1, link
    };
    for (const RegisterUseCase& c : cases)
    {
        const Bytes bytes = FromHex(c.hex);
        EXPECT_EQ(c.general, GetCommandGeneralRegisters(bytes.data())) << c.hex;
        EXPECT_EQ(c.system, GetCommandSystemRegisters(bytes.data())) << c.hex;
    }
}

// ---- Raw commands ---------------------------------------------------------------------------

TEST(RawCommand, IsNavigationCommand)
{
    const struct
    {
        const char* hex;
        bool navigates;
    } cases[] = {
        {"2001000000000000", false}, // LinkNoLink
        {"0000000000000000", false}, // NOP
        {"0001000000000003", false}, // goto line
        {"0002000000000000", false}, // Break
        {"0003000000000302", false}, // Set Parental Level
        {"2001000000000001", true},  // LinkTopCell
        {"2004000000000003", true},  // Link PGC
        {"3001000000000000", true},  // Exit
        {"3008000407c00000", true},  // Call VMG PGC
        {"7100000000050000", false}, // a set alone
        {"2001000400000001", true},  // LinkTopCell with a stray bit still counts
        {"2001000000000004", false}, // unknown sub-instruction
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.navigates, IsNavigationCommand(FromHex(c.hex).data())) << c.hex;
}

TEST(RawCommand, LinkTopCellAndClear)
{
    BYTE command[NAV_COMMAND_SIZE];
    MakeLinkTopCellCommand(command, 3);
    EXPECT_EQ("2001000000000c01", ToHex(command));
    MakeLinkTopCellCommand(command, 36);
    EXPECT_EQ("2001000000009001", ToHex(command));
    EXPECT_TRUE(CommandsEqual(command, FromHex("2001000000009001").data()));
    EXPECT_FALSE(CommandsEqual(command, FromHex("2001000000009000").data()));

    ClearCommand(command);
    EXPECT_EQ("0000000000000000", ToHex(command));
}

} // namespace
