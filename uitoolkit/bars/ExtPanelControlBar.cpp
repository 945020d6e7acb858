// The panel bar: a tool bar without buttons whose size follows the window it
// hosts.
#include "uitoolkit/bars/ExtToolControlBar.h"
#include "uitoolkit/controls/ExtMemoryDC.h"
#include "uitoolkit/paint/ExtPaintManager.h"

IMPLEMENT_DYNCREATE(CExtPanelControlBar, CExtToolControlBar)

BEGIN_MESSAGE_MAP(CExtPanelControlBar, CExtToolControlBar)
ON_WM_PAINT()
ON_WM_SETFOCUS()
END_MESSAGE_MAP()

CSize CExtPanelControlBar::GetChildSize() const
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
        return CSize(0, 0);
    const HWND hChild = ::GetWindow(m_hWnd, GW_CHILD);
    CRect rc;
    if (hChild == nullptr || !::IsWindow(hChild) || !::GetWindowRect(hChild, &rc))
        return CSize(0, 0);
    return rc.Size();
}

CSize CExtPanelControlBar::GetPanelSizeImpl(int) const
{
    CRect rcMargins;
    GetMargins(&rcMargins);
    const CSize sizeChild = GetChildSize();
    return CSize(sizeChild.cx + rcMargins.left + rcMargins.right, sizeChild.cy + rcMargins.top + rcMargins.bottom);
}

CSize CExtPanelControlBar::CalcLayout(DWORD, int)
{
    const bool bFloating = IsFloating();
    CSize sizeExtra(0, 0);
    if (!bFloating)
    {
        sizeExtra = CSize(2, 2);
        bool bCaptionAtTop = false;
        if (HasGripper(&bCaptionAtTop))
        {
            const CRect rcCaption = GetCaptionRect();
            if (bCaptionAtTop)
                sizeExtra.cy = rcCaption.Height() + 2;
            else
                sizeExtra.cx = rcCaption.Width() + 2;
        }
    }
    // a bar placed by itself (in a dialog, say) has no panel kind
    const int nKind = bFloating ? 0 : m_pDockBar == nullptr ? -1 : IsDockedVertically() ? 2 : 1;
    return KeepLayoutSize((nKind < 0 ? CSize(20, 20) : GetPanelSize(nKind)) + sizeExtra);
}

CSize CExtPanelControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    const CSize size = CExtToolControlBar::CalcFixedLayout(bStretch, bHorz);
    if (m_hWnd != nullptr)
        RecalcNcFrame();
    return size;
}

int CExtPanelControlBar::GetMinimalWidth() const
{
    return GetPanelSize(1).cx;
}

int CExtPanelControlBar::GetMinimalHeight() const
{
    return GetPanelSize(2).cy;
}

CSize CExtPanelControlBar::GetMinimalFloatingSize() const
{
    return GetPanelSize(0);
}

CSize CExtPanelControlBar::GetMinimalSize() const
{
    return GetPanelSize(IsDockedVertically() ? 2 : 1);
}

void CExtPanelControlBar::RepositionChild(bool bRedraw)
{
    const HWND hChild = m_hWnd != nullptr ? ::GetWindow(m_hWnd, GW_CHILD) : nullptr;
    if (hChild == nullptr)
        return;
    CRect rcTarget, rcMargins;
    GetClientRect(&rcTarget);
    GetMargins(&rcMargins);
    rcTarget.DeflateRect(rcMargins.left, rcMargins.top, rcMargins.right, rcMargins.bottom);
    CRect rcChild;
    ::GetWindowRect(hChild, &rcChild);
    ScreenToClient(&rcChild);
    if (rcChild.TopLeft() == rcTarget.TopLeft())
        return;
    ::MoveWindow(hChild, rcTarget.left, rcTarget.top, rcChild.Width(), rcChild.Height(), bRedraw ? TRUE : FALSE);
}

LRESULT CExtPanelControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CExtToolControlBar::WindowProc(message, wParam, lParam);
    if ((message == WM_SIZE || message == WM_WINDOWPOSCHANGED) && ::IsWindow(m_hWnd))
        RepositionChild(true);
    return lResult;
}

void CExtPanelControlBar::OnPaint()
{
    CPaintDC dcPaint(this);
    CRect rcClient;
    GetClientRect(&rcClient);
    CExtMemoryDC dc(&dcPaint, &rcClient, CExtMemoryDC::MDC_OFFSCREEN | CExtMemoryDC::MDC_FILL_BACKGROUND);
    CExtPaintManager::ExcludeVisibleChildren(dc.GetSafeHdc(), m_hWnd, nullptr, 0);
    if (!g_PaintManager->IsInheritedBackgroundUsed(this, 0) ||
        !g_PaintManager->PaintInheritedBackground(true, dc, this, 0))
        dc.FillSolidRect(&rcClient, g_PaintManager->GetColor(CExtColorTable::TC_FACE_NORMAL, this));
    ::SelectClipRgn(dc.GetSafeHdc(), nullptr);
}

void CExtPanelControlBar::OnSetFocus(CWnd* pOldWnd)
{
    CExtControlBar::OnSetFocus(pOldWnd);
    if (const HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != nullptr)
        ::SetFocus(hChild);
}
