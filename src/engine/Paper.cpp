#include "Paper.h"

#include "io/ByteOrder.h"

#include <cstring>
#include <new>

PixelBuffer AllocatePixels(size_t size)
{
    try {
        return std::make_unique_for_overwrite<uint8_t[]>(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

CPaper::CPaper()
{
    std::memcpy(m_header.magic, "QLXF", 4);
    m_header.headerSize = kSketchHeaderSize;
    m_header.version = kSketchVersion;
    m_header.width = 0;
    m_header.height = 0;
    m_header.roughness = kDefaultRoughness;
    m_header.nDataSize = 0;

    std::memset(m_bmi, 0, sizeof m_bmi);
    PutLe32(m_bmi + 0, 40);
    PutLe16(m_bmi + 12, 1);  // planes
    PutLe16(m_bmi + 14, 8);  // bits per pixel
    for (int i = 0; i < 256; ++i) {
        uint8_t* entry = m_bmi + 40 + 4 * i;
        entry[0] = entry[1] = entry[2] = static_cast<uint8_t>(i);
        entry[3] = 0;
    }
}

CPaper::~CPaper()
{
    Free();
}

void CPaper::SetInfoSize(uint32_t width, uint32_t height)
{
    PutLe32(m_bmi + 4, width);
    PutLe32(m_bmi + 8, height);
}

bool CPaper::Free()
{
    m_header.width = 0;
    m_header.height = 0;
    m_header.roughness = kDefaultRoughness;
    SetInfoSize(0, 0);
    m_nImageSize = 0;
    m_pBits.reset();
    m_pRowOffset.reset();
    m_exchangedBlack.clear();
    m_bExchangePending = false;
    return true;
}

bool CPaper::IsValidHeader(const SketchHeader& h)
{
    return std::memcmp(h.magic, "QLXF", 4) == 0 && h.version == kSketchVersion &&
           h.headerSize == kSketchHeaderSize && h.width >= kPaperMinSize && h.width <= kPaperMaxSize &&
           h.height >= kPaperMinSize && h.height <= kPaperMaxSize && h.roughness >= kMinRoughness &&
           h.roughness <= kMaxRoughness;
}

bool CPaper::CreateFromHeader(const SketchHeader& h)
{
    Free();
    if (!IsValidHeader(h)) return false;
    const uint32_t stride = PaperStride(h.width);
    const uint32_t imageSize = h.height * stride;

    std::unique_ptr<uint32_t[]> rows;
    try {
        rows = std::make_unique_for_overwrite<uint32_t[]>(h.height);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (uint32_t r = 0; r < h.height; ++r)
        rows[h.height - 1 - r] = r * stride;

    PixelBuffer bits = AllocatePixels(imageSize);
    if (!bits) return false;
    std::memset(bits.get(), 255, imageSize);

    m_pRowOffset = std::move(rows);
    m_pBits = std::move(bits);
    m_nImageSize = imageSize;
    m_header.width = h.width;
    m_header.height = h.height;
    m_header.roughness = h.roughness;
    SetInfoSize(h.width, h.height);

    // Lemire's fast remainder: n mod d == ((M * n mod 2^64) * d) >> 64 for
    // 32-bit n, with M = floor((2^64 - 1) / d) + 1.
    m_grainModulus = 23u - 2u * h.roughness;
    m_grainMagic = UINT64_MAX / m_grainModulus + 1;
    return true;
}

bool CPaper::Create(uint32_t width, uint32_t height, uint32_t roughness)
{
    SketchHeader h = m_header;
    h.width = width;
    h.height = height;
    h.roughness = roughness;
    return CreateFromHeader(h);
}

bool CPaper::IsGrain(int32_t x, int32_t y) const
{
    if (!IsInside(x, y)) return false;
    if (m_header.roughness == 1) return false;
    const uint32_t offset = m_pRowOffset[y] + static_cast<uint32_t>(x);
    const uint32_t v = GrainRandom(offset * offset);
    const uint64_t low = m_grainMagic * v;
    const uint32_t remainder =
        static_cast<uint32_t>((static_cast<unsigned __int128>(low) * m_grainModulus) >> 64);
    return remainder == 0;
}

bool CPaper::GetRectBits(const CRect& r, uint8_t* dest, bool clear)
{
    if (!m_pBits) return false;
    const int32_t width = static_cast<int32_t>(m_header.width);
    const int32_t height = static_cast<int32_t>(m_header.height);
    if (dest && (r.left < 0 || r.top < 0 || r.right > width || r.bottom > height || r.Width() < 1 ||
                 r.Height() < 1))
        return false;
    const CRect clip = CRect::Intersect(r, CRect{0, 0, width, height});
    if (clip.IsEmpty()) return false;

    const uint32_t destStride = dest ? PaperStride(static_cast<uint32_t>(r.Width())) : 0;
    const size_t count = static_cast<size_t>(clip.Width());
    for (int32_t y = clip.top; y < clip.bottom; ++y) {
        uint8_t* row = m_pBits.get() + m_pRowOffset[y] + clip.left;
        if (dest) {
            uint8_t* out = dest + static_cast<size_t>(r.bottom - 1 - y) * destStride + (clip.left - r.left);
            std::memcpy(out, row, count);
        }
        if (clear) std::memset(row, 255, count);
    }
    return true;
}

bool CPaper::PutRectBits(const CRect& r, uint8_t* src, size_t srcSize, int mode)
{
    if (!m_pBits || !src || r.IsEmpty()) return false;
    if (srcSize / PaperStride(static_cast<uint32_t>(r.Width())) < static_cast<uint32_t>(r.Height())) return false;
    const int32_t width = static_cast<int32_t>(m_header.width);
    const int32_t height = static_cast<int32_t>(m_header.height);
    const CRect clip = CRect::Intersect(r, CRect{0, 0, width, height});
    if (clip.IsEmpty()) return false;

    const size_t srcStride = PaperStride(static_cast<uint32_t>(r.Width()));
    if (mode == PASTE_EXCHANGE_IN && !PrepareExchange(clip, r, src, srcStride)) return false;
    // An OUT without its IN would scramble the paper with the buffer.
    if (mode == PASTE_EXCHANGE_OUT && !m_bExchangePending) return false;
    size_t nextBlack = 0;

    for (int32_t y = clip.top; y < clip.bottom; ++y) {
        const uint32_t rowOffset = m_pRowOffset[y];
        uint8_t* srcRow = src + static_cast<size_t>(r.bottom - 1 - y) * srcStride;
        for (int32_t x = clip.left; x < clip.right; ++x) {
            uint8_t& P = m_pBits[rowOffset + static_cast<uint32_t>(x)];
            uint8_t& B = srcRow[x - r.left];
            const uint8_t oldP = P;
            const uint8_t oldB = B;
            switch (mode) {
            case PASTE_TRANSPARENT:
                if (oldB != 255) P = oldB;
                break;
            case PASTE_EXCHANGE_IN:
                if (oldB != 255) {
                    if (oldP == 0) m_exchangedBlack.push_back(rowOffset + static_cast<uint32_t>(x));
                    B = oldP == 255 ? 0 : oldP;
                    P = oldB;
                }
                break;
            case PASTE_EXCHANGE_OUT:
                if (oldB != 255) {
                    B = oldP;
                    if (oldB != 0) {
                        P = oldB;
                    } else if (nextBlack < m_exchangedBlack.size() &&
                               m_exchangedBlack[nextBlack] == rowOffset + static_cast<uint32_t>(x)) {
                        P = 0;
                        ++nextBlack;
                    } else {
                        P = 255;
                    }
                }
                break;
            case PASTE_SWAP:
                P = oldB;
                B = oldP;
                break;
            case PASTE_OPAQUE:
                P = oldB;
                break;
            default:
                return true;
            }
        }
    }
    if (mode == PASTE_EXCHANGE_IN) m_bExchangePending = true;
    if (mode == PASTE_EXCHANGE_OUT) {
        m_exchangedBlack.clear();
        m_bExchangePending = false;
    }
    return true;
}

bool CPaper::PrepareExchange(const CRect& clip, const CRect& r, const uint8_t* src, size_t srcStride)
{
    // Room for every black pixel is reserved before anything moves, so that a
    // lack of memory refuses the exchange instead of losing those pixels.
    size_t black = 0;
    for (int32_t y = clip.top; y < clip.bottom; ++y) {
        const uint8_t* paperRow = m_pBits.get() + m_pRowOffset[y];
        const uint8_t* srcRow = src + static_cast<size_t>(r.bottom - 1 - y) * srcStride;
        for (int32_t x = clip.left; x < clip.right; ++x)
            black += paperRow[x] == 0 && srcRow[x - r.left] != 255;
    }
    m_exchangedBlack.clear();
    m_bExchangePending = false;
    try {
        m_exchangedBlack.reserve(black);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

PixelBuffer CPaper::DetachBits()
{
    PixelBuffer bits = std::move(m_pBits);
    Free();
    return bits;
}

bool CPaper::CopyBitsFrom(const CPaper& other)
{
    if (!m_pBits || !other.m_pBits || other.m_nImageSize != m_nImageSize ||
        other.m_header.width != m_header.width)
        return false;
    std::memcpy(m_pBits.get(), other.m_pBits.get(), m_nImageSize);
    return true;
}
