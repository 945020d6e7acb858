#include "DvdGui/source/TrackPanes.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PgcTable.h"
#include "DvdGui/core/EditGuard.h"
#include "DvdGui/core/TrackRows.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/Resource.h"
#include "Shared/source/DvdFormat.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

#include <algorithm>

namespace
{

// Tree with buttons and images, a header, full-row selection and grid
// lines; nothing is edited or dragged.
const DWORD kListStyle = 0x677FC9;
const int kAnimationFrames = 8;
const UINT kFastPeriod = 200;
const UINT kSlowPeriod = 1000;
const char kSettings[] = "Settings";

enum : UINT
{
    kDeleteStreams = 0,
    kSearch = 1,
    kRefresh = 2,
    kDeleteTracks = 3,
};

const char* const kAudioWidthKeys[] = {"SAV_B_CW0", "SAV_B_CW1", "SAV_B_CW2"};
const char* const kSubpictureWidthKeys[] = {"SSV_B_CW0", "SSV_B_CW1", "SSV_B_CW2"};

int TrackOf(const CTreeListItem* pItem)
{
    return int(pItem->m_pParent != nullptr && pItem->m_nLevel > 1 ? pItem->m_pParent->m_dwData : pItem->m_dwData);
}

int StreamOf(const CTreeListItem* pItem)
{
    return pItem->m_nLevel > 1 ? int(pItem->m_dwData) : -1;
}

} // namespace

BEGIN_MESSAGE_MAP(CTrackListWnd, CWnd)
ON_WM_SIZE()
ON_WM_TIMER()
END_MESSAGE_MAP()

CTrackListWnd::CTrackListWnd(const CVariant& variant, CString& strClassName)
    : m_variant(variant), m_strClassName(strClassName)
{
    RegisterPaneClass(strClassName);
}

CTrackListWnd::~CTrackListWnd()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL CTrackListWnd::Create(LPCTSTR lpszTitle, UINT nID, CWnd* pParent, CWnd* pOwner, DWORD dwStyle, DWORD dwExStyle)
{
    if (m_strClassName.IsEmpty())
        return FALSE;
    const BOOL bCreated = CWnd::CreateEx(dwExStyle, m_strClassName, lpszTitle, dwStyle | WS_CLIPCHILDREN,
                                         CRect(0, 0, 0, 0), pParent, nID);
    if (!bCreated)
        return FALSE;
    m_pOwner = pOwner != nullptr ? pOwner : pParent;
    if (!m_list.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, m_variant.nListId))
        return FALSE;
    m_list.SetStyle(kListStyle);
    m_list.SetExtendedStyle(TLC_EX_FILLLAST | TLC_EX_EMPTYROWS);
    if (!m_images.Create(IDB_STREAM_SEARCH, 16, kAnimationFrames, RGB(255, 0, 255)))
        return FALSE;
    m_list.SetImageList(&m_images);
    if (pParent != nullptr && pParent->GetFont() != nullptr)
        m_list.SetFont(pParent->GetFont());
    m_list.InsertColumn("Tracks", 0x100101, 0, -1);
    m_list.InsertColumn("Size", 0x100101, 0, -1);
    m_list.InsertColumn("Info", 0x100101, 0, -1);
    m_list.InsertColumn("", 0x100201, 0, -1);
    for (int nColumn = 0; nColumn < 3; ++nColumn)
        m_list.SetColumnWidth(nColumn, AfxGetApp()->GetProfileInt(kSettings, m_variant.ppszWidthKeys[nColumn], 150),
                              50);
    return bCreated;
}

// ---- The domain's tracks ---------------------------------------------------------------

int CTrackListWnd::GetTrackCount() const
{
    const CStreamSet& streams = m_pDomain->GetStreams();
    return m_variant.bAudio ? streams.GetAudioCount() : streams.GetSubpictureCount();
}

std::vector<std::vector<BYTE>> CTrackListWnd::GetTrackStreams() const
{
    return m_variant.bAudio ? GetAudioTrackStreams(*m_pDomain) : GetSubpictureTrackStreams(*m_pDomain);
}

CString CTrackListWnd::GetTrackInfo(int nTrack) const
{
    const CStreamSet& streams = m_pDomain->GetStreams();
    return m_variant.bAudio ? GetAudioTrackInfo(*streams.GetAudio(nTrack))
                            : GetSubpictureTrackInfo(*streams.GetSubpicture(nTrack));
}

CString CTrackListWnd::GetStreamText(int nTrack, BYTE nStream) const
{
    const CString strId = m_variant.bAudio
                              ? FormatAudioStreamId(m_pDomain->GetStreams().GetAudio(nTrack)->GetCodingMode(), nStream)
                              : FormatSubpictureStreamId(nStream);
    return FormatString("     %s", static_cast<LPCSTR>(strId));
}

uint64_t CTrackListWnd::GetStreamSize(BYTE nStream, bool& bExact) const
{
    return m_variant.bAudio ? m_pDomain->GetAudioStreamSize(nStream, bExact)
                            : m_pDomain->GetSubpictureStreamSize(nStream, bExact);
}

void CTrackListWnd::SetDomain(CAngleBlockList* pDomain, const CTrackListLocation* pLocation)
{
    StopTimers();
    const CTrackListLocation previous = GetLocation();
    m_pDomain = pDomain;
    m_pContextItem = nullptr;
    m_list.DeleteAllItems();
    if (pDomain != nullptr)
    {
        const std::vector<std::vector<BYTE>> trackStreams = GetTrackStreams();
        CTreeListItem* pAfter = TLI_LAST;
        for (int n = 0; n < GetTrackCount(); ++n)
        {
            CTreeListItem* pTrack =
                m_list.InsertItem(FormatString(" Track %d ", n), TLIS_EXPANDED | TLIS_CHILDRENKNOWN, TLI_ROOT, pAfter);
            pTrack->m_dwData = DWORD_PTR(n);
            pTrack->SetText(GetTrackInfo(n), 2);
            pTrack->SetImages(0, 0, 0, 0);
            pTrack->ShowImage(false);
            CTreeListItem* pStreamAfter = TLI_LAST;
            for (BYTE s : trackStreams[size_t(n)])
            {
                CTreeListItem* pStream =
                    m_list.InsertItem(FormatString(" Stream %d ", s), TLIS_CHILDRENKNOWN, pTrack, pStreamAfter);
                pStream->m_dwData = s;
                pStream->SetText(GetStreamText(n, s), 2);
                pStreamAfter = pStream;
            }
            pAfter = pTrack;
        }
        if (UpdateSizes())
            SetTimer(kFastTimer, kFastPeriod);
        else
            SetTimer(kSlowTimer, kSlowPeriod);
    }
    SetLocation(pLocation != nullptr ? *pLocation : previous);
}

bool CTrackListWnd::UpdateSizes()
{
    m_bAllExact = 1;
    const bool bPreliminary = m_pDomain->IsPreliminaryScanDone();
    bool bSearching = !bPreliminary || m_pDomain->IsScanning();
    // one flag serves the whole pass: once a size was estimated, every
    // later row shows its estimate too
    for (CTreeListItem* pTrack = m_list.GetFirstItem(); pTrack != nullptr; pTrack = pTrack->m_pNext)
    {
        uint64_t nTotal = 0;
        for (CTreeListItem* pStream = pTrack->m_pChild; pStream != nullptr; pStream = pStream->m_pNext)
        {
            bool bExact = true;
            const uint64_t nSize = GetStreamSize(BYTE(pStream->m_dwData), bExact);
            if (!bExact)
                m_bAllExact = 0;
            pStream->SetText(FormatStreamSize(nSize, m_bAllExact != 0), 1);
            nTotal += nSize;
        }
        pTrack->SetText(FormatStreamSize(nTotal, m_bAllExact != 0), 1);
    }
    if (m_bAllExact && bSearching && bPreliminary)
    {
        // every size shown is exact: the rest of the full scan would only
        // cost time
        m_pDomain->StopScan();
        bSearching = false;
    }
    for (CTreeListItem* pTrack = m_list.GetFirstItem(); pTrack != nullptr; pTrack = pTrack->m_pNext)
    {
        if (bSearching)
        {
            const int nFrame = (pTrack->m_nImages[0] + 1) % kAnimationFrames;
            pTrack->SetImages(nFrame, nFrame, nFrame, nFrame);
        }
        pTrack->ShowImage(bSearching);
    }
    return bSearching;
}

void CTrackListWnd::StopTimers()
{
    if (m_hWnd == nullptr)
        return;
    KillTimer(kFastTimer);
    KillTimer(kSlowTimer);
}

void CTrackListWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (m_pDomain == nullptr)
        return;
    if (nIDEvent == kFastTimer)
    {
        const bool bSearching = UpdateSizes();
        m_list.Invalidate();
        if (!bSearching)
        {
            KillTimer(kFastTimer);
            SetTimer(kSlowTimer, kSlowPeriod);
        }
    }
    else if (nIDEvent == kSlowTimer)
    {
        const bool bIdle = m_pDomain->IsPreliminaryScanDone() && !m_pDomain->IsScanning();
        if (bIdle && (m_bAllExact || !m_pDomain->IsFullScanComplete()))
            return;
        // a scan runs, or a full scan ended with sizes not yet shown exact
        KillTimer(kSlowTimer);
        SetTimer(kFastTimer, kFastPeriod);
    }
}

void CTrackListWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_list.m_hWnd != nullptr)
        m_list.SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Locations -------------------------------------------------------------------------

CTreeListItem* CTrackListWnd::GetCurrentItem() const
{
    return (m_list.GetStyle() & TLC_MULTIPLESELECT) != 0 ? m_list.GetSelectedItem() : m_list.GetCaretItem();
}

CTrackListLocation CTrackListWnd::GetLocation() const
{
    CTrackListLocation location;
    if (CTreeListItem* pItem = GetCurrentItem())
    {
        location.row = m_list.GetItemScreenRow(pItem);
        location.track = TrackOf(pItem);
        location.stream = StreamOf(pItem);
    }
    for (CTreeListItem* pTrack = m_list.GetFirstItem(); pTrack != nullptr; pTrack = pTrack->m_pNext)
        if (!pTrack->IsExpanded())
            location.collapsedTracks.push_back(int(pTrack->m_dwData));
    return location;
}

void CTrackListWnd::SetLocation(const CTrackListLocation& location)
{
    for (CTreeListItem* pTrack = m_list.GetFirstItem(); pTrack != nullptr; pTrack = pTrack->m_pNext)
    {
        const bool bCollapsed = std::find(location.collapsedTracks.begin(), location.collapsedTracks.end(),
                                          int(pTrack->m_dwData)) != location.collapsedTracks.end();
        m_list.Expand(pTrack, bCollapsed ? TLE_COLLAPSE : TLE_EXPAND);
    }
    CTreeListItem* pTrack = m_list.SelectItemByData(DWORD_PTR(location.track));
    if (pTrack != nullptr && pTrack->m_pChild != nullptr)
        m_list.SelectItemByData(DWORD_PTR(location.stream), pTrack->m_pChild);
    if (CTreeListItem* pCurrent = GetCurrentItem())
        m_list.SetItemScreenRow(pCurrent, location.row);
    m_list.Invalidate();
}

// ---- Notices, menu and keys ------------------------------------------------------------

LRESULT CTrackListWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && wParam == m_variant.nListId)
    {
        const NMTREELIST* pRecord = reinterpret_cast<const NMTREELIST*>(lParam);
        switch (int(pRecord->hdr.code))
        {
        case TLN_RBUTTONUP: ShowContextMenu(pRecord->pItem, CPoint(pRecord->nValue1, pRecord->nValue2)); break;
        case TLN_COLUMNRESIZED:
            if (pRecord->nCol >= 0 && pRecord->nCol <= 2)
                AfxGetApp()->WriteProfileInt(kSettings, m_variant.ppszWidthKeys[pRecord->nCol],
                                             m_list.GetColumnWidth(pRecord->nCol));
            break;
        case TLN_SELCHANGED:
            if (pRecord->pItem != nullptr)
                NotifySelection(pRecord->pItem);
            break;
        default: break;
        }
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CTrackListWnd::NotifySelection(CTreeListItem* pItem)
{
    if (m_pOwner == nullptr || m_pDomain == nullptr)
        return;
    const int nTrack = TrackOf(pItem);
    const int nStream = StreamOf(pItem);
    if (m_variant.bAudio)
    {
        NMAUDIOTRACK notice = {};
        notice.hdr.hwndFrom = m_hWnd;
        notice.hdr.idFrom = GetDlgCtrlID();
        notice.hdr.code = UINT(TLN_SELCHANGED);
        if (nTrack < m_pDomain->GetStreams().GetAudioCount())
        {
            const BYTE nCoding = m_pDomain->GetStreams().GetAudio(nTrack)->GetCodingMode();
            notice.nStreamId = GetAudioStreamId(nCoding, BYTE(nStream));
            notice.nSubstreamId = GetAudioSubstreamId(nCoding, BYTE(nStream));
        }
        notice.nTrack = nTrack;
        m_pOwner->SendMessage(WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
    }
    else
    {
        NMSUBPICTURETRACK notice = {};
        notice.hdr.hwndFrom = m_hWnd;
        notice.hdr.idFrom = GetDlgCtrlID();
        notice.hdr.code = UINT(TLN_SELCHANGED);
        notice.nTrack = nTrack;
        notice.nStream = nStream;
        m_pOwner->SendMessage(WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
    }
}

void CTrackListWnd::ShowContextMenu(CTreeListItem* pItem, CPoint ptScreen)
{
    if (m_pDomain == nullptr)
        return;
    m_pContextItem = pItem;
    const bool bEdit = m_pDomain->CanEdit();
    const UINT nFirst = m_variant.nFirstCommand;
    CExtPopupMenuWnd* pMenu = new CExtPopupMenuWnd;
    pMenu->CreatePopupMenu(m_hWnd);
    AddPopupMenuItem(*pMenu, nFirst + kDeleteStreams, m_variant.pszDeleteStreamsText, nullptr,
                     pItem != nullptr && bEdit, true);
    AddPopupMenuSeparator(*pMenu);
    AddPopupMenuItem(*pMenu, nFirst + kDeleteTracks, "Delete &tracks from selected", nullptr, bEdit, true);
    AddPopupMenuSeparator(*pMenu);
    const CSearchEntry search =
        GetSearchEntry(m_pDomain->IsPreliminaryScanDone(), m_bAllExact != 0, m_pDomain->IsScanning());
    AddPopupMenuItem(*pMenu, nFirst + kSearch, search.pszText, nullptr, search.bEnabled, true);
    AddPopupMenuItem(*pMenu, nFirst + kRefresh, "&Refresh", "F5", !m_bAllExact, true);
    // the tracker owns the menu from here on, whatever the outcome
    pMenu->TrackPopupMenu(0, ptScreen.x, ptScreen.y);
}

BOOL CTrackListWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    if (lParam == 0 && nID >= m_variant.nFirstCommand && nID <= m_variant.nFirstCommand + kDeleteTracks)
    {
        switch (nID - m_variant.nFirstCommand)
        {
        case kDeleteStreams: OnDeleteStreams(); break;
        case kSearch: OnToggleSearch(); break;
        case kRefresh: OnRefresh(); break;
        default: OnDeleteTracksFromSelected(); break;
        }
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CTrackListWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP)
    {
        m_pContextItem = GetCurrentItem();
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F5)
        {
            OnRefresh();
            return TRUE;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}

// ---- Commands --------------------------------------------------------------------------

void CTrackListWnd::DisableTrack(int nTrack)
{
    CDvdObject* pContainer = m_pDomain->GetPgcContainer();
    if (pContainer->GetKind() == DVDNODE_PGC_TABLE)
    {
        CPgcTable* pTable = static_cast<CPgcTable*>(pContainer->Self());
        if (m_variant.bAudio)
            pTable->DisableAudioStream(BYTE(nTrack));
        else
            pTable->DisableSubpictureStream(BYTE(nTrack));
    }
    else
    {
        CLanguageUnits* pUnits = static_cast<CLanguageUnits*>(pContainer->Self());
        if (m_variant.bAudio)
            pUnits->DisableAudioStream(BYTE(nTrack));
        else
            pUnits->DisableSubpictureStream(BYTE(nTrack));
    }
}

void CTrackListWnd::OnDeleteStreams()
{
    if (m_pDomain == nullptr || !m_pDomain->CanEdit() || m_pContextItem == nullptr)
        return;
    CDvdObject* pContainer = m_pDomain->GetPgcContainer();
    if (pContainer == nullptr)
        return;
    const int nTrack = TrackOf(m_pContextItem);
    auto physicalMask = [this]
    {
        return m_variant.bAudio ? DWORD(m_pDomain->MapAudioMask(m_pDomain->GetAudioStreamMask()))
                                : m_pDomain->MapSubpictureMask(m_pDomain->GetSubpictureStreamMask());
    };
    {
        const DWORD dwBefore = physicalMask();
        CDvdEditGuard edit(pContainer, m_variant.pszDisableAction);
        DisableTrack(nTrack);
        m_pDomain->Invalidate();
        if (physicalMask() != dwBefore)
            m_pDomain->SetModified();
    }
    m_list.SetFocus();
}

void CTrackListWnd::OnDeleteTracksFromSelected()
{
    if (m_pDomain == nullptr || !m_pDomain->CanEdit() || m_pContextItem == nullptr)
        return;
    CDvdObject* pContainer = m_pDomain->GetPgcContainer();
    if (pContainer == nullptr)
        return;
    const int nFirst = TrackOf(m_pContextItem);
    {
        CDvdEditGuard edit(pContainer, m_variant.pszDeleteAction);
        CStreamSet& streams = m_pDomain->GetStreams();
        for (int t = GetTrackCount() - 1; t >= nFirst; --t)
        {
            DisableTrack(t);
            if (m_variant.bAudio)
                streams.RemoveAudioStream(BYTE(t));
            else
                streams.RemoveSubpictureStream(BYTE(t));
        }
    }
    m_pContextItem = nullptr;
    if (nFirst > 0)
        m_list.SelectItemByData(DWORD_PTR(nFirst - 1));
    m_list.SetFocus();
}

void CTrackListWnd::OnToggleSearch()
{
    if (m_pDomain == nullptr)
        return;
    if (m_pDomain->IsScanning())
        m_pDomain->StopScan();
    else
        m_pDomain->StartFullScan();
    // the audio pane leaves the sizes to its timers
    if (!m_variant.bAudio)
        OnRefresh();
}

void CTrackListWnd::OnRefresh()
{
    if (m_pDomain == nullptr)
        return;
    UpdateSizes();
    m_list.Invalidate();
}

// ---- The twins -------------------------------------------------------------------------

namespace
{
const CTrackListWnd::CVariant kAudioVariant = {true,
                                               IDC_AUDIO_TRACK_LIST,
                                               ID_AUDIO_DELETE_STREAMS,
                                               "Delete &streams",
                                               kAudioWidthKeys,
                                               "disable audio track",
                                               "delete audio track(s)"};
const CTrackListWnd::CVariant kSubpictureVariant = {false,
                                                    IDC_SUBPICTURE_TRACK_LIST,
                                                    ID_SUBPICTURE_DELETE_STREAMS,
                                                    "&Delete streams",
                                                    kSubpictureWidthKeys,
                                                    "disable subpictures track",
                                                    "delete subpictures track(s)"};
} // namespace

CString CAudioTracksWnd::s_strClassName;
CString CSubPictureTracksWnd::s_strClassName;

CAudioTracksWnd::CAudioTracksWnd() : CTrackListWnd(kAudioVariant, s_strClassName)
{
}

CSubPictureTracksWnd::CSubPictureTracksWnd() : CTrackListWnd(kSubpictureVariant, s_strClassName)
{
}
