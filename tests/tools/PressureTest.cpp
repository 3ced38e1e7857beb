// Pen pressure in the pencil and the eraser: pressed fully they draw what the mouse draws, lighter presses mark less
// and never more, no pressure marks nothing. The history's replay of pressures is in StrokeReplayTest.

#include "tools/Pressure.h"

#include "ToolTestSupport.h"

#include <cmath>

namespace {

// A path through long and short, straight and slanted segments, with a pixel visited twice.
const std::vector<CPoint> kPath{{4, 5}, {20, 6}, {23, 14}, {9, 25}, {9, 26}, {30, 30}, {12, 12}, {14, 9}};

std::vector<int32_t> Constant(int32_t pressure) { return std::vector<int32_t>(kPath.size(), pressure); }

// A rough sheet already shaded, so that strokes meet graphite and grain.
struct Shaded : Sheet {
    Shaded() : Sheet(40, 40, 10)
    {
        for (int32_t y = 0; y < 40; ++y)
            for (int32_t x = 0; x < 40; ++x) SetPixel(x, y, static_cast<uint8_t>(255 - (x * 7 + y * 3) % 90));
    }
};

}  // namespace

// A lighter press leaves every pixel at least as light, for the pencil (darker is more) and the eraser (lighter is
// more) alike, with every option; no pressure changes nothing; full pressure is the plain stroke.
TEST(Pressure, MorePressureMarksMoreAndNoneMarksNothing)
{
    const Shaded untouched;
    const int32_t ladder[] = {0, 1, 200, 512, 700, 1023, kFullPressure};
    for (const ToolSetting& s : EverySetting()) {
        std::vector<Shaded> papers(std::size(ladder));
        for (size_t i = 0; i < papers.size(); ++i) DrawStroke(*s.Make(), papers[i], kPath, 1, Constant(ladder[i]));
        EXPECT_TRUE(SamePixels(papers.front(), untouched)) << s.Name();
        EXPECT_FALSE(SamePixels(papers[3], papers.back())) << s.Name() << ": half a press is not a full one";
        for (size_t i = 1; i < papers.size(); ++i)
            for (int32_t y = 0; y < 40; ++y)
                for (int32_t x = 0; x < 40; ++x) {
                    const int lighter = papers[i - 1].GetPixel(x, y), harder = papers[i].GetPixel(x, y);
                    ASSERT_TRUE(s.pencil ? harder <= lighter : harder >= lighter)
                        << s.Name() << " at " << x << "," << y << " pressure " << ladder[i];
                }
        Shaded plain;
        const HistoryRecord record = DrawStroke(*s.Make(), plain, kPath);
        EXPECT_TRUE(SamePixels(papers.back(), plain)) << s.Name();
        EXPECT_FALSE(record.pPoints->HasPressures()) << "a fully pressed stroke keeps no pressures";
    }
}

// The pencil prepares its constants for each new pressure; coming back to full must give the mouse's
// pixels again. The press draws nothing, so a light press then full moves draws the same; after a
// light segment the full ones draw as they do alone.
TEST(Pressure, BackToFullPressureDrawsTheMouseStroke)
{
    for (int32_t smooth = 0; smooth <= 1; ++smooth) {
        Shaded mouse, pen;
        const auto pencil = MakeTool<CPencilTool>(2, 3, smooth);
        DrawStroke(*pencil, mouse, kPath);
        std::vector<int32_t> pressures = Constant(kFullPressure);
        pressures[0] = 300;
        const HistoryRecord record = DrawStroke(*pencil, pen, kPath, 1, pressures);
        EXPECT_TRUE(SamePixels(mouse, pen)) << smooth;
        const StrokePointList& kept = *record.pPoints;
        EXPECT_EQ((std::tuple{kept.HasPressures(), kept.GetPressure(0), kept.GetPressure(1)}),
                  (std::tuple{true, 300, kFullPressure}));
        // A light first segment, then full ones: the light part and the full part drawn apart.
        Shaded split, rising;
        const std::vector<CPoint> rest(kPath.begin() + 1, kPath.end());
        DrawStroke(*pencil, split, {kPath[0], kPath[1]}, 1, {300, 300});
        DrawStroke(*pencil, split, rest, 1, std::vector<int32_t>(rest.size(), kFullPressure));
        pressures[1] = 300;
        DrawStroke(*pencil, rising, kPath, 1, pressures);
        EXPECT_TRUE(SamePixels(split, rising)) << smooth;
    }
}

// Half a press: a three-wide "2B" line is two wide and lighter, and a smoothed tap spreads less graphite around its
// centre too.
TEST(Pressure, HalfAPressDrawsANarrowerLineAndALighterSpread)
{
    Sheet line(40, 40), dot(40, 40);
    const auto pencil = MakeTool<CPencilTool>(5, 3, 0);
    DrawStroke(*pencil, line, {{10, 20}, {16, 20}, {16, 20}}, 1, {512, 512, 512});
    PixelSet want;
    for (int32_t x = 10; x <= 15; ++x) want.insert({{x, 19}, {x, 20}});
    EXPECT_EQ(PixelsNot(line, 255), want);
    EXPECT_EQ(line.GetPixel(12, 19), 232);
    pencil->SetOptions(5, 2, 1);
    DrawStroke(*pencil, dot, {{20, 20}, {20, 20}}, 1, {512, 512});
    std::vector<int> row;
    for (int32_t x = 18; x <= 22; ++x) row.push_back(dot.GetPixel(x, 20));
    EXPECT_EQ(row, (std::vector<int>{253, 250, 235, 250, 253}));
}

// Fractions from the device become whole steps.
TEST(Pressure, StepsFromTheDeviceInTheToolsAndTheList)
{
    const std::pair<double, int32_t> cases[] = {
        {1.0, kFullPressure}, {0.5, kFullPressure / 2}, {0.0, 0}, {-0.2, 0}, {1.7, kFullPressure}, {0.3, 307},
        {std::nan(""), kFullPressure}};
    for (auto [fraction, steps] : cases) EXPECT_EQ(PressureFromFraction(fraction), steps) << fraction;

    // A point list keeps pressures only once one is less than full, the points before it then pressed fully.
    StrokePointList list;
    ASSERT_TRUE(list.Append(1, 1) && list.Append(2, 2, kFullPressure));
    EXPECT_FALSE(list.HasPressures());
    ASSERT_TRUE(list.Append(3, 3, 40) && list.Append(4, 4) && list.Append(5, 5, 5000));  // 5000 is clamped
    ASSERT_TRUE(list.HasPressures());
    std::vector<int32_t> kept;
    for (size_t i = 0; i < list.GetCount(); ++i) kept.push_back(list.GetPressure(i));
    EXPECT_EQ(kept, (std::vector<int32_t>{kFullPressure, kFullPressure, 40, kFullPressure, kFullPressure}));
}
