#include "press/button/button_paint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/runtime/device_context.h"
#include "core/runtime/geometry.h"
#include "core/runtime/services.h"
#include "core/support/color_funcs.h"
#include "core/support/grad_bar.h"
#include "core/support/rounding.h"

namespace nx {
namespace {

// Gaps in twips between the icon and a caption beside it; they scale with both.
constexpr double kIconGapBefore = 60;  // a caption after an icon on its left
constexpr double kIconGapAfter = 30;   // a caption before an icon on its right, or above one
constexpr Rgb kBlack = 0x000000;

// One pixel of the surface in twips, across and down: borders, cuts, outlines and the pressed
// shift are whole pixels at any resolution.
struct OnePixel {
  double x;
  double y;
};

OnePixel onePixel(const Surface& s) {
  return OnePixel{s.twipsPerPixelX(), s.twipsPerPixelY()};
}

// Puts the surface's fore colour back however the drawing ends.
class ForeColorScope {
 public:
  explicit ForeColorScope(Surface& surface) : surface_(surface), saved_(surface.foreColor()) {}
  ~ForeColorScope() { surface_.setForeColor(saved_); }
  ForeColorScope(const ForeColorScope&) = delete;
  ForeColorScope& operator=(const ForeColorScope&) = delete;

 private:
  Surface& surface_;
  Rgb saved_;
};

// The device pixel of a twips value, by the surface's own rule (nearest, halves up).
std::int32_t toPixel(double twips, double twipsPerPixel) {
  if (!(twipsPerPixel > 0)) return 0;
  const double v = std::floor(twips / twipsPerPixel + 0.5);
  if (!(v > -1e9)) return -1000000000;
  if (v > 1e9) return 1000000000;
  return static_cast<std::int32_t>(v);
}

double roundHalf(double v) {
  return std::isfinite(v) ? roundHalfEven(v) : 0.0;
}

// A pixel read outside the surface gives no colour; it counts as `fallback`.
Rgb readable(Rgb color, Rgb fallback) {
  return color == kInvalidColor ? fallback : color;
}

// Vertical gradient over (left, top)-(right, bottom) pixels; nothing when the rectangle is
// empty, which happens only with sizes too small for the drawing.
void verticalGradient(DeviceContext& dc, std::int32_t left, std::int32_t top, std::int32_t right,
                      std::int32_t bottom, Rgb first, Rgb second) {
  if (right <= left || bottom <= top) return;
  drawGradient(dc, left, top, right, bottom, first, second, kGradientVertical);
}

// A rectangle outline with both corners included. A far corner that comes before the near one
// (a button smaller than the inset) draws nothing rather than a box turned inside out.
void outline(Surface& s, double x1, double y1, double x2, double y2, Rgb color) {
  if (x2 < x1 || y2 < y1) return;
  s.box(x1, y1, x2, y2, color, false);
}

void paintFace(Surface& s, const ButtonLook& look, Rgb a, Rgb b) {
  DeviceContext& dc = s.dc();
  const std::int32_t w = look.innerWidthPx;
  const std::int32_t h = look.innerHeightPx;
  if (look.gradientStyle == gtGel) {
    const std::int32_t half = roundToInt32(static_cast<double>(h) / 2.0);
    verticalGradient(dc, 0, 0, w, half, look.white, a);
    verticalGradient(dc, 0, half, w, h, b, a);
  } else if (a == b) {
    s.setBackColor(a);
    s.clear();
  } else {
    verticalGradient(dc, 0, 0, w, h, a, b);
  }
}

void paintLightBand(Surface& s, const ButtonLook& look) {
  DeviceContext& dc = s.dc();
  const std::int32_t w = look.innerWidthPx;
  const OnePixel px = onePixel(s);
  const Rgb c1 = readable(s.pixel(px.x, 0), look.white);
  verticalGradient(dc, 0, 0, w, 2, c1, look.white);
  const Rgb c2 = readable(s.pixel(px.x, 4 * px.y), look.white);
  verticalGradient(dc, 0, 2, w, 4, look.white, c2);
}

// The pixels of a cut, read in one piece, changed in memory in drawing order and written back
// in one piece.
class PixelBlock {
 public:
  PixelBlock(DeviceContext& dc, Rect r) : dc_(dc), rect_(r) {
    if (rect_.empty()) return;
    pixels_.resize(static_cast<std::size_t>(rect_.width()) *
                   static_cast<std::size_t>(rect_.height()));
    dc_.readBlock(rect_, pixels_);
  }
  void write() {
    if (!rect_.empty()) dc_.writeBlock(rect_, pixels_);
  }
  // The pixel at (x, y), or null outside the block or the surface.
  Rgb* at(std::int32_t x, std::int32_t y) {
    if (x < rect_.left || x >= rect_.right || y < rect_.top || y >= rect_.bottom) return nullptr;
    Rgb& p =
        pixels_[static_cast<std::size_t>(y - rect_.top) * static_cast<std::size_t>(rect_.width()) +
                static_cast<std::size_t>(x - rect_.left)];
    return p == kInvalidColor ? nullptr : &p;
  }

 private:
  DeviceContext& dc_;
  Rect rect_;
  std::vector<Rgb> pixels_;
};

// One cut groove at x twips: the two pixel columns x and x + 1 pixel over the rows from the
// fifth pixel row, one pixel apart, up to SH - 4 pixels. Soft cuts darken the left column and
// lighten the right one pixel by pixel; hard cuts draw a dark column in the shade of pixel (0, 0)
// and a white one a row lower.
void paintCut(Surface& s, const ButtonLook& look, double x, bool hard,
              const SystemServices& services) {
  DeviceContext& dc = s.dc();
  const double tx = s.twipsPerPixelX();
  const double ty = s.twipsPerPixelY();
  if (!(ty > 0)) return;
  const double firstY = 4 * ty;
  const std::int32_t left = toPixel(x, tx);
  const std::int32_t right = toPixel(x + tx, tx);
  const double lastY = roundHalf(look.scaleHeight - firstY);
  if (lastY < firstY) return;

  Rgb hardColor = 0;
  if (hard) {
    const Rgb c = s.pixel(0, 0);
    if (c == kInvalidColor) return;  // an empty surface has nothing to cut
    hardColor = scaleColor(static_cast<OleColor>(c), 75, services);
  }

  // Rows past the bottom of the surface would not show; the walk stops there.
  const std::int32_t surfaceBottom = dc.heightPx();
  const std::int32_t firstRow = toPixel(firstY, ty);
  const std::int32_t lastRow =
      std::min(toPixel(lastY + (hard ? ty : 0), ty), std::max(surfaceBottom - 1, firstRow));
  Rect block{std::max(std::min(left, right), 0), std::max(firstRow, 0),
             std::min(std::max(left, right) + 1, dc.widthPx()),
             std::min(lastRow + 1, surfaceBottom)};
  if (block.empty()) return;
  PixelBlock pixels(dc, block);

  // Counted in whole rows so that no sum of fractional twips drifts off the pixel grid. lastY
  // is whole twips: a row up to half a twip past it is still the last one.
  for (std::int32_t n = 0;; ++n) {
    const double y = firstY + n * ty;
    if (y > lastY + 0.5) break;
    const std::int32_t row = toPixel(y, ty);
    if (row >= surfaceBottom) break;
    if (hard) {
      if (Rgb* p = pixels.at(left, row)) *p = hardColor;
      if (Rgb* p = pixels.at(right, toPixel(y + ty, ty))) *p = look.white;
    } else {
      if (Rgb* p = pixels.at(left, row)) *p = scaleColor(static_cast<OleColor>(*p), 90, services);
      if (Rgb* p = pixels.at(right, row)) *p = scaleColor(static_cast<OleColor>(*p), 130, services);
    }
  }
  pixels.write();
}

void paintBottomLine(Surface& s, const ButtonLook& look) {
  const double py = onePixel(s).y;
  for (double d : {py, 2 * py}) {
    const Rgb c = s.pixel(0, d - py);
    if (c == kInvalidColor) continue;
    s.line(0, look.scaleHeight - d, look.scaleWidth, look.scaleHeight - d, c);
  }
}

// The four chamfer diagonals of round corners.
void cornerDiagonals(Surface& s, double sw, double sh, Rgb color) {
  const OnePixel px = onePixel(s);
  const double rx = 2 * px.x;  // two pixels along each edge
  const double ry = 2 * px.y;
  s.line(0, ry, rx, 0, color);
  s.line(0, sh - ry - px.y, rx, sh - px.y, color);
  s.line(sw - rx - px.x, 0, sw - px.x, ry, color);
  s.line(sw - rx - px.x, sh - px.y, sw - px.x, sh - px.y - ry, color);
}

std::unique_ptr<Region> windowRegion(const ButtonLook& look) {
  auto region = std::make_unique<Region>(Rect{0, 0, look.innerWidthPx, look.innerHeightPx});
  if (look.cornerStyle == csRound) {
    const std::int32_t w = look.outerWidthPx;
    const std::int32_t h = look.outerHeightPx;
    for (std::int32_t j = 1; j <= 2; ++j) {
      const std::int32_t b = 3 - j;
      region->subtract(Region(Rect{0, 0, b, j}));
      region->subtract(Region(Rect{0, h - j, b, h}));
      region->subtract(Region(Rect{w - b, 0, w, j}));
      region->subtract(Region(Rect{w - b, h - j, w, h}));
    }
  }
  return region;
}

std::unique_ptr<Region> paintBorder(Surface& s, const ButtonLook& look,
                                    const SystemServices& services) {
  if (look.borderStyle != bsFixedSingle) return nullptr;
  const double sw = look.scaleWidth;
  const double sh = look.scaleHeight;
  const Rgb e = look.borderColor;
  const Rgb bright = scaleColor(static_cast<OleColor>(e), 200, services);
  const bool marked = look.focus || look.isDefault;
  const bool threeD = look.borderAppearance == ap3D;
  const bool round = look.cornerStyle == csRound;
  const OnePixel px = onePixel(s);
  const double x1 = px.x;
  const double y1 = px.y;
  const double x2 = 2 * px.x;
  const double y2 = 2 * px.y;
  // A focused or default button draws its raised border one pixel in, inside a black frame.
  const double ix = marked ? x1 : 0;
  const double iy = marked ? y1 : 0;

  if (threeD && look.pressed) {
    outline(s, x1, y1, sw - x2, sh - y2, e);
  } else if (threeD) {
    s.line(ix, iy, sw - x1 - ix, iy, look.white);
    s.line(ix, iy, ix, sh - y1 - iy, look.white);
    s.line(ix + x1, sh - y2 - iy, sw - x1 - ix, sh - y2 - iy, bright);
    s.line(sw - x2 - ix, iy + y1, sw - x2 - ix, sh - y1 - iy, bright);
    s.line(ix, sh - y1 - iy, sw - ix, sh - y1 - iy, e);
    s.line(sw - x1 - ix, iy, sw - x1 - ix, sh - iy, e);
  } else if (!marked) {
    outline(s, 0, 0, sw - x1, sh - y1, e);
    if (round) cornerDiagonals(s, sw, sh, e);
  }
  if (marked) {
    outline(s, 0, 0, sw - x1, sh - y1, kBlack);
    if (round && !threeD) cornerDiagonals(s, sw, sh, kBlack);
  }
  return windowRegion(look);
}

// `shift`: the pressed look's offset, in twips across and down.
void paintIcon(Surface& s, const ButtonLook& look, OnePixel shift) {
  if (!look.icon) return;
  const OnePixel px = onePixel(s);
  const ItemPosition at = alignItem(look.iconAlignment, look.scaleWidth, look.scaleHeight,
                                    look.iconWidth, look.iconHeight, px.x, px.y);
  // The adjustments are pixels. An icon larger than the button is clipped by the surface.
  s.paintPicture(*look.icon, at.x + px.x * look.iconAdjustX + shift.x,
                 at.y + px.y * look.iconAdjustY + shift.y, look.iconWidth, look.iconHeight);
}

// How far the caption moves out of the icon's way.
void avoidIcon(const ButtonLook& look, double& dx, double& dy) {
  const AlignmentClasses text = alignmentClasses(look.alignment);
  const AlignmentClasses icon = alignmentClasses(look.iconAlignment);
  const double iw = look.iconWidth;
  const double ih = look.iconHeight;
  const bool sameRow = text.vertical == icon.vertical;
  if (icon.horizontal == 0 && sameRow) {
    if (text.horizontal == 0) dx += iw + kIconGapBefore;
    if (text.horizontal == 1) dx += roundHalf(iw / 2);
  } else if (icon.horizontal == 2 && sameRow) {
    if (text.horizontal == 2) dx -= iw + kIconGapAfter;
    if (text.horizontal == 1) dx -= roundHalf(iw / 2);
  }
  if (icon.vertical == 0) {
    if (text.vertical == 0 && text.horizontal == 1) dy += ih;
    if (text.vertical == 1) dy += roundHalf(ih / 2);
  } else if (icon.vertical == 2) {
    if (text.vertical == 2 && text.horizontal == 1) dy -= ih + kIconGapAfter;
    if (text.vertical == 1) dy -= roundHalf(ih / 2);
  }
}

void printAt(Surface& s, std::string_view text, double x, double y, Rgb color) {
  s.setForeColor(color);
  s.setCurrentPosition(x, y);
  s.print(text, false);
}

void paintCaption(Surface& s, const ButtonLook& look, const ButtonCaption& caption,
                  OnePixel shift) {
  const std::string& text = caption.text;
  if (text.empty()) return;
  const OnePixel px = onePixel(s);
  const double tw = s.textWidth(text);
  const double th = s.textHeight(text);
  const ItemPosition at =
      alignItem(look.alignment, look.scaleWidth, look.scaleHeight, tw, th, px.x, px.y);
  double x = at.x;
  double y = at.y;
  double dx = shift.x;
  double dy = shift.y;
  if (look.icon) avoidIcon(look, dx, dy);

  const bool shadowShift =
      look.outline == olShadow || (look.outline == olHoverShadow && look.hover);
  if (shadowShift) {
    x -= px.x;
    y -= px.y;
  }
  x += dx;
  y += dy;

  const std::size_t k = caption.key;
  double u1 = 0;
  double u2 = 0;
  const double uy = y + th - px.y;
  if (k > 0 && k <= text.size()) {
    const std::string_view sv(text);
    const double keyWidth = s.textWidth(sv.substr(k - 1, 1));
    u1 = x + s.textWidth(sv.substr(0, k)) - keyWidth;
    u2 = u1 + keyWidth - px.x;
  }
  const bool underline = k > 0 && k <= text.size();

  Rgb textColor = look.hover ? look.hoverForeColor : look.foreColor;
  Rgb outlineColor = look.hover ? look.hoverOutline : look.outlineColor;
  std::int32_t style = look.outline;
  if (!look.enabled) {
    textColor = look.grayText;
    if (style != olNone) {
      outlineColor = look.white;
      style = olShadow;
    }
  }

  auto draw = [&](double ox, double oy, Rgb color) {
    printAt(s, text, x + ox, y + oy, color);
    if (underline) s.line(u1 + ox, uy + oy, u2 + ox, uy + oy, color);
  };
  const bool regular = style == olRegular || (style == olHoverRegular && look.hover);
  const bool shadow = style == olShadow || (style == olHoverShadow && look.hover);
  if (regular) {
    draw(-px.x, -px.y, outlineColor);
    draw(px.x, -px.y, outlineColor);
    draw(-px.x, px.y, outlineColor);
    draw(px.x, px.y, outlineColor);
  } else if (shadow) {
    draw(px.x, px.y, outlineColor);
  }
  draw(0, 0, textColor);
}

}  // namespace

ButtonCaption parseButtonCaption(std::string_view caption) {
  ButtonCaption out;
  if (caption.find('&') == std::string_view::npos) {
    out.text = std::string(caption);
    return out;
  }
  // Each character with a flag for "a single mark". "&&" pairs are taken left to right, so
  // "&&&" is a literal ampersand and a mark. Flags rather than a stand-in character keep any
  // character the caption itself holds apart from the pairs.
  struct Item {
    char c;
    bool mark;
  };
  std::vector<Item> items;
  items.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const bool pair = caption[i] == '&' && i + 1 < caption.size() && caption[i + 1] == '&';
    items.push_back(Item{caption[i], caption[i] == '&' && !pair});
    if (pair) ++i;
  }
  std::size_t keyAt = std::string::npos;  // index in `items` of the key character
  for (std::size_t i = items.size(); i-- > 0;) {
    if (!items[i].mark) continue;
    // A closing mark gives no key; nor does a NUL, which is no character to press.
    if (i + 1 < items.size() && items[i + 1].c != '\0') keyAt = i + 1;
    break;
  }

  std::string text;
  text.reserve(items.size());
  std::size_t keyInText = std::string::npos;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].mark) continue;
    if (i == keyAt) keyInText = text.size();
    text.push_back(items[i].c);
  }
  if (keyAt != std::string::npos) out.accessKey = items[keyAt].c;
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) {
    text.clear();
  } else {
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  }
  // The underline goes under the key character wherever marks removed before it or the trimmed
  // blanks moved it; a key character lost to the trimming is not underlined.
  if (keyInText != std::string::npos && keyInText >= first && keyInText - first < text.size())
    out.key = keyInText - first + 1;
  out.text = std::move(text);
  return out;
}

ItemPosition alignItem(std::int32_t alignment, double sw, double sh, double iw, double ih,
                       double tppX, double tppY) {
  const AlignmentClasses c = alignmentClasses(alignment);
  const double x =
      c.horizontal == 0 ? tppX : (c.horizontal == 1 ? sw / 2 - iw / 2 : sw - iw - 2 * tppX);
  const double y =
      c.vertical == 0 ? tppY : (c.vertical == 1 ? sh / 2 - ih / 2 : sh - ih - 2 * tppY);
  return ItemPosition{roundHalf(x), roundHalf(y)};
}

ButtonPaintResult paintButton(Surface& surface, const ButtonLook& look,
                              const SystemServices& services) {
  ForeColorScope keepFore(surface);
  ButtonPaintResult result;
  const Rgb a = look.hover ? look.hoverColorA : look.colorA;
  const Rgb b = look.hover ? look.hoverColorB : look.colorB;
  // Pressed, a 3D button's icon and caption move one pixel right and down.
  const bool sunk = look.pressed && look.borderAppearance == ap3D;
  const OnePixel px = onePixel(surface);
  const OnePixel shift{sunk ? px.x : 0, sunk ? px.y : 0};

  surface.clear();
  paintFace(surface, look, a, b);
  if (look.lightEffect) paintLightBand(surface, look);
  const bool hard = look.cutStrength == stHard;
  if (look.cutStyle == posLeft || look.cutStyle == posBoth)
    paintCut(surface, look, 0, hard, services);
  if (look.cutStyle == posRight || look.cutStyle == posBoth)
    paintCut(surface, look, roundHalf(look.scaleWidth - 2 * px.x), hard, services);
  if (look.bottomLine) paintBottomLine(surface, look);
  result.region = paintBorder(surface, look, services);
  paintIcon(surface, look, shift);
  result.caption = parseButtonCaption(look.caption);
  paintCaption(surface, look, result.caption, shift);
  return result;
}

}  // namespace nx
