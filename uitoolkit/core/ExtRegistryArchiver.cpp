#include "uitoolkit/core/ExtRegistryArchiver.h"

#include "Shared/source/RegistryKey.h"
#include "framework/core/CFile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{

const DWORD kLibraryVersion = 0x02050000;
const DWORD kAllAccess = 0xF003F;
const uint32_t kRegExpandString = 2;
const uint32_t kRegLink = 6;

CString BlockKeyPath(LPCTSTR sKeyPath, DWORD nChunk)
{
    CString s;
    s.Format("%s\\block_0x%08lX", sKeyPath, (unsigned long)(nChunk / CExtRegistryArchiver::kChunksPerBlock));
    return s;
}

CString ChunkValueName(DWORD nChunk)
{
    CString s;
    s.Format("data_0x%08lX", (unsigned long)nChunk);
    return s;
}

// The key a helper works on: the sub-key opened (or created) for the one
// access, else the given key, which stays open.
class ScopedSubKey
{
public:
    ScopedSubKey(kx::RegistryHandle hKey, LPCTSTR sSubKey, bool bCreate)
    {
        if (sSubKey == nullptr || *sSubKey == '\0')
        {
            m_hKey = hKey;
            return;
        }
        m_hKey = bCreate ? CExtRegistryArchiver::RegCreateKeyOrNull(hKey, sSubKey, kx::kRegWrite)
                         : CExtRegistryArchiver::RegOpenKeyOrNull(hKey, sSubKey, kx::kRegRead);
        m_bOwned = m_hKey != 0;
    }
    ~ScopedSubKey()
    {
        if (m_bOwned)
            kx::RegistryCloseKey(m_hKey);
    }
    ScopedSubKey(const ScopedSubKey&) = delete;
    ScopedSubKey& operator=(const ScopedSubKey&) = delete;
    kx::RegistryHandle Get() const { return m_hKey; }

private:
    kx::RegistryHandle m_hKey = 0;
    bool m_bOwned = false;
};

bool WriteValue(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, uint32_t nType, const void* pData, DWORD nSize)
{
    if (hKey == 0)
        return false;
    ScopedSubKey key(hKey, sSubKey, true);
    return key.Get() != 0 && kx::RegistrySetValue(key.Get(), sName, nType, pData, nSize) == kx::kRegOk;
}

bool ReadValue(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, uint32_t& nType, std::vector<uint8_t>& data)
{
    if (hKey == 0)
        return false;
    ScopedSubKey key(hKey, sSubKey, false);
    return key.Get() != 0 && kx::RegistryQueryValue(key.Get(), sName, nType, data) == kx::kRegOk;
}

} // namespace

DWORD CExtRegistryArchiver::GetLibraryVersionWord(bool bShortForm)
{
    return bShortForm ? (kLibraryVersion >> 16) : kLibraryVersion;
}

CString& CExtRegistryArchiver::GetLibraryVersionString(CString& sOut, char chSeparator)
{
    DWORD n = GetLibraryVersionWord(false);
    sOut.Format("%d%c%d%c%d%c%d", (int)((n >> 24) & 0xFF), chSeparator, (int)((n >> 16) & 0xFF), chSeparator,
                (int)((n >> 8) & 0xFF), chSeparator, (int)(n & 0xFF));
    return sOut;
}

CString& CExtRegistryArchiver::MakeProfileRegPath(CString& sOut, LPCTSTR sSection, LPCTSTR sStateProfile,
                                                  LPCTSTR sAppRegistryKey, LPCTSTR sAppProfileName)
{
    auto text = [](LPCTSTR s) { return s != nullptr ? s : ""; };
    sOut.Format("Software\\%s\\%s\\%s\\%s\\%s\\%s", text(sAppRegistryKey), text(sAppProfileName), "Quorbis", "Profiles",
                text(sStateProfile), text(sSection));
    for (char ch : {'\r', '\t', '\n', '?', '*'})
        sOut.Replace(ch, '_');
    return sOut;
}

void CExtRegistryArchiver::IntegrityText::Add(const BYTE* pBytes, size_t nCount)
{
    for (size_t i = 0; i < nCount; ++i, ++m_nCount)
    {
        DWORD& h = m_lanes[m_nCount % 4];
        h = (h << 4) + pBytes[i];
        DWORD g = h & 0xF0000000u;
        if (g != 0)
            h = (h ^ (g >> 24)) & ~g;
    }
}

CString CExtRegistryArchiver::IntegrityText::GetText() const
{
    CString sText;
    for (int i = 0; i < 4; ++i)
    {
        DWORD h = m_lanes[i];
        CString sLane;
        sLane.Format("%s%02X %02X %02X %02X", i == 0 ? "" : " ", (unsigned)(h >> 24), (unsigned)((h >> 16) & 0xFF),
                     (unsigned)((h >> 8) & 0xFF), (unsigned)(h & 0xFF));
        sText += sLane;
    }
    return sText;
}

bool CExtRegistryArchiver::WriteArchiveToRegistry(CFile& file, LPCTSTR sKeyPath, kx::RegistryHandle hRoot)
{
    if (sKeyPath == nullptr || *sKeyPath == '\0')
        return false;
    kx::RegistryHandle hOld = RegOpenKeyOrNull(hRoot, sKeyPath, kx::kRegRead | kx::kRegWrite);
    if (hOld != 0)
    {
        bool bEmptied = RegDeleteSubkeys(hOld);
        kx::RegistryCloseKey(hOld);
        if (bEmptied)
            kx::RegistryDeleteKey(hRoot, sKeyPath);
    }
    file.SeekToBegin();
    ULONGLONG nLength = file.GetLength();
    if (nLength > 0xFFFFFFFFull)
        return false;
    kx::RegistryHandle hKey = RegCreateKeyOrNull(hRoot, sKeyPath, kAllAccess);
    if (hKey == 0)
        return false;
    bool bOk = RegWriteDword(hKey, nullptr, "data_size", (DWORD)nLength);
    IntegrityText integrity;
    for (DWORD nChunk = 0; bOk && (ULONGLONG)nChunk * kChunkSize < nLength; ++nChunk)
    {
        BYTE piece[kChunkSize];
        UINT nRead = file.Read(piece, kChunkSize);
        if (nRead == 0)
        {
            bOk = false;
            break;
        }
        kx::RegistryHandle hBlock = RegCreateKeyOrNull(hRoot, BlockKeyPath(sKeyPath, nChunk), kAllAccess);
        bOk = hBlock != 0 && RegWriteBinary(hBlock, nullptr, ChunkValueName(nChunk), piece, nRead);
        if (hBlock != 0)
            kx::RegistryCloseKey(hBlock);
        integrity.Add(piece, nRead);
    }
    bOk = bOk && RegWriteString(hKey, nullptr, "data_integrity", integrity.GetText());
    if (bOk)
    {
        CString sVersion, sGenerator;
        sGenerator.Format("Quorbis v. %s registry archiver", (LPCTSTR)GetLibraryVersionString(sVersion, '.'));
        RegWriteString(hKey, nullptr, "data_generator", sGenerator);
    }
    kx::RegistryCloseKey(hKey);
    return bOk;
}

bool CExtRegistryArchiver::ReadArchiveFromRegistry(CFile& file, LPCTSTR sKeyPath, kx::RegistryHandle hRoot)
{
    if (sKeyPath == nullptr || *sKeyPath == '\0')
        return false;
    kx::RegistryHandle hKey = RegOpenKeyOrNull(hRoot, sKeyPath, kx::kRegRead);
    if (hKey == 0)
        return false;
    DWORD nSize = 0;
    bool bOk = RegReadDword(hKey, nullptr, "data_size", nSize) && nSize <= kMaxStoredSize;
    if (bOk && nSize == 0)
    {
        kx::RegistryCloseKey(hKey);
        return true;
    }
    // Everything is checked before the file sees a byte, so a refused store
    // leaves it as it was.
    std::vector<BYTE> bytes;
    IntegrityText integrity;
    for (DWORD nChunk = 0; bOk && bytes.size() < nSize; ++nChunk)
    {
        DWORD nExpected = std::min<DWORD>(kChunkSize, nSize - (DWORD)bytes.size());
        kx::RegistryHandle hBlock = RegOpenKeyOrNull(hRoot, BlockKeyPath(sKeyPath, nChunk), kx::kRegRead);
        BYTE piece[kChunkSize];
        DWORD nRead = nExpected;
        bOk =
            hBlock != 0 && RegReadBinary(hBlock, nullptr, ChunkValueName(nChunk), piece, &nRead) && nRead == nExpected;
        if (hBlock != 0)
            kx::RegistryCloseKey(hBlock);
        if (bOk)
        {
            integrity.Add(piece, nRead);
            bytes.insert(bytes.end(), piece, piece + nRead);
        }
    }
    if (bOk)
    {
        CString sComputed = integrity.GetText();
        std::vector<char> stored(sComputed.GetLength() + 1);
        bOk = RegReadString(hKey, nullptr, "data_integrity", stored.data(), (DWORD)stored.size()) &&
              std::strcmp(stored.data(), sComputed) == 0;
    }
    kx::RegistryCloseKey(hKey);
    if (!bOk)
        return false;
    file.Write(bytes.data(), (UINT)bytes.size());
    file.SeekToBegin();
    return true;
}

kx::RegistryHandle CExtRegistryArchiver::RegOpenKeyOrNull(kx::RegistryHandle hRoot, LPCTSTR sPath, DWORD nAccess)
{
    kx::RegistryHandle hKey = 0;
    if (hRoot == 0 || sPath == nullptr || kx::RegistryOpenKey(hRoot, sPath, nAccess, hKey) != kx::kRegOk)
        return 0;
    return hKey;
}

kx::RegistryHandle CExtRegistryArchiver::RegCreateKeyOrNull(kx::RegistryHandle hRoot, LPCTSTR sPath, DWORD nAccess)
{
    kx::RegistryHandle hKey = 0;
    if (hRoot == 0 || sPath == nullptr || kx::RegistryCreateKey(hRoot, sPath, nAccess, hKey) != kx::kRegOk)
        return 0;
    return hKey;
}

bool CExtRegistryArchiver::RegWriteString(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, LPCTSTR sValue)
{
    if (sValue == nullptr)
        return false;
    return WriteValue(hKey, sSubKey, sName, kx::kRegString, sValue, (DWORD)std::strlen(sValue) + 1);
}

bool CExtRegistryArchiver::RegWriteDword(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, DWORD nValue)
{
    BYTE bytes[4] = {BYTE(nValue), BYTE(nValue >> 8), BYTE(nValue >> 16), BYTE(nValue >> 24)};
    return WriteValue(hKey, sSubKey, sName, kx::kRegDword, bytes, sizeof(bytes));
}

bool CExtRegistryArchiver::RegWriteBinary(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, const void* pData,
                                          DWORD nSize)
{
    return WriteValue(hKey, sSubKey, sName, kx::kRegBinary, pData, nSize);
}

bool CExtRegistryArchiver::RegReadString(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, LPTSTR pBuffer,
                                         DWORD nBufferSize)
{
    uint32_t nType = 0;
    std::vector<uint8_t> data;
    if (pBuffer == nullptr || nBufferSize == 0 || !ReadValue(hKey, sSubKey, sName, nType, data))
        return false;
    if (nType != kx::kRegString && nType != kRegExpandString && nType != kRegLink && nType != kx::kRegMultiString)
        return false;
    // a stored text may lack its terminator; the caller's copy never does
    size_t nLength = data.size();
    if (nLength > 0 && data[nLength - 1] == 0)
        --nLength;
    if (nLength + 1 > nBufferSize)
        return false;
    std::memcpy(pBuffer, data.data(), nLength);
    pBuffer[nLength] = '\0';
    return true;
}

bool CExtRegistryArchiver::RegReadDword(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, DWORD& nValue)
{
    uint32_t nType = 0;
    std::vector<uint8_t> data;
    if (!ReadValue(hKey, sSubKey, sName, nType, data) || nType != kx::kRegDword || data.size() != 4)
        return false;
    nValue = DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24;
    return true;
}

bool CExtRegistryArchiver::RegReadBinary(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, void* pBuffer,
                                         DWORD* pnSize)
{
    uint32_t nType = 0;
    std::vector<uint8_t> data;
    if (pnSize == nullptr || !ReadValue(hKey, sSubKey, sName, nType, data) || nType != kx::kRegBinary ||
        data.size() > *pnSize || (pBuffer == nullptr && !data.empty()))
        return false;
    if (!data.empty())
        std::memcpy(pBuffer, data.data(), data.size());
    *pnSize = (DWORD)data.size();
    return true;
}

bool CExtRegistryArchiver::RegDeleteSubkeys(kx::RegistryHandle hKey)
{
    if (hKey == 0)
        return false;
    std::vector<std::string> names;
    for (uint32_t i = 0;; ++i)
    {
        std::string sName;
        uint32_t rc = kx::RegistryEnumKey(hKey, i, sName);
        if (rc == kx::kRegNoMoreItems)
            break;
        if (rc != kx::kRegOk)
            return false;
        names.push_back(sName);
    }
    for (auto it = names.rbegin(); it != names.rend(); ++it)
    {
        if (!CRegistryKey::DeleteKeyRecursive(hKey, it->c_str()))
            return false;
    }
    return true;
}
