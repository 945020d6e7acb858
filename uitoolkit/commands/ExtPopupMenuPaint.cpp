// Painting a popup menu through the theme: background and border, items,
// the scroll, expand and tear-off buttons, the left area, the area joining
// a combined menu to what opened it, and the shadows. The command target
// may paint the background, the left area or single items itself.
#include "framework/win/AfxMsg.h"
#include "uitoolkit/commands/ExtCmdItem.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/controls/ExtBitmapDC.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/core/ExtPopupMenuPlacement.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <vector>

namespace
{

bool IsTopMenuOwnerDrawn()
{
    const CExtPopupMenuWnd* pTop = CExtPopupMenuWnd::GetTracker().GetTopPopup();
    return pTop != nullptr && (pTop->TrackFlagsGet() & CExtPopupMenuWnd::TRACK_OWNER_DRAW) != 0;
}

// In palette rows an item with an in-place edit shows neither icon nor text,
// and an icon-only item no text.
void PalettePartsLeftOut(CExtPopupMenuWnd::MENUITEMDATA& mi, bool& bNoIcon, bool& bNoText)
{
    const CExtCmdIcon* pIcon = mi.GetIcon();
    bNoIcon = mi.IsInplaceEdit();
    bNoText = bNoIcon || (pIcon != nullptr && !pIcon->IsEmpty() &&
                          (mi.m_nThirdFlags & CExtPopupMenuWnd::MENUITEMDATA::THIRD_NO_TEXT) != 0);
}

} // namespace

// ---- the draw records --------------------------------------------------------

CExtPopupMenuWnd::ItemDrawRecord_t::ItemDrawRecord_t(CDC& dc, const RECT* prcItem, const RECT* prcSlot,
                                                     MENUITEMDATA* pItemData, CExtPopupMenuWnd* pPopup, BYTE nFlags)
    : m_dc(dc), m_prcItem(prcItem), m_prcSlot(prcSlot), m_pItemData(pItemData), m_pPopup(pPopup), m_nFlags(nFlags)
{
}

bool CExtPopupMenuWnd::ItemDrawRecord_t::NotifyCmdTarget()
{
    return ::SendMessageA(m_pPopup->GetCmdTargetWnd(), g_nMsgPopupDrawItem, 0, reinterpret_cast<LPARAM>(this)) != 0;
}

void CExtPopupMenuWnd::ItemDrawRecord_t::PaintWithTheme(bool bNoIcon, bool bNoText, bool bNoCheck, bool bForceEnabled,
                                                        bool bNotHighlighted)
{
    MENUITEMDATA& mi = *m_pItemData;
    const bool bSeparator = mi.IsSeparator();
    const bool bPopup = mi.IsPopup();
    const bool bHighlightFlag = !bSeparator && (mi.m_nStateFlags & MENUITEMDATA::STATE_HIGHLIGHTED) != 0;
    const bool bHighlighted = bHighlightFlag && !bNotHighlighted;
    const bool bEnabled = bForceEnabled || bPopup || mi.IsForceEnabled() || (!bSeparator && mi.IsEnabled()) ||
                          (mi.m_nExtraFlags & MENUITEMDATA::EXTRA_MARKED) != 0;
    CExtCmdIcon* pIcon = bNoIcon ? nullptr : mi.GetIcon();
    if (pIcon != nullptr && pIcon->IsEmpty())
        pIcon = nullptr;
    const CString sText = bNoText ? CString() : mi.GetText();
    const CString sAccel = bNoText ? CString() : mi.GetAccelText();
    const HFONT hFont =
        mi.IsDefault() ? static_cast<HFONT>(g_PaintManager->FontBold.GetSafeHandle()) : static_cast<HFONT>(nullptr);
    const bool bChecked = !bSeparator && !bNoCheck && mi.IsChecked();
    const bool bRadio = !bSeparator && !bNoCheck && mi.IsRadio();
    CExtPopupMenuWnd* pSub = mi.GetPopup();
    const bool bSubShown = pSub != nullptr && IsLiveWindow(pSub->GetSafeHwnd()) && pSub->IsWindowVisible();

    if (mi.IsToolButton() && !mi.IsInplaceEdit())
    {
        bool bHover = bHighlighted;
        bool bPushed = false;
        bool bTransparent = !bHighlightFlag;
        if (bHighlighted && bPopup)
        {
            if (bSubShown)
            {
                bHover = false;
                bTransparent = true;
            }
            else
                bPushed = true;
        }
        if (bChecked || bRadio)
        {
            bPushed = true;
            bTransparent = false;
        }
        CExtPaintManager::PushButtonParams pbp(m_pPopup, true, *m_prcItem, sText, pIcon, true, bHover, bPushed, false,
                                               bEnabled, bHighlightFlag || bPushed || bHover, false, false,
                                               CExtPaintManager::PushButtonParams::AlignVCenter, hFont, bPopup, 0,
                                               bTransparent);
        pbp.SeparateDropDown = false;
        g_PaintManager->PaintPushButton(m_dc, pbp);
        return;
    }
    CExtPaintManager::MenuItemParams mip(
        m_pPopup, *m_prcItem, *m_prcSlot, mi.m_nIconAreaWidth, sText, sAccel, pIcon, (m_nFlags & SUB_MENU) != 0,
        bHighlighted, bChecked, bRadio,
        !bSeparator && !bPopup && (mi.m_nExtraFlags & MENUITEMDATA::EXTRA_CHECK_STYLE2) != 0, bEnabled,
        (m_nFlags & RARELY) != 0, (m_nFlags & RARELY_PREV) != 0, (m_nFlags & RARELY_NEXT) != 0, mi.GetCmdID(), hFont);
    if (mi.IsInplaceEdit())
    {
        mip.InPlaceRect = mi.GetInplaceEditRect(*m_prcItem, m_pPopup->IsRightToLeft());
        mip.InPlaceText = mi.GetInplaceEditText();
    }
    if (!bSeparator && mi.m_pCbCustom != nullptr && !m_pPopup->IsHelpModeTracking())
    {
        const bool bCustom = (mi.m_nExtraFlags & MENUITEMDATA::EXTRA_CUSTOM_CHECKED) != 0;
        mip.IconInSecondHalf = bCustom;
        mip.CheckBoxInFirstHalf = bCustom;
    }
    if (bSubShown)
        mip.InPlaceButtonPushed = true;
    g_PaintManager->PaintMenuItem(m_dc, mip);
}

CExtPopupMenuWnd::LeftAreaDrawRecord_t::LeftAreaDrawRecord_t(CDC& dc, const RECT* prcLeftArea, CExtPopupMenuWnd* pPopup)
    : m_dc(dc), m_prcLeftArea(prcLeftArea), m_pPopup(pPopup)
{
}

bool CExtPopupMenuWnd::LeftAreaDrawRecord_t::NotifyCmdTarget()
{
    return ::SendMessageA(m_pPopup->GetCmdTargetWnd(), g_nMsgPopupDrawLeftArea, 0, reinterpret_cast<LPARAM>(this)) != 0;
}

CExtPopupMenuWnd::BackgroundDrawRecord_t::BackgroundDrawRecord_t(CDC& dc, const RECT& rcClient,
                                                                 CExtPopupMenuWnd* pPopup)
    : m_dc(dc), m_rcClient(rcClient), m_pPopup(pPopup)
{
}

bool CExtPopupMenuWnd::BackgroundDrawRecord_t::NotifyCmdTarget()
{
    return ::SendMessageA(m_pPopup->GetCmdTargetWnd(), g_nMsgPopupDrawBackground, 0, reinterpret_cast<LPARAM>(this)) !=
           0;
}

// ---- the menu ----------------------------------------------------------------

void CExtPopupMenuWnd::PaintFinished(CDC& dc, bool bOffscreen)
{
    const HWND hWnd = GetSafeHwnd();
    const int b = GetMenuBorderSize();
    const int s = GetShadowSize();
    CRect rcWnd(0, 0, 0, 0);
    if (IsLiveWindow(hWnd))
    {
        ::GetClientRect(hWnd, &rcWnd);
        CExtPaintManager::ExcludeVisibleChildren(dc.GetSafeHdc(), hWnd, nullptr, 0);
    }
    CRect rcClient;
    GetClientRect(&rcClient);
    CRect rcExclude(m_rcExcludeArea);
    if (IsLiveWindow(hWnd))
        ScreenToClient(&rcExclude);

    CPalette* pOldPalette = nullptr;
    if ((dc.GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0)
    {
        pOldPalette = dc.SelectPalette(&g_PaintManager->Palette, FALSE);
        dc.RealizePalette();
    }
    {
        CExtMemoryDC dcBuffer;
        if (bOffscreen)
            dcBuffer.Init(&dc, &rcClient);
        CDC& d = bOffscreen ? static_cast<CDC&>(dcBuffer) : dc;
        CPalette* pOldBufferPalette = nullptr;
        if (bOffscreen && pOldPalette != nullptr && dcBuffer.m_bMemDC)
            pOldBufferPalette = d.SelectPalette(&g_PaintManager->Palette, FALSE);
        CFont* pOldFont = d.SelectObject(&g_PaintManager->FontNormal);

        BackgroundDrawRecord_t bk(d, rcClient, this);
        bk.NotifyCmdTarget();
        if ((bk.m_nFlags & BackgroundDrawRecord_t::PAINTED_BACKGROUND) == 0)
        {
            COLORREF clr = g_PaintManager->GetMenuBackgroundColor(this, 0);
            bool bFill = true;
            if (IsPaletteMode() && (m_dwTrackFlags & TRACK_PALETTE_INHERIT_BK) != 0)
            {
                d.IntersectClipRect(&rcClient);
                if (g_PaintManager->PaintInheritedBackground(true, d, this, 0))
                    bFill = false;
                else
                    clr = g_PaintManager->GetColor(1000);
                d.SelectClipRgn(nullptr);
            }
            if (bFill)
                d.FillSolidRect(&rcClient, clr);
        }
        if ((bk.m_nFlags & BackgroundDrawRecord_t::PAINTED_BORDER) == 0)
            g_PaintManager->PaintMenuBorder(d, rcClient, this, 0);

        const int nScrollPosMin = GetScrollPosMin();
        for (const CRect& rc :
             CExtPopupMenuGeometry::ItemClipExclusions(GeometryFrame(), GeometryAreas(), rcWnd, nScrollPosMin))
            d.ExcludeClipRect(&rc);
        PaintItems(d);

        POINT ptCursor = {0, 0};
        if (!IsLiveWindow(hWnd) || !::GetCursorPos(&ptCursor) || !::ScreenToClient(hWnd, &ptCursor))
            ptCursor = POINT{0, 0};
        d.SelectClipRgn(nullptr);
        if ((m_nMenuState & MENU_COLLAPSED) != 0)
        {
            CRect rc;
            ItemGetRect(IDX_EXPAND, rc, false);
            const bool bHot = rc.PtInRect(ptCursor) != FALSE;
            g_PaintManager->PaintMenuExpandButton(d, rc, bHot, bHot, this, 0);
        }
        if (IsTearOffCaption())
        {
            CRect rc;
            ItemGetRect(IDX_TEAR_OFF, rc, false);
            const bool bHot = rc.PtInRect(ptCursor) && !IsNoHookTracking();
            g_PaintManager->PaintMenuTearOffButton(d, rc, bHot, bHot, this, 0);
        }
        if ((m_nMenuState & MENU_SCROLLING) != 0)
        {
            const auto paintScrollButton = [&](int nIndex, LPCTSTR lpszGlyph, bool bStepping)
            {
                CRect rc;
                ItemGetRect(nIndex, rc, true);
                const bool bPushed = rc.PtInRect(ptCursor) || bStepping;
                CExtPaintManager::PushButtonParams pbp(
                    this, true, rc, lpszGlyph, nullptr, true, false, bPushed, false, true, true, false, false,
                    CExtPaintManager::PushButtonParams::AlignCenter | CExtPaintManager::PushButtonParams::AlignVCenter,
                    static_cast<HFONT>(g_PaintManager->FontMarlett.GetSafeHandle()), false, 0, false);
                g_PaintManager->PaintPushButton(d, pbp);
            };
            if (m_nDyScrollOffset != 0)
                paintScrollButton(IDX_SCROLL_TOP, "t", m_nScrollingDirection > 0);
            if (m_nDyScrollOffset != nScrollPosMin)
                paintScrollButton(IDX_SCROLL_BOTTOM, "u", m_nScrollingDirection < 0);
        }
        if (m_nLeftAreaWidth > 0)
        {
            const CRect rcLeft(rcClient.left + b, rcClient.top + b, rcClient.left + b + m_nLeftAreaWidth,
                               rcClient.bottom - b);
            LeftAreaDrawRecord_t left(d, &rcLeft, this);
            left.NotifyCmdTarget();
        }
        if (m_bCombineWithEA)
        {
            d.SelectClipRgn(nullptr);
            g_PaintManager->PaintMenuCombinedArea(d, rcExclude, rcClient, m_nCombineAlign, this, 0);
            d.SelectClipRgn(nullptr);
            if (m_pCbPaintCombinedContent != nullptr)
                m_pCbPaintCombinedContent(m_pCbPaintCombinedCookie, d, *this, m_rcExcludeArea, m_nCombineAlign);
        }
        d.SelectObject(pOldFont);
        if (pOldBufferPalette != nullptr)
            d.SelectPalette(pOldBufferPalette, FALSE);
    }

    if (IsShadowEnabled() && m_animation.Finished && s > 0 && IsLiveWindow(hWnd))
    {
        dc.SelectClipRgn(nullptr);
        CRect rcClientScreen(rcClient);
        ClientToScreen(&rcClientScreen);
        const bool bCombinedRoot = m_bCombineWithEA && m_pWndParentMenu == nullptr;
        if (bCombinedRoot)
        {
            dc.ExcludeClipRect(&rcClient);
            m_shadowCombined.Paint(dc, rcExclude, m_rcExcludeArea, rcClientScreen, s, 75, 100, true, true, hWnd);
            dc.SelectClipRgn(nullptr);
        }
        if (m_bCombineWithEA)
            dc.ExcludeClipRect(&rcExclude);
        const CRect rcNone(0, 0, 0, 0);
        m_shadow.Paint(dc, rcClient, bCombinedRoot ? rcClientScreen : rcNone, bCombinedRoot ? m_rcExcludeArea : rcNone,
                       s, 75, 100, true, true, hWnd);
    }
    if (m_bCombineWithEA)
    {
        dc.SelectClipRgn(nullptr);
        CExtMemoryDC dcArea(&dc, &rcExclude);
        g_PaintManager->PaintMenuCombinedArea(dcArea, rcExclude, rcClient, m_nCombineAlign, this, 0);
        if (m_pCbPaintCombinedContent != nullptr)
            m_pCbPaintCombinedContent(m_pCbPaintCombinedCookie, dcArea, *this, m_rcExcludeArea, m_nCombineAlign);
    }
    if (pOldPalette != nullptr)
        dc.SelectPalette(pOldPalette, FALSE);
}

void CExtPopupMenuWnd::PaintAnimationFrame(CDC& dc)
{
    PaintAnimationKindFrame(dc, m_nCombineAlign);
    if (m_animation.Kind != CExtPopupAnimation::AnimationExpand || m_bmpFinished.GetSafeHandle() == nullptr)
        return;
    CRect rc;
    GetClientRect(&rc);
    const int w = rc.Width(), h = rc.Height(), p = m_animation.Percent;
    CExtBitmapDC dcFinished(dc, m_bmpFinished.GetSafeHandle());
    if (!dcFinished.IsReady())
        return;
    visible_items_t items;
    GetVisibleItems(dcFinished.GetSafeHdc(), items);
    const INT_PTR nCount = items.GetSize();
    if (nCount == 0)
    {
        dc.StretchBlt(rc.left, rc.top, w, h * p / 100, &dcFinished, 0, 0, w, h, SRCCOPY);
        return;
    }
    // the rarely used items grow in while the others keep their height
    std::vector<ExpandEffectRects_t> strips(static_cast<size_t>(nCount));
    int yTarget = rc.top;
    for (INT_PTR i = 0; i < nCount; ++i)
    {
        ExpandEffectRects_t& strip = strips[static_cast<size_t>(i)];
        const int nTop = i == 0 ? rc.top : items[i].m_rcSlot.top;
        const int nBottom = i == nCount - 1 ? rc.bottom : items[i + 1].m_rcSlot.top;
        strip.m_rcSource.SetRect(rc.left, nTop, rc.right, nBottom);
        int nHeight = strip.m_rcSource.Height();
        if ((items[i].m_nFlags & VisibleItemDefinition_t::RARELY) != 0)
            nHeight = nHeight * p / 100;
        strip.m_rcTarget.SetRect(rc.left, yTarget, rc.right, yTarget + nHeight);
        yTarget += nHeight;
    }
    const CExtPopupMenuWnd* pRoot = this;
    while (pRoot->m_pWndParentMenu != nullptr)
        pRoot = pRoot->m_pWndParentMenu;
    const int nGrowth = yTarget - rc.bottom;
    if (m_bCombineWithEA && pRoot->m_nCombineAlign == CExtPopupMenuPlacement::CombineAbove && nGrowth != 0)
    {
        // a menu above its button grows upwards
        for (ExpandEffectRects_t& strip : strips)
            strip.m_rcTarget.OffsetRect(0, -nGrowth);
    }
    for (const ExpandEffectRects_t& strip : strips)
        if (!strip.m_rcTarget.IsRectEmpty())
            dc.BitBlt(strip.m_rcTarget.left, strip.m_rcTarget.top, strip.m_rcTarget.Width(), strip.m_rcTarget.Height(),
                      &dcFinished, strip.m_rcSource.left - rc.left, strip.m_rcSource.top - rc.top, SRCCOPY);
}

void CExtPopupMenuWnd::PaintItems(CDC& dc)
{
    if (IsPaletteMode())
    {
        PaintItemsPalette(dc);
        return;
    }
    visible_items_t list;
    GetVisibleItems(dc.GetSafeHdc(), list);
    const bool bOffer = !IsNoHookTracking() && IsTopMenuOwnerDrawn();
    bool bPrevToolButton = false;
    for (INT_PTR i = 0; i < list.GetSize(); ++i)
    {
        const VisibleItemDefinition_t& vi = list[i];
        MENUITEMDATA& mi = m_items[vi.m_nIndex];
        const BYTE nRarely = g_bHighlightRarelyUsed ? vi.m_nFlags : 0;
        if ((vi.m_nFlags & VisibleItemDefinition_t::SEPARATOR) != 0)
        {
            if (bPrevToolButton)
                g_PaintManager->PaintSeparator(dc, vi.m_rcSlot, false, true, this, 0);
            else
                g_PaintManager->PaintMenuSeparator(dc, vi.m_rcSlot, mi.m_nIconAreaWidth,
                                                   (nRarely & VisibleItemDefinition_t::RARELY) != 0, this, 0);
            bPrevToolButton = mi.IsToolButton();
            continue;
        }
        bPrevToolButton = mi.IsToolButton();
        BYTE nFlags = bOffer ? ItemDrawRecord_t::OFFER_TO_TARGET : 0;
        if ((vi.m_nFlags & VisibleItemDefinition_t::SUB_MENU) != 0)
            nFlags |= ItemDrawRecord_t::SUB_MENU;
        if ((nRarely & VisibleItemDefinition_t::RARELY) != 0)
            nFlags |= ItemDrawRecord_t::RARELY;
        if ((nRarely & VisibleItemDefinition_t::RARELY_PREV) != 0)
            nFlags |= ItemDrawRecord_t::RARELY_PREV;
        if ((nRarely & VisibleItemDefinition_t::RARELY_NEXT) != 0)
            nFlags |= ItemDrawRecord_t::RARELY_NEXT;
        ItemDrawRecord_t record(dc, &vi.m_rcItem, &vi.m_rcSlot, &mi, this, nFlags);
        if (!bOffer || !record.NotifyCmdTarget())
            record.PaintWithTheme(false, false, false, false, false);
    }
}

void CExtPopupMenuWnd::PaintItemsPalette(CDC& dc)
{
    visible_items_t list;
    GetVisibleItems(dc.GetSafeHdc(), list);
    const bool bOffer = IsTopMenuOwnerDrawn();
    for (INT_PTR i = 0; i < list.GetSize(); ++i)
    {
        const VisibleItemDefinition_t& vi = list[i];
        MENUITEMDATA& mi = m_items[vi.m_nIndex];
        if ((vi.m_nFlags & VisibleItemDefinition_t::SEPARATOR) != 0)
        {
            g_PaintManager->PaintSeparator(dc, vi.m_rcSlot, false, true, this, 0);
            continue;
        }
        BYTE nFlags = bOffer ? ItemDrawRecord_t::OFFER_TO_TARGET : 0;
        if ((vi.m_nFlags & VisibleItemDefinition_t::SUB_MENU) != 0)
            nFlags |= ItemDrawRecord_t::SUB_MENU;
        ItemDrawRecord_t record(dc, &vi.m_rcItem, &vi.m_rcSlot, &mi, this, nFlags);
        if (bOffer && record.NotifyCmdTarget())
            continue;
        bool bNoIcon = false, bNoText = false;
        PalettePartsLeftOut(mi, bNoIcon, bNoText);
        record.PaintWithTheme(bNoIcon, bNoText, false, false, false);
    }
}

void CExtPopupMenuWnd::PaintParentItem(LPVOID pCookie, CDC& dc, const CWnd& wndPopup, const CRect& rcExcludeArea, int)
{
    if (rcExcludeArea.IsRectEmpty())
        return;
    if (!wndPopup.IsKindOf(RUNTIME_CLASS(CExtPopupMenuWnd)))
        return;
    CExtPopupMenuWnd* pSub = const_cast<CExtPopupMenuWnd*>(static_cast<const CExtPopupMenuWnd*>(&wndPopup));
    CExtPopupMenuWnd* pParent = pSub->m_pWndParentMenu;
    const int nIndex = static_cast<int>(reinterpret_cast<INT_PTR>(pCookie));
    if (pParent == nullptr || nIndex < 0 || nIndex >= pParent->ItemGetCount())
        return;
    MENUITEMDATA& mi = pParent->m_items[nIndex];
    CRect rcItem;
    pParent->ItemGetRect(nIndex, rcItem, true);
    CPoint ptOrigin(rcExcludeArea.TopLeft());
    pSub->ScreenToClient(&ptOrigin);
    rcItem.OffsetRect(ptOrigin - rcItem.TopLeft());
    CRect rcSubClient;
    pSub->GetClientRect(&rcSubClient);
    dc.ExcludeClipRect(&rcSubClient);
    BYTE nFlags = IsTopMenuOwnerDrawn() ? ItemDrawRecord_t::OFFER_TO_TARGET : 0;
    if (mi.IsPopup())
        nFlags |= ItemDrawRecord_t::SUB_MENU;
    ItemDrawRecord_t record(dc, &rcItem, &rcItem, &mi, pSub, nFlags);
    if ((nFlags & ItemDrawRecord_t::OFFER_TO_TARGET) == 0 || !record.NotifyCmdTarget())
    {
        bool bNoIcon = false, bNoText = false;
        if (pParent->IsPaletteMode())
            PalettePartsLeftOut(mi, bNoIcon, bNoText);
        record.PaintWithTheme(bNoIcon, bNoText, false, false, false);
    }
    dc.SelectClipRgn(nullptr);
}
