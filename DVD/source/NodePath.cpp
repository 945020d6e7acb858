#include "DVD/source/NodePath.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVDTypes.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PGC.h"
#include "DVD/source/button.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/PlainString.h"

namespace
{
// A path made of the parent's path (when bAfterParent) and a text that may
// show the node's number.
struct NodePathRule
{
    uint8_t nKind;
    bool bAfterParent;
    const char* pszText; // printf format; %d is the node's number
};

const NodePathRule kNodePathRules[] = {
    {DVDNODE_DVD, false, "DVD"},
    {DVDNODE_VMG, false, "VMG"},
    {DVDNODE_VTS, false, "VTS %d"},
    {DVDNODE_LANGUAGE_UNITS, true, "/LUs"},
    {DVDNODE_PGC_TABLE, true, "/PGCs"},
    {DVDNODE_VTS_TITLES, true, "/Titles"},
    {DVDNODE_VTS_TITLE, true, "/Title %d"},
    {DVDNODE_BUTTON, true, "/BTN %d"},
    {DVDNODE_BUTTON_SEGMENT, true, "/BTN SEG %d"},
    {DVDNODE_PGC_BLOCK_LIST, true, "/blocks"},
    {DVDNODE_VMG_TITLES, true, "/Titles"},
    {DVDNODE_STREAM_SET, true, "/streams"},
};

// The text of a reference field, shown after the node's path.
struct FieldNameRule
{
    uint8_t nKind;
    uint8_t nField;      // kAnyField matches every field of the kind
    const char* pszText; // printf format; %d is the reference's index + 1
};

constexpr uint8_t kAnyField = 0xFF;

const FieldNameRule kFieldNameRules[] = {
    {DVDNODE_PGC, 1, ":prog %d"},
    {DVDNODE_PGC, 2, ":NextPgc"},
    {DVDNODE_PGC, 3, ":PrevPgc"},
    {DVDNODE_PGC, 4, ":GoUpPgc"},
    {DVDNODE_PGC, 5, ":CLUT color %d"},
    {DVDNODE_PGC, 6, ":playback mode"},
    {DVDNODE_PGC, 7, ":still time"},
    {DVDNODE_PGC, 8, ":audio %d"},
    {DVDNODE_PGC, 9, ":subs %d"},
    {DVDNODE_PGC, 10, ":category"},
    {DVDNODE_PGC, 11, ":PUOPs"},
    {DVDNODE_VTS_TITLE, 1, ":chapter %d"},
    {DVDNODE_VOB_CELL, kAnyField, ":vobu %d"},
    {DVDNODE_BUTTON_SEGMENT, 1, ":force select button"},
    {DVDNODE_BUTTON_SEGMENT, 2, ":force action button"},
    {DVDNODE_PGC_COMMANDS, 1, " %d"},
    {DVDNODE_PGC_COMMANDS, 2, " %d"},
    {DVDNODE_PGC_COMMANDS, 3, " %d"},
    {DVDNODE_VMG_TITLES, 1, ":VMG title %d"},
    {DVDNODE_PGC_CELL, 1, ":vobu %d"},
    {DVDNODE_PGC_CELL, 2, ":still time"},
};

// The node's number in paths: its index among the parent's children + 1.
int NodeNumber(const CDvdObject& node)
{
    const CDvdObject* pParent = node.GetParent();
    return (pParent != nullptr ? pParent->GetChildIndex(&node) : -1) + 1;
}

// Every text of the tables above holds at most one %d.
CString FormatRuleText(const char* pszText, int nNumber)
{
    return FormatString(pszText, nNumber);
}
// Blocks of the VMG's or a title set's menus are named apart from movie
// blocks.
bool IsInMenuDomain(const CDvdObject& node)
{
    const uint8_t nDomain = node.GetDomainCode() & static_cast<uint8_t>(~DVDDOMAIN_COMMAND_GROUP);
    return nDomain == DVDDOMAIN_VMG_MENU || nDomain == DVDDOMAIN_VTS_MENU;
}

CString LanguageUnitPath(const CLanguageUnit& unit)
{
    BYTE code[2];
    unit.GetLanguageBytes(code);
    const CPlainString text = GetLanguageCodeText(code[0], code[1]);
    CString strPath = GetPath(unit.GetParent()) + "/Menu ";
    if (text.GetText() != nullptr)
        strPath += text.GetText();
    return strPath;
}

CString CommandTablePath(const CPgcCommands& table)
{
    CString strPath = GetPath(table.GetParent());
    switch (table.GetGroup())
    {
    case PGC_GROUP_PRE: return strPath + "/pre cmd";
    case PGC_GROUP_POST: return strPath + "/post cmd";
    case PGC_GROUP_CELL: return strPath + "/cell cmd";
    default: return strPath;
    }
}

// A cell entry is named by the IFO cells it stands for: one per angle.
CString PgcCellPath(const CPgcCell& cell)
{
    CString strPath = GetPath(cell.GetParent()) + "/";
    const CDvdObject* pParent = cell.GetParent();
    if (pParent == nullptr || pParent->GetKind() != DVDNODE_PGC)
        return strPath;
    const CPgc& pgc = *static_cast<const CPgc*>(pParent);
    const int nEntry = pgc.GetChildIndex(&cell);
    if (nEntry < 0)
        return strPath;
    const uint32_t nFirst = pgc.GetFirstIfoCell(uint32_t(nEntry));
    const uint32_t nEnd = pgc.GetFirstIfoCell(uint32_t(nEntry) + 1);
    for (uint32_t nIfoCell = nFirst; nIfoCell < nEnd; ++nIfoCell)
        strPath += FormatString(nIfoCell == nFirst ? " c%u" : ",c%u", nIfoCell + 1);
    return strPath;
}

// An ILVU is named apart from its block only when the block has angles.
CString IlvuPath(const CVobCell& ilvu)
{
    const CDvdObject* pBlock = ilvu.GetParent();
    CString strPath = GetPath(pBlock);
    if (pBlock != nullptr && pBlock->GetKind() == DVDNODE_ANGLE_BLOCK &&
        static_cast<const CAngleBlock*>(pBlock)->GetIlvuCount() > 1)
        strPath += FormatString("/ILVU %d", NodeNumber(ilvu));
    return strPath;
}
} // namespace

CString GetPath(const CDvdObject* pNode)
{
    if (pNode == nullptr)
        return CString();
    const uint8_t nKind = pNode->GetKind();
    const CDvdObject* pParent = pNode->GetParent();

    if (nKind == DVDNODE_PGC)
    {
        // The first-play PGC hangs from the VMG itself; other PGCs are
        // numbered in their table.
        if (pParent != nullptr && pParent->GetKind() == DVDNODE_VMG)
            return CString("VMG/First Play");
        CString strPath;
        if (pParent != nullptr &&
            (pParent->GetKind() == DVDNODE_LANGUAGE_UNIT || pParent->GetKind() == DVDNODE_PGC_TABLE))
            strPath = GetPath(pParent);
        return strPath + FormatRuleText("/PGC %d", NodeNumber(*pNode));
    }

    switch (nKind)
    {
    case DVDNODE_LANGUAGE_UNIT: return LanguageUnitPath(*static_cast<const CLanguageUnit*>(pNode));
    case DVDNODE_ANGLE_BLOCK:
        return GetPath(pParent) +
               FormatRuleText(IsInMenuDomain(*pNode) ? "/menu block %d" : "/movie block %d", NodeNumber(*pNode));
    case DVDNODE_ANGLE_BLOCK_LIST:
        return GetPath(pParent) + (IsInMenuDomain(*pNode) ? "/menu blocks" : "/movie blocks");
    case DVDNODE_VOB_CELL: return IlvuPath(*static_cast<const CVobCell*>(pNode));
    case DVDNODE_PGC_COMMANDS: return CommandTablePath(*static_cast<const CPgcCommands*>(pNode));
    case DVDNODE_PGC_CELL: return PgcCellPath(*static_cast<const CPgcCell*>(pNode));
    default: break;
    }

    for (const NodePathRule& rule : kNodePathRules)
    {
        if (rule.nKind != nKind)
            continue;
        CString strPath;
        if (rule.bAfterParent)
            strPath = GetPath(pParent);
        return strPath + FormatRuleText(rule.pszText, NodeNumber(*pNode));
    }
    return CString();
}

CString GetReferenceFieldName(const CDvdReference& reference)
{
    if (reference.pNode == nullptr)
        return CString();
    CString strName = GetPath(reference.pNode);
    const uint8_t nKind = reference.pNode->GetKind();
    // A button's fields name its button group (the low 8 bits of the index)
    // and, for a link, the direction above them.
    if (nKind == DVDNODE_BUTTON)
    {
        const unsigned nGroup = (reference.nIndex & 0xFF) + 1;
        switch (reference.nField)
        {
        case BTNREF_COMMAND: return strName + FormatString(":GRP %u: CMD", nGroup);
        case BTNREF_COLOR_TABLE: return strName + FormatString(":GRP %u: color table id", nGroup);
        case BTNREF_LINK:
            return strName +
                   FormatString(":GRP %u: link %s", nGroup, GetDirectionName(static_cast<int>(reference.nIndex >> 8)));
        default: return strName;
        }
    }
    // The cell command a cell entry plays is named by its number in the
    // entry, not by the reference's index.
    if (nKind == DVDNODE_PGC_CELL && reference.nField == 3)
        return strName + FormatString(":cmd(%d)", static_cast<const CPgcCell*>(reference.pNode)->m_nCellCommand);
    for (const FieldNameRule& rule : kFieldNameRules)
    {
        if (rule.nKind == nKind && (rule.nField == kAnyField || rule.nField == reference.nField))
        {
            strName += FormatRuleText(rule.pszText, static_cast<int>(reference.nIndex + 1));
            break;
        }
    }
    return strName;
}
