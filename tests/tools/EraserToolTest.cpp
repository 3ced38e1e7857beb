#include "tools/EraserTool.h"

#include "ToolTestSupport.h"

// One stamp at (30, 30) on a sheet of one gray, from the centre outwards: the centre moves by the strength, the rim
// by exactly one level, and one pixel further out nothing changes; white stays white and 254 turns white. The
// quadrant is mirrored: all four directions agree.
TEST(EraserTool, AStampLightensARoundDisc)
{
    // gray, size, strength, pixels changed, values at distance 0 .. r + 1
    struct Row { int gray, size, strength; size_t disc; std::vector<int> values; };
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
        SCOPED_TRACE(std::to_string(row.gray) + " " + std::to_string(row.size) + "/" + std::to_string(row.strength));
        Sheet paper(64, 64, 10, row.gray);
        CRect changed;
        const auto eraser = MakeTool<CEraserTool>(row.size, row.strength);
        ASSERT_EQ(eraser->OnPointerDown(nullptr, &paper, 30, 30, 30, 30, changed, 0), 1);
        const auto at = [&](int dx, int dy) { return int(paper.GetPixel(30 + dx, 30 + dy)); };
        for (int32_t k = 0; k < int32_t(row.values.size()); ++k)
            EXPECT_EQ((std::vector<int>{at(k, 0), at(-k, 0), at(0, k), at(0, -k)}), std::vector<int>(4, row.values[k]))
                << k;
        const PixelSet touched = PixelsNot(paper, uint8_t(row.gray));
        const int32_t r = 3 * row.size;
        EXPECT_EQ((std::pair{touched.size(), changed}), (std::pair{row.disc, CRect{29 - r, 29 - r, 31 + r, 31 + r}}));
        for (const auto& [x, y] : touched) EXPECT_LE((x - 30) * (x - 30) + (y - 30) * (y - 30), r * r);
    }
}

TEST(EraserTool, StrokeRecordsEveryPointAndStampsAllButTheRelease)
{
    Sheet paper(64, 64, 10, 0);
    CEraserTool eraser;  // small and light when new
    CRect changed;
    ASSERT_EQ(eraser.OnPointerDown(nullptr, &paper, 20, 20, 0, 0, changed, 1), 1);
    EXPECT_EQ(paper.GetPixel(20, 20), 61) << "the press stamps at once";
    EXPECT_EQ((std::pair{eraser.OnPointerMove(20, 20, 0, 0, changed), eraser.OnPointerMove(20, 20, 0, 0, changed)}),
              (std::pair{1, 1}));
    EXPECT_EQ(changed, (CRect{16, 16, 24, 24}));
    HistoryRecord record;
    int32_t modified = 0;
    EXPECT_EQ((std::tuple{eraser.OnPointerUp(20, 20, 0, 0, changed, record, modified), modified, changed.IsEmpty()}),
              (std::tuple{1, 1, true}));
    EXPECT_EQ(paper.GetPixel(20, 20), 142) << "three stamps: 0, 61, 107, 142";
    EXPECT_EQ((std::tuple{record.nType, record.nParam1, record.nParam2, Points(record)}),
              (std::tuple{int32_t{HR_ERASER}, 1, 1, PointList(4, {20, 20})}));

    // The release position is recorded, not stamped; unrecorded strokes leave the record alone.
    FillPaper(paper, 0);
    eraser.SetOptions(2, 3);
    HistoryRecord r2 = DrawStroke(eraser, paper, {CPoint{10, 10}, CPoint{40, 40}});
    EXPECT_EQ((std::pair{paper.GetPixel(40, 40) == 0, paper.GetPixel(10, 10) == 0}), (std::pair{true, false}));
    EXPECT_EQ((std::tuple{r2.nParam1, r2.nParam2, Points(r2)}), (std::tuple{2, 3, PointList{{10, 10}, {40, 40}}}));
    HistoryRecord none = DrawStroke(eraser, paper, {CPoint{10, 10}, CPoint{40, 40}}, 0);
    EXPECT_EQ((std::pair{none.nType, none.pPoints.get()}), (std::pair<int32_t, StrokePointList*>{HR_NONE, nullptr}));
}
