// Bitmap copies: the file header, the paper's info block and palette, and
// rows padded with white.

#include "FormatsTestSupport.h"

#include "formats/BmpFile.h"

using namespace formats_test;

TEST(BmpFile, SizesFieldsAndFillBytes)
{
    const struct {
        uint32_t width, height, stride;
    } cases[] = {{100, 100, 100}, {101, 4, 104}, {2047, 5, 2048}};
    TempFolder folder;
    for (const auto& c : cases) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(c.width, c.height, 5));
        paper.SetPixel(0, 0, 0);                                                                    // top left
        paper.SetPixel(static_cast<int32_t>(c.width - 1), static_cast<int32_t>(c.height - 1), 77);  // bottom right
        ASSERT_TRUE(Save(WriteBmp, paper, folder.File("copy.bmp")));
        Bytes file = ReadWholeFile(folder.File("copy.bmp"));
        const uint32_t imageSize = c.stride * c.height;
        ASSERT_EQ(file.size(), 1078 + imageSize) << c.width;
        EXPECT_EQ(file[0] << 8 | file[1], 'B' << 8 | 'M');
        // From offset 2: file size, reserved, pixel offset, info size, width,
        // height, planes 1 and 8 bits, then zeros; the gray palette from 54.
        std::vector<uint32_t> words = {1078 + imageSize, 0, 1078, 40, c.width, c.height, 1 | 8 << 16, 0, 0, 0, 0, 0, 0};
        for (uint32_t i = 0; i < 256; ++i) words.push_back(i * 0x010101);
        for (size_t k = 0; k < words.size(); ++k) EXPECT_EQ(Le32(file, 2 + 4 * k), words[k]) << c.width << " at " << 2 + 4 * k;

        // Bottom row first: the bottom right pixel opens the pixels, the top
        // left one starts the last row.
        EXPECT_EQ(file[1078 + c.width - 1], 77);
        EXPECT_EQ(file[1078 + size_t{c.height - 1} * c.stride], 0);
        for (uint32_t y = 0; y < c.height; ++y)
            for (uint32_t x = c.width; x < c.stride; ++x) EXPECT_EQ(file[1078 + size_t{y} * c.stride + x], 255);
    }
}
