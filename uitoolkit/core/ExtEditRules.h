// The rules of the toolkit's edit controls that need no window: the edit
// commands of the context menu in their order, when each of them is
// enabled, and the caption a command gets in the menu when its command item
// has no text of its own.
#pragma once

#include "framework/core/CString.h"

class CExtEditRules
{
public:
    // The framework's command ids of the edit commands.
    enum e_cmd_id : UINT
    {
        CmdClear = 57632,
        CmdCopy = 57634,
        CmdCut = 57635,
        CmdPaste = 57637,
        CmdSelectAll = 57642,
        CmdUndo = 57643,
    };

    // One row of the context menu: a command with its built-in English
    // caption, or a separator (id 0, no caption).
    struct MenuRow
    {
        UINT nCmdID;
        LPCTSTR sCaption;
    };
    static constexpr int kMenuRowCount = 8;
    static const MenuRow g_menuRows[kMenuRowCount];

    // What the enabled states depend on, read from the control.
    struct EditState
    {
        bool bReadOnly = false;
        bool bCanUndo = false;
        int nSelStart = 0;
        int nSelEnd = 0;
        int nTextLength = 0;
        bool bClipboardText = false;
    };

    static bool IsEditCommand(UINT nCmdID);
    // False for ids that are no edit command.
    static bool IsCommandEnabled(UINT nCmdID, const EditState& state);
    // The menu caption from the command's string resource ("status prompt
    // \n short name"; empty when there is none): the short name when the
    // resource has a newline, else the whole text; the fallback when that
    // leaves nothing.
    static CString MenuCaption(const CString& sResource, LPCTSTR sFallback);
};
