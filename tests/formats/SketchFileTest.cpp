// Sketch files byte for byte, written and read back, and read when damaged in
// every way the reader promises to survive.

#include "FormatsTestSupport.h"

#include "formats/LzwDecoder.h"

#include <functional>

using namespace formats_test;

namespace {

const Bytes kWhite4x4 = {
    'Q',  'L',  'X',  'F',  28,   0,    0,    0,    1,    0,    0,    0,    4,    0,
    0,    0,    4,    0,    0,    0,    5,    0,    0,    0,    14,   0,    0,    0,
    0x08, 0x0A, 0x00, 0xFF, 0x09, 0x1C, 0x48, 0xB0, 0xE0, 0xBF, 0x80, 0x00, 0x3B, 0x04,
};

// The blocks of a file, as the file says they are: offset of the count byte.
std::vector<size_t> BlockOffsets(const Bytes& file)
{
    std::vector<size_t> offsets;
    for (size_t pos = 29; pos < file.size(); pos += file[pos] + 3u) offsets.push_back(pos);
    return offsets;
}

}  // namespace

TEST(SketchFile, WhiteFourByFourIsFortyTwoKnownBytes)
{
    TempFolder folder;
    CPaper paper, loaded, base;
    ASSERT_TRUE(paper.Create(4, 4, 5));
    ASSERT_TRUE(Save(WriteSketch, paper, folder.File("white.tvk")));
    EXPECT_EQ(ReadWholeFile(folder.File("white.tvk")), kWhite4x4);
    // Sizes below what the New dialog offers are read as well.
    EXPECT_TRUE(LoadSketch(loaded, base, folder.File("white.tvk")) && SameBits(loaded, paper) && SameBits(base, paper));
}

TEST(SketchFile, WrittenThenReadGivesTheSamePixels)
{
    // Runs up to so long, or noise for 0.
    const struct { uint32_t width, height, roughness, longest; } cases[] = {
        {4, 4, 1, 0}, {47, 33, 10, 40}, {101, 7, 3, 0}, {2048, 2048, 5, 3000}};
    TempFolder folder;
    for (const auto& c : cases) {
        CPaper paper, loaded, base;
        ASSERT_TRUE(paper.Create(c.width, c.height, c.roughness));
        const size_t n = size_t{c.width} * c.height;
        Fill(paper, c.longest ? Runs(n, c.width, c.longest) : Noise(n, c.width));
        ASSERT_TRUE(Save(WriteSketch, paper, folder.File("drawing.tvk")));
        Bytes file = ReadWholeFile(folder.File("drawing.tvk"));
        // The data size counts everything after the header, every block with it.
        ASSERT_GE(file.size(), 29u);
        EXPECT_EQ(Le32(file, 24), file.size() - 28);
        for (size_t pos : BlockOffsets(file)) EXPECT_TRUE(file[pos] != 0 && pos + file[pos] + 3u <= file.size());

        EXPECT_TRUE(LoadSketch(loaded, base, folder.File("drawing.tvk")));
        EXPECT_EQ(loaded.GetRoughness(), c.roughness);
        // Fill bytes are not stored and come back white, as on the paper drawn.
        EXPECT_TRUE(SameBits(loaded, paper) && SameBits(base, paper)) << c.width << "x" << c.height;
    }
}

TEST(SketchFile, DamagedFilesOpenAsFarAsTheyRead)
{
    TempFolder folder;
    CPaper drawn, white, partial;
    ASSERT_TRUE(drawn.Create(200, 200, 7) && white.Create(200, 200, 7) && partial.Create(200, 200, 7));
    Fill(drawn, Noise(200 * 200, 11));
    ASSERT_TRUE(Save(WriteSketch, drawn, folder.File("noise.tvk")));
    const Bytes good = ReadWholeFile(folder.File("noise.tvk"));
    const std::vector<size_t> blocks = BlockOffsets(good);
    ASSERT_GT(blocks.size(), 40u);
    const size_t b = blocks[20];
    // What the blocks before block 20 give: more than ten whole rows.
    CLzwDecoder decoder;
    ASSERT_TRUE(decoder.Begin(partial.GetBits(), 8, 200, 200, false));
    for (size_t i = 0; i < 20; ++i) decoder.DecodeBlock(good.data() + blocks[i] + 1, good[blocks[i]]);
    ASSERT_GT(decoder.GetPixelCount(), 10u * 200);

    using Change = std::function<void(Bytes&)>;
    auto set32 = [](size_t at, uint32_t v) -> Change {
        return [=](Bytes& f) { for (size_t i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> 8 * i); };
    };
    auto flip = [](size_t at, uint8_t bits) -> Change { return [=](Bytes& f) { f[at] ^= bits; }; };
    auto cut = [](size_t length) -> Change { return [=](Bytes& f) { f.resize(length); }; };
    enum Opens { NoSheet, White, Whole, RowsBefore };  // the rows before the damage, the rest white
    const CPaper* const sheets[] = {nullptr, &white, &drawn, &partial};
    const struct { const char* what; Change change; bool read; Opens opens; } cases[] = {
        {"magic", flip(0, 1), false, NoSheet},              {"header size 27", set32(4, 27), false, NoSheet},
        {"version 2", set32(8, 2), false, NoSheet},         {"width 3", set32(12, 3), false, NoSheet},
        {"width 2049", set32(12, 2049), false, NoSheet},    {"huge width", set32(12, 0xFFFFFFFF), false, NoSheet},
        {"height 3", set32(16, 3), false, NoSheet},         {"height 2049", set32(16, 2049), false, NoSheet},
        {"roughness 0", set32(20, 0), false, NoSheet},      {"roughness 11", set32(20, 11), false, NoSheet},
        {"empty file", cut(0), false, NoSheet},             {"one byte", cut(1), false, NoSheet},
        {"27 bytes", cut(27), false, NoSheet},
        // A save cut short before the header was rewritten leaves data size 0.
        {"data size 0", set32(24, 0), true, White},         {"data size 1", set32(24, 1), true, White},
        {"code size 9", flip(28, 1), false, White},         {"code size 7", flip(28, 0x0F), false, White},
        {"data size 2", set32(24, 2), true, Whole},         {"data size 0x7FFFFFFF", set32(24, 0x7FFFFFFF), true, Whole},
        {"data size 0xFFFFFFFF", set32(24, 0xFFFFFFFF), true, Whole},
        {"more after the end code", [](Bytes& f) { f.insert(f.end(), {5, 1, 2, 3, 4, 5, 15, 0}); }, true, Whole},
        {"checksum", flip(b + 1 + good[b], 1), false, RowsBefore},
        {"data", flip(b + 5, 0x40), false, RowsBefore},     {"count 0", flip(b, good[b]), false, RowsBefore},
        {"truncated block", cut(b + 100), false, RowsBefore}, {"no checksum", cut(b + 256), false, RowsBefore},
        {"missing block", cut(b), false, RowsBefore},
    };
    for (const auto& c : cases) {
        Bytes file = good;
        c.change(file);
        WriteWholeFile(folder.File("changed.tvk"), file);
        CPaper paper, base;
        ASSERT_TRUE(paper.Create(10, 10, 5));
        EXPECT_EQ(LoadSketch(paper, base, folder.File("changed.tvk")), c.read) << c.what;
        EXPECT_EQ(paper.HasBits(), c.opens != NoSheet) << c.what;
        if (c.opens == NoSheet) continue;
        EXPECT_EQ(paper.GetRoughness(), 7u) << c.what;
        EXPECT_TRUE(SameBits(paper, *sheets[c.opens])) << c.what;
        EXPECT_TRUE(SameBits(base, c.opens == Whole ? drawn : white)) << c.what;
    }
}
