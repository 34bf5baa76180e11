// Malta: eight digits, a 37-complement in the last two.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkMT(std::string_view n) {
  if (n.size() != 8 || !isNumeric(n) || d(n, 1) == 0 || span(n, 1, 6) == "100000") return false;
  const int s = weighted(n, std::array{3, 4, 6, 7, 8, 9});
  return value(n, 7, 8) == 37 - s % 37;
}
}  // namespace nx::taxid::rules
