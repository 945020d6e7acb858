#pragma once
// The system's text for the calling thread's last error.

#include "Shared/source/PlainString.h"

CPlainString GetLastErrorText();

// A message box without owner, caption "Error", showing prefix followed
// directly by the last error's text.
void ShowLastError(const char* prefix);
