#include "DvdGui/core/TrackRows.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobData.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSinks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace
{

using Streams = std::vector<std::vector<BYTE>>;

TEST(TrackRows, TrackDescriptionsNameLanguageCodingAndExtension)
{
    const struct
    {
        CAudioAttributes attributes;
        const char* info;
    } audio[] = {
        {{{0x00, 0x01, 'e', 'n', 0, 0, 0}}, " English,  AC3 2-ch"},
        {{{0x80, 0x05, 0, 0, 0, 0, 0}}, " LPCM 6-ch"},
        {{{0x40, 0x00, 'd', 'e', 0, 2, 0}}, " German,  Mpeg-1 1-ch, "},
    };
    for (const auto& c : audio)
    {
        CString strExpected = c.info;
        if (c.attributes.GetCodeExtension() != 0)
            strExpected += GetAudioCodeExtensionText(c.attributes.GetCodeExtension());
        EXPECT_STREQ(GetAudioTrackInfo(c.attributes), strExpected);
    }
    const CSubpictureAttributes english{{0, 0, 'e', 'n', 0, 0}};
    EXPECT_STREQ(GetSubpictureTrackInfo(english), " English");
    const CSubpictureAttributes unknown{{0, 0, '1', '2', 0, 0}};
    EXPECT_STREQ(GetSubpictureTrackInfo(unknown), "");
    const CSubpictureAttributes caption{{0, 0, 0, 0, 0, 1}};
    EXPECT_STREQ(GetSubpictureTrackInfo(caption), GetSubpictureCodeExtensionText(1));
    const CSubpictureAttributes both{{0, 0, 'f', 'r', 0, 1}};
    EXPECT_STREQ(GetSubpictureTrackInfo(both), CString(" French, ") + GetSubpictureCodeExtensionText(1));
}

TEST(TrackRows, SizesAreExactOrEstimatedInWholeMegabytes)
{
    EXPECT_STREQ(FormatStreamSize(1572864, true), "1.50 Mb");
    EXPECT_STREQ(FormatStreamSize(1572864, false), "2 Mb (est)");
    EXPECT_STREQ(FormatStreamSize(0, false), "0 Mb (est)");
}

TEST(TrackRows, TheSearchEntryFollowsTheScan)
{
    const struct
    {
        bool prelim, exact, scanning;
        const char* text;
        bool enabled;
    } cases[] = {
        {false, false, true, "&Preliminary search", false},
        {false, true, false, "&Preliminary search", false},
        {true, false, true, "&Stop search", true},
        {true, false, false, "&Find exact stream sizes", true},
        {true, true, true, "&Find exact stream sizes", false},
        {true, true, false, "&Find exact stream sizes", false},
    };
    for (const auto& c : cases)
    {
        const CSearchEntry entry = GetSearchEntry(c.prelim, c.exact, c.scanning);
        EXPECT_STREQ(entry.pszText, c.text);
        EXPECT_EQ(entry.bEnabled, c.enabled);
    }
}

class TrackStreamsTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_dvd.reset();
        PurgeUnusedVobData();
    }
    CAngleBlockList* Read(const char* fixture, unsigned nVts)
    {
        m_dvd = std::make_unique<CDvd>();
        if (!m_dvd->Read(m_log, kxtest::FixturePath(fixture, "VIDEO_TS").c_str(), nullptr))
            return nullptr;
        return &m_dvd->GetVts(nVts)->GetTitleDomain();
    }
    CPgcTable& Titles(unsigned nVts) { return m_dvd->GetVts(nVts)->GetPgcTable(); }

    kxtest::RecordingLog m_log;
    std::unique_ptr<CDvd> m_dvd;
};

TEST_F(TrackStreamsTest, AFourThreeDomainListsTheFourThreeStream)
{
    KX_REQUIRE_FIXTURE(dir, "pal1");
    CAngleBlockList* pDomain = Read("pal1", 0);
    ASSERT_NE(pDomain, nullptr);
    ASSERT_NE(pDomain->GetStreams().GetVideo().GetAspectRatio(), 3);
    CPgc& pgc = *Titles(0).GetPgc(0);
    ASSERT_TRUE(pgc.m_subpictures[0].bEnabled);
    // the other forms' numbers are never listed for 4:3 video
    pgc.m_subpictures[0].nStreams[0] = 2;
    pgc.m_subpictures[0].nStreams[1] = 5;
    pgc.m_subpictures[0].nStreams[2] = 6;
    pgc.m_subpictures[0].nStreams[3] = 7;
    EXPECT_EQ(GetSubpictureTrackStreams(*pDomain), (Streams{{2}}));
    // a number out of range lists nothing
    pgc.m_subpictures[0].nStreams[0] = 40;
    EXPECT_EQ(GetSubpictureTrackStreams(*pDomain), (Streams{{}}));
}

TEST_F(TrackStreamsTest, AWideDomainListsThePermittedForms)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    CAngleBlockList* pDomain = Read("twovts", 1);
    ASSERT_NE(pDomain, nullptr);
    const CVideoAttributes& video = pDomain->GetStreams().GetVideo();
    ASSERT_EQ(video.GetAspectRatio(), 3);
    ASSERT_GE(pDomain->GetStreams().GetSubpictureCount(), 1);
    CPgc& pgc = *Titles(1).GetPgc(0);
    ASSERT_TRUE(pgc.m_subpictures[0].bEnabled);
    BYTE numbers[4] = {9, 1, 2, 3};
    memcpy(pgc.m_subpictures[0].nStreams, numbers, 4);
    std::vector<BYTE> expected = {1};
    if ((video.bytes[0] & 0x01) == 0)
        expected.push_back(2);
    if ((video.bytes[0] & 0x02) == 0)
        expected.push_back(3);
    EXPECT_EQ(GetSubpictureTrackStreams(*pDomain)[0], expected);
}

TEST_F(TrackStreamsTest, TwoTracksOnOneStreamBothListIt)
{
    KX_REQUIRE_FIXTURE(dir, "twovts");
    CAngleBlockList* pDomain = Read("twovts", 1);
    ASSERT_NE(pDomain, nullptr);
    ASSERT_EQ(pDomain->GetStreams().GetAudioCount(), 2);
    // the LPCM and the MPEG track are each stream 0 of their coding
    EXPECT_EQ(GetAudioTrackStreams(*pDomain), (Streams{{0}, {0}}));
    for (uint32_t i = 0; i < Titles(1).GetPgcCount(); ++i)
        Titles(1).GetPgc(i)->m_audio[1].nStream = 1;
    EXPECT_EQ(GetAudioTrackStreams(*pDomain), (Streams{{0}, {1}}));
    // two PGCs mapping one track to different streams list both
    if (Titles(1).GetPgcCount() > 1)
    {
        Titles(1).GetPgc(0)->m_audio[1].nStream = 3;
        EXPECT_EQ(GetAudioTrackStreams(*pDomain), (Streams{{0}, {1, 3}}));
    }
    // a track no PGC uses lists no stream
    for (uint32_t i = 0; i < Titles(1).GetPgcCount(); ++i)
        Titles(1).GetPgc(i)->m_audio[1].bEnabled = 0;
    EXPECT_EQ(GetAudioTrackStreams(*pDomain), (Streams{{0}, {}}));
}

} // namespace
