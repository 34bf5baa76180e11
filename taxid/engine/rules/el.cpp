// Greece: nine digits, powers-of-two weights modulo 11.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkEL(std::string_view n) {
  if (n.size() != 9 || !isNumeric(n) || allZeros(n)) return false;
  int r = weighted(n, std::array{256, 128, 64, 32, 16, 8, 4, 2}) % 11;
  return digitIs(n, 9, r == 10 ? 0 : r);
}
}  // namespace nx::taxid::rules
