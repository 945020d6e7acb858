#include "DvdGui/source/DomainContentWnd.h"

#include "DVD/source/AngleBlock.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/Resource.h"

CString CDomainContentWnd::s_strClassName;

BEGIN_MESSAGE_MAP(CDomainContentWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CDomainContentWnd::CDomainContentWnd() : m_strip(false, true)
{
    RegisterPaneClass(s_strClassName);
}

CDomainContentWnd::~CDomainContentWnd() = default;

BOOL CDomainContentWnd::Create(LPCTSTR lpszTitle, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID,
                               CPaneHost* pPaneHost)
{
    if (s_strClassName.IsEmpty() ||
        !CWnd::Create(s_strClassName, lpszTitle, dwStyle | WS_CLIPCHILDREN, rect, pParent, nID))
        return FALSE;
    m_cellView.Create("BV", WS_CHILD | WS_VISIBLE, rect, this, IDC_DOMAIN_CELL_VIEW);

    m_pPaneHost = pPaneHost;
    if (pPaneHost != nullptr)
    {
        m_nStripPane = pPaneHost->AddPane("Domain Content", 400, 180, PANE_DOCK_TOP, 0, -1, 50);
        m_nVideoPane = pPaneHost->AddPane("Video", 200, 201, PANE_DOCK_RIGHT, 0, -1, 50);
        m_nSubpicturePane = pPaneHost->AddTabbedPane("SubPicture Tracks", m_nVideoPane);
        m_nAudioPane = pPaneHost->AddTabbedPane("Audio Tracks", m_nSubpicturePane);
    }
    // A pane whose bar could not be made stays without a window; every
    // operation below copes with that.
    const auto barOf = [pPaneHost](int nPane) -> CWnd*
    {
        const CPaneRecord* pRecord = pPaneHost != nullptr ? pPaneHost->GetPane(nPane) : nullptr;
        return pRecord != nullptr ? pRecord->bar : nullptr;
    };
    const DWORD dwPaneStyle = WS_CHILD | WS_VISIBLE;
    if (CWnd* pBar = barOf(m_nStripPane))
        m_strip.Create("Domain Content", IDC_DOMAIN_STRIP, pBar, this, dwPaneStyle, 0);
    if (CWnd* pBar = barOf(m_nVideoPane))
        m_videoInfo.Create("Video", IDC_DOMAIN_VIDEO, pBar, this, dwPaneStyle, 0);
    if (CWnd* pBar = barOf(m_nAudioPane))
        m_audioTracks.Create("Audio Tracks", IDC_DOMAIN_AUDIO, pBar, this, dwPaneStyle, 0);
    if (CWnd* pBar = barOf(m_nSubpicturePane))
        m_subpictureTracks.Create("SubPicture Tracks", IDC_DOMAIN_SUBPICTURE, pBar, this, dwPaneStyle, 0);
    return TRUE;
}

int CDomainContentWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return CWnd::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

void CDomainContentWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_cellView.m_hWnd != nullptr)
        RecalcLayout();
    Invalidate();
}

void CDomainContentWnd::RecalcLayout()
{
    if (m_cellView.m_hWnd == nullptr)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    m_cellView.SetWindowPos(nullptr, 0, 0, rcClient.Width(), rcClient.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDomainContentWnd::SetDomain(CAngleBlockList* pDomain, const CDomainContentLocation* pLocation)
{
    if (pDomain == nullptr)
    {
        SetBlocks(nullptr, nullptr);
        return;
    }
    CAngleBlockArray array;
    pDomain->GetBlocks(array);
    std::vector<CAngleBlock*> blocks(array.GetData(), array.GetData() + array.GetSize());
    SetBlocks(&blocks, pLocation);
}

CAngleBlock* CDomainContentWnd::GetBlock(int nIndex) const
{
    return nIndex >= 0 && size_t(nIndex) < m_blocks.size() ? m_blocks[size_t(nIndex)] : nullptr;
}

void CDomainContentWnd::SetBlocks(const std::vector<CAngleBlock*>* pBlocks, const CDomainContentLocation* pLocation)
{
    if (pBlocks != nullptr)
        m_blocks = *pBlocks;
    else
        m_blocks.clear();
    if (m_strip.m_hWnd != nullptr)
    {
        m_strip.SetBlocks(pBlocks, pLocation != nullptr ? &pLocation->strip : nullptr);
        m_strip.Invalidate();
    }
    CAngleBlock* pCurrent = m_strip.m_hWnd != nullptr ? GetBlock(m_strip.GetCaretItem()) : nullptr;
    if (m_cellView.m_hWnd != nullptr)
        m_cellView.SetBlock(pCurrent, pLocation != nullptr ? &pLocation->cell : nullptr);

    CAngleBlockList* pDomain = nullptr;
    if (!m_blocks.empty() && m_blocks.front() != nullptr && m_blocks.front()->GetParent() != nullptr)
        pDomain = dynamic_cast<CAngleBlockList*>(m_blocks.front()->GetParent()->Self());
    if (m_audioTracks.m_hWnd != nullptr)
        m_audioTracks.SetDomain(pDomain, pLocation != nullptr ? &pLocation->audio : nullptr);
    if (m_subpictureTracks.m_hWnd != nullptr)
        m_subpictureTracks.SetDomain(pDomain, pLocation != nullptr ? &pLocation->subpicture : nullptr);
    if (m_videoInfo.m_hWnd != nullptr)
        m_videoInfo.SetDomain(pDomain, pLocation != nullptr ? &pLocation->video : nullptr);
    RecalcLayout();
}

CDomainContentLocation CDomainContentWnd::GetLocation() const
{
    CDomainContentLocation location;
    location.strip = m_strip.GetViewState();
    location.cell = m_cellView.GetLocation();
    location.audio = m_audioTracks.GetLocation();
    location.subpicture = m_subpictureTracks.GetLocation();
    location.video = m_videoInfo.GetLocation();
    return location;
}

void CDomainContentWnd::SetLocation(const CDomainContentLocation& location)
{
    if (m_strip.m_hWnd != nullptr)
        m_strip.SetViewState(location.strip, true);
    if (m_cellView.m_hWnd != nullptr)
        m_cellView.SetLocation(location.cell);
    if (m_audioTracks.m_hWnd != nullptr)
        m_audioTracks.SetLocation(location.audio);
    if (m_subpictureTracks.m_hWnd != nullptr)
        m_subpictureTracks.SetLocation(location.subpicture);
    if (m_videoInfo.m_hWnd != nullptr)
        m_videoInfo.SetLocation(location.video);
}

void CDomainContentWnd::SetFont(CFont* pFont)
{
    if (m_cellView.m_hWnd != nullptr)
        m_cellView.SetFont(pFont);
    if (m_strip.m_hWnd != nullptr)
        m_strip.SetFont(pFont);
    if (m_audioTracks.m_hWnd != nullptr)
        m_audioTracks.GetList().SetFont(pFont);
    if (m_subpictureTracks.m_hWnd != nullptr)
        m_subpictureTracks.GetList().SetFont(pFont);
    if (m_videoInfo.m_hWnd != nullptr)
        m_videoInfo.GetList().SetFont(pFont);
}

void CDomainContentWnd::Stop()
{
    if (m_strip.m_hWnd != nullptr)
        m_strip.StopThumbnails();
    if (m_cellView.m_hWnd != nullptr)
        m_cellView.GetPreview().StopPreview();
    if (m_audioTracks.m_hWnd != nullptr)
        m_audioTracks.StopTimers();
    if (m_subpictureTracks.m_hWnd != nullptr)
        m_subpictureTracks.StopTimers();
}

void CDomainContentWnd::OnStripSelection(const NMBLOCKLIST& record)
{
    m_cellView.SetBlock(GetBlock(record.nItem), nullptr);
    CCellViewLocation location = m_cellView.GetLocation();
    location.preview.nVobu = int32_t(uint16_t(record.nVobu));
    m_cellView.SetLocation(location);
}

LRESULT CDomainContentWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && lParam != 0)
    {
        const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        if (int(pHeader->code) == BLN_SELCHANGED)
        {
            switch (pHeader->idFrom)
            {
            case IDC_DOMAIN_STRIP: OnStripSelection(*reinterpret_cast<const NMBLOCKLIST*>(lParam)); break;
            case IDC_DOMAIN_AUDIO:
            {
                const auto* pRecord = reinterpret_cast<const NMAUDIOTRACK*>(lParam);
                const BYTE ids[2] = {pRecord->nStreamId, pRecord->nSubstreamId};
                m_cellView.GetPreview().SetAudioStream(ids, DWORD(pRecord->nTrack));
                break;
            }
            case IDC_DOMAIN_SUBPICTURE:
            {
                const auto* pRecord = reinterpret_cast<const NMSUBPICTURETRACK*>(lParam);
                m_cellView.GetPreview().SetSubpictureStream(pRecord->nStream, DWORD(pRecord->nTrack));
                break;
            }
            default: break;
            }
        }
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}
