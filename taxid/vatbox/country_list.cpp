#include "taxid/vatbox/country_list.h"

#include <algorithm>

namespace nx::vatbox {

namespace {
constexpr std::uint16_t kKeyReturn = 13;
constexpr std::uint16_t kKeyEscape = 27;
constexpr std::uint16_t kKeyUp = 38;
constexpr std::uint16_t kKeyDown = 40;
}  // namespace

double ListGeometry::scrollMax() const {
  return std::max(0.0, listHeight() - innerHeight);
}

void CountryList::setScroll(double value) {
  scroll_ = std::clamp(value, 0.0, g_.scrollMax());
}

int CountryList::rowAt(double y) const {
  for (int i = 0; i < kRowCount; ++i) {
    const double top = g_.flagTop(i);
    if (top <= y && y <= top + g_.flagHeight) return i;
  }
  return -1;
}

bool CountryList::mouseMove(double x, double y) {
  if (seen_ && x == lastX_ && y == lastY_) return false;
  seen_ = true;
  lastX_ = x;
  lastY_ = y;
  const int row = rowAt(y);
  if (row < 0 || highlightTop_ == g_.flagTop(row)) return false;
  highlightTop_ = g_.flagTop(row);
  selected_ = row;
  return true;
}

ListKey CountryList::key(std::uint16_t keyCode) {
  switch (keyCode) {
    case kKeyDown:
      if (selected_ < kRowCount - 1) {
        ++selected_;
        moveHighlightByKey();
      }
      return ListKey::Moved;
    case kKeyUp:
      if (selected_ > 0) {
        --selected_;
        moveHighlightByKey();
      }
      return ListKey::Moved;
    case kKeyReturn:
      return ListKey::Accept;
    case kKeyEscape:
      return ListKey::Cancel;
    default:
      return ListKey::None;
  }
}

void CountryList::moveHighlightByKey() {
  highlightTop_ = g_.flagTop(selected_);
  // The highlight's top in the window, as the list is scrolled now.
  const double t = highlightTop_ - scroll_ + g_.rowGap();
  const double step = g_.highlightHeight();
  if (t > g_.innerHeight) {
    lastY_ += step;
    setScroll(scroll_ + step);
  } else if (t < 0) {
    lastY_ -= step;
    setScroll(scroll_ - step);
  }
}

}  // namespace nx::vatbox
