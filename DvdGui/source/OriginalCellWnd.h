// The original preview's content: a simple strip of blocks above a cell view
// of the strip's selected block, with a splitter between them whose place
// the registry keeps ("ABV_S"). The strip can be hidden when there is only
// one block to show.
#pragma once

#include "DvdGui/source/AngleBlockListView.h"
#include "DvdGui/source/CellViewWnd.h"
#include "controls/custom/SplitterBar.h"

#include <vector>

enum : UINT
{
    IDC_ORIGINAL_STRIP = 1068,
    IDC_ORIGINAL_CELLVIEW = 1069,
    IDC_ORIGINAL_SPLITTER = 1070,
};

struct COriginalCellLocation
{
    CAngleBlockListView::ViewState strip;
    CCellViewLocation cell;
};

class COriginalCellWnd : public CWnd
{
public:
    explicit COriginalCellWnd(bool bReadOnly);
    ~COriginalCellWnd() override;
    COriginalCellWnd(const COriginalCellWnd&) = delete;
    COriginalCellWnd& operator=(const COriginalCellWnd&) = delete;

    virtual BOOL Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                          UINT nID, CCreateContext* pContext = nullptr);

    // The blocks are not owned. Without a location the cell view follows the
    // strip's selection.
    void SetBlocks(const std::vector<CAngleBlock*>* pBlocks, const COriginalCellLocation* pLocation);
    COriginalCellLocation GetLocation() const;
    void ShowStrip(bool bShow);
    void RecalcLayout();

    bool IsStripShown() const { return m_bShowStrip; }
    int GetStripHeight() const { return m_nStripHeight; }
    CAngleBlockListView& GetStrip() { return m_strip; }
    CCellViewWnd& GetCellView() { return m_cellView; }
    CSplitterBar& GetSplitter() { return m_splitter; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

private:
    CAngleBlockListView m_strip;
    CCellViewWnd m_cellView;
    CSplitterBar m_splitter;
    int m_nStripHeight;
    bool m_bShowStrip = true;
};
