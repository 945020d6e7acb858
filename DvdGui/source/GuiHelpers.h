// Small helpers that many windows of the editor share: the folder choice,
// the main window around long operations and the drop-down lists whose
// items carry a value (pointer-sized, so a list may carry a disc), and the
// entries of context menus.
#pragma once

#include "DvdGui/core/EditMenus.h"
#include "DvdGui/core/GuiText.h"
#include "framework/win/AfxWin.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

// The font a self-drawn window takes for SetFont (null): its parent's; null
// when the parent has none.
CFont* GetParentFont(CWnd& wnd);
// The font of the captions over pictures: the window's font two points
// smaller; false (and caption left as it was) when the font has no handle.
bool MakeCaptionFont(CFont& font, CFont& caption);

#include <functional>

// The chosen folder, or an empty text when the user cancelled.
void SelectFolder(CString& strResult, LPCTSTR lpszTitle, LPCTSTR lpszStartFolder);

// Minimises the main window and answers its placement as it was.
WINDOWPLACEMENT MinimizeMainWindow();
void RestoreMainWindow(const WINDOWPLACEMENT& placement);

// The selected item's value; -1 when nothing is selected.
DWORD_PTR GetComboSelectedData(const CComboBox& combo);
// Selects the first item with the value; without one selects the first item
// and answers false.
bool SelectComboByData(CComboBox& combo, DWORD_PTR dwData);

// Context menus are filled entry by entry, so that each window decides the
// enabled states itself rather than through update handlers.
void AddPopupMenuSeparator(CExtPopupMenuWnd& menu);
// A command entry without an icon; lpszAccelText may be null. An own item
// keeps its texts and state instead of following the command profile.
void AddPopupMenuItem(CExtPopupMenuWnd& menu, UINT nCmdID, LPCTSTR lpszText, LPCTSTR lpszAccelText, bool bEnabled,
                      bool bOwnItem = false);

// Registers the window class of the editor's list panes once, with the arrow
// cursor and no background brush; the name goes into the class's own static
// string, which stays empty when the registration fails (reported in a
// message box).
void RegisterPaneClass(CString& strClassName);

// A context menu of the entries at a client point of the window, which
// receives the chosen command. The menu tracks on its own from here on.
void TrackContextMenu(CWnd& wnd, const std::vector<CMenuEntry>& entries, CPoint point);

// Runs one edit command of a window. An exception is logged with
// pszWhere (its guard has sent the end notice); the window takes the focus
// when the edit ran.
void RunEditCommand(CWnd& wnd, const std::function<bool()>& edit, const char* pszWhere, const CString& location);
