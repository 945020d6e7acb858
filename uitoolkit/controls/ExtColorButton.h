// CExtColorButton: a push button whose face shows its colour as a sample
// icon and whose click opens the colour popup menu. The colour chosen there
// becomes the button's colour and is passed on to the parent; the popup's
// custom button opens a colour dialog (the platform's or the toolkit's).
#pragma once

#include "uitoolkit/controls/ExtButton.h"

class CExtColorButton : public CExtButton
{
    DECLARE_DYNAMIC(CExtColorButton)
public:
    CExtColorButton() = default;

    void OnClick(bool bByKeyboard, bool bArrowPart) override;
    bool TrackDropDownMenu(bool bSelectFirstItem) override;
    bool HasDropDownMenu() const override { return true; }
    void PaintFace(CDC& dc, bool bTransparentBackground, bool bHonourMirroring) override;
    // A 16 by 16 icon of m_clrSelected; bDestroyAfterUse tells the caller
    // that the icon was made for it.
    virtual void GetColorSampleIcon(HICON& hIcon, bool& bDestroyAfterUse);

    // Empty captions leave the popup's own.
    CString m_sDefaultColorText;
    CString m_sCustomColorText;
    bool m_bShowDefaultColor = true;
    bool m_bShowCustomColor = true;
    bool m_bUseSystemColorDialog = true;
    COLORREF m_clrDefault = static_cast<COLORREF>(-1);
    COLORREF m_clrSelected = 0;
    LPARAM m_lParamCookie = 0;

protected:
    afx_msg LRESULT OnColorChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnColorChangedFinally(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnColorCustom(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void NotifyParentFinally(COLORREF clr, LPARAM lParam) const;
};
