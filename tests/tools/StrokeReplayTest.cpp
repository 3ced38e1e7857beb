#include "tools/StrokeReplay.h"

#include "tools/EraserTool.h"
#include "tools/PencilTool.h"

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// A wandering path of short and long segments, some leaving the paper and
// some standing still, through fractional slopes in every direction.
std::vector<CPoint> Wander(uint32_t seed, int32_t count)
{
    std::vector<CPoint> points{{5 + int32_t(seed * 37 % 80), 5 + int32_t(seed * 53 % 80)}};
    for (int32_t i = 1; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int32_t reach = (i % 7 == 0) ? 40 : 9;  // every seventh move is long
        const int32_t dx = int32_t((seed >> 8) & 0xFFF) % (2 * reach + 1) - reach;
        const int32_t dy = int32_t(seed >> 20) % (2 * reach + 1) - reach;
        points.push_back(i % 11 == 0 ? points.back() : CPoint{points.back().x + dx, points.back().y + dy});
    }
    return points;
}

HistoryRecord PointsRecord(int32_t type, int32_t p1, int32_t p2, const std::vector<CPoint>& points)
{
    HistoryRecord record;
    record.nType = type;
    record.nParam1 = p1;
    record.nParam2 = p2;
    record.pPoints = std::make_unique<StrokePointList>();
    for (const CPoint& p : points) record.pPoints->Append(p.x, p.y);
    return record;
}

}  // namespace

TEST(StrokeReplay, RecordedStrokesRebuildTheSamePixels)
{
    for (uint32_t roughness : {1u, 10u}) {
        CPaper live, rebuilt;
        ASSERT_TRUE(live.Create(120, 90, roughness));
        ASSERT_TRUE(rebuilt.Create(120, 90, roughness));
        CPencilTool pencil;
        CEraserTool eraser;
        std::vector<HistoryRecord> history;
        uint32_t seed = 0;
        for (int32_t grade : {0, 5, 11, 3}) {
            for (int32_t option = 0; option < 6; ++option) {  // widths 1 to 3, smoothing off and on
                pencil.SetOptions(grade, 1 + option / 2, option % 2);
                history.push_back(DrawStroke(pencil, live, Wander(++seed, 25)));
                // A tap, whose dot comes back from its two recorded points.
                const CPoint dot = Wander(++seed, 1).front();
                history.push_back(DrawStroke(pencil, live, {dot, dot}));
            }
        }
        for (int32_t option = 0; option < 9; ++option) {  // every size and strength
            eraser.SetOptions(1 + option / 3, 1 + option % 3);
            history.push_back(DrawStroke(eraser, live, Wander(++seed, 12)));
        }
        pencil.SetOptions(1, 3, 1);
        history.push_back(DrawStroke(pencil, live, Wander(++seed, 60)));

        for (const HistoryRecord& record : history) {
            ASSERT_NE(record.nType, HR_NONE);
            ASSERT_TRUE(ReplayStroke(record, rebuilt));
        }
        EXPECT_EQ(std::memcmp(live.GetBits(), rebuilt.GetBits(), live.GetImageSize()), 0) << "roughness " << roughness;
        EXPECT_FALSE(PixelsNot(live, 255).empty());
        // Replay leaves the records as they were.
        const size_t count = history.front().pPoints->GetCount();
        ASSERT_TRUE(ReplayStroke(history.front(), rebuilt));
        EXPECT_EQ(history.front().pPoints->GetCount(), count);
    }
}

TEST(StrokeReplay, ShortAndForeignRecords)
{
    CPaper paper;
    ASSERT_TRUE(paper.Create(32, 32, 1));
    // One point (no reading past the list): a press and a release there. The
    // pencil draws nothing without its recorded tap point; the eraser stamps.
    EXPECT_TRUE(ReplayStroke(PointsRecord(HR_PENCIL, 0, 3 << 16, {CPoint{10, 10}}), paper));
    EXPECT_TRUE(PixelsNot(paper, 255).empty());
    FillPaper(paper, 0);
    EXPECT_TRUE(ReplayStroke(PointsRecord(HR_ERASER, 1, 1, {CPoint{10, 10}}), paper));
    EXPECT_EQ(paper.GetPixel(10, 10), 61);
    EXPECT_EQ(PixelsNot(paper, 0).size(), 29u);

    // Nothing to replay, records the tools do not make, a start off the paper.
    FillPaper(paper, 0);
    HistoryRecord noList;
    noList.nType = HR_ERASER;
    EXPECT_FALSE(ReplayStroke(noList, paper));
    EXPECT_FALSE(ReplayStroke(PointsRecord(HR_PENCIL, 0, 1 << 16, {}), paper));
    EXPECT_FALSE(ReplayStroke(PointsRecord(HR_PENCIL, 0, 1 << 16, {CPoint{-4, 4}, CPoint{20, 20}}), paper));
    for (int32_t type : {int32_t{HR_NONE}, int32_t{HR_PASTE}, int32_t{HR_CLEAR}, int32_t{7}})
        EXPECT_FALSE(ReplayStroke(PointsRecord(type, 0, 0, {CPoint{1, 1}, CPoint{20, 20}}), paper)) << type;
    EXPECT_TRUE(PixelsNot(paper, 0).empty());

    // Options out of range are clamped as the tools clamp them.
    FillPaper(paper, 255);
    const HistoryRecord wild = PointsRecord(HR_PENCIL, 40, 9 << 16, {CPoint{2, 2}, CPoint{12, 2}, CPoint{12, 2}});
    EXPECT_TRUE(ReplayStroke(wild, paper));
    EXPECT_EQ(paper.GetPixel(2, 1), 239) << "4H at width 3";
    EXPECT_EQ(paper.GetPixel(2, 3), 239);
}
