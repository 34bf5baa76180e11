// Austria: "U" and eight digits, the last a Luhn-like check digit over a base of 4.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkAT(std::string_view n) {
  if (n.size() != 9 || n[0] != 'U' || !isNumeric(span(n, 2, 9))) return false;
  int sum = 4;
  for (std::size_t pos : {3, 5, 7}) sum += doubled(d(n, pos));
  for (std::size_t pos : {2, 4, 6, 8}) sum += d(n, pos);
  int r = sum % 10;
  return digitIs(n, 9, r == 0 ? 0 : 10 - r);
}
}  // namespace nx::taxid::rules
