// The members that do not touch the system: a handle of -1 is closed on
// every platform.
#include "Shared/platform/PlatformFile.h"

namespace kx
{

PlatformFile::PlatformFile() : handle_(-1), pos_(0)
{
}

PlatformFile::~PlatformFile()
{
    Close();
}

PlatformFile::PlatformFile(PlatformFile&& other) noexcept
    : handle_(other.handle_), pos_(other.pos_), options_(other.options_)
{
    other.handle_ = -1;
    other.pos_ = 0;
}

PlatformFile& PlatformFile::operator=(PlatformFile&& other) noexcept
{
    if (this != &other)
    {
        Close();
        handle_ = other.handle_;
        pos_ = other.pos_;
        options_ = other.options_;
        other.handle_ = -1;
        other.pos_ = 0;
    }
    return *this;
}

} // namespace kx
