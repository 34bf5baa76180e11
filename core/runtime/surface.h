// The control's persistent drawing surface, addressed in twips. What is drawn stays until the
// surface is cleared. Twips convert to device pixels through the screen's twips per pixel in X
// and Y, rounded to the nearest pixel.
#pragma once

#include <string_view>

#include "core/runtime/color.h"
#include "core/runtime/device_context.h"
#include "core/runtime/font.h"
#include "core/runtime/picture.h"

namespace nx {

class Surface {
 public:
  virtual ~Surface() = default;

  virtual DeviceContext& dc() = 0;
  virtual double twipsPerPixelX() const = 0;
  virtual double twipsPerPixelY() const = 0;

  virtual Rgb foreColor() const = 0;
  virtual void setForeColor(Rgb color) = 0;
  virtual Rgb backColor() const = 0;
  virtual void setBackColor(Rgb color) = 0;
  virtual FontRef font() const = 0;
  virtual void setFont(FontRef font) = 0;

  // Clears to the back colour; the current position returns to (0, 0).
  virtual void clear() = 0;

  virtual double currentX() const = 0;
  virtual double currentY() const = 0;
  virtual void setCurrentPosition(double x, double y) = 0;

  // Line from (x1, y1) to (x2, y2); the end point is not painted; the current position becomes
  // the end point.
  virtual void line(double x1, double y1, double x2, double y2, Rgb color) = 0;
  // Box with corners (x1, y1) and (x2, y2), both corners included, outline or filled; the
  // current position becomes (x2, y2).
  virtual void box(double x1, double y1, double x2, double y2, Rgb color, bool filled) = 0;
  // Sets one pixel; the current position becomes (x, y).
  virtual void setPixel(double x, double y, Rgb color) = 0;
  // Reads one pixel; kInvalidColor outside the surface.
  virtual Rgb pixel(double x, double y) const = 0;

  // Prints text at the current position in the current font and fore colour. With `newLine`
  // the current position moves to the start of the next line (X 0, Y plus the text height),
  // otherwise X advances by the text width.
  virtual void print(std::string_view text, bool newLine) = 0;
  virtual double textWidth(std::string_view text) const = 0;
  virtual double textHeight(std::string_view text) const = 0;

  // Paints a picture stretched into the box at (x, y) of size (width, height).
  virtual void paintPicture(const Picture& picture, double x, double y, double width,
                            double height) = 0;
  // A picture of what is drawn now.
  virtual PictureRef image() const = 0;
};

}  // namespace nx
