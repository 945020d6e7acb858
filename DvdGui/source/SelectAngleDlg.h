// "Select angle": which angle "Strip angles ..." keeps. A tab per angle,
// a read-only strip of the multi-angle blocks and a preview of the chosen
// block at the chosen angle; "Keep this" confirms the selected tab.
#pragma once

#include "DVD/source/VTS.h"
#include "DvdGui/source/AngleBlockListView.h"
#include "DvdGui/source/ButtonRowPopup.h"
#include "DvdGui/source/CellPreviewWnd.h"
#include "controls/custom/SplitterBar.h"
#include "controls/custom/TabStripCtrl.h"

#include <vector>

enum : UINT
{
    IDC_ANGLE_TABS = 1368,
    IDC_ANGLE_PREVIEW = 1369,
    IDC_ANGLE_STRIP = 1370,
    IDC_ANGLE_SPLITTER = 1371,
};

class CSelectAngleDlg : public CButtonRowPopup
{
public:
    // Map a of angleMap gives, block by block, the interleaved unit that
    // plays angle a + 1. Both are copied; the blocks are not owned.
    CSelectAngleDlg(const CAngleBlockArray& blocks, const CAngleMap& angleMap, CWnd* pParent);

    // The angle chosen (0 for angle 1) once the popup ended with "Keep this".
    int GetSelectedAngle() const { return m_tabs.GetCurSel(); }

    CTabStripCtrl& GetTabs() { return m_tabs; }
    CAngleBlockListView& GetStrip() { return m_strip; }
    CCellPreviewWnd& GetPreview() { return m_preview; }

protected:
    void CreateContent() override;
    void LayoutContent(int cx, int cy) override;
    void FillContent() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The selected block at the selected angle; with bKeepState at the
    // preview's place and stream choices, else from its start.
    void ShowSelection(bool bKeepState);

    std::vector<CAngleBlock*> m_blocks;
    std::vector<std::vector<BYTE>> m_angleMaps;
    CAngleBlockListView m_strip;
    CCellPreviewWnd m_preview;
    CTabStripCtrl m_tabs;
    CSplitterBar m_splitter;
    int m_nStripHeight;
    int m_nContentHeight = 0;
};
