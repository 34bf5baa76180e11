// The control's persistent drawing surface on GDI: twips map to pixels of a memory bitmap
// through the screen's twips per pixel, rounded to the nearest pixel.
#pragma once

#include "core/runtime/surface.h"
#include "platform/win32/runtime/win32_dc.h"

namespace nx::win32 {

class Win32Surface final : public Surface {
 public:
  Win32Surface(double twipsPerPixelX, double twipsPerPixelY);

  void resizePixels(std::int32_t width, std::int32_t height);
  Win32Dc& win32Dc() { return dc_; }
  // Copies the image to `target` stretched into `bounds`.
  void paintTo(HDC target, const RECT& bounds) const;

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
  void setCurrentPosition(double x, double y) override {
    curX_ = x;
    curY_ = y;
  }
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
  std::int32_t toPixelX(double twips) const;
  std::int32_t toPixelY(double twips) const;
  SIZE extent(std::string_view text) const;

  double tppX_;
  double tppY_;
  Win32Dc dc_;
  Rgb fore_ = 0;
  Rgb back_ = 0xFFFFFF;
  FontRef font_;
  double curX_ = 0;
  double curY_ = 0;
};

}  // namespace nx::win32
