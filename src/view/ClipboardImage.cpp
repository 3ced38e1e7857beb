#include "ClipboardImage.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

uint32_t ReadLE32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

void WriteLE32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

size_t RowStride(uint32_t width) { return (static_cast<size_t>(width) + 3u) & ~size_t{3}; }

}  // namespace

QImage PayloadToImage(const std::vector<uint8_t>& payload)
{
    if (payload.size() < kPayloadHeaderSize) return QImage();
    const uint8_t* p = payload.data();
    if (ReadLE32(p) != 0) return QImage();
    const uint32_t width = ReadLE32(p + 4);
    const uint32_t height = ReadLE32(p + 8);
    if (width == 0 || height == 0 || width > kPieceMaxSide || height > kPieceMaxSide) return QImage();
    const size_t stride = RowStride(width);
    // The header is only a claim; the block must really hold every row.
    if (payload.size() - kPayloadHeaderSize < stride * height) return QImage();

    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_Grayscale8);
    if (image.isNull()) return QImage();
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = p + kPayloadHeaderSize + static_cast<size_t>(height - 1 - y) * stride;
        std::memcpy(image.scanLine(static_cast<int>(y)), row, width);
    }
    return image;
}

bool ImageToPayload(const QImage& source, std::vector<uint8_t>& payload)
{
    if (source.isNull()) return false;
    QImage image = source;
    if (image.width() > kPieceMaxSide || image.height() > kPieceMaxSide)
        image = image.scaled(kPieceMaxSide, kPieceMaxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (image.isNull()) return false;

    // Transparency over white, then gray; padding beyond the image stays white.
    const int width = std::max(image.width(), kPieceMinSide);
    const int height = std::max(image.height(), kPieceMinSide);
    QImage flat(width, height, QImage::Format_RGB32);
    if (flat.isNull()) return false;
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    const QImage gray = flat.convertToFormat(QImage::Format_Grayscale8);
    if (gray.isNull()) return false;

    const size_t stride = RowStride(static_cast<uint32_t>(width));
    try {
        payload.assign(kPayloadHeaderSize + stride * static_cast<size_t>(height), 255);
    } catch (const std::bad_alloc&) {
        payload.clear();
        return false;
    }
    uint8_t* p = payload.data();
    WriteLE32(p, 0);
    WriteLE32(p + 4, static_cast<uint32_t>(width));
    WriteLE32(p + 8, static_cast<uint32_t>(height));
    for (int y = 0; y < height; ++y) {
        uint8_t* row = p + kPayloadHeaderSize + static_cast<size_t>(height - 1 - y) * stride;
        std::memcpy(row, gray.constScanLine(y), static_cast<size_t>(width));
    }
    return true;
}
