#include "core/support/color_funcs.h"

#include <algorithm>

#include "core/runtime/services.h"
#include "core/support/rounding.h"

namespace nx {

Rgb translateColor(OleColor color, const SystemServices& services) {
  if (color >= 0) return static_cast<Rgb>(color);
  return services.translateOleColor(color).value_or(0);
}

std::int16_t colorChannel(Rgb color, std::string_view channel) {
  if (channel.size() != 1) return 0;
  switch (channel[0]) {
    case 'r':
    case 'R':
      return redOf(color);
    case 'g':
    case 'G':
      return greenOf(color);
    case 'b':
    case 'B':
      return blueOf(color);
    default:
      return 0;
  }
}

Rgb scaleColor(OleColor color, std::int16_t percent, const SystemServices& services) {
  if (percent < 0 || percent > 200) return 0;
  Rgb rgb = color < 0 ? translateColor(color, services) : static_cast<Rgb>(color);
  auto scale = [percent](std::uint8_t channel) {
    double v = roundHalfEven(static_cast<double>(percent) / 100.0 * channel);
    return static_cast<std::uint8_t>(std::min(v, 255.0));
  };
  return makeRgb(scale(redOf(rgb)), scale(greenOf(rgb)), scale(blueOf(rgb)));
}

void ColorProperty::set(OleColor value, const SystemServices& services) {
  value_ = value;
  resolved_ = value >= 0 ? static_cast<Rgb>(value) : translateColor(value, services);
}

}  // namespace nx
