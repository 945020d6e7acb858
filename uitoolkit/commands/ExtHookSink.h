// Window-procedure hook chains: observers of windows they do not own.
//
// A window hooked by any sink is subclassed once by the toolkit's window
// procedure; its sinks form an ordered chain that sees each message before
// the window's own procedure, and the first sink that consumes a message
// hides it from the rest. At WM_NCDESTROY the chain puts the window's own
// procedure back and dissolves, deleting the sinks that asked for it.
//
// CExtMouseCaptureSink routes the capture calls of tracking windows through
// one overridable operation, so a derived class can watch or redirect them.
#pragma once

#include "framework/core/AfxTypes.h"
#include "framework/core/CArray.h"
#include "framework/core/CList.h"

class CExtHookSink
{
public:
    typedef CArray<CExtHookSink*, CExtHookSink*> HookSinkArray_t;

    // The chain of one hooked window.
    struct HookChains_t
    {
        BYTE m_nFlags = 0; // 0x01: withhold WM_NCDESTROY from the window's own procedure
        HookSinkArray_t m_arrSinks;
        HWND m_hWndHooked = nullptr;
        WNDPROC m_pfnOriginalProc = nullptr;
    };

    enum
    {
        DetailedDispatch = 0x01,
        WithholdNcDestroy = 0x02,
    };

    explicit CExtHookSink(bool bEnableDetailedWndHooks = true);
    // Does not unhook: the owner calls RemoveAllWndHooks first, unless the
    // sink is an auto-delete sink left to its chains.
    virtual ~CExtHookSink();

    virtual bool IsAutoDeleteHookWndSink();
    // The original procedure of the window whose message is being
    // dispatched; only valid from inside that dispatch.
    virtual LRESULT CallOriginalProcWithParams(WPARAM wParam, LPARAM lParam);
    virtual LRESULT CallOriginalProcWithMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    virtual LRESULT CallOriginalProc();
    // True when the sink consumed the message; wParam and lParam may be
    // changed for the sinks after it and the window's own procedure.
    virtual bool DispatchHookedMessage(LRESULT& lResult, HWND hWndHooked, UINT nMessage, WPARAM& wParam,
                                       LPARAM& lParam);
    virtual bool OnHookCmdMsg(LRESULT& lResult, HWND hWndHooked, WORD wNotifyCode, WORD wID, HWND hWndCtrl);
    virtual bool OnHookNotifyMsg(LRESULT& lResult, HWND hWndHooked, WPARAM wParam, LPARAM lParam);
    virtual bool OnHookPaintMsg(LRESULT& lResult, HWND hWndHooked, HDC hDC);
    virtual bool OnHookEraseBackgroundMsg(LRESULT& lResult, HWND hWndHooked, HDC hDC);
    virtual bool OnHookPrintMsg(LRESULT& lResult, HWND hWndHooked, HDC hDC);
    virtual bool OnHookNcPaintMsg(LRESULT& lResult, HWND hWndHooked, HRGN hRgnUpdate);
    virtual void OnHookWndNcDestroy();
    virtual void OnHookWndAttach(HWND hWnd);
    virtual void OnHookWndDetach(HWND hWnd);
    virtual bool SetupHookWndSink(HWND hWnd, bool bRemove = false, bool bAddToHead = false);
    virtual void RemoveAllWndHooks();

    bool IsSinkOfWindow(HWND hWnd) const;
    void GetHookedWindows(CList<HWND, HWND>& listWnds) const;

protected:
    BYTE m_nHookSinkFlags;

private:
    // The toolkit's window procedure of every hooked window.
    static LRESULT CALLBACK HookChainsWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    static LRESULT DissolveChain(HookChains_t* pChain, UINT nMessage, WPARAM wParam, LPARAM lParam);
};

class CExtMouseCaptureSink
{
public:
    virtual ~CExtMouseCaptureSink() = default;
    // Gives hWnd the capture; the window that had it.
    virtual HWND SetCapture(HWND hWnd);
    static HWND GetCapture();
    static bool ReleaseCapture();
};
