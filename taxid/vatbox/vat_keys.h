// The characters the number box of NxVATNumber accepts.
#pragma once

#include <string_view>

namespace nx::vatbox {

// The typed character as it goes into the box, or 0 when it is discarded. Letters and digits
// pass in the case they were typed; "?" passes only when completion is on and the text holds
// none yet; Backspace (8) and Enter (13) always pass.
char32_t filterVatKey(char32_t ch, std::string_view text, bool findNumber);

}  // namespace nx::vatbox
