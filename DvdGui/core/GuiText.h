// The texts in which the editor's windows show sizes and playback times.
#pragma once

#include "DVD/source/DvdTime.h"
#include "framework/core/CString.h"

#include <cstdint>

// "12.34 Mb": two decimals of the size in mebibytes.
CString FormatMegabytes(uint64_t nBytes);
// "13 Mb": the size in mebibytes rounded up to a whole number.
CString FormatWholeMegabytes(uint64_t nBytes);
// "hh:mm:ss.ff" of a BCD playback time, the frame-rate bits left out.
CString FormatPlaybackTime(const CDvdTime& time);
