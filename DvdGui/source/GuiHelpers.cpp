#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/core/AppLog.h"

#include "controls/core/FontRecord.h"
#include "controls/custom/SelectFolderDialog.h"

#include <exception>

CFont* GetParentFont(CWnd& wnd)
{
    CWnd* pParent = wnd.GetParent();
    HFONT hFont = pParent != nullptr ? reinterpret_cast<HFONT>(pParent->SendMessage(WM_GETFONT)) : nullptr;
    return hFont != nullptr ? CFont::FromHandle(hFont) : nullptr;
}

bool MakeCaptionFont(CFont& font, CFont& caption)
{
    LOGFONTA lf;
    if (!font.GetLogFont(&lf))
        return false;
    lf.lfHeight = GrowFontHeight(lf.lfHeight, -2);
    caption.DeleteObject();
    caption.CreateFontIndirect(&lf);
    return true;
}

void SelectFolder(CString& strResult, LPCTSTR lpszTitle, LPCTSTR lpszStartFolder)
{
    CSelectFolderDialog dlg(TRUE, lpszStartFolder, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr, AfxGetMainWnd());
    dlg.SetTitle(lpszTitle);
    if (dlg.DoModal() == IDOK)
        strResult = dlg.GetFolderPath();
    else
        strResult.Empty();
}

WINDOWPLACEMENT MinimizeMainWindow()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    CWnd* pMain = AfxGetMainWnd();
    if (!pMain || !pMain->m_hWnd)
        return placement;
    ::GetWindowPlacement(pMain->m_hWnd, &placement);
    WINDOWPLACEMENT minimized = placement;
    minimized.showCmd = SW_SHOWMINIMIZED;
    ::SetWindowPlacement(pMain->m_hWnd, &minimized);
    return placement;
}

void RestoreMainWindow(const WINDOWPLACEMENT& placement)
{
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain->m_hWnd && placement.length == sizeof(placement))
        ::SetWindowPlacement(pMain->m_hWnd, &placement);
}

DWORD_PTR GetComboSelectedData(const CComboBox& combo)
{
    const int nSelected = combo.GetCurSel();
    return nSelected < 0 ? DWORD_PTR(-1) : combo.GetItemData(nSelected);
}

bool SelectComboByData(CComboBox& combo, DWORD_PTR dwData)
{
    const int nCount = combo.GetCount();
    for (int i = 0; i < nCount; ++i)
    {
        if (combo.GetItemData(i) == dwData)
        {
            combo.SetCurSel(i);
            return true;
        }
    }
    combo.SetCurSel(0);
    return false;
}

void AddPopupMenuSeparator(CExtPopupMenuWnd& menu)
{
    CExtPopupMenuWnd::MENUITEMDATA separator;
    separator.m_hWndSpecCmdReceiver = menu.GetCmdTargetWnd();
    separator.MeasureItem();
    menu.ItemInsertRecord(separator);
}

void AddPopupMenuItem(CExtPopupMenuWnd& menu, UINT nCmdID, LPCTSTR lpszText, LPCTSTR lpszAccelText, bool bEnabled,
                      bool bOwnItem)
{
    using MENUITEMDATA = CExtPopupMenuWnd::MENUITEMDATA;
    MENUITEMDATA mi;
    mi.m_hWndSpecCmdReceiver = menu.GetCmdTargetWnd();
    mi.SetCmdID(nCmdID);
    mi.SetText(lpszText);
    mi.SetAccelText(lpszAccelText);
    mi.SetExtraBit(MENUITEMDATA::EXTRA_OWN_ITEM, bOwnItem);
    mi.UpdateMnemonic();
    mi.MeasureItem();
    menu.ItemInsertRecord(mi);
    // an id of 0 is a separator, which has no enabled state of its own
    MENUITEMDATA& added = menu.GetItemAt(menu.ItemGetCount() - 1);
    if (added.GetCmdID() != CExtPopupMenuWnd::CMD_SEPARATOR)
        added.SetExtraBit(MENUITEMDATA::EXTRA_ENABLED, bEnabled);
}

void RegisterPaneClass(CString& strClassName)
{
    if (!strClassName.IsEmpty())
        return;
    try
    {
        // the framework's name lives in a buffer its next registration
        // overwrites
        strClassName = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW));
    }
    catch (CException* e)
    {
        AfxMessageBox("Couldn't register class! (Already registered?)");
        e->Delete();
    }
}

void TrackContextMenu(CWnd& wnd, const std::vector<CMenuEntry>& entries, CPoint point)
{
    CExtPopupMenuWnd* pMenu = new CExtPopupMenuWnd;
    pMenu->CreatePopupMenu(wnd.m_hWnd);
    // own items: the window's handlers would otherwise enable every entry
    for (const CMenuEntry& entry : entries)
    {
        if (entry.nId == 0)
            AddPopupMenuSeparator(*pMenu);
        else
            AddPopupMenuItem(*pMenu, entry.nId, entry.pszText, entry.pszAccel, entry.bEnabled, true);
    }
    wnd.ClientToScreen(&point);
    // the tracker owns the menu from here on, whatever the outcome
    pMenu->TrackPopupMenu(0, point.x, point.y);
}

void RunEditCommand(CWnd& wnd, const std::function<bool()>& edit, const char* pszWhere, const CString& location)
{
    bool bRan = false;
    try
    {
        bRan = edit();
    }
    catch (const std::exception&)
    {
        bRan = true;
        LogError(pszWhere, location);
    }
    if (bRan && wnd.m_hWnd != nullptr)
        wnd.SetFocus();
}
