#pragma once
// Shared by the file format tests: whole files, writers and readers run over an archive, sheets
// filled and read back, a raster's code stream in one piece, and PNG files through libpng's own
// simplified interface, apart from the program's reader and writer.

#include "engine/Paper.h"
#include "formats/LzwEncoder.h"
#include "formats/SketchFile.h"
#include "framework/FileTestSupport.h"
#include "io/Archive.h"

#include <gtest/gtest.h>
#include <png.h>

#include <random>

namespace formats_test {

using Bytes = std::vector<uint8_t>;
using filetest::TempFolder;

inline Bytes ReadWholeFile(const std::string& path)
{
    const std::string s = filetest::Contents(path);
    return {s.begin(), s.end()};
}
inline void WriteWholeFile(const std::string& path, const Bytes& b) { filetest::WriteFile(path, {b.begin(), b.end()}); }
inline uint32_t Le32(const Bytes& b, size_t i) { return b[i] | b[i + 1] << 8 | b[i + 2] << 16 | 1u * b[i + 3] << 24; }

// Writes paper with one of the writers (WriteSketch, WriteGif, ...); an unclosed archive leaves the file alone.
inline bool Save(bool (*write)(const CPaper&, CArchive&), const CPaper& paper, const std::string& path)
{
    CArchive ar;
    return ar.Open(path, CArchive::store) && write(paper, ar) && ar.Close();
}

inline bool LoadSketch(CPaper& paper, CPaper& basePaper, const std::string& path)
{
    CArchive ar;
    return ar.Open(path, CArchive::load) && ReadSketch(paper, basePaper, ar);
}

// The same bytes on every run; Runs has runs of random length up to longest, three in four white, as strokes give.
inline Bytes Noise(size_t n, uint32_t seed)
{
    std::minstd_rand rnd(seed);
    Bytes bytes(n);
    for (auto& b : bytes) b = static_cast<uint8_t>(rnd() >> 7);
    return bytes;
}

inline Bytes Runs(size_t n, uint32_t seed, uint32_t longest)
{
    std::minstd_rand rnd(seed);
    Bytes pixels;
    while (pixels.size() < n) pixels.insert(pixels.end(), 1 + rnd() % longest, rnd() % 4 ? 255 : uint8_t(rnd()));
    pixels.resize(n);
    return pixels;
}

// Lays pixels, top row first, onto the sheet; TopDown gives them back as decoders do.
inline void Fill(CPaper& paper, const Bytes& pixels)
{
    const uint32_t w = paper.GetWidth();
    for (size_t i = 0; i < pixels.size(); ++i) paper.SetPixel(int32_t(i % w), int32_t(i / w), pixels[i]);
}

inline Bytes TopDown(const CPaper& paper)
{
    const uint32_t w = paper.GetWidth();
    Bytes out(size_t{w} * paper.GetHeight());
    for (size_t i = 0; i < out.size(); ++i) out[i] = paper.GetPixel(int32_t(i % w), int32_t(i / w));
    return out;
}

// The blocks of a sketch file, as the file says they are: offset of the count byte.
inline std::vector<size_t> BlockOffsets(const Bytes& file)
{
    std::vector<size_t> offsets;
    for (size_t pos = 29; pos < file.size(); pos += file[pos] + 3u) offsets.push_back(pos);
    return offsets;
}

// The same size and raster bytes: the same pixels, and fill bytes alike.
inline bool SameBits(const CPaper& a, const CPaper& b)
{
    return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() && a.HasBits() && b.HasBits() &&
           std::equal(a.GetBits(), a.GetBits() + a.GetImageSize(), b.GetBits());
}

// The whole code stream of a raster, from its blocks up to the count of 0 that follows the last.
inline Bytes EncodeAll(const uint8_t* pixels, uint32_t width, uint32_t height)
{
    Bytes stream;
    CLzwEncoder encoder;
    uint8_t block[CLzwEncoder::kMaxBlock], count = 255;
    for (bool begun = encoder.Begin(pixels, width, height, 8); begun && count != 0;) {
        encoder.NextBlock(block, &count);
        stream.insert(stream.end(), block, block + count);
    }
    return stream;
}

}  // namespace formats_test

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

// pixels top-down in a PNG_FORMAT_* layout.
inline bool Write(const std::string& path, uint32_t w, uint32_t h, uint32_t format, const void* pixels)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION, image.width = w, image.height = h, image.format = format;
    return png_image_write_to_file(&image, path.c_str(), 0, pixels, 0, nullptr) != 0;
}

}  // namespace pngtest
