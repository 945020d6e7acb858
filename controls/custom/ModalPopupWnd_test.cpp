#include "controls/custom/ModalPopupWnd.h"
#include "framework/win/FrameWnd.h"
#include "tests/gui/GuiHarness.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

// The owner: counts the clicks that reach its client area.
class COwnerFrame : public CFrameWnd
{
public:
    int clicks = 0;
    int idles = 0;

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point) { ++clicks; }
    afx_msg void OnEnterIdle(UINT nWhy, CWnd* pWho) { ++idles; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(COwnerFrame, CFrameWnd)
ON_WM_LBUTTONDOWN()
ON_WM_ENTERIDLE()
END_MESSAGE_MAP()

// Runs a step once from inside the modal loop, as soon as the loop has
// shown the popup (it does so when it first goes idle).
CWnd* g_pPopup = nullptr;
std::function<void()> g_step;

void CALLBACK RunStep(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    if (!g_pPopup->m_hWnd || !g_pPopup->IsWindowVisible())
        return;
    ::KillTimer(nullptr, idEvent);
    std::function<void()> step = std::move(g_step);
    g_step = nullptr;
    step();
}

void WhenShown(CWnd& popup, std::function<void()> step)
{
    g_pPopup = &popup;
    g_step = std::move(step);
    ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, RunStep);
}

// The screen point of the close button in a window's caption.
bool FindCloseButton(HWND hWnd, POINT* pt)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    int y = rc.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = rc.right - 1; x > rc.left; --x)
    {
        if (::SendMessageA(hWnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
        {
            pt->x = x - 3;
            pt->y = y;
            return true;
        }
    }
    return false;
}

class ModalPopupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pOwner = new COwnerFrame;
        ASSERT_TRUE(m_pOwner->Create(nullptr, "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 440, 340)));
        kxgui::Activate(m_pOwner->m_hWnd);
    }
    void TearDown() override
    {
        m_pOwner->DestroyWindow(); // deletes the frame
        kxgui::PumpUntilIdle();
        AfxDeleteTempMaps();
    }
    // A click in the middle of the owner's client area.
    void ClickOwner()
    {
        CRect rc;
        m_pOwner->GetClientRect(&rc);
        kxgui::Click(m_pOwner->m_hWnd, rc.CenterPoint());
    }
    COwnerFrame* m_pOwner = nullptr;
};

TEST_F(ModalPopupTest, TheCloseButtonCancelsAndTheOwnerIsBlockedMeanwhile)
{
    CModalPopupWnd popup("Original", CRect(120, 120, 360, 280), m_pOwner);
    bool ownerEnabled = true;
    int clicksWhileModal = -1;
    bool closeFound = false;
    WhenShown(popup,
              [&]
              {
                  ownerEnabled = m_pOwner->IsWindowEnabled() != FALSE;
                  kxgui::PumpUntilIdle();
                  ClickOwner();
                  clicksWhileModal = m_pOwner->clicks;
                  POINT pt;
                  closeFound = FindCloseButton(popup.m_hWnd, &pt);
                  if (!closeFound)
                  {
                      popup.EndModal(-2);
                      return;
                  }
                  ::ScreenToClient(popup.m_hWnd, &pt);
                  kxgui::Click(popup.m_hWnd, pt);
                  // a close button that did nothing fails the test, not hangs it
                  if (popup.m_nFlags & WF_CONTINUEMODAL)
                      popup.EndModal(-2);
              });
    EXPECT_EQ(popup.DoModal(), IDCANCEL);
    EXPECT_TRUE(closeFound);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(clicksWhileModal, 0);
    EXPECT_EQ(popup.m_hWnd, nullptr);

    // afterwards the owner is enabled, active and hears clicks again
    kxgui::PumpUntilIdle();
    EXPECT_TRUE(m_pOwner->IsWindowEnabled());
    EXPECT_EQ(::GetActiveWindow(), m_pOwner->m_hWnd);
    ClickOwner();
    EXPECT_EQ(m_pOwner->clicks, 1);
}

TEST_F(ModalPopupTest, CommandsEndTheLoopWithTheirResult)
{
    struct Case
    {
        const char* name;
        UINT message;
        WPARAM wParam;
        int expected;
    };
    const Case cases[] = {
        {"OK", WM_COMMAND, IDOK, IDOK},
        {"Cancel", WM_COMMAND, IDCANCEL, IDCANCEL},
        {"close", WM_CLOSE, 0, IDCANCEL},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CModalPopupWnd popup("Angles", CRect(120, 120, 360, 280), m_pOwner);
        WhenShown(popup, [&] { popup.PostMessage(c.message, c.wParam); });
        EXPECT_EQ(popup.DoModal(), c.expected);
        EXPECT_TRUE(m_pOwner->IsWindowEnabled());
    }
}

// Created with the style bit that keeps the loop from telling its owner
// about idle time.
class CQuietPopup : public CModalPopupWnd
{
public:
    CQuietPopup(CWnd* pOwner) : CModalPopupWnd("Quiet", CRect(120, 120, 360, 280), pOwner) {}
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        cs.style |= 0x100;
        return CModalPopupWnd::PreCreateWindow(cs);
    }
};

TEST_F(ModalPopupTest, TheOwnerHearsOfIdleTimeUnlessThePopupsStyleSaysNot)
{
    {
        CModalPopupWnd popup("Talking", CRect(120, 120, 360, 280), m_pOwner);
        WhenShown(popup, [&] { popup.PostMessage(WM_CLOSE); });
        EXPECT_EQ(popup.DoModal(), IDCANCEL);
        EXPECT_GT(m_pOwner->idles, 0);
    }
    m_pOwner->idles = 0;
    {
        CQuietPopup popup(m_pOwner);
        WhenShown(popup, [&] { popup.PostMessage(WM_CLOSE); });
        EXPECT_EQ(popup.DoModal(), IDCANCEL);
        EXPECT_EQ(m_pOwner->idles, 0);
    }
}

// Its window refuses to be created.
class CFailingPopup : public CModalPopupWnd
{
public:
    CFailingPopup(CWnd* pOwner) : CModalPopupWnd("Failing", CRect(120, 120, 360, 280), pOwner) {}

protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFailingPopup, CModalPopupWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(ModalPopupTest, APopupThatCannotBeCreatedReturnsAtOnceAndBlocksNothing)
{
    CFailingPopup popup(m_pOwner);
    EXPECT_EQ(popup.DoModal(), -1);
    EXPECT_EQ(popup.m_hWnd, nullptr);
    EXPECT_TRUE(m_pOwner->IsWindowEnabled());
    // outside a loop EndModal does nothing
    popup.EndModal(IDOK);
}

} // namespace
