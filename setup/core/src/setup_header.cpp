#include "nxsetup/setup_header.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "nxsetup/huffman.h"
#include "nxsetup/pe_image.h"

namespace nx::setup {
namespace {

constexpr std::uint64_t kCertAlignment = 8;

int hexDigit(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string_view trimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// A whole decimal integer within 32 bits, optionally signed, spaces around allowed.
std::optional<std::int32_t> parseInt32(std::string_view text) {
  text = trimSpaces(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> splitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t bar = text.find('|');
    fields.push_back(text.substr(0, bar));
    if (bar == std::string_view::npos) return fields;
    text.remove_prefix(bar + 1);
  }
}

}  // namespace

std::uint64_t trailerEnd(Bytes file) {
  const std::optional<PeLayout> pe = readPeLayout(file);
  if (!pe || pe->directories.size() <= kPeDirSecurity) return file.size();
  const PeDataDirectory cert = pe->directories[kPeDirSecurity];
  if (cert.address == 0 || cert.size == 0) return file.size();
  if (std::uint64_t{cert.address} + cert.size != file.size()) return file.size();
  // The signer pads the unsigned file with zeros to the table's alignment; the trailer's
  // last byte is a hexadecimal digit, so the padding is told apart from it.
  std::uint64_t end = cert.address;
  for (std::uint64_t pad = 0;
       pad + 1 < kCertAlignment && end > 0 && file[static_cast<std::size_t>(end - 1)] == 0; ++pad) {
    --end;
  }
  return end;
}

std::optional<SetupHeader> readHeader(Bytes file) {
  const std::uint64_t end = trailerEnd(file);
  if (end < kTrailerSize) return std::nullopt;
  const std::uint64_t start = end - kTrailerSize;
  const int hi = hexDigit(file[static_cast<std::size_t>(start + 128)]);
  const int lo = hexDigit(file[static_cast<std::size_t>(start + 129)]);
  if (hi < 0 || lo < 0) return std::nullopt;
  const auto codedLength = static_cast<std::size_t>(hi * 16 + lo);
  if (codedLength > kMaxCodedHeader) return std::nullopt;

  const auto* first = reinterpret_cast<const char*>(file.data() + start);
  const std::optional<std::string> text = huffDecode(std::string_view(first, codedLength));
  if (!text) return std::nullopt;
  const std::vector<std::string_view> fields = splitFields(*text);
  if (fields.size() < 4) return std::nullopt;

  SetupHeader header;
  const auto offset = parseInt32(fields[0]);
  const auto extra = parseInt32(fields[2]);
  const auto length = parseInt32(fields[3]);
  if (!offset || !extra || !length) return std::nullopt;
  header.payloadOffset = *offset;
  header.zlibVersion = std::string(fields[1]);
  header.extraOffset = *extra;
  header.payloadLength = *length;
  if (header.zlibVersion.empty() || header.extraOffset != 0 || header.payloadLength <= 0 ||
      header.payloadOffset < 0) {
    return std::nullopt;
  }
  if (!inRange(std::uint64_t(header.payloadOffset), std::uint64_t(header.payloadLength), start)) {
    return std::nullopt;
  }
  return header;
}

std::optional<Bytes> payloadOf(Bytes file, const SetupHeader& header) {
  const std::int64_t start = std::int64_t{header.payloadOffset} + header.extraOffset;
  if (start < 0 || header.payloadLength < 0) return std::nullopt;
  if (!inRange(std::uint64_t(start), std::uint64_t(header.payloadLength), file.size())) {
    return std::nullopt;
  }
  return file.subspan(static_cast<std::size_t>(start),
                      static_cast<std::size_t>(header.payloadLength));
}

std::string formatSetupHeader(const SetupHeader& header) {
  return std::to_string(header.payloadOffset) + "|" + header.zlibVersion + "|" +
         std::to_string(header.extraOffset) + "|" + std::to_string(header.payloadLength);
}

std::optional<Trailer> buildTrailer(const SetupHeader& header) {
  const std::optional<std::string> coded = huffEncode(formatSetupHeader(header));
  if (!coded || coded->size() > kMaxCodedHeader) return std::nullopt;
  Trailer trailer{};
  for (std::size_t i = 0; i < coded->size(); ++i) {
    trailer[i] = static_cast<std::uint8_t>((*coded)[i]);
  }
  constexpr char kHex[] = "0123456789ABCDEF";
  trailer[128] = static_cast<std::uint8_t>(kHex[coded->size() / 16]);
  trailer[129] = static_cast<std::uint8_t>(kHex[coded->size() % 16]);
  return trailer;
}

}  // namespace nx::setup
