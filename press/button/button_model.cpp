#include "press/button/button_model.h"

#include <cmath>
#include <string>

#include "core/runtime/text.h"

namespace nx {

std::optional<ButtonThemePreset> buttonThemePreset(std::int32_t theme) {
  switch (theme) {
    case thmSky3D:
      return ButtonThemePreset{0x00BBAD9C, 0x00FFFFFF, 0x00C5B7A6,    0x00FFFFFF,
                               0x00000000, 0x00000000, 0x00FFFFFF,    0x00FFFFFF,
                               0x005F5850, ap3D,       bsFixedSingle, olRegular,
                               posNeither, stSoft,     false,         false};
    case thmSkyFlat:
      return ButtonThemePreset{0x00BBAD9C, 0x00FFFFFF, 0x00C5B7A6,    0x00FFFFFF,
                               0x0082766B, 0x00A36B56, 0x00FFFFFF,    0x00FFFFFF,
                               0x00A99A8B, apFlat,     bsFixedSingle, olRegular,
                               posNeither, stSoft,     false,         false};
    case thmSilver3D:
      return ButtonThemePreset{0x00FFFFFF, 0x00808080, 0x00FFFFFF,    0x00909090,
                               0x00404040, 0x00404040, 0x00E0E0E0,    0x00FFFFFF,
                               0x00404040, ap3D,       bsFixedSingle, olRegular,
                               posNeither, stSoft,     false,         false};
    case thmCandy3D:
      return ButtonThemePreset{0x000000E0, 0x00FFFFFF, 0x000000E9,    0x00FFFFFF,
                               0x00000080, 0x00A36B56, 0x00E0E0FF,    0x00FFFFFF,
                               0x00000040, apFlat,     bsFixedSingle, olRegular,
                               posNeither, stSoft,     true,          true};
    case thmOfficeBar:
      return ButtonThemePreset{0x00FFFFFF, 0x00CFD6D9, 0x00FFFFFF, 0x00D9E0E3,
                               0x00404040, 0x00A36B56, 0x00FFFFFF, 0x00FFFFFF,
                               0x00000000, apFlat,     bsNone,     olNone,
                               posLeft,    stHard,     false,      false};
    default:
      return std::nullopt;
  }
}

IconSize iconSizeOf(const Picture* picture, double twipsPerPixelX, double twipsPerPixelY) {
  IconSize size;
  if (picture == nullptr) return size;
  // HIMETRIC (0.01 mm) to twips: 1440 twips and 2540 HIMETRIC to the inch.
  size.widthTwips = std::round(picture->widthHimetric() * 1440.0 / kHimetricPerInch);
  size.heightTwips = std::round(picture->heightHimetric() * 1440.0 / kHimetricPerInch);
  if (twipsPerPixelX > 0)
    size.widthPixels = static_cast<std::int32_t>(std::round(size.widthTwips / twipsPerPixelX));
  if (twipsPerPixelY > 0)
    size.heightPixels = static_cast<std::int32_t>(std::round(size.heightTwips / twipsPerPixelY));
  return size;
}

ExPropCommand exPropCommandOf(std::string_view text) {
  constexpr std::string_view kPrefix = "special=";
  if (text.size() < kPrefix.size()) return ExPropCommand::TooltipSettings;
  std::string lower(text);
  for (char& c : lower) c = asciiLower(c);
  if (lower.compare(0, kPrefix.size(), kPrefix) != 0) return ExPropCommand::TooltipSettings;
  const std::string_view rest = std::string_view(lower).substr(kPrefix.size());
  const std::string_view command = rest.substr(0, rest.find('='));
  if (command == "getimage") return ExPropCommand::GetImage;
  if (command == "fakeclick") return ExPropCommand::FakeClick;
  return ExPropCommand::Unknown;
}

}  // namespace nx
