// Fixed text metrics and glyphs of the simulated platform, so that tests can compute layouts:
// - every character of a font of `size` points is round(size * 3 / 4) pixels wide (at least 1),
//   one pixel more when bold; a tab counts as one character;
// - a line is round(size * 4 / 3) + 2 pixels high;
// - a text is as wide as its widest line and as high as its number of lines ("\r\n", "\n" and
//   "\r" break lines; an empty text counts as one line);
// - a glyph is drawn as the outline of the box (1, 2)-(width - 2, height - 3) of its cell, a
//   blank draws nothing, and an underlined font draws a line on the cell's second-to-last row.
// Sizes are for 96 DPI; `scale` (the display's DPI / 96) scales the point size first, as a
// real font is larger in pixels on a display of more dots per inch.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/runtime/color.h"
#include "core/runtime/font.h"
#include "core/runtime/text.h"
#include "platform/sim/sim_bitmap.h"

namespace nx::sim {

std::int32_t charWidthPx(const FontDesc& font, double scale = 1.0);
std::int32_t lineHeightPx(const FontDesc& font, double scale = 1.0);
using nx::splitLines;
std::int32_t textWidthPx(const FontDesc& font, std::string_view text, double scale = 1.0);
std::int32_t textHeightPx(const FontDesc& font, std::string_view text, double scale = 1.0);

// Draws one line of text with its cell's top left corner at (x, y).
void drawTextLine(Bitmap& bitmap, const FontDesc& font, std::int32_t x, std::int32_t y,
                  std::string_view line, Rgb color, double scale = 1.0);

}  // namespace nx::sim
