// The fade of an item drag image: a square snapshot of rows turned into
// premultiplied pixels whose opacity falls from the centre to nothing at
// the edge of the inscribed circle.
#pragma once

#include <cstdint>

// Pixels 0xAARRGGBB, nSize x nSize. Pixels still 0xFFFFFFFF (nothing was
// painted there) become transparent.
void FadeDragImage(uint32_t* pPixels, int nSize);
