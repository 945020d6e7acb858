// The light strip of blocks inside the popups (the original preview and the
// angle selection): tiles side by side, one selected tile, and no thread of
// its own. Each tile decodes its picture on the GUI thread the first time it
// is painted and keeps it; the strip is meant for the few blocks of a popup.
#pragma once

#include "DvdGui/core/CellDataStream.h"
#include "DvdGui/source/AngleBlockListExView.h"
#include "VDS/source/MpegVideoDecoder.h"
#include "VDS/source/VideoPicture.h"

#include <functional>
#include <memory>
#include <vector>

class CDvd;

// The strip's selection notice (an NMBLOCKLIST: the tile and the VOBU its
// picture was found at).
const int ABLN_SELCHANGED = 5255;

class CAngleBlockListView : public CCustomWnd
{
public:
    struct BlockItem
    {
        explicit BlockItem(CAngleBlock* pBlock) : pBlock(pBlock) {}
        ~BlockItem();
        BlockItem(const BlockItem&) = delete;
        BlockItem& operator=(const BlockItem&) = delete;

        CAngleBlock* pBlock; // not owned
        CCellDataStream stream;
        CMpegVideoDecoder decoder;
        CVideoPicture picture;
        uint32_t nPictures = 0;
        bool bStarted = false;
        uint32_t nVobu = 0;
    };

    struct ViewState
    {
        float fFirstVisible = 0.0f;
        int32_t nSelected = 0;
    };

    // A read-only strip has no context menu and ignores the edit keys.
    CAngleBlockListView(bool bReadOnly, bool bShowCaptions);
    ~CAngleBlockListView() override;
    CAngleBlockListView(const CAngleBlockListView&) = delete;
    CAngleBlockListView& operator=(const CAngleBlockListView&) = delete;

    // The blocks are not owned; without a state the first tile is selected.
    void SetBlocks(const std::vector<CAngleBlock*>* pBlocks, const ViewState* pState);
    ViewState GetState() const;
    void SetState(const ViewState& state);
    void SelectItem(int nItem);
    int GetSelectedItem() const { return m_nSelected; }
    CAngleBlock* GetSelectedBlock() const;
    int GetItemCount() const { return int(m_items.size()); }
    const BlockItem& GetItem(int nItem) const { return *m_items[size_t(nItem)]; }
    int GetHotItem() const { return m_nHot; }
    // The tiles as laid out now.
    CTileStrip GetStrip() const;
    // What the popups give the strip: a row of tiles and its scroll bar.
    static int GetPreferredHeight();

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PaintBackground() override;
    void Draw(CDC* pDC) override;
    void OnLayout() override;
    void OnCreated() override;
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE) override;

protected:
    afx_msg void OnDestroy();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnHideBlock();
    afx_msg void OnHideBlocksBefore();
    afx_msg void OnHideBlocksAfter();
    afx_msg void OnRestoreBlock();
    DECLARE_MESSAGE_MAP()

private:
    void StartItem(BlockItem& item);
    void FindPicture(BlockItem& item, const CVobCell& unit);
    void ScrollTo(float fFirst);
    void EnsureItemVisible(int nItem);
    void ClickItem(CPoint point);
    void KeySelect(int nItem);
    int HitTest(CPoint point) const { return GetStrip().HitTest(point.x, point.y); }
    std::vector<CAngleBlock*> GetBlocks() const;
    // Runs an edit unless the strip is read-only; the strip takes the focus
    // when it ran.
    void RunEdit(const std::function<bool()>& edit);

    std::vector<std::unique_ptr<BlockItem>> m_items;
    CDvd* m_pDvd = nullptr;
    int m_nFrameWidth = 720;
    int m_nFrameHeight = 480;
    bool m_bWideScreen = false;
    float m_fFirstVisible = 0.0f;
    int m_nTileWidth = 106;
    int m_nTileHeight = 80;
    bool m_bScrollBarNeeded = false;
    int m_nSelected = -1;
    int m_nHot = -1;
    HANDLE m_hDrawDib = nullptr;
    CScrollBar m_hScroll;
    CFont m_captionFont;
    const bool m_bReadOnly;
    const bool m_bShowCaptions;
    CRITICAL_SECTION m_lock;
};
