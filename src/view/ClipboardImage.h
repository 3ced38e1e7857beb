#pragma once
// The "QUILLEX V1" clipboard payload as an image and back: a 12-byte header
// (reserved 0, width, height; little-endian) followed by bottom-up gray rows
// padded to 4 bytes. Other programs see our pieces as images and give us
// theirs as images; these conversions are the bridge, and they trust no size
// they are handed.

#include "document/Clipboard.h"

#include <QImage>

#include <cstdint>
#include <vector>

inline constexpr char kQuillexMimeType[] = "application/x-quillex-v1";

// The payload's pixels as an 8-bit gray image; a null image when the block is
// malformed (short, reserved word not 0, a side of 0 or above 2048).
QImage PayloadToImage(const std::vector<uint8_t>& payload);

// Another program's image as a payload: gray levels, transparency over white,
// scaled down to fit 2048 x 2048, padded with white up to 4 x 4. False for a
// null image or when memory runs out.
bool ImageToPayload(const QImage& image, std::vector<uint8_t>& payload);
