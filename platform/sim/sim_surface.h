// Persistent drawing surface of a simulated window: a bitmap addressed in twips. A twips value
// converts to the pixel round(twips / twips per pixel), halves rounded up.
#pragma once

#include <memory>

#include "core/runtime/surface.h"
#include "platform/sim/sim_bitmap.h"
#include "platform/sim/sim_dc.h"

namespace nx::sim {

class SimSurface : public Surface {
 public:
  SimSurface(double twipsPerPixelX, double twipsPerPixelY, std::shared_ptr<const Switches> switches,
             FontRef font);

  // Resizes the bitmap (the window's client area changed); kept pixels stay.
  void resizePixels(std::int32_t width, std::int32_t height);
  const Bitmap& bitmap() const { return bitmap_; }
  std::int32_t toPixelX(double twips) const;
  std::int32_t toPixelY(double twips) const;

  DeviceContext& dc() override { return dc_; }
  double twipsPerPixelX() const override { return tppX_; }
  double twipsPerPixelY() const override { return tppY_; }
  Rgb foreColor() const override { return fore_; }
  void setForeColor(Rgb color) override { fore_ = color; }
  Rgb backColor() const override { return back_; }
  void setBackColor(Rgb color) override { back_ = color; }
  FontRef font() const override { return font_; }
  void setFont(FontRef font) override { font_ = std::move(font); }
  void clear() override;
  double currentX() const override { return curX_; }
  double currentY() const override { return curY_; }
  void setCurrentPosition(double x, double y) override;
  void line(double x1, double y1, double x2, double y2, Rgb color) override;
  void box(double x1, double y1, double x2, double y2, Rgb color, bool filled) override;
  void setPixel(double x, double y, Rgb color) override;
  Rgb pixel(double x, double y) const override;
  void print(std::string_view text, bool newLine) override;
  double textWidth(std::string_view text) const override;
  double textHeight(std::string_view text) const override;
  void paintPicture(const Picture& picture, double x, double y, double width,
                    double height) override;
  PictureRef image() const override;

 private:
  FontDesc fontDesc() const;

  double tppX_;
  double tppY_;
  Bitmap bitmap_;
  DC dc_;
  Rgb fore_ = 0;
  Rgb back_ = 0x00FFFFFF;
  FontRef font_;
  double curX_ = 0;
  double curY_ = 0;
};

}  // namespace nx::sim
