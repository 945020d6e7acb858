// Where a control bar's caption buttons sit in its caption, kept apart from
// windows so that it runs natively.
#pragma once

#include "framework/core/AfxGeometry.h"

namespace kxdock
{

// The square of a caption button: across the top (bHorz) the buttons run
// from the right end leftwards, down a side caption from the top downwards,
// 3 pixels apart. pPrevVisible is the button placed before, null for the first.
CRect PlaceCaptionButton(const CRect& rcCaption, bool bHorz, const CRect* pPrevVisible);

} // namespace kxdock
