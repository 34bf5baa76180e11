// The setup trailer at the end of nxinstall and the setup header it carries.
//
// File layout: executable image, payload ZIP at offset + extra offset, then a 130-byte trailer
// holding the Huffman-coded header (at most 128 bytes, zero filler) and its coded length as two
// hexadecimal digits. When the file was Authenticode-signed after packing, the certificate table
// follows the trailer (8-byte aligned) and the PE security directory points at it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "nxsetup/bytes.h"

namespace nx::setup {

inline constexpr std::size_t kTrailerSize = 130;
inline constexpr std::size_t kMaxCodedHeader = 128;

struct SetupHeader {
  std::int32_t payloadOffset = 0;
  std::string zlibVersion;  // lowest zlib version the extraction accepts
  std::int32_t extraOffset = 0;
  std::int32_t payloadLength = 0;
};

using Trailer = std::array<std::uint8_t, kTrailerSize>;

// Reads the setup header from the whole file image. Nothing when the trailer or header is
// malformed, the extra offset is not 0, the length is not positive, the zlib version is empty,
// or the payload would not lie between the start of the file and the trailer.
std::optional<SetupHeader> readHeader(Bytes file);

// Offset one past the trailer's last byte: the file's end, or the start of an Authenticode
// certificate table that ends the file (less the alignment padding before it).
std::uint64_t trailerEnd(Bytes file);

// The payload bytes the header points at, or nothing when they do not lie inside the file.
std::optional<Bytes> payloadOf(Bytes file, const SetupHeader& header);

// The header as its four "|"-separated fields.
std::string formatSetupHeader(const SetupHeader& header);

// The complete trailer for a header, or nothing when the coded header exceeds 128 bytes.
std::optional<Trailer> buildTrailer(const SetupHeader& header);

}  // namespace nx::setup
