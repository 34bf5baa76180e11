#include "widgets/progressbar/progress_bar_layout.h"

#include "core/support/grad_bar.h"
#include "core/support/rounding.h"

namespace nx {
namespace {

struct Colors {
  Rgb bar;
  Rgb back;
  Rgb light;
};

void horizontal(BarLayout& out, const Colors& c, std::int32_t lightStyle, std::int32_t w,
                std::int32_t h) {
  constexpr std::int16_t d = kGradientVertical;
  const std::int32_t fill = out.fill;
  if (lightStyle == lsTube) {
    const std::int32_t t = roundToInt32(h / 5.0);
    out.gradients.push_back({{0, 0, w, h}, c.back, c.back, d});
    out.gradients.push_back({{fill, 0, w, t}, c.back, c.light, d});
    out.gradients.push_back({{fill, t, w, h - t}, c.light, c.back, d});
    if (fill > 0) {
      out.gradients.push_back({{0, 0, fill, h}, c.bar, c.bar, d});
      out.gradients.push_back({{0, 0, fill, t}, c.bar, c.light, d});
      out.gradients.push_back({{0, t, fill, h - t}, c.light, c.bar, d});
    }
  } else {
    out.gradients.push_back({{0, 0, w, h}, c.light, c.back, d});
    if (fill > 0) out.gradients.push_back({{0, 0, fill, h}, c.light, c.bar, d});
  }
}

void vertical(BarLayout& out, const Colors& c, std::int32_t lightStyle, std::int32_t w,
              std::int32_t h) {
  constexpr std::int16_t d = kGradientHorizontal;
  const std::int32_t fill = out.fill;
  if (lightStyle == lsTube) {
    const std::int32_t t = roundToInt32(w / 5.0);
    out.gradients.push_back({{0, 0, w, h}, c.back, c.back, d});
    out.gradients.push_back({{0, 0, t, h}, c.back, c.light, d});
    out.gradients.push_back({{t, 0, w, h}, c.light, c.back, d});
    if (fill >= 1) {
      out.gradients.push_back({{0, h - fill, w, h}, c.bar, c.bar, d});
      out.gradients.push_back({{0, h - fill, t, h}, c.bar, c.light, d});
      out.gradients.push_back({{t, h - fill, w, h}, c.light, c.bar, d});
    }
  } else {
    out.gradients.push_back({{0, 0, w, h}, c.light, c.back, d});
    if (fill >= 1) out.gradients.push_back({{0, h - fill, w, h}, c.light, c.bar, d});
  }
}

}  // namespace

BarLayout layoutBar(const ProgressBarState& state, std::int32_t width, std::int32_t height) {
  BarLayout out;
  const Colors colors{state.barColor.resolved(), state.backColor.resolved(),
                      state.lightColor.resolved()};
  const bool isVertical = state.orientation == orVertical;
  const std::optional<float> p = barPercentage(state.value, state.minValue, state.maxValue);
  out.percentage = p.value_or(0.0f);
  out.fill = p ? filledLength(*p, isVertical ? height : width) : 0;
  if (isVertical) {
    vertical(out, colors, state.lightStyle, width, height);
  } else {
    horizontal(out, colors, state.lightStyle, width, height);
  }
  return out;
}

void paintBar(DeviceContext& dc, const BarLayout& layout) {
  for (const BarGradient& g : layout.gradients)
    drawGradient(dc, g.rect.left, g.rect.top, g.rect.right, g.rect.bottom, g.first, g.second,
                 g.direction);
}

}  // namespace nx
