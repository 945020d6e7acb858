#include "uitoolkit/paint/ExtPaintManagerDockMarkers.h"

#include "uitoolkit/core/ExtDockMarkerGeometry.h"
#include "uitoolkit/core/ExtDockMarkerImages.h"
#include "uitoolkit/docking/ExtControlBar.h"

#include <initializer_list>
#include <new>
#include <vector>

namespace
{

typedef CExtDockMarkerGeometry Geometry;

bool IsArrowKind(int nKind)
{
    return nKind >= Geometry::KindTop && nKind <= Geometry::KindRight;
}

HBITMAP LoadBuiltInBitmap(int nKind, bool bOuterFrame)
{
    const BYTE* pData = nullptr;
    size_t nSize = 0;
    if (!CExtDockMarkerImages::GetBmp(nKind, bOuterFrame, pData, nSize))
        return nullptr;
    return CExtPaintManager::LoadBitmapFromMemory(pData, (UINT)nSize);
}

SIZE BitmapSize(HBITMAP hBitmap)
{
    BITMAP bm = {};
    if (hBitmap == nullptr || ::GetObjectA(hBitmap, sizeof(bm), &bm) == 0)
        return SIZE{-1, -1};
    return SIZE{bm.bmWidth, bm.bmHeight};
}

void DeleteHandles(std::initializer_list<HGDIOBJ> handles)
{
    for (HGDIOBJ h : handles)
        if (h != nullptr)
            ::DeleteObject(h);
}

} // namespace

// ---- DockMarkerBase ----

void CExtPaintManager::DockMarkerBase::DeleteChildMarkers()
{
    for (INT_PTR i = 0; i < m_arrChildren.GetSize(); ++i)
        delete m_arrChildren[i];
    m_arrChildren.RemoveAll();
}

void CExtPaintManager::DockMarkerBase::DetachImages()
{
    // The frame goes with the others: the window that took it over owns it.
    m_bmpNormal.Detach();
    m_bmpHover.Detach();
    m_bmpFrame.Detach();
    m_rgn.Detach();
}

CExtPaintManager::DockMarkerBase::~DockMarkerBase()
{
    Empty();
}

bool CExtPaintManager::DockMarkerBase::IsEmpty() const
{
    return m_nKind == Geometry::KindEmpty;
}

void CExtPaintManager::DockMarkerBase::Empty()
{
    m_bmpNormal.DeleteObject();
    m_bmpHover.DeleteObject();
    m_bmpFrame.DeleteObject();
    m_rgn.DeleteObject();
    m_nKind = Geometry::KindEmpty;
    m_cx = m_cy = 0;
    m_nImageOffsetX = m_nImageOffsetY = 0;
    m_rc.SetRectEmpty();
    DeleteChildMarkers();
}

bool CExtPaintManager::DockMarkerBase::CreateFromResources(const RECT& rc, int nKind, COLORREF clrKey,
                                                           LPCTSTR lpszNormal, LPCTSTR lpszHover,
                                                           LPCTSTR lpszTypeNormal, LPCTSTR lpszTypeHover,
                                                           HINSTANCE hInstNormal, HINSTANCE hInstHover)
{
    HBITMAP hNormal = LoadBitmapResource(lpszNormal, lpszTypeNormal, hInstNormal);
    if (hNormal == nullptr)
        return false;
    HBITMAP hHover = lpszHover != nullptr ? LoadBitmapResource(lpszHover, lpszTypeHover, hInstHover)
                                          : LoadBitmapResource(lpszNormal, lpszTypeNormal, hInstNormal);
    if (hHover == nullptr)
    {
        ::DeleteObject(hNormal);
        return false;
    }
    return CreateFromBitmaps(rc, nKind, clrKey, hNormal, hHover);
}

bool CExtPaintManager::DockMarkerBase::CreateFromBitmaps(const RECT& rc, int nKind, COLORREF clrKey, HBITMAP hNormal,
                                                         HBITMAP hHover)
{
    const SIZE size = BitmapSize(hNormal), sizeHover = BitmapSize(hHover);
    if (size.cx < 0 || size.cx != sizeHover.cx || size.cy != sizeHover.cy)
    {
        DeleteHandles({hNormal, hHover});
        return false;
    }
    HRGN hRgn = CreateRegionFromBitmap(hNormal, clrKey, 0);
    if (hRgn == nullptr)
    {
        DeleteHandles({hNormal, hHover});
        return false;
    }
    m_bmpNormal.DeleteObject();
    m_bmpHover.DeleteObject();
    m_rgn.DeleteObject();
    m_bmpNormal.Attach(hNormal);
    m_bmpHover.Attach(hHover);
    m_rgn.Attach(hRgn);
    m_cx = size.cx;
    m_cy = size.cy;
    m_nKind = nKind;
    Layout(nKind, rc, false);
    if (CExtPaintManager* pTheme = g_PaintManager.GetPM())
        pTheme->AdjustDockMarkerColors(nKind, hNormal, clrKey, hHover, clrKey);
    return true;
}

CExtPaintManager::DockMarkerBase* CExtPaintManager::DockMarkerBase::NewChild(int nKind, const RECT& rc, bool bFlag,
                                                                             bool bOuter)
{
    CExtPaintManager* pTheme = g_PaintManager.GetPM();
    DockMarkerBase* pChild = pTheme != nullptr ? pTheme->CreateDockMarker() : nullptr;
    if (pChild == nullptr)
        return nullptr;
    if (bOuter)
        pChild->m_nFlags |= FlagOuter;
    if (!pChild->Create(bFlag, nKind, rc))
    {
        delete pChild;
        return nullptr;
    }
    return pChild;
}

bool CExtPaintManager::DockMarkerBase::AddChild(int nKind, const RECT& rc, bool bFirst)
{
    DockMarkerBase* pChild = NewChild(nKind, rc, true, false);
    if (pChild == nullptr)
    {
        Empty();
        return false;
    }
    if (bFirst)
        m_arrChildren.InsertAt(0, pChild);
    else
        m_arrChildren.Add(pChild);
    return true;
}

bool CExtPaintManager::DockMarkerBase::Create(bool bFlag, int nKind, const RECT& rc)
{
    Empty();
    switch (nKind)
    {
    case Geometry::KindEmpty: return true;
    case Geometry::KindTop:
    case Geometry::KindBottom:
    case Geometry::KindLeft:
    case Geometry::KindRight:
    case Geometry::KindCompassCentre:
    case Geometry::KindTab:
    {
        // the hover picture is a second copy: each window owns both of its own
        HBITMAP hNormal = LoadBuiltInBitmap(nKind, false);
        HBITMAP hHover = LoadBuiltInBitmap(nKind, false);
        if (hNormal == nullptr || hHover == nullptr)
        {
            DeleteHandles({hNormal, hHover});
            return false;
        }
        return CreateFromBitmaps(rc, nKind, CExtDockMarkerImages::g_clrKey, hNormal, hHover);
    }
    case Geometry::KindOuterSet:
    {
        std::vector<DockMarkerBase*> arrows;
        for (int nArrow = Geometry::KindTop; nArrow <= Geometry::KindRight; ++nArrow)
        {
            DockMarkerBase* pArrow = NewChild(nArrow, rc, bFlag, !bFlag);
            if (pArrow == nullptr)
            {
                for (DockMarkerBase* p : arrows)
                    delete p;
                return false;
            }
            arrows.push_back(pArrow);
        }
        for (DockMarkerBase* p : arrows)
            m_arrChildren.Add(p);
        m_nKind = Geometry::KindOuterSet;
        return true;
    }
    case Geometry::KindCompass:
    {
        if (!Create(true, Geometry::KindOuterSet, rc) || !AddChild(Geometry::KindCompassCentre, rc, true))
            return false;
        const DockMarkerBase* pCentre = m_arrChildren[0];
        const RECT rcBox = Geometry::CompassBox(rc, pCentre->m_cx, pCentre->m_cy);
        for (INT_PTR i = 1; i < m_arrChildren.GetSize(); ++i)
        {
            DockMarkerBase* pArrow = m_arrChildren[i];
            pArrow->m_nFlags &= ~FlagOuter;
            pArrow->Layout(pArrow->m_nKind, rcBox, true);
        }
        m_nKind = Geometry::KindCompass;
        return true;
    }
    case Geometry::KindCompassWithTab:
        if (!Create(true, Geometry::KindCompass, rc) || !AddChild(Geometry::KindTab, rc, false))
            return false;
        m_nKind = Geometry::KindCompassWithTab;
        return true;
    default: return false;
    }
}

bool CExtPaintManager::DockMarkerBase::CreateMarkerWindows(LPARAM lOwnerParam, CExtDockMarkerWndArray& arrWnds)
{
    bool bAllCreated = true;
    if (m_bmpNormal.GetSafeHandle() != nullptr)
    {
        CExtDynDockMarkerWnd* pWnd = new CExtDynDockMarkerWnd(
            lOwnerParam, m_nKind, static_cast<HBITMAP>(m_bmpNormal.GetSafeHandle()),
            static_cast<HBITMAP>(m_bmpHover.GetSafeHandle()), static_cast<HRGN>(m_rgn.GetSafeHandle()), m_rc.left,
            m_rc.top, m_rc.right, m_rc.bottom, static_cast<HBITMAP>(m_bmpFrame.GetSafeHandle()), m_nImageOffsetX,
            m_nImageOffsetY, (m_nFlags & FlagOuter) != 0);
        DetachImages();
        Empty();
        if (pWnd->GetSafeHwnd() != nullptr)
            arrWnds.Add(pWnd);
        else
        {
            delete pWnd; // it owns the handles it was given
            bAllCreated = false;
        }
    }
    for (INT_PTR i = 0; i < m_arrChildren.GetSize(); ++i)
        if (!m_arrChildren[i]->CreateMarkerWindows(lOwnerParam, arrWnds))
            bAllCreated = false;
    return bAllCreated;
}

void CExtPaintManager::DockMarkerBase::Layout(int nKind, const RECT& rc, bool)
{
    m_rc = Geometry::PlaceMarker(nKind, rc, m_cx, m_cy);
}

// ---- DockMarkerBeta2 ----

void CExtPaintManager::DockMarkerBeta2::Layout(int nKind, const RECT& rc, bool bCompass)
{
    DockMarkerBase::Layout(nKind, rc, bCompass);
    if ((m_nFlags & FlagOuter) != 0 && IsArrowKind(nKind))
    {
        if (m_bmpFrame.GetSafeHandle() == nullptr)
        {
            HBITMAP hFrame = LoadBuiltInBitmap(nKind, true);
            HRGN hRgn = hFrame != nullptr ? CreateRegionFromBitmap(hFrame, CExtDockMarkerImages::g_clrKey, 0) : nullptr;
            if (hRgn != nullptr)
            {
                const SIZE size = BitmapSize(hFrame);
                m_bmpFrame.Attach(hFrame);
                m_rgn.DeleteObject();
                m_rgn.Attach(hRgn);
                m_cx = size.cx;
                m_cy = size.cy;
                const POINT ptOffset = Geometry::OuterImageOffset(nKind);
                m_nImageOffsetX = ptOffset.x;
                m_nImageOffsetY = ptOffset.y;
            }
            else
                DeleteHandles({hFrame});
        }
        if (m_bmpFrame.GetSafeHandle() != nullptr)
        {
            RECT rcMargins = {0, 0, 0, 0};
            if (CExtPaintManager* pTheme = g_PaintManager.GetPM())
                pTheme->GetDockMarkerMargins(&rcMargins);
            m_rc = Geometry::PlaceOuterFrame(nKind, rc, m_cx, m_cy, rcMargins);
        }
    }
    const POINT ptShift = Geometry::LayoutShift(nKind, bCompass);
    m_rc.OffsetRect(ptShift.x, ptShift.y);
}

// ---- the theme's docking-marker operations ----

CExtPaintManager::DockMarkerBase* CExtPaintManager::CreateDockMarker()
{
    return new (std::nothrow) DockMarkerBeta2;
}

bool CExtPaintManager::CreateDockMarkerWindows(LPARAM lOwnerParam, int nKind, RECT rc, CExtDockMarkerWndArray& arrWnds)
{
    CExtDynDockMarkerWnd::DestroyMarkers(arrWnds, false);
    DockMarkerBase markers;
    if (!markers.Create(false, nKind, rc))
        return false;
    return markers.CreateMarkerWindows(lOwnerParam, arrWnds);
}

void CExtPaintManager::PaintDockMarkerHighlight(CDC& dc, const RECT& rc, int nKind, bool bOuterHighlight,
                                                CWnd* pMarkerWnd)
{
    if (pMarkerWnd == nullptr || !pMarkerWnd->IsKindOf(RUNTIME_CLASS(CExtDynDockMarkerWnd)))
        return;
    const CExtDynDockMarkerWnd* pMarker = static_cast<CExtDynDockMarkerWnd*>(pMarkerWnd);
    const COLORREF clr = dc.GetNearestColor(RGB(0, 96, 196));
    if (bOuterHighlight && pMarker->m_bOuter)
    {
        const CRect r(rc);
        // the side towards the frame's interior stays open
        if (nKind != Geometry::KindBottom)
            dc.FillSolidRect(r.left, r.top, r.Width(), 1, clr);
        if (nKind != Geometry::KindTop)
            dc.FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, clr);
        if (nKind != Geometry::KindRight)
            dc.FillSolidRect(r.left, r.top, 1, r.Height(), clr);
        if (nKind != Geometry::KindLeft)
            dc.FillSolidRect(r.right - 1, r.top, 1, r.Height(), clr);
        return;
    }
    if (nKind != Geometry::KindCompassCentre || pMarker->m_hWndHoverPart == nullptr ||
        !::IsWindow(pMarker->m_hWndHoverPart))
        return;
    CWnd* pPartWnd = CWnd::FromHandlePermanent(pMarker->m_hWndHoverPart);
    if (pPartWnd == nullptr || !pPartWnd->IsKindOf(RUNTIME_CLASS(CExtDynDockMarkerWnd)))
        return;
    const int nPart = static_cast<CExtDynDockMarkerWnd*>(pPartWnd)->m_nKind;
    // the outline of each arm in the compass picture's own coordinates
    static const RECT kArmOutlines[4][3] = {
        {{29, 0, 58, 1}, {29, 0, 30, 23}, {57, 0, 58, 23}},
        {{29, 87, 58, 88}, {29, 64, 30, 88}, {57, 64, 58, 88}},
        {{0, 29, 23, 30}, {0, 57, 23, 58}, {0, 29, 1, 58}},
        {{64, 29, 88, 30}, {64, 57, 88, 58}, {87, 29, 88, 58}},
    };
    if (IsArrowKind(nPart))
    {
        for (const RECT& r : kArmOutlines[nPart])
            dc.FillSolidRect(&r, clr);
        return;
    }
    if (nPart != Geometry::KindTab)
        return;
    // the centre's four cut corners
    static const POINT kCornerLines[4][2] = {
        {{23, 28}, {29, 22}}, {{58, 23}, {64, 29}}, {{58, 63}, {64, 57}}, {{23, 58}, {29, 64}}};
    CPen pen;
    pen.CreatePen(PS_SOLID, 1, clr);
    CPen* pOldPen = dc.SelectObject(&pen);
    for (const auto& line : kCornerLines)
    {
        dc.MoveTo(line[0].x, line[0].y);
        dc.LineTo(line[1].x, line[1].y);
    }
    dc.SelectObject(pOldPen);
}

RECT* CExtPaintManager::GetDockMarkerMargins(RECT* pRect)
{
    *pRect = {5, 5, 5, 5};
    return pRect;
}

bool CExtPaintManager::IsDockMarkerStyleBase(int)
{
    return false;
}

bool CExtPaintManager::AdjustDockMarkerColors(int, HBITMAP, COLORREF, HBITMAP, COLORREF)
{
    return false;
}

void CExtPaintManager::PaintDockingHighlight(COLORREF* pPixels, int nWidth, int nHeight, bool bTabShape, bool bTabTop,
                                             const CRect& rcBody, const CRect& rcTab, COLORREF, COLORREF clrBorder,
                                             int nBorderWidth)
{
    if (clrBorder == static_cast<COLORREF>(-1) && nBorderWidth >= 1)
        clrBorder = SysColor(COLOR_BTNFACE);
    Geometry::ShadeDockingPreview(reinterpret_cast<DWORD*>(pPixels), nWidth, nHeight, bTabShape, bTabTop, rcBody, rcTab,
                                  RGB(0, 64, 196), clrBorder, nBorderWidth, GetScreenBitsPerPixel() <= 8,
                                  GetColor(COLOR_3DSHADOW));
}
