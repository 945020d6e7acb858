// kx_export_driver: imports a DVD-Video folder (or loads a project), can
// store the disc as a project, exports it as a new DVD-Video folder and
// prints the log. The end-to-end tests run it, and it reproduces a round trip
// by hand; --help lists the switches and edits.
//
//   kx_export_driver [--load PROJECT | SOURCE_FOLDER] [--merge FOLDER]...
//                    [--edit EDIT]... [--op OPERATION]... [--validate]
//                    [--store PROJECT] [--export OUT_FOLDER] [--modified-only]
//                    [--no-ifo]
//
// Like the program, the driver builds the stock cells at start, and when the
// source folder cannot be read it tries its VIDEO_TS subfolder. The edits run
// in order after the read or load; the edit list of --help says what each
// one takes. DOMAIN is vmgm (the VMG menus), vtsmN (title set N's menus) or
// vtsN (its titles); blocks, buttons, PGCs, tracks and angles count from 0.
//
// The steps run in this order: read or load, merge, edits and operations (in
// command-line order), validate, store, export. --merge FOLDER merges the disc
// read so far (disc 1) with the disc of the folder; the check's lines are
// printed, and a refused merge fails. --op OPERATION runs one disc-wide
// operation. --validate prints every message of the structure validator; any
// message fails the run.
//
// Exit code 0 when every step succeeded, 1 when one failed, 2 for bad usage.

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/Menu.h"
#include "DVD/source/PgcTable.h"
#include "DVD/source/ProjectStream.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/Validator.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "DVD/source/VobCell.h"
#include "DVD/source/button.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/source/DvdLog.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

class FileProjectWriter : public CProjectWriter
{
public:
    explicit FileProjectWriter(std::FILE* f) : m_file(f) {}
    uint32_t Write(const void* pData, uint32_t nBytes) override
    {
        return uint32_t(std::fwrite(pData, 1, nBytes, m_file));
    }

private:
    std::FILE* m_file;
};

class FileProjectReader : public CProjectReader
{
public:
    FileProjectReader(std::FILE* f, uint64_t nSize) : m_file(f), m_nSize(nSize) {}
    uint32_t Read(void* pBuffer, uint32_t nBytes) override { return uint32_t(std::fread(pBuffer, 1, nBytes, m_file)); }
    uint64_t GetSize() const override { return m_nSize; }

private:
    std::FILE* m_file;
    uint64_t m_nSize;
};

const char* KindName(uint32_t kind)
{
    switch (kind)
    {
    case CDvdLogEntry::kError: return "error";
    case CDvdLogEntry::kWarning: return "warning";
    case CDvdLogEntry::kCancelled: return "cancelled";
    default: return "info";
    }
}

// Prints and clears the log of one step; answers whether the step left no
// error and no cancel.
bool PrintLog(const char* step, bool bResult, CDvdLog& log)
{
    const CDvdLogEntryArray& entries = log.GetEntries();
    for (uint32_t i = 0; i < entries.GetSize(); ++i)
    {
        const CDvdLogEntry* e = entries[i];
        std::printf("%s: %s: %s%s%s\n", step, KindName(e->GetKind()), e->GetText() ? e->GetText() : "",
                    e->GetLocation() ? " @" : "", e->GetLocation() ? e->GetLocation() : "");
    }
    const bool bOk = bResult && !log.HasError() && !log.IsCancelled();
    std::printf("%s: %s\n", step, bOk ? "ok" : "failed");
    log.Finish();
    return bOk;
}

bool StoreProject(CDvd& disc, CDvdLog& log, const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
    {
        log.ReportError(("Can't create " + path).c_str(), nullptr);
        return false;
    }
    bool bStored;
    {
        FileProjectWriter writer(f);
        bStored = disc.Store(log, writer, nullptr) && writer.IsOk();
    }
    return std::fclose(f) == 0 && bStored;
}

bool LoadProject(CDvd& disc, CDvdLog& log, const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
    {
        log.ReportError(("Can't open " + path).c_str(), nullptr);
        return false;
    }
    std::fseek(f, 0, SEEK_END);
    const long nSize = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    bool bLoaded;
    {
        FileProjectReader reader(f, nSize > 0 ? uint64_t(nSize) : 0);
        bLoaded = disc.Load(log, reader, nullptr);
    }
    std::fclose(f);
    return bLoaded;
}

// A whole decimal number; false for anything else.
bool ParseNumber(const std::string& text, unsigned long& value)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9)
        return false;
    value = std::strtoul(text.c_str(), nullptr, 10);
    return true;
}

CAngleBlockList* FindDomain(CDvd& disc, const std::string& name)
{
    if (name == "vmgm")
        return &disc.GetVmg().GetMenuDomain();
    const bool bMenu = name.compare(0, 4, "vtsm") == 0;
    unsigned long nVts = 0;
    if (name.compare(0, 3, "vts") != 0 || !ParseNumber(name.substr(bMenu ? 4 : 3), nVts) || nVts == 0)
        return nullptr;
    CVts* pVts = disc.GetVts(unsigned(nVts - 1));
    if (pVts == nullptr)
        return nullptr;
    return bMenu ? &pVts->GetMenuDomain() : &pVts->GetTitleDomain();
}

// The PGCs that select the domain's streams: a title set's PGC table, or
// the language units of a menu domain.
struct CPgcContainer
{
    CPgcTable* pTable = nullptr;
    CLanguageUnits* pUnits = nullptr;
};

CPgcContainer FindPgcContainer(const CAngleBlockList& domain)
{
    CPgcContainer container;
    CDvdObject* pContainer = domain.GetPgcContainer();
    container.pTable = dynamic_cast<CPgcTable*>(pContainer);
    container.pUnits = dynamic_cast<CLanguageUnits*>(pContainer);
    return container;
}

// PGC n of a domain: the title PGCs, or the menu PGCs of the language units
// one unit after another.
CPgc* FindPgc(const CPgcContainer& container, unsigned long n)
{
    if (container.pTable != nullptr)
        return n < container.pTable->GetPgcCount() ? container.pTable->GetPgc(uint32_t(n)) : nullptr;
    for (uint32_t u = 0; container.pUnits != nullptr && u < container.pUnits->GetUnitCount(); ++u)
    {
        CLanguageUnit* pUnit = container.pUnits->GetUnit(u);
        if (n < pUnit->GetPgcCount())
            return pUnit->GetPgc(uint32_t(n));
        n -= pUnit->GetPgcCount();
    }
    return nullptr;
}

std::vector<std::string> SplitEdit(const std::string& edit)
{
    std::vector<std::string> parts;
    for (size_t from = 0;;)
    {
        const size_t colon = edit.find(':', from);
        parts.push_back(edit.substr(from, colon == std::string::npos ? std::string::npos : colon - from));
        if (colon == std::string::npos)
            break;
        from = colon + 1;
    }
    return parts;
}

// The command of button nButton in the first button segment of the block
// that has buttons; null when there is none.
const BYTE* FindButtonCommand(const CAngleBlock& block, unsigned long nButton)
{
    const CVobCell* pIlvu = block.GetIlvu(0);
    for (uint32_t i = 0; pIlvu != nullptr && i < pIlvu->GetSegmentCount(); ++i)
    {
        const CButtonSegment* pSegment = pIlvu->GetSegment(i);
        if (pSegment->GetButtonCount() > 0)
            return nButton < pSegment->GetButtonCount() ? pSegment->GetButton(uint32_t(nButton))->GetGroup(0).command
                                                        : nullptr;
    }
    return nullptr;
}

// hide|restore|separate|still:DOMAIN:BLOCK and
// split|cutfrom|cutto|keepangle|bypass:DOMAIN:BLOCK:N. Answers 1 when made,
// 0 when refused or malformed (reported), -1 when the edit is not one of
// these.
int ApplyBlockEdit(CDvd& disc, CDvdLog& log, const std::vector<std::string>& parts)
{
    const std::string& op = parts[0];
    const bool bNumbered = op == "split" || op == "cutfrom" || op == "cutto" || op == "keepangle" || op == "bypass";
    if (!bNumbered && op != "hide" && op != "restore" && op != "separate" && op != "still")
        return -1;
    CAngleBlockList* pDomain = parts.size() > 1 ? FindDomain(disc, parts[1]) : nullptr;
    unsigned long nBlock = 0, nValue = 0;
    if (parts.size() != (bNumbered ? 4u : 3u) || pDomain == nullptr || !ParseNumber(parts[2], nBlock) ||
        nBlock >= pDomain->GetBlockCount() || (bNumbered && !ParseNumber(parts[3], nValue)))
        return 0;
    CAngleBlock* pBlock = pDomain->GetBlock(unsigned(nBlock));
    CVobCell* pFirst = pBlock->GetIlvu(0);
    if (op == "hide")
        return pBlock->SetBlank();
    if (op == "restore")
        return pBlock->Restore();
    if (op == "separate")
        return pBlock->SeparateAngles();
    if (op == "keepangle")
        return pBlock->KeepAngle(uint32_t(nValue));
    if (op == "split")
        return pBlock->SplitAt(uint32_t(nValue));
    if (op == "bypass")
        return pBlock->BypassMenu(FindButtonCommand(*pBlock, nValue), int(nValue));
    if (op == "cutfrom")
        return pFirst != nullptr && pFirst->CutFrom(uint32_t(nValue));
    if (op == "cutto")
        return pFirst != nullptr && pFirst->CutTo(uint32_t(nValue));
    return pFirst != nullptr && pFirst->ConvertToStill();
}

// Disables track nTrack in every PGC of the container.
void DisableTrack(const CPgcContainer& container, bool bAudio, BYTE nTrack)
{
    if (container.pTable != nullptr)
    {
        if (bAudio)
            container.pTable->DisableAudioStream(nTrack);
        else
            container.pTable->DisableSubpictureStream(nTrack);
    }
    if (container.pUnits != nullptr)
    {
        if (bAudio)
            container.pUnits->DisableAudioStream(nTrack);
        else
            container.pUnits->DisableSubpictureStream(nTrack);
    }
}

// disableaudio|disablesubpicture:DOMAIN:TRACK: no PGC selects the track any
// more, which keeps its attributes; deleteaudio|deletesubpicture:DOMAIN:TRACK
// deletes the tracks from TRACK on. Answers as ApplyBlockEdit.
int ApplyStreamEdit(CDvd& disc, CDvdLog&, const std::vector<std::string>& parts)
{
    const std::string& op = parts[0];
    const bool bAudio = op == "disableaudio" || op == "deleteaudio";
    const bool bDelete = op == "deleteaudio" || op == "deletesubpicture";
    if (!bAudio && !bDelete && op != "disablesubpicture")
        return -1;
    CAngleBlockList* pDomain = parts.size() == 3 ? FindDomain(disc, parts[1]) : nullptr;
    unsigned long nTrack = 0;
    if (pDomain == nullptr || !ParseNumber(parts[2], nTrack))
        return 0;
    const CPgcContainer container = FindPgcContainer(*pDomain);
    CStreamSet& streams = pDomain->GetStreams();
    const int nTracks = bAudio ? streams.GetAudioCount() : streams.GetSubpictureCount();
    if (nTrack >= unsigned(nTracks))
        return 0;
    const BYTE nAudioBefore = pDomain->MapAudioMask(pDomain->GetAudioStreamMask());
    const DWORD dwSubpicturesBefore = pDomain->MapSubpictureMask(pDomain->GetSubpictureStreamMask());
    for (int t = bDelete ? nTracks - 1 : int(nTrack); t >= int(nTrack); --t)
    {
        DisableTrack(container, bAudio, BYTE(t));
        if (bDelete && bAudio)
            streams.RemoveAudioStream(BYTE(t));
        else if (bDelete)
            streams.RemoveSubpictureStream(BYTE(t));
    }
    // The domain drops the stream maps it worked out from the PGCs.
    pDomain->Invalidate();
    if (pDomain->MapAudioMask(pDomain->GetAudioStreamMask()) != nAudioBefore ||
        pDomain->MapSubpictureMask(pDomain->GetSubpictureStreamMask()) != dwSubpicturesBefore)
        pDomain->SetModified();
    return 1;
}

// hideall|restoreall:DOMAIN hides or restores every block of a domain,
// hideall|restoreall:DOMAIN:PGC every block one PGC plays. Answers as
// ApplyBlockEdit.
int ApplyHideAllEdit(CDvd& disc, CDvdLog&, const std::vector<std::string>& parts)
{
    const std::string& op = parts[0];
    const bool bHide = op == "hideall";
    if (!bHide && op != "restoreall")
        return -1;
    CAngleBlockList* pDomain = parts.size() == 2 || parts.size() == 3 ? FindDomain(disc, parts[1]) : nullptr;
    if (pDomain == nullptr)
        return 0;
    if (parts.size() == 2)
    {
        if (!bHide && !pDomain->CanRestoreBlocks())
            return 0;
        if (bHide)
            pDomain->HideAllBlocks();
        else
            pDomain->RestoreAllBlocks();
        return 1;
    }
    unsigned long nPgc = 0;
    CPgc* pPgc = ParseNumber(parts[2], nPgc) ? FindPgc(FindPgcContainer(*pDomain), nPgc) : nullptr;
    if (pPgc == nullptr)
        return 0;
    if (bHide)
    {
        pPgc->HideBlocks(true);
        return 1;
    }
    return pPgc->RestoreBlocks();
}

// stripangles:vtsN:ANGLE: every multi-angle title block of the title set
// keeps only the ILVU it plays for that angle. Answers as ApplyBlockEdit.
int ApplyAngleEdit(CDvd& disc, CDvdLog&, const std::vector<std::string>& parts)
{
    if (parts[0] != "stripangles")
        return -1;
    unsigned long nVts = 0, nAngle = 0;
    if (parts.size() != 3 || parts[1].compare(0, 3, "vts") != 0 || !ParseNumber(parts[1].substr(3), nVts) ||
        nVts == 0 || !ParseNumber(parts[2], nAngle))
        return 0;
    CVts* pVts = disc.GetVts(unsigned(nVts - 1));
    if (pVts == nullptr)
        return 0;
    CAngleBlockArray blocks;
    CAngleMap angleMap;
    const BYTE nAngles = pVts->CollectAngleBlocks(blocks, angleMap);
    if (nAngle >= nAngles)
        return 0;
    StripAngles(blocks, angleMap, uint32_t(nAngle));
    return 1;
}

// Applies one edit; a bad edit or one the disc refuses is reported.
bool ApplyEdit(CDvd& disc, CDvdLog& log, const std::string& edit)
{
    const std::vector<std::string> parts = SplitEdit(edit);
    int nResult = ApplyBlockEdit(disc, log, parts);
    if (nResult < 0)
        nResult = ApplyStreamEdit(disc, log, parts);
    if (nResult < 0)
        nResult = ApplyHideAllEdit(disc, log, parts);
    if (nResult < 0)
        nResult = ApplyAngleEdit(disc, log, parts);
    if (nResult < 0)
        log.ReportError(("Bad edit " + edit).c_str(), nullptr);
    else if (nResult == 0)
        log.ReportError(("The edit " + edit + " is malformed or was refused").c_str(), nullptr);
    return nResult > 0;
}

// Reads the folder, or when that fails (and was not cancelled) its VIDEO_TS
// subfolder, as the program's import does.
bool ReadSource(CDvd& disc, CDvdLog& log, const std::string& source)
{
    if (PrintLog("read", disc.Read(log, source.c_str(), nullptr), log))
        return true;
    if (log.IsCancelled())
        return false;
    const std::string subfolder = kx::JoinPath(source, "VIDEO_TS");
    std::printf("read: retrying in %s\n", subfolder.c_str());
    return PrintLog("read", disc.Read(log, subfolder.c_str(), nullptr), log);
}

const char* const kHelp[] = {
    "usage: kx_export_driver [--load PROJECT | SOURCE_FOLDER] [--merge FOLDER]...",
    "                        [--edit EDIT]... [--op OPERATION]... [--validate]",
    "                        [--store PROJECT] [--export OUT_FOLDER] [--modified-only] [--no-ifo]",
    "  SOURCE_FOLDER            import this DVD-Video folder (or its VIDEO_TS subfolder)",
    "  --load PROJECT           load a project file instead of importing",
    "  --merge FOLDER           merge the disc so far with this folder's disc (disc 1 first)",
    "  --edit EDIT              apply an edit (in order with the operations, after any merge)",
    "  --op OPERATION           run a disc-wide operation (in order with the edits)",
    "  --validate               print the structure check's messages; any message fails the run",
    "  --store PROJECT          store the disc as a project file",
    "  --export OUT_FOLDER      export the disc as a DVD-Video folder",
    "  --modified-only          export only what changed",
    "  --no-ifo                 export the VOB files only",
    "  --help                   show this list",
    "edits (DOMAIN: vmgm, vtsmN or vtsN; numbers count from 0):",
    "  hide:DOMAIN:BLOCK        play a blank cell instead of the block",
    "  restore:DOMAIN:BLOCK     bring back the block's imported content",
    "  separate:DOMAIN:BLOCK    make each angle of the block a block of its own",
    "  still:DOMAIN:BLOCK       turn the block into a still picture",
    "  split:DOMAIN:BLOCK:VOBU  split the block before that VOBU",
    "  cutfrom:DOMAIN:BLOCK:VOBU  cut the block's first angle from that VOBU on",
    "  cutto:DOMAIN:BLOCK:VOBU  cut the block's first angle up to that VOBU",
    "  keepangle:DOMAIN:BLOCK:ANGLE  keep only that angle of the block",
    "  bypass:DOMAIN:BLOCK:BUTTON  bypass the menu block with that button's command",
    "  disableaudio:DOMAIN:TRACK  no PGC of the domain selects the audio track",
    "  disablesubpicture:DOMAIN:TRACK  no PGC of the domain selects the sub-picture track",
    "  deleteaudio:DOMAIN:TRACK  delete the domain's audio tracks from that one on",
    "  deletesubpicture:DOMAIN:TRACK  delete the domain's sub-picture tracks from that one on",
    "  hideall:DOMAIN[:PGC]     hide every block of the domain, or that one PGC plays",
    "  restoreall:DOMAIN[:PGC]  restore every block of the domain, or that one PGC plays",
    "  stripangles:vtsN:ANGLE   keep only that angle in every multi-angle title block",
    "operations:",
    "  enable-uops              allow every user operation everywhere",
    "  remove-parental          remove parental management (prints whether any is left)",
    "  hide-transitions         hide the menus' transitions",
    "  menus-to-still           turn every menu into a still picture",
    "  bypass-hidden            bypass the hidden parts (prints whether anything changed)",
};

void PrintHelp(std::FILE* f)
{
    for (const char* line : kHelp)
        std::fprintf(f, "%s\n", line);
}

// ---- Merge, disc-wide operations and the validator -----------------------------------

// Operations share the edits' list so that both run in command-line order;
// an edit name never starts with this prefix.
const char kOperationPrefix[] = "--op ";

bool IsOperation(const std::string& step)
{
    return step.compare(0, sizeof kOperationPrefix - 1, kOperationPrefix) == 0;
}

// Runs one disc-wide operation and prints the answers it gives.
bool RunOperation(CDvd& disc, CDvdLog& log, const std::string& step)
{
    const std::string name = step.substr(sizeof kOperationPrefix - 1);
    if (name == "enable-uops")
        disc.EnableAllOperations();
    else if (name == "remove-parental")
    {
        disc.RemoveParentalManagement();
        std::printf("op: has-parental: %s\n", disc.HasParentalManagement() ? "true" : "false");
    }
    else if (name == "hide-transitions")
        disc.HideMenuTransitions();
    else if (name == "menus-to-still")
        disc.ConvertMenusToStill();
    else if (name == "bypass-hidden")
        std::printf("op: bypass-hidden: %s\n", disc.BypassHiddenParts() ? "true" : "false");
    else
    {
        log.ReportError(("Bad operation " + name).c_str(), nullptr);
        return false;
    }
    return true;
}

// Merges the disc with the discs of the folders; the merged disc replaces it.
// Prints every line of the merge check; false when it refuses.
bool MergeDiscs(CDvd& disc, CDvdLog& log, const std::vector<std::string>& folders)
{
    std::vector<std::unique_ptr<CDvd>> others;
    CDvdDiscArray discs;
    discs.Add(&disc);
    for (const std::string& folder : folders)
    {
        others.emplace_back(new CDvd);
        if (!ReadSource(*others.back(), log, folder))
            return false;
        discs.Add(others.back().get());
    }
    CString strMessages;
    const bool bMergeable = CDvd::CheckMerge(discs, strMessages);
    std::string lines(static_cast<const char*>(strMessages));
    for (size_t from = 0; from < lines.size();)
    {
        size_t end = lines.find("\r\n", from);
        if (end == std::string::npos)
            end = lines.size();
        std::printf("merge: %s\n", lines.substr(from, end - from).c_str());
        from = end + 2;
    }
    if (!bMergeable)
        return false;
    CDvd merged;
    if (!merged.Merge(discs, nullptr))
        return false;
    disc = merged;
    return true;
}

// Prints every message of the structure validator; true when there is none.
bool ValidateDisc(CDvd& disc)
{
    CDvdStructureValidator validator;
    CDvdValidationMessages messages;
    disc.Validate(validator, messages);
    if (messages.GetSize() > 0)
        std::printf("%s\n", static_cast<const char*>(messages.FormatReferenceChain(UINT32_MAX)));
    std::printf("validate: %u messages\n", unsigned(messages.GetSize()));
    return messages.GetSize() == 0;
}

int Usage()
{
    PrintHelp(stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string source, load, store, exportFolder;
    std::vector<std::string> edits, merges;
    bool bValidate = false;
    bool bModifiedOnly = false;
    bool bWriteIfo = true;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool bHasValue = i + 1 < argc;
        if (arg == "--load" && bHasValue)
            load = argv[++i];
        else if (arg == "--edit" && bHasValue)
            edits.push_back(argv[++i]);
        else if (arg == "--op" && bHasValue)
            edits.push_back(kOperationPrefix + std::string(argv[++i]));
        else if (arg == "--merge" && bHasValue)
            merges.push_back(argv[++i]);
        else if (arg == "--validate")
            bValidate = true;
        else if (arg == "--store" && bHasValue)
            store = argv[++i];
        else if (arg == "--export" && bHasValue)
            exportFolder = argv[++i];
        else if (arg == "--modified-only")
            bModifiedOnly = true;
        else if (arg == "--no-ifo")
            bWriteIfo = false;
        else if (arg == "--help")
        {
            PrintHelp(stdout);
            return 0;
        }
        else if (!arg.empty() && arg[0] != '-' && source.empty())
            source = arg;
        else
            return Usage();
    }
    if (source.empty() == load.empty())
        return Usage();

    // The program builds its stock cells at start-up: hides need them, and
    // so does a project that holds hidden blocks.
    CreateStockCells();
    CDvdLog log;
    CDvd disc;
    bool bOk = load.empty() ? ReadSource(disc, log, source) : PrintLog("load", LoadProject(disc, log, load), log);
    if (bOk && !merges.empty())
        bOk = PrintLog("merge", MergeDiscs(disc, log, merges), log);
    for (size_t i = 0; bOk && i < edits.size(); ++i)
        bOk = IsOperation(edits[i]) ? PrintLog("op", RunOperation(disc, log, edits[i]), log)
                                    : PrintLog("edit", ApplyEdit(disc, log, edits[i]), log);
    const bool bValid = !bOk || !bValidate || ValidateDisc(disc);
    if (bOk && !store.empty())
        bOk = PrintLog("store", StoreProject(disc, log, store), log);
    if (bOk && !exportFolder.empty())
    {
        if (!kx::FolderExists(exportFolder))
            kx::CreateFolder(exportFolder);
        bOk = PrintLog("write", disc.Write(log, exportFolder.c_str(), bModifiedOnly, nullptr, bWriteIfo), log);
    }
    return bOk && bValid ? 0 : 1;
}
