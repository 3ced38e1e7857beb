// A copy's format follows the last four characters of its name, whatever their case, and every
// writer's file gives an independent reader the sheet's pixels: the sketch reader, giflib, libpng
// and ImageMagick; the small white sheet makes known files, a stream of whole blocks ends right.

#include "FormatsTestSupport.h"
#include "formats/FileFormat.h"
#include "formats/GifFile.h"

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

// A picture's gray pixels, top row first, as ImageMagick reads it.
Bytes MagickGray(const std::string& path)
{
    const std::string command = "convert '" + path + "' -depth 8 gray:'" + path + ".gray'";
    return std::system(command.c_str()) == 0 ? ReadWholeFile(path + ".gray") : Bytes();
}

}  // namespace

TEST(FileFormat, EveryWriterGivesAnIndependentReaderTheSheetsPixels)
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
    const size_t blocks = stream.size() / 255;
    // The last four characters of a name, in any case, select the format; names without the extension of a
    // picture write sketches. Sizes below what the New dialog offers read too; mostly white PNGs are written
    // without row filters, noise with them; BMP rows are padded by 0, 3 and 1.
    const struct { FileFormat format; const char* name; uint32_t width, height, roughness, longest; Bytes file{};
                   size_t size{}; } cases[] = {
        {Sketch, "white.tvk", 4, 4, 5, kWhite, sketch4x4}, {Sketch, "gif", 4, 4, 1, 0}, {Gif, ".gif", 4, 4, 5, 0},
        {Sketch, "i.gifx", 47, 33, 10, 40}, {Sketch, "g.gif.tvk", 101, 7, 3, 0}, {Gif, "c.Gif", 47, 33, 5, 40},
        {Sketch, "h.jpeg", 2048, 2048, 5, 3000}, {Sketch, "whole.tvk", whole, 8, 5, 0, {}, 28 + 1 + blocks * 258},
        {Gif, "white.gif", 4, 4, 5, kWhite, gif4x4}, {Gif, "B.GIF", 300, 200, 5, 0}, {Png, "k.png", 4, 4, 5, 0},
        {Gif, "a.gif", 2048, 2048, 5, 3000}, {Gif, "a.gif", 2048, 2048, 5, kWhite}, {Png, "L.PNG", 5, 7, 5, 0},
        {Gif, "whole.gif", whole, 8, 5, 0, {}, 792 + blocks * 256 + 2}, {Png, "k.png", 101, 33, 5, 40},
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
            for (size_t pos : BlockOffsets(file)) EXPECT_TRUE(file[pos] != 0 && pos + file[pos] + 3u <= file.size());
            // Fill bytes are not stored and come back white, as on the paper drawn.
            EXPECT_TRUE(LoadSketch(loaded, base, path) && SameBits(loaded, paper) && SameBits(base, paper));
            EXPECT_EQ(loaded.GetRoughness(), c.roughness);
            break;
        case Gif: EXPECT_TRUE(GiflibPixels(path) == TopDown(paper)); break;
        case Png:
            EXPECT_EQ(file[24] * 256 + file[25], 8 * 256 + 0) << "8-bit gray";
            ASSERT_TRUE(pngtest::Decode(path, png));
            EXPECT_EQ(std::pair(png.width, png.height), std::pair(c.width, c.height));
            EXPECT_TRUE(png.gray == TopDown(paper));
            break;
        case Bmp:  // file size, two reserved words, where the pixels start; the fill bytes are white
            ASSERT_EQ(file.size(), 1078 + stride * c.height);
            EXPECT_EQ(std::tuple(Le32(file, 2), Le32(file, 6), Le32(file, 10)), std::tuple(file.size(), 0u, 1078u));
            EXPECT_TRUE(MagickGray(path) == TopDown(paper));
            for (size_t i = 0; i < stride * c.height; ++i) EXPECT_TRUE(i % stride < c.width || file[1078 + i] == 255);
        }
    }
}
