#include "Shared/source/DvdLog.h"

CDvdLogEntry::CDvdLogEntry(uint32_t kind, const char* text, const char* location)
    : m_nKind(kind), m_bHasText(text != nullptr), m_bHasLocation(location != nullptr),
      m_text(text != nullptr ? text : ""), m_location(location != nullptr ? location : "")
{
}

void CDvdLog::Add(uint32_t kind, const char* text, const char* location)
{
    m_entries.Add(new CDvdLogEntry(kind, text, location));
}

void CDvdLog::Finish()
{
    m_bCancelled = false;
    m_bError = false;
    m_bWarning = false;
    m_entries.RemoveAll();
}

void CDvdLog::ReportCancel()
{
    Add(CDvdLogEntry::kCancelled, nullptr, nullptr);
    m_bCancelled = true;
}

void CDvdLog::ReportError(const char* text, const char* location)
{
    Add(CDvdLogEntry::kError, text, location);
    m_bError = true;
}

void CDvdLog::ReportWarning(const char* text, const char* location)
{
    Add(CDvdLogEntry::kWarning, text, location);
    m_bWarning = true;
}

void CDvdLog::ReportInfo(const char* text, const char* location)
{
    Add(CDvdLogEntry::kInformation, text, location);
}
