// A surface over a device context: twips convert to pixels through the twips per pixel in X
// and Y (round(twips / twips per pixel), halves up), and lines, boxes and pixels go to the
// device context. Platforms add text and pictures.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/runtime/surface.h"

namespace nx {

class DcSurface : public Surface {
 public:
  DcSurface(double twipsPerPixelX, double twipsPerPixelY, FontRef font = nullptr);

  std::int32_t toPixelX(double twips) const;
  std::int32_t toPixelY(double twips) const;

  double twipsPerPixelX() const override { return tppX_; }
  double twipsPerPixelY() const override { return tppY_; }
  // The display's resolution changed (the window moved to another monitor).
  void setTwipsPerPixel(double x, double y) {
    if (x > 0) tppX_ = x;
    if (y > 0) tppY_ = y;
  }
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

 protected:
  // Moves the current position past printed text: `lines` lines, the last one `lastWidthPx`
  // wide, lines `lineHeightPx` apart and `totalHeightPx` high in all. With `newLine` the
  // position goes to the start of the next line, else to the end of the text.
  void advancePastText(std::size_t lines, std::int32_t lastWidthPx, std::int32_t lineHeightPx,
                       std::int32_t totalHeightPx, bool newLine);
  // The device context of a const surface, for reading.
  const DeviceContext& readDc() const { return const_cast<DcSurface*>(this)->dc(); }

 private:
  double tppX_;
  double tppY_;
  Rgb fore_ = 0;
  Rgb back_ = 0x00FFFFFF;
  FontRef font_;
  double curX_ = 0;
  double curY_ = 0;
};

}  // namespace nx
