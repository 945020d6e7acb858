// kx_export_driver: imports a DVD-Video folder (or loads a project), can
// store the disc as a project, exports it as a new DVD-Video folder and
// prints the log. The end-to-end tests run it, and it reproduces a round trip
// by hand:
//
//   kx_export_driver [--load PROJECT | SOURCE_FOLDER] [--store PROJECT]
//                    [--export OUT_FOLDER] [--modified-only] [--no-ifo]
//
// Exit code 0 when every step succeeded, 1 when one failed, 2 for bad usage.

#include "DVD/source/DVD.h"
#include "DVD/source/ProjectStream.h"
#include "Shared/source/DvdLog.h"

#include <cstdio>
#include <cstring>
#include <string>

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
    uint32_t Read(void* pBuffer, uint32_t nBytes) override
    {
        return uint32_t(std::fread(pBuffer, 1, nBytes, m_file));
    }
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

int Usage()
{
    std::fprintf(stderr, "usage: kx_export_driver [--load PROJECT | SOURCE_FOLDER] [--store PROJECT]\n"
                         "                        [--export OUT_FOLDER] [--modified-only] [--no-ifo]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string source, load, store, exportFolder;
    bool bModifiedOnly = false;
    bool bWriteIfo = true;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool bHasValue = i + 1 < argc;
        if (arg == "--load" && bHasValue)
            load = argv[++i];
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

    CDvdLog log;
    CDvd disc;
    bool bOk = load.empty() ? PrintLog("read", disc.Read(log, source.c_str(), nullptr), log)
                            : PrintLog("load", LoadProject(disc, log, load), log);
    if (bOk && !store.empty())
        bOk = PrintLog("store", StoreProject(disc, log, store), log);
    if (bOk && !exportFolder.empty())
        bOk = PrintLog("write", disc.Write(log, exportFolder.c_str(), bModifiedOnly, nullptr, bWriteIfo), log);
    return bOk ? 0 : 1;
}
