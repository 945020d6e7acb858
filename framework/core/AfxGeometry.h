// CPoint, CSize and CRect: the system's POINT, SIZE and RECT with arithmetic.
//
// Each derives from the plain system structure and adds no data, so a pointer
// to one may be passed wherever the system structure is expected. Rectangles
// are half-open: right and bottom lie just outside. Default construction
// gives zeros.
#pragma once

#include "framework/core/AfxTypes.h"

class CSize;
class CRect;

class CPoint : public POINT
{
public:
    CPoint()
    {
        x = 0;
        y = 0;
    }
    CPoint(int initX, int initY)
    {
        x = initX;
        y = initY;
    }
    CPoint(POINT pt)
    {
        x = pt.x;
        y = pt.y;
    }
    explicit CPoint(SIZE size)
    {
        x = size.cx;
        y = size.cy;
    }

    void SetPoint(int X, int Y)
    {
        x = X;
        y = Y;
    }
    void Offset(int xOffset, int yOffset)
    {
        x += xOffset;
        y += yOffset;
    }
    void Offset(POINT pt) { Offset(pt.x, pt.y); }
    void Offset(SIZE size) { Offset(size.cx, size.cy); }

    bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
    bool operator!=(POINT pt) const { return !(*this == pt); }
    CPoint& operator+=(SIZE size)
    {
        Offset(size);
        return *this;
    }
    CPoint& operator-=(SIZE size)
    {
        Offset(-size.cx, -size.cy);
        return *this;
    }
    CPoint& operator+=(POINT pt)
    {
        Offset(pt);
        return *this;
    }
    CPoint& operator-=(POINT pt)
    {
        Offset(-pt.x, -pt.y);
        return *this;
    }

    CPoint operator+(SIZE size) const { return CPoint(x + size.cx, y + size.cy); }
    CPoint operator-(SIZE size) const { return CPoint(x - size.cx, y - size.cy); }
    CPoint operator+(POINT pt) const { return CPoint(x + pt.x, y + pt.y); }
    CSize operator-(POINT pt) const;
    CPoint operator-() const { return CPoint(-x, -y); }
};

class CSize : public SIZE
{
public:
    CSize()
    {
        cx = 0;
        cy = 0;
    }
    CSize(int initCX, int initCY)
    {
        cx = initCX;
        cy = initCY;
    }
    CSize(SIZE size)
    {
        cx = size.cx;
        cy = size.cy;
    }
    explicit CSize(POINT pt)
    {
        cx = pt.x;
        cy = pt.y;
    }

    void SetSize(int CX, int CY)
    {
        cx = CX;
        cy = CY;
    }

    bool operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
    bool operator!=(SIZE size) const { return !(*this == size); }
    CSize& operator+=(SIZE size)
    {
        cx += size.cx;
        cy += size.cy;
        return *this;
    }
    CSize& operator-=(SIZE size)
    {
        cx -= size.cx;
        cy -= size.cy;
        return *this;
    }

    CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
    CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
    CPoint operator+(POINT pt) const { return CPoint(cx + pt.x, cy + pt.y); }
    CPoint operator-(POINT pt) const { return CPoint(cx - pt.x, cy - pt.y); }
};

inline CSize CPoint::operator-(POINT pt) const
{
    return CSize(x - pt.x, y - pt.y);
}

class CRect : public RECT
{
public:
    CRect() { SetRectEmpty(); }
    CRect(int l, int t, int r, int b) { SetRect(l, t, r, b); }
    CRect(const RECT& rc) { CopyRect(&rc); }
    CRect(LPCRECT lprc) { CopyRect(lprc); }
    CRect(POINT pt, SIZE size) { SetRect(pt.x, pt.y, pt.x + size.cx, pt.y + size.cy); }
    CRect(POINT topLeft, POINT bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }

    // The corners alias the rectangle's own fields (left, top and right,
    // bottom are laid out as two POINTs), so they can be assigned through.
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
    const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    // Empty: no area (zero or negative width or height). Null: all zeros.
    BOOL IsRectEmpty() const { return left >= right || top >= bottom; }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }
    BOOL EqualRect(LPCRECT lprc) const;

    void SetRect(int l, int t, int r, int b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(LPCRECT lprc) { SetRect(lprc->left, lprc->top, lprc->right, lprc->bottom); }
    void SwapLeftRight();

    void InflateRect(int x, int y) { InflateRect(x, y, x, y); }
    void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
    void InflateRect(LPCRECT lprc) { InflateRect(lprc->left, lprc->top, lprc->right, lprc->bottom); }
    void InflateRect(int l, int t, int r, int b);
    void DeflateRect(int x, int y) { InflateRect(-x, -y); }
    void DeflateRect(SIZE size) { InflateRect(-size.cx, -size.cy); }
    void DeflateRect(LPCRECT lprc) { InflateRect(-lprc->left, -lprc->top, -lprc->right, -lprc->bottom); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }

    void OffsetRect(int x, int y);
    void OffsetRect(POINT pt) { OffsetRect(pt.x, pt.y); }
    void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }
    void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }
    void MoveToXY(POINT pt) { MoveToXY(pt.x, pt.y); }
    void NormalizeRect();

    // Both leave an empty result as all zeros and then return FALSE.
    // Empty sources take no part in a union.
    BOOL IntersectRect(LPCRECT lprc1, LPCRECT lprc2);
    BOOL UnionRect(LPCRECT lprc1, LPCRECT lprc2);

    CRect& operator=(const RECT& rc)
    {
        CopyRect(&rc);
        return *this;
    }
    bool operator==(const RECT& rc) const { return EqualRect(&rc) != FALSE; }
    bool operator!=(const RECT& rc) const { return !EqualRect(&rc); }
    CRect& operator+=(POINT pt)
    {
        OffsetRect(pt);
        return *this;
    }
    CRect& operator+=(SIZE size)
    {
        OffsetRect(size);
        return *this;
    }
    CRect& operator+=(LPCRECT lprc)
    {
        InflateRect(lprc);
        return *this;
    }
    CRect& operator-=(POINT pt)
    {
        OffsetRect(-pt.x, -pt.y);
        return *this;
    }
    CRect& operator-=(SIZE size)
    {
        OffsetRect(-size.cx, -size.cy);
        return *this;
    }
    CRect& operator-=(LPCRECT lprc)
    {
        DeflateRect(lprc);
        return *this;
    }
    CRect& operator&=(const RECT& rc)
    {
        IntersectRect(this, &rc);
        return *this;
    }
    CRect& operator|=(const RECT& rc)
    {
        UnionRect(this, &rc);
        return *this;
    }

    CRect operator+(POINT pt) const
    {
        CRect rc(*this);
        rc += pt;
        return rc;
    }
    CRect operator+(SIZE size) const
    {
        CRect rc(*this);
        rc += size;
        return rc;
    }
    CRect operator+(LPCRECT lprc) const
    {
        CRect rc(*this);
        rc += lprc;
        return rc;
    }
    CRect operator-(POINT pt) const
    {
        CRect rc(*this);
        rc -= pt;
        return rc;
    }
    CRect operator-(SIZE size) const
    {
        CRect rc(*this);
        rc -= size;
        return rc;
    }
    CRect operator-(LPCRECT lprc) const
    {
        CRect rc(*this);
        rc -= lprc;
        return rc;
    }
    CRect operator&(const RECT& rc) const
    {
        CRect r;
        r.IntersectRect(this, &rc);
        return r;
    }
    CRect operator|(const RECT& rc) const
    {
        CRect r;
        r.UnionRect(this, &rc);
        return r;
    }
};
