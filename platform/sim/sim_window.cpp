#include "platform/sim/sim_window.h"

#include <algorithm>
#include <cmath>

#include "core/support/color_funcs.h"
#include "platform/sim/sim_host.h"

namespace nx::sim {
namespace {

// Where the form's client area starts on the simulated screen.
constexpr std::int32_t kFormOriginX = 100;
constexpr std::int32_t kFormOriginY = 100;

}  // namespace

SimWindow::SimWindow(SimHost& host, WindowHandle handle, double left, double top, double width,
                     double height, FontRef font)
    : host_(host),
      handle_(handle),
      left_(left),
      top_(top),
      width_(std::max(width, 0.0)),
      height_(std::max(height, 0.0)),
      surface_(host.twipsPerPixelX(), host.twipsPerPixelY(), host.services().switches(),
               std::move(font)) {
  surface_.setBackColor(translateColor(backColor_, host_.services()));
  surface_.setForeColor(translateColor(foreColor_, host_.services()));
  syncSurface();
}

std::int32_t SimWindow::borderPixels() const {
  return borderPixelsOf(appearance_, borderStyle_);
}

double SimWindow::scaleWidth() const {
  return std::max(width_ - 2.0 * borderPixels() * twipsPerPixelX(), 0.0);
}

double SimWindow::scaleHeight() const {
  return std::max(height_ - 2.0 * borderPixels() * twipsPerPixelY(), 0.0);
}

void SimWindow::syncSurface() {
  surface_.resizePixels(static_cast<std::int32_t>(std::lround(scaleWidth() / twipsPerPixelX())),
                        static_cast<std::int32_t>(std::lround(scaleHeight() / twipsPerPixelY())));
}

void SimWindow::setOuterSize(double width, double height) {
  width_ = std::max(width, 0.0);
  height_ = std::max(height, 0.0);
  syncSurface();
}

void SimWindow::changed() {
  syncSurface();
  if (onResize_) onResize_();
}

void SimWindow::setWidth(double twips) {
  twips = std::max(twips, 0.0);
  if (twips == width_) return;
  width_ = twips;
  changed();
}

void SimWindow::setHeight(double twips) {
  twips = std::max(twips, 0.0);
  if (twips == height_) return;
  height_ = twips;
  changed();
}

void SimWindow::setAppearance(std::int16_t value) {
  appearance_ = value;
  syncSurface();
}

void SimWindow::setBorderStyle(std::int16_t value) {
  borderStyle_ = value;
  syncSurface();
}

void SimWindow::setBackColor(OleColor color) {
  backColor_ = color;
  surface_.setBackColor(translateColor(color, host_.services()));
}

void SimWindow::setForeColor(OleColor color) {
  foreColor_ = color;
  surface_.setForeColor(translateColor(color, host_.services()));
}

Point SimWindow::clientOrigin() const {
  return Point{kFormOriginX + static_cast<std::int32_t>(std::lround(left_ / twipsPerPixelX())) +
                   borderPixels(),
               kFormOriginY + static_cast<std::int32_t>(std::lround(top_ / twipsPerPixelY())) +
                   borderPixels()};
}

bool SimWindow::containsScreen(Point p) const {
  Point o = clientOrigin();
  std::int32_t b = borderPixels();
  auto w = static_cast<std::int32_t>(std::lround(width_ / twipsPerPixelX()));
  auto h = static_cast<std::int32_t>(std::lround(height_ / twipsPerPixelY()));
  return p.x >= o.x - b && p.y >= o.y - b && p.x < o.x - b + w && p.y < o.y - b + h;
}

WindowHandle SimWindow::captureHolder() const {
  return host_.capture();
}
void SimWindow::setCapture() {
  host_.setCapture(handle_);
}
void SimWindow::releaseCapture() {
  if (host_.capture() == handle_) host_.setCapture(0);
}
Point SimWindow::cursorScreenPosition() const {
  return host_.cursor();
}

Point SimWindow::screenToClient(Point screen) const {
  Point o = clientOrigin();
  return Point{screen.x - o.x, screen.y - o.y};
}

bool SimWindow::setRegion(std::unique_ptr<Region> region, bool /*redraw*/) {
  if (!region) return false;
  region_ = std::move(region);
  ++regionChanges_;
  return true;
}

}  // namespace nx::sim
