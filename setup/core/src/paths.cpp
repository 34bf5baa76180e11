#include "nxsetup/paths.h"

#include <cmath>
#include <cstdio>

namespace nx::setup {

std::string normalizePath(std::string_view path, bool trailing) {
  while (!path.empty() && path.front() == ' ') path.remove_prefix(1);
  while (!path.empty() && path.back() == ' ') path.remove_suffix(1);
  if (path.empty()) return std::string();
  const bool unc = path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
  std::string out;
  out.reserve(path.size() + 2);
  if (unc) out += '\\';
  for (char c : path) {
    if (c == '\\' && !out.empty() && out.back() == '\\' && !(unc && out.size() == 1)) continue;
    out += c;
  }
  const bool endsWithSlash = out.back() == '\\';
  if (endsWithSlash && !trailing) {
    out.pop_back();
  } else if (!endsWithSlash && trailing) {
    out += '\\';
  }
  return out;
}

std::string formatSize(double bytes) {
  static constexpr char kUnits[] = "KMGT";
  int divisions = 0;
  double value = bytes;
  while (value >= 1024.0 && divisions < 4) {
    value /= 1024.0;
    ++divisions;
  }
  const double rounded = std::round(value * 100.0) / 100.0;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", rounded);
  std::string text(buffer);
  // Drop a zero fraction the way the number would print: 1.50 -> 1.5, 2.00 -> 2.
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  if (divisions == 0) return text + " Bytes";
  return text + " " + kUnits[divisions - 1] + "B";
}

}  // namespace nx::setup
