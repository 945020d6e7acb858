// Pixel arithmetic of the decoded picture: 4:2:0 to 32-bit RGB and back, the
// chroma resampling between 4:2:0, 4:2:2 and 4:4:4, packing to 4:2:2 pixels,
// and the blend of a sub-picture overlay. Sizes are those of the luma plane;
// any size works: odd and narrow pictures repeat their last chroma sample
// and row, and nothing outside a plane is touched. Planes are packed (the
// stride of a chroma plane is its width) unless a stride is given.
#pragma once

#include "framework/core/AfxTypes.h"

// 4:2:0 to 32-bit RGB (blue, green, red, 0), rows bottom-up: luma row j goes
// to destination row height - 1 - j. Progressive: chroma row i serves luma
// rows 2i and 2i + 1; otherwise chroma rows alternate between the fields.
void ConvertYuvToRgb32(const BYTE* y, const BYTE* u, const BYTE* v, BYTE* dst, DWORD dstStride, DWORD width,
                       DWORD height, DWORD yStride, DWORD chromaStride, bool progressive);

// 32-bit RGB rows in memory order to a 4:2:0 picture at dst: Y, then V, then
// U. Chroma comes from whole 2 x 2 blocks.
void ConvertRgb32ToYuv420(const BYTE* src, BYTE* dst, DWORD width, DWORD height);

// A 4:2:0 chroma plane (width / 2 by height / 2) to a 4:2:2 one (width / 2
// by height).
void UpsampleChromaVertical(const BYTE* src, BYTE* dst, DWORD width, DWORD height, bool progressive);

// A 4:2:2 chroma plane (width / 2 by height) to a 4:4:4 one (width by height).
void UpsampleChromaHorizontal(const BYTE* src, BYTE* dst, DWORD width, DWORD height);

// 4:2:2 planes to packed Y0, U, Y1, V pixels (stride 2 x width): the even
// and the odd rows.
void PackYuyvEvenRows(const BYTE* y, const BYTE* u, const BYTE* v, BYTE* dst, DWORD width, DWORD height);
void PackYuyvOddRows(const BYTE* y, const BYTE* u, const BYTE* v, BYTE* dst, DWORD width, DWORD height);

// A full-width plane (width by height) to one of width / 2 columns, with the
// MPEG-2 chroma siting.
void DecimateChromaHorizontal(const BYTE* src, BYTE* dst, DWORD width, DWORD height);

// A plane of width / 2 columns and height rows to height / 2 rows,
// progressive.
void DecimateChromaVertical(const BYTE* src, BYTE* dst, DWORD width, DWORD height);

// Blends a 4:2:0 overlay (planes Y, V, U of overlayWidth x overlayHeight)
// into a 4:2:0 picture at (x, y): Y with the full alpha plane, V and U with
// the quarter one (overlayWidth / 2 by overlayHeight / 2). The caller makes
// sure the overlay fits.
void BlendOverlayYuv(BYTE* dst, DWORD dstWidth, DWORD dstHeight, const BYTE* overlay, const BYTE* fullAlpha,
                     const BYTE* quarterAlpha, DWORD x, DWORD y, DWORD overlayWidth, DWORD overlayHeight);
