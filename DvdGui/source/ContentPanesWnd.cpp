#include "DvdGui/source/ContentPanesWnd.h"

#include "DVD/source/Menu.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/Resource.h"

#include <commctrl.h>

#include <algorithm>

namespace
{
// The first pane bar's id; each further bar takes the next.
const UINT kFirstBarId = 3224;
const UINT kFirstTabsId = 3300;
const UINT kAreaId = 3223;
} // namespace

// ---- CPaneBarWnd ----

CString CPaneBarWnd::s_strClassName;

BEGIN_MESSAGE_MAP(CPaneBarWnd, CWnd)
ON_WM_SIZE()
END_MESSAGE_MAP()

CPaneBarWnd::CPaneBarWnd()
{
    RegisterPaneClass(s_strClassName);
}

BOOL CPaneBarWnd::Create(LPCTSTR lpszTitle, CWnd* pParent, UINT nID)
{
    return !s_strClassName.IsEmpty() &&
           CWnd::Create(s_strClassName, lpszTitle, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                        CRect(0, 0, 0, 0), pParent, nID);
}

void CPaneBarWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD))
        ::SetWindowPos(hChild, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- CPaneAreaWnd ----

CString CPaneAreaWnd::s_strClassName;

BEGIN_MESSAGE_MAP(CPaneAreaWnd, CWnd)
ON_WM_SIZE()
END_MESSAGE_MAP()

CPaneAreaWnd::CPaneAreaWnd()
{
    RegisterPaneClass(s_strClassName);
}

CPaneAreaWnd::~CPaneAreaWnd() = default;

BOOL CPaneAreaWnd::Create(CWnd* pParent)
{
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&init);
    return !s_strClassName.IsEmpty() && CWnd::Create(s_strClassName, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                                     CRect(0, 0, 0, 0), pParent, kAreaId);
}

CWnd* CPaneAreaWnd::CreatePaneBar(LPCTSTR lpszTitle, CSize)
{
    auto pBar = std::make_unique<CPaneBarWnd>();
    if (!pBar->Create(lpszTitle, this, kFirstBarId + UINT(GetPaneCount())))
        return nullptr;
    m_bars.push_back(std::move(pBar));
    return m_bars.back().get();
}

int CPaneAreaWnd::RootOf(int nPane) const
{
    // a record that names itself or a loop among records docks at a side
    for (int nSteps = 0; nSteps <= GetPaneCount(); ++nSteps)
    {
        const CPaneRecord* pRecord = GetPane(nPane);
        if (pRecord == nullptr || pRecord->dockIndex < 0 || GetPane(pRecord->dockIndex) == nullptr)
            return nPane;
        nPane = pRecord->dockIndex;
    }
    return nPane;
}

void CPaneAreaWnd::ResetLayout()
{
    m_groups.clear();
    for (int nPane = 0; nPane < GetPaneCount(); ++nPane)
    {
        const int nRoot = RootOf(nPane);
        auto it = std::find_if(m_groups.begin(), m_groups.end(),
                               [nRoot](const CGroup& group) { return group.panes.front() == nRoot; });
        if (it == m_groups.end())
        {
            m_groups.emplace_back();
            it = m_groups.end() - 1;
            if (nRoot != nPane)
                it->panes.push_back(nRoot);
        }
        if (std::find(it->panes.begin(), it->panes.end(), nPane) == it->panes.end())
            it->panes.push_back(nPane);
    }
    for (size_t i = 0; i < m_groups.size(); ++i)
    {
        CGroup& group = m_groups[i];
        if (group.panes.size() < 2)
            continue;
        group.tabs = std::make_unique<CWnd>();
        if (!group.tabs->Create(WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, CRect(0, 0, 0, 0), this,
                                kFirstTabsId + UINT(i)))
        {
            group.tabs.reset();
            continue;
        }
        group.tabs->SendMessage(WM_SETFONT, WPARAM(::GetStockObject(DEFAULT_GUI_FONT)));
        for (size_t nPage = 0; nPage < group.panes.size(); ++nPage)
        {
            const CString& title = GetPane(group.panes[nPage])->title;
            std::vector<char> text(static_cast<LPCSTR>(title), static_cast<LPCSTR>(title) + title.GetLength() + 1);
            TCITEMA item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text.data();
            group.tabs->SendMessage(TCM_INSERTITEMA, nPage, reinterpret_cast<LPARAM>(&item));
        }
        // the pages lie over their tab control
        group.tabs->SetWindowPos(&CWnd::wndBottom, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (CGroup& group : m_groups)
        ShowSelectedPage(group);
    RecalcLayout();
}

CWnd* CPaneAreaWnd::GetGroupTabs(int nPane) const
{
    for (const CGroup& group : m_groups)
        if (std::find(group.panes.begin(), group.panes.end(), nPane) != group.panes.end())
            return group.tabs.get();
    return nullptr;
}

void CPaneAreaWnd::ShowGroupPage(int nPane)
{
    for (CGroup& group : m_groups)
    {
        const auto it = std::find(group.panes.begin(), group.panes.end(), nPane);
        if (it == group.panes.end())
            continue;
        group.selected = int(it - group.panes.begin());
        if (group.tabs)
            group.tabs->SendMessage(TCM_SETCURSEL, WPARAM(group.selected));
        ShowSelectedPage(group);
    }
}

void CPaneAreaWnd::ShowSelectedPage(CGroup& group)
{
    for (size_t nPage = 0; nPage < group.panes.size(); ++nPage)
        if (const CPaneRecord* pRecord = GetPane(group.panes[nPage]))
            pRecord->bar->ShowWindow(int(nPage) == group.selected || !group.tabs ? SW_SHOW : SW_HIDE);
}

void CPaneAreaWnd::RecalcLayout()
{
    if (m_hWnd == nullptr || m_bInLayout)
        return;
    m_bInLayout = true;
    CRect rc;
    GetClientRect(&rc);
    for (CGroup& group : m_groups)
    {
        const CPaneRecord* pRoot = GetPane(group.panes.front());
        CRect rcGroup = rc;
        switch (pRoot->dockPlace)
        {
        case PANE_DOCK_TOP:
            rcGroup.bottom = std::min(rc.bottom, rc.top + pRoot->height);
            rc.top = rcGroup.bottom;
            break;
        case PANE_DOCK_BOTTOM:
            rcGroup.top = std::max(rc.top, rc.bottom - pRoot->height);
            rc.bottom = rcGroup.top;
            break;
        case PANE_DOCK_LEFT:
            rcGroup.right = std::min(rc.right, rc.left + pRoot->width);
            rc.left = rcGroup.right;
            break;
        default:
            rcGroup.left = std::max(rc.left, rc.right - pRoot->width);
            rc.right = rcGroup.left;
            break;
        }
        CRect rcPage = rcGroup;
        if (group.tabs)
        {
            group.tabs->MoveWindow(&rcGroup);
            group.tabs->SendMessage(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(static_cast<RECT*>(&rcPage)));
        }
        for (int nPane : group.panes)
            GetPane(nPane)->bar->SetWindowPos(&CWnd::wndTop, rcPage.left, rcPage.top, rcPage.Width(), rcPage.Height(),
                                              SWP_NOACTIVATE);
    }
    if (m_pContent != nullptr && m_pContent->m_hWnd != nullptr)
        m_pContent->SetWindowPos(nullptr, rc.left, rc.top, std::max(0, int(rc.Width())), std::max(0, int(rc.Height())),
                                 SWP_NOZORDER | SWP_NOACTIVATE);
    m_bInLayout = false;
}

void CPaneAreaWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
}

LRESULT CPaneAreaWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && lParam != 0 && reinterpret_cast<const NMHDR*>(lParam)->code == UINT(TCN_SELCHANGE))
    {
        const HWND hFrom = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
        for (CGroup& group : m_groups)
        {
            if (!group.tabs || group.tabs->m_hWnd != hFrom)
                continue;
            const int nSelected = int(group.tabs->SendMessage(TCM_GETCURSEL));
            if (nSelected >= 0 && size_t(nSelected) < group.panes.size())
            {
                group.selected = nSelected;
                ShowSelectedPage(group);
            }
        }
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

// ---- CContentPanesWnd ----

CString CContentPanesWnd::s_strClassName;

BEGIN_MESSAGE_MAP(CContentPanesWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CContentPanesWnd::CContentPanesWnd()
{
    RegisterPaneClass(s_strClassName);
}

CContentPanesWnd::~CContentPanesWnd() = default;

BOOL CContentPanesWnd::Create(LPCTSTR lpszTitle, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    if (s_strClassName.IsEmpty() ||
        !CWnd::Create(s_strClassName, lpszTitle, dwStyle | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect, pParent, nID))
        return FALSE;
    m_logo.Create("", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_CONTENT_LOGO);
    if (m_area.Create(this))
    {
        if (m_domainContent.Create("", 0x56000000, rect, &m_area, IDC_DOMAIN_CONTENT, &m_area))
            m_area.SetContentWindow(&m_domainContent);
        m_area.ResetLayout();
    }
    m_pActive = &m_logo;
    ShowActive();
    return TRUE;
}

int CContentPanesWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    return CWnd::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

void CContentPanesWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_pActive != nullptr && m_pActive->m_hWnd != nullptr)
    {
        m_pActive->SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
        m_pActive->Invalidate();
    }
}

void CContentPanesWnd::ShowNode(CDvdObject* pNode, int)
{
    const HCURSOR hPrevious = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    m_pNode = pNode;
    const bool bWasShown = IsDomainShown();
    if (bWasShown)
        m_domainContent.SetBlocks(nullptr, nullptr);

    bool bDomain = true;
    switch (pNode != nullptr ? pNode->GetKind() : 0)
    {
    case DVDNODE_VMG: m_domainContent.SetDomain(&static_cast<CVmg*>(pNode->Self())->GetMenuDomain(), nullptr); break;
    case DVDNODE_VTS: m_domainContent.SetDomain(&static_cast<CVts*>(pNode->Self())->GetTitleDomain(), nullptr); break;
    case DVDNODE_LANGUAGE_UNIT:
    {
        CBlockIndex used;
        static_cast<CLanguageUnit*>(pNode->Self())->GetUsedBlocks(used);
        const std::vector<CAngleBlock*> blocks(used.GetData(), used.GetData() + used.GetSize());
        m_domainContent.SetBlocks(&blocks, nullptr);
        break;
    }
    default: bDomain = false; break;
    }
    m_pActive = bDomain && m_area.m_hWnd != nullptr ? static_cast<CWnd*>(&m_area) : &m_logo;
    ShowActive();
    ::SetCursor(hPrevious);
}

void CContentPanesWnd::ShowActive()
{
    if (m_pActive != &m_area && m_area.m_hWnd != nullptr)
    {
        m_domainContent.SetBlocks(nullptr, nullptr);
        m_area.ShowWindow(SW_HIDE);
    }
    if (m_pActive != &m_logo && m_logo.m_hWnd != nullptr)
        m_logo.ShowWindow(SW_HIDE);
    if (m_pActive == nullptr || m_pActive->m_hWnd == nullptr)
        return;
    CRect rc;
    GetClientRect(&rc);
    m_pActive->SetWindowPos(nullptr, 0, 0, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    m_pActive->Invalidate();
    m_pActive->ShowWindow(SW_SHOW);
}

CDomainContentLocation CContentPanesWnd::GetLocation() const
{
    return IsDomainShown() ? m_domainContent.GetLocation() : CDomainContentLocation();
}

void CContentPanesWnd::SetLocation(const CDomainContentLocation& location)
{
    if (IsDomainShown())
        m_domainContent.SetLocation(location);
}

void CContentPanesWnd::OnActionBegun()
{
    if (m_domainContent.m_hWnd != nullptr)
        m_domainContent.Stop();
}

void CContentPanesWnd::SetFont(CFont* pFont)
{
    if (m_logo.m_hWnd != nullptr)
        m_logo.SetFont(pFont, TRUE);
    if (m_domainContent.m_hWnd != nullptr)
        m_domainContent.SetFont(pFont);
}

void CContentPanesWnd::ResetLayout()
{
    if (m_area.m_hWnd != nullptr)
        m_area.ResetLayout();
}

bool CContentPanesWnd::SaveLayoutFile(CFile&)
{
    return false;
}

bool CContentPanesWnd::LoadLayoutFile(CFile&)
{
    return false;
}
