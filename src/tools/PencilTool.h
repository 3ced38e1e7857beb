#pragma once
// CPencilTool: lays graphite between successive pointer positions. A lighter
// press lays less graphite, reaches a lighter darkest gray and a thinner line,
// as a graphite pencil does; pressed fully it draws what a mouse draws. The
// marks depend only on the paper's pixels, the options, the positions and
// their pressures, so a recorded stroke replayed onto the same pixels gives
// the same pixels again; the undo history relies on it. Reads and writes go through CPaper, which
// clips them; the tool never throws and never frees a list it handed over.

#include "Tool.h"

#include <cstdint>
#include <memory>
#include <string_view>

// Grades, softest first: index into the tables and the option bar's list.
constexpr int32_t kGradeCount = 12;
constexpr int32_t kDefaultGrade = 5;  // "2B"
extern const char* const kGradeNames[kGradeCount];
// How much one touch darkens white paper, and the darkest level reachable.
extern const uint8_t GradeStrength[kGradeCount];
extern const uint8_t GradeFloor[kGradeCount];

// The grade called name ("C", "6B" .. "1B", "HB", "1H" .. "4H", letters in
// either case), or -1 when there is none.
int GradeFromName(std::string_view name);

constexpr int32_t kPencilMinWidth = 1;
constexpr int32_t kPencilMaxWidth = 3;
extern const char* const kPencilWidthNames[kPencilMaxWidth];  // "Thin", "Mid", "Thick"

class CPencilTool : public CTool {
public:
    static constexpr int kKernelSize = 32;

    CPencilTool();

    // Out-of-range grade and width are clamped; smooth is kept as given.
    void SetOptions(int32_t grade, int32_t width, int32_t smooth);
    void GetOptions(int32_t& grade, int32_t& width, int32_t& smooth) const;
    // How many paper pixels across one point of a line covers when pressed
    // fully: the width, or the smoothing's reach of two pixels round the centre.
    int32_t GetFootprint() const { return m_bSmooth ? 5 : m_nWidth; }

    int32_t OnPointerUp(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed, HistoryRecord& record,
                        int32_t& modified) override;
    int32_t OnPointerDown(IToolView* view, CPaper* paper, int32_t x, int32_t y, int32_t cx, int32_t cy,
                          CRect& changed, int32_t record) override;
    int32_t OnPointerMove(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed) override;

    // Smoothing weights by (row, column) distance in eighths of a pixel;
    // meaningful only while smoothing is on.
    uint8_t m_kernel[kKernelSize * kKernelSize] = {};
    CPoint m_ptLast;
    int32_t m_nGrade = kDefaultGrade;
    int32_t m_nWidth = kPencilMinWidth;
    int32_t m_bSmooth = 0;
    // The stroke being recorded, or null; handed to the record at release.
    std::unique_ptr<StrokePointList> m_pPoints;

private:
    void BuildKernel();
    template <typename Dab>
    static void WalkLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Dab&& dab);
    void DabCenter(double fx, double fy);
    void DabAround(double fx, double fy);
    void Darken(int32_t x, int32_t y, int32_t strength);
    void PrepareDarkening(int32_t pressure);

    // Constants of the darkening rule for the options and the pressure they
    // were prepared for: the floor, the divisor (255 - floor)^2 as a
    // multiply-and-shift that gives the same quotient, the strength of a
    // dab's centre and the number of parallel walks of an unsmoothed line.
    int32_t m_nPreparedPressure = kFullPressure;
    int32_t m_nFloor = 0;
    uint64_t m_darkenMagic = 0;
    int32_t m_nCenterStrength = 0;
    int32_t m_nLineWidth = kPencilMinWidth;
};
