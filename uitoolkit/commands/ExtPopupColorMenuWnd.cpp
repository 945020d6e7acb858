#include "uitoolkit/commands/ExtPopupColorMenuWnd.h"

#include "framework/win/AfxMsg.h"
#include "uitoolkit/commands/ExtPopupMenuTracker.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/commands/ExtSoundPlayer.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

IMPLEMENT_DYNCREATE(CExtPopupColorMenuWnd, CExtPopupMenuWnd)

BEGIN_MESSAGE_MAP(CExtPopupColorMenuWnd, CExtPopupMenuWnd)
ON_WM_QUERYNEWPALETTE()
ON_WM_PALETTECHANGED()
END_MESSAGE_MAP()

const UINT CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged =
    ::RegisterWindowMessageA("CExtPopupColorMenuWnd::g_nMsgNotifyColorChanged");
const UINT CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally =
    ::RegisterWindowMessageA("CExtPopupColorMenuWnd::g_nMsgNotifyColorChangedFinally");
const UINT CExtPopupColorMenuWnd::g_nMsgNotifyCustColor =
    ::RegisterWindowMessageA("CExtPopupColorMenuWnd::g_nMsgNotifyCustColor");
int CExtPopupColorMenuWnd::g_nColorTipType = CExtPopupMenuTipWnd::TipTypeRectBelow;

namespace
{

CExtColorGrid::e_move MoveOfKey(UINT nVirtualKey, bool& bMove)
{
    bMove = true;
    switch (nVirtualKey)
    {
    case VK_LEFT: return CExtColorGrid::MoveLeft;
    case VK_UP: return CExtColorGrid::MoveUp;
    case VK_RIGHT: return CExtColorGrid::MoveRight;
    case VK_DOWN: return CExtColorGrid::MoveDown;
    default: bMove = false; return CExtColorGrid::MoveLeft;
    }
}

// A button caption measured as the theme's normal font shows it.
CSize MeasureButtonText(const CString& sText)
{
    CString sPlain(sText);
    sPlain.Replace("&", "");
    CSize size(0, 0);
    const HDC hDC = ::GetDC(nullptr);
    if (hDC == nullptr)
        return size;
    const HGDIOBJ hOldFont = ::SelectObject(hDC, g_PaintManager->FontNormal.GetSafeHandle());
    CRect rc(0, 0, 0, 0);
    ::DrawTextA(hDC, sPlain, sPlain.GetLength(), &rc, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    ::SelectObject(hDC, hOldFont);
    ::ReleaseDC(nullptr, hDC);
    return CSize(rc.Width(), rc.Height());
}

CString ButtonText(UINT nID, LPCTSTR lpszDefault)
{
    CString sText;
    if (!g_ResourceManager->LoadString(sText, nID))
        sText = lpszDefault;
    return sText;
}

} // namespace

CExtPopupColorMenuWnd::COLORREF_TABLE_ENTRY::COLORREF_TABLE_ENTRY(UINT, COLORREF clr, LPCTSTR lpszName)
    : m_clrValue(clr), m_sName(lpszName)
{
}

CExtPopupColorMenuWnd::CExtPopupColorMenuWnd()
    : m_sBtnTextColorDefault(ButtonText(30011, "Default Color")),
      m_sBtnTextColorCustom(ButtonText(30010, "Custom Color ..."))
{
    LoadDefaultColors();
}

CExtPopupColorMenuWnd::~CExtPopupColorMenuWnd()
{
    RemoveAllColors();
}

void CExtPopupColorMenuWnd::LoadDefaultColors()
{
    SetColumnCount(8);
    RemoveAllColors();
    int n = 0;
    const CExtColorGrid::NamedColor* pTable = CExtColorGrid::StandardColors(&n);
    for (int i = 0; i < n; ++i)
        m_colors.push_back(new COLORREF_TABLE_ENTRY(pTable[i].StringID, pTable[i].Color, pTable[i].Name));
}

void CExtPopupColorMenuWnd::RemoveAllColors()
{
    for (COLORREF_TABLE_ENTRY* pEntry : m_colors)
        delete pEntry;
    m_colors.clear();
}

CSize CExtPopupColorMenuWnd::GetGridSize() const
{
    return CExtColorGrid::GridSize(GetColorCount(), GetColumnCount());
}

CExtPopupColorMenuWnd::COLORREF_TABLE_ENTRY* CExtPopupColorMenuWnd::GetColorEntry(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetColorCount() ? m_colors[static_cast<size_t>(nIndex)] : nullptr;
}

COLORREF CExtPopupColorMenuWnd::GetColorAt(int nIndex) const
{
    const COLORREF_TABLE_ENTRY* pEntry = GetColorEntry(nIndex);
    return pEntry != nullptr ? pEntry->m_clrValue : 0;
}

CString CExtPopupColorMenuWnd::GetColorNameAt(int nIndex) const
{
    const COLORREF_TABLE_ENTRY* pEntry = GetColorEntry(nIndex);
    return pEntry != nullptr ? pEntry->GetName() : CString();
}

int CExtPopupColorMenuWnd::GetNextColorIndex(int nIndex, UINT nVirtualKey) const
{
    bool bMove = false;
    const CExtColorGrid::e_move move = MoveOfKey(nVirtualKey, bMove);
    if (!bMove)
        return GetColorCount() == 0 ? -1 : (nIndex < 0 || nIndex >= GetColorCount() ? 0 : nIndex);
    return CExtColorGrid::NextIndex(nIndex, move, GetColorCount(), GetColumnCount());
}

int CExtPopupColorMenuWnd::FindColorIndex(COLORREF clr) const
{
    std::vector<COLORREF> colors;
    colors.reserve(m_colors.size());
    for (const COLORREF_TABLE_ENTRY* pEntry : m_colors)
        colors.push_back(pEntry->m_clrValue);
    return CExtColorGrid::FindColor(colors, clr);
}

CPoint CExtPopupColorMenuWnd::GetCellPos(int nIndex) const
{
    return CExtColorGrid::CellPos(nIndex, GetColorCount(), GetColumnCount());
}

CExtColorGrid::Frame CExtPopupColorMenuWnd::GridFrame() const
{
    CExtPopupColorMenuWnd* pThis = const_cast<CExtPopupColorMenuWnd*>(this);
    CExtColorGrid::Frame f;
    f.Count = GetColorCount();
    f.Columns = GetColumnCount();
    f.Cell = GetCellSize();
    f.Spacing = GetCellSpacing();
    f.Border = GetMenuBorderSize();
    f.Shadow = pThis->GetShadowSize();
    f.SeparatorHeight = g_PaintManager->GetSeparatorHeight();
    f.TearOffHeight = IsTearOffCaption() ? GetTearOffCaptionHeight() : 0;
    f.LeftAreaWidth = m_nLeftAreaWidth;
    f.DefaultButton = IsDefaultButtonShown();
    f.CustomButton = IsCustomButtonShown();
    return f;
}

CRect CExtPopupColorMenuWnd::GetCellRect(int nIndex) const
{
    CRect rcClient;
    GetClientRect(&rcClient);
    return CExtColorGrid::CellRect(GridFrame(), nIndex, rcClient, m_rcDefaultButton.Height());
}

void CExtPopupColorMenuWnd::GetWindowSize(CSize& size)
{
    CExtColorGrid::Frame f = GridFrame();
    if (f.DefaultButton)
        f.DefaultText = MeasureButtonText(m_sBtnTextColorDefault);
    if (f.CustomButton)
        f.CustomText = MeasureButtonText(m_sBtnTextColorCustom);
    const CExtColorGrid::Layout layout = CExtColorGrid::WindowLayout(f);
    if (f.DefaultButton)
        m_rcDefaultButton = layout.DefaultButton;
    if (f.CustomButton)
        m_rcCustomButton = layout.CustomButton;
    size = layout.Window;
}

bool CExtPopupColorMenuWnd::CreateMenuWindow(HWND hWndCmdRecv)
{
    if (!CExtPopupMenuWnd::CreateMenuWindow(hWndCmdRecv))
        return false;
    const int nIndex = FindColorIndex(m_clrInitial);
    if (nIndex >= 0)
    {
        m_nSelectedIndex = nIndex;
        Invalidate();
    }
    CRect rcClient;
    GetClientRect(&rcClient);
    const CPoint ptShift(rcClient.left + m_nLeftAreaWidth, rcClient.top);
    if (IsDefaultButtonShown())
        m_rcDefaultButton.OffsetRect(ptShift);
    if (IsCustomButtonShown())
        m_rcCustomButton.OffsetRect(ptShift);
    return true;
}

int CExtPopupColorMenuWnd::OnHitTest(const POINT&, bool* pbOverEdit, bool* pbOverDropArrow)
{
    if (pbOverEdit != nullptr)
        *pbOverEdit = false;
    if (pbOverDropArrow != nullptr)
        *pbOverDropArrow = false;
    return IDX_NOTHING;
}

int CExtPopupColorMenuWnd::HitTestColor(const POINT& ptClient) const
{
    for (int i = 0; i < GetColorCount(); ++i)
        if (GetCellRect(i).PtInRect(ptClient))
            return i;
    if (m_rcDefaultButton.PtInRect(ptClient))
        return IDX_DEFAULT_BUTTON;
    if (m_rcCustomButton.PtInRect(ptClient))
        return IDX_CUSTOM_BUTTON;
    return IDX_NOTHING;
}

HWND CExtPopupColorMenuWnd::GetNotifyWnd() const
{
    return m_hWndNotifyColorChanged != nullptr ? m_hWndNotifyColorChanged : GetCmdTargetWnd();
}

void CExtPopupColorMenuWnd::NotifyColor(bool bFinal)
{
    if (m_bNotifying)
        return;
    m_bNotifying = true;
    const HWND hWndTarget = GetNotifyWnd();
    if (m_nHoverIndex == IDX_CUSTOM_BUTTON)
    {
        if (bFinal && m_pClrResult != nullptr)
            *m_pClrResult = CUSTOM_COLOR_CHOSEN;
        ::PostMessageA(hWndTarget, g_nMsgNotifyCustColor, 0, m_lParamCookie);
    }
    else if (m_nHoverIndex == IDX_DEFAULT_BUTTON || m_nHoverIndex >= 0)
    {
        const COLORREF clr = m_nHoverIndex == IDX_DEFAULT_BUTTON ? m_clrDefault : GetColorAt(m_nHoverIndex);
        if (bFinal && m_pClrResult != nullptr)
            *m_pClrResult = clr;
        ::PostMessageA(hWndTarget, bFinal ? g_nMsgNotifyColorChangedFinally : g_nMsgNotifyColorChanged,
                       static_cast<WPARAM>(clr), m_lParamCookie);
    }
    m_bNotifying = false;
}

bool CExtPopupColorMenuWnd::IsSubMenuOpenAllowed() const
{
    return !IsHelpModeTracking() && !IsNoHookTracking();
}

bool CExtPopupColorMenuWnd::Choose()
{
    if (!IsChoosable(m_nHoverIndex) || IsNoHookTracking())
        return false;
    NotifyColor(true);
    g_SoundPlayer->PlaySound(CExtSoundPlayer::SoundMenuCommand);
    return true;
}

bool CExtPopupColorMenuWnd::OnMouseMove(UINT nFlags, CPoint ptClient, bool& bPassOn)
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd))
        return false;
    if (GetTracker().GetAnimatingPopup() != nullptr)
        return true;
    CPoint ptScreen(ptClient);
    ClientToScreen(&ptScreen);
    const HWND hWndUnder = ::WindowFromPoint(ptScreen);
    if (hWndUnder != nullptr && hWndUnder != hWnd && ::GetParent(hWndUnder) == hWnd &&
        (::GetWindowLongA(hWndUnder, GWL_STYLE) & WS_CHILD) != 0)
        return false;
    if (!IsPointOverThisWindow(ptClient))
    {
        if (m_pWndParentMenu != nullptr && m_pWndParentMenu->GetSafeHwnd() != nullptr)
        {
            CPoint ptParent(ptScreen);
            m_pWndParentMenu->ScreenToClient(&ptParent);
            if (m_pWndParentMenu->OnMouseMove(nFlags, ptParent, bPassOn) && !bPassOn)
            {
                if (IsLiveWindow(hWnd))
                    CloseTree(false);
                return true;
            }
        }
        return false;
    }
    if (IsTearOffCaption())
    {
        if (CExtPopupMenuWnd::OnHitTest(ptClient) == IDX_TEAR_OFF)
        {
            HoverTearOffBar(GetItemTipType());
            return true;
        }
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    }
    const int nHit = HitTestColor(ptClient);
    const bool bChanged = nHit != m_nHoverIndex;
    if (bChanged)
    {
        m_nHoverIndex = nHit;
        Invalidate();
        if (nHit != IDX_CUSTOM_BUTTON)
            NotifyColor(false);
    }
    if (m_nHoverIndex < 0)
    {
        TipHide(true);
        return true;
    }
    if (g_bItemTips && (m_nMenuState & MENU_NO_ITEM_TIPS) == 0 && bChanged)
    {
        const CString sName = GetColorNameAt(m_nHoverIndex);
        if (!sName.IsEmpty() && CaptureGet() == this && GetTracker().GetAnimatingPopup() == nullptr)
        {
            CRect rcCell = GetCellRect(m_nHoverIndex);
            ClientToScreen(&rcCell);
            ShowTipAt(rcCell, sName, GetItemTipType());
        }
    }
    return true;
}

bool CExtPopupColorMenuWnd::OnMouseClick(UINT message, CPoint ptClient, bool& bPassOn)
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd))
        return false;
    if (GetTracker().GetAnimatingPopup() != nullptr)
        return true;
    const bool bRelease = message == WM_LBUTTONUP || message == WM_NCLBUTTONUP;
    if (IsRoot() && m_bCombineWithEA)
    {
        CRect rcExclude(m_rcExcludeArea);
        ScreenToClient(&rcExclude);
        if (rcExclude.PtInRect(ptClient))
        {
            if (bRelease)
                return false;
            CloseTree(false);
            return true;
        }
    }
    if (IsTearOffCaption() && CExtPopupMenuWnd::OnHitTest(ptClient) == IDX_TEAR_OFF)
        return OnTearOffBarClick(message);
    if (!bRelease)
        return false;
    // The hover index lags behind the pointer during an animation and after
    // keyboard moves: the cell under the release is the one chosen.
    const int nHit = HitTestColor(ptClient);
    if (IsChoosable(nHit))
    {
        m_nHoverIndex = nHit;
        Choose();
    }
    if (!IsLiveWindow(hWnd))
        return true;
    CPoint ptScreen(ptClient);
    ClientToScreen(&ptScreen);
    if (m_pWndParentMenu != nullptr && m_pWndParentMenu->GetSafeHwnd() != nullptr &&
        ::WindowFromPoint(ptScreen) == m_pWndParentMenu->GetSafeHwnd())
    {
        CPoint ptParent(ptScreen);
        m_pWndParentMenu->ScreenToClient(&ptParent);
        return m_pWndParentMenu->OnMouseClick(message, ptParent, bPassOn);
    }
    OnItemCommand(0, nullptr);
    return true;
}

bool CExtPopupColorMenuWnd::OnKeyDown(UINT nVirtualKey, UINT, UINT, bool&)
{
    const HWND hWnd = GetSafeHwnd();
    if (!IsLiveWindow(hWnd) || GetTracker().GetAnimatingPopup() != nullptr)
        return true;
    switch (nVirtualKey)
    {
    case VK_RETURN:
        Choose();
        if (IsLiveWindow(hWnd))
            OnItemCommand(0, nullptr);
        return true;
    case VK_MENU: OnItemCommand(0, nullptr); return true;
    case VK_ESCAPE:
        if (m_pWndParentMenu == nullptr)
        {
            OnItemCommand(0, nullptr);
            return true;
        }
        return BackToParent();
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    {
        const int nNext = GetNextColorIndex(m_nHoverIndex, nVirtualKey);
        if (nNext == m_nHoverIndex)
            return false;
        m_nHoverIndex = nNext;
        TipHide(true);
        if (IsLiveWindow(hWnd))
        {
            Invalidate();
            NotifyColor(false);
        }
        return true;
    }
    default: return false;
    }
}

BOOL CExtPopupColorMenuWnd::OnQueryNewPalette()
{
    Invalidate();
    return static_cast<BOOL>(Default());
}

void CExtPopupColorMenuWnd::OnPaletteChanged(CWnd* pFocusWnd)
{
    Default();
    if (pFocusWnd == nullptr || pFocusWnd->GetSafeHwnd() != GetSafeHwnd())
        Invalidate();
}

void CExtPopupColorMenuWnd::PaintFinished(CDC& dc, bool bOffscreen)
{
    const HWND hWnd = GetSafeHwnd();
    const int b = GetMenuBorderSize();
    const int s = GetShadowSize();
    const int nSep = g_PaintManager->GetSeparatorHeight();
    CRect rcWnd(0, 0, 0, 0);
    if (IsLiveWindow(hWnd))
        ::GetClientRect(hWnd, &rcWnd);
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
        CFont* pOldFont = d.SelectObject(&g_PaintManager->FontNormal);
        d.FillSolidRect(&rcClient, g_PaintManager->GetMenuBackgroundColor(this, 0));
        g_PaintManager->PaintMenuBorder(d, rcClient, this, 0);
        const CRect rcTopBand(rcWnd.left, rcWnd.top, rcWnd.right, rcClient.top + b);
        const CRect rcBottomBand(rcWnd.left, rcClient.bottom - b, rcWnd.right, rcWnd.bottom);
        d.ExcludeClipRect(&rcTopBand);
        d.ExcludeClipRect(&rcBottomBand);

        const auto paintButton = [&](const CRect& rc, const CString& sText, bool bHover)
        {
            CExtPaintManager::PushButtonParams pbp(
                this, true, rc, sText, nullptr, true, bHover, false, false, true, bHover, false, false,
                CExtPaintManager::PushButtonParams::AlignCenter | CExtPaintManager::PushButtonParams::AlignVCenter,
                nullptr, false, 0, !bHover);
            g_PaintManager->PaintPushButton(d, pbp);
        };
        const auto paintSeparator = [&](const CRect& rcRow)
        { g_PaintManager->PaintSeparator(d, rcRow, false, true, this, 0); };
        if (IsDefaultButtonShown())
        {
            paintButton(m_rcDefaultButton, m_sBtnTextColorDefault, m_nHoverIndex == IDX_DEFAULT_BUTTON);
            CRect rcSep(m_rcDefaultButton);
            rcSep.OffsetRect(0, m_rcDefaultButton.Height() + 3);
            rcSep.top += nSep / 2;
            rcSep.bottom = rcSep.top + 1;
            paintSeparator(rcSep);
        }
        if (IsCustomButtonShown())
        {
            paintButton(m_rcCustomButton, m_sBtnTextColorCustom, m_nHoverIndex == IDX_CUSTOM_BUTTON);
            const int y = m_rcCustomButton.top - GetCellSpacing().cy - nSep + nSep / 2;
            paintSeparator(CRect(m_rcCustomButton.left, y, m_rcCustomButton.right, y + 1));
        }
        const COLORREF clrFrame = g_PaintManager->GetColor(COLOR_3DDKSHADOW, this, 0);
        const CSize spacing = GetCellSpacing();
        for (int i = 0; i < GetColorCount(); ++i)
        {
            const bool bMarked = i == m_nHoverIndex || i == m_nSelectedIndex;
            const CRect rcCell = GetCellRect(i);
            CExtPaintManager::PushButtonParams pbp(
                this, true, rcCell, "", nullptr, true, bMarked, bMarked, false, true, bMarked, false, false,
                CExtPaintManager::PushButtonParams::AlignCenter | CExtPaintManager::PushButtonParams::AlignVCenter,
                nullptr, false, 0, !bMarked);
            g_PaintManager->PaintPushButton(d, pbp);
            CRect rcColor(rcCell);
            rcColor.DeflateRect(spacing.cx, spacing.cy);
            d.FillSolidRect(&rcColor, GetColorAt(i));
            CBrush brFrame;
            brFrame.CreateSolidBrush(clrFrame);
            d.FrameRect(&rcColor, &brFrame);
        }
        if (m_nLeftAreaWidth > 0)
        {
            const CRect rcLeft(rcClient.left + b, rcClient.top + b, rcClient.left + b + m_nLeftAreaWidth,
                               rcClient.bottom - b);
            LeftAreaDrawRecord_t left(d, &rcLeft, this);
            left.NotifyCmdTarget();
        }
        if (IsTearOffCaption())
        {
            POINT ptCursor = {0, 0};
            if (!IsLiveWindow(hWnd) || !::GetCursorPos(&ptCursor) || !::ScreenToClient(hWnd, &ptCursor))
                ptCursor = POINT{0, 0};
            CRect rc;
            ItemGetRect(IDX_TEAR_OFF, rc, false);
            const bool bHot = rc.PtInRect(ptCursor) && !IsNoHookTracking();
            g_PaintManager->PaintMenuTearOffButton(d, rc, bHot, bHot, this, 0);
        }
        d.SelectClipRgn(nullptr);
        if (m_bCombineWithEA)
        {
            g_PaintManager->PaintMenuCombinedArea(d, rcExclude, rcClient, m_nCombineAlign, this, 0);
            if (m_pCbPaintCombinedContent != nullptr)
                m_pCbPaintCombinedContent(m_pCbPaintCombinedCookie, d, *this, m_rcExcludeArea, m_nCombineAlign);
        }
        d.SelectObject(pOldFont);
    }

    if (IsShadowEnabled() && m_animation.Finished && s > 0 && IsLiveWindow(hWnd))
    {
        dc.SelectClipRgn(nullptr);
        CRect rcClientScreen(rcClient);
        ClientToScreen(&rcClientScreen);
        const CRect rcNone(0, 0, 0, 0);
        if (m_bCombineWithEA)
        {
            dc.ExcludeClipRect(&rcClient);
            m_shadowCombined.Paint(dc, rcExclude, m_rcExcludeArea, rcClientScreen, s, 75, 100, true, true, nullptr);
            dc.SelectClipRgn(nullptr);
            dc.ExcludeClipRect(&rcExclude);
        }
        m_shadow.Paint(dc, rcClient, m_bCombineWithEA ? rcClientScreen : rcNone,
                       m_bCombineWithEA ? m_rcExcludeArea : rcNone, s, 75, 100, true, true, nullptr);
    }
    if (pOldPalette != nullptr)
        dc.SelectPalette(pOldPalette, FALSE);
}
