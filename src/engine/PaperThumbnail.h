#pragma once
// A small picture of a sheet, for the list of sketches and the desktop's
// file managers alike: top-down rows of one gray byte a pixel, no padding.

#include "Paper.h"

#include <cstdint>
#include <vector>

// Fits the sheet into box x box keeping its shape, never enlarging. At 1:1
// the pixels are the sheet's own; a reduction takes the darkest pixel of each
// block, so that a thin line of a light grade survives it. False when memory
// ran out or the paper is empty.
bool MakeThumbnail(const CPaper& paper, uint32_t box, std::vector<uint8_t>& pixels, uint32_t& width,
                   uint32_t& height);
