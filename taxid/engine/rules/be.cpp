// Belgium: ten digits starting 0, a 97-complement of positions 2 to 8 in the last two.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkBE(std::string_view n) {
  if (n.size() != 10 || !isNumeric(n) || d(n, 1) != 0 || d(n, 2) < 2) return false;
  return 97 - value(n, 2, 8) % 97 == value(n, 9, 10);
}
}  // namespace nx::taxid::rules
