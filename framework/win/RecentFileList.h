// The recent-file list: up to 16 paths, newest first, kept in a profile
// section and shown as the ID_FILE_MRU_FILE1... items of the File menu.
#pragma once

#include "framework/core/CString.h"

class CCmdUI;

class CRecentFileList
{
public:
    // lpszEntryFormat holds one %d (1-based index), e.g. "File%d".
    CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize, int nMaxDispLen = 32);
    virtual ~CRecentFileList();
    CRecentFileList(const CRecentFileList&) = delete;
    CRecentFileList& operator=(const CRecentFileList&) = delete;

    int GetSize() const { return m_nSize; }
    CString& operator[](int nIndex) { return m_arrNames[nIndex]; }

    // Puts the path first, dropping an older entry of the same file.
    virtual void Add(LPCTSTR lpszPathName);
    virtual void Remove(int nIndex);
    // The entry as the menu shows it: relative to lpszCurDir when it lies
    // there, shortened to the display length keeping the file name.
    virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                                BOOL bAtLeastName = TRUE) const;
    // Replaces the menu item of pCmdUI (the first entry) by one item per
    // entry, each prefixed "&1 ", "&2 "...
    virtual void UpdateMenu(CCmdUI* pCmdUI);
    virtual void ReadList();
    virtual void WriteList();

    int m_nSize;
    CString* m_arrNames;
    CString m_strSectionName;
    CString m_strEntryFormat;
    UINT m_nStart;
    int m_nMaxDisplayLength;
    CString m_strOriginal; // the menu text the list replaced, shown while empty
};
