#include "nxsetup/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "nxsetup/zip_format.h"

namespace nx::setup {
namespace {

constexpr std::uint16_t kVersion = 20;
constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

void putBytes(std::vector<std::uint8_t>& out, Bytes bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

Bytes textBytes(std::string_view text) {
  return Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::uint16_t dosTime(const DateTime& t) {
  return static_cast<std::uint16_t>((t.hour << 11) | (t.minute << 5) | (t.second / 2));
}

std::uint16_t dosDate(const DateTime& t) {
  if (t.year < 1980) return (1 << 5) | 1;  // 1980-01-01
  return static_cast<std::uint16_t>(((t.year - 1980) << 9) | (t.month << 5) | t.day);
}

std::uint32_t crcOf(Bytes data) {
  uLong crc = crc32(0L, Z_NULL, 0);
  std::size_t at = 0;
  while (at < data.size()) {
    const auto chunk = static_cast<uInt>(std::min<std::size_t>(data.size() - at, 1U << 30));
    crc = crc32(crc, data.data() + at, chunk);
    at += chunk;
  }
  return static_cast<std::uint32_t>(crc);
}

}  // namespace

bool deflateRaw(Bytes data, std::vector<std::uint8_t>& out) {
  out.clear();
  if (data.size() > kMax32) return false;
  z_stream stream{};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    return false;
  }
  out.resize(deflateBound(&stream, static_cast<uLong>(data.size())));
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (rc != Z_STREAM_END) {
    out.clear();
    return false;
  }
  return true;
}

bool ZipWriter::add(std::string_view name, Bytes data, bool deflate, const DateTime& modified) {
  lastError_.clear();
  if (name.empty() || name.size() > 0xFFFF) {
    lastError_ = "member name is empty or too long";
    return false;
  }
  if (entries_.size() >= 0xFFFF) {
    lastError_ = "too many members";
    return false;
  }
  if (data.size() >= kMax32 || out_.size() >= kMax32) {
    lastError_ = "archive too large";
    return false;
  }
  std::vector<std::uint8_t> packed;
  if (deflate && !deflateRaw(data, packed)) {
    lastError_ = "deflate failed";
    return false;
  }
  const Bytes stored = deflate ? Bytes(packed) : data;
  Entry e{std::string(name),
          deflate ? zip::kMethodDeflated : zip::kMethodStored,
          dosTime(modified),
          dosDate(modified),
          crcOf(data),
          static_cast<std::uint32_t>(stored.size()),
          static_cast<std::uint32_t>(data.size()),
          static_cast<std::uint32_t>(out_.size())};
  if (out_.size() + zip::kLocalFixedSize + name.size() + stored.size() >= kMax32) {
    lastError_ = "archive too large";
    return false;
  }
  put32(out_, zip::kLocalSignature);
  put16(out_, kVersion);
  put16(out_, 0);  // flags
  put16(out_, e.method);
  put16(out_, e.time);
  put16(out_, e.date);
  put32(out_, e.crc);
  put32(out_, e.compressedSize);
  put32(out_, e.size);
  put16(out_, static_cast<std::uint32_t>(name.size()));
  put16(out_, 0);  // extra field
  putBytes(out_, textBytes(name));
  putBytes(out_, stored);
  entries_.push_back(std::move(e));
  return true;
}

std::vector<std::uint8_t> ZipWriter::finish() {
  const auto centralOffset = static_cast<std::uint32_t>(out_.size());
  for (const Entry& e : entries_) {
    put32(out_, zip::kCentralSignature);
    put16(out_, kVersion);  // made by
    put16(out_, kVersion);  // needed
    put16(out_, 0);         // flags
    put16(out_, e.method);
    put16(out_, e.time);
    put16(out_, e.date);
    put32(out_, e.crc);
    put32(out_, e.compressedSize);
    put32(out_, e.size);
    put16(out_, static_cast<std::uint32_t>(e.name.size()));
    put16(out_, 0);  // extra
    put16(out_, 0);  // comment
    put16(out_, 0);  // disk
    put16(out_, 0);  // internal attributes
    put32(out_, 0);  // external attributes
    put32(out_, e.localOffset);
    putBytes(out_, textBytes(e.name));
  }
  const auto centralSize = static_cast<std::uint32_t>(out_.size() - centralOffset);
  put32(out_, zip::kEndSignature);
  put16(out_, 0);
  put16(out_, 0);
  put16(out_, static_cast<std::uint32_t>(entries_.size()));
  put16(out_, static_cast<std::uint32_t>(entries_.size()));
  put32(out_, centralSize);
  put32(out_, centralOffset);
  put16(out_, 0);
  std::vector<std::uint8_t> result = std::move(out_);
  out_.clear();
  entries_.clear();
  return result;
}

}  // namespace nx::setup
