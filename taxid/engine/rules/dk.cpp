// Denmark: eight digits whose weighted sum is divisible by 11.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkDK(std::string_view n) {
  if (n.size() != 8 || !isNumeric(n) || d(n, 1) == 0) return false;
  return weighted(n, std::array{2, 7, 6, 5, 4, 3, 2, 1}) % 11 == 0;
}
}  // namespace nx::taxid::rules
