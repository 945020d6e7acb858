// Tool bars, the menu bar and the bar buttons, with the process-wide flag
// by which bars and popup menus hand menu tracking to each other.
#pragma once

#include "framework/core/CArray.h"
#include "uitoolkit/docking/ExtControlBar.h"

class CExtCmdIcon;
class CExtPopupMenuWnd;
class CExtToolControlBar;

class CExtBarButton : public CObject
{
    DECLARE_DYNAMIC(CExtBarButton)
public:
    explicit CExtBarButton(CExtToolControlBar* pBar = nullptr) : m_pBar(pBar) {}

    CExtToolControlBar* GetBar() const { return m_pBar; }
    // The button's rectangle in the bar's client coordinates.
    virtual CRect Rect() const { return m_rc; }
    virtual CExtCmdIcon* GetIconPtr() { return nullptr; }
    bool IsSeparatedDropDown() const { return (m_nFlags & SplitFlag) != 0; }
    void SetSeparatedDropDown(bool bSplit)
    {
        m_nFlags = static_cast<BYTE>(bSplit ? m_nFlags | SplitFlag : m_nFlags & ~SplitFlag);
    }

    CRect m_rc;

protected:
    enum : BYTE
    {
        SplitFlag = 0x01
    };
    CExtToolControlBar* m_pBar;
    BYTE m_nFlags = 0;
};

class CExtBarColorButton : public CExtBarButton
{
    DECLARE_DYNAMIC(CExtBarColorButton)
public:
    explicit CExtBarColorButton(CExtToolControlBar* pBar = nullptr) : CExtBarButton(pBar) {}
};

class CExtBarContentExpandButton : public CExtBarButton
{
    DECLARE_DYNAMIC(CExtBarContentExpandButton)
public:
    explicit CExtBarContentExpandButton(CExtToolControlBar* pBar = nullptr) : CExtBarButton(pBar) {}
};

class CExtToolControlBar : public CExtControlBar
{
    DECLARE_DYNAMIC(CExtToolControlBar)
public:
    // Option bits of m_nToolBarOptions.
    enum e_tool_bar_option : BYTE
    {
        TbOptDefault = 0x01,
        TbOptXpExpandButton = 0x02,   // keep the XP expand button shape
        TbOptGradientUndocked = 0x04, // themed gradient also outside a dock bar
        TbOptNoThemedFrame = 0x08,    // parent's background through a docked bar
    };

    // The rows of the tool bar that hosts a window.
    struct BarRowsInfo
    {
        BarRowsInfo() = default;
        ~BarRowsInfo() = default;
        // Walks up from hWnd to its tool bar; false when it is not on one.
        bool Collect(HWND hWnd);
        void MapToClient();
        void MapToWindow();
        void Paint(CDC* pDC);

        CExtToolControlBar* m_pBar = nullptr;
        HWND m_hWndTarget = nullptr;
        bool m_bFloating = false;
        CArray<CRect, const CRect&> m_arrRowRects; // the bar's client coordinates
        CArray<int, int> m_arrLastButtons;
    };

    // Bits of m_nTbFlags.
    enum e_tool_bar_flag : BYTE
    {
        TbFlagFloatingBordersAreCaption = 0x02, // every border of its floating frame drags it
    };

    CExtToolControlBar();
    ~CExtToolControlBar() override;

    // Tool bars take the toolkit's own drag loop and the fixed-size drop
    // calculation.
    bool IsMarkerDockingStyle() const override { return true; }
    bool IsPaneDocking() const override { return false; }
    static CSize GetDefaultButtonSize() { return CSize(23, 22); }

    int GetButtonsCount() const { return static_cast<int>(m_arrButtons.GetSize()); }
    CExtBarButton* GetButton(int nIndex) const
    {
        return nIndex >= 0 && nIndex < m_arrButtons.GetSize() ? m_arrButtons[nIndex] : nullptr;
    }
    // The button whose popup menu is open, -1 when none.
    int GetMenuTrackingButton() const { return m_nBtnIdxMenuTracking; }
    static void CancelTrackingInAllBars();
    // Paints the button whose menu is open into the menu's picture.
    static void PaintTrackedButton(LPVOID pCookie, CDC& dcMenu, CWnd* pMenuWnd, const RECT& rcArea);

    static bool g_bMenuTracking;
    // Sent to a drop-down control in a tool bar to open its menu (LPARAM not
    // 0: select the first item).
    static const UINT g_nMsgContinueTrackMenu;

    BYTE m_nToolBarOptions = TbOptDefault;
    BYTE m_nTbFlags = TbFlagFloatingBordersAreCaption;

protected:
    CArray<CExtBarButton*, CExtBarButton*> m_arrButtons; // owned
    int m_nBtnIdxMenuTracking = -1;
};

class CExtMenuControlBar : public CExtToolControlBar
{
    DECLARE_DYNAMIC(CExtMenuControlBar)
public:
    CExtMenuControlBar() = default;
    bool OccupiesWholeRow() const override { return true; }
};

class CExtPanelControlBar : public CExtToolControlBar
{
    DECLARE_DYNAMIC(CExtPanelControlBar)
public:
    CExtPanelControlBar() { m_nToolBarOptions |= TbOptXpExpandButton; }
};
