#pragma once
// The code numbers and limits that the LZW encoder and decoder share: GIF's
// variant with 8-bit pixels and codes of at most 12 bits.

#include "engine/Paper.h"

#include <cstdint>

constexpr uint32_t kLzwPixelBits = 8;
constexpr uint32_t kLzwClearCode = 1u << kLzwPixelBits;   // 256
constexpr uint32_t kLzwEndCode = kLzwClearCode + 1;       // 257
constexpr uint32_t kLzwFirstFreeCode = kLzwEndCode + 1;   // 258
constexpr uint32_t kLzwFirstCodeWidth = kLzwPixelBits + 1;
constexpr uint32_t kLzwMaxCodeWidth = 12;
constexpr uint32_t kLzwMaxCodes = 1u << kLzwMaxCodeWidth;  // 4096

// Bytes per raster row in the paper's layout.
constexpr uint32_t LzwStride(uint32_t width) { return PaperStride(width); }
