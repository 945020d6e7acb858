// CExtComboBoxBase: the toolkit's combo box. Its edit part is subclassed as
// a toolkit edit, typed text is completed from the list, the colours are
// themable, a disabled combo keeps a read-only (still selectable) edit, and
// it keeps its own tooltip. CExtComboBox adds the themed look: the platform
// paints the control off-screen and the theme draws the frame and drop-down
// button over it in hover, pressed and focus states; hover is polled with a
// timer, and a left click opens or closes the list without the platform's
// own click handling.
#pragma once

#include "framework/win/Controls.h"
#include "framework/win/GdiObjects.h"
#include "uitoolkit/commands/ExtHookSink.h"
#include "uitoolkit/controls/ExtEdit.h"
#include "uitoolkit/paint/ExtPaintManager.h"

class CExtComboBoxBase;

// The combo's edit part.
class CExtComboEditCtrlHook : public CExtEditBase
{
    DECLARE_DYNAMIC(CExtComboEditCtrlHook)
public:
    // The parent as a toolkit combo box, or null.
    CExtComboBoxBase* GetComboBox() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CExtComboBoxBase : public CComboBox, public CExtMouseCaptureSink
{
    DECLARE_DYNAMIC(CExtComboBoxBase)
public:
    enum e_combo_options : BYTE
    {
        OPT_AUTO_COMPLETE = 0x01,
        OPT_EDIT_COMMANDS = 0x02,
        OPT_COMPLETE_PENDING = 0x04,
    };

    CExtComboBoxBase();
    ~CExtComboBoxBase() override;

    COLORREF GetBkColor() const { return m_clrBack; }
    COLORREF GetTextColor() const { return m_clrText; }
    void SetTooltipText(LPCTSTR lpszText, bool bActivate = true);
    void ActivateTooltip(bool bActivate = true);

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual int GetTooltipMaxWidth(const CString& sText) const;
    virtual void SubclassEditCtrl();

    BYTE m_bComboOptions = OPT_AUTO_COMPLETE | OPT_EDIT_COMMANDS | OPT_COMPLETE_PENDING;
    CExtComboEditCtrlHook m_wndEditHook;
    COLORREF m_clrBack = static_cast<COLORREF>(-1);
    COLORREF m_clrBackBrush = static_cast<COLORREF>(-1);
    CBrush m_brushBack;
    COLORREF m_clrText = static_cast<COLORREF>(-1);
    CToolTipCtrl m_wndToolTip;

protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg BOOL OnEditUpdate();
    DECLARE_MESSAGE_MAP()
};

class CExtComboBox : public CExtComboBoxBase
{
    DECLARE_DYNAMIC(CExtComboBox)
public:
    enum e_hover_state : BYTE
    {
        HOVER_ON = 0x01,
        HOVER_TIMER = 0x02,
    };

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void PaintCombo(bool bPressed, bool bHover);
    // A null device context means the control's own.
    virtual void DrawComboFrame(bool bPressed, bool bHover, CDC* pDC = nullptr);
    // Hands the frame record, its states settled, to the theme; a subclass
    // may restyle the record first.
    virtual void PaintComboFrameParams(CDC& dc, CExtPaintManager::ComboFrameParams& params);

    BYTE m_bHoverState = 0;
    UINT m_nHoverTimerID = 10;
    UINT m_nHoverTimerPeriod = 50;

protected:
    void StartHoverTimer();
    void OnHoverTimer();
    void OnClick();
};
