// Pen pressure in the pencil and the eraser: pressed fully they draw what the
// mouse draws, lighter presses mark less and never more, no pressure marks
// nothing, and the history replays every pressure it kept.

#include "tools/EraserTool.h"
#include "tools/PencilTool.h"
#include "tools/StrokeReplay.h"

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A path through long and short, straight and slanted segments, with a
// pixel visited twice.
const std::vector<CPoint> kPath{{4, 5}, {20, 6}, {23, 14}, {9, 25}, {9, 26}, {30, 30}, {12, 12}, {14, 9}};

// The stroke of DrawStroke, each point with its own pressure.
HistoryRecord DrawPressed(CTool& tool, CPaper& paper, const std::vector<CPoint>& points,
                          const std::vector<int32_t>& pressures)
{
    HistoryRecord out;
    CRect changed;
    tool.SetPressure(pressures[0]);
    if (!tool.OnPointerDown(nullptr, &paper, points[0].x, points[0].y, 0, 0, changed, 1)) return out;
    for (size_t i = 1; i + 1 < points.size(); ++i) {
        tool.SetPressure(pressures[i]);
        tool.OnPointerMove(points[i].x, points[i].y, 0, 0, changed);
    }
    int32_t modified = 0;
    tool.SetPressure(pressures.back());
    tool.OnPointerUp(points.back().x, points.back().y, 0, 0, changed, out, modified);
    return out;
}

std::vector<int32_t> Constant(int32_t pressure) { return std::vector<int32_t>(kPath.size(), pressure); }

bool SamePixels(const CPaper& a, const CPaper& b) { return std::memcmp(a.GetBits(), b.GetBits(), a.GetImageSize()) == 0; }

// A rough sheet already shaded, so that strokes meet graphite and grain.
void ShadedPaper(CPaper& paper)
{
    ASSERT_TRUE(paper.Create(40, 40, 10));
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 40; ++x) paper.SetPixel(x, y, static_cast<uint8_t>(255 - (x * 7 + y * 3) % 90));
}

// Each tool setting: the name and how to set it on fresh tools.
struct Setting {
    std::string name;
    bool pencil;
    int32_t a, b, c;
};

std::vector<Setting> EverySetting()
{
    std::vector<Setting> out;
    for (int32_t grade = 0; grade < kGradeCount; ++grade)
        for (int32_t width = 1; width <= 3; ++width)
            for (int32_t smooth = 0; smooth <= 1; ++smooth)
                out.push_back({std::string(kGradeNames[grade]) + " w" + std::to_string(width) + " s" +
                                   std::to_string(smooth),
                               true, grade, width, smooth});
    for (int32_t size = 1; size <= 3; ++size)
        for (int32_t strength = 1; strength <= 3; ++strength)
            out.push_back({"eraser " + std::to_string(size) + "/" + std::to_string(strength), false, size, strength, 0});
    return out;
}

// Draws the path with one setting at one pressure for every point.
void DrawAt(const Setting& s, int32_t pressure, CPaper& paper)
{
    ShadedPaper(paper);
    CPencilTool pencil;
    CEraserTool eraser;
    pencil.SetOptions(s.a, s.b, s.c);
    eraser.SetOptions(s.a, s.b);
    DrawPressed(s.pencil ? static_cast<CTool&>(pencil) : eraser, paper, kPath, Constant(pressure));
}

}  // namespace

// A lighter press leaves every pixel at least as light, for the pencil
// (darker is more) and the eraser (lighter is more) alike, with every
// option; no pressure changes nothing; full pressure is the plain stroke.
TEST(Pressure, MorePressureMarksMoreAndNoneMarksNothing)
{
    CPaper untouched;
    ShadedPaper(untouched);
    const int32_t ladder[] = {0, 1, 200, 512, 700, 1023, kFullPressure};
    for (const Setting& s : EverySetting()) {
        std::vector<CPaper> papers(std::size(ladder));
        for (size_t i = 0; i < papers.size(); ++i) DrawAt(s, ladder[i], papers[i]);
        EXPECT_TRUE(SamePixels(papers.front(), untouched)) << s.name;
        EXPECT_FALSE(SamePixels(papers[3], papers.back())) << s.name << ": half a press is not a full one";
        for (size_t i = 1; i < papers.size(); ++i)
            for (int32_t y = 0; y < 40; ++y)
                for (int32_t x = 0; x < 40; ++x) {
                    const int lighter = papers[i - 1].GetPixel(x, y), harder = papers[i].GetPixel(x, y);
                    ASSERT_TRUE(s.pencil ? harder <= lighter : harder >= lighter)
                        << s.name << " at " << x << "," << y << " pressure " << ladder[i];
                }

        CPaper plain;
        ShadedPaper(plain);
        CPencilTool pencil;
        CEraserTool eraser;
        pencil.SetOptions(s.a, s.b, s.c);
        eraser.SetOptions(s.a, s.b);
        const HistoryRecord record = DrawStroke(s.pencil ? static_cast<CTool&>(pencil) : eraser, plain, kPath);
        EXPECT_TRUE(SamePixels(papers.back(), plain)) << s.name;
        EXPECT_FALSE(record.pPoints->HasPressures()) << "a fully pressed stroke keeps no pressures";
    }
}

TEST(Pressure, RecordsKeepEveryPressureAndReplayTheSamePixels)
{
    CPaper live, rebuilt;
    ShadedPaper(live);
    ShadedPaper(rebuilt);
    std::vector<HistoryRecord> history;
    uint32_t seed = 7;
    auto pressures = [&] {
        std::vector<int32_t> out;
        for (size_t i = 0; i < kPath.size(); ++i) out.push_back(int32_t(((seed = seed * 1664525u + 1013904223u) >> 16) % (kFullPressure + 1)));
        return out;
    };
    for (const Setting& s : EverySetting()) {
        CPencilTool pencil;
        CEraserTool eraser;
        pencil.SetOptions(s.a, s.b, s.c);
        eraser.SetOptions(s.a, s.b);
        const std::vector<int32_t> p = pressures();
        history.push_back(DrawPressed(s.pencil ? static_cast<CTool&>(pencil) : eraser, live, kPath, p));
        ASSERT_NE(history.back().nType, HR_NONE);
        EXPECT_TRUE(history.back().pPoints->HasPressures());
    }
    // A tap with a light press keeps its dot.
    CPencilTool pencil;
    history.push_back(DrawPressed(pencil, live, {CPoint{20, 20}, CPoint{20, 20}}, {400, 400}));
    ASSERT_EQ(history.back().pPoints->GetCount(), 2u);

    for (const HistoryRecord& record : history) ASSERT_TRUE(ReplayStroke(record, rebuilt));
    EXPECT_TRUE(SamePixels(live, rebuilt));
}
