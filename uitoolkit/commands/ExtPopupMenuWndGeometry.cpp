// Where things lie in a shown popup menu: the item rectangles (cached per
// item until the layout or the scroll offset changes), the scroll, expand
// and tear-off areas, the visible-item list, hit tests and the cursor.
#include "framework/win/AfxMsg.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtCmdItem.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

namespace
{

void DescribeVisibleItem(CExtPopupMenuWnd::VisibleItemDefinition_t& vi, int nIndex,
                         const CExtPopupMenuWnd::MENUITEMDATA& mi)
{
    vi.m_nIndex = nIndex;
    vi.m_nCmdID = mi.GetCmdID();
    if (mi.IsSeparator())
        vi.m_nFlags |= CExtPopupMenuWnd::VisibleItemDefinition_t::SEPARATOR;
    else if (mi.IsPopup())
        vi.m_nFlags |= CExtPopupMenuWnd::VisibleItemDefinition_t::SUB_MENU;
}

} // namespace

int CExtPopupMenuWnd::GetMenuBorderSize() const
{
    return g_PaintManager->GetMenuBorderSize();
}

int CExtPopupMenuWnd::GetTearOffCaptionHeight() const
{
    return g_PaintManager->GetMenuTearOffCaptionHeight();
}

int CExtPopupMenuWnd::GetMenuExpandButtonHeight()
{
    return g_PaintManager->GetMenuExpandButtonHeight();
}

void CExtPopupMenuWnd::GetClientRect(RECT* pRect) const
{
    *pRect = m_rcClient;
}

void CExtPopupMenuWnd::GeometryItems(std::vector<CExtPopupMenuGeometry::Item>& items) const
{
    items.resize(static_cast<size_t>(m_items.GetSize()));
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
    {
        const MENUITEMDATA& mi = m_items[i];
        CExtPopupMenuGeometry::Item& item = items[static_cast<size_t>(i)];
        item.Displayed = mi.IsDisplayed();
        item.Separator = mi.IsSeparator();
        item.ToolButton = mi.IsToolButton();
        item.Wrap = (mi.m_nStateFlags & MENUITEMDATA::STATE_WRAP) != 0;
        item.InplaceEdit = mi.IsInplaceEdit();
        item.Width = mi.m_nWidth;
        item.FullWidth = mi.GetFullWidth();
        item.Height = mi.m_nHeight;
        mi.GetMargins(&item.MarginLeft, &item.MarginTop, &item.MarginRight, &item.MarginBottom);
    }
}

CExtPopupMenuGeometry::Frame CExtPopupMenuWnd::GeometryFrame() const
{
    CExtPopupMenuGeometry::Frame frame;
    frame.Client = m_rcClient;
    frame.Border = GetMenuBorderSize();
    frame.LeftAreaWidth = m_nLeftAreaWidth;
    frame.ExpandButtonHeight = GetMenuExpandButtonHeight();
    frame.TearOffHeight = IsTearOffCaption() ? GetTearOffCaptionHeight() : 0;
    frame.Scrollable = (m_nMenuState & MENU_SCROLLING) != 0;
    frame.ExpandShown = (m_nMenuState & MENU_COLLAPSED) != 0;
    frame.ScrollOffset = m_nDyScrollOffset;
    frame.ContentWidth = m_nContentWidth;
    return frame;
}

CExtPopupMenuGeometry::Areas CExtPopupMenuWnd::GeometryAreas() const
{
    CExtPopupMenuGeometry::Areas areas;
    areas.ScrollTop = m_rcScrollTop;
    areas.ScrollBottom = m_rcScrollBottom;
    areas.ExpandButton = m_rcExpandButton;
    areas.TearOffCaption = m_rcTearOffBtn;
    return areas;
}

void CExtPopupMenuWnd::RecalcScrollAreas()
{
    CExtPopupMenuGeometry::Areas areas = GeometryAreas();
    CExtPopupMenuGeometry::RecalcScrollAreas(GeometryFrame(), areas);
    m_rcScrollTop = areas.ScrollTop;
    m_rcScrollBottom = areas.ScrollBottom;
    m_rcExpandButton = areas.ExpandButton;
    m_rcTearOffBtn = areas.TearOffCaption;
}

void CExtPopupMenuWnd::ItemGetRect(int nIndex, RECT& rc, bool bInner)
{
    const int nCount = ItemGetCount();
    if (IsPaletteMode() && nIndex >= 0 && nIndex < nCount)
    {
        ItemGetRectPalette(nIndex, rc, bInner);
        return;
    }
    if (nIndex < 0)
    {
        rc = CExtPopupMenuGeometry::SpecialRect(GeometryFrame(), GeometryAreas(), nIndex, bInner);
        return;
    }
    if (nIndex >= nCount || !m_items[nIndex].IsDisplayed())
    {
        ::SetRectEmpty(&rc);
        return;
    }
    MENUITEMDATA& mi = m_items[nIndex];
    CRect& rcCache = bInner ? mi.m_rcItem : mi.m_rcItemWithIndents;
    if (rcCache.IsRectEmpty())
    {
        std::vector<CExtPopupMenuGeometry::Item> items;
        GeometryItems(items);
        rcCache = CExtPopupMenuGeometry::ItemRect(GeometryFrame(), items, nIndex, bInner);
    }
    rc = rcCache;
}

void CExtPopupMenuWnd::ItemGetRectPalette(int nIndex, RECT& rc, bool bInner)
{
    if (nIndex < 0 || nIndex >= ItemGetCount())
    {
        ItemGetRect(nIndex, rc, bInner);
        return;
    }
    MENUITEMDATA& mi = m_items[nIndex];
    if (!mi.IsDisplayed())
    {
        ::SetRectEmpty(&rc);
        return;
    }
    CRect& rcCache = bInner ? mi.m_rcItem : mi.m_rcItemWithIndents;
    if (!rcCache.IsRectEmpty())
    {
        rc = rcCache;
        return;
    }
    std::vector<CExtPopupMenuGeometry::Item> items;
    GeometryItems(items);
    const CRect r =
        CExtPopupMenuGeometry::ItemRectPalette(GeometryFrame(), items, nIndex, g_PaintManager->GetSeparatorHeight());
    // separators change with the client width and are never cached
    if (!mi.IsSeparator())
        rcCache = r;
    rc = r;
}

void CExtPopupMenuWnd::ResetItemRectCache()
{
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
    {
        m_items[i].m_rcItem.SetRectEmpty();
        m_items[i].m_rcItemWithIndents.SetRectEmpty();
    }
}

bool CExtPopupMenuWnd::ItemEndsPaletteRow(int nIndex) const
{
    if (!IsPaletteMode())
        return false;
    std::vector<CExtPopupMenuGeometry::Item> items;
    GeometryItems(items);
    return CExtPopupMenuGeometry::EndsPaletteRow(items, nIndex);
}

void CExtPopupMenuWnd::GetVisibleItems(HDC hDC, visible_items_t& list)
{
    if (IsPaletteMode())
    {
        GetVisibleItemsPalette(hDC, list);
        return;
    }
    list.RemoveAll();
    const bool bNoHooks = IsNoHookTracking();
    for (int i = 0; i < ItemGetCount(); ++i)
    {
        MENUITEMDATA& mi = m_items[i];
        if (!mi.IsDisplayed())
            continue;
        VisibleItemDefinition_t vi;
        ItemGetRect(i, vi.m_rcItem, true);
        ItemGetRect(i, vi.m_rcSlot, false);
        if (vi.m_rcItem.IsRectEmpty() || vi.m_rcSlot.IsRectEmpty())
            continue;
        if (hDC != nullptr && (!::RectVisible(hDC, &vi.m_rcItem) || !::RectVisible(hDC, &vi.m_rcSlot)))
            continue;
        DescribeVisibleItem(vi, i, mi);
        if (mi.IsPopup())
        {
            if (!bNoHooks && !mi.IsOwnItem() && mi.GetPopup() != nullptr && mi.GetPopup()->IsNoItemDisplayed() &&
                (mi.m_nStateFlags & MENUITEMDATA::STATE_ALWAYS_DISPLAYED) == 0)
                vi.m_nFlags |= VisibleItemDefinition_t::RARELY;
        }
        else if (!mi.IsSeparator() && mi.m_pCbCustom == nullptr && !bNoHooks)
        {
            const CExtCmdItem* pCmd = mi.GetCmd();
            if (pCmd != nullptr && pCmd->IsRarelyUsed())
                vi.m_nFlags |= VisibleItemDefinition_t::RARELY;
        }
        list.Add(vi);
    }
    // the list's flags as ints for the shared grouping rule
    const int nCount = static_cast<int>(list.GetSize());
    std::vector<int> flags(static_cast<size_t>(nCount));
    for (int i = 0; i < nCount; ++i)
        flags[static_cast<size_t>(i)] = list[i].m_nFlags;
    CExtPopupMenuGeometry::GroupRarelyUsed(
        nCount, [&flags](int i) -> int& { return flags[static_cast<size_t>(i)]; }, bNoHooks);
    for (int i = 0; i < nCount; ++i)
        list[i].m_nFlags = static_cast<BYTE>(flags[static_cast<size_t>(i)]);
}

void CExtPopupMenuWnd::GetVisibleItemsPalette(HDC hDC, visible_items_t& list)
{
    list.RemoveAll();
    for (int i = 0; i < ItemGetCount(); ++i)
        if (!m_items[i].IsDisplayed())
            m_items[i].SetStateBit(MENUITEMDATA::STATE_DISPLAYED, true);
    for (int i = 0; i < ItemGetCount(); ++i)
    {
        const MENUITEMDATA& mi = m_items[i];
        VisibleItemDefinition_t vi;
        ItemGetRect(i, vi.m_rcItem, true);
        if (hDC != nullptr && !::RectVisible(hDC, &vi.m_rcItem))
            continue;
        vi.m_rcSlot = vi.m_rcItem;
        DescribeVisibleItem(vi, i, mi);
        list.Add(vi);
    }
}

int CExtPopupMenuWnd::OnHitTest(const POINT& ptClient, bool* pbOverEdit, bool* pbOverDropArrow)
{
    if (pbOverEdit != nullptr)
        *pbOverEdit = false;
    if (pbOverDropArrow != nullptr)
        *pbOverDropArrow = false;
    if (GetSafeHwnd() == nullptr || !::IsWindow(GetSafeHwnd()))
        return IDX_NOTHING;
    const int nHit = CExtPopupMenuGeometry::HitTest(GeometryFrame(), GeometryAreas(), ptClient, GetScrollPosMin(),
                                                    IsNoHookTracking() || IsHelpModeTracking(), ItemGetCount(),
                                                    [this](int i)
                                                    {
                                                        CRect rc;
                                                        ItemGetRect(i, rc, true);
                                                        return rc;
                                                    });
    if (nHit < 0 || (pbOverEdit == nullptr && pbOverDropArrow == nullptr))
        return nHit;
    const MENUITEMDATA& mi = m_items[nHit];
    if (!mi.IsInplaceEdit())
        return nHit;
    CRect rcItem;
    ItemGetRect(nHit, rcItem, true);
    const CRect rcEdit = mi.GetInplaceEditRect(rcItem, IsRightToLeft());
    if (pbOverEdit != nullptr)
        *pbOverEdit = rcEdit.PtInRect(ptClient) != FALSE;
    if (pbOverDropArrow != nullptr && mi.IsPopup())
    {
        const CRect rcArrow(rcEdit.right, rcEdit.top, rcEdit.right + ::GetSystemMetrics(SM_CXHTHUMB), rcEdit.bottom);
        *pbOverDropArrow = rcArrow.PtInRect(ptClient) != FALSE;
    }
    return nHit;
}

BOOL CExtPopupMenuWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (IsHelpModeTracking())
    {
        ::SetCursor(AfxGetContextHelpCursor());
        return TRUE;
    }
    POINT pt;
    if (!::GetCursorPos(&pt))
        return CExtPopupBaseWnd::OnSetCursor(pWnd, nHitTest, message);
    ScreenToClient(&pt);
    const int nHit = OnHitTest(pt);
    if (IsTearOffCaption() && nHit == IDX_TEAR_OFF)
    {
        ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEALL));
        return TRUE;
    }
    if (nHit >= 0)
    {
        const MENUITEMDATA& mi = m_items[nHit];
        if (!mi.IsSeparator() && mi.m_pCbCustom != nullptr)
            return CExtPopupBaseWnd::OnSetCursor(pWnd, nHitTest, message);
        if (mi.IsInplaceEdit() && (mi.m_nInplaceFlags & MENUITEMDATA::INPLACE_ACTIVE) != 0)
        {
            CRect rcItem;
            ItemGetRect(nHit, rcItem, true);
            if (mi.GetInplaceEditRect(rcItem, IsRightToLeft()).PtInRect(pt))
                ::SetCursor(::LoadCursorA(nullptr, IDC_IBEAM));
            return TRUE;
        }
    }
    return CExtPopupBaseWnd::OnSetCursor(pWnd, nHitTest, message);
}
