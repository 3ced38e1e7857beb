#pragma once
// The remembered values: name, default and the range a value must have
// before it may reach a list or a tool. Readers go through ReadSetting, so an
// edited settings file with a grade of 40 lands on the last grade instead of
// past the end of a list.

#include "framework/Services.h"
#include "tools/EraserTool.h"
#include "tools/PencilTool.h"

#include <cstdint>

struct SettingDef {
    const char* name;
    int32_t defaultValue;
    int32_t minValue;
    int32_t maxValue;
};

namespace settings {
// Flags keep their whole range: any value other than 0 means on.
inline constexpr int32_t kAnyFlag = INT32_MIN;

inline constexpr SettingDef kPencilType{"PencilType", kDefaultGrade, 0, kGradeCount - 1};
inline constexpr SettingDef kPencilWidth{"PencilWidth", kPencilMinWidth, kPencilMinWidth, kPencilMaxWidth};
inline constexpr SettingDef kPencilSmooth{"PencilSmooth", 0, kAnyFlag, INT32_MAX};
inline constexpr SettingDef kEraserSize{"EraserSize", kEraserMinOption, kEraserMinOption, kEraserMaxOption};
inline constexpr SettingDef kEraserStrength{"EraserStr", kEraserMinOption, kEraserMinOption, kEraserMaxOption};
inline constexpr SettingDef kTransparent{"Transparent", 0, kAnyFlag, INT32_MAX};
// A pen's pressure shapes the pencil's line and the eraser's bite.
inline constexpr SettingDef kPencilPressure{"PencilPressure", 1, kAnyFlag, INT32_MAX};
inline constexpr SettingDef kEraserPressure{"EraserPressure", 1, kAnyFlag, INT32_MAX};
// The paper values are shown by the New dialog as stored and refused only at
// OK, so they are read without clamping.
inline constexpr SettingDef kPaperWidth{"width", 400, kAnyFlag, INT32_MAX};
inline constexpr SettingDef kPaperHeight{"height", 300, kAnyFlag, INT32_MAX};
inline constexpr SettingDef kPaperRough{"rough", 5, kAnyFlag, INT32_MAX};
inline constexpr SettingDef kShowGrid{"ShowGrid", 1, kAnyFlag, INT32_MAX};
}  // namespace settings

// The stored value, or the default when there is no profile or no value,
// clamped into the setting's range.
inline int32_t ReadSetting(IProfile* profile, const SettingDef& def)
{
    int32_t v = profile ? profile->GetProfileInt(def.name, def.defaultValue) : def.defaultValue;
    if (v < def.minValue) v = def.minValue;
    if (v > def.maxValue) v = def.maxValue;
    return v;
}

inline void WriteSetting(IProfile* profile, const SettingDef& def, int32_t value)
{
    if (profile) profile->WriteProfileInt(def.name, value);
}
