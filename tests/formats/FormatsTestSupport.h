#pragma once
// Shared by the file format tests: a private temporary folder, whole files,
// saving and loading through an archive, drawings to store, and the code
// stream as one piece.

#include "engine/Paper.h"
#include "formats/LzwEncoder.h"
#include "formats/SketchFile.h"

#include <gtest/gtest.h>

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

inline void FillNoise(CPaper& paper, uint32_t seed)
{
    const uint32_t w = paper.GetWidth();
    Bytes noise = Noise(size_t{w} * paper.GetHeight(), seed);
    for (size_t i = 0; i < noise.size(); ++i) paper.SetPixel(static_cast<int32_t>(i % w), static_cast<int32_t>(i / w), noise[i]);
}

// Pencil-like strokes: random walks of a dark core with lighter, grainy edges.
inline void DrawStrokes(CPaper& paper, uint32_t seed, int strokes)
{
    std::minstd_rand rnd(seed);
    auto below = [&](uint32_t n) { return static_cast<int>(rnd() % n); };
    auto darken = [&](int x, int y, int v) { if (v < paper.GetPixel(x, y)) paper.SetPixel(x, y, static_cast<uint8_t>(v)); };
    for (int s = 0; s < strokes; ++s) {
        int x = below(paper.GetWidth()), y = below(paper.GetHeight()), steps = 20 + below(400), gray = 10 + below(120);
        for (int i = 0; i < steps; ++i, x += below(3) - 1, y += below(3) - 1)
            for (int d = 0; d < 9; ++d)  // a third of the edge lets the paper through
                darken(x + d % 3 - 1, y + d / 3 - 1, d == 4 ? gray : below(3) ? gray + 60 + below(60) : 255);
    }
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
