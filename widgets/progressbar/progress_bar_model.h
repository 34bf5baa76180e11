// NxProgressBar state and its property rules: enumerations, themes, the range rules of Min, Max
// and Value, and the percentage.
#pragma once

#include <cstdint>
#include <optional>

#include "core/runtime/value.h"
#include "core/support/color_funcs.h"

namespace nx {

enum PB_THEME : std::int32_t {
  thmCUSTOM = 0,
  thmCorporate = 1,
  thmOffice = 2,
  thmVitamin = 3,
  thmMercury3D = 4,
  thmNature3D = 5
};
enum PB_APPEARANCE : std::int32_t { apFlat = 0, ap3D = 1 };
enum PB_BORDERSTYLE : std::int32_t { bsNone = 0, bsFixedSingle = 1 };
enum PB_LIGHTSTYLE : std::int32_t { lsSoft = 0, lsTube = 1 };
enum PB_ORIENTATION : std::int32_t { orHorizontal = 0, orVertical = 1 };

struct ProgressBarTheme {
  OleColor bar;
  OleColor back;
  OleColor light;
  OleColor border;
  std::int32_t appearance;
  std::int32_t borderStyle;
  std::int32_t lightStyle;
};

// The built-in theme `theme` (1-5); nullopt for any other number.
std::optional<ProgressBarTheme> progressBarTheme(std::int32_t theme);

// Property values of one bar; the initial values are the store defaults.
struct ProgressBarState {
  std::int32_t theme = thmCUSTOM;
  std::int32_t appearance = apFlat;
  std::int32_t borderStyle = bsNone;
  ColorProperty borderColor{0x00000000};
  ColorProperty barColor{0x00BBAD9C};
  ColorProperty backColor{0x00FFFFFF};
  ColorProperty lightColor{0x00FFFFFF};
  std::int32_t lightStyle = lsSoft;
  std::int32_t orientation = orVertical;
  std::int32_t minValue = 0;
  std::int32_t maxValue = 100;
  std::int32_t value = 0;
  float percentage = 0.0f;  // of the last redraw
  Value xtrVar;
};

// `v` held within min..max; never fails, also when a stored range is inverted (then min wins).
std::int32_t clampToRange(std::int32_t v, std::int32_t minValue, std::int32_t maxValue);

// (value - min) x 100 / (max - min) in single precision, computed without overflow; nullopt when
// the range is empty or inverted (min >= max), which only a stored range can be.
std::optional<float> barPercentage(std::int32_t value, std::int32_t minValue,
                                   std::int32_t maxValue);

// The filled length of `extent` pixels at percentage p: p x extent / 100 rounded (halves to
// even), held within 0..extent.
std::int32_t filledLength(float percentage, std::int32_t extent);

}  // namespace nx
