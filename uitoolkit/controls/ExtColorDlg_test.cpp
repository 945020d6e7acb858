// The colour dialog: its start state, typed fields (out of range, empty,
// too long, the hue's full turn), the mode list, the difference view, the
// caption rule, a modal run and a picture.
#include "uitoolkit/controls/ExtColorDlg.h"

#include "tests/gui/GuiHarness.h"
#include "uitoolkit/core/ExtColorMath.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

const COLORREF kInitial = RGB(0, 128, 255), kNew = RGB(200, 100, 50);

class ColorDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hHost = kxgui::CreateTestWindow(200, 100, "Colour dialog host");
        m_pDlg = std::make_unique<CExtColorDlg>(kInitial, kNew, CWnd::FromHandle(m_hHost));
    }
    void TearDown() override
    {
        if (m_pDlg->GetSafeHwnd() != nullptr)
            m_pDlg->DestroyWindow();
        m_pDlg.reset();
        ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
    }
    void Open()
    {
        ASSERT_TRUE(m_pDlg->Create(CExtColorDlg::IDD, CWnd::FromHandle(m_hHost)));
        m_pDlg->ShowWindow(SW_SHOW);
        kxgui::PumpUntilIdle();
    }
    int Field(int nID)
    {
        CString s;
        m_pDlg->GetDlgItemText(nID, s);
        return atoi(s);
    }
    COLORREF Current() const { return m_pDlg->m_wndPicker.m_colors.m_clrCurrent; }
    // Types into a field; message boxes are answered and their texts kept
    // (the colour dialog itself stays open).
    std::vector<std::string> Type(int nID, const char* pszText)
    {
        const HWND hDlg = m_pDlg->m_hWnd;
        kxgui::DialogAnswerer answerer([hDlg](HWND hWnd) { return hWnd == hDlg ? 0 : IDOK; });
        m_pDlg->SetDlgItemText(nID, pszText);
        kxgui::PumpUntilIdle();
        std::vector<std::string> boxes;
        for (const std::string& s : answerer.Seen())
            if (s.rfind("Colors|", 0) != 0)
                boxes.push_back(s);
        return boxes;
    }

    HWND m_hHost = nullptr;
    std::unique_ptr<CExtColorDlg> m_pDlg;
};

TEST_F(ColorDlgTest, StartsWithTheNewColorOverTheInitialOne)
{
    Open();
    ASSERT_NE(m_pDlg->m_hIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(m_pDlg->SendMessage(WM_GETICON, ICON_BIG)), m_pDlg->m_hIcon);
    EXPECT_EQ(m_pDlg->m_comboMode.GetCount(), 15);
    EXPECT_EQ(m_pDlg->m_comboMode.GetCurSel(), 0);
    EXPECT_EQ(Current(), kNew);
    EXPECT_EQ(m_pDlg->m_wndPicker.m_colors.m_clrRef, kInitial);
    EXPECT_EQ(m_pDlg->m_wndDiff.m_colors.m_clrCurrent, kInitial);
    EXPECT_EQ(Field(CExtColorDlg::IDC_RED), 200);
    EXPECT_EQ(Field(CExtColorDlg::IDC_CYAN), 55);
    EXPECT_EQ(Field(CExtColorDlg::IDC_YELLOW), 205);
    int hls[3];
    CExtColorDlgRules::FieldValues(kNew, CExtColorDlgRules::GROUP_HLS, hls);
    EXPECT_EQ(Field(CExtColorDlg::IDC_HUE), hls[0]);
    EXPECT_EQ(Field(CExtColorDlg::IDC_LIGHTNESS), hls[2]);
}

TEST_F(ColorDlgTest, TypedFields)
{
    Open();
    kxgui::Activate(m_pDlg->m_hWnd);
    std::vector<std::string> seen = Type(CExtColorDlg::IDC_GREEN, "7");
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(Current(), RGB(200, 7, 50));
    EXPECT_EQ(m_pDlg->m_clrNew, RGB(200, 7, 50));
    EXPECT_EQ(Field(CExtColorDlg::IDC_MAGENTA), 248);

    // out of range: reported, the field focused, nothing moves
    seen = Type(CExtColorDlg::IDC_RED, "256");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].find("Value must be in range 0..255"), std::string::npos);
    EXPECT_EQ(::GetFocus(), m_pDlg->GetDlgItem(CExtColorDlg::IDC_RED)->m_hWnd);
    EXPECT_EQ(Current(), RGB(200, 7, 50));
    // twelve digits are refused the same way, without overflow
    EXPECT_EQ(Type(CExtColorDlg::IDC_RED, "999999999999").size(), 1u);
    EXPECT_EQ(Current(), RGB(200, 7, 50));
    // an empty field counts as 0
    EXPECT_TRUE(Type(CExtColorDlg::IDC_RED, "").empty());
    EXPECT_EQ(Current(), RGB(0, 7, 50));

    // hue 255 is a full turn: the colour of hue 0.0
    Type(CExtColorDlg::IDC_HUE, "255");
    const double fS = CExtColorMath::HlsFromFieldValue(Field(CExtColorDlg::IDC_SATURATION));
    const double fL = CExtColorMath::HlsFromFieldValue(Field(CExtColorDlg::IDC_LIGHTNESS));
    EXPECT_EQ(Current(), CExtColorMath::HlsToRgb(0.0, fL, fS));
    EXPECT_EQ(Field(CExtColorDlg::IDC_HUE), 255); // the edited group keeps its text
}

TEST_F(ColorDlgTest, ModeChangeKeepsTheColorAndTheDiffViewRestores)
{
    Open();
    m_pDlg->m_comboMode.SetCurSel(4);
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(CExtColorDlg::IDC_MODE, CBN_SELENDOK),
                        reinterpret_cast<LPARAM>(m_pDlg->m_comboMode.m_hWnd));
    EXPECT_EQ(m_pDlg->m_wndPicker.m_nMode, 4);
    EXPECT_EQ(Current(), kNew);
    EXPECT_EQ(m_pDlg->m_wndPicker.m_rgbCube.m_clr, kNew);

    // until the first change both halves show the initial colour
    Type(CExtColorDlg::IDC_GREEN, "7");
    EXPECT_EQ(m_pDlg->m_wndDiff.m_colors.m_clrCurrent, RGB(200, 7, 50));
    CRect rc;
    m_pDlg->m_wndDiff.GetClientRect(&rc);
    const LPARAM ptLower = MAKELPARAM(rc.Width() / 2, rc.Height() * 3 / 4);
    m_pDlg->m_wndDiff.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ptLower);
    m_pDlg->m_wndDiff.SendMessage(WM_LBUTTONUP, 0, ptLower);
    EXPECT_EQ(Current(), kInitial);
    EXPECT_EQ(m_pDlg->m_clrNew, kInitial);
    EXPECT_EQ(Field(CExtColorDlg::IDC_BLUE), 255);
    kxgui::PumpUntilIdle();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_pDlg->m_hWnd);
    ASSERT_FALSE(shot.IsEmpty());
    kxgui::SaveArtifact(shot, "color_dlg.png");
}

TEST_F(ColorDlgTest, ResizingFollowsTheAnchors)
{
    Open();
    EXPECT_TRUE(m_pDlg->IsGripperShown());
    const int ids[] = {CExtColorDlg::IDC_PICKER,
                       CExtColorDlg::IDC_DIFF,
                       CExtColorDlg::IDC_MODE,
                       CExtColorDlg::IDC_RED,
                       30032,
                       30015,
                       IDOK,
                       30291};
    CRect before[8], after[8];
    for (int i = 0; i < 8; ++i)
    {
        m_pDlg->GetDlgItem(ids[i])->GetWindowRect(&before[i]);
        m_pDlg->ScreenToClient(&before[i]);
    }
    CRect rcWindow;
    m_pDlg->GetWindowRect(&rcWindow);
    m_pDlg->SetWindowPos(nullptr, 0, 0, rcWindow.Width() + 100, rcWindow.Height() + 60, SWP_NOMOVE | SWP_NOZORDER);
    kxgui::PumpUntilIdle();
    for (int i = 0; i < 8; ++i)
    {
        m_pDlg->GetDlgItem(ids[i])->GetWindowRect(&after[i]);
        m_pDlg->ScreenToClient(&after[i]);
    }
    // the picker stretches both ways and the mode list across
    EXPECT_EQ(after[0].Size(), before[0].Size() + CSize(100, 60));
    EXPECT_EQ(after[0].TopLeft(), before[0].TopLeft());
    EXPECT_EQ(after[2].Width(), before[2].Width() + 100);
    // the difference view and the fields follow the right edge
    for (int i : {1, 3, 4, 5})
    {
        EXPECT_EQ(after[i].TopLeft(), before[i].TopLeft() + CPoint(100, 0)) << ids[i];
        EXPECT_EQ(after[i].Size(), before[i].Size()) << ids[i];
    }
    EXPECT_EQ(after[6].TopLeft(), before[6].TopLeft() + CPoint(0, 60)); // OK
    EXPECT_EQ(after[7], before[7]);                                     // the mode label is not anchored
    // the picker lays its mode out for the new size
    CRect rcPicker;
    m_pDlg->m_wndPicker.GetClientRect(&rcPicker);
    EXPECT_EQ(m_pDlg->m_wndPicker.m_cellBased.m_nWidth, rcPicker.Width());
}

TEST_F(ColorDlgTest, CaptionShowsTheTextAfterTheLastBreak)
{
    m_pDlg->m_strCaption = "Menu\nText colour";
    Open();
    CString s;
    m_pDlg->GetWindowText(s);
    EXPECT_EQ(s, CString("Text colour"));
}

TEST_F(ColorDlgTest, ModalRunGivesTheNewColor)
{
    bool bTyped = false;
    kxgui::DialogAnswerer answerer(
        [&](HWND hWnd)
        {
            if (bTyped)
                return IDOK;
            bTyped = true;
            ::SetDlgItemTextA(hWnd, CExtColorDlg::IDC_BLUE, "9");
            return IDOK;
        });
    EXPECT_EQ(m_pDlg->DoModal(), IDOK);
    EXPECT_EQ(m_pDlg->m_clrNew, RGB(200, 100, 9));
    EXPECT_FALSE(m_pDlg->m_bInitialised);
}

} // namespace
