// Check boxes and radio buttons driven by real input: the check cycles of
// two- and three-state boxes, the arrow keys moving a group's check past
// disabled buttons, clicks on checked radio buttons and the dialog code.
#include "uitoolkit/controls/ExtCheckBox.h"

#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/support/ControlStage.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

class CCommandParent : public CWnd
{
public:
    std::vector<UINT> commands;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (HIWORD(wParam) == BN_CLICKED)
            commands.push_back(LOWORD(wParam));
        return CWnd::OnCommand(wParam, lParam);
    }
};

class ExtCheckBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager));
        ASSERT_TRUE(m_parent.Create(nullptr, "buttons", WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 300, 200),
                                    &m_stage.Parent(), 2));
        kxgui::Activate(m_stage.Host());
        kxgui::InputScript().MoveTo(m_stage.Host(), {295, 195}).Send();
        m_stage.Pump();
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    void ClickAndPump(CWnd& wnd)
    {
        CRect rc;
        wnd.GetClientRect(&rc);
        kxgui::InputScript().Click(wnd.GetSafeHwnd(), {8, rc.Height() / 2}).Send();
        m_stage.Pump();
    }

    kxtest::ControlStage m_stage{300, 200, "Check boxes"};
    CCommandParent m_parent;
};

TEST_F(ExtCheckBoxTest, ClicksCycleTheCheckState)
{
    CExtCheckBox three, two;
    ASSERT_TRUE(
        three.Create("Three states", WS_VISIBLE | WS_TABSTOP | BS_AUTO3STATE, CRect(10, 10, 200, 30), &m_parent, 401));
    ASSERT_TRUE(
        two.Create("Two states", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, CRect(10, 40, 200, 60), &m_parent, 402));
    ASSERT_TRUE(three.Is3State());
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i)
    {
        ClickAndPump(three);
        seen.push_back(three.GetCheck());
    }
    EXPECT_EQ((std::vector<int>{1, 2, 0}), seen);
    seen.clear();
    for (int i = 0; i < 2; ++i)
    {
        ClickAndPump(two);
        seen.push_back(two.GetCheck());
    }
    EXPECT_EQ((std::vector<int>{1, 0}), seen);
    EXPECT_EQ((std::vector<UINT>{401, 401, 401, 402, 402}), m_parent.commands);
    EXPECT_EQ(0, three.m_bBoxPressed); // the button went up again
}

class ExtRadioTest : public ExtCheckBoxTest
{
protected:
    void SetUp() override
    {
        ExtCheckBoxTest::SetUp();
        for (int i = 0; i < 4; ++i)
        {
            m_radios.push_back(std::make_unique<CExtRadioButton>());
            const DWORD dwStyle = WS_VISIBLE | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
            ASSERT_TRUE(
                m_radios[i]->Create("Radio", dwStyle, CRect(10, 10 + 25 * i, 200, 30 + 25 * i), &m_parent, 501 + i));
        }
        ASSERT_TRUE(
            m_after.Create("After", WS_VISIBLE | WS_GROUP | BS_PUSHBUTTON, CRect(10, 120, 100, 140), &m_parent, 510));
        m_radios[2]->EnableWindow(FALSE);
    }
    void TearDown() override
    {
        m_radios.clear();
        ExtCheckBoxTest::TearDown();
    }
    std::vector<int> Checks() const
    {
        std::vector<int> checks;
        for (const auto& p : m_radios)
            checks.push_back(p->GetCheck());
        return checks;
    }
    void Key(CExtRadioButton& radio, WORD vk)
    {
        radio.SetFocus();
        m_stage.Pump();
        kxgui::InputScript().Key(vk).Send();
        m_stage.Pump();
    }

    std::vector<std::unique_ptr<CExtRadioButton>> m_radios;
    CButton m_after;
};

TEST_F(ExtRadioTest, DownWrapsToTheFirstAndSkipsDisabledOnes)
{
    m_radios[3]->SendMessage(BM_SETCHECK, 1);
    Key(*m_radios[3], VK_DOWN);
    EXPECT_EQ((std::vector<int>{1, 0, 0, 0}), Checks());
    EXPECT_EQ(m_radios[0].get(), CWnd::GetFocus());
    EXPECT_NE(0u, m_radios[0]->GetStyle() & WS_TABSTOP);
    EXPECT_EQ(0u, m_radios[3]->GetStyle() & WS_TABSTOP);
    EXPECT_EQ((std::vector<UINT>{501}), m_parent.commands);

    Key(*m_radios[0], VK_RIGHT);
    EXPECT_EQ((std::vector<int>{0, 1, 0, 0}), Checks());
    Key(*m_radios[1], VK_DOWN); // the disabled third is passed over
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1}), Checks());
    Key(*m_radios[3], VK_UP);
    EXPECT_EQ((std::vector<int>{0, 1, 0, 0}), Checks());
}

TEST_F(ExtRadioTest, ClicksKeepOneButtonChecked)
{
    ClickAndPump(*m_radios[1]);
    EXPECT_EQ((std::vector<int>{0, 1, 0, 0}), Checks());
    ClickAndPump(*m_radios[3]);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1}), Checks());
    ClickAndPump(*m_radios[3]); // a checked one stays checked and still notifies
    EXPECT_EQ((std::vector<int>{0, 0, 0, 1}), Checks());
    EXPECT_EQ((std::vector<UINT>{502, 504, 504}), m_parent.commands);
    EXPECT_NE(0, m_radios[0]->SendMessage(WM_GETDLGCODE) & DLGC_RADIOBUTTON);
}

} // namespace
