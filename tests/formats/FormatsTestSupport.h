#pragma once
// Shared by the file format tests: a private temporary folder, whole-file
// reads and writes, drawings to store, and the code stream as one piece.

#include "engine/Paper.h"
#include "formats/LzwEncoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace formats_test {

using Bytes = std::vector<uint8_t>;

// A folder of its own for each test, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = testing::TempDir() + "graphelle_formats_XXXXXX";
        if (::mkdtemp(pattern.data())) m_path = pattern;
    }
    ~TempFolder()
    {
        if (!m_path.empty()) std::system(("rm -rf '" + m_path + "'").c_str());
    }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    bool IsValid() const { return !m_path.empty(); }

private:
    std::string m_path;
};

inline Bytes ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A small stateless generator so that drawings are the same on every run.
class TestRandom {
public:
    explicit TestRandom(uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    uint32_t Next()
    {
        m_state = m_state * 1103515245u + 12345u;
        return m_state >> 8;
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

private:
    uint32_t m_state;
};

// Pencil-like strokes: random walks of dark grays with lighter edges and
// speckle, over white paper.
inline void DrawStrokes(CPaper& paper, uint32_t seed, int strokes)
{
    TestRandom rnd(seed);
    int w = static_cast<int>(paper.GetWidth());
    int h = static_cast<int>(paper.GetHeight());
    for (int s = 0; s < strokes; ++s) {
        int x = static_cast<int>(rnd.Below(static_cast<uint32_t>(w)));
        int y = static_cast<int>(rnd.Below(static_cast<uint32_t>(h)));
        int steps = 20 + static_cast<int>(rnd.Below(400));
        uint8_t gray = static_cast<uint8_t>(10 + rnd.Below(120));
        for (int i = 0; i < steps; ++i) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    bool core = dx == 0 && dy == 0;
                    if (!core && rnd.Below(3) == 0) continue;  // grain lets the paper through
                    uint8_t value = core ? gray : static_cast<uint8_t>(gray + 60 + rnd.Below(60));
                    if (value < paper.GetPixel(x + dx, y + dy)) paper.SetPixel(x + dx, y + dy, value);
                }
            x += static_cast<int>(rnd.Below(3)) - 1;
            y += static_cast<int>(rnd.Below(3)) - 1;
        }
    }
}

inline void FillNoise(CPaper& paper, uint32_t seed)
{
    TestRandom rnd(seed);
    for (uint32_t y = 0; y < paper.GetHeight(); ++y)
        for (uint32_t x = 0; x < paper.GetWidth(); ++x)
            paper.SetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<uint8_t>(rnd.Next()));
}

// Every pixel of two papers, fill bytes left out.
inline bool SamePixels(const CPaper& a, const CPaper& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    for (uint32_t y = 0; y < a.GetHeight(); ++y)
        for (uint32_t x = 0; x < a.GetWidth(); ++x)
            if (a.GetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y)) !=
                b.GetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y)))
                return false;
    return true;
}

// The whole code stream of a raster, and the counts of the blocks that
// NextBlock handed out (the final 0 included).
struct EncodedStream {
    Bytes bytes;
    std::vector<uint32_t> counts;
};

inline EncodedStream EncodeAll(const uint8_t* pixels, uint32_t width, uint32_t height)
{
    EncodedStream result;
    CLzwEncoder encoder;
    if (!encoder.Begin(pixels, width, height, 8)) return result;
    uint8_t block[CLzwEncoder::kMaxBlock];
    for (;;) {
        uint8_t count = 0;
        encoder.NextBlock(block, &count);
        result.counts.push_back(count);
        result.bytes.insert(result.bytes.end(), block, block + count);
        if (count == 0) break;
    }
    return result;
}

}  // namespace formats_test
