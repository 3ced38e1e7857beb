#include "ClipboardImage.h"

#include "io/ByteOrder.h"
#include "engine/Paper.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// A piece is at most as large as the largest paper and at least as large as
// the smallest one.
constexpr int kPieceMaxSide = static_cast<int>(kPaperMaxSize);
constexpr int kPieceMinSide = static_cast<int>(kPaperMinSize);

}  // namespace

QImage PayloadToImage(const std::vector<uint8_t>& payload)
{
    if (payload.size() < kClipHeaderSize || !HasClipSignature(payload)) return QImage();
    const uint8_t* p = payload.data();
    const uint32_t width = GetLe32(p + 4);
    const uint32_t height = GetLe32(p + 8);
    if (width == 0 || height == 0 || width > kPieceMaxSide || height > kPieceMaxSide) return QImage();
    const size_t stride = PaperStride(width);
    // The header is only a claim; the block must really hold every row.
    if (payload.size() - kClipHeaderSize < stride * height) return QImage();

    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_Grayscale8);
    if (image.isNull()) return QImage();
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = p + kClipHeaderSize + static_cast<size_t>(height - 1 - y) * stride;
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

    const size_t stride = PaperStride(static_cast<uint32_t>(width));
    try {
        payload.assign(kClipHeaderSize + stride * static_cast<size_t>(height), 255);
    } catch (const std::bad_alloc&) {
        payload.clear();
        return false;
    }
    uint8_t* p = payload.data();
    PutLe32(p, 0);
    PutLe32(p + 4, static_cast<uint32_t>(width));
    PutLe32(p + 8, static_cast<uint32_t>(height));
    for (int y = 0; y < height; ++y) {
        uint8_t* row = p + kClipHeaderSize + static_cast<size_t>(height - 1 - y) * stride;
        std::memcpy(row, gray.constScanLine(y), static_cast<size_t>(width));
    }
    return true;
}
