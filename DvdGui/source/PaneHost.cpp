#include "DvdGui/source/PaneHost.h"

CPaneHost::~CPaneHost() = default;

const CPaneRecord* CPaneHost::GetPane(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetPaneCount() ? m_panes[size_t(nIndex)].get() : nullptr;
}

int CPaneHost::AddTabbedPane(LPCTSTR lpszTitle, int nIndex)
{
    const CPaneRecord* pOther = GetPane(nIndex);
    if (pOther == nullptr)
        return -1;
    const int nPane = AddPane(lpszTitle, pOther->width, pOther->height, 0, 0, nIndex, 100);
    if (nPane >= 0)
        m_panes.back()->tabbed = 1;
    return nPane;
}

int CPaneHost::AddPane(LPCTSTR lpszTitle, int nWidth, int nHeight, UINT nDockPlace, BYTE bAutoHide, int nDockIndex,
                       int nPercent)
{
    CWnd* pBar = CreatePaneBar(lpszTitle, CSize(nWidth, nHeight));
    if (pBar == nullptr)
        return -1;
    auto pRecord = std::make_unique<CPaneRecord>();
    pRecord->title = lpszTitle;
    pRecord->bar = pBar;
    pRecord->width = nWidth;
    pRecord->height = nHeight;
    pRecord->dockIndex = nDockIndex;
    pRecord->dockPlace = nDockPlace;
    pRecord->percent = nPercent;
    pRecord->autoHide = bAutoHide;
    m_panes.push_back(std::move(pRecord));
    return GetPaneCount() - 1;
}
