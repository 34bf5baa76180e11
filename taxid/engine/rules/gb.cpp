// United Kingdom: government departments and health authorities (five characters) and
// standard or branch numbers (nine or twelve digits) with a modulus 97 check.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

bool checkGB(std::string_view n) {
  if (n.size() == 5) {
    std::string_view kind = span(n, 1, 2);
    if (!isNumeric(span(n, 3, 5))) return false;
    const std::int64_t v = value(n, 3, 5);
    if (kind == "GD") return v <= 499;
    if (kind == "HA") return v >= 500;
    return false;
  }
  if ((n.size() != 9 && n.size() != 12) || !isNumeric(n)) return false;
  if (d(n, 1) == 0) {
    std::string_view head = span(n, 1, 3);
    if (head != "000" && head != "001" && head != "002") return false;
  }
  if (allZeros(n)) return false;
  if (n.size() == 12 && value(n, 10, 12) == 0) return false;
  const std::int64_t k = value(n, 8, 9);
  if (k > 96) return false;
  const int s = weighted(n, std::array{8, 7, 6, 5, 4, 3, 2});
  return (k + s) % 97 == 0;
}
}  // namespace nx::taxid::rules
