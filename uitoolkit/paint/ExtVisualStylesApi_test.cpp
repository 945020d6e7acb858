// The visual-styles wrapper over fake entry points: reuse of open theme
// data, closing, the Luna scheme and task-band colours, and the native XP
// theme's colours that follow them.
#include "uitoolkit/paint/ExtVisualStylesApi.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/FakeLunaStyle.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace
{

struct FakeUxTheme
{
    int nOpened = 0;
    std::vector<HTHEME> closed;
    std::wstring lastClassList;
    const wchar_t* pszFile = L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
    const wchar_t* pszColor = L"HomeStead";
    int nColorsAvailable = 7;
    BOOL bThemed = TRUE;
};
FakeUxTheme g_fake;

HTHEME WINAPI FakeOpen(HWND, LPCWSTR pszClassList)
{
    g_fake.lastClassList = pszClassList;
    return reinterpret_cast<HTHEME>(static_cast<INT_PTR>(++g_fake.nOpened));
}
HRESULT WINAPI FakeClose(HTHEME hTheme)
{
    g_fake.closed.push_back(hTheme);
    return S_OK;
}
HRESULT WINAPI FakeThemeName(LPWSTR pszFile, int nFile, LPWSTR pszColor, int nColor, LPWSTR, int)
{
    std::wcsncpy(pszFile, g_fake.pszFile, nFile - 1);
    std::wcsncpy(pszColor, g_fake.pszColor, nColor - 1);
    return S_OK;
}
HRESULT WINAPI FakeColor(HTHEME, int nPart, int, int nProperty, COLORREF* pColor)
{
    static const int kProperties[7] = {3804, 3805, 3806, 3807, 3808, 3821, 3823};
    for (int i = 0; i < g_fake.nColorsAvailable; ++i)
        if (nPart == 2 && kProperties[i] == nProperty)
        {
            *pColor = RGB(i, 10 * i, 20 * i);
            return S_OK;
        }
    return E_FAIL;
}
BOOL WINAPI FakeIsAppThemed()
{
    return g_fake.bThemed;
}

class VisualStylesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_fake = FakeUxTheme();
        m_api.m_pfnOpenThemeData = FakeOpen;
        m_api.m_pfnCloseThemeData = FakeClose;
    }
    CExtVisualStylesApi m_api;
};

TEST_F(VisualStylesTest, ReusesOnlyTheSameListForTheSameLivingWindow)
{
    HWND hWnd = kxgui::CreateTestWindow(50, 50);
    const HTHEME h1 = m_api.OpenThemeData(hWnd, L"BUTTON");
    ASSERT_NE(h1, nullptr);
    EXPECT_EQ(m_api.OpenThemeData(hWnd, L"button"), h1);
    EXPECT_EQ(g_fake.nOpened, 1);

    // a list that merely starts like the open one names other classes
    const HTHEME h2 = m_api.OpenThemeData(hWnd, L"BUTTON;TASKBAND");
    EXPECT_NE(h2, h1);
    EXPECT_EQ(m_api.OpenThemeData(hWnd, L"BUTTON"), reinterpret_cast<HTHEME>(3));
    EXPECT_EQ(g_fake.closed, (std::vector<HTHEME>{h1, h2}));

    // a null list takes the window's class name
    m_api.OpenThemeData(hWnd, nullptr);
    EXPECT_FALSE(g_fake.lastClassList.empty());
    EXPECT_NE(g_fake.lastClassList, L"BUTTON");

    // data whose window is gone are still released
    ::DestroyWindow(hWnd);
    g_fake.closed.clear();
    const HTHEME hOpen = m_api.m_hTheme;
    EXPECT_EQ(m_api.CloseThemeData(), S_OK);
    EXPECT_EQ(g_fake.closed, std::vector<HTHEME>{hOpen});
    EXPECT_EQ(m_api.m_hTheme, nullptr);
    EXPECT_EQ(m_api.CloseThemeData(), 0);
}

TEST_F(VisualStylesTest, OverlongListIsNeverReused)
{
    std::wstring longList(200, L'A');
    const HTHEME h1 = m_api.OpenThemeData(::GetDesktopWindow(), longList.c_str());
    const HTHEME h2 = m_api.OpenThemeData(::GetDesktopWindow(), longList.c_str());
    EXPECT_NE(h1, h2);
    EXPECT_EQ(g_fake.lastClassList, longList);
}

TEST_F(VisualStylesTest, MissingEntryPointsAnswerNeutrally)
{
    CExtVisualStylesApi none;
    none.m_hLibrary = nullptr;
    none.m_pfnOpenThemeData = nullptr;
    none.m_pfnDrawThemeBackground = nullptr;
    none.m_pfnIsAppThemed = nullptr;
    none.m_pfnIsThemeActive = nullptr;
    EXPECT_EQ(none.OpenThemeData(nullptr, L"BUTTON"), nullptr);
    EXPECT_EQ(none.DrawThemeBackground(nullptr, 1, 1, nullptr, nullptr), S_FALSE);
    EXPECT_FALSE(none.IsAppThemed());
    EXPECT_FALSE(none.IsAvailable());
}

// The holder's wrapper with fake entry points, put back afterwards.
class LunaTest : public VisualStylesTest
{
protected:
    void SetUp() override
    {
        VisualStylesTest::SetUp();
        m_fake = std::make_unique<kxtest::ScopedVisualStylesFake>(FakeOpen, FakeClose, FakeThemeName, FakeColor,
                                                                  FakeIsAppThemed);
        ExtTestHooks().nScreenBitsPerPixel = 32;
    }
    void TearDown() override
    {
        m_fake.reset();
        ExtTestHooks() = ExtPaintTestHooks();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    std::unique_ptr<kxtest::ScopedVisualStylesFake> m_fake;
};

TEST_F(LunaTest, SchemeAndTaskBandColours)
{
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManagerNativeXP));
    EXPECT_EQ(g_PaintManager.LunaScheme, CExtPaintManagerHolder::LunaOlive);
    EXPECT_TRUE(g_PaintManager.OsFlags.TaskBandColorsRead);
    EXPECT_EQ(g_PaintManager.TaskBandColors[6], RGB(6, 60, 120));
    EXPECT_EQ(g_fake.lastClassList, L"TASKBAND");
    EXPECT_EQ(g_PaintManager.VisualStyles.m_hTheme, nullptr); // closed again
    EXPECT_TRUE(g_PaintManager->IsLunaSchemeUsed());
    EXPECT_EQ(g_PaintManager->GetColor(1012), RGB(204, 217, 173));
    EXPECT_EQ(g_PaintManager->GetColor(1021), RGB(150, 168, 103));

    // Studio 2005 does not take the olive scheme, Office 2003 does
    EXPECT_FALSE(CExtPaintManagerStudio2005().IsLunaSchemeUsed());
    EXPECT_TRUE(CExtPaintManagerOffice2003().IsLunaSchemeUsed());

    // at 8 bits the native theme keeps the classic table
    ExtTestHooks().nScreenBitsPerPixel = 8;
    g_PaintManager->InitColorTable();
    EXPECT_EQ(g_PaintManager->GetColor(1012), g_PaintManager->GetColor(COLOR_WINDOW));
}

TEST_F(LunaTest, OtherStylesAndMissingColours)
{
    g_fake.pszFile = L"C:\\Themes\\Royale.msstyles";
    g_fake.pszColor = L"NormalColor";
    g_fake.nColorsAvailable = 7;
    g_PaintManager.DetectLunaScheme();
    EXPECT_EQ(g_PaintManager.LunaScheme, CExtPaintManagerHolder::LunaNone);
    EXPECT_TRUE(g_PaintManager.OsFlags.TaskBandColorsRead);

    g_fake.pszFile = L"luna.msstyles";
    g_fake.pszColor = L"Metallic";
    g_fake.nColorsAvailable = 5;
    g_PaintManager.DetectLunaScheme();
    EXPECT_EQ(g_PaintManager.LunaScheme, CExtPaintManagerHolder::LunaSilver);
    EXPECT_FALSE(g_PaintManager.OsFlags.TaskBandColorsRead);

    g_fake.bThemed = FALSE;
    g_PaintManager.DetectLunaScheme();
    EXPECT_EQ(g_PaintManager.LunaScheme, CExtPaintManagerHolder::LunaNone);
    EXPECT_FALSE(CExtPaintManagerXP().IsLunaSchemeUsed());
}

} // namespace
