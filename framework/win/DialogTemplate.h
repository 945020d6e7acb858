// CDialogTemplate: a dialog template copied into memory, where its font can
// be read and replaced before a dialog is made from it.
//
// Both layouts are handled: DLGTEMPLATE (style first) and DLGTEMPLATEEX
// (version 1, signature 0xFFFF). Every length and offset is checked against
// the template's size; a damaged template is refused, never read past.
#pragma once

#include "framework/core/CString.h"

#include <windows.h>

#include <vector>

class CDialogTemplate
{
public:
    CDialogTemplate() = default;
    explicit CDialogTemplate(const DLGTEMPLATE* pTemplate, UINT cbTemplate);
    ~CDialogTemplate() = default;
    CDialogTemplate(const CDialogTemplate&) = delete;
    CDialogTemplate& operator=(const CDialogTemplate&) = delete;

    // From the program's dialog resource.
    BOOL Load(LPCTSTR lpszResource);
    BOOL SetTemplate(const DLGTEMPLATE* pTemplate, UINT cbTemplate);
    // The template as a block the caller owns (GlobalFree); this object
    // lets go of it.
    HGLOBAL Detach();

    BOOL HasFont() const;
    BOOL SetFont(LPCTSTR lpFaceName, WORD nFontSize);
    BOOL GetFont(CString& strFaceName, WORD& nFontSize) const;
    // The system's dialog font (the GUI font), at its size unless given.
    BOOL SetSystemFont(WORD nFontSize = 0);

    static BOOL GetFont(const DLGTEMPLATE* pTemplate, UINT cbTemplate, CString& strFaceName, WORD& nFontSize);
    // The size of a template in memory, found by walking its items; 0 when
    // it does not fit in cbMax bytes.
    static UINT GetTemplateSize(const DLGTEMPLATE* pTemplate, UINT cbMax);

    const DLGTEMPLATE* GetTemplate() const
    {
        return m_bytes.empty() ? nullptr : reinterpret_cast<const DLGTEMPLATE*>(m_bytes.data());
    }

    DWORD m_dwTemplateSize = 0;
    BOOL m_bSystemFont = FALSE;

private:
    std::vector<BYTE> m_bytes;
};
