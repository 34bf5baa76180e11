// The machine an executable image was built for, read from its PE header.
#pragma once

#include <cstdint>
#include <optional>

#include "nxsetup/bytes.h"

namespace nx::setup {

inline constexpr std::uint16_t kPeMachineI386 = 0x014C;
inline constexpr std::uint16_t kPeMachineAmd64 = 0x8664;

// The COFF machine field of an image (its first bytes are enough when they reach the PE
// header); nothing when the bytes do not start a PE image.
inline std::optional<std::uint16_t> peMachine(Bytes image) {
  if (readU16(image, 0) != std::uint16_t{0x5A4D}) return std::nullopt;  // "MZ"
  const auto peAt = readU32(image, 0x3C);
  if (!peAt || readU32(image, *peAt) != std::uint32_t{0x4550}) return std::nullopt;  // "PE\0\0"
  return readU16(image, std::uint64_t{*peAt} + 4);
}

}  // namespace nx::setup
