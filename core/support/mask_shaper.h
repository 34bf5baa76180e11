// The window-shape steps a control with a mask colour takes around each complete redraw: give the
// window its whole rectangle back before painting, and shape it from the painted surface after.
#pragma once

#include "core/runtime/color.h"
#include "core/runtime/window.h"

namespace nx {

class MaskShaper {
 public:
  // Before clearing and painting: a window shaped earlier gets its whole rectangle back.
  void beforePaint(ControlWindow& window);
  // After painting: with the mask colour in use, shape the window from its own surface.
  void afterPaint(ControlWindow& window, bool useMask, Rgb maskColor);

  bool applied() const { return applied_; }

 private:
  // A drawing-area length in pixels by the surface's twips per pixel, rounded; 0 without a
  // usable twips per pixel.
  static std::int32_t pixels(double twips, double twipsPerPixel);
  bool applied_ = false;
};

}  // namespace nx
