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
  if (framed) {
    if (etched) {
      surface.box(15, 15, sw - 15, sh - 15, kWhite, false);
      surface.box(0, 0, sw - 30, sh - 30, border, false);
      surface.setPixel(0, sh - 15, kWhite);
      surface.setPixel(sw - 15, 0, kWhite);
    } else {
      surface.box(0, 0, sw - 15, sh - 15, border, false);
    }
  }
  if (state.caption.empty()) return;
  const double textWidth = surface.textWidth(state.caption);
  const double textHeight = surface.textHeight(state.caption);
  const CaptionTab tab = captionTab(state.captionAlignment, state.captionTextCentered, sw, sh,
                                    textWidth, textHeight, state.captionWidth, state.captionHeight);
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
