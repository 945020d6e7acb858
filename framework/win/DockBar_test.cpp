// Docking: dock bars and their rows, delayed showing through them, floating
// frames, docking back and forth, and stored layouts applied again.
#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"
#include "framework/core/DockState.h"
#include "framework/win/Dc.h"
#include "framework/win/DockBar.h"
#include "framework/win/DockContext.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/MiniDockFrameWnd.h"
#include "framework/win/WinThread.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{

const UINT kIdA = AFX_IDW_CONTROLBAR_FIRST + 50;
const UINT kIdB = kIdA + 1;
const UINT kIdC = kIdA + 2;

// A bar of a fixed size (turned on its side in a vertical dock bar),
// painted in its own colour with its name.
class CFixedBar : public CControlBar
{
public:
    CSize m_size;
    COLORREF m_color = RGB(0, 0, 0);
    int m_nCommitLength = -1; // the last length asked for with LM_COMMIT
    DWORD m_dwCommitMode = 0;

    BOOL Create(CWnd* pParent, UINT nID, const char* name, CSize size, COLORREF color)
    {
        m_size = size;
        m_color = color;
        m_dwStyle = CBRS_TOP;
        return CWnd::CreateEx(0, AfxRegisterWndClass(0), name, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pParent, nID);
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? m_size : CSize(m_size.cy, m_size.cx); }
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override
    {
        if (nMode & LM_COMMIT)
        {
            m_nCommitLength = nLength;
            m_dwCommitMode = nMode;
        }
        return CControlBar::CalcDynamicLayout(nLength, nMode);
    }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    void DoPaint(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, m_color);
        CString name;
        GetWindowText(name);
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(RGB(255, 255, 255));
        pDC->DrawText(name, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
};

class CDockFrame : public CFrameWnd
{
public:
    CFixedBar m_barA, m_barB, m_barC;
    CWnd m_pane;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        if (!m_barA.Create(this, kIdA, "A", CSize(100, 26), RGB(200, 0, 0)) ||
            !m_barB.Create(this, kIdB, "B", CSize(100, 26), RGB(0, 150, 0)) ||
            !m_barC.Create(this, kIdC, "C", CSize(120, 30), RGB(0, 0, 200)) ||
            !m_pane.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST))
            return -1;
        EnableDocking(CBRS_ALIGN_ANY);
        for (CControlBar* pBar : {&m_barA, &m_barB, &m_barC})
            pBar->EnableDocking(CBRS_ALIGN_ANY);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDockFrame, CFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

// A floating frame whose dock bar is of a class of its own, as the toolkit's.
class CTestFloatDockBar : public CDockBar
{
};

class CTestMiniDockFrame : public CMiniDockFrameWnd
{
    DECLARE_DYNCREATE(CTestMiniDockFrame)

protected:
    CDockBar* CreateFloatingDockBar() override { return new CTestFloatDockBar; }
};
IMPLEMENT_DYNCREATE(CTestMiniDockFrame, CMiniDockFrameWnd)

class DockBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pFrame = new CDockFrame;
        ASSERT_TRUE(m_pFrame->Create(nullptr, "docking", WS_OVERLAPPEDWINDOW, CRect(0, 0, 500, 400)));
        m_pFrame->ShowWindow(SW_SHOW);
        m_app.m_pMainWnd = m_pFrame;
        m_pTop = dynamic_cast<CDockBar*>(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_TOP));
        ASSERT_NE(m_pTop, nullptr);
        Idle();
        // two rows: A and B, then C
        Dock(&m_pFrame->m_barA, m_pTop, CRect(0, 0, 100, 26));
        Dock(&m_pFrame->m_barB, m_pTop, CRect(100, 0, 200, 26));
        Dock(&m_pFrame->m_barC, m_pTop, CRect(0, 26, 120, 56));
        Idle();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr; // no quit for the test's thread
        if (m_pFrame)
            m_pFrame->DestroyWindow();
        kxgui::PumpUntilIdle();
    }
    void Idle()
    {
        kxgui::PumpUntilIdle();
        m_app.OnIdle(0);
        kxgui::PumpUntilIdle();
    }
    // Docks at a rectangle given in the dock bar's client coordinates.
    void Dock(CControlBar* pBar, CDockBar* pDockBar, CRect rect)
    {
        pDockBar->ClientToScreen(&rect);
        m_pFrame->DockControlBar(pBar, pDockBar, &rect);
    }
    static CRect RectIn(CWnd* pParent, CWnd* pChild)
    {
        CRect rect;
        pChild->GetWindowRect(&rect);
        pParent->ScreenToClient(&rect);
        return rect;
    }
    // The row array as text: "|" a row end, a bar's name, its name in lower
    // case for its placeholder, "?" for anything else.
    std::string Rows(const CDockBar* pDockBar) const
    {
        std::string text;
        for (INT_PTR i = 0; i < pDockBar->m_arrBars.GetSize(); ++i)
        {
            void* p = pDockBar->m_arrBars[i];
            if (!p)
                text += '|';
            else if (CDockBar::IsPlaceholder(p))
                text += static_cast<char>('a' + (reinterpret_cast<uintptr_t>(p) - kIdA));
            else
                text += Name(static_cast<CControlBar*>(p));
        }
        return text;
    }
    char Name(CControlBar* pBar) const
    {
        for (CFixedBar* p : {&m_pFrame->m_barA, &m_pFrame->m_barB, &m_pFrame->m_barC})
        {
            if (p == pBar)
                return static_cast<char>('A' + (p->GetDlgCtrlID() - static_cast<int>(kIdA)));
        }
        return '?';
    }
    // Sets the rows from text as Rows writes them.
    void SetRows(CDockBar* pDockBar, const std::string& text)
    {
        pDockBar->m_arrBars.RemoveAll();
        for (char ch : text)
        {
            if (ch == '|')
                pDockBar->m_arrBars.Add(nullptr);
            else if (ch >= 'a')
                pDockBar->m_arrBars.Add(reinterpret_cast<void*>(static_cast<uintptr_t>(kIdA + (ch - 'a'))));
            else
                pDockBar->m_arrBars.Add(Bar(ch));
        }
    }
    CFixedBar* Bar(char name) const
    {
        return name == 'A' ? &m_pFrame->m_barA : name == 'B' ? &m_pFrame->m_barB : &m_pFrame->m_barC;
    }
    // The frame's bars into a dock state, in the frame's list order.
    void Capture(CDockState& state)
    {
        state.Clear();
        POSITION pos = m_pFrame->m_listControlBars.GetHeadPosition();
        while (pos)
        {
            auto* pBar = static_cast<CControlBar*>(m_pFrame->m_listControlBars.GetNext(pos));
            auto* pInfo = new CControlBarInfo;
            pBar->GetBarInfo(pInfo);
            state.m_arrBarInfo.Add(pInfo);
        }
    }
    // Applies a dock state: a floating dock bar's record gets a new floating
    // frame, every other record the frame's bar of its id.
    void Apply(CDockState& state)
    {
        for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i)
        {
            CControlBarInfo* pInfo = state.GetBarInfo(i);
            if (pInfo->m_bFloating && pInfo->m_bDockBar)
            {
                CMiniDockFrameWnd* pFloat =
                    m_pFrame->CreateFloatingFrame(pInfo->m_bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT);
                pInfo->m_pBar = pFloat->m_pWndDockBar;
            }
            else
            {
                pInfo->m_pBar = m_pFrame->GetControlBar(pInfo->m_nBarID);
            }
        }
        for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i)
        {
            CControlBarInfo* pInfo = state.GetBarInfo(i);
            if (pInfo->m_pBar)
                pInfo->m_pBar->SetBarInfo(pInfo, m_pFrame);
        }
    }

    CWinApp m_app{"Kestrelux"};
    CDockFrame* m_pFrame = nullptr;
    CDockBar* m_pTop = nullptr;
};

::testing::AssertionResult RowsAreWellFormed(const CDockBar* pDockBar)
{
    const CPtrArray& arr = pDockBar->m_arrBars;
    if (arr.GetSize() == 0 || arr[0] != nullptr || arr[arr.GetSize() - 1] != nullptr)
        return ::testing::AssertionFailure() << "the array must start and end with a row end";
    for (INT_PTR i = 1; i < arr.GetSize(); ++i)
    {
        if (arr[i] == nullptr && arr[i - 1] == nullptr)
            return ::testing::AssertionFailure() << "two row ends at " << i;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(DockBarTest, BarsDockedAtRectanglesFormRowsAndKeepTheirPlaceWhileFloating)
{
    for (UINT nID : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT})
    {
        auto* pDockBar = dynamic_cast<CDockBar*>(m_pFrame->GetControlBar(nID));
        ASSERT_NE(pDockBar, nullptr) << nID;
        EXPECT_TRUE(pDockBar->IsDockBar());
        EXPECT_FALSE(pDockBar->m_bFloating);
    }
    CFixedBar& b = m_pFrame->m_barB;
    EXPECT_EQ(Rows(m_pTop), "|AB|C|");
    EXPECT_EQ(b.m_pDockBar, m_pTop);
    EXPECT_EQ(b.GetParent(), m_pTop);
    EXPECT_EQ(m_pTop->GetDockedCount(), 3);
    EXPECT_EQ(m_pTop->GetDockedControlBar(1), &b);

    // floated, B leaves its id in its place; docked without a rectangle it
    // goes back there and its floating frame goes
    m_pFrame->FloatControlBar(&b, CPoint(300, 300));
    EXPECT_EQ(Rows(m_pTop), "|Ab|C|");
    EXPECT_TRUE(b.IsFloating());
    HWND hFloat = b.GetParentFrame()->m_hWnd;
    m_pFrame->DockControlBar(&b, AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(Rows(m_pTop), "|AB|C|");
    EXPECT_FALSE(b.IsFloating());
    EXPECT_FALSE(b.m_dwStyle & CBRS_FLOATING);
    EXPECT_FALSE(::IsWindow(hFloat));
    Idle();
    EXPECT_EQ(RectIn(m_pTop, &b), CRect(100, 0, 200, 26));

    // a docked bar's placeholder elsewhere goes when it docks anywhere
    auto* pBottom = static_cast<CDockBar*>(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    SetRows(pBottom, "|b|");
    m_pFrame->DockControlBar(&m_pFrame->m_barC, AFX_IDW_DOCKBAR_LEFT);
    m_pFrame->DockControlBar(&b, AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(Rows(pBottom), "|");
    EXPECT_EQ(Rows(m_pTop), "|A|");
}

TEST_F(DockBarTest, RemovingABarNeverLeavesTwoRowEnds)
{
    const struct
    {
        const char* before;
        char bar;
        int placeholder;
        BOOL removed;
        const char* after;
    } cases[] = {
        {"|AB|C|", 'C', -1, TRUE, "|AB|"},   {"|AB|C|", 'A', 1, TRUE, "|aB|C|"},
        {"|A|C|", 'A', 0, TRUE, "|C|"},      {"|A|C|", 'A', 1, TRUE, "|a|C|"},
        {"|Ab|C|", 'A', -1, TRUE, "|b|C|"},  {"|A|c|C|", 'C', 0, TRUE, "|A|"}, // 0 takes its placeholders too
        {"|A|c|C|", 'C', -1, TRUE, "|A|c|"},                                   // -1 leaves them
        {"|a|A|", 'A', 1, TRUE, "|a|"},                                        // one placeholder is enough
        {"|A|", 'A', -1, TRUE, "|"},         {"|A|", 'B', 1, FALSE, "|A|"},
        {"|AB|C|", 'B', 1, TRUE, "|Ab|C|"},
    };
    for (const auto& c : cases)
    {
        SetRows(m_pTop, c.before);
        CFixedBar* pBar = Bar(c.bar);
        pBar->m_pDockBar = m_pTop;
        EXPECT_EQ(m_pTop->RemoveControlBar(pBar, -1, c.placeholder), c.removed) << c.before << " " << c.bar;
        EXPECT_EQ(Rows(m_pTop), c.after) << c.before << " " << c.bar;
        EXPECT_TRUE(RowsAreWellFormed(m_pTop)) << c.before << " " << c.bar;
    }
    // back to what the bars think before the frame lays out again
    SetRows(m_pTop, "|AB|C|");
    for (char name : {'A', 'B', 'C'})
        Bar(name)->m_pDockBar = m_pTop;

    // a bar that goes leaves its entry and the row closes
    m_pFrame->m_barB.DestroyWindow();
    EXPECT_EQ(Rows(m_pTop), "|A|C|");
    m_pFrame->m_barA.DestroyWindow();
    EXPECT_EQ(Rows(m_pTop), "|C|");
    Idle();
    EXPECT_EQ(RectIn(m_pTop, &m_pFrame->m_barC).top, 0);
}

TEST_F(DockBarTest, RowsOfFixedBarsTakeTheirThicknessAndThePaneTheRest)
{
    CRect client;
    m_pFrame->GetClientRect(&client);
    // 26 + 30 and the top dock bar's bottom border
    const int nHeight = 26 + 30 + afxData.cyBorder2;
    EXPECT_EQ(RectIn(m_pFrame, m_pTop), CRect(0, 0, client.right, nHeight));
    EXPECT_EQ(RectIn(m_pTop, &m_pFrame->m_barA), CRect(0, 0, 100, 26));
    EXPECT_EQ(RectIn(m_pTop, &m_pFrame->m_barB), CRect(100, 0, 200, 26));
    EXPECT_EQ(RectIn(m_pTop, &m_pFrame->m_barC), CRect(0, 26, 120, 56));
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane), CRect(0, nHeight, client.right, client.bottom));
    // the other dock bars hold nothing and take no room
    CControlBar* pLeft = m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(RectIn(m_pFrame, pLeft).Width(), 0);

    // a layout query measures the new size and moves nothing
    m_pFrame->m_barC.m_size = CSize(120, 40);
    CRect query;
    m_pFrame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &query);
    EXPECT_EQ(query.top, 26 + 40 + afxData.cyBorder2);
    EXPECT_EQ(RectIn(m_pFrame, m_pTop).Height(), nHeight);
    EXPECT_EQ(RectIn(m_pTop, &m_pFrame->m_barC).Height(), 30);
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane).top, nHeight);
    m_pFrame->RecalcLayout();
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane).top, 26 + 40 + afxData.cyBorder2);

    // a bar moved along its row keeps its gap; a narrow frame pulls it back
    m_pFrame->m_barB.SetWindowPos(nullptr, 150, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    m_pFrame->RecalcLayout();
    EXPECT_EQ(RectIn(m_pTop, &m_pFrame->m_barB).left, 150);
    m_pFrame->SetWindowPos(nullptr, 0, 0, 220, 300, SWP_NOMOVE | SWP_NOZORDER);
    m_pFrame->GetClientRect(&client);
    EXPECT_EQ(RectIn(m_pTop, &m_pFrame->m_barB).right, client.right);
    EXPECT_EQ(Rows(m_pTop), "|AB|C|");
    // no room at all: the bar starts a row of its own
    m_pFrame->m_barA.m_size = CSize(300, 26);
    m_pFrame->RecalcLayout();
    EXPECT_EQ(Rows(m_pTop), "|A|B|C|");
    EXPECT_EQ(RectIn(m_pTop, &m_pFrame->m_barB).top, 26);
}

TEST_F(DockBarTest, EachSideLaysItsRowsAcrossItsOwnDirection)
{
    const int b2x = afxData.cxBorder2;
    const int b2y = afxData.cyBorder2;
    // C (120 by 30 lying, 30 by 120 standing) alone on each side: the dock
    // bar's border faces the frame's centre
    const struct
    {
        UINT nID;
        CRect bar;   // in the dock bar
        int nAcross; // the dock bar's thickness
        bool bHorz;
    } cases[] = {
        {AFX_IDW_DOCKBAR_BOTTOM, CRect(0, b2y, 120, b2y + 30), 30 + b2y, true},
        {AFX_IDW_DOCKBAR_LEFT, CRect(0, 0, 30, 120), 30 + b2x, false},
        {AFX_IDW_DOCKBAR_RIGHT, CRect(b2x, 0, b2x + 30, 120), 30 + b2x, false},
    };
    CFixedBar& c = m_pFrame->m_barC;
    for (const auto& k : cases)
    {
        auto* pDockBar = static_cast<CDockBar*>(m_pFrame->GetControlBar(k.nID));
        m_pFrame->DockControlBar(&c, k.nID);
        EXPECT_EQ(c.m_pDockBar, pDockBar) << k.nID;
        EXPECT_EQ((c.m_dwStyle & CBRS_ORIENT_HORZ) != 0, k.bHorz) << k.nID;
        Idle();
        EXPECT_EQ(RectIn(pDockBar, &c), k.bar) << k.nID;
        CRect rect = RectIn(m_pFrame, pDockBar);
        EXPECT_EQ(k.bHorz ? rect.Height() : rect.Width(), k.nAcross) << k.nID;
        EXPECT_EQ(Rows(pDockBar), "|C|") << k.nID;
    }
    // the pane has what the top row and the right dock bar leave
    CRect client;
    m_pFrame->GetClientRect(&client);
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane), CRect(0, 26 + b2y, client.right - 30 - b2x, client.bottom));
}

TEST_F(DockBarTest, DelayedHidingWaitsForTheLayoutAndTheRowClosesUp)
{
    CFixedBar& c = m_pFrame->m_barC;
    m_pFrame->ShowControlBar(&c, FALSE, TRUE);
    EXPECT_FALSE(c.IsVisible());
    EXPECT_TRUE(c.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane).top, 26 + 30 + afxData.cyBorder2);

    Idle();
    EXPECT_FALSE(c.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(RectIn(m_pFrame, m_pTop).Height(), 26 + afxData.cyBorder2);
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane).top, 26 + afxData.cyBorder2);
    EXPECT_EQ(Rows(m_pTop), "|AB|C|");

    m_pFrame->ShowControlBar(&c, TRUE, TRUE);
    EXPECT_TRUE(c.IsVisible());
    Idle();
    EXPECT_TRUE(c.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(RectIn(m_pTop, &c), CRect(0, 26, 120, 56));
    EXPECT_EQ(RectIn(m_pFrame, &m_pFrame->m_pane).top, 26 + 30 + afxData.cyBorder2);
}

TEST_F(DockBarTest, AFloatingBarLivesInTheFrameClassesDockBarAndTheFrameFitsIt)
{
    m_pFrame->m_pFloatingFrameClass = RUNTIME_CLASS(CTestMiniDockFrame);
    CFixedBar& c = m_pFrame->m_barC;
    m_pFrame->FloatControlBar(&c, CPoint(260, 240));
    auto* pDockBar = dynamic_cast<CTestFloatDockBar*>(c.GetParent());
    ASSERT_NE(pDockBar, nullptr);
    EXPECT_EQ(c.m_pDockBar, pDockBar);
    EXPECT_EQ(pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_FLOAT);
    EXPECT_TRUE(pDockBar->m_bFloating);
    EXPECT_EQ(pDockBar->m_pDockSite, m_pFrame);
    EXPECT_NE(m_pFrame->m_listControlBars.Find(pDockBar), nullptr);
    EXPECT_TRUE(c.IsFloating());
    EXPECT_TRUE(c.m_dwStyle & CBRS_FLOATING);
    EXPECT_EQ(Rows(m_pTop), "|AB|c|");
    EXPECT_EQ(Rows(pDockBar), "|C|");

    auto* pFloat = dynamic_cast<CTestMiniDockFrame*>(c.GetParentFrame());
    ASSERT_NE(pFloat, nullptr);
    EXPECT_EQ(pFloat->m_pWndDockBar, pDockBar);
    EXPECT_TRUE(pFloat->IsWindowVisible());
    CRect window, client;
    pFloat->GetWindowRect(&window);
    pFloat->GetClientRect(&client);
    EXPECT_EQ(window.TopLeft(), CPoint(260, 240));
    EXPECT_EQ(client.Size(), CSize(120, 30));
    EXPECT_EQ(RectIn(pFloat, &c), CRect(0, 0, 120, 30));
    CString title;
    pFloat->GetWindowText(title);
    EXPECT_STREQ(title, "C");
    // the main frame's top dock bar lost a row
    Idle();
    EXPECT_EQ(RectIn(m_pFrame, m_pTop).Height(), 26 + afxData.cyBorder2);

    // hiding its only bar hides the frame; showing it shows the frame
    m_pFrame->ShowControlBar(&c, FALSE, TRUE);
    Idle();
    EXPECT_FALSE(pFloat->IsWindowVisible());
    EXPECT_FALSE(c.GetStyle() & WS_VISIBLE);
    m_pFrame->ShowControlBar(&c, TRUE, TRUE);
    Idle();
    EXPECT_TRUE(pFloat->IsWindowVisible());
    EXPECT_TRUE(c.GetStyle() & WS_VISIBLE);

    // closing the frame hides the bar, which stays there
    pFloat->SendMessage(WM_CLOSE);
    EXPECT_FALSE(c.GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(pFloat->IsWindowVisible());
    EXPECT_EQ(c.GetParentFrame(), pFloat);

    // the help hit test names the bar
    EXPECT_EQ(c.SendMessage(WM_HELPHITTEST), static_cast<LRESULT>(kIdC));
}

TEST_F(DockBarTest, ToggleDockingFloatsAtTheRememberedPointAndDocksBackInPlace)
{
    CFixedBar& b = m_pFrame->m_barB;
    ASSERT_NE(b.m_pDockContext, nullptr);
    CDockContext* pContext = b.m_pDockContext;
    EXPECT_EQ(pContext->m_uMRUDockID, static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    pContext->m_ptMRUFloatPos = CPoint(320, 260);
    pContext->m_dwMRUFloatStyle = CBRS_ALIGN_TOP;

    pContext->ToggleDocking();
    ASSERT_TRUE(b.IsFloating());
    CRect window;
    b.GetParentFrame()->GetWindowRect(&window);
    EXPECT_EQ(window.TopLeft(), CPoint(320, 260));
    EXPECT_EQ(pContext->m_rectMRUDockPos, CRect(100, 0, 200, 26));
    Idle();

    HWND hFloat = b.GetParentFrame()->m_hWnd;
    pContext->ToggleDocking();
    EXPECT_FALSE(b.IsFloating());
    EXPECT_EQ(b.m_pDockBar, m_pTop);
    EXPECT_EQ(Rows(m_pTop), "|AB|C|");
    EXPECT_FALSE(::IsWindow(hFloat));
    EXPECT_EQ(m_pFrame->m_listControlBars.GetCount(), 3 + 4); // its floating dock bar left the list
    Idle();
    EXPECT_EQ(RectIn(m_pTop, &b), CRect(100, 0, 200, 26));
    EXPECT_TRUE(b.GetStyle() & WS_VISIBLE);

    // a bar that never floated floats where it is
    CFixedBar& a = m_pFrame->m_barA;
    CRect rectA;
    a.GetWindowRect(&rectA);
    a.m_pDockContext->ToggleDocking();
    ASSERT_TRUE(a.IsFloating());
    a.GetParentFrame()->GetWindowRect(&window);
    EXPECT_EQ(window.TopLeft(), rectA.TopLeft());
}

TEST_F(DockBarTest, DraggingABarDocksItUnderTheCursorOrFloatsIt)
{
    CFixedBar& c = m_pFrame->m_barC;
    CRect rectC;
    c.GetWindowRect(&rectC);
    CPoint start = rectC.TopLeft() + CSize(5, 5);
    auto post = [&](UINT nMsg, CPoint screen)
    {
        CPoint pt = screen;
        c.ScreenToClient(&pt);
        c.PostMessage(nMsg, 0, MAKELPARAM(pt.x, pt.y));
    };
    // let go in the middle of the pane: the bar floats there
    post(WM_MOUSEMOVE, start + CSize(40, 100));
    post(WM_LBUTTONUP, start + CSize(50, 150));
    c.m_pDockContext->StartDrag(start);
    ASSERT_TRUE(c.IsFloating());
    CRect window;
    c.GetParentFrame()->GetWindowRect(&window);
    EXPECT_EQ(window.TopLeft(), rectC.TopLeft() + CSize(50, 150));

    // dragged onto the bottom dock bar it docks there
    auto* pBottom = static_cast<CDockBar*>(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    CRect bottom;
    pBottom->GetWindowRect(&bottom);
    c.GetWindowRect(&rectC);
    start = rectC.TopLeft() + CSize(5, 5);
    post(WM_LBUTTONUP, CPoint(bottom.left + 20, bottom.top - 2));
    c.m_pDockContext->StartDrag(start);
    EXPECT_EQ(c.m_pDockBar, pBottom);
    EXPECT_EQ(Rows(pBottom), "|C|");

    // Escape leaves the bar where it is
    c.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    c.m_pDockContext->StartDrag(start);
    EXPECT_EQ(c.m_pDockBar, pBottom);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(DockBarTest, ResizingAFloatingBarAsksItForTheNewLength)
{
    CFixedBar& c = m_pFrame->m_barC;
    m_pFrame->FloatControlBar(&c, CPoint(200, 200));
    CRect rect;
    c.GetWindowRect(&rect);
    const struct
    {
        int nHitTest;
        CSize move;
        int nLength;
        DWORD dwMode;
    } cases[] = {
        {HTRIGHT, CSize(30, 5), 120 + 30, LM_COMMIT | LM_HORZ},
        {HTLEFT, CSize(30, 0), 120 - 30, LM_COMMIT | LM_HORZ},
        {HTBOTTOM, CSize(0, 12), 30 + 12, LM_COMMIT | LM_HORZ | LM_LENGTHY},
    };
    for (const auto& k : cases)
    {
        CPoint pt = rect.BottomRight() + k.move;
        c.ScreenToClient(&pt);
        c.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        c.m_pDockContext->StartResize(k.nHitTest, rect.BottomRight());
        EXPECT_EQ(c.m_nCommitLength, k.nLength) << k.nHitTest;
        EXPECT_EQ(c.m_dwCommitMode, k.dwMode) << k.nHitTest;
    }
    // a docked bar is not resized this way
    c.m_nCommitLength = -1;
    c.m_pDockContext->ToggleDocking();
    c.PostMessage(WM_LBUTTONUP, 0, 0);
    c.m_pDockContext->StartResize(HTRIGHT, rect.BottomRight());
    EXPECT_EQ(c.m_nCommitLength, -1);
    kxgui::PumpUntilIdle();
}

TEST_F(DockBarTest, AFloatingFrameClassThatIsNoneIsAResourceFailure)
{
    m_pFrame->m_pFloatingFrameClass = RUNTIME_CLASS(CFrameWnd);
    bool bThrown = false;
    try
    {
        m_pFrame->FloatControlBar(&m_pFrame->m_barA, CPoint(100, 100));
    }
    catch (CResourceException* e)
    {
        e->Delete();
        bThrown = true;
    }
    EXPECT_TRUE(bThrown);
    // the bar stays where it was
    EXPECT_EQ(m_pFrame->m_barA.m_pDockBar, m_pTop);
    EXPECT_EQ(Rows(m_pTop), "|AB|C|");
}

TEST_F(DockBarTest, AStoredLayoutComesBackThroughTheDockState)
{
    m_pFrame->FloatControlBar(&m_pFrame->m_barC, CPoint(300, 250));
    m_pFrame->ShowControlBar(&m_pFrame->m_barB, FALSE, TRUE);
    m_pFrame->m_barA.m_nMRUWidth = 77;
    Idle();
    CDockState stored;
    Capture(stored);
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        stored.Serialize(ar);
    }

    // everything moves elsewhere
    m_pFrame->DockControlBar(&m_pFrame->m_barC, AFX_IDW_DOCKBAR_LEFT);
    m_pFrame->DockControlBar(&m_pFrame->m_barA, AFX_IDW_DOCKBAR_BOTTOM);
    m_pFrame->ShowControlBar(&m_pFrame->m_barB, TRUE, TRUE);
    m_pFrame->m_barA.m_nMRUWidth = 5;
    Idle();
    ASSERT_EQ(Rows(m_pTop), "|B|");

    CDockState loaded;
    file.SeekToBegin();
    {
        CArchive ar(&file, CArchive::load);
        loaded.Serialize(ar);
    }
    Apply(loaded);
    Idle();
    EXPECT_EQ(Rows(m_pTop), "|AB|c|");
    EXPECT_TRUE(m_pFrame->m_barC.IsFloating());
    EXPECT_TRUE(m_pFrame->m_barC.GetParentFrame()->IsWindowVisible());
    EXPECT_FALSE(m_pFrame->m_barB.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(m_pFrame->m_barA.m_nMRUWidth, 77);

    CDockState again;
    Capture(again);
    ASSERT_EQ(again.m_arrBarInfo.GetSize(), stored.m_arrBarInfo.GetSize());
    for (INT_PTR i = 0; i < stored.m_arrBarInfo.GetSize(); ++i)
    {
        const CControlBarInfo& a = *stored.GetBarInfo(i);
        const CControlBarInfo& b = *again.GetBarInfo(i);
        SCOPED_TRACE(a.m_nBarID);
        EXPECT_EQ(a.m_nBarID, b.m_nBarID);
        EXPECT_EQ(a.m_bVisible, b.m_bVisible);
        EXPECT_EQ(a.m_bFloating, b.m_bFloating);
        EXPECT_EQ(a.m_bHorz, b.m_bHorz);
        EXPECT_EQ(a.m_bDockBar, b.m_bDockBar);
        EXPECT_EQ(a.m_pointPos, b.m_pointPos);
        EXPECT_EQ(a.m_nMRUWidth, b.m_nMRUWidth);
        EXPECT_EQ(a.m_bDocking, b.m_bDocking);
        EXPECT_EQ(a.m_uMRUDockID, b.m_uMRUDockID);
        EXPECT_EQ(a.m_rectMRUDockPos, b.m_rectMRUDockPos);
        EXPECT_EQ(a.m_dwMRUFloatStyle, b.m_dwMRUFloatStyle);
        EXPECT_EQ(a.m_ptMRUFloatPos, b.m_ptMRUFloatPos);
        ASSERT_EQ(a.m_arrBarID.GetSize(), b.m_arrBarID.GetSize());
        for (INT_PTR j = 0; j < a.m_arrBarID.GetSize(); ++j)
            EXPECT_EQ(a.m_arrBarID[j], b.m_arrBarID[j]);
    }
}

TEST_F(DockBarTest, AppliedRowsPassOverBarsThatAreGoneTwiceOrDockBars)
{
    CControlBarInfo info;
    m_pTop->GetBarInfo(&info);
    info.m_arrBarID.RemoveAll();
    const DWORD ph = CControlBarInfo::barIdPlaceholder;
    const DWORD ids[] = {0, kIdB, 0xE8F0, kIdB, 0, 0, AFX_IDW_DOCKBAR_LEFT, ph | kIdA, kIdA, ph | kIdC, ph | kIdC, 0};
    for (DWORD id : ids)
        info.m_arrBarID.Add(id);
    m_pTop->SetBarInfo(&info, m_pFrame);
    // B once: the unknown id, the second B and the dock bar are passed over;
    // C, not named, keeps a row of its own, so neither A nor C keeps a
    // placeholder beside itself
    EXPECT_EQ(Rows(m_pTop), "|B|A|C|");
    EXPECT_TRUE(RowsAreWellFormed(m_pTop));
    for (char name : {'A', 'B', 'C'})
        EXPECT_EQ(Bar(name)->m_pDockBar, m_pTop) << name;

    // a dock bar that goes lets its bars live on in the frame
    auto* pLeft = static_cast<CDockBar*>(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    m_pFrame->DockControlBar(&m_pFrame->m_barA, pLeft);
    pLeft->DestroyWindow();
    EXPECT_EQ(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_LEFT), nullptr);
    EXPECT_EQ(m_pFrame->m_barA.m_pDockBar, nullptr);
    EXPECT_EQ(m_pFrame->m_barA.GetParent(), m_pFrame);
    EXPECT_NE(m_pFrame->GetControlBar(kIdA), nullptr);

    // replaced as the toolkit replaces a side's dock bar: out of the list,
    // no dock site, window gone; a new one takes its place
    auto* pBottom = static_cast<CDockBar*>(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    m_pFrame->DockControlBar(&m_pFrame->m_barB, pBottom);
    m_pFrame->RemoveControlBar(pBottom);
    pBottom->m_pDockSite = nullptr;
    pBottom->DestroyWindow(); // deletes itself
    EXPECT_EQ(m_pFrame->m_barB.m_pDockBar, nullptr);
    EXPECT_EQ(m_pFrame->m_barB.GetParent(), m_pFrame);
    m_pFrame->EnableDocking(CBRS_ALIGN_BOTTOM);
    pBottom = dynamic_cast<CDockBar*>(m_pFrame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    ASSERT_NE(pBottom, nullptr);
    m_pFrame->DockControlBar(&m_pFrame->m_barB, AFX_IDW_DOCKBAR_BOTTOM);
    EXPECT_EQ(Rows(pBottom), "|B|");
    // the list holds the three bars and the three dock bars, nothing dead
    EXPECT_EQ(m_pFrame->m_listControlBars.GetCount(), 6);
    Idle();
    EXPECT_EQ(RectIn(pBottom, &m_pFrame->m_barB).top, afxData.cyBorder2);
}

TEST(DockSiteTest, AChildFrameTakesItsFloatingFramesWithItWhenItGoes)
{
    CWinApp app("Kestrelux");
    auto* pHost = new CFrameWnd;
    ASSERT_TRUE(pHost->Create(nullptr, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 400)));
    auto* pSite = new CDockFrame;
    ASSERT_TRUE(pSite->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), pHost));
    pSite->FloatControlBar(&pSite->m_barC, CPoint(100, 100));
    CFrameWnd* pFloat = pSite->m_barC.GetParentFrame();
    ASSERT_NE(pFloat, pSite);
    HWND hFloat = pFloat->m_hWnd;
    // the system makes the host, not the child frame, the floating frame's owner
    EXPECT_EQ(::GetWindow(hFloat, GW_OWNER), pHost->m_hWnd);

    pSite->DestroyWindow();
    EXPECT_FALSE(::IsWindow(hFloat));
    kxgui::PumpUntilIdle();
    pHost->DestroyWindow();
}

TEST_F(DockBarTest, ScreenshotOfTwoRowsAndAFloatingFrame)
{
    CFixedBar& b = m_pFrame->m_barB;
    CRect frame;
    m_pFrame->GetWindowRect(&frame);
    m_pFrame->FloatControlBar(&b, CPoint(frame.left + 200, frame.top + 200));
    Idle();
    ASSERT_EQ(Rows(m_pTop), "|Ab|C|");
    m_pFrame->SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    b.GetParentFrame()->SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    kxgui::PumpUntilIdle();
    // Each top-level window captures only itself: the floating frame, which
    // stays above the frame that owns it, is laid over the frame's picture.
    kxgui::PixelBuffer image = kxgui::CaptureScreen(m_pFrame->m_hWnd, false);
    CFrameWnd* pFloat = b.GetParentFrame();
    ASSERT_TRUE(pFloat->IsWindowVisible());
    kxgui::PixelBuffer floating = kxgui::CaptureScreen(pFloat->m_hWnd, false);
    CRect rectFloat;
    pFloat->GetWindowRect(&rectFloat);
    for (int y = 0; y < floating.height; ++y)
    {
        for (int x = 0; x < floating.width; ++x)
        {
            int tx = rectFloat.left - frame.left + x;
            int ty = rectFloat.top - frame.top + y;
            if (tx < image.width && ty < image.height)
                image.pixels[static_cast<size_t>(ty) * image.width + tx] =
                    floating.pixels[static_cast<size_t>(y) * floating.width + x];
        }
    }
    ASSERT_FALSE(image.IsEmpty());
    EXPECT_FALSE(kxgui::SaveArtifact(image, "docking.png").empty());

    // each bar shows its colour where the layout put it
    auto probe = [&](CWnd* pBar)
    {
        CRect rect;
        pBar->GetWindowRect(&rect);
        CPoint pt = rect.TopLeft() + CSize(3, 3);
        return image.At(pt.x - frame.left, pt.y - frame.top);
    };
    EXPECT_EQ(probe(&m_pFrame->m_barA), RGB(200, 0, 0));
    EXPECT_EQ(probe(&b), RGB(0, 150, 0));
    EXPECT_EQ(probe(&m_pFrame->m_barC), RGB(0, 0, 200));
}

} // namespace
