// NxButton painting against the control's surface, in twips (the surface's twips per pixel
// convert; borders, cuts and outlines are whole pixels at any resolution): face, light band, cut
// grooves, repeated bottom line, border in its raised, pressed, flat, focused and default looks,
// the window shape of round corners, the icon and the caption with its outline or shadow and its
// access-key underline.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/runtime/color.h"
#include "core/runtime/picture.h"
#include "core/runtime/region.h"
#include "core/runtime/surface.h"
#include "press/button/button_types.h"

namespace nx {

class SystemServices;

// A caption with its access-key marks taken out: "&&" is a literal ampersand, the character
// after the last single "&" is the access key (none when the caption ends with "&"); a caption
// with marks is trimmed of spaces at both ends, one without marks is drawn as it is.
struct ButtonCaption {
  std::string text;     // what is drawn
  std::size_t key = 0;  // 1-based position in `text` of the underlined character; 0: none
  char accessKey = 0;   // the access key; 0: none
};
ButtonCaption parseButtonCaption(std::string_view caption);

// Where an item of iw x ih twips stands in a drawing area of sw x sh twips by an alignment
// value, with tppX x tppY twips to a pixel: x = 1 pixel, sw/2 - iw/2 or sw - iw - 2 pixels;
// y = 1 pixel, sh/2 - ih/2 or sh - ih - 2 pixels (rounded to whole twips).
struct ItemPosition {
  double x = 0;
  double y = 0;
};
ItemPosition alignItem(std::int32_t alignment, double sw, double sh, double iw, double ih,
                       double tppX, double tppY);

// Everything one drawing needs: resolved colours, the look, the flags and the layout.
struct ButtonLook {
  Rgb colorA = 0xBBAD9C, colorB = 0xFFFFFF;
  Rgb hoverColorA = 0xBBAD9C, hoverColorB = 0xFFFFFF;
  Rgb foreColor = 0, hoverForeColor = 0;
  Rgb outlineColor = 0xFFFFFF, hoverOutline = 0xFFFFFF;
  Rgb borderColor = 0x424242;
  Rgb grayText = 0x808080;  // the system grey-text colour, resolved
  Rgb white = 0xFFFFFF;     // the highlight colour of borders and cuts
  std::string caption;      // as set, with its "&" marks
  std::int32_t alignment = aaMiddleCenter;
  std::int32_t iconAlignment = aaMiddleLeft;
  PictureRef icon;               // null: no icon
  double iconWidth = 0;          // twips
  double iconHeight = 0;         // twips
  std::int16_t iconAdjustX = 0;  // pixels
  std::int16_t iconAdjustY = 0;  // pixels
  std::int32_t gradientStyle = gtPlain;
  std::int32_t borderAppearance = ap3D;
  std::int32_t borderStyle = bsFixedSingle;
  std::int32_t cornerStyle = csSquare;
  std::int32_t outline = olRegular;
  std::int32_t cutStyle = posNeither;
  std::int32_t cutStrength = stSoft;
  bool lightEffect = true;
  bool bottomLine = false;
  bool hover = false;
  bool focus = false;
  bool pressed = false;
  bool isDefault = false;  // the host's DisplayAsDefault
  bool enabled = true;
  double scaleWidth = 0;   // SW: inner width, twips
  double scaleHeight = 0;  // SH: inner height, twips
  std::int32_t innerWidthPx = 0;
  std::int32_t innerHeightPx = 0;
  std::int32_t outerWidthPx = 0;
  std::int32_t outerHeightPx = 0;
};

struct ButtonPaintResult {
  ButtonCaption caption;           // what was drawn, and the access key to register
  std::unique_ptr<Region> region;  // the window's new shape; null with no border
};

// Draws the whole button: the surface is cleared to its back colour first; its fore colour is
// the same afterwards. Sizes too small for the drawing draw what fits and never fail.
ButtonPaintResult paintButton(Surface& surface, const ButtonLook& look,
                              const SystemServices& services);

}  // namespace nx
