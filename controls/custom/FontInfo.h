// CFontInfo: a GDI font that keeps its whole logical description and a text
// colour, turns both into one line of text and back (the option font lives
// in one registry value) and is edited with the program's font dialog.
//
// CXFontDialog: the system's font chooser on the program's own template
// ("IDD_XFONTDIALOG") with the toolkit's labels and buttons, a caption of
// the caller's choosing, an optional filter of the offered faces and a
// "MONOSPACED" mark for fixed-pitch faces.
#pragma once

#include "framework/win/FontDialog.h"
#include "framework/win/GdiObjects.h"
#include "uitoolkit/controls/ExtButton.h"
#include "uitoolkit/controls/ExtGroupBox.h"
#include "uitoolkit/controls/ExtLabel.h"

class CFontInfo : public CFont
{
public:
    // 12-pixel Times New Roman in black, created at once.
    CFontInfo();
    ~CFontInfo() override;
    CFontInfo(const CFontInfo&) = delete;
    CFontInfo& operator=(const CFontInfo&) = delete;

    // The other font's description with the colour reset to black.
    void CopyFrom(CFont& font);
    void Assign(const CFontInfo& other);
    // The description of the stock font of the index; false when there is
    // no such stock object.
    bool CreateStockFont(int nStockIndex);
    // Returns the previous height.
    int SetHeight(int nHeight);
    // The height's magnitude grown by n, its sign kept.
    void Grow(int n);
    void SetColor(COLORREF crColor) { m_crColor = crColor; }

    CString ToString() const;
    // False, and nothing changed, unless the text holds all fifteen fields
    // in their forms; a face name over 31 characters is cut.
    bool FromString(LPCSTR pszText);
    // Runs the font dialog from the font's description (or the object's
    // own), its colour and no symbol fonts; OK takes the choice.
    bool DoFontDialog(CFont* pStartFont, CWnd* pParentWnd);

    LOGFONTA m_lf;
    COLORREF m_crColor = 0;

private:
    void Recreate();
};

class CXFontDialog : public CFontDialog
{
public:
    enum e_filter
    {
        FILTER_SYMBOL_ONLY = 0x1,
        FILTER_NO_SYMBOL = 0x2,
        FILTER_FIXED_PITCH_ONLY = 0x4,
        FILTER_VARIABLE_PITCH_ONLY = 0x8,
    };
    // wParam true shows the "MONOSPACED" mark, false hides it. The chooser
    // itself answers the same number with a font record in lParam, so only a
    // null lParam means the mark.
    static constexpr UINT WM_XFONT_MONOSPACED = WM_USER + 1;
    static constexpr UINT IDC_XFONT_MONOSPACED = 1200;

    explicit CXFontDialog(LPLOGFONTA lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                          CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);
    ~CXFontDialog() override;

    INT_PTR DoModal() override;
    CString GetCaption() const { return m_strCaption; }

    CString m_strFace;
    int m_nFilter = 0;
    CString m_strCaption = "Font";
    // The chosen face's, after OK; zero after Cancel.
    BYTE m_nCharSet = 0;
    BYTE m_nPitchAndFamily = 0;
    int m_nHeight = 0;

protected:
    BOOL OnInitDialog() override;
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg LRESULT OnMonospaced(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnHookInitDialog();
    void OnHookCommand(WPARAM wParam);
    // The metrics of a face at weight 400 on the sample's device context.
    bool GetFaceMetrics(const CString& sFace, TEXTMETRICA& tm);
    bool GetSelectedFaceMetrics(TEXTMETRICA& tm);
    bool IsFaceFiltered(const TEXTMETRICA& tm) const;
    void ShowMonospacedMark();

    CExtLabel m_labels[5];
    CExtGroupBox m_groupEffects;
    CExtButton m_buttonOK;
    CExtButton m_buttonCancel;
};
