// The content of one VOB domain, or of one set of blocks: the cell view in
// the window's own client area, and four panes that the host places around
// it (the block strip, the video information and the two track panes). Every
// pane shows the same blocks and domain; the window passes the strip's and
// the track panes' selections on to the cell view and its preview, and
// bundles the panes' states into one location record.
#pragma once

#include "DvdGui/core/ViewLocation.h"
#include "DvdGui/source/AngleBlockListExView.h"
#include "DvdGui/source/CellViewWnd.h"
#include "DvdGui/source/PaneHost.h"
#include "DvdGui/source/TrackPanes.h"
#include "DvdGui/source/VideoInfoWnd.h"

#include <vector>

class CAngleBlock;
class CAngleBlockList;

class CDomainContentWnd : public CWnd
{
public:
    CDomainContentWnd();
    ~CDomainContentWnd() override;
    CDomainContentWnd(const CDomainContentWnd&) = delete;
    CDomainContentWnd& operator=(const CDomainContentWnd&) = delete;

    // Creates the window and the cell view, registers the four panes with
    // the host and creates them in its bars.
    virtual BOOL Create(LPCTSTR lpszTitle, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID,
                        CPaneHost* pPaneHost);

    // Every block of the domain; none empties the panes.
    void SetDomain(CAngleBlockList* pDomain, const CDomainContentLocation* pLocation);
    // The blocks are not owned; the domain is the first block's.
    void SetBlocks(const std::vector<CAngleBlock*>* pBlocks, const CDomainContentLocation* pLocation);
    CDomainContentLocation GetLocation() const;
    void SetLocation(const CDomainContentLocation& location);
    void SetFont(CFont* pFont);
    // Halts the thumbnails, the preview and the track panes' polling: the
    // blocks and units they read may go before the next SetBlocks.
    void Stop();
    void RecalcLayout();

    CAngleBlockListExView& GetStrip() { return m_strip; }
    CCellViewWnd& GetCellView() { return m_cellView; }
    CVideoInfoWnd& GetVideoInfo() { return m_videoInfo; }
    CAudioTracksWnd& GetAudioTracks() { return m_audioTracks; }
    CSubPictureTracksWnd& GetSubpictureTracks() { return m_subpictureTracks; }
    // The pane indexes of the strip, the video pane and the track panes in
    // the host's records.
    int GetStripPane() const { return m_nStripPane; }
    int GetVideoPane() const { return m_nVideoPane; }
    int GetAudioPane() const { return m_nAudioPane; }
    int GetSubpicturePane() const { return m_nSubpicturePane; }

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    CAngleBlock* GetBlock(int nIndex) const;
    void OnStripSelection(const NMBLOCKLIST& record);

    CAngleBlockListExView m_strip;
    CCellViewWnd m_cellView;
    CVideoInfoWnd m_videoInfo;
    CAudioTracksWnd m_audioTracks;
    CSubPictureTracksWnd m_subpictureTracks;
    CPaneHost* m_pPaneHost = nullptr;
    int m_nStripPane = -1;
    int m_nVideoPane = -1;
    int m_nAudioPane = -1;
    int m_nSubpicturePane = -1;
    // The blocks the strip shows, for its selection notices.
    std::vector<CAngleBlock*> m_blocks;

    static CString s_strClassName;
};
