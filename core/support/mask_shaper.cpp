#include "core/support/mask_shaper.h"

#include "core/support/mask_region.h"
#include "core/support/rounding.h"

namespace nx {

std::int32_t MaskShaper::pixels(double twips, double twipsPerPixel) {
  if (!(twipsPerPixel > 0)) return 0;
  return roundToInt32(twips / twipsPerPixel);
}

void MaskShaper::beforePaint(ControlWindow& window) {
  if (!applied_) return;
  applied_ = false;
  const Surface& surface = window.surface();
  const std::int32_t w = pixels(window.scaleWidth(), surface.twipsPerPixelX());
  const std::int32_t h = pixels(window.scaleHeight(), surface.twipsPerPixelY());
  applyRegion(&window, regionFromMask(&window.surface().dc(), w, h, 0, true));
}

void MaskShaper::afterPaint(ControlWindow& window, bool useMask, Rgb maskColor) {
  if (!useMask || applied_) return;
  applied_ = true;
  const Surface& surface = window.surface();
  const std::int32_t w = pixels(window.scaleWidth(), surface.twipsPerPixelX());
  const std::int32_t h = pixels(window.scaleHeight(), surface.twipsPerPixelY());
  applyRegion(&window, regionFromMask(&window.surface().dc(), w, h, maskColor, false));
}

}  // namespace nx
