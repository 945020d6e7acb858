#include "uitoolkit/controls/ExtMdiWindowsListDlg.h"

#include "framework/win/Document.h"
#include "framework/win/MdiFrameWnd.h"
#include "framework/win/View.h"
#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/docking/ExtControlBar.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CExtMdiWindowsListDlg, CExtResizableDialog)
ON_WM_DRAWITEM()
ON_WM_MEASUREITEM()
ON_WM_COMPAREITEM()
ON_LBN_SELCHANGE(IDC_EXT_MDI_LIST, OnSelChangeList)
ON_LBN_DBLCLK(IDC_EXT_MDI_LIST, OnDblClkList)
END_MESSAGE_MAP()

namespace
{

HICON SmallIconOf(HWND hWnd)
{
    HICON hIcon = reinterpret_cast<HICON>(::SendMessageA(hWnd, WM_GETICON, ICON_SMALL, 0));
    if (hIcon == nullptr)
        hIcon = reinterpret_cast<HICON>(::GetClassLongPtrA(hWnd, GCLP_HICONSM));
    return hIcon;
}

} // namespace

void CExtMdiWindowsListDlg::CWindowsList::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    m_pDlg->OnDrawItem(GetDlgCtrlID(), lpDrawItemStruct);
}

void CExtMdiWindowsListDlg::CWindowsList::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    m_pDlg->OnMeasureItem(GetDlgCtrlID(), lpMeasureItemStruct);
}

int CExtMdiWindowsListDlg::CWindowsList::CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct)
{
    return m_pDlg->OnCompareItem(GetDlgCtrlID(), lpCompareItemStruct);
}

CExtMdiWindowsListDlg::CExtMdiWindowsListDlg(CMDIFrameWnd* pMDIFrame, CWnd* pParent)
    : CExtResizableDialog(IDD_EXT_MDI_WINDOWS_LIST, pParent)
{
    m_hWndMDIFrame = pMDIFrame->GetSafeHwnd();
    m_listWindows.m_pDlg = this;
    if (m_hWndMDIFrame != nullptr)
        m_hWndMDIClient = CExtControlBar::FindMdiClientWindow(m_hWndMDIFrame);
    if (pMDIFrame != nullptr)
        InitIcon(m_hWndMDIFrame);
}

void CExtMdiWindowsListDlg::InitIcon(HWND hWndFrame)
{
    m_hIcon = reinterpret_cast<HICON>(::SendMessageA(hWndFrame, WM_GETICON, ICON_SMALL, 0));
    if (m_hIcon == nullptr)
        m_hIcon = reinterpret_cast<HICON>(::SendMessageA(hWndFrame, WM_GETICON, ICON_BIG, 0));
    if (m_hIcon == nullptr)
        m_hIcon = reinterpret_cast<HICON>(::GetClassLongPtrA(hWndFrame, GCLP_HICONSM));
    if (m_hIcon == nullptr)
        m_hIcon = ::LoadIcon(nullptr, IDI_WINLOGO);
}

HWND CExtMdiWindowsListDlg::ActiveChild() const
{
    if (m_hWndMDIClient == nullptr)
        return nullptr;
    return reinterpret_cast<HWND>(::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
}

BOOL CExtMdiWindowsListDlg::OnInitDialog()
{
    CExtResizableDialog::OnInitDialog();
    m_btnOk.SubclassDlgItem(IDOK, this);
    m_btnTileVert.SubclassDlgItem(IDC_EXT_MDI_TILE_VERT, this);
    m_btnTileHorz.SubclassDlgItem(IDC_EXT_MDI_TILE_HORZ, this);
    m_btnSave.SubclassDlgItem(IDC_EXT_MDI_SAVE, this);
    m_btnMinimize.SubclassDlgItem(IDC_EXT_MDI_MINIMIZE, this);
    m_btnClose.SubclassDlgItem(IDC_EXT_MDI_CLOSE, this);
    m_btnCascade.SubclassDlgItem(IDC_EXT_MDI_CASCADE, this);
    m_btnActivate.SubclassDlgItem(IDC_EXT_MDI_ACTIVATE, this);
    m_labelSelect.SubclassDlgItem(IDC_EXT_MDI_LABEL, this);
    m_listWindows.SubclassDlgItem(IDC_EXT_MDI_LIST, this);
    if (m_hIcon != nullptr)
    {
        SetIcon(m_hIcon, TRUE);
        SetIcon(m_hIcon, FALSE);
    }
    AddAnchor(IDC_EXT_MDI_LIST, g_szAnchorTopLeft, g_szAnchorBottomRight);
    static const UINT kButtons[] = {IDC_EXT_MDI_ACTIVATE,  IDOK,
                                    IDC_EXT_MDI_SAVE,      IDC_EXT_MDI_CLOSE,
                                    IDC_EXT_MDI_CASCADE,   IDC_EXT_MDI_TILE_HORZ,
                                    IDC_EXT_MDI_TILE_VERT, IDC_EXT_MDI_MINIMIZE};
    for (UINT nID : kButtons)
        AddAnchor(nID, g_szAnchorTopRight);
    FillList();
    SelectActiveChild();
    UpdateButtons();
    return TRUE;
}

void CExtMdiWindowsListDlg::FillList()
{
    m_listWindows.SetRedraw(FALSE);
    m_listWindows.ResetContent();
    const HWND hWndActive = ActiveChild();
    if (hWndActive != nullptr)
    {
        for (HWND hWnd = ::GetWindow(hWndActive, GW_HWNDLAST); hWnd != nullptr; hWnd = ::GetWindow(hWnd, GW_HWNDPREV))
        {
            if (!::IsWindowVisible(hWnd))
                continue;
            CString sText;
            CWnd::FromHandle(hWnd)->GetWindowText(sText);
            if (sText.IsEmpty())
            {
                // a child without a caption is known by its document
                for (HWND hWndView = ::GetWindow(hWnd, GW_CHILD); hWndView != nullptr;
                     hWndView = ::GetWindow(hWndView, GW_HWNDNEXT))
                {
                    CWnd* pWnd = CWnd::FromHandlePermanent(hWndView);
                    if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CView)))
                        continue;
                    CDocument* pDoc = static_cast<CView*>(pWnd)->GetDocument();
                    sText = pDoc != nullptr ? pDoc->GetTitle() : CString();
                    ::SetWindowTextA(hWnd, sText);
                }
            }
            const int nIndex = m_listWindows.AddString(sText);
            if (nIndex >= 0)
                m_listWindows.SetItemData(nIndex, reinterpret_cast<DWORD_PTR>(hWnd));
        }
    }
    m_listWindows.SetRedraw(TRUE);
    m_listWindows.Invalidate();
}

void CExtMdiWindowsListDlg::SelectActiveChild()
{
    const int nCount = m_listWindows.GetCount();
    if (nCount <= 0)
        return;
    m_listWindows.SendMessage(LB_SELITEMRANGEEX, nCount - 1, 0);
    const HWND hWndActive = ActiveChild();
    for (int i = 0; i < nCount; ++i)
    {
        if (reinterpret_cast<HWND>(m_listWindows.GetItemData(i)) == hWndActive)
        {
            m_listWindows.SetSel(i, TRUE);
            break;
        }
    }
}

void CExtMdiWindowsListDlg::UpdateButtons()
{
    const int nSelected = m_listWindows.GetSelCount();
    GetDlgItem(IDC_EXT_MDI_ACTIVATE)->EnableWindow(nSelected == 1);
    for (UINT nID : {IDC_EXT_MDI_SAVE, IDC_EXT_MDI_CLOSE, IDC_EXT_MDI_MINIMIZE})
        GetDlgItem(nID)->EnableWindow(nSelected >= 1);
    for (UINT nID : {IDC_EXT_MDI_CASCADE, IDC_EXT_MDI_TILE_HORZ, IDC_EXT_MDI_TILE_VERT})
        GetDlgItem(nID)->EnableWindow(nSelected >= 2);
}

void CExtMdiWindowsListDlg::RestoreSelectedMinimiseOthers()
{
    for (int i = m_listWindows.GetCount() - 1; i >= 0; --i)
    {
        const HWND hWnd = reinterpret_cast<HWND>(m_listWindows.GetItemData(i));
        ::ShowWindow(hWnd, m_listWindows.GetSel(i) > 0 ? SW_RESTORE : SW_MINIMIZE);
    }
}

BOOL CExtMdiWindowsListDlg::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (nCode == CN_COMMAND && pHandlerInfo == nullptr && nID >= IDC_EXT_MDI_ACTIVATE && nID <= IDC_EXT_MDI_SAVE)
    {
        const int nCount = m_listWindows.GetCount();
        const int nCaret = m_listWindows.GetCurSel();
        const HWND hWndCaret = reinterpret_cast<HWND>(m_listWindows.GetItemData(nCaret));
        if (hWndCaret != reinterpret_cast<HWND>(LB_ERR))
        {
            switch (nID)
            {
            case IDC_EXT_MDI_ACTIVATE:
            {
                WINDOWPLACEMENT wp = {sizeof(WINDOWPLACEMENT)};
                if (::GetWindowPlacement(hWndCaret, &wp) && wp.showCmd == SW_SHOWMINIMIZED)
                    ::ShowWindow(hWndCaret, SW_RESTORE);
                ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hWndCaret), 0);
                EndDialog(IDOK);
                break;
            }
            case IDC_EXT_MDI_CASCADE:
                RestoreSelectedMinimiseOthers();
                ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0);
                UpdateButtons();
                break;
            case IDC_EXT_MDI_TILE_HORZ:
                RestoreSelectedMinimiseOthers();
                ::SendMessageA(m_hWndMDIClient, WM_MDITILE, MDITILE_HORIZONTAL, 0);
                UpdateButtons();
                break;
            case IDC_EXT_MDI_TILE_VERT:
                RestoreSelectedMinimiseOthers();
                ::SendMessageA(m_hWndMDIClient, WM_MDITILE, MDITILE_VERTICAL, 0);
                UpdateButtons();
                break;
            case IDC_EXT_MDI_MINIMIZE:
                for (int i = nCount - 1; i >= 0; --i)
                {
                    if (m_listWindows.GetSel(i) > 0)
                        ::ShowWindow(reinterpret_cast<HWND>(m_listWindows.GetItemData(i)), SW_MINIMIZE);
                }
                ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0);
                UpdateButtons();
                break;
            case IDC_EXT_MDI_CLOSE:
                for (int i = 0; i < nCount; ++i)
                {
                    if (m_listWindows.GetSel(i) > 0)
                        ::PostMessageA(reinterpret_cast<HWND>(m_listWindows.GetItemData(i)), WM_CLOSE, 0, 0);
                }
                PumpPendingMessages();
                FillList();
                SelectActiveChild();
                UpdateButtons();
                break;
            case IDC_EXT_MDI_SAVE:
                for (int i = 0; i < nCount; ++i)
                {
                    if (m_listWindows.GetSel(i) <= 0)
                        continue;
                    // only frames of the framework carry documents
                    CWnd* pWnd = CWnd::FromHandlePermanent(reinterpret_cast<HWND>(m_listWindows.GetItemData(i)));
                    if (pWnd == nullptr || !pWnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
                        continue;
                    if (CDocument* pDoc = static_cast<CFrameWnd*>(pWnd)->GetActiveDocument())
                        pDoc->SaveModified();
                }
                FillList();
                SelectActiveChild();
                UpdateButtons();
                break;
            }
        }
    }
    return CExtResizableDialog::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CExtMdiWindowsListDlg::OnSelChangeList()
{
    UpdateButtons();
}

void CExtMdiWindowsListDlg::OnDblClkList()
{
    SendMessage(WM_COMMAND, IDC_EXT_MDI_ACTIVATE, 0);
}

void CExtMdiWindowsListDlg::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (nIDCtl != IDC_EXT_MDI_LIST)
    {
        CExtResizableDialog::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    if (lpDrawItemStruct->itemID == static_cast<UINT>(-1))
        return;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const bool bSelected = (lpDrawItemStruct->itemState & ODS_SELECTED) != 0;
    const COLORREF clrWindow = g_PaintManager->GetColor(COLOR_WINDOW);
    const COLORREF clrBack = bSelected ? g_PaintManager->GetColor(COLOR_HIGHLIGHT) : clrWindow;
    const COLORREF clrText = g_PaintManager->GetColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    const bool bPaint = (lpDrawItemStruct->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) != 0;
    const CRect rcItem(lpDrawItemStruct->rcItem);
    if (bPaint)
    {
        // the last item also paints the empty space below it
        CRect rcFill = rcItem;
        if (static_cast<int>(lpDrawItemStruct->itemID) == m_listWindows.GetCount() - 1)
        {
            CRect rcClient;
            GetClientRect(&rcClient);
            rcFill.bottom = std::max<LONG>(rcFill.bottom, rcClient.Height());
        }
        pDC->FillSolidRect(&rcFill, clrWindow);
    }
    const int nIconCx = ::GetSystemMetrics(SM_CXSMICON), nIconCy = ::GetSystemMetrics(SM_CYSMICON);
    CRect rcText = rcItem;
    rcText.left += nIconCx + 3;
    if (bPaint)
        pDC->FillSolidRect(&rcText, clrBack);
    if ((lpDrawItemStruct->itemAction & ODA_FOCUS) != 0)
        pDC->DrawFocusRect(&rcText);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF clrOldText = pDC->SetTextColor(clrText);
    CString sText;
    m_listWindows.GetText(static_cast<int>(lpDrawItemStruct->itemID), sText);
    if (!sText.IsEmpty())
    {
        CRect rcDraw = rcItem;
        rcDraw.left += 4 + nIconCx;
        pDC->DrawText(sText, &rcDraw, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    HICON hIcon = SmallIconOf(reinterpret_cast<HWND>(lpDrawItemStruct->itemData));
    if (hIcon == nullptr)
        hIcon = ::LoadIcon(nullptr, IDI_WINLOGO);
    pDC->FillSolidRect(rcItem.left, rcItem.top, nIconCx + 3, rcItem.Height(), clrWindow);
    ::DrawIconEx(pDC->GetSafeHdc(), rcItem.left + 2, rcItem.top, hIcon, nIconCx, nIconCy, 0, nullptr, DI_NORMAL);
    pDC->SetTextColor(clrOldText);
    pDC->SetBkMode(nOldMode);
}

void CExtMdiWindowsListDlg::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (nIDCtl != IDC_EXT_MDI_LIST)
        CExtResizableDialog::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

int CExtMdiWindowsListDlg::OnCompareItem(int nIDCtl, LPCOMPAREITEMSTRUCT lpCompareItemStruct)
{
    if (nIDCtl != IDC_EXT_MDI_LIST)
        return CExtResizableDialog::OnCompareItem(nIDCtl, lpCompareItemStruct);
    if (lpCompareItemStruct->itemID1 == static_cast<UINT>(-1) || lpCompareItemStruct->itemID2 == static_cast<UINT>(-1))
        return -1;
    CString s1, s2;
    m_listWindows.GetText(static_cast<int>(lpCompareItemStruct->itemID1), s1);
    m_listWindows.GetText(static_cast<int>(lpCompareItemStruct->itemID2), s2);
    return ::CompareStringA(LOCALE_USER_DEFAULT, 0, s1, -1, s2, -1) - CSTR_EQUAL;
}
