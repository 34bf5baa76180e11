// NxMeter layout and painting: the segment size that fits a drawing length, the length the
// control snaps to, the segment rectangles, and painting them with the rectangle routine that
// the control also offers its clients as drawApiRect.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/runtime/device_context.h"
#include "core/runtime/geometry.h"
#include "widgets/meter/meter_model.h"

namespace nx::meter {

// Segment size s for a drawing length of `length` pixels: (length - 2 gaps - (steps - 1)) /
// steps rounded, halves to even; at least 1, so that a meter too short for its steps grows.
std::int32_t segmentSize(std::int32_t length, std::int32_t steps);

// The control's length in twips that fits `steps` segments of size s with one pixel between
// them and the gaps at both ends, plus the room of the window border: 4 pixels for a 3D border,
// 2 for a flat one, none without a border. `twipsPerPixel` is the screen's along the length
// (60 and 30 twips for the border at 15 twips per pixel).
double snappedLengthTwips(std::int32_t steps, std::int32_t segment, std::int32_t appearance,
                          std::int32_t borderStyle, double twipsPerPixel);

// Rectangles of segments 0..steps-1 (right and bottom exclusive) on a drawing area of width x
// height pixels: vertical meters stack them upward from the bottom, horizontal ones run from the
// left, one pixel apart.
std::vector<Rect> segmentRects(std::int32_t orientation, std::int32_t steps, std::int32_t segment,
                               std::int32_t width, std::int32_t height);

// The drawing colour of a zone.
Rgb zoneColor(const MeterState& state, Zone zone);

// Paints every segment in its zone colour (outline and fill alike).
void paintSegments(DeviceContext& dc, const MeterState& state, const std::vector<Rect>& segments);

// A rectangle with corners (x1, y1) and (x2, y2), right and bottom exclusive as the platform's
// rectangle call draws it (the corners may come in any order): a one-pixel outline in `outline`
// and the inside filled with `fill`. A colour left out (nullopt) leaves that part unpainted. An
// empty rectangle draws nothing.
void drawRectangle(DeviceContext& dc, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                   std::int32_t y2, std::optional<Rgb> outline, std::optional<Rgb> fill);

}  // namespace nx::meter
