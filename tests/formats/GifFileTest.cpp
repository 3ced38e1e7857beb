// GIF copies byte for byte, and read back by giflib, an independent decoder.

#include "FormatsTestSupport.h"

#include "formats/GifFile.h"

#include <gif_lib.h>

using namespace formats_test;

namespace {

bool SaveGif(const CPaper& paper, const std::string& path)
{
    CArchive ar;
    if (!ar.Open(path, CArchive::store)) return false;
    if (!WriteGif(paper, ar)) {
        ar.Abort();
        return false;
    }
    return ar.Close();
}

// The GIF's pixels as giflib decodes them, top row first; empty on failure.
Bytes DecodeWithGiflib(const std::string& path, int& width, int& height)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif) return {};
    Bytes pixels;
    if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1) {
        const SavedImage& image = gif->SavedImages[0];
        width = image.ImageDesc.Width;
        height = image.ImageDesc.Height;
        bool grays = gif->SColorMap && gif->SColorMap->ColorCount == 256;
        for (int i = 0; grays && i < 256; ++i) {
            const GifColorType& c = gif->SColorMap->Colors[i];
            grays = c.Red == i && c.Green == i && c.Blue == i;
        }
        if (grays && !image.ImageDesc.Interlace && !image.ImageDesc.ColorMap)
            pixels.assign(image.RasterBits, image.RasterBits + size_t(width) * size_t(height));
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
    ASSERT_TRUE(SaveGif(paper, folder.File("white.gif")));
    Bytes file = ReadWholeFile(folder.File("white.gif"));
    ASSERT_EQ(file.size(), 805u);

    Bytes expected = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0x87, 0, 0};
    for (int i = 0; i < 256; ++i) expected.insert(expected.end(), 3, static_cast<uint8_t>(i));
    expected.insert(expected.end(), {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0x00, 0x08});
    ASSERT_EQ(expected.size(), 792u);
    expected.insert(expected.end(), {0x0A, 0x00, 0xFF, 0x09, 0x1C, 0x48, 0xB0, 0xE0, 0xBF, 0x80, 0x00});
    expected.insert(expected.end(), {0x00, 0x3B});
    EXPECT_EQ(file, expected);
}

TEST(GifFile, GiflibReadsOurPixels)
{
    struct Case {
        uint32_t width, height;
        int strokes;
        bool noise;
    };
    const Case cases[] = {
        {4, 4, 0, false},    {47, 33, 20, false}, {101, 7, 0, true},
        {300, 200, 0, true}, {2048, 2048, 3000, false}, {2048, 2048, 0, false},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(c.width, c.height, 5));
        if (c.noise)
            FillNoise(paper, c.width);
        else
            DrawStrokes(paper, c.height, c.strokes);
        std::string path = folder.File("copy.gif");
        ASSERT_TRUE(SaveGif(paper, path));

        Bytes file = ReadWholeFile(path);
        ASSERT_GE(file.size(), 794u);
        EXPECT_EQ(file[6] | file[7] << 8, static_cast<int>(c.width));
        EXPECT_EQ(file[8] | file[9] << 8, static_cast<int>(c.height));
        EXPECT_EQ(file[file.size() - 2], 0x00);  // block terminator
        EXPECT_EQ(file.back(), 0x3B);

        int width = 0, height = 0;
        Bytes pixels = DecodeWithGiflib(path, width, height);
        ASSERT_EQ(pixels.size(), size_t{c.width} * c.height) << c.width << "x" << c.height;
        bool same = true;
        for (uint32_t y = 0; y < c.height && same; ++y)
            for (uint32_t x = 0; x < c.width && same; ++x)
                same = pixels[size_t{y} * c.width + x] == paper.GetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y));
        EXPECT_TRUE(same) << c.width << "x" << c.height;
    }
}

TEST(GifFile, StreamOfWholeBlocksEndsWithTheTerminatorAndTrailer)
{
    TempFolder folder;
    bool found = false;
    for (uint32_t width = 4; width < 400 && !found; ++width) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(width, 8, 5));
        FillNoise(paper, width);
        EncodedStream s = EncodeAll(paper.GetBits(), width, 8);
        if (s.bytes.size() % 255 != 0) continue;
        found = true;
        ASSERT_TRUE(SaveGif(paper, folder.File("whole.gif")));
        Bytes file = ReadWholeFile(folder.File("whole.gif"));
        size_t blocks = s.bytes.size() / 255;
        ASSERT_EQ(file.size(), 792 + blocks * 256 + 2);
        EXPECT_EQ(file[792 + (blocks - 1) * 256], 255);
        EXPECT_EQ(file[file.size() - 2], 0);
        int w = 0, h = 0;
        EXPECT_EQ(DecodeWithGiflib(folder.File("whole.gif"), w, h).size(), size_t{width} * 8);
    }
    EXPECT_TRUE(found);
}
