// A copy's format follows the last four characters of its name, whatever their case, and every
// writer's file gives an independent reader the sheet's pixels: the sketch reader, giflib, libpng
// and ImageMagick; the small white sheet makes known files, a stream of whole blocks ends right.
// Damaged files are refused with the reason, or read as far as they can be.

#include "FormatsTestSupport.h"
#include "formats/FileFormat.h"
#include "formats/LzwDecoder.h"
#include "formats/PngFile.h"

#include <functional>
#include <gif_lib.h>

using namespace formats_test;
using enum FileFormat;

namespace {

// The pixels of the GIF's one image as giflib decodes them, top row first; empty on any failure.
Bytes GiflibPixels(const std::string& path)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return {};
    Bytes pixels;
    const SavedImage* image = DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1 ? &gif->SavedImages[0] : nullptr;
    if (image && image->ImageDesc.Width == gif->SWidth && image->ImageDesc.Height == gif->SHeight)
        pixels.assign(image->RasterBits, image->RasterBits + size_t(gif->SWidth) * size_t(gif->SHeight));
    DGifCloseFile(gif, &error);
    return pixels;
}

}  // namespace

TEST(FileFormat, EveryWriterGivesAnIndependentReaderTheSheetsPixelsAndDamagedFilesAreRefusedOrReadAsFarAsTheyGo)
{
    constexpr uint32_t kWhite = UINT32_MAX;  // longest: runs up to so long, noise for 0, or the white of a new sheet
    const Bytes sketch4x4 = {'Q', 'L', 'X', 'F', 28, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0, 14, 0, 0,
                             0, 0x08, 0x0A, 0x00, 0xFF, 0x09, 0x1C, 0x48, 0xB0, 0xE0, 0xBF, 0x80, 0x00, 0x3B, 0x04};
    Bytes gif4x4 = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0x87, 0, 0};
    for (int i = 0; i < 256; ++i) gif4x4.insert(gif4x4.end(), 3, uint8_t(i));
    gif4x4.insert(gif4x4.end(), {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0x00, 0x08, 0x0A, 0x00, 0xFF, 0x09, 0x1C, 0x48, 0xB0,
                                 0xE0, 0xBF, 0x80, 0x00, 0x00, 0x3B});
    // A code stream of a whole number of blocks: the GIF ends it with an empty block, the sketch with nothing.
    Bytes stream;
    uint32_t whole = 3;
    for (CPaper p; stream.empty() || stream.size() % 255 != 0;) {
        ASSERT_TRUE(++whole < 400 && p.Create(whole, 8, 5));
        Fill(p, Noise(whole * 8, whole));
        stream = EncodeAll(p.GetBits(), whole, 8);
    }
    const size_t wholeBlocks = stream.size() / 255;
    // The last four characters of a name, in any case, select the format; names without the extension of a
    // picture write sketches. Sizes below what the New dialog offers read too; mostly white PNGs are written
    // without row filters, noise with them; BMP rows are padded by 0, 3 and 1.
    const struct { FileFormat format; const char* name; uint32_t width, height, roughness, longest; Bytes file{};
                   size_t size{}; } cases[] = {
        {Sketch, "white.tvk", 4, 4, 5, kWhite, sketch4x4}, {Sketch, "gif", 4, 4, 1, 0}, {Gif, ".gif", 4, 4, 5, 0},
        {Sketch, "i.gifx", 47, 33, 10, 40}, {Sketch, "g.gif.tvk", 101, 7, 3, 0}, {Gif, "c.Gif", 47, 33, 5, 40},
        {Sketch, "h.jpeg", 2048, 2048, 5, 3000}, {Sketch, "whole.tvk", whole, 8, 5, 0, {}, 28 + 1 + wholeBlocks * 258},
        {Gif, "white.gif", 4, 4, 5, kWhite, gif4x4}, {Gif, "B.GIF", 300, 200, 5, 0}, {Png, "k.png", 4, 4, 5, 0},
        {Gif, "a.gif", 2048, 2048, 5, 3000}, {Gif, "a.gif", 2048, 2048, 5, kWhite}, {Png, "L.PNG", 5, 7, 5, 0},
        {Gif, "whole.gif", whole, 8, 5, 0, {}, 792 + wholeBlocks * 256 + 2}, {Png, "k.png", 101, 33, 5, 40},
        {Png, "k.png", 2048, 2048, 5, 0}, {Bmp, "d.bmp", 100, 100, 5, 0}, {Bmp, "E.BMP", 101, 4, 5, 0},
        {Bmp, "d.bmp", 2047, 5, 5, 0}};
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << ", " << c.width << "x" << c.height << ", runs " << c.longest);
        CPaper paper, loaded, base;
        ASSERT_TRUE(paper.Create(c.width, c.height, c.roughness));
        const size_t n = size_t{c.width} * c.height, stride = (c.width + 3) / 4 * 4;
        if (c.longest != kWhite) Fill(paper, c.longest ? Runs(n, c.width, c.longest) : Noise(n, c.width));
        const std::string path = folder.File(c.name);
        ASSERT_TRUE(Save(WritePaper, paper, path));
        const Bytes file = ReadWholeFile(path);
        if (!c.file.empty()) { EXPECT_EQ(file, c.file); }
        if (c.size) { EXPECT_EQ(file.size(), c.size); }
        pngtest::Picture png;
        switch (c.format) {
        case Sketch:  // the data size counts everything after the header, every block with it
            ASSERT_GE(file.size(), 29u);
            EXPECT_EQ(Le32(file, 24), file.size() - 28);
            // Fill bytes are not stored and come back white, as on the paper drawn.
            EXPECT_TRUE(LoadSketch(loaded, base, path) && SameBits(loaded, paper) && SameBits(base, paper) &&
                        loaded.GetRoughness() == c.roughness);
            break;
        case Gif: EXPECT_TRUE(GiflibPixels(path) == TopDown(paper)); break;
        case Png:
            EXPECT_TRUE(pngtest::Decode(path, png) && png.width == c.width && png.height == c.height &&
                        png.gray == TopDown(paper));
            break;
        case Bmp:  // file size, two reserved words, where the pixels start
            ASSERT_EQ(file.size(), 1078 + stride * c.height);
            EXPECT_EQ(std::tuple(Le32(file, 2), Le32(file, 6), Le32(file, 10)), std::tuple(file.size(), 0u, 1078u));
            ASSERT_EQ(std::system(("convert '" + path + "' -depth 8 gray:'" + path + ".gray'").c_str()), 0);
            EXPECT_TRUE(ReadWholeFile(path + ".gray") == TopDown(paper)) << "as ImageMagick reads it";
        }
    }
    // A damaged PNG is refused with the reason.
    const Bytes png = ReadWholeFile(folder.File("L.PNG"));
    const std::pair<Bytes, std::string> damaged[] = {
        {Bytes(png.begin(), png.begin() + png.size() / 2), "the file ends before the picture does"},
        {Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}, "not a PNG picture"}};
    for (const auto& [file, reason] : damaged) {
        WriteWholeFile(folder.File("L.PNG"), file);
        CPaper read;
        CArchive ar;
        std::string error;
        EXPECT_FALSE((ar.Open(folder.File("L.PNG"), CArchive::load) && ReadPng(ar, read, 7, error)) || read.HasBits())
            << reason;
        EXPECT_EQ(error.substr(0, reason.size()), reason);
    }
    // Sketch files read when damaged in every way the reader promises to survive.
    CPaper drawn, white, partial;
    ASSERT_TRUE(drawn.Create(200, 200, 7) && white.Create(200, 200, 7) && partial.Create(200, 200, 7));
    Fill(drawn, Noise(200 * 200, 11));
    ASSERT_TRUE(Save(WriteSketch, drawn, folder.File("noise.tvk")));
    const Bytes good = ReadWholeFile(folder.File("noise.tvk"));
    const std::vector<size_t> blocks = BlockOffsets(good);
    ASSERT_GT(blocks.size(), 40u);
    const size_t b = blocks[20];
    // What the blocks before block 20 give: the rows a damage in block 20 leaves.
    CLzwDecoder decoder;
    ASSERT_TRUE(decoder.Begin(partial.GetBits(), 8, 200, 200, false));
    for (size_t i = 0; i < 20; ++i) decoder.DecodeBlock(good.data() + blocks[i] + 1, good[blocks[i]]);
    using Change = std::function<void(Bytes&)>;
    auto set32 = [](size_t at, uint32_t v) -> Change {
        return [=](Bytes& f) { for (size_t i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> 8 * i); };
    };
    auto flip = [](size_t at, uint8_t bits) -> Change { return [=](Bytes& f) { f[at] ^= bits; }; };
    auto cut = [](size_t length) -> Change { return [=](Bytes& f) { f.resize(length); }; };
    enum Opens { NoSheet, White, Whole, RowsBefore };  // the rows before the damage, the rest white
    const CPaper* const sheets[] = {nullptr, &white, &drawn, &partial};
    // A save cut short before the header was rewritten leaves data size 0.
    const struct { const char* what; Change change; bool read; Opens opens; } damages[] = {
        {"magic", flip(0, 1), false, NoSheet}, {"version 2", set32(8, 2), false, NoSheet},
        {"width 3", set32(12, 3), false, NoSheet}, {"huge width", set32(12, 0xFFFFFFFF), false, NoSheet},
        {"height 2049", set32(16, 2049), false, NoSheet}, {"height 3", set32(16, 3), false, NoSheet},
        {"roughness 0", set32(20, 0), false, NoSheet}, {"roughness 11", set32(20, 11), false, NoSheet},
        {"empty file", cut(0), false, NoSheet}, {"27 bytes", cut(27), false, NoSheet},
        {"data size 0", set32(24, 0), true, White}, {"data size 1", set32(24, 1), false, White},
        {"code size 9", flip(28, 1), false, White}, {"data size 2", set32(24, 2), true, Whole},
        {"data size 0x7FFFFFFF", set32(24, 0x7FFFFFFF), true, Whole}, {"data size ~0", set32(24, ~0u), true, Whole},
        {"checksum", flip(b + 1 + good[b], 1), false, RowsBefore}, {"data", flip(b + 5, 0x40), false, RowsBefore},
        {"more after the end code", [](Bytes& f) { f.insert(f.end(), {5, 1, 2, 3, 4, 5, 15, 0}); }, true, Whole},
        {"count 0", flip(b, good[b]), false, RowsBefore}, {"truncated block", cut(b + 100), false, RowsBefore},
        {"no checksum", cut(b + 256), false, RowsBefore}, {"missing block", cut(b), false, RowsBefore}};
    for (const auto& c : damages) {
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
