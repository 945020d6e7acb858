#include "DvdGui/source/OriginalCellWnd.h"

#include "DvdGui/core/PopupLayout.h"
#include "DvdGui/source/GuiHelpers.h"

#include <algorithm>

namespace
{

CString s_strClassName;

const char kSettings[] = "Settings";
const char kStripHeightEntry[] = "ABV_S";
const int kSplitterHeight = 4;

} // namespace

BEGIN_MESSAGE_MAP(COriginalCellWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

COriginalCellWnd::COriginalCellWnd(bool bReadOnly)
    : m_strip(bReadOnly, true), m_cellView(bReadOnly), m_nStripHeight(CAngleBlockListView::GetPreferredHeight())
{
    RegisterPaneClass(s_strClassName);
}

COriginalCellWnd::~COriginalCellWnd()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL COriginalCellWnd::Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                              CCreateContext* pContext)
{
    return CreateEx(0, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL COriginalCellWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                                CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    if (s_strClassName.IsEmpty())
        return FALSE;
    const BOOL bCreated = CWnd::CreateEx(dwExStyle, s_strClassName, lpszWindowName, dwStyle | WS_CLIPCHILDREN, rect,
                                         pParentWnd, nID, pContext);
    if (bCreated)
        RecalcLayout();
    return bCreated;
}

int COriginalCellWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_cellView.Create("BV", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_ORIGINAL_CELLVIEW);
    m_strip.Create("LV", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IDC_ORIGINAL_STRIP);
    if (CWinApp* pApp = AfxGetApp())
        m_nStripHeight = int(pApp->GetProfileInt(kSettings, kStripHeightEntry, m_nStripHeight));
    m_splitter.Create(WS_CHILD | WS_VISIBLE, CRect(0, m_nStripHeight, 100, m_nStripHeight + kSplitterHeight), this,
                      IDC_ORIGINAL_SPLITTER);
    m_splitter.SetOrientation(CSplitterBar::horizontal);
    RecalcLayout();
    Invalidate();
    return 0;
}

void COriginalCellWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
    Invalidate();
}

void COriginalCellWnd::RecalcLayout()
{
    if (m_cellView.m_hWnd == nullptr || m_strip.m_hWnd == nullptr || m_splitter.m_hWnd == nullptr)
        return;
    const int nShow = m_bShowStrip ? SW_SHOW : SW_HIDE;
    m_strip.ShowWindow(nShow);
    m_splitter.ShowWindow(nShow);
    CRect client;
    GetClientRect(&client);
    int y = 0;
    if (m_bShowStrip)
    {
        const int nMin = CAngleBlockListView::GetPreferredHeight();
        const int h = FitStripHeight(m_nStripHeight, client.Height(), nMin);
        m_strip.SetWindowPos(nullptr, 0, 0, client.Width(), h, SWP_NOZORDER | SWP_NOACTIVATE);
        m_splitter.SetWindowPos(nullptr, 0, h, client.Width(), kSplitterHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        m_splitter.SetRange(client.top + nMin, client.bottom - nMin);
        y = h + kSplitterHeight;
    }
    m_cellView.SetWindowPos(nullptr, 0, y, client.Width(), std::max(0, client.Height() - y),
                            SWP_NOZORDER | SWP_NOACTIVATE);
}

void COriginalCellWnd::SetBlocks(const std::vector<CAngleBlock*>* pBlocks, const COriginalCellLocation* pLocation)
{
    m_strip.SetBlocks(pBlocks, pLocation != nullptr ? &pLocation->strip : nullptr);
    m_strip.Invalidate();
    if (pLocation != nullptr)
        m_cellView.SetBlock(m_strip.GetSelectedBlock(), &pLocation->cell);
    RecalcLayout();
}

COriginalCellLocation COriginalCellWnd::GetLocation() const
{
    COriginalCellLocation location;
    location.strip = m_strip.GetState();
    location.cell = m_cellView.GetLocation();
    return location;
}

void COriginalCellWnd::ShowStrip(bool bShow)
{
    m_bShowStrip = bShow;
    if (m_hWnd == nullptr)
        return;
    RecalcLayout();
    Invalidate();
}

LRESULT COriginalCellWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY)
    {
        const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        if (pHeader->idFrom == IDC_ORIGINAL_SPLITTER && pHeader->code == SPN_MOVED)
        {
            const NMSPLITTER* pNotice = reinterpret_cast<const NMSPLITTER*>(lParam);
            m_nStripHeight = std::max(pNotice->newPos, CAngleBlockListView::GetPreferredHeight());
            if (CWinApp* pApp = AfxGetApp())
                pApp->WriteProfileInt(kSettings, kStripHeightEntry, m_nStripHeight);
            RecalcLayout();
        }
        else if (pHeader->idFrom == IDC_ORIGINAL_STRIP && int(pHeader->code) == ABLN_SELCHANGED)
        {
            // the picture the strip found for the tile is where the cell
            // view starts
            const NMBLOCKLIST* pNotice = reinterpret_cast<const NMBLOCKLIST*>(lParam);
            m_cellView.SetBlock(m_strip.GetSelectedBlock(), nullptr);
            CCellViewLocation location = m_cellView.GetLocation();
            location.preview.nVobu = (location.preview.nVobu & ~0xFFFF) | (pNotice->nVobu & 0xFFFF);
            m_cellView.SetLocation(location);
        }
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}
