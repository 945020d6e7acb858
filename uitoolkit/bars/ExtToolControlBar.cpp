// The tool bar's button array, sizing protocol, row layout and painting.
#include "uitoolkit/bars/ExtToolControlBar.h"

#include "framework/win/DockContext.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/core/ExtColorTable.h"
#include "uitoolkit/core/ExtToolBarLayout.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>
#include <cmath>
#include <new>

IMPLEMENT_DYNCREATE(CExtToolControlBar, CExtControlBar)

bool CExtToolControlBar::g_bMenuTracking = false;
bool CExtToolControlBar::g_bMenuTrackingExpanded = false;
bool CExtToolControlBar::g_bUseLargeIcons = false;
bool CExtToolControlBar::g_bShowTips = true;
bool CExtToolControlBar::g_bShowAccelInTips = false;
bool CExtToolControlBar::g_bHelpLoop = false;
const UINT CExtToolControlBar::g_nMsgTrackButtonMenu =
    ::RegisterWindowMessageA("CExtToolControlBar::g_nMsgTrackButtonMenu");
const UINT CExtToolControlBar::g_nMsgContinueTrackMenu =
    ::RegisterWindowMessageA("CExtToolControlBar::g_nMsgContinueTrackMenu");

namespace
{

// The bar's buttons as the portable layout sees them, measured in a client
// DC with the bar's font for the orientation.
class CBarButtons : public kxtoolbar::CExtToolBarButtons
{
public:
    CBarButtons(CExtToolControlBar& bar, bool bVerticalFont) : m_bar(bar), m_dc(&bar), m_nKind(bar.GetLayoutKind())
    {
        CFont* pFont = bar.GetBarFont(bVerticalFont);
        m_pOldFont = pFont != nullptr ? m_dc.SelectObject(pFont) : nullptr;
    }
    ~CBarButtons() override
    {
        if (m_pOldFont != nullptr)
            m_dc.SelectObject(m_pOldFont);
    }
    CBarButtons(const CBarButtons&) = delete;
    CBarButtons& operator=(const CBarButtons&) = delete;

    int GetCount() const override { return m_bar.GetButtonsCount(); }
    bool IsSeparator(int i) const override { return B(i)->IsSeparator(); }
    bool IsHidden(int i) const override { return (B(i)->GetStyle() & TBBS_HIDDEN) != 0; }
    bool GetWrap(int i) const override { return B(i)->GetWrapAfter(m_nKind); }
    void SetWrap(int i, bool bWrap) override { B(i)->SetWrapAfter(m_nKind, bWrap); }
    CSize Measure(int i, bool bHorz) override { return B(i)->MeasureButton(&m_dc, m_bar.GetLayoutButtonSize(), bHorz); }
    CSize GetStoredSize(int i) const override { return B(i)->GetSize(); }
    void SetInVertBar(int i, bool bVert) override { B(i)->SetInVertBar(bVert); }
    void SetVisible(int i, bool bVisible) override { B(i)->SetVisible(bVisible); }
    bool IsVisible(int i) const override { return B(i)->IsVisible(); }
    void SetRect(int i, const CRect& rc) override { B(i)->SetRect(rc); }
    CRect GetRect(int i) const override { return B(i)->GetRect(); }

private:
    CExtBarButton* B(int i) const { return m_bar.GetButton(i); }

    CExtToolControlBar& m_bar;
    CClientDC m_dc;
    int m_nKind;
    CFont* m_pOldFont;
};

kxtoolbar::BarGeometry CollectGeometry(CExtToolControlBar& bar)
{
    kxtoolbar::BarGeometry geo;
    geo.bHasChevron = bar.GetChevron() != nullptr;
    geo.bFloating = bar.IsFloating();
    geo.bHorz = bar.IsHorzLying();
    geo.bRightToLeft = bar.IsRightToLeft();
    geo.bMultiRow = bar.IsMultiRowLayout();
    geo.bPanel = bar.IsPanelBar();
    geo.rcBorders = CRect(bar.m_cxLeftBorder, bar.m_cyTopBorder, bar.m_cxRightBorder, bar.m_cyBottomBorder);
    geo.nRowGap = g_PaintManager->GetToolBarRowGap(&bar);
    SIZE size;
    geo.nChevronSpacing = g_PaintManager->GetToolBarButtonExtraSpace(&size)->cx;
    geo.bThemedBackground = g_PaintManager->IsBackgroundInherited(&bar, false);
    geo.sizeButtonsOffset = *g_PaintManager->GetToolBarSizeAdjustment(&size, geo.bHorz);
    CExtPaintManager::MonitorParams mp;
    CExtPaintManager::GetMonitorParamsFromWnd(mp, &bar);
    geo.nWorkAreaWidth = mp.WorkArea.right - mp.WorkArea.left;
    return geo;
}

} // namespace

CExtToolControlBar::CExtToolControlBar()
{
    m_bFixedMode = true;
    m_bCaptionAlwaysAtTop = false;
    m_bChildFillsClient = false;
    m_cxLeftBorder = m_cxRightBorder = 1;
    m_cyTopBorder = m_cyBottomBorder = 0;
    m_nCaptionHeight = 10;
    m_nCaptionWidth = 8;
}

CExtToolControlBar::~CExtToolControlBar()
{
    RemoveAllButtons();
    CSingleLock lock(&g_csAllBars, TRUE);
    for (INT_PTR i = g_AllBars.GetSize() - 1; i >= 0; --i)
        if (g_AllBars[i] == this)
            g_AllBars.RemoveAt(i);
}

// ---- buttons ----

int CExtToolControlBar::GetButtonIndex(const CExtBarButton* pButton) const
{
    for (int i = 0; i < GetButtonsCount(); ++i)
        if (m_arrButtons[i] == pButton)
            return i;
    return -1;
}

CExtBarButton* CExtToolControlBar::CreateCommandButton(UINT nCmdID, UINT nStyle)
{
    return new CExtBarButton(this, nCmdID, nStyle);
}

CExtBarContentExpandButton* CExtToolControlBar::CreateChevronButton()
{
    if (IsPanelBar())
        return nullptr;
    auto* pChevron = new CExtBarContentExpandButton(this);
    pChevron->SetCmdID(CExtBarContentExpandButton::kChevronCmdID);
    return pChevron;
}

bool CExtToolControlBar::SetButtons(const UINT* pIDs, int nCount)
{
    RemoveAllButtons();
    if (pIDs == nullptr || nCount == 0)
        return true;
    for (int i = 0; i < nCount; ++i)
    {
        CExtBarButton* pButton = CreateCommandButton(pIDs[i], 0);
        if (IsRightToLeft())
            m_arrButtons.InsertAt(0, pButton);
        else
            m_arrButtons.Add(pButton);
    }
    m_pChevron = CreateChevronButton();
    if (m_pChevron != nullptr)
        m_arrButtons.Add(m_pChevron);
    return true;
}

bool CExtToolControlBar::InsertSpecButton(int nPos, CExtBarButton* pButton, bool bRecalcLayout)
{
    const int nCount = GetButtonsCount();
    if (nPos < 0)
        nPos = nCount;
    if (nPos > nCount)
    {
        delete pButton;
        return false;
    }
    if (nCount >= 1 && nPos == nCount && IsChevronButton(nCount - 1))
        nPos = nCount - 1;
    try
    {
        m_arrButtons.InsertAt(nPos, pButton);
    }
    catch (const std::bad_alloc&)
    {
        delete pButton;
        return false;
    }
    if (bRecalcLayout)
        RequestFrameRecalcLayout();
    return true;
}

bool CExtToolControlBar::InsertButton(int nPos, UINT nCmdID, bool bRecalcLayout)
{
    if (nPos > GetButtonsCount())
        return false;
    CExtBarButton* pButton = nullptr;
    try
    {
        pButton = CreateCommandButton(nCmdID, 0);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    return InsertSpecButton(nPos, pButton, bRecalcLayout);
}

bool CExtToolControlBar::RemoveButton(int nIndex, bool bRecalcLayout)
{
    if (GetButton(nIndex) == nullptr || IsChevronButton(nIndex))
        return false;
    CExtBarButton* pButton = m_arrButtons[nIndex];
    m_arrButtons.RemoveAt(nIndex);
    if (m_pChevron != nullptr)
        for (INT_PTR i = m_pChevron->m_arrHidden.GetSize() - 1; i >= 0; --i)
            if (m_pChevron->m_arrHidden[i] == pButton)
                m_pChevron->m_arrHidden.RemoveAt(i);
    delete pButton;
    m_nBtnIdxMenuTracking = m_nBtnIdxCapture = m_nBtnIdxHover = -1;
    if (bRecalcLayout)
        RequestFrameRecalcLayout();
    return true;
}

void CExtToolControlBar::RemoveAllButtons()
{
    if (m_pChevron != nullptr)
        m_pChevron->m_arrHidden.RemoveAll();
    for (INT_PTR i = 0; i < m_arrButtons.GetSize(); ++i)
        delete m_arrButtons[i];
    m_arrButtons.RemoveAll();
    m_pChevron = nullptr;
    m_nBtnIdxMenuTracking = m_nBtnIdxCapture = m_nBtnIdxHover = -1;
}

UINT CExtToolControlBar::GetButtonID(int nIndex) const
{
    const CExtBarButton* pButton = GetButton(nIndex);
    return pButton != nullptr ? pButton->GetCmdID(false) : 0;
}

UINT CExtToolControlBar::GetButtonStyle(int nIndex) const
{
    const CExtBarButton* pButton = GetButton(nIndex);
    return pButton != nullptr ? pButton->GetStyle() : 0;
}

void CExtToolControlBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    CExtBarButton* pButton = GetButton(nIndex);
    if (pButton == nullptr || pButton->GetStyle() == nStyle)
        return;
    pButton->SetStyle(nStyle);
    InvalidateButton(nIndex);
    if (GetSafeHwnd() != nullptr)
        UpdateWindow();
}

bool CExtToolControlBar::SetButtonMenu(int nIndex, HMENU hMenu, bool bFirstSubmenu, bool bOwnMenu, bool bRecalcLayout)
{
    CExtBarButton* pButton = GetButton(nIndex);
    if (pButton == nullptr)
        return false;
    pButton->SetMenu(hMenu, bFirstSubmenu, bOwnMenu);
    if (bRecalcLayout)
        RequestFrameRecalcLayout();
    return true;
}

bool CExtToolControlBar::SetButtonAppendMdiWindows(int nIndex, bool bOn)
{
    CExtBarButton* pButton = GetButton(nIndex);
    if (pButton == nullptr)
        return false;
    pButton->SetAppendMdiWindows(bOn);
    return true;
}

bool CExtToolControlBar::IsChevronButton(int nIndex) const
{
    const CExtBarButton* pButton = GetButton(nIndex);
    return pButton != nullptr && pButton->IsKindOf(RUNTIME_CLASS(CExtBarContentExpandButton));
}

void CExtToolControlBar::GetButtonRect(int nIndex, RECT* pRect) const
{
    const CExtBarButton* pButton = GetButton(nIndex);
    *pRect = pButton != nullptr ? RECT(pButton->GetRect()) : RECT{0, 0, 0, 0};
}

int CExtToolControlBar::FindButtonByMnemonic(char ch) const
{
    for (int i = 0; i < GetButtonsCount(); ++i)
    {
        const CExtBarButton* pButton = m_arrButtons[i];
        if (pButton->IsSeparator() || !pButton->IsVisible() || (pButton->GetStyle() & TBBS_HIDDEN) != 0 ||
            IsChevronButton(i))
            continue;
        const CString sText = pButton->GetText();
        const int nAmp = sText.Find('&');
        if (nAmp < 0 || nAmp == sText.GetLength() - 1)
            continue;
        char sz[2] = {sText[nAmp + 1], 0};
        ::CharUpperA(sz);
        if (sz[0] == ch)
            return i;
    }
    return -1;
}

int CExtToolControlBar::GetNextVisibleButton(int nIndex, bool bNext, bool bSkipDisabled) const
{
    const int nCount = GetButtonsCount();
    if (nCount == 0)
        return -1;
    if (nCount == 1)
        return 0;
    for (int n = 1; n < nCount; ++n)
    {
        const int i = ((nIndex + (bNext ? n : -n)) % nCount + nCount) % nCount;
        const CExtBarButton* pButton = m_arrButtons[i];
        if (pButton->IsVisible() && (pButton->GetStyle() & TBBS_HIDDEN) == 0 && !pButton->IsSeparator() &&
            !(bSkipDisabled && pButton->IsDisabled()))
            return i;
    }
    return nIndex;
}

void CExtToolControlBar::InvalidateButton(int nIndex)
{
    const CExtBarButton* pButton = GetButton(nIndex);
    if (pButton == nullptr || GetSafeHwnd() == nullptr)
        return;
    CRect rc = pButton->GetRect();
    if (rc.IsRectEmpty())
        return;
    if (IsChevronButton(nIndex) && g_PaintManager->IsBackgroundInherited(this, false))
    {
        SIZE sizeSpacing;
        g_PaintManager->GetToolBarButtonExtraSpace(&sizeSpacing);
        rc.InflateRect(sizeSpacing.cx + 1, sizeSpacing.cy + 1);
    }
    rc.InflateRect(1, 1);
    InvalidateRect(&rc, TRUE);
}

int CExtToolControlBar::HitTestButton(CPoint point, UINT nMustHave, UINT nMustNotHave, bool bNearest)
{
    if (GetSafeHwnd() == nullptr)
        return -1;
    if (!bNearest && ::GetCapture() == GetSafeHwnd())
    {
        CPoint ptScreen = point;
        ClientToScreen(&ptScreen);
        if (::WindowFromPoint(ptScreen) != GetSafeHwnd())
            return -1;
    }
    const bool bHorz = IsHorzLying();
    int nBest = -1, nBestDistance = kxtoolbar::kUnlimited;
    bool bBestInLine = false;
    for (int i = 0; i < GetButtonsCount(); ++i)
    {
        const CExtBarButton* pButton = m_arrButtons[i];
        const UINT nStyle = pButton->GetStyle();
        if (!pButton->IsVisible() || (nStyle & TBBS_HIDDEN) != 0 ||
            (pButton->IsSeparator() && i + 1 < GetButtonsCount() &&
             (m_arrButtons[i + 1]->GetStyle() & TBBS_HIDDEN) != 0) ||
            (nStyle & nMustHave) != nMustHave || (nStyle & nMustNotHave) != 0)
            continue;
        const CRect rc = pButton->GetRect();
        if (rc.PtInRect(point))
            return i;
        if (!bNearest)
            continue;
        const bool bInLine =
            bHorz ? point.y >= rc.top && point.y < rc.bottom : point.x >= rc.left && point.x < rc.right;
        const double dx = point.x - (rc.left + rc.right) / 2, dy = point.y - (rc.top + rc.bottom) / 2;
        const int nDistance = static_cast<int>(std::sqrt(dx * dx + dy * dy));
        if ((bInLine && !bBestInLine) || (bInLine == bBestInLine && nDistance < nBestDistance))
        {
            nBest = i;
            nBestDistance = nDistance;
            bBestInLine = bInLine;
        }
    }
    return bNearest ? nBest : -1;
}

// ---- sizing and layout ----

int CExtToolControlBar::GetLayoutKind() const
{
    if (m_bDialogHosted || GetSafeHwnd() == nullptr || IsFloating())
        return 2;
    return IsDockedVertically() ? 1 : 0;
}

CFont* CExtToolControlBar::GetBarFont(bool bVertical) const
{
    return bVertical ? &g_PaintManager->FontNormalVert : &g_PaintManager->FontNormal;
}

bool CExtToolControlBar::IsMultiRowLayout() const
{
    if (m_bDialogHosted || m_pDockSite == nullptr || IsPanelBar() || IsFloating())
        return false;
    return WantsMultiRowDocking();
}

CRect CExtToolControlBar::GetMultiRowArea() const
{
    CRect rc(0, 0, 0, 0);
    if (m_pDockBar != nullptr)
        rc = m_pDockBar->m_rectLayout;
    else if (CWnd* pParent = GetParent(); pParent != nullptr)
        pParent->GetClientRect(&rc);
    return rc;
}

int CExtToolControlBar::WrapToolBarVert(int nHeight)
{
    CBarButtons buttons(*this, !IsPanelBar());
    return kxtoolbar::WrapToolBarVert(buttons, CollectGeometry(*this), nHeight);
}

int CExtToolControlBar::WrapToolBar(int nWidth, int nHeight)
{
    CBarButtons buttons(*this, !IsHorzLying() && !IsPanelBar());
    return kxtoolbar::WrapToolBar(buttons, CollectGeometry(*this), nWidth, nHeight);
}

CSize CExtToolControlBar::CalcSize(bool bVertical)
{
    if (GetButtonsCount() == 0)
        return GetLayoutButtonSize();
    CBarButtons buttons(*this, bVertical && !IsPanelBar());
    bool bWrapped = false;
    CSize size = kxtoolbar::CalcSize(buttons, CollectGeometry(*this), bVertical, &bWrapped);
    if (bWrapped)
        m_nLayoutFlags |= LayoutWrapped;
    if (IsPanelBar() && m_bDialogHosted)
    {
        // the non-client extent around a 1 x 1 client
        CRect rc(0, 0, 1, 1);
        CalcWindowRect(&rc);
        size.cx += rc.Width() - 1 + m_cxLeftBorder + m_cxRightBorder;
        size.cy += rc.Height() - 1 + m_cyTopBorder + m_cyBottomBorder;
    }
    return size;
}

void CExtToolControlBar::SizeToolBar(int nLength, bool bVertical)
{
    if (GetButtonsCount() == 0)
        return;
    CBarButtons buttons(*this, !IsHorzLying() && !IsPanelBar());
    kxtoolbar::SizeToolBar(buttons, CollectGeometry(*this), nLength, bVertical);
}

void CExtToolControlBar::ArrangeButtons()
{
    if (GetSafeHwnd() == nullptr || GetButtonsCount() == 0)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    std::vector<int> arrHidden;
    {
        CBarButtons buttons(*this, !IsHorzLying() && !IsPanelBar());
        kxtoolbar::ArrangeButtons(buttons, CollectGeometry(*this), rcClient, arrHidden);
    }
    if (m_pChevron == nullptr)
        return;
    m_pChevron->m_arrHidden.RemoveAll();
    for (int i : arrHidden)
        m_pChevron->m_arrHidden.Add(m_arrButtons[i]);
    // a dialog offers no bars menu: the chevron only serves hidden buttons
    if (m_bDialogHosted)
        m_pChevron->ModifyStyle(arrHidden.empty() ? TBBS_DISABLED : 0, arrHidden.empty() ? 0 : TBBS_DISABLED);
}

CSize CExtToolControlBar::CalcLayout(DWORD dwMode, int nLength)
{
    if ((m_nLayoutFlags & LayoutReentered) == 0)
        m_nLayoutFlags &= static_cast<BYTE>(~LayoutWrapped);
    CSize size = GetLayoutButtonSize();
    const bool bHorz = (dwMode & LM_HORZ) != 0;
    if (GetButtonsCount() > 0)
    {
        int nLen = bHorz ? kxtoolbar::kUnlimited : 0;
        bool bLengthVertical = false;
        const bool bDynamic = (m_dwStyle & CBRS_SIZE_DYNAMIC) != 0;
        if (bDynamic)
        {
            if ((dwMode & LM_MRUWIDTH) != 0)
                nLen = m_nMRUWidth;
            else if ((dwMode & LM_HORZDOCK) != 0)
                nLen = kxtoolbar::kUnlimited;
            else if ((dwMode & LM_VERTDOCK) != 0)
                nLen = 0;
            else if (nLength != -1)
            {
                CRect rcInside(0, 0, 0, 0);
                CalcInsideRect(rcInside, bHorz);
                bLengthVertical = (dwMode & LM_LENGTHY) != 0;
                nLen = nLength + (bLengthVertical ? -rcInside.Height() : -rcInside.Width());
            }
            else if ((m_dwStyle & CBRS_FLOATING) != 0)
                nLen = m_nMRUWidth;
        }
        const bool bMultiRow = IsMultiRowLayout() && !IsPanelBar();
        if (bMultiRow && !bHorz)
        {
            nLen = GetMultiRowArea().Height();
            bLengthVertical = true;
        }
        SizeToolBar(nLen, bLengthVertical);
        size = CalcSize(!bHorz);
        // outside a layout pass the dock bar knows no area to fit
        if (bDynamic && bMultiRow && !GetMultiRowArea().IsRectEmpty())
        {
            // leave room for the chevron at the row's end
            int nReserve = 6;
            if (m_pChevron != nullptr && m_pChevron->IsVisible())
                nReserve += bHorz ? m_pChevron->GetSize().cx : m_pChevron->GetSize().cy;
            const CRect rcArea = GetMultiRowArea();
            int nLen2 = nLen;
            if (bHorz && size.cx + nReserve > rcArea.Width())
                nLen2 = rcArea.Width() - nReserve;
            else if (!bHorz && size.cy + nReserve > rcArea.Height())
                nLen2 = rcArea.Height() - nReserve;
            nLen2 = std::max(nLen2, 1);
            if (nLen2 != nLen && (m_nLayoutFlags & LayoutReentered) == 0)
            {
                m_nLayoutFlags |= LayoutWrapped | LayoutReentered;
                size = CalcLayout(dwMode, nLen2);
                if (nLen != kxtoolbar::kUnlimited)
                    ArrangeButtons();
                m_nLayoutFlags &= static_cast<BYTE>(~LayoutReentered);
                return size;
            }
            if (nLen != kxtoolbar::kUnlimited)
                ArrangeButtons();
        }
        if ((dwMode & LM_COMMIT) != 0 && (m_dwStyle & (CBRS_FLOATING | CBRS_SIZE_DYNAMIC)) != 0 && bHorz)
            m_nMRUWidth = size.cx;
        CRect rcInside(0, 0, 0, 0);
        CalcInsideRect(rcInside, bHorz);
        size.cx -= rcInside.Width();
        size.cy -= rcInside.Height();
        const CSize sizeBase = CControlBar::CalcFixedLayout((dwMode & LM_STRETCH) != 0, bHorz);
        size.cx = std::max<int>(size.cx, sizeBase.cx);
        size.cy = std::max<int>(size.cy, sizeBase.cy);
        if (IsFloating() && HasGripper())
        {
            const CRect rcCaption = GetCaptionRect();
            size.cy += std::min<int>(rcCaption.Width(), rcCaption.Height());
        }
    }
    if (IsFloating())
        size.cx = std::max<int>(size.cx, 2 * GetLayoutButtonSize().cx);
    return KeepLayoutSize(size);
}

CSize CExtToolControlBar::KeepLayoutSize(CSize size)
{
    if (IsFloating())
        m_sizeFloated = size;
    else if (m_pDockBar != nullptr && IsDockedVertically())
        m_sizeDockedV = size;
    else if (m_pDockBar != nullptr)
        m_sizeDockedH = size;
    if (m_pDockSite == nullptr)
    {
        if ((m_dwStyle & CBRS_ORIENT_HORZ) != 0)
            size.cy += 4;
        else
            size.cx += 4;
    }
    return size;
}

CSize CExtToolControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    return CalcLayout((bStretch ? LM_STRETCH : 0) | (bHorz ? LM_HORZ : 0), -1);
}

CSize CExtToolControlBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    if (nLength == -1 && (dwMode & (LM_MRUWIDTH | LM_COMMIT)) == 0 && (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) != 0)
        return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZDOCK) != 0);
    return CalcLayout(dwMode, nLength);
}

CSize CExtToolControlBar::GetMinimalSize() const
{
    auto* pThis = const_cast<CExtToolControlBar*>(this);
    const bool bHorz = !IsDockedVertically();
    CSize size(0, 0);
    if (m_pChevron != nullptr)
        size = m_pChevron->GetSize();
    int nSmallest = 0;
    if (GetSafeHwnd() != nullptr)
    {
        CBarButtons buttons(*pThis, !bHorz);
        const int nLast = m_pChevron != nullptr ? GetButtonsCount() - 1 : GetButtonsCount();
        for (int i = 0; i < nLast; ++i)
        {
            if (m_arrButtons[i]->IsSeparator() || (m_arrButtons[i]->GetStyle() & TBBS_HIDDEN) != 0)
                continue;
            const CSize s = buttons.Measure(i, bHorz);
            const int n = bHorz ? s.cx : s.cy;
            nSmallest = nSmallest == 0 ? n : std::min(nSmallest, n);
        }
        CRect rcWindow, rcClient;
        GetWindowRect(&rcWindow);
        GetClientRect(&rcClient);
        nSmallest += bHorz ? rcWindow.Width() - rcClient.Width() : rcWindow.Height() - rcClient.Height();
    }
    (bHorz ? size.cx : size.cy) += nSmallest;
    return size;
}

DWORD CExtToolControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
    const DWORD dw = CExtControlBar::RecalcDelayShow(lpLayout);
    if (!IsFloating() && IsVisible())
        ArrangeButtons();
    return dw;
}

void CExtToolControlBar::RequestFrameRecalcLayout()
{
    if (GetSafeHwnd() == nullptr || !::IsWindow(GetSafeHwnd()))
        return;
    CExtControlBar::RequestFrameRecalcLayout();
    ArrangeButtons();
    Invalidate(TRUE);
    if (m_bDialogHosted)
        UpdateWindow();
}

void CExtToolControlBar::ToggleDocking()
{
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != nullptr && pFrame != m_pDockSite)
        pFrame->ShowWindow(SW_HIDE);
    if (m_pDockContext != nullptr)
        m_pDockContext->ToggleDocking();
    if (CFrameWnd* pDockingFrame = GetDockingFrame(); pDockingFrame != nullptr)
        pDockingFrame->DelayRecalcLayout(TRUE);
    RecalcNcFrame();
}

// ---- painting ----

void CExtToolControlBar::DoPaint(CDC* pDC)
{
    CExtPaintManager::ExcludeVisibleChildren(pDC->GetSafeHdc(), GetSafeHwnd(), nullptr, 0);
    CRect rcClient;
    GetClientRect(&rcClient);
    CExtMemoryDC dc(pDC, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
    CExtControlBar::DoPaint(&dc);
    dc.SetTextColor(g_PaintManager->GetColor(CExtColorTable::TC_TEXT_NORMAL, this));
    dc.SetBkMode(TRANSPARENT);
    const bool bHorz = IsHorzLying() || IsPanelBar();
    CFont* pOldFont = dc.SelectObject(GetBarFont(!bHorz));
    CollectRowRects(nullptr, &dc);
    const int nKind = GetLayoutKind();
    const int nGap = g_PaintManager->GetToolBarRowGap(this);
    for (int i = 0; i < GetButtonsCount(); ++i)
    {
        CExtBarButton* pButton = m_arrButtons[i];
        if (!pButton->IsVisible() || (pButton->GetStyle() & TBBS_HIDDEN) != 0)
            continue;
        if (pButton->IsSeparator() && i + 1 < GetButtonsCount() && (m_arrButtons[i + 1]->GetStyle() & TBBS_HIDDEN) != 0)
            continue;
        CRect rc = pButton->GetRect();
        if (!pButton->IsSeparator())
        {
            if (dc.RectVisible(&rc))
                pButton->PaintButton(&dc, bHorz);
            continue;
        }
        // a vertical bar draws its separators across, each in the band of
        // the row end that the sizing marked on it
        bool bVertLine = bHorz;
        CRect rcRowEnd = rc;
        if (!bHorz)
        {
            bVertLine = true;
            rcRowEnd.OffsetRect(0, -rc.Height());
        }
        if (pButton->GetWrapAfter(nKind))
        {
            if (nGap == 0)
                continue;
            if (bVertLine)
                rc = CRect(rcClient.left, rcRowEnd.bottom, rcClient.right, rcRowEnd.bottom + nGap);
            else
                rc = CRect(rcRowEnd.left - nGap, rcClient.top, rcRowEnd.left, rcClient.bottom);
            bVertLine = !bVertLine;
        }
        if (!dc.RectVisible(&rc))
            continue;
        if (bVertLine)
            rc.DeflateRect(0, 2);
        else
            rc.DeflateRect(2, 0);
        g_PaintManager->PaintSeparator(dc, rc, bVertLine, true, this, 0);
    }
    dc.SelectObject(pOldFont);
    g_PaintManager->OnPaintSessionComplete(this, 0);
}

bool CExtToolControlBar::CollectRowRects(BarRowsInfo* pRows, CDC* pDC)
{
    if (!g_PaintManager->HasToolBarRowBackground(this))
        return false;
    CRect rcClient;
    GetClientRect(&rcClient);
    const int nKind = GetLayoutKind();
    CRect rcRow(rcClient.left, rcClient.top, rcClient.right, rcClient.top);
    auto finishRow = [&](int nIndex)
    {
        if (rcRow.Height() <= 0)
            return;
        if (pRows != nullptr)
        {
            pRows->m_arrRowRects.Add(rcRow);
            pRows->m_arrLastButtons.Add(nIndex);
        }
        if (pDC != nullptr)
            g_PaintManager->PaintToolBarRowBackground(*pDC, this, nIndex, rcRow);
    };
    for (int i = 0; i < GetButtonsCount(); ++i)
    {
        const CExtBarButton* pButton = m_arrButtons[i];
        if (!pButton->IsVisible() || (pButton->GetStyle() & TBBS_HIDDEN) != 0 ||
            (pButton->IsSeparator() && i + 1 < GetButtonsCount() &&
             (m_arrButtons[i + 1]->GetStyle() & TBBS_HIDDEN) != 0))
            continue;
        if (!pButton->IsSeparator())
        {
            const CRect rc = pButton->GetRect();
            rcRow.top = std::min<int>(rcRow.top, rc.top);
            rcRow.bottom = std::max<int>(rcRow.bottom, rc.bottom);
        }
        if (pButton->GetWrapAfter(nKind) && IsHorzLying())
        {
            finishRow(i);
            rcRow.top = rcRow.bottom = rcRow.bottom + 1;
        }
    }
    finishRow(GetButtonsCount());
    return true;
}

// ---- rows of a floating bar for the windows on it ----

void CExtToolControlBar::BarRowsInfo::Clear()
{
    m_arrRowRects.RemoveAll();
    m_arrLastButtons.RemoveAll();
    m_pBar = nullptr;
    m_pFloatingFrame = nullptr;
    m_hWndTarget = nullptr;
}

bool CExtToolControlBar::BarRowsInfo::Collect(HWND hWnd)
{
    Clear();
    if (hWnd == nullptr || !::IsWindow(hWnd))
        return false;
    m_hWndTarget = hWnd;
    for (HWND h = hWnd;;)
    {
        if (m_pFloatingFrame != nullptr && h == m_pFloatingFrame->GetSafeHwnd())
            return false;
        if ((::GetWindowLongA(h, GWL_STYLE) & WS_CHILD) == 0 && m_pFloatingFrame == nullptr)
            return false;
        if (CWnd* pWnd = CWnd::FromHandlePermanent(h); pWnd != nullptr)
        {
            if (m_pFloatingFrame == nullptr)
            {
                CFrameWnd* pFrame = pWnd->GetParentFrame();
                if (pFrame == nullptr || !pFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
                    return false;
                m_pFloatingFrame = static_cast<CExtMiniDockFrameWnd*>(pFrame);
            }
            if (pWnd->IsKindOf(RUNTIME_CLASS(CExtToolControlBar)))
            {
                m_pBar = static_cast<CExtToolControlBar*>(pWnd);
                break;
            }
        }
        h = ::GetParent(h);
        if (h == nullptr)
            return false;
    }
    if (m_pBar->GetSafeHwnd() == hWnd)
        return false;
    return m_pBar->CollectRowRects(this, nullptr);
}

void CExtToolControlBar::BarRowsInfo::MapToClient()
{
    if (!::IsWindow(m_hWndTarget) || m_pBar == nullptr || m_pBar->GetSafeHwnd() == nullptr)
        return;
    for (INT_PTR i = 0; i < m_arrRowRects.GetSize(); ++i)
        ::MapWindowPoints(m_pBar->GetSafeHwnd(), m_hWndTarget, reinterpret_cast<LPPOINT>(&m_arrRowRects[i]), 2);
}

void CExtToolControlBar::BarRowsInfo::MapToWindow()
{
    if (!::IsWindow(m_hWndTarget) || m_pBar == nullptr || m_pBar->GetSafeHwnd() == nullptr)
        return;
    CRect rcWindow;
    ::GetWindowRect(m_hWndTarget, &rcWindow);
    for (INT_PTR i = 0; i < m_arrRowRects.GetSize(); ++i)
    {
        ::MapWindowPoints(m_pBar->GetSafeHwnd(), nullptr, reinterpret_cast<LPPOINT>(&m_arrRowRects[i]), 2);
        m_arrRowRects[i].OffsetRect(-rcWindow.left, -rcWindow.top);
    }
}

void CExtToolControlBar::BarRowsInfo::Paint(CDC* pDC)
{
    if (!::IsWindow(m_hWndTarget) || m_pBar == nullptr || m_pBar->GetSafeHwnd() == nullptr)
        return;
    for (INT_PTR i = 0; i < m_arrRowRects.GetSize(); ++i)
        if (pDC->RectVisible(&m_arrRowRects[i]))
            g_PaintManager->PaintToolBarRowBackground(*pDC, m_pBar, m_arrLastButtons[i], m_arrRowRects[i]);
}
