// The toolkit's control bars and the docking classes around them: dock
// bars of the frame's sides, floating frames, the auto-hide slider and
// areas, tabbed docking groups, caption buttons and docking-marker windows.
//
// These are the classes themes and relays test and query; the docking
// issues fill in their behaviour.
#pragma once

#include "framework/core/CArray.h"
#include "framework/win/ControlBar.h"
#include "framework/win/DockBar.h"
#include "framework/win/MiniDockFrameWnd.h"
#include "uitoolkit/bars/ExtTabWnd.h"
#include "uitoolkit/paint/ExtPaintManager.h"

class CExtControlBar : public CControlBar
{
    DECLARE_DYNAMIC(CExtControlBar)
public:
    // Option bits of m_nBarOptions.
    enum e_bar_option : BYTE
    {
        BarOptHorzCaption = 0x01,  // caption at the top whatever the side
        BarOptDockedLook = 0x04,   // sized and painted as docked outside a dock bar
        BarOptFloatingLook = 0x40, // answered by the floating-frame query
    };

    CExtControlBar() = default;

    bool IsFloating() const;
    bool IsDocked() const;
    bool IsDockedHorizontally() const;
    bool IsDockedVertically() const;
    bool HasGripper(bool* pbHorizontalCaption = nullptr, bool* pbCaptionShown = nullptr) const;
    // Whether a floating frame draws this bar without its edge, dotted
    // outline and trimmed caption.
    virtual bool IsFloatingLookWanted() const { return (m_nBarOptions & BarOptFloatingLook) != 0; }

    static CExtControlBar* GetDraggedBar() { return g_pDraggedBar; }
    static bool IsFrameHelpMode(CWnd* pWnd);
    static void ShowCommandStatusText(CWnd* pWnd, UINT nCommandId);
    // The process-wide docking type: the application's choice, or the
    // installed theme's when it is -1.
    static int GetDockingType();

    // Floats the bar with its floating frame's top-left corner at a screen point.
    virtual void FloatAt(int x, int y, DWORD dwFlags);

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    BYTE m_nBarOptions = 0;
    static CExtControlBar* g_pDraggedBar;
    static int g_nDockingTypeSetting;
};

class CExtDockBar : public CDockBar
{
    DECLARE_DYNCREATE(CExtDockBar)
public:
    explicit CExtDockBar(UINT nCircleNo = 0) : m_nCircleNo(nCircleNo) {}
    UINT GetCircleNo() const { return m_nCircleNo; }

protected:
    // Which ring of dock bars around the frame this one belongs to (0: the
    // outermost).
    UINT m_nCircleNo;
};

class CExtDockOuterBar : public CExtDockBar
{
    DECLARE_DYNCREATE(CExtDockOuterBar)
public:
    CExtDockOuterBar() = default;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CExtMiniDockFrameWnd : public CMiniDockFrameWnd
{
    DECLARE_DYNCREATE(CExtMiniDockFrameWnd)
public:
    CExtMiniDockFrameWnd() = default;
    CExtControlBar* GetFloatingExtBar() const;
};

class CExtDynAutoHideSlider : public CWnd
{
    DECLARE_DYNAMIC(CExtDynAutoHideSlider)
public:
    CExtDynAutoHideSlider() = default;
};

class CExtDynTabWnd : public CExtTabWnd
{
    DECLARE_DYNAMIC(CExtDynTabWnd)
public:
    CExtDynTabWnd() = default;
};

class CExtDynAutoHideArea : public CExtTabWnd
{
    DECLARE_DYNAMIC(CExtDynAutoHideArea)
public:
    CExtDynAutoHideArea() = default;
};

// The menu button in a control bar's caption.
class CExtBarNcAreaButtonMenu : public CObject
{
    DECLARE_DYNAMIC(CExtBarNcAreaButtonMenu)
public:
    explicit CExtBarNcAreaButtonMenu(CExtControlBar* pBar) : m_pBar(pBar) {}
    CExtControlBar* GetBar() const { return m_pBar; }

protected:
    CExtControlBar* m_pBar;
};

// A docking-marker window: a layered tool window in the shape of its image.
class CExtDynDockMarkerWnd : public CWnd
{
    DECLARE_DYNAMIC(CExtDynDockMarkerWnd)
public:
    // Takes ownership of both bitmaps, the region and the frame bitmap; the
    // window handle stays null when the window cannot be made.
    CExtDynDockMarkerWnd(LPARAM lOwnerParam, int nKind, HBITMAP hBmpNormal, HBITMAP hBmpHover, HRGN hRgn, int nLeft,
                         int nTop, int nRight, int nBottom, HBITMAP hBmpFrame, int nImageOffsetX, int nImageOffsetY,
                         bool bOuter);
    ~CExtDynDockMarkerWnd() override;

    // Destroys every marker window of the array (or leaves it to destroy
    // itself later) and empties the array.
    static void DestroyMarkers(CExtDockMarkerWndArray& arrWnds, bool bDelayed);

    int m_nKind;
    bool m_bOuter;
    HWND m_hWndHoverPart = nullptr; // the compass part under the mouse
    LPARAM m_lOwnerParam;

protected:
    void PostNcDestroy() override;
    afx_msg void OnPaint();

    HBITMAP m_hBmpNormal, m_hBmpHover, m_hBmpFrame;
    HRGN m_hRgn;
    int m_nImageOffsetX, m_nImageOffsetY;
    bool m_bAutoDelete = false;

    DECLARE_MESSAGE_MAP()
};
