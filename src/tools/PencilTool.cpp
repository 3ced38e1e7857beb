#include "PencilTool.h"

#include <algorithm>
#include <cstdlib>

const char* const kGradeNames[kGradeCount] = {"C",  "6B", "5B", "4B", "3B", "2B",
                                              "1B", "HB", "1H", "2H", "3H", "4H"};
const uint8_t GradeStrength[kGradeCount] = {200, 90, 75, 65, 55, 45, 35, 29, 24, 20, 17, 15};
const uint8_t GradeFloor[kGradeCount] = {10, 45, 65, 85, 105, 125, 145, 160, 170, 175, 180, 185};
const char* const kPencilWidthNames[kPencilMaxWidth] = {"Thin", "Mid", "Thick"};

namespace {

constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Half away from zero, so that sub-pixel offsets either side of a pixel
// centre are measured alike.
int32_t RoundHalfAway(double v)
{
    return v > 0 ? static_cast<int32_t>(v + 0.5) : static_cast<int32_t>(v - 0.5);
}

// The darkening rule divides twice by (255 - floor); for non-negative
// integers that is one division by the square, which is done as a multiply
// and a shift. The numerator is below 2^24 (strength <= 255, squared
// distance <= 255^2) and the divisor below 2^16, so a 40-bit shift with the
// rounded-up reciprocal gives the exact quotient for every numerator.
constexpr int kDarkenShift = 40;

}  // namespace

int GradeFromName(std::string_view name)
{
    for (int i = 0; i < kGradeCount; ++i) {
        const std::string_view candidate = kGradeNames[i];
        if (candidate.size() != name.size()) continue;
        bool same = true;
        for (size_t k = 0; k < name.size() && same; ++k) same = AsciiUpper(name[k]) == candidate[k];
        if (same) return i;
    }
    return -1;
}

CPencilTool::CPencilTool()
{
    BuildKernel();
    PrepareDarkening(kFullPressure);
}

void CPencilTool::SetOptions(int32_t grade, int32_t width, int32_t smooth)
{
    m_nGrade = std::clamp(grade, 0, kGradeCount - 1);
    m_nWidth = std::clamp(width, kPencilMinWidth, kPencilMaxWidth);
    m_bSmooth = smooth;
    BuildKernel();
    PrepareDarkening(kFullPressure);
}

void CPencilTool::GetOptions(int32_t& grade, int32_t& width, int32_t& smooth) const
{
    grade = m_nGrade;
    width = m_nWidth;
    smooth = m_bSmooth;
}

// A lighter press scales the strength and the reach below white alike, so a
// touch keeps its shape and only its depth changes; the width shrinks by
// whole walks, each narrower line a part of the wider one. Pressed fully,
// every value is the grade's own. More pressure never gives a lighter value
// (more strength, a lower floor, walks added), and none marks nothing.
void CPencilTool::PrepareDarkening(int32_t pressure)
{
    m_nPreparedPressure = pressure;
    const int32_t span = ScaleByPressure(255 - GradeFloor[m_nGrade], pressure);
    m_nFloor = 255 - span;
    // Smoothing spreads part of the graphite around the centre.
    const int32_t strength = m_bSmooth ? (6 * GradeStrength[m_nGrade]) / 7 : GradeStrength[m_nGrade];
    m_nCenterStrength = ScaleByPressure(strength, pressure);
    m_nLineWidth = std::max(kPencilMinWidth, (m_nWidth * pressure + kFullPressure - 1) >> kPressureShift);
    // With no span left every pixel is at or below the floor and no division runs.
    const uint64_t span64 = static_cast<uint64_t>(std::max(span, 1));
    m_darkenMagic = (uint64_t{1} << kDarkenShift) / (span64 * span64) + 1;
}

void CPencilTool::BuildKernel()
{
    if (!m_bSmooth) return;
    const int32_t peak = (2 * GradeStrength[m_nGrade]) / 3;
    // The thinner the pencil, the higher the power and the faster the fall.
    const int squarings = 4 - m_nWidth;
    for (int r = 0; r < kKernelSize; ++r) {
        for (int c = 0; c < kKernelSize; ++c) {
            double t = static_cast<double>((kKernelSize - r) * (kKernelSize - c)) / 1024.0;
            for (int k = 0; k < squarings; ++k) t *= t;
            m_kernel[r * kKernelSize + c] = static_cast<uint8_t>(RoundHalfAway(peak * t));
        }
    }
}

template <typename Dab>
void CPencilTool::WalkLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Dab&& dab)
{
    const double dx = static_cast<double>(x1) - x0;
    const double dy = static_cast<double>(y1) - y0;
    const int64_t n = std::max(std::llabs(int64_t{x1} - x0), std::llabs(int64_t{y1} - y0));
    double fx = x0;
    double fy = y0;
    dab(fx, fy);
    if (n < 1) return;
    const double s = 1.0 / static_cast<double>(n);
    const double stepX = s * dx;
    const double stepY = s * dy;
    // Repeated addition, not i * step: the two round some positions
    // differently, and the pencil's marks are defined by this sequence.
    for (int64_t i = 1; i < n; ++i) {
        fx += stepX;
        fy += stepY;
        dab(fx, fy);
    }
}

void CPencilTool::Darken(int32_t x, int32_t y, int32_t strength)
{
    // Outside the paper the pixel reads as 0, which is below every floor and
    // so never changes; skipping it leaves the same result.
    if (!m_pPaper->IsInside(x, y)) return;
    const int32_t p = m_pPaper->GetPixel(x, y);
    if (p <= m_nFloor) return;  // at or below the floor a touch changes nothing
    const uint64_t distance = static_cast<uint64_t>(p - m_nFloor);
    int32_t d = static_cast<int32_t>((static_cast<uint64_t>(strength) * distance * distance * m_darkenMagic) >>
                                     kDarkenShift);
    // A grain pixel takes half the graphite.
    if (m_pPaper->IsGrain(x, y)) d /= 2;
    int32_t value = p - d - 1;
    if (value < m_nFloor) value = m_nFloor;
    m_pPaper->SetPixel(x, y, static_cast<uint8_t>(value));
}

void CPencilTool::DabCenter(double fx, double fy)
{
    Darken(RoundHalfAway(fx), RoundHalfAway(fy), m_nCenterStrength);
}

void CPencilTool::DabAround(double fx, double fy)
{
    const int32_t x = RoundHalfAway(fx);
    const int32_t y = RoundHalfAway(fy);
    // Sub-pixel offset in sixteenths, while the kernel moves 8 entries per
    // pixel: both stay within -8..8, so every index below lies in 0..24.
    const int32_t ox = RoundHalfAway((x - fx) * 16);
    const int32_t oy = RoundHalfAway((y - fy) * 16);
    for (int32_t j = -2; j <= 2; ++j) {
        const uint8_t* row = m_kernel + std::abs(oy + 8 * j) * kKernelSize;
        for (int32_t i = -2; i <= 2; ++i) {
            if (i == 0 && j == 0) continue;  // the centre belongs to DabCenter
            Darken(x + i, y + j, ScaleByPressure(row[std::abs(ox + 8 * i)], m_nPreparedPressure));
        }
    }
}

int32_t CPencilTool::OnPointerDown(IToolView*, CPaper* paper, int32_t x, int32_t y, int32_t, int32_t,
                                   CRect& changed, int32_t record)
{
    m_pPaper = paper;
    m_ptLast = CPoint{x, y};
    changed.SetEmpty();
    m_pPoints.reset();
    if (!paper || !paper->IsInside(x, y)) return 0;
    if (record) {
        m_pPoints = NewStrokePointList();
        RecordStrokePoint(m_pPoints, x, y, GetPressure());
    }
    return 1;
}

int32_t CPencilTool::OnPointerMove(int32_t x, int32_t y, int32_t, int32_t, CRect& changed)
{
    if (!m_pPaper || (x == m_ptLast.x && y == m_ptLast.y)) {
        changed.SetEmpty();
        return 1;
    }
    const int32_t pressure = GetPressure();
    RecordStrokePoint(m_pPoints, x, y, pressure);

    changed = CRect::Spanned(m_ptLast, CPoint{x, y});
    changed.Inflate(3);

    // Each segment is drawn with the pressure at its end. At none the floor
    // is white, and no pixel changes.
    if (pressure != m_nPreparedPressure) PrepareDarkening(pressure);
    if (m_bSmooth) {
        WalkLine(m_ptLast.x, m_ptLast.y, x, y, [this](double fx, double fy) { DabCenter(fx, fy); });
        WalkLine(m_ptLast.x, m_ptLast.y, x, y, [this](double fx, double fy) { DabAround(fx, fy); });
    } else {
        // Thickness comes from parallel walks across the dominant direction;
        // diagonals count as vertical.
        const bool horizontal = std::abs(x - m_ptLast.x) > std::abs(y - m_ptLast.y);
        const int32_t first = -(m_nLineWidth / 2);
        const int32_t last = m_nLineWidth - m_nLineWidth / 2 - 1;
        for (int32_t k = first; k <= last; ++k) {
            const int32_t ax = horizontal ? 0 : k;
            const int32_t ay = horizontal ? k : 0;
            WalkLine(m_ptLast.x + ax, m_ptLast.y + ay, x + ax, y + ay,
                     [this](double fx, double fy) { DabCenter(fx, fy); });
        }
    }
    m_ptLast = CPoint{x, y};
    return 1;
}

int32_t CPencilTool::OnPointerUp(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed,
                                 HistoryRecord& record, int32_t& modified)
{
    modified = 1;
    const int32_t result = OnPointerMove(x, y, cx, cy, changed);
    if (m_pPoints) {
        // A tap: walking from the press point one pixel diagonally dabs the
        // press point alone, and the list gets the second point a replay
        // needs to draw the same dot.
        if (m_pPoints->GetCount() == 1) {
            CRect dot;
            OnPointerMove(x + 1, y + 1, cx, cy, dot);
            changed = CRect::Union(changed, dot);
        }
        if (m_pPoints) {
            record.nType = HR_PENCIL;
            record.nParam1 = m_nGrade;
            // A flag whose low half were zero would replay unsmoothed.
            record.nParam2 = (m_nWidth << 16) | (m_bSmooth ? 1 : 0);
            record.pPoints = std::move(m_pPoints);
        }
    }
    m_pPoints.reset();
    return result;
}
