#include "DvdGui/source/DvdDoc.h"

#include "DVD/source/VobData.h"
#include "DvdGui/core/ArchiveStream.h"
#include "DvdGui/source/DvdGuiApp.h"
#include "DvdGui/source/DvdProgressWnd.h"
#include "DvdGui/source/MainFrm.h"
#include "DvdGui/source/Resource.h"
#include "framework/win/MessageBox.h"
#include "framework/win/View.h"

int g_nRevisionLimit = REVISION_LIMIT_DEFAULT;

std::function<void(CDvdDoc*)> CDvdDoc::s_refreshHistory;

void CDvdDocObserver::OnChange(const CDvdChange& change)
{
    m_pDoc->OnDvdNotify(change);
}

IMPLEMENT_DYNCREATE(CDvdDoc, CDocument)

BEGIN_MESSAGE_MAP(CDvdDoc, CDocument)
ON_COMMAND(ID_EDIT_UNDO, OnUndo)
ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateUndo)
ON_COMMAND(ID_EDIT_REDO, OnRedo)
ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, OnUpdateRedo)
ON_COMMAND(ID_EXPORT_DVD, OnExportDvd)
ON_UPDATE_COMMAND_UI(ID_UPDATE_EXPORT, OnUpdateUpdateExport)
ON_UPDATE_COMMAND_UI(ID_EXPORT_TEST_DVD, OnUpdateExportTestDvd)
ON_UPDATE_COMMAND_UI(ID_EXPORT_MODIFIED, OnUpdateExportModified)
ON_UPDATE_COMMAND_UI(ID_EXPORT_ALL, OnUpdateExportAll)
END_MESSAGE_MAP()

CDvdDoc::CDvdDoc() : m_pObserver(new CDvdDocObserver(this)), m_revisions(m_pObserver.get())
{
}

CDvdDoc::~CDvdDoc() = default;

BOOL CDvdDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    m_revisions.Reset("created");
    PurgeUnusedVobData();
    return TRUE;
}

void CDvdDoc::DeleteContents()
{
    m_revisions.Reset("new");
    PurgeUnusedVobData();
    m_strExportFolder.Empty();
}

void CDvdDoc::OnChangedViewList()
{
    RefreshHistory();
    CDocument::OnChangedViewList();
}

void CDvdDoc::ForEachView(const std::function<void(CDvdViewNotices&)>& notice)
{
    POSITION pos = GetFirstViewPosition();
    while (pos)
    {
        if (auto* pView = dynamic_cast<CDvdViewNotices*>(GetNextView(pos)))
            notice(*pView);
    }
}

void CDvdDoc::RefreshHistory()
{
    if (s_refreshHistory)
        s_refreshHistory(this);
}

void CDvdDoc::EndWait()
{
    if (m_hSavedCursor)
    {
        ::SetCursor(m_hSavedCursor);
        m_hSavedCursor = nullptr;
    }
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->EnableWindow(TRUE);
}

void CDvdDoc::OnDvdNotify(const CDvdChange& change)
{
    // Whatever throws between the notices must not leave the program
    // disabled behind a wait cursor.
    try
    {
        if (change.nKind == DVDCHANGE_ACTION)
        {
            if (CWnd* pMain = AfxGetMainWnd())
                pMain->EnableWindow(FALSE);
            HCURSOR hPrevious = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
            if (!m_hSavedCursor)
                m_hSavedCursor = hPrevious;
            const int nDropped = m_revisions.BeginAction(change, g_nRevisionLimit);
            const int nCurrent = m_revisions.GetCurrentIndex();
            ForEachView([&](CDvdViewNotices& view) { view.OnRevisionAdded(nCurrent, nDropped); });
            RefreshHistory();
        }
        else if (change.nKind == DVDCHANGE_NODE_CHANGED)
        {
            SetModifiedFlag(TRUE);
            ForEachView([&](CDvdViewNotices& view) { view.OnNodeChanged(change.pNode); });
            RefreshHistory();
            EndWait();
        }
    }
    catch (...)
    {
        EndWait();
        throw;
    }
}

void CDvdDoc::RevisionChanged()
{
    ForEachView([](CDvdViewNotices& view) { view.OnRevisionChanged(); });
    RefreshHistory();
}

void CDvdDoc::SetCurrentRevision(int nIndex)
{
    m_revisions.SetCurrentIndex(nIndex);
    RevisionChanged();
}

void CDvdDoc::OnUndo()
{
    if (m_revisions.Undo())
        RevisionChanged();
}

void CDvdDoc::OnUpdateUndo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_revisions.CanUndo());
}

void CDvdDoc::OnRedo()
{
    if (m_revisions.Redo())
        RevisionChanged();
}

void CDvdDoc::OnUpdateRedo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_revisions.CanRedo());
}

void CDvdDoc::Serialize(CArchive& ar)
{
    PausePreviewPlayer();
    CLogCtrl& log = GetLogPane();
    CDvdProgressWnd progress;
    bool bOk;
    if (ar.IsStoring())
    {
        log.AppendText("\r\nSaving project...\r\n", RGB(0, 0, 0), true);
        progress.Create("Saving project ... ", true, false, false, AfxGetMainWnd());
        {
            CArchiveWriter writer(ar);
            bOk = GetCurrentDvd().Store(log, writer, &progress);
        }
        log.Finish();
        if (bOk)
            static_cast<CMainFrame*>(AfxGetMainWnd())->InvalidateProjectTabs();
    }
    else
    {
        log.AppendText("\r\nReading project...\r\n", RGB(0, 0, 0), true);
        progress.Create("Reading project ... ", true, true, true, AfxGetMainWnd());
        CArchiveReader reader(ar);
        bOk = GetCurrentDvd().Load(log, reader, &progress);
        log.Finish();
    }
    progress.DestroyWindow();
    if (!bOk)
        AfxThrowArchiveException(CArchiveException::genericException);
}

void CDvdDoc::ReportSaveLoadException(LPCTSTR, CException*, BOOL bSaving, UINT)
{
    AfxMessageBox(bSaving ? "Error saving project" : "Error loading project", MB_ICONEXCLAMATION);
}
