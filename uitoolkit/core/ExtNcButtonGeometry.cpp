#include "uitoolkit/core/ExtNcButtonGeometry.h"

namespace kxdock
{

namespace
{
const int kButtonGap = 3;
}

CRect PlaceCaptionButton(const CRect& rcCaption, bool bHorz, const CRect* pPrevVisible)
{
    CRect rc = rcCaption;
    if (bHorz)
    {
        rc.DeflateRect(2, 3, 2, 3);
        rc.left = rc.right - rc.Height();
        rc.OffsetRect(-1, 0);
        if (pPrevVisible != nullptr)
            rc.OffsetRect(pPrevVisible->left - kButtonGap - rc.right, 0);
    }
    else
    {
        rc.DeflateRect(3, 2, 3, 2);
        rc.bottom = rc.top + rc.Width();
        rc.OffsetRect(0, 1);
        if (pPrevVisible != nullptr)
            rc.OffsetRect(0, pPrevVisible->bottom + kButtonGap - rc.top);
    }
    return rc;
}

} // namespace kxdock
