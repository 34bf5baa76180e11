// Pixel-level drawing context of a surface (the platform's device context). Coordinates are
// device pixels; drawing is clipped to the surface.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "core/runtime/color.h"
#include "core/runtime/geometry.h"

namespace nx {

// One vertex of the platform gradient fill: channels are 16-bit (8-bit channel x 256).
struct TriVertex {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int16_t red = 0;
  std::int16_t green = 0;
  std::int16_t blue = 0;
  std::int16_t alpha = 0;
};

// One rectangle of the platform gradient fill: indices of its two vertices.
struct GradientRect {
  std::uint32_t upperLeft = 0;
  std::uint32_t lowerRight = 0;
};

enum class GradientMode : std::uint32_t { RectH = 0, RectV = 1 };

class DeviceContext {
 public:
  virtual ~DeviceContext() = default;

  virtual std::int32_t widthPx() const = 0;
  virtual std::int32_t heightPx() const = 0;

  // The colour of one pixel, kInvalidColor outside the surface.
  virtual Rgb pixel(std::int32_t x, std::int32_t y) const = 0;
  // Bulk read of `out.size()` pixels of row y starting at column x0; pixels outside read as
  // kInvalidColor.
  virtual void readRow(std::int32_t y, std::int32_t x0, std::span<Rgb> out) const {
    for (std::size_t i = 0; i < out.size(); ++i)
      out[i] = pixel(x0 + static_cast<std::int32_t>(i), y);
  }
  virtual void setPixel(std::int32_t x, std::int32_t y, Rgb color) = 0;
  // Bulk read and write of the pixels of `r` (right and bottom exclusive), row by row into or
  // from `pixels`, which holds at least width x height values. Reads outside the surface give
  // kInvalidColor; writes outside it are dropped.
  virtual void readBlock(const Rect& r, std::span<Rgb> pixels) const {
    const std::int32_t w = r.right - r.left;
    if (w <= 0) return;
    for (std::int32_t y = r.top; y < r.bottom; ++y)
      readRow(y, r.left,
              pixels.subspan(static_cast<std::size_t>(y - r.top) * static_cast<std::size_t>(w),
                             static_cast<std::size_t>(w)));
  }
  virtual void writeBlock(const Rect& r, std::span<const Rgb> pixels) {
    const std::int32_t w = r.right - r.left;
    for (std::int32_t y = r.top; y < r.bottom; ++y)
      for (std::int32_t x = r.left; x < r.right; ++x)
        setPixel(x, y,
                 pixels[static_cast<std::size_t>(y - r.top) * static_cast<std::size_t>(w) +
                        static_cast<std::size_t>(x - r.left)]);
  }
  // Moves the pixels of `r` by `dx` columns and `dy` rows, within `r` (clipped to the surface):
  // pixels moved out of it are dropped, and those the move uncovers keep their colours.
  virtual void scroll(const Rect& r, std::int32_t dx, std::int32_t dy) {
    const Rect c{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, widthPx()),
                 std::min(r.bottom, heightPx())};
    const Rect from{c.left + std::max(-dx, 0), c.top + std::max(-dy, 0), c.right - std::max(dx, 0),
                    c.bottom - std::max(dy, 0)};
    if (from.empty()) return;
    std::vector<Rgb> pixels(static_cast<std::size_t>(from.width()) *
                            static_cast<std::size_t>(from.height()));
    readBlock(from, pixels);
    writeBlock(Rect{from.left + dx, from.top + dy, from.right + dx, from.bottom + dy}, pixels);
  }

  // Solid pen of width 1 used by lineTo. Returns the colour of the pen it replaced.
  virtual Rgb selectPen(Rgb color) = 0;
  virtual void moveTo(std::int32_t x, std::int32_t y) = 0;
  // Draws from the current position to (x, y) with the selected pen; the end point itself is
  // not painted. The current position becomes (x, y).
  virtual void lineTo(std::int32_t x, std::int32_t y) = 0;

  // Fills the rectangle (right and bottom exclusive).
  virtual void fillRect(const Rect& r, Rgb color) = 0;

  // The platform gradient fill. Raises PlatformCallMissing when the platform does not offer it.
  virtual void gradientFill(std::span<const TriVertex> vertices,
                            std::span<const GradientRect> rects, GradientMode mode) = 0;
};

// Keeps a pen selected for one drawing routine and puts the previous one back at the end.
class PenScope {
 public:
  PenScope(DeviceContext& dc, Rgb color) : dc_(dc), previous_(dc.selectPen(color)), color_(color) {}
  ~PenScope() { dc_.selectPen(previous_); }
  PenScope(const PenScope&) = delete;
  PenScope& operator=(const PenScope&) = delete;

  Rgb color() const { return color_; }
  void change(Rgb color) {
    if (color == color_) return;
    dc_.selectPen(color);
    color_ = color;
  }

 private:
  DeviceContext& dc_;
  Rgb previous_;
  Rgb color_;
};

}  // namespace nx
