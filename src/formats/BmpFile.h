#pragma once
// An uncompressed 8-bit bottom-up bitmap file with a gray palette: a 14-byte
// file header in front of the paper's own info block and pixel buffer, which
// are already in the layout of the format. Bitmap files are only written.

#include "engine/Paper.h"
#include "io/Archive.h"

constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint32_t kBmpPixelOffset = kBmpFileHeaderSize + kBitmapInfoSize;  // 1078

// False when the archive failed (or the paper is empty).
bool WriteBmp(const CPaper& paper, CArchive& ar);
