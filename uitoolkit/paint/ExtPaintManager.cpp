#include "uitoolkit/paint/ExtPaintManager.h"
#include "uitoolkit/core/ExtGlyphBitmap.h"

#include "framework/win/FrameWnd.h"
#include "framework/win/MiniFrameWnd.h"
#include "uitoolkit/bars/ExtStatusControlBar.h"
#include "uitoolkit/bars/ExtTabMdiWnd.h"
#include "uitoolkit/bars/ExtTabWnd.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/docking/ExtControlBar.h"

#include <shlwapi.h>

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>

// The holder is made before every other process-wide object of the toolkit
// (those that ask it for the theme while they start) and before any window.
CExtPaintManagerHolder g_PaintManager __attribute__((init_priority(200)));

IMPLEMENT_DYNCREATE(CExtPaintManager, CObject)
IMPLEMENT_DYNCREATE(CExtPaintManagerXP, CExtPaintManager)
IMPLEMENT_DYNCREATE(CExtPaintManagerOffice2003, CExtPaintManagerXP)
IMPLEMENT_DYNCREATE(CExtPaintManagerStudio2005, CExtPaintManagerOffice2003)
IMPLEMENT_DYNCREATE(CExtPaintManagerNativeXP, CExtPaintManager)

ExtPaintTestHooks& ExtTestHooks()
{
    static ExtPaintTestHooks hooks;
    return hooks;
}

namespace
{

// The non-client metrics as the systems before Vista lay them out: newer
// headers add a field that older systems reject.
const UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);

int CALLBACK FindTahoma(const LOGFONTA* pLogFont, const TEXTMETRICA*, DWORD, LPARAM)
{
    return lstrcmpiA(pLogFont->lfFaceName, "Tahoma") == 0 ? 0 : 1;
}

void ReplaceFont(CFont& font, const LOGFONTA& logFont)
{
    font.DeleteObject();
    font.CreateFontIndirect(&logFont);
}

LOGFONTA DescribeFont(const CFont& font)
{
    LOGFONTA logFont = {};
    font.GetObject(sizeof(logFont), &logFont);
    return logFont;
}

LOGFONTA SmallFont(LOGFONTA logFont)
{
    if (logFont.lfHeight < -11)
        logFont.lfHeight = -11;
    return logFont;
}

} // namespace

// ---- construction ----

CExtPaintManager::CExtPaintManager()
{
    ThemeOptions.UseTahoma = g_PaintManager.OsFlags.Win2000OrLater;
    ColorIndexMap.InitHashTable(17);
    struct
    {
        LOGPALETTE header;
        PALETTEENTRY more[251];
    } palette = {};
    palette.header.palVersion = 0x300;
    palette.header.palNumEntries = 252;
    for (int r = 0; r <= 6; ++r)
        for (int g = 0; g <= 5; ++g)
            for (int b = 0; b <= 5; ++b)
            {
                PALETTEENTRY& e = palette.header.palPalEntry[r * 36 + g * 6 + b];
                e.peRed = static_cast<BYTE>(255 * r / 6);
                e.peGreen = static_cast<BYTE>(255 * g / 5);
                e.peBlue = static_cast<BYTE>(255 * b / 5);
                e.peFlags = 0;
            }
    Palette.CreatePalette(&palette.header);
}

CExtPaintManager::~CExtPaintManager()
{
    // The system brushes belong to the platform; every other GDI object is
    // deleted with its member.
    Colors.RemoveAll();
    Brushes.RemoveAll();
}

CExtPaintManagerXP::CExtPaintManagerXP()
    : ExpandButtonGlyphs{&CExtGlyphBitmap::GlyphDropDownArrow, &CExtGlyphBitmap::GlyphExpandChevrons,
                         &CExtGlyphBitmap::GlyphExpandArrowVert, &CExtGlyphBitmap::GlyphExpandChevronsVert}
{
}

CExtPaintManagerOffice2003::CExtPaintManagerOffice2003()
{
    XpFlags.IconHoverShadow = false;
    XpFlags.XpFrameOutline = false;
    XpFlags.GradientExpandButton = true;
    ExpandButtonGlyphs[0] = &CExtGlyphBitmap::GlyphExpandArrow2003;
    ExpandButtonGlyphs[1] = &CExtGlyphBitmap::GlyphExpandChevrons2003;
    ExpandButtonGlyphs[2] = &CExtGlyphBitmap::GlyphExpandArrow2003Vert;
    ExpandButtonGlyphs[3] = &CExtGlyphBitmap::GlyphExpandChevrons2003Vert;
    const int gutter[6] = {TC_2003_TOOLBAR_LIGHT,  TC_2003_TOOLBAR_DARK,  TC_2003_TOOLBAR_MID,
                           TC_2003_TOOLBAR2_LIGHT, TC_2003_TOOLBAR2_DARK, TC_2003_TOOLBAR2_MID};
    std::memcpy(GutterColorIndices, gutter, sizeof(gutter));
}

// ---- identities and small answers ----

void CExtPaintManager::Serialize(CArchive&)
{
}

int CExtPaintManager::GetThemeId() const
{
    return 1;
}
int CExtPaintManagerXP::GetThemeId() const
{
    return 2;
}
int CExtPaintManagerOffice2003::GetThemeId() const
{
    return 3;
}
int CExtPaintManagerStudio2005::GetThemeId() const
{
    return 4;
}
int CExtPaintManagerNativeXP::GetThemeId() const
{
    return 5;
}

int CExtPaintManager::GetSeparatorHeight()
{
    return 6;
}
int CExtPaintManagerXP::GetSeparatorHeight()
{
    return 1;
}

bool CExtPaintManager::IsLunaSchemeUsed()
{
    return false;
}
bool CExtPaintManagerXP::IsLunaSchemeUsed()
{
    return g_PaintManager.VisualStyles.IsAppThemed() && GetLunaScheme() != CExtPaintManagerHolder::LunaNone;
}
bool CExtPaintManagerNativeXP::IsLunaSchemeUsed()
{
    return g_PaintManager.VisualStyles.IsAppThemed() && GetLunaScheme() != CExtPaintManagerHolder::LunaNone;
}
bool CExtPaintManagerOffice2003::IsLunaSchemeUsed()
{
    if (!g_PaintManager.VisualStyles.IsAppThemed() || !g_PaintManager.OsFlags.TaskBandColorsRead)
        return false;
    const int nScheme = GetLunaScheme();
    return nScheme == CExtPaintManagerHolder::LunaBlue || nScheme == CExtPaintManagerHolder::LunaOlive ||
           nScheme == CExtPaintManagerHolder::LunaSilver;
}
bool CExtPaintManagerStudio2005::IsLunaSchemeUsed()
{
    if (!g_PaintManager.VisualStyles.IsAppThemed() || !g_PaintManager.OsFlags.TaskBandColorsRead)
        return false;
    const int nScheme = GetLunaScheme();
    return nScheme == CExtPaintManagerHolder::LunaBlue || nScheme == CExtPaintManagerHolder::LunaSilver;
}

int CExtPaintManager::GetLunaScheme()
{
    return g_PaintManager.LunaScheme;
}

void CExtPaintManager::OnPaintSessionComplete(CObject*, LPARAM)
{
}

LPVOID CExtPaintManager::HandleDialogRequest(LPVOID, CWnd*, bool, LPARAM)
{
    return nullptr;
}

COLORREF CExtPaintManager::GetMenuBackgroundColor(CObject* pHelperSrc, LPARAM lParam)
{
    return GetColor(TC_FACE_NORMAL, pHelperSrc, lParam);
}
COLORREF CExtPaintManagerXP::GetMenuBackgroundColor(CObject* pHelperSrc, LPARAM lParam)
{
    return GetColor(TC_XP_LIGHT_FACE, pHelperSrc, lParam);
}

SIZE* CExtPaintManager::GetPushedContentOffset(SIZE* pSize)
{
    *pSize = {1, 1};
    return pSize;
}
SIZE* CExtPaintManagerXP::GetPushedContentOffset(SIZE* pSize)
{
    *pSize = {0, 0};
    return pSize;
}

void CExtPaintManager::PaintReservedHook(CDC&, const RECT&, int, int, CObject*, LPARAM)
{
}

int CExtPaintManager::GetMenuBorderSize()
{
    return 2;
}
int CExtPaintManagerXP::GetMenuBorderSize()
{
    return 1;
}

bool CExtPaintManager::IsMenuMustCombineParent()
{
    return false;
}
bool CExtPaintManagerXP::IsMenuMustCombineParent()
{
    return true;
}

bool CExtPaintManager::GetExpandButtonStyleBit()
{
    return false;
}
bool CExtPaintManagerXP::GetExpandButtonStyleBit()
{
    return true;
}
bool CExtPaintManagerOffice2003::GetExpandButtonStyleBit()
{
    return false;
}

int CExtPaintManager::GetThemeDockingType()
{
    return 0;
}
int CExtPaintManagerStudio2005::GetThemeDockingType()
{
    return 1;
}

int CExtPaintManager::GetAutoTabStyleOption()
{
    return 0;
}
int CExtPaintManagerStudio2005::GetAutoTabStyleOption()
{
    return 1;
}

SIZE* CExtPaintManager::GetToolBarSizeAdjustment(SIZE* pSize, bool)
{
    *pSize = {0, 0};
    return pSize;
}
SIZE* CExtPaintManagerOffice2003::GetToolBarSizeAdjustment(SIZE* pSize, bool bHorz)
{
    *pSize = {0, bHorz ? -1 : 0};
    return pSize;
}

SIZE* CExtPaintManager::GetToolBarButtonExtraSpace(SIZE* pSize)
{
    *pSize = {0, 0};
    return pSize;
}
SIZE* CExtPaintManagerOffice2003::GetToolBarButtonExtraSpace(SIZE* pSize)
{
    *pSize = {4, 4};
    return pSize;
}

// ---- fonts ----

HFONT CExtPaintManager::CreateDefaultFont(bool bUseTahoma)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = kNonClientMetricsSize;
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0))
        return nullptr;
    LOGFONTA logFont = metrics.lfMenuFont;
    // The font enumeration needs a device context to say which families exist.
    HDC hScreen = ::GetDC(nullptr);
    logFont.lfCharSet = static_cast<BYTE>(::GetTextCharset(hScreen));
    if (bUseTahoma && hScreen != nullptr && ::EnumFontFamiliesA(hScreen, nullptr, FindTahoma, 0) == 0)
        lstrcpynA(logFont.lfFaceName, "Tahoma", LF_FACESIZE);
    if (hScreen != nullptr)
        ::ReleaseDC(nullptr, hScreen);
    return ::CreateFontIndirectA(&logFont);
}

HFONT CExtPaintManager::GetDefaultFontHandle()
{
    HFONT hFont = CreateDefaultFont(ThemeOptions.UseTahoma);
    if (hFont == nullptr)
        hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (hFont == nullptr)
        hFont = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    return hFont;
}

void CExtPaintManager::UpdateSystemFonts()
{
    g_PaintManager.DetectLunaScheme();
    FontNormal.DeleteObject();
    FontNormal.Attach(GetDefaultFontHandle());
    LOGFONTA normal = DescribeFont(FontNormal);

    LOGFONTA bold = normal;
    bold.lfWeight = 900;
    ReplaceFont(FontBold, bold);

    LOGFONTA marlett = normal;
    marlett.lfCharSet = SYMBOL_CHARSET;
    marlett.lfWeight = 0;
    marlett.lfHeight = ::GetSystemMetrics(SM_CYMENUCHECK) - 1;
    lstrcpynA(marlett.lfFaceName, "Marlett", LF_FACESIZE);
    ReplaceFont(FontMarlett, marlett);

    const bool bArial = g_PaintManager.OsFlags.Win9x || g_PaintManager.OsFlags.WinNT4;
    LOGFONTA vert = normal;
    vert.lfEscapement = 2700;
    if (bArial)
        lstrcpynA(vert.lfFaceName, "Arial", LF_FACESIZE);
    ReplaceFont(FontNormalVert, vert);
    LOGFONTA vertRev = vert;
    vertRev.lfEscapement = 900;
    ReplaceFont(FontNormalVertRev, vertRev);

    LOGFONTA boldVert = DescribeFont(FontBold);
    boldVert.lfEscapement = 2700;
    if (bArial)
        lstrcpynA(boldVert.lfFaceName, "Arial", LF_FACESIZE);
    ReplaceFont(FontBoldVert, boldVert);
    LOGFONTA boldVertRev = boldVert;
    boldVertRev.lfEscapement = 900;
    ReplaceFont(FontBoldVertRev, boldVertRev);

    ReplaceFont(FontSmall, SmallFont(DescribeFont(FontNormal)));
    ReplaceFont(FontSmallVert, SmallFont(DescribeFont(FontNormalVert)));
    ReplaceFont(FontSmallVertRev, SmallFont(DescribeFont(FontNormalVertRev)));
    ReplaceFont(FontSmallBold, SmallFont(DescribeFont(FontBold)));
    ReplaceFont(FontSmallBoldVert, SmallFont(DescribeFont(FontBoldVert)));
    ReplaceFont(FontSmallBoldVertRev, SmallFont(DescribeFont(FontBoldVertRev)));

    RefreshSystemColors(Colors, SysColor);
    while (Brushes.GetSize() < kSystemColorCount)
        Brushes.Add(::GetSysColorBrush(COLOR_3DFACE));
    for (int i = 0; i < kSystemColorCount; ++i)
        Brushes[i] = ::GetSysColorBrush(i);
}

SIZE& CExtPaintManager::MeasureFontLineExtents(SIZE& size, bool bBold)
{
    size = {0, 0};
    HDC hScreen = ::GetDC(nullptr);
    if (hScreen == nullptr)
        return size;
    TEXTMETRICA tm = {};
    HGDIOBJ hOld = ::SelectObject(hScreen, (bBold ? FontBold : FontNormal).GetSafeHandle());
    ::GetTextMetricsA(hScreen, &tm);
    size.cx = tm.tmHeight + 2;
    ::SelectObject(hScreen, FontNormal.GetSafeHandle());
    ::GetTextMetricsA(hScreen, &tm);
    size.cy = tm.tmHeight + 2;
    ::SelectObject(hScreen, hOld);
    ::ReleaseDC(nullptr, hScreen);
    return size;
}

int CExtPaintManager::GetTextLineExtent(bool bFlag)
{
    SIZE size;
    MeasureFontLineExtents(size, false);
    return bFlag ? size.cx : size.cy;
}

// ---- colours and brushes ----

COLORREF CExtPaintManager::SysColor(int nIndex)
{
    const ExtSysColorFn pfn = ExtTestHooks().pfnSysColor;
    return pfn != nullptr ? pfn(nIndex) : ::GetSysColor(nIndex);
}

COLORREF CExtPaintManager::GetColor(int nIndex, CObject*, LPARAM)
{
    return LookupColorIn(Colors, ColorIndexMap, nIndex);
}

HBRUSH CExtPaintManager::GetBrush(int nIndex)
{
    if (nIndex >= 0 && nIndex < Brushes.GetSize())
        return Brushes[nIndex];
    return Brushes.GetSize() > kFaceEntry ? Brushes[kFaceEntry] : nullptr;
}

void CExtPaintManager::InitColorTable()
{
    InitClassicColors(Colors, ColorIndexMap);
}

void CExtPaintManagerXP::InitColorTable()
{
    DisabledDrawStateFlags = DSS_MONO;
    InitXpColors(Colors, ColorIndexMap, SysColor, GetScreenBitsPerPixel());
}

void CExtPaintManagerNativeXP::InitColorTable()
{
    const bool bLuna = GetScreenBitsPerPixel() > 8 && IsLunaSchemeUsed();
    InitNativeXpColors(Colors, ColorIndexMap, bLuna ? GetLunaScheme() : CExtPaintManagerHolder::LunaNone);
}

void CExtPaintManager::InitBrushes()
{
    for (CBrush& brush : FillBrushes)
        brush.DeleteObject();
    struct Rule
    {
        int nFrom, nTo, nFifths; // 0 fifths: half-way
        bool bSystem;
    };
    static const Rule kRules[MixedBrushCount] = {
        {15, 20, 0, false}, {15, 20, 0, true}, {16, 15, 0, false}, {16, 15, 0, true},
        {15, 20, 3, false}, {15, 20, 3, true}, {16, 15, 2, false}, {16, 15, 2, true},
        {15, 20, 4, false}, {15, 20, 4, true}, {16, 15, 1, false}, {16, 15, 1, true},
    };
    if (GetScreenBitsPerPixel() > 8)
    {
        for (int i = 0; i < MixedBrushCount; ++i)
        {
            const Rule& r = kRules[i];
            const COLORREF from = r.bSystem ? SysColor(r.nFrom) : GetColor(r.nFrom);
            const COLORREF to = r.bSystem ? SysColor(r.nTo) : GetColor(r.nTo);
            auto mix = [&](int a, int b)
            { return static_cast<BYTE>(r.nFifths == 0 ? a + (b - a) / 2 : a + MulDivRound(b - a, r.nFifths, 5)); };
            FillBrushes[i].CreateSolidBrush(RGB(mix(GetRValue(from), GetRValue(to)),
                                                mix(GetGValue(from), GetGValue(to)),
                                                mix(GetBValue(from), GetBValue(to))));
        }
        return;
    }
    struct Pattern
    {
        int c0, c1, maskX, maskY, exclX, exclY, c2; // -2: the first colour
    };
    static const Pattern kPatterns[MixedBrushCount] = {
        {15, 20, 1, 1, 0, 0, -2}, {15, 20, 1, 1, 0, 0, -2}, {16, 15, 1, 1, 0, 0, -2}, {16, 15, 1, 1, 0, 0, -2},
        {15, 20, 1, 1, 1, 1, 20}, {15, 20, 1, 1, 1, 1, 20}, {16, 15, 1, 1, 1, 1, -2}, {16, 15, 1, 1, 1, 1, -2},
        {15, 20, 1, 1, 2, 2, 20}, {15, 20, 1, 1, 2, 2, 20}, {21, 16, 1, 1, 0, 0, -2}, {21, 16, 1, 1, 0, 0, -2},
    };
    for (int i = 0; i < MixedBrushCount; ++i)
    {
        const Pattern& p = kPatterns[i];
        auto colour = [&](int n) { return kRules[i].bSystem ? SysColor(n) : GetColor(n); };
        const COLORREF c0 = colour(p.c0), c1 = colour(p.c1);
        HBITMAP hBitmap =
            CreateHalftoneBitmap(c0, c1, p.maskX, p.maskY, p.exclX, p.exclY, p.c2 == -2 ? c0 : colour(p.c2));
        if (hBitmap == nullptr)
            continue;
        FillBrushes[i].Attach(::CreatePatternBrush(hBitmap));
        ::DeleteObject(hBitmap);
    }
}

void CExtPaintManager::OnSysColorChange()
{
    OnPaintSessionComplete(this, 0);
    UpdateSystemFonts();
    InitColorTable();
    InitBrushes();
}

void CExtPaintManager::OnSettingChange(WPARAM, LPARAM)
{
    OnSysColorChange();
}

void CExtPaintManager::OnDisplayChange(int, int, int)
{
    OnSysColorChange();
}

void CExtPaintManager::OnThemeChanged(WPARAM wParam, LPARAM lParam)
{
    OnSettingChange(wParam, lParam);
}

// ---- drawing helpers ----

int CExtPaintManager::GetScreenBitsPerPixel()
{
    if (ExtTestHooks().nScreenBitsPerPixel > 0)
        return ExtTestHooks().nScreenBitsPerPixel;
    HDC hScreen = ::GetDC(nullptr);
    const int nBits = hScreen != nullptr ? ::GetDeviceCaps(hScreen, BITSPIXEL) : 0;
    if (hScreen != nullptr)
        ::ReleaseDC(nullptr, hScreen);
    return nBits;
}

void CExtPaintManager::ExcludeVisibleChildren(HDC hDC, HWND hWndParent, ExcludeChildFilterFn pfnFilter, LPARAM lParam)
{
    if (hDC == nullptr || !::IsWindow(hWndParent))
        return;
    for (HWND hWndChild = ::GetWindow(hWndParent, GW_CHILD); hWndChild != nullptr;
         hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT))
    {
        const LONG nStyle = ::GetWindowLongA(hWndChild, GWL_STYLE);
        if ((nStyle & WS_VISIBLE) == 0 || (nStyle & WS_CHILD) == 0)
            continue;
        RECT rc;
        if (!::GetWindowRect(hWndChild, &rc) || !::ScreenToClient(hWndParent, reinterpret_cast<POINT*>(&rc.left)) ||
            !::ScreenToClient(hWndParent, reinterpret_cast<POINT*>(&rc.right)))
            continue;
        if (pfnFilter == nullptr || !pfnFilter(hDC, hWndParent, hWndChild, lParam))
            ::ExcludeClipRect(hDC, rc.left, rc.top, rc.right, rc.bottom);
    }
}

int CExtPaintManager::GetDcBitsPerPixel(CDC& dc)
{
    if (ExtTestHooks().nDcBitsPerPixel > 0)
        return ExtTestHooks().nDcBitsPerPixel;
    return dc.GetDeviceCaps(BITSPIXEL);
}

void CExtPaintManager::PaintGradientRect(CDC& dc, const RECT& rc, COLORREF clrA, COLORREF clrB, bool bVertical,
                                         UINT nSteps)
{
    if (g_PaintManager.GradientFillFn != nullptr && g_PaintManager.OsFlags.WinNT &&
        !ExtTestHooks().bIgnoreGradientFillFn)
    {
        const COLORREF first = bVertical ? clrB : clrA, second = bVertical ? clrA : clrB;
        TRIVERTEX v[2] = {
            {rc.left, rc.top, static_cast<COLOR16>(GetRValue(first) << 8), static_cast<COLOR16>(GetGValue(first) << 8),
             static_cast<COLOR16>(GetBValue(first) << 8), 0},
            {rc.right, rc.bottom, static_cast<COLOR16>(GetRValue(second) << 8),
             static_cast<COLOR16>(GetGValue(second) << 8), static_cast<COLOR16>(GetBValue(second) << 8), 0},
        };
        GRADIENT_RECT gr = {0, 1};
        g_PaintManager.GradientFillFn(dc.GetSafeHdc(), v, 2, &gr, 1,
                                      bVertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
        return;
    }
    if (rc.left >= rc.right || rc.top >= rc.bottom)
        return;
    const int nBits = GetDcBitsPerPixel(dc);
    const int nExtent = bVertical ? rc.bottom - rc.top : rc.right - rc.left;
    const UINT n = GradientBandCount(nExtent, nSteps, nBits);
    int nPrevEdge = bVertical ? rc.bottom : rc.left;
    for (UINT i = 0; i < n; ++i)
    {
        const COLORREF clr = GradientBandColor(clrA, clrB, i, n);
        CRect band;
        if (bVertical)
        {
            const int nTop = i + 1 == n ? rc.top : rc.bottom - MulDivRound(i + 1, nExtent, n);
            band.SetRect(rc.left, nTop, rc.right, nPrevEdge);
            nPrevEdge = nTop;
        }
        else
        {
            const int nRight = i + 1 == n ? rc.right : rc.left + MulDivRound(i + 1, nExtent, n);
            band.SetRect(nPrevEdge, rc.top, nRight, rc.bottom);
            nPrevEdge = nRight;
        }
        if (band.IsRectEmpty())
            continue;
        if (nBits <= 8)
        {
            CBrush brush;
            brush.CreateSolidBrush(clr);
            dc.FillRect(&band, &brush);
        }
        else
            dc.FillSolidRect(&band, clr);
    }
}

HBITMAP CExtPaintManager::CreateHalftoneBitmap(COLORREF clrA, COLORREF clrB, int nMaskX, int nMaskY, int nExclX,
                                               int nExclY, COLORREF clrExcluded)
{
    const COLORREF a = clrA == static_cast<COLORREF>(-1) ? SysColor(COLOR_3DFACE) : clrA;
    const COLORREF b = clrB == static_cast<COLORREF>(-1) ? SysColor(COLOR_3DHILIGHT) : clrB;
    const COLORREF excluded = clrExcluded == static_cast<COLORREF>(-1) ? clrA : clrExcluded;
    HDC hScreen = ::GetDC(nullptr);
    if (hScreen == nullptr)
        return nullptr;
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, 16, 16);
    HDC hMem = hBitmap != nullptr ? ::CreateCompatibleDC(hScreen) : nullptr;
    ::ReleaseDC(nullptr, hScreen);
    if (hMem == nullptr)
    {
        if (hBitmap != nullptr)
            ::DeleteObject(hBitmap);
        return nullptr;
    }
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
        {
            COLORREF c;
            if ((x & nExclX) != 0 || (y & nExclY) != 0)
                c = excluded;
            else if ((y & nMaskY) != 0)
                c = (x & nMaskX) != 0 ? a : b;
            else
                c = (x & nMaskX) != 0 ? b : a;
            ::SetPixelV(hMem, x, y, c);
        }
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    return hBitmap;
}

DWORD CExtPaintManager::GetDllVersion(const char* lpszLibraryName)
{
    HMODULE hModule = ::LoadLibraryA(lpszLibraryName);
    if (hModule == nullptr)
        return 0;
    DWORD dwVersion = 0;
    typedef HRESULT(CALLBACK * DllGetVersionFn)(DLLVERSIONINFO*);
    auto pfn = reinterpret_cast<DllGetVersionFn>(reinterpret_cast<void*>(::GetProcAddress(hModule, "DllGetVersion")));
    if (pfn != nullptr)
    {
        DLLVERSIONINFO info = {};
        info.cbSize = sizeof(info);
        if (SUCCEEDED(pfn(&info)))
            dwVersion = (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF);
    }
    ::FreeLibrary(hModule);
    return dwVersion;
}

// ---- the holder ----

CExtPaintManagerHolder::CExtPaintManagerHolder()
{
    OsVersionInfo.dwOSVersionInfoSize = sizeof(OsVersionInfo);
    ::GetVersionExA(&OsVersionInfo);
    const DWORD id = OsVersionInfo.dwPlatformId, major = OsVersionInfo.dwMajorVersion,
                minor = OsVersionInfo.dwMinorVersion;
    OsFlags.Win32s = id == VER_PLATFORM_WIN32s;
    OsFlags.Win9x = id == VER_PLATFORM_WIN32_WINDOWS;
    OsFlags.Win95 = OsFlags.Win9x && major == 4 && minor == 0;
    OsFlags.Win98 = OsFlags.Win9x && major == 4 && minor > 0;
    OsFlags.Win98OrLater = OsFlags.Win9x && (major > 4 || (major == 4 && minor > 0));
    OsFlags.WinNT = id == VER_PLATFORM_WIN32_NT;
    OsFlags.WinNT4 = OsFlags.WinNT && major == 4;
    OsFlags.Win2000 = OsFlags.WinNT && major == 5 && minor == 0;
    OsFlags.WinXP = OsFlags.WinNT && major == 5 && minor == 1;
    OsFlags.WinNT4OrLater = OsFlags.WinNT && major >= 4;
    OsFlags.Win2000OrLater = OsFlags.WinNT && major >= 5;
    OsFlags.WinXPOrLater = OsFlags.WinNT && major >= 5 && !(major == 5 && minor == 0);
    DetectLunaScheme();
    Msimg32Module = ::LoadLibraryA("msimg32.dll");
    if (Msimg32Module != nullptr)
    {
        GradientFillFn = reinterpret_cast<GradientFillFnType>(
            reinterpret_cast<void*>(::GetProcAddress(Msimg32Module, "GradientFill")));
        AlphaBlendFn =
            reinterpret_cast<AlphaBlendFnType>(reinterpret_cast<void*>(::GetProcAddress(Msimg32Module, "AlphaBlend")));
        TransparentBltFn = reinterpret_cast<TransparentBltFnType>(
            reinterpret_cast<void*>(::GetProcAddress(Msimg32Module, "TransparentBlt")));
    }
    User32Module = ::LoadLibraryA("user32.dll");
    if (User32Module != nullptr)
    {
        AnimateWindowFn = reinterpret_cast<AnimateWindowFnType>(
            reinterpret_cast<void*>(::GetProcAddress(User32Module, "AnimateWindow")));
        SetLayeredWindowAttributesFn = reinterpret_cast<SetLayeredWindowAttributesFnType>(
            reinterpret_cast<void*>(::GetProcAddress(User32Module, "SetLayeredWindowAttributes")));
        UpdateLayeredWindowFn = reinterpret_cast<UpdateLayeredWindowFnType>(
            reinterpret_cast<void*>(::GetProcAddress(User32Module, "UpdateLayeredWindow")));
    }
    EnsurePaintManager();
}

CExtPaintManagerHolder::~CExtPaintManagerHolder()
{
    if (Msimg32Module != nullptr)
        ::FreeLibrary(Msimg32Module);
    if (User32Module != nullptr)
        ::FreeLibrary(User32Module);
    delete PaintManager;
    PaintManager = nullptr;
}

bool CExtPaintManagerHolder::InstallPaintManager(CExtPaintManager* pNewTheme)
{
    if (PaintManager != nullptr)
    {
        if (PaintManager == pNewTheme)
            return true;
        delete PaintManager;
        PaintManager = nullptr;
    }
    if (pNewTheme == nullptr)
    {
        CObject* pObject = RUNTIME_CLASS(CExtPaintManagerXP)->CreateObject();
        pNewTheme = pObject != nullptr && pObject->IsKindOf(RUNTIME_CLASS(CExtPaintManager))
                        ? static_cast<CExtPaintManager*>(pObject)
                        : nullptr;
        if (pNewTheme == nullptr)
        {
            delete pObject;
            return false;
        }
    }
    PaintManager = pNewTheme;
    PaintManager->UpdateSystemFonts();
    PaintManager->InitColorTable();
    PaintManager->InitBrushes();
    return true;
}

bool CExtPaintManagerHolder::EnsurePaintManager()
{
    return PaintManager != nullptr || InstallPaintManager(nullptr);
}

void CExtPaintManagerHolder::DetectLunaScheme()
{
    OsFlags.TaskBandColorsRead = false;
    LunaScheme = LunaNone;
    if (!VisualStyles.IsAppThemed())
        return;
    WCHAR szFile[260] = {}, szColor[260] = {};
    if (VisualStyles.GetCurrentThemeName(szFile, 260, szColor, 260, nullptr, 0) == S_OK)
    {
        std::wstring file(szFile), color(szColor);
        for (wchar_t& c : file)
            c = static_cast<wchar_t>(std::towlower(c));
        for (wchar_t& c : color)
            c = static_cast<wchar_t>(std::towlower(c));
        if (file.find(L"luna.msstyles") != std::wstring::npos)
        {
            if (color == L"normalcolor")
                LunaScheme = LunaBlue;
            else if (color == L"homestead")
                LunaScheme = LunaOlive;
            else if (color == L"metallic")
                LunaScheme = LunaSilver;
        }
    }
    if (VisualStyles.OpenThemeData(::GetDesktopWindow(), L"TASKBAND") == nullptr)
        return;
    static const int kProperties[7] = {3804, 3805, 3806, 3807, 3808, 3821, 3823};
    int nRead = 0;
    while (nRead < 7 && VisualStyles.GetThemeColor(2, 0, kProperties[nRead], &TaskBandColors[nRead]) == S_OK)
        ++nRead;
    OsFlags.TaskBandColorsRead = nRead == 7;
    VisualStyles.CloseThemeData();
}

UINT CExtPaintManagerHolder::GetMouseWheelScrollLines()
{
    if (WheelScrollLinesCached)
        return WheelScrollLines;
    WheelScrollLinesCached = true;
    WheelScrollLines = 3;
    if (OsVersionInfo.dwMajorVersion >= 4)
    {
        if (OsFlags.WinNT)
            ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &WheelScrollLines, 0);
    }
    else
    {
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &hKey) == ERROR_SUCCESS)
        {
            char szValue[256] = {};
            DWORD cbValue = sizeof(szValue) - 1;
            if (::RegQueryValueExA(hKey, "WheelScrollLines", nullptr, nullptr, reinterpret_cast<BYTE*>(szValue),
                                   &cbValue) == ERROR_SUCCESS)
                WheelScrollLines = static_cast<UINT>(std::strtoul(szValue, nullptr, 10));
            ::RegCloseKey(hKey);
        }
    }
    WheelScrollLines = CExtColorMath::ClampWheelScrollLines(WheelScrollLines);
    return WheelScrollLines;
}

bool CExtPaintManagerHolder::IsSysNotifyRelayWindow(CWnd* pWnd)
{
    if (pWnd == nullptr)
        return true;
    if (pWnd->IsKindOf(RUNTIME_CLASS(CExtStatusControlBar)))
        return true;
    CFrameWnd* pFrame =
        pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)) ? static_cast<CFrameWnd*>(pWnd) : pWnd->GetParentFrame();
    if (pFrame == nullptr)
        return true;
    if (pFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
        pFrame = pFrame->GetParentFrame();
    if (pFrame == nullptr || pFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
        return true;
    CControlBar* pStatus = pFrame->GetControlBar(AFX_IDW_STATUS_BAR);
    if (pStatus != nullptr && pStatus->IsKindOf(RUNTIME_CLASS(CExtStatusControlBar)))
        return pStatus == pWnd;
    for (UINT nID : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT})
    {
        CControlBar* pBar = pFrame->GetControlBar(nID);
        if (pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CExtDockOuterBar)))
            return pBar == pWnd;
    }
    for (HWND hChild = ::GetWindow(pFrame->GetSafeHwnd(), GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        CWnd* pChild = CWnd::FromHandlePermanent(hChild);
        if (pChild != nullptr && pChild->IsKindOf(RUNTIME_CLASS(CExtTabMdiWnd)) &&
            static_cast<CExtTabWnd*>(pChild)->IsMdiTabWnd())
            return pChild == pWnd;
    }
    return true;
}

void CExtPaintManagerHolder::HandleSysColorChange(CWnd* pWnd)
{
    if (!IsSysNotifyRelayWindow(pWnd) || PaintManager == nullptr)
        return;
    PaintManager->OnSysColorChange();
}

void CExtPaintManagerHolder::HandleSettingChange(CWnd* pWnd, WPARAM wParam, LPARAM lParam)
{
    if (!IsSysNotifyRelayWindow(pWnd) || PaintManager == nullptr)
        return;
    WheelScrollLinesCached = false;
    PaintManager->OnSettingChange(wParam, lParam);
}

void CExtPaintManagerHolder::HandleDisplayChange(CWnd* pWnd, int nBitsPerPixel, int cx, int cy)
{
    if (!IsSysNotifyRelayWindow(pWnd) || PaintManager == nullptr)
        return;
    WheelScrollLinesCached = false;
    PaintManager->OnDisplayChange(nBitsPerPixel, cx, cy);
}

void CExtPaintManagerHolder::HandleThemeChanged(CWnd* pWnd, WPARAM wParam, LPARAM lParam)
{
    if (!IsSysNotifyRelayWindow(pWnd) || PaintManager == nullptr)
        return;
    WheelScrollLinesCached = false;
    PaintManager->OnThemeChanged(wParam, lParam);
}

bool CExtPaintManagerHolder::IsSysNotifyMessage(UINT message)
{
    return message == WM_SYSCOLORCHANGE || message == WM_SETTINGCHANGE || message == WM_DISPLAYCHANGE ||
           message == WM_THEMECHANGED;
}

void CExtPaintManagerHolder::RelaySysNotify(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // the theme first, so the command icons take its new colours
    switch (message)
    {
    case WM_SYSCOLORCHANGE:
        HandleSysColorChange(pWnd);
        g_CmdManager.HandleSysColorChange(pWnd);
        break;
    case WM_SETTINGCHANGE:
        HandleSettingChange(pWnd, wParam, lParam);
        g_CmdManager.HandleSettingChange(pWnd, static_cast<UINT>(wParam), reinterpret_cast<LPCTSTR>(lParam));
        break;
    case WM_DISPLAYCHANGE:
        HandleDisplayChange(pWnd, static_cast<int>(wParam), static_cast<short>(LOWORD(lParam)),
                            static_cast<short>(HIWORD(lParam)));
        g_CmdManager.HandleDisplayChange(pWnd, static_cast<int>(wParam), static_cast<short>(LOWORD(lParam)),
                                         static_cast<short>(HIWORD(lParam)));
        break;
    case WM_THEMECHANGED:
        HandleThemeChanged(pWnd, wParam, lParam);
        g_CmdManager.HandleThemeChanged(pWnd, wParam, lParam);
        break;
    }
}
