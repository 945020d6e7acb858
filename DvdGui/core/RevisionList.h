// The edit history of one project: a list of revisions, each a whole disc,
// and the index of the one the user sees and edits.
//
// An edit announces itself before it changes the tree; BeginAction then keeps
// a copy of the disc as it was, so that the live disc, which the edit goes on
// changing, stays the current revision and undo returns to the copy. Undo
// and redo only move the index. The list holds no window code: the document
// adds the cursor, the main window and the views around it.
#pragma once

#include "DVD/source/DVD.h"
#include "Shared/source/DvdArray.h"
#include "framework/core/CString.h"

// One state of the project.
class CDvdRevision
{
public:
    CDvd m_dvd;
    CString m_strDescription; // the action that produced the state
    CString m_strPath;        // the node the action was applied to
};

// The kept revisions before the live one when the option holds no usable
// value, and the most the options allow.
const int REVISION_LIMIT_DEFAULT = 10;
const int REVISION_LIMIT_MAX = 100;

class CRevisionList
{
public:
    // Every disc of the list gets the observer; the list starts with one
    // empty revision described "created".
    explicit CRevisionList(CDvdObserver* pObserver);
    CRevisionList(const CRevisionList&) = delete;
    CRevisionList& operator=(const CRevisionList&) = delete;

    // Drops every revision and starts again with one empty disc.
    void Reset(const char* pszDescription);

    int GetSize() const { return int(m_revisions.GetSize()); }
    CDvdRevision* operator[](int nIndex) const { return m_revisions.GetAt(uint32_t(nIndex)); }
    int GetCurrentIndex() const { return m_nCurrent; }
    CDvdRevision& GetCurrent() const { return *m_revisions[uint32_t(m_nCurrent)]; }
    CDvd& GetCurrentDvd() const { return GetCurrent().m_dvd; }

    // The revision that was current at the last successful export; -1 for
    // none.
    int GetExportedIndex() const { return m_nExported; }
    void SetExportedIndex(int nIndex) { m_nExported = nIndex < 0 ? -1 : nIndex; }

    // A stored limit outside what the options offer: below 0 reads as the
    // default (a negative count would cut more than the list holds), above
    // the maximum as the maximum.
    static int ClampLimit(int nLimit);

    // The begin notice of an edit: drops the redo tail, keeps at most nLimit
    // revisions before the live one, describes the live one by the change and
    // (with a limit above 0) inserts the copy of the state before it. Answers
    // how many revisions were dropped from the front.
    int BeginAction(const CDvdChange& change, int nLimit);

    bool CanUndo() const { return m_nCurrent > 0; }
    bool CanRedo() const { return m_nCurrent + 1 < GetSize(); }
    // Each answers whether the index moved.
    bool Undo();
    bool Redo();
    // The index clamped to the list.
    void SetCurrentIndex(int nIndex);

private:
    CDvdRevision* MakeRevision(const char* pszDescription, const char* pszPath) const;

    CDvdPtrArray<CDvdRevision> m_revisions;
    int m_nCurrent = 0;
    int m_nExported = -1;
    CDvdObserver* m_pObserver;
};
