#pragma once
// StrokePointList: the positions of one stroke in the order the pointer
// visited them, with the pen's pressure at each. Tools append paper positions
// with no data; the history's paste records keep a pixel block in the second
// point. The list owns those blocks, and destroying it frees them.

#include "Pressure.h"
#include "engine/Paper.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

struct StrokePoint {
    int32_t x = 0;
    int32_t y = 0;
    PixelBuffer pData;
};

class StrokePointList {
public:
    StrokePointList() { m_points.reserve(kGrowBy); }

    // False when memory ran out; the list is then as it was.
    bool Append(int32_t x, int32_t y, PixelBuffer data = nullptr) noexcept
    {
        return Add(x, y, std::move(data), kFullPressure);
    }
    // A point with the pen's pressure, 0 .. kFullPressure (clamped).
    bool Append(int32_t x, int32_t y, int32_t pressure) noexcept
    {
        return Add(x, y, nullptr, pressure < 0 ? 0 : pressure > kFullPressure ? kFullPressure : pressure);
    }
    size_t GetCount() const { return m_points.size(); }
    int32_t GetPressure(size_t i) const { return m_pressures.empty() ? kFullPressure : m_pressures[i]; }
    // Whether any point was pressed less than fully; a stroke of the mouse
    // keeps no pressures at all and costs no more than it always did.
    bool HasPressures() const { return !m_pressures.empty(); }
    const StrokePoint& operator[](size_t i) const { return m_points[i]; }
    StrokePoint& operator[](size_t i) { return m_points[i]; }

    auto begin() const { return m_points.begin(); }
    auto end() const { return m_points.end(); }

private:
    bool Add(int32_t x, int32_t y, PixelBuffer data, int32_t pressure) noexcept
    {
        const bool pressed = pressure != kFullPressure || !m_pressures.empty();
        try {
            if (m_points.size() == m_points.capacity()) m_points.reserve(m_points.size() + kGrowBy * 4);
            if (pressed) {
                // The points before the first one pressed less were pressed fully.
                if (m_pressures.empty()) m_pressures.assign(m_points.size(), static_cast<uint16_t>(kFullPressure));
                m_pressures.push_back(static_cast<uint16_t>(pressure));
            }
            m_points.push_back(StrokePoint{x, y, std::move(data)});
        } catch (const std::bad_alloc&) {
            // Both lists hold one entry a point, or the pressures none.
            if (m_pressures.size() > m_points.size()) m_pressures.pop_back();
            return false;
        }
        return true;
    }

    static constexpr size_t kGrowBy = 10;
    std::vector<StrokePoint> m_points;
    // Empty while every point was pressed fully, else one entry a point.
    std::vector<uint16_t> m_pressures;
};

// A new, empty list, or null when memory ran out.
inline std::unique_ptr<StrokePointList> NewStrokePointList() noexcept
{
    try {
        return std::make_unique<StrokePointList>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Appends to the stroke a tool is recording, if it records one. A stroke that
// cannot be recorded whole is not recorded at all: a list with a gap would
// replay differently from what was drawn.
inline void RecordStrokePoint(std::unique_ptr<StrokePointList>& stroke, int32_t x, int32_t y,
                              int32_t pressure = kFullPressure) noexcept
{
    if (stroke && !stroke->Append(x, y, pressure)) stroke.reset();
}
