// Window shapes from a mask colour: every pixel of the mask colour becomes transparent.
#pragma once

#include <cstdint>
#include <memory>

#include "core/runtime/color.h"
#include "core/runtime/device_context.h"
#include "core/runtime/region.h"
#include "core/runtime/window.h"

namespace nx {

// The region of all pixels of (0, 0)-(width, height) that are not of the mask colour; with
// `whole` the full rectangle. nullptr for no device context, a size that is not positive, or a
// surface without any mask-coloured pixel.
std::unique_ptr<Region> regionFromMask(const DeviceContext* dc, std::int32_t width,
                                       std::int32_t height, Rgb maskColor, bool whole);

// The same result, built as the platform would by reading each pixel and combining one
// rectangle per mask run. Kept as the reference for regionFromMask.
std::unique_ptr<Region> regionFromMaskPerPixel(const DeviceContext* dc, std::int32_t width,
                                               std::int32_t height, Rgb maskColor, bool whole);

// Hands the region to the window as its shape with immediate redraw; the window owns it from
// then on. False, doing nothing, for no window or no region.
bool applyRegion(ControlWindow* window, std::unique_ptr<Region> region);

}  // namespace nx
