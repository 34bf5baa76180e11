// Variant value of the property store, of events and of the variant property `xtrVar`.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "core/runtime/font.h"
#include "core/runtime/picture.h"

namespace nx {

// Boolean as the host stores it: True is -1, False is 0.
enum class VBool : std::int16_t { False = 0, True = -1 };

constexpr VBool toVBool(bool b) {
  return b ? VBool::True : VBool::False;
}

// Empty is the variant that was never assigned.
using Value = std::variant<std::monostate, std::int16_t, std::int32_t, VBool, float, double,
                           std::string, FontRef, PictureRef>;

enum class ValueKind { Empty, Int16, Int32, Bool, Single, Double, String, Font, Picture };

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

}  // namespace nx
