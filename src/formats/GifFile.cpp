#include "GifFile.h"

#include "LzwEncoder.h"
#include "io/ByteOrder.h"

namespace {

constexpr uint8_t kGifColorTableFlags = 0x87;  // global table of 2^(7+1) entries
constexpr uint8_t kGifImageSeparator = 0x2C;
constexpr uint8_t kGifTrailer = 0x3B;
constexpr uint8_t kGifCodeSize = 8;

// Signature and version.
bool WriteSignature(CArchive& ar) { return ar.Write("GIF89a", 6); }

// Logical screen descriptor.
bool WriteScreenDescriptor(CArchive& ar, uint32_t width, uint32_t height)
{
    uint8_t bytes[7];
    PutLe16(bytes, width);
    PutLe16(bytes + 2, height);
    bytes[4] = kGifColorTableFlags;
    bytes[5] = 0;  // background color index
    bytes[6] = 0;  // pixel aspect ratio
    return ar.Write(bytes, sizeof bytes);
}

// Global color table: the 256 grays.
bool WriteColorTable(CArchive& ar)
{
    uint8_t bytes[256 * 3];
    for (uint32_t i = 0; i < 256; ++i) bytes[3 * i] = bytes[3 * i + 1] = bytes[3 * i + 2] = static_cast<uint8_t>(i);
    return ar.Write(bytes, sizeof bytes);
}

// Image descriptor.
bool WriteImageDescriptor(CArchive& ar, uint32_t width, uint32_t height)
{
    uint8_t bytes[10];
    bytes[0] = kGifImageSeparator;
    PutLe16(bytes + 1, 0);  // left
    PutLe16(bytes + 3, 0);  // top
    PutLe16(bytes + 5, width);
    PutLe16(bytes + 7, height);
    bytes[9] = 0;  // no local color table, not interlaced
    return ar.Write(bytes, sizeof bytes);
}

// Image data: LZW minimum code size, sub-blocks, and the zero-length block
// that ends them.
bool WriteImageData(CArchive& ar, const CPaper& paper)
{
    CLzwEncoder encoder;
    if (!encoder.Begin(paper.GetBits(), paper.GetWidth(), paper.GetHeight(), kGifCodeSize))
        return false;
    if (!ar.Write(&kGifCodeSize, 1)) return false;
    uint8_t block[1 + CLzwEncoder::kMaxBlock];
    do {
        encoder.NextBlock(block + 1, &block[0]);
        if (!ar.Write(block, 1u + block[0])) return false;
    } while (block[0] != 0);
    return true;
}

// Trailer.
bool WriteTrailer(CArchive& ar) { return ar.Write(&kGifTrailer, 1); }

}  // namespace

bool WriteGif(const CPaper& paper, CArchive& ar)
{
    if (!paper.HasBits()) return false;
    // The format's sizes are 16-bit; a paper is at most 2048 wide and high.
    uint32_t width = paper.GetWidth() & 0xFFFF;
    uint32_t height = paper.GetHeight() & 0xFFFF;
    return WriteSignature(ar) && WriteScreenDescriptor(ar, width, height) && WriteColorTable(ar) &&
           WriteImageDescriptor(ar, width, height) && WriteImageData(ar, paper) && WriteTrailer(ar);
}
