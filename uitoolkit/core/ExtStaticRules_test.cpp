#include "uitoolkit/core/ExtStaticRules.h"

#include <gtest/gtest.h>

namespace
{

using Rules = CExtStaticRules;

TEST(ExtStaticRules, GroupCaptionPlacement)
{
    const CRect rcClient(0, 0, 200, 100);
    const CRect rcArea = Rules::GroupCaptionArea(rcClient);
    EXPECT_EQ(CRect(9, 0, 191, 100), rcArea);
    const CSize sizeText(50, 13);
    EXPECT_EQ(CRect(9, 0, 59, 13), Rules::PlaceGroupCaption(rcArea, 0, sizeText));
    EXPECT_EQ(CRect(141, 0, 191, 13), Rules::PlaceGroupCaption(rcArea, 1, sizeText));
    EXPECT_EQ(CRect(75, 0, 125, 13), Rules::PlaceGroupCaption(rcArea, 2, sizeText));
}

TEST(ExtStaticRules, GroupFrameTop)
{
    const CRect rcClient(0, 10, 200, 100);
    EXPECT_EQ(16, Rules::GroupFrameTop(rcClient, false, CRect()));
    EXPECT_EQ(16, Rules::GroupFrameTop(rcClient, true, CRect(9, 10, 60, 23)));
    // a caption drawn elsewhere (in a header bar) leaves the frame at the top
    EXPECT_EQ(10, Rules::GroupFrameTop(rcClient, true, CRect(9, 10, 9, 10)));
}

TEST(ExtStaticRules, LabelKinds)
{
    for (int nKind = 0; nKind < 19; ++nKind)
    {
        const bool bPlatform = (nKind >= 4 && nKind <= 10) || nKind >= 13;
        EXPECT_EQ(bPlatform, Rules::IsPlatformPaintedLabelKind(nKind)) << nKind;
    }
}

TEST(ExtStaticRules, LabelTextFlags)
{
    struct Case
    {
        int kind;
        bool centerImage;
        const char* text;
        UINT flags;
    };
    const UINT tail = Rules::TextVCenter | Rules::TextEndEllipsis;
    const Case cases[] = {
        {Rules::KindLeft, false, "a", Rules::TextWordBreak | tail},
        {Rules::KindCenter, false, "a", Rules::TextCenter | Rules::TextWordBreak | tail},
        {Rules::KindRight, false, "a", Rules::TextRight | Rules::TextWordBreak | tail},
        {Rules::KindSimple, false, "a", Rules::TextWordBreak | tail},
        {Rules::KindLeftNoWordWrap, false, "a\tb", Rules::TextExpandTabs | tail},
        {Rules::KindLeft, true, "one line", Rules::TextWordBreak | Rules::TextSingleLine | tail},
        {Rules::KindLeft, true, "two\r\nlines", Rules::TextWordBreak | tail},
        {Rules::KindCenter, true, "two\nlines", Rules::TextCenter | Rules::TextWordBreak | tail},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.flags, Rules::LabelTextFlags(c.kind, c.centerImage, c.text)) << c.kind << " " << c.text;
}

} // namespace
