// NxCheckBox layout and painting against the control's surface, in twips: where the box and the
// caption stand, and the caption printed word-wrapped with its focus rectangle.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/runtime/color.h"
#include "core/runtime/surface.h"

namespace nx {

// Size of the drawn box and the caption's distance from the box side, in twips.
inline constexpr double kBoxSize = 240.0;
inline constexpr double kTextOffset = 270.0;
// No wrapping: the wrap width of an auto-sized caption.
inline constexpr double kNoWrapWidth = 180000.0;

struct CheckBoxLayout {
  double boxX = 0;
  double boxY = 0;
  double textX = 0;  // left end of the caption, or its right end when right-aligned
  double textY = 0;
  double available = 0;  // width the caption may take
  bool rightAligned = false;
};

// The layout for a drawing area `scaleWidth` twips wide and a blank `blankHeight` twips high:
// the box at the left (caption at 270) or, right-aligned, at the right (caption ending 255 before
// the right edge); the smaller of box and caption line is centred on the other.
CheckBoxLayout layoutCheckBox(double scaleWidth, std::int32_t alignment, double blankHeight);

struct PrintedCaption {
  bool printed = false;  // false for a caption of blanks only
  double widest = 0;     // W: width of the widest line
  double top = 0;
  double bottom = 0;  // vertical position after the last line
};

// Prints the caption's lines from (x, y) in `color`, each line starting at x or, right-aligned,
// ending at x; then, with `focused`, outlines the focus rectangle in `focusColor` from x - 30
// (x - W - 30 right-aligned) to x + W (x). The surface's text colour is restored afterwards.
PrintedCaption printCheckBoxCaption(Surface& surface, std::string_view caption, double x, double y,
                                    double wrapWidth, bool rightAligned, Rgb color, Rgb focusColor,
                                    bool focused);

}  // namespace nx
