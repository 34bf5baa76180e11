// The key filter of the currency box's digits: which typed characters go in, how the decimal
// comma and the sign are handled, and the limits on integer digits and decimals.
#pragma once

#include <string>

namespace nx::eurobox {

// The digits box as the filter sees and leaves it. Positions count characters; the caret is
// the selection's start.
struct EditState {
  std::string text;  // UTF-8
  int selStart = 0;
  int selLength = 0;
  bool textChanged = false;       // the filter replaced the text (sign toggled)
  bool selectionChanged = false;  // the filter moved the caret or the selection
};

// Filters one typed character `k` (backspace is 8): returns the character to insert, 0 when
// the key is rejected. Allowed are the digits, ".", "," and "-"; "." goes in as ",". The state
// may be changed (the sign toggled, the caret moved, the decimals selected).
char32_t filterKey(char32_t k, EditState& s, int decimals, int maxLeftDigits);

}  // namespace nx::eurobox
