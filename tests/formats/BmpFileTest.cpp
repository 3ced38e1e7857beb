// Bitmap copies as an independent reader sees them, at every amount of row padding.

#include "FormatsTestSupport.h"

#include "formats/BmpFile.h"

using namespace formats_test;

TEST(BmpFile, ImageMagickReadsTheSheetsPixelsAndTheFillBytesAreWhite)
{
    TempFolder folder;
    const std::string path = folder.File("copy.bmp");
    // Rows padded by no byte, by three and by one.
    for (const auto& [width, height, stride] : {std::tuple{100u, 100u, 100u}, {101u, 4u, 104u}, {2047u, 5u, 2048u}}) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(width, height, 5));
        Fill(paper, Noise(size_t{width} * height, width));
        ASSERT_TRUE(Save(WriteBmp, paper, path));
        const Bytes file = ReadWholeFile(path);
        ASSERT_EQ(file.size(), 1078 + size_t{stride} * height) << width;
        // File size, two reserved words, where the pixels start.
        EXPECT_EQ(std::tuple(Le32(file, 2), Le32(file, 6), Le32(file, 10)), std::tuple(uint32_t(file.size()), 0u, 1078u));
        EXPECT_TRUE(MagickGray(path, folder) == TopDown(paper)) << width;
        for (size_t row = 0; row < height; ++row)
            for (size_t x = width; x < stride; ++x) EXPECT_EQ(file[1078 + row * stride + x], 255) << width;
    }
}
