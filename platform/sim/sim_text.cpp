#include "platform/sim/sim_text.h"

#include <algorithm>

#include "core/support/rounding.h"

namespace nx::sim {

std::int32_t charWidthPx(const FontDesc& font, double scale) {
  std::int32_t w = std::max(roundToInt32(font.size * scale * 3.0 / 4.0), 1);
  return font.bold ? w + 1 : w;
}

std::int32_t lineHeightPx(const FontDesc& font, double scale) {
  return std::max(roundToInt32(font.size * scale * 4.0 / 3.0), 0) + 2;
}

std::int32_t textWidthPx(const FontDesc& font, std::string_view text, double scale) {
  std::size_t widest = 0;
  for (std::string_view line : splitLines(text)) widest = std::max(widest, line.size());
  return static_cast<std::int32_t>(widest) * charWidthPx(font, scale);
}

std::int32_t textHeightPx(const FontDesc& font, std::string_view text, double scale) {
  return static_cast<std::int32_t>(splitLines(text).size()) * lineHeightPx(font, scale);
}

void drawTextLine(Bitmap& bitmap, const FontDesc& font, std::int32_t x, std::int32_t y,
                  std::string_view line, Rgb color, double scale) {
  const std::int32_t w = charWidthPx(font, scale);
  const std::int32_t h = lineHeightPx(font, scale);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const std::int32_t cx = x + static_cast<std::int32_t>(i) * w;
    if (line[i] != ' ' && line[i] != '\t') {
      const std::int32_t l = cx + 1;
      const std::int32_t r = cx + w - 2;
      const std::int32_t t = y + 2;
      const std::int32_t b = y + h - 3;
      for (std::int32_t px = l; px <= r; ++px) {
        bitmap.set(px, t, color);
        bitmap.set(px, b, color);
      }
      for (std::int32_t py = t; py <= b; ++py) {
        bitmap.set(l, py, color);
        bitmap.set(r, py, color);
      }
    }
    if (font.underline)
      for (std::int32_t px = cx; px < cx + w; ++px) bitmap.set(px, y + h - 2, color);
  }
}

}  // namespace nx::sim
