#include "currency/eurobox/key_filter.h"

#include <algorithm>

#include "core/runtime/utf8.h"
#include "currency/eurobox/amount.h"

namespace nx::eurobox {
namespace {

constexpr char32_t kBackspace = 8;

bool isDigit(char32_t k) {
  return k >= U'0' && k <= U'9';
}

void moveCaret(EditState& s, int position, int length = 0) {
  s.selStart = position;
  s.selLength = length;
  s.selectionChanged = true;
}

}  // namespace

char32_t filterKey(char32_t k, EditState& s, int decimals, int maxLeftDigits) {
  const bool allowed = isDigit(k) || k == U'.' || k == U',' || k == U'-';
  if (!allowed && k != kBackspace) return 0;
  if (k == U'.') k = U',';
  const std::u32string text = utf8::decode(s.text);
  const std::size_t commaAt = text.find(U',');
  // c: 1-based position of the first comma, 0 when there is none; p: the caret.
  const int c = commaAt == std::u32string::npos ? 0 : static_cast<int>(commaAt) + 1;
  const int p = s.selStart;
  const int length = static_cast<int>(text.size());
  const bool selection = s.selLength > 0;
  const bool negative = text.find(U'-') != std::u32string::npos;

  if (k == U',' && decimals == 0) return 0;
  if (k == U',' && c > 0) {
    // A second comma jumps to the decimals instead.
    moveCaret(s, c, decimals);
    return 0;
  }
  if (isDigit(k) && c > 0 && p >= c && !selection && length - c >= decimals) return 0;
  if (isDigit(k) && !selection && (c == 0 || p < c) &&
      static_cast<int>(integerPartText(s.text).size()) >= maxLeftDigits)
    return 0;
  if (k == kBackspace && c > 0 && p == c) {
    // The comma is stepped over, not deleted.
    moveCaret(s, p - 1);
    return 0;
  }
  if (k == U'-') {
    // The minus key toggles the sign wherever the caret is.
    std::u32string next;
    int caret = 0;
    if (negative) {
      std::copy_if(text.begin(), text.end(), std::back_inserter(next),
                   [](char32_t ch) { return ch != U'-'; });
      caret = std::max(p - 1, 0);
    } else {
      next = U"-" + text;
      caret = p + 1;
    }
    s.text = utf8::encode(next);
    s.textChanged = true;
    moveCaret(s, caret);
    return 0;
  }
  if (negative && p == 0) return 0;  // nothing goes in front of the sign
  return k;
}

}  // namespace nx::eurobox
