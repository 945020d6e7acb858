#include "DvdGui/source/DvdView.h"

#include "DvdGui/source/ChildFrm.h"
#include "DvdGui/source/MainFrm.h"
#include "DvdGui/source/Options.h"
#include "DvdGui/source/Resource.h"
#include "framework/win/MdiFrameWnd.h"

#include <algorithm>

namespace
{
const char kSettings[] = "Settings";
const char kSplitterKey[] = "DV_S";
const int kSplitterWidth = 4;
// The narrowest tree, and the room the content panes keep at least.
const int kMinimumPane = 93;
const int kMaximumTree = 560;
} // namespace

IMPLEMENT_DYNCREATE(CDvdView, CScrollView)

BEGIN_MESSAGE_MAP(CDvdView, CScrollView)
ON_WM_CREATE()
ON_WM_SIZE()
END_MESSAGE_MAP()

CDvdView::CDvdView() : m_histories(*this)
{
}

CDvdView::~CDvdView()
{
    // the pane must not act on this view after it is gone
    if (auto* pMain = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
        pMain->GetHistoryPane().ForgetView(this);
}

CDvdView* CDvdView::GetActiveDvdView()
{
    auto* pMain = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    CMDIChildWnd* pChild = pMain ? pMain->MDIGetActive() : nullptr;
    return pChild ? dynamic_cast<CDvdView*>(pChild->GetActiveView()) : nullptr;
}

BOOL CDvdView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return CScrollView::PreCreateWindow(cs);
}

int CDvdView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CScrollView::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (dynamic_cast<CChildFrame*>(GetParent()) == nullptr)
        return -1;
    CRect rc;
    GetClientRect(&rc);
    m_treePane.Create("DT", WS_CHILD | WS_VISIBLE, rc, this, IDC_DVD_VIEW_TREE);
    m_contentPanes.Create("IV", WS_CHILD | WS_VISIBLE, rc, this, IDC_CONTENT_PANES);
    m_nSplitterPos = int(AfxGetApp()->GetProfileInt(kSettings, kSplitterKey, 280));
    m_splitter.Create(WS_CHILD | WS_VISIBLE, CRect(m_nSplitterPos, rc.top, m_nSplitterPos + kSplitterWidth, rc.bottom),
                      this, IDC_DVD_VIEW_SPLITTER);
    m_splitter.SetOrientation(CSplitterBar::vertical);
    RecalcLayout();
    return 0;
}

void CDvdView::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
}

void CDvdView::RecalcLayout()
{
    if (m_treePane.m_hWnd == nullptr || m_contentPanes.m_hWnd == nullptr || m_splitter.m_hWnd == nullptr)
        return;
    CRect rc;
    GetClientRect(&rc);
    const int nTree = std::max(0, std::min(m_nSplitterPos, int(rc.right) - kMinimumPane));
    const UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE;
    m_treePane.SetWindowPos(nullptr, 0, 0, nTree, rc.Height(), nFlags);
    m_splitter.SetWindowPos(nullptr, nTree, 0, kSplitterWidth, rc.Height(), nFlags);
    m_contentPanes.SetWindowPos(nullptr, nTree + kSplitterWidth, 0,
                                std::max(0, int(rc.Width()) - nTree - kSplitterWidth), rc.Height(), nFlags);
    m_splitter.SetRange(rc.left + kMinimumPane, rc.left + kMaximumTree);
}

LRESULT CDvdView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY && lParam != 0)
    {
        const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
        if (pHeader->idFrom == IDC_DVD_VIEW_TREE && int(pHeader->code) == TLN_SELCHANGED)
        {
            m_contentPanes.ShowNode(reinterpret_cast<const NMDVDTREE*>(lParam)->pNode, 0);
        }
        else if (pHeader->idFrom == IDC_DVD_VIEW_SPLITTER)
        {
            m_nSplitterPos = std::max(kMinimumPane, reinterpret_cast<const NMSPLITTER*>(lParam)->newPos);
            AfxGetApp()->WriteProfileInt(kSettings, kSplitterKey, m_nSplitterPos);
            RecalcLayout();
        }
    }
    return CScrollView::DefWindowProc(message, wParam, lParam);
}

void CDvdView::OnUpdate(CView*, LPARAM, CObject*)
{
    CFontInfo& font = GetOptionFont();
    CFont* pFont = font.GetSafeHandle() != nullptr ? &font : nullptr;
    m_contentPanes.SetFont(pFont);
    m_treePane.GetTree().SetFont(pFont);
    const CViewLocation location = GetLocation();
    Refresh(&GetDocument()->GetCurrentDvd(), location);
}

void CDvdView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    if (bActivate && pActivateView == this)
        RefreshHistoryPane();
    CScrollView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

CViewLocation CDvdView::GetLocation()
{
    CViewLocation location;
    location.tree = m_treePane.GetLocation();
    location.content = m_contentPanes.GetLocation();
    return location;
}

void CDvdView::SetLocation(const CViewLocation& location)
{
    m_treePane.SetLocation(location.tree);
    m_contentPanes.SetLocation(location.content);
}

void CDvdView::Refresh(CDvd* pDvd, const CViewLocation& location)
{
    m_treePane.Fill(pDvd, &location.tree);
    m_contentPanes.SetLocation(location.content);
}

CLocationHistory& CDvdView::GetHistory(int nRevision)
{
    if (nRevision < 0)
        nRevision = GetDocument() != nullptr ? GetDocument()->GetRevisions().GetCurrentIndex() : 0;
    return m_histories.GetHistory(nRevision);
}

void CDvdView::GoToLocation(int nIndex)
{
    const int nRevision = GetDocument() != nullptr ? GetDocument()->GetRevisions().GetCurrentIndex() : 0;
    m_histories.GoToLocation(nRevision, nIndex);
}

void CDvdView::RefreshHistoryPane()
{
    if (auto* pMain = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
        pMain->RefreshHistory();
}

void CDvdView::OnRevisionAdded(int nCurrent, int nDropped)
{
    m_histories.OnRevisionAdded(nCurrent, nDropped);
}

void CDvdView::OnActionBegun()
{
    m_contentPanes.OnActionBegun();
}

void CDvdView::ShowCurrentRevision()
{
    const CViewLocation location = GetCurrentHistory().GetCurrent();
    Refresh(&GetDocument()->GetCurrentDvd(), location);
}

void CDvdView::OnNodeChanged(CDvdObject*)
{
    ShowCurrentRevision();
}

void CDvdView::OnRevisionChanged()
{
    ShowCurrentRevision();
}
