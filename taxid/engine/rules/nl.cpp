// Netherlands: nine digits, "B" and a two-digit branch number of at least 01.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkNL(std::string_view n) {
  if (n.size() != 12 || n[9] != 'B') return false;
  if (!isNumeric(span(n, 11, 12)) || value(n, 11, 12) < 1) return false;
  if (!isNumeric(span(n, 1, 9)) || allZeros(span(n, 1, 9))) return false;
  int r = weighted(n, std::array{9, 8, 7, 6, 5, 4, 3, 2}) % 11;
  return r != 10 && digitIs(n, 9, r);
}
}  // namespace nx::taxid::rules
