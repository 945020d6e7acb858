// Bar button measuring and the tool bar's row layout over buttons of fixed
// sizes: every command button is W x 22 horizontally (22 x W vertically),
// separators 6 along the bar, the chevron 11.
#include "uitoolkit/core/ExtToolBarLayout.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using namespace kxtoolbar;

struct FakeButton
{
    char cKind = 'b'; // b button, s separator, c chevron
    int nLength = 23;
    bool bHidden = false;
    bool bWrap = false;
    bool bVisible = true;
    bool bVert = false;
    CSize sizeStored{0, 0};
    CRect rc;
};

// "b30 s b40 c": buttons with their lengths, separators, the chevron; "h"
// after a length hides the button.
class FakeBar : public CExtToolBarButtons
{
public:
    explicit FakeBar(const std::string& sSpec)
    {
        size_t i = 0;
        while (i < sSpec.size())
        {
            if (sSpec[i] == ' ')
            {
                ++i;
                continue;
            }
            FakeButton b;
            b.cKind = sSpec[i++];
            size_t nDigits = 0;
            while (i + nDigits < sSpec.size() && isdigit(static_cast<unsigned char>(sSpec[i + nDigits])))
                ++nDigits;
            if (nDigits > 0)
                b.nLength = std::stoi(sSpec.substr(i, nDigits));
            i += nDigits;
            if (i < sSpec.size() && sSpec[i] == 'h')
            {
                b.bHidden = true;
                ++i;
            }
            m_buttons.push_back(b);
        }
    }
    int GetCount() const override { return static_cast<int>(m_buttons.size()); }
    bool IsSeparator(int i) const override { return m_buttons[At(i)].cKind == 's'; }
    bool IsHidden(int i) const override { return m_buttons[At(i)].bHidden; }
    bool GetWrap(int i) const override { return m_buttons[At(i)].bWrap; }
    void SetWrap(int i, bool b) override { m_buttons[At(i)].bWrap = b; }
    CSize Measure(int i, bool bHorz) override
    {
        FakeButton& b = m_buttons[At(i)];
        const CSize pre(kDefaultButtonWidth, kDefaultButtonHeight);
        if (b.cKind == 'c')
            b.sizeStored = MeasureChevron(pre, bHorz);
        else if (b.cKind == 's')
            b.sizeStored = MeasureButtonFace(ButtonFace{true}, pre, bHorz);
        else
            b.sizeStored = bHorz ? CSize(b.nLength, 22) : CSize(22, b.nLength);
        return b.sizeStored;
    }
    CSize GetStoredSize(int i) const override { return m_buttons[At(i)].sizeStored; }
    void SetInVertBar(int i, bool b) override { m_buttons[At(i)].bVert = b; }
    void SetVisible(int i, bool b) override { m_buttons[At(i)].bVisible = b; }
    bool IsVisible(int i) const override { return m_buttons[At(i)].bVisible; }
    void SetRect(int i, const CRect& rc) override { m_buttons[At(i)].rc = rc; }
    CRect GetRect(int i) const override { return m_buttons[At(i)].rc; }

    // The visible buttons as "index:left,top-right,bottom".
    std::string Placement() const
    {
        std::string s;
        for (size_t i = 0; i < m_buttons.size(); ++i)
        {
            const FakeButton& b = m_buttons[i];
            if (!b.bVisible)
                continue;
            s += std::to_string(i) + ":" + std::to_string(b.rc.left) + "," + std::to_string(b.rc.top) + "-" +
                 std::to_string(b.rc.right) + "," + std::to_string(b.rc.bottom) + " ";
        }
        return s;
    }
    std::string Wraps() const
    {
        std::string s;
        for (size_t i = 0; i < m_buttons.size(); ++i)
            if (m_buttons[i].bWrap)
                s += std::to_string(i) + " ";
        return s;
    }

    std::vector<FakeButton> m_buttons;

private:
    static size_t At(int i) { return static_cast<size_t>(i); }
};

// A docked horizontal bar; the chevron when the last button is one.
BarGeometry GeoFor(const FakeBar& bar)
{
    BarGeometry geo;
    geo.bHasChevron = !bar.m_buttons.empty() && bar.m_buttons.back().cKind == 'c';
    return geo;
}

std::string Join(const std::vector<int>& v)
{
    std::string s;
    for (int i : v)
        s += std::to_string(i) + " ";
    return s;
}

TEST(ExtToolBarLayout, ButtonMeasuresAsATable)
{
    // a pre-calculated size smaller than every content
    const CSize pre(16, 16);
    const struct
    {
        const char* pszCase;
        ButtonFace face;
        CSize sizePreCalc;
        bool bHorz;
        CSize sizeExpected;
    } cases[] = {
        {"icon and text", {false, true, {16, 16}, false, {40, 13}, false}, pre, true, {68, 22}},
        {"vertical", {false, true, {16, 16}, false, {40, 13}, false}, pre, false, {22, 65}},
        {"drop-down", {false, true, {16, 16}, false, {40, 13}, true}, pre, true, {79, 22}},
        {"vertical drop-down", {false, true, {16, 16}, false, {40, 13}, true}, pre, false, {22, 76}},
        {"large icons", {false, true, {16, 16}, true, {40, 13}, false}, pre, true, {84, 38}},
        {"icon only", {false, true, {16, 16}, false, {0, 0}, false}, CSize(23, 22), true, {23, 22}},
        {"unregistered", {false, false, {16, 16}, false, {40, 13}, true}, CSize(23, 22), true, {23, 22}},
        {"separator", {true}, CSize(23, 22), true, {6, 22}},
        {"vertical separator", {true}, CSize(24, 22), false, {24, 6}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MeasureButtonFace(c.face, c.sizePreCalc, c.bHorz), c.sizeExpected) << c.pszCase;
    EXPECT_EQ(MeasureChevron(CSize(16, 22), true), CSize(11, 22));
    EXPECT_EQ(MeasureChevron(CSize(24, 16), false), CSize(24, 11));
}

TEST(ExtToolBarLayout, TextLosesMnemonicsAndAccelerators)
{
    EXPECT_EQ(StripMnemonics("Save && &Close"), CString("Save & Close"));
    EXPECT_EQ(StripMnemonics("&&&A&"), CString("&A"));
    EXPECT_EQ(CutAtTab("&Open\tCtrl+O"), CString("&Open"));
    EXPECT_EQ(CutAtTab("Plain"), CString("Plain"));
}

TEST(ExtToolBarLayout, SeparatorsNeverStartRowsAndTakeNoRoomThere)
{
    FakeBar bar("b30 b30 s b30 b30");
    BarGeometry geo;
    geo.bFloating = true;
    // 66 fits two buttons and the separator: the separator stays at the
    // row's end and the next button wraps
    EXPECT_EQ(WrapToolBar(bar, geo, 66, kUnlimited), 2);
    EXPECT_EQ(bar.Wraps(), "2 ");
    // a docked bar of height other than unlimited does not wrap
    geo.bFloating = false;
    EXPECT_EQ(WrapToolBar(bar, geo, 66, 100), 1);
    EXPECT_EQ(bar.Wraps(), "");
    // a vertical dock marks every button followed by a button
    EXPECT_EQ(WrapToolBar(bar, geo, 0, kUnlimited), 4);
    EXPECT_EQ(bar.Wraps(), "0 2 3 ");
    // a separator that starts a row is measured as nothing
    FakeBar lead("s b30 b30");
    geo.bFloating = true;
    EXPECT_EQ(WrapToolBar(lead, geo, 60, kUnlimited), 1);
}

TEST(ExtToolBarLayout, FloatingBarKeepsRowCountWithSmallestWidth)
{
    const struct
    {
        const char* pszSpec;
        int nLength;
        int nRows;
        std::string sWraps;
    } cases[] = {
        // 100 gives rows of 3 + 3: the smallest width with two rows is 90
        {"b30 b30 b30 b30 b30 b30", 100, 2, "2 "},
        {"b30 b30 b30 b30 b30 b30", 70, 3, "1 3 "},
        {"b30 b30 b30 b30 b30 b30", 500, 1, ""},
        // the separator fits at the end of the first row
        {"b30 b30 s b30 b30 b60", 100, 2, "3 "},
    };
    for (const auto& c : cases)
    {
        FakeBar bar(c.pszSpec);
        BarGeometry geo;
        geo.bFloating = true;
        SizeToolBar(bar, geo, c.nLength, false);
        EXPECT_EQ(bar.Wraps(), c.sWraps) << c.pszSpec << " " << c.nLength;
        FakeBar plain(c.pszSpec);
        EXPECT_EQ(WrapToolBar(plain, geo, c.nLength, kUnlimited), c.nRows) << c.pszSpec;
    }
    // two rows of 90 pixels: 90 + gap 3 + borders 2 + 1 wide, two rows of
    // 22 plus a gap of 6 + 1 high
    FakeBar bar("b30 b30 b30 b30 b30 b30");
    BarGeometry geo;
    geo.bFloating = true;
    SizeToolBar(bar, geo, 100, false);
    EXPECT_EQ(CalcSize(bar, geo, false), CSize(96, 51));
}

TEST(ExtToolBarLayout, FloatingVerticalSearchStopsAtTheLength)
{
    FakeBar bar("b30 b30 b30 b30");
    BarGeometry geo;
    geo.bFloating = true;
    // as low as one row of 22 + 1: the widening stops at one row
    SizeToolBar(bar, geo, 23, true);
    EXPECT_EQ(bar.Wraps(), "");
    // the narrowest width whose height fits 80: two rows of two (51 high)
    SizeToolBar(bar, geo, 80, true);
    EXPECT_EQ(bar.Wraps(), "1 ");
    SizeToolBar(bar, geo, kUnlimited, true);
    EXPECT_EQ(bar.Wraps(), "");
}

TEST(ExtToolBarLayout, SizesOfDockedAndVerticalBars)
{
    FakeBar bar("b30 s b40 c");
    BarGeometry geo = GeoFor(bar);
    SizeToolBar(bar, geo, kUnlimited, false);
    // 30 + 6 + 40 + chevron 11, gap / 2 and borders 1 + 1
    EXPECT_EQ(CalcSize(bar, geo, false), CSize(92, 22));
    SizeToolBar(bar, geo, 0, false);
    // one column: widest 23 + 1; 30 + 6 + 40 + 11 + gap 6
    EXPECT_EQ(CalcSize(bar, geo, true), CSize(24, 93));
    FakeBar empty("");
    EXPECT_EQ(CalcSize(empty, geo, false), CSize(23, 22));
}

TEST(ExtToolBarLayout, DockedBarDropsButtonsIntoTheChevron)
{
    // client 100 wide: the chevron takes 11, leaving 99 (border 1 each side
    // first): 1..88 for buttons
    FakeBar bar("b40 b40 b50 b20 b30 c");
    BarGeometry geo = GeoFor(bar);
    std::vector<int> hidden;
    ArrangeButtons(bar, geo, CRect(0, 0, 100, 26), hidden);
    // every button from the third on passes the end; the chevron spans
    // the bar's thickness at its far end
    EXPECT_EQ(Join(hidden), "2 3 4 ");
    EXPECT_EQ(bar.Placement(), "0:1,2-41,24 1:41,2-81,24 5:88,0-99,26 ");

    // a later, smaller button still appears

    FakeBar smaller("b40 b30 b50 b10 c");
    ArrangeButtons(smaller, geo, CRect(0, 0, 100, 26), hidden);
    EXPECT_EQ(Join(hidden), "2 ");
    EXPECT_EQ(smaller.Placement(), "0:1,2-41,24 1:41,2-71,24 3:71,2-81,24 4:88,0-99,26 ");
}

TEST(ExtToolBarLayout, ChevronListGetsTheSeparatorBetweenHiddenButtons)
{
    FakeBar bar("b40 b40 b30 s b30 s b30 c");
    BarGeometry geo = GeoFor(bar);
    std::vector<int> hidden;
    // buttons end at 88: 0 and 1 fit, 2 drops, the separator 3 fits, 4
    // drops, the separator 5 and the button 6 drop; the separators between
    // the hidden buttons join the list
    ArrangeButtons(bar, geo, CRect(0, 0, 100, 22), hidden);
    EXPECT_EQ(Join(hidden), "2 3 4 5 6 ");
    // a trailing separator of what is left is hidden
    EXPECT_FALSE(bar.m_buttons[3].bVisible);

    FakeBar wide("b40 b40 b30 s s b10 b60 c");
    ArrangeButtons(wide, geo, CRect(0, 0, 110, 22), hidden);
    // 2 and 6 hidden and not neighbours; the first separator between them
    EXPECT_EQ(Join(hidden), "2 3 6 ");
}

TEST(ExtToolBarLayout, LeadingSeparatorsAreDroppedAndTheRestClosesUp)
{
    FakeBar bar("s b20 s s b20 b20h s b20h b20");
    BarGeometry geo;
    geo.bFloating = true;
    std::vector<int> hidden;
    WrapToolBar(bar, geo, kUnlimited, kUnlimited);
    ArrangeButtons(bar, geo, CRect(0, 0, 200, 24), hidden);
    // index 0 leads, 3 follows a separator, 6 comes before a hidden button
    EXPECT_EQ(bar.Placement(), "1:1,1-21,23 2:21,0-27,24 4:27,1-47,23 8:47,1-67,23 ");

    // a docked bar that dropped buttons hides the leading separators of
    // what is left and closes up
    FakeBar docked("b20h s b20 b90 c");
    geo = GeoFor(docked);
    ArrangeButtons(docked, geo, CRect(0, 0, 60, 22), hidden);
    EXPECT_EQ(Join(hidden), "3 ");
    EXPECT_EQ(docked.Placement(), "2:1,0-21,22 4:48,0-59,22 ");
}

TEST(ExtToolBarLayout, FloatingRowsAreCentredAndSeparatorsSpanThem)
{
    FakeBar bar("b20 s b20 b20 b20");
    // the second button is taller
    bar.m_buttons[2].nLength = 20;
    BarGeometry geo;
    geo.bFloating = true;
    std::vector<int> hidden;
    SizeToolBar(bar, geo, 50, false);
    EXPECT_EQ(bar.Wraps(), "2 ");
    ArrangeButtons(bar, geo, CRect(0, 0, 60, 60), hidden);
    // rows at 0 and 22 + 6, everything one pixel down; the separator spans
    // its row plus one pixel each way
    EXPECT_EQ(bar.Placement(), "0:1,1-21,23 1:21,0-27,24 2:27,1-47,23 3:1,29-21,51 4:21,29-41,51 ");
}

TEST(ExtToolBarLayout, VerticalDockedBarIsOneCentredColumn)
{
    FakeBar bar("b30 s b40 c");
    BarGeometry geo = GeoFor(bar);
    geo.bHorz = false;
    std::vector<int> hidden;
    WrapToolBar(bar, geo, 0, kUnlimited);
    ArrangeButtons(bar, geo, CRect(0, 0, 26, 200), hidden);
    // buttons 22 wide centred in 26; the separator spans the border to 26 + 1
    EXPECT_EQ(bar.Placement(), "0:2,0-24,30 1:1,30-27,36 2:2,36-24,76 3:1,189-25,200 ");
    EXPECT_TRUE(bar.m_buttons[0].bVert);
}

TEST(ExtToolBarLayout, ThemeOffsetMovesDockedButtons)
{
    FakeBar bar("b30 c");
    BarGeometry geo = GeoFor(bar);
    geo.sizeButtonsOffset = CSize(0, -1);
    geo.nChevronSpacing = 4;
    std::vector<int> hidden;
    ArrangeButtons(bar, geo, CRect(0, 0, 45, 22), hidden);
    // 45 - 2 borders - 11 chevron - 4 spacing = 28 < 30: the button drops
    EXPECT_EQ(Join(hidden), "0 ");
    EXPECT_EQ(bar.Placement(), "1:33,-1-44,21 ");
}

TEST(ExtToolBarLayout, RightToLeftRowsHugTheFarEnd)
{
    class RtlBar : public FakeBar
    {
    public:
        using FakeBar::FakeBar;
        bool IsMdiDocButton(int i) const override { return i == 0; }
    };
    RtlBar bar("b20 b30 b30");
    BarGeometry geo;
    geo.bRightToLeft = true;
    std::vector<int> hidden;
    ArrangeButtons(bar, geo, CRect(0, 0, 202, 22), hidden);
    // 200 wide inside the borders; the row is 60 and the document button
    // reserves 20: the row moves right by 120
    EXPECT_EQ(bar.Placement(), "0:1,0-21,22 1:141,0-171,22 2:171,0-201,22 ");
}

TEST(ExtToolBarLayout, MultiRowBarWrapsIntoRowsAndKeepsTheChevronAtTheEnd)
{
    FakeBar bar("b40 b40 b40 s b40 c");
    BarGeometry geo = GeoFor(bar);
    geo.bMultiRow = true;
    geo.nRowGap = 0;
    SizeToolBar(bar, geo, 100, false);
    EXPECT_EQ(bar.Wraps(), "1 ");
    bool bWrapped = false;
    // the chevron counts along the bar; the wrap is reported
    EXPECT_EQ(CalcSize(bar, geo, false, &bWrapped), CSize(40 + 6 + 40 + 11 + 2, 44));
    EXPECT_TRUE(bWrapped);
    std::vector<int> hidden;
    ArrangeButtons(bar, geo, CRect(0, 0, 120, 46), hidden);
    // rows move 1 down; the separator spans its row plus 1 each way;
    // nothing goes into the chevron
    EXPECT_EQ(bar.Placement(), "0:1,1-41,23 1:41,1-81,23 2:1,23-41,45 3:41,22-47,46 4:47,23-87,45 5:108,0-119,46 ");
    EXPECT_EQ(Join(hidden), "");
    // one row: no wrap reported
    SizeToolBar(bar, geo, 500, false);
    CalcSize(bar, geo, false, &bWrapped);
    EXPECT_FALSE(bWrapped);
}

TEST(ExtToolBarLayout, MultiRowVerticalBarFillsColumnsFromTheRight)
{
    FakeBar bar("b30 b30 s b30 c");
    BarGeometry geo = GeoFor(bar);
    geo.bHorz = false;
    geo.bMultiRow = true;
    geo.nRowGap = 0;
    // 37 pixels under the chevron: one button per column; the separator at
    // a column's top counts nothing
    EXPECT_EQ(WrapToolBarVert(bar, geo, 48), 3);
    EXPECT_EQ(bar.Wraps(), "0 2 ");
    // the tallest columns within 70: a column of 48 - 11 holds one button
    SizeToolBar(bar, geo, 70, true);
    EXPECT_EQ(bar.Wraps(), "0 2 ");
    EXPECT_EQ(CalcSize(bar, geo, true), CSize(69, 30 + 11));
    std::vector<int> hidden;
    ArrangeButtons(bar, geo, CRect(0, 0, 80, 70), hidden);
    // the separator that ends the second column keeps its place below it
    EXPECT_EQ(bar.Placement(), "0:56,0-78,30 1:33,0-55,30 2:32,30-55,36 3:10,0-32,30 4:1,59-79,70 ");
    EXPECT_TRUE(bar.m_buttons[0].bVert);
}

TEST(ExtToolBarLayout, PanelKeepsItsBreaksAndLaysOutRowsInEveryPlacement)
{
    for (const bool bHorz : {true, false})
    {
        FakeBar bar("b30 b30 b30");
        bar.m_buttons[1].bWrap = true;
        BarGeometry geo;
        geo.bPanel = true;
        geo.bHorz = bHorz;
        EXPECT_EQ(WrapToolBar(bar, geo, 100, kUnlimited), 2);
        EXPECT_EQ(WrapToolBarVert(bar, geo, 10), 2);
        EXPECT_EQ(bar.Wraps(), "1 ");
        // rows 6 apart, moved 2 across the bar
        std::vector<int> hidden;
        ArrangeButtons(bar, geo, CRect(0, 0, 100, 60), hidden);
        EXPECT_EQ(bar.Placement(),
                  bHorz ? "0:1,2-31,24 1:31,2-61,24 2:1,30-31,52 " : "0:3,0-33,22 1:33,0-63,22 2:3,28-33,50 ")
            << bHorz;
        EXPECT_FALSE(bar.m_buttons[0].bVert);
        EXPECT_EQ(CalcSize(bar, geo, !bHorz), bHorz ? CSize(60 + 3 + 2, 50) : CSize(61, 50 + 6)) << bHorz;
    }
}

} // namespace
