// The popup-menu family's registered messages. They are registered while the
// program's static objects are built, after the theme and the command
// manager, so every window can use them from its first message on.
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

#define KX_POPUP_MENU_MESSAGE(name)                                                                                    \
    const UINT CExtPopupMenuWnd::name = ::RegisterWindowMessageA("CExtPopupMenuWnd::" #name)

KX_POPUP_MENU_MESSAGE(g_nMsgPrepareMenu);
KX_POPUP_MENU_MESSAGE(g_nMsgPrepareOneMenuLevel);
KX_POPUP_MENU_MESSAGE(g_nMsgPrepareDesktopBk);
KX_POPUP_MENU_MESSAGE(g_nMsgPopupNext);
KX_POPUP_MENU_MESSAGE(g_nMsgPopupPrev);
KX_POPUP_MENU_MESSAGE(g_nMsgNotifyMenuExpanded);
KX_POPUP_MENU_MESSAGE(g_nMsgNotifyMenuClosed);
KX_POPUP_MENU_MESSAGE(g_nMsgPopupDrawItem);
KX_POPUP_MENU_MESSAGE(g_nMsgPopupDrawLeftArea);
KX_POPUP_MENU_MESSAGE(g_nMsgPopupDrawBackground);
KX_POPUP_MENU_MESSAGE(g_nMsgCreateInplaceEdit);
