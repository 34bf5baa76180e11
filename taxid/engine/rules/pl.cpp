// Poland: ten digits, weights 6,5,7,2,3,4,5,6,7 modulo 11.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkPL(std::string_view n) {
  if (n.size() != 10 || !isNumeric(n)) return false;
  const int r = weighted(n, std::array{6, 5, 7, 2, 3, 4, 5, 6, 7}) % 11;
  return r != 10 && digitIs(n, 10, r);
}
}  // namespace nx::taxid::rules
