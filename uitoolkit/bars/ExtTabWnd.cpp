#include "uitoolkit/bars/ExtTabWnd.h"

#include "framework/core/CException.h"
#include "framework/win/AfxMsg.h"
#include "framework/win/Dc.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtPopupMenuTipWnd.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CExtTabWnd, CWnd)

namespace
{

const char kTabWndClass[] = "Quorbis-TabWindow";
const UINT_PTR kToolId = 1;

bool IsPartCode(int nCode)
{
    return nCode <= CExtTabCore::HitPrevious && nCode >= CExtTabCore::HitEnd;
}

int PartOfCode(int nCode)
{
    switch (nCode)
    {
    case CExtTabCore::HitPrevious: return CExtTabCore::PartPrevious;
    case CExtTabCore::HitNext: return CExtTabCore::PartNext;
    case CExtTabCore::HitHome: return CExtTabCore::PartHome;
    case CExtTabCore::HitEnd: return CExtTabCore::PartEnd;
    case CExtTabCore::HitHelp: return CExtTabCore::PartHelp;
    case CExtTabCore::HitClose: return CExtTabCore::PartClose;
    default: return CExtTabCore::PartTabList;
    }
}

// The tip of a part button: the string table's text, else the built-in one.
CString PartTipText(int nCode)
{
    static const struct
    {
        int nCode;
        UINT nStringId;
        const char* pszBuiltIn;
    } kTips[] = {{CExtTabCore::HitPrevious, 30052, "Previous"},
                 {CExtTabCore::HitNext, 30053, "Next"},
                 {CExtTabCore::HitHelp, 30054, "Help"},
                 {CExtTabCore::HitClose, 30055, ""},
                 {CExtTabCore::HitTabList, 30342, ""},
                 {CExtTabCore::HitHome, 30385, "Home"},
                 {CExtTabCore::HitEnd, 30386, "End"}};
    for (const auto& tip : kTips)
    {
        if (tip.nCode != nCode)
            continue;
        CString sText;
        if (!g_ResourceManager->LoadString(sText, tip.nStringId))
            sText = tip.pszBuiltIn;
        return sText;
    }
    return CString();
}

} // namespace

// ---- items ----

CExtTabWnd::TAB_ITEM_INFO::TAB_ITEM_INFO(CExtTabWnd* pOwner, LPCTSTR lpszText, HICON hIcon, bool bCopyIcon,
                                         DWORD dwStyle, LPARAM lParam, LPCTSTR lpszTooltip)
    : m_pOwner(pOwner), m_sTooltip(lpszTooltip != nullptr ? lpszTooltip : ""), m_icon(hIcon, bCopyIcon)
{
    m_dwStyle = dwStyle;
    m_sText = lpszText != nullptr ? lpszText : "";
    m_lParam = lParam;
}

CString CExtTabWnd::TAB_ITEM_INFO::GetText() const
{
    const CString* pText = m_pOwner->OnQueryItemText(this);
    return pText != nullptr ? *pText : m_sText;
}

CString CExtTabWnd::TAB_ITEM_INFO::GetTooltipText() const
{
    const CString* pText = m_pOwner->OnQueryItemTooltip(this);
    return pText != nullptr && !pText->IsEmpty() ? *pText : m_sTooltip;
}

CExtCmdIcon* CExtTabWnd::TAB_ITEM_INFO::GetIcon()
{
    CExtCmdIcon* pIcon = m_pOwner->OnQueryItemIcon(this);
    if (pIcon != nullptr && !pIcon->IsEmpty())
        return pIcon;
    return m_icon.IsEmpty() ? nullptr : &m_icon;
}

CSize CExtTabWnd::TAB_ITEM_INFO::CalcIconSize()
{
    const CExtCmdIcon* pIcon = GetIcon();
    return pIcon != nullptr ? pIcon->GetSize() : CSize(0, 0);
}

DWORD CExtTabWnd::TAB_ITEM_INFO::ModifyStyle(DWORD dwRemove, DWORD dwAdd)
{
    return m_pOwner->ModifyItemStyle(GetIndex(), dwRemove, dwAdd);
}

bool CExtTabWnd::TAB_ITEM_INFO::SetVisible(bool bShow)
{
    return (ModifyStyle(bShow ? ItemHidden : 0, bShow ? 0 : ItemHidden) & ItemHidden) == 0;
}

bool CExtTabWnd::TAB_ITEM_INFO::HitTest(POINT pt) const
{
    const CRect rc(m_rc);
    return IsVisible() && !rc.IsRectEmpty() && rc.PtInRect(pt);
}

CExtTabWnd::TAB_ITEM_INFO* CExtTabWnd::TAB_ITEM_INFO::GetFirstInGroup()
{
    int nFirst = 0, nLast = 0;
    m_pOwner->CExtTabCore::GetGroupRange(GetIndex(), nFirst, nLast);
    return m_pOwner->GetItem(nFirst);
}

CExtTabWnd::TAB_ITEM_INFO* CExtTabWnd::TAB_ITEM_INFO::GetLastInGroup()
{
    int nFirst = 0, nLast = 0;
    m_pOwner->CExtTabCore::GetGroupRange(GetIndex(), nFirst, nLast);
    return m_pOwner->GetItem(nLast);
}

// ---- the window ----

CExtTabWnd::CExtTabWnd()
{
    RegisterTabWndClass();
}

CExtTabWnd::~CExtTabWnd()
{
    CExtTabCore::DeleteAllItems();
    if (m_wndToolTip.GetSafeHwnd() != nullptr)
        m_wndToolTip.DestroyWindow();
    if (GetSafeHwnd() != nullptr)
        DestroyWindow();
}

bool CExtTabWnd::RegisterTabWndClass()
{
    static bool s_bRegistered = false;
    if (s_bRegistered)
        return true;
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(hInst, kTabWndClass, &wc))
    {
        wc = {};
        wc.style = CS_GLOBALCLASS | CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = CExtControlBar::g_hCursorArrow != nullptr ? CExtControlBar::g_hCursorArrow
                                                               : ::LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kTabWndClass;
        if (!AfxRegisterClass(&wc))
            return false;
    }
    s_bRegistered = true;
    return true;
}

BOOL CExtTabWnd::Create(CWnd* pParentWnd, const RECT& rcWnd, UINT nDlgCtrlID, DWORD dwWindowStyle, DWORD dwTabStyle,
                        CCreateContext* pContext)
{
    if (!RegisterTabWndClass())
        return FALSE;
    m_nStateFlags |= StateMadeByCreate;
    CExtTabCore::ModifyTabWndStyle(~DWORD(0), dwTabStyle);
    if (!CWnd::Create(kTabWndClass, nullptr, dwWindowStyle, rcWnd, pParentWnd, nDlgCtrlID, pContext))
        return FALSE;
    if (!InitTabWnd())
        AfxThrowResourceException();
    return TRUE;
}

void CExtTabWnd::PreSubclassWindow()
{
    CWnd::PreSubclassWindow();
    if (m_nStateFlags & StateMadeByCreate)
        return;
    // A dialog control of the class: its style's low word is the tab style.
    const DWORD dwStyle = GetStyle();
    CExtTabCore::ModifyTabWndStyle(0xFFFF, dwStyle & 0xFFFF);
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(dwStyle & ~DWORD(0xFFFF)));
    if (!InitTabWnd())
        AfxThrowResourceException();
}

BOOL CExtTabWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!RegisterTabWndClass() || !CWnd::PreCreateWindow(cs))
        return FALSE;
    cs.lpszClass = kTabWndClass;
    return TRUE;
}

bool CExtTabWnd::InitTabWnd()
{
    if (IsTooltipsEnabled() && m_wndToolTip.GetSafeHwnd() == nullptr)
    {
        if (!m_wndToolTip.Create(this))
            return false;
        m_wndToolTip.Activate(TRUE);
    }
    UpdateTabWnd(false);
    return true;
}

void CExtTabWnd::GetGroupRange(int nIndex, int& nFirst, int& nLast, TAB_ITEM_INFO** ppFirst,
                               TAB_ITEM_INFO** ppLast) const
{
    CExtTabCore::GetGroupRange(nIndex, nFirst, nLast);
    if (ppFirst != nullptr)
        *ppFirst = GetItem(nFirst);
    if (ppLast != nullptr)
        *ppLast = GetItem(nLast);
}

CExtTabWnd::TAB_ITEM_INFO* CExtTabWnd::InsertItem(LPCTSTR lpszText, HICON hIcon, bool bCopyIcon, DWORD dwItemStyle,
                                                  int nIndex, LPARAM lParam, bool bUpdate)
{
    auto* pItem = static_cast<TAB_ITEM_INFO*>(CExtTabCore::InsertItem(
        std::make_unique<TAB_ITEM_INFO>(this, lpszText, hIcon, bCopyIcon, dwItemStyle, lParam, nullptr), nIndex));
    OnItemInserted(FindItemIndex(pItem), pItem);
    UpdateTabWnd(bUpdate);
    return pItem;
}

int CExtTabWnd::DeleteItems(int nIndex, int nCount, bool bUpdate)
{
    if (nCount <= 0 || nIndex < 0 || nIndex >= GetItemCount())
    {
        UpdateTabWnd(bUpdate);
        return 0;
    }
    nCount = std::min(nCount, GetItemCount() - nIndex);
    // The before notice comes while the items still exist.
    OnItemsRemoved(nIndex, nCount, true);
    CExtTabCore::DeleteItems(nIndex, nCount);
    OnItemsRemoved(nIndex, nCount, false);
    UpdateTabWnd(bUpdate);
    return nCount;
}

void CExtTabWnd::DeleteAllItems()
{
    if (GetItemCount() == 0)
        return;
    OnAllItemsRemoved(true);
    CExtTabCore::DeleteAllItems();
    OnAllItemsRemoved(false);
}

int CExtTabWnd::SelectItem(int nIndex, bool bEnsureVisible, bool bUpdate)
{
    bool bAccepted = false;
    const int nPrevious = CExtTabCore::SelectItem(nIndex, &bAccepted);
    if (!bAccepted)
        return GetSelectedIndex();
    if (bEnsureVisible && GetSelectedIndex() >= 0)
        EnsureVisible(GetSelectedIndex(), bUpdate);
    else
        UpdateTabWnd(bUpdate);
    return nPrevious;
}

bool CExtTabWnd::OnSelectionChange(int nOld, int nNew, bool bBefore)
{
    return CExtTabCore::OnSelectionChange(nOld, nNew, bBefore);
}

bool CExtTabWnd::MoveItem(int nFrom, int nTo, bool bUpdate)
{
    const int nCount = GetItemCount();
    if (nFrom < 0 || nFrom >= nCount || nTo < 0 || nTo >= nCount || nFrom == nTo || !CanMoveItem(nFrom, nTo))
        return false;
    MoveItemImpl(nFrom, nTo);
    UpdateTabWnd(bUpdate);
    OnItemMoved(nFrom, nTo);
    return true;
}

void CExtTabWnd::MoveItemImpl(int nFrom, int nTo)
{
    TAB_ITEM_INFO* pItem = GetItem(nFrom);
    const CString sText = pItem->GetText();
    CExtCmdIcon* pIcon = OnQueryItemIcon(pItem);
    HICON hIcon = pIcon != nullptr && !pIcon->IsEmpty() ? pIcon->GetIcon() : nullptr;
    const DWORD dwStyle = pItem->m_dwStyle;
    const LPARAM lParam = pItem->m_lParam;
    EnsureVisible(nTo, false);
    InsertItem(sText, hIcon, true, dwStyle, nFrom < nTo ? nTo + 1 : nTo, lParam, false);
    DeleteItems(nFrom < nTo ? nFrom : nFrom + 1, 1, false);
    SelectItem(nTo, false, false);
}

bool CExtTabWnd::EnsureVisible(int nIndex, bool bUpdate)
{
    // The item rectangles and the scroll range must be the current ones.
    RecalcLayout();
    const bool bResult = CExtTabCore::EnsureVisible(nIndex);
    UpdateTabWnd(bUpdate);
    return bResult;
}

DWORD CExtTabWnd::ModifyTabWndStyle(DWORD dwRemove, DWORD dwAdd, bool bUpdate)
{
    const DWORD dwOld = CExtTabCore::ModifyTabWndStyle(dwRemove, dwAdd);
    UpdateTabWnd(bUpdate);
    return dwOld;
}

int CExtTabWnd::SetOrientation(int nOrientation, bool bUpdate)
{
    const int nOld = GetOrientation();
    CExtTabCore::ModifyTabWndStyle(StyleOrientationMask, static_cast<DWORD>(nOrientation) & StyleOrientationMask);
    UpdateTabWnd(bUpdate);
    return nOld;
}

void CExtTabWnd::UpdateTabWnd(bool bImmediate)
{
    MarkLayoutDirty();
    if (!bImmediate || GetSafeHwnd() == nullptr || !IsWindowVisible())
        return;
    RecalcLayout();
    Invalidate();
    UpdateWindow();
}

CRect CExtTabWnd::GetLayoutRect() const
{
    if (!m_rcLayout.IsRectEmpty())
        return m_rcLayout;
    CRect rc;
    GetClientRect(&rc);
    return rc;
}

void CExtTabWnd::RecalcLayout()
{
    if (GetSafeHwnd() == nullptr || !IsLayoutDirty())
        return;
    CClientDC dc(this);
    m_pMeasureDC = &dc;
    CExtTabCore::RecalcLayout(GetLayoutRect());
    m_pMeasureDC = nullptr;
}

CRect CExtTabWnd::CalcLayoutForRect(const RECT& rc)
{
    m_rcLayout = rc;
    MarkLayoutDirty();
    RecalcLayout();
    m_rcLayout.SetRectEmpty();
    MarkLayoutDirty();
    CRect rcItems(GetItemsArea());
    if (rcItems.IsRectEmpty() && GetSafeHwnd() != nullptr)
        GetWindowRect(&rcItems);
    return rcItems;
}

int CExtTabWnd::HitTest(POINT ptClient) const
{
    if (GetSafeHwnd() == nullptr)
        return HitNone;
    CRect rcClient;
    GetClientRect(&rcClient);
    return CExtTabCore::HitTest(rcClient, ptClient);
}

CRect CExtTabWnd::ItemClientRect(const TAB_ITEM_INFO* pItem) const
{
    CRect rc(pItem->m_rc);
    const CRect& rcItems = GetItemsArea();
    if (IsHorizontal())
        rc.OffsetRect(rcItems.left - GetScrollPosition(), 0);
    else
        rc.OffsetRect(0, rcItems.top - GetScrollPosition());
    return rc;
}

// ---- measuring ----

CFont* CExtTabWnd::GetTabFont(bool bSelected, int nOrientation)
{
    const DWORD dwStyle = GetTabWndStyle();
    const bool bBold = bSelected && (dwStyle & StyleBoldSelected) && !(dwStyle & StyleGroups);
    if (nOrientation < 0)
        nOrientation = GetOrientation();
    CExtPaintManager* pPM = g_PaintManager.GetPM();
    if (nOrientation == OrientationTop || nOrientation == OrientationBottom)
        return bBold ? &pPM->FontBold : &pPM->FontNormal;
    if (dwStyle & StyleReversedVertFont)
        return bBold ? &pPM->FontBoldVertRev : &pPM->FontNormalVertRev;
    return bBold ? &pPM->FontBoldVert : &pPM->FontNormalVert;
}

SIZE CExtTabWnd::MeasureText(const CString& sText, bool bBold, int nOrientation)
{
    // the font choice of GetTabFont, with the boldness already decided
    const DWORD dwStyle = GetTabWndStyle();
    const bool bBoldStyle = (dwStyle & StyleBoldSelected) && !(dwStyle & StyleGroups);
    CFont* pFont = GetTabFont(bBold && bBoldStyle, nOrientation);
    CWindowDC dcScreen(m_pMeasureDC == nullptr ? CWnd::GetDesktopWindow() : nullptr);
    CDC& dc = m_pMeasureDC != nullptr ? *m_pMeasureDC : dcScreen;
    CFont* pOldFont = dc.SelectObject(pFont);
    CRect rc(0, 0, 0, 0);
    dc.DrawText(sText, &rc, DT_CALCRECT | DT_SINGLELINE);
    dc.SelectObject(pOldFont);
    return rc.Size();
}

CString CExtTabWnd::QueryItemText(int nIndex) const
{
    return GetItem(nIndex)->GetText();
}

SIZE CExtTabWnd::QueryItemIconSize(int nIndex) const
{
    return GetItem(nIndex)->CalcIconSize();
}

CExtTabCore::Margins CExtTabWnd::GetMarginMetrics() const
{
    int nLead = 0, nTrail = 0, nOffset = 0;
    g_PaintManager->GetTabMarginMetrics(const_cast<CExtTabWnd*>(this), &nLead, &nTrail, &nOffset);
    return {nLead, nTrail, nOffset};
}

SIZE CExtTabWnd::GetPartButtonSize(int /*nCross*/) const
{
    const int nSide = PartButtonSide(std::min(::GetSystemMetrics(SM_CXSMSIZE), ::GetSystemMetrics(SM_CYSMSIZE)));
    return {nSide, nSide};
}

void CExtTabWnd::AdjustItemSize(int nIndex, SIZE& size)
{
    CWindowDC dcScreen(m_pMeasureDC == nullptr ? CWnd::GetDesktopWindow() : nullptr);
    CDC& dc = m_pMeasureDC != nullptr ? *m_pMeasureDC : dcScreen;
    g_PaintManager->AdjustTabItemSize(this, nIndex, dc, &size);
}

// ---- the item queries and notices of subclasses ----

CExtCmdIcon* CExtTabWnd::OnQueryItemIcon(const TAB_ITEM_INFO* pItem) const
{
    return pItem != nullptr ? &const_cast<TAB_ITEM_INFO*>(pItem)->m_icon : nullptr;
}

const CString* CExtTabWnd::OnQueryItemText(const TAB_ITEM_INFO* pItem) const
{
    return pItem != nullptr ? &pItem->m_sText : nullptr;
}

const CString* CExtTabWnd::OnQueryItemTooltip(const TAB_ITEM_INFO* pItem) const
{
    return pItem != nullptr ? &pItem->m_sTooltip : nullptr;
}

void CExtTabWnd::OnItemInserted(int, TAB_ITEM_INFO*)
{
}

void CExtTabWnd::OnItemsRemoved(int, int, bool)
{
}

void CExtTabWnd::OnAllItemsRemoved(bool)
{
}

// ---- painting ----

void CExtTabWnd::OnPaint()
{
    CExtPaintManager* pPM = g_PaintManager.GetPM();
    if (pPM != m_pLastPaintManager)
    {
        m_pLastPaintManager = pPM;
        MarkLayoutDirty();
    }
    RecalcLayout();
    CPaintDC dcPaint(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (rcClient.IsRectEmpty())
        return;
    {
        CExtMemoryDC dc(&dcPaint, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
        DrawTabWnd(dc, rcClient);
    }
    g_PaintManager->OnPaintSessionComplete(this, 0);
}

void CExtTabWnd::DrawTabWnd(CDC& dc, const CRect& rcClient)
{
    const DWORD dwStyle = GetTabWndStyle();
    const bool bHorz = IsHorizontal();
    const int nOrientation = GetOrientation();
    const bool bTopOrLeft = nOrientation == OrientationTop || nOrientation == OrientationLeft;
    const CRect rcItems(GetItemsArea());
    DrawBackground(dc, rcClient, CRect(GetRestArea()), nOrientation, (dwStyle & StyleGroups) != 0);

    const int nFirst = GetFirstVisibleIndex(), nLast = GetLastVisibleIndex();
    if (GetVisibleItemCount() > 0 && nFirst >= 0 && nLast >= nFirst && nLast < GetItemCount())
    {
        CRect rcClip = rcItems;
        if (bHorz)
            rcClip.InflateRect(1, 0);
        else
            rcClip.InflateRect(0, 1);
        const int nSavedDC = dc.SaveDC();
        dc.IntersectClipRect(&rcClip);
        CFont* pOldFont = dc.SelectObject(GetTabFont(false, -1));
        for (int i = nFirst; i <= nLast; ++i)
        {
            TAB_ITEM_INFO* pItem = GetItem(i);
            if (!pItem->IsVisible())
                continue;
            const CRect rcItem = ItemClientRect(pItem);
            if (!dc.RectVisible(&rcItem))
                continue;
            DrawItem(dc, rcItems, pItem, i, rcItem, bHorz, bTopOrLeft,
                     dwStyle & (StyleReversedVertFont | StylePainterFlag), pItem->IsSelected(),
                     GetTabFont(pItem->IsSelected(), -1), pItem->GetText(), pItem->GetIcon(), pItem->IsActiveInGroup(),
                     CSize(pItem->m_sizeText));
        }
        dc.SelectObject(pOldFont);
        dc.RestoreDC(nSavedDC);
    }

    CPoint ptCursor;
    ::GetCursorPos(&ptCursor);
    ScreenToClient(&ptCursor);
    static const struct
    {
        int nPart;
        int nCode;
    } kOrder[] = {{PartPrevious, HitPrevious}, {PartNext, HitNext}, {PartHelp, HitHelp}, {PartClose, HitClose},
                  {PartTabList, HitTabList},   {PartHome, HitHome}, {PartEnd, HitEnd}};
    for (const auto& part : kOrder)
    {
        const CRect rcButton(GetPartButtonRect(part.nPart));
        if (rcButton.IsRectEmpty() || !dc.RectVisible(&rcButton))
            continue;
        const bool bEnabled = IsPartEnabled(part.nCode);
        DrawPartButton(dc, rcButton, part.nCode, bTopOrLeft, bHorz, bEnabled, bEnabled && rcButton.PtInRect(ptCursor),
                       IsPartPushed(part.nCode));
    }
}

void CExtTabWnd::DrawBackground(CDC& dc, const CRect& rcClient, const CRect& rcRest, int nOrientation, bool bGroups)
{
    g_PaintManager->PaintTabClientArea(dc, rcClient, CRect(GetItemsArea()), rcRest, static_cast<DWORD>(nOrientation),
                                       bGroups, this, 0);
}

void CExtTabWnd::DrawItem(CDC& dc, const CRect& rcItems, TAB_ITEM_INFO* /*pItem*/, int nIndex, const CRect& rcItem,
                          bool bHorz, bool bTopOrLeft, DWORD dwStyleBits, bool bSelected, CFont* pFont,
                          const CString& sText, CExtCmdIcon* pIcon, bool bActiveInGroup, CSize sizeText)
{
    g_PaintManager->PaintTabItem(dc, rcItems, bTopOrLeft, bHorz, bSelected, (dwStyleBits & StylePainterFlag) != 0,
                                 (GetTabWndStyle() & StyleGroups) != 0, bActiveInGroup,
                                 (dwStyleBits & StyleReversedVertFont) != 0, rcItem, sizeText, sizeText.cy, pFont,
                                 sText, pIcon, this, nIndex, COLORREF(-1), COLORREF(-1), COLORREF(-1), COLORREF(-1),
                                 COLORREF(-1));
}

void CExtTabWnd::DrawPartButton(CDC& dc, const CRect& rcButton, int nCode, bool bTopOrLeft, bool bHorz, bool bEnabled,
                                bool bHover, bool bPushed)
{
    g_PaintManager->PaintTabButton(dc, rcButton, nCode, bTopOrLeft, bHorz, bEnabled, bHover, bPushed,
                                   (GetTabWndStyle() & StyleGroups) != 0, this, 0);
}

bool CExtTabWnd::IsPartEnabled(int nCode) const
{
    const DWORD dwStyle = GetTabWndStyle();
    switch (nCode)
    {
    case HitPrevious: return (dwStyle & StylePreviousEnabled) != 0;
    case HitNext: return (dwStyle & StyleNextEnabled) != 0;
    case HitHelp: return (dwStyle & StyleHelpEnabled) != 0;
    case HitClose: return (dwStyle & StyleCloseEnabled) != 0;
    case HitTabList: return (dwStyle & StyleTabListEnabled) != 0 && GetItemCount() > 0;
    case HitHome: return (dwStyle & StyleHomeEnabled) != 0;
    case HitEnd: return (dwStyle & StyleEndEnabled) != 0;
    default: return false;
    }
}

bool CExtTabWnd::IsPartPushed(int nCode) const
{
    return IsPartCode(nCode) && (m_nPushedParts & (1 << PartOfCode(nCode))) != 0;
}

void CExtTabWnd::SetPartPushed(int nCode, bool bPushed)
{
    const BYTE nBit = static_cast<BYTE>(1 << PartOfCode(nCode));
    m_nPushedParts = static_cast<BYTE>(bPushed ? m_nPushedParts | nBit : m_nPushedParts & ~nBit);
}

// ---- mouse ----

bool CExtTabWnd::OnMouseButton(POINT pt, bool bPressed, int nButton, UINT nFlags)
{
    const int nCode = HitTest(pt);
    if (IsPartCode(nCode))
        return OnButtonClick(nCode, bPressed, nButton, nFlags);
    if (nCode < 0)
    {
        StopPushTracking(true);
        UpdateTabWnd(true);
        return false;
    }
    if (bPressed)
        m_ptPress = pt;
    return OnItemClick(nCode, bPressed, nButton, nFlags);
}

bool CExtTabWnd::OnItemClick(int nIndex, bool bPressed, int nButton, UINT /*nFlags*/)
{
    if (bPressed && StartPushTracking(nButton, nIndex))
        SelectItem(nIndex, true, true);
    else
        StopPushTracking(true);
    return nButton != 2;
}

bool CExtTabWnd::OnButtonClick(int nCode, bool bPressed, int nButton, UINT /*nFlags*/)
{
    if (bPressed)
    {
        if (StartPushTracking(nButton, nCode))
        {
            UpdateTabWnd(true);
            if (nCode == HitPrevious || nCode == HitNext)
                ScrollBy(nCode == HitPrevious ? -1 : 1, true);
        }
        return true;
    }
    StopPushTracking(true);
    if (nButton != 1 || GetItemCount() == 0 || !IsPartEnabled(nCode))
        return true;
    if (nCode == HitHome)
        EnsureVisible(0, true);
    else if (nCode == HitEnd)
        EnsureVisible(GetItemCount() - 1, true);
    else if (nCode == HitTabList)
        TrackTabListMenu();
    return true;
}

bool CExtTabWnd::StartPushTracking(int nButton, int nCode)
{
    if (m_nTrackedButton != -1 && m_nTrackedCode != -1 && (m_nTrackedButton != nButton || m_nTrackedCode != nCode))
        return false;
    m_nPushedParts = 0;
    if (IsPartCode(nCode))
    {
        if (nButton != 1 || !IsPartEnabled(nCode))
            return false;
        SetPartPushed(nCode, true);
        UpdateTabWnd(true);
    }
    m_nTrackedButton = nButton;
    m_nTrackedCode = nCode;
    m_nStateFlags |= StatePushTracking;
    if (::GetCapture() != m_hWnd)
        CExtMouseCaptureSink::SetCapture(m_hWnd);
    return true;
}

void CExtTabWnd::StopPushTracking(bool bReleaseCapture)
{
    if (!(GetTabWndStyle() & StyleScrollByPage) && IsSmoothScrolling())
        SendMessage(WM_CANCELMODE);
    m_ptPress = CPoint(-1, -1);
    if (IsPartCode(m_nTrackedCode) && IsPartPushed(m_nTrackedCode))
    {
        SetPartPushed(m_nTrackedCode, false);
        UpdateTabWnd(true);
    }
    m_nTrackedButton = m_nTrackedCode = -1;
    m_nStateFlags &= ~StatePushTracking;
    // Hover tracking shares the capture and lets it go when the mouse leaves.
    if (bReleaseCapture && !IsHoverTracking() && GetSafeHwnd() != nullptr && ::GetCapture() == m_hWnd)
        CExtMouseCaptureSink::ReleaseCapture();
}

bool CExtTabWnd::HasCommonVisibleAncestorWithActive() const
{
    // The strip reacts to hovering only while its window and the active one
    // belong together and no menu is open.
    return CExtPopupMenuWnd::HaveCommonVisibleAncestor(m_hWnd, ::GetActiveWindow(), true, true, true);
}

bool CExtTabWnd::StartHoverTracking(int nCode)
{
    if (nCode == m_nHoverCode)
        return true;
    if (!HasCommonVisibleAncestorWithActive())
        return false;
    m_nStateFlags |= StateHoverTracking;
    m_nHoverCode = nCode;
    UpdateTabWnd(true);
    if (::GetCapture() != m_hWnd)
        CExtMouseCaptureSink::SetCapture(m_hWnd);
    CExtPopupMenuTipWnd* pTip = GetSharedTipWindow();
    if (!IsTooltipsEnabled() || (pTip == nullptr && m_wndToolTip.GetSafeHwnd() == nullptr))
        return true;
    const CString sText = IsPartCode(nCode) ? PartTipText(nCode) : CString();
    if (sText.IsEmpty())
    {
        HideTips();
        return true;
    }
    CRect rcButton(GetPartButtonRect(PartOfCode(nCode)));
    if (pTip != nullptr)
    {
        ClientToScreen(&rcButton);
        ShowItemTip(pTip, rcButton, sText);
    }
    else
    {
        m_wndToolTip.DelTool(this, kToolId);
        m_wndToolTip.AddTool(this, sText, &rcButton, kToolId);
    }
    return true;
}

void CExtTabWnd::StopHoverTracking(bool bReleaseCapture)
{
    if (IsHoverTracking())
    {
        m_nStateFlags &= ~StateHoverTracking;
        m_nHoverCode = -1;
        Invalidate();
        if (bReleaseCapture && !IsPushTracking() && ::GetCapture() == m_hWnd)
            CExtMouseCaptureSink::ReleaseCapture();
    }
    m_nHoverCode = -1;
}

void CExtTabWnd::HideTips()
{
    CExtPopupMenuTipWnd* pTip = GetSharedTipWindow();
    if (pTip != nullptr && pTip->GetSafeHwnd() != nullptr && pTip->IsWindowVisible())
        pTip->Hide();
    if (m_wndToolTip.GetSafeHwnd() != nullptr)
        m_wndToolTip.DelTool(this, kToolId);
    CWnd::CancelToolTips();
}

void CExtTabWnd::ShowItemTip(CExtPopupMenuTipWnd* pTip, const CRect& rcScreen, const CString& sText)
{
    pTip->SetTipType(CExtPopupMenuTipWnd::TipTypeRectBelow);
    pTip->SetText(sText);
    pTip->Show(this, rcScreen);
}

void CExtTabWnd::HandleMouseMove(UINT /*nFlags*/, POINT pt)
{
    if (IsPushTracking())
    {
        if (GetItem(m_nTrackedCode) == nullptr)
        {
            HideTips();
            if (m_nPushedParts == 0 && !IsSmoothScrolling())
                SendMessage(WM_CANCELMODE);
            return;
        }
        HideTips();
        if ((std::abs(pt.x - m_ptPress.x) > DragThreshold || std::abs(pt.y - m_ptPress.y) > DragThreshold) &&
            CanDragItem(m_nTrackedCode) && ::IsWindow(m_hWnd))
            TrackItemDrag(m_nTrackedCode);
        return;
    }
    if (!HasCommonVisibleAncestorWithActive())
        return;
    const int nCode = HitTest(pt);
    if (IsPartCode(nCode))
    {
        if (nCode != m_nHoverCode && !StartHoverTracking(nCode))
            HideTips();
        return;
    }
    if (nCode < 0)
    {
        StopHoverTracking(true);
        UpdateTabWnd(true);
        HideTips();
        return;
    }
    if ((nCode != m_nHoverCode && !StartHoverTracking(nCode)) || IsHoverRepaintForced())
        UpdateTabWnd(true);
    if ((GetTabWndStyle() & StyleHoverSelect) && m_nHoverSelectIndex != nCode)
    {
        SetHoverSelectTimer(nCode, HoverSelectDelay);
        HideTips();
        return;
    }
    CExtPopupMenuTipWnd* pTip = GetSharedTipWindow();
    if (!IsTooltipsEnabled() || (pTip == nullptr && m_wndToolTip.GetSafeHwnd() == nullptr))
        return;
    TAB_ITEM_INFO* pItem = GetItem(nCode);
    CString sText = pItem->GetTooltipText();
    if (sText.IsEmpty() && (pItem->m_nLayoutFlags & LayoutClipped) && IsSomeItemClipped())
        sText = pItem->GetText();
    if (sText.IsEmpty())
    {
        HideTips();
        return;
    }
    CRect rcItem = ItemClientRect(pItem);
    if (pTip != nullptr)
    {
        rcItem.InflateRect(4, 4);
        ClientToScreen(&rcItem);
        ShowItemTip(pTip, rcItem, sText);
        return;
    }
    // The tool stays while the mouse moves over the same item, so the tip
    // can appear.
    TOOLINFOA ti = {};
    char szText[256] = "";
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = m_hWnd;
    ti.uId = kToolId;
    ti.lpszText = szText;
    if (m_wndToolTip.SendMessage(TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)) && sText == szText &&
        CRect(ti.rect) == rcItem)
        return;
    m_wndToolTip.DelTool(this, kToolId);
    m_wndToolTip.AddTool(this, sText, &rcItem, kToolId);
}

bool CExtTabWnd::SetHoverSelectTimer(int nIndex, UINT nElapse)
{
    if (m_nHoverSelectIndex >= 0)
    {
        KillTimer(TimerHoverSelect);
        m_nHoverSelectIndex = -1;
    }
    if (nIndex < 0)
        return true;
    const TAB_ITEM_INFO* pItem = GetItem(nIndex);
    if (GetVisibleItemCount() == 0 || pItem == nullptr || !pItem->IsVisible())
        return false;
    m_nHoverSelectIndex = nIndex;
    SetTimer(TimerHoverSelect, nElapse, nullptr);
    return true;
}

bool CExtTabWnd::CanDragItem(int nIndex) const
{
    return GetItem(nIndex) != nullptr && (GetTabWndStyle() & StyleItemDragging) && !(GetTabWndStyle() & StyleGroups);
}

bool CExtTabWnd::TrackItemDrag(int nIndex)
{
    const HWND hWnd = m_hWnd;
    if (::GetCapture() != hWnd)
        CExtMouseCaptureSink::SetCapture(hWnd);
    m_bDragLoop = true;
    int nDragged = nIndex;
    const bool bHorz = IsHorizontal();
    bool bStop = false;
    while (!bStop && ::IsWindow(hWnd))
    {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            CWinThread* pThread = AfxGetThread();
            for (LONG lIdle = 0; pThread != nullptr && pThread->OnIdle(lIdle); ++lIdle)
                if (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
                    break;
            if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
                ::WaitMessage();
            continue;
        }
        const UINT nMsg = msg.message;
        if (nMsg == WM_MOUSEMOVE)
        {
            for (MSG next; ::PeekMessageA(&next, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);)
                msg = next;
            CPoint pt(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
            if (msg.hwnd != hWnd)
                ::MapWindowPoints(msg.hwnd, hWnd, &pt, 1);
            CRect rcWnd;
            GetWindowRect(&rcWnd);
            const CPoint ptScreen = msg.pt;
            const int nAt = bHorz ? ptScreen.x : ptScreen.y;
            const int nStart = bHorz ? rcWnd.left : rcWnd.top;
            const int nEnd = bHorz ? rcWnd.right : rcWnd.bottom;
            if (nAt < nStart || nAt > nEnd)
            {
                if (!IsSmoothScrolling())
                    ScrollBy(nAt < nStart ? -1 : 1, true);
                continue;
            }
            StopSmoothScroll();
            const int nHit = HitTest(pt);
            if (nHit < 0 || nHit == nDragged)
                continue;
            if (m_rcLastSwap.PtInRect(pt) && std::abs(nHit - nDragged) < 2)
                continue;
            m_rcLastSwap = ItemClientRect(GetItem(nHit));
            if (MoveItem(nDragged, nHit, true))
                nDragged = nHit;
            else
                m_rcLastSwap.SetRectEmpty();
            continue;
        }
        switch (nMsg)
        {
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
        case WM_MOUSEWHEEL:
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
        case WM_ACTIVATEAPP:
        case WM_CANCELMODE:
        case WM_CONTEXTMENU: bStop = true; continue;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(msg.lParam) != hWnd)
                bStop = true;
            break;
        default:
            if (nMsg >= WM_NCLBUTTONDOWN && nMsg <= WM_NCMBUTTONDBLCLK)
                bStop = true;
            break;
        }
        if (bStop)
            continue;
        if (::GetCapture() != hWnd)
        {
            bStop = true;
            continue;
        }
        if (!AfxPumpMessage())
        {
            ::PostQuitMessage(0);
            bStop = true;
        }
    }
    if (::IsWindow(hWnd))
    {
        if (::GetCapture() == hWnd)
            CExtMouseCaptureSink::ReleaseCapture();
        m_rcLastSwap.SetRectEmpty();
        m_nTrackedCode = -1;
        StopSmoothScroll();
        UpdateTabWnd(true);
        m_bDragLoop = false;
    }
    return true;
}

// ---- the tab-list menu ----

void CExtTabWnd::TrackTabListMenu()
{
    const HWND hWnd = m_hWnd;
    HMENU hMenu = ::CreatePopupMenu();
    if (hMenu == nullptr)
        return;
    const bool bGroups = (GetTabWndStyle() & StyleGroups) != 0;
    for (int i = 0; i < GetItemCount(); ++i)
    {
        TAB_ITEM_INFO* pItem = GetItem(i);
        if (bGroups && i > 0 && pItem->IsGroupStart())
            ::AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr);
        if (!pItem->IsVisible())
            continue;
        const UINT nFlags =
            MF_STRING | (i == GetSelectedIndex() ? MF_CHECKED : 0) | (pItem->IsEnabled() ? 0 : MF_GRAYED);
        ::AppendMenuA(hMenu, nFlags, TabListFirstCommand + i, pItem->GetText());
    }
    auto* pPopup = new CExtPopupMenuWnd;
    const bool bFilled = pPopup->UpdateFromMenuHandle(hWnd, hMenu, false, true, true);
    ::DestroyMenu(hMenu);
    if (!bFilled)
    {
        delete pPopup;
        return;
    }
    for (int nPos = 0; nPos < pPopup->ItemGetCount(); ++nPos)
    {
        CExtPopupMenuWnd::MENUITEMDATA& mi = pPopup->GetItemAt(nPos);
        if (mi.IsSeparator())
            continue;
        CExtCmdIcon* pIcon = OnQueryItemIcon(GetItem(static_cast<int>(mi.GetCmdID() - TabListFirstCommand)));
        if (pIcon == nullptr || pIcon->IsEmpty())
            continue;
        mi.m_iconPopup.AssignFromHICON(pIcon->GetIcon(), true);
        mi.MeasureItem();
    }
    CRect rcButton(GetPartButtonRect(PartTabList));
    ClientToScreen(&rcButton);
    static const DWORD kAlign[] = {4, 6, 1, 3}; // by orientation: top, bottom, left, right
    UINT nCmd = 0;
    // a menu that cannot be tracked deletes itself
    if (!pPopup->TrackPopupMenu(0xFA0 | kAlign[GetOrientation()], rcButton.left, rcButton.bottom, &rcButton, this,
                                &PaintTabListButtonOnMenu, &nCmd))
        return;
    if (!::IsWindow(hWnd))
        return;
    if (nCmd >= TabListFirstCommand)
        SelectItem(static_cast<int>(nCmd - TabListFirstCommand), true, true);
    Invalidate();
}

void CExtTabWnd::PaintTabListButtonOnMenu(LPVOID pCookie, CDC& dc, const CWnd& wndPopup, const CRect& rcExclude, int)
{
    auto* pTabs = static_cast<CExtTabWnd*>(pCookie);
    CRect rcButton = rcExclude; // on the screen
    ::MapWindowPoints(nullptr, wndPopup.GetSafeHwnd(), reinterpret_cast<LPPOINT>(&rcButton), 2);
    g_PaintManager->PaintTabButton(dc, rcButton, HitTabList, pTabs->GetOrientation() % 2 == 0, pTabs->IsHorizontal(),
                                   true, false, true, (pTabs->GetTabWndStyle() & StyleGroups) != 0, pTabs, 0);
}

// ---- scrolling ----

void CExtTabWnd::ScrollBy(int nDelta, bool bSmooth)
{
    const CRect rcItems(GetItemsArea());
    if (!IsScrollAvailable() || rcItems.IsRectEmpty() || GetItemCount() == 0 || GetVisibleItemCount() == 0)
        return;
    const int nLength = IsHorizontal() ? rcItems.Width() : rcItems.Height();
    const int nPos = GetScrollPosition(), nMax = GetScrollMax();
    const bool bByPage = (GetTabWndStyle() & StyleScrollByPage) != 0;
    if (nDelta >= 0 ? nPos >= nMax : nPos <= 0)
        return;
    if (bSmooth)
    {
        if (nDelta >= 0)
            m_nSmoothRemainder = bByPage ? nLength : nMax - nPos;
        else
            m_nSmoothRemainder = bByPage ? -nLength : -nPos;
        SetTimer(TimerSmoothScroll, SmoothScrollPeriod, nullptr);
        return;
    }
    SetScrollPosition(nPos + nDelta);
    UpdateTabWnd(true);
}

void CExtTabWnd::StopSmoothScroll()
{
    m_nSmoothRemainder = 0;
    if (GetSafeHwnd() != nullptr)
        KillTimer(TimerSmoothScroll);
}

void CExtTabWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TimerSmoothScroll)
    {
        if (m_nSmoothRemainder != 0)
        {
            const int nStep = std::clamp(m_nSmoothRemainder, -SmoothScrollStep, SmoothScrollStep);
            ScrollBy(nStep, false);
            m_nSmoothRemainder -= nStep;
        }
        if (m_nSmoothRemainder == 0)
            KillTimer(TimerSmoothScroll);
        return;
    }
    if (nIDEvent == TimerHoverSelect)
    {
        KillTimer(TimerHoverSelect);
        const int nIndex = m_nHoverSelectIndex;
        m_nHoverSelectIndex = -1;
        const TAB_ITEM_INFO* pItem = GetItem(nIndex);
        if (nIndex == GetSelectedIndex() || pItem == nullptr || !pItem->IsVisible())
            return;
        CPoint ptCursor;
        ::GetCursorPos(&ptCursor);
        ScreenToClient(&ptCursor);
        if (HitTest(ptCursor) == nIndex)
            SelectItem(nIndex, true, true);
        return;
    }
    CWnd::OnTimer(nIDEvent);
}

// ---- messages ----

BEGIN_MESSAGE_MAP(CExtTabWnd, CWnd)
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_WINDOWPOSCHANGED()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_MBUTTONDOWN()
ON_WM_MBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEACTIVATE()
ON_WM_SETFOCUS()
ON_WM_CAPTURECHANGED()
ON_WM_CANCELMODE()
ON_WM_TIMER()
ON_WM_SHOWWINDOW()
ON_WM_SETCURSOR()
ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
ON_REGISTERED_MESSAGE(CExtControlBar::g_nMsgQueryRepositionCalcEffect, OnQueryRepositionCalcEffect)
END_MESSAGE_MAP()

LRESULT CExtTabWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CONTEXTMENU:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: return 0;
    case WM_NOTIFY:
    {
        const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
        if (pHdr != nullptr && pHdr->code == TTN_SHOW && m_wndToolTip.GetSafeHwnd() != nullptr &&
            pHdr->hwndFrom == m_wndToolTip.m_hWnd)
            m_wndToolTip.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        break;
    }
    default: break;
    }
    const LRESULT lResult = CWnd::WindowProc(message, wParam, lParam);
    if (CExtPaintManagerHolder::IsSysNotifyMessage(message))
    {
        g_PaintManager.RelaySysNotify(this, message, wParam, lParam);
        if ((message == WM_SYSCOLORCHANGE || message == WM_SETTINGCHANGE) && GetSafeHwnd() != nullptr)
            Invalidate();
    }
    return lResult;
}

BOOL CExtTabWnd::PreTranslateMessage(MSG* pMsg)
{
    if (IsTooltipsEnabled() && GetSharedTipWindow() == nullptr && m_wndToolTip.GetSafeHwnd() != nullptr)
        m_wndToolTip.RelayEvent(pMsg);
    return CWnd::PreTranslateMessage(pMsg);
}

void CExtTabWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (!IsWindowVisible())
        return;
    HideTips();
    UpdateTabWnd(true);
}

void CExtTabWnd::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    CWnd::OnWindowPosChanged(lpwndpos);
    if (!IsWindowVisible())
        return;
    HideTips();
    UpdateTabWnd(true);
}

void CExtTabWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!OnMouseButton(point, true, 1, nFlags))
        CWnd::OnLButtonDown(nFlags, point);
}

void CExtTabWnd::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (!OnMouseButton(point, false, 1, nFlags))
        CWnd::OnLButtonUp(nFlags, point);
}

void CExtTabWnd::OnRButtonDown(UINT nFlags, CPoint point)
{
    if (!OnMouseButton(point, true, 2, nFlags))
        CWnd::OnRButtonDown(nFlags, point);
}

void CExtTabWnd::OnRButtonUp(UINT nFlags, CPoint point)
{
    if (!OnMouseButton(point, false, 2, nFlags))
        CWnd::OnRButtonUp(nFlags, point);
}

void CExtTabWnd::OnMButtonDown(UINT nFlags, CPoint point)
{
    if (!OnMouseButton(point, true, 16, nFlags))
        CWnd::OnMButtonDown(nFlags, point);
}

void CExtTabWnd::OnMButtonUp(UINT nFlags, CPoint point)
{
    if (!OnMouseButton(point, false, 16, nFlags))
        CWnd::OnMButtonUp(nFlags, point);
}

void CExtTabWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    HandleMouseMove(nFlags, point);
}

int CExtTabWnd::OnMouseActivate(CWnd*, UINT, UINT)
{
    HWND hTop = ::GetAncestor(m_hWnd, GA_ROOT);
    const HWND hLastPopup = hTop != nullptr ? ::GetLastActivePopup(hTop) : nullptr;
    CWnd* pParent = GetParent();
    if (pParent != nullptr && ::GetForegroundWindow() != hLastPopup)
        pParent->SetFocus();
    return MA_NOACTIVATE;
}

void CExtTabWnd::OnSetFocus(CWnd*)
{
    CWnd* pParent = GetParent();
    if (pParent != nullptr)
        pParent->SetFocus();
}

void CExtTabWnd::OnCaptureChanged(CWnd* pWnd)
{
    CWnd::OnCaptureChanged(pWnd);
    // The system also tells a window that takes the capture it already has.
    if (pWnd == this)
        return;
    if (pWnd != nullptr)
    {
        StopPushTracking(false);
        StopHoverTracking(false);
    }
    else if (IsHoverTracking())
        SendMessage(WM_CANCELMODE);
}

void CExtTabWnd::OnCancelMode()
{
    CWnd::OnCancelMode();
    StopSmoothScroll();
    StopPushTracking(true);
    StopHoverTracking(true);
}

void CExtTabWnd::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CWnd::OnShowWindow(bShow, nStatus);
    if (IsWindowVisible())
        UpdateTabWnd(true);
}

BOOL CExtTabWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (CExtControlBar::IsFrameHelpMode(this))
        return FALSE;
    if (CExtControlBar::g_hCursorArrow == nullptr)
        return CWnd::OnSetCursor(pWnd, nHitTest, message);
    ::SetCursor(CExtControlBar::g_hCursorArrow);
    return TRUE;
}

LRESULT CExtTabWnd::OnSizeParent(WPARAM, LPARAM lParam)
{
    if (!IsPlacedInParent())
        return 0;
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const CRect rcFree(lpLayout->rect);
    if (rcFree.IsRectEmpty())
    {
        if (lpLayout->hDWP != nullptr)
            SetWindowPos(nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOOWNERZORDER | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        return 0;
    }
    SyncVisibility();
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    m_rcLayout = rcFree;
    MarkLayoutDirty();
    RecalcLayout();
    m_rcLayout.SetRectEmpty();
    MarkLayoutDirty();
    const CRect rcItems(GetItemsArea());
    if (rcItems.IsRectEmpty())
        return 0;
    const int nPad = GetSizeParentPadding(GetOrientation());
    int nOrientation = GetOrientation();
    CWnd* pParent = GetParent();
    if (pParent != nullptr && (pParent->GetExStyle() & WS_EX_LAYOUTRTL) && IsVertical())
        nOrientation = nOrientation == OrientationLeft ? OrientationRight : OrientationLeft;
    CRect rcWnd = rcFree;
    switch (nOrientation)
    {
    case OrientationTop:
        rcWnd.bottom = rcWnd.top + rcItems.Height() + nPad;
        lpLayout->rect.top = rcWnd.bottom;
        lpLayout->sizeTotal.cy += rcWnd.Height();
        break;
    case OrientationBottom:
        rcWnd.top = rcWnd.bottom - (rcItems.Height() + nPad + 2);
        lpLayout->rect.bottom = rcWnd.top;
        lpLayout->sizeTotal.cy += rcWnd.Height();
        break;
    case OrientationLeft:
        rcWnd.right = rcWnd.left + rcItems.Width() + nPad;
        lpLayout->rect.left = rcWnd.right;
        lpLayout->sizeTotal.cx += rcWnd.Width();
        break;
    default:
        rcWnd.left = rcWnd.right - (rcItems.Width() + nPad + 2);
        lpLayout->rect.right = rcWnd.left;
        lpLayout->sizeTotal.cx += rcWnd.Width();
        break;
    }
    if (lpLayout->hDWP != nullptr)
    {
        AfxRepositionWindow(lpLayout, m_hWnd, &rcWnd);
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOOWNERZORDER | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
        UpdateTabWnd(true);
    }
    return 0;
}

LRESULT CExtTabWnd::OnQueryRepositionCalcEffect(WPARAM wParam, LPARAM)
{
    auto* pData = reinterpret_cast<CExtControlBar::QUERY_REPOSITION_CALC_EFFECT_DATA*>(wParam);
    if ((m_nMdiFlags & 0x01) && pData != nullptr && pData->IsQueryMode() && pData->m_pWnd != nullptr &&
        pData->m_pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        pData->ExcludeFromCalcEffect(true);
    return 0;
}
