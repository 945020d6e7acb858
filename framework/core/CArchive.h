// CArchive: a buffered stream of binary values over a CFile, either loading
// or storing.
//
// Numbers are stored little-endian in their own width (int, LONG, DWORD and
// UINT in 4 bytes, whatever the build; avoid plain long, which is 8 bytes on
// 64-bit Linux). Texts use the framework's length prefix: one byte for up to
// 254 characters, else 0xFF and a WORD up to 65,533, else 0xFF, 0xFFFF and a
// DWORD; then the characters without terminator. A load that runs out of
// bytes throws CArchiveException (endOfFile); a text length is never trusted
// for an allocation larger than the bytes actually there.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CException.h"
#include "framework/core/CFile.h"
#include "framework/core/CString.h"

#include <cstring>
#include <type_traits>

class CDocument;

class CArchive
{
public:
    enum Mode
    {
        store = 0,
        load = 1,
        bNoFlushOnDelete = 2,
    };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    // Closes the archive (storing: writes what is buffered) unless created
    // with bNoFlushOnDelete; a failure there is dropped, never thrown.
    ~CArchive();

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    BOOL IsBufferEmpty() const { return m_lpBufCur == m_lpBufMax; }
    CFile* GetFile() const { return m_pFile; }
    // Loading: the bytes not read yet, buffered or still in the file. A reader
    // checks a stated count against it before allocating for that count.
    ULONGLONG GetBytesLeft() const;

    // Returns the bytes read: fewer than asked only at the end of the file.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Storing: writes the buffer to the file. Loading: drops the buffer and
    // puts the file position back where the archive has read up to.
    void Flush();
    // Flushes and lets go of the file (which stays open).
    void Close();
    // Lets go of the file without writing what is buffered.
    void Abort();

    template <class T>
    typename std::enable_if<std::is_arithmetic<T>::value, CArchive&>::type operator<<(T value)
    {
        BYTE bytes[sizeof(T)];
        Encode(value, bytes);
        Write(bytes, sizeof(T));
        return *this;
    }

    template <class T>
    typename std::enable_if<std::is_arithmetic<T>::value, CArchive&>::type operator>>(T& value)
    {
        BYTE bytes[sizeof(T)];
        ReadExact(bytes, sizeof(T));
        value = Decode<T>(bytes);
        return *this;
    }

    CArchive& operator<<(POINT pt) { return *this << (LONG)pt.x << (LONG)pt.y; }
    CArchive& operator<<(SIZE size) { return *this << (LONG)size.cx << (LONG)size.cy; }
    CArchive& operator<<(const RECT& rc)
    {
        return *this << (LONG)rc.left << (LONG)rc.top << (LONG)rc.right << (LONG)rc.bottom;
    }
    CArchive& operator>>(POINT& pt) { return *this >> pt.x >> pt.y; }
    CArchive& operator>>(SIZE& size) { return *this >> size.cx >> size.cy; }
    CArchive& operator>>(RECT& rc) { return *this >> rc.left >> rc.top >> rc.right >> rc.bottom; }

    CArchive& operator<<(const CString& str);
    CArchive& operator>>(CString& str);

    CDocument* m_pDocument = nullptr; // the document being serialized, when there is one

private:
    void ReadExact(void* lpBuf, UINT nCount);
    void WriteBuffer();
    [[noreturn]] void Throw(int cause) const;

    template <class T>
    static void Encode(T value, BYTE* bytes)
    {
        if constexpr (std::is_same<T, bool>::value)
        {
            bytes[0] = value ? 1 : 0;
        }
        else
        {
            typename std::conditional<
                sizeof(T) == 8, uint64_t,
                typename std::conditional<sizeof(T) == 4, uint32_t,
                                          typename std::conditional<sizeof(T) == 2, uint16_t, uint8_t>::type>::type>::
                type n;
            static_assert(sizeof(n) == sizeof(T), "unsupported width");
            memcpy(&n, &value, sizeof(T));
            for (size_t i = 0; i < sizeof(T); ++i)
                bytes[i] = (BYTE)(n >> (8 * i));
        }
    }

    template <class T>
    static T Decode(const BYTE* bytes)
    {
        if constexpr (std::is_same<T, bool>::value)
        {
            return bytes[0] != 0;
        }
        else
        {
            typename std::conditional<
                sizeof(T) == 8, uint64_t,
                typename std::conditional<sizeof(T) == 4, uint32_t,
                                          typename std::conditional<sizeof(T) == 2, uint16_t, uint8_t>::type>::type>::
                type n = 0;
            for (size_t i = 0; i < sizeof(T); ++i)
                n |= (decltype(n))((decltype(n))bytes[i] << (8 * i));
            T value;
            memcpy(&value, &n, sizeof(T));
            return value;
        }
    }

    CFile* m_pFile;
    UINT m_nMode;
    UINT m_nBufSize;
    bool m_bUserBuf;
    BYTE* m_lpBufStart;
    BYTE* m_lpBufCur;
    BYTE* m_lpBufMax; // loading: end of the bytes read ahead; storing: end of the buffer
};
