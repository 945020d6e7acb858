// Project records of PGC tables, PGCs, their command tables and cell lists,
// and the menu language units that hold menu PGC tables.
//
// A cell entry names its block by the number under which the domain's record
// stored it: its index in the domain's blocks, handed in as a plain array.

#include "DVD/source/AngleBlock.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/ProjectStream.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

namespace
{
constexpr uint8_t kTableRecordVersion = 1;
constexpr uint8_t kUnitsRecordVersion = 1;

// PGC record versions and what each added.
constexpr uint8_t kPgcRecordVersion = 5;
constexpr uint8_t kPgcFixedControls = 2; // fixed-size stream control tables
constexpr uint8_t kPgcCellCommands = 3;  // the cell-command table
constexpr uint8_t kPgcStillTime = 4;     // the PGC's still time
constexpr uint8_t kPgcMenuEntryBit = 5;  // menu PGCs carry the entry bit themselves

constexpr uint8_t kCommandsRecordVersion = 2;
constexpr uint8_t kCommandMarks = 2; // a mark byte after each command

constexpr uint8_t kCellsRecordVersion = 4;
constexpr uint8_t kCellAngles = 3;   // the angles an entry plays
constexpr uint8_t kCellSeamless = 4; // the seamless flag

// An entry plays at most this many angles.
constexpr uint32_t kMaxAngles = 9;

// Smallest records, to hold counts against the bytes left: a PGC of
// version 1 is 100 bytes; a cell entry of version 1 is 6; a unit is its
// code and an empty table's 5 bytes.
constexpr uint32_t kMinPgcRecordBytes = 100;
constexpr uint32_t kMinCellBytes = 6;
constexpr uint32_t kMinUnitBytes = 2 + 5;

bool FindBlockNumber(const CBlockIndex& blocks, const CAngleBlock* pBlock, uint16_t& nNumber)
{
    const int32_t nCount = blocks.GetSize() < 0x10000 ? blocks.GetSize() : 0x10000;
    for (int32_t i = 0; i < nCount; ++i)
    {
        if (blocks[i] == pBlock)
        {
            nNumber = uint16_t(i);
            return true;
        }
    }
    return false;
}
} // namespace

// ---- Command tables ---------------------------------------------------------------

bool CPgcCommands::Store(CProjectWriter& writer) const
{
    WriteByte(writer, kCommandsRecordVersion);
    WriteByte(writer, GetFlags());
    WriteWord(writer, uint16_t(GetCount()));
    for (uint32_t i = 0; i < GetCount(); ++i)
    {
        TransferBytes(writer, m_commands[i]->bytes, PGC_COMMAND_SIZE);
        WriteByte(writer, GetMark(i));
    }
    return writer.IsOk();
}

bool CPgcCommands::Load(CProjectReader& reader, CDvdLog& log)
{
    uint8_t nVersion = 0;
    if (!ReadByte(reader, nVersion) || nVersion > kCommandsRecordVersion)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    Empty();
    uint8_t nFlags = 0;
    uint16_t nCount = 0;
    const uint32_t nEntryBytes = PGC_COMMAND_SIZE + (nVersion >= kCommandMarks ? 1 : 0);
    if (!ReadByte(reader, nFlags) || !ReadWord(reader, nCount) || nCount > PGC_MAX_COMMANDS ||
        !reader.CanHold(nCount, nEntryBytes))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    for (uint16_t i = 0; i < nCount; ++i)
    {
        CPgcCommand command;
        uint8_t nMark = 0;
        if (TransferBytes(reader, command.bytes, PGC_COMMAND_SIZE) != PGC_COMMAND_SIZE ||
            (nVersion >= kCommandMarks && !ReadByte(reader, nMark)))
        {
            log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
            return false;
        }
        m_marks[int32_t(Add(command.bytes))] = nMark;
    }
    SetFlags(nFlags);
    return true;
}

// ---- Cell list ------------------------------------------------------------------------

bool CPgcBlockList::Store(CDvdLog& log, CProjectWriter& writer, const CBlockIndex& blocks) const
{
    const CPgc* pPgc = static_cast<const CPgc*>(GetParent());
    WriteByte(writer, kCellsRecordVersion);
    WriteByte(writer, GetFlags());
    const uint32_t nCells = pPgc != nullptr ? pPgc->GetCellCount() : 0;
    if (nCells > 0xFFFF)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    WriteWord(writer, uint16_t(nCells));
    for (uint32_t i = 0; i < nCells; ++i)
    {
        const CPgcCell* pCell = pPgc->GetCell(i);
        uint16_t nBlock = 0;
        if (!FindBlockNumber(blocks, pCell->GetBlock(), nBlock) || uint32_t(pCell->GetAngleCount()) > kMaxAngles)
        {
            log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
            return false;
        }
        WriteByte(writer, pCell->m_bRestricted);
        WriteByte(writer, pCell->m_nStillTime);
        WriteByte(writer, pCell->m_nCellCommand);
        WriteByte(writer, pCell->m_bSeamless);
        WriteWord(writer, nBlock);
        WriteByte(writer, uint8_t(pCell->GetAngleCount()));
        for (int a = 0; a < pCell->GetAngleCount(); ++a)
            WriteByte(writer, pCell->GetAngle(a));
    }
    return writer.IsOk();
}

bool CPgcBlockList::Load(CProjectReader& reader, CDvdLog& log, const CBlockIndex& blocks)
{
    CPgc* pPgc = static_cast<CPgc*>(GetParent());
    uint8_t nVersion = 0;
    if (pPgc == nullptr || !ReadByte(reader, nVersion) || nVersion > kCellsRecordVersion)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    uint8_t nFlags = 0;
    uint16_t nCount = 0;
    if (!ReadByte(reader, nFlags) || !ReadWord(reader, nCount) || !reader.CanHold(nCount, kMinCellBytes))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    for (uint16_t i = 0; i < nCount; ++i)
    {
        uint8_t bRestricted = 0, nStillTime = 0, nCellCommand = 0, bSeamless = 1;
        uint16_t nBlock = 0;
        bool bOk = ReadByte(reader, bRestricted) && ReadByte(reader, nStillTime) && ReadByte(reader, nCellCommand);
        if (nVersion >= kCellSeamless)
            bOk = bOk && ReadByte(reader, bSeamless);
        bOk = bOk && ReadWord(reader, nBlock) && nBlock < uint32_t(blocks.GetSize()) && blocks[nBlock] != nullptr;
        CGrowArray<BYTE> angles;
        if (bOk && nVersion >= kCellAngles)
        {
            uint8_t nAngles = 0;
            bOk = ReadByte(reader, nAngles) && nAngles <= kMaxAngles;
            for (uint8_t a = 0; bOk && a < nAngles; ++a)
            {
                uint8_t nAngle = 0;
                bOk = ReadByte(reader, nAngle);
                angles.Add(nAngle);
            }
        }
        else if (bOk)
        {
            // Older entries play every angle of their block.
            const uint32_t nIlvus = blocks[nBlock]->GetIlvuCount();
            for (uint32_t a = 0; a < nIlvus && a < kMaxAngles; ++a)
                angles.Add(BYTE(a));
        }
        if (!bOk)
        {
            log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
            return false;
        }
        pPgc->AddCell(new CPgcCell(bSeamless, bRestricted, nStillTime, nCellCommand, blocks[nBlock], angles, pPgc));
    }
    SetFlags(nFlags);
    return true;
}

// ---- PGC ---------------------------------------------------------------------------------

bool CPgc::Store(CDvdLog& log, CProjectWriter& writer, const CBlockIndex& blocks) const
{
    // The record keeps a program's first entry in one byte: a chain edited
    // beyond it cannot be stored faithfully.
    for (int i = 0; i < GetProgramCount(); ++i)
    {
        if (GetProgramStart(i) > 0xFF || GetProgramCount() > 0xFFFF)
        {
            log.ReportError(FormatString("Program %d starts at cell %u, beyond what a project holds.", i + 1,
                                         unsigned(GetProgramStart(i)) + 1),
                            DVD_LOCATION);
            return false;
        }
    }
    WriteByte(writer, kPgcRecordVersion);
    WriteByte(writer, GetFlags());
    const BYTE nRateBits = GetPlaybackTime().frames & DVDTIME_RATE_MASK;
    WriteByte(writer, nRateBits == DVDTIME_RATE_25 ? 25 : 30);
    WriteByte(writer, m_nMenu);
    WriteByte(writer, m_nCategory);
    WriteWord(writer, m_wParentalMask);
    WriteDword(writer, m_uops.GetMask());
    for (const CAudioControl& audio : m_audio)
    {
        WriteByte(writer, audio.nStream);
        WriteByte(writer, audio.bEnabled);
    }
    for (const CSubpictureControl& subpicture : m_subpictures)
    {
        TransferBytes(writer, subpicture.nStreams, sizeof(subpicture.nStreams));
        WriteByte(writer, subpicture.bEnabled);
    }
    WriteWord(writer, m_wNextPgc);
    WriteWord(writer, m_wPrevPgc);
    WriteWord(writer, m_wGoUpPgc);
    WriteByte(writer, m_nPlaybackMode);
    WriteByte(writer, m_nStillTime);
    TransferBytes(writer, m_colours.colours, sizeof(m_colours.colours));
    if (!m_preCommands.Store(writer) || !m_postCommands.Store(writer) || !m_cellCommands.Store(writer) ||
        !m_blockList.Store(log, writer, blocks))
        return false;
    WriteWord(writer, uint16_t(GetProgramCount()));
    for (int i = 0; i < GetProgramCount(); ++i)
        WriteByte(writer, uint8_t(GetProgramStart(i)));
    return writer.IsOk();
}

bool CPgc::Load(CDvdLog& log, CProjectReader& reader, const CBlockIndex& blocks, CDvdProgress* pProgress)
{
    uint8_t nVersion = 0;
    if (!ReadByte(reader, nVersion) || nVersion < 1 || nVersion > kPgcRecordVersion)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    Clear();
    uint8_t nFlags = 0, nRate = 0;
    uint32_t dwUops = 0;
    ReadByte(reader, nFlags);
    ReadByte(reader, nRate);
    ReadByte(reader, m_nMenu);
    ReadByte(reader, m_nCategory);
    ReadWord(reader, m_wParentalMask);
    ReadDword(reader, dwUops);
    m_uops.SetMask(dwUops);
    if (nVersion >= kPgcFixedControls)
    {
        for (CAudioControl& audio : m_audio)
        {
            ReadByte(reader, audio.nStream);
            ReadByte(reader, audio.bEnabled);
        }
        for (CSubpictureControl& subpicture : m_subpictures)
        {
            TransferBytes(reader, subpicture.nStreams, sizeof(subpicture.nStreams));
            ReadByte(reader, subpicture.bEnabled);
        }
    }
    else
    {
        // The first records kept only the enabled entries, each with a count.
        uint16_t nCount = 0;
        if (!ReadWord(reader, nCount) || nCount > PGC_AUDIO_CONTROLS)
        {
            log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
            return false;
        }
        for (uint16_t i = 0; i < nCount; ++i)
        {
            ReadByte(reader, m_audio[i].nStream);
            m_audio[i].bEnabled = 1;
        }
        if (!ReadWord(reader, nCount) || nCount > PGC_SUBPICTURE_CONTROLS)
        {
            log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
            return false;
        }
        for (uint16_t i = 0; i < nCount; ++i)
        {
            TransferBytes(reader, m_subpictures[i].nStreams, sizeof(m_subpictures[i].nStreams));
            m_subpictures[i].bEnabled = 1;
        }
    }
    ReadWord(reader, m_wNextPgc);
    ReadWord(reader, m_wPrevPgc);
    ReadWord(reader, m_wGoUpPgc);
    ReadByte(reader, m_nPlaybackMode);
    if (nVersion >= kPgcStillTime)
        ReadByte(reader, m_nStillTime);
    TransferBytes(reader, m_colours.colours, sizeof(m_colours.colours));
    if (!reader.IsOk())
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    if (!m_preCommands.Load(reader, log) || !m_postCommands.Load(reader, log) ||
        (nVersion >= kPgcCellCommands && !m_cellCommands.Load(reader, log)) || !m_blockList.Load(reader, log, blocks))
        return false;

    uint16_t nPrograms = 0;
    if (!ReadWord(reader, nPrograms) || !reader.CanHold(nPrograms, 1))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    for (uint16_t i = 0; i < nPrograms; ++i)
    {
        uint8_t nFirstCell = 0;
        ReadByte(reader, nFirstCell);
        AddProgram(nFirstCell);
    }
    if (!reader.IsOk())
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    if (nVersion < kPgcMenuEntryBit && m_nMenu != 0 && GetMenuType() != 0)
        m_nCategory |= 0x80;
    SetFlags(nFlags);
    if (pProgress != nullptr)
        pProgress->SetPosition(reader.GetTransferred());
    return true;
}

// ---- PGC table ---------------------------------------------------------------------------

bool CPgcTable::Store(CDvdLog& log, CProjectWriter& writer, const CBlockIndex& blocks) const
{
    if (m_pgcs.GetSize() > 0xFFFF)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    WriteByte(writer, kTableRecordVersion);
    WriteByte(writer, GetFlags());
    WriteByte(writer, m_nMenu);
    WriteWord(writer, uint16_t(m_pgcs.GetSize()));
    for (uint32_t i = 0; i < m_pgcs.GetSize(); ++i)
    {
        if (!m_pgcs[i]->Store(log, writer, blocks))
        {
            log.ReportInfo(FormatString("Can't write PGC (%u)", i + 1), DVD_LOCATION);
            return false;
        }
    }
    return writer.IsOk();
}

bool CPgcTable::Load(CDvdLog& log, CProjectReader& reader, const CBlockIndex& blocks, CDvdProgress* pProgress)
{
    uint8_t nVersion = 0;
    if (!ReadByte(reader, nVersion) || nVersion != kTableRecordVersion)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    SetModified();
    RemoveAll();
    uint8_t nFlags = 0;
    uint16_t nCount = 0;
    if (!ReadByte(reader, nFlags) || !ReadByte(reader, m_nMenu) || !ReadWord(reader, nCount) ||
        !reader.CanHold(nCount, kMinPgcRecordBytes))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    for (uint16_t i = 0; i < nCount; ++i)
    {
        CPgc* pPgc = new CPgc(m_nMenu, this);
        AddPgc(pPgc);
        if (!pPgc->Load(log, reader, blocks, pProgress))
        {
            log.ReportInfo(FormatString("Can't read PGC (%u)", unsigned(i) + 1), DVD_LOCATION);
            return false;
        }
    }
    SetFlags(nFlags);
    return true;
}

// ---- Language units ----------------------------------------------------------------------

bool CLanguageUnits::Store(CDvdLog& log, CProjectWriter& writer, const CBlockIndex& blocks) const
{
    if (m_units.GetSize() > 0xFFFF)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    WriteByte(writer, kUnitsRecordVersion);
    WriteByte(writer, GetFlags());
    WriteWord(writer, uint16_t(m_units.GetSize()));
    for (uint32_t i = 0; i < m_units.GetSize(); ++i)
    {
        BYTE code[2];
        m_units[i]->GetLanguageBytes(code);
        TransferBytes(writer, code, sizeof(code));
        if (!m_units[i]->CPgcTable::Store(log, writer, blocks))
        {
            log.ReportInfo(FormatString("Can't write LU (%u)", i + 1), DVD_LOCATION);
            return false;
        }
    }
    return writer.IsOk();
}

bool CLanguageUnits::Load(CDvdLog& log, CProjectReader& reader, const CBlockIndex& blocks, CDvdProgress* pProgress)
{
    uint8_t nVersion = 0;
    if (!ReadByte(reader, nVersion) || nVersion != kUnitsRecordVersion)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    uint8_t nFlags = 0;
    uint16_t nCount = 0;
    ReadByte(reader, nFlags);
    RemoveAll();
    if (!ReadWord(reader, nCount) || !reader.CanHold(nCount, kMinUnitBytes))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    for (uint16_t i = 0; i < nCount; ++i)
    {
        BYTE code[2] = {};
        TransferBytes(reader, code, sizeof(code));
        CLanguageUnit* pUnit = AddUnit();
        pUnit->SetLanguageBytes(code);
        if (!pUnit->CPgcTable::Load(log, reader, blocks, pProgress))
        {
            log.ReportInfo(FormatString("Can't read LU (%u)", unsigned(i) + 1), DVD_LOCATION);
            return false;
        }
    }
    SetFlags(nFlags);
    return true;
}
