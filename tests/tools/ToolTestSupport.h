#pragma once
// Helpers shared by the tool tests: papers of a known content, a pen that
// drives a tool through press, moves and release the way the document does,
// and every setting of the two drawing tools.

#include "engine/Paper.h"
#include "tools/EraserTool.h"
#include "tools/PencilTool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
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

inline bool SamePixels(const CPaper& a, const CPaper& b)
{
    return a.GetImageSize() == b.GetImageSize() && std::memcmp(a.GetBits(), b.GetBits(), a.GetImageSize()) == 0;
}

// The recorded points of a stroke.
inline PointList Points(const HistoryRecord& record)
{
    PointList out;
    if (record.pPoints)
        for (const StrokePoint& p : *record.pPoints) out.emplace_back(p.x, p.y);
    return out;
}

// Presses at the first point, moves through the middle ones and releases at
// the last, each with its pressure when pressures are given; returns the
// record the tool filled.
inline HistoryRecord DrawStroke(CTool& tool, CPaper& paper, const std::vector<CPoint>& points, int32_t record = 1,
                                const std::vector<int32_t>& pressures = {})
{
    auto press = [&](size_t i) {
        if (!pressures.empty()) tool.SetPressure(pressures[i]);
        return points[i];
    };
    HistoryRecord out;
    CRect changed;
    const CPoint first = press(0);
    if (!tool.OnPointerDown(nullptr, &paper, first.x, first.y, first.x, first.y, changed, record)) return out;
    for (size_t i = 1; i + 1 < points.size(); ++i) {
        const CPoint p = press(i);
        tool.OnPointerMove(p.x, p.y, p.x, p.y, changed);
    }
    int32_t modified = 0;
    const CPoint last = press(points.size() - 1);
    tool.OnPointerUp(last.x, last.y, last.x, last.y, changed, out, modified);
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

// One combination of a drawing tool's options: grade, width and smoothing of
// the pencil, or size and strength of the eraser.
struct ToolSetting {
    bool pencil;
    int32_t a, b, c;

    std::unique_ptr<CTool> Make() const
    {
        if (pencil) {
            auto tool = std::make_unique<CPencilTool>();
            tool->SetOptions(a, b, c);
            return tool;
        }
        auto tool = std::make_unique<CEraserTool>();
        tool->SetOptions(a, b);
        return tool;
    }
    std::string Name() const
    {
        return (pencil ? "pencil " : "eraser ") + std::to_string(a) + "/" + std::to_string(b) + "/" + std::to_string(c);
    }
};

inline std::vector<ToolSetting> EverySetting()
{
    std::vector<ToolSetting> out;
    for (int32_t a = 0; a < kGradeCount; ++a)
        for (int32_t b = 1; b <= 3; ++b) out.insert(out.end(), {{true, a, b, 0}, {true, a, b, 1}});
    for (int32_t a = 1; a <= 3; ++a)
        for (int32_t b = 1; b <= 3; ++b) out.push_back({false, a, b, 0});
    return out;
}
