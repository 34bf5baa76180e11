// Estonia: nine digits, weights 3,7,1 and a check digit up to the next multiple of ten.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkEE(std::string_view n) {
  if (n.size() != 9 || !isNumeric(n)) return false;
  const int s = weighted(n, std::array{3, 7, 1, 3, 7, 1, 3, 7});
  return s != 0 && digitIs(n, 9, toNextMultiple(s, 10));
}
}  // namespace nx::taxid::rules
