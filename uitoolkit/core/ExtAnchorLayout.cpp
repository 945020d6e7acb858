#include "uitoolkit/core/ExtAnchorLayout.h"

#include "uitoolkit/core/ExtColorMath.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace
{

int Share(int nLength, int nPercent)
{
    return CExtColorMath::MulDivRound(nLength, nPercent, 100);
}

// the highest show command and the placement flag bits a window reports
const unsigned kMaxShowCmd = 11;
const unsigned kKnownPlacementFlags = 0x7;

bool ParseNumber(const char*& p, long& nValue)
{
    // like the stored format's %d: optional blanks and sign, then digits
    const char* pStart = p;
    while (std::isspace(static_cast<unsigned char>(*pStart)))
        ++pStart;
    const char* pDigits = pStart;
    if (*pDigits == '+' || *pDigits == '-')
        ++pDigits;
    if (!std::isdigit(static_cast<unsigned char>(*pDigits)))
        return false;
    char* pEnd = nullptr;
    errno = 0;
    const long long nParsed = std::strtoll(pStart, &pEnd, 10);
    if (errno == ERANGE || nParsed < INT_MIN || nParsed > INT_MAX)
        return false;
    nValue = static_cast<long>(nParsed);
    p = pEnd;
    return true;
}

} // namespace

ExtAnchorRecord ExtMakeAnchorRecord(int cx, int cy, const RECT& rcCtrl, CSize szLT, CSize szRB)
{
    if (szRB == g_szAnchorNone)
        szRB = szLT;
    ExtAnchorRecord record;
    record.m_szPercentLT = szLT;
    record.m_szPercentRB = szRB;
    record.m_szOffsetLT = CSize(rcCtrl.left - Share(cx, szLT.cx), rcCtrl.top - Share(cy, szLT.cy));
    record.m_szOffsetRB = CSize(rcCtrl.right - Share(cx, szRB.cx), rcCtrl.bottom - Share(cy, szRB.cy));
    return record;
}

CRect ExtAnchoredRect(const ExtAnchorRecord& record, int cx, int cy)
{
    return CRect(Share(cx, record.m_szPercentLT.cx) + record.m_szOffsetLT.cx,
                 Share(cy, record.m_szPercentLT.cy) + record.m_szOffsetLT.cy,
                 Share(cx, record.m_szPercentRB.cx) + record.m_szOffsetRB.cx,
                 Share(cy, record.m_szPercentRB.cy) + record.m_szOffsetRB.cy);
}

std::string ExtFormatWindowPlacement(const ExtWindowPlacementText& placement)
{
    char szText[96] = {};
    std::snprintf(szText, sizeof(szText), "%d,%d,%d,%d,%d,%d", static_cast<int>(placement.m_rcNormal.left),
                  static_cast<int>(placement.m_rcNormal.top), static_cast<int>(placement.m_rcNormal.right),
                  static_cast<int>(placement.m_rcNormal.bottom), static_cast<int>(placement.m_nShowCmd),
                  static_cast<int>(placement.m_nFlags));
    return szText;
}

bool ExtParseWindowPlacement(const char* pszText, ExtWindowPlacementText& placement)
{
    if (pszText == nullptr)
        return false;
    long nValues[6] = {};
    const char* p = pszText;
    for (int i = 0; i < 6; ++i)
    {
        if (i > 0 && *p++ != ',')
            return false;
        if (!ParseNumber(p, nValues[i]))
            return false;
    }
    const CRect rcNormal(nValues[0], nValues[1], nValues[2], nValues[3]);
    if (rcNormal.left >= rcNormal.right || rcNormal.top >= rcNormal.bottom)
        return false;
    if (nValues[4] < 0 || static_cast<unsigned long>(nValues[4]) > kMaxShowCmd)
        return false;
    if (nValues[5] < 0 ||
        (static_cast<unsigned long>(nValues[5]) & ~static_cast<unsigned long>(kKnownPlacementFlags)) != 0)
        return false;
    placement.m_rcNormal = rcNormal;
    placement.m_nShowCmd = static_cast<unsigned>(nValues[4]);
    placement.m_nFlags = static_cast<unsigned>(nValues[5]);
    return true;
}
