#include "DvdGui/core/AppLog.h"

CDvdLog* g_pLog = nullptr;

void LogError(const char* text, const char* location)
{
    // read once: the main frame may clear the pointer while a thread reports
    CDvdLog* const pLog = g_pLog;
    if (pLog != nullptr)
        pLog->ReportError(text, location);
}
