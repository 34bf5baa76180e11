// Italy: eleven digits, an office code other than 999 and a Luhn check digit.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkIT(std::string_view n) {
  if (n.size() != 11 || !isNumeric(n) || allZeros(n)) return false;
  if (value(n, 8, 10) == 999) return false;
  int s = 0;
  for (std::size_t pos : {1, 3, 5, 7, 9}) s += d(n, pos);
  for (std::size_t pos : {2, 4, 6, 8, 10}) s += doubled(d(n, pos));
  int r = s % 10;
  return digitIs(n, 11, r == 0 ? 0 : 10 - r);
}
}  // namespace nx::taxid::rules
