#include "uitoolkit/core/ExtMenuItemRules.h"

#include <algorithm>

void CExtMenuItemRules::SplitPopupText(const CString& sText, CString& sCaption, CString& sAccel)
{
    const int nTab = sText.Find('\t');
    if (nTab < 0)
    {
        sCaption = sText;
        return;
    }
    sCaption = sText.Left(nTab);
    sAccel = sText.Mid(nTab + 1);
}

char CExtMenuItemRules::MnemonicOf(const CString& sText)
{
    const int nAmp = sText.Find('&');
    if (nAmp < 0 || nAmp + 1 >= sText.GetLength())
        return 0;
    return sText[nAmp + 1];
}

CString CExtMenuItemRules::StripAmpersands(CString sText)
{
    sText.Remove('&');
    return sText;
}

CExtMenuItemRules::ItemSize CExtMenuItemRules::MeasureItem(const ItemShape& shape,
                                                           const std::function<CSize()>& measureText)
{
    ItemSize size;
    size.IconAreaWidth = shape.ToolButton ? 0 : 16;
    if (shape.Separator)
    {
        size.Height = shape.SeparatorHeight;
        return size;
    }
    const bool bIcon = shape.IconSize.cx > 0 && shape.IconSize.cy > 0;
    if (!(bIcon && shape.IconOnly))
    {
        const CSize sizeText = measureText();
        size.Width = sizeText.cx + 4;
        size.Height = sizeText.cy + 4;
    }
    if (shape.Bold)
        size.Width += 5;
    int ix = 0, iy = 0;
    if (bIcon && !(shape.ToolButton && shape.InplaceEdit))
    {
        ix = std::max<int>(shape.IconSize.cx, 16);
        iy = std::max<int>(shape.IconSize.cy, 16);
        // small icons get a square cell
        if (ix <= 18 && iy < ix)
            iy = ix;
        if (shape.ToolButton)
            size.Width += ix + 4;
        size.Height = std::max(size.Height, iy + 4);
    }
    size.Height = std::max(size.Height, 22);
    if (shape.ToolButton && ix == 0)
        size.Height -= 2;
    if (!shape.ToolButton)
    {
        size.IconAreaWidth = std::max(size.Height, ix);
        if (shape.CustomHandler)
            size.IconAreaWidth = size.IconAreaWidth * 2 + 4;
        size.IconAreaWidth += 2;
        size.Width += 26;
    }
    if (shape.InplaceEdit)
    {
        size.Width += shape.InplaceEditWidth;
        if (!shape.ToolButton)
            size.Width += 12;
        size.Height -= 2;
        return size;
    }
    if (shape.ToolButton)
    {
        if (shape.SubMenu)
            size.Width += shape.IconOnly ? 12 : 15;
        size.Width += 2;
    }
    else
        size.Width += size.IconAreaWidth + 16;
    return size;
}
