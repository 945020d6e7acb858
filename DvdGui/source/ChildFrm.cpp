#include "DvdGui/source/ChildFrm.h"

#include "framework/win/WinThread.h"

IMPLEMENT_DYNCREATE(CChildFrame, CMDIChildWnd)

namespace
{
const char kSettings[] = "Settings";
const char kMaximized[] = "CF_M";
} // namespace

BOOL CChildFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MINIMIZEBOX;
    return CMDIChildWnd::PreCreateWindow(cs);
}

void CChildFrame::ActivateFrame(int nCmdShow)
{
    auto* pMain = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    CMDIChildWnd* pActive = pMain ? pMain->MDIGetActive() : nullptr;
    if ((!pActive || pActive == this) && AfxGetApp()->GetProfileInt(kSettings, kMaximized, 1) != 0)
        nCmdShow = SW_SHOWMAXIMIZED;
    CMDIChildWnd::ActivateFrame(nCmdShow);
}

BOOL CChildFrame::DestroyWindow()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (m_hWnd && ::GetWindowPlacement(m_hWnd, &placement))
        AfxGetApp()->WriteProfileInt(kSettings, kMaximized, placement.showCmd == SW_SHOWMAXIMIZED ? 1 : 0);
    return CMDIChildWnd::DestroyWindow();
}
