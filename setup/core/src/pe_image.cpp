#include "nxsetup/pe_image.h"

namespace nx::setup {
namespace {

constexpr std::uint16_t kDosMagic = 0x5A4D;     // "MZ"
constexpr std::uint32_t kPeSignature = 0x4550;  // "PE\0\0"
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::uint32_t kMaxDirectories = 16;

}  // namespace

std::optional<std::uint64_t> PeLayout::rvaToOffset(std::uint32_t rva) const {
  for (const PeSection& s : sections) {
    const std::uint32_t span = s.rawSize;
    if (rva >= s.virtualAddress && rva - s.virtualAddress < span) {
      return std::uint64_t{s.rawOffset} + (rva - s.virtualAddress);
    }
  }
  return std::nullopt;
}

namespace {

// Offset of the "PE\0\0" signature, or nothing when the bytes do not start a PE image.
std::optional<std::uint64_t> peHeaderAt(Bytes image) {
  if (readU16(image, 0) != kDosMagic) return std::nullopt;
  const auto peAt = readU32(image, 0x3C);
  if (!peAt || readU32(image, *peAt) != kPeSignature) return std::nullopt;
  return std::uint64_t{*peAt};
}

}  // namespace

std::optional<std::uint16_t> peMachine(Bytes image) {
  const auto peAt = peHeaderAt(image);
  if (!peAt) return std::nullopt;
  return readU16(image, *peAt + 4);
}

std::optional<int> peImageBits(Bytes image) {
  const auto peAt = peHeaderAt(image);
  if (!peAt) return std::nullopt;
  const auto magic = readU16(image, *peAt + 24);
  if (magic == kMagicPe32) return 32;
  if (magic == kMagicPe32Plus) return 64;
  return std::nullopt;
}

std::optional<PeLayout> readPeLayout(Bytes image) {
  if (readU16(image, 0) != kDosMagic) return std::nullopt;
  const auto peAt = readU32(image, 0x3C);
  if (!peAt || readU32(image, *peAt) != kPeSignature) return std::nullopt;
  const std::uint64_t coff = std::uint64_t{*peAt} + 4;
  const auto sectionCount = readU16(image, coff + 2);
  const auto optionalSize = readU16(image, coff + 16);
  if (!sectionCount || !optionalSize) return std::nullopt;
  const std::uint64_t opt = coff + 20;
  const auto magic = readU16(image, opt);
  if (!magic) return std::nullopt;

  std::uint64_t countAt = 0;
  if (*magic == kMagicPe32) {
    countAt = opt + 92;
  } else if (*magic == kMagicPe32Plus) {
    countAt = opt + 108;
  } else {
    return std::nullopt;
  }
  const auto dirCount = readU32(image, countAt);
  if (!dirCount) return std::nullopt;
  const std::uint32_t usable = *dirCount < kMaxDirectories ? *dirCount : kMaxDirectories;
  // The directories must lie within the optional header.
  if (countAt + 4 + std::uint64_t{usable} * 8 > opt + *optionalSize) return std::nullopt;

  PeLayout layout;
  for (std::uint32_t i = 0; i < usable; ++i) {
    const auto address = readU32(image, countAt + 4 + i * 8ULL);
    const auto size = readU32(image, countAt + 8 + i * 8ULL);
    if (!address || !size) return std::nullopt;
    layout.directories.push_back({*address, *size});
  }
  const std::uint64_t table = opt + *optionalSize;
  for (std::uint16_t i = 0; i < *sectionCount; ++i) {
    const std::uint64_t at = table + i * 40ULL;
    const auto vsize = readU32(image, at + 8);
    const auto vaddr = readU32(image, at + 12);
    const auto rsize = readU32(image, at + 16);
    const auto roff = readU32(image, at + 20);
    if (!vsize || !vaddr || !rsize || !roff) return std::nullopt;
    PeSection s{*vaddr, *vsize, *roff, *rsize};
    // Keep only the part of the raw data that the file holds.
    if (s.rawOffset > image.size()) {
      s.rawSize = 0;
    } else if (s.rawSize > image.size() - s.rawOffset) {
      s.rawSize = static_cast<std::uint32_t>(image.size() - s.rawOffset);
    }
    layout.sections.push_back(s);
  }
  return layout;
}

}  // namespace nx::setup
