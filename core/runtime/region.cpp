#include "core/runtime/region.h"

#include <algorithm>

namespace nx {
namespace {

using Span = Region::Span;

std::vector<Span> unionSpans(const std::vector<Span>& a, const std::vector<Span>& b) {
  std::vector<Span> all;
  all.reserve(a.size() + b.size());
  std::merge(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(all));
  std::vector<Span> out;
  for (const Span& s : all) {
    if (!out.empty() && s.first <= out.back().second) {
      out.back().second = std::max(out.back().second, s.second);
    } else {
      out.push_back(s);
    }
  }
  return out;
}

std::vector<Span> differenceSpans(const std::vector<Span>& a, const std::vector<Span>& b) {
  std::vector<Span> out;
  std::size_t j = 0;
  for (Span s : a) {
    while (j < b.size() && b[j].second <= s.first) ++j;
    std::size_t k = j;
    while (k < b.size() && b[k].first < s.second) {
      if (b[k].first > s.first) out.emplace_back(s.first, b[k].first);
      s.first = std::max(s.first, b[k].second);
      if (s.first >= s.second) break;
      ++k;
    }
    if (s.first < s.second) out.push_back(s);
  }
  return out;
}

const std::vector<Span>* spansAt(const std::vector<Region::Band>& bands, std::size_t& cursor,
                                 std::int32_t y) {
  while (cursor < bands.size() && bands[cursor].bottom <= y) ++cursor;
  if (cursor < bands.size() && bands[cursor].top <= y) return &bands[cursor].spans;
  return nullptr;
}

}  // namespace

Region::Region(const Rect& r) {
  if (!r.empty()) bands_.push_back(Band{r.top, r.bottom, {Span{r.left, r.right}}});
}

void Region::appendBand(std::int32_t top, std::int32_t bottom, const std::vector<Span>& spans) {
  if (bottom <= top || spans.empty()) return;
  if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
    bands_.back().bottom = bottom;
    return;
  }
  bands_.push_back(Band{top, bottom, spans});
}

Region Region::combine(const Region& a, const Region& b, Op op) {
  std::vector<std::int32_t> ys;
  for (const Band& band : a.bands_) {
    ys.push_back(band.top);
    ys.push_back(band.bottom);
  }
  for (const Band& band : b.bands_) {
    ys.push_back(band.top);
    ys.push_back(band.bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  static const std::vector<Span> kNone;
  Region out;
  std::size_t ca = 0;
  std::size_t cb = 0;
  for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
    const std::vector<Span>* sa = spansAt(a.bands_, ca, ys[i]);
    const std::vector<Span>* sb = spansAt(b.bands_, cb, ys[i]);
    const std::vector<Span>& la = sa ? *sa : kNone;
    const std::vector<Span>& lb = sb ? *sb : kNone;
    out.appendBand(ys[i], ys[i + 1],
                   op == Op::Union ? unionSpans(la, lb) : differenceSpans(la, lb));
  }
  return out;
}

void Region::unite(const Region& other) {
  *this = combine(*this, other, Op::Union);
}

void Region::subtract(const Region& other) {
  *this = combine(*this, other, Op::Difference);
}

bool Region::contains(std::int32_t x, std::int32_t y) const {
  for (const Band& band : bands_) {
    if (y < band.top || y >= band.bottom) continue;
    for (const Span& s : band.spans)
      if (x >= s.first && x < s.second) return true;
  }
  return false;
}

Rect Region::bounds() const {
  if (bands_.empty()) return {};
  Rect r{INT32_MAX, bands_.front().top, INT32_MIN, bands_.back().bottom};
  for (const Band& band : bands_) {
    r.left = std::min(r.left, band.spans.front().first);
    r.right = std::max(r.right, band.spans.back().second);
  }
  return r;
}

std::vector<Rect> Region::rects() const {
  std::vector<Rect> out;
  for (const Band& band : bands_)
    for (const Span& s : band.spans) out.push_back(Rect{s.first, band.top, s.second, band.bottom});
  return out;
}

}  // namespace nx
