// One block of a domain in its cell preview: the preview shows one
// interleaved unit of the block, and a block of several units (the angles of
// an angle block) gets a narrow vertical tab per unit on the left. Choosing a
// tab shows that unit at the same position and with the same stream choices.
#pragma once

#include "DvdGui/source/CellPreviewWnd.h"
#include "Shared/source/DvdArray.h"
#include "controls/custom/TabStripCtrl.h"

class CAngleBlock;

enum : UINT
{
    IDC_CELLVIEW_TABS = 1088,
    IDC_CELLVIEW_PREVIEW = 1089,
};

class CCellViewWnd : public CWnd
{
public:
    // A read-only view's preview has no context menus.
    explicit CCellViewWnd(bool bReadOnly = false);
    ~CCellViewWnd() override;
    CCellViewWnd(const CCellViewWnd&) = delete;
    CCellViewWnd& operator=(const CCellViewWnd&) = delete;

    virtual BOOL Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                          UINT nID, CCreateContext* pContext = nullptr);

    // The block is not owned; without a location the first tab is shown at
    // the preview's current choices from VOBU 0.
    void SetBlock(CAngleBlock* pBlock, const CCellViewLocation* pLocation);
    CCellViewLocation GetLocation() const;
    void SetLocation(const CCellViewLocation& location);
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    void RecalcLayout();

    CAngleBlock* GetBlock() const { return m_pBlock; }
    bool IsShowingTabs() const { return m_bShowTabs; }
    CTabStripCtrl& GetTabs() { return m_tabs; }
    CCellPreviewWnd& GetPreview() { return m_preview; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    DECLARE_MESSAGE_MAP()

private:
    CGrowArray<BYTE> m_angleMap;
    CAngleBlock* m_pBlock = nullptr;
    CTabStripCtrl m_tabs;
    CCellPreviewWnd m_preview;
    bool m_bShowTabs = false;
};
