// Property sheets and their pages over the system's property sheet.
//
// The system creates the page windows when a page is first shown; each
// page object is attached to its window by the creation hook, armed from
// the page's creation callback, so the page sees WM_INITDIALOG as its own.
// Modal sheets run the framework's loop like any dialog.
#pragma once

#include "framework/core/CArray.h"
#include "framework/win/Dialog.h"

#include <prsht.h>

#include <vector>

// Wizard buttons as commands.
enum : UINT
{
    ID_WIZBACK = 0x3023,
    ID_WIZNEXT = 0x3024,
    ID_WIZFINISH = 0x3025,
};

class CPropertySheet;

class CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);
    ~CPropertyPage() override = default;

    PROPSHEETPAGEA m_psp;

    // Marks the sheet's Apply button.
    void SetModified(BOOL bChanged = TRUE);
    CPropertySheet* GetSheet() const;

    virtual BOOL OnSetActive();
    // FALSE keeps the page (its data did not validate).
    virtual BOOL OnKillActive();
    virtual BOOL OnApply();
    virtual void OnReset() {}
    virtual BOOL OnQueryCancel() { return TRUE; }
    virtual LRESULT OnWizardBack() { return 0; }
    virtual LRESULT OnWizardNext() { return 0; }
    virtual BOOL OnWizardFinish() { return TRUE; }

    // The sheet's OK and Cancel reach pages as notifications, never as
    // commands ending a dialog.
    void OnOK() override;
    void OnCancel() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    CString m_strCaption;
    BOOL m_bFirstSetActive = TRUE;

private:
    void CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption);
    static UINT CALLBACK PageCallback(HWND hWnd, UINT message, LPPROPSHEETPAGEA ppsp);
};

class CPropertySheet : public CWnd
{
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    PROPSHEETHEADERA m_psh;

    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const { return static_cast<int>(m_pages.GetSize()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }
    CWnd* GetTabControl() const;
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    void SetWizardButtons(DWORD dwFlags);
    void PressButton(int nButton) { ::SendMessageA(m_hWnd, PSM_PRESSBUTTON, nButton, 0); }
    void EndDialog(int nEndID);

    // Fills m_psh with copies of the pages' structures, as the system wants
    // them; derived sheets may prepare the copies further.
    virtual void BuildPropPageArray();
    // Modal, through the framework's loop: IDOK, IDCANCEL or ID_WIZFINISH.
    virtual INT_PTR DoModal();
    // Modeless; with a WS_CHILD style the sheet is embedded in pParentWnd.
    virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = (DWORD)-1, DWORD dwExStyle = 0);

    virtual BOOL OnInitDialog() { return TRUE; }
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL ContinueModal() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    afx_msg LRESULT HandleInitDialog(WPARAM, LPARAM);
    afx_msg void OnClose();

protected:
    CPtrArray m_pages;
    std::vector<PROPSHEETPAGEA> m_pageArray;
    CString m_strCaption;
    CWnd* m_pParentWnd = nullptr;
    BOOL m_bModeless = FALSE;
    int m_nButtonResult = 0; // the button that ended the sheet

    DECLARE_MESSAGE_MAP()

private:
    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    static int CALLBACK SheetCallback(HWND hWnd, UINT message, LPARAM lParam);
};
