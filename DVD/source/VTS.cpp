#include "DVD/source/VTS.h"

#include "DVD/source/ProjectStream.h"
#include "DVD/source/Validator.h"
#include "Shared/source/DvdFormat.h"
#include "Shared/source/DvdLog.h"
#include "Shared/source/DvdProgress.h"

namespace
{
// The newest title-set record this build writes and reads.
constexpr uint8_t kVtsRecordVersion = 3;
// Parental records arrived with this version.
constexpr uint8_t kVtsParentalVersion = 2;
} // namespace

CVts::CVts(CDvdObject* pParent) : CDvdObject(DVDNODE_VTS, pParent)
{
    Clear();
}

CVts::CVts(const CVts& src, CDvdObject* pParent) : CDvdObject(src, pParent)
{
    *this = src;
}

CVts::~CVts()
{
    Clear();
}

CVts& CVts::operator=(const CVts& src)
{
    if (this == &src)
        return *this;
    Clear();
    m_nCategory = src.m_nCategory;
    CopyParentalRecords(m_parentalRecords, src.m_parentalRecords);
    CDvdObject::operator=(src);
    return *this;
}

bool CVts::Validate(CDvdValidator& validator, CDvdValidationMessages& messages)
{
    return validator.Check(CDvdReference(this, 0, 0), messages);
}

void CVts::Invalidate()
{
}

void CVts::Notify(CDvdObject* pSender, int nCode, intptr_t a, intptr_t)
{
    if (nCode == DVDNOTICE_IS_IN_TREE && pSender == this)
    {
        *reinterpret_cast<uint8_t*>(a) = 1;
        return;
    }
    if (nCode == DVDNOTICE_CLEAR_MARKS)
        SetFlags(static_cast<uint8_t>(GetFlags() & ~DVDFLAG_MARK));
}

void CVts::Clear()
{
    m_nCategory = 0;
    SetModified();
}

bool CVts::ReadIfo(CDvdLog& log, const CParentalRecordArray& parentalRecords, const char*, uint8_t,
                   CDvdProgress*)
{
    Clear();
    CopyParentalRecords(m_parentalRecords, parentalRecords);
    log.ReportError("Reading title sets is not supported by this build.", DVD_LOCATION);
    return false;
}

void CVts::RemoveOrphanMenuBlocks()
{
    // Without a menu domain there are no blocks to drop.
}

void CVts::RemoveOrphanTitleBlocks()
{
    // Without a title domain there are no blocks to drop.
}

uint64_t CVts::Write(CDvdLog& log, const char*, bool, uint8_t, CDvdProgress*, bool)
{
    log.ReportError("Writing title sets is not supported by this build.", DVD_LOCATION);
    return 0;
}

bool CVts::Store(CDvdLog&, CProjectWriter& writer)
{
    WriteByte(writer, kVtsRecordVersion);
    WriteByte(writer, GetFlags());
    WriteDword(writer, m_nCategory);
    return StoreParentalRecords(writer, m_parentalRecords);
}

bool CVts::Load(CDvdLog& log, CProjectReader& reader, CDvdProgress* pProgress)
{
    uint8_t nVersion = 0;
    if (!ReadByte(reader, nVersion) || nVersion > kVtsRecordVersion)
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    Clear();
    uint8_t nFlags = 0;
    ReadByte(reader, nFlags);
    ReadDword(reader, m_nCategory);
    if (!reader.IsOk())
    {
        log.ReportError(kUnexpectedArchiveContent, DVD_LOCATION);
        return false;
    }
    SetFlags(nFlags);
    if (nVersion >= kVtsParentalVersion && !LoadParentalRecords(log, reader, m_parentalRecords))
        return false;
    if (pProgress != nullptr)
        pProgress->SetPosition(reader.GetTransferred());
    return true;
}
