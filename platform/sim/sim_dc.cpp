#include "platform/sim/sim_dc.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/runtime/errors.h"

namespace nx::sim {

DC::DC(Bitmap& bitmap, std::shared_ptr<const Switches> switches)
    : bitmap_(bitmap), switches_(std::move(switches)) {}

void DC::readRow(std::int32_t y, std::int32_t x0, std::span<Rgb> out) const {
  if (y < 0 || y >= bitmap_.height()) {
    std::fill(out.begin(), out.end(), kInvalidColor);
    return;
  }
  const Rgb* src = bitmap_.row(y);
  for (std::size_t i = 0; i < out.size(); ++i) {
    std::int64_t x = std::int64_t{x0} + static_cast<std::int64_t>(i);
    out[i] = (x >= 0 && x < bitmap_.width()) ? src[x] : kInvalidColor;
  }
}

void DC::scroll(const Rect& r, std::int32_t dx, std::int32_t dy) {
  const std::int64_t left = std::max<std::int64_t>(r.left, 0);
  const std::int64_t top = std::max<std::int64_t>(r.top, 0);
  const std::int64_t right = std::min<std::int64_t>(r.right, bitmap_.width());
  const std::int64_t bottom = std::min<std::int64_t>(r.bottom, bitmap_.height());
  // The source rectangle whose pixels land inside the clipped one.
  const std::int64_t sl = left + std::max<std::int64_t>(-std::int64_t{dx}, 0);
  const std::int64_t st = top + std::max<std::int64_t>(-std::int64_t{dy}, 0);
  const std::int64_t sr = right - std::max<std::int64_t>(dx, 0);
  const std::int64_t sb = bottom - std::max<std::int64_t>(dy, 0);
  if (sl >= sr || st >= sb) return;
  const auto count = static_cast<std::size_t>(sr - sl);
  const auto move = [&](std::int64_t y) {
    const Rgb* row = bitmap_.row(static_cast<std::int32_t>(y));
    std::memmove(bitmap_.row(static_cast<std::int32_t>(y + dy)) + sl + dx, row + sl,
                 count * sizeof(Rgb));
  };
  if (dy > 0) {
    for (std::int64_t y = sb - 1; y >= st; --y) move(y);
  } else {
    for (std::int64_t y = st; y < sb; ++y) move(y);
  }
}

Rgb DC::selectPen(Rgb color) {
  Rgb previous = pen_;
  pen_ = color & 0x00FFFFFFu;
  ++penSelections_;
  return previous;
}

void DC::moveTo(std::int32_t x, std::int32_t y) {
  position_ = Point{x, y};
}

void DC::lineTo(std::int32_t x, std::int32_t y) {
  ++lineCount_;
  std::int64_t x0 = position_.x;
  std::int64_t y0 = position_.y;
  const std::int64_t x1 = x;
  const std::int64_t y1 = y;
  position_ = Point{x, y};
  if (y0 == y1) {
    // Horizontal runs are common (gradients, borders); fill them directly.
    if (y0 < 0 || y0 >= bitmap_.height()) return;
    std::int64_t a = x0 < x1 ? x0 : x1 + 1;
    std::int64_t b = x0 < x1 ? x1 - 1 : x0;
    a = std::max<std::int64_t>(a, 0);
    b = std::min<std::int64_t>(b, bitmap_.width() - 1);
    Rgb* row = bitmap_.row(static_cast<std::int32_t>(y0));
    for (std::int64_t i = a; i <= b; ++i) row[i] = pen_;
    return;
  }
  if (x0 == x1) {
    if (x0 < 0 || x0 >= bitmap_.width()) return;
    std::int64_t a = y0 < y1 ? y0 : y1 + 1;
    std::int64_t b = y0 < y1 ? y1 - 1 : y0;
    a = std::max<std::int64_t>(a, 0);
    b = std::min<std::int64_t>(b, bitmap_.height() - 1);
    for (std::int64_t i = a; i <= b; ++i) bitmap_.row(static_cast<std::int32_t>(i))[x0] = pen_;
    return;
  }
  // A slanted line that misses the bitmap paints nothing.
  if (std::max(x0, x1) < 0 || std::max(y0, y1) < 0 || std::min(x0, x1) >= bitmap_.width() ||
      std::min(y0, y1) >= bitmap_.height())
    return;
  // GDI's Bresenham: the major axis steps every pixel, the minor one when the error term
  // (plus a bias of one in octants 3, 5, 6 and 8, so that a line covers the same pixels drawn
  // either way) turns positive; the end point is left out.
  const std::int64_t sdx = x1 - x0;
  const std::int64_t sdy = y1 - y0;
  const std::int64_t dx = std::llabs(sdx);
  const std::int64_t dy = std::llabs(sdy);
  int octant;  // 1..8, counter-clockwise from the positive x axis, y growing downwards
  if (sdy > 0)
    octant = sdx > 0 ? (dx > dy ? 1 : 2) : (dx > dy ? 4 : 3);
  else
    octant = sdx < 0 ? (dx > dy ? 5 : 6) : (dx > dy ? 8 : 7);
  const std::int64_t bias = (0xB4 >> (octant - 1)) & 1;
  const bool xMajor = dx > dy;
  const std::int64_t major = xMajor ? dx : dy;
  const std::int64_t minor = xMajor ? dy : dx;
  const std::int64_t sx = sdx > 0 ? 1 : -1;
  const std::int64_t sy = sdy > 0 ? 1 : -1;
  std::int64_t err = 2 * minor - major;
  for (std::int64_t n = 0; n < major; ++n) {
    if (x0 >= 0 && y0 >= 0 && x0 < bitmap_.width() && y0 < bitmap_.height())
      bitmap_.row(static_cast<std::int32_t>(y0))[x0] = pen_;
    if (err + bias > 0) {
      if (xMajor)
        y0 += sy;
      else
        x0 += sx;
      err += 2 * minor - 2 * major;
    } else {
      err += 2 * minor;
    }
    if (xMajor)
      x0 += sx;
    else
      y0 += sy;
  }
}

void DC::fillRect(const Rect& r, Rgb color) {
  std::int32_t l = std::max(r.left, 0);
  std::int32_t t = std::max(r.top, 0);
  std::int32_t rr = std::min(r.right, bitmap_.width());
  std::int32_t b = std::min(r.bottom, bitmap_.height());
  for (std::int32_t y = t; y < b; ++y) std::fill(bitmap_.row(y) + l, bitmap_.row(y) + rr, color);
}

namespace {

std::uint32_t u16(std::int16_t v) {
  return static_cast<std::uint16_t>(v);
}

Rgb interpolate(const TriVertex& a, const TriVertex& b, std::int64_t pos, std::int64_t len) {
  auto ch = [pos, len](std::int16_t c0, std::int16_t c1) {
    std::int64_t v =
        (std::int64_t{u16(c0)} * (len - pos) + std::int64_t{u16(c1)} * pos) / len / 256;
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255));
  };
  return makeRgb(ch(a.red, b.red), ch(a.green, b.green), ch(a.blue, b.blue));
}

}  // namespace

void DC::gradientFill(std::span<const TriVertex> vertices, std::span<const GradientRect> rects,
                      GradientMode mode) {
  if (!switches_->gradientFillAvailable)
    throw PlatformCallMissing("the image library's gradient fill is not available");
  ++gradientFillCalls_;
  for (const GradientRect& gr : rects) {
    if (gr.upperLeft >= vertices.size() || gr.lowerRight >= vertices.size()) continue;
    TriVertex a = vertices[gr.upperLeft];
    TriVertex b = vertices[gr.lowerRight];
    const std::int64_t left = std::min(a.x, b.x);
    const std::int64_t right = std::max(a.x, b.x);
    const std::int64_t top = std::min(a.y, b.y);
    const std::int64_t bottom = std::max(a.y, b.y);
    if (mode == GradientMode::RectH ? a.x > b.x : a.y > b.y) std::swap(a, b);
    const std::int64_t x0 = std::max<std::int64_t>(left, 0);
    const std::int64_t x1 = std::min<std::int64_t>(right, bitmap_.width());
    const std::int64_t y0 = std::max<std::int64_t>(top, 0);
    const std::int64_t y1 = std::min<std::int64_t>(bottom, bitmap_.height());
    if (x0 >= x1 || y0 >= y1) continue;
    if (mode == GradientMode::RectH) {
      const std::int64_t len = right - left;
      for (std::int64_t x = x0; x < x1; ++x) {
        Rgb c = interpolate(a, b, x - left, len);
        for (std::int64_t y = y0; y < y1; ++y) bitmap_.row(static_cast<std::int32_t>(y))[x] = c;
      }
    } else {
      const std::int64_t len = bottom - top;
      for (std::int64_t y = y0; y < y1; ++y) {
        Rgb c = interpolate(a, b, y - top, len);
        Rgb* row = bitmap_.row(static_cast<std::int32_t>(y));
        std::fill(row + x0, row + x1, c);
      }
    }
  }
}

MemoryDC::MemoryDC(std::int32_t width, std::int32_t height, Rgb fill,
                   std::shared_ptr<const Switches> switches)
    : bitmap_(width, height, fill), dc_(bitmap_, std::move(switches)) {}

}  // namespace nx::sim
