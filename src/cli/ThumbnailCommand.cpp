#include "ThumbnailCommand.h"

#include "PngWriter.h"
#include "engine/Paper.h"
#include "formats/SketchFile.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <new>
#include <ostream>

namespace {

// Thumbnailers ask for 128 to 1024 pixels; anything past the largest sheet
// would only be an enlargement, which we never do.
constexpr uint32_t kMaxThumbnailSize = 4096;

bool ParseSize(const std::string& text, uint32_t& size)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, size);
    return ec == std::errc() && ptr == end && size >= 1 && size <= kMaxThumbnailSize;
}

// Each thumbnail pixel is the average of the sheet pixels it covers, so thin
// pencil lines fade instead of vanishing.
bool Shrink(const CPaper& paper, uint32_t box, std::vector<uint8_t>& pixels, uint32_t& outW,
            uint32_t& outH)
{
    const uint32_t w = paper.GetWidth();
    const uint32_t h = paper.GetHeight();
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
            const uint32_t x1 =
                std::max(x0 + 1, static_cast<uint32_t>(uint64_t{ox + 1} * w / outW));
            uint64_t sum = 0;
            for (uint32_t y = y0; y < y1; ++y)
                for (uint32_t x = x0; x < x1; ++x)
                    sum += paper.GetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y));
            const uint64_t count = uint64_t{x1 - x0} * (y1 - y0);
            pixels[static_cast<size_t>(oy) * outW + ox] =
                static_cast<uint8_t>((sum + count / 2) / count);
        }
    }
    return true;
}

}  // namespace

int CliThumbnail(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    (void)out;
    uint32_t box = 0;
    if (args.size() != 3 || !ParseSize(args[2], box)) {
        err << "usage: graphelle-cli thumbnail IN.tvk OUT.png SIZE (SIZE 1 to "
            << kMaxThumbnailSize << ")\n";
        return 2;
    }
    CPaper paper;
    std::string error;
    const SketchLoad load = LoadSketchFile(args[0], paper, error);
    if (load == SketchLoad::NotOpened) {
        err << args[0] << ": " << error << "\n";
        return 1;
    }
    if (load == SketchLoad::NotSketch) {
        err << args[0] << ": not a sketch file\n";
        return 1;
    }
    // What could be read is still worth a picture, but the caller is told.
    if (load == SketchLoad::Part) err << args[0] << ": read only in part; the rest of the sheet is white\n";
    std::vector<uint8_t> pixels;
    uint32_t w = 0;
    uint32_t h = 0;
    if (!Shrink(paper, box, pixels, w, h)) {
        err << args[0] << ": out of memory\n";
        return 1;
    }
    if (!WriteGrayPng(args[1], pixels.data(), w, h, w, error)) {
        err << args[1] << ": " << error << "\n";
        return 1;
    }
    return load == SketchLoad::Part ? 1 : 0;
}
