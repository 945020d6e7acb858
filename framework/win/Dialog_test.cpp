// Dialogs: a modal dialog from a template in the framework's loop, property
// sheets whose pages the system creates, and the file dialog's hook.
#include "framework/win/Dialog.h"
#include "framework/win/ColorDialog.h"
#include "framework/win/FileDialog.h"
#include "framework/win/FontDialog.h"
#include "framework/win/PropertySheet.h"
#include "framework/win/WinThread.h"
#include "framework/win/testapp/TestAppRes.h"
#include "tests/gui/GuiHarness.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const UINT WM_TEST_STEP = WM_APP + 17;

class CTestDialog : public CDialog
{
public:
    explicit CTestDialog(WPARAM key) : CDialog(IDD_TEST_DIALOG), m_key(key) {}
    CString m_text = "hello";
    bool attachedAtInit = false;
    CString textAtInit;
    int steps = 0;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        attachedAtInit = CWnd::FromHandlePermanent(m_hWnd) == this;
        GetDlgItemText(IDC_TEST_EDIT, textAtInit);
        PostMessage(WM_TEST_STEP);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_TEST_EDIT, m_text); }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_TEST_STEP)
        {
            // Only the dialog's own loop sees posted messages here: the user
            // types and presses a key in the edit control.
            ++steps;
            SetDlgItemText(IDC_TEST_EDIT, "changed");
            ::PostMessageA(::GetDlgItem(m_hWnd, IDC_TEST_EDIT), WM_KEYDOWN, m_key, 0);
            return TRUE;
        }
        return CDialog::PreTranslateMessage(pMsg);
    }

private:
    WPARAM m_key;
};

class DialogTest : public ::testing::Test
{
protected:
    CWinApp m_app{"Kestrelux"};
};

TEST_F(DialogTest, AModalDialogRunsItsOwnLoopAndEndsWithItsButton)
{
    const struct
    {
        WPARAM key;
        INT_PTR result;
        const char* text;
    } cases[] = {
        {VK_RETURN, IDOK, "changed"},   // the default button takes the edit's text
        {VK_ESCAPE, IDCANCEL, "hello"}, // cancel leaves the member alone
    };
    for (const auto& c : cases)
    {
        CTestDialog dlg(c.key);
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_TRUE(dlg.attachedAtInit);
        EXPECT_STREQ(dlg.textAtInit, "hello");
        EXPECT_EQ(dlg.steps, 1);
        EXPECT_STREQ(dlg.m_text, c.text);
        EXPECT_EQ(dlg.m_hWnd, nullptr);
    }
}

TEST_F(DialogTest, AMissingTemplateFailsWithoutAWindow)
{
    CDialog dlg(4711u);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

class CTestPage : public CPropertyPage
{
public:
    explicit CTestPage(UINT nID) : CPropertyPage(nID) {}
    bool attachedAtInit = false;
    int applies = 0;
    UINT pressOnActive = 0; // a button the page presses when first shown
    BOOL OnInitDialog() override
    {
        attachedAtInit = CWnd::FromHandlePermanent(m_hWnd) == this;
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override
    {
        if (pressOnActive)
            ::PostMessageA(::GetParent(m_hWnd), PSM_PRESSBUTTON, pressOnActive, 0);
        return CPropertyPage::OnSetActive();
    }
    BOOL OnApply() override
    {
        ++applies;
        return TRUE;
    }
};

TEST_F(DialogTest, ASheetAttachesEachPageWhenTheSystemCreatesIt)
{
    HWND hHost = kxgui::CreateTestWindow(400, 300, "sheet host");
    CPropertySheet sheet("Options");
    CTestPage page1(IDD_TEST_PAGE1), page2(IDD_TEST_PAGE2);
    sheet.AddPage(&page1);
    sheet.AddPage(&page2);
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_EQ(sheet.GetPage(1), &page2);
    ASSERT_TRUE(sheet.Create(CWnd::FromHandle(hHost)));
    kxgui::PumpUntilIdle();

    EXPECT_EQ(CWnd::FromHandlePermanent(sheet.m_hWnd), &sheet);
    ASSERT_NE(page1.m_hWnd, nullptr);
    EXPECT_TRUE(page1.attachedAtInit);
    EXPECT_EQ(page2.m_hWnd, nullptr); // not shown yet, not made yet
    EXPECT_EQ(sheet.GetActivePage(), &page1);
    EXPECT_EQ(page1.GetSheet(), &sheet);

    EXPECT_TRUE(sheet.SetActivePage(1));
    kxgui::PumpUntilIdle();
    ASSERT_NE(page2.m_hWnd, nullptr);
    EXPECT_TRUE(page2.attachedAtInit);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(sheet.GetActivePage(), &page2);
    CWnd* pTab = sheet.GetTabControl();
    ASSERT_NE(pTab, nullptr);
    EXPECT_EQ(pTab->SendMessage(TCM_GETITEMCOUNT), 2);

    sheet.DestroyWindow();
    kxgui::PumpUntilIdle();
    EXPECT_EQ(sheet.m_hWnd, nullptr);
    EXPECT_EQ(page1.m_hWnd, nullptr);
    ::DestroyWindow(hHost);
}

TEST_F(DialogTest, AnEmbeddedSheetIsAChildOfItsHost)
{
    HWND hHost = kxgui::CreateTestWindow(500, 400, "embedding host");
    CPropertySheet sheet;
    CTestPage page1(IDD_TEST_PAGE1), page2(IDD_TEST_PAGE2);
    sheet.AddPage(&page1);
    sheet.AddPage(&page2);
    ASSERT_TRUE(
        sheet.Create(CWnd::FromHandle(hHost), WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_3DLOOK, WS_EX_CONTROLPARENT));
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(sheet.GetStyle() & WS_CHILD);
    EXPECT_FALSE(sheet.GetStyle() & WS_CAPTION);
    EXPECT_EQ(::GetParent(sheet.m_hWnd), hHost);
    EXPECT_TRUE(page1.attachedAtInit);
    EXPECT_EQ(sheet.GetActivePage(), &page1);
    sheet.DestroyWindow();
    ::DestroyWindow(hHost);
}

// Renames the first page in the copy the system gets.
class CRetitlingSheet : public CPropertySheet
{
public:
    int builds = 0;
    void BuildPropPageArray() override
    {
        CPropertySheet::BuildPropPageArray();
        ++builds;
        m_pageArray[0].pszTitle = "Renamed";
        m_pageArray[0].dwFlags |= PSP_USETITLE;
    }
};

TEST_F(DialogTest, ADerivedSheetPreparesThePageArrayTheSystemGets)
{
    HWND hHost = kxgui::CreateTestWindow(400, 300, "sheet host");
    CRetitlingSheet sheet;
    CTestPage page1(IDD_TEST_PAGE1);
    sheet.AddPage(&page1);
    ASSERT_TRUE(sheet.Create(CWnd::FromHandle(hHost)));
    kxgui::PumpUntilIdle();
    EXPECT_EQ(sheet.builds, 1);
    char text[32] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    ASSERT_NE(sheet.GetTabControl(), nullptr);
    sheet.GetTabControl()->SendMessage(TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "Renamed");
    sheet.DestroyWindow();

    page1.pressOnActive = PSBTN_CANCEL;
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(sheet.builds, 2);
    ::DestroyWindow(hHost);
}

TEST_F(DialogTest, AModalSheetEndsWithTheButtonPressed)
{
    const struct
    {
        UINT button;
        INT_PTR result;
        int applies;
    } cases[] = {
        {PSBTN_OK, IDOK, 1},
        {PSBTN_CANCEL, IDCANCEL, 0},
    };
    for (const auto& c : cases)
    {
        CPropertySheet sheet("Options");
        CTestPage page1(IDD_TEST_PAGE1), page2(IDD_TEST_PAGE2);
        page1.pressOnActive = c.button;
        sheet.AddPage(&page1);
        sheet.AddPage(&page2);
        EXPECT_EQ(sheet.DoModal(), c.result);
        EXPECT_EQ(page1.applies, c.applies);
        EXPECT_EQ(sheet.m_hWnd, nullptr);
    }
}

class CFolderWatchDialog : public CFileDialog
{
public:
    CFolderWatchDialog()
        : CFileDialog(TRUE, "kxp", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
                      "Kestrelux Project Files (*.kxp)|*.kxp|All Files (*.*)|*.*||")
    {
    }
    std::vector<std::string> folders;
    std::string target;
    bool initDone = false;

    void OnInitDone() override { initDone = true; }
    void OnFolderChange() override
    {
        folders.push_back(static_cast<LPCSTR>(GetFolderPath()));
        if (folders.size() == 1)
        {
            // The user types a folder and presses OK: the dialog goes there.
            SetControlText(cmb13, target.c_str());
            SetControlText(edt1, target.c_str());
            PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDOK)));
        }
        else
        {
            PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                        reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, IDCANCEL)));
        }
    }
};

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

TEST_F(DialogTest, TheFileDialogsHookSeesTheFolderChange)
{
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof(temp), temp);
    std::string start = WithoutTrailingSlash(temp);
    std::string target = start + "\\kx_folder_target";
    ::CreateDirectoryA(target.c_str(), nullptr);

    CFolderWatchDialog dlg;
    dlg.target = target;
    dlg.m_ofn.lpstrInitialDir = start.c_str();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.initDone);
    ASSERT_EQ(dlg.folders.size(), 2u);
    EXPECT_EQ(_stricmp(dlg.folders[0].c_str(), start.c_str()), 0) << dlg.folders[0];
    EXPECT_EQ(_stricmp(dlg.folders[1].c_str(), target.c_str()), 0) << dlg.folders[1];
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    ::RemoveDirectoryA(target.c_str());
}

} // namespace

namespace
{

TEST_F(DialogTest, TheFontDialogGivesBackTheChosenFont)
{
    LOGFONTA initial = {};
    initial.lfHeight = -16;
    initial.lfWeight = FW_BOLD;
    strcpy(initial.lfFaceName, "Tahoma");
    CFontDialog dlg(&initial);
    dlg.m_cf.rgbColors = RGB(0, 0, 128);
    kxgui::DialogAnswerer answerer(IDOK);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    LOGFONTA chosen = {};
    dlg.GetCurrentFont(&chosen);
    EXPECT_STREQ(chosen.lfFaceName, dlg.GetFaceName());
    EXPECT_EQ(dlg.GetColor(), RGB(0, 0, 128));
    EXPECT_GT(dlg.GetSize(), 0);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, TheColorDialogGivesBackTheChosenColor)
{
    CColorDialog dlg(RGB(10, 200, 30), CC_FULLOPEN);
    kxgui::DialogAnswerer answerer(IDOK);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetColor(), RGB(10, 200, 30));
    EXPECT_EQ(dlg.m_cc.lpCustColors, CColorDialog::GetSavedCustomColors());
    EXPECT_EQ(dlg.m_hWnd, nullptr);

    // cancelled: the caller's colour stays what it was
    CColorDialog other(RGB(1, 2, 3));
    kxgui::DialogAnswerer cancel(IDCANCEL);
    EXPECT_EQ(other.DoModal(), IDCANCEL);
}

} // namespace
