// Text utilities for Windows-style paths and sizes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nx::setup {

// Trims spaces, folds runs of backslashes into one (a leading UNC "\\" is kept), then makes the
// path end with one backslash (trailing true) or none (trailing false). Empty stays empty.
std::string normalizePath(std::string_view path, bool trailing);

// Bytes as text: "100 Bytes", "1.5 KB", "580.44 KB", "2 MB", at most "TB"; two decimals at most.
std::string formatSize(double bytes);

}  // namespace nx::setup
