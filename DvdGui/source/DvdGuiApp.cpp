#include "DvdGui/source/DvdGuiApp.h"

#include "DVD/source/StockCells.h"
#include "DVD/source/VobData.h"
#include "DvdGui/source/AboutDlg.h"
#include "DvdGui/source/ChildFrm.h"
#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/DvdProgressWnd.h"
#include "DvdGui/source/DvdView.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/MainFrm.h"
#include "DvdGui/source/MergeDlg.h"
#include "DvdGui/source/Options.h"
#include "DvdGui/source/OptionsSheet.h"
#include "DvdGui/source/Resource.h"
#include "Shared/platform/UiServices.h"
#include "VDS/source/Idct.h"
#include "VDS/source/PreviewPlayer.h"
#include "framework/win/CommandLineInfo.h"
#include "framework/win/FileDialog.h"
#include "framework/win/MessageBox.h"

#include <cstring>

namespace
{

const char kSettings[] = "Settings";
const char kLastImportFolder[] = "MF_ID";

// The engine's prompts as the editor's own dialogs, owned by the main
// window.
class CEditorUiServices : public kx::UiServices
{
public:
    kx::MessageResult ShowMessage(void*, const char* text, const char* caption, kx::MessageButtons buttons,
                                  kx::MessageIcon icon) override
    {
        static const UINT kButtons[] = {MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL};
        static const UINT kIcons[] = {0, MB_ICONINFORMATION, MB_ICONEXCLAMATION, MB_ICONERROR, MB_ICONQUESTION};
        const UINT nType = kButtons[int(buttons)] | kIcons[int(icon)];
        CWnd* pMain = AfxGetMainWnd();
        const int nResult = pMain && pMain->m_hWnd ? pMain->MessageBox(text, caption, nType)
                                                   : ::MessageBoxA(nullptr, text, caption, nType);
        switch (nResult)
        {
        case IDYES: return kx::MessageResult::Yes;
        case IDNO: return kx::MessageResult::No;
        case IDCANCEL: return kx::MessageResult::Cancel;
        default: return kx::MessageResult::Ok;
        }
    }
    bool PromptOpenFile(void*, const char* title, const char* filter, const std::string& initialPath,
                        std::string& chosen) override
    {
        CFileDialog dlg(TRUE, nullptr, initialPath.c_str(), OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, filter,
                        AfxGetMainWnd());
        dlg.m_ofn.lpstrTitle = title;
        if (dlg.DoModal() != IDOK)
            return false;
        chosen = static_cast<LPCSTR>(dlg.GetPathName());
        return true;
    }
    bool PromptFolder(void*, const char* title, const std::string& initialFolder, std::string& chosen) override
    {
        CString folder;
        SelectFolder(folder, title, initialFolder.c_str());
        chosen = static_cast<LPCSTR>(folder);
        return !chosen.empty();
    }
};

CEditorUiServices g_uiServices;

bool FolderExists(LPCTSTR lpszFolder)
{
    const DWORD dwAttributes = ::GetFileAttributesA(lpszFolder);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CDvdGuiApp, CWinApp)
ON_COMMAND(ID_IMPORT_DVD, OnImportDvd)
ON_COMMAND(ID_APP_OPTIONS, OnOptions)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_COMMAND(ID_MERGE_DVDS, OnMergeDvds)
ON_COMMAND(ID_RELEASE_UNUSED_ASSETS, OnReleaseUnusedAssets)
ON_UPDATE_COMMAND_UI(ID_RELEASE_UNUSED_ASSETS, OnUpdateReleaseUnusedAssets)
ON_COMMAND(ID_SKIP_BLANK_FRAMES, OnSkipBlankFrames)
ON_UPDATE_COMMAND_UI(ID_SKIP_BLANK_FRAMES, OnUpdateSkipBlankFrames)
ON_COMMAND(ID_LAYOUT_RESET, OnResetLayout)
ON_UPDATE_COMMAND_UI(ID_LAYOUT_RESET, OnUpdateResetLayout)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

CDvdGuiApp::CDvdGuiApp() : CWinApp(nullptr)
{
}

CDvdGuiApp::~CDvdGuiApp() = default;

CDvdGuiApp* GetDvdGuiApp()
{
    return static_cast<CDvdGuiApp*>(AfxGetApp());
}

BOOL CDvdGuiApp::InitInstance()
{
    Enable3dControlsStatic();
    SetRegistryKey("Brannwick");
    kx::SetUiServices(&g_uiServices);
    ResetBarProfiles();
    ResetContentPaneProfile();
    if (!g_pfnIdct)
        SelectFastestIdct();
    CPreviewPlayer::StartGlobal();
    m_strLastImportFolder = GetProfileString(kSettings, kLastImportFolder, "");
    CreateStockCells();
    LoadStdProfileSettings(4);
    LoadOptionFont();

    m_pDocTemplate = new CMultiDocTemplate(IDR_PROJECTTYPE, RUNTIME_CLASS(CDvdDoc), RUNTIME_CLASS(CChildFrame),
                                           RUNTIME_CLASS(CDvdView));
    AddDocTemplate(m_pDocTemplate);

    auto* pMainFrame = new CMainFrame;
    // A frame whose window was made and then failed has deleted itself on
    // its way out; deleting it again here would crash the failing start.
    if (!pMainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE))
        return FALSE;
    m_pMainWnd = pMainFrame;
    pMainFrame->DragAcceptFiles(TRUE);

    EnableShellOpen();
    RegisterShellFileTypes(FALSE);

    // Shown before a path on the command line is opened: the first project
    // window would show it half-way through anyway (an MDI child's
    // activation shows its hidden frame), and the import then minimises and
    // restores a window that is already in place.
    if (GetProfileInt(kSettings, "MF_MX", 0) != 0)
        m_nCmdShow = SW_SHOWMAXIMIZED;
    pMainFrame->ShowWindow(m_nCmdShow);
    pMainFrame->UpdateWindow();

    // No empty project at start; a path on the command line opens or
    // imports. A failed import has said why and leaves the program running.
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (cmdInfo.m_nShellCommand != CCommandLineInfo::FileNew)
        ProcessShellCommand(cmdInfo);
    ApplyOptions();
    return TRUE;
}

int CDvdGuiApp::ExitInstance()
{
    CPreviewPlayer::StopGlobal();
    kx::SetUiServices(nullptr);
    return CWinApp::ExitInstance();
}

CDocument* CDvdGuiApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    char szDrive[_MAX_DRIVE], szDir[_MAX_DIR], szName[_MAX_FNAME], szExt[_MAX_EXT];
    _splitpath(lpszFileName, szDrive, szDir, szName, szExt);
    CString folder;
    if (!szExt[0])
        folder = CString(szDrive) + szDir + szName;
    else if (_stricmp(szExt, ".vob") == 0 || _stricmp(szExt, ".ifo") == 0)
        folder = CString(szDrive) + szDir;
    if (!folder.IsEmpty())
        return ImportDvd(folder);
    return CWinApp::OpenDocumentFile(lpszFileName);
}

void CDvdGuiApp::OnImportDvd()
{
    PausePreviewPlayer();
    char szCurrentDir[2048] = "";
    ::GetCurrentDirectoryA(sizeof(szCurrentDir), szCurrentDir);
    CString start =
        m_strLastImportFolder.IsEmpty() ? GetProfileString(kSettings, kLastImportFolder, "") : m_strLastImportFolder;
    if (!FolderExists(start))
        start = GetOptionImportFolder();
    CString folder;
    SelectFolder(folder, "Select directory for DVD import", start);
    ::SetCurrentDirectoryA(szCurrentDir);
    ImportDvd(folder);
}

bool CDvdGuiApp::ReadDvd(CDvdDoc& doc, LPCTSTR lpszFolder, CDvdProgressWnd& progress)
{
    return doc.GetCurrentDvd().Read(GetLogPane(), lpszFolder, &progress);
}

CDvdDoc* CDvdGuiApp::ImportDvd(LPCTSTR lpszFolder)
{
    if (!lpszFolder || !*lpszFolder)
        return nullptr;
    m_strLastImportFolder = lpszFolder;
    WriteProfileString(kSettings, kLastImportFolder, lpszFolder);

    auto* pDoc = dynamic_cast<CDvdDoc*>(m_pDocTemplate->OpenDocumentFile(nullptr, TRUE));
    if (!pDoc)
        return nullptr;

    CLogCtrl& log = GetLogPane();
    log.AppendText("\r\nImporting DVD...\r\n", RGB(0, 0, 0), true);
    CDvdProgressWnd progress;
    progress.Create("Importing DVD ... ", true, true, true, AfxGetMainWnd());
    const WINDOWPLACEMENT placement = MinimizeMainWindow();

    bool bRead = ReadDvd(*pDoc, lpszFolder, progress);
    if (!bRead && !log.IsCancelled())
    {
        log.AppendText("\r\nAttempt import from VIDEO_TS subdirectory...\r\n", RGB(0, 0, 0), true);
        log.ShowSummary(false);
        CString second = lpszFolder;
        const char cLast = second.IsEmpty() ? '\0' : second[second.GetLength() - 1];
        second += (cLast == '\\' || cLast == '/') ? "VIDEO_TS" : "\\VIDEO_TS";
        bRead = ReadDvd(*pDoc, second, progress);
    }
    if (bRead)
    {
        pDoc->UpdateAllViews(nullptr);
        pDoc->GetCurrentDvd().ClearModified();
        pDoc->SetModifiedFlag(FALSE);
    }
    else
    {
        pDoc->OnCloseDocument();
        pDoc = nullptr;
    }
    log.Finish();
    RestoreMainWindow(placement);
    progress.DestroyWindow();
    return pDoc;
}

void CDvdGuiApp::OnOptions()
{
    RunOptionsSheet(m_pMainWnd);
}

void CDvdGuiApp::OnAppAbout()
{
    CAboutDlg dlg(m_pMainWnd);
    dlg.DoModal();
}

void CDvdGuiApp::OnMergeDvds()
{
    CMergeDlg dlg(m_pDocTemplate, AfxGetMainWnd());
    if (dlg.DoModal() != IDOK)
        return;
    MergeProjects(dlg.m_selection);
}

void CDvdGuiApp::OnReleaseUnusedAssets()
{
    PurgeUnusedVobData();
}

void CDvdGuiApp::OnUpdateReleaseUnusedAssets(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CountUnusedVobData() != 0);
}

void CDvdGuiApp::OnSkipBlankFrames()
{
    SetOptionSkipBlankFrames(!GetOptionSkipBlankFrames());
    ApplyOptions();
}

void CDvdGuiApp::OnUpdateSkipBlankFrames(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(GetOptionSkipBlankFrames() ? 1 : 0);
}

void CDvdGuiApp::OnResetLayout()
{
    DeleteContentPaneProfile();
    m_pMainWnd->ShowWindow(SW_HIDE);
    for (POSITION pos = m_pDocTemplate->GetFirstDocPosition(); pos != nullptr;)
    {
        CDocument* pDoc = m_pDocTemplate->GetNextDoc(pos);
        for (POSITION viewPos = pDoc->GetFirstViewPosition(); viewPos != nullptr;)
            if (auto* pView = dynamic_cast<CDvdView*>(pDoc->GetNextView(viewPos)))
                pView->GetContentPanes().ResetLayout();
    }
    m_pMainWnd->ShowWindow(SW_SHOW);
}

void CDvdGuiApp::OnUpdateResetLayout(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void PausePreviewPlayer()
{
    if (CPreviewPlayer* pPlayer = CPreviewPlayer::GetGlobal())
        pPlayer->Pause();
}

void CDvdGuiApp::MergeProjects(const CDvdDiscArray& discs)
{
    auto* pDoc = dynamic_cast<CDvdDoc*>(m_pDocTemplate->CreateNewDocument());
    if (!pDoc)
        return;
    m_pDocTemplate->SetDefaultTitle(pDoc);
    HCURSOR hPrevious = ::SetCursor(LoadStandardCursor(IDC_WAIT));
    CDvdProgressWnd progress;
    progress.Create("Merging projects ... ", true, false, false, AfxGetMainWnd());
    const CDvdDiscArray selection(discs);
    if (pDoc->GetCurrentDvd().Merge(selection, &progress))
    {
        CFrameWnd* pFrame = m_pDocTemplate->CreateNewFrame(pDoc, nullptr);
        if (pFrame)
            m_pDocTemplate->InitialUpdateFrame(pFrame, pDoc, TRUE);
        pDoc->UpdateAllViews(nullptr);
        pDoc->GetCurrentDvd().ClearModified();
        pDoc->SetModifiedFlag(FALSE);
    }
    else
    {
        m_pDocTemplate->RemoveDocument(pDoc);
        delete pDoc;
        progress.DestroyWindow();
        AfxMessageBox("Merge failed.", MB_OK);
    }
    ++m_pDocTemplate->m_nUntitledCount;
    ::SetCursor(hPrevious);
    progress.DestroyWindow();
}
