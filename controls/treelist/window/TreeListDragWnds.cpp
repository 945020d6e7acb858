#include "controls/treelist/window/TreeListDragWnds.h"

#include "controls/treelist/core/DragImageFade.h"
#include "controls/treelist/window/MemDC.h"
#include "controls/treelist/window/TreeListCtrl.h"
#include "controls/treelist/window/TreeListLayered.h"

#include <algorithm>

namespace
{

const char kImageClass[] = "VUDE.TLCDAW";
const char kArrowClass[] = "VUDE.TLCDOW";
const int kImageSize = 320;
const BYTE kDragAlpha = 160;

} // namespace

// ---- what the popups share -------------------------------------------------------

BEGIN_MESSAGE_MAP(CTreeListDragWnd, CWnd)
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CTreeListDragWnd::CTreeListDragWnd(const char* pszClass) : m_pszClass(pszClass)
{
    WNDCLASSA wc = {};
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    if (!::GetClassInfoA(hInst, pszClass, &wc))
    {
        wc = {};
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInst;
        wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = pszClass;
        if (!AfxRegisterClass(&wc))
            AfxThrowResourceException();
    }
    m_bLayered = treelist::IsLayeredAvailable();
}

CTreeListDragWnd::~CTreeListDragWnd()
{
    if (m_hWnd)
        DestroyWindow();
}

BOOL CTreeListDragWnd::CreatePopup(DWORD dwExStyle, const CRect& rc, CWnd* pOwner)
{
    return CreateEx(dwExStyle | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, m_pszClass, nullptr, WS_POPUP | WS_DISABLED, rc.left,
                    rc.top, rc.Width(), rc.Height(), pOwner->GetSafeHwnd(), nullptr);
}

HRGN CTreeListDragWnd::PolygonRegion(const POINT* pPoints, int nCount, int dy)
{
    POINT moved[16];
    for (int i = 0; i < nCount; ++i)
        moved[i] = {pPoints[i].x, pPoints[i].y + dy};
    return ::CreatePolygonRgn(moved, nCount, ALTERNATE);
}

void CTreeListDragWnd::ShowAt(int x, int y)
{
    SetWindowPos(&CWnd::wndTopMost, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_SHOWWINDOW);
    if (m_bLayered)
        treelist::SetLayeredAlpha(m_hWnd, 0, kDragAlpha);
}

void CTreeListDragWnd::Show()
{
    CRect rc;
    GetWindowRect(&rc);
    ShowAt(rc.left, rc.top);
}

void CTreeListDragWnd::Hide()
{
    SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_HIDEWINDOW);
}

BOOL CTreeListDragWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

// ---- the item drop arrow -------------------------------------------------------

BEGIN_MESSAGE_MAP(CTreeListDropArrow, CTreeListDragWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

CTreeListDropArrow::CTreeListDropArrow() : CTreeListDragWnd(kArrowClass)
{
}

BOOL CTreeListDropArrow::Create(CTreeListCtrl* pOwner)
{
    if (!CreatePopup(m_bLayered ? WS_EX_LAYERED : 0, CRect(0, 0, 80, 80), pOwner))
        return FALSE;
    static const POINT kArrow[] = {{0, 5}, {6, 5}, {6, 0}, {15, 8}, {6, 16}, {6, 12}, {0, 12}};
    SetWindowRgn(PolygonRegion(kArrow, 7, 0), FALSE);
    return TRUE;
}

void CTreeListDropArrow::ShowAt(int x, int y)
{
    CTreeListDragWnd::ShowAt(x - 18, y - 9);
}

void CTreeListDropArrow::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    CMemDC memDC(&dc);
    memDC.FillSolidRect(&rc, RGB(0, 0, 255));
}

// ---- the item drag image -------------------------------------------------------

BEGIN_MESSAGE_MAP(CTreeListDragImage, CTreeListDragWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

CTreeListDragImage::CTreeListDragImage() : CTreeListDragWnd(kImageClass)
{
}

CTreeListDragImage::~CTreeListDragImage()
{
    if (m_hWnd)
        DestroyWindow();
    if (m_hDib)
    {
        ::SelectObject(m_dcMem.m_hDC, m_hOldBitmap);
        ::DeleteObject(m_hDib);
    }
}

BOOL CTreeListDragImage::Create(const CRect& rcScreen, CTreeListCtrl* pOwner)
{
    m_pOwner = pOwner;
    if (m_bLayered)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = kImageSize;
        bmi.bmiHeader.biHeight = kImageSize; // bottom-up
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* pBits = nullptr;
        m_hDib = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
        if (!m_hDib || !m_dcMem.CreateCompatibleDC(nullptr))
            return FALSE;
        m_pBits = static_cast<uint32_t*>(pBits);
        m_hOldBitmap = ::SelectObject(m_dcMem.m_hDC, m_hDib);
        return CreatePopup(WS_EX_LAYERED | WS_EX_TRANSPARENT, rcScreen, pOwner);
    }
    // opaque: one row as wide as the owner
    CRect rcOwner;
    pOwner->GetClientRect(&rcOwner);
    CRect rc(rcScreen.TopLeft(), CSize(rcOwner.Width(), pOwner->GetRowHeight()));
    return CreatePopup(0, rc, pOwner);
}

void CTreeListDragImage::Show()
{
    CTreeListDragWnd::Show();
    if (m_bLayered)
        Render();
}

void CTreeListDragImage::Render()
{
    std::fill(m_pBits, m_pBits + kImageSize * kImageSize, 0xFFFFFFFFu);
    CPoint ptList = m_pOwner->m_ptDragStart;
    ptList.x += m_pOwner->GetScrollPos(SB_HORZ);
    ptList.y += m_pOwner->GetScrollPos(SB_VERT) * m_pOwner->GetRowHeight() - m_pOwner->GetHeaderRect().Height();
    m_pOwner->DrawSnapshot(&m_dcMem, ptList, kImageSize);
    ::GdiFlush();
    FadeDragImage(m_pBits, kImageSize);
    CRect rc;
    GetWindowRect(&rc);
    treelist::UpdateLayeredFrom(m_hWnd, rc.TopLeft(), rc.Size(), m_dcMem.m_hDC);
    treelist::SetLayeredAlpha(m_hWnd, 0, kDragAlpha);
}

void CTreeListDragImage::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, m_pOwner->GetColor(0));
    CTreeListItem* pItem = m_pOwner->GetPrimarySelection();
    if (!pItem)
        return;
    CFont* pOldFont = dc.SelectObject(m_pOwner->GetFont());
    dc.SetBkMode(TRANSPARENT);
    int x = -m_pOwner->GetScrollPos(SB_HORZ);
    CRect rcRow(x, 0, x + m_pOwner->GetTotalWidth(), m_pOwner->GetRowHeight());
    m_pOwner->DrawItem(&dc, pItem, rcRow);
    dc.SelectObject(pOldFont);
}

// ---- the column drop marker ------------------------------------------------------

BEGIN_MESSAGE_MAP(CTreeListColumnMarker, CTreeListDragWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

CTreeListColumnMarker::CTreeListColumnMarker() : CTreeListDragWnd(kArrowClass)
{
}

BOOL CTreeListColumnMarker::Create(CTreeListHeaderCtrl* pOwner)
{
    if (!CreatePopup(m_bLayered ? WS_EX_LAYERED : 0, CRect(0, 0, 80, 80), pOwner))
        return FALSE;
    // a downward arrow above the header and an upward one below it
    static const POINT kDown[] = {{8, 0}, {8, 4}, {11, 4}, {6, 9}, {1, 4}, {4, 4}, {4, 0}, {6, 0}, {0, 0}};
    static const POINT kUp[] = {{8, 0}, {8, -4}, {12, -4}, {6, -10}, {0, -4}, {4, -4}, {4, 0}, {6, 0}, {0, 0}};
    HRGN hRegion = PolygonRegion(kDown, 9, 0);
    HRGN hUp = PolygonRegion(kUp, 9, 21 + pOwner->GetHeight());
    ::CombineRgn(hRegion, hRegion, hUp, RGN_OR);
    ::DeleteObject(hUp);
    SetWindowRgn(hRegion, FALSE);
    return TRUE;
}

void CTreeListColumnMarker::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, RGB(255, 0, 0));
}

// ---- the column drag image -------------------------------------------------------

BEGIN_MESSAGE_MAP(CTreeListColumnImage, CTreeListDragWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

CTreeListColumnImage::CTreeListColumnImage() : CTreeListDragWnd(kImageClass)
{
    m_crFace = ::GetSysColor(COLOR_BTNFACE);
    m_crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
}

BOOL CTreeListColumnImage::Create(const CRect& rcScreen, CTreeListHeaderCtrl* pOwner, int nColumn)
{
    m_pOwner = pOwner;
    m_nColumn = nColumn;
    return CreatePopup(m_bLayered ? WS_EX_LAYERED : 0, rcScreen, pOwner);
}

void CTreeListColumnImage::OnPaint()
{
    CPaintDC dc(this);
    CMemDC memDC(&dc);
    CRect rc;
    GetClientRect(&rc);
    if (m_bLayered)
    {
        memDC.FillSolidRect(&rc, m_crShadow);
    }
    else
    {
        memDC.FillSolidRect(&rc, m_crFace);
        memDC.Draw3dRect(&rc, m_crHighlight, m_crShadow);
    }
    m_pOwner->DrawColumnContent(&memDC, m_nColumn, CRect(rc.left + 2, rc.top, rc.right - 1 - 3, rc.bottom - 1));
}
