// The country list of the drop-down as data: rows in the country table's order, the selected
// row and its highlight, the list's scroll position and what the mouse and the keys do to them.
// Everything is in twips; the list's own coordinates start at its top-left row area, the
// window's at the window's top left (the list is scrolled up by `scroll()` within it).
#pragma once

#include <cstdint>
#include <string_view>

namespace nx::vatbox {

inline constexpr int kRowCount = 27;
inline constexpr double kWindowWidth = 1050;
inline constexpr double kWindowHeight = 2295;
inline constexpr double kCodeGap = 30;  // from a flag's right edge to its code

// The list's measures. The defaults are those of a screen of 15 twips per pixel; the drop-down
// sets them from the screen. Flags keep their own pixel size, so rows are a whole number of
// pixels apart only when the gap between them is one pixel at every resolution.
struct ListGeometry {
  double innerWidth = kWindowWidth;
  double innerHeight = kWindowHeight;
  double scrollBarWidth = 255;
  double flagWidth = 360;
  double flagHeight = 240;
  double pixelWidth = 15;   // twips per pixel across
  double pixelHeight = 15;  // twips per pixel down

  // One pixel: between rows and above the first.
  double rowGap() const { return pixelHeight; }
  // One pixel: the flags' distance from the left edge, and the list's from the scroll bar.
  double flagLeft() const { return pixelWidth; }
  double pitch() const { return flagHeight + rowGap(); }
  double flagTop(int row) const { return pitch() * row + rowGap(); }
  double listWidth() const { return innerWidth - scrollBarWidth - pixelWidth; }
  double listHeight() const { return pitch() * kRowCount + rowGap(); }
  double codeLeft() const { return flagLeft() + flagWidth + kCodeGap; }
  // The scroll bar runs from 0 to here (never below 0).
  double scrollMax() const;
  double smallStep() const { return pitch(); }
  double largeStep() const { return 4 * pitch(); }
  double highlightHeight() const { return pitch(); }
};

enum class ListKey : std::uint8_t { None, Moved, Accept, Cancel };

class CountryList {
 public:
  explicit CountryList(ListGeometry g = {}) : g_(g) {}

  const ListGeometry& geometry() const { return g_; }
  int selected() const { return selected_; }
  double highlightTop() const { return highlightTop_; }
  double scroll() const { return scroll_; }
  // The scroll bar moved (clamped to 0..scrollMax).
  void setScroll(double value);

  // A mouse move over the list at list coordinates. True when the highlight moved to another
  // row (the selection and its tooltip change); the gap between rows and a position seen last
  // time change nothing.
  bool mouseMove(double x, double y);
  // Up and Down move the highlight (scrolling the list when it leaves the window), Enter
  // accepts and Escape cancels; other keys do nothing.
  ListKey key(std::uint16_t keyCode);
  // The row under a point of the list, or -1 in a gap or outside the rows.
  int rowAt(double y) const;

  double lastMouseY() const { return lastY_; }

 private:
  void moveHighlightByKey();

  ListGeometry g_;
  int selected_ = 0;
  double highlightTop_ = 0;
  double scroll_ = 0;
  bool seen_ = false;
  double lastX_ = 0;
  double lastY_ = 0;
};

}  // namespace nx::vatbox
