// Where the editor's modal popups (the original preview and the angle
// selection) go on the screen and how their parts share the client area: a
// content area above a row of two buttons, the confirming button left of
// "Cancel", and a strip of blocks above a splitter.
#pragma once

struct CPopupPlacement
{
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    bool operator==(const CPopupPlacement& other) const
    {
        return x == other.x && y == other.y && w == other.w && h == other.h;
    }
};

// The size a popup has before the user placed it: 540 x 400 in the middle
// of the screen.
CPopupPlacement DefaultPopupPlacement(int nScreenWidth, int nScreenHeight);
// A stored placement made to fit the screen (a screen may have shrunk since
// it was stored): no larger than the screen and wholly on it.
CPopupPlacement FitPopupOnScreen(const CPopupPlacement& stored, int nScreenWidth, int nScreenHeight);

struct CPopupButtonRow
{
    int nContentHeight; // the client height above the row
    int nButtonTop;
    int xCancel;
    int xConfirm;
};

// The row of buttons at the bottom of a client area of cx x cy.
CPopupButtonRow LayoutPopupButtons(int cx, int cy, int nButtonWidth, int nButtonHeight);
// The narrowest the user may make a popup: both buttons with their gaps.
int GetPopupMinTrackWidth(int nButtonWidth, int nButtonHeight);

// The height of a strip above a splitter in an area nAreaHeight high, when
// the user left it at nStored: room for the content below it (nMinHeight)
// comes first.
int FitStripHeight(int nStored, int nAreaHeight, int nMinHeight);
