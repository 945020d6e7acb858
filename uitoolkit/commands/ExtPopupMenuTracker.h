// CExtPopupMenuTracker: the one process-wide record of the tracked popup
// menu tree. It knows the root menu, the menu that receives the input, the
// menu whose show animation runs and where the chosen command goes, and it
// installs the GUI thread's mouse and keyboard hooks, through which every
// input reaches the menus first while their owner keeps the activation.
#pragma once

#include "uitoolkit/commands/ExtPopupMenuTipWnd.h"

class CExtPopupBaseWnd;
class CExtPopupMenuWnd;

class CExtPopupMenuTracker
{
public:
    // Keys that follow the last one let through sooner than this many
    // milliseconds are dropped (auto-repeat faster than menus repaint).
    static int g_nKeyRepeatFilterMs;

    CExtPopupMenuTracker();
    ~CExtPopupMenuTracker();
    CExtPopupMenuTracker(const CExtPopupMenuTracker&) = delete;
    CExtPopupMenuTracker& operator=(const CExtPopupMenuTracker&) = delete;

    CExtPopupMenuWnd* GetTopPopup() const { return m_pWndTop; }
    bool IsTopPopup(const CExtPopupMenuWnd* pPopup) const { return m_pWndTop != nullptr && m_pWndTop == pPopup; }
    // Makes pPopup the root of the tracked tree (closing another tree first)
    // and installs the hooks.
    void SetTopPopup(CExtPopupMenuWnd* pPopup);
    CExtPopupMenuWnd* GetCapturePopup() const { return m_pWndCapture; }
    void SetCapturePopup(CExtPopupMenuWnd* pPopup) { m_pWndCapture = pPopup; }
    CExtPopupBaseWnd* GetAnimatingPopup() const { return m_pWndAnimating; }
    void SetAnimatingPopup(CExtPopupBaseWnd* pPopup) { m_pWndAnimating = pPopup; }
    UINT* GetResultCmdIdPtr() const { return m_pResultCmdID; }
    void SetResultCmdIdPtr(UINT* pResultCmdID) { m_pResultCmdID = pResultCmdID; }
    bool IsClosing() const { return (m_nFlags & FLAG_CLOSING) != 0; }
    HHOOK GetMouseHook() const { return m_hMouseHook; }
    HHOOK GetKeyboardHook() const { return m_hKeyboardHook; }
    CExtPopupMenuTipWnd& GetTipWnd() { return m_wndTip; }

    // Closes the tree: destroys the root window, deletes the root menu
    // object and removes the hooks.
    void Done();
    void SetHooks(bool bInstall);

    static LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam);

private:
    enum e_flags : BYTE
    {
        FLAG_CLOSING = 0x01,
    };

    LRESULT OnMouseHook(int nCode, WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyboardHook(int nCode, WPARAM wParam, LPARAM lParam);

    BYTE m_nFlags = 0;
    CExtPopupMenuTipWnd m_wndTip;
    CExtPopupMenuWnd* m_pWndTop = nullptr;
    CExtPopupMenuWnd* m_pWndCapture = nullptr;
    CExtPopupBaseWnd* m_pWndAnimating = nullptr;
    HHOOK m_hMouseHook = nullptr;
    HHOOK m_hKeyboardHook = nullptr;
    UINT* m_pResultCmdID = nullptr;
    clock_t m_tLastKey = 0;
    bool m_bLastKeyValid = false;
};

// Whether a key message's data says Alt (context code) or a modifier is down.
bool IsMenuModifierKeyDown(LPARAM lKeyData);
