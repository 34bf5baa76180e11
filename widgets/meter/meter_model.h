// NxMeter state and its property rules: enumerations, the accepted ranges of the puts, the lit
// segment count and the zone colour of each segment.
#pragma once

#include <cstdint>
#include <optional>

#include "core/runtime/value.h"
#include "core/support/color_funcs.h"

namespace nx::meter {

enum MT_ORIENTATION : std::int32_t { orHorizontal = 0, orVertical = 1 };
enum MT_APPEARANCE : std::int32_t { apFlat = 0, ap3D = 1 };
enum MT_BORDERSTYLE : std::int32_t { bsNone = 0, bsFixedSingle = 1 };

// Gap between the control's edge and the first and last segment, in pixels.
inline constexpr std::int32_t kBorderGap = 2;

// Property values of one meter; the initial values are the store defaults.
struct MeterState {
  ColorProperty colorOff{0x00404040};
  ColorProperty colorL0{0x0000C000};
  ColorProperty colorL1{0x0000C0C0};
  ColorProperty colorL2{0x000000C0};
  ColorProperty backColor{0x00000000};
  std::int32_t appearance = apFlat;
  std::int32_t borderStyle = bsNone;
  std::int32_t orientation = orVertical;
  std::int16_t steps = 12;
  std::int16_t level1StartPc = 70;
  std::int16_t level2StartPc = 90;
  std::int32_t minValue = 0;
  std::int32_t maxValue = 100;
  std::int32_t value = 0;
  Value xtrVar;
  float percentage = 0.0f;  // as of the last Value change
  std::int32_t lit = 0;     // lit segments as of the last Value change
};

// Steps are accepted while they fit twice into the range: steps <= (max - min) / 2. Counts
// below 1 are refused as well (they give no segment to lay out).
bool stepsAccepted(std::int32_t steps, std::int32_t minValue, std::int32_t maxValue);
// Level 1 starts above 0 and below level 2; level 2 above level 1 and at most 99.
bool level1Accepted(std::int32_t v, std::int32_t level2StartPc);
bool level2Accepted(std::int32_t v, std::int32_t level1StartPc);

// `v` held within min..max; never fails, also when a stored range is inverted (then min wins).
std::int32_t clampValue(std::int32_t v, std::int32_t minValue, std::int32_t maxValue);

// (value - min) x 100 / (max - min) in single precision; nullopt for an empty or inverted range
// (only a stored range can be one).
std::optional<float> meterPercentage(std::int32_t value, std::int32_t minValue,
                                     std::int32_t maxValue);

// steps x (value - min) / (max - min) rounded, halves to even; 0 for an empty or inverted
// range, held within 0..steps.
std::int32_t litCount(std::int32_t steps, std::int32_t value, std::int32_t minValue,
                      std::int32_t maxValue);

enum class Zone { Off, L0, L1, L2 };
// The zone of segment i (1-based) of `steps`: Off above the lit count, else by its share
// p = i x 100 / steps rounded: L2 above level 2, L1 above level 1, L0 otherwise.
Zone segmentZone(std::int32_t i, std::int32_t steps, std::int32_t lit, std::int32_t level1StartPc,
                 std::int32_t level2StartPc);

}  // namespace nx::meter
