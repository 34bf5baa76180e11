#include "core/runtime/value.h"

#include <charconv>
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
    case ValueKind::Currency:
      return static_cast<double>(std::get<Currency>(v).units) / Currency::kScale;
    case ValueKind::String: {
      double d = 0.0;
      if (!parseNumber(std::get<std::string>(v), d)) throw ConversionError("type mismatch");
      return d;
    }
    default:
      throw ConversionError("type mismatch");
  }
}

// Splits a plain decimal text ("-12.5", " 3 ") into sign, digits and scale.
bool splitDecimal(std::string_view text, bool& negative, std::string& digits, int& scale) {
  std::size_t b = text.find_first_not_of(" \t");
  std::size_t e = text.find_last_not_of(" \t");
  if (b == std::string_view::npos) return false;
  text = text.substr(b, e - b + 1);
  negative = false;
  std::size_t i = 0;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    ++i;
  }
  digits.clear();
  scale = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits.push_back(c);
      if (point) ++scale;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return !digits.empty();
}

}  // namespace

std::optional<Currency> currencyFromDecimal(bool negative, std::string_view digits, int scale) {
  if (digits.empty() || scale < 0 || static_cast<std::size_t>(scale) > digits.size())
    return std::nullopt;
  for (char c : digits)
    if (c < '0' || c > '9') return std::nullopt;
  // Magnitude in units: the integer digits and the first four decimals; the rest decides the
  // rounding.
  const std::size_t intDigits = digits.size() - static_cast<std::size_t>(scale);
  const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  std::uint64_t units = 0;
  const auto push = [&](int digit) {
    if (units > (limit - static_cast<std::uint64_t>(digit)) / 10) return false;
    units = units * 10 + static_cast<std::uint64_t>(digit);
    return true;
  };
  for (std::size_t i = 0; i < intDigits + 4; ++i) {
    const int digit = i < digits.size() ? digits[i] - '0' : 0;
    if (!push(digit)) return std::nullopt;
  }
  if (intDigits + 4 < digits.size()) {
    const std::string_view rest = digits.substr(intDigits + 4);
    const int first = rest[0] - '0';
    const bool beyondHalf = rest.find_first_not_of('0', 1) != std::string_view::npos;
    const bool up = first > 5 || (first == 5 && (beyondHalf || (units % 2) == 1));
    if (up) {
      if (units >= limit) return std::nullopt;
      ++units;
    }
  }
  if (negative) {
    if (units == (std::uint64_t{1} << 63))
      return Currency{std::numeric_limits<std::int64_t>::min()};
    return Currency{-static_cast<std::int64_t>(units)};
  }
  return Currency{static_cast<std::int64_t>(units)};
}

std::string plainDecimalOf(double d) {
  if (!std::isfinite(d)) return {};
  char buf[512];
  const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
  if (r.ec != std::errc()) return {};
  std::string out(buf, r.ptr);
  if (out == "-0") out = "0";
  return out;
}

std::string currencyText(Currency c) {
  const bool negative = c.units < 0;
  std::uint64_t m =
      negative ? 0 - static_cast<std::uint64_t>(c.units) : static_cast<std::uint64_t>(c.units);
  std::string frac;
  for (int i = 0; i < 4; ++i) {
    frac.insert(frac.begin(), static_cast<char>('0' + m % 10));
    m /= 10;
  }
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  std::string out = (negative ? "-" : "") + std::to_string(m);
  if (!frac.empty()) out += "." + frac;
  return out;
}

Currency toCurrency(const Value& v) {
  std::string text;
  switch (kindOf(v)) {
    case ValueKind::Currency:
      return std::get<Currency>(v);
    case ValueKind::Empty:
      return Currency{};
    case ValueKind::Single:
    case ValueKind::Double: {
      const double d = toDouble(v);
      if (!std::isfinite(d)) throw OverflowError("overflow");
      text = plainDecimalOf(d);
      break;
    }
    case ValueKind::String:
      text = std::get<std::string>(v);
      break;
    case ValueKind::Int16:
    case ValueKind::Int32:
    case ValueKind::Bool:
      return Currency{static_cast<std::int64_t>(numericOf(v)) * Currency::kScale};
    default:
      throw ConversionError("type mismatch");
  }
  bool negative = false;
  std::string digits;
  int scale = 0;
  if (!splitDecimal(text, negative, digits, scale)) throw ConversionError("type mismatch");
  std::optional<Currency> c = currencyFromDecimal(negative, digits, scale);
  if (!c) throw OverflowError("overflow");
  return *c;
}

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
    case ValueKind::Currency:
      return currencyText(std::get<Currency>(v));
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
