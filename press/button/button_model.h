// NxButton state and its property rules: the colour pairs, the theme presets, the mutual
// exclusion of round corners and the 3D border, the icon offset clamp, the icon size of a
// picture and the special commands a host can send through ExProp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/runtime/picture.h"
#include "core/runtime/value.h"
#include "core/support/color_funcs.h"
#include "core/support/tooltip_settings.h"
#include "press/button/button_types.h"

namespace nx {

// The colours and looks one built-in theme sets in one step. Gradient and corner style are not
// part of a theme.
struct ButtonThemePreset {
  OleColor colorA;
  OleColor colorB;
  OleColor hoverColorA;
  OleColor hoverColorB;
  OleColor foreColor;
  OleColor hoverForeColor;
  OleColor outlineColor;
  OleColor hoverOutline;
  OleColor borderColor;
  std::int32_t borderAppearance;
  std::int32_t borderStyle;
  std::int32_t outline;
  std::int32_t cutStyle;
  std::int32_t cutStrength;
  bool bottomLine;
  bool lightEffect;
};

// The preset of theme 1-5; nullopt for thmCUSTOM and any other number.
std::optional<ButtonThemePreset> buttonThemePreset(std::int32_t theme);

// Property values and interaction flags of one button. The initial values are the store
// defaults (a new control then takes the silver preset).
struct ButtonState {
  ColorProperty colorA{0x00BBAD9C};
  ColorProperty colorB{0x00FFFFFF};
  ColorProperty hoverColorA{0x00BBAD9C};
  ColorProperty hoverColorB{0x00FFFFFF};
  ColorProperty foreColor{0x00000000};
  ColorProperty hoverForeColor{0x00000000};
  ColorProperty outlineColor{0x00FFFFFF};
  ColorProperty hoverOutline{0x00FFFFFF};
  ColorProperty borderColor{0x00424242};
  std::string caption;
  std::int32_t alignment = aaMiddleCenter;
  std::int32_t iconAlignment = aaMiddleLeft;
  PictureRef icon;
  std::int16_t iconAdjustX = 0;
  std::int16_t iconAdjustY = 0;
  std::int32_t gradientStyle = gtPlain;
  std::int32_t borderAppearance = ap3D;
  std::int32_t borderStyle = bsFixedSingle;
  std::int32_t cornerStyle = csSquare;
  std::int32_t outline = olRegular;
  std::int32_t cutStyle = posNeither;
  std::int32_t cutStrength = stSoft;
  bool lightEffect = true;
  bool bottomLine = false;
  bool autoSize = false;
  bool handPointer = false;
  std::int32_t theme = thmCUSTOM;  // last theme set since loading; never stored
  Value xtrVar;
  std::string exProp;
  TooltipSettings tooltip;
  PictureRef retObj;  // the image the last "special=getimage" captured

  // Interaction flags.
  bool hover = false;
  bool focus = false;
  bool pressed = false;
};

// Round corners and the 3D border exclude each other. A corner style put is refused (nothing
// changes) when it asks for round corners on a 3D border.
constexpr bool acceptsCornerStyle(std::int32_t cornerStyle, std::int32_t borderAppearance) {
  return !(cornerStyle == csRound && borderAppearance == ap3D);
}
// The corner style left after the border appearance becomes `borderAppearance`: a 3D border
// squares round corners.
constexpr std::int32_t cornerStyleAfter(std::int32_t borderAppearance, std::int32_t cornerStyle) {
  return borderAppearance == ap3D && cornerStyle == csRound ? std::int32_t{csSquare} : cornerStyle;
}

// The icon offset held within -100..100 pixels.
constexpr std::int16_t clampIconAdjust(std::int16_t pixels) {
  if (pixels > 100) return 100;
  if (pixels < -100) return -100;
  return pixels;
}

// The size an icon takes on the face: twips from the picture's HIMETRIC size, pixels from the
// twips through the screen's twips per pixel (rounded). Zero for no picture.
struct IconSize {
  double widthTwips = 0;
  double heightTwips = 0;
  std::int32_t widthPixels = 0;
  std::int32_t heightPixels = 0;
};
IconSize iconSizeOf(const Picture* picture, double twipsPerPixelX, double twipsPerPixelY);

// What an ExProp text asks for. Text starting with "special=" (any letter case) is a command:
// the piece after the first "=" up to the next one. Anything else is tooltip settings.
enum class ExPropCommand { TooltipSettings, GetImage, FakeClick, Unknown };
ExPropCommand exPropCommandOf(std::string_view text);

}  // namespace nx
