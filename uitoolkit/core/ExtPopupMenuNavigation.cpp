#include "uitoolkit/core/ExtPopupMenuNavigation.h"

namespace
{

using N = CExtPopupMenuNavigation;

const UINT kIdlePrompt = 0xE001;
const int kExpandHoverEnd = 1500;
const int kExpandHoverStep = 50;

int Count(const N::Menu& menu)
{
    return static_cast<int>(menu.Items.size());
}

int NothingLeft(const N::Menu& menu)
{
    return menu.CanExpand ? N::ResultExpandButton : N::ResultNothing;
}

int FirstSelectable(const N::Menu& menu, int nFrom, int nTo)
{
    for (int i = nFrom; i < nTo; ++i)
        if (menu.Items[i].Selectable)
            return i;
    return -1;
}

int LastSelectable(const N::Menu& menu, int nFrom, int nDownTo)
{
    for (int i = nFrom; i >= nDownTo; --i)
        if (menu.Items[i].Selectable)
            return i;
    return -1;
}

int Next(const N::Menu& menu)
{
    const int nCur = menu.Current;
    int n = FirstSelectable(menu, nCur + 1, Count(menu));
    if (n >= 0)
        return n;
    if (menu.CanExpand)
        return N::ResultExpandButton;
    if (nCur == 0)
        return N::ResultNothing;
    n = FirstSelectable(menu, 0, nCur);
    return n >= 0 ? n : N::ResultNothing;
}

int Prev(const N::Menu& menu)
{
    const int nCur = menu.Current;
    int n = LastSelectable(menu, nCur - 1, 0);
    if (n < 0)
        n = LastSelectable(menu, Count(menu) - 1, nCur + 1);
    return n >= 0 ? n : N::ResultNothing;
}

bool EndsRow(const N::Item& item)
{
    return item.Displayed && item.Wrap;
}

int NextRow(const N::Menu& menu)
{
    const N::Item& cur = menu.Items[menu.Current];
    int nRowEnd = menu.Current;
    while (nRowEnd < Count(menu) && !EndsRow(menu.Items[nRowEnd]))
        ++nRowEnd;
    int nRemembered = -1;
    for (int i = nRowEnd + 1; i < Count(menu); ++i)
    {
        const N::Item& item = menu.Items[i];
        if (item.Selectable)
        {
            if (item.Left >= cur.Left)
                return i;
            nRemembered = i;
        }
        if (EndsRow(item) && nRemembered >= 0)
            return nRemembered;
    }
    return nRemembered >= 0 ? nRemembered : NothingLeft(menu);
}

int PrevRow(const N::Menu& menu)
{
    const N::Item& cur = menu.Items[menu.Current];
    int nPrevRowEnd = menu.Current - 1;
    while (nPrevRowEnd >= 0 && !EndsRow(menu.Items[nPrevRowEnd]))
        --nPrevRowEnd;
    if (nPrevRowEnd < 0)
        return NothingLeft(menu);
    int nRemembered = -1;
    for (int i = nPrevRowEnd; i >= 0; --i)
    {
        const N::Item& item = menu.Items[i];
        if (i != nPrevRowEnd && EndsRow(item) && nRemembered >= 0)
            return nRemembered;
        if (!item.Selectable)
            continue;
        if (item.Right <= cur.Right)
            return i;
        nRemembered = i;
    }
    return nRemembered >= 0 ? nRemembered : NothingLeft(menu);
}

} // namespace

int CExtPopupMenuNavigation::NextSelectable(const Menu& menu, int nCode)
{
    if (menu.CanExpand && menu.NoItemDisplayed)
        return ResultExpandButton;
    if (nCode == NavNone || menu.Items.empty())
        return NothingLeft(menu);
    const bool bHighlighted = menu.Current >= 0 && menu.Current < Count(menu);
    if (nCode == NavCurrent && bHighlighted)
        return menu.Current;
    if (!bHighlighted)
    {
        const int n = FirstSelectable(menu, 0, Count(menu));
        return n >= 0 ? n : NothingLeft(menu);
    }
    const bool bSeveral = Count(menu) >= 2;
    const bool bText = !menu.Items[menu.Current].NoText;
    switch (nCode)
    {
    case NavNext: return bSeveral ? Next(menu) : NothingLeft(menu);
    case NavPrev: return bSeveral ? Prev(menu) : ResultNothing;
    case NavNextRow: return !bSeveral ? NothingLeft(menu) : bText ? Next(menu) : NextRow(menu);
    case NavPrevRow: return !bSeveral ? ResultNothing : bText ? Prev(menu) : PrevRow(menu);
    default: return ResultNothing;
    }
}

int CExtPopupMenuNavigation::FindByAccessChar(const Menu& menu, char chUpper, int nAfter)
{
    if (chUpper == '0' || chUpper == 0)
        return ResultNothing;
    auto matches = [&](int i)
    {
        const Item& item = menu.Items[i];
        return item.Mnemonic != 0 && item.Selectable && item.Mnemonic == chUpper;
    };
    for (int i = nAfter < 0 ? 0 : nAfter + 1; i < Count(menu); ++i)
        if (matches(i))
            return i;
    for (int i = 0; i < nAfter && i < Count(menu); ++i)
        if (matches(i))
            return i;
    return ResultNothing;
}

int CExtPopupMenuNavigation::FindByText(const std::vector<CString>& texts, LPCSTR lpszText, int nAfter)
{
    if (lpszText == nullptr || *lpszText == 0)
        return ResultNothing;
    const int nCount = static_cast<int>(texts.size());
    for (int i = nAfter < 0 ? 0 : nAfter + 1; i < nCount; ++i)
        if (texts[i].CompareNoCase(lpszText) == 0)
            return i;
    for (int i = 0; i < nAfter && i < nCount; ++i)
        if (texts[i].CompareNoCase(lpszText) == 0)
            return i;
    return ResultNothing;
}

UINT CExtPopupMenuNavigation::StatusTextID(UINT nCmdID)
{
    if (nCmdID == 0 || static_cast<int>(nCmdID) < 0)
        return kIdlePrompt;
    if (nCmdID < 0xF000 || nCmdID > 0xF1EF)
        return nCmdID;
    // the window commands share the framework's prompts
    static const struct
    {
        UINT nSysCmd;
        UINT nPrompt;
    } kSysPrompts[] = {{0xF000, 0xEF00}, {0xF010, 0xEF01}, {0xF020, 0xEF02}, {0xF030, 0xEF03}, {0xF040, 0xEF04},
                       {0xF050, 0xEF05}, {0xF060, 0xEF06}, {0xF120, 0xEF12}, {0xF130, 0xEF13}};
    for (const auto& p : kSysPrompts)
        if (p.nSysCmd == nCmdID)
            return p.nPrompt;
    return kIdlePrompt;
}

bool CExtPopupMenuNavigation::ScrollTick(int& nOffset, int nStep, int nScrollPosMin)
{
    if (nStep == 0)
        return true;
    nOffset += nStep;
    if (nOffset > 0)
    {
        nOffset = 0;
        return true;
    }
    if (nOffset < nScrollPosMin)
    {
        nOffset = nScrollPosMin;
        return true;
    }
    return false;
}

bool CExtPopupMenuNavigation::ExpandHoverTick(int& nCounter)
{
    if (nCounter < kExpandHoverEnd)
        nCounter = (nCounter <= 1 ? 0 : nCounter) + kExpandHoverStep;
    if (nCounter < kExpandHoverEnd)
        return false;
    nCounter = 0;
    return true;
}
