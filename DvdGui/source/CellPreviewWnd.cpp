#include "DvdGui/source/CellPreviewWnd.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/PGC.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "DvdGui/core/AppLog.h"
#include "DvdGui/core/BlockEdits.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/OriginalPreviewDlg.h"
#include "DvdGui/source/Options.h"
#include "DvdGui/source/Resource.h"
#include "Shared/source/BitmapFile.h"
#include "Shared/source/DvdFormat.h"
#include "framework/win/FileDialog.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace
{

CString s_strClassName;

// Timer 1 brings the overlay back and clears a stale hot button; timer 2
// steps a scan.
const UINT_PTR kWatchTimer = 1;
const UINT_PTR kScanTimer = 2;
const int kSplitMargin = 57;
const int kScanStep = 3;
const int kSliderPage = 10;

#define PREVIEW_LOCATION FormatLocation("CellPreviewWnd.cpp", __LINE__)

const char kSettings[] = "Settings";
const char kSplitEntry[] = "VCV_S";

// The transport buttons in the order of the bottom row, with their normal
// and hover icons and their tooltip.
struct CTransportLook
{
    UINT nId;
    UINT nIcon;
    UINT nHoverIcon;
    const char* pszTip;
};
const CTransportLook kTransport[5] = {
    {IDC_PREVIEW_GOTO_START, IDI_PREVIEW_START, IDI_PREVIEW_START_HOVER, "Goto Start"},
    {IDC_PREVIEW_REWIND, IDI_PREVIEW_REWIND, IDI_PREVIEW_REWIND_HOVER, "Rewind"},
    {IDC_PREVIEW_PLAY, IDI_PREVIEW_PLAY, IDI_PREVIEW_PLAY_HOVER, "Play"},
    {IDC_PREVIEW_FAST_FORWARD, IDI_PREVIEW_FORWARD, IDI_PREVIEW_FORWARD_HOVER, "Fast Forward"},
    {IDC_PREVIEW_GOTO_END, IDI_PREVIEW_END, IDI_PREVIEW_END_HOVER, "Goto End"},
};

int TransportIndex(UINT nId)
{
    for (int i = 0; i < 5; ++i)
        if (kTransport[i].nId == nId)
            return i;
    return 2;
}

CPreviewPlayer* Player()
{
    return CPreviewPlayer::GetGlobal();
}

WORD AudioSelection(const BYTE ids[2])
{
    return WORD(ids[0] | ids[1] << 8);
}

bool IsWideScreenUnit(const CVobCell& unit)
{
    const CAngleBlock* pBlock = dynamic_cast<const CAngleBlock*>(unit.GetParent());
    const CAngleBlockList* pDomain = pBlock != nullptr ? pBlock->GetList() : nullptr;
    return pDomain != nullptr && pDomain->GetStreams().GetVideo().GetAspectRatio() == 3;
}

// Three arrow outlines pointing along a link: two cyan ones around a red one.
void DrawLinkMarker(CDC& dc, CPoint point, int nDirection)
{
    static const int kAhead[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    const int dx = kAhead[nDirection][0];
    const int dy = kAhead[nDirection][1];
    POINT points[8];
    CPen cyan(PS_SOLID, 1, RGB(0, 255, 255));
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* pOld = dc.SelectObject(&cyan);
    GetArrowOutline(point.x + dx, point.y + dy, nDirection, 7, 4, 11, points);
    dc.Polyline(points, 8);
    GetArrowOutline(point.x - dx, point.y - dy, nDirection, 3, 2, 7, points);
    dc.Polyline(points, 8);
    dc.SelectObject(&red);
    GetArrowOutline(point.x, point.y, nDirection, 5, 3, 9, points);
    dc.Polyline(points, 8);
    dc.SelectObject(pOld);
}

} // namespace

BEGIN_MESSAGE_MAP(CCellPreviewWnd, CCustomWnd)
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_HSCROLL()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_KEYDOWN()
ON_WM_CAPTURECHANGED()
ON_WM_TIMER()
ON_BN_CLICKED(IDC_PREVIEW_PLAY, OnPlayStop)
ON_BN_CLICKED(IDC_PREVIEW_GOTO_START, OnGotoStart)
ON_BN_CLICKED(IDC_PREVIEW_GOTO_END, OnGotoEnd)
ON_BN_CLICKED(IDC_PREVIEW_REWIND, OnRewind)
ON_BN_CLICKED(IDC_PREVIEW_FAST_FORWARD, OnFastForward)
ON_COMMAND(ID_PREVIEW_EXPORT_FRAME, OnExportFrame)
ON_COMMAND(ID_PREVIEW_HIDE_BLOCK, OnHideBlock)
ON_COMMAND(ID_PREVIEW_CUT_FROM, OnCutFromHere)
ON_COMMAND(ID_PREVIEW_CUT_TO, OnCutToHere)
ON_COMMAND(ID_PREVIEW_SPLIT, OnSplitHere)
ON_COMMAND(ID_PREVIEW_RESTORE_BLOCK, OnRestoreBlock)
ON_COMMAND(ID_PREVIEW_CONVERT_TO_STILL, OnConvertToStill)
ON_COMMAND(ID_PREVIEW_HIDE_BUTTON, OnHideButton)
ON_COMMAND(ID_PREVIEW_BYPASS_MENU, OnBypassMenu)
ON_COMMAND(ID_PREVIEW_SHOW_ORIGINAL, OnShowOriginal)
ON_NOTIFY(TSN_SELCHANGED, IDC_PREVIEW_SEGMENTS, OnSegmentSelected)
ON_NOTIFY(SPN_MOVED, IDC_PREVIEW_SPLITTER, OnSplitterMoved)
ON_MESSAGE(WM_PREVIEW_STOPPED, OnPreviewStopped)
ON_MESSAGE(WM_PREVIEW_STARTED, OnPreviewStarted)
ON_MESSAGE(WM_PREVIEW_VOBU, OnPreviewVobu)
ON_MESSAGE(WM_PREVIEW_PICTURE, OnPreviewPicture)
ON_MESSAGE(WM_PREVIEW_END, OnPreviewEnd)
END_MESSAGE_MAP()

CCellPreviewWnd::CCellPreviewWnd(bool bReadOnly, BYTE nDisplayFlags)
    : CCustomWnd(s_strClassName), m_nDisplayFlags(nDisplayFlags), m_bReadOnly(bReadOnly ? 1 : 0),
      m_pCallback(new CPlayerCallback<CCellPreviewWnd>(&CCellPreviewWnd::OnPlayerEvent, this))
{
    if (CWinApp* pApp = AfxGetApp())
        m_nSplitPosition = int(pApp->GetProfileInt(kSettings, kSplitEntry, m_nSplitPosition));
    m_frame.SetFormat(0, 0, kPicYuv420, 0);
}

CCellPreviewWnd::~CCellPreviewWnd()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
    // the player must not call a callback that is going
    ClosePlayer();
}

// ---- creation and layout ---------------------------------------------------

void CCellPreviewWnd::OnCreated()
{
    m_slider.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, CRect(0, 0, 0, 0), this, IDC_PREVIEW_SLIDER);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_PAGE;
    info.nPage = kSliderPage;
    m_slider.SetScrollInfo(&info, FALSE);
    m_tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_PREVIEW_SEGMENTS, TSF_BUTTONS);
    for (int i = 0; i < 5; ++i)
    {
        CPreviewButton& button = m_buttons[i];
        button.Create("", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 0, PREVIEW_ROW_HEIGHT, PREVIEW_ROW_HEIGHT),
                      this, kTransport[i].nId);
        button.SetFlat(true);
        button.SetDrawBorder(false);
        button.SetDrawFocusRect(false);
        button.SetButtonCursor(int(reinterpret_cast<uintptr_t>(IDC_HAND)));
        SetTransportLook(kTransport[i].nId, false);
    }
    m_splitter.Create(WS_CHILD | WS_VISIBLE, CRect(m_nSplitPosition, 0, m_nSplitPosition + 5, PREVIEW_ROW_HEIGHT), this,
                      IDC_PREVIEW_SPLITTER);
    m_splitter.SetOrientation(CSplitterBar::vertical);
    SetCell(nullptr, nullptr);
    SetFont(nullptr);
}

void CCellPreviewWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    if (pFont == nullptr)
        pFont = GetParentFont(*this);
    if (pFont == nullptr)
        return;
    CCustomWnd::SetFont(pFont, bRedraw);
    if (!MakeCaptionFont(*pFont, m_captionFont))
        return;
    PaintBackground();
    if (bRedraw)
        Invalidate(FALSE);
}

void CCellPreviewWnd::OnLayout()
{
    if (m_slider.m_hWnd == nullptr)
        return;
    CRect client;
    GetClientRect(&client);
    const int cx = client.Width() > PREVIEW_MAX_CLIENT ? 0 : client.Width();
    const int cy = client.Height() > PREVIEW_MAX_CLIENT ? 0 : client.Height();
    const int y = cy - PREVIEW_ROW_HEIGHT;
    const int s = std::max(0, std::min(m_nSplitPosition, cx - kSplitMargin));
    m_tabs.MoveWindow(0, y, s, PREVIEW_ROW_HEIGHT);
    m_splitter.SetWindowPos(nullptr, s, y, 5, PREVIEW_ROW_HEIGHT, SWP_NOZORDER | SWP_NOACTIVATE);
    m_splitter.SetRange(kSplitMargin, cx - kSplitMargin);
    CRect bar;
    m_splitter.GetWindowRect(&bar);
    ScreenToClient(&bar);
    int x = bar.right;
    for (CPreviewButton& button : m_buttons)
    {
        button.MoveWindow(x, y, PREVIEW_ROW_HEIGHT, PREVIEW_ROW_HEIGHT);
        x += PREVIEW_ROW_HEIGHT;
    }
    m_slider.MoveWindow(x, y, std::max(0, cx - x), PREVIEW_ROW_HEIGHT);
    UpdatePictureRect();
    PaintBackground();
}

void CCellPreviewWnd::UpdatePictureRect()
{
    kx::ScopedLock lock(m_lock);
    CRect client;
    GetClientRect(&client);
    m_rcPicture = ComputePictureRect(client.Width(), client.Height(), m_nFrameWidth, m_nFrameHeight,
                                     (m_nDisplayFlags & PREVIEW_NATURAL_SIZE) != 0);
    const DWORD w = DWORD(m_rcPicture.Width());
    const DWORD h = DWORD(m_rcPicture.Height());
    m_rgb.SetFormat(w, h, kPicRgb32, 0);
    m_yuv.SetFormat(w, h, kPicYuv420, 0);
    ScaleGeometry geometry;
    geometry.width = int32_t(w);
    geometry.height = int32_t(h);
    geometry.pictureAspect = 0.0;
    geometry.targetAspect = 1.0;
    m_scaler.SetGeometry(geometry);
}

void CCellPreviewWnd::OnEnableChanged(BOOL bEnabled)
{
    m_slider.EnableWindow(bEnabled);
    m_tabs.EnableWindow(bEnabled);
    m_splitter.EnableWindow(bEnabled);
    // a single-VOBU unit keeps its slider disabled
    if (bEnabled)
        UpdateControls();
}

CPreviewButton& CCellPreviewWnd::GetTransportButton(UINT nId)
{
    return m_buttons[TransportIndex(nId)];
}

CString CCellPreviewWnd::GetTransportTip(UINT nId) const
{
    const CPreviewButton& button = m_buttons[TransportIndex(nId)];
    if (button.m_wndToolTip.m_hWnd == nullptr)
        return CString();
    char text[80] = "";
    TOOLINFOA info = {};
    info.cbSize = sizeof info;
    info.hwnd = button.m_hWnd;
    info.uId = 1;
    info.lpszText = text;
    ::SendMessageA(button.m_wndToolTip.m_hWnd, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return CString(text);
}

// ---- the unit ----------------------------------------------------------------

void CCellPreviewWnd::SetCell(CVobCell* pUnit, const PreviewState* pState)
{
    const int nKeptButton = m_nCurrentButton;
    ClosePlayer();
    m_tabs.SetCurSel(0);
    {
        kx::ScopedLock lock(m_lock);
        KillTimer(kWatchTimer);
        StopScanning();
    }
    m_bPlaying = 0;
    m_nHotButton = -1;
    m_nCurrentButton = 0;
    m_pUnit = pUnit;
    m_bWideScreen = 0;
    m_pDvd = nullptr;
    if (pUnit != nullptr)
    {
        m_pDvd = pUnit->GetDvd();
        m_bWideScreen = IsWideScreenUnit(*pUnit) ? 1 : 0;
    }
    {
        kx::ScopedLock lock(m_lock);
        m_stream.Open(pUnit, 0);
        m_frame.SetFormat(0, 0, kPicYuv420, 0);
        m_rgb.SetFormat(0, 0, kPicRgb32, 0);
        m_yuv.SetFormat(0, 0, kPicYuv420, 0);
    }
    // Opening waits for the player's threads, whose callback takes the lock.
    OpenPlayer();
    {
        kx::ScopedLock lock(m_lock);
        CPreviewPlayer* pPlayer = Player();
        const bool bDecoded = pUnit != nullptr && m_bPlayerOpen && pPlayer != nullptr;
        GetPreviewFrameSize(bDecoded ? pPlayer->GetPictureWidth() : 0, bDecoded ? pPlayer->GetPictureHeight() : 0,
                            m_bWideScreen != 0, m_nFrameWidth, m_nFrameHeight);
        GetTransportButton(IDC_PREVIEW_PLAY).EnableWindow(pUnit != nullptr);
        UpdatePictureRect();
    }
    m_tabs.DeleteAllTabs();
    UpdateControls();

    if (pState != nullptr)
    {
        SeekToVobu(pState->nVobu);
        SetAudioStream(pState->audio, pState->dwAudioValue);
        SetSubpictureStream(pState->nSubpicture, pState->dwSubpictureValue);
        SelectButton(pState->nButton, false);
    }
    else
    {
        // the button and sub-picture choice stay what they were, so that
        // GetState reports what is shown
        const BYTE none[2] = {0, 0};
        SeekToVobu(0);
        SetAudioStream(none, m_dwAudioValue);
        m_nCurrentButton = nKeptButton;
    }
    UpdateButtonGroup();
    PaintBackground();
    Invalidate(FALSE);
    SetTimer(kWatchTimer, 500, nullptr);
}

CCellPreviewWnd::PreviewState CCellPreviewWnd::GetState() const
{
    PreviewState state;
    state.nVobu = GetCurrentVobu();
    state.nButton = m_nCurrentButton;
    state.audio[0] = m_audio[0];
    state.audio[1] = m_audio[1];
    state.nSubpicture = m_nSubpicture;
    state.dwAudioValue = m_dwAudioValue;
    state.dwSubpictureValue = m_dwSubpictureValue;
    return state;
}

void CCellPreviewWnd::SetAudioStream(const BYTE ids[2], DWORD dwValue)
{
    m_audio[0] = ids[0];
    m_audio[1] = ids[1];
    m_dwAudioValue = dwValue;
    if (m_bPlayerOpen && Player() != nullptr)
        Player()->SetAudioStream(AudioSelection(m_audio));
    else
        OpenPlayer();
}

void CCellPreviewWnd::SetSubpictureStream(int nStream, DWORD dwValue)
{
    m_nSubpicture = nStream;
    m_dwSubpictureValue = dwValue;
    if (m_bPlayerOpen && Player() != nullptr)
        Player()->SetSubpictureStream(GetSubpictureSubstreamId(BYTE(nStream)));
    else
        OpenPlayer();
}

void CCellPreviewWnd::StopPreview()
{
    ClosePlayer();
    kx::ScopedLock lock(m_lock);
    KillTimer(kWatchTimer);
    StopScanning();
}

void CCellPreviewWnd::OpenPlayer()
{
    ClosePlayer();
    CPreviewPlayer* pPlayer = Player();
    if (pPlayer == nullptr || m_pUnit == nullptr)
        return;
    CClut clut;
    m_pUnit->GetPalette(clut);
    DWORD palette[16];
    static_assert(sizeof palette == sizeof clut.colours, "one DWORD per palette entry");
    std::memcpy(palette, clut.colours, sizeof palette);
    if (!pPlayer->Open(&m_stream, false, palette, m_pCallback.get()))
        return;
    pPlayer->SetAudioStream(AudioSelection(m_audio));
    pPlayer->SetSubpictureStream(GetSubpictureSubstreamId(BYTE(m_nSubpicture)));
    m_bPlayerOpen = true;
}

void CCellPreviewWnd::ClosePlayer()
{
    if (m_bPlayerOpen && Player() != nullptr)
        Player()->Close();
    m_bPlayerOpen = false;
}

void CCellPreviewWnd::SeekToVobu(int nVobu)
{
    if (m_pUnit == nullptr)
        return;
    const uint32_t nCount = m_pUnit->HasStillSource() ? 1 : m_pUnit->GetVobuCount();
    // a unit without VOBUs has nowhere to go
    if (m_pUnit->GetVobuCount() == 0 || nCount == 0)
        return;
    if (!m_bPlayerOpen)
        OpenPlayer();
    if (!m_bPlayerOpen)
        return;
    const uint32_t v = std::min(uint32_t(std::max(nVobu, 0)), nCount - 1);
    const int64_t nPosition = m_stream.SourceToStreamPosition(uint64_t(m_pUnit->GetSourceVobus()[v]) * 2048);
    if (m_slider.IsWindowEnabled())
        SetSliderPosition(int(v));
    Player()->Seek(uint64_t(std::max<int64_t>(nPosition, 0)));
}

int CCellPreviewWnd::GetCurrentVobu() const
{
    if (m_slider.m_hWnd == nullptr || !m_slider.IsWindowEnabled())
        return 0;
    return m_slider.GetScrollPos();
}

void CCellPreviewWnd::SetSliderPosition(int nPosition)
{
    m_slider.SetScrollPos(nPosition, TRUE);
}

void CCellPreviewWnd::UpdateControls()
{
    const BOOL bOpen = m_bPlayerOpen ? TRUE : FALSE;
    GetTransportButton(IDC_PREVIEW_PLAY).EnableWindow(bOpen);
    GetTransportButton(IDC_PREVIEW_GOTO_START).EnableWindow(bOpen);
    GetTransportButton(IDC_PREVIEW_GOTO_END).EnableWindow(bOpen);
    const uint32_t nVobus = m_pUnit != nullptr ? m_pUnit->GetVobuCount() : 0;
    if (nVobus > 1)
    {
        m_slider.EnableWindow(TRUE);
        m_slider.SetScrollRange(0, int(nVobus) - 1, TRUE);
        const BOOL bScan = bOpen && !m_pUnit->HasStillSource();
        GetTransportButton(IDC_PREVIEW_REWIND).EnableWindow(bScan);
        GetTransportButton(IDC_PREVIEW_FAST_FORWARD).EnableWindow(bScan);
    }
    else
    {
        m_slider.SetScrollRange(0, 1, FALSE);
        m_slider.SetScrollPos(0, TRUE);
        m_slider.EnableWindow(FALSE);
        GetTransportButton(IDC_PREVIEW_REWIND).EnableWindow(FALSE);
        GetTransportButton(IDC_PREVIEW_FAST_FORWARD).EnableWindow(FALSE);
        GetTransportButton(IDC_PREVIEW_GOTO_START).EnableWindow(FALSE);
        GetTransportButton(IDC_PREVIEW_GOTO_END).EnableWindow(FALSE);
    }
    // a unit without highlights has one segment without buttons, and no tab
    if (m_pUnit != nullptr && m_pUnit->HasButtons())
        for (uint32_t s = 0; s < m_pUnit->GetSegmentCount(); ++s)
        {
            CString text;
            text.Format("set %d (%d buttons)", int(s + 1), int(m_pUnit->GetSegment(s)->GetButtonCount()));
            m_tabs.AddTab(text);
        }
}

CButtonSegment* CCellPreviewWnd::GetCurrentSegment() const
{
    const int nTab = m_tabs.m_hWnd != nullptr ? m_tabs.GetCurSel() : -1;
    if (m_pUnit == nullptr || nTab < 0 || uint32_t(nTab) >= m_pUnit->GetSegmentCount())
        return nullptr;
    return m_pUnit->GetSegment(uint32_t(nTab));
}

void CCellPreviewWnd::UpdateButtonGroup()
{
    m_nCurrentGroup = 0;
    if (m_pUnit != nullptr && m_pUnit->GetSegmentCount() > 0)
    {
        const uint32_t nVobu = uint32_t(GetCurrentVobu());
        uint32_t nSegment = 0;
        for (uint32_t s = 1; s < m_pUnit->GetSegmentCount(); ++s)
            if (m_pUnit->GetSegment(s)->GetFirstVobu() <= nVobu)
                nSegment = s;
        m_tabs.SetCurSel(int(nSegment));
        const CButtonSegment* pSegment = m_pUnit->GetSegment(nSegment);
        if (pSegment->GetButtonCount() > 0)
            m_nCurrentGroup = std::max(0, pSegment->GetButton(0)->FindGroup(m_bWideScreen));
        m_tabs.Invalidate(FALSE);
    }
    m_nHotButton = -1;
    SelectButton(m_nCurrentButton, false);
}

void CCellPreviewWnd::SelectButton(int nButton, bool /*bByMouse*/)
{
    const CButtonSegment* pSegment = GetCurrentSegment();
    if (pSegment == nullptr || nButton < 0 || uint32_t(nButton) >= pSegment->GetButtonCount())
        return;
    m_nCurrentButton = nButton;
    PaintBackground();
    Invalidate(FALSE);
}

CPreviewMapping CCellPreviewWnd::GetMapping() const
{
    CPreviewMapping mapping;
    mapping.rect = m_rcPicture;
    mapping.nFrameWidth = m_nFrameWidth;
    mapping.nFrameHeight = m_nFrameHeight;
    mapping.bWideScreen = m_bWideScreen != 0;
    return mapping;
}

// ---- the player --------------------------------------------------------------

int64_t CCellPreviewWnd::OnPlayerEvent(const CPlayerEvent* pEvent)
{
    kx::ScopedLock lock(m_lock);
    const HWND hWnd = m_hWnd;
    const bool bWindow = hWnd != nullptr && ::IsWindow(hWnd);
    CPreviewPlayer* pPlayer = Player();
    switch (pEvent->code)
    {
    case kPlayerClosed:
        m_bPlayerOpen = false;
        // the timers belong to the GUI thread
        if (bWindow)
            ::PostMessage(hWnd, WM_PREVIEW_END, 0, 0);
        break;
    case kPlayerPicture:
        if (bWindow)
        {
            const CVideoPicture* pPicture = reinterpret_cast<const CVideoPicture*>(uintptr_t(pEvent->value));
            if (pPicture != nullptr)
            {
                m_frame.SetFormat(pPicture->GetWidth(), pPicture->GetHeight(), kPicYuv420, pPicture->GetFlags());
                const bool bPlaying = pPlayer != nullptr && pPlayer->IsPlaying();
                if (!(bPlaying && (pPicture->GetFlags() & kPicFieldPicture) != 0 &&
                      m_deinterlacer.Process(pPicture, &m_frame)))
                    m_frame.Convert(*pPicture);
            }
            else
                m_frame.SetFormat(0, 0, kPicYuv420, 0);
            if (m_slider.m_hWnd != nullptr && ::IsWindowEnabled(m_slider.m_hWnd) && m_pUnit != nullptr)
            {
                const uint32_t nVobu =
                    m_pUnit->HasStillSource() || pPlayer == nullptr
                        ? 0
                        : FindPreviewVobu(*m_pUnit, m_stream, pPlayer->GetPosition(), m_stream.GetSize());
                ::PostMessage(hWnd, WM_PREVIEW_VOBU, WPARAM(nVobu), 0);
            }
            if (pEvent->flag == 0)
                ::PostMessage(hWnd, WM_PREVIEW_PICTURE, 0, 0);
        }
        break;
    case kPlayerStopped:
        if (bWindow)
        {
            m_deinterlacer.Free();
            ::PostMessage(hWnd, WM_PREVIEW_STOPPED, 0, 0);
        }
        break;
    case kPlayerStarted:
        if (bWindow)
        {
            if (pPlayer != nullptr)
                m_deinterlacer.Init(DWORD(pPlayer->GetPictureWidth()), DWORD(pPlayer->GetPictureHeight()), kPicYuv420,
                                    1, 20);
            ::PostMessage(hWnd, WM_PREVIEW_STARTED, 0, 0);
        }
        break;
    case kPlayerSubpictureSet:
    case kPlayerAudioSet:
        if (bWindow && (pPlayer == nullptr || !pPlayer->IsPlaying()))
            ::PostMessage(hWnd, WM_PREVIEW_PICTURE, 0, 0);
        break;
    case kPlayerEndOfStream:
        if (bWindow)
            ::PostMessage(hWnd, WM_PREVIEW_END, 0, 0);
        break;
    default: break;
    }
    return 0;
}

LRESULT CCellPreviewWnd::OnPreviewStopped(WPARAM, LPARAM)
{
    ShowPlay();
    PaintBackground();
    InvalidateRect(&m_rcPicture, FALSE);
    return 0;
}

LRESULT CCellPreviewWnd::OnPreviewStarted(WPARAM, LPARAM)
{
    m_bPlaying = 1;
    SetTransportLook(IDC_PREVIEW_PLAY, true);
    return 0;
}

LRESULT CCellPreviewWnd::OnPreviewVobu(WPARAM wParam, LPARAM)
{
    const int nOld = GetCurrentVobu();
    SetSliderPosition(int(wParam));
    if (WORD(nOld) != WORD(GetCurrentVobu()))
        UpdateButtonGroup();
    return 0;
}

LRESULT CCellPreviewWnd::OnPreviewPicture(WPARAM, LPARAM)
{
    RepaintPicture();
    return 0;
}

LRESULT CCellPreviewWnd::OnPreviewEnd(WPARAM, LPARAM)
{
    StopScanning();
    return 0;
}

// ---- transport -----------------------------------------------------------------

void CCellPreviewWnd::SetTransportLook(UINT nId, bool bStop)
{
    const CTransportLook& look = kTransport[TransportIndex(nId)];
    CPreviewButton& button = GetTransportButton(nId);
    if (bStop)
        button.SetIconFromResource(IDI_PREVIEW_STOP_HOVER, IDI_PREVIEW_STOP);
    else
        button.SetIconFromResource(look.nHoverIcon, look.nIcon);
    button.SetTooltipText(bStop ? "Stop" : look.pszTip);
}

void CCellPreviewWnd::ShowPlay()
{
    m_bPlaying = 0;
    SetTransportLook(IDC_PREVIEW_PLAY, false);
}

void CCellPreviewWnd::StartScanning(bool bForward)
{
    m_bScanning = 1;
    m_bScanForward = bForward ? 1 : 0;
    m_bRewindStop = bForward ? 0 : 1;
    SetTransportLook(bForward ? IDC_PREVIEW_FAST_FORWARD : IDC_PREVIEW_REWIND, true);
    SetTimer(kScanTimer, 100, nullptr);
}

void CCellPreviewWnd::StopScanning()
{
    if (!m_bScanning)
        return;
    m_bScanning = 0;
    KillTimer(kScanTimer);
    if (m_bScanForward)
        SetTransportLook(IDC_PREVIEW_FAST_FORWARD, false);
    if (m_bRewindStop)
        SetTransportLook(IDC_PREVIEW_REWIND, false);
    m_bScanForward = 0;
    m_bRewindStop = 0;
}

void CCellPreviewWnd::OnPlayStop()
{
    StopScanning();
    CPreviewPlayer* pPlayer = Player();
    if (pPlayer == nullptr)
        return;
    if (m_bPlaying)
        pPlayer->Pause();
    else
    {
        if (!m_bPlayerOpen)
            OpenPlayer();
        if (m_bPlayerOpen)
            pPlayer->Play();
    }
}

void CCellPreviewWnd::OnGotoStart()
{
    StopScanning();
    SeekToVobu(0);
    UpdateButtonGroup();
    ShowPlay();
}

void CCellPreviewWnd::OnGotoEnd()
{
    if (m_pUnit == nullptr)
        return;
    StopScanning();
    SeekToVobu(int(m_pUnit->GetVobuCount()) - 1);
    UpdateButtonGroup();
    ShowPlay();
}

void CCellPreviewWnd::OnRewind()
{
    const bool bRewinding = m_bScanning && !m_bScanForward;
    StopScanning();
    if (!bRewinding)
        StartScanning(false);
    ShowPlay();
}

void CCellPreviewWnd::OnFastForward()
{
    const bool bForwarding = m_bScanning && m_bScanForward;
    StopScanning();
    if (!bForwarding)
        StartScanning(true);
    ShowPlay();
}

void CCellPreviewWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kScanTimer)
    {
        if (!m_bScanning)
            return;
        const int v = GetCurrentVobu();
        int nTarget = v;
        {
            kx::ScopedLock lock(m_lock);
            const int nLast = m_pUnit != nullptr ? int(m_pUnit->GetVobuCount()) - 1 : 0;
            nTarget = m_bScanForward ? std::min(v + kScanStep, nLast) : std::max(v - kScanStep, 0);
        }
        if (nTarget == v)
            StopScanning();
        else
        {
            SeekToVobu(nTarget);
            UpdateButtonGroup();
        }
        return;
    }
    if (nIDEvent != kWatchTimer)
    {
        CCustomWnd::OnTimer(nIDEvent);
        return;
    }
    if (!m_bOverlayVisible && GetFocus() != this)
    {
        m_bOverlayVisible = 1;
        PaintBackground();
        Invalidate(FALSE);
    }
    if (m_nHotButton < 0 && m_bOverlayVisible)
        return;
    kx::ScopedLock lock(m_lock);
    CPoint cursor;
    ::GetCursorPos(&cursor);
    if (::WindowFromPoint(cursor) != m_hWnd)
    {
        m_nHotButton = -1;
        if (!m_bOverlayVisible)
        {
            m_bOverlayVisible = 1;
            PaintBackground();
        }
        Invalidate(FALSE);
        UpdateWindow();
    }
}

void CCellPreviewWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar == nullptr || pScrollBar->m_hWnd != m_slider.m_hWnd)
    {
        CCustomWnd::OnHScroll(nSBCode, nPos, pScrollBar);
        return;
    }
    int nMin = 0, nMax = 0;
    m_slider.GetScrollRange(&nMin, &nMax);
    const int nOld = m_slider.GetScrollPos();
    int nNew = nOld;
    switch (nSBCode)
    {
    case SB_LINEUP: nNew = nOld - 1; break;
    case SB_LINEDOWN: nNew = nOld + 1; break;
    case SB_PAGEUP: nNew = nOld - kSliderPage; break;
    case SB_PAGEDOWN: nNew = nOld + kSliderPage; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
    {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        m_slider.GetScrollInfo(&info, SIF_TRACKPOS);
        nNew = info.nTrackPos;
        break;
    }
    case SB_TOP: nNew = nMin; break;
    case SB_BOTTOM: nNew = nMax; break;
    default: return;
    }
    nNew = std::max(nMin, std::min(nNew, nMax));
    if (nNew == nOld)
        return;
    StopScanning();
    SetSliderPosition(nNew);
    SeekToVobu(nNew);
    UpdateButtonGroup();
}

void CCellPreviewWnd::OnSegmentSelected(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const NMTABSTRIP* pNotice = reinterpret_cast<const NMTABSTRIP*>(pNMHDR);
    m_nHotButton = -1;
    if (m_pUnit == nullptr || pNotice->nTab < 0 || uint32_t(pNotice->nTab) >= m_pUnit->GetSegmentCount())
        return;
    SeekToVobu(int(m_pUnit->GetSegment(uint32_t(pNotice->nTab))->GetFirstVobu()));
    UpdateButtonGroup();
}

void CCellPreviewWnd::OnSplitterMoved(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const NMSPLITTER* pNotice = reinterpret_cast<const NMSPLITTER*>(pNMHDR);
    m_nSplitPosition = std::max(pNotice->newPos, kSplitMargin);
    if (CWinApp* pApp = AfxGetApp())
        pApp->WriteProfileInt(kSettings, kSplitEntry, m_nSplitPosition);
    OnLayout();
    Invalidate(FALSE);
}

// ---- mouse and keys --------------------------------------------------------------

int CCellPreviewWnd::HitTestButton(CPoint point) const
{
    const CButtonSegment* pSegment = GetCurrentSegment();
    if (pSegment == nullptr || m_nCurrentGroup < 0)
        return -1;
    const CPoint frame = GetMapping().ToFrame(point.x, point.y);
    for (uint32_t i = 0; i < pSegment->GetButtonCount(); ++i)
    {
        const CButtonGroupEntry& entry = pSegment->GetButton(i)->GetGroup(m_nCurrentGroup);
        if (frame.x >= int(entry.dwXStart) && frame.x <= int(entry.dwXEnd) && frame.y >= int(entry.dwYStart) &&
            frame.y <= int(entry.dwYEnd))
            return int(i);
    }
    return -1;
}

void CCellPreviewWnd::UpdateHotButton(CPoint point)
{
    const int nOld = m_nHotButton;
    m_nHotButton = HitTestButton(point);
    if (m_bOverlayVisible && m_nHotButton != nOld)
    {
        InvalidateRect(&m_rcPicture, FALSE);
        UpdateWindow();
    }
}

void CCellPreviewWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    UpdateHotButton(point);
    CCustomWnd::OnMouseMove(nFlags, point);
}

void CCellPreviewWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    UpdateHotButton(point);
    SetFocus();
    if (m_nHotButton >= 0)
        SelectButton(m_nHotButton, true);
    CCustomWnd::OnLButtonDown(nFlags, point);
}

void CCellPreviewWnd::OnRButtonDown(UINT nFlags, CPoint point)
{
    UpdateHotButton(point);
    SetFocus();
    m_ptRightClick = point;
    if (m_rcPicture.PtInRect(point) && m_nHotButton >= 0)
        SelectButton(m_nHotButton, true);
    CCustomWnd::OnRButtonDown(nFlags, point);
}

void CCellPreviewWnd::OnRButtonUp(UINT nFlags, CPoint point)
{
    CCustomWnd::OnRButtonUp(nFlags, point);
    if (m_bReadOnly || m_pUnit == nullptr || !m_rcPicture.PtInRect(point))
        return;
    if (m_bPlayerOpen && Player() != nullptr)
        Player()->Pause();
    CButtonSegment* pSegment = GetCurrentSegment();
    if (m_nHotButton >= 0 && pSegment != nullptr)
    {
        m_nMenuButton = m_nHotButton;
        const bool bBypass = BypassMenuQualifies(*pSegment, m_nMenuButton, m_nCurrentGroup, m_pUnit->GetDomain());
        TrackContextMenu(*this, ButtonMenu(m_pUnit->CanEdit(), bBypass), point);
        return;
    }
    // A unit without highlights has no segment tab; one with them needs
    // the segment the menu's commands would act on.
    if (m_tabs.GetTabCount() > 0 && pSegment == nullptr)
        return;
    bool bFrameValid = false;
    {
        kx::ScopedLock lock(m_lock);
        bFrameValid = m_frame.IsValid();
    }
    TrackContextMenu(*this, CellPreviewMenu(GetCellMenuFacts(*m_pUnit, uint32_t(GetCurrentVobu()), bFrameValid)),
                     point);
}

void CCellPreviewWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    int nDirection = -1;
    switch (nChar)
    {
    case VK_LEFT: nDirection = BTNDIR_LEFT; break;
    case VK_RIGHT: nDirection = BTNDIR_RIGHT; break;
    case VK_UP: nDirection = BTNDIR_UP; break;
    case VK_DOWN: nDirection = BTNDIR_DOWN; break;
    case VK_F6:
        if (m_bOverlayVisible)
        {
            m_bOverlayVisible = 0;
            if (!m_bPlaying)
            {
                PaintBackground();
                Invalidate(FALSE);
            }
        }
        return;
    default: CCustomWnd::OnKeyDown(nChar, nRepCnt, nFlags); return;
    }
    const CButtonSegment* pSegment = GetCurrentSegment();
    if (pSegment != nullptr && m_nCurrentGroup >= 0 && m_nCurrentButton >= 0 &&
        uint32_t(m_nCurrentButton) < pSegment->GetButtonCount())
    {
        const int nLink =
            pSegment->GetButton(uint32_t(m_nCurrentButton))->GetGroup(m_nCurrentGroup).neighbours[nDirection];
        if (nLink >= 0 && nLink != m_nCurrentButton)
            SelectButton(nLink, false);
    }
    m_nHotButton = -1;
}

void CCellPreviewWnd::OnCaptureChanged(CWnd* pWnd)
{
    m_bOverlayVisible = 1;
    CCustomWnd::OnCaptureChanged(pWnd);
}

void CCellPreviewWnd::OnClose()
{
    ClosePlayer();
    kx::ScopedLock lock(m_lock);
    CCustomWnd::OnClose();
}

void CCellPreviewWnd::OnDestroy()
{
    ClosePlayer();
    kx::ScopedLock lock(m_lock);
    KillTimer(kWatchTimer);
    KillTimer(kScanTimer);
    CCustomWnd::OnDestroy();
}

// ---- painting ------------------------------------------------------------------

void CCellPreviewWnd::PaintBackground()
{
    if (!m_bmBack.GetSafeHandle())
        return;
    CBufferedDC dc(this, FALSE);
    CRect client;
    GetClientRect(&client);
    dc.PatBlt(0, 0, client.Width(), std::max(0, client.Height() - PREVIEW_ROW_HEIGHT), PATCOPY);
    PaintFrame(dc);
    PaintButtons(dc);
}

void CCellPreviewWnd::RepaintPicture()
{
    if (!m_bmBack.GetSafeHandle())
        return;
    CBufferedDC dc(this, FALSE);
    dc.IntersectClipRect(&m_rcPicture);
    PaintFrame(dc);
    PaintButtons(dc);
    InvalidateRect(&m_rcPicture, FALSE);
}

void CCellPreviewWnd::PaintFrame(CDC& dc)
{
    bool bValid = false;
    {
        kx::ScopedLock lock(m_lock);
        bValid = m_frame.IsValid();
    }
    if (m_pUnit != nullptr && bValid)
    {
        PaintPicture(dc);
        PaintOverlay(dc);
        return;
    }
    dc.FillSolidRect(&m_rcPicture, RGB(80, 80, 80));
    CFont* pOld = m_captionFont.GetSafeHandle() ? dc.SelectObject(&m_captionFont) : nullptr;
    dc.SetTextColor(RGB(255, 255, 255));
    dc.SetBkMode(TRANSPARENT);
    CRect rect = m_rcPicture;
    dc.DrawText(m_pUnit == nullptr ? "no data" : "no video present", &rect,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    if (pOld != nullptr)
        dc.SelectObject(pOld);
}

void CCellPreviewWnd::PaintPicture(CDC& dc)
{
    kx::ScopedLock lock(m_lock);
    if (!m_yuv.IsValid() || !m_frame.IsValid())
        return;
    const CVideoPicture* pSource = &m_frame;
    if (m_rgb.GetWidth() != m_frame.GetWidth() || m_rgb.GetHeight() != m_frame.GetHeight())
    {
        if (!m_scaler.Scale(m_frame, m_yuv))
            return;
        pSource = &m_yuv;
    }
    m_rgb.Convert(*pSource);
    ::SetDIBitsToDevice(dc.GetSafeHdc(), m_rcPicture.left, m_rcPicture.top, m_rgb.GetWidth(), m_rgb.GetHeight(), 0, 0,
                        0, m_rgb.GetHeight(), m_rgb.GetData(),
                        reinterpret_cast<const BITMAPINFO*>(&m_rgb.GetBitmapInfo().header), DIB_RGB_COLORS);
}

void CCellPreviewWnd::PaintOverlay(CDC& dc)
{
    if (!GetOptionShowPreviewInfo() || !m_bOverlayVisible || m_pUnit == nullptr)
        return;
    CFont* pOld = m_captionFont.GetSafeHandle() ? dc.SelectObject(&m_captionFont) : nullptr;
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(0, 128, 0));
    dc.SetTextColor(RGB(255, 255, 255));
    const CVobCell& unit = *m_pUnit;
    const uint64_t nSize = unit.GetEstimatedSize();
    const int32_t nDuration =
        unit.GetVobuCount() == 0 ? 0 : int32_t(unit.GetLastPci().GetVobuEPtm() - unit.GetFirstPci().GetVobuSPtm());
    CRect rect = m_rcPicture;
    dc.DrawText(FormatPreviewInfo(nSize, nDuration, unit.GetFrameRate(), unit.IsModified()), &rect, 0);
    if (!m_bReadOnly)
    {
        CPreviewPlayer* pPlayer = Player();
        const uint64_t nPosition = pPlayer != nullptr && m_bPlayerOpen ? pPlayer->GetPosition() : 0;
        const WORD wAudio = pPlayer != nullptr ? pPlayer->GetAudioStream() : AudioSelection(m_audio);
        const BYTE nSubpicture =
            pPlayer != nullptr ? pPlayer->GetSubpictureStream() : GetSubpictureSubstreamId(BYTE(m_nSubpicture));
        const uint32_t nVobu = FindPreviewVobu(unit, m_stream, nPosition, m_stream.GetSize());
        rect = m_rcPicture;
        dc.DrawText(
            FormatPreviewPosition(nPosition, nSize, int(nVobu) + 1, LOBYTE(wAudio), HIBYTE(wAudio), nSubpicture), &rect,
            DT_RIGHT);
    }
    if (pOld != nullptr)
        dc.SelectObject(pOld);
}

void CCellPreviewWnd::PaintButtons(CDC& dc)
{
    const CButtonSegment* pSegment = GetCurrentSegment();
    if (!m_bOverlayVisible || m_pUnit == nullptr || pSegment == nullptr || m_nCurrentGroup < 0)
        return;
    const CPreviewMapping mapping = GetMapping();
    CFont* pOld = m_captionFont.GetSafeHandle() ? dc.SelectObject(&m_captionFont) : nullptr;
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(RGB(255, 0, 0));
    dc.SetTextColor(RGB(255, 255, 255));
    CBrush red(RGB(255, 0, 0));
    CBrush green(RGB(0, 255, 0));
    const uint32_t nButtons = pSegment->GetButtonCount();
    for (uint32_t i = 0; i < nButtons; ++i)
    {
        CRect rect = mapping.ToPicture(pSegment->GetButton(i)->GetGroup(m_nCurrentGroup));
        CString label;
        label.Format(" %d ", int(i + 1));
        CRect text = rect;
        dc.DrawText(label, &text, DT_CENTER | DT_VCENTER | DT_NOCLIP);
        dc.FrameRect(&rect, &red);
        if (int(i) == m_nCurrentButton)
        {
            CRect outer = rect;
            outer.InflateRect(1, 1);
            dc.FrameRect(&outer, &green);
            CRect inner = rect;
            inner.DeflateRect(1, 1);
            dc.FrameRect(&inner, &green);
        }
    }
    const int nMode = GetOptionButtonLinkPointers();
    if (nMode != 0 && m_nCurrentButton >= 0 && uint32_t(m_nCurrentButton) < nButtons)
    {
        const CButtonGroupEntry& current = pSegment->GetButton(uint32_t(m_nCurrentButton))->GetGroup(m_nCurrentGroup);
        for (int k = 0; k < BTNDIR_COUNT; ++k)
        {
            const int nLink = current.neighbours[k];
            CPoint point;
            if (nLink < 0 || uint32_t(nLink) >= nButtons ||
                !GetLinkMarkerPoint(pSegment->GetButton(uint32_t(nLink))->GetGroup(m_nCurrentGroup), k, nMode, point))
                continue;
            DrawLinkMarker(dc, mapping.ToPicture(point.x, point.y), k);
        }
    }
    if (pOld != nullptr)
        dc.SelectObject(pOld);
}

void CCellPreviewWnd::Draw(CDC* pDC)
{
    const CButtonSegment* pSegment = GetCurrentSegment();
    if (!m_bOverlayVisible || pSegment == nullptr || m_nHotButton < 0 ||
        uint32_t(m_nHotButton) >= pSegment->GetButtonCount() || m_nCurrentGroup < 0)
        return;
    CRect rect = GetMapping().ToPicture(pSegment->GetButton(uint32_t(m_nHotButton))->GetGroup(m_nCurrentGroup));
    pDC->InvertRect(&rect);
    rect.DeflateRect(5, 5);
    if (!rect.IsRectEmpty())
        pDC->InvertRect(&rect);
}

// ---- frame export ----------------------------------------------------------------

bool CCellPreviewWnd::ExportFrame(LPCTSTR lpszPath)
{
    bool bSaved = false;
    try
    {
        kx::ScopedLock lock(m_lock);
        CVideoPicture picture;
        picture.SetFormat(m_frame.GetWidth(), m_frame.GetHeight(), kPicRgb32, 0);
        if (m_frame.IsValid() && picture.IsValid())
        {
            picture.Convert(m_frame);
            bSaved = SaveBitmapFile(picture.GetBitmapInfo().header, picture.GetData(), lpszPath);
        }
    }
    catch (const std::exception&)
    {
        bSaved = false;
    }
    if (!bSaved)
        AfxMessageBox("Error exporting frame");
    return bSaved;
}

void CCellPreviewWnd::OnExportFrame()
{
    if (m_pUnit == nullptr)
        return;
    CFileDialog dialog(FALSE, "bmp", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "Bitmap files (*.bmp)|*.bmp|All Files (*.*)|*.*||", this);
    if (dialog.DoModal() == IDOK)
        ExportFrame(dialog.GetPathName());
}

// ---- edit commands -------------------------------------------------------------

void CCellPreviewWnd::RunEdit(const std::function<bool(CVobCell* pUnit, uint32_t nVobu)>& edit)
{
    if (m_bReadOnly || m_pUnit == nullptr)
        return;
    // The host may hand the window another unit while the edit's end notice
    // goes round: the edit works on what was shown when it was chosen.
    CVobCell* pUnit = m_pUnit;
    const uint32_t nVobu = uint32_t(GetCurrentVobu());
    RunEditCommand(
        *this, [&] { return edit(pUnit, nVobu); }, "Ops. CCellPreviewWnd edit", PREVIEW_LOCATION);
}

void CCellPreviewWnd::ShowFromStart()
{
    if (m_pUnit == nullptr)
        return;
    PreviewState state = GetState();
    state.nVobu = 0;
    SetCell(m_pUnit, &state);
}

void CCellPreviewWnd::OnHideBlock()
{
    RunEdit([](CVobCell* pUnit, uint32_t) { return HideBlock(BlockOfUnit(pUnit)); });
}

void CCellPreviewWnd::OnCutFromHere()
{
    RunEdit([](CVobCell* pUnit, uint32_t nVobu) { return CutFromHere(pUnit, nVobu); });
}

void CCellPreviewWnd::OnCutToHere()
{
    bool bRan = false;
    RunEdit([&](CVobCell* pUnit, uint32_t nVobu) { return bRan = CutToHere(pUnit, nVobu); });
    if (bRan)
        ShowFromStart();
}

void CCellPreviewWnd::OnSplitHere()
{
    RunEdit([](CVobCell* pUnit, uint32_t nVobu) { return SplitHere(pUnit, nVobu); });
}

void CCellPreviewWnd::OnRestoreBlock()
{
    RunEdit([](CVobCell* pUnit, uint32_t) { return RestoreBlock(BlockOfUnit(pUnit)); });
}

void CCellPreviewWnd::OnConvertToStill()
{
    bool bRan = false;
    RunEdit([&](CVobCell* pUnit, uint32_t nVobu) { return bRan = ConvertToStillHere(pUnit, nVobu); });
    if (bRan)
        ShowFromStart();
}

void CCellPreviewWnd::OnHideButton()
{
    const int nSegment = m_tabs.GetCurSel();
    const int nButton = m_nMenuButton;
    RunEdit([&](CVobCell* pUnit, uint32_t) { return HideButton(pUnit, nSegment, nButton); });
}

void CCellPreviewWnd::OnBypassMenu()
{
    const int nSegment = m_tabs.GetCurSel();
    const int nButton = m_nMenuButton;
    const int nGroup = m_nCurrentGroup;
    RunEdit([&](CVobCell* pUnit, uint32_t) { return BypassMenu(pUnit, nSegment, nButton, nGroup); });
}

void CCellPreviewWnd::OnShowOriginal()
{
    CAngleBlock* pBlock = BlockOfUnit(m_pUnit);
    if (pBlock == nullptr || pBlock->GetIlvuCount() != 1 || pBlock->GetPristine(0) == nullptr)
        return;
    if (m_bPlayerOpen && Player() != nullptr)
        Player()->Pause();
    // A copy of the imported unit in a block of its own, which the domain
    // does not list: the popup can show it, and nothing reaches the project.
    CAngleBlock original(CVobCell::CopyConstruct(*pBlock->GetPristine(0), nullptr), nullptr, pBlock->GetList());
    original.GetIlvu(0)->SetParent(&original);
    const std::vector<CAngleBlock*> blocks = {&original};
    COriginalPreviewDlg dialog(blocks, this, "Original Preview");
    dialog.DoModal();
}
