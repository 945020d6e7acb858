#include "Shared/source/dataAccess/DataFileSet.h"

bool CDataFileSet::OpenAndAdd(CDvdLog* log, const char* path, bool readOnly, bool report)
{
    CDataFile* file = new CDataFile(GetTotalSize());
    if (!file->Open(log, path, readOnly, report))
    {
        delete file;
        return false;
    }
    CDvdPtrArray<CDataFile>::Add(file);
    return true;
}

bool CDataFileSet::Add(CDataFile* file)
{
    CDvdPtrArray<CDataFile>::Add(file);
    return true;
}

void CDataFileSet::Clear()
{
    RemoveAll();
}

uint64_t CDataFileSet::GetTotalSize() const
{
    uint64_t total = 0;
    for (uint32_t i = 0; i < GetSize(); ++i)
    {
        if (CDataFile* file = GetAt(i))
            total += file->GetSize();
    }
    return total;
}

CDataRange CDataFileSet::Locate(uint64_t offset, uint32_t length) const
{
    uint64_t remaining = offset;
    for (uint32_t i = 0; i < GetSize(); ++i)
    {
        CDataFile* file = GetAt(i);
        if (file == nullptr)
            continue;
        if (remaining < file->GetSize())
            return CDataRange(file, uint32_t(remaining), length);
        remaining -= file->GetSize();
    }
    return CDataRange(GetAt(0), 0, 0);
}

void CDataFileSet::AdviseSequential() const
{
    for (uint32_t i = 0; i < GetSize(); ++i)
        GetAt(i)->AdviseSequential();
}

uint32_t CDataFileSet::Read(void* buffer, uint64_t offset, uint32_t count) const
{
    unsigned char* out = static_cast<unsigned char*>(buffer);
    uint32_t done = 0;
    // Normally one or two files; a run of small files takes more steps.
    while (done < count && offset + done < GetTotalSize())
    {
        CDataRange range = Locate(offset + done, count - done);
        if (range.GetFile() == nullptr || range.GetLength() == 0)
            break;
        uint32_t n = range.GetFile()->ReadAt(out + done, range.GetOffset(), range.GetLength());
        done += n;
        if (n < range.GetLength())
            break; // the file ended early: nothing to go on with
    }
    return done;
}
