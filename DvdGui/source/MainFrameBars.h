// The main window's own kinds of the toolkit's bars: the main tool bar,
// which has no chevron button, and the tab strip of the open projects,
// which the user may hide and which shows only once two projects are open.
#pragma once

#include "uitoolkit/bars/ExtTabMdiWnd.h"
#include "uitoolkit/bars/ExtToolControlBar.h"

class CMainFrameToolBar : public CExtToolControlBar
{
public:
    CExtBarContentExpandButton* CreateChevronButton() override { return nullptr; }
};

class CMyExtTabMdiWnd : public CExtTabMdiWnd
{
public:
    // The user's choice to see the strip at all ("MF_PTV").
    bool IsVisibleFlag() const { return (m_nMdiFlags & 0x01) != 0; }
    void SetVisibleFlag(bool bVisible);

    // Shown while it holds more than one tab and the user wants it; its
    // place, size and Z order stay.
    void SyncVisibility() override;
};
