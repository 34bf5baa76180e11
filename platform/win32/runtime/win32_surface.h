// The control's persistent drawing surface on GDI: twips map to pixels of a memory bitmap
// through the screen's twips per pixel, rounded to the nearest pixel.
#pragma once

#include "core/runtime/dc_surface.h"
#include "platform/win32/runtime/win32_dc.h"

namespace nx::win32 {

class Win32Surface final : public DcSurface {
 public:
  Win32Surface(double twipsPerPixelX, double twipsPerPixelY);

  void resizePixels(std::int32_t width, std::int32_t height);
  Win32Dc& win32Dc() { return dc_; }
  // Copies the image to `target` stretched into `bounds`.
  void paintTo(HDC target, const RECT& bounds) const;

  DeviceContext& dc() override { return dc_; }
  void print(std::string_view text, bool newLine) override;
  double textWidth(std::string_view text) const override;
  double textHeight(std::string_view text) const override;
  void paintPicture(const Picture& picture, double x, double y, double width,
                    double height) override;
  PictureRef image() const override;

 private:
  SIZE extent(std::string_view text) const;

  Win32Dc dc_;
};

}  // namespace nx::win32
