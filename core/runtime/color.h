// Colour value types: OLE colours as the host sees them, RGB values as drawing calls take them.
#pragma once

#include <cstdint>

namespace nx {

// OLE colour: non-negative is 0x00BBGGRR; 0x800000nn is the system colour with index nn.
using OleColor = std::int32_t;
// Plain RGB value 0x00BBGGRR, as drawing calls take it.
using Rgb = std::uint32_t;

// The platform's "invalid colour" answer of a pixel read outside the surface.
inline constexpr Rgb kInvalidColor = 0xFFFFFFFFu;

constexpr Rgb makeRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Rgb>(r) | (static_cast<Rgb>(g) << 8) | (static_cast<Rgb>(b) << 16);
}
constexpr std::uint8_t redOf(Rgb c) {
  return static_cast<std::uint8_t>(c & 0xFFu);
}
constexpr std::uint8_t greenOf(Rgb c) {
  return static_cast<std::uint8_t>((c >> 8) & 0xFFu);
}
constexpr std::uint8_t blueOf(Rgb c) {
  return static_cast<std::uint8_t>((c >> 16) & 0xFFu);
}

// Builds the OLE colour naming system colour `index`.
constexpr OleColor systemColor(std::uint8_t index) {
  return static_cast<OleColor>(0x80000000u | index);
}

namespace syscolor {
inline constexpr OleColor kButtonFace = systemColor(0x0F);
inline constexpr OleColor kGrayText = systemColor(0x11);
inline constexpr OleColor kButtonText = systemColor(0x12);
inline constexpr OleColor kTooltipText = systemColor(0x17);
inline constexpr OleColor kTooltipBack = systemColor(0x18);
}  // namespace syscolor

}  // namespace nx
