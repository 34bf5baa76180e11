#include "core/runtime/value.h"

#include <cmath>
#include <limits>

#include "core/runtime/errors.h"
#include "core/support/rounding.h"

namespace nx {
namespace {

bool parseNumber(const std::string& text, double& out) {
  // Leading and trailing blanks are allowed, the rest must be one decimal number.
  std::size_t b = text.find_first_not_of(" \t");
  std::size_t e = text.find_last_not_of(" \t");
  if (b == std::string::npos) return false;
  std::string core = text.substr(b, e - b + 1);
  std::size_t i = 0;
  if (core[i] == '+' || core[i] == '-') ++i;
  bool digits = false;
  bool dot = false;
  for (; i < core.size(); ++i) {
    char c = core[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c == '.' && !dot) {
      dot = true;
    } else {
      return false;
    }
  }
  if (!digits) return false;
  double sign = core[0] == '-' ? -1.0 : 1.0;
  double value = 0.0;
  double scale = 1.0;
  bool fraction = false;
  for (char c : core) {
    if (c == '.') {
      fraction = true;
    } else if (c >= '0' && c <= '9') {
      if (fraction) {
        scale /= 10.0;
        value += (c - '0') * scale;
      } else {
        value = value * 10.0 + (c - '0');
      }
    }
  }
  out = sign * value;
  return true;
}

double numericOf(const Value& v) {
  switch (kindOf(v)) {
    case ValueKind::Empty:
      return 0.0;
    case ValueKind::Int16:
      return std::get<std::int16_t>(v);
    case ValueKind::Int32:
      return std::get<std::int32_t>(v);
    case ValueKind::Bool:
      return static_cast<double>(static_cast<std::int16_t>(std::get<VBool>(v)));
    case ValueKind::Single:
      return std::get<float>(v);
    case ValueKind::Double:
      return std::get<double>(v);
    case ValueKind::String: {
      double d = 0.0;
      if (!parseNumber(std::get<std::string>(v), d)) throw ConversionError("type mismatch");
      return d;
    }
    default:
      throw ConversionError("type mismatch");
  }
}

}  // namespace

bool sameValue(const Value& a, const Value& b) {
  if (a.index() != b.index()) return false;
  if (const auto* fa = std::get_if<FontRef>(&a)) {
    const auto& fb = std::get<FontRef>(b);
    if (!*fa || !fb) return *fa == fb;
    return (*fa)->describe() == fb->describe();
  }
  return a == b;
}

std::int32_t toInt32(const Value& v) {
  double d = numericOf(v);
  if (!std::isfinite(d)) throw OverflowError("overflow");
  double r = roundHalfEven(d);
  if (r < std::numeric_limits<std::int32_t>::min() || r > std::numeric_limits<std::int32_t>::max())
    throw OverflowError("overflow");
  return static_cast<std::int32_t>(r);
}

std::int16_t toInt16(const Value& v) {
  std::int32_t i = toInt32(v);
  if (i < std::numeric_limits<std::int16_t>::min() || i > std::numeric_limits<std::int16_t>::max())
    throw OverflowError("overflow");
  return static_cast<std::int16_t>(i);
}

double toDouble(const Value& v) {
  return numericOf(v);
}

bool toBool(const Value& v) {
  if (const auto* s = std::get_if<std::string>(&v)) {
    if (*s == "True" || *s == "true" || *s == "TRUE") return true;
    if (*s == "False" || *s == "false" || *s == "FALSE") return false;
  }
  return numericOf(v) != 0.0;
}

std::string toText(const Value& v) {
  switch (kindOf(v)) {
    case ValueKind::Empty:
      return {};
    case ValueKind::String:
      return std::get<std::string>(v);
    case ValueKind::Int16:
      return std::to_string(std::get<std::int16_t>(v));
    case ValueKind::Int32:
      return std::to_string(std::get<std::int32_t>(v));
    case ValueKind::Bool:
      return std::get<VBool>(v) == VBool::False ? "False" : "True";
    case ValueKind::Single:
    case ValueKind::Double: {
      double d = toDouble(v);
      if (d == std::floor(d) && std::fabs(d) < 1e15)
        return std::to_string(static_cast<long long>(d));
      std::string s = std::to_string(d);
      while (!s.empty() && s.back() == '0') s.pop_back();
      return s;
    }
    default:
      throw ConversionError("type mismatch");
  }
}

FontRef toFont(const Value& v) {
  if (const auto* f = std::get_if<FontRef>(&v)) return *f;
  if (isEmpty(v)) return nullptr;
  throw ConversionError("type mismatch");
}

PictureRef toPicture(const Value& v) {
  if (const auto* p = std::get_if<PictureRef>(&v)) return *p;
  if (isEmpty(v)) return nullptr;
  throw ConversionError("type mismatch");
}

}  // namespace nx
