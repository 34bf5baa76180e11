#include "widgets/gradframe/grad_frame_layout.h"

namespace nx::gradframe {

namespace {

void line(Surface& s, TwipsPoint a, TwipsPoint b, Rgb color) {
  s.line(a.x, a.y, b.x, b.y, color);
}

}  // namespace

void paintBorderAndCaption(Surface& surface, const GradFrameState& state, double sw, double sh) {
  const Rgb border = state.borderColor.resolved();
  const bool framed = state.borderStyle == bsFixedSingle;
  const bool etched = state.appearance == ap3D;
  // One pixel: the border's lines lie on the outermost pixel rows and columns at any resolution.
  const double px = surface.twipsPerPixelX();
  const double py = surface.twipsPerPixelY();
  if (framed) {
    if (etched) {
      surface.box(px, py, sw - px, sh - py, kWhite, false);
      surface.box(0, 0, sw - 2.0 * px, sh - 2.0 * py, border, false);
      surface.setPixel(0, sh - py, kWhite);
      surface.setPixel(sw - px, 0, kWhite);
    } else {
      surface.box(0, 0, sw - px, sh - py, border, false);
    }
  }
  if (state.caption.empty()) return;
  const double textWidth = surface.textWidth(state.caption);
  const double textHeight = surface.textHeight(state.caption);
  const CaptionTab tab =
      captionTab(state.captionAlignment, state.captionTextCentered, sw, sh, textWidth, textHeight,
                 state.captionWidth, state.captionHeight, px, py);
  if (framed) {
    line(surface, tab.straightFrom, tab.straightTo, border);
    line(surface, tab.straightTo, tab.slantTo, border);
    if (etched) {
      line(surface, tab.highlightFrom, tab.highlightTo, kWhite);
      line(surface, tab.highlightTo, tab.highlightSlantTo, kWhite);
    }
  }
  surface.setCurrentPosition(tab.text.x, tab.text.y);
  surface.print(state.caption, false);
}

}  // namespace nx::gradframe
