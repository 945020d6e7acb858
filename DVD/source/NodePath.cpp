#include "DVD/source/NodePath.h"

#include "Shared/source/DvdFormat.h"

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
    uint8_t nField; // kAnyField matches every field of the kind
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
