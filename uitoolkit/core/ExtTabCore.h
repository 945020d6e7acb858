// The platform-free half of the tab window: the item list with its selection,
// groups and visibility, item measuring, the strip layout (single row, rows,
// groups, equal extents, scroll range, part buttons) and hit testing. Text
// extents, theme margins and part-button sizes come from the deriving class,
// so the window only supplies its device context and theme.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CString.h"

#include <memory>
#include <vector>

class CExtTabCore
{
public:
    // item style bits
    enum : DWORD
    {
        ItemHidden = 0x01,
        ItemGroupStart = 0x02,
        ItemSelected = 0x04,
        ItemActiveInGroup = 0x08,
        ItemDisabled = 0x20,
    };
    // item layout flags
    enum : BYTE
    {
        LayoutClipped = 0x01,
        LayoutRowEnd = 0x02,
    };
    // tab-window style bits
    enum : DWORD
    {
        StyleOrientationMask = 0x3,
        StyleFit = 0x4,
        StyleHelp = 0x8,
        StyleClose = 0x10,
        StyleBoldSelected = 0x40,
        StyleGroups = 0x80,
        StylePreviousEnabled = 0x400,
        StyleNextEnabled = 0x800,
        StyleEqualAlways = 0x2000,
        StyleHideIdleScroll = 0x4000,
        StyleHome = 0x20000,
        StyleEnd = 0x40000,
        StyleTabList = 0x80000,
        StyleGroupsNoCollapse = 0x200000,
        StyleHomeEnabled = 0x1000000,
        StyleEndEnabled = 0x2000000,
        StyleMultiRow = 0x4000000,
        StyleDualFont = 0x8000000,
    };
    enum e_orientation
    {
        OrientationTop = 0,
        OrientationBottom = 1,
        OrientationLeft = 2,
        OrientationRight = 3,
    };
    enum e_hit
    {
        HitNone = -1,
        HitRest = -2,
        HitItemsArea = -3,
        HitPrevious = -4,
        HitNext = -5,
        HitHelp = -6,
        HitClose = -7,
        HitTabList = -8,
        HitHome = -9,
        HitEnd = -10,
    };
    enum e_part
    {
        PartPrevious,
        PartNext,
        PartHome,
        PartEnd,
        PartHelp,
        PartClose,
        PartTabList,
        PartCount
    };
    struct Margins
    {
        int nLead;   // before the first item
        int nTrail;  // after the part buttons
        int nOffset; // between the outer edge and the strip
    };

    struct Item
    {
        virtual ~Item() = default;

        DWORD m_dwStyle = 0;
        CString m_sText;
        SIZE m_sizeIcon = {0, 0}; // the icon the item shows, (0, 0) without one
        SIZE m_size = {24, 20};
        SIZE m_sizeText = {0, 0};
        RECT m_rc = {0, 0, 24, 20}; // along the axis from the item run's start, across in client coordinates
        LONG_PTR m_lParam = 0;
        BYTE m_nLayoutFlags = 0;

        bool IsVisible() const { return (m_dwStyle & ItemHidden) == 0; }
        bool IsEnabled() const { return (m_dwStyle & ItemDisabled) == 0; }
        bool IsSelected() const { return (m_dwStyle & ItemSelected) != 0; }
        bool IsGroupStart() const { return (m_dwStyle & ItemGroupStart) != 0; }
        bool IsActiveInGroup() const { return (m_dwStyle & ItemActiveInGroup) != 0; }
    };

    static constexpr int g_nGroupGap = 20;
    static constexpr int g_nEnsureVisibleSlack = 6;

    CExtTabCore() = default;
    CExtTabCore(const CExtTabCore&) = delete;
    CExtTabCore& operator=(const CExtTabCore&) = delete;
    virtual ~CExtTabCore() = default;

    // Items.
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    int GetVisibleItemCount() const { return m_nVisibleCount; }
    Item* GetItem(int nIndex) const;
    LONG_PTR GetItemData(int nIndex) const; // 0 for an index out of range
    int FindItemIndex(const Item* pItem) const;
    int GetSelectedIndex() const { return m_nSelIndex; }
    int FindItemByData(LONG_PTR lParam, int nStartAfter, bool bVisible, bool bHidden) const;
    int FindItemByStyle(DWORD dwRequired, DWORD dwExcluded, int nStartAfter) const;
    void GetGroupRange(int nIndex, int& nFirst, int& nLast) const;
    // Changes the style of an item, keeping the visible count and the one
    // active member per group; answers the old style.
    DWORD ModifyItemStyle(int nIndex, DWORD dwRemove, DWORD dwAdd);

    Item* InsertItem(const CString& sText, SIZE sizeIcon, DWORD dwStyle, int nIndex, LONG_PTR lParam);
    // Takes over an item made by the caller (a kind of its own).
    Item* InsertItem(std::unique_ptr<Item> pItem, int nIndex);
    int DeleteItems(int nIndex, int nCount);
    void DeleteAllItems();
    // Answers the previous selection; an index out of range selects nothing.
    // pbAccepted, when given, is false when the change was refused or the
    // after-change call answered false.
    int SelectItem(int nIndex, bool* pbAccepted = nullptr);
    bool EnsureVisible(int nIndex);

    // Style.
    DWORD GetTabWndStyle() const { return m_dwTabStyle; }
    DWORD ModifyTabWndStyle(DWORD dwRemove, DWORD dwAdd);
    int GetOrientation() const { return static_cast<int>(m_dwTabStyle & StyleOrientationMask); }
    bool IsHorizontal() const { return GetOrientation() <= OrientationBottom; }

    // Layout: runs only while marked dirty.
    void MarkLayoutDirty() { m_bLayoutDirty = true; }
    bool IsLayoutDirty() const { return m_bLayoutDirty; }
    void RecalcLayout(const RECT& rcLayout);
    SIZE MeasureItem(int nIndex);
    int CalcPartButtonsExtent(int nExtent, int nGap) const;
    static int PartButtonSide(int nSmallCaptionSide);

    bool IsScrollAvailable() const { return m_nScrollMax > 0; }
    int GetScrollPosition() const { return m_nScrollPos; }
    // Kept between 0 and the scroll maximum.
    void SetScrollPosition(int nPos);
    int GetScrollMax() const { return m_nScrollMax; }
    int GetTotalExtent() const { return m_nTotalExtent; }
    int GetFirstVisibleIndex() const { return m_nFirstVisible; }
    int GetLastVisibleIndex() const { return m_nLastVisible; }
    bool IsSomeItemClipped() const { return m_bSomeClipped; }
    const RECT& GetItemsArea() const { return m_rcItems; }
    const RECT& GetRestArea() const { return m_rcRest; }
    const RECT& GetPartButtonRect(int nPart) const { return m_rcParts[nPart]; }

    int HitTest(const RECT& rcClient, POINT pt) const;

protected:
    // What the window's theme and device context give.
    virtual SIZE MeasureText(const CString& sText, bool bBold, int nOrientation) = 0;
    // The text and icon extent an item shows; its own ones unless the owner
    // supplies others.
    virtual CString QueryItemText(int nIndex) const { return m_items[nIndex]->m_sText; }
    virtual SIZE QueryItemIconSize(int nIndex) const { return m_items[nIndex]->m_sizeIcon; }
    virtual Margins GetMarginMetrics() const;
    virtual SIZE GetPartButtonSize(int nCross) const = 0;
    virtual void AdjustItemSize(int nIndex, SIZE& size);
    virtual int GetRowGap() const { return 0; }
    // Called before (may refuse) and after the selection changes.
    virtual bool OnSelectionChange(int nOld, int nNew, bool bBefore);

private:
    void LayoutPartButtons(const RECT& rcFirst, int nExtent, int nGap);
    bool ShowsScrollButtons() const;

    std::vector<std::unique_ptr<Item>> m_items;
    DWORD m_dwTabStyle = 0;
    int m_nSelIndex = -1;
    int m_nVisibleCount = 0;
    int m_nFirstVisible = -1;
    int m_nLastVisible = -1;
    int m_nTotalExtent = 0;
    int m_nScrollPos = 0;
    int m_nScrollMax = 0;
    bool m_bLayoutDirty = true;
    bool m_bSomeClipped = false;
    RECT m_rcItems = {0, 0, 0, 0};
    RECT m_rcRest = {0, 0, 0, 0};
    RECT m_rcParts[PartCount] = {};
};
