#pragma once
// PNG files for the tests through libpng's own simplified interface, apart
// from the program's reader and writer.

#include <png.h>

#include <string>
#include <vector>

namespace pngtest {

struct Picture {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> gray;  // rows top-down, no padding
};

inline bool Decode(const std::string& path, Picture& p)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_GRAY;
    p.width = image.width, p.height = image.height;
    p.gray.assign(PNG_IMAGE_SIZE(image), 0);
    return png_image_finish_read(&image, nullptr, p.gray.data(), 0, nullptr) != 0;
}

// pixels top-down in a PNG_FORMAT_* layout; colormap of RGBA entries for the colour-map formats.
inline bool Write(const std::string& path, uint32_t w, uint32_t h, uint32_t format, const void* pixels,
                  const void* colormap = nullptr, uint32_t entries = 0)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = w, image.height = h, image.format = format, image.colormap_entries = entries;
    return png_image_write_to_file(&image, path.c_str(), 0, pixels, 0, colormap) != 0;
}

}  // namespace pngtest
