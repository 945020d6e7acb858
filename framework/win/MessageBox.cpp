#include "framework/win/MessageBox.h"

#include "framework/core/CException.h"
#include "framework/core/CString.h"
#include "framework/win/AfxRes.h"
#include "framework/win/WinThread.h"
#include "framework/win/Wnd.h"

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    // The box belongs to the main window's top-level window, or to the
    // active window when there is none, so it is modal to the program.
    HWND hWndOwner = nullptr;
    if (CWnd* pMainWnd = AfxGetMainWnd())
        hWndOwner = pMainWnd->GetTopLevelParent()->GetSafeHwnd();
    if (!hWndOwner)
        hWndOwner = ::GetActiveWindow();
    if (hWndOwner)
        hWndOwner = ::GetLastActivePopup(hWndOwner);

    CString strTitle;
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pszAppName)
        strTitle = pApp->m_pszAppName;
    else if (!strTitle.LoadString(AFX_IDS_APP_TITLE))
        strTitle = "Error";

    if ((nType & MB_ICONMASK) == 0)
    {
        switch (nType & MB_TYPEMASK)
        {
        case MB_OK:
        case MB_OKCANCEL: nType |= MB_ICONEXCLAMATION; break;
        case MB_YESNO:
        case MB_YESNOCANCEL: nType |= MB_ICONQUESTION; break;
        default: break;
        }
    }
    return ::MessageBoxA(hWndOwner, lpszText, strTitle, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString strText;
    if (!strText.LoadString(nIDPrompt))
        strText.Format("Message %u", nIDPrompt);
    return AfxMessageBox(strText, nType, nIDHelp == UINT(-1) ? nIDPrompt : nIDHelp);
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char szMessage[512];
    if (GetErrorMessage(szMessage, sizeof(szMessage)))
        return AfxMessageBox(szMessage, nType);
    if (nMessageID == 0)
        nMessageID = AFX_IDP_NO_ERROR_AVAILABLE;
    return AfxMessageBox(nMessageID, nType);
}
