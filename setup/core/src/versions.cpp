#include "nxsetup/versions.h"

namespace nx::setup {
namespace {

std::string canonicalVersion(std::string_view text) {
  std::string joined;
  for (int part = 0; part < 4; ++part) {
    const std::size_t dot = text.find('.');
    const std::string_view piece = text.substr(0, dot);
    if (part > 0) joined += '.';
    joined += leadingNumberText(piece);
    text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  }
  return joined;
}

}  // namespace

std::string leadingNumberText(std::string_view text) {
  bool negative = false;
  bool signSeen = false;
  std::string digits;
  for (char c : text) {
    if (c == ' ' || c == '\t') continue;
    if ((c == '-' || c == '+') && !signSeen && digits.empty()) {
      signSeen = true;
      negative = c == '-';
      continue;
    }
    if (c < '0' || c > '9') break;
    if (digits == "0") digits.clear();
    digits += c;
  }
  if (digits.empty() || digits == "0") return "0";
  return negative ? "-" + digits : digits;
}

int compareVersions(std::string_view a, std::string_view b) {
  const int order = canonicalVersion(a).compare(canonicalVersion(b));
  if (order > 0) return 1;
  if (order < 0) return 2;
  return 0;
}

}  // namespace nx::setup
