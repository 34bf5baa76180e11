// Fonts in stores that keep only simple values: a font is kept as the sub-values "<key>.Name",
// "<key>.Size", "<key>.Bold", "<key>.Italic" and "<key>.Underline".
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/runtime/value.h"

namespace nx::persist {

inline constexpr std::size_t kFontPartCount = 5;
inline constexpr std::array<std::string_view, kFontPartCount> kFontPartSuffixes = {
    ".Name", ".Size", ".Bold", ".Italic", ".Underline"};

// The key under which part `index` of the font stored under `key` is kept.
std::string fontPartKey(std::string_view key, std::size_t index);

// The sub-values in suffix order: the name as text, the size in points as a double, and the
// three styles as Booleans.
std::array<Value, kFontPartCount> fontToParts(const FontDesc& font);

// The description made of stored sub-values; an empty part keeps that part of `fallback`.
// A part that does not convert, or a size that is negative or not finite, raises
// ConversionError.
FontDesc fontFromParts(const std::array<Value, kFontPartCount>& parts, const FontDesc& fallback);

}  // namespace nx::persist
