#include "tools/StrokeReplay.h"

#include "ToolTestSupport.h"

static uint32_t NextRandom(uint32_t& seed) { return seed = seed * 1664525u + 1013904223u; }

// A wandering path of short and long segments, some leaving the paper and some standing still, through fractional
// slopes in every direction.
static std::vector<CPoint> Wander(uint32_t seed, int32_t count)
{
    std::vector<CPoint> points{{5 + int32_t(seed * 37 % 80), 5 + int32_t(seed * 53 % 80)}};
    for (int32_t i = 1; i < count; ++i) {
        NextRandom(seed);
        const int32_t reach = (i % 7 == 0) ? 40 : 9;  // every seventh move is long
        const int32_t dx = int32_t((seed >> 8) & 0xFFF) % (2 * reach + 1) - reach;
        const int32_t dy = int32_t(seed >> 20) % (2 * reach + 1) - reach;
        points.push_back(i % 11 == 0 ? points.back() : CPoint{points.back().x + dx, points.back().y + dy});
    }
    return points;
}

static HistoryRecord PointsRecord(int32_t type, int32_t p1, int32_t p2, const std::vector<CPoint>& points,
                                  bool list = true)
{
    HistoryRecord record{type, p1, p2, list ? std::make_unique<StrokePointList>() : nullptr};
    for (const CPoint& p : points) record.pPoints->Append(p.x, p.y);
    return record;
}


// Every setting of both tools, pressed fully and with a pressure of its own at every point, and the pencil's taps
// (whose dot comes back from their two recorded points), replayed onto a fresh sheet give the same pixels.
TEST(StrokeReplay, RecordedStrokesRebuildTheSamePixelsWithTheirPressures)
{
    for (uint32_t roughness : {1u, 10u}) {
        Sheet live(120, 90, roughness), rebuilt(120, 90, roughness);
        std::vector<HistoryRecord> history;
        uint32_t seed = roughness;
        for (const ToolSetting& s : EverySetting()) {
            const std::vector<CPoint> path = Wander(++seed, s.pencil ? 25 : 12);
            std::vector<int32_t> pressures;
            for (size_t i = 0; i < path.size(); ++i)
                pressures.push_back(int32_t((NextRandom(seed) >> 16) % (kFullPressure + 1)));
            history.push_back(DrawStroke(*s.Make(), live, Wander(++seed, s.pencil ? 25 : 12)));
            history.push_back(DrawStroke(*s.Make(), live, path, 1, pressures));
            if (!s.pencil) {
                const StrokePointList& kept = *history.back().pPoints;
                ASSERT_EQ(kept.GetCount(), path.size());
                for (size_t i = 0; i < path.size(); ++i) EXPECT_EQ(kept.GetPressure(i), pressures[i]);
                continue;
            }
            const CPoint dot = Wander(++seed, 1).front(), light = Wander(++seed, 1).front();
            history.push_back(DrawStroke(*s.Make(), live, {dot, dot}));
            history.push_back(DrawStroke(*s.Make(), live, {light, light}, 1, {400, 400}));
        }
        history.push_back(DrawStroke(*MakeTool<CPencilTool>(1, 3, 1), live, Wander(++seed, 60)));
        for (const HistoryRecord& record : history)
            ASSERT_TRUE(record.nType != HR_NONE && ReplayStroke(record, rebuilt));
        EXPECT_TRUE(SamePixels(live, rebuilt)) << "roughness " << roughness;
        // Replay leaves the records as they were.
        const size_t count = history.front().pPoints->GetCount();
        ASSERT_TRUE(ReplayStroke(history.front(), rebuilt));
        EXPECT_EQ(history.front().pPoints->GetCount(), count);
    }
}

TEST(StrokeReplay, ShortAndForeignRecords)
{
    // One point (no reading past the list): a press and a release there. The pencil draws nothing without its
    // recorded tap point; the eraser stamps.
    Sheet white(32, 32), black(32, 32, 1, 0), paper(32, 32, 1, 0);
    EXPECT_TRUE(ReplayStroke(PointsRecord(HR_PENCIL, 0, 3 << 16, {CPoint{10, 10}}), white));
    EXPECT_TRUE(PixelsNot(white, 255).empty());
    EXPECT_TRUE(ReplayStroke(PointsRecord(HR_ERASER, 1, 1, {CPoint{10, 10}}), black));
    EXPECT_EQ((std::pair{int(black.GetPixel(10, 10)), PixelsNot(black, 0).size()}), (std::pair{61, size_t{29}}));

    // Nothing to replay, records the tools do not make, a start off the paper.
    EXPECT_FALSE(ReplayStroke(PointsRecord(HR_ERASER, 0, 0, {}, false), paper));
    EXPECT_FALSE(ReplayStroke(PointsRecord(HR_PENCIL, 0, 1 << 16, {}), paper));
    EXPECT_FALSE(ReplayStroke(PointsRecord(HR_PENCIL, 0, 1 << 16, {CPoint{-4, 4}, CPoint{20, 20}}), paper));
    for (int32_t type : {int32_t{HR_NONE}, int32_t{HR_PASTE}, int32_t{HR_CLEAR}, int32_t{7}})
        EXPECT_FALSE(ReplayStroke(PointsRecord(type, 0, 0, {CPoint{1, 1}, CPoint{20, 20}}), paper)) << type;
    EXPECT_TRUE(PixelsNot(paper, 0).empty());
}
