// The export of a project as a DVD-Video folder, with the checks of its
// destination.
#include "DVD/source/VobData.h"
#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/DvdGuiApp.h"
#include "DvdGui/source/DvdProgressWnd.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/MainFrm.h"
#include "DvdGui/source/Options.h"
#include "Shared/source/DvdFormat.h"
#include "framework/win/MessageBox.h"

#include <cstring>

namespace
{

const char kSettings[] = "Settings";
const char kLastExportFolder[] = "MF_ED";

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The one spelling of a folder: full, long names, backslashes, ending in a
// backslash. Two spellings of the same folder (relative, with "..", with
// forward slashes or short names) compare equal without regard to case.
CString CanonicalFolder(LPCTSTR lpszPath)
{
    char szFull[2048];
    const DWORD nFull = ::GetFullPathNameA(lpszPath, sizeof(szFull), szFull, nullptr);
    if (nFull == 0 || nFull >= sizeof(szFull))
        return CString(lpszPath);
    char szLong[2048];
    const DWORD nLong = ::GetLongPathNameA(szFull, szLong, sizeof(szLong));
    CString result = (nLong != 0 && nLong < sizeof(szLong)) ? szLong : szFull;
    result.Replace('/', '\\');
    if (result.IsEmpty() || result[result.GetLength() - 1] != '\\')
        result += '\\';
    return result;
}

// The folder a source set reads from: its path when it names a folder, the
// file's folder when it names one file; empty for a set held in memory.
CString SourceFolder(const CVobData& set)
{
    CString path = set.GetPath();
    if (path.IsEmpty())
        return path;
    if (!IsSeparator(path[path.GetLength() - 1]))
    {
        const int nSlash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
        if (nSlash < 0)
            return CString();
        path = path.Left(nSlash + 1);
    }
    return CanonicalFolder(path);
}

bool IsSourceFolder(const CString& canonicalFolder)
{
    const uint32_t nCount = GetVobDataCount();
    for (uint32_t i = 0; i < nCount; ++i)
    {
        const CVobData* pSet = GetVobDataAt(i);
        if (pSet && SourceFolder(*pSet).CompareNoCase(canonicalFolder) == 0)
            return true;
    }
    return false;
}

// Removes the old files of the destination: asks once, and only when one
// of the patterns finds a file. False when the user cancelled or a file
// could not be removed (with its message).
bool RemoveOldFiles(const CString& folder)
{
    bool bAsked = false;
    for (const char* pattern : {"*.ifo", "*.bup", "*.vob"})
    {
        WIN32_FIND_DATAA found;
        HANDLE hFind = ::FindFirstFileA(folder + pattern, &found);
        if (hFind == INVALID_HANDLE_VALUE)
            continue;
        ::FindClose(hFind);
        if (!bAsked)
        {
            const int nAnswer =
                AfxMessageBox("There are *.ifo, *.bup or *.vob files in the destination directory. Remove these files?",
                              MB_YESNOCANCEL);
            if (nAnswer == IDCANCEL)
                return false;
            if (nAnswer == IDNO)
                return true;
            bAsked = true;
        }
        hFind = ::FindFirstFileA(folder + pattern, &found);
        while (hFind != INVALID_HANDLE_VALUE)
        {
            const CString path = folder + found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !::DeleteFileA(path))
            {
                ::FindClose(hFind);
                CString message;
                message.Format("Can't remove %s. Stop export.", static_cast<LPCSTR>(path));
                AfxMessageBox(message, MB_OK);
                return false;
            }
            if (!::FindNextFileA(hFind, &found))
            {
                ::FindClose(hFind);
                hFind = INVALID_HANDLE_VALUE;
            }
        }
    }
    return true;
}

} // namespace

DiskFreeSpaceFunction FindDiskFreeSpaceFunction()
{
    HMODULE hKernel = ::GetModuleHandleA("kernel32.dll");
    return hKernel ? reinterpret_cast<DiskFreeSpaceFunction>(
                         reinterpret_cast<void*>(::GetProcAddress(hKernel, "GetDiskFreeSpaceExA")))
                   : nullptr;
}

DiskFreeSpaceFunction (*g_pfnFindDiskFreeSpace)() = FindDiskFreeSpaceFunction;

bool CheckDiskFreeSpace(LPCTSTR lpszFolder, uint64_t nNeeded)
{
    DiskFreeSpaceFunction pfnFreeSpace = g_pfnFindDiskFreeSpace();
    if (!pfnFreeSpace)
        return true;
    ULARGE_INTEGER available, total, free;
    if (!pfnFreeSpace(lpszFolder, &available, &total, &free))
        return true;
    if (available.QuadPart >= nNeeded)
        return true;
    const double kMegabyte = 1.0 / 1048576;
    CString message;
    message.Format("Not enough space in %s. Needed - %d Mb, disk free size - %d Mb.", lpszFolder,
                   int(double(nNeeded) * kMegabyte), int(double(available.QuadPart) * kMegabyte));
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    return false;
}

bool CheckExportFolder(LPCTSTR lpszFolder, uint64_t nNeeded, bool bCheckOldFiles)
{
    CString folder = CString(lpszFolder).Left(2047);
    if (folder.IsEmpty() || !IsSeparator(folder[folder.GetLength() - 1]))
        folder += '\\';
    const DWORD dwAttributes = ::GetFileAttributesA(folder);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    {
        AfxMessageBox("Path specified for DVD export does not exist.", MB_OK);
        return false;
    }
    // Any spelling of a source folder is refused: the next step would offer
    // to delete the project's own VOB files.
    if (IsSourceFolder(CanonicalFolder(folder)))
    {
        AfxMessageBox("Can't export disk to source directory.", MB_ICONEXCLAMATION);
        return false;
    }
    if (bCheckOldFiles && !RemoveOldFiles(folder))
        return false;
    return CheckDiskFreeSpace(folder, nNeeded);
}

void CDvdDoc::OnExportDvd()
{
    PausePreviewPlayer();
    CWinApp* pApp = AfxGetApp();
    char szCurrentDir[2048] = "";
    ::GetCurrentDirectoryA(sizeof(szCurrentDir), szCurrentDir);
    CString start =
        m_strExportFolder.IsEmpty() ? pApp->GetProfileString(kSettings, kLastExportFolder, "") : m_strExportFolder;
    const DWORD dwAttributes = ::GetFileAttributesA(start);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        start = GetOptionExportFolder();
    CString folder;
    SelectFolder(folder, "Select directory for DVD export", start);
    ::SetCurrentDirectoryA(szCurrentDir);
    if (folder.IsEmpty())
        return;
    m_strExportFolder = folder;
    pApp->WriteProfileString(kSettings, kLastExportFolder, folder);
    if (!CheckExportFolder(folder, GetCurrentDvd().GetOutputSize(), true))
        return;

    HCURSOR hPrevious = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    CDvdProgressWnd progress;
    progress.Create("Exporting DVD ... ", true, true, true, AfxGetMainWnd());
    const WINDOWPLACEMENT placement = MinimizeMainWindow();
    const bool bModified = GetCurrentDvd().IsModified();
    if (ExportDvd(folder, progress))
    {
        m_bExportedBypass = BYTE(GetOptionAutoBypass());
        m_revisions.SetExportedIndex(m_revisions.GetCurrentIndex());
        if (bModified)
        {
            CDvd& dvd = GetCurrentDvd();
            dvd.CDvdObject::NotifyAction("export");
            // the live disc, now the revision after the exported copy
            CDvd& live = GetCurrentDvd();
            live.ClearModified();
            live.CDvdObject::NotifyChanged();
        }
    }
    else
        m_strExportFolder.Empty();
    RestoreMainWindow(placement);
    ::SetCursor(hPrevious);
    ::MessageBeep(MB_ICONEXCLAMATION);
    progress.DestroyWindow();
}

bool CDvdDoc::ExportDvd(LPCTSTR lpszFolder, CDvdProgressWnd& progress)
{
    CLogCtrl& log = GetLogPane();
    CString heading;
    heading.Format("\r\nExport dvd(%s)...\r\n", lpszFolder);
    log.AppendText(heading, RGB(0, 0, 0), true);
    PrintfToSink(&progress, "Preparing disk for export...");
    CDvd copy(GetCurrentDvd());
    // The user has been asked about the old files before this step.
    bool bResult = CheckExportFolder(lpszFolder, copy.GetOutputSize(), false);
    if (bResult)
    {
        if (GetOptionAutoBypass())
            copy.BypassHiddenParts();
        const WINDOWPLACEMENT placement = MinimizeMainWindow();
        bResult = copy.Write(log, lpszFolder, false, &progress, true);
        RestoreMainWindow(placement);
    }
    log.Finish();
    return bResult;
}

void CDvdDoc::OnUpdateUpdateExport(CCmdUI* pCmdUI)
{
    const bool bBypass = GetOptionAutoBypass();
    const bool bUpToDate =
        m_revisions.GetExportedIndex() >= m_revisions.GetCurrentIndex() && BYTE(bBypass) == m_bExportedBypass;
    pCmdUI->Enable(!m_strExportFolder.IsEmpty() && !bUpToDate);
}

void CDvdDoc::OnUpdateExportTestDvd(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CDvdDoc::OnUpdateExportModified(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetCurrentDvd().IsModified());
}

void CDvdDoc::OnUpdateExportAll(CCmdUI* pCmdUI)
{
    CDocTemplate* pTemplate = GetDocTemplate();
    int nProjects = 0;
    for (POSITION pos = pTemplate ? pTemplate->GetFirstDocPosition() : nullptr; pos && nProjects < 2;)
    {
        pTemplate->GetNextDoc(pos);
        ++nProjects;
    }
    pCmdUI->Enable(nProjects >= 2);
}
