// Luxembourg: eight digits, the first six modulo 89 in the last two.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkLU(std::string_view n) {
  if (n.size() != 8 || !isNumeric(n) || allZeros(n)) return false;
  return value(n, 1, 6) % 89 == value(n, 7, 8);
}
}  // namespace nx::taxid::rules
