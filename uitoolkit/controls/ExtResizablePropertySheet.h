// The toolkit's resizable property page and sheet. The sheet turns itself
// resizable once it exists: it gains a sizing border, anchors its tab
// control, separators and standard buttons (themed as toolkit buttons),
// keeps every page filling the tab area, limits its size to the monitor's
// work area and switches pages with Ctrl+Tab without wrapping around.
#pragma once

#include "uitoolkit/commands/ExtResDlg.h"
#include "uitoolkit/controls/ExtButton.h"
#include "uitoolkit/controls/ExtResizableWnd.h"

class CExtResizablePropertyPage : public CExtWA<CExtWS<CExtResPP, 301>>
{
    DECLARE_DYNCREATE(CExtResizablePropertyPage)
public:
    CExtResizablePropertyPage() = default;
    explicit CExtResizablePropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The bars the page hosts see its keys first.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // A page inside another window is never ended by its buttons.
    void OnOK() override;
    void OnCancel() override;
    DECLARE_MESSAGE_MAP()
};

class CExtResizablePropertySheet : public CExtWA<CExtWS<CExtResPS, 301>>
{
    DECLARE_DYNCREATE(CExtResizablePropertySheet)
public:
    // The sheet's standard buttons: each owns itself and ends with its window.
    class CButtonInSheetHook : public CExtButton
    {
    protected:
        void PostNcDestroy() override;
    };

    // Posted to itself once the sheet exists, to finish its layout.
    static const UINT g_nMsgInitLayout = WM_USER + 10;

    CExtResizablePropertySheet();
    explicit CExtResizablePropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    // Derived sheets change the size limits here, then call this.
    virtual void InitLayout();
    virtual void OnEmbeddedLayout() {}
    // Anchors the page (the active one when it has no window) to fill the
    // sheet, over the rectangle of a page anchored before.
    void AnchorPage(CPropertyPage* pPage);
    bool IsLayoutInitialized() const { return m_bLayoutInitialized; }

    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // An embedded sheet passes the program's commands it does not handle on
    // to the application.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

protected:
    // An embedded sheet fills itself with its tab control.
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpWndPos);
    DECLARE_MESSAGE_MAP()

private:
    void InitLayoutDeferred();
    void LayOutEmbedded(const CRect& rcTabs);
    CRect ChildRect(HWND hChild) const;

    bool m_bLayoutInitialized = false;
    CPropertyPage* m_pPageBeforeSwitch = nullptr;
};
