// CExtEditBase: the toolkit's edit control. A subclassed platform edit that
// carries out the standard edit commands itself (with their command-UI
// states), keeps its own tooltip and answers its control-colour message in
// themable colours. CExtEdit adds a themed frame drawn over the non-client
// border in normal, hover and focus states; hover is polled with a timer
// while the cursor is near the control.
#pragma once

#include "framework/win/Controls.h"
#include "framework/win/GdiObjects.h"
#include "uitoolkit/core/ExtEditRules.h"

class CExtEditBase : public CEdit
{
    DECLARE_DYNAMIC(CExtEditBase)
public:
    CExtEditBase();
    ~CExtEditBase() override;

    void SetTooltipText(LPCTSTR lpszText, bool bActivate = true);
    void ActivateTooltip(bool bActivate = true);
    // What the edit commands' enabled states depend on, read from the
    // control and the clipboard.
    CExtEditRules::EditState GetEditState() const;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual int GetTooltipMaxWidth(const CString& sText) const;

    BYTE m_bHandleEditCommands = 1; // bit 0: the edit commands are the control's own
    CToolTipCtrl m_wndToolTip;
    COLORREF m_clrBack = static_cast<COLORREF>(-1);
    COLORREF m_clrBackBrush = static_cast<COLORREF>(-1);
    CBrush m_brushBack;
    COLORREF m_clrText = static_cast<COLORREF>(-1);

protected:
    void DoEditCommand(UINT nID);
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()
};

class CExtEdit : public CExtEditBase
{
    DECLARE_DYNAMIC(CExtEdit)
public:
    static constexpr UINT_PTR kHoverTimerID = 1;
    static constexpr UINT kHoverTimerPeriod = 50;

    virtual void RedrawFrame();
    // Lets the theme draw the control frame on the rectangle; a null device
    // context means the control's own.
    virtual void DrawEditFrame(const RECT& rc, CDC* pDC);
    virtual bool IsEnabled() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    BYTE m_bHover = 0; // bit 0: the cursor is over the control

protected:
    void OnHoverTimer();
    void PaintNcFrame();
};
