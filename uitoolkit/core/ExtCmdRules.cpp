#include "uitoolkit/core/ExtCmdRules.h"

#include "framework/core/CArchive.h"
#include "uitoolkit/core/ExtRegistryArchiver.h"

namespace
{

// The part before the first separator, trimmed at its end, and the part from
// the separator on, trimmed at its start (which drops a blank-like separator);
// without a separator the whole text is the first part.
void SplitAtFirst(const CString& sText, char chSeparator, CString& sFirst, CString& sSecond)
{
    int nAt = sText.Find(chSeparator);
    if (nAt < 0)
    {
        sFirst = sText;
        return;
    }
    sFirst = sText.Left(nAt);
    sFirst.TrimRight();
    sSecond = sText.Mid(nAt);
    sSecond.TrimLeft();
}

} // namespace

bool CExtCmdRules::SplitTipText(CString sText, CString& sStatus, CString& sTip)
{
    sStatus.Empty();
    sTip.Empty();
    sText.Replace('\t', ' ');
    sText.Remove('\r');
    sText.TrimLeft(' ');
    sText.TrimRight(' ');
    if (sText.IsEmpty())
        return false;
    SplitAtFirst(sText, '\n', sStatus, sTip);
    return true;
}

bool CExtCmdRules::SplitMenuText(CString sText, CString& sMenu, CString& sAccel)
{
    sMenu.Empty();
    sAccel.Empty();
    sText.Remove('\n');
    sText.Remove('\r');
    sText.TrimLeft();
    sText.TrimRight();
    if (sText.IsEmpty())
        return false;
    SplitAtFirst(sText, '\t', sMenu, sAccel);
    return true;
}

UINT CExtCmdRules::UsagePercent(UINT nUsage, UINT nTotal)
{
    if (nTotal == 0)
        return 0;
    return (UINT)((unsigned long long)nUsage * 100u / nTotal);
}

UINT CExtCmdRules::FindFreeCommandId(const std::function<bool(UINT)>& isRegistered)
{
    UINT nCmdID = 65534;
    while (nCmdID != 0 && isRegistered(nCmdID))
        --nCmdID;
    return nCmdID;
}

void CExtCmdRules::StoreUsage(CArchive& ar, UINT nTotal, const std::vector<UsageRecord>& records)
{
    CString sVersion, sSignature;
    sSignature.Format("Quorbis (v. %s) command profile",
                      (LPCTSTR)CExtRegistryArchiver::GetLibraryVersionString(sVersion, '.'));
    ar << sSignature;
    ar << (DWORD)CExtRegistryArchiver::GetLibraryVersionWord(false);
    ar << (DWORD)CExtRegistryArchiver::GetLibraryVersionWord(true);
    for (int i = 0; i < 4; ++i)
        ar << (DWORD)0;
    ar << (DWORD)nTotal;
    for (const UsageRecord& record : records)
        ar << (DWORD)record.nCmdID << (DWORD)record.nUsage;
    ar << (DWORD)0;
}

bool CExtCmdRules::LoadUsage(CArchive& ar, UINT& nTotal, std::vector<UsageRecord>& records)
{
    try
    {
        CString sSignature;
        DWORD nVersion = 0, nShortVersion = 0, nReserved = 0, nReadTotal = 0;
        ar >> sSignature;
        ar >> nVersion >> nShortVersion;
        if (nShortVersion != CExtRegistryArchiver::GetLibraryVersionWord(true))
            return false;
        for (int i = 0; i < 4; ++i)
            ar >> nReserved;
        ar >> nReadTotal;
        std::vector<UsageRecord> read;
        for (;;)
        {
            DWORD nCmdID = 0, nUsage = 0;
            ar >> nCmdID;
            if (nCmdID == 0)
                break;
            ar >> nUsage;
            read.push_back({nCmdID, nUsage});
        }
        nTotal = nReadTotal;
        records = std::move(read);
        return true;
    }
    catch (CException* e)
    {
        e->Delete();
        return false;
    }
}
