// Sketch files read when damaged in every way the reader promises to survive.

#include "FormatsTestSupport.h"
#include "formats/LzwDecoder.h"

#include <functional>

using namespace formats_test;

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
        return [=](Bytes& f) { for (size_t i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> 8 * i); };
    };
    auto flip = [](size_t at, uint8_t bits) -> Change { return [=](Bytes& f) { f[at] ^= bits; }; };
    auto cut = [](size_t length) -> Change { return [=](Bytes& f) { f.resize(length); }; };
    enum Opens { NoSheet, White, Whole, RowsBefore };  // the rows before the damage, the rest white
    const CPaper* const sheets[] = {nullptr, &white, &drawn, &partial};
    // A save cut short before the header was rewritten leaves data size 0.
    const struct { const char* what; Change change; bool read; Opens opens; } cases[] = {
        {"magic", flip(0, 1), false, NoSheet}, {"header size 27", set32(4, 27), false, NoSheet},
        {"version 2", set32(8, 2), false, NoSheet}, {"width 3", set32(12, 3), false, NoSheet},
        {"width 2049", set32(12, 2049), false, NoSheet}, {"huge width", set32(12, 0xFFFFFFFF), false, NoSheet},
        {"height 3", set32(16, 3), false, NoSheet}, {"height 2049", set32(16, 2049), false, NoSheet},
        {"roughness 0", set32(20, 0), false, NoSheet}, {"roughness 11", set32(20, 11), false, NoSheet},
        {"empty file", cut(0), false, NoSheet}, {"one byte", cut(1), false, NoSheet},
        {"27 bytes", cut(27), false, NoSheet}, {"data size 0", set32(24, 0), true, White},
        {"data size 1", set32(24, 1), false, White}, {"code size 9", flip(28, 1), false, White},
        {"code size 7", flip(28, 0x0F), false, White}, {"data size 2", set32(24, 2), true, Whole},
        {"data size 0x7FFFFFFF", set32(24, 0x7FFFFFFF), true, Whole}, {"data size ~0", set32(24, ~0u), true, Whole},
        {"more after the end code", [](Bytes& f) { f.insert(f.end(), {5, 1, 2, 3, 4, 5, 15, 0}); }, true, Whole},
        {"checksum", flip(b + 1 + good[b], 1), false, RowsBefore}, {"data", flip(b + 5, 0x40), false, RowsBefore},
        {"count 0", flip(b, good[b]), false, RowsBefore}, {"truncated block", cut(b + 100), false, RowsBefore},
        {"no checksum", cut(b + 256), false, RowsBefore}, {"missing block", cut(b), false, RowsBefore},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes file = good;
        c.change(file);
        WriteWholeFile(folder.File("changed.tvk"), file);
        CPaper paper, base;
        ASSERT_TRUE(paper.Create(10, 10, 5));
        EXPECT_EQ(LoadSketch(paper, base, folder.File("changed.tvk")), c.read);
        EXPECT_EQ(paper.HasBits(), c.opens != NoSheet);
        if (c.opens == NoSheet) continue;
        EXPECT_EQ(paper.GetRoughness(), 7u);
        EXPECT_TRUE(SameBits(paper, *sheets[c.opens]) && SameBits(base, c.opens == Whole ? drawn : white));
    }
}
