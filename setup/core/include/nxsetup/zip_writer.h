// Writes a ZIP archive in memory: stored or deflated members, sizes and CRC-32 in the local
// headers (no data descriptors), single disk, no ZIP64.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "nxsetup/bytes.h"
#include "nxsetup/date_time.h"

namespace nx::setup {

class ZipWriter {
 public:
  // Appends a member; names use "/" between folders. False (see lastError) when the archive
  // would exceed the format's limits or deflating fails.
  bool add(std::string_view name, Bytes data, bool deflate, const DateTime& modified);
  // The central directory and end record after the members; the writer starts over afterwards.
  std::vector<std::uint8_t> finish();
  const std::string& lastError() const { return lastError_; }

 private:
  struct Entry {
    std::string name;
    std::uint16_t method;
    std::uint16_t time;
    std::uint16_t date;
    std::uint32_t crc;
    std::uint32_t compressedSize;
    std::uint32_t size;
    std::uint32_t localOffset;
  };

  std::vector<std::uint8_t> out_;
  std::vector<Entry> entries_;
  std::string lastError_;
};

// Raw deflate (no zlib header) of the data at the highest level; empty on failure.
bool deflateRaw(Bytes data, std::vector<std::uint8_t>& out);

}  // namespace nx::setup
