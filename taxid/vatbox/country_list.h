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
inline constexpr double kRowGap = 15;  // between rows, and above the first
inline constexpr double kFlagLeft = 15;
inline constexpr double kCodeGap = 30;  // from a flag's right edge to its code

struct ListGeometry {
  double innerWidth = kWindowWidth;
  double innerHeight = kWindowHeight;
  double scrollBarWidth = 255;
  double flagWidth = 360;
  double flagHeight = 240;

  double pitch() const { return flagHeight + kRowGap; }
  double flagTop(int row) const { return pitch() * row + kRowGap; }
  double listWidth() const { return innerWidth - scrollBarWidth - kRowGap; }
  double listHeight() const { return pitch() * kRowCount + kRowGap; }
  double codeLeft() const { return kFlagLeft + flagWidth + kCodeGap; }
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
