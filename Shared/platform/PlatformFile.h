#pragma once
// A plain OS file: the one place where the engine's file I/O meets the system.
// The object keeps its own file pointer; Read and Write move it like the
// system calls they stand for, Seek places it.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kx
{

enum FileAccess : unsigned
{
    kFileRead = 1,
    kFileWrite = 2,
    kFileReadWrite = kFileRead | kFileWrite,
};

enum class FileDisposition
{
    OpenExisting, // fails when the file is not there
    OpenAlways,   // opens, or creates an empty file
    CreateAlways, // creates, replacing (truncating) any existing file
    CreateNew,    // fails when the file is already there
};

// Access pattern hint passed to the system where it has one.
enum class FileHint
{
    None,
    RandomAccess,
    SequentialScan
};

enum class SeekOrigin
{
    Begin,
    Current,
    End
};

struct FileOpenOptions
{
    unsigned access = kFileRead;
    FileDisposition disposition = FileDisposition::OpenExisting;
    FileHint hint = FileHint::None;
    bool shareWrite = false; // others may always read; writing is shared only on request
};

class PlatformFile
{
public:
    PlatformFile();
    ~PlatformFile();
    PlatformFile(const PlatformFile&) = delete;
    PlatformFile& operator=(const PlatformFile&) = delete;
    PlatformFile(PlatformFile&& other) noexcept;
    PlatformFile& operator=(PlatformFile&& other) noexcept;

    // Opens or creates a file; closes whatever was open first. An existing
    // file is looked up by its exact name first; on systems with
    // case-sensitive names a case-insensitive match in its folder is taken
    // when the exact name is missing (discs copied there are often lower-case).
    // On failure the last error (LastErrorCode) tells why.
    bool Open(const char* path, const FileOpenOptions& options);

    // Creates a new empty file with the prefix "ZEV" in the system's temporary
    // folder, open for reading and writing; the file is removed when it is
    // closed (at once on systems that allow removing an open file).
    // createdPath receives the name it was created under.
    bool CreateTemp(std::string& createdPath);

    void Close();
    bool IsOpen() const;

    // Moves the file pointer; returns the new position, or -1 on failure
    // (the pointer is then unchanged).
    int64_t Seek(int64_t offset, SeekOrigin origin = SeekOrigin::Begin);
    int64_t Tell() const;

    // Transfer at the file pointer and advance it by the bytes moved. Return
    // the byte count (short at the end of the file), or -1 on failure.
    int64_t Read(void* buffer, size_t count);
    int64_t Write(const void* buffer, size_t count);

    // Tells the system how the open file will be read from now on (a walk
    // over all of it: SequentialScan); false when the hint was not taken
    // (some systems take it only for files open for reading).
    bool Advise(FileHint hint);

    // Size of the file in bytes, -1 on failure.
    int64_t GetSize() const;
    // Cuts or extends the file at the current file pointer.
    bool SetEndOfFile();
    bool Flush();

private:
    intptr_t handle_;         // the system's handle or descriptor; -1 when closed
    int64_t pos_;             // file pointer, where the system call does not keep one
    FileOpenOptions options_; // as the file was opened
};

} // namespace kx
