#include "DvdGui/source/ContentPanesWnd.h"

#include "DVD/source/Menu.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/Resource.h"

// ---- CContentPanesWnd ----

CString CContentPanesWnd::s_strClassName;

BEGIN_MESSAGE_MAP(CContentPanesWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_DESTROY()
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
    // a frame that failed to be made has deleted itself
    auto* pFrame = new CMyExtBarHostFrame(kContentPaneProfile);
    if (pFrame->CreateInner(this))
    {
        m_pHostFrame = pFrame;
        m_domainContent.Create("", 0x56000000, rect, m_pHostFrame, IDC_DOMAIN_CONTENT, m_pHostFrame);
        m_pHostFrame->LoadBarState();
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

void CContentPanesWnd::OnDestroy()
{
    CWnd::OnDestroy();
    if (m_pHostFrame != nullptr)
    {
        CMyExtBarHostFrame* pFrame = m_pHostFrame;
        m_pHostFrame = nullptr;
        if (m_pActive == pFrame)
            m_pActive = nullptr;
        pFrame->DestroyWindow();
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
    m_pActive = bDomain && m_pHostFrame != nullptr ? static_cast<CWnd*>(m_pHostFrame) : &m_logo;
    ShowActive();
    ::SetCursor(hPrevious);
}

void CContentPanesWnd::ShowActive()
{
    if (m_pHostFrame != nullptr && m_pActive != m_pHostFrame)
    {
        m_domainContent.SetBlocks(nullptr, nullptr);
        m_pHostFrame->ShowWindow(SW_HIDE);
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
    if (m_pHostFrame != nullptr)
        m_pHostFrame->ResetLayout();
}

bool CContentPanesWnd::SaveLayoutFile(CFile& file)
{
    return m_pHostFrame != nullptr && m_pHostFrame->SaveLayoutFile(file);
}

bool CContentPanesWnd::LoadLayoutFile(CFile& file)
{
    return m_pHostFrame != nullptr && m_pHostFrame->LoadLayoutFile(file);
}
