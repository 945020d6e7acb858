#include "DvdGui/source/VideoInfoWnd.h"

#include "DVD/source/AngleBlock.h"
#include "DvdGui/core/DomainRows.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/Resource.h"

namespace
{
// Read-only rows with a header and grid lines, the selection shown always.
const DWORD kListStyle = 0x403648;
} // namespace

CString CVideoInfoWnd::s_strClassName;

BEGIN_MESSAGE_MAP(CVideoInfoWnd, CWnd)
ON_WM_SIZE()
END_MESSAGE_MAP()

CVideoInfoWnd::CVideoInfoWnd()
{
    RegisterPaneClass(s_strClassName);
}

BOOL CVideoInfoWnd::Create(LPCTSTR lpszTitle, UINT nID, CWnd* pParent, CWnd* pOwner, DWORD dwStyle, DWORD dwExStyle)
{
    if (s_strClassName.IsEmpty())
        return FALSE;
    const BOOL bCreated = CWnd::CreateEx(dwExStyle, s_strClassName, lpszTitle, dwStyle | WS_CLIPCHILDREN,
                                         CRect(0, 0, 0, 0), pParent, nID);
    if (!bCreated)
        return FALSE;
    m_pOwner = pOwner != nullptr ? pOwner : pParent;
    if (!m_list.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_VIDEO_INFO_LIST))
        return FALSE;
    m_list.SetStyle(kListStyle);
    m_list.SetExtendedStyle(TLC_EX_FILLLAST | TLC_EX_EMPTYROWS);
    if (pParent != nullptr && pParent->GetFont() != nullptr)
        m_list.SetFont(pParent->GetFont());
    m_list.InsertColumn("Field", 0x20100201, 0, -1);
    m_list.InsertColumn("Value", 0x100101, 0, -1);
    m_list.SetColumnWidth(1, 150, 100);
    RecalcLayout();
    return bCreated;
}

void CVideoInfoWnd::SetDomain(CAngleBlockList* pDomain, const CVideoInfoLocation* pLocation)
{
    m_pDomain = pDomain;
    m_list.DeleteAllItems();
    if (pDomain != nullptr)
    {
        for (const CVideoInfoRow& row : GetVideoInfoRows(pDomain->GetStreams().GetVideo()))
        {
            CTreeListItem* pItem = m_list.InsertItem(row.strField, TLIS_EXPANDED | TLIS_CHILDRENKNOWN);
            pItem->SetText(row.strValue, 1);
        }
    }
    SetLocation(pLocation != nullptr ? *pLocation : CVideoInfoLocation());
}

CTreeListItem* CVideoInfoWnd::GetCurrentItem() const
{
    return (m_list.GetStyle() & TLC_MULTIPLESELECT) != 0 ? m_list.GetSelectedItem() : m_list.GetCaretItem();
}

CVideoInfoLocation CVideoInfoWnd::GetLocation() const
{
    CVideoInfoLocation location;
    if (CTreeListItem* pItem = GetCurrentItem())
    {
        location.row = m_list.GetItemScreenRow(pItem);
        location.data = uint32_t(uint16_t(pItem->m_dwData));
    }
    return location;
}

void CVideoInfoWnd::SetLocation(const CVideoInfoLocation& location)
{
    m_list.SelectItemByData(location.data);
    if (CTreeListItem* pItem = GetCurrentItem())
        m_list.SetItemScreenRow(pItem, location.row);
    RecalcLayout();
}

void CVideoInfoWnd::RecalcLayout()
{
    if (m_list.m_hWnd == nullptr)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    m_list.SetWindowPos(nullptr, 0, 0, rcClient.Width(), rcClient.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    m_list.SetColumnWidth(0, -2);
}

void CVideoInfoWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_list.m_hWnd != nullptr)
        RecalcLayout();
}
