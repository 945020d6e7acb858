#include "framework/win/DocTemplate.h"

#include "framework/win/Document.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/MessageBox.h"
#include "framework/win/View.h"
#include "framework/win/WinThread.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate()
{
    if (m_strDocStrings.IsEmpty())
        m_strDocStrings.LoadString(m_nIDResource);
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    pDoc->m_pDocTemplate = nullptr;
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
    rString.Empty();
    int nStart = 0;
    for (int i = 0; i < index; ++i)
    {
        int nNext = m_strDocStrings.Find('\n', nStart);
        if (nNext < 0)
            return FALSE;
        nStart = nNext + 1;
    }
    int nEnd = m_strDocStrings.Find('\n', nStart);
    rString = nEnd < 0 ? m_strDocStrings.Mid(nStart) : m_strDocStrings.Mid(nStart, nEnd - nStart);
    return TRUE;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass)
        return nullptr;
    CObject* pObject = m_pDocClass->CreateObject();
    CDocument* pDocument = dynamic_cast<CDocument*>(pObject);
    if (!pDocument)
    {
        delete pObject;
        return nullptr;
    }
    AddDocument(pDocument);
    return pDocument;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;

    CObject* pObject = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(pObject);
    if (!pFrame)
    {
        delete pObject;
        return nullptr;
    }
    // A frame that fails to load has deleted itself (PostNcDestroy).
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified()
{
    POSITION pos = GetFirstDocPosition();
    while (pos)
    {
        CDocument* pDoc = GetNextDoc(pos);
        if (!pDoc->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    POSITION pos = GetFirstDocPosition();
    while (pos)
    {
        // Closing removes the document from the list: step first.
        CDocument* pDoc = GetNextDoc(pos);
        pDoc->OnCloseDocument();
    }
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    char szFull[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameA(lpszPathName, sizeof(szFull), szFull, nullptr);
    CString full = (n > 0 && n < sizeof(szFull)) ? szFull : lpszPathName;
    POSITION pos = GetFirstDocPosition();
    while (pos)
    {
        CDocument* pDoc = GetNextDoc(pos);
        if (pDoc->GetPathName().CompareNoCase(full) == 0)
        {
            rpDocMatch = pDoc;
            return yesAlreadyOpen;
        }
    }
    CString ext;
    if (GetDocString(ext, filterExt) && !ext.IsEmpty())
    {
        // The extension may list several, separated by ';'.
        CString name(lpszPathName);
        int nDot = name.ReverseFind('.');
        if (nDot >= 0)
        {
            CString fileExt = name.Mid(nDot);
            int nStart = 0;
            while (nStart <= ext.GetLength())
            {
                int nSemi = ext.Find(';', nStart);
                CString one = nSemi < 0 ? ext.Mid(nStart) : ext.Mid(nStart, nSemi - nStart);
                if (!one.IsEmpty() && one.CompareNoCase(fileExt) == 0)
                    return yesAttemptNative;
                if (nSemi < 0)
                    break;
                nStart = nSemi + 1;
            }
        }
    }
    return yesAttemptForeign;
}

// ---- CMultiDocTemplate -----------------------------------------------------

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                     CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    // Documents still open outlive no template: detach them.
    POSITION pos = m_docList.GetHeadPosition();
    while (pos)
        static_cast<CDocument*>(m_docList.GetNext(pos))->m_pDocTemplate = nullptr;
    if (m_hMenuShared)
        ::DestroyMenu(m_hMenuShared);
}

void CMultiDocTemplate::LoadTemplate()
{
    CDocTemplate::LoadTemplate();
    HINSTANCE hInst = AfxGetResourceHandle();
    if (!m_hMenuShared)
        m_hMenuShared = ::LoadMenuA(hInst, MAKEINTRESOURCEA(m_nIDResource));
    if (!m_hAccelTable)
        m_hAccelTable = ::LoadAcceleratorsA(hInst, MAKEINTRESOURCEA(m_nIDResource));
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_docList.AddTail(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc)
{
    CDocTemplate::RemoveDocument(pDoc);
    POSITION pos = m_docList.Find(pDoc);
    if (pos)
        m_docList.RemoveAt(pos);
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString base;
    if (!GetDocString(base, docName) || base.IsEmpty())
        base = "Untitled";
    CString title;
    title.Format("%s%u", static_cast<LPCSTR>(base), m_nUntitledCount + 1);
    pDocument->SetTitle(title);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDocument = CreateNewDocument();
    if (!pDocument)
    {
        AfxMessageBox("Failed to create empty document.", MB_ICONEXCLAMATION);
        return nullptr;
    }
    // The frame must not close the document while it is being set up.
    BOOL bAutoDelete = pDocument->m_bAutoDelete;
    pDocument->m_bAutoDelete = FALSE;
    CFrameWnd* pFrame = CreateNewFrame(pDocument, nullptr);
    pDocument->m_bAutoDelete = bAutoDelete;
    if (!pFrame)
    {
        AfxMessageBox("Failed to create the document's window.", MB_ICONEXCLAMATION);
        delete pDocument;
        return nullptr;
    }

    if (!lpszPathName)
    {
        SetDefaultTitle(pDocument);
        if (!pDocument->OnNewDocument())
        {
            pFrame->DestroyWindow();
            return nullptr;
        }
        ++m_nUntitledCount;
    }
    else
    {
        BeginWaitCursor();
        BOOL bOpened = pDocument->OnOpenDocument(lpszPathName);
        EndWaitCursor();
        if (!bOpened)
        {
            // Destroying the frame destroys the view and, the last view
            // gone, the document.
            pFrame->DestroyWindow();
            return nullptr;
        }
        pDocument->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}
