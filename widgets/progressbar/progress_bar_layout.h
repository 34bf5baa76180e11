// NxProgressBar layout and painting: the gradients that make up the bar for a given state and
// size in pixels, and painting them.
#pragma once

#include <cstdint>
#include <vector>

#include "core/runtime/device_context.h"
#include "core/runtime/geometry.h"
#include "widgets/progressbar/progress_bar_model.h"

namespace nx {

struct BarGradient {
  Rect rect;  // left, top, right, bottom as the gradient request takes them
  Rgb first;
  Rgb second;
  std::int16_t direction;
  friend bool operator==(const BarGradient&, const BarGradient&) = default;
};

struct BarLayout {
  float percentage = 0.0f;
  std::int32_t fill = 0;  // filled pixels along the bar
  std::vector<BarGradient> gradients;
};

// The bar of `state` over width x height pixels. An empty or inverted range draws the empty bar.
BarLayout layoutBar(const ProgressBarState& state, std::int32_t width, std::int32_t height);

// Paints the gradients in order.
void paintBar(DeviceContext& dc, const BarLayout& layout);

}  // namespace nx
