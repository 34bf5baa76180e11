#include "nxsetup/zip_format.h"

namespace nx::setup::zip {
namespace {

std::string textAt(Bytes b, std::uint64_t offset, std::uint64_t length) {
  const auto* first = reinterpret_cast<const char*>(b.data() + offset);
  return std::string(first, static_cast<std::size_t>(length));
}

}  // namespace

std::optional<std::uint64_t> findEndRecord(Bytes archive) {
  if (archive.size() < kEndFixedSize) return std::nullopt;
  for (std::uint64_t at = archive.size() - kEndFixedSize + 1; at-- > 0;) {
    if (archive[static_cast<std::size_t>(at)] == 0x50 && readU32(archive, at) == kEndSignature)
      return at;
  }
  return std::nullopt;
}

std::optional<EndRecord> readEndRecord(Bytes archive, std::uint64_t at) {
  if (!inRange(at, kEndFixedSize, archive.size()) || readU32(archive, at) != kEndSignature) {
    return std::nullopt;
  }
  EndRecord r;
  r.thisDisk = *readU16(archive, at + 4);
  r.centralDisk = *readU16(archive, at + 6);
  r.entriesThisDisk = *readU16(archive, at + 8);
  r.totalEntries = *readU16(archive, at + 10);
  r.centralSize = *readU32(archive, at + 12);
  r.centralOffset = *readU32(archive, at + 16);
  r.commentLength = *readU16(archive, at + 20);
  return r;
}

std::optional<CentralHeader> readCentralHeader(Bytes archive, std::uint64_t at,
                                               std::uint64_t limit) {
  if (limit > archive.size()) limit = archive.size();
  if (!inRange(at, kCentralFixedSize, limit) || readU32(archive, at) != kCentralSignature) {
    return std::nullopt;
  }
  CentralHeader h;
  h.flags = *readU16(archive, at + 8);
  h.method = *readU16(archive, at + 10);
  h.modTime = *readU16(archive, at + 12);
  h.modDate = *readU16(archive, at + 14);
  h.crc = *readU32(archive, at + 16);
  h.compressedSize = *readU32(archive, at + 20);
  h.uncompressedSize = *readU32(archive, at + 24);
  const std::uint16_t nameLength = *readU16(archive, at + 28);
  const std::uint16_t extraLength = *readU16(archive, at + 30);
  const std::uint16_t commentLength = *readU16(archive, at + 32);
  h.localOffset = *readU32(archive, at + 42);
  h.recordSize = kCentralFixedSize + nameLength + extraLength + commentLength;
  if (!inRange(at, h.recordSize, limit)) return std::nullopt;
  h.name = textAt(archive, at + kCentralFixedSize, nameLength);
  return h;
}

std::optional<LocalHeader> readLocalHeader(Bytes archive, std::uint64_t at) {
  if (!inRange(at, kLocalFixedSize, archive.size()) || readU32(archive, at) != kLocalSignature) {
    return std::nullopt;
  }
  LocalHeader h;
  h.flags = *readU16(archive, at + 6);
  h.method = *readU16(archive, at + 8);
  h.crc = *readU32(archive, at + 14);
  h.compressedSize = *readU32(archive, at + 18);
  h.uncompressedSize = *readU32(archive, at + 22);
  const std::uint16_t nameLength = *readU16(archive, at + 26);
  const std::uint16_t extraLength = *readU16(archive, at + 28);
  if (!inRange(at, kLocalFixedSize + nameLength + extraLength, archive.size())) {
    return std::nullopt;
  }
  h.name = textAt(archive, at + kLocalFixedSize, nameLength);
  h.dataOffset = at + kLocalFixedSize + nameLength + extraLength;
  return h;
}

}  // namespace nx::setup::zip
