#include "Shared/source/dataAccess/DataFile.h"

#include "Shared/platform/PlatformPath.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/SystemError.h"

namespace
{

void ReportAt(CDvdLog* log, bool report, const char* text, int line)
{
    if (report && log != nullptr)
    {
        log->ReportError(text, FormatLocation(SourceFileName(__FILE__), line));
    }
}

void ReportSystemError(CDvdLog* log, bool report, int line)
{
    if (report && log != nullptr)
        ReportAt(log, report, GetLastErrorText(), line);
}

} // namespace

CDataFile::CDataFile(uint64_t start) : m_nPosition(-1), m_nSize(0), m_bReadOnly(true), m_nStart(start), m_nSeeks(0)
{
}

CDataFile::~CDataFile()
{
    Close();
}

bool CDataFile::AcceptPath(CDvdLog* log, const char* path, bool report, int line)
{
    if (path == nullptr || *path == '\0')
    {
        ReportAt(log, report, "No file name given", line);
        return false;
    }
    m_name = path;
    if (m_name.size() > kx::kMaxPathLength)
    {
        m_name.clear();
        ReportAt(log, report, "The file name is too long", line);
        return false;
    }
    return true;
}

bool CDataFile::TakeSize(CDvdLog* log, bool report, int line)
{
    int64_t size = m_file.GetSize();
    if (size < 0)
    {
        ReportSystemError(log, report, line);
        Close();
        return false;
    }
    if (size > int64_t(UINT32_MAX))
    {
        // Offsets here are 32-bit: a larger file would be read at wrapped offsets.
        ReportAt(log, report, "The file is larger than 4 GB", line);
        Close();
        return false;
    }
    m_nSize = uint32_t(size);
    return true;
}

bool CDataFile::Open(CDvdLog* log, const char* path, bool readOnly, bool report)
{
    Close();
    if (!AcceptPath(log, path, report, __LINE__))
        return false;
    kx::FileOpenOptions options;
    options.access = readOnly ? kx::kFileRead : kx::kFileReadWrite;
    options.disposition = kx::FileDisposition::OpenExisting;
    options.hint = kx::FileHint::RandomAccess;
    if (!m_file.Open(path, options))
    {
        ReportSystemError(log, report, __LINE__);
        Close();
        return false;
    }
    m_bReadOnly = readOnly;
    return TakeSize(log, report, __LINE__);
}

bool CDataFile::Create(CDvdLog* log, const char* path, uint32_t size, bool report)
{
    Close();
    if (!AcceptPath(log, path, report, __LINE__))
        return false;
    m_bReadOnly = false;
    kx::FileOpenOptions options;
    options.access = kx::kFileReadWrite;
    options.disposition = kx::FileDisposition::CreateAlways;
    options.hint = kx::FileHint::SequentialScan;
    if (!m_file.Open(path, options))
    {
        ReportSystemError(log, report, __LINE__);
        Close();
        return false;
    }
    return SetSize(log, size, report);
}

bool CDataFile::CreateTemp(CDvdLog* log, uint32_t size, bool report)
{
    Close();
    m_bReadOnly = false;
    std::string name;
    if (!m_file.CreateTemp(name))
    {
        if (report)
            ShowLastError("");
        Close();
        return false;
    }
    m_name = name;
    return SetSize(log, size, report);
}

bool CDataFile::SetSize(CDvdLog* log, uint32_t size, bool report)
{
    const char* failure = nullptr;
    int line = 0;
    if (m_file.Seek(size) != int64_t(size))
    {
        failure = "Set file pointer failed";
        line = __LINE__;
    }
    else if (!m_file.SetEndOfFile())
    {
        failure = "Set end of file failed";
        line = __LINE__;
    }
    else if (m_file.GetSize() != int64_t(size))
    {
        failure = "Can't grow file";
        line = __LINE__;
    }
    if (failure != nullptr)
    {
        ReportAt(log, report, failure, line);
        Close();
        return false;
    }
    m_nPosition = size;
    m_nSize = size;
    return true;
}

void CDataFile::AdviseSequential()
{
    kx::ScopedLock guard(m_lock);
    m_file.Advise(kx::FileHint::SequentialScan);
}

bool CDataFile::MoveTo(uint32_t offset)
{
    if (m_nPosition == int64_t(offset))
        return true;
    ++m_nSeeks;
    if (m_file.Seek(offset) != int64_t(offset))
    {
        m_nPosition = -1;
        return false;
    }
    m_nPosition = offset;
    return true;
}

uint32_t CDataFile::ReadAt(void* buffer, uint32_t offset, uint32_t count)
{
    kx::ScopedLock guard(m_lock);
    if (!m_file.IsOpen() || !MoveTo(offset))
        return 0;
    int64_t n = m_file.Read(buffer, count);
    if (n < 0)
    {
        m_nPosition = -1;
        return 0;
    }
    m_nPosition = int64_t(offset) + n;
    return uint32_t(n);
}

uint32_t CDataFile::WriteAt(const void* buffer, uint32_t offset, uint32_t count)
{
    kx::ScopedLock guard(m_lock);
    if (!m_file.IsOpen() || !MoveTo(offset))
        return 0;
    int64_t n = m_file.Write(buffer, count);
    if (n < 0)
    {
        m_nPosition = -1;
        return 0;
    }
    m_nPosition = int64_t(offset) + n;
    if (uint64_t(m_nPosition) > m_nSize && m_nPosition <= int64_t(UINT32_MAX))
    {
        m_nSize = uint32_t(m_nPosition);
    }
    return uint32_t(n);
}

void CDataFile::Close()
{
    m_name.clear();
    m_nPosition = -1;
    m_file.Close();
    m_nSize = 0;
}
