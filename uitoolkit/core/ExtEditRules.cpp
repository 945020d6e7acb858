#include "uitoolkit/core/ExtEditRules.h"

#include "uitoolkit/core/ExtCmdRules.h"

const CExtEditRules::MenuRow CExtEditRules::g_menuRows[kMenuRowCount] = {
    {CmdUndo, "&Undo"},   {0, nullptr},         {CmdCut, "Cu&t"}, {CmdCopy, "&Copy"},
    {CmdPaste, "&Paste"}, {CmdClear, "Cl&ear"}, {0, nullptr},     {CmdSelectAll, "Select &All"},
};

bool CExtEditRules::IsEditCommand(UINT nCmdID)
{
    for (const MenuRow& row : g_menuRows)
        if (row.nCmdID != 0 && row.nCmdID == nCmdID)
            return true;
    return false;
}

bool CExtEditRules::IsCommandEnabled(UINT nCmdID, const EditState& state)
{
    const bool bSelection = state.nSelStart != state.nSelEnd;
    switch (nCmdID)
    {
    case CmdUndo: return state.bCanUndo && !state.bReadOnly;
    case CmdCut:
    case CmdClear: return bSelection && !state.bReadOnly;
    case CmdCopy: return bSelection;
    case CmdPaste: return state.bClipboardText && !state.bReadOnly;
    case CmdSelectAll:
    {
        const bool bAllSelected = state.nSelStart == 0 && state.nSelEnd >= state.nTextLength;
        return state.nTextLength > 0 && !bAllSelected;
    }
    default: return false;
    }
}

CString CExtEditRules::MenuCaption(const CString& sResource, LPCTSTR sFallback)
{
    CString sStatus, sShort;
    CExtCmdRules::SplitTipText(sResource, sStatus, sShort);
    CString sCaption = sResource.Find('\n') >= 0 ? sShort : sStatus;
    if (sCaption.IsEmpty())
        sCaption = sFallback;
    return sCaption;
}
