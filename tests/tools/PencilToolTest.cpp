#include "tools/PencilTool.h"

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

namespace {

using PixelSet = std::set<std::pair<int32_t, int32_t>>;

PixelSet AsSet(const std::vector<std::pair<int32_t, int32_t>>& v) { return PixelSet(v.begin(), v.end()); }

// A smooth paper: roughness 1 has no grain anywhere.
void SmoothPaper(CPaper& paper, uint32_t size = 64) { ASSERT_TRUE(paper.Create(size, size, 1)); }

// Press and release at one point with recording on: the tap that leaves a dot.
HistoryRecord Tap(CPencilTool& pencil, CPaper& paper, int32_t x, int32_t y)
{
    return DrawStroke(pencil, paper, {CPoint{x, y}, CPoint{x, y}});
}

// The darkening rule written out with its two divisions, as the reference
// for the tool's single multiply-and-shift.
int32_t Darkened(int32_t p, int32_t strength, int32_t grade, bool grain)
{
    const int32_t floor = GradeFloor[grade];
    int32_t d = ((strength * (p - floor) * (p - floor)) / (255 - floor)) / (255 - floor);
    d /= grain ? 2 : 1;
    int32_t value = p - d - 1;
    if (value < floor) value = floor;
    if (value > p) value = p;
    return std::max(value, 0);
}

}  // namespace

TEST(PencilTool, GradeNamesAndTables)
{
    const char* const names[] = {"C", "6B", "5B", "4B", "3B", "2B", "1B", "HB", "1H", "2H", "3H", "4H"};
    const int strength[] = {200, 90, 75, 65, 55, 45, 35, 29, 24, 20, 17, 15};
    const int floor[] = {10, 45, 65, 85, 105, 125, 145, 160, 170, 175, 180, 185};
    for (int i = 0; i < kGradeCount; ++i) {
        EXPECT_STREQ(kGradeNames[i], names[i]);
        EXPECT_EQ(GradeFromName(names[i]), i);
        EXPECT_EQ(GradeStrength[i], strength[i]) << names[i];
        EXPECT_EQ(GradeFloor[i], floor[i]) << names[i];
    }
    EXPECT_EQ(GradeFromName("hb"), 7);
    EXPECT_EQ(GradeFromName("c"), 0);
    EXPECT_EQ(GradeFromName(""), -1);
    EXPECT_EQ(GradeFromName("7B"), -1);
    EXPECT_EQ(GradeFromName("HB "), -1);
    EXPECT_EQ(GradeFromName("H"), -1);
}

TEST(PencilTool, DefaultsAndClamping)
{
    CPencilTool pencil;
    int32_t grade = -1, width = -1, smooth = -1;
    pencil.GetOptions(grade, width, smooth);
    EXPECT_EQ(grade, 5);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(smooth, 0);
    EXPECT_EQ(pencil.m_pPaper, nullptr);
    EXPECT_EQ(pencil.m_pView, nullptr);
    EXPECT_EQ(pencil.m_ptLast, (CPoint{0, 0}));
    EXPECT_EQ(pencil.m_ptNext, (CPoint{0, 0}));

    struct Case {
        int32_t grade, width, smooth;
        int32_t wantGrade, wantWidth, wantSmooth;
    };
    const Case cases[] = {
        {-3, 0, 0, 0, 1, 0}, {40, 9, 1, 11, 3, 1}, {7, 2, 5, 7, 2, 5}, {0, 1, 0, 0, 1, 0}, {11, 3, -1, 11, 3, -1},
    };
    for (const Case& c : cases) {
        pencil.SetOptions(c.grade, c.width, c.smooth);
        pencil.GetOptions(grade, width, smooth);
        EXPECT_EQ(grade, c.wantGrade) << c.grade;
        EXPECT_EQ(width, c.wantWidth) << c.width;
        EXPECT_EQ(smooth, c.wantSmooth) << c.smooth;
    }
}

TEST(PencilTool, OneTouchOnWhitePaper)
{
    const std::pair<const char*, int> touches[] = {{"C", 54}, {"2B", 209}, {"HB", 225}, {"4H", 239}};
    for (const auto& [name, want] : touches) {
        CPaper paper;
        SmoothPaper(paper);
        CPencilTool pencil;
        pencil.SetOptions(GradeFromName(name), 1, 0);
        Tap(pencil, paper, 10, 10);
        EXPECT_EQ(paper.GetPixel(10, 10), want) << name;
        EXPECT_EQ(PixelsNot(paper, 255).size(), 1u) << name;
    }

    // A grain pixel takes half the graphite.
    CPaper rough;
    ASSERT_TRUE(rough.Create(64, 64, 10));
    const CPoint grain = FindGrain(rough, true);
    ASSERT_GE(grain.x, 0);
    CPencilTool pencil;
    pencil.SetOptions(0, 1, 0);
    Tap(pencil, rough, grain.x, grain.y);
    EXPECT_EQ(rough.GetPixel(grain.x, grain.y), 154);
}

TEST(PencilTool, RepeatedTouchesApproachTheFloor)
{
    CPaper paper;
    SmoothPaper(paper);
    CPencilTool pencil;  // "2B" by default
    const int want[] = {209, 190, 178, 170, 164};
    for (int v : want) {
        Tap(pencil, paper, 5, 5);
        EXPECT_EQ(paper.GetPixel(5, 5), v);
    }
    for (int i = 0; i < 200; ++i) Tap(pencil, paper, 5, 5);
    EXPECT_EQ(paper.GetPixel(5, 5), GradeFloor[5]);
}

TEST(PencilTool, DarkeningRuleForEveryGradeAndLevel)
{
    CPaper plain;
    SmoothPaper(plain, 16);
    CPaper rough;
    ASSERT_TRUE(rough.Create(16, 16, 10));
    const CPoint grain = FindGrain(rough, true);
    ASSERT_GE(grain.x, 0);

    for (int32_t grade = 0; grade < kGradeCount; ++grade) {
        for (int32_t smooth = 0; smooth <= 1; ++smooth) {
            CPencilTool pencil;
            pencil.SetOptions(grade, 2, smooth);
            // The centre of a dab carries the whole strength, or six sevenths with smoothing.
            const int32_t strength = smooth ? (6 * GradeStrength[grade]) / 7 : GradeStrength[grade];
            for (int32_t p = 0; p < 256; ++p) {
                plain.SetPixel(8, 8, static_cast<uint8_t>(p));
                Tap(pencil, plain, 8, 8);
                ASSERT_EQ(plain.GetPixel(8, 8), Darkened(p, strength, grade, false))
                    << "grade " << grade << " smooth " << smooth << " level " << p;
                rough.SetPixel(grain.x, grain.y, static_cast<uint8_t>(p));
                Tap(pencil, rough, grain.x, grain.y);
                ASSERT_EQ(rough.GetPixel(grain.x, grain.y), Darkened(p, strength, grade, true))
                    << "grade " << grade << " smooth " << smooth << " level " << p << " on grain";
            }
        }
    }
}

TEST(PencilTool, HarderGradeNeverLightens)
{
    CPaper paper;
    SmoothPaper(paper);
    CPencilTool soft;
    soft.SetOptions(0, 1, 0);
    DrawStroke(soft, paper, {CPoint{5, 10}, CPoint{30, 10}, CPoint{30, 10}});
    const auto marked = PixelsNot(paper, 255);
    ASSERT_EQ(marked.size(), 25u);

    // "5B" and harder have floors above 54.
    CPencilTool hard;
    for (int32_t grade = 2; grade < kGradeCount; ++grade) {
        for (int32_t smooth = 0; smooth <= 1; ++smooth) {
            hard.SetOptions(grade, 3, smooth);
            DrawStroke(hard, paper, {CPoint{5, 10}, CPoint{30, 10}, CPoint{31, 10}});
            for (const auto& [x, y] : marked) ASSERT_EQ(paper.GetPixel(x, y), 54) << x << "," << y;
        }
    }

    // A pixel exactly at a grade's floor keeps its value.
    CPencilTool hb;
    hb.SetOptions(7, 1, 0);
    paper.SetPixel(40, 40, GradeFloor[7]);
    Tap(hb, paper, 40, 40);
    EXPECT_EQ(paper.GetPixel(40, 40), GradeFloor[7]);
}

TEST(PencilTool, KernelSamples)
{
    struct Sample {
        int32_t grade, width, row, col, want;
    };
    const Sample samples[] = {
        {0, 3, 0, 8, 75}, {0, 3, 8, 8, 42}, {0, 3, 0, 24, 8}, {0, 1, 0, 8, 13}, {0, 1, 8, 8, 1},
        {0, 1, 0, 24, 0}, {5, 2, 0, 0, 30}, {5, 2, 0, 8, 9},  {5, 2, 8, 8, 3},  {11, 3, 0, 0, 10},
        {0, 2, 0, 0, 133},
    };
    for (const Sample& s : samples) {
        CPencilTool pencil;
        pencil.SetOptions(s.grade, s.width, 1);
        EXPECT_EQ(pencil.m_kernel[s.row * CPencilTool::kKernelSize + s.col], s.want)
            << "grade " << s.grade << " width " << s.width << " [" << s.row << "][" << s.col << "]";
        // The two ramps are alike, so the kernel is symmetric.
        EXPECT_EQ(pencil.m_kernel[s.row * CPencilTool::kKernelSize + s.col],
                  pencil.m_kernel[s.col * CPencilTool::kKernelSize + s.row]);
    }

    // Without smoothing the kernel is not built.
    CPencilTool plain;
    plain.SetOptions(0, 3, 0);
    for (uint8_t v : plain.m_kernel) ASSERT_EQ(v, 0);
}

TEST(PencilTool, SmoothedTapSpreadsByTheKernel)
{
    CPaper paper;
    SmoothPaper(paper);
    CPencilTool pencil;
    pencil.SetOptions(5, 2, 1);  // "2B": kernel [0][8] 9, [8][8] 3, [0][16] 2, [8][16] 1, [16][16] 0
    Tap(pencil, paper, 20, 20);
    // On white paper a touch of strength F gives 254 - F; even a weight of 0
    // darkens by one level, so the whole 5 x 5 block changes.
    const int want[5][5] = {
        {254, 253, 252, 253, 254},
        {253, 251, 245, 251, 253},
        {252, 245, 216, 245, 252},
        {253, 251, 245, 251, 253},
        {254, 253, 252, 253, 254},
    };
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(paper.GetPixel(18 + i, 18 + j), want[j][i]) << i << "," << j;
    EXPECT_EQ(PixelsNot(paper, 255).size(), 25u);
}

TEST(PencilTool, WalkPoints)
{
    struct Walk {
        CPoint from, to;
        PixelSet dabs;
    };
    const Walk walks[] = {
        {{0, 0}, {4, 2}, {{0, 0}, {1, 1}, {2, 1}, {3, 2}}},
        {{10, 10}, {14, 12}, {{10, 10}, {11, 11}, {12, 11}, {13, 12}}},
        // Going the other way rounds half away from zero, not up.
        {{4, 2}, {0, 0}, {{4, 2}, {3, 2}, {2, 1}, {1, 1}}},
        {{10, 10}, {10, 14}, {{10, 10}, {10, 11}, {10, 12}, {10, 13}}},
        {{10, 10}, {11, 10}, {{10, 10}}},
    };
    for (const Walk& w : walks) {
        CPaper paper;
        SmoothPaper(paper, 32);
        CPencilTool pencil;
        CRect changed;
        ASSERT_EQ(pencil.OnPointerDown(nullptr, &paper, w.from.x, w.from.y, 0, 0, changed, 0), 1);
        EXPECT_TRUE(changed.IsEmpty());
        EXPECT_TRUE(PixelsNot(paper, 255).empty()) << "the press draws nothing";
        EXPECT_EQ(pencil.OnPointerMove(w.to.x, w.to.y, 0, 0, changed), 1);
        EXPECT_EQ(AsSet(PixelsNot(paper, 255)), w.dabs) << w.from.x << "," << w.from.y;
        for (const auto& [x, y] : w.dabs) EXPECT_EQ(paper.GetPixel(x, y), 209);
        EXPECT_EQ(pencil.m_ptLast, w.to);
        EXPECT_EQ(pencil.m_ptNext, w.to);
    }
}

TEST(PencilTool, WalkRoundsHalfAwayFromZero)
{
    // From (0, 0) to (-1, 32) the walk passes x = -0.5 exactly at y = 16:
    // rounded away from zero that dab lands at x = -1, off the paper.
    CPaper paper;
    SmoothPaper(paper, 40);
    CPencilTool pencil;
    DrawStroke(pencil, paper, {CPoint{0, 0}, CPoint{-1, 32}, CPoint{-1, 32}});
    PixelSet want;
    for (int32_t y = 0; y < 16; ++y) want.emplace(0, y);
    EXPECT_EQ(AsSet(PixelsNot(paper, 255)), want);
}

TEST(PencilTool, ParallelWalksByWidth)
{
    struct Case {
        int32_t width;
        CPoint from, to;
        PixelSet dabs;
    };
    auto horizontal = [](std::initializer_list<int32_t> rows) {
        PixelSet s;
        for (int32_t y : rows)
            for (int32_t x = 10; x < 16; ++x) s.emplace(x, y);
        return s;
    };
    auto diagonal = [](std::initializer_list<int32_t> shifts) {
        PixelSet s;
        for (int32_t k : shifts)
            for (int32_t i = 0; i < 5; ++i) s.emplace(10 + k + i, 10 + i);
        return s;
    };
    const Case cases[] = {
        {1, {10, 10}, {16, 10}, horizontal({10})},
        {2, {10, 10}, {16, 10}, horizontal({9, 10})},
        {3, {10, 10}, {16, 10}, horizontal({9, 10, 11})},
        {2, {10, 10}, {15, 15}, diagonal({-1, 0})},
        {3, {10, 10}, {15, 15}, diagonal({-1, 0, 1})},
    };
    for (const Case& c : cases) {
        CPaper paper;
        SmoothPaper(paper, 32);
        CPencilTool pencil;
        pencil.SetOptions(5, c.width, 0);
        DrawStroke(pencil, paper, {c.from, c.to, c.to});
        EXPECT_EQ(AsSet(PixelsNot(paper, 255)), c.dabs) << "width " << c.width << " to " << c.to.x << "," << c.to.y;
    }

    // Where parallel walks of a diagonal meet they touch a pixel once each:
    // width 3 at 45 degrees covers three separate diagonals.
    CPaper paper;
    SmoothPaper(paper, 32);
    CPencilTool pencil;
    pencil.SetOptions(5, 3, 0);
    DrawStroke(pencil, paper, {CPoint{10, 10}, CPoint{15, 15}, CPoint{15, 15}});
    for (const auto& [x, y] : PixelsNot(paper, 255)) EXPECT_EQ(paper.GetPixel(x, y), 209);
}

TEST(PencilTool, ReleasePointIsNotDabbedAndSameMoveDrawsNothing)
{
    CPaper paper;
    SmoothPaper(paper, 32);
    CPencilTool pencil;
    CRect changed;
    ASSERT_EQ(pencil.OnPointerDown(nullptr, &paper, 0, 0, 0, 0, changed, 1), 1);
    EXPECT_EQ(pencil.OnPointerMove(5, 0, 5, 0, changed), 1);
    EXPECT_EQ(changed, (CRect{-3, -3, 8, 3}));

    // Standing still: nothing drawn, nothing recorded, nothing changed.
    CRect still{1, 2, 3, 4};
    EXPECT_EQ(pencil.OnPointerMove(5, 0, 5, 0, still), 1);
    EXPECT_TRUE(still.IsEmpty());

    HistoryRecord record;
    int32_t modified = 0;
    CRect last{1, 2, 3, 4};
    EXPECT_EQ(pencil.OnPointerUp(5, 0, 5, 0, last, record, modified), 1);
    EXPECT_TRUE(last.IsEmpty());
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(AsSet(PixelsNot(paper, 255)), (PixelSet{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}));

    ASSERT_EQ(record.nType, HR_PENCIL);
    ASSERT_NE(record.pPoints, nullptr);
    ASSERT_EQ(record.pPoints->GetCount(), 2u);
    EXPECT_EQ((*record.pPoints)[0].x, 0);
    EXPECT_EQ((*record.pPoints)[1].x, 5);
    for (const StrokePoint& p : *record.pPoints) EXPECT_EQ(p.pData, nullptr);
    EXPECT_EQ(pencil.m_pPoints, nullptr) << "the list went to the record";
}

TEST(PencilTool, ChangedRectangleSpansTheSegmentPlusThree)
{
    CPaper paper;
    SmoothPaper(paper, 32);
    CPencilTool pencil;
    CRect changed;
    ASSERT_EQ(pencil.OnPointerDown(nullptr, &paper, 20, 5, 0, 0, changed, 0), 1);
    pencil.OnPointerMove(10, 8, 0, 0, changed);
    EXPECT_EQ(changed, (CRect{7, 2, 23, 11}));
    // The next segment starts where this one ended.
    pencil.OnPointerMove(12, 30, 0, 0, changed);
    EXPECT_EQ(changed, (CRect{7, 5, 15, 33}));
}

TEST(PencilTool, TapLeavesADotAndTwoPoints)
{
    CPaper paper;
    SmoothPaper(paper, 32);
    CPencilTool pencil;
    CRect changed;
    ASSERT_EQ(pencil.OnPointerDown(nullptr, &paper, 12, 7, 0, 0, changed, 1), 1);
    HistoryRecord record;
    int32_t modified = 0;
    EXPECT_EQ(pencil.OnPointerUp(12, 7, 0, 0, changed, record, modified), 1);
    EXPECT_EQ(modified, 1);
    EXPECT_EQ(paper.GetPixel(12, 7), 209);
    EXPECT_EQ(PixelsNot(paper, 255).size(), 1u);
    EXPECT_TRUE(changed.Contains(12, 7));

    EXPECT_EQ(record.nType, HR_PENCIL);
    EXPECT_EQ(record.nParam1, 5);
    EXPECT_EQ(record.nParam2, 1 << 16);
    ASSERT_NE(record.pPoints, nullptr);
    ASSERT_EQ(record.pPoints->GetCount(), 2u);
    EXPECT_EQ((*record.pPoints)[0].x, 12);
    EXPECT_EQ((*record.pPoints)[0].y, 7);
    EXPECT_EQ((*record.pPoints)[1].x, 13);
    EXPECT_EQ((*record.pPoints)[1].y, 8);

    // Unrecorded, a tap draws nothing: the replayed list carries the dot.
    CPaper other;
    SmoothPaper(other, 32);
    HistoryRecord none = DrawStroke(pencil, other, {CPoint{12, 7}, CPoint{12, 7}}, 0);
    EXPECT_EQ(none.nType, HR_NONE);
    EXPECT_TRUE(PixelsNot(other, 255).empty());
}

TEST(PencilTool, RecordCarriesTheOptions)
{
    struct Case {
        int32_t grade, width, smooth, param2;
    };
    const Case cases[] = {{0, 3, 1, 0x30001}, {11, 1, 0, 0x10000}, {7, 2, 1, 0x20001}, {3, 2, 0x10000, 0x20001}};
    for (const Case& c : cases) {
        CPaper paper;
        SmoothPaper(paper, 32);
        CPencilTool pencil;
        pencil.SetOptions(c.grade, c.width, c.smooth);
        HistoryRecord record = DrawStroke(pencil, paper, {CPoint{3, 3}, CPoint{9, 4}, CPoint{20, 20}});
        EXPECT_EQ(record.nType, HR_PENCIL);
        EXPECT_EQ(record.nParam1, c.grade);
        EXPECT_EQ(record.nParam2, c.param2) << c.smooth;
        ASSERT_NE(record.pPoints, nullptr);
        EXPECT_EQ(record.pPoints->GetCount(), 3u);
    }
}

TEST(PencilTool, PressOutsideThePaperIsRefused)
{
    const CPoint outside[] = {{-1, 0}, {0, -1}, {32, 5}, {5, 32}, {-100, 900}};
    for (const CPoint& p : outside) {
        CPaper paper;
        SmoothPaper(paper, 32);
        CPencilTool pencil;
        CRect changed{1, 1, 5, 5};
        EXPECT_EQ(pencil.OnPointerDown(nullptr, &paper, p.x, p.y, 0, 0, changed, 1), 0);
        EXPECT_TRUE(changed.IsEmpty());
        EXPECT_EQ(pencil.m_pPoints, nullptr);
        EXPECT_TRUE(PixelsNot(paper, 255).empty());
    }
    CPencilTool pencil;
    CRect changed;
    EXPECT_EQ(pencil.OnPointerDown(nullptr, nullptr, 0, 0, 0, 0, changed, 1), 0);
    CPaper empty;
    EXPECT_EQ(pencil.OnPointerDown(nullptr, &empty, 0, 0, 0, 0, changed, 1), 0);
}

TEST(PencilTool, MarksAreClippedAtTheEdges)
{
    CPaper paper;
    SmoothPaper(paper, 16);
    CPencilTool pencil;
    pencil.SetOptions(0, 3, 1);
    HistoryRecord record =
        DrawStroke(pencil, paper, {CPoint{0, 0}, CPoint{-40, 7}, CPoint{15, 15}, CPoint{15, 60}, CPoint{15, 60}});
    EXPECT_EQ(record.nType, HR_PENCIL);
    EXPECT_FALSE(PixelsNot(paper, 255).empty());
    // The bytes past the width of each row are padding and stay untouched.
    CPaper narrow;
    ASSERT_TRUE(narrow.Create(13, 8, 1));
    pencil.SetOptions(0, 3, 0);
    DrawStroke(pencil, narrow, {CPoint{0, 4}, CPoint{30, 4}, CPoint{31, 4}});
    const uint8_t* bits = narrow.GetBits();
    for (uint32_t row = 0; row < narrow.GetHeight(); ++row)
        for (uint32_t col = 13; col < narrow.GetStride(); ++col) EXPECT_EQ(bits[row * narrow.GetStride() + col], 255);
}
