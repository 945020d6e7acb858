#include "uitoolkit/core/ExtDialogInitData.h"

#include <cstring>

namespace
{

WORD ReadWord(const BYTE* p)
{
    return (WORD)(p[0] | (p[1] << 8));
}

DWORD ReadDword(const BYTE* p)
{
    return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
}

} // namespace

std::vector<ExtDialogInitRecord> ParseDialogInitData(const BYTE* pData, size_t nSize)
{
    std::vector<ExtDialogInitRecord> records;
    const size_t kHeader = 8;
    size_t nPos = 0;
    while (pData != nullptr && nSize - nPos >= 2)
    {
        ExtDialogInitRecord record;
        record.nControlId = ReadWord(pData + nPos);
        if (record.nControlId == 0 || nSize - nPos < kHeader)
            break;
        record.nMessage = ReadWord(pData + nPos + 2);
        const DWORD nLength = ReadDword(pData + nPos + 4);
        nPos += kHeader;
        if (nLength > nSize - nPos)
            break;
        const char* pText = reinterpret_cast<const char*>(pData + nPos);
        const void* pZero = std::memchr(pText, 0, nLength);
        record.sText.assign(pText, pZero != nullptr ? static_cast<const char*>(pZero) - pText : nLength);
        nPos += nLength;
        records.push_back(std::move(record));
    }
    return records;
}
