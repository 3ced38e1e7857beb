// GIF copies byte for byte, and read back by giflib, an independent decoder.

#include "FormatsTestSupport.h"

#include "formats/GifFile.h"

#include <gif_lib.h>

using namespace formats_test;

namespace {

// The pixels of the GIF's one image as giflib decodes them, top row first; empty on any failure.
Bytes DecodeWithGiflib(const std::string& path)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return {};
    Bytes pixels;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1) {
        const SavedImage& image = gif->SavedImages[0];
        if (image.ImageDesc.Width == gif->SWidth && image.ImageDesc.Height == gif->SHeight)
            pixels.assign(image.RasterBits, image.RasterBits + size_t(gif->SWidth) * size_t(gif->SHeight));
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
    EXPECT_EQ(ReadWholeFile(folder.File("white.gif")), expected);
}

TEST(GifFile, GiflibReadsOurPixels)
{
    // Runs up to so long, noise for 0, or the white of a new sheet.
    constexpr uint32_t kWhite = UINT32_MAX;
    const struct { uint32_t width, height, longest; } cases[] = {
        {4, 4, 0}, {47, 33, 40}, {300, 200, 0}, {2048, 2048, 3000}, {2048, 2048, kWhite}};
    TempFolder folder;
    for (const auto& c : cases) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(c.width, c.height, 5));
        const size_t n = size_t{c.width} * c.height;
        if (c.longest != kWhite) Fill(paper, c.longest ? Runs(n, c.width, c.longest) : Noise(n, c.width));
        ASSERT_TRUE(Save(WriteGif, paper, folder.File("copy.gif")));
        EXPECT_TRUE(DecodeWithGiflib(folder.File("copy.gif")) == TopDown(paper)) << c.width << "x" << c.height;
    }
}

// A code stream of a whole number of blocks: the GIF ends it with an empty block, the sketch with
// nothing, and both read back.
TEST(GifFile, StreamOfWholeBlocksEndsRightInEitherFile)
{
    CPaper paper;
    Bytes stream;
    for (uint32_t width = 4; width < 400 && (stream.empty() || stream.size() % 255 != 0); ++width) {
        ASSERT_TRUE(paper.Create(width, 8, 5));
        Fill(paper, Noise(width * 8, width));
        stream = EncodeAll(paper.GetBits(), width, 8);
    }
    ASSERT_EQ(stream.size() % 255, 0u);
    const size_t blocks = stream.size() / 255;

    TempFolder folder;
    ASSERT_TRUE(Save(WriteGif, paper, folder.File("whole.gif")) && Save(WriteSketch, paper, folder.File("whole.tvk")));
    EXPECT_EQ(ReadWholeFile(folder.File("whole.gif")).size(), 792 + blocks * 256 + 2);
    EXPECT_TRUE(DecodeWithGiflib(folder.File("whole.gif")) == TopDown(paper));
    const Bytes sketch = ReadWholeFile(folder.File("whole.tvk"));
    ASSERT_EQ(sketch.size(), 28 + 1 + blocks * 258);
    EXPECT_EQ(Le32(sketch, 24), 1 + blocks * 258);
    CPaper loaded, base;
    EXPECT_TRUE(LoadSketch(loaded, base, folder.File("whole.tvk")) && SameBits(loaded, paper));
}
