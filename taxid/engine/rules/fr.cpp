// France: a two-character key (digits, or with letters from a 34-character alphabet)
// followed by the nine-digit company number.
#include "engine/rule_support.h"
#include "engine/rules.h"

namespace nx::taxid::rules {

namespace {

constexpr std::string_view kKeyAlphabet = "0123456789ABCDEFGHJKLMNPQRSTUVWXYZ";

}  // namespace

bool checkFR(std::string_view n) {
  if (n.size() != 11) return false;
  const bool numericKey = isNumeric(n);
  std::string_view tested;
  if (numericKey) {
    tested = n;
  } else {
    if (isDigit(n[0])) return false;
    tested = isDigit(n[1]) ? span(n, 2, 11) : span(n, 3, 11);
    if (!isNumeric(tested)) return false;
  }
  if (allZeros(tested)) return false;
  const auto c1 = kKeyAlphabet.find(n[0]);
  const auto c2 = kKeyAlphabet.find(n[1]);
  if (c1 == std::string_view::npos || c2 == std::string_view::npos) return false;

  const std::int64_t company = value(n, 3, 11);
  if (numericKey) return value(n, 1, 2) == (100 * company + 12) % 97;
  const auto s = static_cast<std::int64_t>(34 * c1 + c2) - 100;
  const std::int64_t p = s / 11 + 1;
  return (company + p) % 11 == s % 11;
}
}  // namespace nx::taxid::rules
