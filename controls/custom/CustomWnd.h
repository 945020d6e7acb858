// The bases of the program's self-drawn windows.
//
// CBufferedWnd keeps two off-screen bitmaps of its client size: the back
// buffer holds the background, which is painted only when a subclass asks
// (after a layout or data change); every WM_PAINT copies it to the front
// buffer, draws the foreground over it and copies the result to the screen
// in one go, so nothing flickers.
//
// CCustomWnd adds a window class per subclass, creation that always clips
// children, hooks for layout, creation and enabling, and a drawing
// notification through which the window itself and then its parent may
// choose the brush of the background.
#pragma once

#include "framework/win/AfxWin.h"

// WM_NOTIFY code of the drawing notification.
enum : UINT
{
    CWN_DRAW = 2136,
};

// The stage of CWN_DRAW: the background is about to be filled with the brush
// selected into the context.
enum : DWORD
{
    CWN_STAGE_BACKGROUND = 1,
};

struct NMCUSTOMWNDDRAW
{
    NMHDR hdr;
    CDC* pDC;
    DWORD dwStage;
};

class CBufferedWnd : public CWnd
{
public:
    CBufferedWnd() = default;

    // Keeps a copy of the font (so the caller may delete its own) and tells
    // the window about the caller's font.
    virtual void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
    // The font the window answers to WM_GETFONT, or else its own copy (a
    // font without a handle until SetFont).
    virtual CFont* GetFont() const;
    // Paints the back buffer; subclasses call it when the background changes.
    virtual void PaintBackground() {}
    // Draws the foreground into the front buffer on every paint.
    virtual void Draw(CDC* pDC) {}

protected:
    // Destroyed in reverse order: front buffer, back buffer, font.
    CFont m_font;
    CBitmap m_bmBack;
    CBitmap m_bmFront;

    friend class CBufferedDC;

    // Both buffers at the given client size; a zero size leaves them empty.
    void MakeBuffers(int cx, int cy);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

// A memory context with one of a window's buffers selected (the front buffer
// when bFront), or none when that buffer is empty.
class CBufferedDC : public CDC
{
public:
    CBufferedDC(CBufferedWnd* pWnd, BOOL bFront);
    ~CBufferedDC() override;
    CBufferedDC(const CBufferedDC&) = delete;
    CBufferedDC& operator=(const CBufferedDC&) = delete;

private:
    HGDIOBJ m_hOldBitmap = nullptr;
};

class CCustomWnd : public CBufferedWnd
{
public:
    // strClassName is the subclass's own static string: empty until the
    // first instance registers the class, then the name every later
    // instance uses.
    explicit CCustomWnd(CString& strClassName);

    // The background in the brush that the window or its parent selected
    // for CWN_DRAW (white when neither did).
    void PaintBackground() override;

    virtual BOOL Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                          UINT nID, CCreateContext* pContext = nullptr);
    // After creation and after every size change.
    virtual void OnLayout() {}
    // Once, when WM_CREATE succeeded, before the first OnLayout.
    virtual void OnCreated() {}
    virtual void OnEnableChanged(BOOL bEnabled) {}
    // The window's own CWN_DRAW, before its parent sees it.
    virtual void OnDrawNotify(DWORD dwStage, CDC* pDC) {}

    // Sends CWN_DRAW to the parent and returns its answer (0 without one).
    LRESULT NotifyParentDraw(DWORD dwStage, CDC* pDC);

protected:
    CString* m_pClassName;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnEnable(BOOL bEnable);
    afx_msg BOOL OnDrawNotifyReflect(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};
