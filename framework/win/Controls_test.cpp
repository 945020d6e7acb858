#include "framework/win/AfxWin.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace
{

const COLORREF kOwnerColor = RGB(200, 30, 140);

class CPlainParent : public CWnd
{
public:
    int selChanges = 0;
    int clicks = 0;

protected:
    afx_msg void OnComboSelChange() { ++selChanges; }
    afx_msg void OnButtonClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPlainParent, CWnd)
ON_CBN_SELCHANGE(301, OnComboSelChange)
ON_BN_CLICKED(302, OnButtonClicked)
END_MESSAGE_MAP()

class ControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hHost = kxgui::CreateTestWindow(360, 240, "Controls");
        ASSERT_NE(m_hHost, nullptr);
        ASSERT_TRUE(m_parent.Create(nullptr, "parent", WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 360, 240),
                                    CWnd::FromHandle(m_hHost), 1));
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        AfxDeleteTempMaps();
    }
    HWND m_hHost = nullptr;
    CPlainParent m_parent;
};

class COwnerButton : public CButton
{
public:
    int draws = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
    {
        ++draws;
        CDC* pDC = CDC::FromHandle(lpDIS->hDC);
        pDC->FillSolidRect(&lpDIS->rcItem, kOwnerColor);
    }
};

TEST_F(ControlsTest, OwnerDrawnButtonDrawsThroughItsOwnDrawItem)
{
    COwnerButton button;
    ASSERT_TRUE(button.Create("owner", WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 90, 40), &m_parent, 302));
    button.Invalidate();
    button.UpdateWindow();
    kxgui::PumpUntilIdle();
    EXPECT_GT(button.draws, 0);
    kxgui::PixelBuffer px = kxgui::CaptureScreen(m_hHost);
    EXPECT_EQ(px.At(50, 25), kOwnerColor);
    EXPECT_NE(px.At(100, 25), kOwnerColor);

    // a click still reaches the parent's map
    kxgui::Click(m_hHost, POINT{50, 25});
    EXPECT_EQ(m_parent.clicks, 1);
}

// Sorts in reverse and records every owner-draw request it gets back.
class CReverseList : public CListBox
{
public:
    std::vector<std::string> events;
    int CompareItem(LPCOMPAREITEMSTRUCT lpCIS) override
    {
        events.push_back("compare");
        // item data are the texts' first letters; reverse alphabetical order
        return lpCIS->itemData1 > lpCIS->itemData2 ? -1 : (lpCIS->itemData1 < lpCIS->itemData2 ? 1 : 0);
    }
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override
    {
        events.push_back("measure");
        lpMIS->itemHeight = 23;
    }
    void DeleteItem(LPDELETEITEMSTRUCT) override { events.push_back("delete"); }
    void DrawItem(LPDRAWITEMSTRUCT) override { events.push_back("draw"); }
};

TEST_F(ControlsTest, OwnerDrawnListBoxMeasuresComparesAndDeletesThroughReflection)
{
    CReverseList list;
    ASSERT_TRUE(list.Create(WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_SORT, CRect(10, 50, 150, 200), &m_parent, 303));
    EXPECT_EQ(list.GetItemHeight(0), 23);
    list.AddString(reinterpret_cast<LPCTSTR>(static_cast<UINT_PTR>('b')));
    list.AddString(reinterpret_cast<LPCTSTR>(static_cast<UINT_PTR>('a')));
    list.AddString(reinterpret_cast<LPCTSTR>(static_cast<UINT_PTR>('c')));
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetItemData(0), static_cast<DWORD_PTR>('c'));
    EXPECT_EQ(list.GetItemData(2), static_cast<DWORD_PTR>('a'));
    EXPECT_NE(std::find(list.events.begin(), list.events.end(), "compare"), list.events.end());
    list.events.clear();
    list.ResetContent();
    EXPECT_EQ(std::count(list.events.begin(), list.events.end(), "delete"), 3);
}

class CMeasuredCombo : public CComboBox
{
public:
    int measures = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override
    {
        ++measures;
        lpMIS->itemHeight = 19;
    }
};

TEST_F(ControlsTest, ComboBoxSelectionsNotifyTheParentMap)
{
    CMeasuredCombo combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                             CRect(170, 10, 330, 150), &m_parent, 301));
    // measured while it was being created: the object was already attached
    EXPECT_GT(combo.measures, 0);
    EXPECT_EQ(combo.GetItemHeight(0), 19);
    for (const char* s : {"NTSC", "PAL", "Film"})
        combo.AddString(s);
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.FindStringExact(-1, "PAL"), 1);
    combo.SetCurSel(0);
    CString text;
    combo.GetLBText(0, text);
    EXPECT_STREQ(text, "NTSC");
    EXPECT_EQ(m_parent.selChanges, 0); // programmatic changes do not notify

    combo.SetFocus();
    kxgui::PressKey(VK_DOWN);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(m_parent.selChanges, 1);
}

// A label that answers its own colours, or passes them to the parent.
class CColorLabel : public CStatic
{
public:
    CBrush m_brush{RGB(10, 20, 30)};
    bool answer = true;
    int asked = 0;

protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor)
    {
        ++asked;
        EXPECT_EQ(nCtlColor, static_cast<UINT>(CTLCOLOR_STATIC));
        return answer ? static_cast<HBRUSH>(m_brush.GetSafeHandle()) : nullptr;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CColorLabel, CStatic)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CColorParent : public CWnd
{
public:
    CBrush m_brush{RGB(90, 80, 70)};
    int asked = 0;

protected:
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        ++asked;
        return static_cast<HBRUSH>(m_brush.GetSafeHandle());
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CColorParent, CWnd)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST_F(ControlsTest, ControlColoursGoToTheControlFirstAndToTheParentWhenItPasses)
{
    CColorParent parent;
    ASSERT_TRUE(parent.Create(nullptr, "colours", WS_VISIBLE, CRect(0, 0, 200, 100), &m_parent, 2));
    CColorLabel label;
    ASSERT_TRUE(label.Create("label", WS_VISIBLE, CRect(0, 0, 80, 20), &parent, 3));
    CClientDC dc(&label);
    const struct
    {
        bool answer;
        HBRUSH expected;
        int labelAsked;
        int parentAsked;
    } cases[] = {
        {true, static_cast<HBRUSH>(label.m_brush.GetSafeHandle()), 1, 0},
        {false, static_cast<HBRUSH>(parent.m_brush.GetSafeHandle()), 1, 1},
    };
    for (const auto& c : cases)
    {
        label.answer = c.answer;
        label.asked = parent.asked = 0;
        LRESULT r = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                       reinterpret_cast<LPARAM>(label.m_hWnd));
        EXPECT_EQ(reinterpret_cast<HBRUSH>(r), c.expected);
        EXPECT_EQ(label.asked, c.labelAsked);
        EXPECT_EQ(parent.asked, c.parentAsked);
    }
}

TEST_F(ControlsTest, EditSpinProgressAndScrollBarMembers)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER | ES_MULTILINE, CRect(10, 10, 150, 60), &m_parent, 310));
    edit.SetWindowText("first\r\nsecond");
    EXPECT_EQ(edit.GetLineCount(), 2);
    char line[16];
    EXPECT_EQ(edit.GetLine(1, line, sizeof(line)), 6);
    EXPECT_STREQ(line, "second");
    // a short buffer gets a cut, terminated line
    char small[4];
    EXPECT_EQ(edit.GetLine(1, small, sizeof(small)), 3);
    EXPECT_STREQ(small, "sec");
    char tiny[2];
    EXPECT_EQ(edit.GetLine(1, tiny, sizeof(tiny)), 1);
    EXPECT_STREQ(tiny, "s");
    edit.SetSel(0, 5);
    int start = -1, end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 5);
    edit.ReplaceSel("1st");
    CString text;
    edit.GetWindowText(text);
    EXPECT_STREQ(text, "1st\r\nsecond");

    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT, CRect(0, 0, 16, 20), &m_parent, 311));
    spin.SetRange32(-5, 500);
    spin.SetPos32(250);
    int lo = 0, hi = 0;
    spin.GetRange32(lo, hi);
    EXPECT_EQ(lo, -5);
    EXPECT_EQ(hi, 500);
    EXPECT_EQ(spin.GetPos32(), 250);

    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_VISIBLE, CRect(10, 200, 200, 220), &m_parent, 312));
    progress.SetRange32(0, 1000);
    progress.SetPos(400);
    progress.SetStep(100);
    progress.StepIt();
    EXPECT_EQ(progress.GetPos(), 500);
    progress.GetRange(lo, hi);
    EXPECT_EQ(hi, 1000);

    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_VISIBLE | SBS_HORZ, CRect(10, 170, 200, 186), &m_parent, 313));
    SCROLLINFO si = {};
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 95;
    bar.SetScrollInfo(&si);
    EXPECT_EQ(bar.GetScrollLimit(), 90);
    EXPECT_EQ(bar.GetScrollPos(), 90); // clamped to the limit
}

TEST_F(ControlsTest, RichEditAppendsFormattedTextAtTheEnd)
{
    CRichEditCtrl rich;
    ASSERT_TRUE(rich.Create(WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                            CRect(10, 10, 300, 200), &m_parent, 320));
    for (const char* s : {"one\r\n", "two\r\n"})
    {
        long n = rich.GetTextLength();
        rich.SetSel(n, n);
        rich.ReplaceSel(s);
    }
    long n = rich.GetTextLength();
    rich.SetSel(n, n);
    rich.ReplaceSel("red");
    rich.SetSel(n, n + 3);
    CHARFORMATA cf = {};
    cf.dwMask = CFM_COLOR | CFM_BOLD;
    cf.dwEffects = CFE_BOLD;
    cf.crTextColor = RGB(200, 0, 0);
    EXPECT_TRUE(rich.SetSelectionCharFormat(cf));
    CHARFORMATA got = {};
    rich.GetSelectionCharFormat(got);
    EXPECT_EQ(got.crTextColor, RGB(200, 0, 0));
    EXPECT_TRUE(got.dwEffects & CFE_BOLD);
    EXPECT_STREQ(rich.GetSelText(), "red");
    EXPECT_EQ(rich.GetLineCount(), 3);
    EXPECT_EQ(rich.LineIndex(1), 5); // version 1.0 keeps both characters of "\r\n"
}

TEST_F(ControlsTest, CmdUIDrivesAButtonAndMovesTheFocusOffWhenDisabling)
{
    CButton check, other;
    ASSERT_TRUE(
        check.Create("check", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, CRect(10, 10, 120, 30), &m_parent, 330));
    ASSERT_TRUE(other.Create("other", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, CRect(10, 40, 120, 60), &m_parent, 331));
    CCmdUI ui;
    ui.m_nID = 330;
    ui.m_pOther = &check;
    ui.SetCheck(1);
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    ui.SetText("renamed");
    CString text;
    check.GetWindowText(text);
    EXPECT_STREQ(text, "renamed");
    check.SetFocus();
    ui.Enable(FALSE);
    EXPECT_FALSE(check.IsWindowEnabled());
    EXPECT_TRUE(ui.m_bEnableChanged);
    EXPECT_NE(::GetFocus(), check.m_hWnd);
}

TEST_F(ControlsTest, ScreenshotOfAWindowWithControls)
{
    CStatic label;
    CButton button, check;
    CEdit edit;
    CComboBox combo;
    CListBox list;
    CProgressCtrl progress;
    ASSERT_TRUE(label.Create("Title set 1", WS_VISIBLE | SS_LEFT, CRect(10, 10, 170, 30), &m_parent));
    ASSERT_TRUE(button.Create("Export", WS_VISIBLE | BS_PUSHBUTTON, CRect(250, 200, 350, 230), &m_parent, 341));
    ASSERT_TRUE(check.Create("Keep menus", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 40, 170, 60), &m_parent, 342));
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER, CRect(10, 70, 170, 94), &m_parent, 343));
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(190, 10, 350, 120), &m_parent, 344));
    ASSERT_TRUE(list.Create(WS_VISIBLE | WS_BORDER, CRect(190, 50, 350, 180), &m_parent, 345));
    ASSERT_TRUE(progress.Create(WS_VISIBLE, CRect(10, 200, 230, 220), &m_parent, 346));
    edit.SetWindowText("VIDEO_TS");
    check.SetCheck(BST_CHECKED);
    for (const char* s : {"Menu domain", "Title domain"})
    {
        combo.AddString(s);
        list.AddString(s);
    }
    combo.SetCurSel(1);
    list.SetCurSel(0);
    progress.SetPos(60);
    CFont* pFont = CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    for (CWnd* pWnd : std::initializer_list<CWnd*>{&label, &button, &check, &edit, &combo, &list})
        pWnd->SetFont(pFont);
    m_parent.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    kxgui::PumpUntilIdle();

    kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_hHost);
    ASSERT_EQ(shot.width, 360);
    EXPECT_FALSE(kxgui::SaveArtifact(shot, "controls_window.png").empty());
    // the progress bar's filled part is drawn in the highlight colour
    COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_GT(shot.CountColor(highlight, RECT{10, 200, 230, 220}), 0);
    EXPECT_EQ(shot.CountColor(highlight, RECT{200, 205, 228, 215}), 0);
}

// ---- menus -----------------------------------------------------------------

// A menu template in memory: "File" with two items and a separator.
std::vector<WORD> FileMenuTemplate()
{
    std::vector<WORD> t = {0, 0}; // version, header size
    auto text = [&t](const char* s)
    {
        for (; *s; ++s)
            t.push_back(static_cast<WORD>(*s));
        t.push_back(0);
    };
    t.push_back(MF_POPUP | MF_END);
    text("&File");
    t.push_back(0);
    t.push_back(ID_FILE_NEW);
    text("&New");
    t.push_back(MF_SEPARATOR);
    t.push_back(0);
    t.push_back(0);
    t.push_back(MF_END);
    t.push_back(ID_APP_EXIT);
    text("E&xit");
    return t;
}

TEST(Menu, LoadIndirectSubMenusAndHandleMaps)
{
    std::vector<WORD> tmpl = FileMenuTemplate();
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenuIndirect(tmpl.data()));
    EXPECT_EQ(CMenu::FromHandlePermanent(menu.GetSafeHmenu()), &menu);
    ASSERT_EQ(menu.GetMenuItemCount(), 1u);
    CMenu* pFile = menu.GetSubMenu(0);
    ASSERT_NE(pFile, nullptr);
    EXPECT_EQ(CMenu::FromHandlePermanent(pFile->GetSafeHmenu()), nullptr); // a temporary wrapper
    ASSERT_EQ(pFile->GetMenuItemCount(), 3u);
    EXPECT_EQ(pFile->GetMenuItemID(0), static_cast<UINT>(ID_FILE_NEW));
    EXPECT_EQ(pFile->GetMenuItemID(2), static_cast<UINT>(ID_APP_EXIT));
    CString text;
    pFile->GetMenuString(2, text, MF_BYPOSITION);
    EXPECT_STREQ(text, "E&xit");

    // the update protocol on a menu item: text, radio and a popup left alone
    CCmdUI ui;
    ui.m_pMenu = pFile;
    ui.m_nIndex = 0;
    ui.m_nID = ID_FILE_NEW;
    ui.SetText("&New Project");
    ui.SetRadio(TRUE);
    pFile->GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&New Project");
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    ASSERT_TRUE(pFile->GetMenuItemInfo(0, &info, TRUE));
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    EXPECT_TRUE(info.fState & MFS_CHECKED);
    CCmdUI popupUi;
    popupUi.m_pMenu = &menu;
    popupUi.m_pSubMenu = pFile;
    popupUi.m_nIndex = 0;
    popupUi.m_nID = static_cast<UINT>(-1);
    popupUi.Enable(FALSE);
    EXPECT_EQ(menu.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED, 0u);

    HMENU hMenu = menu.Detach();
    EXPECT_EQ(CMenu::FromHandlePermanent(hMenu), nullptr);
    EXPECT_TRUE(::IsMenu(hMenu));
    CMenu other;
    ASSERT_TRUE(other.Attach(hMenu));
    EXPECT_TRUE(other.DestroyMenu());
    EXPECT_FALSE(::IsMenu(hMenu));
    EXPECT_EQ(other.GetSafeHmenu(), nullptr);
    AfxDeleteTempMaps();
}

} // namespace
