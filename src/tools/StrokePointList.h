#pragma once
// StrokePointList: the positions of one stroke in the order the pointer
// visited them. Tools append paper positions with no data; the history's
// paste records keep a pixel block in the second point. The list owns those
// blocks, and destroying it frees them.

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
        try {
            if (m_points.size() == m_points.capacity()) m_points.reserve(m_points.size() + kGrowBy * 4);
            m_points.push_back(StrokePoint{x, y, std::move(data)});
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }
    size_t GetCount() const { return m_points.size(); }
    const StrokePoint& operator[](size_t i) const { return m_points[i]; }
    StrokePoint& operator[](size_t i) { return m_points[i]; }

    auto begin() const { return m_points.begin(); }
    auto end() const { return m_points.end(); }

private:
    static constexpr size_t kGrowBy = 10;
    std::vector<StrokePoint> m_points;
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
inline void RecordStrokePoint(std::unique_ptr<StrokePointList>& stroke, int32_t x, int32_t y) noexcept
{
    if (stroke && !stroke->Append(x, y)) stroke.reset();
}
