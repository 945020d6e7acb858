#include "uitoolkit/core/ExtPopupMenuPlacement.h"

#include <algorithm>

namespace
{

using P = CExtPopupMenuPlacement;

bool Overlaps(const CRect& a, const CRect& b)
{
    CRect both;
    return both.IntersectRect(&a, &b) != FALSE;
}

// Where the menu meets its exclude area; e is how far the two overlap.
int CombineSideOf(const CRect& r, const CRect& excl, int e)
{
    int nSide = P::CombineNone;
    if (r.bottom == excl.top - e)
        nSide = P::CombineAbove;
    if (r.top == excl.bottom - e)
        nSide = P::CombineBelow;
    if (r.left == excl.right - e)
        nSide = P::CombineRight;
    if (r.right == excl.left - e)
        nSide = P::CombineLeft;
    return nSide;
}

} // namespace

CExtPopupMenuPlacement::Result CExtPopupMenuPlacement::Place(Input in, const std::function<bool()>& onFlip)
{
    const CRect& a = in.Area;
    const int s = in.Shadow;
    for (;;)
    {
        const CRect& excl = in.Exclude;
        CRect r(in.Track.x, in.Track.y, in.Track.x + in.Size.cx, in.Track.y + in.Size.cy);

        int e = 0;
        if (in.Combined)
        {
            switch (in.Alignment)
            {
            case AlignBottom:
                r.OffsetRect(0, -1);
                e = 1;
                break;
            case AlignRight:
                r.OffsetRect(-1, 0);
                e = 1;
                break;
            case AlignTop:
                r.OffsetRect(0, 1 + s);
                e = -1 - s;
                break;
            case AlignLeft:
                if (!(in.SubMenu && in.RightToLeft))
                {
                    r.OffsetRect(1 + s, 0);
                    e = -1 - s;
                }
                break;
            default: break;
            }
        }
        if (in.RightToLeft && (in.Alignment == AlignBottom || in.Alignment == AlignTop))
            r.OffsetRect(excl.Width() - r.Width() + s, 0);

        if (r.bottom > a.bottom)
        {
            // lifted to end near the exclude area first, then up to the
            // area's bottom; a menu at a bare point opens upwards from it
            if (in.HasExclude)
                r.OffsetRect(0, excl.Height() - r.Height() + s + (in.Combined ? 0 : in.Border));
            if (r.bottom > a.bottom)
                r.OffsetRect(0, in.HasExclude ? a.bottom - r.bottom : -r.Height());
        }
        if (r.top < a.top)
            r.OffsetRect(0, a.top - r.top);
        if (r.right > a.right)
        {
            // a sub-menu first tries the other side of its parent item
            if (in.SubMenu && in.HasExclude)
                r.OffsetRect(-(excl.Width() + r.Width()), 0);
            if (r.right > a.right)
                r.OffsetRect(in.HasExclude ? a.right - r.right : -r.Width(), 0);
        }
        if (r.left < a.left)
        {
            if (in.SubMenu && in.HasExclude)
                r.OffsetRect(excl.Width() + r.Width(), 0);
            if (r.left < a.left)
                r.OffsetRect(a.left - r.left, 0);
        }

        if ((in.HasExclude || in.Combined) && (in.Combined || Overlaps(r, excl)))
        {
            const int nSpaceLeft = std::max<int>(0, excl.left - a.left);
            const int nSpaceRight = std::max<int>(0, a.right - excl.right);
            const int nSpaceAbove = std::max<int>(0, excl.top - a.top);
            const int nSpaceBelow = std::max<int>(0, a.bottom - excl.bottom);
            bool bFlip = false;
            switch (in.Alignment)
            {
            case AlignRight:
                if (nSpaceRight > r.Width())
                    r.OffsetRect(excl.right - e - r.left, 0);
                break;
            case AlignLeft:
                if (nSpaceLeft > r.Width())
                    r.OffsetRect(excl.left - e - r.right, 0);
                break;
            case AlignTop:
                if (nSpaceAbove > r.Height())
                    r.OffsetRect(0, excl.top - e - r.bottom);
                break;
            case AlignBottom:
                if (nSpaceBelow > r.Height())
                    r.OffsetRect(0, excl.bottom - e - r.top);
                else
                    bFlip = true;
                break;
            default: break;
            }
            if (bFlip)
            {
                if (onFlip && !onFlip())
                    return Result();
                in.Alignment = AlignTop;
                continue;
            }
        }

        const auto clamped = [&in]()
        {
            if (!in.SubMenu)
            {
                in.HasExclude = false;
                in.Combined = false;
            }
        };
        if (r.right > a.right)
        {
            r.OffsetRect(a.right - r.right, 0);
            clamped();
        }
        if (r.left < a.left)
        {
            r.OffsetRect(a.left - r.left, 0);
            clamped();
        }
        if (r.bottom > a.bottom)
        {
            r.OffsetRect(0, a.bottom - r.bottom);
            clamped();
        }
        if (r.top < a.top)
        {
            r.OffsetRect(0, a.top - r.top);
            clamped();
        }

        Result res;
        res.HasExclude = in.HasExclude;
        res.Alignment = in.Alignment;
        if (r.bottom > a.bottom)
        {
            r.bottom = a.bottom;
            res.Scroll = true;
        }

        if (!in.Combined)
        {
            res.Client.SetRect(0, 0, r.Width() - s, r.Height() - s);
            res.Window = r;
            return res;
        }

        const int nSide = CombineSideOf(r, excl, e);
        if (nSide == CombineNone)
        {
            in.Combined = false;
            continue;
        }
        CRect rcExcl(excl);
        rcExcl.right += s;
        rcExcl.bottom += s;
        CRect w;
        w.UnionRect(&r, &rcExcl);
        if (in.SubMenu)
        {
            if (nSide == CombineLeft || nSide == CombineRight)
                rcExcl.bottom -= s;
            else
                rcExcl.right -= s;
        }
        res.Combined = true;
        res.CombineSide = nSide;
        res.RegionMenu = r - w.TopLeft();
        res.RegionExclude = rcExcl - w.TopLeft();
        res.Client = res.RegionMenu;
        res.Client.right -= s;
        res.Client.bottom -= s;
        if (in.SubMenu && nSide == CombineLeft)
            w.OffsetRect(s + 1, 0);
        else if (in.SubMenu && nSide == CombineRight)
            w.OffsetRect(-2, 0);
        res.Window = w;
        return res;
    }
}

CSize CExtPopupMenuPlacement::WindowSize(CSize content, int nLeftAreaWidth, int nBorder, int nShadow, bool bCollapsed,
                                         int nExpandButtonHeight, bool bNoItemDisplayed)
{
    CSize size(content.cx + nLeftAreaWidth + 2 * nBorder + nShadow, content.cy + 2 * nBorder + nShadow);
    if (bCollapsed)
        size.cy += nExpandButtonHeight;
    const int nMin = 2 * nShadow + 10;
    size.cx = std::max<int>(size.cx, nMin);
    size.cy = std::max<int>(size.cy, nMin) + 1;
    if (bNoItemDisplayed)
        size.cy += 1;
    return size;
}
