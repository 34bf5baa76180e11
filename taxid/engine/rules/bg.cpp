// Bulgaria: legal entities (9 digits); ten-digit numbers are accepted as a personal
// number with a date of birth, as a foreigner number, or else checked as other numbers.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

namespace {

bool legalEntity(std::string_view n) {
  int r = weighted(n, std::array{1, 2, 3, 4, 5, 6, 7, 8}) % 11;
  if (r == 10) {
    r = weighted(n, std::array{3, 4, 5, 6, 7, 8, 9, 10}) % 11;
    if (r == 10) r = 0;
  }
  return digitIs(n, 9, r);
}

bool personal(std::string_view n) {
  const auto yy = static_cast<int>(value(n, 1, 2));
  const auto m = static_cast<int>(value(n, 3, 4));
  int year = 0;
  int month = 0;
  if (m >= 21 && m <= 32) {
    year = 1800 + yy;
    month = m - 20;
  } else if (m >= 41 && m <= 52) {
    year = 2000 + yy;
    month = m - 40;
  } else if (m >= 1 && m <= 12) {
    year = 1900 + yy;
    month = m;
  } else {
    return false;
  }
  if (!isDate(year, month, static_cast<int>(value(n, 5, 6)))) return false;
  int r = weighted(n, std::array{2, 4, 8, 5, 10, 9, 7, 3, 6}) % 11;
  if (r == 10) r = 0;
  return digitIs(n, 10, r);
}

bool foreigner(std::string_view n) {
  return digitIs(n, 10, weighted(n, std::array{21, 19, 17, 13, 11, 9, 7, 3, 1}) % 10);
}

bool other(std::string_view n) {
  const int r = weighted(n, std::array{4, 3, 2, 7, 6, 5, 4, 3, 2}) % 11;
  const int check = 11 - r;
  return digitIs(n, 10, check == 11 ? 0 : check);
}

}  // namespace

bool checkBG(std::string_view n) {
  if (!isNumeric(n)) return false;
  if (n.size() == 9) return legalEntity(n);
  if (n.size() == 10) return personal(n) || foreigner(n) || other(n);
  return false;
}
}  // namespace nx::taxid::rules
