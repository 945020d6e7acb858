#include "DvdGui/core/ProgressPercent.h"

#include <climits>

int ProgressPercent(uint64_t nPosition, uint64_t nTotal)
{
    if (nTotal == 0)
        return 100;
    const unsigned __int128 percent = static_cast<unsigned __int128>(nPosition) * 100u / nTotal;
    return percent > static_cast<unsigned __int128>(INT_MAX) ? INT_MAX : static_cast<int>(percent);
}
