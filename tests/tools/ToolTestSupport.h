#pragma once
// Helpers shared by the tool tests: sheets of a known content, a pen that drives a tool through press, moves and
// release the way the document does, and every setting of the two drawing tools.

#include "engine/Paper.h"
#include "tools/EraserTool.h"
#include "tools/PencilTool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using PointList = std::vector<std::pair<int32_t, int32_t>>;
using PixelSet = std::set<std::pair<int32_t, int32_t>>;

// A sheet made at once, all of one gray when fill is given; roughness 1 has no grain anywhere.
struct Sheet : CPaper {
    explicit Sheet(uint32_t width, uint32_t height, uint32_t roughness = 1, int fill = -1)
    {
        EXPECT_TRUE(Create(width, height, roughness));
        if (fill >= 0) std::memset(GetBits(), fill, GetImageSize());
    }
};

// Every pixel that differs from value.
inline PixelSet PixelsNot(const CPaper& paper, uint8_t value)
{
    PixelSet out;
    for (int32_t y = 0; y < int32_t(paper.GetHeight()); ++y)
        for (int32_t x = 0; x < int32_t(paper.GetWidth()); ++x)
            if (paper.GetPixel(x, y) != value) out.emplace(x, y);
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
    if (record.pPoints) for (const StrokePoint& p : *record.pPoints) out.emplace_back(p.x, p.y);
    return out;
}

// Presses at the first point, moves through the middle ones and releases at the last, each with its pressure when
// pressures are given; returns the record the tool filled.
inline HistoryRecord DrawStroke(CTool& tool, CPaper& paper, const std::vector<CPoint>& points, int32_t record = 1,
                                const std::vector<int32_t>& pressures = {})
{
    HistoryRecord out;
    CRect changed;
    int32_t modified = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const CPoint p = points[i];
        if (!pressures.empty()) tool.SetPressure(pressures[i]);
        if (i == 0 && !tool.OnPointerDown(nullptr, &paper, p.x, p.y, p.x, p.y, changed, record)) return out;
        if (i > 0 && i + 1 < points.size()) tool.OnPointerMove(p.x, p.y, p.x, p.y, changed);
        if (i + 1 == points.size()) tool.OnPointerUp(p.x, p.y, p.x, p.y, changed, out, modified);
    }
    EXPECT_EQ(modified, 1);
    return out;
}

// A tool made with the given options.
template <class Tool, class... Options>
std::unique_ptr<Tool> MakeTool(Options... options)
{
    auto tool = std::make_unique<Tool>();
    tool->SetOptions(options...);
    return tool;
}

// One combination of a drawing tool's options: grade, width and smoothing of the pencil, or size and strength of
// the eraser.
struct ToolSetting {
    bool pencil;
    int32_t a, b, c;
    std::unique_ptr<CTool> Make() const
    {
        return pencil ? std::unique_ptr<CTool>(MakeTool<CPencilTool>(a, b, c)) : MakeTool<CEraserTool>(a, b);
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
