#include "LzwEncoder.h"

#include "LzwCodes.h"

#include <algorithm>
#include <new>

bool CLzwEncoder::Begin(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bits)
{
    m_bDone = true;
    if (!pixels || width == 0 || height == 0 || bits != kLzwPixelBits) return false;
    try {
        if (!m_pTable) {
            // Zeroed once: stale entries are told apart by m_pKeyOfCode.
            m_pTable = std::make_unique<uint16_t[]>(size_t{kLzwMaxCodes} << kLzwPixelBits);
            m_pKeyOfCode = std::make_unique_for_overwrite<uint32_t[]>(kLzwMaxCodes);
        }
    } catch (const std::bad_alloc&) {
        m_pTable.reset();
        m_pKeyOfCode.reset();
        return false;
    }
    // No key is all ones, so no code is confirmed before it is given out.
    std::fill_n(m_pKeyOfCode.get(), kLzwMaxCodes, UINT32_MAX);

    m_pPixels = pixels;
    m_nWidth = width;
    m_nHeight = height;
    m_nStride = LzwStride(width);
    m_nColumn = 0;
    m_nRow = 0;
    m_nRowOffset = size_t{height - 1} * m_nStride;

    m_nNextCode = kLzwFirstFreeCode;
    m_nCodeWidth = kLzwFirstCodeWidth;
    m_nBits = kLzwClearCode;
    m_nBitCount = m_nCodeWidth;
    m_nPrefix = ReadPixel();
    m_bHavePrefix = true;
    m_bDone = false;
    return true;
}

uint8_t CLzwEncoder::ReadPixel()
{
    uint8_t p = m_pPixels[m_nRowOffset + m_nColumn];
    if (++m_nColumn == m_nWidth) {
        m_nColumn = 0;
        // The offset stays on the last row once the raster is read, so that it
        // never points before the buffer.
        if (++m_nRow < m_nHeight) m_nRowOffset -= m_nStride;
    }
    return p;
}

uint32_t CLzwEncoder::Drain(uint8_t* out, uint32_t count)
{
    while (m_nBitCount >= 8 && count < kMaxBlock) {
        out[count++] = static_cast<uint8_t>(m_nBits);
        m_nBits >>= 8;
        m_nBitCount -= 8;
    }
    return count;
}

// The last string, the end code, and the partial byte, which always goes out
// as one more byte (a zero byte when the codes ended on a byte boundary).
void CLzwEncoder::Finish()
{
    if (m_bHavePrefix) {
        m_nBits |= uint64_t{m_nPrefix} << m_nBitCount;
        m_nBitCount += m_nCodeWidth;
    }
    m_nBits |= uint64_t{kLzwEndCode} << m_nBitCount;
    m_nBitCount += m_nCodeWidth;
    m_nBitCount = (m_nBitCount / 8 + 1) * 8;
    m_bDone = true;
}

// The LZW loop proper, on local copies of the state so that the compiler keeps
// them in registers. Runs until the block is full or every pixel is read.
uint32_t CLzwEncoder::Encode(uint8_t* out, uint32_t count)
{
    uint16_t* const table = m_pTable.get();
    uint32_t* const keyOfCode = m_pKeyOfCode.get();
    const uint8_t* const pixels = m_pPixels;
    const uint32_t width = m_nWidth;
    const uint32_t height = m_nHeight;
    const uint32_t stride = m_nStride;

    uint64_t bits = m_nBits;
    uint32_t bitCount = m_nBitCount;
    uint32_t prefix = m_nPrefix;
    uint32_t nextCode = m_nNextCode;
    uint32_t codeWidth = m_nCodeWidth;
    uint32_t column = m_nColumn;
    uint32_t row = m_nRow;
    size_t rowOffset = m_nRowOffset;
    const uint8_t* line = pixels + rowOffset;

    while (count < kMaxBlock && row < height) {
        uint32_t pixel = line[column];
        if (++column == width) {
            column = 0;
            if (++row < height) {
                rowOffset -= stride;
                line = pixels + rowOffset;
            }
        }
        uint32_t key = (prefix << kLzwPixelBits) | pixel;
        uint32_t code = table[key];
        if (code < nextCode && keyOfCode[code] == key) {
            prefix = code;
            continue;
        }
        bits |= uint64_t{prefix} << bitCount;
        bitCount += codeWidth;
        table[key] = static_cast<uint16_t>(nextCode);
        keyOfCode[nextCode] = key;
        ++nextCode;
        if (nextCode - 1 == (1u << codeWidth)) ++codeWidth;
        prefix = pixel;
        if (nextCode == kLzwMaxCodes) {
            // A full table: the pixel goes out as a code of its own, then a
            // clear code, and the next string starts from the next pixel.
            bits |= uint64_t{pixel} << bitCount;
            bitCount += codeWidth;
            bits |= uint64_t{kLzwClearCode} << bitCount;
            bitCount += codeWidth;
            nextCode = kLzwFirstFreeCode;
            codeWidth = kLzwFirstCodeWidth;
            if (row < height) {
                prefix = line[column];
                if (++column == width) {
                    column = 0;
                    if (++row < height) {
                        rowOffset -= stride;
                        line = pixels + rowOffset;
                    }
                }
            } else {
                m_bHavePrefix = false;
            }
        }
        while (bitCount >= 8 && count < kMaxBlock) {
            out[count++] = static_cast<uint8_t>(bits);
            bits >>= 8;
            bitCount -= 8;
        }
    }

    m_nBits = bits;
    m_nBitCount = bitCount;
    m_nPrefix = prefix;
    m_nNextCode = nextCode;
    m_nCodeWidth = codeWidth;
    m_nColumn = column;
    m_nRow = row;
    m_nRowOffset = rowOffset;
    return count;
}

void CLzwEncoder::NextBlock(uint8_t* out, uint8_t* pCount)
{
    uint32_t count = Drain(out, 0);
    while (count < kMaxBlock && !m_bDone) {
        count = Encode(out, count);
        if (count < kMaxBlock && m_nRow >= m_nHeight) {
            Finish();
            count = Drain(out, count);
        }
    }
    *pCount = static_cast<uint8_t>(count);
}
