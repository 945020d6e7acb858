// The project streams of the disc model over the framework's archive: a
// project file is the disc's record stream and nothing else.
#pragma once

#include "DVD/source/ProjectStream.h"
#include "framework/core/CArchive.h"

class CArchiveReader : public CProjectReader
{
public:
    // The length is the archive file's, taken now.
    explicit CArchiveReader(CArchive& ar);

    uint32_t Read(void* pBuffer, uint32_t nBytes) override;
    uint64_t GetSize() const override { return m_nLength; }

private:
    CArchive& m_archive;
    uint64_t m_nLength;
};

class CArchiveWriter : public CProjectWriter
{
public:
    explicit CArchiveWriter(CArchive& ar) : m_archive(ar) {}
    // Flushes the archive; a failure there is the archive's to report.
    ~CArchiveWriter() override;

    // A failed write raises the framework's file exception.
    uint32_t Write(const void* pData, uint32_t nBytes) override;

private:
    CArchive& m_archive;
};
