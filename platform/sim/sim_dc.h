// Device context over a simulated bitmap, following the platform's pixel rules:
// - lines are drawn with Bresenham's algorithm and their end point is not painted;
// - fillRect covers left..right-1 and top..bottom-1;
// - the gradient fill colours pixel p of a span of length n (p = 0..n-1) with
//   (c0 * (n - p) + c1 * p) / n / 256 per channel, where c0 and c1 are the 16-bit vertex channels
//   of the nearer and the farther edge; the rectangle spans the two vertices whatever their
//   order, the vertex nearer the left (horizontal) or the top (vertical) giving the first colour;
// - everything is clipped to the bitmap.
#pragma once

#include <memory>

#include "core/runtime/device_context.h"
#include "platform/sim/sim_bitmap.h"

namespace nx::sim {

// Switches that change how the simulated platform behaves.
struct Switches {
  bool gradientFillAvailable = true;
};

class DC : public DeviceContext {
 public:
  DC(Bitmap& bitmap, std::shared_ptr<const Switches> switches);

  std::int32_t widthPx() const override { return bitmap_.width(); }
  std::int32_t heightPx() const override { return bitmap_.height(); }
  Rgb pixel(std::int32_t x, std::int32_t y) const override { return bitmap_.at(x, y); }
  void readRow(std::int32_t y, std::int32_t x0, std::span<Rgb> out) const override;
  void setPixel(std::int32_t x, std::int32_t y, Rgb color) override { bitmap_.set(x, y, color); }
  void scroll(const Rect& r, std::int32_t dx, std::int32_t dy) override;
  Rgb selectPen(Rgb color) override;
  void moveTo(std::int32_t x, std::int32_t y) override;
  void lineTo(std::int32_t x, std::int32_t y) override;
  void fillRect(const Rect& r, Rgb color) override;
  void gradientFill(std::span<const TriVertex> vertices, std::span<const GradientRect> rects,
                    GradientMode mode) override;

  Rgb penColor() const { return pen_; }
  // Number of pens selected so far (each new pen of a line routine counts once).
  int penSelections() const { return penSelections_; }
  int lineCount() const { return lineCount_; }
  int gradientFillCalls() const { return gradientFillCalls_; }

 private:
  Bitmap& bitmap_;
  std::shared_ptr<const Switches> switches_;
  Rgb pen_ = 0;
  Point position_;
  int penSelections_ = 0;
  int lineCount_ = 0;
  int gradientFillCalls_ = 0;
};

// A bitmap with its own context, for drawing outside any window.
class MemoryDC {
 public:
  MemoryDC(std::int32_t width, std::int32_t height, Rgb fill = 0,
           std::shared_ptr<const Switches> switches = std::make_shared<Switches>());
  Bitmap& bitmap() { return bitmap_; }
  DC& dc() { return dc_; }

 private:
  Bitmap bitmap_;
  DC dc_;
};

}  // namespace nx::sim
