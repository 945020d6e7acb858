// The paint manager: the drawing interface every toolkit window paints
// through, its five themes, and the process-wide holder of the installed one.
//
// Windows never keep a theme pointer: they ask g_PaintManager at the moment
// of drawing, so installing another theme changes every window at its next
// repaint. A theme holds its colour table, system brushes, twelve mixed
// brushes, thirteen fonts and a palette, rebuilt on each system notification
// that reaches it through the one relay window of a frame.
#pragma once

#include "framework/core/CArray.h"
#include "framework/core/CObject.h"
#include "framework/core/CString.h"
#include "framework/win/Dc.h"
#include "framework/win/GdiObjects.h"
#include "uitoolkit/core/ExtColorMath.h"
#include "uitoolkit/core/ExtColorTable.h"
#include "uitoolkit/paint/ExtVisualStylesApi.h"

#include <ctime>
#include <map>

class CWnd;
class CExtCmdIcon;
class CExtGlyphBitmap;
class CExtControlBar;
class CExtToolControlBar;
class CExtBarButton;
class CExtTabWnd;
class CExtPopupMenuWnd;
class CExtDynDockMarkerWnd;
class CArchive;

typedef CArray<CExtDynDockMarkerWnd*, CExtDynDockMarkerWnd*> CExtDockMarkerWndArray;

class CExtPaintManager : public CObject, public CExtColorMath, public CExtColorTable
{
    DECLARE_DYNCREATE(CExtPaintManager)
public:
    // Paint records, built on the caller's stack by the painters' callers.
    struct PushButtonParams;
    struct MenuItemParams;
    struct ControlFrameParams;
    struct ComboFrameParams;
    struct BarNcButtonParams;
    struct BarCaptionParams;
    struct BarFrameParams;
    struct StatusBarItemParams;
    class DockMarkerBase;
    class DockMarkerBeta2;

    struct TextFieldParams
    {
        CObject* m_pHelperSrc = nullptr;
        LPARAM m_lParam = 0;
        UINT m_nDrawTextFlags = 0;
        CString m_sText;
        CRect m_rcOuter;
        CRect m_rcInner;
        BYTE m_nFlags = 0; // 1 drop-down button, 2 hot, 4 pressed, 8 enabled
    };

    enum e_mixed_brush
    {
        BrushLight50,
        BrushLight50Sys,
        BrushShadow50,
        BrushShadow50Sys,
        BrushLight60,
        BrushLight60Sys,
        BrushShadow40,
        BrushShadow40Sys,
        BrushLight80,
        BrushLight80Sys,
        BrushShadow20,
        BrushShadow20Sys,
        MixedBrushCount
    };

    CExtPaintManager();
    ~CExtPaintManager() override;

    // ---- the virtual operations, in table order (after those of CObject) ----
    void Serialize(CArchive& ar) override;
    virtual int GetThemeId() const;
    virtual int GetSeparatorHeight();
    virtual bool IsLunaSchemeUsed();
    virtual int GetLunaScheme();
    virtual void OnPaintSessionComplete(CObject* pHelperSrc, LPARAM lParam);
    virtual LPVOID HandleDialogRequest(LPVOID pTemplate, CWnd* pDialog, bool bWizard, LPARAM lParam);
    virtual HFONT GetDefaultFontHandle();
    virtual void UpdateSystemFonts();
    virtual HBRUSH GetBrush(int nIndex);
    virtual COLORREF GetColor(int nIndex, CObject* pHelperSrc = nullptr, LPARAM lParam = 0);
    virtual COLORREF GetMenuBackgroundColor(CObject* pHelperSrc = nullptr, LPARAM lParam = 0);
    virtual COLORREF GetShadowColor();
    virtual void AdjustBarClientRect(CExtControlBar* pBar, RECT* pRect);
    virtual int GetToolBarRowGap(CExtToolControlBar* pBar);
    virtual bool HasToolBarRowBackground(CExtToolControlBar* pBar);
    virtual void InitColorTable();
    virtual void InitBrushes();
    virtual SIZE* GetPushedContentOffset(SIZE* pSize);
    virtual void LoadTreeBoxIcon(CExtCmdIcon& icon, bool bExpanded);
    virtual void PaintGlyph(CDC& dc, int x, int y, const CExtGlyphBitmap& glyph, const COLORREF* pColors);
    virtual void PaintGlyphCentered(CDC& dc, const RECT& rc, const CExtGlyphBitmap& glyph, const COLORREF* pColors);
    virtual void PaintToolBarRowBackground(CDC& dc, CExtToolControlBar* pBar, int nLastButtonInRow, const RECT& rcRow);
    virtual void PaintToolBarExpandButton(CDC& dc, const RECT& rc, bool bHorz, bool bBarCompletelyVisible,
                                          bool bEnabled, bool bPushed, bool bHover, CObject* pHelperSrc, LPARAM lParam,
                                          bool bTransparentBackground);
    virtual void PaintMenuExpandButton(CDC& dc, const RECT& rc, bool bPushed, bool bHover, CObject* pHelperSrc,
                                       LPARAM lParam);
    virtual void PaintMenuTearOffButton(CDC& dc, const RECT& rc, bool bHover, bool bPushed, CObject* pHelperSrc,
                                        LPARAM lParam);
    virtual int GetMenuExpandButtonHeight();
    virtual void GetTabStripColors(COLORREF* pClrBorderLight, COLORREF* pClrBorderDark, COLORREF* pClrFaceLight,
                                   COLORREF* pClrFaceDark, CExtTabWnd* pTabWnd, LPARAM lParam);
    virtual void PaintTabItem(CDC& dc, const CRect& rcTabItemsArea, bool bTopOrLeft, bool bHorizontal, bool bSelected,
                              bool bCenterText, bool bGrouped, bool bCenterLoneIcon, bool bBottomUpText,
                              const CRect& rcItem, CSize sizeTextMeasured, int nTextHeight, CFont* pFont,
                              const CString& sText, CExtCmdIcon* pIcon, CExtTabWnd* pTabWnd, LONG nItemIndex,
                              COLORREF clrForceText, COLORREF clrForceTabBk, COLORREF clrForceTabBorderLT,
                              COLORREF clrForceTabBorderRB, COLORREF clrForceTabSeparator);
    virtual void PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect& rcTabItemsArea,
                                    const CRect& rcTabNearBorderArea, DWORD dwOrientation, bool bGrouped,
                                    CExtTabWnd* pTabWnd, LPARAM lParam);
    virtual void PaintTabButton(CDC& dc, const CRect& rcButton, LONG nHitTest, bool bTopOrLeft, bool bHorizontal,
                                bool bEnabled, bool bHover, bool bPushed, bool bGrouped, CExtTabWnd* pTabWnd,
                                LPARAM lParam);
    virtual void PaintSunkenFrame(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam);
    virtual void GetTabMarginMetrics(CExtTabWnd* pTabWnd, int* pMargin1, int* pMargin2, int* pMargin3);
    virtual void AdjustTabItemSize(CExtTabWnd* pTabWnd, LONG nItemIndex, CDC& dc, SIZE* pSize);
    virtual void PaintTabNcFrame(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam);
    virtual void PaintIcon(CDC& dc, bool bHorz, const CString& sText, CExtCmdIcon* pIcon, const CRect& rcClient,
                           CRect& rcCaption, bool bPushed, bool bEnabled, bool bHover, int nTextAlign,
                           bool bRightToLeft, COLORREF clrEffect);
    virtual void PaintBarNcButton(CDC& dc, BarNcButtonParams& params);
    virtual void PaintSysCmdGlyph(CDC& dc, UINT nSysCmd, const RECT& rc, bool bHover, bool bPushed, bool bEnabled);
    virtual void PaintPushButton(CDC& dc, PushButtonParams& params);
    virtual SIZE* GetInsertMarkSize(SIZE* pSize);
    virtual void PaintInsertMark(CDC& dc, const RECT& rc, bool bLeadingEdge, bool bHorizontal);
    virtual void PaintDragOutline(CDC& dc, const RECT& rc);
    virtual int GetMenuTearOffCaptionHeight();
    virtual void PaintReservedHook(CDC& dc, const RECT& rc, int nParam1, int nParam2, CObject* pHelperSrc,
                                   LPARAM lParam);
    virtual void PaintMenuItem(CDC& dc, MenuItemParams& params);
    virtual void PaintMenuSeparator(CDC& dc, const RECT& rc, int nLeftAreaWidth, bool bRarelyUsed, CObject* pHelperSrc,
                                    LPARAM lParam);
    virtual void PaintSeparator(CDC& dc, const RECT& rc, bool bHorz, bool bTransparentBackground, CObject* pHelperSrc,
                                LPARAM lParam);
    virtual void PaintBarCaption(CDC& dc, BarCaptionParams& params);
    virtual void PaintBarFrame(CDC& dc, BarFrameParams& params);
    virtual void PaintControlFrame(CDC& dc, ControlFrameParams& params);
    virtual void PaintComboFrame(CDC& dc, ComboFrameParams& params);
    virtual int GetTextLineExtent(bool bFlag);
    virtual int GetTipShadowSize();
    virtual int GetPopupShadowSize();
    virtual int GetMenuBorderSize();
    virtual void PaintMenuBorder(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam);
    virtual bool IsMenuMustCombineParent();
    virtual bool GetExpandButtonStyleBit();
    virtual void PaintMenuCombinedArea(CDC& dc, const RECT& rcOuter, const RECT& rcInner, int nEdge,
                                       CExtPopupMenuWnd* pPopup, LPARAM lParam);
    virtual void PaintStatusBarItem(CDC& dc, StatusBarItemParams& params);
    virtual int GetThemeDockingType();
    virtual int GetAutoTabStyleOption();
    virtual bool PaintBackgroundByAncestors(bool bClient, CDC& dc, CWnd* pWnd, LPARAM lParam);
    virtual bool GetInheritedBackgroundOption();
    virtual bool IsInheritedBackgroundUsed(CObject* pHelperSrc, LPARAM lParam);
    virtual bool IsBackgroundInherited(CWnd* pWnd, bool bFlag);
    virtual bool PaintFrameBackground(bool bClient, CDC& dc, const RECT& rcFrame, const RECT& rcPaint, LPARAM lParam);
    virtual bool PaintInheritedBackground(bool bClient, CDC& dc, CWnd* pWnd, LPARAM lParam);
    virtual bool PaintToolBarBackground(CDC& dc, const RECT& rc, CExtToolControlBar* pBar, LPARAM lParam);
    virtual bool PaintDockBarClientArea(CDC& dc, const RECT& rc, CWnd* pWnd, LPARAM lParam);
    // A control bar's client background: the face colour, or for a tool bar
    // that asks for it the background inherited from its ancestors.
    bool PaintControlBarClientArea(CDC& dc, const RECT& rc, CExtControlBar* pBar, LPARAM lParam);
    virtual void OnSysColorChange();
    virtual void OnSettingChange(WPARAM wParam, LPARAM lParam);
    virtual void OnDisplayChange(int nBitsPerPixel, int cx, int cy);
    virtual void OnThemeChanged(WPARAM wParam, LPARAM lParam);
    virtual SIZE* GetToolBarSizeAdjustment(SIZE* pSize, bool bHorz);
    virtual void PaintTextField(CDC& dc, const TextFieldParams& params);
    virtual COLORREF GetIconAlphaColor();
    virtual double GetIconAlphaFactor();
    virtual SIZE* GetToolBarButtonExtraSpace(SIZE* pSize);
    virtual void PaintResizingGripper(CDC& dc, const RECT& rc, CWnd* pWnd, LPARAM lParam);
    virtual DockMarkerBase* CreateDockMarker();
    virtual bool CreateDockMarkerWindows(LPARAM lOwnerParam, int nKind, RECT rc, CExtDockMarkerWndArray& arrWnds);
    virtual void PaintDockMarkerHighlight(CDC& dc, const RECT& rc, int nKind, bool bOuterHighlight, CWnd* pMarkerWnd);
    virtual RECT* GetDockMarkerMargins(RECT* pRect);
    virtual bool IsDockMarkerStyleBase(int nKind);
    virtual bool AdjustDockMarkerColors(int nKind, HBITMAP hNormal, COLORREF clrNormalKey, HBITMAP hHover,
                                        COLORREF clrHoverKey);
    virtual void PaintDockingHighlight(COLORREF* pPixels, int nWidth, int nHeight, bool bTabShape, bool bTabTop,
                                       const CRect& rcBody, const CRect& rcTab, COLORREF clrFill, COLORREF clrBorder,
                                       int nBorderWidth);
    virtual void PaintTrackedButtonBackground(CDC& dc, CExtBarButton* pButton, LPARAM lParam);
    virtual COLORREF GetControlTextColor(CDC& dc, UINT nState1, UINT nState2, UINT nState3, UINT nState4,
                                         CObject* pControl, LPARAM lParam);
    virtual bool PaintCheckBoxBox(CDC& dc, RECT rc, UINT nState, CObject* pControl, LPARAM lParam);

    // ---- non-virtual members ----
    // Overwrites entry nEntry when it exists, else appends; the entry used.
    int InstallColor(COLORREF color, int nEntry = -1) { return InstallColorIn(Colors, color, nEntry); }
    // The menu font description with the Tahoma face when asked and present.
    static HFONT CreateDefaultFont(bool bUseTahoma);
    SIZE& MeasureFontLineExtents(SIZE& size, bool bBold);

    // ---- static drawing helpers ----
    static int GetScreenBitsPerPixel();
    // Leaves the visible child windows of hWndParent out of hDC's clip, all
    // of them or those the filter does not keep painted over (it answers
    // true for them).
    typedef bool (*ExcludeChildFilterFn)(HDC hDC, HWND hWndParent, HWND hWndChild, LPARAM lParam);
    static void ExcludeVisibleChildren(HDC hDC, HWND hWndParent, ExcludeChildFilterFn pfnFilter, LPARAM lParam);
    // Keeps painted over the children that show their parent's background:
    // statics, tab controls, track bars, group boxes, check boxes and radio
    // buttons.
    static bool InheritedBackgroundChildFilter(HDC hDC, HWND hWndParent, HWND hWndChild, LPARAM lParam);
    // The depth painters decide on for a device context.
    static int GetDcBitsPerPixel(CDC& dc);
    static void PaintGradientRect(CDC& dc, const RECT& rc, COLORREF clrA, COLORREF clrB, bool bVertical = false,
                                  UINT nSteps = 256);
    // Two gradients meeting at nNum / nDenom of the extent: c1 at the top (or
    // left), c2 at the split, c3 at the bottom (or right).
    static void PaintThreeColorGradient(CDC& dc, const RECT& rc, COLORREF c1, COLORREF c2, COLORREF c3, bool bHorz,
                                        int nNum, int nDenom, UINT nSteps);
    static HBITMAP CreateHalftoneBitmap(COLORREF clrA, COLORREF clrB, int nMaskX, int nMaskY, int nExclX, int nExclY,
                                        COLORREF clrExcluded);
    static DWORD GetDllVersion(const char* lpszLibraryName);
    // The source of system colours: GetSysColor unless a test injects one.
    static COLORREF SysColor(int nIndex);
    // The menu check mark, 7 x 7 pixels from (x, y), with a shadow in the
    // complement of the colour.
    static void PaintMenuCheckMark(CDC& dc, int x, int y, COLORREF clr);
    // A 6 x 6 dot from (x, y) over its shadow one pixel down and right.
    static void PaintMenuRadioDot(CDC& dc, int x, int y, COLORREF clr);
    // A one-pixel 3D frame that leaves its four corner pixels untouched.
    static void Draw3dRectNoCorners(CDC& dc, int x, int y, int cx, int cy, COLORREF clrTopLeft,
                                    COLORREF clrBottomRight);
    static void Draw3dRectNoCorners(CDC& dc, const RECT& rc, COLORREF clrTopLeft, COLORREF clrBottomRight);
    // The text's rectangle in the font, moved to (0, 0); tabs are expanded.
    static CRect MeasureTextBounds(CDC& dc, CFont& font, const CString& sText, UINT nFormat);
    static int MeasureTextWidth(CDC& dc, CFont& font, const CString& sText);

    // The monitor and work-area rectangles of one monitor; bit 0 of Flags
    // marks the primary one.
    struct MonitorParams
    {
        RECT Monitor = {0, 0, 0, 0};
        RECT WorkArea = {0, 0, 0, 0};
        DWORD Flags = 0;
    };
    // The monitor nearest to the point, rectangle or window; the desktop and
    // its work area when the platform has no answer.
    static void GetMonitorParamsFromPoint(MonitorParams& mp, POINT pt);
    static void GetMonitorParamsFromRect(MonitorParams& mp, const RECT& rc);
    static void GetMonitorParamsFromHwnd(MonitorParams& mp, HWND hWnd);
    // Keeps rc on the monitor nearest to it (its work area with bWorkArea).
    static RECT FitRectIntoMonitor(RECT rc, bool bWorkArea, bool bFullyInside);
    static void GetMonitorParamsFromWnd(MonitorParams& mp, const CWnd* pWnd);

    // ---- window images and bitmaps; returned handles belong to the caller ----
    // A 32-bit DIB section the window paints itself into with message.
    static HBITMAP CaptureWindowImage(HWND hWnd, UINT nMessage, UINT nFlags);
    // Sends the message to every visible child, the DC's origin on the child.
    static void PrintWindowTree(HWND hWnd, UINT nMessage, HDC hDC, UINT nFlags, bool bRecursive);
    static void DispatchPendingPaint(bool bNcPaint, bool bEraseBkgnd, bool bPaint);
    // A bottom-up 32-bit DIB section; ppBits (may be null) receives its pixels.
    static HBITMAP CreateDibSection32(int cx, int cy, COLORREF** ppBits);
    // A copy of the bitmap (or of pRect of it); with ppBits a 32-bit DIB
    // section whose pixels (0x00RRGGBB, bottom row first) *ppBits receives.
    static HBITMAP CloneBitmap(HBITMAP hSrc, const RECT* pRect = nullptr, COLORREF** ppBits = nullptr);
    static HICON CreateIconFromBitmap(HBITMAP hSrc, COLORREF clrTransparent, const RECT* pRect = nullptr,
                                      bool bReplaceSysColors = false);
    // The bits per pixel of the source, 0 on failure.
    static int CollectBitmapColors(HBITMAP hSrc, std::map<COLORREF, int>& histogram);
    static int GetBitmapColors(HBITMAP hSrc, CArray<COLORREF, COLORREF>& colors, bool bNoDuplicates);
    // A packed DIB in fixed global memory (GlobalFree).
    static HGLOBAL BitmapToPackedDib(HBITMAP hSrc, HPALETTE hPal = nullptr);
    static bool SerializeBitmapHandle(CArchive& ar, HBITMAP& hBitmap, bool bResourceFormat);
    // A whole bitmap file ("BM" header included).
    static HBITMAP LoadBitmapFromMemory(const void* pData, UINT nSize);
    // A bitmap resource's data (no file header).
    static HBITMAP LoadBitmapFromResourceData(HINSTANCE hInst, HRSRC hRes);
    // A null hInst means the framework's resource module.
    static HBITMAP LoadBitmapResource(LPCTSTR lpszName, LPCTSTR lpszType, HINSTANCE hInst = nullptr);
    // A negative cx or cy stands for the source size.
    static void TransparentBltEmulated(HDC hDest, int x, int y, int cx, int cy, HDC hSrc, int xSrc, int ySrc, int cxSrc,
                                       int cySrc, COLORREF clrTransparent);

    // ---- 16 x 16 colour-sample icons ----
    static HICON CreateColorSampleIcon(COLORREF clr);
    static HICON CreateFramedColorSampleIcon(COLORREF clr);
    static HICON CreateColorLetterIcon(COLORREF clr, HFONT hFont, TCHAR chLetter);

    // ---- bitmap routines; a key pixel lies within clrKeyLow + clrKeyRange ----
    static HBITMAP AdjustBitmapColorsHls(HBITMAP hSrc, COLORREF clrKeyLow, COLORREF clrKeyRange, double dH, double dL,
                                         double dS);
    static bool AdjustBitmapHls(CBitmap* pBitmap, COLORREF clrKeyLow, COLORREF clrKeyRange, double dH, double dL,
                                double dS);
    static HRGN CreateRegionFromBitmap(HBITMAP hBitmap, COLORREF clrKeyLow, COLORREF clrKeyRange);

    // Sent to the ancestors of a window whose background they draw: WPARAM
    // the device context (in the ancestor's client coordinates), LPARAM the
    // window; non-zero when painted.
    static const UINT g_nMsgPaintInheritedBackground;

    CExtColorArray Colors;
    CArray<HBRUSH, HBRUSH> Brushes;
    CExtColorIndexMap ColorIndexMap;
    CPalette Palette;
    CBrush FillBrushes[MixedBrushCount];
    CFont FontNormal, FontNormalVert, FontNormalVertRev, FontBold, FontBoldVert, FontBoldVertRev, FontSmall,
        FontSmallVert, FontSmallVertRev, FontSmallBold, FontSmallBoldVert, FontSmallBoldVertRev, FontMarlett;
    UINT DisabledDrawStateFlags = DSS_DISABLED;
    struct
    {
        bool UseTahoma : 1;
        bool InheritedBackground : 1;
    } ThemeOptions = {};
    int DockMarkerStyle = 3;
};

class CExtPaintManagerXP : public CExtPaintManager
{
    DECLARE_DYNCREATE(CExtPaintManagerXP)
public:
    CExtPaintManagerXP();

    int GetThemeId() const override;
    int GetSeparatorHeight() override;
    bool IsLunaSchemeUsed() override;
    COLORREF GetMenuBackgroundColor(CObject* pHelperSrc = nullptr, LPARAM lParam = 0) override;
    void InitColorTable() override;
    SIZE* GetPushedContentOffset(SIZE* pSize) override;
    void PaintToolBarExpandButton(CDC& dc, const RECT& rc, bool bHorz, bool bBarCompletelyVisible, bool bEnabled,
                                  bool bPushed, bool bHover, CObject* pHelperSrc, LPARAM lParam,
                                  bool bTransparentBackground) override;
    void PaintMenuExpandButton(CDC& dc, const RECT& rc, bool bPushed, bool bHover, CObject* pHelperSrc,
                               LPARAM lParam) override;
    void PaintMenuTearOffButton(CDC& dc, const RECT& rc, bool bHover, bool bPushed, CObject* pHelperSrc,
                                LPARAM lParam) override;
    void PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect& rcTabItemsArea,
                            const CRect& rcTabNearBorderArea, DWORD dwOrientation, bool bGrouped, CExtTabWnd* pTabWnd,
                            LPARAM lParam) override;
    void PaintSunkenFrame(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam) override;
    void PaintTabNcFrame(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam) override;
    void PaintIcon(CDC& dc, bool bHorz, const CString& sText, CExtCmdIcon* pIcon, const CRect& rcClient,
                   CRect& rcCaption, bool bPushed, bool bEnabled, bool bHover, int nTextAlign, bool bRightToLeft,
                   COLORREF clrEffect) override;
    void PaintBarNcButton(CDC& dc, BarNcButtonParams& params) override;
    void PaintSysCmdGlyph(CDC& dc, UINT nSysCmd, const RECT& rc, bool bHover, bool bPushed, bool bEnabled) override;
    void PaintPushButton(CDC& dc, PushButtonParams& params) override;
    void PaintMenuItem(CDC& dc, MenuItemParams& params) override;
    void PaintMenuSeparator(CDC& dc, const RECT& rc, int nLeftAreaWidth, bool bRarelyUsed, CObject* pHelperSrc,
                            LPARAM lParam) override;
    void PaintSeparator(CDC& dc, const RECT& rc, bool bHorz, bool bTransparentBackground, CObject* pHelperSrc,
                        LPARAM lParam) override;
    void PaintBarCaption(CDC& dc, BarCaptionParams& params) override;
    void PaintBarFrame(CDC& dc, BarFrameParams& params) override;
    void PaintControlFrame(CDC& dc, ControlFrameParams& params) override;
    void PaintComboFrame(CDC& dc, ComboFrameParams& params) override;
    int GetMenuBorderSize() override;
    void PaintMenuBorder(CDC& dc, const RECT& rc, CObject* pHelperSrc, LPARAM lParam) override;
    bool IsMenuMustCombineParent() override;
    bool GetExpandButtonStyleBit() override;
    void PaintMenuCombinedArea(CDC& dc, const RECT& rcOuter, const RECT& rcInner, int nEdge, CExtPopupMenuWnd* pPopup,
                               LPARAM lParam) override;
    void PaintStatusBarItem(CDC& dc, StatusBarItemParams& params) override;
    bool PaintInheritedBackground(bool bClient, CDC& dc, CWnd* pWnd, LPARAM lParam) override;
    void PaintTextField(CDC& dc, const TextFieldParams& params) override;
    bool AdjustDockMarkerColors(int nKind, HBITMAP hNormal, COLORREF clrNormalKey, HBITMAP hHover,
                                COLORREF clrHoverKey) override;
    void PaintDockingHighlight(COLORREF* pPixels, int nWidth, int nHeight, bool bTabShape, bool bTabTop,
                               const CRect& rcBody, const CRect& rcTab, COLORREF clrFill, COLORREF clrBorder,
                               int nBorderWidth) override;

    struct
    {
        bool IconHoverShadow : 1;
        bool XpFrameOutline : 1;
        bool GradientExpandButton : 1;
    } XpFlags = {true, true, false};
    const CExtGlyphBitmap* ExpandButtonGlyphs[4] = {};
    int GutterColorIndices[6] = {-1, -1, -1, -1, -1, -1};
    int ButtonGradientIndices[6] = {-1, -1, -1, -1, -1, -1};
};

class CExtPaintManagerOffice2003 : public CExtPaintManagerXP
{
    DECLARE_DYNCREATE(CExtPaintManagerOffice2003)
public:
    CExtPaintManagerOffice2003();

    int GetThemeId() const override;
    bool IsLunaSchemeUsed() override;
    COLORREF GetShadowColor() override;
    void AdjustBarClientRect(CExtControlBar* pBar, RECT* pRect) override;
    int GetToolBarRowGap(CExtToolControlBar* pBar) override;
    bool HasToolBarRowBackground(CExtToolControlBar* pBar) override;
    void InitColorTable() override;
    void PaintToolBarRowBackground(CDC& dc, CExtToolControlBar* pBar, int nLastButtonInRow, const RECT& rcRow) override;
    void PaintToolBarExpandButton(CDC& dc, const RECT& rc, bool bHorz, bool bBarCompletelyVisible, bool bEnabled,
                                  bool bPushed, bool bHover, CObject* pHelperSrc, LPARAM lParam,
                                  bool bTransparentBackground) override;
    void PaintMenuExpandButton(CDC& dc, const RECT& rc, bool bPushed, bool bHover, CObject* pHelperSrc,
                               LPARAM lParam) override;
    void PaintMenuTearOffButton(CDC& dc, const RECT& rc, bool bHover, bool bPushed, CObject* pHelperSrc,
                                LPARAM lParam) override;
    int GetMenuExpandButtonHeight() override;
    void PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect& rcTabItemsArea,
                            const CRect& rcTabNearBorderArea, DWORD dwOrientation, bool bGrouped, CExtTabWnd* pTabWnd,
                            LPARAM lParam) override;
    void PaintSeparator(CDC& dc, const RECT& rc, bool bHorz, bool bTransparentBackground, CObject* pHelperSrc,
                        LPARAM lParam) override;
    void PaintBarCaption(CDC& dc, BarCaptionParams& params) override;
    void PaintBarFrame(CDC& dc, BarFrameParams& params) override;
    void PaintControlFrame(CDC& dc, ControlFrameParams& params) override;
    void PaintComboFrame(CDC& dc, ComboFrameParams& params) override;
    bool GetExpandButtonStyleBit() override;
    void PaintMenuCombinedArea(CDC& dc, const RECT& rcOuter, const RECT& rcInner, int nEdge, CExtPopupMenuWnd* pPopup,
                               LPARAM lParam) override;
    void PaintStatusBarItem(CDC& dc, StatusBarItemParams& params) override;
    bool IsBackgroundInherited(CWnd* pWnd, bool bFlag) override;
    bool PaintFrameBackground(bool bClient, CDC& dc, const RECT& rcFrame, const RECT& rcPaint, LPARAM lParam) override;
    bool PaintInheritedBackground(bool bClient, CDC& dc, CWnd* pWnd, LPARAM lParam) override;
    bool PaintToolBarBackground(CDC& dc, const RECT& rc, CExtToolControlBar* pBar, LPARAM lParam) override;
    bool PaintDockBarClientArea(CDC& dc, const RECT& rc, CWnd* pWnd, LPARAM lParam) override;
    SIZE* GetToolBarSizeAdjustment(SIZE* pSize, bool bHorz) override;
    COLORREF GetIconAlphaColor() override;
    double GetIconAlphaFactor() override;
    SIZE* GetToolBarButtonExtraSpace(SIZE* pSize) override;
    void PaintResizingGripper(CDC& dc, const RECT& rc, CWnd* pWnd, LPARAM lParam) override;
    bool AdjustDockMarkerColors(int nKind, HBITMAP hNormal, COLORREF clrNormalKey, HBITMAP hHover,
                                COLORREF clrHoverKey) override;
    void PaintDockingHighlight(COLORREF* pPixels, int nWidth, int nHeight, bool bTabShape, bool bTabTop,
                               const CRect& rcBody, const CRect& rcTab, COLORREF clrFill, COLORREF clrBorder,
                               int nBorderWidth) override;
    void PaintTrackedButtonBackground(CDC& dc, CExtBarButton* pButton, LPARAM lParam) override;
    // Added by the Office 2003 family.
    virtual bool GetLunaBaseColors(COLORREF* pClrFill, COLORREF* pClrAccent);
    virtual void PaintGradientBackground(CDC& dc, RECT rc, bool bHorz, CExtControlBar* pBar, LPARAM lParam,
                                         COLORREF clrLeft, COLORREF clrRight);

    int ToolBarEdgeColorIndex = -1;
};

class CExtPaintManagerStudio2005 : public CExtPaintManagerOffice2003
{
    DECLARE_DYNCREATE(CExtPaintManagerStudio2005)
public:
    CExtPaintManagerStudio2005() = default;

    int GetThemeId() const override;
    bool IsLunaSchemeUsed() override;
    void InitColorTable() override;
    void GetTabStripColors(COLORREF* pClrBorderLight, COLORREF* pClrBorderDark, COLORREF* pClrFaceLight,
                           COLORREF* pClrFaceDark, CExtTabWnd* pTabWnd, LPARAM lParam) override;
    void PaintTabItem(CDC& dc, const CRect& rcTabItemsArea, bool bTopOrLeft, bool bHorizontal, bool bSelected,
                      bool bCenterText, bool bGrouped, bool bCenterLoneIcon, bool bBottomUpText, const CRect& rcItem,
                      CSize sizeTextMeasured, int nTextHeight, CFont* pFont, const CString& sText, CExtCmdIcon* pIcon,
                      CExtTabWnd* pTabWnd, LONG nItemIndex, COLORREF clrForceText, COLORREF clrForceTabBk,
                      COLORREF clrForceTabBorderLT, COLORREF clrForceTabBorderRB,
                      COLORREF clrForceTabSeparator) override;
    void PaintTabClientArea(CDC& dc, const CRect& rcClient, const CRect& rcTabItemsArea,
                            const CRect& rcTabNearBorderArea, DWORD dwOrientation, bool bGrouped, CExtTabWnd* pTabWnd,
                            LPARAM lParam) override;
    void GetTabMarginMetrics(CExtTabWnd* pTabWnd, int* pMargin1, int* pMargin2, int* pMargin3) override;
    void AdjustTabItemSize(CExtTabWnd* pTabWnd, LONG nItemIndex, CDC& dc, SIZE* pSize) override;
    void PaintBarNcButton(CDC& dc, BarNcButtonParams& params) override;
    void PaintBarCaption(CDC& dc, BarCaptionParams& params) override;
    void PaintBarFrame(CDC& dc, BarFrameParams& params) override;
    int GetThemeDockingType() override;
    int GetAutoTabStyleOption() override;
    bool AdjustDockMarkerColors(int nKind, HBITMAP hNormal, COLORREF clrNormalKey, HBITMAP hHover,
                                COLORREF clrHoverKey) override;
    void PaintDockingHighlight(COLORREF* pPixels, int nWidth, int nHeight, bool bTabShape, bool bTabTop,
                               const CRect& rcBody, const CRect& rcTab, COLORREF clrFill, COLORREF clrBorder,
                               int nBorderWidth) override;
    bool GetLunaBaseColors(COLORREF* pClrFill, COLORREF* pClrAccent) override;
};

class CExtPaintManagerNativeXP : public CExtPaintManager
{
    DECLARE_DYNCREATE(CExtPaintManagerNativeXP)
public:
    CExtPaintManagerNativeXP() = default;

    int GetThemeId() const override;
    bool IsLunaSchemeUsed() override;
    void InitColorTable() override;
};

typedef BOOL(WINAPI* ExtPlaySoundFn)(LPCSTR pszSound, HMODULE hModule, DWORD dwFlags);
typedef HANDLE(WINAPI* ExtCreateThreadFn)(LPSECURITY_ATTRIBUTES pAttributes, SIZE_T nStackSize,
                                          LPTHREAD_START_ROUTINE pfnStart, LPVOID pParameter, DWORD dwFlags,
                                          LPDWORD pThreadId);

// What tests change to put the themes in a known situation.
struct ExtPaintTestHooks
{
    int nScreenBitsPerPixel = 0; // 0: the screen's own depth
    int nDcBitsPerPixel = 0;     // 0: each device context's own depth
    ExtSysColorFn pfnSysColor = nullptr;
    bool bIgnoreGradientFillFn = false;
    // The popup windows' animation clock: clock() when null.
    clock_t (*pfnClock)() = nullptr;
    // The menu sounds: PlaySoundA and CreateThread when null.
    ExtPlaySoundFn pfnPlaySound = nullptr;
    ExtCreateThreadFn pfnCreateThread = nullptr;
};
ExtPaintTestHooks& ExtTestHooks();

class CExtPaintManagerHolder
{
public:
    enum e_luna_scheme
    {
        LunaNone = 0,
        LunaBlue = 1,
        LunaOlive = 2,
        LunaSilver = 3
    };
    struct OsFlagBits
    {
        bool Win32s : 1;
        bool Win9x : 1;
        bool Win95 : 1;
        bool Win98 : 1;
        bool Win98OrLater : 1;
        bool WinNT : 1;
        bool WinNT4 : 1;
        bool Win2000 : 1;
        bool WinXP : 1;
        bool WinNT4OrLater : 1;
        bool Win2000OrLater : 1;
        bool WinXPOrLater : 1;
        bool TaskBandColorsRead : 1;
    };
    typedef BOOL(WINAPI* GradientFillFnType)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    typedef BOOL(WINAPI* AlphaBlendFnType)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    typedef BOOL(WINAPI* TransparentBltFnType)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
    typedef BOOL(WINAPI* AnimateWindowFnType)(HWND, DWORD, DWORD);
    typedef BOOL(WINAPI* SetLayeredWindowAttributesFnType)(HWND, COLORREF, BYTE, DWORD);
    typedef BOOL(WINAPI* UpdateLayeredWindowFnType)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                                    DWORD);

    CExtPaintManagerHolder();
    ~CExtPaintManagerHolder();
    CExtPaintManagerHolder(const CExtPaintManagerHolder&) = delete;
    CExtPaintManagerHolder& operator=(const CExtPaintManagerHolder&) = delete;

    CExtPaintManager* operator->() { return PaintManager; }
    CExtPaintManager* GetPM() { return PaintManager; }
    bool InstallPaintManager(CExtPaintManager* pNewTheme);
    bool EnsurePaintManager();
    void DetectLunaScheme();
    UINT GetMouseWheelScrollLines();

    void HandleSysColorChange(CWnd* pWnd);
    void HandleSettingChange(CWnd* pWnd, WPARAM wParam, LPARAM lParam);
    void HandleDisplayChange(CWnd* pWnd, int nBitsPerPixel, int cx, int cy);
    void HandleThemeChanged(CWnd* pWnd, WPARAM wParam, LPARAM lParam);
    // The one window of a frame whose system notifications reach the theme.
    static bool IsSysNotifyRelayWindow(CWnd* pWnd);
    // For the windows that pass the four system notifications on: after
    // the framework's own handling, the matching Handle... call.
    static bool IsSysNotifyMessage(UINT message);
    void RelaySysNotify(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);

    CExtPaintManager* PaintManager = nullptr;
    bool WheelScrollLinesCached = false;
    UINT WheelScrollLines = 0;
    OSVERSIONINFOA OsVersionInfo = {};
    OsFlagBits OsFlags = {};
    COLORREF TaskBandColors[7] = {};
    CExtVisualStylesApi VisualStyles;
    int LunaScheme = LunaNone;
    HMODULE Msimg32Module = nullptr;
    GradientFillFnType GradientFillFn = nullptr;
    AlphaBlendFnType AlphaBlendFn = nullptr;
    TransparentBltFnType TransparentBltFn = nullptr;
    HMODULE User32Module = nullptr;
    AnimateWindowFnType AnimateWindowFn = nullptr;
    SetLayeredWindowAttributesFnType SetLayeredWindowAttributesFn = nullptr;
    UpdateLayeredWindowFnType UpdateLayeredWindowFn = nullptr;
};

extern CExtPaintManagerHolder g_PaintManager;
