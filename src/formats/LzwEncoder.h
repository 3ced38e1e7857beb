#pragma once
// CLzwEncoder: turns an 8-bit raster in the paper's layout (rows padded to a
// multiple of 4, bottom row first in memory) into the variable-width LZW code
// stream of GIF, top image row first, and hands the stream out one block of at
// most 255 bytes per call. It reads the caller's raster in place (the caller
// keeps it alive until the stream is complete) and keeps fewer than eight bytes
// of output between calls. It never throws; Begin reports a failed allocation.

#include <cstdint>
#include <memory>

class CLzwEncoder {
public:
    static constexpr uint32_t kMaxBlock = 255;

    CLzwEncoder() = default;
    virtual ~CLzwEncoder() = default;
    CLzwEncoder(const CLzwEncoder&) = delete;
    CLzwEncoder& operator=(const CLzwEncoder&) = delete;

    // Starts a stream over pixels (width x height, one byte each). Only 8 bits
    // per pixel are supported; false for anything else, an empty raster or
    // when the string table cannot be allocated.
    bool Begin(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bits);

    // Writes the next up to 255 bytes of the stream to out (room for 255) and
    // their number to *pCount. Every block but the last holds 255 bytes; a
    // count of 0 means the stream is complete.
    void NextBlock(uint8_t* out, uint8_t* pCount);

private:
    uint32_t EncodeFast(uint8_t* out, uint32_t count);
    uint32_t EncodeCareful(uint8_t* out, uint32_t count);
    uint32_t Drain(uint8_t* out, uint32_t count);
    void PutCode(uint32_t code);
    void Finish();
    void ClearTable(uint32_t nextCode);
    void NoteRun(uint32_t prefix, uint32_t pixel, uint32_t nextCode);
    static size_t RunIndex(uint32_t pixel, uint32_t length) { return (size_t{pixel} << 12) | length; }
    void FinishRowIfRead(uint32_t column);
    uint8_t ReadPixel();

    // The string table, indexed by (pixel << 12) | prefix code, holds the code
    // of that string or 0. Indexing by pixel first keeps the entries of the
    // most common pixel, white, together in a few kilobytes, where long runs
    // of white find them in the fastest cache. m_pKeyOfCode remembers the
    // index given to each code, so a reset clears only the entries in use.
    std::unique_ptr<uint16_t[]> m_pTable;
    std::unique_ptr<uint32_t[]> m_pKeyOfCode;

    // The codes of the runs of each pixel value by length ((pixel << 12) |
    // length, from length 2), how long the longest known run is, and its
    // code.
    std::unique_ptr<uint16_t[]> m_pRunCodes;
    uint16_t m_runLength[256] = {};
    uint16_t m_topRun[256] = {};

    const uint8_t* m_pPixels = nullptr;
    uint32_t m_nWidth = 0;
    uint32_t m_nHeight = 0;
    uint32_t m_nStride = 0;
    uint32_t m_nColumn = 0;
    uint32_t m_nRow = 0;
    size_t m_nRowOffset = 0;  // byte offset of image row m_nRow in memory

    uint64_t m_nBits = 0;      // output bits not yet handed out, lowest first
    uint32_t m_nBitCount = 0;  // how many of them
    uint32_t m_nPrefix = 0;
    bool m_bHavePrefix = false;  // false only when the table filled on the last pixel
    bool m_bNeedPrefix = false;  // the table filled on the last pixel of a row
    uint32_t m_nNextCode = 0;
    uint32_t m_nCodeWidth = 0;
    bool m_bDone = true;
};
