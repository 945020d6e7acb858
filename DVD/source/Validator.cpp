#include "DVD/source/Validator.h"

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/NodePath.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/button.h"
#include "DVD/source/title.h"
#include "Shared/source/DvdFormat.h"

namespace
{

const unsigned kMaxTitleSets = 99;
const unsigned kMaxIfoCells = 255;
const int kMaxPrograms = 99;
const unsigned kMaxChapters = 999;

// The message of a command's target, then of its fit to the domain.
CString CheckCommandTarget(const BYTE* pCommand, const CDvdReference& reference, uint8_t nDomain, CDvdReference& target)
{
    CString strError;
    target = ResolveCommandTarget(pCommand, reference, strError);
    if (!strError.IsEmpty())
        return strError;
    return CheckCommandDomain(pCommand, nDomain);
}

// The texts of the editor's checks, empty when the reference is sound.

CString DvdText(const CDvdReference& reference)
{
    const CDvd* pDvd = static_cast<const CDvd*>(reference.pNode);
    if (reference.nField == 0 && pDvd->GetVtsCount() > kMaxTitleSets)
        return FormatString("Too many Title Sets (max %d)", int(kMaxTitleSets));
    return CString();
}

CString PgcText(const CDvdReference& reference)
{
    const CPgc* pPgc = static_cast<const CPgc*>(reference.pNode);
    switch (reference.nField)
    {
    case 0:
    {
        if (pPgc->GetIfoCellCount() > kMaxIfoCells)
            return FormatString("Too many cells in the PGC (max %d)", int(kMaxIfoCells));
        if (pPgc->GetProgramCount() > kMaxPrograms)
            return FormatString("Too many programs in the PGC (max %d)", kMaxPrograms);
        if (pPgc->m_nMenu != 0)
            break;
        const unsigned nTitle = pPgc->GetTitleNumber();
        if (nTitle == 0)
            return "PGC is not assigned to any title";
        const CPgcTable* pTable = pPgc->GetTable();
        const CVtsTitles* pTitles = pTable ? pTable->GetTitles() : nullptr;
        const unsigned nTitles = pTitles ? pTitles->GetTitleCount() : 0;
        if (nTitle > nTitles)
            return FormatString("PGC is assigned to title %d while there are only %d titles in VTS", int(nTitle),
                                int(nTitles));
        break;
    }
    case PGCFIELD_NEXT:
    case PGCFIELD_PREV:
    case PGCFIELD_GOUP:
    {
        CString strError;
        const CDvdReference target = pPgc->GetLinkTarget(reference.nField, strError);
        if (target.pNode == nullptr)
            return strError;
        if (reference.nField == PGCFIELD_PREV && pPgc->m_nMenu != 0 && pPgc->IsEntry())
            return "Entry PGC in menu domain can't have Prev PGC link";
        break;
    }
    case PGCFIELD_PLAYBACK_MODE:
        if (pPgc->GetPlaybackModeType() != 0 && pPgc->GetProgramCount() == 0)
            return "PGC containing no programs has non sequential playback mode";
        break;
    case PGCFIELD_AUDIO:
    {
        const uint32_t i = reference.nIndex;
        if (i >= PGC_AUDIO_CONTROLS)
            return FormatString("Track %d requested while there could be only %d audio tracks (0-%d).", int(i),
                                PGC_AUDIO_CONTROLS, PGC_AUDIO_CONTROLS - 1);
        const CAngleBlockList* pDomain = pPgc->GetDomain();
        const int nStreams = pDomain ? pDomain->GetStreams().GetAudioCount() : 0;
        if (pPgc->m_audio[i].bEnabled && int(i) >= nStreams)
            return FormatString("There are only %d audio tracks defined in this domain", nStreams);
        break;
    }
    case PGCFIELD_SUBPICTURE:
    {
        const uint32_t i = reference.nIndex;
        if (i >= PGC_SUBPICTURE_CONTROLS)
            return FormatString("Track %d requested while there could be only %d subpicture tracks (0-%d).", int(i),
                                PGC_SUBPICTURE_CONTROLS, PGC_SUBPICTURE_CONTROLS - 1);
        const CAngleBlockList* pDomain = pPgc->GetDomain();
        const int nStreams = pDomain ? pDomain->GetStreams().GetSubpictureCount() : 0;
        if (pPgc->m_subpictures[i].bEnabled && int(i) >= nStreams)
            return FormatString("There are only %d sub-picture tracks defined in this domain", nStreams);
        break;
    }
    default: break;
    }
    return CString();
}

CString PgcCellText(const CDvdReference& reference)
{
    const CPgcCell* pCell = static_cast<const CPgcCell*>(reference.pNode);
    const CPgc* pPgc = pCell->GetPgc();
    const uint32_t nCommands = pPgc ? pPgc->m_cellCommands.GetCount() : 0;
    if (pCell->m_nCellCommand > nCommands)
        return FormatString("Reference to Cell Command %d while there are only %d Cell Commands(s).",
                            int(pCell->m_nCellCommand), int(nCommands));
    return CString();
}

CString PgcCommandsText(const CDvdReference& reference)
{
    const CPgcCommands* pTable = static_cast<const CPgcCommands*>(reference.pNode);
    if (reference.nField < PGC_GROUP_PRE || reference.nField > PGC_GROUP_CELL || reference.nIndex >= pTable->GetCount())
        return CString();
    CDvdReference target;
    const CString strError =
        CheckCommandTarget(pTable->GetCommand(reference.nIndex), reference, pTable->GetDomainCode(), target);
    if (!strError.IsEmpty())
        return strError;
    if (target == reference)
        return "Infinite loop. Command points to itself.";
    return CString();
}

CString ButtonText(const CDvdReference& reference)
{
    const CDvdButton* pButton = static_cast<const CDvdButton*>(reference.pNode);
    const uint32_t nGroup = reference.nIndex & 0xFF;
    if (reference.nField == 0 || nGroup >= pButton->GetGroupCount())
        return CString();
    const CButtonGroupEntry& group = pButton->GetGroup(int(nGroup));
    switch (reference.nField)
    {
    case BTNREF_COMMAND:
    {
        CDvdReference target;
        return CheckCommandTarget(group.command, reference, pButton->GetDomainCode(), target);
    }
    case BTNREF_COLOR_TABLE:
        if (group.nColorTable > 3)
            return FormatString(
                "Reference to Color Scheme %d while there are only 3 Color Schemes (numbered 1 to 3) in menu.",
                int(group.nColorTable));
        break;
    case BTNREF_LINK:
    {
        const uint32_t nDirection = reference.nIndex >> 8;
        const CButtonSegment* pSegment = static_cast<const CButtonSegment*>(pButton->GetParent());
        const int nCount = pSegment ? int(pSegment->GetButtonCount()) : 0;
        if (nDirection >= BTNDIR_COUNT)
            break;
        const int32_t nTarget = group.neighbours[nDirection];
        if (nTarget < 0 || nTarget >= nCount)
            return FormatString("Reference to Button %d while there are only %d Button(s) in this menu.",
                                int(nTarget + 1), nCount);
        break;
    }
    default: break;
    }
    return CString();
}

CString ButtonSegmentText(const CDvdReference& reference)
{
    const CButtonSegment* pSegment = static_cast<const CButtonSegment*>(reference.pNode);
    const int nCount = int(pSegment->GetButtonCount());
    if (reference.nField == BTNSEGREF_FORCED_SELECT)
    {
        const int32_t nButton = pSegment->GetForcedSelect();
        if (nButton >= 0 && nButton >= nCount)
            return FormatString("Force select button is %d while there are only %d Button(s) in this menu.",
                                int(nButton + 1), nCount);
    }
    else if (reference.nField == BTNSEGREF_FORCED_ACTION)
    {
        const int32_t nButton = pSegment->GetForcedAction();
        if (nButton >= 0 && nButton >= nCount)
            return FormatString("Force action button is %d while there are only %d Button(s) in this menu.",
                                int(nButton + 1), nCount);
    }
    return CString();
}

CString VtsTitleText(const CDvdReference& reference)
{
    const CVtsTitle* pTitle = static_cast<const CVtsTitle*>(reference.pNode);
    if (reference.nField == 0 && pTitle->GetChapterCount() > kMaxChapters)
        return FormatString("Too many chapters in the title (max %d)", int(kMaxChapters));
    if (reference.nField == 1)
    {
        CString strError;
        if (pTitle->ResolveChapter(reference.nIndex, strError).pNode == nullptr)
            return strError;
    }
    return CString();
}

CString VmgTitlesText(const CDvdReference& reference)
{
    const CVmgTitles* pTitles = static_cast<const CVmgTitles*>(reference.pNode);
    if (reference.nField != 1)
        return CString();
    CString strError;
    if (pTitles->ResolveTitle(uint16_t(reference.nIndex), strError).pNode == nullptr)
        return strError;
    return CString();
}

// A message for a text, none for an empty one.
CDvdValidationMessage* MakeMessage(const CDvdReference& reference, const CString& strText)
{
    return strText.IsEmpty() ? nullptr : new CDvdValidationMessage(reference, strText);
}

} // namespace

CDvdValidationMessage::~CDvdValidationMessage() = default;

void CDvdValidationMessages::Add(CDvdValidationMessage* pMessage)
{
    if (pMessage == nullptr)
        return;
    const CString strText = pMessage->GetText();
    for (uint32_t i = 0; i < GetSize(); ++i)
    {
        const CDvdValidationMessage* pListed = GetAt(i);
        if (pListed != nullptr && pListed->GetReference() == pMessage->GetReference() && pListed->GetText() == strText)
        {
            delete pMessage;
            return;
        }
    }
    CDvdPtrArray::Add(pMessage);
}

CString CDvdValidationMessages::FormatReferenceChain(uint32_t nMaxCount) const
{
    CString strText;
    for (uint32_t i = 0; i < GetSize(); ++i)
    {
        if (i == nMaxCount)
        {
            strText += " ... ";
            break;
        }
        const CDvdValidationMessage* pMessage = GetAt(i);
        if (i > 0)
            strText += "\n";
        strText += GetReferenceFieldName(pMessage->GetReference());
        strText += " >> ";
        strText += pMessage->GetText();
    }
    return strText;
}

CString CheckCommandDomain(const BYTE* pCommand, uint8_t nDomain)
{
    bool bDecoded = false;
    const CNavCommand command = CNavCommand::FromBytes(nDomain, pCommand, &bDecoded);
    if (!bDecoded)
        return "Bad command";
    const CNavSystemSet& systemSet = command.GetSystemSet();
    const bool bBadSystemSet = systemSet.GetKind() != NAV_SYSTEM_SET_NONE && !systemSet.IsAllowed(nDomain);
    const bool bNoInstruction = command.GetInstruction().GetCode() == NAV_NO_INSTRUCTION;
    if (bBadSystemSet || (!bNoInstruction && !command.GetInstruction().IsAllowed(nDomain)))
        return "Command is not allowed in this domain";
    return CString();
}

CDvdValidator::~CDvdValidator() = default;

bool CDvdValidator::Check(const CDvdReference& reference, CDvdValidationMessages& messages)
{
    CDvdValidationMessage* pMessage = Visit(reference);
    if (pMessage == nullptr)
        return false;
    messages.Add(pMessage);
    return true;
}

CDvdValidationMessage* CDvdValidator::Visit(const CDvdReference& reference)
{
    if (reference.pNode == nullptr)
        return nullptr;
    switch (reference.pNode->GetKind())
    {
    case DVDNODE_DVD: return CheckDvd(reference);
    case DVDNODE_VMG: return CheckVmg(reference);
    case DVDNODE_VTS: return CheckVts(reference);
    case DVDNODE_LANGUAGE_UNITS: return CheckLanguageUnits(reference);
    case DVDNODE_LANGUAGE_UNIT: return CheckLanguageUnit(reference);
    case DVDNODE_PGC_TABLE: return CheckPgcTable(reference);
    case DVDNODE_PGC: return CheckPgc(reference);
    case DVDNODE_VTS_TITLES: return CheckVtsTitles(reference);
    case DVDNODE_VTS_TITLE: return CheckVtsTitle(reference);
    case DVDNODE_ANGLE_BLOCK: return CheckAngleBlock(reference);
    case DVDNODE_ANGLE_BLOCK_LIST: return CheckAngleBlockList(reference);
    case DVDNODE_VOB_CELL: return CheckVobCell(reference);
    case DVDNODE_BUTTON: return CheckButton(reference);
    case DVDNODE_BUTTON_SEGMENT: return CheckButtonSegment(reference);
    case DVDNODE_PGC_COMMANDS: return CheckPgcCommands(reference);
    case DVDNODE_PGC_BLOCK_LIST: return CheckPgcBlockList(reference);
    case DVDNODE_VMG_TITLES: return CheckVmgTitles(reference);
    case DVDNODE_PGC_CELL: return CheckPgcCell(reference);
    case DVDNODE_STREAM_SET: return CheckStreamSet(reference);
    default: return nullptr;
    }
}

CDvdValidationMessage* CDvdValidator::CheckDvd(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckVmg(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckVts(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckLanguageUnits(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckLanguageUnit(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckPgcTable(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckPgc(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckVtsTitles(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckVtsTitle(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckAngleBlock(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckAngleBlockList(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckVobCell(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckButton(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckButtonSegment(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckPgcCommands(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckPgcBlockList(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckVmgTitles(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckPgcCell(const CDvdReference&)
{
    return nullptr;
}

CDvdValidationMessage* CDvdValidator::CheckStreamSet(const CDvdReference&)
{
    return nullptr;
}

// ---- The editor's checks ---------------------------------------------------------------

CDvdValidationMessage* CDvdStructureValidator::CheckDvd(const CDvdReference& reference)
{
    return MakeMessage(reference, DvdText(reference));
}

CDvdValidationMessage* CDvdStructureValidator::CheckPgc(const CDvdReference& reference)
{
    return MakeMessage(reference, PgcText(reference));
}

CDvdValidationMessage* CDvdStructureValidator::CheckPgcCell(const CDvdReference& reference)
{
    return MakeMessage(reference, PgcCellText(reference));
}

CDvdValidationMessage* CDvdStructureValidator::CheckPgcCommands(const CDvdReference& reference)
{
    return MakeMessage(reference, PgcCommandsText(reference));
}

CDvdValidationMessage* CDvdStructureValidator::CheckButton(const CDvdReference& reference)
{
    return MakeMessage(reference, ButtonText(reference));
}

CDvdValidationMessage* CDvdStructureValidator::CheckButtonSegment(const CDvdReference& reference)
{
    return MakeMessage(reference, ButtonSegmentText(reference));
}

CDvdValidationMessage* CDvdStructureValidator::CheckVtsTitle(const CDvdReference& reference)
{
    return MakeMessage(reference, VtsTitleText(reference));
}

CDvdValidationMessage* CDvdStructureValidator::CheckVtsTitles(const CDvdReference& reference)
{
    // The first title without exactly one entry PGC is named, not the table.
    const CVtsTitles* pTitles = static_cast<const CVtsTitles*>(reference.pNode);
    for (uint32_t i = 0; i < pTitles->GetTitleCount(); ++i)
    {
        CString strError;
        if (pTitles->GetEntryPgc(i, strError).pNode == nullptr)
            return MakeMessage(CDvdReference(pTitles->GetTitle(i), 0, 0), strError);
    }
    return nullptr;
}

CDvdValidationMessage* CDvdStructureValidator::CheckVmgTitles(const CDvdReference& reference)
{
    return MakeMessage(reference, VmgTitlesText(reference));
}
