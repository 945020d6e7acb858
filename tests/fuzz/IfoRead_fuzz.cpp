// Feeds arbitrary bytes to the disc reader as one IFO file of a DVD-Video
// folder. A damaged or hostile IFO must read or fail with a message, never
// crash, and never make the reader allocate beyond what the fuzzer's memory
// limits allow (scripts/fuzz.sh sets them).
//
// The first byte chooses the file: even for VIDEO_TS.IFO, odd for
// VTS_01_0.IFO; the rest are its bytes. The other files of the folder are
// those of the disc that KX_IFO_FUZZ_DISC names (a VIDEO_TS folder), copied
// once at start; without it the folder holds only the fuzzed IFO.

#include "DVD/source/DVD.h"
#include "DVD/source/StockCells.h"
#include "DVD/source/VobData.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/source/DvdLog.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

std::string g_folder;
// The disc's own IFOs; empty without a disc.
std::vector<uint8_t> g_vmgIfo;
std::vector<uint8_t> g_vtsIfo;

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb"))
    {
        uint8_t buffer[65536];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

void RemoveFolder()
{
    std::vector<std::string> names;
    kx::ListFiles(g_folder, names);
    for (const std::string& name : names)
        kx::RemoveFile(kx::JoinPath(g_folder, name));
    kx::RemoveFolder(g_folder);
}

bool CopyFile(const std::string& from, const std::string& to)
{
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (in == nullptr)
        return false;
    std::FILE* out = std::fopen(to.c_str(), "wb");
    bool bOk = out != nullptr;
    char buffer[65536];
    size_t n = 0;
    while (bOk && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bOk = std::fwrite(buffer, 1, n, out) == n;
    std::fclose(in);
    return out != nullptr && std::fclose(out) == 0 && bOk;
}

bool WriteFile(const std::string& path, const uint8_t* pData, size_t nSize)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool bOk = nSize == 0 || std::fwrite(pData, 1, nSize, f) == nSize;
    return std::fclose(f) == 0 && bOk;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    CreateStockCells();
    char pattern[] = "/tmp/kx-ifo-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
    {
        std::perror("mkdtemp");
        std::abort();
    }
    g_folder = pattern;
    std::atexit(RemoveFolder);
    if (const char* pszDisc = std::getenv("KX_IFO_FUZZ_DISC"))
    {
        g_vmgIfo = ReadFile(kx::JoinPath(pszDisc, "VIDEO_TS.IFO"));
        g_vtsIfo = ReadFile(kx::JoinPath(pszDisc, "VTS_01_0.IFO"));
        std::vector<std::string> names;
        kx::ListFiles(pszDisc, names);
        for (const std::string& name : names)
            if (!CopyFile(kx::JoinPath(pszDisc, name), kx::JoinPath(g_folder, name)))
            {
                std::fprintf(stderr, "Can't copy %s\n", name.c_str());
                std::abort();
            }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    const bool bTitleSet = (pData[0] & 1) != 0;
    // Both IFOs start as the disc has them (or absent); the chosen one and
    // its backup, so that no reader falls back on the disc's own, get the
    // input.
    for (const bool bVts : {false, true})
    {
        const std::string name = bVts ? "VTS_01_0" : "VIDEO_TS";
        const std::vector<uint8_t>& own = bVts ? g_vtsIfo : g_vmgIfo;
        const uint8_t* pBytes = bVts == bTitleSet ? pData + 1 : own.data();
        const size_t nBytes = bVts == bTitleSet ? nSize - 1 : own.size();
        for (const char* pszExtension : {".IFO", ".BUP"})
        {
            const std::string path = kx::JoinPath(g_folder, name + pszExtension);
            if (bVts != bTitleSet && own.empty())
                kx::RemoveFile(path);
            else if (!WriteFile(path, pBytes, nBytes))
                std::abort();
        }
    }
    {
        CDvdLog log;
        CDvd dvd;
        dvd.Read(log, g_folder.c_str(), nullptr);
    }
    // The sets the read opened, before the next input rewrites the files.
    PurgeUnusedVobData();
    return 0;
}
