#include "DVD/source/NavRetarget.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/RefCollector.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/title.h"

#include <cstring>
#include <vector>

namespace
{
// The player's current title number (system register 4) and parental level
// (system register 13) as command operands.
const WORD REGISTER_TITLE_NUMBER = SYSTEM_REGISTER_BASE + 4;
const WORD REGISTER_PARENTAL_LEVEL = SYSTEM_REGISTER_BASE + 13;
// What a set that read the parental level reads once level changes are gone:
// the highest level, so that every branch on it behaves as unrestricted.
const WORD PARENTAL_LEVEL_ANY = 15;

const BYTE SET_ASSIGN = 1;
const BYTE SET_SUBTRACT = 4;

// The empty title set of Jump VTS Menu; 0 there means the command's own set.
const WORD TITLE_SET_NONE = 255;

bool ReplaceRegister(CNavOperation& operation, BYTE nRegister)
{
    if (!operation.IsPresent())
        return false;
    bool bChanged = false;
    if (operation.GetLeft() == REGISTER_TITLE_NUMBER)
    {
        operation.SetLeft(nRegister);
        bChanged = true;
    }
    if (!operation.IsImmediate() && operation.GetRight() == REGISTER_TITLE_NUMBER)
    {
        operation.SetRight(nRegister);
        bChanged = true;
    }
    return bChanged;
}

// The commands of a table as values, to be changed together and written
// back once.
std::vector<CPgcCommand> ReadTable(const CPgcCommands& table)
{
    std::vector<CPgcCommand> commands(table.GetCount());
    for (uint32_t i = 0; i < table.GetCount(); ++i)
        memcpy(commands[i].bytes, table.GetCommand(i), PGC_COMMAND_SIZE);
    return commands;
}

// The table's own storage is read-only from outside; a changed table is
// rebuilt in order, which marks it modified.
void WriteTable(CPgcCommands& table, const std::vector<CPgcCommand>& commands)
{
    table.Empty();
    for (const CPgcCommand& command : commands)
        table.Add(command.bytes);
    table.SetModified();
}

bool ReadsTitleNumber(const CPgcCommands& table)
{
    for (uint32_t i = 0; i < table.GetCount(); ++i)
    {
        if (GetCommandSystemRegisters(table.GetCommand(i)) & (1u << (REGISTER_TITLE_NUMBER - SYSTEM_REGISTER_BASE)))
            return true;
    }
    return false;
}
} // namespace

// ---- Decoded commands ---------------------------------------------------------------

bool CNavInstruction::RetargetParameter(BYTE nCode, int nParam, WORD wEmpty, int nStart, int nDelta, int nLimit)
{
    if (m_nCode != nCode || nParam < 0 || nParam > 2)
        return false;
    const int nValue = m_params[nParam];
    if (nValue == wEmpty || nValue < nStart || nValue > nLimit)
        return false;
    int nNew = nValue + nDelta;
    if (nDelta < 0 && nValue < nStart - nDelta)
        nNew = wEmpty;
    if (nNew == nValue)
        return false;
    m_params[nParam] = WORD(nNew);
    return true;
}

bool CNavCommand::Retarget(int nKind, int nStart, int nDelta, int nLimit)
{
    CNavInstruction& in = m_instruction;
    bool bChanged = false;
    switch (nKind)
    {
    case RETARGET_LINE:
        bChanged |= in.RetargetParameter(NAV_GOTO_LINE, 0, 0, nStart, nDelta, nLimit);
        bChanged |= in.RetargetParameter(NAV_SET_PARENTAL_LEVEL, 1, 0, nStart, nDelta, nLimit);
        break;
    case RETARGET_IFO_CELL:
        bChanged |= in.RetargetParameter(NAV_LINK_CELL, 0, 0, nStart, nDelta, nLimit);
        bChanged |= in.RetargetParameter(NAV_CALL_FIRST_PLAY, 0, 0, nStart, nDelta, nLimit);
        bChanged |= in.RetargetParameter(NAV_CALL_VMG_TITLE_MENU, 0, 0, nStart, nDelta, nLimit);
        bChanged |= in.RetargetParameter(NAV_CALL_VTS_MENU, 1, 0, nStart, nDelta, nLimit);
        bChanged |= in.RetargetParameter(NAV_CALL_VMG_PGC, 1, 0, nStart, nDelta, nLimit);
        break;
    case RETARGET_PROGRAM: bChanged |= in.RetargetParameter(NAV_LINK_PROGRAM, 0, 0, nStart, nDelta, nLimit); break;
    case RETARGET_PGC:
        bChanged |= in.RetargetParameter(NAV_LINK_PGC, 0, 0, nStart, nDelta, nLimit);
        if (m_nType == NAV_TYPE_SYSTEM_SET && m_systemSet.GetKind() == NAV_SET_NVTMR)
        {
            // The timer's PGC follows the same rule without an upper bound.
            const int nPgc = m_systemSet.GetValue(1);
            if (nPgc != 0 && nPgc >= nStart)
            {
                const int nNew = (nDelta < 0 && nPgc < nStart - nDelta) ? 0 : nPgc + nDelta;
                if (nNew != nPgc)
                {
                    m_systemSet.SetValue(1, WORD(nNew));
                    bChanged = true;
                }
            }
        }
        break;
    case RETARGET_VMG_PGC:
        bChanged |= in.RetargetParameter(NAV_JUMP_VMG_PGC, 0, 0, nStart, nDelta, nLimit);
        bChanged |= in.RetargetParameter(NAV_CALL_VMG_PGC, 0, 0, nStart, nDelta, nLimit);
        break;
    case RETARGET_CHAPTER: bChanged |= in.RetargetParameter(NAV_LINK_CHAPTER, 0, 0, nStart, nDelta, nLimit); break;
    case RETARGET_TITLE_CHAPTER:
        // The limit names the title; its chapters move without a bound.
        if (in.GetCode() == NAV_JUMP_VTS_TITLE_CHAPTER && in.GetParam1() == nLimit)
            bChanged |= in.RetargetParameter(NAV_JUMP_VTS_TITLE_CHAPTER, 1, 0, nStart, nDelta, RETARGET_NO_LIMIT);
        break;
    case RETARGET_VTS_TITLE:
        bChanged |= in.RetargetParameter(NAV_JUMP_VTS_TITLE_CHAPTER, 0, 0, nStart, nDelta, RETARGET_NO_LIMIT);
        bChanged |= in.RetargetParameter(NAV_JUMP_VTS_TITLE, 0, 0, nStart, nDelta, RETARGET_NO_LIMIT);
        break;
    case RETARGET_VMG_TITLE: bChanged |= in.RetargetParameter(NAV_JUMP_VMG_TITLE, 0, 0, nStart, nDelta, nLimit); break;
    case RETARGET_TITLE_SET:
        // Title set 0 is the command's own set, whatever its number.
        if (in.GetCode() == NAV_JUMP_VTS_MENU && in.GetParam1() != 0)
            bChanged |= in.RetargetParameter(NAV_JUMP_VTS_MENU, 0, TITLE_SET_NONE, nStart, nDelta, nLimit);
        break;
    default: break;
    }
    return bChanged;
}

bool CNavCommand::AdjustForMerge(const CCommandOperation& operation)
{
    if (operation.nOperation == COMMANDOP_TITLE_REGISTER)
    {
        const BYTE nRegister = BYTE(operation.b);
        const bool bCompare = ReplaceRegister(m_compare, nRegister);
        const bool bSet = ReplaceRegister(m_set, nRegister);
        return bCompare || bSet;
    }
    if (operation.nOperation != COMMANDOP_FIRST_PLAY_TO_PGC)
        return false;

    BYTE nJump = NAV_NO_INSTRUCTION;
    BYTE nCall = NAV_NO_INSTRUCTION;
    if (operation.a == 1)
    {
        nJump = NAV_JUMP_FIRST_PLAY;
        nCall = NAV_CALL_FIRST_PLAY;
    }
    else if (operation.a == 2)
    {
        nJump = NAV_JUMP_VMG_TITLE_MENU;
        nCall = NAV_CALL_VMG_TITLE_MENU;
    }
    else
        return false;

    const WORD wPgc = WORD(operation.b);
    const BYTE nCode = m_instruction.GetCode();
    if (nCode == nJump)
    {
        m_instruction.SetCode(NAV_JUMP_VMG_PGC);
        m_instruction.SetParam(0, wPgc);
        m_instruction.SetParam(1, 0);
        m_instruction.SetParam(2, 0);
        return true;
    }
    if (nCode == nCall)
    {
        const WORD wResumeCell = m_instruction.GetParam1();
        m_instruction.SetCode(NAV_CALL_VMG_PGC);
        m_instruction.SetParam(0, wPgc);
        m_instruction.SetParam(1, wResumeCell);
        m_instruction.SetParam(2, 0);
        return true;
    }
    return false;
}

bool CNavCommand::RemoveParentalLevelChange()
{
    bool bChanged = false;
    if (m_instruction.GetCode() == NAV_SET_PARENTAL_LEVEL)
    {
        const WORD wLine = m_instruction.GetParam2();
        m_instruction.SetCode(NAV_GOTO_LINE);
        m_instruction.SetParam(0, wLine);
        m_instruction.SetParam(1, 0);
        bChanged = true;
    }
    if (m_set.IsPresent() && !m_set.IsImmediate() && m_set.GetRight() == REGISTER_PARENTAL_LEVEL)
    {
        // In the two compare-then-set types an immediate source moves the
        // compare to a registers-only layout; a compare with an immediate
        // operand would lose it, so such a command keeps its source.
        const bool bCompareFirst = m_nType == NAV_TYPE_COMPARE_SET_LINK || m_nType == NAV_TYPE_COMPARE_SET_ALWAYS_LINK;
        if (!(bCompareFirst && m_compare.IsPresent() && m_compare.IsImmediate()))
        {
            m_set.SetImmediate(true);
            m_set.SetRight(PARENTAL_LEVEL_ANY);
            bChanged = true;
        }
    }
    return bChanged;
}

// ---- Raw commands -----------------------------------------------------------------

bool RetargetCommand(BYTE* pCommand, int nKind, int nStart, int nDelta, int nLimit)
{
    bool bDecoded = false;
    CNavCommand command = CNavCommand::FromBytes(DVDDOMAIN_ANY, pCommand, &bDecoded);
    if (!bDecoded || !command.Retarget(nKind, nStart, nDelta, nLimit))
        return false;
    command.Encode(pCommand);
    return true;
}

bool CommandRefersTo(const BYTE* pCommand, int nKind, int nFirst, int nLast)
{
    // Moving the range by one changes exactly the numbers inside it.
    BYTE copy[NAV_COMMAND_SIZE];
    memcpy(copy, pCommand, NAV_COMMAND_SIZE);
    return RetargetCommand(copy, nKind, nFirst, 1, nLast);
}

bool AdjustCommandForMerge(BYTE* pCommand, const CCommandOperation& operation)
{
    bool bDecoded = false;
    CNavCommand command = CNavCommand::FromBytes(DVDDOMAIN_ANY, pCommand, &bDecoded);
    if (!bDecoded || !command.AdjustForMerge(operation))
        return false;
    command.Encode(pCommand);
    return true;
}

bool CanAdjustCommandForMerge(const BYTE*, const CCommandOperation& operation)
{
    if (operation.nOperation == COMMANDOP_TITLE_REGISTER)
        return operation.b < GENERAL_REGISTER_COUNT;
    return operation.nOperation == COMMANDOP_FIRST_PLAY_TO_PGC;
}

bool RemoveParentalLevelChange(BYTE* pCommand)
{
    bool bDecoded = false;
    CNavCommand command = CNavCommand::FromBytes(DVDDOMAIN_ANY, pCommand, &bDecoded);
    if (!bDecoded || !command.RemoveParentalLevelChange())
        return false;
    command.Encode(pCommand);
    return true;
}

void MakeTitleRegisterCommands(const CCommandOperation& operation, BYTE* pLoad, BYTE* pSubtract)
{
    CNavCommand load;
    load.SetType(NAV_TYPE_SET);
    load.GetSet().SetOperator(SET_ASSIGN);
    load.GetSet().SetLeft(BYTE(operation.b));
    load.GetSet().SetImmediate(false);
    load.GetSet().SetRight(REGISTER_TITLE_NUMBER);
    load.Encode(pLoad);

    CNavCommand subtract;
    subtract.SetType(NAV_TYPE_SET);
    subtract.GetSet().SetOperator(SET_SUBTRACT);
    subtract.GetSet().SetLeft(BYTE(operation.b));
    subtract.GetSet().SetImmediate(true);
    subtract.GetSet().SetRight(WORD(operation.a));
    subtract.Encode(pSubtract);
}

// ---- PGC links and categories --------------------------------------------------------

bool RetargetPgcLink(WORD& wLink, int nStart, int nDelta, int nLimit)
{
    const int nLink = wLink;
    if (nLink == 0 || nLink == PGC_LINK_DELETED || nLink < nStart || nLink > nLimit)
        return false;
    const int nNew = (nDelta < 0 && nLink < nStart - nDelta) ? PGC_LINK_DELETED : nLink + nDelta;
    if (nNew == nLink)
        return false;
    wLink = WORD(nNew);
    return true;
}

bool RetargetTitleCategory(BYTE& nCategory, int nStart, int nDelta)
{
    const int nTitle = nCategory & 0x7F;
    if (nTitle < nStart)
        return false;
    const int nNew = (nDelta < 0 && nTitle < nStart - nDelta) ? 0 : ((nTitle + nDelta) & 0x7F);
    if (nNew == nTitle)
        return false;
    nCategory = BYTE((nCategory & 0x80) | nNew);
    return true;
}

// ---- Command tables and PGCs -------------------------------------------------------

bool RetargetTableCommand(CPgcCommands& table, uint32_t nIndex, int nKind, int nStart, int nDelta, int nLimit)
{
    if (nIndex >= table.GetCount())
        return false;
    std::vector<CPgcCommand> commands = ReadTable(table);
    if (!RetargetCommand(commands[nIndex].bytes, nKind, nStart, nDelta, nLimit))
        return false;
    WriteTable(table, commands);
    return true;
}

bool RetargetTableCommands(CPgcCommands& table, int nKind, int nStart, int nDelta, int nLimit)
{
    std::vector<CPgcCommand> commands = ReadTable(table);
    bool bChanged = false;
    for (CPgcCommand& command : commands)
        bChanged |= RetargetCommand(command.bytes, nKind, nStart, nDelta, nLimit);
    if (bChanged)
        WriteTable(table, commands);
    return bChanged;
}

bool RetargetPgcReferences(CPgc& pgc, int nKind, int nStart, int nDelta, int nLimit)
{
    bool bChanged = false;
    bChanged |= RetargetTableCommands(pgc.m_preCommands, nKind, nStart, nDelta, nLimit);
    bChanged |= RetargetTableCommands(pgc.m_postCommands, nKind, nStart, nDelta, nLimit);
    bChanged |= RetargetTableCommands(pgc.m_cellCommands, nKind, nStart, nDelta, nLimit);

    // Links name PGCs of the PGC's own domain: VTS PGCs by kind 4, the
    // First Play and VMG menu PGCs by kind 5.
    const uint8_t nDomain = pgc.GetPgcDomainCode();
    const bool bVtsLinks = nKind == RETARGET_PGC && (nDomain == DVDDOMAIN_TITLE || nDomain == DVDDOMAIN_VTS_MENU);
    const bool bVmgLinks =
        nKind == RETARGET_VMG_PGC && (nDomain == DVDDOMAIN_FIRST_PLAY || nDomain == DVDDOMAIN_VMG_MENU);
    if (bVtsLinks || bVmgLinks)
    {
        bool bLinks = false;
        bLinks |= RetargetPgcLink(pgc.m_wNextPgc, nStart, nDelta, nLimit);
        bLinks |= RetargetPgcLink(pgc.m_wPrevPgc, nStart, nDelta, nLimit);
        bLinks |= RetargetPgcLink(pgc.m_wGoUpPgc, nStart, nDelta, nLimit);
        if (bLinks)
            pgc.SetModified();
        bChanged |= bLinks;
    }
    if (nKind == RETARGET_VTS_TITLE && pgc.m_nMenu == 0 && RetargetTitleCategory(pgc.m_nCategory, nStart, nDelta))
    {
        pgc.SetModified();
        bChanged = true;
    }
    return bChanged;
}

bool RetargetPgcTableReferences(CPgcTable& table, int nKind, int nStart, int nDelta, int nLimit)
{
    bool bChanged = false;
    for (uint32_t i = 0; i < table.GetPgcCount(); ++i)
        bChanged |= RetargetPgcReferences(*table.GetPgc(i), nKind, nStart, nDelta, nLimit);
    return bChanged;
}

bool AdjustTableForMerge(CPgcCommands& table, const CCommandOperation& operation)
{
    std::vector<CPgcCommand> commands = ReadTable(table);
    bool bChanged = false;
    for (CPgcCommand& command : commands)
        bChanged |= AdjustCommandForMerge(command.bytes, operation);
    if (!bChanged)
        return false;
    WriteTable(table, commands);
    if (operation.nOperation == COMMANDOP_TITLE_REGISTER)
    {
        BYTE load[PGC_COMMAND_SIZE];
        BYTE subtract[PGC_COMMAND_SIZE];
        MakeTitleRegisterCommands(operation, load, subtract);
        table.InsertAt(0, load);
        table.InsertAt(1, subtract);
    }
    return true;
}

bool CanAdjustTableForMerge(const CPgcCommands& table, const CCommandOperation& operation)
{
    for (uint32_t i = 0; i < table.GetCount(); ++i)
    {
        if (!CanAdjustCommandForMerge(table.GetCommand(i), operation))
            return false;
    }
    return true;
}

bool CanAdjustPgcForMerge(const CPgc& pgc, const CCommandOperation& operation)
{
    if (operation.nOperation == COMMANDOP_BYPASS)
        return true;
    if (operation.nOperation == COMMANDOP_TITLE_REGISTER)
    {
        // A cell command has no lines in front of it to load a register.
        if (ReadsTitleNumber(pgc.m_cellCommands))
            return false;
        uint32_t nTables = 0;
        for (const CPgcCommands* pTable : {&pgc.m_preCommands, &pgc.m_postCommands})
        {
            if (ReadsTitleNumber(*pTable))
                nTables++;
        }
        if (nTables == 0)
            return true;
        if (operation.b >= GENERAL_REGISTER_COUNT)
            return false;
        return pgc.GetCommandCount() + 2 * nTables <= uint32_t(PGC_MAX_COMMANDS);
    }
    return CanAdjustTableForMerge(pgc.m_preCommands, operation) &&
           CanAdjustTableForMerge(pgc.m_postCommands, operation) &&
           CanAdjustTableForMerge(pgc.m_cellCommands, operation);
}

bool CanAdjustPgcTableForMerge(const CPgcTable& table, const CCommandOperation& operation)
{
    for (uint32_t i = 0; i < table.GetPgcCount(); ++i)
    {
        if (!CanAdjustPgcForMerge(*table.GetPgc(i), operation))
            return false;
    }
    return true;
}

bool RetargetPgcCommands(CPgc& pgc, const CCommandOperation& operation)
{
    if (operation.nOperation == COMMANDOP_BYPASS)
    {
        BypassHiddenCells(pgc);
        return false;
    }
    bool bChanged = false;
    bChanged |= AdjustTableForMerge(pgc.m_preCommands, operation);
    bChanged |= AdjustTableForMerge(pgc.m_postCommands, operation);
    if (operation.nOperation != COMMANDOP_TITLE_REGISTER)
        bChanged |= AdjustTableForMerge(pgc.m_cellCommands, operation);
    return bChanged;
}

bool RetargetPgcTableCommands(CPgcTable& table, const CCommandOperation& operation)
{
    bool bChanged = false;
    for (uint32_t i = 0; i < table.GetPgcCount(); ++i)
        bChanged |= RetargetPgcCommands(*table.GetPgc(i), operation);
    return bChanged;
}

// ---- Bypass of hidden cells ---------------------------------------------------------

namespace
{
bool IsHidden(const CPgcCell& cell)
{
    const CVobCell* pIlvu = cell.GetIlvu(0);
    return pIlvu && pIlvu->IsBlank() && cell.m_nCellCommand == 0;
}

// Appends the command to the cell-command table and makes it the cell
// command of entries nFirst .. nLast. An entry that already runs a cell
// command of its own keeps it: that command was the user's, and replacing it
// would lose it.
void LinkEntries(CPgc& pgc, const CNavCommand& command, uint32_t nFirst, uint32_t nLast)
{
    std::vector<CPgcCell*> cells;
    for (uint32_t i = nFirst; i <= nLast; ++i)
    {
        if (pgc.GetCell(i)->m_nCellCommand == 0)
            cells.push_back(pgc.GetCell(i));
    }
    if (cells.empty())
        return;
    BYTE bytes[PGC_COMMAND_SIZE];
    command.Encode(bytes);
    const BYTE nNumber = BYTE(pgc.m_cellCommands.Add(bytes) + 1);
    for (CPgcCell* pCell : cells)
    {
        pCell->m_nCellCommand = nNumber;
        pCell->SetModified();
    }
}

CNavCommand MakeLink(CPgc& pgc, BYTE nCode, WORD wParam)
{
    CNavCommand command(pgc.m_cellCommands.GetDomainCode());
    command.SetType(NAV_TYPE_LINK);
    command.GetInstruction().SetCode(nCode);
    command.GetInstruction().SetParam1(wParam);
    return command;
}

// Nothing of the PGC plays: what the post-commands would do after the cells
// is done by the pre-commands, whose Breaks lead to it.
void RunPostCommandsFirst(CPgc& pgc)
{
    const uint32_t nPre = pgc.m_preCommands.GetCount();
    const uint32_t nPost = pgc.m_postCommands.GetCount();
    const uint32_t nCell = pgc.m_cellCommands.GetCount();
    if (nPost == 0 || nPre + 1 + nPost + nCell > uint32_t(PGC_MAX_COMMANDS))
        return;

    std::vector<CPgcCommand> pre = ReadTable(pgc.m_preCommands);
    for (CPgcCommand& line : pre)
    {
        bool bDecoded = false;
        CNavCommand command = CNavCommand::FromBytes(pgc.m_preCommands.GetDomainCode(), line.bytes, &bDecoded);
        if (!bDecoded || command.GetInstruction().GetCode() != NAV_BREAK)
            continue;
        command.GetInstruction().SetCode(NAV_GOTO_LINE);
        command.GetInstruction().SetParam1(WORD(nPre + 1));
        command.Encode(line.bytes);
    }

    if (nPre + 2 * nPost + nCell <= uint32_t(PGC_MAX_COMMANDS))
    {
        for (uint32_t i = 0; i < nPost; ++i)
        {
            CPgcCommand line;
            memcpy(line.bytes, pgc.m_postCommands.GetCommand(i), PGC_COMMAND_SIZE);
            RetargetCommand(line.bytes, RETARGET_LINE, 1, int(nPre), RETARGET_NO_LIMIT);
            pre.push_back(line);
        }
    }
    else
    {
        CPgcCommand nop;
        ClearCommand(nop.bytes);
        pre.push_back(nop);
    }
    WriteTable(pgc.m_preCommands, pre);
}
} // namespace

void BypassHiddenCells(CPgc& pgc)
{
    const uint32_t nCells = pgc.GetCellCount();
    uint32_t s = 0;
    uint32_t nIfoCellsBefore = 0;
    bool bAnyVisible = false;
    for (uint32_t e = 0; e < nCells; ++e)
    {
        const CPgcCell& cell = *pgc.GetCell(e);
        const uint32_t nAngles = uint32_t(cell.GetAngleCount());
        if (IsHidden(cell))
        {
            nIfoCellsBefore += nAngles;
            continue;
        }
        bAnyVisible = true;
        if (e > s + 1)
            LinkEntries(pgc, MakeLink(pgc, NAV_LINK_CELL, WORD(nIfoCellsBefore + 1)), s, e - 2);
        s = e;
        nIfoCellsBefore += nAngles;
    }
    if (s + 1 < nCells)
        LinkEntries(pgc, MakeLink(pgc, NAV_LINK_TAIL_PGC, 0), s, nCells - 2);
    if (!bAnyVisible && nCells > 0)
        RunPostCommandsFirst(pgc);
}

bool RemoveParentalLevelChanges(CPgcCommands& table)
{
    std::vector<CPgcCommand> commands = ReadTable(table);
    bool bChanged = false;
    for (CPgcCommand& command : commands)
        bChanged |= RemoveParentalLevelChange(command.bytes);
    if (bChanged)
        WriteTable(table, commands);
    return bChanged;
}

// ---- Targets -----------------------------------------------------------------------

namespace
{
CDvdObject* FindAncestor(CDvdObject* pNode, uint8_t nKind)
{
    for (; pNode; pNode = pNode->GetParent())
    {
        if (pNode->GetKind() == nKind)
            return pNode;
    }
    return nullptr;
}

// Where a command runs, as far as its targets need it.
struct CCommandPlace
{
    uint8_t nDomain = DVDDOMAIN_ANY;
    bool bButton = false;
    CPgc* pPgc = nullptr;
    // The command's own table, or for a button the cell commands of the PGC
    // that plays its block.
    CPgcCommands* pGroup = nullptr;
    // The cells the command runs after: those that name it as their cell
    // command, or that play the button's block.
    CPgcCellArray cells;
    CDvd* pDvd = nullptr;
    CVts* pVts = nullptr;
};

CDvdReference PgcStart(CPgc* pPgc)
{
    return pPgc->m_preCommands.GetReference(0);
}

CDvdReference CellReference(CPgcCell* pCell)
{
    return CDvdReference(pCell, 0, 0);
}

CString Formatted(const char* pszFormat, int a, int b)
{
    CString text;
    text.Format(pszFormat, a, b);
    return text;
}

CString LanguageName(const CLanguageUnit& unit)
{
    BYTE code[2];
    unit.GetLanguageBytes(code);
    return GetLanguageName(FindLanguage(code[0], code[1]));
}

class CTargetResolver
{
public:
    CTargetResolver(CCommandPlace& place, const CNavCommand& command, CString& strError)
        : m_place(place), m_command(command), m_strError(strError)
    {
    }

    CDvdReference Resolve();

private:
    CDvdReference Fail(const CString& strError)
    {
        m_strError = strError;
        return CDvdReference();
    }
    CDvdReference Fail(const char* pszError) { return Fail(CString(pszError)); }

    CDvdReference CheckPgc(int nPgc);
    CDvdReference CheckChapter(const CVtsTitle* pTitle, int nTitle, int nChapter);
    CDvdReference CheckTitle(int nTitle);
    CDvdReference CheckLine(CPgcCommands* pTable, int nLine);
    CDvdReference CheckMenu(const CLanguageUnits& units, BYTE nType);
    CDvdReference LinkTarget(CPgc* pPgc, uint8_t nField, const char* pszNotSet);
    CDvdReference LinkSubInstruction(BYTE nCode);
    CDvdReference LinkChapter(int nChapter);
    CDvdReference LinkCell(int nCell);
    CDvdReference JumpVtsMenu(int nTitleSet, BYTE nType);
    CDvdReference VmgPgc(int nPgc);
    CDvdReference Line(int nLine);

    CCommandPlace& m_place;
    const CNavCommand& m_command;
    CString& m_strError;
};

CDvdReference CTargetResolver::Resolve()
{
    const CNavInstruction& in = m_command.GetInstruction();
    if (m_command.GetType() == NAV_TYPE_SYSTEM_SET && m_command.GetSystemSet().GetKind() == NAV_SET_NVTMR)
        return CheckPgc(m_command.GetSystemSet().GetValue(1));

    const BYTE nCode = in.GetCode();
    switch (nCode)
    {
    case NAV_LINK_NO_LINK:
    case NAV_LINK_TOP_CELL:
    case NAV_LINK_NEXT_CELL:
    case NAV_LINK_PREV_CELL:
    case NAV_LINK_TOP_PROGRAM:
    case NAV_LINK_NEXT_PROGRAM:
    case NAV_LINK_PREV_PROGRAM:
    case NAV_LINK_TOP_PGC:
    case NAV_LINK_NEXT_PGC:
    case NAV_LINK_PREV_PGC:
    case NAV_LINK_GO_UP_PGC:
    case NAV_LINK_TAIL_PGC: return LinkSubInstruction(nCode);
    case NAV_LINK_PGC: return CheckPgc(in.GetParam1());
    case NAV_LINK_CHAPTER: return LinkChapter(in.GetParam1());
    case NAV_LINK_PROGRAM:
    {
        const int nProgram = in.GetParam1();
        if (nProgram == 0)
            return Fail("Reference to invalid program. Was it deleted?");
        if (!m_place.pPgc)
            return Fail("PGC is not defined.");
        if (nProgram > m_place.pPgc->GetProgramCount())
            return Fail(Formatted("Reference to program %d while there are only %d program(s) available.", nProgram,
                                  m_place.pPgc->GetProgramCount()));
        return CDvdReference(m_place.pPgc, PGCFIELD_PROGRAM, uint32_t(nProgram - 1));
    }
    case NAV_LINK_CELL: return LinkCell(in.GetParam1());
    case NAV_JUMP_VMG_TITLE:
    {
        const int nTitle = in.GetParam1();
        if (nTitle == 0)
            return Fail("Reference to invalid VMG title. Was it deleted?");
        const int nCount = m_place.pDvd ? int(m_place.pDvd->GetVmg().GetTitles().GetEntryCount()) : 0;
        if (nTitle > nCount)
            return Fail(Formatted("Reference to VMG Title %d while there are only %d Title(s) available in the VMG.",
                                  nTitle, nCount));
        return m_place.pDvd->GetVmg().GetTitles().GetTitleReference(uint32_t(nTitle - 1));
    }
    case NAV_JUMP_VTS_TITLE: return CheckTitle(in.GetParam1());
    case NAV_JUMP_VTS_TITLE_CHAPTER:
    {
        const int nTitle = in.GetParam1();
        const CDvdReference title = CheckTitle(nTitle);
        if (!title.pNode)
            return title;
        return CheckChapter(static_cast<const CVtsTitle*>(title.pNode), nTitle, in.GetParam2());
    }
    case NAV_JUMP_FIRST_PLAY:
    case NAV_CALL_FIRST_PLAY:
    {
        CPgc* pFirstPlay = m_place.pDvd ? m_place.pDvd->GetVmg().GetFirstPlayPgc() : nullptr;
        if (!pFirstPlay)
            return Fail("No First Play PGC in the VMG");
        return PgcStart(pFirstPlay);
    }
    case NAV_JUMP_VMG_TITLE_MENU:
    case NAV_CALL_VMG_TITLE_MENU:
        if (!m_place.pDvd)
            return Fail("No Language Units defined");
        return CheckMenu(m_place.pDvd->GetVmg().GetLanguageUnits(), 2);
    case NAV_JUMP_VTS_MENU: return JumpVtsMenu(in.GetParam1(), BYTE(in.GetParam2()));
    case NAV_CALL_VTS_MENU: return JumpVtsMenu(0, BYTE(in.GetParam1()));
    case NAV_JUMP_VMG_PGC:
    case NAV_CALL_VMG_PGC: return VmgPgc(in.GetParam1());
    case NAV_GOTO_LINE: return Line(in.GetParam1());
    case NAV_SET_PARENTAL_LEVEL: return Line(in.GetParam2());
    default:
        // Exit, NOP, Break, Resume and no instruction go nowhere.
        return CDvdReference();
    }
}

CDvdReference CTargetResolver::CheckPgc(int nPgc)
{
    if (nPgc == 0)
        return Fail("Reference to invalid PGC. Was it deleted?");
    CPgcTable* pTable = m_place.pPgc ? m_place.pPgc->GetTable() : nullptr;
    if (!pTable)
        return Fail("Program Chains not defined.");
    if (uint32_t(nPgc) > pTable->GetPgcCount())
        return Fail(Formatted("Reference to PGC %d while there are only %d Program Chain(s) available.", nPgc,
                              int(pTable->GetPgcCount())));
    return PgcStart(pTable->GetPgc(uint32_t(nPgc - 1)));
}

CDvdReference CTargetResolver::CheckChapter(const CVtsTitle* pTitle, int nTitle, int nChapter)
{
    if (nChapter == 0)
        return Fail("Reference to invalid chapter. Was it deleted?");
    if (!pTitle)
        return Fail("Title is not defined.");
    if (uint32_t(nChapter) > pTitle->GetChapterCount())
    {
        CString text;
        text.Format("Reference to Chapter %d while there are only %d Chapter(s) available in Title %d.", nChapter,
                    int(pTitle->GetChapterCount()), nTitle);
        return Fail(text);
    }
    return pTitle->GetChapterReference(uint32_t(nChapter - 1));
}

CDvdReference CTargetResolver::CheckTitle(int nTitle)
{
    if (nTitle == 0)
        return Fail("Reference to invalid title. Was it deleted?");
    if (!m_place.pVts)
        return Fail("VTS is not defined.");
    const CVtsTitles& titles = m_place.pVts->GetTitles();
    if (uint32_t(nTitle) > titles.GetTitleCount())
        return Fail(Formatted("Reference to Title %d while there are only %d Title(s) available in the VTS.", nTitle,
                              int(titles.GetTitleCount())));
    return CDvdReference(titles.GetTitle(uint32_t(nTitle - 1)), 0, 0);
}

CDvdReference CTargetResolver::CheckLine(CPgcCommands* pTable, int nLine)
{
    if (nLine == 0)
        return Fail("Reference to invalid command line. Was it deleted?");
    if (!pTable)
        return Fail("Commands group not defined.");
    if (uint32_t(nLine) > pTable->GetCount())
        return Fail(Formatted("Reference to line %d while there are only %d command(s) available in this group.", nLine,
                              int(pTable->GetCount())));
    return pTable->GetReference(uint32_t(nLine - 1));
}

// Every language unit must have the menu; the units are checked from the
// last, so the error names the first unit in order that lacks it.
CDvdReference CTargetResolver::CheckMenu(const CLanguageUnits& units, BYTE nType)
{
    if (units.GetUnitCount() == 0)
        return Fail("No Language Units defined");
    CString strError;
    for (uint32_t i = units.GetUnitCount(); i-- > 0;)
    {
        const CLanguageUnit& unit = *units.GetUnit(i);
        if (!unit.FindMenu(nType))
            strError.Format("There is no %s menu in \"%s\" Language Unit", GetMenuTypeName(nType),
                            (LPCSTR)LanguageName(unit));
    }
    if (!strError.IsEmpty())
        return Fail(strError);
    return PgcStart(units.GetUnit(0)->FindMenu(nType));
}

CDvdReference CTargetResolver::LinkTarget(CPgc* pPgc, uint8_t nField, const char* pszNotSet)
{
    CString strError;
    const CDvdReference target = pPgc->GetLinkTarget(nField, strError);
    if (target.pNode)
        return target;
    // A link that names a wrong PGC says so; one that names none is not set.
    return Fail(strError.IsEmpty() ? CString(pszNotSet) : strError);
}

CDvdReference CTargetResolver::LinkSubInstruction(BYTE nCode)
{
    if (m_place.nDomain & DVDDOMAIN_FIRST_PLAY)
        return Fail("Command is not allowed in First Play domain.");
    if (m_place.bButton)
    {
        if (m_place.cells.GetSize() == 0)
            return Fail("Cell is not defined.");
    }
    else
    {
        if (!m_place.pGroup || m_place.pGroup->GetGroup() != PGC_GROUP_CELL)
            return Fail("Command can be used only in cell commands group (button commands also belong to this group).");
        if (m_place.cells.GetSize() == 0)
            return Fail("Cell command is not assigned to any PGC cell.");
    }
    CPgcCell* pBase = m_place.cells[0];
    CPgc* pPgc = pBase->GetPgc();
    if (!pPgc)
        return Fail("Reference to invalid PGC cell.");
    const int nCell = pPgc->GetChildIndex(pBase);
    const int nCells = int(pPgc->GetCellCount());
    if (nCell < 0)
        return Fail("Reference to invalid PGC cell.");

    switch (nCode)
    {
    case NAV_LINK_NO_LINK: return CDvdReference();
    case NAV_LINK_TOP_CELL: return CellReference(pBase);
    case NAV_LINK_NEXT_CELL:
        if (nCell + 1 >= nCells)
            return LinkTarget(pPgc, PGCFIELD_NEXT, "NextPGC is not set");
        return CellReference(pPgc->GetCell(uint32_t(nCell + 1)));
    case NAV_LINK_PREV_CELL:
        if (nCell == 0)
            return LinkTarget(pPgc, PGCFIELD_PREV, "PrevPGC is not set");
        return CellReference(pPgc->GetCell(uint32_t(nCell - 1)));
    case NAV_LINK_TOP_PROGRAM:
    case NAV_LINK_NEXT_PROGRAM:
    case NAV_LINK_PREV_PROGRAM:
    {
        int nProgram = pPgc->FindProgramOfCell(uint32_t(nCell));
        if (nProgram < 0)
            return Fail("Reference to invalid program.");
        if (nCode == NAV_LINK_NEXT_PROGRAM)
        {
            if (++nProgram >= pPgc->GetProgramCount())
                return LinkTarget(pPgc, PGCFIELD_NEXT, "NextPGC is not set");
        }
        else if (nCode == NAV_LINK_PREV_PROGRAM)
        {
            if (--nProgram < 0)
                return LinkTarget(pPgc, PGCFIELD_PREV, "PrevPGC is not set");
        }
        const uint32_t nStart = pPgc->GetProgramStart(nProgram);
        if (nStart >= pPgc->GetCellCount())
            return Fail("Reference to invalid PGC cell.");
        return CellReference(pPgc->GetCell(nStart));
    }
    case NAV_LINK_TOP_PGC:
    case NAV_LINK_TAIL_PGC: return PgcStart(pPgc);
    case NAV_LINK_NEXT_PGC: return LinkTarget(pPgc, PGCFIELD_NEXT, "NextPGC is not set");
    case NAV_LINK_PREV_PGC: return LinkTarget(pPgc, PGCFIELD_PREV, "PrevPGC is not set");
    default: return LinkTarget(pPgc, PGCFIELD_GOUP, "GoUpPGC is not set");
    }
}

CDvdReference CTargetResolver::LinkChapter(int nChapter)
{
    CPgcTable* pTable = m_place.pPgc ? m_place.pPgc->GetTable() : nullptr;
    if (!m_place.pVts || !pTable || pTable->GetTableDomainCode() != DVDDOMAIN_TITLE)
        return Fail("Command can only be used in VTS PGC.");
    const int nPgc = pTable->GetChildIndex(m_place.pPgc);
    const CVtsTitles& titles = m_place.pVts->GetTitles();
    // Every title that plays this PGC must have the chapter; the target is
    // the chapter of the first of them.
    CDvdReference target;
    CString strFailure;
    for (uint32_t t = titles.GetTitleCount(); t-- > 0;)
    {
        const CVtsTitle* pTitle = titles.GetTitle(t);
        bool bNamesPgc = false;
        for (uint32_t c = 0; c < pTitle->GetChapterCount() && !bNamesPgc; ++c)
            bNamesPgc = pTitle->GetChapter(c)->m_wPgc == nPgc;
        if (!bNamesPgc)
            continue;
        target = CheckChapter(pTitle, int(t + 1), nChapter);
        if (!target.pNode)
            strFailure = m_strError;
    }
    if (!strFailure.IsEmpty())
        return Fail(strFailure);
    return target;
}

CDvdReference CTargetResolver::LinkCell(int nCell)
{
    if (nCell == 0)
        return Fail("Reference to invalid cell. Was it deleted?");
    if (!m_place.pPgc)
        return Fail("PGC is not defined.");
    const int nEntry = m_place.pPgc->FindCellOfIfoCell(uint32_t(nCell - 1));
    if (nEntry < 0)
        return Fail(Formatted("Reference to block %d while there are only %d block(s) available.", 0,
                              int(m_place.pPgc->GetCellCount())));
    return CellReference(m_place.pPgc->GetCell(uint32_t(nEntry)));
}

CDvdReference CTargetResolver::JumpVtsMenu(int nTitleSet, BYTE nType)
{
    CVts* pVts = m_place.pVts;
    if (nTitleSet == 0)
    {
        if (!pVts)
            return Fail("Can't \"Jump to same VTS\" from VMG.");
    }
    else
    {
        const int nCount = m_place.pDvd ? int(m_place.pDvd->GetVtsCount()) : 0;
        if (nTitleSet > nCount)
            return Fail(Formatted("Reference to VTS %d while there are only %d Video Title Sets available.", nTitleSet,
                                  nCount));
        pVts = m_place.pDvd->GetVts(unsigned(nTitleSet - 1));
    }
    if (!pVts)
        return Fail("VTS is not defined.");
    if (nType < 3 || nType > 7)
        return Fail("Unknown menu category");
    return CheckMenu(pVts->GetLanguageUnits(), nType);
}

CDvdReference CTargetResolver::VmgPgc(int nPgc)
{
    if (nPgc == 0)
        return Fail("Reference to invalid VMG PGC. Was it deleted?");
    if (!m_place.pDvd || m_place.pDvd->GetVmg().GetLanguageUnits().GetUnitCount() == 0)
        return Fail("No Language Units defined");
    const CLanguageUnits& units = m_place.pDvd->GetVmg().GetLanguageUnits();
    CString strError;
    for (uint32_t i = units.GetUnitCount(); i-- > 0;)
    {
        const CLanguageUnit& unit = *units.GetUnit(i);
        if (uint32_t(nPgc) > unit.GetPgcCount())
            strError.Format("Reference to VMG PGC %d while there are only %d Program Chains available in the VMG "
                            "\"%s\" LU.",
                            nPgc, int(unit.GetPgcCount()), (LPCSTR)LanguageName(unit));
    }
    if (!strError.IsEmpty())
        return Fail(strError);
    return PgcStart(units.GetUnit(0)->GetPgc(uint32_t(nPgc - 1)));
}

CDvdReference CTargetResolver::Line(int nLine)
{
    if (!m_place.bButton)
        return CheckLine(m_place.pGroup, nLine);
    if (m_place.cells.GetSize() == 0)
        return Fail("Button not used in any PGC.");
    CDvdReference target;
    for (int32_t i = 0; i < m_place.cells.GetSize(); ++i)
    {
        CPgc* pPgc = m_place.cells[i]->GetPgc();
        target = CheckLine(pPgc ? &pPgc->m_cellCommands : nullptr, nLine);
        if (!target.pNode)
            return target;
    }
    return target;
}
} // namespace

CDvdReference ResolveCommandTarget(const BYTE* pCommand, const CDvdReference& command, CString& strError)
{
    strError.Empty();
    CCommandPlace place;
    CDvdObject* pNode = command.pNode;
    if (!pNode)
        return CDvdReference();
    place.nDomain = pNode->GetDomainCode();
    place.pDvd = pNode->GetDvd();
    place.pVts = static_cast<CVts*>(FindAncestor(pNode, DVDNODE_VTS));

    if (pNode->GetKind() == DVDNODE_PGC_COMMANDS)
    {
        place.pGroup = static_cast<CPgcCommands*>(pNode);
        CDvdObject* pParent = pNode->GetParent();
        if (pParent && pParent->GetKind() == DVDNODE_PGC)
        {
            place.pPgc = static_cast<CPgc*>(pParent);
            if (place.pGroup->GetGroup() == PGC_GROUP_CELL)
                place.pPgc->GetCellsWithCommand(command.nIndex, place.cells);
        }
    }
    else
    {
        // A button command runs in the PGC that plays the button's block.
        place.bButton = true;
        CollectCellsPlaying(static_cast<CAngleBlock*>(FindAncestor(pNode, DVDNODE_ANGLE_BLOCK)), place.cells);
        if (place.cells.GetSize() > 0)
        {
            place.pPgc = place.cells[0]->GetPgc();
            if (place.pPgc)
                place.pGroup = &place.pPgc->m_cellCommands;
        }
    }

    bool bDecoded = false;
    const CNavCommand decoded = CNavCommand::FromBytes(place.nDomain, pCommand, &bDecoded);
    const CNavInstruction& in = decoded.GetInstruction();
    if (!bDecoded || (in.GetCode() != NAV_NO_INSTRUCTION && !in.IsAllowed(place.nDomain)) ||
        (decoded.GetType() == NAV_TYPE_SYSTEM_SET && !decoded.GetSystemSet().IsAllowed(place.nDomain)))
    {
        strError = "Invalid command format or command is not allowed in this domain";
        return CDvdReference();
    }
    CTargetResolver resolver(place, decoded, strError);
    return resolver.Resolve();
}
