#pragma once
// CEraserTool: every pointer position stamps a round, soft-edged disc that
// moves the paper part of the way back to white, the more so the harder the
// pen presses (pressed fully, as a mouse does, by the strength alone; not
// pressed at all, not at all). It does not interpolate, so a fast stroke
// leaves a chain of discs. Strokes are recorded position by
// position for the undo history; the tool never throws and never frees a list
// it handed over.

#include "Tool.h"

#include <cstdint>
#include <memory>

constexpr int32_t kEraserMinOption = 1;
constexpr int32_t kEraserMaxOption = 3;
extern const char* const kEraserSizeNames[kEraserMaxOption];      // "Small", "Mid", "Large"
extern const char* const kEraserStrengthNames[kEraserMaxOption];  // "Light", "Mid", "Heavy"

class CEraserTool : public CTool {
public:
    // Out-of-range values are clamped to 1..3.
    void SetOptions(int32_t size, int32_t strength);
    void GetOptions(int32_t& size, int32_t& strength) const;
    // The disc's radius in paper pixels: three a size step.
    int32_t GetRadius() const { return 3 * m_nSize; }

    int32_t OnPointerUp(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed, HistoryRecord& record,
                        int32_t& modified) override;
    int32_t OnPointerDown(IToolView* view, CPaper* paper, int32_t x, int32_t y, int32_t cx, int32_t cy,
                          CRect& changed, int32_t record) override;
    // Stamps at (x, y) and records the position, repeated ones included.
    int32_t OnPointerMove(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed) override;

    int32_t m_nSize = kEraserMinOption;
    int32_t m_nStrength = kEraserMinOption;
    // The stroke being recorded, or null; handed to the record at release.
    std::unique_ptr<StrokePointList> m_pPoints;

private:
    void Stamp(int32_t x, int32_t y, CRect& changed);
    void Lighten(int32_t x, int32_t y, int32_t weight);
};
