// In-place activation and print preview are not part of this program: the
// classes that stand for them exist so code can recognise them, and only
// ever answer "none".
#pragma once

#include "framework/win/Document.h"
#include "framework/win/View.h"

// The document class that could hold in-place items: it never does.
class COleDocument : public CDocument
{
    DECLARE_DYNAMIC(COleDocument)
public:
    CObject* GetInPlaceActiveItem(CWnd* pWnd) const { return nullptr; }
};

// The print-preview view: never shown, only recognised.
class CPreviewView : public CScrollView
{
    DECLARE_DYNAMIC(CPreviewView)
public:
    void OnDraw(CDC*) override {}

protected:
    CPreviewView() = default;
};
