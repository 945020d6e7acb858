// Project streams: the byte streams a project file is stored to and loaded
// from, and the transfer helpers every node record is written with.
//
// Record conventions: each record starts with its own version byte (nodes then
// store their flags byte); numbers are little-endian in the width of their
// field; a text is a 32-bit length (text length + 1), the text and its NUL.
// Loaders accept their own and older versions and refuse newer ones with
// kUnexpectedArchiveContent.
//
// The stream keeps a count of the bytes moved and an ok flag that the first
// short transfer clears, so a record can run all its transfers and test once.
#pragma once

#include "framework/core/CString.h"

#include <cstdint>

// The error every loader reports for a record it cannot accept.
extern const char kUnexpectedArchiveContent[];

class CProjectWriter
{
public:
    CProjectWriter() = default;
    CProjectWriter(const CProjectWriter&) = delete;
    CProjectWriter& operator=(const CProjectWriter&) = delete;

    // Answers the number of bytes taken.
    virtual uint32_t Write(const void* pData, uint32_t nBytes) = 0;
    virtual ~CProjectWriter();
    // The length (text length + 1), then the text and its NUL.
    virtual void WriteString(const char* pszText);

    uint64_t GetTransferred() const { return m_nTransferred; }
    bool IsOk() const { return m_bOk; }
    void SetOk(bool bOk) { m_bOk = bOk; }

private:
    friend uint32_t TransferBytes(CProjectWriter& writer, const void* pData, uint32_t nBytes);

    uint64_t m_nTransferred = 0;
    bool m_bOk = true;
};

class CProjectReader
{
public:
    CProjectReader() = default;
    CProjectReader(const CProjectReader&) = delete;
    CProjectReader& operator=(const CProjectReader&) = delete;

    // Answers the number of bytes read, fewer at the end of the stream.
    virtual uint32_t Read(void* pBuffer, uint32_t nBytes) = 0;
    virtual ~CProjectReader();
    // Total size of the stream in bytes.
    virtual uint64_t GetSize() const = 0;
    // Reads one stored text into a buffer of nCapacity bytes. Answers 0 when
    // the whole text with its NUL is in the buffer; otherwise the text is
    // damaged or too long for the buffer, and the answer is the number of its
    // stored bytes that were not read (at least 1). The buffer always ends up
    // terminated. The bytes of a text too long for the buffer stay unread.
    virtual uint32_t ReadString(char* pszBuffer, uint32_t nCapacity);

    // Reads one stored text of at most nMaxLength characters. False, with
    // the text emptied, for a text that is longer, damaged or cut short.
    bool ReadString(CString& strText, uint32_t nMaxLength);

    uint64_t GetTransferred() const { return m_nTransferred; }
    bool IsOk() const { return m_bOk; }
    void SetOk(bool bOk) { m_bOk = bOk; }

    // Bytes between the read position and the end of the stream.
    uint64_t GetBytesLeft() const;
    // True when nCount items of at least nMinItemBytes bytes each can still
    // be in the stream. Every count read from a stream is checked with it
    // before anything is allocated or looped over.
    bool CanHold(uint64_t nCount, uint32_t nMinItemBytes) const;

private:
    friend uint32_t TransferBytes(CProjectReader& reader, void* pBuffer, uint32_t nBytes);

    uint64_t m_nTransferred = 0;
    bool m_bOk = true;
};

// Moves nBytes through the stream, counts them and clears the ok flag when
// fewer moved. Answers the number moved.
uint32_t TransferBytes(CProjectWriter& writer, const void* pData, uint32_t nBytes);
uint32_t TransferBytes(CProjectReader& reader, void* pBuffer, uint32_t nBytes);

// Typed fields, little-endian. Each answers whether the whole field moved.
bool WriteByte(CProjectWriter& writer, uint8_t nValue);
bool WriteWord(CProjectWriter& writer, uint16_t nValue);
bool WriteDword(CProjectWriter& writer, uint32_t nValue);
bool WriteQword(CProjectWriter& writer, uint64_t nValue);

bool ReadByte(CProjectReader& reader, uint8_t& nValue);
bool ReadWord(CProjectReader& reader, uint16_t& nValue);
bool ReadDword(CProjectReader& reader, uint32_t& nValue);
bool ReadQword(CProjectReader& reader, uint64_t& nValue);
