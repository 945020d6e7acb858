// The colour popup menu tracked under a real owner frame: choosing by mouse
// and keyboard, the notifications and where they go, the size and the
// initial colour, and screenshots in two themes.
#include "uitoolkit/commands/ExtPopupColorMenuWnd.h"

#include "framework/win/AfxMsg.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/PopupStage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{

struct Notice
{
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
};

// Records the colour notifications it receives.
class CColorOwnerFrame : public CFrameWnd
{
public:
    afx_msg LRESULT OnChanged(WPARAM wParam, LPARAM lParam)
    {
        return Record(CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged, wParam, lParam);
    }
    afx_msg LRESULT OnFinally(WPARAM wParam, LPARAM lParam)
    {
        return Record(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally, wParam, lParam);
    }
    afx_msg LRESULT OnCustom(WPARAM wParam, LPARAM lParam)
    {
        return Record(CExtPopupColorMenuWnd::g_nMsgNotifyCustColor, wParam, lParam);
    }
    LRESULT Record(UINT nMsg, WPARAM wParam, LPARAM lParam)
    {
        m_notices.push_back(Notice{nMsg, wParam, lParam});
        return 0;
    }
    int Count(UINT nMsg) const
    {
        int n = 0;
        for (const Notice& notice : m_notices)
            n += notice.Message == nMsg ? 1 : 0;
        return n;
    }
    const Notice* Last(UINT nMsg) const
    {
        for (auto it = m_notices.rbegin(); it != m_notices.rend(); ++it)
            if (it->Message == nMsg)
                return &*it;
        return nullptr;
    }

    std::vector<Notice> m_notices;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CColorOwnerFrame, CFrameWnd)
ON_REGISTERED_MESSAGE(CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged, OnChanged)
ON_REGISTERED_MESSAGE(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally, OnFinally)
ON_REGISTERED_MESSAGE(CExtPopupColorMenuWnd::g_nMsgNotifyCustColor, OnCustom)
END_MESSAGE_MAP()

// Lets a test put its own colours in the grid.
class CTestColorMenu : public CExtPopupColorMenuWnd
{
public:
    void SetColors(const std::vector<COLORREF>& colors)
    {
        RemoveAllColors();
        for (COLORREF clr : colors)
            m_colors.push_back(new COLORREF_TABLE_ENTRY(0, clr, "test"));
    }
};

// Real pointer moves onto a cell, by way of another one and each seen apart:
// the pointer may rest on the cell already, and moves that end where they
// began are not reported.
void MoveOverCell(CExtPopupColorMenuWnd* pMenu, int nCell)
{
    for (int n : {nCell == 0 ? 1 : 0, nCell})
    {
        kxgui::InputScript().MoveTo(pMenu->GetSafeHwnd(), pMenu->GetCellRect(n).CenterPoint()).Send();
        kxgui::PumpUntilIdle();
    }
}

const DWORD kStill = CExtPopupMenuWnd::TRACK_NO_ANIMATION;
const LPARAM kCookie = 0x5A17;

class PopupColorMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_PaintManager.InstallPaintManager(nullptr);
        m_pFrame = NewFrame("colours", CRect(0, 0, 640, 480));
        m_pOther = NewFrame("other", CRect(650, 0, 800, 100));
        kxgui::Activate(m_pFrame->GetSafeHwnd());
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        CloseActivePopupTree();
        g_PaintManager.InstallPaintManager(nullptr);
        m_pFrame->DestroyWindow();
        m_pOther->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    static CColorOwnerFrame* NewFrame(LPCTSTR lpszTitle, const CRect& rc)
    {
        auto* pFrame = new CColorOwnerFrame;
        EXPECT_TRUE(pFrame->Create(nullptr, lpszTitle, WS_OVERLAPPEDWINDOW, rc));
        pFrame->ShowWindow(SW_SHOW);
        return pFrame;
    }
    // A menu tracked at (100, 120) whose notifications go to hWndNotify.
    CExtPopupColorMenuWnd* Track(HWND hWndNotify, COLORREF* pResult, DWORD dwFlags = kStill)
    {
        auto* pMenu = new CExtPopupColorMenuWnd;
        pMenu->m_hWndNotifyColorChanged = hWndNotify;
        pMenu->m_lParamCookie = kCookie;
        pMenu->m_pClrResult = pResult;
        pMenu->m_clrDefault = RGB(1, 2, 3);
        if (!pMenu->CreatePopupMenu(m_pFrame->GetSafeHwnd()) || !pMenu->TrackPopupMenu(dwFlags, 100, 120))
            return nullptr;
        kxtest::WaitForPopupAnimations();
        return pMenu;
    }

    CWinApp m_app{"Kestrelux"};
    CColorOwnerFrame* m_pFrame = nullptr;
    CColorOwnerFrame* m_pOther = nullptr;
};

TEST_F(PopupColorMenuTest, ClickOnACellPreviewsChoosesAndCloses)
{
    COLORREF clrResult = 0xFFFFFFFF;
    CExtPopupColorMenuWnd* pMenu = Track(m_pOther->GetSafeHwnd(), &clrResult);
    ASSERT_NE(pMenu, nullptr);
    const COLORREF clrCell = pMenu->GetColorAt(10);
    MoveOverCell(pMenu, 10);
    kxgui::Click(pMenu->GetSafeHwnd(), pMenu->GetCellRect(10).CenterPoint());
    kxgui::PumpUntilIdle();

    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(clrResult, clrCell);
    const Notice* pPreview = m_pOther->Last(CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged);
    ASSERT_NE(pPreview, nullptr);
    EXPECT_EQ(pPreview->WParam, clrCell);
    const Notice* pFinal = m_pOther->Last(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally);
    ASSERT_NE(pFinal, nullptr);
    EXPECT_EQ(pFinal->WParam, clrCell);
    EXPECT_EQ(pFinal->LParam, kCookie);
    EXPECT_EQ(m_pOther->Count(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally), 1);
    EXPECT_TRUE(m_pFrame->m_notices.empty());
}

TEST_F(PopupColorMenuTest, AReleaseChoosesTheCellUnderItAfterKeyboardMoves)
{
    COLORREF clrResult = 0;
    CExtPopupColorMenuWnd* pMenu = Track(m_pOther->GetSafeHwnd(), &clrResult);
    ASSERT_NE(pMenu, nullptr);
    bool bPassOn = false;
    EXPECT_TRUE(pMenu->OnKeyDown(VK_RIGHT, 1, 0, bPassOn));
    EXPECT_TRUE(pMenu->OnKeyDown(VK_DOWN, 1, 0, bPassOn));
    EXPECT_EQ(pMenu->GetHoverIndex(), 8);
    const COLORREF clrCell = pMenu->GetColorAt(21);
    // a press is not handled; the release over the cell chooses it
    EXPECT_FALSE(pMenu->OnMouseClick(WM_LBUTTONDOWN, pMenu->GetCellRect(21).CenterPoint(), bPassOn));
    EXPECT_TRUE(pMenu->OnMouseClick(WM_LBUTTONUP, pMenu->GetCellRect(21).CenterPoint(), bPassOn));
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(clrResult, clrCell);
    const Notice* pFinal = m_pOther->Last(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally);
    ASSERT_NE(pFinal, nullptr);
    EXPECT_EQ(pFinal->WParam, clrCell);
    // the keyboard moves were previewed
    EXPECT_EQ(m_pOther->Count(CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged), 2);
}

TEST_F(PopupColorMenuTest, ButtonsNotifyTheCommandTargetWhenNoWindowIsSet)
{
    const struct
    {
        bool Custom;
        UINT Message;
        WPARAM WParam;
        COLORREF Result;
    } cases[] = {
        {true, CExtPopupColorMenuWnd::g_nMsgNotifyCustColor, 0, 0xFFFFFFFE},
        {false, CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally, RGB(1, 2, 3), RGB(1, 2, 3)},
    };
    for (const auto& c : cases)
    {
        m_pFrame->m_notices.clear();
        COLORREF clrResult = 0x123456;
        CExtPopupColorMenuWnd* pMenu = Track(nullptr, &clrResult);
        ASSERT_NE(pMenu, nullptr);
        const CRect rcButton = c.Custom ? pMenu->GetCustomButtonRect() : pMenu->GetDefaultButtonRect();
        ASSERT_FALSE(rcButton.IsRectEmpty());
        EXPECT_EQ(pMenu->HitTestColor(rcButton.CenterPoint()),
                  c.Custom ? CExtPopupColorMenuWnd::IDX_CUSTOM_BUTTON : CExtPopupColorMenuWnd::IDX_DEFAULT_BUTTON);
        bool bPassOn = false;
        EXPECT_TRUE(pMenu->OnMouseClick(WM_LBUTTONUP, rcButton.CenterPoint(), bPassOn));
        kxgui::PumpUntilIdle();
        EXPECT_FALSE(IsPopupTrackingActive());
        EXPECT_EQ(clrResult, c.Result);
        const Notice* pNotice = m_pFrame->Last(c.Message);
        ASSERT_NE(pNotice, nullptr) << c.Custom;
        EXPECT_EQ(pNotice->WParam, c.WParam);
        EXPECT_EQ(pNotice->LParam, kCookie);
        EXPECT_TRUE(m_pOther->m_notices.empty());
    }
}

TEST_F(PopupColorMenuTest, ClosingWithoutAChoiceNotifiesNothing)
{
    COLORREF clrResult = 0x123456;
    // Enter with nothing hovered
    CExtPopupColorMenuWnd* pMenu = Track(m_pOther->GetSafeHwnd(), &clrResult);
    ASSERT_NE(pMenu, nullptr);
    bool bPassOn = false;
    EXPECT_TRUE(pMenu->OnKeyDown(VK_RETURN, 1, 0, bPassOn));
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());

    // Alt with a cell hovered
    pMenu = Track(m_pOther->GetSafeHwnd(), &clrResult);
    ASSERT_NE(pMenu, nullptr);
    EXPECT_TRUE(pMenu->OnKeyDown(VK_RIGHT, 1, 0, bPassOn));
    EXPECT_TRUE(pMenu->OnKeyDown(VK_MENU, 1, 0, bPassOn));
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(clrResult, 0x123456u);
    EXPECT_EQ(m_pOther->Count(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally), 0);
    EXPECT_EQ(m_pOther->Count(CExtPopupColorMenuWnd::g_nMsgNotifyCustColor), 0);
}

TEST_F(PopupColorMenuTest, NoHookTrackingReleaseClosesWithoutNotifying)
{
    COLORREF clrResult = 0x123456;
    auto* pMenu = new CExtPopupColorMenuWnd;
    pMenu->m_hWndNotifyColorChanged = m_pOther->GetSafeHwnd();
    pMenu->m_pClrResult = &clrResult;
    ASSERT_TRUE(pMenu->CreatePopupMenu(m_pFrame->GetSafeHwnd()));
    ASSERT_TRUE(pMenu->TrackPopupMenu(kStill | CExtPopupMenuWnd::TRACK_NO_HOOKS, 100, 120));
    kxtest::WaitForPopupAnimations();
    const HWND hWndMenu = pMenu->GetSafeHwnd();
    ASSERT_TRUE(::IsWindow(hWndMenu));
    EXPECT_FALSE(pMenu->IsSubMenuOpenAllowed());
    bool bPassOn = false;
    EXPECT_TRUE(pMenu->OnMouseClick(WM_LBUTTONUP, pMenu->GetCellRect(3).CenterPoint(), bPassOn));
    kxgui::PumpUntilIdle();
    // the caller of a no-hook menu keeps it and its window
    EXPECT_FALSE(::IsWindowVisible(hWndMenu));
    EXPECT_EQ(clrResult, 0x123456u);
    EXPECT_EQ(m_pOther->Count(CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally), 0);
    pMenu->DestroyWindow();
    delete pMenu;
}

CSize MeasuredText(LPCTSTR lpszText)
{
    const HDC hDC = ::GetDC(nullptr);
    const HGDIOBJ hOld = ::SelectObject(hDC, g_PaintManager->FontNormal.GetSafeHandle());
    RECT rc = {0, 0, 0, 0};
    ::DrawTextA(hDC, lpszText, -1, &rc, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    return CSize(rc.right, rc.bottom);
}

TEST_F(PopupColorMenuTest, WindowSizeHoldsTheGridTheButtonsAndTheLeftArea)
{
    CExtPopupColorMenuWnd menu;
    EXPECT_EQ(menu.GetColorCount(), 40);
    EXPECT_EQ(menu.m_sBtnTextColorDefault, "Default Color");
    EXPECT_EQ(menu.m_sBtnTextColorCustom, "Custom Color ...");
    menu.m_sBtnTextColorCustom = "A &very long custom colour caption, wider than the grid";
    menu.SetLeftAreaWidth(14);
    CSize size;
    menu.GetWindowSize(size);
    const int b = menu.GetMenuBorderSize();
    const int s = menu.GetEdgeExtent();
    const int sep = g_PaintManager->GetSeparatorHeight();
    const CSize def = MeasuredText("Default Color");
    const CSize cust = MeasuredText("A very long custom colour caption, wider than the grid");
    const int nGrid = 20 * 8 + 2 * b + s;
    EXPECT_EQ(size.cx, std::max({nGrid, static_cast<int>(def.cx) + 6, static_cast<int>(cust.cx) + 6}) + 14);
    EXPECT_EQ(size.cy, 20 * 5 + 2 * b + s + sep + 6 + std::max<int>(def.cy, 22) + sep + 7 + std::max<int>(cust.cy, 22));

    menu.SetColumnCount(0);
    EXPECT_EQ(menu.GetColumnCount(), 1);
    EXPECT_EQ(menu.GetGridSize(), CSize(1, 40));
}

TEST_F(PopupColorMenuTest, InitialColorMarksItsFirstCellOnly)
{
    const struct
    {
        COLORREF Initial;
        int Selected;
    } cases[] = {{RGB(9, 9, 9), 1}, {RGB(7, 7, 7), -1}};
    for (const auto& c : cases)
    {
        auto* pMenu = new CTestColorMenu;
        pMenu->SetColors({RGB(1, 1, 1), RGB(9, 9, 9), RGB(5, 5, 5), RGB(9, 9, 9)});
        pMenu->m_clrInitial = c.Initial;
        ASSERT_TRUE(pMenu->CreatePopupMenu(m_pFrame->GetSafeHwnd()));
        ASSERT_TRUE(pMenu->TrackPopupMenu(kStill, 100, 120));
        EXPECT_EQ(pMenu->GetSelectedIndex(), c.Selected);
        CloseActivePopupTree();
    }
}

TEST_F(PopupColorMenuTest, ScreenshotsWithAHoveredCellInTwoThemes)
{
    for (int nTheme : {1, 2})
    {
        g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme));
        CExtPopupColorMenuWnd* pMenu = Track(m_pOther->GetSafeHwnd(), nullptr);
        ASSERT_NE(pMenu, nullptr);
        MoveOverCell(pMenu, 13);
        EXPECT_EQ(pMenu->GetHoverIndex(), 13);
        pMenu->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        kxgui::PumpUntilIdle();
        const std::string name = std::string("popup_color_menu_") + ExtTestThemeName(nTheme) + ".png";
        EXPECT_FALSE(kxgui::SaveArtifact(kxgui::CaptureScreen(pMenu->GetSafeHwnd(), false), name).empty());
        CloseActivePopupTree();
    }
}

} // namespace
