// The themes the toolkit's screenshot tests are taken in, by index, so that
// every gallery covers the same themes under the same file names.
#pragma once

#include "uitoolkit/paint/ExtPaintManager.h"

constexpr int kExtTestThemeCount = 5;

inline const char* ExtTestThemeName(int nIndex)
{
    static const char* const kNames[kExtTestThemeCount] = {"classic", "xp", "office2003", "studio2005", "native"};
    return kNames[nIndex];
}

// A new theme object of the index, for g_PaintManager to take over.
inline CExtPaintManager* NewExtTestTheme(int nIndex)
{
    switch (nIndex)
    {
    case 1: return new CExtPaintManagerXP;
    case 2: return new CExtPaintManagerOffice2003;
    case 3: return new CExtPaintManagerStudio2005;
    case 4: return new CExtPaintManagerNativeXP;
    default: return new CExtPaintManager;
    }
}
