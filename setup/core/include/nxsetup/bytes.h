// Bounds-checked little-endian reads over a byte image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace nx::setup {

using Bytes = std::span<const std::uint8_t>;

// True when [offset, offset + length) lies inside a buffer of `size` bytes.
inline bool inRange(std::uint64_t offset, std::uint64_t length, std::uint64_t size) {
  return offset <= size && length <= size - offset;
}

inline std::optional<std::uint16_t> readU16(Bytes b, std::uint64_t at) {
  if (!inRange(at, 2, b.size())) return std::nullopt;
  const auto i = static_cast<std::size_t>(at);
  return static_cast<std::uint16_t>(b[i] | (b[i + 1] << 8));
}

inline std::optional<std::uint32_t> readU32(Bytes b, std::uint64_t at) {
  if (!inRange(at, 4, b.size())) return std::nullopt;
  const auto i = static_cast<std::size_t>(at);
  return static_cast<std::uint32_t>(b[i]) | (static_cast<std::uint32_t>(b[i + 1]) << 8) |
         (static_cast<std::uint32_t>(b[i + 2]) << 16) |
         (static_cast<std::uint32_t>(b[i + 3]) << 24);
}

}  // namespace nx::setup
