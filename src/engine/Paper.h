#pragma once
// CPaper: the sheet itself, an 8-bit gray raster (0 black, 255 white) held in
// the memory form of a bottom-up device-independent bitmap, with its 28-byte
// sketch header, the 1064-byte info header and gray palette, and the grain.
// It owns its pixel buffer and row-offset table; every pixel access checks its
// own bounds, so callers never clip. It never throws and never shows anything.

#include "Geometry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// The header that starts every sketch file and describes a paper in memory.
// Seven little-endian 32-bit fields; the in-memory struct is laid out alike.
struct SketchHeader {
    char magic[4];        // "QLXF"
    uint32_t headerSize;  // 28
    uint32_t version;     // 1
    uint32_t width;       // 4..2048
    uint32_t height;      // 4..2048
    uint32_t roughness;   // 1..10
    uint32_t nDataSize;   // 0 in memory; bytes after the header in a file
};
static_assert(sizeof(SketchHeader) == 28, "SketchHeader must be 28 bytes");

constexpr uint32_t kSketchHeaderSize = 28;
constexpr uint32_t kSketchVersion = 1;
constexpr uint32_t kPaperMinSize = 4;
constexpr uint32_t kPaperMaxSize = 2048;
constexpr uint32_t kMinRoughness = 1;
constexpr uint32_t kMaxRoughness = 10;
constexpr uint32_t kDefaultRoughness = 5;
constexpr size_t kBitmapInfoSize = 40 + 256 * 4;  // info header + gray palette

// How PutRectBits combines a rectangle buffer with the paper.
enum PasteMode : int {
    PASTE_TRANSPARENT = 0,  // non-white source pixels replace the paper
    PASTE_EXCHANGE_IN = 1,  // show a transparent floating piece (undone by OUT)
    PASTE_EXCHANGE_OUT = 2,
    PASTE_SWAP = 3,         // show an opaque floating piece (its own inverse)
    PASTE_OPAQUE = 4,       // every source pixel replaces the paper
};

// An owned pixel block in the paper's layout (rows padded to 4, bottom-up).
using PixelBuffer = std::unique_ptr<uint8_t[]>;

// Allocates a pixel block, or returns null when memory runs out.
PixelBuffer AllocatePixels(size_t size);

// Row length in bytes of a raster of the given width: rounded up to 4.
constexpr uint32_t PaperStride(uint32_t width) { return (width + 3u) & ~3u; }

class CPaper {
public:
    CPaper();
    virtual ~CPaper();
    CPaper(const CPaper&) = delete;
    CPaper& operator=(const CPaper&) = delete;

    bool Free();
    static bool IsValidHeader(const SketchHeader& h);
    bool CreateFromHeader(const SketchHeader& h);
    bool Create(uint32_t width, uint32_t height, uint32_t roughness);

    void GetHeader(SketchHeader& out) const { out = m_header; }
    uint8_t* GetBits() { return m_pBits.get(); }
    const uint8_t* GetBits() const { return m_pBits.get(); }
    uint32_t GetImageSize() const { return m_nImageSize; }
    const uint8_t* GetBitmapInfo() const { return m_bmi; }
    uint32_t GetWidth() const { return m_header.width; }
    uint32_t GetHeight() const { return m_header.height; }
    uint32_t GetRoughness() const { return m_header.roughness; }
    uint32_t GetStride() const { return PaperStride(m_header.width); }
    bool HasBits() const { return m_pBits != nullptr; }

    uint8_t GetPixel(int32_t x, int32_t y) const
    {
        if (!IsInside(x, y)) return 0;
        return m_pBits[m_pRowOffset[y] + static_cast<uint32_t>(x)];
    }
    void SetPixel(int32_t x, int32_t y, uint8_t value)
    {
        if (!IsInside(x, y)) return;
        m_pBits[m_pRowOffset[y] + static_cast<uint32_t>(x)] = value;
    }
    bool IsGrain(int32_t x, int32_t y) const;

    bool GetRectBits(const CRect& r, uint8_t* dest, bool clear);
    // src holds srcSize bytes; a block too small for r is refused, so no
    // caller can make the paper read past its piece.
    bool PutRectBits(const CRect& r, uint8_t* src, size_t srcSize, int mode);

    // Hands the pixel buffer to the caller and leaves the paper empty.
    PixelBuffer DetachBits();

    // Copies every pixel of a paper of the same size over this one.
    bool CopyBitsFrom(const CPaper& other);

    // The pixel (x, y) exists: the paper has pixels and the point lies on it.
    bool IsInside(int32_t x, int32_t y) const
    {
        return m_pBits && x >= 0 && y >= 0 && static_cast<uint32_t>(x) < m_header.width &&
               static_cast<uint32_t>(y) < m_header.height;
    }

private:
    void SetInfoSize(uint32_t width, uint32_t height);
    bool PrepareExchange(const CRect& clip, const CRect& r, const uint8_t* src, size_t srcStride);

    SketchHeader m_header;
    uint8_t m_bmi[kBitmapInfoSize];
    PixelBuffer m_pBits;
    std::unique_ptr<uint32_t[]> m_pRowOffset;
    uint32_t m_nImageSize = 0;

    // The grain's modulus (23 - 2 * roughness) as a multiplier, so that the
    // per-pixel test needs no division.
    uint64_t m_grainMagic = 0;
    uint32_t m_grainModulus = 1;

    // Offsets of paper pixels of value 0 that PASTE_EXCHANGE_IN moved into a
    // buffer. The buffer can only carry them as 0, which also stands for white,
    // so PASTE_EXCHANGE_OUT needs this list to give them back unchanged.
    std::vector<uint32_t> m_exchangedBlack;
    bool m_bExchangePending = false;
};

// The grain generator's first value for a seed, as the handheld platform's C
// runtime computes it after srand(seed): stateless, identical on every machine.
constexpr uint32_t GrainRandom(uint32_t seed)
{
    return ((seed * 214013u + 2531011u) >> 16) & 0x7FFFu;
}
