// The docking markers' image sets: a marker of one kind with its pictures,
// window region and place on the screen, or a composite set (the four
// frame-edge arrows, the compass) made of child markers. A set turns into
// marker windows that take its handles over.
#pragma once

#include "uitoolkit/paint/ExtPaintManager.h"

class CExtPaintManager::DockMarkerBase
{
public:
    enum
    {
        FlagOuter = 0x01,
    };

    DockMarkerBase() = default;
    DockMarkerBase(const DockMarkerBase&) = delete;
    DockMarkerBase& operator=(const DockMarkerBase&) = delete;

    virtual void DeleteChildMarkers();
    // Lets go of the pictures and the region without deleting them.
    virtual void DetachImages();
    virtual ~DockMarkerBase();
    virtual bool IsEmpty() const;
    virtual void Empty();
    // A null lpszHover takes the normal picture's name, type and module.
    virtual bool CreateFromResources(const RECT& rc, int nKind, COLORREF clrKey, LPCTSTR lpszNormal, LPCTSTR lpszHover,
                                     LPCTSTR lpszTypeNormal, LPCTSTR lpszTypeHover, HINSTANCE hInstNormal,
                                     HINSTANCE hInstHover);
    // Takes ownership of both bitmaps, also on failure.
    virtual bool CreateFromBitmaps(const RECT& rc, int nKind, COLORREF clrKey, HBITMAP hNormal, HBITMAP hHover);
    // With bFlag false the four arrows of a kind-5 set become outer markers.
    virtual bool Create(bool bFlag, int nKind, const RECT& rc);
    virtual bool CreateMarkerWindows(LPARAM lOwnerParam, CExtDockMarkerWndArray& arrWnds);
    virtual void Layout(int nKind, const RECT& rc, bool bCompass);

    int m_nKind = -1;
    CBitmap m_bmpNormal, m_bmpHover, m_bmpFrame;
    int m_nImageOffsetX = 0, m_nImageOffsetY = 0;
    CRgn m_rgn;
    int m_cx = 0, m_cy = 0;
    CArray<DockMarkerBase*, DockMarkerBase*> m_arrChildren;
    CRect m_rc;
    BYTE m_nFlags = 0;

protected:
    // A child made by the current theme and created for nKind over rc; null
    // when it cannot be made.
    static DockMarkerBase* NewChild(int nKind, const RECT& rc, bool bFlag, bool bOuter);
    // A plain child put first or last; without it the whole set is emptied.
    bool AddChild(int nKind, const RECT& rc, bool bFirst);
};

// The image set the themes hand out: outer arrows sit in a frame that
// becomes their shape, and the compass arrows are nudged onto its arms.
class CExtPaintManager::DockMarkerBeta2 : public CExtPaintManager::DockMarkerBase
{
public:
    DockMarkerBeta2() = default;
    void Layout(int nKind, const RECT& rc, bool bCompass) override;
};
