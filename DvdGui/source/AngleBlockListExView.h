// The strip of block tiles that every domain view shows: one thumbnail per
// block with an optional caption, laid out side by side or stacked, scrolled
// with a scroll bar, wheel or keys, and a selection of one or more tiles that
// the host hears of through WM_NOTIFY. The thumbnails come from the strip's
// own background thread; the strip repaints while they arrive.
#pragma once

#include "DvdGui/core/BlockThumbnailThread.h"
#include "DvdGui/core/EditMenus.h"
#include "DvdGui/core/MultiSelection.h"
#include "DvdGui/core/TileGeometry.h"
#include "controls/custom/CustomWnd.h"
#include "framework/win/Controls.h"

#include <atomic>
#include <functional>
#include <vector>

// The record of the strip's WM_NOTIFY: the tile and the VOBU of its block's
// first unit at which the thumbnail was found.
struct NMBLOCKLIST
{
    NMHDR hdr;
    int32_t nItem;
    int32_t nVobu;
};

// Posted by the thumbnail thread when a pass has made every thumbnail; the
// word parameter is the pass.
const UINT WM_BLOCKLIST_THUMBNAILS_DONE = 0x11A6;

// The strip's scroll bars.
enum : UINT
{
    IDC_BLOCKLIST_HSCROLL = 1048,
    IDC_BLOCKLIST_VSCROLL = 1057,
};

class CAngleBlockListExView : public CCustomWnd, public CTileSelection, private CThumbnailSink
{
public:
    using ViewState = CTileViewState;

    // A read-only strip has no context menu; captions show only when
    // bShowCaptions.
    CAngleBlockListExView(bool bReadOnly, bool bShowCaptions);
    ~CAngleBlockListExView() override;
    CAngleBlockListExView(const CAngleBlockListExView&) = delete;
    CAngleBlockListExView& operator=(const CAngleBlockListExView&) = delete;

    // pNotifyTarget receives the selection notices; the parent when null.
    virtual BOOL Create(LPCTSTR lpszTitle, UINT nID, CWnd* pParent, CWnd* pNotifyTarget, DWORD dwStyle,
                        DWORD dwExStyle = 0);

    // Null takes the parent's font, if it has one. The captions use it two
    // points smaller.
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE) override;

    // Replaces the tiles (the blocks are not owned) and applies the state, or
    // selects the first tile when there is none. The thumbnail thread is
    // paused before any record changes and starts a new pass afterwards.
    void SetBlocks(const std::vector<CAngleBlock*>* pBlocks, const ViewState* pState);
    ViewState GetViewState() const { return CTileSelection::GetViewState(); }
    void SetViewState(const ViewState& state, bool bNotify) { CTileSelection::SetViewState(state, bNotify); }
    // Pauses the thumbnail thread; the host calls it when the strip is
    // hidden or its blocks are going away.
    void StopThumbnails();
    void SelectAll();
    // Skip blank pictures at the start of a block (the option "SB"); read
    // at the next pass.
    void SetSkipBlank(bool bSkip) { m_thread.m_bSkipBlank = bSkip; }

    int GetHotItem() const { return m_nHot; }
    float GetFirstVisible() const { return m_fFirstVisible; }
    // The blocks of the selected tiles, in tile order.
    std::vector<CAngleBlock*> GetSelectedBlocks() const;
    // The tiles as laid out now.
    CTileStrip GetStrip() const;
    const CThumbnailTile& GetTile(int nItem) const { return m_thread.GetTile(size_t(nItem)); }
    bool IsThumbnailPassActive() const { return m_bThreadActive; }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PaintBackground() override;
    void Draw(CDC* pDC) override;
    void OnLayout() override;
    void OnCreated() override;
    void OnEnableChanged(BOOL bEnabled) override;
    void OnDrawNotify(DWORD dwStage, CDC* pDC) override;

    // CMultiSelection over the tiles.
    void EnsureItemVisible(int32_t nItem) override;
    void RedrawItems() override;
    int SendNotify(int nCode, int32_t nItem, int x, int y) override;

protected:
    afx_msg void OnDestroy();
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg LRESULT OnThumbnailsDone(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSelectAll();
    afx_msg void OnHideBlocks();
    afx_msg void OnHideBlocksBefore();
    afx_msg void OnHideBlocksAfter();
    afx_msg void OnRestoreBlocks();
    afx_msg void OnConvertToStill();
    DECLARE_MESSAGE_MAP()

private:
    // The thumbnail thread's reports, on that thread.
    void OnThumbnailPassStarted() override;
    void OnThumbnailPassEnded(bool bFinished) override;

    void PaintVisibleFrames();
    void DrawThumbnail(CDC& dc, const CVideoPicture& picture, const CRect& rect);
    void Scroll(CScrollBar& bar, UINT nCode, int nTileSize);
    void SetFirstVisible(float fFirst);
    // The picture rectangle of each tile in view, with its index.
    template <typename F>
    void ForVisibleTiles(const CTileStrip& strip, F&& visit) const;
    int HitTest(CPoint point) const { return GetStrip().HitTest(point.x, point.y); }
    int ClientExtent() const;
    bool ScrollBarShown() const;
    void ShowCaptions(bool bShow);
    void OnNavigationKey(ETileKey key);
    // The blocks of every tile.
    std::vector<CAngleBlock*> GetBlocks() const;
    // Runs an edit of the blocks; the strip takes the focus when it ran.
    void RunEdit(const std::function<bool()>& edit);
    // The single selected tile, -1 unless exactly one is selected.
    int GetSingleSelection() const;

    bool m_bHorizontal = true;
    int m_nFrameWidth = 720;
    int m_nFrameHeight = 480;
    bool m_bWideScreen = false;
    bool m_bCaptionsVisible = true;
    int m_nTileWidth = 66;
    int m_nTileHeight = 50;
    bool m_bScrollBarNeeded = false;
    int m_nHot = -1;
    HANDLE m_hDrawDib = nullptr;
    CScrollBar m_hScroll;
    CScrollBar m_vScroll;
    CFont m_captionFont;
    const bool m_bReadOnly;
    const bool m_bShowCaptions;
    HWND m_hNotifyTarget = nullptr;
    // The window the thread reports to; cleared when the window goes.
    std::atomic<HWND> m_hThreadTarget{nullptr};
    std::atomic<bool> m_bThreadActive{false};
    // Counts the passes, so that the end of an old pass does not stop the
    // repaints of a newer one.
    std::atomic<unsigned> m_nPass{0};
    CRITICAL_SECTION m_lock;
    // Last: the thread stops before the rest of the strip goes.
    CBlockThumbnailThread m_thread;
};
