// Sweden: twelve digits ending "01", a Luhn check digit in position 10.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkSE(std::string_view n) {
  if (n.size() != 12 || !isNumeric(n) || span(n, 11, 12) != "01") return false;
  int s = 0;
  for (std::size_t pos : {1, 3, 5, 7, 9}) s += doubled(d(n, pos));
  for (std::size_t pos : {2, 4, 6, 8}) s += d(n, pos);
  return digitIs(n, 10, (10 - s % 10) % 10);
}
}  // namespace nx::taxid::rules
