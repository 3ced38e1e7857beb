#pragma once
// Shared by the file format tests: a private folder, whole files, writers and readers run over an
// archive, sheets to store, the raster as a decoder gives it, and a raster's code stream in one piece.

#include "engine/Paper.h"
#include "formats/LzwEncoder.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace formats_test {

using Bytes = std::vector<uint8_t>;

// A folder of its own for each test, removed with everything in it.
struct TempFolder {
    std::filesystem::path path = std::filesystem::path(testing::TempDir()) /
        ("graphelle_formats_" + std::to_string(::getpid()) + "_" + testing::UnitTest::GetInstance()->current_test_info()->name());
    TempFolder() { std::filesystem::create_directories(path); }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

inline Bytes ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
}

inline uint32_t Le32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24; }

// Writes paper with one of the writers (WriteSketch, WriteGif, ...).
inline bool Save(bool (*write)(const CPaper&, CArchive&), const CPaper& paper, const std::string& path)
{
    CArchive ar;
    if (!ar.Open(path, CArchive::store)) return false;
    if (write(paper, ar)) return ar.Close();
    ar.Abort();
    return false;
}

inline bool LoadSketch(CPaper& paper, CPaper& basePaper, const std::string& path)
{
    CArchive ar;
    bool ok = ar.Open(path, CArchive::load) && ReadSketch(paper, basePaper, ar);
    ar.Close();
    return ok;
}

// The same bytes on every run.
inline Bytes Noise(size_t n, uint32_t seed)
{
    std::minstd_rand rnd(seed);
    Bytes bytes(n);
    for (auto& b : bytes) b = static_cast<uint8_t>(rnd() >> 7);
    return bytes;
}

// Runs of random length up to longest, three in four of them white, as paper with strokes gives.
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
    Bytes out;
    for (uint32_t y = 0; y < paper.GetHeight(); ++y)
        for (uint32_t x = 0; x < paper.GetWidth(); ++x) out.push_back(paper.GetPixel(int32_t(x), int32_t(y)));
    return out;
}

// A picture's gray pixels, top row first, as ImageMagick reads it.
inline Bytes MagickGray(const std::string& path, const TempFolder& folder)
{
    const std::string raw = folder.File("magick.gray");
    return std::system(("convert '" + path + "' -depth 8 gray:'" + raw + "'").c_str()) == 0 ? ReadWholeFile(raw) : Bytes();
}

// The same size and raster bytes: the same pixels, and fill bytes alike.
inline bool SameBits(const CPaper& a, const CPaper& b)
{
    return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() && a.HasBits() && b.HasBits() &&
           std::equal(a.GetBits(), a.GetBits() + a.GetImageSize(), b.GetBits());
}

// The whole code stream of a raster, from blocks that must all be full but
// the last, which a count of 0 follows.
inline Bytes EncodeAll(const uint8_t* pixels, uint32_t width, uint32_t height)
{
    Bytes stream;
    CLzwEncoder encoder;
    uint8_t block[CLzwEncoder::kMaxBlock], count = 255, previous = 255;
    for (bool begun = encoder.Begin(pixels, width, height, 8); begun && count != 0; previous = count) {
        encoder.NextBlock(block, &count);
        EXPECT_TRUE(previous == 255 || count == 0) << "a block after a short one";
        stream.insert(stream.end(), block, block + count);
    }
    return stream;
}

}  // namespace formats_test
