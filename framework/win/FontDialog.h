// CFontDialog: the system's font chooser.
#pragma once

#include "framework/win/Dialog.h"

#include <commdlg.h>

class CDC;

class CFontDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFontDialog)
public:
    explicit CFontDialog(LPLOGFONTA lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                         CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);

    INT_PTR DoModal() override;

    // The font chosen (while open: the one shown).
    void GetCurrentFont(LPLOGFONTA lplf);
    CString GetFaceName() const { return CString(m_lf.lfFaceName); }
    // In tenths of a point.
    int GetSize() const { return m_cf.iPointSize; }
    COLORREF GetColor() const { return m_cf.rgbColors; }
    int GetWeight() const { return m_lf.lfWeight; }
    BOOL IsItalic() const { return m_lf.lfItalic; }
    BOOL IsBold() const { return m_lf.lfWeight >= FW_SEMIBOLD; }

    CHOOSEFONTA m_cf;
    LOGFONTA m_lf;
};
