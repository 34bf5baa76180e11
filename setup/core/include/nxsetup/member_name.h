// Checks that a ZIP member name stays inside the folder it is extracted into.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nx::setup {

// The folder parts and file name of a member name written with "\" separators, "." and empty
// parts dropped. Nothing when the name would leave the target folder or cannot name a file on
// Windows: an absolute or UNC path, a drive letter or ":" stream, a ".." part (or any part made
// only of dots and spaces), a device name such as CON, NUL, COM1 or LPT1 (with or without an
// extension, also COM and LPT with a superscript digit), a control character or one of
// < > " | ? *, a part ending in a dot or space (Windows would drop them), or a part with "~" and
// a digit (it may be the short alias of another file).
std::optional<std::vector<std::string>> safeMemberParts(std::string_view name);

}  // namespace nx::setup
