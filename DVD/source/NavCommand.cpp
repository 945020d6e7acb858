#include "DVD/source/NavCommand.h"

#include <cstring>

namespace
{

// ---- Catalogue -----------------------------------------------------------------

// clang-format off

#define HIGHLIGHT_PARAM {"highlight button #", nullptr, nullptr}, {"Optional. Specifies highlighted button.", nullptr, nullptr}
#define NO_PARAMS {nullptr, nullptr, nullptr}, {nullptr, nullptr, nullptr}
#define UNDEFINED_ROW {nullptr, nullptr, 0, NO_PARAMS}

const NavInstructionInfo g_instructions[NAV_INSTRUCTION_COUNT] = {
    {"LinkNoLink", "LinkNoLink", 1, HIGHLIGHT_PARAM},
    {"LinkTopCell", "Restart the current cell", 1, HIGHLIGHT_PARAM},
    {"LinkNextCell", "Start the next cell in the current PGC", 1, HIGHLIGHT_PARAM},
    {"LinkPrevCell", "Start the cell previous to the current cell", 1, HIGHLIGHT_PARAM},
    UNDEFINED_ROW,
    {"LinkTopProgram", "Restart the current program", 1, HIGHLIGHT_PARAM},
    {"LinkNextProgram", "Start the next program in the current PGC", 1, HIGHLIGHT_PARAM},
    {"LinkPrevProgram", "Start the program previous to the current program", 1, HIGHLIGHT_PARAM},
    UNDEFINED_ROW,
    {"LinkTopPGC", "Restart the current PGC", 1, HIGHLIGHT_PARAM},
    {"LinkNextPGC", "Start the PGC pointed to by the \"next\" link", 1, HIGHLIGHT_PARAM},
    {"LinkPrevPGC", "Start the PGC pointed to by the \"prev\" link", 1, HIGHLIGHT_PARAM},
    {"LinkGoUpPGC", "Start the PGC pointed to by the \"go up\" link", 1, HIGHLIGHT_PARAM},
    {"LinkTailPGC", "Skip to the end of the current PGC and execute the post-commands", 1, HIGHLIGHT_PARAM},
    UNDEFINED_ROW,
    UNDEFINED_ROW,
    {"Resume", "Resume playback at the location saved by a Call or MenuCall operation", 1, HIGHLIGHT_PARAM},
    {"Link PGC", "Start PGC in the same domain", 1, {"pgc #", nullptr, nullptr}, {nullptr, nullptr, nullptr}},
    {"Link Chapter", "Start given chapter (part of title) in the current title", 2,
     {"chapter #", "highlight button #", nullptr},
     {"Chapter to go to.", "Optional. Specifies highlighted button.", nullptr}},
    {"Link Program", "Start given program in the current PGC", 2,
     {"program #", "highlight button #", nullptr},
     {"Program to go to.", "Optional. Specifies highlighted button.", nullptr}},
    {"Link Cell", "Start given cell in the current PGC", 2,
     {"cell #", "highlight button #", nullptr},
     {"Cell to go to.", "Optional. Specifies highlighted button.", nullptr}},
    {"Exit", "Stop playback.", 0, NO_PARAMS},
    {"Jump VMG Title", "Start entry PGC of given VMG title.", 1, {"vmg title #", nullptr, nullptr}, {nullptr, nullptr, nullptr}},
    {"Jump VTS Title", "Start entry PGC of given title in the same title set (VTS).", 1,
     {"title #", nullptr, nullptr}, {nullptr, nullptr, nullptr}},
    {"Jump VTS Title Chapter", "Start given chapter of given title in the same title set (VTS).", 2,
     {"title #", "chapter #", nullptr}, {nullptr, nullptr, nullptr}},
    {"Jump FirstPlay", "Start First Play PGC.", 0, NO_PARAMS},
    // Names a parameter it does not count: the menu type is always the title
    // menu, so the editor has nothing to ask.
    {"Jump VMG \"title\" menu", "Start VMG \"title\" menu.", 0,
     {"menu type #", nullptr, nullptr}, {"2 - title menu", nullptr, nullptr}},
    {"Jump VTS Menu",
     "Start VTS menu of given type. Menu types: 3 - Root, 4 - SubPicture, 5 - Audio, 6 - Angle, 7 - Chapter. "
     "Set titleset# to 0 to jump to menu in the same VTS.",
     3,
     {"titleset #", "menu type #", "title #"},
     {"Set to 0 to jump in the same VTS", "3 - Root, 4 - SubPicture, 5 - Audio, 6 - Angle, 7 - Chapter", nullptr}},
    {"Jump VMG PGC", "Start given PGC in VMG.", 1, {"PGC #", nullptr, nullptr}, {nullptr, nullptr, nullptr}},
    {"Call FirstPlay", "Save playback position. Start First Play PGC.", 1,
     {"resume cell #", nullptr, nullptr}, {"Optional. Specify a different resume cell.", nullptr, nullptr}},
    {"Call VMG \"title\" menu", "Save playback position. Start VMG \"title\" menu.", 1,
     {"resume cell #", nullptr, nullptr}, {"Optional. Specify a different resume cell.", nullptr, nullptr}},
    {"Call VTS Menu",
     "Save playback position. Start menu of given type in current title set (VTS). "
     "Menu types: 3 - Root, 4 - SubPicture, 5 - Audio, 6 - Angle, 7 - Chapter.",
     2,
     {"menu type #", "resume cell #", nullptr},
     {"3 - Root, 4 - SubPicture, 5 - Audio, 6 - Angle, 7 - Chapter", "Optional. Specify a different resume cell.",
      nullptr}},
    {"Call VMG PGC", "Save playback position. Start given PGC in the VMG.", 2,
     {"PGC #", "resume cell #", nullptr}, {nullptr, "Optional. Specify a different resume cell.", nullptr}},
    {"NOP", "Do nothing.", 0, NO_PARAMS},
    {"goto line", "Transfer control to the command on given line within this group of commands of the PGC.", 1,
     {"Line #", nullptr, nullptr}, {nullptr, nullptr, nullptr}},
    {"Break", "Terminate execution of this group of commands and continue playback.", 0, NO_PARAMS},
    {"Set Parental Level",
     "Ask for confirmation to set new Parental Level. On success go to given line in this group of commands.", 2,
     {"PML", "line #", nullptr}, {"Parental Management Level", nullptr, nullptr}},
    {"Unknown instruction", "", 0, NO_PARAMS},
    {"", "", 0, NO_PARAMS},
};

#undef HIGHLIGHT_PARAM
#undef NO_PARAMS
#undef UNDEFINED_ROW
// clang-format on

// ---- Operator tables -----------------------------------------------------------

const int COMPARE_OPERATOR_COUNT = 8;
const LPCSTR g_compareSymbols[COMPARE_OPERATOR_COUNT] = {"", "&", "==", "!=", ">=", ">", "<=", "<"};
const LPCSTR g_compareDescriptions[COMPARE_OPERATOR_COUNT] = {
    "",
    "Bitwise compare, the two operands are anded, if the result is non-zero the condition is true",
    "If the two operands are equal the condition is true",
    "If the two operands are not equal the condition is true",
    "If left operand is greater than or equal to the right operand the condition is true",
    "If left opearnd is greater than the right operand the condition is true",
    "If left operand is less than or equal to the right operand the condition is true",
    "If left operand is less than the right operand the condition is true",
};

const int SET_OPERATOR_COUNT = 12;
const LPCSTR g_setSymbols[SET_OPERATOR_COUNT] = {
    "", "=", "<->", "+=", "-=", "*=", "/=", "%=", "= random", "&=", "|=", "^="};
const LPCSTR g_setDescriptions[SET_OPERATOR_COUNT] = {
    "",
    "set destination register to source value",
    "swap destination and source registers",
    "add source value to destination register",
    "subtract source value from destination register",
    "multiply destination register by source value",
    "divide destination register by source value",
    "set destination to destination register modulo source value",
    "set destination register to a random value between 1 and the source value",
    "bitwise AND destination register with source value",
    "bitwise OR destination register with source value",
    "bitwise XOR destination register with source value",
};

const BYTE SET_OPERATOR_SWAP = 2;
const BYTE SET_OPERATOR_RANDOM = 8;

// A right operand is 16 bits wide; only its values 0x80-0x96 name system
// registers.
bool IsSystemRegisterOperand(WORD wOperand)
{
    return wOperand <= 0xFF && IsSystemRegister((BYTE)wOperand);
}

LPCSTR TableEntry(const LPCSTR* table, int nCount, int i)
{
    return (i >= 0 && i < nCount) ? table[i] : "";
}

// ---- Register masks --------------------------------------------------------------

void AddRegister(int nRegister, WORD& general, DWORD& system)
{
    if (nRegister >= 0 && nRegister < GENERAL_REGISTER_COUNT)
        general |= (WORD)(1u << nRegister);
    else if (nRegister >= 0 && nRegister <= 0xFF && IsSystemRegister((BYTE)nRegister))
        system |= 1u << (nRegister - SYSTEM_REGISTER_BASE);
}

// ---- Field layouts -----------------------------------------------------------------

// A field of the 8 command bytes: (byte, bit from the top, width); width 0 is
// no field.
struct Field
{
    int nByte;
    int nBit;
    int nWidth;
};

DWORD Read(CCommandBits& bits, const Field& f)
{
    return bits.GetBits(f.nByte, f.nBit, f.nWidth);
}

void Write(BYTE* pCommand, const Field& f, DWORD value)
{
    SetBits(pCommand, f.nByte, f.nBit, f.nWidth, (WORD)value);
}

const Field F_TYPE = {0, 0, 3};
const Field F_DIRECT = {0, 3, 1};       // jump/call flag of DVD type 1; set immediate flag elsewhere
const Field F_SET_OPERATOR = {0, 4, 4}; // also the system set kind
const Field F_COMPARE_IMMEDIATE = {1, 0, 1};
const Field F_COMPARE_OPERATOR = {1, 1, 3};
const Field F_SUB_CODE = {1, 4, 4};

struct CompareLayout
{
    Field left;
    Field immediate; // width 0: two registers
    Field right;
};

const CompareLayout C1 = {{3, 0, 8}, {1, 0, 1}, {4, 0, 16}};
const CompareLayout C2 = {{6, 0, 8}, {0, 0, 0}, {7, 0, 8}};
const CompareLayout C3 = {{2, 0, 8}, {1, 0, 1}, {6, 0, 16}};
const CompareLayout C4 = {{1, 4, 4}, {1, 0, 1}, {4, 0, 16}};
const CompareLayout C5 = {{4, 0, 8}, {0, 0, 0}, {5, 0, 8}};

struct SetLayout
{
    Field destination;
    Field immediateSource;
    Field registerSource;
};

const SetLayout S1 = {{3, 0, 8}, {4, 0, 16}, {4, 0, 16}};
const SetLayout S2 = {{1, 4, 4}, {2, 0, 16}, {2, 0, 16}};
const SetLayout S3 = {{1, 4, 4}, {2, 0, 16}, {2, 0, 8}};

const BYTE RULES_ANY = CNavOperation::RULE_IMMEDIATE | CNavOperation::RULE_REGISTER | CNavOperation::RULE_GENERAL_LEFT;
const BYTE RULES_REGISTERS_ONLY = CNavOperation::RULE_REGISTER | CNavOperation::RULE_GENERAL_LEFT;

// An absent compare (operator 0) reads no operand: a stray bit in its fields
// then makes the decode fail instead of vanishing at the next encode.
void ReadCompare(CCommandBits& bits, const CompareLayout& layout, CNavCompare& compare)
{
    compare.SetOperator((BYTE)Read(bits, F_COMPARE_OPERATOR));
    if (!compare.IsPresent())
        return;
    if (layout.immediate.nWidth)
        compare.SetImmediate(Read(bits, layout.immediate) != 0);
    compare.SetLeft((BYTE)Read(bits, layout.left));
    compare.SetRight((WORD)Read(bits, layout.right));
}

void WriteCompare(BYTE* pCommand, const CompareLayout& layout, const CNavCompare& compare)
{
    if (!compare.IsPresent())
        return;
    Write(pCommand, F_COMPARE_OPERATOR, compare.GetOperator());
    if (layout.immediate.nWidth)
        Write(pCommand, layout.immediate, compare.IsImmediate() ? 1 : 0);
    Write(pCommand, layout.left, compare.GetLeft());
    Write(pCommand, layout.right, compare.GetRight());
}

void ReadSet(CCommandBits& bits, const SetLayout& layout, CNavSetOperation& set)
{
    set.SetOperator((BYTE)Read(bits, F_SET_OPERATOR));
    if (!set.IsPresent())
        return;
    set.SetImmediate(Read(bits, F_DIRECT) != 0);
    set.SetLeft((BYTE)Read(bits, layout.destination));
    set.SetRight((WORD)Read(bits, set.IsImmediate() ? layout.immediateSource : layout.registerSource));
}

void WriteSet(BYTE* pCommand, const SetLayout& layout, const CNavSetOperation& set)
{
    if (!set.IsPresent())
        return;
    Write(pCommand, F_SET_OPERATOR, set.GetOperator());
    Write(pCommand, F_DIRECT, set.IsImmediate() ? 1 : 0);
    Write(pCommand, layout.destination, set.GetLeft());
    Write(pCommand, set.IsImmediate() ? layout.immediateSource : layout.registerSource, set.GetRight());
}

// ---- System set ---------------------------------------------------------------------

// Where value i of a system-set kind lies, in immediate or register form.
Field SystemSetField(BYTE nKind, bool bImmediate, int i)
{
    const Field none = {0, 0, 0};
    switch (nKind)
    {
    case NAV_SET_STN: return Field{3 + i, 0, 8};
    case NAV_SET_NVTMR:
        if (i == 0)
            return bImmediate ? Field{2, 0, 16} : Field{3, 0, 8};
        if (i == 1)
            return Field{5, 0, 8};
        return none;
    case NAV_SET_GPRMMD:
        if (i == 0)
            return Field{5, 4, 4};
        if (i == 1)
            return bImmediate ? Field{2, 0, 16} : Field{3, 0, 8};
        return Field{5, 0, 1};
    case NAV_SET_AMXMD:
        if (i == 0)
            return bImmediate ? Field{4, 0, 16} : Field{5, 0, 8};
        return none;
    case NAV_SET_HL_BTNN:
        if (i == 0)
            return bImmediate ? Field{4, 0, 16} : Field{5, 4, 4};
        return none;
    default: return none;
    }
}

bool IsDecodableSystemSetKind(BYTE nKind)
{
    return nKind == NAV_SET_STN || nKind == NAV_SET_NVTMR || nKind == NAV_SET_GPRMMD || nKind == NAV_SET_AMXMD ||
           nKind == NAV_SET_HL_BTNN;
}

bool ReadSystemSet(CCommandBits& bits, CNavSystemSet& systemSet)
{
    systemSet.SetKind((BYTE)Read(bits, F_SET_OPERATOR));
    systemSet.SetImmediate(Read(bits, F_DIRECT) != 0);
    if (!IsDecodableSystemSetKind(systemSet.GetKind()))
        return false;
    for (int i = 0; i < 3; i++)
    {
        const Field f = SystemSetField(systemSet.GetKind(), systemSet.IsImmediate(), i);
        if (f.nWidth)
            systemSet.SetValue(i, (WORD)Read(bits, f));
    }
    return true;
}

void WriteSystemSet(BYTE* pCommand, const CNavSystemSet& systemSet)
{
    Write(pCommand, F_SET_OPERATOR, systemSet.GetKind());
    Write(pCommand, F_DIRECT, systemSet.IsImmediate() ? 1 : 0);
    for (int i = 0; i < 3; i++)
    {
        const Field f = SystemSetField(systemSet.GetKind(), systemSet.IsImmediate(), i);
        if (f.nWidth)
            Write(pCommand, f, systemSet.GetValue(i));
    }
}

// ---- Instruction forms ------------------------------------------------------------

const Field F_BUTTON = {6, 0, 6};
const Field F_LINK_SUB_CODE = {7, 3, 5};
const Field F_LINE = {7, 0, 8};
const Field F_PARENTAL_LEVEL = {6, 4, 4};
const Field F_LINK_PGC = {6, 1, 15};
const Field F_LINK_CHAPTER = {6, 6, 10};
const Field F_LINK_PROGRAM = {7, 1, 7};
const Field F_LINK_CELL = {7, 0, 8};
const Field F_JUMP_TITLE = {5, 1, 7};
const Field F_JUMP_CHAPTER = {2, 6, 10};
const Field F_JUMP_TARGET = {5, 0, 2}; // first play, VMG title menu, VTS menu, VMG PGC
const Field F_MENU_TYPE = {5, 4, 4};
const Field F_TITLE_SET = {4, 0, 8};
const Field F_MENU_TITLE = {3, 0, 8};
const Field F_VMG_PGC = {2, 1, 15};
const Field F_RESUME_CELL = {4, 0, 8};

const BYTE TITLE_MENU = 2;

// Link sub-codes of B(1,4,4).
enum
{
    LINK_NONE = 0,
    LINK_SUB_INSTRUCTION = 1,
    LINK_PGC = 4,
    LINK_CHAPTER = 5,
    LINK_PROGRAM = 6,
    LINK_CELL = 7
};

// Jump and call sub-codes of B(1,4,4).
enum
{
    JUMP_NONE = 0,
    JUMP_EXIT = 1,
    JUMP_VMG_TITLE = 2,
    JUMP_VTS_TITLE = 3,
    JUMP_VTS_TITLE_CHAPTER = 5,
    JUMP_SS = 6,
    CALL_SS = 8
};

bool ReadSpecial(CCommandBits& bits, CNavInstruction& instruction)
{
    switch (Read(bits, F_SUB_CODE))
    {
    case 0: instruction.SetCode(NAV_NOP); return true;
    case 1:
        instruction.SetCode(NAV_GOTO_LINE);
        instruction.SetParam(0, (WORD)Read(bits, F_LINE));
        return true;
    case 2: instruction.SetCode(NAV_BREAK); return true;
    case 3:
        instruction.SetCode(NAV_SET_PARENTAL_LEVEL);
        instruction.SetParam(0, (WORD)Read(bits, F_PARENTAL_LEVEL));
        instruction.SetParam(1, (WORD)Read(bits, F_LINE));
        return true;
    default: instruction.SetCode(NAV_UNKNOWN_INSTRUCTION); return false;
    }
}

void WriteSpecial(BYTE* pCommand, const CNavInstruction& instruction)
{
    switch (instruction.GetCode())
    {
    case NAV_GOTO_LINE:
        Write(pCommand, F_SUB_CODE, 1);
        Write(pCommand, F_LINE, instruction.GetParam(0));
        break;
    case NAV_BREAK: Write(pCommand, F_SUB_CODE, 2); break;
    case NAV_SET_PARENTAL_LEVEL:
        Write(pCommand, F_SUB_CODE, 3);
        Write(pCommand, F_PARENTAL_LEVEL, instruction.GetParam(0));
        Write(pCommand, F_LINE, instruction.GetParam(1));
        break;
    default:
        // NOP and no instruction are sub-code 0.
        break;
    }
}

bool ReadLinkSub(CCommandBits& bits, CNavInstruction& instruction)
{
    const BYTE nCode = (BYTE)Read(bits, F_LINK_SUB_CODE);
    if (nCode > NAV_RESUME || !IsNamedInstruction(nCode))
    {
        instruction.SetCode(NAV_UNKNOWN_INSTRUCTION);
        return false;
    }
    instruction.SetCode(nCode);
    instruction.SetParam(0, (WORD)Read(bits, F_BUTTON));
    return true;
}

void WriteLinkSub(BYTE* pCommand, const CNavInstruction& instruction)
{
    if (instruction.GetCode() > NAV_RESUME)
        return;
    Write(pCommand, F_LINK_SUB_CODE, instruction.GetCode());
    Write(pCommand, F_BUTTON, instruction.GetParam(0));
}

bool ReadLink(CCommandBits& bits, CNavInstruction& instruction)
{
    switch (Read(bits, F_SUB_CODE))
    {
    case LINK_NONE: instruction.SetCode(NAV_NO_INSTRUCTION); return true;
    case LINK_SUB_INSTRUCTION: return ReadLinkSub(bits, instruction);
    case LINK_PGC:
        instruction.SetCode(NAV_LINK_PGC);
        instruction.SetParam(0, (WORD)Read(bits, F_LINK_PGC));
        return true;
    case LINK_CHAPTER:
        instruction.SetCode(NAV_LINK_CHAPTER);
        instruction.SetParam(0, (WORD)Read(bits, F_LINK_CHAPTER));
        instruction.SetParam(1, (WORD)Read(bits, F_BUTTON));
        return true;
    case LINK_PROGRAM:
        instruction.SetCode(NAV_LINK_PROGRAM);
        instruction.SetParam(0, (WORD)Read(bits, F_LINK_PROGRAM));
        instruction.SetParam(1, (WORD)Read(bits, F_BUTTON));
        return true;
    case LINK_CELL:
        instruction.SetCode(NAV_LINK_CELL);
        instruction.SetParam(0, (WORD)Read(bits, F_LINK_CELL));
        instruction.SetParam(1, (WORD)Read(bits, F_BUTTON));
        return true;
    default: instruction.SetCode(NAV_UNKNOWN_INSTRUCTION); return false;
    }
}

void WriteLink(BYTE* pCommand, const CNavInstruction& instruction)
{
    const BYTE nCode = instruction.GetCode();
    if (nCode <= NAV_RESUME)
    {
        Write(pCommand, F_SUB_CODE, LINK_SUB_INSTRUCTION);
        WriteLinkSub(pCommand, instruction);
        return;
    }
    switch (nCode)
    {
    case NAV_LINK_PGC:
        Write(pCommand, F_SUB_CODE, LINK_PGC);
        Write(pCommand, F_LINK_PGC, instruction.GetParam(0));
        break;
    case NAV_LINK_CHAPTER:
        Write(pCommand, F_SUB_CODE, LINK_CHAPTER);
        Write(pCommand, F_LINK_CHAPTER, instruction.GetParam(0));
        Write(pCommand, F_BUTTON, instruction.GetParam(1));
        break;
    case NAV_LINK_PROGRAM:
        Write(pCommand, F_SUB_CODE, LINK_PROGRAM);
        Write(pCommand, F_LINK_PROGRAM, instruction.GetParam(0));
        Write(pCommand, F_BUTTON, instruction.GetParam(1));
        break;
    case NAV_LINK_CELL:
        Write(pCommand, F_SUB_CODE, LINK_CELL);
        Write(pCommand, F_LINK_CELL, instruction.GetParam(0));
        Write(pCommand, F_BUTTON, instruction.GetParam(1));
        break;
    default:
        // No instruction, or one a link cannot carry.
        break;
    }
}

bool ReadJump(CCommandBits& bits, CNavInstruction& instruction)
{
    const DWORD nSubCode = Read(bits, F_SUB_CODE);
    switch (nSubCode)
    {
    case JUMP_NONE: instruction.SetCode(NAV_NO_INSTRUCTION); return true;
    case JUMP_EXIT: instruction.SetCode(NAV_EXIT); return true;
    case JUMP_VMG_TITLE:
        instruction.SetCode(NAV_JUMP_VMG_TITLE);
        instruction.SetParam(0, (WORD)Read(bits, F_JUMP_TITLE));
        return true;
    case JUMP_VTS_TITLE:
        instruction.SetCode(NAV_JUMP_VTS_TITLE);
        instruction.SetParam(0, (WORD)Read(bits, F_JUMP_TITLE));
        return true;
    case JUMP_VTS_TITLE_CHAPTER:
        instruction.SetCode(NAV_JUMP_VTS_TITLE_CHAPTER);
        instruction.SetParam(0, (WORD)Read(bits, F_JUMP_TITLE));
        instruction.SetParam(1, (WORD)Read(bits, F_JUMP_CHAPTER));
        return true;
    case JUMP_SS:
        switch (Read(bits, F_JUMP_TARGET))
        {
        case 0: instruction.SetCode(NAV_JUMP_FIRST_PLAY); break;
        case 1:
            // The menu type is read so that the decode accepts it, but it can
            // only be the title menu and is written back as such.
            instruction.SetCode(NAV_JUMP_VMG_TITLE_MENU);
            Read(bits, F_MENU_TYPE);
            break;
        case 2:
            instruction.SetCode(NAV_JUMP_VTS_MENU);
            instruction.SetParam(0, (WORD)Read(bits, F_TITLE_SET));
            instruction.SetParam(1, (WORD)Read(bits, F_MENU_TYPE));
            instruction.SetParam(2, (WORD)Read(bits, F_MENU_TITLE));
            break;
        default:
            instruction.SetCode(NAV_JUMP_VMG_PGC);
            instruction.SetParam(0, (WORD)Read(bits, F_VMG_PGC));
            break;
        }
        return true;
    case CALL_SS:
        switch (Read(bits, F_JUMP_TARGET))
        {
        case 0:
            instruction.SetCode(NAV_CALL_FIRST_PLAY);
            instruction.SetParam(0, (WORD)Read(bits, F_RESUME_CELL));
            break;
        case 1:
            instruction.SetCode(NAV_CALL_VMG_TITLE_MENU);
            instruction.SetParam(0, (WORD)Read(bits, F_RESUME_CELL));
            Read(bits, F_MENU_TYPE);
            break;
        case 2:
            instruction.SetCode(NAV_CALL_VTS_MENU);
            instruction.SetParam(0, (WORD)Read(bits, F_MENU_TYPE));
            instruction.SetParam(1, (WORD)Read(bits, F_RESUME_CELL));
            break;
        default:
            instruction.SetCode(NAV_CALL_VMG_PGC);
            instruction.SetParam(0, (WORD)Read(bits, F_VMG_PGC));
            instruction.SetParam(1, (WORD)Read(bits, F_RESUME_CELL));
            break;
        }
        return true;
    default: instruction.SetCode(NAV_UNKNOWN_INSTRUCTION); return false;
    }
}

void WriteJump(BYTE* pCommand, const CNavInstruction& instruction)
{
    switch (instruction.GetCode())
    {
    case NAV_EXIT: Write(pCommand, F_SUB_CODE, JUMP_EXIT); break;
    case NAV_JUMP_VMG_TITLE:
        Write(pCommand, F_SUB_CODE, JUMP_VMG_TITLE);
        Write(pCommand, F_JUMP_TITLE, instruction.GetParam(0));
        break;
    case NAV_JUMP_VTS_TITLE:
        Write(pCommand, F_SUB_CODE, JUMP_VTS_TITLE);
        Write(pCommand, F_JUMP_TITLE, instruction.GetParam(0));
        break;
    case NAV_JUMP_VTS_TITLE_CHAPTER:
        Write(pCommand, F_SUB_CODE, JUMP_VTS_TITLE_CHAPTER);
        Write(pCommand, F_JUMP_TITLE, instruction.GetParam(0));
        Write(pCommand, F_JUMP_CHAPTER, instruction.GetParam(1));
        break;
    case NAV_JUMP_FIRST_PLAY:
        Write(pCommand, F_SUB_CODE, JUMP_SS);
        Write(pCommand, F_JUMP_TARGET, 0);
        break;
    case NAV_JUMP_VMG_TITLE_MENU:
        Write(pCommand, F_SUB_CODE, JUMP_SS);
        Write(pCommand, F_JUMP_TARGET, 1);
        Write(pCommand, F_MENU_TYPE, TITLE_MENU);
        break;
    case NAV_JUMP_VTS_MENU:
        Write(pCommand, F_SUB_CODE, JUMP_SS);
        Write(pCommand, F_JUMP_TARGET, 2);
        Write(pCommand, F_TITLE_SET, instruction.GetParam(0));
        Write(pCommand, F_MENU_TYPE, instruction.GetParam(1));
        Write(pCommand, F_MENU_TITLE, instruction.GetParam(2));
        break;
    case NAV_JUMP_VMG_PGC:
        Write(pCommand, F_SUB_CODE, JUMP_SS);
        Write(pCommand, F_JUMP_TARGET, 3);
        Write(pCommand, F_VMG_PGC, instruction.GetParam(0));
        break;
    case NAV_CALL_FIRST_PLAY:
        Write(pCommand, F_SUB_CODE, CALL_SS);
        Write(pCommand, F_JUMP_TARGET, 0);
        Write(pCommand, F_RESUME_CELL, instruction.GetParam(0));
        break;
    case NAV_CALL_VMG_TITLE_MENU:
        Write(pCommand, F_SUB_CODE, CALL_SS);
        Write(pCommand, F_JUMP_TARGET, 1);
        Write(pCommand, F_RESUME_CELL, instruction.GetParam(0));
        Write(pCommand, F_MENU_TYPE, TITLE_MENU);
        break;
    case NAV_CALL_VTS_MENU:
        Write(pCommand, F_SUB_CODE, CALL_SS);
        Write(pCommand, F_JUMP_TARGET, 2);
        Write(pCommand, F_MENU_TYPE, instruction.GetParam(0));
        Write(pCommand, F_RESUME_CELL, instruction.GetParam(1));
        break;
    case NAV_CALL_VMG_PGC:
        Write(pCommand, F_SUB_CODE, CALL_SS);
        Write(pCommand, F_JUMP_TARGET, 3);
        Write(pCommand, F_VMG_PGC, instruction.GetParam(0));
        Write(pCommand, F_RESUME_CELL, instruction.GetParam(1));
        break;
    default: break;
    }
}

BYTE GroupForType(BYTE nType)
{
    switch (nType)
    {
    case NAV_TYPE_SPECIAL: return NAV_GROUP_SPECIAL;
    case NAV_TYPE_LINK:
    case NAV_TYPE_SYSTEM_SET:
    case NAV_TYPE_SET: return NAV_GROUP_LINK_SUB | NAV_GROUP_LINK;
    case NAV_TYPE_JUMP: return NAV_GROUP_JUMP;
    default: return NAV_GROUP_LINK_SUB;
    }
}

// Types whose compare reads two registers: those laid out in C2 or C5, and
// the compare-then-set types, whose compare shares the bytes with the set.
bool CompareIsRegisterOnly(BYTE nType)
{
    return nType == NAV_TYPE_JUMP || nType == NAV_TYPE_SYSTEM_SET || nType == NAV_TYPE_COMPARE_SET_LINK ||
           nType == NAV_TYPE_COMPARE_SET_ALWAYS_LINK;
}

void ApplyCompareRules(BYTE nType, CNavCompare& compare)
{
    if (CompareIsRegisterOnly(nType))
    {
        compare.SetRules(RULES_REGISTERS_ONLY);
        compare.SetImmediate(false);
    }
}

// Keeps an operand's form where the rules allow it, else takes the allowed one.
void KeepOperandForm(CNavOperation& operation, bool bWasImmediate)
{
    if (bWasImmediate && operation.AllowsImmediate())
        operation.SetImmediate(true);
    else if (!bWasImmediate && operation.AllowsRegister())
        operation.SetImmediate(false);
    else
        operation.SetImmediate(operation.AllowsImmediate());
}

} // namespace

// ---- Catalogue ------------------------------------------------------------------

const NavInstructionInfo& GetInstructionInfo(int nCode)
{
    if (nCode < 0 || nCode >= NAV_INSTRUCTION_COUNT)
        return g_instructions[NAV_UNKNOWN_INSTRUCTION];
    return g_instructions[nCode];
}

bool IsNamedInstruction(int nCode)
{
    return nCode >= 0 && nCode < NAV_INSTRUCTION_COUNT && g_instructions[nCode].pszName != nullptr;
}

// ---- CNavOperation ---------------------------------------------------------------

CNavOperation::CNavOperation()
{
    Reset();
}

void CNavOperation::Reset()
{
    m_nLeft = 0;
    m_wRight = 0;
    m_nOperator = 0;
    m_nRules = RULES_ANY;
    m_bImmediate = 1;
}

CPlainString CNavOperation::GetText() const
{
    CPlainString text = GetRegisterName(m_nLeft);
    text.Append(" ");
    text.Append(GetOperatorSymbol(m_nOperator));
    text.Append(" ");
    text.Append(GetOperandText(IsImmediate(), m_wRight));
    return text;
}

bool CNavOperation::Check(CString& strError) const
{
    return CheckRegisters(strError);
}

bool CNavOperation::CheckRegisters(CString& strError) const
{
    return CheckOperands((m_nRules & RULE_GENERAL_LEFT) != 0, strError);
}

bool CNavOperation::CheckOperands(bool bGeneralLeft, CString& strError) const
{
    if (bGeneralLeft && m_nLeft >= GENERAL_REGISTER_COUNT)
    {
        strError = "Only general registers can be used (r[0] - r[15])";
        return false;
    }
    if (m_nLeft >= GENERAL_REGISTER_COUNT && !IsSystemRegister(m_nLeft))
    {
        strError = "Incorrect register index for left operand";
        return false;
    }
    if (!IsImmediate() && m_wRight >= GENERAL_REGISTER_COUNT && !IsSystemRegisterOperand(m_wRight))
    {
        strError = "Incorrect register index for right operand";
        return false;
    }
    return true;
}

void CNavOperation::AddRegisters(WORD& general, DWORD& system) const
{
    AddRegister(m_nLeft, general, system);
    if (!IsImmediate())
        AddRegister(m_wRight & 0xFF, general, system);
}

// ---- CNavCompare -----------------------------------------------------------------

CNavCompare::CNavCompare(bool bAllowImmediate)
{
    if (!bAllowImmediate)
    {
        m_nRules = RULES_REGISTERS_ONLY;
        m_bImmediate = 0;
    }
}

int CNavCompare::GetOperatorCount() const
{
    return COMPARE_OPERATOR_COUNT;
}

LPCSTR CNavCompare::GetOperatorSymbol(int nOperator) const
{
    return TableEntry(g_compareSymbols, COMPARE_OPERATOR_COUNT, nOperator);
}

LPCSTR CNavCompare::GetOperatorDescription(int nOperator) const
{
    return TableEntry(g_compareDescriptions, COMPARE_OPERATOR_COUNT, nOperator);
}

CPlainString CNavCompare::GetText() const
{
    if (!IsPresent())
        return CPlainString();
    CPlainString text("if (");
    text.Append(CNavOperation::GetText());
    text.Append(") ");
    return text;
}

// ---- CNavSetOperation ------------------------------------------------------------

CNavSetOperation::CNavSetOperation(bool bAllowRegisterSource)
{
    if (!bAllowRegisterSource)
        m_nRules = RULE_IMMEDIATE | RULE_GENERAL_LEFT;
}

int CNavSetOperation::GetOperatorCount() const
{
    return SET_OPERATOR_COUNT;
}

LPCSTR CNavSetOperation::GetOperatorSymbol(int nOperator) const
{
    return TableEntry(g_setSymbols, SET_OPERATOR_COUNT, nOperator);
}

LPCSTR CNavSetOperation::GetOperatorDescription(int nOperator) const
{
    return TableEntry(g_setDescriptions, SET_OPERATOR_COUNT, nOperator);
}

bool CNavCompare::Check(CString& strError) const
{
    return CheckOperands(false, strError);
}

CPlainString CNavSetOperation::GetText() const
{
    if (!IsPresent())
        return CPlainString();
    return CNavOperation::GetText();
}

bool CNavSetOperation::Check(CString& strError) const
{
    if (!CheckRegisters(strError))
        return false;
    if (IsImmediate() && m_nOperator == SET_OPERATOR_SWAP)
    {
        strError = "SET: swap operation can only be used with register right operand";
        return false;
    }
    // The player only copies or masks a system register; arithmetic on one
    // has no defined result.
    if (!IsImmediate() && IsSystemRegisterOperand(m_wRight) && m_nOperator >= SET_OPERATOR_SWAP &&
        m_nOperator <= SET_OPERATOR_RANDOM)
    {
        strError = "SET: only =, &=, |=, ^= operations can be used if source is system register";
        return false;
    }
    return true;
}

// ---- CNavSystemSet ---------------------------------------------------------------

CNavSystemSet::CNavSystemSet(BYTE nDomain) : m_nDomain(0), m_nAllowedKinds(0)
{
    Reset();
    SetDomain(nDomain);
}

void CNavSystemSet::Reset()
{
    m_bImmediate = 0;
    m_nKind = NAV_SYSTEM_SET_NONE;
    m_values[0] = m_values[1] = m_values[2] = 0;
}

WORD CNavSystemSet::GetValue(int i) const
{
    return (i >= 0 && i < 3) ? m_values[i] : 0;
}

void CNavSystemSet::SetValue(int i, WORD wValue)
{
    if (i >= 0 && i < 3)
        m_values[i] = wValue;
}

void CNavSystemSet::SetDomain(BYTE nDomain)
{
    m_nDomain = nDomain;
    m_nAllowedKinds = 0;
    if (nDomain & (DVDDOMAIN_TITLE | DVDDOMAIN_VTS_MENU))
        m_allowedKinds[m_nAllowedKinds++] = NAV_SET_STN;
    if (nDomain & DVDDOMAIN_TITLE)
        m_allowedKinds[m_nAllowedKinds++] = NAV_SET_NVTMR;
    m_allowedKinds[m_nAllowedKinds++] = NAV_SET_GPRMMD;
    m_allowedKinds[m_nAllowedKinds++] = NAV_SET_AMXMD;
    m_allowedKinds[m_nAllowedKinds++] = NAV_SET_HL_BTNN;
}

bool CNavSystemSet::IsAllowed(BYTE nDomain) const
{
    if (m_nKind == NAV_SYSTEM_SET_NONE || m_nKind == 5 || m_nKind > NAV_SET_HL_BTNN)
        return false;
    if (m_nKind == NAV_SET_STN && !(nDomain & (DVDDOMAIN_TITLE | DVDDOMAIN_VTS_MENU)))
        return false;
    if (m_nKind == NAV_SET_NVTMR && (nDomain & (DVDDOMAIN_FIRST_PLAY | DVDDOMAIN_VMG_MENU | DVDDOMAIN_VTS_MENU)))
        return false;
    return true;
}

void CNavSystemSet::AddRegisters(WORD& general, DWORD& system) const
{
    // In register form a value names the register it is taken from. The
    // system registers set: audio 1, sub-picture 2, angle 3, highlighted
    // button 8, navigation timer 9 and its PGC 10, karaoke mixing mode 11.
    switch (m_nKind)
    {
    case NAV_SET_STN:
        for (int i = 0; i < 3; i++)
        {
            // Bit 7 says the stream is set; the register is in the rest.
            if (!(m_values[i] & 0x80))
                continue;
            system |= 1u << (1 + i);
            if (!IsImmediate())
                AddRegister(m_values[i] & 0x7F, general, system);
        }
        break;
    case NAV_SET_NVTMR:
        system |= (1u << 9) | (1u << 10);
        if (!IsImmediate())
            AddRegister(m_values[0], general, system);
        break;
    case NAV_SET_GPRMMD:
        AddRegister(m_values[0], general, system);
        if (!IsImmediate())
            AddRegister(m_values[1], general, system);
        break;
    case NAV_SET_AMXMD:
        system |= 1u << 11;
        if (!IsImmediate())
            AddRegister(m_values[0], general, system);
        break;
    case NAV_SET_HL_BTNN:
        system |= 1u << 8;
        if (!IsImmediate())
            AddRegister(m_values[0], general, system);
        break;
    default: break;
    }
}

// ---- CNavInstruction -------------------------------------------------------------

CNavInstruction::CNavInstruction(BYTE nDomain, BYTE nGroup)
    : m_nCode(NAV_NO_INSTRUCTION), m_nDomain(nDomain), m_nGroup(nGroup), m_nAllowedCodes(0)
{
    m_params[0] = m_params[1] = m_params[2] = 0;
    BuildAllowedCodes();
}

void CNavInstruction::Reset()
{
    m_nCode = NAV_NO_INSTRUCTION;
    m_params[0] = m_params[1] = m_params[2] = 0;
}

WORD CNavInstruction::GetParam(int i) const
{
    return (i >= 0 && i < 3) ? m_params[i] : 0;
}

void CNavInstruction::SetParam(int i, WORD wValue)
{
    if (i >= 0 && i < 3)
        m_params[i] = wValue;
}

void CNavInstruction::SetDomain(BYTE nDomain)
{
    m_nDomain = nDomain;
    BuildAllowedCodes();
}

void CNavInstruction::SetGroup(BYTE nGroup)
{
    m_nGroup = nGroup;
    m_params[0] = m_params[1] = m_params[2] = 0;
    BuildAllowedCodes();
}

void CNavInstruction::BuildAllowedCodes()
{
    const BYTE d = m_nDomain;
    const bool bCell = (d & DVDDOMAIN_COMMAND_GROUP) != 0;
    const bool bNotTitle = (d & (DVDDOMAIN_FIRST_PLAY | DVDDOMAIN_VMG_MENU | DVDDOMAIN_VTS_MENU)) != 0;
    const bool bPgcDomain = (d & (DVDDOMAIN_TITLE | DVDDOMAIN_VMG_MENU | DVDDOMAIN_VTS_MENU)) != 0;
    // Each code is listed once at most, so the list cannot outgrow the catalogue.
    m_nAllowedCodes = 0;
    auto add = [this](BYTE nCode) { m_allowedCodes[m_nAllowedCodes++] = nCode; };

    if (m_nGroup & NAV_GROUP_SPECIAL)
    {
        add(NAV_NOP);
        add(NAV_GOTO_LINE);
        if (!bCell)
            add(NAV_BREAK);
        if (d & DVDDOMAIN_VMG_MENU)
            add(NAV_SET_PARENTAL_LEVEL);
    }
    if (m_nGroup & NAV_GROUP_LINK_SUB)
    {
        for (BYTE nCode = NAV_LINK_NO_LINK; nCode <= NAV_RESUME; nCode++)
        {
            if (!IsNamedInstruction(nCode))
                continue;
            // Cell and program links need a current cell; the PGC links of a
            // PGC's own link fields exist only in title PGCs.
            if (nCode < 14 && !bCell)
                continue;
            if (nCode >= NAV_LINK_NEXT_PGC && nCode <= NAV_LINK_GO_UP_PGC && bNotTitle)
                continue;
            add(nCode);
        }
    }
    if (m_nGroup & NAV_GROUP_LINK)
    {
        if (bPgcDomain)
            add(NAV_LINK_PGC);
        if (d & DVDDOMAIN_TITLE)
            add(NAV_LINK_CHAPTER);
        if (bPgcDomain)
        {
            add(NAV_LINK_PROGRAM);
            add(NAV_LINK_CELL);
        }
    }
    if (m_nGroup & NAV_GROUP_JUMP)
    {
        add(NAV_EXIT);
        if (d & (DVDDOMAIN_FIRST_PLAY | DVDDOMAIN_VMG_MENU))
            add(NAV_JUMP_VMG_TITLE);
        if (d & (DVDDOMAIN_TITLE | DVDDOMAIN_VTS_MENU))
        {
            add(NAV_JUMP_VTS_TITLE);
            add(NAV_JUMP_VTS_TITLE_CHAPTER);
        }
        if (bNotTitle)
        {
            if (bPgcDomain)
                add(NAV_JUMP_FIRST_PLAY);
            add(NAV_JUMP_VMG_TITLE_MENU);
            add(NAV_JUMP_VTS_MENU);
            add(NAV_JUMP_VMG_PGC);
        }
        if (d & DVDDOMAIN_TITLE)
        {
            add(NAV_CALL_FIRST_PLAY);
            add(NAV_CALL_VMG_TITLE_MENU);
            add(NAV_CALL_VTS_MENU);
            add(NAV_CALL_VMG_PGC);
        }
    }
}

bool CNavInstruction::IsAllowed(BYTE d) const
{
    const BYTE c = m_nCode;
    const bool bNotTitle = (d & (DVDDOMAIN_FIRST_PLAY | DVDDOMAIN_VMG_MENU | DVDDOMAIN_VTS_MENU)) != 0;
    if (c == NAV_SET_PARENTAL_LEVEL && (d & (DVDDOMAIN_FIRST_PLAY | DVDDOMAIN_TITLE | DVDDOMAIN_VTS_MENU)))
        return false;
    if (c == NAV_BREAK && (d & DVDDOMAIN_COMMAND_GROUP))
        return false;
    if (c < 14 && !(d & DVDDOMAIN_COMMAND_GROUP))
        return false;
    if (c == NAV_LINK_PGC && (d & DVDDOMAIN_FIRST_PLAY))
        return false;
    if (c == NAV_LINK_CHAPTER && bNotTitle)
        return false;
    if (c == NAV_JUMP_VMG_TITLE && (d & (DVDDOMAIN_TITLE | DVDDOMAIN_VTS_MENU)))
        return false;
    if ((c == NAV_JUMP_VTS_TITLE || c == NAV_JUMP_VTS_TITLE_CHAPTER) && !(d & (DVDDOMAIN_TITLE | DVDDOMAIN_VTS_MENU)))
        return false;
    if (c >= NAV_LINK_NEXT_PGC && c <= NAV_LINK_GO_UP_PGC && bNotTitle)
        return false;
    if (c >= NAV_JUMP_FIRST_PLAY && c <= NAV_JUMP_VMG_PGC && (d & DVDDOMAIN_TITLE))
        return false;
    if (c == NAV_JUMP_FIRST_PLAY && (d & DVDDOMAIN_FIRST_PLAY))
        return false;
    if (c >= NAV_CALL_FIRST_PLAY && c <= NAV_CALL_VMG_PGC && bNotTitle)
        return false;
    return true;
}

bool CNavInstruction::SetButton(WORD wButton)
{
    if (m_nCode <= NAV_RESUME)
    {
        m_params[0] = wButton;
        return true;
    }
    if (m_nCode >= NAV_LINK_CHAPTER && m_nCode <= NAV_LINK_CELL)
    {
        m_params[1] = wButton;
        return true;
    }
    return false;
}

LPCSTR CNavInstruction::GetInstructionName(int nCode) const
{
    const LPCSTR pszName = GetInstructionInfo(nCode < 0 ? m_nCode : nCode).pszName;
    return pszName ? pszName : "";
}

// ---- CNavCommand ------------------------------------------------------------------

CNavCommand::CNavCommand(BYTE nDomain)
    : m_nType(NAV_TYPE_SPECIAL), m_systemSet(nDomain), m_instruction(nDomain, GroupForType(NAV_TYPE_SPECIAL))
{
}

CNavCommand CNavCommand::FromBytes(BYTE nDomain, const BYTE* pCommand, bool* pbDecoded)
{
    CNavCommand command(nDomain);
    const bool bDecoded = command.Decode(pCommand);
    if (pbDecoded)
        *pbDecoded = bDecoded;
    return command;
}

bool CNavCommand::Decode(const BYTE* pCommand)
{
    m_compare.Reset();
    m_set.Reset();
    m_systemSet.Reset();
    m_instruction.Reset();

    CCommandBits bits;
    bits.Set(pCommand);
    const DWORD nDvdType = Read(bits, F_TYPE);
    if (nDvdType == 7)
        return false;

    if (nDvdType == 0)
        m_nType = NAV_TYPE_SPECIAL;
    else if (nDvdType == 1)
        m_nType = Read(bits, F_DIRECT) ? NAV_TYPE_JUMP : NAV_TYPE_LINK;
    else
        m_nType = (BYTE)(nDvdType + 1);
    m_instruction.SetGroup(GroupForType(m_nType));
    ApplyCompareRules(m_nType, m_compare);

    bool bOk = true;
    switch (m_nType)
    {
    case NAV_TYPE_SPECIAL:
        ReadCompare(bits, C1, m_compare);
        bOk = ReadSpecial(bits, m_instruction);
        break;
    case NAV_TYPE_LINK:
        ReadCompare(bits, C1, m_compare);
        bOk = ReadLink(bits, m_instruction);
        break;
    case NAV_TYPE_JUMP:
        ReadCompare(bits, C2, m_compare);
        bOk = ReadJump(bits, m_instruction);
        break;
    case NAV_TYPE_SYSTEM_SET:
        ReadCompare(bits, C2, m_compare);
        bOk = ReadSystemSet(bits, m_systemSet);
        bOk = ReadLink(bits, m_instruction) && bOk;
        break;
    case NAV_TYPE_SET:
        // The sub-code field holds a link or, when 0, belongs to the compare.
        if (Read(bits, F_SUB_CODE) != 0)
            bOk = ReadLink(bits, m_instruction);
        else
            ReadCompare(bits, C3, m_compare);
        ReadSet(bits, S1, m_set);
        break;
    case NAV_TYPE_SET_COMPARE_LINK:
        ReadSet(bits, S2, m_set);
        ReadCompare(bits, C4, m_compare);
        bOk = ReadLinkSub(bits, m_instruction);
        break;
    default:
    {
        // With an immediate source the set fills bytes 2-3 and the compare
        // moves to two registers further on.
        const bool bImmediateSet = Read(bits, F_DIRECT) != 0;
        m_set.SetImmediate(bImmediateSet);
        ReadCompare(bits, bImmediateSet ? C5 : C1, m_compare);
        ReadSet(bits, S3, m_set);
        bOk = ReadLinkSub(bits, m_instruction);
        if (m_set.IsImmediate() && m_compare.IsImmediate())
            bOk = false;
        break;
    }
    }
    return bOk && !bits.HasUnreadBits();
}

void CNavCommand::Encode(BYTE* pCommand) const
{
    memset(pCommand, 0, NAV_COMMAND_SIZE);
    switch (m_nType)
    {
    case NAV_TYPE_SPECIAL:
        Write(pCommand, F_TYPE, 0);
        WriteCompare(pCommand, C1, m_compare);
        WriteSpecial(pCommand, m_instruction);
        break;
    case NAV_TYPE_LINK:
        Write(pCommand, F_TYPE, 1);
        Write(pCommand, F_DIRECT, 0);
        WriteCompare(pCommand, C1, m_compare);
        WriteLink(pCommand, m_instruction);
        break;
    case NAV_TYPE_JUMP:
        Write(pCommand, F_TYPE, 1);
        Write(pCommand, F_DIRECT, 1);
        WriteCompare(pCommand, C2, m_compare);
        WriteJump(pCommand, m_instruction);
        break;
    case NAV_TYPE_SYSTEM_SET:
        Write(pCommand, F_TYPE, 2);
        WriteCompare(pCommand, C2, m_compare);
        WriteSystemSet(pCommand, m_systemSet);
        WriteLink(pCommand, m_instruction);
        break;
    case NAV_TYPE_SET:
        Write(pCommand, F_TYPE, 3);
        if (m_compare.IsPresent())
            WriteCompare(pCommand, C3, m_compare);
        else
            WriteLink(pCommand, m_instruction);
        WriteSet(pCommand, S1, m_set);
        break;
    case NAV_TYPE_SET_COMPARE_LINK:
        Write(pCommand, F_TYPE, 4);
        WriteSet(pCommand, S2, m_set);
        WriteCompare(pCommand, C4, m_compare);
        WriteLinkSub(pCommand, m_instruction);
        break;
    case NAV_TYPE_COMPARE_SET_LINK:
    case NAV_TYPE_COMPARE_SET_ALWAYS_LINK:
        Write(pCommand, F_TYPE, m_nType - 1);
        // The set's form chooses the compare's layout, so it is written even
        // without a set.
        Write(pCommand, F_DIRECT, m_set.IsImmediate() ? 1 : 0);
        WriteCompare(pCommand, m_set.IsImmediate() ? C5 : C1, m_compare);
        WriteSet(pCommand, S3, m_set);
        WriteLinkSub(pCommand, m_instruction);
        break;
    default:
        // Not a type this model has; the command stays a NOP.
        break;
    }
}

void CNavCommand::SetType(BYTE nType)
{
    const bool bCompareImmediate = m_compare.IsImmediate();
    const bool bSetImmediate = m_set.IsImmediate();

    m_nType = nType;
    m_set.SetRules(RULES_ANY);
    m_compare.SetRules(RULES_ANY);
    m_instruction.SetGroup(GroupForType(nType));
    ApplyCompareRules(nType, m_compare);
    KeepOperandForm(m_compare, bCompareImmediate);
    KeepOperandForm(m_set, bSetImmediate);
    if ((nType == NAV_TYPE_COMPARE_SET_LINK || nType == NAV_TYPE_COMPARE_SET_ALWAYS_LINK) && m_set.IsImmediate() &&
        m_compare.IsImmediate())
        m_compare.SetImmediate(false);
}

void CNavCommand::AddRegisters(WORD& general, DWORD& system) const
{
    if (m_compare.IsPresent())
        m_compare.AddRegisters(general, system);
    if (m_set.IsPresent())
        m_set.AddRegisters(general, system);
    if (m_nType == NAV_TYPE_SYSTEM_SET)
        m_systemSet.AddRegisters(general, system);
}

WORD CNavCommand::GetGeneralRegisters() const
{
    WORD general = 0;
    DWORD system = 0;
    AddRegisters(general, system);
    return general;
}

DWORD CNavCommand::GetSystemRegisters() const
{
    WORD general = 0;
    DWORD system = 0;
    AddRegisters(general, system);
    return system;
}

// ---- Raw commands ------------------------------------------------------------------

bool IsNavigationCommand(const BYTE* pCommand)
{
    const BYTE nCode = CNavCommand::FromBytes(DVDDOMAIN_ANY, pCommand).GetInstruction().GetCode();
    return nCode >= NAV_LINK_TOP_CELL && nCode <= NAV_CALL_VMG_PGC;
}

WORD GetCommandGeneralRegisters(const BYTE* pCommand)
{
    return CNavCommand::FromBytes(DVDDOMAIN_ANY, pCommand).GetGeneralRegisters();
}

DWORD GetCommandSystemRegisters(const BYTE* pCommand)
{
    return CNavCommand::FromBytes(DVDDOMAIN_ANY, pCommand).GetSystemRegisters();
}

void ClearCommand(BYTE* pCommand)
{
    memset(pCommand, 0, NAV_COMMAND_SIZE);
}

bool CommandsEqual(const BYTE* pCommand1, const BYTE* pCommand2)
{
    return memcmp(pCommand1, pCommand2, NAV_COMMAND_SIZE) == 0;
}

void MakeLinkTopCellCommand(BYTE* pCommand, int nButton)
{
    CNavCommand command(DVDDOMAIN_ANY);
    command.SetType(NAV_TYPE_LINK);
    command.GetInstruction().SetCode(NAV_LINK_TOP_CELL);
    command.GetInstruction().SetButton((WORD)nButton);
    command.Encode(pCommand);
}
