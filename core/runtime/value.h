// Variant value of the property store, of events and of the variant property `xtrVar`.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "core/runtime/font.h"
#include "core/runtime/picture.h"

namespace nx {

// Boolean as the host stores it: True is -1, False is 0.
enum class VBool : std::int16_t { False = 0, True = -1 };

constexpr VBool toVBool(bool b) {
  return b ? VBool::True : VBool::False;
}

// Currency: 64-bit fixed point with four decimals, counted in units of 1/10000. Exact; the
// range is +-922337203685477.5807.
struct Currency {
  static constexpr std::int64_t kScale = 10000;
  std::int64_t units = 0;
  friend bool operator==(const Currency&, const Currency&) = default;
};

// Empty is the variant that was never assigned. New kinds go at the end: stored streams keep
// the index of the kind.
using Value = std::variant<std::monostate, std::int16_t, std::int32_t, VBool, float, double,
                           std::string, FontRef, PictureRef, Currency>;

enum class ValueKind { Empty, Int16, Int32, Bool, Single, Double, String, Font, Picture, Currency };

inline ValueKind kindOf(const Value& v) {
  return static_cast<ValueKind>(v.index());
}
inline bool isEmpty(const Value& v) {
  return v.index() == 0;
}

// Equality as the store uses it to leave out values equal to their default: fonts compare by
// their description, pictures by identity, numbers only with their own type.
bool sameValue(const Value& a, const Value& b);

// Conversions with the host's rules for numeric assignment: numbers convert with rounding half
// to even, numeric strings are parsed, Booleans give -1/0. Anything else, or a value out of
// range, raises ConversionError.
std::int32_t toInt32(const Value& v);
std::int16_t toInt16(const Value& v);
double toDouble(const Value& v);
bool toBool(const Value& v);
std::string toText(const Value& v);
FontRef toFont(const Value& v);
PictureRef toPicture(const Value& v);
// Numbers convert exactly from their shortest decimal form, rounded to four decimals half to
// even; numeric strings ("." decimals) are parsed exactly. NaN, infinity and values outside the
// currency range raise OverflowError; anything else not numeric raises ConversionError.
Currency toCurrency(const Value& v);

// Exact decimal to currency: `digits` (ASCII digits only, at least one) with `scale` of them
// after the point, rounded to four decimals half to even. nullopt when outside the range or
// malformed.
std::optional<Currency> currencyFromDecimal(bool negative, std::string_view digits, int scale);
// The shortest decimal text of a finite double with "." as the point ("1234.565", "-0.5",
// "1e+20" never: always positional). Empty for NaN and infinity.
std::string plainDecimalOf(double d);
// Currency as text with "." as the point and no trailing zeros ("-12.5", "3").
std::string currencyText(Currency c);

}  // namespace nx
