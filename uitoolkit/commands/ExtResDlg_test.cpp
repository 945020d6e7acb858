// The dialog bases on real dialogs and sheets: dialog-init data run once by
// modal dialogs only, the property-sheet font, right-to-left mirroring of
// both template layouts, and sheets mixing toolkit and framework pages.
#include "uitoolkit/commands/ExtResDlg.h"

#include "framework/win/DialogTemplate.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "uitoolkit/commands/ExtHookSink.h"
#include "uitoolkit/commands/ExtResourceManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

const UINT kIdFilledDialog = 0x7350, kIdCombo = 0x7351, kIdList = 0x7352;
const UINT kIdSansSerif8 = 0x7353, kIdShellDlg10 = 0x7354, kIdClassicDialog = 0x7355;
const UINT kIdToolkitPage = 0x7358, kIdFrameworkPage = 0x7359;

std::vector<std::string> Items(HWND hCtrl, bool bCombo)
{
    std::vector<std::string> items;
    const int n = (int)::SendMessageA(hCtrl, bCombo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i)
    {
        char text[64] = {};
        ::SendMessageA(hCtrl, bCombo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// Counts WM_INITIALUPDATE at a control, and can make it refuse strings.
class CControlWatch : public CExtHookSink
{
public:
    int m_nInitialUpdates = 0;
    std::vector<std::string> m_added;
    std::string m_sRefuse;

    bool DispatchHookedMessage(LRESULT& lResult, HWND, UINT nMessage, WPARAM&, LPARAM& lParam) override
    {
        if (nMessage == WM_INITIALUPDATE)
            ++m_nInitialUpdates;
        if (nMessage == LB_ADDSTRING)
        {
            const std::string sText = reinterpret_cast<const char*>(lParam);
            if (sText == m_sRefuse)
            {
                lResult = LB_ERR;
                return true;
            }
            m_added.push_back(sText);
        }
        return false;
    }
};

// Records what a dialog showed when it opened, then closes itself once it
// is on the screen.
class CProbeDialog : public CExtResDlg
{
public:
    explicit CProbeDialog(UINT nIDTemplate, bool bRTLAllowed = false, const char* screenshot = nullptr)
        : CExtResDlg(nIDTemplate), m_bRTLAllowed(bRTLAllowed), m_screenshot(screenshot)
    {
    }
    bool IsRTLAllowed() override { return m_bRTLAllowed; }
    BOOL OnInitDialog() override
    {
        if (HWND hList = ::GetDlgItem(m_hWnd, kIdList))
            m_watch.SetupHookWndSink(hList);
        const BOOL bResult = CExtResDlg::OnInitDialog();
        if (HWND hCombo = ::GetDlgItem(m_hWnd, kIdCombo))
            m_combo = Items(hCombo, true);
        if (HWND hList = ::GetDlgItem(m_hWnd, kIdList))
            m_list = Items(hList, false);
        m_dwExStyle = GetExStyle();
        LOGFONTA lf = {};
        ::GetObjectA(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)), sizeof(lf), &lf);
        m_sFace = lf.lfFaceName;
        for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
            ++m_nChildren;
        return bResult;
    }
    afx_msg LRESULT OnKickIdle(WPARAM, LPARAM)
    {
        if (m_screenshot != nullptr)
        {
            EXPECT_FALSE(kxgui::SaveArtifact(kxgui::CaptureScreen(m_hWnd, false), m_screenshot).empty());
        }
        EndDialog(IDOK);
        return 0;
    }

    CControlWatch m_watch;
    std::vector<std::string> m_combo, m_list;
    DWORD m_dwExStyle = 0;
    std::string m_sFace;
    int m_nChildren = 0;

private:
    bool m_bRTLAllowed;
    const char* m_screenshot;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CProbeDialog, CExtResDlg)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
END_MESSAGE_MAP()

class ExtResDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hHost = kxgui::CreateTestWindow(400, 300, "dialog bases");
        ASSERT_NE(m_hHost, nullptr);
    }
    void TearDown() override
    {
        g_ResourceManager->SetRTLMode(-1);
        ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        AfxDeleteTempMaps();
    }
    HWND m_hHost = nullptr;
};

TEST_F(ExtResDlgTest, AModalDialogRunsItsDialogInitDataOnceAModelessOneNot)
{
    CProbeDialog modal(kIdFilledDialog);
    modal.m_pParentWnd = CWnd::FromHandle(m_hHost);
    EXPECT_EQ(modal.DoModal(), IDOK);
    EXPECT_EQ(modal.m_combo, (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(modal.m_list, (std::vector<std::string>{"One", "Two"})); // 0x0402 skipped
    EXPECT_EQ(modal.m_watch.m_nInitialUpdates, 1);

    CProbeDialog modeless(kIdFilledDialog);
    ASSERT_TRUE(modeless.Create(kIdFilledDialog, CWnd::FromHandle(m_hHost)));
    EXPECT_TRUE(modeless.m_combo.empty());
    EXPECT_TRUE(modeless.m_list.empty());
    EXPECT_EQ(modeless.m_watch.m_nInitialUpdates, 0);
    modeless.DestroyWindow();
}

TEST_F(ExtResDlgTest, AFailingRecordStopsTheRestAndTheEndOfTheDataEndsTheWalk)
{
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(kIdFilledDialog, CWnd::FromHandle(m_hHost)));
    HWND hList = ::GetDlgItem(dlg.m_hWnd, kIdList);
    CControlWatch watch;
    watch.m_sRefuse = "refused";
    watch.SetupHookWndSink(hList);
    auto record = [](std::vector<BYTE>& out, WORD nId, WORD nMessage, const char* text)
    {
        const DWORD n = (DWORD)std::strlen(text) + 1;
        out.insert(out.end(), {(BYTE)nId, (BYTE)(nId >> 8), (BYTE)nMessage, (BYTE)(nMessage >> 8), (BYTE)n,
                               (BYTE)(n >> 8), (BYTE)(n >> 16), (BYTE)(n >> 24)});
        out.insert(out.end(), text, text + n);
    };
    std::vector<BYTE> data;
    record(data, (WORD)kIdList, 0x0401, "first");
    record(data, (WORD)kIdList, 0x0401, "refused");
    record(data, (WORD)kIdList, 0x0401, "never");
    EXPECT_FALSE(ExecuteDialogInitData(&dlg, data.data(), (DWORD)data.size()));
    EXPECT_EQ(watch.m_added, std::vector<std::string>{"first"});
    EXPECT_EQ(watch.m_nInitialUpdates, 0);

    // no ending record and the last one cut short: what is whole runs
    std::vector<BYTE> cut;
    record(cut, (WORD)kIdList, 0x0401, "whole");
    record(cut, (WORD)kIdList, 0x0401, "cut short");
    watch.m_added.clear();
    EXPECT_TRUE(ExecuteDialogInitData(&dlg, cut.data(), (DWORD)cut.size() - 4));
    EXPECT_EQ(watch.m_added, std::vector<std::string>{"whole"});
    EXPECT_EQ(watch.m_nInitialUpdates, 1);

    // a template without dialog-init data only gets the update
    EXPECT_TRUE(ExecuteDialogInitResource(&dlg, MAKEINTRESOURCEA(kIdSansSerif8)));
    EXPECT_EQ(watch.m_nInitialUpdates, 2);
    dlg.DestroyWindow();
}

// The font of a template copy.
std::pair<std::string, WORD> FontOf(HGLOBAL hTemplate)
{
    CString sFace;
    WORD nSize = 0;
    const DLGTEMPLATE* p = static_cast<const DLGTEMPLATE*>(::GlobalLock(hTemplate));
    CDialogTemplate::GetFont(p, (UINT)::GlobalSize(hTemplate), sFace, nSize);
    ::GlobalUnlock(hTemplate);
    ::GlobalFree(hTemplate);
    return {std::string(sFace), nSize};
}

const DLGTEMPLATE* TemplateResource(UINT nId, UINT& cb)
{
    HINSTANCE hModule = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceA(hModule, MAKEINTRESOURCEA(nId), RT_DIALOG);
    cb = ::SizeofResource(hModule, hRes);
    return static_cast<const DLGTEMPLATE*>(::LockResource(::LoadResource(hModule, hRes)));
}

TEST_F(ExtResDlgTest, TemplatesInTheStandardFacesAtTheSheetSizeGetTheSheetFont)
{
    CString sSheetFace;
    WORD nSheetSize = 0;
    ASSERT_TRUE(GetPropertySheetFont(sSheetFace, nSheetSize, false));
    ASSERT_EQ(nSheetSize, 8); // the test templates are made for it
    const std::pair<std::string, WORD> sheetFont = {std::string(sSheetFace), nSheetSize};
    struct Case
    {
        UINT nId;
        std::pair<std::string, WORD> expected;
    } cases[] = {
        {kIdFilledDialog, sheetFont},                       // "MS Shell Dlg", 8
        {kIdSansSerif8, sheetFont},                         // "MS Sans Serif", 8
        {kIdShellDlg10, {std::string("MS Shell Dlg"), 10}}, // another size keeps its font
    };
    for (const Case& c : cases)
    {
        UINT cb = 0;
        const DLGTEMPLATE* p = TemplateResource(c.nId, cb);
        ASSERT_NE(p, nullptr) << c.nId;
        EXPECT_EQ(FontOf(AdjustDialogTemplateFont(p, cb)), c.expected) << c.nId;
    }

    // pages always get the sheet font, and no copy when they have it
    UINT cb = 0;
    const DLGTEMPLATE* pLarger = TemplateResource(kIdShellDlg10, cb);
    HGLOBAL hPage = ChangePageTemplateFont(pLarger, cb, false);
    ASSERT_NE(hPage, nullptr);
    const SIZE_T cbPage = ::GlobalSize(hPage);
    std::vector<BYTE> pageBytes(cbPage);
    std::memcpy(pageBytes.data(), ::GlobalLock(hPage), cbPage);
    ::GlobalUnlock(hPage);
    EXPECT_EQ(FontOf(hPage), sheetFont);
    EXPECT_EQ(ChangePageTemplateFont(reinterpret_cast<const DLGTEMPLATE*>(pageBytes.data()), (UINT)cbPage, false),
              nullptr);

    // and a dialog made from the template shows the face
    CProbeDialog dlg(kIdSansSerif8);
    dlg.m_pParentWnd = CWnd::FromHandle(m_hHost);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_sFace, sheetFont.first);
}

TEST_F(ExtResDlgTest, RightToLeftMirrorsBothTemplateLayoutsInACopy)
{
    UINT cb = 0;
    const DLGTEMPLATE* pClassic = TemplateResource(kIdClassicDialog, cb);
    ASSERT_NE(pClassic, nullptr);
    const std::vector<BYTE> resourceBefore(reinterpret_cast<const BYTE*>(pClassic),
                                           reinterpret_cast<const BYTE*>(pClassic) + cb);

    // without right to left, or where the dialog does not allow it: as is
    CProbeDialog plain(kIdClassicDialog, true);
    plain.m_pParentWnd = CWnd::FromHandle(m_hHost);
    g_ResourceManager->SetRTLMode(0);
    EXPECT_EQ(plain.DoModal(), IDOK);
    EXPECT_EQ(plain.m_dwExStyle & WS_EX_LAYOUTRTL, 0u);
    g_ResourceManager->SetRTLMode(1);
    CProbeDialog refusing(kIdClassicDialog, false);
    refusing.m_pParentWnd = CWnd::FromHandle(m_hHost);
    EXPECT_EQ(refusing.DoModal(), IDOK);
    EXPECT_EQ(refusing.m_dwExStyle & WS_EX_LAYOUTRTL, 0u);

    CProbeDialog classic(kIdClassicDialog, true, "mirrored_dialog.png");
    classic.m_pParentWnd = CWnd::FromHandle(m_hHost);
    EXPECT_EQ(classic.DoModal(), IDOK);
    EXPECT_NE(classic.m_dwExStyle & WS_EX_LAYOUTRTL, 0u);
    EXPECT_EQ(classic.m_nChildren, plain.m_nChildren); // the item count is whole
    EXPECT_EQ(classic.m_nChildren, 3);

    CProbeDialog extended(kIdFilledDialog, true);
    extended.m_pParentWnd = CWnd::FromHandle(m_hHost);
    EXPECT_EQ(extended.DoModal(), IDOK);
    EXPECT_NE(extended.m_dwExStyle & WS_EX_LAYOUTRTL, 0u);
    EXPECT_EQ(extended.m_list, (std::vector<std::string>{"One", "Two"}));

    const BYTE* pAfter = reinterpret_cast<const BYTE*>(TemplateResource(kIdClassicDialog, cb));
    EXPECT_EQ(std::vector<BYTE>(pAfter, pAfter + cb), resourceBefore);
}

// A sheet that shows the copies it gave the system.
class CProbeSheet : public CExtResPS
{
public:
    int m_nLayoutReady = 0;
    void OnSheetLayoutReady() override { ++m_nLayoutReady; }
    const PROPSHEETPAGEA& Copy(int i) const { return m_pageArray[i]; }
};

class CProbePage : public CExtResPP
{
public:
    explicit CProbePage(UINT nIDTemplate) : CExtResPP(nIDTemplate) {}
    BOOL OnInitDialog() override
    {
        const BOOL bResult = CExtResPP::OnInitDialog();
        m_list = Items(::GetDlgItem(m_hWnd, kIdList), false);
        return bResult;
    }
    std::vector<std::string> m_list;
    using CExtResPP::m_hPageTemplateCopy;
};

TEST_F(ExtResDlgTest, ASheetMixingToolkitAndFrameworkPagesPreparesEachItsOwnWay)
{
    CProbeSheet sheet;
    CProbePage toolkitPage(0x10000 | kIdToolkitPage); // the high bits are dropped
    toolkitPage.m_nDialogInitFlag = 1;
    CPropertyPage frameworkPage(kIdFrameworkPage);
    EXPECT_EQ(toolkitPage.m_psp.dwSize, sizeof(PROPSHEETPAGEA));
    EXPECT_EQ(toolkitPage.m_psp.pszTemplate, MAKEINTRESOURCEA(kIdToolkitPage));
    sheet.AddPage(&toolkitPage);
    sheet.AddPage(&frameworkPage);
    ASSERT_TRUE(sheet.Create(CWnd::FromHandle(m_hHost)));
    kxgui::PumpUntilIdle();

    // the toolkit page runs from its prepared copy, the other as it was
    const PROPSHEETPAGEA& toolkitCopy = sheet.Copy(0);
    EXPECT_NE(toolkitCopy.dwFlags & PSP_DLGINDIRECT, 0u);
    ASSERT_NE(toolkitPage.m_hPageTemplateCopy, nullptr);
    EXPECT_EQ(toolkitCopy.pResource, ::GlobalLock(toolkitPage.m_hPageTemplateCopy));
    ::GlobalUnlock(toolkitPage.m_hPageTemplateCopy);
    EXPECT_EQ(toolkitPage.m_psp.dwFlags & PSP_DLGINDIRECT, 0u); // its own structure is untouched
    const PROPSHEETPAGEA& frameworkCopy = sheet.Copy(1);
    EXPECT_EQ(frameworkCopy.dwFlags & PSP_DLGINDIRECT, 0u);
    EXPECT_EQ(frameworkCopy.pszTemplate, MAKEINTRESOURCEA(kIdFrameworkPage));

    ASSERT_NE(toolkitPage.m_hWnd, nullptr);
    EXPECT_EQ(toolkitPage.m_list, std::vector<std::string>{"Paged"});
    EXPECT_TRUE(sheet.SetActivePage(1));
    kxgui::PumpUntilIdle();
    EXPECT_NE(frameworkPage.m_hWnd, nullptr);
    EXPECT_GE(sheet.m_nLayoutReady, 1);

    // the toolkit page shows the sheet's font
    CString sSheetFace;
    WORD nSheetSize = 0;
    ASSERT_TRUE(GetPropertySheetFont(sSheetFace, nSheetSize, false));
    LOGFONTA lf = {};
    ::GetObjectA(reinterpret_cast<HFONT>(toolkitPage.SendMessage(WM_GETFONT)), sizeof(lf), &lf);
    EXPECT_STREQ(lf.lfFaceName, sSheetFace);
    sheet.DestroyWindow();
}

TEST_F(ExtResDlgTest, APageFromAnInMemoryTemplateRunsNoDialogInitData)
{
    UINT cb = 0;
    const DLGTEMPLATE* pTemplate = TemplateResource(kIdToolkitPage, cb);
    CProbePage page(kIdToolkitPage);
    page.m_nDialogInitFlag = 1;
    PROPSHEETPAGEA psp = page.m_psp;
    psp.dwFlags |= PSP_DLGINDIRECT;
    psp.pResource = pTemplate;
    page.PreProcessPageTemplate(psp, false);
    EXPECT_EQ(page.m_nDialogInitFlag, 0u);
    EXPECT_NE(psp.dwFlags & PSP_DLGINDIRECT, 0u);
}

} // namespace
