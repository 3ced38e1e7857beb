#pragma once
// HistoryRecord: one undoable change as the tools and the document describe
// it. A stroke is its tool's options and recorded positions; the document's
// own paste and clear records keep a rectangle (and a pixel block) in their
// two points. Once handed to the history the record owns its point list.

#include "StrokePointList.h"

#include <cstdint>
#include <memory>

enum HistoryType : int32_t {
    HR_NONE = -1,
    HR_PENCIL = 0,  // nParam1 grade, nParam2 (width << 16) | smooth
    HR_ERASER = 1,  // nParam1 size, nParam2 strength
    HR_PASTE = 2,   // nParam1 transparent, nParam2 the pixels' size in bytes;
                    // points (left, top) and (right, bottom, pixels)
    HR_CLEAR = 3,   // points (left, top) and (right, bottom)
};

struct HistoryRecord {
    int32_t nType = HR_NONE;
    int32_t nParam1 = 0;
    int32_t nParam2 = 0;
    std::unique_ptr<StrokePointList> pPoints;
};
