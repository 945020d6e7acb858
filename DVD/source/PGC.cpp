#include "DVD/source/PGC.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/BlockCollector.h"
#include "DVD/source/DVD.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/RefCollector.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VMG.h"
#include "DVD/source/Validator.h"
#include "DVD/source/VobCell.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace
{

// PGC_GI field offsets.
const size_t GI_PROGRAM_COUNT = 2;
const size_t GI_CELL_COUNT = 3;
const size_t GI_PLAYBACK_TIME = 4;
const size_t GI_UOPS = 8;
const size_t GI_AUDIO = 12;
const size_t GI_SUBPICTURE = 28;
const size_t GI_NEXT = 156;
const size_t GI_PREV = 158;
const size_t GI_GOUP = 160;
const size_t GI_PLAYBACK_MODE = 162;
const size_t GI_STILL_TIME = 163;
const size_t GI_COLOURS = 164;
const size_t GI_COMMANDS_OFFSET = 228;
const size_t GI_PROGRAM_MAP_OFFSET = 230;
const size_t GI_CELL_PLAYBACK_OFFSET = 232;
const size_t GI_CELL_POSITION_OFFSET = 234;

const size_t COMMAND_TABLE_HEADER_SIZE = 8;
const size_t CELL_PLAYBACK_SIZE = 24;
const size_t CELL_POSITION_SIZE = 4;

// The IFO counts programs and cells in single bytes.
const uint32_t MAX_IFO_COUNT = 255;
// Offsets inside a PGCI are 16-bit.
const size_t MAX_PGCI_SIZE = 0xFFFF;

bool HasNavigation(const CPgcCommands& commands)
{
    for (uint32_t i = 0; i < commands.GetCount(); ++i)
        if (IsNavigationCommand(commands.GetCommand(i)))
            return true;
    return false;
}

WORD GetRegisters(const CPgcCommands& commands)
{
    WORD wRegisters = 0;
    for (uint32_t i = 0; i < commands.GetCount(); ++i)
        wRegisters |= GetCommandGeneralRegisters(commands.GetCommand(i));
    return wRegisters;
}

DWORD GetDuration(const CVobCell* pIlvu)
{
    return pIlvu->GetLastPci().GetVobuEPtm() - pIlvu->GetFirstPci().GetVobuSPtm();
}

} // namespace

// ---- CPgcCommands -----------------------------------------------------------------

CPgcCommands::CPgcCommands(CPgc* pParent) : CDvdObject(DVDNODE_PGC_COMMANDS, pParent)
{
}

bool CPgcCommands::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    for (uint32_t i = 0; i < GetCount(); ++i)
        bReported = validator.Check(GetReference(i), messages) || bReported;
    return bReported;
}

uint32_t CPgcCommands::Add(CPgcCommand* pCommand)
{
    m_marks.Add(0);
    SetModified();
    return m_commands.Add(pCommand);
}

uint32_t CPgcCommands::Add(const BYTE* pCommand)
{
    CPgcCommand* pCopy = new CPgcCommand;
    memcpy(pCopy->bytes, pCommand, PGC_COMMAND_SIZE);
    return Add(pCopy);
}

uint32_t CPgcCommands::InsertAt(uint32_t nIndex, const BYTE* pCommand)
{
    const uint32_t nCount = m_commands.GetSize();
    if (nIndex > nCount)
        nIndex = nCount;

    if (GetGroup() == PGC_GROUP_CELL)
    {
        const CPgc* pPgc = static_cast<const CPgc*>(GetParent());
        for (uint32_t i = 0; i < pPgc->GetCellCount(); ++i)
        {
            CPgcCell* pCell = pPgc->GetCell(i);
            if (pCell->m_nCellCommand > nIndex)
            {
                ++pCell->m_nCellCommand;
                pCell->SetModified();
            }
        }
    }

    CPgcCommand* pCopy = new CPgcCommand;
    memcpy(pCopy->bytes, pCommand, PGC_COMMAND_SIZE);
    m_commands.SetSize(nCount + 1);
    m_marks.SetSize(int32_t(nCount) + 1);
    CPgcCommand** ppCommands = m_commands.GetData();
    for (uint32_t i = nCount; i > nIndex; --i)
    {
        ppCommands[i] = ppCommands[i - 1];
        m_marks[int32_t(i)] = m_marks[int32_t(i) - 1];
    }
    ppCommands[nIndex] = pCopy;
    m_marks[int32_t(nIndex)] = 0;

    for (uint32_t i = 0; i <= nCount; ++i)
        RetargetCommand(ppCommands[i]->bytes, RETARGET_LINE, int(nIndex) + 1, 1, RETARGET_NO_LIMIT);
    SetModified();
    return nIndex;
}

void CPgcCommands::ClearMarks()
{
    SetFlags(GetFlags() & ~DVDFLAG_MARK);
    for (int32_t i = 0; i < m_marks.GetSize(); ++i)
        m_marks[i] = 0;
}

void CPgcCommands::Empty()
{
    if (m_commands.GetSize() > 0)
        SetModified();
    m_commands.RemoveAll();
    m_marks.SetSize(0);
}

uint8_t CPgcCommands::GetGroup() const
{
    const CPgc* pPgc = static_cast<const CPgc*>(GetParent());
    if (!pPgc || pPgc->GetKind() != DVDNODE_PGC)
        return PGC_GROUP_NONE;
    if (this == &pPgc->m_preCommands)
        return PGC_GROUP_PRE;
    if (this == &pPgc->m_postCommands)
        return PGC_GROUP_POST;
    if (this == &pPgc->m_cellCommands)
        return PGC_GROUP_CELL;
    return PGC_GROUP_NONE;
}

CDvdReference CPgcCommands::GetReference(uint32_t nIndex) const
{
    return CDvdReference(const_cast<CPgcCommands*>(this), GetGroup(), nIndex);
}

void CPgcCommands::CopyFrom(const CPgcCommands& src)
{
    m_commands.RemoveAll();
    for (uint32_t i = 0; i < src.GetCount(); ++i)
    {
        CPgcCommand* pCopy = new CPgcCommand(*src.m_commands[i]);
        m_commands.Add(pCopy);
    }
    m_marks = src.m_marks;
    CDvdObject::operator=(src);
}

// ---- CPgcBlockList --------------------------------------------------------------------

CPgcBlockList::CPgcBlockList(CPgc* pParent) : CDvdObject(DVDNODE_PGC_BLOCK_LIST, pParent)
{
}

bool CPgcBlockList::IsModified() const
{
    if (CDvdObject::IsModified())
        return true;
    const CPgc* pPgc = static_cast<const CPgc*>(GetParent());
    for (uint32_t i = 0; i < pPgc->GetCellCount(); ++i)
        if (pPgc->GetCell(i)->IsModified())
            return true;
    return false;
}

void CPgcBlockList::ClearModified()
{
    CDvdObject::ClearModified();
    const CPgc* pPgc = static_cast<const CPgc*>(GetParent());
    for (uint32_t i = 0; i < pPgc->GetCellCount(); ++i)
        pPgc->GetCell(i)->ClearModified();
}

bool CPgcBlockList::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    const CPgc* pPgc = static_cast<const CPgc*>(GetParent());
    for (uint32_t i = 0; i < pPgc->GetCellCount(); ++i)
        bReported = pPgc->GetCell(i)->Validate(validator, messages) || bReported;
    return bReported;
}

// ---- CPgcCell ---------------------------------------------------------------------------

CPgcCell::CPgcCell(BYTE bSeamless, BYTE bRestricted, BYTE nStillTime, BYTE nCellCommand, CAngleBlock* pBlock,
                   const CGrowArray<BYTE>& angles, CPgc* pParent)
    : CDvdObject(DVDNODE_PGC_CELL, pParent), m_bRestricted(bRestricted), m_nStillTime(nStillTime),
      m_bSeamless(bSeamless), m_nCellCommand(nCellCommand), m_pBlock(pBlock), m_angles(angles)
{
}

bool CPgcCell::IsModified() const
{
    return CDvdObject::IsModified() || (m_pBlock && m_pBlock->IsModified());
}

void CPgcCell::ClearModified()
{
    CDvdObject::ClearModified();
    if (m_pBlock)
        m_pBlock->ClearModified();
}

bool CPgcCell::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    for (int a = 0; a < GetAngleCount(); ++a)
    {
        CVobCell* pIlvu = GetIlvu(a);
        if (pIlvu)
            bReported = pIlvu->Validate(validator, messages) || bReported;
    }
    return bReported;
}

CPgc* CPgcCell::GetPgc() const
{
    return static_cast<CPgc*>(GetParent());
}

CVobCell* CPgcCell::GetIlvu(int nPosition) const
{
    if (!m_pBlock || nPosition < 0 || nPosition >= m_angles.GetSize())
        return nullptr;
    return m_pBlock->GetIlvu(m_angles[nPosition]);
}

bool CPgcCell::HasButtons() const
{
    for (int i = 0; i < GetAngleCount(); ++i)
        if (const CVobCell* pIlvu = GetIlvu(i))
            if (pIlvu->HasButtons())
                return true;
    return false;
}

bool CPgcCell::HasNavigatingButtons() const
{
    for (int i = 0; i < GetAngleCount(); ++i)
        if (const CVobCell* pIlvu = GetIlvu(i))
            if (pIlvu->HasNavigatingButtons())
                return true;
    return false;
}

BYTE CPgcCell::GetSeamlessFlag() const
{
    const CPgc* pPgc = GetPgc();
    const int nIndex = pPgc->GetChildIndex(this);
    if (nIndex <= 0)
        return 0;
    const CPgcCell* pPrevious = pPgc->GetCell(uint32_t(nIndex - 1));
    const CVobCell* pPreviousIlvu = pPrevious->GetIlvu(0);
    if ((pPreviousIlvu && pPreviousIlvu->IsBlank()) || pPrevious->m_nCellCommand != 0 || pPrevious->m_nStillTime != 0)
        return 0;
    return m_bSeamless;
}

void CPgcCell::WriteCellPlayback(CDvdLog& log, BYTE* pDest, int nPosition, WORD& wPrevVobId, DWORD& dwPrevEnd) const
{
    const CVobCell* pIlvu = GetIlvu(nPosition);

    BYTE nCategory = 0;
    const int nAngles = GetAngleCount();
    if (nAngles > 1)
        nCategory = nPosition == 0 ? 0x50 : (nPosition == nAngles - 1 ? 0xD0 : 0x90);
    if (GetSeamlessFlag())
        nCategory |= 0x08;
    if (pIlvu && pIlvu->IsInterleaved())
        nCategory |= 0x04;
    const bool bContinuous = pIlvu && pIlvu->GetVobId() == wPrevVobId && pIlvu->GetFirstScr() != 0 &&
                             !pIlvu->HasStillSource() && pIlvu->GetFirstVobuSector() == dwPrevEnd + 1;
    if (!bContinuous)
        nCategory |= 0x02;
    if (pIlvu && HasSeamlessAngleInfo(pIlvu->GetFirstDsi()))
        nCategory |= 0x01;

    pDest[0] = nCategory;
    pDest[1] = m_bRestricted ? 0x20 : 0;
    pDest[2] = m_nStillTime;
    pDest[3] = m_nCellCommand;
    if (pIlvu)
    {
        MakeDvdTime(int32_t(GetDuration(pIlvu)), pIlvu->GetFrameRate()).ToBytes(pDest + 4);
        PutBE32(pDest + 8, pIlvu->GetFirstVobuSector());
        PutBE32(pDest + 12, pIlvu->GetFirstIlvuEndSector());
        PutBE32(pDest + 16, pIlvu->GetLastVobuSector());
        PutBE32(pDest + 20, pIlvu->GetLastVobuEndSector());
        wPrevVobId = pIlvu->GetVobId();
        dwPrevEnd = pIlvu->GetLastVobuEndSector();
    }

    const CPgc* pPgc = GetPgc();
    if (m_nCellCommand > pPgc->m_cellCommands.GetCount())
        log.ReportWarning(FormatString("Command# %d for block %d is large then amount of cell commands (%d) in "
                                       "this PGC. Ignore it. Disk may not play right.",
                                       m_nCellCommand, pPgc->GetChildIndex(this), int(pPgc->m_cellCommands.GetCount())),
                          DVD_LOCATION);
}

void CPgcCell::SetCellCommand(const BYTE* pCommand)
{
    const uint32_t nIndex = GetPgc()->m_cellCommands.Add(pCommand);
    const BYTE nNumber = BYTE(nIndex + 1);
    if (m_nCellCommand != nNumber)
    {
        m_nCellCommand = nNumber;
        SetModified();
    }
}

bool CPgcCell::SetBlock(CAngleBlock* pBlock, bool bDirect, bool bRefresh)
{
    if (!bDirect)
    {
        pBlock = MakeOwnBlock(pBlock);
        if (!pBlock)
            return false;
    }
    m_pBlock = pBlock;
    m_angles.SetSize(1);
    m_angles[0] = 0;
    const CVobCell* pIlvu = GetIlvu(0);
    if (pIlvu && pIlvu->IsBlank())
        m_nStillTime = 0;
    SetModified();
    if (bRefresh)
        if (CDvd* pDvd = GetDvd())
            pDvd->RemoveOrphanBlocks();
    return true;
}

CAngleBlock* CPgcCell::MakeOwnBlock(const CAngleBlock* pContent)
{
    CAngleBlock* pCurrent = m_pBlock;
    if (!pCurrent)
        return nullptr;
    // Several ILVUs whose packs name no angles are runs of video, not angles:
    // the cell keeps the one it plays first as a block of its own.
    if (pCurrent->GetIlvuCount() > 1 && pCurrent->GetIlvu(0)->GetAngleCount() == 0 && pCurrent->SeparateAngles())
        pCurrent = m_pBlock;
    CAngleBlock* pOwn = pCurrent->Duplicate();
    if (!pOwn)
        return nullptr;
    // The notices of the change below reach this cell alone.
    m_pBlock = pOwn;
    if (pContent ? pOwn->CopyContentFrom(pContent, true) : pOwn->SetBlank())
        return pOwn;
    // Nothing could be put in (no blank stock cell): the cell keeps playing
    // what it played.
    m_pBlock = pCurrent;
    CAngleBlockList* pList = pOwn->GetList();
    const int nOwn = pList ? pList->GetBlockIndex(pOwn) : -1;
    if (nOwn >= 0)
        pList->RemoveBlock(uint32_t(nOwn), false);
    return nullptr;
}

// ---- CPgc ------------------------------------------------------------------------------------

CPgc::CPgc(BYTE nMenu, CDvdObject* pParent)
    : CDvdObject(DVDNODE_PGC, pParent), m_nMenu(nMenu), m_nCategory(0), m_wParentalMask(0), m_wNextPgc(0),
      m_wPrevPgc(0), m_wGoUpPgc(0), m_nStillTime(0), m_nPlaybackMode(0), m_preCommands(this), m_postCommands(this),
      m_cellCommands(this), m_blockList(this)
{
}

CPgc::CPgc(const CPgc& src, const CBlockMap* pBlockMap, CDvdObject* pParent)
    : CDvdObject(src, pParent), m_nMenu(src.m_nMenu), m_nCategory(0), m_wParentalMask(0), m_wNextPgc(0), m_wPrevPgc(0),
      m_wGoUpPgc(0), m_nStillTime(0), m_nPlaybackMode(0), m_preCommands(this), m_postCommands(this),
      m_cellCommands(this), m_blockList(this)
{
    Assign(src, pBlockMap);
}

CPgc::~CPgc() = default;

void CPgc::Assign(const CPgc& src, const CBlockMap* pBlockMap)
{
    if (&src == this)
        return;
    Clear();
    m_nCategory = src.m_nCategory;
    m_wParentalMask = src.m_wParentalMask;
    m_uops = src.m_uops;
    memcpy(m_audio, src.m_audio, sizeof(m_audio));
    memcpy(m_subpictures, src.m_subpictures, sizeof(m_subpictures));
    m_wNextPgc = src.m_wNextPgc;
    m_wPrevPgc = src.m_wPrevPgc;
    m_wGoUpPgc = src.m_wGoUpPgc;
    m_nStillTime = src.m_nStillTime;
    m_nPlaybackMode = src.m_nPlaybackMode;
    m_colours = src.m_colours;
    m_preCommands.CopyFrom(src.m_preCommands);
    m_postCommands.CopyFrom(src.m_postCommands);
    m_cellCommands.CopyFrom(src.m_cellCommands);
    for (uint32_t i = 0; i < src.GetCellCount(); ++i)
    {
        const CPgcCell* pSource = src.GetCell(i);
        CAngleBlock* pBlock = pBlockMap ? pBlockMap->Lookup(pSource->m_pBlock) : pSource->m_pBlock;
        CPgcCell* pCell = new CPgcCell(pSource->m_bSeamless, pSource->m_bRestricted, pSource->m_nStillTime,
                                       pSource->m_nCellCommand, pBlock, pSource->m_angles, this);
        pCell->CDvdObject::operator=(*pSource);
        m_cells.Add(pCell);
    }
    m_programs = src.m_programs;
    CDvdObject::operator=(src);
}

void CPgc::Clear()
{
    m_nCategory = 0;
    m_wParentalMask = 0;
    m_uops = CUopMask();
    for (CAudioControl& audio : m_audio)
        audio = CAudioControl();
    for (CSubpictureControl& subpicture : m_subpictures)
        subpicture = CSubpictureControl();
    m_wNextPgc = 0;
    m_wPrevPgc = 0;
    m_wGoUpPgc = 0;
    m_nStillTime = 0;
    m_nPlaybackMode = 0;
    m_colours.Clear();
    m_preCommands.Empty();
    m_postCommands.Empty();
    m_cellCommands.Empty();
    m_programs.SetSize(0);
    m_cells.RemoveAll();
}

int CPgc::GetChildIndex(const CDvdObject* pChild) const
{
    if (!pChild || pChild->GetKind() != DVDNODE_PGC_CELL)
        return -1;
    const CDvdObject* pNode = pChild->Self();
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        if (m_cells[i] == pNode)
            return int(i);
    return -1;
}

bool CPgc::IsModified() const
{
    return CDvdObject::IsModified() || m_preCommands.IsModified() || m_postCommands.IsModified() ||
           m_cellCommands.IsModified() || m_blockList.IsModified();
}

void CPgc::ClearModified()
{
    CDvdObject::ClearModified();
    m_preCommands.ClearModified();
    m_postCommands.ClearModified();
    m_cellCommands.ClearModified();
    m_blockList.ClearModified();
}

bool CPgc::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    bReported = m_preCommands.Validate(validator, messages) || bReported;
    bReported = m_cellCommands.Validate(validator, messages) || bReported;
    bReported = m_postCommands.Validate(validator, messages) || bReported;
    bReported = m_blockList.Validate(validator, messages) || bReported;
    const struct
    {
        uint8_t nField;
        uint32_t nCount;
    } fields[] = {
        {PGCFIELD_AUDIO, PGC_AUDIO_CONTROLS},
        {PGCFIELD_SUBPICTURE, PGC_SUBPICTURE_CONTROLS},
        {PGCFIELD_NEXT, 1},
        {PGCFIELD_PREV, 1},
        {PGCFIELD_GOUP, 1},
        {PGCFIELD_STILL_TIME, 1},
        {PGCFIELD_PLAYBACK_MODE, 1},
        {PGCFIELD_COLOUR, PGC_COLOURS},
        {PGCFIELD_PROGRAM, uint32_t(m_programs.GetSize())},
        {PGCFIELD_CATEGORY, 1},
        {PGCFIELD_UOPS, 1},
    };
    for (const auto& field : fields)
        for (uint32_t i = 0; i < field.nCount; ++i)
            bReported = validator.Check(CDvdReference(this, field.nField, i), messages) || bReported;
    return bReported;
}

void CPgc::Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b)
{
    switch (nCode)
    {
    case DVDNOTICE_ANGLE_COUNT:
    {
        const CDvdObject* pBlock = pSender ? pSender->Self() : nullptr;
        const int nNew = int(a);
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        {
            CPgcCell* pCell = m_cells[i];
            if (pCell->m_pBlock != pBlock)
                continue;
            const int nOld = pCell->GetAngleCount();
            if (nOld != nNew)
            {
                // The IFO cells of angles the entry loses are gone; the IFO
                // cells after the entry move.
                const int nStart = int(GetFirstIfoCell(i)) + 1 + (nNew < nOld ? nNew : nOld);
                RetargetPgcReferences(*this, RETARGET_IFO_CELL, nStart, nNew - nOld, RETARGET_NO_LIMIT);
                pCell->m_angles.SetSize(1);
                pCell->m_angles[0] = 0;
                pCell->SetModified();
            }
        }
        break;
    }
    case DVDNOTICE_ANGLES_SEPARATED:
    {
        // Each entry plays the block made of the first angle it listed.
        const CDvdObject* pBlock = pSender ? pSender->Self() : nullptr;
        const CGrowArray<CAngleBlock*>* pBlocks = reinterpret_cast<const CGrowArray<CAngleBlock*>*>(a);
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        {
            CPgcCell* pCell = m_cells[i];
            if (pCell->m_pBlock != pBlock || pCell->GetAngleCount() == 0)
                continue;
            const int nAngle = pCell->GetAngle(0);
            if (nAngle < pBlocks->GetSize())
                pCell->SetBlock((*pBlocks)[nAngle]);
        }
        break;
    }
    case DVDNOTICE_BLOCK_SPLIT:
    {
        const CDvdObject* pBlock = pSender ? pSender->Self() : nullptr;
        CAngleBlock* pSecond = reinterpret_cast<CAngleBlock*>(a);
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        {
            if (m_cells[i]->m_pBlock != pBlock)
                continue;
            InsertCell(i, false, pSecond);
            if (m_cells[i]->m_nCellCommand != 0)
            {
                m_cells[i]->m_nCellCommand = 0;
                m_cells[i]->SetModified();
            }
            ++i;
        }
        break;
    }
    case DVDNOTICE_COLLECT_SPLIT_REFS:
    case DVDNOTICE_COLLECT_ANGLE_REFS:
    {
        // Where the cells of this PGC move: after each entry that plays the
        // sender, by one (a split) or by the change of its angle count.
        const CDvdObject* pBlock = pSender ? pSender->Self() : nullptr;
        const bool bSplit = nCode == DVDNOTICE_COLLECT_SPLIT_REFS;
        CReferenceCollector* pCollector = reinterpret_cast<CReferenceCollector*>(bSplit ? a : b);
        std::vector<std::pair<uint32_t, int32_t>> moves;
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        {
            if (m_cells[i]->m_pBlock != pBlock)
                continue;
            const int32_t nMove = bSplit ? 1 : int32_t(a) - m_cells[i]->GetAngleCount();
            if (nMove != 0)
                moves.push_back({i + 1, nMove});
        }
        if (moves.empty())
            break;
        // The other cells' buttons may link to the cells that moved.
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        {
            if (!bSplit && m_cells[i]->m_pBlock == pBlock)
                continue;
            int32_t nShift = 0;
            for (size_t k = 0; k < moves.size(); ++k)
            {
                nShift += moves[k].second;
                const bool bNext = k + 1 < moves.size();
                const uint32_t nLast = bNext ? moves[k + 1].first : m_cells.GetSize();
                AddMovedEntries(*pCollector, m_cells[i], moves[k].first + 1, nLast, nShift,
                                bNext ? moves[k + 1].second : 0);
            }
        }
        break;
    }
    case DVDNOTICE_COLLECT_CELLS:
    {
        const CDvdObject* pBlock = pSender ? pSender->Self() : nullptr;
        CPgcCellArray* pCells = reinterpret_cast<CPgcCellArray*>(a);
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        {
            CPgcCell* pCell = m_cells[i];
            if (pCell->m_pBlock != pBlock)
                continue;
            bool bKnown = false;
            for (int32_t k = 0; k < pCells->GetSize() && !bKnown; ++k)
                bKnown = (*pCells)[k] == pCell;
            if (!bKnown)
                pCells->Add(pCell);
        }
        break;
    }
    case DVDNOTICE_BLOCK_HIDDEN:
    {
        const CDvdObject* pBlock = pSender ? pSender->Self() : nullptr;
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        {
            if (m_cells[i]->m_pBlock == pBlock && m_cells[i]->m_nStillTime != 0)
            {
                m_cells[i]->m_nStillTime = 0;
                m_cells[i]->SetModified();
            }
        }
        break;
    }
    case DVDNOTICE_CLEAR_MARKS:
        SetFlags(GetFlags() & ~DVDFLAG_MARK);
        m_preCommands.ClearMarks();
        m_postCommands.ClearMarks();
        m_cellCommands.ClearMarks();
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
            m_cells[i]->SetFlags(m_cells[i]->GetFlags() & ~DVDFLAG_MARK);
        break;
    case DVDNOTICE_CLEAR_COMMANDS:
        m_preCommands.Empty();
        m_postCommands.Empty();
        m_cellCommands.Empty();
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
            m_cells[i]->m_nCellCommand = 0;
        break;
    default: break;
    }
}

uint32_t CPgc::AddCell(CPgcCell* pCell)
{
    pCell->SetParent(this);
    m_blockList.SetModified();
    return m_cells.Add(pCell);
}

uint32_t CPgc::AddBlankCell()
{
    CGrowArray<BYTE> one;
    one.Add(0);
    CAngleBlock* pBlock = CreateBlankBlock(GetDomain(), 1, 1, nullptr);
    const uint32_t nIndex = m_cells.Add(new CPgcCell(1, 0, 0, 0, pBlock, one, this));
    m_blockList.SetModified();
    return nIndex;
}

int CPgc::AddBlankProgram()
{
    const uint32_t nCell = AddBlankCell();
    m_programs.Add(WORD(nCell));
    SetModified();
    return m_programs.GetSize() - 1;
}

uint32_t CPgc::InsertCell(uint32_t nCell, bool bBefore, CAngleBlock* pBlock, bool bCollect)
{
    const uint32_t nCount = m_cells.GetSize();
    if (nCell >= nCount)
        nCell = nCount ? nCount - 1 : 0;
    const uint32_t nNew = nCount == 0 ? 0 : (bBefore ? nCell : nCell + 1);
    if (!pBlock)
    {
        CAngleBlockList* pDomain = GetDomain();
        const CAngleBlock* pNeighbour = nCount ? m_cells[nCell]->m_pBlock : nullptr;
        pBlock = CreateBlankBlock(pDomain, 1, 1, pNeighbour);
        const int nNeighbour = pDomain->GetBlockIndex(pNeighbour);
        if (bBefore && nNeighbour >= 0)
            pDomain->MoveBlock(uint32_t(pDomain->GetBlockIndex(pBlock)), uint32_t(nNeighbour));
    }

    if (bCollect && nCount > nNew)
    {
        // Buttons of the blocks this PGC plays may link to the entries that
        // move up by one.
        CBlockReferenceCollector collector;
        for (uint32_t i = 0; i < nCount; ++i)
            AddMovedEntries(collector, m_cells[i], nNew + 1, nCount, 1, 0);
        collector.Collect();
        collector.Resolve(nullptr, nullptr);
        collector.Finish();
    }
    RetargetPgcReferences(*this, RETARGET_IFO_CELL, int(GetFirstIfoCell(nNew)) + 1, 1, RETARGET_NO_LIMIT);

    CGrowArray<BYTE> one;
    one.Add(0);
    CPgcCell* pCell = new CPgcCell(1, 0, 0, 0, pBlock, one, this);
    m_cells.SetSize(nCount + 1);
    CPgcCell** ppCells = m_cells.GetData();
    for (uint32_t i = nCount; i > nNew; --i)
        ppCells[i] = ppCells[i - 1];
    ppCells[nNew] = pCell;
    ShiftProgramMap(nCell, 1);
    m_blockList.SetModified();
    return nNew;
}

void CPgc::AddMovedEntries(CReferenceCollector& collector, CPgcCell* pCell, uint32_t nFirst, uint32_t nLast,
                           int32_t nShift, int32_t nLastMove) const
{
    // Button links name IFO cells, and an entry that lists several angles
    // holds one IFO cell per angle: the collector gets the IFO cells of the
    // entries nFirst to nLast (1-based). A retarget by a negative shift
    // empties the links to the first cells of its range, as many as the
    // shift: a range moving down starts that far below its first cell, on
    // the IFO cells the entry before it loses and on those that the ranges
    // before it vacated. The cells entry nLast loses are left to the range
    // after it.
    int32_t nFirstIfo = int32_t(GetFirstIfoCell(nFirst - 1)) + 1;
    if (nShift < 0)
        nFirstIfo = std::max(1, nFirstIfo + nShift);
    int32_t nLastIfo = int32_t(GetFirstIfoCell(nLast));
    if (nLastMove < 0)
        nLastIfo = std::max(0, nLastIfo + nLastMove);
    collector.AddReference(pCell, WORD(nFirstIfo), WORD(nLastIfo), nShift);
}

// ---- Geometry -------------------------------------------------------------------------

uint32_t CPgc::GetIfoCellCount() const
{
    return GetFirstIfoCell(m_cells.GetSize());
}

uint32_t CPgc::GetFirstIfoCell(uint32_t nCell) const
{
    uint32_t nIfoCell = 0;
    for (uint32_t i = 0; i < nCell && i < m_cells.GetSize(); ++i)
        nIfoCell += uint32_t(m_cells[i]->GetAngleCount());
    return nIfoCell;
}

int CPgc::FindCellOfIfoCell(uint32_t nIfoCell) const
{
    uint32_t nFirst = 0;
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
    {
        const uint32_t nNext = nFirst + uint32_t(m_cells[i]->GetAngleCount());
        if (nIfoCell >= nFirst && nIfoCell < nNext)
            return int(i);
        nFirst = nNext;
    }
    return -1;
}

int CPgc::GetMaxAngleCount() const
{
    int nMax = 0;
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        if (m_cells[i]->GetAngleCount() > nMax)
            nMax = m_cells[i]->GetAngleCount();
    return nMax;
}

int CPgc::FindProgramOfCell(uint32_t nCell) const
{
    const int nPrograms = m_programs.GetSize();
    if (nPrograms == 0)
        return -1;
    for (int p = 0; p + 1 < nPrograms; ++p)
        if (m_programs[p] <= nCell && m_programs[p + 1] > nCell)
            return p;
    return nPrograms - 1;
}

bool CPgc::GetCellsWithCommand(uint32_t nCommand, CPgcCellArray& cells) const
{
    bool bAny = false;
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
    {
        if (m_cells[i]->m_nCellCommand == nCommand + 1)
        {
            cells.Add(m_cells[i]);
            bAny = true;
        }
    }
    return bAny;
}

void CPgc::ShiftProgramMap(uint32_t nCell, int nDelta)
{
    for (int p = 0; p < m_programs.GetSize(); ++p)
    {
        if (m_programs[p] > nCell && nDelta != 0)
        {
            m_programs[p] = WORD(m_programs[p] + nDelta);
            SetModified();
        }
    }
}

// ---- Queries ------------------------------------------------------------------------------

bool CPgc::HasInfiniteStill() const
{
    if (m_nStillTime == STILL_INFINITE)
        return true;
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        if (m_cells[i]->m_nStillTime == STILL_INFINITE)
            return true;
    return false;
}

bool CPgc::HasNavigationInPrePost() const
{
    return HasNavigation(m_preCommands) || HasNavigation(m_postCommands);
}

bool CPgc::HasNavigationInCellCommands() const
{
    return HasNavigation(m_cellCommands);
}

bool CPgc::HasButtons() const
{
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        if (m_cells[i]->HasButtons())
            return true;
    return false;
}

bool CPgc::HasNavigatingButtons() const
{
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        if (m_cells[i]->HasNavigatingButtons())
            return true;
    return false;
}

int CPgc::GetPlaybackModeType() const
{
    if (m_nPlaybackMode == 0)
        return 0;
    return (m_nPlaybackMode & 0x80) ? 1 : 2;
}

WORD CPgc::GetGeneralRegisters() const
{
    return WORD(GetRegisters(m_preCommands) | GetRegisters(m_postCommands) | GetRegisters(m_cellCommands));
}

const char* CPgc::GetMenuTypeLabel(int nType)
{
    switch (nType)
    {
    case 2: return "Title";
    case 3: return "Root";
    case 4: return "Sub-picture";
    case 5: return "Audio";
    case 6: return "Angle";
    case 7: return "Chapters";
    default: return "";
    }
}

uint8_t CPgc::GetPgcDomainCode() const
{
    const CDvdObject* pParent = GetParent();
    if (!pParent)
        return DVDDOMAIN_ANY;
    if (pParent->GetKind() == DVDNODE_VMG)
        return DVDDOMAIN_FIRST_PLAY;
    const CPgcTable* pTable = GetTable();
    return pTable ? pTable->GetTableDomainCode() : DVDDOMAIN_ANY;
}

CPgcTable* CPgc::GetTable() const
{
    CDvdObject* pParent = GetParent();
    if (pParent && (pParent->GetKind() == DVDNODE_PGC_TABLE || pParent->GetKind() == DVDNODE_LANGUAGE_UNIT))
        return static_cast<CPgcTable*>(pParent);
    return nullptr;
}

CAngleBlockList* CPgc::GetDomain() const
{
    CDvdObject* pParent = GetParent();
    if (pParent && pParent->GetKind() == DVDNODE_VMG)
        return &static_cast<CVmg*>(pParent)->GetMenuDomain();
    const CPgcTable* pTable = GetTable();
    if (pTable && pTable->GetDomain())
        return pTable->GetDomain();
    // A table whose owner gave no domain: the domain of the blocks the cells
    // play.
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
    {
        const CAngleBlock* pBlock = m_cells[i]->m_pBlock;
        if (pBlock && pBlock->GetParent() && pBlock->GetParent()->GetKind() == DVDNODE_ANGLE_BLOCK_LIST)
            return static_cast<CAngleBlockList*>(pBlock->GetParent());
    }
    return nullptr;
}

bool CPgc::IsSameTitle(uint32_t nIndex) const
{
    const CPgcTable* pTable = GetTable();
    return pTable && nIndex < pTable->GetPgcCount() && pTable->GetPgc(nIndex)->GetTitleNumber() == GetTitleNumber();
}

CDvdReference CPgc::GetLinkTarget(uint8_t nField, CString& strError) const
{
    strError.Empty();
    const CPgcTable* pTable = GetTable();
    WORD wLink = 0;
    switch (nField)
    {
    case PGCFIELD_NEXT: wLink = m_wNextPgc; break;
    case PGCFIELD_PREV: wLink = m_wPrevPgc; break;
    case PGCFIELD_GOUP: wLink = m_wGoUpPgc; break;
    default: return CDvdReference();
    }
    if (wLink == 0)
        return CDvdReference();

    const uint32_t nTarget = uint32_t(wLink) - 1;
    const uint32_t nCount = pTable ? pTable->GetPgcCount() : 0;
    const bool bInside = nTarget < nCount;
    const uint8_t nDomain = GetPgcDomainCode();
    const bool bTitleDomain = nDomain == DVDDOMAIN_TITLE;
    const bool bMenu = m_nMenu != 0 && nDomain != DVDDOMAIN_FIRST_PLAY;
    const int nOwnIndex = pTable ? pTable->GetChildIndex(this) : -1;
    const bool bSelf = nOwnIndex >= 0 && nTarget == uint32_t(nOwnIndex);
    CDvdReference target = bInside ? CDvdReference(pTable->GetPgc(nTarget), 0, 0) : CDvdReference();

    switch (nField)
    {
    case PGCFIELD_NEXT:
        if (bInside && ((bTitleDomain && IsSameTitle(nTarget)) || bMenu || bSelf))
            return target;
        strError = "Invalid NextPGC destination";
        return CDvdReference();
    case PGCFIELD_PREV:
        if (bInside && ((bTitleDomain && IsSameTitle(nTarget)) || bSelf))
            return target;
        strError = bMenu ? "PrevPGC link can't be used in menu domain" : "Invalid PrevPGC destination";
        return CDvdReference();
    default:
        if (bTitleDomain)
        {
            if (!bInside)
                return CDvdReference();
            if (IsSameTitle(nTarget))
                return target;
            strError = "Invalid GoUpPGC destination";
            return CDvdReference();
        }
        if (bMenu)
        {
            if (wLink == 0xFFFF)
                return CDvdReference();
            if (bInside)
                return target;
            strError = "Invalid GoUpPGC destination";
            return CDvdReference();
        }
        return CDvdReference();
    }
}

CDvdTime CPgc::GetPlaybackTime() const
{
    int nRate = 30;
    const CAngleBlockList* pDomain = GetDomain();
    if (pDomain && pDomain->GetBlockCount() > 0 && pDomain->GetBlock(0)->GetIlvuCount() > 0)
        nRate = pDomain->GetBlock(0)->GetIlvu(0)->GetFrameRate();
    else if (pDomain && pDomain->IsPal())
        nRate = 25;

    CDvdTime sum;
    sum.frames = nRate == 25 ? DVDTIME_RATE_25 : DVDTIME_RATE_30;
    for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
    {
        const CVobCell* pIlvu = m_cells[i]->GetIlvu(0);
        if (pIlvu)
            sum.AddDvdTime(MakeDvdTime(int32_t(GetDuration(pIlvu)), pIlvu->GetFrameRate()));
    }
    return sum;
}

int64_t CPgc::GetPlaybackTicks() const
{
    return GetPlaybackTime().DvdTimeToPts();
}

CAngleBlock* CPgc::CreateBlankBlock(CAngleBlockList* pDomain, WORD wVobId, BYTE nCellId, const CAngleBlock* pAfter)
{
    ASSERT(pDomain);
    // A blank cell stands for content that is hidden or missing: a copy of
    // the stock blank cell of the domain's video standard.
    CVobCell* pIlvu = nullptr;
    if (const CVobCell* pStock = GetStockCell(pDomain->IsPal() ? STOCK_EMPTY_PAL : STOCK_EMPTY_NTSC))
    {
        pIlvu = CVobCell::CopyConstruct(*pStock, nullptr);
        pIlvu->SetIds(wVobId, nCellId);
        pIlvu->SetModified();
    }
    else
    {
        // Without the stock cells the cell keeps only its ids and rate.
        CCellAddress address;
        address.m_wVobId = wVobId;
        address.m_nCellId = nCellId;
        pIlvu = new CVobCell(nullptr, address, CVobuAddressList(), nullptr);
        pIlvu->SetStock(true);
        PciPacket pci = pIlvu->GetFirstPci();
        CDvdTime rate;
        rate.frames = pDomain->IsPal() ? DVDTIME_RATE_25 : DVDTIME_RATE_30;
        pci.SetCEltm(rate);
        pIlvu->SetFirstNav(pci, pIlvu->GetFirstDsi(), nullptr);
        pIlvu->SetLastNav(pci, pIlvu->GetLastDsi());
    }

    CAngleBlock* pBlock = new CAngleBlock(pIlvu, nullptr, pDomain);
    pIlvu->SetParent(pBlock);
    if (pAfter)
        pDomain->InsertAfter(pAfter, pBlock);
    if (pDomain->GetBlockIndex(pBlock) < 0)
        pDomain->AddBlock(pBlock);
    return pBlock;
}

// ---- IFO form ---------------------------------------------------------------------------

uint32_t CPgc::GetCommandCount() const
{
    return m_preCommands.GetCount() + m_postCommands.GetCount() + m_cellCommands.GetCount();
}

size_t CPgc::GetIfoSize() const
{
    const size_t nCommands = GetCommandCount();
    const size_t nPrograms = size_t(m_programs.GetSize());
    return (nCommands > 0 ? PGC_GI_SIZE + COMMAND_TABLE_HEADER_SIZE + PGC_COMMAND_SIZE * nCommands : PGC_GI_SIZE) +
           nPrograms + (nPrograms & 1) + (CELL_PLAYBACK_SIZE + CELL_POSITION_SIZE) * size_t(GetIfoCellCount());
}

bool CPgc::ReadIfo(CDvdLog& log, const CPgcCategory& category, CAngleBlockList* pDomain, const CIfoView& bytes)
{
    m_nMenu = category.nMenu;
    m_nCategory = category.nCategory;
    m_wParentalMask = category.wParentalMask;

    if (!bytes.Contains(0, PGC_GI_SIZE))
    {
        log.ReportError("PGC information is cut short", DVD_LOCATION);
        return false;
    }
    const BYTE* p = bytes.GetData();
    m_programs.SetSize(p[GI_PROGRAM_COUNT], true);
    m_uops = CUopMask::FromBytes(p + GI_UOPS);
    for (int i = 0; i < PGC_AUDIO_CONTROLS; ++i)
    {
        const BYTE nControl = p[GI_AUDIO + 2 * i];
        m_audio[i].nStream = nControl & 7;
        m_audio[i].bEnabled = nControl >> 7;
    }
    for (int i = 0; i < PGC_SUBPICTURE_CONTROLS; ++i)
    {
        const BYTE* pControl = p + GI_SUBPICTURE + 4 * i;
        for (int k = 0; k < 4; ++k)
            m_subpictures[i].nStreams[k] = pControl[k] & 31;
        m_subpictures[i].bEnabled = pControl[0] >> 7;
    }
    m_wNextPgc = GetBE16(p + GI_NEXT);
    m_wPrevPgc = GetBE16(p + GI_PREV);
    m_wGoUpPgc = GetBE16(p + GI_GOUP);
    m_nPlaybackMode = p[GI_PLAYBACK_MODE];
    m_nStillTime = p[GI_STILL_TIME];
    memcpy(m_colours.colours, p + GI_COLOURS, sizeof(m_colours.colours));

    const size_t nCommandsOffset = GetBE16(p + GI_COMMANDS_OFFSET);
    if (nCommandsOffset != 0)
    {
        WORD wPre = 0, wPost = 0, wCell = 0, wEnd = 0;
        bytes.Get16(nCommandsOffset, wPre);
        bytes.Get16(nCommandsOffset + 2, wPost);
        bytes.Get16(nCommandsOffset + 4, wCell);
        const bool bHeader = bytes.Get16(nCommandsOffset + 6, wEnd);
        const uint32_t nTotal = uint32_t(wPre) + wPost + wCell;
        if (WORD(8 * nTotal + 8) != WORD(wEnd + 1))
            log.ReportWarning("PGC Commands Table size is incorrect.", DVD_LOCATION);
        if (nTotal > uint32_t(PGC_MAX_COMMANDS))
            log.ReportWarning(FormatString("Too many commands in PGC (%d)", int(nTotal)), DVD_LOCATION);
        // Commands beyond the bytes read cannot be taken at all.
        if (!bHeader || !bytes.Contains(nCommandsOffset + COMMAND_TABLE_HEADER_SIZE, PGC_COMMAND_SIZE * size_t(nTotal)))
        {
            log.ReportError("PGC Commands Table lies outside the PGC", DVD_LOCATION);
            return false;
        }
        const BYTE* pCommand = p + nCommandsOffset + COMMAND_TABLE_HEADER_SIZE;
        for (WORD i = 0; i < wPre; ++i, pCommand += PGC_COMMAND_SIZE)
            m_preCommands.Add(pCommand);
        for (WORD i = 0; i < wPost; ++i, pCommand += PGC_COMMAND_SIZE)
            m_postCommands.Add(pCommand);
        for (WORD i = 0; i < wCell; ++i, pCommand += PGC_COMMAND_SIZE)
            m_cellCommands.Add(pCommand);
    }

    if (!ReadCells(log, pDomain, bytes))
        return false;
    return ReadPrograms(log, bytes);
}

bool CPgc::ReadCells(CDvdLog& log, CAngleBlockList* pDomain, const CIfoView& bytes)
{
    const BYTE* p = bytes.GetData();
    const uint32_t nCells = p[GI_CELL_COUNT];
    const size_t nPositionOffset = GetBE16(p + GI_CELL_POSITION_OFFSET);
    const size_t nPlaybackOffset = GetBE16(p + GI_CELL_PLAYBACK_OFFSET);
    if (nCells == 0)
        return true;
    if (nPositionOffset == 0 || nPlaybackOffset == 0 || !pDomain ||
        !bytes.Contains(nPositionOffset, CELL_POSITION_SIZE * nCells) ||
        !bytes.Contains(nPlaybackOffset, CELL_PLAYBACK_SIZE * nCells))
    {
        log.ReportError("No cells found", DVD_LOCATION);
        return false;
    }

    for (uint32_t i = 0; i < nCells; ++i)
    {
        const BYTE* pPosition = p + nPositionOffset + CELL_POSITION_SIZE * i;
        const BYTE* pPlayback = p + nPlaybackOffset + CELL_PLAYBACK_SIZE * i;
        const WORD wVobId = GetBE16(pPosition);
        const BYTE nCellId = pPosition[3];
        const BYTE bSeamless = (pPlayback[0] >> 3) & 1;
        const BYTE bRestricted = (pPlayback[1] >> 5) & 1;
        const BYTE nStillTime = pPlayback[2];
        BYTE nCommand = pPlayback[3];
        const int nNumber = int(i) + 1;

        if (nCommand > m_cellCommands.GetCount())
        {
            log.ReportWarning(FormatString("Cell #%d has cell command #%d yet there is only %d commands awailable in "
                                           "cells command table. Substituting with 0.",
                                           nNumber, nCommand, int(m_cellCommands.GetCount())),
                              DVD_LOCATION);
            nCommand = 0;
        }

        int nAngle = 0;
        CAngleBlock* pBlock = pDomain->FindCell(wVobId, nCellId, nAngle);
        if (!pBlock)
        {
            log.ReportWarning(FormatString("Cell #%d uses vobus (vobID=%d, cellID=%d) not pressent in vob file. "
                                           "Substituting blank cell instead.",
                                           nNumber, wVobId, nCellId),
                              DVD_LOCATION);
            pBlock = CreateBlankBlock(pDomain, wVobId, nCellId, nullptr);
            nAngle = 0;
        }

        CPgcCell* pLast = m_cells.GetSize() > 0 ? m_cells[m_cells.GetSize() - 1] : nullptr;
        const CVobCell* pFirstIlvu = pBlock->GetIlvu(0);
        if (pLast && pFirstIlvu && pFirstIlvu->GetFirstDsi().IsIlvu() && pFirstIlvu->AnnouncesAngles() &&
            pLast->m_pBlock == pBlock && pLast->GetAngleCount() < pFirstIlvu->GetAngleCount())
        {
            if (pLast->m_bRestricted != bRestricted)
                log.ReportWarning(FormatString("Cell #%d (vobID=%d, cellID=%d) restricted flag is different from "
                                               "other cells in this angle block. Ignore.",
                                               nNumber, wVobId, nCellId),
                                  DVD_LOCATION);
            if (pLast->m_nStillTime != nStillTime)
                log.ReportWarning(FormatString("Cell #%d (vobID=%d, cellID=%d) still time is different from other "
                                               "cells in this angle block. Ignore.",
                                               nNumber, wVobId, nCellId),
                                  DVD_LOCATION);
            if (pLast->m_nCellCommand != nCommand)
                log.ReportWarning(FormatString("Cell #%d (vobID=%d, cellID=%d) command id is different from other "
                                               "cells in this angle block. Ignore.",
                                               nNumber, wVobId, nCellId),
                                  DVD_LOCATION);
            pLast->AddAngle(BYTE(nAngle));
            pLast->SetModified();
        }
        else
        {
            CGrowArray<BYTE> angles;
            angles.Add(BYTE(nAngle));
            m_cells.Add(new CPgcCell(bSeamless, bRestricted, nStillTime, nCommand, pBlock, angles, this));
        }
    }
    return true;
}

bool CPgc::ReadPrograms(CDvdLog& log, const CIfoView& bytes)
{
    const int nPrograms = m_programs.GetSize();
    const size_t nMapOffset = GetBE16(bytes.GetData() + GI_PROGRAM_MAP_OFFSET);
    if (nMapOffset == 0 || !bytes.Contains(nMapOffset, size_t(nPrograms)))
    {
        if (nPrograms == 0)
            return true;
        log.ReportError("No programs found", DVD_LOCATION);
        return false;
    }

    const BYTE* pMap = bytes.GetData() + nMapOffset;
    const uint32_t nIfoCells = GetIfoCellCount();
    for (int p = 0; p < nPrograms; ++p)
    {
        const BYTE nCell = pMap[p];
        if (nCell == 0 && p == nPrograms - 1)
        {
            log.ReportWarning("Last program points to cell with 0 index. Ignore.", DVD_LOCATION);
            if (nPrograms > 1)
            {
                m_programs.SetSize(p);
                return true;
            }
            log.ReportError("Can't ignore the only program in PGC", DVD_LOCATION);
            return false;
        }
        const BYTE nFirstIfoCell = BYTE(nCell - 1);
        if (nFirstIfoCell >= nIfoCells)
        {
            log.ReportWarning(
                FormatString("Program %d points to non nonexistent cell (%d). Ignore rest of the programs.", p + 1,
                             nCell),
                DVD_LOCATION);
            if (p > 0)
            {
                m_programs.SetSize(p);
                return true;
            }
            log.ReportError("Can't ignore the only program in PGC", DVD_LOCATION);
            return false;
        }
        uint32_t nRunning = 0;
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        {
            if (nRunning == nFirstIfoCell)
            {
                m_programs[p] = WORD(i);
                break;
            }
            nRunning += uint32_t(m_cells[i]->GetAngleCount());
            if (nRunning > nFirstIfoCell)
            {
                log.ReportError("Cell should not start in the middle of angle group", DVD_LOCATION);
                return false;
            }
        }
    }
    return true;
}

bool CPgc::WriteIfo(CDvdLog& log, BYTE* pDest) const
{
    const uint32_t nPrograms = uint32_t(m_programs.GetSize());
    const uint32_t nIfoCells = GetIfoCellCount();
    // The counts are single bytes in the IFO: a larger chain cannot be
    // written without losing cells or programs.
    if (nPrograms > MAX_IFO_COUNT)
    {
        log.ReportError(FormatString("Too many programs in PGC (%u); at most %u can be written", unsigned(nPrograms),
                                     unsigned(MAX_IFO_COUNT)),
                        DVD_LOCATION);
        return false;
    }
    if (nIfoCells > MAX_IFO_COUNT)
    {
        log.ReportError(FormatString("Too many cells in PGC (%u); at most %u can be written", unsigned(nIfoCells),
                                     unsigned(MAX_IFO_COUNT)),
                        DVD_LOCATION);
        return false;
    }
    if (GetIfoSize() > MAX_PGCI_SIZE)
    {
        log.ReportError(FormatString("PGC is too large (%u bytes)", unsigned(GetIfoSize())), DVD_LOCATION);
        return false;
    }

    pDest[GI_PROGRAM_COUNT] = BYTE(nPrograms);
    pDest[GI_CELL_COUNT] = BYTE(nIfoCells);
    GetPlaybackTime().ToBytes(pDest + GI_PLAYBACK_TIME);
    m_uops.ToBytes(pDest + GI_UOPS);
    for (int i = 0; i < PGC_AUDIO_CONTROLS; ++i)
        pDest[GI_AUDIO + 2 * i] = BYTE((m_audio[i].bEnabled ? 0x80 : 0) | (m_audio[i].nStream & 7));
    for (int i = 0; i < PGC_SUBPICTURE_CONTROLS; ++i)
    {
        BYTE* pControl = pDest + GI_SUBPICTURE + 4 * i;
        for (int k = 0; k < 4; ++k)
            pControl[k] = m_subpictures[i].nStreams[k] & 31;
        if (m_subpictures[i].bEnabled)
            pControl[0] |= 0x80;
    }
    PutBE16(pDest + GI_NEXT, m_wNextPgc);
    PutBE16(pDest + GI_PREV, m_wPrevPgc);
    PutBE16(pDest + GI_GOUP, m_wGoUpPgc);
    pDest[GI_PLAYBACK_MODE] = m_nPlaybackMode;
    pDest[GI_STILL_TIME] = m_nStillTime;
    memcpy(pDest + GI_COLOURS, m_colours.colours, sizeof(m_colours.colours));

    size_t nOffset = PGC_GI_SIZE;
    const uint32_t nCommands = GetCommandCount();
    if (nCommands > 0)
    {
        PutBE16(pDest + GI_COMMANDS_OFFSET, WORD(nOffset));
        BYTE* pTable = pDest + nOffset;
        PutBE16(pTable, WORD(m_preCommands.GetCount()));
        PutBE16(pTable + 2, WORD(m_postCommands.GetCount()));
        PutBE16(pTable + 4, WORD(m_cellCommands.GetCount()));
        PutBE16(pTable + 6, WORD(8 * nCommands + 7));
        BYTE* pCommand = pTable + COMMAND_TABLE_HEADER_SIZE;
        for (const CPgcCommands* pGroup : {&m_preCommands, &m_postCommands, &m_cellCommands})
        {
            for (uint32_t i = 0; i < pGroup->GetCount(); ++i, pCommand += PGC_COMMAND_SIZE)
                memcpy(pCommand, pGroup->GetCommand(i), PGC_COMMAND_SIZE);
        }
        nOffset += COMMAND_TABLE_HEADER_SIZE + PGC_COMMAND_SIZE * nCommands;
    }

    if (nPrograms > 0)
    {
        PutBE16(pDest + GI_PROGRAM_MAP_OFFSET, WORD(nOffset));
        for (uint32_t p = 0; p < nPrograms; ++p)
            pDest[nOffset + p] = BYTE(GetFirstIfoCell(m_programs[int(p)]) + 1);
        nOffset += nPrograms + (nPrograms & 1);
    }

    if (nIfoCells > 0)
    {
        PutBE16(pDest + GI_CELL_PLAYBACK_OFFSET, WORD(nOffset));
        WORD wPrevVobId = 0xFFFF;
        DWORD dwPrevEnd = 0xFFFFFFFF;
        BYTE* pPlayback = pDest + nOffset;
        BYTE* pPosition = pPlayback + CELL_PLAYBACK_SIZE * nIfoCells;
        for (uint32_t i = 0; i < m_cells.GetSize(); ++i)
        {
            const CPgcCell* pCell = m_cells[i];
            for (int a = 0; a < pCell->GetAngleCount(); ++a)
            {
                pCell->WriteCellPlayback(log, pPlayback, a, wPrevVobId, dwPrevEnd);
                const CVobCell* pIlvu = pCell->GetIlvu(a);
                if (pIlvu)
                {
                    PutBE16(pPosition, pIlvu->GetVobId());
                    pPosition[3] = pIlvu->GetCellId();
                }
                pPlayback += CELL_PLAYBACK_SIZE;
                pPosition += CELL_POSITION_SIZE;
            }
        }
        nOffset += CELL_PLAYBACK_SIZE * nIfoCells;
        PutBE16(pDest + GI_CELL_POSITION_OFFSET, WORD(nOffset));
        nOffset += CELL_POSITION_SIZE * nIfoCells;
    }

    if (nOffset != GetIfoSize())
    {
        log.ReportError("Bad table size", DVD_LOCATION);
        return false;
    }
    return true;
}
