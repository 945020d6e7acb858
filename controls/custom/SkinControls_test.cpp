// The skinned controls drawn into DIB sections and probed pixel by pixel:
// the check box pictures against the skin bitmaps themselves, the fallbacks
// to the toolkit's drawing, and the frames of the group box, edit and combo
// box against the theme's drawing of the records they should hand over.
#include "controls/custom/SkinControls.h"

#include "controls/custom/ControlsRes.h"
#include "framework/win/Dc.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"
#include "uitoolkit/testsupport/ExtTestThemes.h"

#include "tests/support/ControlStage.h"
#include "tests/support/PaintingParent.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr COLORREF kCanvas = RGB(0, 200, 200);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

class ScopedSkin
{
public:
    explicit ScopedSkin(int nSkin) : m_nOld(g_nCheckBoxSkin) { g_nCheckBoxSkin = nSkin; }
    ~ScopedSkin() { g_nCheckBoxSkin = m_nOld; }
    ScopedSkin(const ScopedSkin&) = delete;
    ScopedSkin& operator=(const ScopedSkin&) = delete;

private:
    int m_nOld;
};

// What a painting step leaves on a canvas of the size.
kxgui::PixelBuffer Paint(int cx, int cy, const std::function<void(CDC& dc)>& paint)
{
    kxgui::DibCanvas canvas(cx, cy, kCanvas);
    CDC dc;
    dc.Attach(canvas.Dc());
    paint(dc);
    dc.Detach();
    return canvas.Pixels();
}

// The skin bitmap as the program's resources hold it.
kxgui::PixelBuffer SkinBitmapPixels(UINT nBitmapID)
{
    const HBITMAP hBitmap = static_cast<HBITMAP>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nBitmapID), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (hBitmap == nullptr)
        return {};
    BITMAP bm = {};
    ::GetObjectA(hBitmap, sizeof(bm), &bm);
    kxgui::PixelBuffer px = Paint(bm.bmWidth, bm.bmHeight,
                                  [&](CDC& dc)
                                  {
                                      HDC hMem = ::CreateCompatibleDC(dc.GetSafeHdc());
                                      HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
                                      ::BitBlt(dc.GetSafeHdc(), 0, 0, bm.bmWidth, bm.bmHeight, hMem, 0, 0, SRCCOPY);
                                      ::SelectObject(hMem, hOld);
                                      ::DeleteDC(hMem);
                                  });
    ::DeleteObject(hBitmap);
    return px;
}

bool SamePixels(const kxgui::PixelBuffer& a, const kxgui::PixelBuffer& b)
{
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

class SkinControls : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(g_PaintManager.InstallPaintManager(new CExtPaintManager)); }
    void TearDown() override
    {
        for (auto& p : m_controls)
            p->DestroyWindow();
        g_PaintManager.InstallPaintManager(nullptr);
    }
    template <class T>
    T& AddButton(const char* sText, DWORD dwStyle, int x, int y, int cx = 150, int cy = 20)
    {
        T& button = Add(std::make_unique<T>());
        EXPECT_TRUE(button.Create(sText, WS_VISIBLE | dwStyle, CRect(x, y, x + cx, y + cy), &m_stage.Parent(),
                                  100 + static_cast<UINT>(m_controls.size())));
        button.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        return button;
    }
    template <class T>
    T& Add(std::unique_ptr<T> p)
    {
        T& r = *p;
        m_controls.push_back(std::move(p));
        return r;
    }
    static kxgui::PixelBuffer Face(CExtButton& button)
    {
        CRect rc;
        button.GetClientRect(&rc);
        return Paint(rc.Width(), rc.Height(), [&](CDC& dc) { button.PaintFace(dc, false, false); });
    }

    kxtest::ControlStage m_stage{400, 300, "Skinned controls"};
    std::vector<std::unique_ptr<CWnd>> m_controls;
};

// Image i of the skin at (left, top) of the glyph rectangle, 13 x 13 whatever
// the rectangle's size, magenta left out.
TEST_F(SkinControls, CheckBoxDrawsThePictureOfTheBoxState)
{
    const struct
    {
        int nSkin;
        UINT nBitmapID;
    } kSkins[] = {{1, IDB_CHECKBOX_SKIN1}, {2, IDB_CHECKBOX_SKIN2}};
    for (const auto& skin : kSkins)
    {
        ScopedSkin scoped(skin.nSkin);
        const kxgui::PixelBuffer strip = SkinBitmapPixels(skin.nBitmapID);
        ASSERT_EQ(156, strip.width);
        ASSERT_EQ(13, strip.height);
        for (int nState = -2; nState <= 13; ++nState)
        {
            SCOPED_TRACE("skin " + std::to_string(skin.nSkin) + " state " + std::to_string(nState));
            const int nImage = nState >= 0 && nState < 12 ? nState : 0;
            CSkinCheckBox box;
            bool bDrawn = false;
            const kxgui::PixelBuffer px =
                Paint(40, 40, [&](CDC& dc) { bDrawn = box.DrawBox(dc, CRect(5, 7, 35, 37), nState); });
            EXPECT_TRUE(bDrawn);
            int nWrong = 0;
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x)
                {
                    const bool bInside = x >= 5 && x < 18 && y >= 7 && y < 20;
                    COLORREF clrWant = kCanvas;
                    if (bInside)
                    {
                        const COLORREF clrSkin = strip.At(nImage * 13 + x - 5, y - 7);
                        clrWant = clrSkin == kMagenta ? kCanvas : clrSkin;
                    }
                    if (px.At(x, y) != clrWant)
                        ++nWrong;
                }
            EXPECT_EQ(0, nWrong);
        }
    }
}

// The twelve pictures differ from each other, and the two skins differ.
TEST_F(SkinControls, SkinBitmapsHoldTwelveDistinctPictures)
{
    const kxgui::PixelBuffer skins[2] = {SkinBitmapPixels(IDB_CHECKBOX_SKIN1), SkinBitmapPixels(IDB_CHECKBOX_SKIN2)};
    for (const kxgui::PixelBuffer& strip : skins)
    {
        ASSERT_EQ(156, strip.width);
        for (int i = 0; i < 12; ++i)
            for (int j = i + 1; j < 12; ++j)
            {
                bool bDiffer = false;
                for (int y = 0; y < 13 && !bDiffer; ++y)
                    for (int x = 0; x < 13 && !bDiffer; ++x)
                        bDiffer = strip.At(i * 13 + x, y) != strip.At(j * 13 + x, y);
                EXPECT_TRUE(bDiffer) << i << " and " << j;
            }
    }
    EXPECT_FALSE(SamePixels(skins[0], skins[1]));
    // the second skin's corners are transparent
    EXPECT_EQ(kMagenta, skins[1].At(0, 0));
    EXPECT_NE(kMagenta, skins[0].At(0, 0));
}

// Skin 0 and a missing skin bitmap both leave the square to the toolkit.
TEST_F(SkinControls, CheckBoxFallsBackToTheToolkitBox)
{
    const int kStyle = BS_AUTO3STATE;
    for (int nCheck = 0; nCheck < 3; ++nCheck)
    {
        SCOPED_TRACE(nCheck);
        CSkinCheckBox& skinned = AddButton<CSkinCheckBox>("Box", kStyle, 10, 10 + 25 * nCheck);
        CExtCheckBox& plain = AddButton<CExtCheckBox>("Box", kStyle, 200, 10 + 25 * nCheck);
        skinned.SetCheck(nCheck);
        plain.SetCheck(nCheck);
        {
            ScopedSkin scoped(0);
            EXPECT_TRUE(SamePixels(Face(plain), Face(skinned)));
        }
        {
            ScopedSkin scoped(2);
            EXPECT_FALSE(SamePixels(Face(plain), Face(skinned)));
            // a resource module without the skins
            const HINSTANCE hOld = AfxGetResourceHandle();
            AfxSetResourceHandle(::GetModuleHandleA("kernel32.dll"));
            CSkinCheckBox box;
            bool bDrawn = true;
            Paint(20, 20, [&](CDC& dc) { bDrawn = box.DrawBox(dc, CRect(0, 0, 13, 13), 0); });
            EXPECT_FALSE(bDrawn);
            const kxgui::PixelBuffer fallback = Face(skinned);
            AfxSetResourceHandle(hOld);
            EXPECT_TRUE(SamePixels(Face(plain), fallback));
        }
    }
}

TEST_F(SkinControls, GroupBoxIsRoundedWhileASkinIsActive)
{
    CSkinGroupBox box;
    box.m_nFrameStyle = CExtGroupBox::STYLE_FLAT;
    const COLORREF clrFrame = g_PaintManager->GetColor(COLOR_BTNSHADOW);
    for (int nSkin : {0, 1, 2})
    {
        SCOPED_TRACE(nSkin);
        ScopedSkin scoped(nSkin);
        const kxgui::PixelBuffer px = Paint(120, 90, [&](CDC& dc) { box.DrawFrame(dc, CRect(10, 10, 110, 80)); });
        EXPECT_EQ(clrFrame, px.At(60, 10));
        // the rounded corner leaves the rectangle's corner pixel alone
        EXPECT_EQ(nSkin == 0 ? clrFrame : kCanvas, px.At(10, 10));
        EXPECT_EQ(CExtGroupBox::STYLE_FLAT, box.m_nFrameStyle);
    }
}

// The frame record of a disabled skinned edit says hovered and enabled, on
// the rectangle shrunk by one pixel.
TEST_F(SkinControls, DisabledEditDrawsItsFrameEnabledAndHovered)
{
    CSkinEdit& edit = Add(std::make_unique<CSkinEdit>());
    ASSERT_TRUE(edit.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "text", WS_CHILD | WS_VISIBLE, CRect(10, 10, 160, 34),
                              &m_stage.Parent(), 300));
    edit.EnableWindow(FALSE);
    CExtEdit& plain = Add(std::make_unique<CExtEdit>());
    ASSERT_TRUE(plain.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "text", WS_CHILD | WS_VISIBLE, CRect(10, 50, 160, 74),
                               &m_stage.Parent(), 301));
    plain.EnableWindow(FALSE);
    const CRect rc(0, 0, 150, 24);
    int nDiffering = 0;
    for (int nTheme = 0; nTheme < 4; ++nTheme)
    {
        SCOPED_TRACE(ExtTestThemeName(nTheme));
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
        const kxgui::PixelBuffer want =
            Paint(150, 24,
                  [&](CDC& dc)
                  {
                      CExtPaintManager::ControlFrameParams params(&edit, CRect(1, 1, 149, 23), true, true, true, false);
                      g_PaintManager->PaintControlFrame(dc, params);
                  });
        EXPECT_TRUE(SamePixels(want, Paint(150, 24, [&](CDC& dc) { edit.DrawEditFrame(rc, &dc); })));
        if (!SamePixels(want, Paint(150, 24, [&](CDC& dc) { plain.DrawEditFrame(rc, &dc); })))
            ++nDiffering;
    }
    // in some theme a disabled toolkit edit looks different
    EXPECT_GT(nDiffering, 0);
}

// The classic theme draws the skinned combo's frame highlighted, the others
// in theme colour 2004.
TEST_F(SkinControls, ComboFrameStandsOutFromTheTheme)
{
    CSkinComboBox& combo = Add(std::make_unique<CSkinComboBox>());
    ASSERT_TRUE(
        combo.Create(WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST, CRect(10, 10, 160, 120), &m_stage.Parent(), 310));
    combo.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
    CRect rcClient;
    combo.GetClientRect(&rcClient);
    for (int nTheme = 0; nTheme < 4; ++nTheme)
    {
        SCOPED_TRACE(ExtTestThemeName(nTheme));
        ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
        auto record = [&](bool bRestyled)
        {
            return Paint(rcClient.Width(), rcClient.Height(),
                         [&](CDC& dc)
                         {
                             CExtPaintManager::ComboFrameParams params(&combo, rcClient, false, false, true);
                             if (bRestyled && nTheme == 0)
                                 params.Hover = true;
                             else if (bRestyled)
                                 params.FrameColor = g_PaintManager->GetColor(2004, &combo);
                             g_PaintManager->PaintComboFrame(dc, params);
                         });
        };
        const kxgui::PixelBuffer want = record(true);
        EXPECT_TRUE(SamePixels(want, Paint(rcClient.Width(), rcClient.Height(),
                                           [&](CDC& dc) { combo.DrawComboFrame(false, false, &dc); })));
        if (nTheme == 0 || nTheme == 2)
            EXPECT_FALSE(SamePixels(want, record(false)));
    }
}

using kxtest::CPaintingParent;

// A theme that keeps the push-button record instead of drawing it, so the
// button's own fill stays visible.
class CRecordingTheme : public CExtPaintManager
{
public:
    void PaintPushButton(CDC&, PushButtonParams& params) override
    {
        ++m_nCalls;
        m_hFont = params.Font;
        m_clrBackground = params.BackgroundColor;
        m_clrTextNormal = params.TextNormalColor;
        m_bRightToLeft = params.ForceRightToLeft;
        m_bWordBreak = params.WordBreak;
        m_bTransparent = params.TransparentBackground;
    }
    int m_nCalls = 0;
    HFONT m_hFont = nullptr;
    COLORREF m_clrBackground = 0;
    COLORREF m_clrTextNormal = 0;
    bool m_bRightToLeft = true;
    bool m_bWordBreak = true;
    bool m_bTransparent = true;
};

// Over a parent that paints its children's background the toolkit button
// shows the parent's; the preview button fills with its own colour, else
// theme colour 1000, and hands the theme its font and text colours as they
// are, without background colour, mirroring or word breaks.
TEST_F(SkinControls, PreviewButtonFillsWithItsOwnColour)
{
    auto* pTheme = new CRecordingTheme;
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(pTheme));
    g_PaintManager->ThemeOptions.InheritedBackground = true;
    CPaintingParent& parent = Add(std::make_unique<CPaintingParent>());
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "parent", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100),
                                &m_stage.Parent(), 320));
    CFont bold;
    ASSERT_TRUE(bold.CreateFont(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    auto makeFlat = [&](CExtButton& button, int y)
    {
        EXPECT_TRUE(button.Create("Play", WS_VISIBLE | BS_PUSHBUTTON | BS_MULTILINE, CRect(10, y, 70, y + 24), &parent,
                                  321 + y));
        button.SetFont(&bold);
        button.SetFlat(true);
        button.SetDrawBorder(false);
        button.SetDrawFocusRect(false);
    };
    CExtButton plain;
    makeFlat(plain, 10);
    EXPECT_EQ(CPaintingParent::kBackground, Face(plain).At(30, 12));
    CPreviewButton button;
    makeFlat(button, 50);
    button.ModifyStyleEx(0, WS_EX_LAYOUTRTL);
    button.m_clrTextNormal = RGB(1, 2, 3);
    EXPECT_EQ(g_PaintManager->GetColor(1000, &button), Face(button).At(30, 12));
    button.m_clrBackground = RGB(10, 20, 250);
    EXPECT_EQ(RGB(10, 20, 250), Face(button).At(30, 12));
    EXPECT_EQ(static_cast<HFONT>(bold), pTheme->m_hFont);
    EXPECT_EQ(static_cast<COLORREF>(-1), pTheme->m_clrBackground);
    EXPECT_EQ(RGB(1, 2, 3), pTheme->m_clrTextNormal);
    EXPECT_FALSE(pTheme->m_bRightToLeft);
    EXPECT_FALSE(pTheme->m_bWordBreak);
    EXPECT_FALSE(pTheme->m_bTransparent);
    // the transparent flag leaves the background alone
    EXPECT_EQ(kCanvas, Paint(60, 24, [&](CDC& dc) { button.PaintFace(dc, true, true); }).At(30, 12));
    EXPECT_TRUE(pTheme->m_bTransparent);
    button.DestroyWindow();
    plain.DestroyWindow();
}

TEST_F(SkinControls, EditIsCreatableByItsClassName)
{
    const CRuntimeClass* pClass = RUNTIME_CLASS(CSkinEdit);
    EXPECT_STREQ("CSkinEdit", pClass->m_lpszClassName);
    std::unique_ptr<CObject> pObject(pClass->CreateObject());
    ASSERT_NE(nullptr, pObject);
    EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CExtEdit)));
}

} // namespace

namespace
{

// The theme the main frame pairs with each skin: classic with none, XP with
// the first, Office 2003 and Studio 2005 with the second.
class SkinControlsGallery : public SkinControls, public ::testing::WithParamInterface<int>
{
};

TEST_P(SkinControlsGallery, EveryControlInTheTheme)
{
    const int nTheme = GetParam();
    ASSERT_TRUE(g_PaintManager.InstallPaintManager(NewExtTestTheme(nTheme)));
    ScopedSkin scoped(nTheme == 0 ? 0 : nTheme == 1 ? 1 : 2);
    CWnd& parent = m_stage.Parent();
    const HFONT hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    CSkinGroupBox& group = Add(std::make_unique<CSkinGroupBox>());
    ASSERT_TRUE(group.Create("Check boxes", WS_VISIBLE | BS_GROUPBOX, CRect(5, 5, 395, 100), &parent, 200));
    group.SetFont(CFont::FromHandle(hFont));
    const char* kNames[3] = {"Unchecked", "Checked", "Indeterminate"};
    for (int nCheck = 0; nCheck < 3; ++nCheck)
        for (int nDisabled = 0; nDisabled < 2; ++nDisabled)
        {
            CSkinCheckBox& box =
                AddButton<CSkinCheckBox>(kNames[nCheck], BS_AUTO3STATE, 15 + 190 * nDisabled, 22 + 24 * nCheck, 170);
            box.SetCheck(nCheck);
            box.EnableWindow(nDisabled == 0);
        }
    for (int nDisabled = 0; nDisabled < 2; ++nDisabled)
    {
        CSkinEdit& edit = Add(std::make_unique<CSkinEdit>());
        ASSERT_TRUE(edit.CreateEx(
            WS_EX_CLIENTEDGE, "EDIT", nDisabled ? "Disabled edit" : "Edit", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
            CRect(15 + 190 * nDisabled, 110, 185 + 190 * nDisabled, 134), &parent, 210 + nDisabled));
        edit.SetFont(CFont::FromHandle(hFont));
        edit.EnableWindow(nDisabled == 0);
        CSkinComboBox& combo = Add(std::make_unique<CSkinComboBox>());
        ASSERT_TRUE(combo.Create(WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
                                 CRect(15 + 190 * nDisabled, 145, 185 + 190 * nDisabled, 245), &parent,
                                 220 + nDisabled));
        combo.SetFont(CFont::FromHandle(hFont));
        combo.AddString(nDisabled ? "Disabled combo" : "Combo box");
        combo.SetCurSel(0);
        combo.EnableWindow(nDisabled == 0);
    }
    AddButton<CPreviewButton>("Preview", BS_PUSHBUTTON, 15, 185, 80, 24);
    CPreviewButton& coloured = AddButton<CPreviewButton>("Own colour", BS_PUSHBUTTON, 105, 185, 80, 24);
    coloured.m_clrBackground = RGB(40, 60, 120);
    kxgui::Activate(m_stage.Host());
    parent.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    m_stage.Pump();
    const kxgui::PixelBuffer shot = kxgui::CaptureScreen(m_stage.Host());
    ASSERT_FALSE(shot.IsEmpty());
    kxgui::SaveArtifact(shot, std::string("skin_controls_") + ExtTestThemeName(nTheme) + ".png");
    // the skins' dark-blue box frames show exactly while a skin is active
    const int nSkinFrame = shot.CountColor(RGB(16, 40, 110), RECT{0, 0, shot.width, shot.height});
    if (g_nCheckBoxSkin == 0)
        EXPECT_EQ(0, nSkinFrame);
    else
        EXPECT_GT(nSkinFrame, 3 * 13 * 4 - 16);
}

INSTANTIATE_TEST_SUITE_P(Themes, SkinControlsGallery, ::testing::Values(0, 1, 2, 3),
                         [](const ::testing::TestParamInfo<int>& info)
                         { return std::string(ExtTestThemeName(info.param)); });

} // namespace
