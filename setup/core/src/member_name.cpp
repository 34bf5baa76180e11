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
  if (base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT"))) {
    return base[3] >= '0' && base[3] <= '9';
  }
  return false;
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
  return !onlyDotsAndSpaces && !isDeviceName(part);
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
