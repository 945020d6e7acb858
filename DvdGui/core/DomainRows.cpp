#include "DvdGui/core/DomainRows.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/DVDTypes.h"
#include "DVD/source/Menu.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DvdGui/core/GuiText.h"
#include "Shared/source/DvdFormat.h"

#include <cstring>

uint64_t GetTreeNodeSize(CDvdObject* pNode)
{
    switch (pNode->GetKind())
    {
    case DVDNODE_DVD: return static_cast<CDvd*>(pNode)->GetOutputSize();
    case DVDNODE_VMG: return static_cast<CVmg*>(pNode)->GetMenuVobSize();
    case DVDNODE_VTS:
    {
        CVts* pVts = static_cast<CVts*>(pNode);
        return 2 * pVts->GetIfoSize() + pVts->GetMenuVobSize() + pVts->GetTitleVobSize();
    }
    case DVDNODE_LANGUAGE_UNIT:
    {
        CBlockIndex blocks;
        static_cast<CLanguageUnit*>(pNode)->GetUsedBlocks(blocks);
        uint64_t nSize = 0;
        for (uint32_t i = 0; i < blocks.GetSize(); ++i)
            nSize += blocks[i]->GetOutputSize();
        return nSize;
    }
    default: return 0;
    }
}

CString GetOverTargetTip(uint64_t nSize, int nTargetMb)
{
    const uint64_t nTarget = uint64_t(nTargetMb > 0 ? nTargetMb : 0) * 1048576;
    if (nSize <= nTarget)
        return CString();
    return FormatString("Disk is %s larger than specified target size.",
                        static_cast<LPCSTR>(FormatMegabytes(nSize - nTarget)));
}

CString GetDeleteMenusText(WORD wLanguage)
{
    BYTE code[2];
    memcpy(code, &wLanguage, 2);
    const CPlainString text = GetLanguageCodeText(code[0], code[1]);
    return FormatString("&Delete %s menus", text.GetText() != nullptr ? text.GetText() : "");
}

std::vector<CVideoInfoRow> GetVideoInfoRows(const CVideoAttributes& video)
{
    std::vector<CVideoInfoRow> rows;
    rows.push_back({" Format ", FormatString(" %s (%dx%d)", video.GetStandard() == 1 ? "PAL" : "NTSC", video.GetWidth(),
                                             video.GetHeight())});
    const bool bWide = video.GetAspectRatio() == 3;
    if (bWide)
        rows.push_back({" Display ", " Wide (16:9)"});
    else
        rows.push_back(
            {" Display ", FormatString(" Normal (4:3)%s", (video.bytes[1] & 0x02) != 0 ? ", letterboxed" : "")});
    if (bWide)
    {
        CString strConversion;
        if ((video.bytes[0] & 0x01) == 0)
            strConversion += " letterbox";
        if ((video.bytes[0] & 0x02) == 0)
        {
            if (!strConversion.IsEmpty())
                strConversion += ", ";
            strConversion += " pan/scan";
        }
        if (strConversion.IsEmpty())
            strConversion = " none";
        rows.push_back({" Conversion to 4:3 ", strConversion});
    }
    return rows;
}
