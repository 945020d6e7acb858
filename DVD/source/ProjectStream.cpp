#include "DVD/source/ProjectStream.h"

#include <cstring>

const char kUnexpectedArchiveContent[] = "Unexpected archive content";

CProjectWriter::~CProjectWriter() = default;

void CProjectWriter::WriteString(const char* pszText)
{
    if (pszText == nullptr)
        pszText = "";
    const size_t nLength = std::strlen(pszText);
    // A length that does not fit the 32-bit field cannot be stored.
    if (nLength >= UINT32_MAX)
    {
        m_bOk = false;
        return;
    }
    const uint32_t nStored = static_cast<uint32_t>(nLength + 1);
    WriteDword(*this, nStored);
    TransferBytes(*this, pszText, nStored);
}

CProjectReader::~CProjectReader() = default;

uint64_t CProjectReader::GetBytesLeft() const
{
    const uint64_t nSize = GetSize();
    return m_nTransferred < nSize ? nSize - m_nTransferred : 0;
}

bool CProjectReader::CanHold(uint64_t nCount, uint32_t nMinItemBytes) const
{
    if (nMinItemBytes == 0)
        nMinItemBytes = 1;
    return nCount <= GetBytesLeft() / nMinItemBytes;
}

uint32_t CProjectReader::ReadString(char* pszBuffer, uint32_t nCapacity)
{
    uint32_t nStored = 0;
    if (!ReadDword(*this, nStored))
    {
        if (nCapacity > 0)
            pszBuffer[0] = '\0';
        return 1;
    }
    if (nCapacity == 0)
        return nStored > 0 ? nStored : 1;

    const uint32_t nWanted = nStored < nCapacity ? nStored : nCapacity;
    const uint32_t nRead = TransferBytes(*this, pszBuffer, nWanted);
    const bool bWhole = nRead == nStored && nStored > 0 && pszBuffer[nStored - 1] == '\0';
    if (bWhole)
        return 0;

    // Damaged, cut short or too long: leave a terminated text all the same.
    pszBuffer[nRead < nCapacity ? nRead : nCapacity - 1] = '\0';
    const uint32_t nMissing = nStored - nRead;
    return nMissing > 0 ? nMissing : 1;
}

bool CProjectReader::ReadString(CString& strText, uint32_t nMaxLength)
{
    strText.Empty();
    uint32_t nStored = 0;
    if (!ReadDword(*this, nStored))
        return false;
    // A stored text holds at least its NUL, and never more than is left.
    if (nStored == 0 || nStored - 1 > nMaxLength || nStored - 1 > INT32_MAX - 1 || !CanHold(nStored, 1))
        return false;

    const int nLength = static_cast<int>(nStored - 1);
    char* pch = strText.GetBufferSetLength(nLength);
    const bool bText = TransferBytes(*this, pch, nStored - 1) == nStored - 1;
    // A NUL inside the text would cut it short: the record is damaged.
    const bool bClean = bText && std::memchr(pch, '\0', static_cast<size_t>(nLength)) == nullptr;
    strText.ReleaseBuffer(bText ? nLength : 0);
    uint8_t nTerminator = 0xFF;
    if (!bClean || !ReadByte(*this, nTerminator) || nTerminator != 0)
    {
        strText.Empty();
        return false;
    }
    return true;
}

uint32_t TransferBytes(CProjectWriter& writer, const void* pData, uint32_t nBytes)
{
    const uint32_t nMoved = writer.Write(pData, nBytes);
    writer.m_nTransferred += nMoved;
    if (nMoved < nBytes)
        writer.m_bOk = false;
    return nMoved;
}

uint32_t TransferBytes(CProjectReader& reader, void* pBuffer, uint32_t nBytes)
{
    uint32_t nMoved = reader.Read(pBuffer, nBytes);
    // A stream that claims more than was asked is treated as a short read.
    if (nMoved > nBytes)
        nMoved = 0;
    reader.m_nTransferred += nMoved;
    if (nMoved < nBytes)
        reader.m_bOk = false;
    return nMoved;
}

namespace
{
template <typename T>
bool WriteLittleEndian(CProjectWriter& writer, T nValue)
{
    uint8_t bytes[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(nValue) >> (8 * i));
    return TransferBytes(writer, bytes, sizeof(T)) == sizeof(T);
}

template <typename T>
bool ReadLittleEndian(CProjectReader& reader, T& nValue)
{
    uint8_t bytes[sizeof(T)] = {};
    if (TransferBytes(reader, bytes, sizeof(T)) != sizeof(T))
    {
        nValue = 0;
        return false;
    }
    uint64_t nResult = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        nResult |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    nValue = static_cast<T>(nResult);
    return true;
}
} // namespace

bool WriteByte(CProjectWriter& writer, uint8_t nValue)
{
    return WriteLittleEndian(writer, nValue);
}
bool WriteWord(CProjectWriter& writer, uint16_t nValue)
{
    return WriteLittleEndian(writer, nValue);
}
bool WriteDword(CProjectWriter& writer, uint32_t nValue)
{
    return WriteLittleEndian(writer, nValue);
}
bool WriteQword(CProjectWriter& writer, uint64_t nValue)
{
    return WriteLittleEndian(writer, nValue);
}

bool ReadByte(CProjectReader& reader, uint8_t& nValue)
{
    return ReadLittleEndian(reader, nValue);
}
bool ReadWord(CProjectReader& reader, uint16_t& nValue)
{
    return ReadLittleEndian(reader, nValue);
}
bool ReadDword(CProjectReader& reader, uint32_t& nValue)
{
    return ReadLittleEndian(reader, nValue);
}
bool ReadQword(CProjectReader& reader, uint64_t& nValue)
{
    return ReadLittleEndian(reader, nValue);
}
