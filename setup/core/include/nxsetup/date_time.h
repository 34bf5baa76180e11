// Calendar date and time as written in the install information ("yyyy-MM-dd HH:mm:ss").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nx::setup {

struct DateTime {
  int year = 0;  // all zero: the zero date, used for values that cannot be read
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;

  bool isZero() const { return year == 0 && month == 0 && day == 0; }
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Reads "yyyy-MM-dd HH:mm:ss" or "yyyy-MM-dd"; nothing for any other form or an impossible date.
std::optional<DateTime> parseDateTime(std::string_view text);

// "yyyy-MM-dd HH:mm:ss".
std::string formatDateTime(const DateTime& value);

}  // namespace nx::setup
