// Dialog templates in memory: fonts read and replaced in both layouts, the
// items kept usable, damaged templates refused.
#include "framework/win/Dialog.h"
#include "framework/win/DialogTemplate.h"
#include "framework/win/WinThread.h"
#include "framework/win/testapp/TestAppRes.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

// A classic template: popup with a font, one button.
std::vector<BYTE> ClassicTemplate()
{
    std::vector<BYTE> b;
    auto word = [&b](WORD w)
    {
        b.push_back(static_cast<BYTE>(w & 0xFF));
        b.push_back(static_cast<BYTE>(w >> 8));
    };
    auto dword = [&](DWORD d)
    {
        word(static_cast<WORD>(d & 0xFFFF));
        word(static_cast<WORD>(d >> 16));
    };
    auto text = [&](const wchar_t* s)
    {
        for (; *s; ++s)
            word(static_cast<WORD>(*s));
        word(0);
    };
    dword(WS_POPUP | WS_CAPTION | DS_SETFONT);
    dword(0);
    word(1); // one item
    word(0), word(0), word(100), word(40);
    word(0); // no menu
    word(0); // default class
    text(L"Classic");
    word(9);
    text(L"Arial");
    while (b.size() % 4)
        b.push_back(0);
    dword(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
    dword(0);
    word(5), word(5), word(50), word(14);
    word(IDOK);
    word(0xFFFF), word(0x0080); // button class
    text(L"OK");
    word(0); // no creation data
    return b;
}

TEST(DialogTemplateTest, FontsAreReadAndReplacedInBothLayouts)
{
    CDialogTemplate ex;
    ASSERT_TRUE(ex.Load(MAKEINTRESOURCEA(IDD_TEST_DIALOG)));
    CString face;
    WORD size = 0;
    ASSERT_TRUE(ex.GetFont(face, size));
    EXPECT_STREQ(face, "MS Shell Dlg");
    EXPECT_EQ(size, 8);

    std::vector<BYTE> classicBytes = ClassicTemplate();
    CDialogTemplate classic(reinterpret_cast<const DLGTEMPLATE*>(classicBytes.data()),
                            static_cast<UINT>(classicBytes.size()));
    EXPECT_EQ(classic.m_dwTemplateSize, classicBytes.size());
    ASSERT_TRUE(classic.GetFont(face, size));
    EXPECT_STREQ(face, "Arial");
    EXPECT_EQ(size, 9);

    for (CDialogTemplate* pTemplate : {&ex, &classic})
    {
        // a longer and a shorter name both keep the items aligned
        for (const char* name : {"Courier New Long Name", "X"})
        {
            ASSERT_TRUE(pTemplate->SetFont(name, 11));
            ASSERT_TRUE(pTemplate->GetFont(face, size));
            EXPECT_STREQ(face, name);
            EXPECT_EQ(size, 11);
            EXPECT_EQ(CDialogTemplate::GetTemplateSize(pTemplate->GetTemplate(), pTemplate->m_dwTemplateSize),
                      pTemplate->m_dwTemplateSize);
        }
    }
    EXPECT_TRUE(ex.SetSystemFont());
    EXPECT_TRUE(ex.m_bSystemFont);
    EXPECT_TRUE(ex.HasFont());
}

TEST(DialogTemplateTest, ADialogMadeFromTheChangedTemplateHasItsControls)
{
    CWinApp app("Kestrelux");
    CDialogTemplate tmpl;
    ASSERT_TRUE(tmpl.Load(MAKEINTRESOURCEA(IDD_TEST_DIALOG)));
    ASSERT_TRUE(tmpl.SetFont("Tahoma", 10));
    CDialog dlg;
    ASSERT_TRUE(dlg.CreateIndirect(reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.GetTemplate())));
    EXPECT_NE(::GetDlgItem(dlg.m_hWnd, IDC_TEST_EDIT), nullptr);
    EXPECT_NE(::GetDlgItem(dlg.m_hWnd, IDCANCEL), nullptr);
    dlg.DestroyWindow();
}

TEST(DialogTemplateTest, DamagedTemplatesAreRefused)
{
    std::vector<BYTE> good = ClassicTemplate();
    for (size_t cut : {size_t(0), size_t(10), size_t(20), size_t(40), good.size() - 1})
    {
        CDialogTemplate tmpl;
        EXPECT_FALSE(tmpl.SetTemplate(reinterpret_cast<const DLGTEMPLATE*>(good.data()), static_cast<UINT>(cut)))
            << cut;
        EXPECT_EQ(tmpl.GetTemplate(), nullptr);
        EXPECT_FALSE(tmpl.SetFont("Arial", 8));
    }
    // a title without its terminator
    std::vector<BYTE> open(good.begin(), good.begin() + 30);
    CString face;
    WORD size;
    EXPECT_FALSE(CDialogTemplate::GetFont(reinterpret_cast<const DLGTEMPLATE*>(open.data()),
                                          static_cast<UINT>(open.size()), face, size));
}

} // namespace
