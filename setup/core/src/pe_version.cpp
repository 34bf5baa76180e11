#include "nxsetup/pe_version.h"

#include "nxsetup/pe_image.h"

namespace nx::setup {
namespace {

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kHighBit = 0x80000000U;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BDU;
constexpr std::uint32_t kFixedInfoSize = 52;
// Offset of the fixed information in VS_VERSIONINFO: three words, the key
// "VS_VERSION_INFO" in UTF-16 with its terminator, then padding to 32 bits.
constexpr std::uint32_t kFixedInfoOffset = 40;

struct ResourceSection {
  Bytes image;
  std::uint64_t base;  // file offset of the resource directory root
};

// Offset-to-data of the first entry of a directory, or of the entry with the given id.
std::optional<std::uint32_t> findEntry(const ResourceSection& res, std::uint32_t dirOffset,
                                       std::optional<std::uint32_t> id) {
  const std::uint64_t dir = res.base + dirOffset;
  const auto named = readU16(res.image, dir + 12);
  const auto ids = readU16(res.image, dir + 14);
  if (!named || !ids) return std::nullopt;
  const std::uint32_t total = std::uint32_t{*named} + *ids;
  for (std::uint32_t i = 0; i < total; ++i) {
    const std::uint64_t entry = dir + 16 + i * 8ULL;
    const auto name = readU32(res.image, entry);
    const auto data = readU32(res.image, entry + 4);
    if (!name || !data) return std::nullopt;
    if (!id || *name == *id) return *data;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> subdirectory(std::optional<std::uint32_t> entry) {
  if (!entry || (*entry & kHighBit) == 0) return std::nullopt;
  return *entry & ~kHighBit;
}

FileVersion splitVersion(std::uint32_t ms, std::uint32_t ls) {
  return {static_cast<std::uint16_t>(ms >> 16), static_cast<std::uint16_t>(ms & 0xFFFF),
          static_cast<std::uint16_t>(ls >> 16), static_cast<std::uint16_t>(ls & 0xFFFF)};
}

}  // namespace

std::optional<VersionResource> readVersionResource(Bytes image) {
  const std::optional<PeLayout> pe = readPeLayout(image);
  if (!pe || pe->directories.size() <= kPeDirResource) return std::nullopt;
  const PeDataDirectory dir = pe->directories[kPeDirResource];
  if (dir.address == 0 || dir.size == 0) return std::nullopt;
  const auto base = pe->rvaToOffset(dir.address);
  if (!base) return std::nullopt;
  const ResourceSection res{image, *base};

  const auto byType = subdirectory(findEntry(res, 0, kRtVersion));
  if (!byType) return std::nullopt;
  const auto byName = subdirectory(findEntry(res, *byType, std::nullopt));
  if (!byName) return std::nullopt;
  const auto leaf = findEntry(res, *byName, std::nullopt);
  if (!leaf || (*leaf & kHighBit) != 0) return std::nullopt;

  const std::uint64_t dataEntry = res.base + *leaf;
  const auto dataRva = readU32(image, dataEntry);
  const auto dataSize = readU32(image, dataEntry + 4);
  if (!dataRva || !dataSize || *dataSize < kFixedInfoOffset + kFixedInfoSize) return std::nullopt;
  const auto data = pe->rvaToOffset(*dataRva);
  if (!data || !inRange(*data, *dataSize, image.size())) return std::nullopt;

  const auto valueLength = readU16(image, *data + 2);
  const std::uint64_t fixed = *data + kFixedInfoOffset;
  if (!valueLength || *valueLength < kFixedInfoSize) return std::nullopt;
  if (readU32(image, fixed) != kFixedInfoSignature) return std::nullopt;
  const auto fileMs = readU32(image, fixed + 8);
  const auto fileLs = readU32(image, fixed + 12);
  const auto prodMs = readU32(image, fixed + 16);
  const auto prodLs = readU32(image, fixed + 20);
  if (!fileMs || !fileLs || !prodMs || !prodLs) return std::nullopt;
  return VersionResource{splitVersion(*fileMs, *fileLs), splitVersion(*prodMs, *prodLs)};
}

std::string formatFileVersion(const FileVersion& v) {
  std::string text = std::to_string(v.major);
  text.append(".").append(std::to_string(v.minor));
  if (v.build > 0 || v.revision > 0) text.append(".").append(std::to_string(v.build));
  if (v.revision > 0) text.append(".").append(std::to_string(v.revision));
  return text;
}

}  // namespace nx::setup
