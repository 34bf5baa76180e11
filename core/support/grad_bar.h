// Two-colour linear gradients, painted with the platform gradient fill where it exists and with
// one-pixel lines where it does not.
#pragma once

#include <cstdint>

#include "core/runtime/color.h"
#include "core/runtime/device_context.h"
#include "core/runtime/geometry.h"

namespace nx {

// Direction 0: first colour at the left edge, second at the right. Direction 1: first colour at
// the top, second at the bottom.
inline constexpr std::int16_t kGradientHorizontal = 0;
inline constexpr std::int16_t kGradientVertical = 1;

// Paints the gradient with the strategy chosen once per thread: the first call tries the
// platform fill; if that call is missing it falls back to lines for this request and every
// later one on the thread.
void drawGradient(DeviceContext& dc, std::int32_t left, std::int32_t top, std::int32_t right,
                  std::int32_t bottom, Rgb first, Rgb second, std::int16_t direction);

// The platform fill over (left, top)-(right, bottom); raises PlatformCallMissing when the
// platform does not offer it.
void gradientByFill(DeviceContext& dc, std::int32_t left, std::int32_t top, std::int32_t right,
                    std::int32_t bottom, Rgb first, Rgb second, std::int16_t direction);

// One line per row (direction 1, rows top..bottom inclusive) or per column (direction 0,
// columns left..right inclusive); any other direction draws nothing.
void gradientByLines(DeviceContext& dc, const Rect& rect, Rgb first, Rgb second,
                     std::int16_t direction);

// 16-bit vertex channel of a 32-bit channel x 256 value (same bits read as signed).
std::int16_t toColor16(std::int32_t value);

// The strategy state of the calling thread.
struct GradientStrategy {
  bool probed = false;
  bool fillAvailable = false;
};
GradientStrategy gradientStrategy();

}  // namespace nx
