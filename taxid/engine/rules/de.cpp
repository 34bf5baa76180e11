// Germany: nine digits, an ISO 7064 MOD 11,10 check digit.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkDE(std::string_view n) {
  if (n.size() != 9 || !isNumeric(n) || allZeros(span(n, 1, 8))) return false;
  int p = 10;
  for (std::size_t pos = 1; pos <= 8; ++pos) {
    int s = (d(n, pos) + p) % 10;
    if (s == 0) s = 10;
    p = (2 * s) % 11;
  }
  return digitIs(n, 9, p == 1 ? 0 : 11 - p);
}
}  // namespace nx::taxid::rules
