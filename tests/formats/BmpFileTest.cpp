// Bitmap copies: the file header, the paper's info block and palette, and
// rows padded with white.

#include "FormatsTestSupport.h"

#include "formats/BmpFile.h"

using namespace formats_test;

namespace {

uint32_t Le32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24; }
uint32_t Le16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }

}  // namespace

TEST(BmpFile, SizesFieldsAndFillBytes)
{
    struct Case {
        uint32_t width, height, stride;
    };
    const Case cases[] = {{100, 100, 100}, {101, 100, 104}, {101, 4, 104}, {4, 4, 4}, {2047, 5, 2048}};
    TempFolder folder;
    for (const Case& c : cases) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(c.width, c.height, 5));
        paper.SetPixel(0, 0, 0);                                                    // top left
        paper.SetPixel(static_cast<int32_t>(c.width - 1), static_cast<int32_t>(c.height - 1), 77);  // bottom right
        std::string path = folder.File("copy.bmp");
        CArchive ar;
        ASSERT_TRUE(ar.Open(path, CArchive::store));
        ASSERT_TRUE(WriteBmp(paper, ar));
        ASSERT_TRUE(ar.Close());

        Bytes file = ReadWholeFile(path);
        size_t imageSize = size_t{c.stride} * c.height;
        ASSERT_EQ(file.size(), 1078 + imageSize) << c.width;
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(Le32(file, 2), 1078 + imageSize);
        EXPECT_EQ(Le32(file, 6), 0u);
        EXPECT_EQ(Le32(file, 10), 1078u);
        EXPECT_EQ(Le32(file, 14), 40u);
        EXPECT_EQ(Le32(file, 18), c.width);
        EXPECT_EQ(Le32(file, 22), c.height);
        EXPECT_EQ(Le16(file, 26), 1u);
        EXPECT_EQ(Le16(file, 28), 8u);
        for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(Le32(file, at), 0u) << at;
        for (uint32_t i = 0; i < 256; ++i)
            EXPECT_EQ(Le32(file, 54 + 4 * i), i | i << 8 | i << 16) << i;

        // Bottom row first: the bottom right pixel opens the pixels, the top
        // left one starts the last row.
        EXPECT_EQ(file[1078 + c.width - 1], 77);
        EXPECT_EQ(file[1078 + size_t{c.height - 1} * c.stride], 0);
        for (uint32_t y = 0; y < c.height; ++y)
            for (uint32_t x = c.width; x < c.stride; ++x) EXPECT_EQ(file[1078 + size_t{y} * c.stride + x], 255);
    }
}
