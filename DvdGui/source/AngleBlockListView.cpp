#include "DvdGui/source/AngleBlockListView.h"
#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobCell.h"
#include "DvdGui/core/AppLog.h"
#include "DvdGui/core/BlockEdits.h"
#include "DvdGui/core/ThumbnailSearch.h"
#include "DvdGui/core/TileCaption.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/Options.h"
#include "Shared/source/DvdFormat.h"
#include "controls/core/FontRecord.h"

#include <vfw.h>

#include <cstring>
#include <exception>
#include <functional>

namespace
{

CString s_strClassName;

const UINT_PTR kWatchTimer = 0;
const int kEmptyTileWidth = 106;
const int kMinTileHeight = 80;

#define ROW_LOCATION FormatLocation("AngleBlockListView.cpp", __LINE__)

bool KeyDown(int vk)
{
    return GetKeyState(vk) < 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CAngleBlockListView, CCustomWnd)
ON_WM_DESTROY()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_TIMER()
ON_COMMAND(ID_BLOCK_HIDE, OnHideBlock)
ON_COMMAND(ID_BLOCK_HIDE_BEFORE, OnHideBlocksBefore)
ON_COMMAND(ID_BLOCK_HIDE_AFTER, OnHideBlocksAfter)
ON_COMMAND(ID_BLOCK_RESTORE, OnRestoreBlock)
END_MESSAGE_MAP()

CAngleBlockListView::BlockItem::~BlockItem()
{
    if (bStarted)
        decoder.Stop();
}

CAngleBlockListView::CAngleBlockListView(bool bReadOnly, bool bShowCaptions)
    : CCustomWnd(s_strClassName), m_bReadOnly(bReadOnly), m_bShowCaptions(bShowCaptions)
{
    InitializeCriticalSection(&m_lock);
}

CAngleBlockListView::~CAngleBlockListView()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
    m_items.clear();
    DeleteCriticalSection(&m_lock);
}

int CAngleBlockListView::GetPreferredHeight()
{
    return GetSystemMetrics(SM_CYHSCROLL) + 120;
}

void CAngleBlockListView::OnCreated()
{
    m_hScroll.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, CRect(0, 0, 0, 0), this, IDC_BLOCKLIST_HSCROLL);
    SetFont(nullptr);
    m_hDrawDib = DrawDibOpen();
}

void CAngleBlockListView::OnDestroy()
{
    KillTimer(kWatchTimer);
    if (m_hDrawDib != nullptr)
        DrawDibClose(static_cast<HDRAWDIB>(m_hDrawDib));
    m_hDrawDib = nullptr;
    CCustomWnd::OnDestroy();
}

void CAngleBlockListView::SetFont(CFont* pFont, BOOL bRedraw)
{
    if (pFont == nullptr)
    {
        CWnd* pParent = GetParent();
        HFONT hFont = pParent != nullptr ? reinterpret_cast<HFONT>(pParent->SendMessage(WM_GETFONT)) : nullptr;
        if (hFont == nullptr)
            hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        pFont = CFont::FromHandle(hFont);
    }
    CCustomWnd::SetFont(pFont, bRedraw);
    LOGFONTA lf;
    if (!pFont->GetLogFont(&lf))
        return;
    lf.lfHeight = GrowFontHeight(lf.lfHeight, -2);
    m_captionFont.DeleteObject();
    m_captionFont.CreateFontIndirect(&lf);
}

// ---- tiles -----------------------------------------------------------------

void CAngleBlockListView::SetBlocks(const std::vector<CAngleBlock*>* pBlocks, const ViewState* pState)
{
    KillTimer(kWatchTimer);
    m_nHot = m_nSelected = -1;
    m_fFirstVisible = 0.0f;
    m_nFrameWidth = m_nFrameHeight = 0;
    m_items.clear();
    m_pDvd = nullptr;
    try
    {
        if (pBlocks != nullptr)
            for (CAngleBlock* pBlock : *pBlocks)
                m_items.push_back(std::make_unique<BlockItem>(pBlock));
        const CAngleBlockList* pDomain =
            m_items.empty() || m_items[0]->pBlock == nullptr ? nullptr : m_items[0]->pBlock->GetList();
        m_bWideScreen = pDomain != nullptr && pDomain->GetStreams().GetVideo().GetAspectRatio() == 3;
        for (auto& pItem : m_items)
        {
            if (m_nFrameWidth != 0 && m_nFrameHeight != 0)
                break;
            StartItem(*pItem);
            m_nFrameWidth = int(pItem->picture.GetWidth());
            m_nFrameHeight = int(pItem->picture.GetHeight());
        }
        if (!m_items.empty() && m_items[0]->pBlock != nullptr)
            m_pDvd = m_items[0]->pBlock->GetDvd();
    }
    catch (const std::exception&)
    {
        LogError("Ops. CAngleBlockListView::SetBlocks", ROW_LOCATION);
    }
    if (m_nFrameWidth == 0 || m_nFrameHeight == 0)
    {
        m_nFrameWidth = 720;
        m_nFrameHeight = 480;
    }
    SetState(pState != nullptr ? *pState : ViewState());
    if (m_hWnd != nullptr)
        SetTimer(kWatchTimer, 500, nullptr);
}

CAngleBlockListView::ViewState CAngleBlockListView::GetState() const
{
    ViewState state;
    state.fFirstVisible = m_fFirstVisible;
    state.nSelected = m_nSelected;
    return state;
}

void CAngleBlockListView::SetState(const ViewState& state)
{
    m_fFirstVisible = state.fFirstVisible;
    OnLayout();
    SelectItem(state.nSelected);
}

void CAngleBlockListView::SelectItem(int nItem)
{
    if (nItem == m_nSelected || nItem < 0 || nItem >= GetItemCount())
        return;
    m_nSelected = nItem;
    if (m_hWnd == nullptr)
        return;
    NMBLOCKLIST nm = {};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = UINT_PTR(GetDlgCtrlID());
    nm.hdr.code = UINT(ABLN_SELCHANGED);
    nm.nItem = nItem;
    nm.nVobu = m_items[size_t(nItem)]->bStarted ? int32_t(m_items[size_t(nItem)]->nVobu) : 0;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

CAngleBlock* CAngleBlockListView::GetSelectedBlock() const
{
    return m_nSelected >= 0 && m_nSelected < GetItemCount() ? m_items[size_t(m_nSelected)]->pBlock : nullptr;
}

std::vector<CAngleBlock*> CAngleBlockListView::GetBlocks() const
{
    std::vector<CAngleBlock*> blocks;
    for (const auto& pItem : m_items)
        blocks.push_back(pItem->pBlock);
    return blocks;
}

void CAngleBlockListView::StartItem(BlockItem& item)
{
    item.bStarted = true;
    CVobCell* pUnit = item.pBlock != nullptr && item.pBlock->GetIlvuCount() > 0 ? item.pBlock->GetIlvu(0) : nullptr;
    item.picture.SetFormat(0, 0, kPicRgb32, kPicProgressive);
    if (pUnit == nullptr || pUnit->GetVobuCount() == 0)
        return;
    item.stream.Open(pUnit, 0);
    CClut palette;
    pUnit->GetPalette(palette);
    if (!InitDecoder(item.decoder, item.stream, &palette))
        return;
    item.decoder.Start(false, true, 0);
    item.nVobu = 0;
    FindPicture(item, *pUnit);
}

void CAngleBlockListView::FindPicture(BlockItem& item, const CVobCell& unit)
{
    CVideoPicture* pCurrent = nullptr;
    CVideoPicture* pPrevious = nullptr;
    // Decodes the next picture, from VOBU n when the search moved on.
    auto decodeAt = [&](uint32_t nVobu, double& dLuma)
    {
        if (nVobu > 0)
        {
            item.decoder.Stop();
            item.decoder.Start(false, true, VobuPosition(item.stream, unit, nVobu));
        }
        if (pPrevious != nullptr)
            pPrevious->Release();
        pPrevious = pCurrent;
        pCurrent = nullptr;
        CVideoPicture* pPicture = nullptr;
        if (item.decoder.GetNextPicture(&pPicture))
        {
            pCurrent = pPicture;
            ++item.nPictures;
        }
        const CVideoPicture* pShown = pCurrent != nullptr ? pCurrent : pPrevious;
        if (pShown == nullptr)
            return false;
        dLuma = pShown->GetLumaDeviation();
        return pCurrent != nullptr;
    };
    item.decoder.Stop();
    item.decoder.Start(false, true, 0);
    if (g_bSkipBlankFrames)
        item.nVobu = SearchRowThumbnail(unit.GetVobuCount(), decodeAt);
    else
    {
        double dLuma = 0.0;
        decodeAt(0, dLuma);
    }
    const CVideoPicture* pChosen = pCurrent != nullptr ? pCurrent : pPrevious;
    if (pChosen != nullptr && pChosen->IsValid())
    {
        item.picture.SetFormat(pChosen->GetWidth(), pChosen->GetHeight(), kPicRgb32, kPicProgressive);
        item.picture.Convert(*pChosen);
    }
    if (pCurrent != nullptr)
        pCurrent->Release();
    if (pPrevious != nullptr)
        pPrevious->Release();
}

// ---- layout ----------------------------------------------------------------

CTileStrip CAngleBlockListView::GetStrip() const
{
    CTileStrip strip;
    strip.nTiles = GetItemCount();
    strip.nTileWidth = m_nTileWidth;
    strip.nTileHeight = m_nTileHeight;
    strip.fFirstVisible = m_fFirstVisible;
    return strip;
}

void CAngleBlockListView::OnLayout()
{
    if (m_hWnd == nullptr || m_hScroll.m_hWnd == nullptr)
        return;
    CRect rc;
    GetClientRect(&rc);
    const int nBar = GetSystemMetrics(SM_CYHSCROLL);
    if (m_items.empty())
    {
        m_nTileHeight = kMinTileHeight;
        m_nTileWidth = kEmptyTileWidth;
        m_bScrollBarNeeded = false;
    }
    else
    {
        const CTileLayout layout =
            ComputeRowLayout(GetItemCount(), rc.Width(), rc.Height(), nBar,
                             TileAspect(m_nFrameWidth, m_nFrameHeight, m_bWideScreen), m_fFirstVisible, kMinTileHeight);
        m_nTileWidth = layout.nTileWidth;
        m_nTileHeight = layout.nTileHeight;
        m_bScrollBarNeeded = layout.bScrollBar;
        m_fFirstVisible = layout.fFirstVisible;
    }
    if (m_bScrollBarNeeded)
    {
        m_hScroll.MoveWindow(0, rc.Height() - nBar, rc.Width(), nBar);
        m_hScroll.ShowWindow(SW_SHOW);
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
        si.nMax = GetItemCount() * m_nTileWidth;
        si.nPage = UINT(rc.Width());
        si.nPos = int(float(m_nTileWidth) * m_fFirstVisible);
        m_hScroll.SetScrollInfo(&si, TRUE);
    }
    else
        m_hScroll.ShowWindow(SW_HIDE);
    Invalidate();
    m_hScroll.Invalidate();
    PaintBackground();
}

// ---- painting --------------------------------------------------------------

void CAngleBlockListView::PaintBackground()
{
    if (!m_bmBack.GetSafeHandle())
        return;
    try
    {
        CBufferedDC dc(this, FALSE);
        CRect rc;
        GetClientRect(&rc);
        if (m_bScrollBarNeeded)
            rc.bottom -= GetSystemMetrics(SM_CYHSCROLL);
        dc.FillSolidRect(&rc, RGB(255, 255, 255));
        const CTileStrip strip = GetStrip();
        int nPos = 0;
        for (int n = strip.FirstDrawn(); n >= 0 && n < strip.nTiles && nPos < rc.Width() - strip.DrawOffset();
             ++n, nPos += m_nTileWidth)
        {
            BlockItem& item = *m_items[size_t(n)];
            if (!item.bStarted)
                StartItem(item);
            CRect picture = strip.PictureRect(n);
            if (item.picture.IsValid())
            {
                BITMAPINFOHEADER header;
                std::memcpy(&header, &item.picture.GetBitmapInfo().header, sizeof header);
                const int nWidth = int(item.picture.GetWidth());
                const int nHeight = int(item.picture.GetHeight());
                if (m_hDrawDib == nullptr || !DrawDibDraw(static_cast<HDRAWDIB>(m_hDrawDib), dc.GetSafeHdc(),
                                                          picture.left, picture.top, picture.Width(), picture.Height(),
                                                          &header, item.picture.GetData(), 0, 0, nWidth, nHeight, 0))
                    ::StretchDIBits(dc.GetSafeHdc(), picture.left, picture.top, picture.Width(), picture.Height(), 0, 0,
                                    nWidth, nHeight, item.picture.GetData(),
                                    reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, SRCCOPY);
            }
            else
                dc.FillSolidRect(&picture, RGB(80, 80, 80));
            if (!m_bShowCaptions || item.pBlock == nullptr)
                continue;
            picture.DeflateRect(5, 5);
            const CVobCell* pUnit = item.pBlock->GetIlvuCount() > 0 ? item.pBlock->GetIlvu(0) : nullptr;
            CRect bar(picture.right - 6, picture.top, picture.right, picture.bottom);
            dc.FillSolidRect(&bar, RGB(0, 128, 0));
            if (pUnit != nullptr)
            {
                uint64_t nDivisor = uint64_t(pUnit->GetSectorCount()) * 2048 - uint64_t(pUnit->GetVobuCount()) * 2048;
                if (nDivisor == 0)
                    nDivisor = 1;
                CRect remainder;
                const double dDone = item.bStarted ? double(item.decoder.GetPosition()) / double(nDivisor) : 0.0;
                if (ProgressBarRemainder(bar, dDone, remainder))
                    dc.FillSolidRect(&remainder, RGB(80, 80, 80));
            }
            CFont* pOld = m_captionFont.GetSafeHandle() ? dc.SelectObject(&m_captionFont) : nullptr;
            dc.SetTextColor(RGB(255, 255, 255));
            dc.SetBkColor(RGB(0, 128, 0));
            dc.SetBkMode(OPAQUE);
            dc.DrawText(FormatRowTileCaption(GetTileCaptionFacts(*item.pBlock)), &picture, 0);
            if (pOld != nullptr)
                dc.SelectObject(pOld);
        }
    }
    catch (const std::exception&)
    {
        LogError("Ops. CAngleBlockListView::PaintBackground", ROW_LOCATION);
    }
}

void CAngleBlockListView::Draw(CDC* pDC)
{
    const CTileStrip strip = GetStrip();
    const HDC hDC = pDC->GetSafeHdc();
    if (m_nSelected >= 0 && m_nSelected < strip.nTiles)
    {
        CBrush red(RGB(255, 0, 0));
        CRect frame = strip.PictureRect(m_nSelected);
        frame.InflateRect(2, 2);
        HRGN hRgn = ::CreateRectRgnIndirect(&frame);
        ::FrameRgn(hDC, hRgn, static_cast<HBRUSH>(red.GetSafeHandle()), 2, 2);
        ::DeleteObject(hRgn);
    }
    if (m_nHot >= 0 && m_nHot < strip.nTiles)
    {
        CRect picture = strip.PictureRect(m_nHot);
        ::InvertRect(hDC, &picture);
        picture.DeflateRect(5, 5);
        ::InvertRect(hDC, &picture);
    }
}

// ---- scrolling -------------------------------------------------------------

void CAngleBlockListView::ScrollTo(float fFirst)
{
    m_fFirstVisible = fFirst;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    si.nPos = int(float(m_nTileWidth) * fFirst);
    if (m_hScroll.m_hWnd != nullptr)
        m_hScroll.SetScrollInfo(&si, TRUE);
    PaintBackground();
    Invalidate();
}

void CAngleBlockListView::OnHScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar)
{
    if (pScrollBar == nullptr || pScrollBar->m_hWnd != m_hScroll.m_hWnd)
        return;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    if (!m_hScroll.GetScrollInfo(&si, SIF_ALL))
        return;
    CTileScrollInfo info;
    info.nMin = si.nMin;
    info.nMax = si.nMax;
    info.nPage = int(si.nPage);
    info.nPos = si.nPos;
    info.nTrackPos = si.nTrackPos;
    const int nPos = ScrollTilePosition(int(nSBCode), info, m_nTileWidth);
    if (nPos != si.nPos)
        ScrollTo(FirstVisibleAtPosition(nPos, m_nTileWidth));
}

void CAngleBlockListView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    // The wheel's pages: the strip scrolls along its only direction.
    OnHScroll(nSBCode, nPos, &m_hScroll);
}

BOOL CAngleBlockListView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    const WPARAM nCode = zDelta / WHEEL_DELTA >= 1 ? SB_PAGEUP : SB_PAGEDOWN;
    PostMessage(WM_VSCROLL, nCode, 0);
    return TRUE;
}

void CAngleBlockListView::EnsureItemVisible(int nItem)
{
    CRect rc;
    GetClientRect(&rc);
    const float fFirst = GetStrip().EnsureVisible(nItem, rc.Width());
    if (fFirst != m_fFirstVisible)
        ScrollTo(fFirst);
}

// ---- input -----------------------------------------------------------------

void CAngleBlockListView::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_items.empty())
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

void CAngleBlockListView::ClickItem(CPoint point)
{
    SetFocus();
    m_nHot = HitTest(point);
    if (m_nHot >= 0)
    {
        SelectItem(m_nHot);
        EnsureItemVisible(m_nHot);
        m_nHot = HitTest(point);
    }
    Invalidate();
}

void CAngleBlockListView::OnLButtonDown(UINT nFlags, CPoint point)
{
    ClickItem(point);
    CCustomWnd::OnLButtonDown(nFlags, point);
}

void CAngleBlockListView::OnRButtonDown(UINT nFlags, CPoint point)
{
    ClickItem(point);
    CCustomWnd::OnRButtonDown(nFlags, point);
    CAngleBlock* pBlock = GetSelectedBlock();
    if (m_bReadOnly || pBlock == nullptr)
        return;
    TrackContextMenu(*this, SimpleStripMenu(pBlock->CanRestore()), point);
}

void CAngleBlockListView::KeySelect(int nItem)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return;
    m_nHot = -1;
    SelectItem(nItem);
    EnsureItemVisible(nItem);
    Invalidate();
}

BOOL CAngleBlockListView::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN)
        return CCustomWnd::PreTranslateMessage(pMsg);
    const bool bCtrl = KeyDown(VK_CONTROL);
    const bool bShift = KeyDown(VK_SHIFT);
    UINT nCommand = 0;
    switch (pMsg->wParam)
    {
    case VK_END: KeySelect(GetItemCount() - 1); return TRUE;
    case VK_HOME: KeySelect(0); return TRUE;
    case VK_LEFT:
        if (m_nSelected >= 1)
            KeySelect(m_nSelected - 1);
        return TRUE;
    case VK_RIGHT: KeySelect(m_nSelected + 1); return TRUE;
    case 'H': nCommand = bCtrl ? ID_BLOCK_HIDE : 0; break;
    case 'Z': nCommand = bCtrl && bShift ? ID_BLOCK_RESTORE : 0; break;
    case VK_OEM_COMMA: nCommand = bCtrl && bShift ? ID_BLOCK_HIDE_BEFORE : 0; break;
    case VK_OEM_PERIOD: nCommand = bCtrl && bShift ? ID_BLOCK_HIDE_AFTER : 0; break;
    }
    // A read-only strip shows blocks that are not the project's to edit.
    if (nCommand == 0 || m_bReadOnly)
        return CCustomWnd::PreTranslateMessage(pMsg);
    SendMessage(WM_COMMAND, nCommand);
    return TRUE;
}

void CAngleBlockListView::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kWatchTimer)
        return;
    EnterCriticalSection(&m_lock);
    POINT pt;
    if (m_nHot != -1 && ::GetCursorPos(&pt) && ::WindowFromPoint(pt) != m_hWnd)
    {
        m_nHot = -1;
        Invalidate();
        UpdateWindow();
    }
    LeaveCriticalSection(&m_lock);
}

// ---- edit commands -----------------------------------------------------------

void CAngleBlockListView::RunEdit(const std::function<bool()>& edit)
{
    if (!m_bReadOnly)
        RunEditCommand(*this, edit, "Ops. CAngleBlockListView edit", ROW_LOCATION);
}

void CAngleBlockListView::OnHideBlock()
{
    RunEdit([this] { return HideBlock(GetSelectedBlock()); });
}

void CAngleBlockListView::OnHideBlocksBefore()
{
    RunEdit([this] { return HideBlocksBefore(GetBlocks(), m_nSelected); });
}

void CAngleBlockListView::OnHideBlocksAfter()
{
    RunEdit([this] { return HideBlocksAfter(GetBlocks(), m_nSelected); });
}

void CAngleBlockListView::OnRestoreBlock()
{
    RunEdit([this] { return RestoreBlock(GetSelectedBlock()); });
}
