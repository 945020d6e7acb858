#include "framework/core/AfxGeometry.h"

#include <algorithm>

BOOL CRect::EqualRect(LPCRECT lprc) const
{
    return left == lprc->left && top == lprc->top && right == lprc->right && bottom == lprc->bottom;
}

void CRect::SwapLeftRight()
{
    std::swap(left, right);
}

void CRect::InflateRect(int l, int t, int r, int b)
{
    left -= l;
    top -= t;
    right += r;
    bottom += b;
}

void CRect::OffsetRect(int x, int y)
{
    left += x;
    right += x;
    top += y;
    bottom += y;
}

void CRect::NormalizeRect()
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
}

BOOL CRect::IntersectRect(LPCRECT lprc1, LPCRECT lprc2)
{
    CRect rc(std::max(lprc1->left, lprc2->left), std::max(lprc1->top, lprc2->top), std::min(lprc1->right, lprc2->right),
             std::min(lprc1->bottom, lprc2->bottom));
    if (rc.IsRectEmpty())
    {
        SetRectEmpty();
        return FALSE;
    }
    *this = rc;
    return TRUE;
}

BOOL CRect::UnionRect(LPCRECT lprc1, LPCRECT lprc2)
{
    CRect a(lprc1), b(lprc2);
    if (a.IsRectEmpty())
        a = b;
    else if (!b.IsRectEmpty())
        a.SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                  std::max(a.bottom, b.bottom));
    if (a.IsRectEmpty())
    {
        SetRectEmpty();
        return FALSE;
    }
    *this = a;
    return TRUE;
}
