#include "DvdGui/source/CellViewWnd.h"

#include "DVD/source/AngleBlock.h"

namespace
{

CString s_strClassName;

// The tab strip's look: arrow buttons, running down the side.
const DWORD kTabFlags = TSF_BUTTONS | TSF_VERTICAL;

} // namespace

BEGIN_MESSAGE_MAP(CCellViewWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CCellViewWnd::CCellViewWnd(bool bReadOnly) : m_preview(bReadOnly, PREVIEW_NATURAL_SIZE)
{
    if (!s_strClassName.IsEmpty())
        return;
    try
    {
        s_strClassName = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW));
    }
    catch (CException* e)
    {
        AfxMessageBox("Couldn't register class! (Already registered?)");
        e->Delete();
    }
}

CCellViewWnd::~CCellViewWnd()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL CCellViewWnd::Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                          CCreateContext* pContext)
{
    return CreateEx(0, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CCellViewWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                            UINT nID, CCreateContext* pContext)
{
    if (s_strClassName.IsEmpty())
        return FALSE;
    const BOOL bCreated = CWnd::CreateEx(dwExStyle, s_strClassName, lpszWindowName, dwStyle | WS_CLIPCHILDREN, rect,
                                         pParentWnd, nID, pContext);
    if (bCreated)
        RecalcLayout();
    return bCreated;
}

int CCellViewWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_CELLVIEW_TABS, kTabFlags);
    m_preview.Create("Cell View", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_CELLVIEW_PREVIEW);
    RecalcLayout();
    Invalidate();
    return 0;
}

void CCellViewWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
    Invalidate();
}

void CCellViewWnd::RecalcLayout()
{
    if (m_tabs.m_hWnd == nullptr || m_preview.m_hWnd == nullptr)
        return;
    CRect client;
    GetClientRect(&client);
    const int tw = m_bShowTabs ? ::GetSystemMetrics(SM_CYHSCROLL) + 1 : 0;
    m_tabs.SetWindowPos(nullptr, 0, 0, tw, client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    m_preview.SetWindowPos(nullptr, tw, 0, client.Width() - tw, client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCellViewWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    m_preview.SetFont(pFont, bRedraw);
}

void CCellViewWnd::SetBlock(CAngleBlock* pBlock, const CCellViewLocation* pLocation)
{
    m_pBlock = pBlock;
    m_angleMap.SetSize(0);
    m_angleMap.FreeExtra();
    m_tabs.DeleteAllTabs();
    if (pBlock != nullptr)
    {
        const uint32_t n = pBlock->GetIlvuCount();
        for (uint32_t i = 0; i < n; ++i)
        {
            const int32_t nEntry = m_angleMap.Add(BYTE(i));
            CString caption;
            if (n > 1)
                caption.Format("ilvu %d", int(nEntry + 1));
            m_tabs.AddTab(caption);
        }
    }
    CCellViewLocation location;
    if (pLocation != nullptr)
        location = *pLocation;
    else
    {
        location.preview = m_preview.GetState();
        location.preview.nVobu &= ~0xFFFF;
    }
    SetLocation(location);
}

CCellViewLocation CCellViewWnd::GetLocation() const
{
    CCellViewLocation location;
    location.tab = m_tabs.GetCurSel();
    location.preview = m_preview.GetState();
    return location;
}

void CCellViewWnd::SetLocation(const CCellViewLocation& location)
{
    if (m_angleMap.GetSize() > 0 && m_pBlock != nullptr)
    {
        const int t = location.tab >= 0 && location.tab < m_angleMap.GetSize() ? location.tab : 0;
        m_tabs.SetCurSel(t);
        m_preview.SetCell(m_pBlock->GetIlvu(m_angleMap[t]), &location.preview);
    }
    else
        m_preview.SetCell(nullptr, nullptr);
    m_bShowTabs = m_pBlock != nullptr && m_pBlock->GetIlvuCount() > 1;
    RecalcLayout();
    m_tabs.Invalidate();
}

LRESULT CCellViewWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && wParam == IDC_CELLVIEW_TABS && m_pBlock != nullptr)
    {
        const NMTABSTRIP* pNotice = reinterpret_cast<const NMTABSTRIP*>(lParam);
        if (pNotice->hdr.code == TSN_SELCHANGED && pNotice->nTab >= 0 && pNotice->nTab < m_angleMap.GetSize())
        {
            // the other angle at the same place with the same streams
            const CCellPreviewWnd::PreviewState state = m_preview.GetState();
            m_preview.SetCell(m_pBlock->GetIlvu(m_angleMap[pNotice->nTab]), &state);
        }
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}
