// Slovakia: ten digits divisible by 11 as a whole.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkSK(std::string_view n) {
  if (n.size() != 10 || !isNumeric(n) || d(n, 1) == 0) return false;
  const char third = n[2];
  if (third == '1' || third == '5' || third == '6') return false;
  return value(n, 1, 10) % 11 == 0;
}
}  // namespace nx::taxid::rules
