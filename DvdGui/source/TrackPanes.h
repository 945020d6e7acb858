// The audio and sub-picture track panes of a domain's content window. Each
// lists the tracks of the domain's stream set and, under each track, the
// physical streams the domain's PGCs map it to, with the size of each
// stream's data as the background scan of the source VOB data measures it.
// The pane polls the scan with two timers: fast (200 ms) while a scan runs,
// slow (1000 ms) otherwise. Its context menu disables or deletes tracks and
// starts or stops the exact search.
//
// The twins differ only in their ids, texts and the streams they read;
// CTrackListWnd holds what they share.
#pragma once

#include "DvdGui/core/ViewLocation.h"
#include "controls/treelist/window/TreeListCtrl.h"
#include "framework/win/AfxWin.h"
#include "framework/win/ImageList.h"

#include <cstdint>
#include <vector>

class CAngleBlockList;

// The selection notice of the audio pane (code TLN_SELCHANGED).
struct NMAUDIOTRACK
{
    NMHDR hdr;
    BYTE nStreamId;    // the stream's id in the VOB, 0 for none
    BYTE nSubstreamId; // the substream's id, 0 for none
    BYTE reserved[2];  // always 0
    int nTrack;
};

// The selection notice of the sub-picture pane (code TLN_SELCHANGED).
struct NMSUBPICTURETRACK
{
    NMHDR hdr;
    int nTrack;
    int nStream; // -1 for a track row
};

class CTrackListWnd : public CWnd
{
public:
    // What tells the twins apart.
    struct CVariant
    {
        bool bAudio;
        UINT nListId;
        UINT nFirstCommand; // delete streams; search, refresh and delete tracks follow
        const char* pszDeleteStreamsText;
        const char* const* ppszWidthKeys; // columns 0 to 2
        const char* pszDisableAction;
        const char* pszDeleteAction;
    };

    ~CTrackListWnd() override;

    virtual BOOL Create(LPCTSTR lpszTitle, UINT nID, CWnd* pParent, CWnd* pOwner, DWORD dwStyle, DWORD dwExStyle);

    // Shows the domain's tracks (none empties the pane) and the location,
    // or the one shown before when none is given.
    void SetDomain(CAngleBlockList* pDomain, const CTrackListLocation* pLocation);
    CTrackListLocation GetLocation() const;
    void SetLocation(const CTrackListLocation& location);
    // Writes the sizes the scan knows and turns the search animation; true
    // while a scan runs.
    bool UpdateSizes();
    void StopTimers();

    CTreeListCtrl& GetList() { return m_list; }
    bool AreAllSizesExact() const { return m_bAllExact != 0; }

    void OnDeleteStreams();
    void OnDeleteTracksFromSelected();
    void OnToggleSearch();
    void OnRefresh();

    BOOL PreTranslateMessage(MSG* pMsg) override;

    enum : UINT_PTR
    {
        kFastTimer = 0,
        kSlowTimer = 1,
    };

protected:
    CTrackListWnd(const CVariant& variant, CString& strClassName);

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    int GetTrackCount() const;
    std::vector<std::vector<BYTE>> GetTrackStreams() const;
    CString GetTrackInfo(int nTrack) const;
    CString GetStreamText(int nTrack, BYTE nStream) const;
    uint64_t GetStreamSize(BYTE nStream, bool& bExact) const;
    void DisableTrack(int nTrack);
    CTreeListItem* GetCurrentItem() const;
    void ShowContextMenu(CTreeListItem* pItem, CPoint ptScreen);
    void NotifySelection(CTreeListItem* pItem);

    CTreeListItem* m_pContextItem = nullptr;
    CTreeListCtrl m_list;
    CImageList m_images;
    CAngleBlockList* m_pDomain = nullptr;
    BYTE m_bAllExact = 1;
    CWnd* m_pOwner = nullptr;
    const CVariant& m_variant;
    CString& m_strClassName;
};

class CAudioTracksWnd : public CTrackListWnd
{
public:
    CAudioTracksWnd();

private:
    static CString s_strClassName;
};

class CSubPictureTracksWnd : public CTrackListWnd
{
public:
    CSubPictureTracksWnd();

private:
    static CString s_strClassName;
};
