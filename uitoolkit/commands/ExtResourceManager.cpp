#include "uitoolkit/commands/ExtResourceManager.h"

#include "framework/win/Menu.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <algorithm>
#include <cstring>
#include <vector>

CExtResourceManagerHolder g_ResourceManager;

namespace
{

const WORD kUserDefaultLanguage = 0x0400;
const WORD kSystemDefaultLanguage = 0x0800;

// Languages written right to left: Arabic in all its regions, Hebrew, Urdu,
// Farsi, Syriac, Sindhi and Kashmiri.
const WORD kRightToLeftLanguages[] = {0x0401, 0x040D, 0x0420, 0x0429, 0x0446, 0x0459, 0x0460, 0x0801,
                                      0x0820, 0x0860, 0x0C01, 0x1001, 0x1401, 0x1801, 0x1C01, 0x2001,
                                      0x2401, 0x2801, 0x2C01, 0x3001, 0x3401, 0x3801, 0x3C01, 0x4001};

// Sets the out-pointers to what they report after a failure.
void ResetOut(WORD* pnLanguageOut, HRSRC* phResourceOut, HINSTANCE* phModuleOut)
{
    if (pnLanguageOut != nullptr)
        *pnLanguageOut = CExtResourceManager::kFallbackLanguage;
    if (phResourceOut != nullptr)
        *phResourceOut = nullptr;
    if (phModuleOut != nullptr)
        *phModuleOut = nullptr;
}

LPCTSTR IdName(UINT nID)
{
    return MAKEINTRESOURCEA(LOWORD(nID));
}

} // namespace

// ---- CExtResourceBuffer -----------------------------------------------------

CExtResourceBuffer::~CExtResourceBuffer()
{
    Free();
}

void CExtResourceBuffer::Free()
{
    delete[] m_pData;
    m_pData = nullptr;
    m_nSize = 0;
}

bool CExtResourceBuffer::Alloc(DWORD nSize, bool bZeroMemory)
{
    Free();
    if (nSize == 0)
        return false;
    m_pData = bZeroMemory ? new BYTE[nSize]() : new BYTE[nSize];
    m_nSize = nSize;
    return true;
}

bool CExtResourceBuffer::Load(HINSTANCE hModule, HRSRC hResource)
{
    Free();
    if (hResource == nullptr)
        return false;
    DWORD nSize = ::SizeofResource(hModule, hResource);
    if (nSize == 0)
        return true;
    HGLOBAL hData = ::LoadResource(hModule, hResource);
    const void* pData = hData != nullptr ? ::LockResource(hData) : nullptr;
    if (pData == nullptr)
        return false;
    Alloc(nSize);
    std::memcpy(m_pData, pData, nSize);
    return true;
}

bool CExtResourceBuffer::FindAndLoad(HINSTANCE hModule, LPCTSTR sResourceType, LPCTSTR sResourceName, WORD nLanguage)
{
    Free();
    if (hModule == nullptr || sResourceType == nullptr || sResourceName == nullptr)
        return false;
    HRSRC hResource = ::FindResourceExA(hModule, sResourceType, sResourceName, nLanguage);
    return hResource != nullptr && Load(hModule, hResource);
}

// ---- CExtResourceManager ----------------------------------------------------

CExtResourceManager::CExtResourceManager(bool bOwnLanguage, WORD nLanguage)
    : m_nFlags(bOwnLanguage ? kOwnLanguage : 0), m_nLanguage(nLanguage)
{
}

CExtResourceManager::~CExtResourceManager() = default;

HGLOBAL CExtResourceManager::HandleDialogRequest(LPVOID, CWnd*, bool, LPARAM)
{
    return nullptr;
}

bool CExtResourceManager::IsOwnLanguage() const
{
    return (m_nFlags & kOwnLanguage) != 0;
}

BYTE CExtResourceManager::SetOwnLanguage(bool bOwnLanguage)
{
    BYTE nOld = m_nFlags;
    if (bOwnLanguage)
        m_nFlags |= kOwnLanguage;
    else
        m_nFlags &= ~kOwnLanguage;
    return nOld;
}

int CExtResourceManager::IsRTL() const
{
    if (m_nRTLMode != -1)
        return m_nRTLMode;
    if (IsOwnLanguage())
        return m_nLanguage == 0x0401 ? 1 : 0;
    LANGID nUser = ::GetUserDefaultLangID();
    return std::find(std::begin(kRightToLeftLanguages), std::end(kRightToLeftLanguages), nUser) !=
                   std::end(kRightToLeftLanguages)
               ? 1
               : 0;
}

int CExtResourceManager::GetRTLMode() const
{
    return m_nRTLMode;
}

int CExtResourceManager::SetRTLMode(int nRTLMode)
{
    int nOld = m_nRTLMode;
    m_nRTLMode = nRTLMode;
    return nOld;
}

WORD CExtResourceManager::GetLanguage() const
{
    return m_nLanguage;
}

WORD CExtResourceManager::SetLanguage(WORD nLanguage)
{
    WORD nOld = m_nLanguage;
    m_nLanguage = nLanguage;
    return nOld;
}

WORD CExtResourceManager::GetDefaultLanguage() const
{
    return kFallbackLanguage;
}

int CExtResourceManager::GetLocaleInfo(LCTYPE nType, LPTSTR pBuffer, int nBufferSize)
{
    std::vector<WORD> languages;
    if (IsOwnLanguage())
        languages = {GetLanguage(), GetDefaultLanguage()};
    languages.insert(languages.end(), {kUserDefaultLanguage, kSystemDefaultLanguage, 0});
    for (WORD nLanguage : languages)
    {
        int n = ::GetLocaleInfoA(MAKELCID(nLanguage, SORT_DEFAULT), nType, pBuffer, nBufferSize);
        if (n != 0)
            return n;
    }
    return 0;
}

HINSTANCE CExtResourceManager::FindResourceHandle(LPCTSTR sResourceType, LPCTSTR sResourceName, WORD nLanguage,
                                                  WORD* pnLanguageOut, HRSRC* phResourceOut)
{
    ResetOut(pnLanguageOut, phResourceOut, nullptr);
    HINSTANCE hModule = AfxGetResourceHandle();
    if (hModule == nullptr || sResourceType == nullptr || sResourceName == nullptr)
        return nullptr;
    HRSRC hResource = IsOwnLanguage() ? ::FindResourceExA(hModule, sResourceType, sResourceName, nLanguage)
                                      : ::FindResourceA(hModule, sResourceName, sResourceType);
    if (hResource == nullptr)
        return nullptr;
    if (pnLanguageOut != nullptr && IsOwnLanguage())
        *pnLanguageOut = nLanguage;
    if (phResourceOut != nullptr)
        *phResourceOut = hResource;
    return hModule;
}

HINSTANCE CExtResourceManager::FindResourceHandleEx(LPCTSTR sResourceType, LPCTSTR sResourceName, WORD nLanguage,
                                                    WORD nFallbackLanguage, WORD* pnLanguageOut, HRSRC* phResourceOut)
{
    HINSTANCE hModule = FindResourceHandle(sResourceType, sResourceName, nLanguage, pnLanguageOut, phResourceOut);
    if (hModule == nullptr && IsOwnLanguage() && nFallbackLanguage != nLanguage)
        hModule = FindResourceHandle(sResourceType, sResourceName, nFallbackLanguage, pnLanguageOut, phResourceOut);
    return hModule;
}

HINSTANCE CExtResourceManager::FindResourceHandleAuto(LPCTSTR sResourceType, LPCTSTR sResourceName, WORD* pnLanguageOut,
                                                      HRSRC* phResourceOut)
{
    return FindResourceHandleEx(sResourceType, sResourceName, GetLanguage(), GetDefaultLanguage(), pnLanguageOut,
                                phResourceOut);
}

bool CExtResourceManager::LoadResourceBuffer(CExtResourceBuffer& buffer, LPCTSTR sResourceType, LPCTSTR sResourceName,
                                             WORD nLanguage, WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    ResetOut(pnLanguageOut, nullptr, phModuleOut);
    HINSTANCE hModule = AfxGetResourceHandle();
    WORD nSearched = IsOwnLanguage() ? nLanguage : kUserDefaultLanguage;
    if (!buffer.FindAndLoad(hModule, sResourceType, sResourceName, nSearched))
        return false;
    if (pnLanguageOut != nullptr && IsOwnLanguage())
        *pnLanguageOut = nLanguage;
    if (phModuleOut != nullptr)
        *phModuleOut = hModule;
    return true;
}

bool CExtResourceManager::LoadResourceBufferEx(CExtResourceBuffer& buffer, LPCTSTR sResourceType, LPCTSTR sResourceName,
                                               WORD nLanguage, WORD nFallbackLanguage, WORD* pnLanguageOut,
                                               HINSTANCE* phModuleOut)
{
    if (LoadResourceBuffer(buffer, sResourceType, sResourceName, nLanguage, pnLanguageOut, phModuleOut))
        return true;
    return IsOwnLanguage() && nFallbackLanguage != nLanguage &&
           LoadResourceBuffer(buffer, sResourceType, sResourceName, nFallbackLanguage, pnLanguageOut, phModuleOut);
}

bool CExtResourceManager::LoadResourceBufferAuto(CExtResourceBuffer& buffer, LPCTSTR sResourceType,
                                                 LPCTSTR sResourceName, WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    return LoadResourceBufferEx(buffer, sResourceType, sResourceName, GetLanguage(), GetDefaultLanguage(),
                                pnLanguageOut, phModuleOut);
}

bool CExtResourceManager::LoadStringEx(CString& sText, UINT nID, WORD nLanguage, WORD nFallbackLanguage,
                                       WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    sText.Empty();
    if (!IsOwnLanguage())
    {
        ResetOut(pnLanguageOut, nullptr, phModuleOut);
        if (!sText.LoadString(nID) || sText.IsEmpty())
            return false;
        if (phModuleOut != nullptr)
            *phModuleOut = AfxGetResourceHandle();
        return true;
    }
    // A string-table block holds 16 strings, each a length and that many
    // UTF-16 characters.
    CExtResourceBuffer block;
    if (!LoadResourceBufferEx(block, MAKEINTRESOURCEA(6), MAKEINTRESOURCEA((nID >> 4) + 1), nLanguage,
                              nFallbackLanguage, pnLanguageOut, phModuleOut))
        return false;
    const BYTE* p = block.GetBuffer();
    const BYTE* pEnd = p + block.GetSize();
    for (UINT nEntry = 0;; ++nEntry)
    {
        if (pEnd - p < 2)
            return false;
        WORD nLength = WORD(p[0] | p[1] << 8);
        p += 2;
        if ((size_t)(pEnd - p) < nLength * 2u)
            return false;
        if (nEntry == (nID & 15))
        {
            if (nLength == 0)
                return true;
            std::vector<wchar_t> wide(nLength);
            std::memcpy(wide.data(), p, nLength * 2u);
            int nBytes = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), nLength, nullptr, 0, nullptr, nullptr);
            if (nBytes > 0)
            {
                ::WideCharToMultiByte(CP_ACP, 0, wide.data(), nLength, sText.GetBuffer(nBytes), nBytes, nullptr,
                                      nullptr);
                sText.ReleaseBuffer(nBytes);
            }
            return true;
        }
        p += nLength * 2u;
    }
}

bool CExtResourceManager::LoadString(CString& sText, UINT nID, WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    return LoadStringEx(sText, nID, GetLanguage(), GetDefaultLanguage(), pnLanguageOut, phModuleOut);
}

bool CExtResourceManager::LoadMenuEx(CMenu& menu, UINT nID, WORD nLanguage, WORD nFallbackLanguage, WORD* pnLanguageOut,
                                     HINSTANCE* phModuleOut)
{
    return LoadMenuByName(menu, IdName(nID), nLanguage, nFallbackLanguage, pnLanguageOut, phModuleOut);
}

bool CExtResourceManager::LoadMenu(CMenu& menu, UINT nID, WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    return LoadMenuEx(menu, nID, GetLanguage(), GetDefaultLanguage(), pnLanguageOut, phModuleOut);
}

bool CExtResourceManager::LoadMenu(CMenu& menu, LPCTSTR sResourceName, WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    return LoadMenuByName(menu, sResourceName, GetLanguage(), GetDefaultLanguage(), pnLanguageOut, phModuleOut);
}

bool CExtResourceManager::LoadMenuByName(CMenu& menu, LPCTSTR sResourceName, WORD nLanguage, WORD nFallbackLanguage,
                                         WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    if (menu.GetSafeHmenu() != nullptr)
        menu.DestroyMenu();
    if (!IsOwnLanguage())
    {
        ResetOut(pnLanguageOut, nullptr, phModuleOut);
        HINSTANCE hModule = AfxGetResourceHandle();
        if (hModule == nullptr || sResourceName == nullptr || !menu.Attach(::LoadMenuA(hModule, sResourceName)))
            return false;
        if (phModuleOut != nullptr)
            *phModuleOut = hModule;
        return true;
    }
    CExtResourceBuffer buffer;
    if (!LoadResourceBufferEx(buffer, MAKEINTRESOURCEA(4), sResourceName, nLanguage, nFallbackLanguage, pnLanguageOut,
                              phModuleOut) ||
        buffer.IsEmpty())
        return false;
    return menu.Attach(::LoadMenuIndirectA(buffer.GetBuffer()));
}

HACCEL CExtResourceManager::LoadAcceleratorsEx(UINT nID, WORD nLanguage, WORD nFallbackLanguage, WORD* pnLanguageOut,
                                               HINSTANCE* phModuleOut)
{
    return LoadAcceleratorsByName(IdName(nID), nLanguage, nFallbackLanguage, pnLanguageOut, phModuleOut);
}

HACCEL CExtResourceManager::LoadAccelerators(LPCTSTR sResourceName, WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    return LoadAcceleratorsByName(sResourceName, GetLanguage(), GetDefaultLanguage(), pnLanguageOut, phModuleOut);
}

HACCEL CExtResourceManager::LoadAccelerators(UINT nID, WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    return LoadAcceleratorsEx(nID, GetLanguage(), GetDefaultLanguage(), pnLanguageOut, phModuleOut);
}

HACCEL CExtResourceManager::LoadAcceleratorsByName(LPCTSTR sResourceName, WORD nLanguage, WORD nFallbackLanguage,
                                                   WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    if (!IsOwnLanguage())
    {
        ResetOut(pnLanguageOut, nullptr, phModuleOut);
        HINSTANCE hModule = AfxGetResourceHandle();
        HACCEL hAccel =
            hModule != nullptr && sResourceName != nullptr ? ::LoadAcceleratorsA(hModule, sResourceName) : nullptr;
        if (hAccel != nullptr && phModuleOut != nullptr)
            *phModuleOut = hModule;
        return hAccel;
    }
    CExtResourceBuffer buffer;
    if (!LoadResourceBufferEx(buffer, MAKEINTRESOURCEA(9), sResourceName, nLanguage, nFallbackLanguage, pnLanguageOut,
                              phModuleOut))
        return nullptr;
    // Resource entries: flags (the low byte counts), key, command, padding.
    std::vector<ACCEL> table(buffer.GetSize() / 8);
    const BYTE* p = buffer.GetBuffer();
    for (ACCEL& accel : table)
    {
        accel.fVirt = p[0];
        accel.key = WORD(p[2] | p[3] << 8);
        accel.cmd = WORD(p[4] | p[5] << 8);
        p += 8;
    }
    return table.empty() ? nullptr : ::CreateAcceleratorTableA(table.data(), (int)table.size());
}

HBITMAP CExtResourceManager::LoadBitmapEx(UINT nID, WORD nLanguage, WORD nFallbackLanguage, WORD* pnLanguageOut,
                                          HINSTANCE* phModuleOut)
{
    return LoadBitmapByName(IdName(nID), nLanguage, nFallbackLanguage, pnLanguageOut, phModuleOut);
}

HBITMAP CExtResourceManager::LoadBitmap(LPCTSTR sResourceName, WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    return LoadBitmapByName(sResourceName, GetLanguage(), GetDefaultLanguage(), pnLanguageOut, phModuleOut);
}

HBITMAP CExtResourceManager::LoadBitmap(UINT nID, WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    return LoadBitmapEx(nID, GetLanguage(), GetDefaultLanguage(), pnLanguageOut, phModuleOut);
}

HBITMAP CExtResourceManager::LoadBitmapByName(LPCTSTR sResourceName, WORD nLanguage, WORD nFallbackLanguage,
                                              WORD* pnLanguageOut, HINSTANCE* phModuleOut)
{
    ResetOut(pnLanguageOut, nullptr, phModuleOut);
    if (!IsOwnLanguage())
    {
        HINSTANCE hModule = AfxGetResourceHandle();
        HBITMAP hBitmap =
            hModule != nullptr && sResourceName != nullptr ? ::LoadBitmapA(hModule, sResourceName) : nullptr;
        if (hBitmap != nullptr && phModuleOut != nullptr)
            *phModuleOut = hModule;
        return hBitmap;
    }
    HRSRC hResource = nullptr;
    HINSTANCE hModule =
        FindResourceHandleEx(RT_BITMAP, sResourceName, nLanguage, nFallbackLanguage, pnLanguageOut, &hResource);
    if (hModule == nullptr)
        return nullptr;
    if (phModuleOut != nullptr)
        *phModuleOut = hModule;
    return CExtPaintManager::LoadBitmapFromResourceData(hModule, hResource);
}

// ---- CExtResourceManagerHolder ---------------------------------------------

CExtResourceManagerHolder::~CExtResourceManagerHolder()
{
    delete m_pManager;
    m_pManager = nullptr;
}

CExtResourceManager* CExtResourceManagerHolder::GetOrCreate()
{
    if (m_pManager == nullptr)
        m_pManager = new CExtResourceManager();
    return m_pManager;
}
