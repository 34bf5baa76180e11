#include "core/support/grad_bar.h"

#include <algorithm>
#include <array>
#include <exception>

#include "core/support/rounding.h"

namespace nx {
namespace {

thread_local GradientStrategy tStrategy;

TriVertex vertex(std::int32_t x, std::int32_t y, Rgb color) {
  TriVertex v;
  v.x = x;
  v.y = y;
  v.red = toColor16(static_cast<std::int32_t>(redOf(color)) * 256);
  v.green = toColor16(static_cast<std::int32_t>(greenOf(color)) * 256);
  v.blue = toColor16(static_cast<std::int32_t>(blueOf(color)) * 256);
  v.alpha = 0;
  return v;
}

std::uint8_t channelOf(float v) {
  double r = roundHalfEven(static_cast<double>(v));
  if (r < 0.0) return 0;
  if (r > 255.0) return 255;
  return static_cast<std::uint8_t>(r);
}

}  // namespace

std::int16_t toColor16(std::int32_t value) {
  std::int32_t v = value < 0x8000 ? value : value - 0x10000;
  return static_cast<std::int16_t>(v);
}

GradientStrategy gradientStrategy() {
  return tStrategy;
}

void gradientByFill(DeviceContext& dc, std::int32_t left, std::int32_t top, std::int32_t right,
                    std::int32_t bottom, Rgb first, Rgb second, std::int16_t direction) {
  const std::array<TriVertex, 2> vertices{vertex(left, top, first), vertex(right, bottom, second)};
  const std::array<GradientRect, 1> rects{GradientRect{1, 0}};
  dc.gradientFill(vertices, rects, direction > 0 ? GradientMode::RectV : GradientMode::RectH);
}

void gradientByLines(DeviceContext& dc, const Rect& rect, Rgb first, Rgb second,
                     std::int16_t direction) {
  std::int64_t span = 1;
  if (direction == kGradientVertical) span = std::int64_t{rect.bottom} - rect.top;
  if (direction == kGradientHorizontal) span = std::int64_t{rect.right} - rect.left;
  if (span == 0) span = 1;

  const float fspan = static_cast<float>(span);
  const float stepR = (static_cast<float>(redOf(second)) - redOf(first)) / fspan;
  const float stepG = (static_cast<float>(greenOf(second)) - greenOf(first)) / fspan;
  const float stepB = (static_cast<float>(blueOf(second)) - blueOf(first)) / fspan;
  float r = redOf(first);
  float g = greenOf(first);
  float b = blueOf(first);

  PenScope pen(dc, makeRgb(channelOf(r), channelOf(g), channelOf(b)));
  auto advance = [&] {
    pen.change(makeRgb(channelOf(r), channelOf(g), channelOf(b)));
    r += stepR;
    g += stepG;
    b += stepB;
  };
  // Lines past the far edge of the surface would not show, so the loops end there.
  if (direction == kGradientVertical) {
    const std::int64_t last = std::min<std::int64_t>(rect.bottom, dc.heightPx());
    for (std::int64_t y = rect.top; y <= last; ++y) {
      advance();
      dc.moveTo(rect.left, static_cast<std::int32_t>(y));
      dc.lineTo(rect.right, static_cast<std::int32_t>(y));
    }
  } else if (direction == kGradientHorizontal) {
    const std::int64_t last = std::min<std::int64_t>(rect.right, dc.widthPx());
    for (std::int64_t x = rect.left; x <= last; ++x) {
      advance();
      dc.moveTo(static_cast<std::int32_t>(x), rect.top);
      dc.lineTo(static_cast<std::int32_t>(x), rect.bottom);
    }
  }
}

void drawGradient(DeviceContext& dc, std::int32_t left, std::int32_t top, std::int32_t right,
                  std::int32_t bottom, Rgb first, Rgb second, std::int16_t direction) {
  if (!tStrategy.probed) {
    tStrategy.probed = true;
    try {
      gradientByFill(dc, left, top, right, bottom, first, second, direction);
      tStrategy.fillAvailable = true;
      return;
    } catch (const std::exception&) {
      // The fallback below draws this request and every later one on this thread.
    }
  }
  if (tStrategy.fillAvailable) {
    gradientByFill(dc, left, top, right, bottom, first, second, direction);
  } else {
    gradientByLines(dc, Rect{left, top, right, bottom}, first, second, direction);
  }
}

}  // namespace nx
