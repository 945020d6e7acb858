// Project records of menu buttons and their segments.

#include "DVD/source/ProjectStream.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"

namespace
{
constexpr uint8_t kButtonRecordVersion = 1;
constexpr uint8_t kSegmentRecordVersion = 3;
// The segment stores its node flags from this version on.
constexpr uint8_t kSegmentFlagsVersion = 3;
// Written for readers of earlier versions, which expected it; not read back.
constexpr uint32_t kSegmentConstant = 13;

// A group entry in a record: display type, 3 reserved bytes, four
// neighbours, the rectangle, the command, auto action, 3 reserved bytes and
// the colour table number.
constexpr uint32_t kGroupEntryBytes = 52;
// Version, flags, group count and three entries.
constexpr uint32_t kButtonRecordBytes = 1 + 1 + 4 + BUTTON_MAX_GROUPS * kGroupEntryBytes;

void PutDword(BYTE* p, DWORD dwValue)
{
    for (int i = 0; i < 4; ++i)
        p[i] = BYTE(dwValue >> (8 * i));
}

DWORD GetDword(const BYTE* p)
{
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}
} // namespace

bool CDvdButton::Store(CDvdLog&, CProjectWriter& writer) const
{
    WriteByte(writer, kButtonRecordVersion);
    WriteByte(writer, GetFlags());
    WriteDword(writer, m_nGroups);
    for (const CButtonGroupEntry& group : m_groups)
    {
        // The reserved bytes carry nothing; they are written as zeros.
        BYTE entry[kGroupEntryBytes] = {};
        entry[0] = group.nDisplayType;
        for (int d = 0; d < BTNDIR_COUNT; ++d)
            PutDword(entry + 4 + 4 * d, DWORD(group.neighbours[d]));
        PutDword(entry + 20, group.dwXStart);
        PutDword(entry + 24, group.dwYStart);
        PutDword(entry + 28, group.dwXEnd);
        PutDword(entry + 32, group.dwYEnd);
        memcpy(entry + 36, group.command, sizeof(group.command));
        entry[44] = group.bAutoAction;
        PutDword(entry + 48, group.nColorTable);
        TransferBytes(writer, entry, sizeof(entry));
    }
    return writer.IsOk();
}

bool CDvdButton::Load(CDvdLog& log, CProjectReader& reader)
{
    uint8_t nVersion = 0;
    uint8_t nFlags = 0;
    uint32_t nGroups = 0;
    BYTE entries[BUTTON_MAX_GROUPS][kGroupEntryBytes];
    bool bOk = ReadByte(reader, nVersion) && nVersion == kButtonRecordVersion && GetKind() == DVDNODE_BUTTON &&
               ReadByte(reader, nFlags) && ReadDword(reader, nGroups);
    for (auto& entry : entries)
        bOk = bOk && TransferBytes(reader, entry, kGroupEntryBytes) == kGroupEntryBytes;
    // A button has one entry per display type it is shown in, at least one.
    if (!bOk || nGroups < 1 || nGroups > BUTTON_MAX_GROUPS)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    m_nGroups = nGroups;
    for (int g = 0; g < BUTTON_MAX_GROUPS; ++g)
    {
        const BYTE* entry = entries[g];
        CButtonGroupEntry& group = m_groups[g];
        group.nDisplayType = entry[0];
        for (int d = 0; d < BTNDIR_COUNT; ++d)
            group.neighbours[d] = int32_t(GetDword(entry + 4 + 4 * d));
        group.dwXStart = GetDword(entry + 20);
        group.dwYStart = GetDword(entry + 24);
        group.dwXEnd = GetDword(entry + 28);
        group.dwYEnd = GetDword(entry + 32);
        memcpy(group.command, entry + 36, sizeof(group.command));
        group.bAutoAction = entry[44];
        group.nColorTable = GetDword(entry + 48);
    }
    SetFlags(nFlags);
    return true;
}

CButtonSegment::CButtonSegment(uint32_t nFirstVobu, CVobCell* pParent)
    : CDvdObject(DVDNODE_BUTTON_SEGMENT, pParent), m_nFirstVobu(nFirstVobu)
{
}

bool CButtonSegment::Store(CDvdLog& log, CProjectWriter& writer) const
{
    if (m_buttons.GetSize() > kMaxButtons)
    {
        log.ReportError(FormatString("Too many buttons (%u).", m_buttons.GetSize()), DVD_LOCATION);
        return false;
    }
    WriteByte(writer, kSegmentRecordVersion);
    WriteByte(writer, GetFlags());
    WriteDword(writer, kSegmentConstant);
    WriteDword(writer, m_nFirstVobu);
    WriteDword(writer, m_nVobuCount);
    WriteWord(writer, uint16_t(m_buttons.GetSize()));
    for (uint32_t i = 0; i < m_buttons.GetSize(); ++i)
        if (!m_buttons[i]->Store(log, writer))
            return false;
    TransferBytes(writer, m_colors, sizeof(m_colors));
    WriteDword(writer, m_dwHliStartPtm);
    WriteDword(writer, m_dwHliEndPtm);
    WriteDword(writer, m_dwSelectEndPtm);
    WriteDword(writer, m_dwButtonOffset);
    WriteDword(writer, m_dwNumericCount);
    WriteDword(writer, uint32_t(m_nForcedSelect));
    WriteDword(writer, uint32_t(m_nForcedAction));
    return writer.IsOk();
}

CButtonSegment* CButtonSegment::Load(CDvdLog& log, CProjectReader& reader, CVobCell* pParent, uint8_t& nVersion)
{
    nVersion = 0;
    uint8_t nFlags = 0;
    uint32_t dwConstant = 0;
    uint32_t nFirstVobu = 0;
    uint32_t nVobuCount = 0;
    uint16_t nButtons = 0;
    bool bOk = ReadByte(reader, nVersion) && nVersion <= kSegmentRecordVersion;
    if (bOk && nVersion >= kSegmentFlagsVersion)
        bOk = ReadByte(reader, nFlags);
    bOk = bOk && ReadDword(reader, dwConstant) && ReadDword(reader, nFirstVobu) && ReadDword(reader, nVobuCount) &&
          ReadWord(reader, nButtons);
    if (!bOk)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return nullptr;
    }
    if (nButtons > kMaxButtons)
    {
        log.ReportError(FormatString("Too many buttons (%d).", int(nButtons)), DVD_LOCATION);
        return nullptr;
    }
    if (!reader.CanHold(nButtons, kButtonRecordBytes))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return nullptr;
    }

    CButtonSegment* pSegment = new CButtonSegment(nFirstVobu, pParent);
    pSegment->m_nVobuCount = nVobuCount;
    for (uint16_t i = 0; i < nButtons; ++i)
    {
        CDvdButton* pButton = new CDvdButton(pSegment);
        pSegment->m_buttons.Add(pButton);
        if (!pButton->Load(log, reader))
        {
            delete pSegment;
            return nullptr;
        }
    }
    bOk = TransferBytes(reader, pSegment->m_colors, sizeof(pSegment->m_colors)) == sizeof(pSegment->m_colors);
    if (bOk && nVersion >= kRecordTimesVersion)
    {
        uint32_t values[7] = {};
        for (uint32_t& dwValue : values)
            bOk = bOk && ReadDword(reader, dwValue);
        pSegment->m_dwHliStartPtm = values[0];
        pSegment->m_dwHliEndPtm = values[1];
        pSegment->m_dwSelectEndPtm = values[2];
        pSegment->m_dwButtonOffset = values[3];
        pSegment->m_dwNumericCount = values[4];
        pSegment->m_nForcedSelect = int32_t(values[5]);
        pSegment->m_nForcedAction = int32_t(values[6]);
    }
    if (!bOk)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        delete pSegment;
        return nullptr;
    }
    pSegment->SetFlags(nFlags);
    return pSegment;
}
