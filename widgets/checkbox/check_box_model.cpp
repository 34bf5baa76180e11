#include "widgets/checkbox/check_box_model.h"

namespace nx {

std::int16_t normalizeValue(std::int32_t value, std::int32_t style) {
  std::int16_t v = value >= 1 ? kTicked : (value < 0 ? kCrossed : kEmpty);
  if (style == csNormal && v == kCrossed) v = kEmpty;
  if (style == csYesNo && v == kEmpty) v = kCrossed;
  return v;
}

std::int16_t valueAfterStyleChange(std::int16_t value, std::int32_t style) {
  if (style == csYesNo && value == kEmpty) return kCrossed;
  if (style == csNormal && value == kCrossed) return kEmpty;
  return value;
}

std::int16_t toggledValue(std::int16_t value, std::int32_t style) {
  std::int32_t v = std::int32_t{value} + 1;
  if (v > 1) v = -1;
  if (style == csNormal && v == -1) v = 0;
  if (style == csYesNo && v == 0) v = 1;
  return static_cast<std::int16_t>(v);
}

int imageIndexOf(std::int16_t value) {
  if (value < 0) return 0;
  return value > 0 ? 2 : 1;
}

}  // namespace nx
