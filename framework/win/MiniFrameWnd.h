// CMiniFrameWnd: a small-caption tool frame, the base of floating frames.
#pragma once

#include "framework/win/FrameWnd.h"

// Mini-frame styles, given with the window style.
enum : DWORD
{
    MFS_SYNCACTIVE = 0x00000100L,   // looks active while its owner frame is
    MFS_4THICKFRAME = 0x00000200L,  // sizable on the sides only
    MFS_THICKFRAME = 0x00000400L,   // sizable
    MFS_MOVEFRAME = 0x00000800L,    // moved by its edges
    MFS_BLOCKSYSMENU = 0x00001000L, // no system menu
};

class CMiniFrameWnd : public CFrameWnd
{
    DECLARE_DYNCREATE(CMiniFrameWnd)
public:
    CMiniFrameWnd() = default;

    BOOL Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd = nullptr,
                UINT nID = 0);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd = nullptr, UINT nID = 0);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    afx_msg BOOL OnNcActivate(BOOL bActive);

    DWORD m_dwMiniStyle = 0;

protected:
    DECLARE_MESSAGE_MAP()
};
