#include "DvdGui/source/MainFrameBars.h"

void CMyExtTabMdiWnd::SetVisibleFlag(bool bVisible)
{
    m_nMdiFlags = static_cast<BYTE>(bVisible ? m_nMdiFlags | 0x01 : m_nMdiFlags & ~0x01);
}

void CMyExtTabMdiWnd::SyncVisibility()
{
    const bool bShow = GetItemCount() > 1 && IsVisibleFlag();
    const UINT nFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE;
    SetWindowPos(nullptr, 0, 0, 0, 0, nFlags | (bShow ? SWP_SHOWWINDOW | SWP_FRAMECHANGED : SWP_HIDEWINDOW));
}
