#pragma once
// Pen pressure as the tools keep it: a whole number of steps from 0 (the pen
// barely touching) to kFullPressure (pressed fully). Mice and fingers press
// fully, so everything they draw is what the program always drew. Whole steps
// keep a recorded stroke replaying to the same pixels on every machine.

#include <cstdint>

constexpr int kPressureShift = 10;
constexpr int32_t kFullPressure = int32_t{1} << kPressureShift;

// A device's fraction 0.0 .. 1.0 in whole steps, rounded; anything outside
// the range (or not a number) is brought to its nearest end, NaN to full.
inline int32_t PressureFromFraction(double fraction)
{
    if (fraction != fraction || fraction >= 1.0) return kFullPressure;
    if (fraction <= 0.0) return 0;
    return static_cast<int32_t>(fraction * kFullPressure + 0.5);
}

// value scaled by pressure, exact at full pressure and never more than value.
inline int32_t ScaleByPressure(int32_t value, int32_t pressure)
{
    return (value * pressure) >> kPressureShift;
}
