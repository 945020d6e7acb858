// The default edit of a menu item under a tracked menu: committing,
// abandoning, validation, closing keys, no context menu and the
// delete-selection message.
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/PopupStage.h"

#include <gtest/gtest.h>

namespace
{

using CInPlaceEditWnd = CExtPopupMenuWnd::CInPlaceEditWnd;

// Rejects every text holding an 'x'.
bool RejectX(CInPlaceEditWnd*, LPARAM, LPCTSTR, LPCTSTR lpszNew)
{
    return strchr(lpszNew, 'x') == nullptr;
}

bool RejectAll(CInPlaceEditWnd*, LPARAM, LPCTSTR, LPCTSTR)
{
    return false;
}

class PopupMenuInplaceEditTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_PaintManager.InstallPaintManager(nullptr);
        CExtPopupMenuWnd::g_bCollapseRarelyUsed = false;
        m_pFrame = new CFrameWnd;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "edits", WS_OVERLAPPEDWINDOW, CRect(0, 0, 640, 480)));
        m_pFrame->ShowWindow(SW_SHOW);
        kxgui::Activate(m_pFrame->GetSafeHwnd());
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        CloseActivePopupTree();
        CExtPopupMenuWnd::g_bCollapseRarelyUsed = true;
        m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    // A tracked menu whose second item edits m_sTarget; its edit shown and
    // focused.
    CInPlaceEditWnd* TrackWithEdit(CInPlaceEditWnd::pCbValidate pValidate = nullptr)
    {
        m_pMenu = new CExtPopupMenuWnd;
        if (!m_pMenu->CreatePopupMenu(m_pFrame->GetSafeHwnd()) || !m_pMenu->ItemInsertCommand(100, -1, "First") ||
            !m_pMenu->ItemInsertCommand(101, -1, "Name:"))
            return nullptr;
        CExtPopupMenuWnd::MENUITEMDATA& mi = m_pMenu->GetItemAt(1);
        mi.m_pInplaceEditStr = &m_sTarget;
        mi.m_nInplaceEditWidth = 100;
        mi.m_nInplaceParams[0] = reinterpret_cast<DWORD_PTR>(pValidate);
        if (!m_pMenu->TrackPopupMenu(CExtPopupMenuWnd::TRACK_NO_ANIMATION, 100, 120))
            return nullptr;
        kxtest::WaitForPopupAnimations();
        auto* pEdit = dynamic_cast<CInPlaceEditWnd*>(m_pMenu->GetItemAt(1).m_pInplaceEditWnd);
        if (pEdit == nullptr)
            return nullptr;
        m_pMenu->ItemFocusSet(1, false, true);
        pEdit->ShowWindow(SW_SHOW);
        pEdit->SetFocus();
        kxgui::PumpUntilIdle();
        return pEdit;
    }
    static CString TextOf(CWnd* pWnd)
    {
        CString s;
        pWnd->GetWindowText(s);
        return s;
    }

    CWinApp m_app{"Kestrelux"};
    CFrameWnd* m_pFrame = nullptr;
    CExtPopupMenuWnd* m_pMenu = nullptr;
    CString m_sTarget = "old";
};

TEST_F(PopupMenuInplaceEditTest, EnterAssignsTheTextAndClosesTheMenu)
{
    CInPlaceEditWnd* pEdit = TrackWithEdit();
    ASSERT_NE(pEdit, nullptr);
    EXPECT_EQ(TextOf(pEdit), "old");
    EXPECT_EQ(pEdit->GetStyle() & (WS_BORDER | WS_VISIBLE | ES_AUTOHSCROLL), WS_VISIBLE | ES_AUTOHSCROLL);
    pEdit->SetWindowText("new");
    pEdit->SendMessage(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(m_sTarget, "new");
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());
}

TEST_F(PopupMenuInplaceEditTest, EscapeKeepsTheTargetAndShowsItAgain)
{
    CInPlaceEditWnd* pEdit = TrackWithEdit();
    ASSERT_NE(pEdit, nullptr);
    pEdit->SetWindowText("changed");
    pEdit->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(IsPopupTrackingActive());
    EXPECT_EQ(m_sTarget, "old");
    EXPECT_EQ(TextOf(pEdit), "old");
    EXPECT_FALSE(pEdit->IsWindowVisible());
    EXPECT_NE(::GetFocus(), pEdit->GetSafeHwnd());
}

TEST_F(PopupMenuInplaceEditTest, RejectedKeystrokeRestoresTextAndSelection)
{
    CInPlaceEditWnd* pEdit = TrackWithEdit(RejectX);
    ASSERT_NE(pEdit, nullptr);
    pEdit->SetWindowText("abc");
    pEdit->SetSel(1, 2);
    pEdit->SendMessage(WM_CHAR, 'x', 1);
    EXPECT_EQ(TextOf(pEdit), "abc");
    int nStart = 0, nEnd = 0;
    pEdit->GetSel(nStart, nEnd);
    EXPECT_EQ(nStart, 1);
    EXPECT_EQ(nEnd, 2);
    EXPECT_FALSE(pEdit->SendMessage(EM_CANUNDO));
    pEdit->SendMessage(WM_CHAR, 'y', 1);
    EXPECT_EQ(TextOf(pEdit), "ayc");
    // Enter is not typed
    pEdit->SendMessage(WM_CHAR, 13, 1);
    EXPECT_EQ(TextOf(pEdit), "ayc");
}

TEST_F(PopupMenuInplaceEditTest, DeleteSelectionMessageBypassesTheValidator)
{
    CInPlaceEditWnd* pEdit = TrackWithEdit(RejectAll);
    ASSERT_NE(pEdit, nullptr);
    pEdit->SetWindowText("abc");
    pEdit->SetSel(1, 1);
    pEdit->SendMessage(CInPlaceEditWnd::g_nMsgDeleteSelection);
    EXPECT_EQ(TextOf(pEdit), "ac");
    pEdit->SetSel(2, 2);
    pEdit->SendMessage(CInPlaceEditWnd::g_nMsgDeleteSelection);
    EXPECT_EQ(TextOf(pEdit), "ac");
    pEdit->SendMessage(CInPlaceEditWnd::g_nMsgSelectAll);
    pEdit->SendMessage(CInPlaceEditWnd::g_nMsgDeleteSelection);
    EXPECT_EQ(TextOf(pEdit), "");
}

TEST_F(PopupMenuInplaceEditTest, RightClickOpensNothing)
{
    CInPlaceEditWnd* pEdit = TrackWithEdit();
    ASSERT_NE(pEdit, nullptr);
    for (UINT nMsg : {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_CONTEXTMENU})
        EXPECT_EQ(pEdit->SendMessage(nMsg, 0, 0), 0) << nMsg;
    kxgui::PumpUntilIdle();
    EXPECT_EQ(::FindWindowA("#32768", nullptr), nullptr);
    EXPECT_TRUE(IsPopupTrackingActive());
    EXPECT_EQ(pEdit->SendMessage(WM_GETDLGCODE), DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTTAB);
}

TEST_F(PopupMenuInplaceEditTest, AltClosesTheMenu)
{
    CInPlaceEditWnd* pEdit = TrackWithEdit();
    ASSERT_NE(pEdit, nullptr);
    pEdit->SetWindowText("typed");
    pEdit->SendMessage(WM_KEYDOWN, VK_MENU, 0);
    EXPECT_TRUE(IsPopupTrackingActive()); // the close is posted
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(IsPopupTrackingActive());
    EXPECT_EQ(m_sTarget, "old");
}

TEST_F(PopupMenuInplaceEditTest, ScreenshotOfAnItemHostingTheEdit)
{
    CInPlaceEditWnd* pEdit = TrackWithEdit();
    ASSERT_NE(pEdit, nullptr);
    pEdit->SetWindowText("Kestrel");
    m_pMenu->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    kxgui::PumpUntilIdle();
    EXPECT_FALSE(kxgui::SaveArtifact(kxgui::CaptureScreen(m_pMenu->GetSafeHwnd(), false), "popup_menu_inplace_edit.png")
                     .empty());
}

} // namespace
