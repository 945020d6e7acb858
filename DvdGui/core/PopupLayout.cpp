#include "DvdGui/core/PopupLayout.h"

#include <algorithm>

namespace
{

const int kDefaultWidth = 540;
const int kDefaultHeight = 400;
// Space above and below the buttons in their row.
const int kRowPadding = 12;
const int kButtonTopGap = 8;

} // namespace

CPopupPlacement DefaultPopupPlacement(int nScreenWidth, int nScreenHeight)
{
    CPopupPlacement placement;
    placement.x = (nScreenWidth - kDefaultWidth) / 2;
    placement.y = (nScreenHeight - kDefaultHeight) / 2;
    placement.w = kDefaultWidth;
    placement.h = kDefaultHeight;
    return placement;
}

CPopupPlacement FitPopupOnScreen(const CPopupPlacement& stored, int nScreenWidth, int nScreenHeight)
{
    CPopupPlacement placement = stored;
    placement.w = std::min(placement.w, nScreenWidth);
    placement.h = std::min(placement.h, nScreenHeight);
    placement.x = std::max(0, std::min(placement.x, nScreenWidth - placement.w));
    placement.y = std::max(0, std::min(placement.y, nScreenHeight - placement.h));
    return placement;
}

CPopupButtonRow LayoutPopupButtons(int cx, int cy, int nButtonWidth, int nButtonHeight)
{
    CPopupButtonRow row;
    row.nContentHeight = cy - (nButtonHeight + kRowPadding);
    row.nButtonTop = row.nContentHeight + kButtonTopGap;
    row.xCancel = cx - nButtonWidth / 2 - nButtonWidth;
    row.xConfirm = row.xCancel - nButtonWidth - nButtonHeight / 2;
    return row;
}

int GetPopupMinTrackWidth(int nButtonWidth, int nButtonHeight)
{
    return 2 * (nButtonWidth + nButtonWidth / 2) + nButtonHeight / 2;
}

int FitStripHeight(int nStored, int nAreaHeight, int nMinHeight)
{
    return std::max(0, std::min(nStored, nAreaHeight - nMinHeight));
}
