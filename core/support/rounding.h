// Rounding as the host's numeric conversions do it: to the nearest integer, halves to even.
#pragma once

#include <cmath>
#include <cstdint>

namespace nx {

inline double roundHalfEven(double v) {
  double f = std::floor(v);
  double diff = v - f;
  if (diff > 0.5) return f + 1.0;
  if (diff < 0.5) return f;
  return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

// Rounds and converts, saturating at the 32-bit range so that no conversion is undefined.
inline std::int32_t roundToInt32(double v) {
  if (std::isnan(v)) return 0;
  double r = roundHalfEven(v);
  if (r >= 2147483647.0) return INT32_MAX;
  if (r <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(r);
}

}  // namespace nx
