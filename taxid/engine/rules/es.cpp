// Spain: personal numbers with a letter control (rule N) and entity numbers with a digit
// (E-D) or letter (E-L) control, told apart by the first and last characters.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

namespace {

constexpr std::string_view kPersonalLetters = "TRWAGMYFPDXBNJZSQVHLCKE";

bool ruleN(std::int64_t n, char last) {
  return last == kPersonalLetters[static_cast<std::size_t>(n % 23)];
}

// r of the entity sum over positions 2 to 8.
int entityRemainder(std::string_view n) {
  int a = 0;
  for (std::size_t pos : {2, 4, 6, 8}) a += doubled(d(n, pos));
  int b = d(n, 3) + d(n, 5) + d(n, 7);
  return (a + b) % 10;
}

bool among(char c, std::string_view set) {
  return set.find(c) != std::string_view::npos;
}

}  // namespace

bool checkES(std::string_view n) {
  if (n.size() != 9) return false;
  std::string_view middle = span(n, 2, 8);
  if (!isNumeric(middle) || allZeros(middle)) return false;
  const char first = n[0];
  const char last = n[8];
  if (isDigit(last)) {
    if (!among(first, "ABCDEFGH")) return false;
    int r = entityRemainder(n);
    return d(n, 9) == (r == 0 ? 0 : 10 - r);
  }
  if (isDigit(first)) return ruleN(value(n, 1, 8), last);
  if (among(first, "KLMX")) return ruleN(value(n, 2, 8), last);
  if (among(first, "ABCDEFGHNPQS")) {
    int r = entityRemainder(n);
    return last == "ABCDEFGHIJ"[9 - r];
  }
  return false;
}
}  // namespace nx::taxid::rules
