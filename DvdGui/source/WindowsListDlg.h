// The list of open project windows behind "Windows...": the toolkit's
// windows list without its save button, since projects are saved through
// the File menu with its own questions.
#pragma once

#include "uitoolkit/controls/ExtMdiWindowsListDlg.h"

class CWindowsListDlg : public CExtMdiWindowsListDlg
{
public:
    using CExtMdiWindowsListDlg::CExtMdiWindowsListDlg;

    void UpdateButtons() override;
};
