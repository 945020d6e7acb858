// CExtResourceManager: the one way the toolkit loads its resources (strings,
// menus, tool-bar resources and bitmaps, dialog templates and their
// initialisation data, accelerators), and its answer to whether the user
// interface runs right to left.
//
// Every lookup uses the framework's current resource module. With the
// own-language mode off (the default) each lookup is the platform's plain
// one; with it on, a resource is searched in the manager's language and then
// in the fallback language (GetDefaultLanguage). Out-pointers may be null;
// they are set to the fallback language and null first, so they are valid
// after a failure too. Failures are reported only by the result.
#pragma once

#include "framework/win/AfxWin.h"

class CMenu;
class CWnd;

// An owned copy of one resource's bytes.
class CExtResourceBuffer
{
public:
    CExtResourceBuffer() = default;
    ~CExtResourceBuffer();
    CExtResourceBuffer(const CExtResourceBuffer&) = delete;
    CExtResourceBuffer& operator=(const CExtResourceBuffer&) = delete;

    bool IsEmpty() const { return m_pData == nullptr; }
    const BYTE* GetBuffer() const { return m_pData; }
    DWORD GetSize() const { return m_nSize; }

    void Free();
    // A new block of nSize bytes (0 fails), zero-filled when asked.
    bool Alloc(DWORD nSize, bool bZeroMemory = false);
    // A copy of the located resource; one of 0 bytes leaves the buffer empty
    // and succeeds.
    bool Load(HINSTANCE hModule, HRSRC hResource);
    // The resource with exactly that language in that module.
    bool FindAndLoad(HINSTANCE hModule, LPCTSTR sResourceType, LPCTSTR sResourceName, WORD nLanguage);

private:
    BYTE* m_pData = nullptr;
    DWORD m_nSize = 0;
};

class CExtResourceManager
{
public:
    static constexpr WORD kFallbackLanguage = 0x0409;

    explicit CExtResourceManager(bool bOwnLanguage = false, WORD nLanguage = kFallbackLanguage);
    virtual ~CExtResourceManager();
    CExtResourceManager(const CExtResourceManager&) = delete;
    CExtResourceManager& operator=(const CExtResourceManager&) = delete;

    // Asked by the dialog bases for a replacement template before they adjust
    // the template themselves; null: no replacement.
    virtual HGLOBAL HandleDialogRequest(LPVOID pTemplate, CWnd* pDialog, bool bWizard, LPARAM lParam);

    virtual bool IsOwnLanguage() const;
    // Returns the previous flags.
    virtual BYTE SetOwnLanguage(bool bOwnLanguage);
    // -1 mode: in own-language mode only Arabic (0x0401) runs right to left,
    // else the user's default language decides. Any other mode is the answer.
    virtual int IsRTL() const;
    virtual int GetRTLMode() const;
    virtual int SetRTLMode(int nRTLMode);
    virtual WORD GetLanguage() const;
    virtual WORD SetLanguage(WORD nLanguage);
    virtual WORD GetDefaultLanguage() const;
    // The first locale of the manager's language (own-language mode), the
    // fallback language, the user's, the system's and the neutral one that
    // answers; 0 when none does.
    virtual int GetLocaleInfo(LCTYPE nType, LPTSTR pBuffer, int nBufferSize);

    virtual HINSTANCE FindResourceHandle(LPCTSTR sResourceType, LPCTSTR sResourceName, WORD nLanguage,
                                         WORD* pnLanguageOut = nullptr, HRSRC* phResourceOut = nullptr);
    virtual HINSTANCE FindResourceHandleEx(LPCTSTR sResourceType, LPCTSTR sResourceName, WORD nLanguage,
                                           WORD nFallbackLanguage, WORD* pnLanguageOut = nullptr,
                                           HRSRC* phResourceOut = nullptr);
    virtual HINSTANCE FindResourceHandleAuto(LPCTSTR sResourceType, LPCTSTR sResourceName,
                                             WORD* pnLanguageOut = nullptr, HRSRC* phResourceOut = nullptr);
    virtual bool LoadResourceBuffer(CExtResourceBuffer& buffer, LPCTSTR sResourceType, LPCTSTR sResourceName,
                                    WORD nLanguage, WORD* pnLanguageOut = nullptr, HINSTANCE* phModuleOut = nullptr);
    virtual bool LoadResourceBufferEx(CExtResourceBuffer& buffer, LPCTSTR sResourceType, LPCTSTR sResourceName,
                                      WORD nLanguage, WORD nFallbackLanguage, WORD* pnLanguageOut = nullptr,
                                      HINSTANCE* phModuleOut = nullptr);
    virtual bool LoadResourceBufferAuto(CExtResourceBuffer& buffer, LPCTSTR sResourceType, LPCTSTR sResourceName,
                                        WORD* pnLanguageOut = nullptr, HINSTANCE* phModuleOut = nullptr);
    // True for a string that exists; in own-language mode an empty string
    // entry counts as existing, in the plain mode only a non-empty one.
    virtual bool LoadStringEx(CString& sText, UINT nID, WORD nLanguage, WORD nFallbackLanguage,
                              WORD* pnLanguageOut = nullptr, HINSTANCE* phModuleOut = nullptr);
    virtual bool LoadString(CString& sText, UINT nID, WORD* pnLanguageOut = nullptr, HINSTANCE* phModuleOut = nullptr);
    // A menu the object holds is destroyed first, also when loading fails.
    virtual bool LoadMenuEx(CMenu& menu, UINT nID, WORD nLanguage, WORD nFallbackLanguage,
                            WORD* pnLanguageOut = nullptr, HINSTANCE* phModuleOut = nullptr);
    virtual bool LoadMenu(CMenu& menu, UINT nID, WORD* pnLanguageOut = nullptr, HINSTANCE* phModuleOut = nullptr);
    virtual bool LoadMenu(CMenu& menu, LPCTSTR sResourceName, WORD* pnLanguageOut = nullptr,
                          HINSTANCE* phModuleOut = nullptr);
    // The caller owns the table.
    virtual HACCEL LoadAcceleratorsEx(UINT nID, WORD nLanguage, WORD nFallbackLanguage, WORD* pnLanguageOut = nullptr,
                                      HINSTANCE* phModuleOut = nullptr);
    virtual HACCEL LoadAccelerators(LPCTSTR sResourceName, WORD* pnLanguageOut = nullptr,
                                    HINSTANCE* phModuleOut = nullptr);
    virtual HACCEL LoadAccelerators(UINT nID, WORD* pnLanguageOut = nullptr, HINSTANCE* phModuleOut = nullptr);
    // The caller owns the bitmap.
    virtual HBITMAP LoadBitmapEx(UINT nID, WORD nLanguage, WORD nFallbackLanguage, WORD* pnLanguageOut = nullptr,
                                 HINSTANCE* phModuleOut = nullptr);
    virtual HBITMAP LoadBitmap(LPCTSTR sResourceName, WORD* pnLanguageOut = nullptr, HINSTANCE* phModuleOut = nullptr);
    virtual HBITMAP LoadBitmap(UINT nID, WORD* pnLanguageOut = nullptr, HINSTANCE* phModuleOut = nullptr);

protected:
    // The named forms of the menu and accelerator loaders; a resource name
    // may be a 16-bit id.
    bool LoadMenuByName(CMenu& menu, LPCTSTR sResourceName, WORD nLanguage, WORD nFallbackLanguage, WORD* pnLanguageOut,
                        HINSTANCE* phModuleOut);
    HACCEL LoadAcceleratorsByName(LPCTSTR sResourceName, WORD nLanguage, WORD nFallbackLanguage, WORD* pnLanguageOut,
                                  HINSTANCE* phModuleOut);
    HBITMAP LoadBitmapByName(LPCTSTR sResourceName, WORD nLanguage, WORD nFallbackLanguage, WORD* pnLanguageOut,
                             HINSTANCE* phModuleOut);

    enum : BYTE
    {
        kOwnLanguage = 0x01,
    };
    BYTE m_nFlags;
    WORD m_nLanguage;
    int m_nRTLMode = -1;
};

// The process-wide manager; made on first use, deleted at exit.
class CExtResourceManagerHolder
{
public:
    CExtResourceManagerHolder() = default;
    ~CExtResourceManagerHolder();
    CExtResourceManagerHolder(const CExtResourceManagerHolder&) = delete;
    CExtResourceManagerHolder& operator=(const CExtResourceManagerHolder&) = delete;

    CExtResourceManager* GetOrCreate();
    CExtResourceManager* operator->() { return GetOrCreate(); }

private:
    CExtResourceManager* m_pManager = nullptr;
};

extern CExtResourceManagerHolder g_ResourceManager;
