// The tab window in a frame that places it on each side in turn: placement,
// painting in every theme, the theme and system notices, and real mouse
// input on items and part buttons (scrolling, dragging, hover selection,
// tips).
#include "uitoolkit/bars/ExtTabWnd.h"

#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"
#include "tests/support/PopupStage.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

using T = CExtTabCore;

// Records what the mouse handling decided and exposes the client rectangles.
class CTestTabWnd : public CExtTabWnd
{
public:
    std::vector<int> m_arrScrollSteps; // immediate scroll deltas
    std::vector<bool> m_arrButtonResults;
    int m_nDragLoops = 0;
    int m_nMoves = 0;

    CRect ItemRect(int nIndex) const { return ItemClientRect(GetItem(nIndex)); }
    CPoint ItemCentre(int nIndex) const { return ItemRect(nIndex).CenterPoint(); }
    CPoint PartCentre(int nPart) const { return CRect(GetPartButtonRect(nPart)).CenterPoint(); }

    void ScrollBy(int nDelta, bool bSmooth) override
    {
        if (!bSmooth)
            m_arrScrollSteps.push_back(nDelta);
        CExtTabWnd::ScrollBy(nDelta, bSmooth);
    }
    bool OnMouseButton(POINT pt, bool bPressed, int nButton, UINT nFlags) override
    {
        const bool bResult = CExtTabWnd::OnMouseButton(pt, bPressed, nButton, nFlags);
        if (bPressed)
            m_arrButtonResults.push_back(bResult);
        return bResult;
    }
    bool TrackItemDrag(int nIndex) override
    {
        ++m_nDragLoops;
        return CExtTabWnd::TrackItemDrag(nIndex);
    }
    void OnItemMoved(int, int) override { ++m_nMoves; }

    // The entries of the tab-list menu as it is about to show; then the
    // keys of m_arrMenuKeys are typed into it from inside the menu's own
    // loop, one per timer tick, each a second later on the menu's clock so
    // that its key-repeat filter lets every one through.
    struct MenuEntry
    {
        UINT nCmd;
        std::string sText;
        bool bEnabled, bChecked;
    };
    std::vector<MenuEntry> m_arrMenu;
    std::vector<WORD> m_arrMenuKeys{VK_ESCAPE};
    size_t m_nMenuKeysSent = 0;
    static constexpr UINT_PTR kMenuKeysTimer = 77;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CExtPopupMenuWnd::g_nMsgPrepareMenu)
        {
            const auto* pPopup = reinterpret_cast<const CExtPopupMenuWnd*>(lParam);
            for (int i = 0; i < pPopup->ItemGetCount(); ++i)
            {
                const auto& mi = pPopup->GetItemAt(i);
                m_arrMenu.push_back({mi.GetCmdID(), mi.IsSeparator() ? "-" : std::string(mi.m_sItemText),
                                     mi.IsEnabled(), mi.IsChecked()});
            }
            // the keys go in once the menu is up and tracks the keyboard
            m_nMenuKeysSent = 0;
            SetTimer(kMenuKeysTimer, 50, nullptr);
        }
        if (message == WM_TIMER && wParam == kMenuKeysTimer)
        {
            if (m_nMenuKeysSent + 1 >= m_arrMenuKeys.size())
                KillTimer(kMenuKeysTimer);
            if (m_nMenuKeysSent < m_arrMenuKeys.size())
            {
                kxtest::FakeClockNow() += 1000;
                kxgui::InputScript input;
                input.Key(m_arrMenuKeys[m_nMenuKeysSent++]);
                input.Send();
            }
            return 0;
        }
        return CExtTabWnd::WindowProc(message, wParam, lParam);
    }
};

class CTabTestFrame : public CFrameWnd
{
protected:
    void PostNcDestroy() override {}
};

// Counts the notices that reach the theme.
class CCountingTheme : public CExtPaintManager
{
public:
    int m_nSysColor = 0, m_nSetting = 0, m_nDisplay = 0, m_nTheme = 0;
    void OnSysColorChange() override
    {
        ++m_nSysColor;
        CExtPaintManager::OnSysColorChange();
    }
    void OnSettingChange(WPARAM wParam, LPARAM lParam) override
    {
        ++m_nSetting;
        CExtPaintManager::OnSettingChange(wParam, lParam);
    }
    void OnDisplayChange(int nBitsPerPixel, int cx, int cy) override
    {
        ++m_nDisplay;
        CExtPaintManager::OnDisplayChange(nBitsPerPixel, cx, cy);
    }
    void OnThemeChanged(WPARAM wParam, LPARAM lParam) override
    {
        ++m_nTheme;
        CExtPaintManager::OnThemeChanged(wParam, lParam);
    }
};

class ExtTabWndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_frame.Create(nullptr, "Kestrelux tab test", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                   CRect(20, 20, 660, 420)));
        m_app.m_pMainWnd = &m_frame;
        m_frame.ShowWindow(SW_SHOW);
        kxgui::Activate(m_frame.m_hWnd);
        kxgui::PumpUntilIdle();
    }
    void TearDown() override
    {
        kxgui::MoveMouseTo(CPoint(1200, 1000));
        Pump();
        m_app.m_pMainWnd = nullptr;
        for (auto& pTabs : m_tabs)
            pTabs->DestroyWindow();
        m_frame.DestroyWindow();
        kxgui::PumpUntilIdle();
        g_PaintManager.InstallPaintManager(nullptr);
    }

    CTestTabWnd& AddStrip(DWORD dwTabStyle)
    {
        m_tabs.push_back(std::make_unique<CTestTabWnd>());
        CTestTabWnd& tabs = *m_tabs.back();
        EXPECT_TRUE(tabs.Create(&m_frame, CRect(0, 0, 0, 0), 100 + static_cast<UINT>(m_tabs.size()),
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, dwTabStyle));
        return tabs;
    }
    // Items "Tab 0" ... with lParam 100 + index.
    static void AddItems(CExtTabWnd& tabs, int nCount, const char* pszPrefix = "Tab ")
    {
        for (int i = 0; i < nCount; ++i)
            tabs.InsertItem((pszPrefix + std::to_string(i)).c_str(), nullptr, true, 0, -1, 100 + i);
    }
    void Layout()
    {
        m_frame.RecalcLayout();
        Pump();
    }
    void Pump()
    {
        kxgui::PumpUntilIdle([this](MSG& msg) { return m_app.PreTranslateMessage(&msg) != FALSE; });
    }
    // Dispatches one message at a time (timers included) until the
    // condition holds; false when it did not within a few seconds.
    bool PumpUntil(const std::function<bool()>& done)
    {
        const DWORD dwStart = ::GetTickCount();
        while (!done())
        {
            MSG msg;
            if (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            {
                if (!m_app.PreTranslateMessage(&msg))
                {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageA(&msg);
                }
                continue;
            }
            if (::GetTickCount() - dwStart > 5000)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return true;
    }
    static std::vector<LPARAM> Order(const CExtTabWnd& tabs)
    {
        std::vector<LPARAM> order;
        for (int i = 0; i < tabs.GetItemCount(); ++i)
            order.push_back(tabs.GetItemData(i));
        return order;
    }

    CWinApp m_app{"Kestrelux"};
    CTabTestFrame m_frame;
    std::vector<std::unique_ptr<CTestTabWnd>> m_tabs;
};

TEST_F(ExtTabWndTest, FramePlacesTheStripOnEachSide)
{
    CTestTabWnd& tabs = AddStrip(0);
    AddItems(tabs, 3);
    char szClass[64] = "";
    ::GetClassNameA(tabs.m_hWnd, szClass, sizeof(szClass));
    EXPECT_STREQ(szClass, "Quorbis-TabWindow");
    EXPECT_EQ(::GetClassLongA(tabs.m_hWnd, GCL_STYLE) & 0xFFFF, DWORD(CS_GLOBALCLASS | CS_DBLCLKS));
    CRect rcFrame;
    m_frame.GetClientRect(&rcFrame);
    for (int nOrientation = 0; nOrientation < 4; ++nOrientation)
    {
        tabs.SetOrientation(nOrientation);
        Layout();
        CRect rcTabs;
        tabs.GetWindowRect(&rcTabs);
        m_frame.ScreenToClient(&rcTabs);
        const CRect rcItems(tabs.GetItemsArea());
        const int nPad = nOrientation == T::OrientationTop || nOrientation == T::OrientationLeft ? 6 : 8;
        const CRect expected[] = {{0, 0, rcFrame.right, rcItems.Height() + nPad},
                                  {0, rcFrame.bottom - rcItems.Height() - nPad, rcFrame.right, rcFrame.bottom},
                                  {0, 0, rcItems.Width() + nPad, rcFrame.bottom},
                                  {rcFrame.right - rcItems.Width() - nPad, 0, rcFrame.right, rcFrame.bottom}};
        EXPECT_EQ(rcTabs, expected[nOrientation]) << nOrientation;
        EXPECT_EQ(tabs.IsHorizontal() ? rcItems.Height() : rcItems.Width(), 20) << nOrientation;
        // the rest area lies beside the strip, inside the window
        const CPoint ptRest = CRect(tabs.GetRestArea()).CenterPoint();
        EXPECT_EQ(tabs.HitTest(ptRest), T::HitRest) << nOrientation;
        EXPECT_EQ(tabs.HitTest(tabs.ItemCentre(1)), 1) << nOrientation;
    }
}

TEST_F(ExtTabWndTest, PaintsInEveryThemeAndOrientation)
{
    const HICON hIcons[] = {CExtPaintManager::CreateColorSampleIcon(RGB(200, 40, 40)),
                            CExtPaintManager::CreateColorSampleIcon(RGB(40, 160, 40)),
                            CExtPaintManager::CreateColorSampleIcon(RGB(40, 40, 200))};
    const DWORD dwButtons = 0x8 | 0x100 | 0x10 | 0x200 | 0x20000 | 0x40000 | 0x80000 | 0x100000;
    for (bool bGroups : {false, true})
    {
        for (int nOrientation = 0; nOrientation < 4; ++nOrientation)
        {
            CTestTabWnd& tabs = AddStrip(static_cast<DWORD>(nOrientation) | dwButtons | (bGroups ? 0x80 : 0x40));
            const char* const kTexts[] = {"Disc", "Titles", "Menus", "Cells", "Audio", "Subpictures"};
            for (int i = 0; i < 6; ++i)
                tabs.InsertItem(kTexts[i], hIcons[i % 3], true,
                                (i % 3 == 0 ? T::ItemGroupStart : 0) | (i == 4 ? T::ItemDisabled : 0));
            tabs.SelectItem(bGroups ? 1 : 2, false);
            tabs.GetItem(3)->ModifyStyle(0, T::ItemActiveInGroup);
        }
        Layout();
        for (int nTheme = 0; nTheme < 4; ++nTheme)
        {
            ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
            m_frame.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Pump();
            // a disabled item stays unselectable whatever the theme
            EXPECT_EQ(m_tabs.front()->SelectItem(4, false), m_tabs.front()->GetSelectedIndex());
            const kxgui::PixelBuffer image = kxgui::CaptureScreen(m_frame.m_hWnd);
            ASSERT_FALSE(image.IsEmpty());
            kxgui::SaveArtifact(image, std::string("tabwnd_") + ExtTestThemeName(nTheme) +
                                           (bGroups ? "_groups.png" : "_plain.png"));
        }
        for (auto& pTabs : m_tabs)
            pTabs->DestroyWindow();
        m_tabs.clear();
    }
    for (HICON hIcon : hIcons)
        ::DestroyIcon(hIcon);
}

TEST_F(ExtTabWndTest, NoticesAThemeChangeAtTheNextPaint)
{
    CTestTabWnd& tabs = AddStrip(0);
    AddItems(tabs, 3);
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
    Layout();
    tabs.RedrawWindow();
    EXPECT_EQ(tabs.GetItemsArea().left, 4); // the classic theme's lead margin
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerStudio2005));
    EXPECT_EQ(tabs.GetItemsArea().left, 4);
    tabs.RedrawWindow();
    EXPECT_EQ(tabs.GetItemsArea().left, 0);
}

TEST_F(ExtTabWndTest, SystemNoticesReachTheTheme)
{
    CTestTabWnd& tabs = AddStrip(0);
    auto* pTheme = new CCountingTheme;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
    // without a status bar or outer dock bars every window of the frame relays
    ASSERT_TRUE(CExtPaintManagerHolder::IsSysNotifyRelayWindow(&tabs));
    // each notice reaches its own handler (which may rebuild through others)
    tabs.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(pTheme->m_nSysColor, 1);
    tabs.SendMessage(WM_SETTINGCHANGE, 0, 0);
    EXPECT_GE(pTheme->m_nSetting, 1);
    tabs.SendMessage(WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
    EXPECT_EQ(pTheme->m_nDisplay, 1);
    tabs.SendMessage(WM_THEMECHANGED);
    EXPECT_EQ(pTheme->m_nTheme, 1);
}

TEST_F(ExtTabWndTest, HeldPreviousScrollsUntilReleaseOrTheEnd)
{
    CTestTabWnd& tabs = AddStrip(0);
    AddItems(tabs, 40, "Long tab text ");
    Layout();
    ASSERT_TRUE(tabs.IsScrollAvailable());
    const int nMax = tabs.GetScrollMax();
    tabs.EnsureVisible(39, true);
    ASSERT_EQ(tabs.GetScrollPosition(), nMax);

    // held: 10 pixels a tick while pressed, nothing after the release
    kxgui::InputScript press;
    press.MoveTo(tabs.m_hWnd, tabs.PartCentre(T::PartPrevious)).ButtonDown().Send();
    ASSERT_TRUE(PumpUntil([&] { return tabs.m_arrScrollSteps.size() >= 3; }));
    EXPECT_TRUE(tabs.IsSmoothScrolling());
    kxgui::InputScript release;
    release.ButtonUp().Send();
    ASSERT_TRUE(PumpUntil([&] { return !tabs.IsPushTracking(); }));
    EXPECT_FALSE(tabs.IsSmoothScrolling());
    const size_t nSteps = tabs.m_arrScrollSteps.size();
    Pump();
    EXPECT_EQ(tabs.m_arrScrollSteps.size(), nSteps);
    EXPECT_EQ(tabs.m_arrScrollSteps, std::vector<int>(nSteps, -10));
    EXPECT_EQ(tabs.GetScrollPosition(), nMax - 10 * static_cast<int>(nSteps));

    // held at the start of the run: it stops at the end by itself
    tabs.m_arrScrollSteps.clear();
    tabs.SetScrollPosition(25);
    tabs.UpdateTabWnd(true);
    // a few pixels off the first press, so that it is no double click
    kxgui::InputScript press2;
    press2.MoveTo(tabs.m_hWnd, tabs.PartCentre(T::PartPrevious) + CPoint(4, 4)).ButtonDown().Send();
    ASSERT_TRUE(PumpUntil([&] { return tabs.GetScrollPosition() == 0 && !tabs.IsSmoothScrolling(); }));
    EXPECT_EQ(tabs.m_arrScrollSteps, (std::vector<int>{-10, -10, -5}));
    kxgui::InputScript release2;
    release2.ButtonUp().Send();
    Pump();
}

TEST_F(ExtTabWndTest, ClickOnPreviousScrollsOnePageWithPageStyle)
{
    CTestTabWnd& tabs = AddStrip(T::StyleHome | T::StyleEnd | CExtTabWnd::StyleScrollByPage);
    AddItems(tabs, 40, "Long tab text ");
    Layout();
    const int nMax = tabs.GetScrollMax();
    const int nLength = CRect(tabs.GetItemsArea()).Width();
    ASSERT_GT(nMax, nLength);
    tabs.EnsureVisible(39, true);
    kxgui::Click(tabs.m_hWnd, tabs.PartCentre(T::PartPrevious));
    ASSERT_TRUE(PumpUntil([&] { return !tabs.m_arrScrollSteps.empty() && !tabs.IsSmoothScrolling(); }));
    EXPECT_EQ(tabs.GetScrollPosition(), nMax - nLength);

    // End scrolls back to the last item, Home to the first
    kxgui::Click(tabs.m_hWnd, tabs.PartCentre(T::PartEnd));
    Pump();
    EXPECT_EQ(tabs.GetScrollPosition(), nMax);
    kxgui::Click(tabs.m_hWnd, tabs.PartCentre(T::PartHome));
    Pump();
    EXPECT_EQ(tabs.GetScrollPosition(), 0);
}

TEST_F(ExtTabWndTest, DisabledHomeIgnoresThePress)
{
    CTestTabWnd& tabs = AddStrip(T::StyleHome | T::StyleEnd);
    AddItems(tabs, 40, "Long tab text ");
    Layout();
    ASSERT_EQ(tabs.GetScrollPosition(), 0);
    ASSERT_FALSE(tabs.GetTabWndStyle() & T::StyleHomeEnabled);
    kxgui::InputScript press;
    press.MoveTo(tabs.m_hWnd, tabs.PartCentre(T::PartHome)).ButtonDown().Send();
    Pump();
    EXPECT_FALSE(tabs.IsPushTracking());
    EXPECT_TRUE(tabs.m_arrScrollSteps.empty());
    // only hovering holds the mouse, and lets it go when the mouse leaves
    EXPECT_EQ(tabs.GetHoverCode(), T::HitHome);
    kxgui::InputScript release;
    release.ButtonUp().MoveTo(m_frame.m_hWnd, CPoint(300, 300)).Send();
    Pump();
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(tabs.GetScrollPosition(), 0);
}

TEST_F(ExtTabWndTest, RightPressSelectsAndLetsTheDefaultHandlingRun)
{
    CTestTabWnd& tabs = AddStrip(0);
    AddItems(tabs, 5);
    Layout();
    kxgui::Click(tabs.m_hWnd, tabs.ItemCentre(3), true);
    Pump();
    EXPECT_EQ(tabs.GetSelectedIndex(), 3);
    kxgui::Click(tabs.m_hWnd, tabs.ItemCentre(1));
    Pump();
    EXPECT_EQ(tabs.GetSelectedIndex(), 1);
    EXPECT_EQ(tabs.m_arrButtonResults, (std::vector<bool>{false, true}));
    EXPECT_EQ(::GetCapture(), tabs.m_hWnd); // hovering item 1
}

TEST_F(ExtTabWndTest, DraggingReordersAfterSixPixelsWithoutSwappingBack)
{
    CTestTabWnd& tabs = AddStrip(CExtTabWnd::StyleItemDragging);
    const char* const kTexts[] = {"A", "B", "Much longer tab", "D"};
    for (int i = 0; i < 4; ++i)
        tabs.InsertItem(kTexts[i], nullptr, true, 0, -1, 100 + i);
    Layout();
    const CPoint ptPress = tabs.ItemCentre(1);
    const CRect rcLong = tabs.ItemRect(2);
    kxgui::InputScript start;
    start.MoveTo(tabs.m_hWnd, ptPress).ButtonDown().MoveTo(tabs.m_hWnd, ptPress + CPoint(5, 0)).Send();
    Pump();
    EXPECT_EQ(tabs.m_nDragLoops, 0);
    EXPECT_EQ(tabs.GetSelectedIndex(), 1);

    // into the long neighbour, then back and forth inside its old place
    kxgui::InputScript drag;
    drag.MoveTo(tabs.m_hWnd, ptPress + CPoint(6, 0))
        .MoveTo(tabs.m_hWnd, CPoint(rcLong.left + 50, ptPress.y))
        .MoveTo(tabs.m_hWnd, CPoint(rcLong.left + 10, ptPress.y))
        .MoveTo(tabs.m_hWnd, CPoint(rcLong.left + 40, ptPress.y))
        .ButtonUp();
    drag.Play();
    ASSERT_TRUE(PumpUntil([&] { return tabs.m_nDragLoops == 1 && !tabs.IsPushTracking(); }));
    drag.Wait();
    Pump();
    EXPECT_EQ(tabs.m_nMoves, 1);
    EXPECT_EQ(Order(tabs), (std::vector<LPARAM>{100, 102, 101, 103}));
    EXPECT_EQ(tabs.GetSelectedIndex(), 2);
    EXPECT_STREQ(tabs.GetItem(2)->GetText(), "B");

    // no dragging in group mode
    tabs.ModifyTabWndStyle(0, T::StyleGroups, true);
    EXPECT_FALSE(tabs.CanDragItem(1));
}

TEST_F(ExtTabWndTest, HoverSelectsOnlyWhileTheCursorStays)
{
    CTestTabWnd& tabs = AddStrip(CExtTabWnd::StyleHoverSelect);
    AddItems(tabs, 6);
    Layout();
    kxgui::MoveMouseTo(
        [&]
        {
            CPoint pt = tabs.ItemCentre(2);
            tabs.ClientToScreen(&pt);
            return pt;
        }());
    ASSERT_TRUE(PumpUntil([&] { return tabs.GetSelectedIndex() == 2; }));

    // pending on item 4, then the cursor leaves before the timer
    kxgui::InputScript toItem;
    toItem.MoveTo(tabs.m_hWnd, tabs.ItemCentre(4)).Send();
    ASSERT_TRUE(PumpUntil([&] { return tabs.GetHoverSelectIndex() == 4; }));
    kxgui::InputScript away;
    away.MoveTo(m_frame.m_hWnd, CPoint(300, 300)).Send();
    ASSERT_TRUE(PumpUntil([&] { return tabs.GetHoverSelectIndex() == -1; }));
    EXPECT_EQ(tabs.GetSelectedIndex(), 2);
}

// The text of the window's tool, empty when it has none.
std::string ToolText(CExtTabWnd& tabs)
{
    TOOLINFOA ti = {};
    char szText[256] = "";
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = tabs.m_hWnd;
    ti.uId = 1;
    ti.lpszText = szText;
    if (!tabs.GetToolTipCtrl().SendMessage(TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)))
        return std::string();
    return szText;
}

TEST_F(ExtTabWndTest, TipsShowClippedTextsAndNoneForCloseAndTabList)
{
    CTestTabWnd& fit = AddStrip(T::StyleFit | T::StyleEqualAlways);
    for (int i = 0; i < 30; ++i)
        fit.InsertItem(("A rather long tab text " + std::to_string(i)).c_str(), nullptr, true, 0, -1, i);
    fit.InsertItem("x", nullptr, true, 0, 0, 99);
    fit.GetItem(1)->m_sTooltip = "Own tip";
    Layout();
    ASSERT_TRUE(fit.IsSomeItemClipped());
    ASSERT_EQ(fit.GetItem(0)->m_nLayoutFlags & T::LayoutClipped, 0);
    kxgui::InputScript move;
    move.MoveTo(fit.m_hWnd, fit.ItemCentre(2)).Send();
    Pump();
    EXPECT_EQ(ToolText(fit), "A rather long tab text 1");
    move.MoveTo(fit.m_hWnd, fit.ItemCentre(1)).Send();
    Pump();
    EXPECT_EQ(ToolText(fit), "Own tip");
    move.MoveTo(fit.m_hWnd, fit.ItemCentre(0)).Send(); // not clipped, no tip of its own
    Pump();
    EXPECT_EQ(ToolText(fit), "");

    CTestTabWnd& parts = AddStrip(T::StyleHome | T::StyleClose | CExtTabWnd::StyleCloseEnabled | T::StyleTabList |
                                  CExtTabWnd::StyleTabListEnabled);
    AddItems(parts, 3);
    Layout();
    const struct
    {
        int nPart;
        const char* pszTip;
    } cases[] = {{T::PartHome, "Home"}, {T::PartClose, ""}, {T::PartPrevious, "Previous"}, {T::PartTabList, ""}};
    for (const auto& c : cases)
    {
        move.MoveTo(parts.m_hWnd, parts.PartCentre(c.nPart)).Send();
        Pump();
        EXPECT_EQ(ToolText(parts), c.pszTip) << c.nPart;
    }
}

TEST_F(ExtTabWndTest, TabListMenuListsTheVisibleItems)
{
    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
    CTestTabWnd& tabs =
        AddStrip(T::StyleTabList | CExtTabWnd::StyleTabListEnabled | T::StyleGroups | T::StyleGroupsNoCollapse);
    AddItems(tabs, 30, "Long tab text ");
    tabs.GetItem(1)->SetVisible(false);
    tabs.GetItem(2)->ModifyStyle(0, T::ItemDisabled);
    tabs.GetItem(3)->ModifyStyle(0, T::ItemGroupStart);
    Layout();
    tabs.SelectItem(29, true, true);
    ASSERT_GT(tabs.GetScrollPosition(), 0);

    kxgui::Click(tabs.m_hWnd, tabs.PartCentre(T::PartTabList));
    ASSERT_TRUE(PumpUntil([&] { return !tabs.m_arrMenu.empty() && !IsPopupTrackingActive(); }));
    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationFade;
    ASSERT_EQ(tabs.m_arrMenu.size(), 30u);
    EXPECT_EQ(tabs.m_arrMenu[0].nCmd, 0xFFFFu);
    EXPECT_EQ(tabs.m_arrMenu[0].sText, "Long tab text 0");
    EXPECT_EQ(tabs.m_arrMenu[1].sText, "Long tab text 2"); // item 1 is hidden
    EXPECT_FALSE(tabs.m_arrMenu[1].bEnabled);
    EXPECT_EQ(tabs.m_arrMenu[2].sText, "-"); // before the second group
    EXPECT_EQ(tabs.m_arrMenu[3].nCmd, 0xFFFFu + 3);
    EXPECT_TRUE(tabs.m_arrMenu[3].bEnabled);
    EXPECT_FALSE(tabs.m_arrMenu[3].bChecked);
    EXPECT_EQ(tabs.m_arrMenu[29].sText, "Long tab text 29");
    EXPECT_TRUE(tabs.m_arrMenu[29].bChecked);
    EXPECT_EQ(tabs.GetSelectedIndex(), 29); // closed without a choice
}

TEST_F(ExtTabWndTest, ChoosingATabListEntrySelectsAndScrollsToIt)
{
    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationNone;
    CTestTabWnd& tabs = AddStrip(T::StyleTabList | CExtTabWnd::StyleTabListEnabled);
    AddItems(tabs, 30, "Long tab text ");
    tabs.GetItem(1)->SetVisible(false);
    Layout();
    tabs.SelectItem(29, true, true);
    const int nScrolledToEnd = tabs.GetScrollPosition();
    ASSERT_GT(nScrolledToEnd, 0);

    // the first Down highlights entry 0, the second entry 1: item 2, since
    // the hidden item 1 is not listed
    tabs.m_arrMenuKeys = {VK_DOWN, VK_DOWN, VK_RETURN};
    ExtTestHooks().pfnClock = kxtest::FakeClock;
    kxgui::Click(tabs.m_hWnd, tabs.PartCentre(T::PartTabList));
    ASSERT_TRUE(PumpUntil([&] { return !tabs.m_arrMenu.empty() && !IsPopupTrackingActive(); }));
    ExtTestHooks().pfnClock = nullptr;
    CExtPopupBaseWnd::g_nDefaultAnimationKind = CExtPopupAnimation::AnimationFade;
    EXPECT_EQ(tabs.GetSelectedIndex(), 2);
    Layout();
    EXPECT_LE(tabs.GetFirstVisibleIndex(), 2); // scrolled back to it
    EXPECT_LT(tabs.GetScrollPosition(), nScrolledToEnd);
}

} // namespace
