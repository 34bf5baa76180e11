// Lithuania: legal persons (9 digits) and temporary taxpayers (12 digits), each with a
// second weighting when the first remainder is 10.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

namespace {

template <std::size_t N>
bool twoPass(std::string_view n, const std::array<int, N>& first,
             const std::array<int, N>& second) {
  int r = weighted(n, first) % 11;
  if (r == 10) {
    r = weighted(n, second) % 11;
    if (r == 10) r = 0;
  }
  return digitIs(n, N + 1, r);
}

}  // namespace

bool checkLT(std::string_view n) {
  if (!isNumeric(n)) return false;
  if (n.size() == 9)
    return d(n, 8) == 1 &&
           twoPass(n, std::array{1, 2, 3, 4, 5, 6, 7, 8}, std::array{3, 4, 5, 6, 7, 8, 9, 1});
  if (n.size() == 12)
    return d(n, 11) == 1 && twoPass(n, std::array{1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2},
                                    std::array{3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4});
  return false;
}
}  // namespace nx::taxid::rules
