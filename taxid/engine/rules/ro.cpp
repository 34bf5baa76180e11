// Romania: two to ten digits, checked on their form filled with zeros to ten.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkRO(std::string_view n) {
  if (n.size() < 2 || n.size() > 10 || !isNumeric(n)) return false;
  char filled[10] = {'0', '0', '0', '0', '0', '0', '0', '0', '0', '0'};
  n.copy(filled + (10 - n.size()), n.size());
  const std::string_view t(filled, 10);
  int c = 10 * weighted(t, std::array{7, 5, 3, 2, 1, 7, 5, 3, 2}) % 11;
  if (c == 10) c = 0;
  return digitIs(t, 10, c);
}
}  // namespace nx::taxid::rules
