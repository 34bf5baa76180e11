#include "widgets/meter/meter_model.h"

#include <algorithm>

#include "core/support/rounding.h"

namespace nx::meter {

bool stepsAccepted(std::int32_t steps, std::int32_t minValue, std::int32_t maxValue) {
  return steps >= 1 && std::int64_t{steps} * 2 <= std::int64_t{maxValue} - minValue;
}

bool level1Accepted(std::int32_t v, std::int32_t level2StartPc) {
  return v > 0 && v < level2StartPc;
}

bool level2Accepted(std::int32_t v, std::int32_t level1StartPc) {
  return v > level1StartPc && v <= 99;
}

std::int32_t clampValue(std::int32_t v, std::int32_t minValue, std::int32_t maxValue) {
  if (v > maxValue) v = maxValue;
  if (v < minValue) v = minValue;
  return v;
}

std::optional<float> meterPercentage(std::int32_t value, std::int32_t minValue,
                                     std::int32_t maxValue) {
  if (minValue >= maxValue) return std::nullopt;
  const double span = static_cast<double>(std::int64_t{maxValue} - minValue);
  const double done = static_cast<double>(std::int64_t{value} - minValue);
  return static_cast<float>(done * 100.0 / span);
}

std::int32_t litCount(std::int32_t steps, std::int32_t value, std::int32_t minValue,
                      std::int32_t maxValue) {
  if (minValue >= maxValue || steps < 1) return 0;
  const double span = static_cast<double>(std::int64_t{maxValue} - minValue);
  const double done = static_cast<double>(std::int64_t{value} - minValue);
  return std::clamp(roundToInt32(steps * done / span), 0, std::int32_t{steps});
}

Zone segmentZone(std::int32_t i, std::int32_t steps, std::int32_t lit, std::int32_t level1StartPc,
                 std::int32_t level2StartPc) {
  if (i > lit || steps < 1) return Zone::Off;
  const std::int32_t p = roundToInt32(i * 100.0 / steps);
  if (p > level2StartPc) return Zone::L2;
  if (p > level1StartPc) return Zone::L1;
  return Zone::L0;
}

}  // namespace nx::meter
