#include "DvdGui/core/EditMenus.h"
#include "DVD/source/AngleBlock.h"
#include "DVD/source/DvdDomain.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "DvdGui/core/BlockEdits.h"

#include <cstring>

namespace
{

const CMenuEntry kSeparator = {0, nullptr, nullptr, false};

bool SameText(const char* a, const char* b)
{
    return a == b || (a != nullptr && b != nullptr && std::strcmp(a, b) == 0);
}

} // namespace

bool CMenuEntry::operator==(const CMenuEntry& other) const
{
    return nId == other.nId && SameText(pszText, other.pszText) && SameText(pszAccel, other.pszAccel) &&
           bEnabled == other.bEnabled;
}

// ---- The block strip ----------------------------------------------------------

CBlockMenuFacts GetBlockMenuFacts(const std::vector<CAngleBlock*>& selected, int nTiles, int nFirstSelected)
{
    CBlockMenuFacts facts;
    facts.nTiles = nTiles;
    facts.nFirstSelected = nFirstSelected;
    facts.nSelected = int(selected.size());
    for (const CAngleBlock* pBlock : selected)
    {
        facts.bRestorable = facts.bRestorable || pBlock->CanRestore();
        // The menu offers the conversion for a block of one unit; the command
        // itself converts only blocks that are not interleaved.
        if (pBlock->GetIlvuCount() == 1 && !pBlock->GetIlvu(0)->HasStillSource())
            facts.bConvertible = true;
    }
    facts.bEditable = !selected.empty() && selected[0]->CanEdit();
    return facts;
}

std::vector<CMenuEntry> BlockStripMenu(const CBlockMenuFacts& facts)
{
    const bool bOne = facts.nSelected == 1;
    const bool bEdit = facts.bEditable;
    return {
        {ID_BLOCK_HIDE, "&Hide block", "Ctrl+H", bEdit},
        {ID_BLOCK_HIDE_BEFORE, "Hide blocks &before this", "Ctrl+Shift+<", facts.nFirstSelected > 0 && bOne && bEdit},
        {ID_BLOCK_HIDE_AFTER, "Hide blocks &after this", "Ctrl+Shift+>",
         facts.nFirstSelected + 1 < facts.nTiles && bOne && bEdit},
        kSeparator,
        {ID_BLOCK_RESTORE, "Rest&ore block", "Ctrl+Shift+Z", facts.bRestorable && bEdit},
        kSeparator,
        {ID_BLOCK_CONVERT_TO_STILL, "Convert to s&till", nullptr, facts.bConvertible && bEdit},
        kSeparator,
        {ID_BLOCKLIST_SELECT_ALL, "Select &All", "Ctrl+A", true},
    };
}

// ---- The simple strip -----------------------------------------------------------

std::vector<CMenuEntry> SimpleStripMenu(bool bRestorable)
{
    return {
        {ID_BLOCK_HIDE, "&Hide block", "Ctrl+H", true},
        {ID_BLOCK_HIDE_BEFORE, "Hide blocks &before this", "Ctrl+Shift+<", true},
        {ID_BLOCK_HIDE_AFTER, "Hide blocks &after this", "Ctrl+Shift+>", true},
        kSeparator,
        {ID_BLOCK_RESTORE, "Rest&ore block", "Ctrl+Shift+Z", bRestorable},
    };
}

// ---- The cell preview -------------------------------------------------------------

CCellMenuFacts GetCellMenuFacts(const CVobCell& unit, uint32_t nVobu, bool bFrameValid)
{
    CCellMenuFacts facts;
    const CAngleBlock* pBlock = BlockOfUnit(&unit);
    facts.bBlock = pBlock != nullptr;
    facts.bEditable = unit.CanEdit();
    facts.bMulti = pBlock == nullptr || pBlock->GetIlvuCount() > 1;
    facts.bTitleDomain = (unit.GetDomain() & DVDDOMAIN_TITLE) != 0;
    facts.bCanSplitAt = unit.CanSplitAt(nVobu);
    facts.bCanCutFrom = unit.CanCutFrom(nVobu);
    facts.bCanCutTo = unit.CanCutTo(nVobu);
    facts.bRestorable = pBlock != nullptr && pBlock->CanRestore();
    facts.bFrameValid = bFrameValid;
    facts.bStock = unit.IsStock();
    facts.bStill = unit.HasStillSource();
    return facts;
}

std::vector<CMenuEntry> CellPreviewMenu(const CCellMenuFacts& f)
{
    const bool bCut = !f.bMulti && f.bEditable;
    // "Cut to here" asks whether a split is possible at the VOBU and "Split
    // here" whether a cut to it is: each operation's own condition.
    return {
        {ID_PREVIEW_HIDE_BLOCK, "&Hide block", nullptr, f.bBlock && f.bEditable},
        kSeparator,
        {ID_PREVIEW_CUT_TO, "Cut &to here", nullptr, bCut && f.bCanSplitAt},
        {ID_PREVIEW_CUT_FROM, "Cut &from here", nullptr, bCut && f.bCanCutFrom},
        {ID_PREVIEW_SPLIT, "&Split here", nullptr, f.bTitleDomain && bCut && f.bCanCutTo},
        kSeparator,
        {ID_PREVIEW_RESTORE_BLOCK, "Rest&ore block", nullptr, f.bBlock && f.bRestorable && f.bEditable},
        {ID_PREVIEW_SHOW_ORIGINAL, "&Show original...", nullptr, f.bBlock && f.bRestorable},
        kSeparator,
        {ID_PREVIEW_CONVERT_TO_STILL, "Convert to &still", nullptr,
         f.bFrameValid && !f.bMulti && !f.bStock && !f.bStill && f.bEditable},
        kSeparator,
        {ID_PREVIEW_EXPORT_FRAME, "&Export frame...", nullptr, f.bFrameValid},
    };
}

bool BypassMenuQualifies(const CButtonSegment& segment, int nButton, int nGroup, uint8_t nDomain)
{
    const uint32_t nButtons = segment.GetButtonCount();
    if (nButton < 0 || uint32_t(nButton) >= nButtons || nGroup < 0 || nGroup >= BUTTON_MAX_GROUPS)
        return false;
    const BYTE* pCommand = segment.GetButton(uint32_t(nButton))->GetGroup(nGroup).command;
    CNavInstruction instruction = CNavCommand::FromBytes(nDomain, pCommand).GetInstruction();
    if (instruction.SetButton(WORD(nButton + 1)))
        return true;
    if (nButtons == 1)
        return true;
    const uint32_t nOther = nButton >= 1 ? uint32_t(nButton - 1) : 1;
    return std::memcmp(pCommand, segment.GetButton(nOther)->GetGroup(nGroup).command,
                       sizeof(CButtonGroupEntry::command)) != 0;
}

std::vector<CMenuEntry> ButtonMenu(bool bEditable, bool bBypass)
{
    return {
        {ID_PREVIEW_HIDE_BUTTON, "&Hide button", nullptr, bEditable},
        kSeparator,
        {ID_PREVIEW_BYPASS_MENU, "Bypass &menu (auto select button)", nullptr, bEditable && bBypass},
    };
}
