// The document of one open project: its edit history (CRevisionList) and
// the windows that follow it.
//
// Every disc of the history carries the document's observer; an edit's begin
// notice makes the revision copy and disables the main window with the wait
// cursor, its end notice marks the document modified, refreshes the views
// and gives the main window back. Undo and redo only move the current index.
#pragma once

#include "DvdGui/core/RevisionList.h"
#include "framework/win/AfxWin.h"
#include "framework/win/Document.h"

#include <functional>
#include <memory>

class CDvdDoc;

// What the document tells each of its views; the disc view implements it.
class CDvdViewNotices
{
public:
    // An edit began: the live disc is now revision nCurrent; nDropped
    // revisions fell off the front of the list.
    virtual void OnRevisionAdded(int nCurrent, int nDropped) = 0;
    // An edit changed the node of the current disc.
    virtual void OnNodeChanged(CDvdObject* pNode) = 0;
    // Undo, redo or the history pane chose another revision.
    virtual void OnRevisionChanged() = 0;

protected:
    ~CDvdViewNotices() = default;
};

// The number of revisions kept before the live one: the option "REV" as the
// options last applied it.
extern int g_nRevisionLimit;

// The system's free-space query, as the export finds it at run time; null
// when the system has none.
using DiskFreeSpaceFunction = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
DiskFreeSpaceFunction FindDiskFreeSpaceFunction();
// The lookup the export uses; tests replace it.
extern DiskFreeSpaceFunction (*g_pfnFindDiskFreeSpace)();

// The destination checks of an export, each failure with its message box:
// the folder exists, is no folder a source VOB set is read from, has its
// old IFO, BUP and VOB files removed (when bCheckOldFiles and the user
// agrees) and has room for nNeeded bytes.
bool CheckExportFolder(LPCTSTR lpszFolder, uint64_t nNeeded, bool bCheckOldFiles);
bool CheckDiskFreeSpace(LPCTSTR lpszFolder, uint64_t nNeeded);

class CDvdDocObserver : public CDvdObserver
{
public:
    explicit CDvdDocObserver(CDvdDoc* pDoc) : m_pDoc(pDoc) {}
    void OnChange(const CDvdChange& change) override;

private:
    CDvdDoc* m_pDoc;
};

class CDvdDoc : public CDocument
{
    DECLARE_DYNCREATE(CDvdDoc)
public:
    CDvdDoc();
    ~CDvdDoc() override;

    // Refills the history pane; the main frame sets it.
    static std::function<void(CDvdDoc*)> s_refreshHistory;

    BOOL IsModified() override { return CDocument::IsModified(); }
    void SetModifiedFlag(BOOL bModified = TRUE) override { CDocument::SetModifiedFlag(bModified); }
    void OnChangedViewList() override;
    void DeleteContents() override;
    BOOL OnNewDocument() override;

    void OnDvdNotify(const CDvdChange& change);

    CRevisionList& GetRevisions() { return m_revisions; }
    CDvd& GetCurrentDvd() { return m_revisions.GetCurrentDvd(); }
    void SetCurrentRevision(int nIndex);

    void Serialize(CArchive& ar) override;
    void ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault) override;

    // Writes the current revision into the folder; the progress window is
    // the export's sink.
    bool ExportDvd(LPCTSTR lpszFolder, class CDvdProgressWnd& progress);

    afx_msg void OnExportDvd();
    afx_msg void OnUpdateUpdateExport(CCmdUI* pCmdUI);
    afx_msg void OnUpdateExportTestDvd(CCmdUI* pCmdUI);
    afx_msg void OnUpdateExportModified(CCmdUI* pCmdUI);
    afx_msg void OnUpdateExportAll(CCmdUI* pCmdUI);

    afx_msg void OnUndo();
    afx_msg void OnUpdateUndo(CCmdUI* pCmdUI);
    afx_msg void OnRedo();
    afx_msg void OnUpdateRedo(CCmdUI* pCmdUI);

    CString m_strExportFolder;
    BYTE m_bExportedBypass = 0;

protected:
    DECLARE_MESSAGE_MAP()

private:
    void ForEachView(const std::function<void(CDvdViewNotices&)>& notice);
    void RefreshHistory();
    void RevisionChanged();
    // Ends the wait of an edit: the cursor back, the main window enabled.
    void EndWait();

    std::unique_ptr<CDvdDocObserver> m_pObserver;
    CRevisionList m_revisions;
    HCURSOR m_hSavedCursor = nullptr;
};
