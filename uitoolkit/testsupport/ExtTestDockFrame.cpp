#include "uitoolkit/testsupport/ExtTestDockFrame.h"

#include "framework/win/DockBar.h"
#include "uitoolkit/docking/ExtDynControlBar.h"

#include <algorithm>
#include <cstdio>
#include <vector>

BEGIN_MESSAGE_MAP(CTestDockFrame, CFrameWnd)
ON_COMMAND_RANGE(CTestDockFrame::IdDockingByTheme, CTestDockFrame::IdDockingMarkers, OnDockingType)
ON_UPDATE_COMMAND_UI_RANGE(CTestDockFrame::IdDockingByTheme, CTestDockFrame::IdDockingMarkers, OnUpdateDockingType)
END_MESSAGE_MAP()

bool CTestDockFrame::CreateTestFrame(const RECT& rcScreen, LPCTSTR lpszTitle)
{
    return Create(nullptr, lpszTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, rcScreen) != FALSE;
}

LRESULT CTestDockFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CExtControlBar::g_nMsgConstructPopupMenu)
    {
        const auto* pData = reinterpret_cast<const CExtControlBar::POPUP_MENU_EVENT_DATA*>(wParam);
        m_arrPopupMenuEvents.push_back({pData->m_nEventType, pData->m_pPopupMenu, pData->m_pSourceWnd->GetSafeHwnd(),
                                        pData->m_nSourceMessage, pData->m_ptScreen, pData->m_bPostNotification});
        if (m_kind == Kind::PlainFrame)
            return 0;
        return m_kind == Kind::MainFrame || pData->m_nEventType != 12 ? 1 : 0;
    }
    if (message == CExtControlBar::g_nMsgDrawTrackedArea)
    {
        const auto* pData = reinterpret_cast<const CExtControlBar::DRAW_TRACKED_AREA_DATA*>(wParam);
        m_arrTrackedAreas.push_back({pData->m_pBar, pData->m_nShape, pData->m_rc, pData->m_nFlags});
        return 0;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

void CTestDockFrame::OnDockingType(UINT nID)
{
    if (m_kind == Kind::MainFrame)
        CExtControlBar::g_nDockingStyle = static_cast<int>(nID) - static_cast<int>(IdDockingOutline);
}

void CTestDockFrame::OnUpdateDockingType(CCmdUI* pCmdUI)
{
    if (m_kind != Kind::MainFrame)
    {
        pCmdUI->m_bContinueRouting = TRUE;
        return;
    }
    pCmdUI->Enable(TRUE);
    pCmdUI->SetRadio(CExtControlBar::g_nDockingStyle ==
                     static_cast<int>(pCmdUI->m_nID) - static_cast<int>(IdDockingOutline));
}

namespace
{

void AppendRows(std::string& sOut, const CDockBar* pDockBar, const std::string& sIndent);

// A container's line and, indented under it, the rows of its nested dock bar.
void AppendContainer(std::string& sOut, const CExtDynControlBar* pContainer, const std::string& sIndent)
{
    const CExtDockDynBar* pNested = pContainer->m_pNestedDockBar;
    char szHead[96];
    std::snprintf(szHead, sizeof(szHead), "container %d %s\n", pContainer->GetDlgCtrlID(),
                  pNested != nullptr ? pNested->GetRuntimeClass()->m_lpszClassName : "-");
    sOut += sIndent + szHead;
    if (pNested != nullptr)
        AppendRows(sOut, pNested, sIndent + "  ");
}

void AppendRows(std::string& sOut, const CDockBar* pDockBar, const std::string& sIndent)
{
    std::string sRow;
    std::vector<const CExtDynControlBar*> arrContainers;
    auto endRow = [&]()
    {
        if (!sRow.empty())
            sOut += sIndent + "row" + sRow + "\n";
        for (const CExtDynControlBar* pContainer : arrContainers)
            AppendContainer(sOut, pContainer, sIndent + "  ");
        sRow.clear();
        arrContainers.clear();
    };
    for (INT_PTR i = 1; i < pDockBar->m_arrBars.GetSize(); ++i)
    {
        void* pEntry = pDockBar->m_arrBars[i];
        if (pEntry == nullptr)
        {
            endRow();
            continue;
        }
        char szItem[32];
        if (CDockBar::IsPlaceholder(pEntry))
            std::snprintf(szItem, sizeof(szItem), " [%u]", static_cast<unsigned>(reinterpret_cast<uintptr_t>(pEntry)));
        else
        {
            auto* pBar = static_cast<CControlBar*>(pEntry);
            std::snprintf(szItem, sizeof(szItem), " %s%d", pBar->IsWindowVisible() ? "" : "~", pBar->GetDlgCtrlID());
            if (pBar->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)))
                arrContainers.push_back(static_cast<const CExtDynControlBar*>(pBar));
        }
        sRow += szItem;
    }
    endRow();
}

UINT CircleOf(const CDockBar* pDockBar)
{
    return pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) ? static_cast<const CExtDockBar*>(pDockBar)->GetCircleNo()
                                                          : 0;
}

} // namespace

std::string DumpDockLayout(CFrameWnd* pFrame)
{
    std::vector<CDockBar*> arrSides, arrFloating;
    POSITION pos = pFrame->m_listControlBars.GetHeadPosition();
    while (pos != nullptr)
    {
        auto* pBar = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
        if (!pBar->IsDockBar() || pBar->GetSafeHwnd() == nullptr)
            continue;
        auto* pDockBar = static_cast<CDockBar*>(pBar);
        (pDockBar->m_bFloating ? arrFloating : arrSides).push_back(pDockBar);
    }
    static const struct
    {
        UINT nID;
        const char* pszName;
    } kSides[] = {{AFX_IDW_DOCKBAR_TOP, "top"},
                  {AFX_IDW_DOCKBAR_BOTTOM, "bottom"},
                  {AFX_IDW_DOCKBAR_LEFT, "left"},
                  {AFX_IDW_DOCKBAR_RIGHT, "right"}};
    std::string sOut;
    for (const auto& side : kSides)
    {
        std::vector<CDockBar*> arrThisSide;
        for (CDockBar* pDockBar : arrSides)
            if (static_cast<UINT>(pDockBar->GetDlgCtrlID()) == side.nID)
                arrThisSide.push_back(pDockBar);
        std::stable_sort(arrThisSide.begin(), arrThisSide.end(),
                         [](CDockBar* a, CDockBar* b) { return CircleOf(a) < CircleOf(b); });
        for (CDockBar* pDockBar : arrThisSide)
        {
            char szHead[128];
            std::snprintf(szHead, sizeof(szHead), "%s %u circle %u %s\n", side.pszName, side.nID, CircleOf(pDockBar),
                          pDockBar->GetRuntimeClass()->m_lpszClassName);
            sOut += szHead;
            AppendRows(sOut, pDockBar, "  ");
        }
    }
    for (CDockBar* pDockBar : arrFloating)
    {
        CRect rc;
        CWnd* pFloatFrame = pDockBar->GetParentFrame();
        (pFloatFrame != nullptr ? pFloatFrame : pDockBar)->GetWindowRect(&rc);
        char szHead[128];
        std::snprintf(szHead, sizeof(szHead), "floating (%ld,%ld)-(%ld,%ld)\n", static_cast<long>(rc.left),
                      static_cast<long>(rc.top), static_cast<long>(rc.right), static_cast<long>(rc.bottom));
        sOut += szHead;
        AppendRows(sOut, pDockBar, "  ");
    }
    return sOut;
}
