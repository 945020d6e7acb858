// The bar registry's order and the frame-bar query's filter over plain bar
// descriptions.
#include "uitoolkit/core/ExtBarFilter.h"

#include <gtest/gtest.h>

namespace
{

using kxbars::BarFacts;

struct FakeBar
{
    int nId;
};

TEST(ExtBarRegistry, KeepsConstructionOrderAndClosesGaps)
{
    CArray<FakeBar*, FakeBar*> arrBars;
    CCriticalSection cs;
    FakeBar a{1}, b{2}, c{3};
    for (FakeBar* p : {&a, &b, &c})
        kxbars::RegistryAdd(arrBars, cs, p);
    ASSERT_EQ(arrBars.GetSize(), 3);
    EXPECT_EQ(arrBars[0], &a);
    EXPECT_EQ(arrBars[1], &b);
    EXPECT_EQ(arrBars[2], &c);

    kxbars::RegistryRemove(arrBars, cs, &b);
    ASSERT_EQ(arrBars.GetSize(), 2);
    EXPECT_EQ(arrBars[0], &a);
    EXPECT_EQ(arrBars[1], &c);
    EXPECT_FALSE(kxbars::RegistryContains(arrBars, cs, &b));

    CArray<FakeBar*, FakeBar*> arrCopy;
    kxbars::RegistrySnapshot(arrBars, cs, arrCopy);
    kxbars::RegistryRemove(arrBars, cs, &a);
    ASSERT_EQ(arrCopy.GetSize(), 2);
    EXPECT_EQ(arrCopy[0], &a);
    EXPECT_FALSE(kxbars::RegistryContains(arrBars, cs, &a));
    EXPECT_TRUE(kxbars::RegistryContains(arrBars, cs, &c));
}

BarFacts Docked(unsigned nSide, bool bFixed = false)
{
    BarFacts f;
    f.bFixed = bFixed;
    f.bBarVisible = f.bWndVisible = true;
    f.nDockBarId = nSide;
    return f;
}

BarFacts Floating(bool bHasPoint)
{
    BarFacts f;
    f.bBarVisible = f.bWndVisible = true;
    f.bFloating = true;
    f.bWindowHasPoint = bHasPoint;
    return f;
}

BarFacts Hidden(BarFacts f)
{
    f.bBarVisible = f.bWndVisible = false;
    return f;
}

BarFacts Minimal(BarFacts f)
{
    f.bMinimalInRow = true;
    return f;
}

BarFacts WithHit(BarFacts f, int nHitCode, bool bClient = false, bool bCaption = false)
{
    f.bWindowHasPoint = true;
    f.nHitCode = nHitCode;
    f.bClientHasPoint = bClient;
    f.bCaptionHasPoint = bCaption;
    return f;
}

struct FilterCase
{
    const char* name;
    BarFacts facts;
    uint32_t nFilter;
    bool bKept;
};

TEST(ExtBarFilter, Table)
{
    const FilterCase cases[] = {
        {"all visible: docked top", Docked(59419), 0x5FF, true},
        {"all visible: docked right, fixed", Docked(59421, true), 0x5FF, true},
        {"all visible: floating", Floating(false), 0x5FF, true},
        {"all visible: minimal in row", Minimal(Docked(59420)), 0x5FF, true},
        {"all visible: nested dock bar", Docked(0xE900), 0x5FF, true},
        {"all visible: hidden bar", Hidden(Docked(59419)), 0x5FF, false},
        {"everything takes hidden bars too", Hidden(Docked(59422)), 0xFFF, true},
        {"fixed only, resizable bar", Docked(59419), 0x5F9, false},
        {"no kind bit: nothing", Docked(59419, true), 0x5F8, false},
        {"no visibility bit: nothing", Docked(59419), 0x4FF, false},
        {"no window bit: nothing", Docked(59419), 0x1FF, false},
        {"fixed not wanted", Docked(59419, true), 0x5FE, false},
        {"only minimal resizable", Docked(59419), 0x5FB, false},
        {"only minimal resizable, minimal bar", Minimal(Docked(59419)), 0x5FB, true},
        {"top only, bottom bar", Docked(59422), 0x58F, false},
        {"top only, top bar", Docked(59419), 0x58F, true},
        {"no edge bit: docked never", Docked(59419), 0x587, false},
        {"no edge bit: other dock bar never", Docked(0xE900), 0x587, false},
        {"floating not wanted", Floating(false), 0x57F, false},
        {"hidden wanted", Hidden(Docked(59419)), 0xAFF, true},
        {"floating under the point", Floating(true), 0x8584, true},
        {"floating away from the point", Floating(false), 0x8584, false},
        {"docked under the point", WithHit(Docked(59419), 1), 0x8584, false},
        {"fixed floating under the point",
         []
         {
             BarFacts f = Floating(true);
             f.bFixed = true;
             return f;
         }(),
         0x8584, false},
        {"hit left", WithHit(Docked(59419), 10), 0x405FF, true},
        {"hit right asked, left found", WithHit(Docked(59419), 10), 0x805FF, false},
        {"hit client", WithHit(Docked(59419), 1), 0x800005FFu, true},
        {"hit nowhere", WithHit(Docked(59419), 0), 0x40005FF, true},
        {"client point wanted, caption point found", WithHit(Docked(59419), 2, false, true), 0x105FF, false},
        {"caption point wanted", WithHit(Docked(59419), 2, false, true), 0x205FF, true},
        {"point outside the window", Docked(59419), 0x105FF, false},
    };
    for (const FilterCase& c : cases)
        EXPECT_EQ(kxbars::FilterKeeps(c.facts, c.nFilter), c.bKept) << c.name;
}

TEST(ExtBarFilter, WalkControl)
{
    EXPECT_TRUE(kxbars::FilterEndsAtFirst(0x8584));
    EXPECT_FALSE(kxbars::FilterEndsAtFirst(0x5FF));
    EXPECT_FALSE(kxbars::FilterNeedsHitCode(0x8584));
    EXPECT_TRUE(kxbars::FilterNeedsHitCode(0x405FF));
    EXPECT_FALSE(kxbars::FilterNeedsHitCode(0x105FF));
    EXPECT_FALSE(kxbars::FilterCollectsAnything(0x8F8));
    EXPECT_EQ(kxbars::HitCodeMask(), 0xF7FC0000u);
}

} // namespace
