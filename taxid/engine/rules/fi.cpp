// Finland: eight digits, weights 7,9,10,5,8,4,2 modulo 11.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkFI(std::string_view n) {
  if (n.size() != 8 || !isNumeric(n) || allZeros(n)) return false;
  int r = weighted(n, std::array{7, 9, 10, 5, 8, 4, 2}) % 11;
  if (r == 1) return false;
  return digitIs(n, 8, r == 0 ? 0 : 11 - r);
}
}  // namespace nx::taxid::rules
