#include "framework/win/Document.h"

#include "framework/win/DocTemplate.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/MessageBox.h"
#include "framework/win/View.h"
#include "framework/win/WinThread.h"

#include <commdlg.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
ON_COMMAND(ID_FILE_SAVE, OnFileSave)
ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::~CDocument()
{
    // Views point back here: they must have gone first (OnCloseDocument).
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle)
{
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU)
{
    char szFull[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameA(lpszPathName, sizeof(szFull), szFull, nullptr);
    m_strPathName = (n > 0 && n < sizeof(szFull)) ? szFull : lpszPathName;
    // The title is the file's name without its folder.
    int nSlash = std::max(m_strPathName.ReverseFind('\\'), m_strPathName.ReverseFind('/'));
    SetTitle(m_strPathName.Mid(nSlash + 1));
    if (bAddToMRU && AfxGetApp())
        AfxGetApp()->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* pView)
{
    m_viewList.AddTail(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    POSITION pos = m_viewList.Find(pView);
    if (!pos)
        return;
    m_viewList.RemoveAt(pos);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
    // The last view gone closes an auto-deleting document.
    if (m_viewList.IsEmpty() && m_bAutoDelete)
    {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    POSITION pos = GetFirstViewPosition();
    while (pos)
    {
        CView* pView = GetNextView(pos);
        if (pView != pSender)
            pView->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::UpdateFrameCounts()
{
    // Count the distinct frames of the views.
    CPtrList frames;
    POSITION pos = GetFirstViewPosition();
    while (pos)
    {
        CView* pView = GetNextView(pos);
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame && pView->IsWindowVisible() && !frames.Find(pFrame))
            frames.AddTail(pFrame);
    }
    int nFrames = static_cast<int>(frames.GetCount());
    int nNext = 1;
    pos = frames.GetHeadPosition();
    while (pos)
    {
        CFrameWnd* pFrame = static_cast<CFrameWnd*>(frames.GetNext(pos));
        pFrame->m_nWindow = nFrames > 1 ? nNext++ : -1;
        pFrame->OnUpdateFrameTitle(TRUE);
    }
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

CFile* CDocument::GetFile(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    CFile* pFile = new CFile;
    if (!pFile->Open(lpszFileName, nOpenFlags, pError))
    {
        delete pFile;
        return nullptr;
    }
    return pFile;
}

void CDocument::ReleaseFile(CFile* pFile, BOOL bAbort)
{
    if (bAbort)
        pFile->Abort();
    else
        pFile->Close();
    delete pFile;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName)
{
    CFileException fe;
    CFile* pFile = GetFile(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe);
    if (!pFile)
    {
        ReportSaveLoadException(lpszPathName, &fe, FALSE, 0);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag(TRUE); // dirty while half loaded
    try
    {
        CArchive loadArchive(pFile, CArchive::load | CArchive::bNoFlushOnDelete);
        loadArchive.m_pDocument = this;
        BeginWaitCursor();
        Serialize(loadArchive);
        loadArchive.Close();
        EndWaitCursor();
        ReleaseFile(pFile, FALSE);
    }
    catch (CException* e)
    {
        EndWaitCursor();
        ReleaseFile(pFile, TRUE);
        DeleteContents();
        ReportSaveLoadException(lpszPathName, e, FALSE, 0);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName)
{
    // The document goes to a file beside the target first, which replaces
    // the target only when complete: a failed save never costs the last
    // good copy.
    CString tempName = CString(lpszPathName) + ".saving~";
    CFileException fe;
    CFile* pFile = GetFile(tempName, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, &fe);
    if (!pFile)
    {
        fe.m_strFileName = lpszPathName;
        ReportSaveLoadException(lpszPathName, &fe, TRUE, 0);
        return FALSE;
    }
    try
    {
        CArchive saveArchive(pFile, CArchive::store | CArchive::bNoFlushOnDelete);
        saveArchive.m_pDocument = this;
        BeginWaitCursor();
        Serialize(saveArchive);
        saveArchive.Close();
        EndWaitCursor();
        ReleaseFile(pFile, FALSE);
    }
    catch (CException* e)
    {
        EndWaitCursor();
        ReleaseFile(pFile, TRUE);
        ::DeleteFileA(tempName);
        ReportSaveLoadException(lpszPathName, e, TRUE, 0);
        e->Delete();
        return FALSE;
    }
    if (!::MoveFileExA(tempName, lpszPathName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        LONG lError = static_cast<LONG>(::GetLastError());
        CFileException moveError(CFileException::OsErrorToException(lError), lError, lpszPathName);
        ::DeleteFileA(tempName);
        ReportSaveLoadException(lpszPathName, &moveError, TRUE, 0);
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault)
{
    if (e && e->IsKindOf(RUNTIME_CLASS(CUserException)))
        return; // the user was told already
    char szMessage[512] = "";
    if (!e || !e->GetErrorMessage(szMessage, sizeof(szMessage)) || !szMessage[0])
    {
        CString text;
        text.Format(bSaving ? "Failed to save document %s." : "Failed to open document %s.",
                    lpszPathName ? lpszPathName : "");
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        return;
    }
    AfxMessageBox(szMessage, MB_ICONEXCLAMATION);
}

void CDocument::OnCloseDocument()
{
    // Destroying the last view would close the document again.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.IsEmpty())
    {
        CView* pView = static_cast<CView*>(m_viewList.GetHead());
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame)
        {
            PreCloseFrame(pFrame);
            pFrame->DestroyWindow();
        }
        else
        {
            pView->DestroyWindow();
        }
        // A view that survived its frame would hold the loop forever.
        if (!m_viewList.IsEmpty() && m_viewList.GetHead() == pView)
            RemoveView(pView);
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    if (name.IsEmpty())
        name = "Untitled";
    CString prompt;
    prompt.Format("Save changes to %s?", static_cast<LPCSTR>(name));
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONQUESTION))
    {
    case IDCANCEL: return FALSE;
    case IDYES: return DoFileSave();
    default: return TRUE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrameArg)
{
    // Another frame still shows the document: closing this one loses nothing.
    POSITION pos = GetFirstViewPosition();
    while (pos)
    {
        CView* pView = GetNextView(pos);
        CFrameWnd* pFrame = pView->GetParentFrame();
        if (pFrame && pFrame != pFrameArg)
            return TRUE;
    }
    return SaveModified();
}

BOOL CDocument::DoFileSave()
{
    DWORD dwAttrib = m_strPathName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(m_strPathName);
    if (m_strPathName.IsEmpty() || (dwAttrib != INVALID_FILE_ATTRIBUTES && (dwAttrib & FILE_ATTRIBUTE_READONLY)))
        return DoSave(nullptr);
    return DoSave(m_strPathName);
}

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace)
{
    CString newName = lpszPathName ? lpszPathName : "";
    if (newName.IsEmpty())
    {
        newName = m_strPathName;
        if (newName.IsEmpty())
        {
            newName = m_strTitle;
            // Offer the title with the template's extension.
            CString ext;
            if (m_pDocTemplate && m_pDocTemplate->GetDocString(ext, CDocTemplate::filterExt) && !ext.IsEmpty() &&
                newName.Find('.') < 0)
            {
                int nSemi = ext.Find(';');
                newName += nSemi >= 0 ? ext.Left(nSemi) : ext;
            }
        }
        if (!AfxGetApp() ||
            !AfxGetApp()->DoPromptFileName(newName, 0, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, m_pDocTemplate))
            return FALSE;
    }
    if (!OnSaveDocument(newName))
        return FALSE;
    if (bReplace)
        SetPathName(newName);
    return TRUE;
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave()
{
    DoFileSave();
}

void CDocument::OnFileSaveAs()
{
    DoSave(nullptr);
}
