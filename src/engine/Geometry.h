#pragma once
// Points, sizes and rectangles as the whole program uses them: signed 32-bit
// pixels, rectangles with right and bottom exclusive, empty when either extent
// is not positive.

#include <algorithm>
#include <cstdint>

struct CPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    void SetEmpty() { left = top = right = bottom = 0; }

    void Inflate(int32_t d) { left -= d; top -= d; right += d; bottom += d; }
    void Offset(int32_t dx, int32_t dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void Normalize()
    {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }

    // The rectangle spanned by two corner points, normalised.
    static CRect Spanned(CPoint a, CPoint b)
    {
        CRect r{a.x, a.y, b.x, b.y};
        r.Normalize();
        return r;
    }

    // Intersection; the result may be empty.
    static CRect Intersect(const CRect& a, const CRect& b)
    {
        return CRect{std::max(a.left, b.left), std::max(a.top, b.top),
                     std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    }

    // Smallest rectangle holding both; an empty operand does not count.
    static CRect Union(const CRect& a, const CRect& b)
    {
        if (a.IsEmpty()) return b;
        if (b.IsEmpty()) return a;
        return CRect{std::min(a.left, b.left), std::min(a.top, b.top),
                     std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
    }

    friend bool operator==(const CRect&, const CRect&) = default;
};
