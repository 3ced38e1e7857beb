#include "PaperThumbnail.h"

#include <algorithm>
#include <new>

bool MakeThumbnail(const CPaper& paper, uint32_t box, std::vector<uint8_t>& pixels, uint32_t& outW,
                   uint32_t& outH)
{
    const uint32_t w = paper.GetWidth();
    const uint32_t h = paper.GetHeight();
    if (!paper.HasBits() || box == 0) return false;
    if (w <= box && h <= box) {
        outW = w;
        outH = h;
    } else if (w >= h) {
        outW = box;
        outH = std::max<uint32_t>(1, static_cast<uint32_t>(uint64_t{h} * box / w));
    } else {
        outH = box;
        outW = std::max<uint32_t>(1, static_cast<uint32_t>(uint64_t{w} * box / h));
    }
    try {
        pixels.assign(static_cast<size_t>(outW) * outH, 255);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (uint32_t oy = 0; oy < outH; ++oy) {
        const uint32_t y0 = static_cast<uint32_t>(uint64_t{oy} * h / outH);
        const uint32_t y1 = std::max(y0 + 1, static_cast<uint32_t>(uint64_t{oy + 1} * h / outH));
        for (uint32_t ox = 0; ox < outW; ++ox) {
            const uint32_t x0 = static_cast<uint32_t>(uint64_t{ox} * w / outW);
            const uint32_t x1 = std::max(x0 + 1, static_cast<uint32_t>(uint64_t{ox + 1} * w / outW));
            uint8_t darkest = 255;
            for (uint32_t y = y0; y < y1; ++y)
                for (uint32_t x = x0; x < x1; ++x)
                    darkest = std::min(darkest, paper.GetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y)));
            pixels[static_cast<size_t>(oy) * outW + ox] = darkest;
        }
    }
    return true;
}
