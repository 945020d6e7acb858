// The tab window and its MDI form. Tab windows pass the four system
// notifications on to the theme.
#pragma once

#include "framework/win/Wnd.h"

class CExtTabWnd : public CWnd
{
    DECLARE_DYNAMIC(CExtTabWnd)
public:
    CExtTabWnd() = default;

    DWORD GetTabWndStyle() const { return m_dwTabWndStyle; }
    int GetItemCount() const { return m_nItemCount; }
    int GetSelectedIndex() const { return m_nSelIndex; }
    virtual bool IsMdiTabWnd() const { return false; }
    bool IsPlacedInParent() const { return (m_nStateFlags & 0x01) != 0; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    DWORD m_dwTabWndStyle = 0;
    int m_nItemCount = 0;
    int m_nSelIndex = -1;
    // bit 0: placed inside the parent when the parent lays out its children
    BYTE m_nStateFlags = 0x01;
};

class CExtTabMdiWnd : public CExtTabWnd
{
    DECLARE_DYNAMIC(CExtTabMdiWnd)
public:
    CExtTabMdiWnd() = default;
    bool IsMdiTabWnd() const override { return true; }
};
