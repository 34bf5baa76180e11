#include "core/persist/font_parts.h"

#include <cmath>

#include "core/runtime/errors.h"

namespace nx::persist {

std::string fontPartKey(std::string_view key, std::size_t index) {
  std::string out(key);
  out += kFontPartSuffixes.at(index);
  return out;
}

std::array<Value, kFontPartCount> fontToParts(const FontDesc& font) {
  return {Value{font.name}, Value{font.size}, Value{toVBool(font.bold)},
          Value{toVBool(font.italic)}, Value{toVBool(font.underline)}};
}

FontDesc fontFromParts(const std::array<Value, kFontPartCount>& parts, const FontDesc& fallback) {
  FontDesc d = fallback;
  if (!isEmpty(parts[0])) d.name = toText(parts[0]);
  if (!isEmpty(parts[1])) {
    d.size = toDouble(parts[1]);
    if (!std::isfinite(d.size) || d.size < 0.0) throw ConversionError("invalid font size");
  }
  if (!isEmpty(parts[2])) d.bold = toBool(parts[2]);
  if (!isEmpty(parts[3])) d.italic = toBool(parts[3]);
  if (!isEmpty(parts[4])) d.underline = toBool(parts[4]);
  return d;
}

}  // namespace nx::persist
