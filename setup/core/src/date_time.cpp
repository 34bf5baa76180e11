#include "nxsetup/date_time.h"

#include <cstdio>

namespace nx::setup {
namespace {

bool readDigits(std::string_view text, std::size_t at, std::size_t count, int& out) {
  if (at + count > text.size()) return false;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  out = value;
  return true;
}

bool isLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

std::optional<DateTime> parseDateTime(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  DateTime d;
  if (text.size() != 10 && text.size() != 19) return std::nullopt;
  if (!readDigits(text, 0, 4, d.year) || text[4] != '-' || !readDigits(text, 5, 2, d.month) ||
      text[7] != '-' || !readDigits(text, 8, 2, d.day)) {
    return std::nullopt;
  }
  if (text.size() == 19) {
    if (text[10] != ' ' || !readDigits(text, 11, 2, d.hour) || text[13] != ':' ||
        !readDigits(text, 14, 2, d.minute) || text[16] != ':' ||
        !readDigits(text, 17, 2, d.second)) {
      return std::nullopt;
    }
  }
  if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1 ||
      d.day > daysInMonth(d.year, d.month) || d.hour > 23 || d.minute > 59 || d.second > 59) {
    return std::nullopt;
  }
  return d;
}

std::string formatDateTime(const DateTime& v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", v.year % 10000,
                v.month % 100, v.day % 100, v.hour % 100, v.minute % 100, v.second % 100);
  return buffer;
}

}  // namespace nx::setup
