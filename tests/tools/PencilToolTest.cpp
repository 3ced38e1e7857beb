#include "ToolTestSupport.h"

#include <algorithm>

// Runs of n pixels from each start, stepping by step.
static PixelSet Lines(std::initializer_list<CPoint> starts, CPoint step, int32_t n)
{
    PixelSet s;
    for (const CPoint& p : starts)
        for (int32_t i = 0; i < n; ++i) s.emplace(p.x + i * step.x, p.y + i * step.y);
    return s;
}


// Each grade's strength and floor, and the darkening rule written out with its two divisions, checked at every level
// of a pixel, off and on a grain pixel, unsmoothed and smoothed (whose centre carries six sevenths): a pixel at or
// below the floor keeps its value, so a harder pencil never lightens.
TEST(PencilTool, EveryGradeDarkensEveryLevelByTheRule)
{
    const std::tuple<const char*, int32_t, int32_t> grades[] = {
        {"C", 200, 10},  {"6B", 90, 45},  {"5B", 75, 65},  {"4B", 65, 85},  {"3B", 55, 105}, {"2B", 45, 125},
        {"1B", 35, 145}, {"HB", 29, 160}, {"1H", 24, 170}, {"2H", 20, 175}, {"3H", 17, 180}, {"4H", 15, 185}};
    Sheet plain(16, 16), rough(16, 16, 10);
    CPoint grain{-1, -1};
    for (int32_t y = 13; y >= 2; --y)  // the first grain pixel away from the edges
        for (int32_t x = 13; x >= 2; --x) grain = rough.IsGrain(x, y) ? CPoint{x, y} : grain;
    ASSERT_GE(grain.x, 0);
    for (int32_t i = 0; i < kGradeCount; ++i) {
        const auto [name, strength, floor] = grades[i];
        EXPECT_EQ(GradeFromName(name), i);
        for (int32_t smooth = 0; smooth <= 1; ++smooth) {
            const auto pencil = MakeTool<CPencilTool>(i, 1, smooth);
            const int32_t centre = smooth ? 6 * strength / 7 : strength;
            for (int32_t p = 0; p < 256; ++p) {
                const int32_t d = centre * (p - floor) * (p - floor) / (255 - floor) / (255 - floor);
                for (auto [paper, at, share] : {std::tuple{&plain, CPoint{8, 8}, 1}, std::tuple{&rough, grain, 2}}) {
                    paper->SetPixel(at.x, at.y, static_cast<uint8_t>(p));
                    DrawStroke(*pencil, *paper, {at, at});  // a tap
                    ASSERT_EQ(paper->GetPixel(at.x, at.y), std::min(std::max(p - d / share - 1, floor), p))
                        << name << " smooth " << smooth << " from " << p << " grain share " << share;
                }
            }
        }
    }
    for (auto [name, want] : {std::pair{"hb", 7}, {"c", 0}, {"4h", 11}, {"", -1}, {"7B", -1}, {"HB ", -1}, {"H", -1}})
        EXPECT_EQ(GradeFromName(name), want) << '"' << name << '"';
}

TEST(PencilTool, KernelSamplesAndSmoothedTap)
{
    // grade, width, row, column, value
    const int32_t samples[][5] = {{0, 3, 0, 8, 75}, {0, 3, 8, 8, 42}, {0, 3, 0, 24, 8}, {0, 1, 0, 8, 13},
                                  {0, 1, 8, 8, 1},  {0, 1, 0, 24, 0}, {5, 2, 0, 0, 30}, {5, 2, 0, 8, 9},
                                  {5, 2, 8, 8, 3},  {11, 3, 0, 0, 10}, {0, 2, 0, 0, 133}};
    for (const auto& s : samples) {
        const auto pencil = MakeTool<CPencilTool>(s[0], s[1], 1);
        auto at = [&](int row, int col) { return int(pencil->m_kernel[row * CPencilTool::kKernelSize + col]); };
        EXPECT_EQ(at(s[2], s[3]), s[4]) << s[0] << "/" << s[1] << " " << s[2] << "," << s[3];
        EXPECT_EQ(at(s[2], s[3]), at(s[3], s[2])) << "the two ramps are alike";
    }
    // "2B" width 2: on white a touch of strength F gives 254 - F, and even a weight of 0 darkens by one level, so
    // the whole 5 x 5 block changes.
    Sheet paper(32, 32);
    DrawStroke(*MakeTool<CPencilTool>(5, 2, 1), paper, {{20, 20}, {20, 20}});
    const int want[5][5] = {{254, 253, 252, 253, 254}, {253, 251, 245, 251, 253}, {252, 245, 216, 245, 252},
                            {253, 251, 245, 251, 253}, {254, 253, 252, 253, 254}};
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 5; ++i) EXPECT_EQ(paper.GetPixel(18 + i, 18 + j), want[j][i]) << i << "," << j;
    EXPECT_EQ(PixelsNot(paper, 255).size(), 25u);
}

TEST(PencilTool, WalksAndParallelWalks)
{
    struct Walk { int32_t width; CPoint from, to; PixelSet dabs; };
    const Walk walks[] = {
        {1, {0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
        {1, {4, 2}, {0, 0}, {{4, 2}, {3, 2}, {2, 1}, {1, 1}}},  // going back rounds half away from zero, not up
        {1, {10, 10}, {10, 14}, Lines({{10, 10}}, {0, 1}, 4)},
        {1, {10, 10}, {11, 10}, {{10, 10}}},
        {1, {0, 0}, {-1, 32}, Lines({{0, 0}}, {0, 1}, 16)},  // x = -0.5 at y = 16: away from zero, off the paper
        {1, {10, 10}, {16, 10}, Lines({{10, 10}}, {1, 0}, 6)},
        {2, {10, 10}, {16, 10}, Lines({{10, 9}, {10, 10}}, {1, 0}, 6)},
        {3, {10, 10}, {16, 10}, Lines({{10, 9}, {10, 10}, {10, 11}}, {1, 0}, 6)},
        {2, {10, 10}, {15, 15}, Lines({{9, 10}, {10, 10}}, {1, 1}, 5)},
        {3, {10, 10}, {15, 15}, Lines({{9, 10}, {10, 10}, {11, 10}}, {1, 1}, 5)},
    };
    for (const Walk& w : walks) {
        Sheet paper(40, 40);
        DrawStroke(*MakeTool<CPencilTool>(5, w.width, 0), paper, {w.from, w.to, w.to});
        EXPECT_EQ(PixelsNot(paper, 255), w.dabs) << w.width << ": " << w.from.x << "," << w.from.y << " to " << w.to.x;
        // Parallel walks touch each pixel once.
        for (const auto& [x, y] : w.dabs) EXPECT_EQ(paper.GetPixel(x, y), 209) << x << "," << y;
    }
}

TEST(PencilTool, ChangedRectanglesReleaseTapsAndRecords)
{
    Sheet paper(32, 32), dot(32, 32), none(32, 32);
    CPencilTool pencil;  // "2B", thin and unsmoothed when new
    CRect changed{1, 2, 3, 4};
    ASSERT_EQ(pencil.OnPointerDown(nullptr, &paper, 20, 5, 0, 0, changed, 1), 1);
    EXPECT_TRUE(changed.IsEmpty() && PixelsNot(paper, 255).empty()) << "the press draws nothing";
    EXPECT_EQ(pencil.OnPointerMove(10, 8, 0, 0, changed), 1);
    EXPECT_EQ(changed, (CRect{7, 2, 23, 11}));  // the segment plus three
    pencil.OnPointerMove(12, 30, 0, 0, changed);
    EXPECT_EQ(changed, (CRect{7, 5, 15, 33}));  // from where the last one ended
    pencil.OnPointerMove(12, 30, 0, 0, changed);  // standing still dabs nothing
    const PixelSet drawn = PixelsNot(paper, 255);
    EXPECT_FALSE(drawn.count({12, 30}));
    HistoryRecord record;
    int32_t modified = 0;
    EXPECT_EQ((std::tuple{pencil.OnPointerUp(12, 30, 0, 0, changed, record, modified), changed.IsEmpty(), modified}),
              (std::tuple{1, true, 1}));
    EXPECT_EQ(PixelsNot(paper, 255), drawn) << "the release point is not dabbed";
    EXPECT_EQ(record.nType, HR_PENCIL);
    EXPECT_EQ(Points(record), (PointList{{20, 5}, {10, 8}, {12, 30}}));

    // A tap leaves a dot and records a second point right and down of it; unrecorded, it draws nothing (the
    // replayed list carries the dot).
    EXPECT_EQ(Points(DrawStroke(pencil, dot, {{12, 7}, {12, 7}})), (PointList{{12, 7}, {13, 8}}));
    EXPECT_EQ((std::pair{PixelsNot(dot, 255), int(dot.GetPixel(12, 7))}), (std::pair{PixelSet{{12, 7}}, 209}));
    EXPECT_EQ(DrawStroke(pencil, none, {{12, 7}, {12, 7}}, 0).nType, HR_NONE);
    EXPECT_TRUE(PixelsNot(none, 255).empty());

    // grade, width, smooth, nParam2
    const int32_t options[][4] = {{0, 3, 1, 0x30001}, {11, 1, 0, 0x10000}, {3, 2, 0x10000, 0x20001}};
    for (const auto& o : options) {
        pencil.SetOptions(o[0], o[1], o[2]);
        HistoryRecord r = DrawStroke(pencil, paper, {CPoint{3, 3}, CPoint{9, 4}, CPoint{20, 20}});
        EXPECT_EQ((std::tuple{r.nType, r.nParam1, r.nParam2, Points(r).size()}),
                  (std::tuple{int32_t{HR_PENCIL}, o[0], o[3], size_t{3}}));
    }
}
