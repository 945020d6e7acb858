// The platform-free half of the tool bar: how a bar button measures itself
// from its icon and text extents, and the bar's row layout (wrapping, the
// size of the wrapped bar, the floating width search and the placement of
// every button with the chevron's list of buttons that do not fit). The
// buttons are reached through CExtToolBarButtons, so the window supplies its
// buttons, its device context and its theme's numbers, and the tests supply
// tables.
#pragma once

#include "framework/core/AfxGeometry.h"
#include "framework/core/CString.h"

#include <vector>

namespace kxtoolbar
{

constexpr int kDefaultButtonWidth = 23;
constexpr int kDefaultButtonHeight = 22;
// The thickness of a separator along its bar and the length of a drop-down
// button's arrow part (the 5-pixel arrow glyph plus 6).
constexpr int kSeparatorExtent = 6;
constexpr int kArrowPartExtent = 11;
constexpr int kChevronExtent = 11;
// Lengths that mean "unlimited" to the wrapping.
constexpr int kUnlimited = 32767;

// The button text as measured: "&&" stands for one "&", any other "&" marks
// a mnemonic and takes no room.
CString StripMnemonics(const CString& sText);
// The part of a command text before its first tab (the accelerator follows).
CString CutAtTab(const CString& sText);

// What a command button's size is made of.
struct ButtonFace
{
    bool bSeparator = false;
    bool bRegistered = true;  // the command is known to the bar's profile
    CSize sizeIcon{0, 0};     // the icon, (0, 0) without one
    bool bLargeIcons = false; // the bar doubles its icons
    CSize sizeText{0, 0};     // the measured text, (0, 0) without text
    bool bArrowPart = false;  // a drop-down arrow part is added
};
// The size of a button measured against the bar's pre-calculated size.
CSize MeasureButtonFace(const ButtonFace& face, CSize sizePreCalc, bool bHorz);
// The chevron: 11 pixels along the bar, the given size across it.
CSize MeasureChevron(CSize sizePreCalc, bool bHorz);

// The buttons of one bar as the layout sees them; the wrap flag is the one
// of the bar's current layout kind.
class CExtToolBarButtons
{
public:
    virtual ~CExtToolBarButtons() = default;
    virtual int GetCount() const = 0;
    virtual bool IsSeparator(int nIndex) const = 0;
    virtual bool IsHidden(int nIndex) const = 0; // the TBBS_HIDDEN style
    // The MDI document button that a right-to-left row keeps at its start,
    // and the MDI buttons that end a row.
    virtual bool IsMdiDocButton(int) const { return false; }
    virtual bool IsMdiRightButton(int) const { return false; }
    virtual bool GetWrap(int nIndex) const = 0;
    virtual void SetWrap(int nIndex, bool bWrap) = 0;
    // Measures against the default button size and keeps the result as the
    // stored size.
    virtual CSize Measure(int nIndex, bool bHorz) = 0;
    virtual CSize GetStoredSize(int nIndex) const = 0;
    virtual void SetInVertBar(int nIndex, bool bVert) = 0;
    virtual void SetVisible(int nIndex, bool bVisible) = 0;
    virtual bool IsVisible(int nIndex) const = 0;
    virtual void SetRect(int nIndex, const CRect& rc) = 0;
    virtual CRect GetRect(int nIndex) const = 0;
};

// What the bar and its theme say about one layout.
struct BarGeometry
{
    bool bHasChevron = false; // the last button is the chevron
    bool bFloating = false;
    bool bHorz = true; // the bar lies horizontally
    bool bRightToLeft = false;
    // Docked in rows that fill a whole dock row (the menu bar): wrapped
    // into rows or, docked vertically, columns growing from right to left,
    // and nothing dropped into the chevron.
    bool bMultiRow = false;
    // A panel: laid out as horizontal rows in every placement, wrapped only
    // where the buttons already carry a wrap flag, no chevron.
    bool bPanel = false;
    CRect rcBorders{1, 0, 1, 0}; // left, top, right, bottom borders
    int nRowGap = 6;
    int nChevronSpacing = 0;
    bool bThemedBackground = false;
    CSize sizeButtonsOffset{0, 0};
    int nWorkAreaWidth = 1024; // of the monitor that holds a floating bar
};

// Not shown: hidden, or a separator whose next button is hidden.
bool IsSkipped(const CExtToolBarButtons& buttons, int nIndex);
// Sets the wrap flags for a width and a height; the number of rows.
int WrapToolBar(CExtToolBarButtons& buttons, const BarGeometry& geo, int nWidth, int nHeight);
// Sets the wrap flags as column breaks for a height; the number of columns.
int WrapToolBarVert(CExtToolBarButtons& buttons, const BarGeometry& geo, int nHeight);
// The bar's size from the current wrap flags (client size plus borders);
// pbWrapped tells whether a multi-row bar wrapped into more than one row.
CSize CalcSize(CExtToolBarButtons& buttons, const BarGeometry& geo, bool bVertical, bool* pbWrapped = nullptr);
// Chooses the wrap flags for a length; a floating bar searches the smallest
// width that keeps the row count of the length.
void SizeToolBar(CExtToolBarButtons& buttons, const BarGeometry& geo, int nLength, bool bVertical);
// Places every button in the client rectangle and fills arrHidden with the
// buttons that go into the chevron's menu.
void ArrangeButtons(CExtToolBarButtons& buttons, const BarGeometry& geo, const CRect& rcClient,
                    std::vector<int>& arrHidden);

} // namespace kxtoolbar
