// GIF copies byte for byte, and read back by giflib, an independent decoder.

#include "FormatsTestSupport.h"

#include "formats/GifFile.h"

#include <gif_lib.h>

using namespace formats_test;

namespace {

// The GIF's pixels as giflib decodes them, top row first, if it is one plain
// image of 256 grays; empty otherwise.
Bytes DecodeWithGiflib(const std::string& path)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return {};
    Bytes pixels;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1 && gif->SColorMap && gif->SColorMap->ColorCount == 256) {
        const GifImageDesc& image = gif->SavedImages[0].ImageDesc;
        bool grays = !image.Interlace && !image.ColorMap && image.Width == gif->SWidth && image.Height == gif->SHeight;
        for (const GifColorType* c = gif->SColorMap->Colors; c < gif->SColorMap->Colors + 256; ++c)
            grays = grays && c->Red == c - gif->SColorMap->Colors && c->Green == c->Red && c->Blue == c->Red;
        if (grays) pixels.assign(gif->SavedImages[0].RasterBits, gif->SavedImages[0].RasterBits + size_t(image.Width) * size_t(image.Height));
    }
    DGifCloseFile(gif, &error);
    return pixels;
}

}  // namespace

TEST(GifFile, WhiteFourByFourIsTheKnownFile)
{
    TempFolder folder;
    CPaper paper;
    ASSERT_TRUE(paper.Create(4, 4, 5));
    ASSERT_TRUE(Save(WriteGif, paper, folder.File("white.gif")));

    Bytes expected = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0x87, 0, 0};
    for (int i = 0; i < 256; ++i) expected.insert(expected.end(), 3, static_cast<uint8_t>(i));
    expected.insert(expected.end(), {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0x00, 0x08});
    expected.insert(expected.end(), {0x0A, 0x00, 0xFF, 0x09, 0x1C, 0x48, 0xB0, 0xE0, 0xBF, 0x80, 0x00, 0x00, 0x3B});
    ASSERT_EQ(expected.size(), 805u);
    EXPECT_EQ(ReadWholeFile(folder.File("white.gif")), expected);
}

TEST(GifFile, GiflibReadsOurPixels)
{
    // Drawings of so many strokes, or noise for -1.
    const struct { uint32_t width, height; int strokes; } cases[] = {
        {4, 4, 0}, {47, 33, 20}, {300, 200, -1}, {2048, 2048, 3000}, {2048, 2048, 0}};
    TempFolder folder;
    for (const auto& c : cases) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(c.width, c.height, 5));
        c.strokes < 0 ? FillNoise(paper, c.width) : DrawStrokes(paper, c.height, c.strokes);
        ASSERT_TRUE(Save(WriteGif, paper, folder.File("copy.gif")));
        Bytes file = ReadWholeFile(folder.File("copy.gif"));
        ASSERT_GE(file.size(), 794u);
        EXPECT_EQ(Bytes(file.begin() + 6, file.begin() + 10), (Bytes{uint8_t(c.width), uint8_t(c.width >> 8), uint8_t(c.height), uint8_t(c.height >> 8)}));
        EXPECT_EQ(Bytes(file.end() - 2, file.end()), (Bytes{0x00, 0x3B})) << "block terminator and trailer";

        Bytes pixels = DecodeWithGiflib(folder.File("copy.gif"));
        ASSERT_EQ(pixels.size(), size_t{c.width} * c.height) << c.width << "x" << c.height;
        uint32_t i = 0;
        while (i < pixels.size() && pixels[i] == paper.GetPixel(int32_t(i % c.width), int32_t(i / c.width))) ++i;
        EXPECT_EQ(i, pixels.size()) << c.width << "x" << c.height << ": first difference";
    }
}

TEST(GifFile, StreamOfWholeBlocksEndsWithAFullBlockInEitherFile)
{
    // A drawing whose code stream is a whole number of blocks.
    CPaper paper;
    Bytes stream;
    for (uint32_t width = 4; width < 400 && (stream.empty() || stream.size() % 255 != 0); ++width) {
        ASSERT_TRUE(paper.Create(width, 8, 5));
        FillNoise(paper, width);
        stream = EncodeAll(paper.GetBits(), width, 8);  // the last full block, then a count of 0
    }
    ASSERT_EQ(stream.size() % 255, 0u);
    const size_t blocks = stream.size() / 255;

    TempFolder folder;
    ASSERT_TRUE(Save(WriteGif, paper, folder.File("whole.gif")));
    Bytes gif = ReadWholeFile(folder.File("whole.gif"));
    ASSERT_EQ(gif.size(), 792 + blocks * 256 + 2);
    EXPECT_EQ(gif[792 + (blocks - 1) * 256], 255);
    EXPECT_EQ(DecodeWithGiflib(folder.File("whole.gif")).size(), size_t{paper.GetWidth()} * 8);

    // The sketch: no block after the full one, and the data size counts them all.
    ASSERT_TRUE(Save(WriteSketch, paper, folder.File("whole.tvk")));
    Bytes sketch = ReadWholeFile(folder.File("whole.tvk"));
    ASSERT_EQ(sketch.size(), 28 + 1 + blocks * 258);
    EXPECT_EQ(Le32(sketch, 24), 1 + blocks * 258);
    CPaper loaded, base;
    EXPECT_TRUE(LoadSketch(loaded, base, folder.File("whole.tvk")) && SameBits(loaded, paper));
}
