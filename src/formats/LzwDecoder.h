#pragma once
// CLzwDecoder: turns a GIF-style LZW code stream with 8-bit pixels, given one
// block at a time, back into a raster in the paper's layout (rows padded to a
// multiple of 4, bottom row first in memory, filled from the top image row).
// It writes into the caller's raster and nowhere else, never grows its table
// past 4096 entries, and keeps only the unread tail of a block (fewer than
// two bytes' worth of bits) between calls. It never throws.

#include <cstdint>
#include <memory>

class CLzwDecoder {
public:
    // What DecodeBlock reports.
    static constexpr int kEnd = 0;       // the end code was met; the stream is complete
    static constexpr int kMore = 1;      // the block is used up; the next one is needed
    static constexpr int kCorrupt = -1;  // a code that cannot be, or more pixels than fit

    CLzwDecoder();
    virtual ~CLzwDecoder();
    CLzwDecoder(const CLzwDecoder&) = delete;
    CLzwDecoder& operator=(const CLzwDecoder&) = delete;

    // Starts decoding into pixels (width x height). Only 8 bits per pixel and
    // non-interlaced rasters are supported; false for anything else or when
    // the code table cannot be allocated.
    bool Begin(uint8_t* pixels, uint32_t bits, uint32_t width, uint32_t height, bool interlaced);

    // Decodes the size bytes at data. A code may straddle two blocks; its
    // first bits are kept until the next call. After kEnd or kCorrupt every
    // further call gives the same answer and writes nothing.
    int DecodeBlock(const uint8_t* data, uint32_t size = 255);

    // Pixels written so far.
    uint64_t GetPixelCount() const { return m_nPixelTotal - m_nPixelsLeft; }

private:
    struct Tables;

    std::unique_ptr<Tables> m_pTables;

    uint8_t* m_pPixels = nullptr;
    uint32_t m_nWidth = 0;
    uint32_t m_nStride = 0;
    uint32_t m_nColumn = 0;
    size_t m_nRowOffset = 0;  // byte offset of the row being filled
    uint64_t m_nPixelTotal = 0;
    uint64_t m_nPixelsLeft = 0;

    uint32_t m_nBits = 0;      // unread bits of the stream, lowest first
    uint32_t m_nBitCount = 0;  // how many of them
    uint32_t m_nPrevCode = 0;
    bool m_bHavePrev = false;
    uint32_t m_nNextCode = 0;
    uint32_t m_nCodeWidth = 0;
    int m_nState = kEnd;
};
