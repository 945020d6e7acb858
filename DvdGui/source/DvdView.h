// The view of a project window. For now it only takes the document's
// notices and draws nothing: the disc tree, the history of places and the
// content panes come with the disc view.
#pragma once

#include "DvdGui/source/DvdDoc.h"
#include "framework/win/View.h"

class CDvdView : public CView, public CDvdViewNotices
{
    DECLARE_DYNCREATE(CDvdView)
public:
    CDvdView() = default;

    // The view of the active project window; null without one.
    static CDvdView* GetActiveDvdView();

    CDvdDoc* GetDocument() const { return static_cast<CDvdDoc*>(m_pDocument); }

    void OnRevisionAdded(int, int) override {}
    void OnNodeChanged(CDvdObject*) override {}
    void OnRevisionChanged() override {}

protected:
    void OnDraw(CDC*) override {}
};
