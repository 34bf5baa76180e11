// NxGradFrame state, its enumerations and the geometry of its caption tab.
#pragma once

#include <cstdint>
#include <string>

#include "core/runtime/value.h"
#include "core/support/color_funcs.h"

namespace nx::gradframe {

enum GF_BORDERSTYLE : std::int32_t { bsNone = 0, bsFixedSingle = 1 };
enum GF_APPEARANCE : std::int32_t { apFlat = 0, ap3D = 1 };
enum GF_ORIENTATION : std::int32_t { orHorizontal = 0, orVertical = 1 };
enum GF_CAPALIGN : std::int32_t {
  caTopLeft = 0,
  caTopRight = 1,
  caBottomLeft = 2,
  caBottomRight = 3
};

// Property values of one frame (those the window does not keep: font and enabled state). The
// initial values are those of a new control.
struct GradFrameState {
  std::string caption;
  std::int32_t captionAlignment = caTopLeft;
  bool captionTextCentered = false;
  std::int32_t captionWidth = 0;   // twips
  std::int32_t captionHeight = 0;  // twips
  std::int32_t appearance = ap3D;
  std::int32_t borderStyle = bsFixedSingle;
  ColorProperty borderColor;  // set through its put (a system colour)
  ColorProperty foreColor{0x00000000};
  ColorProperty colorA{0x00BBAD9C};
  ColorProperty colorB{0x00FFFFFF};
  std::int32_t orientation = orVertical;
  Value xtrVar;
};

// A caption size put: negative becomes 0.
constexpr std::int32_t captionSize(std::int32_t twips) {
  return twips < 0 ? 0 : twips;
}

struct TwipsPoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const TwipsPoint&, const TwipsPoint&) = default;
};

// The caption tab of a frame SW x SH twips for a caption text of textWidth x textHeight twips:
// the tab size, its outline (a straight edge along the caption side, then a slanted edge to the
// frame's border), the white highlight one pixel inside it, and where the text goes. tppX and
// tppY are the surface's twips per pixel: the outline keeps its distances from the border in
// whole pixels, while the tab's padding around the text (60 twips each way) scales with the text.
struct CaptionTab {
  double width = 0;   // bw
  double height = 0;  // bh
  TwipsPoint straightFrom, straightTo, slantTo;
  TwipsPoint highlightFrom, highlightTo, highlightSlantTo;
  TwipsPoint text;
};

CaptionTab captionTab(std::int32_t alignment, bool centered, double sw, double sh, double textWidth,
                      double textHeight, std::int32_t captionWidth, std::int32_t captionHeight,
                      double tppX, double tppY);

}  // namespace nx::gradframe
