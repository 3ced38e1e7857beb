#pragma once
// Helpers shared by the tool tests: papers of a known content and a pen that
// drives a tool through press, moves and release the way the document does.

#include "engine/Paper.h"
#include "tools/Tool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

using PointList = std::vector<std::pair<int32_t, int32_t>>;

inline void FillPaper(CPaper& paper, uint8_t value)
{
    for (int32_t y = 0; y < static_cast<int32_t>(paper.GetHeight()); ++y)
        for (int32_t x = 0; x < static_cast<int32_t>(paper.GetWidth()); ++x) paper.SetPixel(x, y, value);
}

// Every pixel that differs from value, in row order.
inline PointList PixelsNot(const CPaper& paper, uint8_t value)
{
    PointList out;
    for (int32_t y = 0; y < static_cast<int32_t>(paper.GetHeight()); ++y)
        for (int32_t x = 0; x < static_cast<int32_t>(paper.GetWidth()); ++x)
            if (paper.GetPixel(x, y) != value) out.emplace_back(x, y);
    return out;
}

// The recorded points of a stroke, which carry no extra data.
inline PointList Points(const HistoryRecord& record)
{
    PointList out;
    if (record.pPoints)
        for (const StrokePoint& p : *record.pPoints) {
            out.emplace_back(p.x, p.y);
            EXPECT_EQ(p.pData, nullptr);
        }
    return out;
}

// Presses at the first point, moves through the middle ones and releases at
// the last, recording; returns the record the tool filled.
inline HistoryRecord DrawStroke(CTool& tool, CPaper& paper, const std::vector<CPoint>& points,
                                int32_t record = 1)
{
    HistoryRecord out;
    CRect changed;
    const CPoint first = points.front();
    if (!tool.OnPointerDown(nullptr, &paper, first.x, first.y, first.x, first.y, changed, record)) return out;
    for (size_t i = 1; i + 1 < points.size(); ++i)
        tool.OnPointerMove(points[i].x, points[i].y, points[i].x, points[i].y, changed);
    int32_t modified = 0;
    tool.OnPointerUp(points.back().x, points.back().y, points.back().x, points.back().y, changed, out, modified);
    EXPECT_EQ(modified, 1);
    return out;
}

// A grain pixel of the paper, away from its edges.
inline CPoint FindGrain(const CPaper& paper)
{
    for (int32_t y = 2; y < static_cast<int32_t>(paper.GetHeight()) - 2; ++y)
        for (int32_t x = 2; x < static_cast<int32_t>(paper.GetWidth()) - 2; ++x)
            if (paper.IsGrain(x, y)) return CPoint{x, y};
    return CPoint{-1, -1};
}
