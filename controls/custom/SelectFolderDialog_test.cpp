// The folder picker on the system's file dialog, answered by the test once
// the dialog is up: texts, result, navigation and the field's layout.
#include "controls/custom/SelectFolderDialog.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/DialogSteps.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace
{

using kxtest::Then;

std::string Text(HWND hDialog, int nID)
{
    char text[MAX_PATH * 2] = "";
    ::GetDlgItemTextA(hDialog, nID, text, sizeof(text));
    return text;
}

RECT ChildRect(HWND hDialog, int nID)
{
    RECT rect = {};
    ::GetWindowRect(::GetDlgItem(hDialog, nID), &rect);
    ::MapWindowPoints(nullptr, hDialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Press(HWND hDialog, int nID)
{
    ::PostMessageA(hDialog, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), LPARAM(::GetDlgItem(hDialog, nID)));
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

bool SameFolder(const std::string& a, const std::string& b)
{
    return _stricmp(WithoutTrailingSlash(a).c_str(), WithoutTrailingSlash(b).c_str()) == 0;
}

HWND FindChildOfClass(HWND hParent, const char* pszClass)
{
    struct Search
    {
        const char* cls;
        HWND found;
    } search = {pszClass, nullptr};
    ::EnumChildWindows(
        hParent,
        [](HWND hWnd, LPARAM l) -> BOOL
        {
            auto* s = reinterpret_cast<Search*>(l);
            char cls[64] = "";
            ::GetClassNameA(hWnd, cls, sizeof(cls));
            if (_stricmp(cls, s->cls) != 0)
                return TRUE;
            s->found = hWnd;
            return FALSE;
        },
        LPARAM(&search));
    return search.found;
}

// A start folder holding one sub-folder.
class SelectFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ::GetTempPathA(sizeof(temp), temp);
        m_start = WithoutTrailingSlash(temp) + "\\kx_select_folder";
        m_sub = m_start + "\\VIDEO_TS";
        ::CreateDirectoryA(m_start.c_str(), nullptr);
        ::CreateDirectoryA(m_sub.c_str(), nullptr);
    }
    void TearDown() override
    {
        kxtest::PendingDialogStep() = nullptr;
        ::RemoveDirectoryA(m_sub.c_str());
        ::RemoveDirectoryA(m_start.c_str());
    }
    std::string m_start;
    std::string m_sub;
};

TEST_F(SelectFolderTest, SelectWithoutMovingGivesTheStartFolder)
{
    CSelectFolderDialog dlg(TRUE, m_start.c_str());
    dlg.SetTitle("Import DVD folder");
    std::string okText, caption, field, label;
    kxgui::DialogAnswerer answerer(
        [&](HWND hDialog)
        {
            Then(hDialog,
                 [&](HWND hDlg)
                 {
                     okText = Text(hDlg, IDOK);
                     char text[256] = "";
                     ::GetWindowTextA(hDlg, text, sizeof(text));
                     caption = text;
                     field = Text(hDlg, IDC_SELECT_FOLDER_EDIT);
                     label = Text(hDlg, stc3);
                     Press(hDlg, IDOK);
                 });
            return 0;
        });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(okText, "Select");
    EXPECT_EQ(caption, "Import DVD folder");
    EXPECT_EQ(label, "Folder name");
    EXPECT_TRUE(SameFolder(field, m_start)) << field;
    EXPECT_TRUE(SameFolder(static_cast<LPCSTR>(dlg.GetFolderPath()), m_start)) << dlg.GetFolderPath();
}

TEST_F(SelectFolderTest, CancelEndsTheDialogWithCancel)
{
    CSelectFolderDialog dlg(TRUE, m_start.c_str());
    kxgui::DialogAnswerer answerer(
        [&](HWND hDialog)
        {
            Then(hDialog, [&](HWND hDlg) { Press(hDlg, IDCANCEL); });
            return 0;
        });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(SelectFolderTest, WideningTheDialogWidensTheField)
{
    CSelectFolderDialog dlg(TRUE, m_start.c_str());
    RECT fieldBefore = {}, fieldAfter = {}, okAfter = {}, labelAfter = {};
    kxgui::DialogAnswerer answerer(
        [&](HWND hDialog)
        {
            Then(hDialog,
                 [&](HWND hDlg)
                 {
                     fieldBefore = ChildRect(hDlg, IDC_SELECT_FOLDER_EDIT);
                     RECT window;
                     ::GetWindowRect(hDlg, &window);
                     ::SetWindowPos(hDlg, nullptr, 0, 0, window.right - window.left + 150,
                                    window.bottom - window.top + 40, SWP_NOMOVE | SWP_NOZORDER);
                     fieldAfter = ChildRect(hDlg, IDC_SELECT_FOLDER_EDIT);
                     okAfter = ChildRect(hDlg, IDOK);
                     labelAfter = ChildRect(hDlg, stc3);
                     Press(hDlg, IDCANCEL);
                 });
            return 0;
        });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(fieldAfter.right, okAfter.left - 4);
    EXPECT_EQ(fieldAfter.left, fieldBefore.left);
    EXPECT_EQ(fieldAfter.bottom - fieldAfter.top, fieldBefore.bottom - fieldBefore.top);
    EXPECT_GT(fieldAfter.right - fieldAfter.left, fieldBefore.right - fieldBefore.left);
    EXPECT_EQ(labelAfter.bottom, fieldAfter.top - 4);
}

// Records where the user goes; once in the sub-folder the test looks at the
// dialog and presses "Select".
class CWatchedPicker : public CSelectFolderDialog
{
public:
    using CSelectFolderDialog::CSelectFolderDialog;
    std::string target;
    std::string fieldInTarget;
    std::string screenshot;

protected:
    void OnFolderChange() override
    {
        CSelectFolderDialog::OnFolderChange();
        if (!SameFolder(static_cast<LPCSTR>(m_strFolder), target))
            return;
        Then(m_hWnd,
             [this](HWND hDlg)
             {
                 fieldInTarget = Text(hDlg, IDC_SELECT_FOLDER_EDIT);
                 ::RedrawWindow(hDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                 screenshot = kxgui::SaveArtifact(kxgui::CaptureScreen(hDlg, false), "select_folder_dialog.png");
                 Press(hDlg, IDOK);
             });
    }
};

TEST_F(SelectFolderTest, MovingIntoASubFolderShowsAndGivesIt)
{
    CWatchedPicker dlg(TRUE, m_start.c_str());
    dlg.target = m_sub;
    kxgui::DialogAnswerer answerer(
        [&](HWND hDialog)
        {
            Then(hDialog,
                 [](HWND hDlg)
                 {
                     // The user double-clicks the sub-folder, the only item of the list.
                     HWND hList = FindChildOfClass(hDlg, WC_LISTVIEWA);
                     ASSERT_NE(hList, nullptr);
                     RECT item = {LVIR_LABEL, 0, 0, 0};
                     ASSERT_TRUE(::SendMessageA(hList, LVM_GETITEMRECT, 0, LPARAM(&item)));
                     POINT at = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
                     kxgui::Activate(hDlg);
                     kxgui::InputScript().Click(hList, at).Click(hList, at).Send();
                 });
            return 0;
        });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(SameFolder(dlg.fieldInTarget, m_sub)) << dlg.fieldInTarget;
    EXPECT_TRUE(SameFolder(static_cast<LPCSTR>(dlg.GetFolderPath()), m_sub)) << dlg.GetFolderPath();
    EXPECT_FALSE(dlg.screenshot.empty());
}

} // namespace
