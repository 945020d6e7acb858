// A self-drawn child window that scrolls lines of text and gaps upwards, one
// pixel per timer tick, and starts again from the top when the list has
// passed; the list follows its own end without a gap.
#pragma once

#include "controls/custom/CustomWnd.h"
#include "framework/core/CArray.h"
#include "framework/core/CCriticalSection.h"

class CCreditsItem
{
public:
    virtual ~CCreditsItem() = default;
    // Draws from the rectangle's top.
    virtual void Draw(CDC* pDC, const CRect& rect) = 0;
    virtual int GetHeight() const = 0;
};

class CCreditsTextItem : public CCreditsItem
{
public:
    // Measured once, here, as wide as nWidth (which matters only for
    // formats that break words).
    CCreditsTextItem(LPCTSTR lpszText, COLORREF clrText, int nFontHeight, UINT nFormat, int nWidth);
    void Draw(CDC* pDC, const CRect& rect) override;
    int GetHeight() const override { return m_nHeight; }

private:
    UINT m_nFormat;
    CString m_strText;
    CFont m_font;
    COLORREF m_clrText;
    int m_nHeight = 0;
};

class CCreditsSpaceItem : public CCreditsItem
{
public:
    explicit CCreditsSpaceItem(int nHeight) : m_nHeight(nHeight) {}
    void Draw(CDC* pDC, const CRect& rect) override {}
    int GetHeight() const override { return m_nHeight; }

private:
    int m_nHeight;
};

class CCreditsCtrl : public CCustomWnd
{
public:
    CCreditsCtrl();
    ~CCreditsCtrl() override;

    // A line (or lines) of text in "Arial" of the given height; nFormat are
    // DrawText flags.
    void AddText(LPCTSTR lpszText, int nFontHeight, COLORREF clrText, UINT nFormat);
    void AddSpace(int nHeight);
    // From the first item, one pixel every nInterval milliseconds.
    void Start(UINT nInterval);

    // The list drawn from the current position into the back buffer.
    void PaintBackground() override;

protected:
    static CString s_strClassName;

    // Re-entrant: a scroll step paints while it holds the lock.
    CCriticalSection m_lock;
    CArray<CCreditsItem*, CCreditsItem*> m_items;
    // The item at the top edge, and how many of its pixels have scrolled out.
    int m_nCurrent = 0;
    int m_nOffset = 0;
    COLORREF m_clrBackground;

    void OnLayout() override;
    // Draws items from nFirst on while the rectangle's top is inside the
    // client area; the top moves down by each item's height.
    void DrawItems(CDC* pDC, int nFirst, CRect& rect, int nBottom);

    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()
};
