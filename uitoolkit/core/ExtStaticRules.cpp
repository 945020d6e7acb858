#include "uitoolkit/core/ExtStaticRules.h"

CRect CExtStaticRules::GroupCaptionArea(const CRect& rcClient)
{
    return CRect(rcClient.left + 9, rcClient.top, rcClient.right - 9, rcClient.bottom);
}

CRect CExtStaticRules::PlaceGroupCaption(const CRect& rcArea, int nAlign, CSize sizeText)
{
    CRect rc = rcArea;
    switch (nAlign)
    {
    case 1: rc.left = rc.right - sizeText.cx; break;
    case 2:
        rc.left = rcArea.left + (rcArea.Width() - sizeText.cx) / 2;
        rc.right = rc.left + sizeText.cx;
        break;
    default: rc.right = rc.left + sizeText.cx; break;
    }
    rc.bottom = rc.top + sizeText.cy;
    return rc;
}

int CExtStaticRules::GroupFrameTop(const CRect& rcClient, bool bHasCaption, const CRect& rcCaption)
{
    if (!bHasCaption)
        return rcClient.top + 6;
    return rcClient.top + rcCaption.Height() / 2;
}

bool CExtStaticRules::IsPlatformPaintedLabelKind(int nKind)
{
    return (nKind >= 4 && nKind <= 10) || (nKind >= 13 && nKind <= 18);
}

UINT CExtStaticRules::LabelTextFlags(int nKind, bool bCenterImage, const CString& sText)
{
    UINT nFlags = 0;
    switch (nKind)
    {
    case KindCenter: nFlags = TextCenter | TextWordBreak; break;
    case KindRight: nFlags = TextRight | TextWordBreak; break;
    case KindLeftNoWordWrap: break;
    default: nFlags = TextWordBreak; break;
    }
    if (sText.Find('\t') >= 0)
        nFlags |= TextExpandTabs;
    if (bCenterImage && sText.Find('\r') < 0 && sText.Find('\n') < 0)
        nFlags |= TextSingleLine | TextVCenter;
    return nFlags | TextVCenter | TextEndEllipsis;
}
