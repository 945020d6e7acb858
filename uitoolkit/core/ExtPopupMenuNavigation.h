// The rules of moving through a popup menu that need no window: the keyboard
// order over the items (plain lists and palette rows), the mnemonic and text
// searches, the status prompt of a highlighted item and the steps of the
// scrolling and expand-on-hover timers. The menu window describes its items
// to them as a list.
#pragma once

#include "framework/core/CString.h"

#include <vector>

class CExtPopupMenuNavigation
{
public:
    // Navigation codes; the page keys' codes are passed on but not handled.
    enum e_nav
    {
        NavNone = -100,
        NavCurrent = -101,
        NavNext = -102,
        NavPrev = -103,
        NavNextRow = -104,
        NavPrevRow = -105,
        NavPageUp = -106,
        NavPageDown = -107,
    };
    // What the navigation answers besides an item index.
    enum e_result
    {
        ResultNothing = -1,
        ResultExpandButton = -4,
    };

    struct Item
    {
        bool Displayed = true;   // shown or always shown
        bool Selectable = true;  // displayed sub-menu or enabled command
        bool Wrap = false;       // a palette row ends after it
        bool NoText = false;     // a palette icon without its text
        char Mnemonic = 0;       // upper-cased, 0 when none
        int Left = 0, Right = 0; // the item's slot, margins included
    };
    struct Menu
    {
        std::vector<Item> Items;
        int Current = -1; // the highlighted index; negative: none
        // rarely used items hidden and the menu not expanded
        bool CanExpand = false;
        bool NoItemDisplayed = false;
    };

    // The index a navigation code leads to, ResultExpandButton when only
    // the expand button is left, ResultNothing when nothing is.
    static int NextSelectable(const Menu& menu, int nCode);
    // The next selectable item after nAfter, wrapping to the start, whose
    // mnemonic is chUpper (already upper-cased); '0' never matches.
    static int FindByAccessChar(const Menu& menu, char chUpper, int nAfter);
    // The next item after nAfter, wrapping to the start, whose whole text
    // (ampersands included) equals lpszText without regard to case.
    static int FindByText(const std::vector<CString>& texts, LPCSTR lpszText, int nAfter);
    // The string id of the status prompt for a highlighted command id; 0
    // (nothing highlighted, a sub-menu or a separator) gives the idle prompt.
    static UINT StatusTextID(UINT nCmdID);

    // One tick of the scrolling timer: the offset moves by nStep and stops
    // at 0 and at nScrollPosMin; true when scrolling ends.
    static bool ScrollTick(int& nOffset, int nStep, int nScrollPosMin);
    // One tick of the expand-on-hover timer; true when the hover lasted
    // long enough and the counter is reset.
    static bool ExpandHoverTick(int& nCounter);
};
