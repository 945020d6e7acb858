#include "DvdGui/core/TileCaption.h"
#include "DVD/source/AngleBlock.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "DvdGui/core/GuiText.h"

namespace
{

bool HasAngleInfo(const CVobCell& unit)
{
    const PciPacket& pci = unit.GetFirstPci();
    for (int i = 0; i < 9; ++i)
        if (!pci.IsNsmlAgliEmpty(i))
            return true;
    return HasSeamlessAngleInfo(unit.GetFirstDsi());
}

} // namespace

CTileCaptionFacts GetTileCaptionFacts(CAngleBlock& block)
{
    CTileCaptionFacts facts;
    facts.nOutputSize = block.GetOutputSize();
    facts.bEdited = block.IsModified();
    if (block.GetIlvuCount() == 0)
        return facts;
    const CVobCell& unit = *block.GetIlvu(0);
    facts.nDurationTicks = int32_t(unit.GetLastPci().GetVobuEPtm() - unit.GetFirstPci().GetVobuSPtm());
    facts.nFrameRate = unit.GetFrameRate();
    facts.bButtons = block.HasButtons();
    if (facts.bButtons)
        for (uint32_t n = 0; n < block.GetIlvuCount(); ++n)
        {
            std::vector<uint32_t> counts;
            const CVobCell* pUnit = block.GetIlvu(n);
            for (uint32_t s = 0; s < pUnit->GetSegmentCount(); ++s)
                counts.push_back(pUnit->GetSegment(s)->GetButtonCount());
            facts.buttons.push_back(counts);
        }
    facts.bInterleaved = block.GetIlvuCount() > 1;
    facts.bMultiAngle = facts.bInterleaved && HasAngleInfo(unit);
    return facts;
}

CString FormatTileCaption(const CTileCaptionFacts& facts)
{
    CString text = " " + FormatMegabytes(facts.nOutputSize);
    text += " \n " + FormatPlaybackTime(MakeDvdTime(facts.nDurationTicks, facts.nFrameRate));
    if (facts.bButtons)
    {
        text += " \n ";
        bool bBraces = facts.buttons.size() > 1;
        for (const std::vector<uint32_t>& counts : facts.buttons)
        {
            if (bBraces)
                text += "{";
            for (size_t s = 0; s < counts.size(); ++s)
            {
                CString count;
                count.Format("%d", int(counts[s]));
                if (s > 0)
                    text += "+";
                text += count;
            }
            if (bBraces)
                text += "}";
        }
        text += " buttons";
    }
    if (facts.bInterleaved)
        text += facts.bMultiAngle ? " \n ILVU   MA" : " \n ILVU";
    if (facts.bEdited)
        text += " \n edited";
    text += " ";
    return text;
}

CString FormatRowTileCaption(const CTileCaptionFacts& facts)
{
    CString text = " " + FormatPlaybackTime(MakeDvdTime(facts.nDurationTicks, facts.nFrameRate));
    if (facts.bInterleaved)
        text += facts.bMultiAngle ? "\n ILVU   MA " : "\n ILVU ";
    if (facts.bEdited)
        text += "\n edited ";
    return text;
}
