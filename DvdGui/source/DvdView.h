// The view of a project window: the disc tree on the left, a splitter, and
// the content panes of the selected node on the right. The view keeps both
// in step with the document's revisions and keeps, per revision, the
// history of places that undo, redo, edits and the history pane return to.
#pragma once

#include "DvdGui/core/LocationHistory.h"
#include "DvdGui/source/ContentPanesWnd.h"
#include "DvdGui/source/DvdDoc.h"
#include "DvdGui/source/DvdTreePane.h"
#include "controls/custom/SplitterBar.h"
#include "framework/win/View.h"

class CDvdView : public CScrollView, public CDvdViewNotices, private CLocationPanes
{
    DECLARE_DYNCREATE(CDvdView)
public:
    CDvdView();
    ~CDvdView() override;

    // The view of the active project window; null without one.
    static CDvdView* GetActiveDvdView();

    CDvdDoc* GetDocument() const { return static_cast<CDvdDoc*>(m_pDocument); }

    // The place shown now, unnamed.
    CViewLocation GetLocation() override;
    void SetLocation(const CViewLocation& location) override;
    // Shows the disc and the place in it.
    void Refresh(CDvd* pDvd, const CViewLocation& location);

    // The history of a revision (-1: the current one), made when missing.
    CLocationHistory& GetHistory(int nRevision);
    CLocationHistory& GetCurrentHistory() { return GetHistory(-1); }
    int GetHistoryPosition() { return GetCurrentHistory().GetPosition(); }
    // Returns to a place of the current revision; nothing outside its
    // history.
    void GoToLocation(int nIndex);
    void RefreshHistoryPane();

    void OnRevisionAdded(int nCurrent, int nDropped) override;
    void OnNodeChanged(CDvdObject* pNode) override;
    void OnRevisionChanged() override;

    CDvdTreePane& GetTreePane() { return m_treePane; }
    CContentPanesWnd& GetContentPanes() { return m_contentPanes; }
    CSplitterBar& GetSplitter() { return m_splitter; }
    int GetSplitterPos() const { return m_nSplitterPos; }
    void RecalcLayout();

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;

protected:
    void OnDraw(CDC*) override {}
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void OnActionBegun() override;
    void ShowCurrentRevision();

    CDvdTreePane m_treePane;
    CContentPanesWnd m_contentPanes;
    CSplitterBar m_splitter;
    CViewHistories m_histories;
    int m_nSplitterPos = 280;
};
