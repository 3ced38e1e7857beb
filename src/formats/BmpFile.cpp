#include "BmpFile.h"

#include "io/ByteOrder.h"

namespace {

// File header: type, file size, two reserved words, offset of the pixels.
bool WriteFileHeader(CArchive& ar, uint32_t imageSize)
{
    uint8_t bytes[kBmpFileHeaderSize];
    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLe32(bytes + 2, kBmpPixelOffset + imageSize);
    PutLe16(bytes + 6, 0);
    PutLe16(bytes + 8, 0);
    PutLe32(bytes + 10, kBmpPixelOffset);
    return ar.Write(bytes, sizeof bytes);
}

// Information header and palette, as the paper keeps them.
bool WriteInfo(CArchive& ar, const CPaper& paper)
{
    return ar.Write(paper.GetBitmapInfo(), kBitmapInfoSize);
}

// Pixels, bottom row first, fill bytes included.
bool WritePixels(CArchive& ar, const CPaper& paper)
{
    return ar.Write(paper.GetBits(), paper.GetImageSize());
}

}  // namespace

bool WriteBmp(const CPaper& paper, CArchive& ar)
{
    if (!paper.HasBits()) return false;
    return WriteFileHeader(ar, paper.GetImageSize()) && WriteInfo(ar, paper) && WritePixels(ar, paper);
}
