// The option getters against the application's registry section, emptied
// before and after each test: defaults, the getters' rules, the setter's
// place, the option font's fallback and the values ApplyOptions hands on.
#include "DvdGui/source/Options.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobTestSupport.h"
#include "DVD/source/button.h"
#include "DvdGui/source/DvdDoc.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr const char* kSectionPath = "Software\\Brannwick\\Kestrelux\\Kestrelux Options";

class OptionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_app.SetRegistryKey("Brannwick");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSectionPath);
    }
    void TearDown() override
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSectionPath);
        g_nBovShortestDuration = 6;
        g_nRevisionLimit = 10;
    }
    static void Store(const char* pszKey, int nValue) { AfxGetApp()->WriteProfileInt(OPTIONS_SECTION, pszKey, nValue); }

    CWinApp m_app{"Kestrelux"};
};

TEST_F(OptionsTest, AnEmptySectionGivesTheDefaults)
{
    EXPECT_EQ(10, GetOptionRevisionLimit());
    EXPECT_EQ(4486, GetOptionTargetSize());
    EXPECT_TRUE(GetOptionSkipBlankFrames());
    EXPECT_EQ(3, GetOptionButtonLinkPointers());
    EXPECT_TRUE(GetOptionShowSizes());
    EXPECT_TRUE(GetOptionShowPreviewInfo());
    EXPECT_EQ(6, GetOptionBovDuration());
    EXPECT_TRUE(GetOptionAutoBypass());
    EXPECT_TRUE(GetOptionCutMotionMenus());
    EXPECT_EQ(5, GetOptionSceneCutDuration());
    EXPECT_EQ(5, GetOptionMenuCutDuration());
    EXPECT_STREQ("", GetOptionImportFolder());
    EXPECT_STREQ("", GetOptionExportFolder());
    EXPECT_STREQ("", GetOptionTestExportFolder());
    EXPECT_STREQ("", GetOptionModifiedExportFolder());
}

TEST_F(OptionsTest, GettersApplyTheirRules)
{
    const struct
    {
        const char* key;
        int stored;
        int (*get)();
        int read;
    } cases[] = {
        {"INC", 0, GetOptionBovDuration, 1},         {"INC", -5, GetOptionBovDuration, 1},
        {"INC", 18, GetOptionBovDuration, 18},       {"DUR", -3, GetOptionSceneCutDuration, 1},
        {"MDUR", 0, GetOptionMenuCutDuration, 1},    {"REV", 0, GetOptionRevisionLimit, 0},
        {"REV", 3, GetOptionRevisionLimit, 3},       {"SZ", 0, GetOptionTargetSize, 0},
        {"BLDP", 1, GetOptionButtonLinkPointers, 1},
    };
    for (const auto& c : cases)
    {
        Store(c.key, c.stored);
        EXPECT_EQ(c.read, c.get()) << c.key << " " << c.stored;
    }
    Store("OPSS", 0);
    Store("ABP", 7);
    EXPECT_FALSE(GetOptionShowSizes());
    EXPECT_TRUE(GetOptionAutoBypass());
}

TEST_F(OptionsTest, SkipBlankSetterWritesTheApplicationsSection)
{
    SetOptionSkipBlankFrames(false);
    DWORD dwValue = 99, dwSize = sizeof(dwValue);
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegGetValueA(HKEY_CURRENT_USER, kSectionPath, "SB", RRF_RT_REG_DWORD, nullptr, &dwValue, &dwSize));
    EXPECT_EQ(0u, dwValue);
    EXPECT_FALSE(GetOptionSkipBlankFrames());
    SetOptionSkipBlankFrames(true);
    EXPECT_TRUE(GetOptionSkipBlankFrames());
}

TEST_F(OptionsTest, ApplyOptionsHandsTheValuesOn)
{
    ApplyOptions();
    EXPECT_TRUE(g_bSkipBlankFrames);
    EXPECT_EQ(4, g_nSkipBlankDecoderFlag);
    EXPECT_EQ(6, g_nBovShortestDuration);
    EXPECT_EQ(10, g_nRevisionLimit);
    Store("SB", 0);
    Store("OPSS", 0);
    Store("SZ", 8152);
    Store("BLDP", 2);
    Store("OPSPI", 0);
    Store("INC", 1);
    Store("REV", 25);
    ApplyOptions();
    EXPECT_FALSE(g_bSkipBlankFrames);
    EXPECT_EQ(0, g_nSkipBlankDecoderFlag);
    EXPECT_FALSE(g_bShowSizes);
    EXPECT_EQ(8152, g_nTargetSize);
    EXPECT_EQ(2, g_nButtonLinkPointers);
    EXPECT_FALSE(g_bShowPreviewInfo);
    EXPECT_EQ(1, g_nBovShortestDuration);
    EXPECT_EQ(25, g_nRevisionLimit);
    Store("INC", 100000);
    ApplyOptions();
    EXPECT_EQ(0xFFFF, g_nBovShortestDuration);
}

TEST_F(OptionsTest, OptionFontFallsBackToTheStockGuiFont)
{
    CFontInfo stock;
    ASSERT_TRUE(stock.CreateStockFont(DEFAULT_GUI_FONT));
    const std::vector<std::string> damaged = {"", "-12,0,0,0,400", "-12,0,0,0,400,0,0,0,0,0,0,2,18,Arial",
                                              "-12,a,0,0,400,0,0,0,0,0,0,2,18,Arial,0",
                                              "-12,0,0,0,400,0,0,0,0,0,0,2,18," + std::string(100, 'X') + ",zz"};
    for (const std::string& text : damaged)
    {
        AfxGetApp()->WriteProfileString(OPTIONS_SECTION, "FNT", text.c_str());
        GetOptionFont().FromString("-20,0,0,0,700,0,0,0,0,0,0,2,18,Arial,255");
        LoadOptionFont();
        EXPECT_STREQ(stock.ToString(), GetOptionFont().ToString()) << text;
    }
    AfxGetApp()->WriteProfileString(OPTIONS_SECTION, "FNT", "-15,0,0,0,400,0,0,0,0,0,0,2,34,Arial,255");
    LoadOptionFont();
    EXPECT_STREQ("-15,0,0,0,400,0,0,0,0,0,0,2,34,Arial,255", GetOptionFont().ToString());
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSectionPath);
    LoadOptionFont();
    EXPECT_STREQ(stock.ToString(), GetOptionFont().ToString());
}

// A title cell of 24 VOBUs whose navigation packs carry a highlight of two
// buttons in VOBUs 8 and 9 only: sampling every sixth VOBU never sees it,
// sampling every VOBU does.
TEST_F(OptionsTest, BovDurationReachesTheEnginesButtonSearch)
{
    kxtest::VobBuilder vob;
    for (int v = 0; v < 24; ++v)
    {
        vob.Nav(1, 1, DWORD(1000 + 3600 * v),
                [&](PciPacket& pci)
                {
                    if (v != 8 && v != 9)
                        return;
                    pci.SetHliStatus(v == 8 ? 1 : 2);
                    pci.SetHliSPtm(1000);
                    pci.SetHliEPtm(0xFFFFFFFF);
                    pci.SetBtnSlEPtm(0xFFFFFFFF);
                    pci.SetButtonGroupCount(1);
                    pci.SetBtnNs(2);
                    pci.SetNslBtnNs(2);
                });
        vob.Pes(0xE0);
    }
    kxtest::RecordingLog log;
    CVobData set(log, "title", uint32_t(vob.bytes.size()), vob.bytes.data(), nullptr);
    ASSERT_TRUE(set.IsUsable()) << log.Dump();
    CVobCell* pCell = set.GetPristineBlocks().GetBlock(0)->GetIlvu(0);
    ASSERT_GE(pCell->GetVobuCount(), 20u);
    for (const auto& c : {std::make_pair(1, true), std::make_pair(6, false)})
    {
        Store("INC", c.first);
        ApplyOptions();
        ASSERT_TRUE(pCell->ParseButtons(log, false, nullptr)) << log.Dump();
        EXPECT_EQ(c.second, pCell->HasButtons()) << "INC " << c.first;
    }
}

} // namespace
