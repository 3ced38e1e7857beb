#include "LzwDecoder.h"

#include "LzwCodes.h"

#include <algorithm>
#include <cstring>
#include <new>

// Each code's string is known by its last pixel, the code of the rest, its
// first pixel and its length; the length lets a string be written backwards
// straight into the raster, and the first pixel saves walking the chain for
// the entry that the next code adds. An entry is 8 bytes, so that the walk
// along the prefixes finds one with a single scaled address.
struct CLzwDecoder::Tables {
    struct Entry {
        uint16_t prefix;
        uint16_t length;
        uint8_t suffix;
        uint8_t first;
        uint16_t unused;
    };
    static_assert(sizeof(Entry) == 8);
    Entry entries[kLzwMaxCodes];
    // A string that runs over the end of a row is built here first.
    uint8_t scratch[kLzwMaxCodes];
};

CLzwDecoder::CLzwDecoder() = default;
CLzwDecoder::~CLzwDecoder() = default;

bool CLzwDecoder::Begin(uint8_t* pixels, uint32_t bits, uint32_t width, uint32_t height,
                        bool interlaced)
{
    m_nState = kCorrupt;
    if (!pixels || width == 0 || height == 0 || bits != kLzwPixelBits || interlaced) return false;
    try {
        if (!m_pTables) m_pTables = std::make_unique_for_overwrite<Tables>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (uint32_t i = 0; i < kLzwClearCode; ++i) {
        uint8_t pixel = static_cast<uint8_t>(i);
        m_pTables->entries[i] = Tables::Entry{0, 1, pixel, pixel, 0};
    }
    m_pPixels = pixels;
    m_nWidth = width;
    m_nStride = LzwStride(width);
    m_nColumn = 0;
    m_nRowOffset = size_t{height - 1} * m_nStride;
    m_nPixelTotal = uint64_t{width} * height;
    m_nPixelsLeft = m_nPixelTotal;
    m_nBits = 0;
    m_nBitCount = 0;
    m_nNextCode = kLzwFirstFreeCode;
    m_nCodeWidth = kLzwFirstCodeWidth;
    m_bHavePrev = false;
    m_nPrevCode = 0;
    m_nState = kMore;
    return true;
}

// The whole loop works on local copies of the state: the raster is written
// through a byte pointer, which could alias any member, so members would be
// read again after every pixel.
int CLzwDecoder::DecodeBlock(const uint8_t* data, uint32_t size)
{
    if (m_nState != kMore) return m_nState;
    if (!data) return kMore;
    Tables::Entry* const entries = m_pTables->entries;
    uint8_t* const scratch = m_pTables->scratch;
    uint8_t* const pixels = m_pPixels;
    const uint32_t width = m_nWidth;
    const uint32_t stride = m_nStride;
    const uint8_t* in = data;
    const uint8_t* const end = data + size;

    uint32_t bits = m_nBits;
    uint32_t bitCount = m_nBitCount;
    uint32_t codeWidth = m_nCodeWidth;
    uint32_t nextCode = m_nNextCode;
    uint32_t prevCode = m_nPrevCode;
    bool havePrev = m_bHavePrev;
    uint32_t column = m_nColumn;
    size_t rowOffset = m_nRowOffset;
    uint64_t pixelsLeft = m_nPixelsLeft;
    uint8_t* line = pixels + rowOffset;
    int result = kMore;

    // Past the last row the offset is never used again (no pixels are left),
    // so it stays at 0 rather than pointing before the buffer.
    auto nextRow = [&]() {
        column = 0;
        if (rowOffset >= stride) rowOffset -= stride;
        line = pixels + rowOffset;
    };

    for (;;) {
        while (bitCount < codeWidth) {
            if (in == end) goto done;  // the rest of the code comes with the next block
            bits |= uint32_t{*in++} << bitCount;
            bitCount += 8;
        }
        uint32_t code = bits & ((1u << codeWidth) - 1);
        bits >>= codeWidth;
        bitCount -= codeWidth;

        if (code == kLzwClearCode) {
            nextCode = kLzwFirstFreeCode;
            codeWidth = kLzwFirstCodeWidth;
            havePrev = false;
            continue;
        }
        if (code == kLzwEndCode) {
            result = kEnd;
            break;
        }
        if (!havePrev) {
            // The first code after a clear must be a single pixel.
            if (code > kLzwClearCode) {
                result = kCorrupt;
                break;
            }
        } else {
            uint32_t firstPixel;
            if (code < nextCode) {
                firstPixel = entries[code].first;
            } else if (code == nextCode) {
                firstPixel = entries[prevCode].first;
            } else {
                result = kCorrupt;  // a code that no string has yet
                break;
            }
            // A full table takes no more entries; the encoder sends a clear
            // code right after filling it, and a stream that does not is
            // still read.
            if (nextCode < kLzwMaxCodes) {
                const Tables::Entry& prev = entries[prevCode];
                entries[nextCode] = Tables::Entry{static_cast<uint16_t>(prevCode),
                                                  static_cast<uint16_t>(prev.length + 1),
                                                  static_cast<uint8_t>(firstPixel), prev.first, 0};
                ++nextCode;
                if (nextCode == (1u << codeWidth) && codeWidth < kLzwMaxCodeWidth) ++codeWidth;
            }
        }
        prevCode = code;
        havePrev = true;

        uint32_t length = entries[code].length;
        if (length > pixelsLeft) {
            result = kCorrupt;  // more pixels than the raster holds
            break;
        }
        pixelsLeft -= length;
        if (column + length <= width) {
            uint8_t* out = line + column;
            if (length == 1) {
                out[0] = entries[code].suffix;
            } else {
                for (uint32_t i = length; i-- > 0;) {
                    out[i] = entries[code].suffix;
                    code = entries[code].prefix;
                }
            }
            column += length;
            if (column == width) nextRow();
            continue;
        }
        // Over the end of the row: build the string aside, then copy it out
        // row by row.
        for (uint32_t i = length; i-- > 0;) {
            scratch[i] = entries[code].suffix;
            code = entries[code].prefix;
        }
        for (const uint8_t* from = scratch; length > 0;) {
            uint32_t n = std::min(width - column, length);
            std::memcpy(line + column, from, n);
            from += n;
            length -= n;
            column += n;
            if (column == width) nextRow();
        }
    }

done:
    m_nBits = bits;
    m_nBitCount = bitCount;
    m_nCodeWidth = codeWidth;
    m_nNextCode = nextCode;
    m_nPrevCode = prevCode;
    m_bHavePrev = havePrev;
    m_nColumn = column;
    m_nRowOffset = rowOffset;
    m_nPixelsLeft = pixelsLeft;
    m_nState = result;
    return result;
}
