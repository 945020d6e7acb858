// The font helper's text form over a real GDI font, and the font dialog
// driven through its own lists: caption, face filter, the fixed-pitch mark,
// OK and Cancel. Faces are compared through the dialog's lists and their
// metrics, never by width or by an expected face name.
#include "controls/custom/FontInfo.h"

#include "framework/win/Dc.h"

#include "tests/gui/GuiHarness.h"
#include "tests/support/DialogSteps.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

constexpr const char* kDefaultText = "-12,0,0,0,400,0,0,0,0,0,0,2,18,Times New Roman,0";
constexpr int kFaceList = 1136;

LOGFONTA FontOf(CFont& font)
{
    LOGFONTA lf = {};
    font.GetLogFont(&lf);
    return lf;
}

TEST(FontInfo, DefaultTextAndBack)
{
    CFontInfo info;
    ASSERT_NE(nullptr, info.GetSafeHandle());
    EXPECT_STREQ(kDefaultText, info.ToString());
    EXPECT_STREQ("Times New Roman", FontOf(info).lfFaceName);

    CFontInfo other;
    ASSERT_TRUE(other.FromString("-20,0,0,0,700,1,0,0,0,0,0,2,18,Arial,16711680"));
    EXPECT_EQ(RGB(0, 0, 255), other.m_crColor);
    EXPECT_EQ(-20, FontOf(other).lfHeight);
    EXPECT_EQ(700, FontOf(other).lfWeight);
    ASSERT_TRUE(other.FromString(kDefaultText));
    EXPECT_STREQ(kDefaultText, other.ToString());
    EXPECT_EQ(0u, other.m_crColor);
}

TEST(FontInfo, GrowKeepsTheSignAndRecreates)
{
    CFontInfo info;
    info.Grow(-2);
    EXPECT_EQ(-10, info.m_lf.lfHeight);
    EXPECT_EQ(-10, FontOf(info).lfHeight);
    EXPECT_EQ(-10, info.SetHeight(14));
    info.Grow(2);
    EXPECT_EQ(16, FontOf(info).lfHeight);
}

// Damaged texts leave the object as it was, the record and the font.
TEST(FontInfo, DamagedTextsChangeNothing)
{
    const std::string sLongFace(100, 'F');
    const std::vector<std::string> texts = {
        "",
        "-12,0,0,0,400,0,0,0,0,0,0,2,18,Arial",
        "-12,0,0,0,400,0,0,0,0,0,0,2,Arial,0",
        "-12,x,0,0,400,0,0,0,0,0,0,2,18,Arial,0",
        "-12,0,0,0,400,0,0,0,0,0,0,2,18,Arial,blue",
        "-12,0,0,0,400,0,0,0,0,0,0,999,18,Arial,0",
    };
    for (const std::string& text : texts)
    {
        CFontInfo info;
        info.SetColor(RGB(1, 2, 3));
        EXPECT_FALSE(info.FromString(text.c_str())) << text;
        EXPECT_STREQ("-12,0,0,0,400,0,0,0,0,0,0,2,18,Times New Roman,197121", info.ToString()) << text;
        EXPECT_STREQ("Times New Roman", FontOf(info).lfFaceName) << text;
    }
    CFontInfo info;
    EXPECT_FALSE(info.FromString(nullptr));
    // a long face is cut to what the record holds
    ASSERT_TRUE(info.FromString(("-12,0,0,0,400,0,0,0,0,0,0,2,18," + sLongFace + ",0").c_str()));
    EXPECT_EQ(sLongFace.substr(0, 31), info.m_lf.lfFaceName);
}

TEST(FontInfo, CopiesAndStockFonts)
{
    CFontInfo info;
    ASSERT_TRUE(info.CreateStockFont(DEFAULT_GUI_FONT));
    LOGFONTA lfStock = {};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lfStock), &lfStock);
    EXPECT_STREQ(lfStock.lfFaceName, FontOf(info).lfFaceName);
    EXPECT_EQ(lfStock.lfHeight, FontOf(info).lfHeight);
    EXPECT_FALSE(info.CreateStockFont(12345));

    CFont arial;
    ASSERT_TRUE(arial.CreateFont(-17, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    info.SetColor(RGB(9, 9, 9));
    info.CopyFrom(arial);
    EXPECT_EQ(-17, info.m_lf.lfHeight);
    EXPECT_EQ(0u, info.m_crColor);
    CFontInfo copy;
    info.SetColor(RGB(4, 5, 6));
    copy.Assign(info);
    EXPECT_STREQ(info.ToString(), copy.ToString());
    EXPECT_EQ(-17, FontOf(copy).lfHeight);
}

// ---- the dialog --------------------------------------------------------------

std::vector<CString> FaceList(HWND hDlg)
{
    std::vector<CString> faces;
    const HWND hList = ::GetDlgItem(hDlg, kFaceList);
    const int nCount = static_cast<int>(::SendMessageA(hList, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i)
    {
        char face[LF_FACESIZE + 1] = "";
        if (::SendMessageA(hList, CB_GETLBTEXTLEN, i, 0) < LF_FACESIZE)
            ::SendMessageA(hList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(face));
        faces.push_back(face);
    }
    return faces;
}

TEXTMETRICA FaceMetrics(const CString& sFace)
{
    TEXTMETRICA tm = {};
    HDC hDC = ::GetDC(nullptr);
    HFONT hFont = ::CreateFontA(0, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, sFace);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    ::GetTextMetricsA(hDC, &tm);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hFont);
    ::ReleaseDC(nullptr, hDC);
    return tm;
}

bool IsFixedPitch(const CString& sFace)
{
    return (FaceMetrics(sFace).tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
}

int CountSymbolFaces(const std::vector<CString>& faces)
{
    int n = 0;
    for (const CString& face : faces)
        if (FaceMetrics(face).tmCharSet == SYMBOL_CHARSET)
            ++n;
    return n;
}

// Selects the face as a click would, with the list's notice to the dialog.
void SelectFace(HWND hDlg, int nIndex)
{
    const HWND hList = ::GetDlgItem(hDlg, kFaceList);
    ::SendMessageA(hList, CB_SETCURSEL, nIndex, 0);
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(kFaceList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
}

bool MarkShown(HWND hDlg)
{
    return ::IsWindowVisible(::GetDlgItem(hDlg, CXFontDialog::IDC_XFONT_MONOSPACED)) != FALSE;
}

class XFontDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hHost = kxgui::CreateTestWindow(200, 100, "Font dialog");
        ASSERT_NE(nullptr, m_hHost);
    }
    void TearDown() override
    {
        ::DestroyWindow(m_hHost);
        kxgui::PumpUntilIdle();
    }
    // Runs the dialog; the check sees it open and answers it.
    INT_PTR Run(CXFontDialog& dlg, const std::function<int(HWND)>& check)
    {
        kxgui::DialogAnswerer answerer(check);
        const INT_PTR nResult = dlg.DoModal();
        EXPECT_EQ(1u, answerer.Seen().size());
        return nResult;
    }
    HWND m_hHost = nullptr;
};

TEST_F(XFontDialogTest, FilterTwoOffersNoSymbolFaces)
{
    int nSymbolUnfiltered = -1;
    {
        CXFontDialog dlg(nullptr, CF_SCREENFONTS | CF_EFFECTS, nullptr, CWnd::FromHandle(m_hHost));
        Run(dlg,
            [&](HWND hDlg)
            {
                nSymbolUnfiltered = CountSymbolFaces(FaceList(hDlg));
                return IDCANCEL;
            });
    }
    // the platform has symbol faces, so the filter has something to remove
    ASSERT_GT(nSymbolUnfiltered, 0);
    CXFontDialog dlg(nullptr, CF_SCREENFONTS | CF_EFFECTS, nullptr, CWnd::FromHandle(m_hHost));
    dlg.m_nFilter = CXFontDialog::FILTER_NO_SYMBOL;
    dlg.m_strCaption = "Pick the view font";
    std::vector<CString> faces;
    char caption[64] = "";
    Run(dlg,
        [&](HWND hDlg)
        {
            ::GetWindowTextA(hDlg, caption, sizeof(caption));
            faces = FaceList(hDlg);
            return IDCANCEL;
        });
    EXPECT_STREQ("Pick the view font", caption);
    EXPECT_STREQ("Pick the view font", dlg.GetCaption());
    ASSERT_FALSE(faces.empty());
    EXPECT_EQ(0, CountSymbolFaces(faces));
    for (const CString& face : faces)
    {
        const TEXTMETRICA tm = FaceMetrics(face);
        EXPECT_FALSE(tm.tmItalic != 0 || tm.tmWeight > 500) << static_cast<LPCSTR>(face);
    }
}

TEST_F(XFontDialogTest, MonospacedMarkFollowsTheFace)
{
    CXFontDialog dlg(nullptr, CF_SCREENFONTS | CF_EFFECTS, nullptr, CWnd::FromHandle(m_hHost));
    dlg.m_nFilter = CXFontDialog::FILTER_NO_SYMBOL;
    int nFixed = -1, nVariable = -1;
    bool bFixedShown = false, bVariableShown = true;
    CString sChosen, sAsked;
    const INT_PTR nResult = Run(dlg,
                                [&](HWND hDlg)
                                {
                                    const std::vector<CString> faces = FaceList(hDlg);
                                    for (int i = 0; i < static_cast<int>(faces.size()); ++i)
                                    {
                                        int& nFirst = IsFixedPitch(faces[i]) ? nFixed : nVariable;
                                        if (nFirst < 0)
                                            nFirst = i;
                                    }
                                    if (nFixed < 0 || nVariable < 0)
                                        return IDCANCEL;
                                    SelectFace(hDlg, nVariable);
                                    bVariableShown = MarkShown(hDlg);
                                    SelectFace(hDlg, nFixed);
                                    // the chooser's own request shares the mark's message number
                                    LOGFONTA lf = {};
                                    ::SendMessageA(hDlg, WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(&lf));
                                    sAsked = lf.lfFaceName;
                                    bFixedShown = MarkShown(hDlg);
                                    sChosen = faces[nFixed];
                                    return IDOK;
                                });
    ASSERT_GE(nFixed, 0);
    ASSERT_GE(nVariable, 0);
    EXPECT_TRUE(bFixedShown);
    EXPECT_FALSE(bVariableShown);
    ASSERT_EQ(IDOK, nResult);
    EXPECT_STREQ(sChosen, dlg.GetFaceName());
    EXPECT_STREQ(sChosen, sAsked);
    const TEXTMETRICA tm = FaceMetrics(sChosen);
    EXPECT_EQ(tm.tmCharSet, dlg.m_nCharSet);
    EXPECT_EQ(tm.tmPitchAndFamily, dlg.m_nPitchAndFamily);
    EXPECT_EQ(tm.tmHeight, dlg.m_nHeight);
}

// OK takes the dialog's font and colour into the object; Cancel leaves it.
TEST_F(XFontDialogTest, FontInfoTakesTheChoiceOnOkOnly)
{
    CFontInfo info;
    info.SetColor(RGB(0, 128, 0));
    const CString sBefore = info.ToString();
    {
        kxgui::DialogAnswerer answerer(IDCANCEL);
        EXPECT_FALSE(info.DoFontDialog(nullptr, CWnd::FromHandle(m_hHost)));
    }
    EXPECT_STREQ(sBefore, info.ToString());

    CFont start;
    ASSERT_TRUE(start.CreateFont(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    CString sShownFace;
    bool bUnderline = false;
    {
        kxgui::DialogAnswerer answerer(
            [&](HWND hDlg)
            {
                const HWND hList = ::GetDlgItem(hDlg, kFaceList);
                char face[LF_FACESIZE] = "";
                ::SendMessageA(hList, CB_GETLBTEXT, ::SendMessageA(hList, CB_GETCURSEL, 0, 0),
                               reinterpret_cast<LPARAM>(face));
                sShownFace = face;
                ::CheckDlgButton(hDlg, 1041, BST_CHECKED);
                ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(1041, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, 1041)));
                bUnderline = true;
                return IDOK;
            });
        EXPECT_TRUE(info.DoFontDialog(&start, CWnd::FromHandle(m_hHost)));
    }
    EXPECT_FALSE(sShownFace.IsEmpty());
    EXPECT_STREQ(sShownFace, info.m_lf.lfFaceName);
    EXPECT_TRUE(bUnderline);
    EXPECT_NE(0, info.m_lf.lfUnderline);
    EXPECT_STREQ(sShownFace, FontOf(info).lfFaceName);
}

TEST_F(XFontDialogTest, Screenshot)
{
    CXFontDialog dlg(nullptr, CF_SCREENFONTS | CF_EFFECTS, nullptr, CWnd::FromHandle(m_hHost));
    dlg.m_nFilter = CXFontDialog::FILTER_NO_SYMBOL;
    kxgui::PixelBuffer shot;
    Run(dlg,
        [&](HWND hDlg)
        {
            // a fixed-pitch face, so that the mark shows
            const std::vector<CString> faces = FaceList(hDlg);
            for (int i = 0; i < static_cast<int>(faces.size()); ++i)
                if (IsFixedPitch(faces[i]))
                {
                    SelectFace(hDlg, i);
                    break;
                }
            kxtest::Then(hDlg,
                         [&](HWND hWnd)
                         {
                             shot = kxgui::CaptureScreen(hWnd, false);
                             ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                         });
            return 0;
        });
    ASSERT_FALSE(shot.IsEmpty());
    kxgui::SaveArtifact(shot, "font_dialog.png");
}

} // namespace
