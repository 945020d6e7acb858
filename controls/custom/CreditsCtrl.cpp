#include "controls/custom/CreditsCtrl.h"

namespace
{

const UINT_PTR kScrollTimer = 0;

} // namespace

// ---- items -----------------------------------------------------------------

CCreditsTextItem::CCreditsTextItem(LPCTSTR lpszText, COLORREF clrText, int nFontHeight, UINT nFormat, int nWidth)
    : m_nFormat(nFormat), m_strText(lpszText), m_clrText(clrText)
{
    m_font.CreateFont(nFontHeight, 0, 0, 0, 100, FALSE, FALSE, FALSE, 0, 0, 0, PROOF_QUALITY, 6, "Arial");
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CFont* pOld = dc.SelectObject(&m_font);
    CRect rc(0, 0, nWidth, 0);
    m_nHeight = dc.DrawText(m_strText, &rc, m_nFormat | DT_CALCRECT);
    dc.SelectObject(pOld);
    dc.DeleteDC();
}

void CCreditsTextItem::Draw(CDC* pDC, const CRect& rect)
{
    CFont* pOldFont = pDC->SelectObject(&m_font);
    int nOldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF clrOld = pDC->SetTextColor(m_clrText);
    CRect rc = rect;
    pDC->DrawText(m_strText, &rc, m_nFormat);
    pDC->SetTextColor(clrOld);
    pDC->SetBkMode(nOldMode);
    pDC->SelectObject(pOldFont);
}

// ---- CCreditsCtrl ----------------------------------------------------------

CString CCreditsCtrl::s_strClassName;

BEGIN_MESSAGE_MAP(CCreditsCtrl, CCustomWnd)
ON_WM_TIMER()
END_MESSAGE_MAP()

CCreditsCtrl::CCreditsCtrl() : CCustomWnd(s_strClassName), m_clrBackground(::GetSysColor(COLOR_3DFACE))
{
}

CCreditsCtrl::~CCreditsCtrl()
{
    CSingleLock lock(&m_lock, TRUE);
    for (INT_PTR i = 0; i < m_items.GetSize(); ++i)
        delete m_items[i];
    m_items.RemoveAll();
}

void CCreditsCtrl::AddText(LPCTSTR lpszText, int nFontHeight, COLORREF clrText, UINT nFormat)
{
    CSingleLock lock(&m_lock, TRUE);
    // as wide as the window, or the screen before the window exists
    int nWidth = ::GetSystemMetrics(SM_CXSCREEN);
    if (m_hWnd)
    {
        CRect rc;
        GetClientRect(&rc);
        nWidth = rc.Width();
    }
    m_items.Add(new CCreditsTextItem(lpszText, clrText, nFontHeight, nFormat, nWidth));
}

void CCreditsCtrl::AddSpace(int nHeight)
{
    CSingleLock lock(&m_lock, TRUE);
    m_items.Add(new CCreditsSpaceItem(nHeight));
}

void CCreditsCtrl::Start(UINT nInterval)
{
    CSingleLock lock(&m_lock, TRUE);
    m_nCurrent = 0;
    m_nOffset = 0;
    // without a window SetTimer would make a thread timer nobody kills
    if (!m_hWnd)
        return;
    KillTimer(kScrollTimer);
    SetTimer(kScrollTimer, nInterval);
}

void CCreditsCtrl::DrawItems(CDC* pDC, int nFirst, CRect& rect, int nBottom)
{
    for (INT_PTR i = nFirst; i < m_items.GetSize() && rect.top < nBottom; ++i)
    {
        m_items[i]->Draw(pDC, rect);
        rect.top += m_items[i]->GetHeight();
    }
}

void CCreditsCtrl::PaintBackground()
{
    if (!m_bmBack.GetSafeHandle())
        return;
    CBufferedDC dc(this, FALSE);
    CRect rcClient;
    GetClientRect(&rcClient);
    dc.FillSolidRect(&rcClient, m_clrBackground);

    CSingleLock lock(&m_lock, TRUE);
    CRect rc = rcClient;
    rc.top -= m_nOffset;
    DrawItems(&dc, m_nCurrent, rc, rcClient.bottom);
    // the start of the list follows its end, once
    DrawItems(&dc, 0, rc, rcClient.bottom);
}

void CCreditsCtrl::OnLayout()
{
    PaintBackground();
    Invalidate(TRUE);
}

void CCreditsCtrl::OnTimer(UINT_PTR nIDEvent)
{
    {
        CSingleLock lock(&m_lock, TRUE);
        if (!m_items.IsEmpty())
        {
            // At or beyond: an item of height 0 is passed in one step too.
            if (++m_nOffset >= m_items[m_nCurrent]->GetHeight())
            {
                m_nOffset = 0;
                if (++m_nCurrent >= m_items.GetSize())
                    m_nCurrent = 0;
            }
            PaintBackground();
            Invalidate(TRUE);
        }
    }
    CCustomWnd::OnTimer(nIDEvent);
}
