// Ireland: seven digits and a check letter, or the older form with a letter or symbol in
// position 2, which is rewritten into the newer form before the check.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

namespace {

bool ruleIL(std::string_view t) {
  const int s = weighted(t, std::array{8, 7, 6, 5, 4, 3, 2});
  return t[7] == "WABCDEFGHIJKLMNOPQRSTUV"[s % 23];
}

}  // namespace

bool checkIE(std::string_view n) {
  if (n.size() != 8 || !isDigit(n[0]) || !isNumeric(span(n, 3, 7)) || !isLetter(n[7])) return false;
  const char second = n[1];
  if (isDigit(second)) return ruleIL(n);
  if ((second == '+' || second == '*' || isLetter(second)) && d(n, 1) >= 7) {
    char rewritten[8] = {'0', n[2], n[3], n[4], n[5], n[6], n[0], n[7]};
    return ruleIL(std::string_view(rewritten, 8));
  }
  return false;
}
}  // namespace nx::taxid::rules
