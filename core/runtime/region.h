// Window shape as a set of rectangles. Kept in canonical banded form (bands sorted top to
// bottom, spans inside a band sorted and disjoint, vertically adjacent bands with equal spans
// merged), so that two regions covering the same pixels compare equal.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/runtime/geometry.h"

namespace nx {

class Region {
 public:
  using Span = std::pair<std::int32_t, std::int32_t>;  // [first, second)
  struct Band {
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    std::vector<Span> spans;
    friend bool operator==(const Band&, const Band&) = default;
  };

  Region() = default;
  explicit Region(const Rect& r);

  void unite(const Region& other);
  void subtract(const Region& other);

  // Appends one band below all existing bands; merges it with the last band when it continues
  // it with equal spans. Spans must be sorted and disjoint; an empty span list only advances.
  void appendBand(std::int32_t top, std::int32_t bottom, const std::vector<Span>& spans);

  bool empty() const { return bands_.empty(); }
  bool contains(std::int32_t x, std::int32_t y) const;
  Rect bounds() const;
  std::vector<Rect> rects() const;
  const std::vector<Band>& bands() const { return bands_; }

  friend bool operator==(const Region&, const Region&) = default;

 private:
  enum class Op { Union, Difference };
  static Region combine(const Region& a, const Region& b, Op op);
  std::vector<Band> bands_;
};

}  // namespace nx
