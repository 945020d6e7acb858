#pragma once
// One file of a disc or of the output, read and written at byte offsets
// under its own lock. The file position left by the last transfer is kept so
// that sequential access needs no seek. Files are below 4 GiB (VOB files stay
// under 1 GiB), so offsets and sizes are 32-bit.

#include <cstdint>
#include <string>

#include "Shared/platform/PlatformFile.h"
#include "Shared/platform/PlatformSync.h"

class CDvdLog;

class CDataFile
{
public:
    // start: where this file's first byte lies in the file set holding it.
    explicit CDataFile(uint64_t start = 0);
    ~CDataFile();
    CDataFile(const CDataFile&) = delete;
    CDataFile& operator=(const CDataFile&) = delete;

    // Each of these closes first. On failure the file stays closed and, when
    // report is set, the reason goes to the log as an error.
    bool Open(CDvdLog* log, const char* path, bool readOnly, bool report);
    // Creates (or replaces) a file and sizes it.
    bool Create(CDvdLog* log, const char* path, uint32_t size, bool report);
    // A sized file in the system's temporary folder that disappears when
    // closed; failures to make its name are shown in a message box.
    bool CreateTemp(CDvdLog* log, uint32_t size, bool report);
    // Sets the file's length; a failure closes the file.
    bool SetSize(CDvdLog* log, uint32_t size, bool report);

    // Transfers at a byte offset; answer the bytes moved (0 on failure).
    uint32_t ReadAt(void* buffer, uint32_t offset, uint32_t count);
    uint32_t WriteAt(const void* buffer, uint32_t offset, uint32_t count);

    // Tells the system that the file is read from start to end from now on.
    void AdviseSequential();

    void Close();

    bool IsOpen() const { return m_file.IsOpen(); }
    const char* GetName() const { return m_name.c_str(); }
    uint32_t GetSize() const { return m_nSize; }
    // A file set reads no further than size from now on; the bytes behind
    // stay in the file. Never grows the size.
    void ClipSize(uint32_t size)
    {
        if (size < m_nSize)
            m_nSize = size;
    }
    bool IsReadOnly() const { return m_bReadOnly; }
    uint64_t GetStart() const { return m_nStart; }
    void SetStart(uint64_t start) { m_nStart = start; }
    // How often a transfer had to move the system's file pointer first.
    uint32_t GetSeekCount() const { return m_nSeeks; }

private:
    bool AcceptPath(CDvdLog* log, const char* path, bool report, int line);
    bool TakeSize(CDvdLog* log, bool report, int line);
    // Positions the system's file pointer at offset unless it is there already.
    bool MoveTo(uint32_t offset);

    kx::RecursiveLock m_lock;
    int64_t m_nPosition; // -1 when no position is known
    kx::PlatformFile m_file;
    std::string m_name;
    uint32_t m_nSize;
    bool m_bReadOnly;
    uint64_t m_nStart;
    uint32_t m_nSeeks;
};
