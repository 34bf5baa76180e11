// Enumerations of NxEuroBox and the fixed numbers of its look.
#pragma once

#include <cstdint>

#include "core/runtime/color.h"

namespace nx {

// EB_GROUPROLE_ENUM: the box's part in its group.
enum EbGroupRole : std::int32_t { grNone = 0, grSumMember = 1, grSumResult = 2 };

// EB_BORDERSTYLE_EX
enum EbBorderStyle : std::int32_t { bsNone = 0, bsFLAT = 1, bs3D = 2 };

namespace eurobox {
inline constexpr Rgb kNegativeColor = 0x0000C0;   // dark red digits
inline constexpr Rgb kDisabledBack = 0xE0E0E0;    // control, digits and symbol when disabled
inline constexpr Rgb kDisabledSymbol = 0x808080;  // symbol when disabled
inline constexpr double kMinWidth = 600;          // twips
inline constexpr double kMinHeight = 255;         // twips
inline constexpr double kFlatMargin = 30;         // around the parts inside the flat border
inline constexpr double kSymbolGap = 30;          // between digits and a non-empty symbol
inline constexpr std::int16_t kMaxDecimals = 4;
inline constexpr std::int16_t kMaxLeftDigitsLimit = 14;
inline constexpr const char* kDefaultSymbol = "\xE2\x82\xAC";  // the euro sign, UTF-8
}  // namespace eurobox

}  // namespace nx
