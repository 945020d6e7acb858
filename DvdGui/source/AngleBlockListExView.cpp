#include "DvdGui/source/AngleBlockListExView.h"
#include "DVD/source/AngleBlock.h"
#include "DVD/source/VobCell.h"
#include "DvdGui/core/AppLog.h"
#include "DvdGui/core/BlockEdits.h"
#include "DvdGui/core/ThumbnailSearch.h"
#include "DvdGui/core/TileCaption.h"
#include "DvdGui/source/GuiHelpers.h"
#include "Shared/source/DvdFormat.h"

#include <vfw.h>

#include <cstring>
#include <exception>
#include <functional>

namespace
{

CString s_strClassName;

// The strip's timers: the hot tile and caption watch, and the repaints while
// thumbnails are made.
const UINT_PTR kWatchTimer = 0;
const UINT_PTR kRepaintTimer = 3;

#define STRIP_LOCATION FormatLocation("AngleBlockListExView.cpp", __LINE__)

static_assert(sizeof(CBitmapInfoHeader) == sizeof(BITMAPINFOHEADER), "a picture's header is a BITMAPINFOHEADER");

class CStripLock
{
public:
    explicit CStripLock(CRITICAL_SECTION& lock) : m_lock(lock) { EnterCriticalSection(&m_lock); }
    ~CStripLock() { LeaveCriticalSection(&m_lock); }
    CStripLock(const CStripLock&) = delete;
    CStripLock& operator=(const CStripLock&) = delete;

private:
    CRITICAL_SECTION& m_lock;
};

bool KeyDown(int vk)
{
    return GetKeyState(vk) < 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CAngleBlockListExView, CCustomWnd)
ON_WM_DESTROY()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_TIMER()
ON_MESSAGE(WM_BLOCKLIST_THUMBNAILS_DONE, OnThumbnailsDone)
ON_COMMAND(ID_BLOCKLIST_SELECT_ALL, OnSelectAll)
ON_COMMAND(ID_BLOCK_HIDE, OnHideBlocks)
ON_COMMAND(ID_BLOCK_HIDE_BEFORE, OnHideBlocksBefore)
ON_COMMAND(ID_BLOCK_HIDE_AFTER, OnHideBlocksAfter)
ON_COMMAND(ID_BLOCK_RESTORE, OnRestoreBlocks)
ON_COMMAND(ID_BLOCK_CONVERT_TO_STILL, OnConvertToStill)
END_MESSAGE_MAP()

CAngleBlockListExView::CAngleBlockListExView(bool bReadOnly, bool bShowCaptions)
    : CCustomWnd(s_strClassName), m_bReadOnly(bReadOnly), m_bShowCaptions(bShowCaptions), m_thread(this)
{
    InitializeCriticalSection(&m_lock);
}

CAngleBlockListExView::~CAngleBlockListExView()
{
    // While the strip is still itself: its WM_DESTROY pauses the thread.
    if (m_hWnd != nullptr)
        DestroyWindow();
    m_thread.StopThumbnails();
    DeleteCriticalSection(&m_lock);
}

BOOL CAngleBlockListExView::Create(LPCTSTR lpszTitle, UINT nID, CWnd* pParent, CWnd* pNotifyTarget, DWORD dwStyle,
                                   DWORD dwExStyle)
{
    CWnd* pTarget = pNotifyTarget != nullptr ? pNotifyTarget : pParent;
    m_hNotifyTarget = pTarget != nullptr ? pTarget->GetSafeHwnd() : nullptr;
    return CCustomWnd::CreateEx(dwExStyle, lpszTitle, dwStyle, CRect(0, 0, 0, 0), pParent, nID);
}

void CAngleBlockListExView::OnCreated()
{
    m_hScroll.Create(WS_CHILD | SBS_HORZ, CRect(0, 0, 0, 0), this, IDC_BLOCKLIST_HSCROLL);
    m_vScroll.Create(WS_CHILD | SBS_VERT, CRect(0, 0, 0, 0), this, IDC_BLOCKLIST_VSCROLL);
    SetFont(nullptr);
    m_hDrawDib = DrawDibOpen();
    m_hThreadTarget = m_hWnd;
}

void CAngleBlockListExView::OnDestroy()
{
    m_thread.StopThumbnails();
    m_hThreadTarget = nullptr;
    KillTimer(kWatchTimer);
    KillTimer(kRepaintTimer);
    if (m_hDrawDib != nullptr)
        DrawDibClose(static_cast<HDRAWDIB>(m_hDrawDib));
    m_hDrawDib = nullptr;
    CCustomWnd::OnDestroy();
}

void CAngleBlockListExView::SetFont(CFont* pFont, BOOL bRedraw)
{
    if (pFont == nullptr)
        pFont = GetParentFont(*this);
    if (pFont == nullptr)
        return;
    CCustomWnd::SetFont(pFont, bRedraw);
    if (!MakeCaptionFont(*pFont, m_captionFont))
        return;
}

// ---- tiles -----------------------------------------------------------------

void CAngleBlockListExView::SetBlocks(const std::vector<CAngleBlock*>* pBlocks, const ViewState* pState)
{
    m_thread.StopThumbnails();
    int nFrameWidth = 0;
    int nFrameHeight = 0;
    bool bWideScreen = false;
    {
        CStripLock lock(m_lock);
        KillTimer(kWatchTimer);
        KillTimer(kRepaintTimer);
        m_nHot = -1;
        ResetTiles(0);
        SetFirstVisible(0.0f);
        m_nFrameWidth = m_nFrameHeight = 0;
        m_bWideScreen = false;
        try
        {
            const std::vector<CAngleBlock*> none;
            const std::vector<CAngleBlock*>& blocks = pBlocks != nullptr ? *pBlocks : none;
            m_thread.SetTiles(blocks);
            ResetTiles(int32_t(blocks.size()));
            if (!blocks.empty())
                ProbeFrameSize(blocks, nFrameWidth, nFrameHeight, bWideScreen);
        }
        catch (const std::exception&)
        {
            LogError("Ops. CAngleBlockListExView::BlockInfo::SetBlocks", STRIP_LOCATION);
        }
        m_bWideScreen = bWideScreen;
        m_nFrameWidth = nFrameWidth;
        m_nFrameHeight = nFrameHeight;
        if (m_nFrameWidth == 0 || m_nFrameHeight == 0)
        {
            m_nFrameWidth = 720;
            m_nFrameHeight = 480;
        }
        SetViewState(pState != nullptr ? *pState : ViewState(), true);
        SetTimer(kWatchTimer, 500, nullptr);
    }
    // The thread makes thumbnails of the probed size; an unknown one gets
    // its own default width.
    ++m_nPass;
    m_thread.StartPass(nFrameWidth, nFrameHeight, bWideScreen);
    if (m_bThreadActive)
        SetTimer(kRepaintTimer, 200, nullptr);
}

void CAngleBlockListExView::StopThumbnails()
{
    m_thread.StopThumbnails();
    CStripLock lock(m_lock);
    KillTimer(kWatchTimer);
    KillTimer(kRepaintTimer);
}

void CAngleBlockListExView::SelectAll()
{
    CTileSelection::SelectAll();
    Invalidate();
}

void CAngleBlockListExView::OnSelectAll()
{
    SelectAll();
}

void CAngleBlockListExView::OnThumbnailPassStarted()
{
    m_bThreadActive = true;
}

void CAngleBlockListExView::OnThumbnailPassEnded(bool bFinished)
{
    m_bThreadActive = false;
    // A pause comes from the GUI thread, which stops the repaints itself.
    HWND hWnd = m_hThreadTarget;
    if (bFinished && hWnd != nullptr && ::IsWindow(hWnd))
        ::PostMessage(hWnd, WM_BLOCKLIST_THUMBNAILS_DONE, m_nPass, 0);
}

LRESULT CAngleBlockListExView::OnThumbnailsDone(WPARAM wParam, LPARAM)
{
    if (wParam == m_nPass)
        KillTimer(kRepaintTimer);
    PaintBackground();
    Invalidate();
    return 0;
}

// ---- layout ----------------------------------------------------------------

CTileStrip CAngleBlockListExView::GetStrip() const
{
    CTileStrip strip;
    strip.nTiles = GetTileCount();
    strip.nTileWidth = m_nTileWidth;
    strip.nTileHeight = m_nTileHeight;
    strip.bVertical = !m_bHorizontal;
    strip.fFirstVisible = m_fFirstVisible;
    return strip;
}

int CAngleBlockListExView::ClientExtent() const
{
    CRect rc;
    GetClientRect(&rc);
    return m_bHorizontal ? rc.Width() : rc.Height();
}

bool CAngleBlockListExView::ScrollBarShown() const
{
    const CScrollBar& bar = m_bHorizontal ? m_hScroll : m_vScroll;
    return bar.m_hWnd != nullptr && (bar.GetStyle() & WS_VISIBLE) != 0;
}

void CAngleBlockListExView::SetFirstVisible(float fFirst)
{
    m_fFirstVisible = fFirst;
    m_thread.m_fFirstVisible = fFirst;
}

void CAngleBlockListExView::OnLayout()
{
    if (m_hWnd == nullptr || m_hScroll.m_hWnd == nullptr || m_vScroll.m_hWnd == nullptr)
        return;
    CRect rc;
    GetClientRect(&rc);
    m_bHorizontal = !IsVerticalStrip(rc.Width(), rc.Height());
    CScrollBar& bar = m_bHorizontal ? m_hScroll : m_vScroll;
    (m_bHorizontal ? m_vScroll : m_hScroll).ShowWindow(SW_HIDE);
    const int nBar = GetSystemMetrics(SM_CYHSCROLL);
    CTileLayout layout = ComputeTileLayout(GetTileCount(), rc.Width(), rc.Height(), nBar,
                                           TileAspect(m_nFrameWidth, m_nFrameHeight, m_bWideScreen), m_fFirstVisible);
    m_nTileWidth = layout.nTileWidth;
    m_nTileHeight = layout.nTileHeight;
    m_bScrollBarNeeded = layout.bScrollBar;
    SetFirstVisible(layout.fFirstVisible);
    if (m_bScrollBarNeeded)
    {
        if (m_bHorizontal)
            bar.MoveWindow(0, rc.Height() - nBar, rc.Width(), nBar);
        else
            bar.MoveWindow(rc.Width() - nBar, 0, nBar, rc.Height());
        bar.ShowWindow(SW_SHOW);
        const int nTileSize = GetStrip().TileSize();
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = GetTileCount() * nTileSize;
        si.nPage = UINT(m_bHorizontal ? rc.Width() : rc.Height());
        si.nPos = int(float(nTileSize) * m_fFirstVisible);
        bar.SetScrollInfo(&si, TRUE);
    }
    else
        bar.ShowWindow(SW_HIDE);
    Invalidate();
    bar.Invalidate();
    PaintBackground();
}

void CAngleBlockListExView::OnEnableChanged(BOOL bEnabled)
{
    CScrollBar& bar = m_bHorizontal ? m_hScroll : m_vScroll;
    if (bar.m_hWnd != nullptr)
        bar.EnableWindow(bEnabled);
}

void CAngleBlockListExView::OnDrawNotify(DWORD dwStage, CDC* pDC)
{
    if (dwStage == CWN_STAGE_BACKGROUND)
        pDC->SelectStockObject(WHITE_BRUSH);
}

// ---- painting --------------------------------------------------------------

template <typename F>
void CAngleBlockListExView::ForVisibleTiles(const CTileStrip& strip, F&& visit) const
{
    const int nSize = strip.TileSize();
    const int nEnd = ClientExtent() - strip.DrawOffset();
    int nPos = 0;
    for (int n = strip.FirstDrawn(); n < strip.nTiles && nPos < nEnd && nSize > 0; ++n, nPos += nSize)
        visit(n, strip.PictureRect(n));
}

void CAngleBlockListExView::PaintBackground()
{
    PaintVisibleFrames();
}

void CAngleBlockListExView::PaintVisibleFrames()
{
    if (!m_bmBack.GetSafeHandle())
        return;
    try
    {
        CBufferedDC dc(this, FALSE);
        NotifyParentDraw(CWN_STAGE_BACKGROUND, &dc);
        CRect rc;
        GetClientRect(&rc);
        if (ScrollBarShown())
        {
            const int nBar = GetSystemMetrics(SM_CYHSCROLL);
            (m_bHorizontal ? rc.bottom : rc.right) -= nBar;
        }
        dc.PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATCOPY);
        const int nOldMode = dc.SetBkMode(OPAQUE);
        CFont* pFont = GetFont();
        CFont* pOldFont = pFont->GetSafeHandle() ? dc.SelectObject(pFont) : nullptr;
        ForVisibleTiles(GetStrip(),
                        [&](int n, CRect picture)
                        {
                            const CThumbnailTile& tile = GetTile(n);
                            if (tile.bDone && tile.thumbnail.IsValid())
                                DrawThumbnail(dc, tile.thumbnail, picture);
                            else
                            {
                                dc.FillSolidRect(&picture, RGB(80, 80, 80));
                                if (!tile.bDone)
                                {
                                    dc.SetTextColor(RGB(255, 255, 255));
                                    dc.SetBkMode(TRANSPARENT);
                                    dc.DrawText("searching...", &picture,
                                                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
                                    dc.SetBkMode(OPAQUE);
                                }
                            }
                            if (!m_bShowCaptions || !m_bCaptionsVisible || tile.pBlock == nullptr)
                                return;
                            picture.DeflateRect(5, 5);
                            const CVobCell* pUnit = tile.pBlock->GetIlvuCount() > 0 ? tile.pBlock->GetIlvu(0) : nullptr;
                            const uint32_t nVobus = pUnit != nullptr ? pUnit->GetVobuCount() : 0;
                            CRect bar(picture.right - 6, picture.top, picture.right, picture.bottom);
                            dc.FillSolidRect(&bar, RGB(0, 128, 0));
                            CRect remainder;
                            if (ProgressBarRemainder(bar, ThumbnailProgress(tile.nVobu, nVobus), remainder))
                                dc.FillSolidRect(&remainder, RGB(80, 80, 80));
                            CFont* pCaptionOld =
                                m_captionFont.GetSafeHandle() ? dc.SelectObject(&m_captionFont) : nullptr;
                            dc.SetTextColor(RGB(255, 255, 255));
                            dc.SetBkColor(RGB(0, 128, 0));
                            CString strCaption = FormatTileCaption(GetTileCaptionFacts(*tile.pBlock));
                            dc.DrawText(strCaption, &picture, 0);
                            if (pCaptionOld != nullptr)
                                dc.SelectObject(pCaptionOld);
                        });
        if (pOldFont != nullptr)
            dc.SelectObject(pOldFont);
        dc.SetBkMode(nOldMode);
    }
    catch (const std::exception&)
    {
        LogError("Ops. CAngleBlockListExView::PaintVisibleFrames", STRIP_LOCATION);
    }
}

void CAngleBlockListExView::DrawThumbnail(CDC& dc, const CVideoPicture& picture, const CRect& rect)
{
    BITMAPINFOHEADER header;
    std::memcpy(&header, &picture.GetBitmapInfo().header, sizeof header);
    const int nWidth = int(picture.GetWidth());
    const int nHeight = int(picture.GetHeight());
    if (m_hDrawDib != nullptr &&
        DrawDibDraw(static_cast<HDRAWDIB>(m_hDrawDib), dc.GetSafeHdc(), rect.left, rect.top, rect.Width(),
                    rect.Height(), &header, picture.GetData(), 0, 0, nWidth, nHeight, 0))
        return;
    const int nOldMode = dc.SetStretchBltMode(HALFTONE);
    ::SetBrushOrgEx(dc.GetSafeHdc(), 0, 0, nullptr);
    ::StretchDIBits(dc.GetSafeHdc(), rect.left, rect.top, rect.Width(), rect.Height(), 0, 0, nWidth, nHeight,
                    picture.GetData(), reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, SRCCOPY);
    dc.SetStretchBltMode(nOldMode);
}

void CAngleBlockListExView::Draw(CDC* pDC)
{
    CBrush red(RGB(255, 0, 0));
    const HDC hDC = pDC->GetSafeHdc();
    ForVisibleTiles(GetStrip(),
                    [&](int n, CRect picture)
                    {
                        if (IsItemSelected(n))
                        {
                            CRect frame = picture;
                            frame.InflateRect(2, 2);
                            HRGN hRgn = ::CreateRectRgnIndirect(&frame);
                            ::FrameRgn(hDC, hRgn, static_cast<HBRUSH>(red.GetSafeHandle()), 2, 2);
                            ::DeleteObject(hRgn);
                        }
                        if (n == m_nHot)
                        {
                            ::InvertRect(hDC, &picture);
                            picture.DeflateRect(5, 5);
                            ::InvertRect(hDC, &picture);
                        }
                    });
}

// ---- scrolling -------------------------------------------------------------

void CAngleBlockListExView::Scroll(CScrollBar& bar, UINT nCode, int nTileSize)
{
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    if (!bar.GetScrollInfo(&si, SIF_ALL))
        return;
    CTileScrollInfo info;
    info.nMin = si.nMin;
    info.nMax = si.nMax;
    info.nPage = int(si.nPage);
    info.nPos = si.nPos;
    info.nTrackPos = si.nTrackPos;
    const int nPos = ScrollTilePosition(int(nCode), info, nTileSize);
    if (nPos == si.nPos)
        return;
    bar.SetScrollPos(nPos, TRUE);
    SetFirstVisible(FirstVisibleAtPosition(nPos, nTileSize));
    PaintBackground();
    Invalidate();
}

void CAngleBlockListExView::OnHScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar != nullptr && pScrollBar->m_hWnd == m_hScroll.m_hWnd)
        Scroll(m_hScroll, nSBCode, m_nTileWidth);
}

void CAngleBlockListExView::OnVScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar != nullptr && pScrollBar->m_hWnd == m_vScroll.m_hWnd)
        Scroll(m_vScroll, nSBCode, m_nTileHeight);
}

BOOL CAngleBlockListExView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    const WPARAM nCode = zDelta / WHEEL_DELTA >= 1 ? SB_PAGEUP : SB_PAGEDOWN;
    const CScrollBar& bar = m_bHorizontal ? m_hScroll : m_vScroll;
    PostMessage(m_bHorizontal ? WM_HSCROLL : WM_VSCROLL, nCode, reinterpret_cast<LPARAM>(bar.m_hWnd));
    return TRUE;
}

void CAngleBlockListExView::EnsureItemVisible(int32_t nItem)
{
    if (nItem < 0)
        return;
    const float fFirst = GetStrip().EnsureVisible(nItem, ClientExtent());
    if (fFirst != m_fFirstVisible)
    {
        SetFirstVisible(fFirst);
        CScrollBar& bar = m_bHorizontal ? m_hScroll : m_vScroll;
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_POS;
        si.nPos = int(float(GetStrip().TileSize()) * fFirst);
        if (bar.m_hWnd != nullptr)
            bar.SetScrollInfo(&si, TRUE);
        PaintBackground();
    }
    Invalidate();
}

// ---- input -----------------------------------------------------------------

void CAngleBlockListExView::RedrawItems()
{
    Invalidate();
}

int CAngleBlockListExView::SendNotify(int nCode, int32_t nItem, int, int)
{
    if (m_hNotifyTarget == nullptr)
        return -1;
    NMBLOCKLIST nm = {};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID());
    nm.hdr.code = UINT(nCode);
    nm.nItem = nItem;
    nm.nVobu = nItem >= 0 && nItem < GetTileCount() ? int32_t(GetTile(nItem).nVobu) : 0;
    return int(::SendMessage(m_hNotifyTarget, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)));
}

void CAngleBlockListExView::OnMouseMove(UINT nFlags, CPoint point)
{
    if (GetTileCount() > 0)
    {
        const int nHot = HitTest(point);
        if (nHot != m_nHot)
        {
            m_nHot = nHot;
            Invalidate();
            UpdateWindow();
        }
    }
    CCustomWnd::OnMouseMove(nFlags, point);
}

void CAngleBlockListExView::OnLButtonDown(UINT nFlags, CPoint point)
{
    SetFocus();
    m_nHot = HitTest(point);
    if (m_nHot >= 0)
    {
        OnItemClick(m_nHot, (nFlags & MK_CONTROL) != 0, (nFlags & MK_SHIFT) != 0, point.x, point.y);
        m_nHot = HitTest(point);
    }
    Invalidate();
    CCustomWnd::OnLButtonDown(nFlags, point);
}

void CAngleBlockListExView::OnRButtonDown(UINT nFlags, CPoint point)
{
    SetFocus();
    m_nHot = HitTest(point);
    if (m_nHot >= 0 && !IsItemSelected(m_nHot))
    {
        OnItemClick(m_nHot, false, false, 0, 0);
        m_nHot = HitTest(point);
    }
    Invalidate();
    CCustomWnd::OnRButtonDown(nFlags, point);
}

void CAngleBlockListExView::OnRButtonUp(UINT nFlags, CPoint point)
{
    CCustomWnd::OnRButtonUp(nFlags, point);
    const std::vector<CAngleBlock*> selected = GetSelectedBlocks();
    if (m_bReadOnly || selected.empty())
        return;
    int nFirst = 0;
    while (!IsItemSelected(nFirst))
        ++nFirst;
    TrackContextMenu(*this, BlockStripMenu(GetBlockMenuFacts(selected, GetTileCount(), nFirst)), point);
}

// ---- edit commands -----------------------------------------------------------

std::vector<CAngleBlock*> CAngleBlockListExView::GetBlocks() const
{
    std::vector<CAngleBlock*> blocks;
    for (int n = 0; n < GetTileCount(); ++n)
        blocks.push_back(GetTile(n).pBlock);
    return blocks;
}

std::vector<CAngleBlock*> CAngleBlockListExView::GetSelectedBlocks() const
{
    std::vector<CAngleBlock*> blocks;
    for (int n = 0; n < GetTileCount(); ++n)
        if (IsItemSelected(n) && GetTile(n).pBlock != nullptr)
            blocks.push_back(GetTile(n).pBlock);
    return blocks;
}

int CAngleBlockListExView::GetSingleSelection() const
{
    int nSelected = -1;
    for (int n = 0; n < GetTileCount(); ++n)
    {
        if (!IsItemSelected(n))
            continue;
        if (nSelected >= 0)
            return -1;
        nSelected = n;
    }
    return nSelected;
}

void CAngleBlockListExView::RunEdit(const std::function<bool()>& edit)
{
    if (!m_bReadOnly)
        RunEditCommand(*this, edit, "Ops. CAngleBlockListExView edit", STRIP_LOCATION);
}

void CAngleBlockListExView::OnHideBlocks()
{
    RunEdit([this] { return HideSelectedBlocks(GetSelectedBlocks()); });
}

void CAngleBlockListExView::OnRestoreBlocks()
{
    RunEdit([this] { return RestoreSelectedBlocks(GetSelectedBlocks()); });
}

void CAngleBlockListExView::OnConvertToStill()
{
    RunEdit([this] { return ConvertSelectedBlocksToStill(GetSelectedBlocks()); });
}

void CAngleBlockListExView::OnHideBlocksBefore()
{
    RunEdit([this] { return HideBlocksBefore(GetBlocks(), GetSingleSelection()); });
}

void CAngleBlockListExView::OnHideBlocksAfter()
{
    RunEdit([this] { return HideBlocksAfter(GetBlocks(), GetSingleSelection()); });
}

void CAngleBlockListExView::ShowCaptions(bool bShow)
{
    m_bCaptionsVisible = bShow;
    PaintBackground();
    Invalidate();
}

void CAngleBlockListExView::OnNavigationKey(ETileKey key)
{
    const int32_t nTarget = TileKeyTarget(key, GetCaretItem(), GetTileCount());
    if (nTarget < 0)
        return;
    m_nHot = -1;
    OnItemClick(nTarget, KeyDown(VK_CONTROL), KeyDown(VK_SHIFT), 0, 0);
}

BOOL CAngleBlockListExView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYUP && pMsg->wParam == VK_F6)
    {
        ShowCaptions(true);
        return TRUE;
    }
    if (pMsg->message != WM_KEYDOWN)
        return CCustomWnd::PreTranslateMessage(pMsg);
    const bool bCtrl = KeyDown(VK_CONTROL);
    const bool bShift = KeyDown(VK_SHIFT);
    UINT nCommand = 0;
    switch (pMsg->wParam)
    {
    case VK_END: OnNavigationKey(TILEKEY_END); return TRUE;
    case VK_HOME: OnNavigationKey(TILEKEY_HOME); return TRUE;
    case VK_LEFT:
    case VK_UP: OnNavigationKey(TILEKEY_PREV); return TRUE;
    case VK_RIGHT:
    case VK_DOWN: OnNavigationKey(TILEKEY_NEXT); return TRUE;
    case VK_F6:
        if (m_bCaptionsVisible)
            ShowCaptions(false);
        return TRUE;
    case 'A':
        if (bCtrl && !bShift)
        {
            SelectAll();
            return TRUE;
        }
        break;
    case 'H': nCommand = bCtrl ? ID_BLOCK_HIDE : 0; break;
    case 'Z': nCommand = bCtrl && bShift ? ID_BLOCK_RESTORE : 0; break;
    case VK_OEM_COMMA: nCommand = bCtrl && bShift ? ID_BLOCK_HIDE_BEFORE : 0; break;
    case VK_OEM_PERIOD: nCommand = bCtrl && bShift ? ID_BLOCK_HIDE_AFTER : 0; break;
    }
    if (nCommand == 0)
        return CCustomWnd::PreTranslateMessage(pMsg);
    SendMessage(WM_COMMAND, nCommand);
    return TRUE;
}

// ---- timers ----------------------------------------------------------------

void CAngleBlockListExView::OnTimer(UINT_PTR nIDEvent)
{
    CStripLock lock(m_lock);
    if (nIDEvent == kRepaintTimer)
    {
        PaintBackground();
        Invalidate();
        return;
    }
    if (nIDEvent != kWatchTimer)
        return;
    // A key-up of F6 that went to another window leaves no hidden captions.
    if (!m_bCaptionsVisible && GetFocus() != this)
        ShowCaptions(true);
    POINT pt;
    if (m_nHot != -1 && ::GetCursorPos(&pt) && ::WindowFromPoint(pt) != m_hWnd)
    {
        m_nHot = -1;
        Invalidate();
        UpdateWindow();
    }
}
