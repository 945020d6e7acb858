#include "DvdGui/core/LayoutFile.h"

#include <cstring>

namespace
{

const uint8_t kSignature[4] = {0x00, 0x66, 0x00, 0x00};

void WriteUInt32(CFile& file, uint32_t nValue)
{
    const uint8_t bytes[4] = {uint8_t(nValue), uint8_t(nValue >> 8), uint8_t(nValue >> 16), uint8_t(nValue >> 24)};
    file.Write(bytes, sizeof(bytes));
}

bool ReadExactly(CFile& file, void* pBuffer, uint32_t nCount)
{
    return file.Read(pBuffer, nCount) == nCount;
}

bool ReadUInt32(CFile& file, uint32_t& nValue)
{
    uint8_t bytes[4];
    if (!ReadExactly(file, bytes, sizeof(bytes)))
        return false;
    nValue = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
    return true;
}

ULONGLONG BytesLeft(CFile& file)
{
    const ULONGLONG nLength = file.GetLength();
    const ULONGLONG nPosition = file.GetPosition();
    return nPosition < nLength ? nLength - nPosition : 0;
}

} // namespace

void WriteLayoutSignature(CFile& file)
{
    file.Write(kSignature, sizeof(kSignature));
}

bool ReadLayoutSignature(CFile& file)
{
    uint8_t bytes[4];
    return ReadExactly(file, bytes, sizeof(bytes)) && bytes[1] == kSignature[1];
}

bool WriteLayoutBody(CFile& file, const char* pszProfile, const std::vector<uint8_t>* pState)
{
    const size_t nNameLength = std::strlen(pszProfile) + 1;
    if (nNameLength < 2 || nNameLength > kLayoutMaxNameLength)
        return false;
    WriteUInt32(file, kLayoutFileTag);
    WriteUInt32(file, uint32_t(nNameLength));
    file.Write(pszProfile, UINT(nNameLength));
    const uint8_t nFlag = pState != nullptr ? 1 : 0;
    file.Write(&nFlag, 1);
    if (pState != nullptr)
    {
        WriteUInt32(file, uint32_t(pState->size()));
        if (!pState->empty())
            file.Write(pState->data(), UINT(pState->size()));
    }
    return true;
}

bool ReadLayoutBody(CFile& file, const char* pszProfile, std::vector<uint8_t>& state)
{
    state.clear();
    uint32_t nTag = 0, nNameLength = 0;
    if (!ReadUInt32(file, nTag) || nTag != kLayoutFileTag || !ReadUInt32(file, nNameLength) || nNameLength == 0 ||
        nNameLength > kLayoutMaxNameLength || nNameLength > BytesLeft(file))
        return false;
    char name[kLayoutMaxNameLength];
    // the name must end with its zero and hold no other
    if (!ReadExactly(file, name, nNameLength) || name[nNameLength - 1] != '\0' ||
        std::strlen(name) != nNameLength - 1 || std::strcmp(name, pszProfile) != 0)
        return false;
    uint8_t nFlag = 0;
    uint32_t nStateLength = 0;
    if (!ReadExactly(file, &nFlag, 1) || nFlag != 1 || !ReadUInt32(file, nStateLength) || nStateLength == 0 ||
        nStateLength > BytesLeft(file))
        return false;
    std::vector<uint8_t> bytes(nStateLength);
    if (!ReadExactly(file, bytes.data(), nStateLength))
        return false;
    state.swap(bytes);
    return true;
}
