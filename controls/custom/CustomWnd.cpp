#include "controls/custom/CustomWnd.h"

// ---- CBufferedWnd ----------------------------------------------------------

BEGIN_MESSAGE_MAP(CBufferedWnd, CWnd)
ON_WM_CREATE()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_SIZE()
END_MESSAGE_MAP()

void CBufferedWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    m_font.DeleteObject();
    LOGFONTA lf;
    if (pFont && pFont->GetSafeHandle() && pFont->GetLogFont(&lf))
        m_font.CreateFontIndirect(&lf);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont->GetSafeHandle()), bRedraw);
}

CFont* CBufferedWnd::GetFont() const
{
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (hFont)
        return CFont::FromHandle(hFont);
    return const_cast<CFont*>(&m_font);
}

void CBufferedWnd::MakeBuffers(int cx, int cy)
{
    m_bmFront.DeleteObject();
    m_bmBack.DeleteObject();
    if (cx <= 0 || cy <= 0)
        return;
    CClientDC dc(this);
    m_bmBack.CreateCompatibleBitmap(&dc, cx, cy);
    m_bmFront.CreateCompatibleBitmap(&dc, cx, cy);
}

int CBufferedWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    // The client size, which is what WM_PAINT copies (a captioned window's
    // creation size includes its frame).
    CRect rc;
    GetClientRect(&rc);
    MakeBuffers(rc.Width(), rc.Height());
    return 0;
}

BOOL CBufferedWnd::OnEraseBkgnd(CDC* pDC)
{
    // the back buffer is the background
    return TRUE;
}

void CBufferedWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    if (!m_bmBack.GetSafeHandle() || !m_bmFront.GetSafeHandle())
        return;
    CBufferedDC back(this, FALSE);
    CBufferedDC front(this, TRUE);
    front.BitBlt(0, 0, rc.Width(), rc.Height(), &back, 0, 0, SRCCOPY);
    Draw(&front);
    dc.BitBlt(0, 0, rc.Width(), rc.Height(), &front, 0, 0, SRCCOPY);
}

void CBufferedWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    MakeBuffers(cx, cy);
}

// ---- CBufferedDC -----------------------------------------------------------

CBufferedDC::CBufferedDC(CBufferedWnd* pWnd, BOOL bFront)
{
    CClientDC dc(pWnd);
    CreateCompatibleDC(&dc);
    CBitmap& bitmap = bFront ? pWnd->m_bmFront : pWnd->m_bmBack;
    if (bitmap.GetSafeHandle())
        m_hOldBitmap = SelectObject(bitmap.GetSafeHandle());
}

CBufferedDC::~CBufferedDC()
{
    // the buffer goes back to its window unselected
    if (m_hOldBitmap)
        SelectObject(m_hOldBitmap);
    DeleteDC();
}

// ---- CCustomWnd ------------------------------------------------------------

BEGIN_MESSAGE_MAP(CCustomWnd, CBufferedWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_ENABLE()
ON_NOTIFY_REFLECT_EX(CWN_DRAW, OnDrawNotifyReflect)
END_MESSAGE_MAP()

CCustomWnd::CCustomWnd(CString& strClassName) : m_pClassName(&strClassName)
{
    if (!strClassName.IsEmpty())
        return;
    try
    {
        // The framework's name lives in a buffer that its next registration
        // overwrites: each subclass keeps its own copy.
        strClassName = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW));
    }
    catch (CException* e)
    {
        AfxMessageBox("Couldn't register class! (Already registered?)");
        e->Delete();
    }
}

BOOL CCustomWnd::Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext)
{
    return CreateEx(0, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CCustomWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                          UINT nID, CCreateContext* pContext)
{
    if (m_pClassName->IsEmpty())
        return FALSE;
    BOOL bCreated = CWnd::CreateEx(dwExStyle, *m_pClassName, lpszWindowName, dwStyle | WS_CLIPCHILDREN, rect,
                                   pParentWnd, nID, pContext);
    if (bCreated)
        OnLayout();
    return bCreated;
}

LRESULT CCustomWnd::NotifyParentDraw(DWORD dwStage, CDC* pDC)
{
    HWND hParent = ::GetParent(m_hWnd);
    if (!hParent)
        return 0;
    NMCUSTOMWNDDRAW nm = {};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = GetDlgCtrlID();
    nm.hdr.code = CWN_DRAW;
    nm.pDC = pDC;
    nm.dwStage = dwStage;
    return ::SendMessageA(hParent, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
}

void CCustomWnd::PaintBackground()
{
    if (!m_bmBack.GetSafeHandle())
        return;
    CBufferedDC dc(this, FALSE);
    NotifyParentDraw(CWN_STAGE_BACKGROUND, &dc);
    CRect rc;
    GetClientRect(&rc);
    dc.PatBlt(0, 0, rc.Width(), rc.Height(), PATCOPY);
}

int CCustomWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CBufferedWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    OnCreated();
    OnLayout();
    return 0;
}

void CCustomWnd::OnSize(UINT nType, int cx, int cy)
{
    CBufferedWnd::OnSize(nType, cx, cy);
    OnLayout();
}

void CCustomWnd::OnEnable(BOOL bEnable)
{
    CWnd::OnEnable(bEnable);
    OnEnableChanged(bEnable != FALSE);
}

BOOL CCustomWnd::OnDrawNotifyReflect(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMCUSTOMWNDDRAW* pDraw = reinterpret_cast<NMCUSTOMWNDDRAW*>(pNMHDR);
    OnDrawNotify(pDraw->dwStage, pDraw->pDC);
    // the parent's own handlers see it too
    return FALSE;
}
