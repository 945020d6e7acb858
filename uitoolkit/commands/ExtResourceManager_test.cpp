#include "uitoolkit/commands/ExtResourceManager.h"

#include "framework/win/Menu.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{

const WORD kGerman = 0x0407;
const WORD kEnglish = 0x0409;

TEST(ExtResourceManager, FreshManagerDefaults)
{
    CExtResourceManager manager;
    EXPECT_FALSE(manager.IsOwnLanguage());
    EXPECT_EQ(manager.GetLanguage(), kEnglish);
    EXPECT_EQ(manager.GetDefaultLanguage(), kEnglish);
    EXPECT_EQ(manager.GetRTLMode(), -1);
    if (::GetUserDefaultLangID() == kEnglish)
    {
        EXPECT_EQ(manager.IsRTL(), 0);
    }
    EXPECT_EQ(g_ResourceManager.GetOrCreate(), g_ResourceManager.GetOrCreate());
    EXPECT_FALSE(g_ResourceManager->IsOwnLanguage());
}

TEST(ExtResourceManager, RtlModeAndOwnLanguage)
{
    CExtResourceManager manager;
    EXPECT_EQ(manager.SetRTLMode(1), -1);
    EXPECT_EQ(manager.IsRTL(), 1);
    EXPECT_EQ(manager.SetRTLMode(0), 1);
    EXPECT_EQ(manager.IsRTL(), 0);
    manager.SetRTLMode(-1);
    EXPECT_EQ(manager.SetOwnLanguage(true), 0);
    EXPECT_EQ(manager.SetLanguage(0x0401), kEnglish);
    EXPECT_EQ(manager.IsRTL(), 1);
    // only Arabic counts in the own-language mode
    manager.SetLanguage(0x040D);
    EXPECT_EQ(manager.IsRTL(), 0);
    EXPECT_EQ(manager.SetOwnLanguage(false), 1);
}

TEST(ExtResourceManager, StringsInBothModes)
{
    for (bool own : {false, true})
    {
        SCOPED_TRACE(own ? "own language" : "plain");
        CExtResourceManager manager(own);
        CString text;
        WORD language = 0;
        HINSTANCE module = nullptr;
        // 0x1234 lives in block 0x124 as entry 4, between entries 3 and 5
        EXPECT_TRUE(manager.LoadString(text, 0x1234, &language, &module));
        EXPECT_STREQ(text, "Entry four");
        EXPECT_EQ(language, kEnglish);
        EXPECT_EQ(module, AfxGetResourceHandle());
        EXPECT_TRUE(manager.LoadString(text, 0x1233));
        EXPECT_STREQ(text, "Entry three");
        // an empty entry of an existing block exists only for the own-language lookup
        EXPECT_EQ(manager.LoadString(text, 0x1236), own);
        EXPECT_TRUE(text.IsEmpty());
        // a missing block
        EXPECT_FALSE(manager.LoadString(text, 0x6543, &language, &module));
        EXPECT_EQ(language, kEnglish);
        EXPECT_EQ(module, nullptr);
    }
}

TEST(ExtResourceManager, OwnLanguageFallsBack)
{
    CExtResourceManager manager(true, kGerman);
    CString text;
    WORD language = 0;
    EXPECT_TRUE(manager.LoadString(text, 0x1250, &language));
    EXPECT_STREQ(text, "Deutscher Text");
    EXPECT_EQ(language, kGerman);
    // only in English: found through the fallback, which is reported
    EXPECT_TRUE(manager.LoadString(text, 0x1234, &language));
    EXPECT_STREQ(text, "Entry four");
    EXPECT_EQ(language, kEnglish);
    // the exact lookup does not fall back
    HRSRC resource = nullptr;
    EXPECT_EQ(manager.FindResourceHandle(MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(0x124), kGerman, &language, &resource),
              nullptr);
    EXPECT_EQ(resource, nullptr);
    EXPECT_EQ(manager.FindResourceHandleAuto(MAKEINTRESOURCEA(6), MAKEINTRESOURCEA(0x124), &language, &resource),
              AfxGetResourceHandle());
    EXPECT_NE(resource, nullptr);
    EXPECT_EQ(language, kEnglish);

    // an accelerator table in both languages: the German one wins
    WORD accelLanguage = 0;
    HACCEL accel = manager.LoadAccelerators(0x7330, &accelLanguage);
    ASSERT_NE(accel, nullptr);
    ACCEL entry = {};
    ASSERT_EQ(::CopyAcceleratorTableA(accel, &entry, 1), 1);
    EXPECT_EQ(entry.cmd, 101);
    EXPECT_EQ(entry.key, 'D');
    EXPECT_EQ(entry.fVirt & (FVIRTKEY | FCONTROL), FVIRTKEY | FCONTROL);
    EXPECT_EQ(accelLanguage, kGerman);
    ::DestroyAcceleratorTable(accel);
}

TEST(ExtResourceManager, MenusReplaceTheHeldMenu)
{
    for (bool own : {false, true})
    {
        SCOPED_TRACE(own ? "own language" : "plain");
        CExtResourceManager manager(own);
        CMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        HMENU old = menu.GetSafeHmenu();
        // the id forms use the low 16 bits only
        EXPECT_TRUE(manager.LoadMenu(menu, 0x10007320));
        EXPECT_NE(menu.GetSafeHmenu(), old);
        EXPECT_FALSE(::IsMenu(old));
        EXPECT_EQ(menu.GetMenuItemCount(), 2u);
        EXPECT_EQ(menu.GetMenuItemID(1), 104u);
        old = menu.GetSafeHmenu();
        // a failed load still lets go of the old menu
        EXPECT_FALSE(manager.LoadMenu(menu, 0x7399));
        EXPECT_EQ(menu.GetSafeHmenu(), nullptr);
        EXPECT_FALSE(::IsMenu(old));
    }
}

TEST(ExtResourceManager, ToolBarDialogAndInitialisationData)
{
    for (bool own : {false, true})
    {
        SCOPED_TRACE(own ? "own language" : "plain");
        CExtResourceManager manager(own);
        HRSRC resource = nullptr;
        EXPECT_NE(manager.FindResourceHandleAuto(MAKEINTRESOURCEA(241), MAKEINTRESOURCEA(0x7310), nullptr, &resource),
                  nullptr);
        EXPECT_NE(manager.FindResourceHandleAuto(RT_BITMAP, MAKEINTRESOURCEA(0x7310)), nullptr);
        EXPECT_NE(manager.FindResourceHandleAuto(RT_DIALOG, MAKEINTRESOURCEA(0x7340)), nullptr);

        CExtResourceBuffer buffer;
        HINSTANCE module = nullptr;
        ASSERT_TRUE(
            manager.LoadResourceBufferAuto(buffer, MAKEINTRESOURCEA(241), MAKEINTRESOURCEA(0x7310), nullptr, &module));
        EXPECT_EQ(module, AfxGetResourceHandle());
        ASSERT_EQ(buffer.GetSize(), 14u);
        const WORD* words = reinterpret_cast<const WORD*>(buffer.GetBuffer());
        EXPECT_EQ(words[3], 3);
        EXPECT_EQ(words[6], 101);

        // the dialog-init list: control, message, length, bytes ... then 0
        ASSERT_TRUE(manager.LoadResourceBufferAuto(buffer, MAKEINTRESOURCEA(240), MAKEINTRESOURCEA(0x7340)));
        const BYTE* p = buffer.GetBuffer();
        std::string texts;
        while (p + 2 <= buffer.GetBuffer() + buffer.GetSize() && (p[0] | p[1] << 8) != 0)
        {
            EXPECT_EQ(p[0] | p[1] << 8, 0x7341);
            EXPECT_EQ(p[2] | p[3] << 8, 0x0403);
            DWORD length = DWORD(p[4] | p[5] << 8 | p[6] << 16 | p[7] << 24);
            ASSERT_EQ(length, 4u);
            texts += reinterpret_cast<const char*>(p + 8);
            texts += ';';
            p += 8 + length;
        }
        EXPECT_EQ(texts, "One;Two;");
        EXPECT_FALSE(manager.LoadResourceBufferAuto(buffer, MAKEINTRESOURCEA(240), MAKEINTRESOURCEA(0x7399)));
        EXPECT_TRUE(buffer.IsEmpty());
    }
}

TEST(ExtResourceManager, Bitmaps)
{
    for (bool own : {false, true})
    {
        SCOPED_TRACE(own ? "own language" : "plain");
        CExtResourceManager manager(own, kGerman);
        WORD language = 0;
        HINSTANCE module = nullptr;
        HBITMAP bitmap = manager.LoadBitmap(0x10007310, &language, &module);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info = {};
        ::GetObjectA(bitmap, sizeof(info), &info);
        EXPECT_EQ(info.bmWidth, 48);
        EXPECT_EQ(info.bmHeight, 15);
        EXPECT_EQ(language, kEnglish);
        EXPECT_EQ(module, AfxGetResourceHandle());
        ::DeleteObject(bitmap);
        EXPECT_EQ(manager.LoadBitmap(0x7399, &language, &module), nullptr);
        EXPECT_EQ(module, nullptr);
    }
}

TEST(ExtResourceManager, BufferAllocation)
{
    CExtResourceBuffer buffer;
    EXPECT_FALSE(buffer.Alloc(0));
    ASSERT_TRUE(buffer.Alloc(8, true));
    EXPECT_EQ(buffer.GetSize(), 8u);
    const BYTE zero[8] = {};
    EXPECT_EQ(std::memcmp(buffer.GetBuffer(), zero, 8), 0);
    buffer.Free();
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_EQ(buffer.GetSize(), 0u);
}

TEST(ExtResourceManager, LocaleInfo)
{
    CExtResourceManager manager(true, kGerman);
    char name[64] = {};
    ASSERT_GT(manager.GetLocaleInfo(LOCALE_SENGLANGUAGE, name, sizeof(name)), 0);
    EXPECT_STREQ(name, "German");
}

} // namespace
