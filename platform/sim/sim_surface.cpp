#include "platform/sim/sim_surface.h"

#include <algorithm>
#include <cmath>

#include "platform/sim/sim_objects.h"
#include "platform/sim/sim_text.h"

namespace nx::sim {
namespace {

std::int32_t toPixel(double twips, double tpp) {
  double v = std::floor(twips / tpp + 0.5);
  if (!(v > -1e9)) return -1000000000;
  if (v > 1e9) return 1000000000;
  return static_cast<std::int32_t>(v);
}

}  // namespace

SimSurface::SimSurface(double twipsPerPixelX, double twipsPerPixelY,
                       std::shared_ptr<const Switches> switches, FontRef font)
    : tppX_(twipsPerPixelX),
      tppY_(twipsPerPixelY),
      dc_(bitmap_, std::move(switches)),
      font_(std::move(font)) {}

void SimSurface::resizePixels(std::int32_t width, std::int32_t height) {
  if (width == bitmap_.width() && height == bitmap_.height()) return;
  bitmap_.resize(std::max(width, 0), std::max(height, 0), back_);
}

std::int32_t SimSurface::toPixelX(double twips) const {
  return toPixel(twips, tppX_);
}
std::int32_t SimSurface::toPixelY(double twips) const {
  return toPixel(twips, tppY_);
}

FontDesc SimSurface::fontDesc() const {
  return font_ ? font_->describe() : FontDesc{};
}

void SimSurface::clear() {
  bitmap_.fill(back_);
  curX_ = 0;
  curY_ = 0;
}

void SimSurface::setCurrentPosition(double x, double y) {
  curX_ = x;
  curY_ = y;
}

void SimSurface::line(double x1, double y1, double x2, double y2, Rgb color) {
  PenScope pen(dc_, color);
  dc_.moveTo(toPixelX(x1), toPixelY(y1));
  dc_.lineTo(toPixelX(x2), toPixelY(y2));
  setCurrentPosition(x2, y2);
}

void SimSurface::box(double x1, double y1, double x2, double y2, Rgb color, bool filled) {
  std::int32_t l = toPixelX(std::min(x1, x2));
  std::int32_t r = toPixelX(std::max(x1, x2));
  std::int32_t t = toPixelY(std::min(y1, y2));
  std::int32_t b = toPixelY(std::max(y1, y2));
  if (filled) {
    dc_.fillRect(Rect{l, t, r + 1, b + 1}, color);
  } else {
    dc_.fillRect(Rect{l, t, r + 1, t + 1}, color);
    dc_.fillRect(Rect{l, b, r + 1, b + 1}, color);
    dc_.fillRect(Rect{l, t, l + 1, b + 1}, color);
    dc_.fillRect(Rect{r, t, r + 1, b + 1}, color);
  }
  setCurrentPosition(x2, y2);
}

void SimSurface::setPixel(double x, double y, Rgb color) {
  bitmap_.set(toPixelX(x), toPixelY(y), color);
  setCurrentPosition(x, y);
}

Rgb SimSurface::pixel(double x, double y) const {
  return bitmap_.at(toPixelX(x), toPixelY(y));
}

void SimSurface::print(std::string_view text, bool newLine) {
  const FontDesc f = fontDesc();
  std::vector<std::string_view> lines = splitLines(text);
  std::int32_t x = toPixelX(curX_);
  std::int32_t y = toPixelY(curY_);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    drawTextLine(bitmap_, f, i == 0 ? x : 0, y, lines[i], fore_);
    if (i + 1 < lines.size()) y += lineHeightPx(f);
  }
  if (newLine) {
    curX_ = 0;
    curY_ += static_cast<double>(textHeightPx(f, text)) * tppY_;
  } else {
    double lastWidth = static_cast<double>(textWidthPx(f, lines.back())) * tppX_;
    curX_ = lines.size() > 1 ? lastWidth : curX_ + lastWidth;
    curY_ += static_cast<double>(lines.size() - 1) * lineHeightPx(f) * tppY_;
  }
}

double SimSurface::textWidth(std::string_view text) const {
  return static_cast<double>(textWidthPx(fontDesc(), text)) * tppX_;
}

double SimSurface::textHeight(std::string_view text) const {
  return static_cast<double>(textHeightPx(fontDesc(), text)) * tppY_;
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
  return std::make_shared<SimPicture>(bitmap_, 1440.0 / tppX_);
}

}  // namespace nx::sim
