// Screenshots of a test dialog holding the toolkit's edits, combo boxes,
// group boxes and labels in their normal, focused, hovered and disabled
// states, in each theme with the visual styles off, plus pixel probes of
// the themed colours.
#include "uitoolkit/controls/ExtComboBox.h"
#include "uitoolkit/controls/ExtEdit.h"
#include "uitoolkit/controls/ExtGroupBox.h"
#include "uitoolkit/controls/ExtLabel.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include "tests/support/ControlStage.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{

// The platform's visual styles count as unavailable while this lives, so
// that the classic drawing runs whatever theme the platform has.
class ScopedVisualStylesOff
{
public:
    ScopedVisualStylesOff() : m_hLibrary(g_PaintManager.VisualStyles.m_hLibrary)
    {
        g_PaintManager.VisualStyles.m_hLibrary = nullptr;
    }
    ~ScopedVisualStylesOff() { g_PaintManager.VisualStyles.m_hLibrary = m_hLibrary; }
    ScopedVisualStylesOff(const ScopedVisualStylesOff&) = delete;
    ScopedVisualStylesOff& operator=(const ScopedVisualStylesOff&) = delete;

private:
    HMODULE m_hLibrary;
};

class ExtControlsGallery : public ::testing::TestWithParam<int>
{
protected:
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }

    template <class T>
    T& Add(std::unique_ptr<T> p)
    {
        T& r = *p;
        m_controls.push_back(std::move(p));
        return r;
    }
    CExtEdit& AddEdit(const char* sText, int x, int y, DWORD dwStyle = 0)
    {
        CExtEdit& edit = Add(std::make_unique<CExtEdit>());
        edit.CreateEx(WS_EX_CLIENTEDGE, "EDIT", sText, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | dwStyle,
                      CRect(x, y, x + 150, y + 24), &m_stage.Parent(), 100 + static_cast<UINT>(m_controls.size()));
        edit.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        return edit;
    }
    CExtComboBox& AddCombo(DWORD dwKind, const char* sText, int x, int y)
    {
        CExtComboBox& combo = Add(std::make_unique<CExtComboBox>());
        combo.Create(WS_VISIBLE | WS_VSCROLL | dwKind, CRect(x, y, x + 150, y + 120), &m_stage.Parent(),
                     100 + static_cast<UINT>(m_controls.size()));
        combo.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        combo.AddString(sText);
        combo.AddString("Second item");
        combo.SetCurSel(0);
        return combo;
    }
    CExtGroupBox& AddGroup(int nStyle, const char* sText, int x, int y)
    {
        CExtGroupBox& box = Add(std::make_unique<CExtGroupBox>());
        box.m_nFrameStyle = nStyle;
        box.Create(sText, WS_VISIBLE | BS_GROUPBOX, CRect(x, y, x + 150, y + 60), &m_stage.Parent(),
                   100 + static_cast<UINT>(m_controls.size()));
        box.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        return box;
    }
    CExtLabel& AddLabel(const char* sText, int x, int y, BYTE bFontStyle = 0)
    {
        CExtLabel& label = Add(std::make_unique<CExtLabel>());
        label.m_bFontStyle = bFontStyle;
        label.Create(sText, WS_VISIBLE | SS_LEFT, CRect(x, y, x + 150, y + 18), &m_stage.Parent(),
                     100 + static_cast<UINT>(m_controls.size()));
        label.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        return label;
    }

    kxtest::ControlStage m_stage{500, 330, "Toolkit controls"};
    std::vector<std::unique_ptr<CWnd>> m_controls;
};

TEST_P(ExtControlsGallery, EveryStateInTheTheme)
{
    ScopedVisualStylesOff stylesOff;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(GetParam())));
    const COLORREF clrFace = g_PaintManager->GetColor(CExtColorTable::TC_FACE_NORMAL);

    CExtEdit& editNormal = AddEdit("Normal edit", 10, 10);
    CExtEdit& editFocused = AddEdit("Focused edit", 10, 40);
    CExtEdit& editReadOnly = AddEdit("Read-only edit", 10, 70, ES_READONLY);
    CExtEdit& editDisabled = AddEdit("Disabled edit", 10, 100);
    editDisabled.EnableWindow(FALSE);
    AddCombo(CBS_DROPDOWN, "Drop-down", 170, 10);
    CExtComboBox& comboHover = AddCombo(CBS_DROPDOWNLIST, "Hovered list", 170, 40);
    CExtComboBox& comboDisabled = AddCombo(CBS_DROPDOWN, "Disabled", 170, 70);
    comboDisabled.EnableWindow(FALSE);
    AddLabel("Plain label", 170, 104);
    AddLabel("Bold italic label", 170, 124, CExtLabel::FONT_BOLD | CExtLabel::FONT_ITALIC);
    CExtLabel& labelDisabled = AddLabel("Disabled label", 170, 144);
    labelDisabled.EnableWindow(FALSE);
    const char* kGroupNames[5] = {"System frame", "Etched frame", "Rounded frame", "Flat frame", "Header frame"};
    for (int nStyle = 0; nStyle < 5; ++nStyle)
        AddGroup(nStyle, kGroupNames[nStyle], 10 + (nStyle % 3) * 160, 170 + (nStyle / 3) * 80);
    CExtGroupBox& groupDisabled = AddGroup(1, "Disabled group", 330, 250);
    groupDisabled.EnableWindow(FALSE);

    kxgui::Activate(m_stage.Host());
    editFocused.SetFocus();
    CRect rcCombo;
    comboHover.GetWindowRect(&rcCombo);
    kxgui::MoveMouseTo(CPoint(0, 0));
    kxgui::MoveMouseTo(CPoint(rcCombo.left + 20, rcCombo.top + 8));
    ASSERT_TRUE(m_stage.PumpUntil([&] { return (comboHover.m_bHoverState & CExtComboBox::HOVER_ON) != 0; }));
    m_stage.Parent().RedrawWindow(nullptr, nullptr,
                                  RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    m_stage.Pump();

    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_stage.Host());
    ASSERT_FALSE(shot.IsEmpty());
    kxgui::SaveArtifact(shot, std::string("controls_") + ExtTestThemeName(GetParam()) + ".png");

    // the read-only edit's client area in theme colour 15, the editable
    // one's in colour 5, the group boxes over the face colour
    auto probe = [&](CWnd& wnd, int dx, int dy)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        POINT pt = {rc.right - dx, rc.bottom - dy};
        ::ScreenToClient(m_stage.Host(), &pt);
        return shot.At(pt.x, pt.y);
    };
    EXPECT_EQ(g_PaintManager->GetColor(COLOR_BTNFACE), probe(editReadOnly, 8, 8));
    EXPECT_EQ(g_PaintManager->GetColor(COLOR_WINDOW), probe(editNormal, 8, 8));
    EXPECT_EQ(clrFace, probe(groupDisabled, 20, 20));
}

INSTANTIATE_TEST_SUITE_P(Themes, ExtControlsGallery, ::testing::Values(0, 1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info)
                         { return std::string(ExtTestThemeName(info.param)); });

} // namespace
