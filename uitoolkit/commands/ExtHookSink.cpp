#include "uitoolkit/commands/ExtHookSink.h"

#include "framework/core/CMap.h"
#include "framework/win/AfxState.h"

namespace
{

typedef CMap<HWND, HWND, CExtHookSink::HookChains_t*, CExtHookSink::HookChains_t*> HookChainsMap_t;

// Every hooked window's chain; a window is in it exactly while the toolkit's
// procedure subclasses it. The map outlives every static object, so windows
// destroyed during the program's own shut-down still find their chains.
HookChainsMap_t& HookChainsMap()
{
    static HookChainsMap_t* g_pMap = new HookChainsMap_t;
    return *g_pMap;
}

CExtHookSink::HookChains_t* FindChain(HWND hWnd)
{
    CExtHookSink::HookChains_t* pChain = nullptr;
    return HookChainsMap().Lookup(hWnd, pChain) ? pChain : nullptr;
}

INT_PTR FindSink(const CExtHookSink::HookChains_t& chain, const CExtHookSink* pSink)
{
    for (INT_PTR i = 0; i < chain.m_arrSinks.GetSize(); ++i)
        if (chain.m_arrSinks[i] == pSink)
            return i;
    return -1;
}

// Sinks may leave the chain, delete themselves or destroy the window while
// they handle a message, so walks go over a snapshot of the chain and ask
// after each sink whether the chain and the next sink are still there.
bool IsStillSink(HWND hWnd, const CExtHookSink::HookChains_t* pChain, const CExtHookSink* pSink)
{
    return FindChain(hWnd) == pChain && FindSink(*pChain, pSink) >= 0;
}

// Restores the framework's current message on every way out.
class CurrentMessageScope
{
public:
    CurrentMessageScope(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
        : m_pState(AfxGetThreadState()), m_saved(m_pState->m_lastSentMsg)
    {
        m_pState->m_lastSentMsg.hwnd = hWnd;
        m_pState->m_lastSentMsg.message = nMessage;
        m_pState->m_lastSentMsg.wParam = wParam;
        m_pState->m_lastSentMsg.lParam = lParam;
    }
    ~CurrentMessageScope() { m_pState->m_lastSentMsg = m_saved; }
    CurrentMessageScope(const CurrentMessageScope&) = delete;
    CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;

private:
    _AFX_THREAD_STATE* m_pState;
    MSG m_saved;
};

} // namespace

// ---- CExtHookSink ----

CExtHookSink::CExtHookSink(bool bEnableDetailedWndHooks)
    : m_nHookSinkFlags(bEnableDetailedWndHooks ? DetailedDispatch : 0)
{
}

CExtHookSink::~CExtHookSink() = default;

bool CExtHookSink::IsAutoDeleteHookWndSink()
{
    return false;
}

LRESULT CExtHookSink::CallOriginalProcWithParams(WPARAM wParam, LPARAM lParam)
{
    return CallOriginalProcWithMessage(AfxGetThreadState()->m_lastSentMsg.message, wParam, lParam);
}

LRESULT CExtHookSink::CallOriginalProcWithMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    HWND hWnd = AfxGetThreadState()->m_lastSentMsg.hwnd;
    HookChains_t* pChain = FindChain(hWnd);
    if (pChain == nullptr)
        return 0;
    return ::CallWindowProcA(pChain->m_pfnOriginalProc, hWnd, nMessage, wParam, lParam);
}

LRESULT CExtHookSink::CallOriginalProc()
{
    const MSG& msg = AfxGetThreadState()->m_lastSentMsg;
    return CallOriginalProcWithMessage(msg.message, msg.wParam, msg.lParam);
}

bool CExtHookSink::DispatchHookedMessage(LRESULT& lResult, HWND hWndHooked, UINT nMessage, WPARAM& wParam,
                                         LPARAM& lParam)
{
    if ((m_nHookSinkFlags & DetailedDispatch) == 0)
        return false;
    switch (nMessage)
    {
    case WM_COMMAND:
        return OnHookCmdMsg(lResult, hWndHooked, HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY: return OnHookNotifyMsg(lResult, hWndHooked, wParam, lParam);
    case WM_PAINT: return OnHookPaintMsg(lResult, hWndHooked, reinterpret_cast<HDC>(wParam));
    case WM_ERASEBKGND: return OnHookEraseBackgroundMsg(lResult, hWndHooked, reinterpret_cast<HDC>(wParam));
    case WM_PRINT: return OnHookPrintMsg(lResult, hWndHooked, reinterpret_cast<HDC>(wParam));
    case WM_NCPAINT: return OnHookNcPaintMsg(lResult, hWndHooked, reinterpret_cast<HRGN>(wParam));
    default: return false;
    }
}

bool CExtHookSink::OnHookCmdMsg(LRESULT&, HWND, WORD, WORD, HWND)
{
    return false;
}

bool CExtHookSink::OnHookNotifyMsg(LRESULT&, HWND, WPARAM, LPARAM)
{
    return false;
}

bool CExtHookSink::OnHookPaintMsg(LRESULT&, HWND, HDC)
{
    return false;
}

bool CExtHookSink::OnHookEraseBackgroundMsg(LRESULT&, HWND, HDC)
{
    return false;
}

bool CExtHookSink::OnHookPrintMsg(LRESULT&, HWND, HDC)
{
    return false;
}

bool CExtHookSink::OnHookNcPaintMsg(LRESULT&, HWND, HRGN)
{
    return false;
}

void CExtHookSink::OnHookWndNcDestroy()
{
}

void CExtHookSink::OnHookWndAttach(HWND)
{
}

void CExtHookSink::OnHookWndDetach(HWND)
{
}

bool CExtHookSink::SetupHookWndSink(HWND hWnd, bool bRemove, bool bAddToHead)
{
    if (hWnd == nullptr)
        return false;
    HookChains_t* pChain = FindChain(hWnd);
    if (bRemove)
    {
        if (pChain == nullptr || FindSink(*pChain, this) < 0)
            return true;
        OnHookWndDetach(hWnd);
        // the detach handler may have changed the chain
        if (FindChain(hWnd) != pChain)
            return true;
        INT_PTR nIndex = FindSink(*pChain, this);
        if (nIndex < 0)
            return true;
        pChain->m_arrSinks.RemoveAt(nIndex);
        if (IsAutoDeleteHookWndSink())
            delete this;
        return true;
    }
    if (!::IsWindow(hWnd))
        return false;
    if (pChain == nullptr)
    {
        pChain = new HookChains_t;
        pChain->m_hWndHooked = hWnd;
        pChain->m_pfnOriginalProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookChainsWndProc)));
        HookChainsMap().SetAt(hWnd, pChain);
    }
    if (FindSink(*pChain, this) >= 0)
        return true;
    if (bAddToHead)
        pChain->m_arrSinks.InsertAt(0, this);
    else
        pChain->m_arrSinks.Add(this);
    OnHookWndAttach(hWnd);
    return true;
}

void CExtHookSink::RemoveAllWndHooks()
{
    CList<HWND, HWND> listWnds;
    GetHookedWindows(listWnds);
    for (POSITION pos = listWnds.GetHeadPosition(); pos != nullptr;)
        SetupHookWndSink(listWnds.GetNext(pos), true, false);
}

bool CExtHookSink::IsSinkOfWindow(HWND hWnd) const
{
    HookChains_t* pChain = FindChain(hWnd);
    return pChain != nullptr && FindSink(*pChain, this) >= 0;
}

void CExtHookSink::GetHookedWindows(CList<HWND, HWND>& listWnds) const
{
    listWnds.RemoveAll();
    HookChainsMap_t& map = HookChainsMap();
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        HWND hWnd = nullptr;
        HookChains_t* pChain = nullptr;
        map.GetNextAssoc(pos, hWnd, pChain);
        if (FindSink(*pChain, this) >= 0)
            listWnds.AddTail(hWnd);
    }
}

LRESULT CALLBACK CExtHookSink::HookChainsWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    CurrentMessageScope scope(hWnd, nMessage, wParam, lParam);
    HookChains_t* pChain = FindChain(hWnd);
    if (pChain == nullptr)
        return 0;
    if (nMessage == WM_NCDESTROY)
        return DissolveChain(pChain, nMessage, wParam, lParam);

    HookSinkArray_t arrSnapshot;
    arrSnapshot.Copy(pChain->m_arrSinks);
    LRESULT lResult = 0;
    for (INT_PTR i = 0; i < arrSnapshot.GetSize(); ++i)
    {
        CExtHookSink* pSink = arrSnapshot[i];
        if (!IsStillSink(hWnd, pChain, pSink))
            continue;
        lResult = 0;
        if (pSink->DispatchHookedMessage(lResult, hWnd, nMessage, wParam, lParam))
            return lResult;
        if (FindChain(hWnd) != pChain)
            return lResult; // the window was destroyed meanwhile
    }
    return ::CallWindowProcA(pChain->m_pfnOriginalProc, hWnd, nMessage, wParam, lParam);
}

LRESULT CExtHookSink::DissolveChain(HookChains_t* pChain, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    HWND hWnd = pChain->m_hWndHooked;
    bool bWithhold = (pChain->m_nFlags & 0x01) != 0;
    HookSinkArray_t arrSnapshot;
    arrSnapshot.Copy(pChain->m_arrSinks);
    for (INT_PTR i = 0; i < arrSnapshot.GetSize(); ++i)
    {
        CExtHookSink* pSink = arrSnapshot[i];
        if (!IsStillSink(hWnd, pChain, pSink))
            continue;
        pSink->OnHookWndNcDestroy();
        if (IsStillSink(hWnd, pChain, pSink) && (pSink->m_nHookSinkFlags & WithholdNcDestroy) != 0)
            bWithhold = true;
    }
    // The chain leaves the map before any sink is deleted or the window's own
    // procedure runs, so nothing reached from there finds it half taken down.
    HookChainsMap().RemoveKey(hWnd);
    WNDPROC pfnOriginal = pChain->m_pfnOriginalProc;
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnOriginal));
    HookSinkArray_t arrSinks;
    arrSinks.Copy(pChain->m_arrSinks);
    delete pChain;
    for (INT_PTR i = 0; i < arrSinks.GetSize(); ++i)
        if (arrSinks[i]->IsAutoDeleteHookWndSink())
            delete arrSinks[i];
    return bWithhold ? 0 : ::CallWindowProcA(pfnOriginal, hWnd, nMessage, wParam, lParam);
}

// ---- CExtMouseCaptureSink ----

HWND CExtMouseCaptureSink::SetCapture(HWND hWnd)
{
    return ::SetCapture(hWnd);
}

HWND CExtMouseCaptureSink::GetCapture()
{
    return ::GetCapture();
}

bool CExtMouseCaptureSink::ReleaseCapture()
{
    return ::ReleaseCapture() != FALSE;
}
