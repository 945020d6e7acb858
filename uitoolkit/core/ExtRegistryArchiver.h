// Toolkit state kept in the registry: the key path of a piece of state, and
// a framework file stored in 16-byte chunks with a text that detects bytes
// changed outside the program. Portable: the native build's registry is the
// platform layer's in-memory store.
//
// Layout inside the key:
//   "data_size"        REG_DWORD   the file's length
//   "block_0x%08lX"    sub-key     chunks k with k >> 7 equal to its number
//     "data_0x%08lX"   REG_BINARY  chunk k: bytes 16k .. 16k + 15 (the last
//                                  chunk holds what is left)
//   "data_integrity"   REG_SZ      IntegrityText of every stored byte
//   "data_generator"   REG_SZ      which library wrote it
#pragma once

#include "Shared/platform/PlatformRegistry.h"
#include "framework/core/CString.h"

class CFile;

class CExtRegistryArchiver
{
public:
    // A stored length above this is refused: no toolkit state comes near it,
    // and a damaged value must not make the reader allocate gigabytes.
    static constexpr DWORD kMaxStoredSize = 16 * 1024 * 1024;
    static constexpr UINT kChunkSize = 16;
    static constexpr UINT kChunksPerBlock = 128;

    // 0x0205 in the short form, else 0x02050000.
    static DWORD GetLibraryVersionWord(bool bShortForm);
    // The bytes of the version word from the most significant down, in
    // decimal, joined by chSeparator: "2.5.0.0" for '.'.
    static CString& GetLibraryVersionString(CString& sOut, char chSeparator = '.');

    // "Software\<application registry key>\<application profile name>
    // \Quorbis\Profiles\<state profile>\<section>" with CR, TAB, LF, '?' and
    // '*' replaced by '_'. The state profile is the name of the command
    // profile or bar layout stored there.
    static CString& MakeProfileRegPath(CString& sOut, LPCTSTR sSection, LPCTSTR sStateProfile, LPCTSTR sAppRegistryKey,
                                       LPCTSTR sAppProfileName);

    // Four lanes over the bytes in order, byte n into lane n mod 4, printed
    // as 16 upper-case hexadecimal pairs separated by blanks (47 characters).
    class IntegrityText
    {
    public:
        void Add(const BYTE* pBytes, size_t nCount);
        CString GetText() const;

    private:
        DWORD m_lanes[4] = {};
        size_t m_nCount = 0;
    };

    // Replaces whatever the key held (so no block of a longer file
    // survives) with the file's bytes from its start. False on any registry
    // failure; the key then keeps what was written so far.
    static bool WriteArchiveToRegistry(CFile& file, LPCTSTR sKeyPath, kx::RegistryHandle hRoot);
    // Appends the stored bytes to the file and rewinds it. Refuses (false,
    // the file untouched) a stored size above kMaxStoredSize, a missing
    // chunk, a chunk that is not exactly as long as its place in the file
    // asks, and bytes that do not match the stored integrity text exactly,
    // case included.
    static bool ReadArchiveFromRegistry(CFile& file, LPCTSTR sKeyPath, kx::RegistryHandle hRoot);

    // Registry helpers: 0 or false on any failure. With a sub-key name they
    // open (writing: create) that sub-key of hKey for the one access and
    // close it again, else they work on hKey itself.
    static kx::RegistryHandle RegOpenKeyOrNull(kx::RegistryHandle hRoot, LPCTSTR sPath, DWORD nAccess);
    static kx::RegistryHandle RegCreateKeyOrNull(kx::RegistryHandle hRoot, LPCTSTR sPath, DWORD nAccess);
    static bool RegWriteString(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, LPCTSTR sValue);
    static bool RegWriteDword(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, DWORD nValue);
    static bool RegWriteBinary(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, const void* pData, DWORD nSize);
    // Takes REG_SZ, REG_EXPAND_SZ, REG_LINK and REG_MULTI_SZ; false when the
    // text and its terminator do not fit nBufferSize characters.
    static bool RegReadString(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, LPTSTR pBuffer,
                              DWORD nBufferSize);
    static bool RegReadDword(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, DWORD& nValue);
    // pnSize: in, the buffer's size; out, the bytes stored. False when they
    // do not fit.
    static bool RegReadBinary(kx::RegistryHandle hKey, LPCTSTR sSubKey, LPCTSTR sName, void* pBuffer, DWORD* pnSize);
    // Deletes every sub-key of hKey, each after its own sub-keys, from the
    // last down; stops with false at the first step that fails.
    static bool RegDeleteSubkeys(kx::RegistryHandle hKey);
};
