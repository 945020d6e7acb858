// kx_app_driver: drives Kestrelux.exe end to end as a user would. It starts
// the program in its own working folder with a private registry seed, posts
// menu commands, answers the program's dialogs and message boxes, reads the
// log pane and registry values, takes screenshots and ends the
// program it started (and only that one).
//
//   kx_app_driver SCENARIO PROGRAM WORK_FOLDER SOURCE_FOLDER
//
// Scenarios: startup, import, import-parent, export-to-source, merge,
// projects (save, the recent-file list, a truncated file, a moved source),
// stored (a project the engine's driver stored with an edit, which the
// calling script makes first), and check (the short run of
// scripts/run.sh --check on any path).
//
// Each scenario prints one line per check ("ok" or "FAIL") and leaves its
// exports and projects in WORK_FOLDER for the calling script, which compares
// them with the source disc. Exit code 0 when every check passed, 1 when one
// failed, 2 for bad usage.
#include "tests/gui/GuiHarness.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{

const char kAppKey[] = "Software\\Brannwick\\Kestrelux";
const char kSettingsKey[] = "Software\\Brannwick\\Kestrelux\\Settings";
const char kOptionsKey[] = "Software\\Brannwick\\Kestrelux\\Kestrelux Options";
// Long enough for an import or export of a fixture disc under Wine; a wait
// that runs out is a failure, never a pass.
const DWORD kPatienceMs = 120000;

const UINT ID_IMPORT_DVD = 32771;
const UINT ID_EXPORT_DVD = 32772;
const UINT ID_MERGE_DVDS = 32782;
const UINT ID_SKIP_BLANK_FRAMES = 32799;
const UINT ID_FILE_SAVE = 0xE103;
const UINT ID_FILE_MRU_FILE1 = 0xE110;
// The file name boxes of the system's file dialogs (explorer and old style).
const int kFileNameCombo = 0x47C;
const int kFileNameEdit = 0x480;

int g_failures = 0;

void Check(bool bOk, const std::string& what)
{
    std::printf("%s: %s\n", bOk ? "ok" : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!bOk)
        ++g_failures;
}

// ---- registry ----

void SetSetting(const char* key, const char* name, const std::string& text)
{
    HKEY h;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), DWORD(text.size() + 1));
    RegCloseKey(h);
}

void SetSetting(const char* key, const char* name, DWORD value)
{
    HKEY h;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(h);
}

// -1 when the value is missing.
long long GetSettingInt(const char* key, const char* name)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, &type, &value, &size) != ERROR_SUCCESS)
        return -1;
    return value;
}

std::string GetRegText(HKEY root, const char* key, const char* name)
{
    char text[1024] = "";
    DWORD size = sizeof(text);
    if (RegGetValueA(root, key, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::string();
    return text;
}

// ---- files ----

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// ---- the program ----

class Program
{
public:
    Program(const std::string& exe, const std::string& workFolder) : m_exe(exe), m_work(workFolder) {}
    ~Program() { End(); }

    bool Start(const std::string& argument)
    {
        std::string commandLine = "\"" + m_exe + "\"";
        if (!argument.empty())
            commandLine += " \"" + argument + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        std::vector<char> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back('\0');
        if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, m_work.c_str(), &si, &m_pi))
            return false;
        WaitForInputIdle(m_pi.hProcess, kPatienceMs);
        return WaitUntil([&] { return MainWindow() != nullptr; });
    }

    // Waits on the program's handle in steps, so that its exit ends the wait
    // at once; false when the condition did not come true in time.
    bool WaitUntil(const std::function<bool()>& condition)
    {
        const DWORD start = GetTickCount();
        while (!condition())
        {
            if (GetTickCount() - start > kPatienceMs)
                return false;
            if (m_pi.hProcess && WaitForSingleObject(m_pi.hProcess, 20) == WAIT_OBJECT_0 && !condition())
                return false;
        }
        return true;
    }

    bool HasExited() const { return !m_pi.hProcess || WaitForSingleObject(m_pi.hProcess, 0) == WAIT_OBJECT_0; }

    // The program's visible top-level windows (with bHidden, all of them).
    std::vector<HWND> TopWindows(bool bHidden = false) const
    {
        struct Search
        {
            DWORD pid;
            bool bHidden;
            std::vector<HWND> found;
        } search{m_pi.dwProcessId, bHidden, {}};
        EnumWindows(
            [](HWND h, LPARAM l) -> BOOL
            {
                auto* s = reinterpret_cast<Search*>(l);
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == s->pid && (s->bHidden || IsWindowVisible(h)))
                    s->found.push_back(h);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    HWND MainWindow() const
    {
        for (HWND h : TopWindows())
            if (Title(h).rfind("Kestrelux", 0) == 0 && GetParent(h) == nullptr && !IsDialog(h))
                return h;
        return nullptr;
    }

    // A dialog or message box of the program with this title.
    HWND Dialog(const char* title) const
    {
        for (HWND h : TopWindows())
            if (IsDialog(h) && Title(h) == title)
                return h;
        return nullptr;
    }

    // The progress window of a long operation (its caption, then the
    // percentage); it stays hidden until the first position arrives.
    HWND ProgressWindow(const char* caption) const
    {
        for (HWND h : TopWindows(true))
            if (Title(h).rfind(caption, 0) == 0)
                return h;
        return nullptr;
    }

    // Any message box of the program: its text, or empty.
    HWND MessageBoxWindow(std::string* text = nullptr) const
    {
        for (HWND h : TopWindows())
        {
            if (!IsDialog(h) || !GetDlgItem(h, 0xFFFF))
                continue;
            if (text)
            {
                char buffer[1024] = "";
                GetDlgItemTextA(h, 0xFFFF, buffer, sizeof(buffer));
                *text = buffer;
            }
            return h;
        }
        return nullptr;
    }

    // Waits for a message box, checks its text and answers it.
    void AnswerMessageBox(const std::string& expected, int answer)
    {
        std::string text;
        const bool bShown = WaitUntil([&] { return MessageBoxWindow(&text) != nullptr; });
        Check(bShown && text == expected, "message box \"" + expected + "\" (shown: \"" + text + "\")");
        if (HWND h = MessageBoxWindow())
            PostMessageA(h, WM_COMMAND, answer, 0);
        WaitUntil([&] { return MessageBoxWindow() == nullptr; });
    }

    // Waits for message boxes and answers each with IDOK until one with the
    // text comes, which is answered too; false when it never came.
    bool AnswerMessageBoxesUntil(const std::string& last)
    {
        std::string text;
        while (WaitUntil([&] { return MessageBoxWindow(&text) != nullptr; }))
        {
            std::printf("message box: %s\n", text.c_str());
            HWND h = MessageBoxWindow();
            PostMessageA(h, WM_COMMAND, IDOK, 0);
            WaitUntil([&] { return !IsWindow(h); });
            if (text == last)
                return true;
        }
        return false;
    }

    // The system's open or save dialog, found by its file name box.
    HWND FileDialog() const
    {
        for (HWND h : TopWindows())
            if (IsDialog(h) && (GetDlgItem(h, kFileNameCombo) || GetDlgItem(h, kFileNameEdit)))
                return h;
        return nullptr;
    }

    // Types the full path into the file dialog and presses its OK.
    bool AnswerFileDialog(const std::string& path)
    {
        HWND hDialog = nullptr;
        if (!WaitUntil([&] { return (hDialog = FileDialog()) != nullptr; }))
            return false;
        for (int nID : {kFileNameCombo, kFileNameEdit})
            if (HWND hBox = GetDlgItem(hDialog, nID))
                SendMessageA(hBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(hDialog, IDOK)));
        return WaitUntil([&] { return !IsWindow(hDialog); });
    }

    // The project windows' captions.
    std::vector<std::string> ProjectWindows() const
    {
        std::vector<std::string> titles;
        HWND hClient = FindWindowExA(MainWindow(), nullptr, "MDIClient", nullptr);
        for (HWND h = hClient ? GetWindow(hClient, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT))
            titles.push_back(Title(h));
        return titles;
    }

    bool HasProjectWindow(const std::string& title) const
    {
        for (const std::string& t : ProjectWindows())
            if (t == title)
                return true;
        return false;
    }

    std::string LogText() const
    {
        HWND hMain = MainWindow();
        HWND hLog = nullptr;
        EnumChildWindows(
            hMain,
            [](HWND h, LPARAM l) -> BOOL
            {
                char cls[64] = "";
                GetClassNameA(h, cls, sizeof(cls));
                if (_strnicmp(cls, "RichEdit", 8) == 0)
                {
                    *reinterpret_cast<HWND*>(l) = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&hLog));
        if (!hLog)
            return std::string();
        const LRESULT n = SendMessageA(hLog, WM_GETTEXTLENGTH, 0, 0);
        std::string text(size_t(n) + 1, '\0');
        SendMessageA(hLog, WM_GETTEXT, WPARAM(n + 1), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(strlen(text.c_str()));
        return text;
    }

    void Command(UINT nID) { PostMessageA(MainWindow(), WM_COMMAND, nID, 0); }

    // Answers the folder picker with "Select": it opens at the folder the
    // seeded registry names.
    bool SelectFolder(const char* title)
    {
        HWND hPicker = nullptr;
        if (!WaitUntil([&] { return (hPicker = Dialog(title)) != nullptr; }))
            return false;
        PostMessageA(hPicker, WM_COMMAND, IDOK, 0);
        return WaitUntil([&] { return Dialog(title) == nullptr; });
    }

    // Waits until the long operation's progress window has come and gone.
    // Waits for a long operation's progress window to come and go; it comes
    // at the operation's start and goes at its end. A message box on the way
    // ends the wait: its text is printed and the wait fails.
    bool WaitOperation(const char* caption)
    {
        std::string text;
        bool bDone = WaitUntil([&] { return MessageBoxWindow(&text) || ProgressWindow(caption) != nullptr; });
        bDone = bDone && WaitUntil(
                             [&]
                             {
                                 HWND hMain = MainWindow();
                                 return MessageBoxWindow(&text) ||
                                        (ProgressWindow(caption) == nullptr && hMain && !IsIconic(hMain));
                             });
        if (!text.empty())
            std::printf("message box: %s\n", text.c_str());
        return bDone && text.empty();
    }

    // Waits for an import into a new project window to end.
    bool WaitImport(const std::string& title) { return WaitOperation("Importing DVD ... ") && HasProjectWindow(title); }

    void Screenshot(HWND hWnd, const std::string& name)
    {
        kxgui::Activate(hWnd);
        RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const std::string path = kxgui::SaveArtifact(kxgui::CaptureScreen(hWnd, false), name);
        Check(!path.empty(), "screenshot " + name);
    }

    // Waits until a long operation is over and the project window with the
    // title shows; a message box on the way ends the wait.
    bool WaitProject(const char* caption, const std::string& title)
    {
        return WaitUntil(
                   [&]
                   {
                       HWND hMain = MainWindow();
                       return MessageBoxWindow() ||
                              (!ProgressWindow(caption) && hMain && !IsIconic(hMain) && HasProjectWindow(title));
                   }) &&
               !MessageBoxWindow();
    }

    // Closes the main window, which asks the question; the answer is given.
    void CloseAnswering(const std::string& question, int answer)
    {
        PostMessageA(MainWindow(), WM_CLOSE, 0, 0);
        AnswerMessageBox(question, answer);
        Check(WaitUntil([&] { return HasExited(); }), "the program ends after the question");
        End();
    }

    // Closes the main window; the program must end without asking.
    void Close()
    {
        PostMessageA(MainWindow(), WM_CLOSE, 0, 0);
        std::string text;
        const bool bExited = WaitUntil([&] { return HasExited() || MessageBoxWindow(&text) != nullptr; });
        Check(bExited && HasExited(),
              "the program ends without a question" + (text.empty() ? "" : " (asked \"" + text + "\")"));
        if (!HasExited())
            End();
    }

    // Ends the program started here, whatever it is doing.
    void End()
    {
        if (!m_pi.hProcess)
            return;
        if (WaitForSingleObject(m_pi.hProcess, 0) != WAIT_OBJECT_0)
        {
            TerminateProcess(m_pi.hProcess, 3);
            WaitForSingleObject(m_pi.hProcess, kPatienceMs);
        }
        CloseHandle(m_pi.hThread);
        CloseHandle(m_pi.hProcess);
        m_pi = {};
    }

    static std::string Title(HWND h)
    {
        char text[512] = "";
        GetWindowTextA(h, text, sizeof(text));
        return text;
    }
    static bool IsDialog(HWND h)
    {
        char cls[64] = "";
        GetClassNameA(h, cls, sizeof(cls));
        return std::strcmp(cls, "#32770") == 0;
    }

private:
    std::string m_exe;
    std::string m_work;
    PROCESS_INFORMATION m_pi = {};
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

void ResetRegistry(const std::string& exportFolder, const std::string& importFolder)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kAppKey);
    if (!exportFolder.empty())
        SetSetting(kSettingsKey, "MF_ED", exportFolder);
    if (!importFolder.empty())
        SetSetting(kSettingsKey, "MF_ID", importFolder);
}

// Imports the disc the program was started on, then exports the project.
bool ExportActive(Program& program, const std::string& folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    program.Command(ID_EXPORT_DVD);
    if (!program.SelectFolder("Select directory for DVD export"))
        return false;
    return program.WaitOperation("Exporting DVD ... ");
}

// ---- scenarios ----

void Startup(Program& program, const std::string& work)
{
    ResetRegistry("", "");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\.kxp");
    DeleteFileA((work + "\\kestrelux.log").c_str());
    Check(program.Start(""), "the program starts");
    Check(GetSettingInt(kSettingsKey, "MF_RVER") == 3, "MF_RVER is 3");
    Check(GetSettingInt(kSettingsKey, "CF_RVER") == 2, "CF_RVER is 2");
    Check(program.ProjectWindows().empty(), "no project at start");
    Check(FileSize(work + "\\kestrelux.log") == 0, "an empty kestrelux.log");
    Check(GetRegText(HKEY_CURRENT_USER, "Software\\Classes\\.kxp", nullptr) == "Kestrelux.Document",
          ".kxp is Kestrelux.Document");
    program.Command(ID_SKIP_BLANK_FRAMES);
    Check(program.WaitUntil([] { return GetSettingInt(kOptionsKey, "SB") == 0; }), "32799 turns SB off");
    program.Command(ID_SKIP_BLANK_FRAMES);
    Check(program.WaitUntil([] { return GetSettingInt(kOptionsKey, "SB") == 1; }), "32799 turns SB on again");
    program.Screenshot(program.MainWindow(), "app_startup.png");
    program.Close();
    Check(GetSettingInt(kSettingsKey, "MF_MX") >= 0, "the placement is stored at close");
}

// The import of the path the program is started with, and its export.
void ImportExport(Program& program, const std::string& work, const std::string& path, bool bViaParent)
{
    const std::string out = work + "\\export";
    ResetRegistry(out, "");
    Check(program.Start(path), "the program starts on " + path);
    Check(program.WaitImport("project1"), "project1 is imported");
    const std::string log = program.LogText();
    Check(Contains(log, "Importing DVD..."), "the log shows the import heading");
    Check(Contains(log, "Attempt import from VIDEO_TS subdirectory...") == bViaParent,
          bViaParent ? "the import retries in VIDEO_TS" : "the import needs no retry");
    Check(ExportActive(program, out), "the export runs");
    Check(FileExists(out + "\\VIDEO_TS.IFO") && FileExists(out + "\\VIDEO_TS.BUP"), "the export wrote the VMG");
    Check(Contains(program.LogText(), "Export dvd("), "the log shows the export heading");
    program.Screenshot(program.MainWindow(), bViaParent ? "app_import_parent.png" : "app_import.png");
    program.Close();
}

void ExportToSource(Program& program, const std::string& work, const std::string& source)
{
    ResetRegistry(source, "");
    Check(program.Start(source), "the program starts on the source");
    Check(program.WaitImport("project1"), "project1 is imported");
    program.Command(ID_EXPORT_DVD);
    Check(program.SelectFolder("Select directory for DVD export"), "the export folder is chosen");
    program.AnswerMessageBox("Can't export disk to source directory.", IDOK);
    Check(FileExists(source + "\\VIDEO_TS.IFO"), "the source files are still there");
    program.Close();
}

void Merge(Program& program, const std::string& work, const std::string& source)
{
    const std::string out = work + "\\merged";
    ResetRegistry(out, source);
    Check(program.Start(source), "the program starts on the source");
    Check(program.WaitImport("project1"), "project1 is imported");

    // one project: nothing to merge
    program.Command(ID_MERGE_DVDS);
    HWND hDialog = nullptr;
    Check(program.WaitUntil([&] { return (hDialog = program.Dialog("Select projects for merger")) != nullptr; }),
          "the merge dialog opens");
    char status[1024] = "";
    GetDlgItemTextA(hDialog, 1015, status, sizeof(status));
    Check(std::string(status) == "Select two disks for merger.\r\n", "one project: \"Select two disks for merger.\"");
    Check(!IsWindowEnabled(GetDlgItem(hDialog, IDOK)), "one project: Merge is disabled");
    PostMessageA(hDialog, WM_COMMAND, IDCANCEL, 0);
    program.WaitUntil([&] { return program.Dialog("Select projects for merger") == nullptr; });

    program.Command(ID_IMPORT_DVD);
    Check(program.SelectFolder("Select directory for DVD import"), "the second import folder is chosen");
    Check(program.WaitImport("project2"), "project2 is imported");

    program.Command(ID_MERGE_DVDS);
    Check(program.WaitUntil([&] { return (hDialog = program.Dialog("Select projects for merger")) != nullptr; }),
          "the merge dialog opens again");
    GetDlgItemTextA(hDialog, 1015, status, sizeof(status));
    Check(IsWindowEnabled(GetDlgItem(hDialog, IDOK)), "two projects: Merge is enabled");
    // the same project in both lists is no pair
    SendMessageA(GetDlgItem(hDialog, 1014), CB_SETCURSEL, 0, 0);
    SendMessageA(hDialog, WM_COMMAND, MAKEWPARAM(1014, CBN_SELCHANGE), LPARAM(GetDlgItem(hDialog, 1014)));
    GetDlgItemTextA(hDialog, 1015, status, sizeof(status));
    Check(std::string(status) == "Select two disks for merger.\r\n" && !IsWindowEnabled(GetDlgItem(hDialog, IDOK)),
          "one project in both lists: \"Select two disks for merger.\", Merge disabled");
    SendMessageA(GetDlgItem(hDialog, 1014), CB_SETCURSEL, 1, 0);
    SendMessageA(hDialog, WM_COMMAND, MAKEWPARAM(1014, CBN_SELCHANGE), LPARAM(GetDlgItem(hDialog, 1014)));
    Check(IsWindowEnabled(GetDlgItem(hDialog, IDOK)), "two projects again: Merge is enabled");
    program.Screenshot(hDialog, "app_merge_dialog.png");
    PostMessageA(hDialog, WM_COMMAND, IDOK, 0);
    Check(program.WaitUntil([&] { return program.HasProjectWindow("project3"); }), "the merged project3 opens");
    Check(ExportActive(program, out), "the merged project exports");
    program.Close();
}

// Saved, reopened from the recent-file list, truncated and with its source
// moved, the project exports as the import did (export1, export2, export3;
// the calling script compares them).
void Projects(Program& program, const std::string& work, const std::string& source)
{
    const std::string project = work + "\\a.kxp";
    ResetRegistry(work + "\\export1", "");
    Check(program.Start(source), "the program starts on the source");
    Check(program.WaitImport("project1"), "project1 is imported");
    Check(ExportActive(program, work + "\\export1"), "the import exports");
    program.Command(ID_FILE_SAVE);
    Check(program.AnswerFileDialog(project), "the project is saved as a.kxp");
    Check(program.WaitProject("Saving project ... ", "a.kxp") && FileExists(project),
          "the project window shows the saved project's name");
    program.Close();

    SetSetting(kSettingsKey, "MF_ED", work + "\\export2");
    Check(program.Start(""), "the program starts without a project");
    program.Command(ID_FILE_MRU_FILE1);
    Check(program.WaitProject("Reading project ... ", "a.kxp"), "the recent-file list reopens a.kxp");
    Check(ExportActive(program, work + "\\export2"), "the reopened project exports");
    program.Close();

    const std::string truncated = work + "\\cut.kxp";
    const long long nSize = FileSize(project);
    Check(nSize > 0 && CopyFileA(project.c_str(), truncated.c_str(), FALSE), "a copy of the project is made");
    HANDLE hFile = CreateFileA(truncated.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFilePointer(hFile, LONG(nSize / 2), nullptr, FILE_BEGIN);
    SetEndOfFile(hFile);
    CloseHandle(hFile);
    Check(program.Start(truncated), "the program starts on the truncated copy");
    Check(program.AnswerMessageBoxesUntil("Error loading project"), "a truncated project: \"Error loading project\"");
    Check(program.WaitUntil([&] { return program.ProjectWindows().empty(); }), "a truncated project opens no window");
    program.Close();

    const std::string folder = source.substr(0, source.find_last_of('\\'));
    const std::string moved = folder + "-moved";
    Check(MoveFileA(folder.c_str(), moved.c_str()) != FALSE, "the source folder is moved");
    SetSetting(kSettingsKey, "MF_ED", work + "\\export3");
    Check(program.Start(project), "the program starts on the project");
    std::string text;
    Check(program.WaitUntil([&] { return program.MessageBoxWindow(&text) != nullptr; }), "a question comes");
    const std::string prefix = "File ", suffix = " is not found. Would you like to browse for its new location?";
    const bool bAsked = text.rfind(prefix, 0) == 0 && text.size() > prefix.size() + suffix.size() &&
                        text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
    Check(bAsked, "the moved source is asked about (\"" + text + "\")");
    if (bAsked)
    {
        const std::string missing = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
        program.AnswerMessageBox(text, IDYES);
        Check(program.AnswerFileDialog(moved + "\\VIDEO_TS" + missing.substr(missing.find_last_of('\\'))),
              "the moved file is chosen");
        Check(program.WaitProject("Reading project ... ", "a.kxp"), "the project opens from the moved source");
        Check(ExportActive(program, work + "\\export3"), "the project with its moved source exports");
    }
    program.Close();
    MoveFileA(moved.c_str(), folder.c_str());
}

// A project the engine stored after an edit: its export adds the "export"
// revision, so closing asks to save.
void Stored(Program& program, const std::string& work)
{
    const std::string project = work + "\\edited.kxp";
    ResetRegistry(work + "\\export", "");
    Check(program.Start(project), "the program starts on edited.kxp");
    Check(program.WaitProject("Reading project ... ", "edited.kxp"), "edited.kxp opens");
    Check(ExportActive(program, work + "\\export"), "the edited project exports");
    program.CloseAnswering("Save changes to " + project + "?", IDNO);
}

// The short run of scripts/run.sh --check: import, look, close.
void QuickCheck(Program& program, const std::string& work, const std::string& path)
{
    ResetRegistry("", "");
    Check(program.Start(path), "the program starts on " + path);
    Check(program.WaitImport("project1"), "project1 is imported without a problem");
    const std::string log = program.LogText();
    Check(Contains(log, "Importing DVD..."), "the log shows the import heading");
    if (FILE* f = std::fopen((work + "\\log-pane.txt").c_str(), "wb"))
    {
        std::fwrite(log.data(), 1, log.size(), f);
        std::fclose(f);
    }
    program.Screenshot(program.MainWindow(), "app_check_main.png");
    program.Command(ID_MERGE_DVDS);
    HWND hDialog = nullptr;
    Check(program.WaitUntil([&] { return (hDialog = program.Dialog("Select projects for merger")) != nullptr; }),
          "the merge dialog opens");
    program.Screenshot(hDialog, "app_check_merge.png");
    PostMessageA(hDialog, WM_COMMAND, IDCANCEL, 0);
    program.WaitUntil([&] { return program.Dialog("Select projects for merger") == nullptr; });
    program.Close();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5)
    {
        std::fprintf(stderr, "usage: kx_app_driver SCENARIO PROGRAM WORK_FOLDER SOURCE_FOLDER\n");
        return 2;
    }
    const std::string scenario = argv[1];
    Program program(argv[2], argv[3]);
    const std::string work = argv[3];
    const std::string source = argv[4];
    if (scenario == "startup")
        Startup(program, work);
    else if (scenario == "import")
        ImportExport(program, work, source + "\\video_ts.ifo", false);
    else if (scenario == "import-parent")
        ImportExport(program, work, source.substr(0, source.find_last_of('\\')), true);
    else if (scenario == "export-to-source")
        ExportToSource(program, work, source);
    else if (scenario == "merge")
        Merge(program, work, source);
    else if (scenario == "projects")
        Projects(program, work, source);
    else if (scenario == "stored")
        Stored(program, work);
    else if (scenario == "check")
        QuickCheck(program, work, source);
    else
    {
        std::fprintf(stderr, "unknown scenario %s\n", scenario.c_str());
        return 2;
    }
    program.End();
    std::printf("%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
