#pragma once
// The program's own clipboard format: a 12-byte header (a reserved zero word,
// then width and height, little-endian) followed by the piece's gray pixels in
// the paper's layout, bottom row first, rows padded to a multiple of 4 bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr char kClipFormat[] = "QUILLEX V1";
constexpr size_t kClipHeaderSize = 12;

// A block for a width x height piece with the header written and the pixels
// left to fill; empty when memory ran out.
std::vector<uint8_t> MakeClipBlock(uint32_t width, uint32_t height);

// The block starts with the reserved zero word. A block that does not is
// someone else's and is refused before anything changes.
bool HasClipSignature(const std::vector<uint8_t>& block);

// Reads width and height and checks that the block can be used whole: both
// within the paper's limits (4 to 2048) and every pixel row present.
bool ReadClipHeader(const std::vector<uint8_t>& block, uint32_t& width, uint32_t& height);
