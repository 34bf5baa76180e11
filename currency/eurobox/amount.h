// Amount texts of the currency box. The box has fixed conventions, whatever the machine's locale:
// "," is the decimal separator and "." the thousands separator. Every conversion here is exact
// decimal arithmetic on the text; doubles enter and leave through their shortest decimal form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/runtime/value.h"

namespace nx::eurobox {

// An amount text taken apart: sign, all digits (integer part then decimals) and how many of
// them are decimals.
struct DecimalText {
  bool negative = false;
  std::string digits;
  int scale = 0;
};

// Reads an amount text: blanks around it, an optional leading "-" or "+", the integer part either
// plain ("1234") or grouped by "." in threes ("1.234"), then optionally "," and decimals. At
// least one digit; ",5" and "5," are amounts, "-", "1.2.3", "1,2,3" and "12a" are not.
std::optional<DecimalText> parseAmount(std::string_view text);
bool isAmount(std::string_view text);
// The currency value of an amount text (beyond four decimals rounded half to even); nullopt when
// it is not an amount or outside the currency range.
std::optional<Currency> currencyOfText(std::string_view text);
// The double value of an amount text; nullopt when it is not an amount.
std::optional<double> doubleOfText(std::string_view text);

// A double as the box writes it while editing: "," decimals, no grouping, "-" in front
// (1234.5 gives "1234,5"). Empty for NaN and infinity.
std::string plainText(double v);
// A double formatted as "#,##0" (no decimals) or "#,##0." with `decimals` zeros, with "." for
// grouping and "," for decimals; further decimals are rounded half away from zero. A result that
// shows as zero has no sign. Empty for NaN and infinity.
std::string formatAmount(double v, int decimals);

// Rounds x to d decimals, halves away from zero: the product x * 10^d and the half added are
// exact decimal arithmetic on x's shortest decimal form; the result is scaled back in double
// (dividing by the exact power of ten, so the nearest double comes out). Arithmetic that cannot
// be done (NaN, infinity, d outside 0..4) gives x unchanged. Remembers the last call.
class Rounder {
 public:
  double round(double x, int d);

 private:
  bool valid_ = false;
  int lastDecimals_ = 0;
  double lastInput_ = 0;
  double lastResult_ = 0;
  double power_ = 1;  // 10^d, exact in double for d <= 4
};

// The integer part of a text as the digit limit counts it: the leading number (blanks, an
// optional "-", digits up to the first other character), printed without leading zeros and
// with its minus sign ("-12,50" gives "-12", "" and ",5" give "0", "007" gives "7").
std::string integerPartText(std::string_view text);

// Removes every occurrence of `what` (nothing when it is empty) and trims blanks.
std::string withoutSymbol(std::string_view text, std::string_view what);

}  // namespace nx::eurobox
