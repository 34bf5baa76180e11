// Czech Republic: legal entities (8 digits), special cases (9 digits starting 6) and
// birth numbers (9 or 10 digits, dated).
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

namespace {

int elevenComplement(int s) {
  return toNextMultiple(s, 11);
}

bool legalEntity(std::string_view n) {
  int v = elevenComplement(weighted(n, std::array{8, 7, 6, 5, 4, 3, 2}));
  if (v == 0)
    v = 1;
  else if (v == 10)
    v = 0;
  return digitIs(n, 8, v);
}

bool specialCase(std::string_view n) {
  const int v = elevenComplement(weighted(n, std::array{8, 7, 6, 5, 4, 3, 2}, 2));
  const int check = v <= 1 ? 8 : v <= 9 ? 9 - v : 9;
  return digitIs(n, 9, check);
}

int month(std::string_view n) {
  const auto m = static_cast<int>(value(n, 3, 4));
  return m > 50 ? m - 50 : m;
}

// Two-digit years of short birth numbers: 00..29 stand for 2000..2029, the rest for 19xx.
int shortYear(int yy) {
  return yy < 30 ? 2000 + yy : 1900 + yy;
}

bool shortBirthNumber(std::string_view n) {
  const auto yy = static_cast<int>(value(n, 1, 2));
  if (yy > 53) return false;
  return isDate(shortYear(yy), month(n), static_cast<int>(value(n, 5, 6)));
}

bool longBirthNumber(std::string_view n) {
  const auto yy = static_cast<int>(value(n, 1, 2));
  if (yy <= 53) return false;
  std::int64_t sum = 0;
  for (std::size_t pos = 1; pos <= 9; pos += 2) sum += value(n, pos, pos + 1);
  if (sum % 11 != 0) return false;
  return isDate(1900 + yy, month(n), static_cast<int>(value(n, 5, 6)));
}

}  // namespace

bool checkCZ(std::string_view n) {
  if (!isNumeric(n)) return false;
  switch (n.size()) {
    case 8:
      return d(n, 1) != 9 && legalEntity(n);
    case 9:
      return d(n, 1) == 6 ? specialCase(n) : shortBirthNumber(n);
    case 10:
      return longBirthNumber(n);
    default:
      return false;
  }
}
}  // namespace nx::taxid::rules
