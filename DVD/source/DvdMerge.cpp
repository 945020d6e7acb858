// Merging discs: the title sets, VMG menus and titles of each disc after the
// first are appended with every reference renumbered, and a last title set
// holds a menu with one button per disc, started by a new First Play.

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/NavCommand.h"
#include "DVD/source/NavRetarget.h"
#include "DVD/source/PGC.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/VobData.h"
#include "DVD/source/button.h"
#include "DVD/source/title.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdProgress.h"

#include <cstring>
#include <memory>

namespace
{

const int kMergeDiscs = 2;
// A disc holds 99 title sets and 99 titles; the merge adds one of each.
const int kMaxMergedTitleSets = 98;
const int kMaxMergedTitles = 98;

// The chooser's commands, in the byte form of the DVD-Video standard.
const BYTE kSetAudioMixing[8] = {0x54, 0, 0, 0, 0, 0, 0, 0};    // SetAMXMD 0
const BYTE kHighlightToR0[8] = {0x61, 0, 0, 0, 0, 0x88, 0, 0};  // R[0] = SPRM 8 (highlighted button)
const BYTE kLinkTailPgc[8] = {0x20, 0x01, 0, 0, 0, 0, 0, 0x0D}; // LinkTailPGC, button 0

// SetGPRMMD R[nRegister] = 0, counter mode off.
void ClearRegisterCommand(BYTE* pCommand, int nRegister)
{
    const BYTE bytes[8] = {0x53, 0, 0, 0, 0, BYTE(nRegister & 0x0F), 0, 0};
    memcpy(pCommand, bytes, 8);
}

// if (R[0] != wValue) goto nLine.
void CompareGotoCommand(BYTE* pCommand, WORD wValue, int nLine)
{
    const BYTE bytes[8] = {0x00, 0xB1, 0, 0, BYTE(wValue >> 8), BYTE(wValue), 0, BYTE(nLine)};
    memcpy(pCommand, bytes, 8);
}

// Jump VMG PGC nPgc (from 1).
void JumpVmgPgcCommand(BYTE* pCommand, int nPgc)
{
    const BYTE bytes[8] = {0x30, 0x06, BYTE((nPgc >> 8) & 0x7F), BYTE(nPgc), 0, 0xC0, 0, 0};
    memcpy(pCommand, bytes, 8);
}

// Jump to the root menu (type 3) of title set nVts, title 1.
void JumpVtsRootMenuCommand(BYTE* pCommand, int nVts)
{
    const BYTE bytes[8] = {0x30, 0x06, 0, 1, BYTE(nVts), 0x83, 0, 0};
    memcpy(pCommand, bytes, 8);
}

// The first general register that no command uses; 16 when all are used.
int FindFreeRegister(WORD wUsed)
{
    int r = 0;
    while (r < 16 && (wUsed & (1u << r)) != 0)
        ++r;
    return r;
}

void Advance(CDvdProgress* pProgress, uint64_t nSteps)
{
    if (pProgress)
        pProgress->Advance(nSteps);
}

// Every menu language of every title set of the discs, each once.
void CollectMenuLanguages(const CDvdDiscArray& discs, CGrowArray<WORD>& codes)
{
    for (int32_t d = 0; d < discs.GetSize(); ++d)
        for (unsigned v = 0; v < discs[d]->GetVtsCount(); ++v)
        {
            const CLanguageUnits& units = discs[d]->GetVts(v)->GetLanguageUnits();
            for (uint32_t u = 0; u < units.GetUnitCount(); ++u)
            {
                const WORD wCode = units.GetUnit(u)->GetLanguageCode();
                bool bKnown = false;
                for (int32_t c = 0; c < codes.GetSize() && !bKnown; ++c)
                    bKnown = codes[c] == wCode;
                if (!bKnown)
                    codes.Add(wCode);
            }
        }
}

// The colours of the chooser's highlight: {Y, Cr, Cb} of entries 0-15.
const BYTE kChooserColours[16][3] = {{0x10, 0x80, 0x80}, {0x10, 0x80, 0x80}, {0x10, 0x80, 0x80}, {0x10, 0x80, 0x80},
                                     {0x10, 0x80, 0x80}, {0xD2, 0x92, 0x10}, {0xD2, 0x92, 0x10}, {0xD2, 0x92, 0x10},
                                     {0x10, 0x80, 0x80}, {0x90, 0x22, 0x35}, {0x90, 0x22, 0x35}, {0x90, 0x22, 0x35},
                                     {0x10, 0x80, 0x80}, {0x50, 0x99, 0x5B}, {0x48, 0x8B, 0x5F}, {0xC5, 0x83, 0x52}};

} // namespace

bool CDvd::CheckMerge(CDvdDiscArray discs, CString& strMessages)
{
    strMessages.Empty();
    if (discs.GetSize() != kMergeDiscs)
    {
        strMessages = "Select two disks for merger.\r\n";
        return false;
    }
    bool bOk = true;
    bool bFirstPlayMissing = false;
    bool bStreamsDiffer = false;
    int nTitleSets = 0;
    int nTitles = 0;
    std::unique_ptr<CStreamSet> pFirstStreams;
    for (int32_t i = 0; i < discs.GetSize(); ++i)
    {
        const CDvd& disc = *discs[i];
        nTitleSets += int(disc.GetVtsCount());
        if (nTitles > 0)
        {
            CCommandOperation operation;
            operation.nOperation = COMMANDOP_TITLE_REGISTER;
            operation.a = uint32_t(nTitles);
            operation.b = uint32_t(FindFreeRegister(disc.GetUsedRegisters()));
            if (!disc.CheckCommands(operation))
            {
                strMessages += FormatString("vmg_title register is used for navigation in disk %d. Command(s) can "
                                            "not be adjusted automatically\r\n",
                                            int(i + 1));
                bOk = false;
            }
        }
        nTitles += int(disc.GetVmg().GetTitles().GetEntryCount());
        if (disc.GetVmg().GetFirstPlayPgc() == nullptr)
            bFirstPlayMissing = true;
        CStreamSet streams(nullptr, true);
        if (disc.GetVmg().GetMenuDomain().GetSourceStreams(streams, nullptr))
        {
            if (!pFirstStreams)
                pFirstStreams.reset(new CStreamSet(streams, nullptr));
            else if (!pFirstStreams->Equals(streams))
                bStreamsDiffer = true;
        }
    }
    if (bFirstPlayMissing)
    {
        strMessages += "Disk without FirstPlay PGC is selected.\r\n";
        bOk = false;
    }
    if (bStreamsDiffer)
        strMessages += "WARNING: Different VMG streams detected. This may have an undesired effect on the playback of "
                       "the DVD.\r\n";
    if (nTitleSets > kMaxMergedTitleSets)
    {
        strMessages += FormatString("More then %d TitleSets in selected disks.\r\n", kMaxMergedTitleSets);
        bOk = false;
    }
    if (nTitles > kMaxMergedTitles)
    {
        strMessages += FormatString("More then %d VMG Titles in selected disks.\r\n", kMaxMergedTitles);
        bOk = false;
    }
    return bOk;
}

uint16_t CDvd::PrepareForMerge(int nTitles, int nMenuPgcs, int nTitleSets)
{
    const int nFreeRegister = FindFreeRegister(GetUsedRegisters());

    const uint16_t x = m_vmg.CopyFirstPlayToMenus();
    m_vmg.DeleteFirstPlayPgc();
    CCommandOperation toMenu;
    toMenu.nOperation = COMMANDOP_FIRST_PLAY_TO_PGC;
    toMenu.a = 1;
    toMenu.b = uint32_t(x) + 1;
    RetargetCommands(toMenu);

    // The VMG title menu becomes a plain menu PGC that commands jump to.
    int nTitleMenu = -1;
    CLanguageUnits& units = m_vmg.GetLanguageUnits();
    for (uint32_t u = 0; u < units.GetUnitCount(); ++u)
    {
        CLanguageUnit* pUnit = units.GetUnit(u);
        if (CPgc* pMenu = pUnit->FindMenu(2))
        {
            nTitleMenu = pUnit->GetChildIndex(pMenu);
            pUnit->SetMenuType(nullptr, 2);
        }
    }
    if (nTitleMenu >= 0)
    {
        toMenu.a = 2;
        toMenu.b = uint32_t(nTitleMenu) + 1;
        RetargetCommands(toMenu);
    }

    if (nMenuPgcs > 0)
    {
        RetargetReferences(RETARGET_VMG_PGC, 0, nMenuPgcs, RETARGET_NO_LIMIT);
        m_vmg.RetargetReferences(RETARGET_PGC, 0, nMenuPgcs, RETARGET_NO_LIMIT);
    }
    if (nTitles > 0)
    {
        RetargetReferences(RETARGET_VMG_TITLE, 0, nTitles, RETARGET_NO_LIMIT);
        CCommandOperation titleRegister;
        titleRegister.nOperation = COMMANDOP_TITLE_REGISTER;
        titleRegister.a = uint32_t(nTitles);
        titleRegister.b = uint32_t(nFreeRegister);
        RetargetCommands(titleRegister);
    }
    if (nTitleSets > 0)
        RetargetReferences(RETARGET_TITLE_SET, 0, nTitleSets, RETARGET_NO_LIMIT);
    return x;
}

bool CDvd::Merge(const CDvdDiscArray& discs, CDvdProgress* pProgress)
{
    Reset();
    CString strMessages;
    // The chooser holds as many buttons as its stock cell; the check keeps
    // the discs within it and within the disc's limits.
    if (!CheckMerge(discs, strMessages))
        return false;
    const int n = discs.GetSize();
    const CDvd& first = *discs[0];
    CStreamSet menuStreams(nullptr, true);
    const bool bPal = first.GetVmg().GetMenuDomain().GetSourceStreams(menuStreams, nullptr)
                          ? menuStreams.GetVideo().GetStandard() == 1
                          : first.IsPal();
    CreateStockCells();
    const CVobCell* pStock = GetStockCell(bPal ? STOCK_MERGE_2_PAL : STOCK_MERGE_2_NTSC);
    if (pStock == nullptr || pStock->GetSegmentCount() == 0 || pStock->GetSegment(0)->GetButtonCount() < uint32_t(n))
        return false;

    if (pProgress)
    {
        uint64_t nTotal = uint64_t(n) + 3 + 2;
        for (int k = 1; k < n; ++k)
            nTotal += 3 + discs[k]->GetVtsCount();
        pProgress->SetRange(nTotal);
        pProgress->Advance(0);
        pProgress->SetText("Merging projects ...");
        pProgress->SetText("Processing disk 1");
    }
    *this = first;
    Advance(pProgress, 1);

    CGrowArray<WORD> offsets;
    offsets.Add(PrepareForMerge(0, 0, 0));
    Advance(pProgress, 1);

    CGrowArray<WORD> languages;
    CollectMenuLanguages(discs, languages);
    m_vmg.AddMissingLanguageUnits(languages);
    Advance(pProgress, 1);

    for (int k = 1; k < n; ++k)
    {
        PrintfToSink(pProgress, "Processing disk %d.", k + 1);
        std::unique_ptr<CDvd> pCopy(new CDvd(*discs[k]));
        Advance(pProgress, 1);
        const CLanguageUnits& units = m_vmg.GetLanguageUnits();
        const int nMenuPgcs = units.GetUnitCount() > 0 ? int(units.GetUnit(0)->GetPgcCount()) : 0;
        const uint16_t x =
            pCopy->PrepareForMerge(int(m_vmg.GetTitles().GetEntryCount()), nMenuPgcs, int(GetVtsCount()));
        offsets.Add(WORD(nMenuPgcs + x));
        Advance(pProgress, 1);
        for (unsigned v = 0; v < pCopy->GetVtsCount(); ++v)
        {
            AddVtsCopy(*pCopy->GetVts(v));
            Advance(pProgress, 1);
        }
        m_vmg.AppendMenusAndTitles(pCopy->GetVmg());
        Advance(pProgress, 1);
    }

    if (pProgress)
        pProgress->SetText("Finalizing");
    CVts* pChooserSet = AddVtsCopy(CVts(nullptr));
    const int nChooserSet = int(GetVtsCount());
    // Stock cells bring no streams of their own: the new set's domains take
    // the video of the chooser's cell, and its menus the cell's sub-picture
    // stream that the highlight shows, so that its IFO describes what plays.
    const CStreamSet& stockStreams = pStock->GetVobData()->GetStreams();
    pChooserSet->GetMenuDomain().SetStreams(stockStreams);
    BYTE attributes[STREAM_BLOCK_SIZE] = {};
    stockStreams.WriteIfo(attributes);
    CStreamSet titleStreams(nullptr, false);
    titleStreams.ReadIfo(attributes, false);
    titleStreams.SetSubpictureCount(0, true);
    pChooserSet->GetTitleDomain().SetStreams(titleStreams);

    // The title of the new set: one blank program.
    CPgc* pTitlePgc = new CPgc(0, &pChooserSet->GetPgcTable());
    pChooserSet->GetPgcTable().AddPgc(pTitlePgc);
    pTitlePgc->AddBlankProgram();
    CChapterEntry chapter;
    pChooserSet->GetTitles().AddTitle(chapter);
    CVmgTitleEntry titleEntry;
    titleEntry.nVts = BYTE(nChooserSet - 1);
    titleEntry.nTitle = 0;
    m_vmg.GetTitles().AddEntry(titleEntry);

    // The chooser: the stock menu, still for ever, one button per disc.
    CLanguageUnit* pUnit = pChooserSet->GetLanguageUnits().AddUnit();
    CPgc* pMenu = new CPgc(1, pUnit);
    pUnit->AddPgc(pMenu);
    pMenu->m_nCategory = 0x83;
    pMenu->m_wParentalMask = 0;
    CAngleBlockList& menuDomain = pChooserSet->GetMenuDomain();
    CVobCell* pIlvu = CVobCell::CopyConstruct(*pStock, nullptr);
    pIlvu->SetIds(1, 1);
    pIlvu->SetModified();
    CAngleBlock* pBlock = menuDomain.AddCell(pIlvu, nullptr);
    CGrowArray<BYTE> angles;
    angles.Add(0);
    pMenu->AddCell(new CPgcCell(1, 0, 255, 0, pBlock, angles, pMenu));
    pMenu->AddProgram(0);
    pMenu->m_subpictures[0].bEnabled = 1;
    for (int c = 0; c < 16; ++c)
    {
        pMenu->m_colours.colours[c][0] = 0;
        for (int b = 0; b < 3; ++b)
            pMenu->m_colours.colours[c][b + 1] = kChooserColours[c][b];
    }
    BYTE command[8];
    for (int r = 0; r < 16; ++r)
    {
        ClearRegisterCommand(command, r);
        pMenu->m_preCommands.Add(command);
    }
    pMenu->m_preCommands.Add(kSetAudioMixing);
    pMenu->m_postCommands.Add(kHighlightToR0);
    for (int i = 1; i <= n; ++i)
    {
        if (i < n)
        {
            CompareGotoCommand(command, WORD(i * 1024), 3 * i + 2);
            pMenu->m_postCommands.Add(command);
        }
        ClearRegisterCommand(command, 0);
        pMenu->m_postCommands.Add(command);
        JumpVmgPgcCommand(command, offsets[i - 1] + 1);
        pMenu->m_postCommands.Add(command);
    }
    CButtonSegment* pSegment = pIlvu->GetSegment(0);
    for (int i = 0; i < n; ++i)
    {
        CDvdButton* pButton = pSegment->GetButton(uint32_t(i));
        for (uint32_t g = 0; g < pButton->GetGroupCount(); ++g)
            memcpy(pButton->GetGroup(int(g)).command, kLinkTailPgc, 8);
        pButton->SetModified();
    }
    for (int b = int(pSegment->GetButtonCount()) - 1; b >= n; --b)
        pSegment->RemoveButton(b, false);

    // First Play starts the chooser through a VMG menu PGC of its own.
    m_vmg.CreateFirstPlayPgc();
    CPgc* pFirstPlay = m_vmg.GetFirstPlayPgc();
    JumpVtsRootMenuCommand(command, nChooserSet);
    pFirstPlay->m_preCommands.Add(command);
    pFirstPlay->m_nMenu = 1;
    pFirstPlay->m_nCategory = 0x82;
    pFirstPlay->m_wParentalMask = 0;
    const uint16_t x = m_vmg.CopyFirstPlayToMenus();
    m_vmg.DeleteFirstPlayPgc();
    m_vmg.CreateFirstPlayPgc();
    JumpVmgPgcCommand(command, x + 1);
    m_vmg.GetFirstPlayPgc()->m_preCommands.Add(command);

    Advance(pProgress, 1);
    ModifyUops(0x40000, 0);
    Advance(pProgress, 1);
    return true;
}
