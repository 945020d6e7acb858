#include "framework/win/ToolBar.h"

#include "framework/win/Dc.h"
#include "framework/win/FrameWnd.h"
#include "framework/win/WinThread.h"

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CToolBarResource::Parse(const void* pData, DWORD cbData)
{
    const BYTE* p = static_cast<const BYTE*>(pData);
    auto word = [p](DWORD offset) { return static_cast<WORD>(p[offset] | (p[offset + 1] << 8)); };
    ids.clear();
    if (!p || cbData < 8)
        return FALSE;
    wVersion = word(0);
    wWidth = word(2);
    wHeight = word(4);
    WORD wCount = word(6);
    if (wVersion != 1 || 8 + static_cast<DWORD>(wCount) * 2 > cbData)
        return FALSE;
    for (WORD i = 0; i < wCount; ++i)
        ids.push_back(word(8 + i * 2u));
    return TRUE;
}

CToolBar::~CToolBar()
{
    if (m_hImageList)
        ::ImageList_Destroy(m_hImageList);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder),
                    nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    ::InitCommonControls();
    SetBorders(rcBorders);
    m_dwStyle = dwStyle & CBRS_ALL;
    // The frame lays the bar out; the control must not place itself.
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER |
                       CCS_NORESIZE | TBSTYLE_TOOLTIPS;
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, dwWndStyle | WS_CHILD, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    ::SendMessageA(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeButton = CSize(sizeButton.cx, sizeButton.cy);
    m_sizeImage = CSize(sizeImage.cx, sizeImage.cy);
    if (m_hWnd)
    {
        ::SendMessageA(m_hWnd, TB_SETBITMAPSIZE, 0, MAKELONG(sizeImage.cx, sizeImage.cy));
        ::SendMessageA(m_hWnd, TB_SETBUTTONSIZE, 0, MAKELONG(sizeButton.cx, sizeButton.cy));
    }
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, RT_TOOLBAR);
    if (!hRsrc)
        return FALSE;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    CToolBarResource res;
    if (!hGlobal || !res.Parse(::LockResource(hGlobal), ::SizeofResource(hInst, hRsrc)))
        return FALSE;
    if (res.wWidth == 0 || res.wHeight == 0)
        return FALSE;
    // Buttons are the image plus the control's edges.
    SetSizes(CSize(res.wWidth + 7, res.wHeight + 7), CSize(res.wWidth, res.wHeight));
    if (!LoadBitmap(lpszResourceName))
        return FALSE;
    return SetButtons(res.ids.data(), static_cast<int>(res.ids.size()));
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName)
{
    HBITMAP hBitmap = static_cast<HBITMAP>(
        ::LoadImageA(AfxGetResourceHandle(), lpszResourceName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!hBitmap)
        return FALSE;
    BITMAP bm = {};
    ::GetObjectA(hBitmap, sizeof(bm), &bm);
    HIMAGELIST hList = ::ImageList_Create(m_sizeImage.cx, m_sizeImage.cy, ILC_COLOR24 | ILC_MASK,
                                          m_sizeImage.cx > 0 ? bm.bmWidth / m_sizeImage.cx : 0, 4);
    if (!hList)
    {
        ::DeleteObject(hBitmap);
        return FALSE;
    }
    // Light grey is the resources' transparent colour.
    ::ImageList_AddMasked(hList, hBitmap, RGB(192, 192, 192));
    ::DeleteObject(hBitmap);
    if (m_hImageList)
        ::ImageList_Destroy(m_hImageList);
    m_hImageList = hList;
    ::SendMessageA(m_hWnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hList));
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0 || (nIDCount > 0 && !lpIDArray))
        return FALSE;
    while (::SendMessageA(m_hWnd, TB_DELETEBUTTON, 0, 0))
    {
    }
    int iImage = 0;
    for (int i = 0; i < nIDCount; ++i)
    {
        TBBUTTON button = {};
        button.idCommand = static_cast<int>(lpIDArray[i]);
        if (lpIDArray[i] == ID_SEPARATOR)
        {
            button.fsStyle = TBSTYLE_SEP;
            button.iBitmap = 6; // separator width
        }
        else
        {
            button.fsStyle = TBSTYLE_BUTTON;
            button.fsState = TBSTATE_ENABLED;
            button.iBitmap = iImage++;
        }
        if (!::SendMessageA(m_hWnd, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button)))
            return FALSE;
    }
    m_nCount = nIDCount;
    return TRUE;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    return static_cast<int>(::SendMessageA(m_hWnd, TB_COMMANDTOINDEX, nIDFind, 0));
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON button = {};
    if (!::SendMessageA(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&button)))
        return 0;
    return (button.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : static_cast<UINT>(button.idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!::SendMessageA(m_hWnd, TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
        ::SetRectEmpty(lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    UINT nID, nStyle;
    int iImage;
    GetButtonInfo(nIndex, nID, nStyle, iImage);
    return nStyle;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    UINT nID, nOldStyle;
    int iImage;
    GetButtonInfo(nIndex, nID, nOldStyle, iImage);
    SetButtonInfo(nIndex, nID, nStyle, iImage);
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    TBBUTTON button = {};
    if (!::SendMessageA(m_hWnd, TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&button)))
    {
        nID = 0;
        nStyle = 0;
        iImage = -1;
        return;
    }
    nID = (button.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : static_cast<UINT>(button.idCommand);
    nStyle = button.fsStyle | (static_cast<UINT>(button.fsState & ~TBSTATE_ENABLED) << 8);
    if (!(button.fsState & TBSTATE_ENABLED))
        nStyle |= TBBS_DISABLED;
    iImage = (button.fsStyle & TBSTYLE_SEP) ? -1 : button.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_STYLE | TBIF_STATE | TBIF_IMAGE;
    info.idCommand = static_cast<int>(nID);
    info.fsStyle = static_cast<BYTE>(nStyle & 0xFF);
    info.fsState = static_cast<BYTE>(((nStyle >> 8) & 0xFF & ~(TBBS_DISABLED >> 8)) |
                                     ((nStyle & TBBS_DISABLED) ? 0 : TBSTATE_ENABLED));
    info.iImage = iImage;
    ::SendMessageA(m_hWnd, TB_SETBUTTONINFOA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
}

CString CToolBar::GetButtonText(int nIndex) const
{
    UINT nID = GetItemID(nIndex);
    CString text;
    LRESULT nLen = ::SendMessageA(m_hWnd, TB_GETBUTTONTEXTA, nID, 0);
    if (nLen > 0)
    {
        ::SendMessageA(m_hWnd, TB_GETBUTTONTEXTA, nID,
                       reinterpret_cast<LPARAM>(text.GetBuffer(static_cast<int>(nLen) + 1)));
        text.ReleaseBuffer(static_cast<int>(nLen));
    }
    return text;
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    SIZE size = {0, 0};
    ::SendMessageA(m_hWnd, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size));
    CRect rect(0, 0, 0, 0);
    CalcInsideRect(rect, bHorz);
    int cx = size.cx - rect.Width();
    int cy = (size.cy > 0 ? size.cy : m_sizeButton.cy) - rect.Height();
    if (bHorz)
        return CSize(bStretch ? 32767 : cx, cy);
    return CSize(m_sizeButton.cx - rect.Width(), bStretch ? 32767 : cx);
}

namespace
{
// The command UI of one button.
class CToolCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        ::SendMessageA(m_pOther->m_hWnd, TB_ENABLEBUTTON, m_nID, MAKELONG(bOn != 0, 0));
    }
    void SetCheck(int nCheck) override
    {
        ::SendMessageA(m_pOther->m_hWnd, TB_CHECKBUTTON, m_nID, MAKELONG(nCheck == 1, 0));
        ::SendMessageA(m_pOther->m_hWnd, TB_INDETERMINATE, m_nID, MAKELONG(nCheck == 2, 0));
    }
    void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
    void SetText(LPCTSTR) override {}
};
} // namespace

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++)
    {
        state.m_nID = GetItemID(static_cast<int>(state.m_nIndex));
        if (state.m_nID != ID_SEPARATOR)
            state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

INT_PTR CToolBar::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const
{
    POINT pt = {point.x, point.y};
    int nIndex = static_cast<int>(::SendMessageA(m_hWnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
    if (nIndex < 0 || nIndex >= m_nCount)
        return -1;
    UINT nID = GetItemID(nIndex);
    if (nID == ID_SEPARATOR)
        return -1;
    if (pTI)
    {
        pTI->hwnd = m_hWnd;
        pTI->uId = nID;
        GetItemRect(nIndex, &pTI->rect);
        pTI->lpszText = LPSTR_TEXTCALLBACKA;
    }
    return static_cast<INT_PTR>(nID);
}

void CToolBar::OnPaint()
{
    // The system control draws its buttons.
    Default();
}

BOOL CToolBar::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}
