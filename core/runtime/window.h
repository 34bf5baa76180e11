// The control window the host gives each control instance.
#pragma once

#include <cstdint>
#include <memory>

#include "core/runtime/accessible.h"
#include "core/runtime/color.h"
#include "core/runtime/font.h"
#include "core/runtime/geometry.h"
#include "core/runtime/picture.h"
#include "core/runtime/region.h"
#include "core/runtime/surface.h"

namespace nx {

using WindowHandle = std::intptr_t;

class PartFactory;

enum class Appearance : std::int16_t { Flat = 0, ThreeD = 1 };
enum class BorderStyle : std::int16_t { None = 0, FixedSingle = 1 };

// What a new control window looks like, and how its border takes client pixels: a 3D border
// takes 2 pixels on each side, a flat one 1, none 0. Both platforms' windows start from these.
namespace windowdefaults {
inline constexpr std::int16_t kAppearance = 1;                             // 3D
inline constexpr std::int16_t kBorderStyle = 0;                            // none
inline constexpr OleColor kBackColor = static_cast<OleColor>(0x8000000F);  // button face
inline constexpr OleColor kForeColor = static_cast<OleColor>(0x80000012);  // button text
}  // namespace windowdefaults

constexpr std::int32_t borderPixelsOf(std::int16_t appearance, std::int16_t borderStyle) {
  if (borderStyle != 1) return 0;
  return appearance == 1 ? 2 : 1;
}

class ControlWindow {
 public:
  virtual ~ControlWindow() = default;

  virtual WindowHandle handle() const = 0;

  virtual bool enabled() const = 0;
  virtual void setEnabled(bool on) = 0;

  // Outer size and position in the container, in twips.
  virtual double left() const = 0;
  virtual double top() const = 0;
  virtual double width() const = 0;
  virtual double height() const = 0;
  virtual void setWidth(double twips) = 0;
  virtual void setHeight(double twips) = 0;
  // Size of the drawing area inside the border, in twips.
  virtual double scaleWidth() const = 0;
  virtual double scaleHeight() const = 0;
  virtual double twipsPerPixelX() const = 0;
  virtual double twipsPerPixelY() const = 0;

  virtual std::int16_t appearance() const = 0;
  virtual void setAppearance(std::int16_t value) = 0;
  virtual std::int16_t borderStyle() const = 0;
  virtual void setBorderStyle(std::int16_t value) = 0;

  virtual OleColor backColor() const = 0;
  virtual void setBackColor(OleColor color) = 0;
  virtual OleColor foreColor() const = 0;
  virtual void setForeColor(OleColor color) = 0;
  virtual FontRef font() const = 0;
  virtual void setFont(FontRef font) = 0;

  virtual std::int16_t mousePointer() const = 0;
  virtual void setMousePointer(std::int16_t pointer) = 0;
  virtual CursorRef mouseIcon() const = 0;
  virtual void setMouseIcon(CursorRef icon) = 0;

  // Mouse capture: the window that holds it (0 for none), take it, release it.
  virtual WindowHandle captureHolder() const = 0;
  virtual void setCapture() = 0;
  virtual void releaseCapture() = 0;
  virtual Point cursorScreenPosition() const = 0;
  virtual Point screenToClient(Point screen) const = 0;

  // Gives the window a shape. The window owns the region from then on; nullptr is refused.
  // Returns whether the platform accepted it.
  virtual bool setRegion(std::unique_ptr<Region> region, bool redraw) = 0;

  virtual Surface& surface() = 0;
  // The constituent parts the control creates on this window (core/runtime/parts.h).
  virtual PartFactory& parts() = 0;

  // Tells accessibility clients that an element of the control changed: 0 is the control
  // itself, n its n-th child element.
  virtual void announce(AccessEvent event, int child) {
    static_cast<void>(event);
    static_cast<void>(child);
  }
  // Whether any accessibility client may be listening for announcements; a control that
  // hears false need not work out what changed.
  virtual bool accessibilityListening() const { return true; }
};

}  // namespace nx
