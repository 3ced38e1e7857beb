#include "tools/EraserTool.h"

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

// One stamp at (30, 30) on a sheet of one gray, from the centre outwards:
// the centre moves by the strength, the rim by exactly one level, and one
// pixel further out nothing changes; white stays white and 254 turns white.
// The quadrant is mirrored: all four directions agree.
TEST(EraserTool, AStampLightensARoundDisc)
{
    struct Row {
        uint8_t gray;
        int32_t size, strength;
        size_t disc;
        std::vector<int> values;  // distance 0, 1, ... r + 1
    };
    const Row rows[] = {
        {0, 1, 1, 29, {61, 54, 34, 1, 0}},
        {0, 1, 3, 29, {181, 161, 101, 1, 0}},
        {0, 2, 2, 113, {121, 117, 107, 91, 67, 37, 1, 0}},
        {0, 3, 1, 253, {61, 60, 58, 54, 49, 42, 34, 24, 13, 1, 0}},
        {100, 1, 1, 29, {137, 133, 121, 101, 100}},
        {100, 1, 2, 29, {173, 165, 141, 101, 100}},
        {100, 3, 3, 253, {210, 208, 204, 198, 188, 176, 161, 144, 123, 101, 100}},
        {254, 3, 3, 253, {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 254}},
        {255, 3, 3, 0, {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
    };
    for (const Row& row : rows) {
        CPaper paper;
        ASSERT_TRUE(paper.Create(64, 64, 10));
        FillPaper(paper, row.gray);
        CEraserTool eraser;
        eraser.SetOptions(row.size, row.strength);
        CRect changed;
        ASSERT_EQ(eraser.OnPointerDown(nullptr, &paper, 30, 30, 30, 30, changed, 0), 1);
        for (int32_t k = 0; k < static_cast<int32_t>(row.values.size()); ++k) {
            const std::vector<int> around{paper.GetPixel(30 + k, 30), paper.GetPixel(30 - k, 30),
                                          paper.GetPixel(30, 30 + k), paper.GetPixel(30, 30 - k)};
            EXPECT_EQ(around, std::vector<int>(4, row.values[k])) << int(row.gray) << " " << row.size << "/"
                                                                 << row.strength << " at " << k;
        }
        const auto touched = PixelsNot(paper, row.gray);
        EXPECT_EQ(touched.size(), row.disc) << int(row.gray) << " " << row.size;
        const int32_t r = 3 * row.size;
        EXPECT_EQ(changed, (CRect{29 - r, 29 - r, 31 + r, 31 + r}));
        for (const auto& [x, y] : touched) EXPECT_LE((x - 30) * (x - 30) + (y - 30) * (y - 30), r * r);
    }
}

TEST(EraserTool, StrokeRecordsEveryPointAndStampsAllButTheRelease)
{
    CPaper paper;
    ASSERT_TRUE(paper.Create(64, 64, 10));
    FillPaper(paper, 0);
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
    FillPaper(paper, 0);
    eraser.SetOptions(2, 3);
    HistoryRecord r2 = DrawStroke(eraser, paper, {CPoint{10, 10}, CPoint{40, 40}});
    EXPECT_EQ((std::pair{paper.GetPixel(40, 40) == 0, paper.GetPixel(10, 10) == 0}), (std::pair{true, false}));
    EXPECT_EQ((std::pair{r2.nParam1, r2.nParam2}), (std::pair{2, 3}));
    EXPECT_EQ(Points(r2), (PointList{{10, 10}, {40, 40}}));
    // Unrecorded strokes leave the record alone.
    HistoryRecord none = DrawStroke(eraser, paper, {CPoint{10, 10}, CPoint{40, 40}}, 0);
    EXPECT_EQ((std::pair{none.nType, none.pPoints.get()}), (std::pair<int32_t, StrokePointList*>{HR_NONE, nullptr}));
}
