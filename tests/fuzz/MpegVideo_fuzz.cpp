// Feeds arbitrary bytes to the video decoder as a cell: damaged headers,
// oversized sizes, vectors out of the picture, slices past the last row,
// cut and flipped packets must decode or fail, never crash or hang.

#include "tests/support/VideoFuzzInput.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kxtest::DecodeVideoInput(data, size);
    return 0;
}
