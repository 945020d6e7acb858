#include "Shared/platform/PlatformPath.h"

namespace kx
{

char NativePathSeparator()
{
    return '\\';
}

} // namespace kx
