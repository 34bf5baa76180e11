// Cyprus: eight digits and a check letter; odd positions pass through a conversion table.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkCY(std::string_view n) {
  if (n.size() != 9 || !isNumeric(span(n, 1, 8)) || !isLetter(n[8])) return false;
  const int first = d(n, 1);
  if (first == 2 || (first >= 6 && first <= 8)) return false;
  constexpr std::array<int, 10> kOdd = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21};
  int s = 0;
  for (std::size_t pos : {1, 3, 5, 7}) s += kOdd[d(n, pos)];
  for (std::size_t pos : {2, 4, 6, 8}) s += d(n, pos);
  return n[8] == static_cast<char>('A' + s % 26);
}
}  // namespace nx::taxid::rules
