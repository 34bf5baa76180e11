// Latvia: legal persons (first digit above 3, weighted check) and natural persons (a
// date of birth, no check digit).
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkLV(std::string_view n) {
  if (n.size() != 11 || !isNumeric(n)) return false;
  if (d(n, 1) > 3) {
    const int r = weighted(n, std::array{9, 1, 4, 8, 3, 10, 2, 5, 7, 6}) % 11;
    if (r == 4) return false;
    return digitIs(n, 11, r < 4 ? 3 - r : 14 - r);
  }
  const auto yy = static_cast<int>(value(n, 5, 6));
  const int year = yy <= 15 ? 2000 + yy : 1900 + yy;
  return isDate(year, static_cast<int>(value(n, 3, 4)), static_cast<int>(value(n, 1, 2)));
}
}  // namespace nx::taxid::rules
