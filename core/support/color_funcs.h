// Colour helpers: OLE colour translation, channel picking, brightness scaling, and the colour
// property pair every colour property keeps.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/runtime/color.h"

namespace nx {

class SystemServices;

// RGB value of an OLE colour; 0 (black) when the platform cannot translate it.
Rgb translateColor(OleColor color, const SystemServices& services);

// One channel ("R", "G" or "B", any case) of an RGB value; any other name gives 0.
std::int16_t colorChannel(Rgb color, std::string_view channel);

// The colour at `percent` brightness (0-200, channels capped at 255, halves to even); black for
// a percentage outside 0-200.
Rgb scaleColor(OleColor color, std::int16_t percent, const SystemServices& services);

// A colour property: the value as set (read back and persisted) and the RGB used for drawing,
// resolved when the value is put.
class ColorProperty {
 public:
  constexpr ColorProperty() = default;
  constexpr explicit ColorProperty(OleColor rgbValue)
      : value_(rgbValue), resolved_(static_cast<Rgb>(rgbValue)) {}

  void set(OleColor value, const SystemServices& services);
  OleColor value() const { return value_; }
  Rgb resolved() const { return resolved_; }

 private:
  OleColor value_ = 0;
  Rgb resolved_ = 0;
};

}  // namespace nx
