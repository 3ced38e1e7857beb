#pragma once
// PNG files for the tests, written and read through libpng's own simplified
// interface, apart from the program's reader and writer.

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pngtest {

struct Picture {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> gray;  // rows top-down, no padding
};

// Decodes any PNG to 8-bit gray; false when libpng refuses it.
inline bool Decode(const std::string& path, Picture& picture)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_GRAY;
    picture.width = image.width;
    picture.height = image.height;
    picture.gray.assign(PNG_IMAGE_SIZE(image), 0);
    const bool read = png_image_finish_read(&image, nullptr, picture.gray.data(), 0, nullptr);
    png_image_free(&image);
    return read;
}

// Writes pixels (rows top-down) in a PNG_FORMAT_* layout, with a colour map
// of `entries` RGBA colours when the format has PNG_FORMAT_FLAG_COLORMAP.
inline bool Write(const std::string& path, uint32_t width, uint32_t height, uint32_t format, const void* pixels,
                  const void* colormap = nullptr, uint32_t entries = 0)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = format;
    image.colormap_entries = entries;
    return png_image_write_to_file(&image, path.c_str(), 0, pixels, 0, colormap) != 0;
}

}  // namespace pngtest
