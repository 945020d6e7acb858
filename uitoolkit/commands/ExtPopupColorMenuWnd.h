// CExtPopupColorMenuWnd: a popup menu showing a grid of colour cells, with
// an optional default-colour button above the grid and a custom-colour
// button below it. It tells its owner the colour under the mouse or keyboard
// as a preview and the chosen colour at the end, by posted messages; it
// opens no colour dialog itself.
#pragma once

#include "uitoolkit/commands/ExtPopupMenuWnd.h"
#include "uitoolkit/core/ExtColorGrid.h"

class CExtPopupColorMenuWnd : public CExtPopupMenuWnd
{
    DECLARE_DYNCREATE(CExtPopupColorMenuWnd)
public:
    class COLORREF_TABLE_ENTRY
    {
    public:
        // The string id is accepted for the table's sake and not kept.
        COLORREF_TABLE_ENTRY(UINT nStringID, COLORREF clr, LPCTSTR lpszName);
        COLORREF_TABLE_ENTRY(const COLORREF_TABLE_ENTRY& other) = default;
        COLORREF_TABLE_ENTRY& operator=(const COLORREF_TABLE_ENTRY& other) = default;
        virtual ~COLORREF_TABLE_ENTRY() = default;
        virtual CString GetName() const { return m_sName; }

        COLORREF m_clrValue;
        CString m_sName;
    };

    enum e_special_index : int
    {
        IDX_DEFAULT_BUTTON = -101,
        IDX_CUSTOM_BUTTON = -102,
    };
    enum e_buttons : BYTE
    {
        BUTTON_DEFAULT = 0x01,
        BUTTON_CUSTOM = 0x02,
    };
    // Stored through the result pointer when the custom button is chosen.
    static const COLORREF CUSTOM_COLOR_CHOSEN = 0xFFFFFFFE;

    // Posted to the notification window: wParam the colour (0 for the custom
    // button), lParam the cookie.
    static const UINT g_nMsgNotifyColorChanged;
    static const UINT g_nMsgNotifyColorChangedFinally;
    static const UINT g_nMsgNotifyCustColor;
    static int g_nColorTipType;

    CExtPopupColorMenuWnd();
    ~CExtPopupColorMenuWnd() override;

    virtual CSize GetCellSize() const { return m_sizeCell; }
    virtual CSize GetCellSpacing() const { return m_sizeSpacing; }
    virtual int GetColorCount() const { return static_cast<int>(m_colors.size()); }
    virtual int GetColumnCount() const { return m_nColumnCount; }
    // A count below 1 is kept as 1.
    virtual void SetColumnCount(int nColumnCount) { m_nColumnCount = CExtColorGrid::ClampColumns(nColumnCount); }
    virtual CSize GetGridSize() const;
    virtual COLORREF_TABLE_ENTRY* GetColorEntry(int nIndex) const;
    virtual COLORREF GetColorAt(int nIndex) const;
    virtual CString GetColorNameAt(int nIndex) const;
    virtual int GetNextColorIndex(int nIndex, UINT nVirtualKey) const;
    virtual void RemoveAllColors();

    void LoadDefaultColors();
    CPoint GetCellPos(int nIndex) const;
    CRect GetCellRect(int nIndex) const;
    int HitTestColor(const POINT& ptClient) const;
    HWND GetNotifyWnd() const;
    void NotifyColor(bool bFinal);
    int FindColorIndex(COLORREF clr) const;
    int GetHoverIndex() const { return m_nHoverIndex; }
    int GetSelectedIndex() const { return m_nSelectedIndex; }
    const CRect& GetDefaultButtonRect() const { return m_rcDefaultButton; }
    const CRect& GetCustomButtonRect() const { return m_rcCustomButton; }

    void PaintFinished(CDC& dc, bool bOffscreen) override;
    bool CreateMenuWindow(HWND hWndCmdRecv) override;
    // The items of the base are never hit: the grid has its own test.
    int OnHitTest(const POINT& ptClient, bool* pbOverEdit = nullptr, bool* pbOverDropArrow = nullptr) override;
    bool OnMouseMove(UINT nFlags, CPoint ptClient, bool& bPassOn) override;
    bool OnMouseClick(UINT message, CPoint ptClient, bool& bPassOn) override;
    bool OnKeyDown(UINT nVirtualKey, UINT nRepeat, UINT nFlags, bool& bPassOn) override;
    bool IsSubMenuOpenAllowed() const override;
    int GetItemTipType() const override { return g_nColorTipType; }
    void GetWindowSize(CSize& size) override;

    // Set by the owner before tracking.
    HWND m_hWndNotifyColorChanged = nullptr;
    LPARAM m_lParamCookie = 0;
    COLORREF* m_pClrResult = nullptr;
    COLORREF m_clrDefault = 0;
    COLORREF m_clrInitial = 0xFFFFFFFF;
    BYTE m_nButtons = BUTTON_DEFAULT | BUTTON_CUSTOM;
    CString m_sBtnTextColorDefault;
    CString m_sBtnTextColorCustom;

protected:
    afx_msg BOOL OnQueryNewPalette();
    afx_msg void OnPaletteChanged(CWnd* pFocusWnd);
    DECLARE_MESSAGE_MAP()

    CExtColorGrid::Frame GridFrame() const;
    // A cell, the default or the custom button.
    static bool IsChoosable(int nIndex)
    {
        return nIndex >= 0 || nIndex == IDX_DEFAULT_BUTTON || nIndex == IDX_CUSTOM_BUTTON;
    }
    bool IsDefaultButtonShown() const { return (m_nButtons & BUTTON_DEFAULT) != 0; }
    bool IsCustomButtonShown() const { return (m_nButtons & BUTTON_CUSTOM) != 0; }
    bool Choose();

    CRect m_rcDefaultButton;
    CRect m_rcCustomButton;
    int m_nHoverIndex = -1;
    int m_nSelectedIndex = -1;
    int m_nColumnCount = 8;
    std::vector<COLORREF_TABLE_ENTRY*> m_colors;
    CSize m_sizeCell = CSize(16, 16);
    CSize m_sizeSpacing = CSize(2, 2);
    bool m_bNotifying = false;
};
