// CMemFile: a file held in memory, growing in steps of nGrowBytes (1,024).
//
// It can also work over a caller's bytes: Attach with a grow step of 0 makes
// those bytes the file and the file cannot grow past them; with a grow step
// the bytes are only a first buffer, and growing moves the file into memory
// of its own, leaving the caller's bytes alone. Constant bytes make a
// read-only file. Blocks the file allocated come from malloc: a caller who
// takes one with Detach frees it with free().
#pragma once

#include "framework/core/CFile.h"

#include <cstddef>

class CMemFile : public CFile
{
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    CMemFile(BYTE* pBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    CMemFile(const BYTE* pBuffer, UINT nBufferSize);
    ~CMemFile() override;

    void Attach(BYTE* pBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    void Attach(const BYTE* pBuffer, UINT nBufferSize);
    // Hands the buffer to the caller and leaves the file empty.
    BYTE* Detach();

    // A memory file is always usable, empty or not.
    BOOL IsOpen() const override { return TRUE; }
    void Close() override;
    void Abort() override;
    void Flush() override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG dwNewLen) override;

protected:
    void Grow(size_t nNewLength);
    void Reset();

    BYTE* m_lpBuffer = nullptr;
    size_t m_nBufferSize = 0;
    size_t m_nFileSize = 0;
    size_t m_nPosition = 0; // may lie past the end; a write there zero-fills the gap
    UINT m_nGrowBytes;
    bool m_bAutoDelete = true; // the buffer is ours to free
    bool m_bReadOnly = false;
};
