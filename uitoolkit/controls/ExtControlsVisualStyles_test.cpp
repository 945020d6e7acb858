// The visual-styles branch of the check glyphs and the group frame, through
// fake entry points that record which part and state were drawn, and one
// look at the controls with the platform's own visual styles left as they
// are.
#include "uitoolkit/controls/ExtCheckBox.h"
#include "uitoolkit/controls/ExtGroupBox.h"

#include "uitoolkit/paint/ExtPaintManager.h"

#include "tests/support/ControlStage.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace
{

std::vector<std::pair<int, int>> g_drawn; // part, state

HTHEME WINAPI FakeOpen(HWND, LPCWSTR)
{
    return reinterpret_cast<HTHEME>(1);
}
HRESULT WINAPI FakeClose(HTHEME)
{
    return S_OK;
}
HRESULT WINAPI FakeDraw(HTHEME, HDC, int nPart, int nState, const RECT*, const RECT*)
{
    g_drawn.emplace_back(nPart, nState);
    return S_OK;
}
BOOL WINAPI FakeActive()
{
    return TRUE;
}
DWORD WINAPI FakeProperties()
{
    return 3;
}

// Visual styles that are available and draw nothing but a record.
class ScopedRecordingStyles
{
public:
    ScopedRecordingStyles() : m_saved(Fields(g_PaintManager.VisualStyles))
    {
        CExtVisualStylesApi& vs = g_PaintManager.VisualStyles;
        vs.m_hLibrary = reinterpret_cast<HMODULE>(1);
        vs.m_pfnOpenThemeData = FakeOpen;
        vs.m_pfnCloseThemeData = FakeClose;
        vs.m_pfnDrawThemeBackground = FakeDraw;
        vs.m_pfnIsThemeActive = FakeActive;
        vs.m_pfnGetThemeAppProperties = FakeProperties;
        vs.m_dwComCtlVersion = MAKELONG(0, 6);
        g_drawn.clear();
    }
    ~ScopedRecordingStyles()
    {
        CExtVisualStylesApi& vs = g_PaintManager.VisualStyles;
        vs.CloseThemeData();
        vs.m_hLibrary = m_saved.hLibrary;
        vs.m_pfnOpenThemeData = m_saved.open;
        vs.m_pfnCloseThemeData = m_saved.close;
        vs.m_pfnDrawThemeBackground = m_saved.draw;
        vs.m_pfnIsThemeActive = m_saved.active;
        vs.m_pfnGetThemeAppProperties = m_saved.properties;
        vs.m_dwComCtlVersion = m_saved.version;
    }
    ScopedRecordingStyles(const ScopedRecordingStyles&) = delete;
    ScopedRecordingStyles& operator=(const ScopedRecordingStyles&) = delete;

private:
    struct Saved
    {
        HMODULE hLibrary;
        CExtVisualStylesApi::OpenThemeDataFn open;
        CExtVisualStylesApi::CloseThemeDataFn close;
        CExtVisualStylesApi::DrawThemeBackgroundFn draw;
        CExtVisualStylesApi::IsThemeActiveFn active;
        CExtVisualStylesApi::GetThemeAppPropertiesFn properties;
        DWORD version;
    };
    static Saved Fields(const CExtVisualStylesApi& vs)
    {
        return {
            vs.m_hLibrary,         vs.m_pfnOpenThemeData,         vs.m_pfnCloseThemeData, vs.m_pfnDrawThemeBackground,
            vs.m_pfnIsThemeActive, vs.m_pfnGetThemeAppProperties, vs.m_dwComCtlVersion};
    }
    Saved m_saved;
};

class ExtVisualStylesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager)); }
    void TearDown() override { g_PaintManager.InstallPaintManager(nullptr); }
    static std::vector<std::pair<int, int>> Repaint(CWnd& wnd)
    {
        g_drawn.clear();
        wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return g_drawn;
    }

    kxtest::ControlStage m_stage{300, 160, "Visual styles"};
};

TEST_F(ExtVisualStylesTest, GlyphsAndFramesUseTheirParts)
{
    CExtCheckBox check;
    CExtRadioButton radio;
    CExtGroupBox group;
    ASSERT_TRUE(check.Create("Check", WS_VISIBLE | BS_AUTO3STATE, CRect(10, 10, 150, 30), &m_stage.Parent(), 701));
    ASSERT_TRUE(radio.Create("Radio", WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(10, 40, 150, 60), &m_stage.Parent(), 702));
    ASSERT_TRUE(group.Create("", WS_VISIBLE | BS_GROUPBOX, CRect(160, 10, 290, 100), &m_stage.Parent(), 703));
    ScopedRecordingStyles styles;
    using Drawn = std::vector<std::pair<int, int>>;

    check.SetCheck(1);
    EXPECT_EQ((Drawn{{3, 5}}), Repaint(check)); // checked, normal
    check.SetCheck(2);
    check.EnableWindow(FALSE);
    EXPECT_EQ((Drawn{{3, 12}}), Repaint(check)); // mixed, disabled
    radio.SetCheck(1);
    EXPECT_EQ((Drawn{{2, 5}}), Repaint(radio));
    radio.SetCheck(2);
    EXPECT_EQ((Drawn{{2, 1}}), Repaint(radio)); // no mixed radio: index 0
    EXPECT_EQ((Drawn{{4, 1}}), Repaint(group));
    group.EnableWindow(FALSE);
    EXPECT_EQ((Drawn{{4, 2}}), Repaint(group));
    group.m_nFrameStyle = CExtGroupBox::STYLE_ETCHED;
    EXPECT_TRUE(Repaint(group).empty());
}

TEST_F(ExtVisualStylesTest, PlatformStylesAsTheyAre)
{
    CExtCheckBox check;
    CExtRadioButton radio;
    CExtGroupBox group;
    ASSERT_TRUE(
        check.Create("Platform check", WS_VISIBLE | BS_AUTO3STATE, CRect(10, 10, 150, 30), &m_stage.Parent(), 701));
    ASSERT_TRUE(radio.Create("Platform radio", WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(10, 40, 150, 60),
                             &m_stage.Parent(), 702));
    ASSERT_TRUE(
        group.Create("Platform frame", WS_VISIBLE | BS_GROUPBOX, CRect(160, 10, 290, 100), &m_stage.Parent(), 703));
    check.SetCheck(1);
    radio.SetCheck(1);
    kxgui::Activate(m_stage.Host());
    m_stage.Pump();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_stage.Host());
    ASSERT_FALSE(shot.IsEmpty());
    kxgui::SaveArtifact(shot, "controls_platform_styles.png");
    // whichever way the glyph came, it is drawn: not only the face colour
    const COLORREF clrFace = g_PaintManager->GetColor(CExtColorTable::TC_FACE_NORMAL);
    EXPECT_LT(shot.CountColor(clrFace, RECT{10, 10, 23, 30}), 13 * 20);
}

} // namespace
