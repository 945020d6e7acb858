// Command targets and the command-UI protocol.
//
// A command target answers commands and update requests from its message
// map; windows, documents, the application and the frame route them on to one
// another by overriding OnCmdMsg. A CCmdUI stands for one menu item, button
// or pane while its owner asks the targets whether it is enabled, checked or
// what it reads.
#pragma once

#include "framework/core/AfxTypes.h"
#include "framework/core/CObject.h"
#include "framework/win/AfxMsg.h"

class CCmdTarget;
class CMenu;
class CWnd;

// Filled by OnCmdMsg instead of calling the handler: who would handle it.
struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    const AFX_MSGMAP_ENTRY* pEntry;
};

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // nCode: CN_COMMAND, CN_UPDATE_COMMAND_UI, a control notification code,
    // or MAKELONG(code, message) for WM_NOTIFY and reflected messages.
    // pExtra: CCmdUI* for updates, AFX_NOTIFY* for notifications.
    // Returns whether a handler took it (or, with pHandlerInfo, exists).
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The hour-glass for long operations on the GUI thread; nests.
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

class CCmdUI
{
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;           // menu item or bar button index
    CMenu* m_pMenu = nullptr;    // the menu when the item is a menu item
    CMenu* m_pSubMenu = nullptr; // the item's popup when it opens one
    CMenu* m_pParentMenu = nullptr;
    CWnd* m_pOther = nullptr; // the window (control or bar) otherwise
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;
    UINT m_nIndexMax = 0;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1); // 0 clear, 1 checked, 2 indeterminate
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);

    // Lets the next target in the route answer as well.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks the target to update this item. Returns whether an update handler
    // ran; when none did and bDisableIfNoHandler is set, the item is enabled
    // exactly when some target has a command handler for it.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);
};
