#pragma once
// ReplayStroke: redraws a recorded pencil or eraser stroke onto a paper
// through a fresh tool, exactly as the live stroke went: press at the first
// point, a move to every point between, release at the last, each with the
// pressure it was recorded with. The undo
// history rebuilds the drawing with it. Never throws.

#include "HistoryRecord.h"
#include "engine/Paper.h"

// False when the record is not a pencil or eraser stroke, holds no points,
// or its first point misses the paper (nothing is drawn then). A record of a
// single point replays as a press and a release at that point.
bool ReplayStroke(const HistoryRecord& record, CPaper& paper);
