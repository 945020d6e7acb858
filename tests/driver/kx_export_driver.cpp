// kx_export_driver: imports a DVD-Video folder (or loads a project), can
// store the disc as a project, exports it as a new DVD-Video folder and
// prints the log. The end-to-end tests run it, and it reproduces a round trip
// by hand:
//
//   kx_export_driver [--load PROJECT | SOURCE_FOLDER] [--merge FOLDER]...
//                    [--edit EDIT]... [--op OPERATION]... [--validate]
//                    [--store PROJECT] [--export OUT_FOLDER] [--modified-only]
//                    [--no-ifo]
//
// The steps run in this order: read or load, merge, edits and operations (in
// command-line order), validate, store, export.
//
// --merge FOLDER merges the disc read so far (disc 1) with the disc of the
// folder; the check's lines are printed, and a refused merge fails.
// --op OPERATION runs one disc-wide operation: enable-uops, remove-parental,
// hide-transitions, menus-to-still or bypass-hidden.
// --validate prints every message of the structure validator; any message
// fails the run.
//
// The edits run in order after the read or load. EDIT names one edit of one
// block, its domain and the block's index (from 0):
//   hide|restore|separate|still:DOMAIN:BLOCK
//   split|cutfrom|cutto:DOMAIN:BLOCK:VOBU     (on the block's first angle)
//   keepangle:DOMAIN:BLOCK:ANGLE              (from 0)
// where DOMAIN is vmgm (the VMG menus), vtsmN (title set N's menus) or vtsN
// (its titles).
//
// Exit code 0 when every step succeeded, 1 when one failed, 2 for bad usage.

#include "DVD/source/AngleBlock.h"
#include "DVD/source/DVD.h"
#include "DVD/source/ProjectStream.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/Validator.h"
#include "DVD/source/VMG.h"
#include "DVD/source/VTS.h"
#include "Shared/platform/PlatformFileSystem.h"
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

// Applies one edit; a bad edit or one the block refuses is reported.
bool ApplyEdit(CDvd& disc, CDvdLog& log, const std::string& edit)
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
    const std::string& op = parts[0];
    const bool bNumbered = op == "split" || op == "cutfrom" || op == "cutto" || op == "keepangle";
    CAngleBlockList* pDomain = parts.size() > 1 ? FindDomain(disc, parts[1]) : nullptr;
    unsigned long nBlock = 0, nValue = 0;
    if (parts.size() != (bNumbered ? 4u : 3u) || pDomain == nullptr || !ParseNumber(parts[2], nBlock) ||
        nBlock >= pDomain->GetBlockCount() || (bNumbered && !ParseNumber(parts[3], nValue)))
    {
        log.ReportError(("Bad edit " + edit).c_str(), nullptr);
        return false;
    }
    CAngleBlock* pBlock = pDomain->GetBlock(unsigned(nBlock));
    CVobCell* pFirst = pBlock->GetIlvu(0);
    bool bDone = false;
    if (op == "hide")
        bDone = pBlock->SetBlank();
    else if (op == "restore")
        bDone = pBlock->Restore();
    else if (op == "separate")
        bDone = pBlock->SeparateAngles();
    else if (op == "keepangle")
        bDone = pBlock->KeepAngle(uint32_t(nValue));
    else if (op == "split")
        bDone = pBlock->SplitAt(uint32_t(nValue));
    else if (op == "cutfrom")
        bDone = pFirst != nullptr && pFirst->CutFrom(uint32_t(nValue));
    else if (op == "cutto")
        bDone = pFirst != nullptr && pFirst->CutTo(uint32_t(nValue));
    else if (op == "still")
        bDone = pFirst != nullptr && pFirst->ConvertToStill();
    else
    {
        log.ReportError(("Bad edit " + edit).c_str(), nullptr);
        return false;
    }
    if (!bDone)
        log.ReportError(("The block refused the edit " + edit).c_str(), nullptr);
    return bDone;
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

// Reads a disc folder, or its VIDEO_TS folder when the folder itself holds
// no disc.
bool ReadDisc(CDvd& disc, CDvdLog& log, const std::string& folder)
{
    if (disc.Read(log, folder.c_str(), nullptr) || log.IsCancelled())
        return true;
    log.Finish();
    return disc.Read(log, (folder + "/VIDEO_TS").c_str(), nullptr);
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
        if (!PrintLog("read", ReadDisc(*others.back(), log, folder), log))
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
    std::fprintf(stderr, "usage: kx_export_driver [--load PROJECT | SOURCE_FOLDER] [--merge FOLDER]...\n"
                         "                        [--edit EDIT]... [--op OPERATION]... [--validate]\n"
                         "                        [--store PROJECT] [--export OUT_FOLDER] [--modified-only]\n"
                         "                        [--no-ifo]\n"
                         "OPERATION: enable-uops, remove-parental, hide-transitions, menus-to-still,\n"
                         "           bypass-hidden\n");
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
        else if (!arg.empty() && arg[0] != '-' && source.empty())
            source = arg;
        else
            return Usage();
    }
    if (source.empty() == load.empty())
        return Usage();

    // The program builds its stock cells at start-up: hidden blocks, merged
    // discs and projects that hold them need them.
    CreateStockCells();
    CDvdLog log;
    CDvd disc;
    bool bOk = load.empty() ? PrintLog("read", disc.Read(log, source.c_str(), nullptr), log)
                            : PrintLog("load", LoadProject(disc, log, load), log);
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
