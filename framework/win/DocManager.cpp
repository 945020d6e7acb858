#include "framework/win/DocManager.h"

#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"
#include "framework/win/FileDialog.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/MessageBox.h"
#include "framework/win/View.h"
#include "framework/win/WinThread.h"

IMPLEMENT_DYNAMIC(CDocManager, CObject)

CDocManager::~CDocManager()
{
    while (!m_templateList.IsEmpty())
        delete static_cast<CDocTemplate*>(m_templateList.RemoveHead());
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (!pTemplate || m_templateList.Find(pTemplate))
        return;
    pTemplate->LoadTemplate();
    m_templateList.AddTail(pTemplate);
}

int CDocManager::GetOpenDocumentCount()
{
    int nCount = 0;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos)
    {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        POSITION docPos = pTemplate->GetFirstDocPosition();
        while (docPos)
        {
            pTemplate->GetNextDoc(docPos);
            ++nCount;
        }
    }
    return nCount;
}

CDocument* CDocManager::OpenDocumentFile(LPCTSTR lpszFileName)
{
    if (!lpszFileName || !*lpszFileName)
        return nullptr;
    // The template that likes the file best; an open document wins outright.
    CDocTemplate* pBestTemplate = nullptr;
    CDocument* pOpenDocument = nullptr;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos)
    {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        CDocument* pOpen = nullptr;
        CDocTemplate::Confidence match = pTemplate->MatchDocType(lpszFileName, pOpen);
        if (match > bestMatch)
        {
            bestMatch = match;
            pBestTemplate = pTemplate;
            pOpenDocument = pOpen;
        }
        if (match == CDocTemplate::yesAlreadyOpen)
            break;
    }

    if (pOpenDocument)
    {
        // Bring the document's window forward instead of opening it twice.
        POSITION viewPos = pOpenDocument->GetFirstViewPosition();
        if (viewPos)
        {
            CView* pView = pOpenDocument->GetNextView(viewPos);
            CFrameWnd* pFrame = pView->GetParentFrame();
            if (pFrame)
            {
                pFrame->ActivateFrame();
                CFrameWnd* pAppFrame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
                if (pAppFrame && pAppFrame != pFrame)
                    pAppFrame->ActivateFrame();
            }
        }
        return pOpenDocument;
    }
    if (!pBestTemplate)
    {
        AfxMessageBox("Failed to open document.", MB_ICONEXCLAMATION);
        return nullptr;
    }
    return pBestTemplate->OpenDocumentFile(lpszFileName);
}

BOOL CDocManager::SaveAllModified()
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos)
    {
        if (!GetNextDocTemplate(pos)->SaveAllModified())
            return FALSE;
    }
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession)
{
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos)
        GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

namespace
{
// Adds "Name (*.ext)|*.ext" of one template to a filter list.
void AppendFilterSuffix(CString& filter, OPENFILENAMEA& ofn, CDocTemplate* pTemplate, CString* pstrDefaultExt)
{
    CString filterExt, filterName;
    if (!pTemplate->GetDocString(filterExt, CDocTemplate::filterExt) || filterExt.IsEmpty() ||
        !pTemplate->GetDocString(filterName, CDocTemplate::filterName) || filterName.IsEmpty())
        return;
    if (pstrDefaultExt)
    {
        // The default extension is the first one, without its dot.
        int nSemi = filterExt.Find(';');
        CString first = nSemi < 0 ? filterExt : filterExt.Left(nSemi);
        *pstrDefaultExt = first.GetAt(0) == '.' ? first.Mid(1) : first;
        ofn.nFilterIndex = ofn.nMaxCustFilter + 1;
    }
    filter += filterName;
    filter += '|';
    int nStart = 0;
    bool bFirst = true;
    for (;;)
    {
        int nSemi = filterExt.Find(';', nStart);
        CString one = nSemi < 0 ? filterExt.Mid(nStart) : filterExt.Mid(nStart, nSemi - nStart);
        if (!one.IsEmpty())
        {
            if (!bFirst)
                filter += ';';
            filter += '*';
            filter += one;
            bFirst = false;
        }
        if (nSemi < 0)
            break;
        nStart = nSemi + 1;
    }
    filter += '|';
    ++ofn.nMaxCustFilter;
}
} // namespace

BOOL CDocManager::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                                   CDocTemplate* pTemplate)
{
    CString filter;
    CString defaultExt;
    OPENFILENAMEA counter = {}; // counts the filters as they are added
    if (pTemplate)
    {
        AppendFilterSuffix(filter, counter, pTemplate, &defaultExt);
    }
    else
    {
        POSITION pos = GetFirstDocTemplatePosition();
        bool bFirst = true;
        while (pos)
        {
            AppendFilterSuffix(filter, counter, GetNextDocTemplate(pos), bFirst ? &defaultExt : nullptr);
            bFirst = false;
        }
    }
    filter += "All Files (*.*)|*.*||";

    CFileDialog dlg(bOpenFileDialog, defaultExt.IsEmpty() ? nullptr : static_cast<LPCSTR>(defaultExt), fileName,
                    lFlags | OFN_EXPLORER, filter, AfxGetMainWnd());
    CString title;
    if (nIDSTitle && title.LoadString(nIDSTitle))
        dlg.m_ofn.lpstrTitle = title;
    else
        dlg.m_ofn.lpstrTitle = bOpenFileDialog ? "Open" : "Save As";
    if (dlg.DoModal() != IDOK)
        return FALSE;
    fileName = dlg.GetPathName();
    return TRUE;
}

void CDocManager::OnFileNew()
{
    if (m_templateList.IsEmpty())
    {
        AfxMessageBox("No document types are registered.", MB_ICONEXCLAMATION);
        return;
    }
    // With several templates a real program asks which; the first serves.
    CDocTemplate* pTemplate = static_cast<CDocTemplate*>(m_templateList.GetHead());
    pTemplate->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen()
{
    CString newName;
    if (!DoPromptFileName(newName, 0, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr))
        return;
    if (AfxGetApp())
        AfxGetApp()->OpenDocumentFile(newName);
}

void CDocManager::RegisterShellFileTypes(BOOL bCompat)
{
    char szModule[MAX_PATH * 2];
    DWORD n = ::GetModuleFileNameA(nullptr, szModule, sizeof(szModule));
    if (n == 0 || n >= sizeof(szModule))
        return;
    CString openCommand;
    openCommand.Format("\"%s\" \"%%1\"", szModule);

    // Per user, so no administrator rights are needed.
    POSITION pos = GetFirstDocTemplatePosition();
    while (pos)
    {
        CDocTemplate* pTemplate = GetNextDocTemplate(pos);
        CString typeId, typeName, ext;
        if (!pTemplate->GetDocString(typeId, CDocTemplate::regFileTypeId) || typeId.IsEmpty())
            continue;
        pTemplate->GetDocString(typeName, CDocTemplate::regFileTypeName);
        pTemplate->GetDocString(ext, CDocTemplate::filterExt);

        CString base = "Software\\Classes\\";
        auto setValue = [](const CString& key, LPCSTR value)
        {
            HKEY hKey = nullptr;
            if (::RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) !=
                ERROR_SUCCESS)
                return;
            ::RegSetValueExA(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                             static_cast<DWORD>(strlen(value) + 1));
            ::RegCloseKey(hKey);
        };
        setValue(base + typeId, typeName);
        setValue(base + typeId + "\\shell\\open\\command", openCommand);
        if (bCompat)
        {
            CString printCommand;
            printCommand.Format("\"%s\" /p \"%%1\"", szModule);
            setValue(base + typeId + "\\shell\\print\\command", printCommand);
        }
        int nSemi = ext.Find(';');
        if (nSemi >= 0)
            ext = ext.Left(nSemi);
        if (!ext.IsEmpty() && ext.GetAt(0) == '.')
            setValue(base + ext, typeId);
    }
}
