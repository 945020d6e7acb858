// Caption buttons line up from the caption's far end, 3 pixels apart.
#include "uitoolkit/core/ExtNcButtonGeometry.h"

#include <gtest/gtest.h>

namespace
{

struct PlacementCase
{
    const char* pszName;
    CRect rcCaption;
    bool bHorz;
    CRect rcWanted[3];
};

const PlacementCase kCases[] = {
    // a horizontal caption 17 pixels high: 11-pixel squares whose right
    // edges lie 3, 17 and 31 pixels left of the caption's right edge
    {"top caption",
     CRect(0, 0, 200, 17),
     true,
     {CRect(186, 3, 197, 14), CRect(172, 3, 183, 14), CRect(158, 3, 169, 14)}},
    {"top caption away from the origin",
     CRect(10, 20, 110, 37),
     true,
     {CRect(96, 23, 107, 34), CRect(82, 23, 93, 34), CRect(68, 23, 79, 34)}},
    // a side caption 17 pixels wide: stacked downwards without overlap
    {"side caption", CRect(0, 0, 17, 150), false, {CRect(3, 3, 14, 14), CRect(3, 17, 14, 28), CRect(3, 31, 14, 42)}},
};

TEST(ExtNcButtonGeometryTest, ButtonsLineUpThreePixelsApartFromTheCaptionEnd)
{
    for (const PlacementCase& c : kCases)
    {
        SCOPED_TRACE(c.pszName);
        const CRect* pPrev = nullptr;
        CRect rcPlaced[3];
        for (int i = 0; i < 3; ++i)
        {
            rcPlaced[i] = kxdock::PlaceCaptionButton(c.rcCaption, c.bHorz, pPrev);
            EXPECT_EQ(rcPlaced[i], c.rcWanted[i]) << "button " << i;
            pPrev = &rcPlaced[i];
        }
    }
}

} // namespace
