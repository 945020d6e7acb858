// The tab strip of an MDI frame: the MDI tab layer over the tab window, kept
// out of sight while the frame shows a print preview.
#pragma once

#include "uitoolkit/bars/ExtTabWnd.h"
#include "uitoolkit/controls/ExtMdiTabLayer.h"

class CExtTabMdiWnd : public CExtTMWI<CExtTabWnd>
{
    DECLARE_DYNAMIC(CExtTabMdiWnd)
public:
    CExtTabMdiWnd() = default;
    bool IsMdiTabWnd() const override { return true; }
    void SyncVisibility() override;
};
