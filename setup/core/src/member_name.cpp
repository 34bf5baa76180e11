#include "nxsetup/member_name.h"

#include <array>

namespace nx::setup {
namespace {

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool isDeviceName(std::string_view part) {
  // Windows ignores an extension and trailing dots or spaces after a device name.
  std::string base = upper(part.substr(0, part.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static constexpr std::array<std::string_view, 6> kPlain = {"CON", "PRN",    "AUX",
                                                             "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view d : kPlain) {
    if (base == d) return true;
  }
  if (!base.starts_with("COM") && !base.starts_with("LPT")) return false;
  const std::string_view digit = std::string_view(base).substr(3);
  // COM0..9 and LPT0..9, also with the superscript digits 1, 2 and 3 (single-byte or UTF-8).
  if (digit.size() == 1) {
    const auto d = static_cast<unsigned char>(digit[0]);
    return (d >= '0' && d <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
  }
  return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

bool isAcceptablePart(std::string_view part) {
  bool onlyDotsAndSpaces = true;
  for (char ch : part) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return false;
    switch (c) {
      case ':':
      case '<':
      case '>':
      case '"':
      case '|':
      case '?':
      case '*':
        return false;
      default:
        break;
    }
    if (c != '.' && c != ' ') onlyDotsAndSpaces = false;
  }
  if (onlyDotsAndSpaces || isDeviceName(part)) return false;
  // Windows drops trailing dots and spaces, so "A.OCX." would write "A.OCX".
  if (part.back() == '.' || part.back() == ' ') return false;
  // "NAME~1.EXT" may be the short alias of another file in the folder.
  for (std::size_t i = 0; i + 1 < part.size(); ++i)
    if (part[i] == '~' && part[i + 1] >= '0' && part[i + 1] <= '9') return false;
  return true;
}

}  // namespace

std::optional<std::vector<std::string>> safeMemberParts(std::string_view name) {
  if (name.empty() || name.front() == '\\') return std::nullopt;
  std::vector<std::string> parts;
  for (;;) {
    const std::size_t slash = name.find('\\');
    const std::string_view part = name.substr(0, slash);
    if (!part.empty() && part != ".") {
      if (!isAcceptablePart(part)) return std::nullopt;
      parts.emplace_back(part);
    }
    if (slash == std::string_view::npos) break;
    name.remove_prefix(slash + 1);
  }
  if (parts.empty()) return std::nullopt;
  return parts;
}

}  // namespace nx::setup
