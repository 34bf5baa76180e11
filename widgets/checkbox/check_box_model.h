// NxCheckBox state and its value rules: the enumerations, value normalisation per style, the
// silent adjustment when the style changes, and the toggle of a click.
#pragma once

#include <cstdint>
#include <string>

#include "core/runtime/value.h"
#include "core/support/color_funcs.h"
#include "core/support/tooltip_settings.h"

namespace nx {

enum CB_CHECKBOXSTYLE : std::int32_t { csNormal = 0, csYesNo = 1, csTriState = 2 };
enum CB_BASICALIGN : std::int32_t { baLeft = 0, baRight = 1 };

// Values of a check box: crossed, empty, ticked.
inline constexpr std::int16_t kCrossed = -1;
inline constexpr std::int16_t kEmpty = 0;
inline constexpr std::int16_t kTicked = 1;

// Property values of one check box that the control keeps itself (BackColor, ForeColor, Font
// and Enabled live in its window). The initial values are the store defaults.
struct CheckBoxState {
  std::string exProp;
  TooltipSettings tooltip;
  std::int32_t style = csNormal;
  std::string caption;
  std::int32_t alignment = baLeft;
  ColorProperty maskColor{0x00C0C0C0};
  bool useMaskColor = false;
  bool autoSize = false;
  bool focusRect = true;
  bool hoverFX = false;
  bool hoverBold = false;
  bool hoverUnderline = true;
  ColorProperty hoverColor;  // set to button text when the control is created
  std::int16_t value = kEmpty;
  Value xtrVar;
};

// Any positive value becomes 1, any negative -1; then csNormal turns -1 into 0 and csYesNo turns
// 0 into -1.
std::int16_t normalizeValue(std::int32_t value, std::int32_t style);

// The value a style change leaves silently: csYesNo moves 0 to -1, csNormal moves -1 to 0.
std::int16_t valueAfterStyleChange(std::int16_t value, std::int32_t style);

// The value a click asks for: csNormal 0 <-> 1, csYesNo 1 <-> -1, csTriState 0 -> 1 -> -1 -> 0.
std::int16_t toggledValue(std::int16_t value, std::int32_t style);

// Which of the three images shows a value: 0 crossed, 1 empty, 2 ticked.
int imageIndexOf(std::int16_t value);

}  // namespace nx
