#include "uitoolkit/core/ExtSliderLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using namespace kxtoolbar;

struct Layout
{
    CRect parts[SliderPartCount];
    Layout(const SliderState& state, const CRect& rc, bool bHorz) { CalcSliderParts(state, rc, bHorz, parts); }
    int Length(int nPart, bool bHorz) const { return bHorz ? parts[nPart].Width() : parts[nPart].Height(); }
};

TEST(ExtSliderLayout, MeasuresFromIconTextAndExtent)
{
    struct Case
    {
        CSize icon, text;
        bool bHorz, bRegistered;
        CSize expected;
    };
    const Case cases[] = {
        {{16, 16}, {0, 0}, true, true, {72, 22}}, // 16 + 50 + 6, max(16, 15) + 6
        {{0, 0}, {0, 0}, true, true, {50, 19}},   // 50, 15 + 4
        {{0, 0}, {0, 0}, false, true, {20, 50}},  // 16 + 4, 50
        {{16, 16}, {30, 13}, true, true, {16 + 30 + 6 + 50 + 6, 16 + 6}},
        {{16, 16}, {30, 13}, false, true, {16 + 6, 16 + 30 + 3 + 50 + 6}},
        {{16, 16}, {0, 0}, false, true, {16 + 6, 16 + 50 + 6}},
        {{16, 16}, {0, 0}, true, false, {23, 22}}, // unregistered: the pre-calculated size
    };
    for (const Case& c : cases)
    {
        ButtonFace face;
        face.sizeIcon = c.icon;
        face.sizeText = c.text;
        face.bRegistered = c.bRegistered;
        EXPECT_EQ(MeasureSliderFace(face, SliderState(), CSize(23, 22), c.bHorz), c.expected)
            << c.icon.cx << " " << c.text.cx << " " << c.bHorz;
    }
    // the pre-calculated size is no minimum
    ButtonFace face;
    face.sizeIcon = CSize(16, 16);
    face.bLargeIcons = true;
    EXPECT_EQ(MeasureSliderFace(face, SliderState(), CSize(23, 22), true), CSize(32 + 50 + 6, 32 + 6));
    face = ButtonFace();
    EXPECT_EQ(MeasureSliderFace(face, SliderState(), CSize(200, 40), true), CSize(50, 19));
}

TEST(ExtSliderLayout, SliderModeThumbIsSixPixelsAndMovesWithThePosition)
{
    SliderState state;
    state.nTotalRange = 11;
    state.nPos = 5;
    const Layout layout(state, CRect(10, 0, 82, 22), true); // label 22, slider 50
    EXPECT_EQ(layout.parts[SliderPartLabel], CRect(10, 0, 32, 22));
    EXPECT_EQ(layout.parts[SliderPartSlider], CRect(32, 0, 82, 22));
    EXPECT_EQ(layout.parts[SliderPartTrack], layout.parts[SliderPartSlider]);
    EXPECT_TRUE(layout.parts[SliderPartArrowBackward].IsRectEmpty());
    EXPECT_TRUE(layout.parts[SliderPartArrowForward].IsRectEmpty());
    EXPECT_EQ(GetSliderScrollableRange(state, true), 11u);
    // MulDiv(44, 5, 11) = 20
    EXPECT_EQ(layout.parts[SliderPartThumb], CRect(52, 0, 58, 22));
    EXPECT_EQ(layout.parts[SliderPartPageBackward], CRect(32, 0, 52, 22));
    EXPECT_EQ(layout.parts[SliderPartPageForward], CRect(58, 0, 82, 22));

    // at either end one page area is empty
    state.nPos = 0;
    EXPECT_TRUE(Layout(state, CRect(10, 0, 82, 22), true).parts[SliderPartPageBackward].IsRectEmpty());
    state.nPos = 11;
    const Layout atEnd(state, CRect(10, 0, 82, 22), true);
    EXPECT_TRUE(atEnd.parts[SliderPartPageForward].IsRectEmpty());
    EXPECT_EQ(atEnd.parts[SliderPartThumb], CRect(76, 0, 82, 22));
}

TEST(ExtSliderLayout, ScrollBarModeThumbIsThePagesShare)
{
    SliderState state;
    state.nTotalRange = 100;
    state.nPageSize = 10;
    state.nScrollButtonExtentVert = 12;
    for (bool bHorz : {true, false})
    {
        SliderState s = state;
        s.nScrollButtonExtentHorz = bHorz ? 12 : 0;
        const CRect rc = bHorz ? CRect(0, 0, 70, 22) : CRect(0, 0, 22, 70);
        const Layout layout(s, rc, bHorz);
        EXPECT_EQ(layout.Length(SliderPartTrack, bHorz), 26) << bHorz;
        EXPECT_EQ(layout.Length(SliderPartArrowBackward, bHorz), 12) << bHorz;
        EXPECT_EQ(layout.Length(SliderPartArrowForward, bHorz), 12) << bHorz;
        // MulDiv(26, 10, 100) = 3, raised to 4
        EXPECT_EQ(layout.Length(SliderPartThumb, bHorz), 4) << bHorz;
        EXPECT_EQ(GetSliderScrollableRange(s, bHorz), 90u) << bHorz;
        const CPoint ptBack = layout.parts[SliderPartArrowBackward].TopLeft();
        EXPECT_EQ(ptBack, bHorz ? CPoint(20, 0) : CPoint(0, 20)) << bHorz;
    }
}

TEST(ExtSliderLayout, RangesThumbsAndPresses)
{
    struct Case
    {
        UINT nTotal, nPage;
        int nButtons, nWidth; // arrow buttons, slider extent
        UINT nRange;
        int nThumb; // 0: none
    };
    const Case cases[] = {
        {0, 0, 0, 50, 0, 0},                              // a new slider: no thumb
        {10, 10, 12, 50, 0, 0},                           // the page covers everything
        {10, 20, 0, 50, 0, 0},      {11, 0, 0, 5, 11, 0}, // a 5-pixel track
        {11, 0, 0, 6, 11, 6},                             // a 6-pixel track still shows the thumb
        {11, 0, 12, 29, 11, 0},                           // arrows leave 5 pixels
        {11, 0, 12, 100, 11, 12},   {1000, 20, 12, 100, 980, 4},
        {1000, 1, 12, 100, 999, 0}, // a page too small for a pixel
    };
    for (const Case& c : cases)
    {
        SliderState state;
        state.nTotalRange = c.nTotal;
        state.nPageSize = c.nPage;
        state.nScrollButtonExtentHorz = c.nButtons;
        state.nExtentHorz = c.nWidth;
        const Layout layout(state, CRect(0, 0, 22 + c.nWidth, 22), true);
        EXPECT_EQ(GetSliderScrollableRange(state, true), c.nRange) << c.nTotal << " " << c.nWidth;
        EXPECT_EQ(layout.parts[SliderPartThumb].Width(), c.nThumb) << c.nTotal << " " << c.nWidth;
        // without a thumb the track takes no press
        if (c.nThumb == 0)
            EXPECT_EQ(HitTestSliderPress(layout.parts, layout.parts[SliderPartTrack].CenterPoint()), -1);
    }
}

TEST(ExtSliderLayout, PressesStepsAndThumbDrags)
{
    SliderState state;
    state.nTotalRange = 100;
    state.nPageSize = 10;
    state.nScrollButtonExtentHorz = 12;
    state.nPos = 45;
    const Layout layout(state, CRect(0, 0, 70, 22), true);
    EXPECT_EQ(HitTestSliderPress(layout.parts, CPoint(25, 5)), SliderPartArrowBackward);
    EXPECT_EQ(HitTestSliderPress(layout.parts, CPoint(69, 5)), SliderPartArrowForward);
    EXPECT_EQ(HitTestSliderPress(layout.parts, layout.parts[SliderPartThumb].CenterPoint()), SliderPartThumb);
    EXPECT_EQ(HitTestSliderPress(layout.parts, CPoint(33, 5)), SliderPartPageBackward);
    EXPECT_EQ(HitTestSliderPress(layout.parts, CPoint(56, 5)), SliderPartPageForward);
    EXPECT_EQ(HitTestSliderPress(layout.parts, CPoint(5, 5)), -1); // the label

    EXPECT_EQ(GetSliderStep(state, SliderPartPageForward, 90), 10u);
    EXPECT_EQ(GetSliderStep(state, SliderPartArrowBackward, 90), 1u);
    EXPECT_EQ(GetSliderStep(state, SliderPartThumb, 90), 0u);
    EXPECT_EQ(GetSliderStep(SliderState(), SliderPartPageBackward, 90), 1u); // no page size: 1
    EXPECT_EQ(GetSliderStep(state, SliderPartPageBackward, 4), 4u);          // within the range
    EXPECT_TRUE(IsSliderStepForward(SliderPartArrowForward));
    EXPECT_FALSE(IsSliderStepForward(SliderPartPageBackward));

    // holding the forward arrow steps until the range ends
    UINT nPos = 85;
    std::vector<UINT> steps;
    for (int i = 0; i < 8; ++i)
        steps.push_back(nPos = StepSliderPosition(nPos, 1, true, 90));
    EXPECT_EQ(steps, (std::vector<UINT>{86, 87, 88, 89, 90, 90, 90, 90}));
    EXPECT_EQ(StepSliderPosition(3, 10, false, 90), 0u);
    EXPECT_EQ(StepSliderPosition(85, 10, true, 90), 90u);

    struct Drag
    {
        UINT nPressPos;
        int nOffset;
        bool bChanged;
        UINT nNewPos;
    };
    const Drag drags[] = {
        {45, 11, true, 90},   // MulDiv(90, 11, 22) = 45
        {45, -11, true, 0},   //
        {45, 100, true, 90},  // held to the free length
        {45, -2, true, 37},   // MulDiv(90, 2, 22) = 8
        {90, 5, false, 0},    // at the forward end forward changes nothing
        {90, -11, true, 45},  // and follows back
        {120, -22, true, 30}, // a position past the range
    };
    for (const Drag& d : drags)
    {
        UINT nNew = 0;
        EXPECT_EQ(DragSliderThumb(d.nPressPos, d.nOffset, 22, 90, nNew), d.bChanged) << d.nPressPos << " " << d.nOffset;
        if (d.bChanged)
            EXPECT_EQ(nNew, d.nNewPos) << d.nPressPos << " " << d.nOffset;
    }
    UINT nNew = 7;
    EXPECT_FALSE(DragSliderThumb(45, 3, 0, 90, nNew));
}

TEST(ExtSliderLayout, TotalRangeLowersThePositionFirst)
{
    SliderState state;
    state.nTotalRange = 20;
    state.nPos = 9;
    EXPECT_EQ(state.SetTotalRange(5), 20u);
    EXPECT_EQ(state.nPos, 5u);
    EXPECT_EQ(state.nTotalRange, 5u);
    EXPECT_EQ(state.SetTotalRange(50), 5u);
    EXPECT_EQ(state.nPos, 5u);
}

} // namespace
