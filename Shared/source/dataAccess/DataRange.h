#pragma once
// A byte range of one file. Ranges never reach past their file's end: every
// way of making one clips the length there.

#include <cstdint>

class CDataFile;

class CDataRange
{
public:
    // An empty range of no file.
    CDataRange();
    // The whole file.
    explicit CDataRange(CDataFile* file);
    CDataRange(CDataFile* file, uint32_t offset, uint32_t length);
    CDataRange(const CDataRange&) = default;
    CDataRange& operator=(const CDataRange&) = default;

    // This range becomes the part of base at relative offset, clipped to
    // base's end.
    void SetSubRange(const CDataRange& base, uint32_t relativeOffset, uint32_t length);
    // Joins next when it continues this range in the same file.
    bool Merge(const CDataRange& next);

    uint32_t GetOffset() const { return m_nOffset; }
    uint32_t GetLength() const { return m_nLength; }
    CDataFile* GetFile() const { return m_pFile; }

private:
    uint32_t m_nOffset;
    uint32_t m_nLength;
    CDataFile* m_pFile;
};
