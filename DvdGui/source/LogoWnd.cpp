#include "DvdGui/source/LogoWnd.h"

#include "DvdGui/source/Resource.h"

namespace
{
const char kLine[] = "Make your disk lighter.";
} // namespace

CString CLogoWnd::s_strClassName;

CLogoWnd::CLogoWnd() : CCustomWnd(s_strClassName)
{
}

void CLogoWnd::OnCreated()
{
    if (!m_bitmap.LoadBitmap(IDB_LOGO))
        return;
    m_bitmap.GetBitmap(&m_bitmapInfo);
    CClientDC dc(this);
    if (m_memDC.CreateCompatibleDC(&dc))
        m_memDC.SelectObject(&m_bitmap);
}

void CLogoWnd::OnLayout()
{
    PaintBackground();
}

CPoint CLogoWnd::GetPicturePosition(const CRect& rcClient, CSize picture)
{
    return CPoint(rcClient.left + (rcClient.Width() - picture.cx) / 2,
                  rcClient.top + (rcClient.Height() - picture.cy) / 2 + 25);
}

void CLogoWnd::PaintBackground()
{
    if (!m_bmBack.GetSafeHandle())
        return;
    CBufferedDC dc(this, FALSE);
    CRect rc;
    GetClientRect(&rc);
    NotifyParentDraw(CWN_STAGE_BACKGROUND, &dc);
    dc.PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATCOPY);

    const CPoint pt = GetPicturePosition(rc, CSize(m_bitmapInfo.bmWidth, m_bitmapInfo.bmHeight));
    CRect rcText(rc.left, 0, rc.right, 0);
    const int nTextHeight = dc.DrawText(kLine, -1, &rcText, DT_CALCRECT | DT_NOCLIP | DT_CENTER);
    rcText.SetRect(rc.left, pt.y - nTextHeight, rc.right, pt.y);
    dc.DrawText(kLine, -1, &rcText, DT_NOCLIP | DT_CENTER);

    if (m_memDC.GetSafeHdc() != nullptr)
        dc.BitBlt(pt.x, pt.y, m_bitmapInfo.bmWidth, m_bitmapInfo.bmHeight, &m_memDC, 0, 0, SRCCOPY);
}
