// The base of the editor's modal popups: content above a row with a
// confirming button and "Cancel" at the bottom right, both in the system's
// message font, and a window placement that the popup keeps in the
// registry's "Settings" between runs.
#pragma once

#include "controls/custom/ModalPopupWnd.h"

enum : UINT
{
    IDC_POPUP_CANCEL = 1500,
    IDC_POPUP_CONFIRM = 1501,
};

class CButtonRowPopup : public CModalPopupWnd
{
public:
    // pszConfirm names the confirming button, pszMeasure is the text its
    // size is measured on, pszPlacement the prefix of the four placement
    // values ("_X", "_Y", "_W", "_H").
    CButtonRowPopup(LPCTSTR lpszTitle, CWnd* pOwner, const char* pszConfirm, const char* pszMeasure,
                    const char* pszPlacement);

    // Keeps the placement, then closes as the base does.
    void OnOK() override;
    void OnCancel() override;

    void OnCreated() override;
    void OnLayout() override;
    void PaintBackground() override;

    CButton& GetConfirmButton() { return m_btnConfirm; }
    CButton& GetCancelButton() { return m_btnCancel; }
    int GetButtonWidth() const { return m_nButtonWidth; }
    int GetButtonHeight() const { return m_nButtonHeight; }

protected:
    // The content windows, made once the buttons exist.
    virtual void CreateContent() = 0;
    // Lays the content out in the client area above the button row.
    virtual void LayoutContent(int cx, int cy) = 0;
    // Gives the content its blocks, after the first layout.
    virtual void FillContent() = 0;

    // Writes the window rectangle to the four placement values.
    void SavePlacement();

    afx_msg void OnConfirm();
    afx_msg void OnCancelButton();
    DECLARE_MESSAGE_MAP()

    CButton m_btnCancel;
    CButton m_btnConfirm;
    CFont m_font;
    int m_nButtonWidth = 0;
    int m_nButtonHeight = 0;

private:
    void MakeFontAndButtonSize();
    void MoveToStoredPlacement();

    const char* m_pszConfirm;
    const char* m_pszMeasure;
    const char* m_pszPlacement;
};
