// CExtButton: the toolkit's themed button. It subclasses a dialog button (or
// is created as one), makes it owner-drawn while keeping the button's kind,
// check state and text alignment itself, tracks hover and press with the
// mouse capture and the space bar, and paints every state through the
// current theme's push-button drawing into an off-screen device context.
// Check boxes, radio buttons and the other toolkit buttons derive from it.
#pragma once

#include "framework/win/Controls.h"
#include "framework/win/Menu.h"
#include "uitoolkit/commands/ExtHookSink.h"

class CExtCmdIcon;

class CExtButton : public CButton, public CExtMouseCaptureSink
{
    DECLARE_DYNAMIC(CExtButton)
public:
    enum e_state : BYTE
    {
        STATE_DRAW_FOCUS = 0x01,
        STATE_DRAW_BORDER = 0x02,
        STATE_HOVER = 0x04,
        STATE_PUSHED = 0x08,
        STATE_MOUSE_TRACKING = 0x10,
        STATE_KEY_PRESS = 0x20,
    };
    enum e_accel_options : BYTE
    {
        ACCEL_CLICKS = 0x01,
        ACCEL_ARROW_PART = 0x02,
    };
    static const int g_nTooltipMaxWidth = 250;

    CExtButton();
    ~CExtButton() override;

    // Icons are owned; a null normal icon makes the hover icon the normal one.
    bool SetIconFromResource(UINT nIdHover, UINT nIdNormal = 0);
    void SetIcon(HICON hIconHover, HICON hIconNormal = nullptr);
    // -1 for none; false when the id is neither a resource nor a system
    // cursor.
    bool SetButtonCursor(int nCursorId);
    void SetFlat(bool bFlat = true);
    bool GetFlat() const;
    void SetTextAlign(UINT nTextAlign);
    void SetDrawBorder(bool bEnable = true);
    void SetDrawFocusRect(bool bEnable = true);
    void SetTooltipText(const CString& sText, bool bActivate = true);
    void SetTooltipText(LPCTSTR lpszText, bool bActivate = true);
    void ActivateTooltip(bool bActivate = true);

    bool IsDefaultButton() const;
    bool IsPushButtonType() const;
    bool IsCheckOrRadio() const;
    bool Is3State() const;
    BYTE GetState() const { return m_bState; }

    virtual bool IsEnabled() const;
    virtual void OnClick(bool bByKeyboard);
    // Opens m_menu's first sub-menu as a toolkit popup below the button; the
    // chosen command goes to the parent. False without a menu.
    virtual bool TrackDropDownMenu(bool bSelectFirstItem);
    virtual bool HasDropDownMenu() const;
    virtual bool OnAccelPressed();
    virtual bool IsAccelKey(UINT nVirtualKey) const;
    virtual int GetTooltipMaxWidth(const CString& sText) const;
    virtual void PaintFace(CDC& dc, bool bTransparentBackground, bool bHonourMirroring);
    virtual void GetButtonText(CString& sText) const;
    virtual HFONT GetButtonFont() const;

    // 0: the cursor is not over the button, 1: it is.
    int HitTestCursor() const;
    void DoPaint(CDC* pDC);

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    CMenu m_menu;
    DWORD m_dwMenuTrackFlags = 4;
    BYTE m_bAccelOptions = ACCEL_CLICKS | ACCEL_ARROW_PART;
    UINT m_nTextAlign = DT_CENTER | DT_VCENTER;
    UINT m_nButtonType = 0;
    int m_nCheck = 0;
    BYTE m_bState = STATE_DRAW_FOCUS | STATE_DRAW_BORDER;
    int m_nPressedPart = 0;
    HCURSOR m_hCursor = nullptr;
    CToolTipCtrl m_wndToolTip;
    HICON m_hIconHot = nullptr;
    HICON m_hIcon = nullptr;
    COLORREF m_clrBackground = static_cast<COLORREF>(-1);
    COLORREF m_clrTextDisabled = static_cast<COLORREF>(-1);
    COLORREF m_clrTextNormal = static_cast<COLORREF>(-1);
    COLORREF m_clrTextHover = static_cast<COLORREF>(-1);
    COLORREF m_clrTextPressed = static_cast<COLORREF>(-1);

protected:
    // The face's icon for the hover state, and the focus, flat and pushed
    // looks as the button's kind and a bar parent change them.
    void PrepareFaceLook(CExtCmdIcon& icon, bool bHover, bool& bFocus, bool& bFlat, bool& bPushed);

    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnEnable(BOOL bEnable);
    DECLARE_MESSAGE_MAP()

private:
    void SetStateBits(BYTE bSet, BYTE bClear);
    void RepaintNow();
    void ReleaseOwnCapture();
    void DestroyIcons();
    void EnsureToolTip();
};
