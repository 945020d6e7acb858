#include "DvdGui/source/DvdTreePane.h"

#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DvdGui/core/DomainRows.h"
#include "DvdGui/core/EditGuard.h"
#include "DvdGui/source/GuiHelpers.h"
#include "DvdGui/source/Options.h"
#include "DvdGui/source/Resource.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"

#include <algorithm>
#include <functional>

namespace
{

// Tree with lines, buttons and images, a header, full-row selection and
// grid lines; nothing is edited, checked or dragged.
const DWORD kTreeStyle = 0x6775C9;
const COLORREF kOverTargetColor = RGB(255, 128, 0);
const int kDiscImage = 6;
const int kDomainImage = 4;
const char kSettings[] = "Settings";
const char* const kColumnWidthKeys[] = {"DSV_CW0", "DSV_CW1"};

bool IsShownKind(uint8_t nKind)
{
    return nKind == DVDNODE_DVD || nKind == DVDNODE_VMG || nKind == DVDNODE_VTS || nKind == DVDNODE_LANGUAGE_UNIT;
}

CDvdObject* NodeOf(const CTreeListItem* pItem)
{
    return pItem != nullptr ? reinterpret_cast<CDvdObject*>(pItem->m_dwData) : nullptr;
}

// The items below pItem (or every item), parents before their children.
void ForEachItem(CTreeListItem* pFirst, const std::function<void(CTreeListItem*)>& visit)
{
    for (CTreeListItem* p = pFirst; p != nullptr; p = p->m_pNext)
    {
        visit(p);
        ForEachItem(p->m_pChild, visit);
    }
}

} // namespace

CString CDvdTreePane::s_strClassName;

BEGIN_MESSAGE_MAP(CDvdTreePane, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_COMMAND(ID_DOMAIN_ENABLE_ALL_OPERATIONS, OnEnableAllOperations)
ON_COMMAND(ID_DOMAIN_HIDE_ALL_BLOCKS, OnHideAllBlocks)
ON_COMMAND(ID_DOMAIN_STRIP_ANGLES, OnStripAngles)
ON_COMMAND(ID_DOMAIN_HIDE_MENU_TRANSITIONS, OnHideMenuTransitions)
ON_COMMAND(ID_DOMAIN_DELETE_LANGUAGE_UNIT, OnDeleteLanguageUnit)
ON_COMMAND(ID_DOMAIN_RESTORE_ALL_BLOCKS, OnRestoreAllBlocks)
ON_COMMAND(ID_TREE_EXPAND_ALL, OnExpandAll)
ON_COMMAND(ID_TREE_COLLAPSE_ALL, OnCollapseAll)
ON_COMMAND(ID_DOMAIN_REMOVE_PARENTAL_MANAGEMENT, OnRemoveParentalManagement)
ON_COMMAND(ID_DOMAIN_CONVERT_MENUS_TO_STILL, OnConvertMenusToStill)
END_MESSAGE_MAP()

CDvdTreePane::CDvdTreePane()
{
    RegisterPaneClass(s_strClassName);
}

CDvdTreePane::~CDvdTreePane()
{
    m_imageList.DeleteImageList();
    if (m_tree.m_hWnd != nullptr)
        m_tree.DestroyWindow();
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL CDvdTreePane::Create(LPCTSTR lpszTitle, DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID,
                          CCreateContext* pContext)
{
    return CreateEx(0, lpszTitle, dwStyle, rect, pParent, nID, pContext);
}

BOOL CDvdTreePane::CreateEx(DWORD dwExStyle, LPCTSTR lpszTitle, DWORD dwStyle, const RECT& rect, CWnd* pParent,
                            UINT nID, CCreateContext* pContext)
{
    if (s_strClassName.IsEmpty())
        return FALSE;
    if (!CWnd::CreateEx(dwExStyle, s_strClassName, lpszTitle, dwStyle | WS_CLIPCHILDREN, rect, pParent, nID, pContext))
        return FALSE;
    FitTree();
    return TRUE;
}

int CDvdTreePane::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_tree.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, lpCreateStruct->cx, lpCreateStruct->cy), this, IDC_DISC_TREE))
        return -1;
    m_tree.SetStyle(kTreeStyle);
    m_tree.SetExtendedStyle(TLC_EX_FILLLAST);
    if (!m_imageList.Create(IDB_DISC_TREE, 16, 16, RGB(255, 0, 255)))
        return 0;
    m_tree.SetImageList(&m_imageList);
    m_tree.InsertColumn("Domain", 0x504144);
    m_tree.InsertColumn("Size", 0x104246);
    CWinApp* pApp = AfxGetApp();
    m_tree.SetColumnWidth(0, pApp->GetProfileInt(kSettings, kColumnWidthKeys[0], 180), 80);
    m_tree.SetColumnWidth(1, pApp->GetProfileInt(kSettings, kColumnWidthKeys[1], 100), 60);
    FitTree();
    Invalidate();
    return 0;
}

void CDvdTreePane::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    FitTree();
    Invalidate();
}

void CDvdTreePane::FitTree()
{
    if (m_tree.m_hWnd == nullptr)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    m_tree.SetWindowPos(nullptr, 0, 0, rcClient.Width(), rcClient.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Filling ---------------------------------------------------------------------------

void CDvdTreePane::Fill(CDvd* pDvd, const CDvdTreeLocation* pLocation)
{
    m_pContextItem = nullptr;
    m_tree.DeleteAllItems();
    m_pDvd = pDvd;
    if (pDvd == nullptr)
        return;
    CTreeListItem* pTop = m_tree.InsertItem("DVD", TLIS_SHOWIMAGE | TLIS_CHILDRENKNOWN, TLI_ROOT, TLI_FIRST);
    pTop->SetImages(kDiscImage, kDiscImage, kDiscImage, kDiscImage);
    pTop->m_dwData = reinterpret_cast<DWORD_PTR>(pDvd);
    AddChildren(pDvd, pTop);
    if (GetOptionShowSizes())
        ShowSizes();
    SetLocation(pLocation != nullptr ? *pLocation : CDvdTreeLocation());
}

void CDvdTreePane::AddChildren(CDvdObject* pNode, CTreeListItem* pItem)
{
    CTreeListItem* pAfter = TLI_FIRST;
    for (unsigned i = 0; i < pNode->GetChildCount(); ++i)
    {
        CDvdObject* pChild = pNode->GetChild(i);
        if (pChild == nullptr || !IsShownKind(pChild->GetKind()))
            continue;
        CTreeListItem* pChildItem =
            m_tree.InsertItem(pNode->GetChildName(i), TLIS_SHOWIMAGE | TLIS_CHILDRENKNOWN, pItem, pAfter);
        pChildItem->SetImages(kDomainImage, kDomainImage, kDomainImage, kDomainImage);
        pChildItem->m_dwData = reinterpret_cast<DWORD_PTR>(pChild);
        AddChildren(pChild, pChildItem);
        pAfter = pChildItem;
    }
}

void CDvdTreePane::ShowSizes()
{
    ForEachItem(m_tree.GetFirstItem(),
                [this](CTreeListItem* pItem)
                {
                    CDvdObject* pNode = NodeOf(pItem);
                    const uint64_t nSize = GetTreeNodeSize(pNode);
                    pItem->SetText(FormatMegabytes(nSize), 1);
                    if (pNode->GetKind() != DVDNODE_DVD)
                        return;
                    const CString strTip = GetOverTargetTip(nSize, GetOptionTargetSize());
                    if (strTip.IsEmpty())
                        return;
                    for (int nColumn = 0; nColumn < m_tree.GetColumnCount(); ++nColumn)
                    {
                        pItem->SetTextColor(kOverTargetColor, nColumn);
                        pItem->SetTipText(strTip, nColumn);
                    }
                });
    m_tree.Invalidate();
}

// ---- Locations -------------------------------------------------------------------------

CDvdTreeLocation CDvdTreePane::GetLocation() const
{
    CDvdTreeLocation location;
    CTreeListItem* pSelected =
        (m_tree.GetStyle() & TLC_MULTIPLESELECT) != 0 ? m_tree.GetSelectedItem() : m_tree.GetCaretItem();
    if (pSelected != nullptr)
    {
        location.row = m_tree.GetItemScreenRow(pSelected);
        for (CTreeListItem* p = pSelected; p != nullptr && p != m_tree.GetRootItem(); p = p->m_pParent)
            location.selectedPath.push_back(NodeOf(p)->GetId());
    }
    else
    {
        location.row = -1;
    }
    ForEachItem(m_tree.GetFirstItem(),
                [&location](CTreeListItem* pItem)
                {
                    if (pItem->IsExpanded())
                        location.expandedIds.push_back(NodeOf(pItem)->GetId());
                });
    return location;
}

void CDvdTreePane::SetLocation(const CDvdTreeLocation& location)
{
    CTreeListItem* pTop = m_tree.GetFirstItem();
    if (pTop == nullptr)
        return;
    ForEachItem(pTop,
                [this, &location](CTreeListItem* pItem)
                {
                    const uint64_t nId = NodeOf(pItem)->GetId();
                    const bool bExpand = std::find(location.expandedIds.begin(), location.expandedIds.end(), nId) !=
                                         location.expandedIds.end();
                    m_tree.Expand(pItem, bExpand ? TLE_EXPAND : TLE_COLLAPSE);
                });
    CTreeListItem* pSelect = nullptr;
    for (size_t i = 0; i < location.selectedPath.size() && pSelect == nullptr; ++i)
        pSelect = FindNode(location.selectedPath[i]);
    if (pSelect == nullptr)
        pSelect = pTop;
    m_tree.SelectItem(pSelect, 0, false, false);
    m_tree.EnsureVisible(pSelect, 0);
    if (location.row >= 0)
        m_tree.SetItemScreenRow(pSelect, location.row);
    else
        m_tree.Expand(pTop, TLE_EXPAND);
}

CTreeListItem* CDvdTreePane::FindNode(uint64_t nId) const
{
    CTreeListItem* pFound = nullptr;
    ForEachItem(m_tree.GetFirstItem(),
                [&pFound, nId](CTreeListItem* pItem)
                {
                    if (pFound == nullptr && NodeOf(pItem)->GetId() == nId)
                        pFound = pItem;
                });
    return pFound;
}

CTreeListItem* CDvdTreePane::SelectNode(const CDvdObject* pNode)
{
    CTreeListItem* pFound = nullptr;
    ForEachItem(m_tree.GetFirstItem(),
                [&pFound, pNode](CTreeListItem* pItem)
                {
                    if (pFound == nullptr && NodeOf(pItem) == pNode)
                        pFound = pItem;
                });
    if (pFound != nullptr)
    {
        m_tree.SelectItem(pFound, 0, false, false);
        m_tree.EnsureVisible(pFound, 0);
    }
    return pFound;
}

// ---- Notices, menu and keys ------------------------------------------------------------

LRESULT CDvdTreePane::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && wParam == IDC_DISC_TREE)
    {
        const NMTREELIST* pRecord = reinterpret_cast<const NMTREELIST*>(lParam);
        switch (int(pRecord->hdr.code))
        {
        case TLN_RBUTTONUP: ShowContextMenu(pRecord->pItem, CPoint(pRecord->nValue1, pRecord->nValue2)); break;
        case TLN_COLUMNRESIZED:
            if (pRecord->nCol == 0 || pRecord->nCol == 1)
                AfxGetApp()->WriteProfileInt(kSettings, kColumnWidthKeys[pRecord->nCol],
                                             m_tree.GetColumnWidth(pRecord->nCol));
            break;
        case TLN_SELCHANGED:
        {
            CWnd* pParent = GetParent();
            if (pParent != nullptr)
            {
                NMDVDTREE notice = {};
                notice.hdr.hwndFrom = m_hWnd;
                notice.hdr.idFrom = GetDlgCtrlID();
                notice.hdr.code = UINT(TLN_SELCHANGED);
                notice.pNode = NodeOf(pRecord->pItem);
                pParent->SendMessage(WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
            }
            m_tree.SetFocus();
            break;
        }
        default: break;
        }
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CDvdTreePane::ShowContextMenu(CTreeListItem* pItem, CPoint ptScreen)
{
    m_pContextItem = pItem != nullptr ? pItem : m_tree.GetFirstItem();
    if (m_pContextItem == nullptr)
        return;
    CExtPopupMenuWnd* pMenu = new CExtPopupMenuWnd;
    pMenu->CreatePopupMenu(m_hWnd);
    if (pItem != nullptr)
        AppendDomainCommands(*pMenu, NodeOf(pItem));
    if (m_pContextItem->m_pChild != nullptr)
    {
        if (pMenu->ItemGetCount() > 0)
            AddPopupMenuSeparator(*pMenu);
        AddPopupMenuItem(*pMenu, ID_TREE_EXPAND_ALL, "&Expand all", "Shift+E", true, true);
        AddPopupMenuItem(*pMenu, ID_TREE_COLLAPSE_ALL, "&Collapse all", "Ctrl+Shift+C", true, true);
    }
    if (pMenu->ItemGetCount() == 0)
    {
        delete pMenu;
        return;
    }
    // the tracker owns the menu from here on, whatever the outcome
    pMenu->TrackPopupMenu(0, ptScreen.x, ptScreen.y);
}

BOOL CDvdTreePane::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN)
    {
        m_pContextItem =
            (m_tree.GetStyle() & TLC_MULTIPLESELECT) != 0 ? m_tree.GetSelectedItem() : m_tree.GetCaretItem();
        const bool bCtrl = ::GetKeyState(VK_CONTROL) < 0;
        const bool bShift = ::GetKeyState(VK_SHIFT) < 0;
        // Shift+C collapses with Ctrl up, although the menu shows
        // "Ctrl+Shift+C"; users know the keys as they are
        switch (pMsg->wParam)
        {
        case 'C':
            if (bShift && !bCtrl && m_pContextItem != nullptr)
            {
                OnCollapseAll();
                return TRUE;
            }
            break;
        case 'E':
            if (bShift && m_pContextItem != nullptr)
            {
                OnExpandAll();
                return TRUE;
            }
            break;
        case 'H':
            if (bCtrl)
            {
                OnHideAllBlocks();
                return TRUE;
            }
            break;
        case 'O':
            if (bCtrl && bShift)
            {
                OnEnableAllOperations();
                return TRUE;
            }
            break;
        case 'Z':
            if (bCtrl && bShift)
            {
                OnRestoreAllBlocks();
                return TRUE;
            }
            break;
        default: break;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}
