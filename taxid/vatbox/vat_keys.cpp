#include "taxid/vatbox/vat_keys.h"

namespace nx::vatbox {

char32_t filterVatKey(char32_t ch, std::string_view text, bool findNumber) {
  if (ch == 8 || ch == 13) return ch;
  const char32_t upper = (ch >= U'a' && ch <= U'z') ? ch - U'a' + U'A' : ch;
  const bool letter = upper >= U'A' && upper <= U'Z';
  const bool digit = upper >= U'0' && upper <= U'9';
  if (letter || digit) return ch;
  if (upper == U'?' && findNumber && text.find('?') == std::string_view::npos) return ch;
  return 0;
}

}  // namespace nx::vatbox
