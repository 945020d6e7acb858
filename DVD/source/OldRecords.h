// Records of the video-analysis objects that earlier versions of the program
// kept inside each cell of a project file. Nothing of them is used any more:
// the cell loader reads them when its record version says they are there,
// checks their versions and throws their contents away. There are no writers.
//
// Every number is little-endian; offsets are from the start of each record.
//
// MPEGVideoSource (version 1):
//   0        u8        version
//   1        n bytes   MPEGFramesSet record
//   1 + n    3 x u16
//
// MPEGFramesSet (versions 0 to 3):
//   0        u8        version V
//   1        u64
//   9        u32
//   13       u8        only from V = 2
//   next     count N1  u16 before V = 3, u32 from then on
//   next     N1 x 20   entries of u64, u64, u32
//   next     count N2  same width as N1
//   next     N2 x 20   entries of u64, u32, u32, u32
//
// MPEGVideoParser (version 1): 196 bytes; a 136-byte block at offset 19
// between the header fields and the trailing counters.
#pragma once

#include <cstdint>

class CDvdLog;
class CProjectReader;

// The message of every refusal of these loaders.
extern const char kBadArchive[];

class MPEGFramesSet
{
public:
    // Entries of both lists are this many bytes.
    static constexpr uint32_t kEntryBytes = 20;
    static constexpr uint8_t kNewestVersion = 3;

    // Consumes one record. False after "Bad archive" for a version beyond
    // the known ones or for a count the stream cannot hold; a short read of
    // a field shows in the reader's ok flag.
    static bool Load(CDvdLog& log, CProjectReader& reader);
};

class MPEGVideoSource
{
public:
    static constexpr uint8_t kVersion = 1;

    // Consumes one record with its frames set. False after "Bad archive"
    // when the version is not 1 (only the version byte is consumed) or the
    // frames set was refused.
    static bool Load(CDvdLog& log, CProjectReader& reader);
};

class MPEGVideoParser
{
public:
    static constexpr uint8_t kVersion = 1;
    static constexpr uint32_t kRecordBytes = 196;
    static constexpr uint32_t kBlockBytes = 136;

    // Consumes one record. False after "Bad archive" when the version is not
    // 1 or the block is cut short.
    static bool Load(CDvdLog& log, CProjectReader& reader);
};
