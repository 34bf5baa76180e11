// A 24-bit raster image held in memory, one RGB value (0x00BBGGRR) per pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "core/runtime/color.h"

namespace nx::sim {

class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(std::int32_t width, std::int32_t height, Rgb fill = 0);

  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  bool inside(std::int32_t x, std::int32_t y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
  }
  Rgb at(std::int32_t x, std::int32_t y) const {
    return inside(x, y) ? pixels_[index(x, y)] : kInvalidColor;
  }
  void set(std::int32_t x, std::int32_t y, Rgb color) {
    if (inside(x, y)) pixels_[index(x, y)] = color & 0x00FFFFFFu;
  }
  const Rgb* row(std::int32_t y) const { return pixels_.data() + index(0, y); }
  Rgb* row(std::int32_t y) { return pixels_.data() + index(0, y); }
  void fill(Rgb color);
  // Changes the size; pixels that stay inside keep their colour, new ones get `fill`.
  void resize(std::int32_t width, std::int32_t height, Rgb fill);

 private:
  std::size_t index(std::int32_t x, std::int32_t y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<Rgb> pixels_;
};

}  // namespace nx::sim
