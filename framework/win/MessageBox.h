// The framework's message box: the application's title as caption, owned
// by the main window, and the exception report built on it.
#pragma once

#include "framework/core/AfxTypes.h"

int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text is string resource nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = UINT(-1));
