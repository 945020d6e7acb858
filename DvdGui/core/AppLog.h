// The program's one log: the log pane while the main frame lives, null
// before it exists and after it closed. Code that may run outside that span
// (the thumbnail thread, say) reports through LogError, which drops the
// message when there is no log.
#pragma once

#include "Shared/source/DvdLog.h"

extern CDvdLog* g_pLog;

void LogError(const char* text, const char* location);
