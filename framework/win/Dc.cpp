#include "framework/win/Dc.h"

#include "framework/core/CException.h"
#include "framework/win/HandleMap.h"
#include "framework/win/Wnd.h"

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

namespace
{
CHandleMap<CDC, HDC>& DcMap()
{
    // Never freed: objects that outlive the thread's locals (statics) still
    // look their handles up when they are destroyed.
    thread_local CHandleMap<CDC, HDC>* t_pMap = nullptr;
    if (!t_pMap)
        t_pMap = new CHandleMap<CDC, HDC>([](CDC* p, HDC h) { p->m_hDC = p->m_hAttribDC = h; });
    return *t_pMap;
}
} // namespace

CDC::~CDC()
{
    if (m_hDC)
        ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC hDC)
{
    return DcMap().FromHandle(hDC);
}

void CDC::DeleteTempMap()
{
    DcMap().DeleteTemp();
}

BOOL CDC::Attach(HDC hDC)
{
    if (!hDC || m_hDC)
        return FALSE;
    m_hDC = hDC;
    m_hAttribDC = hDC;
    DcMap().SetPermanent(hDC, this);
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hDC = m_hDC;
    if (hDC)
        DcMap().RemovePermanent(hDC, this);
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
    return hDC;
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

CWnd* CDC::GetWindow() const
{
    return CWnd::FromHandle(::WindowFromDC(m_hDC));
}

CGdiObject* CDC::SelectGdiObject(HGDIOBJ hObject)
{
    if (!hObject)
        return nullptr;
    HGDIOBJ hOld = nullptr;
    if (m_hDC != m_hAttribDC)
        hOld = ::SelectObject(m_hDC, hObject);
    if (m_hAttribDC)
        hOld = ::SelectObject(m_hAttribDC, hObject);
    return CGdiObject::FromHandle(hOld);
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject)
{
    HGDIOBJ hOld = nullptr;
    if (m_hDC != m_hAttribDC)
        hOld = ::SelectObject(m_hDC, hObject);
    if (m_hAttribDC)
        hOld = ::SelectObject(m_hAttribDC, hObject);
    return hOld;
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground)
{
    return CPalette::FromHandle(
        ::SelectPalette(m_hDC, static_cast<HPALETTE>(pPalette->GetSafeHandle()), bForceBackground));
}

// The setters change both handles and answer with the attribute DC's old value.
#define KX_DC_SET(call)                                                                                                \
    if (m_hDC != m_hAttribDC)                                                                                          \
        ::call(m_hDC, value);                                                                                          \
    return ::call(m_hAttribDC, value);

COLORREF CDC::SetBkColor(COLORREF value)
{
    KX_DC_SET(SetBkColor)
}
int CDC::SetBkMode(int value){KX_DC_SET(SetBkMode)} COLORREF CDC::SetTextColor(COLORREF value){
    KX_DC_SET(SetTextColor)} UINT CDC::SetTextAlign(UINT value)
{
    KX_DC_SET(SetTextAlign)
}
int CDC::SetROP2(int value)
{
    KX_DC_SET(SetROP2)
}
int CDC::SetPolyFillMode(int value)
{
    KX_DC_SET(SetPolyFillMode)
}
int CDC::SetStretchBltMode(int value)
{
    KX_DC_SET(SetStretchBltMode)
}
int CDC::SetMapMode(int value){KX_DC_SET(SetMapMode)} DWORD CDC::SetLayout(DWORD value){KX_DC_SET(SetLayout)}

#undef KX_DC_SET

CPoint CDC::GetBrushOrg() const
{
    POINT pt;
    ::GetBrushOrgEx(m_hDC, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::SetBrushOrg(int x, int y)
{
    POINT pt;
    ::SetBrushOrgEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::GetViewportOrg() const
{
    POINT pt;
    ::GetViewportOrgEx(m_hAttribDC, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT pt = {0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetViewportOrgEx(m_hDC, x, y, &pt);
    if (m_hAttribDC)
        ::SetViewportOrgEx(m_hAttribDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    POINT pt = {0, 0};
    if (m_hDC != m_hAttribDC)
        ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &pt);
    if (m_hAttribDC)
        ::OffsetViewportOrgEx(m_hAttribDC, nWidth, nHeight, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::GetWindowOrg() const
{
    POINT pt;
    ::GetWindowOrgEx(m_hAttribDC, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT pt = {0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetWindowOrgEx(m_hDC, x, y, &pt);
    if (m_hAttribDC)
        ::SetWindowOrgEx(m_hAttribDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight)
{
    POINT pt = {0, 0};
    if (m_hDC != m_hAttribDC)
        ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &pt);
    if (m_hAttribDC)
        ::OffsetWindowOrgEx(m_hAttribDC, nWidth, nHeight, &pt);
    return CPoint(pt.x, pt.y);
}

CSize CDC::GetViewportExt() const
{
    SIZE size;
    ::GetViewportExtEx(m_hAttribDC, &size);
    return CSize(size.cx, size.cy);
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    SIZE size = {0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetViewportExtEx(m_hDC, cx, cy, &size);
    if (m_hAttribDC)
        ::SetViewportExtEx(m_hAttribDC, cx, cy, &size);
    return CSize(size.cx, size.cy);
}

CSize CDC::GetWindowExt() const
{
    SIZE size;
    ::GetWindowExtEx(m_hAttribDC, &size);
    return CSize(size.cx, size.cy);
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    SIZE size = {0, 0};
    if (m_hDC != m_hAttribDC)
        ::SetWindowExtEx(m_hDC, cx, cy, &size);
    if (m_hAttribDC)
        ::SetWindowExtEx(m_hAttribDC, cx, cy, &size);
    return CSize(size.cx, size.cy);
}

void CDC::DPtoLP(LPSIZE lpSize) const
{
    // sizes convert as distances: from the origin to the point
    POINT pts[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
    ::DPtoLP(m_hAttribDC, pts, 2);
    lpSize->cx = pts[1].x - pts[0].x;
    lpSize->cy = pts[1].y - pts[0].y;
}

void CDC::LPtoDP(LPSIZE lpSize) const
{
    POINT pts[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
    ::LPtoDP(m_hAttribDC, pts, 2);
    lpSize->cx = pts[1].x - pts[0].x;
    lpSize->cy = pts[1].y - pts[0].y;
}

int CDC::SelectClipRgn(CRgn* pRgn)
{
    HRGN hRgn = static_cast<HRGN>(pRgn->GetSafeHandle());
    int nResult = ERROR;
    if (m_hDC != m_hAttribDC)
        nResult = ::SelectClipRgn(m_hDC, hRgn);
    if (m_hAttribDC)
        nResult = ::SelectClipRgn(m_hAttribDC, hRgn);
    return nResult;
}

int CDC::SelectClipRgn(CRgn* pRgn, int nMode)
{
    HRGN hRgn = static_cast<HRGN>(pRgn->GetSafeHandle());
    int nResult = ERROR;
    if (m_hDC != m_hAttribDC)
        nResult = ::ExtSelectClipRgn(m_hDC, hRgn, nMode);
    if (m_hAttribDC)
        nResult = ::ExtSelectClipRgn(m_hAttribDC, hRgn, nMode);
    return nResult;
}

int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2)
{
    int nResult = ERROR;
    if (m_hDC != m_hAttribDC)
        nResult = ::ExcludeClipRect(m_hDC, x1, y1, x2, y2);
    if (m_hAttribDC)
        nResult = ::ExcludeClipRect(m_hAttribDC, x1, y1, x2, y2);
    return nResult;
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2)
{
    int nResult = ERROR;
    if (m_hDC != m_hAttribDC)
        nResult = ::IntersectClipRect(m_hDC, x1, y1, x2, y2);
    if (m_hAttribDC)
        nResult = ::IntersectClipRect(m_hAttribDC, x1, y1, x2, y2);
    return nResult;
}

int CDC::OffsetClipRgn(int x, int y)
{
    int nResult = ERROR;
    if (m_hDC != m_hAttribDC)
        nResult = ::OffsetClipRgn(m_hDC, x, y);
    if (m_hAttribDC)
        nResult = ::OffsetClipRgn(m_hAttribDC, x, y);
    return nResult;
}

int CDC::ExcludeUpdateRgn(CWnd* pWnd)
{
    return ::ExcludeUpdateRgn(m_hDC, pWnd->GetSafeHwnd());
}

CPoint CDC::GetCurrentPosition() const
{
    POINT pt;
    ::GetCurrentPositionEx(m_hAttribDC, &pt);
    return CPoint(pt.x, pt.y);
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT pt = {0, 0};
    if (m_hDC != m_hAttribDC)
        ::MoveToEx(m_hDC, x, y, &pt);
    if (m_hAttribDC)
        ::MoveToEx(m_hAttribDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}

BOOL CDC::LineTo(int x, int y)
{
    if (m_hAttribDC && m_hDC != m_hAttribDC)
        ::MoveToEx(m_hAttribDC, x, y, nullptr);
    return ::LineTo(m_hDC, x, y);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr)
{
    FillSolidRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr)
{
    RECT rect = {x, y, x + cx, y + cy};
    if (cx < 0)
    {
        rect.left = x + cx;
        rect.right = x;
    }
    if (cy < 0)
    {
        rect.top = y + cy;
        rect.bottom = y;
    }
    // An opaque empty text is the cheapest solid fill; the background
    // colour it needs is put back afterwards.
    COLORREF clrOld = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, clrOld);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
               clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    // top and left edges in one colour, right and bottom in the other; the
    // bottom-left and top-right corners go to the bottom-right colour
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush)
{
    return ::DrawStateA(m_hDC, static_cast<HBRUSH>(pBrush->GetSafeHandle()), nullptr, reinterpret_cast<LPARAM>(hIcon),
                        0, pt.x, pt.y, size.cx, size.cy, nFlags | DST_ICON);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, CBrush* pBrush)
{
    return ::DrawStateA(m_hDC, static_cast<HBRUSH>(pBrush->GetSafeHandle()), nullptr, reinterpret_cast<LPARAM>(hBitmap),
                        0, pt.x, pt.y, size.cx, size.cy, nFlags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                    CBrush* pBrush)
{
    return ::DrawStateA(m_hDC, static_cast<HBRUSH>(pBrush->GetSafeHandle()), nullptr,
                        reinterpret_cast<LPARAM>(lpszText), static_cast<WPARAM>(nTextLen), pt.x, pt.y, size.cx, size.cy,
                        nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

BOOL CDC::DrawState(CPoint pt, CSize size, DRAWSTATEPROC lpDrawProc, LPARAM lData, UINT nFlags, CBrush* pBrush)
{
    return ::DrawStateA(m_hDC, static_cast<HBRUSH>(pBrush->GetSafeHandle()), lpDrawProc, lData, 0, pt.x, pt.y, size.cx,
                        size.cy, nFlags | DST_COMPLEX);
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(m_hAttribDC, lpszString, nCount, &size);
    return CSize(size.cx, size.cy);
}

CSize CDC::GetOutputTextExtent(LPCTSTR lpszString, int nCount) const
{
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
    return CSize(size.cx, size.cy);
}

CBrush* PASCAL CDC::GetHalftoneBrush()
{
    static CBrush* s_pBrush = []
    {
        WORD pattern[8];
        for (int i = 0; i < 8; ++i)
            pattern[i] = static_cast<WORD>(0x5555 << (i & 1));
        CBrush* pBrush = new CBrush;
        HBITMAP hBitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
        if (hBitmap)
        {
            pBrush->Attach(::CreatePatternBrush(hBitmap));
            ::DeleteObject(hBitmap);
        }
        return pBrush;
    }();
    return s_pBrush->GetSafeHandle() ? s_pBrush : nullptr;
}

// ---- the managed DCs -------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    if (!Attach(::BeginPaint(m_hWnd, &m_ps)))
        AfxThrowResourceException();
}

CPaintDC::~CPaintDC()
{
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    if (!Attach(::GetDC(m_hWnd)))
        AfxThrowResourceException();
}

CClientDC::~CClientDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    if (!Attach(::GetWindowDC(m_hWnd)))
        AfxThrowResourceException();
}

CWindowDC::~CWindowDC()
{
    ::ReleaseDC(m_hWnd, Detach());
}
