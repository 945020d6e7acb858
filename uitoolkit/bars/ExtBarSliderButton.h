// The tool bar's slider button: the command's icon and text followed by a
// slider (no arrow buttons, a 6-pixel thumb) or a small scroll bar (arrow
// buttons, a thumb showing the page's share). The owner reads and sets the
// position; tracking changes it without a notification and no command is
// delivered. The layout arithmetic is kxtoolbar's
// (uitoolkit/core/ExtSliderLayout.h).
#pragma once

#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/core/ExtSliderLayout.h"

class CExtBarSliderButton : public CExtBarButton
{
    DECLARE_DYNCREATE(CExtBarSliderButton)
public:
    // The repeat timer of a held arrow or page area, on the bar window.
    static constexpr UINT_PTR kStepTimerID = 0x191;
    static constexpr UINT kStepPeriod = 50;

    explicit CExtBarSliderButton(CExtToolControlBar* pBar = nullptr, UINT nCmdID = 0, UINT nStyle = 0);

    // Every setter stores, lays the parts out again and answers the old
    // value; none repaints.
    virtual UINT GetScrollTotalRange() const { return m_state.nTotalRange; }
    virtual UINT SetScrollTotalRange(UINT n);
    virtual UINT GetScrollPos() const { return m_state.nPos; }
    // Not held within the range: the owner is trusted.
    virtual UINT SetScrollPos(UINT n);
    virtual UINT GetScrollPageSize() const { return m_state.nPageSize; }
    virtual UINT SetScrollPageSize(UINT n);
    virtual int GetScrollButtonExtentHorz() const { return m_state.nScrollButtonExtentHorz; }
    virtual int SetScrollButtonExtentHorz(int n);
    virtual int GetScrollButtonExtentVert() const { return m_state.nScrollButtonExtentVert; }
    virtual int SetScrollButtonExtentVert(int n);
    virtual int GetExtentHorz() const { return m_state.nExtentHorz; }
    virtual int SetExtentHorz(int n);
    virtual int GetExtentVert() const { return m_state.nExtentVert; }
    virtual int SetExtentVert(int n);
    virtual void RecalcSliderLayout();
    virtual void PaintSliderPart(CDC* pDC, int nPart, bool bHorz);

    UINT GetScrollableRange() const;
    // A part by its kxtoolbar::SliderPart index, in the bar's client
    // coordinates; empty for an index out of range.
    CRect GetPartRect(int nPart) const;
    int GetPressedPart() const { return m_nPressedPart; }
    int GetTrackedPart() const { return m_nTrackedPart; }

    void SetRect(const RECT& rc) override;
    CSize MeasureButton(CDC* pDC, CSize sizePreCalc, bool bHorz) override;
    void PaintButton(CDC* pDC, bool bHorz) override;
    void OnMouseClick(CPoint point, bool bDown) override;
    int TrackDropDownMenu(CPoint, bool, bool) override { return -1; }
    LRESULT DeliverCommand() override { return 0; }
    void SetSeparatedDropDown(bool) override {}
    void SetAutoChangeID(bool) override {}
    void SetEmbeddedCtrl(CWnd*, bool) override {}
    void SetMenu(HMENU, bool, bool) override {}
    bool IsSeparatedDropDown() const override { return false; }
    bool IsAutoChangeID() const override { return false; }
    bool HasDropDownMenu() const override { return false; }
    bool CanTrackMenu(bool) const override { return false; }
    bool IsFirstSubmenu() const override { return false; }
    bool OnCursorQuery(CPoint) override { return false; }
    HMENU GetMenu() const override { return nullptr; }

protected:
    // The bar lies horizontally, or the button is laid out as if it did.
    bool IsHorzSlider() const;
    // Runs while the left button holds a part down; the position follows
    // the steps and the thumb.
    void TrackPressedPart(CPoint ptPress, UINT nStep);
    // Stores a setter's value and lays the parts out again; the old value.
    template <typename T>
    T Store(T& field, T n)
    {
        const T nOld = field;
        field = n;
        RecalcSliderLayout();
        return nOld;
    }
    // Moves to nPos when it differs: the parts are laid out again and the
    // button repaints at once.
    bool MovePosition(UINT nPos);

    kxtoolbar::SliderState m_state;
    CRect m_parts[kxtoolbar::SliderPartCount];
    int m_nPressedPart = -1;
    int m_nTrackedPart = -1;
};
