// Portugal: nine digits, weights 9..2 modulo 11.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkPT(std::string_view n) {
  if (n.size() != 9 || !isNumeric(n)) return false;
  int r = weighted(n, std::array{9, 8, 7, 6, 5, 4, 3, 2}) % 11;
  return digitIs(n, 9, r > 1 ? 11 - r : 0);
}
}  // namespace nx::taxid::rules
