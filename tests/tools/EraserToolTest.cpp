#include "tools/EraserTool.h"

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

void GrayPaper(CPaper& paper, uint8_t value, uint32_t size = 64)
{
    ASSERT_TRUE(paper.Create(size, size, 10));
    FillPaper(paper, value);
}

// One stamp at (x, y): a press that is not recorded and never released.
CRect StampOnce(CPaper& paper, int32_t size, int32_t strength, int32_t x, int32_t y)
{
    CEraserTool eraser;
    eraser.SetOptions(size, strength);
    CRect changed;
    EXPECT_EQ(eraser.OnPointerDown(nullptr, &paper, x, y, x, y, changed, 0), 1);
    return changed;
}

}  // namespace

TEST(EraserTool, OptionsAreClamped)
{
    CEraserTool eraser;
    int32_t size = 0, strength = 0;
    const int32_t cases[][4] = {{0, 7, 1, 3}, {-5, 0, 1, 1}, {2, 2, 2, 2}, {99, -99, 3, 1}};
    for (const auto& c : cases) {
        eraser.SetOptions(c[0], c[1]);
        eraser.GetOptions(size, strength);
        EXPECT_EQ((std::pair{size, strength}), (std::pair{c[2], c[3]})) << c[0] << " " << c[1];
    }
}

TEST(EraserTool, RowsOnBlackAndDiscSizes)
{
    struct Row {
        int32_t size, strength;
        size_t disc;
        std::vector<int> values;  // distance 0, 1, ... r + 1
    };
    const Row rows[] = {
        {1, 1, 29, {61, 54, 34, 1, 0}},
        {1, 3, 29, {181, 161, 101, 1, 0}},
        {2, 2, 113, {121, 117, 107, 91, 67, 37, 1, 0}},
        {3, 1, 253, {61, 60, 58, 54, 49, 42, 34, 24, 13, 1, 0}},
    };
    for (const Row& row : rows) {
        CPaper paper;
        GrayPaper(paper, 0);
        const CRect changed = StampOnce(paper, row.size, row.strength, 30, 30);
        for (int32_t k = 0; k < static_cast<int32_t>(row.values.size()); ++k) {
            // The quadrant is mirrored: all four directions agree.
            EXPECT_EQ(paper.GetPixel(30 + k, 30), row.values[k]) << row.size << "/" << row.strength << " at " << k;
            EXPECT_EQ(paper.GetPixel(30 - k, 30), row.values[k]);
            EXPECT_EQ(paper.GetPixel(30, 30 + k), row.values[k]);
            EXPECT_EQ(paper.GetPixel(30, 30 - k), row.values[k]);
        }
        const auto touched = PixelsNot(paper, 0);
        EXPECT_EQ(touched.size(), row.disc) << "size " << row.size;
        const int32_t r = 3 * row.size;
        EXPECT_EQ(changed, (CRect{29 - r, 29 - r, 31 + r, 31 + r}));
        for (const auto& [x, y] : touched) EXPECT_LE((x - 30) * (x - 30) + (y - 30) * (y - 30), r * r);
    }
}

TEST(EraserTool, RimCentreAndWhite)
{
    // The rim gains exactly one level; one pixel further out is untouched.
    CPaper gray;
    GrayPaper(gray, 100);
    StampOnce(gray, 1, 1, 20, 20);
    EXPECT_EQ((std::pair{gray.GetPixel(23, 20), gray.GetPixel(24, 20)}), (std::pair<uint8_t, uint8_t>{101, 100}));
    for (auto [strength, want] : {std::pair{1, 137}, {2, 173}, {3, 210}}) {
        CPaper paper;
        GrayPaper(paper, 100);
        StampOnce(paper, 1, strength, 20, 20);
        EXPECT_EQ(paper.GetPixel(20, 20), want) << strength;
    }

    // White stays white, and 254 anywhere in the disc becomes white.
    CPaper white, light;
    GrayPaper(white, 255);
    StampOnce(white, 3, 3, 20, 20);
    EXPECT_TRUE(PixelsNot(white, 255).empty());
    GrayPaper(light, 254);
    StampOnce(light, 3, 3, 20, 20);
    EXPECT_EQ(PixelsNot(light, 254).size(), 253u);
    EXPECT_EQ(PixelsNot(light, 255).size(), 64u * 64u - 253u);
}

TEST(EraserTool, StrokeRecordsEveryPointAndStampsAllButTheRelease)
{
    CPaper paper;
    GrayPaper(paper, 0);
    CEraserTool eraser;  // small and light when new
    CRect changed;
    ASSERT_EQ(eraser.OnPointerDown(nullptr, &paper, 20, 20, 0, 0, changed, 1), 1);
    EXPECT_EQ(paper.GetPixel(20, 20), 61) << "the press stamps at once";
    EXPECT_EQ(eraser.OnPointerMove(20, 20, 0, 0, changed), 1);
    EXPECT_EQ(eraser.OnPointerMove(20, 20, 0, 0, changed), 1);
    EXPECT_EQ(changed, (CRect{16, 16, 24, 24}));
    HistoryRecord record;
    int32_t modified = 0;
    EXPECT_EQ(eraser.OnPointerUp(20, 20, 0, 0, changed, record, modified), 1);
    EXPECT_EQ(modified, 1);
    EXPECT_TRUE(changed.IsEmpty());
    EXPECT_EQ(paper.GetPixel(20, 20), 142) << "three stamps: 0, 61, 107, 142";
    EXPECT_EQ((std::tuple{record.nType, record.nParam1, record.nParam2}), (std::tuple{int32_t{HR_ERASER}, 1, 1}));
    EXPECT_EQ(Points(record), PointList(4, {20, 20}));

    // The release position is recorded, not stamped.
    GrayPaper(paper, 0);
    eraser.SetOptions(2, 3);
    HistoryRecord r2 = DrawStroke(eraser, paper, {CPoint{10, 10}, CPoint{40, 40}});
    EXPECT_EQ((std::pair{paper.GetPixel(40, 40) == 0, paper.GetPixel(10, 10) == 0}), (std::pair{true, false}));
    EXPECT_EQ((std::pair{r2.nParam1, r2.nParam2}), (std::pair{2, 3}));
    EXPECT_EQ(Points(r2), (PointList{{10, 10}, {40, 40}}));
    // Unrecorded strokes leave the record alone but still report a change.
    HistoryRecord none = DrawStroke(eraser, paper, {CPoint{10, 10}, CPoint{40, 40}}, 0);
    EXPECT_EQ(none.nType, HR_NONE);
    EXPECT_EQ(none.pPoints, nullptr);
}

TEST(EraserTool, PressOutsideIsRefusedAndEdgesClip)
{
    CPaper paper;
    GrayPaper(paper, 0, 16);
    CEraserTool eraser;
    for (const CPoint& p : {CPoint{-1, 5}, CPoint{5, -1}, CPoint{16, 0}, CPoint{0, 16}}) {
        CRect changed{1, 1, 4, 4};
        EXPECT_EQ(eraser.OnPointerDown(nullptr, &paper, p.x, p.y, 0, 0, changed, 1), 0);
        EXPECT_TRUE(changed.IsEmpty());
    }
    EXPECT_TRUE(PixelsNot(paper, 0).empty());
    CRect changed;
    EXPECT_EQ(eraser.OnPointerDown(nullptr, nullptr, 0, 0, 0, 0, changed, 1), 0);

    // A disc at the corner lightens only its quarter inside the paper, and
    // moves may leave the paper entirely.
    eraser.SetOptions(3, 3);
    HistoryRecord record = DrawStroke(eraser, paper, {CPoint{0, 0}, CPoint{-50, 400}, CPoint{15, 15}, CPoint{15, 15}});
    EXPECT_EQ(Points(record).size(), 4u);
    const std::pair<CPoint, int> want[] = {{{0, 0}, 181}, {{9, 0}, 1}, {{0, 9}, 1}, {{15, 15}, 181}, {{7, 7}, 0}};
    for (const auto& [p, v] : want) EXPECT_EQ(paper.GetPixel(p.x, p.y), v) << p.x << "," << p.y;
}
