// The MDI child frame of every project window. The first project window
// opens maximised or not as the last one was closed ("Settings"/"CF_M").
#pragma once

#include "framework/win/MdiFrameWnd.h"

class CChildFrame : public CMDIChildWnd
{
    DECLARE_DYNCREATE(CChildFrame)
public:
    CChildFrame() = default;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void ActivateFrame(int nCmdShow = -1) override;
    BOOL DestroyWindow() override;
};
