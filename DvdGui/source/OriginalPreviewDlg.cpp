#include "DvdGui/source/OriginalPreviewDlg.h"

#include "DVD/source/AngleBlock.h"

COriginalPreviewDlg::COriginalPreviewDlg(const std::vector<CAngleBlock*>& blocks, CWnd* pParent, LPCTSTR lpszTitle)
    : CButtonRowPopup(lpszTitle, pParent, "OK", " Longtextq ", "ABSD"), m_cellWnd(true)
{
    for (CAngleBlock* pBlock : blocks)
        if (pBlock != nullptr && pBlock->GetIlvuCount() < 2)
            m_blocks.push_back(pBlock);
    m_cellWnd.ShowStrip(m_blocks.size() >= 2);
}

void COriginalPreviewDlg::CreateContent()
{
    m_cellWnd.Create("ABSD", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_ORIGINAL_CELLWND);
}

void COriginalPreviewDlg::LayoutContent(int cx, int cy)
{
    if (m_cellWnd.m_hWnd != nullptr)
        m_cellWnd.SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void COriginalPreviewDlg::FillContent()
{
    m_cellWnd.SetBlocks(&m_blocks, nullptr);
}

void COriginalPreviewDlg::OnOK()
{
    const CAngleBlock* pBlock = m_cellWnd.GetStrip().GetSelectedBlock();
    if (pBlock == nullptr || pBlock->GetIlvuCount() == 0)
    {
        AfxMessageBox("No block is selected!");
        return;
    }
    CButtonRowPopup::OnOK();
}
