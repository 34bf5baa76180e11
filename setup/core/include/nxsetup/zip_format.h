// Records of the ZIP format (single disk, no ZIP64), read with every field bounds-checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "nxsetup/bytes.h"

namespace nx::setup::zip {

inline constexpr std::uint32_t kEndSignature = 0x06054B50;
inline constexpr std::uint32_t kCentralSignature = 0x02014B50;
inline constexpr std::uint32_t kLocalSignature = 0x04034B50;
inline constexpr std::uint64_t kEndFixedSize = 22;
inline constexpr std::uint64_t kCentralFixedSize = 46;
inline constexpr std::uint64_t kLocalFixedSize = 30;
inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;

struct EndRecord {
  std::uint16_t thisDisk = 0;
  std::uint16_t centralDisk = 0;
  std::uint16_t entriesThisDisk = 0;
  std::uint16_t totalEntries = 0;
  std::uint32_t centralSize = 0;
  std::uint32_t centralOffset = 0;
  std::uint16_t commentLength = 0;
};

struct CentralHeader {
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint16_t modTime = 0;
  std::uint16_t modDate = 0;
  std::uint32_t crc = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t uncompressedSize = 0;
  std::uint32_t localOffset = 0;
  std::string name;              // as stored, "/" kept
  std::uint64_t recordSize = 0;  // fixed part + name + extra + comment
};

struct LocalHeader {
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint32_t crc = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t uncompressedSize = 0;
  std::string name;
  std::uint64_t dataOffset = 0;  // first byte of the member's data
};

// 0-based offset of the last end-record signature with a complete fixed record behind it.
std::optional<std::uint64_t> findEndRecord(Bytes archive);

std::optional<EndRecord> readEndRecord(Bytes archive, std::uint64_t offset);

// A central directory header that lies wholly before `limit`; nothing on a wrong signature.
std::optional<CentralHeader> readCentralHeader(Bytes archive, std::uint64_t offset,
                                               std::uint64_t limit);

// A local header whose name and extra field lie inside the archive; nothing on a wrong signature.
std::optional<LocalHeader> readLocalHeader(Bytes archive, std::uint64_t offset);

}  // namespace nx::setup::zip
