// The options sheet driven with real input: a modeless sheet for the pages'
// rules (saved as OK saves them), and the options command run modally and
// answered with OK or Cancel, the registry section compared before and
// after and the open documents' views counted.
#include "DvdGui/source/OptionsSheet.h"

#include "DVD/source/button.h"
#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/Resource.h"
#include "controls/custom/SelectFolderDialog.h"
#include "framework/win/DocTemplate.h"
#include "framework/win/Document.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/View.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/DialogSteps.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace
{

constexpr const char* kSectionPath = "Software\\Brannwick\\Kestrelux\\Kestrelux Options";

// Every value of the options section as text.
std::map<std::string, std::string> SectionValues()
{
    std::map<std::string, std::string> values;
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSectionPath, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i)
    {
        char name[256];
        BYTE data[1024];
        DWORD cchName = sizeof(name), cbData = sizeof(data), dwType = 0;
        if (::RegEnumValueA(hKey, i, name, &cchName, nullptr, &dwType, data, &cbData) != ERROR_SUCCESS)
            break;
        values[name] = std::to_string(dwType) + ":" + std::string(reinterpret_cast<char*>(data), cbData);
    }
    ::RegCloseKey(hKey);
    return values;
}

int StoredInt(const char* pszKey)
{
    return static_cast<int>(AfxGetApp()->GetProfileInt(OPTIONS_SECTION, pszKey, -12345));
}

std::string WindowText(CWnd* pWnd)
{
    CString s;
    if (pWnd != nullptr)
        pWnd->GetWindowText(s);
    return static_cast<LPCSTR>(s);
}

using kxtest::Then;

class OptionsSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app.SetRegistryKey("Brannwick");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSectionPath);
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerOffice2003));
        m_hMain = kxgui::CreateTestWindow(300, 200, "Kestrelux main");
        m_main.Attach(m_hMain);
        m_app.m_pMainWnd = &m_main;
    }
    void TearDown() override
    {
        kxtest::PendingDialogStep() = nullptr;
        if (m_pSheet != nullptr && m_pSheet->m_hWnd != nullptr)
            m_pSheet->DestroyWindow();
        m_pSheet.reset();
        m_app.m_pMainWnd = nullptr;
        ::DestroyWindow(m_main.Detach());
        kxgui::PumpUntilIdle();
        g_PaintManager.InstallPaintManager(nullptr);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSectionPath);
        ApplyOptions();
    }
    static void Store(const char* pszKey, int nValue) { AfxGetApp()->WriteProfileInt(OPTIONS_SECTION, pszKey, nValue); }
    void OpenSheet()
    {
        m_pSheet = std::make_unique<COptionsSheet>(&m_main);
        ASSERT_TRUE(m_pSheet->Create(&m_main, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME));
        kxgui::Activate(m_pSheet->m_hWnd);
        Pump();
    }
    void Pump()
    {
        kxgui::PumpUntilIdle([this](MSG& msg) { return CWnd::WalkPreTranslateTree(m_pSheet->m_hWnd, &msg) != FALSE; });
    }
    void ShowPage(int nPage)
    {
        m_pSheet->SetActivePage(nPage);
        Pump();
    }
    CWnd* Item(CPropertyPage& page, UINT nId) { return page.GetDlgItem(nId); }
    void ClickItem(CPropertyPage& page, UINT nId)
    {
        CWnd* pWnd = Item(page, nId);
        ASSERT_NE(nullptr, pWnd);
        CRect rc;
        pWnd->GetClientRect(&rc);
        kxgui::Click(pWnd->m_hWnd, {6, rc.Height() / 2});
        Pump();
    }
    // A closed drop-down list moves its selection with the arrow keys.
    void PickWithKeys(CPropertyPage& page, UINT nId, WORD vk, int nTimes = 1)
    {
        Item(page, nId)->SetFocus();
        for (int i = 0; i < nTimes; ++i)
            kxgui::PressKey(vk);
        Pump();
    }
    void TypeInto(CPropertyPage& page, UINT nId, const char* pszText)
    {
        CEdit* pEdit = static_cast<CEdit*>(Item(page, nId));
        pEdit->SetFocus();
        pEdit->SetSel(0, -1);
        kxgui::PressKey(VK_DELETE);
        kxgui::TypeText(pszText);
        Pump();
    }
    // Answers the next dialog other than the sheet with the step.
    kxgui::DialogAnswerer AnswerOtherDialog(std::function<void(HWND)> step)
    {
        return kxgui::DialogAnswerer(
            [this, step](HWND hDialog)
            {
                if (hDialog != m_pSheet->m_hWnd)
                    Then(hDialog, step);
                return 0;
            });
    }
    std::string ComboText(CPropertyPage& page, UINT nId) { return WindowText(Item(page, nId)); }

    CWinApp m_app{"Kestrelux"};
    HWND m_hMain = nullptr;
    CWnd m_main;
    std::unique_ptr<COptionsSheet> m_pSheet;
};

TEST_F(OptionsSheetTest, CaptionPagesAndButtons)
{
    OpenSheet();
    EXPECT_EQ("Kestrelux options", WindowText(m_pSheet.get()));
    CWnd* pTab = m_pSheet->GetTabControl();
    ASSERT_EQ(2, pTab->SendMessage(TCM_GETITEMCOUNT));
    std::string names[2];
    for (int i = 0; i < 2; ++i)
    {
        char text[64] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        pTab->SendMessage(TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        names[i] = text;
    }
    EXPECT_EQ("Import/Export", names[0]);
    EXPECT_EQ("Format", names[1]);
    CWnd* pApply = m_pSheet->GetDlgItem(0x3021);
    EXPECT_TRUE(pApply == nullptr || !pApply->IsWindowVisible());
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_pSheet->m_hWnd, false), "options_import_export.png");
    ShowPage(1);
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_pSheet->m_hWnd, false), "options_format.png");
}

TEST_F(OptionsSheetTest, WidensToTheDesktopButNeverGrowsTaller)
{
    OpenSheet();
    ASSERT_TRUE(m_pSheet->IsLayoutInitialized());
    CRect rcBefore;
    m_pSheet->GetWindowRect(&rcBefore);
    MINMAXINFO info = {};
    m_pSheet->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    CRect rcDesktop;
    ::GetClientRect(::GetDesktopWindow(), &rcDesktop);
    EXPECT_EQ(rcDesktop.Width(), info.ptMaxTrackSize.x);
    EXPECT_EQ(rcBefore.Height(), info.ptMaxTrackSize.y);
    EXPECT_EQ(CPoint(rcDesktop.TopLeft()), CPoint(info.ptMaxPosition));
    EXPECT_EQ(rcDesktop.Size(), CSize(info.ptMaxSize.x, info.ptMaxSize.y));
    m_pSheet->SetWindowPos(nullptr, 0, 0, rcBefore.Width() + 120, rcBefore.Height() + 80, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    CRect rcAfter;
    m_pSheet->GetWindowRect(&rcAfter);
    EXPECT_EQ(rcBefore.Width() + 120, rcAfter.Width());
    EXPECT_EQ(rcBefore.Height(), rcAfter.Height());
}

TEST_F(OptionsSheetTest, FormatPageRules)
{
    Store("REV", 3);
    Store("SZ", 8000);
    Store("SB", 1);
    OpenSheet();
    ShowPage(1);
    COptionsFormatPage& page = m_pSheet->m_pageFormat;
    // a stored 3 is no item: "don't keep", written as 0
    EXPECT_EQ("don't keep", ComboText(page, 1004));
    EXPECT_EQ("outside", ComboText(page, 1003));
    EXPECT_EQ("Custom", ComboText(page, 1001));
    EXPECT_EQ("8000", WindowText(Item(page, 1002)));
    EXPECT_TRUE(Item(page, 1002)->IsWindowEnabled());

    // "DVD5" then "Custom" brings the custom number back
    PickWithKeys(page, 1001, VK_UP);
    EXPECT_EQ("DVD5", ComboText(page, 1001));
    EXPECT_EQ("4486", WindowText(Item(page, 1002)));
    EXPECT_FALSE(Item(page, 1002)->IsWindowEnabled());
    PickWithKeys(page, 1001, VK_DOWN);
    EXPECT_EQ("8000", WindowText(Item(page, 1002)));
    EXPECT_EQ(8000, page.m_nTargetSize);

    // only positive numbers change the size
    TypeInto(page, 1002, "7000");
    EXPECT_EQ(7000, page.m_nTargetSize);
    for (const char* pszBad : {"abc", "0", ""})
    {
        TypeInto(page, 1002, pszBad);
        EXPECT_EQ(7000, page.m_nTargetSize) << pszBad;
    }

    ClickItem(page, 1026); // skip blank frames off
    ClickItem(page, 1051); // show sizes off
    EXPECT_EQ(0, static_cast<CButton*>(Item(page, 1026))->GetCheck());
    PickWithKeys(page, 1003, VK_UP, 2); // "center"
    EXPECT_EQ("center", ComboText(page, 1003));
    kxgui::SaveArtifact(kxgui::CaptureScreen(m_pSheet->m_hWnd, false), "options_format_edited.png");
    m_pSheet->SavePages();
    EXPECT_EQ(0, StoredInt("REV"));
    EXPECT_EQ(7000, StoredInt("SZ"));
    EXPECT_EQ(0, StoredInt("SB"));
    EXPECT_EQ(0, StoredInt("OPSS"));
    EXPECT_EQ(1, StoredInt("OPSPI"));
    EXPECT_EQ(1, StoredInt("BLDP"));
}

TEST_F(OptionsSheetTest, ImportExportPageRules)
{
    Store("INC", 10);
    Store("CUT", 0);
    OpenSheet();
    COptionsImportExportPage& page = m_pSheet->m_pageImportExport;
    EXPECT_EQ("9 sec", ComboText(page, 1004));
    EXPECT_FALSE(Item(page, 1010)->IsWindowEnabled());
    m_pSheet->SavePages();
    // shown as the nearest item above, but kept unless an item is picked
    EXPECT_EQ(10, StoredInt("INC"));

    PickWithKeys(page, 1004, VK_DOWN);
    EXPECT_EQ("15 sec", ComboText(page, 1004));
    ClickItem(page, 1003); // cut motion menus on
    EXPECT_TRUE(Item(page, 1010)->IsWindowEnabled());
    TypeInto(page, 1010, "12");
    TypeInto(page, 1009, "0");
    TypeInto(page, 1011, "D:\\out");
    m_pSheet->SavePages();
    EXPECT_EQ(30, StoredInt("INC"));
    EXPECT_EQ(1, StoredInt("CUT"));
    EXPECT_EQ(12, StoredInt("MDUR"));
    EXPECT_EQ(0, StoredInt("DUR"));
    EXPECT_EQ(1, GetOptionSceneCutDuration());
    EXPECT_STREQ("D:\\out", GetOptionExportFolder());
}

TEST_F(OptionsSheetTest, SelectButtonStoresTheChosenFolder)
{
    OpenSheet();
    COptionsImportExportPage& page = m_pSheet->m_pageImportExport;
    std::string caption, field;
    {
        kxgui::DialogAnswerer answerer = AnswerOtherDialog(
            [&](HWND hDlg)
            {
                char text[MAX_PATH * 2] = "";
                ::GetWindowTextA(hDlg, text, sizeof(text));
                caption = text;
                ::GetDlgItemTextA(hDlg, IDC_SELECT_FOLDER_EDIT, text, sizeof(text));
                field = text;
                ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            });
        ClickItem(page, 1045);
    }
    EXPECT_EQ("Select default directory for test DVD export", caption);
    ASSERT_FALSE(field.empty());
    const std::string shown = WindowText(Item(page, 1013));
    EXPECT_FALSE(shown.empty());
    m_pSheet->SavePages();
    EXPECT_STREQ(shown.c_str(), GetOptionTestExportFolder());
}

LOGFONTA SampleFont(CPropertyPage& page)
{
    LOGFONTA lf = {};
    const HFONT hFont = reinterpret_cast<HFONT>(page.GetDlgItem(1041)->SendMessage(WM_GETFONT));
    ::GetObjectA(hFont, sizeof(lf), &lf);
    return lf;
}

TEST_F(OptionsSheetTest, FontButtonsChangeTheSample)
{
    OpenSheet();
    ShowPage(1);
    COptionsFormatPage& page = m_pSheet->m_pageFormat;
    std::string caption;
    {
        kxgui::DialogAnswerer answerer = AnswerOtherDialog(
            [&](HWND hDlg)
            {
                char text[64] = "";
                ::GetWindowTextA(hDlg, text, sizeof(text));
                caption = text;
                ::CheckDlgButton(hDlg, 1041, BST_CHECKED);
                ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(1041, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, 1041)));
                ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            });
        ClickItem(page, 1040);
    }
    EXPECT_EQ("Font", caption);
    EXPECT_NE(0, SampleFont(page).lfUnderline);
    ClickItem(page, 1042);
    LOGFONTA lfStock = {};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lfStock), &lfStock);
    const LOGFONTA lfSample = SampleFont(page);
    EXPECT_EQ(0, lfSample.lfUnderline);
    EXPECT_STREQ(lfStock.lfFaceName, lfSample.lfFaceName);
    EXPECT_EQ(lfStock.lfHeight, lfSample.lfHeight);
}

// The options command, answered once the sheet is up.
class CCountingView : public CView
{
public:
    void OnDraw(CDC*) override {}
    void OnUpdate(CView*, LPARAM, CObject*) override { ++m_nUpdates; }
    int m_nUpdates = 0;
};

TEST_F(OptionsSheetTest, CancelLeavesTheRegistryAsItWas)
{
    Store("REV", 3);
    Store("INC", 10);
    AfxGetApp()->WriteProfileString(OPTIONS_SECTION, "IMP", "C:\\dvd");
    const auto before = SectionValues();
    kxgui::DialogAnswerer answerer(
        [&](HWND hSheet)
        {
            Then(hSheet, [](HWND hWnd) { ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
            return 0;
        });
    const CString sFontBefore = GetOptionFont().ToString();
    RunOptionsSheet(&m_main);
    EXPECT_EQ(1u, answerer.Seen().size());
    EXPECT_EQ(before, SectionValues());
    EXPECT_STREQ(sFontBefore, GetOptionFont().ToString());
}

TEST_F(OptionsSheetTest, OkSavesAppliesAndUpdatesEveryView)
{
    Store("REV", 3);
    Store("INC", 1);
    CMultiDocTemplate* pTemplate =
        new CMultiDocTemplate(0, RUNTIME_CLASS(CDocument), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(CView));
    m_app.AddDocTemplate(pTemplate);
    CDocument docs[2];
    CCountingView views[2][2];
    for (int d = 0; d < 2; ++d)
    {
        pTemplate->AddDocument(&docs[d]);
        for (CCountingView& view : views[d])
            docs[d].AddView(&view);
    }
    g_nRevisionLimit = 77;
    g_nBovShortestDuration = 6;
    kxgui::DialogAnswerer answerer(
        [&](HWND hSheet)
        {
            Then(hSheet,
                 [](HWND hWnd)
                 {
                     // the format page corrects what it shows once it opens
                     ::SendMessageA(hWnd, PSM_SETCURSEL, 1, 0);
                     ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                 });
            return 0;
        });
    RunOptionsSheet(&m_main);
    EXPECT_EQ(0, StoredInt("REV"));
    EXPECT_EQ(1, StoredInt("INC"));
    EXPECT_EQ(4486, StoredInt("SZ"));
    EXPECT_EQ(0, g_nRevisionLimit);
    EXPECT_EQ(1, g_nBovShortestDuration);
    for (auto& docViews : views)
        for (CCountingView& view : docViews)
            EXPECT_EQ(1, view.m_nUpdates);
    for (int d = 0; d < 2; ++d)
    {
        for (CCountingView& view : views[d])
            docs[d].RemoveView(&view);
        pTemplate->RemoveDocument(&docs[d]);
    }
}

} // namespace
