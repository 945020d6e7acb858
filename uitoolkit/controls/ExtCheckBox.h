// CExtCheckBox and CExtRadioButton: themed check boxes and radio buttons.
// They keep the push button's subclassing, hover and press tracking,
// tooltips and mnemonics, but paint a check glyph and the caption
// themselves; a click cycles the check state (two or three states), and a
// radio button keeps one button of its dialog group checked and moves the
// check with the arrow keys. The glyph comes from the theme when it draws
// one, else from the platform's visual styles, else from the classic frame
// control.
#pragma once

#include "uitoolkit/controls/ExtButton.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <vector>

class CExtCheckBox : public CExtButton
{
    DECLARE_DYNCREATE(CExtCheckBox)
public:
    enum e_box_pressed : BYTE
    {
        BOX_MOUSE_DOWN = 0x01,
        BOX_SPACE_DOWN = 0x02,
    };
    static constexpr int kGlyphSize = 13;

    virtual void RenderCheckBox(CDC& dc, CExtPaintManager::PushButtonParams& params);
    virtual void DrawCheckGlyph(CDC& dc, const CRect& rcGlyph, const CExtPaintManager::PushButtonParams& params);
    // True when the theme drew the glyph of the state index.
    virtual bool DrawBox(CDC& dc, const CRect& rcGlyph, int nStateIndex);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnClick(bool bByKeyboard, bool bArrowPart) override;
    void PaintFace(CDC& dc, bool bTransparentBackground, bool bHonourMirroring) override;

    BYTE m_bBoxPressed = 0;

protected:
    // The glyph state index 0 to 11 of the check state and the record.
    int GetGlyphStateIndex(const CExtPaintManager::PushButtonParams& params) const;
    // The visual style's part in its state, else the classic frame control
    // of the type with the state flags of the record.
    void DrawPlatformGlyph(CDC& dc, const CRect& rcGlyph, int nPart, int nVisualState, UINT nClassicType,
                           const CExtPaintManager::PushButtonParams& params);
    void Repaint();
};

class CExtRadioButton : public CExtCheckBox
{
    DECLARE_DYNCREATE(CExtRadioButton)
public:
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnClick(bool bByKeyboard, bool bArrowPart) override;
    void DrawCheckGlyph(CDC& dc, const CRect& rcGlyph, const CExtPaintManager::PushButtonParams& params) override;

protected:
    bool IsRadioKind() const;
    // The other radio buttons of the dialog group in walking order from
    // this one.
    std::vector<CExtRadioButton*> GetGroupRadios(bool bPrevious) const;
    // The next visible, enabled radio button of the dialog group in the
    // direction, or null.
    CExtRadioButton* FindGroupNeighbour(bool bPrevious) const;
    void UncheckRestOfGroup();
    void NotifyParent();
};
