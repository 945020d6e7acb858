#pragma once
// Several files read as one 64-bit address space: the VOB files of a domain
// laid end to end. File i covers the offsets from the sum of the sizes of
// the files before it, for its own size.

#include <cstdint>

#include "Shared/source/DvdArray.h"
#include "Shared/source/dataAccess/DataFile.h"
#include "Shared/source/dataAccess/DataRange.h"

class CDvdLog;

class CDataFileSet : public CDvdPtrArray<CDataFile>
{
public:
    // Opens a file behind the others; on failure nothing is added.
    bool OpenAndAdd(CDvdLog* log, const char* path, bool readOnly, bool report);
    // Appends a file the caller opened and placed (its start set); the set
    // owns it from now on.
    bool Add(CDataFile* file);
    // Closes and deletes every file.
    void Clear();

    uint64_t GetTotalSize() const;
    // Tells the system that every file is read from start to end from now
    // on, for a walk over the whole set.
    void AdviseSequential() const;
    // The range of the file holding offset, clipped at that file's end; an
    // empty range of the first file (or of none in an empty set) when no file
    // holds it.
    CDataRange Locate(uint64_t offset, uint32_t length) const;
    // Reads across file boundaries; answers the bytes read (0 at or beyond the
    // total size, fewer than count at the end of the last file).
    uint32_t Read(void* buffer, uint64_t offset, uint32_t count) const;
};
