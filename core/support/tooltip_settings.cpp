#include "core/support/tooltip_settings.h"

#include <vector>

#include "core/runtime/errors.h"
#include "core/runtime/value.h"

namespace nx {
namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t pos = text.find(separator, start);
    if (pos == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, pos - start));
    start = pos + 1;
  }
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

std::optional<std::int32_t> parseSettingNumber(std::string_view text) {
  if (text.size() >= 2 && text[0] == '&' && (text[1] == 'h' || text[1] == 'H')) {
    std::string_view digits = text.substr(2);
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : digits) {
      std::uint32_t d = 0;
      if (c >= '0' && c <= '9') {
        d = static_cast<std::uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        d = static_cast<std::uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        d = static_cast<std::uint32_t>(c - 'A' + 10);
      } else {
        return std::nullopt;
      }
      v = (v << 4) | d;
    }
    return static_cast<std::int32_t>(v);
  }
  try {
    return toInt32(Value{std::string(text)});
  } catch (const ConversionError&) {
    return std::nullopt;
  }
}

TooltipSettings parseExProp(std::string_view exProp) {
  TooltipSettings s;
  if (exProp.empty()) return s;
  for (std::string_view piece : split(exProp, ';')) {
    std::vector<std::string_view> parts = split(piece, '=');
    if (parts.size() != 2) continue;
    const std::string key = lower(parts[0]);
    const std::string value = lower(parts[1]);
    if (key == "ttbcolor" || key == "ttfcolor") {
      if (auto n = parseSettingNumber(value)) (key == "ttbcolor" ? s.backColor : s.foreColor) = *n;
    } else if (key == "ttalign") {
      if (value == "center") s.centered = true;
    } else if (key == "tticon") {
      if (value == "error" || value == "3") s.icon = 3;
      if (value == "info" || value == "1") s.icon = 1;
      if (value == "warning" || value == "2") s.icon = 2;
    } else if (key == "ttmultiline") {
      if (value == "false" || value == "no") s.multiLine = false;
    } else if (key == "ttstyle") {
      if (value == "balloon") s.style = 1;
    } else if (key == "tttitle") {
      s.title = std::string(parts[1]);
    }
  }
  return s;
}

}  // namespace nx
