// The zlib library of the setup: provided as "zlib.dll" in the system folder from the program's
// own "ZLIB" resource (type "CUSTOM"), and loaded from there when the payload is inflated.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nx::setup::win {

inline constexpr std::string_view kZlibFileName = "zlib.dll";
inline constexpr const char* kZlibResourceName = "ZLIB";
inline constexpr const char* kZlibResourceType = "CUSTOM";

// The "ZLIB" resource of type "CUSTOM" of a module (the program itself when null).
std::optional<std::vector<std::uint8_t>> zlibResourceImage(HMODULE module = nullptr);

// Orders two zlib versions by the numbers of their four dotted parts: 1 when `installed` is
// newer, 2 when older, 0 when equal.
int compareZlibVersions(std::string_view installed, std::string_view required);

// Puts `image` as folder + "zlib.dll" unless a copy of at least `requiredVersion` is there.
// The image goes to a temporary file in the same folder first and then replaces the old file
// whole, so a failed write never leaves a damaged library and a larger old file leaves no tail.
bool provideZlib(std::string_view folder, std::string_view requiredVersion,
                 const std::vector<std::uint8_t>& image);

// provideZlib with the program's own resource; `folder` is the system folder with a trailing
// backslash.
bool checkZlib(std::string_view folder, std::string_view requiredVersion);

// The version a zlib library at `path` reports through zlibVersion; empty when it cannot be
// loaded.
std::string zlibVersionOf(std::string_view path);

// Where the program's zlib calls load the library from: the system folder + "zlib.dll" unless
// set otherwise. Setting a path unloads a library loaded before.
void setZlibLibraryPath(std::string path);
std::string zlibLibraryPath();
// True when the library can be loaded and its functions found.
bool zlibLoaded();

}  // namespace nx::setup::win
