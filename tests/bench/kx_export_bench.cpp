// kx_export_bench: throughput of the engine's walks over a title set, each
// against a plain program doing the same amount of reading in the same run,
// and the export's peak memory. Not a test: it prints what it measured.
//
//   - export of the unchanged title set against a copy of the same VOB files
//     through user space with 1 MiB reads and writes;
//   - the background full scan of the set against a sequential read of it
//     with 1 MiB reads;
//   - the recovery of the set's address tables (as an import does when they
//     are damaged) against the same sequential read.
//
//   kx_export_bench [--fixture PAL1_FOLDER] [--cache DIR] [--size-mib N] [--runs N]
//
// The title set (at least N MiB, 1024 by default) is made once from the pal1
// fixture's title VOBs, repeated with their NAV packs renumbered, and kept in
// the cache folder for later runs.

#include "DVD/source/AngleBlock.h"
#include "DVD/source/CellAddress.h"
#include "DVD/source/DiskVobFile.h"
#include "DVD/source/IfoView.h"
#include "DVD/source/NavPack.h"
#include "DVD/source/StreamSet.h"
#include "DVD/source/VobData.h"
#include "DVD/source/VobExport.h"
#include "DVD/source/VobScan.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/platform/PlatformTime.h"
#include "Shared/source/DvdLog.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{

const uint32_t kSector = 2048;

std::vector<BYTE> ReadAll(const std::string& path)
{
    std::vector<BYTE> bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    BYTE buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return bytes;
}

void Fail(const std::string& what)
{
    std::fprintf(stderr, "kx_export_bench: %s\n", what.c_str());
    std::exit(1);
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The pal1 title domain: its VOB sectors, tables and streams.
struct SourceDomain
{
    std::vector<BYTE> vob;
    CCellAddressList cells;
    CVobuAddressList vobus;
    std::vector<BYTE> ifo;
};

void ReadSource(const std::string& fixture, SourceDomain& src)
{
    src.ifo = ReadAll(kx::JoinPath(fixture, "VIDEO_TS/VTS_01_0.IFO"));
    src.vob = ReadAll(kx::JoinPath(fixture, "VIDEO_TS/VTS_01_1.VOB"));
    if (src.ifo.size() < 0x200 + STREAM_BLOCK_SIZE || src.vob.empty() || src.vob.size() % kSector)
        Fail("can't read the pal1 fixture at " + fixture);
    const size_t cadt = size_t(GetBE32(&src.ifo[0xE0])) * kSector;
    const size_t admap = size_t(GetBE32(&src.ifo[0xE4])) * kSector;
    if (cadt >= src.ifo.size() || admap >= src.ifo.size() ||
        !ReadCellAddressTable(CIfoView(src.ifo.data() + cadt, src.ifo.size() - cadt), src.cells) ||
        !ReadVobuAddressMap(CIfoView(src.ifo.data() + admap, src.ifo.size() - admap), src.vobus))
        Fail("can't read the fixture's address tables");
}

// Copy c of the source: NAV packs renumbered and vob ids of their own.
void WriteCopy(const SourceDomain& src, uint32_t c, WORD wVobStep, std::vector<BYTE>& out)
{
    const uint32_t nSectors = uint32_t(src.vob.size() / kSector);
    out = src.vob;
    for (int32_t i = 0; i < src.vobus.GetSize(); ++i)
    {
        BYTE* s = out.data() + size_t(src.vobus[i]) * kSector;
        PciPacket pci;
        pci.ReadFromSector(s);
        DsiPacket dsi;
        dsi.ReadFromSector(s);
        pci.SetNvPckLbn(pci.GetNvPckLbn() + c * nSectors);
        dsi.SetNvPckLbn(dsi.GetNvPckLbn() + c * nSectors);
        dsi.SetVobuVobIdn(WORD(dsi.GetVobuVobIdn() + c * wVobStep));
        pci.WriteToSector(s);
        dsi.WriteToSector(s);
    }
}

// The cached title set; made when its stamp is missing.
void MakeTitleSet(const SourceDomain& src, const std::string& folder, uint64_t nBytes, uint32_t& nCopies,
                  WORD& wVobStep)
{
    const uint32_t nSectors = uint32_t(src.vob.size() / kSector);
    nCopies = uint32_t((nBytes + src.vob.size() - 1) / src.vob.size());
    wVobStep = 0;
    for (uint32_t i = 0; i < src.cells.GetSize(); ++i)
        wVobStep = std::max<WORD>(wVobStep, src.cells[i]->m_wVobId);
    const std::string stamp = kx::JoinPath(folder, "stamp-" + std::to_string(nCopies));
    if (kx::FileExists(stamp))
        return;
    kx::CreateFolder(folder);
    std::printf("making a title set of %u copies of pal1 in %s\n", nCopies, folder.c_str());
    std::FILE* f = nullptr;
    uint64_t nInFile = 0;
    uint32_t nFile = 0;
    std::vector<BYTE> copy;
    for (uint32_t c = 0; c < nCopies; ++c)
    {
        WriteCopy(src, c, wVobStep, copy);
        for (uint32_t s = 0; s < nSectors; ++s)
        {
            if (f == nullptr || nInFile + kSector > VOB_FILE_SIZE_LIMIT)
            {
                if (f != nullptr && std::fclose(f) != 0)
                    Fail("can't write the title set");
                f = std::fopen(CDiskVobFile::GetFileName(folder + "/", 1, false, ++nFile).c_str(), "wb");
                if (f == nullptr)
                    Fail("can't create the title set in " + folder);
                nInFile = 0;
            }
            if (std::fwrite(copy.data() + size_t(s) * kSector, 1, kSector, f) != kSector)
                Fail("can't write the title set");
            nInFile += kSector;
        }
    }
    if (std::fclose(f) != 0)
        Fail("can't write the title set");
    std::ofstream(stamp) << nCopies << "\n";
}

uint64_t CopyFiles(const std::string& from, const std::string& to)
{
    std::vector<BYTE> buffer(1 << 20);
    uint64_t nTotal = 0;
    for (uint32_t k = 1; k <= 9; ++k)
    {
        const std::string name = CDiskVobFile::GetFileName(from + "/", 1, false, k);
        if (!kx::FileExists(name))
            break;
        std::FILE* in = std::fopen(name.c_str(), "rb");
        std::FILE* out = std::fopen(CDiskVobFile::GetFileName(to + "/", 1, false, k).c_str(), "wb");
        if (!in || !out)
            Fail("can't copy " + name);
        size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
        {
            if (std::fwrite(buffer.data(), 1, n, out) != n)
                Fail("can't copy " + name);
            nTotal += n;
        }
        std::fclose(in);
        if (std::fclose(out) != 0)
            Fail("can't copy " + name);
    }
    return nTotal;
}

// Reads the title VOBs of a folder with 1 MiB reads; answers the bytes read.
uint64_t ReadFiles(const std::string& from)
{
    std::vector<BYTE> buffer(1 << 20);
    uint64_t nTotal = 0;
    for (uint32_t k = 1; k <= 9; ++k)
    {
        const std::string name = CDiskVobFile::GetFileName(from + "/", 1, false, k);
        std::FILE* in = std::fopen(name.c_str(), "rb");
        if (!in)
            break;
        size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
            nTotal += n;
        std::fclose(in);
    }
    return nTotal;
}

// The best of several timings.
void KeepBest(double& best, double seconds)
{
    if (best == 0 || seconds < best)
        best = seconds;
}

void RemoveVobs(const std::string& folder)
{
    for (uint32_t k = 1; k <= 9; ++k)
        kx::RemoveFile(CDiskVobFile::GetFileName(folder + "/", 1, false, k));
}

// Peak resident memory of the process in KiB since the last reset; -1 where
// the system does not tell.
long PeakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "VmHWM:") == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace

int main(int argc, char** argv)
{
    std::string fixture;
    std::string cache = "kx_bench_cache";
    uint64_t nMiB = 1024;
    int nRuns = 3;
    if (const char* root = std::getenv("KX_FIXTURE_DIR"))
        fixture = kx::JoinPath(root, "pal1");
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string arg = argv[i];
        if (arg == "--fixture")
            fixture = argv[i + 1];
        else if (arg == "--cache")
            cache = argv[i + 1];
        else if (arg == "--size-mib")
            nMiB = std::strtoull(argv[i + 1], nullptr, 10);
        else if (arg == "--runs")
            nRuns = std::max(1, std::atoi(argv[i + 1]));
        else
            Fail("usage: kx_export_bench [--fixture PAL1_FOLDER] [--cache DIR] [--size-mib N] [--runs N]");
    }
    if (fixture.empty())
        Fail("no fixture: set KX_FIXTURE_DIR or pass --fixture");

    SourceDomain src;
    ReadSource(fixture, src);
    kx::CreateFolder(cache);
    const std::string titles = kx::JoinPath(cache, "source");
    const std::string copyOut = kx::JoinPath(cache, "copy");
    const std::string exportOut = kx::JoinPath(cache, "export");
    kx::CreateFolder(copyOut);
    kx::CreateFolder(exportOut);
    uint32_t nCopies = 0;
    WORD wVobStep = 0;
    MakeTitleSet(src, titles, nMiB << 20, nCopies, wVobStep);

    // The domain's tables: every copy's cells and VOBUs moved on.
    const uint32_t nSectors = uint32_t(src.vob.size() / kSector);
    CCellAddressList cells;
    CVobuAddressList vobus;
    for (uint32_t c = 0; c < nCopies; ++c)
    {
        for (uint32_t i = 0; i < src.cells.GetSize(); ++i)
        {
            CCellAddress* p = new CCellAddress(*src.cells[i]);
            p->m_wVobId = WORD(p->m_wVobId + c * wVobStep);
            p->m_dwFirstSector += c * nSectors;
            p->m_dwLastSector += c * nSectors;
            cells.Add(p);
        }
        for (int32_t i = 0; i < src.vobus.GetSize(); ++i)
            vobus.Add(src.vobus[i] + c * nSectors);
    }
    CStreamSet streams(nullptr, false);
    streams.ReadIfo(src.ifo.data() + 0x200, false);

    CDvdLog log;
    const std::string folder = titles + kx::NativePathSeparator();
    std::unique_ptr<CVobData> set(new CVobData(log, folder.c_str(), 1, false, &streams, cells, vobus, false, nullptr));
    if (!set->IsUsable() || log.HasError())
        Fail("the title set does not open");
    CAngleBlockList domain(nullptr);
    domain.CopyConstruct(set->GetPristineBlocks());
    for (uint32_t b = 0; b < domain.GetBlockCount(); ++b)
        for (uint32_t a = 0; a < domain.GetBlock(b)->GetIlvuCount(); ++a)
            if (!domain.GetBlock(b)->GetIlvu(a)->ParseButtons(log, false, nullptr))
                Fail("the buttons of the title set do not parse");
    AssignVobCellIds(domain);

    uint64_t nCopied = 0;
    double copySeconds = 0;
    auto timeCopy = [&]()
    {
        RemoveVobs(copyOut);
        auto copyStart = std::chrono::steady_clock::now();
        nCopied = CopyFiles(titles, copyOut);
        const double seconds = Seconds(copyStart);
        RemoveVobs(copyOut);
        if (copySeconds == 0 || seconds < copySeconds)
            copySeconds = seconds;
    };
    timeCopy();

    // Both are timed several times, alternating, and count at their best, so
    // that neither profits from the order or from the disk's moods.
    ResetPeakMemory();
    const long nBaseKiB = PeakMemoryKiB();
    uint64_t nExported = 0;
    double exportSeconds = 0;
    for (int run = 0; run < nRuns; ++run)
    {
        CCellAddressList outCells;
        CVobuAddressList outVobus;
        auto exportStart = std::chrono::steady_clock::now();
        {
            CDiskVobFile writer;
            if (!writer.StartDomain(log, (exportOut + kx::NativePathSeparator()).c_str(), 1, false) ||
                !WriteVobsKeeping(domain, 0xFF, 0xFFFFFFFF, log, writer, outCells, outVobus, nullptr))
                Fail("the export failed");
            nExported = writer.GetWrittenSize();
            writer.Close();
        }
        const double seconds = Seconds(exportStart);
        if (exportSeconds == 0 || seconds < exportSeconds)
            exportSeconds = seconds;
        RemoveVobs(exportOut);
        timeCopy();
    }
    const long nPeakKiB = PeakMemoryKiB();
    if (nExported != nCopied)
        Fail("the export wrote " + std::to_string(nExported) + " bytes of " + std::to_string(nCopied));

    // The full scan and the recovery, each alternating with a sequential
    // read of the same files.
    double readSeconds = 0, scanSeconds = 0, recoverSeconds = 0;
    auto timeRead = [&]()
    {
        auto readStart = std::chrono::steady_clock::now();
        if (ReadFiles(titles) != nCopied)
            Fail("the sequential read fell short");
        KeepBest(readSeconds, Seconds(readStart));
    };
    timeRead();
    int32_t nRecoveredVobus = 0;
    for (int run = 0; run < nRuns; ++run)
    {
        std::unique_ptr<CVobData> scanned(
            new CVobData(log, folder.c_str(), 1, false, &streams, cells, vobus, false, nullptr));
        CVobData* pScanned = scanned.get();
        auto scanStart = std::chrono::steady_clock::now();
        StartFullScan(&pScanned, 1);
        while (!IsFullScanComplete(&pScanned, 1))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        KeepBest(scanSeconds, Seconds(scanStart));
        timeRead();

        // Tables that do not fit the files (every VOBU a sector late): the
        // set recovers them from every sector.
        CVobuAddressList garbled;
        for (int32_t i = 0; i < vobus.GetSize(); ++i)
            garbled.Add(vobus[i] + 1);
        auto recoverStart = std::chrono::steady_clock::now();
        std::unique_ptr<CVobData> recovered(
            new CVobData(log, folder.c_str(), 1, false, &streams, cells, garbled, true, nullptr));
        KeepBest(recoverSeconds, Seconds(recoverStart));
        if (!recovered->IsUsable())
            Fail("the recovery failed");
        nRecoveredVobus = recovered->GetVobus().GetSize();
        timeRead();
    }

    const double copyRate = double(nCopied) / (1 << 20) / copySeconds;
    const double exportRate = double(nExported) / (1 << 20) / exportSeconds;
    std::printf("title set: %.1f MiB in %u VOBUs\n", double(nCopied) / (1 << 20), unsigned(vobus.GetSize()));
    std::printf("plain copy: %.1f MB/s (%.2f s)\n", copyRate * 1.048576, copySeconds);
    std::printf("export:     %.1f MB/s (%.2f s)\n", exportRate * 1.048576, exportSeconds);
    std::printf("ratio export/copy: %.2f (target 0.90)\n", exportRate / copyRate);
    const double readRate = double(nCopied) / (1 << 20) / readSeconds;
    const double scanRate = double(nCopied) / (1 << 20) / scanSeconds;
    const double recoverRate = double(nCopied) / (1 << 20) / recoverSeconds;
    std::printf("sequential read: %.1f MB/s (%.2f s)\n", readRate * 1.048576, readSeconds);
    std::printf("full scan:  %.1f MB/s (%.2f s)\n", scanRate * 1.048576, scanSeconds);
    std::printf("recovery:   %.1f MB/s (%.2f s; %d VOBUs found, %d in the tables)\n", recoverRate * 1.048576,
                recoverSeconds, int(nRecoveredVobus), int(vobus.GetSize()));
    std::printf("ratio full scan/read: %.2f (target 0.80)\n", scanRate / readRate);
    std::printf("ratio recovery/read: %.2f (target 0.80)\n", recoverRate / readRate);
    if (nPeakKiB >= 0)
        std::printf("peak memory during the export: %.1f MiB (%.1f MiB above the process before it)\n",
                    nPeakKiB / 1024.0, (nPeakKiB - nBaseKiB) / 1024.0);
    else
        std::printf("peak memory during the export: not available on this system\n");
    return 0;
}
