#include "ThumbnailCommand.h"
#include "Usage.h"

#include "engine/Paper.h"
#include "engine/PaperThumbnail.h"
#include "formats/PngFile.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <new>
#include <ostream>

namespace {

// Thumbnailers ask for 128 to 1024 pixels; anything past the largest sheet
// would only be an enlargement, which we never do.
constexpr uint32_t kMaxThumbnailSize = 4096;
constexpr char kUsage[] = "usage: graphelle-cli thumbnail IN.tvk OUT.png SIZE (SIZE 1 to 4096)\n";
static_assert(kMaxThumbnailSize == 4096, "the usage names the largest size");

bool ParseSize(const std::string& text, uint32_t& size)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, size);
    return ec == std::errc() && ptr == end && size >= 1 && size <= kMaxThumbnailSize;
}

}  // namespace

int CliThumbnail(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (const int status = CheckArguments(args, 3, kUsage, nullptr, out, err); status >= 0) return status;
    uint32_t box = 0;
    if (!ParseSize(args[2], box)) {
        err << kUsage;
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
    if (!MakeThumbnail(paper, box, pixels, w, h)) {
        err << args[0] << ": out of memory\n";
        return 1;
    }
    CArchive ar;
    if (!ar.Open(args[1], CArchive::store) || !WriteGrayPng(pixels.data(), w, h, w, ar) || !ar.Close()) {
        err << args[1] << ": " << (ar.HasFailed() ? ar.GetError() : "cannot write") << "\n";
        return 1;
    }
    return load == SketchLoad::Part ? 1 : 0;
}
