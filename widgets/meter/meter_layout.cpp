#include "widgets/meter/meter_layout.h"

#include <algorithm>

#include "core/support/rounding.h"

namespace nx::meter {

std::int32_t segmentSize(std::int32_t length, std::int32_t steps) {
  if (steps < 1) return 0;
  const double room = static_cast<double>(length) - 2.0 * kBorderGap - (steps - 1.0);
  return std::max(roundToInt32(room / steps), 1);
}

double snappedLengthTwips(std::int32_t steps, std::int32_t segment, std::int32_t appearance,
                          std::int32_t borderStyle, double twipsPerPixel) {
  double pixels = static_cast<double>(steps) * segment + 2.0 * kBorderGap + steps - 1.0;
  // The window border takes its pixels on both ends: 2 each for a 3D border, 1 for a flat one.
  if (borderStyle == bsFixedSingle) pixels += appearance == ap3D ? 4.0 : 2.0;
  return twipsPerPixel * pixels;
}

std::vector<Rect> segmentRects(std::int32_t orientation, std::int32_t steps, std::int32_t segment,
                               std::int32_t width, std::int32_t height) {
  std::vector<Rect> out;
  if (steps < 1) return out;
  out.reserve(static_cast<std::size_t>(steps));
  const std::int32_t g = kBorderGap;
  const std::int32_t s = segment;
  if (orientation == orVertical) {
    std::int32_t y1 = height - g - s;
    for (std::int32_t i = 0; i < steps; ++i) {
      out.push_back(Rect{g, y1, width - g, y1 + s});
      y1 -= s + 1;
    }
  } else {
    std::int32_t x1 = g;
    for (std::int32_t i = 0; i < steps; ++i) {
      out.push_back(Rect{x1, g, x1 + s, height - g});
      x1 += s + 1;
    }
  }
  return out;
}

Rgb zoneColor(const MeterState& state, Zone zone) {
  switch (zone) {
    case Zone::L0:
      return state.colorL0.resolved();
    case Zone::L1:
      return state.colorL1.resolved();
    case Zone::L2:
      return state.colorL2.resolved();
    case Zone::Off:
      break;
  }
  return state.colorOff.resolved();
}

void paintSegments(DeviceContext& dc, const MeterState& state, const std::vector<Rect>& segments) {
  const std::int32_t steps = static_cast<std::int32_t>(segments.size());
  for (std::int32_t i = 1; i <= steps; ++i) {
    const Rgb c = zoneColor(
        state, segmentZone(i, steps, state.lit, state.level1StartPc, state.level2StartPc));
    const Rect& r = segments[static_cast<std::size_t>(i - 1)];
    drawRectangle(dc, r.left, r.top, r.right, r.bottom, c, c);
  }
}

void drawRectangle(DeviceContext& dc, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                   std::int32_t y2, std::optional<Rgb> outline, std::optional<Rgb> fill) {
  const std::int32_t l = std::min(x1, x2);
  const std::int32_t r = std::max(x1, x2);
  const std::int32_t t = std::min(y1, y2);
  const std::int32_t b = std::max(y1, y2);
  if (r <= l || b <= t) return;
  if (fill && r - l > 2 && b - t > 2) dc.fillRect(Rect{l + 1, t + 1, r - 1, b - 1}, *fill);
  if (outline) {
    dc.fillRect(Rect{l, t, r, t + 1}, *outline);
    dc.fillRect(Rect{l, b - 1, r, b}, *outline);
    dc.fillRect(Rect{l, t, l + 1, b}, *outline);
    dc.fillRect(Rect{r - 1, t, r, b}, *outline);
  }
}

}  // namespace nx::meter
