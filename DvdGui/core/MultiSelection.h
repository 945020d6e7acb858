// Selection of one or more items by mouse clicks and keys, with an anchor for
// Shift ranges and a caret, over items a subclass identifies.
#pragma once

#include <cstdint>
#include <vector>

// WM_NOTIFY codes of a selection change: an answer of -1 to the first
// cancels the click.
const int BLN_SELCHANGING = -401;
const int BLN_SELCHANGED = -402;

class CMultiSelection
{
public:
    virtual ~CMultiSelection() = default;

    virtual void OnItemClick(int32_t nItem, bool bCtrl, bool bShift, int x, int y);
    virtual int32_t GetNullItem() const { return 0; }
    virtual void EnsureItemVisible(int32_t /*nItem*/) {}
    virtual void RedrawItems() {}
    virtual int SendNotify(int /*nCode*/, int32_t /*nItem*/, int /*x*/, int /*y*/) { return -1; }
    virtual void SetItemSelected(int32_t nItem, bool bSelected) = 0;
    virtual bool IsItemSelected(int32_t nItem) const = 0;
    virtual int32_t GetItemOrder(int32_t nItem) const = 0;
    virtual int32_t GetOrderItem(int32_t nOrder) const = 0;
    virtual int32_t GetFirstItem() const = 0;
    virtual int32_t GetNextItem(int32_t nItem) const = 0;
    virtual int32_t GetPrevItem(int32_t nItem) const = 0;
    virtual int32_t GetNextInRange(int32_t nItem) const = 0;

    int32_t GetFocusItem() const { return m_nFocus; }
    int32_t GetAnchorItem() const { return m_nAnchor; }
    int32_t GetCaretItem() const { return m_nCaret; }

    bool m_bMultiSelect = true;
    bool m_bNotify = true;

protected:
    int32_t m_nFocus = -1;
    int32_t m_nAnchor = -1;
    int32_t m_nCaret = -1;

private:
    int32_t FindSelected(int32_t nFrom, bool bForward) const;
};

// The strip's part of a view location: the first visible item, then the
// anchor, the caret and every selected tile as positions (-1 for none).
struct CTileViewState
{
    float fFirstVisible = 0.0f;
    std::vector<int32_t> positions;

    bool operator==(const CTileViewState& other) const
    {
        return fFirstVisible == other.fFirstVisible && positions == other.positions;
    }
    bool operator!=(const CTileViewState& other) const { return !(*this == other); }
};

// The selection over the tiles 0..n-1 of a strip, with its view state.
class CTileSelection : public CMultiSelection
{
public:
    int32_t GetNullItem() const override { return -1; }
    void SetItemSelected(int32_t nItem, bool bSelected) override;
    bool IsItemSelected(int32_t nItem) const override;
    int32_t GetItemOrder(int32_t nItem) const override { return nItem; }
    int32_t GetOrderItem(int32_t nOrder) const override { return nOrder; }
    int32_t GetFirstItem() const override { return GetTileCount() > 0 ? 0 : -1; }
    int32_t GetNextItem(int32_t nItem) const override;
    int32_t GetPrevItem(int32_t nItem) const override { return nItem >= 1 ? nItem - 1 : -1; }
    int32_t GetNextInRange(int32_t nItem) const override { return GetNextItem(nItem); }

    int32_t GetTileCount() const { return int32_t(m_selected.size()); }
    // New tiles, none selected, no focus, anchor or caret.
    void ResetTiles(int32_t nTiles);
    void SelectAll();

    CTileViewState GetViewState() const;
    // A state of more than two positions replaces the selection; without a
    // caret afterwards tile 0 is clicked (notifying only when bNotify is
    // set), with one and bNotify the host hears of it. Then the strip lays
    // its tiles out again.
    void SetViewState(const CTileViewState& state, bool bNotify);

    float m_fFirstVisible = 0.0f;

protected:
    virtual void OnLayout() {}

private:
    std::vector<bool> m_selected;
};

// The caret target of a navigation key (-1: the key does nothing).
enum ETileKey
{
    TILEKEY_HOME,
    TILEKEY_END,
    TILEKEY_PREV, // Left and Up
    TILEKEY_NEXT, // Right and Down
};
int32_t TileKeyTarget(ETileKey key, int32_t nCaret, int32_t nTiles);
