// The cost of drawing: the grain test, one pencil or eraser stroke of 2,000
// pixels on the largest rough sheet, the same pencil stroke drawn by a pen
// whose pressure changes at every point, and the worst undo, which replays 20
// such smoothed strokes onto a fresh sheet.
//
// Figures to compare: "per_test" for the grain (target under 2 ns), the CPU
// time per iteration and "per_segment" for the strokes (a pen's stroke no
// more than 10% above the mouse's), and "per_undo" for the replay (target
// under 25 ms).

#include "engine/Paper.h"
#include "tools/EraserTool.h"
#include "tools/PencilTool.h"
#include "tools/StrokeReplay.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kSheet = 2048;
constexpr uint32_t kRoughness = 10;
constexpr int32_t kStrokeLength = 2000;  // pixels along the dominant axis of every segment
constexpr int kUndoStrokes = 20;

// A stroke curving round a circle of about 320 pixels radius in segments of
// about 10 pixels, as a hand draws it; its walks add up to kStrokeLength.
std::vector<CPoint> CurvedStroke(int32_t cx, int32_t cy, double turn)
{
    std::vector<CPoint> points;
    CPoint p{cx, cy};
    points.push_back(p);
    int32_t walked = 0;
    for (int i = 0; walked < kStrokeLength; ++i) {
        const double a = turn + i * 0.031;
        int32_t dx = static_cast<int32_t>(std::lround(10 * std::cos(a)));
        int32_t dy = static_cast<int32_t>(std::lround(10 * std::sin(a)));
        const int32_t step = std::max(std::abs(dx), std::abs(dy));
        if (walked + step > kStrokeLength) {
            // Shorten the last segment so the walks end on the length exactly.
            const int32_t left = kStrokeLength - walked;
            dx = dx * left / step;
            dy = dy * left / step;
        }
        walked += std::max(std::abs(dx), std::abs(dy));
        p = CPoint{p.x + dx, p.y + dy};
        points.push_back(p);
    }
    // The release repeats the last position, so the last segment is drawn
    // by the last move and the release adds nothing.
    points.push_back(p);
    return points;
}

// pressures: one a point, or empty for a mouse's stroke.
HistoryRecord Draw(CTool& tool, CPaper& paper, const std::vector<CPoint>& points,
                   const std::vector<int32_t>& pressures = {})
{
    HistoryRecord record;
    CRect changed;
    auto press = [&](size_t i) {
        if (!pressures.empty()) tool.SetPressure(pressures[i]);
    };
    press(0);
    if (!tool.OnPointerDown(nullptr, &paper, points.front().x, points.front().y, 0, 0, changed, 1)) return record;
    for (size_t i = 1; i + 1 < points.size(); ++i) {
        press(i);
        tool.OnPointerMove(points[i].x, points[i].y, 0, 0, changed);
    }
    int32_t modified = 0;
    press(points.size() - 1);
    tool.OnPointerUp(points.back().x, points.back().y, 0, 0, changed, record, modified);
    return record;
}

// A pen pressed harder and lighter along the stroke, a new pressure at every
// point, always hard enough for the full width: the lines are as many as a
// mouse's, so the difference is what pressure itself costs.
std::vector<int32_t> PressureWave(size_t count)
{
    std::vector<int32_t> pressures;
    for (size_t i = 0; i < count; ++i)
        pressures.push_back(PressureFromFraction(0.84 + 0.15 * std::sin(static_cast<double>(i) * 0.21)));
    return pressures;
}

bool Sheet(CPaper& paper) { return paper.Create(kSheet, kSheet, kRoughness); }

void BM_GrainTest(benchmark::State& state)
{
    CPaper paper;
    if (!Sheet(paper)) {
        state.SkipWithError("no sheet");
        return;
    }
    int64_t tests = 0;
    for (auto _ : state) {
        uint32_t grains = 0;
        for (int32_t y = 0; y < 256; ++y)
            for (int32_t x = 0; x < static_cast<int32_t>(kSheet); ++x) grains += paper.IsGrain(x, y);
        benchmark::DoNotOptimize(grains);
        tests += 256 * kSheet;
    }
    // An inverted rate over CPU time: printed as seconds per test ("1.5ns"),
    // and unmoved by other programs sharing the machine.
    state.counters["per_test"] = benchmark::Counter(static_cast<double>(tests),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_GrainTest);

// Every iteration starts from white paper, because graphite piling up at
// the grade's floor would make later strokes cheaper than the first.
void StrokeBenchmark(benchmark::State& state, CTool& tool, bool pen = false)
{
    CPaper paper;
    if (!Sheet(paper)) {
        state.SkipWithError("no sheet");
        return;
    }
    const std::vector<CPoint> stroke = CurvedStroke(1024, 700, 0.0);
    const std::vector<int32_t> pressures = pen ? PressureWave(stroke.size()) : std::vector<int32_t>{};
    for (auto _ : state) {
        state.PauseTiming();
        std::memset(paper.GetBits(), 255, paper.GetImageSize());
        state.ResumeTiming();
        HistoryRecord record = Draw(tool, paper, stroke, pressures);
        benchmark::DoNotOptimize(record.pPoints.get());
    }
    state.counters["pixels"] = kStrokeLength;
    state.counters["points"] = static_cast<double>(stroke.size());
    // Segments: every move and the release that repeats the last point.
    const double segments = static_cast<double>(stroke.size() - 2);
    state.counters["per_segment"] = benchmark::Counter(static_cast<double>(state.iterations()) * segments,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PencilStroke(benchmark::State& state)
{
    CPencilTool pencil;
    pencil.SetOptions(kDefaultGrade, 3, static_cast<int32_t>(state.range(0)));
    StrokeBenchmark(state, pencil);
}
BENCHMARK(BM_PencilStroke)->ArgName("smooth")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_PressureStroke(benchmark::State& state)
{
    CPencilTool pencil;
    pencil.SetOptions(kDefaultGrade, 3, static_cast<int32_t>(state.range(0)));
    StrokeBenchmark(state, pencil, true);
}
BENCHMARK(BM_PressureStroke)->ArgName("smooth")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_EraserStroke(benchmark::State& state)
{
    CEraserTool eraser;
    eraser.SetOptions(3, 2);
    CPaper paper;
    if (!Sheet(paper)) {
        state.SkipWithError("no sheet");
        return;
    }
    // The eraser stamps at each position, so its 2,000 pixels are 2,000
    // positions one pixel apart, on gray paper so that every stamp works.
    std::vector<CPoint> stroke;
    for (int32_t i = 0; i <= kStrokeLength; ++i) stroke.push_back(CPoint{24 + i, 1024 + (i / 50) % 2});
    for (auto _ : state) {
        state.PauseTiming();
        std::memset(paper.GetBits(), 60, paper.GetImageSize());
        state.ResumeTiming();
        HistoryRecord record = Draw(eraser, paper, stroke);
        benchmark::DoNotOptimize(record.pPoints.get());
    }
    state.counters["pixels"] = kStrokeLength;
}
BENCHMARK(BM_EraserStroke)->Unit(benchmark::kMicrosecond);

// The worst undo: a fresh sheet and 20 smoothed width-3 strokes replayed.
void BM_UndoReplay(benchmark::State& state)
{
    std::vector<HistoryRecord> history;
    {
        CPaper scratch;
        if (!Sheet(scratch)) {
            state.SkipWithError("no sheet");
            return;
        }
        CPencilTool pencil;
        pencil.SetOptions(kDefaultGrade, 3, 1);
        for (int i = 0; i < kUndoStrokes; ++i) {
            const std::vector<CPoint> stroke = CurvedStroke(700 + 30 * i, 600 + 25 * i, 0.3 * i);
            history.push_back(Draw(pencil, scratch, stroke));
            if (history.back().nType != HR_PENCIL) {
                state.SkipWithError("stroke not recorded");
                return;
            }
        }
    }
    for (auto _ : state) {
        CPaper paper;
        if (!Sheet(paper)) {
            state.SkipWithError("no sheet");
            return;
        }
        for (const HistoryRecord& record : history) ReplayStroke(record, paper);
        benchmark::DoNotOptimize(paper.GetBits());
    }
    state.counters["per_undo"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["strokes"] = kUndoStrokes;
}
BENCHMARK(BM_UndoReplay)->Unit(benchmark::kMillisecond);

}  // namespace
