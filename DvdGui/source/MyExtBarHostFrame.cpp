#include "DvdGui/source/MyExtBarHostFrame.h"

#include "DvdGui/core/LayoutFile.h"
#include "DvdGui/source/Resource.h"
#include "Shared/platform/PlatformRegistry.h"
#include "Shared/source/RegistryKey.h"
#include "framework/core/CArchive.h"
#include "framework/core/CException.h"
#include "framework/core/CMemFile.h"
#include "uitoolkit/commands/ExtCmdManager.h"

#include <new>

namespace
{

// Each pane bar's id is this plus its record's index.
const UINT kFirstPaneBarId = 3224;
const DWORD kPaneBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP | CBRS_GRIPPER |
                            CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC | CBRS_HIDE_INPLACE;
// The toolkit's bars menu of a tool bar's chevron; every other bars menu
// is suppressed, as the panes have no menu of their own.
const WORD kChevronMenuEvent = 12;
const UINT kStateBufferSize = 4096;
const UINT kStateGrowBytes = 1024;

// A drop ends in a marker style even when cancelled: the toolkit applies
// what the markers show.
bool DragChangedLayout(bool bCancel)
{
    return !bCancel || CExtControlBar::GetDockingType() == 1;
}

} // namespace

// ---- caption button ----

IMPLEMENT_DYNCREATE(CMyExtBarNcAreaButtonAutoHide, CExtBarNcAreaButtonAutoHide)

bool CMyExtBarNcAreaButtonAutoHide::HandleClick(CPoint ptWindow)
{
    // the click may take the button away with the bar's caption
    CMyExtBarHostFrame* pHost = m_pHost;
    if (!CExtBarNcAreaButtonAutoHide::HandleClick(ptWindow))
        return false;
    if (pHost != nullptr)
        pHost->SaveBarState();
    return true;
}

// ---- CMyExtControlBar ----

void CMyExtControlBar::CreateNcButtons()
{
    if (m_arrNcButtons.GetSize() > 0)
        return;
    m_arrNcButtons.Add(new CMyExtBarNcAreaButtonAutoHide(this, m_pHost));
}

void CMyExtControlBar::StopRowResizing(bool bCancel)
{
    const bool bWasResizing = m_bRowResizing;
    CExtControlBar::StopRowResizing(bCancel);
    if (bWasResizing && !bCancel)
        m_pHost->SaveBarState();
}

void CMyExtControlBar::StopInRowResizing(bool bCancel)
{
    const bool bWasResizing = m_bInRowResizing;
    CExtControlBar::StopInRowResizing(bCancel);
    if (bWasResizing && !bCancel)
        m_pHost->SaveBarState();
}

void CMyExtControlBar::StopDragging(bool bCancel)
{
    const bool bWasDragging = m_bDragging;
    CExtControlBar::StopDragging(bCancel);
    if (bWasDragging && DragChangedLayout(bCancel))
        m_pHost->SaveBarState();
}

LRESULT CMyExtControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CExtControlBar::WindowProc(message, wParam, lParam);
    if (message == WM_SETFOCUS && m_hWnd != nullptr && !IsAutoHideMode())
        SelectOwnTab();
    return result;
}

void CMyExtControlBar::SelectOwnTab()
{
    CWnd* pTabDockBar = GetParent();
    if (pTabDockBar == nullptr || !pTabDockBar->IsKindOf(RUNTIME_CLASS(CExtDockDynTabBar)))
        return;
    CExtDynTabControlBar* pGroup = static_cast<CExtDockDynTabBar*>(pTabDockBar)->GetTabContainer();
    if (pGroup == nullptr || !pGroup->IsWindowVisible())
        return;
    CExtDynTabWnd& tabs = pGroup->m_wndTabs;
    const int nTab = tabs.FindBarItem(this);
    if (nTab >= 0 && nTab != tabs.GetSelectedIndex())
        tabs.SelectItem(nTab, true, true);
}

// ---- containers ----

void CMyExtDynTabControlBar::CreateNcButtons()
{
    if (m_arrNcButtons.GetSize() > 0)
        return;
    m_arrNcButtons.Add(new CMyExtBarNcAreaButtonAutoHide(this, m_pHost));
}

void CMyExtDynTabControlBar::StopRowResizing(bool bCancel)
{
    const bool bWasResizing = m_bRowResizing;
    CExtDynTabControlBar::StopRowResizing(bCancel);
    if (bWasResizing && !bCancel)
        m_pHost->SaveBarState();
}

void CMyExtDynTabControlBar::StopDragging(bool bCancel)
{
    // a group dropped into another group is gone afterwards
    CMyExtBarHostFrame* pHost = m_pHost;
    const bool bWasDragging = m_bDragging;
    CExtDynTabControlBar::StopDragging(bCancel);
    if (bWasDragging && DragChangedLayout(bCancel))
        pHost->SaveBarState();
}

void CMyExtDynControlBar::StopRowResizing(bool bCancel)
{
    const bool bWasResizing = m_bRowResizing;
    CExtDynControlBar::StopRowResizing(bCancel);
    if (bWasResizing && !bCancel)
        m_pHost->SaveBarState();
}

// ---- CMyExtBarHostFrame ----

BEGIN_MESSAGE_MAP(CMyExtBarHostFrame, CFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

CMyExtBarHostFrame::CMyExtBarHostFrame(LPCTSTR lpszProfile) : m_strProfile(lpszProfile)
{
}

CMyExtBarHostFrame::~CMyExtBarHostFrame() = default;

bool CMyExtBarHostFrame::CreateInner(CWnd* pParent)
{
    if (!Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), pParent))
        return false;
    ModifyStyleEx(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    return true;
}

int CMyExtBarHostFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    g_CmdManager->SetupProfile(AfxGetApp()->m_pszProfileName, m_hWnd);
    if (!CExtControlBar::EnableFrameDocking(this, CBRS_ALIGN_ANY, true))
        return -1;
    return 0;
}

BOOL CMyExtBarHostFrame::DestroyWindow()
{
    g_CmdManager->DetachWindowFromProfile(m_hWnd);
    return CFrameWnd::DestroyWindow();
}

void CMyExtBarHostFrame::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout || m_hWnd == nullptr)
        return;
    m_bInRecalcLayout = true;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    // the domain content window takes what the panes leave
    RepositionBars(0, 0xFFFF, IDC_DOMAIN_CONTENT, reposExtra, &m_rectBorder);
    m_bInRecalcLayout = false;
}

LRESULT CMyExtBarHostFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CExtControlBar::g_nMsgCreateTabbedBar)
    {
        *reinterpret_cast<CExtDynTabControlBar**>(wParam) = new (std::nothrow) CMyExtDynTabControlBar(this);
        return 1;
    }
    if (message == CExtControlBar::g_nMsgCreateDynBar)
    {
        *reinterpret_cast<CExtDynControlBar**>(wParam) = new (std::nothrow) CMyExtDynControlBar(this);
        return 1;
    }
    if (message == CExtControlBar::g_nMsgConstructPopupMenu)
    {
        const auto* pData = reinterpret_cast<const CExtControlBar::POPUP_MENU_EVENT_DATA*>(wParam);
        return pData != nullptr && pData->m_nEventType == kChevronMenuEvent ? 0 : 1;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

CWnd* CMyExtBarHostFrame::CreatePaneBar(LPCTSTR lpszTitle, CSize)
{
    auto pBar = std::make_unique<CMyExtControlBar>(this);
    if (!pBar->Create(lpszTitle, this, kFirstPaneBarId + UINT(GetPaneCount()), kPaneBarStyle))
        return nullptr;
    pBar->EnableDocking(CBRS_ALIGN_ANY);
    m_bars.push_back(std::move(pBar));
    return m_bars.back().get();
}

CExtControlBar* CMyExtBarHostFrame::GetPaneBar(int nIndex) const
{
    const CPaneRecord* pRecord = GetPane(nIndex);
    return pRecord != nullptr ? static_cast<CExtControlBar*>(pRecord->bar) : nullptr;
}

bool CMyExtBarHostFrame::SaveBarState()
{
    CWinApp* pApp = AfxGetApp();
    return CExtControlBar::SaveFrameStateToRegistry(this, pApp->m_pszRegistryKey, pApp->m_pszProfileName, m_strProfile,
                                                    nullptr, true, true);
}

bool CMyExtBarHostFrame::LoadBarState()
{
    CWinApp* pApp = AfxGetApp();
    if (CExtControlBar::LoadFrameStateFromRegistry(this, pApp->m_pszRegistryKey, pApp->m_pszProfileName, m_strProfile,
                                                   nullptr, true, true))
        return true;
    try
    {
        ApplyDefaultPlaces();
        RecalcLayout();
        return true;
    }
    catch (CException* e)
    {
        e->Delete();
    }
    catch (...)
    {
    }
    return false;
}

void CMyExtBarHostFrame::ApplyDefaultPlaces()
{
    for (int nPane = 0; nPane < GetPaneCount(); ++nPane)
    {
        const CPaneRecord& record = *GetPane(nPane);
        CExtControlBar* pBar = GetPaneBar(nPane);
        pBar->m_sizeDockedH = CSize(record.width, record.height);
        pBar->m_sizeFloated = CSize(record.width, record.height);
        pBar->m_sizeDockedV = CSize(record.height, record.width);
        // only a pane placed before this one can take it in; any other
        // reference docks the pane at its own side
        CExtControlBar* pOther =
            record.dockIndex >= 0 && record.dockIndex < nPane ? GetPaneBar(record.dockIndex) : nullptr;
        if (pOther == nullptr)
            pBar->DockAtFrameEdge(record.dockPlace, true, this, false);
        else if (record.tabbed)
            pOther->TabInto(pBar, -1, this, false);
        else
            pBar->DockBeside(record.percent, pOther, record.dockPlace, false);
    }
    // a tab group shows the page of the pane that founded it
    for (int nPane = 0; nPane < GetPaneCount(); ++nPane)
    {
        CExtControlBar* pBar = GetPaneBar(nPane);
        CExtDynTabControlBar* pGroup = pBar->GetTabbedContainer();
        if (GetPane(nPane)->tabbed || pGroup == nullptr)
            continue;
        const int nTab = pGroup->m_wndTabs.FindBarItem(pBar);
        if (nTab >= 0)
            pGroup->m_wndTabs.SelectItem(nTab, true, true);
    }
}

void CMyExtBarHostFrame::ResetLayout()
{
    DeleteProfile(m_strProfile);
    LoadBarState();
}

bool CMyExtBarHostFrame::SaveLayoutFile(CFile& file)
{
    std::vector<uint8_t> state;
    bool bSerialized = false;
    try
    {
        CMemFile memory(kStateGrowBytes);
        {
            CArchive ar(&memory, CArchive::store, kStateBufferSize);
            bSerialized = CExtControlBar::SerializeFrameState(ar, this, nullptr, true, true);
            ar.Close();
        }
        if (bSerialized)
        {
            state.resize(size_t(memory.GetLength()));
            memory.SeekToBegin();
            if (!state.empty() && memory.Read(state.data(), UINT(state.size())) != state.size())
                bSerialized = false;
        }
    }
    catch (CException* e)
    {
        e->Delete();
        bSerialized = false;
    }
    catch (...)
    {
        bSerialized = false;
    }
    try
    {
        return WriteLayoutBody(file, m_strProfile, bSerialized ? &state : nullptr) && bSerialized;
    }
    catch (CException* e)
    {
        e->Delete();
    }
    catch (...)
    {
    }
    return false;
}

bool CMyExtBarHostFrame::LoadLayoutFile(CFile& file)
{
    try
    {
        std::vector<uint8_t> state;
        if (!ReadLayoutBody(file, m_strProfile, state))
            return false;
        CMemFile memory(state.data(), UINT(state.size()));
        CArchive ar(&memory, CArchive::load, kStateBufferSize);
        if (!CExtControlBar::SerializeFrameState(ar, this, nullptr, true, true))
            return false;
        RecalcLayout();
        SaveBarState();
        return true;
    }
    catch (CException* e)
    {
        e->Delete();
    }
    catch (...)
    {
    }
    return false;
}

CString CMyExtBarHostFrame::MakeProfilePath(LPCTSTR lpszProfile)
{
    CWinApp* pApp = AfxGetApp();
    CString path;
    path.Format("Software\\%s\\%s\\%s\\%s\\%s", pApp->m_pszRegistryKey, pApp->m_pszProfileName, "Quorbis", "Profiles",
                lpszProfile);
    return path;
}

void CMyExtBarHostFrame::DeleteProfile(LPCTSTR lpszProfile)
{
    CRegistryKey::DeleteKeyRecursive(kx::RegistryCurrentUser(), MakeProfilePath(lpszProfile));
}
