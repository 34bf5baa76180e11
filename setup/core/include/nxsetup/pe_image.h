// Minimal reader of the PE/COFF headers of a Windows executable image held in memory.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "nxsetup/bytes.h"

namespace nx::setup {

struct PeDataDirectory {
  std::uint32_t address = 0;  // RVA, or a file offset for the security directory
  std::uint32_t size = 0;
};

struct PeSection {
  std::uint32_t virtualAddress = 0;
  std::uint32_t virtualSize = 0;
  std::uint32_t rawOffset = 0;
  std::uint32_t rawSize = 0;
};

struct PeLayout {
  std::vector<PeDataDirectory> directories;
  std::vector<PeSection> sections;

  // File offset of an RVA that lies in a section's raw data, or nothing.
  std::optional<std::uint64_t> rvaToOffset(std::uint32_t rva) const;
};

inline constexpr std::size_t kPeDirResource = 2;
inline constexpr std::size_t kPeDirSecurity = 4;

// Parses the headers; nothing when the image is not a well-formed PE file.
std::optional<PeLayout> readPeLayout(Bytes image);

// 32 for a PE32 image, 64 for a PE32+ image, by the magic of the optional header; nothing when
// the image has no PE headers.
std::optional<int> peImageBits(Bytes image);

inline constexpr std::uint16_t kPeMachineI386 = 0x014C;
inline constexpr std::uint16_t kPeMachineAmd64 = 0x8664;

// The COFF machine field of an image (its first bytes are enough when they reach the PE
// header); nothing when the bytes do not start a PE image.
std::optional<std::uint16_t> peMachine(Bytes image);

}  // namespace nx::setup
