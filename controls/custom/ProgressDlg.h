// A small pop-up that shows the progress of a long operation running on the
// GUI thread itself: a status line, a bar and optional " Cancel " and
// " Pause " buttons. While it is up the application's top-level window is
// disabled, so it behaves as a modal dialog although the operation keeps the
// thread; the buttons and Escape only react while the operation calls
// SetPos, PumpMessages or CheckCancel.
#pragma once

#include "framework/win/AfxWin.h"
#include "framework/win/Controls.h"
#include "uitoolkit/controls/ExtButton.h"
#include "uitoolkit/controls/ExtLabel.h"

class CProgressDlg : public CWnd
{
public:
    enum : UINT
    {
        IDC_PROGRESS_CANCEL = 10,
        IDC_PROGRESS_STATUS = 11,
        IDC_PROGRESS_BAR = 12,
        IDC_PROGRESS_PAUSE = 13,
    };
    // The longest status text shown; a longer one shows its beginning.
    static const int kMaxStatus = 511;

    CProgressDlg();
    ~CProgressDlg() override;

    // Shows the window and disables the topmost enabled window above it.
    // False only when the window could not be created.
    bool Create(LPCTSTR lpszCaption, bool bSmooth, bool bCancel, bool bPause, CWnd* pParentWnd = nullptr);
    void SetRange(int nLower, int nUpper, int nStep = 1);
    // The caption shows the percentage, changed only when it changes.
    int SetPos(int nPos);
    void SetStatus(LPCTSTR lpszText);
    // Waits while paused (unless cancelled); true once the user cancelled.
    bool CheckCancel();
    // Lets the buttons and Escape work while the operation keeps the thread.
    void PumpMessages(bool bEscapeAllowed);
    BOOL DestroyWindow() override;

    bool IsCancelled() const { return m_bCancelled; }
    bool IsPaused() const { return m_bPaused; }
    int GetPercentShown() const { return m_nPercent; }

    bool m_bRememberPosition = true;
    int m_nStatusLines = 1;

protected:
    afx_msg void OnCancel();
    afx_msg void OnPause();
    DECLARE_MESSAGE_MAP()

    void Layout(int nWidth);
    void StorePosition();
    void Hide();
    void Show();

    // kept as a handle: the owner may go away before this window does
    HWND m_hWndOwner = nullptr;
    bool m_bCancelButton = true;
    bool m_bCancelled = false;
    bool m_bModal = false;
    int m_nPos = -1;
    int m_nPercent = -1;
    int m_nStep = 1;
    int m_nUpper = 100;
    int m_nLower = 0;
    CExtLabel m_wndStatus;
    CProgressCtrl m_wndProgress;
    CExtButton m_btnCancel;
    CString m_strCaption = "Progress";
    CString m_strCancel = " Cancel ";
    CString m_strPause = " Pause ";
    CString m_strResume = " Resume ";
    CFont m_font;
    CExtButton m_btnPause;
    bool m_bPaused = false;
    bool m_bPauseButton = false;
};
