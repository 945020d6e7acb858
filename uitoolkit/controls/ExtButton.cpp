#include "uitoolkit/controls/ExtButton.h"

#include "framework/win/ControlBar.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/paint/ExtCmdIcon.h"
#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/paint/ExtPaintRecords.h"

#include <cctype>

IMPLEMENT_DYNAMIC(CExtButton, CButton)

BEGIN_MESSAGE_MAP(CExtButton, CButton)
ON_WM_CAPTURECHANGED()
ON_WM_SETCURSOR()
ON_WM_KILLFOCUS()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_LBUTTONUP()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_ENABLE()
END_MESSAGE_MAP()

CExtButton::CExtButton()
{
    EnableToolTips();
}

CExtButton::~CExtButton()
{
    DestroyIcons();
    if (m_hCursor != nullptr)
        ::DestroyCursor(m_hCursor);
    if (m_wndToolTip.GetSafeHwnd() != nullptr)
        m_wndToolTip.DestroyWindow();
}

void CExtButton::DestroyIcons()
{
    if (m_hIconHot != nullptr)
        ::DestroyIcon(m_hIconHot);
    if (m_hIcon != nullptr && m_hIcon != m_hIconHot)
        ::DestroyIcon(m_hIcon);
    m_hIconHot = m_hIcon = nullptr;
}

void CExtButton::RepaintNow()
{
    if (m_hWnd == nullptr)
        return;
    Invalidate();
    UpdateWindow();
}

void CExtButton::SetStateBits(BYTE bSet, BYTE bClear)
{
    m_bState = static_cast<BYTE>((m_bState & ~bClear) | bSet);
}

void CExtButton::ReleaseOwnCapture()
{
    if (CExtMouseCaptureSink::GetCapture() == m_hWnd)
        CExtMouseCaptureSink::ReleaseCapture();
}

bool CExtButton::SetIconFromResource(UINT nIdHover, UINT nIdNormal)
{
    const HINSTANCE hInst = AfxGetResourceHandle();
    auto load = [hInst](UINT nId) -> HICON
    {
        if (nId == 0)
            return nullptr;
        return static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(nId), IMAGE_ICON, 0, 0, 0));
    };
    const HICON hHover = load(nIdHover);
    const HICON hNormal = load(nIdNormal);
    SetIcon(hHover, hNormal);
    return hHover != nullptr;
}

void CExtButton::SetIcon(HICON hIconHover, HICON hIconNormal)
{
    DestroyIcons();
    m_hIconHot = hIconHover;
    m_hIcon = hIconNormal != nullptr ? hIconNormal : hIconHover;
    RepaintNow();
}

bool CExtButton::SetButtonCursor(int nCursorId)
{
    if (m_hCursor != nullptr)
        ::DestroyCursor(m_hCursor);
    m_hCursor = nullptr;
    if (nCursorId == -1)
        return true;
    m_hCursor =
        static_cast<HCURSOR>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nCursorId), IMAGE_CURSOR, 0, 0, 0));
    // a shared system cursor must not be destroyed, so keep a copy of it
    if (m_hCursor == nullptr)
        if (const HCURSOR hSystem = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(nCursorId)))
            m_hCursor = static_cast<HCURSOR>(::CopyImage(hSystem, IMAGE_CURSOR, 0, 0, 0));
    return m_hCursor != nullptr;
}

void CExtButton::SetFlat(bool bFlat)
{
    if (m_hWnd == nullptr)
        return;
    ModifyStyle(bFlat ? 0 : BS_FLAT, bFlat ? BS_FLAT : 0, SWP_FRAMECHANGED);
    RepaintNow();
}

bool CExtButton::GetFlat() const
{
    return m_hWnd != nullptr && (GetStyle() & BS_FLAT) != 0;
}

void CExtButton::SetTextAlign(UINT nTextAlign)
{
    m_nTextAlign = nTextAlign;
    RepaintNow();
}

void CExtButton::SetDrawBorder(bool bEnable)
{
    SetStateBits(bEnable ? STATE_DRAW_BORDER : 0, bEnable ? 0 : STATE_DRAW_BORDER);
    RepaintNow();
}

void CExtButton::SetDrawFocusRect(bool bEnable)
{
    SetStateBits(bEnable ? STATE_DRAW_FOCUS : 0, bEnable ? 0 : STATE_DRAW_FOCUS);
    RepaintNow();
}

void CExtButton::EnsureToolTip()
{
    if (m_wndToolTip.GetSafeHwnd() != nullptr || m_hWnd == nullptr)
        return;
    if (m_wndToolTip.Create(this))
        m_wndToolTip.Activate(FALSE);
}

void CExtButton::SetTooltipText(const CString& sText, bool bActivate)
{
    SetTooltipText(static_cast<LPCTSTR>(sText), bActivate);
}

void CExtButton::SetTooltipText(LPCTSTR lpszText, bool bActivate)
{
    if (lpszText == nullptr || *lpszText == '\0' || m_hWnd == nullptr)
        return;
    EnsureToolTip();
    if (m_wndToolTip.GetSafeHwnd() == nullptr)
        return;
    if (m_wndToolTip.GetToolCount() == 0)
    {
        CRect rcClient;
        GetClientRect(&rcClient);
        m_wndToolTip.AddTool(this, lpszText, &rcClient, 1);
    }
    CancelToolTips();
    m_wndToolTip.UpdateTipText(lpszText, this, 1);
    const CString sText(lpszText);
    m_wndToolTip.SetMaxTipWidth(sText.Find('\r') >= 0 ? GetTooltipMaxWidth(sText) : -1);
    m_wndToolTip.Activate(bActivate);
}

void CExtButton::ActivateTooltip(bool bActivate)
{
    if (m_wndToolTip.GetSafeHwnd() != nullptr && m_wndToolTip.GetToolCount() != 0)
        m_wndToolTip.Activate(bActivate);
}

bool CExtButton::IsDefaultButton() const
{
    return m_nButtonType == BS_DEFPUSHBUTTON;
}

bool CExtButton::IsPushButtonType() const
{
    return m_nButtonType == BS_PUSHBUTTON || m_nButtonType == BS_DEFPUSHBUTTON || m_nButtonType == BS_USERBUTTON ||
           m_nButtonType == BS_OWNERDRAW;
}

bool CExtButton::IsCheckOrRadio() const
{
    switch (m_nButtonType)
    {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return true;
    default: return false;
    }
}

bool CExtButton::Is3State() const
{
    return m_nButtonType == BS_3STATE || m_nButtonType == BS_AUTO3STATE;
}

bool CExtButton::HasDropDownMenu() const
{
    return m_menu.GetSafeHmenu() != nullptr;
}

void CExtButton::GetButtonText(CString& sText) const
{
    sText.Empty();
    if (m_hWnd != nullptr)
        GetWindowText(sText);
}

HFONT CExtButton::GetButtonFont() const
{
    if (m_hWnd != nullptr)
    {
        if (const HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)))
            return hFont;
        if (const HWND hParent = ::GetParent(m_hWnd))
            if (const HFONT hFont = reinterpret_cast<HFONT>(::SendMessageA(hParent, WM_GETFONT, 0, 0)))
                return hFont;
    }
    if (const HGDIOBJ hFont = ::GetStockObject(DEFAULT_GUI_FONT))
        return static_cast<HFONT>(hFont);
    return static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
}

int CExtButton::GetTooltipMaxWidth(const CString&) const
{
    return g_nTooltipMaxWidth;
}

bool CExtButton::IsEnabled() const
{
    return m_hWnd != nullptr && IsWindowEnabled();
}

int CExtButton::HitTestCursor() const
{
    if (m_hWnd == nullptr)
        return 0;
    POINT pt = {};
    if (!::GetCursorPos(&pt))
        return 0;
    return ::WindowFromPoint(pt) == m_hWnd ? 1 : 0;
}

void CExtButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    const DWORD dwStyle = GetStyle();
    m_nButtonType = dwStyle & 0x0F;
    // the kind is kept above; the control itself only ever draws through us
    // (the window still runs its own procedure here)
    ::SendMessageA(m_hWnd, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
    switch (dwStyle & BS_CENTER)
    {
    case BS_CENTER: m_nTextAlign = DT_CENTER | DT_VCENTER; break;
    case BS_LEFT: m_nTextAlign = DT_LEFT | DT_VCENTER; break;
    case BS_RIGHT: m_nTextAlign = DT_RIGHT | DT_VCENTER; break;
    default:
        m_nTextAlign =
            IsPushButtonType() || (dwStyle & BS_PUSHLIKE) != 0 ? DT_CENTER | DT_VCENTER : DT_LEFT | DT_VCENTER;
        break;
    }
    m_nCheck = static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0));
    PostMessage(WM_ENABLE, IsWindowEnabled());
}

LRESULT CExtButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_UPDATEUISTATE: return 0;
    case WM_ENABLE:
    case WM_SETTEXT:
    {
        const LRESULT lResult = CButton::WindowProc(message, wParam, lParam);
        RepaintNow();
        return lResult;
    }
    case BM_GETCHECK: return m_nCheck;
    case BM_SETCHECK:
        m_nCheck = static_cast<int>(wParam);
        RepaintNow();
        return 0;
    case BM_SETSTYLE:
        m_nButtonType = static_cast<UINT>(wParam) & 0x0F;
        RepaintNow();
        return 0;
    case WM_NOTIFY:
    {
        const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
        if (pHdr != nullptr && pHdr->code == TTN_SHOW && m_wndToolTip.GetSafeHwnd() != nullptr &&
            pHdr->hwndFrom == m_wndToolTip.GetSafeHwnd())
            ::SetWindowPos(pHdr->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
    }
    default:
        if (message == CExtPopupMenuWnd::g_nMsgPrepareMenu || message == CExtPopupMenuWnd::g_nMsgPopupNext ||
            message == CExtPopupMenuWnd::g_nMsgPopupPrev || message == CExtPopupMenuWnd::g_nMsgNotifyMenuExpanded ||
            message == CExtPopupMenuWnd::g_nMsgNotifyMenuClosed || message == CExtPopupMenuWnd::g_nMsgPopupDrawItem ||
            message == CExtPopupMenuWnd::g_nMsgPopupDrawLeftArea)
        {
            const HWND hParent = ::GetParent(m_hWnd);
            return hParent != nullptr ? ::SendMessageA(hParent, message, wParam, lParam) : 0;
        }
        break;
    }
    const LRESULT lResult = CButton::WindowProc(message, wParam, lParam);
    switch (message)
    {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case BM_SETSTATE:
    case BM_CLICK:
    case BM_SETIMAGE:
    case WM_LBUTTONDBLCLK: Invalidate(); break;
    default:
        if (CExtPaintManagerHolder::IsSysNotifyMessage(message))
            g_PaintManager.RelaySysNotify(this, message, wParam, lParam);
        break;
    }
    return lResult;
}

LRESULT CExtButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CButton::DefWindowProc(message, wParam, lParam);
    switch (message)
    {
    case WM_SIZE:
    case WM_SETTEXT:
    case WM_WINDOWPOSCHANGED:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case BM_SETSTYLE:
    case BM_CLICK:
    case BM_SETIMAGE:
        if (m_hWnd != nullptr)
            Invalidate();
        break;
    default: break;
    }
    return lResult;
}

BOOL CExtButton::PreTranslateMessage(MSG* pMsg)
{
    // a tip must not pop up over an open menu
    if (!IsPopupTrackingActive())
    {
        EnsureToolTip();
        if (m_wndToolTip.GetSafeHwnd() != nullptr)
            m_wndToolTip.RelayEvent(pMsg);
    }
    if ((pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP) &&
        (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_SPACE))
    {
        if (!IsWindowEnabled() || !IsWindowVisible() || (m_bState & STATE_MOUSE_TRACKING) != 0)
            return TRUE;
        const bool bClick = (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) ||
                            (pMsg->message == WM_KEYUP && pMsg->wParam == VK_SPACE &&
                             (m_bState & (STATE_KEY_PRESS | STATE_PUSHED)) == (STATE_KEY_PRESS | STATE_PUSHED));
        if (bClick)
        {
            ReleaseOwnCapture();
            SetStateBits(0, STATE_HOVER | STATE_PUSHED | STATE_MOUSE_TRACKING | STATE_KEY_PRESS);
            RepaintNow();
            OnClick(true);
        }
        else if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_SPACE)
        {
            SetStateBits(STATE_KEY_PRESS | STATE_PUSHED | STATE_HOVER, 0);
            CExtMouseCaptureSink::SetCapture(m_hWnd);
            RepaintNow();
        }
        return TRUE;
    }
    if ((m_bAccelOptions & ACCEL_CLICKS) != 0 && (pMsg->message == WM_KEYUP || pMsg->message == WM_SYSKEYUP) &&
        IsAccelKey(static_cast<UINT>(pMsg->wParam)) && OnAccelPressed())
        return FALSE;
    return CButton::PreTranslateMessage(pMsg);
}

bool CExtButton::IsAccelKey(UINT nVirtualKey) const
{
    if ((m_bAccelOptions & ACCEL_CLICKS) == 0 || m_hWnd == nullptr)
        return false;
    if ((::GetKeyState(VK_SHIFT) & 0x8000) != 0 || (::GetKeyState(VK_CONTROL) & 0x8000) != 0)
        return false;
    CString sText;
    GetWindowText(sText);
    const int nAmp = sText.Find('&');
    if (nAmp < 0 || nAmp + 1 >= sText.GetLength())
        return false;
    return static_cast<UINT>(std::toupper(static_cast<unsigned char>(sText[nAmp + 1]))) == nVirtualKey;
}

bool CExtButton::OnAccelPressed()
{
    OnClick(true);
    return true;
}

bool CExtButton::TrackDropDownMenu(bool bSelectFirstItem)
{
    if (!HasDropDownMenu())
        return false;
    const HWND hOwner = ::GetParent(m_hWnd);
    CExtPopupMenuWnd* pPopup = new CExtPopupMenuWnd;
    if (!pPopup->UpdateFromMenuHandle(hOwner, m_menu.GetSafeHmenu(), true, true, false))
    {
        delete pPopup;
        return false;
    }
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    const CPoint ptAnchor = rcWindow.CenterPoint();
    SetFocus();
    const DWORD dwFlags = (bSelectFirstItem ? CExtPopupMenuWnd::TRACK_SELECT_FIRST : 0) | m_dwMenuTrackFlags |
                          CExtPopupMenuWnd::TRACK_COMBINE_BY_THEME;
    // the tracker owns the popup from here, also when tracking fails
    pPopup->TrackPopupMenu(dwFlags, ptAnchor.x, ptAnchor.y, &rcWindow);
    return true;
}

void CExtButton::OnClick(bool bByKeyboard)
{
    const HWND hParent = ::GetParent(m_hWnd);
    if (hParent == nullptr)
        return;
    const WPARAM wCommand = MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED);
    if (IsCheckOrRadio())
    {
        SendMessage(BM_SETCHECK, SendMessage(BM_GETCHECK) == 0 ? 1 : 0);
        ::SendMessageA(hParent, WM_COMMAND, wCommand, reinterpret_cast<LPARAM>(m_hWnd));
        RepaintNow();
        return;
    }
    if (!IsPushButtonType())
        return;
    // the drop-down menu is the button's only action when it has one
    if (TrackDropDownMenu(bByKeyboard) || HasDropDownMenu())
        return;
    ::SendMessageA(hParent, WM_COMMAND, wCommand, reinterpret_cast<LPARAM>(m_hWnd));
    RepaintNow();
}

void CExtButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if ((m_bState & STATE_KEY_PRESS) != 0)
        return;
    CButton::OnMouseMove(nFlags, point);
    const int nPart = HitTestCursor();
    const bool bTracking = (m_bState & STATE_MOUSE_TRACKING) != 0;
    bool bOver = bTracking ? nPart == m_nPressedPart : nPart != 0;
    // an inactive program's buttons do not light up
    if (bOver && !CExtPopupMenuWnd::HaveCommonVisibleAncestor(m_hWnd, ::GetActiveWindow(), true, true, true))
        bOver = false;
    if (bOver)
    {
        if (CExtMouseCaptureSink::GetCapture() != m_hWnd)
            CExtMouseCaptureSink::SetCapture(m_hWnd);
        if ((m_bState & STATE_HOVER) == 0)
        {
            const bool bPushed = (nFlags & MK_LBUTTON) != 0 && bTracking;
            SetStateBits(static_cast<BYTE>(STATE_HOVER | (bPushed ? STATE_PUSHED : 0)), 0);
            RepaintNow();
        }
        return;
    }
    if (!bTracking)
        ReleaseOwnCapture();
    if ((m_bState & STATE_HOVER) != 0)
    {
        SetStateBits(0, STATE_HOVER | STATE_PUSHED);
        RepaintNow();
    }
}

void CExtButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    if ((m_bState & STATE_KEY_PRESS) != 0)
        return;
    CButton::OnLButtonDown(nFlags, point);
    m_nPressedPart = HitTestCursor();
    if (m_nPressedPart == 0)
        return;
    SetStateBits(STATE_HOVER | STATE_PUSHED | STATE_MOUSE_TRACKING, 0);
    CExtMouseCaptureSink::SetCapture(m_hWnd);
    RepaintNow();
}

void CExtButton::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    OnLButtonDown(nFlags, point);
}

void CExtButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    if ((m_bState & STATE_KEY_PRESS) != 0)
        return;
    static_cast<void>(nFlags);
    static_cast<void>(point);
    const int nPart = HitTestCursor();
    const bool bClick = (m_bState & (STATE_PUSHED | STATE_MOUSE_TRACKING)) == (STATE_PUSHED | STATE_MOUSE_TRACKING) &&
                        nPart == m_nPressedPart;
    SetStateBits(0, STATE_HOVER | STATE_PUSHED | STATE_MOUSE_TRACKING);
    m_nPressedPart = 0;
    ReleaseOwnCapture();
    RepaintNow();
    if (bClick && IsWindowEnabled() && IsWindowVisible())
        OnClick(false);
}

void CExtButton::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    if ((m_bState & (STATE_HOVER | STATE_PUSHED)) == 0)
        return;
    ReleaseOwnCapture();
    SetStateBits(0, STATE_HOVER | STATE_PUSHED);
    RepaintNow();
}

void CExtButton::OnCaptureChanged(CWnd* pWnd)
{
    if ((pWnd == nullptr || pWnd->GetSafeHwnd() != m_hWnd) && (m_bState & (STATE_HOVER | STATE_PUSHED)) != 0)
    {
        SetStateBits(0, STATE_HOVER | STATE_PUSHED);
        Invalidate();
    }
    CButton::OnCaptureChanged(pWnd);
}

BOOL CExtButton::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_hCursor != nullptr)
    {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return CButton::OnSetCursor(pWnd, nHitTest, message);
}

BOOL CExtButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CExtButton::OnPaint()
{
    const UINT nKind = GetStyle() & 0x0F;
    if (nKind != BS_OWNERDRAW && nKind != BS_USERBUTTON)
    {
        CPaintDC dc(this);
        DoPaint(&dc);
        return;
    }
    Default();
}

void CExtButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    DoPaint(CDC::FromHandle(lpDrawItemStruct->hDC));
}

void CExtButton::OnEnable(BOOL bEnable)
{
    CButton::OnEnable(bEnable);
    CClientDC dc(this);
    DoPaint(&dc);
}

void CExtButton::DoPaint(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    CExtMemoryDC dc(pDC, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
    PaintFace(dc, false, false);
}

void CExtButton::PrepareFaceLook(CExtCmdIcon& icon, bool bHover, bool& bFocus, bool& bFlat, bool& bPushed)
{
    if (const HICON hIcon = bHover ? m_hIconHot : m_hIcon)
        icon.AssignFromHICON(hIcon, true);
    if (IsCheckOrRadio())
    {
        if ((GetStyle() & BS_PUSHLIKE) == 0)
        {
            bFocus = false;
            bFlat = true;
            const COLORREF clrGlyph = g_PaintManager->GetColor(COLOR_BTNTEXT, this);
            const COLORREF clrKey = RGB(255, 0, 255);
            icon.Empty();
            if (m_nCheck == 0)
                icon.CreateEmpty(clrKey, 24, 16);
            else if (m_nButtonType == BS_RADIOBUTTON || m_nButtonType == BS_AUTORADIOBUTTON)
                icon.CreateRadioDot(clrGlyph, clrKey, 24, 16);
            else
                icon.CreateCheckMark(clrGlyph, clrKey, 24, 16);
        }
        else if (m_nCheck != 0)
            bPushed = true;
    }
    for (CWnd* pParent = GetParent(); pParent != nullptr; pParent = pParent->GetParent())
        if (pParent->IsKindOf(RUNTIME_CLASS(CControlBar)))
        {
            bFocus = false;
            bFlat = true;
            break;
        }
}

void CExtButton::PaintFace(CDC& dc, bool bTransparentBackground, bool bHonourMirroring)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    CString sText;
    GetButtonText(sText);
    const DWORD dwStyle = GetStyle();
    bool bFocus = ::GetFocus() == m_hWnd && (m_bState & STATE_DRAW_FOCUS) != 0;
    const bool bDefault = IsDefaultButton();
    bool bPushed = (m_bState & STATE_PUSHED) != 0;
    const bool bEnabled = IsEnabled();
    bool bFlat = GetFlat();
    const bool bHover = (m_bState & STATE_HOVER) != 0 && !IsPopupTrackingActive();
    CExtCmdIcon icon;
    PrepareFaceLook(icon, bHover, bFocus, bFlat, bPushed);
    if (!bTransparentBackground)
    {
        const COLORREF clrFace =
            m_clrBackground != static_cast<COLORREF>(-1) ? m_clrBackground : g_PaintManager->GetColor(1000, this);
        if (!bHover && !bPushed && m_clrBackground == static_cast<COLORREF>(-1) &&
            g_PaintManager->IsInheritedBackgroundUsed(this, 0))
        {
            CExtPaintManager::ExcludeVisibleChildren(dc.GetSafeHdc(), m_hWnd, nullptr, 0);
            bTransparentBackground = g_PaintManager->PaintInheritedBackground(true, dc, this, 0);
            ::SelectClipRgn(dc.GetSafeHdc(), nullptr);
        }
        if (!bTransparentBackground)
            dc.FillSolidRect(&rcClient, clrFace);
    }
    LOGFONTA lf = {};
    ::GetObjectA(GetButtonFont(), sizeof(lf), &lf);
    lf.lfWeight = bDefault ? FW_BOLD : FW_NORMAL;
    CFont font;
    font.CreateFontIndirect(&lf);

    CExtPaintManager::PushButtonParams params(this, true, rcClient, sText, icon.IsEmpty() ? nullptr : &icon, bFlat,
                                              bHover, bPushed, false, bEnabled, (m_bState & STATE_DRAW_BORDER) != 0,
                                              bFocus, bDefault, m_nTextAlign, font, HasDropDownMenu(), 0,
                                              bTransparentBackground);
    params.BackgroundColor = m_clrBackground;
    params.TextDisabledColor = m_clrTextDisabled;
    params.TextNormalColor = m_clrTextNormal;
    params.TextHoverColor = m_clrTextHover;
    params.TextPushedColor = m_clrTextPressed;
    params.ForceRightToLeft = bHonourMirroring && (GetExStyle() & WS_EX_LAYOUTRTL) != 0;
    params.WordBreak = (dwStyle & BS_MULTILINE) != 0;
    g_PaintManager->PaintPushButton(dc, params);
}
