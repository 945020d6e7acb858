// CColorDialog: the system's colour chooser. The sixteen custom colours
// are shared by all colour dialogs of the program run.
#pragma once

#include "framework/win/Dialog.h"

#include <commdlg.h>

class CColorDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);

    INT_PTR DoModal() override;

    COLORREF GetColor() const { return m_cc.rgbResult; }
    static COLORREF* GetSavedCustomColors();

    CHOOSECOLORA m_cc;
};
