// The dialog bases of the toolkit: a dialog, a property page and a property
// sheet that load their templates and dialog-init data through the resource
// manager, give templates the system's property-sheet font, may mirror a
// dialog for right-to-left layouts, and let the resource manager and the
// current theme replace a template before it is used.
//
// Template copies are HGLOBAL blocks in movable memory that their holder
// locks while the dialog is made and frees afterwards.
#pragma once

#include "framework/win/Dialog.h"
#include "framework/win/PropertySheet.h"

class CExtResDlg : public CDialog
{
    DECLARE_DYNCREATE(CExtResDlg)
public:
    CExtResDlg();
    explicit CExtResDlg(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CExtResDlg() override;

    // Runs the template's dialog-init data when the dialog opens.
    INT_PTR DoModal() override;
    BOOL OnInitDialog() override;

    // A copy of the template to make the dialog from (the caller frees
    // it); null to use the template as it is.
    virtual HGLOBAL PrepareTemplate(const DLGTEMPLATE* pTemplate, UINT cbTemplate);
    virtual INT_PTR RunModalDialog();
    // Whether the dialog is mirrored when the resource manager runs right to
    // left.
    virtual bool IsRTLAllowed();

    // The template whose dialog-init data OnInitDialog runs; null: none.
    LPCTSTR m_lpszDialogInitName = nullptr;
};

class CExtResPP : public CPropertyPage
{
    DECLARE_DYNCREATE(CExtResPP)
public:
    CExtResPP();
    // Only the low 16 bits of nIDTemplate are used.
    explicit CExtResPP(UINT nIDTemplate, UINT nIDCaption = 0);
    ~CExtResPP() override;

    void CommonConstruct(UINT nIDTemplate, UINT nIDCaption);
    // Turns the sheet's copy of the page structure into one with an
    // in-memory template prepared by PreparePageTemplate.
    void PreProcessPageTemplate(PROPSHEETPAGEA& psp, bool bWizard);

    BOOL OnInitDialog() override;
    // A copy of the page's template (the page keeps it); null to use the
    // template as it is.
    virtual HGLOBAL PreparePageTemplate(const DLGTEMPLATE* pTemplate, UINT cbTemplate, bool bWizard);

    // Not 0: OnInitDialog runs the template's dialog-init data. Derived
    // pages set it; pages made from an in-memory template have none.
    DWORD m_nDialogInitFlag = 0;

protected:
    HGLOBAL m_hPageTemplateCopy = nullptr;

private:
    void FreePageTemplateCopy();
};

class CExtResPS : public CPropertySheet
{
    DECLARE_DYNCREATE(CExtResPS)
public:
    CExtResPS();
    explicit CExtResPS(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CExtResPS() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Pages of the toolkit prepare their own copies; other pages keep the
    // framework's plain copy.
    void BuildPropPageArray() override;
    BOOL OnInitDialog() override;
    // Told when the sheet's window exists and again when it is initialised.
    virtual void OnSheetLayoutReady();
};

// A copy of the template, with the property-sheet face and size when the
// template asks for the standard dialog face at the property-sheet size.
HGLOBAL AdjustDialogTemplateFont(const DLGTEMPLATE* pTemplate, UINT cbTemplate);
// A copy of the template with the property-sheet font; null when that font
// is unknown or the template has it already.
HGLOBAL ChangePageTemplateFont(const DLGTEMPLATE* pTemplate, UINT cbTemplate, bool bWizard);
// The font of the system's property sheets, read once from the common
// controls library and cached; false while it cannot be read.
bool GetPropertySheetFont(CString& sFaceName, WORD& nFontSize, bool bWizard);
// Fills the window's controls from dialog-init data of nSize bytes; with
// null data only WM_INITIALUPDATE goes to the window's descendants. False
// when a control refused an item.
bool ExecuteDialogInitData(CWnd* pWnd, const BYTE* pData, DWORD nSize);
// The dialog-init resource of that template name, through the resource
// manager; a template without one only gets WM_INITIALUPDATE sent.
bool ExecuteDialogInitResource(CWnd* pWnd, LPCTSTR lpszTemplateName);
// Sets WS_EX_LAYOUTRTL in a template of either layout.
void MirrorDialogTemplate(DLGTEMPLATE* pTemplate, UINT cbTemplate);
UINT CALLBACK PropPageCreateCallback(HWND hWnd, UINT message, LPPROPSHEETPAGEA ppsp);
