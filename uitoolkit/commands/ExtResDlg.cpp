#include "uitoolkit/commands/ExtResDlg.h"

#include "framework/core/CException.h"
#include "framework/win/DialogTemplate.h"
#include "framework/win/WinThread.h"
#include "uitoolkit/commands/ExtResourceManager.h"
#include "uitoolkit/core/ExtDialogInitData.h"
#include "uitoolkit/paint/ExtPaintManager.h"

#include <commctrl.h>

#include <cstring>

IMPLEMENT_DYNCREATE(CExtResDlg, CDialog)
IMPLEMENT_DYNCREATE(CExtResPP, CPropertyPage)
IMPLEMENT_DYNCREATE(CExtResPS, CPropertySheet)

namespace
{

// Templates handed over in memory come from the program itself; their walk
// is still bounded.
const UINT kMaxInMemoryTemplate = 0x10000;
// The common controls' own property-sheet and wizard templates.
const WORD kPropSheetTemplateId = 1006;
const WORD kWizardTemplateId = 1020;
// Sheet header flags that make a wizard.
const DWORD kWizardSheetFlags = 0x2020;
const LPCTSTR kDialogInitType = MAKEINTRESOURCEA(240);
// The messages of dialog-init records, in their resource form.
const WORD kInitComboBoxExItem = 0x1234;
const WORD kInitListBoxString = 0x0401;
const WORD kInitComboBoxString = 0x0403;

struct PropertySheetFont
{
    CString sFaceName;
    WORD nFontSize = 0; // 0: not read yet
};

PropertySheetFont& PropertySheetFontCache()
{
    static PropertySheetFont g_font;
    return g_font;
}

// A dialog template resource found through the resource manager.
const DLGTEMPLATE* LoadTemplateResource(LPCTSTR lpszTemplateName, UINT& cbTemplate)
{
    HRSRC hResource = nullptr;
    HINSTANCE hModule = g_ResourceManager->FindResourceHandleAuto(RT_DIALOG, lpszTemplateName, nullptr, &hResource);
    if (hModule == nullptr || hResource == nullptr)
        return nullptr;
    HGLOBAL hTemplate = ::LoadResource(hModule, hResource);
    if (hTemplate == nullptr)
        return nullptr;
    cbTemplate = ::SizeofResource(hModule, hResource);
    return static_cast<const DLGTEMPLATE*>(::LockResource(hTemplate));
}

WORD ReadWord(const BYTE* p)
{
    WORD w = 0;
    std::memcpy(&w, p, sizeof(w));
    return w;
}

} // namespace

// ---- free operations ----

bool GetPropertySheetFont(CString& sFaceName, WORD& nFontSize, bool bWizard)
{
    PropertySheetFont& cache = PropertySheetFontCache();
    if (cache.nFontSize == 0)
    {
        HMODULE hComCtl = ::GetModuleHandleA("COMCTL32.DLL");
        if (hComCtl == nullptr)
            return false;
        CExtResourceBuffer buffer;
        const WORD nTemplateId = bWizard ? kWizardTemplateId : kPropSheetTemplateId;
        if (!buffer.FindAndLoad(hComCtl, RT_DIALOG, MAKEINTRESOURCEA(nTemplateId),
                                CExtResourceManager::kFallbackLanguage))
            return false;
        CString sFace;
        WORD nSize = 0;
        if (!CDialogTemplate::GetFont(reinterpret_cast<const DLGTEMPLATE*>(buffer.GetBuffer()), buffer.GetSize(), sFace,
                                      nSize) ||
            nSize == 0)
            return false;
        cache.sFaceName = sFace;
        cache.nFontSize = nSize;
    }
    sFaceName = cache.sFaceName;
    nFontSize = cache.nFontSize;
    return true;
}

HGLOBAL AdjustDialogTemplateFont(const DLGTEMPLATE* pTemplate, UINT cbTemplate)
{
    CDialogTemplate copy(pTemplate, cbTemplate);
    if (copy.GetTemplate() == nullptr)
        return nullptr;
    CString sSheetFace, sFace;
    WORD nSheetSize = 0, nSize = 0;
    if (GetPropertySheetFont(sSheetFace, nSheetSize, false) &&
        CDialogTemplate::GetFont(pTemplate, cbTemplate, sFace, nSize) && (sFace != sSheetFace || nSize != nSheetSize) &&
        (sFace == "MS Sans Serif" || sFace == "MS Shell Dlg") && nSize == nSheetSize)
        copy.SetFont(sSheetFace, nSheetSize);
    return copy.Detach();
}

HGLOBAL ChangePageTemplateFont(const DLGTEMPLATE* pTemplate, UINT cbTemplate, bool bWizard)
{
    CString sSheetFace, sFace;
    WORD nSheetSize = 0, nSize = 0;
    if (!GetPropertySheetFont(sSheetFace, nSheetSize, bWizard))
        return nullptr;
    if (CDialogTemplate::GetFont(pTemplate, cbTemplate, sFace, nSize) && sFace == sSheetFace && nSize == nSheetSize)
        return nullptr;
    CDialogTemplate copy(pTemplate, cbTemplate);
    if (copy.GetTemplate() == nullptr || !copy.SetFont(sSheetFace, nSheetSize))
        return nullptr;
    return copy.Detach();
}

bool ExecuteDialogInitData(CWnd* pWnd, const BYTE* pData, DWORD nSize)
{
    if (pData != nullptr)
    {
        for (const ExtDialogInitRecord& record : ParseDialogInitData(pData, nSize))
        {
            HWND hCtrl = ::GetDlgItem(pWnd->m_hWnd, record.nControlId);
            LRESULT lResult = 0;
            switch (record.nMessage)
            {
            case kInitComboBoxExItem:
            {
                COMBOBOXEXITEMA item = {};
                item.mask = CBEIF_TEXT;
                item.iItem = -1;
                item.pszText = const_cast<LPSTR>(record.sText.c_str());
                lResult = ::SendMessageA(hCtrl, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
                break;
            }
            case kInitListBoxString:
                lResult = ::SendMessageA(hCtrl, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(record.sText.c_str()));
                break;
            case kInitComboBoxString:
                lResult = ::SendMessageA(hCtrl, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(record.sText.c_str()));
                break;
            default: continue;
            }
            if (lResult == -1)
                return false;
        }
    }
    pWnd->SendMessageToDescendants(WM_INITIALUPDATE);
    return true;
}

bool ExecuteDialogInitResource(CWnd* pWnd, LPCTSTR lpszTemplateName)
{
    HRSRC hResource = nullptr;
    HINSTANCE hModule =
        lpszTemplateName != nullptr
            ? g_ResourceManager->FindResourceHandleAuto(kDialogInitType, lpszTemplateName, nullptr, &hResource)
            : nullptr;
    if (hModule == nullptr || hResource == nullptr)
        return ExecuteDialogInitData(pWnd, nullptr, 0);
    HGLOBAL hData = ::LoadResource(hModule, hResource);
    const BYTE* pData = hData != nullptr ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
    if (pData == nullptr)
        return false;
    return ExecuteDialogInitData(pWnd, pData, ::SizeofResource(hModule, hResource));
}

void MirrorDialogTemplate(DLGTEMPLATE* pTemplate, UINT cbTemplate)
{
    // An extended template (version 1, signature 0xFFFF) keeps its extended
    // style at offset 8, after the help id; a classic one at offset 4.
    BYTE* p = reinterpret_cast<BYTE*>(pTemplate);
    const bool bExtended = cbTemplate >= 12 && ReadWord(p) == 1 && ReadWord(p + 2) == 0xFFFF;
    const size_t nOffset = bExtended ? 8 : 4;
    if (cbTemplate < nOffset + sizeof(DWORD))
        return;
    DWORD dwExStyle = 0;
    std::memcpy(&dwExStyle, p + nOffset, sizeof(dwExStyle));
    dwExStyle |= WS_EX_LAYOUTRTL;
    std::memcpy(p + nOffset, &dwExStyle, sizeof(dwExStyle));
}

UINT CALLBACK PropPageCreateCallback(HWND, UINT message, LPPROPSHEETPAGEA ppsp)
{
    switch (message)
    {
    case PSPCB_CREATE:
    {
        // the system is about to make the page's window: it is the page's
        CWnd* pPage = reinterpret_cast<CWnd*>(ppsp->lParam);
        try
        {
            if (pPage != nullptr && pPage->m_hWnd == nullptr)
                AfxHookWindowCreate(pPage);
        }
        catch (CException* e)
        {
            e->Delete();
        }
        return 1;
    }
    case PSPCB_RELEASE: AfxUnhookWindowCreate(); return 0;
    default: return 0;
    }
}

// ---- CExtResDlg ----

CExtResDlg::CExtResDlg() = default;

CExtResDlg::CExtResDlg(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd)
{
}

CExtResDlg::~CExtResDlg() = default;

INT_PTR CExtResDlg::DoModal()
{
    m_lpszDialogInitName = m_lpszTemplateName;
    return RunModalDialog();
}

BOOL CExtResDlg::OnInitDialog()
{
    if (m_lpszDialogInitName != nullptr)
        ExecuteDialogInitResource(this, m_lpszDialogInitName);
    return CDialog::OnInitDialog();
}

HGLOBAL CExtResDlg::PrepareTemplate(const DLGTEMPLATE* pTemplate, UINT cbTemplate)
{
    LPVOID pSource = const_cast<DLGTEMPLATE*>(pTemplate);
    HGLOBAL hCopy = g_ResourceManager->HandleDialogRequest(pSource, this, false, 0);
    if (hCopy == nullptr && g_PaintManager.GetPM() != nullptr)
        hCopy = static_cast<HGLOBAL>(g_PaintManager->HandleDialogRequest(pSource, this, false, 0));
    if (hCopy == nullptr)
        hCopy = AdjustDialogTemplateFont(pTemplate, cbTemplate);
    return hCopy;
}

INT_PTR CExtResDlg::RunModalDialog()
{
    // The template's module is the framework's current resource module,
    // the one the framework's modal run makes the dialog with.
    const DLGTEMPLATE* pSource = nullptr;
    UINT cbSource = 0;
    if (m_lpszTemplateName != nullptr)
        pSource = LoadTemplateResource(m_lpszTemplateName, cbSource);
    else if (m_lpDialogTemplate != nullptr)
    {
        pSource = m_lpDialogTemplate;
        cbSource = CDialogTemplate::GetTemplateSize(pSource, kMaxInMemoryTemplate);
    }
    if (pSource == nullptr)
        return -1;

    HGLOBAL hCopy = PrepareTemplate(pSource, cbSource);
    const bool bMirror = IsRTLAllowed() && (g_ResourceManager->IsRTL() & 1) != 0;
    if (hCopy == nullptr && bMirror)
    {
        // mirrored in a copy, never in the resource itself
        CDialogTemplate copy(pSource, cbSource);
        hCopy = copy.Detach();
    }
    DLGTEMPLATE* pCopy = hCopy != nullptr ? static_cast<DLGTEMPLATE*>(::GlobalLock(hCopy)) : nullptr;
    if (pCopy != nullptr && bMirror)
        MirrorDialogTemplate(pCopy, static_cast<UINT>(::GlobalSize(hCopy)));

    LPCDLGTEMPLATEA lpSaved = m_lpDialogTemplate;
    m_lpDialogTemplate = pCopy != nullptr ? pCopy : pSource;
    const INT_PTR nResult = CDialog::DoModal();
    m_lpDialogTemplate = lpSaved;
    if (hCopy != nullptr)
    {
        ::GlobalUnlock(hCopy);
        ::GlobalFree(hCopy);
    }
    return nResult;
}

bool CExtResDlg::IsRTLAllowed()
{
    return false;
}

// ---- CExtResPP ----

CExtResPP::CExtResPP() : CPropertyPage(0u)
{
    CommonConstruct(0, 0);
}

CExtResPP::CExtResPP(UINT nIDTemplate, UINT nIDCaption) : CPropertyPage(nIDTemplate & 0xFFFF)
{
    CommonConstruct(nIDTemplate, nIDCaption);
}

CExtResPP::~CExtResPP()
{
    FreePageTemplateCopy();
}

void CExtResPP::FreePageTemplateCopy()
{
    if (m_hPageTemplateCopy == nullptr)
        return;
    ::GlobalUnlock(m_hPageTemplateCopy);
    ::GlobalFree(m_hPageTemplateCopy);
    m_hPageTemplateCopy = nullptr;
}

void CExtResPP::CommonConstruct(UINT nIDTemplate, UINT nIDCaption)
{
    const UINT nId = nIDTemplate & 0xFFFF;
    LPCTSTR lpszTemplate = MAKEINTRESOURCEA(nId);
    std::memset(&m_psp, 0, sizeof(m_psp));
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_USECALLBACK;
    if (nId != 0)
        m_psp.hInstance = g_ResourceManager->FindResourceHandleAuto(RT_DIALOG, lpszTemplate);
    m_psp.pszTemplate = lpszTemplate;
    m_psp.pfnDlgProc = &AfxDlgProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    m_psp.pfnCallback = &PropPageCreateCallback;
    if (nIDCaption != 0 && g_ResourceManager->LoadString(m_strCaption, nIDCaption))
    {
        m_psp.pszTitle = m_strCaption;
        m_psp.dwFlags |= PSP_USETITLE;
    }
    m_nIDHelp = nId;
    m_lpszTemplateName = lpszTemplate;
    m_bFirstSetActive = TRUE;
    m_nDialogInitFlag = 0;
}

void CExtResPP::PreProcessPageTemplate(PROPSHEETPAGEA& psp, bool bWizard)
{
    const DLGTEMPLATE* pTemplate = nullptr;
    UINT cbTemplate = 0;
    if ((psp.dwFlags & PSP_DLGINDIRECT) != 0)
    {
        pTemplate = psp.pResource;
        cbTemplate = CDialogTemplate::GetTemplateSize(pTemplate, kMaxInMemoryTemplate);
        m_nDialogInitFlag = 0;
    }
    else
        pTemplate = LoadTemplateResource(psp.pszTemplate, cbTemplate);
    if (pTemplate == nullptr)
        return; // the system reports the page it cannot make
    HGLOBAL hCopy = PreparePageTemplate(pTemplate, cbTemplate, bWizard);
    FreePageTemplateCopy();
    if (hCopy != nullptr)
    {
        m_hPageTemplateCopy = hCopy;
        pTemplate = static_cast<const DLGTEMPLATE*>(::GlobalLock(hCopy));
    }
    psp.pResource = pTemplate;
    psp.dwFlags |= PSP_DLGINDIRECT;
}

BOOL CExtResPP::OnInitDialog()
{
    if (m_nDialogInitFlag != 0)
        ExecuteDialogInitResource(this, m_lpszTemplateName);
    return CPropertyPage::OnInitDialog();
}

HGLOBAL CExtResPP::PreparePageTemplate(const DLGTEMPLATE* pTemplate, UINT cbTemplate, bool bWizard)
{
    LPVOID pSource = const_cast<DLGTEMPLATE*>(pTemplate);
    HGLOBAL hCopy = g_ResourceManager->HandleDialogRequest(pSource, this, bWizard, 0);
    if (hCopy == nullptr && g_PaintManager.GetPM() != nullptr)
        hCopy = static_cast<HGLOBAL>(g_PaintManager->HandleDialogRequest(pSource, this, bWizard, 0));
    if (hCopy == nullptr)
        hCopy = ChangePageTemplateFont(pTemplate, cbTemplate, bWizard);
    return hCopy;
}

// ---- CExtResPS ----

CExtResPS::CExtResPS() = default;

CExtResPS::CExtResPS(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage)
{
}

CExtResPS::~CExtResPS() = default;

LRESULT CExtResPS::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT lResult = CPropertySheet::WindowProc(message, wParam, lParam);
    if (message == WM_CREATE)
        OnSheetLayoutReady();
    return lResult;
}

void CExtResPS::BuildPropPageArray()
{
    CPropertySheet::BuildPropPageArray();
    const bool bWizard = (m_psh.dwFlags & kWizardSheetFlags) != 0;
    for (int i = 0; i < GetPageCount(); ++i)
    {
        CPropertyPage* pPage = GetPage(i);
        if (pPage->IsKindOf(RUNTIME_CLASS(CExtResPP)))
            static_cast<CExtResPP*>(pPage)->PreProcessPageTemplate(m_pageArray[i], bWizard);
    }
}

BOOL CExtResPS::OnInitDialog()
{
    const BOOL bResult = CPropertySheet::OnInitDialog();
    OnSheetLayoutReady();
    return bResult;
}

void CExtResPS::OnSheetLayoutReady()
{
}
