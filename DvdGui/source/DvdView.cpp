#include "DvdGui/source/DvdView.h"

#include "framework/win/MdiFrameWnd.h"

IMPLEMENT_DYNCREATE(CDvdView, CView)

CDvdView* CDvdView::GetActiveDvdView()
{
    auto* pMain = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    CMDIChildWnd* pChild = pMain ? pMain->MDIGetActive() : nullptr;
    return pChild ? dynamic_cast<CDvdView*>(pChild->GetActiveView()) : nullptr;
}
