#include "widgets/progressbar/progress_bar_model.h"

#include <algorithm>

#include "core/support/rounding.h"

namespace nx {

std::optional<ProgressBarTheme> progressBarTheme(std::int32_t theme) {
  switch (theme) {
    case thmCorporate:
      return ProgressBarTheme{0x00873A00, 0x00DED9D8,    0x00FFFFFF, 0x00C9A08D,
                              apFlat,     bsFixedSingle, lsTube};
    case thmOffice:
      return ProgressBarTheme{0x008D918E, 0x00EBF2ED,    0x00FFFFFF, 0x00979F8F,
                              apFlat,     bsFixedSingle, lsSoft};
    case thmVitamin:
      return ProgressBarTheme{0x0000AAFF, 0x00C9E9FF,    0x00E0FFFF, 0x00808080,
                              apFlat,     bsFixedSingle, lsSoft};
    case thmMercury3D:
      return ProgressBarTheme{0x000000C0, 0x00E0DFD7,    0x00FFFFFF, 0x00000000,
                              ap3D,       bsFixedSingle, lsTube};
    case thmNature3D:
      return ProgressBarTheme{0x00509929, 0x00F4FFEE,    0x00FFFFFF, 0x00000000,
                              ap3D,       bsFixedSingle, lsSoft};
    default:
      return std::nullopt;
  }
}

std::int32_t clampToRange(std::int32_t v, std::int32_t minValue, std::int32_t maxValue) {
  if (v > maxValue) v = maxValue;
  if (v < minValue) v = minValue;
  return v;
}

std::optional<float> barPercentage(std::int32_t value, std::int32_t minValue,
                                   std::int32_t maxValue) {
  if (minValue >= maxValue) return std::nullopt;
  const double span = static_cast<double>(std::int64_t{maxValue} - minValue);
  const double done = static_cast<double>(std::int64_t{value} - minValue);
  return static_cast<float>(done * 100.0 / span);
}

std::int32_t filledLength(float percentage, std::int32_t extent) {
  // The single-precision percentage times a whole number is worked out in double precision, as
  // mixed single and long arithmetic is: a float product could round x.4999 up to x.5.
  const double raw = static_cast<double>(percentage) * extent / 100.0;
  return std::clamp(roundToInt32(raw), 0, std::max(extent, 0));
}

}  // namespace nx
