#include "ViewGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

CSize CViewGeometry::TotalSize() const
{
    return CSize{m_sizeZoom.cx + 2 * m_sizeMargin.cx, m_sizeZoom.cy + 2 * m_sizeMargin.cy};
}

CSize CViewGeometry::ScrollLimit() const
{
    const CSize total = TotalSize();
    return CSize{std::max(0, total.cx - m_sizeClient.cx), std::max(0, total.cy - m_sizeClient.cy)};
}

bool CViewGeometry::UpdateOrigin()
{
    const CPoint old = m_ptOrigin;
    m_ptOrigin.x = m_sizeClient.cx > m_sizeZoom.cx ? (m_sizeClient.cx - m_sizeZoom.cx) / 2 : 0;
    m_ptOrigin.y = m_sizeClient.cy > m_sizeZoom.cy ? (m_sizeClient.cy - m_sizeZoom.cy) / 2 : 0;
    m_ptOrigin.x = std::max(m_ptOrigin.x, m_sizeMargin.cx);
    m_ptOrigin.y = std::max(m_ptOrigin.y, m_sizeMargin.cy);
    return !(old == m_ptOrigin);
}

CPoint CViewGeometry::ClampScroll(int32_t x, int32_t y) const
{
    const CSize total = TotalSize();
    const CSize limit = ScrollLimit();
    CPoint result = m_ptScroll;
    if (total.cx > m_sizeClient.cx) result.x = std::clamp(x, 0, limit.cx);
    if (total.cy > m_sizeClient.cy) result.y = std::clamp(y, 0, limit.cy);
    return result;
}

bool CViewGeometry::ComputeZoom(float factor, CSize& newZoom, float& effective) const
{
    if (!HasPaper()) return false;
    const float scale = static_cast<float>(m_sizeZoom.cx) / static_cast<float>(m_sizePaper.cx);
    // The last accepted step may overshoot up to 9.6; beyond 8 no more.
    if (factor > 1.0f && !(scale <= 8.0f)) return false;
    if (factor < 1.0f && (m_sizeZoom.cx < 8 || m_sizeZoom.cy < 8)) return false;
    if (factor == 1.0f) {
        newZoom = m_sizePaper;
        effective = 1.0f / scale;
        return true;
    }
    const float newScale = scale * factor;
    newZoom.cx = static_cast<int32_t>(static_cast<float>(m_sizePaper.cx) * newScale);
    newZoom.cy = static_cast<int32_t>(static_cast<float>(m_sizePaper.cy) * newScale);
    effective = factor;
    // A step that would shrink the paper to nothing would leave the mapping
    // without a divisor.
    return newZoom.cx > 0 && newZoom.cy > 0;
}

CPoint CViewGeometry::ZoomScrollTarget(CPoint oldScroll, CPoint oldOrigin, float effective) const
{
    const int32_t dx = oldScroll.x + m_sizeClient.cx / 2 - oldOrigin.x;
    const int32_t dy = oldScroll.y + m_sizeClient.cy / 2 - oldOrigin.y;
    const float fx = static_cast<float>(dx);
    const float fy = static_cast<float>(dy);
    const float moveX = (fx * effective - fx) + static_cast<float>(m_ptOrigin.x - oldOrigin.x);
    const float moveY = (fy * effective - fy) + static_cast<float>(m_ptOrigin.y - oldOrigin.y);
    return CPoint{oldScroll.x + static_cast<int32_t>(moveX), oldScroll.y + static_cast<int32_t>(moveY)};
}

CPoint CViewGeometry::ZoomScrollTargetAt(CPoint oldScroll, CPoint oldOrigin, CSize oldZoom, CPoint anchor) const
{
    if (oldZoom.cx <= 0 || oldZoom.cy <= 0) return m_ptScroll;
    // The middle of the anchor pixel, as a fraction of the way across the
    // paper shown before; mirrored or not, the same fraction shows the same
    // paper point, so the paper moves to put it back under the anchor.
    const double ax = anchor.x + 0.5;
    const double ay = anchor.y + 0.5;
    const double fx = (ax - (oldOrigin.x - oldScroll.x)) / oldZoom.cx;
    const double fy = (ay - (oldOrigin.y - oldScroll.y)) / oldZoom.cy;
    return CPoint{static_cast<int32_t>(std::lround(m_ptOrigin.x + fx * m_sizeZoom.cx - ax)),
                  static_cast<int32_t>(std::lround(m_ptOrigin.y + fy * m_sizeZoom.cy - ay))};
}

bool CViewGeometry::ComputeFit(CSize room, CSize& newZoom) const
{
    if (m_sizePaper.cx <= 0 || m_sizePaper.cy <= 0) return false;
    const int32_t roomW = room.cx - 2 * m_sizeMargin.cx;
    const int32_t roomH = room.cy - 2 * m_sizeMargin.cy;
    // The height follows the width's scale, as at every zoom step.
    auto heightFor = [this](int32_t width) {
        const float scale = static_cast<float>(width) / static_cast<float>(m_sizePaper.cx);
        return static_cast<int32_t>(static_cast<float>(m_sizePaper.cy) * scale);
    };
    const int32_t widest = std::min(roomW, static_cast<int32_t>(m_sizePaper.cx * kMaxFitScale));
    const double scale = std::min(static_cast<double>(roomW) / m_sizePaper.cx,
                                  static_cast<double>(roomH) / m_sizePaper.cy);
    int32_t width = std::min(widest, static_cast<int32_t>(m_sizePaper.cx * scale));
    // The estimate lands within a pixel or two of the answer either way.
    while (width < widest && heightFor(width + 1) <= roomH) ++width;
    while (width > 0 && heightFor(width) > roomH) --width;
    if (width < 1 || heightFor(width) < 1) return false;
    newZoom = CSize{width, heightFor(width)};
    return true;
}

bool CViewGeometry::FitsAtActualSize(CSize room) const
{
    return m_sizePaper.cx + 2 * m_sizeMargin.cx <= room.cx && m_sizePaper.cy + 2 * m_sizeMargin.cy <= room.cy;
}

int32_t CViewGeometry::MirrorX(int32_t x) const
{
    if (!m_bMirror) return x;
    const int32_t left = m_ptOrigin.x - m_ptScroll.x;
    return 2 * left + m_sizeZoom.cx - 1 - x;
}

CRect CViewGeometry::PaperRectOnScreen() const
{
    const int32_t left = m_ptOrigin.x - m_ptScroll.x;
    const int32_t top = m_ptOrigin.y - m_ptScroll.y;
    return CRect{left, top, left + m_sizeZoom.cx, top + m_sizeZoom.cy};
}

CPoint CViewGeometry::ViewToPaper(CPoint p) const
{
    const int32_t x = MirrorX(p.x) - m_ptOrigin.x + m_ptScroll.x;
    const int32_t y = p.y - m_ptOrigin.y + m_ptScroll.y;
    if (!HasPaper()) return CPoint{x, y};
    return CPoint{x * m_sizePaper.cx / m_sizeZoom.cx, y * m_sizePaper.cy / m_sizeZoom.cy};
}

CRect CViewGeometry::PaperToView(const CRect& r) const
{
    if (!HasPaper()) return CRect{};
    CRect v;
    v.left = r.left * m_sizeZoom.cx / m_sizePaper.cx - m_ptScroll.x + m_ptOrigin.x;
    v.top = r.top * m_sizeZoom.cy / m_sizePaper.cy - m_ptScroll.y + m_ptOrigin.y;
    // The extent is scaled, not the far corner, so a rectangle keeps its size
    // wherever it lies.
    v.right = v.left + (r.right - r.left) * m_sizeZoom.cx / m_sizePaper.cx;
    v.bottom = v.top + (r.bottom - r.top) * m_sizeZoom.cy / m_sizePaper.cy;
    if (m_bMirror) {
        // The columns left..right-1 reflect to MirrorX(right-1)..MirrorX(left).
        const int32_t left = MirrorX(v.right - 1);
        v.right = MirrorX(v.left) + 1;
        v.left = left;
    }
    return v;
}

int32_t CViewGeometry::ScalePercent() const
{
    if (m_sizePaper.cx <= 0) return 0;
    return static_cast<int32_t>(static_cast<double>(m_sizeZoom.cx) * 100.0 / static_cast<double>(m_sizePaper.cx));
}

std::string CaptionTitle(const std::string& title)
{
    const size_t dot = title.rfind('.');
    if (dot == std::string::npos || dot == 0) return title;
    return title.substr(0, dot);
}

std::string StatusLine(int32_t width, int32_t height, int32_t roughness, int32_t scalePercent)
{
    char text[96];
    std::snprintf(text, sizeof text, "Width %d  Height %d  Roughness %d   Scale %d%%", static_cast<int>(width),
                  static_cast<int>(height), static_cast<int>(roughness), static_cast<int>(scalePercent));
    return text;
}
