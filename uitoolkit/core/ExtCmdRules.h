// The rules of command items and profiles that need no window: how resource
// texts split into their parts, the usage percent, the choice of a free
// command id, and the stored form of a profile's usage statistics.
#pragma once

#include "framework/core/CString.h"

#include <functional>
#include <vector>

class CArchive;

class CExtCmdRules
{
public:
    // A command string "status prompt\ntooltip": TABs become blanks, CRs go,
    // both parts are trimmed. Without a LF the whole text is the prompt and
    // the tip stays empty. False (both empty) when nothing but blanks is left.
    static bool SplitTipText(CString sText, CString& sStatus, CString& sTip);
    // A menu item's text "menu text\taccelerator": LFs and CRs go, both parts
    // are trimmed, the mnemonic '&' stays. False (both empty) for a text of
    // blanks only.
    static bool SplitMenuText(CString sText, CString& sMenu, CString& sAccel);

    // usage * 100 / total, in 64 bits so that heavily used commands do not
    // wrap round to small values; 0 when the total is 0.
    static UINT UsagePercent(UINT nUsage, UINT nTotal);

    // The id a profile gives a command made without one: the highest id from
    // 65534 down that is not registered; 0 when every one is.
    static UINT FindFreeCommandId(const std::function<bool(UINT)>& isRegistered);

    struct UsageRecord
    {
        UINT nCmdID;
        UINT nUsage;
    };
    // The stored usage statistics: the signature text, the version words,
    // four reserved words, the total, pairs of command id and counter, 0.
    // Archive failures arrive as the framework's exceptions.
    static void StoreUsage(CArchive& ar, UINT nTotal, const std::vector<UsageRecord>& records);
    // False, with nTotal and records untouched, for another version (short
    // version word not 0x0205) or an archive that ends or fails before the
    // terminating 0; the framework's exceptions are caught and deleted.
    static bool LoadUsage(CArchive& ar, UINT& nTotal, std::vector<UsageRecord>& records);
};
