#include "DvdGui/source/SelectAngleDlg.h"

#include "DVD/source/AngleBlock.h"
#include "DvdGui/core/PopupLayout.h"

#include <algorithm>

namespace
{

const int kSplitterHeight = 4;

} // namespace

CSelectAngleDlg::CSelectAngleDlg(const CAngleBlockArray& blocks, const CAngleMap& angleMap, CWnd* pParent)
    : CButtonRowPopup("Select angle", pParent, "Keep this", " Keep this ", "ASD"), m_strip(true, false),
      m_preview(true, PREVIEW_NATURAL_SIZE), m_nStripHeight(CAngleBlockListView::GetPreferredHeight())
{
    for (int32_t b = 0; b < blocks.GetSize(); ++b)
        m_blocks.push_back(blocks[b]);
    for (uint32_t a = 0; a < angleMap.GetSize(); ++a)
    {
        std::vector<BYTE> map;
        if (const CGrowArray<BYTE>* pMap = angleMap[a])
            for (int32_t b = 0; b < pMap->GetSize(); ++b)
                map.push_back((*pMap)[b]);
        m_angleMaps.push_back(std::move(map));
    }
}

void CSelectAngleDlg::CreateContent()
{
    m_tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_ANGLE_TABS, TSF_BUTTONS | TSF_VERTICAL);
    m_preview.Create("CV", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_ANGLE_PREVIEW);
    m_strip.Create("LV", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_ANGLE_STRIP);
    m_nStripHeight = CAngleBlockListView::GetPreferredHeight();
    m_splitter.Create(WS_CHILD | WS_VISIBLE, CRect(0, m_nStripHeight, 100, m_nStripHeight + kSplitterHeight), this,
                      IDC_ANGLE_SPLITTER);
    m_splitter.SetOrientation(CSplitterBar::horizontal);
}

void CSelectAngleDlg::LayoutContent(int cx, int cy)
{
    if (m_splitter.m_hWnd == nullptr)
        return;
    m_nContentHeight = std::max(0, cy);
    const int tw = ::GetSystemMetrics(SM_CYHSCROLL) + 1;
    const int w = std::max(0, cx - tw);
    const int nMin = CAngleBlockListView::GetPreferredHeight();
    CRect client;
    GetClientRect(&client);
    const int h = FitStripHeight(m_nStripHeight, client.Height(), nMin);
    const UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE;
    m_tabs.SetWindowPos(nullptr, 0, 0, tw, m_nContentHeight, nFlags);
    m_strip.SetWindowPos(nullptr, tw, 0, w, h, nFlags);
    m_splitter.SetWindowPos(nullptr, tw, h, w, kSplitterHeight, nFlags);
    m_splitter.SetRange(nMin, m_nContentHeight - nMin);
    const int y = h + kSplitterHeight;
    m_preview.SetWindowPos(nullptr, tw, y, w, std::max(0, m_nContentHeight - y), nFlags);
}

void CSelectAngleDlg::FillContent()
{
    m_strip.SetBlocks(&m_blocks, nullptr);
    for (size_t a = 0; a < m_angleMaps.size(); ++a)
    {
        CString caption;
        caption.Format("Angle %d", int(a + 1));
        m_tabs.AddTab(caption);
    }
    if (!m_angleMaps.empty())
        m_tabs.SetCurSel(0);
    ShowSelection(false);
}

void CSelectAngleDlg::ShowSelection(bool bKeepState)
{
    const int b = m_strip.GetSelectedItem();
    const int a = m_tabs.GetCurSel();
    CVobCell* pUnit = nullptr;
    if (b >= 0 && size_t(b) < m_blocks.size() && a >= 0 && size_t(a) < m_angleMaps.size() &&
        size_t(b) < m_angleMaps[size_t(a)].size() && m_blocks[size_t(b)] != nullptr)
    {
        const uint32_t u = m_angleMaps[size_t(a)][size_t(b)];
        if (u < m_blocks[size_t(b)]->GetIlvuCount())
            pUnit = m_blocks[size_t(b)]->GetIlvu(u);
    }
    // Nothing to keep without a block: the choice would name none.
    m_btnConfirm.EnableWindow(pUnit != nullptr);
    if (bKeepState && pUnit != nullptr)
    {
        const CCellPreviewWnd::PreviewState state = m_preview.GetState();
        m_preview.SetCell(pUnit, &state);
    }
    else
        m_preview.SetCell(pUnit, nullptr);
}

LRESULT CSelectAngleDlg::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY)
    {
        const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        if (pHeader->idFrom == IDC_ANGLE_SPLITTER && pHeader->code == SPN_MOVED)
        {
            const NMSPLITTER* pNotice = reinterpret_cast<const NMSPLITTER*>(lParam);
            m_nStripHeight = std::max(pNotice->newPos, CAngleBlockListView::GetPreferredHeight());
            OnLayout();
        }
        else if (pHeader->idFrom == IDC_ANGLE_STRIP && int(pHeader->code) == ABLN_SELCHANGED)
            ShowSelection(false);
        else if (pHeader->idFrom == IDC_ANGLE_TABS && pHeader->code == TSN_SELCHANGED)
            ShowSelection(true);
    }
    else if (message == WM_GETMINMAXINFO)
    {
        const LRESULT nResult = CButtonRowPopup::DefWindowProc(message, wParam, lParam);
        if (m_nButtonWidth > 0)
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.x =
                GetPopupMinTrackWidth(m_nButtonWidth, m_nButtonHeight);
        return nResult;
    }
    return CButtonRowPopup::DefWindowProc(message, wParam, lParam);
}
