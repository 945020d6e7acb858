#include "controls/custom/TabStripCtrl.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

const UINT kStripId = 601;

struct Notice
{
    UINT code;
    int tab;
    POINT pt;
};

class CTabParent : public CWnd
{
public:
    std::vector<Notice> notices;

protected:
    afx_msg void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult) { Record(pNMHDR); }
    afx_msg void OnRClick(NMHDR* pNMHDR, LRESULT* pResult) { Record(pNMHDR); }
    void Record(NMHDR* pNMHDR)
    {
        NMTABSTRIP* p = reinterpret_cast<NMTABSTRIP*>(pNMHDR);
        notices.push_back(Notice{p->hdr.code, p->nTab, p->ptScreen});
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTabParent, CWnd)
ON_NOTIFY(TSN_SELCHANGED, kStripId, OnSelChanged)
ON_NOTIFY(TSN_RCLICK, kStripId, OnRClick)
END_MESSAGE_MAP()

// Lets the tests reach the buttons and fonts.
class CTestStrip : public CTabStripCtrl
{
public:
    CFolderButton& Button(int i) { return m_buttons[i]; }
    int ButtonsExtent() const { return m_nButtonsExtent; }
    CFont& SelectedFont() { return m_fontSelected; }
    DWORD Flags() const { return m_dwFlags; }
};

class TabStripTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hHost = kxgui::CreateTestWindow(420, 300, "Tab strip");
        ASSERT_NE(m_hHost, nullptr);
        ASSERT_TRUE(m_parent.Create(nullptr, "parent", WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 420, 300),
                                    CWnd::FromHandle(m_hHost), 1));
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
        AfxDeleteTempMaps();
    }
    void Show(CWnd& wnd)
    {
        wnd.Invalidate(FALSE);
        wnd.UpdateWindow();
        kxgui::PumpUntilIdle();
    }
    // A point well inside tab i (no scrolling).
    static CPoint Inside(CTabStripCtrl& strip, int i) { return strip.GetTab(i)->m_rect.CenterPoint(); }
    HWND m_hHost = nullptr;
    CTabParent m_parent;
};

int Thickness()
{
    return ::GetSystemMetrics(SM_CYHSCROLL) + 1;
}

TEST_F(TabStripTest, TabsAreTheirTextPlusPaddingLongAndOverlapByEightPixels)
{
    CTestStrip strip;
    ASSERT_TRUE(strip.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 40), &m_parent, kStripId, 0));
    EXPECT_TRUE(strip.Flags() & TSF_HORIZONTAL);
    const char* texts[] = {"A", "B", "Chapter"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(strip.AddTab(texts[i]), i);
    EXPECT_EQ(strip.GetTabCount(), 3);
    EXPECT_EQ(strip.GetTab(3), nullptr);

    // fonts may be substituted: measure with the strip's own
    CClientDC dc(&strip);
    CFont* pOld = dc.SelectObject(&strip.SelectedFont());
    int nStart = 0;
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(texts[i]);
        CRect rcText(0, 0, 0, 0);
        dc.DrawText(texts[i], -1, &rcText, DT_CALCRECT);
        const CRect& r = strip.GetTab(i)->m_rect;
        EXPECT_EQ(r, CRect(nStart, 0, nStart + rcText.Width() + 22, Thickness()));
        nStart = r.right - 8;
    }
    dc.SelectObject(pOld);
}

TEST_F(TabStripTest, TheSelectedTabIsDrawnOverItsNeighbours)
{
    CTestStrip strip;
    ASSERT_TRUE(strip.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 40), &m_parent, kStripId, 0));
    for (const char* text : {"A", "B", "C"})
        strip.AddTab(text);
    CRect a = strip.GetTab(0)->m_rect;
    // Where A's right side runs under B: black when A lies on top, B's
    // window-coloured face when B does.
    RECT overlap = {a.right - 4, 1, a.right, 4};
    COLORREF black = RGB(0, 0, 0);

    strip.SetCurSel(1);
    Show(strip);
    kxgui::PixelBuffer shot = kxgui::CaptureScreen(strip.m_hWnd);
    EXPECT_EQ(shot.CountColor(black, overlap), 0);
    EXPECT_EQ(shot.At(a.right - 2, 2), ::GetSysColor(COLOR_WINDOW));

    strip.SetCurSel(0);
    Show(strip);
    shot = kxgui::CaptureScreen(strip.m_hWnd);
    EXPECT_GT(shot.CountColor(black, overlap), 0);
    // the tabs hang from the top; below them the background
    EXPECT_EQ(shot.At(200, Thickness() + 3), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(TabStripTest, LeftClicksNotifyOnlyANewSelectionAndRightClicksAlwaysNotify)
{
    CTestStrip strip;
    ASSERT_TRUE(strip.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 40), &m_parent, kStripId, 0));
    for (const char* text : {"A", "B", "C"})
        strip.AddTab(text);
    Show(strip);

    kxgui::Click(strip.m_hWnd, Inside(strip, 0));
    EXPECT_TRUE(m_parent.notices.empty());

    kxgui::Click(strip.m_hWnd, Inside(strip, 2));
    ASSERT_EQ(m_parent.notices.size(), 1u);
    EXPECT_EQ(m_parent.notices[0].code, TSN_SELCHANGED);
    EXPECT_EQ(m_parent.notices[0].tab, 2);
    EXPECT_EQ(strip.GetCurSel(), 2);

    // empty strip space: no tab, the point on the screen
    m_parent.notices.clear();
    CPoint empty(380, 8);
    kxgui::Click(strip.m_hWnd, empty, true);
    ASSERT_EQ(m_parent.notices.size(), 1u);
    EXPECT_EQ(m_parent.notices[0].code, TSN_RCLICK);
    EXPECT_EQ(m_parent.notices[0].tab, -1);
    CPoint screen = empty;
    strip.ClientToScreen(&screen);
    EXPECT_EQ(CPoint(m_parent.notices[0].pt), screen);

    // a right click on another tab selects it quietly, then notifies
    m_parent.notices.clear();
    kxgui::Click(strip.m_hWnd, Inside(strip, 1), true);
    ASSERT_EQ(m_parent.notices.size(), 1u);
    EXPECT_EQ(m_parent.notices[0].code, TSN_RCLICK);
    EXPECT_EQ(m_parent.notices[0].tab, 1);
    EXPECT_EQ(strip.GetCurSel(), 1);

    // SelectTab notifies a change, SetCurSel never; out of range is refused
    m_parent.notices.clear();
    EXPECT_EQ(strip.SetCurSel(0), 0);
    EXPECT_EQ(strip.SelectTab(0), 0);
    EXPECT_EQ(strip.SelectTab(5), -1);
    EXPECT_TRUE(m_parent.notices.empty());
    EXPECT_EQ(strip.SelectTab(2), 2);
    EXPECT_EQ(m_parent.notices.size(), 1u);
}

TEST_F(TabStripTest, HoldingTheNextButtonRepeatsAndStopsAtTheLastTab)
{
    CTestStrip strip;
    ASSERT_TRUE(strip.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 30), &m_parent, kStripId, TSF_BUTTONS));
    for (const char* text : {"One", "Two", "Three", "Four", "Five"})
        strip.AddTab(text);
    EXPECT_EQ(strip.ButtonsExtent(), 40);
    CFolderButton& next = strip.Button(1);
    CRect rcNext;
    next.GetWindowRect(&rcNext);
    strip.ScreenToClient(&rcNext);
    EXPECT_EQ(rcNext, CRect(20, 0, 40, 20));
    Show(strip);

    {
        kxgui::InputScript input;
        input.MoveTo(strip.m_hWnd, rcNext.CenterPoint()).ButtonDown().Send();
        kxgui::PumpUntilIdle();
        // nothing before the first tick (500 ms)...
        EXPECT_EQ(strip.GetFirstVisible(), 0);
        // ...then one tab per tick; the ticks are driven here, not waited for
        next.SendMessage(WM_TIMER, CFolderButton::idRepeat);
        EXPECT_EQ(strip.GetFirstVisible(), 1);
        EXPECT_EQ(next.m_nRepeat, 1);
        next.SendMessage(WM_TIMER, CFolderButton::idRepeat);
        EXPECT_EQ(strip.GetFirstVisible(), 2);
        // and one for the release
        input.ButtonUp().Send();
        kxgui::PumpUntilIdle();
        EXPECT_EQ(strip.GetFirstVisible(), 3);
    }
    // tab 4 is the last: later commands change nothing
    kxgui::Click(strip.m_hWnd, rcNext.CenterPoint());
    EXPECT_EQ(strip.GetFirstVisible(), 4);
    kxgui::Click(strip.m_hWnd, rcNext.CenterPoint());
    EXPECT_EQ(strip.GetFirstVisible(), 4);
    // tabs are hit where they are shown
    Show(strip);
    m_parent.notices.clear();
    kxgui::Click(strip.m_hWnd, CPoint(50, 8));
    ASSERT_EQ(m_parent.notices.size(), 1u);
    EXPECT_EQ(m_parent.notices[0].tab, 4);

    // back again with the previous button, pressed by a double click
    CFolderButton& previous = strip.Button(0);
    previous.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    // its repeat timer runs (killing it succeeds; the tick below re-arms it)
    EXPECT_TRUE(::KillTimer(previous.m_hWnd, CFolderButton::idRepeat));
    previous.SendMessage(WM_TIMER, CFolderButton::idRepeat);
    previous.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    kxgui::PumpUntilIdle();
    EXPECT_EQ(strip.GetFirstVisible(), 2);
}

TEST_F(TabStripTest, ADisabledButtonStopsRepeating)
{
    CTestStrip strip;
    ASSERT_TRUE(strip.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 30), &m_parent, kStripId, TSF_BUTTONS));
    for (const char* text : {"One", "Two", "Three"})
        strip.AddTab(text);
    CFolderButton& next = strip.Button(1);
    next.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    next.EnableWindow(FALSE);
    next.SendMessage(WM_TIMER, CFolderButton::idRepeat);
    EXPECT_EQ(strip.GetFirstVisible(), 0);
    // the timer is gone: killing it again fails
    EXPECT_FALSE(::KillTimer(next.m_hWnd, CFolderButton::idRepeat));
    next.EnableWindow(TRUE);
    next.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST_F(TabStripTest, ADisabledStripShowsOnlyItsBackgroundAndButtons)
{
    CTestStrip strip;
    ASSERT_TRUE(strip.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 30), &m_parent, kStripId, TSF_BUTTONS));
    for (const char* text : {"One", "Two", "Three"})
        strip.AddTab(text);
    strip.SetCurSel(1);
    Show(strip);
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    RECT tabsArea = {40, 0, 400, 20};
    kxgui::PixelBuffer enabled = kxgui::CaptureScreen(strip.m_hWnd);
    EXPECT_LT(enabled.CountColor(face, tabsArea), 360 * 20);

    strip.EnableWindow(FALSE);
    kxgui::PumpUntilIdle();
    kxgui::PixelBuffer disabled = kxgui::CaptureScreen(strip.m_hWnd);
    EXPECT_EQ(disabled.CountColor(face, tabsArea), 360 * 20);
    // the buttons still show their frame and arrow
    EXPECT_LT(disabled.CountColor(face, RECT{0, 0, 40, 20}), 40 * 20);
    kxgui::SaveArtifact(disabled, "tabstrip_disabled.png");
}

TEST_F(TabStripTest, AnEmptiedStripPaintsClicksAndScrollsWithoutNotices)
{
    CTestStrip strip;
    ASSERT_TRUE(strip.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 30), &m_parent, kStripId, TSF_BUTTONS));
    for (const char* text : {"One", "Two", "Three", "Four"})
        strip.AddTab(text);
    strip.SetCurSel(3);
    strip.SendMessage(WM_COMMAND, MAKEWPARAM(CTabStripCtrl::idNext, BN_CLICKED),
                      reinterpret_cast<LPARAM>(strip.Button(1).m_hWnd));
    strip.SendMessage(WM_COMMAND, MAKEWPARAM(CTabStripCtrl::idNext, BN_CLICKED),
                      reinterpret_cast<LPARAM>(strip.Button(1).m_hWnd));
    ASSERT_EQ(strip.GetFirstVisible(), 2);

    EXPECT_EQ(strip.DeleteAllTabs(), 1);
    EXPECT_EQ(strip.GetTabCount(), 0);
    EXPECT_EQ(strip.GetCurSel(), 0);
    EXPECT_EQ(strip.GetFirstVisible(), 0);
    Show(strip);
    kxgui::PixelBuffer shot = kxgui::CaptureScreen(strip.m_hWnd);
    EXPECT_EQ(shot.CountColor(::GetSysColor(COLOR_BTNFACE), RECT{40, 0, 400, 20}), 360 * 20);

    m_parent.notices.clear();
    kxgui::Click(strip.m_hWnd, CPoint(60, 8));
    ::SendMessageA(strip.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(60, 8));
    kxgui::Click(strip.m_hWnd, CPoint(30, 10));
    kxgui::Click(strip.m_hWnd, CPoint(10, 10));
    EXPECT_TRUE(m_parent.notices.empty());
    EXPECT_EQ(strip.GetFirstVisible(), 0);
    EXPECT_EQ(strip.HitTest(60, 8), -1);
}

TEST_F(TabStripTest, VerticalStripsTurnTheirTabsAndText)
{
    CTestStrip strip;
    // 258 = 0x102: buttons, vertical
    ASSERT_TRUE(strip.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 30, 290), &m_parent, kStripId, 258));
    EXPECT_FALSE(strip.Flags() & TSF_HORIZONTAL);
    for (const char* text : {"Angle 1", "Angle 2", "Angle 3"})
        strip.AddTab(text);
    strip.SetCurSel(1);
    EXPECT_EQ(strip.ButtonsExtent(), 40);
    const CRect& first = strip.GetTab(0)->m_rect;
    const CRect& second = strip.GetTab(1)->m_rect;
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(first.Width(), Thickness());
    EXPECT_EQ(second.top, first.bottom - 8);
    Show(strip);

    // tabs start after the buttons; a click in the second one selects it
    m_parent.notices.clear();
    kxgui::Click(strip.m_hWnd, CPoint(10, 40 + first.bottom + 10));
    ASSERT_EQ(m_parent.notices.size(), 0u) << "tab 1 was already selected";
    kxgui::Click(strip.m_hWnd, CPoint(10, 40 + first.top + 20));
    ASSERT_EQ(m_parent.notices.size(), 1u);
    EXPECT_EQ(m_parent.notices[0].tab, 0);

    // the text stays inside its tab
    strip.SetCurSel(1);
    Show(strip);
    kxgui::PixelBuffer shot = kxgui::CaptureScreen(strip.m_hWnd);
    COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    int inside = shot.CountColor(text, RECT{1, 40 + second.top + 10, 20, 40 + second.bottom - 10});
    EXPECT_GT(inside, 0);
    kxgui::SaveArtifact(shot, "tabstrip_vertical.png");
}

TEST_F(TabStripTest, Screenshots)
{
    CTestStrip strip;
    ASSERT_TRUE(strip.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 410, 30), &m_parent, kStripId, TSF_BUTTONS));
    for (const char* text : {"Video", "Audio 1", "Audio 2", "Subtitles"})
        strip.AddTab(text);
    strip.SetCurSel(1);
    Show(strip);
    kxgui::SaveArtifact(kxgui::CaptureScreen(strip.m_hWnd), "tabstrip_horizontal.png");

    // the next button held down
    kxgui::InputScript input;
    input.MoveTo(strip.m_hWnd, CPoint(30, 10)).ButtonDown().Send();
    kxgui::PumpUntilIdle();
    kxgui::PixelBuffer pressed = kxgui::CaptureScreen(strip.m_hWnd);
    input.ButtonUp().Send();
    kxgui::PumpUntilIdle();
    kxgui::SaveArtifact(pressed, "tabstrip_button_pressed.png");
}

} // namespace
