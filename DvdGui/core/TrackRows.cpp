#include "DvdGui/core/TrackRows.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVDTypes.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DvdGui/core/GuiText.h"
#include "Shared/source/DvdFormat.h"

#include <functional>
#include <set>

namespace
{

CString LanguageText(const BYTE* pCode)
{
    const int nLanguage = FindLanguage(pCode[0], pCode[1]);
    return nLanguage >= 0 ? FormatString(" %s", GetLanguageName(nLanguage)) : CString();
}

void ForEachPgc(const CAngleBlockList& domain, const std::function<void(const CPgc&)>& visit)
{
    CDvdObject* pContainer = domain.GetPgcContainer();
    if (pContainer == nullptr)
        return;
    if (pContainer->GetKind() == DVDNODE_PGC_TABLE)
    {
        const CPgcTable* pTable = static_cast<const CPgcTable*>(pContainer->Self());
        for (uint32_t i = 0; i < pTable->GetPgcCount(); ++i)
            visit(*pTable->GetPgc(i));
        return;
    }
    const CLanguageUnits* pUnits = static_cast<const CLanguageUnits*>(pContainer->Self());
    for (uint32_t u = 0; u < pUnits->GetUnitCount(); ++u)
        for (uint32_t i = 0; i < pUnits->GetUnit(u)->GetPgcCount(); ++i)
            visit(*pUnits->GetUnit(u)->GetPgc(i));
}

std::vector<std::vector<BYTE>> ToRows(const std::vector<std::set<BYTE>>& streams)
{
    std::vector<std::vector<BYTE>> rows;
    for (const std::set<BYTE>& track : streams)
        rows.emplace_back(track.begin(), track.end());
    return rows;
}

} // namespace

CString GetAudioTrackInfo(const CAudioAttributes& attributes)
{
    CString strInfo = LanguageText(attributes.GetLanguageCode());
    if (!strInfo.IsEmpty())
        strInfo += ", ";
    strInfo +=
        FormatString(" %s %d-ch", GetAudioCodingName(attributes.GetCodingMode()), (attributes.bytes[1] & 0x07) + 1);
    if (attributes.GetCodeExtension() != 0)
    {
        strInfo += ", ";
        strInfo += GetAudioCodeExtensionText(attributes.GetCodeExtension());
    }
    return strInfo;
}

CString GetSubpictureTrackInfo(const CSubpictureAttributes& attributes)
{
    CString strInfo = LanguageText(attributes.GetLanguageCode());
    if (attributes.GetCodeExtension() != 0)
    {
        if (!strInfo.IsEmpty())
            strInfo += ", ";
        strInfo += GetSubpictureCodeExtensionText(attributes.GetCodeExtension());
    }
    return strInfo;
}

std::vector<std::vector<BYTE>> GetAudioTrackStreams(const CAngleBlockList& domain)
{
    const int nTracks = domain.GetStreams().GetAudioCount();
    std::vector<std::set<BYTE>> streams(size_t(nTracks > 0 ? nTracks : 0));
    ForEachPgc(domain,
               [&streams](const CPgc& pgc)
               {
                   for (size_t n = 0; n < streams.size() && n < size_t(PGC_AUDIO_CONTROLS); ++n)
                       if (pgc.m_audio[n].bEnabled && pgc.m_audio[n].nStream < PGC_AUDIO_CONTROLS)
                           streams[n].insert(pgc.m_audio[n].nStream);
               });
    return ToRows(streams);
}

std::vector<std::vector<BYTE>> GetSubpictureTrackStreams(const CAngleBlockList& domain)
{
    const CVideoAttributes& video = domain.GetStreams().GetVideo();
    const bool bWide = video.GetAspectRatio() == 3;
    // 4:3, wide, letterbox, pan-scan
    const bool forms[4] = {!bWide, bWide, bWide && (video.bytes[0] & 0x01) == 0, bWide && (video.bytes[0] & 0x02) == 0};
    const int nTracks = domain.GetStreams().GetSubpictureCount();
    std::vector<std::set<BYTE>> streams(size_t(nTracks > 0 ? nTracks : 0));
    ForEachPgc(domain,
               [&](const CPgc& pgc)
               {
                   for (size_t n = 0; n < streams.size() && n < size_t(PGC_SUBPICTURE_CONTROLS); ++n)
                   {
                       const CSubpictureControl& control = pgc.m_subpictures[n];
                       if (!control.bEnabled)
                           continue;
                       for (int f = 0; f < 4; ++f)
                           if (forms[f] && control.nStreams[f] < PGC_SUBPICTURE_CONTROLS)
                               streams[n].insert(control.nStreams[f]);
                   }
               });
    return ToRows(streams);
}

CString FormatStreamSize(uint64_t nBytes, bool bAllExact)
{
    if (bAllExact)
        return FormatMegabytes(nBytes);
    return FormatString("%s (est)", static_cast<LPCSTR>(FormatWholeMegabytes(nBytes)));
}

CSearchEntry GetSearchEntry(bool bPreliminaryDone, bool bAllExact, bool bScanning)
{
    if (!bPreliminaryDone)
        return {"&Preliminary search", false};
    if (!bAllExact && bScanning)
        return {"&Stop search", true};
    return {"&Find exact stream sizes", !bAllExact};
}
