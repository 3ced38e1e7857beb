#include "EraserTool.h"

#include <algorithm>

const char* const kEraserSizeNames[kEraserMaxOption] = {"Small", "Mid", "Large"};
const char* const kEraserStrengthNames[kEraserMaxOption] = {"Light", "Mid", "Heavy"};

void CEraserTool::SetOptions(int32_t size, int32_t strength)
{
    m_nSize = std::clamp(size, kEraserMinOption, kEraserMaxOption);
    m_nStrength = std::clamp(strength, kEraserMinOption, kEraserMaxOption);
}

void CEraserTool::GetOptions(int32_t& size, int32_t& strength) const
{
    size = m_nSize;
    strength = m_nStrength;
}

void CEraserTool::Lighten(int32_t x, int32_t y, int32_t weight)
{
    const int32_t p = m_pPaper->GetPixel(x, y);
    const int32_t value = std::min(p + ((255 - p) * weight) / 255 + 1, 255);
    m_pPaper->SetPixel(x, y, static_cast<uint8_t>(value));
}

void CEraserTool::Stamp(int32_t x, int32_t y, CRect& changed)
{
    const int32_t pressure = GetPressure();
    RecordStrokePoint(m_pPoints, x, y, pressure);
    const int32_t r = GetRadius();
    const int32_t s = ScaleByPressure(60 * m_nStrength, pressure);
    changed = CRect{x - r - 1, y - r - 1, x + r + 1, y + r + 1};
    // Every stamp lightens by at least one level; a pen resting without
    // pressure does not rub at all.
    if (!m_pPaper || pressure == 0) return;

    // One quadrant of the disc, mirrored: every pixel is treated once, the
    // axes included, and the weight falls with the squared distance to 0 on
    // the rim.
    const int32_t r2 = r * r;
    for (int32_t i = 0; i <= r; ++i) {
        for (int32_t j = 0; j <= r; ++j) {
            const int32_t d2 = i * i + j * j;
            if (d2 > r2) break;
            const int32_t w = ((r2 - d2) * s) / r2;
            Lighten(x + i, y + j, w);
            if (i != 0) Lighten(x - i, y + j, w);
            if (j != 0) Lighten(x + i, y - j, w);
            if (i != 0 && j != 0) Lighten(x - i, y - j, w);
        }
    }
}

int32_t CEraserTool::OnPointerDown(IToolView*, CPaper* paper, int32_t x, int32_t y, int32_t cx, int32_t cy,
                                   CRect& changed, int32_t record)
{
    m_pPaper = paper;
    m_pPoints.reset();
    if (!paper || !paper->IsInside(x, y)) {
        changed.SetEmpty();
        return 0;
    }
    if (record) m_pPoints = NewStrokePointList();
    // The press stamps at once and records the press point.
    return OnPointerMove(x, y, cx, cy, changed);
}

int32_t CEraserTool::OnPointerMove(int32_t x, int32_t y, int32_t, int32_t, CRect& changed)
{
    Stamp(x, y, changed);
    return 1;
}

int32_t CEraserTool::OnPointerUp(int32_t x, int32_t y, int32_t, int32_t, CRect& changed, HistoryRecord& record,
                                 int32_t& modified)
{
    modified = 1;
    changed.SetEmpty();
    // The release position is recorded but not stamped, so a replay, which
    // releases at the last point, stamps exactly where the live stroke did.
    RecordStrokePoint(m_pPoints, x, y, GetPressure());
    if (m_pPoints) {
        record.nType = HR_ERASER;
        record.nParam1 = m_nSize;
        record.nParam2 = m_nStrength;
        record.pPoints = std::move(m_pPoints);
    }
    m_pPoints.reset();
    return 1;
}
