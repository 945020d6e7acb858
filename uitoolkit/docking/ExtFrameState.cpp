// Storing a frame's whole bar layout and restoring it: on any archive, in
// the registry under the toolkit profile, and the frame-level capture and
// rebuild around the bar records.
#include "framework/core/CArchive.h"
#include "framework/core/CMemFile.h"
#include "framework/core/DockState.h"
#include "framework/win/AfxMsg.h"
#include "framework/win/AfxRes.h"
#include "framework/win/DockContext.h"
#include "uitoolkit/commands/ExtCmdManager.h"
#include "uitoolkit/core/ExtBarFilter.h"
#include "uitoolkit/core/ExtRegistryArchiver.h"
#include "uitoolkit/docking/ExtDynControlBar.h"

#include <algorithm>
#include <vector>

using kxdock::InternalDockStateBar;
using kxdock::InternalDockStateSite;

namespace
{

// The frames being serialized: 1 while loading, 0 while storing.
CMap<CFrameWnd*, CFrameWnd*, WORD, WORD>& SerializingFrames()
{
    static CMap<CFrameWnd*, CFrameWnd*, WORD, WORD> s_map(10);
    return s_map;
}

// Any bar that is not a toolkit bar counts as fixed-size.
bool IsFixedSizeBar(CControlBar* pBar)
{
    if (!pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
        return true;
    auto* pExtBar = static_cast<CExtControlBar*>(pBar);
    return pExtBar->IsFixedMode() || pExtBar->IsFixedDockStyle();
}

bool IsIncluded(CControlBar* pBar, bool bIncludeFixed, bool bIncludeResizable)
{
    return IsFixedSizeBar(pBar) ? bIncludeFixed : bIncludeResizable;
}

bool IsContainer(CControlBar* pBar)
{
    return pBar->IsKindOf(RUNTIME_CLASS(CExtDynControlBar));
}

// The frame's bars now: the operations below change the frame's list.
std::vector<CControlBar*> FrameBars(CFrameWnd* pFrame)
{
    std::vector<CControlBar*> arrBars;
    POSITION pos = pFrame->m_listControlBars.GetHeadPosition();
    while (pos != nullptr)
        arrBars.push_back(static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos)));
    return arrBars;
}

bool IsListedBar(CFrameWnd* pFrame, CControlBar* pBar)
{
    return pFrame->m_listControlBars.Find(pBar) != nullptr && pBar->GetSafeHwnd() != nullptr;
}

// Puts the window's own placement back, shown without activation when it
// is visible: a stored layout that is not applied leaves it where it is.
void ReapplyOwnPlacement(CFrameWnd* pFrame)
{
    CWnd* pTop = CExtControlBar::GetTopLevelWnd(pFrame);
    if (pTop == nullptr)
        return;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof(wp);
    pTop->GetWindowPlacement(&wp);
    wp.ptMinPosition = wp.ptMaxPosition = {0, 0};
    wp.showCmd = (pTop->GetStyle() & WS_VISIBLE) != 0 ? SW_SHOWNA : SW_HIDE;
    pTop->SetWindowPlacement(&wp);
}

CRect WorkAreaNearest(const RECT& rc)
{
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (!::GetMonitorInfoA(::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST), &mi))
        return CRect(rc);
    return CRect(mi.rcWork);
}

// The outer dock bar of a side, whatever bars share its id.
CExtDockBar* FrameSideDockBar(CFrameWnd* pFrame, UINT nId)
{
    for (CControlBar* pBar : FrameBars(pFrame))
        if (pBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) && !pBar->IsKindOf(RUNTIME_CLASS(CExtDockDynBar)) &&
            static_cast<UINT>(pBar->GetDlgCtrlID()) == nId && static_cast<CExtDockBar*>(pBar)->GetCircleNo() == 0 &&
            !static_cast<CExtDockBar*>(pBar)->m_bFloating)
            return static_cast<CExtDockBar*>(pBar);
    return nullptr;
}

const UINT kAutoHideSides[] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                               AFX_IDW_DOCKBAR_RIGHT};

// The tab style bit of the item that is its group's active one.
constexpr DWORD kAutoHideActiveItem = 0x8;

// Whether any bar the stored rows of a floating dock bar name is here and
// takes part.
bool NamesAnIncludedBar(CFrameWnd* pFrame, const CControlBarInfo& info, bool bIncludeFixed, bool bIncludeResizable)
{
    for (INT_PTR i = 0; i < info.m_arrBarID.GetSize(); ++i)
    {
        const DWORD dwEntry = info.m_arrBarID[i];
        if ((dwEntry & CControlBarInfo::barIdPlaceholder) != 0 || (dwEntry & CControlBarInfo::barIdMask) == 0)
            continue;
        CControlBar* pBar = pFrame->GetControlBar(dwEntry & CControlBarInfo::barIdMask);
        if (pBar != nullptr && !pBar->IsDockBar() && IsIncluded(pBar, bIncludeFixed, bIncludeResizable))
            return true;
    }
    return false;
}

bool IsLiveToolkitBar(CExtControlBar* pBar)
{
    return pBar != nullptr && kxbars::RegistryContains(CExtControlBar::g_AllBars, CExtControlBar::g_csAllBars, pBar) &&
           pBar->GetSafeHwnd() != nullptr;
}

void CollectRecordBars(const InternalDockStateBar* pRecord, std::vector<CControlBar*>& arrBars)
{
    if (IsLiveToolkitBar(pRecord->m_pBar))
        arrBars.push_back(pRecord->m_pBar);
    for (INT_PTR i = 0; i < pRecord->m_arrChildren.GetSize(); ++i)
        CollectRecordBars(pRecord->m_arrChildren[i], arrBars);
}

// Shows and hides at once what the restore left pending: panes inside
// containers and floating frames are laid out by no dock bar of the frame
// that would carry it out.
void ShowPendingBars(CFrameWnd* pFrame, const std::vector<InternalDockStateBar*>& arrRecords)
{
    std::vector<CControlBar*> arrBars = FrameBars(pFrame);
    for (const InternalDockStateBar* pRecord : arrRecords)
        CollectRecordBars(pRecord, arrBars);
    AFX_SIZEPARENTPARAMS layout = {};
    layout.hDWP = ::BeginDeferWindowPos(static_cast<int>(arrBars.size()));
    if (layout.hDWP == nullptr)
        return;
    for (CControlBar* pBar : arrBars)
        if (pBar->GetSafeHwnd() != nullptr && layout.hDWP != nullptr)
            pBar->RecalcDelayShow(&layout);
    if (layout.hDWP != nullptr)
        ::EndDeferWindowPos(layout.hDWP);
}

} // namespace

// ---- the serializing map ----

bool CExtControlBar::IsFrameStateSerializing(CFrameWnd* pFrame, bool* pbLoading)
{
    WORD nValue = 0;
    if (!SerializingFrames().Lookup(pFrame, nValue))
        return false;
    if (pbLoading != nullptr)
        *pbLoading = nValue != 0;
    return true;
}

bool CExtControlBar::BeginFrameStateSerializing(CFrameWnd* pFrame, bool bLoading)
{
    WORD nValue = 0;
    if (SerializingFrames().Lookup(pFrame, nValue))
        return false;
    SerializingFrames().SetAt(pFrame, bLoading ? 1 : 0);
    return true;
}

bool CExtControlBar::EndFrameStateSerializing(CFrameWnd* pFrame)
{
    return SerializingFrames().RemoveKey(pFrame) != FALSE;
}

CString& CExtControlBar::MakeBarStateRegPath(CString& sOut, LPCTSTR sRegKeyName, LPCTSTR sProfileName,
                                             LPCTSTR sBarProfileName)
{
    return CExtRegistryArchiver::MakeProfileRegPath(sOut, "ControlBar", sBarProfileName, sRegKeyName, sProfileName);
}

// ---- archives and the registry ----

bool CExtControlBar::SerializeFrameState(CArchive& ar, CFrameWnd* pFrame, WINDOWPLACEMENT* pWP, bool bIncludeFixed,
                                         bool bIncludeResizable)
{
    if (pFrame == nullptr)
        return false;
    const bool bLoading = ar.IsLoading() != FALSE;
    if (!BeginFrameStateSerializing(pFrame, bLoading))
        return false;
    bool bResult = false;
    try
    {
        InternalDockStateSite site(pFrame, bIncludeFixed, bIncludeResizable);
        if (bLoading)
        {
            // Everything is read and checked before the frame changes.
            site.Serialize(ar);
            site.DropUnusableRecords();
            ReapplyOwnPlacement(pFrame);
            site.ApplyToFrame(pWP != nullptr);
        }
        else
        {
            site.CaptureFromFrame();
            if (site.m_wp.showCmd == SW_SHOWMINIMIZED)
                site.m_wp.showCmd = (site.m_wp.flags & WPF_RESTORETOMAXIMIZED) != 0 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
            site.Serialize(ar);
            ShowCommandStatusText(pFrame, AFX_IDS_IDLEMESSAGE);
        }
        if (pWP != nullptr)
            *pWP = site.m_wp;
        for (CControlBar* pBar : FrameBars(pFrame))
            if (pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) && IsIncluded(pBar, bIncludeFixed, bIncludeResizable))
                static_cast<CExtControlBar*>(pBar)->OnFrameStateSerialized(!bLoading);
        bResult = true;
    }
    catch (CException* pException)
    {
        pException->Delete();
    }
    catch (...)
    {
    }
    EndFrameStateSerializing(pFrame);
    return bResult;
}

bool CExtControlBar::LoadFrameStateFromRegistry(CFrameWnd* pFrame, LPCTSTR sRegKeyName, LPCTSTR sProfileName,
                                                LPCTSTR sBarProfileName, WINDOWPLACEMENT* pWP, bool bIncludeFixed,
                                                bool bIncludeResizable)
{
    if (pFrame == nullptr || pFrame->GetSafeHwnd() == nullptr)
        return false;
    LPCTSTR sCmdProfile = g_CmdManager->GetWindowProfileName(pFrame->m_hWnd);
    if (sCmdProfile == nullptr || *sCmdProfile == '\0')
        return false;
    try
    {
        CString sKeyPath;
        MakeBarStateRegPath(sKeyPath, sRegKeyName, sProfileName, sBarProfileName);
        CMemFile file(1024);
        if (!CExtRegistryArchiver::ReadArchiveFromRegistry(file, sKeyPath, kx::RegistryCurrentUser()))
        {
            ReapplyOwnPlacement(pFrame);
            return false;
        }
        file.SeekToBegin();
        CArchive ar(&file, CArchive::load, 4096);
        return SerializeFrameState(ar, pFrame, pWP, bIncludeFixed, bIncludeResizable);
    }
    catch (CException* pException)
    {
        pException->Delete();
    }
    catch (...)
    {
    }
    return false;
}

bool CExtControlBar::SaveFrameStateToRegistry(CFrameWnd* pFrame, LPCTSTR sRegKeyName, LPCTSTR sProfileName,
                                              LPCTSTR sBarProfileName, WINDOWPLACEMENT* pWP, bool bIncludeFixed,
                                              bool bIncludeResizable)
{
    if (pFrame == nullptr || pFrame->GetSafeHwnd() == nullptr)
        return false;
    LPCTSTR sCmdProfile = g_CmdManager->GetWindowProfileName(pFrame->m_hWnd);
    if (sCmdProfile == nullptr || *sCmdProfile == '\0')
        return false;
    try
    {
        CString sKeyPath;
        MakeBarStateRegPath(sKeyPath, sRegKeyName, sProfileName, sBarProfileName);
        CMemFile file(1024);
        {
            CArchive ar(&file, CArchive::store, 4096);
            // The stored layout stays as it was unless a whole new one is there.
            if (!SerializeFrameState(ar, pFrame, pWP, bIncludeFixed, bIncludeResizable))
            {
                ar.Abort();
                return false;
            }
            ar.Flush();
            ar.Close();
        }
        file.SeekToBegin();
        return CExtRegistryArchiver::WriteArchiveToRegistry(file, sKeyPath, kx::RegistryCurrentUser());
    }
    catch (CException* pException)
    {
        pException->Delete();
    }
    catch (...)
    {
    }
    return false;
}

// ---- frame-level capture and rebuild ----

void InternalDockStateSite::CaptureFromFrame()
{
    Clear();
    CExtDockBar::RemoveEmptyCirclesInFrame(m_pDockSite);
    if (CWnd* pTop = CExtControlBar::GetTopLevelWnd(m_pDockSite))
        pTop->GetWindowPlacement(&m_wp);
    m_wp.length = sizeof(WINDOWPLACEMENT);

    for (CControlBar* pBar : FrameBars(m_pDockSite))
    {
        if (pBar->GetSafeHwnd() == nullptr)
            continue;
        if (!pBar->IsDockBar())
        {
            CFrameWnd* pParentFrame = pBar->GetParentFrame();
            if (IsContainer(pBar) && static_cast<CExtControlBar*>(pBar)->IsFloating() && pParentFrame != nullptr &&
                pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)))
                CaptureFloatingContainer(static_cast<CMiniDockFrameWnd*>(pParentFrame));
            continue;
        }
        if (!pBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) || static_cast<CExtDockBar*>(pBar)->GetCircleNo() == 0)
            continue;
        CFrameWnd* pParentFrame = pBar->GetParentFrame();
        if (pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)))
            continue;
        CaptureDockBar(static_cast<CExtDockBar*>(pBar));
    }

    for (UINT nSide : kAutoHideSides)
    {
        CExtDockBar* pSide = FrameSideDockBar(m_pDockSite, nSide);
        CExtDynAutoHideArea* pArea = pSide != nullptr ? pSide->GetAutoHideArea() : nullptr;
        if (pArea == nullptr)
        {
            if (nSide == AFX_IDW_DOCKBAR_TOP)
                break;
            continue;
        }
        for (int i = 0; i < pArea->GetItemCount(); ++i)
        {
            CExtTabWnd::TAB_ITEM_INFO* pItem = pArea->GetItem(i);
            auto* pItemBar = reinterpret_cast<CControlBar*>(pItem->m_lParam);
            if ((pItem->GetItemStyle() & kAutoHideActiveItem) != 0 && pItemBar != nullptr)
                m_arrAutoHideIDs.Add(static_cast<UINT>(pItemBar->GetDlgCtrlID()));
        }
    }

    CExtControlBar::CaptureFrameDockState(m_pDockSite, *m_pDockState, m_arrOuterItems);
}

void InternalDockStateSite::ApplyToFrame(bool bApplyPlacement)
{
    CFrameWnd* pFrame = m_pDockSite;
    if (bApplyPlacement)
    {
        // The stored rectangle is brought back onto a monitor that exists.
        CRect rcTarget = CExtPaintManager::FitRectIntoMonitor(m_wp.rcNormalPosition, true, false);
        switch (m_wp.showCmd)
        {
        case SW_HIDE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMAXIMIZED:
        case SW_SHOWMINNOACTIVE:
        case SW_FORCEMINIMIZE: rcTarget = WorkAreaNearest(rcTarget); break;
        default: break;
        }
        m_wp.rcNormalPosition = rcTarget;
        CWnd* pTop = CExtControlBar::GetTopLevelWnd(pFrame);
        if (pTop == pFrame || pTop == nullptr)
            pFrame->SetWindowPos(nullptr, rcTarget.left, rcTarget.top, rcTarget.Width(), rcTarget.Height(), 0x061C);
        else
        {
            pFrame->SetWindowPos(nullptr, 0, 0, rcTarget.Width(), rcTarget.Height(), 0x061E);
            pTop->SetWindowPos(nullptr, rcTarget.left, rcTarget.top, rcTarget.Width(), rcTarget.Height(), 0x0614);
        }
    }

    // Everything that takes part goes out of sight first; floating panes
    // come back to the frame's edges.
    std::vector<CExtControlBar*> arrFloating;
    for (CControlBar* pBar : FrameBars(pFrame))
    {
        if (!IsListedBar(pFrame, pBar) || !IsIncluded(pBar, m_bIncludeFixed, m_bIncludeResizable))
            continue;
        CFrameWnd* pParentFrame = pBar->GetParentFrame();
        if (pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)) &&
            pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) && !IsContainer(pBar))
        {
            arrFloating.push_back(static_cast<CExtControlBar*>(pBar));
            continue;
        }
        if (pBar->IsDockBar() || pBar->m_pDockSite == nullptr || pBar->m_pDockContext == nullptr)
            continue;
        if (pBar->m_pDockBar == nullptr)
        {
            pFrame->DockControlBar(pBar);
            pFrame->ShowControlBar(pBar, FALSE, TRUE);
            continue;
        }
        if (!pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) || IsContainer(pBar) || IsFixedSizeBar(pBar))
            continue;
        CDockBar* pDockBar = pBar->m_pDockBar;
        const bool bInner =
            pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockDynBar)) ||
            (pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) && static_cast<CExtDockBar*>(pDockBar)->GetCircleNo() != 0);
        if (!bInner)
            continue;
        auto* pPane = static_cast<CExtControlBar*>(pBar);
        if (m_bIncludeResizable && pPane->IsAutoHideMode())
            pPane->SetAutoHideMode(false, 0, false, true);
        pFrame->ShowControlBar(pPane, FALSE, TRUE);
    }
    for (CExtControlBar* pBar : arrFloating)
    {
        const DWORD dwStyle = pBar->GetBarStyle();
        const UINT nId = (dwStyle & CBRS_ALIGN_BOTTOM) != 0  ? AFX_IDW_DOCKBAR_BOTTOM
                         : (dwStyle & CBRS_ALIGN_LEFT) != 0  ? AFX_IDW_DOCKBAR_LEFT
                         : (dwStyle & CBRS_ALIGN_RIGHT) != 0 ? AFX_IDW_DOCKBAR_RIGHT
                                                             : AFX_IDW_DOCKBAR_TOP;
        if (pBar->IsFixedMode())
        {
            if (pBar->IsFloating())
                pFrame->ShowControlBar(pBar, FALSE, FALSE);
            pFrame->DockControlBar(pBar, nId);
        }
        else
            pBar->DockAtCircle(nId, 1, pFrame, false);
        pFrame->ShowControlBar(pBar, FALSE, TRUE);
    }
    CExtDockBar::RemoveEmptyCirclesInFrame(pFrame);
    pFrame->RecalcLayout(TRUE);

    // Inner circles are rebuilt innermost last, so that each circle a
    // record asks for is at most one beyond those already there.
    std::vector<InternalDockStateBar*> arrOrdered(m_arrBars.GetData(), m_arrBars.GetData() + m_arrBars.GetSize());
    std::stable_sort(arrOrdered.begin(), arrOrdered.end(),
                     [](const InternalDockStateBar* a, const InternalDockStateBar* b)
                     { return a->m_nCircleNo < b->m_nCircleNo; });
    if (m_bIncludeResizable)
    {
        const BOOL bWasInRecalc = pFrame->m_bInRecalcLayout;
        pFrame->m_bInRecalcLayout = TRUE;
        for (InternalDockStateBar* pRecord : arrOrdered)
            pRecord->RebuildBar(pFrame, nullptr);
        pFrame->m_bInRecalcLayout = bWasInRecalc;

        for (INT_PTR i = 0; i < m_arrAutoHideIDs.GetSize(); ++i)
        {
            CControlBar* pBar = pFrame->GetControlBar(m_arrAutoHideIDs[i]);
            if (pBar == nullptr || pBar->IsDockBar() || !pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ||
                !static_cast<CExtControlBar*>(pBar)->SetAutoHideMode(true, 0, false, true))
                continue;
            CWnd* pWalk = pBar->m_pDockBar;
            while (pWalk != nullptr &&
                   (!pWalk->IsKindOf(RUNTIME_CLASS(CExtDockBar)) || pWalk->IsKindOf(RUNTIME_CLASS(CExtDockDynBar))))
                pWalk = pWalk->GetParent();
            if (pWalk == nullptr)
                continue;
            CExtDockBar* pSide = FrameSideDockBar(pFrame, static_cast<UINT>(pWalk->GetDlgCtrlID()));
            CExtDynAutoHideArea* pArea = pSide != nullptr ? pSide->GetAutoHideArea() : nullptr;
            if (pArea == nullptr)
                continue;
            for (int nItem = 0; nItem < pArea->GetItemCount(); ++nItem)
                if (pArea->GetItem(nItem)->m_lParam == reinterpret_cast<LONG_PTR>(pBar))
                {
                    pArea->GetItem(nItem)->ModifyStyle(0, kAutoHideActiveItem);
                    break;
                }
        }
    }

    CExtControlBar::ApplyFrameDockState(pFrame, *m_pDockState, m_arrOuterItems, m_bIncludeFixed, m_bIncludeResizable);
    if (m_bIncludeResizable)
        for (InternalDockStateBar* pRecord : arrOrdered)
            pRecord->ApplyMetrics(pFrame, nullptr);
    pFrame->RecalcLayout(TRUE);
    if (m_bIncludeResizable)
    {
        for (InternalDockStateBar* pRecord : arrOrdered)
        {
            pRecord->FinishRebuild(pFrame, nullptr);
            CExtControlBar* pBar = pRecord->m_pBar;
            if ((pRecord->m_dwStateFlags & InternalDockStateBar::StateFloatingContainer) == 0 ||
                !IsLiveToolkitBar(pBar))
                continue;
            pBar->RecalcNcFrame();
            pBar->RepositionChild(-1, -1, true);
            if (CFrameWnd* pFloatingFrame = pBar->GetParentFrame())
                pFloatingFrame->RecalcLayout(TRUE);
        }
        // Containers the rebuild emptied dissolve.
        CExtDockBar::RemoveEmptyCirclesInFrame(pFrame);
    }
    ShowPendingBars(pFrame, arrOrdered);
    pFrame->RecalcLayout(TRUE);
    for (InternalDockStateBar* pRecord : arrOrdered)
    {
        CExtControlBar* pBar = pRecord->m_pBar;
        if ((pRecord->m_dwStateFlags & InternalDockStateBar::StateFloatingContainer) == 0 || !IsLiveToolkitBar(pBar))
            continue;
        CFrameWnd* pFloatingFrame = pBar->GetParentFrame();
        if (pFloatingFrame == nullptr || pFloatingFrame == pFrame)
            continue;
        pFloatingFrame->RecalcLayout(TRUE);
        if ((pBar->GetStyle() & WS_VISIBLE) != 0)
            pFloatingFrame->ShowWindow(SW_SHOWNA);
    }

    for (CControlBar* pBar : FrameBars(pFrame))
    {
        if (!IsListedBar(pFrame, pBar) || pBar->IsDockBar() || !pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ||
            IsContainer(pBar) || !static_cast<CExtControlBar*>(pBar)->IsFixedMode())
            continue;
        auto* pExtBar = static_cast<CExtControlBar*>(pBar);
        pExtBar->RecalcNcFrame();
        if (pExtBar->IsFloating())
            pExtBar->RequestFrameRecalcLayout();
    }
    pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, FALSE);
    pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    pFrame->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
}

void CExtControlBar::CaptureFrameDockState(CFrameWnd* pFrame, CDockState& state,
                                           CArray<OuterItemData_t, const OuterItemData_t&>& arrOuterItems)
{
    state.Clear();
    arrOuterItems.RemoveAll();
    for (CControlBar* pBar : FrameBars(pFrame))
    {
        if (pBar->GetSafeHwnd() == nullptr || IsContainer(pBar) || pBar->IsKindOf(RUNTIME_CLASS(CExtDockDynBar)))
            continue;
        CDockBar* pDockBar = pBar->m_pDockBar;
        if (pDockBar != nullptr && pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockDynBar)))
            continue;
        if (pBar->IsDockBar() && static_cast<UINT>(pBar->GetDlgCtrlID()) == AFX_IDW_DOCKBAR_FLOAT)
        {
            CWnd* pFirst = pBar->GetWindow(GW_CHILD);
            pFirst = pFirst != nullptr ? CWnd::FromHandlePermanent(pFirst->m_hWnd) : nullptr;
            if (pFirst == nullptr || pFirst->IsKindOf(RUNTIME_CLASS(CExtDynControlBar)))
                continue;
        }
        if (pBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) && static_cast<CExtDockBar*>(pBar)->GetCircleNo() != 0)
            continue;
        CSize sizeFloatFrame(0, 0);
        if (pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) && !pBar->IsDockBar())
        {
            auto* pExtBar = static_cast<CExtControlBar*>(pBar);
            const bool bFloating = pExtBar->IsFloating();
            if (!pExtBar->IsFixedMode() && !bFloating &&
                (pDockBar == nullptr || !pDockBar->IsKindOf(RUNTIME_CLASS(CExtDockBar)) ||
                 static_cast<CExtDockBar*>(pDockBar)->GetCircleNo() != 0))
                continue;
            OuterItemData_t item;
            item.m_nBarID = static_cast<UINT>(pBar->GetDlgCtrlID());
            item.m_ptFloatPos = pExtBar->m_ptFloatPos;
            item.m_sizeDockedH = pExtBar->m_sizeDockedH;
            item.m_sizeDockedV = pExtBar->m_sizeDockedV;
            item.m_sizeFloated = pExtBar->m_sizeFloated;
            if (const OuterPositionData_t* pPos = pExtBar->GetOuterPosition())
                item.m_posOuter = *pPos;
            CFrameWnd* pFloatingFrame = bFloating ? pBar->GetParentFrame() : nullptr;
            if (pFloatingFrame != nullptr)
            {
                CRect rcFrame, rcBar;
                pFloatingFrame->GetWindowRect(&rcFrame);
                pBar->GetWindowRect(&rcBar);
                item.m_ptFloatPos = rcFrame.TopLeft();
                if (pExtBar->IsFixedMode())
                {
                    item.m_sizeFloated.cx += rcFrame.Width() - rcBar.Width();
                    item.m_sizeFloated.cy += rcFrame.Height() - rcBar.Height();
                    sizeFloatFrame = CSize(item.m_sizeFloated.cx, item.m_sizeFloated.cy);
                }
                item.m_bFloating = true;
            }
            arrOuterItems.Add(item);
        }
        auto* pInfo = new CControlBarInfo;
        pBar->GetBarInfo(pInfo);
        if (pInfo->m_pBar == nullptr)
        {
            delete pInfo;
            continue;
        }
        if (sizeFloatFrame.cx > 0 && sizeFloatFrame.cy > 0)
            pInfo->m_nMRUWidth = sizeFloatFrame.cx;
        state.m_arrBarInfo.Add(pInfo);
    }
}

void CExtControlBar::ApplyFrameDockState(CFrameWnd* pFrame, CDockState& state,
                                         CArray<OuterItemData_t, const OuterItemData_t&>& arrOuterItems,
                                         bool bIncludeFixed, bool bIncludeResizable)
{
    auto isFilteredOut = [&](CControlBar* pBar) { return !IsIncluded(pBar, bIncludeFixed, bIncludeResizable); };
    std::vector<CMiniDockFrameWnd*> arrNewFrames;

    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i)
    {
        CControlBarInfo* pInfo = state.GetBarInfo(i);
        pInfo->m_pBar = nullptr;
        if (pInfo->m_bFloating && pInfo->m_bDockBar)
        {
            // A floating frame only for bars that are here to fill it.
            if (!NamesAnIncludedBar(pFrame, *pInfo, bIncludeFixed, bIncludeResizable))
                continue;
            CMiniDockFrameWnd* pFloatingFrame = nullptr;
            try
            {
                pFloatingFrame = pFrame->CreateFloatingFrame(pInfo->m_bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT);
            }
            catch (CException* pException)
            {
                pException->Delete();
                continue;
            }
            CRect rc(pInfo->m_pointPos, CSize(10, 10));
            pFloatingFrame->CalcWindowRect(&rc);
            pFloatingFrame->SetWindowPos(nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            pInfo->m_pBar = pFloatingFrame->m_pWndDockBar;
            arrNewFrames.push_back(pFloatingFrame);
        }
        else
        {
            CControlBar* pBar = pFrame->GetControlBar(pInfo->m_nBarID);
            if (pBar == nullptr || isFilteredOut(pBar))
                continue;
            pInfo->m_pBar = pBar;
        }
        if (pInfo->m_pBar != nullptr)
            pInfo->m_pBar->m_nMRUWidth = pInfo->m_nMRUWidth;
    }

    for (INT_PTR i = 0; i < arrOuterItems.GetSize(); ++i)
    {
        const OuterItemData_t& item = arrOuterItems[i];
        CControlBar* pBar = pFrame->GetControlBar(item.m_nBarID);
        if (pBar == nullptr || pBar->IsDockBar() || !pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ||
            isFilteredOut(pBar))
            continue;
        auto* pExtBar = static_cast<CExtControlBar*>(pBar);
        pExtBar->m_ptFloatPos = item.m_ptFloatPos;
        pExtBar->m_sizeDockedH = item.m_sizeDockedH;
        pExtBar->m_sizeDockedV = item.m_sizeDockedV;
        pExtBar->m_sizeFloated = item.m_sizeFloated;
        pExtBar->SetOuterPosition(item.m_posOuter);
    }

    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i)
    {
        CControlBarInfo* pInfo = state.GetBarInfo(i);
        CControlBar* pBar = pInfo->m_pBar;
        if (pBar == nullptr)
            continue;
        if (pBar->m_pDockContext != nullptr && pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)))
            static_cast<CExtControlBar*>(pBar)->m_ptFloatPos = pInfo->m_ptMRUFloatPos;
        pBar->SetBarInfo(pInfo, pFrame);
    }

    for (INT_PTR i = 0; i < arrOuterItems.GetSize(); ++i)
    {
        const OuterItemData_t& item = arrOuterItems[i];
        if (!item.m_bFloating)
            continue;
        CControlBar* pBar = pFrame->GetControlBar(item.m_nBarID);
        if (pBar == nullptr || pBar->IsDockBar() || !pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) ||
            isFilteredOut(pBar))
            continue;
        const CRect rc =
            CExtPaintManager::FitRectIntoMonitor(CRect(item.m_ptFloatPos, item.m_sizeFloated), true, false);
        CFrameWnd* pParentFrame = pBar->GetParentFrame();
        if (pParentFrame != nullptr && pParentFrame->IsKindOf(RUNTIME_CLASS(CExtMiniDockFrameWnd)))
        {
            CRect rcFrame;
            pParentFrame->GetWindowRect(&rcFrame);
            if (rcFrame != rc)
            {
                pParentFrame->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
                pParentFrame->m_nIdleFlags |= CFrameWnd::idleLayout | CFrameWnd::idleNotify;
            }
        }
        else
            static_cast<CExtControlBar*>(pBar)->FloatAt(rc.left, rc.top, CBRS_ALIGN_TOP);
    }

    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i)
    {
        CControlBarInfo* pInfo = state.GetBarInfo(i);
        if (!pInfo->m_bFloating || !pInfo->m_bDockBar || pInfo->m_pBar == nullptr)
            continue;
        auto* pDockBar = static_cast<CDockBar*>(pInfo->m_pBar);
        if (pDockBar->GetDockedVisibleCount() > 0)
        {
            if (CFrameWnd* pFloatingFrame = pDockBar->GetParentFrame())
            {
                pFloatingFrame->RecalcLayout(TRUE);
                pFloatingFrame->ShowWindow(SW_SHOWNA);
            }
        }
        for (INT_PTR n = 1; n < pDockBar->m_arrBars.GetSize(); ++n)
        {
            void* pEntry = pDockBar->m_arrBars[n];
            if (pEntry == nullptr || CDockBar::IsPlaceholder(pEntry))
                continue;
            auto* pBar = static_cast<CControlBar*>(pEntry);
            if (pBar->IsKindOf(RUNTIME_CLASS(CExtControlBar)) && !IsFixedSizeBar(pBar))
                static_cast<CExtControlBar*>(pBar)->RecalcNcFrame();
        }
    }
    // A floating frame whose bars all went elsewhere is not left behind.
    for (CMiniDockFrameWnd* pFloatingFrame : arrNewFrames)
        if (::IsWindow(pFloatingFrame->m_hWnd) && pFloatingFrame->m_pWndDockBar != nullptr &&
            pFloatingFrame->m_pWndDockBar->GetDockedCount() == 0)
            pFloatingFrame->DestroyWindow();
}
