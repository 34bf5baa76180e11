#include "platform/sim/sim_surface.h"

#include <algorithm>
#include <cmath>

#include "platform/sim/sim_objects.h"
#include "platform/sim/sim_text.h"

namespace nx::sim {

SimSurface::SimSurface(double twipsPerPixelX, double twipsPerPixelY,
                       std::shared_ptr<const Switches> switches, FontRef font)
    : DcSurface(twipsPerPixelX, twipsPerPixelY, std::move(font)),
      dc_(bitmap_, std::move(switches)) {}

void SimSurface::resizePixels(std::int32_t width, std::int32_t height) {
  if (width == bitmap_.width() && height == bitmap_.height()) return;
  bitmap_.resize(std::max(width, 0), std::max(height, 0), backColor());
}

FontDesc SimSurface::fontDesc() const {
  return font() ? font()->describe() : FontDesc{};
}

void SimSurface::print(std::string_view text, bool newLine) {
  const FontDesc f = fontDesc();
  const double k = textScale();
  std::vector<std::string_view> lines = splitLines(text);
  const std::int32_t x = toPixelX(currentX());
  std::int32_t y = toPixelY(currentY());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    drawTextLine(bitmap_, f, i == 0 ? x : 0, y, lines[i], foreColor(), k);
    if (i + 1 < lines.size()) y += lineHeightPx(f, k);
  }
  advancePastText(lines.size(), textWidthPx(f, lines.back(), k), lineHeightPx(f, k),
                  textHeightPx(f, text, k), newLine);
}

double SimSurface::textWidth(std::string_view text) const {
  return static_cast<double>(textWidthPx(fontDesc(), text, textScale())) * twipsPerPixelX();
}

double SimSurface::textHeight(std::string_view text) const {
  return static_cast<double>(textHeightPx(fontDesc(), text, textScale())) * twipsPerPixelY();
}

void SimSurface::paintPicture(const Picture& picture, double x, double y, double width,
                              double height) {
  const auto* sp = dynamic_cast<const SimPicture*>(&picture);
  if (sp == nullptr || sp->pixels().width() == 0 || sp->pixels().height() == 0) return;
  const Bitmap& src = sp->pixels();
  std::int32_t x0 = toPixelX(x);
  std::int32_t y0 = toPixelY(y);
  std::int32_t w = toPixelX(x + width) - x0;
  std::int32_t h = toPixelY(y + height) - y0;
  if (w <= 0 || h <= 0) return;
  for (std::int32_t dy = 0; dy < h; ++dy) {
    std::int32_t sy = static_cast<std::int32_t>(std::int64_t{dy} * src.height() / h);
    for (std::int32_t dx = 0; dx < w; ++dx) {
      std::int32_t sx = static_cast<std::int32_t>(std::int64_t{dx} * src.width() / w);
      bitmap_.set(x0 + dx, y0 + dy, src.at(sx, sy));
    }
  }
}

PictureRef SimSurface::image() const {
  return std::make_shared<SimPicture>(bitmap_, 1440.0 / twipsPerPixelX());
}

}  // namespace nx::sim
