#include "currency/eurobox/amount.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace nx::eurobox {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view s) {
  const std::size_t b = s.find_first_not_of(kBlanks);
  if (b == std::string_view::npos) return {};
  const std::size_t e = s.find_last_not_of(kBlanks);
  return s.substr(b, e - b + 1);
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Adds one to a string of decimal digits; "99" becomes "100".
void addOne(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

std::string withoutLeadingZeros(std::string s) {
  const std::size_t nz = s.find_first_not_of('0');
  return nz == std::string::npos ? std::string("0") : s.substr(nz);
}

// Shortest decimal form of a finite double, split at the point.
struct Split {
  bool negative = false;
  std::string integer;
  std::string fraction;
};

std::optional<Split> splitDouble(double v) {
  const std::string text = plainDecimalOf(v);
  if (text.empty()) return std::nullopt;
  Split s;
  std::string_view t = text;
  if (t.front() == '-') {
    s.negative = true;
    t.remove_prefix(1);
  }
  const std::size_t point = t.find('.');
  s.integer = std::string(t.substr(0, point));
  if (point != std::string_view::npos) s.fraction = std::string(t.substr(point + 1));
  return s;
}

}  // namespace

std::optional<DecimalText> parseAmount(std::string_view text) {
  std::string_view t = trimmed(text);
  DecimalText out;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    out.negative = t.front() == '-';
    t.remove_prefix(1);
  }
  const std::size_t comma = t.find(',');
  const std::string_view integer = t.substr(0, comma);
  const std::string_view fraction =
      comma == std::string_view::npos ? std::string_view{} : t.substr(comma + 1);
  // Integer part: plain digits, or groups of three after a first group of one to three.
  if (integer.find('.') == std::string_view::npos) {
    for (char c : integer)
      if (!isDigit(c)) return std::nullopt;
    out.digits = std::string(integer);
  } else {
    std::size_t pos = 0;
    bool first = true;
    while (true) {
      const std::size_t dot = integer.find('.', pos);
      const std::string_view group = integer.substr(pos, dot - pos);
      if (group.empty() || group.size() > 3 || (!first && group.size() != 3)) return std::nullopt;
      for (char c : group)
        if (!isDigit(c)) return std::nullopt;
      out.digits += group;
      if (dot == std::string_view::npos) break;
      pos = dot + 1;
      first = false;
    }
    // The last group after a dot must have three digits too.
    if (integer.back() == '.') return std::nullopt;
  }
  for (char c : fraction)
    if (!isDigit(c)) return std::nullopt;
  out.digits += fraction;
  out.scale = static_cast<int>(fraction.size());
  if (out.digits.empty()) return std::nullopt;
  return out;
}

bool isAmount(std::string_view text) {
  return parseAmount(text).has_value();
}

std::optional<Currency> currencyOfText(std::string_view text) {
  const std::optional<DecimalText> d = parseAmount(text);
  if (!d) return std::nullopt;
  return currencyFromDecimal(d->negative, d->digits, d->scale);
}

std::optional<double> doubleOfText(std::string_view text) {
  const std::optional<DecimalText> d = parseAmount(text);
  if (!d) return std::nullopt;
  const std::size_t intDigits = d->digits.size() - static_cast<std::size_t>(d->scale);
  std::string plain = d->digits.substr(0, intDigits);
  if (plain.empty()) plain = "0";
  if (d->scale > 0) plain += "." + d->digits.substr(intDigits);
  double v = 0;
  const auto r = std::from_chars(plain.data(), plain.data() + plain.size(), v);
  if (r.ec != std::errc() || !std::isfinite(v)) return std::nullopt;
  return d->negative ? -v : v;
}

std::string plainText(double v) {
  std::string s = plainDecimalOf(v);
  for (char& c : s)
    if (c == '.') c = ',';
  return s;
}

std::string formatAmount(double v, int decimals) {
  std::optional<Split> s = splitDouble(v);
  if (!s) return {};
  if (decimals < 0) decimals = 0;
  const auto d = static_cast<std::size_t>(decimals);
  std::string integer = s->integer;
  std::string fraction = s->fraction;
  if (fraction.size() > d) {
    const bool up = fraction[d] >= '5';
    fraction.resize(d);
    if (up) {
      std::string all = integer + fraction;
      addOne(all);
      integer = all.substr(0, all.size() - d);
      fraction = all.substr(all.size() - d);
    }
  }
  fraction.resize(d, '0');
  integer = withoutLeadingZeros(integer);
  std::string grouped;
  for (std::size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0) grouped.push_back('.');
    grouped.push_back(integer[i]);
  }
  const bool zero = integer == "0" && fraction.find_first_not_of('0') == std::string::npos;
  std::string out = (s->negative && !zero) ? "-" : "";
  out += grouped;
  if (d > 0) out += "," + fraction;
  return out;
}

double Rounder::round(double x, int d) {
  if (d < 0 || d > 4 || !std::isfinite(x)) return x;
  if (!valid_ || d != lastDecimals_) {
    power_ = 1;
    for (int i = 0; i < d; ++i) power_ *= 10;
    lastDecimals_ = d;
  } else if (x == lastInput_ && std::signbit(x) == std::signbit(lastInput_)) {
    return lastResult_;
  }
  valid_ = true;
  lastInput_ = x;
  double result = 0;
  if (x != 0) {
    // |x| * 10^d moves d digits of the fraction into the integer part; adding one half and
    // taking the integer part rounds up exactly when the first remaining digit is 5 or more.
    Split s = *splitDouble(std::fabs(x));
    const auto shift = static_cast<std::size_t>(d);
    s.fraction.resize(std::max(s.fraction.size(), shift), '0');
    std::string n = withoutLeadingZeros(s.integer + s.fraction.substr(0, shift));
    if (s.fraction.size() > shift && s.fraction[shift] >= '5') addOne(n);
    // Exact decimal arithmetic holds 29 digits; beyond them the input stays as it is.
    if (n.size() > 29) {
      lastResult_ = x;
      return x;
    }
    double scaled = 0;
    std::from_chars(n.data(), n.data() + n.size(), scaled);
    result = scaled / power_;
    if (x < 0) result = -result;
  }
  lastResult_ = result;
  return result;
}

std::string integerPartText(std::string_view text) {
  std::string_view t = text.substr(std::min(text.size(), text.find_first_not_of(kBlanks)));
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  std::size_t n = 0;
  while (n < t.size() && isDigit(t[n])) ++n;
  const std::string digits = withoutLeadingZeros(std::string(t.substr(0, n)));
  return (negative && digits != "0" ? "-" : "") + digits;
}

std::string withoutSymbol(std::string_view text, std::string_view what) {
  std::string out(text);
  if (!what.empty())
    for (std::size_t p = out.find(what); p != std::string::npos; p = out.find(what, p))
      out.erase(p, what.size());
  return std::string(trimmed(out));
}

}  // namespace nx::eurobox
