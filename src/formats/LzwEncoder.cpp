#include "LzwEncoder.h"

#include "LzwCodes.h"
#include "io/ByteOrder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

// The end of the run of value that starts at in.
const uint8_t* RunEnd(const uint8_t* in, const uint8_t* end, uint8_t value)
{
    if constexpr (std::endian::native == std::endian::little) {
        const uint64_t pattern = 0x0101010101010101ull * value;
        while (end - in >= 8) {
            uint64_t word;
            std::memcpy(&word, in, 8);
            if (uint64_t diff = word ^ pattern) return in + std::countr_zero(diff) / 8;
            in += 8;
        }
    }
    while (in < end && *in == value) ++in;
    return in;
}

}  // namespace

bool CLzwEncoder::Begin(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t bits)
{
    m_bDone = true;
    m_bHavePrefix = false;
    if (!pixels || width == 0 || height == 0 || bits != kLzwPixelBits) return false;
    try {
        if (!m_pTable) {
            // Zeroed once; from then on every reset empties what it filled.
            m_pTable = std::make_unique<uint16_t[]>(size_t{kLzwMaxCodes} << kLzwPixelBits);
            m_pKeyOfCode = std::make_unique_for_overwrite<uint32_t[]>(kLzwMaxCodes);
            m_pRunCodes = std::make_unique_for_overwrite<uint16_t[]>(size_t{kLzwMaxCodes} << kLzwPixelBits);
            m_nNextCode = kLzwFirstFreeCode;
        }
    } catch (const std::bad_alloc&) {
        m_pTable.reset();
        m_pKeyOfCode.reset();
        m_pRunCodes.reset();
        return false;
    }
    // A stream left unfinished by an earlier Begin leaves its entries behind.
    ClearTable(m_nNextCode);

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
    m_bNeedPrefix = false;
    m_bDone = false;
    return true;
}

// Empties exactly the entries given out since the last reset, which costs far
// less than clearing the whole table.
void CLzwEncoder::ClearTable(uint32_t nextCode)
{
    for (uint32_t code = kLzwFirstFreeCode; code < nextCode; ++code) m_pTable[m_pKeyOfCode[code]] = 0;
    // Runs of length 1 are the pixels themselves and never looked up, so
    // only the two small arrays change here, not the big one.
    for (uint32_t v = 0; v < kLzwClearCode; ++v) {
        m_runLength[v] = 1;
        m_topRun[v] = static_cast<uint16_t>(v);
    }
}

// Bookkeeping for the entry (prefix, pixel) that is about to get nextCode:
// when the prefix is the longest run of that pixel, the entry is one longer.
void CLzwEncoder::NoteRun(uint32_t prefix, uint32_t pixel, uint32_t nextCode)
{
    if (m_topRun[pixel] != prefix) return;
    uint32_t length = ++m_runLength[pixel];
    m_pRunCodes[RunIndex(pixel, length)] = static_cast<uint16_t>(nextCode);
    m_topRun[pixel] = static_cast<uint16_t>(nextCode);
}

uint8_t CLzwEncoder::ReadPixel()
{
    const uint8_t p = m_pPixels[m_nRowOffset + m_nColumn];
    FinishRowIfRead(m_nColumn + 1);
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

void CLzwEncoder::PutCode(uint32_t code)
{
    m_nBits |= uint64_t{code} << m_nBitCount;
    m_nBitCount += m_nCodeWidth;
}

// The last string, the end code, and the partial byte, which always goes out
// as one more byte (a zero byte when the codes ended on a byte boundary).
void CLzwEncoder::Finish()
{
    if (m_bHavePrefix) PutCode(m_nPrefix);
    PutCode(kLzwEndCode);
    m_nBitCount = (m_nBitCount / 8 + 1) * 8;
    m_bDone = true;
}

void CLzwEncoder::FinishRowIfRead(uint32_t column)
{
    m_nColumn = column;
    if (m_nColumn < m_nWidth) return;
    m_nColumn = 0;
    // The offset stays on the last row once the raster is read, so that it
    // never points before the buffer.
    if (++m_nRow < m_nHeight) m_nRowOffset -= m_nStride;
}

// The LZW loop proper, for the current row while at least four bytes of the
// block are free, on local copies of the state so that they stay in
// registers. Runs of one pixel value, the white of the paper above all, skip
// the table lookups. Output bits gather in a 64-bit word and go out four
// bytes at a time; fewer than 32 bits wait before a code goes in, so a code
// and the two that a full table adds always fit.
uint32_t CLzwEncoder::EncodeFast(uint8_t* out, uint32_t count)
{
    uint16_t* const table = m_pTable.get();
    uint32_t* const keyOfCode = m_pKeyOfCode.get();
    uint64_t bits = m_nBits;
    uint32_t bitCount = m_nBitCount;
    uint32_t prefix = m_nPrefix;
    uint32_t nextCode = m_nNextCode;
    uint32_t codeWidth = m_nCodeWidth;

    const uint8_t* const line = m_pPixels + m_nRowOffset;
    const uint8_t* in = line + m_nColumn;
    const uint8_t* const lineEnd = line + m_nWidth;
    if (m_bNeedPrefix) {
        prefix = *in++;
        m_bNeedPrefix = false;
    }
    while (in < lineEnd && count <= kMaxBlock - 4) {
        uint32_t pixel = *in++;
        uint32_t key = (pixel << kLzwMaxCodeWidth) | prefix;
        uint32_t code = table[key];
        if (code != 0) {
            prefix = code;
            continue;
        }
        // One round per string that the table did not know.
        for (;;) {
            bits |= uint64_t{prefix} << bitCount;
            bitCount += codeWidth;
            if (bitCount >= 32) {
                PutLe32(out + count, static_cast<uint32_t>(bits));
                count += 4;
                bits >>= 32;
                bitCount -= 32;
            }
            table[key] = static_cast<uint16_t>(nextCode);
            keyOfCode[nextCode] = key;
            NoteRun(prefix, pixel, nextCode);
            ++nextCode;
            if (nextCode > (1u << codeWidth)) ++codeWidth;
            prefix = pixel;

            if (nextCode == kLzwMaxCodes) {
                // A full table: the pixel goes out as a code of its own, then
                // a clear code, and the next string starts from the next pixel.
                bits |= uint64_t{pixel} << bitCount;
                bitCount += codeWidth;
                bits |= uint64_t{kLzwClearCode} << bitCount;
                bitCount += codeWidth;
                ClearTable(nextCode);
                nextCode = kLzwFirstFreeCode;
                codeWidth = kLzwFirstCodeWidth;
                if (in < lineEnd)
                    prefix = *in++;
                else if (m_nRow + 1 < m_nHeight)
                    m_bNeedPrefix = true;
                else
                    m_bHavePrefix = false;  // the table filled on the very last pixel
                break;
            }
            if (in == lineEnd || *in != pixel || count > kMaxBlock - 4) break;

            // A run of this pixel. The codes of the runs of each pixel value are
            // known by length, so the run is walked in one step as far as the
            // table knows it; the pixel after that is the next unknown string.
            uint32_t run = static_cast<uint32_t>(RunEnd(in, lineEnd, pixel) - in);
            uint32_t longest = m_runLength[pixel];
            if (run < longest) {
                prefix = m_pRunCodes[RunIndex(pixel, 1 + run)];
                in += run;
                break;
            }
            in += longest;
            prefix = m_topRun[pixel];
            key = (pixel << kLzwMaxCodeWidth) | prefix;
        }
        if (bitCount >= 32) break;  // only after a full table
    }

    m_nBits = bits;
    m_nBitCount = bitCount;
    m_nPrefix = prefix;
    m_nNextCode = nextCode;
    m_nCodeWidth = codeWidth;
    FinishRowIfRead(static_cast<uint32_t>(in - line));
    return count;
}

// One pixel the plain way, for the last bytes of a block, which go out one by
// one so that the block ends at exactly 255 bytes.
uint32_t CLzwEncoder::EncodeCareful(uint8_t* out, uint32_t count)
{
    count = Drain(out, count);
    if (count == kMaxBlock) return count;
    if (m_bNeedPrefix) {
        m_nPrefix = ReadPixel();
        m_bNeedPrefix = false;
        return count;
    }
    uint32_t pixel = ReadPixel();
    uint32_t key = (pixel << kLzwMaxCodeWidth) | m_nPrefix;
    uint32_t code = m_pTable[key];
    if (code != 0) {
        m_nPrefix = code;
        return count;
    }
    PutCode(m_nPrefix);
    m_pTable[key] = static_cast<uint16_t>(m_nNextCode);
    m_pKeyOfCode[m_nNextCode] = key;
    NoteRun(m_nPrefix, pixel, m_nNextCode);
    ++m_nNextCode;
    if (m_nNextCode > (1u << m_nCodeWidth)) ++m_nCodeWidth;
    m_nPrefix = pixel;
    if (m_nNextCode == kLzwMaxCodes) {
        PutCode(pixel);
        PutCode(kLzwClearCode);
        ClearTable(m_nNextCode);
        m_nNextCode = kLzwFirstFreeCode;
        m_nCodeWidth = kLzwFirstCodeWidth;
        if (m_nRow < m_nHeight)
            m_nPrefix = ReadPixel();
        else
            m_bHavePrefix = false;  // the table filled on the very last pixel
    }
    return Drain(out, count);
}

void CLzwEncoder::NextBlock(uint8_t* out, uint8_t* pCount)
{
    uint32_t count = Drain(out, 0);
    while (count < kMaxBlock && !m_bDone) {
        if (m_nRow >= m_nHeight) {
            // Out with the waiting bytes first: a full table can leave up to
            // 55 bits behind, and the last two codes must still fit the word.
            count = Drain(out, count);
            if (count == kMaxBlock) break;
            Finish();
            count = Drain(out, count);
        } else if (count <= kMaxBlock - 4 && m_nBitCount < 32) {
            count = EncodeFast(out, count);
        } else {
            count = EncodeCareful(out, count);
        }
    }
    *pCount = static_cast<uint8_t>(count);
}
