// CFile: a file of the system, opened with the framework's mode and share
// flags, over the portable file layer. Failures throw CFileException, except
// Open, which reports through its result and the optional exception object.
#pragma once

#include "framework/core/CException.h"
#include "framework/core/CObject.h"
#include "framework/core/CString.h"

#include "Shared/platform/PlatformFile.h"

class CFile : public CObject
{
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        osNoBuffer = 0x10000,
        osWriteThrough = 0x20000,
        osRandomAccess = 0x40000,
        osSequentialScan = 0x80000,
    };

    enum SeekPosition
    {
        begin = 0x0,
        current = 0x1,
        end = 0x2,
    };

    CFile();
    // Opens at once; throws CFileException on failure.
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);
    // Closes without throwing.
    ~CFile() override;

    virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    virtual void Close();
    // Closes, ignoring any failure.
    virtual void Abort();
    virtual void Flush();

    // Returns the bytes read: fewer than asked only at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);

    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    // Cuts or extends the file; a file position past the new end moves to it.
    virtual void SetLength(ULONGLONG dwNewLen);

    virtual CString GetFilePath() const { return m_strFileName; }
    virtual CString GetFileName() const;
    // Whether the file can be used: a system file is open.
    virtual BOOL IsOpen() const { return m_file.IsOpen(); }

    static void Remove(LPCSTR lpszFileName);
    static void Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);

protected:
    [[noreturn]] void ThrowLastError(int nDefaultCause) const;

    CString m_strFileName;

private:
    void RequireOpen() const;

    kx::PlatformFile m_file;
};
