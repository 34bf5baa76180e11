#include "core/runtime/dc_surface.h"

#include <algorithm>
#include <cmath>

namespace nx {

namespace {

std::int32_t toPixel(double twips, double tpp) {
  const double v = std::floor(twips / tpp + 0.5);
  if (!(v > -1e9)) return -1000000000;
  if (v > 1e9) return 1000000000;
  return static_cast<std::int32_t>(v);
}

}  // namespace

DcSurface::DcSurface(double twipsPerPixelX, double twipsPerPixelY, FontRef font)
    : tppX_(twipsPerPixelX), tppY_(twipsPerPixelY), font_(std::move(font)) {}

std::int32_t DcSurface::toPixelX(double twips) const {
  return toPixel(twips, tppX_);
}
std::int32_t DcSurface::toPixelY(double twips) const {
  return toPixel(twips, tppY_);
}

void DcSurface::clear() {
  DeviceContext& d = dc();
  d.fillRect(Rect{0, 0, d.widthPx(), d.heightPx()}, back_);
  curX_ = 0;
  curY_ = 0;
}

void DcSurface::setCurrentPosition(double x, double y) {
  curX_ = x;
  curY_ = y;
}

void DcSurface::line(double x1, double y1, double x2, double y2, Rgb color) {
  DeviceContext& d = dc();
  PenScope pen(d, color);
  d.moveTo(toPixelX(x1), toPixelY(y1));
  d.lineTo(toPixelX(x2), toPixelY(y2));
  setCurrentPosition(x2, y2);
}

void DcSurface::box(double x1, double y1, double x2, double y2, Rgb color, bool filled) {
  DeviceContext& d = dc();
  const std::int32_t l = toPixelX(std::min(x1, x2));
  const std::int32_t r = toPixelX(std::max(x1, x2));
  const std::int32_t t = toPixelY(std::min(y1, y2));
  const std::int32_t b = toPixelY(std::max(y1, y2));
  if (filled) {
    d.fillRect(Rect{l, t, r + 1, b + 1}, color);
  } else {
    d.fillRect(Rect{l, t, r + 1, t + 1}, color);
    d.fillRect(Rect{l, b, r + 1, b + 1}, color);
    d.fillRect(Rect{l, t, l + 1, b + 1}, color);
    d.fillRect(Rect{r, t, r + 1, b + 1}, color);
  }
  setCurrentPosition(x2, y2);
}

void DcSurface::setPixel(double x, double y, Rgb color) {
  dc().setPixel(toPixelX(x), toPixelY(y), color);
  setCurrentPosition(x, y);
}

void DcSurface::advancePastText(std::size_t lines, std::int32_t lastWidthPx,
                                std::int32_t lineHeightPx, std::int32_t totalHeightPx,
                                bool newLine) {
  if (newLine) {
    curX_ = 0;
    curY_ += static_cast<double>(totalHeightPx) * tppY_;
    return;
  }
  const double lastWidth = static_cast<double>(lastWidthPx) * tppX_;
  curX_ = lines > 1 ? lastWidth : curX_ + lastWidth;
  curY_ += static_cast<double>(lines - 1) * lineHeightPx * tppY_;
}

Rgb DcSurface::pixel(double x, double y) const {
  return readDc().pixel(toPixelX(x), toPixelY(y));
}

}  // namespace nx
