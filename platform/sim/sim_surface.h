// Persistent drawing surface of a simulated window: a bitmap addressed in twips. A twips value
// converts to the pixel round(twips / twips per pixel), halves rounded up.
#pragma once

#include <memory>

#include "core/runtime/dc_surface.h"
#include "platform/sim/sim_bitmap.h"
#include "platform/sim/sim_dc.h"

namespace nx::sim {

class SimSurface : public DcSurface {
 public:
  SimSurface(double twipsPerPixelX, double twipsPerPixelY, std::shared_ptr<const Switches> switches,
             FontRef font);

  // Resizes the bitmap (the window's client area changed); kept pixels stay.
  void resizePixels(std::int32_t width, std::int32_t height);
  const Bitmap& bitmap() const { return bitmap_; }

  DeviceContext& dc() override { return dc_; }
  void print(std::string_view text, bool newLine) override;
  double textWidth(std::string_view text) const override;
  double textHeight(std::string_view text) const override;
  void paintPicture(const Picture& picture, double x, double y, double width,
                    double height) override;
  PictureRef image() const override;
  // How much larger text is in pixels than at 96 DPI (1.5 at 10 twips per pixel).
  double textScale() const { return 15.0 / twipsPerPixelY(); }

 private:
  FontDesc fontDesc() const;

  Bitmap bitmap_;
  DC dc_;
};

}  // namespace nx::sim
