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
