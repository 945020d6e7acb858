#include "DVD/source/DVD.h"

#include "DVD/source/ProjectStream.h"
#include "DVD/source/Validator.h"
#include "Shared/platform/PlatformFileSystem.h"
#include "Shared/platform/PlatformPath.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

#include <cstring>
#include <string>

namespace
{
// The project record of the disc: version byte, then (from version 2 on) a
// marker byte that must not be 0.
constexpr uint8_t kDvdRecordVersion = 2;
constexpr uint8_t kDvdRecordMarker = 1;
// A disc holds at most 99 title sets.
constexpr uint16_t kMaxTitleSets = 99;
// The smallest title-set record: its version and flags bytes.
constexpr uint32_t kMinVtsRecordBytes = 2;
// The longest file name the disc's folder gets joined with ("VTS_nn_0.IFO").
constexpr size_t kLongestDiscFileName = 12;

// The folder with a separator at its end, or false when the files of a disc
// in it would have paths too long for the file layer.
bool MakeFolderPath(const char* pszFolder, std::string& path)
{
    path = pszFolder != nullptr ? pszFolder : "";
    if (path.empty() || !kx::IsPathSeparator(path.back()))
        path += kx::NativePathSeparator();
    return path.size() + kLongestDiscFileName <= kx::kMaxPathLength;
}

const char kPathTooLong[] = "Path to DVD is too long.";
} // namespace

CDvdObserver::~CDvdObserver() = default;

CDvd::CDvd() : CDvdObject(DVDNODE_DVD, nullptr), m_vmg(this)
{
    Reset();
}

CDvd::CDvd(const CDvd& src) : CDvdObject(src, nullptr), m_vmg(this)
{
    *this = src;
}

CDvd& CDvd::operator=(const CDvd& src)
{
    if (this == &src)
        return *this;
    Clear();
    m_vmg = src.m_vmg;
    for (uint32_t i = 0; i < src.m_titleSets.GetSize(); ++i)
    {
        if (const CVts* pVts = src.m_titleSets[i])
            AddVtsCopy(*pVts);
    }
    CDvdObject::operator=(src);
    return *this;
}

CDvd::~CDvd()
{
    Clear();
}

int CDvd::GetChildIndex(const CDvdObject* pChild) const
{
    if (pChild == nullptr)
        return -1;
    const CDvdObject* pSelf = pChild->Self();
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
    {
        if (m_titleSets[i] == pSelf)
            return static_cast<int>(i);
    }
    return -1;
}

bool CDvd::IsModified() const
{
    if (CDvdObject::IsModified() || m_vmg.IsModified())
        return true;
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
    {
        if (m_titleSets[i] != nullptr && m_titleSets[i]->IsModified())
            return true;
    }
    return false;
}

void CDvd::ClearModified()
{
    CDvdObject::ClearModified();
    m_vmg.ClearModified();
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
    {
        if (m_titleSets[i] != nullptr)
            m_titleSets[i]->ClearModified();
    }
}

bool CDvd::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    messages.RemoveAll();
    bool bReported = validator.Check(CDvdReference(this, 0, 0), messages);
    bReported = m_vmg.Validate(validator, messages) || bReported;
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
    {
        if (m_titleSets[i] != nullptr)
            bReported = m_titleSets[i]->Validate(validator, messages) || bReported;
    }
    return bReported;
}

void CDvd::Invalidate()
{
    m_vmg.Invalidate();
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
    {
        if (m_titleSets[i] != nullptr)
            m_titleSets[i]->Invalidate();
    }
}

void CDvd::Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t b)
{
    if (nCode == DVDNOTICE_CLEAR_MARKS)
        SetFlags(static_cast<uint8_t>(GetFlags() & ~DVDFLAG_MARK));
    m_vmg.Notify(pSender, nCode, a, b);
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
    {
        if (m_titleSets[i] != nullptr)
            m_titleSets[i]->Notify(pSender, nCode, a, b);
    }
}

unsigned CDvd::GetChildCount() const
{
    return m_titleSets.GetSize() + 1;
}

CDvdObject* CDvd::GetChild(unsigned nIndex) const
{
    if (nIndex == 0)
        return const_cast<CVmg*>(&m_vmg);
    return m_titleSets.GetAt(nIndex - 1);
}

CString CDvd::GetChildName(unsigned nIndex) const
{
    if (nIndex == 0)
        return CString("Video Manager");
    if (nIndex <= m_titleSets.GetSize())
        return FormatString("Video Title Set %u", nIndex);
    return CString();
}

CVts* CDvd::AddVtsCopy(const CVts& src)
{
    CVts* pVts = new CVts(src, this);
    m_titleSets.Add(pVts);
    return pVts;
}

void CDvd::Clear()
{
    SetModified();
    m_vmg.Clear();
    m_titleSets.RemoveAll();
}

void CDvd::Reset()
{
    Clear();
    // The VMG keeps its parental records through a clear; a reset disc has
    // none, so that the next read cannot add to stale ones.
    m_vmg.RemoveParentalRecords();
    m_titleSets.Add(new CVts(this));
}

void CDvd::NotifyAction(CDvdObject* pNode, const char* pszAction, const char* pszPath)
{
    if (m_pObserver == nullptr)
        return;
    CDvdChange change;
    change.nKind = DVDCHANGE_ACTION;
    change.pNode = pNode;
    change.strAction = pszAction;
    change.strPath = pszPath;
    m_pObserver->OnChange(change);
}

void CDvd::NotifyNodeChanged(CDvdObject* pNode)
{
    if (pNode != nullptr)
    {
        if (CDvdObject* pOwner = pNode->GetDomainOwner())
            pOwner->Invalidate();
    }
    if (m_pObserver == nullptr)
        return;
    CDvdChange change;
    change.nKind = DVDCHANGE_NODE_CHANGED;
    change.pNode = pNode;
    m_pObserver->OnChange(change);
}

bool CDvd::Read(CDvdLog& log, const char* pszFolder, CDvdProgress* pProgress)
{
    Clear();
    log.ReportInfo(FormatString("Read DVD from: %s", pszFolder != nullptr ? pszFolder : ""), DVD_LOCATION);

    std::string folder;
    if (!MakeFolderPath(pszFolder, folder))
    {
        log.ReportError(kPathTooLong, DVD_LOCATION);
        Reset();
        return false;
    }
    if (!kx::FolderExists(folder))
    {
        log.ReportError("Path to DVD does not exist.", DVD_LOCATION);
        Reset();
        return false;
    }

    if (pProgress != nullptr)
        pProgress->SetText("Reading VMG.");
    uint16_t nTitleSets = 0;
    CParentalTableArray parentalTables;
    if (!m_vmg.ReadIfo(log, folder.c_str(), nTitleSets, parentalTables, pProgress))
    {
        log.ReportInfo("can't load VMG.", DVD_LOCATION);
        Reset();
        return false;
    }
    if (parentalTables.GetSize() > 0 && parentalTables.GetSize() < nTitleSets)
        log.ReportWarning("Parental Management Info is not available for some Title Sets.", DVD_LOCATION);

    if (pProgress != nullptr)
    {
        pProgress->SetRange(nTitleSets);
        pProgress->Advance(0);
    }
    const CParentalRecordArray noParentalRecords;
    for (unsigned n = 1; n <= nTitleSets; ++n)
    {
        PrintfToSink(pProgress, "Reading VTS %u.", n);
        CVts* pVts = new CVts(this);
        m_titleSets.Add(pVts);
        const CParentalRecordArray* pParental = parentalTables.GetAt(n - 1u);
        if (!pVts->ReadIfo(log, pParental != nullptr ? *pParental : noParentalRecords, folder.c_str(),
                           static_cast<uint8_t>(n), pProgress))
        {
            log.ReportInfo(FormatString("can't load VTS %u", n), DVD_LOCATION);
            Reset();
            return false;
        }
        if (pProgress != nullptr)
        {
            pProgress->Advance(1);
            if (pProgress->IsCancelled())
            {
                log.ReportCancel();
                Reset();
                return false;
            }
        }
    }

    RemoveOrphanBlocks();
    return true;
}

void CDvd::RemoveOrphanBlocks()
{
    m_vmg.RemoveOrphanMenuBlocks();
    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
    {
        m_titleSets[i]->RemoveOrphanMenuBlocks();
        m_titleSets[i]->RemoveOrphanTitleBlocks();
    }
}

bool CDvd::IsPal() const
{
    // A domain that holds no attributes has a video word of 0.
    auto statesVideo = [](const CAngleBlockList& domain)
    {
        const CVideoAttributes& video = domain.GetStreams().GetVideo();
        return video.bytes[0] != 0 || video.bytes[1] != 0;
    };
    const CAngleBlockList* pDomain = statesVideo(m_vmg.GetMenuDomain()) ? &m_vmg.GetMenuDomain() : nullptr;
    for (uint32_t i = 0; pDomain == nullptr && i < m_titleSets.GetSize(); ++i)
    {
        if (statesVideo(m_titleSets[i]->GetMenuDomain()))
            pDomain = &m_titleSets[i]->GetMenuDomain();
        else if (statesVideo(m_titleSets[i]->GetTitleDomain()))
            pDomain = &m_titleSets[i]->GetTitleDomain();
    }
    return pDomain != nullptr && pDomain->IsPal();
}

bool CDvd::Write(CDvdLog& log, const char* pszFolder, bool bModifiedOnly, CDvdProgress* pProgress, bool bWriteIfo)
{
    std::string folder;
    if (!MakeFolderPath(pszFolder, folder))
    {
        log.ReportError(kPathTooLong, DVD_LOCATION);
        return false;
    }
    if (pProgress != nullptr)
    {
        pProgress->SetRange(GetSourceSize());
        pProgress->Advance(0);
    }

    for (uint32_t i = 0; i < m_titleSets.GetSize(); ++i)
    {
        const unsigned n = i + 1;
        if (m_titleSets[i]->Write(log, folder.c_str(), bModifiedOnly, static_cast<uint8_t>(n), pProgress, bWriteIfo) ==
            0)
        {
            log.ReportInfo(FormatString("Can't write VTS %u.", n), DVD_LOCATION);
            return false;
        }
    }
    if (m_vmg.Write(log, folder.c_str(), bModifiedOnly, m_titleSets, pProgress, bWriteIfo) == 0)
    {
        log.ReportInfo("Can't write VMG.", DVD_LOCATION);
        return false;
    }
    return true;
}

bool CDvd::Store(CDvdLog& log, CProjectWriter& writer, CDvdProgress* pProgress)
{
    const uint32_t nTitleSets = m_titleSets.GetSize();
    if (pProgress != nullptr)
    {
        pProgress->SetRange(uint64_t(nTitleSets) + 1);
        pProgress->Advance(0);
    }
    WriteByte(writer, kDvdRecordVersion);
    WriteByte(writer, kDvdRecordMarker);
    WriteByte(writer, GetFlags());
    if (!writer.IsOk())
        return false;

    if (pProgress != nullptr)
        pProgress->SetText("Writing VMG.");
    if (!m_vmg.Store(log, writer, pProgress))
        return false;
    if (pProgress != nullptr)
        pProgress->Advance(1);
    if (!WriteWord(writer, static_cast<uint16_t>(nTitleSets)))
        return false;

    for (uint32_t i = 0; i < nTitleSets; ++i)
    {
        const unsigned n = i + 1;
        PrintfToSink(pProgress, "Writing VTS %u.", n);
        if (!m_titleSets[i]->Store(log, writer))
        {
            if (!log.IsCancelled())
                log.ReportInfo(FormatString("Can't write VTS %u", n), DVD_LOCATION);
            return false;
        }
        if (pProgress != nullptr)
            pProgress->Advance(1);
    }
    return true;
}

bool CDvd::Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress)
{
    if (pProgress != nullptr)
        pProgress->SetRange(reader.GetSize());

    uint8_t nVersion = 0;
    const bool bVersion = ReadByte(reader, nVersion);
    Clear();
    uint8_t nMarker = kDvdRecordMarker;
    if (bVersion && nVersion >= 2)
        ReadByte(reader, nMarker);
    if (!bVersion || nVersion == 0 || nVersion > kDvdRecordVersion || nMarker == 0 || !reader.IsOk())
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        Reset();
        return false;
    }
    uint8_t nFlags = 0;
    if (!ReadByte(reader, nFlags))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        Reset();
        return false;
    }
    SetFlags(nFlags);

    if (pProgress != nullptr)
        pProgress->SetText("Reading VMG.");
    if (!m_vmg.Load(log, reader, pProgress))
    {
        Reset();
        return false;
    }

    uint16_t nTitleSets = 0;
    if (!ReadWord(reader, nTitleSets))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        Reset();
        return false;
    }
    if (nTitleSets > kMaxTitleSets)
    {
        log.ReportError(FormatString("Too many titlesets (%d)", nTitleSets), DVD_LOCATION);
        Reset();
        return false;
    }
    if (!reader.CanHold(nTitleSets, kMinVtsRecordBytes))
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        Reset();
        return false;
    }

    m_titleSets.SetSize(nTitleSets);
    for (uint16_t i = 0; i < nTitleSets; ++i)
    {
        const int n = i + 1;
        PrintfToSink(pProgress, "Reading VTS %d of %d.", n, nTitleSets);
        CVts* pVts = new CVts(this);
        m_titleSets.SetAt(i, pVts);
        if (!pVts->Load(log, reader, pProgress))
        {
            log.ReportInfo(FormatString("Can't read VTS %d.", n), DVD_LOCATION);
            Reset();
            return false;
        }
    }
    return true;
}
