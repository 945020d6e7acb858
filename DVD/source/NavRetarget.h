// Keeping the numbers in navigation commands right while the disc changes.
//
// Commands, PGC links and PGC categories name other parts of the disc by
// number: command lines, IFO cells, programs, PGCs, chapters, titles, title
// sets. When parts are inserted or deleted every number after them moves;
// a retarget operation (kind, start, delta, limit) says which numbers move
// and how. A negative delta means that the numbers start .. start - delta - 1
// were deleted; references to them become empty.
//
// Every operation on a raw command decodes it for any domain and, only when
// something changed, encodes it back into the same 8 bytes. A command that
// does not decode is never rewritten.
#pragma once

#include "DVD/source/DvdObject.h"
#include "DVD/source/NavCommand.h"

class CPgc;
class CPgcCommands;
class CPgcTable;

// No upper bound for a retarget operation.
const int RETARGET_NO_LIMIT = 65535;

// ---- Targets -----------------------------------------------------------------------

// What the command refers to: the start of a PGC (its pre-command table,
// group 1, line 0), a PGC that a link names (PGC, 0, 0), a cell entry
// (cell, 0, 0), a program (PGC, 1, index), a chapter (title, 1, index), a VTS
// title (title, 0, 0), a VMG title (title table, 1, index) or a command line
// (table, group, index). command is the reference of the command itself: its
// table and line for a PGC command, the button for a button command. Empty
// when the command has no target or on error, with the reason in strError.
CDvdReference ResolveCommandTarget(const BYTE* pCommand, const CDvdReference& command, CString& strError);

// ---- Raw commands ----------------------------------------------------------------

// The references of kind nKind (RETARGET_...) in [nStart, nLimit] move by
// nDelta; for RETARGET_TITLE_CHAPTER nLimit names the title whose chapters
// move. Answers whether the command changed.
bool RetargetCommand(BYTE* pCommand, int nKind, int nStart, int nDelta, int nLimit);
// Whether the command holds a number of kind nKind that a retarget of
// [nFirst, nLast] would move: what a block asks of its button commands
// before it decides that PGCs cannot share it.
bool CommandRefersTo(const BYTE* pCommand, int nKind, int nFirst, int nLast);
bool AdjustCommandForMerge(BYTE* pCommand, const CCommandOperation& operation);
// Whether the merge adjustment can be made on this command at all.
bool CanAdjustCommandForMerge(const BYTE* pCommand, const CCommandOperation& operation);
bool RemoveParentalLevelChange(BYTE* pCommand);

// The two lines a table that reads the current title number gets in front
// when discs are merged: r[b] = current title, then r[b] -= a.
void MakeTitleRegisterCommands(const CCommandOperation& operation, BYTE* pLoad, BYTE* pSubtract);

// ---- PGC links and categories --------------------------------------------------------

// A NextPGC, PrevPGC or GoUpPGC link: 0 and PGC_LINK_DELETED stay, as does a
// link outside [nStart, nLimit]; a link into a deleted range becomes
// PGC_LINK_DELETED. Answers whether it changed.
bool RetargetPgcLink(WORD& wLink, int nStart, int nDelta, int nLimit);
// The title number (low 7 bits) of a title PGC's category; the entry bit
// stays. A title that was deleted becomes 0.
bool RetargetTitleCategory(BYTE& nCategory, int nStart, int nDelta);

// ---- Command tables and PGCs -------------------------------------------------------

// Command nIndex of the table; the table is marked modified on a change.
bool RetargetTableCommand(CPgcCommands& table, uint32_t nIndex, int nKind, int nStart, int nDelta, int nLimit);
// Every command of the table; true when any changed.
bool RetargetTableCommands(CPgcCommands& table, int nKind, int nStart, int nDelta, int nLimit);
// Every command of the three tables, the links (kinds 4 and 5, by the PGC's
// domain) and the title category (kind 8, title PGCs).
bool RetargetPgcReferences(CPgc& pgc, int nKind, int nStart, int nDelta, int nLimit);
bool RetargetPgcTableReferences(CPgcTable& table, int nKind, int nStart, int nDelta, int nLimit);

// The merge adjustment of every command of the table. For
// COMMANDOP_TITLE_REGISTER a table that changed gets the two lines of
// MakeTitleRegisterCommands in front and its goto lines move by 2.
bool AdjustTableForMerge(CPgcCommands& table, const CCommandOperation& operation);
bool CanAdjustTableForMerge(const CPgcCommands& table, const CCommandOperation& operation);
// Whether the PGC's commands can take the merge adjustment: a cell command
// cannot read the title number through a register, pre- and post-commands
// only through a general one, and the PGC must still hold at most 128
// commands with the lines that get inserted.
bool CanAdjustPgcForMerge(const CPgc& pgc, const CCommandOperation& operation);
bool CanAdjustPgcTableForMerge(const CPgcTable& table, const CCommandOperation& operation);
// An operation over the commands of a PGC. COMMANDOP_BYPASS adds the
// commands that skip the hidden cells (see BypassHiddenCells) and answers
// false; the merge adjustments answer whether a command changed:
// COMMANDOP_TITLE_REGISTER changes the pre- and post-commands, the other
// operations all three tables.
bool RetargetPgcCommands(CPgc& pgc, const CCommandOperation& operation);
bool RetargetPgcTableCommands(CPgcTable& table, const CCommandOperation& operation);

// Before an export: playback skips the hidden cell entries (a blank first
// ILVU and no cell command). The visible entry before a run of hidden ones,
// and the hidden ones but the last, get a cell command that links to the
// next visible entry; trailing hidden entries link to the PGC's tail. A PGC
// with nothing visible runs its post-commands from its pre-commands instead.
void BypassHiddenCells(CPgc& pgc);

// Every command of the table; the table is marked modified when any changed.
bool RemoveParentalLevelChanges(CPgcCommands& table);
