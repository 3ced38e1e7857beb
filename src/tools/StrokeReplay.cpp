#include "StrokeReplay.h"

#include "EraserTool.h"
#include "PencilTool.h"

namespace {

bool Replay(CTool& tool, const StrokePointList& points, CPaper& paper)
{
    const size_t count = points.GetCount();
    CRect changed;
    const StrokePoint& first = points[0];
    // Each point goes with the pressure it was recorded with. The client
    // position of a replay is the paper position; no view takes part.
    tool.SetPressure(points.GetPressure(0));
    if (!tool.OnPointerDown(nullptr, &paper, first.x, first.y, first.x, first.y, changed, 0)) return false;
    for (size_t i = 1; i + 1 < count; ++i) {
        const StrokePoint& p = points[i];
        tool.SetPressure(points.GetPressure(i));
        tool.OnPointerMove(p.x, p.y, p.x, p.y, changed);
    }
    // A one-point record ends where it began.
    const StrokePoint& last = points[count - 1];
    HistoryRecord unused;
    int32_t modified = 0;
    tool.SetPressure(points.GetPressure(count - 1));
    tool.OnPointerUp(last.x, last.y, last.x, last.y, changed, unused, modified);
    return true;
}

}  // namespace

bool ReplayStroke(const HistoryRecord& record, CPaper& paper)
{
    if (!record.pPoints || record.pPoints->GetCount() == 0) return false;
    switch (record.nType) {
    case HR_PENCIL: {
        CPencilTool pencil;
        // The high half of the second parameter is the width, the low half the smoothing flag.
        pencil.SetOptions(record.nParam1, record.nParam2 >> 16, record.nParam2 & 0xFFFF);
        return Replay(pencil, *record.pPoints, paper);
    }
    case HR_ERASER: {
        CEraserTool eraser;
        eraser.SetOptions(record.nParam1, record.nParam2);
        return Replay(eraser, *record.pPoints, paper);
    }
    default:
        return false;
    }
}
