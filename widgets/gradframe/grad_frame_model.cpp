#include "widgets/gradframe/grad_frame_model.h"

#include <algorithm>

#include "core/support/rounding.h"

namespace nx::gradframe {

CaptionTab captionTab(std::int32_t alignment, bool centered, double sw, double sh, double textWidth,
                      double textHeight, std::int32_t captionWidth, std::int32_t captionHeight,
                      double tppX, double tppY) {
  // One pixel in each direction; the outline and its highlight are whole pixels apart.
  const double px = tppX;
  const double py = tppY;
  CaptionTab t;
  const double bw = std::max(roundHalfEven(textWidth + 60.0), static_cast<double>(captionWidth));
  const double bh = std::max(roundHalfEven(textHeight + 60.0), static_cast<double>(captionHeight));
  t.width = bw;
  t.height = bh;
  const bool right = alignment == caTopRight || alignment == caBottomRight;
  const bool bottom = alignment == caBottomLeft || alignment == caBottomRight;
  // Outline: x runs inward from the side the tab sits on, y from the edge it hangs from.
  const double x0 = right ? sw - 2.0 * px : px;
  const double dir = right ? -1.0 : 1.0;
  const double yEdge = bottom ? sh - py - bh : bh;
  const double yBorder = bottom ? sh - py : 0.0;
  t.straightFrom = {x0, yEdge};
  t.straightTo = {x0 + dir * bw, yEdge};
  t.slantTo = {x0 + dir * (bw + bh), yBorder};
  // Highlight: one pixel further inside; along the bottom its straight edge is 2 pixels shorter.
  const double hx0 = right ? sw - 3.0 * px : 2.0 * px;
  const double hy = bottom ? sh - bh : bh + py;
  const double hlen = bottom ? bw - 2.0 * px : bw;
  t.highlightFrom = {hx0, hy};
  t.highlightTo = {hx0 + dir * hlen, hy};
  t.highlightSlantTo = {t.highlightTo.x + dir * bh, hy + (bottom ? bh : -bh)};
  if (right)
    t.text.x = centered ? sw - bw + bw / 2.0 - textWidth / 2.0 - px : sw - textWidth - 2.0 * px;
  else
    t.text.x = centered ? bw / 2.0 - textWidth / 2.0 + 2.0 * px : 2.0 * px;
  t.text.y = bottom ? sh - bh + bh / 2.0 - textHeight / 2.0 - py : bh / 2.0 - textHeight / 2.0;
  return t;
}

}  // namespace nx::gradframe
