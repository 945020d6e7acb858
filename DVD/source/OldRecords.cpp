#include "DVD/source/OldRecords.h"

#include "DVD/source/ProjectStream.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"

const char kBadArchive[] = "Bad archive";

namespace
{
// The refusals name the unit and line that reported them in the versions
// that wrote these records, so that their logs read alike.
void ReportBadArchive(CDvdLog& log, const char* pszUnit, int nLine)
{
    log.ReportError(kBadArchive, FormatLocation(pszUnit, nLine));
}

// Reads and drops nBytes.
bool Skip(CProjectReader& reader, uint32_t nBytes)
{
    uint8_t buffer[64];
    while (nBytes > 0)
    {
        const uint32_t nChunk = nBytes < sizeof(buffer) ? nBytes : uint32_t(sizeof(buffer));
        if (TransferBytes(reader, buffer, nChunk) != nChunk)
            return false;
        nBytes -= nChunk;
    }
    return true;
}

// One list of the frames set: its count in the record's width, then its
// entries. The count is held against the bytes left so that a damaged
// record cannot keep the loader reading past the end of the stream.
bool SkipFrameList(CDvdLog& log, CProjectReader& reader, bool bWideCount)
{
    uint32_t nCount = 0;
    if (bWideCount)
    {
        ReadDword(reader, nCount);
    }
    else
    {
        uint16_t wCount = 0;
        ReadWord(reader, wCount);
        nCount = wCount;
    }
    if (!reader.CanHold(nCount, MPEGFramesSet::kEntryBytes))
    {
        reader.SetOk(false);
        ReportBadArchive(log, "MPEGFramesSet.cpp", 23);
        return false;
    }
    for (uint32_t i = 0; i < nCount; ++i)
        Skip(reader, MPEGFramesSet::kEntryBytes);
    return true;
}
} // namespace

bool MPEGFramesSet::Load(CDvdLog& log, CProjectReader& reader)
{
    uint8_t nVersion = 0;
    ReadByte(reader, nVersion);
    if (nVersion > kNewestVersion)
    {
        ReportBadArchive(log, "MPEGFramesSet.cpp", 23);
        return false;
    }
    uint64_t qwValue = 0;
    uint32_t dwValue = 0;
    uint8_t nValue = 0;
    ReadQword(reader, qwValue);
    ReadDword(reader, dwValue);
    if (nVersion >= 2)
        ReadByte(reader, nValue);
    const bool bWideCounts = nVersion >= 3;
    return SkipFrameList(log, reader, bWideCounts) && SkipFrameList(log, reader, bWideCounts);
}

bool MPEGVideoSource::Load(CDvdLog& log, CProjectReader& reader)
{
    uint8_t nVersion = 0;
    ReadByte(reader, nVersion);
    if (nVersion != kVersion)
    {
        ReportBadArchive(log, "MPEGVideoSource.cpp", 15);
        return false;
    }
    // A refused frames set leaves the stream at an unknown place: reading on
    // would take the bytes of other records for these values.
    if (!MPEGFramesSet::Load(log, reader))
        return false;
    uint16_t wValue = 0;
    ReadWord(reader, wValue);
    ReadWord(reader, wValue);
    ReadWord(reader, wValue);
    return true;
}

bool MPEGVideoParser::Load(CDvdLog& log, CProjectReader& reader)
{
    uint8_t nVersion = 0;
    ReadByte(reader, nVersion);
    if (nVersion != kVersion)
    {
        ReportBadArchive(log, "MPEGVideoParser.cpp", 16);
        return false;
    }
    uint64_t qwValue = 0;
    uint32_t dwValue = 0;
    uint8_t nValue = 0;
    ReadQword(reader, qwValue);
    ReadDword(reader, dwValue);
    ReadDword(reader, dwValue);
    ReadByte(reader, nValue);
    ReadByte(reader, nValue);
    if (!Skip(reader, kBlockBytes))
    {
        reader.SetOk(false);
        ReportBadArchive(log, "MPEGVideoParser.cpp", 28);
        return false;
    }
    ReadDword(reader, dwValue);
    ReadDword(reader, dwValue);
    ReadQword(reader, qwValue);
    ReadDword(reader, dwValue);
    ReadDword(reader, dwValue);
    ReadQword(reader, qwValue);
    ReadDword(reader, dwValue);
    for (int i = 0; i < 5; ++i)
        ReadByte(reader, nValue);
    return true;
}
