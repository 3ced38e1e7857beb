#pragma once
// CTool: the one pointer interface of every tool. The document forwards a
// gesture's press, moves and release here; the tool answers with the paper
// rectangle it changed, whether the paper may have changed, and for a stroke
// worth undoing a HistoryRecord. Results are non-zero for acceptance.

#include "HistoryRecord.h"
#include "Pressure.h"
#include "ToolView.h"
#include "engine/Geometry.h"
#include "engine/Paper.h"

#include <algorithm>
#include <cstdint>

class CTool {
public:
    CTool() = default;
    virtual ~CTool() = default;
    CTool(const CTool&) = delete;
    CTool& operator=(const CTool&) = delete;

    // record: the caller preset nType to HR_NONE; the tool fills it only when
    // it recorded the stroke. modified: always written.
    virtual int32_t OnPointerUp(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed,
                                HistoryRecord& record, int32_t& modified) = 0;
    // view is null during a history replay; record non-zero asks the tool to
    // keep the stroke's positions. A zero result declines the gesture.
    virtual int32_t OnPointerDown(IToolView* view, CPaper* paper, int32_t x, int32_t y, int32_t cx,
                                  int32_t cy, CRect& changed, int32_t record) = 0;
    virtual int32_t OnPointerMove(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed) = 0;

    // The pen's pressure for the press, move or release that follows, 0 ..
    // kFullPressure. The drawing tools honour it while m_bPressure is on and
    // draw as if pressed fully otherwise; the others never look at it.
    void SetPressure(int32_t pressure) { m_nPressure = std::clamp(pressure, 0, kFullPressure); }
    int32_t GetPressure() const { return m_bPressure ? m_nPressure : kFullPressure; }

    CPaper* m_pPaper = nullptr;
    IToolView* m_pView = nullptr;
    int32_t m_nPressure = kFullPressure;
    int32_t m_bPressure = 1;
};
