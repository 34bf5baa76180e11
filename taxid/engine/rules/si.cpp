// Slovenia: eight digits, weights 8..2 modulo 11.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkSI(std::string_view n) {
  if (n.size() != 8 || !isNumeric(n)) return false;
  const int r = weighted(n, std::array{8, 7, 6, 5, 4, 3, 2}) % 11;
  if (r == 0) return false;
  return digitIs(n, 8, r == 1 ? 0 : 11 - r);
}
}  // namespace nx::taxid::rules
