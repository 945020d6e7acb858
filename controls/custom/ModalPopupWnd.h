// A self-drawn window that behaves like a modal dialog without a dialog
// template: a captioned popup at a given place that blocks its owner chain
// while the framework's modal loop runs, and returns a result as a dialog
// does.
#pragma once

#include "controls/custom/CustomWnd.h"

class CModalPopupWnd : public CCustomWnd
{
public:
    // rect is in screen coordinates; pOwner is blocked while the popup runs.
    CModalPopupWnd(LPCTSTR lpszTitle, const RECT& rect, CWnd* pOwner);

    // The value given to EndModal, or -1 when the window could not be made
    // or the loop ended by a framework exception.
    virtual int DoModal();
    // Takes the data in (DoDataExchange) and ends with IDOK when it is valid.
    virtual void OnOK();
    virtual void OnCancel();
    // Ends the modal loop with nResult; nothing when none runs.
    void EndModal(int nResult);

protected:
    static CString s_strClassName;

    CString m_strTitle;
    CRect m_rect;
    CWnd* m_pOwner;

    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()
};
