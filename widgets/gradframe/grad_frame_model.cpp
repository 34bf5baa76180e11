#include "widgets/gradframe/grad_frame_model.h"

#include <algorithm>

#include "core/support/rounding.h"

namespace nx::gradframe {

CaptionTab captionTab(std::int32_t alignment, bool centered, double sw, double sh, double textWidth,
                      double textHeight, std::int32_t captionWidth, std::int32_t captionHeight) {
  CaptionTab t;
  const double bw = std::max(roundHalfEven(textWidth + 60.0), static_cast<double>(captionWidth));
  const double bh = std::max(roundHalfEven(textHeight + 60.0), static_cast<double>(captionHeight));
  t.width = bw;
  t.height = bh;
  const bool right = alignment == caTopRight || alignment == caBottomRight;
  const bool bottom = alignment == caBottomLeft || alignment == caBottomRight;
  // Outline: x runs inward from the side the tab sits on, y from the edge it hangs from.
  const double x0 = right ? sw - 30.0 : 15.0;
  const double dir = right ? -1.0 : 1.0;
  const double yEdge = bottom ? sh - 15.0 - bh : bh;
  const double yBorder = bottom ? sh - 15.0 : 0.0;
  t.straightFrom = {x0, yEdge};
  t.straightTo = {x0 + dir * bw, yEdge};
  t.slantTo = {x0 + dir * (bw + bh), yBorder};
  // Highlight: one pixel further inside; along the bottom its straight edge is 30 twips shorter.
  const double hx0 = right ? sw - 45.0 : 30.0;
  const double hy = bottom ? sh - bh : bh + 15.0;
  const double hlen = bottom ? bw - 30.0 : bw;
  t.highlightFrom = {hx0, hy};
  t.highlightTo = {hx0 + dir * hlen, hy};
  t.highlightSlantTo = {t.highlightTo.x + dir * bh, hy + (bottom ? bh : -bh)};
  if (right)
    t.text.x = centered ? sw - bw + bw / 2.0 - textWidth / 2.0 - 15.0 : sw - textWidth - 30.0;
  else
    t.text.x = centered ? bw / 2.0 - textWidth / 2.0 + 30.0 : 30.0;
  t.text.y = bottom ? sh - bh + bh / 2.0 - textHeight / 2.0 - 15.0 : bh / 2.0 - textHeight / 2.0;
  return t;
}

}  // namespace nx::gradframe
