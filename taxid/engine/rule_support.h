// Conventions every national rule shares. Positions count from 1 as in the national
// descriptions; the helpers take 1-based positions so a rule reads like its description.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace nx::taxid::rules {

constexpr bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// A letter in either case (ASCII only: no other byte upper-cases into A..Z).
constexpr bool isLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Non-empty and made of 0..9 only.
constexpr bool isNumeric(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!isDigit(c)) return false;
  return true;
}

// Characters from position `from` to `to` (1-based, inclusive). Callers check the length.
constexpr std::string_view span(std::string_view s, std::size_t from, std::size_t to) {
  return s.substr(from - 1, to - from + 1);
}

constexpr bool allZeros(std::string_view s) {
  for (char c : s)
    if (c != '0') return false;
  return true;
}

// Value of the digit at position pos (1-based).
constexpr int d(std::string_view s, std::size_t pos) {
  return s[pos - 1] - '0';
}

// Decimal value of positions from..to; the caller has checked they are digits.
constexpr std::int64_t value(std::string_view s, std::size_t from, std::size_t to) {
  std::int64_t v = 0;
  for (std::size_t i = from; i <= to; ++i) v = v * 10 + d(s, i);
  return v;
}

// Sum of weight[i] * digit at position first + i.
template <std::size_t N>
constexpr int weighted(std::string_view s, const std::array<int, N>& weights,
                       std::size_t first = 1) {
  int sum = 0;
  for (std::size_t i = 0; i < N; ++i) sum += weights[i] * d(s, first + i);
  return sum;
}

// Twice the digit, less 9 when the double exceeds 9.
constexpr int doubled(int digit) {
  return 2 * digit > 9 ? 2 * digit - 9 : 2 * digit;
}

// The least multiple of m not smaller than v, minus v.
constexpr int toNextMultiple(int v, int m) {
  return (m - v % m) % m;
}

// Whether the digit at position pos has the value expected (expected may lie outside 0..9,
// in which case no digit matches).
constexpr bool digitIs(std::string_view s, std::size_t pos, int expected) {
  return d(s, pos) == expected;
}

constexpr bool isLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// A real date of the Gregorian calendar.
constexpr bool isDate(int year, int month, int day) {
  constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  int length = kDays[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
  return day <= length;
}

}  // namespace nx::taxid::rules
