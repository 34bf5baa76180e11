#include "widgets/checkbox/check_box_layout.h"

#include <algorithm>
#include <string>

#include "core/support/rounding.h"
#include "widgets/checkbox/caption_lines.h"

namespace nx {

CheckBoxLayout layoutCheckBox(double scaleWidth, std::int32_t alignment, double blankHeight) {
  CheckBoxLayout l;
  l.rightAligned = alignment == 1;
  if (l.rightAligned) {
    l.boxX = scaleWidth - 195.0;
    l.textX = scaleWidth - 255.0;
  } else {
    l.boxX = 0;
    l.textX = kTextOffset;
  }
  if (blankHeight > kTextOffset) {
    l.boxY = roundHalfEven(blankHeight / 2.0 - 135.0);
    l.textY = 0;
  } else {
    l.textY = roundHalfEven(135.0 - blankHeight / 2.0);
    l.boxY = 0;
  }
  l.available = scaleWidth - kTextOffset;
  return l;
}

PrintedCaption printCheckBoxCaption(Surface& surface, std::string_view caption, double x, double y,
                                    double wrapWidth, bool rightAligned, Rgb color, Rgb focusColor,
                                    bool focused) {
  PrintedCaption out;
  out.top = y;
  out.bottom = y;
  if (trimBlanks(caption).empty()) return out;
  const Rgb saved = surface.foreColor();
  surface.setForeColor(color);
  const std::vector<std::string> lines =
      wrapCaption(caption, wrapWidth, [&](std::string_view t) { return surface.textWidth(t); });
  double at = y;
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    const double w = surface.textWidth(line);
    surface.setCurrentPosition(rightAligned ? x - w : x, at);
    surface.print(line, true);
    at += surface.textHeight(line);
    out.widest = std::max(out.widest, w);
  }
  out.printed = true;
  out.bottom = at;
  surface.setForeColor(focusColor);
  if (focused) {
    const double left = rightAligned ? x - out.widest - 30.0 : x - 30.0;
    const double right = rightAligned ? x : x + out.widest;
    surface.box(left, y, right, at, focusColor, false);
  }
  surface.setForeColor(saved);
  return out;
}

}  // namespace nx
