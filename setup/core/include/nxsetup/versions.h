// Dotted version comparison of the setup program.
#pragma once

#include <string>
#include <string_view>

namespace nx::setup {

// Leading decimal number of a text as the setup reads numbers: spaces are skipped, a sign may
// lead, reading stops at the first other character; no digits reads 0. Returned as canonical
// decimal text without leading zeros, so numbers of any length keep their value.
std::string leadingNumberText(std::string_view text);

// Both versions are cut or padded to four parts, each part replaced by the text of its leading
// number, and the joined texts compared by character code: 1 when a is greater, 2 when a is
// smaller, 0 when equal. The comparison is textual, so 1.10 counts as smaller than 1.9.
int compareVersions(std::string_view a, std::string_view b);

}  // namespace nx::setup
