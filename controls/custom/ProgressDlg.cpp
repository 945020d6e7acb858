#include "controls/custom/ProgressDlg.h"

#include "framework/win/WinThread.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CProgressDlg, CWnd)
ON_COMMAND(IDC_PROGRESS_CANCEL, OnCancel)
ON_COMMAND(IDC_PROGRESS_PAUSE, OnPause)
END_MESSAGE_MAP()

CProgressDlg::CProgressDlg() = default;

CProgressDlg::~CProgressDlg()
{
    DestroyWindow();
}

bool CProgressDlg::Create(LPCTSTR lpszCaption, bool bSmooth, bool bCancel, bool bPause, CWnd* pParentWnd)
{
    if (m_hWnd == nullptr)
    {
        m_strCaption = lpszCaption;
        m_bCancelButton = bCancel;
        m_bPauseButton = bPause;
        LPCTSTR lpszClass =
            AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_APPSTARTING),
                                ::GetSysColorBrush(COLOR_BTNFACE));
        NONCLIENTMETRICSA ncm = {};
        ncm.cbSize = sizeof(ncm);
        ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
        m_font.DeleteObject();
        m_font.CreateFontIndirect(&ncm.lfMessageFont);

        CWnd* pOwner = pParentWnd != nullptr ? pParentWnd : AfxGetMainWnd();
        if (!CreateEx(WS_EX_DLGMODALFRAME, lpszClass, lpszCaption, WS_POPUP | WS_CAPTION, 0, 0, 440, 130,
                      pOwner != nullptr ? pOwner->m_hWnd : nullptr, nullptr))
            return false;

        const CRect rcNone(0, 0, 0, 0);
        m_wndStatus.Create("", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, rcNone, this,
                           IDC_PROGRESS_STATUS);
        m_wndProgress.Create(WS_CHILD | WS_VISIBLE | (bSmooth ? PBS_SMOOTH : 0), rcNone, this, IDC_PROGRESS_BAR);
        m_wndStatus.SetFont(&m_font);
        if (m_bCancelButton)
        {
            m_btnCancel.Create(m_strCancel, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rcNone, this, IDC_PROGRESS_CANCEL);
            m_btnCancel.SetFont(&m_font);
        }
        if (m_bPauseButton)
        {
            m_btnPause.Create(m_strPause, WS_CHILD | WS_VISIBLE | WS_TABSTOP, rcNone, this, IDC_PROGRESS_PAUSE);
            m_btnPause.SetFont(&m_font);
        }
        Layout(440);

        bool bPlaced = false;
        if (m_bRememberPosition && AfxGetApp() != nullptr)
        {
            const int x = static_cast<int>(AfxGetApp()->GetProfileInt("Settings", "X", -1));
            const int y = static_cast<int>(AfxGetApp()->GetProfileInt("Settings", "Y", -1));
            if (x >= 0 && x < ::GetSystemMetrics(SM_CXSCREEN) && y >= 0 && y < ::GetSystemMetrics(SM_CYSCREEN))
            {
                SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                bPlaced = true;
            }
        }
        if (!bPlaced)
            CenterWindow();
        Show();
    }

    // the topmost enabled window above this one behaves as a modal owner
    HWND hTop = nullptr;
    for (HWND h = ::GetParent(m_hWnd); h != nullptr && ::IsWindowEnabled(h); h = ::GetParent(h))
        hTop = h;
    if (hTop != nullptr)
    {
        ::EnableWindow(hTop, FALSE);
        m_hWndOwner = hTop;
    }
    EnableWindow(TRUE);
    m_bModal = true;
    return true;
}

void CProgressDlg::Layout(int nWidth)
{
    CClientDC dc(this);
    CFont* pOldFont = dc.SelectObject(&m_font);

    CString sLines = "M";
    for (int i = 1; i < m_nStatusLines; ++i)
        sLines += "\nM";
    CRect rcStatus(10, 10, nWidth - 20, 120);
    dc.DrawText(sLines, rcStatus, DT_CALCRECT | DT_NOPREFIX);
    rcStatus.left = 10;
    rcStatus.right = 10 + nWidth;

    const int cxEdge = ::GetSystemMetrics(SM_CXEDGE);
    const int cyEdge = ::GetSystemMetrics(SM_CYEDGE);
    auto measure = [&](const CString& sText)
    {
        const CSize size = dc.GetTextExtent(sText + "  ");
        return CSize(size.cx + 4 * cxEdge, size.cy + 3 * cyEdge);
    };
    const CSize sizeCancel = measure(m_strCancel);
    const CSize sizePause = measure(m_strPause);
    const CSize sizeResume = measure(m_strResume);
    const int cxButton = std::max({sizeCancel.cx, sizePause.cx, sizeResume.cx});
    const int cyButton = std::max({sizeCancel.cy, sizePause.cy, sizeResume.cy});
    dc.SelectObject(pOldFont);

    const int yRow = rcStatus.bottom + 10;
    const CRect rcCancel(rcStatus.right - cxButton, yRow, rcStatus.right, yRow + cyButton);
    const int xPauseRight = m_bCancelButton ? rcCancel.left - 10 : rcStatus.right - 10;
    const CRect rcPause(xPauseRight - cxButton, yRow, xPauseRight, yRow + cyButton);
    const int xBarRight = m_bPauseButton ? rcPause.left - 10 : xPauseRight - 10;
    const CRect rcBar(rcStatus.left, yRow + cyEdge, xBarRight, yRow + cyButton - cyEdge);

    m_wndStatus.MoveWindow(rcStatus);
    m_wndProgress.MoveWindow(rcBar);
    if (m_bCancelButton)
        m_btnCancel.MoveWindow(rcCancel);
    if (m_bPauseButton)
        m_btnPause.MoveWindow(rcPause);

    CRect rcWindow(0, 0, nWidth + 20, rcStatus.Height() + cyButton + 30);
    ::AdjustWindowRectEx(rcWindow, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, 0, 0, rcWindow.Width(), rcWindow.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CProgressDlg::SetRange(int nLower, int nUpper, int nStep)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
    m_nStep = nStep;
    if (m_hWnd != nullptr)
    {
        m_wndProgress.SetRange32(nLower, nUpper);
        m_wndProgress.SetStep(nStep);
    }
}

int CProgressDlg::SetPos(int nPos)
{
    if (m_hWnd == nullptr)
        return m_nPos;
    // a cancelled operation's window stays hidden until it is destroyed
    if (!m_bCancelled && !IsWindowVisible())
        Show();
    m_nPos = nPos;
    const int nPercent =
        m_nUpper > m_nLower
            ? static_cast<int>(static_cast<double>(nPos - m_nLower) * 100.0 / (m_nUpper - m_nLower) + 0.5)
            : 0;
    if (nPercent != m_nPercent)
    {
        m_nPercent = nPercent;
        CString sCaption;
        sCaption.Format("%s [%d%%]", static_cast<LPCSTR>(m_strCaption), nPercent);
        SetWindowText(sCaption);
    }
    return m_wndProgress.SetPos(nPos);
}

void CProgressDlg::SetStatus(LPCTSTR lpszText)
{
    if (m_hWnd == nullptr)
        return;
    const CString sText = CString(lpszText != nullptr ? lpszText : "").Left(kMaxStatus);
    m_wndStatus.SetWindowText(sText);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool CProgressDlg::CheckCancel()
{
    if (!m_bPauseButton)
        return m_bCancelled;
    while (m_bPaused && !m_bCancelled)
    {
        ::Sleep(500);
        PumpMessages(true);
    }
    return m_bCancelled;
}

void CProgressDlg::PumpMessages(bool bEscapeAllowed)
{
    if (m_hWnd == nullptr)
        return;
    if (m_bModal && ::GetFocus() != m_hWnd && !IsChild(CWnd::GetFocus()))
        SetFocus();
    const bool bEscapeCancels = bEscapeAllowed && m_bCancelButton;
    while (!m_bCancelled)
    {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            return;
        if (msg.message == WM_CHAR && msg.wParam == VK_ESCAPE && bEscapeCancels)
            OnCancel();
        if (!AfxPumpMessage())
        {
            // the application was told to end: its main loop ends after the
            // operation
            ::PostQuitMessage(0);
            return;
        }
    }
}

void CProgressDlg::OnCancel()
{
    if (m_bRememberPosition)
        StorePosition();
    m_bCancelled = true;
    Hide();
    if (m_bModal)
        PostMessage(WM_CLOSE);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SetForegroundWindow();
}

void CProgressDlg::OnPause()
{
    m_bPaused = !m_bPaused;
    if (m_bPauseButton)
        m_btnPause.SetWindowText(m_bPaused ? m_strResume : m_strPause);
}

void CProgressDlg::StorePosition()
{
    if (m_hWnd == nullptr || AfxGetApp() == nullptr)
        return;
    CRect rc;
    GetWindowRect(rc);
    AfxGetApp()->WriteProfileInt("Settings", "X", rc.left);
    AfxGetApp()->WriteProfileInt("Settings", "Y", rc.top);
}

void CProgressDlg::Hide()
{
    ShowWindow(SW_HIDE);
}

void CProgressDlg::Show()
{
    ShowWindow(SW_SHOWNA);
    RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

BOOL CProgressDlg::DestroyWindow()
{
    if (m_bRememberPosition)
        StorePosition();
    if (m_bModal)
    {
        m_bModal = false;
        if (::IsWindow(m_hWndOwner))
            ::EnableWindow(m_hWndOwner, TRUE);
        m_hWndOwner = nullptr;
    }
    if (m_hWnd == nullptr)
        return FALSE;
    return CWnd::DestroyWindow();
}
