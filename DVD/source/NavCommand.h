// Navigation commands: the decoded form of the 8-byte commands that PGCs run
// before, after and at the end of cells and that buttons run when activated.
//
// The model keeps every command as its raw bytes; a CNavCommand is made only
// when a command must be understood, changed, checked or shown, and is encoded
// back into bytes after a change. The decoded form has a type and four parts
// (compare, set, system set, instruction) that the types combine differently;
// the instruction codes are the program's own numbering, listed in a catalogue
// of names and descriptions that the editor shows.
#pragma once

#include "DVD/source/DVDTypes.h"
#include "framework/core/CString.h"

#include <cstdint>
#include <vector>

// ---- Domain and group masks -------------------------------------------------

#include "DVD/source/DvdDomain.h"

// Families of instructions that a command type can carry.
const BYTE NAV_GROUP_SPECIAL = 1;  // NOP, goto line, Break, Set Parental Level
const BYTE NAV_GROUP_LINK_SUB = 2; // link sub-instructions 0-16
const BYTE NAV_GROUP_LINK = 4;     // Link PGC, Chapter, Program, Cell
const BYTE NAV_GROUP_JUMP = 8;     // jumps and calls
const BYTE NAV_GROUP_ALL = 15;

// ---- Command types -----------------------------------------------------------

enum
{
    NAV_TYPE_SPECIAL = 0,                 // compare, special instruction
    NAV_TYPE_LINK = 1,                    // compare, link
    NAV_TYPE_JUMP = 2,                    // compare, jump or call
    NAV_TYPE_SYSTEM_SET = 3,              // compare, system set, link
    NAV_TYPE_SET = 4,                     // compare or link, set
    NAV_TYPE_SET_COMPARE_LINK = 5,        // set, then compare and link sub-instruction
    NAV_TYPE_COMPARE_SET_LINK = 6,        // compare, then set and link sub-instruction
    NAV_TYPE_COMPARE_SET_ALWAYS_LINK = 7, // compare, then set; link always
    NAV_TYPE_COUNT = 8
};

// ---- Instruction codes -------------------------------------------------------

// 0-16 are the DVD link sub-instructions under their own numbers (4, 8, 14
// and 15 are not defined); the rest are the program's.
enum
{
    NAV_LINK_NO_LINK = 0,
    NAV_LINK_TOP_CELL = 1,
    NAV_LINK_NEXT_CELL = 2,
    NAV_LINK_PREV_CELL = 3,
    NAV_LINK_TOP_PROGRAM = 5,
    NAV_LINK_NEXT_PROGRAM = 6,
    NAV_LINK_PREV_PROGRAM = 7,
    NAV_LINK_TOP_PGC = 9,
    NAV_LINK_NEXT_PGC = 10,
    NAV_LINK_PREV_PGC = 11,
    NAV_LINK_GO_UP_PGC = 12,
    NAV_LINK_TAIL_PGC = 13,
    NAV_RESUME = 16,
    NAV_LINK_PGC = 17,
    NAV_LINK_CHAPTER = 18,
    NAV_LINK_PROGRAM = 19,
    NAV_LINK_CELL = 20,
    NAV_EXIT = 21,
    NAV_JUMP_VMG_TITLE = 22,
    NAV_JUMP_VTS_TITLE = 23,
    NAV_JUMP_VTS_TITLE_CHAPTER = 24,
    NAV_JUMP_FIRST_PLAY = 25,
    NAV_JUMP_VMG_TITLE_MENU = 26,
    NAV_JUMP_VTS_MENU = 27,
    NAV_JUMP_VMG_PGC = 28,
    NAV_CALL_FIRST_PLAY = 29,
    NAV_CALL_VMG_TITLE_MENU = 30,
    NAV_CALL_VTS_MENU = 31,
    NAV_CALL_VMG_PGC = 32,
    NAV_NOP = 33,
    NAV_GOTO_LINE = 34,
    NAV_BREAK = 35,
    NAV_SET_PARENTAL_LEVEL = 36,
    NAV_UNKNOWN_INSTRUCTION = 37,
    NAV_NO_INSTRUCTION = 38,
    NAV_INSTRUCTION_COUNT = 39
};

// One row of the instruction catalogue. Undefined link sub-instructions have
// no texts at all (null pointers); parameter texts that do not exist are null.
struct NavInstructionInfo
{
    LPCSTR pszName;
    LPCSTR pszDescription;
    int nParams;
    LPCSTR pszParamNames[3];
    LPCSTR pszParamDescriptions[3];
};

// The catalogue row of a code; a code beyond the catalogue gets the row of
// the unknown instruction.
const NavInstructionInfo& GetInstructionInfo(int nCode);
// True for the codes that have a name (every code but 4, 8, 14, 15 and those
// beyond the catalogue).
bool IsNamedInstruction(int nCode);

// ---- System set kinds --------------------------------------------------------

enum
{
    NAV_SYSTEM_SET_NONE = 0,
    NAV_SET_STN = 1,    // audio, sub-picture and angle stream numbers
    NAV_SET_NVTMR = 2,  // navigation timer and the PGC it jumps to
    NAV_SET_GPRMMD = 3, // general register value and counter mode
    NAV_SET_AMXMD = 4,  // karaoke audio mixing mode
    NAV_SET_HL_BTNN = 6 // highlighted button
};

// ---- Compare and set ---------------------------------------------------------

// A register-or-immediate operation on a left register: the compare of a
// command and its set operation share it.
class CNavOperation
{
public:
    // Operand rules.
    enum
    {
        RULE_IMMEDIATE = 1,   // the right operand may be an immediate
        RULE_REGISTER = 2,    // the right operand may be a register
        RULE_GENERAL_LEFT = 4 // the left operand must be a general register
    };

    virtual ~CNavOperation() {}

    virtual int GetOperatorCount() const = 0;
    // "" for code 0 (no operation) and for codes beyond the table.
    virtual LPCSTR GetOperatorSymbol(int nOperator) const = 0;
    virtual LPCSTR GetOperatorDescription(int nOperator) const = 0;
    // "left op right", with register names and the immediate's value.
    virtual CPlainString GetText() const;
    // Whether the operands name registers the player has; the reason in
    // strError when they do not. A set adds its operator rules.
    virtual bool Check(CString& strError) const;

    bool CheckRegisters(CString& strError) const;

    // Rules 7, an immediate right operand, everything else 0.
    void Reset();

    bool IsPresent() const { return m_nOperator != 0; }
    BYTE GetOperator() const { return m_nOperator; }
    void SetOperator(BYTE nOperator) { m_nOperator = nOperator; }
    BYTE GetLeft() const { return m_nLeft; }
    void SetLeft(BYTE nLeft) { m_nLeft = nLeft; }
    WORD GetRight() const { return m_wRight; }
    void SetRight(WORD wRight) { m_wRight = wRight; }
    bool IsImmediate() const { return m_bImmediate != 0; }
    void SetImmediate(bool bImmediate) { m_bImmediate = bImmediate ? 1 : 0; }
    BYTE GetRules() const { return m_nRules; }
    void SetRules(BYTE nRules) { m_nRules = nRules; }
    bool AllowsImmediate() const { return (m_nRules & RULE_IMMEDIATE) != 0; }
    bool AllowsRegister() const { return (m_nRules & RULE_REGISTER) != 0; }

    // Adds the registers the operation reads or writes: bit r of general for
    // general register r, bit n of system for system register n.
    void AddRegisters(WORD& general, DWORD& system) const;

protected:
    CNavOperation();

    bool CheckOperands(bool bGeneralLeft, CString& strError) const;

    BYTE m_nLeft;
    WORD m_wRight;
    BYTE m_nOperator;
    BYTE m_nRules;
    BYTE m_bImmediate;
};

// Operators 1-7: & == != >= > <= <.
class CNavCompare : public CNavOperation
{
public:
    // Without immediates the compare reads two registers.
    explicit CNavCompare(bool bAllowImmediate = true);

    int GetOperatorCount() const override;
    LPCSTR GetOperatorSymbol(int nOperator) const override;
    LPCSTR GetOperatorDescription(int nOperator) const override;
    // "if (left op right) ", or "" when there is no compare.
    CPlainString GetText() const override;
    // A compare only reads its left register, so a system register is as
    // good there as a general one.
    bool Check(CString& strError) const override;
};

// Operators 1-11: = <-> += -= *= /= %= "= random" &= |= ^=.
class CNavSetOperation : public CNavOperation
{
public:
    // Without register sources the set only takes immediates.
    explicit CNavSetOperation(bool bAllowRegisterSource = true);

    int GetOperatorCount() const override;
    LPCSTR GetOperatorSymbol(int nOperator) const override;
    LPCSTR GetOperatorDescription(int nOperator) const override;
    // "left op right", or "" when there is no set.
    CPlainString GetText() const override;
    bool Check(CString& strError) const override;
};

// ---- System set --------------------------------------------------------------

// The player-state part of a type-3 command. The three values mean what the
// kind says; in register form they name registers instead of holding values.
class CNavSystemSet
{
public:
    explicit CNavSystemSet(BYTE nDomain = DVDDOMAIN_ANY);

    // No kind, no values, immediate form cleared.
    void Reset();

    BYTE GetKind() const { return m_nKind; }
    void SetKind(BYTE nKind) { m_nKind = nKind; }
    bool IsImmediate() const { return m_bImmediate != 0; }
    void SetImmediate(bool bImmediate) { m_bImmediate = bImmediate ? 1 : 0; }
    // i = 0..2; other indexes read 0 and write nothing.
    WORD GetValue(int i) const;
    void SetValue(int i, WORD wValue);

    BYTE GetDomain() const { return m_nDomain; }
    void SetDomain(BYTE nDomain);
    // The kinds the editor offers in this domain.
    std::vector<BYTE> GetAllowedKinds() const
    {
        return std::vector<BYTE>(m_allowedKinds, m_allowedKinds + m_nAllowedKinds);
    }
    // Whether this kind may be used in domain nDomain.
    bool IsAllowed(BYTE nDomain) const;

    // Adds the registers the kind sets or reads its values from.
    void AddRegisters(WORD& general, DWORD& system) const;

private:
    BYTE m_bImmediate;
    BYTE m_nKind;
    WORD m_values[3];
    BYTE m_nDomain;
    // Kept in place rather than on the heap: commands are decoded by the
    // thousand when a disc is checked.
    BYTE m_allowedKinds[8];
    BYTE m_nAllowedKinds;
};

// ---- Instruction -------------------------------------------------------------

class CNavInstruction
{
public:
    explicit CNavInstruction(BYTE nDomain = DVDDOMAIN_ANY, BYTE nGroup = NAV_GROUP_ALL);

    // No instruction, parameters 0; domain and group stay.
    void Reset();

    BYTE GetCode() const { return m_nCode; }
    void SetCode(BYTE nCode) { m_nCode = nCode; }
    // i = 0..2; other indexes read 0 and write nothing.
    WORD GetParam(int i) const;
    void SetParam(int i, WORD wValue);
    WORD GetParam1() const { return m_params[0]; }
    void SetParam1(WORD wValue) { m_params[0] = wValue; }
    WORD GetParam2() const { return m_params[1]; }
    void SetParam2(WORD wValue) { m_params[1] = wValue; }

    BYTE GetDomain() const { return m_nDomain; }
    // Both rebuild the list of allowed codes; a new group clears the
    // parameters.
    void SetDomain(BYTE nDomain);
    BYTE GetGroup() const { return m_nGroup; }
    void SetGroup(BYTE nGroup);
    // The codes the editor offers for this domain and group, in menu order.
    std::vector<BYTE> GetAllowedCodes() const
    {
        return std::vector<BYTE>(m_allowedCodes, m_allowedCodes + m_nAllowedCodes);
    }
    // Whether this instruction may run in domain nDomain (no instruction and
    // codes the table does not forbid are allowed).
    bool IsAllowed(BYTE nDomain) const;

    // Sets the highlighted button of a link instruction; false, changing
    // nothing, for any other instruction.
    bool SetButton(WORD wButton);

    // The catalogue name of nCode, or of this instruction's code for -1; ""
    // for a code without a name.
    LPCSTR GetInstructionName(int nCode = -1) const;

    // Renumbers parameter nParam (0..2) when this is instruction nCode and
    // the value lies in [nStart, nLimit] and is not wEmpty: a value in a
    // deleted range (nDelta < 0, value < nStart - nDelta) becomes wEmpty,
    // any other moves by nDelta. Answers whether the value changed.
    bool RetargetParameter(BYTE nCode, int nParam, WORD wEmpty, int nStart, int nDelta, int nLimit);

private:
    void BuildAllowedCodes();

    BYTE m_nCode;
    WORD m_params[3];
    BYTE m_nDomain;
    BYTE m_nGroup;
    BYTE m_allowedCodes[NAV_INSTRUCTION_COUNT];
    BYTE m_nAllowedCodes;
};

// ---- Renumbering ---------------------------------------------------------------

// What a retarget operation renumbers. Inserting or deleting parts of a disc
// moves the numbers of everything after them; each kind names one sort of
// number that commands, PGC links and categories hold.
enum
{
    RETARGET_LINE = 1,          // goto line, the line of Set Parental Level
    RETARGET_IFO_CELL = 2,      // Link Cell, the resume cell of the calls
    RETARGET_PROGRAM = 3,       // Link Program
    RETARGET_PGC = 4,           // Link PGC, SetNVTMR, links of VTS PGCs
    RETARGET_VMG_PGC = 5,       // Jump/Call VMG PGC, links of VMG PGCs
    RETARGET_CHAPTER = 6,       // Link Chapter
    RETARGET_TITLE_CHAPTER = 7, // chapters of Jump VTS Title Chapter to one title
    RETARGET_VTS_TITLE = 8,     // Jump VTS Title (Chapter), title PGC categories
    RETARGET_VMG_TITLE = 9,     // Jump VMG Title
    RETARGET_TITLE_SET = 10     // the title set of Jump VTS Menu
};

// An operation over the commands of a disc and its two values.
enum
{
    // Hidden cells are skipped by commands added to the PGCs.
    COMMANDOP_BYPASS = 1,
    // a = VMG titles of the discs merged before, b = a free general
    // register: reads of the current title number go through b.
    COMMANDOP_TITLE_REGISTER = 2,
    // a = 1: First Play, a = 2: the VMG title menu; both become VMG PGC b.
    COMMANDOP_FIRST_PLAY_TO_PGC = 3
};

struct CCommandOperation
{
    uint32_t nOperation = 0;
    uint32_t a = 0;
    uint32_t b = 0;
};

// ---- Command -----------------------------------------------------------------

class CNavCommand
{
public:
    explicit CNavCommand(BYTE nDomain = DVDDOMAIN_ANY);

    // A command of domain nDomain decoded from 8 bytes; *pbDecoded, when
    // given, tells whether the bytes decoded.
    static CNavCommand FromBytes(BYTE nDomain, const BYTE* pCommand, bool* pbDecoded = nullptr);

    // True when the bytes form a command this model understands completely:
    // a known type with defined sub-codes and no set bit outside the fields
    // that were read. The parts are filled as far as they were read either
    // way.
    bool Decode(const BYTE* pCommand);
    // Writes the 8 bytes: fields of absent parts stay 0, and values wider
    // than their fields are cut to the field.
    void Encode(BYTE* pCommand) const;

    BYTE GetType() const { return m_nType; }
    // Changes the type, bringing the parts' rules and the instruction group in
    // line with it; operands keep their form where the new type allows it.
    void SetType(BYTE nType);

    BYTE GetDomain() const { return m_instruction.GetDomain(); }

    CNavCompare& GetCompare() { return m_compare; }
    const CNavCompare& GetCompare() const { return m_compare; }
    CNavSetOperation& GetSet() { return m_set; }
    const CNavSetOperation& GetSet() const { return m_set; }
    CNavSystemSet& GetSystemSet() { return m_systemSet; }
    const CNavSystemSet& GetSystemSet() const { return m_systemSet; }
    CNavInstruction& GetInstruction() { return m_instruction; }
    const CNavInstruction& GetInstruction() const { return m_instruction; }

    // Registers read or written by the present parts: bit r for general
    // register r, bit n for system register n.
    WORD GetGeneralRegisters() const;
    DWORD GetSystemRegisters() const;

    // Renumbers the references of one kind (RETARGET_...) after numbers were
    // inserted or deleted; see RetargetCommand. Answers whether anything
    // changed.
    bool Retarget(int nKind, int nStart, int nDelta, int nLimit);
    // The rewrite a merge of discs needs (COMMANDOP_TITLE_REGISTER or
    // COMMANDOP_FIRST_PLAY_TO_PGC); answers whether anything changed.
    bool AdjustForMerge(const CCommandOperation& operation);
    // Set Parental Level becomes a plain goto of its line, and a set that
    // reads the parental level reads 15 instead. Answers whether anything
    // changed.
    bool RemoveParentalLevelChange();

private:
    void AddRegisters(WORD& general, DWORD& system) const;

    BYTE m_nType;
    CNavCompare m_compare;
    CNavSetOperation m_set;
    CNavSystemSet m_systemSet;
    CNavInstruction m_instruction;
};

// ---- Raw commands ------------------------------------------------------------

// Each decodes for any domain.

// True when the instruction links, jumps or calls (codes 1-32), whether or
// not the command decodes completely.
bool IsNavigationCommand(const BYTE* pCommand);
WORD GetCommandGeneralRegisters(const BYTE* pCommand);
DWORD GetCommandSystemRegisters(const BYTE* pCommand);
// 8 zero bytes, a NOP.
void ClearCommand(BYTE* pCommand);
bool CommandsEqual(const BYTE* pCommand1, const BYTE* pCommand2);
// A link command that restarts the current cell with button nButton
// highlighted; what a removed button's commands become.
void MakeLinkTopCellCommand(BYTE* pCommand, int nButton);
