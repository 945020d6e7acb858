// The rules of a popup-menu item that need no window: how its text splits
// into caption and accelerator, which character is its mnemonic, and how
// large it is once its text has been measured.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CString.h"

#include <functional>

class CExtMenuItemRules
{
public:
    // The part before the first TAB is the caption, the part after it the
    // accelerator; without a TAB the accelerator is left as it was.
    static void SplitPopupText(const CString& sText, CString& sCaption, CString& sAccel);
    // The character after the first '&', as written; 0 when there is no '&'
    // or it is the last character.
    static char MnemonicOf(const CString& sText);
    // The text without its '&' marks: what a menu measures.
    static CString StripAmpersands(CString sText);

    struct ItemShape
    {
        bool Separator = false;
        bool ToolButton = false;
        bool SubMenu = false;
        bool Bold = false;
        bool IconOnly = false; // no-text flag on an item with an icon
        bool CustomHandler = false;
        bool InplaceEdit = false;
        int InplaceEditWidth = 0;
        CSize IconSize; // empty: no icon
        int SeparatorHeight = 0;
    };
    struct ItemSize
    {
        int Width = 0;
        int Height = 0;
        int IconAreaWidth = 0;
    };
    // The item's content size and icon-column width; measureText gives the
    // size of the measured string in the item's font and is called only
    // when the text counts.
    static ItemSize MeasureItem(const ItemShape& shape, const std::function<CSize()>& measureText);
};
