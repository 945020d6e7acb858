#include "uitoolkit/controls/ExtHyperLinkButton.h"

#include "Shared/platform/PlatformRegistry.h"
#include "framework/win/Dc.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/controls/ExtControlSupport.h"
#include "uitoolkit/core/ExtHyperLinkRules.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <intshcut.h>
#include <objbase.h>

#include <algorithm>
#include <vector>

IMPLEMENT_DYNCREATE(CExtHyperLinkButton, CExtButton)

namespace
{

// The shell's Internet-shortcut object and its URL interface.
const CLSID kClsidInternetShortcut = {0xFBF23B40, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};
const IID kIidUniformResourceLocatorA = {0xFBF23B80, 0xE3F0, 0x101B, {0x84, 0x88, 0x00, 0xAA, 0x00, 0x3E, 0x56, 0xF8}};

// The default value of a key below the root as text: environment
// references of an expandable string are expanded.
bool ReadDefaultText(HKEY hRoot, const CString& sKey, CString& sText)
{
    kx::RegistryHandle hKey = 0;
    if (kx::RegistryOpenKey(reinterpret_cast<kx::RegistryHandle>(hRoot), sKey, kx::kRegRead, hKey) != kx::kRegOk)
        return false;
    uint32_t nType = 0;
    std::vector<uint8_t> data;
    const bool bRead =
        kx::RegistryQueryValue(hKey, "", nType, data) == kx::kRegOk && (nType == REG_SZ || nType == REG_EXPAND_SZ);
    kx::RegistryCloseKey(hKey);
    if (!bRead)
        return false;
    // the stored value need not end in a terminator
    size_t nLength = 0;
    while (nLength < data.size() && data[nLength] != 0)
        ++nLength;
    sText = CString(reinterpret_cast<const char*>(data.data()), static_cast<int>(nLength));
    if (nType == REG_EXPAND_SZ)
    {
        const DWORD nNeeded = ::ExpandEnvironmentStringsA(sText, nullptr, 0);
        std::vector<char> expanded(nNeeded + 1, '\0');
        if (nNeeded != 0 && ::ExpandEnvironmentStringsA(sText, expanded.data(), nNeeded + 1) != 0)
            sText = expanded.data();
    }
    return true;
}

} // namespace

CExtHyperLinkButton::CExtHyperLinkButton()
{
    m_clrTextNormal = RGB(0, 0, 255);
    m_clrTextHover = RGB(255, 0, 0);
    m_bAccelOptions &= ~ACCEL_CLICKS;
    SetButtonCursor(32649); // the hand
}

CString CExtHyperLinkButton::GetLinkText() const
{
    CString sText;
    GetButtonText(sText);
    return sText;
}

void CExtHyperLinkButton::OnClick(bool bByKeyboard, bool bArrowPart)
{
    if ((m_bLinkFlags & LINK_CLICK_AS_BUTTON) != 0)
    {
        HWND hWnd = m_hWnd;
        CExtButton::OnClick(bByKeyboard, bArrowPart);
        if (!::IsWindow(hWnd))
            return;
        m_bLinkFlags |= LINK_VISITED;
        Invalidate();
        UpdateWindow();
        return;
    }
    CString sTarget = m_strURL;
    if (sTarget.IsEmpty())
    {
        sTarget = GetLinkText();
        sTarget.TrimLeft();
        sTarget.TrimRight();
    }
    OpenUrl(sTarget, VERB_OPEN, false);
}

bool CExtHyperLinkButton::OpenUrl(const CString& sTarget, int nVerb, bool bShowError)
{
    bool bOpened = false;
    if (CExtHyperLinkRules::IsWebAddress(sTarget))
        bOpened = OpenByUrlObject(sTarget, nVerb, false) || OpenByShellExecute(sTarget, nVerb, false) ||
                  OpenByRegistryCommand(sTarget, nVerb, false);
    else
        bOpened = OpenByRegistryCommand(sTarget, nVerb, bShowError) || OpenByUrlObject(sTarget, nVerb, bShowError) ||
                  OpenByShellExecute(sTarget, nVerb, bShowError);
    if (!bOpened)
        return false;
    m_bLinkFlags |= LINK_VISITED;
    if (m_hWnd != nullptr)
    {
        Invalidate();
        UpdateWindow();
    }
    return true;
}

bool CExtHyperLinkButton::OpenByUrlObject(const CString& sTarget, int nVerb, bool /*bShowError*/)
{
    IUniformResourceLocatorA* pUrl = nullptr;
    if (FAILED(::CoCreateInstance(kClsidInternetShortcut, nullptr, CLSCTX_INPROC_SERVER, kIidUniformResourceLocatorA,
                                  reinterpret_cast<void**>(&pUrl))) ||
        pUrl == nullptr)
        return false;
    bool bOpened = false;
    if (SUCCEEDED(pUrl->SetURL(sTarget, IURL_SETURL_FL_GUESS_PROTOCOL)))
    {
        URLINVOKECOMMANDINFOA info = {};
        info.dwcbSize = sizeof(info);
        info.dwFlags = IURL_INVOKECOMMAND_FL_ALLOW_UI;
        info.hwndParent = ::GetDesktopWindow();
        info.pcszVerb = CExtHyperLinkRules::VerbText(nVerb);
        bOpened = SUCCEEDED(pUrl->InvokeCommand(&info));
    }
    pUrl->Release();
    return bOpened;
}

bool CExtHyperLinkButton::OpenByShellExecute(const CString& sTarget, int nVerb, bool bShowError)
{
    const INT_PTR nResult = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(::GetDesktopWindow(), CExtHyperLinkRules::VerbText(nVerb), sTarget, nullptr, nullptr, SW_SHOW));
    if (nResult > 32)
        return true;
    if (bShowError)
        ShowOpenError(static_cast<int>(nResult));
    return false;
}

bool CExtHyperLinkButton::GetRegistryCommandLine(const CString& sTarget, int nVerb, CString& sCommandLine) const
{
    CString sDocType, sCommand;
    if (!ReadDefaultText(m_hKeyClassesRoot, ".htm", sDocType) ||
        !ReadDefaultText(m_hKeyClassesRoot, CExtHyperLinkRules::CommandKeyPath(sDocType, nVerb), sCommand))
        return false;
    sCommandLine = CExtHyperLinkRules::BuildCommandLine(sCommand, sTarget);
    return true;
}

bool CExtHyperLinkButton::OpenByRegistryCommand(const CString& sTarget, int nVerb, bool bShowError)
{
    CString sCommandLine;
    if (!GetRegistryCommandLine(sTarget, nVerb, sCommandLine))
        return false;
    // the target travels as one quoted argument, never through a shell
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(sCommandLine.GetLength() + 1, '\0');
    memcpy(line.data(), static_cast<LPCTSTR>(sCommandLine), sCommandLine.GetLength());
    if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    {
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return true;
    }
    if (bShowError)
        ShowOpenError(static_cast<int>(::GetLastError()));
    return false;
}

void CExtHyperLinkButton::ShowOpenError(int nCode)
{
    UINT nType = MB_OK | MB_ICONERROR;
    if ((g_ResourceManager->IsRTL() & 1) != 0)
        nType |= MB_RTLREADING;
    ::MessageBoxA(m_hWnd, CExtHyperLinkRules::OpenErrorText(nCode), nullptr, nType);
}

UINT CExtHyperLinkButton::GetDrawTextAlignment() const
{
    return m_nLinkTextAlign == 1 ? DT_CENTER : m_nLinkTextAlign == 2 ? DT_RIGHT : DT_LEFT;
}

void CExtHyperLinkButton::PaintFace(CDC& dc, bool bTransparentBackground, bool /*bHonourMirroring*/)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    if (!bTransparentBackground)
        CExtControlSupport::PaintBackground(*this, dc, rcClient, m_clrBackground);
    const bool bFocus = ::GetFocus() == m_hWnd;
    const bool bPushed = (m_bState & STATE_PUSHED) != 0;
    const bool bHover = (m_bState & STATE_HOVER) != 0 && !IsPopupTrackingActive();
    const bool bVisited = (m_bLinkFlags & (LINK_SHOW_VISITED | LINK_VISITED)) == (LINK_SHOW_VISITED | LINK_VISITED);
    DrawLinkText(dc, rcClient, bVisited, IsEnabled(), (m_bState & STATE_DRAW_FOCUS) != 0, bFocus, bHover, bPushed);
}

void CExtHyperLinkButton::DrawLinkText(CDC& dc, const CRect& rcArea, bool bVisited, bool bEnabled, bool bFocusOption,
                                       bool bFocus, bool bHover, bool bPushed)
{
    const CString sText = GetLinkText();
    if (sText.IsEmpty())
        return;
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    LOGFONTA lf = {};
    ::GetObjectA(g_PaintManager->FontNormal.GetSafeHandle(), sizeof(lf), &lf);
    lf.lfUnderline = bHover || bPushed || m_bAlwaysUnderline;
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* pOldFont = dc.SelectObject(&font);
    const COLORREF clrOld =
        dc.SetTextColor(GetLinkTextColor(bVisited, bEnabled, bFocusOption, bFocus, bHover, bPushed));
    CRect rcFocus;
    const bool bDrawFocus = bFocusOption && bFocus;
    if (bDrawFocus)
    {
        CRect rcText(0, 0, 0, 0);
        dc.DrawText(sText, &rcText, DT_CALCRECT | DT_SINGLELINE);
        const int cx = std::min(rcText.Width(), rcArea.Width());
        const int cy = std::min(rcText.Height(), rcArea.Height());
        int x = rcArea.left;
        if (m_nLinkTextAlign == 2)
            x = rcArea.right - cx;
        else if (m_nLinkTextAlign == 1)
            x = rcArea.left + (rcArea.Width() - cx) / 2;
        rcFocus.SetRect(x, rcArea.top + (rcArea.Height() - cy) / 2, x + cx, 0);
        rcFocus.bottom = rcFocus.top + cy;
        rcFocus.InflateRect(2, 2);
    }
    CRect rcDraw(rcArea);
    dc.DrawText(sText, &rcDraw, GetDrawTextAlignment() | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    dc.SetTextColor(clrOld);
    dc.SelectObject(pOldFont);
    dc.SetBkMode(nOldMode);
    if (bDrawFocus)
        dc.DrawFocusRect(&rcFocus);
}

COLORREF CExtHyperLinkButton::GetLinkTextColor(bool bVisited, bool bEnabled, bool bFocusOption, bool bFocus,
                                               bool bHover, bool bPushed)
{
    HDC hScreen = ::GetDC(nullptr);
    COLORREF clrTheme = static_cast<COLORREF>(-1);
    if (hScreen != nullptr)
    {
        CDC dcScreen;
        dcScreen.Attach(hScreen);
        clrTheme =
            g_PaintManager->GetControlTextColor(dcScreen, bEnabled, bFocusOption && bFocus, bHover, bPushed, this, 0);
        dcScreen.Detach();
        ::ReleaseDC(nullptr, hScreen);
    }
    if (clrTheme != static_cast<COLORREF>(-1))
        return clrTheme;
    if (!bEnabled)
        return m_clrTextDisabled != static_cast<COLORREF>(-1) ? m_clrTextDisabled
                                                              : g_PaintManager->GetColor(COLOR_BTNSHADOW, this);
    COLORREF clr = m_clrTextNormal;
    if (bHover || bPushed || bFocus)
        clr = m_clrTextHover;
    else if (bVisited)
        clr = m_clrVisited;
    return clr != static_cast<COLORREF>(-1) ? clr : g_PaintManager->GetColor(COLOR_BTNTEXT, this);
}
