#include "platform/sim/sim_bitmap.h"

#include <algorithm>

namespace nx::sim {

Bitmap::Bitmap(std::int32_t width, std::int32_t height, Rgb fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
                 fill & 0x00FFFFFFu);
}

void Bitmap::fill(Rgb color) {
  std::fill(pixels_.begin(), pixels_.end(), color & 0x00FFFFFFu);
}

void Bitmap::resize(std::int32_t width, std::int32_t height, Rgb fill) {
  Bitmap next(width, height, fill);
  std::int32_t w = std::min(width_, next.width_);
  std::int32_t h = std::min(height_, next.height_);
  for (std::int32_t y = 0; y < h; ++y) std::copy(row(y), row(y) + w, next.row(y));
  *this = std::move(next);
}

}  // namespace nx::sim
