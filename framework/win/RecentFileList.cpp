#include "framework/win/RecentFileList.h"

#include "framework/win/Menu.h"
#include "framework/win/WinThread.h"

#include <cstring>

namespace
{
// The profile entry of index i: the format's "%d" replaced by i + 1.
CString EntryName(const CString& format, int i)
{
    CString number;
    number.Format("%d", i + 1);
    CString entry = format;
    entry.Replace("%d", number);
    return entry;
}
} // namespace

CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize, int nMaxDispLen)
    : m_nSize(nSize < 1 ? 1 : (nSize > 16 ? 16 : nSize)), m_arrNames(new CString[m_nSize]),
      m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat), m_nStart(nStart),
      m_nMaxDisplayLength(nMaxDispLen)
{
}

CRecentFileList::~CRecentFileList()
{
    delete[] m_arrNames;
}

void CRecentFileList::Add(LPCTSTR lpszPathName)
{
    CString path(lpszPathName);
    if (path.IsEmpty())
        return;
    int iMRU = 0;
    for (; iMRU < m_nSize - 1; ++iMRU)
    {
        if (m_arrNames[iMRU].CompareNoCase(path) == 0)
            break;
    }
    // Entries before the old place (or the end) move down one.
    for (; iMRU > 0; --iMRU)
        m_arrNames[iMRU] = m_arrNames[iMRU - 1];
    m_arrNames[0] = path;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_nSize)
        return;
    for (int i = nIndex; i < m_nSize - 1; ++i)
        m_arrNames[i] = m_arrNames[i + 1];
    m_arrNames[m_nSize - 1].Empty();
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                     BOOL bAtLeastName) const
{
    if (nIndex < 0 || nIndex >= m_nSize || m_arrNames[nIndex].IsEmpty())
        return FALSE;
    const CString& path = m_arrNames[nIndex];
    // Within the current folder the name alone says enough.
    if (lpszCurDir && nCurDir > 0 && path.GetLength() > nCurDir &&
        path.Left(nCurDir).CompareNoCase(CString(lpszCurDir, nCurDir)) == 0 && path.Mid(nCurDir).Find('\\') < 0 &&
        path.Mid(nCurDir).Find('/') < 0)
    {
        strName = path.Mid(nCurDir);
        return TRUE;
    }
    if (m_nMaxDisplayLength <= 0 || path.GetLength() <= m_nMaxDisplayLength)
    {
        strName = path;
        return TRUE;
    }
    // Too long: "C:\...\folder\name.ext", dropping folders after the root
    // until it fits; the name itself is always kept when bAtLeastName.
    int nSlash = path.ReverseFind('\\');
    CString name = path.Mid(nSlash + 1);
    if (bAtLeastName && name.GetLength() >= m_nMaxDisplayLength)
    {
        strName = name;
        return TRUE;
    }
    int nRootEnd = path.Find('\\');
    CString root = nRootEnd >= 0 ? path.Left(nRootEnd + 1) : CString();
    CString rest = path.Mid(root.GetLength());
    while (root.GetLength() + 4 + rest.GetLength() > m_nMaxDisplayLength)
    {
        int nNext = rest.Find('\\');
        if (nNext < 0)
            break;
        rest = rest.Mid(nNext + 1);
    }
    strName = root + "...\\" + rest;
    return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI)
{
    CMenu* pMenu = pCmdUI->m_pMenu;
    if (!pMenu)
        return;
    HMENU hMenu = pMenu->GetSafeHmenu();
    if (m_strOriginal.IsEmpty())
    {
        char szText[256] = "";
        ::GetMenuStringA(hMenu, pCmdUI->m_nIndex, szText, sizeof(szText), MF_BYPOSITION);
        m_strOriginal = szText;
    }
    if (m_arrNames[0].IsEmpty())
    {
        // No files yet: the placeholder item, greyed.
        if (!m_strOriginal.IsEmpty())
            pCmdUI->SetText(m_strOriginal);
        pCmdUI->Enable(FALSE);
        return;
    }
    // Remove the entries of the last update, then insert the current ones.
    for (int i = 0; i < m_nSize; ++i)
        ::DeleteMenu(hMenu, pCmdUI->m_nID + i, MF_BYCOMMAND);

    char szCurDir[MAX_PATH + 1];
    DWORD nCurDir = ::GetCurrentDirectoryA(MAX_PATH, szCurDir);
    if (nCurDir == 0 || nCurDir >= MAX_PATH)
        nCurDir = 0;
    else if (szCurDir[nCurDir - 1] != '\\')
        szCurDir[nCurDir++] = '\\';
    szCurDir[nCurDir] = '\0';

    int iMRU = 0;
    for (; iMRU < m_nSize; ++iMRU)
    {
        CString name;
        if (!GetDisplayName(name, iMRU, szCurDir, static_cast<int>(nCurDir)))
            break;
        // A '&' in a path would underline the next letter.
        name.Replace("&", "&&");
        CString item;
        item.Format("&%d %s", (iMRU + 1) % 10, static_cast<LPCSTR>(name));
        ::InsertMenuA(hMenu, pCmdUI->m_nIndex++, MF_STRING | MF_BYPOSITION, pCmdUI->m_nID++, item);
    }
    // The update loop goes on after the items just added.
    pCmdUI->m_nIndex--;
    pCmdUI->m_nIndexMax = static_cast<UINT>(::GetMenuItemCount(hMenu));
    pCmdUI->m_bEnableChanged = TRUE;
}

void CRecentFileList::ReadList()
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return;
    for (int i = 0; i < m_nSize; ++i)
    {
        CString entry = EntryName(m_strEntryFormat, i);
        m_arrNames[i] = pApp->GetProfileString(m_strSectionName, entry);
    }
}

void CRecentFileList::WriteList()
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return;
    for (int i = 0; i < m_nSize; ++i)
    {
        CString entry = EntryName(m_strEntryFormat, i);
        // Empty entries are written empty so stale ones do not come back.
        pApp->WriteProfileString(m_strSectionName, entry,
                                 m_arrNames[i].IsEmpty() ? nullptr : static_cast<LPCSTR>(m_arrNames[i]));
    }
}
