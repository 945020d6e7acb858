// CView: a child window that shows a document inside a frame. CScrollView
// adds scroll bars over a logical size.
#pragma once

#include "framework/win/Wnd.h"

class CDC;
class CDocument;
class CFrameWnd;
struct CCreateContext;

class CView : public CWnd
{
    DECLARE_DYNAMIC(CView)
public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CFrameWnd* GetParentFrame() const { return CWnd::GetParentFrame(); }

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnPrepareDC(CDC* pDC) {}
    virtual void OnDraw(CDC* pDC) = 0;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnDestroy();
    afx_msg void OnPaint();
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnInitialUpdateMsg(WPARAM, LPARAM);

    CDocument* m_pDocument = nullptr;

protected:
    CView() = default;
    DECLARE_MESSAGE_MAP()
};

class CScrollView : public CView
{
    DECLARE_DYNAMIC(CScrollView)
public:
    // Map modes other than MM_TEXT scale the logical sizes to pixels.
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = CSize(0, 0),
                        const SIZE& sizeLine = CSize(0, 0));
    CPoint GetScrollPosition() const;
    void ScrollToPosition(POINT pt);
    CSize GetTotalSize() const { return m_totalLog; }
    void OnPrepareDC(CDC* pDC) override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);

protected:
    CScrollView() = default;
    void UpdateBars();
    void OnScroll(int nBar, UINT nSBCode);

    int m_nMapMode = MM_TEXT;
    CSize m_totalLog = CSize(0, 0);
    CSize m_totalDev = CSize(0, 0);
    CSize m_pageDev = CSize(0, 0);
    CSize m_lineDev = CSize(0, 0);

    DECLARE_MESSAGE_MAP()
};
