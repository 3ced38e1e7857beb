// Undo and redo with a full history: twenty long smoothed strokes of the
// widest pencil on the largest, roughest sheet. Undo copies the base paper and
// replays nineteen strokes; redo replays one.

#include "document/QuillexDoc.h"
#include "framework/CommandIds.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kSide = 2048;
constexpr int kRoughness = 10;
constexpr int kStrokes = 20;
constexpr int kStrokeLength = 2000;
constexpr int kStep = 4;  // pixels between recorded pointer positions

std::unique_ptr<CQuillexDoc> MakeFullHistory()
{
    static AppServices services;
    auto doc = std::make_unique<CQuillexDoc>(services);
    CPaper sheet;
    sheet.Create(kSide, kSide, kRoughness);
    doc->SetSheet(sheet);
    doc->SetPencilOptions(kDefaultGrade, kPencilMaxWidth, 1);
    for (int s = 0; s < kStrokes; ++s) {
        // A gentle wave across the sheet, each stroke on its own band.
        const int baseY = 40 + s * 100;
        auto at = [&](int i) {
            const int x = 24 + i;
            const int y = baseY + static_cast<int>(std::lround(30.0 * std::sin(i / 90.0)));
            return CPoint{x, y};
        };
        CPoint p = at(0);
        doc->PointerDown(nullptr, p.x, p.y, p.x, p.y);
        for (int i = kStep; i < kStrokeLength; i += kStep) {
            p = at(i);
            doc->PointerMove(p.x, p.y, p.x, p.y);
        }
        p = at(kStrokeLength);
        doc->PointerUp(p.x, p.y, p.x, p.y);
    }
    return doc;
}

void BM_UndoFullHistory(benchmark::State& state)
{
    auto doc = MakeFullHistory();
    if (doc->GetHistoryCount() != kStrokes) state.SkipWithError("history not full");
    for (auto _ : state) {
        doc->OnEditUndo();
        state.PauseTiming();
        doc->OnEditRedo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoFullHistory)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_RedoOneStroke(benchmark::State& state)
{
    auto doc = MakeFullHistory();
    if (doc->GetHistoryCount() != kStrokes) state.SkipWithError("history not full");
    for (auto _ : state) {
        state.PauseTiming();
        doc->OnEditUndo();
        state.ResumeTiming();
        doc->OnEditRedo();
    }
}
BENCHMARK(BM_RedoOneStroke)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
