#pragma once
// The log sink of the engine's operations: errors, warnings, informations and
// the user's cancel, each message with the location text of the line that
// reported it. The base collects the entries and flags; the editor's log pane
// overrides the five operations to show each message and then calls the
// base. The base takes no lock: a log shared by threads serialises calls in
// its override.

#include <cstdint>
#include <string>

#include "Shared/source/DvdArray.h"

class CDvdLogEntry
{
public:
    enum Kind : uint32_t
    {
        kError = 1,
        kWarning = 2,
        kCancelled = 3,
        kInformation = 4
    };

    // Either text may be absent (null) and then stays absent.
    CDvdLogEntry(uint32_t kind, const char* text, const char* location);

    uint32_t GetKind() const { return m_nKind; }
    const char* GetText() const { return m_bHasText ? m_text.c_str() : nullptr; }
    const char* GetLocation() const { return m_bHasLocation ? m_location.c_str() : nullptr; }

private:
    uint32_t m_nKind;
    bool m_bHasText;
    bool m_bHasLocation;
    std::string m_text;
    std::string m_location;
};

using CDvdLogEntryArray = CDvdPtrArray<CDvdLogEntry>;

class CDvdLog
{
public:
    CDvdLog() = default;
    // Virtual so that a log pane deleted through this base goes away whole.
    virtual ~CDvdLog() = default;
    CDvdLog(const CDvdLog&) = delete;
    CDvdLog& operator=(const CDvdLog&) = delete;

    // Closes the messages of one operation: the log is as new afterwards.
    virtual void Finish();
    virtual void ReportCancel();
    virtual void ReportError(const char* text, const char* location);
    virtual void ReportWarning(const char* text, const char* location);
    virtual void ReportInfo(const char* text, const char* location);

    // An inner step that repaired what it reported (a VOB set replaced by
    // blanks) keeps its messages but no longer counts as a failure.
    void ClearError() { m_bError = false; }

    bool IsCancelled() const { return m_bCancelled; }
    bool HasError() const { return m_bError; }
    bool HasWarning() const { return m_bWarning; }
    const CDvdLogEntryArray& GetEntries() const { return m_entries; }

private:
    void Add(uint32_t kind, const char* text, const char* location);

    bool m_bCancelled = false;
    bool m_bError = false;
    bool m_bWarning = false;
    CDvdLogEntryArray m_entries;
};
