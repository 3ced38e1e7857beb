// A picture made into a sheet: its size on the sheet, the gray values a scaled picture averages
// to, and the white around a picture smaller than the smallest sheet.

#include "formats/PictureSheet.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Feeds a width x height picture whose pixel (x, y) is rgba(x, y) into paper.
bool MakeSheet(CPaper& paper, uint32_t width, uint32_t height, const std::function<std::vector<uint8_t>(uint32_t, uint32_t)>& rgba)
{
    CPictureSheet sheet;
    if (!sheet.Begin(width, height, 3, paper)) return false;
    std::vector<uint8_t> row(size_t{width} * 4);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const std::vector<uint8_t> p = rgba(x, y);
            std::copy(p.begin(), p.end(), row.begin() + x * 4);
        }
        sheet.AddRow(row.data());
    }
    return sheet.IsComplete();
}

std::vector<uint8_t> Row(const CPaper& paper, int32_t y)
{
    std::vector<uint8_t> row;
    for (uint32_t x = 0; x < paper.GetWidth(); ++x) row.push_back(paper.GetPixel(int32_t(x), y));
    return row;
}

}  // namespace

TEST(PictureSheet, APictureFitsTheLargestSheetKeepingItsShapeAndTheSmallestWithWhite)
{
    const struct {
        uint32_t w, h, fitW, fitH, sheetW, sheetH;
    } cases[] = {
        {3000, 2000, 2048, 1365, 2048, 1365}, {2000, 3000, 1365, 2048, 1365, 2048}, {2048, 2048, 2048, 2048, 2048, 2048},
        {4096, 10, 2048, 5, 2048, 5},         {10, 5000, 4, 2048, 4, 2048},         {1, 5000, 1, 2048, 4, 2048},
        {2, 3, 2, 3, 4, 4},                   {640, 480, 640, 480, 640, 480},
    };
    for (const auto& c : cases) {
        uint32_t w = 0, h = 0;
        CPictureSheet::FitSize(c.w, c.h, w, h);
        EXPECT_EQ(std::pair(w, h), std::pair(c.fitW, c.fitH)) << c.w << " x " << c.h;
        CPaper paper;
        CPictureSheet sheet;
        ASSERT_TRUE(sheet.Begin(c.w, c.h, 3, paper));
        EXPECT_EQ(std::tuple(paper.GetWidth(), paper.GetHeight(), paper.GetRoughness()), std::tuple(c.sheetW, c.sheetH, 3u));
    }
    // Nothing to show, or more pixels than anyone photographs.
    CPaper paper;
    for (const auto& [w, h] : {std::pair{0u, 5u}, {5u, 0u}, {20000u, 20000u}}) {
        EXPECT_FALSE(CPictureSheet().Begin(w, h, 3, paper)) << w << " x " << h;
        EXPECT_FALSE(paper.HasBits());
    }

    // A black 2 x 3 picture sits at the top left of a white 4 x 4 sheet.
    ASSERT_TRUE(MakeSheet(paper, 2, 3, [](uint32_t, uint32_t) { return std::vector<uint8_t>{0, 0, 0, 255}; }));
    for (int32_t y = 0; y < 4; ++y)
        EXPECT_EQ(Row(paper, y), y < 3 ? (std::vector<uint8_t>{0, 0, 255, 255}) : std::vector<uint8_t>(4, 255)) << y;
}

TEST(PictureSheet, GrayIsLuminanceOverWhite)
{
    const struct {
        uint8_t r, g, b, a, gray;
    } cases[] = {
        {77, 77, 77, 255, 77},  {255, 0, 0, 255, 76},  {0, 255, 0, 255, 150}, {0, 0, 255, 255, 29},
        {255, 255, 0, 255, 226}, {0, 0, 0, 0, 255},     {0, 0, 0, 128, 127},   {200, 10, 10, 0, 255},
    };
    for (const auto& c : cases) EXPECT_EQ(CPictureSheet::Gray(c.r, c.g, c.b, c.a), c.gray) << int(c.r) << " " << int(c.a);
    for (int v = 0; v < 256; ++v) ASSERT_EQ(CPictureSheet::Gray(uint8_t(v), uint8_t(v), uint8_t(v), 255), v);
}

TEST(PictureSheet, AScaledPictureAveragesWhatEachSheetPixelCovers)
{
    // 3000 x 2000 with its left third black: the sheet is black to column 681, white from 683,
    // and the column between holds both.
    CPaper paper;
    ASSERT_TRUE(MakeSheet(paper, 3000, 2000, [](uint32_t x, uint32_t) {
        const uint8_t v = x < 1000 ? 0 : 255;
        return std::vector<uint8_t>{v, v, v, 255};
    }));
    ASSERT_EQ(std::pair(paper.GetWidth(), paper.GetHeight()), std::pair(2048u, 1365u));
    for (int32_t y : {0, 700, 1364}) {
        const std::vector<uint8_t> row = Row(paper, y);
        EXPECT_EQ(std::vector<uint8_t>(row.begin(), row.begin() + 682), std::vector<uint8_t>(682, 0)) << y;
        EXPECT_EQ(std::vector<uint8_t>(row.begin() + 683, row.end()), std::vector<uint8_t>(2048 - 683, 255)) << y;
        EXPECT_TRUE(row[682] > 0 && row[682] < 255) << int(row[682]);
    }

    // Columns of black and white by turns average to the gray between; one colour all over
    // stays that colour at any ratio.
    ASSERT_TRUE(MakeSheet(paper, 4096, 8, [](uint32_t x, uint32_t) {
        const uint8_t v = x % 2 ? 255 : 0;
        return std::vector<uint8_t>{v, v, v, 255};
    }));
    EXPECT_EQ(Row(paper, 3), std::vector<uint8_t>(2048, 128));
    ASSERT_TRUE(MakeSheet(paper, 2999, 3001, [](uint32_t, uint32_t) { return std::vector<uint8_t>{10, 200, 30, 255}; }));
    ASSERT_EQ(std::pair(paper.GetWidth(), paper.GetHeight()), std::pair(2047u, 2048u));
    for (int32_t y : {0, 1, 1000, 2047}) EXPECT_EQ(Row(paper, y), std::vector<uint8_t>(2047, 124)) << y;
}
