// Layout files: the pane layout of a project window saved by the user and
// loaded again, possibly by another copy of the program. The file begins with
// the signature 00 66 00 00; the body follows, all integers 32-bit
// little-endian:
//
//     tag 101
//     name length n (the profile name's length plus its terminating zero)
//     the profile name with its zero
//     a flag byte: 1 when a bar state follows, 0 when none was stored
//     state length m and the m bytes of the bar state (only after flag 1)
//
// A layout file comes from outside, so every length read from it is checked
// against what the file still holds before anything is allocated or read.
#pragma once

#include "framework/core/CFile.h"

#include <cstdint>
#include <vector>

const uint32_t kLayoutFileTag = 101;
// The longest profile name a layout file may carry, its zero included.
const uint32_t kLayoutMaxNameLength = 256;

void WriteLayoutSignature(CFile& file);
// Reads the first 4 bytes; false ("Wrong file format") when the file is
// shorter or its second byte is not 0x66.
bool ReadLayoutSignature(CFile& file);

// Writes the body with the state, or with flag 0 when pState is null (the
// state could not be made). False, with nothing written, for a profile name
// that is empty or too long to be read back.
bool WriteLayoutBody(CFile& file, const char* pszProfile, const std::vector<uint8_t>* pState);
// Reads the body written for the profile into state. False ("Layout load
// failed") on a wrong tag, a name length outside 1 to 256, a name other than
// the profile's, a flag other than 1, a state length of 0 or beyond the end
// of the file, or a file that ends early; state is then empty. Failures of
// the file itself throw as the file does.
bool ReadLayoutBody(CFile& file, const char* pszProfile, std::vector<uint8_t>& state);
