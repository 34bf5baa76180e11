// A simulated control window: outer size and position in twips, a border that takes client
// pixels (3D with border: 2 per side; flat with border: 1 per side; none: 0), the client surface,
// and the capture and cursor of its host. Changing the outer size notifies the owner at once,
// as the platform does, so a control that resizes itself sees its own Resize.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "core/runtime/window.h"
#include "platform/sim/sim_parts.h"
#include "platform/sim/sim_surface.h"

namespace nx::sim {

class SimHost;

class SimWindow : public ControlWindow {
 public:
  SimWindow(SimHost& host, WindowHandle handle, double left, double top, double width,
            double height, FontRef font);

  void setResizeHandler(std::function<void()> handler) { onResize_ = std::move(handler); }
  // Host side: set the outer size without telling the control (the host calls Resize itself).
  void setOuterSize(double width, double height);
  std::int32_t borderPixels() const;
  // Top left of the client area on the screen, in pixels.
  Point clientOrigin() const;
  bool containsScreen(Point p) const;
  SimSurface& simSurface() { return surface_; }
  const Bitmap& bitmap() const { return surface_.bitmap(); }
  const Region* region() const { return region_.get(); }
  int regionChanges() const { return regionChanges_; }

  WindowHandle handle() const override { return handle_; }
  bool enabled() const override { return enabled_; }
  void setEnabled(bool on) override { enabled_ = on; }
  double left() const override { return left_; }
  // The host moved the control (twips).
  void setLeft(double twips) { left_ = twips; }
  double top() const override { return top_; }
  double width() const override { return width_; }
  double height() const override { return height_; }
  void setWidth(double twips) override;
  void setHeight(double twips) override;
  double scaleWidth() const override;
  double scaleHeight() const override;
  double twipsPerPixelX() const override { return surface_.twipsPerPixelX(); }
  double twipsPerPixelY() const override { return surface_.twipsPerPixelY(); }
  std::int16_t appearance() const override { return appearance_; }
  void setAppearance(std::int16_t value) override;
  std::int16_t borderStyle() const override { return borderStyle_; }
  void setBorderStyle(std::int16_t value) override;
  OleColor backColor() const override { return backColor_; }
  void setBackColor(OleColor color) override;
  OleColor foreColor() const override { return foreColor_; }
  void setForeColor(OleColor color) override;
  FontRef font() const override { return surface_.font(); }
  void setFont(FontRef font) override { surface_.setFont(std::move(font)); }
  std::int16_t mousePointer() const override { return mousePointer_; }
  void setMousePointer(std::int16_t pointer) override { mousePointer_ = pointer; }
  CursorRef mouseIcon() const override { return mouseIcon_; }
  void setMouseIcon(CursorRef icon) override { mouseIcon_ = std::move(icon); }
  WindowHandle captureHolder() const override;
  void setCapture() override;
  void releaseCapture() override;
  Point cursorScreenPosition() const override;
  Point screenToClient(Point screen) const override;
  bool setRegion(std::unique_ptr<Region> region, bool redraw) override;
  Surface& surface() override { return surface_; }
  PartFactory& parts() override { return parts_; }
  SimPartFactory& simParts() { return parts_; }

  // Accessibility announcements, in order, as a client listening to the window hears them.
  struct Announcement {
    AccessEvent event;
    int child;
    friend bool operator==(const Announcement&, const Announcement&) = default;
  };
  void announce(AccessEvent event, int child) override { announced_.push_back({event, child}); }
  bool accessibilityListening() const override { return listening_; }
  void setAccessibilityListening(bool on) { listening_ = on; }
  const std::vector<Announcement>& announcements() const { return announced_; }
  void clearAnnouncements() { announced_.clear(); }

 private:
  void syncSurface();
  void changed();

  SimHost& host_;
  WindowHandle handle_;
  double left_;
  double top_;
  double width_;
  double height_;
  bool enabled_ = true;
  std::int16_t appearance_ = windowdefaults::kAppearance;
  std::int16_t borderStyle_ = windowdefaults::kBorderStyle;
  OleColor backColor_ = windowdefaults::kBackColor;
  OleColor foreColor_ = windowdefaults::kForeColor;
  std::int16_t mousePointer_ = 0;
  CursorRef mouseIcon_;
  std::unique_ptr<Region> region_;
  int regionChanges_ = 0;
  SimSurface surface_;
  SimPartFactory parts_{surface_};
  std::function<void()> onResize_;
  std::vector<Announcement> announced_;
  bool listening_ = true;
};

}  // namespace nx::sim
