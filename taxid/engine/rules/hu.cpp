// Hungary: eight digits, weights 9,7,3,1 and a check digit up to the next multiple of ten.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkHU(std::string_view n) {
  if (n.size() != 8 || !isNumeric(n)) return false;
  const int s = weighted(n, std::array{9, 7, 3, 1, 9, 7, 3});
  return s != 0 && digitIs(n, 8, toNextMultiple(s, 10));
}
}  // namespace nx::taxid::rules
