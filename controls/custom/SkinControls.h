// The program's skinned controls: thin subclasses of the toolkit's themed
// controls for the program's own dialogs and the cell preview. Each changes
// one drawing step of its base: the check box square comes from a skin
// bitmap, the group box frame is rounded while a skin is active, the edit
// frame always looks hovered and enabled, the combo box frame stands out
// from the theme, and the preview button paints a plain background.
#pragma once

#include "framework/win/ImageList.h"
#include "uitoolkit/controls/ExtButton.h"
#include "uitoolkit/controls/ExtCheckBox.h"
#include "uitoolkit/controls/ExtComboBox.h"
#include "uitoolkit/controls/ExtEdit.h"
#include "uitoolkit/controls/ExtGroupBox.h"

// The skin of the check boxes: 0 none (the toolkit's own box), 1 or 2 the
// skin bitmap of that number. The main frame sets it with the theme.
extern int g_nCheckBoxSkin;

// The bitmap resource of a skin, 0 for none.
UINT GetCheckBoxSkinBitmap(int nSkin);

// Fills an empty image list with the images of a strip bitmap, each
// cxImage wide and as high as the bitmap; the mask colour is transparent.
// A null module means the current resource module.
bool LoadMaskedImageList(CImageList& imageList, UINT nBitmapID, COLORREF clrMask, int cxImage,
                         HINSTANCE hResources = nullptr, UINT nColorFlags = ILC_COLOR24, UINT nMaskFlags = ILC_MASK);

class CSkinCheckBox : public CExtCheckBox
{
public:
    // Draws the skin's picture of the state (unchecked, normal for a state
    // outside the twelve); false without a skin or when the picture could
    // not be drawn, so that the ordinary box is drawn.
    bool DrawBox(CDC& dc, const CRect& rcGlyph, int nStateIndex) override;
};

class CSkinGroupBox : public CExtGroupBox
{
public:
    void DrawFrame(CDC& dc, const CRect& rcFrame) override;
};

class CSkinEdit : public CExtEdit
{
    DECLARE_DYNCREATE(CSkinEdit)
public:
    void DrawEditFrame(const RECT& rc, CDC* pDC) override;
};

class CSkinComboBox : public CExtComboBox
{
protected:
    void PaintComboFrameParams(CDC& dc, CExtPaintManager::ComboFrameParams& params) override;
};

class CPreviewButton : public CExtButton
{
public:
    // Paints over the button's own background colour (theme colour 1000
    // without one), never the parent's, and keeps the button's font as it is.
    void PaintFace(CDC& dc, bool bTransparentBackground, bool bHonourMirroring) override;
};
