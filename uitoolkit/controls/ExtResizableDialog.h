// The toolkit's resizable dialog: the anchor layer over the resizable-window
// layer over the dialog base, with the size gripper shown. Application
// dialogs derive from it and anchor their controls in OnInitDialog.
#pragma once

#include "uitoolkit/commands/ExtResDlg.h"
#include "uitoolkit/controls/ExtResizableWnd.h"

class CExtResizableDialog : public CExtWA<CExtWS<CExtResDlg, 301>>
{
    DECLARE_DYNCREATE(CExtResizableDialog)
public:
    CExtResizableDialog();
    explicit CExtResizableDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    void PreSubclassWindow() override;
    // Inside a control bar the bar sees the keys first (Tab excepted), then
    // the bars the dialog hosts.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // A dialog living inside another window is never ended by its buttons.
    void OnOK() override;
    void OnCancel() override;
    DECLARE_MESSAGE_MAP()
};
