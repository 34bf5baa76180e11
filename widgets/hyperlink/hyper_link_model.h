// NxHyperLink state: the properties the control keeps (Enabled lives in its window). The initial
// values are the store defaults, except the mask, which a new control leaves off although a
// stored control without the key uses it.
#pragma once

#include <cstdint>
#include <string>

#include "core/runtime/font.h"
#include "core/runtime/value.h"
#include "core/support/color_funcs.h"
#include "core/support/tooltip_settings.h"

namespace nx {

// Alignment of the caption's lines, as the host's own alignment numbers give it.
enum HyperLinkAlignment : std::int32_t { alignLeft = 0, alignRight = 1, alignCenter = 2 };

struct HyperLinkState {
  std::string exProp;
  TooltipSettings tooltip;
  std::string caption;
  std::int32_t alignment = alignLeft;
  FontRef font;
  FontRef mouseOverFont;
  ColorProperty backColor;  // button face, resolved when the control is created
  ColorProperty foreColor{0x00FF0000};
  ColorProperty maskColor{0x00C0C0C0};
  bool useMaskColor = false;
  bool autoSize = false;
  ColorProperty mouseOverColor{0x00FF0000};
  std::string url = "about:blank";
  Value xtrVar;
};

// Where a line of width `lineWidth` starts in a drawing `width` wide: 0 left-aligned, flush
// right, or centred (rounded, halves to even). Any other alignment starts at 0.
double lineStart(std::int32_t alignment, double width, double lineWidth);

// The caption with every word on its own line (split at single blanks, joined with line breaks),
// as auto-size measures it.
std::string wordPerLine(const std::string& caption);

// Whether a click opens `url`: not when it is empty or blanks only.
bool opensAddress(const std::string& url);

}  // namespace nx
