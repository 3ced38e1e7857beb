#include "LzwDecoder.h"

#include "LzwCodes.h"

#include <cstring>
#include <new>

// Each code's string is known by its last pixel, the code of the rest, its
// first pixel and its length; the length lets a string be written backwards
// straight into the raster, and the first pixel saves walking the chain for
// the entry that the next code adds.
struct CLzwDecoder::Tables {
    uint16_t prefix[kLzwMaxCodes];
    uint16_t length[kLzwMaxCodes];
    uint8_t suffix[kLzwMaxCodes];
    uint8_t first[kLzwMaxCodes];
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
    Tables& t = *m_pTables;
    for (uint32_t i = 0; i < kLzwClearCode; ++i) {
        t.prefix[i] = 0;
        t.length[i] = 1;
        t.suffix[i] = static_cast<uint8_t>(i);
        t.first[i] = static_cast<uint8_t>(i);
    }
    m_pPixels = pixels;
    m_nWidth = width;
    m_nStride = LzwStride(width);
    m_nColumn = 0;
    m_nRowOffset = size_t{height - 1} * m_nStride;
    m_nPixelsLeft = uint64_t{width} * height;
    m_nPixelsWritten = 0;
    m_nBits = 0;
    m_nBitCount = 0;
    ResetTable();
    m_nState = kMore;
    return true;
}

void CLzwDecoder::ResetTable()
{
    m_nNextCode = kLzwFirstFreeCode;
    m_nCodeWidth = kLzwFirstCodeWidth;
    m_bHavePrev = false;
}

int CLzwDecoder::Stop(int result)
{
    m_nState = result;
    return result;
}

void CLzwDecoder::AdvanceRows(uint32_t rows)
{
    // Past the last row the offset is never used again (no pixels are left),
    // so it stops at 0 rather than pointing before the buffer.
    size_t step = size_t{rows} * m_nStride;
    m_nRowOffset = m_nRowOffset >= step ? m_nRowOffset - step : 0;
}

// Writes the string of code into the raster; false when it does not fit in
// the pixels that are left.
bool CLzwDecoder::WriteString(uint32_t code)
{
    Tables& t = *m_pTables;
    uint32_t length = t.length[code];
    if (length > m_nPixelsLeft) return false;
    m_nPixelsLeft -= length;
    m_nPixelsWritten += length;

    if (length == 1) {
        m_pPixels[m_nRowOffset + m_nColumn] = t.suffix[code];
        if (++m_nColumn == m_nWidth) {
            m_nColumn = 0;
            AdvanceRows(1);
        }
        return true;
    }
    if (m_nColumn + length <= m_nWidth) {
        uint8_t* out = m_pPixels + m_nRowOffset + m_nColumn;
        for (uint32_t i = length; i-- > 0;) {
            out[i] = t.suffix[code];
            code = t.prefix[code];
        }
        m_nColumn += length;
        if (m_nColumn == m_nWidth) {
            m_nColumn = 0;
            AdvanceRows(1);
        }
        return true;
    }
    for (uint32_t i = length; i-- > 0;) {
        t.scratch[i] = t.suffix[code];
        code = t.prefix[code];
    }
    const uint8_t* in = t.scratch;
    while (length > 0) {
        uint32_t n = m_nWidth - m_nColumn;
        if (n > length) n = length;
        std::memcpy(m_pPixels + m_nRowOffset + m_nColumn, in, n);
        in += n;
        length -= n;
        m_nColumn += n;
        if (m_nColumn == m_nWidth) {
            m_nColumn = 0;
            AdvanceRows(1);
        }
    }
    return true;
}

int CLzwDecoder::DecodeBlock(const uint8_t* data, uint32_t size)
{
    if (m_nState != kMore) return m_nState;
    if (!data) return kMore;
    Tables& t = *m_pTables;
    const uint8_t* in = data;
    const uint8_t* const end = data + size;

    for (;;) {
        while (m_nBitCount < m_nCodeWidth) {
            if (in == end) return kMore;
            m_nBits |= uint32_t{*in++} << m_nBitCount;
            m_nBitCount += 8;
        }
        uint32_t code = m_nBits & ((1u << m_nCodeWidth) - 1);
        m_nBits >>= m_nCodeWidth;
        m_nBitCount -= m_nCodeWidth;

        if (code == kLzwClearCode) {
            ResetTable();
            continue;
        }
        if (code == kLzwEndCode) return Stop(kEnd);

        if (!m_bHavePrev) {
            // The first code after a clear must be a single pixel.
            if (code > kLzwClearCode) return Stop(kCorrupt);
        } else {
            uint32_t firstPixel;
            if (code < m_nNextCode)
                firstPixel = t.first[code];
            else if (code == m_nNextCode)
                firstPixel = t.first[m_nPrevCode];
            else
                return Stop(kCorrupt);
            // A full table takes no more entries; the encoder sends a clear code
            // right after filling it, and a stream that does not is still read.
            if (m_nNextCode < kLzwMaxCodes) {
                uint32_t n = m_nNextCode++;
                t.prefix[n] = static_cast<uint16_t>(m_nPrevCode);
                t.suffix[n] = static_cast<uint8_t>(firstPixel);
                t.first[n] = t.first[m_nPrevCode];
                t.length[n] = static_cast<uint16_t>(t.length[m_nPrevCode] + 1);
                if (m_nNextCode == (1u << m_nCodeWidth) && m_nCodeWidth < kLzwMaxCodeWidth)
                    ++m_nCodeWidth;
            }
        }
        if (!WriteString(code)) return Stop(kCorrupt);
        m_nPrevCode = code;
        m_bHavePrev = true;
    }
}
